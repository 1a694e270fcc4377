// Salvino's window offscreen, driven through its real widgets, with the
// engine's hosts as recording doubles and the common dialogs as fakes.
#include "sheet/SheetWindow.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QMimeData>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>
#include <QUrl>
#include <fstream>
#include <sstream>

#include "engine/Check.h"
#include "engine/DocFile.h"
#include "engine/EngineContext.h"
#include "engine/Progress.h"
#include "sheet/Hosts.h"
#include "sheet/ListOutput.h"
#include "sheet/Pages.h"
#include "sheet/TaggedList.h"
#include "sheet/Text.h"
#include "sheet/TreeTarget.h"
#include "tests/sheet/FakeDialogs.h"
#include "tests/sheet/Fixtures.h"
#include "graphics/Dumper.h"
#include "tests/support/QwgBuilder.h"
#include "tests/support/Recording.h"

namespace inspector::testing {

namespace {

using testsupport::ScopedContext;
using testsupport::ScopedTempDir;

struct WindowRig {
    SettingsSandbox settings;
    ScopedContext ctx;
    ScopedTempDir dir;
    FakeDialogs dialogs;
    std::unique_ptr<SheetWindow> window;

    WindowRig() { window = std::make_unique<SheetWindow>(SalvinoSheetProfile(), &dialogs, &dialogs.commands); }
    ~WindowRig() { window.reset(); }
    void Start(const std::string& pending = "") {
        window->show();
        window->Start(pending);
    }
    CTabSheet& sheet() { return window->sheet(); }
    CInfoPage& info() { return *window->infoPage(); }
    CFormatPage& format() { return *window->formatPage(); }
    std::string Write(const std::string& name, const testsupport::DocBuilder& b) {
        return WriteDoc(dir, name, b, false);
    }
    std::string WriteCompound(const std::string& name, const testsupport::DocBuilder& b) {
        return WriteDoc(dir, name, b, true);
    }
    QStringList TabTitles() const {
        QStringList t;
        for (int i = 0; i < window->tabs->count(); ++i) t << window->tabs->tabText(i);
        return t;
    }
    std::vector<std::string> InfoLines() {
        info().model.Flush();
        std::vector<std::string> out;
        for (const auto& l : info().model.Lines()) out.push_back(l.text);
        return out;
    }
    std::vector<std::string> FormatLines() {
        format().model.Flush();
        std::vector<std::string> out;
        for (const auto& l : format().model.Lines()) out.push_back(l.text);
        return out;
    }
};

std::string Heading(const std::string& path) {
    return "File: " + path + "  ----- Date: " + engine::Ctx().doc.dateText;
}

uint64_t SizeOf(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 ? static_cast<uint64_t>(st.st_size) : 0;
}

std::string Text(const QLabel* l) { return l->text().toStdString(); }

bool Contains(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(Window, StartsWithTheSimpleViewAndNoDocument) {
    WindowRig r;
    r.Start();
    EXPECT_EQ(r.window->windowTitle(), QStringLiteral("Salvino"));
    EXPECT_EQ(r.TabTitles(), (QStringList{"Repair Document", "Information"}));
    EXPECT_EQ(r.window->tabs->currentIndex(), 0);
    EXPECT_FALSE(r.window->backButton->isEnabled());
    EXPECT_FALSE(r.window->repairButton->isEnabled());
    EXPECT_TRUE(r.window->advancedButton->isEnabled());
    EXPECT_EQ(r.window->advancedButton->text(), QStringLiteral("Advanced >>"));
    EXPECT_EQ(r.InfoLines(), std::vector<std::string>{"No File Open"});
    for (QLabel* l : {r.info().totalSize, r.info().date, r.info().format, r.info().undoOnly, r.info().stylesOnly,
                      r.info().both, r.info().deletable})
        EXPECT_TRUE(l->text().isEmpty());
    EXPECT_FALSE(r.info().saveButton->isEnabled());
    EXPECT_FALSE(r.info().printButton->isEnabled());

    QStringList items;
    for (QAction* a : r.window->fileMenu->actions())
        if (!a->isSeparator()) items << a->text();
    EXPECT_EQ(items, (QStringList{"&Open...", "&Close", "&Print...", "Fetch &Document from Quillwright", "&Auto Refresh",
                                  "Exit"}));
}

TEST(Window, AdvancedButtonShowsTheSevenPagesInOrder) {
    WindowRig r;
    r.Start();
    QTest::mouseClick(r.window->advancedButton, Qt::LeftButton);
    EXPECT_EQ(r.TabTitles(), (QStringList{"Repair Document", "Information", "Format", "Prefix", "Codes",
                                          "Filter List", "Sub Document"}));
    EXPECT_EQ(r.window->advancedButton->text(), QStringLiteral("<< Advanced"));
    EXPECT_EQ(r.window->tabs->currentIndex(), 0);
    r.window->tabs->setCurrentIndex(4);  // the user picks Codes
    EXPECT_EQ(r.sheet().ActivePage(), kCodesPage);
    QTest::mouseClick(r.window->advancedButton, Qt::LeftButton);
    EXPECT_EQ(r.TabTitles(), (QStringList{"Repair Document", "Information"}));
    EXPECT_EQ(r.window->tabs->currentIndex(), 0);
    r.window->close();
    QSettings store = r.settings.Store();
    EXPECT_EQ(store.value("Settings/Button defaults").toString(), "3");
}

TEST(Window, OpenUsesTheStoredFilterAndKeepsTheChosenOne) {
    WindowRig r;
    {
        QSettings store = r.settings.Store();
        store.setValue("Settings/Open Dialog Filter Index", "3");
    }
    r.Start();
    r.dialogs.commands.open = r.Write("a.qwd", SoundDoc());
    r.dialogs.commands.openFilter = 2;
    r.window->openAction->trigger();
    EXPECT_EQ(r.dialogs.commands.openStartedAt, 3u);
    EXPECT_NE(r.sheet().Document(), nullptr);
    EXPECT_EQ(r.window->windowTitle(), QStringLiteral("a.qwd (QW 6.0 format) - Salvino"));
    r.window->close();
    QSettings store = r.settings.Store();
    EXPECT_EQ(store.value("Settings/Open Dialog Filter Index").toString(), "2");
}

TEST(InfoPage, SoundDocument) {
    WindowRig r;
    const std::string path = r.Write("sound.qwd", SoundDoc());
    r.Start(path);
    const std::vector<std::string> lines = r.InfoLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), Heading(path));
    EXPECT_EQ(Text(r.info().totalSize), FormatByteCount(SizeOf(path)));
    EXPECT_EQ(Text(r.info().date), engine::Ctx().doc.dateText);
    EXPECT_FALSE(engine::Ctx().doc.dateText.empty());
    EXPECT_EQ(Text(r.info().format), "QW 6.0 format ");
    EXPECT_EQ(Text(r.info().undoOnly), "0 Bytes ");
    EXPECT_EQ(Text(r.info().stylesOnly), "0 Bytes ");
    EXPECT_EQ(Text(r.info().deletable), "0 Bytes ");
    EXPECT_TRUE(r.info().both->text().isEmpty());
    EXPECT_TRUE(r.info().saveButton->isEnabled());
    EXPECT_TRUE(r.info().printButton->isEnabled());
    EXPECT_TRUE(r.window->repairButton->isEnabled());  // the Repair page can repair it
    EXPECT_EQ(lines.back(), "No Corruption Found");
}

TEST(InfoPage, DamagedDocumentEndsCorrupt) {
    WindowRig r;
    const std::string path = r.Write("damaged.qwd", DamagedDoc());
    r.Start(path);
    const std::vector<std::string> lines = r.InfoLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), Heading(path));
    EXPECT_GT(lines.size(), 2u);
    EXPECT_EQ(lines.back(), "Document CORRUPT");
}

