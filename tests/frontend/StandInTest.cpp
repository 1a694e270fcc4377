// The repair sequences against the stand-in Quillwright, across the process
// boundary, on the private session bus of dbus-run-session.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include "platform/bus/BusAutomation.h"
#include "tests/frontend/Doubles.h"
#include "tests/frontend/Sequences.h"

namespace frontend::testing {
namespace {

const std::string kPath = "/docs/my report.qwd";

bool ServiceUp() {
  auto* iface = QDBusConnection::sessionBus().interface();
  return iface && iface->isServiceRegistered(QStringLiteral("Quillwright.Quillscript")).value();
}

void WaitUntilGone() {
  QElapsedTimer t;
  t.start();
  while (ServiceUp() && t.elapsed() < 5000) QThread::msleep(10);
}

// One stand-in server for one case; it is stopped when the case ends.
class StandIn {
 public:
  explicit StandIn(QStringList options) {
    log_ = dir_.filePath(QStringLiteral("calls.log"));
    proc_.setProgram(QStringLiteral(STANDIN_PATH));
    proc_.setArguments(QStringList{QStringLiteral("--log"), log_} + options);
    proc_.start();
    ready_ = proc_.waitForStarted(5000) && proc_.waitForReadyRead(5000) && proc_.readAllStandardOutput().startsWith("ready");
  }
  ~StandIn() {
    proc_.kill();
    proc_.waitForFinished(5000);
    WaitUntilGone();
  }
  bool ready() const { return ready_; }
  std::vector<std::string> Calls() const {
    std::vector<std::string> calls;
    QFile f(log_);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) return calls;
    for (const QByteArray& line : f.readAll().split('\n'))
      if (!line.isEmpty()) calls.push_back(line.toStdString());
    return calls;
  }

