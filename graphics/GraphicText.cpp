// The word-processor codes of a Text Data record. Every field is read only
// while it lies inside the record: a function cut short by the record end
// shows what it read and ends the walk, and a size read from the data never
// moves the reader past the record end.

#include "graphics/GraphicText.h"

#include <algorithm>
#include <string>

#include "graphics/Dialect.h"
#include "graphics/GraphicsState.h"
#include "graphics/Reader.h"

namespace graphics {

namespace {

constexpr const char* kAttributeNames[16] = {
    "Chapter headings", "Headings", "Sub-headings", "Small print", "Fine print", "Superscript",
    "Subscript",        "Outline",  "Italics",      "Shadow",      "Redline",    "Double underline",
    "Bold",             "Strike-out", "Underline",  "Small caps",
};

struct TabKind {
    uint8_t kind;  // the kind byte & 0xF8
    const char* line;
};

constexpr TabKind kTabKinds[] = {
    {0, "Back Tab (Left Margin Release) "},
    {16, "Left Aligned Tab "},
    {48, "Left Indent "},
    {56, "Left/Right Indent "},
    {64, "Center (on Text Region Edges) "},
    {72, "Center on Current Position "},
    {80, "Center Aligned Tab "},
    {128, "Flush Right "},
    {144, "Right Aligned Tab "},
    {208, "Decimal Aligned Tab "},
};

constexpr const char* kJustificationModes[6] = {
    "Left Justified ",  "Full Justified ",            "Center Justified ",
    "Right Justified ", "All Lines Full Justified ", "Reserved ",
};

// A field line "%4xh (%6u)" of a width read from the data.
struct ValueField {
    const char* label;
    uint8_t width;  // 1 or 2
};

constexpr ValueField kFontFaceFields[] = {
    {engine::SharedText(engine::Msg::FunctionFlagLabel), 1}, {engine::SharedText(engine::Msg::PrefixIdsLabel), 1}, {"Old Typeface:            ", 2},
    {"Size of info:            ", 2}, {"Desired point size:      ", 2}, {engine::SharedText(engine::Msg::HashLabel), 2},
    {"Matched Font Index:      ", 2}, {"Matched Point Size:      ", 2}, {"Average char width (QWU) ", 2},
    {"Ascender height (PSU)    ", 2}, {"X height (PSU)           ", 2}, {"Descender height (PSU)   ", 2},
    {"Italic adjust            ", 2}, {"Primary family id        ", 2}, {"Scripting system         ", 1},
    {"Primary character set    ", 1}, {"Width (aspect ratio)     ", 1}, {"Weight                   ", 1},
    {"Attributes               ", 1}, {"General characteristics  ", 1}, {"Classification           ", 1},
    {"Fill byte                ", 1}, {"Font type                ", 1}, {"Font source file type    ", 1},
};

constexpr ValueField kFontSizeFields[] = {
    {engine::SharedText(engine::Msg::FunctionFlagLabel), 1}, {engine::SharedText(engine::Msg::PrefixIdsLabel), 1}, {"Old Typeface             ", 2},
    {"Size of Info:            ", 2}, {"Desired Pnt Size (3600): ", 2}, {engine::SharedText(engine::Msg::HashLabel), 2},
    {"Font Index:              ", 2}, {"Point Size (3600ths):    ", 2}, {"Desired Horz Pnt Size:   ", 2},
    {"Desired Vert Pnt Size:   ", 2},
};

constexpr ValueField kTabFields[] = {
    {"Horizontal Alignment Position:     ", 2}, {"Character set/index of align char: ", 2},
    {"Character set/index of dot leader: ", 2}, {"Spaces between dot leader chars:   ", 1},
    {"Absolute Column Position:          ", 2},
};

constexpr const char* kFontNames[4] = {"Typeface Name & Pitch/Point Size: ", "Attribute Description: ",
                                       "Extension: ", "Group: "};

// The walk over one record's codes.
class TextWalk {
public:
    explicit TextWalk(int64_t count) : count_(count) {}

