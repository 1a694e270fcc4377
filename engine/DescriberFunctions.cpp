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

constexpr auto kArrowStyleRows = IndexedNames({
    "Flat End", "Rounded End", "", "", "", "", "", "", "", "",
    "solid arrow", "big solid arrow", "", "hollow arrow", "big hollow arrow", "line arrow",
    "big line arrow", "", "solid arrow tail", "hollow arrow tail", "", "", "circle", "big circle",
    "Undefined"});
constexpr NameTable kArrowStyles{"ArrowStyles", kArrowStyleRows};

constexpr auto kShadowCornerRows = IndexedNames({"None", "Top-Left", "Bottom-Left", "Bottom-Right", "Top-Right"});
constexpr NameTable kShadowCorners{"ShadowCorners", kShadowCornerRows};

constexpr auto kGradientKindRows =
    IndexedNames({SharedText(Msg::LinearGradientFill), SharedText(Msg::RadialGradientFill), SharedText(Msg::RectangularGradientFill), ""});
constexpr NameTable kGradientKinds{"FunctionGradientKinds", kGradientKindRows};

constexpr auto kWrapKindRows = IndexedNames({
    "   Wrap on Largest Side", "   Wrap on Left Side",  "   Wrap on Right Side",   "   Wrap on Neither Side",
    SharedText(Msg::WrapOnBothSides),   SharedText(Msg::WrapOnBothSides), "   NO wrap (write thru)", "   Undefined wrap code"});
constexpr NameTable kWrapKinds{"WrapKinds", kWrapKindRows};

constexpr auto kRuleHorizontalReferenceRows = IndexedNames(
    {SharedText(Msg::AbsoluteToPageLeft), SharedText(Msg::MarginRelative), "   between columns", "   left"});
constexpr NameTable kRuleHorizontalReferences{"RuleHorizontalReferences", kRuleHorizontalReferenceRows};
constexpr auto kRuleHorizontalAlignmentRows = IndexedNames(
    {"   left", "   right", "   centered", "   full", "   top", "   bottom", "   centered", "   full"});
constexpr NameTable kRuleHorizontalAlignments{"RuleHorizontalAlignments", kRuleHorizontalAlignmentRows};
constexpr auto kRuleVerticalReferenceRows =
    IndexedNames({"   absolute (relative to top of page)", SharedText(Msg::MarginRelative), "   baseline",
                  SharedText(Msg::AbsoluteToPageLeft)});
constexpr NameTable kRuleVerticalReferences{"RuleVerticalReferences", kRuleVerticalReferenceRows};
constexpr auto kRuleVerticalAlignmentRows = IndexedNames({"   top", "   bottom", "   centered", "   full"});
constexpr NameTable kRuleVerticalAlignments{"RuleVerticalAlignments", kRuleVerticalAlignmentRows};

// Bit tables: row i names bit i.
constexpr auto kSuppressedPartRows = IndexedNames({
    "   suppress page numbering", "   suppress current page numbering", "   suppress header A",
    "   suppress header B",       "   suppress footer A",               "   suppress footer B",
    "   suppress watermark A",    "   suppress watermark B"});
constexpr NameTable kSuppressedParts{"SuppressedParts", kSuppressedPartRows};
constexpr auto kMarginFlagRows =
    IndexedNames({"   No room left for text", "   A Drop Cap affects the line", "   Wrap accross"});
constexpr NameTable kMarginFlags{"MarginChangeFlags", kMarginFlagRows};
constexpr auto kDisplayFlagRows =
    IndexedNames({"    Mirror X the object", "    Mirror Y the object", "    Rotation the object",
                  "    Shear X the object", "    Shear Y the object", "    Edit Locks On the object"});
constexpr NameTable kDisplayFlags{"DrawObjectDisplayFlags", kDisplayFlagRows};

constexpr auto kDrawStyleRows =
    IndexedNames({"2pt line", "3pt line", "polyline", "rectangle", "ellipse", "fat arrow", "polygon", "circle"});
constexpr NameTable kDrawStyles{"DrawObjectStyles", kDrawStyleRows};

constexpr auto kTemplateShadowRows =
    IndexedNames({"Drop Shadow Type: None", "Drop Shadow Type: Upper-Left", "Drop Shadow Type: Lower-Left",
                  "Drop Shadow Type: Lower-Right", "Drop Shadow Type: Upper-Right"});
constexpr NameTable kTemplateShadows{"TemplateShadowTypes", kTemplateShadowRows};

}  // namespace

const NameTable& ArrowStyleNames() { return kArrowStyles; }
const NameTable& ShadowCornerNames() { return kShadowCorners; }
const NameTable& GradientKindNames() { return kGradientKinds; }
const NameTable& WrapKindNames() { return kWrapKinds; }

// ---- Field shapes ----------------------------------------------------------

namespace {

DescriberContext& D() { return Ctx().describer; }
int64_t At() { return D().cursor; }
// The function's size word: what bounds the deletable part and the detail.
uint32_t FunctionSize() { return GetU16(D().function, 2); }

}  // namespace

// ---- Small describers ------------------------------------------------------

void DescribeNewWordValue(std::span<const uint8_t> function) {
    HexDumpFunction(function);
    ShowWordField(SharedText(Msg::NewValue));
    ShowDeletableData();
}

void DescribeNewByteValue(std::span<const uint8_t> function) {
    HexDumpFunction(function);
    ShowByteField("  new value =  0x%02X");
    ShowDeletableData();
}

void DescribeOnOffState(std::span<const uint8_t> function) {
    HexDumpFunction(function);
    ShowEitherOr(ReadFieldByte(), 0, " state = ON", " state = OFF");
    ShowDeletableData();
}

void DescribeAbsoluteRelative(std::span<const uint8_t> function) {
    HexDumpFunction(function);
    ShowEitherOr(ReadFieldByte(), 0, "  Absolute", "  Relative");
    ShowWordField(SharedText(Msg::NewValue));
    ShowDeletableData();
}

