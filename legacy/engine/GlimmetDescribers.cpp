// The older inspector's describers: the shared ones where they are alike,
// and small older forms built from the same primitives and pieces.
#include "legacy/engine/GlimmetDescribers.h"

#include <algorithm>
#include <array>
#include <string>

#include "engine/Check.h"
#include "engine/Codes.h"
#include "engine/Describe.h"
#include "engine/DescriberFunctions.h"
#include "engine/DescriberPackets.h"
#include "engine/EngineContext.h"
#include "engine/Format.h"
#include "engine/OutputSink.h"
#include "engine/PacketNames.h"

namespace legacy {

namespace {

using engine::BoxDetail;
using engine::BoxSection;
using engine::DrawSection;
using engine::Format;
using engine::GetU16;
using engine::GetU8;
using engine::ListTarget;
using engine::NameRow;
using engine::NameTable;

constexpr uint8_t kTableGroup = 0xD0;

// ---- Variable-length functions -------------------------------------------------

// Each prefix id the function's own bytes hold: its line, and one use for
// a packet of the table (hidden inside an undo area).
void ShowPrefixIds(std::span<const uint8_t> fn, uint32_t n, ListTarget* sink) {
    engine::EngineContext& c = engine::Ctx();
    const auto& packets = c.doc.packets;
    for (uint32_t i = 0; i < n && 6 + 2 * size_t{i} + 2 <= fn.size(); ++i) {
        const uint32_t id = GetU16(fn, 6 + 2 * size_t{i});
        const bool known = id != 0 && id < packets.size();
        const std::string type = known ? engine::PacketTypeName(packets[id].entry.Type(), id) : std::string();
        if (sink)
            engine::AddDataLine(sink,
                                engine::Format<engine::Msg::PrefixRef>(static_cast<int>(i), id, type.c_str()),
                                engine::kTagPacket + id);
        if (known) c.profile->refCounter->CountUse(id, c.sink.invalidTextMarker != 0);
    }
}

constexpr engine::SubfunctionForm kOlderTable{
    .lineFeeds = true, .details = false, .formulaWord = false, .unknown = "unknown subfunction"};

// ---- Function data -----------------------------------------------------------------

void MarginChange(std::span<const uint8_t>) {
    engine::ShowByteField("LF5_ flags 0x%02X");
    const uint8_t state = engine::ReadFieldByte();
    engine::ShowByteField("Initial format flags 0x%02X");
    engine::ShowEitherOr(state, 0, "   (Already formatted)", "   (Initial formatting)");
    engine::ShowFields(engine::NewMarginRows());
}

constexpr NameRow kAppliedRows[] = {{0, "    Taper"},  {1, "    Translate"}, {2, "    Shear"},   {3, "    Scale"},
                                    {4, "    Rotate"}, {5, "    ObjectID"},  {7, "    EditLock"}};
constexpr NameTable kApplied{"MatrixAppliedAttributes", kAppliedRows};
constexpr auto kMatrixFlagRows = engine::IndexedNames({"      Idenity Matrix", "      Linear Matrix",
                                                       "      Affine Matrix", "      Translation in high precision"});
constexpr NameTable kMatrixFlags{"MatrixFlags", kMatrixFlagRows};

// A fixed-point value stored fraction first, shown integer part first.
struct FixedValue {
    unsigned whole;
    unsigned fraction;
};
FixedValue ReadFixed() {
    const unsigned fraction = engine::ReadFieldWord();
    return {engine::ReadFieldWord(), fraction};
}
void ShowFixedRow(engine::FieldFormat<6> format) {
    const FixedValue a = ReadFixed();
    const FixedValue b = ReadFixed();
    const FixedValue c = ReadFixed();
    engine::ShowLine(Format(format.text, a.whole, a.fraction, b.whole, b.fraction, c.whole, c.fraction));
}

// The matrix block that flag bit 3 announces in the older draw object.
bool Matrix(int&) {
    engine::ShowWordField("  Characterization flags = 0x%02X");
    engine::ShowSetBits(engine::ShowDwordField("  Applied Attributes = 0x%08X"), kApplied);
    engine::ShowDwordField("  Editlock flags         = 0x%08X");
    const FixedValue rotation = ReadFixed();
    engine::ShowLine(Format("  Rotation = %04x.%04x", rotation.whole, rotation.fraction));
    ShowFixedRow("    e11= %04x.%04x    e12= %04x.%04x    e13= %04x.%04x");
    ShowFixedRow("    e21= %04x.%04x    e22= %04x.%04x    e23= %04x.%04x");
    const FixedValue e33 = ReadFixed();
    engine::ShowLine(Format("                                                  e33= %04x.%04x", e33.whole, e33.fraction));
    engine::ShowSetBits(engine::ShowDwordField("    Matrix flags = 0x%08X"), kMatrixFlags);
    unsigned e3[4];
    for (unsigned& v : e3) v = engine::ReadFieldDword();
    engine::ShowLine(Format("    e31= %08x.%08x    e32= %08x.%08x", e3[0], e3[1], e3[2], e3[3]));
    return true;
}

// Rows of a flag-section table replaced by bit.
template <class State, size_t N>
std::array<engine::FlagSection<State>, N> Replaced(std::span<const engine::FlagSection<State>> shared,
                                                  std::initializer_list<engine::FlagSection<State>> older) {
    std::array<engine::FlagSection<State>, N> t{};
    for (size_t i = 0; i < N && i < shared.size(); ++i) {
        t[i] = shared[i];
        for (const auto& o : older)
            if (o.bit == t[i].bit) t[i] = o;
    }
    return t;
}

std::span<const DrawSection> DrawSections() {
    static const auto sections = Replaced<int, 13>(engine::DrawObjectSections(), {{3, "MATRIX DATA follows:", &Matrix}});
    return sections;
}

void DrawObject() { engine::DescribeDrawObjectWith(DrawSections()); }

bool BoxBorder(BoxDetail&) {
    const uint16_t size = engine::ShowWordField(engine::SharedText(engine::Msg::BorderDataSize));
    engine::ShowWordField(engine::SharedText(engine::Msg::BorderFlags));
    engine::HexDumpField("HEX data", int64_t{size} - 2);
    return true;
}
bool BoxHtml(BoxDetail&) {
    if (const uint16_t size = engine::ShowWordField("Size of HTML data = 0x%04X")) engine::HexDumpField("HEX data", size);
    return true;
}
bool BoxDrawObject(BoxDetail&) {
    DrawObject();
    return true;
}

std::span<const BoxSection> BoxSections() {
    static const auto sections = [] {
        const auto shared = engine::BoxSections();
        // Bit 1 is one more undocumented section, of bit 0's layout.
        bool (*undocumented)(BoxDetail&) = nullptr;
        for (const BoxSection& s : shared)
            if (s.bit == 0) undocumented = s.show;
        return Replaced<BoxDetail, 16>(shared, {{11, engine::SharedText(engine::Msg::BoxBorderData), &BoxBorder},
                                                {7, "BOX HTML DATA", &BoxHtml},
                                                {5, engine::SharedText(engine::Msg::BoxDrawObjectData), &BoxDrawObject},
                                                {4, "UANAME DATA (None: uses prefix data only)", nullptr},
                                                {2, "BOX DRAW OBJECT DATA -2-", &BoxDrawObject},
                                                {1, "UNDOCUMENTED DATA (BIT 1)", undocumented}});
    }();
    return sections;
}

void BoxFunction(std::span<const uint8_t>) { engine::DescribeBoxFunctionWith(BoxSections()); }

// ---- Packets -------------------------------------------------------------------------

void StylePacket(const engine::PacketEntry& entry, uint32_t id) {
    engine::DescribeStylePacketAs(entry, id, engine::StyleForm{.valueLines = false, .localStyle = "Local style"});
}

void FillStylePacket(const engine::PacketEntry& entry, uint32_t id) {
    engine::DescribeFillStylePacketAs(entry, id, "Total size of fill data 0x%04X");
}

void BoxStyleBorder() {
    engine::ShowWordField("Size of BORDER data 0x%04X");
    engine::ShowByteField("Box border prefix ID flags 0x%02X");
    const uint16_t size = engine::ShowWordField("Size of border template override data 0x%04X");
    engine::ShowWordField("Border template override flags 0x%04X");
    if (size > 2) engine::HexDumpField("Border template data:", int64_t{size} - 2);
}

void BoxStylePacket(const engine::PacketEntry& entry, uint32_t id) {
    engine::DescribeBoxStylePacketWith(entry, id, &BoxStyleBorder);
}

}  // namespace

int DescribeVariableFunction(std::span<const uint8_t> item, ListTarget* sink, bool singleDescription,
                             uint32_t offset, int mode, uint32_t groupMask, uint32_t classMask) {
    const uint8_t group = GetU8(item, 0);
    const uint8_t sub = GetU8(item, 1);
    const uint32_t size = GetU16(item, 2);
    // Nothing beyond the function's own size is read.
    const auto fn = item.first(std::min<size_t>(size, item.size()));

    if (singleDescription && mode != engine::kModeHex)
        engine::PrintLine(sink, engine::Format<engine::Msg::VariableCode>(group, sub));
    engine::VariableFunctionName(engine::VarFunctionKey(group, sub), sink, offset, singleDescription, groupMask,
                                 classMask);
    if (singleDescription && mode == engine::kModeHex) {
        engine::HexDump(static_cast<int64_t>(fn.size()), fn, sink);
        return 1;
    }
    // Only the check (which sets the default list) reads further.
    if (!singleDescription && !engine::Ctx().sink.defaultList) return 1;

    engine::PrintLine(sink, engine::Format<engine::Msg::FunctionSize>(size));
    uint32_t dataArea = 5;
    if (engine::FunctionFlagsText(GetU8(fn, 4), sink)) {
        const uint32_t n = GetU8(fn, 5);
        dataArea = 6 + 2 * n;
        ShowPrefixIds(fn, n, sink);
    }
    if (group == kTableGroup) {
        engine::DescribeTableFunctionData(fn, dataArea, sink, kOlderTable);
        return 1;
    }
    if (sink && mode != engine::kModeHex) {
        engine::DescribeFunctionData(group, sub, fn);
        return 1;
    }
    const uint32_t nonDeletable = GetU16(fn, dataArea);
    if (nonDeletable >= size) {
        engine::AddListLine(sink, Format("ERROR! Size of Non-Deleteable Data is Too BIG: 0x%02X", nonDeletable));
        return 1;
    }
    engine::DumpFunctionSizes(fn, dataArea, sink);
    return 1;
}

const engine::DescriberBindings& GlimmetDescriberBindings() {
    using P = engine::PacketDescriberId;
    using F = engine::FunctionDescriberId;
    static const auto packets = [] {
        std::array<engine::PacketDescriber, static_cast<size_t>(P::Count)> t{};
        std::copy_n(engine::BuiltDescribers().packets.begin(), t.size(), t.begin());
        t[static_cast<size_t>(P::Style)] = &StylePacket;
        t[static_cast<size_t>(P::FillStyle)] = &FillStylePacket;
        t[static_cast<size_t>(P::BoxStyle)] = &BoxStylePacket;
        return t;
    }();
    static const auto functions = [] {
        std::array<engine::FunctionDescriber, static_cast<size_t>(F::Count)> t{};
        std::copy_n(engine::BuiltDescribers().functions.begin(), t.size(), t.begin());
        t[static_cast<size_t>(F::BoxFunction)] = &BoxFunction;
        t[static_cast<size_t>(F::MarginChange)] = &MarginChange;
        return t;
    }();
    static const engine::DescriberBindings bindings{packets, functions};
    return bindings;
}

}  // namespace legacy
