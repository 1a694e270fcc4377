#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <vector>

#include "engine/Document.h"
#include "tests/support/Recording.h"

namespace {

using testsupport::ScopedContext;

std::vector<uint8_t> Counting(size_t n, uint8_t from = 0x41) {
    std::vector<uint8_t> v(n);
    std::iota(v.begin(), v.end(), from);
    return v;
}

struct DumpRow {
    size_t count;
    std::vector<std::string> lines;
};

class HexDumpShape : public ::testing::TestWithParam<DumpRow> {};

TEST_P(HexDumpShape, LinesAndPadding) {
    ScopedContext ctx;
    const DumpRow& r = GetParam();
    std::vector<uint8_t> bytes = Counting(r.count);
    engine::HexDump(static_cast<int64_t>(r.count), bytes, &ctx.list);
    EXPECT_EQ(ctx.list.Texts(), r.lines);
}

INSTANTIATE_TEST_SUITE_P(
    Counts, HexDumpShape,
    ::testing::Values(
        DumpRow{1, {"00000- 41                                                 A"}},
        DumpRow{7, {"00000- 41 42 43 44 45 46 47                               ABCDEFG"}},
        DumpRow{8, {"00000- 41 42 43 44 45 46 47 48                            ABCDEFGH"}},
        DumpRow{9, {"00000- 41 42 43 44 45 46 47 48  49                        ABCDEFGHI"}},
        DumpRow{15, {"00000- 41 42 43 44 45 46 47 48  49 4A 4B 4C 4D 4E 4F      ABCDEFGHIJKLMNO"}},
        DumpRow{16, {"00000- 41 42 43 44 45 46 47 48  49 4A 4B 4C 4D 4E 4F 50   ABCDEFGHIJKLMNOP"}},
        DumpRow{20,
                {"00000- 41 42 43 44 45 46 47 48  49 4A 4B 4C 4D 4E 4F 50   ABCDEFGHIJKLMNOP",
                 "00010- 51 52 53 54                                        QRST"}}));

TEST(HexDump, CharacterColumnStartsInOneColumn) {
    ScopedContext ctx;
    std::vector<uint8_t> bytes = Counting(16 * 3 + 5);
    engine::HexDump(static_cast<int64_t>(bytes.size()), bytes, &ctx.list);
    ASSERT_EQ(ctx.list.Size(), 4u);
    for (size_t i = 0; i < ctx.list.Size(); ++i) {
        const std::string line = ctx.list.Text(i);
        ASSERT_GE(line.size(), 7u + 51u);
        EXPECT_EQ(line.substr(7 + 49, 2), "  ") << line;
        EXPECT_EQ(line[7 + 51], static_cast<char>(bytes[i * 16])) << line;
    }
    EXPECT_EQ(ctx.list.Text(3).substr(0, 6), "00030-");
}

TEST(HexDump, CountIsCheckedAgainstTheBytesHeld) {
    ScopedContext ctx;
    std::vector<uint8_t> bytes = Counting(10);
    engine::HexDump(11, bytes, &ctx.list);
    EXPECT_EQ(ctx.list.Texts(), std::vector<std::string>{"Invalid data size!"});

    ctx.list.lines.clear();
    engine::HexDump(0, bytes, &ctx.list);
    engine::HexDump(-5, bytes, &ctx.list);
    EXPECT_EQ(ctx.list.Size(), 0u);

    // A count below the bytes held dumps only the count.
    engine::HexDump(3, bytes, &ctx.list);
    EXPECT_EQ(ctx.list.Texts(),
              std::vector<std::string>{"00000- 41 42 43                                           ABC"});
}

TEST(HexDump, TreeLinesGoUnderTheParent) {
    ScopedContext ctx;
    engine::TreeItem parent = ctx.tree.AppendChild(engine::kTreeRoot, "node", 0);
    std::vector<uint8_t> bytes = Counting(17);
    engine::HexDump(17, bytes, &ctx.list, &ctx.tree, parent);
    EXPECT_EQ(ctx.list.Size(), 0u);
    ASSERT_EQ(ctx.tree.items.size(), 3u);
    EXPECT_EQ(ctx.tree.items[1].parent, parent);
    EXPECT_EQ(ctx.tree.items[2].parent, parent);
    EXPECT_EQ(ctx.tree.items[2].text.substr(0, 9), "00010- 51");
}

TEST(AppendAsciiColumn, ControlBytesAreDotsOthersStay) {
    const std::vector<uint8_t> bytes = {0x00, 0x1F, 0x20, 0x41, 0x7F, 0xFF};
    std::string line = ">";
    engine::AppendAsciiColumn(line, bytes, 6);
    EXPECT_EQ(line, std::string(">.. A\x7F\xFF"));
}

TEST(AppendAsciiColumn, ZeroMeansSixteenAndBit15AppendsNothing) {
    const std::vector<uint8_t> bytes = Counting(20);
    std::string line;
    engine::AppendAsciiColumn(line, bytes, 0);
    EXPECT_EQ(line, "ABCDEFGHIJKLMNOP");
    line.clear();
    engine::AppendAsciiColumn(line, bytes, 0x8003);
    EXPECT_EQ(line, "");
    // Never past the bytes held.
    engine::AppendAsciiColumn(line, std::span<const uint8_t>(bytes).first(2), 16);
    EXPECT_EQ(line, "AB");
}

}  // namespace