    void Run();
    // At the record end nothing is left to describe.
    int64_t Count() const { return count_ > 0 && !cut_ ? count_ : 0; }

private:
    // A field of n bytes, or false when it would reach the record end (the
    // walk then ends).
    bool Get(uint32_t n, uint32_t& v) {
        GraphicsState& g = Gfx();
        if (cut_ || g.endOfData || g.bytePosition + uint64_t{n} > g.recordEnd) {
            cut_ = true;
            return false;
        }
        v = n == 1 ? static_cast<uint8_t>(ReadQwgByte()) : n == 2 ? static_cast<uint16_t>(ReadQwgWord()) : ReadQwgDword();
        if (g.endOfData) cut_ = true;
        return !cut_;
    }
    bool Get8(uint32_t& v) { return Get(1, v); }
    bool Get16(uint32_t& v) { return Get(2, v); }
    // n bytes dropped, at most up to the record end.
    bool Skip(int64_t n) {
        GraphicsState& g = Gfx();
        if (n <= 0) return !cut_;
        const uint64_t left = g.recordEnd > g.bytePosition ? g.recordEnd - g.bytePosition : 0;
        const uint32_t take = static_cast<uint32_t>(std::min<uint64_t>(static_cast<uint64_t>(n), left));
        const uint32_t before = QwgReaderTell(g.file);
        if (!QwgReaderSkip(g.file, take)) cut_ = true;
        g.bytePosition += QwgReaderTell(g.file) - before;
        if (static_cast<uint64_t>(n) > left) cut_ = true;
        return !cut_;
    }
    bool Trailer() {
        uint32_t v;
        return Get16(v) && Get8(v);
    }
    // A function's sub-code and size, the code counted; false when cut.
    bool Head(uint32_t& sub, uint32_t& total) {
        if (!Get8(sub)) return false;
        count_ -= 1;
        return Get16(total);
    }
    // The trailer ends a function of the given size.
    void Close(uint32_t total) {
        if (Trailer()) count_ -= int64_t{total} - 2;
    }

    bool Lines() const { return Gfx().detail && !Gfx().headerLinesOff; }
    void Line(const char* text) {
        if (Lines()) Out().EmitIndented("%s", text);
    }
    void Flush() {
        if (pending_.empty()) return;
        if (Lines()) Out().EmitLine(Out().Indentation() + pending_);
        pending_.clear();
    }
    // Reads and shows value fields; false when one did not fit.
    bool Fields(const ValueField* fields, size_t n) {
        for (size_t i = 0; i < n; ++i) {
            uint32_t v;
            if (!Get(fields[i].width, v)) return false;
            if (Lines()) Out().EmitIndented("%s%4xh (%6u) ", fields[i].label, v, v);
        }
        return true;
    }
    bool Colours(uint32_t count, bool wide);

    void D3();
    void D4();
    void E0();
    void E1();
    bool E1Data(uint32_t sub);

