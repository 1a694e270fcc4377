// Probe entry points of the describers' shared state.

#include <string>

#include "engine/DocFile.h"
#include "engine/Document.h"
#include "engine/EngineContext.h"
#include "engine/Format.h"
#include "tests/tools/probe/Probe.h"

namespace {

using probe::Args;
using probe::ProbeEnv;
using probe::UsageError;

// Follows a text-block caption's tag as the pages do: first, optionally,
// the detail of packet SHOWN (to the target), then the place the tag names.
int RunTextBlockAt(ProbeEnv& env, const Args& args) {
    if (args.empty() || args.size() > 2) throw UsageError("TextBlockAt takes TAG [SHOWN-ID]");
    const auto tag = static_cast<uint32_t>(ProbeEnv::ParseInt(args[0]));
    engine::DocFile* f = env.OpenLogged(env.file);
    if (!f) return -1;
    if (engine::ReadIndex(f, engine::kNoTarget) != 0) return -1;
    if (args.size() > 1)
        engine::ShowPacketDetail(f, env.Target(), static_cast<int32_t>(ProbeEnv::ParseInt(args[1])),
                                 env.options.mode, nullptr);
    const std::optional<engine::TextBlockPlace> place = engine::TextBlockAt(tag);
    if (!place) {
        env.Log("no block");
        return 0;
    }
    env.Log(engine::Format("block at 0x%X size 0x%X", place->offset, place->size));
    return 1;
}
PROBE_ENTRY_POINT(TextBlockAt, "TAG [SHOWN-ID]", RunTextBlockAt);

}  // namespace
