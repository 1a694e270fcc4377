// The macro-command conversation against the stand-in: which service answers,
// the execute request's bytes, and every way a request is refused.
#include <gtest/gtest.h>

#include <QElapsedTimer>

#include "platform/bus/BusMacros.h"
#include "tests/support/quillwright-standin/StandInProcess.h"

namespace {

using testsupport::StandInProcess;

QByteArray Logged(const char* busName, const QByteArray& command) {
  QByteArray bytes = command;
  bytes.replace('\0', QByteArray("\\0"));
  return QByteArray(busName) + " Execute ay:" + bytes;
}

TEST(BusMacros, NamesOfTheServicesAndTopics) {
  const bus::BusAddress v7 = bus::AddressForTopic("QWWin7_Macros", "QS7Commands");
  EXPECT_EQ(v7.service, "QWWin7_Macros.QS7Commands");
  EXPECT_EQ(v7.path, "/QWWin7_Macros/QS7Commands");
  EXPECT_EQ(v7.interface, "QWWin7_Macros.QS7Commands");
  const bus::BusAddress v6 = bus::AddressForTopic("QWWin60_Macros", "Commands");
  EXPECT_EQ(v6.service, "QWWin60_Macros.Commands");
  EXPECT_EQ(v6.path, "/QWWin60_Macros/Commands");
  EXPECT_EQ(std::string(bus::kQuillwrightMacroTopics[0].service), "QWWin7_Macros");
  EXPECT_EQ(std::string(bus::kQuillwrightMacroTopics[1].topic), "Commands");
}

TEST(BusMacros, FileSaveCommandKeepsThePathsBytes) {
  using namespace std::string_literals;
  struct Row {
    std::string path;
    QByteArray command;
  } rows[] = {
      {"/tmp/glimmet.qwd", QByteArray("FileSave(\"/tmp/glimmet.qwd\"; Overwrite: Yes!)\0", 46)},
      {"/a \"b\"/c.qwd", QByteArray("FileSave(\"/a \"b\"/c.qwd\"; Overwrite: Yes!)\0", 42)},
      {"/d/\xE9t\xC3\xA9.qwd", QByteArray("FileSave(\"/d/\xE9t\xC3\xA9.qwd\"; Overwrite: Yes!)\0", 41)},
      {"", QByteArray("FileSave(\"\"; Overwrite: Yes!)\0", 30)},
  };
  for (const Row& r : rows) EXPECT_EQ(bus::FileSaveCommand(r.path), r.command) << r.path;
  // No length limit: a path far past the old 520-byte buffer stays whole.
  const std::string longPath = "/" + std::string(2000, 'p') + ".qwd";
  const QByteArray c = bus::FileSaveCommand(longPath);
  EXPECT_EQ(c.size(), static_cast<qsizetype>(10 + longPath.size() + 19 + 1));
  EXPECT_TRUE(c.contains(QByteArray::fromStdString(longPath)));
  EXPECT_EQ(c.back(), '\0');
}

TEST(BusMacros, VersionSevenAnswersFirstAndSixOnlyWithoutIt) {
  const QByteArray command = bus::FileSaveCommand("/x/a \"q\".qwd");
  {
    StandInProcess server(QStringLiteral(STANDIN_PATH), {"--macros", "both"});
    ASSERT_TRUE(server.ready());
    bus::MacroConversation c;
    ASSERT_TRUE(c.ConnectToQuillwright());
    EXPECT_EQ(c.Address().service, "QWWin7_Macros.QS7Commands");
    EXPECT_EQ(c.Execute(command, 5000), bus::ExecuteResult::Accepted);
    EXPECT_EQ(server.RawCalls(), QList<QByteArray>{Logged("QWWin7_Macros.QS7Commands", command)});
  }
  {
    StandInProcess server(QStringLiteral(STANDIN_PATH), {"--macros", "6"});
    ASSERT_TRUE(server.ready());
    bus::MacroConversation c;
    EXPECT_FALSE(c.Connect("QWWin7_Macros", "QS7Commands"));
    ASSERT_TRUE(c.ConnectToQuillwright());
    EXPECT_EQ(c.Address().service, "QWWin60_Macros.Commands");
    EXPECT_EQ(c.Execute(command, 5000), bus::ExecuteResult::Accepted);
    EXPECT_EQ(server.RawCalls(), QList<QByteArray>{Logged("QWWin60_Macros.Commands", command)});
  }
  {
    StandInProcess server(QStringLiteral(STANDIN_PATH), {"--macros", "7"});
    ASSERT_TRUE(server.ready());
    bus::MacroConversation c;
    EXPECT_FALSE(c.Connect("QWWin60_Macros", "Commands"));
    ASSERT_TRUE(c.ConnectToQuillwright());
    EXPECT_EQ(c.Address().service, "QWWin7_Macros.QS7Commands");
  }
}

TEST(BusMacros, RefusalsAndTimeOuts) {
  const QByteArray command = bus::FileSaveCommand("/x/glimmet.qwd");
  {
    // The automation server alone offers no macro service.
    StandInProcess server(QStringLiteral(STANDIN_PATH), {});
    ASSERT_TRUE(server.ready());
    bus::MacroConversation c;
    EXPECT_FALSE(c.ConnectToQuillwright());
    EXPECT_EQ(c.Execute(command, 1000), bus::ExecuteResult::Refused);
    EXPECT_TRUE(server.RawCalls().isEmpty());
  }
  {
    StandInProcess server(QStringLiteral(STANDIN_PATH), {"--macros", "both", "--fail", "Execute"});
    ASSERT_TRUE(server.ready());
    bus::MacroConversation c;
    ASSERT_TRUE(c.ConnectToQuillwright());
    EXPECT_EQ(c.Execute(command, 5000), bus::ExecuteResult::Refused);
    EXPECT_EQ(server.RawCalls().size(), 1);
  }
  {
    StandInProcess server(QStringLiteral(STANDIN_PATH), {"--macros", "7", "--no-reply", "Execute"});
    ASSERT_TRUE(server.ready());
    bus::MacroConversation c;
    ASSERT_TRUE(c.ConnectToQuillwright());
    QElapsedTimer t;
    t.start();
    EXPECT_EQ(c.Execute(command, 300), bus::ExecuteResult::TimedOut);
    EXPECT_GE(t.elapsed(), 250);
    EXPECT_LT(t.elapsed(), 3000);
    // Cancel ends the wait at once; keepWaiting is asked while it lasts.
    int asked = 0;
    t.restart();
    EXPECT_EQ(c.Execute(command, 10000, [&] { return ++asked < 5; }), bus::ExecuteResult::Cancelled);
    EXPECT_EQ(asked, 5);
    EXPECT_LT(t.elapsed(), 3000);
  }
  // No server at all, and no bus.
  bus::MacroConversation c;
  EXPECT_FALSE(c.ConnectToQuillwright());
  EXPECT_FALSE(c.Connected());
  bus::MacroConversation offline(QDBusConnection(QStringLiteral("no such connection")));
  EXPECT_FALSE(offline.ConnectToQuillwright());
  EXPECT_EQ(offline.Execute(command, 1000), bus::ExecuteResult::Refused);
}

}  // namespace
