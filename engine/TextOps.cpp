#include "engine/TextOps.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <array>
#include <cstring>
#include <span>
#include <string>

#include "engine/Captions.h"
#include "engine/DocFile.h"
#include "engine/Document.h"
#include "engine/EngineContext.h"
#include "engine/Operation.h"
#include "engine/Format.h"
#include "engine/OutputSink.h"
#include "engine/Progress.h"

namespace engine {

namespace {

constexpr uint32_t kAllOnes = 0xFFFFFFFF;
constexpr uint32_t kTextClasses = 6;  // single-byte codes and text: what a text walk looks at

void SeekFailedBox() {
    if (MessageService* m = Ctx().hosts.messages)
        m->Show(Text(Msg::SeekFailed), "Error", MsgIcon::Warning, MsgButtons::Ok);
}

// `head`, the run in quotes with the special spaces shown as blanks; built
// on the stack. A 0x00 among the characters ends the text, as "%s" did.
class ShownRun {
    static constexpr auto kShown = [] {
        std::array<char, 256> t{};
        for (size_t c = 0; c < t.size(); ++c) t[c] = static_cast<char>(c);
        t[0x80] = t[0x81] = ' ';
        return t;
    }();

public:
    ShownRun(std::string_view head, const TextRun& run) {
        size_t n = head.size();
        std::memcpy(text_, head.data(), n);
        text_[n++] = '\'';
        const void* zero = std::memchr(run.chars, 0, run.count);
        const size_t count = zero ? static_cast<size_t>(static_cast<const uint8_t*>(zero) - run.chars) : run.count;
        size_t i = 0;
#if defined(__SSE2__)
        if (count >= 16) {
            // 0x80 and 0x81 become blanks, sixteen at a time; the last
            // sixteen end the run, some of them written twice.
            const auto show = [&](size_t at) {
                const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(run.chars + at));
                const __m128i special = _mm_or_si128(_mm_cmpeq_epi8(x, _mm_set1_epi8(static_cast<char>(0x80))),
                                                     _mm_cmpeq_epi8(x, _mm_set1_epi8(static_cast<char>(0x81))));
                const __m128i shown = _mm_or_si128(_mm_andnot_si128(special, x), _mm_and_si128(special, _mm_set1_epi8(' ')));
                _mm_storeu_si128(reinterpret_cast<__m128i*>(text_ + n + at), shown);
            };
            for (; i + 16 <= count; i += 16) show(i);
            if (i < count) show(count - 16);
            i = count;
        }
#endif
        for (; i < count; ++i) text_[n + i] = kShown[run.chars[i]];
        n += count;
        text_[n++] = '\'';
        length_ = n;
    }
    std::string_view View() const { return {text_, length_}; }

private:
    char text_[8 + kMaxTextRun + 2];
    size_t length_ = 0;
};

// A walk of a block for its text: the scramble and the extraction.
int WalkBlock(DocFile* f, CodeWalkRequest rq) {
    const int32_t at = SeekDocFile(f, 0, 1);
    if (at < 0) {
        SeekFailedBox();
        return 0;
    }
    WalkCodeStream(rq);
    if (SeekDocFile(f, at, 0) != at) {
        SeekFailedBox();
        return 0;
    }
    return 1;
}

CodeWalkRequest BlockRequest(DocFile* f, uint32_t offset, uint32_t size) {
    CodeWalkRequest rq;
    rq.file = f;
    rq.start = OffsetOf(offset);
    rq.mode = kModeDecoded;
    rq.groupMask = 0;
    rq.classMask = kTextClasses;
    rq.length = size;
    return rq;
}

// Writes the run's bytes back where each came from, a stretch of
// neighbouring offsets at a time; the file position is kept.
int WriteBack(DocFile* f, const TextRun& run, const uint8_t* bytes) {
    const int32_t at = SeekDocFile(f, 0, 1);
    if (at < 0) return 0;
    int ok = 1;
    for (uint32_t i = 0; i < run.count && ok;) {
        uint32_t j = i + 1;
        while (j < run.count && run.offsets[j] == run.offsets[j - 1] + 1) ++j;
        if (run.offsets[i] > 0x7FFFFFFFu ||
            SeekDocFile(f, static_cast<int32_t>(run.offsets[i]), 0) != static_cast<int32_t>(run.offsets[i]) ||
            WriteDocFile(f, bytes + i, j - i) <= 0)
            ok = 0;
        i = j;
    }
    if (SeekDocFile(f, at, 0) != at) ok = 0;
    return ok;
}

}  // namespace

