#include "editor/plane_edit/pop_adj_positions_view.h"

#include <algorithm>

#include "editor/plane_edit/plane_record.h"
#include "filter/filter_element.h"
#include "foundation/numeric.h"
#include "platform/runtime/value.h"
#include "platform/text/case_mapping.h"
#include "platform/ui/draw/color.h"
#include "platform/ui/gesture/ui_pan_gesture_recognizer.h"
#include "platform/ui/gesture/ui_tap_gesture_recognizer.h"

namespace {
// Bottom left, bottom right, top left, top right, as the keys sort, joined round the outside.
const std::vector<std::size_t> kCornerOrder{0, 1, 3, 2};
}  // namespace

void PopAdjPositionsView::init() {
    PopAdjPictureFrame::init();
    initPicture(UIColor::colorWithWhite(0, 0.5), kRefreshInterval);
    plane_ = CoordPointerView::make();
    plane_->setLineType(CoordLineType::Closed);
    plane_->setLineOrder(kCornerOrder);
    std::weak_ptr<PopAdjPositionsView> weak = self<PopAdjPositionsView>();
    plane_->setDelegate(std::shared_ptr<CoordPointerViewDelegate>(weak.lock(), this));
    UIViewAddGestureRecognizer(*container(), UIPanGestureRecognizer::make([weak](UIGestureRecognizer& r) {
        if (auto s = weak.lock()) s->plane_->onPan(r);
    }));
    UIViewAddGestureRecognizer(*container(), UITapGestureRecognizer::make([weak](UIGestureRecognizer& r) {
        if (auto s = weak.lock()) s->plane_->onTap(r);
    }));
}

void PopAdjPositionsView::show(const std::shared_ptr<NSObject>& sender, const Value& list, Callback completion) {
    values_ = planeListRecords(list);
    if (!load()) return;
    showRight("Reset", false);
    std::weak_ptr<PopAdjPositionsView> weak = self<PopAdjPositionsView>();
    PopAdjFrameBase::show(sender, uppercaseString("Positions"), [weak, completion = std::move(completion)] {
        auto s = weak.lock();
        if (!s) return;
        // The panel has its final size now: the handles are placed again, and every point is
        // stored once where it is shown.
        s->plane_->update();
        s->onCoordPointerViewValueChanged(*s->plane_);
        if (auto d = s->delegate()) d->onPopAdjFrameBaseDidShow(*s);
        if (completion) completion();
    });
}

bool PopAdjPositionsView::load() {
    resetUpdateImageTimer();
    const auto picture = pictureSize();
    if (!picture) return false;
    layOutPicture(*picture, plane_, 0);

    plane_->resetPointers();
    for (std::size_t i = 0; i < values_.size(); ++i) plane_->addPointer(UIColor::whiteColor());
    for (std::size_t i = 0; i < values_.size(); ++i) {
        const Value& record = values_[i];
        const auto base = planeRecordBaseSize(record);
        const float x = planeToPicture(planeRecordEntryOr(record, "value", 0, 0), picture->width, base, false);
        const float y = planeToPicture(planeRecordEntryOr(record, "value", 1, 0), picture->height, base, true);
        plane_->pointers()[i]->setValue({clampUnit(x / picture->width), clampUnit(y / picture->height)});
    }
    plane_->setNeedsLayout();
    plane_->layoutIfNeeded();
    plane_->update();
    restartUpdateImageTimer();
    return true;
}

void PopAdjPositionsView::onCoordPointerViewValueChanged(CoordPointerView& plane) {
    const auto picture = pictureSize();
    if (!picture) return;
    const std::size_t n = std::min(values_.size(), plane.pointers().size());
    for (std::size_t i = 0; i < n; ++i) {
        const CGPoint v = plane.pointers()[i]->value();
        FilterElement::setAttrValueVecRatio(values_[i], v.x, v.y, *picture);
        if (auto d = delegate()) d->onPopAdjFrameBaseValueChanged(*this, values_[i]);
    }
}

void PopAdjPositionsView::onRightButton(IconButton&) {
    for (const Value& record : values_) {
        FilterElement::setAttrValueVec(record, planeRecordEntryOr(record, "def", 0, 0),
                                       planeRecordEntryOr(record, "def", 1, 0));
        // The default is absolute: a base size left behind would scale it at the next build.
        if (ValueDictionary* d = record.dictionaryPtr()) d->remove("editingBaseSize");
        if (auto d = delegate()) d->onPopAdjFrameBaseValueChanged(*this, record);
    }
    load();
}
