#pragma once
// Outline numbering of the record list: a record that announces associated
// records opens a level that counts them down; each listed line shows the
// count (once) or a dash at its depth.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace graphics {

inline constexpr int kOutlineLevels = 64;

struct OutlineState {
    int depth = -1;               // innermost open level; -1 none
    bool numberPending = false;   // the next numbered line shows the count
    uint32_t pendingCount = 0;    // announced, not yet opened
    std::array<int32_t, kOutlineLevels> remaining{};
    std::array<uint8_t, kOutlineLevels> level{};  // nesting level byte of each level

    void CloseAll() { depth = -1; }
    void Reset() { *this = OutlineState{}; }
};

// How the announced counts become levels and numbered lines.
class OutlineNumbering {
public:
    virtual ~OutlineNumbering() = default;
    // Opens a level for the pending count.
    virtual void Open(OutlineState& o, uint8_t nesting) const = 0;
    // The number column of a line (its prefix), the counts taken down; none
    // when the line is not numbered.
    virtual std::optional<std::string> Number(OutlineState& o, uint8_t nesting,
                                              size_t indentLength) const = 0;
};

const OutlineNumbering& SalvinoOutlineNumbering();

}  // namespace graphics
