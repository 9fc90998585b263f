// The shared edit menu: the rectangle it points at, in a target view, and whether it shows. This
// host draws no edit menu; the menu serves as an anchor for sheets. Main-thread only.
#pragma once

#include <memory>

#include "platform/runtime/geometry.h"
#include "platform/runtime/object.h"

class UIView;

class UIMenuController : public NSObject {
public:
    KORVA_MAKE(UIMenuController)
    static std::shared_ptr<UIMenuController> sharedMenuController();

    // The rectangle in the target view's coordinates.
    void setTargetRect(CGRect rect, const std::shared_ptr<UIView>& view);
    CGRect targetRect() const { return targetRect_; }
    std::shared_ptr<UIView> targetView() const { return targetView_.lock(); }
    bool isMenuVisible() const { return visible_; }
    void setMenuVisible(bool visible) { visible_ = visible; }
    // Where the menu stands in window coordinates: the target rectangle while visible, else empty.
    CGRect menuFrame() const;

    std::string className() const override { return "UIMenuController"; }

protected:
    UIMenuController() = default;

private:
    CGRect targetRect_ = CGRectZero;
    std::weak_ptr<UIView> targetView_;
    bool visible_ = false;
};
