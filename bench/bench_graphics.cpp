// bench_graphics: lists, checks and shows the last record of generated
// graphics streams of 16, 32 and 64 MB; `cat FILE > /dev/null` is timed
// beside them.
//
// Damaged streams, dense (records of 0-300 bytes) and sparse (records of
// 1-5 KB): types 1-70 over filler bytes, associated counts, records of
// type 18 holding records, unknown types, and some records over 40960 bytes.
//
// Sound streams repeat one block: a Start record (single and double
// precision by turns), one sound record of every type 3-68 (entity heads
// moved by a translation in every third block), a Text Data record with
// every code group, a Chart and a Chart Style with every sub-record 0-27,
// an Object Capsule with an embedded graphic of three records and an image
// that is not one. Sparse blocks add a Comment, a Bitmap Data record and a
// Text Data record of 4 KB each (long data, few fields); dense ones do not.
//
//   bench_graphics              every size and kind in a scratch folder
//   bench_graphics make FILE MB dense|sparse|sound-dense|sound-sparse
//                               writes one stream
//   bench_graphics run FILE     lists, checks and shows the last record of
//                               FILE once (for a profiler)

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
#include "tests/support/QwgSound.h"

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

// One block of sound records; see the opening comment.
void AddSoundBlock(testsupport::QwgBuilder& b, uint32_t n, bool sparse) {
    using testsupport::QwgBody;
    const bool wide = n % 2 == 1;
    b.Record(4, 1, 0, testsupport::QwgStartBody(wide, wide ? 1 : 0).b);
    testsupport::AddEveryQwgType(b, wide, n % 3 == 0 ? 0x02 : 0);
    b.Record(4, 15, 0, testsupport::QwgTextCodes());
    QwgBody chart(wide);
    chart.U16(0).C(5).C(5).C(90).C(60).U8(0).U8(0).U8(0);
    b.Record(4, 31, 0, chart.b);
    QwgBody style(wide);
    style.U16(0).C(5).C(5).C(90).C(60).U8(2);
    const std::vector<uint8_t> subRecords = testsupport::QwgEverySubRecord();
    style.b.insert(style.b.end(), subRecords.begin(), subRecords.end());
    b.Record(4, 16, 0, style.b);
    QwgBody capsule(wide);
    capsule.U16(0).C(0).C(0).C(10).C(10).U16(2);
    capsule.U8(2).U8(0).U8(8).U8(0x84).U16(96).U16(96);
    capsule.U8(0x86).U8(0).U8(24).U8(0x40).U16(72).U16(72);
    b.Record(4, 33, 0, capsule.b);
    testsupport::QwgBuilder inner;
    inner.bytes.clear();
    inner.Record(4, 7, 0, QwgBody{}.U16(5).b).Record(4, 41, 0, QwgBody{}.U16(16).b).End();
    QwgBody embedded;
    embedded.U16(0);
    embedded.b.insert(embedded.b.end(), inner.bytes.begin(), inner.bytes.end());
    b.Record(4, 18, 0, embedded.b);
    b.Record(4, 18, 0, QwgBody{}.U16(0).Bytes(sparse ? 4096 : 64, 9).b);
    if (!sparse) return;
    b.Record(4, 10, 0, QwgBody{}.U32(16).Bytes(16, 'a').Bytes(4080, ' ').b);
    b.Record(4, 14, 0, QwgBody{}.U16(64).U16(64).U8(3).U8(2).Bytes(4096, 0x30).b);
    std::vector<uint8_t> text(4096);
    for (size_t i = 0; i < text.size(); ++i) text[i] = static_cast<uint8_t>('a' + i % 26);
    text.push_back(0);
    b.Record(4, 15, 0, text);
}

std::vector<uint8_t> SoundStream(size_t megabytes, bool sparse) {
    const size_t target = megabytes << 20;
    testsupport::QwgBuilder b;
    b.bytes.reserve(target + 65536);
    for (uint32_t n = 0; b.bytes.size() < target; ++n) AddSoundBlock(b, n, sparse);
    b.End();
    return b.bytes;
}

enum class Kind { Dense, Sparse, SoundDense, SoundSparse };
constexpr const char* kKindNames[] = {"dense", "sparse", "sound-dense", "sound-sparse"};

std::vector<uint8_t> MakeStream(size_t megabytes, Kind kind) {
    switch (kind) {
        case Kind::Dense: return Stream(megabytes, true);
        case Kind::Sparse: return Stream(megabytes, false);
        case Kind::SoundDense: return SoundStream(megabytes, false);
        case Kind::SoundSparse: return SoundStream(megabytes, true);
    }
    return {};
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
        for (size_t k = 0; k < std::size(kKindNames); ++k)
            if (std::strcmp(argv[4], kKindNames[k]) == 0) {
                const auto bytes = MakeStream(std::strtoul(argv[3], nullptr, 10), static_cast<Kind>(k));
                return testsupport::WriteFileBytes(argv[2], bytes) ? 0 : 1;
            }
        std::fprintf(stderr, "unknown kind %s\n", argv[4]);
        return 2;
    }
    if (argc == 3 && std::strcmp(argv[1], "run") == 0) {
        const Figures fig = Measure(argv[2]);
        std::printf("list %.3f s, %zu lines; check %.3f s, %zu errors; detail %.3f s, %zu lines\n", fig.list,
                    fig.lines, fig.check, fig.errors, fig.detail, fig.detailLines);
        return 0;
    }
    testsupport::ScopedTempDir dir;
    std::printf("%-12s %3s %8s %7s %8s %7s %8s %7s %8s %7s %8s\n", "kind", "MB", "records", "cat MB/s",
                "list s", "list MB/s", "check s", "chk MB/s", "detail s", "det MB/s", "errors");
    for (Kind kind : {Kind::Dense, Kind::Sparse, Kind::SoundDense, Kind::SoundSparse})
        for (size_t mb : {16, 32, 64}) {
            const std::string path = dir.File("bench.qwg");
            if (!testsupport::WriteFileBytes(path, MakeStream(mb, kind))) return 1;
            const Figures fig = Measure(path);
            const double size = static_cast<double>(mb);
            std::printf("%-12s %3zu %8zu %7.0f %8.3f %7.0f %8.3f %7.0f %8.3f %7.0f %8zu\n",
                        kKindNames[static_cast<int>(kind)], mb, fig.lines, size / fig.cat, fig.list,
                        size / fig.list, fig.check, size / fig.check, fig.detail, size / fig.detail, fig.errors);
            std::fflush(stdout);
        }
    return 0;
}