TEST(InfoPage, CompoundDocumentAndGraphicsFile) {
    WindowRig r;
    r.Start();
    const std::string compound = r.WriteCompound("c.qwd", SoundDoc());
    r.sheet().LoadDocument(compound, false);
    EXPECT_EQ(r.InfoLines().front(), Heading(compound));
    EXPECT_EQ(Text(r.info().format), "QW 7.0 format ");
    EXPECT_EQ(Text(r.info().totalSize), FormatByteCount(SizeOf(compound)));

    const std::string graphics = r.Write("g.qwg", GraphicsFile());
    r.sheet().LoadDocument(graphics, false);
    // Its stream is checked: it ends inside the first record.
    EXPECT_EQ(r.InfoLines(),
              (std::vector<std::string>{Heading(graphics), " Unexpected EOF while reading data. "}));
    EXPECT_EQ(Text(r.info().format), "QWG 2.x format ");
    EXPECT_TRUE(r.info().undoOnly->text().isEmpty());
    EXPECT_TRUE(r.info().deletable->text().isEmpty());
    EXPECT_FALSE(r.window->repairButton->isEnabled());

    r.window->closeAction->trigger();
    EXPECT_EQ(r.InfoLines(), std::vector<std::string>{"No File Open"});
    EXPECT_TRUE(r.info().totalSize->text().isEmpty());
    EXPECT_TRUE(r.info().format->text().isEmpty());
    EXPECT_FALSE(r.info().saveButton->isEnabled());
    EXPECT_EQ(r.window->windowTitle(), QStringLiteral("Salvino"));
}

