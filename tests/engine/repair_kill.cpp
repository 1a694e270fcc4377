// Kills in-place repairs of a generated 64 MB document (plain and compound)
// at 50 random points each: the document is each time byte-identical to the
// original or to an uninterrupted run's output, and the next run in its
// folder leaves no temporary file.
//
//   repair_kill [MB [KILLS]]

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "engine/Check.h"
#include "engine/Document.h"
#include "engine/EngineContext.h"
#include "engine/Repair.h"
#include "tests/support/CompoundBuilder.h"
#include "tests/support/Recording.h"
#include "tests/support/RepairDocs.h"

namespace {

using Clock = std::chrono::steady_clock;

// Opens, checks and repairs `path` in place; 0 when the run went through.
int RepairInPlace(const std::string& path) {
    testsupport::ScopedContext ctx;
    engine::FileHeader h;
    int ro = 0, verdict = 0;
    engine::DocFile* f = engine::OpenDocument(path, &h, &ro, &verdict);
    if (!f) return 2;
    engine::CheckDocument(f, engine::SilentTarget());
    engine::RepairJob job;
    job.repairCorruption = job.removeUndo = job.removeUnusedStyles = true;
    job.prompts = false;
    job.outputName = path;
    job.outputReplacesInput = true;
    job.repairedFileName = path;
    job.log = &ctx.logList;
    engine::RepairDocument(job);
    engine::CloseDocument(f);
    return ctx.messages.boxes.empty() ? 0 : 1;
}

pid_t Start(const std::string& path) {
    const pid_t pid = fork();
    if (pid == 0) _exit(RepairInPlace(path));
    return pid;
}

bool Kind(const char* name, const std::vector<uint8_t>& original, testsupport::ScopedTempDir& dir, int kills,
          std::mt19937& random) {
    const std::string doc = dir.File("doc.qwd");
    testsupport::WriteFileBytes(doc, original);
    const auto t = Clock::now();
    const pid_t first = Start(doc);
    int status = 0;
    waitpid(first, &status, 0);
    const double full = std::chrono::duration<double>(Clock::now() - t).count();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::printf("%s: the uninterrupted run failed\n", name);
        return false;
    }
    const std::vector<uint8_t> repaired = testsupport::ReadFileBytes(doc);
    if (repaired == original) {
        std::printf("%s: the uninterrupted run changed nothing\n", name);
        return false;
    }
    std::uniform_real_distribution<double> at(0.0, full);
    int asOriginal = 0, asRepaired = 0, finished = 0;
    bool ok = true;
    for (int i = 0; i < kills; ++i) {
        testsupport::WriteFileBytes(doc, original);
        const double delay = at(random);
        const pid_t pid = Start(doc);
        std::this_thread::sleep_for(std::chrono::duration<double>(delay));
        if (kill(pid, SIGKILL) != 0) ++finished;
        waitpid(pid, &status, 0);
        const std::vector<uint8_t> now = testsupport::ReadFileBytes(doc);
        if (now == original) ++asOriginal;
        else if (now == repaired) ++asRepaired;
        else {
            std::printf("%s: kill %d at %.3f s left a document that is neither\n", name, i, delay);
            ok = false;
        }
        // The next run in the folder clears what the killed one left.
        if (i % 10 == 9 || i == kills - 1) {
            testsupport::WriteFileBytes(doc, original);
            const pid_t next = Start(doc);
            waitpid(next, &status, 0);
            const auto entries = dir.Entries();
            if (entries != std::vector<std::string>{"doc.qwd"}) {
                std::printf("%s: after the next run the folder holds %zu entries\n", name, entries.size());
                ok = false;
            }
        }
    }
    std::printf("%-8s run %.3f s; %d kills: %d original, %d repaired (%d ended before the kill)\n", name, full,
                kills, asOriginal, asRepaired, finished);
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    const size_t mb = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 64;
    const int kills = argc > 2 ? std::atoi(argv[2]) : 50;
    std::mt19937 random(20261211);
    const std::vector<uint8_t> plain = testsupport::MakeRepairDocument(mb, false).Build();
    testsupport::ScopedTempDir dir;
    bool ok = Kind("plain", plain, dir, kills, random);
    testsupport::WriteCompound(dir.File("c.qwd"), plain);
    const std::vector<uint8_t> compound = testsupport::ReadFileBytes(dir.File("c.qwd"));
    unlink(dir.File("c.qwd").c_str());
    ok = Kind("compound", compound, dir, kills, random) && ok;
    std::printf(ok ? "every document whole\n" : "FAILED\n");
    return ok ? 0 : 1;
}
