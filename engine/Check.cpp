// The document check in its passes over the EngineContext: packets
// (counting), body (counting), cross reference (booking), verdict; the usage
// list of one packet; fixing the stored counts and writing the index back.

#include "engine/Check.h"

#include <algorithm>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>

#include "engine/Captions.h"
#include "engine/CheckState.h"
#include "engine/Codes.h"
#include "engine/DocFile.h"
#include "engine/Document.h"
#include "engine/EngineContext.h"
#include "engine/Format.h"
#include "engine/Operation.h"
#include "engine/OutputSink.h"
#include "engine/PacketLayout.h"
#include "engine/PacketNames.h"
#include "engine/Progress.h"
#include "engine/Walker.h"

namespace engine {

namespace {

// ---- Every text the check writes ------------------------------------------
// Detecting a fault is apart from wording it: the passes name a problem,
// this table words it.

enum class Problem : uint8_t {
    // Child lists and text-block tables (findings).
    ChildListTooShort,
    ChildIdTooLarge,
    TooManyChildren,
    ChildDeleted,
    BlockBeyondPacket,
    // Codes of a text block (damage, once per stretch).
    NullByte,
    InvalidByte,
    FixedGates,
    IncompleteFunction,
    InvalidEndLength,
    BeyondBlock,
    SizesDontMatch,
    PrefixIdOutOfRange,
    // Verdicts and the rest.
    Corrupt,
    Sound,
    Canceled,
    NoMemory,
    RefCountMismatch,
    CannotReadPrefix,
    NoPacketTable,
    WriteFailed,
    WriteFailedBox,
    PrefixUsageHead,
    DocumentUsageHead,
    MinFlagUsage,
};

struct ProblemRow {
    Problem problem;
    const char* text;
};

constexpr ProblemRow kProblems[] = {
    {Problem::ChildListTooShort, SharedText(Msg::ChildListTooShort)},
    {Problem::ChildIdTooLarge, SharedText(Msg::ChildIdTooLarge)},
    {Problem::TooManyChildren, SharedText(Msg::TooManyChildren)},
    {Problem::ChildDeleted, "Reference to Deleted or Available packet"},
    {Problem::BlockBeyondPacket, SharedText(Msg::BlockBeyondPacket)},
    {Problem::NullByte, SharedText(Msg::NullByte)},
    {Problem::InvalidByte, SharedText(Msg::InvalidByte)},
    {Problem::FixedGates, "Error! Fixed length function gates do not match"},
    {Problem::IncompleteFunction, "Error. INCOMPLETE function!"},
    {Problem::InvalidEndLength, SharedText(Msg::InvalidEndLength)},
    {Problem::BeyondBlock, "Error. Function length beyond text block."},
    {Problem::SizesDontMatch, "Error. Codes or function sizes don't match!"},
    {Problem::PrefixIdOutOfRange, SharedText(Msg::PrefixIdOutOfRange)},
    {Problem::Corrupt, SharedText(Msg::VerdictCorrupt)},
    {Problem::Sound, SharedText(Msg::VerdictSound)},
    {Problem::Canceled, SharedText(Msg::Canceled)},
    {Problem::NoMemory, SharedText(Msg::NoMemory)},
    {Problem::RefCountMismatch, "Packet reference count did not match expected value."},
    {Problem::CannotReadPrefix, "Can not read prefix information!"},
    {Problem::NoPacketTable, "PktInfo not initialized"},
    {Problem::WriteFailed, "Error writing to file."},
    {Problem::WriteFailedBox, "Error writing to file.\n"},
    {Problem::PrefixUsageHead, "------Prefix Usage List------"},
    {Problem::DocumentUsageHead, "------Document Usage List------"},
    {Problem::MinFlagUsage, " 1) Usage because of Min 1 flag  (0x08 bit on flags)."},
};

constexpr bool RowsInOrder() {
    for (size_t i = 0; i < std::size(kProblems); ++i)
        if (static_cast<size_t>(kProblems[i].problem) != i) return false;
    return true;
}
static_assert(RowsInOrder(), "one row per problem, in the order of the enum");

constexpr const char* Text(Problem p) { return kProblems[static_cast<size_t>(p)].text; }

// The worded lines with values, beside the table so that every text stays here.
std::string DeletedBytesLine(uint32_t bytes, int count) {
    return Format<Msg::DeletedSizeLine>(static_cast<long>(bytes), static_cast<unsigned long>(bytes), count);
}
std::string ExtraBytesLine(uint32_t bytes) {
    return Format<Msg::ExtraBytesLine>(static_cast<unsigned long>(bytes));
}
std::string OverlapLine(uint32_t bytes) {
    return Format<Msg::OverlapLine>(static_cast<unsigned long>(bytes));
}
std::string UseMismatchLine(uint32_t id, const IndexEntry& e, const PacketEntry& p,
                            const std::string& type) {
    return Format<Msg::UseMismatchLine>(id, e.UseCount(), p.countedUses, e.HiddenCount(), p.countedHidden,
                                        type.c_str());
}
std::string Max1Line(uint32_t id, const IndexEntry& e, const PacketEntry& p, const std::string& type) {
    return Format<Msg::Max1Line>(id, e.UseCount(), p.countedUses, e.HiddenCount(), p.countedHidden, type.c_str());
}
std::string CannotFitLine(uint32_t n) { return Format<Msg::CannotFitChildren>(n); }
std::string UsedInPacketLine(int32_t number, uint32_t id) {
    return Format("%2x) Used in prefix packet 0x%02x", static_cast<unsigned>(number), id);
}
std::string UsedInSubdocLine(int32_t number, uint32_t id) {
    return Format("%2x) Used in subdoc, from prefix packet 0x%02x", static_cast<unsigned>(number), id);
}
std::string NotInPacketsLine(uint32_t id) {
    return Format("  Prefix 0x%04x, is NOT referenced from any prefix packets", id);
}
std::string NotInBodyLine(uint32_t id) {
    return Format("  Prefix 0x%04x, is NOT referenced the main document body", id);
}
std::string FixedUseLine(uint32_t id, int v) { return Format("Fixed Packet 0x%04X, Use Count set to %d", id, v); }
std::string FixedHiddenLine(uint32_t id, int v) {
    return Format("Fixed Packet 0x%04X, Hide Count set to %d", id, v);
}
std::string RemovedMax1Line(uint32_t id) { return Format("Fixed Packet 0x%04X, Removed Max1 flag from header.", id); }
std::string AddedMinLine(uint32_t id) { return Format("Fixed Packet 0x%04X, Added Min flag to header.", id); }

// ---- Shared helpers ---------------------------------------------------------

constexpr uint32_t kProgressFromEntries = 200;

// Packet types whose stored counts the verdict does not hold against them.
bool CountExempt(uint8_t type) { return type == 0x3F || type == 0x4E || type == 0x53; }
bool StyleType(uint8_t type) {
    return type == 0x30 || type == 0x31 || (type >= 0x41 && type <= 0x44);
}

void Box(Problem text, const char* caption) {
    if (MessageService* m = Ctx().hosts.messages)
        m->Show(Text(text), caption, MsgIcon::Error, MsgButtons::Ok);
}

uint16_t AddU16(uint16_t a, uint32_t b) { return static_cast<uint16_t>(a + b); }
uint32_t Saturate(uint64_t v) { return v > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(v); }

// What a pass over a packet does with what it finds.
enum class Pass {
    Count,     // the check's first pass: counts uses and findings
    Book,      // the cross reference: books references, counts findings again
    ListOnly,  // a packet's detail: lists findings, counts nothing
    Usage,     // the usage list of one packet: lists its uses
};

// A progress dialog for a pass over the entries, from 200 entries.
std::unique_ptr<CProgressDialog> EntryDialog(int caption, uint32_t count, int upper) {
    if (count < kProgressFromEntries) return nullptr;
    auto d = std::make_unique<CProgressDialog>(caption);
    if (!d->Create()) return nullptr;
    d->SetRange(0, upper);
    d->SetStep(1);
    return d;
}

// Notices a Cancel pressed in any progress dialog made while it lives, the
// walker's own among them: the walk then returns as if it had ended.
class CancelWatch final : public ProgressHost {
public:
    CancelWatch() : inner_(Ctx().hosts.progress) {
        if (inner_) Ctx().hosts.progress = this;
    }
    ~CancelWatch() override {
        if (inner_) Ctx().hosts.progress = inner_;
    }
    CancelWatch(const CancelWatch&) = delete;
    CancelWatch& operator=(const CancelWatch&) = delete;

