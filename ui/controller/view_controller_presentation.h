// Modal presentation through the app-wide stack of presented controllers that Global keeps: every
// present records the controller at once and every dismiss takes the last entry off, and both
// reach the platform in the next turn of the main run loop, in the order they were made.
// A controller inside a split view presents and dismisses through the split view. Main-thread only.
#pragma once

#include <functional>
#include <memory>

class UIViewController;
using ControllerPtr = std::shared_ptr<UIViewController>;

// Records `controller` and presents it; a missing controller (or receiver) does nothing and the
// completion is not called.
void present(const ControllerPtr& receiver, const ControllerPtr& controller, std::function<void()> completion,
             bool animated);
// As a 520 x 480 form sheet on a tablet, as the controller is set up elsewhere.
void presentModal(const ControllerPtr& receiver, const ControllerPtr& controller, std::function<void()> completion,
                  bool animated);
// Full screen.
void presentFull(const ControllerPtr& receiver, const ControllerPtr& controller, std::function<void()> completion,
                 bool animated);
// Takes the last entry off the stack (an empty stack stays empty) and asks the platform to dismiss.
void dismiss(const ControllerPtr& receiver, std::function<void()> completion, bool animated);
// Takes this controller's own entry off the stack, whichever position it holds (for controllers
// the platform dismisses by themselves); false when it is not listed.
bool forgetPresented(const UIViewController& controller);

void saveLastViewController(const ControllerPtr& controller);
void removeLastViewController();
void saveLastAlertController(const ControllerPtr& controller);
void removeLastAlertController();
