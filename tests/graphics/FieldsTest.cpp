// Field reads in the current precision and the 16-bit strings.

#include <gtest/gtest.h>

#include "graphics/Fields.h"
#include "tests/graphics/GraphicsInput.h"

namespace {

using graphics::Gfx;
using graphics::Precision;
using graphicstest::DumperTest;

TEST_F(DumperTest, CoordinatesAndComponentsTakeTheirWidth) {
    Feed({0x34, 0x12, 0x78, 0x56, 0x34, 0x12, 0xAB, 0xCD, 0xEF});
    EXPECT_EQ(graphics::ReadCoordinate(Precision::Single), 0x1234u);
    EXPECT_EQ(graphics::ReadCoordinate(Precision::Double), 0x12345678u);
    EXPECT_EQ(graphics::ReadComponent(false), 0xABu);
    EXPECT_EQ(graphics::ReadComponent(true), 0xEFCDu);
    EXPECT_EQ(Gfx().bytePosition, 9u);
}

TEST_F(DumperTest, WordStringsKeepTheLowBytesUpToTheZero) {
    struct Row {
        const char* what;
        std::vector<uint8_t> bytes;
        size_t capacity;
        std::string text;
        uint32_t consumed;
        uint32_t recordEnd = 0xFFFFFFFF;
    };
    const Row rows[] = {
        {"plain", {'A', 0, 'B', 0x41, 0, 0, 'Z', 0}, 16, "AB", 6},
        {"empty", {0, 0, 'Z', 0}, 16, "", 2},
        // Past the capacity the string is still read to its end.
        {"capacity", {'A', 0, 'B', 0, 'C', 0, 0, 0}, 1, "A", 8},
        // No zero: the end of data ends it.
        {"unterminated", {'A', 0, 'B', 0}, 16, "AB", 5},
        // No zero: the record end ends it, the next record is not read.
        {"record end", {'A', 0, 'B', 0, 'C', 0, 0, 0}, 16, "AB", 4, 4},
    };
    for (const Row& r : rows) {
        graphics::ResetQwgDumper();
        Feed(r.bytes);
        Gfx().recordEnd = r.recordEnd;
        EXPECT_EQ(graphics::ReadWordString(r.capacity), r.text) << r.what;
        EXPECT_EQ(Gfx().bytePosition, r.consumed) << r.what;
    }
}

}  // namespace
