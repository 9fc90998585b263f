// The older action sheet, drawn as the platform's action sheet.
#include "platform/ui/controller/ui_action_sheet.h"

#include "platform/ui/app/ui_application.h"
#include "platform/ui/app/ui_window.h"
#include "platform/ui/bar/ui_toolbar.h"
#include "platform/ui/controller/ui_alert_controller.h"

UIActionSheet::UIActionSheet(std::string title, std::shared_ptr<UIActionSheetDelegate> delegate,
                             std::optional<std::string> cancelTitle, std::vector<std::string> otherTitles)
    : title_(std::move(title)), delegate_(delegate), buttons_(std::move(otherTitles)) {
    if (cancelTitle) {
        buttons_.push_back(*cancelTitle);
        cancelIndex_ = numberOfButtons() - 1;
    }
}

std::string UIActionSheet::buttonTitleAtIndex(long index) const {
    return index >= 0 && index < numberOfButtons() ? buttons_[static_cast<std::size_t>(index)] : std::string();
}

bool UIActionSheet::showFromToolbar(const std::shared_ptr<UIToolbar>&) {
    if (up_) return false;
    auto window = UIApplication::sharedApplication()->keyWindow();
    auto top = window ? std::dynamic_pointer_cast<UIViewController>(window->rootViewController()) : nullptr;
    while (top && top->presentedViewController()) top = top->presentedViewController();
    if (!top) return false;

    auto sheet = UIAlertController::make(title_, "", UIAlertControllerStyle::ActionSheet);
    auto me = self<UIActionSheet>();
    for (long i = 0; i < numberOfButtons(); ++i) {
        const auto style = i == cancelIndex_ ? UIAlertActionStyle::Cancel : UIAlertActionStyle::Default;
        sheet->addAction(UIAlertAction::make(buttons_[static_cast<std::size_t>(i)], style,
                                             [me, i](UIAlertAction&) { me->dismissed(i); }));
    }
    sheet_ = sheet;
    up_ = true;
    top->presentViewController(sheet, true);
    return true;
}

void UIActionSheet::dismissWithClickedButtonIndex(long index, bool animated) {
    auto sheet = alertController();
    if (!sheet || index < 0 || index >= numberOfButtons()) return;
    if (animated) {
        for (const auto& a : sheet->actions())
            if (a->title() == buttons_[static_cast<std::size_t>(index)]) {
                sheet->chooseAction(a);
                return;
            }
    }
    auto me = self<UIActionSheet>();
    if (!sheet->dismissViewControllerAnimated(false, [me, index] { me->dismissed(index); })) dismissed(index);
}

void UIActionSheet::dismissed(long index) {
    if (!up_) return;
    up_ = false;
    auto keep = self<UIActionSheet>();
    if (auto d = delegate()) d->actionSheetClickedButtonAtIndex(*this, index);
}