TEST(InfoPage, ADamagedGraphicsFileListsTheHeadingAndTheChecksLines) {
    WindowRig r;
    r.Start();
    // An over-long length and a cut record: the check finds the end of data.
    testsupport::QwgBuilder b;
    b.Record(4, 1, 0, {1, 2, 3, 4}).Record(4, 21, 2, {5, 6}).RecordWithLength(4, 24, 0, 40, {7, 8, 9});
    const std::string path = r.dir.File("damaged.qwg");
    ASSERT_TRUE(testsupport::WriteFileBytes(path, b.bytes));
    r.sheet().LoadDocument(path, false);
    ASSERT_NE(r.sheet().Document(), nullptr);

    // The same check on its own, into a plain list.
    testsupport::RecordingList alone("alone");
    ASSERT_EQ(graphics::CheckQwgRecords(r.sheet().Document(), &alone, 0), 1);
    std::vector<std::string> expected{Heading(path)};
    for (const auto& l : alone.lines) expected.push_back(l.text);
    EXPECT_EQ(expected.size(), 2u);
    EXPECT_EQ(r.InfoLines(), expected);
    EXPECT_EQ(Text(r.info().format), "QWG 2.x format ");
    EXPECT_NE(r.window->windowTitle().indexOf("(QWG 2.x format)"), -1);
    // The Information page's check leaves no default list behind.
    EXPECT_EQ(engine::Ctx().sink.defaultList, nullptr);

    // Its printout: the heading lines, then the same check's lines; the
    // list on screen is not added to.
    r.ctx.StartPrinting(10, 100000, path);
    r.info().UpdatePage(kPrintDetail);
    std::vector<std::string> printed;
    for (const auto& d : r.ctx.printer->draws) printed.push_back(d.text);
    r.ctx.StopPrinting();
    const std::string rule(61, '=');
    std::vector<std::string> printedExpected{"---- File: " + path + "   Page: 1 ----", rule, "Corruption", rule};
    for (const auto& l : alone.lines) printedExpected.push_back(l.text);
    EXPECT_EQ(printed, printedExpected);
    EXPECT_EQ(r.InfoLines(), expected);
}

TEST(InfoPage, ARefreshOfTheSameDocumentKeepsItsFindings) {
    WindowRig r;
    const std::string path = r.Write("sound.qwd", SoundDoc());
    r.Start(path);
    r.info().model.Append("Corrupt: a finding listed by the check", engine::kTagDamage | 0x20);
    const std::vector<std::string> before = r.InfoLines();
    r.sheet().RefreshAllPages(kUpdateDocument);  // e.g. a page's own filter box
    EXPECT_EQ(r.InfoLines(), before);
    engine::Ctx().doc.changed = true;  // a row was edited: listed again
    r.sheet().RefreshAllPages(kUpdateDocument);
    EXPECT_FALSE(Contains(r.InfoLines(), "Corrupt: a finding listed by the check"));
}

TEST(InfoPage, BatchRunKeepsEveryFilesFindings) {
    WindowRig r;
    const std::string a = r.Write("a.qwd", SoundDoc());
    const std::string b = r.Write("b.qwd", SoundDoc());
    r.Start();
    r.info().model.Clear();
    r.sheet().SetBatch(true);
    r.sheet().LoadDocument(a, false);
    const std::string headingA = Heading(a);
    r.sheet().UnloadDocument();
    r.sheet().LoadDocument(b, false);
    r.sheet().UnloadDocument();
    r.sheet().SetBatch(false);
    const std::vector<std::string> lines = r.InfoLines();
    EXPECT_TRUE(Contains(lines, headingA));
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [](const std::string& l) { return l.rfind("File: ", 0) == 0; }),
              2);
    EXPECT_FALSE(Contains(lines, "No File Open"));
}

TEST(InfoPage, DoubleClickLeadsOnlyInTheAdvancedView) {
    WindowRig r;
    const std::string path = r.Write("sound.qwd", SoundDoc());
    r.Start(path);
    r.window->tabs->setCurrentIndex(kInfoPage);
    CInfoPage& info = r.info();
    info.model.Append("Corrupt: damaged place", engine::kTagDamage | 0x10);
    info.model.Append("a plain line", 0);
    info.model.Flush();
    QListView* list = info.list;
    auto dblClick = [&](int row) {
        const QModelIndex index = info.model.index(row);
        list->setCurrentIndex(index);
        list->scrollTo(index);
        QCoreApplication::processEvents();
        const QRect rect = list->visualRect(index);
        ASSERT_TRUE(list->viewport()->rect().contains(rect.center())) << row;
        QSignalSpy spy(list, &QAbstractItemView::doubleClicked);
        QTest::mousePress(list->viewport(), Qt::LeftButton, {}, rect.center());
        QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, rect.center());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rect.center());
        ASSERT_EQ(spy.size(), 1) << row;
        EXPECT_EQ(spy[0][0].value<QModelIndex>().row(), row);
    };
    const int damaged = static_cast<int>(info.model.Size()) - 2;
    dblClick(damaged);
    EXPECT_TRUE(r.sheet().History().empty());
    EXPECT_EQ(r.window->tabs->currentIndex(), kInfoPage);

    QTest::mouseClick(r.window->advancedButton, Qt::LeftButton);
    r.window->tabs->setCurrentIndex(kInfoPage);
    dblClick(damaged + 1);  // no tag: nothing
    EXPECT_TRUE(r.sheet().History().empty());
    dblClick(damaged);
    EXPECT_EQ(r.window->tabs->currentIndex(), kCodesPage);
    ASSERT_EQ(r.sheet().History().size(), 1u);
    EXPECT_EQ(r.sheet().History()[0].pageKind, static_cast<uint32_t>(kInfoPage));
    EXPECT_EQ(r.sheet().History()[0].value, static_cast<uint32_t>(damaged));
    EXPECT_TRUE(r.window->backButton->isEnabled());

    QTest::mouseClick(r.window->backButton, Qt::LeftButton);
    EXPECT_EQ(r.window->tabs->currentIndex(), kInfoPage);
    EXPECT_EQ(r.ctx.window.beeps, 1);
    EXPECT_FALSE(r.window->backButton->isEnabled());
}

