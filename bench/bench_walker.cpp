// bench_walker: ListDocumentCodes over a generated 64 MB body (text, codes,
// functions with prefix ids, undo areas) into a list that only counts;
// prints the best of a few runs in MB/s.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/WalkerBody.h"
#include "engine/DocFile.h"
#include "engine/Document.h"
#include "engine/EngineContext.h"
#include "engine/TextOps.h"
#include "tests/support/CompoundBuilder.h"
#include "tests/support/DocBuilder.h"
#include "tests/support/Recording.h"

namespace {

constexpr int kRuns = 3;
constexpr size_t kBodyBytes = size_t{64} << 20;

class CountingList final : public engine::ListTarget {
public:
    void Append(std::string_view, uint32_t) override { ++count; }
    size_t Size() const override { return count; }
    std::string Text(size_t) const override { return {}; }
    uint32_t Tag(size_t) const override { return 0; }
    void RemoveLast() override {
        if (count) --count;
    }
    size_t count = 0;
};

}  // namespace

int main() {
    testsupport::ScopedTempDir dir;
    const std::string path = dir.File("body.qwd");
    testsupport::DocBuilder b;
    const bench::WalkerBody body(b);
    for (size_t round = 0; b.body.Bytes().size() < kBodyBytes; ++round) body.AddRound(b.body, round);
    if (!b.WriteFile(path)) {
        std::fprintf(stderr, "bench_walker: cannot write %s\n", path.c_str());
        return 1;
    }
    const double mb = static_cast<double>(b.body.Bytes().size()) / (1024.0 * 1024.0);

    testsupport::ScopedContext ctx;
    engine::Ctx().sink.defaultList = nullptr;
    engine::Ctx().hosts.progress = nullptr;
    engine::FileHeader header;
    int readOnly = 0, verdict = 0;
    engine::DocFile* f = engine::OpenDocument(path, &header, &readOnly, &verdict);
    if (!f) {
        std::fprintf(stderr, "bench_walker: cannot open (verdict %d)\n", verdict);
        return 1;
    }
    double best = 1e300;
    size_t lines = 0;
    for (int i = 0; i < kRuns; ++i) {
        CountingList list;
        const auto start = std::chrono::steady_clock::now();
        if (engine::ListDocumentCodes(f, &list, engine::kModeDecoded, 0xFFFFFFFF, 0xFFFFFFFF,
                                      engine::kWalkToEnd) != 0)
            std::abort();
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
        lines = list.count;
    }
    engine::CloseDocument(f);
    std::printf("ListDocumentCodes: %.1f MB body, %zu lines, best %.3f s, %.1f MB/s\n", mb, lines, best,
                mb / best);
    return 0;
}
