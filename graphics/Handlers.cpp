#include "graphics/Handlers.h"

#include <algorithm>
#include <string>

#include "engine/Format.h"
#include "engine/ShapeNames.h"
#include "graphics/Dialect.h"
#include "graphics/Fields.h"
#include "graphics/GraphicText.h"
#include "graphics/GraphicsState.h"
#include "graphics/Reader.h"

namespace graphics {

namespace {

constexpr const char* kPenStyles[] = {
    "solid [291,0]", "biggest dash [218,73]", "big dash [145,73]", "medium dash [73,73]",
    "small dash [36,36]", "smallest dash [18,18]", "dotted [18,55]", "three dots [18,55,18,55,18,127]",
    "dash dot [164,55,18,55]", "dash dot dot [145,36,18,36,18,36]", "dash dash dot [91,55,91,55,18,55]",
    "dash dash dot dot [91,36,91,36,18,36,18,36]", "big & little dash [182,73,73,73]",
    "big little little dash [182,36,55,36,55,36]", "big big little dash [255,73,266,73,73,73]",
    "big big little little dash [273,36,273,36,55,36,55,36]",
};
constexpr const char* kPatterns[] = {
    " - solid ", " - 50% gray ", " - 25% gray ", " - 12% gray ", " - cross stitch 1 ", " - cross stitch 2 ",
    " - cross stitch 3 ", " - cross stitch 4 ", " - lines 1 ", " - lines 2 ", " - lines 3 ", " - lines 4 ",
    " - lines 5 ", " - lines 6 ", " - lines 7 ", " - lines 8 ", " - checker board 1 ", " - checker board 2 ",
    " - bricks 1 ", " - bricks 2 ", " - fish scales ", " - honey comb ", " - patio ", " - chain link ",
    " - weave ", " - plaid ", " - balls ", " - mesh ", " - crosses ", " - triangles ", " - waves ", " - arches ",
};
constexpr const char* kFormats[] = {
    "Quillwright 1.X Graphic", "Quillwright 2.X Graphic", "Unknown", "Unknown", "Unknown",
    "Microsoft Windows 3.0 Bitmap", "Computer Graphics Metafile", "Dr. Halo PIC", "AutoCad",
    "Encapsulated PostScript", "GEM Draw", "CompuServe Graphics Interchange", "Hewlett-Packard Graphics Language",
    "GEM Paint", "Lasergraphics Language", "Microsoft Windows Paint", "NeXT TIFF Format",
    "Microsoft Windows OLE 1.x", "PC Paintbrush", "Lotus 1-2-3 PIC", "Macintosh Quickdraw Picture",
    "Presentation Manager Metafile", "Macintosh MacPaint", "PC Paint Plus", "PostScript",
    "Scan Conversion Object Description", "Sun Raster Image", "TrueVision TGA", "Tagged Image File",
    "General Parametrics Enhanced NAPLPS", "Windows Metafile", "X Windows Bitmap", "Unknown",
    "Microsoft Windows OLE 2.x",
};
constexpr const char* kBitsPerPixel[] = {"1", "2", "4", "8", "16", "16", "16", "24", "32", "48", "64"};
constexpr NameTable kBitsPerPixelNames{kBitsPerPixel, "??", 1};
constexpr const char* kHorizontal[] = {"Left ", "Center ", "Right "};
constexpr const char* kHorizontalPath[] = {"Left ", "Center ", "Right ", "Full "};
constexpr const char* kVertical[] = {"Top ", "Cap ", "X Line ", "BaseLine ", "Bottom "};
constexpr NameTable kHorizontalNames{kHorizontal, "Undefined "};
constexpr NameTable kHorizontalPathNames{kHorizontalPath, "Undefined "};
constexpr NameTable kVerticalNames{kVertical, "Undefined "};
constexpr const char* kChartTypes[] = {"Data Chart", "Text Chart", "Organizational Chart"};
constexpr NameTable kChartTypeNames{kChartTypes, "Unknown"};
constexpr const char* kGradients[] = {
    " - None ", " - Linear (parallel bands) ", " - Polygonal (convergent polygons) ", " - Concentric Circles ",
    " - Convergent Circles ", " - Concentric Ellipses ", " - Convergent Ellipses ", " - Concentric Squares ",
    " - Convergent Squares ", " - Concentric Rectangles ", " - Convergent Rectangles ",
};
constexpr NameTable kGradientNames{kGradients, " - Unknown "};

using engine::Format;

bool Lines() { return !Gfx().headerLinesOff; }
bool Older() { return CurrentDumpDialect().olderHandlers; }
bool DetailLines() { return !Gfx().headerLinesOff && Gfx().detail; }
uint32_t Byte() { return Gfx().endOfData ? 0 : static_cast<uint8_t>(ReadQwgByte()); }
uint32_t Word() { return Gfx().endOfData ? 0 : static_cast<uint16_t>(ReadQwgWord()); }
uint32_t Dword() { return Gfx().endOfData ? 0 : ReadQwgDword(); }
uint32_t Coord() { return Gfx().endOfData ? 0 : ReadCoordinate(Gfx().precision); }
uint32_t CoordSize() { return Gfx().precision == Precision::Double ? 4 : 2; }

// The frame every handler shares: title, length, one step in.
uint32_t Begin(const RecordRow& row) {
    Out().EmitRecordTitle(row.title);
    const uint32_t length = ReadRecordLength(row.expectedLength);
    Out().ChangeIndent(kIndentIn);
    return length;
}
void End() { Out().ChangeIndent(kIndentOut); }

// n bytes read and dropped, counted.
void Drop(uint32_t n) {
    GraphicsState& g = Gfx();
    if (n == 0 || g.endOfData) return;
    const int saved = g.hexDump;
    g.hexDump = 0;
    g.out.HexDumpRest(n);
    g.hexDump = saved;
}

// The bytes left in the record, dumped (or dropped without the hex flag).
void HexLeft() { Out().HexDumpRest(RecordLeft()); }

// Indentation, then the text with the value for each conversion.
void ValueLine(const FieldRow& r, unsigned v) {
    DumpPrinter& out = Out();
    if (r.flags & kFieldIndented)
        out.EmitFormatted(r.text, out.Indentation().c_str(), v, v, v, v);
    else
        out.EmitFormatted(r.text, v, v, v, v);
}
void LongLine(const FieldRow& r, unsigned long v) {
    DumpPrinter& out = Out();
    if (r.flags & kFieldIndented)
        out.EmitFormatted(r.text, out.Indentation().c_str(), v, v, v, v);
    else
        out.EmitFormatted(r.text, v, v, v, v);
}
void TextLine(const char* text, bool indented) {
    DumpPrinter& out = Out();
    if (indented)
        out.EmitFormatted(text, out.Indentation().c_str());
    else
        out.EmitFormatted("%s", text);
}
void NamedLine(const FieldRow& r, unsigned v) {
    DumpPrinter& out = Out();
    const char* name = (*r.names)(v);
    if (r.flags & kFieldIndented)
        out.EmitFormatted(r.text, out.Indentation().c_str(), v, name);
    else
        out.EmitFormatted(r.text, v, name);
}

constexpr const char* kEdgeLabels[] = {engine::SharedText(engine::Msg::LeftEdge), engine::SharedText(engine::Msg::BottomEdge), engine::SharedText(engine::Msg::RightEdge),
                                       engine::SharedText(engine::Msg::TopEdge)};
constexpr const char* kCornerLabels[] = {"        LLeft X:  =", "        LLeft Y:  =", "        URight X: =",
                                         "        URight Y: ="};
constexpr const char* kShapeLabels[] = {"LLeft X:  =", "LLeft Y:  =", "URight X: =", "URight Y: ="};

// An area of four coordinates x1 y1 x2 y2 already read.
void ShowArea(const char* title, const char* check, const char* sizeTitle, uint32_t labels, bool shown,
              const uint32_t (&c)[4]) {
    DumpPrinter& out = Out();
    if (shown) {
        if (title) out.EmitBlockTitle(title);
        out.ChangeIndent(kIndentIn);
        const char* const* names = labels == rows::kCorners ? kCornerLabels
                                   : labels == rows::kShapeCorners ? kShapeLabels
                                                                   : kEdgeLabels;
        if (IsIdentityTransform() && labels == rows::kEdges) {
            out.EmitEdges(c[0], c[2], c[1], c[3]);
        } else {
            uint32_t t[4];
            TransformPoint(c[0], c[1], &t[0], &t[1]);
            TransformPoint(c[2], c[3], &t[2], &t[3]);
            if (!IsIdentityTransform()) {
                out.EmitIndented("%s", engine::Text(engine::Msg::BeforeTransformation));
                out.EmitIndented("%s", engine::Text(engine::Msg::AfterTransformation));
            }
            for (int i = 0; i < 4; ++i) out.EmitTransformedCoord(names[i], c[i], t[i]);
        }
        out.ChangeIndent(kIndentOut);
    }
    if (check) out.CheckBoxInImage(c[0], c[2], c[1], c[3], check);
    if (sizeTitle && DetailLines()) {
        out.EmitBlockTitle(sizeTitle);
        out.ChangeIndent(kIndentIn);
        out.EmitWidthHeight(c[0], c[2], c[1], c[3]);
        out.ChangeIndent(kIndentOut);
    }
}

void ReadArea(uint32_t (&c)[4]) {
    for (uint32_t& v : c) v = Coord();
}

// The counted points of a poly record: as many as the record holds are read,
// shown and checked against the image, then the rest of the count is stopped at.
template <class Show>
void EachPoint(uint32_t count, Show show) {
    const uint32_t from = Gfx().bytePosition;
    const uint32_t fit = FittingElements(count, 2 * CoordSize());
    for (uint32_t i = 0; i < fit; ++i) {
        const uint32_t x = Coord(), y = Coord();
        uint32_t tx = 0, ty = 0;
        TransformPoint(x, y, &tx, &ty);
        if (Lines()) show(i, x, y, tx, ty);
        Out().CheckPointInImage(x, y, "Point");
    }
    StopAtRecordEnd(from, static_cast<uint64_t>(count) * 2 * CoordSize());
}

}  // namespace

const NameTable kPenStyleNames{kPenStyles, "User defined (custom)"};
const NameTable kPatternNames{kPatterns, " - User defined (custom) "};
const NameTable kObjectFormatNames{kFormats, "Unknown", 1};

void RunFields(std::span<const FieldRow> fields) {
    GraphicsState& g = Gfx();
    DumpPrinter& out = g.out;
    uint32_t last = 0;
    for (const FieldRow& r : fields) {
        const bool show = !g.headerLinesOff && (!(r.flags & kFieldDetail) || g.detail);
        const bool indented = (r.flags & kFieldIndented) != 0;
        switch (r.kind) {
            case FieldKind::Title: if (show) out.EmitBlockTitle(r.text); break;
            case FieldKind::In: out.ChangeIndent(kIndentIn); break;
            case FieldKind::Out: out.ChangeIndent(kIndentOut); break;
            case FieldKind::Text: if (show) TextLine(r.text, indented); break;
            case FieldKind::ByteLine: last = Byte(); if (show) ValueLine(r, last); break;
            case FieldKind::WordLine: last = Word(); if (show) ValueLine(r, last); break;
            case FieldKind::ShortLine:
                last = Word();
                if (show) ValueLine(r, static_cast<unsigned>(static_cast<int16_t>(last)));
                break;
            case FieldKind::DwordLine: last = Dword(); if (show) LongLine(r, last); break;
            case FieldKind::ByteValue: last = Byte(); if (show) out.EmitWordValue(r.text, last, " "); break;
            case FieldKind::WordValue: last = Word(); if (show) out.EmitWordValue(r.text, last, " "); break;
            case FieldKind::ShortValue: last = Word(); if (show) out.EmitShortValue(r.text, last, " "); break;
            case FieldKind::CoordValue: last = Coord(); if (show) out.EmitCoordValue(r.text, last, " "); break;
            case FieldKind::FixedValue: last = Dword(); if (show) out.EmitFixedValue(r.text, last, " "); break;
            case FieldKind::UFixedValue: last = Dword(); if (show) out.EmitUFixedValue(r.text, last, " "); break;
            case FieldKind::ByteNamed: last = Byte(); if (show) NamedLine(r, last); break;
            case FieldKind::WordNamed: last = Word(); if (show) NamedLine(r, last); break;
            case FieldKind::WordLabelNamed:
                last = Word();
                if (show) out.EmitWordValue(r.text, last, (*r.names)(last));
                break;
            case FieldKind::ByteLabelNamed:
                last = Byte();
                if (show) out.EmitWordValue(r.text, last, (*r.names)(last));
                break;
            case FieldKind::BitSet:
                if (!show) break;
                if (last & r.arg)
                    TextLine(r.text, indented);
                else if (r.other)
                    TextLine(r.other, indented);
                break;
            case FieldKind::Area: {
                uint32_t c[4];
                ReadArea(c);
                ShowArea(r.text, r.other, r.sizeTitle, r.arg, show, c);
                break;
            }
            case FieldKind::ByteName:
                last = Byte();
                if (show) out.EmitFormatted("%s", (*r.names)(last));
                break;
            case FieldKind::WordPair: {
                const unsigned a = Word(), b = Word();
                if (show) out.EmitFormatted(r.text, out.Indentation().c_str(), a, b, a, b);
                break;
            }
            case FieldKind::Characterization: ReadCharacterization(); break;
            case FieldKind::TextKind: g.textKind = 1; break;
            case FieldKind::Skip: Drop(RecordLeft()); break;
            case FieldKind::HexRest: HexLeft(); break;
        }
    }
}

void DumpFieldRecord(const RecordRow& row) {
    Begin(row);
    RunFields({row.fields, row.fieldCount});
    End();
}

// ---- handlers with control flow

void DumpStart(const RecordRow& row) {
    GraphicsState& g = Gfx();
    DumpPrinter& out = g.out;
    Begin(row);
    const bool lines = Lines();
    const uint32_t hdpi = Word(), vdpi = Word();
    if (lines) {
        out.EmitWordValue("Horizontal DPI = ", hdpi, " ");
        out.EmitWordValue("Vertical DPI   = ", vdpi, " ");
    }
    const uint32_t precision = Byte();
    out.CheckRange(static_cast<int32_t>(precision), 0, 1, "Data Precision");
    g.precision = precision != 0 ? Precision::Double : Precision::Single;
    if (lines)
        out.EmitIndented(precision != 0 ? "Positional Data is Double Precision "
                                        : "Positional Data is Single Precision ");
    uint32_t view[4], image[4];
    ReadArea(view);
    ShowArea("ViewPort Extents", nullptr, "Viewport Size", rows::kEdges, lines, view);
    ReadArea(image);
    g.extents = {image[0], image[2], image[1], image[3]};
    ShowArea("Image Extents", nullptr, "Image Size", rows::kEdges, lines, image);
    const uint32_t next = Word();
    if (lines)
        out.EmitIndented("Next Available Object ID = %8lxh (%10lu) ", static_cast<unsigned long>(next),
                         static_cast<unsigned long>(next));
    End();
}

void DumpFormSettings(const RecordRow& row) {
    DumpPrinter& out = Out();
    Begin(row);
    const bool lines = Lines();
    const uint32_t width = Coord(), height = Coord();
    const uint32_t type = Word();
    const uint32_t left = Coord(), right = Coord(), top = Coord(), bottom = Coord();
    const uint32_t nameLength = Word();
    if (lines) {
        out.EmitBlockTitle("Form Margins");
        out.ChangeIndent(kIndentIn);
        out.EmitEdges(left, right, bottom, top);
        out.ChangeIndent(kIndentOut);
        out.EmitBlockTitle("Form Size");
        out.ChangeIndent(kIndentIn);
        out.EmitUCoordValue(engine::Text(engine::Msg::WidthField), width, " ");
        out.EmitUCoordValue(engine::Text(engine::Msg::HeightField), height, " ");
        out.ChangeIndent(kIndentOut);
        out.EmitWordValue("Form Type = ", type, " ");
        out.EmitWordValue("Form Name Length = ", nameLength, " ");
    }
    if (nameLength != 0) {
        if (lines) out.EmitBlockTitle("Form Name");
        const uint32_t from = Gfx().bytePosition;
        const uint32_t bytes = std::min<uint32_t>(nameLength * 2, RecordLeft());
        if (lines) out.HexDumpRest(bytes); else Drop(bytes);
        StopAtRecordEnd(from, static_cast<uint64_t>(nameLength) * 2);
    }
    if (RecordLeft() != 0) {
        const uint32_t orientation = Byte();
        if (lines) out.EmitWordValue("Form Orientation = ", orientation, orientation ? " - landscape " : " - portrait ");
    }
    End();
}

void DumpRulerSettings(const RecordRow& row) {
    DumpPrinter& out = Out();
    Begin(row);
    const bool lines = Lines();
    for (const char* axis : {"Horizontal Ruler Settings", "Vertical Ruler Settings"}) {
        if (lines) out.EmitBlockTitle(axis);
        out.ChangeIndent(kIndentIn);
        const uint32_t origin = Coord(), tick = Coord(), hot = Coord();
        const uint32_t guides = Word();
        if (lines) {
            out.EmitCoordValue("Origin Offset = ", origin, " ");
            out.EmitCoordValue("Tick Interval = ", tick, " ");
            out.EmitCoordValue("Hotzone Width = ", hot, " ");
            out.EmitWordValue("Number of Alignment Guides = ", guides, " ");
        }
        const uint32_t from = Gfx().bytePosition;
        // The older loop runs to the count, but not past the end of the data:
        // a stored count of 65,535 would list that many zeros.
        const uint32_t fit = Older() ? guides : FittingElements(guides, CoordSize());
        for (uint32_t i = 0; i < fit && !(Older() && Gfx().endOfData); ++i) {
            const uint32_t v = Coord();
            if (lines) out.EmitCoordValue("", v, " ");
        }
        out.ChangeIndent(kIndentOut);
        if (fit < guides) {
            StopAtRecordEnd(from, static_cast<uint64_t>(guides) * CoordSize());
            break;
        }
    }
    End();
}

void DumpLayer(const RecordRow& row) {
    DumpPrinter& out = Out();
    Begin(row);
    const bool lines = Lines();
    const uint32_t major = Byte(), minor = Byte(), flags = Word(), nameLength = Word();
    if (lines) {
        out.EmitFormatted("    Major Layer ID = %u ", major);
        out.EmitFormatted("    Minor Layer ID = %u ", minor);
        out.EmitFormatted("%s", flags & 1 ? "    Layer is Active " : "    Layer is Inacitve ");
        out.EmitFormatted("%s", flags & 2 ? "    Layer is Invisible " : "    Layer is Visible ");
        out.EmitFormatted("%s", flags & 4 ? "    Layer Editing is Disabled " : "    Layer Editing is Enabled ");
    }
    const uint32_t from = Gfx().bytePosition;
    const uint32_t bytes = std::min<uint32_t>(nameLength * 2, RecordLeft());
    if (DetailLines()) {
        out.EmitBlockTitle("Layer Name");
        out.HexDumpRest(bytes);
    } else {
        Drop(bytes);
    }
    StopAtRecordEnd(from, static_cast<uint64_t>(nameLength) * 2);
    End();
}

void DumpPenStyleDef(const RecordRow& row) {
    DumpPrinter& out = Out();
    Begin(row);
    const bool lines = Lines();
    const uint32_t index = Word(), pairs = Word();
    if (lines) {
        out.EmitFormatted("    Pen Style Index = %d ", static_cast<int>(index));
        out.EmitFormatted("    Number of Pen Style Pairs = %d ", static_cast<int>(pairs));
    }
    const uint32_t from = Gfx().bytePosition;
    const uint32_t fit = FittingElements(pairs, 2 * CoordSize());
    for (uint32_t i = 0; i < fit; ++i) {
        const uint32_t on = Coord(), off = Coord();
        if (lines) {
            out.EmitCoordValue("    On Segment   =", on, " ");
            out.EmitCoordValue("    Off Segment  =", off, " ");
        }
    }
    StopAtRecordEnd(from, static_cast<uint64_t>(pairs) * 2 * CoordSize());
    End();
}

void DumpPatternDef(const RecordRow& row) {
    DumpPrinter& out = Out();
    Begin(row);
    const uint32_t index = Word(), count = Word();
    if (Lines()) {
        out.EmitFormatted("    Pattern Index = %5u ", index);
        out.EmitFormatted("    %u Resolution Thresholds ", count);
    }
    const uint32_t from = Gfx().bytePosition;
    const uint32_t fit = FittingElements(count, 2);
    for (uint32_t i = 0; i < fit; ++i) {
        const uint32_t v = Word();
        if (DetailLines()) out.EmitFormatted("        %u:    Resolution Threshold = %5u ", i, v);
    }
    StopAtRecordEnd(from, static_cast<uint64_t>(count) * 2);
    End();
}

void DumpComment(const RecordRow& row) {
    DumpPrinter& out = Out();
    const uint32_t length = Begin(row);
    const uint32_t tag = Dword();
    if (Lines()) out.EmitIndented("Tag Length = %lxh (%lu) ", static_cast<unsigned long>(tag), static_cast<unsigned long>(tag));
    const uint32_t from = Gfx().bytePosition;
    const uint32_t tagBytes = std::min(tag, RecordLeft());
    const int64_t rest = static_cast<int64_t>(length) - tag - 4;
    if (DetailLines()) {
        if (tagBytes != 0) {
            out.EmitBlockTitle("Tag");
            out.HexDumpRest(tagBytes);
        }
    } else {
        Drop(tagBytes);
    }
    if (tagBytes < tag) {
        StopAtRecordEnd(from, tag);
        End();
        return;
    }
    const uint32_t comment = static_cast<uint32_t>(std::clamp<int64_t>(rest, 0, RecordLeft()));
    if (DetailLines()) {
        out.EmitIndented("Comment Length = %lxh (%lu) ", static_cast<unsigned long>(comment),
                         static_cast<unsigned long>(comment));
        if (comment != 0) {
            out.EmitBlockTitle("Comment");
            out.HexDumpRest(comment);
        }
    } else {
        Drop(comment);
    }
    End();
}

void DumpColorTransfer(const RecordRow& row) {
    DumpPrinter& out = Out();
    Begin(row);
    const uint32_t count = Word();
    if (Lines()) out.EmitFormatted("    Number of Color Transfer Functions = %d ", static_cast<int>(count));
    static constexpr const char* kKinds[] = {"        Contrast Function ", "        Brightness Function ",
                                             "        Warmth Function "};
    static constexpr const char* kValues[] = {"        Contrast Adjustment = %8lxh (%10lu) ",
                                              "        Brightness Adjustment = %8lxh (%10lu) ",
                                              "        Warmth Adjustment = %8lxh (%10lu) "};
    for (uint32_t i = 0; i < count && RecordLeft() >= 2 && !Gfx().endOfData; ++i) {
        const uint32_t kind = Byte(), size = Byte();
        if (kind >= 1 && kind <= 3) {
            const uint32_t v = Dword();
            if (Lines()) out.EmitFormatted("%s", kKinds[kind - 1]);
            if (DetailLines()) out.EmitFormatted(kValues[kind - 1], static_cast<unsigned long>(v), static_cast<unsigned long>(v));
        } else {
            const uint32_t from = Gfx().bytePosition;
            Drop(std::min(size, RecordLeft()));
            StopAtRecordEnd(from, size);
        }
    }
    End();
}

void DumpColorPalette(const RecordRow& row) {
    DumpPrinter& out = Out();
    Begin(row);
    const bool wide = row.title[0] == 'D';
    const uint32_t start = Word(), entries = Word();
    out.CheckRange(static_cast<int32_t>(entries), 1, 65535, "Number of entries");
    if (Lines()) {
        if (wide) {
            out.EmitFormatted("    Starting Color Index = %4xh (%5u) ", start, start);
            out.EmitFormatted("    Number of Entries = %4xh (%5u) ", entries, entries);
        } else {
            out.EmitIndented("Starting Color Index = %4xh (%5u) ", start, start);
            out.EmitIndented("Number of Entries = %4xh (%5u) ", entries, entries);
        }
    }
    const uint32_t size = wide ? 8 : 4;
    const uint32_t from = Gfx().bytePosition;
    const uint32_t fit = FittingElements(entries, size);
    for (uint32_t i = 0; i < fit; ++i) {
        const uint32_t r = ReadComponent(wide), gr = ReadComponent(wide), b = ReadComponent(wide),
                       t = ReadComponent(wide);
        if (!DetailLines()) continue;
        if (wide) {
            out.EmitFormatted("    %4u: R %4xh (%5u)", i, r, r);
            out.EmitFormatted(" G %4xh (%5u)", gr, gr);
            out.EmitFormatted(" B %4xh (%5u)", b, b);
            out.EmitFormatted(" T %4xh (%5u) ", t, t);
        } else {
            out.EmitFormatted("%4u: R %2xh (%3u) G %2xh (%3u) B %2xh (%3u) T %2xh (%3u) ", i, r, r, gr, gr, b, b, t, t);
        }
    }
    StopAtRecordEnd(from, static_cast<uint64_t>(entries) * size);
    End();
}

void DumpBitmapData(const RecordRow& row) {
    DumpPrinter& out = Out();
    const uint32_t length = Begin(row);
    const bool lines = Lines();
    const uint32_t width = Word(), height = Word(), format = Byte(), compression = Byte();
    out.CheckRange(static_cast<int32_t>(format), 1, 11, "Color Format");
    out.CheckRange(static_cast<int32_t>(compression), 0, 1, "Compression Format");
    if (lines) {
        out.EmitIndented("Bitmap Width in Pixels = %4xh (%5u) ", width, width);
        out.EmitIndented("Bitmap Height in Pixels = %4xh (%5u) ", height, height);
        out.EmitIndented("Source Depth Format = %u;", format);
        out.EmitIndented("Bits per Pixel = %s ", kBitsPerPixelNames(format));
        if (compression == 0)
            out.EmitIndented("Bitmap Data is Uncompressed Raw Binary ");
        else if (compression == 1)
            out.EmitIndented("Bitmap Data is QWC Run-Length Encoded ");
        else
            out.EmitIndented("Bitmap Data Compression is Unknown:  Compression Format = %u ", compression);
    }
    const uint32_t pixels = static_cast<uint32_t>(std::clamp<int64_t>(static_cast<int64_t>(length) - 6, 0, RecordLeft()));
    out.HexDumpRest(pixels);
    End();
}

void DumpTextData(const RecordRow& row) {
    GraphicsState& g = Gfx();
    Begin(row);
    uint32_t count = RecordLeft();
    DescribeGraphicText(count);
    // The text's reader may stop short of the end or pass it: the record
    // ends where its header says.
    if (g.bytePosition < g.recordEnd) Drop(g.recordEnd - g.bytePosition);
    End();
}

static void ShowCapsuleEntry(const CapsuleEntry& e, uint32_t number);

void DumpObjectImage(const RecordRow& row) {
    GraphicsState& g = Gfx();
    DumpPrinter& out = g.out;
    const uint32_t length = Begin(row);
    const uint32_t optional = Word();
    if (DetailLines() && !Older()) out.EmitFormatted("  Optional data length: 0x%04X", optional);
    if (optional != 0) {
        const uint32_t left = Dword(), bottom = Dword(), right = Dword(), top = Dword();
        if (Lines()) {
            out.EmitBlockTitle("Postscript Box");
            out.ChangeIndent(kIndentIn);
            out.EmitFixedValue(engine::Text(engine::Msg::LeftEdge), left, " ");
            out.EmitFixedValue(engine::Text(engine::Msg::BottomEdge), bottom, " ");
            out.EmitFixedValue(engine::Text(engine::Msg::RightEdge), right, " ");
            out.EmitFixedValue(engine::Text(engine::Msg::TopEdge), top, " ");
            out.ChangeIndent(kIndentOut);
            out.EmitBlockTitle("Postscript Box Size");
            out.ChangeIndent(kIndentIn);
            out.EmitUFixedValue(engine::Text(engine::Msg::WidthField), right - left + 0x10000, " ");
            out.EmitUFixedValue(engine::Text(engine::Msg::HeightField), top - bottom + 0x10000, " ");
            out.ChangeIndent(kIndentOut);
        }
    }
    const uint32_t index = g.imageIndex++;
    // No entry at the index: not an embedded graphic. Nesting stops at 64.
    const bool hasEntry = index < g.capsules.size();
    const bool embedded = hasEntry && (g.capsules[index].format & 0x7F) == 2 &&
                          (g.dumpFlags & kDumpPlainLines) == 0 && g.nesting < 64;
    // The older image describes its own entry; without one it is as above.
    const bool ownEntry = Older() && hasEntry;
    if (ownEntry && DetailLines()) ShowCapsuleEntry(g.capsules[index], index + 1);
    if (embedded) {
        ++g.nesting;
        out.ChangeIndent(kIndentOut);
        DumpEmbeddedRecords();
        out.ChangeIndent(kIndentIn);
        --g.nesting;
    } else {
        if (DetailLines() || ownEntry) out.EmitBlockTitle("Dump of Object Image EMBEDDED records");
        const int64_t rest = static_cast<int64_t>(length) - optional - 2;
        out.HexDumpRest(static_cast<uint32_t>(std::clamp<int64_t>(rest, 0, RecordLeft())));
    }
    End();
}

void DumpPolyline(const RecordRow& row) {
    DumpPrinter& out = Out();
    Begin(row);
    ReadCharacterization();
    const uint32_t count = Word();
    if (Lines()) out.EmitIndented("Number of Vertices = %4xh (%5u) ", count, count);
    EachPoint(count, [&out](uint32_t i, uint32_t x, uint32_t y, uint32_t tx, uint32_t ty) {
        out.StartLine();
        out.AppendFormatted("%s%3u:  ", out.Indentation().c_str(), i);
        out.EmitTransformedCoord("X: =", x, tx);
        out.EmitTransformedCoord("  Y: =", y, ty);
        out.SendLine();
    });
    End();
}

void DumpPolyspline(const RecordRow& row) {
    DumpPrinter& out = Out();
    Begin(row);
    ReadCharacterization();
    const uint32_t count = Word();
    out.CheckRange(static_cast<int32_t>(count), 2, 65535, "Number of vertices");
    if (Lines()) out.EmitFormatted("    Number of Vertices = %4xh (%5u) ", count, count);
    EachPoint(count, [&out](uint32_t i, uint32_t x, uint32_t y, uint32_t tx, uint32_t ty) {
        out.EmitFormatted("    %u:    ", i);
        out.EmitTransformedCoord("X: =", x, tx);
        out.EmitTransformedCoord("        Y: =", y, ty);
    });
    End();
}

void DumpPolycurve(const RecordRow& row) {
    DumpPrinter& out = Out();
    Begin(row);
    ReadCharacterization();
    const uint32_t count = Word();
    out.CheckRange(static_cast<int32_t>(count * 3), 2, 65535, "Number of points");
    if (Lines()) out.EmitFormatted("    Number of Nodes = %4xh (%5u) ", count, count);
    static constexpr const char* kLabels[] = {"        Ctrl 1 X: =", "        Ctrl 1 Y: =", "        Anchor X: =",
                                              "        Anchor Y: =", "        Ctrl 2 X: =", "        Ctrl 2 Y: ="};
    const uint32_t from = Gfx().bytePosition;
    const uint32_t fit = FittingElements(count, 6 * CoordSize());
    for (uint32_t i = 0; i < fit; ++i) {
        uint32_t c[6], t[6];
        for (uint32_t& v : c) v = Coord();
        for (int k = 0; k < 6; k += 2) TransformPoint(c[k], c[k + 1], &t[k], &t[k + 1]);
        if (Lines()) {
            out.EmitFormatted("    Node %u ", i);
            for (int k = 0; k < 6; ++k) out.EmitTransformedCoord(kLabels[k], c[k], t[k]);
        }
        out.CheckPointInImage(c[2], c[3], "Anchor Point");
    }
    StopAtRecordEnd(from, static_cast<uint64_t>(count) * 6 * CoordSize());
    End();
}

void DumpArc(const RecordRow& row) {
    DumpPrinter& out = Out();
    Begin(row);
    ReadCharacterization();
    const bool filled = (Gfx().lastCharacterization & 0x2000) != 0;
    uint32_t c[8];
    for (uint32_t& v : c) v = Coord();
    const uint32_t closure = Word();
    if (Lines()) {
        uint32_t tx = 0, ty = 0;
        TransformPoint(c[0], c[1], &tx, &ty);
        out.EmitTransformedCoord("Center X:    =", c[0], tx);
        out.EmitTransformedCoord("Center Y:    =", c[1], ty);
        out.EmitCoordValue("Beg Offset X:=", c[4], " ");
        out.EmitCoordValue("Beg Offset Y:=", c[5], " ");
        out.EmitCoordValue("End Offset X:=", c[6], " ");
        out.EmitCoordValue("End Offset Y:=", c[7], " ");
        out.EmitCoordValue("Horz Radius: =", c[2], " ");
        out.EmitCoordValue("Vert Radius: =", c[3], " ");
    }
    if (Lines() && filled)
        out.EmitFormatted(closure & 1 ? "    Connect Ends to Each Other (Chord Closure) "
                                      : "    Connect Ends to Centerpoint (Wedge Closure) ");
    End();
}

void DumpTextLine(const RecordRow& row) {
    DumpPrinter& out = Out();
    Begin(row);
    ReadCharacterization();
    const uint32_t flags = Word();
    const uint32_t x = Coord(), y = Coord();
    const uint32_t h = Byte(), v = Byte();
    out.CheckRange(static_cast<int32_t>(h), 0, 2, engine::Text(engine::Msg::HorizontalAlignment));
    out.CheckRange(static_cast<int32_t>(v), 0, 4, engine::Text(engine::Msg::VerticalAlignment));
    const uint32_t angle = Dword();
    uint32_t tx = 0, ty = 0;
    TransformPoint(x, y, &tx, &ty);
    if (Lines()) {
        out.EmitTransformedCoord("        Ref Point X:  =", x, tx);
        out.EmitTransformedCoord("        Ref Point Y:  =", y, ty);
    }
    out.CheckPointInImage(x, y, "Text Line Reference Point");
    if (Lines()) {
        if (flags & 0x8000) out.EmitFormatted("    Text is mirrored over baseline ");
        if (flags & 0x4000) out.EmitFormatted("    Text is mirrored along baseline ");
        out.EmitFormatted("    Horizontal Justification = ");
        out.EmitFormatted("%s", kHorizontalNames(h));
        out.EmitFormatted("    Vertical Justification = ");
        out.EmitFormatted("%s", kVerticalNames(v));
        out.EmitUFixedValue("    Baseline Angle =", angle, " ");
    }
    Gfx().textKind = 1;
    End();
}

void DumpTextPath(const RecordRow& row) {
    DumpPrinter& out = Out();
    const uint32_t length = Begin(row);
    const uint32_t start = Gfx().bytePosition;
    const uint32_t charBytes = ReadCharacterization();
    const uint32_t flags = Word();
    (void)start;
    const uint32_t h = (flags >> 3) & 3, v = flags & 7;
    out.CheckRange(static_cast<int32_t>(h), 0, 3, engine::Text(engine::Msg::HorizontalAlignment));
    out.CheckRange(static_cast<int32_t>(v), 0, 4, engine::Text(engine::Msg::VerticalAlignment));
    const uint32_t justification = length > charBytes + 2 ? Word() : 0;
    if (Lines()) {
        out.EmitIndented("Text Flags = %xh (%u) ", flags, flags);
        if (Gfx().detail) {
            out.ChangeIndent(kIndentIn);
            if (flags & 0x8000) out.EmitIndented("Display path ");
            if (flags & 0x4000) out.EmitIndented("Wrap text around object ");
            if (flags & 0x0200) out.EmitIndented("Text is mirrored over path ");
            if (flags & 0x0100) out.EmitIndented("Text is mirrored along along ");
            out.EmitIndented("Horizontal Justification = ");
            out.EmitFormatted("%s", kHorizontalPathNames(h));
            out.EmitIndented("Vertical Alignment = ");
            out.EmitFormatted("%s", kVerticalNames(v));
            out.ChangeIndent(kIndentOut);
        }
        out.EmitIndented("Path Justification = %u (%u%%) ", justification, justification / 655);
    }
    Gfx().textKind = 1;
    End();
}

void DumpChart(const RecordRow& row) {
    GraphicsState& g = Gfx();
    DumpPrinter& out = g.out;
    Begin(row);
    ReadCharacterization();
    uint32_t c[4];
    ReadArea(c);
    const uint32_t type = Byte();
    Byte();
    Byte();
    g.chartType = static_cast<uint8_t>(type);
    out.CheckBoxInImage(c[0], c[2], c[1], c[3], "Chart Area");
    if (DetailLines()) {
        ShowArea("Chart Area", nullptr, nullptr, rows::kEdges, true, c);
        out.EmitIndented("Chart Type = ");
        out.EmitIndented("%s", kChartTypeNames(type));
        ShowArea(nullptr, nullptr, "Chart Area Size", rows::kEdges, false, c);
    }
    End();
}

void DumpGroup(const RecordRow& row) {
    Begin(row);
    ReadCharacterization();
    if (RecordLeft() != 0 || Older()) {
        uint32_t c[4];
        ReadArea(c);
        ShowArea("Group Area", "Rectangle", "Group Area Size", rows::kEdges, Lines(), c);
    }
    End();
}

// One entry of the capsule table; the older object image shows its own
// without the flags byte's line.
static void ShowCapsuleEntry(const CapsuleEntry& e, uint32_t number) {
    DumpPrinter& out = Out();
    const bool older = Older();
    out.EmitIndented("Object Number = %u", number);
    out.EmitIndented("Object Format = %u%s%s", e.format, out.Indentation().c_str(),
                     older && (e.format & 0x7Fu) == 2 ? "Quillwright 2.0 Graphic" : kObjectFormatNames(e.format & 0x7Fu));
    if (!older) out.EmitIndented("Object Description Flags = 0x%02X", e.flags);
    out.ChangeIndent(kIndentIn);
    out.EmitIndented(e.flags & 0x80 ? "Object is a vectored image" : "Object is a bitmap image");
    out.EmitIndented(e.flags & 0x40 ? "Object is a gray scale image" : "Object is a color image");
    if (e.flags & 0x20) out.EmitIndented("Object is for graphic editing applications only");
    if (e.flags & 0x10) out.EmitIndented("Object is for graphic rendering applications only");
    if (e.flags & 0x08) out.EmitIndented("Object is for printing only");
    out.EmitIndented(e.flags & 0x04 ? "Object is external" : "Object is internal");
    out.ChangeIndent(kIndentOut);
    out.EmitIndented("Object Image Bits Per Pixel = %u", e.bitsPerPixel);
    out.EmitIndented("Object Image Horizontal Resolution = %4xh (%5u)", e.xResolution, e.xResolution);
    out.EmitIndented("Object Image Vertical Resolution = %4xh (%5u)", e.yResolution, e.yResolution);
    out.EmitFormatted(" ");
}

void DumpObjectCapsule(const RecordRow& row) {
    GraphicsState& g = Gfx();
    DumpPrinter& out = g.out;
    Begin(row);
    ReadCharacterization();
    uint32_t c[4];
    ReadArea(c);
    ShowArea(engine::Text(engine::Msg::ObjectCapsuleArea), engine::Text(engine::Msg::ObjectCapsuleArea), "Object Capsule Area Size", rows::kEdges, Lines(), c);
    const uint32_t count = Word();
    if (Lines()) out.EmitIndented("Number of Object Capsules = %u ", count);
    g.capsules.clear();
    g.imageIndex = 0;
    const uint32_t from = g.bytePosition;
    const uint32_t fit = FittingElements(count, 8);
    g.capsules.reserve(fit);
    for (uint32_t i = 0; i < fit; ++i) {
        CapsuleEntry e;
        e.format = static_cast<uint8_t>(Byte());
        e.reserved = static_cast<uint8_t>(Byte());
        e.bitsPerPixel = static_cast<uint8_t>(Byte());
        e.flags = static_cast<uint8_t>(Byte());
        e.xResolution = static_cast<uint16_t>(Word());
        e.yResolution = static_cast<uint16_t>(Word());
        g.capsules.push_back(e);
        // The older capsule record lists none: each image shows its own.
        if (Lines() && !Older()) ShowCapsuleEntry(e, i + 1);
    }
    StopAtRecordEnd(from, static_cast<uint64_t>(count) * 8);
    End();
}

void DumpFontSettings(const RecordRow& row) {
    DumpPrinter& out = Out();
    Begin(row);
    const uint32_t h = Word(), v = Word();
    if (Lines()) {
        out.EmitFormatted("    Horizontal Point Size = %4x (%5u)", h, h);
        out.EmitFormatted("    Vertical Point Size = %4x (%5u)", v, v);
    }
    out.HexDumpRest(std::min<uint32_t>(22, RecordLeft()));
    const uint32_t block = Word();
    if (block != 0) {
        for (const char* title : {"Typeface Name & Pitch/Point Size", "Attribute Description", "Extension", "Group"}) {
            const std::string s = ReadWordString(255);
            if (Lines()) {
                out.EmitBlockTitle(title);
                out.EmitFormatted("        %s", s.c_str());
            }
        }
    }
    End();
}

void DumpColorRecord(const RecordRow& row) {
    Begin(row);
    const bool wide = row.title[0] == 'D';
    std::string caption = row.title;
    if (wide) caption.erase(0, sizeof("Double Precision ") - 1);
    if (caption == engine::Text(engine::Msg::PenForegroundColor)) caption = "Pen Foreground Color";
    Out().EmitColorList(caption.c_str(), 1, wide);
    End();
}

void DumpBrushGradient(const RecordRow& row) {
    DumpPrinter& out = Out();
    Begin(row);
    const bool wide = row.title[0] == 'D';
    const uint32_t angle = Dword(), h = Word(), v = Word(), flags = Byte();
    if (!Lines()) {
        End();
        return;
    }
    out.EmitUFixedValue("    Gradient Angle =", angle, " ");
    out.EmitFormatted(wide ? "    Horizontal Gradient Reference = %x (%u)" : "    Horizontal Gradient Reference = %x (%u) ", h, h);
    out.EmitFormatted(wide ? "    Vertical Gradient Reference = %x (%u)" : "    Vertical Gradient Reference = %x (%u) ", v, v);
    if (flags & 0x80) {
        out.EmitFormatted("    Gradient Anchored to the Following Extents: ");
        uint32_t e[4];
        for (uint32_t& x : e) x = wide ? Dword() : Word();
        out.EmitFormatted("    Gradient Extents: ");
        out.ChangeIndent(kIndentIn);
        out.EmitEdges(e[0], e[2], e[1], e[3]);
        out.ChangeIndent(kIndentOut);
    } else {
        out.EmitFormatted(wide ? "    Gradient Anchored to object " : "    Gradient Anchored to Object ");
    }
    out.EmitFormatted(flags & 0x40 ? "    Granularity Flag is Set "
                      : wide       ? "    Granularity Flag is not Set "
                                   : "    Granularity Flag is Not Set ");
    End();
}

void DumpBrushForeground(const RecordRow& row) {
    DumpPrinter& out = Out();
    Begin(row);
    const bool wide = row.title[0] == 'D';
    const uint32_t type = Byte();
    out.CheckRange(static_cast<int32_t>(type), 0, 10, "Gradient Type");
    if (Lines()) out.EmitWordValue("Gradient Type = ", type, kGradientNames(type));
    const uint32_t count = type != 0 ? Word() : 1;
    out.EmitColorList("Brush Foreground Color(s)", count, wide);
    if (RecordLeft() != 0 || count > 1) out.EmitPositionArray(count == 0 ? 0 : count - 1);
    End();
}

void DumpTextureDef(const RecordRow& row) {
    GraphicsState& g = Gfx();
    DumpPrinter& out = g.out;
    const uint32_t length = Begin(row);
    if (g.headerLinesOff) {
        Drop(RecordLeft());
        End();
        return;
    }
    const uint32_t index = Word();
    const uint32_t b0 = Byte(), b1 = Byte(), b2 = Byte(), tile = Byte();
    out.EmitIndented("Texture Index = 0x%04x (%5u) ", index, index);
    out.EmitIndented("RGB Backup color = (0x%02x, 0x%02x, 0x%02x)", b2, b1, b0);
    out.EmitIndented("Tile Flag = 0x%02x (%3u) ", tile, tile);
    if (g.detail && length != 6) {
        std::string name = out.Indentation() + "Name=";
        const size_t limit = name.size() + 255;
        while (RecordLeft() != 0 && !g.endOfData) {
            const uint32_t c = Byte();
            if (c == 0) break;
            if (name.size() < limit) name += static_cast<char>(c);
        }
        out.EmitLine(name.substr(0, 255));
    }
    End();
}

void DumpShapeObject(const RecordRow& row) {
    DumpPrinter& out = Out();
    const uint32_t length = Begin(row);
    const uint32_t charBytes = ReadCharacterization();
    uint32_t c[4];
    ReadArea(c);
    const uint32_t id = Word();
    if (Lines()) {
        ShowArea(nullptr, nullptr, nullptr, rows::kShapeCorners, true, c);
        out.EmitFormatted(" ");
        char name[81] = {};
        if (engine::LookupShapeName(static_cast<int16_t>(id), name, sizeof name) > 0)
            out.EmitIndented("Shape ID:  = 0x%04X (%s)", id, name);
        else
            out.EmitIndented("Shape ID:  = 0x%04X (Unknown Shape)", id);
    }
    int64_t bytes = static_cast<int64_t>(length) - charBytes - 18;
    if (Gfx().precision == Precision::Single) bytes += 8;
    const int64_t words = std::clamp<int64_t>((bytes + 1) / 2, 0, RecordLeft() / 2);
    // The length may claim far more than the file holds: the words end with the data.
    for (int64_t i = 0; i < words; ++i) {
        const uint32_t w = Word();
        if (Gfx().endOfData) break;
        if (Lines()) out.EmitIndented("Data word: = 0x%04X (%d)", w, static_cast<int>(static_cast<int16_t>(w)));
    }
    End();
}

}  // namespace graphics
