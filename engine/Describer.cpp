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

constexpr uint32_t kInvalidSize = 0xFFFFFFFF;
constexpr int64_t kFunctionTrailer = 3;
constexpr size_t kMaxCharFieldLine = 255;
constexpr size_t kMaxCharStringLine = 511;

DescriberContext& D() { return Ctx().describer; }
ListTarget* Out() { return D().currentTarget; }
const DescriberLimits& Limits() { return Ctx().profile->describerLimits; }
bool Older() { return Ctx().profile->olderPacketDetail; }

void Line(std::string_view text) { PrintLine(Out(), text); }

uint8_t ByteAt(int64_t at) {
    const std::span<const uint8_t> b = D().base;
    return at >= 0 && at < static_cast<int64_t>(b.size()) ? b[static_cast<size_t>(at)] : 0;
}

// The bytes [from, from + length) that are really there; none when the
// range starts outside them.
std::span<const uint8_t> HeldAt(int64_t from, int64_t length) {
    const std::span<const uint8_t> b = D().base;
    const int64_t size = static_cast<int64_t>(b.size());
    if (from < 0 || from >= size || length <= 0) return {};
    return b.subspan(static_cast<size_t>(from), static_cast<size_t>(std::min(length, size - from)));
}

void DumpHeld(std::span<const uint8_t> bytes) {
    HexDump(static_cast<int64_t>(bytes.size()), bytes, Out());
}

}  // namespace

// ---- Readers ---------------------------------------------------------------

uint32_t ReadFieldDword() {
    const uint32_t lo = ReadFieldWord();
    return lo | (uint32_t{ReadFieldWord()} << 16);
}

uint16_t ReadFieldWord() {
    DescriberContext& d = D();
    const int64_t at = d.cursor;
    d.cursor += 2;
    // Both bytes held, the usual case, at once; either may lie outside.
    if (at >= 0 && at + 2 <= static_cast<int64_t>(d.base.size()))
        return static_cast<uint16_t>(d.base[static_cast<size_t>(at)] | (d.base[static_cast<size_t>(at) + 1] << 8));
    return static_cast<uint16_t>(ByteAt(at) | (ByteAt(at + 1) << 8));
}

uint8_t ReadFieldByte() {
    DescriberContext& d = D();
    return ByteAt(d.cursor++);
}

uint8_t PeekFieldByte(int64_t ahead) { return ByteAt(D().cursor + ahead); }

uint16_t PeekFieldWord(int64_t ahead) {
    return static_cast<uint16_t>(PeekFieldByte(ahead) | (PeekFieldByte(ahead + 1) << 8));
}

int64_t HeldSize() { return static_cast<int64_t>(D().base.size()); }

bool CursorInside() { return D().cursor >= 0 && D().cursor < HeldSize(); }

void SkipBytes(int64_t count) { D().cursor += count; }

// ---- Line primitives -------------------------------------------------------

void ShowLine(std::string_view text) { Line(text); }

void ShowFinding(std::string_view text, uint32_t tag) {
    if (Older())
        AddItemDataLine(Out(), text, tag);
    else
        AddErrorLine(Out(), text, tag);
}

void ShowPacketError(std::string_view text, uint32_t id) { ShowFinding(text, kTagPacket | id); }

namespace {

// One line by its compiled plan, built on the stack.
void PlannedLine(const char* text, const FormatPlan& plan, const uint32_t* ints, const char* const* texts = nullptr) {
    LineText line;
    WritePlanned(line, text, plan, ints, texts);
    Line(line.View());
}

// One shown field of each kind, for the literal formats and the table rows
// alike; a format reaching here has been checked for its width.
uint32_t ShowValue(const char* format, const FormatPlan& plan, uint32_t v) {
    PlannedLine(format, plan, &v);
    return v;
}

uint16_t ShowPair(const char* format, const FormatPlan& plan, uint16_t v) {
    // The second conversion shows the word signed.
    const uint32_t ints[2] = {v, static_cast<uint32_t>(static_cast<int32_t>(static_cast<int16_t>(v)))};
    PlannedLine(format, plan, ints);
    return v;
}

uint32_t ShowRgbs(const char* format, const FormatPlan& plan) {
    const uint32_t r = ReadFieldByte();
    const uint32_t g = ReadFieldByte();
    const uint32_t b = ReadFieldByte();
    const uint32_t s = ReadFieldByte();
    const uint32_t ints[4] = {r, g, b, s};
    PlannedLine(format, plan, ints);
    return r | g << 8 | b << 16 | s << 24;
}

}  // namespace

