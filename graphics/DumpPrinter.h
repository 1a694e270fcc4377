#pragma once
// The one printer of the graphics dump. It owns the indentation, the line
// being built, the outline numbering and the shapes of the value lines
// (hex beside decimal, 16.16 fixed point, coordinates in the current
// precision); record handlers hand it labels and values, never text of
// their own making.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/Messages.h"
#include "graphics/Outline.h"

namespace graphics {

enum IndentOp : int {
    kIndentOut = 0,    // two blanks fewer
    kIndentIn = 1,     // two blanks more
    kIndentClear = 2,  // none
};

class DumpPrinter {
public:
    // Shown indentation stops at 41 steps; deeper steps are still counted
    // so that every step in is undone by its step out.
    static constexpr int kMaxIndentSteps = 41;

    void ChangeIndent(int op);
    const std::string& Indentation() const { return indent_; }

    // A dump line: plain (PrintLine) or, in outline mode, numbered and
    // tagged with the record end. See the .cpp for the outline rules.
    void EmitLine(std::string_view text);
    // Closes every outline level (the document load asks for it).
    void CloseOutline() { outline_.CloseAll(); }
    void ResetOutline() { outline_.Reset(); }
    // A record announces `count` associated records: the next dump line
    // opens a level for them instead of being sent.
    void AnnounceAssociated(uint32_t count);
    const OutlineState& Outline() const { return outline_; }

    // The indentation, then the formatted text, as one dump line.
    void EmitIndented(const char* fmt, ...) __attribute__((format(printf, 2, 3)));
    // The formatted text as one dump line, not indented.
    void EmitFormatted(const char* fmt, ...) __attribute__((format(printf, 2, 3)));
    // The same for a message by id, its arguments checked alike.
    template <engine::Msg id, class... A>
    void EmitIndented(A... args) {
        EmitIndented(engine::CheckedText<id, A...>(), args...);
    }
    template <engine::Msg id, class... A>
    void EmitFormatted(A... args) {
        EmitFormatted(engine::CheckedText<id, A...>(), args...);
    }

    // Error lines: the line buffer goes to the check's error list (tagged
    // with the current record's index), else to the sink while header
    // lines are on (tagged with the record end), else nowhere.
    void EmitErrorLine();
    // Some target takes error lines now: else they are not built.
    bool ErrorTaken() const;
    void EmitError(const char* fmt, ...) __attribute__((format(printf, 2, 3)));

    // Line building: value operations append to the line buffer until the
    // line is sent.
    // A line that no target would take is not built: its text is dropped
    // as it comes (the check pass sends only its error lines).
    void StartLine();
    void AppendText(std::string_view text);
    void AppendFormatted(const char* fmt, ...) __attribute__((format(printf, 2, 3)));
    void SendLine();
    bool Building() const { return building_; }
    const std::string& LineBuffer() const { return line_; }

    // Value lines: indentation, label, value, suffix.
    void EmitShortValue(const char* label, uint32_t value, const char* suffix);   // signed 16-bit
    void EmitWordValue(const char* label, uint32_t value, const char* suffix);    // unsigned 16-bit
    void EmitFixedValue(const char* label, uint32_t value, const char* suffix);   // signed 16.16
    void EmitUFixedValue(const char* label, uint32_t value, const char* suffix);  // unsigned 16.16
    void EmitCoordValue(const char* label, uint32_t value, const char* suffix);
    void EmitUCoordValue(const char* label, uint32_t value, const char* suffix);
    // The coordinate, and beside it its transformed value unless the
    // current transformation is the identity.
    void EmitTransformedCoord(const char* label, uint32_t before, uint32_t after);
    void EmitEdges(uint32_t x1, uint32_t x2, uint32_t y1, uint32_t y2);
    void EmitWidthHeight(uint32_t x1, uint32_t x2, uint32_t y1, uint32_t y2);
    void EmitRecordTitle(const char* name);
    // The caption, the count, then each colour read from the record (one
    // byte a component, or a u16 when `wide`).
    void EmitColorList(const char* caption, uint32_t count, bool wide);
    // The count, then each u16 element read from the record.
    void EmitPositionArray(uint32_t n);
    // A sub-block's title inside a record: like a record title, and also
    // suppressed while header lines are off (the list shows one line a record).
    void EmitBlockTitle(const char* name);

    // Range checks. CheckRange shows an ordinary line (none while header
    // lines are off) and returns the value; the coordinate checks send error
    // lines.
    int32_t CheckRange(int32_t value, int32_t lo, int32_t hi, const char* label);
    void CheckCoordRange(uint32_t value, uint32_t lo, uint32_t hi, const char* label);
    void CheckPointInImage(uint32_t x, uint32_t y, const char* label);
    void CheckBoxInImage(uint32_t x1, uint32_t x2, uint32_t y1, uint32_t y2, const char* label);

    // Consumes the next n bytes of the record: a hex dump of them while the
    // hex-dump flag is on, else read and dropped. Each row carries the
    // absolute file offset of its first byte.
    void HexDumpRest(uint32_t n);

private:
    void SetIndentSteps(int steps);
    // A value line that no target would take: only the outline counts.
    bool Unseen() const;
    // The line being built is one no target would take.
    bool Dropped() const { return building_ && dropped_; }
    const char* Suffix(const char* suffix) const;
    // EmitLine past its quick answer for a line nothing takes; kept out of
    // line so that answer stays cheap.
    __attribute__((noinline)) void SendToTargets(std::string_view text);
    // "%s%s: ", indentation and name.
    void EmitTitle(const char* name);
    // Sends the value's text, or appends it while a line is built.
    void Value(const std::string& text);
    void Skip(uint32_t n);

    int indentSteps_ = 0;
    std::string indent_;
    std::string line_;
    bool building_ = false;
    bool dropped_ = false;
    OutlineState outline_;
};

}  // namespace graphics
