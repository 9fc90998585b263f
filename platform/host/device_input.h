// Connects the host to the device services: touches go to touch delivery, and a tap on the status
// bar (the headless host's, or one that touch delivery found nothing beneath to take) to the
// application, which scrolls to the top; the volume buttons to the system volume (which
// the shutter listens to), tilt to the motion sensor. The host installs one as its event sink
// unless a test installs its own. Main thread only.
#pragma once

#include <memory>

#include "platform/host/host_options.h"
#include "platform/runtime/result.h"
#include "platform/ui/app/host_event_sink.h"

class DeviceInput : public HostEventSink {
public:
    void touchEvent(const HostTouchEvent& event) override;
    void statusBarTap() override;
    void buttonEvent(HostButton button, bool pressed, std::optional<double> madeAt = std::nullopt) override;
    void tilt(double dx, double dy) override;
};

// Points the platform services at what the options choose: the data folder, the photo library
// folder, the source of positions and the camera source. A camera source that cannot be opened is
// reported and leaves the device without a camera.
Result<void> configureDeviceServices(const HostOptions& options);
// The device's position: the fixed one of the options, else the desktop's location service where
// it runs (or where the system bus is late to answer: it is then asked again when a position is
// wanted), else none (permission is then answered "denied").
void configureLocation(const HostOptions& options);
// Stops the device services that run threads of their own (the desktop location client), so that
// nothing of them is left running when the program's statics are destroyed. The application main
// calls it once the host's loop is over; the services can be configured again afterwards.
void stopDeviceServices();