TEST(InfoPage, FindingsAreDrawnByTheirTags) {
    WindowRig r;
    const std::string path = r.Write("sound.qwd", SoundDoc());
    r.Start();
    const QColor blue(0, 0, 0xFF);
    struct Case {
        uint32_t tag;
        bool advanced, loaded;
        QColor colour;
        bool underline;
    };
    const Case cases[] = {
        {engine::kTagPacket | 3, false, true, QColor(), true},
        {engine::kTagPacket | 3, true, false, QColor(), true},
        {engine::kTagPacket | 3, true, true, blue, true},
        {engine::kTagDamage | 0x40, true, true, blue, false},
        {engine::kTagDamage | 0x40, false, true, QColor(), false},
        {engine::kTagTextBlock | 3, true, true, QColor(), false},
        {0, true, true, QColor(), false},
    };
    for (const Case& c : cases) {
        if (r.sheet().Advanced() != c.advanced) r.sheet().ToggleAdvanced();
        if (c.loaded && !r.sheet().Document()) r.sheet().LoadDocument(path, false);
        if (!c.loaded) r.sheet().UnloadDocument();
        const LineStyle s = r.info().StyleOf(c.tag);
        EXPECT_EQ(s.colour, c.colour) << std::hex << c.tag << " " << c.advanced << c.loaded;
        EXPECT_EQ(s.underline, c.underline) << std::hex << c.tag;
        EXPECT_FALSE(s.strikeOut);
    }
}

TEST(InfoPage, ListFontFromTheSettings) {
    WindowRig r;
    {
        QSettings store = r.settings.Store();
        store.setValue("Settings/Font", "-20,0,0,0,700,0,0,0,0,0,0,0,0");
        store.setValue("Settings/FaceName", "DejaVu Sans Mono");
    }
    r.Start();
    EXPECT_EQ(r.info().list->font().pixelSize(), 20);
    EXPECT_EQ(r.info().list->font().weight(), QFont::Bold);
    QTest::mouseClick(r.window->advancedButton, Qt::LeftButton);
    EXPECT_EQ(r.format().list->font().pixelSize(), 20);
    EXPECT_EQ(r.format().tree->font().pixelSize(), 20);
    // The Font command's way: a new font, then every page told.
    LogFont f = *r.sheet().Settings().listFont;
    f.height = -14;
    r.sheet().Settings().listFont = f;
    r.sheet().RefreshAllPages(kUpdateFont);
    EXPECT_EQ(r.info().list->font().pixelSize(), 14);
    EXPECT_EQ(r.format().list->font().pixelSize(), 14);
}

std::vector<std::string> Drawn(const testsupport::RecordingPrinter& p) {
    std::vector<std::string> out;
    for (const auto& d : p.draws) out.push_back(d.text);
    return out;
}

TEST(PagePrintouts, InformationAndFormat) {
    WindowRig r;
    const std::string rule(61, '=');
    r.Start();
    r.ctx.StartPrinting(10, 100000, "");
    r.info().UpdatePage(kPrintDetail);
    EXPECT_EQ(Drawn(*r.ctx.printer),
              (std::vector<std::string>{"---- File:    Page: 1 ----", rule, "Corruption", rule}));
    r.ctx.StopPrinting();

    const std::string path = r.Write("damaged.qwd", DamagedDoc());
    r.sheet().LoadDocument(path, false);
    const std::vector<std::string> shown = r.InfoLines();
    r.ctx.StartPrinting(10, 100000, path);
    r.info().UpdatePage(kPrintSummary);  // not the Information page's
    EXPECT_EQ(r.ctx.printer->draws.size(), 1u);
    r.info().UpdatePage(kPrintDetail);
    const std::vector<std::string> printed = Drawn(*r.ctx.printer);
    r.ctx.StopPrinting();
    ASSERT_GE(printed.size(), 4u);
    EXPECT_EQ(printed[2], "Corruption");
    EXPECT_EQ(r.InfoLines(), shown);  // the list on screen is not added to
    EXPECT_EQ(printed.back(), "Document CORRUPT");

    QTest::mouseClick(r.window->advancedButton, Qt::LeftButton);
    r.window->tabs->setCurrentIndex(kFormatPage);
    const std::vector<std::string> listed = r.FormatLines();
    r.ctx.StartPrinting(10, 100000, path);
    r.format().UpdatePage(kPrintDetail);
    const std::vector<std::string> format = Drawn(*r.ctx.printer);
    r.ctx.StopPrinting();
    const std::vector<std::string> head(format.begin(), format.begin() + std::min<size_t>(4, format.size()));
    EXPECT_EQ(head, (std::vector<std::string>{"---- File: " + path + "   Page: 1 ----", rule, "File Header Display", rule}));
    EXPECT_TRUE(Contains(format, "File Type      = 0x0A"));
    EXPECT_TRUE(Contains(format, "QW7/QWG3 Object Pool Display"));
    EXPECT_EQ(format.back(), "File is a Quillwright 6.x format.");
    EXPECT_EQ(engine::Ctx().describer.currentTarget, nullptr);
    EXPECT_EQ(r.FormatLines(), listed);
}

