// Glimmet's window offscreen: the shared sheet under Glimmet's profile,
// driven through its real widgets with fake dialogs and recording hosts.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListView>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>
#include <QUrl>
#include <fstream>
#include <iterator>

#include "engine/EngineContext.h"
#include "engine/Format.h"
#include "legacy/engine/GlimmetProfile.h"
#include "legacy/sheet/CorruptionPage.h"
#include "legacy/sheet/GlimmetSheetProfile.h"
#include "legacy/sheet/GlimmetWindow.h"
#include "platform/desktop/Desktop.h"
#include "sheet/CodesPage.h"
#include "sheet/FilterPage.h"
#include "sheet/Pages.h"
#include "sheet/PrefixPage.h"
#include "sheet/HexRowEdit.h"
#include "tests/sheet/PageRig.h"
#include "tests/sheet/Fixtures.h"
#include "tests/support/QwgBuilder.h"
#include "tests/support/QwgSound.h"
#include "tests/support/Recording.h"

namespace legacy::testing {
namespace {

using inspector::kCodesPage;
using inspector::kFilterPage;
using inspector::kFormatPage;
using inspector::kInfoPage;
using inspector::kPrefixPage;
using inspector::kSubDocPage;
using inspector::testing::FakeDialogs;
using inspector::testing::PageDialogs;
using inspector::testing::SettingsSandbox;

class FakeGlimmetDialogs : public GlimmetDialogs {
public:
    bool Scramble(ScrambleChoice& choice) override {
        ++scrambles;
        if (!answer) return false;
        choice = *answer;
        return true;
    }
    std::optional<ScrambleChoice> answer;
    int scrambles = 0;
};

class FakeOpener : public desktop::DesktopOpener {
public:
    bool OpenFile(const std::string&) override { return false; }
    bool OpenUrl(const std::string&) override { return false; }
    bool HasHtmlHandler() override { return !handler.desktopId.empty(); }
    desktop::HtmlHandlerEntry HtmlHandler() override { return handler; }
    desktop::HtmlHandlerEntry handler;
};

class FakeLauncher : public desktop::ProgramLauncher {
public:
    bool StartDetached(const std::string& program, const std::vector<std::string>& args) override {
        started.push_back({program, args});
        return starts;
    }
    std::vector<BrowserStart> started;
    bool starts = true;
};

// The profile goes in before the context is made: a fresh context takes it.
struct InstalledGlimmet {
    InstalledGlimmet() { engine::InstallProfile(GlimmetProfile()); }
    ~InstalledGlimmet() { engine::InstallProfile(engine::SalvinoProfile()); }
};

struct Rig {
    SettingsSandbox settings;
    InstalledGlimmet profile;
    testsupport::ScopedContext ctx;
    testsupport::ScopedTempDir dir;
    PageDialogs dialogs;
    FakeGlimmetDialogs own;
    std::unique_ptr<GlimmetWindow> window;

