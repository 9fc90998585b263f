// The device's flash kept in step with the flash setting, the setting moved on to a mode the
// camera supports. Main thread (the settings belong to it).
#pragma once

#include <memory>

class AVCaptureDevice;

// Sets the device's flash to the stored mode and stores what the device took (a fitted value, not
// the user's choice); false without a device with a flash (the setting is then off) or when the
// device refuses the mode.
bool applyFlashSetting(const std::shared_ptr<AVCaptureDevice>& device);
// After a session starts: off without a flash, else the stored mode moved on until the device
// takes one.
void settleFlashSetting(const std::shared_ptr<AVCaptureDevice>& device);
