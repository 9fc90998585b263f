// Popover anchors of sheets.
#include "ui/controller/dialog_anchor.h"

#include "platform/ui/bar/ui_bar_button_item.h"
#include "platform/ui/controller/ui_menu_controller.h"
#include "platform/ui/controller/ui_popover_presentation_controller.h"
#include "platform/ui/controller/ui_view_controller.h"

bool isDialogAnchor(const std::shared_ptr<NSObject>& anchor) {
    return std::dynamic_pointer_cast<UIView>(anchor) || std::dynamic_pointer_cast<UIBarButtonItem>(anchor) ||
           std::dynamic_pointer_cast<UIMenuController>(anchor);
}

void anchorPopover(UIPopoverPresentationController& popover, const std::shared_ptr<NSObject>& anchor,
                   const std::shared_ptr<UIViewController>& receiver) {
    if (auto view = std::dynamic_pointer_cast<UIView>(anchor)) {
        popover.setSourceView(view);
        popover.setSourceRect(view->bounds());
    } else if (auto item = std::dynamic_pointer_cast<UIBarButtonItem>(anchor)) {
        popover.setBarButtonItem(item);
    } else if (auto menu = std::dynamic_pointer_cast<UIMenuController>(anchor); menu && receiver) {
        popover.setSourceView(receiver->view());
        popover.setSourceRect(receiver->view()->convertRectFromView(menu->menuFrame(), nullptr));
    }
}
