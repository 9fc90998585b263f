// The device's flash mode kept in step with the flash setting, moving the setting on to a mode
// the camera supports.
#include "camera/screen/view_controller.h"

#include "foundation/global.h"
#include "platform/capture/av_capture_device.h"

namespace {
constexpr int kFlashTries = 3;
}  // namespace

bool ViewController::hasFlash() const {
    auto dev = device();
    return dev && dev->hasFlash();
}

bool ViewController::updateFlash() {
    auto global = Global::shared();
    auto dev = device();
    if (!dev || !dev->hasFlash()) {
        global->setFlashMode(FlashMode::Off);
        return false;
    }
    const auto mode = AVCaptureFlashMode(integerOf(global->flashMode()));
    if (!dev->isFlashModeSupported(mode)) return false;
    if (!dev->lockForConfiguration().ok()) return false;
    dev->setFlashMode(mode);
    dev->unlockForConfiguration();
    global->setFlashMode(settingFromInteger<FlashMode>(std::int64_t(dev->flashMode())));
    return true;
}

void ViewController::updateDefaultFlash() {
    auto global = Global::shared();
    if (!hasFlash()) {
        global->setFlashMode(FlashMode::Off);
        global->saveCurrentSettings();
        updateView();
        return;
    }
    for (int i = 0; i < kFlashTries; ++i) {
        if (updateFlash()) return;
        const FlashMode next = nextFlashMode(global->flashMode());
        global->setFlashMode(next);
        if (next == FlashMode::Off) global->saveCurrentSettings();
    }
}
