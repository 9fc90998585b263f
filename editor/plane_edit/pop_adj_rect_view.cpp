#include "editor/plane_edit/pop_adj_rect_view.h"

#include "editor/adjust/adj_record.h"
#include "editor/plane_edit/plane_record.h"
#include "filter/filter_element.h"
#include "foundation/numeric.h"
#include "platform/ui/draw/color.h"
#include "platform/ui/gesture/ui_pan_gesture_recognizer.h"
#include "ui/controls/status_button_path.h"
#include "ui/layout/view_custom_constraints.h"
#include "ui/layout/view_custom_style.h"
#include "ui/popup/popup_metrics.h"

namespace {
constexpr CGPoint kIconPosition{10, 10};
constexpr CGSize kIconSize{20, 20};
constexpr CGFloat kButtonBottom = -5;
constexpr CGFloat kButtonRadius = 5;
}  // namespace

double PopAdjRectView::ratioOf(long index) {
    switch (index) {
        case 1: return static_cast<float>(4.0 / 3.0);
        case 2: return static_cast<float>(16.0 / 9.0);
        case 3: return 1.5;
        case 4: return 1.0;
        default: return 0;
    }
}

void PopAdjRectView::init() {
    PopAdjPictureFrame::init();
    initPicture(UIColor::colorWithWhite(0, 0.5), kRefreshInterval);
    std::weak_ptr<PopAdjRectView> weak = self<PopAdjRectView>();
    plane_ = CoordRectView::make();
    plane_->setDelegate(std::shared_ptr<CoordRectViewDelegate>(weak.lock(), this));

    popRatio_ = PopAdjRectRatioView::make(vc());
    popRatio_->setShowAboveIfBothAvailable(true);
    popRatio_->setDelegate(std::shared_ptr<PopAdjRectRatioViewDelegate>(weak.lock(), this));

    btnRatio_ = StatusButtonPath::make(*PopAdjRectRatioView::getBezierPath(selectedRatio_), kIconPosition, kIconSize);
    btnRatio_->setBackgroundColor(UIColor::blackColor());
    btnRatio_->addTarget([weak] {
        if (auto s = weak.lock()) s->onRatio();
    });
    assignShadow(*btnRatio_);
    assignRound(*btnRatio_, kButtonRadius);
    b0()->addSubview(btnRatio_);
    addConstraintsCB(btnRatio_, b0(), 0, kButtonBottom, kPopupButtonSide, kPopupButtonSide);

    UIViewAddGestureRecognizer(*container(), UIPanGestureRecognizer::make([weak](UIGestureRecognizer& r) {
        if (auto s = weak.lock()) s->plane_->onPan(r);
    }));
}

void PopAdjRectView::show(const std::shared_ptr<NSObject>& sender, const Value& record, Callback completion) {
    value_ = record;
    if (!load()) return;
    if (adjRecordHas(record, "def")) {
        showRight("Reset", false);
    } else {
        hideRight(false);
    }
    std::weak_ptr<PopAdjRectView> weak = self<PopAdjRectView>();
    PopAdjFrameBase::show(sender, adjRecordTitle(record), [weak, completion = std::move(completion)] {
        auto s = weak.lock();
        if (!s) return;
        // The panel has its final size now.
        s->plane_->update();
        if (auto d = s->delegate()) d->onPopAdjFrameBaseDidShow(*s);
        if (completion) completion();
    });
}

void PopAdjRectView::hide(Callback completion) {
    resetUpdateImageTimer();
    popRatio_->hide(Callback([] {}));
    PopAdjPictureFrame::hide(std::move(completion));
}

void PopAdjRectView::scheduledInternalLayout() {
    PopAdjPictureFrame::scheduledInternalLayout();
    popRatio_->scheduledLayout();
}

PopAdjRectView::Fractions PopAdjRectView::fractionsOf(std::string_view key, CGSize picture) const {
    const float x = planeRecordEntry(value_, key, 0), y = planeRecordEntry(value_, key, 1);
    const float w = planeRecordEntry(value_, key, 2), h = planeRecordEntry(value_, key, 3);
    const float W = static_cast<float>(picture.width), H = static_cast<float>(picture.height);
    const float left = finiteOr(x, 0), bottom = finiteOr(y, 0);
    const float right = finiteOr(x + w, W), top = finiteOr(y + h, H);
    // A base size is kept only with the edited value; the default is absolute.
    const auto base = key == "value" ? planeRecordBaseSize(value_) : std::nullopt;
    auto frac = [&](float v, float size, bool vertical) {
        return clampUnit(planeToPicture(v, size, base, vertical) / size);
    };
    return {frac(left, W, false), frac(bottom, H, true), frac(right, W, false), frac(top, H, true)};
}

void PopAdjRectView::applyRatio() {
    const CGSize s = imageSize();
    if (s.width <= 0 || s.height <= 0) return;
    plane_->setFixedRatioHbyW(ratioOf(selectedRatio_) * s.width / s.height);
}

bool PopAdjRectView::load() {
    btnRatio_->setTitle(PopAdjRectRatioView::getTitle(selectedRatio_).value_or(""));
    if (auto path = PopAdjRectRatioView::getBezierPath(selectedRatio_)) btnRatio_->setPath(*path);
    resetUpdateImageTimer();
    const auto picture = pictureSize();
    if (!picture) return false;
    layOutPicture(*picture, plane_, kRatioBar);
    plane_->setNeedsLayout();
    plane_->layoutIfNeeded();
    const Fractions f = fractionsOf("value", *picture);
    plane_->setRectWithRatio(f.l, f.b, f.r - f.l, f.t - f.b);
    // The held ratio follows the picture's size, so the button and the plane agree; the stored
    // rectangle is not refitted here.
    plane_->keepFixedRatioHbyW(ratioOf(selectedRatio_) * picture->width / picture->height);
    restartUpdateImageTimer();
    return true;
}

void PopAdjRectView::onRatio() {
    popRatio_->show(
        btnRatio_, [] {}, [] {});
}

void PopAdjRectView::onPopAdjRectRatioViewValueChanged(PopAdjRectRatioView& chooser, long index) {
    selectedRatio_ = index;
    std::weak_ptr<PopAdjRectView> weak = self<PopAdjRectView>();
    chooser.hide([weak] {
        auto s = weak.lock();
        if (!s) return;
        s->applyRatio();
        s->load();
    });
}

void PopAdjRectView::onCoordRectViewValueChanged(CoordRectView& plane) {
    const auto picture = pictureSize();
    if (!picture) return;
    const CGPoint lb = plane.handleValue(0), rt = plane.handleValue(2);
    FilterElement::setAttrValueRect(value_, lb.x, lb.y, rt.x, rt.y, *picture);
    if (auto d = delegate()) d->onPopAdjFrameBaseValueChanged(*this, value_);
}

void PopAdjRectView::onRightButton(IconButton&) {
    const CGSize picture = imageSize();
    if (picture.width <= 0 || picture.height <= 0) return;
    const Fractions f = fractionsOf("def", picture);
    FilterElement::setAttrValueRect(value_, f.l, f.b, f.r, f.t, picture);
    if (auto d = delegate()) d->onPopAdjFrameBaseValueChanged(*this, value_);
    load();
}
