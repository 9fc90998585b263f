// The X server's clock on this process's steady clock. The server stamps what it makes (a key, a
// click, a property's change) with its own milliseconds, which wrap every 49 days; an event read
// at once tells how far the two clocks stand apart, one read late only that they stand at most
// that far. The nearest seen holds. Main thread.
#pragma once

#include <cstdint>
#include <optional>

namespace xdisplay {

class ServerClock {
public:
    // An event the server stamped `serverMs` was read at `readAt` (steady seconds).
    void heard(std::uint32_t serverMs, double readAt);
    // When the server made an event stamped `serverMs`, in steady seconds: never later than the
    // first reading of anything stamped then. None before anything was heard.
    std::optional<double> madeAt(std::uint32_t serverMs) const;
    // Nothing heard (a new display).
    void reset() { *this = ServerClock(); }

private:
    // `serverMs` on a count that does not wrap, taken as the stamp nearest the last one heard.
    long long unwrapped(std::uint32_t serverMs) const;

    bool heard_ = false;
    long long lastMs_ = 0;
    // Steady seconds minus the server's, at their nearest.
    double offset_ = 0;
};

}  // namespace xdisplay
