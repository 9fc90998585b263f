#include "capture/av_player_custom.h"

#include "capture/av_asset_analysis.h"
#include "capture/media_item_custom.h"
#include "foundation/numeric.h"

std::shared_ptr<AVPlayer> playerWithAsset(std::shared_ptr<AVAsset> asset) {
    return AVPlayer::playerWithPlayerItem(AVPlayerItem::playerItemWithAsset(std::move(asset)));
}

std::shared_ptr<AVPlayer> playerWithURL2(const std::shared_ptr<NSURL>& url, std::optional<std::int32_t> vid,
                                         std::optional<std::int32_t> aid) {
    if (!url || !isDualLoadingSupported(*url)) return AVPlayer::playerWithURL(url);
    std::shared_ptr<AVMutableComposition> asset;
    if (vid && aid)
        asset = assetWithURL2(url, *vid, *aid);
    else if (vid)
        asset = assetWithURL2Video(url, *vid);
    else if (aid)
        asset = assetWithURL2Audio(url, *aid);
    else
        asset = assetWithURL2(url);
    return playerWithAsset(asset);
}

bool isPlaying(const AVPlayer& player) {
    return !isNearlyZero(player.rate());
}