uint8_t ShowByteField(const FieldFormat<1>& format) {
    return static_cast<uint8_t>(ShowValue(format.text, format.plan, ReadFieldByte()));
}

uint16_t ShowWordField(const FieldFormat<1>& format) {
    return static_cast<uint16_t>(ShowValue(format.text, format.plan, ReadFieldWord()));
}

uint32_t ShowDwordField(const FieldFormat<1>& format) { return ShowValue(format.text, format.plan, ReadFieldDword()); }

uint16_t ShowWordPair(const FieldFormat<2>& format) { return ShowPair(format.text, format.plan, ReadFieldWord()); }

void ShowRgbsField(const FieldFormat<4>& format) { ShowRgbs(format.text, format.plan); }

uint32_t ShowField(const FieldRow& row) {
    switch (row.width) {
        case FieldWidth::Byte: return ShowValue(row.format, row.plan, ReadFieldByte());
        case FieldWidth::Word: return ShowValue(row.format, row.plan, ReadFieldWord());
        case FieldWidth::Dword: return ShowValue(row.format, row.plan, ReadFieldDword());
        case FieldWidth::WordPair: return ShowPair(row.format, row.plan, ReadFieldWord());
        case FieldWidth::Rgbs: return ShowRgbs(row.format, row.plan);
    }
    return 0;
}

void ShowFields(std::span<const FieldRow> rows) {
    for (const FieldRow& row : rows) ShowField(row);
}

// ---- Names and bits --------------------------------------------------------

const char* NameOf(const NameTable& table, uint32_t value, const char* outside) {
    const char* name = table.Lookup(value, *Ctx().profile);
    return name ? name : outside;
}

void ShowNamedLine(const FieldFormat<1, 1>& format, uint32_t value, const char* name) {
    const char* texts[1] = {name ? name : ""};
    PlannedLine(format.text, format.plan, &value, texts);
}

void ShowNamedLine(const FieldFormat<1, 1>& format, const FieldFormat<1>& fallback, uint32_t value, const char* name) {
    if (name)
        PlannedLine(format.text, format.plan, &value, &name);
    else
        PlannedLine(fallback.text, fallback.plan, &value);
}

void ShowNamedLine(const FieldFormat<2, 1>& format, uint32_t first, uint32_t second, const char* name) {
    const uint32_t ints[2] = {first, second};
    const char* texts[1] = {name ? name : ""};
    PlannedLine(format.text, format.plan, ints, texts);
}

uint8_t ShowNamedByte(const FieldFormat<1, 1>& format, const NameTable& table, const char* outside) {
    const uint8_t v = ReadFieldByte();
    ShowNamedLine(format, v, NameOf(table, v, outside));
    return v;
}

uint16_t ShowNamedWord(const FieldFormat<1, 1>& format, const NameTable& table, const char* outside) {
    const uint16_t v = ReadFieldWord();
    ShowNamedLine(format, v, NameOf(table, v, outside));
    return v;
}

void ShowName(const NameTable& table, uint32_t value, const char* outside) {
    if (const char* name = NameOf(table, value, outside)) Line(name);
}

void ShowSetBits(uint32_t value, const NameTable& bits) {
    for (const NameRow& row : bits.rows) {
        if (!TestBit(value, row.code)) continue;
        if (const char* name = NameOf(bits, row.code)) Line(name);
    }
}

void ShowBitList(const FieldFormat<1>& head, uint32_t value, const NameTable& bits, const char* close) {
    LineText line;
    WritePlanned(line, head.text, head.plan, &value);
    for (const NameRow& row : bits.rows) {
        if (!TestBit(value, row.code)) continue;
        if (const char* name = NameOf(bits, row.code)) line.Append(name);
    }
    line.Append(close);
    Line(line.View());
}

void ShowEitherOr(uint32_t value, unsigned bit, const char* set, const char* clear) {
    if (const char* text = TestBit(value, bit) ? set : clear) Line(text);
}

// ---- Dumps and blocks ------------------------------------------------------

