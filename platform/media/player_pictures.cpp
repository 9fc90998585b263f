#include "platform/media/player_pictures.h"

#include <algorithm>
#include <cstring>

#include "platform/media/av_mutable_composition.h"
#include "platform/media/pixel_turns.h"
#include "platform/runtime/log.h"

namespace {

// Time stamps this close count as the same moment.
constexpr double kSlack = 1e-3;

std::shared_ptr<CGImage> imageOf(const CVPixelBuffer& pixels) {
    std::vector<std::uint8_t> bytes(pixels.baseAddress(), pixels.baseAddress() + pixels.dataSize());
    return CGImage::create(int(pixels.width()), int(pixels.height()), pixels.bytesPerRow(), std::move(bytes), nullptr,
                           CGImagePixelLayout::BGRA8Premultiplied);
}

}  // namespace

std::vector<MediaPiece> mediaPieces(const std::shared_ptr<AVAsset>& asset, const char* mediaType) {
    std::vector<MediaPiece> pieces;
    auto tracks = asset ? asset->tracksWithMediaType(mediaType) : std::vector<std::shared_ptr<AVAssetTrack>>{};
    if (tracks.empty()) return pieces;
    auto track = tracks.front();
    std::vector<AVCompositionTrackSegment> segments;
    if (auto composed = std::dynamic_pointer_cast<AVMutableCompositionTrack>(track))
        segments = composed->segments();
    else
        segments = {{track, track->timeRange(), kCMTimeZero}};
    for (auto& s : segments) {
        if (!s.sourceTrack || s.sourceTrack->facts().sourcePath.empty()) continue;
        pieces.push_back({s.sourceTrack->facts().sourcePath, CMTimeGetSeconds(s.targetStart),
                          CMTimeGetSeconds(s.sourceRange.duration), CMTimeGetSeconds(s.sourceRange.start),
                          quarterTurnsOf(s.sourceTrack->preferredTransform())});
    }
    return pieces;
}

int pieceAt(const std::vector<MediaPiece>& pieces, double seconds) {
    if (pieces.empty()) return -1;
    int found = 0;
    for (std::size_t i = 0; i < pieces.size(); ++i)
        if (pieces[i].targetStart <= seconds + kSlack) found = int(i);
    return found;
}

void PlayerPictures::restart(int piece) {
    piece_ = piece;
    shown_.reset();
    ahead_.reset();
    image_.reset();
    ended_ = false;
    auto opened = VideoFileDecoder::open(pieces_[std::size_t(piece)].path);
    if (!opened) {
        Log::warning("media", "no pictures to play: " + opened.error());
        decoder_.reset();
        ended_ = true;
        return;
    }
    decoder_ = std::move(*opened);
}

std::shared_ptr<CGImage> PlayerPictures::pictureAt(double seconds) {
    int piece = pieceAt(pieces_, seconds);
    if (piece < 0) return nullptr;
    const MediaPiece& p = pieces_[std::size_t(piece)];
    double source = p.sourceStart + std::clamp(seconds - p.targetStart, 0.0, std::max(0.0, p.duration - kSlack));
    if (piece != piece_ || (shown_ && source < shown_->time - kSlack)) restart(piece);
    while (!ended_) {
        if (!ahead_) {
            auto frame = decoder_->next();
            if (!frame) {
                ended_ = true;
                break;
            }
            ahead_ = std::move(*frame);
        }
        if (ahead_->time > source + kSlack) break;
        shown_ = std::move(ahead_);
        ahead_.reset();
        image_.reset();
    }
    if (!shown_ && ahead_) shown_ = ahead_;  // before the first picture: the first picture
    if (!shown_) return nullptr;
    if (!image_) image_ = imageOf(*turnPixelBuffer(shown_->pixels, p.quarterTurns));
    return image_;
}