    Rig() {
        engine::Ctx().sink.defaultList = nullptr;
        window = std::make_unique<GlimmetWindow>(&dialogs, &dialogs.commands, &own);
    }
    ~Rig() { window.reset(); }
    void Start(const std::string& pending = "") {
        window->show();
        window->Start(pending);
    }
    inspector::CTabSheet& sheet() { return window->sheet(); }
    CCorruptionPage& corruption() { return *window->corruptionPage(); }
    inspector::CCodesPage& codes() { return *static_cast<inspector::CCodesPage*>(window->page(kCodesPage)); }
    inspector::CCodesPage& sub() { return *static_cast<inspector::CCodesPage*>(window->page(kSubDocPage)); }
    inspector::CPrefixPage& prefix() { return *static_cast<inspector::CPrefixPage*>(window->page(kPrefixPage)); }
    inspector::CQWPage& filter() { return *static_cast<inspector::CQWPage*>(window->page(kFilterPage)); }
    std::string Write(const std::string& name, const testsupport::DocBuilder& b) {
        return inspector::testing::WriteDoc(dir, name, b, false);
    }
    QStringList Tabs() const {
        QStringList t;
        for (int i = 0; i < window->tabs->count(); ++i) t << window->tabs->tabText(i);
        return t;
    }
    static std::vector<std::string> Texts(inspector::TaggedListModel& m) {
        m.Flush();
        std::vector<std::string> out;
        for (const auto& l : m.Lines()) out.push_back(l.text);
        return out;
    }
    std::vector<std::string> Boxes() const {
        std::vector<std::string> out;
        for (const auto& b : ctx.messages.boxes) out.push_back(b.caption + "|" + b.text);
        return out;
    }
    // The row of the first line of `m` whose tag has `bits`; -1 when none.
    static int RowWith(const inspector::TaggedListModel& m, uint32_t bits) {
        for (size_t i = 0; i < m.Size(); ++i)
            if (m.Tag(i) & bits) return static_cast<int>(i);
        return -1;
    }
};

std::string FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A graphics file whose last record claims more bytes than there are.
std::string WriteDamagedGraphics(Rig& r) {
    testsupport::QwgBuilder b;
    b.Record(4, 1, 0, {1, 2, 3, 4}).Record(4, 21, 2, {5, 6}).RecordWithLength(4, 24, 0, 40, {7, 8, 9});
    const std::string path = r.dir.File("damaged.qwg");
    EXPECT_TRUE(testsupport::WriteFileBytes(path, b.bytes));
    return path;
}

TEST(GlimmetWindow, CaptionTabsAndMenu134) {
    Rig r;
    const std::string path = r.Write("a.qwd", inspector::testing::SoundDoc());
    r.Start(path);
    EXPECT_EQ(r.window->windowTitle(), QStringLiteral("a.qwd (QW 6.0 format) - QW Document Viewer"));
    EXPECT_EQ(r.Tabs(), (QStringList{"Info", "Prefix", "Codes", "Filter List", "Corruption", "Sub Document"}));
    // All six pages from the start, the Info page shown; Back and Close only.
    EXPECT_EQ(r.window->tabs->currentIndex(), 0);
    EXPECT_EQ(r.sheet().ActivePage(), kFormatPage);
    EXPECT_EQ(r.window->advancedButton, nullptr);
    EXPECT_EQ(r.window->repairButton, nullptr);
    ASSERT_NE(r.window->closeButton, nullptr);
    EXPECT_EQ(r.window->closeButton->text(), QStringLiteral("&Close"));

    QStringList menu;
    for (QAction* popup : r.window->menuBar()->actions()) {
        menu << popup->text();
        popup->menu()->aboutToShow();
        for (QAction* a : popup->menu()->actions()) menu << (a->isSeparator() ? QStringLiteral("-") : a->text());
    }
    const QStringList expected{"&File",      "&Open...",    "&Close", "&Print...", "-", "&1. " + QString::fromStdString(path),
                               "Edit",       "&Find...",    "-",      "&Scramble all text...",
                               "&View",      "&Font...",
                               "&Help",      "&Help...",    "-",      "&File Format...", "-", "&About..."};
    EXPECT_EQ(menu, expected);
    // Graphics files too: Close, Print, Find and Scramble follow the document.
    for (QAction* a : {r.window->closeAction, r.window->printAction, r.window->findAction, r.window->scrambleAction})
        EXPECT_TRUE(a->isEnabled()) << a->text().toStdString();
    EXPECT_EQ(r.window->exitAction, nullptr);
    EXPECT_EQ(r.window->extractAction, nullptr);
    EXPECT_EQ(r.window->helpRequest, nullptr);
    // The fetch and its timer have no item but stay bound to the window.
    ASSERT_NE(r.window->fetchAction, nullptr);
    EXPECT_TRUE(r.window->actions().contains(r.window->fetchAction));
    EXPECT_EQ(r.window->fetchAction->shortcut(), QKeySequence(Qt::Key_F5));
    ASSERT_NE(r.window->autoRefreshAction, nullptr);

    r.window->commands().Close();
    EXPECT_EQ(r.window->windowTitle(), QStringLiteral("QW Document Viewer"));
    for (QAction* a : {r.window->closeAction, r.window->printAction, r.window->findAction, r.window->scrambleAction})
        EXPECT_FALSE(a->isEnabled()) << a->text().toStdString();
}

TEST(GlimmetWindow, SettingsLiveUnderOstrelGlimmetWithThePartsKeysOnly) {
    Rig r;
    {
        QSettings store(QStringLiteral("Ostrel"), QStringLiteral("Glimmet"));
        store.setValue(QStringLiteral("Settings/Hex"), 0);
        store.setValue(QStringLiteral("Settings/Update Interval"), 42);
    }
    r.Start();
    EXPECT_EQ(r.sheet().Settings().hex, 0u);
    EXPECT_EQ(r.sheet().Settings().updateInterval, 42u);
    r.window->Finish();
    r.window.reset();

    QSettings store(QStringLiteral("Ostrel"), QStringLiteral("Glimmet"));
    store.beginGroup(QStringLiteral("Settings"));
    QStringList keys = store.childKeys();
    keys.sort();
    QStringList expected{"Hex", "Update Interval", "QW Filter Flags 1", "QW Filter Flags 2", "QWG Filter Flags 1",
                         "QWG Filter Flags 2", "Filter Codes"};
    for (int i = 1; i <= 8; ++i) expected << QStringLiteral("PREFIX Filter Flags %1").arg(i);
    expected.sort();
    EXPECT_EQ(keys, expected);
    EXPECT_TRUE(QSettings(QStringLiteral("Tarnwell"), QStringLiteral("Salvino")).allKeys().isEmpty());
}

TEST(GlimmetWindow, OpenTakesOneFileWithoutTheBatchTipOrAFilterSetting) {
    Rig r;
    r.Start();
    const std::string first = r.Write("first.qwd", inspector::testing::SoundDoc());
    const std::string second = r.Write("second.qwd", inspector::testing::SoundDoc());
    r.dialogs.commands.openMany = {first, second};
    r.dialogs.commands.openFilter = 3;
    r.window->openAction->trigger();
    EXPECT_EQ(r.dialogs.commands.tips, 0);
    EXPECT_EQ(r.dialogs.commands.batches, 0);
    EXPECT_EQ(r.dialogs.commands.openStartedAt, 0u);  // no filter is set to start with
    EXPECT_EQ(r.window->windowTitle(), QStringLiteral("first.qwd (QW 6.0 format) - QW Document Viewer"));
    r.window->Finish();
    EXPECT_FALSE(QSettings(QStringLiteral("Ostrel"), QStringLiteral("Glimmet"))
                     .contains(QStringLiteral("Settings/Open Dialog Filter Index")));
}

TEST(GlimmetWindow, ADropOpensNothing) {
    Rig r;
    r.Start();
    const std::string path = r.Write("dropped.qwd", inspector::testing::SoundDoc());
    EXPECT_FALSE(r.window->acceptDrops());
    r.window->DropUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
    EXPECT_EQ(r.sheet().Document(), nullptr);
    EXPECT_EQ(r.window->windowTitle(), QStringLiteral("QW Document Viewer"));
}

TEST(GlimmetWindow, CorruptionPageListsOnlyWhatTheCheckFinds) {
    Rig r;
    r.Start();
    r.sheet().SetActivePage(kInfoPage);
    EXPECT_EQ(Rig::Texts(r.corruption().model), std::vector<std::string>{"No File Open"});

    // A clean graphics file lists nothing at all.
    testsupport::QwgBuilder clean;
    clean.Record(4, 1, 0, testsupport::QwgStartBody(false, 0).b).Record(4, 2, 0, {});
    const std::string cleanPath = r.dir.File("clean.qwg");
    ASSERT_TRUE(testsupport::WriteFileBytes(cleanPath, clean.bytes));
    r.sheet().LoadDocument(cleanPath, false);
    ASSERT_NE(r.sheet().Document(), nullptr);
    EXPECT_EQ(Rig::Texts(r.corruption().model), std::vector<std::string>{});

    // A document: the older verdict, filled while another page shows.
    r.sheet().SetActivePage(kCodesPage);
    r.sheet().LoadDocument("samples/damaged.qwd", false);
    const std::vector<std::string> lines = Rig::Texts(r.corruption().model);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "Document CORRUPT");
}

TEST(GlimmetWindow, CorruptionDoubleClickGoesToCodesAndBackToThatLine) {
    Rig r;
    r.Start(WriteDamagedGraphics(r));
    r.sheet().SetActivePage(kInfoPage);
    CCorruptionPage& page = r.corruption();
    // A damaged record's finding, as the graphics check tags it: its row.
    page.model.Append("Corrupt record", engine::kTagDamage | 1);
    page.model.Flush();
    const int row = Rig::RowWith(page.model, engine::kTagDamage);
    ASSERT_GE(row, 0);
    inspector::SelectListRow(page.list, row, false);
    page.DoubleClicked(row);
    EXPECT_EQ(r.sheet().ActivePage(), kCodesPage);
    EXPECT_EQ(r.codes().SelectedCodeRow(), static_cast<int>(engine::OffsetOf(page.model.Tag(static_cast<size_t>(row)))));
    ASSERT_EQ(r.sheet().History().size(), 1u);
    EXPECT_EQ(r.sheet().History()[0].pageKind, 4u);  // Glimmet's Corruption page
    EXPECT_TRUE(r.window->backButton->isEnabled());

    inspector::SelectListRow(page.list, -1, false);
    r.window->backButton->click();
    EXPECT_EQ(r.sheet().ActivePage(), kInfoPage);
    EXPECT_EQ(inspector::SelectedListRow(page.list), row);
    EXPECT_FALSE(r.window->backButton->isEnabled());
    EXPECT_EQ(r.ctx.window.beeps, 0);
}

TEST(GlimmetWindow, PrefixFollowsAndBackReturnsToThePacketLine) {
    Rig r;
    testsupport::DocBuilder b;
    testsupport::Packet font;
    font.type = 0x20;
    font.payload = {'A', 'r', 'i', 'a', 'l'};
    const uint16_t fontId = b.Add(font);
    testsupport::Packet parent;
    parent.type = 0x01;
    parent.children = {fontId};
    b.Add(parent);
    testsupport::Packet style;
    style.type = 0x30;  // its text block is a sub document
    testsupport::Body block;
    block.Text("Inside the block");
    style.blocks = {block};
    const uint16_t styleId = b.Add(style);
    testsupport::Packet other = style;
    other.type = 0x01;
    const uint16_t otherId = b.Add(other);
    b.body.Text("Body").Var(testsupport::Func(0xD4, 0x06, {fontId}));
    r.Start(r.Write("refs.qwd", b));
    r.sheet().SetActivePage(kPrefixPage);
    inspector::CPrefixPage& prefix = r.prefix();
    prefix.hexBox->click();  // decoded: the references are lines of their own
    ASSERT_FALSE(prefix.hexBox->isChecked());

    // A packet reference in the detail: the referenced packet's line.
    prefix.SelectItem(2);
    const int ref = Rig::RowWith(prefix.details, engine::kTagPacket);
    ASSERT_GE(ref, 0);
    prefix.DetailDoubleClicked(ref);
    EXPECT_EQ(r.sheet().ActivePage(), kPrefixPage);
    EXPECT_EQ(prefix.SelectedPacketRow(), fontId);
    r.window->backButton->click();
    EXPECT_EQ(prefix.SelectedPacketRow(), 2);

    // A text block: the Sub Document page lists it, named in its tab; Back
    // comes to the packet line it was opened from.
    prefix.SelectItem(styleId);
    const int blockRow = Rig::RowWith(prefix.details, engine::kTagTextBlock);
    ASSERT_GE(blockRow, 0);
    prefix.DetailDoubleClicked(blockRow);
    EXPECT_EQ(r.sheet().ActivePage(), kSubDocPage);
    ASSERT_GT(r.sub().codes.Size(), 0u);
    EXPECT_NE(r.sub().codes.Text(0), "No Prefix document selected");
    EXPECT_EQ(r.window->tabs->tabText(5).toStdString(), engine::Format("Prefix Packet 0x%02x", styleId));
    ASSERT_EQ(r.sheet().History().size(), 1u);
    EXPECT_EQ(r.sheet().History()[0].pageKind, 1u);
    EXPECT_EQ(r.sheet().History()[0].value, styleId);
    r.window->backButton->click();
    EXPECT_EQ(r.sheet().ActivePage(), kPrefixPage);
    EXPECT_EQ(prefix.SelectedPacketRow(), styleId);

    // A packet of another type: the older detail shows no caption for its
    // text block, so nothing leads to it.
    prefix.SelectItem(otherId);
    EXPECT_LT(Rig::RowWith(prefix.details, engine::kTagTextBlock), 0);
}

TEST(GlimmetWindow, FilterListWithNoFileShowsNoFileOpenAndKeepsTheFilters) {
    Rig r;
    r.Start();
    r.sheet().SetActivePage(kFilterPage);
    inspector::CQWPage& f = r.filter();
    r.sheet().Settings().codeMasks = {0x5, 0x10};
    r.sheet().Settings().graphicsMasks = {0x1, 0x2};
    const auto prefixMasks = r.sheet().Settings().prefixMasks;
    r.sheet().RefreshAllPages(inspector::kUpdateDocument);
    for (QListWidget* l : {f.codeList, f.graphicsList, f.packetList}) {
        ASSERT_EQ(l->count(), 1);
        EXPECT_EQ(l->item(0)->text(), QStringLiteral("No File Open"));
    }
    f.codeClearAll->click();
    r.sheet().SetActivePage(kCodesPage);  // leaving the page applies
    EXPECT_EQ(r.sheet().Settings().codeMasks, (std::array<uint32_t, 2>{0x5, 0x10}));
    EXPECT_EQ(r.sheet().Settings().graphicsMasks, (std::array<uint32_t, 2>{0x1, 0x2}));
    EXPECT_EQ(r.sheet().Settings().prefixMasks, prefixMasks);

    // With a file: Glimmet's 63 graphics rows and its hint.
    r.sheet().LoadDocument(r.Write("a.qwd", inspector::testing::SoundDoc()), false);
    ASSERT_EQ(f.graphicsList->count(), 63);
    EXPECT_EQ(f.graphicsList->item(0x39)->text(), QStringLiteral("(0x3A) ?"));
    EXPECT_EQ(f.graphicsList->item(0x3A)->text(), QStringLiteral("(0x3B) ?"));
    EXPECT_EQ(f.graphicsList->item(0x3C)->text(), QStringLiteral("(0x34) Brush Texture"));
    EXPECT_EQ(f.graphicsList->item(0x3D)->text(), QStringLiteral("(0x35) Texture Alignment"));
    EXPECT_EQ(f.graphicsList->item(0x3E)->text(), QStringLiteral("(0x36) Pen Texture"));
    EXPECT_EQ(f.graphicsList->item(0x3B)->text(), QStringLiteral("(0x3C) Texture Definition"));
    // The packet rows take Glimmet's names.
    EXPECT_EQ(f.packetList->item(0x37)->text(), QStringLiteral("(0x37) Undefined"));
    EXPECT_EQ(f.packetList->item(0x3F)->text(), QStringLiteral("(0x3F) Native Filename"));
    EXPECT_FALSE(f.findChildren<QLabel*>().isEmpty());
    EXPECT_EQ(f.findChildren<QLabel*>().front()->text(),
              QStringLiteral("Use Control Click to Select/Deselect  Multiple Records"));
    // Clear All applies at once: the row of type 0x3F is the last bit.
    r.sheet().SetActivePage(kFilterPage);
    f.graphicsClearAll->click();
    EXPECT_EQ(r.sheet().Settings().graphicsMasks, (std::array<uint32_t, 2>{0, 0}));
    f.graphicsSelectAll->click();
    EXPECT_EQ(r.sheet().Settings().graphicsMasks, (std::array<uint32_t, 2>{0x7FFFFFFF, 0xFFFFFFFF}));
}

TEST(GlimmetWindow, ScrambleConfirmsAndChangesNothing) {
    Rig r;
    const std::string path = r.Write("secret.qwd", inspector::testing::SoundDoc());
    const std::string before = FileBytes(path);
    r.Start(path);
    struct Case {
        std::optional<ScrambleChoice> dialog;
        std::vector<engine::MsgAnswer> answers;
        std::vector<std::string> boxes;
    };
    const std::string warning =
        "WARNING!!!!|All document text will be Destroyed.  This is not reversible!.  Do you really want to continue.";
    const Case cases[] = {
        {std::nullopt, {}, {}},
        {ScrambleChoice{false, false}, {}, {"Error|A main document and/or subdocuments must be selected"}},
        {ScrambleChoice{true, true}, {engine::MsgAnswer::Cancel}, {warning}},
        {ScrambleChoice{true, false}, {engine::MsgAnswer::Ok}, {warning, "Oops|Scramble not done yet!"}},
        {ScrambleChoice{true, true}, {engine::MsgAnswer::Ok}, {warning, "Oops|Scramble not done yet!"}},
    };
    for (const Case& c : cases) {
        r.ctx.messages.boxes.clear();
        r.ctx.messages.script.assign(c.answers.begin(), c.answers.end());
        r.own.answer = c.dialog;
        r.window->scrambleAction->trigger();
        EXPECT_EQ(r.Boxes(), c.boxes);
        EXPECT_EQ(FileBytes(path), before);
    }
    // Offered on a graphics file as well.
    r.sheet().LoadDocument(WriteDamagedGraphics(r), false);
    r.window->UpdateMenuStates();
    EXPECT_TRUE(r.window->scrambleAction->isEnabled());
}

TEST(GlimmetWindow, AFindTheScannerStopsShortOfIsNotFound) {
    Rig r;
    r.Start("samples/damaged.qwd");
    inspector::SearchChoice search;
    search.text = "end";  // after the damaged function
    search.fromCurrent = false;
    r.dialogs.commands.search = search;
    r.window->findAction->trigger();
    EXPECT_EQ(r.Boxes(), std::vector<std::string>{"Sorry|end Not found."});
    EXPECT_TRUE(r.sheet().History().empty());

    // Before the damage the text is found, and Back returns.
    r.ctx.messages.boxes.clear();
    search.text = "sample";
    r.dialogs.commands.search = search;
    r.window->findAction->trigger();
    EXPECT_TRUE(r.Boxes().empty());
    EXPECT_EQ(r.sheet().ActivePage(), kCodesPage);
    const int row = r.codes().SelectedCodeRow();
    ASSERT_GE(row, 0);
    EXPECT_NE(r.codes().codes.Text(static_cast<size_t>(row)).find("sample"), std::string::npos);
}

TEST(GlimmetWindow, FileFormatStartsTheDesktopsBrowserOrSaysWhy) {
    testsupport::ScopedTempDir dir;
    const std::string folder = dir.File("bin");
    ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
    const std::string page = folder + "/A_frntff.htm";
    const std::string empty = dir.File("empty");
    ASSERT_EQ(mkdir(empty.c_str(), 0700), 0);
    { std::ofstream(page) << "<html></html>"; }
    struct Case {
        desktop::HtmlHandlerEntry handler;
        std::string folder;
        bool starts;
        std::string box;                // "" none
        std::vector<std::string> start;  // program, then arguments
    };
    const Case cases[] = {
        {{}, folder, true, "Error|Netscape not registered", {}},
        {{"browser.desktop", ""}, folder, true, "Error|Netscape not registered with an OPEN key", {}},
        {{"browser.desktop", "browser %u"}, "", true, "Error|Problem getting path to GLIMMET.EXE", {}},
        {{"browser.desktop", "browser %u"}, empty, true, "Error|Coult not find file : " + empty + "/A_frntff.htm", {}},
        {{"browser.desktop", "browser %u"}, folder, false, "Error|Could not start the browser : browser", {"browser", page}},
        {{"browser.desktop", "browser --new-window %U"}, folder, true, "", {"browser", "--new-window", page}},
        // Cut after the first ".exe"; a capital ".EXE" keeps the whole command.
        {{"b.desktop", "\"/opt/web browser/run.exe\" -osint %1"}, folder, true, "", {"/opt/web browser/run.exe", page}},
        {{"b.desktop", "RUN.EXE -k %f"}, folder, true, "", {"RUN.EXE", "-k", page}},
    };
    for (const Case& c : cases) {
        testsupport::ScopedContext ctx;
        FakeOpener opener;
        opener.handler = c.handler;
        FakeLauncher launcher;
        launcher.starts = c.starts;
        LaunchHelpBrowser(&opener, &launcher, c.folder);
        std::vector<std::string> boxes;
        for (const auto& b : ctx.messages.boxes) boxes.push_back(b.caption + "|" + b.text);
        EXPECT_EQ(boxes, c.box.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.box})
            << c.handler.exec;
        std::vector<std::string> started;
        if (!launcher.started.empty()) {
            started.push_back(launcher.started[0].program);
            for (const auto& a : launcher.started[0].args) started.push_back(a);
        }
        EXPECT_EQ(started, c.start) << c.handler.exec;
    }
}

