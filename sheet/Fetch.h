#pragma once
// Fetching the document open in the word processor: it is asked to save its
// current document into a file of ours, which is then loaded like any other.
// The commands layer owns the flow (unload, wait cursor, load, the failure
// box, auto-refresh); a DocumentFetcher owns the conversation and the wait.

#include <functional>
#include <string>

namespace sheet {

// "glimmet.qwd" inside the user's private folder ($XDG_RUNTIME_DIR/salvino,
// else salvino-<uid> under the temporary folder; mode 0700, owned by the
// user, not a symlink; created when missing). Empty when no such folder can
// be had: the fetch then refuses.
std::string FetchTargetPath();

// The checks behind it, for one folder: created with mode 0700 when missing;
// true only when it is a directory itself (no symlink), owned by `uid` and
// open to its owner alone (mode 0700).
bool IsPrivateFolder(const std::string& folder, unsigned uid);

struct FetchTiming {
    int settleMs = 200;    // the file's size must stay unchanged this long
    int totalMs = 30000;   // acceptance and the complete file within this
};

class DocumentFetcher {
public:
    virtual ~DocumentFetcher() = default;
    // Deletes an old copy at `path`, has the word processor save its current
    // document there and waits until the file is complete. `keepWaiting` is
    // polled while waiting (false: the user cancelled). True only when `path`
    // now holds the new copy; the caller shows the failure message otherwise.
    virtual bool SaveCurrentDocument(const std::string& path,
                                     const std::function<bool()>& keepWaiting) = 0;
};

}  // namespace sheet
