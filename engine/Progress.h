#pragma once
// The progress dialog of long scans: a bar, a percent text and Cancel.
// The window itself comes from the host's ProgressHost; without a host the
// dialog keeps its numbers, shows nothing and is never cancelled.

#include <cstdint>
#include <memory>
#include <string>

#include "engine/Host.h"

namespace engine {

class CProgressDialog {
public:
    // A caption id of 0 means 104, "Please Wait".
    explicit CProgressDialog(int captionId = 0);
    ~CProgressDialog();
    CProgressDialog(const CProgressDialog&) = delete;
    CProgressDialog& operator=(const CProgressDialog&) = delete;

    // Creates the window through `owner`, or through the context's progress
    // host when none is given. 0 when a host could not make the window;
    // 1 otherwise (also when there is no host at all: a run without windows).
    int Create(ProgressHost* owner = nullptr);
    void SetRange(int lower, int upper);
    void SetStep(int step);
    void StepIt();
    // True once per press of Cancel.
    bool CheckCancel();

    int Position() const { return position_; }
    const std::string& PercentText() const { return percentText_; }
    bool HasWindow() const { return view_ != nullptr; }

private:
    void Pump();

    int captionId_;
    int lower_ = 0;
    int upper_ = 100;
    int step_ = 10;
    int position_ = 0;
    bool cancel_ = false;
    int64_t percent_ = -1;
    std::string percentText_;
    std::unique_ptr<ProgressView> view_;
};

}  // namespace engine