TEST(GlimmetWindow, FileFormatFromTheMenuGoesThroughTheWindowsOpenerAndLauncher) {
    Rig r;
    r.Start();
    FakeOpener opener;
    opener.handler = {"browser.desktop", "browser %u"};
    FakeLauncher launcher;
    r.window->commands().Services().opener = &opener;
    r.window->commands().Services().programFolder = [] { return std::string(SALVINO_BIN_DIR); };
    r.window->launcher = &launcher;
    r.window->fileFormatAction->trigger();
    ASSERT_EQ(launcher.started.size(), 1u);
    EXPECT_EQ(launcher.started[0].program, "browser");
    ASSERT_EQ(launcher.started[0].args.size(), 1u);
    EXPECT_NE(launcher.started[0].args[0].find("/A_frntff.htm"), std::string::npos);
    r.window->commands().Services().opener = nullptr;
}

TEST(GlimmetWindow, PrintPreselectsByPage) {
    Rig r;
    r.Start(r.Write("a.qwd", inspector::testing::SoundDoc()));
    using inspector::PrintChoice;
    struct Case {
        int role;
        std::vector<bool PrintChoice::*> on;
    };
    const Case cases[] = {
        {kFormatPage, {&PrintChoice::format}},
        {kPrefixPage, {&PrintChoice::prefixSelected, &PrintChoice::prefixSummary}},
        {kCodesPage, {&PrintChoice::codesSelected, &PrintChoice::codesSummary}},
        {kFilterPage, {}},
        {kInfoPage, {&PrintChoice::corruption}},
        {kSubDocPage, {&PrintChoice::subSelected, &PrintChoice::subSummary}},
    };
    for (const Case& c : cases) {
        r.sheet().SetActivePage(c.role);
        r.window->printAction->trigger();
        PrintChoice expected;
        for (auto m : c.on) expected.*m = true;
        PrintChoice got = r.dialogs.commands.printInitial;
        // The hex boxes start as the pages' own flags.
        got.prefixHex = got.codesHex = got.subHex = false;
        EXPECT_EQ(got.pointSize, 9);
        EXPECT_EQ(got.AnyPart(), expected.AnyPart()) << c.role;
        for (auto m : {&PrintChoice::format, &PrintChoice::corruption, &PrintChoice::prefixSelected,
                       &PrintChoice::prefixSummary, &PrintChoice::prefixAll, &PrintChoice::codesSelected,
                       &PrintChoice::codesSummary, &PrintChoice::codesAll, &PrintChoice::subSelected,
                       &PrintChoice::subSummary, &PrintChoice::subAll, &PrintChoice::log})
            EXPECT_EQ(got.*m, expected.*m) << c.role;
    }
}

