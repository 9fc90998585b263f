// DesktopLocation: the start owed by a system bus that was late to answer, asked again when a
// position is wanted.
#include <mutex>
#include <string>

#include "platform/dispatch/clock.h"
#include "platform/dispatch/queue.h"
#include "platform/runtime/log.h"
#include "platform/sensors/desktop_location.h"

namespace {

struct Retries {
    std::mutex mutex;
    bool owed = false;      // the bus was late: the start is to be asked again
    bool underWay = false;  // an attempt runs on a background queue
    bool tried = false;     // `lastTry` is the clock time of the last try
    double lastTry = 0;
    std::string desktopId;
};

Retries& retries() {
    static Retries r;
    return r;
}

// One attempt, on a background queue. The start is no longer owed once the client runs or the bus
// or the service refused; a stop while the attempt ran ends the client it started.
void tryStart(const std::string& desktopId) {
    bool late = false;
    auto started = DesktopLocation::start(desktopId, &late);
    auto& r = retries();
    bool stopped = false;
    {
        std::lock_guard lock(r.mutex);
        r.underWay = false;
        stopped = !r.owed;
        if (started || !late) r.owed = false;
    }
    if (stopped) {
        if (started) DesktopLocation::stop();
        return;
    }
    if (started)
        Log::info("location", "the desktop's location service started on a later try");
    else if (late)
        Log::info("location", started.error() + "; asking again when a position is wanted");
    else
        Log::warning("location", started.error());
}

}  // namespace

Result<void> DesktopLocation::startOrLater(const std::string& desktopId) {
    bool late = false;
    auto started = start(desktopId, &late);
    if (started || !late) return started;
    Log::warning("location", started.error() + "; asking again when a position is wanted");
    startLater(desktopId);
    return {};
}

void DesktopLocation::startLater(const std::string& desktopId) {
    auto& r = retries();
    std::lock_guard lock(r.mutex);
    // The start that found the bus late counts as a try: the next waits out the spacing.
    r.owed = true;
    r.tried = true;
    r.lastTry = Clock::now();
    r.desktopId = desktopId;
}

void DesktopLocation::wanted() {
    auto& r = retries();
    std::string desktopId;
    {
        std::lock_guard lock(r.mutex);
        const double now = Clock::now();
        if (!r.owed || r.underWay || (r.tried && now - r.lastTry < kRetrySpacing)) return;
        r.underWay = true;
        r.tried = true;
        r.lastTry = now;
        desktopId = r.desktopId;
    }
    // The attempt waits on the bus for up to a few seconds: never on the caller's (main) thread.
    dispatch_get_global_queue()->async([desktopId] { tryStart(desktopId); });
}

void DesktopLocation::endRetries() {
    auto& r = retries();
    std::lock_guard lock(r.mutex);
    r.owed = false;
}