void DescribeSuppressFlags(std::span<const uint8_t> function) {
    HexDumpFunction(function);
    ShowSetBits(ShowByteField(SharedText(Msg::FlagsByte)), kSuppressedParts);
}

void DescribeWidowOrphan(std::span<const uint8_t>) {
    ShowEitherOr(ReadFieldByte(), 0, "Widow/Orphan state = ON", "Widow/Orphan state = OFF");
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
        ShowLine("No Deletable data.");
    else
        ShowDeletableData();
}

void DescribeTabRegion(std::span<const uint8_t>) {
    const uint8_t v = ReadFieldByte();
    ShowNamedLine("Flag: 0x%02X (%s)", v, TestBit(v, 0) ? "Tab-able region" : " ");
    ShowDeletableData();
}

void DescribeProofingLevel(std::span<const uint8_t>) {
    const uint8_t kind = ReadFieldByte();
    ShowNamedLine("Type of error/area type: 0x%02X (%s)", kind, LookupKeyName(kind, CheckTypeKeys()));
    ShowWordField("New Level: 0x%04X");
    ShowWordField("Old Level: 0x%04X");
    const uint8_t tool = ReadFieldByte();
    ShowNamedLine("Tool type: 0x%02X (%s)", tool, LookupKeyName(tool, CheckToolKeys()));
    ShowDeletableData();
}

namespace {

constexpr FieldRow kColumnDefinition[] = {
    ByteRow(SharedText(Msg::FlagsByteColon)),           WordRow("column width: 0x%04X"),
    WordRow("left gutter: 0x%04X"),     WordRow("right gutter: 0x%04X"),
    DwordRow("attributes: 0x%08X"),     ByteRow("alignment: 0x%02X"),
    WordRow("alignment position: 0x%04X"), WordRow("number type: 0x%04X"),
    ByteRow("currency index: 0x%02X"),
};

constexpr FieldRow kNewMargins[] = {
    WordRow("New left margin 0x%04X (qwu's)"),
    WordRow("New right margin 0x%04X (qwu's)"),
    WordRow("New temp left margin 0x%04X (qwu's)"),
    WordRow("New temp right margin 0x%04X (qwu's)"),
};
constexpr FieldRow kOldMargins[] = {
    WordRow("  Old left margin 0x%04X (qwu's)"),
    WordRow("  Old right margin 0x%04X (qwu's)"),
    WordRow("  Old temp left margin 0x%04X (qwu's)"),
    WordRow("  Oldtemp right margin 0x%04X (qwu's)"),
};

}  // namespace

std::span<const FieldRow> NewMarginRows() { return kNewMargins; }

void DescribeColumnDefinition(std::span<const uint8_t>) {
    ShowFields(kColumnDefinition);
    ShowDeletableData();
}

void DescribeDelayCodes(std::span<const uint8_t>) {
    ShowWordField("Previous delay codes prefix ID 0x%04X");
    ShowWordField("Next delay codes prefix ID 0x%04X");
}

void DescribeMarginChange(std::span<const uint8_t>) {
    ShowSetBits(ShowByteField(SharedText(Msg::FlagsByte)), kMarginFlags);
    ShowFields(kNewMargins);
    const int64_t deletable = int64_t{FunctionSize()} - D().nonDeletableSize - 10;
    if (deletable > 0) ShowLine("---Deletable data---");
    if (deletable == 8)
        ShowFields(kOldMargins);
    else
        ShowDeletableData();
}

// ---- Border/fill override ---------------------------------------------------

namespace {

// The border template's fields by its flag bits, in this order.
bool BorderPrefixBytes(int&) {
    ShowByteField("  Border Prefix ID mask  0x%02X");
    ShowByteField("  Border Prefix ID flags 0x%02X");
    return true;
}
bool BorderGeneralBytes(int&) {
    ShowByteField("  Border General flags mask  0x%02X");
    ShowByteField("  Border General flags flags 0x%02X");
    return true;
}
bool BorderCornerRadius(int&) {
    ShowWordField("  Corder Radius 0x%04X");
    return true;
}
constexpr FieldRow kBorderInside[] = {
    WordRow("  Left Inside Spacing 0x%04X"), WordRow("  Right Inside Spacing 0x%04X"),
    WordRow("  Top Inside Spacing 0x%04X"), WordRow("  Bottom Inside Spacing 0x%04X")};
constexpr FieldRow kBorderOutside[] = {
    WordRow("  Left Outside Spacing 0x%04X"), WordRow("  Right Outside Spacing 0x%04X"),
    WordRow("  Top Outside Spacing 0x%04X"), WordRow("  Bottom Outside Spacing 0x%04X")};
constexpr FieldRow kBorderShadow[] = {
    ByteRow("  Drop Shadow Direction 0x%02X"), WordRow("  Drop Shadow Spacing 0x%04X"),
    RgbsRow("  Drop Shadow Color RGBS( 0x%02X, 0x%02X, 0x%02X, 0x%02X)")};
bool BorderInside(int&) { return ShowFields(kBorderInside), true; }
bool BorderOutside(int&) { return ShowFields(kBorderOutside), true; }
bool BorderShadow(int&) { return ShowFields(kBorderShadow), true; }
bool BorderColor(int&) {
    ShowRgbsField("  Border Color RGBS( 0x%02X, 0x%02X, 0x%02X, 0x%02X)");
    return true;
}
bool BorderVerticalShadow(int&) {
    ShowWordField("  Vertical Drop Shadow Spacing 0x%04X");
    return true;
}
constexpr FlagSection<int> kBorderTemplate[] = {
    {15, nullptr, &BorderPrefixBytes}, {14, nullptr, &BorderGeneralBytes}, {13, nullptr, &BorderCornerRadius},
    {12, nullptr, &BorderInside},      {11, nullptr, &BorderOutside},      {10, nullptr, &BorderShadow},
    {9, nullptr, &BorderColor},        {8, nullptr, &BorderVerticalShadow},
};

}  // namespace

