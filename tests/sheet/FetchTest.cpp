// The fetch of the word processor's open document against the stand-in on a
// private session bus: the private folder, the conversation and the wait for
// a complete new copy.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <filesystem>

#include "sheet/BusFetcher.h"
#include "tests/support/CompoundBuilder.h"
#include "tests/support/quillwright-standin/StandInProcess.h"

namespace {

using testsupport::ReadFileBytes;
using testsupport::ScopedTempDir;
using testsupport::StandInProcess;
using testsupport::WriteFileBytes;

// Sets (or with nullptr removes) an environment variable while it lives.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name), had_(qEnvironmentVariableIsSet(name)) {
        if (had_) old_ = qgetenv(name);
        if (value) qputenv(name, value);
        else qunsetenv(name);
    }
    ~ScopedEnv() {
        if (had_) qputenv(name_, old_);
        else qunsetenv(name_);
    }

private:
    const char* name_;
    bool had_;
    QByteArray old_;
};

unsigned ModeOf(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0xFFFF;
}

TEST(FetchTargetPath, APrivateFolderInTheRuntimeFolderElseTheTemporaryOne) {
    ScopedTempDir runtime, temp;
    {
        ScopedEnv xdg("XDG_RUNTIME_DIR", runtime.path().c_str());
        EXPECT_EQ(sheet::FetchTargetPath(), runtime.File("salvino/glimmet.qwd"));
        EXPECT_EQ(ModeOf(runtime.File("salvino")), 0700u);
        // Found again as it was left.
        EXPECT_EQ(sheet::FetchTargetPath(), runtime.File("salvino/glimmet.qwd"));
    }
    const std::string own = temp.File("salvino-" + std::to_string(::geteuid()));
    const std::string expected = own + "/glimmet.qwd";
    {
        ScopedEnv xdg("XDG_RUNTIME_DIR", nullptr);
        ScopedEnv tmp("TMPDIR", temp.path().c_str());
        EXPECT_EQ(sheet::FetchTargetPath(), expected);
        EXPECT_EQ(ModeOf(own), 0700u);
    }
    {
        // A runtime folder that is named but not there counts as none.
        ScopedEnv xdg("XDG_RUNTIME_DIR", runtime.File("gone").c_str());
        ScopedEnv tmp("TMPDIR", temp.path().c_str());
        EXPECT_EQ(sheet::FetchTargetPath(), expected);
    }
    {
        // A set-group-id parent does not leave its bit on the new folder.
        ASSERT_EQ(::mkdir(runtime.File("sgid").c_str(), 0755), 0);
        ASSERT_EQ(::chmod(runtime.File("sgid").c_str(), 02755), 0);
        ScopedEnv xdg("XDG_RUNTIME_DIR", runtime.File("sgid").c_str());
        EXPECT_EQ(sheet::FetchTargetPath(), runtime.File("sgid/salvino/glimmet.qwd"));
        EXPECT_EQ(ModeOf(runtime.File("sgid/salvino")), 0700u);
    }
}

TEST(FetchTargetPath, RefusesAFolderThatIsNotPrivate) {
    ScopedTempDir runtime;
    ScopedEnv xdg("XDG_RUNTIME_DIR", runtime.path().c_str());
    const std::string folder = runtime.File("salvino");
    ASSERT_EQ(::mkdir(runtime.File("elsewhere").c_str(), 0700), 0);

    ASSERT_EQ(::symlink(runtime.File("elsewhere").c_str(), folder.c_str()), 0);
    EXPECT_EQ(sheet::FetchTargetPath(), "");
    ASSERT_EQ(::unlink(folder.c_str()), 0);

    ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
    ASSERT_EQ(::chmod(folder.c_str(), 0755), 0);
    EXPECT_EQ(sheet::FetchTargetPath(), "");
    ASSERT_EQ(::chmod(folder.c_str(), 0770), 0);
    EXPECT_EQ(sheet::FetchTargetPath(), "");
    ASSERT_EQ(::chmod(folder.c_str(), 0700), 0);
    EXPECT_NE(sheet::FetchTargetPath(), "");

    // Another user's folder.
    EXPECT_TRUE(sheet::IsPrivateFolder(folder, ::geteuid()));
    EXPECT_FALSE(sheet::IsPrivateFolder(folder, ::geteuid() + 1));
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(folder.c_str(), 65534, 65534), 0);
        EXPECT_EQ(sheet::FetchTargetPath(), "");
    }
    ASSERT_EQ(::rmdir(folder.c_str()), 0);

    // A plain file, and a folder that cannot be made.
    ASSERT_TRUE(WriteFileBytes(folder, testsupport::Bytes("x")));
    EXPECT_EQ(sheet::FetchTargetPath(), "");
    EXPECT_FALSE(sheet::IsPrivateFolder(runtime.File("no/such/folder"), ::geteuid()));
    EXPECT_FALSE(sheet::IsPrivateFolder("", ::geteuid()));
}

