// bench_describe: the describers at three sizes each.
//  - the detail of every packet of a document of packets of all kinds, with
//    child lists and text blocks (4,095 / 16,383 / 65,535 index entries);
//  - every code of a body holding every described function row, each
//    described on its own as the Codes page does, beside the listing of the
//    same body (bench_walker's ListDocumentCodes) in the same run, 1 / 8 /
//    64 MB. Three bodies: bench_walker's rounds, each followed by one
//    described function; the extremes, a described function after every two
//    characters (dense) and after every 400 (sparse).
// Every code is described in the two forms the Codes page has: the printout
// of every item (each line of the code list described in turn into one
// details list) and a click on each row (the details list emptied, the row's
// place described).
// Prints lines/s and MB/s of each, the best of a few runs.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/WalkerBody.h"
#include "engine/Describe.h"
#include "engine/Describer.h"
#include "engine/DocFile.h"
#include "engine/Document.h"
#include "engine/EngineContext.h"
#include "engine/Operation.h"
#include "engine/TextOps.h"
#include "tests/support/CompoundBuilder.h"
#include "tests/support/DocBuilder.h"
#include "tests/support/Recording.h"

namespace {

using Clock = std::chrono::steady_clock;

class CountingList final : public engine::ListTarget {
public:
    void Append(std::string_view, uint32_t tag) override {
        ++count;
        if (keepTags) tags.push_back(tag);
    }
    size_t Size() const override { return count; }
    std::string Text(size_t) const override { return {}; }
    uint32_t Tag(size_t i) const override { return i < tags.size() ? tags[i] : 0; }
    void RemoveLast() override {
        if (count) --count;
        if (!tags.empty()) tags.pop_back();
    }
    size_t count = 0;
    bool keepTags = false;
    std::vector<uint32_t> tags;
};

// A window keeps its last title; the test doubles keep every one.
class TitleWindow final : public engine::WindowHost {
public:
    void SetTitle(const std::string& t) override { title = t; }
    void Beep() override {}
    std::string title;
};

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

engine::DocFile* Open(const std::string& path) {
    engine::FileHeader header;
    int readOnly = 0, verdict = 0;
    engine::DocFile* f = engine::OpenDocument(path, &header, &readOnly, &verdict);
    if (!f) {
        std::fprintf(stderr, "bench_describe: cannot open %s (verdict %d)\n", path.c_str(), verdict);
        std::exit(1);
    }
    return f;
}

std::vector<uint8_t> Pattern(size_t n, unsigned seed) {
    std::vector<uint8_t> b(n);
    for (size_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>((i * 31 + seed * 7) & 0x7F);
    return b;
}

void PacketDetails(const testsupport::ScopedTempDir& dir, uint32_t entries) {
    std::vector<uint8_t> types;
    for (uint32_t t = 1; t < engine::kPacketDescriberTypes; ++t)
        if (engine::PacketDescriberOf(t) != engine::PacketDescriberId::None) types.push_back(static_cast<uint8_t>(t));
    types.push_back(0x6F);
    types.push_back(0x90);
    testsupport::DocBuilder b;
    for (uint32_t id = 1; id < entries; ++id) {
        testsupport::Packet p;
        p.type = types[id % types.size()];
        if (id % 3 == 0) p.children = {static_cast<uint16_t>(id - 1), 0};
        if (id % 2 == 0) p.blocks = {testsupport::Body().Text("Block text of a packet"), testsupport::Body().Text("more")};
        p.payload = Pattern(24 + id % 40, id);
        b.Add(p);
    }
    b.body.Text("x");
    const std::string path = dir.File("packets.qwd");
    if (!b.WriteFile(path)) std::exit(1);

    testsupport::ScopedContext ctx;
    engine::Ctx().hosts.progress = nullptr;
    engine::DocFile* f = Open(path);
    if (engine::ReadIndex(f, engine::kNoTarget) != 0) std::exit(1);
    uint64_t bytes = 0;
    for (uint32_t id = 1; id < entries; ++id) bytes += engine::Ctx().doc.packets[id].entry.DataSize();
    CountingList list;
    const auto start = Clock::now();
    for (uint32_t id = 1; id < entries; ++id) engine::DescribePacket(f, id, &list);
    const double took = Seconds(start);
    engine::CloseDocument(f);
    const double mb = static_cast<double>(bytes) / (1024.0 * 1024.0);
    std::printf("packet details  %6u entries  %7.2f MB  %9zu lines  %.3f s  %10.0f lines/s  %7.1f MB/s\n",
                entries, mb, list.count, took, static_cast<double>(list.count) / took, mb / took);
}

// Every function row with a describer, with some data of its own.
std::vector<testsupport::VarFunc> DescribedFunctions() {
    std::vector<testsupport::VarFunc> fns;
    const auto groups = engine::FunctionDescribers();
    for (size_t g = 0; g < groups.size(); ++g)
        for (size_t s = 0; s < groups[g].size(); ++s)
            if (groups[g][s] != engine::FunctionDescriberId::None)
                fns.push_back(testsupport::Func(static_cast<uint8_t>(engine::kFirstDescribedGroup + g),
                                                static_cast<uint8_t>(s), {}, Pattern(16, static_cast<unsigned>(s)),
                                                Pattern(4, 1)));
    return fns;
}

enum class Body { Walker, Dense, Sparse };

const char* NameOf(Body kind) {
    switch (kind) {
        case Body::Walker: return "walker";
        case Body::Dense: return "dense ";
        case Body::Sparse: return "sparse";
    }
    return "";
}

// The best of `reps` runs: the machine's other load only ever slows a run.
template <class Run>
double Best(int reps, Run run) {
    double best = 1e300;
    for (int i = 0; i < reps; ++i) {
        const auto start = Clock::now();
        run();
        best = std::min(best, Seconds(start));
    }
    return best;
}

void DescribeEveryCode(const testsupport::ScopedTempDir& dir, size_t bodyBytes, Body kind, int reps) {
    const std::vector<testsupport::VarFunc> fns = DescribedFunctions();
    testsupport::DocBuilder b;
    const std::string text = kind == Body::Dense ? "ab" : std::string(400, 'w');
    const bench::WalkerBody walker(b);
    for (size_t i = 0; b.body.Bytes().size() < bodyBytes; ++i) {
        if (kind == Body::Walker)
            walker.AddRound(b.body, i);
        else
            b.body.Text(text).Code(0x80);
        b.body.Var(fns[i % fns.size()]);
    }
    const std::string path = dir.File("codes.qwd");
    if (!b.WriteFile(path)) std::exit(1);
    const double mb = static_cast<double>(b.body.Bytes().size()) / (1024.0 * 1024.0);

    testsupport::ScopedContext ctx;
    TitleWindow window;
    engine::Ctx().sink.defaultList = nullptr;
    engine::Ctx().hosts.progress = nullptr;
    engine::Ctx().hosts.window = &window;
    engine::DocFile* f = Open(path);

    CountingList listing;
    const double listTook = Best(reps, [&] {
        listing = CountingList();
        listing.keepTags = true;
        if (engine::ListDocumentCodes(f, &listing, engine::kModeDecoded, 0xFFFFFFFF, 0xFFFFFFFF,
                                      engine::kWalkToEnd) != 0)
            std::abort();
    });

    // The offset of every code line, as the Codes page's rows carry it.
    const uint32_t mask = engine::Ctx().profile->tagOffsetMask;
    std::vector<uint32_t> offsets;
    for (uint32_t tag : listing.tags) {
        const uint32_t at = tag & mask;
        if (at != 0 && (offsets.empty() || offsets.back() != at)) offsets.push_back(at);
    }
    CountingList detail;
    const double describeTook = Best(reps, [&] {
        detail = CountingList();
        engine::SinkSwitches switches;
        switches.describerTarget = &detail;
        engine::OperationScope scope(engine::Operation::Detail, switches);
        for (uint32_t at : offsets)
            engine::DescribeCodeAt(f, &detail, at, engine::kModeDecoded, engine::kWalkToEnd);
    });

    // The printout of every item: each line's item data in list order.
    CountingList printout;
    const double printTook = Best(reps, [&] {
        printout = CountingList();
        engine::Ctx().describer.currentTarget = &printout;
        for (uint32_t tag : listing.tags)
            if (tag != 0) engine::DescribeCodeAt(f, &printout, tag, engine::kModeDecoded, engine::kWalkToEnd);
        engine::Ctx().describer.currentTarget = nullptr;
    });
    engine::CloseDocument(f);
    const char* name = NameOf(kind);
    std::printf("%s %5.1f MB  listing  %9zu lines  %.3f s  %10.0f lines/s  %7.1f MB/s\n", name, mb,
                listing.count, listTook, static_cast<double>(listing.count) / listTook, mb / listTook);
    std::printf("%s %5.1f MB  describe %9zu codes %9zu lines  %.3f s  %10.0f lines/s  %7.1f MB/s  (%.2f of listing MB/s)\n",
                name, mb, offsets.size(), detail.count, describeTook,
                static_cast<double>(detail.count) / describeTook, mb / describeTook, listTook / describeTook);
    std::printf("%s %5.1f MB  printout %9zu codes %9zu lines  %.3f s  %10.0f lines/s  %7.1f MB/s  (%.2f of listing MB/s)\n",
                name, mb, listing.tags.size(), printout.count, printTook,
                static_cast<double>(printout.count) / printTook, mb / printTook, listTook / printTook);
}

}  // namespace

int main(int argc, char** argv) {
    // "quick": the smaller sizes only; a number: the code bodies of that
    // many MB alone (for a profiler), then "walker", "dense" or "sparse" for
    // one kind; "--reps N": runs per figure (best kept), 3 by default.
    std::vector<std::string> args(argv + 1, argv + argc);
    int reps = 3;
    for (size_t i = 0; i + 1 < args.size(); ++i)
        if (args[i] == "--reps") {
            reps = std::max(1, std::atoi(args[i + 1].c_str()));
            args.erase(args.begin() + static_cast<std::ptrdiff_t>(i), args.begin() + static_cast<std::ptrdiff_t>(i) + 2);
            break;
        }
    const std::string arg = args.empty() ? "" : args[0];
    const std::string kind = args.size() > 1 ? args[1] : "";
    const bool quick = arg == "quick";
    const size_t only = std::strtoul(arg.c_str(), nullptr, 10);
    testsupport::ScopedTempDir dir;
    for (uint32_t entries : {4095u, 16383u, 65535u}) {
        if (only || (quick && entries > 16383u)) break;
        PacketDetails(dir, entries);
    }
    for (size_t mb : {size_t{1}, size_t{8}, size_t{64}}) {
        if (only && mb != only) continue;
        if (quick && mb > 8) break;
        for (Body body : {Body::Walker, Body::Dense, Body::Sparse})
            if (kind.empty() || kind == NameOf(body) || kind + " " == NameOf(body))
                DescribeEveryCode(dir, mb << 20, body, reps);
    }
    return 0;
}
