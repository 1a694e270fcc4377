#include "engine/Walker.h"

#include <sys/stat.h>
#include <time.h>

#include <algorithm>
#include <bit>
#include <chrono>
#include <cstring>
#include <memory>
#include <span>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "engine/Codes.h"
#include "engine/DocFile.h"
#include "engine/Document.h"
#include "engine/EngineContext.h"
#include "engine/Format.h"
#include "engine/OutputSink.h"
#include "engine/Progress.h"
#include "engine/TextOps.h"

namespace engine {

// What a walk read of the file ahead of its windows: the windows of the
// check's walks come out of few large reads, and the single descriptions of
// one document's codes, one after the other, out of the same bytes. Kept on
// the handle, which drops it on every write.
struct WalkAhead {
    static constexpr uint32_t kBytes = uint32_t{1} << 20;
    LargeTable<uint8_t> bytes = LargeTable<uint8_t>(kBytes);  // not cleared: only what was read is looked at
    uint32_t base = 0;        // file offset of bytes[0]
    uint32_t fill = 0;        // bytes read
    bool toEnd = false;       // the read stopped at the end of the file
    uint32_t fileLength = 0;  // the file's length then
    // A plain file's change time then, and when the file was last found so:
    // another writer can change it behind the handle.
    int64_t changed = -1;
    int64_t seenMs = 0;

    // What ReadDocFile(want) at `at` would give, all of it read here.
    bool Holds(uint32_t at, uint32_t want) const {
        const uint64_t end = uint64_t{base} + fill;
        return at >= base && (uint64_t{at} + want <= end || (toEnd && at <= end));
    }
};

namespace {

// Milliseconds of a monotonic clock read once per single description: the
// coarse clock costs a few loads where the fine one reads the counter, and
// its ticks of a few milliseconds are well below the trusted pause.
int64_t MonotonicMs() {
#if defined(CLOCK_MONOTONIC_COARSE)
    timespec ts{};
    if (clock_gettime(CLOCK_MONOTONIC_COARSE, &ts) == 0)
        return int64_t{ts.tv_sec} * 1000 + ts.tv_nsec / 1000000;
#endif
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

constexpr uint32_t kProgressFromBytes = 20000;
constexpr int kProgressSteps = 50;
constexpr int32_t kMaxRefillSize = 16000;
constexpr uint8_t kUndoMarkerCode = 0xF1;

// Fixed-length functions of the old layout, 0xC0-0xCF.
constexpr uint8_t kOldFixedLength[16] = {4, 9, 11, 3, 3, 5, 6, 7, 4, 5, 6, 6, 8, 10, 10, 12};

bool RealList(ListTarget* list) { return list != nullptr; }

// The text bytes and the fixed-length functions' lengths, per layout.
struct ByteTables {
    const bool* isText = nullptr;
    const uint8_t* fixedLength = nullptr;
    // The text bytes as one range, where they are one.
    bool textRange = false;
    uint8_t textFirst = 0;
    uint8_t textSpanLessOne = 0;
};

ByteTables TablesFor(const TextRunPolicy& policy, bool oldLayout) {
    static const auto kOldText = [] {
        std::array<bool, 256> t{};
        for (int c = 0x20; c <= 0x7F; ++c) t[static_cast<size_t>(c)] = true;
        return t;
    }();
    static const auto kFixed = [] {
        std::array<uint8_t, 256> t{};
        for (int c = 0; c < 256; ++c)
            t[static_cast<size_t>(c)] = static_cast<uint8_t>(FixedFunctionLength(static_cast<uint8_t>(c)));
        return t;
    }();
    if (oldLayout) return {kOldText.data(), kFixed.data(), true, 0x20, 0x7F - 0x20};
    ByteTables t{policy.TextTable().data(), kFixed.data()};
    t.textRange = policy.TextRange(&t.textFirst, &t.textSpanLessOne);
    return t;
}

// The end of the text bytes of a long run, from `from` on, at most `stop`.
uint32_t LongTextRunEnd(const ByteTables& tables, const uint8_t* window, uint32_t from, uint32_t stop) {
    uint32_t p = from;
#if defined(__SSE2__)
    if (tables.textRange) {
        // b is text when b - first, wrapping, is at most the span.
        const __m128i first = _mm_set1_epi8(static_cast<char>(tables.textFirst));
        const __m128i span = _mm_set1_epi8(static_cast<char>(tables.textSpanLessOne));
        const auto outside = [&](uint32_t at) {
            const __m128i d = _mm_sub_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(window + at)), first);
            return ~_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_min_epu8(d, span), d)) & 0xFFFF;
        };
        for (; p + 16 <= stop; p += 16)
            if (const int o = outside(p)) return p + static_cast<uint32_t>(std::countr_zero(static_cast<unsigned>(o)));
        // The last bytes as the end of sixteen, the first of them known to be text.
        if (p < stop && stop - from >= 16) {
            const int o = outside(stop - 16) >> (16 - (stop - p));
            return o ? p + static_cast<uint32_t>(std::countr_zero(static_cast<unsigned>(o))) : stop;
        }
    }
