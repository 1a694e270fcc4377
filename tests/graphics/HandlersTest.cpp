// The record handlers: the name tables' ends, and a sweep of every record
// type over bodies of every length up to 300 bytes, random and cut short,
// in both precisions and after the records whose state handlers read. No
// handler may leave the reader more than 128 bytes past its record end,
// and a second run must give the same lines.

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <string>
#include <vector>

#include "engine/DocFile.h"
#include "engine/EngineContext.h"
#include "graphics/Dialect.h"
#include "graphics/Dumper.h"
#include "graphics/GraphicsState.h"
#include "graphics/Handlers.h"
#include "graphics/Reader.h"
#include "tests/support/CompoundBuilder.h"
#include "tests/support/QwgBuilder.h"
#include "tests/support/QwgSound.h"
#include "tests/support/Recording.h"

namespace {

using graphics::RecordRow;
using testsupport::QwgBuilder;

TEST(NameTables, EndsFallBackToTheirOtherName) {
    struct Case {
        const graphics::NameTable& table;
        uint32_t value;
        const char* name;
    };
    const Case cases[] = {
        {graphics::kPenStyleNames, 0, "solid [291,0]"},
        {graphics::kPenStyleNames, 15, "big big little little dash [273,36,273,36,55,36,55,36]"},
        {graphics::kPenStyleNames, 16, "User defined (custom)"},
        {graphics::kPatternNames, 31, " - arches "},
        {graphics::kPatternNames, 32, " - User defined (custom) "},
        {graphics::kObjectFormatNames, 0, "Unknown"},
        {graphics::kObjectFormatNames, 1, "Quillwright 1.X Graphic"},
        {graphics::kObjectFormatNames, 33, "Unknown"},
        {graphics::kObjectFormatNames, 34, "Microsoft Windows OLE 2.x"},
        {graphics::kObjectFormatNames, 35, "Unknown"},
    };
    for (const Case& c : cases) EXPECT_STREQ(c.table(c.value), c.name) << c.value;
}

const RecordRow* gReal = nullptr;
uint32_t gWorstOverrun = 0;
int gWorstType = 0;

// Runs the real handler, then measures where the reader stopped.
void Measured(const RecordRow& row) {
    const auto real = graphics::SalvinoRecordTable();
    const size_t type = static_cast<size_t>(&row - gReal);
    real[type].handler(real[type]);
    graphics::GraphicsState& g = graphics::Gfx();
    const uint32_t at = graphics::QwgReaderTell(g.file);
    if (at > g.recordEnd && at - g.recordEnd > gWorstOverrun) {
        gWorstOverrun = at - g.recordEnd;
        gWorstType = static_cast<int>(type);
    }
}

class HandlerSweep : public ::testing::Test {
protected:
    HandlerSweep() {
        const auto salvino = graphics::SalvinoRecordTable();
        std::copy(salvino.begin(), salvino.end(), table_.begin());
        for (RecordRow& r : table_)
            if (r.handler) r.handler = Measured;
        gReal = table_.data();
        dialect_.outline = &graphics::SalvinoOutlineNumbering();
        dialect_.hexDumpLimit = 10240;
        dialect_.testsMajorVersion = true;
        dialect_.lastMaskedType = 64;
        dialect_.records = table_;
        profile_ = engine::SalvinoProfile();
        profile_.dumpDialect = &dialect_;
        engine::Ctx().profile = &profile_;
        engine::Ctx().sink.defaultList = nullptr;
    }
    ~HandlerSweep() override { Close(); }
    void Close() {
        if (!file_) return;
        graphics::StopQwgReader(file_);
        engine::CloseDocFile(file_);
        file_ = nullptr;
    }
    engine::DocFile* Open(const std::vector<uint8_t>& bytes) {
        Close();
        const std::string path = dir_.File("s.qwg");
        testsupport::WriteFileBytes(path, bytes);
        file_ = engine::OpenDocFile(path, engine::kOpenRead | engine::kOpenIgnored);
        return file_;
    }
    // Every line of the three entry points over the stream.
    std::vector<std::string> Run(const std::vector<uint8_t>& bytes, uint32_t lastRecordEnd) {
        std::vector<std::string> lines;
        engine::DocFile* f = Open(bytes);
        testsupport::RecordingList list("list"), errors("errors"), detail("detail");
        graphics::ListQwgRecords(f, &list, 0, 0xFFFFFFFF, 0xFFFFFFFF, 0);
        graphics::CheckQwgRecords(f, &errors, 0);
        graphics::DumpQwgRecordAt(f, &detail, lastRecordEnd, 264, 0);
        for (auto* l : {&list, &errors, &detail})
            for (const auto& line : l->lines) lines.push_back(line.text);
        return lines;
    }

