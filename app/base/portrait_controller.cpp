// Portrait on phones.
#include "app/base/portrait_controller.h"

#include "foundation/device.h"
#include "foundation/global.h"

bool portraitOnPhonesAutorotates() {
    return Global::shared()->device()->IsIPad();
}

UIInterfaceOrientationMask portraitOnPhonesOrientations() {
    return Global::shared()->device()->IsIPad() ? UIInterfaceOrientationMaskAll : UIInterfaceOrientationMaskPortrait;
}

bool PortraitController::shouldAutorotate() const {
    return portraitOnPhonesAutorotates();
}

UIInterfaceOrientationMask PortraitController::supportedInterfaceOrientations() const {
    return portraitOnPhonesOrientations();
}