TEST(FormatPage, HeaderListingFieldsAndLazyFill) {
    WindowRig r;
    const std::string path = r.Write("sound.qwd", SoundDoc());
    r.Start();
    QTest::mouseClick(r.window->advancedButton, Qt::LeftButton);
    EXPECT_EQ(r.FormatLines(), std::vector<std::string>{"No File Open"});
    EXPECT_TRUE(r.format().prefixSize->text().isEmpty());
    EXPECT_TRUE(r.format().classId->text().isEmpty());

    // Loaded while another page shows: filled when the Format page is shown.
    r.sheet().LoadDocument(path, false);
    EXPECT_EQ(r.FormatLines(), std::vector<std::string>{"No File Open"});
    r.window->tabs->setCurrentIndex(kFormatPage);
    const std::vector<std::string> lines = r.FormatLines();
    const engine::DocumentState& doc = engine::Ctx().doc;
    char offset[64];
    std::snprintf(offset, sizeof offset, "Offset to codes= 0x%08X (%d)", doc.header.DocOffset(),
                  static_cast<int>(doc.header.DocOffset()));
    EXPECT_EQ(lines.front(), offset);
    EXPECT_TRUE(Contains(lines, "File Type      = 0x0A"));
    EXPECT_TRUE(Contains(lines, "Index offset = 0x10 bytes"));
    EXPECT_EQ(Text(r.format().classId), "File is a Quillwright 6.x format.");
    EXPECT_EQ(Text(r.format().prefixSize), FormatByteCount(doc.prefixAreaSize));
    EXPECT_EQ(Text(r.format().codeAreaSize), FormatByteCount(doc.codeAreaSize));
    EXPECT_NE(doc.codeAreaSize, 0u);
    EXPECT_EQ(r.format().tree->topLevelItemCount(), 0);

    // While it shows, a change refills it at once.
    r.window->closeAction->trigger();
    EXPECT_EQ(r.FormatLines(), std::vector<std::string>{"No File Open"});
    EXPECT_TRUE(r.format().codeAreaSize->text().isEmpty());
}

TEST(FormatPage, StorageTreeFlipsItsImages) {
    WindowRig r;
    testsupport::CompoundLayout layout;
    layout.main = SoundDoc().Build();
    layout.rootClassId = testsupport::MakeClassId(0x11);
    layout.extra.push_back({u"", u"Extra", false, testsupport::Pattern(40), {}});
    const std::string path = r.dir.File("c.qwd");
    ASSERT_TRUE(testsupport::WriteCompound(path, layout));
    r.Start();
    QTest::mouseClick(r.window->advancedButton, Qt::LeftButton);
    r.window->tabs->setCurrentIndex(kFormatPage);
    r.sheet().LoadDocument(path, false);

    QTreeWidget* tree = r.format().tree;
    QStringList top;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) top << tree->topLevelItem(i)->text(0);
    ASSERT_TRUE(top.contains(QStringLiteral("'Extra', Type: Stream, Size: 40 (0x28)"))) << top.join("|").toStdString();
    EXPECT_FALSE(r.format().classId->text().isEmpty());
    EXPECT_NE(Text(r.format().classId), "File is a Quillwright 6.x format.");

    QTreeWidgetItem* storage = nullptr;
    QTreeWidgetItem* extra = nullptr;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        QTreeWidgetItem* it = tree->topLevelItem(i);
        if (it->text(0).startsWith(QStringLiteral("'Quillsuite_OBJECTS'"))) storage = it;
        if (it->text(0).startsWith(QStringLiteral("'Extra'"))) extra = it;
    }
    ASSERT_NE(storage, nullptr);
    ASSERT_NE(extra, nullptr);
    ASSERT_GT(extra->childCount(), 0);  // the stream's dump
    EXPECT_EQ(QtTreeTarget::ImageOf(extra->child(0)), CFormatPage::kStream);

    EXPECT_EQ(QtTreeTarget::ImageOf(storage), CFormatPage::kStorageClosed);
    storage->setExpanded(true);
    EXPECT_EQ(QtTreeTarget::ImageOf(storage), CFormatPage::kStorageOpen);
    storage->setExpanded(false);
    EXPECT_EQ(QtTreeTarget::ImageOf(storage), CFormatPage::kStorageClosed);
    // A node showing the stream image keeps it either way.
    r.format().treeTarget()->SetImage(extra, CFormatPage::kStream);
    extra->setExpanded(true);
    EXPECT_EQ(QtTreeTarget::ImageOf(extra), CFormatPage::kStream);
    extra->setExpanded(false);
    EXPECT_EQ(QtTreeTarget::ImageOf(extra), CFormatPage::kStream);
}

