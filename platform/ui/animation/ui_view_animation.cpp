// View block animations: a snapshot of the windows' view layers before the block, compared with
// the model after it, gives one layer animation per changed property.
#include "platform/ui/animation/ui_view_animation.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/dispatch/clock.h"
#include "platform/dispatch/run_loop.h"
#include "platform/ui/animation/ca_animation_engine.h"
#include "platform/ui/app/ui_application.h"
#include "platform/ui/app/ui_window.h"

namespace {

constexpr const char* kBlocksInteraction = "korva.blocksInteraction";
constexpr const char* kKeys[] = {"position", "bounds", "transform", "opacity", "backgroundColor"};

struct Snap {
    std::weak_ptr<CALayer> layer;
    CAValue values[5];
};

struct Capture {
    std::vector<Snap> snaps;
    std::unordered_map<const CALayer*, std::size_t> index;
};

struct Settings {
    double duration = 0.2;
    double delay = 0;
    UIViewAnimationOptions options = 0;
    std::optional<std::pair<double, double>> spring;  // damping ratio, velocity
    float repeatCount = 0;
    bool autoreverses = false;
    UIViewAnimation::Completion completion;
};

struct OpenFrame {
    std::string name;
    Settings settings;
    std::function<void(const std::string&, bool)> didStop;
    std::shared_ptr<Capture> capture;
};

// One property change made inside a keyframe.
struct KeyframeChange {
    std::shared_ptr<CALayer> layer;
    const char* key;
    CAValue from, to;
    double start, end;  // fractions of the whole
};

struct State {
    bool enabled = true;
    std::vector<Capture*> captures;  // innermost last
    std::vector<OpenFrame> frames;
    std::vector<std::vector<KeyframeChange>*> keyframeBlocks;  // innermost last
};

State& state() {
    static State s;
    return s;
}

bool sameValue(const CAValue& a, const CAValue& b) {
    return a == b;
}

void snapLayer(Capture& c, const std::shared_ptr<CALayer>& layer) {
    Snap s{layer, {}};
    for (int k = 0; k < 5; ++k) s.values[k] = CAKeyPath::modelValue(*layer, kKeys[k]);
    c.index[layer.get()] = c.snaps.size();
    c.snaps.push_back(std::move(s));
}

void snapView(Capture& c, const std::shared_ptr<UIView>& view) {
    snapLayer(c, view->layer());
    for (const auto& sub : view->subviews()) snapView(c, sub);
}

std::shared_ptr<Capture> capture() {
    auto c = std::make_shared<Capture>();
    if (auto app = UIApplication::sharedApplication())
        for (const auto& w : app->windows()) snapView(*c, w);
    return c;
}

std::shared_ptr<CAMediaTimingFunction> curveFor(UIViewAnimationOptions options) {
    // The keyboard slides in fast and settles slowly.
    if (((options >> 16) & 7) == 7) return CAMediaTimingFunction::functionWithControlPoints(0.38f, 0.7f, 0.125f, 1.0f);
    switch ((options >> 16) & 3) {
        case 1: return CAMediaTimingFunction::functionWithName(kCAMediaTimingFunctionEaseIn);
        case 2: return CAMediaTimingFunction::functionWithName(kCAMediaTimingFunctionEaseOut);
        case 3: return CAMediaTimingFunction::functionWithName(kCAMediaTimingFunctionLinear);
        default: return CAMediaTimingFunction::functionWithName(kCAMediaTimingFunctionEaseInEaseOut);
    }
}

// Tells the enclosing captures that these layers' current values are already taken care of.
void claim(const Capture& mine) {
    for (Capture* outer : state().captures) {
        if (outer == &mine) continue;
        for (const auto& s : mine.snaps) {
            auto layer = s.layer.lock();
            if (!layer) continue;
            auto it = outer->index.find(layer.get());
            if (it == outer->index.end()) continue;
            // Only what changed inside this block: earlier changes stay the outer block's.
            for (int k = 0; k < 5; ++k) {
                CAValue now = CAKeyPath::modelValue(*layer, kKeys[k]);
                if (!sameValue(now, s.values[k])) outer->snaps[it->second].values[k] = now;
            }
        }
    }
}

void runLater(UIViewAnimation::Completion completion) {
    if (!completion) return;
    RunLoop::main().perform([c = std::move(completion)] { c(true); });
}

void animateChanges(const Capture& before, Settings settings) {
    auto group = std::make_shared<CAAnimationCompletionGroup>();
    group->endsTogether = true;
    group->completion = std::move(settings.completion);
    auto timing = curveFor(settings.options);
    bool repeat = settings.options & UIViewAnimationOptionRepeat;
    bool autoreverse = settings.autoreverses || (settings.options & UIViewAnimationOptionAutoreverse);
    // Read every change first: attaching may interrupt older blocks, whose completions run at
    // once and may change the model again.
    struct Change {
        std::shared_ptr<CALayer> layer;
        const char* key;
        CAValue from, to;
    };
    std::vector<Change> changes;
    for (const auto& s : before.snaps) {
        auto layer = s.layer.lock();
        if (!layer) continue;
        for (int k = 0; k < 5; ++k) {
            CAValue now = CAKeyPath::modelValue(*layer, kKeys[k]);
            if (sameValue(now, s.values[k])) continue;
            CAValue from = CAAnimationEngine::isAnimatingKeyPath(*layer, kKeys[k])
                               ? CAAnimationEngine::presentedValue(*layer, kKeys[k])
                               : s.values[k];
            changes.push_back({layer, kKeys[k], std::move(from), std::move(now)});
        }
    }
    for (auto& c : changes) {
        std::shared_ptr<CABasicAnimation> a;
        if (settings.spring) {
            auto spring = CASpringAnimation::animationWithKeyPath(c.key);
            spring->configureForDuration(settings.duration, settings.spring->first, settings.spring->second);
            a = spring;
        } else {
            a = CABasicAnimation::animationWithKeyPath(c.key);
            a->setTimingFunction(timing);
        }
        a->setFromValue(std::move(c.from));
        a->setToValue(std::move(c.to));
        a->setDuration(settings.duration);
        if (repeat)
            a->setRepeatCount(std::numeric_limits<float>::infinity());
        else if (settings.repeatCount > 0)
            a->setRepeatCount(settings.repeatCount);
        a->setAutoreverses(autoreverse);
        if (!(settings.options & UIViewAnimationOptionAllowUserInteraction))
            a->setValueForKey(kBlocksInteraction, true);
        if (settings.delay > 0) {
            a->setBeginTime(CAAnimationEngine::convertTime(CACurrentMediaTime(), nullptr, c.layer.get()) +
                            settings.delay);
            a->setFillMode(CAFillMode::Backwards);
        }
        CAAnimationEngine::addAnimation(c.layer, a, c.key, {group});
    }
    group->committed = true;
    if (group->done) return;
    if (group->pending <= 0) {
        group->done = true;
        runLater(std::move(group->completion));
    }
}

// Where one property goes over a key-frame block's timeline: (time, value) points from 0 to 1.
std::pair<std::vector<double>, std::vector<CAValue>> keyframePoints(const std::vector<const KeyframeChange*>& changes) {
    std::vector<double> times{0};
    std::vector<CAValue> values{changes.front()->from};
    for (const KeyframeChange* c : changes) {
        // A keyframe that starts before the last point takes over from its start.
        while (times.size() > 1 && times.back() > c->start) {
            times.pop_back();
            values.pop_back();
        }
        if (c->start > times.back()) {
            times.push_back(c->start);
            values.push_back(values.back());
        }
        if (c->end > times.back()) {
            times.push_back(c->end);
            values.push_back(c->to);
        } else {
            values.back() = c->to;
        }
    }
    if (times.back() < 1) {
        times.push_back(1);
        values.push_back(values.back());
    }
    return {std::move(times), std::move(values)};
}

void animateKeyframeChanges(std::vector<KeyframeChange> changes, Settings settings) {
    std::stable_sort(changes.begin(), changes.end(),
                     [](const KeyframeChange& a, const KeyframeChange& b) { return a.start < b.start; });
    // Group by layer and property, keeping the order of their first change.
    std::vector<std::vector<const KeyframeChange*>> tracks;
    for (const auto& c : changes) {
        auto it = std::find_if(tracks.begin(), tracks.end(), [&](const auto& t) {
            return t.front()->layer == c.layer && std::string_view(t.front()->key) == c.key;
        });
        if (it == tracks.end())
            tracks.push_back({&c});
        else
            it->push_back(&c);
    }
    auto group = std::make_shared<CAAnimationCompletionGroup>();
    group->endsTogether = true;
    group->completion = std::move(settings.completion);
    bool repeat = settings.options & UIViewAnimationOptionRepeat;
    bool autoreverse = settings.options & UIViewAnimationOptionAutoreverse;
    for (const auto& track : tracks) {
        const auto& layer = track.front()->layer;
        const char* key = track.front()->key;
        auto [times, values] = keyframePoints(track);
        auto a = CAKeyframeAnimation::animationWithKeyPath(key);
        a->setKeyTimes(std::move(times));
        a->setValues(std::move(values));
        a->setDuration(settings.duration);
        if (repeat) a->setRepeatCount(std::numeric_limits<float>::infinity());
        a->setAutoreverses(autoreverse);
        if (!(settings.options & UIViewAnimationOptionAllowUserInteraction))
            a->setValueForKey(kBlocksInteraction, true);
        if (settings.delay > 0) {
            a->setBeginTime(CAAnimationEngine::convertTime(CACurrentMediaTime(), nullptr, layer.get()) +
                            settings.delay);
            a->setFillMode(CAFillMode::Backwards);
        }
        CAAnimationEngine::addAnimation(layer, a, key, {group});
    }
    group->committed = true;
    if (group->done) return;
    if (group->pending <= 0) {
        group->done = true;
        runLater(std::move(group->completion));
    }
}

void runBlock(Settings settings, const UIViewAnimation::Block& animations) {
    auto before = capture();
    state().captures.push_back(before.get());
    if (animations) animations();
    state().captures.pop_back();
    claim(*before);
    if (!state().enabled || settings.duration <= 0) {
        runLater(std::move(settings.completion));
        return;
    }
    animateChanges(*before, std::move(settings));
}

}  // namespace

