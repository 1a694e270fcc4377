// The main window's commands offscreen: the real window and pages, fake
// dialogs, a fake shell opener and a fake fetcher of the word processor's
// document; boxes and progress dialogs are recording doubles.
#include "sheet/Commands.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "engine/EngineContext.h"
#include "engine/Format.h"
#include "platform/desktop/Desktop.h"
#include "sheet/CodesPage.h"
#include "sheet/Fetch.h"
#include "sheet/Pages.h"
#include "sheet/RepairPage.h"
#include "sheet/SheetWindow.h"
#include "sheet/Text.h"
#include "tests/sheet/FakeDialogs.h"
#include "tests/sheet/Fixtures.h"
#include "tests/support/Recording.h"

namespace inspector::testing {

namespace {

using engine::MsgAnswer;
using testsupport::ScopedContext;
using testsupport::ScopedTempDir;

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteAll(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

bool Exists(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0;
}

class FakeOpener : public desktop::DesktopOpener {
public:
    bool OpenFile(const std::string& path) override {
        opened.push_back(path);
        return true;
    }
    bool OpenUrl(const std::string&) override { return false; }
    bool HasHtmlHandler() override { return true; }
    std::vector<std::string> opened;
};

// Copies `source` to the target as the word processor would, or fails.
class FakeFetcher : public sheet::DocumentFetcher {
public:
    bool SaveCurrentDocument(const std::string& path, const std::function<bool()>& keepWaiting) override {
        started.push_back(clock.elapsed());
        std::remove(path.c_str());
        if (during) during();
        const bool ok = succeed && keepWaiting();
        if (ok) WriteAll(path, ReadAll(source));
        ended.push_back(clock.elapsed());
        return ok;
    }
    std::string source;
    bool succeed = true;
    std::function<void()> during;
    QElapsedTimer clock;
    std::vector<qint64> started, ended;
};

struct CommandRig {
    SettingsSandbox settings;
    ScopedContext ctx;
    ScopedTempDir dir;
    FakeDialogs dialogs;
    FakeOpener opener;
    FakeFetcher fetcher;
    std::string programFolder;
    std::unique_ptr<SheetWindow> window;

    CommandRig() {
        engine::Ctx().sink.defaultList = nullptr;
        fetcher.clock.start();
        window = std::make_unique<SheetWindow>(SalvinoSheetProfile(), &dialogs, &dialogs.commands);
        CommandServices& s = window->commands().Services();
        s.opener = &opener;
        s.fetcher = &fetcher;
        s.fetchTarget = [this] { return dir.File("glimmet.qwd"); };
        s.programFolder = [this] { return programFolder; };
    }
    ~CommandRig() { window.reset(); }
    void Start(const std::string& pending = "") {
        window->show();
        window->Start(pending);
    }
    CTabSheet& sheet() { return window->sheet(); }
    Commands& commands() { return window->commands(); }
    FakeCommandDialogs& fake() { return dialogs.commands; }
    CRepairPage& repair() { return *window->repairPage(); }
    CCodesPage& codes() { return *static_cast<CCodesPage*>(window->page(kCodesPage)); }
    std::string Write(const std::string& name, const testsupport::DocBuilder& b) {
        return WriteDoc(dir, name, b, false);
    }
    std::vector<std::string> Boxes() const {
        std::vector<std::string> out;
        for (const auto& b : ctx.messages.boxes) out.push_back(b.text);
        return out;
    }
    std::vector<std::string> Info() {
        window->infoPage()->model.Flush();
        std::vector<std::string> out;
        for (const auto& l : window->infoPage()->model.Lines()) out.push_back(l.text);
        return out;
    }
};

testsupport::DocBuilder TextDoc(const std::string& text) {
    testsupport::DocBuilder b = SoundDoc();
    b.body.Code(0x0A).Text(text).Code(0x0A).Text("Tail 42!");
    return b;
}

// ---- Menu -----------------------------------------------------------------

struct Item {
    QString text;
    QKeySequence shortcut;
};

std::vector<Item> ItemsOf(QMenu* m) {
    std::vector<Item> out;
    for (QAction* a : m->actions()) out.push_back({a->isSeparator() ? QStringLiteral("-") : a->text(), a->shortcut()});
    return out;
}

TEST(Menu, TheTableWithMnemonicsAndTheOfferedExtras) {
    CommandRig r;
    r.Start();
    QStringList popups;
    for (QAction* a : r.window->menuBar()->actions()) popups << a->text();
    EXPECT_EQ(popups, (QStringList{"&File", "&Edit", "&Options", "&Help"}));
    struct Expect {
        QMenu* menu;
        std::vector<std::pair<const char*, QKeySequence>> items;
    };
    const Expect expect[] = {
        {r.window->fileMenu,
         {{"&Open...", {}},
          {"&Close", {}},
          {"&Print...", {}},
          {"Fetch &Document from Quillwright", QKeySequence(Qt::Key_F5)},
          {"&Auto Refresh", {}},
          {"-", {}},
          {"Exit", {}},
          {"-", {}}}},
        {r.window->editMenu,
         {{"&Find...", QKeySequence(Qt::CTRL | Qt::Key_F)},
          {"-", {}},
          {"&Scramble all text...", {}},
          {"-", {}},
          {"&Extract text from document...", {}}}},
        {r.window->optionsMenu, {{"&Font...", {}}}},
        {r.window->helpMenu, {{"&Help...", {}}, {"-", {}}, {"&File Format...", {}}, {"-", {}}, {"&About...", {}}}},
    };
    for (const Expect& e : expect) {
        const std::vector<Item> items = ItemsOf(e.menu);
        ASSERT_EQ(items.size(), e.items.size()) << e.menu->title().toStdString();
        for (size_t i = 0; i < items.size(); ++i) {
            EXPECT_EQ(items[i].text.toStdString(), e.items[i].first);
            EXPECT_EQ(items[i].shortcut, e.items[i].second) << e.items[i].first;
        }
    }
    EXPECT_TRUE(r.window->autoRefreshAction->isCheckable());
    EXPECT_EQ(r.window->helpRequest->shortcut(), QKeySequence(QKeySequence::HelpContents));
}

TEST(Menu, StatesFollowTheDocument) {
    CommandRig r;
    r.Start();
    auto states = [&] {
        return std::vector<bool>{r.window->closeAction->isEnabled(), r.window->printAction->isEnabled(),
                                 r.window->findAction->isEnabled(), r.window->scrambleAction->isEnabled(),
                                 r.window->extractAction->isEnabled()};
    };
    EXPECT_EQ(states(), (std::vector<bool>{false, false, false, false, false}));
    r.sheet().LoadDocument(r.Write("a.qwd", SoundDoc()), false);
    EXPECT_EQ(states(), (std::vector<bool>{true, true, true, true, true}));
    r.sheet().LoadDocument(r.Write("g.qwg", GraphicsFile()), false);
    EXPECT_EQ(states(), (std::vector<bool>{true, true, true, false, false}));
    r.window->closeAction->trigger();
    EXPECT_EQ(states(), (std::vector<bool>{false, false, false, false, false}));
    for (QAction* a : {r.window->openAction, r.window->fontAction, r.window->helpAction, r.window->aboutAction,
                       r.window->fileFormatAction, r.window->fetchAction, r.window->autoRefreshAction})
        EXPECT_TRUE(a->isEnabled()) << a->text().toStdString();
    r.window->helpRequest->trigger();
    r.window->helpAction->trigger();
    r.window->aboutAction->trigger();
    EXPECT_EQ(r.fake().helps, 2);
    EXPECT_EQ(r.fake().abouts, 1);
}

// ---- Open and recent files ------------------------------------------------

TEST(Open, OneFileLoadsTwoOpenTheBatchDialogAndTheTipUntilChecked) {
    CommandRig r;
    r.Start();
    const std::string a = r.Write("a.qwd", SoundDoc());
    const std::string b = r.Write("b.qwd", SoundDoc());
    r.fake().open = a;
    r.window->openAction->trigger();
    EXPECT_EQ(r.fake().tips, 1);
    EXPECT_EQ(r.fake().batches, 0);
    EXPECT_NE(r.sheet().Document(), nullptr);
    EXPECT_EQ(engine::Ctx().sink.fileName, a);

    r.fake().open.reset();
    r.fake().openMany = {a, b};
    r.fake().tipDontShow = true;
    r.window->openAction->trigger();  // the batch dialog is cancelled
    EXPECT_EQ(r.fake().tips, 2);
    EXPECT_EQ(r.fake().batches, 1);
    r.window->openAction->trigger();
    EXPECT_EQ(r.fake().tips, 2);  // not again
    EXPECT_EQ(r.fake().batches, 2);
    r.window->close();
    EXPECT_EQ(r.settings.Store().value("Settings/BatchAvailable").toString(), "1");
}

TEST(Open, RecentItemsAreAbsoluteAndOpenFromAnotherWorkingFolder) {
    CommandRig r;
    const std::string path = r.Write("a.qwd", SoundDoc());
    std::filesystem::create_directory(r.dir.File("docs"));
    const std::string link = r.dir.File("docs/link.qwd");
    ASSERT_EQ(symlink(path.c_str(), link.c_str()), 0);
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(r.dir.path());
    r.Start("./docs/../a.qwd");
    r.sheet().LoadDocument("docs/link.qwd", false);
    std::filesystem::current_path("/");
    EXPECT_EQ(r.sheet().Recent().Entries(), (std::vector<std::string>{link, path}));
    EXPECT_EQ(r.window->windowTitle(), "link.qwd (QW 6.0 format) - Salvino");
    EXPECT_EQ(engine::Ctx().sink.fileName, "docs/link.qwd");  // as given
    r.window->RebuildFileMenu();
    ASSERT_EQ(r.window->recentActions.size(), 2);
    r.window->recentActions[1]->trigger();
    EXPECT_NE(r.sheet().Document(), nullptr);
    EXPECT_EQ(engine::Ctx().sink.fileName, path);
    std::filesystem::current_path(before);
}

// ---- Find -----------------------------------------------------------------

TEST(Find, BoxesAndTheHitOnTheCodesPage) {
    CommandRig r;
    const std::string path = r.Write("t.qwd", TextDoc("Hello World"));
    r.Start(path);
    SearchChoice s;
    s.fromCurrent = false;

    s.text = "";
    r.fake().search = s;
    r.window->findAction->trigger();
    s.text = "absent";
    r.fake().search = s;
    r.window->findAction->trigger();
    EXPECT_EQ(r.Boxes(), (std::vector<std::string>{"No search string supplied", "absent Not found."}));
    EXPECT_EQ(r.ctx.messages.boxes[0].caption, "Error");
    EXPECT_EQ(r.ctx.messages.boxes[1].caption, "GLIMMET");
    EXPECT_EQ(r.fake().searchInitial.text, "");  // the text is kept: an empty one was the last

    // A hit from the simple view with the filter on: advanced, filter off,
    // the hit's row selected.
    r.codes().filterBox->click();
    ASSERT_TRUE(r.codes().FilterOn());
    s.text = "WORLD";
    r.fake().search = s;
    r.window->findAction->trigger();
    EXPECT_EQ(r.fake().searchInitial.text, "absent");
    EXPECT_TRUE(r.sheet().Advanced());
    EXPECT_EQ(r.sheet().ActivePage(), kCodesPage);
    EXPECT_FALSE(r.codes().FilterOn());
    EXPECT_FALSE(r.codes().filterBox->isChecked());
    const int row = r.codes().SelectedCodeRow();
    ASSERT_GE(row, 0);
    EXPECT_EQ(r.codes().codes.Text(static_cast<size_t>(row)), "Text:'World'");
    ASSERT_EQ(r.sheet().History().size(), 1u);
    EXPECT_EQ(r.sheet().History()[0].pageKind, static_cast<uint32_t>(kRepairPage));

    // Case sensitive: no hit; from the last row: not searched.
    s.caseSensitive = true;
    r.fake().search = s;
    r.window->findAction->trigger();
    EXPECT_EQ(r.Boxes().back(), "WORLD Not found.");
    r.codes().SelectItem(static_cast<uint32_t>(r.codes().RowCount() - 1));
    s.fromCurrent = true;
    s.caseSensitive = false;
    s.text = "hello";
    r.fake().search = s;
    r.window->findAction->trigger();
    EXPECT_EQ(r.Boxes().back(), "hello - not Found.  You may want to try a search from the top of the file");
    EXPECT_EQ(r.ctx.messages.boxes.back().caption, "GLIMMET");

    // A text longer than the engine's buffer: searched cut, reported whole.
    const std::string longText = "Tail" + std::string(300, 'q');
    r.fake().search = SearchChoice{false, longText, false};
    r.window->findAction->trigger();
    EXPECT_EQ(r.Boxes().back(), longText + " Not found.");
}

TEST(Find, TheEngineGetsTheFirst127SingleBytesOfWhatWasTyped) {
    CommandRig r;
    r.Start(r.Write("t.qwd", TextDoc("Hello World")));
    struct Call {
        uint32_t start;
        std::string text;
        bool caseSensitive;
    };
    std::vector<Call> calls;
    r.commands().Services().searchText = [&](engine::DocFile* f, uint32_t start, const std::string& text, bool cs) {
        EXPECT_EQ(f, r.sheet().Document());
        calls.push_back({start, text, cs});
        return 0;
    };
    // 120 ASCII letters, then seven characters of the code page that are not
    // ASCII (five of them outside Latin-1): single bytes 0x80 ... 0x99.
    const QString head = QStringLiteral("Qw").repeated(60);
    const QString high = QString::fromUtf8("\xE2\x82\xAC\xE2\x80\x9C\xE2\x80\x9D\xC3\x89\xC3\xA9\xE2\x80\x94\xE2\x84\xA2");
    const std::string highBytes = "\x80\x93\x94\xC9\xE9\x97\x99";
    // Past the cut: a letter the code page lacks, one beyond the 16-bit
    // range (a surrogate pair), and more letters, 200 characters in all.
    const QString omega = QString::fromUtf8("\xCE\xA9");
    const QString smiley = QString::fromUtf8("\xF0\x9F\x98\x80");
    const QString tail = omega + smiley + QStringLiteral("Zy").repeated(35) + QStringLiteral("x");
    const QString typed = head + high + tail;
    ASSERT_EQ(typed.toUcs4().size(), 200);
    std::string lowered = head.toLower().toStdString();

    struct Case {
        const char* what;
        QString typed;
        bool caseSensitive;
        std::optional<std::string> engine;  // none: the engine is not asked
    };
    const Case cases[] = {
        {"folded, cut before the missing letter", typed, false, lowered + highBytes},
        {"as typed", typed, true, head.toStdString() + highBytes},
        {"a missing letter at the last kept byte", head + high.left(6) + tail, false, std::nullopt},
        {"a pair early on", QStringLiteral("Qw") + smiley + head, true, std::nullopt},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        calls.clear();
        // Typed into the real dialog, then searched.
        CSearchDialog d(SearchChoice{}, "Search");
        d.top->click();
        if (k.caseSensitive) d.caseBox->click();
        d.text->setText(k.typed);
        d.ok->click();
        ASSERT_EQ(d.result(), QDialog::Accepted);
        r.fake().search = d.choice;
        r.window->findAction->trigger();
        if (k.engine) {
            ASSERT_EQ(calls.size(), 1u);
            EXPECT_EQ(calls[0].text, *k.engine);
            EXPECT_EQ(calls[0].text.size(), kSearchTextBytes);
            EXPECT_EQ(calls[0].start, 0u);
            EXPECT_EQ(calls[0].caseSensitive, k.caseSensitive);
        } else {
            EXPECT_TRUE(calls.empty());
        }
        // Reported whole, '?' where the code page has no byte.
        std::string shown;
        for (char32_t c : k.typed.toUcs4()) {
            const std::optional<uint8_t> b = c < 0x10000 ? EncodeCp1252(QChar(static_cast<char16_t>(c))) : std::nullopt;
            shown += b ? static_cast<char>(*b) : '?';
        }
        EXPECT_EQ(r.Boxes().back(), shown + " Not found.");
    }
    // The next Find offers the text as it was typed, none of it lost.
    r.fake().search.reset();
    r.window->findAction->trigger();
    EXPECT_EQ(QString::fromStdString(r.fake().searchInitial.text), cases[3].typed);
}

// ---- Scramble and Extract -------------------------------------------------

TEST(Scramble, RefusesTheOriginalByFileAndRestoresTheOptions) {
    CommandRig r;
    const std::string path = r.Write("s.qwd", TextDoc("Hello World"));
    const std::string original = ReadAll(path);
    r.Start(path);
    r.repair().removeStyles->click();  // options 1, 2, 4 all on
    r.fake().output = path;             // proposed: the Repair page's New File, the document
    r.fake().retry = r.dir.File("s.XXX");
    r.fake().browsed = "./" + std::filesystem::relative(path, std::filesystem::current_path()).string();
    r.window->scrambleAction->trigger();
    ASSERT_EQ(r.fake().proposed, std::vector<std::string>{path});
    EXPECT_EQ(r.fake().browseAccepted, false);
    EXPECT_EQ(r.Boxes(), (std::vector<std::string>{"Can not use the original file.",
                                                   "Can not use the original file.  All contents will be destroyed!"}));
    EXPECT_EQ(ReadAll(path), original);
    const std::string out = ReadAll(r.dir.File("s.XXX"));
    ASSERT_EQ(out.size(), original.size());
    EXPECT_EQ(out.find("Hello World"), std::string::npos);
    EXPECT_NE(out.find("Zzzzz Zzzzz"), std::string::npos);
    EXPECT_NE(out.find("Zzzz ZZ!"), std::string::npos);
    EXPECT_TRUE(r.repair().job.repairCorruption && r.repair().job.removeUndo && r.repair().job.removeUnusedStyles);
    EXPECT_TRUE(r.repair().repairCorruption->isChecked() && r.repair().removeStyles->isChecked());
    EXPECT_FALSE(r.repair().job.scramble);

    // Without the Repair page's edit text, the proposal is the document's
    // name with ".XXX".
    r.fake().output.reset();
    r.repair().newFile->clear();
    r.window->scrambleAction->trigger();
    EXPECT_EQ(r.fake().proposed.back(), "");
}

TEST(ScrambleAndExtract, EveryRefusalOfAnOutputNameWithItsTextAndCaption) {
    CommandRig r;
    const std::string path = r.Write("s.qwd", TextDoc("Hello World"));
    const std::string original = ReadAll(path);
    ASSERT_EQ(symlink(path.c_str(), r.dir.File("sym.qwd").c_str()), 0);
    ASSERT_EQ(link(path.c_str(), r.dir.File("hard.qwd").c_str()), 0);
    WriteAll(r.dir.File("other.qwd"), "other");
    WriteAll(r.dir.File("readonly.qwd"), "read only");
    ASSERT_EQ(chmod(r.dir.File("readonly.qwd").c_str(), 0444), 0);
    r.Start(path);
    const std::string same = "Can not use the original file.";
    const std::string destroyed = "Can not use the original file.  All contents will be destroyed!";
    const std::string noWrite = "File cannot be open with Write Access.";
    struct Case {
        const char* name;
        bool browsed;       // by Browse, else typed and OK
        const char* box;    // empty: accepted
    };
    std::vector<Case> cases = {
        {"s.qwd", true, same.c_str()},          {"sym.qwd", true, same.c_str()},
        {"hard.qwd", true, same.c_str()},       {"missing.qwd", true, noWrite.c_str()},
        {"other.qwd", true, ""},                {"s.qwd", false, destroyed.c_str()},
        {"sym.qwd", false, destroyed.c_str()},  {"hard.qwd", false, destroyed.c_str()},
    };
    if (geteuid() != 0) cases.push_back({"readonly.qwd", true, noWrite.c_str()});  // root writes anyway
    for (QAction* action : {r.window->scrambleAction, r.window->extractAction}) {
        for (const Case& k : cases) {
            SCOPED_TRACE(action->text().toStdString() + " " + k.name + (k.browsed ? " browsed" : " typed"));
            r.ctx.messages.boxes.clear();
            r.fake().browsed.reset();
            r.fake().output.reset();
            r.fake().retry.reset();
            r.fake().browseAccepted.reset();
            (k.browsed ? r.fake().browsed : r.fake().output) = r.dir.File(k.name);
            action->trigger();
            if (*k.box) {
                ASSERT_EQ(r.Boxes(), std::vector<std::string>{k.box});
                EXPECT_EQ(r.ctx.messages.boxes[0].caption, "Salvino");
            } else {
                EXPECT_TRUE(r.Boxes().empty());
            }
            if (k.browsed) {
                EXPECT_EQ(r.fake().browseAccepted, !*k.box);
            }
        }
    }
    EXPECT_EQ(ReadAll(path), original);
    EXPECT_EQ(ReadAll(r.dir.File("other.qwd")), "other");
}

TEST(Extract, WritesTheTextAndSaysSoOnlyWhenWritten) {
    CommandRig r;
    const std::string path = r.Write("e.qwd", TextDoc("Hello World"));
    r.Start(path);
    r.fake().output = r.dir.File("e.txt");
    r.window->extractAction->trigger();
    EXPECT_EQ(r.fake().proposed.back(), r.dir.File("e.txt"));
    EXPECT_NE(ReadAll(r.dir.File("e.txt")).find("Hello\r\nWorld\r\n"), std::string::npos);
    ASSERT_FALSE(r.ctx.messages.boxes.empty());
    EXPECT_EQ(r.Boxes().back(), "Finished Extracting text.  New file will not be opened in GLIMMET.");
    EXPECT_EQ(r.ctx.messages.boxes.back().caption, "Glimmet");
    EXPECT_FALSE(r.repair().job.extract);

    // A folder cannot be written: no "Finished" box.
    const size_t before = r.Boxes().size();
    std::filesystem::create_directory(r.dir.File("d.txt"));
    r.fake().output = r.dir.File("d.txt");
    r.ctx.messages.fallback = testsupport::RecordingMessages::Default::Yes;
    r.window->extractAction->trigger();
    for (size_t i = before; i < r.Boxes().size(); ++i)
        EXPECT_NE(r.Boxes()[i], "Finished Extracting text.  New file will not be opened in GLIMMET.");
}

TEST(Extract, FromARefusalsYesReadsTheRefusedFile) {
    CommandRig r;
    r.Start();
    testsupport::DocBuilder b = TextDoc("Rescued words");
    std::string bytes(reinterpret_cast<const char*>(b.Build().data()), b.Build().size());
    bytes[1] = 'X';  // no signature
    const std::string refused = r.dir.File("bad.qwd");
    WriteAll(refused, bytes);
    r.fake().output = r.dir.File("bad.txt");
    r.ctx.messages.script = {MsgAnswer::Yes};
    r.sheet().LoadDocument(refused, false);
    ASSERT_EQ(r.fake().proposed, std::vector<std::string>{".txt"});  // nothing loaded
    EXPECT_EQ(r.sheet().LastFailedPath(), refused);
    EXPECT_NE(ReadAll(r.dir.File("bad.txt")).find("Rescued\r\nwords\r\n"), std::string::npos);
    EXPECT_EQ(r.Boxes().back(), "Finished Extracting text.  New file will not be opened in GLIMMET.");
    // The refused file itself is refused as output.
    r.fake().output = refused;
    r.fake().retry.reset();
    r.ctx.messages.script = {MsgAnswer::Yes};
    r.sheet().LoadDocument(refused, false);
    EXPECT_EQ(r.Boxes().back(), "Can not use the original file.  All contents will be destroyed!");
    EXPECT_EQ(ReadAll(refused), bytes);
}

// ---- Help, File Format, Font ----------------------------------------------

TEST(FileFormat, OpensThePageBesideTheProgramOrSaysWhy) {
    CommandRig r;
    r.Start();
    r.window->fileFormatAction->trigger();
    r.programFolder = r.dir.path();
    r.window->fileFormatAction->trigger();
    WriteAll(r.dir.File("A_frntff.htm"), "<html></html>");
    r.window->fileFormatAction->trigger();
    EXPECT_EQ(r.Boxes(), (std::vector<std::string>{"Problem getting path to GLIMMET.EXE",
                                                   "Could not find file : " + r.dir.File("A_frntff.htm")}));
    for (const auto& b : r.ctx.messages.boxes) EXPECT_EQ(b.caption, "Error");
    EXPECT_EQ(r.opener.opened, std::vector<std::string>{r.dir.File("A_frntff.htm")});
}

TEST(FileFormat, TheShippedPageIsBesideTheProgram) {
    const std::string page = std::string(SALVINO_BIN_DIR) + "/A_frntff.htm";
    const std::string text = ReadAll(page);
    EXPECT_NE(text.find("File header"), std::string::npos);
    EXPECT_NE(text.find("0xD0-0xEF"), std::string::npos);
}

TEST(Font, SavedAtOnceAndAppliedToTheLists) {
    CommandRig r;
    r.Start();
    LogFont f;
    f.height = -15;
    f.weight = 700;
    f.italic = 1;
    f.faceName = "DejaVu Sans Mono";
    r.fake().font = f;
    r.window->fontAction->trigger();
    EXPECT_FALSE(r.fake().fontInitial.has_value());
    QSettings store = r.settings.Store();
    EXPECT_EQ(store.value("Settings/Font").toString(), "-15,0,0,0,700,1,0,0,0,0,0,0,0");
    EXPECT_EQ(store.value("Settings/FaceName").toString(), "DejaVu Sans Mono");
    EXPECT_EQ(r.window->infoPage()->list->font().pixelSize(), 15);
    EXPECT_TRUE(r.window->infoPage()->list->font().italic());
    r.fake().font.reset();
    r.window->fontAction->trigger();  // Cancel keeps it
    EXPECT_EQ(r.fake().fontInitial, f);
    EXPECT_EQ(r.sheet().Settings().listFont, f);
}

// ---- Print ----------------------------------------------------------------

std::string PdfText(const std::string& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), QString::fromStdString(pdf), QStringLiteral("-")});
    p.waitForFinished(30000);
    return p.readAllStandardOutput().toStdString();
}

