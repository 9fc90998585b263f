// The share sheet, composers, authentication, toasts and the settings page.
#include "foundation/global.h"
#include "foundation/links.h"
#include "platform/dispatch/queue.h"
#include "platform/ui/app/ui_application.h"
#include "platform/ui/controller/la_context.h"
#include "platform/ui/controller/mf_mail_compose_view_controller.h"
#include "platform/ui/controller/sl_compose_view_controller.h"
#include "platform/ui/controller/ui_activity_view_controller.h"
#include "ui/controller/dialog_anchor.h"
#include "ui/controller/view_controller_dialogs.h"
#include "ui/controller/view_controller_presentation.h"
#include "ui/theme/color.h"
#include "ui/theme/font.h"
#include "ui/theme/image_custom.h"
#include "widgets/toast/toast_manager.h"
#include "widgets/toast/toast_style.h"
#include "widgets/toast/view_toast.h"

namespace {
constexpr double kToastDuration = 4.0;
constexpr const char* kNoMail = "Unable to send Mail";

void onMain(Callback block) {
    if (block) dispatch_async(dispatch_get_main_queue(), std::move(block));
}

void compose(const ControllerPtr& receiver, const char* service, const char* refusal, const std::string& text,
             const Images& images) {
    if (!SLComposeViewController::isAvailableForServiceType(service)) {
        alert(receiver, refusal, nullptr);
        return;
    }
    auto composer = SLComposeViewController::composeViewControllerForServiceType(service);
    composer->setInitialText(text);
    for (const auto& image : images) composer->addImage(image);
    present(receiver, composer, nullptr, true);
}
}  // namespace

void activity(const ControllerPtr& receiver, const Anchor& sender, const std::string& subject,
              const std::vector<Value>& items, std::function<void(bool)> completion) {
    ValueArray shared;
    for (const auto& item : items) shared.push_back(item);
    auto sheet = UIActivityViewController::make(shared);
    if (!subject.empty()) sheet->setValueForKey("subject", Value(subject));
    std::weak_ptr<UIActivityViewController> weakSheet = sheet;
    std::weak_ptr<UIViewController> weakReceiver = receiver;
    // The sheet goes by itself when it finishes: it takes its own entry off the stack.
    sheet->setCompletionWithItemsHandler(
        [weakSheet, weakReceiver, completion = std::move(completion)](const std::string& type, bool completed,
                                                                      const ValueArray&, const std::string& error) {
            if (auto s = weakSheet.lock()) forgetPresented(*s);
            // Mail that did not leave is told as the composer's is, once the sheet has gone.
            if (!completed && type == UIActivityTypeMail)
                if (auto r = weakReceiver.lock()) mailFailed(r, "", error);
            if (completion) completion(completed);
        });
    if (auto popover = sheet->popoverPresentationController()) anchorPopover(*popover, sender, receiver);
    present(
        receiver, sheet, [] {}, true);
}

void etc(const ControllerPtr& receiver, const std::string& text, const Images& images, const Anchor& sender) {
    const std::string& name = Global::shared()->appName();
    std::vector<Value> items;
    if (!text.empty()) items.emplace_back(text);
    items.emplace_back("\n\n#" + name + "\n\n");
    for (const auto& image : images) items.emplace_back(image);
    activity(receiver, sender, name, items, [](bool) {});
}

AlertPtr mailFailed(const ControllerPtr& receiver, const std::string& address, const std::string& reason) {
    std::string message = kNoMail;
    if (!address.empty()) message += ". Address: " + address;
    if (!reason.empty()) message += "\n\n" + reason;
    return alert(receiver, message, nullptr);
}

void mail(const ControllerPtr& receiver, const std::string& text, const Images& images,
          const std::shared_ptr<MFMailComposeViewControllerDelegate>& delegate) {
    if (!MFMailComposeViewController::canSendMail()) {
        alert(receiver, kNoMail, nullptr);
        return;
    }
    auto composer = MFMailComposeViewController::make();
    composer->setMailComposeDelegate(delegate);
    composer->setSubject(Global::shared()->appName() + " Share");
    composer->setMessageBody(text, false);
    for (std::size_t i = 0; i < images.size(); ++i) {
        if (auto data = jpeg(images[i]))
            composer->addAttachmentData(*data, "image/jpeg", "image_" + std::to_string(i + 1) + ".jpg");
    }
    present(
        receiver, composer, [] {}, true);
}

void twitter(const ControllerPtr& receiver, const std::string& text, const Images& images) {
    compose(receiver, SLServiceTypeMicroblog, "Login Twitter from Device Settings", text, images);
}

void facebook(const ControllerPtr& receiver, const std::string& text, const Images& images) {
    compose(receiver, SLServiceTypeSocialNetwork, "Login Facebook from Device Settings", text, images);
}

void auth(const std::string& reason, Callback onSuccess, Callback onFail) {
    auto context = LAContext::make();
    if (!context->canEvaluatePolicy(LAPolicy::DeviceOwnerAuthentication)) {
        onMain(std::move(onSuccess));
        return;
    }
    context->evaluatePolicy(LAPolicy::DeviceOwnerAuthentication, reason,
                            [context, onSuccess = std::move(onSuccess), onFail = std::move(onFail)](
                                bool success, std::optional<LAError> error) mutable {
                                onMain(error || !success ? std::move(onFail) : std::move(onSuccess));
                            });
}

void toast0(const ControllerPtr& receiver, const std::string& message, double duration) {
    if (!receiver) return;
    auto global = Global::shared();
    auto style = ToastStyle::makeDefault();
    style->backgroundColor = global->color()->backgroundInvertDefault();
    style->messageColor = global->color()->labelInvertDefault();
    style->messageFont = global->font()->iconFixedNormal();
    makeToast(receiver->view(), message, duration, ToastPosition::named(kToastPositionTop), style);
}

void toast(const ControllerPtr& receiver, const std::string& message) {
    toast0(receiver, message, kToastDuration);
}

void openDeviceSettings() {
    openURL(UIApplicationOpenSettingsURLString);
}
