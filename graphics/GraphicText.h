#pragma once
// The word-processor codes inside a Text Data record.

#include <cstdint>

namespace graphics {

// Describes the codes of the record's data; `count` is decreased by every
// byte consumed. The reader ends at or before the record end.
void DescribeGraphicText(uint32_t& count);

}  // namespace graphics
