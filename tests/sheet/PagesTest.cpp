// The Prefix, Codes and Sub Document pages offscreen, driven through their
// widgets: fills, filters, the shared hex setting, printouts, navigation and
// Back, and a row edit from a double-click.
#include <gtest/gtest.h>

#include <QApplication>

#include <QCheckBox>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>

#include "engine/DocFile.h"
#include "engine/EngineContext.h"
#include "engine/OutputSink.h"
#include "sheet/HexRowEdit.h"
#include "tests/sheet/PageRig.h"
#include "tests/support/CompoundBuilder.h"

namespace inspector::testing {

namespace {

template <typename Model>
int RowWithTag(Model& m, const std::function<bool(uint32_t, const std::string&)>& pick) {
    const size_t n = m.Size();
    m.Flush();
    for (size_t i = 0; i < n; ++i)
        if (pick(m.Tag(i), m.Text(i))) return static_cast<int>(i);
    return -1;
}

void DoubleClick(QListView* list, int row) {
    const QModelIndex i = list->model()->index(row, 0);
    list->selectionModel()->setCurrentIndex(i, QItemSelectionModel::ClearAndSelect);
    emit list->doubleClicked(i);
}

}  // namespace

TEST(CodesPage, NoDocumentFillFilterAndTheOldPlace) {
    PageRig r;
    r.Start();
    r.Advanced();
    r.sheet().SetActivePage(kCodesPage);
    EXPECT_EQ(PageRig::Texts(r.codes().codes), std::vector<std::string>{"No File Open"});
    EXPECT_TRUE(PageRig::Texts(r.codes().details).empty());
    r.sheet().SetActivePage(kSubDocPage);
    EXPECT_EQ(PageRig::Texts(r.subDocument().codes), std::vector<std::string>{"No File Open"});

    r.sheet().LoadDocument(r.Write("rows.qwd", DumpRowsDoc()), false);
    r.sheet().SetActivePage(kCodesPage);
    CCodesPage& c = r.codes();
    const std::vector<std::string> listed = PageRig::Texts(c.codes);
    ASSERT_GE(listed.size(), 5u);
    EXPECT_EQ(c.SelectedCodeRow(), 0);
    EXPECT_FALSE(PageRig::Texts(c.details).empty());
    EXPECT_EQ(PageRig::Texts(r.subDocument().codes), std::vector<std::string>{"No Prefix document selected"});

    // Refilled, the selection lands on the first line at or after the old place.
    c.SelectItem(3);
    const uint32_t place = c.codes.Tag(3) & 0x07FFFFFF;
    c.UpdatePage(kUpdateDocument);
    ASSERT_GE(c.SelectedCodeRow(), 0);
    EXPECT_GE(c.codes.Tag(static_cast<size_t>(c.SelectedCodeRow())) & 0x07FFFFFF, place);

    // Filtered with masks that let nothing through.
    r.sheet().Settings().codeMasks = {0, 0};
    QTest::mouseClick(c.filterBox, Qt::LeftButton);
    EXPECT_EQ(PageRig::Texts(c.codes), std::vector<std::string>{"All items were filtered out!"});
    EXPECT_TRUE(PageRig::Texts(c.details).empty());
    QTest::mouseClick(c.filterBox, Qt::LeftButton);
    EXPECT_EQ(PageRig::Texts(c.codes), listed);
}

TEST(CodesPage, TheHexBoxReachesEveryPage) {
    PageRig r;
    r.Start(r.Write("rows.qwd", DumpRowsDoc()));
    r.Advanced();
    r.sheet().SetActivePage(kCodesPage);
    const bool was = r.codes().hexBox->isChecked();
    QTest::mouseClick(r.codes().hexBox, Qt::LeftButton);
    for (QCheckBox* box : {r.codes().hexBox, r.subDocument().hexBox, r.prefix().hexBox}) EXPECT_NE(box->isChecked(), was);
    EXPECT_EQ(r.sheet().Settings().hex != 0, !was);
    // Hex details are a header and dump rows.
    if (!r.codes().hexBox->isChecked()) QTest::mouseClick(r.codes().hexBox, Qt::LeftButton);
    const auto details = PageRig::Texts(r.codes().details);
    ASSERT_GE(details.size(), 2u);
    EXPECT_EQ(details[0].rfind("Document offset = 0x", 0), 0u);
    EXPECT_EQ(details[1].substr(0, 7), "00000- ");
}

TEST(CodesPage, FilterCodesIsReadAndTheCodesPagesValueKept) {
    PageRig r;
    r.window.reset();  // it writes its own value when it goes
    {
        QSettings store = r.settings.Store();
        store.setValue("Settings/Filter Codes", "1");
    }
    r.Restart();
    EXPECT_TRUE(r.codes().FilterOn());
    EXPECT_TRUE(r.subDocument().FilterOn());
    r.Start();
    r.Advanced();
    r.sheet().SetActivePage(kSubDocPage);
    r.subDocument().SetFilterOff();
    r.window.reset();
    QSettings store = r.settings.Store();
    EXPECT_EQ(store.value("Settings/Filter Codes").toString(), QStringLiteral("1"));
}

TEST(PrefixPage, PacketsDetailsUsesAndStyles) {
    PageRig r;
    r.Start(r.Write("rows.qwd", DumpRowsDoc()));
    r.Advanced();
    r.sheet().SetActivePage(kPrefixPage);
    CPrefixPage& p = r.prefix();
    ASSERT_EQ(p.packets.Size(), 4u);
    EXPECT_EQ(p.SelectedPacketRow(), 0);
    p.SelectItem(2);
    EXPECT_EQ(p.SelectedPacketRow(), 2);
    const auto detail = PageRig::Texts(p.details);
    EXPECT_FALSE(detail.empty());
    QTest::mouseClick(p.usesButton, Qt::LeftButton);
    EXPECT_NE(PageRig::Texts(p.details), detail);
    QTest::mouseClick(p.dataButton, Qt::LeftButton);
    EXPECT_EQ(PageRig::Texts(p.details), detail);

    struct Style {
        uint32_t tag;
        LineStyle prefix, codes;
    };
    const QColor red(0xFF, 0, 0), blue(0, 0, 0xFF), purple(0x80, 0, 0x80);
    const Style styles[] = {
        {0, {}, {}},
        {0x40000000, {red, false, false}, {red, false, false}},
        {0x60000000, {blue, true, false}, {blue, true, false}},
        {0x30000000, {purple, true, false}, {blue, true, false}},
        {0x10000000, {purple, true, false}, {{}, false, false}},
        {0x08000000, {blue, false, false}, {{}, false, false}},
        {0x80000000, {{}, false, true}, {{}, false, true}},
    };
    for (const Style& s : styles) {
        SCOPED_TRACE(s.tag);
        EXPECT_EQ(CPrefixPage::StyleOf(s.tag), s.prefix);
        EXPECT_EQ(CCodesPage::StyleOf(s.tag), s.codes);
    }
}

TEST(Pages, PrintBranches) {
    PageRig r;
    r.Start(r.Write("rows.qwd", DumpRowsDoc()));
    r.Advanced();
    r.sheet().SetActivePage(kPrefixPage);
    r.sheet().SetActivePage(kCodesPage);
    r.ctx.StartPrinting();
    for (uint32_t flags : {kPrintEveryItem, kPrintDetail, kPrintSummary}) {
        r.prefix().UpdatePage(flags);
        r.codes().UpdatePage(flags);
    }
    std::string printed;
    for (const auto& d : r.ctx.printer->draws) printed += d.text + "\n";
    r.ctx.StopPrinting();
    for (const char* heading :
         {"All Detailed Prefix Packets Display", "Selected Prefix Packet Display", "Summary List of Prefix Packets",
          "COMPLETE list of QW Codes/QWG Records", "Selected QW Code/QWG Record Display",
          "Summary List of QW Codes/QWG Records"})
        EXPECT_NE(printed.find(heading), std::string::npos) << heading;
}

TEST(Navigation, PacketsTextBlocksCodesAndBack) {
    PageRig r;
    r.Start(r.Write("rows.qwd", DumpRowsDoc()));
    r.Advanced();
    r.sheet().SetActivePage(kPrefixPage);
    CPrefixPage& p = r.prefix();
    if (p.hexBox->isChecked()) QTest::mouseClick(p.hexBox, Qt::LeftButton);

    // A child reference of packet 2 leads to packet 1.
    p.SelectItem(2);
    const int child = RowWithTag(p.details, [](uint32_t t, const std::string&) { return t == (0x20000000u | 1); });
    ASSERT_GE(child, 0);
    DoubleClick(p.detailList, child);
    EXPECT_EQ(p.SelectedPacketRow(), 1);

    // A text block of packet 3 opens on the Sub Document page.
    p.SelectItem(3);
    const int block = RowWithTag(p.details, [](uint32_t t, const std::string&) { return (t & 0x10000000u) != 0; });
    ASSERT_GE(block, 0);
    DoubleClick(p.detailList, block);
    EXPECT_EQ(r.sheet().ActivePage(), kSubDocPage);
    const auto sub = PageRig::Texts(r.subDocument().codes);
    ASSERT_FALSE(sub.empty());
    EXPECT_EQ(sub[0], "Text:'First'");

    // A packet reference in a code's detail leads to the Prefix page.
    r.sheet().SetActivePage(kCodesPage);
    CCodesPage& c = r.codes();
    int function = -1, ref = -1;
    for (size_t i = 0; i < c.codes.Size() && ref < 0; ++i) {
        c.SelectItem(static_cast<uint32_t>(i));
        ref = RowWithTag(c.details, [](uint32_t t, const std::string&) { return (t & 0x20000000u) != 0; });
        function = static_cast<int>(i);
    }
    ASSERT_GT(ref, 0);
    DoubleClick(c.detailList, ref);
    EXPECT_EQ(r.sheet().ActivePage(), kPrefixPage);
    EXPECT_EQ(p.SelectedPacketRow(), 1);

    // Back along them.
    r.sheet().Back();
    EXPECT_EQ(r.sheet().ActivePage(), kCodesPage);
    EXPECT_EQ(c.SelectedCodeRow(), function);
    r.sheet().Back();
    EXPECT_EQ(r.sheet().ActivePage(), kPrefixPage);
    EXPECT_EQ(p.SelectedPacketRow(), 3);

    // In the simple view Back shows no page that is not there; the entry
    // stays for the advanced view.
    r.sheet().ToggleAdvanced();
    EXPECT_FALSE(r.window->backButton->isEnabled());
    const size_t entries = r.sheet().History().size();
    r.sheet().Back();
    EXPECT_EQ(r.sheet().History().size(), entries);
    EXPECT_TRUE(r.sheet().ActivePage() == kRepairPage || r.sheet().ActivePage() == kInfoPage);
    r.sheet().ToggleAdvanced();
    EXPECT_TRUE(r.window->backButton->isEnabled());
    r.sheet().Back();
    EXPECT_EQ(r.sheet().ActivePage(), kPrefixPage);
}

TEST(PrefixPage, ADoubleClickedRowIsEditedWhereItLies) {
    for (bool compound : {false, true}) {
        SCOPED_TRACE(compound);
        PageRig r;
        const std::string path = r.Write("rows.qwd", DumpRowsDoc(0), compound);
        r.Start(path);
        r.Advanced();
        r.sheet().SetActivePage(kPrefixPage);
        CPrefixPage& p = r.prefix();
        if (!p.hexBox->isChecked()) QTest::mouseClick(p.hexBox, Qt::LeftButton);
        p.SelectItem(2);
        int row = -1;
        for (size_t i = 0; i < p.details.Size() && row < 0; ++i)
            if (p.details.FileOffset(i) == 16 + 2 * 14) row = static_cast<int>(i);
        ASSERT_GE(row, 0);
        r.dialogs.edit = [](const std::string& text) {
            auto s = HexRowEditState::FromRow(text);
            s->HexChar(0, 'A');
            s->HexChar(1, 'B');
            return s->RowText();
        };
        DoubleClick(p.detailList, row);
        EXPECT_EQ(r.dialogs.edits, 1);
        engine::DocFile* f = r.sheet().Document();
        uint8_t b = 0;
        engine::SeekDocFile(f, 16 + 2 * 14, 0);
        engine::ReadDocFile(f, &b, 1);
        EXPECT_EQ(b, 0xAB);
        if (!compound) {
            EXPECT_EQ(testsupport::ReadFileBytes(path).at(16 + 2 * 14), 0xAB);
        }
        EXPECT_EQ(p.SelectedPacketRow(), 2);
    }
}

}  // namespace inspector::testing