void DescribeBorderFillOverride() {
    ShowLine("Border/Fill override data:");
    const SizedBlock outer = BeginSizedBlock(ShowWordField("Size of Border/Fill Override data: 0x%04X"));
    const uint16_t flags = ShowWordField("Border/Fill Override Flags: 0x%04X");
    if (TestBit(flags, 15)) {
        const SizedBlock border = BeginSizedBlock(ShowWordField("  Size of Border Template Override data: 0x%04X"));
        int none = 0;
        ShowFlagSections<int>(ShowWordField("  Border Template Override Flags: 0x%04X"), kBorderTemplate, none);
        DumpRemainder("  Other Border data", border.Rest(), Remainder::Signed);
    }
    if (TestBit(flags, 14)) {
        const SizedBlock fill = BeginSizedBlock(ShowWordField("Size of Fill Template Override data: 0x%04X"));
        if (TestBit(ShowWordField("Fill Template Override Flags: 0x%04X"), 15)) {
            ShowRgbsField(SharedText(Msg::ForegroundColor));
            ShowRgbsField("  Background/Start Color RGBS( 0x%02X, 0x%02X, 0x%02X, 0x%02X)");
        }
        DumpRemainder("  Other Fill data", fill.Rest(), Remainder::Signed);
    }
    DumpRemainder("Other Border/Fill data", outer.Rest(), Remainder::Signed);
}

void DescribeBorderFunction(std::span<const uint8_t> function) {
    ShowLine(GetU8(function, 0) == 0xD1 ? "Page Border" : Text(Msg::ParagraphBorder));
    HexDumpField("14 bytes Reserved:", 14);
    DescribeBorderFillOverride();
    ShowDeletableData();
}

namespace {

constexpr FieldRow kDropCap[] = {
    ByteRow("number of characters to affect: 0x%02X"),
    WordRow("text attributes first word data: 0x%04X"),
    WordRow("text attributes first word mask: 0x%04X"),
    WordRow("text attributes second word data: 0x%04X"),
    WordRow("text attributes second word mask: 0x%04X"),
    RgbsRow(SharedText(Msg::ForegroundColor)),
    DwordRow("drop cap text size (FIXED): 0x%08X"),
    DwordRow("paragraph vertical adjustment (FIXED): 0x%08X"),
    WordRow("kerning: 0x%04X"),
    WordRow("horiz pos adjustment: 0x%04X"),
    ByteRow(SharedText(Msg::FlagsByteColon)),
};

}  // namespace

void DescribeDropCap(std::span<const uint8_t>) {
    ShowLine("DropCap");
    ShowFields(kDropCap);
    DescribeBorderFillOverride();
    ShowDeletableData();
}

// ---- Table definition --------------------------------------------------------

namespace {

constexpr FieldRow kTableHead[] = {
    ByteRow("table flags: 0x%02X"), ByteRow("table position: 0x%02X"),
    WordRow("offset from left edge: 0x%04X"), DwordRow("default line color: 0x%08X")};
constexpr FieldRow kTableFill[] = {
    ByteRow("alternate fill: 0x%02X"), WordRow("count for fill pattern: 0x%04X"),
    WordRow("count for secondary fill pattern: 0x%04X"), ByteRow("overrides flag: 0x%02X")};
constexpr FieldRow kTableSkew[] = {
    WordRow("row skew value: 0x%04X"), WordRow("column skew value: 0x%04X"), ByteRow("skew flags: 0x%02X"),
    WordRow("skew row height: 0x%04X")};

// One override block of a table: size, flags and its data; what it takes
// from the count.
int64_t TableOverride(FieldFormat<1> sizeFormat) {
    const uint16_t size = ShowWordField(sizeFormat);
    ShowWordField("  flags: 0x%04X");
    HexDumpField("  data.", int64_t{size} - 2);
    return int64_t{size} + 2;
}

}  // namespace

void DescribeTableDefinition(std::span<const uint8_t>) {
    int64_t r = D().nonDeletableSize;
    ShowFields(kTableHead);
    const uint16_t overrideSize = ShowWordField("override size: 0x%04X");
    r -= 10;
    if (overrideSize > 2) {
        const uint16_t flags = ShowWordField("override flags: 0x%04X");
        r -= 2;
        if (TestBit(flags, 15)) r -= TableOverride("border data size: 0x%04X");
        if (TestBit(flags, 14)) r -= TableOverride("fill data size: 0x%04X");
    }
    if (r > 0) {
        ShowFields(kTableFill);
        r -= 6;
        if (r > 0) ShowFields(kTableSkew);
    }
    ShowDeletableData();
}

// ---- Rule position -------------------------------------------------------------

namespace {

constexpr FieldRow kRuleMeasures[] = {
    WordRow("Absolute Vert position: 0x%04X (QWU)"), WordRow("Rule Thickness: 0x%04X (QWU)"),
    WordRow("Rule Length: 0x%04X (QWU)")};
constexpr FieldRow kVerticalRuleSpacing[] = {WordRow("Kickout spacing: 0x%04X (QWU)"),
                                             WordRow("reserved: 0x%04X (QWU)")};
constexpr FieldRow kHorizontalRuleSpacing[] = {WordRow("Top spacing: 0x%04X (QWU)"),
                                               WordRow("Bottom spacing: 0x%04X (QWU)")};
constexpr FieldRow kRuleCalculated[] = {
    ByteRow("  Flag byte: 0x%02X"), WordRow("  Calculated X pos: 0x%04X (QWU)"),
    WordRow("  Calculated Y pos: 0x%04X (QWU)"), WordRow("  Calculated thickness: 0x%04X (QWU)"),
    WordRow("  Calculated length: 0x%04X (QWU)")};

}  // namespace

