#pragma once
// Every report line is built from a printf-style literal, checked by the
// compiler (the shown texts by id: engine/Messages.h). Text from a document is passed as an argument, never as a format.

#include <cstdarg>
#include <string>

#include "engine/Messages.h"

namespace engine {

std::string Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
// For writers that take the format themselves (checked where they are declared).
std::string FormatV(const char* fmt, va_list ap) __attribute__((format(printf, 1, 0)));

}  // namespace engine
