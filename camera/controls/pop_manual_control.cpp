// The control cycle of the manual-control pop-ups: timer, status, assignment and settling.
#include "camera/controls/pop_manual_control.h"

#include "platform/capture/av_capture_device.h"
#include "platform/dispatch/queue.h"

namespace {

// Runs the completion on the main queue, when there is one.
void completeOnMain(const PopManualControl::Completion& completion) {
    if (completion) dispatch_async(DispatchQueue::main(), completion);
}

}  // namespace

PopManualControl::~PopManualControl() = default;

void PopManualControl::init() {
    PopManualBase::init();
    setBgColor(UIColor::colorWithWhite(0, 0.8));
    bg()->setBackgroundColor(UIColor::clearColor());
}

void PopManualControl::show(const std::shared_ptr<NSObject>& sender, Callback) {
    restartTimer();
    updateStatus();
    updateView();
    std::weak_ptr<PopManualControl> weak = self<PopManualControl>();
    PopTitleBase::show(sender, title(), [weak] {
        if (auto s = weak.lock())
            for (const auto& slider : s->sliders()) slider->updateData();
    });
}

void PopManualControl::hide(Callback completion) {
    if (stopsTimerOnHide() && !manual_.user) resetTimer();
    hideThenReport(std::move(completion));
}

void PopManualControl::setAuto() {
    manual_.user = false;
    restartTimer();
}

bool PopManualControl::isManualSupported() {
    auto d = device();
    return d && supportsManual(*d);
}

void PopManualControl::resetTimer() {
    timer_.reset();
}

void PopManualControl::restartTimer() {
    timer_.restart(kTimerInterval, weakBind(self<PopManualControl>(), &PopManualControl::onTimer));
}

void PopManualControl::onTimer() {
    updateStatus();
    checkAndAssign();
    if (!hidden()) updateView();
}

void PopManualControl::updateStatus() {
    auto d = device();
    manual_.device = readDevice(d.get());
    if (!manual_.user) {
        std::lock_guard lock(userMutex_);
        followDevice();
    }
}

void PopManualControl::checkAndAssign() {
    if (manual_.user != manual_.device) {
        const bool queued = manual_.user ? assign_manual({}) : assign_auto({});
        if (hidden() && !queued) resetTimer();
        return;
    }
    if (manual_.user && (userChangePending() || drifted())) {
        const bool queued = assign_manual({});
        if (hidden() && !queued) resetTimer();
        return;
    }
    settled();
}

void PopManualControl::settled() {
    if (!hidden()) updateView();
    if (auto d = baseDelegate()) d->onPopManualBaseChanged(*this, manual_.user);
    if (manual_.user)
        showRight("AUTO", true);
    else
        hideRight(true);
    if (!manual_.user && hidden()) resetTimer();
}

bool PopManualControl::assign_manual(Completion completion) {
    auto d = device();
    if (!d) return false;
    if (!supportsManual(*d)) {
        if (completion) completion();
        return false;
    }
    auto delegate = baseDelegate();
    auto queue = delegate ? delegate->onPopManualBaseGetQueue(*this) : nullptr;
    if (!queue) return false;
    std::weak_ptr<PopManualControl> weak = self<PopManualControl>();
    queue->async([weak, completion = std::move(completion)] {
        auto s = weak.lock();
        if (!s) return;
        auto delegate = s->baseDelegate();
        auto device = delegate ? delegate->onPopManualBaseGetDevice(*s) : nullptr;
        if (!device || !device->lockForConfiguration()) return;
        {
            std::lock_guard lock(s->userMutex_);
            const std::uint64_t generation = s->userGeneration_;
            if (s->applyManual(*device, [completion](CMTime) { completeOnMain(completion); }))
                s->appliedGeneration_ = generation;
        }
        device->unlockForConfiguration();
    });
    return true;
}

bool PopManualControl::assign_auto(Completion completion) {
    auto d = device();
    if (!d) return false;
    const auto mode = autoMode(*d);
    if (!mode) {
        if (completion) completion();
        return false;
    }
    auto delegate = baseDelegate();
    auto queue = delegate ? delegate->onPopManualBaseGetQueue(*this) : nullptr;
    if (!queue) return false;
    std::weak_ptr<PopManualControl> weak = self<PopManualControl>();
    queue->async([weak, d, mode = *mode, completion = std::move(completion)] {
        auto s = weak.lock();
        if (!s || !d->lockForConfiguration()) return;
        s->applyAutoMode(*d, mode);
        d->unlockForConfiguration();
        completeOnMain(completion);
    });
    return true;
}

void PopManualControl::captureDidStart() {
    if (!manual_.user) return;
    if (!isManualSupported()) {
        setAuto();
        return;
    }
    restartTimer();
    assign_manual({});
}

bool PopManualControl::userChangePending() const {
    std::lock_guard lock(userMutex_);
    return userGeneration_ != appliedGeneration_;
}

void PopManualControl::userChanged(const std::function<void()>& store) {
    {
        std::lock_guard lock(userMutex_);
        store();
        ++userGeneration_;
    }
    manual_.user = true;
}
