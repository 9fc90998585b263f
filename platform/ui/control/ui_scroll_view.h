// A view whose bounds origin (the content offset) moves over a larger content area: dragged with a
// pan, decelerating or paging on the clock after release, bouncing at the edges, moved by animated
// offsets and scrollRectToVisible, and to the top when the status bar is tapped. The delegate hears
// about every offset change. Main-thread only.
#pragma once

#include <memory>
#include <optional>

#include "platform/dispatch/timer.h"
#include "platform/ui/gesture/ui_pan_gesture_recognizer.h"
#include "platform/ui/gesture/ui_pinch_gesture_recognizer.h"
#include "platform/ui/gesture/ui_touch.h"
#include "platform/ui/view/ui_view.h"

class UIScrollView;
class UIRefreshControl;

class UIScrollViewDelegate {
public:
    virtual ~UIScrollViewDelegate() = default;
    virtual void scrollViewDidScroll(UIScrollView& /*scrollView*/) {}
    virtual void scrollViewWillBeginDragging(UIScrollView& /*scrollView*/) {}
    // Velocity in points per millisecond; the delegate may change where the scroll comes to rest.
    virtual void scrollViewWillEndDragging(UIScrollView& /*scrollView*/, CGPoint /*velocity*/,
                                           CGPoint* /*targetContentOffset*/) {}
    virtual void scrollViewDidEndDragging(UIScrollView& /*scrollView*/, bool /*decelerate*/) {}
    virtual void scrollViewWillBeginDecelerating(UIScrollView& /*scrollView*/) {}
    virtual void scrollViewDidEndDecelerating(UIScrollView& /*scrollView*/) {}
    virtual void scrollViewDidEndScrollingAnimation(UIScrollView& /*scrollView*/) {}
    // A tap on the status bar: whether the scroll view may go to its top (none: the delegate has no
    // say, and it goes), and, once it is there, that it arrived.
    virtual std::optional<bool> scrollViewShouldScrollToTop(UIScrollView& /*scrollView*/) { return std::nullopt; }
    virtual void scrollViewDidScrollToTop(UIScrollView& /*scrollView*/) {}
    // Zooming: the view that is scaled (none: the scroll view does not zoom), and the pinch's
    // beginning, every change of scale and the end with the scale reached.
    virtual std::shared_ptr<UIView> viewForZoomingInScrollView(UIScrollView& /*scrollView*/) { return nullptr; }
    virtual void scrollViewWillBeginZooming(UIScrollView& /*scrollView*/, const std::shared_ptr<UIView>& /*view*/) {}
    virtual void scrollViewDidZoom(UIScrollView& /*scrollView*/) {}
    virtual void scrollViewDidEndZooming(UIScrollView& /*scrollView*/, const std::shared_ptr<UIView>& /*view*/,
                                         CGFloat /*scale*/) {}
};

inline constexpr CGFloat UIScrollViewDecelerationRateNormal = 0.998;
inline constexpr CGFloat UIScrollViewDecelerationRateFast = 0.99;

class UIScrollView : public UIView, public UITouchReceiver {
public:
    KORVA_MAKE(UIScrollView)
    void init() override;
    ~UIScrollView() override;

    CGPoint contentOffset() const { return bounds().origin; }
    // Tells the delegate when the offset changes. Animated: eases there over 0.3 s, telling the
    // delegate at every frame and with scrollViewDidEndScrollingAnimation at the end. Not animated
    // (and not from a drag): a deceleration under way stops where it is set.
    void setContentOffset(CGPoint offset, bool animated = false);
    CGSize contentSize() const { return contentSize_; }
    // Virtual so that a subclass can follow the new size (after calling this one).
    virtual void setContentSize(CGSize size);
    UIEdgeInsets contentInset() const { return contentInset_; }
    void setContentInset(UIEdgeInsets inset);
    UIEdgeInsets adjustedContentInset() const { return contentInset_; }
    // The range the offset rests in.
    CGPoint minimumContentOffset() const;
    CGPoint maximumContentOffset() const;

    bool isScrollEnabled() const { return scrollEnabled_; }
    void setScrollEnabled(bool e);
    bool isPagingEnabled() const { return pagingEnabled_; }
    void setPagingEnabled(bool p) { pagingEnabled_ = p; }
    bool bounces() const { return bounces_; }
    void setBounces(bool b) { bounces_ = b; }
    bool alwaysBounceVertical() const { return alwaysBounceVertical_; }
    void setAlwaysBounceVertical(bool b) { alwaysBounceVertical_ = b; }
    bool alwaysBounceHorizontal() const { return alwaysBounceHorizontal_; }
    void setAlwaysBounceHorizontal(bool b) { alwaysBounceHorizontal_ = b; }
    // How far the indicators keep from the edges.
    UIEdgeInsets scrollIndicatorInsets() const { return indicatorInsets_; }
    void setScrollIndicatorInsets(UIEdgeInsets insets) { indicatorInsets_ = insets; }
    bool showsVerticalScrollIndicator() const { return showsVertical_; }
    void setShowsVerticalScrollIndicator(bool s) { showsVertical_ = s; }
    bool showsHorizontalScrollIndicator() const { return showsHorizontal_; }
    void setShowsHorizontalScrollIndicator(bool s) { showsHorizontal_ = s; }
    // Whether a tap on the status bar may scroll this view to its top.
    bool scrollsToTop() const { return scrollsToTop_; }
    void setScrollsToTop(bool s) { scrollsToTop_ = s; }
    CGFloat decelerationRate() const { return decelerationRate_; }
    void setDecelerationRate(CGFloat r);
    // The indicators are not drawn; flashing counts the requests (for callers' tests).
    void flashScrollIndicators() { ++flashes_; }
    int flashCount() const { return flashes_; }

