// The desktop's location service (GeoClue, over the system D-Bus) as the source of the device's
// position: a client on its own thread whose every update becomes CLLocationManager's device
// position. Thread-safe.
#pragma once

#include <string>

#include "platform/runtime/result.h"

class DesktopLocation {
public:
    // Whether the service is on the system bus, running or ready to be started by the bus. Asks
    // the bus with a short time-out, so it costs at most about a second where there is no bus.
    static bool available();
    // Starts the client (once; later calls do nothing); `desktopId` names the application to the
    // service. Fails when the bus or the service refuses; updates then never come.
    static Result<void> start(const std::string& desktopId);
    // Stops the client and its thread.
    static void stop();
};