#endif
    while (p < stop && tables.isText[window[p]]) ++p;
    return p;
}

// `count` offsets from `first` on, one apart.
void FillOffsets(uint32_t* to, uint32_t first, uint32_t count) {
    uint32_t i = 0;
#if defined(__SSE2__)
    {
        const __m128i step = _mm_set1_epi32(4);
        __m128i at = _mm_add_epi32(_mm_set1_epi32(static_cast<int>(first)), _mm_setr_epi32(0, 1, 2, 3));
        for (; i + 4 <= count; i += 4) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(to + i), at);
            at = _mm_add_epi32(at, step);
        }
    }
#endif
    for (; i < count; ++i) to[i] = first + i;
}

// The repair's probe walks without a sink and leaves the title alone.
bool IsOldLayout(const FileHeader& h) {
    return h.Signature() == kSignature && h.ProductType() == 1 &&
           (h.FileType() == 10 || h.FileType() == 17) && h.MajorVersion() == 0;
}

class SalvinoTextRunPolicy final : public TextRunPolicy {
public:
    bool IsText(uint8_t c) const override { return c >= 0x21 && c <= 0x81; }
    uint32_t CutLength(bool extracting) const override { return extracting ? 102 : 71; }
    int HandOver(const TextRunSettings& settings, const TextRun& run, bool) const override;
};

class SalvinoWalkDamagePolicy final : public WalkDamagePolicy {
public:
    int32_t OnDamage(WalkDamage kind, CorruptStretch& stretch, DocFile* f, ListTarget* sink,
                     uint32_t offset) const override {
        const int r = OpenCorruptRange(stretch, f, sink, offset, 0, 0, nullptr, 0);
        switch (kind) {
            case WalkDamage::InvalidByte:
            case WalkDamage::SizePastEnd:
            case WalkDamage::OldLayoutCode:
            case WalkDamage::CutOff:
                return kDamageGoOn;  // the result is not looked at here
            default:
                return r == 1 ? 1 : kDamageGoOn;
        }
    }
};

// One walk: nothing of it survives the call.
class Walk {
public:
    explicit Walk(const CodeWalkRequest& rq) : rq_(rq) {}
    int32_t Run();

private:
    enum class Refill { Done, Failed, LastWindow };
    // A step's outcome: go on with the loop, or end the walk with a result.
    struct Step {
        bool end = false;
        int32_t result = 0;
    };
    static Step GoOn() { return {}; }
    static Step End(int32_t r) { return {true, r}; }

    uint32_t Offset() const { return base_ + pos_; }
    bool IsText(uint8_t c) const { return tables_.isText[c]; }
    uint32_t FixedLength(uint8_t c) const { return tables_.fixedLength[c]; }
    bool KeptAheadHolds(uint32_t want);
    int32_t ReadAhead(uint32_t want);
    bool ReadNextWindow();
    Refill RefillWindowAt();
    int32_t FlushTextRun(int code);
    Step Damage(WalkDamage kind, uint32_t offset);
    Step CutOff(uint32_t offset);
    Step EndOfWalk();
    Step DescribeDamagedPlace();
    Step TextByte(uint8_t c);
    Step SingleByte(uint8_t c);
    Step InvalidByte();
    Step NullByte();
    Step ByteLine(const char* title, const char* text, uint8_t code);
    Step Variable(uint8_t c);
    Step Fixed(uint8_t c, uint32_t length);
    bool Progress();
    uint32_t QuietRunEnd(uint32_t from, uint32_t stop) const;

    // The caller's: a copy would read back in wide loads what the caller
    // has just stored field by field, once per single description.
    const CodeWalkRequest& rq_;
    const TextRunPolicy* text_ = nullptr;
    ByteTables tables_;
    uint32_t cutLength_ = 0;
    const WalkDamagePolicy* damage_ = nullptr;
    // The older describer, which explains a function before its trailer is tested.
    VariableFunctionDescriber describesFirst_ = nullptr;
    TextRunSettings settings_;
    std::unique_ptr<uint8_t[]> own_;    // the window, where it is read on its own
    const uint8_t* window_ = nullptr;   // own_ or a piece of ahead_
    // Walks that write nothing take their windows from what was read ahead.
    bool readsAhead_ = false;
    std::shared_ptr<WalkAhead> ahead_;
    uint32_t fileLength_ = 0;
    uint32_t base_ = 0;
    uint32_t pos_ = 0;
    uint32_t fill_ = 0;
    uint32_t remaining_ = 0;
    uint32_t length_ = 0;
    uint32_t startOffset_ = 0;
    uint32_t startFlags_ = 0;
    TextRun run_;
    CorruptStretch stretch_;
    bool single_ = false;
    // Nobody takes the lines or the text runs (the check's walks): text,
    // fillers and single-byte codes then change nothing and are stepped
    // over in one scan.
    bool quiet_ = false;
    bool oldLayout_ = false;
    bool nullLines_ = false;  // 0x00 is listed (the policy's grammar)
    SinkState* sinkState_ = nullptr;
    std::unique_ptr<CProgressDialog> progress_;
    uint32_t mark_ = 0;
    uint32_t step_ = 1;
};

