// The Chart Style record (type 16). The record's rest is a stream of
// numbered style sub-records; each is copied into a small area and shown
// field by field from the rows below. Only the walk itself is code.

#include "graphics/ChartStyle.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <span>

#include "engine/Describer.h"
#include "graphics/Fields.h"
#include "graphics/GraphicsState.h"
#include "graphics/Reader.h"

namespace graphics {

namespace {

constexpr size_t kStyleDataSize = 5000;
constexpr size_t kAreaSize = 64;

// What a field row feeds its format, in order.
enum class Kind : uint8_t {
    U8,      // value twice where the format has two conversions
    U16,
    I16,     // sign-extended
    U32,
    F64,     // one double
    F64x3,   // three doubles, 8 bytes apart
    F32,     // one 4-byte float shown as a double
    Colour,  // four bytes in stream order
};

// The conversions a row's kind feeds its format, in order: an index first
// where the row has one, then one value (twice for the hex-and-decimal
// lines) or its doubles or colour bytes.
consteval bool Matches(const char* f, Kind kind, bool indexed) {
    using engine::detail::MatchesKinds;
    switch (kind) {
        case Kind::U8: case Kind::U16: case Kind::I16: case Kind::U32:
            return indexed ? MatchesKinds(f, "ii") || MatchesKinds(f, "iii")
                           : MatchesKinds(f, "i") || MatchesKinds(f, "ii");
        case Kind::F64: case Kind::F32: return !indexed && MatchesKinds(f, "f");
        case Kind::F64x3: return !indexed && MatchesKinds(f, "fff");
        case Kind::Colour: return MatchesKinds(f, indexed ? "iiiii" : "iiii");
    }
    return false;
}

constexpr uint8_t kAllCharts = 0xFF;
constexpr uint8_t kChart0 = 1, kChart1 = 2, kChart2 = 4;
constexpr int16_t kNoIndex = -1;
constexpr int16_t kNoTest = -1;

// One line of a sub-record: the value at `offset` of the area.
struct Row {
    Kind kind;
    uint8_t offset;
    const char* format;  // without the indentation
    int16_t index = kNoIndex;
    uint8_t charts = kAllCharts;  // the recorded chart types the line is for
    int16_t zeroAt = kNoTest;     // shown only while the byte there is 0

