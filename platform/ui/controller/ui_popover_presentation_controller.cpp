// Where a popover goes: below its source when it fits, else above, else beside; kept on screen.
#include "platform/ui/controller/ui_popover_presentation_controller.h"

#include <algorithm>

#include "platform/ui/bar/ui_bar_button_item.h"
#include "platform/ui/controller/ui_view_controller.h"
#include "platform/ui/view/ui_view.h"

UIModalPresentationStyle UIPopoverPresentationControllerDelegate::adaptivePresentationStyle(
    UIPopoverPresentationController&) {
    return UIModalPresentationStyle::FullScreen;
}

bool UIPopoverPresentationController::keepsPopoverStyle(CGFloat containerWidth) {
    if (containerWidth >= 600) return true;
    auto d = delegate();
    return d && d->adaptivePresentationStyle(*this) == UIModalPresentationStyle::None;
}

CGRect UIPopoverPresentationController::frameInWindow(CGRect bounds, CGSize size) {
    constexpr CGFloat margin = 8;
    constexpr CGFloat arrow = 13;
    CGRect anchor = CGRectMake(CGRectGetMidX(bounds), CGRectGetMidY(bounds), 0, 0);
    if (auto v = sourceView()) {
        CGRect r = CGRectIsEmpty(sourceRect_) ? v->bounds() : sourceRect_;
        anchor = v->convertRectToView(r, nullptr);
    } else if (auto item = barButtonItem(); item && item->view()) {
        anchor = item->view()->convertRectToView(item->view()->bounds(), nullptr);
    }
    size.width = std::min(size.width, bounds.size.width - 2 * margin);
    size.height = std::min(size.height, bounds.size.height - 2 * margin);
    auto clampX = [&](CGFloat x) {
        return std::clamp(x, bounds.origin.x + margin, CGRectGetMaxX(bounds) - margin - size.width);
    };
    auto clampY = [&](CGFloat y) {
        return std::clamp(y, bounds.origin.y + margin, CGRectGetMaxY(bounds) - margin - size.height);
    };
    CGFloat below = CGRectGetMaxY(bounds) - CGRectGetMaxY(anchor) - arrow - margin;
    CGFloat above = CGRectGetMinY(anchor) - bounds.origin.y - arrow - margin;
    CGFloat x = clampX(CGRectGetMidX(anchor) - size.width / 2);
    if ((permitted_ & UIPopoverArrowDirectionUp) && below >= size.height) {
        arrow_ = UIPopoverArrowDirectionUp;
        return CGRectMake(x, CGRectGetMaxY(anchor) + arrow, size.width, size.height);
    }
    if ((permitted_ & UIPopoverArrowDirectionDown) && above >= size.height) {
        arrow_ = UIPopoverArrowDirectionDown;
        return CGRectMake(x, CGRectGetMinY(anchor) - arrow - size.height, size.width, size.height);
    }
    CGFloat y = clampY(CGRectGetMidY(anchor) - size.height / 2);
    CGFloat right = CGRectGetMaxX(bounds) - CGRectGetMaxX(anchor) - arrow - margin;
    if ((permitted_ & UIPopoverArrowDirectionLeft) && right >= size.width) {
        arrow_ = UIPopoverArrowDirectionLeft;
        return CGRectMake(CGRectGetMaxX(anchor) + arrow, y, size.width, size.height);
    }
    if (permitted_ & UIPopoverArrowDirectionRight) {
        arrow_ = UIPopoverArrowDirectionRight;
        return CGRectMake(std::max(bounds.origin.x + margin, CGRectGetMinX(anchor) - arrow - size.width), y, size.width,
                          size.height);
    }
    // No permitted side has room: the larger vertical side, overlapping the source if it must.
    arrow_ = below >= above ? UIPopoverArrowDirectionUp : UIPopoverArrowDirectionDown;
    CGFloat top = below >= above ? CGRectGetMaxY(anchor) + arrow : CGRectGetMinY(anchor) - arrow - size.height;
    return CGRectMake(x, clampY(top), size.width, size.height);
}