// True when the handle keeps, still as the file has them, the bytes a read
// of `want` at the base would give: a single description then reads nothing.
bool Walk::KeptAheadHolds(uint32_t want) {
    DocFile* f = rq_.file;
    const std::shared_ptr<WalkAhead>& kept = f->walkAhead;
    if (!kept || !kept->Holds(base_, want)) return false;
    if (!f->IsCompound()) {
        // Within a run of descriptions the file is looked at now and then;
        // a description after a pause looks at it first.
        // A pause of 20 ms is always noticed: the coarse clock may show it
        // up to a tick (at most 10 ms) short.
        constexpr int64_t kTrustedMs = 20 - 10;
        const int64_t now = MonotonicMs();
        if (now - kept->seenMs >= kTrustedMs) {
            struct stat st {};
            if (fstat(f->fd, &st) != 0 || st.st_size != kept->fileLength ||
                int64_t{st.st_mtim.tv_sec} * 1000000000 + st.st_mtim.tv_nsec != kept->changed) {
                f->walkAhead.reset();
                return false;
            }
            kept->seenMs = now;
        }
    }
    ahead_ = kept;
    fileLength_ = kept->fileLength;
    return true;
}

// The window at the base out of what was read ahead, reading on from the
// base where that does not hold it. What ReadDocFile(want) would return.
int32_t Walk::ReadAhead(uint32_t want) {
    DocFile* f = rq_.file;
    if (want == 0) return 0;
    // What this walk read, or found still so, while the handle keeps it.
    if (!ahead_ || f->walkAhead != ahead_ || !ahead_->Holds(base_, want)) {
        // The kept block's room is read into again, unless another walk
        // still reads from it.
        std::shared_ptr<WalkAhead> block = ahead_ ? ahead_ : f->walkAhead;
        const long mine = 1 + long{block == ahead_} + long{block == f->walkAhead};
        if (!block || block.use_count() > mine) block = std::make_shared<WalkAhead>();
        ahead_ = block;
        f->walkAhead = block;
        WalkAhead& a = *block;
        const int32_t n = SeekDocFile(f, static_cast<int32_t>(base_), 0) == static_cast<int32_t>(base_)
                              ? ReadDocFile(f, a.bytes.data(), WalkAhead::kBytes)
                              : -1;
        if (n < 0) {
            f->walkAhead.reset();
            ahead_.reset();
            return -1;
        }
        a.base = base_;
        a.fill = static_cast<uint32_t>(n);
        // Short of the end of the file, a short read is a failure further on.
        a.toEnd = a.fill < WalkAhead::kBytes && uint64_t{base_} + a.fill >= fileLength_;
        a.fileLength = fileLength_;
        a.changed = -1;
        struct stat st {};
        if (!f->IsCompound() && fstat(f->fd, &st) == 0)
            a.changed = int64_t{st.st_mtim.tv_sec} * 1000000000 + st.st_mtim.tv_nsec;
        a.seenMs = MonotonicMs();
    }
    const WalkAhead& a = *ahead_;
    window_ = a.bytes.data() + (base_ - a.base);
    return static_cast<int32_t>(std::min<uint64_t>(want, uint64_t{a.base} + a.fill - base_));
}

// The walks leave the handle's position where their reads left it: every
// reader seeks before it reads.
bool Walk::ReadNextWindow() {
    const uint32_t want = std::min(remaining_, kWalkWindow);
    int32_t n = 0;
    if (const auto held = HeldBytes(rq_.file)) {
        // A file kept in memory is walked where it lies.
        const size_t at = std::min<size_t>(base_, held->size());
        window_ = held->data() + at;
        n = static_cast<int32_t>(std::min<size_t>(want, held->size() - at));
    } else if (readsAhead_) {
        n = ReadAhead(want);
    } else {
        if (!own_) own_.reset(new uint8_t[kWalkWindow]);  // no need to clear: only what was read is looked at
        window_ = own_.get();
        n = want == 0 ? 0 : ReadDocFile(rq_.file, own_.get(), want);
    }
    // An empty window after a failure: the walked data ends at the base.
    fill_ = n > 0 ? static_cast<uint32_t>(n) : 0;
    pos_ = 0;
    // What a single description dumps lies in this window.
    if (single_) SetDumpOrigin(std::span<const uint8_t>(window_, fill_), base_);
    if (n < 0) return false;
    remaining_ -= fill_;
    return true;
}