void DescribeRulePosition(std::span<const uint8_t>) {
    HexDumpField("Reserved data area (14 bytes)", 14);
    ShowWordField("Size of rule positioning data #: 0x%04X");
    const uint8_t general = ShowByteField("General Position flags: 0x%02X");
    ShowEitherOr(general, 0, "   Vertical Rule", "   Horizontal Rule");
    ShowEitherOr(general, 1, "   Rule thickness set by user", "   Rule thickness determined by line style");
    const uint8_t horizontal = ShowByteField("Horizontal Position flags: 0x%02X");
    ShowName(kRuleHorizontalReferences, horizontal & 3);
    ShowName(kRuleHorizontalAlignments, (horizontal >> 2) & 7);
    ShowWordField("Absolute Horz position: 0x%04X (QWU)");
    ShowByteField("Left column: 0x%02X");
    const uint8_t vertical = ShowByteField("Vertical Position flags: 0x%02X");
    ShowName(kRuleVerticalReferences, vertical & 3);
    ShowName(kRuleVerticalAlignments, (vertical >> 2) & 7, "");  // 4-7 have no name
    ShowFields(kRuleMeasures);
    ShowFields(TestBit(general, 0) ? std::span<const FieldRow>(kVerticalRuleSpacing)
                                   : std::span<const FieldRow>(kHorizontalRuleSpacing));
    ShowWordField("Size of line defination area: 0x%04X");
    ShowEitherOr(ShowByteField("Line definition flags: 0x%02X"), 0, "   use color from rule template for all segments",
                 "   use color from line template segment definitions");
    ShowRgbsField("RGBS = ( 0x%02X, 0x%02X, 0x%02X, 0x%02X)");
    ShowWordField("Undocumented data: 0x%04X");
    ShowBlank();
    ShowLine("DELETABLE DATA (described)");
    ShowFields(kRuleCalculated);
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
                               SharedText(Msg::PatternSet),
                               SharedText(Msg::PatternIndex)};

constexpr FieldRow kFillColors[] = {RgbsRow("  Fore color = RGBS( 0x%02X, 0x%02X, 0x%02X, 0x%02X)"),
                                    RgbsRow("  Back color = RGBS( 0x%02X, 0x%02X, 0x%02X, 0x%02X)")};
constexpr FieldRow kGradient[] = {
    WordRow("  Num Setps = 0x%04X"), DwordRow("  Rotation = (fixed pt) 0x%08X"),
    WordRow("  X Offset = 0x%04X (/0x10000 fixed pt)"), WordRow("  Y Offset = 0x%04X (/0x10000 fixed pt)")};

// A fill template override at the cursor; it takes 2 + the greater of its
// total and what its fields read, so no caller dumps its bytes again.
void FillOverride(const FillFormats& f) {
    ShowLine(f.title);
    const SizedBlock block = BeginSizedBlock(ShowWordField(f.total));
    const uint16_t flags = ShowWordField(f.flags);
    if (TestBit(flags, 15)) ShowFields(kFillColors);
    if (TestBit(flags, 14)) {
        if (ReadFieldByte() != 0) {
            ShowLine(f.gradient);
            const uint8_t g = ReadFieldByte();
            ShowNamedLine("  Gradient flags = 0x%02X (%s)", g, NameOf(kGradientKinds, g & 3));
            ShowFields(kGradient);
        } else {
            ShowLine(f.pattern);
            ShowByteField(f.patternSet);
            ShowByteField(f.patternIndex);
        }
    }
    DumpRemainder("HEX data", block.Rest(), Remainder::PositiveOnly);
}

constexpr FieldRow kScaling[] = {DwordRow("  X Scaling (fixed pt) = 0x%08X"),
                                 DwordRow("  Y Scaling (fixed pt) = 0x%08X")};
constexpr FieldRow kTranslation[] = {DwordRow("  X Translation (fixed pt) = 0x%08X"),
                                     DwordRow("  Y Translation (fixed pt) = 0x%08X")};

void ShapeTransformation() {
    ShowLine("  Transformation data follows:");
    const uint16_t size = ShowWordField(SharedText(Msg::DataSizeField));
    const SizedBlock block = BeginSizedBlock(size);
    const uint16_t flags = size != 0 ? ShowWordField(SharedText(Msg::FlagsField)) : 0;
    if (TestBit(flags, 15)) ShowLine("    Mirror X");
    if (TestBit(flags, 14)) ShowLine("    Mirror Y");
    if (TestBit(flags, 13)) ShowFields(kScaling);
    if (TestBit(flags, 12)) ShowFields(kTranslation);
    if (TestBit(flags, 11)) ShowDwordField("  Rotation (fixed pt) = 0x%08X");
    DumpRemainder("other Transformation HEX data", block.Rest(), Remainder::PositiveOnly);
}

constexpr FieldRow kBezierNode[] = {
    WordRow("    Control 1 X Value = 0x%04x"), WordRow("    Control 1 Y Value = 0x%04x"),
    WordRow("    Anchor X Value = 0x%04x"),    WordRow("    Anchor Y Value = 0x%04x"),
    WordRow("    Control 2 X Value = 0x%04x"), WordRow("    Control 2 Y Value = 0x%04x")};
constexpr FieldRow kShapeCallout[] = {
    WordRow("    Text Area Left = 0x%04x"),  WordRow("    Text Area Bottom = 0x%04x"),
    WordRow("    Text Area Right = 0x%04x"), WordRow("    Text Area Top = 0x%04x"),
    WordRow("    Point X  = 0x%04x"),        WordRow("    Point Y  = 0x%04x")};
constexpr FieldRow kShapeArc[] = {
    WordRow("    Arc Type  = 0x%04x"),       WordRow("    Center X  = 0x%04x"),
    WordRow("    Center Y  = 0x%04x"),       WordRow("    Beginning Pt X  = 0x%04x"),
    WordRow("    Beginning Pt Y  = 0x%04x"), WordRow("    Ending Pt X  = 0x%04x"),
    WordRow("    Ending Pt Y  = 0x%04x"),    WordRow("    Horizontal Radius  = 0x%04x"),
    WordRow("    Vertical Radius    = 0x%04x")};