namespace inspector::testing {

TEST(SubDocumentPage, ABlockComesFromItsOwnPacketAndGoesWithTheDocument) {
    PageRig r;
    r.Start(r.Write("rows.qwd", DumpRowsDoc()));
    r.Advanced();
    r.sheet().SetActivePage(kPrefixPage);
    r.prefix().SelectItem(3);  // its detail fills the text-block tables
    r.sheet().SetActivePage(kSubDocPage);
    CCodesPage& s = r.subDocument();
    // Packet 2 has no text blocks: nothing is listed from packet 3's tables.
    s.SelectItem(0x10000000u | 2);
    EXPECT_EQ(PageRig::Texts(s.codes), std::vector<std::string>{"No Prefix document selected"});
    s.SelectItem(0x10000000u | (1u << 16) | 3);
    EXPECT_EQ(PageRig::Texts(s.codes), std::vector<std::string>{"Text:'Second'"});
    r.sheet().UnloadDocument();
    EXPECT_EQ(PageRig::Texts(s.codes), std::vector<std::string>{"No File Open"});
    r.sheet().LoadDocument(r.Write("again.qwd", DumpRowsDoc()), false);
    r.sheet().SetActivePage(kSubDocPage);
    EXPECT_EQ(PageRig::Texts(s.codes), std::vector<std::string>{"No Prefix document selected"});
}

}  // namespace inspector::testing

namespace inspector::testing {

TEST(CodesPage, APlacePast16MiBIsFoundAgain) {
    PageRig r;
    testsupport::DocBuilder b;
    b.body.Text("First").Code(0x0A).Raw(std::vector<uint8_t>(17u << 20, 0x00)).Text("Far").Code(0x0A).Text("Last");
    r.Start(r.Write("big.qwd", b));
    r.Advanced();
    r.sheet().SetActivePage(kCodesPage);
    CCodesPage& c = r.codes();
    const int far = RowWithTag(c.codes, [](uint32_t, const std::string& text) { return text == "Text:'Far'"; });
    ASSERT_GT(far, 0);
    ASSERT_GT(c.codes.Tag(static_cast<size_t>(far)) & 0x07FFFFFF, 0xFFFFFFu);
    c.SelectItem(static_cast<uint32_t>(far));
    c.UpdatePage(kUpdateDocument);
    // The refill walks on from the event loop until it reaches the place.
    while (c.Filling()) QApplication::processEvents();
    EXPECT_EQ(c.SelectedCodeRow(), far);
}

}  // namespace inspector::testing