    std::shared_ptr<UIScrollViewDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const std::shared_ptr<UIScrollViewDelegate>& d) { delegate_ = d; }

    bool isTracking() const { return tracking_; }
    bool isDragging() const { return dragging_; }
    bool isDecelerating() const { return motion_ == Motion::Decelerating; }
    const std::shared_ptr<UIPanGestureRecognizer>& panGestureRecognizer() const { return pan_; }

    // Whether the content is larger than the view along the axis (or set to bounce anyway).
    bool canScrollHorizontally() const;
    bool canScrollVertically() const;

    // The pull-to-refresh control, shown above the content; none by default.
    std::shared_ptr<UIRefreshControl> refreshControl() const { return refreshControl_; }
    void setRefreshControl(std::shared_ptr<UIRefreshControl> control);

    // Zooming scales the delegate's zooming view by a transform about its own origin, which
    // stays at the content's origin scaled by the zoom; the content size follows. Changes made
    // inside a view-animation block are animated by it; `animated` makes a 0.3 s animation of
    // its own. Scales outside the range or not finite are clamped or ignored.
    static constexpr double kZoomAnimationDuration = 0.3;
    CGFloat minimumZoomScale() const { return minimumZoomScale_; }
    void setMinimumZoomScale(CGFloat s);
    CGFloat maximumZoomScale() const { return maximumZoomScale_; }
    void setMaximumZoomScale(CGFloat s);
    CGFloat zoomScale() const { return zoomScale_; }
    void setZoomScale(CGFloat scale, bool animated = false);
    // Zooms so that the rectangle (in the zooming view's own coordinates) fills the bounds as far
    // as the scale range allows, centred.
    void zoomToRect(CGRect rect, bool animated);
    bool bouncesZoom() const { return bouncesZoom_; }
    void setBouncesZoom(bool b) { bouncesZoom_ = b; }
    bool isZooming() const { return zooming_; }
    const std::shared_ptr<UIPinchGestureRecognizer>& pinchGestureRecognizer() const { return pinch_; }

    // Scrolls the least distance that shows the rectangle (content coordinates).
    void scrollRectToVisible(CGRect rect, bool animated);

    // The status bar was tapped with this view frontmost: asks the delegate, and unless it says
    // no, eases to the top of the content (inside the inset, the horizontal offset kept) and
    // tells the delegate on arrival. A touch that stops the motion on its way cancels the news.
    // Answers whether it set off.
    bool scrollToTopForStatusBarTap();
    // The frontmost visible scroll view under the view (itself included) whose scrollsToTop is
    // on: the one drawn last.
    static std::shared_ptr<UIScrollView> frontmostScrollingToTop(UIView& root);

    // A touch on a moving scroll view stops it where it is.
    void touchesBegan(const UITouchSet& touches, const UIEvent& event) override;
    // A tap on the background does nothing: the scroll view only pans and zooms.
    bool takesTapAt(CGPoint) override { return false; }
    std::string className() const override { return "UIScrollView"; }

protected:
    explicit UIScrollView(CGRect frame = CGRectZero);
    // Called after the visible part of the content moved (the bounds' origin changed), before the
    // delegate hears of it. A scroll view that draws its content itself redraws here: its drawing
    // covers only the visible part.
    virtual void contentOffsetDidChange() {}

private:
    enum class Motion { None, Decelerating, Animating, ScrollingToTop };
    enum class Curve { EaseInOut, EaseOut, Decay };
    void handlePan(UIPanGestureRecognizer& pan);
    void handlePinch(UIPinchGestureRecognizer& pinch);
    // Applies a scale to the zooming view and the content size, without animation of its own.
    void applyZoom(const std::shared_ptr<UIView>& view, CGFloat scale);
    std::shared_ptr<UIView> zoomingView();
    CGPoint clamp(CGPoint p) const;
    CGPoint targetAfterDrag(CGPoint velocity) const;
    void startMotion(Motion motion, CGPoint to, double duration, Curve curve);
    void stopMotion(bool report);
    void tick();
    void finishMotion();

    CGSize contentSize_;
    std::shared_ptr<UIRefreshControl> refreshControl_;
    UIEdgeInsets contentInset_;
    UIEdgeInsets indicatorInsets_;
    bool scrollEnabled_ = true, pagingEnabled_ = false, bounces_ = true;
    bool alwaysBounceVertical_ = false, alwaysBounceHorizontal_ = false;
    bool showsVertical_ = true, showsHorizontal_ = true, scrollsToTop_ = true;
    CGFloat decelerationRate_ = UIScrollViewDecelerationRateNormal;
    int flashes_ = 0;
    std::weak_ptr<UIScrollViewDelegate> delegate_;
    std::shared_ptr<UIPanGestureRecognizer> pan_;
    std::shared_ptr<UIPinchGestureRecognizer> pinch_;
    std::shared_ptr<UIGestureRecognizerDelegate> pinchGate_;
    CGFloat minimumZoomScale_ = 1, maximumZoomScale_ = 1, zoomScale_ = 1;
    CGFloat pinchStartScale_ = 1;
    bool bouncesZoom_ = true, zooming_ = false;
    std::shared_ptr<UIGestureRecognizerDelegate> panGate_;
    bool tracking_ = false, dragging_ = false;
    CGPoint dragStart_;

    Motion motion_ = Motion::None;
    Curve curve_ = Curve::EaseInOut;
    CGPoint from_, to_;
    double startTime_ = 0, duration_ = 0;
    std::shared_ptr<NSTimer> frameTimer_;
};
