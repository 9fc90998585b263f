// Scrolling: the content offset, dragging with rubber-banding, deceleration and paging on the
// clock, animated offsets, scrolling a rectangle into view and to the top at a status-bar tap.
#include "platform/ui/control/ui_scroll_view.h"

#include <algorithm>
#include <cmath>

#include "platform/dispatch/clock.h"
#include "platform/dispatch/run_loop.h"
#include "platform/ui/control/ui_refresh_control.h"

UIScrollView::UIScrollView(CGRect frame) : UIView(frame) {}

namespace {

constexpr double kFrame = 1.0 / 60.0;
constexpr double kAnimatedOffsetDuration = 0.3;
constexpr double kBounceBackDuration = 0.4;
constexpr double kPageDuration = 0.3;
constexpr CGFloat kPagingFlickSpeed = 300;  // points per second that turn the page by themselves

// Lets the scroll view's pan begin only along an axis it can scroll, so that a sideways drag on a
// slider inside a vertical list stays the slider's.
struct PanGate : UIGestureRecognizerDelegate {
    std::weak_ptr<UIScrollView> scrollView;
    bool gestureRecognizerShouldBegin(UIGestureRecognizer& r) override {
        auto s = scrollView.lock();
        if (!s || !s->isScrollEnabled()) return false;
        CGPoint t = static_cast<UIPanGestureRecognizer&>(r).translationInView(nullptr);
        bool sideways = std::abs(t.x) > std::abs(t.y);
        return sideways ? s->canScrollHorizontally() : s->canScrollVertically();
    }
    bool shouldReceiveTouch(UIGestureRecognizer&, const UITouch& touch) override {
        auto s = scrollView.lock();
        for (auto v = touch.view(); v && v != s; v = v->superview()) {
            if (auto receiver = dynamic_cast<const UITouchReceiver*>(v.get());
                receiver && receiver->keepsTouchesFromScrolling())
                return false;
        }
        return true;
    }
};

// Lets the pinch begin only on a scroll view that can zoom, so that two fingers elsewhere keep
// their touches.
struct PinchGate : UIGestureRecognizerDelegate {
    std::weak_ptr<UIScrollView> scrollView;
    bool gestureRecognizerShouldBegin(UIGestureRecognizer&) override {
        auto s = scrollView.lock();
        auto d = s ? s->delegate() : nullptr;
        return d && s->maximumZoomScale() > s->minimumZoomScale() && d->viewForZoomingInScrollView(*s);
    }
    // Two fingers may move the content while they scale it.
    bool shouldRecognizeSimultaneously(UIGestureRecognizer&, UIGestureRecognizer&) override { return true; }
};

double easeInOut(double t) {
    return t < 0.5 ? 4 * t * t * t : 1 - std::pow(-2 * t + 2, 3) / 2;
}
double easeOut(double t) {
    return 1 - std::pow(1 - t, 3);
}

}  // namespace

void UIScrollView::init() {
    UIView::init();
    setClipsToBounds(true);
    std::weak_ptr<UIScrollView> weak = std::static_pointer_cast<UIScrollView>(shared_from_this());
    pan_ = UIPanGestureRecognizer::make([weak](UIGestureRecognizer& r) {
        if (auto s = weak.lock()) s->handlePan(static_cast<UIPanGestureRecognizer&>(r));
    });
    pan_->setYieldsToControls(false);  // a drag that starts on a button still scrolls
    auto gate = std::make_shared<PanGate>();
    gate->scrollView = weak;
    panGate_ = gate;
    pan_->setDelegate(panGate_);
    UIViewAddGestureRecognizer(*this, pan_);
    pinch_ = UIPinchGestureRecognizer::make([weak](UIGestureRecognizer& r) {
        if (auto s = weak.lock()) s->handlePinch(static_cast<UIPinchGestureRecognizer&>(r));
    });
    auto pinchGate = std::make_shared<PinchGate>();
    pinchGate->scrollView = weak;
    pinchGate_ = pinchGate;
    pinch_->setDelegate(pinchGate_);
    UIViewAddGestureRecognizer(*this, pinch_);
}

UIScrollView::~UIScrollView() {
    if (frameTimer_) frameTimer_->invalidate();
}