std::vector<uint8_t> Pattern(size_t n) {
    std::vector<uint8_t> v(n);
    for (size_t i = 0; i < n; ++i) v[i] = static_cast<uint8_t>(i * 7 + 3);
    return v;
}

// The whole of `bytes`, and nothing else, is in the file.
::testing::AssertionResult Holds(const std::string& path, const std::vector<uint8_t>& bytes) {
    const std::vector<uint8_t> got = ReadFileBytes(path);
    if (got == bytes) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << path << " holds " << got.size() << " bytes, not the " << bytes.size()
                                         << " expected";
}

QByteArray Logged(const char* busName, const std::string& path) {
    return QByteArray(busName) + " Execute ay:FileSave(\"" + QByteArray::fromStdString(path) +
           "\"; Overwrite: Yes!)\\0";
}

// A stand-in that saves `source` on request, and the path it is asked for.
struct FetchRig {
    ScopedTempDir dir;
    std::string source = dir.File("open in quillwright.qwd");
    std::string target = dir.File("glimmet.qwd");
    std::vector<uint8_t> document = Pattern(300000);
    sheet::FetchTiming timing;

    FetchRig() { EXPECT_TRUE(WriteFileBytes(source, document)); }
    QStringList Saving(QStringList more) const { return QStringList{"--save", QString::fromStdString(source)} + more; }
    bool Fetch(const std::function<bool()>& keepWaiting = {}) {
        sheet::BusDocumentFetcher fetcher(timing);
        return fetcher.SaveCurrentDocument(target, keepWaiting);
    }
};

TEST(BusFetcher, VersionSevenFirstThenSixAndTheExactRequest) {
    struct Row {
        const char* macros;
        const char* answering;
    } rows[] = {{"both", "QWWin7_Macros.QS7Commands"},
                {"7", "QWWin7_Macros.QS7Commands"},
                {"6", "QWWin60_Macros.Commands"}};
    for (const Row& r : rows) {
        FetchRig rig;
        StandInProcess server(QStringLiteral(STANDIN_PATH), rig.Saving({"--macros", r.macros}));
        ASSERT_TRUE(server.ready());
        EXPECT_TRUE(rig.Fetch()) << r.macros;
        EXPECT_TRUE(Holds(rig.target, rig.document)) << r.macros;
        EXPECT_EQ(server.RawCalls(), QList<QByteArray>{Logged(r.answering, rig.target)}) << r.macros;
    }
    // A double quote in the path goes into the request unchanged.
    FetchRig rig;
    ASSERT_EQ(::mkdir(rig.dir.File("say \"cheese\"").c_str(), 0700), 0);
    rig.target = rig.dir.File("say \"cheese\"/glimmet.qwd");
    StandInProcess server(QStringLiteral(STANDIN_PATH), rig.Saving({"--macros", "both"}));
    ASSERT_TRUE(server.ready());
    EXPECT_TRUE(rig.Fetch());
    EXPECT_EQ(server.RawCalls(), QList<QByteArray>{Logged("QWWin7_Macros.QS7Commands", rig.target)});
    EXPECT_TRUE(Holds(rig.target, rig.document));
}

TEST(BusFetcher, RefusalsLeaveNoOldCopyBehind) {
    struct Row {
        const char* what;
        QStringList options;  // none: no stand-in at all
        bool server;
    } rows[] = {
        {"no server", {}, false},
        {"no macro service", {}, true},
        {"Execute fails", {"--macros", "both", "--fail", "Execute"}, true},
    };
    for (const Row& r : rows) {
        FetchRig rig;
        ASSERT_TRUE(WriteFileBytes(rig.target, testsupport::Bytes("an old copy")));
        std::unique_ptr<StandInProcess> server;
        if (r.server) {
            server = std::make_unique<StandInProcess>(QStringLiteral(STANDIN_PATH), rig.Saving(r.options));
            ASSERT_TRUE(server->ready());
        }
        QElapsedTimer t;
        t.start();
        EXPECT_FALSE(rig.Fetch()) << r.what;
        EXPECT_LT(t.elapsed(), 5000) << r.what;
        EXPECT_FALSE(std::filesystem::exists(rig.target)) << r.what;
    }
}

