#include "graphics/GraphicText.h"

#include "graphics/GraphicsState.h"

namespace graphics {

// Placeholder until the codes are described: the bytes are consumed.
void DescribeGraphicText(uint32_t& count) {
    Out().HexDumpRest(count);
    count = 0;
}

}  // namespace graphics
