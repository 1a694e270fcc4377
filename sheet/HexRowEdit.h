#pragma once
// The hex row editor's rules, free of widgets: one row of a hex dump (up to
// 16 bytes) held as its hex pairs and its characters, kept in step while
// keys arrive. The dialog's two line edits only hand each key to this and
// do what the outcome says.

#include <cstdint>
#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace inspector {

enum class HexField { None, Hex, Ansi };

// The keys the editor treats itself; the rest are Other.
enum class HexEditKey { Backspace, Delete, Left, Right, Up, Down, Other };

struct HexEditOutcome {
    bool accepted = false;  // consumed: the edit's own handling does not run
    bool beep = false;
    int caret = -1;          // caret to set first in the field (-1: as it is)
    HexField focus = HexField::None;  // field to move the focus to
    int focusCaret = 0;      // caret there
    bool changed = false;    // the texts changed

    bool operator==(const HexEditOutcome&) const = default;
};

class HexRowEditState {
public:
    // `row` is a dump row after its 7-character offset column: the hex
    // region padded to 48 characters, three blanks and the characters.
    // None when it is not a row of 1 to 16 well-formed pairs.
    static std::optional<HexRowEditState> FromRow(std::string_view row);

    int ByteCount() const { return static_cast<int>(ansi_.size()); }
    // "XX XX ..." without the middle blank: pair k at 3k.
    const std::string& HexText() const { return hex_; }
    // One character a byte; "." for 00.
    const std::string& AnsiText() const { return ansi_; }
    // The row text rebuilt: always 51 + n characters.
    std::string RowText() const;
    // The bytes the hex pairs say.
    std::vector<uint8_t> Bytes() const;

    // A typed character and a pressed key in the hex field, caret at s.
    HexEditOutcome HexChar(int s, char c);
    HexEditOutcome HexKey(int s, HexEditKey key) const;
    // The same in the characters field; `c` is the character's byte.
    HexEditOutcome AnsiChar(int s, uint8_t c);
    HexEditOutcome AnsiKey(int s, HexEditKey key) const;

private:
    HexRowEditState() = default;
    void SetByteChar(int k, uint8_t byte);

    std::string hex_;
    std::string ansi_;
};

// The bytes of a row's edited text: for each byte, blanks skipped, two hex
// digits (either case). None when the text does not hold `n` of them.
std::optional<std::vector<uint8_t>> RowTextBytes(std::string_view row, int n);

}  // namespace inspector
