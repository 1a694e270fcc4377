// The repair: which packets go and why, the new layout and the cuts, the
// function whose ids name a removed packet, and the output file: a copy
// that checks sound, a document replaced only when every step succeeded,
// compound documents that keep their other parts.

#include "engine/Repair.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "engine/Check.h"
#include "engine/CheckState.h"
#include "engine/DocFile.h"
#include "engine/Document.h"
#include "engine/EngineContext.h"
#include "tests/support/CompoundBuilder.h"
#include "tests/support/DocBuilder.h"
#include "tests/support/OpenDoc.h"
#include "tests/support/Recording.h"
#include "tests/support/RepairJobs.h"

using namespace engine;
using testsupport::Body;
using testsupport::Bytes;
using testsupport::DocBuilder;
using testsupport::Func;
using testsupport::OpenDoc;
using testsupport::Packet;
using testsupport::ReadFileBytes;
using testsupport::RecordingList;
using testsupport::ScopedContext;

namespace {

class Host final : public RepairHost {
public:
    std::optional<std::string> AskOutputName(const std::string& name) override {
        asked.push_back(name);
        if (answers.empty()) return std::nullopt;
        std::string a = answers.front();
        answers.erase(answers.begin());
        return a;
    }
    bool BatchRunning() const override { return false; }
    void ClearLog() override { ++clears; }
    void ScrollLists() override {}
    void LoadDocument(const std::string& path) override { loaded.push_back(path); }

    std::vector<std::string> answers, asked, loaded;
    int clears = 0;
};

// The document open and checked as the Information page leaves it.
struct Fixture {
    explicit Fixture(const DocBuilder& b, const char* name = "doc.qwd")
        : doc(b.Build(), name), job(testsupport::QuietRepairJob(doc, c)) {
        CheckDocument(doc.file, &c.list);
        job.findings = &c.defaultList;
        job.host = &host;
    }
    int Run() { return RepairDocument(job); }
    std::vector<std::string> Log() const { return c.logList.Texts(); }
    bool Logged(const std::string& line) const {
        const auto l = Log();
        return std::find(l.begin(), l.end(), line) != l.end();
    }

