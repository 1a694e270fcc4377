#pragma once
// Every report line is built from a printf-style literal, checked by the
// compiler. Text from a document is passed as an argument, never as a format.

#include <string>

namespace engine {

std::string Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

}  // namespace engine
