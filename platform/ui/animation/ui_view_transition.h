// View transitions: one view takes another's place in its superview at once, while on screen the
// pair turns about the vertical axis with perspective over the duration (on the animation clock):
// the leaving view turns away edge-on in the first half, the arriving one turns in during the
// second. Main-thread only.
#pragma once

#include <functional>
#include <memory>

#include "platform/ui/animation/ui_view_animation.h"

class UIView;

inline constexpr UIViewAnimationOptions UIViewAnimationOptionTransitionNone = 0 << 20;
inline constexpr UIViewAnimationOptions UIViewAnimationOptionTransitionFlipFromLeft = 1 << 20;
inline constexpr UIViewAnimationOptions UIViewAnimationOptionTransitionFlipFromRight = 2 << 20;

class UIViewTransition {
public:
    // `from` leaves its superview and `to` takes its place (same index); without a superview
    // nothing moves and the completion hears false. Without a flip option, or with a duration of
    // 0, the exchange is not animated. The completion runs when the turn has ended.
    static void transitionFromView(const std::shared_ptr<UIView>& from, const std::shared_ptr<UIView>& to,
                                   double duration, UIViewAnimationOptions options,
                                   std::function<void(bool finished)> completion = nullptr);
    // The key of the turn on the superview's layer, and of the leaving view's picture.
    static constexpr const char* kFlipKey = "transition.flip";
};