void UIViewAnimation::animate(double duration, Block animations, Completion completion) {
    animate(duration, 0, 0, std::move(animations), std::move(completion));
}

void UIViewAnimation::animate(double duration, double delay, UIViewAnimationOptions options, Block animations,
                              Completion completion) {
    Settings s;
    s.duration = duration;
    s.delay = delay;
    s.options = options;
    s.completion = std::move(completion);
    runBlock(std::move(s), animations);
}

void UIViewAnimation::animateSpring(double duration, double delay, double dampingRatio, double velocity,
                                    UIViewAnimationOptions options, Block animations, Completion completion) {
    Settings s;
    s.duration = duration;
    s.delay = delay;
    s.options = options;
    s.spring = std::make_pair(dampingRatio, velocity);
    s.completion = std::move(completion);
    runBlock(std::move(s), animations);
}

void UIViewAnimation::animateKeyframes(double duration, double delay, UIViewAnimationOptions options, Block animations,
                                       Completion completion) {
    Settings settings;
    settings.duration = duration;
    settings.delay = delay;
    settings.options = options;
    settings.completion = std::move(completion);
    std::vector<KeyframeChange> changes;
    auto before = capture();
    state().captures.push_back(before.get());
    state().keyframeBlocks.push_back(&changes);
    if (animations) animations();
    state().keyframeBlocks.pop_back();
    state().captures.pop_back();
    claim(*before);
    if (!state().enabled || duration <= 0 || changes.empty()) {
        runLater(std::move(settings.completion));
        return;
    }
    animateKeyframeChanges(std::move(changes), std::move(settings));
}