TEST(Drop, OnlyTheFirstLocalFileLoads) {
    WindowRig r;
    const std::string a = r.Write("a.qwd", SoundDoc());
    const std::string b = r.Write("b.qwd", SoundDoc());
    r.Start();
    auto drop = [&](const QList<QUrl>& urls) {
        QMimeData mime;
        mime.setUrls(urls);
        QDropEvent event(QPointF(20, 20), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        // Straight to the window's handler: no drag is in progress to route it.
        static_cast<QObject*>(r.window.get())->event(&event);
    };
    drop({QUrl(QStringLiteral("https://example.invalid/x.qwd")), QUrl::fromLocalFile(PathText(a))});
    EXPECT_EQ(r.sheet().Document(), nullptr);
    drop({QUrl::fromLocalFile(PathText(b)), QUrl::fromLocalFile(PathText(a))});
    EXPECT_EQ(engine::Ctx().sink.fileName, b);
    EXPECT_EQ(r.sheet().Recent().Entries(), std::vector<std::string>{b});
}

TEST(RecentMenu, ItemsFollowTheListAndOpenTheirFile) {
    WindowRig r;
    const std::string a = r.Write("a&b.qwd", SoundDoc());
    const std::string b = r.Write("b.qwd", SoundDoc());
    r.Start();
    emit r.window->fileMenu->aboutToShow();
    EXPECT_TRUE(r.window->recentActions.isEmpty());
    EXPECT_FALSE(r.window->closeAction->isEnabled());

    r.sheet().LoadDocument(a, false);
    r.sheet().LoadDocument(b, false);
    emit r.window->fileMenu->aboutToShow();
    ASSERT_EQ(r.window->recentActions.size(), 2);
    EXPECT_EQ(r.window->recentActions[0]->text(), QStringLiteral("&1. ") + PathText(b));
    QString shown = PathText(a);
    shown.replace(QStringLiteral("&"), QStringLiteral("&&"));
    EXPECT_EQ(r.window->recentActions[1]->text(), QStringLiteral("&2. ") + shown);
    EXPECT_TRUE(r.window->closeAction->isEnabled());
    r.window->recentActions[1]->trigger();
    EXPECT_EQ(engine::Ctx().sink.fileName, a);
    emit r.window->fileMenu->aboutToShow();  // rebuilt, not added to
    EXPECT_EQ(r.window->recentActions.size(), 2);
    EXPECT_EQ(r.window->recentActions[0]->text(), QStringLiteral("&1. ") + shown);
}

TEST(SaveToDisk, WritesEveryLineWithCrLf) {
    WindowRig r;
    const std::string path = r.Write("sound.qwd", SoundDoc());
    r.Start(path);
    r.info().model.Append("caf\xE9 \xA7 line", engine::kTagDamage);
    const std::vector<std::string> lines = r.InfoLines();
    r.dialogs.save = r.dir.File("out.txt");
    QTest::mouseClick(r.info().saveButton, Qt::LeftButton);
    std::string expected;
    for (const std::string& l : lines) expected += l + "\r\n";
    EXPECT_EQ(ReadAll(*r.dialogs.save), expected);
    ASSERT_EQ(r.ctx.messages.boxes.size(), 1u);
    EXPECT_EQ(r.ctx.messages.boxes[0].text, "Finsihed writing to file " + *r.dialogs.save);
    EXPECT_EQ(r.ctx.messages.boxes[0].caption, "Salvino");  // the program's name

    r.ctx.messages.boxes.clear();
    r.dialogs.save = r.dir.path();  // a folder cannot be written
    QTest::mouseClick(r.info().saveButton, Qt::LeftButton);
    ASSERT_EQ(r.ctx.messages.boxes.size(), 1u);
    EXPECT_EQ(r.ctx.messages.boxes[0].text,
              "File: " + r.dir.path() + ", could not be written to.  Nothing written to disk.");

    r.ctx.messages.boxes.clear();
    r.dialogs.save.reset();  // Cancel
    QTest::mouseClick(r.info().saveButton, Qt::LeftButton);
    EXPECT_TRUE(r.ctx.messages.boxes.empty());

    TaggedListModel empty;
    r.dialogs.save = r.dir.File("empty.txt");
    ASSERT_TRUE(testsupport::WriteFileBytes(*r.dialogs.save, testsupport::Bytes("old contents")));
    SaveListToFile(empty, r.dialogs);
    EXPECT_EQ(ReadAll(*r.dialogs.save), "");
    ASSERT_EQ(r.ctx.messages.boxes.size(), 1u);
    EXPECT_EQ(r.ctx.messages.boxes[0].text, "Finsihed writing to file " + *r.dialogs.save);
}

std::string Squeezed(const std::string& text) {
    std::string out;
    for (char c : text)
        if (c != ' ' || out.empty() || out.back() != ' ') out += c;
    return out;
}

// The PDF's text with every run of blanks as one: a printed page keeps no
// count of blanks.
std::string PdfText(const std::string& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), QString::fromStdString(pdf), QStringLiteral("-")});
    if (!p.waitForFinished(30000)) return {};
    return Squeezed(p.readAllStandardOutput().toStdString());
}

