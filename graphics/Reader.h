#pragma once
// The record reader: a 40960-byte read-ahead buffer over the current file,
// relative to the base offset of the graphic. Every byte the dump reads is
// counted in the byte position; at the end of data the reader shows
// " Unexpected EOF while reading data. " once in a pass and sets the
// end-of-data flag.

#include <cstdint>

namespace engine {
struct DocFile;
}

namespace graphics {

inline constexpr uint32_t kReadAheadSize = 40960;

// Attaches the buffer to `f` and fills it from the base offset.
void StartQwgReader(engine::DocFile* f);
// Detaches it; nothing for a null file.
void StopQwgReader(engine::DocFile* f);
bool HasQwgReader(const engine::DocFile* f);

// The next buffered byte, or -1 at the end; not counted, no message.
int QwgReaderNextByte(engine::DocFile* f);
// The stream offset of the next byte, relative to the base.
uint32_t QwgReaderTell(const engine::DocFile* f);
// Bytes the file still holds from the next byte on (a record end may lie
// past them).
uint32_t QwgReaderDataLeft(engine::DocFile* f);
// Flag 0: a move back within what was consumed only moves the cursor;
// anything else refills from base + offset. A refused seek beeps and
// returns -1 (the buffer is then empty: the next read is the end).
int QwgReaderSeek(engine::DocFile* f, uint32_t offset, int flag);
// Consumes n bytes without counting them; false when the data ended first.
bool QwgReaderSkip(engine::DocFile* f, uint32_t n);
// Bytes of the buffer consumed so far (the cursor).
uint32_t QwgReaderCursor(const engine::DocFile* f);
// Bytes the buffer still holds: the next reads need no file access.
uint32_t QwgReaderBuffered(const engine::DocFile* f);
// Moves the cursor back by n consumed bytes (n <= the cursor).
void QwgReaderBackUp(engine::DocFile* f, uint32_t n);

// 0-255, or -1 at the end of data.
int ReadQwgByte();
// Little-endian; -1 when the data ends inside it.
int32_t ReadQwgWord();
// Little-endian; 0xFFFFFFFF (-1) when the data ends inside it.
uint32_t ReadQwgDword();
// One byte; after 0xFF a u16, below 0x8000 the value, else a second u16
// completes a 31-bit value. 0 when the data ends inside it. `bytes`, when
// given, receives the bytes read.
uint32_t ReadVarNumber(uint32_t* bytes = nullptr);
// A u16 id, or a u32 one when bit 15 of its first word is set; shows it
// unless header lines are off. Returns the bytes read, 2 or 4.
int ReadEntityObjectId();

}  // namespace graphics