    std::unique_ptr<ProgressView> Create() override {
        std::unique_ptr<ProgressView> view = inner_->Create();
        if (!view) return nullptr;
        return std::make_unique<View>(std::move(view), &pressed_);
    }
    bool Pressed() const { return pressed_; }

private:
    class View final : public ProgressView {
    public:
        View(std::unique_ptr<ProgressView> inner, bool* pressed)
            : inner_(std::move(inner)), pressed_(pressed) {}
        void SetTitle(const std::string& t) override { inner_->SetTitle(t); }
        void SetRange(int lower, int upper) override { inner_->SetRange(lower, upper); }
        void SetPosition(int pos) override { inner_->SetPosition(pos); }
        void SetPercentText(const std::string& t) override { inner_->SetPercentText(t); }
        void Pump() override { inner_->Pump(); }
        bool TakeCancel() override {
            const bool c = inner_->TakeCancel();
            if (c) *pressed_ = true;
            return c;
        }

    private:
        std::unique_ptr<ProgressView> inner_;
        bool* pressed_;
    };

    ProgressHost* inner_;
    bool pressed_ = false;
};

// While a print job runs the check's default-list lines go to the page, so
// that a printed check finds, counts and says what a listed one does.
class PrintedList final : public ListTarget {
public:
    explicit PrintedList(ListTarget* report) : report_(report) {}
    void Append(std::string_view text, uint32_t tag) override {
        {
            SinkSwitches switches = CurrentSwitches();
            switches.stopValue = 0;
            OperationScope scope(CurrentOperation(), switches);
            PrintLine(report_, text);
        }
        last_.assign(text);
        lastTag_ = tag;
        ++size_;
    }
    size_t Size() const override { return size_; }
    std::string Text(size_t i) const override { return i + 1 == size_ ? last_ : std::string(); }
    uint32_t Tag(size_t i) const override { return i + 1 == size_ ? lastTag_ : 0; }
    void RemoveLast() override {
        if (size_ > 0) --size_;
    }

private:
    ListTarget* report_;
    std::string last_;
    uint32_t lastTag_ = 0;
    size_t size_ = 0;
};

// The sink's switches for the length of one check: the default list is the
// report (or its printed form; without a report a silent list, so that the
// counts come out the same), the stop value 0, no describer target.
class CheckSinkScope {
public:
    explicit CheckSinkScope(ListTarget* report)
        : printed_(report), scope_(Operation::CheckCount, Switches(report, &printed_)) {}
    ~CheckSinkScope() { Ctx().check.progress = nullptr; }
    CheckSinkScope(const CheckSinkScope&) = delete;
    CheckSinkScope& operator=(const CheckSinkScope&) = delete;

private:
    static SinkSwitches Switches(ListTarget* report, PrintedList* printed) {
        SinkSwitches s;
        s.defaultList = !report ? SilentTarget() : Ctx().sink.printer ? printed : report;
        return s;
    }
    PrintedList printed_;
    OperationScope scope_;
};

bool CountsFindings(Pass pass) {
    return (pass == Pass::Count || pass == Pass::Book) && Ctx().sink.defaultList != nullptr;
}

void Finding(Problem p, ListTarget* target, uint32_t tagId, Pass pass) {
    AddErrorLine(target, Text(p), kTagPacket + tagId);
    if (CountsFindings(pass)) ++Ctx().check.otherFindings;
}

// How much of a packet is examined: all of its data that the file holds
// (a child list or text block past 63984 bytes is no damage), while the
// pass's read budget lasts; then, as for a dump, the first 63984 bytes.
uint32_t ExamineLimit(const IndexEntry& e, Pass pass) {
    EngineContext& c = Ctx();
    const uint32_t len = c.doc.dataLength;
    if (e.DataSize() <= kMaxPacketDump || e.DataOffset() >= len) return kMaxPacketDump;
    const uint32_t whole = std::min(e.DataSize(), len - e.DataOffset());
    if (pass == Pass::ListOnly) return whole;
    uint64_t& budget = c.check.packetReadBudget;
    if (whole - kMaxPacketDump > budget) return kMaxPacketDump;
    budget -= whole - kMaxPacketDump;
    return whole;
}

// Every pass over the packets may read as much again as the file holds.
void ResetReadBudget() { Ctx().check.packetReadBudget = Ctx().doc.dataLength; }

// Child list and text blocks of packet `id`, by the pass.
int ExamineLinks(DocFile* f, uint32_t id, ListTarget* target, Pass pass, uint32_t searched) {
    EngineContext& c = Ctx();
    if (id >= c.doc.packets.size()) return 1;
    const IndexEntry e = c.doc.packets[id].entry;
    const uint32_t count = static_cast<uint32_t>(c.doc.packets.size());
    const bool onlyDump = e.Type() == 0 && pass != Pass::Usage;
    // Most packets have neither list nor blocks: unless shown, not even read.
    const bool shown = target && pass != Pass::Usage;
    if (!shown && (onlyDump || (e.Flags() & (kFlagChildList | kFlagTextBlocks)) == 0)) return 0;

    std::vector<uint8_t> data;
    try {
        data = ReadPacketData(f, e, onlyDump ? kMaxPacketDump : ExamineLimit(e, pass));
    } catch (const std::bad_alloc&) {
        AddListLine(kNoTarget, Text(Problem::NoMemory));
        return 1;
    }
    const std::span<const uint8_t> bytes(data);
    auto dump = [&] {
        if (shown) {
            const size_t n = std::min<size_t>(bytes.size(), kMaxPacketDump);
            const DumpOriginScope origin(bytes, e.DataOffset());
            HexDump(static_cast<int64_t>(n), bytes.first(n), target);
        }
    };
    if (onlyDump) {
        dump();
        return 0;
    }
    const ReferenceCounter& counter = *c.profile->refCounter;
    ListTarget* current = c.describer.currentTarget;

    const PacketLayout layout = ReadPacketLayout(e, bytes);
    if (layout.hasChildList) {
        if (!layout.childListFits) {
            Finding(Problem::ChildListTooShort, target, id, pass);
            dump();
            return 0;
        }
        for (const uint32_t child : layout.children) {
            if (child == 0) continue;
            if (child > count) {
                Finding(Problem::ChildIdTooLarge, target, id, pass);
                break;
            }
            // Equal to the entry count: said once, by the counting pass. The
            // booking passes over it silently and ends the list there too,
            // so that it never meets a child the counting did not count.
            if (child == count) {
                if (pass != Pass::Book) Finding(Problem::TooManyChildren, current, id, pass);
                break;
            }
            if (c.doc.packets[child].entry.Type() == 0) {
                Finding(Problem::ChildDeleted, current, id, pass);
                break;
            }
            switch (pass) {
                case Pass::Count: counter.CountUse(child, false); break;
                case Pass::Book: counter.Book(id, kRefChildList, 255, child, 0xFFFFFFFF); break;
                case Pass::Usage:
                    if (child == searched) {
                        const int32_t number = ++c.check.usageNumber;
                        AddDataLine(target, UsedInPacketLine(number, id), kTagPacket + id);
                    }
                    break;
                case Pass::ListOnly: break;
            }
        }
    }

    // Size words the bytes do not hold read as 0, and blocks of size 0 are
    // passed over.
    for (size_t b = 0; b < layout.blocks.size(); ++b) {
        const PacketLayout::Block& block = layout.blocks[b];
        if (block.size == 0) continue;
        if (!block.inside) {
            Finding(Problem::BlockBeyondPacket, target, pass == Pass::Usage ? searched : id, pass);
            break;
        }
        if (pass != Pass::ListOnly) {
            const size_t at = static_cast<size_t>(block.start);
            TextBlockScan scan;
            scan.file = f;
            scan.target = target;
            scan.packetId = id;
            scan.usage = pass == Pass::Usage;
            scan.searchedId = searched;
            scan.blockOffset = pass == Pass::Usage ? 0 : static_cast<uint32_t>(e.DataOffset() + at);
            scan.block = static_cast<uint16_t>(b);
            CorruptStretch stretch;
            stretch.checkOrExtract = true;
            CheckTextBlockCodes(bytes.subspan(at, block.held), scan, stretch);
        }
    }
    dump();
    return 0;
}

// ---- The passes of the check --------------------------------------------

void ClearForCheck(CheckState& st) {
    st.totals = CheckTotals{};
    st.countMismatches = 0;
    st.otherFindings = 0;
    st.corruptFound = false;
    st.complete = false;
    st.refs.clear();
    st.refs.shrink_to_fit();
    st.ranges.clear();
    st.ranges.shrink_to_fit();
    st.progress = nullptr;
    st.progressPending = 0;
    st.progressBatch = 1;
}

CodeWalkRequest BodyWalk(DocFile* f, int caption) {
    CodeWalkRequest rq;
    rq.file = f;
    rq.sink = nullptr;
    rq.start = 0;
    rq.mode = kModeDecoded;
    rq.groupMask = 0xFFFFFFFF;
    rq.classMask = 0xFFFFFFFF;
    rq.length = kWalkToEnd;
    rq.captionId = caption;
    return rq;
}

int Canceled(ListTarget* report) {
    AddListLine(report, Text(Problem::Canceled));
    return 1;
}

// Pass 1: entry 0 and every packet's child list and text blocks; the sizes.
// False when cancelled.
bool PacketPass(DocFile* f, CheckState& st) {
    auto& packets = Ctx().doc.packets;
    const uint32_t count = static_cast<uint32_t>(packets.size());
    const ReferenceCounter& counter = *Ctx().profile->refCounter;
    auto dialog = EntryDialog(kCaptionErrorsPass1, count, static_cast<int>(count));
    ResetReadBudget();
    uint64_t used = uint64_t{count} * kIndexEntrySize;
    uint64_t deleted = 0;
    st.totals.usedCount = 1;
    for (uint32_t id = 1; id < count; ++id) {
        if (packets[id].entry.Flags() & kFlagMinOneUse) counter.CountMinUse(packets[id]);
        CountPacketRefs(f, id, kNoTarget, RefCountMode::Count);
        const IndexEntry& e = packets[id].entry;
        if (e.Type() == 0 && e.DataSize() != 0) {
            deleted += e.DataSize();
            ++st.totals.deletedCount;
        } else if (e.DataSize() == 0) {
            ++st.totals.emptyCount;
        } else {
            used += e.DataSize();
            ++st.totals.usedCount;
        }
        if (dialog) {
            dialog->StepIt();
            if (dialog->CheckCancel()) return false;
        }
        if (packets.size() != count) return false;
    }
    st.totals.usedBytes = Saturate(used);
    st.totals.deletedBytes = Saturate(deleted);
    return true;
}

// The prefix area against the sizes of the packets in it. Not findings.
void SizeLines(ListTarget* report, CheckState& st) {
    const FileHeader& h = Ctx().doc.header;
    const uint64_t laid = uint64_t{h.IndexOffset()} + st.totals.deletedBytes + st.totals.usedBytes;
    const uint64_t docOffset = h.DocOffset();
    if (docOffset > laid)
        st.totals.extraBytes = Saturate(docOffset - laid);
    else
        st.totals.overlapBytes = Saturate(laid - docOffset);
    if (st.totals.deletedBytes != 0)
        PrintLine(report, DeletedBytesLine(st.totals.deletedBytes, st.totals.deletedCount));
    if (st.totals.extraBytes != 0) AddListLine(report, ExtraBytesLine(st.totals.extraBytes));
    if (st.totals.overlapBytes != 0) AddListLine(report, OverlapLine(st.totals.overlapBytes));
}

// Reference slots from the counts; the sum of all counts. Style packets
// nobody uses are what removing unused styles would save.
uint64_t AssignSlots(CheckState& st) {
    auto& packets = Ctx().doc.packets;
    uint64_t running = 0;
    for (size_t id = 1; id < packets.size(); ++id) {
        PacketEntry& p = packets[id];
        const uint32_t total = uint32_t{p.countedUses} + p.countedHidden;
        p.firstRefSlot = total == 0 || running > INT32_MAX ? -1 : static_cast<int32_t>(running);
        running += total;
        if (total == 0 && StyleType(p.entry.Type())) {
            st.totals.unusedStyleBytes = Saturate(uint64_t{st.totals.unusedStyleBytes} + p.entry.DataSize());
        }
    }
    return running;
}

enum class CrossRef { Built, NoMemory, Canceled };

// Room for the ranges the booking will close, in one piece; a guess that
// cannot be had leaves the list to grow as it goes.
void ReserveRanges(CheckState& st, uint64_t count) {
    if (count == 0 || count > st.ranges.max_size() - st.ranges.size()) return;
    try {
        st.ranges.reserve(st.ranges.size() + static_cast<size_t>(count));
    } catch (const std::exception&) {
    }
}

CrossRef CrossReference(DocFile* f, uint64_t total, uint64_t ranges, const CancelWatch& watch) {
    EngineContext& c = Ctx();
    CProgressDialog dialog(kCaptionCrossReference);
    CProgressDialog* shown = dialog.Create() ? &dialog : nullptr;
    if (total > 0x7FFFFFFF || !AllocateReferenceTable(static_cast<uint32_t>(total), shown)) {
        Box(Problem::NoMemory, "Error");
        return CrossRef::NoMemory;
    }
    ReserveRanges(c.check, ranges);
    c.check.progress = shown;
    c.check.progressPending = 0;
    c.check.progressBatch = static_cast<uint32_t>(std::max<uint64_t>(1, total / kBookingSteps));
    SinkSwitches switches = CurrentSwitches();
    switches.stopValue = -1;
    OperationScope booking(Operation::CheckBook, switches);
    ResetReadBudget();
    const uint32_t count = static_cast<uint32_t>(c.doc.packets.size());
    bool canceled = false;
    for (uint32_t id = 1; id < count && !canceled; ++id) {
        CountPacketRefs(f, id, kNoTarget, RefCountMode::Count);
        canceled = (shown && shown->CheckCancel()) || c.doc.packets.size() != count;
    }
    if (!canceled) {
        WalkCodeStream(BodyWalk(f, 0));
        StepBookingProgress();
        canceled = (shown && shown->CheckCancel()) || watch.Pressed();
    }
    c.check.progress = nullptr;
    return canceled ? CrossRef::Canceled : CrossRef::Built;
}

void CompareBooked() {
    const auto& packets = Ctx().doc.packets;
    for (size_t id = 1; id < packets.size(); ++id) {
        const PacketEntry& p = packets[id];
        if (p.refsBooked != uint32_t{p.countedUses} + p.countedHidden) {
            Box(Problem::RefCountMismatch, "Error");
            return;
        }
    }
}

class SalvinoCounter final : public ReferenceCounter {
public:
    void Reset(std::vector<PacketEntry>& packets) const override {
        for (PacketEntry& p : packets) {
            p.countedUses = 0;
            p.countedHidden = 0;
            p.minUseCount = 0;
            p.refsBooked = 0;
            p.firstRefSlot = -1;
        }
    }
    void CountMinUse(PacketEntry& entry) const override { entry.minUseCount = AddU16(entry.minUseCount, 1); }
    void CountUse(uint32_t id, bool hidden) const override {
        auto& packets = Ctx().doc.packets;
        if (id == 0 || id >= packets.size()) return;
        uint16_t& n = hidden ? packets[id].countedHidden : packets[id].countedUses;
        n = AddU16(n, 1);
    }
    void Book(uint32_t referencing, uint8_t kind, uint8_t subKind, uint32_t referenced,
              uint32_t offset) const override {
        BookReference(static_cast<int32_t>(referencing), kind, subKind, referenced, offset);
    }
};

}  // namespace

const ReferenceCounter& SalvinoReferenceCounter() {
    static const SalvinoCounter counter;
    return counter;
}

int CountPacketRefs(DocFile* f, uint32_t id, ListTarget* target, RefCountMode mode) {
    Pass pass = Pass::ListOnly;
    if (mode == RefCountMode::Count) pass = Ctx().sink.stopValue == -1 ? Pass::Book : Pass::Count;
    return ExamineLinks(f, id, target, pass, 0);
}

int CheckPacketLinks(DocFile* f, uint32_t id, ListTarget* target, uint32_t searched) {
    return ExamineLinks(f, id, target, Pass::Usage, searched);
}

void CheckTextBlockCodes(std::span<const uint8_t> block, const TextBlockScan& scan,
                         CorruptStretch& stretch) {
    EngineContext& c = Ctx();
    const ReferenceCounter& counter = *c.profile->refCounter;
    const bool booking = c.sink.stopValue == -1;
    const bool counting = !scan.usage && !booking;
    const uint32_t count = static_cast<uint32_t>(c.doc.packets.size());
    const size_t len = block.size();
    const auto id = static_cast<uint16_t>(scan.packetId);
    size_t e = 0;

    auto open = [&](size_t at, const char* message) {
        OpenCorruptRange(stretch, scan.file, scan.target, scan.blockOffset + static_cast<uint32_t>(at),
                         static_cast<uint32_t>(len), static_cast<uint32_t>(len), message,
                         static_cast<int32_t>(scan.packetId));
    };
    auto damage = [&](const char* message) {
        open(e, message);
        ++e;
    };

    while (e < len) {
        const uint8_t b = block[e];
        if (b == 0x00) {
            damage(Text(Problem::NullByte));
        } else if (b == 0xFF) {
            damage(Text(Problem::InvalidByte));
        } else if (b <= 0xCF) {
            ++e;
        } else if (b >= 0xF0) {
            const size_t l = FixedFunctionLength(b);
            // A function the block's end cuts off has no last gate to compare.
            if (e + l <= len && block[e + l - 1] == b)
                e += l;
            else
                damage(Text(Problem::FixedGates));
        } else {
            if (len - e < 6) {
                damage(Text(Problem::IncompleteFunction));
                continue;
            }
            const auto size = static_cast<int16_t>(GetU16(block, e + 2));
            if (size <= 0) {
                damage(Text(Problem::InvalidEndLength));
                continue;
            }
            const size_t s = static_cast<size_t>(size);
            if (e + s > len) {
                damage(Text(Problem::BeyondBlock));
                continue;
            }
            if (s <= 6 || block[e + s - 1] != b || GetU16(block, e + s - 3) != s) {
                damage(Text(Problem::SizesDontMatch));
                continue;
            }
            const std::span<const uint8_t> fn = block.subspan(e, s);
            const bool ids = (GetU8(fn, 4) & 0x80) != 0;
            const uint32_t n = ids ? GetU8(fn, 5) : 0;
            if (ids && 6 + 2 * size_t{n} > s - 3) {
                const std::string line = CannotFitLine(n);
                damage(line.c_str());
                continue;
            }
            CloseCorruptRange(stretch, id, scan.block, stretch.start,
                              scan.blockOffset + static_cast<uint32_t>(e));
            for (uint32_t i = 0; i < n; ++i) {
                const uint32_t ref = GetU16(fn, 6 + 2 * size_t{i});
                if (scan.usage) {
                    if (ref != 0 && ref == scan.searchedId) {
                        const int32_t number = ++c.check.usageNumber;
                        AddDataLine(scan.target, UsedInSubdocLine(number, scan.packetId),
                                    kTagPacket + scan.packetId);
                    }
                    continue;
                }
                if (ref != 0 && ref >= count) {
                    open(e, Text(Problem::PrefixIdOutOfRange));
                    continue;
                }
                if (booking)
                    counter.Book(scan.packetId, kRefTextBlock, static_cast<uint8_t>(i), ref, scan.blockOffset);
                else if (counting)
                    counter.CountUse(ref, false);
            }
            e += s;
        }
    }
    CloseCorruptRange(stretch, id, scan.block, stretch.start,
                      scan.blockOffset + static_cast<uint32_t>(len));
}

int AllocateReferenceTable(uint32_t count, CProgressDialog* dialog) {
    CheckState& st = Ctx().check;
    if (dialog) {
        dialog->SetRange(0, static_cast<int>(std::min<uint32_t>(count, INT32_MAX)));
        dialog->SetStep(1);
    }
    st.refs.clear();
    st.refs.shrink_to_fit();
    if (count == 0) return 1;
    try {
        st.refs.resize(count);
    } catch (const std::exception&) {
        st.refs.clear();
        return 0;
    }
    return 1;
}

int VerifyPacketCounts(ListTarget* report) {
    EngineContext& c = Ctx();
    CheckState& st = c.check;
    const auto& packets = c.doc.packets;
    auto finding = [&](const std::string& line, uint32_t id) {
        AddErrorLine(report, line, kTagPacket + id);
        ++st.countMismatches;
        st.corruptFound = true;
    };
    for (uint32_t id = 1; id < packets.size(); ++id) {
        const PacketEntry& p = packets[id];
        const IndexEntry& e = p.entry;
        const uint32_t expected = uint32_t{p.countedUses} + ((e.Flags() & kFlagMinOneUse) ? 1 : 0);
        const bool useWrong = e.UseCount() != expected || e.HiddenCount() != p.countedHidden;
        const bool max1Wrong = (e.Flags() & kFlagMaxOneUse) && e.UseCount() > 1 && e.Type() != 0x08;
        if (!useWrong && !max1Wrong) continue;
        const std::string type = PacketTypeName(e.Type(), id);
        if (useWrong && !CountExempt(e.Type())) finding(UseMismatchLine(id, e, p, type), id);
        if (max1Wrong) finding(Max1Line(id, e, p, type), id);
    }
    const bool corrupt = st.countMismatches != 0 || st.otherFindings != 0;
    return PrintLine(report, Text(corrupt ? Problem::Corrupt : Problem::Sound));
}

int CheckDocument(DocFile* f, ListTarget* report) {
    EngineContext& c = Ctx();
    CheckState& st = c.check;
    ClearForCheck(st);
    if (c.doc.packets.empty() && ReadIndex(f, report) != 0) return 1;
    c.profile->refCounter->Reset(c.doc.packets);

    CheckSinkScope scope(report);
    CancelWatch watch;

    if (!PacketPass(f, st)) return Canceled(report);
    SizeLines(report, st);

    WalkCodeStream(BodyWalk(f, kCaptionErrorsPass2));
    if (watch.Pressed()) return Canceled(report);

    const uint64_t total = AssignSlots(st);
    if (!report) return 0;  // no list: counted, nothing booked, no verdict

    // The booking closes at most one range per undo marker and per damage
    // the counting found.
    const uint64_t ranges = uint64_t{st.undoMarkers} + static_cast<uint32_t>(st.otherFindings);
    switch (CrossReference(f, total, ranges, watch)) {
        case CrossRef::NoMemory: return 1;
        case CrossRef::Canceled: return Canceled(report);
        case CrossRef::Built: break;
    }
    CompareBooked();
    const int result = VerifyPacketCounts(report);
    st.complete = true;
    return result;
}

int RunDocumentCheck(DocFile* f, ListTarget* report) {
    CheckState& st = Ctx().check;
    st.totals.unusedStyleBytes = 0;
    st.totals.undoBytes = 0;
    st.undoLevel = 0;
    st.undoStart = 0;
    return CheckDocument(f, report);
}

int RecheckDocument(DocFile* f, ListTarget* report) {
    DocumentState& doc = Ctx().doc;
    if (!f || !doc.changed) return 1;
    // What changed is the file: its index is read again, not taken from memory.
    doc.packets.clear();
    {
        CancelWatch watch;
        int read = 0;
        {
            SinkSwitches silently = CurrentSwitches();
            silently.defaultList = nullptr;
            OperationScope scope(Operation::Listing, silently);
            read = ScanPackets(f, kNoTarget, kAllPackets, false, kModeHex, nullptr,
                               kCaptionScanningPrefixPackets);
        }
        if (read != 0) {
            Box(Problem::CannotReadPrefix, "FATAL Error");
            return 0;
        }
        if (watch.Pressed()) {
            Ctx().check.complete = false;
            Canceled(report);
            return 1;
        }
    }
    // A check that did not come to its verdict leaves the document to be
    // checked again.
    if (RunDocumentCheck(f, report) == 0 && Ctx().check.complete) doc.changed = false;
    return 1;
}

void ListPacketUsage(DocFile* f, ListTarget* target, uint32_t id, int mode) {
    EngineContext& c = Ctx();
    CheckState& st = c.check;
    if (c.doc.packets.empty()) {
        st.totals = CheckTotals{};
        if (ReadIndex(f, target) != 0) return;
    }
    const uint32_t count = static_cast<uint32_t>(c.doc.packets.size());
    // Id 0 and ids outside the table would turn the stop value of the body
    // walk into "no stop" or "cross reference".
    if (id == 0 || id >= count) return;

    st.corruptFound = false;
    st.usageNumber = 0;
    auto dialog = EntryDialog(kCaptionScanningPrefixPackets, count, static_cast<int>(count));

    // The usage-list flag is up before the header, so that the hex form of
    // the header leaves out the packet's data.
    SinkSwitches switches;
    switches.usageList = true;
    OperationScope scope(Operation::UsageList, switches);
    ShowPacketHeader(f, c.doc.packets[id], id, target, true, mode, nullptr, true);
    PrintLine(target, Text(Problem::PrefixUsageHead));
    if (c.doc.packets[id].entry.Flags() & kFlagMinOneUse) {
        PrintLine(target, Text(Problem::MinFlagUsage));
        ++st.usageNumber;
    }
    bool canceled = false;
    ResetReadBudget();
    for (uint32_t e = 1; e < count && !canceled; ++e) {
        CheckPacketLinks(f, e, target, id);
        if (dialog) {
            dialog->StepIt();
            canceled = dialog->CheckCancel();
        }
        canceled = canceled || c.doc.packets.size() != count;
    }
    if (canceled) {
        AddListLine(target, Text(Problem::Canceled));
    } else {
        PrintLine(target, st.usageNumber == 0 ? NotInPacketsLine(id) : std::string("  "));
        PrintLine(target, " ");
        PrintLine(target, Text(Problem::DocumentUsageHead));
        dialog.reset();
        const int32_t before = st.usageNumber;
        {
            SinkSwitches seeking = switches;
            seeking.stopValue = static_cast<int32_t>(id);
            OperationScope walk(Operation::UsageList, seeking);
            CodeWalkRequest rq = BodyWalk(f, kCaptionPrefixUsage);
            rq.sink = target;
            WalkCodeStream(rq);
        }
        if (st.usageNumber == before) PrintLine(target, NotInBodyLine(id));
    }
}

int QWFixPacketCounts(ListTarget* list) {
    EngineContext& c = Ctx();
    auto& packets = c.doc.packets;
    // Counts from a cancelled or failed check would be written as if true.
    if (packets.empty() || c.doc.header.IndexOffset() == 0 || !c.check.complete) {
        Box(Problem::NoPacketTable, Text(Msg::FixCountsFailed));
        return 0;
    }
    struct Tests {
        bool use = false, hidden = false, max1 = false, needsMin = false;
        bool Any() const { return use || hidden || max1 || needsMin; }
    };
    std::vector<Tests> tests(packets.size());
    int failed = 0;
    for (size_t id = 1; id < packets.size(); ++id) {
        const PacketEntry& p = packets[id];
        const IndexEntry& e = p.entry;
        Tests& t = tests[id];
        const uint32_t all = uint32_t{p.countedUses} + p.countedHidden + p.minUseCount;
        t.needsMin = e.Type() == 0x53 && !(e.Flags() & kFlagMinOneUse) && all == 0;
        t.use = e.UseCount() != uint32_t{p.countedUses} + p.minUseCount + (t.needsMin ? 1 : 0);
        t.hidden = e.HiddenCount() != p.countedHidden;
        t.max1 = e.Type() != 0 && (e.Flags() & kFlagMaxOneUse) && all > 1;
        failed += int{t.use} + int{t.hidden} + int{t.max1} + int{t.needsMin};
    }
    CProgressDialog dialog(kCaptionFixingPrefixCounts);
    CProgressDialog* shown = nullptr;
    if (failed > 0 && dialog.Create()) {
        shown = &dialog;
        dialog.SetRange(0, 1 + failed);
        dialog.SetStep(1);
    }
    auto setU16 = [](IndexEntry& e, size_t at, uint32_t v) {
        e.bytes[at] = static_cast<uint8_t>(v);
        e.bytes[at + 1] = static_cast<uint8_t>(v >> 8);
    };
    for (uint32_t id = 1; id < packets.size(); ++id) {
        const Tests& t = tests[id];
        if (!t.Any()) continue;
        PacketEntry& p = packets[id];
        IndexEntry& e = p.entry;
        if (shown) shown->StepIt();
        if (t.use) {
            // The min flag added below is a use the next check counts.
            const uint32_t v = (uint32_t{p.minUseCount} + p.countedUses + (t.needsMin ? 1 : 0)) & 0xFFFF;
            setU16(e, 2, v);
            if (list) AddListLine(list, FixedUseLine(id, static_cast<int>(v)));
        }
        if (t.hidden) {
            setU16(e, 4, p.countedHidden);
            if (list) AddListLine(list, FixedHiddenLine(id, p.countedHidden));
        }
        if (t.max1) {
            e.bytes[0] = static_cast<uint8_t>(e.bytes[0] & ~kFlagMaxOneUse);
            if (list) AddListLine(list, RemovedMax1Line(id));
        }
        if (t.needsMin) {
            e.bytes[0] = static_cast<uint8_t>(e.bytes[0] | kFlagMinOneUse);
            if (list) AddListLine(list, AddedMinLine(id));
        }
    }
    return 1;
}

int WriteIndex(DocFile* f, ListTarget* list) {
    EngineContext& c = Ctx();
    const auto& packets = c.doc.packets;
    if (packets.empty() || c.doc.header.IndexOffset() == 0) {
        Box(Problem::NoPacketTable, Text(Msg::FixCountsFailed));
        return 0;
    }
    auto fail = [&](Problem box) {
        if (list) {
            Box(box, "Error");
            AddListLine(list, Text(Problem::WriteFailed));
        }
        return 0;
    };
    const auto at = static_cast<int32_t>(c.doc.header.IndexPosition());
    if (!f || SeekDocFile(f, at, 0) != at) return fail(Problem::WriteFailed);
    int result = 1;
    for (size_t i = 0; i < packets.size(); ++i) {
        if (WriteDocFile(f, packets[i].entry.bytes, kIndexEntrySize) == static_cast<int32_t>(kIndexEntrySize))
            continue;
        if (list) return fail(Problem::WriteFailedBox);
        // Without a list the other entries are still written, each at its own place.
        result = 0;
        const auto next = static_cast<int32_t>(at + (i + 1) * kIndexEntrySize);
        if (SeekDocFile(f, next, 0) != next) return 0;
    }
    return result;
}

}  // namespace engine