std::string PdfText(const std::string& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), QString::fromStdString(pdf), QStringLiteral("-")});
    if (!p.waitForFinished(30000)) return {};
    return p.readAllStandardOutput().toStdString();
}

TEST(GlimmetWindow, CorruptionAlonePrintsItsHeaderAndTheCheck) {
    Rig r;
    r.Start("samples/damaged.qwd");
    r.sheet().SetActivePage(kInfoPage);
    const std::vector<std::string> shown = Rig::Texts(r.corruption().model);
    r.dialogs.pdf = r.dir.File("corruption.pdf");
    inspector::PrintChoice choice;
    choice.corruption = true;
    r.dialogs.commands.print = choice;
    r.window->printAction->trigger();
    std::vector<std::string> lines;
    const std::string text = PdfText(r.dialogs.pdf);
    for (size_t from = 0; from < text.size();) {
        size_t to = text.find('\n', from);
        if (to == std::string::npos) to = text.size();
        std::string line = text.substr(from, to - from);
        while (!line.empty() && (line.back() == ' ' || line.back() == '\f')) line.pop_back();
        const size_t start = line.find_first_not_of(" \f");
        if (start != std::string::npos) lines.push_back(line.substr(start));
        from = to + 1;
    }
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[0], "---- File: samples/damaged.qwd   Page: 1 ----");
    EXPECT_EQ(lines[1], std::string(61, '='));
    EXPECT_EQ(lines[2], "Corruption");
    EXPECT_EQ(lines[3], std::string(61, '='));
    EXPECT_EQ(lines.back(), "Document CORRUPT");
    // The page on screen keeps what it showed.
    EXPECT_EQ(Rig::Texts(r.corruption().model), shown);
}

