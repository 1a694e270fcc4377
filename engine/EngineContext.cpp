#include "engine/EngineContext.h"

namespace engine {

namespace {
std::unique_ptr<EngineContext>& Slot() {
    static std::unique_ptr<EngineContext> context;
    return context;
}
}  // namespace

EngineContext* detail::context = nullptr;

EngineContext& detail::MakeContext() {
    if (!Slot()) Slot() = std::make_unique<EngineContext>();
    context = Slot().get();
    return *context;
}

void ResetContext() {
    Slot() = std::make_unique<EngineContext>();
    detail::context = Slot().get();
}

}  // namespace engine
