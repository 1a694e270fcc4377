#include "engine/StorageTree.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/DocFile.h"
#include "engine/Document.h"
#include "engine/EngineContext.h"
#include "tests/support/CompoundBuilder.h"
#include "tests/support/DocBuilder.h"
#include "tests/support/Recording.h"

namespace {

using testsupport::ScopedContext;
using testsupport::CompoundLayout;
using testsupport::ScopedTempDir;

class StorageTreeTest : public ::testing::Test {
protected:
    engine::DocFile* OpenCompound(const CompoundLayout& layout, uint32_t mode = engine::kOpenRead | engine::kOpenIgnored) {
        const std::string path = dir.File("c.qwd");
        EXPECT_TRUE(testsupport::WriteCompound(path, layout));
        file = engine::OpenDocFile(path, mode);
        EXPECT_NE(file, nullptr);
        return file;
    }
    void TearDown() override {
        if (file) engine::CloseDocFile(file);
    }
    // Tree items under `parent`, in order.
    std::vector<std::string> Under(engine::TreeItem parent) const {
        std::vector<std::string> out;
        for (const auto& item : ctx.tree.items)
            if (item.parent == parent) out.push_back(item.text);
        return out;
    }
    engine::TreeItem Find(const std::string& text) const {
        for (size_t i = 0; i < ctx.tree.items.size(); ++i)
            if (ctx.tree.items[i].text == text) return i + 1;
        return 0;
    }

    ScopedContext ctx;
    ScopedTempDir dir;
    engine::DocFile* file = nullptr;
};

TEST_F(StorageTreeTest, TwoMegabyteStreamShowsOneMegabyte) {
    CompoundLayout layout;
    layout.main = testsupport::DocBuilder().Build();
    layout.extra.push_back({u"", u"Big", false, testsupport::Pattern(2 * 1048576), {}});
    engine::DocFile* f = OpenCompound(layout);
    ASSERT_NE(f, nullptr);
    engine::ListStorageTree(f, &ctx.tree, storage::kRoot, engine::kTreeRoot);
    const engine::TreeItem big = Find("'Big', Type: Stream, Size: 2097152 (0x200000)");
    ASSERT_NE(big, 0u);
    const std::vector<std::string> lines = Under(big);
    ASSERT_EQ(lines.size(), 1048576u / 16 + 1);
    EXPECT_EQ(lines[lines.size() - 2].substr(0, 6), "ffff0-");
    EXPECT_EQ(lines.back(), "  *** 1048576 (0x100000) BYTES OF DATA -NOT- DISPLAYED ***");
}

TEST_F(StorageTreeTest, MainStreamIsReadThroughTheDocFile) {
    CompoundLayout layout;
    layout.main = std::vector<uint8_t>(20, 'a');
    engine::DocFile* f = OpenCompound(layout, engine::kOpenRead | engine::kOpenWrite);
    ASSERT_NE(f, nullptr);
    // A change not yet written back shows in the listing.
    ASSERT_EQ(engine::SeekDocFile(f, 2, 0), 2);
    ASSERT_EQ(engine::WriteDocFile(f, "ZZ", 2), 2);
    engine::ListStorageTree(f, &ctx.tree, storage::kRoot, engine::kTreeRoot);
    const engine::TreeItem main = Find("'Quillsuite_MAIN', Type: Stream, Size: 20 (0x14)");
    ASSERT_NE(main, 0u);
    const std::vector<std::string> lines = Under(main);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "00000- 61 61 5A 5A 61 61 61 61  61 61 61 61 61 61 61 61   aaZZaaaaaaaaaaaa");
}

TEST_F(StorageTreeTest, WithoutATreeShowsSixtyFourBytesAndCountsTheRest) {
    CompoundLayout layout;
    layout.main = testsupport::Pattern(100);
    layout.extra.push_back({u"", u"Data", false, testsupport::Pattern(65), {}});
    layout.extra.push_back({u"", u"Small", false, testsupport::Pattern(64), {}});
    engine::DocFile* f = OpenCompound(layout);
    ASSERT_NE(f, nullptr);
    engine::Ctx().describer.currentTarget = &ctx.detail;
    engine::ListStorageTree(f, nullptr, storage::kRoot, engine::kTreeRoot);
    engine::Ctx().describer.currentTarget = nullptr;
    const std::vector<std::string> texts = ctx.detail.Texts();
    auto after = [&](const std::string& head) {
        for (size_t i = 0; i < texts.size(); ++i)
            if (texts[i] == head) return std::vector<std::string>(texts.begin() + i + 1, texts.begin() + std::min(texts.size(), i + 6));
        return std::vector<std::string>{};
    };
    auto data = after("'Data', Type: Stream, Size: 65 (0x41)");
    ASSERT_EQ(data.size(), 5u);
    EXPECT_EQ(data[4], "  *** 1 (0x1) BYTES OF DATA -NOT- DISPLAYED ***");
    auto small = after("'Small', Type: Stream, Size: 64 (0x40)");
    ASSERT_GE(small.size(), 5u);
    EXPECT_EQ(small[4].find("NOT- DISPLAYED"), std::string::npos);
    auto main = after("'Quillsuite_MAIN', Type: Stream, Size: 100 (0x64)");
    ASSERT_EQ(main.size(), 5u);
    EXPECT_EQ(main[4], "  *** 36 (0x24) BYTES OF DATA -NOT- DISPLAYED ***");
    EXPECT_TRUE(ctx.tree.items.empty());
}

TEST_F(StorageTreeTest, NestedStoragesAndControlCharacterNames) {
    CompoundLayout layout;
    layout.main = {1, 2, 3};
    layout.extra.push_back({u"", u"Sub", true, {}, {}});
    layout.extra.push_back({u"Sub", u"\x01" u"Ole", false, {9}, {}});
    engine::DocFile* f = OpenCompound(layout);
    ASSERT_NE(f, nullptr);
    engine::ListStorageTree(f, &ctx.tree, storage::kRoot, engine::kTreeRoot);
    const engine::TreeItem sub = Find("'Sub', Type: Storage, Size: 0 (0x0)");
    ASSERT_NE(sub, 0u);
    EXPECT_EQ(Under(sub), std::vector<std::string>{"(0x01)'Ole', Type: Stream, Size: 1 (0x1)"});
}

TEST(NarrowElementName, LowBytesUpToTheZeroUnit) {
    EXPECT_EQ(engine::NarrowElementName(u"Abc"), "Abc");
    EXPECT_EQ(engine::NarrowElementName(std::u16string(u"Ab\0cd", 5)), "Ab");
    EXPECT_EQ(engine::NarrowElementName(u"\x0141\x05"), std::string("A\x05"));
    EXPECT_EQ(engine::NarrowElementName(u""), "");
}

TEST(ElementTypeName, KnownKindsAndOthersEmpty) {
    EXPECT_STREQ(engine::ElementTypeName(1), "Storage");
    EXPECT_STREQ(engine::ElementTypeName(2), "Stream");
    EXPECT_STREQ(engine::ElementTypeName(3), "ILockBytes");
    EXPECT_STREQ(engine::ElementTypeName(4), "Property");
    EXPECT_STREQ(engine::ElementTypeName(0), "");
    EXPECT_STREQ(engine::ElementTypeName(9), "");
}

}  // namespace
