// The window's fetch as the program wires it: the bus fetcher and the
// private folder against the stand-in Quillwright on a private session bus,
// offscreen; boxes and progress dialogs are recording doubles.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QTest>

#include "engine/EngineContext.h"
#include "sheet/BusFetcher.h"
#include "sheet/Pages.h"
#include "sheet/SheetWindow.h"
#include "tests/sheet/FakeDialogs.h"
#include "tests/sheet/Fixtures.h"
#include "tests/support/Recording.h"
#include "tests/support/quillwright-standin/StandInProcess.h"

namespace inspector::testing {
namespace {

using testsupport::StandInProcess;

const char kFailed[] = "Unable to establish a DDE connection with Quillwright";

// The bus fetcher, timed: when each fetch started and ended.
class TimedFetcher : public sheet::DocumentFetcher {
public:
    explicit TimedFetcher(sheet::FetchTiming timing) : bus_(timing) { clock.start(); }
    bool SaveCurrentDocument(const std::string& path, const std::function<bool()>& keepWaiting) override {
        started.push_back(clock.elapsed());
        const bool ok = bus_.SaveCurrentDocument(path, keepWaiting);
        ended.push_back(clock.elapsed());
        return ok;
    }
    QElapsedTimer clock;
    std::vector<qint64> started, ended;

private:
    sheet::BusDocumentFetcher bus_;
};

struct FetchWindowRig {
    SettingsSandbox settings;
    testsupport::ScopedContext ctx;
    testsupport::ScopedTempDir dir;
    QByteArray oldRuntime = qgetenv("XDG_RUNTIME_DIR");
    FakeDialogs dialogs;
    TimedFetcher fetcher{sheet::FetchTiming{200, 3000}};
    std::unique_ptr<SheetWindow> window;
    // Where the program puts the copy: its private folder.
    std::string target;

    FetchWindowRig() {
        engine::Ctx().sink.defaultList = nullptr;
        qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(dir.path()));
        target = dir.File("salvino/glimmet.qwd");
        window = std::make_unique<SheetWindow>(SalvinoSheetProfile(), &dialogs, &dialogs.commands);
        window->commands().Services().fetcher = &fetcher;
        window->show();
        window->Start("");
    }
    ~FetchWindowRig() {
        window.reset();
        qputenv("XDG_RUNTIME_DIR", oldRuntime);
    }
    std::string Write(const std::string& name, const testsupport::DocBuilder& b) {
        return WriteDoc(dir, name, b, false);
    }
    QStringList Saving(const std::string& source, QStringList more) const {
        return QStringList{"--macros", "both", "--save", QString::fromStdString(source)} + more;
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
    bool InfoHas(const std::string& line) {
        const std::vector<std::string> info = Info();
        return std::find(info.begin(), info.end(), line) != info.end();
    }
};

TEST(WindowFetch, RefusalsShowOneBoxAndLeaveNothingLoaded) {
    struct Case {
        const char* what;
        QStringList options;  // none: no stand-in at all
        bool server;
    } cases[] = {
        {"no server", {}, false},
        {"Execute fails", {"--macros", "both", "--fail", "Execute"}, true},
        {"no reply", {"--macros", "7", "--no-reply", "Execute"}, true},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        FetchWindowRig r;
        const std::string earlier = r.Write("earlier.qwd", SoundDoc());
        r.window->sheet().LoadDocument(earlier, false);
        ASSERT_NE(r.window->sheet().Document(), nullptr);
        std::unique_ptr<StandInProcess> server;
        if (k.server) {
            server = std::make_unique<StandInProcess>(QStringLiteral(STANDIN_PATH), k.options);
            ASSERT_TRUE(server->ready());
        }
        r.window->fetchAction->trigger();
        EXPECT_EQ(r.Boxes(), std::vector<std::string>{kFailed});
        EXPECT_EQ(r.ctx.messages.boxes[0].caption, "Salvino");
        EXPECT_EQ(r.window->sheet().Document(), nullptr);
        EXPECT_EQ(r.fetcher.started.size(), 1u);
    }
}

TEST(WindowFetch, ALateCopyIsAwaitedAndLoadedNeverTheOldOne) {
    FetchWindowRig r;
    const std::string current = r.Write("current.qwd", DamagedDoc());
    StandInProcess server(QStringLiteral(STANDIN_PATH), r.Saving(current, {"--save-delay", "500"}));
    ASSERT_TRUE(server.ready());
    // The copy of an earlier fetch, a sound document, is still there.
    r.window->fetchAction->trigger();
    ASSERT_NE(r.window->sheet().Document(), nullptr);
    r.window->sheet().UnloadDocument();
    ASSERT_TRUE(SoundDoc().WriteFile(r.target));
    r.window->fetchAction->trigger();
    EXPECT_TRUE(r.Boxes().empty());
    ASSERT_NE(r.window->sheet().Document(), nullptr);
    EXPECT_EQ(engine::Ctx().sink.fileName, r.target);
    EXPECT_EQ(testsupport::ReadFileBytes(r.target), testsupport::ReadFileBytes(current));
    EXPECT_TRUE(r.InfoHas("Document CORRUPT"));
    EXPECT_GE(r.fetcher.ended.back() - r.fetcher.started.back(), 500);
    const QList<QByteArray> calls = server.RawCalls();
    ASSERT_EQ(calls.size(), 2);
    EXPECT_EQ(calls[1], "QWWin7_Macros.QS7Commands Execute ay:FileSave(\"" + QByteArray::fromStdString(r.target) +
                            "\"; Overwrite: Yes!)\\0");
}

TEST(WindowFetch, AutoRefreshAsksAnIntervalAfterEachFetchEndedAndStopsOnTheToggle) {
    FetchWindowRig r;
    const std::string current = r.Write("current.qwd", SoundDoc());
    StandInProcess server(QStringLiteral(STANDIN_PATH), r.Saving(current, {"--save-delay", "100"}));
    ASSERT_TRUE(server.ready());
    r.window->sheet().Settings().updateInterval = 1;
    r.window->autoRefreshAction->trigger();
    ASSERT_EQ(r.fetcher.started.size(), 1u);  // at once
    EXPECT_NE(r.window->sheet().Document(), nullptr);
    EXPECT_TRUE(QTest::qWaitFor([&] { return r.fetcher.ended.size() >= 3; }, 10000));
    r.window->autoRefreshAction->trigger();
    const size_t fetches = r.fetcher.started.size();
    ASSERT_GE(fetches, 3u);
    for (size_t i = 1; i < fetches; ++i) EXPECT_GE(r.fetcher.started[i] - r.fetcher.ended[i - 1], 990) << i;
    QTest::qWait(1300);
    EXPECT_EQ(r.fetcher.started.size(), fetches);
    EXPECT_EQ(static_cast<size_t>(server.RawCalls().size()), fetches);  // one Execute each
    EXPECT_TRUE(r.Boxes().empty());
}

}  // namespace
}  // namespace inspector::testing

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
