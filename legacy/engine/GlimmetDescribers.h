#pragma once
// The older inspector's describers of packets and variable-length functions.

#include <cstdint>
#include <span>

#include "engine/Describer.h"
#include "engine/Targets.h"

namespace legacy {

// The older describer of a variable-length function: it refuses none and
// reads nothing beyond the function's size; the walker tests the trailer
// after it. 1.
int DescribeVariableFunction(std::span<const uint8_t> item, engine::ListTarget* sink, bool singleDescription,
                             uint32_t offset, int mode, uint32_t groupMask, uint32_t classMask);

// The operations behind the describer ids in the older forms.
const engine::DescriberBindings& GlimmetDescriberBindings();

}  // namespace legacy
