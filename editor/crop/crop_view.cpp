// The crop view: set-up, layout, zooming to a rectangle, ratios, reset, the pixel rectangle,
// rotation, and the rectangle's drags capped to the picture.
#include "editor/crop/crop_view.h"

#include <cmath>

#include "editor/crop/uiimage_crop.h"
#include "platform/media/av_geometry.h"
#include "platform/ui/animation/ui_view_animation.h"
#include "platform/ui/draw/color.h"
#include "platform/ui/draw/image.h"

void CropView::init() {
    UIView::init();
    setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    setBackgroundColor(UIColor::clearColor());

    scrollView_ = UIScrollView::make(bounds());
    scrollView_->setDelegate(self<CropView>());
    scrollView_->setAutoresizingMask(UIViewAutoresizingFlexibleLeftMargin | UIViewAutoresizingFlexibleRightMargin |
                                     UIViewAutoresizingFlexibleTopMargin | UIViewAutoresizingFlexibleBottomMargin);
    scrollView_->setBackgroundColor(UIColor::clearColor());
    scrollView_->setMaximumZoomScale(kMaximumZoom);
    scrollView_->setShowsHorizontalScrollIndicator(false);
    scrollView_->setShowsVerticalScrollIndicator(false);
    scrollView_->setBounces(false);
    scrollView_->setBouncesZoom(false);
    scrollView_->setClipsToBounds(false);
    addSubview(scrollView_);

    std::weak_ptr<CropView> weak = self<CropView>();
    rotationRecognizer_ = UIRotationGestureRecognizer::make([weak](UIGestureRecognizer& r) {
        if (auto me = weak.lock()) me->handleRotation(static_cast<UIRotationGestureRecognizer&>(r));
    });
    rotationRecognizer_->setDelegate(self<CropView>());
    UIViewAddGestureRecognizer(*scrollView_, rotationRecognizer_);

    cropRectView_ = CropRectView::make();
    cropRectView_->setDelegate(self<CropView>());
    addSubview(cropRectView_);

    for (auto& o : overlays_) {
        o = UIView::make();
        o->setBackgroundColor(UIColor::colorWithWhite(0, kOverlayAlpha));
        addSubview(o);
    }
}

bool CropView::portrait() {
    auto o = UIScreen::mainScreen()->orientation();
    return o == UIInterfaceOrientation::Portrait || o == UIInterfaceOrientation::PortraitUpsideDown;
}

void CropView::setImage(std::shared_ptr<UIImage> image) {
    image_ = std::move(image);
    if (imageView_) imageView_->removeFromSuperview();
    if (zoomingView_) zoomingView_->removeFromSuperview();
    imageView_.reset();
    zoomingView_.reset();
    setNeedsLayout();
}

void CropView::setKeepingCropAspectRatio(bool keep) {
    keepingCropAspectRatio_ = keep;
    cropRectView_->setKeepingAspectRatio(keep);
}

double CropView::cropAspectRatio() const {
    CGRect r = cropRect();
    return r.size.height > 0 ? r.size.width / r.size.height : 0;
}

void CropView::layoutSubviews() {
    UIView::layoutSubviews();
    if (!image_) return;
    CGFloat vertical = portrait() ? kInsetPortrait : kInsetLandscape;
    editingRect_ = CGRectInset(bounds(), kInsetSide, vertical);
    if (!imageView_) {
        insetRect_ = editingRect_;
        setupImageView();
    }
    if (!resizing_) {
        layoutCropRectViewWithCropRect(scrollView_->frame());
        auto now = UIScreen::mainScreen()->orientation();
        if (interfaceOrientation_ != UIInterfaceOrientation::Unknown && now != interfaceOrientation_)
            zoomToCropRect(scrollView_->frame(), false);
    }
    interfaceOrientation_ = UIScreen::mainScreen()->orientation();
}

void CropView::setupImageView() {
    CGRect fitted = AVMakeRectWithAspectRatioInsideRect(image_->size(), insetRect_);
    scrollView_->setZoomScale(1);
    scrollView_->setFrame(fitted);
    scrollView_->setContentSize(fitted.size);
    zoomingView_ = UIView::make(scrollView_->bounds());
    zoomingView_->setBackgroundColor(UIColor::clearColor());
    scrollView_->addSubview(zoomingView_);
    imageView_ = UIImageView::make(zoomingView_->bounds());
    imageView_->setBackgroundColor(UIColor::clearColor());
    imageView_->setContentMode(UIViewContentMode::ScaleAspectFit);
    imageView_->setImage(image_);
    zoomingView_->addSubview(imageView_);
}

CGRect CropView::pictureRect() {
    return zoomingView_ ? scrollView_->convertRectToView(zoomingView_->frame(), self<UIView>()) : CGRectZero;
}

