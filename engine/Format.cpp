#include "engine/Format.h"

#include <cstdio>

namespace engine {

std::string FormatV(const char* fmt, va_list ap) {
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

std::string Format(const char* fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    std::string out = FormatV(fmt, ap);
    va_end(ap);
    return out;
}

}  // namespace engine
