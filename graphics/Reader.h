#pragma once
// The record reader as the dump lines use it: bytes of the current file
// from the read-ahead buffer, each counted in the byte position; at the
// end of data the reader shows " Unexpected EOF while reading data. " and
// sets the end-of-data flag.

#include <cstdint>

namespace engine {
struct DocFile;
}

namespace graphics {

// Attaches the reader to `f` at the base offset.
void StartQwgReader(engine::DocFile* f);
void StopQwgReader(engine::DocFile* f);

// 0-255, or -1 at the end of data.
int ReadQwgByte();
// Little-endian; -1 when the data ends inside it.
int32_t ReadQwgWord();
// Little-endian; 0xFFFFFFFF (-1) when the data ends inside it.
uint32_t ReadQwgDword();
// A u16 id, or a u32 one when bit 15 of its first word is set; shows it
// unless header lines are off. Returns the bytes read, 2 or 4.
int ReadEntityObjectId();

}  // namespace graphics
