// Where a sheet or share sheet points from on a tablet: a view (its bounds), a bar button item,
// or the shared edit menu (the receiver's view, at the menu's frame).
#pragma once

#include <memory>

class NSObject;
class UIViewController;
class UIPopoverPresentationController;

bool isDialogAnchor(const std::shared_ptr<NSObject>& anchor);
void anchorPopover(UIPopoverPresentationController& popover, const std::shared_ptr<NSObject>& anchor,
                   const std::shared_ptr<UIViewController>& receiver);
