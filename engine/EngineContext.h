#pragma once
// All state that engine operations share lives here, reached through one
// accessor. Tests make a fresh context per case; entry points reset what
// they use. No other mutable globals.

#include <memory>

#include "engine/CheckState.h"
#include "engine/Describer.h"
#include "engine/Document.h"
#include "engine/Host.h"
#include "engine/Operation.h"
#include "engine/OutputSink.h"
#include "engine/Profile.h"

namespace graphics {
struct GraphicsState;
}

namespace engine {

struct RepairState;
struct VariableNameCache;

struct Hosts {
    MessageService* messages = nullptr;
    ProgressHost* progress = nullptr;
    WindowHost* window = nullptr;
};

struct EngineContext {
    const Profile* profile = &InstalledProfile();
    Hosts hosts;
    Operation operation = Operation::None;  // set only by an OperationScope
    SinkState sink;
    DocumentState doc;
    DescriberContext describer;
    CheckState check;
    // The graphics dumper's state, made by graphics/ on first use (the
    // engine knows only its name).
    std::shared_ptr<graphics::GraphicsState> graphics;
    // The repair's lookups over the reference table and the range list,
    // made by the repair on first use.
    std::shared_ptr<RepairState> repair;
    // The names of the variable-length functions under `profile`, made by
    // the first name asked for: every described code asks for its own.
    std::shared_ptr<VariableNameCache> variableNames;
};

namespace detail {
extern EngineContext* context;  // owned by EngineContext.cpp
EngineContext& MakeContext();
}  // namespace detail
// Inline: the walker asks for it for every item.
inline EngineContext& Ctx() { return detail::context ? *detail::context : detail::MakeContext(); }
// Replaces the process's context with a fresh one (tests, program start).
void ResetContext();

// The item-data tag layout of the context's profile.
inline uint32_t OffsetOf(uint32_t tag) { return Ctx().profile->OffsetOf(tag); }
inline uint32_t BlockOf(uint32_t tag) { return Ctx().profile->BlockOf(tag); }
inline uint32_t MakeBlockTag(uint32_t block, uint32_t id) { return Ctx().profile->MakeBlockTag(block, id); }

}  // namespace engine
