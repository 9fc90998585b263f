// Touches: where they are, in any view's coordinates.
#include "platform/ui/gesture/ui_touch.h"

#include "platform/ui/view/ui_view.h"

UITouch::UITouch(long identifier, CGPoint windowLocation, double timestamp, std::shared_ptr<UIView> view,
                 std::shared_ptr<UIWindow> window, int tapCount)
    : identifier_(identifier),
      location_(windowLocation),
      previous_(windowLocation),
      timestamp_(timestamp),
      view_(std::move(view)),
      window_(std::move(window)),
      tapCount_(tapCount) {}

void UITouch::moveTo(CGPoint windowLocation, UITouchPhase phase, double timestamp) {
    previous_ = location_;
    location_ = windowLocation;
    phase_ = phase;
    timestamp_ = timestamp;
}

namespace {
CGPoint toView(CGPoint p, const std::shared_ptr<UIView>& view) {
    if (!view) return p;
    return view->convertPointFromView(p, nullptr);
}
}  // namespace

CGPoint UITouch::locationInView(const std::shared_ptr<UIView>& view) const {
    return toView(location_, view);
}
CGPoint UITouch::previousLocationInView(const std::shared_ptr<UIView>& view) const {
    return toView(previous_, view);
}

void UITouchPassToNextResponder(const UIView& from, UITouchPhase phase, const UITouchSet& touches,
                                const UIEvent& event) {
    for (auto responder = from.nextResponder(); responder; responder = responder->nextResponder()) {
        auto* receiver = dynamic_cast<UITouchReceiver*>(responder.get());
        if (!receiver) continue;
        switch (phase) {
            case UITouchPhase::Began: receiver->touchesBegan(touches, event); break;
            case UITouchPhase::Moved:
            case UITouchPhase::Stationary: receiver->touchesMoved(touches, event); break;
            case UITouchPhase::Ended: receiver->touchesEnded(touches, event); break;
            case UITouchPhase::Cancelled: receiver->touchesCancelled(touches, event); break;
        }
        return;
    }
}