void UIViewAnimation::addKeyframe(double relativeStartTime, double relativeDuration, const Block& animations) {
    if (state().keyframeBlocks.empty()) {
        if (animations) animations();
        return;
    }
    auto before = capture();
    state().captures.push_back(before.get());
    if (animations) animations();
    state().captures.pop_back();
    claim(*before);
    double start = std::clamp(relativeStartTime, 0.0, 1.0);
    double end = std::clamp(relativeStartTime + relativeDuration, start, 1.0);
    auto& changes = *state().keyframeBlocks.back();
    for (const auto& snap : before->snaps) {
        auto layer = snap.layer.lock();
        if (!layer) continue;
        for (int k = 0; k < 5; ++k) {
            CAValue now = CAKeyPath::modelValue(*layer, kKeys[k]);
            if (sameValue(now, snap.values[k])) continue;
            changes.push_back({layer, kKeys[k], snap.values[k], std::move(now), start, end});
        }
    }
}

void UIViewAnimation::performWithoutAnimation(const Block& block) {
    auto before = capture();
    state().captures.push_back(before.get());
    if (block) block();
    state().captures.pop_back();
    claim(*before);
}

void UIViewAnimation::setAnimationsEnabled(bool enabled) {
    state().enabled = enabled;
}
bool UIViewAnimation::areAnimationsEnabled() {
    return state().enabled;
}

