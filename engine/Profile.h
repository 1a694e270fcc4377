#pragma once
// What makes the older inspector a variation of Salvino rather than a copy:
// tag layout, limits, texts, name-table overlays and a few strategies.

#include <cstdint>
#include <span>
#include <string_view>

#include "engine/Messages.h"

namespace graphics {
struct DumpDialect;
}

namespace engine {

class TextRunPolicy;
class WalkDamagePolicy;
class ReferenceCounter;
class ListTarget;
struct DescriberBindings;
enum class PacketDescriberId : uint8_t;
enum class FunctionDescriberId : uint8_t;

// Which packet types and (group, subfunction) pairs have a describer.
struct DescriberRows {
    std::span<const PacketDescriberId> packets;  // by type from 0x00
    std::span<const std::span<const FunctionDescriberId>> functions;  // by group from 0xD0
};

// The bounds of what a detail shows.
struct DescriberLimits {
    int64_t fieldDump = 10240;      // bytes a field dump shows at most
    uint32_t packetShown = 65535;   // larger packets show only their head
    uint32_t packetHead = 4096;     // the head shown of a larger packet
};

// The describer of one variable-length function: its bytes, the sink, the
// single-description flag, its file offset, the mode and the two masks; 0
// when it refuses the function.
using VariableFunctionDescriber = int (*)(std::span<const uint8_t> item, ListTarget* sink, bool singleDescription,
                                          uint32_t offset, int mode, uint32_t groupMask, uint32_t classMask);

// One row of a name table in its original order and spelling.
struct NameRow {
    uint32_t code;
    const char* name;
};

// A profile's change to one row of a shared table: a new name, or none to
// remove the row.
struct NameOverlayRow {
    uint32_t code;
    const char* name;  // nullptr: the row does not exist in this dialect
};

struct NameOverlay {
    const char* table;  // the table's id, e.g. "ShapeNames"
    std::span<const NameOverlayRow> rows;
};

struct Profile {
    const char* appName;
    // The item-data tag layout: the low bits hold an offset or packet id; a
    // text-block tag holds the block above the id's 16 bits.
    uint32_t tagOffsetMask;  // bits of an item-data tag that hold an offset or id
    uint32_t tagCrossRef;    // kind bit of lines listed while the cross reference is built; 0: none
    uint8_t tagBlockBits = 11;  // width of a text-block tag's block field
    // Code lines of the older inspector: 0xFF is a fixed-length code without
    // the damage bit, and a shown line is added whatever the stop value.
    bool olderCodeLines = false;
    std::span<const NameOverlay> nameOverlays;
    // The code-stream walker's variation points; none means Salvino's.
    const TextRunPolicy* textRuns = nullptr;
    const WalkDamagePolicy* walkDamage = nullptr;
    // How the check counts and books the uses of packets.
    const ReferenceCounter* refCounter = nullptr;
    // The graphics dumper's line variation; none means Salvino's.
    const graphics::DumpDialect* dumpDialect = nullptr;
    // The describers' rows; none means Salvino's.
    const DescriberRows* describerRows = nullptr;
    DescriberLimits describerLimits{};
    // The operations behind the describer ids; none means Salvino's.
    const DescriberBindings* describers = nullptr;
    // The older packet detail: no invalid-length test, no display of text
    // blocks for types without a describer, the whole head of a large
    // packet, findings through AddItemDataLine and nothing counted.
    bool olderPacketDetail = false;
    // The older describer of variable-length functions; none means
    // Salvino's. The older one describes a function before the walker tests
    // its trailer, and refuses none.
    VariableFunctionDescriber variableFunction = nullptr;
    // The messages this dialect words its own way.
    std::span<const MessageOverlayRow> messages{};

    // The overlay row for `code` of `table`, or nullptr when the profile
    // leaves that row as the shared table has it.
    const NameOverlayRow* OverlayRow(std::string_view table, uint32_t code) const;

    constexpr uint32_t OffsetOf(uint32_t tag) const { return tag & tagOffsetMask; }
    constexpr uint32_t BlockOf(uint32_t tag) const {
        return (tag >> 16) & ((uint32_t{1} << tagBlockBits) - 1);
    }
    // 0x10000000 is the text-block kind bit (kTagTextBlock).
    constexpr uint32_t MakeBlockTag(uint32_t block, uint32_t id) const {
        return 0x10000000u | ((block & ((uint32_t{1} << tagBlockBits) - 1)) << 16) | (id & 0xFFFF);
    }
};

const Profile& SalvinoProfile();

// The profile a program installed at start (Salvino's until one does);
// every fresh context takes it.
const Profile& InstalledProfile();
// Installs `profile` for the process and resets the engine context so
// nothing of the previous dialect stays. Tests switch profiles with it.
void InstallProfile(const Profile& profile);

// Lookup over any table whose rows have `code` and `name`: the profile's
// overlay first, then the first row in table order. nullptr when none.
template <class Row>
const char* LookupName(std::span<const Row> rows, std::string_view table, uint32_t code,
                       const Profile& profile) {
    if (const NameOverlayRow* o = profile.OverlayRow(table, code)) return o->name;
    for (const Row& r : rows)
        if (r.code == code) return r.name;
    return nullptr;
}

// A table of plain rows under its id.
struct NameTable {
    const char* id;
    std::span<const NameRow> rows;

    const char* Lookup(uint32_t code, const Profile& profile) const {
        return LookupName(rows, id, code, profile);
    }
};

}  // namespace engine
