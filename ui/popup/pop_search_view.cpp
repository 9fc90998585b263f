// The search pop-up.
#include "ui/popup/pop_search_view.h"

#include <algorithm>

#include "foundation/device.h"
#include "foundation/global.h"
#include "platform/runtime/weak_bind.h"
#include "platform/ui/control/ui_button.h"
#include "platform/ui/draw/color.h"
#include "platform/ui/gesture/ui_tap_gesture_recognizer.h"
#include "platform/ui/layout/layout_constraint.h"
#include "ui/layout/view_custom_constraints.h"
#include "ui/layout/view_custom_style.h"
#include "ui/popup/popup_metrics.h"
#include "ui/theme/color.h"
#include "ui/theme/font.h"
#include "ui/theme/image_custom.h"

namespace {

constexpr CGFloat kStepSide = 30;
constexpr CGFloat kPrevRight = -50, kNextRight = -5;
constexpr CGFloat kFieldLeft = 5, kFieldGap = -20;
constexpr double kWidthShare = 0.9;
constexpr CGSize kIconSize{50, 50};
constexpr std::uint16_t kIconPrev = 0xF053, kIconNext = 0xF054, kIconClose = 0xF00D;

std::shared_ptr<NSLayoutConstraint> relate(const std::shared_ptr<UIView>& a, NSLayoutAttribute attrA,
                                           const std::shared_ptr<UIView>& b, NSLayoutAttribute attrB, CGFloat c) {
    return NSLayoutConstraint::constraintWithItem(a, attrA, NSLayoutRelation::Equal, b, attrB, 1, c);
}

}  // namespace

void PopSearchView::init() {
    PopArrowedView::init();
    useBlackShadowedLook();

    b0_ = UIView::make();
    assignRound(*b0_, kPopupCornerRadius);
    container()->addSubview(b0_);
    addConstraintsFull(b0_, container(), 1, 1, -1, -1);
    body_ = UIView::make();
    b0_->addSubview(body_);
    addConstraintsFull(body_, b0_, 0, 0, 0, 0);

    searchBar_ = UISearchBar::make();
    searchBar_->setDelegate(std::dynamic_pointer_cast<UISearchBarDelegate>(shared_from_this()));
    auto weak = std::weak_ptr<PopSearchView>(self<PopSearchView>());
    auto makeStep = [&](void (PopSearchView::*action)()) {
        auto b = UIButton::buttonWithType(UIButtonType::Custom);
        b->addAction(weakBind(self<PopSearchView>(), action), UIControlEventTouchUpInside);
        return b;
    };
    btnPrev_ = makeStep(&PopSearchView::onPrev);
    btnNext_ = makeStep(&PopSearchView::onNext);
    btnClose_ = UIButton::buttonWithType(UIButtonType::Custom);
    btnClose_->addAction(
        [weak](UIControl&) {
            if (auto s = weak.lock()) s->hide(Callback([] {}));
        },
        UIControlEventTouchUpInside);

    body_->addSubview(btnPrev_);
    addConstraintsRC(btnPrev_, body_, kPrevRight, 0, kStepSide, kStepSide);
    body_->addSubview(btnNext_);
    addConstraintsRC(btnNext_, body_, kNextRight, 0, kStepSide, kStepSide);
    body_->addSubview(searchBar_);
    searchBar_->setTranslatesAutoresizingMaskIntoConstraints(false);
    body_->addConstraint(relate(searchBar_, NSLayoutAttribute::Left, body_, NSLayoutAttribute::Left, kFieldLeft));
    body_->addConstraint(relate(searchBar_, NSLayoutAttribute::CenterY, body_, NSLayoutAttribute::CenterY, 0));
    body_->addConstraint(relate(searchBar_, NSLayoutAttribute::Right, btnPrev_, NSLayoutAttribute::Left, kFieldGap));

    hideOnTapOutside();
    updateDarkMode();
}

void PopSearchView::updateDarkMode() {
    PopArrowedView::updateDarkMode();
    auto device = Global::shared()->device();
    const bool dark = device && device->isDarkMode();
    auto palette = Global::shared()->color();
    setBgColor(dark && palette ? palette->labelLightGray() : UIColor::blackColor());
    if (palette) b0_->setBackgroundColor(palette->backgroundDefault());
    auto iconColor = dark ? UIColor::whiteColor() : UIColor::blackColor();
    auto font = Global::shared()->font();
    const std::pair<std::shared_ptr<UIButton>, std::uint16_t> icons[] = {
        {btnPrev_, kIconPrev}, {btnNext_, kIconNext}, {btnClose_, kIconClose}};
    for (const auto& [button, icon] : icons) {
        button->setTitle(std::string(), UIControlStateNormal);
        button->setImage(
            imageIcon(icon, kIconSize, font ? font->iconButton() : nullptr, iconColor, UIColor::clearColor()),
            UIControlStateNormal);
    }
}

void PopSearchView::updateView() {
    auto root = rootView();
    const CGSize f = root ? root->frame().size : CGSize{};
    setSize({std::min(kMaxWidth, CGFloat(kWidthShare * std::min(f.width, f.height))), kHeight});
    if (searchBar_->text().empty()) {
        btnPrev_->setEnabled(false);
        btnNext_->setEnabled(false);
    }
}

void PopSearchView::show(const std::shared_ptr<NSObject>& sender, const std::string& initialText,
                         const std::string& placeholder, Callback completion) {
    searchBar_->setPlaceholder(placeholder);
    searchBar_->setText(initialText);
    updateView();
    auto weak = std::weak_ptr<PopSearchView>(self<PopSearchView>());
    PopArrowedView::show(
        sender,
        [weak, completion = std::move(completion)] {
            if (auto s = weak.lock()) {
                s->searchBar_->becomeFirstResponder();
                if (auto d = s->delegate_.lock()) d->onPopSearchViewDidShow(*s);
            }
            if (completion) completion();
        },
        nullptr);
}

void PopSearchView::hide(Callback completion) {
    searchBar_->resignFirstResponder();
    if (auto d = delegate_.lock()) d->onPopSearchViewWillHide(*this);
    PopArrowedView::hide(std::move(completion));
}

void PopSearchView::textDidChange(UISearchBar&, const std::string& text) {
    if (text.empty()) {
        btnPrev_->setEnabled(false);
        btnNext_->setEnabled(false);
    }
    if (auto d = delegate_.lock()) d->onPopSearchViewTextChanged(*this, text);
}

void PopSearchView::updateSteps() {
    auto d = delegate_.lock();
    btnPrev_->setEnabled(d && d->onPopSearchViewIsAvailPrev(*this));
    btnNext_->setEnabled(d && d->onPopSearchViewIsAvailNext(*this));
}

void PopSearchView::searchBarSearchButtonClicked(UISearchBar&) {
    searchBar_->resignFirstResponder();
    if (auto d = delegate_.lock()) d->onPopSearchViewSearch(*this, searchBar_->text());
    updateSteps();
}

void PopSearchView::onPrev() {
    if (auto d = delegate_.lock()) d->onPopSearchViewPrev(*this);
    updateSteps();
    updateView();
}

void PopSearchView::onNext() {
    if (auto d = delegate_.lock()) d->onPopSearchViewNext(*this);
    updateSteps();
    updateView();
}