 private:
  QTemporaryDir dir_;
  QString log_;
  QProcess proc_;
  bool ready_ = false;
};

struct BusRig {
  bus::BusAutomationFactory factory;
  Rig rig{nullptr, &factory};
  BusRig() { rig.mediator->SetSourceFile(kPath); }
  std::vector<std::string> Boxes() const {
    std::vector<std::string> out;
    for (const auto& b : rig.messages.boxes) out.push_back(b.text);
    return out;
  }
};

std::string CommandName(const std::string& entry) {
  std::string n = entry.rfind("get ", 0) == 0 ? entry.substr(4) : entry;
  return n.substr(0, n.find(' '));
}

TEST(StandInSequences, SuccessRecordsEveryCommandInOrder) {
  {
    StandIn server({});
    ASSERT_TRUE(server.ready());
    BusRig r;
    r.rig.mediator->XInsert();
    EXPECT_EQ(server.Calls(), ServerSide(XInsertSuccess(kPath)));
    EXPECT_EQ(r.Boxes(), std::vector<std::string>{"XInsert completed. Please save document"});
    EXPECT_EQ(r.rig.pump.passes, 33);
  }
  {
    StandIn server({});
    ASSERT_TRUE(server.ready());
    BusRig r;
    r.rig.mediator->BlockCutPaste();
    EXPECT_EQ(server.Calls(), ServerSide(BlockCutPasteSuccess(kPath)));
    EXPECT_EQ(r.Boxes(), std::vector<std::string>{"BlockCutPaste complete. Please save document"});
  }
  {
    StandIn server({});
    ASSERT_TRUE(server.ready());
    BusRig r;
    EXPECT_TRUE(r.rig.mediator->RemoveDelayCode());
    EXPECT_EQ(server.Calls(), ServerSide(RemoveDelayCodeSuccess(kPath)));
    EXPECT_TRUE(r.Boxes().empty());
  }
}

TEST(StandInSequences, EachFailureRegionShowsItsMessage) {
  const auto xinsert = ServerSide(XInsertSuccess(kPath));
  for (const auto& failing : xinsert) {
    StandIn server({QStringLiteral("--fail"), QString::fromStdString(CommandName(failing))});
    ASSERT_TRUE(server.ready());
    BusRig r;
    r.rig.mediator->XInsert();
    EXPECT_EQ(server.Calls(), UpTo(xinsert, failing)) << failing;
    if (failing == "FileSaveAsDlg")
      EXPECT_EQ(r.Boxes(), std::vector<std::string>{"XInsert completed. Please save document"});
    else
      EXPECT_EQ(r.Boxes().back(), "XInsert failed") << failing;
  }
  const auto blockCut = ServerSide(BlockCutPasteSuccess(kPath));
  for (const auto& failing : blockCut) {
    StandIn server({QStringLiteral("--fail"), QString::fromStdString(CommandName(failing))});
    ASSERT_TRUE(server.ready());
    BusRig r;
    r.rig.mediator->BlockCutPaste();
    EXPECT_EQ(server.Calls(), UpTo(blockCut, failing)) << failing;
    EXPECT_EQ(r.Boxes().back(), "BlockCutPaste failed") << failing;
  }
  for (const char* failing : {"FileOpen", "QWActivate", "Styleslistdlg"}) {
    StandIn server({QStringLiteral("--fail"), QString::fromLatin1(failing)});
    ASSERT_TRUE(server.ready());
    BusRig r;
    EXPECT_FALSE(r.rig.mediator->RemoveDelayCode());
    EXPECT_EQ(r.Boxes(), std::vector<std::string>{"Error editing Styles"});
    EXPECT_EQ(r.rig.log.back(), "bring-forward");
  }
}

TEST(StandInSequences, BlankDocumentAnswers) {
  struct Row {
    const char* answer;
    bool blank;
  } rows[] = {{"true", true}, {"-1", true}, {"false", false}, {"0", false}, {"1", false}};
  for (const auto& row : rows) {
    StandIn server({QStringLiteral("--blank"), QString::fromLatin1(row.answer)});
    ASSERT_TRUE(server.ready());
    BusRig r;
    r.rig.mediator->BlockCutPaste();
    if (row.blank) {
      EXPECT_EQ(server.Calls(), (std::vector<std::string>{"FileOpen s:" + kPath, "get envDocBlank"})) << row.answer;
      EXPECT_EQ(r.Boxes(), std::vector<std::string>{"Document appears to be blank!"});
    } else {
      EXPECT_EQ(server.Calls(), ServerSide(BlockCutPasteSuccess(kPath))) << row.answer;
    }
  }
}

TEST(StandInSequences, ViewDocInQuillwright) {
  {
    StandIn server({});
    ASSERT_TRUE(server.ready());
    BusRig r;
    r.rig.main.quillwright = true;
    r.rig.mediator->ViewDoc();
    EXPECT_EQ(server.Calls(), (std::vector<std::string>{"AppRestore", "FileOpen s:" + kPath}));
    EXPECT_TRUE(r.Boxes().empty());
    EXPECT_TRUE(r.rig.launcher.starts.empty());
  }
  {
    StandIn server({QStringLiteral("--fail"), QStringLiteral("FileOpen")});
    ASSERT_TRUE(server.ready());
    BusRig r;
    r.rig.main.quillwright = true;
    r.rig.mediator->ViewDoc();
    EXPECT_EQ(r.Boxes(), std::vector<std::string>{"The document could not be opened in Quillwright."});
  }
}

TEST(StandInSequences, NoServerIsServerUnavailable) {
  ASSERT_FALSE(ServiceUp());
  bus::BusAutomationFactory factory;
  EXPECT_THROW(factory.Create("Quillwright.Quillscript"), bus::AutomationError);
  BusRig r;
  r.rig.mediator->XInsert();
  r.rig.mediator->BlockCutPaste();
  EXPECT_FALSE(r.rig.mediator->RemoveDelayCode());
  EXPECT_EQ(r.Boxes(), (std::vector<std::string>{"XInsert failed", "BlockCutPaste failed", "Error editing Styles"}));
}

TEST(BusNaming, ProgIdRule) {
  const auto a = bus::AddressForProgId("Quillwright.Quillscript");
  EXPECT_EQ(a.service, QStringLiteral("Quillwright.Quillscript"));
  EXPECT_EQ(a.interface, QStringLiteral("Quillwright.Quillscript"));
  EXPECT_EQ(a.path, QStringLiteral("/Quillwright/Quillscript"));
}

}  // namespace
}  // namespace frontend::testing

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
