// The older alert view, drawn as the platform's alert.
#include "platform/ui/controller/ui_alert_view.h"

#include "platform/ui/app/ui_application.h"
#include "platform/ui/app/ui_window.h"
#include "platform/ui/controller/ui_alert_controller.h"

long UIAlertView::addButtonWithTitle(const std::string& title) {
    buttons_.push_back(title);
    return numberOfButtons() - 1;
}

std::string UIAlertView::buttonTitleAtIndex(long index) const {
    return index >= 0 && index < numberOfButtons() ? buttons_[static_cast<std::size_t>(index)] : std::string();
}

void UIAlertView::setCancelButtonIndex(long index) {
    if (index == kNoButton || (index >= 0 && index < numberOfButtons())) cancelIndex_ = index;
}

bool UIAlertView::show() {
    if (up_) return false;
    auto window = UIApplication::sharedApplication()->keyWindow();
    auto top = window ? std::dynamic_pointer_cast<UIViewController>(window->rootViewController()) : nullptr;
    while (top && top->presentedViewController()) top = top->presentedViewController();
    if (!top) return false;

    auto alert = UIAlertController::make(title_, message_, UIAlertControllerStyle::Alert);
    auto me = self<UIAlertView>();
    for (long i = 0; i < numberOfButtons(); ++i) {
        const auto style = i == cancelIndex_ ? UIAlertActionStyle::Cancel : UIAlertActionStyle::Default;
        alert->addAction(UIAlertAction::make(buttons_[static_cast<std::size_t>(i)], style,
                                             [me, i](UIAlertAction&) { me->dismissed(i); }));
    }
    alert_ = alert;
    up_ = true;
    top->presentViewController(alert, true);
    return true;
}

void UIAlertView::dismissWithClickedButtonIndex(long index, bool animated) {
    auto alert = alertController();
    if (!alert || index < 0 || index >= numberOfButtons()) return;
    if (animated) {
        alert->chooseAction(alert->actions()[static_cast<std::size_t>(index)]);
        return;
    }
    auto me = self<UIAlertView>();
    if (!alert->dismissViewControllerAnimated(false, [me, index] { me->dismissed(index); })) dismissed(index);
}

void UIAlertView::dismissed(long index) {
    if (!up_) return;
    up_ = false;
    auto keep = self<UIAlertView>();
    if (auto d = delegate()) d->alertViewDidDismissWithButtonIndex(*this, index);
}
