#include "graphics/Outline.h"

#include <algorithm>
#include <string>

namespace graphics {

namespace {

class SalvinoNumbering final : public OutlineNumbering {
public:
    void Open(OutlineState& o, uint8_t nesting) const override {
        // Deeper than the tables: the announcement opens nothing and the
        // records count at the innermost level that exists.
        if (o.depth + 1 >= kOutlineLevels) return;
        ++o.depth;
        o.remaining[static_cast<size_t>(o.depth)] =
            static_cast<int32_t>(std::min<uint32_t>(o.pendingCount, INT32_MAX));
        o.level[static_cast<size_t>(o.depth)] = nesting;
        o.numberPending = true;
    }

    std::optional<std::string> Number(OutlineState& o, uint8_t nesting,
                                      size_t indentLength) const override {
        if (o.depth < 0 || nesting > o.level[static_cast<size_t>(o.depth)]) return std::nullopt;
        const size_t blanks = nesting != 0 ? indentLength : 0;
        const long at = static_cast<long>(blanks) + o.depth - nesting;
        const size_t pos = at < 0 ? 0 : static_cast<size_t>(at);
        // Blanks for the indentation, dashes up to the number's place; the
        // 26 dashes of the template go on as far as the place needs.
        std::string prefix(pos, '-');
        prefix.replace(0, std::min(blanks, pos), std::min(blanks, pos), ' ');
        if (o.numberPending) {
            prefix += std::to_string(o.remaining[static_cast<size_t>(o.depth)]);
            o.numberPending = false;
        } else {
            prefix += '-';
        }
        while (o.depth >= 0 && nesting <= o.level[static_cast<size_t>(o.depth)]) {
            if (o.remaining[static_cast<size_t>(o.depth)]-- != 0) break;
            --o.depth;
        }
        o.pendingCount = 0;
        return prefix;
    }
};

}  // namespace

const OutlineNumbering& SalvinoOutlineNumbering() {
    static const SalvinoNumbering numbering;
    return numbering;
}

}  // namespace graphics
