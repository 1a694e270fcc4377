// One repair run and the files it touches: every write or read that fails,
// a file-size limit, the in-place decision of each run, the temporary
// files of earlier runs, permission bits and links, and the dates and
// class ids of a compound output.

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "engine/Check.h"
#include "engine/CheckState.h"
#include "engine/DocFile.h"
#include "engine/Document.h"
#include "engine/EngineContext.h"
#include "engine/Repair.h"
#include "tests/support/CompoundBuilder.h"
#include "tests/support/DocBuilder.h"
#include "tests/support/OpenDoc.h"
#include "tests/support/Recording.h"
#include "tests/support/RepairDocs.h"
#include "tests/support/RepairJobs.h"

using namespace engine;
using testsupport::Body;
using testsupport::Bytes;
using testsupport::DocBuilder;
using testsupport::Func;
using testsupport::OpenDoc;
using testsupport::Packet;
using testsupport::ReadFileBytes;
using testsupport::ScopedContext;

namespace {

// Damage in the body and in a text block, an unused style, an undo packet
// named by a body function among two ids.
DocBuilder Damaged() {
    DocBuilder b;
    Packet font;
    font.type = 0x20;
    font.payload = Bytes("Courier");
    const uint16_t fontId = b.Add(font);
    Packet style;
    style.type = 0x31;
    style.payload = Bytes("unused");
    b.Add(style);
    Packet undo;
    undo.type = 0x77;
    undo.payload = Bytes("undo");
    const uint16_t undoId = b.Add(undo);
    Packet box;
    box.type = 0x0C;
    Body block;
    block.Text("Note").Raw({0xFF}).Var(Func(0xD4, 0x09, {fontId})).Text("ok");
    box.blocks = {block};
    const uint16_t boxId = b.Add(box);
    b.body.Raw({0xFF, 0x41})
        .Var(Func(0xD4, 0x06, {fontId, undoId}))
        .Text("Hello")
        .Var(Func(0xDF, 0x00, {boxId}))
        .Text("World");
    return b;
}

// Every write of the output, then the rename, fails in turn.
struct FailNth final : DocFileFaults {
    int64_t at = -1, count = 0;
    bool FailWrite(uint32_t, uint32_t) override { return ++count == at; }
    bool FailRename() override { return ++count == at; }
};

struct RunCase {
    RunCase(const std::vector<uint8_t>& bytes, bool compound)
        : doc(Bytes(bytes, compound)), job(testsupport::QuietRepairJob(doc, c)) {
        CheckDocument(doc.file, &c.list);
        job.repairCorruption = job.removeUndo = job.removeUnusedStyles = true;
    }
    static std::vector<uint8_t> Bytes(const std::vector<uint8_t>& main, bool compound) {
        if (!compound) return main;
        testsupport::ScopedTempDir d;
        testsupport::WriteCompound(d.File("c.qwd"), main);
        return ReadFileBytes(d.File("c.qwd"));
    }
    ScopedContext c;
    OpenDoc doc;
    RepairJob job;
};

// A failed run: the document as it was, nothing else in its folder, a box.
void ExpectNothingLeft(RunCase& r, const std::vector<uint8_t>& before) {
    EXPECT_EQ(ReadFileBytes(r.doc.path), before);
    EXPECT_EQ(r.doc.dir.Entries(), std::vector<std::string>{"doc.qwd"});
    EXPECT_FALSE(r.c.messages.boxes.empty());
}

TEST(RepairFaults, EveryWriteAndTheRenameMayFail) {
    for (bool compound : {false, true}) {
        for (bool inPlace : {false, true}) {
            SCOPED_TRACE(std::string(compound ? "compound" : "plain") + (inPlace ? " in place" : " new file"));
            int64_t n = 1;
            for (;; ++n) {
                RunCase r(Damaged().Build(), compound);
                const auto before = ReadFileBytes(r.doc.path);
                FailNth faults;
                faults.at = n;
                r.job.outputFaults = &faults;
                if (inPlace) {
                    r.job.outputName = r.doc.path;
                    r.job.outputReplacesInput = true;
                }
                EXPECT_EQ(RepairDocument(r.job), 1);
                if (faults.count < n) break;  // no N-th write: the run went through
                SCOPED_TRACE(n);
                ExpectNothingLeft(r, before);
            }
            EXPECT_GT(n, 3);
        }
    }
}

// Reads that touch the first byte of each packet, each range and the body.
TEST(RepairFaults, AReadFailingAtAnyPlaceLeavesNothing) {
    struct FailFrom final : DocFileFaults {
        uint32_t from = 0;
        int64_t BeforeRead(uint32_t pos, uint32_t asked) override {
            return uint64_t{pos} + asked > from ? int64_t{-1} : int64_t{asked};
        }
    };
    std::vector<uint32_t> places;
    {
        RunCase r(Damaged().Build(), false);
        for (const PacketEntry& p : Ctx().doc.packets)
            if (p.entry.DataSize() != 0) places.push_back(p.entry.DataOffset());
        for (const InvalidRange& x : Ctx().check.ranges) places.push_back(x.start);
        places.push_back(r.doc.body);
    }
    ASSERT_GT(places.size(), 5u);
    for (bool inPlace : {false, true}) {
        for (uint32_t at : places) {
            SCOPED_TRACE(at);
            RunCase r(Damaged().Build(), false);
            const auto before = ReadFileBytes(r.doc.path);
            FailFrom faults;
            faults.from = at;
            r.doc.file->faults = &faults;
            if (inPlace) {
                r.job.outputName = r.doc.path;
                r.job.outputReplacesInput = true;
            }
            EXPECT_EQ(RepairDocument(r.job), 1);
            r.doc.file->faults = nullptr;
            ExpectNothingLeft(r, before);
        }
    }
}

// A file-size limit with SIGXFSZ ignored: the write fails, the run says so.
TEST(RepairFaults, AFileSizeLimitFailsTheRunCleanly) {
    for (bool compound : {false, true}) {
        for (bool inPlace : {false, true}) {
            RunCase r(Damaged().Build(), compound);
            const auto before = ReadFileBytes(r.doc.path);
            if (inPlace) {
                r.job.outputName = r.doc.path;
                r.job.outputReplacesInput = true;
            }
            const pid_t pid = fork();
            ASSERT_GE(pid, 0);
            if (pid == 0) {
                signal(SIGXFSZ, SIG_IGN);
                struct rlimit lim {};
                lim.rlim_cur = lim.rlim_max = 64;
                setrlimit(RLIMIT_FSIZE, &lim);
                RepairDocument(r.job);
                _exit(r.c.messages.boxes.empty() ? 3 : 0);
            }
            int status = 0;
            ASSERT_EQ(waitpid(pid, &status, 0), pid);
            ASSERT_TRUE(WIFEXITED(status));
            EXPECT_EQ(WEXITSTATUS(status), 0) << "no failure shown";
            EXPECT_EQ(ReadFileBytes(r.doc.path), before);
            EXPECT_EQ(r.doc.dir.Entries(), std::vector<std::string>{"doc.qwd"});
        }
    }
}

// ---- Documents of several megabytes ---------------------------------------

// The body is copied a megabyte at a time, and the functions that name
// removed packets are mended from those blocks, those at a block's end too:
// a second repair of the copy finds it clean and changes nothing.
TEST(RepairLarge, AcrossItsBlocksTheCopyComesOutCleanAndASecondRepairChangesNothing) {
    for (bool dense : {false, true}) {
        SCOPED_TRACE(dense ? "dense" : "sparse");
        std::vector<uint8_t> first;
        {
            RunCase r(testsupport::MakeRepairDocument(3, dense).Build(), false);
            ASSERT_EQ(RepairDocument(r.job), 1);
            EXPECT_TRUE(r.c.messages.boxes.empty());
            EXPECT_GT(r.c.logList.lines.size(), 1000u);  // what it removed and fixed
            first = ReadFileBytes(r.job.outputName);
        }
        ASSERT_GT(first.size(), 2u << 20);
        RunCase again(first, false);
        // No body function names a packet the repair removed.
        const auto& packets = Ctx().doc.packets;
        size_t named = 0, removed = 0;
        for (const PacketRef& ref : Ctx().check.refs) {
            if ((ref.kind & 0x0F) != kRefBody || ref.referencing != 0xFFFF || ref.referenced >= packets.size()) continue;
            ++named;
            if (packets[ref.referenced].entry.Type() == 0) ++removed;
        }
        EXPECT_GT(named, 1000u);
        EXPECT_EQ(removed, 0u);
        again.c.list.lines.clear();
        again.job.findings = &again.c.list;
        ASSERT_EQ(RepairDocument(again.job), 1);
        EXPECT_EQ(ReadFileBytes(again.job.outputName), first);
        for (const auto& line : again.c.logList.lines) EXPECT_EQ(line.text.rfind("Processing", 0), 0u) << line.text;
        ASSERT_EQ(again.c.list.lines.size(), 1u);
        EXPECT_EQ(again.c.list.lines[0].text, "No Corruption Found");
    }
}

// ---- In place, decided per run -------------------------------------------

TEST(RepairInPlace, FlagsOfAnEarlierRunDecideNothing) {
    RunCase r(Damaged().Build(), false);
    r.c.messages.fallback = testsupport::RecordingMessages::Default::Yes;
    r.job.outputName = r.doc.path;
    EXPECT_EQ(RepairDocument(r.job), 1);
    ASSERT_EQ(r.c.messages.boxes.size(), 1u);
    EXPECT_EQ(r.c.messages.boxes[0].caption, "Save As");
    EXPECT_TRUE(r.job.inPlace);  // set after a successful run

    // The next run to the same name asks again; No gives no file and no change.
    ASSERT_TRUE(r.doc.Open());
    CheckDocument(r.doc.file, &r.c.list);
    const auto before = ReadFileBytes(r.doc.path);
    r.c.messages.fallback = testsupport::RecordingMessages::Default::No;
    EXPECT_EQ(RepairDocument(r.job), 1);
    EXPECT_EQ(r.c.messages.boxes.size(), 2u);
    EXPECT_EQ(ReadFileBytes(r.doc.path), before);
    EXPECT_FALSE(r.job.inPlace);
}

TEST(RepairInPlace, SaveAsOfTheDocumentDoesNotOutliveItsRun) {
    struct Host final : RepairHost {
        std::string answer;
        int asked = 0;
        std::optional<std::string> AskOutputName(const std::string&) override {
            return asked++ ? std::nullopt : std::optional<std::string>(answer);
        }
        bool BatchRunning() const override { return false; }
        void ClearLog() override {}
        void ScrollLists() override {}
        void LoadDocument(const std::string&) override {}
    } host;
    RunCase r(Damaged().Build(), false);
    const std::string link = r.doc.dir.File("link.qwd");
    ASSERT_EQ(symlink(r.doc.path.c_str(), link.c_str()), 0);
    host.answer = link;
    r.job.host = &host;
    r.job.outputName = r.doc.path;
    r.c.messages.fallback = testsupport::RecordingMessages::Default::No;  // not the document: Save As
    EXPECT_EQ(RepairDocument(r.job), 1);
    EXPECT_FALSE(r.job.outputReplacesInput);
    struct stat st {};
    ASSERT_EQ(lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));  // the link stays a link
    EXPECT_NE(ReadFileBytes(r.doc.path), Damaged().Build());
}

