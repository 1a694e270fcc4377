#pragma once
// All state that engine operations share lives here, reached through one
// accessor. Tests make a fresh context per case; entry points reset what
// they use. No other mutable globals.

#include <memory>

#include "engine/CheckState.h"
#include "engine/Document.h"
#include "engine/Host.h"
#include "engine/OutputSink.h"
#include "engine/Profile.h"

namespace engine {

struct Hosts {
    MessageService* messages = nullptr;
    ProgressHost* progress = nullptr;
    WindowHost* window = nullptr;
};

struct EngineContext {
    const Profile* profile = &SalvinoProfile();
    Hosts hosts;
    SinkState sink;
    DocumentState doc;
    DescriberState describer;
    CheckState check;
};

EngineContext& Ctx();
// Replaces the process's context with a fresh one (tests, program start).
void ResetContext();

}  // namespace engine