// Reads the window again from the current item, which straddles its end.
Walk::Refill Walk::RefillWindowAt() {
    if (fill_ < kWalkWindow || pos_ == 0) return Refill::LastWindow;
    const uint32_t unread = fill_ - pos_;
    // What is read ahead is read at its own offsets: no seek back.
    const int32_t at = readsAhead_ ? static_cast<int32_t>(base_ + pos_)
                                   : SeekDocFile(rq_.file, -static_cast<int32_t>(unread), 1);
    if (at < 0) {
        AddListLine(rq_.sink, "ERROR using seek function");
        return Refill::Failed;
    }
    base_ = static_cast<uint32_t>(at);
    remaining_ += unread;
    if (!ReadNextWindow() || fill_ == 0) return Refill::Failed;
    return Refill::Done;
}

int32_t Walk::FlushTextRun(int code) {
    if (!run_.pending) {
        // The run ended right after a cut: a piece the policy staged ends with it.
        if (settings_.staged.pending) text_->HandOver(settings_, run_, false);
        return 0;
    }
    if (quiet_) {
        // Nobody takes the run (the check's walks): nothing to hand over.
        run_.pending = false;
        return 0;
    }
    const int r = text_->HandOver(settings_, run_, code == -1);
    run_.pending = false;
    if (rq_.extract && rq_.extractTarget) {
        static constexpr uint8_t kLineEnd[2] = {0x0D, 0x0A};
        WriteDocFile(rq_.extractTarget, kLineEnd, sizeof kLineEnd);
    }
    if (rq_.searchText && r == 0) return static_cast<int32_t>(run_.Start());
    if (single_ && code != -1) return 1;
    return 0;
}

Walk::Step Walk::Damage(WalkDamage kind, uint32_t offset) {
    const int32_t r = damage_->OnDamage(kind, stretch_, rq_.file, rq_.sink, offset);
    return r == kDamageGoOn ? GoOn() : End(r);
}

// An item the data ends inside: damage that ends the walk. Walks that
// resynchronise book the stretch up to the end of the data.
Walk::Step Walk::CutOff(uint32_t offset) {
    const bool wasValid = stretch_.valid;
    const Step s = Damage(WalkDamage::CutOff, offset);
    if (s.end) return s;
    if (stretch_.checkOrExtract) {
        CloseCorruptRange(stretch_, 0, 0, stretch_.start, base_ + fill_);
        return End(0);
    }
    // OpenCorruptRange has reported it already when it returned 1.
    const SinkState& sink = Ctx().sink;
    const bool reported = wasValid && sink.stopValue == -1 && !RealList(sink.defaultList);
    if (!reported) ReportDocCorrupt(rq_.sink, offset);
    return End(1);
}

// A search still finds its text in the last run of the data.
Walk::Step Walk::EndOfWalk() {
    const int32_t r = FlushTextRun(0);
    if (!stretch_.valid) CloseCorruptRange(stretch_, 0, 0, stretch_.start, base_ + fill_);
    return End(rq_.searchText ? r : 0);
}

Walk::Step Walk::DescribeDamagedPlace() {
    const uint32_t offset = startOffset_;
    PrintLine(rq_.sink, Format<Msg::DocumentOffset>(offset));
    if (rq_.mode != kModeHex) {
        PrintLine(rq_.sink, " ");
        PrintLine(rq_.sink, "HEX display of invalid document area");
    }
    uint32_t count = fill_;
    for (const InvalidRange& r : Ctx().check.ranges) {
        if (r.start != offset) continue;
        count = std::min(count, r.end > r.start ? r.end - r.start : 0);
        break;
    }
    HexDump(count, std::span<const uint8_t>(window_, fill_), Ctx().describer.currentTarget);
    return End(0);
}

Walk::Step Walk::InvalidByte() {
    if (const int32_t r = FlushTextRun(-1)) return End(r);
    const Step s = Damage(WalkDamage::InvalidByte, Offset());
    if (s.end) return s;
    return ByteLine("Invalid function:", "0xFF, (document corrupt)", 0xFF);
}

Walk::Step Walk::NullByte() {
    if (const int32_t r = FlushTextRun(0)) return End(r);
    return ByteLine("Single Byte function:", "0x00, (document may be corrupt)", 0x00);
}

// A byte shown as a code of its own: title and text in a single
// description, else one line of both.
Walk::Step Walk::ByteLine(const char* title, const char* text, uint8_t code) {
    if (single_) {
        ShowCodeTitle(rq_.sink, title);
        PrintLine(rq_.sink, text);
        return End(0);
    }
    AddCodeLine(rq_.sink, std::string(title) + " " + text, Offset(), false, rq_.groupMask, rq_.classMask, code);
    ++pos_;
    return GoOn();
}

