// Text codes and chart styles read inside their record whatever their sizes
// say, and graphics nested in a presentation walked as streams of their own.

#include <gtest/gtest.h>

#include <array>
#include <random>

#include "engine/DocFile.h"
#include "engine/EngineContext.h"
#include "graphics/ChartStyle.h"
#include "graphics/Dialect.h"
#include "graphics/Dumper.h"
#include "graphics/GraphicText.h"
#include "graphics/GraphicsState.h"
#include "tests/support/CompoundBuilder.h"
#include "tests/support/QwgBuilder.h"
#include "tests/graphics/GraphicsInput.h"
#include "tests/support/Recording.h"

namespace {

using graphics::Gfx;
using graphics::RecordRow;
using testsupport::QwgBuilder;
using Bytes = std::vector<uint8_t>;

uint32_t countLeft = 0;

// Type 15 as the record handlers read it: the codes over the record's rest.
void TextData(const RecordRow& row) {
    graphics::Out().EmitRecordTitle(row.title);
    graphics::ReadRecordLength(row.expectedLength);
    uint32_t count = Gfx().recordEnd - Gfx().bytePosition;
    graphics::DescribeGraphicText(count);
    countLeft = count;
}

// Type 24: reports a first coordinate past 100, the way a box check would.
void Boxed(const RecordRow& row) {
    graphics::Out().EmitRecordTitle(row.title);
    graphics::ReadRecordLength(row.expectedLength);
    const int32_t x = graphics::ReadQwgWord();
    if (x > 100) graphics::Out().EmitError("bad coordinate %d at %u", x, Gfx().bytePosition - 2);
}

std::array<RecordRow, graphics::kRecordTableRows> TestTable() {
    std::array<RecordRow, graphics::kRecordTableRows> rows{};
    const auto salvino = graphics::SalvinoRecordTable();
    std::copy(salvino.begin(), salvino.end(), rows.begin());
    rows[15].handler = TextData;
    rows[16].handler = graphics::DumpChartStyle;
    rows[24].handler = Boxed;
    return rows;
}

class Present : public graphicstest::RecordTableTest {
protected:
    Present() : RecordTableTest(TestTable()) {}
    std::vector<std::string> Check(const Bytes& bytes, uint32_t base = 0) {
        engine::DocFile* f = Open(bytes);
        ctx.defaultList.lines.clear();
        EXPECT_EQ(graphics::CheckQwgRecords(f, &ctx.defaultList, base), 1);
        return ctx.defaultList.Texts();
    }
    std::vector<std::string> List(const Bytes& bytes, uint32_t base = 0) {
        engine::DocFile* f = Open(bytes);
        ctx.list.lines.clear();
        EXPECT_EQ(graphics::ListQwgRecords(f, &ctx.list, 0, 0xFFFFFFFF, 0xFFFFFFFF, base), 1);
        return ctx.list.Texts();
    }
    std::vector<std::string> Detail(const Bytes& bytes, uint32_t at) {
        engine::DocFile* f = Open(bytes);
        ctx.list.lines.clear();
        EXPECT_EQ(graphics::DumpQwgRecordAt(f, &ctx.list, at, 264, 0), 1);
        return ctx.list.Texts();
    }
};

// Functions of every group whose sizes reach well past any record.
const Bytes kCodes = {
    'a', 0xD3, 1, 14, 0, 0, 0, 0, 0, 0x80, 1, 0, 14, 0, 0xD3,               // line spacing
    0xD3, 14, 0xFF, 0x7F, 1, 2,                                             // outline define, size 32767
    0xD3, 9, 0xFF, 0x7F,                                                    // unnamed, size 32767
    0xD4, 26, 0xFF, 0x7F, 1, 2, 1, 0, 2, 0, 3, 0, 4, 0, 5, 0, 6, 0, 7, 0,   // font face, cut
    0xD4, 41, 0xFF, 0x7F,                                                   // overstrike, size 32767
    0xE0, 16, 17, 0, 0, 0, 0, 1, 0,                                         // tab, cut
    0xE1, 22, 0, 0, 0, 0xFF, 0x7F, 1, 0xFF, 0xFF, 1, 2, 3, 4,               // 65535 colours
    0xE1, 40, 0, 0, 0, 0xFF, 0x7F,                                          // unnamed, data 32767
    0xF0, 65, 1, 0xF0, 0xF2, 3, 0xF2, 'z',
};

TEST_F(Present, TextCodesNeverReadPastTheRecordEndAtAnyCut) {
    // Each function alone, and the whole run cut at every length: the next
    // record starts where this one ends, and the count is used up.
    for (size_t n = 0; n <= kCodes.size(); ++n) {
        SCOPED_TRACE(n);
        const Bytes body(kCodes.begin(), kCodes.begin() + static_cast<std::ptrdiff_t>(n));
        const Bytes file = QwgBuilder().Record(4, 15, 0, body).Record(4, 35, 0, {}).End().bytes;
        EXPECT_EQ(Check(file), std::vector<std::string>{});
        const std::vector<std::string> list = List(file);
        EXPECT_EQ(list, (std::vector<std::string>{"Text Data: ", "No-op: ", "End QWG Data: "}));
        countLeft = 99;
        Detail(file, 0x1A);
        EXPECT_EQ(countLeft, 0u);
    }
}

TEST_F(Present, UnnamedSubFunctionsArePassedOverByTheirSize) {
    // 0xD3 9 and 0xE1 40 hold bytes that would read as codes.
    const Bytes body = {0xD3, 9, 9, 0, 0xF2, 1, 9, 0, 0xD3, 0xE1, 40, 0, 0, 0, 2, 0, 0xB9, 'q', 0, 0, 0xE1, 'k'};
    const std::vector<std::string> lines = Detail(QwgBuilder().Record(4, 15, 0, body).End().bytes, 0x1A);
    for (const std::string& l : lines) {
        EXPECT_EQ(l.find("Attribute on"), std::string::npos) << l;
        EXPECT_EQ(l.find("<HRT>"), std::string::npos) << l;
    }
    EXPECT_NE(std::find(lines.begin(), lines.end(), "  k"), lines.end());
}

TEST_F(Present, ChartStylesOfAnyBodyEndAtTheirRecord) {
    // Random bodies after a fixed head; the style data is whatever follows.
    std::mt19937 rng(16);
    for (uint32_t length = 11; length <= 300; length += 7) {
        Bytes body(length);
        for (uint8_t& b : body) b = static_cast<uint8_t>(rng() % 30);
        body[0] = body[1] = 0;  // no characterization extras
        const Bytes file = QwgBuilder().Record(4, 16, 0, body).Record(4, 35, 0, {}).End().bytes;
        SCOPED_TRACE(length);
        EXPECT_EQ(List(file), (std::vector<std::string>{"Chart Style: ", "No-op: ", "End QWG Data: "}));
        for (const std::string& e : Check(file)) {
            EXPECT_EQ(e.find("Read past end"), std::string::npos) << e;
            EXPECT_EQ(e.find("data not read"), std::string::npos) << e;
        }
        const std::vector<std::string> first = Detail(file, 0x1A);
        EXPECT_EQ(Detail(file, 0x1A), first);
    }
}

TEST_F(Present, AStyleSubRecordPastTheDataEndsTheWalkWithItsName) {
    Bytes body = {0, 0, 1, 0, 1, 0, 9, 0, 9, 0, 1};
    for (uint8_t b : {6, 4, 1, 2, 3, 4, 2, 48, 1}) body.push_back(b);
    const std::vector<std::string> errors = Check(QwgBuilder().Record(4, 16, 0, body).End().bytes);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], "    !! BAD !!Style OpCode Name = AXIS,        Number = 2h (2), Length = 30h (48)");
}

