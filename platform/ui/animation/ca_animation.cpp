// Timing shared by every animation, and the values of basic, spring, key-frame and group animations.
#include "platform/ui/animation/ca_animation.h"

#include <algorithm>
#include <cmath>

#include "platform/ui/layer/ca_layer.h"

CAAnimation::CAAnimation(const CAAnimation& o)
    : NSObject(),
      beginTime_(o.beginTime_),
      duration_(o.duration_),
      speed_(o.speed_),
      timeOffset_(o.timeOffset_),
      repeatCount_(o.repeatCount_),
      repeatDuration_(o.repeatDuration_),
      autoreverses_(o.autoreverses_),
      fillMode_(o.fillMode_),
      removedOnCompletion_(o.removedOnCompletion_),
      timingFunction_(o.timingFunction_),
      delegate_(o.delegate_),
      values_(o.values_) {}

Value CAAnimation::valueForKey(const std::string& key) const {
    for (const auto& [k, v] : values_)
        if (k == key) return v;
    return {};
}

void CAAnimation::setValueForKey(const std::string& key, Value value) {
    for (auto& [k, v] : values_) {
        if (k == key) {
            v = std::move(value);
            return;
        }
    }
    values_.emplace_back(key, std::move(value));
}

double CAAnimation::activeDuration() const {
    double d = std::max(duration_, 0.0);
    double cycle = autoreverses_ ? 2 * d : d;
    if (repeatDuration_ > 0) return repeatDuration_;
    double count = repeatCount_ > 0 ? double(repeatCount_) : 1.0;
    if (std::isinf(count) || count >= 3.0e38) return std::numeric_limits<double>::infinity();
    return cycle * count;
}

CAAnimationPhase CAAnimation::phaseAt(double parentTime) const {
    CAAnimationPhase phase;
    double d = std::max(duration_, 0.0);
    double local = (parentTime - beginTime_) * speed_ + timeOffset_;
    double active = activeDuration();
    double cycleLength = autoreverses_ ? 2 * d : d;
    auto fold = [&](double t, bool atEnd) {
        if (cycleLength <= 0) {
            phase.cycleTime = atEnd ? d : 0;
            return;
        }
        double k = atEnd ? std::ceil(t / cycleLength) - 1 : std::floor(t / cycleLength);
        if (k < 0) k = 0;
        double within = t - k * cycleLength;
        if (autoreverses_ && within > d) within = 2 * d - within;
        phase.cycle = long(k);
        phase.cycleTime = std::clamp(within, 0.0, d);
    };
    // A little slack so that a timer firing exactly at a boundary lands on the far side of it.
    constexpr double kSlack = 1e-9;
    if (local < -kSlack) {
        phase.kind = CAAnimationPhase::Kind::Before;
        phase.applies = fillMode_ == CAFillMode::Backwards || fillMode_ == CAFillMode::Both;
        phase.cycleTime = 0;
        return phase;
    }
    if (local >= active - kSlack) {
        phase.kind = CAAnimationPhase::Kind::After;
        phase.applies = fillMode_ == CAFillMode::Forwards || fillMode_ == CAFillMode::Both;
        fold(active, true);
        return phase;
    }
    phase.kind = CAAnimationPhase::Kind::Active;
    phase.applies = true;
    fold(std::max(local, 0.0), false);
    return phase;
}

std::optional<double> CAAnimation::endTimeInParent() const {
    double active = activeDuration();
    if (std::isinf(active) || speed_ == 0) return std::nullopt;
    return beginTime_ + (active - timeOffset_) / speed_;
}

void CAAnimation::applyAt(double parentTime, const CALayer& layer, CALayerPresentation& presentation) const {
    CAAnimationPhase phase = phaseAt(parentTime);
    if (!phase.applies) return;
    applyCycleTime(phase.cycleTime, phase.cycle, layer, presentation);
}

// ---- property animations ----

double CAPropertyAnimation::pace(double t) const {
    double d = duration();
    double f = d > 0 ? t / d : 1.0;
    auto tf = timingFunction();
    return tf ? tf->evaluate(f) : f;
}

