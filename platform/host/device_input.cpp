// Host input and options handed to the device services.
#include "platform/host/device_input.h"

#include "platform/capture/capture_device_registry.h"
#include "platform/photos/ph_photo_library.h"
#include "platform/sensors/cm_motion_manager.h"
#include "platform/sensors/system_volume.h"
#include "platform/storage/sandbox.h"
#include "platform/ui/gesture/ui_touch_dispatcher.h"

void DeviceInput::touchEvent(const HostTouchEvent& event) { UITouchDispatcher::shared()->touchEvent(event); }

void DeviceInput::buttonEvent(HostButton button, bool pressed) {
    // The platform reports a volume change when the button goes down; the release changes nothing.
    if (pressed) SystemVolume::press(button == HostButton::VolumeUp ? VolumeButton::Up : VolumeButton::Down);
}

void DeviceInput::tilt(double dx, double dy) { CMMotionManager::tiltDevice(dx, dy); }

Result<void> configureDeviceServices(const HostOptions& options) {
    if (!options.dataDir.empty()) Sandbox::setRoot(options.dataDir);
    if (!options.libraryDir.empty()) PHPhotoLibrary::setLibraryDirectory(options.libraryDir);
    return CaptureDeviceRegistry::configure(options.camera);
}
