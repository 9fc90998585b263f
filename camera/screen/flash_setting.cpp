// The flash setting against the device's flash modes.
#include "camera/screen/flash_setting.h"

#include "foundation/global.h"
#include "platform/capture/av_capture_device.h"

namespace {
constexpr int kFlashTries = 3;
}  // namespace

bool applyFlashSetting(const std::shared_ptr<AVCaptureDevice>& device) {
    auto global = Global::shared();
    if (!device || !device->hasFlash()) {
        global->setFlashMode(FlashMode::Off);
        return false;
    }
    const auto mode = AVCaptureFlashMode(integerOf(global->flashMode()));
    if (!device->isFlashModeSupported(mode)) return false;
    if (!device->lockForConfiguration().ok()) return false;
    device->setFlashMode(mode);
    device->unlockForConfiguration();
    global->setFlashMode(settingFromInteger<FlashMode>(std::int64_t(device->flashMode())));
    return true;
}

void settleFlashSetting(const std::shared_ptr<AVCaptureDevice>& device) {
    auto global = Global::shared();
    if (!device || !device->hasFlash()) {
        global->setFlashMode(FlashMode::Off);
        global->saveCurrentSettings();
        return;
    }
    for (int i = 0; i < kFlashTries; ++i) {
        if (applyFlashSetting(device)) return;
        const FlashMode next = nextFlashMode(global->flashMode());
        global->setFlashMode(next);
        if (next == FlashMode::Off) global->saveCurrentSettings();
    }
}