TEST(Print, ChosenPartsInOrderToAPdf) {
    CommandRig r;
    const std::string path = r.Write("p.qwd", DamagedDoc());
    r.Start(path);
    r.dialogs.pdf = r.dir.File("out.pdf");
    PrintChoice c;
    c.corruption = true;
    c.log = true;
    r.fake().print = c;
    r.window->printAction->trigger();
    EXPECT_TRUE(r.fake().printInitial.log);  // the Repair page is active
    const std::string text = PdfText(r.dialogs.pdf);
    EXPECT_NE(text.find("---- File: " + path + "   Page: 1 ----"), std::string::npos) << text;
    const size_t log = text.find("No Corruption Found") != std::string::npos ? 0 : text.find("Document CORRUPT");
    const size_t corruption = text.find("Corruption", text.find("Page: 1") + 10);
    EXPECT_NE(log, std::string::npos);
    EXPECT_NE(corruption, std::string::npos);
    EXPECT_EQ(r.fake().printPointSize, 9);
    EXPECT_EQ(engine::Ctx().sink.printer, nullptr);

    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {QString::fromStdString(r.dialogs.pdf)});
    info.waitForFinished(30000);
    EXPECT_NE(info.readAllStandardOutput().toStdString().find("Glimmet"), std::string::npos);

    // Cancel before the first part aborts the job.
    r.dialogs.pdf = r.dir.File("cancelled.pdf");
    r.ctx.progress.cancelAfterSteps = 0;
    r.window->printAction->trigger();
    EXPECT_EQ(engine::Ctx().sink.printer, nullptr);
    EXPECT_EQ(PdfText(r.dialogs.pdf).find("Corruption"), std::string::npos);
    r.ctx.progress.cancelAfterSteps = -1;

    // An unwritable PDF: the box, and the sink holds no printer.
    r.dialogs.pdf = r.dir.File("no/such/folder/out.pdf");
    r.window->printAction->trigger();
    EXPECT_EQ(r.Boxes().back(), "Could not print to " + r.dialogs.pdf + ".");
    EXPECT_EQ(r.ctx.messages.boxes.back().caption, "Salvino");
    EXPECT_EQ(engine::Ctx().sink.printer, nullptr);
}

