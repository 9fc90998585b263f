#include "platform/media/av_player_layer.h"

std::shared_ptr<AVPlayerLayer> AVPlayerLayer::playerLayerWithPlayer(std::shared_ptr<AVPlayer> player) {
    auto layer = make();
    layer->setPlayer(std::move(player));
    return layer;
}

AVPlayerLayer::~AVPlayerLayer() {
    if (timer_) timer_->invalidate();
}

void AVPlayerLayer::setPlayer(std::shared_ptr<AVPlayer> player) {
    if (timer_) timer_->invalidate();
    timer_.reset();
    player_ = std::move(player);
    setContentsGravity(CAContentsGravity::ResizeAspect);
    if (!player_) {
        setContents(nullptr);
        return;
    }
    refresh();
    std::weak_ptr<AVPlayerLayer> weak = self<AVPlayerLayer>();
    timer_ = NSTimer::scheduledTimer(kRefreshInterval, true, [weak](const std::shared_ptr<NSTimer>& timer) {
        if (auto layer = weak.lock())
            layer->refresh();
        else
            timer->invalidate();
    });
}

void AVPlayerLayer::refresh() {
    if (!player_) return;
    auto picture = player_->currentPicture();
    if (picture != contents()) setContents(std::move(picture));
}
