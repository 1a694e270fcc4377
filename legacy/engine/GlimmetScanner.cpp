#include "legacy/engine/GlimmetScanner.h"

#include "engine/Codes.h"
#include "engine/DocFile.h"
#include "engine/Document.h"
#include "engine/EngineContext.h"
#include "engine/Format.h"
#include "engine/OutputSink.h"
#include "engine/TextOps.h"
#include "legacy/engine/GlimmetCheck.h"

namespace legacy {

namespace {

using engine::TextRun;
using engine::TextRunSettings;
using engine::WalkDamage;

// 0x81 is a code; a long run is listed once, by its first piece.
class OlderTextRuns final : public engine::TextRunPolicy {
public:
    bool IsText(uint8_t c) const override { return c >= 0x21 && c <= 0x80; }
    uint32_t CutLength(bool) const override { return 71; }
    bool ListsNullBytes() const override { return true; }

    int HandOver(const TextRunSettings& s, const TextRun& run, bool cut) const override {
        const bool listing = s.sink && !s.singleDescription;
        if (!listing) return run.pending ? engine::TextRunAction(s, run) : 0;
        TextRun& staged = s.staged;
        // A run a code ends is handed over as cut too: only a full piece is one.
        cut = cut && run.count >= CutLength(false);
        if (staged.pending) {
            // A run of a multiple of 71 characters ends with its piece
            // staged: it is listed all the same.
            if (cut) return 0;
            staged.pending = false;
            return engine::TextRunAction(s, staged);
        }
        if (!run.pending) return 0;
        if (cut) {
            staged = run;
            return 0;
        }
        return engine::TextRunAction(s, run);
    }
};

// Four bytes at `offset` without moving the walk's file position.
bool PeekAt(engine::DocFile* f, uint32_t offset, uint8_t (&bytes)[4]) {
    const int32_t at = engine::SeekDocFile(f, 0, 1);
    if (at < 0) return false;
    bool read = engine::SeekDocFile(f, static_cast<int32_t>(offset), 0) == static_cast<int32_t>(offset) &&
                engine::ReadDocFile(f, bytes, 4) > 0;
    engine::SeekDocFile(f, at, 0);
    return read;
}

uint32_t DataEnd(engine::DocFile* f) {
    const int32_t at = engine::SeekDocFile(f, 0, 1);
    const int32_t end = engine::SeekDocFile(f, 0, 2);
    if (at >= 0) engine::SeekDocFile(f, at, 0);
    return end > 0 ? static_cast<uint32_t>(end) : 0;
}

// Every damage ends the scan with 1 after its message, 0xFF excepted (it
// is listed and stepped past); the check judges the counts, not this.
class OlderWalkDamage final : public engine::WalkDamagePolicy {
public:
    int32_t OnDamage(WalkDamage kind, engine::CorruptStretch&, engine::DocFile* f, engine::ListTarget* sink,
                     uint32_t offset) const override {
        if (kind == WalkDamage::InvalidByte) return engine::kDamageGoOn;
        uint8_t head[4] = {};
        const bool read = f && PeekAt(f, offset, head);
        const uint8_t code = head[0];
        const auto line = [sink](const std::string& text) { engine::AddListLine(sink, text); };
        if (read && code >= 0xF0 && code <= 0xFE) {
            // A fixed-length function: its last byte is wrong, or the data ends in it.
            const uint32_t end = offset + engine::FixedFunctionLength(code) - 1;
            line(engine::Format("File is Corrupt at offset 0x%lX", static_cast<unsigned long>(end)));
            return 1;
        }
        if (kind == WalkDamage::CutOff) {
            const bool headerCut = f && offset + 4 > DataEnd(f);
            line(engine::Format(headerCut ? "File corrupt at 0x%08lX" : "ERROR.  File is corrupt at offset 0x%08lX",
                                static_cast<unsigned long>(offset)));
            return 1;
        }
        line("Document corrupt");
        line(engine::Format("\nOFFSET: 0x%4X   ", offset));
        line(engine::Format("Function: %02X%02X    Size %04x\n", head[0], head[1],
                            static_cast<unsigned>(head[2] | head[3] << 8)));
        return 1;
    }
};

}  // namespace

const engine::TextRunPolicy& GlimmetTextRuns() {
    static const OlderTextRuns policy;
    return policy;
}

const engine::WalkDamagePolicy& GlimmetWalkDamage() {
    static const OlderWalkDamage policy;
    return policy;
}

int32_t ScanCodeStream(engine::DocFile* f, engine::ListTarget* sink, uint32_t start, int mode,
                       uint32_t groupMask, uint32_t classMask, UseCounts* counts, uint32_t length,
                       bool progress, const char* searchText, bool caseSensitive) {
    const engine::CodeWalkRequest rq{.file = f, .sink = sink, .start = start, .mode = mode,
                                     .groupMask = groupMask, .classMask = classMask, .length = length,
                                     .captionId = progress ? 57611 : 0, .searchText = searchText,
                                     .caseSensitive = caseSensitive};
    const CountingScope counting(counts);
    return engine::WalkCodeStream(rq);
}

int32_t SearchText(engine::DocFile* f, uint32_t start, uint32_t length, const char* text, bool caseSensitive) {
    // The older search reads every packet first.
    engine::ScanPackets(f, nullptr, engine::kAllPackets, false, engine::kModeDecoded, nullptr, 0);
    const int32_t r = ScanCodeStream(f, nullptr, start, engine::kModeDecoded, 0xFFFFFFFF, 0xFFFFFFFF, nullptr,
                                     length, false, text ? text : "", caseSensitive);
    // A scan that failed found nothing: no run starts at offset 1.
    return r == 1 ? 0 : r;
}

}  // namespace legacy