Walk::Step Walk::TextByte(uint8_t c) {
    if (single_ && pos_ == 0 && base_ == startOffset_) ShowCodeTitle(rq_.sink, "Text:");
    if (!run_.pending) {
        run_.pending = true;
        run_.count = 0;
    }
    run_.chars[run_.count] = c;
    run_.offsets[run_.count] = Offset();
    ++run_.count;
    ++pos_;
    // The rest of the run in one go: its end first, then its bytes.
    const uint32_t room = run_.count < cutLength_ ? cutLength_ - run_.count : 0;
    const uint32_t stop = std::min(fill_, pos_ + room);
    // Over local pointers: the scan is most of a long run's cost. A run
    // still going after eight bytes is scanned on sixteen at a time.
    const bool* isText = tables_.isText;
    const uint8_t* const window = window_;
    const uint8_t* scan = window + pos_;
    const uint8_t* const last = window + stop;
    const uint8_t* const quick = last - scan > 8 ? scan + 8 : last;
    while (scan < quick && isText[*scan]) ++scan;
    if (scan == quick && quick != last) scan = window + LongTextRunEnd(tables_, window, static_cast<uint32_t>(scan - window), stop);
    const auto end = static_cast<uint32_t>(scan - window);
    const uint32_t n = end - pos_;
    std::memcpy(run_.chars + run_.count, window_ + pos_, n);
    const uint32_t first = Offset();
    if (n >= 16) {
        FillOffsets(run_.offsets + run_.count, first, n);
    } else {
        for (uint32_t i = 0; i < n; ++i) run_.offsets[run_.count + i] = first + i;
    }
    run_.count += n;
    pos_ = end;
    if (run_.count >= cutLength_) {
        if (const int32_t r = FlushTextRun(-1)) return End(r);
    }
    return GoOn();
}

Walk::Step Walk::SingleByte(uint8_t c) {
    if (const int32_t r = FlushTextRun(c)) return End(r);
    if (oldLayout_) {
        if (c >= 0xC0 && c <= 0xCF) return Fixed(c, kOldFixedLength[c - 0xC0]);
        ++pos_;
        return GoOn();
    }
    if (c <= 0x20) {
        // The check walks without a sink: build the line only when it is seen.
        AddCodeLine(rq_.sink,
                    rq_.sink ? Format("Single byte Code 0x%02X   Mapped at Pos: %d", c, c) : std::string(),
                    Offset(), single_, rq_.groupMask, rq_.classMask, c);
        if (single_) return End(0);
    } else if (single_) {
        if (rq_.mode == kModeHex) {
            HexDump(1, std::span<const uint8_t>(&window_[pos_], 1), rq_.sink);
        } else {
            ShowCodeTitle(rq_.sink, SingleByteCodeName(c));
            PrintLine(rq_.sink, FormatLine("Single Byte Code: 0x%02X", c).View());
        }
        return End(0);
    } else {
        AddCodeLine(rq_.sink, rq_.sink ? SingleByteCodeName(c) : "", Offset(), false, rq_.groupMask,
                    rq_.classMask, c);
    }
    ++pos_;
    return GoOn();
}

Walk::Step Walk::Variable(uint8_t c) {
    if (const int32_t r = FlushTextRun(c)) return End(r);
    const uint32_t offset = Offset();
    if (pos_ + 3 >= fill_) {
        switch (RefillWindowAt()) {
            case Refill::LastWindow: return CutOff(offset);
            case Refill::Failed: return EndOfWalk();
            case Refill::Done: return GoOn();  // the same item again, at the window's start
        }
    }
    const std::span<const uint8_t> window(window_, fill_);
    const auto size = static_cast<int16_t>(GetU16(window, pos_ + 2));
    const uint32_t span = static_cast<uint32_t>(size) + (oldLayout_ ? 4 : 0);
    const bool resync = stretch_.checkOrExtract;
    const SinkState& sink = Ctx().sink;

    if (size > 0 && pos_ + span <= fill_) {
        bool trailerRight = false;
        // Sizes below 4 would put the trailer inside the header or before it.
        if (size >= 4) {
            const uint32_t p = pos_;
            const auto P = static_cast<uint32_t>(size);
            trailerRight = oldLayout_
                               ? GetU16(window, p + P) == P && window_[p + P + 3] == c
                               : GetU16(window, p + P - 3) == P && window_[p + P - 1] == c;
        }
        if (describesFirst_ && !oldLayout_) {
            // A size below 4 is damage before any description.
            if (size >= 4) {
                describesFirst_(std::span<const uint8_t>(&window_[pos_], span), rq_.sink, single_, offset, rq_.mode,
                                rq_.groupMask, rq_.classMask);
                if (single_) return End(0);
            }
            if (!trailerRight) {
                const Step s = Damage(WalkDamage::WrongTrailer, offset);
                if (s.end) return s;
            }
            pos_ += span;
            return GoOn();
        }
        WalkDamage kind = WalkDamage::WrongTrailer;
        if (trailerRight && !oldLayout_) {
            const int accepted = DescribeVariableFunction(
                std::span<const uint8_t>(&window_[pos_], span), rq_.sink, single_, offset, rq_.mode,
                rq_.groupMask, rq_.classMask);
            if (single_) return End(0);
            if (accepted == 0) {
                trailerRight = false;
                kind = WalkDamage::Refused;
            }
        } else if (!trailerRight && !oldLayout_) {
            if (stretch_.valid && sink.stopValue == 0 && !RealList(sink.defaultList))
                AddCodeLine(rq_.sink, Format<Msg::InvalidFunctionAt>(offset), offset, single_,
                            rq_.groupMask, rq_.classMask, 0xFF);
            if (single_) return End(0);
        }
        if (!trailerRight) {
            const Step s = Damage(kind, offset);
            if (s.end) return s;
            pos_ += resync && !stretch_.valid ? 1 : span;
            return GoOn();
        }
        if (resync && !stretch_.valid) CloseCorruptRange(stretch_, 0, 0, stretch_.start, offset);
        pos_ += span;
        return GoOn();
    }

    if (single_ && (size < 1 || size > kMaxRefillSize)) {
        AddCodeLine(rq_.sink, Format<Msg::InvalidFunctionAt>(offset), offset, true, rq_.groupMask,
                    rq_.classMask, 0xFF);
        return End(0);
    }
    if (resync && (size <= 0 || fill_ < kWalkWindow)) {
        const Step s = Damage(size <= 0 ? WalkDamage::BadSize : WalkDamage::SizePastEnd, offset);
        if (s.end) return s;
        ++pos_;
        return GoOn();
    }
    if (size >= 1 && size <= kMaxRefillSize) {
        switch (RefillWindowAt()) {
            case Refill::LastWindow: return CutOff(offset);
            case Refill::Failed: return EndOfWalk();
            case Refill::Done: return GoOn();
        }
    }
    const Step s = Damage(WalkDamage::BadSize, offset);
    if (s.end) return s;
    ++pos_;
    return GoOn();
}

