// bench_graphics: lists, checks and shows the last record of generated
// graphics streams of 16, 32 and 64 MB, dense (records of 0-300 bytes) and
// sparse (records of 1-5 KB); types 1-70, associated counts, records of
// type 18 holding records, unknown types, and some records over 40960
// bytes. `cat FILE > /dev/null` is timed beside them.
//
//   bench_graphics              every size and density in a scratch folder
//   bench_graphics make FILE MB dense|sparse   writes one stream

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/DocFile.h"
#include "engine/Document.h"
#include "engine/EngineContext.h"
#include "graphics/Dumper.h"
#include "tests/support/CompoundBuilder.h"
#include "tests/support/QwgBuilder.h"

namespace {

using Clock = std::chrono::steady_clock;

class CountingList final : public engine::ListTarget {
public:
    void Append(std::string_view text, uint32_t tag) override {
        ++count;
        lastTag = tag;
        last.assign(text);
    }
    size_t Size() const override { return count; }
    std::string Text(size_t) const override { return last; }
    uint32_t Tag(size_t) const override { return lastTag; }
    void RemoveLast() override {}
    size_t count = 0;
    uint32_t lastTag = 0;
    std::string last;
};

struct Random {
    uint64_t state = 0x9E3779B97F4A7C15ull;
    uint32_t Next() {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<uint32_t>(state >> 33);
    }
    uint32_t Below(uint32_t n) { return Next() % n; }
};

std::vector<uint8_t> Stream(size_t megabytes, bool dense) {
    const size_t target = megabytes << 20;
    testsupport::QwgBuilder b;
    b.bytes.reserve(target + 65536);
    Random r;
    b.Record(4, 1, 0, std::vector<uint8_t>(30, 1));
    std::vector<uint8_t> data;
    for (uint32_t n = 1; b.bytes.size() < target; ++n) {
        uint32_t type = 1 + r.Below(70);
        if (type == 2) type = 3;
        uint32_t size = dense ? r.Below(301) : 1000 + r.Below(4001);
        if (n % 2000 == 0) size = 40961 + r.Below(10000);
        if (n % 97 == 0) type = r.Below(2) ? 0 : 71 + r.Below(185);
        const uint32_t associated = n % 50 == 0 ? 1 + r.Below(3) : 0;
        data.assign(size, static_cast<uint8_t>(n));
        if (type == 18 && size > 20) {
            // Records inside the record.
            testsupport::QwgBuilder inner;
            inner.bytes.clear();
            while (inner.Size() + 12 < size) inner.Record(4, 21, 0, {1, 2, 3, 4, 5, 6});
            std::copy(inner.bytes.begin(), inner.bytes.end(), data.begin());
        }
        b.Record(static_cast<uint8_t>(2 + r.Below(8)), static_cast<uint8_t>(type), associated, data);
    }
    b.End();
    return b.bytes;
}

double Seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

struct Figures {
    double list = 0, check = 0, detail = 0, cat = 0;
    size_t lines = 0, errors = 0, detailLines = 0;
};

Figures Measure(const std::string& path) {
    Figures fig;
    const std::string cat = "cat '" + path + "' > /dev/null";
    auto t = Clock::now();
    if (std::system(cat.c_str()) != 0) std::fprintf(stderr, "cat failed\n");
    fig.cat = Seconds(t);

    engine::FileHeader header;
    int readOnly = 0, verdict = 0;
    engine::DocFile* f = engine::OpenDocument(path, &header, &readOnly, &verdict);
    if (!f) {
        std::fprintf(stderr, "%s: not opened (%d)\n", path.c_str(), verdict);
        std::exit(1);
    }
    graphics::StartQwgReader(f);
    CountingList list;
    t = Clock::now();
    graphics::ListQwgRecords(f, &list, 264, 0xFFFFFFFF, 0xFFFFFFFF, 0);
    fig.list = Seconds(t);
    fig.lines = list.count;
    const uint32_t last = list.lastTag;

    CountingList errors;
    t = Clock::now();
    graphics::CheckQwgRecords(f, &errors, 0);
    fig.check = Seconds(t);
    fig.errors = errors.count;

    CountingList detail;
    t = Clock::now();
    graphics::DumpQwgRecordAt(f, &detail, last, 264, 0);
    fig.detail = Seconds(t);
    fig.detailLines = detail.count;
    graphics::StopQwgReader(f);
    engine::CloseDocument(f);
    return fig;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::strcmp(argv[1], "make") == 0) {
        const auto bytes = Stream(std::strtoul(argv[3], nullptr, 10), std::strcmp(argv[4], "dense") == 0);
        return testsupport::WriteFileBytes(argv[2], bytes) ? 0 : 1;
    }
    testsupport::ScopedTempDir dir;
    std::printf("%-7s %5s %9s %9s %9s %9s %9s %9s %9s %9s\n", "density", "MB", "records", "cat MB/s",
                "list s", "list MB/s", "check s", "chk MB/s", "detail s", "det MB/s");
    for (bool dense : {true, false})
        for (size_t mb : {16, 32, 64}) {
            const std::string path = dir.File("bench.qwg");
            if (!testsupport::WriteFileBytes(path, Stream(mb, dense))) return 1;
            const Figures fig = Measure(path);
            const double size = static_cast<double>(mb);
            std::printf("%-7s %5zu %9zu %9.0f %9.3f %9.0f %9.3f %9.0f %9.3f %9.0f\n", dense ? "dense" : "sparse",
                        mb, fig.lines, size / fig.cat, fig.list, size / fig.list, fig.check, size / fig.check,
                        fig.detail, size / fig.detail);
        }
    return 0;
}
