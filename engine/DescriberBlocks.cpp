// Blocks that several describers read at their cursor: the template
// override, the border/fill override, the fill template and the draw object.

#include <algorithm>
#include <cstring>
#include <vector>

#include "engine/Describer.h"
#include "engine/EngineContext.h"
#include "engine/Format.h"
#include "engine/ShapeNames.h"

namespace engine {

namespace {

struct NoState {};
using Section = FlagSection<NoState>;

int64_t Cursor() { return Ctx().describer.cursor; }

// ---- Name tables -------------------------------------------------------------

constexpr auto kShadowKindRows =
    IndexedNames({"Drop Shadow Type: None", "Drop Shadow Type: Upper-Left", "Drop Shadow Type: Lower-Left",
                  "Drop Shadow Type: Lower-Right", "Drop Shadow Type: Upper-Right"});
constexpr NameTable kShadowKinds{"TemplateShadowKind", kShadowKindRows};

constexpr auto kArrowRows = IndexedNames({"Flat End",
                                          "Rounded End",
                                          "",
                                          "",
                                          "",
                                          "",
                                          "",
                                          "",
                                          "",
                                          "",
                                          "solid arrow",
                                          "big solid arrow",
                                          "",
                                          "hollow arrow",
                                          "big hollow arrow",
                                          "line arrow",
                                          "big line arrow",
                                          "",
                                          "solid arrow tail",
                                          "hollow arrow tail",
                                          "",
                                          "",
                                          "circle",
                                          "big circle",
                                          "Undefined"});
constexpr NameTable kArrowStyles{"ArrowStyles", kArrowRows};

constexpr auto kShadowCornerRows = IndexedNames({"None", "Top-Left", "Bottom-Left", "Bottom-Right", "Top-Right"});
constexpr NameTable kShadowCorners{"ShadowCorners", kShadowCornerRows};

constexpr auto kGradientRows =
    IndexedNames({"Linear Gradient fill", "Radial Gradient fill", "Rectangular Gradient fill", ""});
constexpr NameTable kGradientKinds{"GradientKinds", kGradientRows};

constexpr auto kDrawStyleRows = IndexedNames(
    {"2pt line", "3pt line", "polyline", "rectangle", "ellipse", "fat arrow", "polygon", "circle"});
constexpr NameTable kDrawStyles{"DrawObjectStyles", kDrawStyleRows};

constexpr NameRow kDisplayFlagRows[] = {
    {0, "    Mirror X the object"}, {1, "    Mirror Y the object"}, {2, "    Rotation the object"},
    {3, "    Shear X the object"},  {4, "    Shear Y the object"},  {5, "    Edit Locks On the object"}};
constexpr NameTable kDisplayFlags{"DrawObjectDisplayFlags", kDisplayFlagRows};

constexpr NameRow kMirrorRows[] = {{15, "    Mirror X"}, {14, "    Mirror Y"}};
constexpr NameTable kMirrorFlags{"TransformationMirror", kMirrorRows};

// ---- Template override ---------------------------------------------------------

constexpr Section kTemplateSections[] = {
    {15, nullptr,
     [](NoState&) {
         ShowByteField("Template ID flag override mask = 0x%02X");
         ShowByteField("Template ID flag override data = 0x%02X");
         return true;
     }},
    {14, nullptr,
     [](NoState&) {
         ShowByteField("Template flag override mask = 0x%02X");
         ShowByteField("Template flag override data = 0x%02X");
         return true;
     }},
    {13, nullptr, [](NoState&) { return ShowWordField("Corner Radius = 0x%04X"), true; }},
    {12, nullptr,
     [](NoState&) {
         static constexpr FieldRow kInside[] = {
             WordRow("Left   Inside Spacing = 0x%04X"), WordRow("Right  Inside Spacing = 0x%04X"),
             WordRow("Top    Inside Spacing = 0x%04X"), WordRow("Bottom Inside Spacing = 0x%04X")};
         ShowFields(kInside);
         return true;
     }},
    {11, nullptr,
     [](NoState&) {
         static constexpr FieldRow kOutside[] = {
             WordRow("Left   Outside Spacing = 0x%04X"), WordRow("Right  Outside Spacing = 0x%04X"),
             WordRow("Top    Outside Spacing = 0x%04X"), WordRow("Bottom Outside Spacing = 0x%04X")};
         ShowFields(kOutside);
         return true;
     }},
    {10, nullptr,
     [](NoState&) {
         ShowName(kShadowKinds, ReadFieldByte(), "Drop Shadow Type: Unknown");
         ShowWordField("Shadow Thickness = 0x%04X");
         ShowRgbsField("Shadow color = RGBS( 0x%02X, 0x%02X, 0x%02X, 0x%02X)");
         return true;
     }},
    {9, nullptr,
     [](NoState&) {
         ShowRgbsField("Border override color = RGBS( 0x%02X, 0x%02X, 0x%02X, 0x%02X)");
         return true;
     }},
    {8, nullptr, [](NoState&) { return ShowWordField("Shadow Vertical Thickness = 0x%04X"), true; }},
};

// ---- Border/fill override ------------------------------------------------------

constexpr Section kBorderTemplateSections[] = {
    {15, nullptr,
     [](NoState&) {
         ShowByteField("  Border Prefix ID mask  0x%02X");
         ShowByteField("  Border Prefix ID flags 0x%02X");
         return true;
     }},
    {14, nullptr,
     [](NoState&) {
         ShowByteField("  Border General flags mask  0x%02X");
         ShowByteField("  Border General flags flags 0x%02X");
         return true;
     }},
    {13, nullptr, [](NoState&) { return ShowWordField("  Corder Radius 0x%04X"), true; }},
    {12, nullptr,
     [](NoState&) {
         static constexpr FieldRow kInside[] = {
             WordRow("  Left Inside Spacing 0x%04X"), WordRow("  Right Inside Spacing 0x%04X"),
             WordRow("  Top Inside Spacing 0x%04X"), WordRow("  Bottom Inside Spacing 0x%04X")};
         ShowFields(kInside);
         return true;
     }},
    {11, nullptr,
     [](NoState&) {
         static constexpr FieldRow kOutside[] = {
             WordRow("  Left Outside Spacing 0x%04X"), WordRow("  Right Outside Spacing 0x%04X"),
             WordRow("  Top Outside Spacing 0x%04X"), WordRow("  Bottom Outside Spacing 0x%04X")};
         ShowFields(kOutside);
         return true;
     }},
    {10, nullptr,
     [](NoState&) {
         ShowByteField("  Drop Shadow Direction 0x%02X");
         ShowWordField("  Drop Shadow Spacing 0x%04X");
         ShowRgbsField("  Drop Shadow Color RGBS( 0x%02X, 0x%02X, 0x%02X, 0x%02X)");
         return true;
     }},
    {9, nullptr,
     [](NoState&) { return ShowRgbsField("  Border Color RGBS( 0x%02X, 0x%02X, 0x%02X, 0x%02X)"), true; }},
    {8, nullptr, [](NoState&) { return ShowWordField("  Vertical Drop Shadow Spacing 0x%04X"), true; }},
};

// ---- Draw object -----------------------------------------------------------------

// What is left of the draw object's size as its sections take their part.
struct DrawState {
    int64_t rest = 0;
};
using DrawSection = FlagSection<DrawState>;

// A smart shape's id, with its name when the shape table has one.
void ShowSmartShapeId(uint16_t stored) {
    char name[80] = {};
    if (LookupShapeName(int32_t{stored} - kShapeCodeBias, name, sizeof name))
        ShowNamedLine("    Smart Shape ID = 0x%04x (%s)", stored, name);
    else
        ShowLine(Format("    Smart Shape ID = 0x%04x", static_cast<unsigned>(stored)));
}

void ShowTransformation() {
    ShowLine("  Transformation data follows:");
    const uint16_t size = ShowWordField("  Data Size = 0x%04X");
    const SizedBlock block = BeginSizedBlock(size);
    const uint16_t flags = size != 0 ? ShowWordField("  Flags     = 0x%04X") : 0;
    ShowSetBits(flags, kMirrorFlags);
    if (TestBit(flags, 13)) {
        ShowDwordField("  X Scaling (fixed pt) = 0x%08X");
        ShowDwordField("  Y Scaling (fixed pt) = 0x%08X");
    }
    if (TestBit(flags, 12)) {
        ShowDwordField("  X Translation (fixed pt) = 0x%08X");
        ShowDwordField("  Y Translation (fixed pt) = 0x%08X");
    }
    if (TestBit(flags, 11)) ShowDwordField("  Rotation (fixed pt) = 0x%08X");
    DumpRemainder("other Transformation HEX data", block.Rest(), Remainder::PositiveOnly);
}

// The smart-shape block; returns what it takes of the draw object's size.
int64_t ShowSmartShape() {
    ShowLine("RENENERATE SHAPE DATA follows:");
    const uint16_t size = ShowWordField("  Data Size = 0x%04X");
    const SizedBlock block = BeginSizedBlock(size);
    const uint16_t flags = size != 0 ? ShowWordField("  Flags     = 0x%04X") : 0;
    if (TestBit(flags, 15))
        ShowSmartShapeId(ReadFieldWord());
    else
        ShowLine("    Use Shape ID defined above");
    if (TestBit(flags, 14)) {
        const uint16_t glyphs = ShowWordField("   # of Glyphs = 0x%04x");
        ShowCountedItems(glyphs, 2, [](uint32_t) { ShowWordField("     Glyph value = 0x%04x"); });
    }
    if (TestBit(flags, 13)) ShowTransformation();
    if (TestBit(flags, 12)) {
        ShowLine("  Bezier data follows:");
        const uint16_t nodes = ShowWordField("  Bezier nodes = 0x%04X");
        static constexpr FieldRow kNode[] = {
            WordRow("    Control 1 X Value = 0x%04x"), WordRow("    Control 1 Y Value = 0x%04x"),
            WordRow("    Anchor X Value = 0x%04x"),    WordRow("    Anchor Y Value = 0x%04x"),
            WordRow("    Control 2 X Value = 0x%04x"), WordRow("    Control 2 Y Value = 0x%04x")};
        ShowCountedItems(nodes, 12, [](uint32_t) { ShowFields(kNode); });
    }
    if (TestBit(flags, 11)) {
        ShowLine("  Callout data follows:");
        static constexpr FieldRow kCallout[] = {
            WordRow("    Text Area Left = 0x%04x"),  WordRow("    Text Area Bottom = 0x%04x"),
            WordRow("    Text Area Right = 0x%04x"), WordRow("    Text Area Top = 0x%04x"),
            WordRow("    Point X  = 0x%04x"),        WordRow("    Point Y  = 0x%04x")};
        ShowFields(kCallout);
    }
    if (TestBit(flags, 12)) {
        ShowLine("  Arc data follows:");
        static constexpr FieldRow kArc[] = {
            WordRow("    Arc Type  = 0x%04x"),          WordRow("    Center X  = 0x%04x"),
            WordRow("    Center Y  = 0x%04x"),          WordRow("    Beginning Pt X  = 0x%04x"),
            WordRow("    Beginning Pt Y  = 0x%04x"),    WordRow("    Ending Pt X  = 0x%04x"),
            WordRow("    Ending Pt Y  = 0x%04x"),       WordRow("    Horizontal Radius  = 0x%04x"),
            WordRow("    Vertical Radius    = 0x%04x")};
        ShowFields(kArc);
    }
    const int64_t read = block.Taken();
    DumpRemainder("other Smart Shape HEX data", block.Rest(), Remainder::PositiveOnly);
    // Its bytes are its own, so the draw object's remainder never shows them again.
    return 2 + std::max<int64_t>(size, read);
}

constexpr DrawSection kDrawSections[] = {
    {15, "STYLE TYPE:",
     [](DrawState& s) {
         const uint8_t style = ReadFieldByte();
         ShowNamedLine("STYLE = 0x%02X (%s)", style, NameOf(kDrawStyles, style, "unknown"));
         s.rest -= 1;
         return true;
     }},
    {14, "STYLE DATA:",
     [](DrawState& s) {
         ShowDwordField("  Style data = 0x%08X");
         s.rest -= 4;
         return true;
     }},
    {13, "LINE DATA:",
     [](DrawState& s) {
         const uint16_t points = ShowWordField("  Points = 0x%04X");
         ShowCountedItems(points, 4, [](uint32_t i) {
             const uint16_t x = ReadFieldWord();
             const uint16_t y = ReadFieldWord();
             ShowLine(Format("  %d:  X: 0x%04x (%d)  Y: 0x%04x (%d)", static_cast<int>(i), static_cast<unsigned>(x),
                             static_cast<int>(static_cast<int16_t>(x)), static_cast<unsigned>(y),
                             static_cast<int>(static_cast<int16_t>(y))));
         });
         s.rest -= 2 + 4 * int64_t{points};
         return true;
     }},
    {12, nullptr,
     [](DrawState& s) {
         s.rest -= DescribeFillTemplate(FillTemplateForm::DrawObject);
         return true;
     }},
    {11, "ARROW DATA:",
     [](DrawState& s) {
         ShowNamedByte("  line starting style = 0x%02X (%s)", kArrowStyles, "Undefined");
         ShowNamedByte("  line ending style = 0x%02X (%s)", kArrowStyles, "Undefined");
         s.rest -= 2;
         return true;
     }},
    {10, "ROTATION DATA:",
     [](DrawState& s) {
         ShowSetBits(ShowWordField("  Display flags = 0x%04X"), kDisplayFlags);
         ShowWordPair("  Rotation angle = 0x%04X (%d)");
         s.rest -= 4;
         return true;
     }},
    {9, "PEN DATA:",
     [](DrawState& s) {
         ShowWordField("  Pen Thickness = 0x%04X");
         ShowByteField("  Pen Style = 0x%02X");
         ShowRgbsField("  Pen color = RGBS( 0x%02X, 0x%02X, 0x%02X, 0x%02X)");
         s.rest -= 7;
         return true;
     }},
    {8, "LINE ANGLE DATA:",
     [](DrawState& s) {
         ShowDwordField("  Fixed line angle = 0x%08X");
         s.rest -= 4;
         return true;
     }},
    {7, "CALLOUT DATA:",
     [](DrawState& s) {
         ShowDwordField("  Callout data = 0x%08X");
         s.rest -= 4;
         return true;
     }},
    {6, "SHADOW DATA:",
     [](DrawState& s) {
         ShowNamedByte("  Flags = 0x%02X (%s)", kShadowCorners);
         ShowWordField("  Width = 0x%04X");
         ShowWordField("  Height = 0x%04X");
         ShowRgbsField("  Shadow color: R(0x%02X) G(0x%02X) B(0x%02X) S(0x%02X)");
         s.rest -= 9;
         return true;
     }},
    {5, "DATA SIZE & LOCATION:",
     [](DrawState& s) {
         static constexpr FieldRow kPlace[] = {
             PairRow("  Data Width     = 0x%04X (%d)"), PairRow("  Data Height    = 0x%04X (%d)"),
             PairRow("  Viewport X     = 0x%04X (%d)"), PairRow("  Viewport Y     = 0x%04X (%d)"),
             PairRow("  Viewport Width = 0x%04X (%d)"), PairRow("  Viewport Height= 0x%04X (%d)")};
         ShowFields(kPlace);
         s.rest -= 12;
         return true;
     }},
    {4, "REGENERATE .QWG file from draw object struct (no data for this bit)", nullptr},
    {3, nullptr,
     [](DrawState& s) {
         s.rest -= ShowSmartShape();
         return true;
     }},
};

}  // namespace

int64_t DescribeTemplateOverride() {
    const uint16_t size = ShowWordField("Size of Template override data = 0x%04X");
    const SizedBlock block = BeginSizedBlock(size);
    NoState none;
    ShowFlagSections<NoState>(ShowWordField("Template override flags = 0x%04X"), kTemplateSections, none);
    const int64_t read = block.Taken();
    DumpRemainder("HEX data", block.Rest(), Remainder::PositiveOnly);
    return 2 + std::max<int64_t>(size, read);
}

void DescribeBorderFillOverride() {
    ShowLine("Border/Fill override data:");
    const SizedBlock outer = BeginSizedBlock(ShowWordField("Size of Border/Fill Override data: 0x%04X"));
    const uint16_t flags = ShowWordField("Border/Fill Override Flags: 0x%04X");
    if (TestBit(flags, 15)) {
        const SizedBlock border = BeginSizedBlock(ShowWordField("  Size of Border Template Override data: 0x%04X"));
        NoState none;
        ShowFlagSections<NoState>(ShowWordField("  Border Template Override Flags: 0x%04X"), kBorderTemplateSections,
                                  none);
        DumpRemainder("  Other Border data", border.Rest(), Remainder::Signed);
    }
    if (TestBit(flags, 14)) {
        const SizedBlock fill = BeginSizedBlock(ShowWordField("Size of Fill Template Override data: 0x%04X"));
        if (TestBit(ShowWordField("Fill Template Override Flags: 0x%04X"), 15)) {
            ShowRgbsField("  Foreground/Start Color RGBS( 0x%02X, 0x%02X, 0x%02X, 0x%02X)");
            ShowRgbsField("  Background/Start Color RGBS( 0x%02X, 0x%02X, 0x%02X, 0x%02X)");
        }
        DumpRemainder("  Other Fill data", fill.Rest(), Remainder::Signed);
    }
    DumpRemainder("Other Border/Fill data", outer.Rest(), Remainder::Signed);
}

int64_t DescribeFillTemplate(FillTemplateForm form) {
    const bool draw = form == FillTemplateForm::DrawObject;
    const int64_t start = Cursor();
    ShowLine(draw ? "FILL DATA:" : "Fill Template override data:");
    const uint16_t total = draw ? ShowWordField("  Total size (not inc this word) 0x%04X")
                                : ShowWordField(" Total size (not inc this word) 0x%04X");
    const SizedBlock block = BeginSizedBlock(total);
    const uint16_t flags = draw ? ShowWordField("  Fill template override flags 0x%04X")
                                : ShowWordField(" Fill template override flags 0x%04X");
    if (TestBit(flags, 15)) {
        ShowRgbsField("  Fore color = RGBS( 0x%02X, 0x%02X, 0x%02X, 0x%02X)");
        ShowRgbsField("  Back color = RGBS( 0x%02X, 0x%02X, 0x%02X, 0x%02X)");
    }
    if (TestBit(flags, 14)) {
        if (ReadFieldByte() != 0) {
            ShowLine(draw ? "  Fill type: 0x01 (Gradient fill)" : "Fill type: 0x01 (Gradient fill)");
            const uint8_t gradient = ReadFieldByte();
            ShowNamedLine("  Gradient flags = 0x%02X (%s)", gradient, NameOf(kGradientKinds, gradient & 3u));
            static constexpr FieldRow kGradient[] = {
                WordRow("  Num Setps = 0x%04X"), DwordRow("  Rotation = (fixed pt) 0x%08X"),
                WordRow("  X Offset = 0x%04X (/0x10000 fixed pt)"),
                WordRow("  Y Offset = 0x%04X (/0x10000 fixed pt)")};
            ShowFields(kGradient);
        } else {
            ShowLine(draw ? "  Fill type: 0x00 (QWG2 pattern fill)" : "Fill type: 0x00 (QWG2 pattern fill)");
            if (draw) {
                ShowByteField("  QWG2 pattern set:   0x%02X");
                ShowByteField("  QWG2 pattern index: 0x%02X");
            } else {
                ShowByteField("QWG2 pattern set:   0x%02X");
                ShowByteField("QWG2 pattern index: 0x%02X");
            }
        }
    }
    DumpRemainder("HEX data", block.Rest(), Remainder::PositiveOnly);
    // 2 + the greater of its size and what its fields read: its own bytes,
    // so the enclosing remainder never shows them again.
    return Cursor() - start;
}

void DescribeDrawObject() {
    const uint16_t size = ShowWordField("Size of DRAW OBJECT data = 0x%04X");
    DrawState state{size};
    uint16_t flags = 0;
    if (size != 0) {
        flags = ShowWordField("DRAW OBJECT flags = 0x%04X");
        state.rest -= 2;
    }
    ShowFlagSections<DrawState>(flags, kDrawSections, state);
    DumpRemainder("HEX data", state.rest, Remainder::PositiveOnly);
}

}  // namespace engine