void CAPropertyAnimation::applyCycleTime(double t, long cycle, const CALayer& layer, CALayerPresentation& p) const {
    CAValue model = CAKeyPath::presentedValue(layer, &p, keyPath_);
    CAValue value = valueAtFraction(pace(t), layer, model);
    if (CAValueIsNone(value) && !CAValueIsNone(model)) return;
    if (cumulative_ && cycle > 0) {
        CAValue delta = cycleDelta(layer, model);
        if (!CAValueIsNone(delta)) {
            CAValue shifted = CAValueAdd(value, CAValueScale(delta, double(cycle)));
            if (!CAValueIsNone(shifted)) value = shifted;
        }
    }
    if (additive_) {
        CAValue sum = CAValueAdd(model, value);
        if (!CAValueIsNone(sum)) value = sum;
    }
    CAKeyPath::applyToPresentation(layer, p, keyPath_, value);
}

// ---- basic ----

std::shared_ptr<CABasicAnimation> CABasicAnimation::animationWithKeyPath(const std::string& keyPath) {
    return make<CABasicAnimation>(keyPath);
}

std::shared_ptr<CAAnimation> CABasicAnimation::copy() const {
    return cloneOf(*this);
}

std::pair<CAValue, CAValue> CABasicAnimation::ends(const CAValue& model) const {
    bool hasFrom = !CAValueIsNone(from_), hasTo = !CAValueIsNone(to_), hasBy = !CAValueIsNone(by_);
    if (hasFrom && hasTo) return {from_, to_};
    if (hasFrom && hasBy) return {from_, CAValueAdd(from_, by_)};
    if (hasBy && hasTo) return {CAValueSubtract(to_, by_), to_};
    if (hasFrom) return {from_, model};
    if (hasTo) return {model, to_};
    if (hasBy) return {model, CAValueAdd(model, by_)};
    return {model, model};
}

CAValue CABasicAnimation::valueAtFraction(double f, const CALayer&, const CAValue& model) const {
    auto [a, b] = ends(model);
    if (CAValueIsNone(a)) return f < 0.5 ? a : b;
    return CAValueInterpolate(a, b, f);
}

CAValue CABasicAnimation::cycleDelta(const CALayer&, const CAValue& model) const {
    auto [a, b] = ends(model);
    return CAValueSubtract(b, a);
}

// ---- spring ----

std::shared_ptr<CASpringAnimation> CASpringAnimation::animationWithKeyPath(const std::string& keyPath) {
    return make<CASpringAnimation>(keyPath);
}

std::shared_ptr<CAAnimation> CASpringAnimation::copy() const {
    return cloneOf(*this);
}

void CASpringAnimation::configureForDuration(double duration, double dampingRatio, double velocity) {
    double zeta = std::clamp(dampingRatio, 0.05, 1.0);
    double d = duration > 0 ? duration : 0.5;
    // A thousandth of the distance left after `duration`: e^(-zeta * omega * d) = 1e-3.
    double omega = std::log(1000.0) / (zeta * d);
    mass_ = 1;
    stiffness_ = omega * omega;
    damping_ = 2 * zeta * omega;
    initialVelocity_ = velocity;
    setDuration(d);
}

double CASpringAnimation::settlingDuration() const {
    double omega = std::sqrt(stiffness_ / std::max(mass_, 1e-9));
    double zeta = damping_ / (2 * std::sqrt(stiffness_ * std::max(mass_, 1e-9)));
    if (omega <= 0 || zeta <= 0) return std::numeric_limits<double>::infinity();
    return std::log(1000.0) / (std::min(zeta, 1.0) * omega);
}

double CASpringAnimation::pace(double t) const {
    if (t >= duration()) return 1.0;  // lands exactly on the end value
    double m = std::max(mass_, 1e-9);
    double omega = std::sqrt(std::max(stiffness_, 0.0) / m);
    double zeta = damping_ / (2 * std::sqrt(std::max(stiffness_, 1e-9) * m));
    // The displacement x runs from -1 to 0, with x'(0) = initialVelocity.
    double x;
    if (zeta < 1) {
        double wd = omega * std::sqrt(1 - zeta * zeta);
        x = std::exp(-zeta * omega * t) *
            (-std::cos(wd * t) + ((initialVelocity_ - zeta * omega) / wd) * std::sin(wd * t));
    } else {
        x = std::exp(-omega * t) * (-1 + (initialVelocity_ - omega) * t);
    }
    return 1 + x;
}