namespace {
void DumpField(const char* caption, int64_t length, int64_t shown) {
    Line(" ");
    Line(caption);
    if (length > 0) DumpHeld(HeldAt(D().cursor, std::min(length, shown)));
    Line(" ");
    D().cursor += length;
}
}  // namespace

void HexDumpField(const char* caption, int64_t length) { DumpField(caption, length, Limits().fieldDump); }

int64_t SizedBlock::Taken() const { return Ctx().describer.cursor - start; }

SizedBlock BeginSizedBlock(int64_t size) { return SizedBlock{D().cursor, size}; }

void DumpRemainder(const char* caption, int64_t rest, Remainder form) {
    if (form == Remainder::PositiveOnly && rest <= 0) return;
    HexDumpField(caption, rest);
}

void HexDumpTextBlock(const char* caption, uint32_t blockSize, uint16_t block,
                      const PacketEntry& entry, uint32_t id) {
    DescriberContext& d = D();
    Line(" ");
    if (block < kNavigableTextBlocks) {
        AddDataLine(Out(), caption, MakeBlockTag(block, id));
        d.textBlocks.size[block] = blockSize;
        d.textBlocks.offset[block] = static_cast<uint32_t>(entry.entry.DataOffset() + d.cursor);
        d.textBlocks.owner[block] = id;
        d.textBlocks.filled[block] = true;
    } else {
        Line(caption);
    }
    DumpHeld(HeldAt(d.cursor, blockSize));
    d.cursor += blockSize;
    Line(" ");
}

// ---- Characters ------------------------------------------------------------

void ShowCharField(uint16_t length, const char* caption) {
    DescriberContext& d = D();
    const int64_t end = d.cursor + 2 * (length / 2);
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
    // A cut line still covers the whole field.
    d.cursor = end;
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
    if (d.cursor < trailer) HexDumpField("Deletable data.", trailer - d.cursor);
}

void HexDumpPacketData(const PacketEntry& entry, uint32_t) {
    HexDumpField("<<<No ASCII display, using HEX display>>>", int64_t{entry.entry.DataSize()} - D().cursor);
}

// ---- Line shapes of the function-data describers ---------------------------

void ShowWordQuad(const FieldFormat<4>& format) {
    uint32_t ints[4];
    for (uint32_t& v : ints) v = ReadFieldWord();
    PlannedLine(format.text, format.plan, ints);
}

void ShowPointField(const FieldFormat<5>& format, uint32_t index) {
    const uint16_t x = ReadFieldWord();
    const uint16_t y = ReadFieldWord();
    const auto signedOf = [](uint16_t v) { return static_cast<uint32_t>(static_cast<int32_t>(static_cast<int16_t>(v))); };
    const uint32_t ints[5] = {index, x, signedOf(x), y, signedOf(y)};
    PlannedLine(format.text, format.plan, ints);
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
            // The older check has listed it already, in its count of the
            // packets' references.
            if (Older() && InCheck()) return false;
            if (DescriberCounts() && !Older()) ++Ctx().check.otherFindings;
            ShowPacketError(Text(Msg::TooManyChildren), id);
            return false;
        }
        if (DescriberBooks() && child != 0 && !Older()) {
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
    if (!layout.childListFits && !Older())
        AddErrorLine(Out(), Text(Msg::ChildListTooShort), kTagPacket | id);
    d.cursor = layout.tableAt;
    return true;
}

// The text blocks of a packet whose type has no describer of its own.
void ShowTextBlocks(const PacketLayout& layout, const PacketEntry& pe, uint32_t id) {
    DescriberContext& d = D();
    const uint32_t dataSize = pe.entry.DataSize();
    Line("Display of text packets");
    ShowWordField(SharedText(Msg::TextBlockCount));
    const uint32_t first = ShowDwordField(SharedText(Msg::FirstTextBlockOffset));
    if (first > dataSize) {
        AddErrorLine(Out(),
                     Format<Msg::FirstBlockBeyondPacket>(id),
                     kTagPacket | id);
        return;
    }
    // Only the size words the data really holds are taken.
    for (size_t b = 0; b < layout.sizes.size(); ++b) ShowDwordField(SharedText(Msg::TextBlockSize));
    if (first != d.cursor)
        HexDumpField(Text(Msg::DataBeforeText), int64_t{first} - d.cursor);
    for (size_t b = 0; b < layout.blocks.size(); ++b)
        HexDumpTextBlock(Text(Msg::TextBlockData), layout.blocks[b].size, static_cast<uint16_t>(b), pe, id);
    if (d.cursor != dataSize)
        HexDumpField("Undocumentated data AFTER text data", int64_t{dataSize} - d.cursor);
}

