// Probe entry points of the document header, index and packet table.

#include <string>

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

// Opens the probe's file as the program does; none when refused (the
// verdict is then logged).
engine::DocFile* Open(ProbeEnv& env) { return env.OpenLogged(env.file); }

// Optional filter words after the fixed arguments: none given admits all.
bool TakeFilter(const Args& args, size_t from, engine::PacketFilter* filter) {
    if (args.size() <= from) return false;
    if (args.size() - from > 8) throw UsageError("at most eight filter words");
    for (size_t i = from; i < args.size(); ++i)
        filter->words[i - from] = static_cast<uint32_t>(ProbeEnv::ParseInt(args[i]));
    return true;
}

int RunOpenDocument(ProbeEnv& env, const Args& args) {
    if (!args.empty()) throw UsageError("OpenDocument takes no arguments");
    engine::FileHeader header;
    int readOnly = -1;
    int verdict = -1;
    engine::DocFile* f = engine::OpenDocument(env.file, &header, &readOnly, &verdict);
    env.Log(engine::Format("%s verdict=%d readonly=%d", f ? "opened" : "none", verdict, readOnly));
    return verdict;
}
PROBE_ENTRY_POINT(OpenDocument, "", RunOpenDocument);

int RunReadIndex(ProbeEnv& env, const Args& args) {
    if (!args.empty()) throw UsageError("ReadIndex takes no arguments");
    engine::DocFile* f = Open(env);
    return f ? engine::ReadIndex(f, env.Target()) : -1;
}
PROBE_ENTRY_POINT(ReadIndex, "", RunReadIndex);

int RunListAllPackets(ProbeEnv& env, const Args& args) {
    const int caption = args.empty() ? 0 : static_cast<int>(ProbeEnv::ParseInt(args[0]));
    engine::PacketFilter filter;
    const bool filtered = TakeFilter(args, 1, &filter);
    engine::DocFile* f = Open(env);
    if (!f) return -1;
    return engine::ListAllPackets(f, env.Target(), env.options.mode, filtered ? &filter : nullptr,
                                  caption);
}
PROBE_ENTRY_POINT(ListAllPackets, "[CAPTION-ID [FILTER-WORD...]]", RunListAllPackets);

int RunShowPacketDetail(ProbeEnv& env, const Args& args) {
    if (args.empty()) throw UsageError("ShowPacketDetail takes a packet id");
    const int32_t id = static_cast<int32_t>(ProbeEnv::ParseInt(args[0]));
    engine::PacketFilter filter;
    const bool filtered = TakeFilter(args, 1, &filter);
    engine::DocFile* f = Open(env);
    if (!f) return -1;
    return engine::ShowPacketDetail(f, env.Target(), id, env.options.mode,
                                    filtered ? &filter : nullptr);
}
PROBE_ENTRY_POINT(ShowPacketDetail, "ID [FILTER-WORD...]", RunShowPacketDetail);

int RunListFileHeader(ProbeEnv& env, const Args& args) {
    if (!args.empty()) throw UsageError("ListFileHeader takes no arguments");
    engine::DocFile* f = Open(env);
    if (!f) return -1;
    engine::ListFileHeader(f, env.Target());
    return 0;
}
PROBE_ENTRY_POINT(ListFileHeader, "", RunListFileHeader);

// "tree": the format page's tree and text window; "target": no tree, lines
// to the describers' current target (as while printing).
int RunShowFileFormat(ProbeEnv& env, const Args& args) {
    const std::string how = args.empty() ? "tree" : args[0];
    if (args.size() > 1 || (how != "tree" && how != "target"))
        throw UsageError("ShowFileFormat takes tree or target");
    engine::DocFile* f = Open(env);
    if (!f) return -1;
    std::string text;
    if (how == "tree") {
        engine::ShowFileFormat(f, &text, &env.ctx.tree, engine::Ctx().doc.header);
    } else {
        engine::Ctx().describer.currentTarget = env.Target();
        engine::ShowFileFormat(f, &text, nullptr, engine::Ctx().doc.header);
        engine::Ctx().describer.currentTarget = nullptr;
    }
    if (!text.empty()) env.Log("window: " + text);
    return 0;
}
PROBE_ENTRY_POINT(ShowFileFormat, "[tree|target]", RunShowFileFormat);

// Dumps COUNT bytes of the file from OFFSET; a count beyond the bytes there
// is handed on as it is.
int RunHexDump(ProbeEnv& env, const Args& args) {
    if (args.size() != 2) throw UsageError("HexDump takes OFFSET and COUNT");
    const int64_t offset = ProbeEnv::ParseInt(args[0]);
    const int64_t count = ProbeEnv::ParseInt(args[1]);
    if (offset < 0) throw UsageError("negative offset");
    const std::vector<uint8_t> bytes = testsupport::ReadFileBytes(env.file);
    std::span<const uint8_t> all(bytes);
    std::span<const uint8_t> from = static_cast<uint64_t>(offset) < all.size()
                                        ? all.subspan(static_cast<size_t>(offset))
                                        : std::span<const uint8_t>();
    if (count > 0 && static_cast<uint64_t>(count) < from.size())
        from = from.first(static_cast<size_t>(count));
    engine::HexDump(count, from, env.Target());
    return 0;
}
PROBE_ENTRY_POINT(HexDump, "OFFSET COUNT", RunHexDump);

// The packet table after the operation; then the document is closed.
void PrintPacketTable(ProbeEnv& env) {
    engine::DocumentState& doc = engine::Ctx().doc;
    for (size_t i = 0; i < doc.packets.size(); ++i) {
        const engine::PacketEntry& p = doc.packets[i];
        const engine::IndexEntry& e = p.entry;
        env.Emit(engine::Format("E %X %X %X %X %X %X %X %X %X %X", static_cast<unsigned>(i), e.Flags(),
                                e.Type(), e.UseCount(), e.HiddenCount(), e.DataSize(), e.DataOffset(),
                                p.countedUses, p.countedHidden, p.minUseCount));
    }
    if (doc.file) engine::CloseDocument(doc.file);
}
PROBE_AFTER_PRINTER(PacketTable, PrintPacketTable);

}  // namespace
