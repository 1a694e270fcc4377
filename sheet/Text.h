#pragma once
// How engine bytes and counts become the texts the windows show.

#include <QString>
#include <cstdint>
#include <string>
#include <string_view>

namespace inspector {

// The document's single-byte text as Windows-1252.
QString DecodeCp1252(std::string_view bytes);

// "1,234,567,890 Bytes ": thousands groups and a trailing blank.
std::string FormatByteCount(uint64_t bytes);

// Paths are the system's bytes.
QString PathText(const std::string& path);
std::string PathBytes(const QString& path);

}  // namespace inspector
