#include "engine/Document.h"

#include <gtest/gtest.h>
#include <utime.h>

#include <ctime>
#include <string>
#include <vector>

#include "engine/DocFile.h"
#include "engine/EngineContext.h"
#include "tests/support/CompoundBuilder.h"
#include "tests/support/DocBuilder.h"
#include "tests/support/Recording.h"

namespace {

using testsupport::ScopedContext;
using testsupport::DocBuilder;
using testsupport::Func;
using testsupport::Packet;
using testsupport::ScopedTempDir;

struct Opened {
    engine::DocFile* file = nullptr;
    engine::FileHeader header;
    int readOnly = -1;
    int verdict = -1;
};

Opened Open(const std::string& path) {
    Opened o;
    o.file = engine::OpenDocument(path, &o.header, &o.readOnly, &o.verdict);
    return o;
}

DocBuilder TwoPackets() {
    DocBuilder b;
    Packet font;
    font.type = 0x20;
    font.payload = {'A', 'r', 'i', 'a', 'l'};
    const uint16_t fontId = b.Add(font);
    Packet style;
    style.type = 0x30;
    style.children = {fontId};
    b.Add(style);
    b.body.Text("Hi").Var(Func(0xD4, 0x06, {fontId}));
    return b;
}

TEST(OpenDocument, FillsTheDocumentState) {
    ScopedContext ctx;
    ScopedTempDir dir;
    DocBuilder b = TwoPackets();
    const std::vector<uint8_t> bytes = b.Build();
    ASSERT_TRUE(testsupport::WriteFileBytes(dir.File("a.qwd"), bytes));

    Opened o = Open(dir.File("a.qwd"));
    ASSERT_NE(o.file, nullptr);
    EXPECT_EQ(o.verdict, 0);
    EXPECT_EQ(o.readOnly, 0);
    const engine::DocumentState& doc = engine::Ctx().doc;
    EXPECT_EQ(doc.file, o.file);
    EXPECT_EQ(0, std::memcmp(o.header.bytes, bytes.data(), 16));
    EXPECT_EQ(0, std::memcmp(doc.header.bytes, bytes.data(), 16));
    EXPECT_EQ(doc.dataLength, bytes.size());
    EXPECT_EQ(doc.codeAreaSize, bytes.size() - o.header.DocOffset());
    EXPECT_EQ(doc.prefixAreaSize, o.header.DocOffset() - o.header.IndexOffset());
    EXPECT_EQ(doc.fileSize, bytes.size());
    engine::CloseDocument(o.file);
    EXPECT_EQ(engine::Ctx().doc.file, nullptr);
}

TEST(OpenDocument, AreaSizesNeverWrap) {
    ScopedContext ctx;
    ScopedTempDir dir;
    DocBuilder b = TwoPackets();
    b.header.indexOffset = 0x7000;     // beyond the document offset
    b.header.docOffset = 0x00100000;   // beyond the end of the file
    ASSERT_TRUE(testsupport::WriteFileBytes(dir.File("a.qwd"), b.Build()));
    Opened o = Open(dir.File("a.qwd"));
    ASSERT_NE(o.file, nullptr);
    EXPECT_EQ(engine::Ctx().doc.codeAreaSize, 0u);
    EXPECT_EQ(engine::Ctx().doc.prefixAreaSize, 0x00100000u - 0x7000u);
    engine::CloseDocument(o.file);

    b.header.indexOffset = 0x200;
    b.header.docOffset = 0x100;
    ASSERT_TRUE(testsupport::WriteFileBytes(dir.File("b.qwd"), b.Build()));
    o = Open(dir.File("b.qwd"));
    ASSERT_NE(o.file, nullptr);
    EXPECT_EQ(engine::Ctx().doc.prefixAreaSize, 0u);
    engine::CloseDocument(o.file);
}

TEST(OpenDocument, ShortFileHasNoSignatureAndAZeroedHeader) {
    ScopedContext ctx;
    ScopedTempDir dir;
    // A stale header copy must not survive a short read.
    engine::Ctx().doc.header.bytes[9] = 0x77;
    ASSERT_TRUE(testsupport::WriteFileBytes(dir.File("s.qwd"), {0xFF, 'Q', 'W', 'C', 0x20}));
    Opened o = Open(dir.File("s.qwd"));
    EXPECT_EQ(o.file, nullptr);
    EXPECT_EQ(o.verdict, engine::kVerdictNoSignature);
    EXPECT_EQ(o.header.bytes[0], 0xFF);
    EXPECT_EQ(o.header.bytes[4], 0x20);
    for (int i = 5; i < 16; ++i) EXPECT_EQ(o.header.bytes[i], 0) << i;
    EXPECT_EQ(engine::Ctx().doc.header.FileType(), 0);
    EXPECT_TRUE(ctx.messages.boxes.empty());
}

TEST(OpenDocument, MissingFileShowsTheBox) {
    ScopedContext ctx;
    ScopedTempDir dir;
    Opened o = Open(dir.File("none.qwd"));
    EXPECT_EQ(o.file, nullptr);
    EXPECT_EQ(o.verdict, 0);
    ASSERT_EQ(ctx.messages.boxes.size(), 1u);
    EXPECT_EQ(ctx.messages.boxes[0].text, "File open failed.");
    EXPECT_EQ(ctx.messages.boxes[0].caption, "Error");
}

std::string ExpectedDate(int hour, int minute) {
    return std::string("03-05-23  ") + std::to_string(hour % 12) + ":" + (minute < 10 ? "0" : "") +
           std::to_string(minute) + (hour < 12 ? "a " : "p ");
}

TEST(OpenDocument, DateTextOfAPlainFileInLocalTime) {
    struct Case {
        int hour, minute;
        const char* text;
    };
    const Case cases[] = {{0, 30, "03-05-23  0:30a "},
                          {11, 59, "03-05-23  11:59a "},
                          {12, 7, "03-05-23  0:07p "},
                          {23, 0, "03-05-23  11:00p "}};
    for (const Case& c : cases) {
        ScopedContext ctx;
        ScopedTempDir dir;
        const std::string path = dir.File("d.qwd");
        ASSERT_TRUE(TwoPackets().WriteFile(path));
        struct tm tmv {};
        tmv.tm_year = 123;
        tmv.tm_mon = 2;
        tmv.tm_mday = 5;
        tmv.tm_hour = c.hour;
        tmv.tm_min = c.minute;
        tmv.tm_isdst = -1;
        struct utimbuf times {};
        times.actime = times.modtime = mktime(&tmv);
        ASSERT_EQ(utime(path.c_str(), &times), 0);
        Opened o = Open(path);
        ASSERT_NE(o.file, nullptr);
        EXPECT_EQ(engine::Ctx().doc.dateText, c.text);
        EXPECT_EQ(engine::Ctx().doc.dateText, ExpectedDate(c.hour, c.minute));
        engine::CloseDocument(o.file);
    }
}

TEST(OpenDocument, CompoundDateComesFromTheRoot) {
    ScopedContext ctx;
    ScopedTempDir dir;
    const std::string path = dir.File("c.qwd");
    ASSERT_TRUE(testsupport::WriteCompound(path, TwoPackets().Build()));
    Opened o = Open(path);
    ASSERT_NE(o.file, nullptr);
    ASSERT_TRUE(o.file->IsCompound());
    const std::string& date = engine::Ctx().doc.dateText;
    if (o.file->root->RootModificationTime() == 0) {
        EXPECT_EQ(date, "");
    } else {
        ASSERT_GE(date.size(), 16u);
        EXPECT_EQ(date.substr(8, 2), "  ");
        EXPECT_TRUE(date.ends_with("a ") || date.ends_with("p ")) << date;
    }
    EXPECT_GT(engine::Ctx().doc.fileSize, engine::Ctx().doc.dataLength);
    engine::CloseDocument(o.file);
}

class IndexTest : public ::testing::Test {
protected:
    engine::DocFile* OpenBytes(const std::vector<uint8_t>& bytes, const char* name = "i.qwd") {
        EXPECT_TRUE(testsupport::WriteFileBytes(dir.File(name), bytes));
        Opened o = Open(dir.File(name));
        EXPECT_NE(o.file, nullptr);
        return o.file;
    }
    void TearDown() override {
        if (engine::Ctx().doc.file) engine::CloseDocument(engine::Ctx().doc.file);
    }
    ScopedContext ctx;
    ScopedTempDir dir;
};

TEST_F(IndexTest, ReadsEveryEntry) {
    engine::DocFile* f = OpenBytes(TwoPackets().Build());
    ASSERT_EQ(engine::ReadIndex(f, &ctx.list), 0);
    const auto& packets = engine::Ctx().doc.packets;
    ASSERT_EQ(packets.size(), 3u);
    EXPECT_EQ(packets[1].entry.Type(), 0x20);
    EXPECT_EQ(packets[1].entry.UseCount(), 2);  // body and the style's child list
    EXPECT_EQ(packets[2].entry.Flags(), engine::kFlagChildList);
    for (const auto& p : packets) EXPECT_EQ(p.firstRefSlot, -1);
    EXPECT_EQ(engine::PacketTypeOf(2), 0x30);
    EXPECT_EQ(engine::PacketTypeOf(3), -1);
    EXPECT_EQ(ctx.list.Size(), 0u);
}

TEST_F(IndexTest, NoIndexCasesReleaseTheTableAndGoToTheDefaultList) {
    struct Case {
        const char* name;
        void (*edit)(DocBuilder&);
    };
    const Case cases[] = {
        {"marker", [](DocBuilder& b) { b.indexMarker = 3; }},
        {"count 0", [](DocBuilder& b) { b.entryCount = 0; }},
        {"document offset 16", [](DocBuilder& b) { b.header.docOffset = 16; }},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // A table from an earlier read must not survive.
        engine::Ctx().doc.packets.resize(5);
        DocBuilder b = TwoPackets();
        c.edit(b);
        engine::DocFile* f = OpenBytes(b.Build(), (std::to_string(n++) + ".qwd").c_str());
        ctx.defaultList.lines.clear();
        EXPECT_EQ(engine::ReadIndex(f, engine::kNoTarget), 0x10);
        EXPECT_EQ(ctx.defaultList.Texts(), std::vector<std::string>{"No Index in this file"});
        EXPECT_TRUE(engine::Ctx().doc.packets.empty());
        EXPECT_EQ(engine::PacketTypeOf(0), -1);
        engine::CloseDocument(f);
    }
}

TEST_F(IndexTest, EntryZeroCutShortIsNoIndex) {
    std::vector<uint8_t> bytes = TwoPackets().Build();
    bytes.resize(16 + 13);
    engine::DocFile* f = OpenBytes(bytes);
    EXPECT_EQ(engine::ReadIndex(f, &ctx.list), 0x10);
    EXPECT_EQ(ctx.list.Texts(), std::vector<std::string>{"No Index in this file"});
}

TEST_F(IndexTest, EntriesPastTheEndAreZeroedNotStale) {
    // First a document whose table is full of non-zero entries...
    DocBuilder big;
    for (int i = 0; i < 30; ++i) {
        Packet p;
        p.type = 0x20;
        p.payload = {1, 2, 3};
        big.Add(p);
    }
    engine::DocFile* f = OpenBytes(big.Build(), "big.qwd");
    ASSERT_EQ(engine::ReadIndex(f, &ctx.list), 0);
    engine::CloseDocument(f);

    // ...then one announcing 30 entries with only three in the file.
    DocBuilder cut;
    Packet p;
    p.type = 0x20;
    cut.Add(p);
    cut.Add(p);
    cut.entryCount = 31;
    cut.header.docOffset = 0x400;
    f = OpenBytes(cut.Build(), "cut.qwd");
    ASSERT_EQ(engine::ReadIndex(f, &ctx.list), 0);
    const auto& packets = engine::Ctx().doc.packets;
    ASSERT_EQ(packets.size(), 31u);
    EXPECT_EQ(packets[2].entry.Type(), 0x20);
    for (size_t i = 3; i < packets.size(); ++i) {
        for (uint8_t byte : packets[i].entry.bytes) ASSERT_EQ(byte, 0) << "entry " << i;
    }
}

TEST_F(IndexTest, IndexOffsetBelow17BecomesSixteen) {
    DocBuilder b = TwoPackets();
    b.header.indexOffset = 3;
    engine::DocFile* f = OpenBytes(b.Build());
    ASSERT_EQ(engine::ReadIndex(f, &ctx.list), 0);
    EXPECT_EQ(engine::Ctx().doc.header.IndexOffset(), 16);
    EXPECT_EQ(engine::Ctx().doc.packets.size(), 3u);
}

TEST_F(IndexTest, ShowingAPacketChangesNoCount) {
    engine::DocFile* f = OpenBytes(TwoPackets().Build());
    ASSERT_EQ(engine::ReadIndex(f, &ctx.list), 0);
    auto& packets = engine::Ctx().doc.packets;
    packets[1].countedUses = 7;
    packets[1].countedHidden = 1;
    for (int mode : {engine::kModeHex, engine::kModeDecoded}) {
        for (uint32_t id = 0; id < 3; ++id)
            ASSERT_EQ(engine::ShowPacketDetail(f, &ctx.list, static_cast<int32_t>(id), mode, nullptr), 0);
    }
    EXPECT_EQ(packets[1].countedUses, 7);
    EXPECT_EQ(packets[1].countedHidden, 1);
    EXPECT_EQ(packets[2].countedUses, 0);
    EXPECT_GT(ctx.list.Size(), 0u);
}

TEST_F(IndexTest, CrossReferencePassListsNothing) {
    engine::DocFile* f = OpenBytes(TwoPackets().Build());
    engine::Ctx().sink.stopValue = -1;
    engine::ListAllPackets(f, &ctx.list, engine::kModeDecoded, nullptr, 0);
    engine::Ctx().sink.stopValue = 0;
    ASSERT_EQ(ctx.list.Size(), 1u);  // entry 0 only
    EXPECT_EQ(ctx.list.Text(0), " 0) Index information");
}

TEST_F(IndexTest, DetailNamesThePacketOnTheLabel) {
    engine::DocFile* f = OpenBytes(TwoPackets().Build());
    std::string label;
    engine::Ctx().describer.packetNameLabel = &label;
    engine::ShowPacketDetail(f, &ctx.list, 2, engine::kModeDecoded, nullptr);
    EXPECT_EQ(label, "Style Data");
}

TEST_F(IndexTest, DamagedDataOffsetsDumpOnlyWhatIsThere) {
    DocBuilder b = TwoPackets();
    b.At(1).offset = 0x7FFFFFF0;
    b.At(1).size = 0xFFFFFFFF;
    b.At(2).size = 0xFFFFFFFF;  // runs past the end of the file
    const std::vector<uint8_t> bytes = b.Build();
    engine::DocFile* f = OpenBytes(bytes);
    for (int mode : {engine::kModeHex, engine::kModeDecoded}) {
        EXPECT_EQ(engine::ShowPacketDetail(f, &ctx.list, 1, mode, nullptr), 0);
        EXPECT_EQ(engine::ShowPacketDetail(f, &ctx.list, 2, mode, nullptr), 0);
    }
    const auto data = engine::ReadPacketData(f, engine::Ctx().doc.packets[2].entry, engine::kMaxPacketDump);
    EXPECT_EQ(data.size(), bytes.size() - engine::Ctx().doc.packets[2].entry.DataOffset());
}

TEST(PacketFilter, AdmitsByTypeBit) {
    engine::PacketFilter filter;
    filter.words[0] = 0x1;         // type 0
    filter.words[1] = 0x1;         // type 0x20
    filter.words[3] = 0x80000000;  // type 0x7F
    EXPECT_TRUE(filter.Admits(0, 0));
    EXPECT_FALSE(filter.Admits(3, 0));  // available entries need the top bit too
    EXPECT_TRUE(filter.Admits(3, 0x20));
    EXPECT_TRUE(filter.Admits(3, 0x7F));
    EXPECT_FALSE(filter.Admits(3, 0x30));
    filter.words[7] = 0x80000000;
    EXPECT_TRUE(filter.Admits(3, 0));
    EXPECT_TRUE(filter.Admits(3, 0xFF));
    filter.words[0] = 0;
    EXPECT_FALSE(filter.Admits(3, 0));
    EXPECT_FALSE(filter.Admits(0, 0));
}

}  // namespace