void UIViewAnimation::beginAnimations(const std::string& name) {
    OpenFrame f;
    f.name = name;
    f.capture = capture();
    state().frames.push_back(std::move(f));
    state().captures.push_back(state().frames.back().capture.get());
}

namespace {
Settings* openSettings() {
    return state().frames.empty() ? nullptr : &state().frames.back().settings;
}
}  // namespace

void UIViewAnimation::setAnimationDuration(double duration) {
    if (auto s = openSettings()) s->duration = duration;
}
void UIViewAnimation::setAnimationDelay(double delay) {
    if (auto s = openSettings()) s->delay = delay;
}
void UIViewAnimation::setAnimationCurve(UIViewAnimationCurve curve) {
    if (auto s = openSettings()) s->options = (s->options & ~(7u << 16)) | (unsigned(curve) << 16);
}
void UIViewAnimation::setAnimationRepeatCount(float count) {
    if (auto s = openSettings()) s->repeatCount = count;
}
void UIViewAnimation::setAnimationRepeatAutoreverses(bool autoreverses) {
    if (auto s = openSettings()) s->autoreverses = autoreverses;
}
void UIViewAnimation::setAnimationBeginsFromCurrentState(bool fromCurrent) {
    if (auto s = openSettings())
        s->options = fromCurrent ? (s->options | UIViewAnimationOptionBeginFromCurrentState)
                                 : (s->options & ~UIViewAnimationOptionBeginFromCurrentState);
}
void UIViewAnimation::setAnimationDidStopHandler(std::function<void(const std::string&, bool)> handler) {
    if (!state().frames.empty()) state().frames.back().didStop = std::move(handler);
}

void UIViewAnimation::commitAnimations() {
    if (state().frames.empty()) return;
    OpenFrame f = std::move(state().frames.back());
    state().frames.pop_back();
    state().captures.pop_back();
    claim(*f.capture);
    if (f.didStop)
        f.settings.completion = [name = f.name, didStop = std::move(f.didStop)](bool finished) {
            didStop(name, finished);
        };
    if (!state().enabled || f.settings.duration <= 0) {
        runLater(std::move(f.settings.completion));
        return;
    }
    animateChanges(*f.capture, std::move(f.settings));
}

bool UIViewAnimation::blocksInteraction(const CALayer& layer) {
    for (const auto& key : CAAnimationEngine::animationKeys(layer)) {
        auto a = CAAnimationEngine::animationForKey(layer, key);
        if (!a || !a->valueForKey(kBlocksInteraction).isBool()) continue;
        // Only while it runs: a finished animation that stays attached does not block.
        double t = CAAnimationEngine::convertTime(CACurrentMediaTime(), nullptr, &layer);
        if (a->phaseAt(t).kind != CAAnimationPhase::Kind::After) return true;
    }
    return false;
}

void UIViewAnimation::reset() {
    state().frames.clear();
    state().captures.clear();
    state().keyframeBlocks.clear();
    state().enabled = true;
}