// The smart-shape block; it takes 2 + the greater of its size and what its
// fields read.
void SmartShape() {
    const uint16_t size = ShowWordField(SharedText(Msg::DataSizeField));
    const SizedBlock block = BeginSizedBlock(size);
    const uint16_t flags = size != 0 ? ShowWordField(SharedText(Msg::FlagsField)) : 0;
    if (TestBit(flags, 15)) {
        const uint16_t id = ReadFieldWord();
        ShowNamedLine("    Smart Shape ID = 0x%04x (%s)", "    Smart Shape ID = 0x%04x", id,
                      ShapeNameOf(int32_t{id} - kShapeCodeBias));
    } else {
        ShowLine("    Use Shape ID defined above");
    }
    if (TestBit(flags, 14)) {
        const uint16_t glyphs = ShowWordField("   # of Glyphs = 0x%04x");
        ShowCountedItems(glyphs, 2, [](uint32_t) { ShowWordField("     Glyph value = 0x%04x"); });
    }
    if (TestBit(flags, 13)) ShapeTransformation();
    if (TestBit(flags, 12)) {
        ShowLine("  Bezier data follows:");
        const uint16_t nodes = ShowWordField("  Bezier nodes = 0x%04X");
        ShowCountedItems(nodes, 12, [](uint32_t) { ShowFields(kBezierNode); });
    }
    if (TestBit(flags, 11)) {
        ShowLine("  Callout data follows:");
        ShowFields(kShapeCallout);
    }
    if (TestBit(flags, 12)) {
        ShowLine("  Arc data follows:");
        ShowFields(kShapeArc);
    }
    DumpRemainder("other Smart Shape HEX data", block.Rest(), Remainder::PositiveOnly);
}

// Draw-object sections by flag bit, in this order.
bool DrawStyle(int&) {
    ShowNamedByte("STYLE = 0x%02X (%s)", kDrawStyles, "unknown");
    return true;
}
bool DrawStyleData(int&) {
    ShowDwordField("  Style data = 0x%08X");
    return true;
}
bool DrawLine(int&) {
    const uint16_t points = ShowWordField("  Points = 0x%04X");
    ShowCountedItems(points, 4, [](uint32_t i) { ShowPointField("  %d:  X: 0x%04x (%d)  Y: 0x%04x (%d)", i); });
    return true;
}
bool DrawFill(int&) {
    FillOverride(kDrawObjectFill);
    return true;
}
bool DrawArrows(int&) {
    ShowNamedByte("  line starting style = 0x%02X (%s)", kArrowStyles, "Undefined");
    ShowNamedByte("  line ending style = 0x%02X (%s)", kArrowStyles, "Undefined");
    return true;
}
bool DrawRotation(int&) {
    ShowSetBits(ShowWordField("  Display flags = 0x%04X"), kDisplayFlags);
    ShowWordPair("  Rotation angle = 0x%04X (%d)");
    return true;
}
constexpr FieldRow kPen[] = {WordRow("  Pen Thickness = 0x%04X"), ByteRow("  Pen Style = 0x%02X"),
                             RgbsRow("  Pen color = RGBS( 0x%02X, 0x%02X, 0x%02X, 0x%02X)")};
bool DrawPen(int&) { return ShowFields(kPen), true; }
bool DrawLineAngle(int&) {
    ShowDwordField("  Fixed line angle = 0x%08X");
    return true;
}
bool DrawCallout(int&) {
    ShowDwordField("  Callout data = 0x%08X");
    return true;
}
constexpr FieldRow kShadow[] = {WordRow("  Width = 0x%04X"), WordRow("  Height = 0x%04X"),
                                RgbsRow("  Shadow color: R(0x%02X) G(0x%02X) B(0x%02X) S(0x%02X)")};
bool DrawShadow(int&) {
    ShowNamedByte("  Flags = 0x%02X (%s)", kShadowCorners);
    ShowFields(kShadow);
    return true;
}
constexpr FieldRow kDataSize[] = {
    PairRow("  Data Width     = 0x%04X (%d)"), PairRow("  Data Height    = 0x%04X (%d)"),
    PairRow("  Viewport X     = 0x%04X (%d)"), PairRow("  Viewport Y     = 0x%04X (%d)"),
    PairRow("  Viewport Width = 0x%04X (%d)"), PairRow("  Viewport Height= 0x%04X (%d)")};
bool DrawDataSize(int&) { return ShowFields(kDataSize), true; }
bool DrawShape(int&) { return SmartShape(), true; }

constexpr FlagSection<int> kDrawSections[] = {
    {15, "STYLE TYPE:", &DrawStyle},
    {14, "STYLE DATA:", &DrawStyleData},
    {13, "LINE DATA:", &DrawLine},
    {12, nullptr, &DrawFill},
    {11, "ARROW DATA:", &DrawArrows},
    {10, "ROTATION DATA:", &DrawRotation},
    {9, "PEN DATA:", &DrawPen},
    {8, "LINE ANGLE DATA:", &DrawLineAngle},
    {7, "CALLOUT DATA:", &DrawCallout},
    {6, "SHADOW DATA:", &DrawShadow},
    {5, "DATA SIZE & LOCATION:", &DrawDataSize},
    {4, "REGENERATE .QWG file from draw object struct (no data for this bit)", nullptr},
    {3, "RENENERATE SHAPE DATA follows:", &DrawShape},
};

}  // namespace

void DescribeDrawObjectWith(std::span<const DrawSection> sections) {
    const uint16_t size = ShowWordField("Size of DRAW OBJECT data = 0x%04X");
    if (size == 0) return;
    const SizedBlock block = BeginSizedBlock(size);
    int none = 0;
    ShowFlagSections<int>(ShowWordField("DRAW OBJECT flags = 0x%04X"), sections, none);
    DumpRemainder("HEX data", block.Rest(), Remainder::PositiveOnly);
}

void DescribeDrawObject() { DescribeDrawObjectWith(kDrawSections); }

std::span<const DrawSection> DrawObjectSections() { return kDrawSections; }

// ---- Box function ------------------------------------------------------------------