TEST(Print, EveryPartInTheOrderOfTheMenuWithTheHexFlagsRestored) {
    CommandRig r;
    const std::string path = r.Write("p.qwd", DamagedDoc());
    r.Start(path);
    r.sheet().ToggleAdvanced();
    for (int page : {kPrefixPage, kCodesPage, kSubDocPage}) ASSERT_TRUE(r.sheet().PageAt(page)->HasWindow()) << page;
    CommandPages& pages = *r.commands().Services().pages;
    pages.SetPageHex(kCodesPage, true);
    const bool prefixHex = pages.PageHex(kPrefixPage);
    r.sheet().SetActivePage(kCodesPage);
    r.codes().SelectItem(1);
    r.dialogs.pdf = r.dir.File("all.pdf");
    PrintChoice c;
    for (bool PrintChoice::*m : {&PrintChoice::log, &PrintChoice::corruption, &PrintChoice::format,
                                 &PrintChoice::prefixSummary, &PrintChoice::prefixSelected, &PrintChoice::prefixAll,
                                 &PrintChoice::codesSummary, &PrintChoice::codesSelected, &PrintChoice::codesAll,
                                 &PrintChoice::subSummary, &PrintChoice::subSelected})
        c.*m = true;
    c.pointSize = 6;
    r.fake().print = c;
    r.window->printAction->trigger();
    EXPECT_TRUE(r.fake().printInitial.codesHex);
    EXPECT_TRUE(r.fake().printInitial.codesSelected && r.fake().printInitial.codesSummary);
    EXPECT_EQ(r.fake().printPointSize, 6);
    EXPECT_TRUE(r.Boxes().empty());
    EXPECT_TRUE(pages.PageHex(kCodesPage));  // the job's hex choice was the page's only meanwhile
    EXPECT_EQ(pages.PageHex(kPrefixPage), prefixHex);
    EXPECT_EQ(engine::Ctx().sink.printer, nullptr);

    r.repair().model.Flush();
    ASSERT_GT(r.repair().model.Size(), 0u);
    const std::string logHead = r.repair().model.Text(0);
    const std::string text = PdfText(r.dialogs.pdf);
    // Prefix prints the selected packet when both are chosen; the code
    // groups every code when both are; the Sub Document its selected one.
    const std::vector<std::string> order = {
        "---- File: " + path + "   Page: 1 ----",
        logHead.substr(0, logHead.find("  ")),  // the log's first line (the PDF's text joins its blanks)
        "Corruption",
        "File Header Display",
        "Summary List of Prefix Packets",
        "Prefix Packet",  // selected, or none selected
        "Summary List of QW Codes/QWG Records",
        "COMPLETE list of QW Codes/QWG Records",
        "Summary List of QW Codes/QWG Records",
        "QW Code/QWG Record",
    };
    size_t at = 0;
    for (const std::string& marker : order) {
        const size_t found = text.find(marker, at);
        ASSERT_NE(found, std::string::npos) << marker << " after " << at << " in\n" << text;
        at = found + marker.size();
    }
    EXPECT_EQ(text.find("All Detailed Prefix Packets Display"), std::string::npos);
    EXPECT_EQ(text.find("COMPLETE list of QW Codes/QWG Records", at), std::string::npos);
    EXPECT_EQ(text.find("Selected QW Code/QWG Record Display"), text.rfind("Selected QW Code/QWG Record Display"));
}

