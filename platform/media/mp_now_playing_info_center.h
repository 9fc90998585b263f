// MPNowPlayingInfoCenter: what the lock screen and headset controls show as playing (title,
// artist, duration, elapsed time, ...). This host has no lock screen; the dictionary is kept for
// whoever shows it. Thread-safe.
#pragma once

#include <memory>
#include <mutex>

#include "platform/runtime/object.h"
#include "platform/runtime/value.h"

class MPNowPlayingInfoCenter : public NSObject {
public:
    KORVA_MAKE(MPNowPlayingInfoCenter)
    static std::shared_ptr<MPNowPlayingInfoCenter> defaultCenter();

    // A dictionary, or none when nothing is playing.
    Value nowPlayingInfo() const;
    void setNowPlayingInfo(Value info);

    std::string className() const override { return "MPNowPlayingInfoCenter"; }

protected:
    MPNowPlayingInfoCenter() = default;

private:
    mutable std::mutex mutex_;
    Value info_;
};