namespace {

using Box = BoxDetail;

bool BoxCounter(Box&) {
    ShowWordField(SharedText(Msg::OverrideDataSize));
    if (TestBit(ShowWordField(SharedText(Msg::OverrideFlags)), 15)) {
        ShowByteField(SharedText(Msg::IdFlagMask));
        ShowByteField(SharedText(Msg::IdFlagData));
    }
    return true;
}

constexpr FieldRow kBoxHorizontal[] = {ByteRow("Horz Pos flags = 0x%02X"), PairRow("Horz Offset  = 0x%04X (%d)"),
                                       ByteRow("Left Column  = 0x%02X"), ByteRow("Right Column = 0x%02X")};

bool BoxPositioning(Box&) {
    const uint16_t size = ShowWordField(SharedText(Msg::OverrideDataSize));
    if (size == 0) return true;
    const SizedBlock block = BeginSizedBlock(size);
    const uint16_t flags = ShowWordField(SharedText(Msg::OverrideFlags));
    if (TestBit(flags, 15)) {
        ShowByteField(SharedText(Msg::IdFlagMask));
        ShowByteField(SharedText(Msg::IdFlagData));
    }
    if (TestBit(flags, 14)) {
        ShowByteField("general flag mask = 0x%02X");
        ShowByteField("general flag data = 0x%02X");
    }
    if (TestBit(flags, 13)) ShowFields(kBoxHorizontal);
    if (TestBit(flags, 12)) {
        ShowByteField("Vert Pos flags = 0x%02X");
        ShowWordPair("Vert Offset    = 0x%04X (%d)");
    }
    if (TestBit(flags, 11)) {
        ShowByteField("Width flags  = 0x%02X");
        ShowWordPair("Box Width   = 0x%04X (%d)");
    }
    if (TestBit(flags, 10)) {
        ShowByteField("Height flags = 0x%02X");
        ShowWordPair("Box Height   = 0x%04X (%d)");
    }
    if (TestBit(flags, 9) && block.Rest() > 2) {
        const uint8_t z = ReadFieldByte();
        ShowNamedLine("ZORDER flags = 0x%02X %s", z, TestBit(z, 0) ? "ABOVE TEXT" : "BELOW TEXT");
        ShowWordField("LAYER   = 0x%04X");
    }
    DumpRemainder("HEX data", block.Rest(), Remainder::PositiveOnly);
    return true;
}

void PrefixOverrideBytes() {
    ShowByteField("Prefix ID flag override mask - 0x%02X");
    ShowByteField("Prefix ID flag override data - 0x%02X");
}

void RenderOverrideBytes() {
    ShowByteField("Content render flag override mask - 0x%02X");
    ShowByteField("Content render flag override data - 0x%02X");
}

void TextBoxContent() {
    ShowWordField("Size of TEXT BOX data = 0x%04X");
    const uint16_t f = ShowWordField("TEXT BOX override flags = 0x%04X");
    if (TestBit(f, 15)) PrefixOverrideBytes();
    if (TestBit(f, 14)) RenderOverrideBytes();
}

constexpr FieldRow kImageSize[] = {WordRow("Image native width  (QWU's) - 0x%04X"),
                                   WordRow("Image native height (QWU's) - 0x%04X")};
constexpr FieldRow kImageScaling[] = {DwordRow("X scaling (Fixed pt) - 0x%08X"),
                                      DwordRow("Y scaling (Fixed pt) - 0x%08X")};
constexpr FieldRow kImageTranslation[] = {DwordRow("X translation (Fixed pt) - 0x%08X"),
                                          DwordRow("Y translation (Fixed pt) - 0x%08X")};
constexpr FieldRow kHalftone[] = {
    DwordRow("Halftone screen LPI - 0x%08X"), DwordRow("Plane 0 halftone angle - 0x%08X"),
    DwordRow("Plane 1 halftone angle - 0x%08X"), DwordRow("Plane 2 halftone angle - 0x%08X"),
    DwordRow("Plane 3 halftone angle - 0x%08X")};
constexpr FieldRow kDither[] = {ByteRow("Image dither flag override mask - 0x%02X"),
                                ByteRow("Image dither flag override data - 0x%02X")};

void ImageContent() {
    ShowWordField("Size of IMAGE data = 0x%04X");
    const uint16_t f = ShowWordField("IMAGE override flags = 0x%04X");
    if (TestBit(f, 15)) PrefixOverrideBytes();
    if (TestBit(f, 14)) ShowFields(kImageSize);
    if (TestBit(f, 13)) RenderOverrideBytes();
    if (TestBit(f, 12)) ShowFields(kImageScaling);
    if (TestBit(f, 11)) ShowFields(kImageTranslation);
    if (TestBit(f, 10)) ShowDwordField("Rotation (Fixed pt) - 0x%08X");
    if (TestBit(f, 9)) ShowByteField("Black & White threshold - 0x%02X");
    if (TestBit(f, 8)) ShowDwordField("Lightness value (Fixed pt) - 0x%08X");
    if (TestBit(f, 7)) ShowDwordField("Contrast value (Fixed pt) - 0x%08X");
    if (TestBit(f, 6)) ShowFields(kHalftone);
    if (TestBit(f, 5)) ShowFields(kDither);
}

void EquationContent() {
    ShowWordField("Size of EQUATION data = 0x%04X");
    const uint16_t f = ShowWordField("EQUATION override flags = 0x%04X");
    if (TestBit(f, 15)) PrefixOverrideBytes();
    if (TestBit(f, 14)) RenderOverrideBytes();
    if (TestBit(f, 13)) ShowWordField("Equation base font size - 0x%04X");
    if (TestBit(f, 12)) ShowDwordField("Equation color (RGBS) - 0x%08X");
    if (TestBit(f, 11)) ShowDwordField("Equation Rotation (Fixed pt) - 0x%08X");
}

// False when an unknown content kind ends the whole box detail.
bool BoxContent(Box&) {
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
            case 1: ShowLine("Type: TEXT BOX"); break;
            case 3: ShowLine("Type: IMAGE"); break;
            case 4: ShowLine("Type: EQUATION"); break;
            default: ShowLine("Type: Unknown"); return false;
        }
    }
    if (TestBit(flags, 13)) {
        if (kind == 1) TextBoxContent();
        if (kind == 3) ImageContent();
        if (kind == 4) EquationContent();
    }
    if (TestBit(flags, 12)) {
        ShowByteField("Content Alignment info mask - 0x%02X");
        ShowByteField("Content Alignment info data - 0x%02X");
    }
    return true;
}

