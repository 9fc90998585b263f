// The shared edit menu's anchor state.
#include "platform/ui/controller/ui_menu_controller.h"

#include "platform/ui/view/ui_view.h"

std::shared_ptr<UIMenuController> UIMenuController::sharedMenuController() {
    static auto shared = UIMenuController::make();
    return shared;
}

void UIMenuController::setTargetRect(CGRect rect, const std::shared_ptr<UIView>& view) {
    targetRect_ = rect;
    targetView_ = view;
}

CGRect UIMenuController::menuFrame() const {
    if (!visible_) return CGRectZero;
    auto view = targetView();
    return view ? view->convertRectToView(targetRect_, nullptr) : targetRect_;
}