TEST(BusFetcher, WaitsForTheNewCopyAndTakesItOnlyWhole) {
    {
        // Accepted at once, written half a second later: never the old copy.
        FetchRig rig;
        ASSERT_TRUE(WriteFileBytes(rig.target, testsupport::Bytes("an old copy")));
        StandInProcess server(QStringLiteral(STANDIN_PATH), rig.Saving({"--macros", "7", "--save-delay", "500"}));
        ASSERT_TRUE(server.ready());
        QElapsedTimer t;
        t.start();
        EXPECT_TRUE(rig.Fetch());
        EXPECT_GE(t.elapsed(), 500 + rig.timing.settleMs);
        EXPECT_TRUE(Holds(rig.target, rig.document));
    }
    {
        // Half written at acceptance, a pause inside the settling time, then the rest.
        FetchRig rig;
        StandInProcess server(QStringLiteral(STANDIN_PATH), rig.Saving({"--macros", "7", "--save-slow", "100"}));
        ASSERT_TRUE(server.ready());
        EXPECT_TRUE(rig.Fetch());
        EXPECT_TRUE(Holds(rig.target, rig.document));
    }
    {
        // Both: late, and then in two halves.
        FetchRig rig;
        StandInProcess server(QStringLiteral(STANDIN_PATH),
                              rig.Saving({"--macros", "6", "--save-delay", "200", "--save-slow", "150"}));
        ASSERT_TRUE(server.ready());
        EXPECT_TRUE(rig.Fetch());
        EXPECT_TRUE(Holds(rig.target, rig.document));
    }
}

TEST(BusFetcher, TimeOutsAndCancel) {
    {
        // No answer to the request.
        FetchRig rig;
        rig.timing.totalMs = 600;
        StandInProcess server(QStringLiteral(STANDIN_PATH), rig.Saving({"--macros", "7", "--no-reply", "Execute"}));
        ASSERT_TRUE(server.ready());
        QElapsedTimer t;
        t.start();
        EXPECT_FALSE(rig.Fetch());
        EXPECT_GE(t.elapsed(), 550);
        EXPECT_LT(t.elapsed(), 4000);
    }
    {
        // Accepted, but no file comes.
        FetchRig rig;
        rig.timing.totalMs = 600;
        StandInProcess server(QStringLiteral(STANDIN_PATH), {"--macros", "7"});
        ASSERT_TRUE(server.ready());
        QElapsedTimer t;
        t.start();
        EXPECT_FALSE(rig.Fetch());
        EXPECT_GE(t.elapsed(), 550);
        EXPECT_LT(t.elapsed(), 4000);
        EXPECT_EQ(server.RawCalls().size(), 1);
    }
    {
        // The file comes, but too late to settle in time.
        FetchRig rig;
        rig.timing.totalMs = 700;
        StandInProcess server(QStringLiteral(STANDIN_PATH), rig.Saving({"--macros", "7", "--save-delay", "600"}));
        ASSERT_TRUE(server.ready());
        EXPECT_FALSE(rig.Fetch());
    }
    {
        // Cancel while the file is awaited.
        FetchRig rig;
        StandInProcess server(QStringLiteral(STANDIN_PATH), rig.Saving({"--macros", "7", "--save-delay", "5000"}));
        ASSERT_TRUE(server.ready());
        QElapsedTimer t;
        t.start();
        EXPECT_FALSE(rig.Fetch([&] { return t.elapsed() < 300; }));
        EXPECT_LT(t.elapsed(), 3000);
    }
}

TEST(WaitForSettledFile, SizeTimeAndInodeMustHoldStill) {
    ScopedTempDir dir;
    const std::string path = dir.File("f");
    // Missing, and empty, never settle.
    EXPECT_FALSE(sheet::WaitForSettledFile(path, 50, QDeadlineTimer(200), {}));
    ASSERT_TRUE(WriteFileBytes(path, {}));
    EXPECT_FALSE(sheet::WaitForSettledFile(path, 50, QDeadlineTimer(200), {}));
    ASSERT_TRUE(WriteFileBytes(path, testsupport::Bytes("whole")));
    QElapsedTimer t;
    t.start();
    EXPECT_TRUE(sheet::WaitForSettledFile(path, 100, QDeadlineTimer(2000), {}));
    EXPECT_GE(t.elapsed(), 100);
    // A folder of that name is no file.
    ASSERT_EQ(::mkdir(dir.File("d").c_str(), 0700), 0);
    EXPECT_FALSE(sheet::WaitForSettledFile(dir.File("d"), 50, QDeadlineTimer(200), {}));
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