// ---- Fetch, auto-refresh and the busy guard -------------------------------

TEST(Fetch, LoadsTheNewCopyOrUnloadsAndSaysWhy) {
    CommandRig r;
    const std::string before = r.Write("before.qwd", SoundDoc());
    r.fetcher.source = r.Write("current.qwd", DamagedDoc());
    r.Start(before);
    r.window->fetchAction->trigger();
    EXPECT_NE(r.sheet().Document(), nullptr);
    EXPECT_EQ(engine::Ctx().sink.fileName, r.dir.File("glimmet.qwd"));
    EXPECT_TRUE(r.Boxes().empty());

    r.fetcher.succeed = false;
    r.window->fetchAction->trigger();
    EXPECT_EQ(r.sheet().Document(), nullptr);
    EXPECT_EQ(r.Boxes(), std::vector<std::string>{"Unable to establish a DDE connection with Quillwright"});
    EXPECT_EQ(r.ctx.messages.boxes[0].caption, "Salvino");

    // No private folder: refused without asking the word processor.
    r.window->commands().Services().fetchTarget = [] { return std::string(); };
    r.fetcher.succeed = true;
    r.window->fetchAction->trigger();
    EXPECT_EQ(r.fetcher.started.size(), 2u);
    EXPECT_EQ(r.Boxes().size(), 2u);
}

