#pragma once
// Names of packet types, one row per type 0x00-0xD6.

#include <array>
#include <cstdint>
#include <string>

namespace engine {

inline constexpr size_t kPacketTypeCount = 0xD7;
extern const std::array<const char*, kPacketTypeCount> kPacketTypeNames;
// The overlay row ("PacketTypeNames") of a type-0 entry other than entry 0.
inline constexpr uint32_t kAvailableEntryRow = 0x100;

// The name of `type` for index entry `entry` of a document of `fileType`.
std::string PacketTypeName(uint32_t type, uint32_t entry, uint8_t fileType);
// Same, with the file type of the open document's header copy.
std::string PacketTypeName(uint32_t type, uint32_t entry);

}  // namespace engine
