// The handler of each record type: its title, its expected length, and its
// fields as rows or a handler of its own where the reading branches.

#include "graphics/ChartStyle.h"
#include "graphics/Handlers.h"
#include "graphics/Records.h"

namespace graphics {

namespace {

using namespace rows;

constexpr const char* kChartData[] = {"Version 1 ", "Version 2 ", "Version 3 "};
constexpr NameTable kChartDataNames{kChartData, "Unknown ", 1};
constexpr const char* kLineCaps[] = {"Flat",   "Round",  "Square", "Custom", "Custom", "Custom",
                                     "Custom", "Custom", "Custom", "Custom", "Arrow"};
constexpr NameTable kLineCapNames{kLineCaps, "Custom"};
constexpr const char* kLineJoins[] = {"None", "Bevel", "Miter", "Round"};
constexpr NameTable kLineJoinNames{kLineJoins, "Custom"};

constexpr FieldRow kGrid[] = {
    Coord(engine::SharedText(engine::Msg::GridOffset)), Coord(engine::SharedText(engine::Msg::GridSize)), Coord(engine::SharedText(engine::Msg::GridDisplayInterval)),
    Coord(engine::SharedText(engine::Msg::GridOffset)), Coord(engine::SharedText(engine::Msg::GridSize)), Coord(engine::SharedText(engine::Msg::GridDisplayInterval)),
    WordValue("Grid Flags = "),
    Bit(1, "%sDisplay Grid ", "%sDon't Display Grid "),
    Bit(2, "%sSnap Objects to Grid ", "%sDon't Snap Objects to Grid "),
};
constexpr FieldRow kObjectLink[] = {Word("    Packet ID of Prefix Filename Packet = %u ")};
constexpr FieldRow kChartDataFields[] = {
    Text("%sChart Data ID = "),
    ByteName(kChartDataNames),
    HexRest(),
};
constexpr FieldRow kCharacterized[] = {Characterize()};
constexpr FieldRow kClipRegion[] = {Characterize(), Area("Region Extents", "Clip Region", "Clip Region Size")};
constexpr FieldRow kRectangle[] = {
    Characterize(),
    Area(nullptr, "Rectangle", "Rectangle Size", kCorners),
    Title("Corner Radius"),
    Coord("        Horizontal Corner Radius ="),
    Coord("        Vertical Corner Radius   ="),
};
constexpr FieldRow kBitmap[] = {
    Characterize(),
    Area("Bitmap Area", "Bitmap Area", "Bitmap Area Size"),
    Title("Bitmap Resolution"),
    Word("%sX Resolution = %4xh (%5u) "),
    Word("%sY Resolution = %4xh (%5u) "),
};
constexpr FieldRow kTextBlock[] = {Characterize(), Area(engine::SharedText(engine::Msg::TextBlockArea), engine::SharedText(engine::Msg::TextBlockArea), "Text Block Size"),
                                   SetTextKind()};
constexpr FieldRow kSkip[] = {Skip()};
constexpr FieldRow kHex[] = {HexRest()};
constexpr FieldRow kPenStyle[] = {WordNamed("        Pen Style  = %3u - %s ", kPenStyleNames)};
constexpr FieldRow kPenPattern[] = {WordLabelNamed("Pen Pattern =", kPatternNames)};
constexpr FieldRow kBrushPattern[] = {WordLabelNamed("Brush Pattern =", kPatternNames)};
constexpr FieldRow kPenSize[] = {WordValue("Pen Width  = "), WordValue("Pen Height = ")};
constexpr FieldRow kWidePenSize[] = {UFixed("    Pen Width ="), UFixed("    Pen Height =")};
constexpr FieldRow kLineCap[] = {
    ByteNamed("        Initial Line Cap Style   = %3u - %s ", kLineCapNames),
    ByteNamed("        Terminal Line Cap Style   = %3u - %s ", kLineCapNames),
};
constexpr FieldRow kLineJoin[] = {ByteNamed("        Line Join Style  = %3u - %s ", kLineJoinNames)};
constexpr FieldRow kHorizontalLine[] = {Coord("        Y:  ="), Coord("        X1: ="), Coord("        X2: =")};
constexpr FieldRow kVerticalLine[] = {Coord("        X:  ="), Coord("        Y1: ="), Coord("        Y2: =")};
constexpr FieldRow kPoster[] = {
    Byte("%sPoster Flags = %4xh (%5u) "),
    Bit(1, "%sPoster Mode is On ", "%sPoster Mode is Off ", kFieldDetail),
    Title("Poster Margins"),
    Coord("Left   ="), Coord("Right  ="), Coord("Top    ="), Coord("Bottom ="),
    Title("Poster Form Size"),
    Coord("Width  ="), Coord("Length ="),
    Byte("%sPoster Page Height = %u "),
    Byte("%sPoster Page Width  = %u "),
};
constexpr FieldRow kImageState[] = {
    Byte("%sOriginal File Format = %4xh (%5u) "),
    Dword("%sImage State Flags = %8lxh (%9lu) "),
    In(),
    Bit(0x1, "%sTransform all Bitmaps for Editing ", kFieldDetail),
    Bit(0x2, "%sFormat Text before display ", kFieldDetail),
    Bit(0x01000000, "%sThis file created by QWCORP Conversions ", kFieldDetail),
    Out(),
};
constexpr FieldRow kBrushTexture[] = {
    Word("%sBrush Texture Index = 0x%04x (%5u) "),
    Byte("%sStyle = 0x%02x (%3u) "),
    WordPair("%sNumber Tiles = 0x%04x 0x%04x (%5u %5u) "),
};
constexpr FieldRow kTextureAlignment[] = {
    Byte("%sAlignment = 0x%02x (%3u) "),
    Word("%sHorziontal Reference = 0x%04x (%5u) "),
    Word("%sVertical Reference = 0x%04x (%5u) "),
    Word("%sHorziontal Object Reference = 0x%04x (%5u) "),
    Word("%sVertical Object Reference = 0x%04x (%5u) "),
};
constexpr FieldRow kPenTexture[] = {Word("%sPen Texture Index = 0x%04x (%5u) ")};

template <size_t N>
constexpr RecordRow Rows(const char* title, uint16_t length, const FieldRow (&f)[N]) {
    return {title, length, DumpFieldRecord, f, static_cast<uint16_t>(N)};
}
constexpr RecordRow Code(const char* title, uint16_t length, RecordHandler h) { return {title, length, h}; }

constexpr RecordRow kRows[kRecordTableRows] = {
    /*  0 */ {nullptr, kAnyLength, nullptr},
    /*  1 */ Code("Start QWG Data", kAnyLength, DumpStart),
    /*  2 */ {"End QWG Data", 0, DumpFieldRecord},
    /*  3 */ Code("Form Settings", kAnyLength, DumpFormSettings),
    /*  4 */ Code("Ruler Settings", kAnyLength, DumpRulerSettings),
    /*  5 */ Rows("Grid Settings", kAnyLength, kGrid),
    /*  6 */ Code("Layer", kAnyLength, DumpLayer),
    /*  7 */ Rows("Object Link", kAnyLength, kObjectLink),
    /*  8 */ Code("Pen Style Definition", kAnyLength, DumpPenStyleDef),
    /*  9 */ Code("Pattern Definition", kAnyLength, DumpPatternDef),
    /* 10 */ Code("Comment", kAnyLength, DumpComment),
    /* 11 */ Code("Color Transfer", kAnyLength, DumpColorTransfer),
    /* 12 */ Code("Color Palette", kAnyLength, DumpColorPalette),
    /* 13 */ Code("Double Precision Color Palette", kAnyLength, DumpColorPalette),
    /* 14 */ Code("Bitmap Data", kAnyLength, DumpBitmapData),
    /* 15 */ Code("Text Data", kAnyLength, DumpTextData),
    /* 16 */ Code("Chart Style", kAnyLength, DumpChartStyle),
    /* 17 */ Rows("Chart Data", kAnyLength, kChartDataFields),
    /* 18 */ Code("Object Image", kAnyLength, DumpObjectImage),
    /* 19 */ Rows("Clip Region", kAnyLength, kClipRegion),
    /* 20 */ Rows("Clip Path", kAnyLength, kCharacterized),
    /* 21 */ Code("Polyline", kAnyLength, DumpPolyline),
    /* 22 */ Code("Polyspline", kAnyLength, DumpPolyspline),
    /* 23 */ Code("Polycurve", kAnyLength, DumpPolycurve),
    /* 24 */ Rows("Rectangle", kAnyLength, kRectangle),
    /* 25 */ Code("Arc", kAnyLength, DumpArc),
    /* 26 */ Rows("Compound Polygon", kAnyLength, kCharacterized),
    /* 27 */ Rows("Bitmap", kAnyLength, kBitmap),
    /* 28 */ Code("Text Line", kAnyLength, DumpTextLine),
    /* 29 */ Rows("Text Block", kAnyLength, kTextBlock),
    /* 30 */ Code("Text Path", kAnyLength, DumpTextPath),
    /* 31 */ Code("Chart", kAnyLength, DumpChart),
    /* 32 */ Code("Group", kAnyLength, DumpGroup),
    /* 33 */ Code("Object Capsule", kAnyLength, DumpObjectCapsule),
    /* 34 */ Code("Font Settings", kAnyLength, DumpFontSettings),
    /* 35 */ Rows("No-op", kAnyLength, kSkip),
    /* 36 */ Rows("No-op", kAnyLength, kSkip),
    /* 37 */ Code(engine::SharedText(engine::Msg::PenForegroundColor), 4, DumpColorRecord),
    /* 38 */ Code("Double Precision Pen Foreground Color", 8, DumpColorRecord),
    /* 39 */ Code("Pen Background Color", 4, DumpColorRecord),
    /* 40 */ Code("Double Precision Pen Background Color", 8, DumpColorRecord),
    /* 41 */ Rows("Pen Style", 2, kPenStyle),
    /* 42 */ Rows("Pen Pattern", 2, kPenPattern),
    /* 43 */ Rows("Pen Size", 4, kPenSize),
    /* 44 */ Rows("Double Precision Pen Size", 8, kWidePenSize),
    /* 45 */ Rows("Line Cap", 2, kLineCap),
    /* 46 */ Rows("Line Join", 1, kLineJoin),
    /* 47 */ Code("Brush Gradient", kAnyLength, DumpBrushGradient),
    /* 48 */ Code("Double Precision Brush Gradient", kAnyLength, DumpBrushGradient),
    /* 49 */ Code("Brush Foreground Color", kAnyLength, DumpBrushForeground),
    /* 50 */ Code("Double Precision Brush Foreground Color", kAnyLength, DumpBrushForeground),
    /* 51 */ Code("Brush Background Color", 4, DumpColorRecord),
    /* 52 */ Code("Double Precision Brush Background Color", 8, DumpColorRecord),
    /* 53 */ Rows("Brush Pattern", 2, kBrushPattern),
    /* 54 */ Rows("Horizontal Line", kAnyLength, kHorizontalLine),
    /* 55 */ Rows("Vertical Line", kAnyLength, kVerticalLine),
    /* 56 */ Rows("Poster Settings", kAnyLength, kPoster),
    /* 57 */ Rows("Image State", 5, kImageState),
    /* 58 */ Rows("Envelope Definition", kAnyLength, kHex),
    /* 59 */ Rows("Envelope", kAnyLength, kHex),
    /* 60 */ Code("Texture Definition", kAnyLength, DumpTextureDef),
    /* 61 */ Rows("Brush Texture", kAnyLength, kBrushTexture),
    /* 62 */ Rows("Texture Alignment", kAnyLength, kTextureAlignment),
    /* 63 */ Rows("Pen Texture", kAnyLength, kPenTexture),
    /* 64 */ Rows("Chart Style 7 (Hex display only)", kAnyLength, kHex),
    /* 65 */ Rows("Chart Data 7 (Hex display only)", kAnyLength, kHex),
    /* 66 */ Code("Shape Object", kAnyLength, DumpShapeObject),
    /* 67 */ Rows("Text In Shape (Hex display only)", kAnyLength, kHex),
    /* 68 */ Rows(engine::SharedText(engine::Msg::UnknownFunction), kAnyLength, kHex),
    /* 69 */ Rows(engine::SharedText(engine::Msg::UnknownFunction), kAnyLength, kHex),
    /* 70 */ Rows(engine::SharedText(engine::Msg::UnknownFunction), kAnyLength, kHex),
};

}  // namespace

std::span<const RecordRow> SalvinoRecordTable() { return kRows; }

}  // namespace graphics
