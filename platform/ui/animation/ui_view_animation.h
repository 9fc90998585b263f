// View block animations: the changes a block makes to the views of the application's windows
// (alpha, transform, frame, centre, background colour, scroll offset, including frames that move
// through constraints and layoutIfNeeded inside the block) become layer animations from the old
// values to the new ones. The model takes the new values at once; the presentation moves.
//
// A block's animations end together: removing one (or replacing it with a newer animation of the
// same property) removes the rest, returns their layers to the model values and calls the
// completion once with finished = false. Main-thread only.
#pragma once

#include <functional>
#include <memory>
#include <string>

class CALayer;

using UIViewAnimationOptions = unsigned;
inline constexpr UIViewAnimationOptions UIViewAnimationOptionLayoutSubviews = 1 << 0;
inline constexpr UIViewAnimationOptions UIViewAnimationOptionAllowUserInteraction = 1 << 1;
inline constexpr UIViewAnimationOptions UIViewAnimationOptionBeginFromCurrentState = 1 << 2;
inline constexpr UIViewAnimationOptions UIViewAnimationOptionRepeat = 1 << 3;
inline constexpr UIViewAnimationOptions UIViewAnimationOptionAutoreverse = 1 << 4;
inline constexpr UIViewAnimationOptions UIViewAnimationOptionCurveEaseInOut = 0 << 16;
inline constexpr UIViewAnimationOptions UIViewAnimationOptionCurveEaseIn = 1 << 16;
inline constexpr UIViewAnimationOptions UIViewAnimationOptionCurveEaseOut = 2 << 16;
inline constexpr UIViewAnimationOptions UIViewAnimationOptionCurveLinear = 3 << 16;

enum class UIViewAnimationCurve { EaseInOut = 0, EaseIn = 1, EaseOut = 2, Linear = 3 };

class UIViewAnimation {
public:
    using Block = std::function<void()>;
    using Completion = std::function<void(bool finished)>;

    static void animate(double duration, Block animations, Completion completion = nullptr);
    static void animate(double duration, double delay, UIViewAnimationOptions options, Block animations,
                        Completion completion = nullptr);
    // A spring that settles in `duration`; damping ratio 1 does not overshoot; the velocity is in
    // whole distances per second.
    static void animateSpring(double duration, double delay, double dampingRatio, double velocity,
                              UIViewAnimationOptions options, Block animations, Completion completion = nullptr);
    // Key-frame animations: the block calls addKeyframe for each stretch of the timeline (start and
    // duration as fractions of the whole); a property changed by several keyframes passes through
    // each one's value in order of their start (a later keyframe that starts before an earlier
    // one ends takes over from its start). Repeat and autoreverse options apply to the whole.
    static void animateKeyframes(double duration, double delay, UIViewAnimationOptions options, Block animations,
                                 Completion completion = nullptr);
    // Outside a key-frame block the changes are made at once.
    static void addKeyframe(double relativeStartTime, double relativeDuration, const Block& animations);
    // Runs the block with animations off (its changes are not animated by an enclosing block).
    static void performWithoutAnimation(const Block& block);
    static void setAnimationsEnabled(bool enabled);
    static bool areAnimationsEnabled();

    // The begin/commit form: changes between the two calls are animated with these settings.
    static void beginAnimations(const std::string& name = {});
    static void setAnimationDuration(double duration);
    static void setAnimationDelay(double delay);
    static void setAnimationCurve(UIViewAnimationCurve curve);
    static void setAnimationRepeatCount(float count);
    static void setAnimationRepeatAutoreverses(bool autoreverses);
    static void setAnimationBeginsFromCurrentState(bool fromCurrent);
    // Told (name, finished) when the committed animations end.
    static void setAnimationDidStopHandler(std::function<void(const std::string&, bool)> handler);
    static void commitAnimations();

    // Whether the layer is being moved by a block that did not allow user interaction; touches
    // then pass such a view by.
    static bool blocksInteraction(const CALayer& layer);

    // Forgets open begin/commit frames (tests).
    static void reset();
};
