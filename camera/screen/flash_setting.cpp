// The flash setting against the device's flash modes. What is stored here is fitted to the
// camera, not chosen by the user: it must never count as a change that lets a save replace a
// settings file the start could not read.
#include "camera/screen/flash_setting.h"

#include "foundation/global.h"
#include "platform/capture/av_capture_device.h"

namespace {
constexpr int kFlashTries = 3;
}  // namespace

bool applyFlashSetting(const std::shared_ptr<AVCaptureDevice>& device) {
    auto global = Global::shared();
    if (!device || !device->hasFlash()) {
        global->fitFlashMode(FlashMode::Off);
        return false;
    }
    const auto mode = AVCaptureFlashMode(integerOf(global->flashMode()));
    if (!device->isFlashModeSupported(mode)) return false;
    if (!device->lockForConfiguration().ok()) return false;
    device->setFlashMode(mode);
    device->unlockForConfiguration();
    global->fitFlashMode(settingFromInteger<FlashMode>(std::int64_t(device->flashMode())));
    return true;
}

void settleFlashSetting(const std::shared_ptr<AVCaptureDevice>& device) {
    auto global = Global::shared();
    if (!device || !device->hasFlash()) {
        global->fitFlashMode(FlashMode::Off);
        global->saveCurrentSettings();
        return;
    }
    for (int i = 0; i < kFlashTries; ++i) {
        if (applyFlashSetting(device)) return;
        const FlashMode next = nextFlashMode(global->flashMode());
        global->fitFlashMode(next);
        if (next == FlashMode::Off) global->saveCurrentSettings();
    }
}
