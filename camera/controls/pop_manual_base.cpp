// The manual-control pop-ups' common base.
#include "camera/controls/pop_manual_base.h"

#include "platform/capture/av_capture_device.h"

void PopManualBase::init() {
    PopTitleBase::init();
    hideOnTapOutside();
}

std::shared_ptr<AVCaptureDevice> PopManualBase::device() {
    auto d = baseDelegate();
    return d ? d->onPopManualBaseGetDevice(*this) : nullptr;
}

void PopManualBase::hideThenReport(Callback completion) {
    std::weak_ptr<PopManualBase> weak = self<PopManualBase>();
    PopTitleBase::hide([weak, completion = std::move(completion)] {
        if (completion) completion();
        auto s = weak.lock();
        if (!s) return;
        if (auto d = s->baseDelegate()) d->onPopManualBaseDidHide(*s);
    });
}
