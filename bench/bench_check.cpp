// bench_check: opens and checks generated documents of two kinds at 16, 64
// and 256 MB, each in a child process so that its peak memory is its own,
// and times `cat FILE > /dev/null` beside it in the same run: the best of
// five of each (wall seconds; "cpu s" is the child's user + system time).
//
// Both kinds have 3000 packets: 1000 fonts, 1000 styles with child lists
// naming fonts, 1000 boxes with two text blocks (a function with a prefix id
// in each, damage in every 250th). Their bodies differ:
// - plain: a 64-character sentence (words between 0x20 codes), a code and an
//   attribute, a font change with one prefix id, more text; a style change
//   with two ids every 16th round, an undo area every 512th (about one per
//   60 KB), a broken function every 65536th round.
// - dense: six 76-character sentences, each followed by a 0x20 code and a
//   font change with one prefix id, a code and an attribute, then an undo
//   area holding text and one more font change; a style change with two ids
//   every 8th round, a broken function every 65536th round. That is one
//   booked reference about every 82 bytes and one undo area about every 595:
//   64 MB hold about 113,000 undo areas and 822,000 booked references.
//
//   bench_check                        both kinds, three sizes, in a scratch folder
//   bench_check make FILE MB [dense]   writes one document (plain unless dense)
//   bench_check check FILE             opens and checks it, prints seconds and lines

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/Check.h"
#include "engine/DocFile.h"
#include "engine/Document.h"
#include "engine/EngineContext.h"
#include "tests/support/CompoundBuilder.h"
#include "tests/support/DocBuilder.h"

