#include "graphics/GraphicsState.h"

#include <memory>

#include "engine/EngineContext.h"
#include "graphics/Dialect.h"
#include "graphics/Outline.h"
#include "graphics/Records.h"

namespace graphics {

GraphicsState& MakeGfx() {
    std::shared_ptr<GraphicsState>& slot = engine::Ctx().graphics;
    if (!slot) slot = std::make_shared<GraphicsState>();
    return *slot;
}

void ResetQwgDumper() {
    GraphicsState& g = Gfx();
    std::shared_ptr<QuietPlace> place = std::move(g.place);
    g = GraphicsState{};
    g.place = std::move(place);
}

void ForgetQuietPlace(const engine::DocFile* f) {
    GraphicsState& g = Gfx();
    if (g.place && g.place->file == f) g.place.reset();
}

const DumpDialect& SalvinoDumpDialect() {
    static const DumpDialect dialect{
        .hexDumpLimit = 10240,
        .newlineSuffixAsBlank = false,
        .outline = &SalvinoOutlineNumbering(),
        .testsMajorVersion = true,
        .records = SalvinoRecordTable(),
        .lastMaskedType = 64,
    };
    return dialect;
}

const DumpDialect& CurrentDumpDialect() {
    const DumpDialect* d = engine::Ctx().profile->dumpDialect;
    return d ? *d : SalvinoDumpDialect();
}

}  // namespace graphics
