// Players for local and library media: files and library URLs open as compositions of chosen
// tracks (by id, 0 for the first), other URLs go to the player as they are.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/media/av_player.h"

std::shared_ptr<AVPlayer> playerWithAsset(std::shared_ptr<AVAsset> asset);
std::shared_ptr<AVPlayer> playerWithURL2(const std::shared_ptr<NSURL>& url,
                                         std::optional<std::int32_t> vid = std::nullopt,
                                         std::optional<std::int32_t> aid = std::nullopt);
bool isPlaying(const AVPlayer& player);
