// The now-playing dictionary.
#include "platform/media/mp_now_playing_info_center.h"

std::shared_ptr<MPNowPlayingInfoCenter> MPNowPlayingInfoCenter::defaultCenter() {
    static const auto center = MPNowPlayingInfoCenter::make();
    return center;
}

Value MPNowPlayingInfoCenter::nowPlayingInfo() const {
    std::lock_guard lock(mutex_);
    return info_;
}

void MPNowPlayingInfoCenter::setNowPlayingInfo(Value info) {
    std::lock_guard lock(mutex_);
    info_ = std::move(info);
}
