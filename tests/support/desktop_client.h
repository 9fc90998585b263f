// Starts the program's client of the desktop's location service for a test. A bus or service that
// does not answer within the client's own time-out (a loaded machine) is asked again, so that the
// test waits for the client to run rather than for a machine fast enough; a refusal fails at once,
// and so do `tries` late answers in a row.
#pragma once

#include <string>

#include "platform/sensors/desktop_location.h"

namespace testsupport {

inline Result<void> startDesktopClient(const std::string& desktopId = "korva", int tries = 30) {
    for (int i = 1;; ++i) {
        bool late = false;
        auto started = DesktopLocation::start(desktopId, &late);
        if (started || !late || i == tries) return started;
    }
}

}  // namespace testsupport
