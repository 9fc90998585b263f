#include "editor/list/pop_adj_v_view.h"

#include <algorithm>

#include "editor/adjust/pop_adj_h_view.h"
#include "foundation/global.h"
#include "foundation/numeric.h"
#include "platform/text/case_mapping.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/draw/color.h"
#include "ui/layout/view_custom_constraints.h"
#include "ui/theme/color.h"
#include "ui/theme/font.h"
#include "widgets/button/icon_button.h"
#include "widgets/scroll/scroll_label.h"

void PopAdjVView::init() {
    PopAdjView::init();
    bg()->setBackgroundColor(UIColor::clearColor());
    auto palette = Global::shared()->color();
    auto colour = palette ? palette->attributes() : UIColor::darkGrayColor();
    setBgColor(colour);
    b0()->setBackgroundColor(colour);
    b0()->addSubview(titleView());
    addConstraintsT(titleView_, b0(), 0, 0, 0, kTitleHeight);
    scroll_ = UIScrollView::make();
    scroll_->setDelegate(std::dynamic_pointer_cast<UIScrollViewDelegate>(shared_from_this()));
    b0()->addSubview(scroll_);
    addConstraintsFull(scroll_, b0(), 0, kTitleHeight, 0, -kBottomInset);
}

const std::shared_ptr<TitleView>& PopAdjVView::titleView() {
    if (!titleView_) {
        auto font = Global::shared()->font();
        titleView_ = TitleView::make(font ? font->iconFixedNormal() : nullptr);
        titleView_->setDelegate(std::dynamic_pointer_cast<TitleViewDelegate>(shared_from_this()));
        titleView_->lblTitle()->setText("ATTRIBUTES");
        titleView_->lblTitle()->setTextColor(UIColor::whiteColor());
    }
    return titleView_;
}

void PopAdjVView::show(const std::shared_ptr<NSObject>& sender, const Value& attrs, Callback completion) {
    setAttrs(attrs);
    titleView()->lblTitle()->setText(attrs["disp"].stringValue());
    updateData();
    std::weak_ptr<PopAdjVView> weak = self<PopAdjVView>();
    PopAdjView::show(
        sender,
        [weak, completion = std::move(completion)] {
            if (auto s = weak.lock()) s->scroll_->flashScrollIndicators();
            if (completion) completion();
        },
        [] {});
}

void PopAdjVView::updateData() {
    PopAdjView::updateData();
    for (const auto& b : buttons_) b->removeFromSuperview();
    buttons_.clear();
    auto font = Global::shared()->font();
    std::weak_ptr<PopAdjVView> weak = self<PopAdjVView>();
    for (std::size_t i = 0; i < arr().size(); ++i) {
        auto button = IconButton::buttonWithType(UIButtonType::System);
        CGRect frame = kFirstButton;
        frame.origin.y += kPitch * static_cast<CGFloat>(i);
        button->setFrame(frame);
        scroll_->addSubview(button);
        button->addAction(
            [weak](UIControl& c) {
                if (auto s = weak.lock()) s->onButton(static_cast<IconButton&>(c));
            },
            UIControlEventTouchUpInside);
        if (font) button->titleLabel()->setFont(font->textFixedNormal());
        button->setTitle(uppercaseString(PopAdjHView::labelOf(arr()[i])), UIControlStateNormal);
        buttons_.push_back(button);
    }
    const auto n = static_cast<float>(arr().size());
    scroll_->setContentSize({kContentWidth, kPitch * n});
    setSize({kWidth, minFloat(kMaxVisible, n) * kPitch + kTitleHeight + kBottomInset});
}

void PopAdjVView::onButton(IconButton& button) {
    const auto it = std::find_if(buttons_.begin(), buttons_.end(),
                                 [&button](const std::shared_ptr<IconButton>& b) { return b.get() == &button; });
    if (it == buttons_.end()) return;
    const auto index = static_cast<std::size_t>(it - buttons_.begin());
    if (index < arr().size()) act(arr()[index], button.shared_from_this());
}
