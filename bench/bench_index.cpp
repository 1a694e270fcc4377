// bench_index: ReadIndex and ListAllPackets over a 65,535-entry index into a
// list target; prints the best of a few runs of each.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/DocFile.h"
#include "engine/Document.h"
#include "engine/EngineContext.h"
#include "tests/support/CompoundBuilder.h"
#include "tests/support/DocBuilder.h"
#include "tests/support/Recording.h"

namespace {

constexpr int kRuns = 5;

template <typename Fn>
double BestMs(Fn&& fn) {
    double best = 1e300;
    for (int i = 0; i < kRuns; ++i) {
        const auto start = std::chrono::steady_clock::now();
        fn();
        const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
        if (took.count() < best) best = took.count();
    }
    return best;
}

}  // namespace

int main() {
    testsupport::ScopedTempDir dir;
    const std::string path = dir.File("index.qwd");
    testsupport::DocBuilder b;
    for (int i = 1; i < 65535; ++i) {
        testsupport::Packet p;
        p.type = static_cast<uint8_t>(1 + i % 0xD6);
        p.payload = {static_cast<uint8_t>(i), static_cast<uint8_t>(i >> 8)};
        b.Add(p);
    }
    b.body.Text("body");
    if (!b.WriteFile(path)) {
        std::fprintf(stderr, "bench_index: cannot write %s\n", path.c_str());
        return 1;
    }

    testsupport::ScopedContext ctx;
    engine::FileHeader header;
    int readOnly = 0, verdict = 0;
    engine::DocFile* f = engine::OpenDocument(path, &header, &readOnly, &verdict);
    if (!f) {
        std::fprintf(stderr, "bench_index: cannot open (verdict %d)\n", verdict);
        return 1;
    }
    const double readMs = BestMs([&] {
        if (engine::ReadIndex(f, &ctx.list) != 0) std::abort();
    });
    size_t lines = 0;
    const double listMs = BestMs([&] {
        ctx.list.lines.clear();
        engine::ListAllPackets(f, &ctx.list, engine::kModeDecoded, nullptr, 0);
        lines = ctx.list.Size();
    });
    std::printf("entries          %zu\n", engine::Ctx().doc.packets.size());
    std::printf("ReadIndex        %.2f ms\n", readMs);
    std::printf("ListAllPackets   %.2f ms (%zu lines)\n", listMs, lines);
    engine::CloseDocument(f);
    return lines == 65535 ? 0 : 1;
}
