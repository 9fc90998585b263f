#include "editor/plane_edit/pop_adj_graph2d_view.h"

#include <algorithm>

#include "editor/adjust/adj_record.h"
#include "editor/plane_edit/plane_record.h"
#include "filter/filter_element.h"
#include "platform/text/case_mapping.h"
#include "platform/ui/draw/color.h"
#include "platform/ui/gesture/ui_pan_gesture_recognizer.h"
#include "platform/ui/gesture/ui_tap_gesture_recognizer.h"
#include "ui/layout/view_custom_constraints.h"
#include "ui/layout/view_custom_style.h"
#include "ui/popup/popup_metrics.h"

namespace {
constexpr CGFloat kPopupAlpha = 0.8;
}  // namespace

void PopAdjGraph2DView::init() {
    PopAdjGeneralBase::init();
    b0_ = layOutEditor(kSize, UIColor::colorWithWhite(0, kPopupAlpha));
    assignRound(*b0_, kPopupCornerRadius);
    b0_->setBackgroundColor(UIColor::colorWithWhite(0, 1));
    lplane_ = CoordPointerLabeledView::make();
    std::weak_ptr<PopAdjGraph2DView> weak = self<PopAdjGraph2DView>();
    plane()->setDelegate(std::shared_ptr<CoordPointerViewDelegate>(weak.lock(), this));
    plane()->setLineType(CoordLineType::ToneCurve);
    b0_->addSubview(lplane_);
    addConstraintsFull(lplane_, b0_, kPlaneInset, kPlaneInset, -kPlaneInset, -kPlaneInset);
    UIViewAddGestureRecognizer(*container(), UIPanGestureRecognizer::make([weak](UIGestureRecognizer& r) {
        if (auto s = weak.lock()) s->plane()->onPan(r);
    }));
    UIViewAddGestureRecognizer(*container(), UITapGestureRecognizer::make([weak](UIGestureRecognizer& r) {
        if (auto s = weak.lock()) s->plane()->onTap(r);
    }));
}

void PopAdjGraph2DView::show(const std::shared_ptr<NSObject>& sender, const Value& list, Callback completion) {
    values_ = planeListRecords(list);
    updateView();
    showRight("Reset", false);
    std::weak_ptr<PopAdjGraph2DView> weak = self<PopAdjGraph2DView>();
    PopTitleBase::show(sender, uppercaseString("Tone Curve"), [weak, completion = std::move(completion)] {
        if (auto s = weak.lock()) s->plane()->update();
        if (completion) completion();
    });
}

void PopAdjGraph2DView::updateView() {
    const auto& p = plane();
    p->resetPointers();
    for (std::size_t i = 0; i < values_.size(); ++i) p->addPointer(UIColor::whiteColor());
    for (std::size_t i = 0; i < values_.size(); ++i) {
        p->pointers()[i]->setValue(
            {planeRecordEntryOr(values_[i], "value", 0, 0), planeRecordEntryOr(values_[i], "value", 1, 0)});
    }
    // The labelled view places its plane at its first layout; the handles need the plane's size.
    lplane_->setNeedsLayout();
    lplane_->layoutIfNeeded();
    p->setNeedsLayout();
    p->layoutIfNeeded();
    p->update();
}

void PopAdjGraph2DView::onCoordPointerViewValueChanged(CoordPointerView& plane) {
    const std::size_t n = std::min(values_.size(), plane.pointers().size());
    for (std::size_t i = 0; i < n; ++i) {
        const CGPoint v = plane.pointers()[i]->value();
        FilterElement::setAttrValueVec(values_[i], v.x, v.y);
        reportChange(values_[i]);
    }
}

void PopAdjGraph2DView::onRightButton(IconButton&) {
    for (const Value& record : values_) {
        // A record without a default keeps its value.
        if (!adjRecordHas(record, "def")) continue;
        FilterElement::setAttrValueVec(record, planeRecordEntryOr(record, "def", 0, 0),
                                       planeRecordEntryOr(record, "def", 1, 0));
        reportChange(record);
    }
    updateView();
}
