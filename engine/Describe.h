#pragma once
// Field descriptions of packets.

#include <cstdint>

#include "engine/Targets.h"

namespace engine {

struct DocFile;

// Describes the data of packet `id` of the table to `target`.
void DescribePacket(DocFile* f, uint32_t id, ListTarget* target);

}  // namespace engine
