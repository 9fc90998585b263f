// The per-layer animation lists, the clock that drives them and the presentation they produce.
#include "platform/ui/animation/ca_animation_engine.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/dispatch/clock.h"
#include "platform/dispatch/run_loop.h"
#include "platform/ui/animation/ca_transaction.h"
#include "platform/ui/layer/ca_layer.h"

namespace {

using Group = CAAnimationCompletionGroup;

struct Attached {
    std::string key;
    std::shared_ptr<CAAnimation> animation;
    std::uint64_t serial = 0;
    bool started = false;
    bool stopReported = false;
    std::vector<std::shared_ptr<Group>> groups;
};

struct Entry {
    std::weak_ptr<CALayer> layer;
    const CALayer* raw = nullptr;
    std::vector<Attached> list;
};

// A start or stop to report once the lists are consistent again.
struct Report {
    std::shared_ptr<CAAnimation> animation;
    std::vector<std::shared_ptr<Group>> groups;
    bool stop = false;
    bool finished = false;
    double when = 0;
    std::uint64_t serial = 0;
};

struct State {
    std::vector<Entry> entries;
    std::uint64_t nextSerial = 1;
    std::uint64_t observer = 0;
    std::shared_ptr<NSTimer> timer;
    double timerDate = 0;
    bool updating = false;
    bool again = false;
    std::vector<Report> pending;
};

State& state() {
    static State s;
    return s;
}

Entry* find(const CALayer& layer) {
    for (auto& e : state().entries)
        if (e.raw == &layer && !e.layer.expired()) return &e;
    return nullptr;
}

double layerTimeNow(const CALayer& layer) {
    return CAAnimationEngine::convertTime(CACurrentMediaTime(), nullptr, &layer);
}

void groupMemberStopped(const std::shared_ptr<Group>& g, std::uint64_t serial, bool finished);

void removeAt(Entry& entry, std::size_t index, bool finished) {
    Attached a = std::move(entry.list[index]);
    entry.list.erase(entry.list.begin() + long(index));
    state().again = true;
    if (a.stopReported) return;
    state().pending.push_back({a.animation, a.groups, true, finished, CACurrentMediaTime(), a.serial});
}

void flushReports() {
    // Reports may add or remove animations, which may queue more reports.
    while (!state().pending.empty()) {
        Report r = std::move(state().pending.front());
        state().pending.erase(state().pending.begin());
        if (auto d = r.animation->delegate()) {
            if (r.stop)
                d->animationDidStop(*r.animation, r.finished);
            else
                d->animationDidStart(*r.animation);
        }
        if (r.stop)
            for (const auto& g : r.groups) groupMemberStopped(g, r.serial, r.finished);
    }
}

void groupMemberStopped(const std::shared_ptr<Group>& g, std::uint64_t serial, bool finished) {
    if (g->done) return;
    --g->pending;
    if (!finished) g->allFinished = false;
    if (!finished && g->endsTogether) {
        g->done = true;
        // The rest of the block goes too: its layers return to their model values.
        for (const auto& [weakLayer, memberSerial] : g->members) {
            if (memberSerial == serial) continue;
            auto layer = weakLayer.lock();
            Entry* e = layer ? find(*layer) : nullptr;
            if (!e) continue;
            for (std::size_t i = 0; i < e->list.size(); ++i) {
                if (e->list[i].serial == memberSerial) {
                    removeAt(*e, i, false);
                    break;
                }
            }
        }
        if (auto c = std::move(g->completion)) c(false);
        return;
    }
    if (g->pending <= 0 && g->committed) {
        g->done = true;
        if (auto c = std::move(g->completion)) c(g->allFinished);
    }
}

bool samePresentation(const CALayerPresentation& a, const CALayerPresentation& b) {
    return a.position == b.position && a.bounds == b.bounds && a.transform == b.transform && a.opacity == b.opacity &&
           a.backgroundColor == b.backgroundColor && a.cornerRadius == b.cornerRadius &&
           a.borderWidth == b.borderWidth && a.borderColor == b.borderColor && a.shadowOpacity == b.shadowOpacity &&
           a.contents == b.contents && a.path == b.path && a.fillColor == b.fillColor &&
           a.strokeColor == b.strokeColor && a.lineWidth == b.lineWidth && a.strokeStart == b.strokeStart &&
           a.strokeEnd == b.strokeEnd && a.colors == b.colors && a.locations == b.locations;
}

std::optional<CALayerPresentation> compute(const CALayer& layer, const Entry& entry) {
    double t = layerTimeNow(layer);
    CALayerPresentation p;
    bool any = false;
    for (const auto& a : entry.list) {
        if (!a.animation->phaseAt(t).applies) continue;
        a.animation->applyAt(t, layer, p);
        any = true;
    }
    if (!any) return std::nullopt;
    return p;
}

// Media time at which a layer's local time reaches t; none while the layer or an ancestor is paused.
std::optional<double> mediaTimeOf(const CALayer& layer, double t) {
    double v = CAAnimationEngine::convertTime(t, &layer, nullptr);
    if (!std::isfinite(v)) return std::nullopt;
    return v;
}

void scheduleTimer() {
    State& s = state();
    double now = CACurrentMediaTime();
    std::optional<double> next;
    for (const auto& e : s.entries) {
        auto layer = e.layer.lock();
        if (!layer) continue;
        for (const auto& a : e.list) {
            std::optional<double> at;
            if (!a.started)
                at = mediaTimeOf(*layer, a.animation->beginTime());
            else if (!a.stopReported)
                if (auto end = a.animation->endTimeInParent()) at = mediaTimeOf(*layer, *end);
            if (at && *at > now && (!next || *at < *next)) next = *at;
        }
    }
    if (!next) {
        if (s.timer) s.timer->invalidate();
        s.timer.reset();
        return;
    }
    if (s.timer && s.timer->isValid() && s.timerDate == *next) return;
    if (s.timer) s.timer->invalidate();
    s.timerDate = *next;
    s.timer = NSTimer::timer(*next - now, false, [](const std::shared_ptr<NSTimer>&) { CAAnimationEngine::update(); });
    s.timer->setFireDate(*next);
    RunLoop::main().addTimer(s.timer, RunLoopMode::Common);
}

void ensureObserver() {
    State& s = state();
    if (s.observer) return;
    s.observer = RunLoop::main().addBeforeWaitingObserver([] { CAAnimationEngine::update(); });
}

}  // namespace

