// Outline numbering of the record list: levels opened by announced counts,
// the count shown once and dashes after it, and the plain and filtered
// modes that never number.

#include <gtest/gtest.h>

#include "tests/graphics/GraphicsInput.h"

namespace {

using graphics::Gfx;
using graphicstest::DumperTest;

class Outline : public DumperTest {
protected:
    Outline() { Gfx().dumpFlags = graphics::kDumpOutline; }

    // A record's title line; `associated` is announced before it as the
    // record header announces it.
    void Record(const char* title, uint32_t associated = 0) {
        if (associated != 0) {
            out.AnnounceAssociated(associated);
            out.EmitIndented("%u Record(s) Associated with this Record ", associated);
        }
        Gfx().recordEnd += 0x10;
        out.EmitIndented("%s: ", title);
    }
};

TEST_F(Outline, CountsShowOnceThenDashesOnePlaceIn) {
    Record("A", 2);
    Record("B1", 1);
    Record("C");
    Record("B2");
    Record("D");
    EXPECT_EQ(Lines(), (std::vector<std::string>{"2A: ", "-1B1: ", "--C: ", "-B2: ", "D: "}));
    // Each line carries its record's position; the announcement is not listed.
    EXPECT_EQ(Tags(), (std::vector<uint32_t>{0x10, 0x20, 0x30, 0x40, 0x50}));
    EXPECT_EQ(out.Outline().depth, -1);
}

TEST_F(Outline, FilteredListNeverOpensALevel) {
    Gfx().dumpFlags |= graphics::kDumpFiltered;
    Record("A", 2);
    Record("B");
    EXPECT_EQ(Lines(), (std::vector<std::string>{"A: ", "B: "}));
    EXPECT_EQ(out.Outline().depth, -1);
    EXPECT_EQ(Gfx().dumpFlags & graphics::kDumpLevelPending, 0);
}

TEST_F(Outline, PlainLinesGoOutUntaggedAndKeepNoCount) {
    Gfx().dumpFlags = graphics::kDumpPlainLines;
    Record("A", 2);
    Record("B");
    EXPECT_EQ(Lines(), (std::vector<std::string>{"2 Record(s) Associated with this Record ", "A: ", "B: "}));
    EXPECT_EQ(Tags(), (std::vector<uint32_t>{0, 0, 0}));
}

TEST_F(Outline, EmbeddedRecordsNumberAfterTheIndentationAtTheirOwnLevel) {
    Record("A", 1);
    // The records inside A are one nesting level up, two steps in.
    Gfx().nesting = 1;
    out.ChangeIndent(graphics::kIndentIn);
    out.ChangeIndent(graphics::kIndentIn);
    Record("E");       // above the open level: a plain line
    Record("F", 1);
    Record("G");
    out.ChangeIndent(graphics::kIndentClear);
    Gfx().nesting = 0;
    Record("B");
    EXPECT_EQ(Lines(), (std::vector<std::string>{"1A: ", "    E: ", "    1    F: ", "    -    G: ", "-B: "}));
    EXPECT_EQ(out.Outline().depth, -1);
}

TEST_F(Outline, ClosingEveryLevelEndsTheNumbering) {
    Record("A", 3);
    out.CloseOutline();
    Record("B");
    EXPECT_EQ(Lines(), (std::vector<std::string>{"3A: ", "B: "}));
}

TEST_F(Outline, NestingDeeperThanTheTablesStaysInside) {
    for (int i = 0; i < 64; ++i) Record("R", 1);
    EXPECT_EQ(out.Outline().depth, graphics::kOutlineLevels - 1);
    // One more announcement finds no table entry: its record counts at the
    // deepest level, which it completes.
    for (int i = 0; i < 6; ++i) Record("S", 1);
    EXPECT_LT(out.Outline().depth, graphics::kOutlineLevels);
    const auto lines = Lines();
    ASSERT_EQ(lines.size(), 70u);
    EXPECT_EQ(lines[63], std::string(63, '-') + "1R: ");
    EXPECT_EQ(lines[64], std::string(64, '-') + "S: ");
    EXPECT_EQ(lines[65], "1S: ");
}

TEST_F(Outline, LinesThatReachNoTargetStillCountDown) {
    Gfx().sink = nullptr;
    Record("A", 1);
    Record("B");
    EXPECT_EQ(out.Outline().depth, -1);
    Gfx().sink = &ctx.list;
    Record("C");
    EXPECT_EQ(Lines(), std::vector<std::string>{"C: "});
}

}  // namespace
