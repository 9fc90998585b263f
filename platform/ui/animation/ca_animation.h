// Layer animations: the timing every animation shares (begin time, duration, speed, offset,
// repeats, autoreverse, fill), basic, key-frame and spring animations of one key path, and groups.
//
// Animations are values once attached: the layer keeps a copy, so a caller may reconfigure and
// attach the same object again. Main-thread only.
#pragma once

#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/runtime/object.h"
#include "platform/runtime/value.h"
#include "platform/ui/animation/ca_media_timing_function.h"
#include "platform/ui/animation/ca_value.h"

class CAAnimation;
class CALayer;
struct CALayerPresentation;

enum class CAFillMode { Removed, Forwards, Backwards, Both };
enum class CAAnimationCalculationMode { Linear, Discrete, Paced };

// Told when an attached animation starts and stops (finished = false when it was removed early).
class CAAnimationDelegate {
public:
    virtual ~CAAnimationDelegate() = default;
    virtual void animationDidStart(CAAnimation& /*animation*/) {}
    virtual void animationDidStop(CAAnimation& /*animation*/, bool /*finished*/) {}
};

// Where an animation stands at a moment of its parent's time.
struct CAAnimationPhase {
    enum class Kind { Before, Active, After } kind = Kind::Before;
    // Whether the animation shows a value now (active, or filling).
    bool applies = false;
    // Time within the current cycle, 0...duration, after autoreverse folding.
    double cycleTime = 0;
    // Completed cycles before this one (for cumulative animations).
    long cycle = 0;
};

class CAAnimation : public NSObject {
public:
    // Timing. duration 0 takes the enclosing transaction's duration (0.25 s by default) when attached.
    double beginTime() const { return beginTime_; }
    void setBeginTime(double t) { beginTime_ = t; }
    double duration() const { return duration_; }
    void setDuration(double d) { duration_ = d; }
    float speed() const { return speed_; }
    void setSpeed(float s) { speed_ = s; }
    double timeOffset() const { return timeOffset_; }
    void setTimeOffset(double t) { timeOffset_ = t; }
    // 0 means once; infinity repeats forever.
    float repeatCount() const { return repeatCount_; }
    void setRepeatCount(float r) { repeatCount_ = r; }
    double repeatDuration() const { return repeatDuration_; }
    void setRepeatDuration(double d) { repeatDuration_ = d; }
    bool autoreverses() const { return autoreverses_; }
    void setAutoreverses(bool a) { autoreverses_ = a; }
    CAFillMode fillMode() const { return fillMode_; }
    void setFillMode(CAFillMode f) { fillMode_ = f; }
    bool isRemovedOnCompletion() const { return removedOnCompletion_; }
    void setRemovedOnCompletion(bool r) { removedOnCompletion_ = r; }
    std::shared_ptr<CAMediaTimingFunction> timingFunction() const { return timingFunction_; }
    void setTimingFunction(std::shared_ptr<CAMediaTimingFunction> f) { timingFunction_ = std::move(f); }

    // Held weakly: a view is often the delegate of its own layer's animations.
    std::shared_ptr<CAAnimationDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const std::shared_ptr<CAAnimationDelegate>& d) { delegate_ = d; }

    // Arbitrary values callers hang on an animation (key-value coding on the platform).
    Value valueForKey(const std::string& key) const;
    void setValueForKey(const std::string& key, Value value);

    // The length of the whole run (repeats and autoreverse included); infinity for endless ones.
    double activeDuration() const;
    // Where the animation stands at `parentTime` (the layer's local time for a top-level animation).
    CAAnimationPhase phaseAt(double parentTime) const;
    // Parent time at which the active run ends; none when it never ends or the speed is 0.
    std::optional<double> endTimeInParent() const;

    // Writes the animated values at `parentTime` into the presentation record.
    void applyAt(double parentTime, const CALayer& layer, CALayerPresentation& presentation) const;
    // The key paths this animation (or its children) animates.
    virtual std::vector<std::string> keyPaths() const { return {}; }

    virtual std::shared_ptr<CAAnimation> copy() const = 0;
    std::string className() const override { return "CAAnimation"; }

