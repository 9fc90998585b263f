// Zooming: the delegate's view scaled by a transform, the content size following, and the pinch
// scaling about the point between the fingers.
#include <algorithm>
#include <cmath>

#include "platform/ui/animation/ui_view_animation.h"
#include "platform/ui/control/ui_scroll_view.h"

void UIScrollView::setMinimumZoomScale(CGFloat s) {
    if (std::isfinite(s) && s > 0) minimumZoomScale_ = s;
}

void UIScrollView::setMaximumZoomScale(CGFloat s) {
    if (std::isfinite(s) && s > 0) maximumZoomScale_ = s;
}

std::shared_ptr<UIView> UIScrollView::zoomingView() {
    auto d = delegate();
    return d ? d->viewForZoomingInScrollView(*this) : nullptr;
}

void UIScrollView::applyZoom(const std::shared_ptr<UIView>& view, CGFloat scale) {
    // The view's untransformed origin, recovered from where the current scale put it.
    CGRect f = view->frame();
    CGPoint origin{f.origin.x / zoomScale_, f.origin.y / zoomScale_};
    CGSize size = view->bounds().size;
    zoomScale_ = scale;
    view->setTransform(CGAffineTransformMakeScale(scale, scale));
    view->setCenter({(origin.x + size.width / 2) * scale, (origin.y + size.height / 2) * scale});
    setContentSize({(origin.x + size.width) * scale, (origin.y + size.height) * scale});
}

void UIScrollView::setZoomScale(CGFloat scale, bool animated) {
    if (!std::isfinite(scale) || scale <= 0) return;
    auto view = zoomingView();
    if (!view) return;
    scale = std::clamp(scale, minimumZoomScale_, std::max(minimumZoomScale_, maximumZoomScale_));
    auto self = shared_from_this();
    auto apply = [this, view, scale] {
        applyZoom(view, scale);
        setBounds({clamp(contentOffset()), bounds().size});
    };
    if (animated)
        UIViewAnimation::animate(kZoomAnimationDuration, apply);
    else
        apply();
    if (auto d = delegate()) d->scrollViewDidZoom(*this);
}

void UIScrollView::zoomToRect(CGRect rect, bool animated) {
    auto view = zoomingView();
    if (!view || rect.size.width <= 0 || rect.size.height <= 0) return;
    CGSize b = bounds().size;
    CGFloat scale = std::min(b.width / rect.size.width, b.height / rect.size.height);
    if (!std::isfinite(scale)) return;
    scale = std::clamp(scale, minimumZoomScale_, std::max(minimumZoomScale_, maximumZoomScale_));
    auto self = shared_from_this();
    auto apply = [this, view, scale, rect, b] {
        CGRect f = view->frame();
        CGPoint origin{f.origin.x / zoomScale_, f.origin.y / zoomScale_};
        applyZoom(view, scale);
        CGPoint centre{(origin.x + CGRectGetMidX(rect)) * scale, (origin.y + CGRectGetMidY(rect)) * scale};
        setBounds({clamp({centre.x - b.width / 2, centre.y - b.height / 2}), b});
    };
    if (animated)
        UIViewAnimation::animate(kZoomAnimationDuration, apply);
    else
        apply();
    if (auto d = delegate()) d->scrollViewDidZoom(*this);
}

void UIScrollView::handlePinch(UIPinchGestureRecognizer& pinch) {
    auto view = zoomingView();
    if (!view || maximumZoomScale_ <= minimumZoomScale_) return;
    auto self = shared_from_this();
    switch (pinch.state()) {
        case UIGestureRecognizerState::Began:
            zooming_ = true;
            pinchStartScale_ = zoomScale_;
            if (auto d = delegate()) d->scrollViewWillBeginZooming(*this, view);
            [[fallthrough]];
        case UIGestureRecognizerState::Changed: {
            CGFloat scale = std::clamp(pinchStartScale_ * pinch.scale(), minimumZoomScale_, maximumZoomScale_);
            // The content point under the fingers stays under them.
            CGPoint at = pinch.locationInView(std::static_pointer_cast<UIView>(self));
            CGPoint offset = contentOffset();
            CGPoint inView{at.x - offset.x, at.y - offset.y};
            CGFloat k = scale / zoomScale_;
            applyZoom(view, scale);
            setBounds({clamp({at.x * k - inView.x, at.y * k - inView.y}), bounds().size});
            if (auto d = delegate()) d->scrollViewDidZoom(*this);
            break;
        }
        case UIGestureRecognizerState::Ended:
        case UIGestureRecognizerState::Cancelled:
        case UIGestureRecognizerState::Failed:
            if (!zooming_) break;
            zooming_ = false;
            if (auto d = delegate()) d->scrollViewDidEndZooming(*this, view, zoomScale_);
            break;
        default: break;
    }
}