CGPoint UIScrollView::minimumContentOffset() const {
    return {-contentInset_.left, -contentInset_.top};
}

CGPoint UIScrollView::maximumContentOffset() const {
    CGPoint lo = minimumContentOffset();
    CGSize b = bounds().size;
    return {std::max(lo.x, contentSize_.width - b.width + contentInset_.right),
            std::max(lo.y, contentSize_.height - b.height + contentInset_.bottom)};
}

CGPoint UIScrollView::clamp(CGPoint p) const {
    CGPoint lo = minimumContentOffset(), hi = maximumContentOffset();
    return {std::clamp(p.x, lo.x, hi.x), std::clamp(p.y, lo.y, hi.y)};
}

bool UIScrollView::canScrollHorizontally() const {
    return alwaysBounceHorizontal_ || maximumContentOffset().x > minimumContentOffset().x;
}

bool UIScrollView::canScrollVertically() const {
    return alwaysBounceVertical_ || maximumContentOffset().y > minimumContentOffset().y;
}

void UIScrollView::setContentOffset(CGPoint offset, bool animated) {
    if (!std::isfinite(offset.x) || !std::isfinite(offset.y)) return;
    if (animated) {
        if (offset == contentOffset()) return;
        startMotion(Motion::Animating, offset, kAnimatedOffsetDuration, Curve::EaseInOut);
        return;
    }
    bool easing = motion_ == Motion::Animating || motion_ == Motion::ScrollingToTop;
    if (easing && !dragging_ && offset != to_) stopMotion(false);
    // An offset set in code ends a deceleration (reported, so that its beginning has an end);
    // the deceleration's next frame would otherwise undo it.
    if (motion_ == Motion::Decelerating && !dragging_) stopMotion(true);
    if (offset == contentOffset()) return;
    setBounds({offset, bounds().size});
    contentOffsetDidChange();
    auto self = shared_from_this();  // the delegate may let go of us
    if (auto d = delegate()) d->scrollViewDidScroll(*this);
}

void UIScrollView::setContentSize(CGSize size) {
    if (!std::isfinite(size.width) || !std::isfinite(size.height)) return;
    contentSize_ = {std::max<CGFloat>(size.width, 0), std::max<CGFloat>(size.height, 0)};
}

void UIScrollView::setContentInset(UIEdgeInsets inset) {
    contentInset_ = inset;
}

void UIScrollView::setScrollEnabled(bool e) {
    scrollEnabled_ = e;
    if (!e && pan_->isActive()) {
        pan_->setEnabled(false);
        pan_->setEnabled(true);
    }
}

void UIScrollView::setDecelerationRate(CGFloat r) {
    if (r > 0 && r < 1) decelerationRate_ = r;
}

void UIScrollView::scrollRectToVisible(CGRect rect, bool animated) {
    rect = CGRectStandardize(rect);
    if (CGRectIsNull(rect)) return;
    CGRect visible = UIEdgeInsetsInsetRect(bounds(), contentInset_);
    CGPoint offset = contentOffset();
    auto axis = [](CGFloat lo, CGFloat len, CGFloat vlo, CGFloat vlen) {
        // How far the visible span must move to show [lo, lo + len]; the start wins when too long.
        if (lo < vlo || len > vlen) return lo - vlo;
        if (lo + len > vlo + vlen) return lo + len - (vlo + vlen);
        return CGFloat(0);
    };
    offset.x += axis(rect.origin.x, rect.size.width, visible.origin.x, visible.size.width);
    offset.y += axis(rect.origin.y, rect.size.height, visible.origin.y, visible.size.height);
    setContentOffset(clamp(offset), animated);
}

bool UIScrollView::scrollToTopForStatusBarTap() {
    auto self = shared_from_this();  // the delegate may let go of us
    if (auto d = delegate(); d && !d->scrollViewShouldScrollToTop(*this).value_or(true)) return false;
    if (motion_ != Motion::None) stopMotion(true);
    CGPoint top{contentOffset().x, minimumContentOffset().y};
    if (contentOffset() == top) {
        if (auto d = delegate()) d->scrollViewDidScrollToTop(*this);
        return true;
    }
    startMotion(Motion::ScrollingToTop, top, kAnimatedOffsetDuration, Curve::EaseInOut);
    return true;
}

