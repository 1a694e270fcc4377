// The commands' dialogs offscreen, never run modally: built, clicked and
// accepted through their real controls; their boxes go to the recording
// message service.
#include "sheet/Dialogs.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "sheet/Commands.h"
#include "sheet/SheetProfile.h"
#include "tests/support/CompoundBuilder.h"
#include "tests/support/Recording.h"

namespace inspector::testing {

namespace {

using testsupport::ScopedContext;

template <typename T>
T* Child(QWidget* d, const char* name) {
    T* w = d->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

std::vector<std::string> Boxes(const ScopedContext& c) {
    std::vector<std::string> out;
    for (const auto& b : c.messages.boxes) out.push_back(b.text);
    return out;
}

QStringList Labels(QWidget* d) {
    QStringList out;
    for (QLabel* l : d->findChildren<QLabel*>())
        if (!l->text().isEmpty()) out << l->text();
    return out;
}

TEST(BatchTipDialog, TextsAndTheCheckBox) {
    CBatchTipDialog d;
    EXPECT_EQ(d.windowTitle(), "For your information");
    QCheckBox* box = Child<QCheckBox>(&d, "chk1084");
    EXPECT_EQ(box->text(), "Don't show me this message again!");
    EXPECT_FALSE(box->isChecked());
    EXPECT_TRUE(Labels(&d).contains(
        "To do this, select your first document, then use SHIFT click to select a range of files, of use CTRL "
        "click to add (or remove) individual files to the list."));
    box->setChecked(true);  // from code: not the user's choice
    EXPECT_FALSE(d.dontShowAgain);
    box->click();
    box->click();
    EXPECT_TRUE(d.dontShowAgain == box->isChecked());
}

TEST(BatchDialog, InitialStateAndTheLocationFollowingTheRepairChoices) {
    ScopedContext c;
    CBatchDialog d;
    EXPECT_EQ(d.windowTitle(), "Batch process Quillwright documents");
    auto* list = Child<QCheckBox>(&d, "chk1085");
    auto* repair = Child<QCheckBox>(&d, "chk1086");
    auto* undo = Child<QCheckBox>(&d, "chk1087");
    auto* styles = Child<QCheckBox>(&d, "chk1088");
    auto* replace = Child<QRadioButton>(&d, "rad1114");
    auto* copy = Child<QRadioButton>(&d, "rad1115");
    auto* warning = Child<QLabel>(&d, "txt1116");
    EXPECT_EQ(list->text(), "List all corruption errors in the documents");
    EXPECT_EQ(styles->text(), "Remove Unused Styles  (WARNING, don't do this on templates)");
    EXPECT_EQ(copy->text(), "Copy and process files to subdirectory \"QW_FIXED\"");
    EXPECT_EQ(replace->text(), "Replace existing files!");
    EXPECT_TRUE(list->isChecked());
    EXPECT_FALSE(repair->isChecked() || undo->isChecked() || styles->isChecked());
    EXPECT_TRUE(copy->isChecked());
    for (QWidget* w : std::initializer_list<QWidget*>{replace, copy, warning}) EXPECT_FALSE(w->isEnabled());

    for (QCheckBox* b : {repair, undo, styles}) {
        b->click();
        EXPECT_TRUE(replace->isEnabled() && copy->isEnabled() && warning->isEnabled());
        b->click();
        EXPECT_FALSE(replace->isEnabled() || copy->isEnabled() || warning->isEnabled());
    }
}

TEST(BatchDialog, OkRefusesNothingToDoAndReadsReplaceOnlyWithARepair) {
    ScopedContext c;
    {
        CBatchDialog d;
        Child<QCheckBox>(&d, "chk1085")->click();
        d.ok->click();
        EXPECT_EQ(d.result(), QDialog::Rejected);
        EXPECT_EQ(Boxes(c), std::vector<std::string>{
                                "Nothing to do.  Must select either List Corruption and/or Repair Corruption"});
        EXPECT_EQ(c.messages.boxes[0].caption, "Salvino");  // the program's name
    }
    {
        CBatchDialog d;
        d.replace->setChecked(true);
        d.ok->click();
        EXPECT_EQ(d.result(), QDialog::Accepted);
        EXPECT_FALSE(d.choice.replace);  // no repair: nothing replaced
        EXPECT_TRUE(d.choice.listCorruption);
    }
    {
        CBatchDialog d;
        d.removeUndo->click();
        d.replace->click();
        d.ok->click();
        EXPECT_EQ(d.result(), QDialog::Accepted);
        EXPECT_TRUE(d.choice.replace);
        EXPECT_TRUE(d.choice.removeUndo);
        EXPECT_FALSE(d.choice.repairCorruption);
    }
}

TEST(PrintSetupDialog, PreselectionByTheActivePage) {
    struct Case {
        int page;
        std::vector<int> on;
    };
    const Case cases[] = {{kRepairPage, {1036}},        {kInfoPage, {1033}},         {kFormatPage, {1006}},
                          {kPrefixPage, {1031, 1032}},  {kCodesPage, {1029, 1030}}, {kFilterPage, {}},
                          {kSubDocPage, {1034, 1035}}};
    for (const Case& k : cases) {
        SCOPED_TRACE(k.page);
        CPrintSetupDialog d(InitialPrintChoice(k.page, true, false, true));
        EXPECT_EQ(d.windowTitle(), "Print Setup");
        EXPECT_EQ(d.boxes.size(), 15u);
        for (const auto& [id, box] : d.boxes) {
            const bool hex = id == 1009 || id == 1092 || id == 1040;
            const bool expected = hex ? (id != 1092) : std::find(k.on.begin(), k.on.end(), id) != k.on.end();
            EXPECT_EQ(box->isChecked(), expected) << id;
            EXPECT_EQ(box->objectName(), QStringLiteral("chk%1").arg(id));
        }
        EXPECT_EQ(d.pointSize->objectName(), "cmb1047");
        EXPECT_EQ(d.pointSize->currentText(), "9");
        EXPECT_EQ(d.pointSize->count(), 7);
        EXPECT_EQ(d.ok->text(), "Print");
    }
}

TEST(PrintSetupDialog, ExclusionRules) {
    CPrintSetupDialog d(PrintChoice{});
    struct Case {
        int clicked, other;
        bool clears;
    };
    const Case cases[] = {{1029, 1037, true}, {1037, 1029, true}, {1034, 1041, true},
                          {1041, 1034, true}, {1038, 1031, true}, {1031, 1038, false}};
    for (const Case& k : cases) {
        SCOPED_TRACE(k.clicked);
        d.Box(k.clicked)->setChecked(false);
        d.Box(k.other)->setChecked(true);
        d.Box(k.clicked)->click();
        EXPECT_TRUE(d.Box(k.clicked)->isChecked());
        EXPECT_EQ(d.Box(k.other)->isChecked(), !k.clears);
        // A click that clears the box touches nothing else.
        d.Box(k.other)->setChecked(true);
        d.Box(k.clicked)->click();
        EXPECT_TRUE(d.Box(k.other)->isChecked());
    }
}

TEST(PrintSetupDialog, TypedSizesAndNothingSelected) {
    ScopedContext c;
    struct Case {
        const char* typed;
        bool leave;  // the box is left before OK
        int size;
        const char* shown;
    };
    const Case cases[] = {{"3", true, 3, "3"},   {"30", true, 9, "9"},  {"30", false, 9, "30"},
                          {"24", true, 24, "24"}, {"1", true, 9, "9"},   {"abc", false, 9, "abc"},
                          {"12", false, 12, "12"}};
    for (const Case& k : cases) {
        SCOPED_TRACE(k.typed);
        CPrintSetupDialog d(InitialPrintChoice(kInfoPage, false, false, false));
        d.show();
        d.pointSize->setFocus();
        d.pointSize->lineEdit()->setText(QString::fromLatin1(k.typed));
        if (k.leave) {
            QFocusEvent out(QEvent::FocusOut);
            QApplication::sendEvent(d.pointSize->lineEdit(), &out);
        }
        EXPECT_EQ(d.pointSize->currentText().toStdString(), k.shown);
        d.ok->click();
        EXPECT_EQ(d.result(), QDialog::Accepted);
        EXPECT_EQ(d.choice.pointSize, k.size);
    }
    CPrintSetupDialog d(InitialPrintChoice(kFilterPage, true, true, true));
    d.pointSize->setCurrentIndex(0);
    d.ok->click();
    EXPECT_EQ(d.result(), QDialog::Rejected);
    EXPECT_EQ(Boxes(c), std::vector<std::string>{"Nothing selected to print.  Please select something."});
    EXPECT_EQ(c.messages.boxes[0].caption, "Salvino");
    d.Box(1035)->click();
    d.ok->click();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(d.choice.pointSize, 6);
    EXPECT_TRUE(d.choice.subSummary);
    EXPECT_TRUE(d.choice.prefixHex);
}

TEST(SearchDialog, InitialStateAndTheFromCurrentFlag) {
    SearchChoice last;
    last.text = "caf\xC3\xA9";
    last.fromCurrent = false;
    CSearchDialog d(last, "Search");
    EXPECT_EQ(d.windowTitle(), "Search");
    EXPECT_TRUE(Child<QRadioButton>(&d, "rad1053")->isChecked());
    EXPECT_FALSE(Child<QRadioButton>(&d, "rad1054")->isChecked());
    EXPECT_FALSE(Child<QCheckBox>(&d, "chk1055")->isChecked());
    EXPECT_EQ(Child<QLineEdit>(&d, "edt1056")->text(), QString::fromUtf8("caf\xC3\xA9"));
    EXPECT_TRUE(d.choice.fromCurrent);
    d.top->click();
    EXPECT_FALSE(d.choice.fromCurrent);
    d.current->click();
    EXPECT_TRUE(d.choice.fromCurrent);
    d.caseBox->click();
    d.text->setText(QString::fromUtf8("Gr\xC3\xBC\xC3\x9F"));
    d.ok->click();
    EXPECT_EQ(d.choice.text, "Gr\xC3\xBC\xC3\x9F");  // as typed; the command makes the single bytes
    EXPECT_TRUE(d.choice.caseSensitive);
}

TEST(OutputDialogs, TextsIdsAndTheChecksOfBrowseAndOk) {
    struct Case {
        COutputDialog::Kind kind;
        const char* title;
        const char* edit;
        const char* ok;
        const char* browse;
    };
    const Case cases[] = {{COutputDialog::Kind::Scramble, "Scramble", "edt1106", "Remove sensitive data!", "Browse..."},
                          {COutputDialog::Kind::Extract, "Extract Text", "edt1091", "Extract Text", "Browse ..."}};
    for (const Case& k : cases) {
        SCOPED_TRACE(k.title);
        std::vector<std::pair<std::string, bool>> checked;
        bool allow = false;
        COutputDialog d(k.kind, "/d/a.XXX", [&](const std::string& n, bool browsed) {
            checked.emplace_back(n, browsed);
            return allow;
        });
        EXPECT_EQ(d.windowTitle(), k.title);
        EXPECT_EQ(Child<QLineEdit>(&d, k.edit)->text(), "/d/a.XXX");
        EXPECT_EQ(Child<QPushButton>(&d, "btn1066")->text(), k.browse);
        EXPECT_EQ(d.ok->text(), k.ok);
        d.browse = [] { return std::optional<std::string>("/d/b.qwd"); };
        d.browseButton->click();
        EXPECT_EQ(d.name->text(), "/d/a.XXX");  // refused
        allow = true;
        d.browseButton->click();
        EXPECT_EQ(d.name->text(), "/d/b.qwd");
        allow = false;
        d.ok->click();
        EXPECT_EQ(d.result(), QDialog::Rejected);
        allow = true;
        d.ok->click();
        EXPECT_EQ(d.result(), QDialog::Accepted);
        EXPECT_EQ(d.outputName, "/d/b.qwd");
        EXPECT_EQ(checked, (std::vector<std::pair<std::string, bool>>{
                               {"/d/b.qwd", true}, {"/d/b.qwd", true}, {"/d/b.qwd", false}, {"/d/b.qwd", false}}));
    }
}

TEST(HelpAndAbout, Texts) {
    CHelpTipsDialog help(SalvinoSheetProfile());
    EXPECT_EQ(help.windowTitle(), "Help");
    const QStringList tips = Labels(&help);
    ASSERT_EQ(tips.size(), 6);
    EXPECT_EQ(tips[0], "SALVINO can read and display QW 6, QW 7 and QW 8 documents.  It can also read and display "
                       "QWG 2.x and QWG 3 image files.");
    EXPECT_EQ(tips[4], "3) On the Codes page, if you check \"Hex\", you can now double-click on the hex display and "
                       "EDIT the contents, but you cannot change the record length.");
    EXPECT_EQ(tips[5], "4) You can double-click the underlined  Prefix subdocuments and QWG images to display that "
                       "subdocument  or image in a new \"Codes\"  window.");
    CAboutDialog about(SalvinoSheetProfile());
    EXPECT_EQ(about.windowTitle(), "About SALVINO");
    EXPECT_EQ(Labels(&about), (QStringList{"QW Document Restore Utility", "Version 2.1"}));
}

TEST(CommandHelpers, ProposalsAndPointSizes) {
    EXPECT_EQ(ReplaceExtension("/d/my.docs/file", ".txt"), "/d/my.docs/file.txt");
    EXPECT_EQ(ReplaceExtension("/d/my.docs/file.qwd", ".XXX"), "/d/my.docs/file.XXX");
    EXPECT_EQ(ReplaceExtension("a.b.qwd", ".txt"), "a.b.txt");
    EXPECT_EQ(ReplaceExtension("", ".txt"), ".txt");
    EXPECT_EQ(PrintPointSize(0, ""), 6);
    EXPECT_EQ(PrintPointSize(-1, "2"), 2);
    EXPECT_EQ(PrintPointSize(-1, "25"), 9);
    EXPECT_EQ(PrintPointSize(-1, ""), 9);
}

}  // namespace

}  // namespace inspector::testing
