// AVPlayerLayer: a layer that shows its player's picture. While it has a player it looks at the
// player's time every frame interval of the Clock and shows the picture on screen then (scaled to
// fit, as the platform's default video gravity). Main thread.
#pragma once

#include <memory>

#include "platform/dispatch/timer.h"
#include "platform/media/av_player.h"
#include "platform/ui/layer/ca_layer.h"

class AVPlayerLayer : public CALayer {
public:
    KORVA_MAKE(AVPlayerLayer)
    static constexpr double kRefreshInterval = 1.0 / 60;

    static std::shared_ptr<AVPlayerLayer> playerLayerWithPlayer(std::shared_ptr<AVPlayer> player);
    ~AVPlayerLayer() override;

    const std::shared_ptr<AVPlayer>& player() const { return player_; }
    void setPlayer(std::shared_ptr<AVPlayer> player);
    // Shows the player's picture at its current time now (the timer does this every interval).
    void refresh();

    std::string className() const override { return "AVPlayerLayer"; }

protected:
    AVPlayerLayer() = default;

private:
    std::shared_ptr<AVPlayer> player_;
    std::shared_ptr<NSTimer> timer_;
};
