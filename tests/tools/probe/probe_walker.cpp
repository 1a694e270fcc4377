// Probe entry points of the code-stream walker and the text operations.

#include <algorithm>
#include <span>
#include <string>
#include <vector>

#include "engine/Captions.h"
#include "engine/DocFile.h"
#include "engine/Document.h"
#include "engine/EngineContext.h"
#include "engine/Format.h"
#include "engine/Progress.h"
#include "engine/TextOps.h"
#include "engine/Walker.h"
#include "tests/support/CompoundBuilder.h"
#include "tests/tools/probe/Probe.h"

namespace {

using probe::Args;
using probe::ProbeEnv;
using probe::UsageError;

uint32_t U32(const std::string& text) { return static_cast<uint32_t>(ProbeEnv::ParseInt(text)); }

// The range list, when the walk booked any.
void PrintRanges(ProbeEnv& env) {
    for (const engine::InvalidRange& r : engine::Ctx().check.ranges)
        env.Emit(engine::Format("X %X %X %X %X %X", r.start, r.end, r.owner, r.block, r.value));
}

// Opens the probe's file as the open document, outside any check: no
// default list.
engine::DocFile* Open(ProbeEnv& env) {
    engine::Ctx().sink.defaultList = nullptr;
    engine::DocFile* f = env.OpenLogged(env.file);
    env.After(PrintRanges);
    return f;
}

// Scratch files of the probe's run, removed when it ends.
std::string ScratchFile(const char* name) {
    static testsupport::ScopedTempDir dir;
    return dir.File(name);
}

std::string ScratchCopy(ProbeEnv& env, const char* name) {
    const std::string path = ScratchFile(name);
    if (!testsupport::WriteFileBytes(path, testsupport::ReadFileBytes(env.file)))
        throw UsageError("cannot copy " + env.file);
    return path;
}

int RunListDocumentCodes(ProbeEnv& env, const Args& args) {
    if (args.size() > 1) throw UsageError("ListDocumentCodes takes at most a length");
    const uint32_t length = args.empty() ? engine::kWalkToEnd : U32(args[0]);
    engine::DocFile* f = Open(env);
    if (!f) return -1;
    return engine::ListDocumentCodes(f, env.Target(), env.options.mode, env.options.groupMask,
                                     env.options.classMask, length);
}
PROBE_ENTRY_POINT(ListDocumentCodes, "[LENGTH]", RunListDocumentCodes);

// The Codes page makes its detail list the describers' target as well.
// "booked": the check's cross-reference walk runs first (without lines),
// so that the damaged places have their ranges.
int RunDescribeCodeAt(ProbeEnv& env, const Args& args) {
    Args rest = args;
    const bool booked = !rest.empty() && rest.back() == "booked";
    if (booked) rest.pop_back();
    if (rest.empty() || rest.size() > 2) throw UsageError("DescribeCodeAt takes START [LENGTH] [booked]");
    const uint32_t start = U32(rest[0]);
    const uint32_t length = rest.size() > 1 ? U32(rest[1]) : engine::kWalkToEnd;
    engine::DocFile* f = Open(env);
    if (!f) return -1;
    engine::EngineContext& c = engine::Ctx();
    if (booked) {
        engine::ReadIndex(f, engine::kNoTarget);
        engine::CodeWalkRequest rq;
        rq.file = f;
        rq.groupMask = rq.classMask = 0xFFFFFFFF;
        {
            engine::SinkSwitches booking;
            booking.defaultList = engine::SilentTarget();
            booking.stopValue = -1;
            engine::OperationScope scope(engine::Operation::CheckBook, booking);
            engine::WalkCodeStream(rq);
        }
        c.check.otherFindings = 0;
    }
    engine::SinkSwitches detail = engine::CurrentSwitches();
    detail.describerTarget = env.Target();
    engine::OperationScope scope(engine::Operation::Detail, detail);
    return engine::DescribeCodeAt(f, env.Target(), start, env.options.mode, length);
}
PROBE_ENTRY_POINT(DescribeCodeAt, "START [LENGTH] [booked]", RunDescribeCodeAt);

int RunSearchDocumentText(ProbeEnv& env, const Args& args) {
    if (args.size() < 2 || args.size() > 4)
        throw UsageError("SearchDocumentText takes TEXT case|nocase [START [LENGTH]]");
    if (args[1] != "case" && args[1] != "nocase") throw UsageError("case or nocase");
    const uint32_t start = args.size() > 2 ? U32(args[2]) : 0;
    const uint32_t length = args.size() > 3 ? U32(args[3]) : engine::kWalkToEnd;
    engine::DocFile* f = Open(env);
    if (!f) return -1;
    // "-" stands for the empty text.
    const std::string text = args[0] == "-" ? std::string() : args[0];
    return engine::SearchDocumentText(f, start, length, text.c_str(), args[1] == "case");
}
PROBE_ENTRY_POINT(SearchDocumentText, "TEXT|- case|nocase [START [LENGTH]]", RunSearchDocumentText);

// Scrambles a scratch copy; logs the block's bytes afterwards as a dump.
int RunScrambleTextBlock(ProbeEnv& env, const Args& args) {
    if (args.size() > 2) throw UsageError("ScrambleTextBlock takes [OFFSET [SIZE]]");
    const std::string copy = ScratchCopy(env, "scrambled.qwd");
    engine::Ctx().sink.defaultList = nullptr;
    engine::FileHeader header;
    engine::DocFile* f = env.OpenLogged(copy, &header);
    env.After(PrintRanges);
    if (!f) return -1;
    const uint32_t offset = args.empty() ? header.DocOffset() : U32(args[0]);
    const uint32_t body = static_cast<uint32_t>(engine::Ctx().doc.dataLength - std::min(engine::Ctx().doc.dataLength, offset));
    const uint32_t size = args.size() > 1 ? U32(args[1]) : body;
    const int r = engine::ScrambleTextBlock(f, &env.ctx.logList, offset, size);
    engine::CloseDocument(f);
    const std::vector<uint8_t> bytes = testsupport::ReadFileBytes(copy);
    if (offset < bytes.size()) {
        std::span<const uint8_t> from(bytes.data() + offset, bytes.size() - offset);
        engine::HexDump(static_cast<int64_t>(std::min<size_t>(from.size(), size)), from, &env.ctx.logList);
    }
    return r;
}
PROBE_ENTRY_POINT(ScrambleTextBlock, "[OFFSET [SIZE]]", RunScrambleTextBlock);

// Extracts into a scratch text file and logs its lines. "other": the file
// is not made the open document (no document is open).
int RunExtractTextBlock(ProbeEnv& env, const Args& args) {
    size_t i = 0;
    const bool other = !args.empty() && args[0] == "other";
    if (other) ++i;
    if (args.size() - i > 2) throw UsageError("ExtractTextBlock takes [other] [OFFSET [SIZE]]");
    const uint32_t offset = args.size() > i ? U32(args[i]) : 0;
    const uint32_t size = args.size() > i + 1 ? U32(args[i + 1]) : engine::kWalkToEnd;
    engine::DocFile* f = nullptr;
    if (other) {
        engine::Ctx().sink.defaultList = nullptr;
        env.After(PrintRanges);
        f = engine::OpenDocFile(env.file, engine::kOpenRead);
        if (!f) throw UsageError("cannot open " + env.file);
    } else {
        f = Open(env);
        if (!f) return -1;
    }
    const std::string out = ScratchFile("extracted.txt");
    engine::DocFile* target = engine::OpenDocFile(out, engine::kOpenRead | engine::kOpenWrite | engine::kOpenCreate);
    if (!target) throw UsageError("cannot create the text file");
    engine::SeekDocFile(f, 0, 0);
    const int r = engine::ExtractTextBlock(target, f, &env.ctx.logList, offset, size);
    engine::CloseDocFile(target);
    if (other) engine::CloseDocFile(f);
    const std::vector<uint8_t> text = testsupport::ReadFileBytes(out);
    // One record per line of the text file, its CR LF shown escaped.
    std::string line;
    for (size_t k = 0; k < text.size(); ++k) {
        line += static_cast<char>(text[k]);
        if (text[k] == '\n' || k + 1 == text.size()) {
            env.Log("text: " + line);
            line.clear();
        }
    }
    return r;
}
PROBE_ENTRY_POINT(ExtractTextBlock, "[other] [OFFSET [SIZE]]", RunExtractTextBlock);

// The walks the check, the usage list and the repair make:
//   count          the counting pass (no sink, default list set)
//   xref           the cross-reference pass (stop value -1 as well)
//   check          both, one after the other, as the check runs them
//   usage ID       the usage list of packet ID (the target as sink)
//   probe OFFSET   the repair's probe of the function at OFFSET
int RunWalkCodeStream(ProbeEnv& env, const Args& args) {
    if (args.empty()) throw UsageError("WalkCodeStream takes a pass");
    const std::string pass = args[0];
    const bool needsArg = pass == "usage" || pass == "probe";
    if (args.size() != (needsArg ? 2u : 1u) ||
        (!needsArg && pass != "count" && pass != "xref" && pass != "check"))
        throw UsageError("count, xref, check, usage ID or probe OFFSET");
    engine::DocFile* f = Open(env);
    if (!f) return -1;
    engine::EngineContext& c = engine::Ctx();
    engine::ReadIndex(f, engine::kNoTarget);
    engine::CodeWalkRequest rq;
    rq.file = f;
    rq.mode = engine::kModeDecoded;
    rq.groupMask = 0xFFFFFFFF;
    rq.classMask = 0xFFFFFFFF;
    rq.length = engine::kWalkToEnd;
    int32_t r = 0;
    auto run = [&](engine::Operation op, int32_t stop, int caption) {
        engine::SinkSwitches switches = engine::CurrentSwitches();
        switches.stopValue = stop;
        engine::OperationScope scope(op, switches);
        rq.captionId = caption;
        r = engine::WalkCodeStream(rq);
        env.Log(engine::Format("result %d findings %d", r, c.check.otherFindings));
    };
    if (pass == "usage") {
        rq.sink = env.Target();
        c.check.usageNumber = 0;
        run(engine::Operation::UsageList, static_cast<int32_t>(U32(args[1])), engine::kCaptionPrefixUsage);
    } else if (pass == "probe") {
        rq.start = U32(args[1]);
        run(engine::Operation::RepairProbe, 0, 0);
        env.Log(engine::Format("probe ids %u size %u", c.check.probeIdCount, c.check.probeSize));
    } else {
        engine::SinkSwitches checking;
        checking.defaultList = &env.ctx.defaultList;
        engine::OperationScope check(engine::Operation::CheckCount, checking);
        if (pass != "xref") run(engine::Operation::CheckCount, 0, engine::kCaptionErrorsPass2);
        if (pass != "count") {
            // The check's own dialog is up during its cross reference.
            engine::CProgressDialog dialog(engine::kCaptionCrossReference);
            dialog.Create();
            c.check.progress = &dialog;
            run(engine::Operation::CheckBook, -1, 0);
            c.check.progress = nullptr;
        }
    }
    return r;
}
PROBE_ENTRY_POINT(WalkCodeStream, "count|xref|check|usage ID|probe OFFSET", RunWalkCodeStream);

}  // namespace