    int64_t count_;
    bool cut_ = false;
    std::string pending_;
};

bool TextWalk::Colours(uint32_t count, bool wide) {
    DumpPrinter& out = Out();
    if (!Gfx().headerLinesOff) out.EmitIndented<engine::Msg::ColorsDefined>(count);
    const uint32_t w = wide ? 2 : 1;
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t r, gr, b, t;
        if (!Get(w, r) || !Get(w, gr) || !Get(w, b) || !Get(w, t)) return false;
        if (Gfx().headerLinesOff) continue;
        if (count == 1) {
            out.EmitWordValue("Red:   ", r, " ");
            out.EmitWordValue("Green: ", gr, " ");
            out.EmitWordValue("Blue:  ", b, " ");
            out.EmitWordValue("Trans: ", t, " ");
        } else {
            out.EmitIndented("%3u. R: %2xh (%3u) G: %2xh (%3u) B: %2xh (%3u) T: %2xh (%3u)", i + 1, r, r, gr, gr, b,
                             b, t, t);
        }
    }
    return true;
}

void TextWalk::D3() {
    DumpPrinter& out = Out();
    uint32_t sub, total, v;
    if (CurrentDumpDialect().olderGraphicText) {
        // What the older group does not name is not read past its code.
        if (!Get8(sub)) return;
        count_ -= 1;
        if ((sub != 5 && sub != 14) || !Get16(total)) return;
    } else if (!Head(sub, total)) {
        return;
    }
    switch (sub) {
        case 1: {
            uint32_t fraction, integer;
            if (!Get8(v) || !Get16(v) || !Get16(fraction) || !Get16(integer)) return;
            const int32_t whole = static_cast<int16_t>(integer);
            if (Lines())
                out.EmitIndented("Set Line Spacing: 0x%04x 0x%04x QWSP units.  (= %f)  ", fraction,
                                 static_cast<unsigned>(whole), fraction / 65536.0 + whole);
            break;
        }
        case 5: {
            uint32_t mode;
            if (!Get8(v) || !Get16(v) || !Get8(mode)) return;
            Line("Justification Mode ");
            out.ChangeIndent(kIndentIn);
            Line(mode < 6 ? kJustificationModes[mode] : "Unknown Justification Mode ");
            out.ChangeIndent(kIndentOut);
            break;
        }
        case 14: {
            Line("Paragraph Outline Define ");
            for (int i = 0; i < 2; ++i)
                if (!Get8(v)) return;
            for (int i = 0; i < 11; ++i)
                if (!Get16(v)) return;
            for (int i = 0; i < 9; ++i)
                if (!Get8(v)) return;
            if (!Skip(int64_t{total} - 40)) return;
            break;
        }
        default:
            // Passed over by its size: what follows the size up to the function end.
            if (!Skip(int64_t{total} - 7)) return;
            break;
    }
    Close(total);
}

void TextWalk::D4() {
    DumpPrinter& out = Out();
    uint32_t sub, total, v;
    if (!Head(sub, total)) return;
    switch (sub) {
        case 2: case 3: {
            Line(sub == 2 ? "Set Underline Spaces Mode " : "Set Underline Tabs Mode ");
            uint32_t mode;
            if (!Get8(v) || !Get16(v) || !Get8(mode)) return;
            if (Lines()) out.EmitIndented("Mode:       %4xh (%6u) ", mode, mode);
            break;
        }
        case 4: case 5: {
            Line(sub == 4 ? "Horizontal Advance " : "Vertical Advance ");
            uint32_t flag, position;
            if (!Get8(v) || !Get16(v) || !Get8(flag)) return;
            if (Lines()) out.EmitIndented("Relative/Absolute Flag:  %4xh (%6u) ", flag, flag);
            if (!Get16(position)) return;
            if (Lines()) out.EmitIndented("Pos/Adjustment (QWUs):   %4xh (%6u) ", position, position);
            break;
        }
        case 26: {
            Line("Font Face Change ");
            if (!Fields(kFontFaceFields, std::size(kFontFaceFields))) return;
            uint32_t blockLength;
            if (!Get16(blockLength)) return;
            if (blockLength != 0) {
                GraphicsState& g = Gfx();
                const uint64_t blockEnd = uint64_t{g.bytePosition} + blockLength;
                out.ChangeIndent(kIndentIn);
                for (const char* label : kFontNames) {
                    std::string name;
                    uint32_t c = 1;
                    while (g.bytePosition + 2u <= blockEnd && Get16(c) && c != 0) name += static_cast<char>(c & 0xFF);
                    if (Lines()) out.EmitIndented("%s%s", label, name.c_str());
                    if (cut_) break;
                }
                out.ChangeIndent(kIndentOut);
                if (cut_ || !Skip(static_cast<int64_t>(blockEnd) - g.bytePosition)) return;
            }
            break;
        }
        case 27:
            Line("Font Size Change ");
            if (!Fields(kFontSizeFields, std::size(kFontSizeFields))) return;
            break;
        case 41: case 50: case 51:
            Line(sub == 41 ? "Overstrike " : sub == 50 ? "Paragraph Number On " : "Paragraph Number Off ");
            [[fallthrough]];
        default:
            if (!Skip(int64_t{total} - 4)) return;
            count_ -= int64_t{total} - 2;
            return;
    }
    Close(total);
}

void TextWalk::E0() {
    DumpPrinter& out = Out();
    uint32_t kind, total, v;
    if (!Get8(kind)) return;
    count_ -= 1;
    for (const TabKind& t : kTabKinds)
        if (t.kind == (kind & 0xF8)) Line(t.line);
    if (!Get16(total) || !Get8(v) || !Get16(v)) return;
    out.ChangeIndent(kIndentIn);
    const bool ok = Fields(kTabFields, std::size(kTabFields));
    out.ChangeIndent(kIndentOut);
    if (ok) Close(total);
}

bool TextWalk::E1Data(uint32_t sub) {
    DumpPrinter& out = Out();
    uint32_t v, a, b;
    switch (sub) {
        case 12: case 14: case 24:
            Line(sub == 12 ? "Pen Foreground Color (32-bit) " : sub == 14 ? "Pen Background Color (32-bit) "
                                                                           : "Brush Background Color (32-bit) ");
            out.ChangeIndent(kIndentIn);
            Colours(1, false);
            break;
        case 13: case 15: case 25:
            Line(sub == 13 ? "Pen Foreground Color (64-bit) " : sub == 15 ? "Pen Background Color (64-bit) "
                                                                           : "Brush Background Color (64-bit) ");
            out.ChangeIndent(kIndentIn);
            Colours(1, true);
            break;
        case 16: case 17: case 26:
            Line(sub == 16 ? "Pen Style " : sub == 17 ? "Pen Pattern " : "Brush Pattern ");
            out.ChangeIndent(kIndentIn);
            if (Get16(v) && Lines()) out.EmitIndented(sub == 17 ? "Index: %u" : "Index: %u ", v);
            break;
        case 18:
            Line("Pen Size - 16 bit (1200ths) ");
            out.ChangeIndent(kIndentIn);
            if (Get16(a) && Lines()) out.EmitIndented("Width:  %4xh (%5u) ", a, a);
            if (Get16(b) && Lines()) out.EmitIndented("Height: %4xh (%5u) ", b, b);
            break;
        case 19:
            Line("Pen Size - 32 bit (1200ths) ");
            out.ChangeIndent(kIndentIn);
            if (Get(4, a) && Lines()) out.EmitUFixedValue("Width: ", a, " ");
            if (Get(4, b) && Lines()) out.EmitUFixedValue("Height:", b, " ");
            break;
        case 20: case 21: {
            Line(sub == 20 ? "Brush Gradient (32-bit) " : "Brush Gradient (64-bit) ");
            out.ChangeIndent(kIndentIn);
            uint32_t angle, h, vr, flag;
            if (!Get(4, angle)) break;
            if (Lines()) out.EmitIndented("Angle:    %u ", angle);
            if (!Get16(h)) break;
            if (Lines()) out.EmitIndented("Horz Ref: %u ", h);
            if (!Get16(vr)) break;
            if (Lines()) out.EmitIndented("Vert Ref: %u ", vr);
            if (!Get8(flag)) break;
            if (Lines()) out.EmitIndented("Flag:     %xh ", flag);
            if ((flag & 0x80) == 0) break;
            static constexpr const char* kExtents[4] = {"Horz Extent Min: (1200)", "Vert Extent Min: (1200)",
                                                        engine::SharedText(engine::Msg::HorzExtentMax), engine::SharedText(engine::Msg::HorzExtentMax)};
            for (const char* label : kExtents) {
                if (!Get16(v)) break;
                if (!Lines()) continue;
                if (sub == 20)
                    out.EmitShortValue(label, v, " ");
                else
                    out.EmitFixedValue(label, v, " ");
            }
            break;
        }
        case 22: case 23: {
            Line(sub == 22 ? "Brush Foreground Color (32-bit) " : "Brush Foreground Color (64-bit) ");
            out.ChangeIndent(kIndentIn);
            uint32_t type;
            if (!Get8(type)) break;
            if (Lines()) out.EmitIndented("Gradient Type:  %u ", type);
            const bool wide = sub == 23;
            if (type == 0) {
                Colours(1, wide);
                break;
            }
            out.ChangeIndent(kIndentIn);
            uint32_t n;
            if (Get16(n) && n != 0 && Colours(n, wide)) {
                Line("Color Position Array: ");
                out.ChangeIndent(kIndentIn);
                for (uint32_t i = 1; i < n && Get16(v); ++i)
                    if (Lines()) out.EmitIndented("%u. %u ", i, v);
                out.ChangeIndent(kIndentOut);
            }
            out.ChangeIndent(kIndentOut);
            break;
        }
        case 27:
            if (!Get8(v)) return false;
            if (Lines()) out.EmitIndented("Miscellaneous Attributes (data=0x%02X) ", v);
            out.ChangeIndent(kIndentIn);
            Line((v & 1) ? "Fill: 1 (Turned off - (Hollow fill)) " : "Fill: 0 (Turned on) ");
            Line((v & 2) ? "Outline: 1 (Turned off) " : "Outline: 0 (Turned on) ");
            break;
        default: return false;
    }
    out.ChangeIndent(kIndentOut);
    return true;
}

void TextWalk::E1() {
    uint32_t sub, v, size;
    if (!Get8(sub) || !Get16(v) || !Get8(v) || !Get16(size)) return;
    count_ -= 6;
    // An unnamed sub-function is passed over by its data size.
    if (!E1Data(sub) && !Skip(size)) return;
    if (cut_) return;
    count_ -= size;
    if (!Trailer()) return;
    count_ -= 3;
}

void TextWalk::Run() {
    DumpPrinter& out = Out();
    uint32_t b = 0;
    const bool older = CurrentDumpDialect().olderGraphicText;
    while (count_ > 0 && !cut_) {
        if (!Get8(b)) break;
        count_ -= 1;
        if (b == 0) break;
        switch (b) {
            case 0x80: case 0x81:
                if (Lines()) pending_ += ' ';
                break;
            case 0x83: case 0x84: Flush(); Line(older ? "Hyphen at EOL\n" : "Hyphen at EOL "); break;
            case 0x88: case 0x89: Flush(); Line(older ? "End of Center/Align\n" : "End of Center/Align "); break;
            case 0xB9: case 0xCC:
                Flush();
                if (Lines()) out.EmitFormatted(older ? "<HRT>\n%s" : "<HRT> %s", "");
                break;
            case 0xBC: case 0xCF:
                Flush();
                if (Lines()) out.EmitFormatted(older ? "<SRT>\n%s" : "<SRT> %s", "");
                break;
            case 0xD3: Flush(); D3(); break;
            case 0xD4: Flush(); D4(); break;
            case 0xE0: Flush(); E0(); break;
            case 0xE1: Flush(); E1(); break;
            case 0xF0: {
                Flush();
                uint32_t c, set;
                if (!Get8(c)) break;
                count_ -= 1;
                Line("Extended character ");
                if (Lines()) out.EmitIndented("Char #: %u ", c);
                if (!Get8(set)) break;
                count_ -= 1;
                if (Lines()) out.EmitIndented("Set  #: %u ", set);
                uint32_t close;
                if (Get8(close)) count_ -= 1;
                break;
            }
            case 0xF2: case 0xF3: {
                Flush();
                uint32_t a;
                if (!Get8(a)) break;
                count_ -= 1;
                if (Lines())
                    out.EmitIndented(b == 0xF2 ? "Attribute on - %2xh (%3u) - %s " : "Attribute off - %2xh (%3u) - %s ",
                                     a, a, a < 16 ? kAttributeNames[a] : "Unknown");
                uint32_t close;
                if (Get8(close)) count_ -= 1;
                break;
            }
            default:
                if (Lines()) pending_ += static_cast<char>(b);
                break;
        }
    }
    Flush();
}

}  // namespace

void DescribeGraphicText(uint32_t& count) {
    GraphicsState& g = Gfx();
    DumpPrinter& out = g.out;
    out.ChangeIndent(kIndentIn);
    TextWalk walk(count);
    walk.Run();
    count = static_cast<uint32_t>(walk.Count());
    out.ChangeIndent(kIndentOut);
    // Whatever the codes said, the reader ends at the record end.
    if (g.bytePosition < g.recordEnd && !g.endOfData) {
        const uint32_t before = QwgReaderTell(g.file);
        QwgReaderSkip(g.file, g.recordEnd - g.bytePosition);
        g.bytePosition += QwgReaderTell(g.file) - before;
    }
}

}  // namespace graphics