std::shared_ptr<UIScrollView> UIScrollView::frontmostScrollingToTop(UIView& root) {
    if (root.isHidden() || root.alpha() <= 0.01) return nullptr;
    // Later subviews are drawn over earlier ones, and every subview over its superview.
    const auto subviews = root.subviews();
    for (auto it = subviews.rbegin(); it != subviews.rend(); ++it)
        if (auto found = frontmostScrollingToTop(**it)) return found;
    auto* scroll = dynamic_cast<UIScrollView*>(&root);
    return scroll && scroll->scrollsToTop() ? scroll->self<UIScrollView>() : nullptr;
}

void UIScrollView::touchesBegan(const UITouchSet&, const UIEvent&) {
    if (motion_ != Motion::None) stopMotion(true);
}

// ---- dragging ----

void UIScrollView::handlePan(UIPanGestureRecognizer& pan) {
    auto self = shared_from_this();
    auto me = std::static_pointer_cast<UIView>(self);
    switch (pan.state()) {
        case UIGestureRecognizerState::Began: {
            if (motion_ != Motion::None) stopMotion(true);
            tracking_ = dragging_ = true;
            dragStart_ = contentOffset();
            pan.setTranslation({0, 0}, me);  // no jump by the distance it took to recognise the drag
            if (auto d = delegate()) d->scrollViewWillBeginDragging(*this);
            break;
        }
        case UIGestureRecognizerState::Changed: {
            CGPoint t = pan.translationInView(me);
            CGPoint want = dragStart_;
            if (canScrollHorizontally()) want.x -= t.x;
            if (canScrollVertically()) want.y -= t.y;
            CGPoint lo = minimumContentOffset(), hi = maximumContentOffset();
            auto band = [&](CGFloat v, CGFloat a, CGFloat b) {
                if (!bounces_) return std::clamp(v, a, b);
                // Past an edge the content follows the finger at half speed.
                if (v < a) return a - (a - v) / 2;
                if (v > b) return b + (v - b) / 2;
                return v;
            };
            setContentOffset({band(want.x, lo.x, hi.x), band(want.y, lo.y, hi.y)});
            break;
        }
        case UIGestureRecognizerState::Ended:
        case UIGestureRecognizerState::Cancelled: {
            CGPoint v = pan.velocityInView(me);
            CGPoint velocity{canScrollHorizontally() ? -v.x : 0, canScrollVertically() ? -v.y : 0};
            tracking_ = false;
            CGPoint target = targetAfterDrag(velocity);
            if (auto d = delegate())
                d->scrollViewWillEndDragging(*this, {velocity.x / 1000, velocity.y / 1000}, &target);
            CGPoint offset = contentOffset();
            bool outside = clamp(offset) != offset;
            target = clamp(target);
            bool decelerate = target != offset;
            dragging_ = false;
            if (auto d = delegate()) d->scrollViewDidEndDragging(*this, decelerate);
            if (!decelerate) break;
            if (auto d = delegate()) d->scrollViewWillBeginDecelerating(*this);
            if (outside)
                startMotion(Motion::Decelerating, target, kBounceBackDuration, Curve::EaseOut);
            else if (pagingEnabled_)
                startMotion(Motion::Decelerating, target, kPageDuration, Curve::EaseOut);
            else {
                // The time a decaying motion takes to come within half a point of rest.
                CGFloat distance = std::hypot(target.x - offset.x, target.y - offset.y);
                double t = std::log(0.5 / std::max<CGFloat>(distance, 0.5)) / (1000 * std::log(decelerationRate_));
                startMotion(Motion::Decelerating, target, std::clamp(t, 0.2, 3.0), Curve::Decay);
            }
            break;
        }
        default: break;
    }
}

