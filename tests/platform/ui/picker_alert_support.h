// The picker's answer to a photo it cannot read: an alert saying so, shown and then dismissed
// with its OK, on the virtual clock.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "platform/dispatch/run_loop.h"
#include "platform/ui/controller/ui_alert_controller.h"
#include "platform/ui/controller/ui_image_picker_controller.h"

inline void expectUnreadableAlertAndDismissIt(UIViewController& picker) {
    auto alert = std::dynamic_pointer_cast<UIAlertController>(picker.presentedViewController());
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->message(), UIImagePickerController::kPhotoUnreadable);
    RunLoop::main().advance(0.5);  // the alert shown
    EXPECT_TRUE(alert->chooseActionWithTitle("OK"));
    RunLoop::main().advance(0.5);
}
