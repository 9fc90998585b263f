// The desktop's location service (GeoClue, over the system D-Bus) as the source of the device's
// position: a client on its own thread whose every update becomes CLLocationManager's device
// position. Thread-safe.
#pragma once

#include <string>

#include "platform/runtime/result.h"

class DesktopLocation {
public:
    // What the system bus says of the service: there (running, or ready to be started by the
    // bus), not there (nor any bus), or nothing yet, the bus not answering in time (as one still
    // busy with a login may not), when it may well be there later.
    enum class Presence { Present, Absent, Late };
    // Asks the bus with a short time-out, so it costs at most about a second where the bus is mute.
    static Presence presence();
    static bool available() { return presence() == Presence::Present; }
    // Starts the client (once; later calls do nothing); `desktopId` names the application to the
    // service. Fails when the bus or the service refuses or does not answer in time; updates then
    // never come. `late`, when given, tells whether the failure was only an answer that did not
    // come in time, when asking again later may succeed.
    static Result<void> start(const std::string& desktopId, bool* late = nullptr);

    // Starts the client as `start` does, except that a bus or service late to answer is not given
    // up: the start is then asked again when a position is wanted (see `wanted`). Fails only when
    // the bus or the service refused.
    static Result<void> startOrLater(const std::string& desktopId);
    // Owes the start without trying now (the bus was just found late): it is tried at a `wanted`
    // once the spacing has passed.
    static void startLater(const std::string& desktopId);
    // A position is wanted (a location manager starts updating). While a start is owed, it is
    // tried again on a background queue: one attempt at a time, at most once every
    // kRetrySpacing seconds of the program's clock, so that a bus that never answers is not
    // hammered; until the client runs, or the bus or the service refuses. Cheap otherwise.
    static void wanted();
    static constexpr double kRetrySpacing = 30.0;

    // Whether the client runs (once a start under way has ended).
    static bool running();
    // Stops the client and its thread, and any start still owed.
    static void stop();

private:
    static void endRetries();
};
