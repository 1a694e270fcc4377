// The older dumper's outline numbers: counts only, at the outermost
// nesting only.

#include "engine/Format.h"
#include "graphics/Outline.h"
#include "legacy/engine/GlimmetProfile.h"

namespace legacy {

namespace {

class OlderNumbering final : public graphics::OutlineNumbering {
public:
    void Open(graphics::OutlineState& o, uint8_t) const override {
        if (o.depth + 1 >= graphics::kOutlineLevels) return;
        ++o.depth;
        o.remaining[static_cast<size_t>(o.depth)] = static_cast<int32_t>(o.pendingCount & 0x7FFFFFFF);
        o.numberPending = true;
    }

    std::optional<std::string> Number(graphics::OutlineState& o, uint8_t nesting, size_t) const override {
        // Embedded records are plain lines.
        if (nesting != 0 || o.depth < 0) return std::nullopt;
        // The count or a dash written into the dash template at the depth.
        const auto at = static_cast<size_t>(o.depth);
        std::string prefix(at, '-');
        prefix += o.numberPending ? engine::Format("%d", o.remaining[at]) : std::string("-");
        o.numberPending = false;
        while (o.depth >= 0 && o.remaining[static_cast<size_t>(o.depth)]-- == 0) --o.depth;
        o.pendingCount = 0;
        return prefix;
    }
};

}  // namespace

const graphics::OutlineNumbering& GlimmetOutlineNumbering() {
    static const OlderNumbering numbering;
    return numbering;
}

}  // namespace legacy
