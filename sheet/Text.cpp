#include "sheet/Text.h"

#include <QFile>

namespace inspector {

namespace {

// 0x80-0x9F; the five holes of the code page stay as their C1 controls.
constexpr char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

}  // namespace

QString DecodeCp1252(std::string_view bytes) {
    QString out(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar* d = out.data();
    for (size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<uint8_t>(bytes[i]);
        d[i] = QChar(b >= 0x80 && b < 0xA0 ? kHigh[b - 0x80] : static_cast<char16_t>(b));
    }
    return out;
}

std::optional<uint8_t> EncodeCp1252(QChar c) {
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) return static_cast<uint8_t>(u);
    for (size_t i = 0; i < 32; ++i)
        if (kHigh[i] == u) return static_cast<uint8_t>(0x80 + i);
    return std::nullopt;
}

std::string EncodeCp1252Text(const QString& text, size_t* firstMissing) {
    std::string out;
    out.reserve(static_cast<size_t>(text.size()));
    if (firstMissing) *firstMissing = std::string::npos;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (const std::optional<uint8_t> b = EncodeCp1252(text[i])) {
            out += static_cast<char>(*b);
            continue;
        }
        if (firstMissing && *firstMissing == std::string::npos) *firstMissing = out.size();
        out += '?';
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) ++i;
    }
    return out;
}

QString DecodeCp1252Visible(std::string_view bytes) {
    QString out = DecodeCp1252(bytes);
    for (QChar& c : out) {
        const char16_t u = c.unicode();
        if (u < 0x20)
            c = QChar(static_cast<char16_t>(0x2400 + u));
        else if (u == 0x7F)
            c = QChar(char16_t{0x2421});
        else if (u >= 0x80 && u < 0xA0)
            c = QChar(char16_t{0x2426});  // a hole of the code page
    }
    return out;
}

std::string FormatByteCount(uint64_t bytes) {
    std::string digits = std::to_string(bytes);
    std::string out;
    const size_t n = digits.size();
    for (size_t i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return out + " Bytes ";
}

QString PathText(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }

std::string PathBytes(const QString& path) { return QFile::encodeName(path).toStdString(); }

}  // namespace inspector
