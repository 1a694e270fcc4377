// Error lines and range checks: where an error line goes and with which
// item data, and the exact out-of-range texts in both precisions.

#include <gtest/gtest.h>

#include "engine/EngineContext.h"
#include "tests/graphics/GraphicsInput.h"

namespace {

using graphics::Gfx;
using graphics::Precision;
using graphicstest::DumperTest;

TEST_F(DumperTest, ErrorLinesGoToTheCheckListElseToTheSinkWhileHeaderLinesAreOn) {
    struct Row {
        const char* what;
        bool checkPass;  // the error list is the default list
        bool sink;
        bool headerLinesOff;
        uint32_t counter;
        const char* expectedList;  // "default", "list" or nullptr
        uint32_t tag;
    };
    const Row rows[] = {
        {"check pass: the record's index", true, true, false, 5, "default", 0x40000004},
        {"check pass ignores header lines", true, false, true, 1, "default", 0x40000000},
        // Before any record header the line belongs to record 0.
        {"check pass before a record", true, false, false, 0, "default", 0x40000000},
        {"detail: the record end", false, true, false, 5, "list", 0x40001234},
        {"header lines off", false, true, true, 5, nullptr, 0},
        {"no sink", false, false, false, 5, nullptr, 0},
    };
    for (const Row& r : rows) {
        graphics::ResetQwgDumper();
        ctx.list.lines.clear();
        ctx.defaultList.lines.clear();
        engine::Ctx().sink.defaultList = r.checkPass ? &ctx.defaultList : nullptr;
        Gfx().sink = r.sink ? &ctx.list : nullptr;
        Gfx().headerLinesOff = r.headerLinesOff;
        Gfx().recordCounter = r.counter;
        Gfx().recordEnd = 0x1234;
        out.EmitError("Expected Record Length of %u, got %u.", 4u, 6u);
        const std::string where = r.expectedList ? r.expectedList : "";
        ASSERT_EQ(ctx.defaultList.lines.size(), where == "default" ? 1u : 0u) << r.what;
        ASSERT_EQ(ctx.list.lines.size(), where == "list" ? 1u : 0u) << r.what;
        if (!r.expectedList) continue;
        const auto& line = where == "default" ? ctx.defaultList.lines[0] : ctx.list.lines[0];
        EXPECT_EQ(line.text, "Expected Record Length of 4, got 6.") << r.what;
        EXPECT_EQ(line.tag, r.tag) << r.what;
    }
}

TEST_F(DumperTest, CheckRangeShowsAnOrdinaryLineAndReturnsTheValue) {
    struct Row {
        int32_t value;
        bool out;
    };
    const Row rows[] = {{1, false}, {20, false}, {0, true}, {21, true}};
    for (const Row& r : rows) {
        ctx.list.lines.clear();
        EXPECT_EQ(out.CheckRange(r.value, 1, 20, "Product type"), r.value);
        if (!r.out) {
            EXPECT_TRUE(Lines().empty()) << r.value;
            continue;
        }
        ASSERT_EQ(ctx.list.lines.size(), 1u) << r.value;
        EXPECT_EQ(ctx.list.lines[0].tag, 0u);  // not an error line
    }
    EXPECT_EQ(Lines(), std::vector<std::string>{"Product type   15h (   21) is out of range."});
}

TEST_F(DumperTest, CoordinateRangeComparesSignedInThePrecisionsWidth) {
    struct Row {
        const char* what;
        Precision precision;
        uint32_t value, lo, hi;
        const char* line;  // nullptr: inside
    };
    const Row rows[] = {
        {"single upper bound", Precision::Single, 100, 0, 100, nullptr},
        {"single past it", Precision::Single, 101, 0, 100, "Pt:  Pt   65h (  101) is out of range."},
        {"single below, negative", Precision::Single, 0xFFFF, 0, 100, "Pt:  Pt ffffffffh (   -1) is out of range."},
        {"single ignores the high word", Precision::Single, 0x00010005, 0, 100, nullptr},
        {"single negative bounds", Precision::Single, 0xFFF0, 0xFF00, 0x0010, nullptr},
        {"double upper bound", Precision::Double, 0x00640000, 0, 0x00640000, nullptr},
        {"double past it", Precision::Double, 0x00640001, 0, 0x00640000,
         "Pt:    0064.0001h (i:  100 f:00001) is out of range."},
        {"double below zero", Precision::Double, 0xFFFFFFFF, 0, 0x00640000,
         "Pt:    ffff.ffffffffh (i:   -1 f:4294967295) is out of range."},
        {"double high word counts", Precision::Double, 0x00010005, 0, 100,
         "Pt:    0001.0005h (i:    1 f:00005) is out of range."},
    };
    for (const Row& r : rows) {
        ctx.list.lines.clear();
        Gfx().precision = r.precision;
        Gfx().recordEnd = 0x40;
        out.CheckCoordRange(r.value, r.lo, r.hi, "Pt");
        if (!r.line) {
            EXPECT_TRUE(Lines().empty()) << r.what;
            continue;
        }
        ASSERT_EQ(ctx.list.lines.size(), 1u) << r.what;
        EXPECT_EQ(ctx.list.lines[0].text, r.line) << r.what;
        EXPECT_EQ(ctx.list.lines[0].tag, 0x40000040u) << r.what;
        EXPECT_FALSE(out.Building()) << r.what;
    }
}

TEST_F(DumperTest, ImageChecksTestEachCoordinateAgainstItsOwnAxis) {
    Gfx().extents = {.xMin = 0, .xMax = 10, .yMin = 0, .yMax = 100};
    out.CheckPointInImage(50, 50, "P");     // x outside, y inside
    out.CheckBoxInImage(1, 11, 101, 5, "B");  // x2 and y1 outside
    EXPECT_EQ(Lines(), (std::vector<std::string>{"P:  P   32h (   50) is out of range.",
                                                  "B:  B    bh (   11) is out of range.",
                                                  "B:  B   65h (  101) is out of range."}));
}

TEST_F(DumperTest, AnErrorLineTakesTheIndentationOfItsValueOnly) {
    out.ChangeIndent(graphics::kIndentIn);
    out.CheckCoordRange(7, 0, 5, "Pt");
    EXPECT_EQ(Lines(), std::vector<std::string>{"Pt:    Pt    7h (    7) is out of range."});
}

}  // namespace
