#include "editor/plane_edit/pop_adj_picture_frame.h"

#include "editor/plane_edit/plane_record.h"
#include "filter/canvas_view.h"
#include "foundation/numeric.h"
#include "platform/ui/draw/color.h"
#include "ui/layout/view_custom_constraints.h"

namespace {
constexpr CGSize kInitialSize{250, 250};
constexpr CGFloat kPopupAlpha = 0.5;
}  // namespace

void PopAdjPictureFrame::initPicture(std::shared_ptr<UIColor> panelColor, double refreshInterval) {
    refreshInterval_ = refreshInterval;
    setSize(kInitialSize);
    bg()->setBackgroundColor(UIColor::clearColor());
    setBgColor(UIColor::colorWithWhite(1, kPopupAlpha));
    b0_ = UIView::make();
    b0_->setBackgroundColor(std::move(panelColor));
    b0p()->addSubview(b0_);
    addConstraintsFull(b0_, b0p(), 0, kTitleBarHeight, 0, 0);
    canvasView_ = CanvasView::make();
    // The canvas fills its drawable aspect-filled; the picture must not spill past the plane.
    canvasView_->setClipsToBounds(true);
}

void PopAdjPictureFrame::recalcLayout() {
    auto root = rootView();
    if (!root) return;
    const CGRect f = root->bounds();
    const CGSize s = size();
    setCrt({{CGRectGetMidX(f) - s.width / 2, CGRectGetMidY(f) - s.height / 2}, s});
}

std::optional<CGSize> PopAdjPictureFrame::pictureSize() {
    auto d = delegate();
    return planePictureSize(d ? d->onPopAdjFrameBaseGetImage(*this) : nullptr);
}

void PopAdjPictureFrame::layOutPicture(CGSize picture, const std::shared_ptr<UIView>& plane, CGFloat bottomBar) {
    imageSize_ = picture;
    const float iw = static_cast<float>(picture.width), ih = static_cast<float>(picture.height);
    const float m = maxFloat(iw, ih);
    const float w0 = iw * static_cast<float>(kLongSide) / m;
    const float h0 = ih * static_cast<float>(kLongSide) / m + static_cast<float>(kTitleBarHeight);
    const float W = maxFloat(w0, static_cast<float>(kMinSide));
    const float H = maxFloat(h0, static_cast<float>(kMinSide));
    setSize({W, H + bottomBar});
    const CGFloat dx = (W - w0) / 2 + kCanvasInset;
    const CGFloat dy = (H - h0) / 2 + kCanvasInset;
    for (const std::shared_ptr<UIView>& v : {std::static_pointer_cast<UIView>(canvasView_), plane}) {
        v->removeFromSuperview();
        b0_->addSubview(v);
        addConstraintsFull(v, b0_, dx, dy, -dx, -bottomBar - dy);
    }
}

void PopAdjPictureFrame::restartUpdateImageTimer() {
    // Weak: a closed editor is not kept alive by its refresh.
    timerUpdateImage_.restart(refreshInterval_,
                              weakBind(self<PopAdjPictureFrame>(), &PopAdjPictureFrame::onUpdateImage));
}

void PopAdjPictureFrame::onUpdateImage() {
    auto d = delegate();
    canvasView_->setImage(d ? d->onPopAdjFrameBaseGetImage(*this) : nullptr);
}

void PopAdjPictureFrame::hide(Callback completion) {
    resetUpdateImageTimer();
    if (auto d = delegate()) d->onPopAdjFrameBaseWillHide(*this);
    PopAdjFrameBase::hide([completion = std::move(completion)] {
        if (completion) completion();
    });
}