void CAAnimationEngine::addAnimation(const std::shared_ptr<CALayer>& layer,
                                     const std::shared_ptr<CAAnimation>& animation, const std::string& key,
                                     const std::vector<std::shared_ptr<Group>>& groups) {
    if (!layer || !animation) return;
    ensureObserver();
    if (!key.empty()) removeAnimationForKey(*layer, key);
    auto copy = animation->copy();
    if (copy->duration() <= 0) copy->setDuration(CATransaction::animationDuration());
    if (!copy->timingFunction())
        if (auto tf = CATransaction::animationTimingFunction()) copy->setTimingFunction(tf);
    if (copy->beginTime() == 0) copy->setBeginTime(layerTimeNow(*layer));

    State& s = state();
    Entry* entry = find(*layer);
    if (!entry) {
        s.entries.push_back({layer, layer.get(), {}});
        entry = &s.entries.back();
    }
    Attached a{key, copy, s.nextSerial++, false, false, groups};
    for (const auto& g : CATransaction::openCompletionGroups()) a.groups.push_back(g);
    for (const auto& g : a.groups) {
        ++g->pending;
        g->members.emplace_back(layer, a.serial);
    }
    entry->list.push_back(std::move(a));
    flushReports();
    if (!s.updating && CATransaction::depth() == 0)
        update();
    else
        s.again = true;
}

void CAAnimationEngine::removeAnimationForKey(const CALayer& layer, const std::string& key) {
    Entry* e = find(layer);
    if (!e) return;
    for (std::size_t i = 0; i < e->list.size(); ++i) {
        if (e->list[i].key == key) {
            removeAt(*e, i, false);
            break;
        }
    }
    if (!state().updating) update();
}

void CAAnimationEngine::removeAllAnimations(const CALayer& layer) {
    Entry* e = find(layer);
    if (!e) return;
    while (!e->list.empty()) {
        removeAt(*e, 0, false);
        e = find(layer);  // reports below may have changed the list; it is still valid here
        if (!e) break;
    }
    if (!state().updating) update();
}

std::vector<std::string> CAAnimationEngine::animationKeys(const CALayer& layer) {
    std::vector<std::string> keys;
    if (const Entry* e = find(layer))
        for (const auto& a : e->list)
            if (!a.key.empty()) keys.push_back(a.key);
    return keys;
}

std::shared_ptr<CAAnimation> CAAnimationEngine::animationForKey(const CALayer& layer, const std::string& key) {
    if (const Entry* e = find(layer))
        for (const auto& a : e->list)
            if (a.key == key) return a.animation;
    return nullptr;
}

bool CAAnimationEngine::hasAnimations(const CALayer& layer) {
    const Entry* e = find(layer);
    return e && !e->list.empty();
}

bool CAAnimationEngine::isAnimatingKeyPath(const CALayer& layer, const std::string& keyPath) {
    const Entry* e = find(layer);
    if (!e) return false;
    double t = layerTimeNow(layer);
    for (const auto& a : e->list) {
        if (!a.animation->phaseAt(t).applies) continue;
        for (const auto& k : a.animation->keyPaths())
            if (k == keyPath || k.rfind(keyPath + ".", 0) == 0 || keyPath.rfind(k + ".", 0) == 0) return true;
    }
    return false;
}

