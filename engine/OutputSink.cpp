#include "engine/OutputSink.h"

#include <cstring>

#include "engine/Document.h"
#include "engine/EngineContext.h"
#include "engine/Format.h"

namespace engine {

namespace {

// A line of the code list and a merged finding fit in 127 characters.
constexpr size_t kMaxLine = 127;

class Silent final : public ListTarget {
public:
    void Append(std::string_view, uint32_t) override {}
    size_t Size() const override { return 0; }
    std::string Text(size_t) const override { return {}; }
    uint32_t Tag(size_t) const override { return 0; }
    void RemoveLast() override {}
};

bool Printing() { return Ctx().sink.printer != nullptr; }

// A pending dump-row offset belongs to the one line being written, whether
// it reaches a list, the page or nothing.
struct LineOffsetScope {
    ~LineOffsetScope() { Ctx().sink.nextLineOffset = kNoFileOffset; }
};

// Every line reaching a list goes through here, so a pending dump-row
// offset lands on exactly the next line.
void Put(ListTarget* target, std::string_view text, uint32_t tag) {
    SinkState& s = Ctx().sink;
    const int64_t offset = s.nextLineOffset;
    s.nextLineOffset = kNoFileOffset;
    if (offset == kNoFileOffset)
        target->Append(text, tag);
    else
        target->AppendAt(text, tag, offset);
}

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// The code-class filter of the Codes page.
bool ClassShown(uint8_t code, uint32_t groupMask, uint32_t classMask) {
    if (code == 0x00 || code == 0xFF) return true;
    if (code <= 0x20) return (classMask & 0x2) != 0;
    if (code <= 0x7F) return (classMask & 0x4) != 0;
    if (code <= 0xCF) return (classMask & 0x8) != 0;
    if (code <= 0xEF) return ((groupMask >> (code - 0xD0)) & 1u) != 0;
    return (classMask & 0x10) != 0;
}

}  // namespace

void SetNextLineOffset(int64_t fileOffset) { Ctx().sink.nextLineOffset = fileOffset; }

DumpOriginScope::DumpOriginScope() : saved_(Ctx().sink.dumpOrigin) {}

DumpOriginScope::DumpOriginScope(std::span<const uint8_t> bytes, int64_t fileOffset)
    : saved_(Ctx().sink.dumpOrigin) {
    SetDumpOrigin(bytes, fileOffset);
}

DumpOriginScope::~DumpOriginScope() { Ctx().sink.dumpOrigin = saved_; }

void SetDumpOrigin(std::span<const uint8_t> bytes, int64_t fileOffset) {
    Ctx().sink.dumpOrigin = {bytes.data(), bytes.size(), fileOffset};
}

int64_t DumpOriginOffset(std::span<const uint8_t> bytes) {
    const SinkState::DumpOrigin& o = Ctx().sink.dumpOrigin;
    if (!o.data || o.fileOffset < 0 || bytes.empty()) return kNoFileOffset;
    const auto from = reinterpret_cast<uintptr_t>(o.data);
    const auto at = reinterpret_cast<uintptr_t>(bytes.data());
    if (at < from || at - from > o.size || bytes.size() > o.size - (at - from)) return kNoFileOffset;
    return o.fileOffset + static_cast<int64_t>(at - from);
}

ListTarget* SilentTarget() {
    static Silent silent;
    return &silent;
}

namespace {
// A line to the printer, or to nobody; kept apart so that a list's line
// does not pay for its frame.
[[gnu::noinline]] int32_t PrintLineSlow(SinkState& s, ListTarget* target, std::string_view text) {
    LineOffsetScope lineOffset;
    if (s.stopValue != 0) return s.stopValue;
    if (!target) return 0;
    PagePrinter& p = *s.printer;
    if (s.currentY + s.lineHeight >= p.PageHeight()) {
        p.NewPage();
        ++s.pageNumber;
        p.DrawText(2, s.lineHeight,
                   Format<Msg::PrintPageHead>(s.fileName.c_str(), s.pageNumber));
        s.currentY = 2 * s.lineHeight;
    }
    if (!text.empty()) p.DrawText(2, s.currentY, text);
    if (s.highlightFlag)
        p.DrawFrame(1, s.currentY - 1, p.TextWidth(text) + 2, s.currentY + s.lineHeight);
    s.currentY += s.lineHeight;
    return 0;
}
}  // namespace

int32_t PrintLine(ListTarget* target, std::string_view text) {
    SinkState& s = Ctx().sink;
    // A list's line, the describers' millions of them: the context is asked once.
    if (s.stopValue == 0 && target && !s.printer) [[likely]] {
        const int64_t offset = s.nextLineOffset;
        s.nextLineOffset = kNoFileOffset;
        if (offset == kNoFileOffset)
            target->Append(text, 0);
        else
            target->AppendAt(text, 0, offset);
        s.nextLineOffset = kNoFileOffset;
        return 0;
    }
    return PrintLineSlow(s, target, text);
}

void AddListLine(ListTarget* target, std::string_view text) {
    LineOffsetScope lineOffset;
    if (Printing()) {
        PrintLine(target, text);
        return;
    }
    if (!target) target = Ctx().sink.defaultList;
    if (target) Put(target, text, 0);
}

TreeItem AddTreeLine(TreeTarget* tree, TreeItem parent, std::string_view text) {
    if (Printing()) {
        if (ListTarget* current = Ctx().describer.currentTarget) PrintLine(current, text);
        return kTreeRoot;
    }
    if (!tree) return kTreeRoot;
    return tree->AppendChild(parent, text, 2);
}

void AddDataLine(ListTarget* target, std::string_view text, uint32_t tag) {
    LineOffsetScope lineOffset;
    if (Printing()) {
        PrintLine(target, text);
        return;
    }
    if (target) Put(target, text, tag);
}

void AddCodeLine(ListTarget* target, std::string_view text, uint32_t tag, bool singleDescription,
                 uint32_t groupMask, uint32_t classMask, uint8_t code) {
    SinkState& s = Ctx().sink;
    if (!target) {
        // Nothing is shown (the check walks so), but the undo area's last
        // line still ends the marking.
        if (!singleDescription && s.invalidTextMarker == -1) s.invalidTextMarker = 0;
        s.nextLineOffset = kNoFileOffset;
        return;
    }
    LineOffsetScope lineOffset;
    const std::string_view line = text.substr(0, kMaxLine);

    bool inUndo = false;
    if (!singleDescription && s.invalidTextMarker != 0) {
        inUndo = true;
        tag |= kTagUndo;
        if (s.invalidTextMarker == -1) s.invalidTextMarker = 0;
    }
    const bool older = Ctx().profile->olderCodeLines;
    if (code == 0xFF && !older) tag |= kTagDamage;
    const bool shown = (!inUndo || (classMask & 0x80000000u) != 0) &&
                       (code == 0xFF && older ? (classMask & 0x10) != 0 : ClassShown(code, groupMask, classMask));
    if (!shown) return;
    if (s.stopValue == -1) tag |= Ctx().profile->tagCrossRef;

    if (s.printer) {
        s.highlightFlag = (tag == s.highlighted);
        PrintLine(target, line);
        s.highlightFlag = false;
        return;
    }
    if (target && (older || s.stopValue <= 0)) Put(target, line, tag);
}

void AddItemDataLine(ListTarget* target, std::string_view text, uint32_t tag) {
    LineOffsetScope lineOffset;
    SinkState& s = Ctx().sink;
    if (s.printer) PrintLine(target, text);
    if (ListTarget* list = target ? target : s.defaultList) Put(list, text, tag);
}

void AddErrorLine(ListTarget* target, std::string_view text, uint32_t tag) {
    SinkState& s = Ctx().sink;
    if (s.usageList && (StartsWith(text, "Error.") || StartsWith(text, "Encountered"))) return;
    const bool merges = target && (tag & kTagDamage) != 0;
    const bool dropped = !target && s.defaultList && (tag & kTagPacket) != 0 && PacketTypeOf(tag & 0xFFFF) == 0x2E;
    if (!merges && !dropped) {
        AddItemDataLine(target, text, tag);
        return;
    }
    LineOffsetScope lineOffset;
    if (s.printer) PrintLine(target, text);
    if (dropped) return;
    const size_t n = target->Size();
    if (n == 0) return;
    std::string merged = "Corrupt: " + target->Text(n - 1);
    if (merged.size() > kMaxLine) merged.resize(kMaxLine);
    target->RemoveLast();
    Put(target, merged, tag);
}

}  // namespace engine
