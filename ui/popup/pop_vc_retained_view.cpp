// The pop-up that keeps its child.
#include "ui/popup/pop_vc_retained_view.h"

#include "platform/ui/controller/ui_view_controller.h"

PopVCRetainedView::~PopVCRetainedView() {
    removeChild0();
}

void PopVCRetainedView::init() {
    PopVCView::init();
    auto c = std::move(initialChild_);
    if (!c) return;
    adopt(c);
}