namespace {

using testsupport::Body;
using testsupport::DocBuilder;
using testsupport::Func;
using testsupport::Packet;
using testsupport::VarFunc;

constexpr int kFonts = 1000, kStyles = 1000, kBoxes = 1000;
constexpr int kRuns = 5;

// Counts the lines the check writes and keeps the last one (the verdict).
class CountingList final : public engine::ListTarget {
public:
    void Append(std::string_view text, uint32_t) override {
        ++count;
        last.assign(text);
    }
    size_t Size() const override { return count; }
    std::string Text(size_t) const override { return last; }
    uint32_t Tag(size_t) const override { return 0; }
    void RemoveLast() override {}
    size_t count = 0;
    std::string last;
};

enum class Kind { Plain, Dense };

bool Make(const std::string& path, size_t megabytes, Kind kind) {
    DocBuilder b;
    for (int i = 0; i < kFonts; ++i) {
        Packet p;
        p.type = 0x20;
        p.payload = {'F', static_cast<uint8_t>(i), static_cast<uint8_t>(i >> 8)};
        b.Add(p);
    }
    for (int i = 0; i < kStyles; ++i) {
        Packet p;
        p.type = 0x30;
        p.children = {static_cast<uint16_t>(1 + i % kFonts), static_cast<uint16_t>(1 + (i * 7) % kFonts)};
        b.Add(p);
    }
    for (int i = 0; i < kBoxes; ++i) {
        Packet p;
        p.type = 0x0C;
        Body block;
        block.Text("Boxed text of a sub-document").Var(Func(0xD4, 0x09, {static_cast<uint16_t>(kFonts + 1 + i % kStyles)}));
        if (i % 250 == 7) block.Code(0xFF).Text("damaged");  // damage in a few blocks
        p.blocks = {block, Body().Text("second block")};
        b.Add(p);
    }
    const size_t target = megabytes << 20;
    static const char kLine[] = "The quick brown fox jumps over the lazy dog and keeps on running";
    VarFunc broken = Func(0xD3, 0x01, {}, {0x10, 0x00});
    broken.trailerSize = 0x0999;
    static const char kSentence[] =
        "Every dense page changes its font between sentences, quite often in mid line";
    for (uint32_t n = 0; kind == Kind::Dense && b.body.Bytes().size() < target; ++n) {
        const auto style = static_cast<uint16_t>(kFonts + 1 + n % kStyles);
        for (uint32_t k = 0; k < 6; ++k) {
            const auto font = static_cast<uint16_t>(1 + (n * 7 + k) % kFonts);
            b.body.Text(kSentence).Code(0x20).Var(Func(0xD4, 0x1A, {font}, {0x01, 0x02}));
        }
        b.body.Code(0x0A).Fixed({0xF2, 0x01, 0xF2});
        b.body.UndoStart().Text("deleted words").Var(Func(0xD4, 0x1A, {static_cast<uint16_t>(1 + n % kFonts)})).UndoEnd();
        if (n % 8 == 0) b.body.Var(Func(0xDD, 0x00, {style, static_cast<uint16_t>(1 + n % kFonts)}));
        if (n % 65536 == 1000) b.body.Var(broken).Text("after the damage");
    }
    for (uint32_t n = 0; kind == Kind::Plain && b.body.Bytes().size() < target; ++n) {
        const auto font = static_cast<uint16_t>(1 + n % kFonts);
        const auto style = static_cast<uint16_t>(kFonts + 1 + n % kStyles);
        b.body.Text(kLine).Code(0x0A).Fixed({0xF2, 0x01, 0xF2});
        b.body.Var(Func(0xD4, 0x1A, {font}, {0x01, 0x02})).Text("more text").Code(0x8C);
        if (n % 16 == 0) b.body.Var(Func(0xDD, 0x00, {style, font}));
        if (n % 512 == 0) b.body.UndoStart().Text("deleted words").Var(Func(0xD4, 0x1A, {font})).UndoEnd();
        if (n % 65536 == 1000) b.body.Var(broken).Text("after the damage");
    }
    return b.WriteFile(path);
}

// A child started by RunChild has fd 3 for its peak memory: the high-water
// mark of its own image (a fork's pages before the exec do not count).
constexpr int kPeakFd = 3;

void ReportPeak() {
    if (fcntl(kPeakFd, F_GETFD) == -1) return;
    FILE* status = std::fopen("/proc/self/status", "r");
    if (!status) return;
    char row[256];
    long kb = -1;
    while (std::fgets(row, sizeof row, status))
        if (std::sscanf(row, "VmHWM: %ld kB", &kb) == 1) break;
    std::fclose(status);
    const std::string text = std::to_string(kb);
    if (write(kPeakFd, text.data(), text.size()) < 0) return;
}

int Check(const std::string& path) {
    const auto start = std::chrono::steady_clock::now();
    engine::FileHeader header;
    int readOnly = 0, verdict = 0;
    engine::DocFile* f = engine::OpenDocument(path, &header, &readOnly, &verdict);
    if (!f) {
        std::fprintf(stderr, "bench_check: cannot open %s (verdict %d)\n", path.c_str(), verdict);
        return 1;
    }
    CountingList list;
    const int r = engine::RunDocumentCheck(f, &list);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::printf("%.3f %zu %zu %zu %s\n", took.count(), list.count, engine::Ctx().check.refs.size(),
                engine::Ctx().check.ranges.size(), list.last.c_str());
    engine::CloseDocument(f);
    ReportPeak();
    return r == 0 ? 0 : 1;
}

// Runs `check` in a child; its output line, peak memory and CPU seconds.
bool RunChild(const char* self, const std::string& path, std::string* line, long* peakKb, double* cpu) {
    int out[2], peak[2];
    if (pipe(out) != 0) return false;
    if (pipe(peak) != 0) return false;
    const pid_t pid = fork();
    if (pid < 0) return false;
    if (pid == 0) {
        // The read ends first: one of them may have the number kPeakFd.
        close(out[0]);
        close(peak[0]);
        dup2(out[1], 1);
        if (peak[1] != kPeakFd) dup2(peak[1], kPeakFd);
        execl(self, self, "check", path.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(out[1]);
    close(peak[1]);
    char buf[512];
    ssize_t n;
    while ((n = read(out[0], buf, sizeof buf)) > 0) line->append(buf, static_cast<size_t>(n));
    close(out[0]);
    std::string peakText;
    while ((n = read(peak[0], buf, sizeof buf)) > 0) peakText.append(buf, static_cast<size_t>(n));
    close(peak[0]);
    int status = 0;
    struct rusage ru {};
    if (wait4(pid, &status, 0, &ru) != pid) return false;
    *peakKb = peakText.empty() ? ru.ru_maxrss : std::atol(peakText.c_str());
    *cpu = static_cast<double>(ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) +
           static_cast<double>(ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e6;
    while (!line->empty() && line->back() == '\n') line->pop_back();
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Seconds of `cat path > /dev/null`; negative when it could not run.
double CatSeconds(const std::string& path) {
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid < 0) return -1;
    if (pid == 0) {
        const int null = open("/dev/null", O_WRONLY);
        if (null < 0) _exit(127);
        dup2(null, 1);
        execlp("cat", "cat", path.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    return took.count();
}

}  // namespace

int main(int argc, char** argv) {
    if ((argc == 4 || argc == 5) && std::strcmp(argv[1], "make") == 0) {
        const bool dense = argc == 5 && std::strcmp(argv[4], "dense") == 0;
        if (argc == 5 && !dense) {
            std::fprintf(stderr, "bench_check: unknown kind %s\n", argv[4]);
            return 2;
        }
        return Make(argv[2], static_cast<size_t>(std::atoi(argv[3])), dense ? Kind::Dense : Kind::Plain) ? 0 : 1;
    }
    if (argc == 3 && std::strcmp(argv[1], "check") == 0) return Check(argv[2]);
    if (argc != 1) {
        std::fprintf(stderr, "usage: bench_check [make FILE MB [dense] | check FILE]\n");
        return 2;
    }
    testsupport::ScopedTempDir dir;
    std::printf("%-5s %4s %10s %8s %6s %7s %9s %8s %8s %7s %6s  %s\n", "kind", "MB", "bytes", "seconds",
                "cpu s", "MB/s", "peak KB", "over KB", "cat s", "cat/s", "lines", "verdict");
    int failed = 0;
    for (const Kind kind : {Kind::Plain, Kind::Dense}) {
        const char* name = kind == Kind::Dense ? "dense" : "plain";
        for (size_t mb : {16u, 64u, 256u}) {
            const std::string path = dir.File(std::string("bench-") + name + "-" + std::to_string(mb) + ".qwd");
            if (!Make(path, mb, kind)) {
                std::fprintf(stderr, "bench_check: cannot write %s\n", path.c_str());
                return 1;
            }
            struct stat st {};
            stat(path.c_str(), &st);
            // The best of a few runs of each: the machine is shared.
            std::string line;
            long peakKb = 0;
            double seconds = 1e300, cpu = 0, cat = 1e300;
            size_t lines = 0, refs = 0, ranges = 0;
            char verdict[128] = {};
            bool ok = true;
            for (int run = 0; run < kRuns && ok; ++run) {
                const double c = CatSeconds(path);
                if (c >= 0) cat = std::min(cat, c);
                std::string l;
                long kb = 0;
                double used = 0, took = 0;
                ok = RunChild(argv[0], path, &l, &kb, &used);
                std::sscanf(l.c_str(), "%lf %zu %zu %zu %127[^\n]", &took, &lines, &refs, &ranges, verdict);
                if (ok && took < seconds) {
                    seconds = took;
                    cpu = used;
                }
                peakKb = std::max(peakKb, kb);
                line = l;
            }
            if (!ok) {
                std::fprintf(stderr, "bench_check: the check of %s failed: %s\n", path.c_str(), line.c_str());
                ++failed;
                unlink(path.c_str());
                continue;
            }
            const double mbytes = static_cast<double>(st.st_size) / (1 << 20);
            const long overKb = peakKb - static_cast<long>(st.st_size / 1024);
            std::printf("%-5s %4zu %10lld %8.3f %6.3f %7.1f %9ld %8ld %8.3f %7.0f %6zu  %s (%zu references, %zu ranges)\n",
                        name, mb, static_cast<long long>(st.st_size), seconds, cpu, mbytes / seconds, peakKb,
                        overKb, cat, cat > 0 ? mbytes / cat : 0.0, lines, verdict, refs, ranges);
            std::fflush(stdout);
            unlink(path.c_str());
        }
    }
    return failed == 0 ? 0 : 1;
}