TEST(Print, PageHeaderAndEveryLine) {
    WindowRig r;
    const std::string path = r.Write("sound.qwd", SoundDoc());
    r.Start(path);
    r.info().model.Append("Corrupt: the first finding", engine::kTagDamage);
    r.dialogs.pdf = r.dir.File("out.pdf");
    QTest::mouseClick(r.info().printButton, Qt::LeftButton);
    const std::string text = PdfText(r.dialogs.pdf);
    EXPECT_NE(text.find(Squeezed("---- File: " + path + "   Page: 1 ----")), std::string::npos) << text;
    EXPECT_NE(text.find("Corrupt: the first finding"), std::string::npos) << text;
    EXPECT_NE(text.find(Squeezed("File: " + path + "  ----- Date: ")), std::string::npos) << text;
    EXPECT_EQ(text.find("Page: 2"), std::string::npos);
    EXPECT_EQ(engine::Ctx().sink.printer, nullptr);

    // A long list runs onto more pages, each with its header.
    TaggedListModel many;
    for (int i = 0; i < 400; ++i) many.Append("line " + std::to_string(i), 0);
    r.dialogs.pdf = r.dir.File("many.pdf");
    PrintList(many, r.dialogs, SalvinoSheetProfile());
    const std::string long_ = PdfText(r.dialogs.pdf);
    EXPECT_NE(long_.find(Squeezed("---- File: " + path + "   Page: 2 ----")), std::string::npos);
    EXPECT_NE(long_.find("line 0"), std::string::npos);
    EXPECT_NE(long_.find("line 399"), std::string::npos);

    // Cancel in the print dialog prints nothing.
    r.dialogs.pdf.clear();
    PrintList(many, r.dialogs, SalvinoSheetProfile());
    EXPECT_EQ(engine::Ctx().sink.printer, nullptr);
}

TEST(QtProgressDialog, TheQtDialogDisablesItsOwnerAndCancelWorks) {
    SettingsSandbox sandbox;
    ScopedContext ctx;
    QWidget owner;
    owner.show();
    QtProgressHost host(&owner);
    engine::Ctx().hosts.progress = &host;
    {
        engine::CProgressDialog dialog(0);
        ASSERT_EQ(dialog.Create(), 1);
        EXPECT_FALSE(owner.isEnabled());
        QPushButton* cancel = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible() && w->windowTitle() == QStringLiteral("Please Wait"))
                cancel = w->findChild<QPushButton*>();
        ASSERT_NE(cancel, nullptr);
        EXPECT_TRUE(cancel->isEnabled());
        EXPECT_FALSE(dialog.CheckCancel());
        QTest::mouseClick(cancel, Qt::LeftButton);
        EXPECT_TRUE(dialog.CheckCancel());
        EXPECT_FALSE(dialog.CheckCancel());  // once per press
    }
    EXPECT_TRUE(owner.isEnabled());
}

TEST(QtProgressDialog, TheWindowDoesNotCloseUnderALongScan) {
    WindowRig r;
    const std::string path = r.Write("sound.qwd", SoundDoc());
    r.Start(path);
    QtProgressHost host(r.window.get());
    engine::Ctx().hosts.progress = &host;
    {
        engine::CProgressDialog dialog(0);
        ASSERT_EQ(dialog.Create(), 1);
        EXPECT_FALSE(r.window->close());
        EXPECT_NE(r.sheet().Document(), nullptr);
    }
    EXPECT_TRUE(r.window->close());
    EXPECT_EQ(r.sheet().Document(), nullptr);
    engine::Ctx().hosts.progress = &r.ctx.progress;
}

TEST(QtProgressDialog, OneInsideAnotherLeavesTheWindowDisabledUntilTheOuterCloses) {
    WindowRig r;
    const std::string path = r.Write("sound.qwd", SoundDoc());
    r.Start(path);
    QtProgressHost host(r.window.get());
    engine::Ctx().hosts.progress = &host;
    auto outer = std::make_unique<engine::CProgressDialog>(0);
    ASSERT_EQ(outer->Create(), 1);
    for (int round = 0; round < 2; ++round) {
        engine::CProgressDialog inner(0);
        ASSERT_EQ(inner.Create(), 1);
        EXPECT_FALSE(r.window->isEnabled());
    }
    // The outer scan still reads the document.
    EXPECT_FALSE(r.window->isEnabled());
    EXPECT_FALSE(r.window->close());
    EXPECT_NE(r.sheet().Document(), nullptr);
    // Closed in another order than opened: the last one out gives it back.
    auto later = std::make_unique<engine::CProgressDialog>(0);
    ASSERT_EQ(later->Create(), 1);
    outer.reset();
    EXPECT_FALSE(r.window->isEnabled());
    later.reset();
    EXPECT_TRUE(r.window->isEnabled());
    engine::Ctx().hosts.progress = &r.ctx.progress;
}

