#include "engine/Format.h"

#include <cstdint>
#include <cstdio>
#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

namespace engine {

namespace {

// One conversion of the forms the report lines use; anything else (floats,
// '*' widths, %n, %p, ...) goes to vsnprintf whole.
struct Conversion {
    bool left = false, plus = false, space = false, alt = false, zero = false;
    int width = 0;
    int precision = -1;
    int length = 0;  // -2 hh, -1 h, 0, 1 l, 2 ll, 3 z
    char conv = 0;
};

// Reads the conversion at `p` (just after '%'); the end of it, or nullptr.
const char* ParseConversion(const char* p, Conversion& s) {
    for (;; ++p) {
        if (*p == '-') s.left = true;
        else if (*p == '+') s.plus = true;
        else if (*p == ' ') s.space = true;
        else if (*p == '#') s.alt = true;
        else if (*p == '0') s.zero = true;
        else break;
    }
    for (; *p >= '0' && *p <= '9'; ++p) {
        if (s.width > 4096) return nullptr;
        s.width = s.width * 10 + (*p - '0');
    }
    if (*p == '.') {
        ++p;
        s.precision = 0;
        for (; *p >= '0' && *p <= '9'; ++p) {
            if (s.precision > 4096) return nullptr;
            s.precision = s.precision * 10 + (*p - '0');
        }
    }
    if (*p == 'h') {
        s.length = p[1] == 'h' ? -2 : -1;
        p += p[1] == 'h' ? 2 : 1;
    } else if (*p == 'l') {
        s.length = p[1] == 'l' ? 2 : 1;
        p += p[1] == 'l' ? 2 : 1;
    } else if (*p == 'z') {
        s.length = 3;
        ++p;
    }
    switch (*p) {
        case 'd': case 'i': case 'u': case 'x': case 'X': case 'c': case 's': case '%':
            s.conv = *p;
            return p + 1;
        default: return nullptr;
    }
}

bool Supported(const char* fmt) {
    for (const char* p = fmt; *p;) {
        if (*p++ != '%') continue;
        Conversion s;
        p = ParseConversion(p, s);
        if (!p || (s.conv == '%' && p[-2] != '%')) return false;
        // Wide characters and strings, and zeros before text, as vsnprintf has them.
        if ((s.conv == 'c' || s.conv == 's') && (s.length != 0 || s.zero)) return false;
    }
    return true;
}

// What is being written: on the stack up to a line's usual length.
class Out {
public:
    void Append(const char* p, size_t n) {
        if (n <= sizeof small_ - used_ && big_.empty()) {
            std::memcpy(small_ + used_, p, n);
            used_ += n;
            return;
        }
        if (big_.empty()) big_.assign(small_, used_);
        big_.append(p, n);
    }
    void Append(char c) { Append(&c, 1); }
    void Pad(int n, char c) {
        for (; n > 0; --n) Append(c);
    }
    std::string Take() { return big_.empty() ? std::string(small_, used_) : std::move(big_); }

private:
    char small_[256];
    size_t used_ = 0;
    std::string big_;
};

void Pad(Out& out, int n, char c) { out.Pad(n, c); }

void Integer(Out& out, const Conversion& s, va_list& ap) {
    const bool isSigned = s.conv == 'd' || s.conv == 'i';
    uint64_t magnitude = 0;
    bool negative = false;
    if (isSigned) {
        int64_t v = 0;
        switch (s.length) {
            case -2: v = static_cast<signed char>(va_arg(ap, int)); break;
            case -1: v = static_cast<short>(va_arg(ap, int)); break;
            case 0: v = va_arg(ap, int); break;
            case 1: v = va_arg(ap, long); break;
            case 2: v = va_arg(ap, long long); break;
            default: v = static_cast<int64_t>(va_arg(ap, size_t)); break;
        }
        negative = v < 0;
        magnitude = negative ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
    } else {
        switch (s.length) {
            case -2: magnitude = static_cast<unsigned char>(va_arg(ap, unsigned)); break;
            case -1: magnitude = static_cast<unsigned short>(va_arg(ap, unsigned)); break;
            case 0: magnitude = va_arg(ap, unsigned); break;
            case 1: magnitude = va_arg(ap, unsigned long); break;
            case 2: magnitude = va_arg(ap, unsigned long long); break;
            default: magnitude = va_arg(ap, size_t); break;
        }
    }
    const unsigned base = s.conv == 'x' || s.conv == 'X' ? 16 : 10;
    const char* digitsOf = s.conv == 'X' ? "0123456789ABCDEF" : "0123456789abcdef";
    char digits[24];
    int n = 0;
    for (uint64_t v = magnitude; v != 0; v /= base) digits[n++] = digitsOf[v % base];
    if (n == 0 && s.precision != 0) digits[n++] = '0';
    const int zeros = s.precision > n ? s.precision - n : 0;
    const char* prefix = "";
    if (negative) prefix = "-";
    else if (isSigned && s.plus) prefix = "+";
    else if (isSigned && s.space) prefix = " ";
    else if (s.alt && base == 16 && magnitude != 0) prefix = s.conv == 'X' ? "0X" : "0x";
    const int prefixLength = static_cast<int>(std::strlen(prefix));
    const int length = prefixLength + zeros + n;
    const int fill = s.width > length ? s.width - length : 0;
    // The 0 flag pads between sign and digits, unless a precision is given.
    const bool zeroFill = s.zero && !s.left && s.precision < 0;
    if (!s.left && !zeroFill) Pad(out, fill, ' ');
    out.Append(prefix, static_cast<size_t>(prefixLength));
    if (zeroFill) Pad(out, fill, '0');
    Pad(out, zeros, '0');
    char reversed[24];
    for (int i = 0; i < n; ++i) reversed[i] = digits[n - 1 - i];
    out.Append(reversed, static_cast<size_t>(n));
    if (s.left) Pad(out, fill, ' ');
}

void Text(Out& out, const Conversion& s, const char* text, size_t length) {
    const int fill = s.width > static_cast<int>(length) ? s.width - static_cast<int>(length) : 0;
    if (!s.left) Pad(out, fill, ' ');
    out.Append(text, length);
    if (s.left) Pad(out, fill, ' ');
}

std::string Fallback(const char* fmt, va_list ap) {
    va_list copy;
    va_copy(copy, ap);
    char small[256];
    const int n = std::vsnprintf(small, sizeof small, fmt, ap);
    std::string out;
    if (n < 0) {
        va_end(copy);
        return out;
    }
    if (static_cast<size_t>(n) < sizeof small) {
        out.assign(small, static_cast<size_t>(n));
    } else {
        out.resize(static_cast<size_t>(n) + 1);
        std::vsnprintf(out.data(), out.size(), fmt, copy);
        out.resize(static_cast<size_t>(n));
    }
    va_end(copy);
    return out;
}

}  // namespace

void LineText::Pad(int n, char c) {
    char run[64];
    std::memset(run, c, sizeof run);
    for (; n > 0; n -= static_cast<int>(sizeof run)) Append(run, std::min<size_t>(static_cast<size_t>(n), sizeof run));
}

namespace {

// A byte's two hex digits, upper case and then lower case.
constexpr auto kHexPairs = [] {
    std::array<std::array<char, 2>, 512> t{};
    for (size_t b = 0; b < 256; ++b) {
        t[b] = {"0123456789ABCDEF"[b >> 4], "0123456789ABCDEF"[b & 15]};
        t[256 + b] = {"0123456789abcdef"[b >> 4], "0123456789abcdef"[b & 15]};
    }
    return t;
}();

// "%X", "%04X", "%08x" ...: most of the describers' conversions, written
// by digit pairs.
[[gnu::always_inline]] inline char* WritePlainHex(char* w, const FormatPiece& s, uint32_t value) {
    const int needed = value == 0 ? 1 : (35 - std::countl_zero(value)) / 4;
    const bool zeros = (s.flags & kFlagZero) != 0;
    const int digits = zeros ? std::max<int>(needed, s.width) : needed;
    for (int i = zeros ? 0 : s.width - needed; i > 0; --i) *w++ = ' ';
    const auto* pairs = kHexPairs.data() + (s.conv == 'X' ? 0 : 256);
    if (digits == 2) {
        std::memcpy(w, pairs[value & 0xFF].data(), 2);
    } else if (digits == 4) {
        std::memcpy(w, pairs[(value >> 8) & 0xFF].data(), 2);
        std::memcpy(w + 2, pairs[value & 0xFF].data(), 2);
    } else {
        const char* digitsOf = s.conv == 'X' ? "0123456789ABCDEF" : "0123456789abcdef";
        for (int i = digits - 1; i >= 0; --i) w[digits - 1 - i] = digitsOf[(value >> (4 * i)) & 15];
    }
    return w + digits;
}

// Writes the conversion at `w`, which has room for the width or precision
// and twelve more; returns the end of what it wrote.
char* WriteInteger(char* w, const FormatPiece& s, uint32_t value) {
    if (s.plainHex) return WritePlainHex(w, s, value);
    const bool hex = s.conv == 'x' || s.conv == 'X';
    const int precision = s.Precision();
    const bool isSigned = s.conv == 'd' || s.conv == 'i';
    const bool negative = isSigned && static_cast<int32_t>(value) < 0;
    const uint32_t magnitude = negative ? 0u - value : value;
    char digits[16];
    int n = 0;
    if (hex) {
        const char* digitsOf = s.conv == 'X' ? "0123456789ABCDEF" : "0123456789abcdef";
        for (uint32_t v = magnitude; v != 0; v >>= 4) digits[n++] = digitsOf[v & 15];
    } else {
        for (uint32_t v = magnitude; v != 0; v /= 10) digits[n++] = static_cast<char>('0' + v % 10);
    }
    if (n == 0 && precision != 0) digits[n++] = '0';
    const int zeros = precision > n ? precision - n : 0;
    const char* prefix = "";
    int prefixLength = 0;
    if (negative) prefix = "-", prefixLength = 1;
    else if (isSigned && (s.flags & kFlagPlus)) prefix = "+", prefixLength = 1;
    else if (isSigned && (s.flags & kFlagSpace)) prefix = " ", prefixLength = 1;
    else if ((s.flags & kFlagAlt) && hex && magnitude != 0) prefix = s.conv == 'X' ? "0X" : "0x", prefixLength = 2;
    const int length = prefixLength + zeros + n;
    const int fill = s.width > length ? s.width - length : 0;
    const bool left = (s.flags & kFlagLeft) != 0;
    // The 0 flag pads between sign and digits, unless a precision is given.
    const bool zeroFill = (s.flags & kFlagZero) && !left && precision < 0;
    if (!left && !zeroFill)
        for (int i = 0; i < fill; ++i) *w++ = ' ';
    for (int i = 0; i < prefixLength; ++i) *w++ = prefix[i];
    if (zeroFill)
        for (int i = 0; i < fill; ++i) *w++ = '0';
    for (int i = 0; i < zeros; ++i) *w++ = '0';
    while (n > 0) *w++ = digits[--n];
    if (left)
        for (int i = 0; i < fill; ++i) *w++ = ' ';
    return w;
}

// A conversion's most: the width or precision (at most 100 each) and twelve.
constexpr size_t kMaxConverted = 100 + 12;

void PlannedInteger(LineText& out, const FormatPiece& s, uint32_t value) {
    char local[kMaxConverted];
    out.Append(local, static_cast<size_t>(WriteInteger(local, s, value) - local));
}

// The literal pieces between conversions are short: two overlapping moves
// of a word do without a call.
inline char* CopyShort(char* w, const char* p, size_t n) {
    if (n > 16 && n <= 32) {
        std::memcpy(w, p, 16);
        std::memcpy(w + n - 16, p + n - 16, 16);
    } else if (n >= 8 && n <= 16) {
        std::memcpy(w, p, 8);
        std::memcpy(w + n - 8, p + n - 8, 8);
    } else if (n >= 4 && n < 8) {
        std::memcpy(w, p, 4);
        std::memcpy(w + n - 4, p + n - 4, 4);
    } else if (n < 4) {
        if (n > 0) w[0] = p[0];
        if (n > 1) w[1] = p[1];
        if (n > 2) w[2] = p[2];
    } else if (n <= 64) {
        std::memcpy(w, p, 32);
        std::memcpy(w + n - 32, p + n - 32, 32);
    } else {
        std::memcpy(w, p, n);
    }
    return w + n;
}

void PlannedText(LineText& out, const FormatPiece& s, const char* text, size_t length) {
    const int fill = s.width > static_cast<int>(length) ? s.width - static_cast<int>(length) : 0;
    if (!(s.flags & kFlagLeft)) out.Pad(fill, ' ');
    out.Append(text, length);
    if (s.flags & kFlagLeft) out.Pad(fill, ' ');
}

}  // namespace

namespace {

// The line piece by piece, where it may not fit on the stack.
void WritePlannedPieces(LineText& out, const char* text, const FormatPlan& plan, const uint32_t* ints,
                        const char* const* texts) {
    size_t at = 0;
    for (uint8_t i = 0; i < plan.count; ++i) {
        const FormatPiece& s = plan.pieces[i];
        out.Append(text + at, s.at - at);
        at = size_t{s.at} + s.length;
        switch (s.conv) {
            case '%': out.Append("%", 1); break;
            case 's': {
                const char* t = *texts++;
                if (!t) t = "(null)";
                out.Append(t, std::strlen(t));
                break;
            }
            case 'c': {
                const char c = static_cast<char>(*ints++);
                PlannedText(out, s, &c, 1);
                break;
            }
            default: PlannedInteger(out, s, *ints++); break;
        }
    }
    out.Append(text + at, plan.size - at);
}

}  // namespace

void WritePlanned(LineText& out, const char* text, const FormatPlan& plan, const uint32_t* ints,
                  const char* const* texts) {
    // The texts' lengths first: with them the whole line's most is known,
    // and a line that fits is written in place without a test per piece.
    size_t textLengths[kMaxPlannedPieces];
    size_t most = size_t{plan.size} + plan.convertedRoom;
    for (uint8_t i = 0, k = 0; plan.texts && i < plan.count; ++i) {
        if (plan.pieces[i].conv != 's') continue;
        const char* t = texts[k++];
        textLengths[i] = std::strlen(t ? t : "(null)");
        most += textLengths[i];
    }
    char* const start = out.Room(most);
    if (!start) {
        WritePlannedPieces(out, text, plan, ints, texts);
        return;
    }
    char* w = start;
    size_t at = 0;
    for (uint8_t i = 0; i < plan.count; ++i) {
        const FormatPiece& s = plan.pieces[i];
        w = CopyShort(w, text + at, s.at - at);
        at = size_t{s.at} + s.length;
        switch (s.conv) {
            case '%': *w++ = '%'; break;
            case 's': {
                const char* t = *texts++;
                std::memcpy(w, t ? t : "(null)", textLengths[i]);
                w += textLengths[i];
                break;
            }
            case 'c': {
                const int fill = s.width > 1 ? s.width - 1 : 0;
                if (!(s.flags & kFlagLeft))
                    for (int f = 0; f < fill; ++f) *w++ = ' ';
                *w++ = static_cast<char>(*ints++);
                if (s.flags & kFlagLeft)
                    for (int f = 0; f < fill; ++f) *w++ = ' ';
                break;
            }
            default: w = s.plainHex ? WritePlainHex(w, s, *ints++) : WriteInteger(w, s, *ints++); break;
        }
    }
    w = CopyShort(w, text + at, plan.size - at);
    out.Commit(static_cast<size_t>(w - start));
}

// The forms of the report lines are written here directly: the describers
// write millions of lines, and vsnprintf was most of their cost.
std::string FormatV(const char* fmt, va_list ap) {
    if (!Supported(fmt)) return Fallback(fmt, ap);
    va_list args;
    va_copy(args, ap);
    Out out;
    for (const char* p = fmt; *p;) {
        if (*p != '%') {
            const char* next = std::strchr(p, '%');
            const size_t n = next ? static_cast<size_t>(next - p) : std::strlen(p);
            out.Append(p, n);
            p += n;
            continue;
        }
        Conversion s;
        p = ParseConversion(p + 1, s);
        switch (s.conv) {
            case '%': out.Append('%'); break;
            case 'c': {
                const char c = static_cast<char>(va_arg(args, int));
                Text(out, s, &c, 1);
                break;
            }
            case 's': {
                const char* text = va_arg(args, const char*);
                if (!text) text = s.precision < 0 || s.precision >= 6 ? "(null)" : "";
                // A precision bounds what is read, too.
                const size_t n = s.precision < 0 ? std::strlen(text) : strnlen(text, static_cast<size_t>(s.precision));
                Text(out, s, text, n);
                break;
            }
            default: Integer(out, s, args); break;
        }
    }
    va_end(args);
    return out.Take();
}

std::string Format(const char* fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    std::string out = FormatV(fmt, ap);
    va_end(ap);
    return out;
}

}  // namespace engine
