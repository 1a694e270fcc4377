#pragma once
// The graphics dumper's process-wide state, held in the one EngineContext.
// Every entry point starts from ResetQwgDumper(); one dump runs at a time.

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/EngineContext.h"
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

// One entry of the Object Capsule record's table.
struct CapsuleEntry {
    uint8_t format = 0;
    uint8_t reserved = 0;
    uint8_t bitsPerPixel = 0;
    uint8_t flags = 0;
    uint16_t xResolution = 0;
    uint16_t yResolution = 0;
};

struct GraphicsState;

// Where a quiet walk to a record's place stopped: the state at the start
// of the first record at or after it, for the file and base it was read
// from. A later detail further on continues from there.
struct QuietPlace {
    engine::DocFile* file = nullptr;
    uint32_t base = 0;
    uint32_t position = 0;  // start of the next record
    std::shared_ptr<const GraphicsState> state;
};

inline constexpr uint32_t kNoRecordLimit = 0xFFFFFFFF;

struct GraphicsState {
    engine::DocFile* file = nullptr;
    uint32_t base = 0;          // added to every seek
    uint32_t bytePosition = 0;  // stream bytes consumed, relative to the base
    bool endOfData = false;
    bool eofShown = false;      // the end-of-data pair of this pass was written
    uint32_t recordEnd = 0;
    uint32_t recordCounter = 0;  // record headers read in this pass
    // The end of the enclosing record while nested records are read: no
    // nested record reaches past it.
    uint32_t recordLimit = kNoRecordLimit;
    Precision precision = Precision::Single;
    ImageExtents extents;
    // What the handlers keep between records.
    std::vector<CapsuleEntry> capsules;  // of the last Object Capsule record
    uint32_t imageIndex = 0;             // of the next Object Image
    uint8_t chartType = 0;               // of the last Chart record
    uint8_t textKind = 1;
    uint16_t lastCharacterization = 0;   // flags of the last entity's head
    Transformation transform;
    uint16_t dumpFlags = 0;
    uint8_t nesting = 0;         // raised while embedded records are dumped
    bool detail = true;          // handlers' field lines are printed
    bool headerLinesOff = false;
    bool quiet = false;          // record titles suppressed
    int hexDump = 0;             // zero: a record's rest is skipped, not dumped
    engine::ListTarget* sink = nullptr;
    DumpPrinter out;             // indentation, line building, outline
    // Survives the reset: the place of the last quiet walk.
    std::shared_ptr<QuietPlace> place;
    // The quiet walk to a record's place also stops at the first nested
    // record at or after this offset, keeping the state it met there.
    uint32_t quietStop = kNoRecordLimit;
    std::shared_ptr<GraphicsState> stoppedInside;
};

GraphicsState& MakeGfx();
// Inline: every byte the dump reads asks for it.
inline GraphicsState& Gfx() {
    const std::shared_ptr<GraphicsState>& slot = engine::Ctx().graphics;
    return slot ? *slot : MakeGfx();
}
inline DumpPrinter& Out() { return Gfx().out; }
// Back to the values above; the reader's buffer stays with its file, and
// so does the place of the last quiet walk.
void ResetQwgDumper();
// The quiet walk's place on `f` no longer holds (its reader restarted).
void ForgetQuietPlace(const engine::DocFile* f);

}  // namespace graphics