// ---- key frames ----

std::shared_ptr<CAKeyframeAnimation> CAKeyframeAnimation::animationWithKeyPath(const std::string& keyPath) {
    return make<CAKeyframeAnimation>(keyPath);
}

std::shared_ptr<CAAnimation> CAKeyframeAnimation::copy() const {
    return cloneOf(*this);
}

CAValue CAKeyframeAnimation::pointOnPath(double f) const {
    auto lines = path_->flattened();
    std::vector<CGPoint> pts;
    for (const auto& l : lines)
        for (const auto& p : l.points) pts.push_back(p);
    if (pts.empty()) return {};
    double total = 0;
    for (std::size_t i = 1; i < pts.size(); ++i) total += std::hypot(pts[i].x - pts[i - 1].x, pts[i].y - pts[i - 1].y);
    double want = std::clamp(f, 0.0, 1.0) * total;
    for (std::size_t i = 1; i < pts.size(); ++i) {
        double seg = std::hypot(pts[i].x - pts[i - 1].x, pts[i].y - pts[i - 1].y);
        if (want <= seg && seg > 0) {
            double u = want / seg;
            return CGPoint{pts[i - 1].x + (pts[i].x - pts[i - 1].x) * u, pts[i - 1].y + (pts[i].y - pts[i - 1].y) * u};
        }
        want -= seg;
    }
    return pts.back();
}

CAValue CAKeyframeAnimation::valueAtFraction(double f, const CALayer&, const CAValue&) const {
    if (path_ && !path_->isEmpty()) return pointOnPath(f);
    std::size_t n = values_.size();
    if (n == 0) return {};
    if (n == 1) return values_[0];
    std::vector<double> times = keyTimes_;
    if (times.size() != n || calculationMode_ == CAAnimationCalculationMode::Paced) {
        times.clear();
        for (std::size_t i = 0; i < n; ++i) times.push_back(double(i) / double(n - 1));
    }
    if (f <= times.front()) return values_.front();
    if (f >= times.back()) return values_.back();
    std::size_t seg = 0;
    while (seg + 2 < n && f >= times[seg + 1]) ++seg;
    double span = times[seg + 1] - times[seg];
    if (calculationMode_ == CAAnimationCalculationMode::Discrete) return values_[seg];
    double u = span > 0 ? (f - times[seg]) / span : 1.0;
    if (seg < timingFunctions_.size() && timingFunctions_[seg]) u = timingFunctions_[seg]->evaluate(u);
    return CAValueInterpolate(values_[seg], values_[seg + 1], u);
}

CAValue CAKeyframeAnimation::cycleDelta(const CALayer&, const CAValue&) const {
    if (values_.size() < 2) return {};
    return CAValueSubtract(values_.back(), values_.front());
}

// ---- groups ----

std::shared_ptr<CAAnimationGroup> CAAnimationGroup::animation() {
    return make<CAAnimationGroup>();
}

std::shared_ptr<CAAnimation> CAAnimationGroup::copy() const {
    auto c = cloneOf(*this);
    for (auto& child : c->animations_)
        if (child) child = child->copy();
    return c;
}

std::vector<std::string> CAAnimationGroup::keyPaths() const {
    std::vector<std::string> out;
    for (const auto& a : animations_)
        if (a)
            for (auto& k : a->keyPaths()) out.push_back(k);
    return out;
}

void CAAnimationGroup::applyCycleTime(double t, long, const CALayer& layer, CALayerPresentation& p) const {
    double d = duration();
    double childTime = t;
    if (auto tf = timingFunction(); tf && d > 0) childTime = tf->evaluate(t / d) * d;
    for (const auto& child : animations_) {
        if (!child) continue;
        if (child->duration() <= 0) {
            // Children without a duration run over the group's.
            auto timed = child->copy();
            timed->setDuration(d);
            timed->applyAt(childTime, layer, p);
        } else {
            // A child's own run is cut off where the group's cycle ends.
            child->applyAt(std::min(childTime, d), layer, p);
        }
    }
}
