// The tone-curve editor: the curve's control points on one labelled unit square, the smooth curve
// through them, and every move written back into all the points' records in record order.
// Main-thread only.
#pragma once

#include "editor/adjust/pop_adj_general_base.h"
#include "editor/plane/coord_pointer_labeled_view.h"
#include "platform/runtime/value.h"

class PopAdjGraph2DView : public PopAdjGeneralBase, public CoordPointerViewDelegate {
public:
    KORVA_MAKE(PopAdjGraph2DView)
    static constexpr CGSize kSize{200, 245};
    static constexpr CGFloat kPlaneInset = 10;

    void init() override;

    // Opens on the "attr" of each entry of the list, in list order.
    void show(const std::shared_ptr<NSObject>& sender, const Value& list, Callback completion);
    using PopAdjGeneralBase::show;
    // Records to points: shown as stored (a value outside the square stays outside until moved;
    // one that is not a finite number shows at 0).
    void updateView();
    void onCoordPointerViewValueChanged(CoordPointerView& plane) override;
    // Reset: every record with a default gets it back and is reported, in order; then a redraw.
    void onRightButton(IconButton& sender) override;

    const ValueArray& values() const { return values_; }
    const std::shared_ptr<UIView>& b0() const { return b0_; }
    const std::shared_ptr<CoordPointerLabeledView>& lplane() const { return lplane_; }
    const std::shared_ptr<CoordPointerView>& plane() const { return lplane_->plane(); }

    std::string className() const override { return "PopAdjGraph2DView"; }

protected:
    using PopAdjGeneralBase::PopAdjGeneralBase;

private:
    ValueArray values_;
    std::shared_ptr<UIView> b0_;
    std::shared_ptr<CoordPointerLabeledView> lplane_;
};
