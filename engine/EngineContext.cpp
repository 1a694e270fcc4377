#include "engine/EngineContext.h"

namespace engine {

namespace {
std::unique_ptr<EngineContext>& Slot() {
    static std::unique_ptr<EngineContext> context = std::make_unique<EngineContext>();
    return context;
}
}  // namespace

EngineContext& Ctx() { return *Slot(); }

void ResetContext() { Slot() = std::make_unique<EngineContext>(); }

}  // namespace engine