CGPoint UIScrollView::targetAfterDrag(CGPoint velocity) const {
    CGPoint offset = contentOffset();
    if (clamp(offset) != offset) return clamp(offset);
    if (pagingEnabled_) {
        CGSize page = bounds().size;
        auto pick = [&](CGFloat start, CGFloat now, CGFloat v, CGFloat size) {
            if (size <= 0) return now;
            CGFloat startPage = std::round(start / size);
            CGFloat p = std::abs(v) > kPagingFlickSpeed
                            ? (v > 0 ? std::floor(now / size) + 1 : std::ceil(now / size) - 1)
                            : std::round(now / size);
            return std::clamp(p, startPage - 1, startPage + 1) * size;
        };
        return clamp({pick(dragStart_.x, offset.x, velocity.x, page.width),
                      pick(dragStart_.y, offset.y, velocity.y, page.height)});
    }
    // A decaying motion travels v * r / (1 - r) with v per millisecond and r per millisecond.
    CGFloat k = decelerationRate_ / (1 - decelerationRate_) / 1000;
    return clamp({offset.x + velocity.x * k, offset.y + velocity.y * k});
}

// ---- motion on the clock ----

void UIScrollView::startMotion(Motion motion, CGPoint to, double duration, Curve curve) {
    if (frameTimer_) frameTimer_->invalidate();
    motion_ = motion;
    curve_ = curve;
    from_ = contentOffset();
    to_ = to;
    startTime_ = Clock::now();
    duration_ = std::max(duration, kFrame);
    std::weak_ptr<UIScrollView> weak = std::static_pointer_cast<UIScrollView>(shared_from_this());
    frameTimer_ = NSTimer::timer(kFrame, true, [weak](const std::shared_ptr<NSTimer>&) {
        if (auto s = weak.lock()) s->tick();
    });
    // Common mode: scrolling goes on while another finger tracks.
    RunLoop::main().addTimer(frameTimer_, RunLoopMode::Common);
}

void UIScrollView::tick() {
    if (motion_ == Motion::None) return;
    double t = (Clock::now() - startTime_) / duration_;
    if (t >= 1) {
        finishMotion();
        return;
    }
    double f = 0;
    switch (curve_) {
        case Curve::EaseInOut: f = easeInOut(t); break;
        case Curve::EaseOut: f = easeOut(t); break;
        case Curve::Decay: {
            double whole = std::pow(decelerationRate_, 1000 * duration_);
            f = (1 - std::pow(decelerationRate_, 1000 * duration_ * t)) / (1 - whole);
            break;
        }
    }
    CGPoint p{from_.x + (to_.x - from_.x) * f, from_.y + (to_.y - from_.y) * f};
    auto self = shared_from_this();  // the delegate may let go of us
    setBounds({p, bounds().size});
    contentOffsetDidChange();
    if (auto d = delegate()) d->scrollViewDidScroll(*this);
}

void UIScrollView::finishMotion() {
    Motion was = motion_;
    if (frameTimer_) frameTimer_->invalidate();
    frameTimer_.reset();
    auto self = shared_from_this();
    if (contentOffset() != to_) {
        setBounds({to_, bounds().size});
        contentOffsetDidChange();
        if (auto d = delegate()) d->scrollViewDidScroll(*this);
    }
    motion_ = Motion::None;
    if (auto d = delegate()) {
        if (was == Motion::Decelerating)
            d->scrollViewDidEndDecelerating(*this);
        else if (was == Motion::Animating)
            d->scrollViewDidEndScrollingAnimation(*this);
        else if (was == Motion::ScrollingToTop)
            d->scrollViewDidScrollToTop(*this);
    }
}

void UIScrollView::stopMotion(bool report) {
    Motion was = motion_;
    if (frameTimer_) frameTimer_->invalidate();
    frameTimer_.reset();
    motion_ = Motion::None;
    if (!report) return;
    if (auto d = delegate()) {
        if (was == Motion::Decelerating)
            d->scrollViewDidEndDecelerating(*this);
        else if (was == Motion::Animating)
            d->scrollViewDidEndScrollingAnimation(*this);
    }
}

void UIScrollView::setRefreshControl(std::shared_ptr<UIRefreshControl> control) {
    if (refreshControl_ == control) return;
    if (refreshControl_) refreshControl_->removeFromSuperview();
    refreshControl_ = std::move(control);
    if (!refreshControl_) return;
    refreshControl_->setFrame(
        CGRectMake(0, -UIRefreshControl::kHeight, bounds().size.width, UIRefreshControl::kHeight));
    refreshControl_->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
    insertSubviewAtIndex(refreshControl_, 0);
}
