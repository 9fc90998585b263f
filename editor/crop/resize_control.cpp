// A crop handle's pan.
#include "editor/crop/resize_control.h"

#include <cmath>

#include "platform/ui/draw/color.h"

void ResizeControl::init() {
    UIView::init();
    setBackgroundColor(UIColor::clearColor());
    setExclusiveTouch(true);
    std::weak_ptr<ResizeControl> weak = self<ResizeControl>();
    UIViewAddGestureRecognizer(*this, UIPanGestureRecognizer::make([weak](UIGestureRecognizer& r) {
        if (auto me = weak.lock()) me->handlePan(static_cast<UIPanGestureRecognizer&>(r));
    }));
}

void ResizeControl::handlePan(UIPanGestureRecognizer& pan) {
    auto d = delegate_.lock();
    auto self = shared_from_this();  // the delegate may let go of the handle
    switch (pan.state()) {
        case UIGestureRecognizerState::Began: {
            CGPoint t = pan.translationInView(superview());
            startPoint_ = {std::round(t.x), t.y};
            if (d) d->resizeControlViewDidBeginResizing(*this);
            break;
        }
        case UIGestureRecognizerState::Changed: {
            CGPoint t = pan.translationInView(superview());
            translation_ = {std::round(t.x + startPoint_.x), std::round(t.y + startPoint_.y)};
            if (d) d->resizeControlViewDidResize(*this);
            break;
        }
        case UIGestureRecognizerState::Ended:
        case UIGestureRecognizerState::Cancelled:
            if (d) d->resizeControlViewDidEndResizing(*this);
            break;
        default: break;
    }
}