TEST(TaggedListModel, LinesReachTheViewsInOneInsertion) {
    TaggedListModel m;
    QSignalSpy inserted(&m, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(&m, &QAbstractItemModel::rowsRemoved);
    for (uint32_t i = 0; i < 100000; ++i) m.Append("finding " + std::to_string(i), i);
    EXPECT_EQ(m.Size(), 100000u);
    EXPECT_EQ(m.rowCount(), 0);  // not shown yet
    EXPECT_EQ(m.Text(99999), "finding 99999");
    m.RemoveLast();               // a merge into the line before: nothing to tell the views
    m.Append("Corrupt: finding 99998", engine::kTagDamage);
    EXPECT_TRUE(removed.isEmpty());
    QCoreApplication::processEvents();  // the event loop shows what was appended
    ASSERT_EQ(inserted.size(), 1);
    EXPECT_EQ(inserted[0][1].toInt(), 0);
    EXPECT_EQ(inserted[0][2].toInt(), 99999);
    EXPECT_EQ(m.rowCount(), 100000);
    EXPECT_EQ(m.data(m.index(99999), TaggedListModel::kTagRole).toUInt(), engine::kTagDamage);
    m.RemoveLast();  // a shown line
    ASSERT_EQ(removed.size(), 1);
    EXPECT_EQ(m.rowCount(), 99999);
    EXPECT_EQ(m.Tag(99998), 99998u);
    m.Append("\x80 euro", 0);
    m.Flush();
    EXPECT_EQ(m.data(m.index(99999)).toString(), QString::fromUtf8("\u20AC euro"));
    m.Clear();
    EXPECT_EQ(m.rowCount(), 0);
    EXPECT_EQ(m.Size(), 0u);
}

TEST(TaggedItemDelegate, DefaultStylesByTag) {
    struct Case {
        uint32_t tag;
        QColor colour;
        bool underline, strikeOut;
    };
    const QColor red(0xFF, 0, 0), blue(0, 0, 0xFF), purple(0x80, 0, 0x80);
    const Case cases[] = {
        {0, QColor(), false, false},
        {engine::kTagDamage | 0x123, red, false, false},
        {engine::kTagPacket | 7, blue, true, false},
        {engine::kTagTextBlock | 0x30007, purple, true, false},
        {engine::kTagUndo | 0x40, QColor(), false, true},
        {engine::kTagUndo | engine::kTagDamage, red, false, true},
        {engine::kTagCrossRef | 0x40, QColor(), false, false},
    };
    for (const Case& c : cases) {
        const LineStyle s = DefaultLineStyle(c.tag);
        EXPECT_EQ(s.colour, c.colour) << std::hex << c.tag;
        EXPECT_EQ(s.underline, c.underline) << std::hex << c.tag;
        EXPECT_EQ(s.strikeOut, c.strikeOut) << std::hex << c.tag;
    }
}

TEST(QtTreeTarget, AStreamDumpArrivesInOneInsertion) {
    QTreeWidget tree;
    QtTreeTarget target(&tree, {});
    QSignalSpy inserted(tree.model(), &QAbstractItemModel::rowsInserted);
    const engine::TreeItem node = target.AppendChild(engine::kTreeRoot, "'Big', Type: Stream", 0);
    for (int i = 0; i < 65536; ++i) target.AppendChild(node, "00000- dump line", 2);
    EXPECT_EQ(tree.topLevelItemCount(), 0);
    target.Flush();
    EXPECT_EQ(inserted.size(), 1);
    ASSERT_EQ(tree.topLevelItemCount(), 1);
    EXPECT_EQ(tree.topLevelItem(0)->childCount(), 65536);
    // More under a node already shown: again one insertion.
    inserted.clear();
    for (int i = 0; i < 1000; ++i) target.AppendChild(node, "more", 2);
    target.Flush();
    EXPECT_EQ(inserted.size(), 1);
    EXPECT_EQ(tree.topLevelItem(0)->childCount(), 66536);
    EXPECT_EQ(target.Item(node), tree.topLevelItem(0));
    target.Clear();
    EXPECT_EQ(tree.topLevelItemCount(), 0);
    EXPECT_EQ(target.Item(node), nullptr);
}

TEST(ByteCount, ThousandsGroupsAndATrailingBlank) {
    struct Case {
        uint64_t bytes;
        const char* text;
    };
    const Case cases[] = {
        {0, "0 Bytes "},
        {999, "999 Bytes "},
        {1000, "1,000 Bytes "},
        {999999, "999,999 Bytes "},
        {1000000, "1,000,000 Bytes "},
        {1234567, "1,234,567 Bytes "},
        {1234567890, "1,234,567,890 Bytes "},
        {4294967295u, "4,294,967,295 Bytes "},
        {5000000000ull, "5,000,000,000 Bytes "},
    };
    for (const Case& c : cases) EXPECT_EQ(FormatByteCount(c.bytes), c.text);
}

}  // namespace
}  // namespace inspector::testing

int main(int argc, char** argv) {
    // Test discovery runs this too, outside ctest's environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
