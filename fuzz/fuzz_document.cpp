// libFuzzer target: every document entry point over one input file; every
// input is checked twice and the two checks must agree.

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "engine/Check.h"
#include "engine/DocFile.h"
#include "engine/Document.h"
#include "engine/EngineContext.h"
#include "engine/Repair.h"
#include "fuzz/FuzzProfile.h"
#include "tests/support/CompoundBuilder.h"
#include "tests/support/Recording.h"

namespace {

// Scratch files for the whole run, rewritten per input: the input as a
// plain file, and the input as the main stream of a compound file.
std::string MakeScratch() {
    const char* tmp = std::getenv("TMPDIR");
    std::string templ = std::string(tmp && *tmp ? tmp : "/tmp") + "/fuzz_document.XXXXXX";
    int fd = mkstemp(templ.data());
    if (fd < 0) std::abort();
    close(fd);
    return templ;
}

const std::string& CompoundPath() {
    static const std::string path = [] {
        std::string p = MakeScratch();
        std::atexit([] { unlink(CompoundPath().c_str()); });
        return p;
    }();
    return path;
}

const std::string& ScratchPath() {
    static const std::string path = [] {
        std::string p = MakeScratch();
        std::atexit([] { unlink(ScratchPath().c_str()); });
        return p;
    }();
    return path;
}

const std::string& RepairPath() {
    static const std::string path = [] {
        std::string p = MakeScratch();
        std::atexit([] { unlink(RepairPath().c_str()); });
        return p;
    }();
    return path;
}

bool WriteScratch(const uint8_t* data, size_t size) {
    int fd = open(ScratchPath().c_str(), O_WRONLY | O_TRUNC);
    if (fd < 0) return false;
    size_t done = 0;
    while (done < size) {
        ssize_t n = write(fd, data + done, size - done);
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    return close(fd) == 0 && done == size;
}

// What one check leaves: its lines and every table and figure it built.
struct CheckResult {
    std::vector<std::pair<std::string, uint32_t>> lines;
    std::vector<std::array<uint32_t, 5>> refs, ranges, counts;
    std::vector<uint32_t> figures;
    bool operator==(const CheckResult&) const = default;
};

CheckResult TakeResult(const testsupport::RecordingList& list, int result) {
    CheckResult out;
    for (const auto& l : list.lines) out.lines.emplace_back(l.text, l.tag);
    const engine::CheckState& st = engine::Ctx().check;
    for (const engine::PacketRef& r : st.refs)
        out.refs.push_back({r.kind, r.subKind, r.referenced, r.referencing, r.offset});
    for (const engine::InvalidRange& r : st.ranges)
        out.ranges.push_back({r.start, r.end, r.owner, r.block, r.value});
    for (const engine::PacketEntry& p : engine::Ctx().doc.packets)
        out.counts.push_back({p.countedUses, p.countedHidden, p.minUseCount, p.refsBooked,
                              static_cast<uint32_t>(p.firstRefSlot)});
    const engine::CheckTotals& t = st.totals;
    out.figures = {t.extraBytes, t.overlapBytes, t.usedBytes, t.deletedBytes, t.deletedCount, t.usedCount,
                   t.emptyCount, t.unusedStyleBytes, t.undoBytes, static_cast<uint32_t>(st.countMismatches),
                   static_cast<uint32_t>(st.otherFindings), st.corruptFound, st.complete,
                   static_cast<uint32_t>(result)};
    return out;
}

// Two checks of the same bytes must agree line for line and table for
// table; then the usage lists, the fixes, the index written back and a
// check of what was written.
void CheckTwice(engine::DocFile* f, testsupport::ScopedContext& ctx) {
    ctx.list.lines.clear();
    const CheckResult first = TakeResult(ctx.list, engine::RunDocumentCheck(f, &ctx.list));
    ctx.list.lines.clear();
    const CheckResult second = TakeResult(ctx.list, engine::RunDocumentCheck(f, &ctx.list));
    if (first != second) std::abort();
    // Big tables take the same paths as small ones, only slower.
    if (engine::Ctx().doc.packets.size() > 4096) return;

    engine::CheckDocument(f, engine::kNoTarget);
    engine::CheckDocument(f, engine::SilentTarget());
    engine::QWFixPacketCounts(&ctx.list);
    engine::WriteIndex(f, &ctx.list);
    const uint32_t count = static_cast<uint32_t>(engine::Ctx().doc.packets.size());
    if (count > 1) engine::ListPacketUsage(f, &ctx.detail, 1, engine::kModeDecoded);
    if (count > 2) engine::ListPacketUsage(f, &ctx.detail, 2, engine::kModeHex);
    engine::ListPacketUsage(f, &ctx.detail, count, engine::kModeDecoded);
    engine::Ctx().doc.changed = true;
    engine::RecheckDocument(f, &ctx.list);
}

// Every repair at once, into a scratch file of its own.
void RepairInto(const std::string& path, testsupport::ScopedContext& ctx) {
    // The older inspector has no repair.
    if (fuzzprofile::Glimmet() || engine::Ctx().doc.packets.size() > 4096) return;
    engine::RepairJob job;
    job.repairCorruption = job.removeUndo = job.removeUnusedStyles = true;
    job.prompts = false;
    job.outputName = RepairPath();
    job.repairedFileName = path;
    job.log = &ctx.logList;
    job.findings = &ctx.list;
    engine::RepairDocument(job);
}

void RunEntryPoints(const std::string& path) {
    testsupport::ScopedContext ctx;
    engine::FileHeader header;
    int readOnly = 0;
    int verdict = 0;
    engine::DocFile* f = engine::OpenDocument(path, &header, &readOnly, &verdict);
    if (!f) return;
    engine::ListFileHeader(f, &ctx.list);
    engine::ReadIndex(f, &ctx.list);
    engine::PacketFilter filter;
    for (uint32_t& w : filter.words) w = 0xFFFFFFFF;
    engine::ListAllPackets(f, &ctx.list, engine::kModeDecoded, &filter, 0);
    const size_t count = engine::Ctx().doc.packets.size();
    for (uint32_t id = 0; id < count && id < 8; ++id) {
        engine::ShowPacketDetail(f, &ctx.detail, static_cast<int32_t>(id), engine::kModeHex, nullptr);
        engine::ShowPacketDetail(f, &ctx.detail, static_cast<int32_t>(id), engine::kModeDecoded, nullptr);
    }
    std::string text;
    engine::ShowFileFormat(f, &text, &ctx.tree, header);
    engine::Ctx().describer.currentTarget = &ctx.detail;
    engine::ShowFileFormat(f, &text, nullptr, header);
    engine::Ctx().describer.currentTarget = nullptr;
    CheckTwice(f, ctx);
    // The repair never changes the file it reads.
    const std::vector<uint8_t> before = testsupport::ReadFileBytes(path);
    RepairInto(path, ctx);
    if (testsupport::ReadFileBytes(path) != before) std::abort();
    engine::CloseDocument(f);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzprofile::Install();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (WriteScratch(data, size)) RunEntryPoints(ScratchPath());
    if (testsupport::WriteCompound(CompoundPath(), std::vector<uint8_t>(data, data + size)))
        RunEntryPoints(CompoundPath());
    return 0;
}
