#include "graphics/Reader.h"

#include <algorithm>

#include "engine/DocFile.h"
#include "engine/EngineContext.h"
#include "engine/Messages.h"
#include "engine/OutputSink.h"
#include "graphics/Dialect.h"
#include "graphics/GraphicsState.h"

namespace graphics {

namespace {

void Beep() {
    if (engine::WindowHost* w = engine::Ctx().hosts.window) w->Beep();
}

// Fills the buffer from base + offset. A failed seek or read leaves it
// empty; false only for the seek.
bool Fill(engine::DocFile* f, uint32_t offset) {
    const uint32_t base = Gfx().base;
    f->readAheadOffset = offset;
    f->readAheadCursor = 0;
    f->readAheadCount = 0;
    f->readAheadBase = base;
    const uint64_t at = static_cast<uint64_t>(base) + offset;
    if (at > INT32_MAX || engine::SeekDocFile(f, static_cast<int32_t>(at), 0) < 0) return false;
    const int32_t got = engine::ReadDocFile(f, f->readAhead.data(), kReadAheadSize);
    f->readAheadCount = got > 0 ? static_cast<uint32_t>(got) : 0;
    return true;
}

void Attach(engine::DocFile* f) {
    f->readAhead.assign(kReadAheadSize, 0);
    f->readAheadCount = 0;
    f->readAheadOffset = 0;
    f->readAheadCursor = 0;
    f->readAheadBase = -1;
}

// Moves to the next buffer when the current one is used up; false at the end.
bool Refill(engine::DocFile* f) {
    if (f->readAheadCount < kReadAheadSize) return false;
    const uint64_t next = static_cast<uint64_t>(f->readAheadOffset) + kReadAheadSize;
    if (next > UINT32_MAX) {
        f->readAheadCount = 0;
        return false;
    }
    Fill(f, static_cast<uint32_t>(next));
    return f->readAheadCount != 0;
}

}  // namespace

void StartQwgReader(engine::DocFile* f) {
    if (!f) return;
    Attach(f);
    Fill(f, 0);
    ForgetQuietPlace(f);
}

void StopQwgReader(engine::DocFile* f) {
    if (!f) return;
    f->readAhead.clear();
    f->readAhead.shrink_to_fit();
    f->readAheadCount = f->readAheadOffset = f->readAheadCursor = 0;
    f->readAheadBase = -1;
    ForgetQuietPlace(f);
}

bool HasQwgReader(const engine::DocFile* f) { return f && !f->readAhead.empty(); }

int QwgReaderNextByte(engine::DocFile* f) {
    if (!f || f->readAhead.empty()) return -1;
    if (f->readAheadCursor >= f->readAheadCount && !Refill(f)) return -1;
    return f->readAhead[f->readAheadCursor++];
}

uint32_t QwgReaderTell(const engine::DocFile* f) {
    return f ? f->readAheadOffset + f->readAheadCursor : 0;
}

uint32_t QwgReaderDataLeft(engine::DocFile* f) {
    if (!f) return 0;
    // Every fill seeks first, so asking the length here disturbs no read.
    const int32_t length = engine::SeekDocFile(f, 0, 2);
    const uint64_t at = static_cast<uint64_t>(Gfx().base) + QwgReaderTell(f);
    return length > 0 && static_cast<uint64_t>(length) > at ? static_cast<uint32_t>(length - at) : 0;
}

int QwgReaderSeek(engine::DocFile* f, uint32_t offset, int flag) {
    if (!f) return -1;
    if (flag != 0) {
        Beep();
        return -1;
    }
    if (f->readAhead.empty()) Attach(f);
    // The buffer belongs to the base it was filled from.
    const bool sameBase = f->readAheadBase == static_cast<int64_t>(Gfx().base);
    if (sameBase && offset >= f->readAheadOffset && offset - f->readAheadOffset <= f->readAheadCursor) {
        f->readAheadCursor = offset - f->readAheadOffset;
        return 0;
    }
    if (!Fill(f, offset)) {
        Beep();
        return -1;
    }
    return 0;
}

bool QwgReaderSkip(engine::DocFile* f, uint32_t n) {
    if (!f || f->readAhead.empty()) return n == 0;
    while (n != 0) {
        if (f->readAheadCursor >= f->readAheadCount && !Refill(f)) return false;
        const uint32_t step = std::min(n, f->readAheadCount - f->readAheadCursor);
        f->readAheadCursor += step;
        n -= step;
    }
    return true;
}

uint32_t QwgReaderCursor(const engine::DocFile* f) { return f ? f->readAheadCursor : 0; }

uint32_t QwgReaderBuffered(const engine::DocFile* f) {
    return f && f->readAheadCursor < f->readAheadCount ? f->readAheadCount - f->readAheadCursor : 0;
}

void QwgReaderBackUp(engine::DocFile* f, uint32_t n) {
    if (f) f->readAheadCursor -= std::min(n, f->readAheadCursor);
}

namespace {

// The bytes at the cursor when the buffer holds n more, else null.
const uint8_t* Buffered(engine::DocFile* f, uint32_t n) {
    if (!f || f->readAheadCount - f->readAheadCursor < n || f->readAheadCursor > f->readAheadCount) return nullptr;
    const uint8_t* at = f->readAhead.data() + f->readAheadCursor;
    f->readAheadCursor += n;
    return at;
}

}  // namespace

int ReadQwgByte() {
    GraphicsState& g = Gfx();
    g.bytePosition += 1;
    // Every field of every record comes through here: the buffered byte first.
    if (const uint8_t* at = Buffered(g.file, 1)) return *at;
    const int b = QwgReaderNextByte(g.file);
    if (b >= 0) return b;
    // One pair a pass: a truncated record would otherwise print one for
    // every field it still reads.
    if (!g.eofShown) {
        g.eofShown = true;
        const char* text = engine::Text(engine::Msg::UnexpectedEof);
        g.out.EmitLine(text);
        // The check has no sink of its own: its lines go to the error
        // list, also while they are printed.
        engine::AddListLine(g.sink ? g.sink : engine::Ctx().sink.defaultList, text);
    }
    g.endOfData = true;
    return -1;
}

int32_t ReadQwgWord() {
    GraphicsState& g = Gfx();
    if (const uint8_t* at = Buffered(g.file, 2)) {
        g.bytePosition += 2;
        return at[0] | (at[1] << 8);
    }
    const int lo = ReadQwgByte();
    if (lo < 0) return -1;
    const int hi = ReadQwgByte();
    if (hi < 0) return -1;
    return lo | (hi << 8);
}

uint32_t ReadQwgDword() {
    GraphicsState& g = Gfx();
    if (const uint8_t* at = Buffered(g.file, 4)) {
        g.bytePosition += 4;
        return static_cast<uint32_t>(at[0]) | (static_cast<uint32_t>(at[1]) << 8) |
               (static_cast<uint32_t>(at[2]) << 16) | (static_cast<uint32_t>(at[3]) << 24);
    }
    const int32_t lo = ReadQwgWord();
    if (lo < 0) return 0xFFFFFFFF;
    const int32_t hi = ReadQwgWord();
    if (hi < 0) return 0xFFFFFFFF;
    return static_cast<uint32_t>(lo) | (static_cast<uint32_t>(hi) << 16);
}

uint32_t ReadVarNumber(uint32_t* bytes) {
    uint32_t used = 1;
    uint32_t value = 0;
    const int b = ReadQwgByte();
    if (b >= 0 && b != 0xFF) {
        value = static_cast<uint32_t>(b);
    } else if (b == 0xFF) {
        used += 2;
        const int32_t first = ReadQwgWord();
        if (first >= 0 && first < 0x8000) {
            value = static_cast<uint32_t>(first);
        } else if (first >= 0) {
            used += 2;
            const int32_t second = ReadQwgWord();
            if (second >= 0)
                value = (static_cast<uint32_t>(first & 0x7FFF) << 16) | static_cast<uint32_t>(second);
        }
    }
    if (bytes) *bytes = used;
    return Gfx().endOfData ? 0 : value;
}

int ReadEntityObjectId() {
    GraphicsState& g = Gfx();
    const int32_t word = ReadQwgWord();
    if (word < 0) return 2;  // the data ended: no second word to look for
    const uint32_t first = static_cast<uint32_t>(word);
    if ((first & 0x8000) == 0) {
        if (!g.headerLinesOff) g.out.EmitFormatted("        Entity Object ID = 0x%04X", first);
        return 2;
    }
    const uint32_t id = (first << 16) | static_cast<uint16_t>(ReadQwgWord());
    if (!g.headerLinesOff) g.out.EmitFormatted("        Entity Object ID = 0x%08X", id);
    return 4;
}

}  // namespace graphics
