// Host input and options handed to the device services.
#include "platform/host/device_input.h"

#include "platform/capture/capture_device_registry.h"
#include "platform/dispatch/clock.h"
#include "platform/photos/ph_photo_library.h"
#include "platform/runtime/log.h"
#include "platform/sensors/cl_location_manager.h"
#include "platform/sensors/cm_motion_manager.h"
#include "platform/sensors/desktop_location.h"
#include "platform/sensors/system_volume.h"
#include "platform/storage/sandbox.h"
#include "platform/ui/app/ui_application.h"
#include "platform/ui/gesture/ui_touch_dispatcher.h"

void DeviceInput::touchEvent(const HostTouchEvent& event) {
    // Touch delivery tells a tap on the status bar that nothing beneath took.
    if (UITouchDispatcher::shared()->touchEvent(event)) statusBarTap();
}

void DeviceInput::statusBarTap() {
    UIApplication::sharedApplication()->statusBarTapped();
}

void DeviceInput::buttonEvent(HostButton button, bool pressed, std::optional<double> madeAt) {
    // The platform reports a volume change when the button goes down; the release changes nothing.
    if (pressed) SystemVolume::press(button == HostButton::VolumeUp ? VolumeButton::Up : VolumeButton::Down, madeAt);
}

void DeviceInput::tilt(double dx, double dy) {
    // Forward and back about the device's x axis; sideways so that an upright device rolls.
    if (dx != 0) CMMotionManager::tiltDevice(dx, 0);
    if (dy != 0) CMMotionManager::tiltDeviceSideways(dy);
}

void configureLocation(const HostOptions& options) {
    if (options.location) {
        CLLocation::Fields f;
        f.coordinate = {options.location->latitude, options.location->longitude};
        f.altitude = options.location->altitude.value_or(0);
        f.verticalAccuracy = options.location->altitude ? 5 : -1;
        f.timestamp = Clock::absoluteTime();
        CLLocationManager::setDevicePosition(CLLocation::make(f));
        CLLocationManager::setPositionSource(CLPositionSource::Fixed);
        return;
    }
    // A bus late to answer (a login still busy) is asked again each time a position is wanted,
    // instead of leaving the device without one for the whole run.
    auto useDesktop = [] {
        CLLocationManager::setPositionSource(CLPositionSource::Desktop);
        CLLocationManager::setPositionWanted([] { DesktopLocation::wanted(); });
    };
    switch (DesktopLocation::presence()) {
        case DesktopLocation::Presence::Present: {
            auto started = DesktopLocation::startOrLater("korva");
            if (started) return useDesktop();
            Log::warning("host", "location: " + started.error());
            break;
        }
        case DesktopLocation::Presence::Late:
            Log::warning("host", "location: the system bus is slow to answer; asking again when a position is wanted");
            DesktopLocation::startLater("korva");
            return useDesktop();
        case DesktopLocation::Presence::Absent: break;
    }
    CLLocationManager::setPositionSource(CLPositionSource::None);
}

void stopDeviceServices() {
    DesktopLocation::stop();
}

Result<void> configureDeviceServices(const HostOptions& options) {
    if (!options.dataDir.empty()) Sandbox::setRoot(options.dataDir);
    if (!options.libraryDir.empty()) PHPhotoLibrary::setLibraryDirectory(options.libraryDir);
    configureLocation(options);
    return CaptureDeviceRegistry::configure(options.camera);
}
