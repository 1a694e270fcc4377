#pragma once
// The fetch over the session bus: the word processor's macro-command
// service is asked to save its current document, and the file is taken only
// once it is complete.

#include <QDBusConnection>
#include <QDeadlineTimer>
#include <functional>
#include <string>

#include "sheet/Fetch.h"

namespace sheet {

class BusDocumentFetcher : public DocumentFetcher {
public:
    explicit BusDocumentFetcher(FetchTiming timing = {},
                                QDBusConnection connection = QDBusConnection::sessionBus());
    // Version 7's service is asked first, version 6's only when 7 has none.
    bool SaveCurrentDocument(const std::string& path, const std::function<bool()>& keepWaiting) override;

private:
    FetchTiming timing_;
    QDBusConnection connection_;
};

// True once a plain, non-empty file at `path` has kept its size, time and
// inode for `settleMs`; false when `deadline` passes first or `keepWaiting`
// says no. A writer that pauses longer than `settleMs` is not told apart
// from one that has finished.
bool WaitForSettledFile(const std::string& path, int settleMs, const QDeadlineTimer& deadline,
                        const std::function<bool()>& keepWaiting);

}  // namespace sheet
