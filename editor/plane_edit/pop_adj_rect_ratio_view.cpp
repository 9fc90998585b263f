#include "editor/plane_edit/pop_adj_rect_ratio_view.h"

#include "platform/ui/draw/color.h"
#include "ui/controls/status_button_path.h"
#include "ui/layout/view_custom_constraints.h"
#include "ui/layout/view_custom_style.h"
#include "ui/popup/popup_metrics.h"

namespace {

constexpr CGFloat kPanelInset = 1;
constexpr CGSize kButtonSize{60, 40};
constexpr CGFloat kButtonTop = 8;
constexpr CGFloat kButtonStep = 60;
constexpr CGPoint kIconPosition{10, 10};
constexpr CGSize kIconSize{20, 20};
constexpr const char* kTitles[] = {"FREE", "3:4", "9:16", "2:3", "1:1"};
// Half width and half height of each closed outline (index 0 is drawn broken).
constexpr CGFloat kHalfSizes[][2] = {{7, 7}, {6.375, 8.5}, {4.78125, 8.5}, {17.0 / 3, 8.5}, {7, 7}};

CGPath rectOutline(CGFloat hw, CGFloat hh) {
    CGPath p;
    p.moveToPoint({-hw, -hh});
    p.addLineToPoint({hw, -hh});
    p.addLineToPoint({hw, hh});
    p.addLineToPoint({-hw, hh});
    p.closeSubpath();
    return p;
}

// The free square: an L at each corner and a dash in the middle of each side.
CGPath brokenSquare() {
    constexpr CGFloat h = 7, arm = 3.5, dash = 1.75;
    CGPath p;
    for (const CGFloat sx : {-1.0, 1.0}) {
        for (const CGFloat sy : {-1.0, 1.0}) {
            p.moveToPoint({sx * h, sy * (h - arm)});
            p.addLineToPoint({sx * h, sy * h});
            p.addLineToPoint({sx * (h - arm), sy * h});
        }
    }
    for (const CGFloat s : {-1.0, 1.0}) {
        p.moveToPoint({-dash, s * h});
        p.addLineToPoint({dash, s * h});
        p.moveToPoint({s * h, -dash});
        p.addLineToPoint({s * h, dash});
    }
    return p;
}

}  // namespace

void PopAdjRectRatioView::init() {
    PopArrowedView::init();
    setSize(kSize);
    bg()->setBackgroundColor(UIColor::clearColor());
    setBgColor(UIColor::colorWithWhite(1, 1));
    b0_ = UIView::make();
    assignRound(*b0_, kPopupCornerRadius);
    b0_->setBackgroundColor(UIColor::colorWithWhite(0, 1));
    container()->addSubview(b0_);
    addConstraintsFull(b0_, container(), kPanelInset, kPanelInset, -kPanelInset, -kPanelInset);
    std::weak_ptr<PopAdjRectRatioView> weak = self<PopAdjRectRatioView>();
    // Left to right in index order, centred on the panel.
    for (long index = 0; index < kRatioCount; ++index) {
        auto button = StatusButtonPath::make(*getBezierPath(index), kIconPosition, kIconSize);
        button->addTarget([weak, index] {
            if (auto s = weak.lock()) s->onRatio(index);
        });
        assignShadow(*button);
        b0_->addSubview(button);
        addConstraintsCT(button, b0_, (index - 2) * kButtonStep, kButtonTop, kButtonSize.width, kButtonSize.height);
        buttons_[index] = button;
    }
    hideOnTapOutside();
}

void PopAdjRectRatioView::show(const std::shared_ptr<NSObject>& sender, Callback completion, Callback onDidHide) {
    updateView();
    PopArrowedView::show(sender, std::move(completion), std::move(onDidHide));
}

void PopAdjRectRatioView::updateView() {
    auto d = delegate();
    const long current = d ? d->onPopAdjRectRatioViewGetValue(*this) : -1;
    for (long i = 0; i < kRatioCount; ++i) {
        buttons_[i]->setTitle(*getTitle(i));
        buttons_[i]->setSelected(i == current);
    }
}

std::optional<std::string> PopAdjRectRatioView::getTitle(long index) {
    if (index < 0 || index >= kRatioCount) return std::nullopt;
    return kTitles[index];
}

std::optional<CGPath> PopAdjRectRatioView::getBezierPath(long index) {
    if (index < 0 || index >= kRatioCount) return std::nullopt;
    if (index == 0) return brokenSquare();
    return rectOutline(kHalfSizes[index][0], kHalfSizes[index][1]);
}

void PopAdjRectRatioView::onRatio(long index) {
    if (auto d = delegate()) d->onPopAdjRectRatioViewValueChanged(*this, index);
    updateView();
}
