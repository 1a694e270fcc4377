// A plain reader over the current file, one read per byte, until the
// buffered reader with its seeks takes its place.

#include "engine/DocFile.h"
#include "engine/OutputSink.h"
#include "graphics/GraphicsState.h"
#include "graphics/Reader.h"

namespace graphics {

void StartQwgReader(engine::DocFile* f) {
    if (f) engine::SeekDocFile(f, static_cast<int32_t>(Gfx().base), 0);
}

void StopQwgReader(engine::DocFile*) {}

int ReadQwgByte() {
    GraphicsState& g = Gfx();
    uint8_t b = 0;
    const int32_t got = g.file ? engine::ReadDocFile(g.file, &b, 1) : -1;
    g.bytePosition += 1;
    if (got == 1) return b;
    static constexpr const char* kEof = " Unexpected EOF while reading data. ";
    g.out.EmitLine(kEof);
    engine::AddListLine(g.sink, kEof);
    g.endOfData = true;
    return -1;
}

int32_t ReadQwgWord() {
    const int lo = ReadQwgByte();
    if (lo < 0) return -1;
    const int hi = ReadQwgByte();
    if (hi < 0) return -1;
    return lo | (hi << 8);
}

uint32_t ReadQwgDword() {
    const int32_t lo = ReadQwgWord();
    if (lo < 0) return 0xFFFFFFFF;
    const int32_t hi = ReadQwgWord();
    if (hi < 0) return 0xFFFFFFFF;
    return static_cast<uint32_t>(lo) | (static_cast<uint32_t>(hi) << 16);
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
