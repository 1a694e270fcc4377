// The describers of variable-length function data, each a list of fields
// over the primitives of Describer.h. The cursor starts after the
// "Size of Non-Deleteable Data" word; the function's size bounds what is read.
#include "engine/DescriberFunctions.h"

#include <algorithm>

#include "engine/Codes.h"
#include "engine/EngineContext.h"
#include "engine/Format.h"
#include "engine/OutputSink.h"
#include "engine/ShapeNames.h"

namespace engine {

// ---- Name tables -----------------------------------------------------------

namespace {

constexpr std::array<const char*, 25> kArrowStyles{
    "Flat End", "Rounded End", "", "", "", "", "", "", "", "",
    "solid arrow", "big solid arrow", "", "hollow arrow", "big hollow arrow", "line arrow",
    "big line arrow", "", "solid arrow tail", "hollow arrow tail", "", "", "circle", "big circle",
    "Undefined"};

constexpr std::array<const char*, 5> kShadowCorners{"None", "Top-Left", "Bottom-Left", "Bottom-Right",
                                                    "Top-Right"};

constexpr std::array<const char*, 4> kGradientKinds{"Linear Gradient fill", "Radial Gradient fill",
                                                    "Rectangular Gradient fill", ""};

constexpr std::array<const char*, 8> kWrapKinds{
    "   Wrap on Largest Side", "   Wrap on Left Side",  "   Wrap on Right Side",   "   Wrap on Neither Side",
    "   Wrap on Both Sides",   "   Wrap on Both Sides", "   NO wrap (write thru)", "   Undefined wrap code"};

constexpr std::array<const char*, 4> kRuleHorizontalReferences{
    "   absolute (relative to left of page)", "   margin-relative", "   between columns", "   left"};
constexpr std::array<const char*, 8> kRuleHorizontalAlignments{
    "   left", "   right", "   centered", "   full", "   top", "   bottom", "   centered", "   full"};
constexpr std::array<const char*, 4> kRuleVerticalReferences{
    "   absolute (relative to top of page)", "   margin-relative", "   baseline",
    "   absolute (relative to left of page)"};
// Values 4-7 have no name.
constexpr std::array<const char*, 8> kRuleVerticalAlignments{"   top", "   bottom", "   centered", "   full",
                                                             "", "", "", ""};

constexpr std::array<const char*, 8> kSuppressedParts{
    "   suppress page numbering", "   suppress current page numbering", "   suppress header A",
    "   suppress header B",       "   suppress footer A",               "   suppress footer B",
    "   suppress watermark A",    "   suppress watermark B"};

constexpr std::array<const char*, 3> kMarginFlags{"   No room left for text", "   A Drop Cap affects the line",
                                                  "   Wrap accross"};

constexpr std::array<const char*, 6> kDisplayFlags{"    Mirror X the object", "    Mirror Y the object",
                                                   "    Rotation the object", "    Shear X the object",
                                                   "    Shear Y the object",  "    Edit Locks On the object"};

// Draw-object style bytes 0-7; the last row for every other value.
constexpr std::array<const char*, 9> kDrawStyles{"2pt line", "3pt line", "polyline",  "rectangle", "ellipse",
                                                 "fat arrow", "polygon", "circle", "unknown"};

}  // namespace

std::span<const char* const> ArrowStyleNames() { return kArrowStyles; }
std::span<const char* const> ShadowCornerNames() { return kShadowCorners; }
std::span<const char* const> GradientKindNames() { return kGradientKinds; }
std::span<const char* const> WrapKindNames() { return kWrapKinds; }

// ---- Field shapes ----------------------------------------------------------

namespace {

DescriberContext& D() { return Ctx().describer; }
ListTarget* Out() { return D().currentTarget; }
void Line(std::string_view text) { PrintLine(Out(), text); }

int64_t At() { return static_cast<int64_t>(D().cursor); }
void MoveTo(int64_t to) { D().cursor = static_cast<decltype(D().cursor)>(to); }
// The function's size word: what bounds the deletable part and the detail.
uint32_t FunctionSize() { return GetU16(D().function, 2); }
// An item starting here lies inside the bytes held.
bool Held() { return At() >= 0 && At() < static_cast<int64_t>(D().base.size()); }

template <size_t N>
const char* NameAt(const std::array<const char*, N>& names, uint32_t value) {
    return value < N ? names[value] : "";
}

// One line per set bit, names by bit number from 0.
void SetBitLines(uint32_t value, std::span<const char* const> names) {
    for (size_t bit = 0; bit < names.size(); ++bit)
        if (TestBit(value, static_cast<unsigned>(bit))) Line(names[bit]);
}

void EitherOr(uint32_t value, unsigned bit, const char* set, const char* clear) {
    Line(TestBit(value, bit) ? set : clear);
}

// A line that is only a name: empty where the name is.
void NameLine(const char* name) { Line(name); }

// The rest of a block, dumped when above 0; the cursor stays otherwise.
void PositiveRest(const char* caption, int64_t rest) {
    if (rest > 0) HexDumpField(caption, static_cast<int32_t>(std::min<int64_t>(rest, INT32_MAX)));
}

// The rest of a block, always through the dump: a negative rest shows no
// bytes and moves the cursor back.
void SignedRest(const char* caption, int64_t rest) {
    HexDumpField(caption, static_cast<int32_t>(std::clamp<int64_t>(rest, INT32_MIN, INT32_MAX)));
}

// Moves over `count` items of `width` bytes, calling `show` for those that
// start inside the bytes held.
template <class Show>
void CountedItems(uint32_t count, uint32_t width, Show show) {
    for (uint32_t i = 0; i < count; ++i) {
        if (!Held()) {
            MoveTo(At() + int64_t{width} * (count - i));
            return;
        }
        show(i);
    }
}

}  // namespace

// ---- Small describers ------------------------------------------------------

void DescribeNewWordValue(std::span<const uint8_t> function) {
    HexDumpFunction(function);
    ShowWordField("  new value =  0x%04X");
    ShowDeletableData();
}

void DescribeNewByteValue(std::span<const uint8_t> function) {
    HexDumpFunction(function);
    ShowByteField("  new value =  0x%02X");
    ShowDeletableData();
}

void DescribeOnOffState(std::span<const uint8_t> function) {
    HexDumpFunction(function);
    EitherOr(ReadFieldByte(), 0, " state = ON", " state = OFF");
    ShowDeletableData();
}

void DescribeAbsoluteRelative(std::span<const uint8_t> function) {
    HexDumpFunction(function);
    EitherOr(ReadFieldByte(), 0, "  Absolute", "  Relative");
    ShowWordField("  new value =  0x%04X");
    ShowDeletableData();
}

void DescribeSuppressFlags(std::span<const uint8_t> function) {
    HexDumpFunction(function);
    SetBitLines(ShowByteField("flags 0x%02X"), kSuppressedParts);
}

void DescribeWidowOrphan(std::span<const uint8_t>) {
    EitherOr(ReadFieldByte(), 0, "Widow/Orphan state = ON", "Widow/Orphan state = OFF");
    ShowDeletableData();
}

void DescribeLinesToDisplay(std::span<const uint8_t>) {
    ShowWordField("Lines of text to display 0x%04X");
    ShowDeletableData();
}

void DescribeStyleReference(std::span<const uint8_t>) {
    ShowWordField("Hash value: 0x%04X");
    ShowByteField("System Style #: 0x%02X");
    ShowDeletableData();
}

void DescribeNoDeletableData(std::span<const uint8_t>) {
    const uint32_t size = FunctionSize();
    if (size < 10) return;
    if (size == 10)
        Line("No Deletable data.");
    else
        ShowDeletableData();
}

void DescribeTabRegion(std::span<const uint8_t>) {
    const uint8_t v = ReadFieldByte();
    Line(Format("Flag: 0x%02X (%s)", static_cast<unsigned>(v), TestBit(v, 0) ? "Tab-able region" : " "));
    ShowDeletableData();
}

void DescribeProofingLevel(std::span<const uint8_t>) {
    const uint8_t kind = ReadFieldByte();
    Line(Format("Type of error/area type: 0x%02X (%s)", static_cast<unsigned>(kind),
                LookupKeyName(kind, CheckTypeKeys())));
    ShowWordField("New Level: 0x%04X");
    ShowWordField("Old Level: 0x%04X");
    const uint8_t tool = ReadFieldByte();
    Line(Format("Tool type: 0x%02X (%s)", static_cast<unsigned>(tool), LookupKeyName(tool, CheckToolKeys())));
    ShowDeletableData();
}

void DescribeColumnDefinition(std::span<const uint8_t>) {
    ShowByteField("flags: 0x%02X");
    ShowWordField("column width: 0x%04X");
    ShowWordField("left gutter: 0x%04X");
    ShowWordField("right gutter: 0x%04X");
    ShowDwordField("attributes: 0x%08X");
    ShowByteField("alignment: 0x%02X");
    ShowWordField("alignment position: 0x%04X");
    ShowWordField("number type: 0x%04X");
    ShowByteField("currency index: 0x%02X");
    ShowDeletableData();
}

void DescribeDelayCodes(std::span<const uint8_t>) {
    ShowWordField("Previous delay codes prefix ID 0x%04X");
    ShowWordField("Next delay codes prefix ID 0x%04X");
}

void DescribeMarginChange(std::span<const uint8_t>) {
    SetBitLines(ShowByteField("flags 0x%02X"), kMarginFlags);
    ShowWordField("New left margin 0x%04X (qwu's)");
    ShowWordField("New right margin 0x%04X (qwu's)");
    ShowWordField("New temp left margin 0x%04X (qwu's)");
    ShowWordField("New temp right margin 0x%04X (qwu's)");
    const int64_t deletable = int64_t{FunctionSize()} - D().nonDeletableSize - 10;
    if (deletable > 0) Line("---Deletable data---");
    if (deletable == 8) {
        ShowWordField("  Old left margin 0x%04X (qwu's)");
        ShowWordField("  Old right margin 0x%04X (qwu's)");
        ShowWordField("  Old temp left margin 0x%04X (qwu's)");
        ShowWordField("  Oldtemp right margin 0x%04X (qwu's)");
    } else {
        ShowDeletableData();
    }
}

// ---- Border/fill override ---------------------------------------------------

void DescribeBorderFillOverride() {
    Line("Border/Fill override data:");
    const uint16_t size = ShowWordField("Size of Border/Fill Override data: 0x%04X");
    const int64_t outerFrom = At();
    const uint16_t flags = ShowWordField("Border/Fill Override Flags: 0x%04X");
    if (TestBit(flags, 15)) {
        const uint16_t borderSize = ShowWordField("  Size of Border Template Override data: 0x%04X");
        const int64_t from = At();
        const uint16_t f = ShowWordField("  Border Template Override Flags: 0x%04X");
        if (TestBit(f, 15)) {
            ShowByteField("  Border Prefix ID mask  0x%02X");
            ShowByteField("  Border Prefix ID flags 0x%02X");
        }
        if (TestBit(f, 14)) {
            ShowByteField("  Border General flags mask  0x%02X");
            ShowByteField("  Border General flags flags 0x%02X");
        }
        if (TestBit(f, 13)) ShowWordField("  Corder Radius 0x%04X");
        if (TestBit(f, 12)) {
            ShowWordField("  Left Inside Spacing 0x%04X");
            ShowWordField("  Right Inside Spacing 0x%04X");
            ShowWordField("  Top Inside Spacing 0x%04X");
            ShowWordField("  Bottom Inside Spacing 0x%04X");
        }
        if (TestBit(f, 11)) {
            ShowWordField("  Left Outside Spacing 0x%04X");
            ShowWordField("  Right Outside Spacing 0x%04X");
            ShowWordField("  Top Outside Spacing 0x%04X");
            ShowWordField("  Bottom Outside Spacing 0x%04X");
        }
        if (TestBit(f, 10)) {
            ShowByteField("  Drop Shadow Direction 0x%02X");
            ShowWordField("  Drop Shadow Spacing 0x%04X");
            ShowRgbsField("  Drop Shadow Color RGBS( 0x%02X, 0x%02X, 0x%02X, 0x%02X)");
        }
        if (TestBit(f, 9)) ShowRgbsField("  Border Color RGBS( 0x%02X, 0x%02X, 0x%02X, 0x%02X)");
        if (TestBit(f, 8)) ShowWordField("  Vertical Drop Shadow Spacing 0x%04X");
        SignedRest("  Other Border data", borderSize - (At() - from));
    }
    if (TestBit(flags, 14)) {
        const uint16_t fillSize = ShowWordField("Size of Fill Template Override data: 0x%04X");
        const int64_t from = At();
        const uint16_t f = ShowWordField("Fill Template Override Flags: 0x%04X");
        if (TestBit(f, 15)) {
            ShowRgbsField("  Foreground/Start Color RGBS( 0x%02X, 0x%02X, 0x%02X, 0x%02X)");
            ShowRgbsField("  Background/Start Color RGBS( 0x%02X, 0x%02X, 0x%02X, 0x%02X)");
        }
        SignedRest("  Other Fill data", fillSize - (At() - from));
    }
    SignedRest("Other Border/Fill data", size - (At() - outerFrom));
}

void DescribeBorderFunction(std::span<const uint8_t> function) {
    Line(GetU8(function, 0) == 0xD1 ? "Page Border" : "Paragraph Border");
    HexDumpField("14 bytes Reserved:", 14);
    DescribeBorderFillOverride();
    ShowDeletableData();
}

void DescribeDropCap(std::span<const uint8_t>) {
    Line("DropCap");
    ShowByteField("number of characters to affect: 0x%02X");
    ShowWordField("text attributes first word data: 0x%04X");
    ShowWordField("text attributes first word mask: 0x%04X");
    ShowWordField("text attributes second word data: 0x%04X");
    ShowWordField("text attributes second word mask: 0x%04X");
    ShowRgbsField("  Foreground/Start Color RGBS( 0x%02X, 0x%02X, 0x%02X, 0x%02X)");
    ShowDwordField("drop cap text size (FIXED): 0x%08X");
    ShowDwordField("paragraph vertical adjustment (FIXED): 0x%08X");
    ShowWordField("kerning: 0x%04X");
    ShowWordField("horiz pos adjustment: 0x%04X");
    ShowByteField("flags: 0x%02X");
    DescribeBorderFillOverride();
    ShowDeletableData();
}

// ---- Table definition --------------------------------------------------------

void DescribeTableDefinition(std::span<const uint8_t>) {
    int64_t r = D().nonDeletableSize;
    ShowByteField("table flags: 0x%02X");
    ShowByteField("table position: 0x%02X");
    ShowWordField("offset from left edge: 0x%04X");
    ShowDwordField("default line color: 0x%08X");
    const uint16_t overrideSize = ShowWordField("override size: 0x%04X");
    r -= 10;
    if (overrideSize > 2) {
        const uint16_t flags = ShowWordField("override flags: 0x%04X");
        r -= 2;
        if (TestBit(flags, 15)) {
            const uint16_t size = ShowWordField("border data size: 0x%04X");
            ShowWordField("  flags: 0x%04X");
            SignedRest("  data.", int64_t{size} - 2);
            r -= int64_t{size} + 2;
        }
        if (TestBit(flags, 14)) {
            const uint16_t size = ShowWordField("fill data size: 0x%04X");
            ShowWordField("  flags: 0x%04X");
            SignedRest("  data.", int64_t{size} - 2);
            r -= int64_t{size} + 2;
        }
    }
    if (r > 0) {
        ShowByteField("alternate fill: 0x%02X");
        ShowWordField("count for fill pattern: 0x%04X");
        ShowWordField("count for secondary fill pattern: 0x%04X");
        ShowByteField("overrides flag: 0x%02X");
        r -= 6;
        if (r > 0) {
            ShowWordField("row skew value: 0x%04X");
            ShowWordField("column skew value: 0x%04X");
            ShowByteField("skew flags: 0x%02X");
            ShowWordField("skew row height: 0x%04X");
        }
    }
    ShowDeletableData();
}

// ---- Rule position -------------------------------------------------------------

void DescribeRulePosition(std::span<const uint8_t>) {
    HexDumpField("Reserved data area (14 bytes)", 14);
    ShowWordField("Size of rule positioning data #: 0x%04X");
    const uint8_t general = ShowByteField("General Position flags: 0x%02X");
    EitherOr(general, 0, "   Vertical Rule", "   Horizontal Rule");
    EitherOr(general, 1, "   Rule thickness set by user", "   Rule thickness determined by line style");
    const uint8_t horizontal = ShowByteField("Horizontal Position flags: 0x%02X");
    NameLine(NameAt(kRuleHorizontalReferences, horizontal & 3));
    NameLine(NameAt(kRuleHorizontalAlignments, (horizontal >> 2) & 7));
    ShowWordField("Absolute Horz position: 0x%04X (QWU)");
    ShowByteField("Left column: 0x%02X");
    const uint8_t vertical = ShowByteField("Vertical Position flags: 0x%02X");
    NameLine(NameAt(kRuleVerticalReferences, vertical & 3));
    NameLine(NameAt(kRuleVerticalAlignments, (vertical >> 2) & 7));
    ShowWordField("Absolute Vert position: 0x%04X (QWU)");
    ShowWordField("Rule Thickness: 0x%04X (QWU)");
    ShowWordField("Rule Length: 0x%04X (QWU)");
    if (TestBit(general, 0)) {
        ShowWordField("Kickout spacing: 0x%04X (QWU)");
        ShowWordField("reserved: 0x%04X (QWU)");
    } else {
        ShowWordField("Top spacing: 0x%04X (QWU)");
        ShowWordField("Bottom spacing: 0x%04X (QWU)");
    }
    ShowWordField("Size of line defination area: 0x%04X");
    EitherOr(ShowByteField("Line definition flags: 0x%02X"), 0, "   use color from rule template for all segments",
             "   use color from line template segment definitions");
    ShowRgbsField("RGBS = ( 0x%02X, 0x%02X, 0x%02X, 0x%02X)");
    ShowWordField("Undocumented data: 0x%04X");
    Line(" ");
    Line("DELETABLE DATA (described)");
    ShowByteField("  Flag byte: 0x%02X");
    ShowWordField("  Calculated X pos: 0x%04X (QWU)");
    ShowWordField("  Calculated Y pos: 0x%04X (QWU)");
    ShowWordField("  Calculated thickness: 0x%04X (QWU)");
    ShowWordField("  Calculated length: 0x%04X (QWU)");
    ShowDeletableData();
}

// ---- Draw object ------------------------------------------------------------------

namespace {

// The formats of a fill template override: the draw object's and the box
// fill section's differ in their first lines.
struct FillFormats {
    const char* title;
    FieldFormat<1> total;
    FieldFormat<1> flags;
    const char* gradient;
    const char* pattern;
    FieldFormat<1> patternSet;
    FieldFormat<1> patternIndex;
};

constexpr FillFormats kDrawObjectFill{"FILL DATA:",
                                      "  Total size (not inc this word) 0x%04X",
                                      "  Fill template override flags 0x%04X",
                                      "  Fill type: 0x01 (Gradient fill)",
                                      "  Fill type: 0x00 (QWG2 pattern fill)",
                                      "  QWG2 pattern set:   0x%02X",
                                      "  QWG2 pattern index: 0x%02X"};
constexpr FillFormats kBoxFill{"Fill Template override data:",
                               " Total size (not inc this word) 0x%04X",
                               " Fill template override flags 0x%04X",
                               "Fill type: 0x01 (Gradient fill)",
                               "Fill type: 0x00 (QWG2 pattern fill)",
                               "QWG2 pattern set:   0x%02X",
                               "QWG2 pattern index: 0x%02X"};

// A fill template override at the cursor; it takes 2 + the greater of its
// total and what its fields read.
void FillOverride(const FillFormats& f) {
    Line(f.title);
    const uint16_t total = ShowWordField(f.total);
    const int64_t from = At();
    const uint16_t flags = ShowWordField(f.flags);
    if (TestBit(flags, 15)) {
        ShowRgbsField("  Fore color = RGBS( 0x%02X, 0x%02X, 0x%02X, 0x%02X)");
        ShowRgbsField("  Back color = RGBS( 0x%02X, 0x%02X, 0x%02X, 0x%02X)");
    }
    if (TestBit(flags, 14)) {
        if (ReadFieldByte() != 0) {
            Line(f.gradient);
            const uint8_t g = ReadFieldByte();
            Line(Format("  Gradient flags = 0x%02X (%s)", static_cast<unsigned>(g), kGradientKinds[g & 3]));
            ShowWordField("  Num Setps = 0x%04X");
            ShowDwordField("  Rotation = (fixed pt) 0x%08X");
            ShowWordField("  X Offset = 0x%04X (/0x10000 fixed pt)");
            ShowWordField("  Y Offset = 0x%04X (/0x10000 fixed pt)");
        } else {
            Line(f.pattern);
            ShowByteField(f.patternSet);
            ShowByteField(f.patternIndex);
        }
    }
    PositiveRest("HEX data", total - (At() - from));
}

void ShapeTransformation() {
    Line("  Transformation data follows:");
    const uint16_t size = ShowWordField("  Data Size = 0x%04X");
    const int64_t from = At();
    const uint16_t flags = size != 0 ? ShowWordField("  Flags     = 0x%04X") : 0;
    if (TestBit(flags, 15)) Line("    Mirror X");
    if (TestBit(flags, 14)) Line("    Mirror Y");
    if (TestBit(flags, 13)) {
        ShowDwordField("  X Scaling (fixed pt) = 0x%08X");
        ShowDwordField("  Y Scaling (fixed pt) = 0x%08X");
    }
    if (TestBit(flags, 12)) {
        ShowDwordField("  X Translation (fixed pt) = 0x%08X");
        ShowDwordField("  Y Translation (fixed pt) = 0x%08X");
    }
    if (TestBit(flags, 11)) ShowDwordField("  Rotation (fixed pt) = 0x%08X");
    PositiveRest("other Transformation HEX data", size - (At() - from));
}

// The smart-shape block; it takes 2 + the greater of its size and what its
// fields read.
void SmartShape() {
    Line("RENENERATE SHAPE DATA follows:");
    const uint16_t size = ShowWordField("  Data Size = 0x%04X");
    const int64_t from = At();
    const uint16_t flags = size != 0 ? ShowWordField("  Flags     = 0x%04X") : 0;
    if (TestBit(flags, 15)) {
        const uint16_t id = ReadFieldWord();
        if (const char* name = ShapeNameOf(int32_t{id} - kShapeCodeBias))
            Line(Format("    Smart Shape ID = 0x%04x (%s)", static_cast<unsigned>(id), name));
        else
            Line(Format("    Smart Shape ID = 0x%04x", static_cast<unsigned>(id)));
    } else {
        Line("    Use Shape ID defined above");
    }
    if (TestBit(flags, 14)) {
        const uint16_t glyphs = ShowWordField("   # of Glyphs = 0x%04x");
        CountedItems(glyphs, 2, [](uint32_t) { ShowWordField("     Glyph value = 0x%04x"); });
    }
    if (TestBit(flags, 13)) ShapeTransformation();
    if (TestBit(flags, 12)) {
        Line("  Bezier data follows:");
        const uint16_t nodes = ShowWordField("  Bezier nodes = 0x%04X");
        CountedItems(nodes, 12, [](uint32_t) {
            ShowWordField("    Control 1 X Value = 0x%04x");
            ShowWordField("    Control 1 Y Value = 0x%04x");
            ShowWordField("    Anchor X Value = 0x%04x");
            ShowWordField("    Anchor Y Value = 0x%04x");
            ShowWordField("    Control 2 X Value = 0x%04x");
            ShowWordField("    Control 2 Y Value = 0x%04x");
        });
    }
    if (TestBit(flags, 11)) {
        Line("  Callout data follows:");
        ShowWordField("    Text Area Left = 0x%04x");
        ShowWordField("    Text Area Bottom = 0x%04x");
        ShowWordField("    Text Area Right = 0x%04x");
        ShowWordField("    Text Area Top = 0x%04x");
        ShowWordField("    Point X  = 0x%04x");
        ShowWordField("    Point Y  = 0x%04x");
    }
    if (TestBit(flags, 12)) {
        Line("  Arc data follows:");
        ShowWordField("    Arc Type  = 0x%04x");
        ShowWordField("    Center X  = 0x%04x");
        ShowWordField("    Center Y  = 0x%04x");
        ShowWordField("    Beginning Pt X  = 0x%04x");
        ShowWordField("    Beginning Pt Y  = 0x%04x");
        ShowWordField("    Ending Pt X  = 0x%04x");
        ShowWordField("    Ending Pt Y  = 0x%04x");
        ShowWordField("    Horizontal Radius  = 0x%04x");
        ShowWordField("    Vertical Radius    = 0x%04x");
    }
    PositiveRest("other Smart Shape HEX data", size - (At() - from));
}

}  // namespace

void DescribeDrawObject() {
    const uint16_t size = ShowWordField("Size of DRAW OBJECT data = 0x%04X");
    if (size == 0) return;
    const int64_t from = At();
    const uint16_t flags = ShowWordField("DRAW OBJECT flags = 0x%04X");
    if (TestBit(flags, 15)) {
        Line("STYLE TYPE:");
        const uint8_t style = ReadFieldByte();
        Line(Format("STYLE = 0x%02X (%s)", static_cast<unsigned>(style),
                    kDrawStyles[std::min<size_t>(style, kDrawStyles.size() - 1)]));
    }
    if (TestBit(flags, 14)) {
        Line("STYLE DATA:");
        ShowDwordField("  Style data = 0x%08X");
    }
    if (TestBit(flags, 13)) {
        Line("LINE DATA:");
        const uint16_t points = ShowWordField("  Points = 0x%04X");
        CountedItems(points, 4, [](uint32_t i) {
            const uint16_t x = ReadFieldWord();
            const uint16_t y = ReadFieldWord();
            Line(Format("  %d:  X: 0x%04x (%d)  Y: 0x%04x (%d)", static_cast<int>(i), static_cast<unsigned>(x),
                        static_cast<int>(static_cast<int16_t>(x)), static_cast<unsigned>(y),
                        static_cast<int>(static_cast<int16_t>(y))));
        });
    }
    if (TestBit(flags, 12)) FillOverride(kDrawObjectFill);
    if (TestBit(flags, 11)) {
        Line("ARROW DATA:");
        const uint8_t start = ReadFieldByte();
        Line(Format("  line starting style = 0x%02X (%s)", static_cast<unsigned>(start),
                    kArrowStyles[std::min<size_t>(start, 24)]));
        const uint8_t end = ReadFieldByte();
        Line(Format("  line ending style = 0x%02X (%s)", static_cast<unsigned>(end),
                    kArrowStyles[std::min<size_t>(end, 24)]));
    }
    if (TestBit(flags, 10)) {
        Line("ROTATION DATA:");
        SetBitLines(ShowWordField("  Display flags = 0x%04X"), kDisplayFlags);
        ShowWordPair("  Rotation angle = 0x%04X (%d)");
    }
    if (TestBit(flags, 9)) {
        Line("PEN DATA:");
        ShowWordField("  Pen Thickness = 0x%04X");
        ShowByteField("  Pen Style = 0x%02X");
        ShowRgbsField("  Pen color = RGBS( 0x%02X, 0x%02X, 0x%02X, 0x%02X)");
    }
    if (TestBit(flags, 8)) {
        Line("LINE ANGLE DATA:");
        ShowDwordField("  Fixed line angle = 0x%08X");
    }
    if (TestBit(flags, 7)) {
        Line("CALLOUT DATA:");
        ShowDwordField("  Callout data = 0x%08X");
    }
    if (TestBit(flags, 6)) {
        Line("SHADOW DATA:");
        const uint8_t corner = ReadFieldByte();
        Line(Format("  Flags = 0x%02X (%s)", static_cast<unsigned>(corner), NameAt(kShadowCorners, corner)));
        ShowWordField("  Width = 0x%04X");
        ShowWordField("  Height = 0x%04X");
        ShowRgbsField("  Shadow color: R(0x%02X) G(0x%02X) B(0x%02X) S(0x%02X)");
    }
    if (TestBit(flags, 5)) {
        Line("DATA SIZE & LOCATION:");
        ShowWordPair("  Data Width     = 0x%04X (%d)");
        ShowWordPair("  Data Height    = 0x%04X (%d)");
        ShowWordPair("  Viewport X     = 0x%04X (%d)");
        ShowWordPair("  Viewport Y     = 0x%04X (%d)");
        ShowWordPair("  Viewport Width = 0x%04X (%d)");
        ShowWordPair("  Viewport Height= 0x%04X (%d)");
    }
    if (TestBit(flags, 4)) Line("REGENERATE .QWG file from draw object struct (no data for this bit)");
    if (TestBit(flags, 3)) SmartShape();
    PositiveRest("HEX data", size - (At() - from));
}

// ---- Box function ------------------------------------------------------------------

namespace {

void Title(const char* title) {
    Line(" ");
    Line(title);
}

void BoxPositioning() {
    const uint16_t size = ShowWordField("Size of override data = 0x%04X");
    if (size == 0) return;
    const uint16_t flags = ShowWordField("Override flags = 0x%04X");
    int64_t rest = int64_t{size} - 2;
    if (TestBit(flags, 15)) {
        ShowByteField("Prefix ID flag mask = 0x%02X");
        ShowByteField("Prefix ID flag data = 0x%02X");
        rest -= 2;
    }
    if (TestBit(flags, 14)) {
        ShowByteField("general flag mask = 0x%02X");
        ShowByteField("general flag data = 0x%02X");
        rest -= 2;
    }
    if (TestBit(flags, 13)) {
        ShowByteField("Horz Pos flags = 0x%02X");
        ShowWordPair("Horz Offset  = 0x%04X (%d)");
        ShowByteField("Left Column  = 0x%02X");
        ShowByteField("Right Column = 0x%02X");
        rest -= 5;
    }
    if (TestBit(flags, 12)) {
        ShowByteField("Vert Pos flags = 0x%02X");
        ShowWordPair("Vert Offset    = 0x%04X (%d)");
        rest -= 3;
    }
    if (TestBit(flags, 11)) {
        ShowByteField("Width flags  = 0x%02X");
        ShowWordPair("Box Width   = 0x%04X (%d)");
        rest -= 3;
    }
    if (TestBit(flags, 10)) {
        ShowByteField("Height flags = 0x%02X");
        ShowWordPair("Box Height   = 0x%04X (%d)");
        rest -= 3;
    }
    if (TestBit(flags, 9) && rest > 2) {
        const uint8_t z = ReadFieldByte();
        if (TestBit(z, 0))
            Line(Format("ZORDER flags = 0x%02X ABOVE TEXT", static_cast<unsigned>(z)));
        else
            Line(Format("ZORDER flags = 0x%02X BELOW TEXT", static_cast<unsigned>(z)));
        ShowWordField("LAYER   = 0x%04X");
        rest -= 3;
    }
    PositiveRest("HEX data", rest);
}

void PrefixOverrideBytes() {
    ShowByteField("Prefix ID flag override mask - 0x%02X");
    ShowByteField("Prefix ID flag override data - 0x%02X");
}

void RenderOverrideBytes() {
    ShowByteField("Content render flag override mask - 0x%02X");
    ShowByteField("Content render flag override data - 0x%02X");
}

// False when an unknown content kind ends the whole box detail.
bool BoxContent() {
    ShowWordField("Size of Content data = 0x%04X");
    const uint16_t flags = ShowWordField("Content flags = 0x%04X");
    if (TestBit(flags, 15)) {
        ShowByteField("Content mask - 0x%02X");
        ShowByteField("Content data - 0x%02X");
    }
    uint8_t kind = 0;  // none read
    if (TestBit(flags, 14)) {
        kind = ReadFieldByte();
        switch (kind) {
            case 1: Line("Type: TEXT BOX"); break;
            case 3: Line("Type: IMAGE"); break;
            case 4: Line("Type: EQUATION"); break;
            default: Line("Type: Unknown"); return false;
        }
    }
    if (TestBit(flags, 13)) {
        if (kind == 1) {
            ShowWordField("Size of TEXT BOX data = 0x%04X");
            const uint16_t f = ShowWordField("TEXT BOX override flags = 0x%04X");
            if (TestBit(f, 15)) PrefixOverrideBytes();
            if (TestBit(f, 14)) RenderOverrideBytes();
        } else if (kind == 3) {
            ShowWordField("Size of IMAGE data = 0x%04X");
            const uint16_t f = ShowWordField("IMAGE override flags = 0x%04X");
            if (TestBit(f, 15)) PrefixOverrideBytes();
            if (TestBit(f, 14)) {
                ShowWordField("Image native width  (QWU's) - 0x%04X");
                ShowWordField("Image native height (QWU's) - 0x%04X");
            }
            if (TestBit(f, 13)) RenderOverrideBytes();
            if (TestBit(f, 12)) {
                ShowDwordField("X scaling (Fixed pt) - 0x%08X");
                ShowDwordField("Y scaling (Fixed pt) - 0x%08X");
            }
            if (TestBit(f, 11)) {
                ShowDwordField("X translation (Fixed pt) - 0x%08X");
                ShowDwordField("Y translation (Fixed pt) - 0x%08X");
            }
            if (TestBit(f, 10)) ShowDwordField("Rotation (Fixed pt) - 0x%08X");
            if (TestBit(f, 9)) ShowByteField("Black & White threshold - 0x%02X");
            if (TestBit(f, 8)) ShowDwordField("Lightness value (Fixed pt) - 0x%08X");
            if (TestBit(f, 7)) ShowDwordField("Contrast value (Fixed pt) - 0x%08X");
            if (TestBit(f, 6)) {
                ShowDwordField("Halftone screen LPI - 0x%08X");
                ShowDwordField("Plane 0 halftone angle - 0x%08X");
                ShowDwordField("Plane 1 halftone angle - 0x%08X");
                ShowDwordField("Plane 2 halftone angle - 0x%08X");
                ShowDwordField("Plane 3 halftone angle - 0x%08X");
            }
            if (TestBit(f, 5)) {
                ShowByteField("Image dither flag override mask - 0x%02X");
                ShowByteField("Image dither flag override data - 0x%02X");
            }
        } else if (kind == 4) {
            ShowWordField("Size of EQUATION data = 0x%04X");
            const uint16_t f = ShowWordField("EQUATION override flags = 0x%04X");
            if (TestBit(f, 15)) PrefixOverrideBytes();
            if (TestBit(f, 14)) RenderOverrideBytes();
            if (TestBit(f, 13)) ShowWordField("Equation base font size - 0x%04X");
            if (TestBit(f, 12)) ShowDwordField("Equation color (RGBS) - 0x%08X");
            if (TestBit(f, 11)) ShowDwordField("Equation Rotation (Fixed pt) - 0x%08X");
        }
    }
    if (TestBit(flags, 12)) {
        ShowByteField("Content Alignment info mask - 0x%02X");
        ShowByteField("Content Alignment info data - 0x%02X");
    }
    return true;
}

void BoxCaption() {
    ShowWordField("Size of Caption data = 0x%04X");
    const uint16_t flags = ShowWordField("Caption flags = 0x%04X");
    if (TestBit(flags, 15)) {
        ShowByteField("Caption ID flag mask = 0x%02X");
        ShowByteField("Caption ID flag data = 0x%02X");
    }
    if (TestBit(flags, 14)) {
        ShowByteField("Caption Pos flags = 0x%02X");
        ShowWordField("Caption alignment Offset  = 0x%04X");
    }
    if (TestBit(flags, 13)) {
        ShowByteField("Caption formatting flags = 0x%02X");
        ShowWordField("Caption formatting data  = 0x%04X");
    }
}

void BoxBorder() {
    const uint16_t size = ShowWordField("Size of Border data = 0x%04X");
    const uint16_t flags = ShowWordField("Border flags = 0x%04X");
    int64_t rest = int64_t{size} - 2;
    if (TestBit(flags, 15)) {
        ShowByteField("  Border ID flag override mask = 0x%02X");
        ShowByteField("  Border ID flag override data = 0x%02X");
        rest -= 2;
    }
    if (TestBit(flags, 14)) rest -= DescribeTemplateOverride();
    PositiveRest("HEX data", rest);
}

void BoxFill() {
    const uint16_t size = ShowWordField("Size of Fill data = 0x%04X");
    const uint16_t flags = ShowWordField("Fill flags = 0x%04X");
    int64_t rest = int64_t{size} - 2;
    if (TestBit(flags, 15)) {
        Line("Box Fill Prefix override data:");
        ShowByteField("Prefix mask = 0x%02X");
        if (TestBit(ShowByteField("Prefix data = 0x%02X"), 0)) Line("  (Fill data in prefix)");
        rest -= 2;
    }
    if (TestBit(flags, 14)) {
        const int64_t before = At();
        FillOverride(kBoxFill);
        rest -= At() - before;
    }
    PositiveRest("HEX data", rest);
}

void BoxWrapping() {
    const uint16_t size = ShowWordField("Size of Wrapping data = 0x%04X");
    const uint16_t flags = ShowWordField("Wrapping flags = 0x%04X");
    int64_t rest = int64_t{size} - 2;
    if (TestBit(flags, 15)) {
        ShowByteField("Prefix ID override MASK= 0x%02X");
        ShowByteField("Prefix ID override DATA= 0x%02X");
        rest -= 2;
    }
    if (TestBit(flags, 14)) {
        ShowByteField("Wrapping flags MASK= 0x%02X");
        const uint8_t wrap = ShowByteField("Wrapping flags DATA= 0x%02X");
        EitherOr(wrap, 4, "   Contour wrapped", "   Square wrapped");
        Line(kWrapKinds[wrap & 7]);
        rest -= 2;
    }
    PositiveRest("HEX data", rest);
}

void BoxHypertext() {
    const uint16_t word = ShowWordField("Size of hypertext wrap data = 0x%04X");
    uint16_t flags = 0;
    int64_t rest = 0;
    if (word < 257) {
        flags = ShowWordField("hypertext wrap override flags = 0x%04X");
        rest = word;
    } else {
        AddErrorLine(Out(), "***ERROR* NO Box Hypertext size word", kTagDamage);
        Line(Format("use size as Flags.  Hypertext override flags = 0x%04X", static_cast<unsigned>(word)));
        flags = word;
        rest = 2;
    }
    if (TestBit(flags, 15)) {
        ShowByteField("Prefix ID override MASK= 0x%02X");
        ShowByteField("Prefix ID override DATA= 0x%02X");
        rest -= 4;
    } else {
        rest -= 2;
    }
    if (TestBit(flags, 14)) {
        ShowByteField("hypertext flags override DATA= 0x%02X");
        rest -= 1;
    }
    if (rest >= 1 && rest <= 15) HexDumpField("HEX data", static_cast<int32_t>(rest));
}

void BoxGrouping() {
    const uint16_t size = ShowWordField("Size of Grouping data = 0x%04X");
    const uint16_t flags = ShowWordField("Grouping flags = 0x%04X");
    int64_t rest = int64_t{size} - 2;
    if (TestBit(flags, 15)) {
        ShowWordField("flags MASK= 0x%04X");
        ShowWordField("flags DATA= 0x%04X");
        rest = int64_t{size} - 6;
    }
    if (TestBit(flags, 14)) {
        ShowWordField("COUNT = 0x%04X");
        rest -= 2;
    }
    PositiveRest("HEX data", rest);
}

// The deletable part in detail: 0x45 and then exactly 37 bytes before the
// trailer.
bool BoxDeletableDetail() {
    if (GetU8(D().base, static_cast<size_t>(std::max<int64_t>(At(), 0))) != 0x45 || !Held()) return false;
    if (int64_t{FunctionSize()} != At() + 1 + 39) return false;
    Line(" ");
    Line("DELETABLE DATA: (in detail)");
    ShowByteField("Valid mark DATA= 0x%02X");
    ShowByteField("Revision # = 0x%02X");
    Line("        (RELATIVE TO)    X      Y   Width  Height");
    const auto rect = [](FieldFormat<4> format) {
        const unsigned x = ReadFieldWord();
        const unsigned y = ReadFieldWord();
        const unsigned w = ReadFieldWord();
        const unsigned h = ReadFieldWord();
        Line(Format(format.text, x, y, w, h));
    };
    rect("Box Pos        (page): 0x%04X 0x%04X 0x%04X 0x%04X");
    rect("Content Pos     (box): 0x%04X 0x%04X 0x%04X 0x%04X");
    rect("Caption Pos     (box): 0x%04X 0x%04X 0x%04X 0x%04X");
    rect("Outside spacing(page): 0x%04X 0x%04X 0x%04X 0x%04X");
    ShowByteField("Column # box is in = 0x%02X");
    ShowWordField("Box edit # (0 rel) = 0x%04X");
    return true;
}

}  // namespace

void DescribeBoxFunction(std::span<const uint8_t>) {
    HexDumpField("reserved data area (14 bytes)", 14);
    ShowWordField("Size of override and wrap rect data = 0x%04X");
    ShowWordField("Size of override data = 0x%04X");
    const uint16_t flags = ShowWordField("Box override flags = 0x%04X");
    if (TestBit(flags, 15)) {
        Title("BOX COUNTER DATA");
        ShowWordField("Size of override data = 0x%04X");
        if (TestBit(ShowWordField("Override flags = 0x%04X"), 15)) {
            ShowByteField("Prefix ID flag mask = 0x%02X");
            ShowByteField("Prefix ID flag data = 0x%02X");
        }
    }
    if (TestBit(flags, 14)) {
        Title("BOX POSITIONING DATA");
        BoxPositioning();
    }
    if (TestBit(flags, 13)) {
        Title("BOX CONTENT DATA");
        if (!BoxContent()) return;
    }
    if (TestBit(flags, 12)) {
        Title("BOX CAPTION DATA");
        BoxCaption();
    }
    if (TestBit(flags, 11)) {
        Title("BOX BORDER DATA");
        BoxBorder();
    }
    if (TestBit(flags, 10)) {
        Title("BOX FILL DATA");
        BoxFill();
    }
    if (TestBit(flags, 9)) {
        Title("BOX WRAPPING DATA");
        BoxWrapping();
    }
    if (TestBit(flags, 8)) {
        Title("BOX HYPERTEXT WRAP DATA");
        BoxHypertext();
    }
    if (TestBit(flags, 7)) Title("BOX HTML DATA (No local: uses prefix data only)");
    if (TestBit(flags, 6)) {
        Title("BOX GROUPING DATA");
        BoxGrouping();
    }
    if (TestBit(flags, 5)) {
        Title("BOX DRAW OBJECT DATA");
        DescribeDrawObject();
    }
    if (TestBit(flags, 4)) Title("UANAME DATA (No local: uses prefix data only)");
    if (TestBit(flags, 3)) Title("SGML DATA (None: use prefix data only)");
    if (TestBit(flags, 2)) Title("OBJECT IS A SHAPE, (No local: uses prefix data in .qwg image)");
    if (TestBit(flags, 1)) {
        Title("Active X Control Data");
        const uint16_t size = ShowWordField("Size of Active X Control data = 0x%04X");
        if (size != 0) HexDumpField("Rest of the data in HEX", size);
    }
    if (TestBit(flags, 0)) {
        Title("UNDOCUMENTED DATA (BIT 0)");
        const uint16_t size = ShowWordField("Size of UNDOCUMENTED data = 0x%04X");
        ShowWordField("UNDOCUMENTED flags = 0x%04X");
        if (size > 2) HexDumpField("HEX data", size - 2);
    }
    Line(" ");
    const uint16_t rects = ShowWordField("Platform rectangles = 0x%04X");
    CountedItems(rects, 8, [](uint32_t) {
        ShowWordField("Left   offset from rect to box = 0x%04X");
        ShowWordField("Right  offset from rect to box = 0x%04X");
        ShowWordField("Top    offset from rect to box = 0x%04X");
        ShowWordField("Bottom offset from rect to box = 0x%04X");
    });
    if (!BoxDeletableDetail()) ShowDeletableData();
}

// ---- Template override (shared with the box style packet) -----------------------

int64_t DescribeTemplateOverride() {
    const int64_t start = At();
    const uint16_t size = ShowWordField("Size of Template override data = 0x%04X");
    const int64_t from = At();
    const uint16_t flags = ShowWordField("Template override flags = 0x%04X");
    if (TestBit(flags, 15)) {
        ShowByteField("Template ID flag override mask = 0x%02X");
        ShowByteField("Template ID flag override data = 0x%02X");
    }
    if (TestBit(flags, 14)) {
        ShowByteField("Template flag override mask = 0x%02X");
        ShowByteField("Template flag override data = 0x%02X");
    }
    if (TestBit(flags, 13)) ShowWordField("Corner Radius = 0x%04X");
    if (TestBit(flags, 12)) {
        ShowWordField("Left   Inside Spacing = 0x%04X");
        ShowWordField("Right  Inside Spacing = 0x%04X");
        ShowWordField("Top    Inside Spacing = 0x%04X");
        ShowWordField("Bottom Inside Spacing = 0x%04X");
    }
    if (TestBit(flags, 11)) {
        ShowWordField("Left   Outside Spacing = 0x%04X");
        ShowWordField("Right  Outside Spacing = 0x%04X");
        ShowWordField("Top    Outside Spacing = 0x%04X");
        ShowWordField("Bottom Outside Spacing = 0x%04X");
    }
    if (TestBit(flags, 10)) {
        static constexpr std::array<const char*, 6> kShadowTypes{
            "Drop Shadow Type: None",        "Drop Shadow Type: Upper-Left",  "Drop Shadow Type: Lower-Left",
            "Drop Shadow Type: Lower-Right", "Drop Shadow Type: Upper-Right", "Drop Shadow Type: Unknown"};
        Line(kShadowTypes[std::min<size_t>(ReadFieldByte(), 5)]);
        ShowWordField("Shadow Thickness = 0x%04X");
        ShowRgbsField("Shadow color = RGBS( 0x%02X, 0x%02X, 0x%02X, 0x%02X)");
    }
    if (TestBit(flags, 9)) ShowRgbsField("Border override color = RGBS( 0x%02X, 0x%02X, 0x%02X, 0x%02X)");
    if (TestBit(flags, 8)) ShowWordField("Shadow Vertical Thickness = 0x%04X");
    PositiveRest("HEX data", size - (At() - from));
    return At() - start;
}

}  // namespace engine
