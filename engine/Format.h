#pragma once
// Every report line is built from a printf-style literal, checked by the
// compiler (the shown texts by id: engine/Messages.h). Text from a document is passed as an argument, never as a format.

#include <cstdarg>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <type_traits>

#include "engine/Messages.h"

namespace engine {

std::string Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
// For writers that take the format themselves (checked where they are declared).
std::string FormatV(const char* fmt, va_list ap) __attribute__((format(printf, 1, 0)));

// A line built on the stack; a longer one goes on in a string of its own.
class LineText {
public:
    void Append(const char* p, size_t n) {
        if (big_.empty() && n <= sizeof small_ - used_) {
            std::memcpy(small_ + used_, p, n);
            used_ += n;
            return;
        }
        if (big_.empty()) big_.assign(small_, used_);
        big_.append(p, n);
    }
    void Append(std::string_view s) { Append(s.data(), s.size()); }
    // Where `n` more characters can be written in place, none when they do
    // not fit on the stack; Commit(n) keeps them.
    char* Room(size_t n) { return big_.empty() && n <= sizeof small_ - used_ ? small_ + used_ : nullptr; }
    void Commit(size_t n) { used_ += n; }
    void Pad(int n, char c);
    std::string_view View() const { return big_.empty() ? std::string_view(small_, used_) : std::string_view(big_); }

private:
    char small_[256];
    size_t used_ = 0;
    std::string big_;
};

// A format read when the program is compiled: its conversions (flags,
// width, precision and kind) and the literal text between them, so that a
// line is written without looking at the format again. Only what is
// written exactly as printf would is planned: d i u x X c, plain s, %%.
struct FormatPiece {
    uint16_t at = 0;      // where the conversion's '%' stands
    uint8_t length = 0;   // of the conversion, '%' included
    char conv = 0;
    uint8_t flags = 0;
    uint8_t width = 0;
    uint8_t precision = 0;  // with kFlagPrecision
    bool plainHex = false;  // %X or %0NX of at most eight digits: written by digit pairs
    // -1 without a precision. A piece not used is all zeros: a plan made on
    // the stack for a call is mostly cleared, not filled field by field.
    constexpr int Precision() const;
};
inline constexpr int kMaxPlannedPieces = 8;
enum : uint8_t { kFlagLeft = 1, kFlagPlus = 2, kFlagSpace = 4, kFlagAlt = 8, kFlagZero = 16, kFlagPrecision = 32 };
constexpr int FormatPiece::Precision() const { return (flags & kFlagPrecision) ? precision : -1; }
struct FormatPlan {
    uint16_t size = 0;  // of the whole text
    uint8_t count = 0;
    bool valid = false;
    // The most the integer and character conversions write, all together.
    uint16_t convertedRoom = 0;
    bool texts = false;  // a %s among the pieces
    FormatPiece pieces[kMaxPlannedPieces] = {};
};

consteval FormatPlan PlanFormat(const char* f) {
    FormatPlan plan;
    size_t i = 0;
    for (; f[i]; ++i) {
        if (f[i] != '%') continue;
        if (plan.count == kMaxPlannedPieces) return plan;
        FormatPiece piece;
        piece.at = static_cast<uint16_t>(i);
        size_t p = i + 1;
        for (;; ++p) {
            if (f[p] == '-') piece.flags |= kFlagLeft;
            else if (f[p] == '+') piece.flags |= kFlagPlus;
            else if (f[p] == ' ') piece.flags |= kFlagSpace;
            else if (f[p] == '#') piece.flags |= kFlagAlt;
            else if (f[p] == '0') piece.flags |= kFlagZero;
            else break;
        }
        int width = 0;
        for (; f[p] >= '0' && f[p] <= '9'; ++p) width = width * 10 + (f[p] - '0');
        int precision = -1;
        if (f[p] == '.') {
            ++p;
            precision = 0;
            for (; f[p] >= '0' && f[p] <= '9'; ++p) precision = precision * 10 + (f[p] - '0');
        }
        if (width > 100 || precision > 100) return plan;
        const char c = f[p];
        switch (c) {
            case 'd': case 'i': case 'u': case 'x': case 'X': break;
            case 'c': if (piece.flags & kFlagZero) return plan; break;
            case 's': if (p != i + 1) return plan; break;
            case '%': if (p != i + 1) return plan; break;
            default: return plan;
        }
        piece.conv = c;
        piece.width = static_cast<uint8_t>(width);
        if (precision >= 0) {
            piece.flags |= kFlagPrecision;
            piece.precision = static_cast<uint8_t>(precision);
        }
        piece.plainHex = (c == 'X' || c == 'x') && (piece.flags & ~kFlagZero) == 0 && width <= 8;
        piece.length = static_cast<uint8_t>(p + 1 - i);
        // Digits, sign or "0x", and the padding to the width or precision.
        if (c == 's') plan.texts = true;
        if (c != 's' && c != '%')
            plan.convertedRoom = static_cast<uint16_t>(plan.convertedRoom + (width > precision ? width : precision) + 12);
        plan.pieces[plan.count++] = piece;
        i = p;
    }
    if (i > 0xFFFF) return plan;
    plan.size = static_cast<uint16_t>(i);
    plan.valid = true;
    return plan;
}

// Writes `text` by its plan: the integer conversions take `ints` in order
// (d and i read them as int), the string ones `texts`.
void WritePlanned(LineText& out, const char* text, const FormatPlan& plan, const uint32_t* ints,
                  const char* const* texts = nullptr);

void FormatIsNotPlanned();  // never defined: reached only by a format that cannot be planned

consteval int PlannedIntegers(const FormatPlan& plan) {
    int n = 0;
    for (int i = 0; i < plan.count; ++i)
        if (plan.pieces[i].conv != '%' && plan.pieces[i].conv != 's') ++n;
    return n;
}

// A line format of `N` integer conversions and no string, planned when the
// program is compiled.
template <int N>
struct PlannedFormat {
    const char* text;
    FormatPlan plan;
    consteval PlannedFormat(const char* f) : text(f), plan(PlanFormat(f)) {  // NOLINT: implicit from literals
        if (!plan.valid || PlannedIntegers(plan) != N || PlannedIntegers(plan) != plan.count) FormatIsNotPlanned();
    }
};

// The line of a planned format, on the stack: Format's result without
// parsing the format or allocating.
template <class... Ints>
// The format by reference: a copy of its plan would read back in wide
// loads what was just stored in narrow ones.
LineText FormatLine(const std::type_identity_t<PlannedFormat<static_cast<int>(sizeof...(Ints))>>& format,
                    Ints... values) {
    static_assert((std::is_integral_v<Ints> && ...));
    const uint32_t ints[sizeof...(Ints) + 1] = {static_cast<uint32_t>(values)...};
    LineText line;
    WritePlanned(line, format.text, format.plan, ints);
    return line;
}

}  // namespace engine
