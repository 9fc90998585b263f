// The shared form of the option choice pop-ups: body, buttons, selection and taps.
#include "camera/options/pop_option_choice_view.h"

#include "ui/controls/status_button_base.h"
#include "ui/layout/view_custom_constraints.h"
#include "ui/layout/view_custom_style.h"
#include "ui/popup/popup_metrics.h"

void PopOptionChoiceView::init() {
    PopArrowedView::init();
    setSize(bodySize());
    bg()->setBackgroundColor(UIColor::clearColor());
    setBgColor(UIColor::colorWithWhite(0, 0.8));
    buildBody();
    hideOnTapOutside();
}

void PopOptionChoiceView::buildBody() {
    b0_ = UIView::make();
    assignRound(*b0_, kPopupCornerRadius);
    container()->addSubview(b0_);
    addConstraintsFull(b0_, container(), kBodyInset, kBodyInset, -kBodyInset, -kBodyInset);
    choices_ = makeChoices();
    std::weak_ptr<PopOptionChoiceView> weak = self<PopOptionChoiceView>();
    for (std::size_t i = 0; i < choices_.size(); ++i) {
        auto& button = choices_[i].button;
        assignShadow(*button);
        button->addTarget([weak, i] {
            if (auto s = weak.lock()) s->choose(i);
        });
        b0_->addSubview(button);
        addConstraintsCT(button, b0_, choices_[i].dx, kButtonTop, kButtonSize.width, kButtonSize.height);
    }
}

void PopOptionChoiceView::show(const std::shared_ptr<NSObject>& sender, Callback completion, Callback onDidHide) {
    updateView();
    PopArrowedView::show(sender, std::move(completion), std::move(onDidHide));
}

void PopOptionChoiceView::updateView() {
    for (const auto& choice : choices_) {
        choice.button->setTitle(choice.title);
        choice.button->setSelected(choice.selected());
    }
}

std::vector<std::shared_ptr<StatusButtonBase>> PopOptionChoiceView::buttons() const {
    std::vector<std::shared_ptr<StatusButtonBase>> all;
    for (const auto& choice : choices_) all.push_back(choice.button);
    return all;
}

void PopOptionChoiceView::choose(std::size_t index) {
    if (index >= choices_.size()) return;
    choices_[index].write();
    notifyDelegate();
    updateView();
}
