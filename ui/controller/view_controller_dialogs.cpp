// Alerts, prompts and action sheets.
#include "ui/controller/view_controller_dialogs.h"

#include <utility>

#include "foundation/device.h"
#include "foundation/global.h"
#include "foundation/lang.h"
#include "platform/ui/bar/ui_bar_button_item.h"
#include "platform/ui/controller/ui_alert_controller.h"
#include "platform/ui/controller/ui_menu_controller.h"
#include "platform/ui/controller/ui_popover_presentation_controller.h"
#include "platform/ui/input/ui_text_field.h"
#include "ui/controller/dialog_anchor.h"
#include "ui/controller/view_controller_presentation.h"

namespace {

constexpr const char* kDestructivePrefix = "d|";
constexpr const char* kCancelPrefix = "c|";
constexpr const char* kCancel = "Cancel";
constexpr const char* kClose = "Close";

// The handler every button shares: the alert leaves the stack, then the button's own action.
UIAlertAction::Handler closing(std::weak_ptr<UIAlertController> weakAlert, Callback action) {
    return [weakAlert, action = std::move(action)](UIAlertAction&) {
        if (auto alert = weakAlert.lock()) dismiss(alert, nullptr, true);
        if (action) action();
    };
}

AlertPtr makeAlert(const std::string& message) {
    return UIAlertController::make(Global::shared()->appName(), message, UIAlertControllerStyle::Alert);
}

AlertPtr presentAlert(const ControllerPtr& receiver, const AlertPtr& alert) {
    present(receiver, alert, nullptr, true);
    return alert;
}

void addButton(const AlertPtr& alert, const std::string& title, Callback action) {
    alert->addAction(UIAlertAction::make(title, UIAlertActionStyle::Default, closing(alert, std::move(action))));
}

AlertPtr promptWith(const ControllerPtr& receiver, const std::string& message,
                    std::function<void(UITextField&)> configure, TextCallback onOK, Callback onCancel) {
    auto alert = makeAlert(message);
    alert->addTextField(std::move(configure));
    std::weak_ptr<UIAlertController> weakAlert = alert;
    addButton(alert, "OK", [weakAlert, onOK = std::move(onOK)] {
        auto a = weakAlert.lock();
        if (!onOK) return;
        onOK(a && !a->textFields().empty() ? a->textFields().front()->text() : std::string());
    });
    addButton(alert, kCancel, std::move(onCancel));
    return presentAlert(receiver, alert);
}

bool startsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

AlertPtr withClosing(const ControllerPtr& receiver, const std::string& message, std::vector<SheetButton> buttons,
                     const Anchor& source, const char* last, const std::string& appended) {
    if (buttons.empty() || buttons.back().title != last) buttons.push_back({appended, nullptr});
    return act(receiver, message, buttons, source);
}

}  // namespace

std::pair<UIAlertActionStyle, std::string> sheetButtonStyle(const std::string& title) {
    if (startsWith(title, kDestructivePrefix)) return {UIAlertActionStyle::Destructive, title.substr(2)};
    if (startsWith(title, kCancelPrefix)) return {UIAlertActionStyle::Cancel, title.substr(2)};
    if (title == kCancel || title == kClose) return {UIAlertActionStyle::Cancel, title};
    return {UIAlertActionStyle::Default, title};
}

AlertPtr alert(const ControllerPtr& receiver, const std::string& message, Callback onOK) {
    auto a = makeAlert(message);
    addButton(a, "OK", std::move(onOK));
    return presentAlert(receiver, a);
}

AlertPtr confirm(const ControllerPtr& receiver, const std::string& message, Callback onYes, Callback onNo) {
    return confirmText(receiver, message, "Yes", std::move(onYes), "No", std::move(onNo));
}

AlertPtr confirmText(const ControllerPtr& receiver, const std::string& message, const std::string& textYes,
                     Callback onYes, const std::string& textNo, Callback onNo) {
    auto a = makeAlert(message);
    addButton(a, textYes, std::move(onYes));
    addButton(a, textNo, std::move(onNo));
    return presentAlert(receiver, a);
}

AlertPtr prompt(const ControllerPtr& receiver, const std::string& message, const std::string& placeholder,
                const std::string& initial, TextCallback onOK, Callback onCancel) {
    return promptWith(
        receiver, message,
        [placeholder, initial](UITextField& field) {
            field.setText(initial);
            field.setPlaceholder(placeholder);
            field.setClearButtonMode(UITextFieldViewMode::Always);
        },
        std::move(onOK), std::move(onCancel));
}

AlertPtr prompt(const ControllerPtr& receiver, const std::string& message, const std::string& placeholder,
                const std::string& initial, UIKeyboardType keyboardType, TextCallback onOK, Callback onCancel) {
    return promptWith(
        receiver, message,
        [placeholder, initial, keyboardType](UITextField& field) {
            field.setText(initial);
            field.setPlaceholder(placeholder);
            auto& traits = field.traits();
            traits.autocorrectionType = UITextAutocorrectionType::No;
            traits.spellCheckingType = UITextSpellCheckingType::No;
            traits.returnKeyType = UIReturnKeyType::Done;
            traits.autocapitalizationType = UITextAutocapitalizationType::None;
            traits.keyboardType = keyboardType;
            field.setClearButtonMode(UITextFieldViewMode::Never);
        },
        std::move(onOK), std::move(onCancel));
}

AlertPtr act(const ControllerPtr& receiver, const std::string& message, const std::vector<SheetButton>& buttons,
             const Anchor& source) {
    const bool tablet = Global::shared()->device()->IsIPad();
    const bool anchored = isDialogAnchor(source);
    const auto style = !tablet || anchored ? UIAlertControllerStyle::ActionSheet : UIAlertControllerStyle::Alert;
    auto sheet = UIAlertController::make("", message, style);
    bool haveCancel = false;
    for (const auto& button : buttons) {
        auto [kind, title] = sheetButtonStyle(button.title);
        // The platform takes one cancel button: the first keeps the style, later ones are plain.
        if (kind == UIAlertActionStyle::Cancel && std::exchange(haveCancel, true)) kind = UIAlertActionStyle::Default;
        sheet->addAction(UIAlertAction::make(title, kind, closing(sheet, button.action)));
    }
    if (style == UIAlertControllerStyle::ActionSheet && tablet) {
        sheet->setModalPresentationStyle(UIModalPresentationStyle::FullScreen);
        if (auto popover = sheet->popoverPresentationController()) {
            popover->setPermittedArrowDirections(UIPopoverArrowDirectionAny);
            anchorPopover(*popover, source, receiver);
        }
    }
    return presentAlert(receiver, sheet);
}

AlertPtr actButtons(const ControllerPtr& receiver, const std::string& message, std::vector<SheetButton> buttons,
                    const Anchor& source) {
    return withClosing(receiver, message, std::move(buttons), source, kCancel,
                       kCancelPrefix + Global::shared()->lang()->get(kCancel));
}

AlertPtr closeButtons(const ControllerPtr& receiver, const std::string& message, std::vector<SheetButton> buttons,
                      const Anchor& source) {
    return withClosing(receiver, message, std::move(buttons), source, kClose, kClose);
}
