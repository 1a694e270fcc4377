// The characterization at the head of an entity record: the bytes it
// reads for each flag, the transformation it sets and its lines.

#include <gtest/gtest.h>

#include "graphics/Fields.h"
#include "graphics/Fixed32.h"
#include "tests/graphics/GraphicsInput.h"

namespace {

using graphics::Fixed32;
using graphics::Gfx;
using graphicstest::DumperTest;

void Put16(std::vector<uint8_t>& b, uint32_t v) {
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& b, uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}
std::vector<uint8_t> Words(std::initializer_list<uint32_t> dwords, uint16_t flags) {
    std::vector<uint8_t> b;
    Put16(b, flags);
    for (uint32_t d : dwords) Put32(b, d);
    return b;
}

class Characterization : public DumperTest {
protected:
    uint32_t Read(const std::vector<uint8_t>& bytes) {
        std::vector<uint8_t> padded = bytes;
        padded.insert(padded.end(), 8, 0xEE);  // what follows is not read
        Feed(padded);
        const uint32_t n = graphics::ReadCharacterization();
        EXPECT_EQ(Gfx().bytePosition, n);
        return n;
    }
};

TEST_F(Characterization, BytesReadForEachFlag) {
    struct Row {
        const char* what;
        uint16_t flags;
        size_t dwords;
        uint32_t bytes;
    };
    const Row rows[] = {
        {"none", 0x0000, 0, 2},
        {"state bits read nothing", 0xF900, 0, 2},
        {"edit lock", 0x0080, 1, 6},
        {"rotation", 0x0010, 5, 22},
        {"rotation with scale and shear", 0x001C, 5, 22},
        {"scale", 0x0008, 2, 10},
        {"shear", 0x0004, 2, 10},
        {"taper", 0x0001, 2, 10},
        {"all but the id", 0x00DF, 1 + 5 + 2, 2 + 4 + 20 + 12 + 8},
    };
    for (const Row& r : rows) {
        graphics::ResetQwgDumper();
        graphics::Gfx().headerLinesOff = true;
        std::vector<uint8_t> bytes;
        Put16(bytes, r.flags);
        for (size_t i = 0; i < r.dwords; ++i) Put32(bytes, 0x00010000);
        if (r.flags & 0x02) bytes.insert(bytes.end(), 12, 0);
        EXPECT_EQ(Read(bytes), r.bytes) << r.what;
    }
    EXPECT_TRUE(Lines().empty());
}

TEST_F(Characterization, RotationSetsTheElementsAndShowsThem) {
    // 90 degrees: SxCos 0, SyCos 0, -KxSin -1, KySin 1.
    EXPECT_EQ(Read(Words({0x005A0000, 0, 0, 0xFFFF0000, 0x00010000}, 0x0010)), 22u);
    EXPECT_EQ(Lines(), (std::vector<std::string>{
                           "Characterization Flag =   10h ",
                           "  Entity is to be Rotated ",
                           "  Rotating Elements: ",
                           "    Rotation Angle = 005a.0000h (i:   90 f:00000)",
                           "    SxCos\xE9         = 0000.0000h (i:    0 f:00000)",
                           "    SyCos\xE9         = 0000.0000h (i:    0 f:00000)",
                           "    -KxSin\xE9        = ffff.0000h (i:   -1 f:00000)",
                           "    KySin\xE9         = 0001.0000h (i:    1 f:00000)",
                       }));
    uint32_t x = 0, y = 0;
    graphics::TransformPoint(1, 2, &x, &y);
    EXPECT_EQ(x, 0xFFFFFFFEu);
    EXPECT_EQ(y, 1u);
}

TEST_F(Characterization, ScaleWithRotationShowsTheRotationsValuesAgain) {
    Read(Words({0, 0x00020000, 0x00030000, 0, 0}, 0x0018));
    const auto lines = Lines();
    ASSERT_EQ(lines.size(), 12u);
    EXPECT_EQ(lines[8], "  Entity is to be Scaled ");
    EXPECT_EQ(lines[9], "  Scaling Elements: ");
    EXPECT_EQ(lines[10], "    SxCos\xE9 = 0002.0000h (i:    2 f:00000) ");
    EXPECT_EQ(lines[11], "    SyCos\xE9 = 0003.0000h (i:    3 f:00000) ");
    EXPECT_EQ(Gfx().bytePosition, 22u);
}

TEST_F(Characterization, FlagLinesEditLockAndEntityId) {
    std::vector<uint8_t> b;
    Put16(b, 0xA8A0);  // framed, filled, clockwise; edit lock; entity id
    Put32(b, 0xDEADBEEF);
    Put16(b, 0x8001);
    Put16(b, 0x0002);
    EXPECT_EQ(Read(b), 10u);
    EXPECT_EQ(Lines(), (std::vector<std::string>{
                           "Characterization Flag = a8a0h ",
                           "  Entity is to be Framed ",
                           "  Entity is to be Filled ",
                           "  Entity Draw Direction is Clockwise ",
                           "  Edit Locks are defined for entity ",
                           "  Edit Lock Flag = deadbeefh ",
                           "        Entity Object ID = 0x80010002",
                       }));
    EXPECT_TRUE(graphics::IsIdentityTransform());
}

TEST_F(Characterization, TranslationTakesTheWordAsItsFractionWord) {
    std::vector<uint8_t> b;
    Put16(b, 0x0002);
    Put16(b, 0x0001);
    Put32(b, 5);
    Put16(b, 0);
    Put32(b, 0xFFFFFFFF);
    EXPECT_EQ(Read(b), 14u);
    EXPECT_EQ(Lines(), (std::vector<std::string>{
                           "Characterization Flag =    2h ",
                           "  Entity is to be Translated ",
                           "  Translation Elements: ",
                           "    Tx =        5h.   1h (i:         5 f:1)",
                           "    Ty = ffffffffh.   0h (i:        -1 f:0)",
                       }));
    EXPECT_EQ(Gfx().transform.e[4], Fixed32::FromWords(5, 1));
    EXPECT_EQ(Gfx().transform.e[5], Fixed32::FromWords(-1, 0));
}

TEST_F(Characterization, TaperShowsEachValueTwice) {
    EXPECT_EQ(Read(Words({0x00020000, 0xFFFF8000}, 0x0001)), 10u);
    EXPECT_EQ(Lines(), (std::vector<std::string>{
                           "Characterization Flag =    1h ",
                           "  Entity is to be Tapered ",
                           "  Taper Elements: ",
                           "    Px = 20000h (131072)",
                           "     0002.0000h (i:    2 f:00000) ",
                           "    Py = ffff8000h (-32768)",
                           "     ffff.ffff8000h (i:   -1 f:4294934528) ",
                       }));
}

TEST_F(Characterization, ShearAloneSetsItsTwoElements) {
    Gfx().detail = false;  // the flag lines stay, the elements go
    Read(Words({0x00008000, 0x00004000}, 0x0004));
    EXPECT_EQ(Lines(), (std::vector<std::string>{"Characterization Flag =    4h ", "  Entity is to be Sheared "}));
    EXPECT_EQ(Gfx().transform.e[2], Fixed32::FromFixed16(0x00008000));
    EXPECT_EQ(Gfx().transform.e[1], Fixed32::FromFixed16(0x00004000));
    EXPECT_EQ(Gfx().transform.e[0], Fixed32::FromInt(1));
}

TEST_F(Characterization, StartsFromTheIdentityAndLeavesTheIndentationAsFound) {
    Gfx().transform.e[4] = Fixed32::FromInt(9);
    out.ChangeIndent(graphics::kIndentIn);
    Read(Words({}, 0x0000));
    EXPECT_TRUE(graphics::IsIdentityTransform());
    EXPECT_EQ(out.Indentation(), "  ");
    EXPECT_EQ(Lines(), std::vector<std::string>{"  Characterization Flag =    0h "});
}

TEST_F(Characterization, DataEndingInsideReportsTheEndOnce) {
    Feed(Words({0x00010000}, 0x0011));  // rotation and taper, one value there
    graphics::ReadCharacterization();
    EXPECT_TRUE(Gfx().endOfData);
    size_t eof = 0;
    for (const std::string& l : Lines()) eof += l == " Unexpected EOF while reading data. ";
    // One dump line and one list line, both to the same list here.
    EXPECT_EQ(eof, 2u);
}

TEST_F(Characterization, EveryTruncationEndsCleanly) {
    std::vector<uint8_t> full;
    Put16(full, 0xFFFF);  // every flag, a 4-byte entity id
    Put32(full, 1);
    Put16(full, 0x8000);
    Put16(full, 1);
    for (int i = 0; i < 5 + 3 + 2; ++i) Put32(full, 0x00010000);
    for (size_t n = 0; n < full.size(); ++n) {
        graphics::ResetQwgDumper();
        Gfx().sink = &ctx.list;
        out.ChangeIndent(graphics::kIndentIn);
        Feed(std::vector<uint8_t>(full.begin(), full.begin() + static_cast<long>(n)));
        graphics::ReadCharacterization();
        EXPECT_TRUE(Gfx().endOfData) << n;
        EXPECT_LE(Gfx().bytePosition, n + 1) << n;  // the failed read counts once
        EXPECT_EQ(out.Indentation(), "  ") << n;
    }
}

}  // namespace
