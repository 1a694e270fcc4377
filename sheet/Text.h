#pragma once
// How engine bytes and counts become the texts the windows show.

#include <QString>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace inspector {

// The document's single-byte text as Windows-1252.
QString DecodeCp1252(std::string_view bytes);

// The byte of a character of that code page; none outside it.
std::optional<uint8_t> EncodeCp1252(QChar c);

// A typed text as single bytes of that code page. A character outside it
// (a surrogate pair counts as one) becomes '?'; `firstMissing`, when given,
// receives the place of the first such '?' (npos when there is none).
std::string EncodeCp1252Text(const QString& text, size_t* firstMissing = nullptr);

// The same decoding for a field where every byte must be seen: bytes with
// no printable character show as control pictures.
QString DecodeCp1252Visible(std::string_view bytes);

// "1,234,567,890 Bytes ": thousands groups and a trailing blank.
std::string FormatByteCount(uint64_t bytes);

// Paths are the system's bytes.
QString PathText(const std::string& path);
std::string PathBytes(const QString& path);

}  // namespace inspector
