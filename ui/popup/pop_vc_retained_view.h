// The child-hosting pop-up that takes its child once, at construction, and keeps it attached
// through every show and hide until the pop-up goes away. Main-thread only.
#pragma once

#include "ui/popup/pop_vc_view.h"

class PopVCRetainedView : public PopVCView {
public:
    KORVA_MAKE(PopVCRetainedView)
    ~PopVCRetainedView() override;
    void init() override;
    // Hides without detaching the child.
    void hide(Callback completion) override { PopArrowedView::hide(std::move(completion)); }
    using PopVCView::hide;

    std::string className() const override { return "PopVCRetainedView"; }

protected:
    PopVCRetainedView(std::shared_ptr<UIViewController> vc, std::shared_ptr<UIViewController> child)
        : PopVCView(std::move(vc)), initialChild_(std::move(child)) {}

private:
    std::shared_ptr<UIViewController> initialChild_;  // held only until init attaches it
};