// `length`: the old layout's length of 0xC0-0xCF; 0 for the newer layout.
Walk::Step Walk::Fixed(uint8_t c, uint32_t length) {
    if (const int32_t r = FlushTextRun(c)) return End(r);
    const uint32_t offset = Offset();
    if (oldLayout_ && c >= 0xF0) {
        const Step s = Damage(WalkDamage::OldLayoutCode, offset);
        if (s.end) return s;
        ++pos_;
        return GoOn();
    }
    const uint32_t L = oldLayout_ ? length : FixedLength(c);
    if (pos_ + L > fill_) {
        switch (RefillWindowAt()) {
            case Refill::LastWindow: return CutOff(offset);
            case Refill::Failed: return EndOfWalk();
            case Refill::Done: break;
        }
        if (pos_ + L > fill_) return CutOff(offset);
    }
    if (window_[pos_ + L - 1] == c) {
        if (c == kUndoMarkerCode && !oldLayout_) ++Ctx().check.undoMarkers;
        if (!oldLayout_)
            DescribeFixedFunction(std::span<const uint8_t>(&window_[pos_], L), rq_.sink, offset, single_,
                                  rq_.groupMask, rq_.classMask, rq_.mode, false, stretch_.valid);
    } else {
        const Step s = Damage(WalkDamage::FixedGates, offset);
        if (s.end) return s;
    }
    if (single_) return End(0);
    pos_ += stretch_.checkOrExtract && !stretch_.valid ? 1 : L;
    return GoOn();
}

// The end of the bytes below 0xD0 from `from` on, at most `stop`: eight at
// a time, a byte b >= 0xD0 being one whose low seven bits plus 0x30 carry
// into bit 7 while bit 7 is set.
uint32_t Walk::QuietRunEnd(uint32_t from, uint32_t stop) const {
    const uint8_t* w = window_;
    uint32_t p = from;
#if defined(__SSE2__)
    const __m128i low = _mm_set1_epi8(static_cast<char>(0xCF));
    for (; p + 16 <= stop; p += 16) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(w + p));
        // min(x, 0xCF) == x exactly for the bytes below 0xD0.
        const int below = _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_min_epu8(x, low), x));
        if (below != 0xFFFF) return p + static_cast<uint32_t>(std::countr_zero(static_cast<unsigned>(~below)));
    }
#endif
    if constexpr (std::endian::native == std::endian::little) {
        constexpr uint64_t kHigh = 0x8080808080808080ull;
        constexpr uint64_t kLow = 0x7F7F7F7F7F7F7F7Full;
        constexpr uint64_t kAdd = 0x3030303030303030ull;
        for (; p + 8 <= stop; p += 8) {
            uint64_t x;
            std::memcpy(&x, w + p, sizeof x);
            const uint64_t hit = ((x & kLow) + kAdd) & x & kHigh;
            if (hit != 0) return p + static_cast<uint32_t>(std::countr_zero(hit)) / 8;
        }
    }
    while (p < stop && w[p] < 0xD0) ++p;
    return p;
}

// True when Cancel was pressed.
bool Walk::Progress() {
    if (!progress_) return false;
    const uint32_t at = Offset();
    if (!(mark_ + step_ < at)) return false;
    mark_ = at;
    progress_->StepIt();
    return progress_->CheckCancel();
}

