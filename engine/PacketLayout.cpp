#include "engine/PacketLayout.h"

#include <algorithm>

namespace engine {

PacketLayout ReadPacketLayout(const IndexEntry& entry, std::span<const uint8_t> held) {
    PacketLayout l;
    const size_t n = held.size();
    l.hasChildList = (entry.Flags() & kFlagChildList) != 0;
    if (l.hasChildList) {
        l.childCount = GetU16(held, 0);
        const size_t ids = n < 2 ? 0 : std::min<size_t>(l.childCount, (n - 2) / 2);
        l.children.reserve(ids);
        for (size_t i = 0; i < ids; ++i) l.children.push_back(GetU16(held, 2 + 2 * i));
        l.childListFits = 2 + 2 * uint64_t{l.childCount} <= n;
        l.tableAt = 2 + 2 * l.childCount;
    }
    l.hasTextBlocks = (entry.Flags() & kFlagTextBlocks) != 0;
    if (!l.hasTextBlocks) return l;
    l.blockCount = GetU16(held, l.tableAt);
    l.firstBlock = GetU32(held, l.tableAt + 2);
    const uint64_t sizesAt = uint64_t{l.tableAt} + 6;
    const size_t sizes = sizesAt >= n ? 0 : std::min<size_t>(l.blockCount, (n - sizesAt) / 4);
    l.sizes.reserve(sizes);
    l.blocks.reserve(sizes);
    uint64_t start = l.firstBlock;
    for (size_t b = 0; b < sizes; ++b) {
        const uint32_t size = GetU32(held, static_cast<size_t>(sizesAt + 4 * b));
        l.sizes.push_back(size);
        PacketLayout::Block block;
        block.start = start;
        block.size = size;
        block.inside = start < n;
        block.held = block.inside ? static_cast<uint32_t>(std::min<uint64_t>(size, n - start)) : 0;
        l.blocks.push_back(block);
        start += size;
    }
    return l;
}

}  // namespace engine
