// The label-row pop-up.
#include "ui/popup/pop_menu_label_view.h"

#include "foundation/global.h"
#include "platform/ui/draw/color.h"
#include "ui/layout/view_custom_constraints.h"
#include "ui/layout/view_custom_style.h"
#include "ui/popup/popup_metrics.h"
#include "ui/theme/color.h"
#include "ui/theme/font.h"

namespace {
constexpr CGSize kInitialSize{250, 52};
constexpr CGFloat kMenuInset = 5;
}  // namespace

void PopMenuLabelView::init() {
    PopArrowedView::init();
    setSize(kInitialSize);
    bg()->setBackgroundColor(UIColor::clearColor());
    setBgColor(UIColor::colorWithWhite(0, 0.4));
    b0_ = UIView::make();
    b0_->setBackgroundColor(UIColor::colorWithWhite(0, 1));
    assignRound(*b0_, kPopupCornerRadius);
    container()->addSubview(b0_);
    addConstraintsFull(b0_, container(), 1, 1, -1, -1);
    auto font = Global::shared()->font();
    auto palette = Global::shared()->color();
    menu_ = MenuLabelView::make(font ? font->filterMenuNormal() : nullptr,
                                UIColor::colorWithRed(89 / 255.0, 169 / 255.0, 233 / 255.0, 1), UIColor::clearColor(),
                                palette ? palette->colorSelected() : nullptr);
    menu_->setDelegate(std::dynamic_pointer_cast<MenuLabelViewDelegate>(shared_from_this()));
    b0_->addSubview(menu_);
    addConstraintsFull(menu_, b0_, kMenuInset, kMenuInset, -kMenuInset, -kMenuInset);
    hideOnTapOutside();
}

void PopMenuLabelView::show(const std::shared_ptr<NSObject>& sender, Callback completion, Callback onDidHide) {
    setSize({CGFloat(menu_->updateData()), kHeight});
    PopArrowedView::show(sender, std::move(completion), std::move(onDidHide));
}

std::vector<std::string> PopMenuLabelView::onMenuLabelViewGetArray(MenuLabelView&) {
    auto d = delegate_.lock();
    return d ? d->onPopMenuLabelViewGetArray(*this) : std::vector<std::string>{};
}

void PopMenuLabelView::onMenuLabelViewLabelTap(MenuLabelView&, long index, UIButton& sender) {
    if (auto d = delegate_.lock()) d->onPopMenuLabelViewLabelTap(*this, index, sender);
}
