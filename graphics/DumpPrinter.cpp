#include "graphics/DumpPrinter.h"

#include <algorithm>
#include <cstdarg>

#include "engine/EngineContext.h"
#include "engine/Format.h"
#include "engine/OutputSink.h"
#include "graphics/Dialect.h"
#include "graphics/Fields.h"
#include "graphics/Fixed32.h"
#include "graphics/GraphicsState.h"
#include "graphics/Reader.h"

namespace graphics {

using engine::Format;

namespace {

// Widened with its sign, as the value formats show 16-bit words.
int32_t Signed16(uint32_t v) { return static_cast<int16_t>(v & 0xFFFF); }
uint32_t Unsigned16(uint32_t v) { return v & 0xFFFF; }

bool Printable(uint8_t c) { return c >= 0x20 && c < 0x7F; }

// printf's hex and decimal conversions, without printf: value lines and hex
// rows are most of a dump's text. `digits` is the least count of digits
// (zeros before them); `width` the least width (blanks before the sign).
void PutHex(std::string& s, uint32_t v, int digits, int width = 0, bool upper = false) {
    const char* symbols = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    char buf[8];
    int n = 0;
    do {
        buf[n++] = symbols[v & 0xF];
        v >>= 4;
    } while (v != 0);
    const int shown = std::max(n, digits);
    if (width > shown) s.append(static_cast<size_t>(width - shown), ' ');
    if (digits > n) s.append(static_cast<size_t>(digits - n), '0');
    while (n > 0) s += buf[--n];
}

void PutDecimal(std::string& s, int64_t v, int digits, int width = 0) {
    char buf[20];
    int n = 0;
    uint64_t u = v < 0 ? static_cast<uint64_t>(-v) : static_cast<uint64_t>(v);
    do {
        buf[n++] = static_cast<char>('0' + u % 10);
        u /= 10;
    } while (u != 0);
    const int shown = std::max(n, digits) + (v < 0 ? 1 : 0);
    if (width > shown) s.append(static_cast<size_t>(width - shown), ' ');
    if (v < 0) s += '-';
    if (digits > n) s.append(static_cast<size_t>(digits - n), '0');
    while (n > 0) s += buf[--n];
}

// "%s%s %4xh (%5d)%s"
std::string WordLine(const std::string& indent, const char* label, uint32_t hex, int32_t dec, const char* suffix) {
    std::string s;
    s.reserve(indent.size() + 48);
    s.append(indent).append(label).append(1, ' ');
    PutHex(s, hex, 1, 4);
    s.append("h (");
    PutDecimal(s, dec, 1, 5);
    s.append(1, ')').append(suffix);
    return s;
}

// "%s%s %.4x.%.4xh (i:%5d f:%.5u)%s", the integer part signed or not.
std::string FixedLine(const std::string& indent, const char* label, uint32_t intHex, int64_t intDec,
                      uint32_t fraction, const char* suffix) {
    std::string s;
    s.reserve(indent.size() + 64);
    s.append(indent).append(label).append(1, ' ');
    PutHex(s, intHex, 4);
    s += '.';
    PutHex(s, fraction, 4);
    s.append("h (i:");
    PutDecimal(s, intDec, 1, 5);
    s.append(" f:");
    PutDecimal(s, fraction, 5);
    s.append(1, ')').append(suffix);
    return s;
}

}  // namespace

// ---- indentation

void DumpPrinter::SetIndentSteps(int steps) {
    indentSteps_ = std::max(steps, 0);
    // All blanks: only the length changes.
    const size_t length = static_cast<size_t>(std::min(indentSteps_, kMaxIndentSteps)) * 2;
    if (length > indent_.size())
        indent_.append(length - indent_.size(), ' ');
    else
        indent_.erase(length);
}

void DumpPrinter::ChangeIndent(int op) {
    switch (op) {
        case kIndentIn: SetIndentSteps(indentSteps_ + 1); break;
        case kIndentOut: SetIndentSteps(indentSteps_ - 1); break;
        case kIndentClear: SetIndentSteps(0); break;
        default: break;
    }
}

// ---- line output

void DumpPrinter::AnnounceAssociated(uint32_t count) {
    Gfx().dumpFlags |= kDumpLevelPending;
    outline_.pendingCount = count;
}

void DumpPrinter::EmitLine(std::string_view text) {
    GraphicsState& g = Gfx();
    if (!g.sink && (g.dumpFlags & kDumpLevelPending) == 0 && ((g.dumpFlags & kDumpOutline) == 0 || outline_.depth < 0)) {
        // Nothing takes it and no level counts it (as PrintLine would, the
        // line still uses up a pending row offset).
        engine::Ctx().sink.nextLineOffset = engine::kNoFileOffset;
        return;
    }
    SendToTargets(text);
}

void DumpPrinter::SendToTargets(std::string_view text) {
    GraphicsState& g = Gfx();
    if ((g.dumpFlags & kDumpOutline) == 0) {
        engine::PrintLine(g.sink, text);
        return;
    }
    if ((g.dumpFlags & kDumpLevelPending) != 0) {
        // The announcing line itself is not listed; a filtered list, whose
        // records are not all there to count, never opens a level.
        g.dumpFlags = static_cast<uint16_t>(g.dumpFlags & ~kDumpLevelPending);
        if ((g.dumpFlags & kDumpFiltered) == 0) CurrentDumpDialect().outline->Open(outline_, g.nesting);
        return;
    }
    if (auto numbered = CurrentDumpDialect().outline->Number(outline_, g.nesting, indent_.size())) {
        if (!g.sink) return;
        numbered->append(text);
        engine::AddDataLine(g.sink, *numbered, g.recordEnd);
        return;
    }
    engine::AddDataLine(g.sink, text, g.recordEnd);
}

void DumpPrinter::EmitIndented(const char* fmt, ...) {
    if (Unseen()) {
        EmitLine({});
        return;
    }
    va_list ap;
    va_start(ap, fmt);
    const std::string text = indent_ + engine::FormatV(fmt, ap);
    va_end(ap);
    EmitLine(text);
}

void DumpPrinter::EmitFormatted(const char* fmt, ...) {
    if (Unseen()) {
        EmitLine({});
        return;
    }
    va_list ap;
    va_start(ap, fmt);
    const std::string text = engine::FormatV(fmt, ap);
    va_end(ap);
    EmitLine(text);
}

bool DumpPrinter::ErrorTaken() const {
    const GraphicsState& g = Gfx();
    return engine::Ctx().sink.defaultList || (g.sink && !g.headerLinesOff);
}

void DumpPrinter::EmitErrorLine() {
    building_ = false;
    dropped_ = false;
    const GraphicsState& g = Gfx();
    const engine::EngineContext& c = engine::Ctx();
    // The kind bits stay clean whatever the index or offset.
    const uint32_t mask = c.profile->tagOffsetMask;
    if (c.sink.defaultList) {
        // Before the first record header the line belongs to record 0.
        const uint32_t index = g.recordCounter == 0 ? 0 : g.recordCounter - 1;
        engine::AddDataLine(c.sink.defaultList, line_, engine::kTagDamage | (index & mask));
    } else if (g.sink && !g.headerLinesOff) {
        engine::AddDataLine(g.sink, line_, engine::kTagDamage | (g.recordEnd & mask));
    }
}

void DumpPrinter::EmitError(const char* fmt, ...) {
    if (!ErrorTaken()) {
        building_ = false;
        dropped_ = false;
        return;
    }
    va_list ap;
    va_start(ap, fmt);
    line_ = engine::FormatV(fmt, ap);
    va_end(ap);
    EmitErrorLine();
}

// ---- line building

void DumpPrinter::StartLine() {
    line_.clear();
    building_ = true;
    dropped_ = !Gfx().sink;
}

void DumpPrinter::AppendText(std::string_view text) {
    if (!dropped_ || !building_) line_.append(text);
}

void DumpPrinter::AppendFormatted(const char* fmt, ...) {
    if (Dropped()) return;
    va_list ap;
    va_start(ap, fmt);
    line_ += engine::FormatV(fmt, ap);
    va_end(ap);
}

void DumpPrinter::SendLine() {
    building_ = false;
    if (dropped_) {
        dropped_ = false;
        EmitLine({});
        return;
    }
    EmitLine(line_);
}

bool DumpPrinter::Unseen() const { return !building_ && !Gfx().sink; }

const char* DumpPrinter::Suffix(const char* suffix) const {
    if (building_ && suffix[0] == '\n' && CurrentDumpDialect().newlineSuffixAsBlank) return " ";
    return suffix;
}

void DumpPrinter::Value(const std::string& text) {
    if (building_)
        line_ += text;
    else
        EmitLine(text);
}

// ---- value lines

void DumpPrinter::EmitShortValue(const char* label, uint32_t value, const char* suffix) {
    if (Dropped()) return;
    if (Unseen()) return EmitLine({});
    const int32_t v = Signed16(value);
    Value(WordLine(indent_, label, static_cast<unsigned>(v), v, Suffix(suffix)));
}

void DumpPrinter::EmitWordValue(const char* label, uint32_t value, const char* suffix) {
    if (Dropped()) return;
    if (Unseen()) return EmitLine({});
    const uint32_t v = Unsigned16(value);
    Value(WordLine(indent_, label, v, static_cast<int>(v), Suffix(suffix)));
}

void DumpPrinter::EmitFixedValue(const char* label, uint32_t value, const char* suffix) {
    if (Dropped()) return;
    if (Unseen()) return EmitLine({});
    const uint32_t integer = value >> 16;
    const int32_t fraction = Signed16(value);
    Value(FixedLine(indent_, label, integer, Signed16(integer), static_cast<unsigned>(fraction), Suffix(suffix)));
}

void DumpPrinter::EmitUFixedValue(const char* label, uint32_t value, const char* suffix) {
    if (Dropped()) return;
    if (Unseen()) return EmitLine({});
    const uint32_t integer = value >> 16;
    const int32_t fraction = Signed16(value);
    Value(FixedLine(indent_, label, static_cast<unsigned>(Signed16(integer)), integer,
                    static_cast<unsigned>(fraction), Suffix(suffix)));
}

void DumpPrinter::EmitCoordValue(const char* label, uint32_t value, const char* suffix) {
    if (Gfx().precision == Precision::Double)
        EmitFixedValue(label, value, suffix);
    else
        EmitShortValue(label, value, suffix);
}

void DumpPrinter::EmitUCoordValue(const char* label, uint32_t value, const char* suffix) {
    if (Gfx().precision == Precision::Double)
        EmitUFixedValue(label, value, suffix);
    else
        EmitWordValue(label, value, suffix);
}

void DumpPrinter::EmitTransformedCoord(const char* label, uint32_t before, uint32_t after) {
    // Into a line being built it joins without indentation.
    const bool joined = building_;
    const int steps = indentSteps_;
    if (joined) SetIndentSteps(0);
    if (IsIdentityTransform()) {
        EmitCoordValue(label, before, " ");
        SetIndentSteps(steps);
        return;
    }
    if (!joined) StartLine();
    EmitCoordValue(label, before, "");
    SetIndentSteps(0);
    EmitCoordValue(" ", after, " ");
    SetIndentSteps(steps);
    if (!joined) SendLine();
}

void DumpPrinter::EmitEdges(uint32_t x1, uint32_t x2, uint32_t y1, uint32_t y2) {
    EmitCoordValue(engine::Text(engine::Msg::LeftEdge), x1, " ");
    EmitCoordValue(engine::Text(engine::Msg::RightEdge), x2, " ");
    EmitCoordValue(engine::Text(engine::Msg::BottomEdge), y1, " ");
    EmitCoordValue(engine::Text(engine::Msg::TopEdge), y2, " ");
}

void DumpPrinter::EmitWidthHeight(uint32_t x1, uint32_t x2, uint32_t y1, uint32_t y2) {
    EmitUCoordValue(engine::Text(engine::Msg::WidthField), x2 - x1, " ");
    EmitUCoordValue(engine::Text(engine::Msg::HeightField), y2 - y1, " ");
}

void DumpPrinter::EmitTitle(const char* name) {
    if (Unseen()) return EmitLine({});
    // Every listed record has one: joined, not formatted.
    std::string text;
    const std::string_view n(name);
    text.reserve(indent_.size() + n.size() + 2);
    text.append(indent_).append(n).append(": ");
    EmitLine(text);
}

void DumpPrinter::EmitRecordTitle(const char* name) {
    if (Gfx().quiet) return;
    EmitTitle(name);
}

void DumpPrinter::EmitBlockTitle(const char* name) {
    if (Gfx().quiet || Gfx().headerLinesOff) return;
    EmitTitle(name);
}

void DumpPrinter::EmitColorList(const char* caption, uint32_t count, bool wide) {
    GraphicsState& g = Gfx();
    const bool lines = !g.headerLinesOff;
    if (lines) {
        EmitIndented("%s:", caption);
        EmitIndented<engine::Msg::ColorsDefined>(count);
    }
    const uint32_t size = wide ? 8 : 4;
    const uint32_t from = g.bytePosition;
    const uint32_t fit = FittingElements(count, size);
    for (uint32_t i = 0; i < fit; ++i) {
        const uint32_t r = ReadComponent(wide), gr = ReadComponent(wide), b = ReadComponent(wide),
                       t = ReadComponent(wide);
        if (!lines) continue;
        if (count == 1) {
            EmitWordValue("Red:   ", r, " ");
            EmitWordValue("Green: ", gr, " ");
            EmitWordValue("Blue:  ", b, " ");
            EmitWordValue("Trans: ", t, " ");
        } else {
            EmitIndented("%3u. R: %2xh (%3u) G: %2xh (%3u) B: %2xh (%3u) T: %2xh (%3u)", i + 1, r, r, gr, gr, b, b,
                         t, t);
        }
    }
    StopAtRecordEnd(from, static_cast<uint64_t>(count) * size);
}

void DumpPrinter::EmitPositionArray(uint32_t n) {
    GraphicsState& g = Gfx();
    const bool lines = !g.headerLinesOff;
    if (lines) EmitIndented("Position Array:  ( %u element(s) ) ", n);
    const uint32_t from = g.bytePosition;
    const uint32_t fit = FittingElements(n, 2);
    for (uint32_t i = 0; i < fit; ++i) {
        const uint32_t v = static_cast<uint16_t>(ReadQwgWord());
        if (lines) EmitFormatted("%u%s: %u ", i, indent_.c_str(), v);
    }
    StopAtRecordEnd(from, static_cast<uint64_t>(n) * 2);
}

// ---- range checks

int32_t DumpPrinter::CheckRange(int32_t value, int32_t lo, int32_t hi, const char* label) {
    if (Gfx().headerLinesOff) return value;
    if (value < lo || value > hi) EmitShortValue(label, static_cast<uint32_t>(value), engine::Text(engine::Msg::OutOfRange));
    return value;
}

void DumpPrinter::CheckCoordRange(uint32_t value, uint32_t lo, uint32_t hi, const char* label) {
    const bool wide = Gfx().precision == Precision::Double;
    const bool inside = wide ? static_cast<int32_t>(value) >= static_cast<int32_t>(lo) &&
                                   static_cast<int32_t>(value) <= static_cast<int32_t>(hi)
                             : Signed16(value) >= Signed16(lo) && Signed16(value) <= Signed16(hi);
    if (inside) return;
    if (!ErrorTaken()) {
        building_ = false;
        dropped_ = false;
        return;
    }
    // An error line is built whoever takes ordinary lines.
    StartLine();
    dropped_ = false;
    AppendText(Format("%s:  ", label));
    if (wide)
        EmitFixedValue(" ", value, engine::Text(engine::Msg::OutOfRange));
    else
        EmitShortValue(label, value, engine::Text(engine::Msg::OutOfRange));
    EmitErrorLine();
}

void DumpPrinter::CheckPointInImage(uint32_t x, uint32_t y, const char* label) {
    const ImageExtents& e = Gfx().extents;
    CheckCoordRange(x, e.xMin, e.xMax, label);
    CheckCoordRange(y, e.yMin, e.yMax, label);
}

void DumpPrinter::CheckBoxInImage(uint32_t x1, uint32_t x2, uint32_t y1, uint32_t y2, const char* label) {
    const ImageExtents& e = Gfx().extents;
    CheckCoordRange(x1, e.xMin, e.xMax, label);
    CheckCoordRange(x2, e.xMin, e.xMax, label);
    CheckCoordRange(y1, e.yMin, e.yMax, label);
    CheckCoordRange(y2, e.yMin, e.yMax, label);
}

// ---- hex dump of a record's rest

void DumpPrinter::Skip(uint32_t n) {
    GraphicsState& g = Gfx();
    if (g.endOfData) return;
    const uint32_t before = QwgReaderTell(g.file);
    if (QwgReaderSkip(g.file, n)) {
        g.bytePosition += n;
        return;
    }
    g.bytePosition += QwgReaderTell(g.file) - before;
    ReadQwgByte();  // the end of data, with its line
}

void DumpPrinter::HexDumpRest(uint32_t n) {
    if (n == 0 || Gfx().endOfData) return;
    if (Gfx().hexDump == 0) {
        Skip(n);
        return;
    }
    const uint32_t limit = CurrentDumpDialect().hexDumpLimit;
    const uint32_t shown = limit != 0 && n > limit ? limit : n;
    const uint32_t held = n - shown;
    uint8_t bytes[16];
    GraphicsState& g = Gfx();
    for (uint32_t at = 0; at < shown; at += 16) {
        const int64_t rowOffset = static_cast<int64_t>(g.base) + g.bytePosition;
        const uint32_t len = std::min<uint32_t>(16, shown - at);
        uint32_t got = 0;
        for (; got < len; ++got) {
            const int b = ReadQwgByte();
            if (b < 0) break;
            bytes[got] = static_cast<uint8_t>(b);
        }
        if (got != 0) {
            // What was read before the end is still shown: "%05lX- ", then
            // "%02x " a byte, the characters from column 58 on.
            std::string row;
            row.reserve(58 + 16);
            PutHex(row, at, 5, 0, true);
            row.append("- ");
            for (uint32_t i = 0; i < got; ++i) {
                PutHex(row, bytes[i], 2);
                row += ' ';
                if (i == 7) row += ' ';
            }
            if (row.size() < 58) row.append(58 - row.size(), ' ');
            for (uint32_t i = 0; i < got; ++i) row += Printable(bytes[i]) ? static_cast<char>(bytes[i]) : '.';
            engine::SetNextLineOffset(rowOffset);
            EmitLine(row);
            // An outline line that opened a level took no offset.
            engine::SetNextLineOffset(engine::kNoFileOffset);
        }
        if (got < len) return;
    }
    if (held != 0) {
        EmitFormatted("0x%X (%d) bytes skipped!", held, static_cast<int>(held));
        Skip(held);
    }
}

}  // namespace graphics