protected:
    CAAnimation() = default;
    // The value at time `t` (0...duration) of cycle `cycle`, already through the timing function
    // for property animations.
    virtual void applyCycleTime(double t, long cycle, const CALayer& layer, CALayerPresentation& p) const = 0;
    // Copies every setting (NSObject itself is not copyable).
    CAAnimation(const CAAnimation& other);
    // Makes a copy of a concrete animation through its copy constructor.
    template <class T>
    static std::shared_ptr<T> cloneOf(const T& source) {
        struct Enabler : T {
            explicit Enabler(const T& s) : T(s) {}
        };
        return std::make_shared<Enabler>(source);
    }

private:
    double beginTime_ = 0;
    double duration_ = 0;
    float speed_ = 1;
    double timeOffset_ = 0;
    float repeatCount_ = 0;
    double repeatDuration_ = 0;
    bool autoreverses_ = false;
    CAFillMode fillMode_ = CAFillMode::Removed;
    bool removedOnCompletion_ = true;
    std::shared_ptr<CAMediaTimingFunction> timingFunction_;
    std::weak_ptr<CAAnimationDelegate> delegate_;
    std::vector<std::pair<std::string, Value>> values_;
};

// An animation of one key path.
class CAPropertyAnimation : public CAAnimation {
public:
    const std::string& keyPath() const { return keyPath_; }
    void setKeyPath(std::string k) { keyPath_ = std::move(k); }
    // The animated value is added to the model value.
    bool isAdditive() const { return additive_; }
    void setAdditive(bool a) { additive_ = a; }
    // Each repeat starts where the previous one ended.
    bool isCumulative() const { return cumulative_; }
    void setCumulative(bool c) { cumulative_ = c; }
    std::vector<std::string> keyPaths() const override { return {keyPath_}; }
    std::string className() const override { return "CAPropertyAnimation"; }

protected:
    explicit CAPropertyAnimation(std::string keyPath) : keyPath_(std::move(keyPath)) {}
    void applyCycleTime(double t, long cycle, const CALayer& layer, CALayerPresentation& p) const override;
    // The value at the paced fraction f (0...1 after the timing function), before cumulation.
    virtual CAValue valueAtFraction(double f, const CALayer& layer, const CAValue& model) const = 0;
    // The change one whole cycle makes (for cumulative repeats); none when it has no such change.
    virtual CAValue cycleDelta(const CALayer& layer, const CAValue& model) const = 0;
    // Fraction of the cycle after the animation's own pacing; springs use physical time instead.
    virtual double pace(double t) const;

private:
    std::string keyPath_;
    bool additive_ = false;
    bool cumulative_ = false;
};

// From one value to another; a missing end is the model value (by gives to = from + by).
class CABasicAnimation : public CAPropertyAnimation {
public:
    static std::shared_ptr<CABasicAnimation> animationWithKeyPath(const std::string& keyPath);
    const CAValue& fromValue() const { return from_; }
    void setFromValue(CAValue v) { from_ = std::move(v); }
    const CAValue& toValue() const { return to_; }
    void setToValue(CAValue v) { to_ = std::move(v); }
    const CAValue& byValue() const { return by_; }
    void setByValue(CAValue v) { by_ = std::move(v); }
    std::shared_ptr<CAAnimation> copy() const override;
    std::string className() const override { return "CABasicAnimation"; }

protected:
    explicit CABasicAnimation(std::string keyPath) : CAPropertyAnimation(std::move(keyPath)) {}
    CAValue valueAtFraction(double f, const CALayer& layer, const CAValue& model) const override;
    CAValue cycleDelta(const CALayer& layer, const CAValue& model) const override;
    // The two ends, filled in from the model where missing.
    std::pair<CAValue, CAValue> ends(const CAValue& model) const;

private:
    CAValue from_, to_, by_;
};

