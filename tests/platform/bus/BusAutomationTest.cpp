// The bus automation layer against the stand-in server: names, argument
// types, property reads, failures and the missing server.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include "platform/bus/BusAutomation.h"
#include "tests/support/quillwright-standin/StandInProcess.h"

namespace {

class Server : public testsupport::StandInProcess {
 public:
  explicit Server(QStringList options) : StandInProcess(QStringLiteral(STANDIN_PATH), std::move(options)) {}
};

TEST(BusAutomation, CallsByNameWithTypedArguments) {
  Server server({QStringLiteral("--blank"), QStringLiteral("-1")});
  ASSERT_TRUE(server.ready());
  bus::BusAutomationFactory factory;
  auto qw = factory.Create("Quillwright.Quillscript");
  qw->Call("Display", {std::int16_t{1}});
  qw->Call("FileInsert", {std::string("/d/with blank \xC3\xA9.qwd")});
  qw->Call("FileNew");
  const bus::Variant blank = qw->Get("envDocBlank");
  ASSERT_TRUE(std::holds_alternative<std::int16_t>(blank));
  EXPECT_EQ(std::get<std::int16_t>(blank), -1);
  EXPECT_TRUE(bus::IsAutomationTrue(blank));
  EXPECT_EQ(server.Calls(), (QStringList{"Display n:1", QString::fromUtf8("FileInsert s:/d/with blank \xC3\xA9.qwd"),
                                         "FileNew", "get envDocBlank"}));
}

TEST(BusAutomation, FailuresRaiseAndTheObjectStaysUsable) {
  Server server({QStringLiteral("--fail"), QStringLiteral("SelectAll")});
  ASSERT_TRUE(server.ready());
  bus::BusAutomationFactory factory;
  auto qw = factory.Create("Quillwright.Quillscript");
  EXPECT_THROW(qw->Call("SelectAll"), bus::AutomationError);
  EXPECT_NO_THROW(qw->Call("SelectDelete"));
  EXPECT_THROW(qw->Get("noSuchProperty"), bus::AutomationError);
  const bus::Variant blank = qw->Get("envDocBlank");
  EXPECT_FALSE(bus::IsAutomationTrue(blank));
}

TEST(BusAutomation, MissingServerIsUnavailable) {
  bus::BusAutomationFactory factory;
  EXPECT_THROW(factory.Create("Quillwright.Quillscript"), bus::AutomationError);
  EXPECT_THROW(factory.Create("Nobody.Here"), bus::AutomationError);
}

TEST(BusAutomation, TruthValues) {
  struct Row {
    bus::Variant v;
    bool truth;
  } rows[] = {{true, true},          {false, false},         {std::int16_t{-1}, true}, {std::int16_t{0}, false},
              {std::int16_t{1}, false}, {std::int32_t{-1}, true}, {std::string("-1"), false}, {std::monostate{}, false}};
  for (const auto& r : rows) EXPECT_EQ(bus::IsAutomationTrue(r.v), r.truth);
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