TEST(AutoRefresh, IntervalsInMilliseconds) {
    EXPECT_EQ(Commands::IntervalMs(0), 0);
    EXPECT_EQ(Commands::IntervalMs(60), 60000);
    EXPECT_EQ(Commands::IntervalMs(2147483), 2147483000);
    EXPECT_EQ(Commands::IntervalMs(2147484), INT_MAX);
    EXPECT_EQ(Commands::IntervalMs(0xFFFFFFFF), INT_MAX);
}

TEST(AutoRefresh, FetchesAtOnceThenAfterEachIntervalAndStopsOnTheToggle) {
    CommandRig r;
    r.fetcher.source = r.Write("current.qwd", SoundDoc());
    r.Start();
    r.sheet().Settings().updateInterval = 1;
    r.window->autoRefreshAction->trigger();
    EXPECT_TRUE(r.sheet().AutoRefresh());
    EXPECT_TRUE(r.window->autoRefreshAction->isChecked());
    ASSERT_EQ(r.fetcher.started.size(), 1u);
    QTest::qWait(2600);
    ASSERT_GE(r.fetcher.started.size(), 3u);
    for (size_t i = 1; i < r.fetcher.started.size(); ++i)
        EXPECT_GE(r.fetcher.started[i] - r.fetcher.ended[i - 1], 990) << i;
    r.window->autoRefreshAction->trigger();
    EXPECT_FALSE(r.sheet().AutoRefresh());
    EXPECT_FALSE(r.window->autoRefreshAction->isChecked());
    const size_t n = r.fetcher.started.size();
    QTest::qWait(1300);
    EXPECT_EQ(r.fetcher.started.size(), n);
}

