// Hit testing, recogniser collection, arbitration and delivery of touches; taps on the status bar.
#include "platform/ui/gesture/ui_touch_dispatcher.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "platform/dispatch/clock.h"
#include "platform/ui/animation/ui_view_animation.h"
#include "platform/ui/app/ui_application.h"
#include "platform/ui/app/ui_window.h"
#include "platform/ui/gesture/ui_gesture_recognizer.h"

namespace {

constexpr double kMultiTapInterval = 0.35;
constexpr CGFloat kMultiTapDistance = 20;

bool terminal(const UIGestureRecognizer& r) {
    auto s = r.state();
    return s == UIGestureRecognizerState::Ended || s == UIGestureRecognizerState::Cancelled ||
           s == UIGestureRecognizerState::Failed;
}

bool simultaneous(UIGestureRecognizer& a, UIGestureRecognizer& b) {
    auto da = a.delegate();
    auto db = b.delegate();
    return (da && da->shouldRecognizeSimultaneously(a, b)) || (db && db->shouldRecognizeSimultaneously(b, a));
}

// The view under the point, passing by views that an animation block keeps from interaction
// (they are switched off for the look-up and restored).
std::shared_ptr<UIView> hitTestPastAnimations(const std::shared_ptr<UIWindow>& w, CGPoint p) {
    std::vector<std::shared_ptr<UIView>> muted;
    std::shared_ptr<UIView> hit;
    for (int guard = 0; guard < 64; ++guard) {
        hit = w->hitTest(p);
        std::shared_ptr<UIView> blocked;
        for (auto v = hit; v; v = v->superview())
            if (UIViewAnimation::blocksInteraction(*v->layer())) blocked = v;
        if (!blocked) break;
        blocked->setUserInteractionEnabled(false);
        muted.push_back(blocked);
        hit.reset();
    }
    for (const auto& v : muted) v->setUserInteractionEnabled(true);
    return hit;
}

// The topmost window that has a view under the point, with that view.
std::pair<std::shared_ptr<UIWindow>, std::shared_ptr<UIView>> hitTest(CGPoint screenPoint) {
    auto app = UIApplication::sharedApplication();
    if (!app) return {};
    auto windows = app->windows();
    std::stable_sort(windows.begin(), windows.end(),
                     [](const auto& a, const auto& b) { return a->windowLevel() < b->windowLevel(); });
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
        const auto& w = *it;
        if (w->isHidden()) continue;
        CGPoint p{screenPoint.x - w->frame().origin.x, screenPoint.y - w->frame().origin.y};
        if (auto v = hitTestPastAnimations(w, p)) return {w, v};
    }
    return {};
}

// The exclusive-touch view at or above the view, if any.
std::shared_ptr<UIView> exclusiveAncestor(std::shared_ptr<UIView> view) {
    for (; view; view = view->superview())
        if (view->isExclusiveTouch()) return view;
    return nullptr;
}

// Whether a view at or above `view` takes one touch at a time and already has one of `touched`.
bool singleTouchTaken(std::shared_ptr<UIView> view, const std::vector<std::shared_ptr<UIView>>& touched) {
    for (; view; view = view->superview()) {
        if (view->isMultipleTouchEnabled()) continue;
        for (const auto& v : touched)
            if (v->isDescendantOfView(view.get())) return true;
    }
    return false;
}

// The status bar's strip, in screen points (nowhere while the bar is hidden).
bool onStatusBar(CGPoint screenPoint) {
    auto app = UIApplication::sharedApplication();
    return app && CGRectContainsPoint(app->statusBarFrame(), screenPoint);
}

}  // namespace

const std::shared_ptr<UITouchDispatcher>& UITouchDispatcher::shared() {
    static const std::shared_ptr<UITouchDispatcher> dispatcher = std::make_shared<UITouchDispatcher>();
    return dispatcher;
}

std::shared_ptr<UIEvent> UITouchDispatcher::makeEvent(double timestamp) const {
    UITouchSet all;
    for (const auto& [id, r] : active_) all.push_back(r.touch);
    return UIEvent::make(timestamp, std::move(all));
}