int32_t Walk::Run() {
    EngineContext& ctx = Ctx();
    const Profile& profile = *ctx.profile;
    text_ = profile.textRuns ? profile.textRuns : &SalvinoTextRuns();
    damage_ = profile.walkDamage ? profile.walkDamage : &SalvinoWalkDamage();
    describesFirst_ = profile.variableFunction;
    DocFile* f = rq_.file;

    startOffset_ = profile.OffsetOf(rq_.start);
    startFlags_ = rq_.start & ~profile.tagOffsetMask;
    if (rq_.searchText && *rq_.searchText == '\0') return -1;
    if (!f) return 1;
    single_ = !rq_.searchText && !rq_.scramble && !rq_.extract && startOffset_ != 0;
    quiet_ = !rq_.sink && !single_ && !rq_.searchText && !rq_.scramble && !rq_.extract;
    sinkState_ = &ctx.sink;

    // The extraction may be given a file that is not the open document:
    // its layout and its document area come from its own header.
    FileHeader own = ctx.doc.header;
    if (rq_.extract) {
        const int32_t at = SeekDocFile(f, 0, 1);
        FileHeader read;
        if (SeekDocFile(f, 0, 0) == 0 &&
            ReadDocFile(f, read.bytes, sizeof read.bytes) == static_cast<int32_t>(sizeof read.bytes)) {
            oldLayout_ = IsOldLayout(read);
            if (f != ctx.doc.file) own = read;
        }
        if (at >= 0) SeekDocFile(f, at, 0);
    }
    tables_ = TablesFor(*text_, oldLayout_);
    cutLength_ = std::min(text_->CutLength(rq_.extract), kMaxTextRun);
    nullLines_ = text_->ListsNullBytes() && !quiet_;
    const bool wantProgress = rq_.captionId != 0 || rq_.extract || startOffset_ == 0;
    stretch_.checkOrExtract = rq_.extract || rq_.scramble || RealList(ctx.sink.defaultList);

    ctx.sink.invalidTextMarker = 0;
    ctx.check.undoLevel = 0;
    ctx.check.undoStart = 0;
    ctx.check.undoMarkers = 0;
    if (startOffset_ == 0) startOffset_ = own.DocOffset();
    // Walks that write nothing read ahead; the fault seam sees every read.
    readsAhead_ = (quiet_ || single_) && !f->faults;
    // A single description out of bytes the handle still keeps reads nothing.
    bool kept = false;
    if (single_ && readsAhead_ && f->walkAhead && startOffset_ <= 0x7FFFFFFFu) {
        const uint32_t known = f->walkAhead->fileLength;
        length_ = rq_.length == kWalkToEnd ? known : rq_.length;
        base_ = startOffset_;
        kept = KeptAheadHolds(std::min(length_, kWalkWindow));
    }
    if (!kept) {
        const int32_t end = SeekDocFile(f, 0, 2);
        fileLength_ = end > 0 ? static_cast<uint32_t>(end) : 0;
        length_ = rq_.length == kWalkToEnd ? fileLength_ : rq_.length;
    }
    const uint32_t fileLength = fileLength_;

    // Field by field: a whole new value would clear and copy the staged run.
    settings_.sink = rq_.sink;
    settings_.singleDescription = single_;
    settings_.mode = rq_.mode;
    settings_.groupMask = rq_.groupMask;
    settings_.classMask = rq_.classMask;
    settings_.searchText = rq_.searchText;
    settings_.caseSensitive = rq_.caseSensitive;
    settings_.scramble = rq_.scramble;
    settings_.file = f;
    settings_.extract = rq_.extract;
    settings_.extractTarget = rq_.extractTarget;
    settings_.oldLayout = oldLayout_;

    if (wantProgress && length_ >= kProgressFromBytes && !single_ && !ctx.check.progress) {
        progress_ = std::make_unique<CProgressDialog>(rq_.captionId);
        if (progress_->Create()) {
            progress_->SetRange(0, kProgressSteps);
            progress_->SetStep(1);
            step_ = std::max<uint32_t>(1, fileLength > startOffset_
                                              ? (fileLength - startOffset_) / kProgressSteps
                                              : 0);
            mark_ = startOffset_;
        } else {
            progress_.reset();
        }
    }

    if (startOffset_ > 0x7FFFFFFFu ||
        (!kept && SeekDocFile(f, static_cast<int32_t>(startOffset_), 0) != static_cast<int32_t>(startOffset_))) {
        AddListLine(rq_.sink, "Seek to beginning of Document failed.");
        return 1;
    }
    base_ = startOffset_;
    remaining_ = length_;
    if (!ReadNextWindow()) {
        AddListLine(rq_.sink, "Error reading data from file");
        return 1;
    }

    if (single_ && (startFlags_ & kTagDamage)) return DescribeDamagedPlace().result;
    if (single_ && rq_.mode == kModeHex) PrintLine(rq_.sink, Format<Msg::DocumentOffset>(startOffset_));

    for (;;) {
        if (pos_ >= fill_) {
            base_ += fill_;
            if (rq_.scramble) SeekDocFile(f, static_cast<int32_t>(base_), 0);
            if (!ReadNextWindow() || fill_ == 0) break;
            continue;
        }
        if (Progress()) {
            PrintLine(rq_.sink, Text(Msg::Canceled));
            return 0;
        }
        // A single-byte code's line for no sink would end an undo area's
        // marking or drop a pending line offset: those bytes go the long way.
        if (quiet_ && sinkState_->invalidTextMarker != -1 && sinkState_->nextLineOffset == kNoFileOffset) {
            uint32_t stop = fill_;
            // Stop where the progress would step, as a byte-wise walk does.
            if (progress_) {
                const uint64_t due = uint64_t{mark_} + step_ + 1;
                if (due > base_ && due - base_ < stop) stop = static_cast<uint32_t>(due - base_);
            }
            const uint32_t end = stop > pos_ ? QuietRunEnd(pos_, stop) : pos_;
            if (end != pos_) {
                pos_ = end;
                continue;
            }
        }
        const uint8_t c = window_[pos_];
        Step s;
        if (c == 0xFF) {
            s = InvalidByte();
        } else if (c >= 0x01 && c <= 0xCF && !stretch_.valid &&
                   !(rq_.scramble && IsText(c))) {
            // Inside a damaged stretch. The scramble still takes its text
            // (below), so that no readable text survives the damage.
            if (rq_.scramble) FlushTextRun(c);
            ++pos_;
        } else if (c >= 0x01 && c <= 0xCF && IsText(c)) {
            s = TextByte(c);
        } else if (c >= 0x01 && c <= 0xCF) {
            s = SingleByte(c);
        } else if (c == 0x00) {
            if (nullLines_) s = NullByte();
            else ++pos_;
        } else if (c <= 0xEF) {
            s = Variable(c);
        } else {
            s = Fixed(c, 0);
        }
        if (s.end) return s.result;
    }
    return EndOfWalk().result;
}

}  // namespace

