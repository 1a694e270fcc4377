#include "sheet/BusFetcher.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QThread>
#include <cerrno>
#include <tuple>

#include "platform/bus/BusMacros.h"
#include "sheet/Text.h"

namespace sheet {

bool IsPrivateFolder(const std::string& folder, unsigned uid) {
    if (folder.empty()) return false;
    if (::mkdir(folder.c_str(), 0700) == 0) {
        // A set-group-id parent passes its bit on; the mode is ours alone.
        if (::chmod(folder.c_str(), 0700) != 0) return false;
    } else if (errno != EEXIST) {
        return false;
    }
    struct stat st {};
    if (::lstat(folder.c_str(), &st) != 0) return false;
    return S_ISDIR(st.st_mode) && st.st_uid == uid && (st.st_mode & 0777) == 0700;
}

namespace {

bool IsDirectory(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string FetchFolder() {
    std::string runtime = qEnvironmentVariable("XDG_RUNTIME_DIR").toStdString();
    while (runtime.size() > 1 && runtime.back() == '/') runtime.pop_back();
    const unsigned uid = ::geteuid();
    // A runtime folder that is set but not there is as good as none.
    const std::string folder = !runtime.empty() && runtime.front() == '/' && IsDirectory(runtime)
                                   ? runtime + "/salvino"
                                   : inspector::PathBytes(QDir::tempPath()) + "/salvino-" + std::to_string(uid);
    return IsPrivateFolder(folder, uid) ? folder : std::string();
}

}  // namespace

std::string FetchTargetPath() {
    const std::string folder = FetchFolder();
    return folder.empty() ? std::string() : folder + "/glimmet.qwd";
}

bool WaitForSettledFile(const std::string& path, int settleMs, const QDeadlineTimer& deadline,
                        const std::function<bool()>& keepWaiting) {
    using Seen = std::tuple<off_t, long long, ino_t>;
    Seen last{-1, 0, 0};
    QElapsedTimer unchanged;
    for (;;) {
        if (keepWaiting && !keepWaiting()) return false;
        struct stat st {};
        if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0) {
            const Seen now{st.st_size, static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec,
                           st.st_ino};
            if (now != last) {
                last = now;
                unchanged.start();
            } else if (unchanged.elapsed() >= settleMs) {
                return true;
            }
        } else {
            last = Seen{-1, 0, 0};
        }
        if (deadline.hasExpired()) return false;
        QThread::msleep(10);
    }
}

BusDocumentFetcher::BusDocumentFetcher(FetchTiming timing, QDBusConnection connection)
    : timing_(timing), connection_(std::move(connection)) {}

bool BusDocumentFetcher::SaveCurrentDocument(const std::string& path, const std::function<bool()>& keepWaiting) {
    if (path.empty()) return false;
    const QDeadlineTimer deadline(timing_.totalMs);
    // Whatever is found there afterwards can only be the new copy.
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) return false;
    bus::MacroConversation conversation(connection_);
    if (!conversation.ConnectToQuillwright()) return false;
    const int left = static_cast<int>(deadline.remainingTime());
    if (conversation.Execute(bus::FileSaveCommand(path), left, keepWaiting) != bus::ExecuteResult::Accepted)
        return false;
    return WaitForSettledFile(path, timing_.settleMs, deadline, keepWaiting);
}

}  // namespace sheet