TEST(GlimmetWindow, APrefixRowEditRefillsThePrefixPageAlone) {
    Rig r;
    const std::string path = r.Write("rows.qwd", inspector::testing::DumpRowsDoc(0));
    r.Start(path);
    r.sheet().SetActivePage(kInfoPage);
    const std::vector<std::string> findings = Rig::Texts(r.corruption().model);
    r.sheet().SetActivePage(kPrefixPage);
    inspector::CPrefixPage& p = r.prefix();
    ASSERT_TRUE(p.hexBox->isChecked());
    p.SelectItem(2);
    int row = -1;
    for (size_t i = 0; i < p.details.Size() && row < 0; ++i)
        if (p.details.FileOffset(i) == 16 + 2 * 14) row = static_cast<int>(i);
    ASSERT_GE(row, 0);
    r.dialogs.edit = [](const std::string& text) {
        auto e = inspector::HexRowEditState::FromRow(text);
        e->HexChar(0, 'A');
        e->HexChar(1, 'B');
        return e->RowText();
    };
    inspector::SelectListRow(p.detailList, row, false);
    p.DetailDoubleClicked(row);
    ASSERT_EQ(r.dialogs.edits, 1);
    EXPECT_EQ(testsupport::ReadFileBytes(path).at(16 + 2 * 14), 0xAB);
    // The Prefix page shows the new flags; the Corruption page keeps its findings.
    EXPECT_EQ(p.SelectedPacketRow(), 2);
    EXPECT_EQ(Rig::Texts(r.corruption().model), findings);
    // The next change of the document checks the edited file.
    r.sheet().RefreshAllPages(inspector::kUpdateDocument);
    EXPECT_NE(Rig::Texts(r.corruption().model), findings);
}

