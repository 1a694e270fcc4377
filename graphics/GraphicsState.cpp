#include "graphics/GraphicsState.h"

#include <memory>

#include "engine/EngineContext.h"
#include "graphics/Dialect.h"
#include "graphics/Outline.h"

namespace graphics {

GraphicsState& Gfx() {
    std::shared_ptr<GraphicsState>& slot = engine::Ctx().graphics;
    if (!slot) slot = std::make_shared<GraphicsState>();
    return *slot;
}

void ResetQwgDumper() { Gfx() = GraphicsState{}; }

const DumpDialect& SalvinoDumpDialect() {
    static const DumpDialect dialect{
        .hexDumpLimit = 10240,
        .newlineSuffixAsBlank = false,
        .outline = &SalvinoOutlineNumbering(),
    };
    return dialect;
}

const DumpDialect& CurrentDumpDialect() {
    const DumpDialect* d = engine::Ctx().profile->dumpDialect;
    return d ? *d : SalvinoDumpDialect();
}

}  // namespace graphics
