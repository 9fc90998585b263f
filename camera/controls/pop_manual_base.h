// The base of the manual-control pop-ups: a titled arrowed pop-up that closes on a tap outside its
// panel, whose title bar's right button returns the control to automatic, and the questions a
// pop-up asks its host about the camera. Each kind of pop-up has its own kind of delegate, which
// adopts these questions, so that a listener of several knows which kind asked. Main-thread only.
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

    // The pop-up's own delegate, seen as the questions every kind asks; none once it has gone.
    virtual std::shared_ptr<PopManualBaseDelegate> baseDelegate() const = 0;

    std::string className() const override { return "PopManualBase"; }

protected:
    using PopTitleBase::PopTitleBase;
    // The delegate's device, or none without a delegate.
    std::shared_ptr<AVCaptureDevice> device();
    // The titled pop-up's hide, then the completion, then onPopManualBaseDidHide.
    void hideThenReport(Callback completion);
};
