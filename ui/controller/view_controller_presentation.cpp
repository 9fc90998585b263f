// Presentation and dismissal with the presented-controller stack.
#include "ui/controller/view_controller_presentation.h"

#include "foundation/device.h"
#include "foundation/global.h"
#include "platform/dispatch/queue.h"
#include "platform/ui/controller/ui_split_view_controller.h"

namespace {
constexpr CGSize kFormSheetSize{520, 480};

std::vector<GlobalBase::Controller>& stack() {
    return Global::shared()->lastViewControllers();
}
}  // namespace

void present(const ControllerPtr& receiver, const ControllerPtr& controller, std::function<void()> completion,
             bool animated) {
    if (!receiver || !controller) return;
    if (auto split = receiver->splitViewController()) {
        present(split, controller, std::move(completion), animated);
        return;
    }
    saveLastViewController(controller);
    dispatch_async(dispatch_get_main_queue(),
                   [receiver, controller, animated, completion = std::move(completion)]() mutable {
                       receiver->presentViewController(controller, animated, std::move(completion));
                   });
}

void presentModal(const ControllerPtr& receiver, const ControllerPtr& controller, std::function<void()> completion,
                  bool animated) {
    if (controller && Global::shared()->device()->IsIPad()) {
        controller->setModalPresentationStyle(UIModalPresentationStyle::FormSheet);
        controller->setPreferredContentSize(kFormSheetSize);
    }
    present(receiver, controller, std::move(completion), animated);
}

void presentFull(const ControllerPtr& receiver, const ControllerPtr& controller, std::function<void()> completion,
                 bool animated) {
    if (controller) controller->setModalPresentationStyle(UIModalPresentationStyle::FullScreen);
    present(receiver, controller, std::move(completion), animated);
}

void dismiss(const ControllerPtr& receiver, std::function<void()> completion, bool animated) {
    if (!receiver) return;
    if (auto split = receiver->splitViewController()) {
        dismiss(split, std::move(completion), animated);
        return;
    }
    removeLastViewController();
    dispatch_async(dispatch_get_main_queue(), [receiver, animated, completion = std::move(completion)]() mutable {
        receiver->dismissViewControllerAnimated(animated, std::move(completion));
    });
}

bool forgetPresented(const UIViewController& controller) {
    return Global::shared()->removeViewController(&controller);
}

void saveLastViewController(const ControllerPtr& controller) {
    if (controller) Global::shared()->saveLastViewController(controller);
}

void removeLastViewController() {
    if (!stack().empty()) stack().pop_back();
}

void saveLastAlertController(const ControllerPtr& controller) {
    if (controller) Global::shared()->saveLastAlertController(controller);
}

void removeLastAlertController() {
    auto& alerts = Global::shared()->lastAlertControllers();
    if (!alerts.empty()) alerts.pop_back();
}
