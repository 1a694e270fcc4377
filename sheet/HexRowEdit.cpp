#include "sheet/HexRowEdit.h"

namespace inspector {

namespace {

constexpr char kDigits[] = "0123456789ABCDEF";

int DigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

char Upper(char c) { return c >= 'a' && c <= 'f' ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

std::optional<HexRowEditState> HexRowEditState::FromRow(std::string_view row) {
    const size_t a = row.find("   ");
    if (a == std::string_view::npos) return std::nullopt;
    const size_t n = (a + 1) / 3;
    if (n < 1 || n > 16 || row.size() != 51 + n) return std::nullopt;
    HexRowEditState s;
    s.hex_ = a > 23 ? std::string(row.substr(0, 24)) + std::string(row.substr(25, a - 25))
                    : std::string(row.substr(0, a));
    if (s.hex_.size() != 3 * n - 1) return std::nullopt;
    for (size_t k = 0; k < n; ++k) {
        if (DigitValue(s.hex_[3 * k]) < 0 || DigitValue(s.hex_[3 * k + 1]) < 0) return std::nullopt;
        if (k + 1 < n && s.hex_[3 * k + 2] != ' ') return std::nullopt;
    }
    s.ansi_ = std::string(row.substr(row.size() - n));
    return s;
}

std::string HexRowEditState::RowText() const {
    // Past the eighth pair the blank after it is doubled, as in the dump.
    std::string out = hex_.size() > 23 ? hex_.substr(0, 24) + hex_.substr(23) : hex_;
    out.resize(48, ' ');
    return out + "   " + ansi_;
}

std::vector<uint8_t> HexRowEditState::Bytes() const {
    std::vector<uint8_t> out;
    for (size_t k = 0; 3 * k + 1 < hex_.size(); ++k)
        out.push_back(static_cast<uint8_t>(DigitValue(hex_[3 * k]) * 16 + DigitValue(hex_[3 * k + 1])));
    return out;
}

void HexRowEditState::SetByteChar(int k, uint8_t byte) {
    ansi_[static_cast<size_t>(k)] = byte == 0 ? '.' : static_cast<char>(byte);
}

HexEditOutcome HexRowEditState::HexChar(int s, char c) {
    HexEditOutcome o;
    o.accepted = true;
    if (c == '\b') return o;
    if (DigitValue(c) < 0) {
        o.beep = true;
        return o;
    }
    // A digit never lands on a blank: it goes to the next pair's first digit.
    if (s >= 0 && s % 3 == 2) ++s;
    if (s < 0 || static_cast<size_t>(s) >= hex_.size()) {
        o.beep = true;
        return o;
    }
    hex_[static_cast<size_t>(s)] = Upper(c);
    const int k = s / 3;
    SetByteChar(k, static_cast<uint8_t>(DigitValue(hex_[3 * static_cast<size_t>(k)]) * 16 +
                                        DigitValue(hex_[3 * static_cast<size_t>(k) + 1])));
    o.caret = std::min<int>(s % 3 == 1 ? s + 2 : s + 1, static_cast<int>(hex_.size()));
    o.changed = true;
    return o;
}

HexEditOutcome HexRowEditState::HexKey(int s, HexEditKey key) const {
    HexEditOutcome o;
    switch (key) {
    case HexEditKey::Backspace:
    case HexEditKey::Delete:
        o.accepted = true;
        break;
    case HexEditKey::Left:
        if (s >= 1 && s % 3 == 0) o.caret = s - 1;
        break;
    case HexEditKey::Right:
        if (s % 3 == 1) o.caret = s + 1;
        break;
    case HexEditKey::Up:
        o.accepted = true;
        o.focus = HexField::Ansi;
        o.focusCaret = std::min(s / 3, ByteCount());
        break;
    case HexEditKey::Down:
    case HexEditKey::Other:
        if ((s + 1) % 3 == 0) o.caret = s + 1;
        break;
    }
    return o;
}

HexEditOutcome HexRowEditState::AnsiChar(int s, uint8_t c) {
    HexEditOutcome o;
    o.accepted = true;
    if (c == '\b') return o;
    if (s < 0 || s >= ByteCount()) {
        o.beep = true;
        return o;
    }
    const auto k = static_cast<size_t>(s);
    ansi_[k] = static_cast<char>(c);
    hex_[3 * k] = kDigits[c >> 4];
    hex_[3 * k + 1] = kDigits[c & 0xF];
    o.caret = s + 1;
    o.changed = true;
    return o;
}

HexEditOutcome HexRowEditState::AnsiKey(int s, HexEditKey key) const {
    HexEditOutcome o;
    switch (key) {
    case HexEditKey::Backspace:
    case HexEditKey::Delete:
        o.accepted = true;
        break;
    case HexEditKey::Down:
        o.focus = HexField::Hex;
        o.focusCaret = std::min(3 * s, static_cast<int>(hex_.size()));
        break;
    default:
        break;
    }
    return o;
}

std::optional<std::vector<uint8_t>> RowTextBytes(std::string_view row, int n) {
    std::vector<uint8_t> out;
    size_t i = 0;
    for (int k = 0; k < n; ++k) {
        while (i < row.size() && row[i] == ' ') ++i;
        if (i + 1 >= row.size()) return std::nullopt;
        const int hi = DigitValue(row[i]), lo = DigitValue(row[i + 1]);
        if (hi < 0 || lo < 0) return std::nullopt;
        out.push_back(static_cast<uint8_t>(hi * 16 + lo));
        i += 2;
    }
    return out;
}

}  // namespace inspector
