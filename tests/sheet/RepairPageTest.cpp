// The Repair page offscreen, in Salvino's window, driven through its real
// widgets; boxes and dialogs are recording doubles and fakes.
#include "sheet/RepairPage.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <fstream>
#include <sstream>

#include "engine/EngineContext.h"
#include "sheet/Hosts.h"
#include "sheet/Pages.h"
#include "sheet/SheetWindow.h"
#include "tests/sheet/FakeDialogs.h"
#include "tests/sheet/Fixtures.h"
#include "tests/support/Recording.h"

namespace inspector::testing {

namespace {

using engine::MsgAnswer;
using testsupport::ScopedContext;
using testsupport::ScopedTempDir;

struct RepairRig {
    SettingsSandbox settings;
    ScopedContext ctx;
    ScopedTempDir dir;
    FakeDialogs dialogs;
    std::unique_ptr<SheetWindow> window;

    RepairRig() { window = std::make_unique<SheetWindow>(SalvinoSheetProfile(), &dialogs, &dialogs.commands); }
    ~RepairRig() { window.reset(); }
    void Start(const std::string& pending = "") {
        window->show();
        window->Start(pending);
    }
    CTabSheet& sheet() { return window->sheet(); }
    CRepairPage& page() { return *window->repairPage(); }
    std::string Write(const std::string& name, const testsupport::DocBuilder& b) {
        return WriteDoc(dir, name, b, false);
    }
    std::vector<std::string> Log() {
        page().model.Flush();
        std::vector<std::string> out;
        for (const auto& l : page().model.Lines()) out.push_back(l.text);
        return out;
    }
    std::vector<std::string> Boxes() const {
        std::vector<std::string> out;
        for (const auto& b : ctx.messages.boxes) out.push_back(b.text);
        return out;
    }
    void PressRepair() { QTest::mouseClick(window->repairButton, Qt::LeftButton); }
    std::string NewFile() { return page().newFile->text().toStdString(); }
};

std::string FileLine(const std::string& path) {
    return "File: " + path + "  ----- Date: " + engine::Ctx().doc.dateText;
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

bool Contains(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

size_t CountOf(const std::vector<std::string>& lines, const std::string& prefix) {
    return static_cast<size_t>(std::count_if(lines.begin(), lines.end(),
                                             [&](const std::string& l) { return l.rfind(prefix, 0) == 0; }));
}

const char kHeader[] = "Processing : REPAIRING CORRUPTION : REMOVING UNDO INFORMATION ";

TEST(RepairPage, ButtonDefaultsSetTheChoicesAndClicksStoreThem) {
    RepairRig r;
    r.Start();
    CRepairPage& p = r.page();
    EXPECT_EQ(r.sheet().GetButtonDefaults() & 0xFF, 3u);
    EXPECT_TRUE(p.repairCorruption->isChecked());
    EXPECT_TRUE(p.removeUndo->isChecked());
    EXPECT_FALSE(p.removeStyles->isChecked());
    EXPECT_EQ(p.repairCorruption->text(), QStringLiteral("&Repair Corruption"));
    EXPECT_EQ(p.removeUndo->text(), QStringLiteral("Remove &UNDO information:"));
    EXPECT_EQ(p.removeStyles->text(), QStringLiteral("Remove Unused &Styles:"));

    p.removeStyles->click();
    EXPECT_TRUE(p.job.removeUnusedStyles);
    EXPECT_EQ(r.sheet().GetButtonDefaults() & 0xFF, 7u);
    // Only a click stores: a program's change of the box does not.
    p.repairCorruption->setChecked(false);
    EXPECT_EQ(r.sheet().GetButtonDefaults() & 0xFF, 7u);
    EXPECT_TRUE(p.job.repairCorruption);

    r.window->close();
    QSettings store = r.settings.Store();
    EXPECT_EQ(store.value("Settings/Button defaults").toString(), "7");  // Repair page last, in the top byte
}

TEST(RepairPage, TheWindowOpensOnItWithTheDocumentsNamesAndVerdict) {
    struct Case {
        const char* name;
        testsupport::DocBuilder doc;
        const char* verdict;
    };
    const Case cases[] = {{"sound.qwd", SoundDoc(), "No Corruption Found"},
                          {"damaged.qwd", DamagedDoc(), "Document CORRUPT"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RepairRig r;
        const std::string path = r.Write(c.name, c.doc);
        r.Start(path);
        EXPECT_EQ(r.window->tabs->currentIndex(), 0);
        EXPECT_EQ(r.sheet().ActivePage(), kRepairPage);
        EXPECT_EQ(r.Log(), (std::vector<std::string>{FileLine(path), c.verdict}));
        EXPECT_EQ(r.page().fileName->text().toStdString(), path);
        EXPECT_EQ(r.NewFile(), path);
        for (QWidget* w : std::initializer_list<QWidget*>{r.page().newFile, r.page().browseButton, r.page().printButton,
                                                          r.page().saveButton, r.page().repairCorruption,
                                                          r.page().removeUndo, r.page().removeStyles})
            EXPECT_TRUE(w->isEnabled());
        EXPECT_TRUE(r.page().RepairAvailable());
        EXPECT_TRUE(r.window->repairButton->isEnabled());
    }
}

TEST(RepairPage, NoDocumentAndAGraphicsFile) {
    RepairRig r;
    r.Start();
    EXPECT_EQ(r.Log(), std::vector<std::string>{"No File Opened!"});
    EXPECT_EQ(r.page().fileName->text(), QStringLiteral("No File Opened!"));
    EXPECT_TRUE(r.NewFile().empty());
    EXPECT_FALSE(r.page().newFile->isEnabled());
    EXPECT_FALSE(r.page().saveButton->isEnabled());
    EXPECT_TRUE(r.page().repairCorruption->isEnabled());
    EXPECT_FALSE(r.page().RepairAvailable());
    std::string name;
    EXPECT_TRUE(r.page().GetNewFileName(&name));

    const std::string path = r.Write("picture.qwg", GraphicsFile());
    r.sheet().LoadDocument(path, false);
    ASSERT_NE(r.sheet().Document(), nullptr);
    EXPECT_EQ(r.Log(), std::vector<std::string>{FileLine(path)});
    EXPECT_EQ(r.page().fileName->text().toStdString(), path);
    for (QWidget* w : std::initializer_list<QWidget*>{r.page().newFile, r.page().browseButton, r.page().printButton,
                                                      r.page().saveButton, r.page().repairCorruption,
                                                      r.page().removeUndo, r.page().removeStyles})
        EXPECT_FALSE(w->isEnabled());
    EXPECT_FALSE(r.page().RepairAvailable());
    EXPECT_FALSE(r.window->repairButton->isEnabled());

    r.sheet().UnloadDocument();  // on the Repair page: it follows
    EXPECT_EQ(r.Log(), std::vector<std::string>{"No File Opened!"});
    EXPECT_TRUE(r.page().repairCorruption->isEnabled());
}

TEST(RepairPage, NothingChosenGivesItsBoxAndNoRun) {
    RepairRig r;
    const std::string path = r.Write("damaged.qwd", DamagedDoc());
    r.Start(path);
    r.page().repairCorruption->click();
    r.page().removeUndo->click();
    r.page().newFile->setText(QString::fromStdString(r.dir.File("out.qwd")));
    r.PressRepair();
    EXPECT_EQ(r.Boxes(), std::vector<std::string>{
                             "Nothing Selected to repair.  Select the items to on the \"Repair Document\" tab."});
    EXPECT_EQ(CountOf(r.Log(), "Processing"), 0u);
    EXPECT_EQ(r.dir.Entries(), std::vector<std::string>{"damaged.qwd"});
}

TEST(RepairPage, ANewNameIsWrittenCheckedAndLoadedOnce) {
    RepairRig r;
    const std::string path = r.Write("damaged.qwd", DamagedDoc());
    const std::string original = ReadAll(path);
    r.Start(path);
    const std::string out = r.dir.File("fixed.qwd");
    r.page().newFile->setText(QString::fromStdString(out));
    const uint64_t before = r.sheet().DocumentGeneration();
    r.PressRepair();
    EXPECT_TRUE(r.Boxes().empty()) << r.Boxes().front();
    EXPECT_EQ(ReadAll(path), original);
    EXPECT_FALSE(ReadAll(out).empty());
    EXPECT_EQ(r.sheet().DocumentGeneration(), before + 2);  // one unload, one load
    EXPECT_EQ(engine::Ctx().sink.fileName, out);
    EXPECT_EQ(r.window->windowTitle(), QStringLiteral("fixed.qwd (Modified)  (QW 6.0 format) - Salvino"));
    const std::vector<std::string> log = r.Log();
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[0], FileLine(out));
    EXPECT_EQ(log[1], kHeader);
    // The names stay with the repaired document while its copy loads.
    EXPECT_EQ(r.page().fileName->text().toStdString(), path);
    EXPECT_EQ(r.NewFile(), out);
    EXPECT_TRUE(r.page().job.followDocument);
    EXPECT_EQ(r.dir.Entries(), (std::vector<std::string>{"damaged.qwd", "fixed.qwd"}));
}

TEST(RepairPage, TheDocumentsOwnNameAsksFirst) {
    struct Case {
        const char* name;
        std::vector<MsgAnswer> answers;
        bool replaced;
        bool canceledLine;
    };
    const Case cases[] = {
        {"Yes replaces it", {MsgAnswer::Yes}, true, false},
        {"No asks for another name, cancelled", {MsgAnswer::No}, false, false},
        {"Cancel", {MsgAnswer::Cancel}, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RepairRig r;
        const std::string path = r.Write("damaged.qwd", DamagedDoc());
        const std::string original = ReadAll(path);
        r.Start(path);
        r.ctx.messages.script.assign(c.answers.begin(), c.answers.end());
        r.PressRepair();
        ASSERT_FALSE(r.ctx.messages.boxes.empty());
        EXPECT_EQ(r.ctx.messages.boxes[0].text, path + " already exists.\nDo you want to replace it?");
        EXPECT_EQ(r.ctx.messages.boxes[0].caption, "Save As");
        EXPECT_EQ(r.ctx.messages.boxes[0].buttons, engine::MsgButtons::YesNoCancel);
        EXPECT_EQ(r.ctx.messages.boxes.size(), 1u);
        EXPECT_EQ(ReadAll(path) != original, c.replaced);
        EXPECT_EQ(r.dir.Entries(), std::vector<std::string>{"damaged.qwd"});  // no temporary file stays
        const std::vector<std::string> log = r.Log();
        EXPECT_EQ(Contains(log, "Repair Canceled!"), c.canceledLine);
        EXPECT_EQ(r.dialogs.proposals, c.answers[0] == MsgAnswer::No ? std::vector<std::string>{path}
                                                                       : std::vector<std::string>{});
        if (c.replaced) {
            EXPECT_EQ(engine::Ctx().sink.fileName, path);
            EXPECT_TRUE(Contains(log, kHeader));
            // The next run asks again: the answer was for that run only.
            const std::string repaired = ReadAll(path);
            r.ctx.messages.script = {MsgAnswer::Cancel};
            r.PressRepair();
            ASSERT_EQ(r.ctx.messages.boxes.size(), 2u);
            EXPECT_EQ(r.ctx.messages.boxes[1].text, r.ctx.messages.boxes[0].text);
            EXPECT_EQ(ReadAll(path), repaired);
        }
    }
}

TEST(RepairPage, SaveAsChoosesTheOutputAndShowsIt) {
    RepairRig r;
    const std::string path = r.Write("damaged.qwd", DamagedDoc());
    r.Start(path);
    r.ctx.messages.script = {MsgAnswer::No};
    r.dialogs.saveAs = r.dir.File("chosen.qwd");
    r.PressRepair();
    EXPECT_EQ(r.dialogs.proposals, std::vector<std::string>{path});
    EXPECT_FALSE(ReadAll(*r.dialogs.saveAs).empty());
    EXPECT_EQ(engine::Ctx().sink.fileName, *r.dialogs.saveAs);
    EXPECT_EQ(r.NewFile(), *r.dialogs.saveAs);
}

TEST(RepairPage, BatchProposal) {
    struct Case {
        const char* path;
        const char* proposed;
    };
    const Case cases[] = {
        {"/home/u/docs/a.qwd", "/home/u/docs/glimmet/a.qwd"},
        {"/a.qwd", "/glimmet/a.qwd"},
        {"a.qwd", "a.qwd"},
        {"dir/b c.qwd", "dir/glimmet/b c.qwd"},
    };
    for (const Case& c : cases) EXPECT_EQ(BatchOutputName(c.path), c.proposed) << c.path;

    RepairRig r;
    const std::string first = r.Write("first.qwd", SoundDoc());
    const std::string second = r.Write("second.qwd", DamagedDoc());
    r.Start(first);
    r.sheet().SetBatch(true);
    r.sheet().LoadDocument(second, false);
    EXPECT_EQ(r.NewFile(), r.dir.File("glimmet/second.qwd"));
    // A batch run keeps the log of the documents before.
    const std::vector<std::string> log = r.Log();
    EXPECT_EQ(CountOf(log, "File: "), 2u);
    EXPECT_EQ(log.back(), "Document CORRUPT");
    r.page().job.outputReplacesInput = true;
    r.sheet().LoadDocument(first, false);
    EXPECT_EQ(r.NewFile(), first);
    r.sheet().SetBatch(false);
}

TEST(RepairPage, BrowseTakesANameThatDoesNotExistYet) {
    RepairRig r;
    const std::string path = r.Write("sound.qwd", SoundDoc());
    r.Start(path);
    r.dialogs.browse = r.dir.File("not yet.qwd");
    QTest::mouseClick(r.page().browseButton, Qt::LeftButton);
    EXPECT_EQ(r.NewFile(), *r.dialogs.browse);
    r.dialogs.browse.reset();  // Cancel keeps the name
    QTest::mouseClick(r.page().browseButton, Qt::LeftButton);
    EXPECT_EQ(r.dialogs.browses, 2);
    EXPECT_EQ(r.NewFile(), r.dir.File("not yet.qwd"));
    r.page().SetNewFileName(r.dir.File("other.qwd"));
    std::string name;
    ASSERT_TRUE(r.page().GetNewFileName(&name));
    EXPECT_EQ(name, r.dir.File("other.qwd"));
}

TEST(RepairPage, TheQtBrowseDialogTakesANewNameUnderItsFilters) {
    SettingsSandbox sandbox;
    ScopedContext ctx;
    ScopedTempDir dir;
    QWidget owner;
    QtSheetDialogs dialogs(&owner);
    const std::string wanted = dir.File("new.qwd");
    QStringList filters;
    bool caseSensitive = true;
    QFileDialog::FileMode mode = QFileDialog::ExistingFile;
    QTimer::singleShot(0, [&] {
        auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(d, nullptr);
        filters = d->nameFilters();
        caseSensitive = (d->filter() & QDir::CaseSensitive) != 0;
        mode = d->fileMode();
        d->selectFile(QString::fromStdString(wanted));
        QMetaObject::invokeMethod(d, "accept");
    });
    EXPECT_EQ(dialogs.BrowseNewFileName(), wanted);
    EXPECT_EQ(filters, (QStringList{"Quillwright Files (*.qwd *.qwg)", "Quillwright Documents (*.qwd *.qwt *.qcm)",
                                    "All Files (*)"}));
    EXPECT_FALSE(caseSensitive);
    EXPECT_EQ(mode, QFileDialog::AnyFile);
}

TEST(RepairPage, SaveLogOfNoLines) {
    RepairRig r;
    const std::string path = r.Write("sound.qwd", SoundDoc());
    r.Start(path);
    r.page().model.Clear();
    r.dialogs.save = r.dir.File("log.txt");
    QTest::mouseClick(r.page().saveButton, Qt::LeftButton);
    EXPECT_EQ(ReadAll(*r.dialogs.save), "");
    EXPECT_EQ(r.Boxes(), std::vector<std::string>{"Finsihed writing to file " + *r.dialogs.save});
}

std::string Squeezed(const std::string& text) {
    std::string out;
    for (char c : text)
        if (c != ' ' || out.empty() || out.back() != ' ') out += c;
    return out;
}

TEST(RepairPage, PrintLogAndThePrintoutOfTheLog) {
    RepairRig r;
    // A path longer than any fixed line buffer.
    const std::string path = r.Write(std::string(150, 'n') + ".qwd", DamagedDoc());
    r.Start(path);
    const std::vector<std::string> log = r.Log();
    ASSERT_EQ(log.size(), 2u);

    r.dialogs.pdf = r.dir.File("log.pdf");
    QTest::mouseClick(r.page().printButton, Qt::LeftButton);
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QString::fromStdString(r.dialogs.pdf), QStringLiteral("-")});
    ASSERT_TRUE(p.waitForFinished(30000));
    const std::string text = Squeezed(p.readAllStandardOutput().toStdString());
    EXPECT_NE(text.find("Document CORRUPT"), std::string::npos) << text;
    EXPECT_NE(text.find("---- File: "), std::string::npos) << text;

    // The Print command's "Log File": every line whole, none into the log.
    r.ctx.StartPrinting(10, 1000, path);
    r.page().UpdatePage(kPrintDetail);
    std::vector<std::string> printed;
    for (const auto& d : r.ctx.printer->draws) printed.push_back(d.text);
    r.ctx.StopPrinting();
    ASSERT_EQ(printed.size(), 3u);
    EXPECT_EQ(printed[1], log[0]);
    EXPECT_EQ(printed[2], log[1]);
    EXPECT_EQ(r.Log(), log);
    // Flags without bit 1 change nothing.
    r.page().UpdatePage(kUpdateFont | kUpdateHex);
    r.page().UpdatePage(kPrintSummary);
    EXPECT_EQ(r.Log(), log);
}

bool LastRowShows(QListView* view, const TaggedListModel& model) {
    const QModelIndex last = model.index(static_cast<int>(model.Size()) - 1);
    return view->viewport()->rect().contains(view->visualRect(last));
}

TEST(RepairPage, BothListsShowTheirLastLines) {
    RepairRig r;
    const std::string path = r.Write("sound.qwd", SoundDoc());
    r.Start(path);
    r.window->resize(700, 500);
    QApplication::processEvents();
    for (int i = 0; i < 300; ++i) {
        r.page().model.Append("log " + std::to_string(i), 0);
        r.window->infoPage()->model.Append("finding " + std::to_string(i), 0);
    }
    r.page().model.Flush();
    r.window->infoPage()->model.Flush();
    EXPECT_FALSE(LastRowShows(r.page().list, r.page().model));
    r.page().ScrollLists();
    EXPECT_TRUE(LastRowShows(r.page().list, r.page().model));
    // The Information page's list is scrolled too, though its page is hidden.
    r.window->tabs->setCurrentIndex(1);
    QTest::qWait(50);
    EXPECT_TRUE(LastRowShows(r.window->infoPage()->list, r.window->infoPage()->model));
}

TEST(RepairPage, NothingElseRunsWhileARepairRuns) {
    RepairRig r;
    const std::string path = r.Write("damaged.qwd", DamagedDoc());
    const std::string original = ReadAll(path);
    const std::string other = r.Write("other.qwd", SoundDoc());
    r.Start(path);
    r.ctx.messages.script = {MsgAnswer::No};
    r.dialogs.commands.open = other;
    uint64_t generation = 0;
    bool runningSeen = false;
    r.dialogs.onSaveAs = [&] {
        runningSeen = r.page().Running();
        generation = r.sheet().DocumentGeneration();
        r.PressRepair();
        r.window->openAction->trigger();
        r.window->closeAction->trigger();
        EXPECT_EQ(r.page().RunRepair(), 0);
        EXPECT_EQ(r.sheet().DocumentGeneration(), generation);
    };
    r.PressRepair();  // No, then Save As cancelled
    EXPECT_TRUE(runningSeen);
    EXPECT_EQ(r.dialogs.proposals.size(), 1u);
    EXPECT_EQ(r.ctx.messages.boxes.size(), 1u);
    EXPECT_EQ(CountOf(r.Log(), "Processing"), 0u);
    EXPECT_EQ(ReadAll(path), original);
    EXPECT_FALSE(r.page().Running());
    EXPECT_EQ(engine::Ctx().sink.fileName, path);
    // Afterwards the commands work again.
    r.window->openAction->trigger();
    EXPECT_EQ(engine::Ctx().sink.fileName, other);
}

// The repair's two questions name No as their default: Enter replaces
// nothing. Escape on the own-name question is its Cancel.
TEST(RepairPage, TheQtBoxesOfTheRepairDefaultToNo) {
    SettingsSandbox sandbox;
    ScopedContext ctx;
    QWidget owner;
    QtMessageService boxes(&owner, "Salvino");
    struct Case {
        const char* text;
        const char* caption;
        engine::MsgButtons buttons;
        Qt::Key key;
        MsgAnswer answer;
    } cases[] = {
        {"a.qwd already exists.\nDo you want to replace it?", "Save As", engine::MsgButtons::YesNoCancel,
         Qt::Key_Return, MsgAnswer::No},
        {"a.qwd already exists.\nDo you want to replace it?", "Save As", engine::MsgButtons::YesNoCancel,
         Qt::Key_Escape, MsgAnswer::Cancel},
        {"File \"b.qwd\" exists.  Do you want to Replace it?", "", engine::MsgButtons::YesNo, Qt::Key_Return,
         MsgAnswer::No},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            defaultButton = box->standardButton(box->defaultButton());
            QTest::keyClick(box, c.key);
        });
        EXPECT_EQ(boxes.Show(c.text, c.caption, engine::MsgIcon::Question, c.buttons), c.answer);
        EXPECT_EQ(defaultButton, QMessageBox::No);
    }
}

}  // namespace
}  // namespace inspector::testing