std::optional<CALayerPresentation> CAAnimationEngine::presentation(const CALayer& layer) {
    const Entry* e = find(layer);
    if (!e) return std::nullopt;
    return compute(layer, *e);
}

CAValue CAAnimationEngine::presentedValue(const CALayer& layer, const std::string& keyPath) {
    auto p = presentation(layer);
    return CAKeyPath::presentedValue(layer, p ? &*p : nullptr, keyPath);
}

double CAAnimationEngine::convertTime(double t, const CALayer* from, const CALayer* to) {
    // Up from `from` to media time.
    for (const CALayer* l = from; l; l = l->superlayer().get()) {
        if (l->speed() == 0) return std::numeric_limits<double>::infinity();
        t = (t - l->timeOffset()) / l->speed() + l->beginTime();
    }
    // Down from the root to `to`.
    std::vector<const CALayer*> chain;
    for (const CALayer* l = to; l; l = l->superlayer().get()) chain.push_back(l);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it)
        t = (t - (*it)->beginTime()) * (*it)->speed() + (*it)->timeOffset();
    return t;
}

void CAAnimationEngine::update() {
    State& s = state();
    if (s.updating) {
        s.again = true;
        return;
    }
    s.updating = true;
    int rounds = 0;
    do {
        s.again = false;
        std::vector<Report> finishedNow;
        for (std::size_t ei = 0; ei < s.entries.size();) {
            Entry& e = s.entries[ei];
            auto layer = e.layer.lock();
            if (!layer) {
                // The layer is gone: its animations stop unfinished so that completions still run.
                while (!e.list.empty()) removeAt(e, 0, false);
                s.entries.erase(s.entries.begin() + long(ei));
                continue;
            }
            double t = layerTimeNow(*layer);
            for (std::size_t i = 0; i < e.list.size();) {
                Attached& a = e.list[i];
                CAAnimationPhase phase = a.animation->phaseAt(t);
                if (!a.started && phase.kind != CAAnimationPhase::Kind::Before) {
                    a.started = true;
                    s.pending.push_back({a.animation, {}, false, false, 0, a.serial});
                }
                if (phase.kind == CAAnimationPhase::Kind::After && !a.stopReported) {
                    a.stopReported = true;
                    double end = CACurrentMediaTime();
                    if (auto pe = a.animation->endTimeInParent())
                        if (auto m = mediaTimeOf(*layer, *pe)) end = *m;
                    finishedNow.push_back({a.animation, a.groups, true, true, end, a.serial});
                    if (a.animation->isRemovedOnCompletion()) {
                        e.list.erase(e.list.begin() + long(i));
                        continue;
                    }
                }
                ++i;
            }
            auto p = compute(*layer, e);
            if (p) {
                const CALayerPresentation* current = layer->presentation();
                if (!current || !samePresentation(*current, *p)) layer->setPresentation(*p);
            } else if (layer->presentation()) {
                layer->clearPresentation();
            }
            if (e.list.empty()) {
                s.entries.erase(s.entries.begin() + long(ei));
                continue;
            }
            ++ei;
        }
        std::stable_sort(finishedNow.begin(), finishedNow.end(), [](const Report& a, const Report& b) {
            return a.when != b.when ? a.when < b.when : a.serial < b.serial;
        });
        for (auto& r : finishedNow) s.pending.push_back(std::move(r));
        flushReports();
    } while (s.again && ++rounds < 8);
    scheduleTimer();
    s.updating = false;
}

std::size_t CAAnimationEngine::animatedLayerCount() {
    std::size_t n = 0;
    for (const auto& e : state().entries)
        if (!e.layer.expired() && !e.list.empty()) ++n;
    return n;
}

std::string CAAnimationEngine::debugDescription() {
    std::string out;
    for (const auto& e : state().entries) {
        auto layer = e.layer.lock();
        if (!layer) continue;
        double t = layerTimeNow(*layer);
        for (const auto& a : e.list) {
            auto phase = a.animation->phaseAt(t);
            const char* kind = phase.kind == CAAnimationPhase::Kind::Before   ? "waiting"
                               : phase.kind == CAAnimationPhase::Kind::Active ? "running"
                                                                              : "ended";
            std::string paths;
            for (const auto& k : a.animation->keyPaths()) paths += (paths.empty() ? "" : ",") + k;
            out += "layer " + std::to_string(layer->layerId()) +
                   (layer->name().empty() ? "" : " (" + layer->name() + ")") + " key \"" + a.key + "\" " +
                   a.animation->className() + " [" + paths + "] " + kind + "\n";
        }
    }
    return out;
}

void CAAnimationEngine::reset() {
    State& s = state();
    for (auto& e : s.entries)
        if (auto layer = e.layer.lock()) layer->clearPresentation();
    s.entries.clear();
    s.pending.clear();
    if (s.timer) s.timer->invalidate();
    s.timer.reset();
}
