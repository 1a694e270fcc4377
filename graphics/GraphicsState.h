#pragma once
// The graphics dumper's process-wide state, held in the one EngineContext.
// Every entry point starts from ResetQwgDumper(); one dump runs at a time.

#include <cstdint>

#include "engine/Targets.h"
#include "graphics/DumpPrinter.h"
#include "graphics/Fixed32.h"

namespace engine {
struct DocFile;
}

namespace graphics {

// QwgDumpFlags, the dumper's output mode word.
enum : uint16_t {
    kDumpOutline = 0x0001,       // numbered record list; clear: plain lines
    kDumpPlainLines = 0x0002,
    kDumpFiltered = 0x2000,      // list filtered by the type masks: no levels open
    kDumpHeaderHex = 0x4000,     // header and hex only
    kDumpLevelPending = 0x8000,  // an announced count waits to open a level
};

enum class Precision : uint8_t { Single = 0, Double = 1 };

// Image extents of the Start record, in the current precision.
struct ImageExtents {
    uint32_t xMin = 0, xMax = 0, yMin = 0, yMax = 0;
};

struct GraphicsState {
    engine::DocFile* file = nullptr;
    uint32_t base = 0;          // added to every seek
    uint32_t bytePosition = 0;  // stream bytes consumed, relative to the base
    bool endOfData = false;
    uint32_t recordEnd = 0;
    uint32_t recordCounter = 0;  // record headers read in this pass
    Precision precision = Precision::Single;
    ImageExtents extents;
    Transformation transform;
    uint16_t dumpFlags = 0;
    uint8_t nesting = 0;         // raised while embedded records are dumped
    bool detail = true;          // handlers' field lines are printed
    bool headerLinesOff = false;
    bool quiet = false;          // record titles suppressed
    int hexDump = 0;             // zero: a record's rest is skipped, not dumped
    engine::ListTarget* sink = nullptr;
    DumpPrinter out;             // indentation, line building, outline
};

GraphicsState& Gfx();
inline DumpPrinter& Out() { return Gfx().out; }
// Back to the values above; the reader's buffer stays with its file.
void ResetQwgDumper();

}  // namespace graphics