void CropView::layoutCropRectViewWithCropRect(CGRect r) {
    CGFloat W = bounds().size.width, H = bounds().size.height;
    cropRectView_->setFrame(r);
    overlays_[0]->setFrame(CGRectMake(0, 0, W, CGRectGetMinY(r)));
    overlays_[1]->setFrame(CGRectMake(0, CGRectGetMinY(r), CGRectGetMinX(r), r.size.height));
    overlays_[2]->setFrame(CGRectMake(CGRectGetMaxX(r), CGRectGetMinY(r), W - CGRectGetMaxX(r), r.size.height));
    overlays_[3]->setFrame(CGRectMake(0, CGRectGetMaxY(r), W, H - CGRectGetMaxY(r)));
}

void CropView::zoomToCropRect(CGRect r, bool center) {
    if (!zoomingView_ || r == scrollView_->frame() || !(r.size.width > 0) || !(r.size.height > 0)) return;
    CGFloat s = std::min(editingRect_.size.width / r.size.width, editingRect_.size.height / r.size.height);
    CGSize n{r.size.width * s, r.size.height * s};
    CGRect b = bounds();
    CGRect next{{(b.size.width - n.width) / 2, (b.size.height - n.height) / 2}, n};
    CGRect zoom = convertRectToView(r, zoomingView_);
    CGFloat k = s * scrollView_->zoomScale();
    zoom.size = {n.width / k, n.height / k};
    if (center) {
        CGSize iv = imageView_->bounds().size;
        zoom.origin = {iv.width / 2 - zoom.size.width / 2, iv.height / 2 - zoom.size.height / 2};
    }
    auto weak = std::weak_ptr<CropView>(self<CropView>());
    UIViewAnimation::animate(kZoomDuration, 0, UIViewAnimationOptionBeginFromCurrentState, [weak, next, zoom] {
        auto me = weak.lock();
        if (!me) return;
        me->scrollView_->setFrame(next);
        me->scrollView_->zoomToRect(zoom, false);
        me->layoutCropRectViewWithCropRect(next);
    });
}

void CropView::setCropAspectRatio(double q, bool center) {
    if (!imageView_ || !(q > 0)) return;
    CGRect f = scrollView_->frame();
    CGSize iv = imageView_->bounds().size;
    CGFloat w, h;
    if (q <= 1) {
        w = f.size.height * q;
        if (w > iv.width) {
            w = f.size.width;
            h = w / q;
        } else {
            h = f.size.height;
        }
    } else {
        h = f.size.width / q;
        if (h > iv.height) {
            h = f.size.height;
            w = h * q;
        } else {
            w = f.size.width;
        }
    }
    zoomToCropRect({f.origin, {w, h}}, center);
}

void CropView::setImageCropRect(CGRect p) {
    resetCropRectAnimated(false);
    if (!image_) return;
    CGRect f = scrollView_->frame();
    CGSize pic = image_->size();
    if (!(pic.width > 0) || !(pic.height > 0)) return;
    CGFloat k = std::min(f.size.width / pic.width, f.size.height / pic.height);
    CGRect r{{f.origin.x + p.origin.x * k, f.origin.y + p.origin.y * k}, {p.size.width * k, p.size.height * k}};
    CGRect cut = CGRectIntersection(r, f);
    if (!CGRectIsEmpty(cut)) setCropRect(cut);
}

void CropView::resetCropRectAnimated(bool animated) {
    if (!imageView_) return;
    auto reset = [this] {
        imageView_->setTransform(CGAffineTransformIdentity);
        CGSize content = scrollView_->contentSize();
        scrollView_->zoomToRect({{0, 0}, content}, false);
        scrollView_->setBounds(imageView_->bounds());
        layoutCropRectViewWithCropRect(scrollView_->frame());
    };
    if (animated)
        UIViewAnimation::animate(kZoomDuration, 0, UIViewAnimationOptionBeginFromCurrentState, reset);
    else
        reset();
}

CGRect CropView::zoomedCropRect() const {
    if (!image_ || !zoomingView_) return CGRectZero;
    CGRect c = scrollView_->convertRectToView(scrollView_->bounds(), zoomingView_);
    bool tablet = UIScreen::mainScreen()->idiom() == UIUserInterfaceIdiom::Pad;
    return zoomedCropRectInPixels(c, image_->size(), insetRect_, tablet || portrait());
}

std::shared_ptr<UIImage> CropView::croppedImage() const {
    if (!image_) return nullptr;
    return rotatedImageWithtransform_croppedToRect(image_, rotation(), zoomedCropRect());
}

bool CropView::userHasModifiedCropArea() const {
    if (!image_) return false;
    CGRect z = CGRectIntegral(zoomedCropRect());
    CGSize pic = image_->size();
    bool whole = z.origin.x == 0 && z.origin.y == 0 && z.size.width == pic.width && z.size.height == pic.height;
    return !(whole && CGAffineTransformIsIdentity(rotation()));
}

