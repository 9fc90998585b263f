// The device's flash mode kept in step with the flash setting, moving the setting on to a mode
// the camera supports.
#include "camera/screen/view_controller.h"

#include "foundation/global.h"
#include "platform/capture/av_capture_device.h"

namespace {
constexpr int kFlashTries = 3;
constexpr std::int64_t kLastFlashMode = 2;
}  // namespace

bool ViewController::hasFlash() const {
    auto dev = device();
    return dev && dev->hasFlash();
}

bool ViewController::updateFlash() {
    auto global = Global::shared();
    auto dev = device();
    if (!dev || !dev->hasFlash()) {
        global->setFlashMode(0);
        return false;
    }
    const auto mode = AVCaptureFlashMode(global->flashMode());
    if (!dev->isFlashModeSupported(mode)) return false;
    if (!dev->lockForConfiguration().ok()) return false;
    dev->setFlashMode(mode);
    dev->unlockForConfiguration();
    global->setFlashMode(std::int64_t(dev->flashMode()));
    return true;
}

void ViewController::updateDefaultFlash() {
    auto global = Global::shared();
    if (!hasFlash()) {
        global->setFlashMode(0);
        global->saveCurrentSettings();
        updateView();
        return;
    }
    for (int i = 0; i < kFlashTries; ++i) {
        if (updateFlash()) return;
        const std::int64_t before = global->flashMode();
        global->setFlashMode(before + 1);
        if (before >= kLastFlashMode) {
            global->setFlashMode(0);
            global->saveCurrentSettings();
        }
    }
}
