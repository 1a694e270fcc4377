#pragma once
// Field descriptions of packets and of function data.

#include <cstdint>
#include <span>

#include "engine/Targets.h"

namespace engine {

struct DocFile;

// Describes the data of packet `id` of the table to `target`, which is the
// describer target for the length of the detail.
void DescribePacket(DocFile* f, uint32_t id, ListTarget* target);

// Describes the data of one variable-length function (`function` from its
// code byte, no more bytes than it really has) to the describer target.
void DescribeFunctionData(uint16_t group, uint16_t subfunction, std::span<const uint8_t> function);

}  // namespace engine