TEST(RepairInPlace, KeepsPermissionBitsAndRefusesAReadOnlyDocument) {
    RunCase r(Damaged().Build(), false);
    ASSERT_EQ(chmod(r.doc.path.c_str(), 0640), 0);
    r.job.outputName = r.doc.path;
    r.job.outputReplacesInput = true;
    EXPECT_EQ(RepairDocument(r.job), 1);
    struct stat st {};
    ASSERT_EQ(stat(r.doc.path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);

    RunCase ro(Damaged().Build(), false);
    ASSERT_EQ(chmod(ro.doc.path.c_str(), 0444), 0);
    const auto before = ReadFileBytes(ro.doc.path);
    ro.job.outputName = ro.doc.path;
    ro.job.outputReplacesInput = true;
    EXPECT_EQ(RepairDocument(ro.job), 1);
    ASSERT_EQ(ro.c.messages.boxes.size(), 1u);
    EXPECT_EQ(ro.c.messages.boxes[0].text, ro.doc.path + " is READ ONLY, modification NOT made!");
    EXPECT_EQ(ReadFileBytes(ro.doc.path), before);
    EXPECT_EQ(ro.doc.dir.Entries(), std::vector<std::string>{"doc.qwd"});
}

// ---- Temporary files of earlier runs --------------------------------------

TEST(RepairTemporaries, UnlockedOnesOfItsOwnPatternGo) {
    RunCase r(Damaged().Build(), false);
    auto put = [&](const std::string& n) { testsupport::WriteFileBytes(r.doc.dir.File(n), Bytes("x")); };
    put("qw_abcdefghijkl.tmp");          // a killed run's
    put(".qw_abcdefghijkl.tmp.AbC123");  // its compound writer's
    put(".qw_zzzzzzzzzzzz.tmp.XyZ789");  // a compound writer's whose run is gone
    put("qw_live00000000.tmp");          // a live run's: locked
    put("qw_short.tmp");                 // not the pattern
    put("notes.tmp");
    const int lock = open(r.doc.dir.File("qw_live00000000.tmp").c_str(), O_RDONLY);
    ASSERT_GE(lock, 0);
    ASSERT_EQ(flock(lock, LOCK_EX), 0);
    EXPECT_EQ(RepairDocument(r.job), 1);
    close(lock);
    EXPECT_EQ(r.doc.dir.Entries(),
              (std::vector<std::string>{"doc.qwd", "notes.tmp", "out.qwd", "qw_live00000000.tmp", "qw_short.tmp"}));
}

// ---- Own check -----------------------------------------------------------

TEST(RepairCheck, TablesOfAnEarlierOperationAreNotUsed) {
    DocBuilder b;
    b.body.Text("all of this text stays");
    RunCase r(b.Build(), false);
    // A stale range over the body, as another document's check might leave.
    AppendInvalidRange(kRangeDamage, 0, r.doc.body + 2, 6);
    EXPECT_EQ(RepairDocument(r.job), 1);
    const auto out = ReadFileBytes(r.job.outputName);
    const std::string text(out.end() - 22, out.end());
    EXPECT_EQ(text, "all of this text stays");
}

// ---- Compound outputs ----------------------------------------------------

TEST(RepairCompound, EveryStorageKeepsItsClassIdAndDates) {
    testsupport::ScopedTempDir d;
    testsupport::CompoundLayout layout;
    layout.main = Damaged().Build();
    layout.rootClassId = testsupport::MakeClassId(0x11);
    layout.objectsClassId = testsupport::MakeClassId(0x22);
    layout.rootTimes = testsupport::MakeTimes(1400000000);
    layout.objectsTimes = testsupport::MakeTimes(1400000100);
    layout.extra.push_back({u"Quillsuite_OBJECTS", u"Album", true, {}, testsupport::MakeClassId(0x33)});
    layout.extra.push_back({u"Quillsuite_OBJECTS/Album", u"Pic", false, Bytes("picture"), {}});
    layout.extra.push_back({u"", u"\x05SummaryInformation", false, Bytes("summary"), {}});
    layout.storageTimes.push_back({u"Quillsuite_OBJECTS/Album", testsupport::MakeTimes(1400000200)});
    ASSERT_TRUE(testsupport::WriteCompound(d.File("c.qwd"), layout));
    for (bool inPlace : {false, true}) {
        RunCase r(ReadFileBytes(d.File("c.qwd")), false);
        if (inPlace) {
            r.job.outputName = r.doc.path;
            r.job.outputReplacesInput = true;
        }
        EXPECT_EQ(RepairDocument(r.job), 1);
        r.doc.Close();
        auto in = storage::CompoundFile::Open(d.File("c.qwd"), false);
        auto out = storage::CompoundFile::Open(inPlace ? r.doc.path : r.job.outputName, false);
        ASSERT_TRUE(in && out);
        // Walks both trees side by side: names, kinds, class ids, dates,
        // and every stream but the main one byte for byte.
        std::vector<std::pair<storage::NodeId, storage::NodeId>> todo{{storage::kRoot, storage::kRoot}};
        int storages = 0;
        while (!todo.empty()) {
            auto [a, b] = todo.back();
            todo.pop_back();
            EXPECT_EQ(in->GetClassId(a), out->GetClassId(b));
            EXPECT_EQ(in->GetTimes(a), out->GetTimes(b));
            ++storages;
            const auto ka = in->Children(a), kb = out->Children(b);
            ASSERT_EQ(ka.size(), kb.size());
            for (size_t i = 0; i < ka.size(); ++i) {
                EXPECT_TRUE(ka[i].name == kb[i].name);
                ASSERT_EQ(ka[i].kind, kb[i].kind);
                if (ka[i].kind == storage::ElementKind::Storage) {
                    todo.push_back({ka[i].id, kb[i].id});
                } else if (ka[i].name != u"Quillsuite_MAIN") {
                    EXPECT_EQ(in->ReadStream(ka[i].id, 1 << 20), out->ReadStream(kb[i].id, 1 << 20));
                }
            }
        }
        EXPECT_EQ(storages, 3);
        EXPECT_EQ(out->GetTimes(storage::kRoot), testsupport::MakeTimes(1400000000));
        const auto objects = out->Child(storage::kRoot, u"Quillsuite_OBJECTS");
        ASSERT_TRUE(objects);
        EXPECT_EQ(out->GetTimes(objects->id), testsupport::MakeTimes(1400000100));
        const auto album = out->Child(objects->id, u"Album");
        ASSERT_TRUE(album);
        EXPECT_EQ(out->GetTimes(album->id), testsupport::MakeTimes(1400000200));
    }
}

TEST(RepairCompound, ACreatedFileIsDatedNow) {
    testsupport::ScopedTempDir d;
    auto cf = storage::CompoundFile::Create(d.File("new.qwd"), true);
    ASSERT_TRUE(cf);
    const int64_t now = time(nullptr);
    ASSERT_TRUE(cf->Close());
    auto back = storage::CompoundFile::Open(d.File("new.qwd"), false);
    ASSERT_TRUE(back);
    EXPECT_NEAR(static_cast<double>(back->RootModificationTime()), static_cast<double>(now), 5.0);
}

}  // namespace
