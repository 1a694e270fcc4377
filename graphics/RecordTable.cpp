// The handler of each record type. Every row dumps its record generically
// until its own handler takes the row's place.

#include "graphics/ChartStyle.h"
#include "graphics/GraphicText.h"
#include "graphics/Records.h"

namespace graphics {

namespace {

constexpr RecordHandler kGeneric = DumpGenericRecord;

constexpr RecordRow kRows[kRecordTableRows] = {
    /*  0 */ {nullptr, kAnyLength, nullptr},
    /*  1 */ {"Start QWG Data", kAnyLength, kGeneric},
    /*  2 */ {"End QWG Data", kAnyLength, kGeneric},
    /*  3 */ {"Form Settings", kAnyLength, kGeneric},
    /*  4 */ {"Ruler Settings", kAnyLength, kGeneric},
    /*  5 */ {"Grid Settings", kAnyLength, kGeneric},
    /*  6 */ {"Layer", kAnyLength, kGeneric},
    /*  7 */ {"Object Link", kAnyLength, kGeneric},
    /*  8 */ {"Pen Style Definition", kAnyLength, kGeneric},
    /*  9 */ {"Pattern Definition", kAnyLength, kGeneric},
    /* 10 */ {"Comment", kAnyLength, kGeneric},
    /* 11 */ {"Color Transfer", kAnyLength, kGeneric},
    /* 12 */ {"Color Palette", kAnyLength, kGeneric},
    /* 13 */ {"Double Precision Color Palette", kAnyLength, kGeneric},
    /* 14 */ {"Bitmap Data", kAnyLength, kGeneric},
    /* 15 */ {"Text Data", kAnyLength, kGeneric},
    /* 16 */ {"Chart Style", kAnyLength, DumpChartStyle},
    /* 17 */ {"Chart Data", kAnyLength, kGeneric},
    /* 18 */ {"Object Image", kAnyLength, kGeneric},
    /* 19 */ {"Clip Region", kAnyLength, kGeneric},
    /* 20 */ {"Clip Path", kAnyLength, kGeneric},
    /* 21 */ {"Polyline", kAnyLength, kGeneric},
    /* 22 */ {"Polyspline", kAnyLength, kGeneric},
    /* 23 */ {"Polycurve", kAnyLength, kGeneric},
    /* 24 */ {"Rectangle", kAnyLength, kGeneric},
    /* 25 */ {"Arc", kAnyLength, kGeneric},
    /* 26 */ {"Compound Polygon", kAnyLength, kGeneric},
    /* 27 */ {"Bitmap", kAnyLength, kGeneric},
    /* 28 */ {"Text Line", kAnyLength, kGeneric},
    /* 29 */ {"Text Block", kAnyLength, kGeneric},
    /* 30 */ {"Text Path", kAnyLength, kGeneric},
    /* 31 */ {"Chart", kAnyLength, kGeneric},
    /* 32 */ {"Group", kAnyLength, kGeneric},
    /* 33 */ {"Object Capsule", kAnyLength, kGeneric},
    /* 34 */ {"Font Settings", kAnyLength, kGeneric},
    /* 35 */ {"No-op", kAnyLength, kGeneric},
    /* 36 */ {"No-op", kAnyLength, kGeneric},
    /* 37 */ {"Pen ForegroundColor", kAnyLength, kGeneric},
    /* 38 */ {"Double Precision Pen Foreground Color", kAnyLength, kGeneric},
    /* 39 */ {"Pen Background Color", kAnyLength, kGeneric},
    /* 40 */ {"Double Precision Pen Background Color", kAnyLength, kGeneric},
    /* 41 */ {"Pen Style", kAnyLength, kGeneric},
    /* 42 */ {"Pen Pattern", kAnyLength, kGeneric},
    /* 43 */ {"Pen Size", kAnyLength, kGeneric},
    /* 44 */ {"Double Precision Pen Size", kAnyLength, kGeneric},
    /* 45 */ {"Line Cap", kAnyLength, kGeneric},
    /* 46 */ {"Line Join", kAnyLength, kGeneric},
    /* 47 */ {"Brush Gradient", kAnyLength, kGeneric},
    /* 48 */ {"Double Precision Brush Gradient", kAnyLength, kGeneric},
    /* 49 */ {"Brush Foreground Color", kAnyLength, kGeneric},
    /* 50 */ {"Double Precision Brush Foreground Color", kAnyLength, kGeneric},
    /* 51 */ {"Brush Background Color", kAnyLength, kGeneric},
    /* 52 */ {"Double Precision Brush Background Color", kAnyLength, kGeneric},
    /* 53 */ {"Brush Pattern", kAnyLength, kGeneric},
    /* 54 */ {"Horizontal Line", kAnyLength, kGeneric},
    /* 55 */ {"Vertical Line", kAnyLength, kGeneric},
    /* 56 */ {"Poster Settings", kAnyLength, kGeneric},
    /* 57 */ {"Image State", kAnyLength, kGeneric},
    /* 58 */ {"Envelope Definition", kAnyLength, kGeneric},
    /* 59 */ {"Envelope", kAnyLength, kGeneric},
    /* 60 */ {"Texture Definition", kAnyLength, kGeneric},
    /* 61 */ {"Brush Texture", kAnyLength, kGeneric},
    /* 62 */ {"Texture Alignment", kAnyLength, kGeneric},
    /* 63 */ {"Pen Texture", kAnyLength, kGeneric},
    /* 64 */ {"Chart Style 7 (Hex display only)", kAnyLength, kGeneric},
    /* 65 */ {"Chart Data 7 (Hex display only)", kAnyLength, kGeneric},
    /* 66 */ {"Shape Object", kAnyLength, kGeneric},
    /* 67 */ {"Text In Shape (Hex display only)", kAnyLength, kGeneric},
    /* 68 */ {"Unknown function", kAnyLength, kGeneric},
    /* 69 */ {"Unknown function", kAnyLength, kGeneric},
    /* 70 */ {"Unknown function", kAnyLength, kGeneric},
};

}  // namespace

std::span<const RecordRow> SalvinoRecordTable() { return kRows; }

}  // namespace graphics
