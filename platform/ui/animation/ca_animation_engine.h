// The animation engine: the animations attached to each layer, their clock, and the presentation
// values the compositor draws.
//
// Layers keep their animations here, keyed by the layer (held weakly). Once per run-loop turn
// (and at each animation's end, on a timer) the engine works out every animated layer's
// presentation values at the current time, sets them on the layer, and reports starts and stops
// in time order. Tests read model and presentation values at any virtual time. Main-thread only.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/animation/ca_animation.h"

class CALayer;
struct CALayerPresentation;

// Shared by the animations of one transaction or one view animation block: the completion runs
// once, when every member has stopped.
struct CAAnimationCompletionGroup {
    std::function<void(bool finished)> completion;
    // A block's members end together: removing one removes the others.
    bool endsTogether = false;
    int pending = 0;
    bool committed = false;
    bool allFinished = true;
    bool done = false;
    std::vector<std::pair<std::weak_ptr<CALayer>, std::uint64_t>> members;
};

class CAAnimationEngine {
public:
    // Attaches a copy of the animation under the key (an empty key is never replaced); an
    // animation already under that key is removed first (it stops unfinished). A begin time of 0
    // means "now" in the layer's time, a duration of 0 the transaction's duration.
    static void addAnimation(const std::shared_ptr<CALayer>& layer, const std::shared_ptr<CAAnimation>& animation,
                             const std::string& key,
                             const std::vector<std::shared_ptr<CAAnimationCompletionGroup>>& groups = {});
    static void removeAnimationForKey(const CALayer& layer, const std::string& key);
    static void removeAllAnimations(const CALayer& layer);
    // Keys in the order attached (animations added without a key are not listed).
    static std::vector<std::string> animationKeys(const CALayer& layer);
    static std::shared_ptr<CAAnimation> animationForKey(const CALayer& layer, const std::string& key);
    static bool hasAnimations(const CALayer& layer);
    // Whether an attached animation (running or filling) drives this key path.
    static bool isAnimatingKeyPath(const CALayer& layer, const std::string& keyPath);

    // The presentation at the current time (none when nothing animates the layer).
    static std::optional<CALayerPresentation> presentation(const CALayer& layer);
    // The value shown now at the key path: animated, or the model value.
    static CAValue presentedValue(const CALayer& layer, const std::string& keyPath);

    // The layer's local time for a media time (CACurrentMediaTime), through the speed, begin time
    // and offset of the layer and its ancestors; and the reverse. A null `from` is media time.
    static double convertTime(double t, const CALayer* from, const CALayer* to);

    // Brings every layer's presentation and the start/stop reports up to the current time. The
    // engine calls it itself once per run-loop turn; tests may call it after moving the clock.
    static void update();
    // Layers with animations attached (for the debug dump and tests).
    static std::size_t animatedLayerCount();
    // One line per attached animation (layer, key, class, key paths, phase), for debugging.
    static std::string debugDescription();
    // Forgets every animation without reporting (a clean slate between tests).
    static void reset();
};
