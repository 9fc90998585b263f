#include "platform/media/av_asset_image_generator.h"

#include "platform/capture/video_file_decoder.h"
#include "platform/media/pixel_turns.h"

Result<std::shared_ptr<CGImage>> AVAssetImageGenerator::copyCGImageAtTime(CMTime time) {
    auto pictures =
        asset_ ? asset_->tracksWithMediaType(AVMediaTypeVideo) : std::vector<std::shared_ptr<AVAssetTrack>>{};
    if (pictures.empty() || pictures.front()->facts().sourcePath.empty())
        return fail("no picture track to take a frame from");
    auto decoder = VideoFileDecoder::open(pictures.front()->facts().sourcePath);
    if (!decoder) return fail(decoder.error());
    double wanted = CMTIME_IS_NUMERIC(time) ? CMTimeGetSeconds(time) : 0;
    CVPixelBufferRef chosen;
    while (auto frame = (*decoder)->next()) {
        chosen = frame->pixels;
        if (frame->time + 1e-6 >= wanted) break;
    }
    if (!chosen) return fail("no frame could be decoded");
    if (applies_) chosen = turnPixelBuffer(chosen, quarterTurnsOf(pictures.front()->preferredTransform()));
    std::vector<std::uint8_t> bytes(chosen->dataSize());
    std::copy(chosen->baseAddress(), chosen->baseAddress() + chosen->dataSize(), bytes.begin());
    auto image = CGImage::create(int(chosen->width()), int(chosen->height()), chosen->bytesPerRow(), std::move(bytes),
                                 nullptr, CGImagePixelLayout::BGRA8Premultiplied);
    if (!image) return fail("the frame has no usable size");
    return image;
}
