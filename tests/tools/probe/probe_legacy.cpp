// Probe entry points of Glimmet's dialect (run with --profile glimmet).

#include <string>

#include "engine/DocFile.h"
#include "engine/Document.h"
#include "engine/EngineContext.h"
#include "engine/Walker.h"
#include "engine/Format.h"
#include "legacy/engine/GlimmetCheck.h"
#include "legacy/engine/GlimmetOpen.h"
#include "legacy/engine/GlimmetScanner.h"
#include "tests/tools/probe/Probe.h"

namespace {

using probe::Args;
using probe::ProbeEnv;
using probe::UsageError;

// The older scanner over the body as the Codes page lists it: START 0 is
// the document area (with the progress flag), LENGTH to the end.
int RunScanCodeStream(ProbeEnv& env, const Args& args) {
    if (args.size() > 2) throw UsageError("ScanCodeStream takes at most START and LENGTH");
    const uint32_t start = args.empty() ? 0 : static_cast<uint32_t>(ProbeEnv::ParseInt(args[0]));
    const uint32_t length = args.size() > 1 ? static_cast<uint32_t>(ProbeEnv::ParseInt(args[1])) : engine::kWalkToEnd;
    engine::Ctx().sink.defaultList = nullptr;
    engine::DocFile* f = env.OpenLogged(env.file);
    if (!f) return -1;
    return legacy::ScanCodeStream(f, env.Target(), start, env.options.mode, env.options.groupMask,
                                  env.options.classMask, nullptr, length, start == 0, nullptr, false);
}
PROBE_ENTRY_POINT(ScanCodeStream, "[START [LENGTH]]", RunScanCodeStream);

// The older one-count check with its verdict; LENGTH of the body.
int RunGlimmetCheckDocument(ProbeEnv& env, const Args& args) {
    if (args.size() > 1) throw UsageError("GlimmetCheckDocument takes at most a length");
    const uint32_t length = args.empty() ? engine::kWalkToEnd : static_cast<uint32_t>(ProbeEnv::ParseInt(args[0]));
    engine::Ctx().sink.defaultList = nullptr;
    engine::DocFile* f = env.OpenLogged(env.file);
    if (!f) return -1;
    return legacy::CheckDocument(f, env.Target(), length);
}
PROBE_ENTRY_POINT(GlimmetCheckDocument, "[LENGTH]", RunGlimmetCheckDocument);

int RunGlimmetListFileHeader(ProbeEnv& env, const Args& args) {
    if (!args.empty()) throw UsageError("GlimmetListFileHeader takes no arguments");
    engine::Ctx().sink.defaultList = nullptr;
    engine::DocFile* f = env.OpenLogged(env.file);
    if (!f) return -1;
    legacy::ListFileHeader(f, env.Target());
    return 0;
}
PROBE_ENTRY_POINT(GlimmetListFileHeader, "", RunGlimmetListFileHeader);

// The older open with its refusal boxes, logged as OpenDocument's.
int RunGlimmetOpenDocument(ProbeEnv& env, const Args& args) {
    if (!args.empty()) throw UsageError("GlimmetOpenDocument takes no arguments");
    engine::FileHeader header;
    int readOnly = -1;
    int verdict = -1;
    engine::DocFile* f = legacy::OpenDocument(env.file, &header, &readOnly, &verdict);
    env.Log(engine::Format("%s verdict=%d readonly=%d", f ? "opened" : "none", verdict, readOnly));
    return verdict;
}
PROBE_ENTRY_POINT(GlimmetOpenDocument, "", RunGlimmetOpenDocument);

}  // namespace
