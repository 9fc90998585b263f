// The crop rectangle's border, grid and handles.
#include "editor/crop/crop_rect_view.h"

#include <cmath>

#include "platform/ui/draw/color.h"
#include "platform/ui/draw/context.h"
#include "platform/ui/draw/graphics.h"
#include "platform/ui/draw/image.h"

void CropBorderView::init() {
    UIView::init();
    setBackgroundColor(UIColor::clearColor());
    setContentMode(UIViewContentMode::Redraw);
    setUserInteractionEnabled(false);
}

void CropBorderView::setImage(std::shared_ptr<UIImage> image) {
    image_ = std::move(image);
    setNeedsDisplay();
}

void CropBorderView::drawRect(CGRect) {
    if (image_) image_->drawInRect(bounds());
}

void CropRectView::init() {
    UIView::init();
    setBackgroundColor(UIColor::clearColor());
    setContentMode(UIViewContentMode::Redraw);
    borderView_ = CropBorderView::make(CGRectInset(bounds(), -kBorderOutset, -kBorderOutset));
    borderView_->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    if (auto border = UIImage::imageNamed(kBorderImage))
        borderView_->setImage(border->resizableImageWithCapInsets({kBorderCap, kBorderCap, kBorderCap, kBorderCap}));
    addSubview(borderView_);
    for (auto& h : handles_) {
        h = ResizeControl::make(CGRectZero);
        h->setDelegate(self<CropRectView>());
        addSubview(h);
    }
}

void CropRectView::setShowsGridMajor(bool s) {
    showsGridMajor_ = s;
    setNeedsDisplay();
}

void CropRectView::setShowsGridMinor(bool s) {
    showsGridMinor_ = s;
    setNeedsDisplay();
}

void CropRectView::setKeepingAspectRatio(bool keep) {
    keepingAspectRatio_ = keep;
    if (!keep) return;
    CGSize s = bounds().size;
    if (s.width > 0 && s.height > 0) fixedAspectRatio_ = std::min(float(s.width / s.height), float(s.height / s.width));
}

std::shared_ptr<UIView> CropRectView::hitTest(CGPoint point) {
    for (const auto& h : handles_)
        if (CGRectContainsPoint(h->frame(), point)) return h;
    return nullptr;
}

void CropRectView::layoutSubviews() {
    UIView::layoutSubviews();
    CGFloat W = bounds().size.width, H = bounds().size.height;
    auto place = [](const std::shared_ptr<ResizeControl>& h, CGFloat x, CGFloat y) {
        h->setFrame({{x, y}, h->frame().size});
    };
    auto& tl = handle(CropHandle::TopLeft);
    auto& tr = handle(CropHandle::TopRight);
    auto& bl = handle(CropHandle::BottomLeft);
    auto& br = handle(CropHandle::BottomRight);
    CGSize c = tl->frame().size;
    place(tl, -c.width / 2, -c.height / 2);
    place(tr, W - c.width / 2, -c.height / 2);
    place(bl, -c.width / 2, H - c.height / 2);
    place(br, W - c.width / 2, H - c.height / 2);
    CGFloat eh = handle(CropHandle::Top)->frame().size.height, ew = handle(CropHandle::Left)->frame().size.width;
    handle(CropHandle::Top)
        ->setFrame(CGRectMake(CGRectGetMaxX(tl->frame()), -eh / 2,
                              CGRectGetMinX(tr->frame()) - CGRectGetMaxX(tl->frame()), eh));
    handle(CropHandle::Left)
        ->setFrame(CGRectMake(-ew / 2, CGRectGetMaxY(tl->frame()), ew,
                              CGRectGetMinY(bl->frame()) - CGRectGetMaxY(tl->frame())));
    handle(CropHandle::Bottom)
        ->setFrame(CGRectMake(CGRectGetMaxX(bl->frame()), CGRectGetMinY(bl->frame()),
                              CGRectGetMinX(br->frame()) - CGRectGetMaxX(bl->frame()), eh));
    handle(CropHandle::Right)
        ->setFrame(CGRectMake(W - ew / 2, CGRectGetMaxY(tr->frame()), ew,
                              CGRectGetMinY(br->frame()) - CGRectGetMaxY(tr->frame())));
}

void CropRectView::drawRect(CGRect) {
    CGContext* ctx = UIGraphicsGetCurrentContext();
    if (!ctx) return;
    CGFloat W = bounds().size.width, H = bounds().size.height;
    float w = float(W), h = float(H);
    auto r = [](float v) { return CGFloat(std::round(v)); };
    for (int i = 0; i < 3; ++i) {
        if (showsGridMinor_) {
            ctx->setFillColorWithColor(CGColor::rgb(1, 1, 0, kMinorGridAlpha));
            for (int j = 1; j < 3; ++j) {
                UIRectFill(CGRectMake(r(i * w / 3 + j * w / 9), 2, 1, r(h) - 4));
                UIRectFill(CGRectMake(2, r(i * h / 3 + j * h / 9), r(w) - 4, 1));
            }
        }
        if (showsGridMajor_ && i > 0) {
            ctx->setFillColorWithColor(CGColor::rgb(1, 1, 1, 1));
            UIRectFill(CGRectMake(r(i * w / 3), 2, 1, r(h) - 4));
            UIRectFill(CGRectMake(2, r(i * h / 3), r(w) - 4, 1));
        }
    }
}

CGRect CropRectView::cropRectMakeWithResizeControlView(const ResizeControl& handle) const {
    std::size_t index = 0;
    while (index < handles_.size() && handles_[index].get() != &handle) ++index;
    if (index == handles_.size()) return frame();
    CropDrag drag;
    drag.handle = CropHandle(index);
    drag.initial = initialRect_;
    drag.translation = handle.translation();
    drag.keepingAspectRatio = keepingAspectRatio_;
    drag.fixedAspectRatio = fixedAspectRatio_;
    drag.minimum = {handles_[std::size_t(CropHandle::Left)]->frame().size.width +
                        handles_[std::size_t(CropHandle::Right)]->frame().size.width,
                    handles_[std::size_t(CropHandle::Top)]->frame().size.height +
                        handles_[std::size_t(CropHandle::Bottom)]->frame().size.height};
    drag.current = frame();
    return cropRectForDrag(drag);
}

void CropRectView::resizeControlViewDidBeginResizing(ResizeControl&) {
    initialRect_ = frame();
    if (auto d = delegate_.lock()) d->cropRectViewDidBeginEditing(*this);
}

void CropRectView::resizeControlViewDidResize(ResizeControl& handle) {
    setFrame(cropRectMakeWithResizeControlView(handle));
    if (auto d = delegate_.lock()) d->cropRectViewEditingChanged(*this);
}

void CropRectView::resizeControlViewDidEndResizing(ResizeControl&) {
    if (auto d = delegate_.lock()) d->cropRectViewDidEndEditing(*this);
}