// A presentation whose sections 7 and 11 hold a graphic with a bad
// coordinate; every other section is empty.
Bytes Presentation() {
    testsupport::QwgPrefix p;
    p.product = 15;
    p.fileType = 15;
    QwgBuilder s(p);
    Bytes& b = s.bytes;
    auto put16 = [&](uint32_t v) {
        b.push_back(static_cast<uint8_t>(v));
        b.push_back(static_cast<uint8_t>(v >> 8));
    };
    auto put32 = [&](uint32_t v) {
        put16(v & 0xFFFF);
        put16(v >> 16);
    };
    b.resize(b.size() + 4 + 96 + 10 + 2 * 58 + 13, 0);
    const Bytes graphic = QwgBuilder().Record(4, 24, 0, {0x2C, 0x01}).End().bytes;
    for (int section = 1; section <= 11; ++section) {
        const bool held = section == 7 || section == 11;
        put16(1);                // m
        put16(held ? 1 : 0);     // entries
        put16(8);
        if (!held) continue;
        put32(0);
        put32(1 + static_cast<uint32_t>(graphic.size()));
        b.push_back(0x77);
        b.insert(b.end(), graphic.begin(), graphic.end());
    }
    return b;
}

TEST_F(Present, NestedGraphicsAreCheckedAtTheirOwnBaseAndTheWalkGoesOn) {
    Bytes doc(0x300, 0);
    const Bytes p = Presentation();
    doc.insert(doc.end(), p.begin(), p.end());
    const std::vector<std::string> errors = Check(doc, 0x300);
    // The rectangle's coordinate sits right after its stream's prefix and header.
    EXPECT_EQ(errors, (std::vector<std::string>{"bad coordinate 300 at 30", "bad coordinate 300 at 30"}));
    const std::vector<std::string> list = List(doc, 0x300);
    EXPECT_EQ(std::count(list.begin(), list.end(), "Rectangle: "), 2);
    EXPECT_EQ(std::count(list.begin(), list.end(), "KLV QWG Section "), 1);
    EXPECT_EQ(list.back(), "DataEND. ");
    // Shown as one record, the dump stops after the outline section.
    engine::DocFile* f = Open(doc);
    ctx.list.lines.clear();
    ASSERT_EQ(graphics::DumpQwgRecordAt(f, &ctx.list, 0x1A, 264, 0x300), 1);
    const std::vector<std::string> single = ctx.list.Texts();
    EXPECT_EQ(std::count(single.begin(), single.end(), "KLV OUTLINE Section "), 1);
    EXPECT_EQ(std::count(single.begin(), single.end(), "KLV MASTER SLIDE Section "), 0);
}

TEST_F(Present, ASectionKeepsEveryAnnouncedEntryAndTheEndOfDataEndsTheWalk) {
    Bytes p = Presentation();
    // Section 1 announces 1001 entries of 8 bytes, then the data ends.
    const size_t head = 26 + 4 + 96 + 10 + 2 * 58 + 13;
    p.resize(head);
    p.insert(p.end(), {0, 0, 0xE9, 0x03, 8, 0});
    for (uint32_t i = 0; i < 1001; ++i) p.insert(p.end(), {static_cast<uint8_t>(i), 0, 0, 0, 0, 0, 0, 0});
    const std::vector<std::string> list = List(p);
    EXPECT_NE(std::find(list.begin(), list.end(), "    Directory Entry #1000 =       e8h:       0h "), list.end());
    EXPECT_EQ(std::count(list.begin(), list.end(), "    Option Structure #0    |FF|"), 1);
    EXPECT_NE(std::find(list.begin(), list.end(), " Unexpected EOF while reading data. "), list.end());
    EXPECT_EQ(std::count(list.begin(), list.end(), "KLV MASTER SLIDE Section "), 0);
}

}  // namespace
