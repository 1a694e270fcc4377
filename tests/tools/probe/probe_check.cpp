// Probe entry points of the document check, the usage list, the fixing of
// counts and the writing of the index. After a check the probe prints the
// range list (X) and the reference table (F); the packet table (E) follows.

#include <unistd.h>

#include <cstdlib>
#include <string>

#include "engine/Check.h"
#include "engine/DocFile.h"
#include "engine/Document.h"
#include "engine/EngineContext.h"
#include "engine/Format.h"
#include "tests/support/CompoundBuilder.h"
#include "tests/tools/probe/Probe.h"

namespace {

using probe::Args;
using probe::ProbeEnv;
using probe::UsageError;

engine::DocFile* Open(ProbeEnv& env, const std::string& path) { return env.OpenLogged(path); }

void PrintCheckTables(ProbeEnv& env) {
    const engine::CheckState& st = engine::Ctx().check;
    for (const engine::InvalidRange& r : st.ranges)
        env.Emit(engine::Format("X %X %X %X %X %X", r.start, r.end, r.owner, r.block, r.value));
    for (const engine::PacketRef& r : st.refs)
        env.Emit(engine::Format("F %X %X %X %X %X", r.kind, r.subKind, r.referenced, r.referencing, r.offset));
}

// The check's own figures, which the Information page shows.
void LogTotals(ProbeEnv& env) {
    const engine::CheckState& st = engine::Ctx().check;
    const engine::CheckTotals& t = st.totals;
    env.Log(engine::Format("totals used=%X/%u deleted=%X/%u empty=%u extra=%X overlap=%X unused-styles=%X undo=%X",
                           t.usedBytes, t.usedCount, t.deletedBytes, t.deletedCount, t.emptyCount,
                           t.extraBytes, t.overlapBytes, t.unusedStyleBytes, t.undoBytes));
    env.Log(engine::Format("findings mismatches=%d other=%d corrupt-flag=%d complete=%d", st.countMismatches,
                           st.otherFindings, st.corruptFound ? 1 : 0, st.complete ? 1 : 0));
}

void NoArgs(const Args& args, const char* name) {
    if (!args.empty()) throw UsageError(std::string(name) + " takes no arguments");
}

int RunCheckDocument(ProbeEnv& env, const Args& args) {
    NoArgs(args, "CheckDocument");
    engine::DocFile* f = Open(env, env.file);
    if (!f) return -1;
    const int r = engine::CheckDocument(f, env.Target());
    LogTotals(env);
    env.After(PrintCheckTables);
    return r;
}
PROBE_ENTRY_POINT(CheckDocument, "", RunCheckDocument);

int RunRunDocumentCheck(ProbeEnv& env, const Args& args) {
    NoArgs(args, "RunDocumentCheck");
    engine::DocFile* f = Open(env, env.file);
    if (!f) return -1;
    const int r = engine::RunDocumentCheck(f, env.Target());
    LogTotals(env);
    env.After(PrintCheckTables);
    return r;
}
PROBE_ENTRY_POINT(RunDocumentCheck, "", RunRunDocumentCheck);

// "checked": a check has run before, so that nothing has changed since.
int RunRecheckDocument(ProbeEnv& env, const Args& args) {
    const bool checked = !args.empty() && args[0] == "checked";
    if (args.size() > 1 || (!args.empty() && !checked)) throw UsageError("RecheckDocument takes [checked]");
    engine::DocFile* f = Open(env, env.file);
    if (!f) return -1;
    if (checked) {
        if (engine::RecheckDocument(f, engine::SilentTarget()) != 1) return -2;
        env.Log("checked once, silently");
    }
    const int r = engine::RecheckDocument(f, env.Target());
    LogTotals(env);
    env.Log(engine::Format("changed=%d", engine::Ctx().doc.changed ? 1 : 0));
    env.After(PrintCheckTables);
    return r;
}
PROBE_ENTRY_POINT(RecheckDocument, "[checked]", RunRecheckDocument);

int RunListPacketUsage(ProbeEnv& env, const Args& args) {
    if (args.size() != 1) throw UsageError("ListPacketUsage takes a packet id");
    const auto id = static_cast<uint32_t>(ProbeEnv::ParseInt(args[0]));
    engine::DocFile* f = Open(env, env.file);
    if (!f) return -1;
    engine::ListPacketUsage(f, env.Target(), id, env.options.mode);
    return 0;
}
PROBE_ENTRY_POINT(ListPacketUsage, "ID", RunListPacketUsage);

// "unchecked": no check before the fix.
int RunQWFixPacketCounts(ProbeEnv& env, const Args& args) {
    const bool unchecked = !args.empty() && args[0] == "unchecked";
    if (args.size() > 1 || (!args.empty() && !unchecked))
        throw UsageError("QWFixPacketCounts takes [unchecked]");
    engine::DocFile* f = Open(env, env.file);
    if (!f) return -1;
    if (!unchecked) engine::RunDocumentCheck(f, engine::SilentTarget());
    return engine::QWFixPacketCounts(env.Target());
}
PROBE_ENTRY_POINT(QWFixPacketCounts, "[unchecked]", RunQWFixPacketCounts);

// A copy of the file is checked, fixed and its index written; the fixture
// itself is never written. "readonly": the copy is open for reading only,
// so every write fails. "recheck": the copy is checked again afterwards.
int RunWriteIndex(ProbeEnv& env, const Args& args) {
    bool readOnly = false, recheck = false;
    for (const std::string& a : args) {
        if (a == "readonly") readOnly = true;
        else if (a == "recheck") recheck = true;
        else throw UsageError("WriteIndex takes [readonly] [recheck]");
    }
    const char* tmp = std::getenv("TMPDIR");
    std::string copy = std::string(tmp && *tmp ? tmp : "/tmp") + "/probe_index.XXXXXX";
    const int fd = mkstemp(copy.data());
    if (fd < 0) throw UsageError("cannot make a scratch copy");
    close(fd);
    if (!testsupport::WriteFileBytes(copy, testsupport::ReadFileBytes(env.file))) {
        unlink(copy.c_str());
        throw UsageError("cannot copy " + env.file);
    }
    // Removed at exit, after the packet table's printer has closed it.
    static std::string scratch;
    scratch = copy;
    std::atexit([] { unlink(scratch.c_str()); });

    engine::DocFile* f = Open(env, copy);
    if (!f) return -1;
    if (readOnly) {
        engine::DocFile* ro = engine::OpenDocFile(copy, engine::kOpenRead);
        if (!ro) throw UsageError("cannot reopen the copy");
        engine::CloseDocFile(f);
        engine::Ctx().doc.file = f = ro;
    }
    engine::RunDocumentCheck(f, engine::SilentTarget());
    engine::QWFixPacketCounts(env.Target());
    const int r = engine::WriteIndex(f, env.Target());
    env.Log(engine::Format("WriteIndex %d", r));
    if (recheck) {
        r == 1 ? env.Log("recheck") : env.Log("recheck after a failed write");
        engine::RecheckDocument(f, env.Target());
        env.After(PrintCheckTables);
    }
    return r;
}
PROBE_ENTRY_POINT(WriteIndex, "[readonly] [recheck]", RunWriteIndex);

}  // namespace
