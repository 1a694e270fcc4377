#include "graphics/Dumper.h"

#include "engine/DocFile.h"
#include "engine/EngineContext.h"
#include "graphics/Dialect.h"
#include "graphics/GraphicsState.h"

namespace graphics {

namespace {

constexpr uint32_t kAllTypes = 0xFFFFFFFF;
constexpr int kModeHex = 263;
constexpr int kModeDecoded = 264;

bool IsPresentation(uint8_t product, uint8_t fileType) { return product == 15 && fileType == 15; }

// The base of this pass; a file without a reader gets one (its buffer then
// fills from this base on the first seek).
void UseBase(engine::DocFile* file, uint32_t base) {
    Gfx().base = base;
    if (file && !HasQwgReader(file)) StartQwgReader(file);
}

// A fresh pass over `file`, nothing sent anywhere yet.
GraphicsState& StartPass(engine::DocFile* file, uint32_t base, bool detail, bool headerLinesOff, uint16_t dumpFlags) {
    ResetQwgDumper();
    GraphicsState& g = Gfx();
    g.quiet = false;
    g.detail = detail;
    g.sink = nullptr;
    g.file = file;
    g.headerLinesOff = headerLinesOff;
    g.dumpFlags = dumpFlags;
    UseBase(file, base);
    return g;
}

// A presentation's records are reached through its directory.
void DumpAllRecords(uint8_t product, uint8_t fileType, uint32_t mask33to64, uint32_t mask1to32, bool single,
                    int mode, uint32_t base) {
    if (IsPresentation(product, fileType))
        DumpSlideDirectory(mask33to64, mask1to32, single, mode, base);
    else
        DumpQwgRecords(mask33to64, mask1to32, single, mode);
}

// Sets aside the check's error list for the length of a pass that must
// write nothing.
struct NoDefaultList {
    NoDefaultList() : saved(engine::Ctx().sink.defaultList) { engine::Ctx().sink.defaultList = nullptr; }
    ~NoDefaultList() { engine::Ctx().sink.defaultList = saved; }
    engine::ListTarget* saved;
};

// Reads, writing nothing, the top-level records up to the first one that
// starts at or after `offset`, so that what the records before it set
// (precision, extents, what handlers keep) holds for its detail; inside an
// enclosing record the walk stops at the first nested record at or after
// `offset`. Continues from the last such walk when that one stopped on this
// file and base no further than `offset`. Returns where the top-level record
// that holds the stop starts, or kNoRecordLimit.
uint32_t QuietWalkTo(uint32_t offset, uint32_t docStart) {
    GraphicsState& g = Gfx();
    NoDefaultList silent;
    const uint16_t flags = g.dumpFlags;
    uint32_t start = docStart;
    const std::shared_ptr<QuietPlace> place = g.place;
    if (place && place->file == g.file && place->base == g.base && place->position >= docStart &&
        place->position <= offset) {
        g = *place->state;
        g.place = place;
        start = place->position;
    }
    g.sink = nullptr;
    g.quiet = true;
    g.detail = false;
    g.headerLinesOff = true;
    g.hexDump = 0;
    g.endOfData = false;
    // Walks as the list does: embedded graphics are read as records, so
    // what they set holds after them too.
    g.dumpFlags = 0;
    QwgReaderSeek(g.file, start, 0);
    g.bytePosition = g.recordEnd = start;
    g.quietStop = offset;
    g.stoppedInside.reset();
    bool atBoundary = true;
    uint32_t enclosing = kNoRecordLimit;
    while (g.recordEnd < offset) {
        enclosing = g.recordEnd;
        const int c = ReadRecordClass();
        if (c < 0 || g.endOfData) {
            atBoundary = false;
            break;
        }
        ++g.recordCounter;
        const int type = ReadRecordType();
        ReadRecordExtension();
        if (g.endOfData) {
            atBoundary = false;
            break;
        }
        const std::span<const RecordRow> rows =
            CurrentDumpDialect().records.empty() ? SalvinoRecordTable() : CurrentDumpDialect().records;
        if (type > 0 && static_cast<size_t>(type) < rows.size() && rows[static_cast<size_t>(type)].handler) {
            rows[static_cast<size_t>(type)].handler(rows[static_cast<size_t>(type)]);
        } else {
            ReadRecordLength(kAnyLength);
        }
        if (g.stoppedInside) {
            // The state where the nested record starts; the walk goes no
            // further (what follows inside its record set nothing for it).
            const std::shared_ptr<QuietPlace> kept = g.place;
            const std::shared_ptr<GraphicsState> inside = std::move(g.stoppedInside);
            g = *inside;
            g.place = kept;
            g.stoppedInside.reset();
            g.quietStop = kNoRecordLimit;
            g.out.ChangeIndent(kIndentClear);
            g.dumpFlags = flags;
            g.endOfData = false;
            g.eofShown = false;
            return enclosing;
        }
        if (g.endOfData) {
            atBoundary = false;
            break;
        }
        if (type == 2) break;
    }
    g.quietStop = kNoRecordLimit;
    g.dumpFlags = flags;
    g.endOfData = false;
    g.eofShown = false;
    if (!atBoundary) return kNoRecordLimit;
    auto next = std::make_shared<QuietPlace>();
    next->file = g.file;
    next->base = g.base;
    next->position = g.recordEnd;
    auto state = std::make_shared<GraphicsState>(g);
    state->place.reset();  // no chain of earlier places
    next->state = std::move(state);
    g.place = std::move(next);
    return kNoRecordLimit;
}

}  // namespace

void CloseQwgOutline() { Out().CloseOutline(); }

int DumpQwgRecordAt(engine::DocFile* file, engine::ListTarget* sink, uint32_t itemData, int mode,
                    uint32_t base) {
    GraphicsState& g =
        StartPass(file, base, false, true, mode == kModeHex ? (kDumpHeaderHex | kDumpPlainLines) : kDumpPlainLines);
    uint8_t product = 0, fileType = 0;
    {
        NoDefaultList silent;
        if (!ReadFilePrefix(&product, &fileType, base)) return 0;
    }
    const uint32_t offset = engine::OffsetOf(itemData);
    // A presentation file's records are reached through its directory.
    if (!IsPresentation(product, fileType)) {
        const uint32_t docStart = g.recordEnd;
        const GraphicsState fresh = g;
        const uint32_t enclosing = QuietWalkTo(offset, docStart);
        // A stop inside a record keeps no place of its own: the walk to that
        // record's start keeps one, so a later detail begins there.
        if (enclosing != kNoRecordLimit && !(g.place && g.place->position == enclosing)) {
            for (const uint32_t to : {enclosing, offset}) {
                std::shared_ptr<QuietPlace> place = std::move(g.place);
                g = fresh;
                g.place = std::move(place);
                QuietWalkTo(to, docStart);
            }
        }
    }
    g.quiet = false;
    g.detail = true;
    g.sink = sink;
    QwgReaderSeek(file, offset, 0);
    g.bytePosition = g.recordEnd = offset;
    g.hexDump = 1;
    g.headerLinesOff = false;
    DumpAllRecords(product, fileType, kAllTypes, kAllTypes, true, mode, base);
    return 1;
}

int ListQwgRecords(engine::DocFile* file, engine::ListTarget* sink, int, uint32_t mask33to64,
                   uint32_t mask1to32, uint32_t base) {
    const bool filtered = mask33to64 != kAllTypes && mask1to32 != kAllTypes;
    GraphicsState& g = StartPass(file, base, false, true, filtered ? kDumpFiltered | kDumpOutline : kDumpOutline);
    uint8_t product = 0, fileType = 0;
    if (!ReadFilePrefix(&product, &fileType, base)) return 0;
    g.sink = sink;
    DumpAllRecords(product, fileType, mask33to64, mask1to32, false, kModeDecoded, base);
    return 1;
}

int CheckQwgRecords(engine::DocFile* file, engine::ListTarget* errorList, uint32_t base) {
    engine::Ctx().sink.defaultList = errorList;
    StartPass(file, base, true, false, kDumpOutline);
    uint8_t product = 0, fileType = 0;
    int result = 0;
    if (ReadFilePrefix(&product, &fileType, base)) {
        DumpAllRecords(product, fileType, kAllTypes, kAllTypes, false, kModeDecoded, base);
        result = 1;
    }
    engine::Ctx().sink.defaultList = nullptr;
    return result;
}

}  // namespace graphics
