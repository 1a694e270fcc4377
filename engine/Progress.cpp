#include "engine/Progress.h"

#include <cstdint>

#include "engine/Captions.h"
#include "engine/EngineContext.h"
#include "engine/Format.h"

namespace engine {

CProgressDialog::CProgressDialog(int captionId)
    : captionId_(captionId == 0 ? kCaptionPleaseWait : captionId) {}

// The view re-enables its owner when it goes.
CProgressDialog::~CProgressDialog() = default;

int CProgressDialog::Create(ProgressHost* owner) {
    if (!owner) owner = Ctx().hosts.progress;
    if (!owner) return 1;
    view_ = owner->Create();
    if (!view_) return 0;
    view_->SetRange(lower_, upper_);
    view_->SetPosition(lower_);
    position_ = lower_;
    view_->SetTitle(Caption(captionId_));
    return 1;
}

void CProgressDialog::SetRange(int lower, int upper) {
    lower_ = lower;
    upper_ = upper;
    if (position_ < lower_ || position_ > upper_) position_ = lower_;
    if (view_) view_->SetRange(lower, upper);
}

void CProgressDialog::SetStep(int step) { step_ = step; }

void CProgressDialog::Pump() {
    if (!view_) return;
    view_->Pump();
    if (view_->TakeCancel()) cancel_ = true;
}

void CProgressDialog::StepIt() {
    Pump();
    const int64_t range = static_cast<int64_t>(upper_) - lower_;
    int64_t percent = 100;
    if (range > 0) {
        // Past the upper bound the bar starts over from the lower one.
        int64_t next = static_cast<int64_t>(position_) + step_;
        if (next > upper_ || next < lower_) next = lower_ + ((next - lower_) % range + range) % range;
        position_ = static_cast<int>(next);
        percent = (next - lower_) * 100 / range;
        if (percent != 100) percent %= 100;
    }
    if (view_) view_->SetPosition(position_);
    // The text changes a hundred times at most; steps can be millions.
    if (percent == percent_ && !percentText_.empty()) return;
    percent_ = percent;
    std::string text = Format("%d%c", static_cast<int>(percent), '%');
    if (text != percentText_) {
        percentText_ = std::move(text);
        if (view_) view_->SetPercentText(percentText_);
    }
}

bool CProgressDialog::CheckCancel() {
    Pump();
    const bool pressed = cancel_;
    cancel_ = false;
    return pressed;
}

}  // namespace engine
