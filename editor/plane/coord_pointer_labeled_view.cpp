#include "editor/plane/coord_pointer_labeled_view.h"

#include "foundation/global.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/draw/color.h"
#include "ui/layout/view_custom_constraints.h"
#include "ui/layout/view_custom_style.h"
#include "ui/theme/font.h"

namespace {

std::shared_ptr<UILabel> makeAxisLabel(const char* text) {
    auto label = UILabel::make();
    label->setText(text);
    auto font = Global::shared()->font();
    if (font) label->setFont(font->font(FontRole::textFixedSmall1));
    label->setTextColor(UIColor::whiteColor());
    label->setTextAlignment(NSTextAlignment::Center);
    assignShadow(*label, UIColor::whiteColor());
    return label;
}

}  // namespace

void CoordPointerLabeledView::setup() {
    plane_ = CoordPointerView::make();
    label0_ = makeAxisLabel("0");
    labelX1_ = makeAxisLabel("1");
    labelY1_ = makeAxisLabel("1");
}

void CoordPointerLabeledView::relayout() {
    auto me = self<UIView>();
    for (const std::shared_ptr<UIView>& v :
         {std::static_pointer_cast<UIView>(plane_), std::static_pointer_cast<UIView>(label0_),
          std::static_pointer_cast<UIView>(labelX1_), std::static_pointer_cast<UIView>(labelY1_)}) {
        v->removeFromSuperview();
        addSubview(v);
    }
    addConstraintsFull(plane_, me, kMargin, kMargin, -kMargin, -kMargin);
    addConstraintsLB(label0_, me, 0, 0, kMargin, kMargin);
    addConstraintsRB(labelX1_, me, 0, 0, kMargin, kMargin);
    addConstraintsLT(labelY1_, me, 0, 0, kMargin, kMargin);
}