CGAffineTransform CropView::rotation() const {
    return imageView_ ? imageView_->transform() : CGAffineTransform{0, 0, 0, 0, 0, 0};
}

float CropView::rotationAngle() const {
    CGAffineTransform t = rotation();
    return std::atan2(float(t.b), float(t.a));
}

void CropView::setRotationAngle(double radians) {
    if (imageView_) imageView_->setTransform(CGAffineTransformMakeRotation(radians));
}

void CropView::setRotationAngle(double radians, bool snap) {
    setRotationAngle(snap ? snappedRotationAngle(radians) : radians);
}

void CropView::handleRotation(UIRotationGestureRecognizer& r) {
    if (imageView_) {
        imageView_->setTransform(CGAffineTransformRotate(imageView_->transform(), r.rotation()));
        r.setRotation(0);
    }
    switch (r.state()) {
        case UIGestureRecognizerState::Began: cropRectView_->setShowsGridMinor(true); break;
        case UIGestureRecognizerState::Ended:
        case UIGestureRecognizerState::Cancelled:
        case UIGestureRecognizerState::Failed: cropRectView_->setShowsGridMinor(false); break;
        default: break;
    }
}

std::shared_ptr<UIView> CropView::hitTest(CGPoint point) {
    if (!isUserInteractionEnabled()) return nullptr;
    CGPoint inRect = convertPointToView(point, cropRectView_);
    if (auto handle = cropRectView_->hitTest(inRect)) return handle;
    if (zoomingView_) {
        CGPoint inZoom = convertPointToView(point, zoomingView_);
        if (CGRectContainsPoint(zoomingView_->bounds(), inZoom)) return scrollView_;
    }
    return UIView::hitTest(point);
}

void CropView::scrollViewWillEndDragging(UIScrollView& scrollView, CGPoint, CGPoint* target) {
    if (target) *target = scrollView.contentOffset();
}

CGRect CropView::cappedCropRectInImageRectWithCropRectView(const CropRectView& view) {
    CGRect r = view.frame();
    if (!zoomingView_) return r;
    CGRect rs = convertRectToView(r, scrollView_);
    CGRect zf = zoomingView_->frame();
    CGRect zc = scrollView_->convertRectToView(zf, self<UIView>());
    bool keep = keepingCropAspectRatio_;
    if (CGRectGetMinX(rs) < CGRectGetMinX(zf)) {
        CGFloat before = r.size.width;
        r.origin.x = CGRectGetMinX(zc);
        r.size.width = CGRectGetMaxX(rs);
        if (keep) r.size.height = r.size.height * (CGRectGetMaxX(rs) / before);
    }
    if (CGRectGetMinY(rs) < CGRectGetMinY(zf)) {
        CGFloat before = r.size.height;
        r.origin.y = CGRectGetMinY(zc);
        r.size.height = CGRectGetMaxY(rs);
        if (keep) r.size.width = r.size.width * (CGRectGetMaxY(rs) / before);
    }
    if (CGRectGetMaxX(rs) > CGRectGetMaxX(zf)) {
        CGFloat before = r.size.width;
        r.size.width = CGRectGetMaxX(zc) - r.origin.x;
        if (keep) r.size.height = r.size.height * (r.size.width / before);
    }
    if (CGRectGetMaxY(rs) > CGRectGetMaxY(zf)) {
        CGFloat before = r.size.height;
        r.size.height = CGRectGetMaxY(zc) - r.origin.y;
        if (keep) r.size.width = r.size.width * (r.size.height / before);
    }
    return r;
}

void CropView::automaticZoomIfEdgeTouched(CGRect r) {
    const CGRect& e = editingRect_;
    if (CGRectGetMinX(r) < CGRectGetMinX(e) - kAutomaticZoomMargin ||
        CGRectGetMaxX(r) > CGRectGetMaxX(e) + kAutomaticZoomMargin ||
        CGRectGetMinY(r) < CGRectGetMinY(e) - kAutomaticZoomMargin ||
        CGRectGetMaxY(r) > CGRectGetMaxY(e) + kAutomaticZoomMargin) {
        auto weak = std::weak_ptr<CropView>(self<CropView>());
        UIViewAnimation::animate(kAutomaticZoomDuration, 0, UIViewAnimationOptionBeginFromCurrentState, [weak] {
            if (auto me = weak.lock()) me->zoomToCropRect(me->cropRectView_->frame(), false);
        });
    }
}

void CropView::cropRectViewEditingChanged(CropRectView& view) {
    CGRect capped = cappedCropRectInImageRectWithCropRectView(view);
    layoutCropRectViewWithCropRect(capped);
    automaticZoomIfEdgeTouched(capped);
}

void CropView::cropRectViewDidEndEditing(CropRectView& view) {
    resizing_ = false;
    zoomToCropRect(view.frame(), false);
}
