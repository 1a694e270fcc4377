#include "engine/Describer.h"

#include <algorithm>

#include "engine/Codes.h"
#include "engine/Describe.h"
#include "engine/EngineContext.h"
#include "engine/Format.h"
#include "engine/Operation.h"
#include "engine/OutputSink.h"
#include "engine/PacketLayout.h"
#include "engine/PacketNames.h"

namespace engine {

namespace {

constexpr int32_t kMaxFieldDump = 10240;
constexpr uint32_t kMaxPacketShown = 0xFFFF;
constexpr uint32_t kLargePacketDump = 4096;
constexpr uint32_t kInvalidSize = 0xFFFFFFFF;
constexpr uint32_t kFunctionTrailer = 3;
constexpr size_t kMaxCharFieldLine = 255;
constexpr size_t kMaxCharStringLine = 511;

DescriberContext& D() { return Ctx().describer; }
ListTarget* Out() { return D().currentTarget; }

void Line(std::string_view text) { PrintLine(Out(), text); }

// The bytes [cursor, cursor + length) that are really there.
std::span<const uint8_t> HeldAt(uint32_t from, uint64_t length) {
    const std::span<const uint8_t> b = D().base;
    if (from >= b.size()) return {};
    return b.subspan(from, static_cast<size_t>(std::min<uint64_t>(length, b.size() - from)));
}

void DumpHeld(std::span<const uint8_t> bytes) {
    HexDump(static_cast<int64_t>(bytes.size()), bytes, Out());
}

}  // namespace

// ---- Readers ---------------------------------------------------------------

uint32_t ReadFieldDword() {
    DescriberContext& d = D();
    const uint32_t v = GetU32(d.base, d.cursor);
    d.cursor += 4;
    return v;
}

uint16_t ReadFieldWord() {
    DescriberContext& d = D();
    const uint16_t v = GetU16(d.base, d.cursor);
    d.cursor += 2;
    return v;
}

uint8_t ReadFieldByte() {
    DescriberContext& d = D();
    const uint8_t v = GetU8(d.base, d.cursor);
    d.cursor += 1;
    return v;
}

// ---- Line primitives -------------------------------------------------------

uint8_t ShowByteField(FieldFormat<1> format) {
    const uint8_t v = ReadFieldByte();
    Line(Format(format.text, static_cast<unsigned>(v)));
    return v;
}

uint16_t ShowWordField(FieldFormat<1> format) {
    const uint16_t v = ReadFieldWord();
    Line(Format(format.text, static_cast<unsigned>(v)));
    return v;
}

uint32_t ShowDwordField(FieldFormat<1> format) {
    const uint32_t v = ReadFieldDword();
    Line(Format(format.text, static_cast<unsigned>(v)));
    return v;
}

uint16_t ShowWordPair(FieldFormat<2> format) {
    const uint16_t v = ReadFieldWord();
    Line(Format(format.text, static_cast<unsigned>(v), static_cast<int>(static_cast<int16_t>(v))));
    return v;
}

void ShowRgbsField(FieldFormat<4> format) {
    const unsigned r = ReadFieldByte();
    const unsigned g = ReadFieldByte();
    const unsigned b = ReadFieldByte();
    const unsigned s = ReadFieldByte();
    Line(Format(format.text, r, g, b, s));
}

void HexDumpField(const char* caption, int32_t length) {
    Line(" ");
    Line(caption);
    if (length > 0) DumpHeld(HeldAt(D().cursor, static_cast<uint32_t>(std::min(length, kMaxFieldDump))));
    Line(" ");
    D().cursor += static_cast<uint32_t>(length);
}

void HexDumpTextBlock(const char* caption, uint32_t blockSize, uint16_t block,
                      const PacketEntry& entry, uint32_t id) {
    DescriberContext& d = D();
    Line(" ");
    if (block < kNavigableTextBlocks) {
        AddDataLine(Out(), caption, kTagTextBlock | (uint32_t{block} << 16) | id);
        d.textBlocks.size[block] = blockSize;
        d.textBlocks.offset[block] = entry.entry.DataOffset() + d.cursor;
        d.textBlocks.owner[block] = id;
        d.textBlocks.filled[block] = true;
    } else {
        Line(caption);
    }
    DumpHeld(HeldAt(d.cursor, blockSize));
    d.cursor += blockSize;
    Line(" ");
}

void ShowCharField(uint16_t length, const char* caption) {
    std::string line = caption;
    const size_t room = line.size() < kMaxCharFieldLine ? kMaxCharFieldLine - line.size() : 0;
    const size_t count = std::min<size_t>(length / 2, room);
    bool ended = false;  // a zero character ends what the line shows
    for (size_t i = 0; i < count; ++i) {
        const uint8_t low = ReadFieldByte();
        ReadFieldByte();
        if (low == 0) ended = true;
        if (!ended) line += static_cast<char>(low);
    }
    Line(line);
}

int ShowCharString(const char* caption, int16_t maximum) {
    std::string line = caption;
    int read = 0;
    int nonZero = 0;
    bool ended = false;  // a zero low byte ends what the line shows, as in ShowCharField
    do {
        const uint8_t low = ReadFieldByte();
        const uint8_t high = ReadFieldByte();
        ++read;
        if (low == 0 && high == 0) break;
        ++nonZero;
        if (low == 0) ended = true;
        if (!ended) line += static_cast<char>(low);
    } while (read < maximum && line.size() < kMaxCharStringLine);
    Line(line);
    return nonZero;
}

void ShowDeletableData() {
    DescriberContext& d = D();
    const int64_t trailer = int64_t{GetU16(d.function, 2)} - kFunctionTrailer;
    if (int64_t{d.cursor} < trailer)
        HexDumpField("Deletable data.", static_cast<int32_t>(trailer - d.cursor));
}

void HexDumpPacketData(const PacketEntry& entry, uint32_t) {
    HexDumpField("<<<No ASCII display, using HEX display>>>",
                 static_cast<int32_t>(entry.entry.DataSize() - D().cursor));
}

// ---- Packets ---------------------------------------------------------------

namespace {

// Lists (or, while the check books, books) the children; false when the
// detail ends here.
bool ShowChildList(const PacketLayout& layout, uint32_t id, uint32_t entryCount) {
    DescriberContext& d = D();
    ReadFieldWord();
    Line(Format("  # of child ID's: 0x%04X", layout.childCount));
    for (size_t i = 0; i < layout.children.size(); ++i) {
        const uint16_t child = layout.children[i];
        d.cursor += 2;
        if (child >= entryCount) {
            if (DescriberCounts()) ++Ctx().check.otherFindings;
            AddErrorLine(Out(), "TOO many child packets", kTagPacket | id);
            return false;
        }
        if (DescriberBooks() && child != 0) {
            BookReference(static_cast<int32_t>(id), kRefChildList, 255, child, 0xFFFFFFFF);
        } else if (child == 0) {
            AddDataLine(Out(), Format("    ID of child %d: 0x%04x", static_cast<int>(i), 0u), kTagPacket);
        } else {
            const std::string name = PacketTypeName(Ctx().doc.packets[child].entry.Type(), child);
            AddDataLine(Out(),
                        Format("    ID of child %d: 0x%04x (%s)", static_cast<int>(i),
                               static_cast<unsigned>(child), name.c_str()),
                        kTagPacket | child);
        }
    }
    // A count larger than the data stops at the data's end; what follows
    // the list is read from where the count puts it.
    if (!layout.childListFits)
        AddErrorLine(Out(), "Too many child packets or packet size is too small.", kTagPacket | id);
    d.cursor = layout.tableAt;
    return true;
}

// The text blocks of a packet whose type has no describer of its own.
void ShowTextBlocks(const PacketLayout& layout, const PacketEntry& pe, uint32_t id) {
    DescriberContext& d = D();
    const uint32_t dataSize = pe.entry.DataSize();
    Line("Display of text packets");
    ShowWordField("# of text blocks: 0x%04X");
    const uint32_t first = ShowDwordField("offset to first text block: 0x%08X");
    if (first > dataSize) {
        AddErrorLine(Out(),
                     Format("ERROR. Prefix ID 0x%02X. 1st Text block offset beyond prefix size", id),
                     kTagPacket | id);
        return;
    }
    // Only the size words the data really holds are taken.
    for (size_t b = 0; b < layout.sizes.size(); ++b) ShowDwordField("size of text block : 0x%08X");
    if (first != d.cursor)
        HexDumpField("Undocumentated data BEFORE text data",
                     static_cast<int32_t>(first - d.cursor));
    for (size_t b = 0; b < layout.blocks.size(); ++b)
        HexDumpTextBlock("Text Block data:", layout.blocks[b].size, static_cast<uint16_t>(b), pe, id);
    if (d.cursor != dataSize)
        HexDumpField("Undocumentated data AFTER text data", static_cast<int32_t>(dataSize - d.cursor));
}

void ShowPacket(DocFile* f, uint32_t id, const DescriberBindings& with) {
    EngineContext& c = Ctx();
    DescriberContext& d = c.describer;
    const auto& packets = c.doc.packets;
    if (id >= packets.size()) return;
    const PacketEntry& pe = packets[id];
    const IndexEntry& e = pe.entry;
    const uint32_t entryCount = static_cast<uint32_t>(packets.size());

    if (id != 0 && e.DataSize() == kInvalidSize) {
        Line("Invalid length, no data displayed");
        return;
    }
    if (id == 0) {
        Line("Header Packet");
        Line(Format("Total packet count = 0x%X", static_cast<unsigned>(e.UseCount())));
        return;
    }
    d.cursor = 0;
    if (e.DataSize() > kMaxPacketShown) {
        Line("WARNING, packet not displayed, greater that 65535 bytes");
        d.packet = ReadPacketData(f, e, kLargePacketDump);
        d.base = d.packet;
        SetDumpOrigin(d.packet, e.DataOffset());
        HexDumpField("Following is first 4096 bytes", static_cast<int32_t>(kLargePacketDump));
        return;
    }
    d.packet = ReadPacketData(f, e, kMaxPacketShown);
    d.base = d.packet;
    SetDumpOrigin(d.packet, e.DataOffset());

    const PacketLayout layout = ReadPacketLayout(e, d.base);
    if (layout.hasChildList) {
        if (!ShowChildList(layout, id, entryCount)) return;
    } else {
        Line("No Child Packets");
    }

    PacketDescriber describer = nullptr;
    const PacketDescriberId which = PacketDescriberOf(e.Type());
    if (which != PacketDescriberId::None && static_cast<size_t>(which) < with.packets.size())
        describer = with.packets[static_cast<size_t>(which)];
    if ((e.Flags() & kFlagTextBlocks) && !describer) {
        ShowTextBlocks(layout, pe, id);
        return;
    }
    Line(" ");
    if (describer)
        describer(pe, id);
    else
        HexDumpPacketData(pe, id);
}

}  // namespace

void DescribePacket(DocFile* f, uint32_t id, ListTarget* target, const DescriberBindings& with) {
    // The list the caller names is the describer target for the detail; a
    // detail asked for inside another operation stays part of it.
    DescriberContext& d = D();
    SinkSwitches switches = CurrentSwitches();
    switches.describerTarget = target;
    {
        const Operation running = CurrentOperation();
        OperationScope scope(running == Operation::None ? Operation::Detail : running, switches);
        const DumpOriginScope origin;
        ShowPacket(f, id, with);
    }
    d.base = {};
    d.packet.clear();
}

void DescribePacket(DocFile* f, uint32_t id, ListTarget* target) {
    DescribePacket(f, id, target, BuiltDescribers());
}

std::optional<TextBlockPlace> TextBlockAt(uint32_t tag) {
    const uint32_t block = (tag >> 16) & 0x0FFF;
    const uint32_t id = tag & 0xFFFF;
    if ((tag & kTagTextBlock) == 0 || block >= kNavigableTextBlocks) return std::nullopt;
    EngineContext& c = Ctx();
    const TextBlockTables& t = c.describer.textBlocks;
    auto owned = [&] { return t.filled[block] && t.owner[block] == id; };
    if (!owned() && c.doc.file && id != 0 && id < c.doc.packets.size())
        DescribePacket(c.doc.file, id, SilentTarget());
    if (!owned()) return std::nullopt;
    return TextBlockPlace{t.offset[block], t.size[block]};
}

// ---- Functions -------------------------------------------------------------

void DescribeFunctionData(uint16_t group, uint16_t subfunction, std::span<const uint8_t> function,
                          const DescriberBindings& with) {
    DescriberContext& d = D();
    d.function = function;
    d.base = function;
    d.cursor = 5;  // code, subfunction, size word, flags
    if (GetU8(function, 0) != kFirstDescribedGroup && (GetU8(function, 4) & 0x80)) {
        const uint8_t ids = ReadFieldByte();
        d.cursor += 2u * ids;
    }
    d.nonDeletableSize = ShowWordField("Size of Non-Deleteable Data: 0x%04X");
    Line(" ");
    FunctionDescriber describer = nullptr;
    const FunctionDescriberId which = FunctionDescriberOf(group, subfunction);
    if (which != FunctionDescriberId::None && static_cast<size_t>(which) < with.functions.size())
        describer = with.functions[static_cast<size_t>(which)];
    if (describer)
        describer(function);
    else
        HexDumpFunction(function);
    d.base = {};
    d.function = {};
}

void DescribeFunctionData(uint16_t group, uint16_t subfunction, std::span<const uint8_t> function) {
    DescribeFunctionData(group, subfunction, function, BuiltDescribers());
}

// ---- Tables ----------------------------------------------------------------

namespace {

using P = PacketDescriberId;
using F = FunctionDescriberId;

constexpr std::array<PacketDescriberId, kPacketDescriberTypes> MakePacketDescribers() {
    std::array<PacketDescriberId, kPacketDescriberTypes> t{};
    for (uint8_t type : {0x07, 0x0C, 0x0F, 0x16, 0x17, 0x18, 0x19, 0x32, 0x33, 0x40, 0x49, 0x58, 0x59})
        t[type] = P::Filename;
    t[0x08] = t[0x1C] = P::Text;
    t[0x09] = P::Bookmark;
    t[0x11] = t[0x45] = P::CounterStyle;
    t[0x12] = t[0x2C] = P::Summary;
    t[0x25] = P::InitialFont;
    t[0x30] = P::Style;
    t[0x3F] = P::LongFilename;
    t[0x41] = P::BoxStyle;
    t[0x42] = P::LineStyle;
    t[0x43] = P::FillStyle;
    t[0x44] = P::BorderStyle;
    t[0x4C] = P::BoxGroup;
    t[0x55] = P::DesiredFont;
    t[0x5B] = P::ObjectName;
    t[0x5C] = P::ObjectList;
    t[0x5D] = P::AssistantData;
    t[0x64] = P::EquationBox;
    return t;
}
constexpr auto kPacketDescribers = MakePacketDescribers();

struct SubRows {
    FunctionDescriberId id;
    std::initializer_list<int> subs;
};

template <size_t N>
constexpr std::array<FunctionDescriberId, N> Group(std::initializer_list<SubRows> rows = {}) {
    std::array<FunctionDescriberId, N> t{};
    for (const SubRows& r : rows)
        for (int s : r.subs) t[static_cast<size_t>(s)] = r.id;
    return t;
}

constexpr auto kD0 = Group<11>();
constexpr auto kD1 = Group<32>({{F::NewWordValue, {0, 1, 7, 8, 9, 10, 25, 26, 27, 30, 31}},
                                {F::SuppressFlags, {2}},
                                {F::OnOffState, {4, 5, 11, 12}},
                                {F::WidowOrphan, {6}},
                                {F::NewByteValue, {13, 19}},
                                {F::BorderFunction, {16}}});
constexpr auto kD2 = Group<4>({{F::NewWordValue, {0, 1}}});
constexpr auto kD3 = Group<27>({{F::NewByteValue, {2, 3, 5, 6}},
                                {F::NewWordValue, {7, 11, 12, 13}},
                                {F::BorderFunction, {15}},
                                {F::DropCap, {23}}});
constexpr auto kD4 = Group<104>({{F::NewWordValue, {0, 1, 28}},
                                 {F::OnOffState, {2, 3, 22, 23, 45}},
                                 {F::AbsoluteRelative, {4, 5}},
                                 {F::LinesToDisplay, {9}},
                                 {F::NewByteValue, {25}},
                                 {F::TableDefinition, {42}},
                                 {F::ColumnDefinition, {44}},
                                 {F::ProofingLevel, {95}},
                                 {F::TabRegion, {96, 97}}});
constexpr auto kD5 = Group<3>();
constexpr auto kD6 = Group<1>();
constexpr auto kD7 = Group<11>();
constexpr auto kD8 = Group<3>();
constexpr auto kD9 = Group<5>();
constexpr auto kDA = Group<6>();
constexpr auto kDB = Group<3>();
constexpr auto kDC = Group<3>();
constexpr auto kDD = Group<12>({{F::StyleReference, {0, 2, 4, 6, 8, 10}},
                                {F::NoDeletableData, {1, 3, 5, 7, 9, 11}}});
constexpr auto kDE = Group<3>();
constexpr auto kDF = Group<4>({{F::BoxFunction, {0, 1, 2}}, {F::RulePosition, {3}}});
constexpr auto kE0 = Group<3>();
constexpr auto kE1 = Group<2>();
constexpr auto kE2 = Group<13>({{F::MarginChange, {0}}, {F::DelayCodes, {10}}});

constexpr std::array<std::span<const FunctionDescriberId>, 19> kFunctionDescribers{
    kD0, kD1, kD2, kD3, kD4, kD5, kD6, kD7, kD8, kD9, kDA, kDB, kDC, kDD, kDE, kDF, kE0, kE1, kE2};
static_assert(kFunctionDescribers.size() == kLastDescribedGroup - kFirstDescribedGroup + 1);

}  // namespace

std::span<const PacketDescriberId> PacketDescribers() { return kPacketDescribers; }

std::span<const std::span<const FunctionDescriberId>> FunctionDescribers() {
    return kFunctionDescribers;
}

PacketDescriberId PacketDescriberOf(uint32_t type) {
    return type < kPacketDescribers.size() ? kPacketDescribers[type] : P::None;
}

FunctionDescriberId FunctionDescriberOf(uint32_t group, uint32_t subfunction) {
    if (group < kFirstDescribedGroup || group > kLastDescribedGroup) return F::None;
    const std::span<const FunctionDescriberId> list = kFunctionDescribers[group - kFirstDescribedGroup];
    return subfunction < list.size() ? list[subfunction] : F::None;
}

}  // namespace engine
