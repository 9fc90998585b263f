// The label row: building the buttons, the selection and its centring scroll.
#include "ui/controls/menu_label_view.h"

#include <algorithm>

#include "foundation/numeric.h"
#include "foundation/text_measure.h"
#include "platform/ui/animation/ui_view_animation.h"
#include "platform/ui/control/ui_button.h"
#include "platform/ui/draw/color.h"
#include "ui/layout/scroll_view_custom.h"

namespace {
constexpr CGSize kMeasureLimit{300, 100};
constexpr double kCornerRadius = 8;
constexpr CGFloat kBandWidth = 20;
}  // namespace

MenuLabelView::MenuLabelView(std::shared_ptr<UIFont> font, std::shared_ptr<UIColor> colorSelected,
                             std::shared_ptr<UIColor> colorUnselected, std::shared_ptr<UIColor> bgColor)
    : GradientLRView(UIColor::blackColor(), kBandWidth),
      font_(std::move(font)),
      colorSelected_(std::move(colorSelected)),
      colorUnselected_(std::move(colorUnselected)),
      bgColor_(std::move(bgColor)) {}

void MenuLabelView::init() {
    GradientLRView::init();
    lastSelection_ = -1;
    scroll()->setBackgroundColor(bgColor_);
}

double MenuLabelView::updateData() {
    for (const auto& b : buttons_) b->removeFromSuperview();
    buttons_.clear();
    auto d = delegate_.lock();
    const auto strings = d ? d->onMenuLabelViewGetArray(*this) : std::vector<std::string>{};
    CGFloat x = kStart;
    std::weak_ptr<MenuLabelView> weak = self<MenuLabelView>();
    for (std::size_t i = 0; i < strings.size(); ++i) {
        const CGFloat w = boundingSize(strings[i], font_, kMeasureLimit).width;
        auto b = UIButton::buttonWithType(UIButtonType::System);
        b->setFrame({{x, 0}, {w + kTextPadding, kRowHeight}});
        b->titleLabel()->setFont(font_);
        b->setTintColor(UIColor::blackColor());
        b->layer()->setCornerRadius(kCornerRadius);
        b->layer()->setMasksToBounds(true);
        b->setTitle(strings[i], UIControlStateNormal);
        b->setTag(long(i));
        b->addAction(
            [weak](UIControl& sender) {
                if (auto s = weak.lock()) s->onLabel(static_cast<UIButton&>(sender));
            },
            UIControlEventTouchUpInside);
        scroll()->addSubview(b);
        buttons_.push_back(b);
        x += w + kTextPadding + kGap;
    }
    scroll()->setContentSize({x, kRowHeight});
    updateView();
    return x + kStart;
}

void MenuLabelView::updateView() {
    GradientLRView::updateView();
    updateSelection([] {});
}

void MenuLabelView::setSelection(long index, Completion completion) {
    lastSelection_ = index;
    updateSelection(std::move(completion));
}

void MenuLabelView::resetSelection() {
    setSelection(-1, [] {});
}

void MenuLabelView::colour(UIButton& button, bool selected) const {
    button.setTintColor(selected ? UIColor::whiteColor() : UIColor::blackColor());
    button.tintColorDidChange();  // the platform's tint setter does not tell the button
    button.setBackgroundColor(selected ? colorSelected_ : colorUnselected_);
}

void MenuLabelView::updateSelection(Completion completion) {
    const bool valid = lastSelection_ >= 0 && std::size_t(lastSelection_) < buttons_.size();
    for (std::size_t i = 0; i < buttons_.size(); ++i) colour(*buttons_[i], valid && long(i) == lastSelection_);
    if (!valid) {
        if (completion) completion();
        return;
    }
    const CGRect f = buttons_[std::size_t(lastSelection_)]->frame();
    const float width = float(scroll()->frame().size.width);
    const float target = float(f.origin.x) - std::max(0.0f, width / 2 - float(f.size.width) / 2);
    const float limit = std::max(float(scroll()->contentSize().width) - width, 0.0f);
    const float x = std::clamp(target, 0.0f, limit);
    std::weak_ptr<UIScrollView> weakScroll = scroll();
    UIViewAnimation::animate(
        kScrollDuration,
        [weakScroll, x] {
            if (auto s = weakScroll.lock()) s->setContentOffset({x, 0});
        },
        [completion = std::move(completion)](bool) {
            if (completion) completion();
        });
}

void MenuLabelView::onLabel(UIButton& sender) {
    const long index = sender.tag();
    std::weak_ptr<MenuLabelView> weak = self<MenuLabelView>();
    std::weak_ptr<UIButton> weakSender = sender.self<UIButton>();
    setSelection(index, [weak, weakSender] {
        auto s = weak.lock();
        auto b = weakSender.lock();
        if (!s || !b) return;
        if (auto d = s->delegate_.lock()) d->onMenuLabelViewLabelTap(*s, s->lastSelection_, *b);
    });
}

void MenuLabelView::flash() {
    ::flash(*scroll());
}

void MenuLabelView::scrollReset() {
    scroll()->setContentOffset({0, 0}, true);
}