TEST(AutoRefresh, AFailedTickWaitsFiveSecondsWhateverTheInterval) {
    CommandRig r;
    r.Start();
    r.sheet().Settings().updateInterval = 0;
    r.fetcher.succeed = false;
    r.window->autoRefreshAction->trigger();
    ASSERT_EQ(r.fetcher.started.size(), 1u);
    EXPECT_EQ(r.commands().UpdateTimer().interval(), Commands::kRetryAfterFailureMs);
    EXPECT_TRUE(r.commands().UpdateTimer().isActive());
    QTest::qWait(300);
    EXPECT_EQ(r.fetcher.started.size(), 1u);
    r.window->autoRefreshAction->trigger();
    EXPECT_FALSE(r.commands().UpdateTimer().isActive());
}

TEST(BusyGuard, TicksDuringAnOperationRunAsOneFetchWhenItEnds) {
    CommandRig r;
    r.fetcher.source = r.Write("current.qwd", SoundDoc());
    r.Start();
    r.sheet().Settings().updateInterval = 0;
    r.window->autoRefreshAction->trigger();
    ASSERT_EQ(r.fetcher.started.size(), 1u);
    // A long operation that runs events for 400 ms, as a dialog or a check does.
    size_t seenDuring = 0;
    qint64 closed = 0;
    const size_t atStart = r.fetcher.started.size();
    auto slow = [&] {
        QTest::qWait(400);
        seenDuring = r.fetcher.started.size() - atStart;
        closed = r.fetcher.clock.elapsed();
    };
    r.window->commands().Repair(slow);  // any guarded operation
    EXPECT_EQ(seenDuring, 0u);
    QTest::qWait(150);
    ASSERT_GT(r.fetcher.started.size(), atStart);
    EXPECT_LE(r.fetcher.started[atStart] - closed, 100);
    r.window->autoRefreshAction->trigger();
}