bool BoxCaption(Box&) {
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
    return true;
}

// The border, fill, wrapping and grouping sections: what their fields and
// blocks take comes off their size; a positive rest is dumped.
bool BoxBorder(Box&) {
    const SizedBlock block = BeginSizedBlock(ShowWordField(SharedText(Msg::BorderDataSize)));
    const uint16_t flags = ShowWordField(SharedText(Msg::BorderFlags));
    if (TestBit(flags, 15)) {
        ShowByteField("  Border ID flag override mask = 0x%02X");
        ShowByteField("  Border ID flag override data = 0x%02X");
    }
    if (TestBit(flags, 14)) DescribeTemplateOverride();
    DumpRemainder("HEX data", block.Rest(), Remainder::PositiveOnly);
    return true;
}

bool BoxFill(Box&) {
    const SizedBlock block = BeginSizedBlock(ShowWordField("Size of Fill data = 0x%04X"));
    const uint16_t flags = ShowWordField("Fill flags = 0x%04X");
    if (TestBit(flags, 15)) {
        ShowLine("Box Fill Prefix override data:");
        ShowByteField("Prefix mask = 0x%02X");
        if (TestBit(ShowByteField("Prefix data = 0x%02X"), 0)) ShowLine("  (Fill data in prefix)");
    }
    if (TestBit(flags, 14)) FillOverride(kBoxFill);
    DumpRemainder("HEX data", block.Rest(), Remainder::PositiveOnly);
    return true;
}

bool BoxWrapping(Box&) {
    const SizedBlock block = BeginSizedBlock(ShowWordField("Size of Wrapping data = 0x%04X"));
    const uint16_t flags = ShowWordField("Wrapping flags = 0x%04X");
    if (TestBit(flags, 15)) {
        ShowByteField(SharedText(Msg::IdOverrideMask));
        ShowByteField(SharedText(Msg::IdOverrideData));
    }
    if (TestBit(flags, 14)) {
        ShowByteField("Wrapping flags MASK= 0x%02X");
        const uint8_t wrap = ShowByteField("Wrapping flags DATA= 0x%02X");
        ShowEitherOr(wrap, 4, "   Contour wrapped", "   Square wrapped");
        ShowName(kWrapKinds, wrap & 7);
    }
    DumpRemainder("HEX data", block.Rest(), Remainder::PositiveOnly);
    return true;
}

bool BoxHypertext(Box&) {
    const uint16_t word = ShowWordField("Size of hypertext wrap data = 0x%04X");
    uint16_t flags = word;
    // A word of 257 or more is the flags: the section then has no size,
    // and no rest is dumped.
    const SizedBlock block = BeginSizedBlock(word < 257 ? word : 0);
    if (word < 257) {
        flags = ShowWordField("hypertext wrap override flags = 0x%04X");
    } else {
        ShowFinding("***ERROR* NO Box Hypertext size word", kTagDamage);
        ShowLine(Format("use size as Flags.  Hypertext override flags = 0x%04X", static_cast<unsigned>(word)));
    }
    if (TestBit(flags, 15)) {
        ShowByteField(SharedText(Msg::IdOverrideMask));
        ShowByteField(SharedText(Msg::IdOverrideData));
    }
    if (TestBit(flags, 14)) ShowByteField("hypertext flags override DATA= 0x%02X");
    const int64_t rest = word < 257 ? block.Rest() : 0;
    if (rest >= 1 && rest <= 15) HexDumpField("HEX data", rest);
    return true;
}

bool BoxGrouping(Box&) {
    const SizedBlock block = BeginSizedBlock(ShowWordField("Size of Grouping data = 0x%04X"));
    const uint16_t flags = ShowWordField("Grouping flags = 0x%04X");
    if (TestBit(flags, 15)) {
        ShowWordField("flags MASK= 0x%04X");
        ShowWordField("flags DATA= 0x%04X");
    }
    if (TestBit(flags, 14)) ShowWordField("COUNT = 0x%04X");
    DumpRemainder("HEX data", block.Rest(), Remainder::PositiveOnly);
    return true;
}

bool BoxDrawObject(Box&) {
    DescribeDrawObject();
    return true;
}

bool BoxActiveX(Box&) {
    const uint16_t size = ShowWordField("Size of Active X Control data = 0x%04X");
    if (size != 0) HexDumpField("Rest of the data in HEX", size);
    return true;
}

bool BoxUndocumented(Box&) {
    const uint16_t size = ShowWordField("Size of UNDOCUMENTED data = 0x%04X");
    ShowWordField("UNDOCUMENTED flags = 0x%04X");
    if (size > 2) HexDumpField("HEX data", int64_t{size} - 2);
    return true;
}

constexpr FlagSection<Box> kBoxSections[] = {
    {15, "BOX COUNTER DATA", &BoxCounter},
    {14, "BOX POSITIONING DATA", &BoxPositioning},
    {13, "BOX CONTENT DATA", &BoxContent},
    {12, "BOX CAPTION DATA", &BoxCaption},
    {11, SharedText(Msg::BoxBorderData), &BoxBorder},
    {10, "BOX FILL DATA", &BoxFill},
    {9, "BOX WRAPPING DATA", &BoxWrapping},
    {8, "BOX HYPERTEXT WRAP DATA", &BoxHypertext},
    {7, "BOX HTML DATA (No local: uses prefix data only)", nullptr},
    {6, "BOX GROUPING DATA", &BoxGrouping},
    {5, SharedText(Msg::BoxDrawObjectData), &BoxDrawObject},
    {4, "UANAME DATA (No local: uses prefix data only)", nullptr},
    {3, "SGML DATA (None: use prefix data only)", nullptr},
    {2, "OBJECT IS A SHAPE, (No local: uses prefix data in .qwg image)", nullptr},
    {1, "Active X Control Data", &BoxActiveX},
    {0, "UNDOCUMENTED DATA (BIT 0)", &BoxUndocumented},
};

