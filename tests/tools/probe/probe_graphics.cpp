// Probe entry points of the graphics dumper. FILE is opened as Salvino
// opens it (the reader started for a graphics file); a file Salvino refuses
// is still opened as plain bytes, so that the dumper's own refusal of its
// prefix shows.

#include <string>

#include "engine/DocFile.h"
#include "engine/Document.h"
#include "engine/EngineContext.h"
#include "engine/Format.h"
#include "graphics/Dumper.h"
#include "graphics/GraphicsState.h"
#include "tests/tools/probe/Probe.h"

namespace {

using probe::Args;
using probe::ProbeEnv;
using probe::UsageError;

engine::DocFile* Open(ProbeEnv& env) {
    engine::FileHeader header;
    graphics::CloseQwgOutline();
    if (engine::DocFile* f = env.OpenLogged(env.file, &header)) {
        if (header.FileType() == 22) graphics::StartQwgReader(f);
        return f;
    }
    return engine::OpenDocFile(env.file, engine::kOpenRead | engine::kOpenIgnored);
}

void Close(engine::DocFile* f) {
    graphics::StopQwgReader(f);
    if (engine::Ctx().doc.file == f)
        engine::CloseDocument(f);
    else
        engine::CloseDocFile(f);
}

uint32_t Arg32(const std::string& text) {
    const int64_t v = ProbeEnv::ParseInt(text);
    if (v < 0 || v > 0xFFFFFFFFLL) throw UsageError("out of range: " + text);
    return static_cast<uint32_t>(v);
}

int RunListQwgRecords(ProbeEnv& env, const Args& args) {
    if (args.size() != 0 && args.size() != 2 && args.size() != 3)
        throw UsageError("ListQwgRecords takes [MASK33-64 MASK1-32] [BASE]");
    const uint32_t mask33 = args.size() >= 2 ? Arg32(args[0]) : 0xFFFFFFFF;
    const uint32_t mask1 = args.size() >= 2 ? Arg32(args[1]) : 0xFFFFFFFF;
    const uint32_t base = args.size() == 3 ? Arg32(args[2]) : 0;
    engine::DocFile* f = Open(env);
    if (!f) return -1;
    const int r = graphics::ListQwgRecords(f, env.Target(), env.options.mode, mask33, mask1, base);
    Close(f);
    return r;
}
PROBE_ENTRY_POINT(ListQwgRecords, "[MASK33-64 MASK1-32] [BASE]", RunListQwgRecords);

int RunDumpQwgRecordAt(ProbeEnv& env, const Args& args) {
    if (args.empty() || args.size() > 2) throw UsageError("DumpQwgRecordAt takes ITEMDATA [BASE]");
    const uint32_t item = Arg32(args[0]);
    const uint32_t base = args.size() == 2 ? Arg32(args[1]) : 0;
    engine::DocFile* f = Open(env);
    if (!f) return -1;
    const int r = graphics::DumpQwgRecordAt(f, env.Target(), item, env.options.mode, base);
    Close(f);
    return r;
}
PROBE_ENTRY_POINT(DumpQwgRecordAt, "ITEMDATA [BASE]   (--mode 263|264)", RunDumpQwgRecordAt);

int RunCheckQwgRecords(ProbeEnv& env, const Args& args) {
    if (args.size() > 1) throw UsageError("CheckQwgRecords takes [BASE]");
    const uint32_t base = args.size() == 1 ? Arg32(args[0]) : 0;
    engine::DocFile* f = Open(env);
    if (!f) return -1;
    const int r = graphics::CheckQwgRecords(f, env.Target(), base);
    Close(f);
    return r;
}
PROBE_ENTRY_POINT(CheckQwgRecords, "[BASE]   (the target is the error list)", RunCheckQwgRecords);

// Detail and header lines on, the target as the sink.
void SetUpPrefixPass(ProbeEnv& env, engine::DocFile* f) {
    graphics::ResetQwgDumper();
    graphics::GraphicsState& g = graphics::Gfx();
    g.file = f;
    g.detail = true;
    g.headerLinesOff = false;
    g.quiet = false;
    g.dumpFlags = graphics::kDumpPlainLines;
    g.sink = env.Target();
}

int RunReadFilePrefix(ProbeEnv& env, const Args& args) {
    if (args.size() > 1) throw UsageError("ReadFilePrefix takes [BASE]");
    const uint32_t base = args.size() == 1 ? Arg32(args[0]) : 0;
    engine::DocFile* f = Open(env);
    if (!f) return -1;
    SetUpPrefixPass(env, f);
    if (!graphics::HasQwgReader(f)) graphics::StartQwgReader(f);
    uint8_t product = 0, fileType = 0;
    const int r = graphics::ReadFilePrefix(&product, &fileType, base);
    env.Log(engine::Format("product=%u file type=%u position=%X", product, fileType, graphics::Gfx().bytePosition));
    Close(f);
    return r;
}
PROBE_ENTRY_POINT(ReadFilePrefix, "[BASE]", RunReadFilePrefix);

int RunDumpEmbeddedRecords(ProbeEnv& env, const Args& args) {
    if (args.size() != 2 && args.size() != 3)
        throw UsageError("DumpEmbeddedRecords takes START END [list|detail]");
    const uint32_t start = Arg32(args[0]);
    const uint32_t end = Arg32(args[1]);
    const std::string pass = args.size() == 3 ? args[2] : "list";
    if (pass != "list" && pass != "detail") throw UsageError("the pass is list or detail");
    engine::DocFile* f = Open(env);
    if (!f) return -1;
    graphics::ResetQwgDumper();
    graphics::GraphicsState& g = graphics::Gfx();
    g.file = f;
    g.detail = false;
    g.headerLinesOff = true;
    g.quiet = false;
    g.dumpFlags = pass == "list" ? graphics::kDumpOutline : graphics::kDumpPlainLines;
    if (!graphics::HasQwgReader(f)) graphics::StartQwgReader(f);
    uint8_t product = 0, fileType = 0;
    if (!graphics::ReadFilePrefix(&product, &fileType, 0)) {
        Close(f);
        return 0;
    }
    g.sink = env.Target();
    if (pass == "detail") {
        g.detail = true;
        g.headerLinesOff = false;
        g.hexDump = 1;
    }
    graphics::QwgReaderSeek(f, start, 0);
    g.bytePosition = start;
    g.recordEnd = end;
    // As inside the enclosing record's handler: one level deeper, one step in.
    g.nesting = 1;
    g.out.ChangeIndent(graphics::kIndentIn);
    const int r = graphics::DumpEmbeddedRecords();
    env.Log(engine::Format("position=%X record end=%X", g.bytePosition, g.recordEnd));
    Close(f);
    return r;
}
PROBE_ENTRY_POINT(DumpEmbeddedRecords, "START END [list|detail]", RunDumpEmbeddedRecords);

}  // namespace