void TextRunPolicy::MakeTable() const {
    std::call_once(tableOnce_, [this] {
        for (int c = 0; c < 256; ++c) table_[static_cast<size_t>(c)] = IsText(static_cast<uint8_t>(c));
        const auto first = std::find(table_.begin(), table_.end(), true);
        const auto end = std::find(first, table_.end(), false);
        range_ = first != table_.end() && std::find(end, table_.end(), true) == table_.end();
        if (range_) {
            rangeFirst_ = static_cast<uint8_t>(first - table_.begin());
            rangeSpan_ = static_cast<uint8_t>(end - first - 1);
        }
    });
}

const std::array<bool, 256>& TextRunPolicy::TextTable() const {
    MakeTable();
    return table_;
}

bool TextRunPolicy::TextRange(uint8_t* first, uint8_t* spanLessOne) const {
    MakeTable();
    *first = rangeFirst_;
    *spanLessOne = rangeSpan_;
    return range_;
}

int SalvinoTextRunPolicy::HandOver(const TextRunSettings& settings, const TextRun& run, bool) const {
    return TextRunAction(settings, run);
}

const TextRunPolicy& SalvinoTextRuns() {
    static const SalvinoTextRunPolicy policy;
    return policy;
}

const WalkDamagePolicy& SalvinoWalkDamage() {
    static const SalvinoWalkDamagePolicy policy;
    return policy;
}

int32_t WalkCodeStream(const CodeWalkRequest& request) {
    const DumpOriginScope origin;  // the window's origin ends with the walk
    Walk walk(request);
    return walk.Run();
}

void ReportDocCorrupt(ListTarget* sink, uint32_t offset) {
    AddErrorLine(sink, Format("Doc corrupt! At offset 0x%lX.", static_cast<unsigned long>(offset)),
                 kTagDamage + offset);
}

int OpenCorruptRange(CorruptStretch& stretch, DocFile*, ListTarget* sink, uint32_t offset, uint32_t,
                     uint32_t, const char* message, int32_t packetId) {
    if (!stretch.valid) return 0;
    EngineContext& ctx = Ctx();
    stretch.valid = false;
    ctx.check.undoStart = 0;
    stretch.start = offset;
    if (RealList(ctx.sink.defaultList)) ++ctx.check.otherFindings;
    if (ctx.sink.stopValue != -1) return 0;
    if (message && packetId) {
        AddErrorLine(sink, message, kTagPacket + static_cast<uint32_t>(packetId));
        return 0;
    }
    if (stretch.checkOrExtract && !RealList(ctx.sink.defaultList)) return 0;
    ReportDocCorrupt(sink, offset);
    return RealList(ctx.sink.defaultList) ? 0 : 1;
}

void CloseCorruptRange(CorruptStretch& stretch, uint16_t owner, uint16_t block, uint32_t start,
                       uint32_t end) {
    if (stretch.valid) return;
    stretch.valid = true;
    const SinkState& sink = Ctx().sink;
    if (sink.stopValue == -1 && RealList(sink.defaultList))
        AppendInvalidRange(owner, block, start, end > start ? end - start : 0);
}

}  // namespace engine
