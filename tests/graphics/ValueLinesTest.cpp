// Value lines, indentation and line building of the dump printer, with the
// system's exact texts.

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>

#include "engine/EngineContext.h"
#include "graphics/Dialect.h"
#include "tests/graphics/GraphicsInput.h"

namespace {

using graphics::DumpPrinter;
using graphics::Gfx;
using graphics::Precision;
using graphicstest::DumperTest;

using ValueOp = void (DumpPrinter::*)(const char*, uint32_t, const char*);

struct ValueRow {
    const char* what;
    ValueOp op;
    Precision precision;
    uint32_t value;
    const char* expected;
};

const ValueRow kValueRows[] = {
    {"short zero", &DumpPrinter::EmitShortValue, Precision::Single, 0x0000, "X =    0h (    0) "},
    {"short largest", &DumpPrinter::EmitShortValue, Precision::Single, 0x7FFF, "X = 7fffh (32767) "},
    // Widened with its sign: eight hex digits.
    {"short smallest", &DumpPrinter::EmitShortValue, Precision::Single, 0x8000, "X = ffff8000h (-32768) "},
    {"short minus one", &DumpPrinter::EmitShortValue, Precision::Single, 0xFFFF, "X = ffffffffh (   -1) "},
    {"short high word ignored", &DumpPrinter::EmitShortValue, Precision::Single, 0x12345, "X = 2345h ( 9029) "},
    {"word 0x8000", &DumpPrinter::EmitWordValue, Precision::Single, 0x8000, "X = 8000h (32768) "},
    {"word largest", &DumpPrinter::EmitWordValue, Precision::Single, 0xFFFF, "X = ffffh (65535) "},
    // The fraction word is widened with its sign, in hex and decimal.
    {"fixed 1 + 0x8000", &DumpPrinter::EmitFixedValue, Precision::Single, 0x00018000,
     "X = 0001.ffff8000h (i:    1 f:4294934528) "},
    {"fixed 1 + 0x4000", &DumpPrinter::EmitFixedValue, Precision::Single, 0x00014000,
     "X = 0001.4000h (i:    1 f:16384) "},
    {"fixed minus one", &DumpPrinter::EmitFixedValue, Precision::Single, 0xFFFF0000,
     "X = ffff.0000h (i:   -1 f:00000) "},
    {"fixed smallest fraction", &DumpPrinter::EmitFixedValue, Precision::Single, 0x00000001,
     "X = 0000.0001h (i:    0 f:00001) "},
    // Unsigned: the hex integer word is still widened, the decimal one not.
    {"ufixed 0xFFFF", &DumpPrinter::EmitUFixedValue, Precision::Single, 0xFFFF0000,
     "X = ffffffff.0000h (i:65535 f:00000) "},
    {"ufixed 1 + 0x4000", &DumpPrinter::EmitUFixedValue, Precision::Single, 0x00014000,
     "X = 0001.4000h (i:    1 f:16384) "},
    {"coord single", &DumpPrinter::EmitCoordValue, Precision::Single, 0x0001FFFE, "X = fffffffeh (   -2) "},
    {"coord double", &DumpPrinter::EmitCoordValue, Precision::Double, 0x00020000,
     "X = 0002.0000h (i:    2 f:00000) "},
    {"ucoord single", &DumpPrinter::EmitUCoordValue, Precision::Single, 0xFFFE, "X = fffeh (65534) "},
    {"ucoord double", &DumpPrinter::EmitUCoordValue, Precision::Double, 0x80000000,
     "X = ffff8000.0000h (i:32768 f:00000) "},
};

class ValueLines : public DumperTest, public ::testing::WithParamInterface<ValueRow> {};

TEST_P(ValueLines, ShowsHexBesideDecimal) {
    const ValueRow& row = GetParam();
    Gfx().precision = row.precision;
    (out.*row.op)("X =", row.value, " ");
    EXPECT_EQ(Lines(), std::vector<std::string>{row.expected});
}

INSTANTIATE_TEST_SUITE_P(Rows, ValueLines, ::testing::ValuesIn(kValueRows),
                         [](const auto& info) {
                             std::string name;
                             for (char c : std::string(info.param.what)) name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             return name;
                         });

// The value lines are put together without printf; printf's own formats
// are the reference, over every 16-bit word and its sign.
TEST_F(DumperTest, ValueLinesAreWhatTheirPrintfFormatsGive) {
    out.ChangeIndent(graphics::kIndentIn);
    std::vector<std::string> expected;
    char buf[128];
    for (uint32_t w = 0; w <= 0xFFFF; ++w) {
        const uint32_t fixed = (w << 16) | ((w * 40503u) & 0xFFFF);
        out.EmitShortValue("S =", w, " ");
        out.EmitWordValue("W =", w, "!");
        out.EmitFixedValue("F =", fixed, "");
        out.EmitUFixedValue("U =", fixed, " x");
        const int32_t s16 = static_cast<int16_t>(w);
        const int32_t f16 = static_cast<int16_t>(fixed & 0xFFFF);
        std::snprintf(buf, sizeof buf, "%s%s %4xh (%5d)%s", "  ", "S =", static_cast<unsigned>(s16), s16, " ");
        expected.emplace_back(buf);
        std::snprintf(buf, sizeof buf, "%s%s %4xh (%5d)%s", "  ", "W =", w, static_cast<int>(w), "!");
        expected.emplace_back(buf);
        std::snprintf(buf, sizeof buf, "%s%s %.4x.%.4xh (i:%5d f:%.5u)%s", "  ", "F =", w, static_cast<unsigned>(f16),
                      s16, static_cast<unsigned>(f16), "");
        expected.emplace_back(buf);
        std::snprintf(buf, sizeof buf, "%s%s %.4x.%.4xh (i:%5u f:%.5u)%s", "  ", "U =", static_cast<unsigned>(s16),
                      static_cast<unsigned>(f16), w, static_cast<unsigned>(f16), " x");
        expected.emplace_back(buf);
    }
    EXPECT_EQ(Lines(), expected);
}

TEST_F(DumperTest, IndentationStepsAreTwoBlanksAndStayBalancedPastTheShownDepth) {
    struct Row {
        const char* what;
        std::vector<int> ops;
        size_t blanks;
    };
    const std::vector<int> deep(45, graphics::kIndentIn);
    auto then = [&](std::vector<int> ops, int op, int times) {
        ops.insert(ops.end(), static_cast<size_t>(times), op);
        return ops;
    };
    const Row rows[] = {
        {"one in", {1}, 2},
        {"in in out", {1, 1, 0}, 2},
        {"out when empty", {0}, 0},
        {"out below zero then in", {0, 0, 1}, 2},
        {"clear", {1, 1, 2}, 0},
        {"unknown op", {1, 7}, 2},
        {"deep shown at 82", deep, 82},
        {"four steps back still 82", then(deep, graphics::kIndentOut, 4), 82},
        {"fifth step back", then(deep, graphics::kIndentOut, 5), 80},
    };
    for (const Row& r : rows) {
        graphics::ResetQwgDumper();
        for (int op : r.ops) out.ChangeIndent(op);
        EXPECT_EQ(out.Indentation(), std::string(r.blanks, ' ')) << r.what;
    }
}

TEST_F(DumperTest, ValueLinesStartWithTheIndentation) {
    out.ChangeIndent(graphics::kIndentIn);
    out.ChangeIndent(graphics::kIndentIn);
    out.EmitShortValue("X =", 5, " ");
    out.EmitRecordTitle("Start");
    EXPECT_EQ(Lines(), (std::vector<std::string>{"    X =    5h (    5) ", "    Start: "}));
}

TEST_F(DumperTest, QuietSuppressesRecordTitlesOnly) {
    Gfx().quiet = true;
    out.EmitRecordTitle("Start");
    out.EmitWordValue("X =", 1, "");
    EXPECT_EQ(Lines(), std::vector<std::string>{"X =    1h (    1)"});
}

TEST_F(DumperTest, LineBuildingPutsSeveralValuesOnOneLine) {
    out.StartLine();
    out.EmitShortValue("A =", 1, ",");
    out.EmitWordValue(" B =", 2, "");
    EXPECT_TRUE(Lines().empty());
    out.SendLine();
    EXPECT_FALSE(out.Building());
    EXPECT_EQ(Lines(), std::vector<std::string>{"A =    1h (    1), B =    2h (    2)"});
}

TEST_F(DumperTest, NewlineSuffixIsKeptOrTurnedIntoABlankByTheDialect) {
    out.StartLine();
    out.EmitShortValue("A =", 1, "\n");
    out.SendLine();

    const graphics::OutlineNumbering& numbering = graphics::SalvinoOutlineNumbering();
    const graphics::DumpDialect older{.hexDumpLimit = 0, .newlineSuffixAsBlank = true, .outline = &numbering};
    engine::Profile profile = engine::SalvinoProfile();
    profile.dumpDialect = &older;
    engine::Ctx().profile = &profile;
    out.StartLine();
    out.EmitShortValue("A =", 1, "\n");
    out.SendLine();
    // Outside line building the suffix stays as given.
    out.EmitShortValue("A =", 1, "\n");
    EXPECT_EQ(Lines(), (std::vector<std::string>{"A =    1h (    1)\n", "A =    1h (    1) ",
                                                  "A =    1h (    1)\n"}));
}

TEST_F(DumperTest, TransformedCoordShowsTheAfterValueOnlyOffTheIdentity) {
    out.ChangeIndent(graphics::kIndentIn);
    out.EmitTransformedCoord("L =", 5, 8);
    Gfx().transform.e[4] = graphics::Fixed32::FromInt(3);
    out.EmitTransformedCoord("L =", 5, 8);
    out.EmitShortValue("N =", 1, "");
    EXPECT_EQ(Lines(), (std::vector<std::string>{"  L =    5h (    5) ", "  L =    5h (    5)     8h (    8) ",
                                                  "  N =    1h (    1)"}));
}

TEST_F(DumperTest, EdgesAndSizeInSinglePrecision) {
    out.EmitEdges(1, 0x10, 2, 0x20);
    out.EmitWidthHeight(1, 0x10, 2, 0x20);
    // A right edge left of the left one wraps within 16 bits.
    out.EmitWidthHeight(5, 3, 0, 0);
    EXPECT_EQ(Lines(), (std::vector<std::string>{
                           "Left Edge (X)   =    1h (    1) ",
                           "Right Edge (X)  =   10h (   16) ",
                           "Bottom Edge (Y) =    2h (    2) ",
                           "Top Edge (Y)    =   20h (   32) ",
                           "Width (X)   =    fh (   15) ",
                           "Height (Y)  =   1eh (   30) ",
                           "Width (X)   = fffeh (65534) ",
                           "Height (Y)  =    0h (    0) ",
                       }));
}

TEST_F(DumperTest, EdgesAndSizeInDoublePrecision) {
    Gfx().precision = Precision::Double;
    out.EmitEdges(0x00018000, 0, 0, 0);
    out.EmitWidthHeight(0x00010000, 0x00034000, 0, 0x00008000);
    const auto lines = Lines();
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], "Left Edge (X)   = 0001.ffff8000h (i:    1 f:4294934528) ");
    EXPECT_EQ(lines[4], "Width (X)   = 0002.4000h (i:    2 f:16384) ");
    EXPECT_EQ(lines[5], "Height (Y)  = 0000.ffff8000h (i:    0 f:4294934528) ");
}

TEST_F(DumperTest, FormattedLinesTakeTheIndentationOnlyWhenAskedTo) {
    out.ChangeIndent(graphics::kIndentIn);
    out.EmitIndented("Record Length = %lxh (%lu) ", 0x1FUL, 0x1FUL);
    out.EmitFormatted("Unknown opcode %xh (%d). ", 0x47u, 0x47);
    EXPECT_EQ(Lines(), (std::vector<std::string>{"  Record Length = 1fh (31) ", "Unknown opcode 47h (71). "}));
}

}  // namespace
