// libFuzzer target: every document entry point over one input file.

#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/DocFile.h"
#include "engine/Document.h"
#include "engine/EngineContext.h"
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
    engine::CloseDocument(f);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (WriteScratch(data, size)) RunEntryPoints(ScratchPath());
    if (testsupport::WriteCompound(CompoundPath(), std::vector<uint8_t>(data, data + size)))
        RunEntryPoints(CompoundPath());
    return 0;
}
