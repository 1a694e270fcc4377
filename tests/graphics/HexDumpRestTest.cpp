// The hex dump of a record's rest: line shape, the shown limit with its
// skipped-bytes line, skipping while the dump is off, and the end of data.

#include <gtest/gtest.h>

#include <algorithm>

#include "engine/EngineContext.h"
#include "graphics/Dialect.h"
#include "tests/graphics/GraphicsInput.h"

namespace {

using graphics::Gfx;
using graphicstest::DumperTest;

std::vector<uint8_t> Counting(size_t n) {
    std::vector<uint8_t> v(n);
    for (size_t i = 0; i < n; ++i) v[i] = static_cast<uint8_t>(i);
    return v;
}

std::string Padded(std::string hex, const std::string& chars) {
    hex.resize(58, ' ');
    return hex + chars;
}

class HexDumpRest : public DumperTest {
protected:
    HexDumpRest() { Gfx().hexDump = 1; }
};

TEST_F(HexDumpRest, ShortLastLineKeepsTheCharacterColumn) {
    std::vector<uint8_t> bytes = {'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J', 'K', 'L', 'M', 'N', 'O', 'P',
                                  0x00, 0x7F, 0x80, 0x20, 'z'};
    Feed(bytes);
    out.HexDumpRest(20);
    EXPECT_EQ(Lines(), (std::vector<std::string>{
                           Padded("00000- 41 42 43 44 45 46 47 48  49 4a 4b 4c 4d 4e 4f 50 ", "ABCDEFGHIJKLMNOP"),
                           Padded("00010- 00 7f 80 20 ", "... "),
                       }));
    EXPECT_EQ(Gfx().bytePosition, 20u);
}

TEST_F(HexDumpRest, LimitAndSkippedBytes) {
    struct Row {
        uint32_t n;
        size_t lines;
        const char* last;  // nullptr: the last line is a dump line
    };
    const Row rows[] = {
        {16, 1, nullptr},
        {10240, 640, nullptr},
        {10241, 641, "0x1 (1) bytes skipped!"},
        {10240 + 300, 641, "0x12C (300) bytes skipped!"},
    };
    for (const Row& r : rows) {
        graphics::ResetQwgDumper();
        Gfx().sink = &ctx.list;
        Gfx().hexDump = 1;
        ctx.list.lines.clear();
        Feed(Counting(r.n));
        out.HexDumpRest(r.n);
        const auto lines = Lines();
        ASSERT_EQ(lines.size(), r.lines) << r.n;
        if (r.last) {
            EXPECT_EQ(lines.back(), r.last) << r.n;
            EXPECT_EQ(lines[lines.size() - 2].substr(0, 7), "027F0- ") << r.n;
        }
        // Every byte was consumed, shown or not.
        EXPECT_EQ(Gfx().bytePosition, r.n) << r.n;
        EXPECT_FALSE(Gfx().endOfData) << r.n;
    }
}

TEST_F(HexDumpRest, WithTheDumpOffTheBytesAreOnlyRead) {
    Gfx().hexDump = 0;
    Feed(Counting(8));
    out.HexDumpRest(5);
    EXPECT_TRUE(Lines().empty());
    EXPECT_EQ(Gfx().bytePosition, 5u);
    out.HexDumpRest(0);
    EXPECT_EQ(Gfx().bytePosition, 5u);
}

TEST_F(HexDumpRest, EndOfDataShowsWhatWasReadAndStops) {
    Feed(Counting(20));
    out.HexDumpRest(10300);
    const auto lines = Lines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0].substr(0, 7), "00000- ");
    EXPECT_NE(std::find(lines.begin(), lines.end(), Padded("00010- 10 11 12 13 ", "....")), lines.end());
    for (const std::string& l : lines) EXPECT_EQ(l.find("skipped"), std::string::npos) << l;
    EXPECT_TRUE(Gfx().endOfData);
    // Once the data has ended nothing more is read or shown.
    const size_t before = ctx.list.lines.size();
    out.HexDumpRest(10);
    EXPECT_EQ(ctx.list.lines.size(), before);
}

TEST_F(HexDumpRest, ADialectWithoutALimitShowsTheWholeRest) {
    const graphics::DumpDialect whole{.hexDumpLimit = 0,
                                      .newlineSuffixAsBlank = false,
                                      .outline = &graphics::SalvinoOutlineNumbering()};
    engine::Profile profile = engine::SalvinoProfile();
    profile.dumpDialect = &whole;
    engine::Ctx().profile = &profile;
    Feed(Counting(10241));
    out.HexDumpRest(10241);
    const auto lines = Lines();
    ASSERT_EQ(lines.size(), 641u);
    EXPECT_EQ(lines.back(), Padded("02800- 00 ", "."));
}

}  // namespace
