// Probe entry point of the repair. The fixture is copied into a scratch
// folder (it is never written), checked silently as the Information page
// does, and repaired with the options given; the findings list of the
// check of the copy is the target "list", the repair's log "log". After the
// run the probe logs the output's length, document offset and index, and
// whether the document itself still holds its first bytes.

#include <dirent.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <optional>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "engine/Check.h"
#include "engine/DocFile.h"
#include "engine/Document.h"
#include "engine/EngineContext.h"
#include "engine/Format.h"
#include "engine/Repair.h"
#include "tests/support/CompoundBuilder.h"
#include "tests/tools/probe/Probe.h"

namespace {

using probe::Args;
using probe::ProbeEnv;
using probe::UsageError;

// Reads touching byte `from` of the document fail.
struct FailReads final : engine::DocFileFaults {
    uint32_t from = 0;
    int64_t BeforeRead(uint32_t pos, uint32_t asked) override {
        return uint64_t{pos} + asked > from ? int64_t{-1} : int64_t{asked};
    }
};

// The N-th write of the output, or the rename that commits it when the run
// makes fewer writes, fails.
struct FailWrites final : engine::DocFileFaults {
    int64_t failAt = -1;
    int64_t writes = 0;
    bool FailWrite(uint32_t, uint32_t) override { return ++writes == failAt; }
    bool FailRename() override { return ++writes == failAt; }
};

// The sheet around the Repair page: a Save As that answers once.
struct SaveAsHost final : engine::RepairHost {
    ProbeEnv* env = nullptr;
    std::optional<std::string> answer;
    bool asked = false;
    std::optional<std::string> AskOutputName(const std::string& name) override {
        const std::optional<std::string> a = asked ? std::nullopt : answer;
        asked = true;
        env->Log("Save As " + name + " -> " + (a ? *a : std::string("cancelled")));
        return a;
    }
    bool BatchRunning() const override { return false; }
    void ClearLog() override { env->Log("log cleared"); }
    void ScrollLists() override {}
    void LoadDocument(const std::string& path) override { env->Log("load " + path); }
};

std::string scratch;

void RemoveScratch() {
    if (scratch.empty()) return;
    if (DIR* d = opendir(scratch.c_str())) {
        while (dirent* e = readdir(d)) {
            const std::string n = e->d_name;
            if (n != "." && n != "..") unlink((scratch + "/" + n).c_str());
        }
        closedir(d);
    }
    rmdir(scratch.c_str());
}

std::vector<std::string> Entries() {
    std::vector<std::string> names;
    if (DIR* d = opendir(".")) {
        while (dirent* e = readdir(d)) {
            const std::string n = e->d_name;
            if (n != "." && n != "..") names.push_back(n);
        }
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

void LogOutput(ProbeEnv& env, const std::string& name) {
    const std::vector<uint8_t> out = testsupport::ReadFileBytes(name);
    if (out.empty()) {
        env.Log(name + ": none");
        return;
    }
    if (engine::GetU32(out, 0) == 0xE011CFD0) {
        auto root = storage::CompoundFile::Open(name, false);
        if (!root) return env.Log(name + ": compound, not readable");
        std::string line = name + ": compound, root:";
        for (const storage::Element& e : root->Children(storage::kRoot)) {
            line += " ";
            for (char16_t ch : e.name) line += ch >= 32 && ch < 127 ? static_cast<char>(ch) : '?';
            if (e.kind == storage::ElementKind::Storage) {
                line += " [";
                for (const storage::Element& k : root->Children(e.id))
                    for (char16_t ch : k.name) line += static_cast<char>(ch);
                line += "]";
            }
        }
        env.Log(line);
        const storage::ClassId id = root->GetClassId(storage::kRoot).value_or(storage::ClassId{});
        env.Log(engine::Format("%s: class id starts %02X", name.c_str(), id[0]));
        return;
    }
    const uint32_t index = std::max<uint32_t>(16, engine::GetU16(out, 14));
    const uint32_t count = engine::GetU16(out, index + 2);
    env.Log(engine::Format("%s: length=%zX docOffset=%X entries=%u", name.c_str(), out.size(),
                           engine::GetU32(out, 4), count));
    for (uint32_t i = 1; i < count && i < 64; ++i) {
        const uint32_t at = index + i * 14;
        env.Log(engine::Format("  entry %X flags=%X type=%X use=%X hidden=%X size=%X offset=%X", i,
                               engine::GetU8(out, at), engine::GetU8(out, at + 1), engine::GetU16(out, at + 2),
                               engine::GetU16(out, at + 4), engine::GetU32(out, at + 6),
                               engine::GetU32(out, at + 10)));
    }
}

// Options: corruption undo styles scramble extract inplace prompts,
// failread=N, failwrite=N, output=directory|readonly|existing|symlink|hardlink
// (what stands at out.qwd before the run), readonlydoc, saveas=NAME|cancel.
int RunRepairDocument(ProbeEnv& env, const Args& args) {
    engine::RepairJob job;
    bool inPlace = false, prompts = false, readOnlyDoc = false;
    int64_t failAt = -1;
    FailWrites writes;
    std::string output;
    SaveAsHost host;
    host.env = &env;
    bool saveAs = false, again = false;
    for (const std::string& a : args) {
        if (a == "corruption") job.repairCorruption = true;
        else if (a == "undo") job.removeUndo = true;
        else if (a == "styles") job.removeUnusedStyles = true;
        else if (a == "scramble") job.scramble = true;
        else if (a == "extract") job.extract = true;
        else if (a == "inplace") inPlace = true;
        else if (a == "prompts") prompts = true;
        else if (a == "again") again = true;
        else if (a == "readonlydoc") readOnlyDoc = true;
        else if (a.rfind("failread=", 0) == 0) failAt = ProbeEnv::ParseInt(a.substr(9));
        else if (a.rfind("failwrite=", 0) == 0) writes.failAt = ProbeEnv::ParseInt(a.substr(10));
        else if (a.rfind("output=", 0) == 0) output = a.substr(7);
        else if (a.rfind("saveas=", 0) == 0) {
            saveAs = true;
            if (a != "saveas=cancel") host.answer = a.substr(7);
        } else
            throw UsageError("RepairDocument takes corruption undo styles scramble extract inplace prompts "
                             "readonlydoc again failread=N failwrite=N output=KIND saveas=NAME|cancel");
    }
    const std::vector<uint8_t> bytes = testsupport::ReadFileBytes(env.file);
    const char* tmp = std::getenv("TMPDIR");
    std::string dir = std::string(tmp && *tmp ? tmp : "/tmp") + "/probe_repair.XXXXXX";
    if (!mkdtemp(dir.data())) throw UsageError("cannot make a scratch folder");
    scratch = dir;
    std::atexit(RemoveScratch);
    // Names relative to the scratch folder keep the listing the same from run to run.
    if (chdir(dir.c_str()) != 0 || !testsupport::WriteFileBytes("doc.qwd", bytes))
        throw UsageError("cannot copy " + env.file);

    const std::string outName = job.extract ? "out.txt" : "out.qwd";
    bool made = true;
    if (output == "directory") made = mkdir(outName.c_str(), 0755) == 0;
    else if (output == "existing" || output == "readonly") {
        made = testsupport::WriteFileBytes(outName, testsupport::Bytes("old"));
        if (output == "readonly") made = made && chmod(outName.c_str(), 0444) == 0;
    } else if (output == "symlink") made = symlink("doc.qwd", outName.c_str()) == 0;
    else if (output == "hardlink") made = link("doc.qwd", outName.c_str()) == 0;
    else if (!output.empty()) throw UsageError("output= takes directory readonly existing symlink hardlink");
    if (!made) throw UsageError("cannot make " + outName);
    if (readOnlyDoc && chmod("doc.qwd", 0444) != 0) throw UsageError("cannot make doc.qwd read-only");
    // The document's date shows in the log: the same on every run.
    setenv("TZ", "UTC0", 1);
    tzset();
    const struct timeval dated[2] = {{1600000000, 0}, {1600000000, 0}};
    if (utimes("doc.qwd", dated) != 0) throw UsageError("cannot date doc.qwd");

    engine::FileHeader header;
    int readOnly = 0, verdict = 0;
    engine::DocFile* f = engine::OpenDocument("doc.qwd", &header, &readOnly, &verdict);
    if (!f) {
        env.Log(engine::Format("not opened, verdict %d", verdict));
        return -1;
    }
    engine::CheckDocument(f, engine::SilentTarget());
    FailReads faults;
    if (failAt >= 0) {
        faults.from = static_cast<uint32_t>(failAt);
        f->faults = &faults;
    }
    job.prompts = inPlace || prompts;
    job.outputName = inPlace ? "doc.qwd" : outName;
    job.repairedFileName = "doc.qwd";
    job.log = &env.ctx.logList;
    job.findings = &env.ctx.list;
    if (writes.failAt >= 0) job.outputFaults = &writes;
    if (saveAs) job.host = &host;
    const int r = engine::RepairDocument(job);
    f->faults = nullptr;
    engine::CloseDocument(f);
    if (writes.failAt >= 0) env.Log(engine::Format("writes %lld", static_cast<long long>(writes.writes)));

    // The file at the output name after the run; none when nothing is there.
    if (!env.options.out.empty()) {
        struct stat st {};
        unlink(env.options.out.c_str());
        if (stat(job.outputName.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
            !testsupport::WriteFileBytes(env.options.out, testsupport::ReadFileBytes(job.outputName)))
            throw UsageError("cannot write " + env.options.out);
    }
    // The repaired output repaired once more with the same options.
    if (again) {
        const std::vector<uint8_t> first = testsupport::ReadFileBytes(job.outputName);
        if (first.empty() || !testsupport::WriteFileBytes("again.qwd", first)) throw UsageError("nothing to repair again");
        env.Log("again:");
        engine::DocFile* g = engine::OpenDocument("again.qwd", &header, &readOnly, &verdict);
        if (!g) throw UsageError("the output does not open");
        engine::CheckDocument(g, engine::SilentTarget());
        engine::RepairJob second;
        second.repairCorruption = job.repairCorruption;
        second.removeUndo = job.removeUndo;
        second.removeUnusedStyles = job.removeUnusedStyles;
        second.prompts = false;
        second.outputName = "again-out.qwd";
        second.repairedFileName = "again.qwd";
        second.log = &env.ctx.logList;
        second.findings = &env.ctx.list;
        engine::RepairDocument(second);
        engine::CloseDocument(g);
        env.Log(testsupport::ReadFileBytes("again-out.qwd") == first ? "again: same bytes" : "again: bytes differ");
        unlink("again.qwd");
        unlink("again-out.qwd");
    }
    env.Log(testsupport::ReadFileBytes("doc.qwd") == bytes ? "document unchanged" : "document replaced");
    struct stat ds {};
    if (lstat(outName.c_str(), &ds) == 0 && S_ISDIR(ds.st_mode)) env.Log(outName + ": a folder");
    else if (!inPlace && !job.extract) LogOutput(env, outName);
    if (inPlace || (job.outputName != outName && !job.extract)) LogOutput(env, job.outputName);
    std::string names = "folder:";
    for (const std::string& n : Entries()) names += " " + n;
    env.Log(names);
    return r;
}
PROBE_ENTRY_POINT(RepairDocument,
                  "[corruption] [undo] [styles] [scramble] [extract] [inplace] [prompts] [readonlydoc] [again] "
                  "[failread=N] [failwrite=N] [output=KIND] [saveas=NAME|cancel]",
                  RunRepairDocument);

}  // namespace
