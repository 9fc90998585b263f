// The pictures of an asset's first picture track by time, for a player: decoded forward from the
// files its segments come from, starting over only when time goes back. One user at a time.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/capture/video_file_decoder.h"
#include "platform/image/cg_image.h"
#include "platform/media/av_asset.h"

// Where an asset's time lies in a source file: the pieces of its first track of a media type.
struct MediaPiece {
    std::string path;
    double targetStart = 0, duration = 0;  // seconds in the asset
    double sourceStart = 0;                // seconds in the file
    int quarterTurns = 0;
};
std::vector<MediaPiece> mediaPieces(const std::shared_ptr<AVAsset>& asset, const char* mediaType);
// The piece holding the asset time (the last one past the end, the first before the start); -1
// when there are none.
int pieceAt(const std::vector<MediaPiece>& pieces, double seconds);

class PlayerPictures {
public:
    explicit PlayerPictures(const std::shared_ptr<AVAsset>& asset) : pieces_(mediaPieces(asset, AVMediaTypeVideo)) {}

    bool hasPictures() const { return !pieces_.empty(); }
    // The picture on screen at the asset time: the last one that started by then (the first one
    // before any has); none without pictures or when the file cannot be decoded.
    std::shared_ptr<CGImage> pictureAt(double seconds);

private:
    void restart(int piece);

    std::vector<MediaPiece> pieces_;
    int piece_ = -1;
    std::unique_ptr<VideoFileDecoder> decoder_;
    std::optional<VideoFileDecoder::Frame> shown_, ahead_;
    bool ended_ = false;
    std::shared_ptr<CGImage> image_;  // shown_ as an image, made when first asked for
};