    consteval Row(Kind k, uint8_t at, const char* f, int16_t i = kNoIndex, uint8_t c = kAllCharts,
                  int16_t z = kNoTest)
        : kind(k), offset(at), format(f), index(i), charts(c), zeroAt(z) {
        if (!Matches(f, k, i != kNoIndex) || at >= kAreaSize) engine::detail::FieldFormatIsMalformed();
    }
};

using K = Kind;

constexpr Row kAxis[] = {
    {K::U8, 0, engine::SharedText(engine::Msg::ChartType)},
    {K::F64, 8, "Scale Factor = %g "},
    {K::F64, 16, "Maximum Value = %g "},
    {K::F64, 24, "Minimum Value = %g "},
    {K::F64, 32, "Major Tick/Grid Increment = %g "},
    {K::U8, 40, "Number of Minor Increments = %4xh (%5u) "},
    {K::U8, 41, engine::SharedText(engine::Msg::ChartFlags)},
};

constexpr Row kFrame[] = {
    {K::U8, 1, "Base Frame Displayed = %4xh (%5u) "},
    {K::I16, 2, "Base Height = %u "},
    {K::U8, 0, "Frames Displayed = %4xh (%5u) "},
    {K::U32, 4, "Base Entity Flags = %4xh (%5u) ", kNoIndex, kAllCharts, 4},
    {K::U32, 8, "Frame Entity Flags = %4xh (%5u) ", kNoIndex, kAllCharts, 4},
};

constexpr Row kGrid[] = {
    {K::U8, 0, engine::SharedText(engine::Msg::ChartType)},
    {K::U8, 4, "Major Grid Flags = %4xh (%5u) "},
    {K::U8, 5, "Minor Grid Flags = %4xh (%5u) "},
    {K::U8, 6, "Major Tick Flags = %4xh (%5u) "},
    {K::U8, 7, "Minor Tick Flags = %4xh (%5u) "},
    {K::Colour, 8, "Major color = %02x %02x %02x %02x "},
    {K::Colour, 12, "Minor color = %02x %02x %02x %02x "},
};

constexpr Row kStyles[] = {
    {K::U8, 0, "Data/Org/Text Chart Type = %4xh (%5u) "},
    {K::U8, 1, engine::SharedText(engine::Msg::ChartStyle)},
    {K::I16, 2, "Table/Surface Options = %4xh (%5u) "},
    {K::U8, 4, "Hi-Low Chart Style = %4xh (%5u) "},
};

constexpr Row kSizes[] = {
    {K::U8, 0, "Bar/Line/Area Width = %4xh (%5u) "},
    {K::U8, 1, "Bar/Line/Area Depth = %4xh (%5u) "},
    {K::U8, 2, "Bar Overlap = %4xh (%5u) "},
    {K::U8, 3, "Line Height = %4xh (%5u) "},
};

constexpr Row kView[] = {
    {K::I16, 0, "View Flags = %4xh (%5i) "},
    {K::F64x3, 8, "Eye Point X = %lg    Y = %lg    Z = %lg "},
    {K::F64x3, 32, "Up Point X = %lg    Y = %lg    Z = %lg "},
    {K::I16, 56, "X Shear = %4xh (%5u) "},
    {K::I16, 58, "Y Shear = %4xh (%5u) "},
};

constexpr Row kItem[] = {
    {K::I16, 0, "Series ROW = %4xh (%5u) "},
    {K::U8, 4, "Info Item Type = %4xh (%5u) "},
    {K::U8, 5, "Info Axis Type = %4xh (%5u) "},
    {K::U8, 6, "Info Bar Style = %4xh (%5u) "},
    {K::U8, 7, "Info Marker Type = %4xh (%5u) "},
    {K::Colour, 8, "Line Color = %02x %02x %02x %02x "},
    {K::U8, 12, "Info Line Width = %4xh (%5u) "},
    {K::U8, 13, "Info Line Style = %4xh (%5u) "},
    {K::U8, 14, engine::SharedText(engine::Msg::ChartInfoFlags)},
    {K::U8, 15, "Info Marker Size = %4xh (%5u) "},
    {K::U32, 16, engine::SharedText(engine::Msg::ChartEntityFlags), kNoIndex, kAllCharts, 16},
};

constexpr uint8_t kChart01 = kChart0 | kChart1;
constexpr Row kColors[] = {
    {K::Colour, 0, engine::SharedText(engine::Msg::ChartColor), 0, kChart01},
    {K::Colour, 4, engine::SharedText(engine::Msg::ChartColor), 1, kChart01},
    {K::Colour, 8, engine::SharedText(engine::Msg::ChartColor), 2, kChart01},
    {K::Colour, 12, engine::SharedText(engine::Msg::ChartColor), 3, kChart01},
    {K::Colour, 16, engine::SharedText(engine::Msg::ChartColor), 4, kChart01},
    {K::Colour, 20, engine::SharedText(engine::Msg::ChartColor), 5, kChart01},
    {K::Colour, 24, engine::SharedText(engine::Msg::ChartColor), 6, kChart01},
    {K::Colour, 28, engine::SharedText(engine::Msg::ChartColor), 7, kChart01},
    {K::Colour, 32, engine::SharedText(engine::Msg::ChartColor), 8, kChart0},
    {K::Colour, 36, engine::SharedText(engine::Msg::ChartColor), 9, kChart0},
    {K::Colour, 40, "Grid Fill Color = %02x %02x %02x %02x ", kNoIndex, kChart0},
    {K::Colour, 44, "Grid Line Color = %02x %02x %02x %02x ", kNoIndex, kChart0},
    {K::Colour, 48, "Surface Outline Color = %02x %02x %02x %02x ", kNoIndex, kChart0},
};

#define PIE_DISTANCE(i) {K::U8, 10 + (i), "Info X Distance[%2u] = %4xh (%5u) ", (i)}
constexpr Row kPie[] = {
    {K::I16, 0, "Pie Column = %4xh (%5i) "},
    {K::I16, 2, "Info Angle = %4xh (%5i) "},
    {K::I16, 4, "Info vertical = %4xh (%5u) "},
    {K::U8, 6, "Info depth = %4xh (%5u) "},
    {K::U8, 7, "Info size = %4xh (%5u) "},
    {K::U8, 8, "Info Link Slice = %4xh (%5u) "},
    {K::U8, 9, engine::SharedText(engine::Msg::ChartInfoFlags)},
    PIE_DISTANCE(0),  PIE_DISTANCE(1),  PIE_DISTANCE(2),  PIE_DISTANCE(3),  PIE_DISTANCE(4),
    PIE_DISTANCE(5),  PIE_DISTANCE(6),  PIE_DISTANCE(7),  PIE_DISTANCE(8),  PIE_DISTANCE(9),
    PIE_DISTANCE(10), PIE_DISTANCE(11), PIE_DISTANCE(12), PIE_DISTANCE(13), PIE_DISTANCE(14),
    PIE_DISTANCE(15), PIE_DISTANCE(16), PIE_DISTANCE(17), PIE_DISTANCE(18), PIE_DISTANCE(19),
    PIE_DISTANCE(20), PIE_DISTANCE(21), PIE_DISTANCE(22), PIE_DISTANCE(23),
};
#undef PIE_DISTANCE

constexpr Row kPieStyle[] = {
    {K::U8, 0, "Style Style = %4xh (%5u) "},        {K::U8, 1, "Style Value = %4xh (%5u) "},
    {K::U8, 2, "Style Percentage = %4xh (%5u) "},   {K::U8, 3, "Style Label Flag = %4xh (%5u) "},
    {K::U8, 4, "Style Pointer Flag = %4xh (%5u) "}, {K::U8, 5, "Style Label Digits = %4xh (%5u) "},
};

constexpr uint8_t kChart12 = kChart1 | kChart2;
constexpr Row kBoxDef[] = {
    {K::U8, 0, "Box Type = %4xh (%5u) ", kNoIndex, kChart0},
    {K::U8, 1, engine::SharedText(engine::Msg::ChartBoxStyle), kNoIndex, kChart0},
    {K::Colour, 4, engine::SharedText(engine::Msg::ChartBorderColor), kNoIndex, kChart0},
    {K::U8, 8, "Box Flags = %4xh (%5u) ", kNoIndex, kChart0},
    {K::U8, 1, engine::SharedText(engine::Msg::ChartBoxStyle), kNoIndex, kChart12},
    {K::U8, 2, "Border Style = %4xh (%5u) ", kNoIndex, kChart12},
    {K::Colour, 4, engine::SharedText(engine::Msg::ChartBorderColor), kNoIndex, kChart12},
};

// The font block of CODES after its text attributes.
constexpr Row kFontBlock[] = {
    {K::U16, 8, "Font Cell Height = %4xh (%5u) "},
    {K::U16, 10, "Font Optimal Width = %4xh (%5u) "},
    {K::U16, 12, "Font Cap Height = %4xh (%5u) "},
    {K::U16, 14, "Font X Height = %4xh (%5u) "},
    {K::U16, 16, "Font Descender Height = %4xh (%5u) "},
    {K::U16, 18, "Font Italic Adjustment = %4xh (%5i) "},
    {K::U8, 20, "Font Typeface Descriptor [0] = %4xh (%5u) "},
    {K::U8, 21, "Font Typeface Descriptor [1] = %4xh (%5u) "},
    {K::U8, 22, "Font Typeface Descriptor [2] = %4xh (%5u) "},
    {K::U8, 23, "Font Typeface Flags (QW 5.0) = %4xh (%5u) "},
    {K::U8, 24, "Font Typeface Hash = %4xh (%5u) "},
    {K::U8, 25, "Font Quality = %4xh (%5u) "},
    {K::U16, 26, "Font Hash = %4xh (%5i) "},
    {K::U32, 28, "Font Character set Completeness Flags = %Xh (%u) "},
    {K::U16, 32, "Font Point Size (QW 5.1, 3600ths) = %4xh (%5u) "},
    {K::U8, 34, "Font Typeface Definition Flags (QW 5.1) = %4xh (%5u) "},
    {K::U32, 36, engine::SharedText(engine::Msg::ChartEntityFlags)},
};

constexpr Row kPositionsOther[] = {
    {K::U8, 1, "Horizontal Position = %4xh (%5u) "},
    {K::U8, 2, "Vertical Position = %4xh (%5u) "},
    {K::U8, 3, engine::SharedText(engine::Msg::ChartFlags)},
};

constexpr Row kOrgView[] = {
    {K::U8, 0, "Orientation = %4xh (%5u) "},        {K::U8, 1, "Display Flags = %4xh (%5u) "},
    {K::U8, 2, "Display Levels = %4xh (%5u) "},     {K::U8, 3, "Top Arrangement = %4xh (%5u) "},
    {K::U8, 4, "Middle Arrangement = %4xh (%5u) "}, {K::U8, 5, "Bottom Arrangement = %4xh (%5u) "},
};

constexpr Row kOrgTextBox[] = {
    {K::U8, 0, "Justification = %4xh (%5u) "}, {K::U8, 1, "Vertical Alignment = %4xh (%5u) "},
    {K::U8, 2, "Width = %4xh (%5u) "},         {K::U8, 3, "Height = %4xh (%5u) "},
    {K::U8, 4, "Display Boxes Flags = %4xh (%5u) "},
};

constexpr Row kConnectors[] = {
    {K::U8, 1, engine::SharedText(engine::Msg::ChartStyle)},
    {K::U8, 2, "Line Style= %4xh (%5u) "},
    {K::U8, 3, engine::SharedText(engine::Msg::ChartFlags)},
    {K::U32, 4, "Color= %Xh (%u) "},
};

constexpr Row kTextHiBox[] = {
    {K::U8, 0, engine::SharedText(engine::Msg::ChartType)},
    {K::U8, 1, "Position = %4xh (%5u) "},
    {K::U8, 2, engine::SharedText(engine::Msg::ChartFlags)},
};

#define PAR_LEVEL(i)                                                                \
    {K::U16, 2 + 2 * (i), "Level Number[%2u] = %4xh (%5u) ", (i)},                  \
        {K::U8, 18 + 3 * (i), "Definition[%2u][0] = %4xh (%5u) ", (i)},             \
        {K::U8, 19 + 3 * (i), "Definition[%2u][1] = %4xh (%5u) ", (i)},             \
        {K::U8, 20 + 3 * (i), "Definition[%2u][2] = %4xh (%5u) ", (i)}
constexpr Row kParagraphDef[] = {
    {K::U8, 0, engine::SharedText(engine::Msg::ChartFlags)},
    PAR_LEVEL(0), PAR_LEVEL(1), PAR_LEVEL(2), PAR_LEVEL(3),
    PAR_LEVEL(4), PAR_LEVEL(5), PAR_LEVEL(6), PAR_LEVEL(7),
    {K::U8, 42, "Attach Flags = %4xh (%5u) "},
    {K::U8, 43, "Outline Flags = %4xh (%5u) "},
};
#undef PAR_LEVEL

constexpr Row kJustification[] = {
    {K::U8, 0, engine::SharedText(engine::Msg::ChartFlags)},      {K::U8, 1, engine::SharedText(engine::Msg::ChartTypeIndexed), 0},
    {K::U8, 2, engine::SharedText(engine::Msg::ChartTypeIndexed), 1}, {K::U8, 3, engine::SharedText(engine::Msg::ChartTypeIndexed), 2},
    {K::U8, 4, engine::SharedText(engine::Msg::ChartTypeIndexed), 3}, {K::U8, 5, engine::SharedText(engine::Msg::ChartTypeIndexed), 4},
    {K::U8, 6, engine::SharedText(engine::Msg::ChartTypeIndexed), 5},
};

constexpr Row kXAxisLabels[] = {
    {K::U8, 0, engine::SharedText(engine::Msg::ChartFlags)},
    {K::I16, 2, "Interval = %4xh (%5u) "},
};

constexpr Row kFontCodes60[] = {
    {K::U8, 0, engine::SharedText(engine::Msg::ChartType)},
    {K::U16, 4, "Text Codes = %4xh (%5u) "},
    {K::U16, 2, "EFlags = %4xh (%5u) "},
    {K::U16, 6, "Index (NOT SUPPORTED) = %4xh (%5u) "},
    {K::U16, 8, "Font Size = %4xh (%5u) "},
};

constexpr Row kTextParDef60[] = {
    {K::U8, 0, "Flag = %4xh (%5u) "},
    {K::U32, 2, "Par Num Def = %4xh (%5u) "},
};

// The attribute block the unpacker leaves (always cleared).
constexpr Row kAttributeBlock[] = {
    {K::U8, 4, "Line End1 = %4xh (%5u)"},
    {K::U8, 5, "Line End2 = %4xh (%5u)"},
    {K::U8, 6, "Line Join = %4xh (%5u)"},
    {K::U16, 8, "Pen Style = %4xh (%5u) "},
    {K::U16, 10, "Pen Pattern = %4xh (%5u) "},
    {K::U16, 12, "Pen Horizontal Width = %4xh (%5u) "},
    {K::U16, 14, "Pen Vertical Width = %4xh (%5u) "},
    {K::Colour, 16, "Pen Foreground Color = %02x %02x %02x %02x "},
    {K::Colour, 20, "Pen Background Color = %02x %02x %02x %02x "},
    {K::U16, 24, "Brush Pattern = %4xh (%5u) "},
    {K::U8, 26, "Gradient Type = %4xh (%5u) "},
    {K::U8, 27, "Gradient Flag = %4xh (%5u) "},
    {K::F32, 28, "Gradient Angle = %g "},
    {K::U16, 32, "Gradient X Reference = %4xh (%5u) "},
    {K::U16, 34, "Gradient Y Reference = %4xh (%5u) "},
    {K::U32, 40, "Gradient Color1 = %4xh (%5u) "},
    {K::U32, 44, "Gradient Color2 = %4xh (%5u) "},
    {K::U16, 36, "Gradient Steps = %4xh (%5u) "},
    {K::Colour, 40, "Gradient Color 1 = %02x %02x %02x %02x "},
    {K::Colour, 44, "Gradient Color 2 = %02x %02x %02x %02x "},
    {K::Colour, 48, "Brush Background Color = %02x %02x %02x %02x "},
};

enum class Special : uint8_t { None, Start, OldAttribute, Attribute, Codes, Positions, Revision, Unknown };

constexpr int kCopyLength = -1;  // the copy size is the sub-record's length

struct SubRecord {
    const char* name;
    int copySize;
    std::span<const Row> rows;
    Special special = Special::None;
};

constexpr SubRecord kSubRecords[] = {
    /*  0 */ {"START", 1, {}, Special::Start},
    /*  1 */ {"ATTRIBUTE OLD", kCopyLength, {}, Special::OldAttribute},
    /*  2 */ {"AXIS", 48, kAxis},
    /*  3 */ {"FRAME", 12, kFrame},
    /*  4 */ {"GRID", 16, kGrid},
    /*  5 */ {"STYLES", 6, kStyles},
    /*  6 */ {"SIZES", 4, kSizes},
    /*  7 */ {"VIEW", 64, kView},
    /*  8 */ {"ITEM", 20, kItem},
    /*  9 */ {"COLORS", 52, kColors},
    /* 10 */ {"PIE", 34, kPie},
    /* 11 */ {"PIE STYLE", 6, kPieStyle},
    /* 12 */ {"ATTRIBUTE", kCopyLength, {}, Special::Attribute},
    /* 13 */ {"BOX DEF", 12, kBoxDef},
    /* 14 */ {"CODES", 40, {}, Special::Codes},
    /* 15 */ {"POSITIONS", 4, {}, Special::Positions},
    /* 16 */ {"ORG VIEW", 6, kOrgView},
    /* 17 */ {"ORG TEXT BOX", 5, kOrgTextBox},
    /* 18 */ {"CONNECTORS", 8, kConnectors},
    /* 19 */ {"TEXT HIBOX", 3, kTextHiBox},
    /* 20 */ {"PARAGRAPH DEF", 44, kParagraphDef},
    /* 21 */ {"JUSTIFICATION", 7, kJustification},
    /* 22 */ {"X AXIS LABELS", 4, kXAxisLabels},
    /* 23 */ {"REVISION", 2, {}, Special::Revision},
    /* 24 */ {"6.0 FONT CODES", 10, kFontCodes60},
    /* 25 */ {nullptr, 0, {}, Special::Unknown},
    /* 26 */ {nullptr, 0, {}, Special::Unknown},
    /* 27 */ {"6.0 TEXT PAR DEF", kCopyLength, kTextParDef60},
};

constexpr const char* kLegendPositions[3][3] = {
    // [horizontal][vertical]: left, center, right by top, middle, bottom
    {"LGND_TOP_LEFT", "LGND_MIDDLE_LEFT", "LGND_BOTTOM_LEFT"},
    {"LGND_TOP_CENTER", "LGND_UNKNOWN", "LGND_BOTTOM_CENTER"},
    {"LGND_TOP_RIGHT", "LGND_MIDDLE_RIGHT", "LGND_BOTTOM_RIGHT"},
};

constexpr const char* kCategories[6] = {"Category = BASE.", "Category = FRAME.", "Category = ITEM.",
                                        "Category = CODES.", "Category = BOX.", "Category = HIBOX."};

constexpr const char* kStyleVersions[4] = {"Unknown", "Version 1", "Version 2", "Version 3"};

uint32_t U16At(const uint8_t* a, size_t at) { return a[at] | (uint32_t{a[at + 1]} << 8); }
uint32_t U32At(const uint8_t* a, size_t at) { return U16At(a, at) | (U16At(a, at + 2) << 16); }
double F64At(const uint8_t* a, size_t at) {
    double d;
    std::memcpy(&d, a + at, sizeof d);
    return d;
}

uint8_t ChartBit(uint8_t chartType) { return chartType < 8 ? static_cast<uint8_t>(1u << chartType) : 0; }

// The walk's state for one record.
struct StyleWalk {
    std::array<uint8_t, kStyleDataSize> data{};
    uint16_t position = 0;
    uint16_t length = 0;
    std::array<uint8_t, kAreaSize + 8> area{};  // past 64: slack for the widest field read
    const char* name = "UNKNOWN";
    int copySize = 0;
    uint8_t major = 1, minor = 0;
};

void EmitRow(const Row& row, const uint8_t* a) {
    DumpPrinter& out = Out();
    const char* f = row.format;
    const bool indexed = row.index != kNoIndex;
    const unsigned i = static_cast<unsigned>(row.index);
    switch (row.kind) {
        case K::U8: case K::U16: case K::I16: case K::U32: {
            uint32_t v = row.kind == K::U8    ? a[row.offset]
                         : row.kind == K::U32 ? U32At(a, row.offset)
                                              : U16At(a, row.offset);
            if (row.kind == K::I16) v = static_cast<uint32_t>(static_cast<int16_t>(v));
            if (indexed)
                out.EmitIndented(f, i, v, v);
            else
                out.EmitIndented(f, v, v);
            break;
        }
        case K::F64: out.EmitIndented(f, F64At(a, row.offset)); break;
        case K::F64x3:
            out.EmitIndented(f, F64At(a, row.offset), F64At(a, row.offset + 8u), F64At(a, row.offset + 16u));
            break;
        case K::F32: {
            float v;
            std::memcpy(&v, a + row.offset, sizeof v);
            out.EmitIndented(f, static_cast<double>(v));
            break;
        }
        case K::Colour: {
            const uint8_t* c = a + row.offset;
            if (indexed)
                out.EmitIndented(f, i, c[0], c[1], c[2], c[3]);
            else
                out.EmitIndented(f, c[0], c[1], c[2], c[3]);
            break;
        }
    }
}

void EmitRows(std::span<const Row> rows, const uint8_t* a, uint8_t chartType) {
    for (const Row& row : rows) {
        if ((row.charts & ChartBit(chartType)) == 0 && row.charts != kAllCharts) continue;
        if (row.zeroAt != kNoTest && a[row.zeroAt] != 0) continue;
        EmitRow(row, a);
    }
}

void EmitErrorIndented(const char* text) { Out().EmitError("%s%s", Out().Indentation().c_str(), text); }

void DescribeAttribute(const uint8_t* a, uint8_t chartType) {
    DumpPrinter& out = Out();
    std::array<uint8_t, 52 + 8> block{};  // cleared; the unpacker never fills it
    out.EmitError("%sError occurred in UnpackQWG2.", out.Indentation().c_str());
    const uint8_t category = a[0];
    if (category < 6) out.EmitIndented("%s", kCategories[category]);
    if ((category == 3 && chartType <= 1) || (category == 4 && chartType == 0)) {
        out.ChangeIndent(kIndentIn);
        out.EmitIndented("SubCategory = %u", U16At(a, 2));
        out.ChangeIndent(kIndentOut);
    }
    if (U16At(block.data(), 0) == 0) EmitErrorIndented("Invalid attribute map (map == 0).");
    out.EmitIndented("Attributes");
    out.ChangeIndent(kIndentIn);
    EmitRows(kAttributeBlock, block.data(), chartType);
    out.ChangeIndent(kIndentOut);
}

// Returns false when the sub-record ends the walk.
bool DescribeSubRecord(const SubRecord& sub, unsigned number, StyleWalk& w, uint8_t chartType) {
    DumpPrinter& out = Out();
    const uint8_t* a = w.area.data();
    switch (sub.special) {
        case Special::None: EmitRows(sub.rows, a, chartType); return true;
        case Special::Start:
            if (a[0] == 3 && chartType == 0) {
                EmitErrorIndented("Old chart style encountered.");
                return false;
            }
            if (a[0] != chartType) {
                EmitErrorIndented("Invalid chart type encountered.");
                return false;
            }
            return true;
        case Special::OldAttribute: EmitErrorIndented("Old attribute style encountered."); return true;
        case Special::Attribute: DescribeAttribute(a, chartType); return true;
        case Special::Codes:
            out.EmitIndented(engine::SharedText(engine::Msg::ChartType), a[0], a[0]);
            out.ChangeIndent(kIndentIn);
            if (chartType == 0 && U16At(a, 32) == 0) {
                EmitErrorIndented("Point Size = 0...encountered.");
            } else if (chartType <= 2) {
                uint32_t attributes = U32At(a, 4);
                if (chartType == 0) attributes &= ~0x7Fu;
                out.EmitIndented("Text Attributes = %4xh (%5u) ", attributes, attributes);
                EmitRows(kFontBlock, a, chartType);
            }
            out.ChangeIndent(kIndentOut);
            return true;
        case Special::Positions:
            out.EmitIndented(engine::SharedText(engine::Msg::ChartType), a[0], a[0]);
            out.ChangeIndent(kIndentIn);
            if (a[0] == 6) {
                out.EmitIndented(engine::SharedText(engine::Msg::ChartFlags), a[3], a[3]);
                const char* name = a[1] < 3 && a[2] < 3 ? kLegendPositions[a[1]][a[2]] : "LGND_UNKNOWN";
                out.EmitIndented("Legend Position = %s ", name);
            } else {
                EmitRows(kPositionsOther, a, chartType);
            }
            out.ChangeIndent(kIndentOut);
            return true;
        case Special::Revision:
            w.major = a[0];
            w.minor = a[1];
            out.EmitIndented("Style Revision = %u.%u", a[0], a[1]);
            return true;
        case Special::Unknown: out.EmitIndented("!!  STYLE CODE UNKNOWN !! %4xh (%5u) ", number, number); return true;
    }
    return true;
}

void BadLine(const char* name, unsigned number, uint32_t length) {
    DumpPrinter& out = Out();
    const char* in = out.Indentation().c_str();
    out.EmitError("%s!! BAD !!Style OpCode Name = %s,%s    Number = %xh (%u), Length = %xh (%u)", in, name, in,
                  number, number, static_cast<unsigned>(length), static_cast<unsigned>(length));
}

void WalkStyleData(StyleWalk& w, uint8_t chartType) {
    DumpPrinter& out = Out();
    while (w.position < w.length) {
        const unsigned number = w.data[w.position];
        const SubRecord* sub = number < std::size(kSubRecords) ? &kSubRecords[number] : nullptr;
        if (sub && sub->name) {
            w.name = sub->name;
            w.copySize = sub->copySize;
        }
        static constexpr SubRecord kUnknown{nullptr, 0, {}, Special::Unknown};
        const SubRecord& rows = sub ? *sub : kUnknown;
        // A header or data past the walked data ends the walk.
        if (w.position + 2u > w.length) {
            BadLine(w.name, number, 0);
            return;
        }
        uint32_t length = w.data[w.position + 1u];
        uint32_t start = w.position + 2u;
        if (length == 0xFF && (number == 24 || number == 27)) {
            if (w.position + 4u > w.length) {
                BadLine(w.name, number, length);
                return;
            }
            length = U16At(w.data.data(), w.position + 2u);
            start = w.position + 4u;
        }
        if (start + length > w.length) {
            BadLine(w.name, number, length);
            return;
        }
        const uint8_t* d = w.data.data() + start;
        w.area.fill(0);
        if (number == 24) {
            const uint32_t nameLength = length >= 34 ? U16At(d, 32) : 0;
            if (length >= 34 && length == 34 + nameLength) {
                out.EmitIndented(engine::SharedText(engine::Msg::StyleOpCode), w.name, 24u, 24u,
                                 static_cast<unsigned>(length), static_cast<unsigned>(length));
                w.area[0] = d[0];
                w.area[2] = d[2];
                w.area[3] = d[3];
                w.area[4] = d[4];
                w.area[5] = d[5];
                w.area[8] = d[8];
                w.area[9] = d[9];
            } else {
                BadLine(w.name, 24, length);
            }
        } else {
            out.EmitIndented(engine::SharedText(engine::Msg::StyleOpCode), w.name, number, number,
                             static_cast<unsigned>(length), static_cast<unsigned>(length));
            const uint32_t copy = w.copySize == kCopyLength ? length : static_cast<uint32_t>(w.copySize);
            std::memcpy(w.area.data(), d, std::min<uint32_t>({copy, length, kAreaSize}));
        }
        w.position = static_cast<uint16_t>(start + length);
        out.ChangeIndent(kIndentIn);
        const bool goOn = DescribeSubRecord(rows, number, w, chartType);
        out.ChangeIndent(kIndentOut);
        if (!goOn) return;
    }
}

}  // namespace

void DumpChartStyle(const RecordRow& row) {
    GraphicsState& g = Gfx();
    DumpPrinter& out = g.out;
    out.EmitRecordTitle(row.title);
    ReadRecordLength(row.expectedLength);
    out.ChangeIndent(kIndentIn);
    ReadCharacterization();
    const uint32_t x1 = ReadCoordinate(g.precision), y1 = ReadCoordinate(g.precision);
    const uint32_t x2 = ReadCoordinate(g.precision), y2 = ReadCoordinate(g.precision);
    const uint32_t id = static_cast<uint8_t>(ReadQwgByte());
    uint32_t tx1, ty1, tx2, ty2;
    TransformPoint(x1, y1, &tx1, &ty1);
    TransformPoint(x2, y2, &tx2, &ty2);
    const uint32_t rest = g.recordEnd > g.bytePosition ? g.recordEnd - g.bytePosition : 0;
    if (!g.detail) {
        out.HexDumpRest(rest);
        out.ChangeIndent(kIndentOut);
        return;
    }
    const bool lines = !g.headerLinesOff;
    if (lines && !IsIdentityTransform()) {
        out.EmitIndented("%s", engine::Text(engine::Msg::BeforeTransformation));
        out.EmitIndented("%s", engine::Text(engine::Msg::AfterTransformation));
    }
    if (lines) {
        out.EmitTransformedCoord("LLeft X: ", x1, tx1);
        out.EmitTransformedCoord("LLeft Y: ", y1, ty1);
        out.EmitTransformedCoord("URight X:", x2, tx2);
        out.EmitTransformedCoord("URight Y:", y2, ty2);
        out.EmitFormatted(" ");
        out.EmitWordValue("Chart Style ID = ", id, " ");
        out.EmitIndented("%s", kStyleVersions[id <= 3 ? id : 0]);
    }
    auto walk = std::make_unique<StyleWalk>();
    for (uint32_t i = 0; i < rest && !g.endOfData; ++i) {
        const int b = ReadQwgByte();
        if (b < 0) break;
        // Past the buffer the data is read and dropped.
        if (i < kStyleDataSize) walk->data[i] = static_cast<uint8_t>(b);
        if (i < kStyleDataSize) walk->length = static_cast<uint16_t>(i + 1);
    }
    out.ChangeIndent(kIndentIn);
    WalkStyleData(*walk, g.chartType);
    out.ChangeIndent(kIndentOut);
    out.ChangeIndent(kIndentOut);
}

}  // namespace graphics