    testsupport::ScopedContext ctx;

private:
    std::array<RecordRow, graphics::kRecordTableRows> table_{};
    graphics::DumpDialect dialect_;
    engine::Profile profile_;
    testsupport::ScopedTempDir dir_;
    engine::DocFile* file_ = nullptr;
};

std::vector<uint8_t> StartBody(bool wide) {
    std::vector<uint8_t> b = {0x2C, 1, 0x2C, 1, static_cast<uint8_t>(wide ? 1 : 0)};
    const uint32_t coords[] = {0, 0, 1000, 800, 0, 0, 1000, 800};
    for (uint32_t c : coords) {
        const uint32_t v = wide ? c << 16 : c;
        for (int i = 0; i < (wide ? 4 : 2); ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
    b.push_back(1);
    b.push_back(0);
    return b;
}

TEST_F(HandlerSweep, EveryTypeStaysNearItsRecordEndAndRepeatsItsLines) {
    std::mt19937 random(16);
    // After Start alone, after a Chart of type 1, after a capsule table
    // whose every entry is an embedded graphic.
    const std::vector<uint8_t> chart = {0, 0, 1, 0, 1, 0, 9, 0, 9, 0, 1, 0, 0};
    std::vector<uint8_t> capsule = {0, 0, 0, 0, 0, 0, 10, 0, 10, 0, 4, 0};
    for (int i = 0; i < 4; ++i) capsule.insert(capsule.end(), {2, 0, 8, 0, 1, 0, 1, 0});
    for (int type = 1; type <= 70; ++type) {
        for (bool wide : {false, true}) {
            for (int prelude = 0; prelude < 3; ++prelude) {
                QwgBuilder q;
                q.Record(4, 1, 0, StartBody(wide));
                if (prelude == 1) q.Record(4, 31, 0, chart);
                if (prelude == 2) q.Record(4, 33, 0, capsule);
                uint32_t lastEnd = 0;
                for (uint32_t length = 0; length <= 300; length += (prelude == 0 ? 1 : 7)) {
                    std::vector<uint8_t> body(length);
                    for (uint8_t& b : body) b = static_cast<uint8_t>(random());
                    q.Record(4, static_cast<uint8_t>(type), 0, body);
                    lastEnd = q.Size();
                }
                // A sound-looking head cut short: zero flags and counts.
                q.Record(4, static_cast<uint8_t>(type), 0, std::vector<uint8_t>(3, 0));
                q.End();
                gWorstOverrun = 0;
                const std::vector<std::string> first = Run(q.bytes, lastEnd);
                EXPECT_LE(gWorstOverrun, 128u) << "type " << gWorstType << (wide ? " double" : " single");
                const std::vector<std::string> second = Run(q.bytes, lastEnd);
                EXPECT_EQ(first, second) << "type " << type;
                if (HasFailure()) return;
            }
        }
    }
}

// The detail of a record nested in an embedded graphic decodes as at its
// place: the graphic's own Start record, which turns to double precision,
// holds for the records after it only. Details asked in any order, each
// continuing from the last one's walk, give what a first detail gives.
TEST_F(HandlerSweep, NestedRecordsDecodeAsAtTheirPlaceInAnyOrder) {
    using testsupport::QwgBody;
    QwgBuilder q;
    q.Record(4, 1, 0, StartBody(false));
    QwgBody cap;
    cap.U16(0).C(0).C(0).C(10).C(10).U16(1).U8(2).U8(0).U8(8).U8(0).U16(96).U16(96);
    q.Record(4, 33, 0, cap.b);
    QwgBuilder inner;
    inner.bytes.clear();
    inner.Record(4, 21, 0, QwgBody{}.U16(0).U16(1).C(10).C(20).b);
    inner.Record(4, 1, 0, StartBody(true));
    inner.Record(4, 21, 0, QwgBody(true).U16(0).U16(1).C(10).C(20).b);
    inner.End();
    QwgBody img;
    img.U16(0);
    img.b.insert(img.b.end(), inner.bytes.begin(), inner.bytes.end());
    q.Record(4, 18, 0, img.b);
    q.Record(4, 21, 0, QwgBody(true).U16(0).U16(1).C(50).C(60).b);
    q.End();

    engine::DocFile* f = Open(q.bytes);
    testsupport::RecordingList list("list");
    graphics::ListQwgRecords(f, &list, 0, 0xFFFFFFFF, 0xFFFFFFFF, 0);
    std::vector<uint32_t> polylines;
    for (const auto& line : list.lines)
        if (line.text == "Polyline: ") polylines.push_back(line.tag);
    ASSERT_EQ(polylines.size(), 3u);
    auto detail = [&](uint32_t at) {
        testsupport::RecordingList lines("detail");
        graphics::DumpQwgRecordAt(f, &lines, at, 264, 0);
        std::vector<std::string> texts;
        for (const auto& line : lines.lines) texts.push_back(line.text);
        return texts;
    };
    std::vector<std::vector<std::string>> first;
    for (uint32_t at : polylines) {
        graphics::StartQwgReader(f);  // no earlier walk to continue
        first.push_back(detail(at));
    }
    ASSERT_GE(first[0].size(), 6u);
    EXPECT_EQ(first[0][5], "    0:  X: =    ah (   10)   Y: =   14h (   20) ");
    EXPECT_EQ(first[1][5], "    0:  X: = 000a.0000h (i:   10 f:00000)   Y: = 0014.0000h (i:   20 f:00000) ");
    EXPECT_EQ(first[2][5], "    0:  X: = 0032.0000h (i:   50 f:00000)   Y: = 003c.0000h (i:   60 f:00000) ");
    for (size_t i : {1u, 0u, 2u, 0u, 1u, 2u, 2u}) EXPECT_EQ(detail(polylines[i]), first[i]) << i;
}

}  // namespace