// A damped spring from fromValue to toValue; time runs physically (the timing function is unused).
class CASpringAnimation : public CABasicAnimation {
public:
    static std::shared_ptr<CASpringAnimation> animationWithKeyPath(const std::string& keyPath);
    double mass() const { return mass_; }
    void setMass(double m) { mass_ = m; }
    double stiffness() const { return stiffness_; }
    void setStiffness(double s) { stiffness_ = s; }
    double damping() const { return damping_; }
    void setDamping(double d) { damping_ = d; }
    // In units of the whole distance per second.
    double initialVelocity() const { return initialVelocity_; }
    void setInitialVelocity(double v) { initialVelocity_ = v; }
    // The time after which the spring stays within a thousandth of its end.
    double settlingDuration() const;
    // Stiffness and damping for a damping ratio that settles in `duration`.
    void configureForDuration(double duration, double dampingRatio, double velocity);
    std::shared_ptr<CAAnimation> copy() const override;
    std::string className() const override { return "CASpringAnimation"; }

protected:
    explicit CASpringAnimation(std::string keyPath) : CABasicAnimation(std::move(keyPath)) {}
    double pace(double t) const override;

private:
    double mass_ = 1, stiffness_ = 100, damping_ = 10, initialVelocity_ = 0;
};

// Through a list of values (or along a path, for points) at key times.
class CAKeyframeAnimation : public CAPropertyAnimation {
public:
    static std::shared_ptr<CAKeyframeAnimation> animationWithKeyPath(const std::string& keyPath);
    const std::vector<CAValue>& values() const { return values_; }
    void setValues(std::vector<CAValue> v) { values_ = std::move(v); }
    // Fractions 0...1, one per value; empty spaces the values evenly.
    const std::vector<double>& keyTimes() const { return keyTimes_; }
    void setKeyTimes(std::vector<double> t) { keyTimes_ = std::move(t); }
    // One per segment (values - 1); a missing entry is linear.
    const std::vector<std::shared_ptr<CAMediaTimingFunction>>& timingFunctions() const { return timingFunctions_; }
    void setTimingFunctions(std::vector<std::shared_ptr<CAMediaTimingFunction>> f) { timingFunctions_ = std::move(f); }
    // For point key paths: a path replaces the values, travelled at an even speed.
    const std::optional<CGPath>& path() const { return path_; }
    void setPath(std::optional<CGPath> p) { path_ = std::move(p); }
    CAAnimationCalculationMode calculationMode() const { return calculationMode_; }
    void setCalculationMode(CAAnimationCalculationMode m) { calculationMode_ = m; }
    std::shared_ptr<CAAnimation> copy() const override;
    std::string className() const override { return "CAKeyframeAnimation"; }

protected:
    explicit CAKeyframeAnimation(std::string keyPath) : CAPropertyAnimation(std::move(keyPath)) {}
    CAValue valueAtFraction(double f, const CALayer& layer, const CAValue& model) const override;
    CAValue cycleDelta(const CALayer& layer, const CAValue& model) const override;

private:
    CAValue pointOnPath(double f) const;
    std::vector<CAValue> values_;
    std::vector<double> keyTimes_;
    std::vector<std::shared_ptr<CAMediaTimingFunction>> timingFunctions_;
    std::optional<CGPath> path_;
    CAAnimationCalculationMode calculationMode_ = CAAnimationCalculationMode::Linear;
};

// Several animations run on one timeline; children without a duration take the group's.
class CAAnimationGroup : public CAAnimation {
public:
    static std::shared_ptr<CAAnimationGroup> animation();
    const std::vector<std::shared_ptr<CAAnimation>>& animations() const { return animations_; }
    void setAnimations(std::vector<std::shared_ptr<CAAnimation>> a) { animations_ = std::move(a); }
    std::vector<std::string> keyPaths() const override;
    std::shared_ptr<CAAnimation> copy() const override;
    std::string className() const override { return "CAAnimationGroup"; }

protected:
    CAAnimationGroup() = default;
    void applyCycleTime(double t, long cycle, const CALayer& layer, CALayerPresentation& p) const override;

private:
    std::vector<std::shared_ptr<CAAnimation>> animations_;
};