    ScopedContext c;
    OpenDoc doc;
    Host host;
    RepairJob job;
};

// The verdict of a check of the file at `path`, in the context at hand.
std::string Verdict(const std::string& path, std::vector<std::string>* lines = nullptr) {
    FileHeader h;
    int ro = 0, verdict = 0;
    DocFile* f = OpenDocument(path, &h, &ro, &verdict);
    if (!f) return "not opened";
    RecordingList list("verdict");
    CheckDocument(f, &list);
    CloseDocument(f);
    if (lines) *lines = list.Texts();
    return list.Size() ? list.Text(list.Size() - 1) : std::string();
}

IndexEntry EntryOf(const std::vector<uint8_t>& file, uint32_t id) {
    IndexEntry e;
    const uint32_t index = std::max<uint32_t>(16, GetU16(file, 14));
    for (size_t i = 0; i < kIndexEntrySize; ++i) e.bytes[i] = GetU8(file, index + id * kIndexEntrySize + i);
    return e;
}

std::vector<uint8_t> BodyOf(const std::vector<uint8_t>& file) {
    const uint32_t at = GetU32(file, 4);
    return at < file.size() ? std::vector<uint8_t>(file.begin() + at, file.end()) : std::vector<uint8_t>();
}

// ---- Which packets go ---------------------------------------------------

TEST(RepairPackets, UnusedStyleIsRemovedAndItsEntryZeroed) {
    DocBuilder b;
    Packet used, unused;
    used.type = unused.type = 0x31;
    used.payload = Bytes("used");
    unused.payload = Bytes("unused");
    const uint16_t usedId = b.Add(used);
    b.Add(unused);
    b.body.Text("A").Var(Func(0xD4, 0x06, {usedId})).Text("B");
    Fixture f(b);
    f.job.removeUnusedStyles = true;
    EXPECT_EQ(f.Run(), 1);
    EXPECT_TRUE(f.Logged("REMOVED Packet 0x0002.  Unused STYLE Packet"));
    const auto out = ReadFileBytes(f.job.outputName);
    // An available entry: all zeros but the running position as its offset.
    const IndexEntry gone = EntryOf(out, 2);
    EXPECT_TRUE(std::all_of(std::begin(gone.bytes), std::begin(gone.bytes) + 10, [](uint8_t v) { return v == 0; }));
    EXPECT_EQ(EntryOf(out, 1).Type(), 0x31);
    EXPECT_EQ(gone.DataOffset(), EntryOf(out, 1).DataOffset() + EntryOf(out, 1).DataSize());
    EXPECT_EQ(Verdict(f.job.outputName), "No Corruption Found");
    EXPECT_EQ(f.host.loaded, std::vector<std::string>{f.job.outputName});
}

TEST(RepairPackets, ChildThatLosesItsLastUseGoesWithItsOwnReason) {
    DocBuilder b;
    Packet font;
    font.type = 0x20;
    font.payload = Bytes("Courier");
    const uint16_t fontId = b.Add(font);
    Packet style;
    style.type = 0x30;
    style.children = {fontId};
    b.Add(style);
    b.body.Text("plain");
    Fixture f(b);
    f.job.removeUnusedStyles = true;
    f.Run();
    const auto log = f.Log();
    const auto parent = std::find(log.begin(), log.end(), "REMOVED Packet 0x0002.  Unused STYLE Packet");
    const auto child = std::find(log.begin(), log.end(), "REMOVED Packet 0x0001.  NEVER referenced");
    ASSERT_NE(parent, log.end());
    ASSERT_NE(child, log.end());
    EXPECT_LT(parent, child);
    EXPECT_EQ(Verdict(f.job.outputName), "No Corruption Found");
}

// One row per rule: the options, the packet, and whether and why it goes.
TEST(RepairPackets, RemovalReasons) {
    struct Row {
        uint32_t options;
        uint8_t type, flags;
        uint32_t size;
        uint16_t uses, hidden;
        const char* reason;  // nullptr: stays
    };
    const uint32_t all = kRepairUndo | kRepairUnusedStyles | kRepairCorruption;
    const Row rows[] = {
        {all, 0x00, 0x00, 0, 0, 0, nullptr},
        {kRepairUndo, 0x00, 0x00, 5, 0, 0, "Deletable Packet"},
        {kRepairUnusedStyles, 0x42, 0x08, 5, 0, 0, "Unused STYLE Packet"},
        {kRepairUnusedStyles, 0x42, 0x00, 5, 0, 1, nullptr},
        {kRepairUndo, 0x20, 0x00, 5, 0, 2, "Only referenced from UNDO area"},
        {kRepairUndo, 0x20, 0x08, 5, 0, 2, nullptr},
        {kRepairUndo | kRepairUnusedStyles, 0x44, 0x08, 5, 0, 2, "Only referenced from UNDO area"},
        {kRepairCorruption, 0x20, 0x00, 5, 0, 0, "NEVER referenced"},
        {kRepairCorruption, 0x20, 0x08, 5, 0, 0, nullptr},
        {kRepairUndo, 0x77, 0x08, 5, 1, 0, "Undo information packet"},
        {kRepairCorruption, 0x77, 0x08, 5, 1, 0, nullptr},
        {kRepairCorruption, 0x20, 0x00, 5, 1, 0, nullptr},
    };
    for (const Row& r : rows) {
        ScopedContext c;
        auto& packets = Ctx().doc.packets;
        packets.resize(2);
        IndexEntry& e = packets[1].entry;
        e.bytes[0] = r.flags;
        e.bytes[1] = r.type;
        e.bytes[6] = static_cast<uint8_t>(r.size);
        packets[1].countedUses = r.uses;
        packets[1].countedHidden = r.hidden;
        std::string reason;
        bool tools = false;
        const int goes = PacketRemovalReason(1, r.options, reason, tools);
        SCOPED_TRACE(testing::Message() << "type " << int{r.type} << " options " << r.options);
        EXPECT_EQ(goes, r.reason ? 1 : 0);
        if (r.reason) {
            EXPECT_EQ(reason, r.reason);
        }
    }
}

TEST(RepairPackets, SecondWritingToolsPacketGoesWithRepairCorruption) {
    DocBuilder b;
    Packet tools;
    tools.type = 0x05;
    tools.flags = 0x08;
    tools.payload = Bytes("tools");
    b.Add(tools);
    b.Add(tools);
    b.body.Text("x");
    Fixture f(b);
    f.job.repairCorruption = true;
    f.Run();
    EXPECT_FALSE(f.Logged("REMOVED Packet 0x0001.  Removing Extra Writing Tools packet"));
    EXPECT_TRUE(f.Logged("REMOVED Packet 0x0002.  Removing Extra Writing Tools packet"));
    EXPECT_EQ(Verdict(f.job.outputName), "No Corruption Found");
}

// ---- The body and the text blocks ----------------------------------------

TEST(RepairBody, DamageAtTheFirstByteIsLeftOut) {
    DocBuilder b;
    const auto fn = Func(0xD4, 0x01);
    b.body.Raw({0xFF, 0x41}).Var(fn).Text("after").Raw({0xFF}).Var(fn).Text("end");
    const uint32_t tail = static_cast<uint32_t>(fn.Bytes().size()) + 3;
    Fixture f(b);
    f.job.repairCorruption = true;
    f.Run();
    const auto body = BodyOf(ReadFileBytes(f.job.outputName));
    ASSERT_FALSE(body.empty());
    EXPECT_EQ(body[0], 0xD4);
    EXPECT_EQ(body.size(), b.body.Bytes().size() - 3);
    auto line = [&](uint32_t length, uint32_t at) {
        char s[96];
        std::snprintf(s, sizeof s, "0x%02X Bytes of Corruption info removed, starting at offset 0x%X ", length, at);
        return std::string(s);
    };
    // Told when bytes follow before the next cut; the last cut is not told.
    EXPECT_TRUE(f.Logged(line(2, f.doc.body)));
    EXPECT_FALSE(f.Logged(line(1, f.doc.body + static_cast<uint32_t>(b.body.Bytes().size()) - tail - 1)));
    EXPECT_EQ(Verdict(f.job.outputName), "No Corruption Found");
}

TEST(RepairBody, UndoAreaGoesOnlyWhenAsked) {
    DocBuilder b;
    Packet hidden;
    hidden.type = 0x20;
    hidden.payload = Bytes("h");
    const uint16_t id = b.Add(hidden);
    b.body.Text("keep").UndoStart().Var(Func(0xD4, 0x02, {id})).UndoEnd().Text("tail");
    for (bool undo : {false, true}) {
        Fixture f(b);
        f.job.removeUndo = undo;
        f.job.repairCorruption = !undo;
        f.Run();
        const auto body = BodyOf(ReadFileBytes(f.job.outputName));
        const std::string text(body.begin(), body.end());
        EXPECT_EQ(text == "keeptail", undo) << text;
        EXPECT_EQ(f.Logged("REMOVED Packet 0x0001.  Only referenced from UNDO area"), undo);
        EXPECT_EQ(Verdict(f.job.outputName), "No Corruption Found");
    }
}

TEST(RepairBody, FunctionKeepsTheIdsOfPacketsThatStay) {
    DocBuilder b;
    Packet a, undo, z;
    a.type = z.type = 0x20;
    undo.type = 0x77;
    a.payload = Bytes("a");
    undo.payload = Bytes("undo");
    z.payload = Bytes("z");
    const uint16_t ida = b.Add(a), idu = b.Add(undo), idz = b.Add(z);
    const auto fn = Func(0xD4, 0x06, {ida, idu, idz}, {7, 7});
    b.body.Var(fn).Text("end");
    Fixture f(b);
    f.job.removeUndo = true;
    f.Run();
    EXPECT_TRUE(f.Logged("REMOVED Packet 0x0002.  Undo information packet"));
    const auto body = BodyOf(ReadFileBytes(f.job.outputName));
    const uint16_t size = static_cast<uint16_t>(fn.Bytes().size());
    ASSERT_GE(body.size(), size - 2u);
    EXPECT_EQ(GetU16(body, 2), size - 2);
    EXPECT_EQ(body[5], 2);
    EXPECT_EQ(GetU16(body, 6), ida);
    EXPECT_EQ(GetU16(body, 8), idz);
    EXPECT_EQ(GetU16(body, size - 2 - 3), size - 2);
    EXPECT_EQ(body[size - 2 - 1], 0xD4);
    EXPECT_EQ(std::string(body.begin() + size - 2, body.end()), "end");
    EXPECT_EQ(Verdict(f.job.outputName), "No Corruption Found");
}

TEST(RepairBody, FunctionWhoseOnlyIdGoesIsCutWhole) {
    DocBuilder b;
    Packet undo;
    undo.type = 0x77;
    undo.payload = Bytes("undo");
    const uint16_t id = b.Add(undo);
    b.body.Text("ab").Var(Func(0xD4, 0x06, {id})).Text("cd");
    Fixture f(b);
    f.job.removeUndo = true;
    f.Run();
    const auto body = BodyOf(ReadFileBytes(f.job.outputName));
    EXPECT_EQ(std::string(body.begin(), body.end()), "abcd");
    EXPECT_EQ(Verdict(f.job.outputName), "No Corruption Found");
}

TEST(RepairBody, DamagedCodesAreCutOutOfATextBlock) {
    DocBuilder b;
    Packet box;
    box.type = 0x0C;
    Body block;
    block.Text("Note").Raw({0xFF, 0x00}).Var(Func(0xD4, 0x09)).Text("ok");
    Body second;
    second.Text("two");
    box.blocks = {block, second};
    box.payload = Bytes("tail");
    const uint16_t id = b.Add(box);
    b.body.Text("body").Var(Func(0xDF, 0x00, {id}));
    Fixture f(b);
    f.job.repairCorruption = true;
    f.Run();
    const auto out = ReadFileBytes(f.job.outputName);
    const IndexEntry e = EntryOf(out, 1);
    EXPECT_EQ(e.DataSize(), box.Data().size() - 2);
    const std::vector<uint8_t> data(out.begin() + e.DataOffset(), out.begin() + e.DataOffset() + e.DataSize());
    EXPECT_EQ(GetU32(data, 6), block.Bytes().size() - 2);
    EXPECT_EQ(GetU32(data, 10), 3u);
    const std::string text(data.begin(), data.end());
    EXPECT_NE(text.find("Note\xD4"), std::string::npos);
    EXPECT_NE(text.find("oktwotail"), std::string::npos);
    EXPECT_EQ(Verdict(f.job.outputName), "No Corruption Found");
}

TEST(RepairBody, ExtendedHeaderGetsTheRepairedLength) {
    DocBuilder b;
    b.header.indexOffset = 28;
    b.header.extended = true;
    b.body.Raw({0xFF}).Var(Func(0xD4, 0x01)).Text("x");
    Fixture f(b);
    f.job.repairCorruption = true;
    f.Run();
    const auto out = ReadFileBytes(f.job.outputName);
    EXPECT_EQ(GetU32(out, 20), out.size());
    EXPECT_LT(out.size(), f.doc.end);
}

TEST(RepairBody, ScrambleKeepsEveryCodeAndReplacesLetters) {
    DocBuilder b;
    Packet box;
    box.type = 0x0C;
    Body block;
    block.Text("Hello 42");
    box.blocks = {block};
    b.Add(box);
    b.body.Text("World War 2!").Var(Func(0xD4, 0x01)).Text("ok");
    Fixture f(b);
    f.job.scramble = true;
    f.Run();
    const auto in = ReadFileBytes(f.doc.path), out = ReadFileBytes(f.job.outputName);
    ASSERT_EQ(out.size(), in.size());
    const std::string s(out.begin(), out.end());
    EXPECT_NE(s.find("Zzzzz ZZ"), std::string::npos);
    EXPECT_NE(s.find("Zzzzz Zzz Z!"), std::string::npos);
    EXPECT_EQ(s.find("Hello"), std::string::npos);
}

TEST(RepairBody, ExtractWritesTheTextAndLeavesTheDocument) {
    DocBuilder b;
    b.body.Text("first").Var(Func(0xD4, 0x01)).Text("second");
    Fixture f(b);
    f.job.extract = true;
    f.job.outputName = f.doc.dir.File("out.txt");
    const auto before = ReadFileBytes(f.doc.path);
    EXPECT_EQ(f.Run(), 1);
    const auto text = ReadFileBytes(f.job.outputName);
    EXPECT_EQ(std::string(text.begin(), text.end()), "first\r\nsecond\r\n");
    EXPECT_EQ(ReadFileBytes(f.doc.path), before);
    EXPECT_TRUE(f.host.loaded.empty());
}

// ---- The output file -------------------------------------------------------

DocBuilder DamagedDoc() {
    DocBuilder b;
    Packet style;
    style.type = 0x30;
    style.payload = Bytes("Style");
    style.useCount = 3;
    const uint16_t id = b.Add(style);
    auto broken = Func(0xD3, 0x01, {}, {0x10, 0x00});
    broken.trailerSize = 0x0999;
    b.body.Text("Damaged").Var(Func(0xD4, 0x06, {id})).Var(broken).Text("end").Var(Func(0xD4, 0x01));
    return b;
}

TEST(RepairOutput, ReplacingTheDocumentGoesThroughATemporaryFile) {
    Fixture f(DamagedDoc());
    f.job.repairCorruption = true;
    f.job.outputName = f.doc.path;
    f.job.prompts = true;
    EXPECT_EQ(f.Run(), 1);
    ASSERT_EQ(f.c.messages.boxes.size(), 1u);
    EXPECT_EQ(f.c.messages.boxes[0].caption, "Save As");
    EXPECT_EQ(f.c.messages.boxes[0].text, f.doc.path + " already exists.\nDo you want to replace it?");
    EXPECT_EQ(f.doc.dir.Entries(), std::vector<std::string>{"doc.qwd"});
    EXPECT_EQ(f.host.loaded, std::vector<std::string>{f.doc.path});
    EXPECT_EQ(Verdict(f.doc.path), "No Corruption Found");
}

TEST(RepairOutput, AHardLinkToTheDocumentIsTheDocument) {
    Fixture f(DamagedDoc());
    const std::string link = f.doc.dir.File("link.qwd");
    ASSERT_EQ(::link(f.doc.path.c_str(), link.c_str()), 0);
    f.job.repairCorruption = true;
    f.job.outputName = link;
    f.c.messages.fallback = testsupport::RecordingMessages::Default::Cancel;
    const auto before = ReadFileBytes(f.doc.path);
    EXPECT_EQ(f.Run(), 1);
    EXPECT_TRUE(f.Logged("Repair Canceled!"));
    EXPECT_EQ(ReadFileBytes(f.doc.path), before);
    EXPECT_TRUE(f.host.loaded.empty());
}

// A read or write failing at any step leaves the document as it was and no
// temporary file beside it.
TEST(RepairOutput, AFailedStepLeavesTheDocumentUntouched) {
    struct FailAt final : DocFileFaults {
        uint32_t from = 0;
        int64_t BeforeRead(uint32_t pos, uint32_t asked) override { return uint64_t{pos} + asked > from ? int64_t{-1} : int64_t{asked}; }
    };
    const uint32_t length = static_cast<uint32_t>(DamagedDoc().Build().size());
    for (uint32_t from = 0; from < length; from += 4) {
        Fixture f(DamagedDoc());
        const auto before = ReadFileBytes(f.doc.path);
        FailAt faults;
        faults.from = from;
        f.doc.file->faults = &faults;
        f.job.repairCorruption = true;
        f.job.removeUnusedStyles = true;
        f.job.outputName = f.doc.path;
        f.job.outputReplacesInput = true;
        EXPECT_EQ(f.Run(), 1);
        SCOPED_TRACE(from);
        EXPECT_EQ(ReadFileBytes(f.doc.path), before);
        EXPECT_EQ(f.doc.dir.Entries(), std::vector<std::string>{"doc.qwd"});
        EXPECT_TRUE(f.host.loaded.empty());
        f.doc.file->faults = nullptr;
    }
}

TEST(RepairOutput, DeclinedOutputAsksForAnotherNameAndCancelStops) {
    Fixture f(DamagedDoc());
    f.job.repairCorruption = true;
    f.job.prompts = true;
    testsupport::WriteFileBytes(f.job.outputName, Bytes("old"));
    f.c.messages.fallback = testsupport::RecordingMessages::Default::No;
    f.host.answers = {f.doc.dir.File("other.qwd")};
    EXPECT_EQ(f.Run(), 1);
    EXPECT_EQ(f.host.asked, std::vector<std::string>{f.doc.dir.File("out.qwd")});
    EXPECT_EQ(ReadFileBytes(f.doc.dir.File("out.qwd")), Bytes("old"));
    EXPECT_EQ(Verdict(f.doc.dir.File("other.qwd")), "No Corruption Found");

    Fixture g(DamagedDoc());
    g.job.prompts = true;
    testsupport::WriteFileBytes(g.job.outputName, Bytes("old"));
    g.c.messages.fallback = testsupport::RecordingMessages::Default::No;
    EXPECT_EQ(g.Run(), 0);
    EXPECT_TRUE(g.Log().empty());
}

TEST(RepairOutput, RunsItsOwnCheckWhenTheLastOneDidNotFinish) {
    Fixture f(DamagedDoc());
    Ctx().check.complete = false;
    f.job.repairCorruption = true;
    f.Run();
    EXPECT_EQ(Verdict(f.job.outputName), "No Corruption Found");
}

TEST(RepairOutput, CompoundDocumentKeepsItsOtherStreams) {
    ScopedContext c;
    testsupport::ScopedTempDir dir;
    const std::string path = dir.File("doc.qwd");
    testsupport::CompoundLayout layout;
    layout.main = DamagedDoc().Build();
    layout.rootClassId = testsupport::MakeClassId(0x11);
    layout.extra.push_back({u"", u"\x05SummaryInformation", false, Bytes("summary"), {}});
    layout.extra.push_back({u"Quillsuite_OBJECTS", u"Pic1", false, std::vector<uint8_t>(70, 0x50), {}});
    ASSERT_TRUE(testsupport::WriteCompound(path, layout));
    for (bool inPlace : {false, true}) {
        FileHeader h;
        int ro = 0, verdict = 0;
        DocFile* f = OpenDocument(path, &h, &ro, &verdict);
        ASSERT_NE(f, nullptr);
        CheckDocument(f, &c.list);
        Host host;
        RepairJob job;
        job.repairCorruption = true;
        job.outputName = inPlace ? path : dir.File("out.qwd");
        job.outputReplacesInput = inPlace;
        job.repairedFileName = path;
        job.prompts = false;
        job.log = &c.logList;
        job.host = &host;
        RepairDocument(job);
        CloseDocument(f);
        SCOPED_TRACE(inPlace);
        auto root = storage::CompoundFile::Open(job.outputName, false);
        ASSERT_TRUE(root);
        auto objects = root->Child(storage::kRoot, u"Quillsuite_OBJECTS");
        ASSERT_TRUE(objects);
        auto pic = root->Child(objects->id, u"Pic1");
        ASSERT_TRUE(pic);
        EXPECT_EQ(root->ReadStream(pic->id, 1000), std::vector<uint8_t>(70, 0x50));
        EXPECT_TRUE(root->Child(storage::kRoot, u"\x05SummaryInformation"));
        EXPECT_EQ(root->GetClassId(storage::kRoot), testsupport::MakeClassId(0x11));
        root.reset();
        EXPECT_EQ(Verdict(job.outputName), "No Corruption Found");
        std::vector<std::string> expected = {"doc.qwd", "out.qwd"};
        EXPECT_EQ(dir.Entries(), expected);
    }
}

}  // namespace
