// The Codes page's compact list: lines equal to the engine's listing, a
// walk kept between windows while other walks run, ended safely by an
// unload, a new document or Cancel; graphics records on both pages.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QListView>
#include <QTest>
#include <cstring>

#include "engine/EngineContext.h"
#include "engine/TextOps.h"
#include "graphics/Dumper.h"
#include "tests/sheet/PageRig.h"
#include "tests/support/QwgBuilder.h"

namespace inspector::testing {
namespace {

using testsupport::DocBuilder;

// `bytes` of body: text and codes, a function now and then, a text run too
// long for one line, and damage; about 8 bytes a line.
DocBuilder ManyCodes(size_t bytes, bool damage) {
    DocBuilder b;
    testsupport::Packet font;
    font.type = 0x20;
    font.payload = {'A', 'r', 'i', 'a', 'l'};
    const uint16_t id = b.Add(font);
    int round = 0;
    bool damaged = false;
    while (b.body.Bytes().size() < bytes) {
        for (int i = 0; i < 64; ++i) b.body.Text("abcdefg").Code(0x20);
        b.body.Var(testsupport::Func(0xD4, 0x06, {id}));
        if (++round % 7 == 0) b.body.Text(std::string(150, 'L'));
        // Damage hides what follows up to the next sound function: once,
        // near the end.
        if (damage && !damaged && b.body.Bytes().size() + 2000 >= bytes) {
            b.body.Raw({0xFF, 0x41, 0x42});
            damaged = true;
        }
    }
    return b;
}

struct Listed {
    std::vector<std::string> texts;
    std::vector<uint32_t> tags;
};

Listed Reference(CTabSheet& sheet, int mode, std::array<uint32_t, 2> masks) {
    TaggedListModel ref;
    engine::ListDocumentCodes(sheet.Document(), &ref, mode, masks[0], masks[1], engine::kWalkToEnd);
    Listed out;
    for (const auto& l : ref.Lines()) {
        out.texts.push_back(l.text);
        out.tags.push_back(l.tag);
    }
    return out;
}

Listed Shown(CodeListModel& m) {
    Listed out;
    out.texts = PageRig::Texts(m);
    for (size_t i = 0; i < m.Held(); ++i) out.tags.push_back(m.Tag(i));
    return out;
}

void RunFill(CCodesPage& c) {
    while (c.Filling()) QApplication::processEvents();
}

// Every line, held by item data or kept, reads as the engine lists it:
// plain and compound, decoded and hex, filtered, with damage, over several
// windows.
TEST(CodeListTest, LinesEqualTheEngineListing) {
    struct Case {
        size_t bytes;
        bool damage, compound, hex, filter;
    };
    const Case cases[] = {
        {2000, false, false, false, false}, {200000, true, false, false, false},
        {200000, true, false, true, false}, {200000, true, true, false, false},
        {200000, true, false, false, true}, {150000, false, true, true, true},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(::testing::Message() << k.bytes << " damage " << k.damage << " compound " << k.compound
                                        << " hex " << k.hex << " filter " << k.filter);
        PageRig r;
        r.Start();
        r.Advanced();
        r.sheet().Settings().hex = k.hex ? 1 : 0;
        r.sheet().Settings().codeMasks = {0xFFFFFFFF, 0xFFFFFFF9};  // some classes out
        r.sheet().LoadDocument(r.Write("many.qwd", ManyCodes(k.bytes, k.damage), k.compound), false);
        r.sheet().SetActivePage(kCodesPage);
        CCodesPage& c = r.codes();
        if (k.filter && !c.FilterOn()) QTest::mouseClick(c.filterBox, Qt::LeftButton);
        if (k.hex != c.hexBox->isChecked()) {
            QTest::mouseClick(c.hexBox, Qt::LeftButton);
            c.UpdatePage(kUpdateDocument);
        }
        const int mode = k.hex ? engine::kModeHex : engine::kModeDecoded;
        const Listed want = Reference(r.sheet(), mode,
                                      k.filter ? r.sheet().Settings().codeMasks
                                               : std::array<uint32_t, 2>{0xFFFFFFFF, 0xFFFFFFFF});
        ASSERT_GT(want.texts.size(), 3u);
        const Listed got = Shown(c.codes);
        EXPECT_EQ(got.texts, want.texts);
        EXPECT_EQ(got.tags, want.tags);
        if (k.damage) {
            bool kept = false;
            for (size_t i = 0; i < c.codes.Held() && !kept; ++i) kept = c.codes.Kept(i);
            EXPECT_TRUE(kept) << "damaged lines keep their own text";
        }
        // Most lines hold no text of their own.
        size_t kept = 0;
        for (size_t i = 0; i < c.codes.Held(); ++i) kept += c.codes.Kept(i) ? 1 : 0;
        EXPECT_LT(kept, want.texts.size() / 8) << want.texts.back() << " " << want.texts.size();
    }
}

// The first window comes at once, the rest between turns of the event loop
// while details and other walks run; the result is the whole listing.
TEST(CodeListTest, FillsWindowByWindowBesideOtherWalks) {
    PageRig r;
    r.Start();
    r.Advanced();
    r.sheet().LoadDocument(r.Write("big.qwd", ManyCodes(600000, true)), false);
    const Listed want = Reference(r.sheet(), engine::kModeDecoded, {0xFFFFFFFF, 0xFFFFFFFF});
    const engine::FileHeader header = engine::Ctx().doc.header;
    r.sheet().SetActivePage(kCodesPage);
    CCodesPage& c = r.codes();
    ASSERT_TRUE(c.Filling());
    EXPECT_GT(c.codes.Shown(), 0u);
    EXPECT_LT(c.codes.Shown(), want.texts.size() / 4);
    EXPECT_EQ(c.SelectedCodeRow(), 0);
    EXPECT_FALSE(PageRig::Texts(c.details).empty());
    int steps = 0;
    while (c.Filling()) {
        QApplication::processEvents();
        ++steps;
        // Another walk and a detail between steps, and the engine's own
        // header stays the document's.
        TaggedListModel other;
        engine::ListDocumentCodes(r.sheet().Document(), &other, engine::kModeHex, 0xFFFFFFFF, 0xFFFFFFFF, 3000);
        const size_t row = c.codes.Shown() / 2;
        QTest::keyClick(c.codeList, Qt::Key_Down);
        EXPECT_FALSE(c.codes.Text(row).empty());
        EXPECT_EQ(std::memcmp(engine::Ctx().doc.header.bytes, header.bytes, sizeof header.bytes), 0);
    }
    EXPECT_GE(steps, 1);
    EXPECT_EQ(Shown(c.codes).texts, want.texts);
    EXPECT_EQ(c.codes.Shown(), want.texts.size());
}

// Find's row lookup and a refill's previous place take the rows not yet
// walked: the walk is finished on demand, or resumed up to the place.
TEST(CodeListTest, RowLookupsFinishTheWalk) {
    PageRig r;
    r.Start();
    r.Advanced();
    r.sheet().LoadDocument(r.Write("big.qwd", ManyCodes(400000, false)), false);
    const Listed want = Reference(r.sheet(), engine::kModeDecoded, {0xFFFFFFFF, 0xFFFFFFFF});
    r.sheet().SetActivePage(kCodesPage);
    CCodesPage& c = r.codes();
    ASSERT_TRUE(c.Filling());
    EXPECT_EQ(c.RowCount(), want.texts.size());
    EXPECT_FALSE(c.Filling());
    EXPECT_EQ(c.RowTag(want.tags.size() - 1), want.tags.back());

    // A place far down: the refill selects it once the walk reaches it.
    const size_t far = want.texts.size() - 10;
    c.SelectItem(static_cast<uint32_t>(far));
    c.UpdatePage(kUpdateDocument);
    RunFill(c);
    ASSERT_GE(c.SelectedCodeRow(), 0);
    EXPECT_EQ(static_cast<size_t>(c.SelectedCodeRow()), far);

    // The sheet's lookup of a row for an offset, as Find makes it.
    EXPECT_EQ(FirstRowAtOrAfter(
                  c.RowCount(), [&c](size_t i) { return c.RowTag(i); }, 0x07FFFFFF, want.tags[far] & 0x07FFFFFF),
              far);
}

// An unload, another document or an edit end the walk before the file goes;
// Cancel on the progress dialog ends it with its line.
TEST(CodeListTest, EndsSafelyMidWalk) {
    PageRig r;
    r.Start();
    r.Advanced();
    const std::string big = r.Write("big.qwd", ManyCodes(400000, true));
    const std::string small = r.Write("small.qwd", SoundDoc());
    r.sheet().LoadDocument(big, false);
    r.sheet().SetActivePage(kCodesPage);
    CCodesPage& c = r.codes();
    ASSERT_TRUE(c.Filling());
    r.sheet().UnloadDocument();
    EXPECT_FALSE(c.Filling());
    QApplication::processEvents();
    EXPECT_EQ(PageRig::Texts(c.codes), std::vector<std::string>{"No File Open"});

    r.sheet().LoadDocument(big, false);
    c.UpdatePage(kUpdateDocument);
    ASSERT_TRUE(c.Filling());
    r.sheet().LoadDocument(small, false);
    QApplication::processEvents();
    const Listed want = Reference(r.sheet(), engine::kModeDecoded, {0xFFFFFFFF, 0xFFFFFFFF});
    EXPECT_EQ(Shown(c.codes).texts, want.texts);

    r.sheet().LoadDocument(big, false);
    const size_t whole = Reference(r.sheet(), engine::kModeDecoded, {0xFFFFFFFF, 0xFFFFFFFF}).texts.size();
    r.ctx.progress.cancelAfterSteps = 2;
    c.UpdatePage(kUpdateDocument);
    RunFill(c);
    EXPECT_EQ(r.ctx.progress.live, 0);
    const auto texts = PageRig::Texts(c.codes);
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.back(), "User CANCELED loading!");
    EXPECT_LT(texts.size(), whole);
}

std::vector<uint8_t> GraphicsStream() {
    return testsupport::QwgBuilder()
        .Record(4, 15, 0, {0x01, 0x02, 0x03, 0x04})
        .Record(4, 35, 0, {0xAA, 0xBB})
        .Record(4, 35, 0, {})
        .End()
        .bytes;
}

std::vector<std::string> EngineDetail(engine::DocFile* f, uint32_t tag, int mode, uint32_t base) {
    TaggedListModel out;
    engine::Ctx().describer.currentTarget = &out;
    graphics::DumpQwgRecordAt(f, &out, tag, mode, base);
    engine::Ctx().describer.currentTarget = nullptr;
    return PageRig::Texts(out);
}

// A graphics file on the Codes page and a "Graphics Data" packet on the Sub
// Document page list their records, and a record's detail is the dumper's.
TEST(CodeListTest, GraphicsRecordsOnBothPages) {
    PageRig r;
    r.Start();
    r.Advanced();
    const std::vector<uint8_t> stream = GraphicsStream();
    const std::string path = r.dir.File("pic.qwg");
    {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(stream.data(), 1, stream.size(), f);
        std::fclose(f);
    }
    r.sheet().LoadDocument(path, false);
    ASSERT_EQ(engine::Ctx().doc.header.FileType(), 22);
    r.sheet().SetActivePage(kCodesPage);
    CCodesPage& c = r.codes();
    TaggedListModel want;
    graphics::ListQwgRecords(r.sheet().Document(), &want, engine::kModeDecoded, 0xFFFFFFFF, 0xFFFFFFFF, 0);
    ASSERT_GE(want.Size(), 4u);
    EXPECT_EQ(PageRig::Texts(c.codes), PageRig::Texts(want));
    for (int hex : {0, 1}) {
        if (c.hexBox->isChecked() != (hex != 0)) QTest::mouseClick(c.hexBox, Qt::LeftButton);
        c.SelectItem(1);
        const uint32_t tag = c.codes.Tag(1);
        EXPECT_EQ(PageRig::Texts(c.details),
                  EngineDetail(r.sheet().Document(), tag, hex ? engine::kModeHex : engine::kModeDecoded, 0));
        EXPECT_FALSE(PageRig::Texts(c.details).empty());
    }

    // The same stream inside a document's packet 0x6F.
    DocBuilder b = SoundDoc();
    testsupport::Packet pic;
    pic.type = 0x6F;
    pic.payload = stream;
    const uint16_t id = b.Add(pic);
    r.sheet().LoadDocument(r.Write("withpic.qwd", b), false);
    r.sheet().SetActivePage(kSubDocPage);
    CCodesPage& s = r.subDocument();
    s.SelectItem(engine::kTagTextBlock | id);
    const auto& packets = engine::Ctx().doc.packets;
    ASSERT_LT(id, packets.size());
    const uint32_t base = packets[id].entry.DataOffset();
    TaggedListModel inPacket;
    {
        engine::FileHeader keep = engine::Ctx().doc.header;
        engine::FileHeader h = keep;
        for (int i = 0; i < 4; ++i) h.bytes[4 + i] = static_cast<uint8_t>(base >> (8 * i));
        h.bytes[9] = 22;
        engine::Ctx().doc.header = h;
        graphics::ListQwgRecords(r.sheet().Document(), &inPacket, engine::kModeDecoded, 0xFFFFFFFF, 0xFFFFFFFF,
                                 base);
        engine::Ctx().doc.header = keep;
    }
    ASSERT_GE(inPacket.Size(), 4u);
    EXPECT_EQ(PageRig::Texts(s.codes), PageRig::Texts(inPacket));
    s.SelectItem(2);
    EXPECT_FALSE(PageRig::Texts(s.details).empty());
    // The engine's header is the document's again after the page's calls.
    EXPECT_EQ(engine::Ctx().doc.header.FileType(), 10);
}

}  // namespace
}  // namespace inspector::testing
