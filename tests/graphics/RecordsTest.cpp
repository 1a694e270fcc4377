// Record framing with handlers installed for the test: short and long
// reads of a record, the state a detail starts from, nested records held
// inside their enclosing record, one list line per record, and the base a
// pass reads from.

#include <gtest/gtest.h>

#include <array>

#include "engine/DocFile.h"
#include "engine/EngineContext.h"
#include "graphics/Dialect.h"
#include "graphics/GraphicsState.h"
#include "graphics/Dumper.h"
#include "tests/support/CompoundBuilder.h"
#include "tests/support/QwgBuilder.h"
#include "tests/graphics/GraphicsInput.h"
#include "tests/support/Recording.h"

namespace {

using graphics::Gfx;
using graphics::RecordRow;
using testsupport::QwgBuilder;

int startCalls = 0;

// Type 1: the first data byte is the precision (as the Start record keeps it).
void StartHandler(const RecordRow& row) {
    ++startCalls;
    graphics::Out().EmitRecordTitle(row.title);
    graphics::ReadRecordLength(row.expectedLength);
    Gfx().precision = graphics::ReadQwgByte() == 1 ? graphics::Precision::Double : graphics::Precision::Single;
    for (int i = 0; i < 3; ++i) graphics::ReadQwgByte();
}

// Type 21: reads one byte of whatever it holds.
void ShortReader(const RecordRow& row) {
    graphics::Out().EmitRecordTitle(row.title);
    graphics::ReadRecordLength(row.expectedLength);
    graphics::ReadQwgByte();
}

// Type 24: reads six bytes of whatever it holds.
void LongReader(const RecordRow& row) {
    graphics::Out().EmitRecordTitle(row.title);
    graphics::ReadRecordLength(row.expectedLength);
    for (int i = 0; i < 6; ++i) graphics::ReadQwgByte();
}

// Type 32: shows the precision it finds, a sub-block and a range line.
void PrecisionShower(const RecordRow& row) {
    graphics::DumpPrinter& out = graphics::Out();
    out.EmitRecordTitle(row.title);
    graphics::ReadRecordLength(row.expectedLength);
    if (Gfx().detail) out.EmitIndented("precision %d", static_cast<int>(Gfx().precision));
    out.EmitBlockTitle("Sub Block");
    out.CheckRange(99, 0, 1, "Value");
    out.HexDumpRest(Gfx().recordEnd - Gfx().bytePosition);
}

// Type 18: its data is nested records.
void Nesting(const RecordRow& row) {
    graphics::Out().EmitRecordTitle(row.title);
    graphics::ReadRecordLength(row.expectedLength);
    Gfx().nesting += 1;
    graphics::DumpEmbeddedRecords();
    Gfx().nesting -= 1;
}

std::array<RecordRow, graphics::kRecordTableRows> TestTable() {
    std::array<RecordRow, graphics::kRecordTableRows> rows{};
    const auto salvino = graphics::SalvinoRecordTable();
    std::copy(salvino.begin(), salvino.end(), rows.begin());
    // The framing is under test: every other record is dumped generically.
    for (RecordRow& r : rows)
        if (r.handler) r.handler = graphics::DumpGenericRecord;
    rows[1].handler = StartHandler;
    rows[21].handler = ShortReader;
    rows[24].handler = LongReader;
    rows[32].handler = PrecisionShower;
    rows[18].handler = Nesting;
    return rows;
}

class Records : public graphicstest::RecordTableTest {
protected:
    Records() : RecordTableTest(TestTable()) { startCalls = 0; }
    static std::vector<std::pair<std::string, uint32_t>> Lines(const testsupport::RecordingList& l) {
        std::vector<std::pair<std::string, uint32_t>> out;
        for (const auto& line : l.lines) out.emplace_back(line.text, line.tag);
        return out;
    }
};

using Lines_t = std::vector<std::pair<std::string, uint32_t>>;

TEST_F(Records, ShortAndLongReadsAreReportedAndTheNextRecordStartsAtTheRecordEnd) {
    // Start at 0x1A (8 bytes), a short read at 0x22 (4 + 4), a long read at
    // 0x2A (4 + 2), then Rectangle... read from 0x30.
    engine::DocFile* f = Open(QwgBuilder()
                                  .Record(4, 1, 0, {0, 0, 0, 0})
                                  .Record(4, 21, 0, {1, 2, 3, 4})
                                  .Record(4, 24, 0, {5, 6})
                                  .Record(4, 33, 0, {7})
                                  .End()
                                  .bytes);
    ASSERT_EQ(graphics::CheckQwgRecords(f, &ctx.defaultList, 0), 1);
    EXPECT_EQ(Lines(ctx.defaultList),
              (Lines_t{{"Warning:  All data not read in previous record, 3 bytes left over.", 0x40000001},
                       {"Error:  Read past end of last record, 4 extra bytes read.", 0x40000002}}));
    ASSERT_EQ(graphics::ListQwgRecords(f, &ctx.list, 0, 0xFFFFFFFF, 0xFFFFFFFF, 0), 1);
    EXPECT_EQ(Lines(ctx.list), (Lines_t{{"Start QWG Data: ", 0x1A},
                                        {"Polyline: ", 0x22},
                                        {"Rectangle: ", 0x2A},
                                        {"Object Capsule: ", 0x30},
                                        {"End QWG Data: ", 0x35}}));
}

TEST_F(Records, ADetailStartsFromTheStateOfTheRecordsPlaceAndWalksOnFromThere) {
    QwgBuilder b;
    b.Record(4, 1, 0, {1, 0, 0, 0});  // double precision
    for (int i = 0; i < 20; ++i) b.Record(4, 32, 0, {0});
    b.Record(4, 1, 0, {0, 0, 0, 0});  // single from here on
    b.Record(4, 32, 0, {0}).End();
    engine::DocFile* f = Open(b.bytes);
    const uint32_t first = 0x1A + 8, tenth = first + 9 * 5, second = first + 20 * 5 + 8;

    auto precisionShown = [&](uint32_t at) {
        ctx.list.lines.clear();
        EXPECT_EQ(graphics::DumpQwgRecordAt(f, &ctx.list, at, 264, 0), 1);
        for (const auto& l : ctx.list.lines)
            if (l.text.rfind("precision ", 0) == 0) return l.text;
        return std::string("none");
    };
    EXPECT_EQ(precisionShown(first), "precision 1");
    EXPECT_EQ(precisionShown(tenth), "precision 1");
    EXPECT_EQ(precisionShown(second), "precision 0");
    // Each detail walked on from the last: the first Start was read once.
    EXPECT_EQ(startCalls, 2);
    // An earlier record walks again from the start of the records.
    EXPECT_EQ(precisionShown(first), "precision 1");
    EXPECT_EQ(startCalls, 3);
    // The detail itself shows its sub-block and range lines.
    EXPECT_NE(std::find(ctx.list.Texts().begin(), ctx.list.Texts().end(), "Sub Block: "), ctx.list.Texts().end());
}

TEST_F(Records, TheListHasOneLinePerRecord) {
    QwgBuilder b;
    b.Record(4, 1, 0, {0, 0, 0, 0});
    for (int i = 0; i < 5; ++i) b.Record(4, 32, 0, {static_cast<uint8_t>(i)});
    b.End();
    engine::DocFile* f = Open(b.bytes);
    ASSERT_EQ(graphics::ListQwgRecords(f, &ctx.list, 0, 0xFFFFFFFF, 0xFFFFFFFF, 0), 1);
    ASSERT_EQ(ctx.list.lines.size(), 7u);
    for (size_t n = 1; n <= 5; ++n) EXPECT_EQ(ctx.list.lines[n].text, "Group: ");
    EXPECT_EQ(ctx.list.lines[6].text, "End QWG Data: ");
}

TEST_F(Records, NestedRecordsStayInsideTheirEnclosingRecord) {
    // The enclosing record holds 12 bytes: a record of 2 (6 bytes), then a
    // record whose length (40) runs past the enclosing end, and an unknown
    // type of 9 data bytes that would too.
    std::vector<uint8_t> inner = QwgBuilder().Record(4, 33, 0, {1, 2}).bytes;
    inner.erase(inner.begin(), inner.begin() + 26);
    inner.insert(inner.end(), {4, 32, 0, 40, 9, 9});
    QwgBuilder b;
    b.Record(4, 1, 0, {0, 0, 0, 0}).Record(4, 18, 0, inner).Record(4, 33, 0, {7}).End();
    engine::DocFile* f = Open(b.bytes);
    ASSERT_EQ(graphics::CheckQwgRecords(f, &ctx.defaultList, 0), 1);
    // No header was read past the enclosing record: nothing to report.
    EXPECT_EQ(Lines(ctx.defaultList), Lines_t{});
    ASSERT_EQ(graphics::ListQwgRecords(f, &ctx.list, 0, 0xFFFFFFFF, 0xFFFFFFFF, 0), 1);
    const std::vector<std::string> titles = ctx.list.Texts();
    EXPECT_EQ(titles, (std::vector<std::string>{"Start QWG Data: ", "Object Image: ", "Object Capsule: ", "Group: ",
                                                "Object Capsule: ", "End QWG Data: "}));

    // An unknown type nested is skipped only up to the enclosing end.
    inner.resize(6);
    inner.insert(inner.end(), {4, 0x50, 0, 9, 1, 1});
    QwgBuilder u;
    u.Record(4, 1, 0, {0, 0, 0, 0}).Record(4, 18, 0, inner).Record(4, 33, 0, {7}).End();
    f = Open(u.bytes);
    ctx.defaultList.lines.clear();
    ASSERT_EQ(graphics::CheckQwgRecords(f, &ctx.defaultList, 0), 1);
    EXPECT_EQ(Lines(ctx.defaultList), Lines_t{});
}

TEST_F(Records, AListAtBaseZeroAfterADetailAtABaseReadsFromZero) {
    // A stream whose No-op record holds a second stream.
    const std::vector<uint8_t> inner = QwgBuilder().Record(4, 33, 0, {1}).End().bytes;
    QwgBuilder outer;
    outer.Record(4, 1, 0, {0, 0, 0, 0}).Record(4, 35, 0, inner).End();
    const uint32_t base = 0x1A + 8 + 4;
    engine::DocFile* f = Open(outer.bytes);
    graphics::StartQwgReader(f);
    ASSERT_EQ(graphics::ListQwgRecords(f, &ctx.list, 0, 0xFFFFFFFF, 0xFFFFFFFF, 0), 1);
    const std::vector<std::string> alone = ctx.list.Texts();
    ctx.list.lines.clear();
    ASSERT_EQ(graphics::DumpQwgRecordAt(f, &ctx.list, 0x1A, 264, base), 1);
    EXPECT_EQ(ctx.list.Texts().front(), "Client Class Record at File Offset 1ah (26) ");
    EXPECT_EQ(ctx.list.Texts()[1], "Object Capsule: ");
    ctx.list.lines.clear();
    ASSERT_EQ(graphics::ListQwgRecords(f, &ctx.list, 0, 0xFFFFFFFF, 0xFFFFFFFF, 0), 1);
    EXPECT_EQ(ctx.list.Texts(), alone);
}

// Hex rows carry their absolute file offset, in either mode and after a
// header that is not shown.
class OffsetList final : public engine::ListTarget {
public:
    void Append(std::string_view text, uint32_t tag) override { AppendAt(text, tag, engine::kNoFileOffset); }
    void AppendAt(std::string_view text, uint32_t, int64_t offset) override {
        texts.emplace_back(text);
        offsets.push_back(offset);
    }
    size_t Size() const override { return texts.size(); }
    std::string Text(size_t i) const override { return texts[i]; }
    uint32_t Tag(size_t) const override { return 0; }
    void RemoveLast() override {}
    std::vector<std::string> texts;
    std::vector<int64_t> offsets;
};

TEST_F(Records, HexRowsCarryTheirAbsoluteFileOffset) {
    std::vector<uint8_t> doc(0x100, 0);
    QwgBuilder b;
    b.Record(4, 1, 0, {0, 0, 0, 0}).Record(4, 33, 0, testsupport::Pattern(20, 1));
    b.FillTo(40958).Record(4, 33, 0, testsupport::Pattern(300, 2)).End();
    doc.insert(doc.end(), b.bytes.begin(), b.bytes.end());
    engine::DocFile* f = Open(doc);
    struct Row {
        int mode;
        uint32_t record;
        size_t firstRow;     // index of the first hex row
        int64_t rowOffset;   // its file offset
    };
    // First the header across the first buffer's end (later passes align
    // the buffer to where they seek).
    const Row rows[] = {
        {263, 40958, 2, 0x100 + 40958 + 6},       // "Header not displayed": the data
        {263, 0x22, 1, 0x100 + 0x22},             // from the header's first byte
        {264, 0x22, 3, 0x100 + 0x22 + 4},         // the data after the length
    };
    for (const Row& r : rows) {
        OffsetList list;
        ASSERT_EQ(graphics::DumpQwgRecordAt(f, &list, r.record, r.mode, 0x100), 1);
        ASSERT_GT(list.texts.size(), r.firstRow + 1) << r.record;
        for (size_t i = 0; i < r.firstRow; ++i) EXPECT_EQ(list.offsets[i], engine::kNoFileOffset) << list.texts[i];
        EXPECT_EQ(list.offsets[r.firstRow], r.rowOffset) << list.texts[r.firstRow];
        EXPECT_EQ(list.offsets[r.firstRow + 1], r.rowOffset + 16) << r.record;
    }
}

}  // namespace