TEST(BusyGuard, AModalDialogOfAnyPagePostponesTheTicks) {
    CommandRig r;
    r.fetcher.source = r.Write("current.qwd", SoundDoc());
    r.Start();
    r.sheet().Settings().updateInterval = 0;
    QDialog modal(r.window.get());
    modal.setModal(true);
    modal.show();
    r.window->commands().ToggleAutoRefresh();  // the user's toggle, before the dialog came up
    EXPECT_TRUE(r.fetcher.started.empty());     // refused while a dialog is up
    modal.hide();
    r.window->commands().ToggleAutoRefresh();
    ASSERT_EQ(r.fetcher.started.size(), 1u);
    modal.show();
    QTest::qWait(300);
    EXPECT_EQ(r.fetcher.started.size(), 1u);
    const qint64 closed = r.fetcher.clock.elapsed();
    modal.hide();
    QTest::qWait(150);
    ASSERT_GE(r.fetcher.started.size(), 2u);
    EXPECT_LE(r.fetcher.started[1] - closed, 100);
    r.window->commands().ToggleAutoRefresh();
}

TEST(BusyGuard, NoSecondCommandAndNoUnloadDuringAnOperation) {
    CommandRig r;
    const std::string path = r.Write("a.qwd", SoundDoc());
    r.Start(path);
    r.fake().open = r.Write("b.qwd", SoundDoc());
    r.window->commands().Repair([&] {
        r.window->closeAction->trigger();
        r.window->openAction->trigger();
        r.window->fetchAction->trigger();
        r.window->commands().ToggleAutoRefresh();
        r.window->DropUrls({QUrl::fromLocalFile(QString::fromStdString(*r.fake().open))});
    });
    EXPECT_NE(r.sheet().Document(), nullptr);
    EXPECT_EQ(engine::Ctx().sink.fileName, path);
    EXPECT_EQ(r.fake().opens, 0);
    EXPECT_TRUE(r.fetcher.started.empty());
    EXPECT_FALSE(r.sheet().AutoRefresh());
}

// ---- Batch ----------------------------------------------------------------

struct BatchFolder {
    std::vector<std::string> paths;
    std::vector<std::string> originals;
    std::vector<int> kinds;  // 0 sound, 1 damaged, 2 refused
};

BatchFolder MakeBatch(CommandRig& r, int count) {
    BatchFolder f;
    std::filesystem::create_directory(r.dir.File("in"));
    for (int i = 0; i < count; ++i) {
        const int kind = i % 3;
        const std::string path = r.dir.File(engine::Format("in/doc%03d.qwd", i));
        if (kind == 2) {
            WriteAll(path, "not a document " + std::to_string(i));
        } else {
            testsupport::DocBuilder b = kind == 0 ? SoundDoc() : DamagedDoc();
            b.body.Text("File " + std::to_string(i));
            EXPECT_TRUE(b.WriteFile(path));
        }
        f.paths.push_back(path);
        f.originals.push_back(ReadAll(path));
        f.kinds.push_back(kind);
    }
    return f;
}

BatchChoice Choice(bool list, bool repair, bool replace) {
    BatchChoice c;
    c.listCorruption = list;
    c.repairCorruption = repair;
    c.replace = replace;
    return c;
}

void ExpectOriginals(const BatchFolder& f) {
    for (size_t i = 0; i < f.paths.size(); ++i) EXPECT_EQ(ReadAll(f.paths[i]), f.originals[i]) << f.paths[i];
}

