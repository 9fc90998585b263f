#include "platform/host/server_clock.h"

#include <algorithm>

namespace xdisplay {

long long ServerClock::unwrapped(std::uint32_t serverMs) const {
    const auto step = static_cast<std::int32_t>(serverMs - static_cast<std::uint32_t>(lastMs_));
    return lastMs_ + step;
}

void ServerClock::heard(std::uint32_t serverMs, double readAt) {
    const long long ms = heard_ ? unwrapped(serverMs) : serverMs;
    const double offset = readAt - static_cast<double>(ms) / 1000;
    offset_ = heard_ ? std::min(offset_, offset) : offset;
    lastMs_ = heard_ ? std::max(lastMs_, ms) : ms;
    heard_ = true;
}

std::optional<double> ServerClock::madeAt(std::uint32_t serverMs) const {
    if (!heard_) return std::nullopt;
    return static_cast<double>(unwrapped(serverMs)) / 1000 + offset_;
}

}  // namespace xdisplay
