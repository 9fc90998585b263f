#include "editor/adjust/pop_adj_h_view.h"

#include <algorithm>

#include "foundation/global.h"
#include "foundation/numeric.h"
#include "platform/ui/control/ui_button.h"
#include "platform/ui/controller/ui_view_controller.h"
#include "platform/ui/draw/color.h"
#include "ui/layout/view_custom_constraints.h"
#include "ui/popup/popup_metrics.h"
#include "ui/theme/color.h"
#include "ui/theme/font.h"

namespace {
constexpr CGFloat kMenuInset = 5;
}

void PopAdjHView::init() {
    PopAdjView::init();
    menu();
}

const std::shared_ptr<MenuLabelView>& PopAdjHView::menu() {
    if (!menu_) {
        auto font = Global::shared()->font();
        auto palette = Global::shared()->color();
        menu_ = MenuLabelView::make(font ? font->filterMenuNormal() : nullptr,
                                    UIColor::colorWithRed(89 / 255.0, 169 / 255.0, 233 / 255.0, 1),
                                    UIColor::clearColor(), palette ? palette->colorSelected() : nullptr);
        menu_->setDelegate(std::dynamic_pointer_cast<MenuLabelViewDelegate>(shared_from_this()));
        b0()->addSubview(menu_);
        addConstraintsFull(menu_, b0(), kMenuInset, kMenuInset, -kMenuInset, -kMenuInset);
    }
    return menu_;
}

void PopAdjHView::updateData() {
    PopAdjView::updateData();
    const double width = menu()->updateData();
    CGFloat side = 0;
    if (auto controller = vc()) {
        const CGRect b = controller->view()->bounds();
        side = std::min(b.size.width, b.size.height);
    }
    setSize({clampFloat(static_cast<float>(width), kMinWidth, static_cast<float>(side - kPopupScreenMargin)), kHeight});
}

void PopAdjHView::show(const std::shared_ptr<NSObject>& sender, const Value& attrs, Callback completion) {
    // Compared with the set shown last rather than with `attrs`, which opening a lone item's
    // editor also sets: otherwise a tile that always tries that first never resets the row.
    const bool another = !shown_.isEqual(attrs);
    setAttrs(attrs);
    updateData();
    if (arr().empty()) return;
    shown_ = attrs;
    if (another) menu()->scrollReset();
    std::weak_ptr<PopAdjHView> weak = self<PopAdjHView>();
    PopAdjView::show(
        sender,
        [weak, completion = std::move(completion)] {
            if (auto s = weak.lock()) s->menu()->flash();
            if (completion) completion();
        },
        [] {});
}

std::string PopAdjHView::labelOf(const Value& item) {
    switch (adjActionFromNumber(item["act"].integerValue())) {
        case AdjAction::Positions: return "Positions";
        case AdjAction::Graph2D: return "Points";
        case AdjAction::ColorCube: return "Color Cube";
        case AdjAction::ColorCube2: return "Color Cubes";
        default: break;
    }
    const std::string* disp = item["attr"]["disp"].string();
    return disp && !disp->empty() ? *disp : "NO NAME";
}

std::vector<std::string> PopAdjHView::onMenuLabelViewGetArray(MenuLabelView&) {
    std::vector<std::string> labels;
    for (const Value& item : arr()) labels.push_back(labelOf(item));
    return labels;
}

void PopAdjHView::onMenuLabelViewLabelTap(MenuLabelView&, long index, UIButton& sender) {
    if (index < 0 || static_cast<std::size_t>(index) >= arr().size()) return;
    act(arr()[static_cast<std::size_t>(index)], sender.shared_from_this());
}