void EnsurePacketTable(DocFile* f, int mode, int captionId) {
    if (Ctx().doc.packets.empty()) ScanPackets(f, kNoTarget, kAllPackets, false, mode, nullptr, captionId);
}

WalkSideState WalkSideState::Save(DocFile* f) {
    const EngineContext& c = Ctx();
    WalkSideState s;
    s.invalidTextMarker = c.sink.invalidTextMarker;
    s.nextLineOffset = c.sink.nextLineOffset;
    s.dumpOrigin = c.sink.dumpOrigin;
    s.undoLevel = c.check.undoLevel;
    s.undoStart = c.check.undoStart;
    s.progress = c.check.progress;
    s.currentTarget = c.describer.currentTarget;
    s.header = c.doc.header;
    s.filePos = f ? SeekDocFile(f, 0, 1) : -1;
    return s;
}

void WalkSideState::Restore(DocFile* f) const {
    EngineContext& c = Ctx();
    c.sink.invalidTextMarker = invalidTextMarker;
    c.sink.nextLineOffset = nextLineOffset;
    c.sink.dumpOrigin = dumpOrigin;
    c.check.undoLevel = undoLevel;
    c.check.undoStart = undoStart;
    c.check.progress = progress;
    c.describer.currentTarget = currentTarget;
    c.doc.header = header;
    if (f && filePos >= 0) SeekDocFile(f, filePos, 0);
}

namespace {

// A listing walk from the start of the document area.
CodeWalkRequest ListRequest(DocFile* f, ListTarget* target, int mode, uint32_t groupMask, uint32_t classMask,
                            uint32_t length) {
    CodeWalkRequest rq;
    rq.file = f;
    rq.sink = target;
    rq.start = 0;
    rq.mode = mode;
    rq.groupMask = groupMask;
    rq.classMask = classMask;
    rq.length = length;
    return rq;
}

}  // namespace

int32_t ListCodeAt(DocFile* f, ListTarget* target, uint32_t start, int mode, uint32_t groupMask,
                   uint32_t classMask, uint32_t length) {
    const uint32_t offset = OffsetOf(start);
    if (offset == 0 || !f) return 0;
    const WalkSideState keep = WalkSideState::Save(f);
    EngineContext& c = Ctx();
    // A walk of the list that begins at the item: the document area starts
    // there for its length. A dialog without a window stands for one that
    // is up, so the walk shows none of its own.
    CProgressDialog quiet;
    c.check.progress = &quiet;
    for (int i = 0; i < 4; ++i) c.doc.header.bytes[4 + i] = static_cast<uint8_t>(offset >> (8 * i));
    const int32_t r = WalkCodeStream(ListRequest(f, target, mode, groupMask, classMask, length));
    keep.Restore(f);
    return r;
}

int32_t ListDocumentCodes(DocFile* f, ListTarget* target, int mode, uint32_t groupMask,
                          uint32_t classMask, uint32_t length) {
    EnsurePacketTable(f, mode, kCaptionScanningPrefixPackets);
    CodeWalkRequest rq = ListRequest(f, target, mode, groupMask, classMask, length);
    rq.captionId = kCaptionCodeSummary;
    return WalkCodeStream(rq);
}

