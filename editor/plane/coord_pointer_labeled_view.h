// A pointer plane framed by its axis labels: "0" at the origin, "1" at x = 1 and "1" at y = 1,
// in a 10-point margin round the plane. The plane itself is reached through plane().
// Main-thread only.
#pragma once

#include "editor/plane/coord_pointer_view.h"
#include "ui/layout/my_view.h"

class UILabel;

class CoordPointerLabeledView : public MyView {
public:
    KORVA_MAKE(CoordPointerLabeledView)
    static constexpr CGFloat kMargin = 10;

    void setup() override;
    void relayout() override;

    const std::shared_ptr<CoordPointerView>& plane() const { return plane_; }
    const std::shared_ptr<UILabel>& label0() const { return label0_; }
    const std::shared_ptr<UILabel>& labelX1() const { return labelX1_; }
    const std::shared_ptr<UILabel>& labelY1() const { return labelY1_; }

    std::string className() const override { return "CoordPointerLabeledView"; }

protected:
    using MyView::MyView;

private:
    std::shared_ptr<CoordPointerView> plane_;
    std::shared_ptr<UILabel> label0_, labelX1_, labelY1_;
};