void ShowPacket(DocFile* f, uint32_t id, const DescriberBindings& with) {
    EngineContext& c = Ctx();
    DescriberContext& d = c.describer;
    const auto& packets = c.doc.packets;
    if (id >= packets.size()) return;
    const PacketEntry& pe = packets[id];
    const IndexEntry& e = pe.entry;
    const uint32_t entryCount = static_cast<uint32_t>(packets.size());

    if (id != 0 && e.DataSize() == kInvalidSize && !Older()) {
        Line("Invalid length, no data displayed");
        return;
    }
    if (id == 0) {
        Line("Header Packet");
        Line(Format("Total packet count = 0x%X", static_cast<unsigned>(e.UseCount())));
        return;
    }
    d.cursor = 0;
    const DescriberLimits& limits = Limits();
    if (e.DataSize() > limits.packetShown) {
        Line(Format("WARNING, packet not displayed, greater that %u bytes", limits.packetShown));
        d.packet = ReadPacketData(f, e, limits.packetHead);
        d.base = d.packet;
        SetDumpOrigin(d.packet, e.DataOffset());
        // The older form's head is shown whole, as its caption says.
        DumpField(Format("Following is first %u bytes", limits.packetHead).c_str(), limits.packetHead,
                  Older() ? limits.packetHead : limits.fieldDump);
        return;
    }
    d.packet = ReadPacketData(f, e, limits.packetShown);
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
    if ((e.Flags() & kFlagTextBlocks) && !describer && !Older()) {
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

namespace {
const DescriberBindings& ProfileDescribers() {
    const DescriberBindings* with = Ctx().profile->describers;
    return with ? *with : BuiltDescribers();
}
}  // namespace

void DescribePacket(DocFile* f, uint32_t id, ListTarget* target) {
    DescribePacket(f, id, target, ProfileDescribers());
}

std::optional<TextBlockPlace> TextBlockAt(uint32_t tag) {
    const uint32_t block = BlockOf(tag);
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
    // Nothing past the function's own size is read.
    const size_t total = GetU16(function, 2);
    if (total < function.size()) function = function.first(total);
    d.function = function;
    d.base = function;
    d.cursor = 5;  // code, subfunction, size word, flags
    if (GetU8(function, 0) != kFirstDescribedGroup && (GetU8(function, 4) & 0x80)) {
        const uint8_t ids = ReadFieldByte();
        d.cursor += 2 * int64_t{ids};
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
    DescribeFunctionData(group, subfunction, function, ProfileDescribers());
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

template <size_t N>
constexpr std::array<FunctionDescriberId, N> Group(std::initializer_list<SubRows> rows = {}) {
    return DescriberGroup<N>(rows);
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

constexpr DescriberRows kSalvinoRows{kPacketDescribers, kFunctionDescribers};

const DescriberRows& Rows() {
    const DescriberRows* rows = Ctx().profile->describerRows;
    return rows ? *rows : kSalvinoRows;
}

}  // namespace

const DescriberRows& SalvinoDescriberRows() { return kSalvinoRows; }

std::span<const PacketDescriberId> PacketDescribers() { return Rows().packets; }

std::span<const std::span<const FunctionDescriberId>> FunctionDescribers() { return Rows().functions; }

PacketDescriberId PacketDescriberOf(uint32_t type) {
    const std::span<const PacketDescriberId> rows = Rows().packets;
    return type < rows.size() ? rows[type] : P::None;
}

FunctionDescriberId FunctionDescriberOf(uint32_t group, uint32_t subfunction) {
    const std::span<const std::span<const FunctionDescriberId>> groups = Rows().functions;
    if (group < kFirstDescribedGroup || group - kFirstDescribedGroup >= groups.size()) return F::None;
    const std::span<const FunctionDescriberId> list = groups[group - kFirstDescribedGroup];
    return subfunction < list.size() ? list[subfunction] : F::None;
}

}  // namespace engine
