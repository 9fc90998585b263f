// AVAssetImageGenerator: a picture of a file asset at a time, decoded from its first picture
// track and, when asked, turned upright by the track's preferred transform. One thread at a time.
#pragma once

#include "platform/image/cg_image.h"
#include "platform/media/av_asset.h"
#include "platform/runtime/result.h"

class AVAssetImageGenerator : public NSObject {
public:
    KORVA_MAKE(AVAssetImageGenerator)
    static std::shared_ptr<AVAssetImageGenerator> assetImageGeneratorWithAsset(std::shared_ptr<AVAsset> asset) {
        return make(std::move(asset));
    }

    bool appliesPreferredTrackTransform() const { return applies_; }
    void setAppliesPreferredTrackTransform(bool on) { applies_ = on; }

    // The first picture at or after the time (the last one when the time is past the end);
    // a failure for an asset without a decodable picture track.
    Result<std::shared_ptr<CGImage>> copyCGImageAtTime(CMTime time);

    std::string className() const override { return "AVAssetImageGenerator"; }

protected:
    explicit AVAssetImageGenerator(std::shared_ptr<AVAsset> asset) : asset_(std::move(asset)) {}

private:
    std::shared_ptr<AVAsset> asset_;
    bool applies_ = false;
};