TEST(Batch, TwoHundredDocumentsIntoGlimmet) {
    CommandRig r;
    r.Start();
    const BatchFolder f = MakeBatch(r, 200);
    r.fake().openMany = f.paths;
    r.fake().batch = Choice(true, true, false);
    r.window->openAction->trigger();
    EXPECT_TRUE(r.Boxes().empty());
    ExpectOriginals(f);
    const std::vector<std::string> info = r.Info();
    for (size_t i = 0; i < f.paths.size(); ++i) {
        const std::string copy = r.dir.File("in/glimmet/" + FileNameOf(f.paths[i]));
        EXPECT_EQ(Exists(copy), f.kinds[i] != 2) << copy;
        if (f.kinds[i] == 2) continue;
        const std::string heading = "File: " + f.paths[i] + "  ----- Date: ";
        EXPECT_TRUE(std::any_of(info.begin(), info.end(), [&](const std::string& l) { return l.rfind(heading, 0) == 0; }))
            << heading;
    }
    EXPECT_EQ(r.sheet().Document(), nullptr);
    EXPECT_FALSE(r.sheet().Batch());
    EXPECT_TRUE(r.repair().job.followDocument);
    EXPECT_FALSE(r.repair().job.outputReplacesInput);
    EXPECT_FALSE(Exists(r.dir.File("No File Opened!")));
    EXPECT_FALSE(Exists(r.dir.File("in/No File Opened!")));
}

TEST(Batch, ListOnlyMakesNoFolderAndEndsOnTheInformationPage) {
    CommandRig r;
    r.Start();
    const BatchFolder f = MakeBatch(r, 6);
    r.fake().openMany = f.paths;
    r.fake().batch = Choice(true, false, false);
    r.window->openAction->trigger();
    EXPECT_FALSE(Exists(r.dir.File("in/glimmet")));
    EXPECT_EQ(r.sheet().ActivePage(), kInfoPage);
    EXPECT_TRUE(r.Boxes().empty());
    ExpectOriginals(f);
}

TEST(Batch, CancelAfterNFilesLeavesNCopies) {
    CommandRig r;
    r.Start();
    const BatchFolder f = MakeBatch(r, 9);
    r.ctx.progress.cancelAfterSteps = 4;
    r.window->commands().RunBatch(f.paths, Choice(false, true, false));
    int copies = 0;
    for (const std::string& p : f.paths) copies += Exists(r.dir.File("in/glimmet/" + FileNameOf(p))) ? 1 : 0;
    EXPECT_EQ(copies, 3);  // files 0, 1 and 3 of the first four (2 is refused)
    EXPECT_FALSE(Exists(r.dir.File("in/glimmet/doc004.qwd")));
    EXPECT_FALSE(r.sheet().Batch());
}

TEST(Batch, ReplaceExistingFilesGoesThroughTheTemporaryFileAndTouchesNothingElse) {
    CommandRig r;
    const std::string earlier = r.Write("earlier.qwd", SoundDoc());
    const std::string earlierBytes = ReadAll(earlier);
    r.Start(earlier);
    const BatchFolder f = MakeBatch(r, 6);
    std::vector<ino_t> inodes;
    for (const std::string& p : f.paths) {
        struct stat st {};
        stat(p.c_str(), &st);
        inodes.push_back(st.st_ino);
    }
    r.window->commands().RunBatch(f.paths, Choice(false, true, true));
    EXPECT_TRUE(r.Boxes().empty());
    EXPECT_FALSE(Exists(r.dir.File("in/glimmet")));
    EXPECT_EQ(ReadAll(earlier), earlierBytes);
    for (size_t i = 0; i < f.paths.size(); ++i) {
        struct stat st {};
        stat(f.paths[i].c_str(), &st);
        if (f.kinds[i] == 2) {
            EXPECT_EQ(ReadAll(f.paths[i]), f.originals[i]);
            EXPECT_EQ(st.st_ino, inodes[i]);
        } else {
            EXPECT_NE(st.st_ino, inodes[i]) << f.paths[i];  // renamed over
        }
    }
    size_t entries = 0;
    for (auto it = std::filesystem::directory_iterator(r.dir.File("in")); it != std::filesystem::directory_iterator();
         ++it)
        ++entries;
    EXPECT_EQ(entries, f.paths.size());  // no temporary file left, nothing else made
    EXPECT_FALSE(Exists(r.dir.File("No File Opened!")));
}

TEST(Batch, APlainFileNamedGlimmetStopsTheRun) {
    CommandRig r;
    r.Start();
    const BatchFolder f = MakeBatch(r, 3);
    WriteAll(r.dir.File("in/glimmet"), "plain");
    r.window->commands().RunBatch(f.paths, Choice(true, true, false));
    EXPECT_EQ(r.Boxes(), std::vector<std::string>{"Cannot create DIRECTORY " + r.dir.File("in/glimmet") + "."});
    EXPECT_EQ(r.ctx.messages.boxes[0].caption, "Salvino");
    EXPECT_EQ(ReadAll(r.dir.File("in/glimmet")), "plain");
    ExpectOriginals(f);
    EXPECT_FALSE(r.sheet().Batch());
}

TEST(Batch, AFailedRepairLeavesItsOriginal) {
    CommandRig r;
    r.Start();
    const BatchFolder f = MakeBatch(r, 2);
    std::filesystem::create_directory(r.dir.File("in/glimmet"));
    std::filesystem::create_directory(r.dir.File("in/glimmet/doc000.qwd"));  // the copy cannot be written
    r.window->commands().RunBatch(f.paths, Choice(false, true, false));
    ExpectOriginals(f);
    EXPECT_TRUE(Exists(r.dir.File("in/glimmet/doc001.qwd")));
}

}  // namespace

}  // namespace inspector::testing