void UITouchDispatcher::begin(const HostTouch& t, double timestamp) {
    auto [window, view] = hitTest(t.location);
    if (!view) return;
    // An exclusive view keeps its window to itself while touched, and is not joined by a touch
    // while another view is touched.
    auto exclusive = exclusiveAncestor(view);
    for (const auto& [id, other] : active_) {
        auto otherView = other.touch->view();
        if (!otherView || otherView == view || other.touch->window() != window) continue;
        if (exclusive || exclusiveAncestor(otherView)) return;
    }
    // A view without multiple touch keeps to its first touch.
    std::vector<std::shared_ptr<UIView>> touched;
    for (const auto& [id, other] : active_)
        if (auto v = other.touch->view()) touched.push_back(std::move(v));
    if (singleTouchTaken(view, touched)) return;
    CGPoint inWindow{t.location.x - window->frame().origin.x, t.location.y - window->frame().origin.y};
    int taps = 1;
    if (timestamp - lastTapTime_ <= kMultiTapInterval &&
        std::hypot(inWindow.x - lastTapPoint_.x, inWindow.y - lastTapPoint_.y) <= kMultiTapDistance)
        taps = lastTapCount_ + 1;
    Record r;
    r.touch = UITouch::make(t.identifier, inWindow, timestamp, view, window, taps);
    // Recognisers of the view and its ancestors; a control on the way keeps its touches from the
    // recognisers above it.
    bool controlBelow = false;
    for (auto v = view; v; v = v->superview()) {
        for (const auto& rec : UIViewGestureRecognizers(*v)) {
            if (!rec->isEnabled() || terminal(*rec)) continue;
            if (controlBelow && rec->yieldsToControls()) continue;
            if (auto d = rec->delegate(); d && !d->shouldReceiveTouch(*rec, *r.touch)) continue;
            r.recognizers.push_back(rec);
        }
        auto receiver = dynamic_cast<UITouchReceiver*>(v.get());
        if (receiver && r.receiver.expired()) r.receiver = v;
        if (receiver && receiver->takesTouchesBeforeAncestorRecognizers()) controlBelow = true;
    }
    active_[t.identifier] = std::move(r);
}

bool UITouchDispatcher::touchEvent(const HostTouchEvent& hostEvent) {
    double ts = hostEvent.timestamp > 0 ? hostEvent.timestamp : Clock::now();
    statusBarTapped_ = false;
    std::vector<long> began, moved, ended, cancelled;
    for (const auto& t : hostEvent.touches) {
        switch (t.phase) {
            case UITouchPhase::Began:
                // A repeated begin is a move at most.
                if (active_.count(t.identifier) || onBareStatusBar_.count(t.identifier)) break;
                begin(t, ts);
                if (auto it = active_.find(t.identifier); it != active_.end()) {
                    it->second.beganOnStatusBar = onStatusBar(t.location);
                    began.push_back(t.identifier);
                } else if (onStatusBar(t.location)) {
                    onBareStatusBar_.insert(t.identifier);
                }
                break;
            case UITouchPhase::Moved:
            case UITouchPhase::Stationary:
            case UITouchPhase::Ended:
            case UITouchPhase::Cancelled: {
                auto it = active_.find(t.identifier);
                if (it == active_.end()) {
                    // Unknown touches (began outside every view) are dropped; one that began on
                    // the bare strip taps the bar when it lifts there.
                    if ((t.phase == UITouchPhase::Ended || t.phase == UITouchPhase::Cancelled) &&
                        onBareStatusBar_.erase(t.identifier) && t.phase == UITouchPhase::Ended &&
                        onStatusBar(t.location))
                        statusBarTapped_ = true;
                    break;
                }
                auto& touch = *it->second.touch;
                CGPoint p = t.location;
                if (auto w = touch.window()) p = {p.x - w->frame().origin.x, p.y - w->frame().origin.y};
                if (t.phase == UITouchPhase::Stationary) break;
                touch.moveTo(p, t.phase, ts);
                (t.phase == UITouchPhase::Moved   ? moved
                 : t.phase == UITouchPhase::Ended ? ended
                                                  : cancelled)
                    .push_back(t.identifier);
                break;
            }
        }
    }
    auto event = makeEvent(ts);
    if (!began.empty()) deliver(Stage::Began, began, event);
    if (!moved.empty()) deliver(Stage::Moved, moved, event);
    if (!ended.empty()) deliver(Stage::Ended, ended, event);
    if (!cancelled.empty()) deliver(Stage::Cancelled, cancelled, event);
    return std::exchange(statusBarTapped_, false);
}

bool UITouchDispatcher::takenBeneath(const Record& record) const {
    if (record.recognized) return true;
    // A recogniser still possible after the lift waits for more (a second tap).
    for (const auto& rec : record.recognizers)
        if (rec->isEnabled() && rec->state() == UIGestureRecognizerState::Possible) return true;
    auto view = record.receiver.lock();
    auto receiver = dynamic_cast<UITouchReceiver*>(view.get());
    return receiver && receiver->takesTapAt(record.touch->locationInView(view));
}

