// Portrait on phones.
#include "app/base/portrait_controller.h"

#include "foundation/device.h"
#include "foundation/global.h"

bool PortraitController::shouldAutorotate() const { return Global::shared()->device()->IsIPad(); }

UIInterfaceOrientationMask PortraitController::supportedInterfaceOrientations() const {
    return Global::shared()->device()->IsIPad() ? UIInterfaceOrientationMaskAll : UIInterfaceOrientationMaskPortrait;
}