TEST(GlimmetWindow, PrintSetupShowsTheInertAndHexBoxesDisabledAndTakesNothing) {
    testsupport::ScopedContext ctx;
    inspector::CPrintSetupDialog d(inspector::InitialPrintChoice(kInfoPage, true, false, true), nullptr,
                                   inspector::PrintLayoutOf(GlimmetSheetProfile()));
    for (int id : {1017, 1043, 1044, 1008, 1009, 1040}) EXPECT_FALSE(d.Box(id)->isEnabled()) << id;
    for (int id : {1006, 1032, 1031, 1038, 1030, 1029, 1037, 1033, 1035, 1034, 1041})
        EXPECT_TRUE(d.Box(id)->isEnabled()) << id;
    EXPECT_EQ(d.pointSize->currentIndex(), 3);
    EXPECT_TRUE(d.Box(1033)->isChecked());
    EXPECT_TRUE(d.Box(1009)->isChecked());  // the Prefix page's hex flag
    d.Box(1033)->setChecked(false);
    d.accept();  // nothing chosen is no refusal here
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_TRUE(ctx.messages.boxes.empty());
    EXPECT_FALSE(d.choice.AnyPart());
}

TEST(GlimmetWindow, TheSalvinoWindowIsUnchangedBesideIt) {
    SettingsSandbox settings;
    testsupport::ScopedContext ctx;
    FakeDialogs dialogs;
    inspector::SheetWindow salvino(inspector::SalvinoSheetProfile(), &dialogs, &dialogs.commands);
    salvino.Start("");
    EXPECT_EQ(salvino.windowTitle(), QStringLiteral("Salvino"));
    EXPECT_EQ(salvino.tabs->count(), 2);
    EXPECT_NE(salvino.exitAction, nullptr);
    EXPECT_NE(salvino.extractAction, nullptr);
    EXPECT_TRUE(salvino.acceptDrops());
}

}  // namespace
}  // namespace legacy::testing

int main(int argc, char** argv) {
    // Test discovery runs this too, outside ctest's environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