constexpr FieldRow kBoxHead[] = {WordRow("Size of override and wrap rect data = 0x%04X"),
                                 WordRow(SharedText(Msg::OverrideDataSize))};
constexpr FieldRow kPlatformRect[] = {
    WordRow("Left   offset from rect to box = 0x%04X"), WordRow("Right  offset from rect to box = 0x%04X"),
    WordRow("Top    offset from rect to box = 0x%04X"), WordRow("Bottom offset from rect to box = 0x%04X")};

// The deletable part in detail: the valid mark 0x45 and exactly 36 more
// bytes before the trailer.
bool BoxDeletableDetail() {
    if (!CursorInside() || GetU8(D().base, static_cast<size_t>(At())) != 0x45) return false;
    if (int64_t{FunctionSize()} != At() + 1 + 39) return false;
    ShowBlank();
    ShowLine("DELETABLE DATA: (in detail)");
    ShowByteField("Valid mark DATA= 0x%02X");
    ShowByteField("Revision # = 0x%02X");
    ShowLine("        (RELATIVE TO)    X      Y   Width  Height");
    ShowWordQuad("Box Pos        (page): 0x%04X 0x%04X 0x%04X 0x%04X");
    ShowWordQuad("Content Pos     (box): 0x%04X 0x%04X 0x%04X 0x%04X");
    ShowWordQuad("Caption Pos     (box): 0x%04X 0x%04X 0x%04X 0x%04X");
    ShowWordQuad("Outside spacing(page): 0x%04X 0x%04X 0x%04X 0x%04X");
    ShowByteField("Column # box is in = 0x%02X");
    ShowWordField("Box edit # (0 rel) = 0x%04X");
    return true;
}

}  // namespace

void DescribeBoxFunction(std::span<const uint8_t>) { DescribeBoxFunctionWith(kBoxSections); }

std::span<const BoxSection> BoxSections() { return kBoxSections; }

void DescribeBoxFunctionWith(std::span<const BoxSection> sections) {
    HexDumpField("reserved data area (14 bytes)", 14);
    ShowFields(kBoxHead);
    Box box;
    if (!ShowFlagSections<Box>(ShowWordField("Box override flags = 0x%04X"), sections, box,
                               SectionTitle::AfterBlank))
        return;
    ShowBlank();
    const uint16_t rects = ShowWordField("Platform rectangles = 0x%04X");
    ShowCountedItems(rects, 8, [](uint32_t) { ShowFields(kPlatformRect); });
    if (!BoxDeletableDetail()) ShowDeletableData();
}

// ---- Template override (shared with the box style packet) -----------------------

namespace {

bool TemplateIdBytes(int&) {
    ShowByteField("Template ID flag override mask = 0x%02X");
    ShowByteField("Template ID flag override data = 0x%02X");
    return true;
}
bool TemplateFlagBytes(int&) {
    ShowByteField("Template flag override mask = 0x%02X");
    ShowByteField("Template flag override data = 0x%02X");
    return true;
}
bool TemplateCorner(int&) {
    ShowWordField("Corner Radius = 0x%04X");
    return true;
}
constexpr FieldRow kTemplateInside[] = {
    WordRow("Left   Inside Spacing = 0x%04X"), WordRow("Right  Inside Spacing = 0x%04X"),
    WordRow("Top    Inside Spacing = 0x%04X"), WordRow("Bottom Inside Spacing = 0x%04X")};
constexpr FieldRow kTemplateOutside[] = {
    WordRow("Left   Outside Spacing = 0x%04X"), WordRow("Right  Outside Spacing = 0x%04X"),
    WordRow("Top    Outside Spacing = 0x%04X"), WordRow("Bottom Outside Spacing = 0x%04X")};
bool TemplateInside(int&) { return ShowFields(kTemplateInside), true; }
bool TemplateOutside(int&) { return ShowFields(kTemplateOutside), true; }
bool TemplateShadow(int&) {
    ShowName(kTemplateShadows, ReadFieldByte(), "Drop Shadow Type: Unknown");
    ShowWordField("Shadow Thickness = 0x%04X");
    ShowRgbsField("Shadow color = RGBS( 0x%02X, 0x%02X, 0x%02X, 0x%02X)");
    return true;
}
bool TemplateColor(int&) {
    ShowRgbsField("Border override color = RGBS( 0x%02X, 0x%02X, 0x%02X, 0x%02X)");
    return true;
}
bool TemplateVerticalShadow(int&) {
    ShowWordField("Shadow Vertical Thickness = 0x%04X");
    return true;
}
constexpr FlagSection<int> kTemplateSections[] = {
    {15, nullptr, &TemplateIdBytes}, {14, nullptr, &TemplateFlagBytes}, {13, nullptr, &TemplateCorner},
    {12, nullptr, &TemplateInside},  {11, nullptr, &TemplateOutside},   {10, nullptr, &TemplateShadow},
    {9, nullptr, &TemplateColor},    {8, nullptr, &TemplateVerticalShadow},
};

}  // namespace

int64_t DescribeTemplateOverride() {
    const int64_t start = At();
    const SizedBlock block = BeginSizedBlock(ShowWordField("Size of Template override data = 0x%04X"));
    int none = 0;
    ShowFlagSections<int>(ShowWordField("Template override flags = 0x%04X"), kTemplateSections, none);
    DumpRemainder("HEX data", block.Rest(), Remainder::PositiveOnly);
    return At() - start;
}

}  // namespace engine