int32_t DescribeCodeAt(DocFile* f, ListTarget* target, uint32_t start, int mode, uint32_t length) {
    if (OffsetOf(start) == 0) return 0;
    EnsurePacketTable(f, mode, 0);
    OperationScope scope(Operation::Detail);
    CodeWalkRequest rq;
    rq.file = f;
    rq.sink = target;
    rq.start = start;
    rq.mode = mode;
    rq.groupMask = kAllOnes;
    rq.classMask = kAllOnes;
    rq.length = length;
    return WalkCodeStream(rq);
}

int32_t SearchDocumentText(DocFile* f, uint32_t start, uint32_t length, const char* text,
                           bool caseSensitive) {
    CodeWalkRequest rq;
    rq.file = f;
    rq.start = start;
    rq.mode = kModeDecoded;
    rq.groupMask = 0;
    rq.classMask = kTextClasses;
    rq.length = length;
    rq.searchText = text ? text : "";
    rq.caseSensitive = caseSensitive;
    return WalkCodeStream(rq);
}

int ScrambleTextBlock(DocFile* f, ListTarget* results, uint32_t offset, uint32_t size) {
    if (SeekDocFile(f, 0, 1) < 0) {
        SeekFailedBox();
        return 0;
    }
    AddListLine(results, Format("Scrambling text block at 0x%08X, for 0x%08X bytes", offset, size));
    CodeWalkRequest rq = BlockRequest(f, offset, size);
    rq.scramble = true;
    return WalkBlock(f, rq);
}

int ExtractTextBlock(DocFile* target, DocFile* f, ListTarget* results, uint32_t offset,
                     uint32_t size) {
    if (SeekDocFile(f, 0, 1) < 0) {
        SeekFailedBox();
        return 0;
    }
    if (results)
        AddListLine(results, Format("Extracting text block at 0x%08X, for 0x%08X bytes", offset, size));
    CodeWalkRequest rq = BlockRequest(f, offset, size);
    rq.extract = true;
    rq.extractTarget = target;
    return WalkBlock(f, rq);
}

int TextRunAction(const TextRunSettings& s, const TextRun& run) {
    if (s.sink && s.singleDescription) {
        if (s.mode == kModeHex) {
            // A run of adjoining bytes is a piece of the file that rows can be edited in.
            const std::span<const uint8_t> chars(run.chars, run.count);
            bool adjoining = true;
            for (uint32_t i = 1; i < run.count && adjoining; ++i)
                adjoining = run.offsets[i] == run.offsets[0] + i;
            const DumpOriginScope origin(chars, adjoining ? int64_t{run.Start()} : kNoFileOffset);
            HexDump(run.count, chars, s.sink);
        }
        else
            PrintLine(s.sink, ShownRun("", run).View());
        return 0;
    }
    if (s.sink) {
        // Filtered as a text code; the item data is the run's first character.
        AddCodeLine(s.sink, ShownRun("Text:", run).View(), run.Start(), false, s.groupMask, s.classMask, 0x41);
        return 1;
    }
    if (s.searchText) {
        std::string hay = run.Text();
        if (!s.caseSensitive)
            for (char& ch : hay)
                if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
        return hay.find(s.searchText) != std::string::npos ? 0 : 1;
    }
    if (s.scramble) {
        uint8_t out[kMaxTextRun];
        for (uint32_t i = 0; i < run.count; ++i) {
            const uint8_t c = run.chars[i];
            out[i] = c >= 'a' && c <= 'z' ? 'z' : (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ? 'Z' : c;
        }
        return s.file ? WriteBack(s.file, run, out) : 0;
    }
    if (s.extract) {
        uint8_t out[kMaxTextRun];
        for (uint32_t i = 0; i < run.count; ++i) {
            const uint8_t c = run.chars[i];
            const bool special = s.oldLayout ? (c == 0x20 || c == 0xA0) : (c == 0x80 || c == 0x81);
            out[i] = special ? ' ' : c;
        }
        if (!s.extractTarget || run.count == 0) return 0;
        return WriteDocFile(s.extractTarget, out, run.count) > 0 ? 1 : 0;
    }
    return 1;
}

}  // namespace engine