void UITouchDispatcher::deliver(Stage stage, const std::vector<long>& ids, const std::shared_ptr<UIEvent>& event) {
    // Recognisers first, each with the touches it tracks, in the order first met.
    std::vector<std::shared_ptr<UIGestureRecognizer>> recognizers;
    for (long id : ids) {
        auto it = active_.find(id);
        if (it == active_.end()) continue;
        for (const auto& rec : it->second.recognizers)
            if (std::find(recognizers.begin(), recognizers.end(), rec) == recognizers.end()) recognizers.push_back(rec);
    }
    for (const auto& rec : recognizers) {
        UITouchSet mine;
        for (long id : ids) {
            auto it = active_.find(id);
            if (it == active_.end()) continue;
            const auto& list = it->second.recognizers;
            if (std::find(list.begin(), list.end(), rec) != list.end()) mine.push_back(it->second.touch);
        }
        if (mine.empty() || !rec->isEnabled()) continue;
        bool lifting = stage == Stage::Ended || stage == Stage::Cancelled;
        if (terminal(*rec)) {
            if (lifting) rec->forgetTouches(mine);
            continue;
        }
        switch (stage) {
            case Stage::Began: rec->touchesBegan(mine, *event); break;
            case Stage::Moved: rec->touchesMoved(mine, *event); break;
            case Stage::Ended: rec->touchesEnded(mine, *event); break;
            case Stage::Cancelled: rec->touchesCancelled(mine, *event); break;
        }
    }
    // Then the views that handle touches, unless a recogniser took the touch from them.
    std::vector<std::pair<std::shared_ptr<UIView>, UITouchSet>> byView;
    for (long id : ids) {
        auto it = active_.find(id);
        if (it == active_.end() || it->second.cancelledForView) continue;
        auto view = it->second.receiver.lock();
        if (!view) continue;
        auto slot = std::find_if(byView.begin(), byView.end(), [&](const auto& p) { return p.first == view; });
        if (slot == byView.end())
            byView.push_back({view, {it->second.touch}});
        else
            slot->second.push_back(it->second.touch);
    }
    for (auto& [view, touches] : byView) {
        auto receiver = dynamic_cast<UITouchReceiver*>(view.get());
        switch (stage) {
            case Stage::Began: receiver->touchesBegan(touches, *event); break;
            case Stage::Moved: receiver->touchesMoved(touches, *event); break;
            case Stage::Ended: receiver->touchesEnded(touches, *event); break;
            case Stage::Cancelled: receiver->touchesCancelled(touches, *event); break;
        }
    }
    if (stage == Stage::Ended || stage == Stage::Cancelled) {
        for (long id : ids) {
            auto it = active_.find(id);
            if (it == active_.end()) continue;
            if (stage == Stage::Ended) {
                const auto& touch = *it->second.touch;
                CGPoint onScreen = touch.windowLocation();
                if (auto w = touch.window())
                    onScreen = {onScreen.x + w->frame().origin.x, onScreen.y + w->frame().origin.y};
                if (it->second.beganOnStatusBar && onStatusBar(onScreen) && !takenBeneath(it->second))
                    statusBarTapped_ = true;
                lastTapTime_ = event->timestamp();
                lastTapPoint_ = it->second.touch->windowLocation();
                lastTapCount_ = it->second.touch->tapCount();
            }
            active_.erase(it);
        }
    }
    for (const auto& rec : recognizers) rec->resetIfIdle();
}

bool UITouchDispatcher::mayRecognize(const UIGestureRecognizer& recognizer) const {
    for (const auto& [id, r] : active_) {
        if (std::find_if(r.recognizers.begin(), r.recognizers.end(),
                         [&](const auto& p) { return p.get() == &recognizer; }) == r.recognizers.end())
            continue;
        for (const auto& other : r.recognizers) {
            if (other.get() == &recognizer) continue;
            bool claimed = other->isActive() || other->state() == UIGestureRecognizerState::Ended;
            if (claimed && !simultaneous(const_cast<UIGestureRecognizer&>(recognizer), *other)) return false;
        }
    }
    return true;
}

void UITouchDispatcher::didRecognize(UIGestureRecognizer& recognizer) {
    std::vector<std::shared_ptr<UIGestureRecognizer>> losers;
    std::vector<long> taken;
    for (auto& [id, r] : active_) {
        if (std::find_if(r.recognizers.begin(), r.recognizers.end(),
                         [&](const auto& p) { return p.get() == &recognizer; }) == r.recognizers.end())
            continue;
        taken.push_back(id);
        r.recognized = true;
        for (const auto& other : r.recognizers)
            if (other.get() != &recognizer && !simultaneous(recognizer, *other) &&
                std::find(losers.begin(), losers.end(), other) == losers.end())
                losers.push_back(other);
    }
    for (const auto& other : losers) {
        if (other->state() == UIGestureRecognizerState::Possible)
            other->setState(UIGestureRecognizerState::Failed);
        else if (other->isActive())
            other->setState(UIGestureRecognizerState::Cancelled);
    }
    if (!recognizer.cancelsTouchesInView()) return;
    auto event = makeEvent(Clock::now());
    for (long id : taken) {
        auto it = active_.find(id);
        if (it == active_.end() || it->second.cancelledForView) continue;
        it->second.cancelledForView = true;
        auto view = it->second.receiver.lock();
        if (auto receiver = dynamic_cast<UITouchReceiver*>(view.get()))
            receiver->touchesCancelled({it->second.touch}, *event);
    }
}

void UITouchDispatcher::cancelAll() {
    onBareStatusBar_.clear();
    std::vector<long> ids;
    for (const auto& [id, r] : active_) ids.push_back(id);
    if (ids.empty()) return;
    for (long id : ids)
        active_[id].touch->moveTo(active_[id].touch->windowLocation(), UITouchPhase::Cancelled, Clock::now());
    deliver(Stage::Cancelled, ids, makeEvent(Clock::now()));
}
