// The windows, offscreen, driven through their real widgets.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QThread>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTreeWidget>

#include "frontend/MendoraApp.h"
#include "tests/frontend/Doubles.h"

namespace frontend::testing {
namespace {

struct AppRig {
  Log log;
  FakeDialogs dialogs;
  FakeMessages messages{&log};
  FakePump pump{&log};
  FakeClock clock;
  FakeTimes times;
  FakeAutomation automation{&log};
  FakeLauncher launcher;
  FakeOpener opener;
  std::unique_ptr<MendoraApp> app;
  AppRig() {
    MediatorPorts o;
    o.dialogs = &dialogs;
    o.messages = &messages;
    o.pump = &pump;
    o.clock = &clock;
    o.fileTimes = &times;
    o.automation = &automation;
    o.launcher = &launcher;
    o.opener = &opener;
    app = std::make_unique<MendoraApp>("/opt/qw", o);
    app->Start();
  }
  Form2& f2() { return app->form2(); }
  std::vector<std::string> Rows() {
    f2().ListView1->sortItems(0, Qt::DescendingOrder);
    std::vector<std::string> rows;
    for (int i = 0; i < f2().ListView1->topLevelItemCount(); ++i)
      rows.push_back(f2().ListView1->topLevelItem(i)->text(0).toStdString());
    return rows;
  }
};

QStringList MenuTexts(QMenuBar* bar) {
  QStringList out;
  for (QAction* top : bar->actions()) {
    out << top->text();
    for (QAction* a : top->menu()->actions()) out << QStringLiteral("  ") + a->text();
  }
  return out;
}

TEST(Form2, StartUpState) {
  AppRig r;
  Form2& f = r.f2();
  EXPECT_EQ(f.windowTitle(), QStringLiteral("Quillwright Mendora"));
  EXPECT_TRUE(f.isVisible());
  EXPECT_TRUE(r.app->form3().isVisible());
  EXPECT_EQ(r.app->form3().windowTitle(), QStringLiteral("Quick Start"));
  EXPECT_EQ(f.cboDocTroubleshooting->currentText(), QStringLiteral("Analyze and repair document"));
  QStringList ops;
  for (int i = 0; i < f.cboDocTroubleshooting->count(); ++i) ops << f.cboDocTroubleshooting->itemText(i);
  EXPECT_EQ(ops, (QStringList{"Analyze and repair document", "Refresh document header", "Block Copy Paste", "Edit Styles"}));
  EXPECT_FALSE(f.frmCheckForCorruption->isVisible());
  EXPECT_FALSE(f.Next->isVisible());
  EXPECT_FALSE(f.bttnXInsert->isEnabled());
  EXPECT_TRUE(f.chkGlimmet->isChecked());
  EXPECT_FALSE(f.chkQW->isChecked());
  EXPECT_EQ(f.lblRefreshHeader->text(), QStringLiteral("Document not selected"));
  EXPECT_EQ(f.indicatorColour(), kColourGrey);
  EXPECT_EQ(f.ListView1->headerItem()->text(0), QStringLiteral("File Name:"));
  EXPECT_EQ(MenuTexts(f.menuBar()),
            (QStringList{"&File", "  Open", "  Close", "  Exit", "Tools", "  Batch", "  Analyze Document",
                         "  Open Glimmet", "Help", "  Online Help", "  Quick Start Guide",
                         "  Document Corruption Guide", "  About"}));
  // "Next" at once: the inspector starts without a document.
  f.Command2->click();
  ASSERT_EQ(r.launcher.starts.size(), 1u);
  EXPECT_EQ(r.launcher.starts[0].program, "/opt/qw/salvino");
  EXPECT_TRUE(r.launcher.starts[0].args.empty());
}

TEST(Form2, ComboPickShowsTheHeaderFrameTypingDoesNot) {
  AppRig r;
  Form2& f = r.f2();
  emit f.cboDocTroubleshooting->activated(1);
  EXPECT_TRUE(f.frmCheckForCorruption->isVisible());
  f.cboDocTroubleshooting->setEditText(QStringLiteral("Edit Styles"));
  EXPECT_TRUE(f.frmCheckForCorruption->isVisible());
  emit f.cboDocTroubleshooting->activated(2);
  EXPECT_FALSE(f.frmCheckForCorruption->isVisible());
  // Typed text in other letter case does nothing.
  f.cboDocTroubleshooting->setEditText(QStringLiteral("edit styles"));
  f.Command2->click();
  EXPECT_TRUE(r.log.empty());
  f.cboDocTroubleshooting->setEditText(QStringLiteral("Edit Styles"));
  f.Command2->click();
  ASSERT_FALSE(r.log.empty());
  EXPECT_EQ(r.log.front(), "create Quillwright.Quillscript");
}

TEST(Form2, BatchFillsTheSortedListAndClickSelects) {
  QTemporaryDir dir;
  for (const char* n : {"b.qwd", "a.qwd", "C.QWD", "x.txt"}) {
    QFile f(dir.filePath(QString::fromLatin1(n)));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  }
  AppRig r;
  const std::string d = dir.path().toStdString();
  r.times.dates[d + "/a.qwd"] = r.clock.today;
  r.dialogs.folder = d;
  r.app->form1().btnSource->click();
  EXPECT_EQ(r.app->form1().txtSrcFolder->text().toStdString(), d);
  ASSERT_EQ(r.app->form1().List1->count(), 3);
  EXPECT_EQ(r.app->form1().List1->item(0)->text(), QStringLiteral("a.qwd"));
  r.app->form1().show();
  r.app->form1().Command1->click();
  EXPECT_FALSE(r.app->form1().isVisible());
  EXPECT_EQ(r.Rows(), (std::vector<std::string>{d + "/C.QWD", d + "/b.qwd", d + "/a.qwd"}));
  EXPECT_EQ(r.app->mediator().GetSourceFile(), d + "/C.QWD");
  EXPECT_TRUE(r.f2().bttnXInsert->isEnabled());

  QTreeWidgetItem* a = r.f2().ListView1->topLevelItem(2);
  emit r.f2().ListView1->itemClicked(a, 0);
  EXPECT_EQ(r.app->mediator().GetSourceFile(), d + "/a.qwd");
  EXPECT_EQ(r.f2().lblRefreshHeader->text(), QStringLiteral("Document Header OK!"));
  EXPECT_EQ(r.f2().indicatorColour(), kColourGreen);

  emit r.f2().ListView1->itemDoubleClicked(a, 0);
  ASSERT_EQ(r.launcher.starts.size(), 1u);
  EXPECT_EQ(r.launcher.starts[0].args, std::vector<std::string>{d + "/a.qwd"});

  // File > Close empties the list but keeps the document and the indicator.
  r.f2().mnuClose->trigger();
  EXPECT_EQ(r.f2().ListView1->topLevelItemCount(), 0);
  EXPECT_FALSE(r.f2().bttnXInsert->isEnabled());
  EXPECT_EQ(r.app->mediator().GetSourceFile(), d + "/a.qwd");
  EXPECT_EQ(r.f2().lblRefreshHeader->text(), QStringLiteral("Document Header OK!"));
}

TEST(Form2, ListSortsDescendingCaseInsensitiveTiesByCodePoint) {
  AppRig r;
  for (const char* p : {"/d/a.qwd", "/d/B.qwd", "/d/A.qwd", "/d/c.qwd"}) r.f2().AddRow(p, p);
  EXPECT_EQ(r.Rows(), (std::vector<std::string>{"/d/c.qwd", "/d/B.qwd", "/d/a.qwd", "/d/A.qwd"}));
  EXPECT_EQ(r.f2().FirstRowText(), std::string("/d/c.qwd"));
}

TEST(Form3, ButtonsHideExceptViewGuide) {
  AppRig r;
  Form3& f = r.app->form3();
  f.Command1->click();
  EXPECT_TRUE(f.isVisible());
  EXPECT_EQ(r.opener.files, std::vector<std::string>{"/opt/qw/QuickStart.pdf"});
  r.dialogs.open = std::nullopt;
  f.btnSingle->click();
  EXPECT_FALSE(f.isVisible());
  EXPECT_FALSE(r.f2().bttnXInsert->isEnabled());  // Cancel in the Open dialog
  f.show();
  f.btnBatch->click();
  EXPECT_FALSE(f.isVisible());
  EXPECT_TRUE(r.app->form1().isVisible());
  f.show();
  f.btnCancel->click();
  EXPECT_FALSE(f.isVisible());
}

TEST(HelpMenu, GuidesOnlineHelpAndAbout) {
  AppRig r;
  r.f2().mnuQuickStartGuide->trigger();
  r.f2().mnuDocumentCorruptionGuide->trigger();
  EXPECT_EQ(r.opener.files, (std::vector<std::string>{"/opt/qw/QuickStart.pdf", "/opt/qw/DocCorrupt.pdf"}));
  r.opener.html = false;
  r.f2().mnuOHelp->trigger();
  ASSERT_EQ(r.messages.boxes.size(), 1u);
  EXPECT_EQ(r.messages.boxes[0].caption, "Browser Not Found");
  r.f2().mnuGlimmet->trigger();
  ASSERT_EQ(r.launcher.starts.size(), 1u);
  EXPECT_TRUE(r.launcher.starts[0].args.empty());

  r.f2().mnuAbout->trigger();
  frmAbout* about = r.app->about();
  ASSERT_NE(about, nullptr);
  EXPECT_TRUE(about->isVisible());
  EXPECT_EQ(about->windowTitle(), QStringLiteral("About Quillwright, Mendora"));
  EXPECT_EQ(about->lblTitle->text(), QStringLiteral("Quillwright, Mendora"));
  EXPECT_EQ(about->lblVersion->text(), QStringLiteral("Version 1.0.35"));
  about->cmdOK->click();
  EXPECT_FALSE(about->isVisible());
  r.f2().mnuAbout->trigger();
  ASSERT_NE(r.app->about(), nullptr);
  EXPECT_TRUE(r.app->about()->isVisible());
}

TEST(Guides, BuiltBesideThePrograms) {
  const QString bin = QStringLiteral(MENDORA_BIN_DIR);
  for (const char* name : {"QuickStart.pdf", "DocCorrupt.pdf"}) {
    QFile f(bin + QLatin1Char('/') + QString::fromLatin1(name));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << name;
    const QByteArray head = f.read(5);
    EXPECT_EQ(head, QByteArray("%PDF-")) << name;
    EXPECT_GT(f.size(), 2000) << name;
  }
}

TEST(Form2, ExitPathsEndTheProgram) {
  AppRig r;
  int exits = 0;
  r.f2().onExit = [&] { ++exits; };
  r.f2().btnExit->click();
  r.f2().mnuExit->trigger();
  r.f2().close();
  EXPECT_EQ(exits, 3);
}

TEST(ProgramLauncher, ArgumentsArriveWholeWithoutAShell) {
  QTemporaryDir dir;
  const QString script = dir.filePath(QStringLiteral("salvino"));
  const QString out = dir.filePath(QStringLiteral("args.txt"));
  {
    QFile f(script);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QStringLiteral("#!/bin/sh\nprintf '%s\\n' \"$#\" \"$@\" > '%1.tmp' && mv '%1.tmp' '%1'\n").arg(out).toUtf8());
    f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  }
  const std::string doc = "/docs/my report; $(touch pwned) 'q'.qwd";
  desktop::QtProgramLauncher launcher;
  ASSERT_TRUE(launcher.StartDetached(script.toStdString(), {doc}));
  QElapsedTimer t;
  t.start();
  while (!QFile::exists(out) && t.elapsed() < 10000) QThread::msleep(20);
  QFile f(out);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll().toStdString(), "1\n" + doc + "\n");
  EXPECT_FALSE(QFile::exists(QStringLiteral("pwned")));
}

TEST(Guard, AnEscapingErrorIsReported) {
  Log log;
  FakeMessages messages(&log);
  Guard(messages, [] { throw std::runtime_error("boom"); });
  ASSERT_EQ(messages.boxes.size(), 1u);
  EXPECT_EQ(messages.boxes[0].caption, "Quillwright, Mendora");
}

}  // namespace
}  // namespace frontend::testing

int main(int argc, char** argv) {
  // Test discovery runs this too, outside ctest's environment.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
