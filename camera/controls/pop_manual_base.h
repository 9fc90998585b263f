// The base of the manual-control pop-ups: a titled arrowed pop-up that closes on a tap outside its
// panel, whose title bar's right button returns the control to automatic, and the questions a
// pop-up asks its host about the camera. Main-thread only.
#pragma once

#include <memory>

#include "ui/popup/pop_title_base.h"

class AVCaptureDevice;
class DispatchQueue;
class PopManualBase;

class PopManualBaseDelegate {
public:
    virtual ~PopManualBaseDelegate() = default;
    // The queue on which the capture device may be configured.
    virtual std::shared_ptr<DispatchQueue> onPopManualBaseGetQueue(PopManualBase& sender) = 0;
    // The current capture device, or none. Also asked from the capture queue, so the answer
    // must be safe to give there.
    virtual std::shared_ptr<AVCaptureDevice> onPopManualBaseGetDevice(PopManualBase& sender) = 0;
    // The sender's state has settled; whether the user holds manual control.
    virtual void onPopManualBaseChanged(PopManualBase& sender, bool manual) = 0;
    virtual void onPopManualBaseDidHide(PopManualBase& sender) = 0;
};

class PopManualBase : public PopTitleBase {
public:
    void init() override;

    virtual bool isUserManual() const { return false; }
    virtual void setAuto() {}
    virtual void resetTimer() {}
    virtual bool isManualSupported() { return false; }
    virtual void updateView() {}

    void onRightButton(IconButton&) override { setAuto(); }

    std::shared_ptr<PopManualBaseDelegate> baseDelegate() const { return baseDelegate_.lock(); }

    std::string className() const override { return "PopManualBase"; }

protected:
    using PopTitleBase::PopTitleBase;
    void setBaseDelegate(const std::shared_ptr<PopManualBaseDelegate>& d) { baseDelegate_ = d; }
    // The delegate's device, or none without a delegate.
    std::shared_ptr<AVCaptureDevice> device();
    // The titled pop-up's hide, then the completion, then onPopManualBaseDidHide.
    void hideThenReport(Callback completion);

private:
    std::weak_ptr<PopManualBaseDelegate> baseDelegate_;
};
