#pragma once
// The child list and text-block table at the start of a packet's data, read
// once from the bytes really held. The check, the detail and the repair all
// take a packet apart through this; each words its own findings.

#include <cstdint>
#include <span>
#include <vector>

#include "engine/Document.h"

namespace engine {

struct PacketLayout {
    struct Block {
        uint64_t start = 0;  // offset in the packet: the first block's, then each after the one before
        uint32_t size = 0;   // as stored
        uint32_t held = 0;   // of it, the bytes held
        bool inside = false; // starts before the end of the bytes held
    };

    bool hasChildList = false;
    uint32_t childCount = 0;         // as declared
    std::vector<uint16_t> children;  // the ids the bytes hold, in order
    bool childListFits = true;       // 2 + 2 × count bytes are held

    bool hasTextBlocks = false;
    uint32_t tableAt = 0;      // the block table follows the child list
    uint32_t blockCount = 0;   // as declared
    uint32_t firstBlock = 0;   // stored offset of the first block's text
    std::vector<uint32_t> sizes;  // the size words the bytes hold
    std::vector<Block> blocks;    // one per size held

    // End of the block table as declared (count, first offset, sizes).
    uint64_t TableEnd() const { return uint64_t{tableAt} + 6 + 4 * uint64_t{blockCount}; }
    bool TableFits(size_t heldBytes) const { return TableEnd() <= heldBytes; }
};

// Reads the layout of `entry`'s packet from the first bytes of its data
// (`held`, as many as were read). Fields past the held bytes read as 0; the
// table is placed after the declared child list, as the flags say.
PacketLayout ReadPacketLayout(const IndexEntry& entry, std::span<const uint8_t> held);

}  // namespace engine
