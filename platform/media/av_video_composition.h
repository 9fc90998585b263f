// AVMutableVideoComposition: how an export draws its picture: per time range, a transform for each
// source track's layer, at a frame duration and a render size.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "platform/media/av_asset_track.h"

class AVMutableVideoCompositionLayerInstruction : public NSObject {
public:
    KORVA_MAKE(AVMutableVideoCompositionLayerInstruction)
    static std::shared_ptr<AVMutableVideoCompositionLayerInstruction> videoCompositionLayerInstructionWithAssetTrack(
        const std::shared_ptr<AVAssetTrack>& track) {
        auto i = make();
        i->trackID_ = track ? track->trackID() : kCMPersistentTrackID_Invalid;
        return i;
    }

    CMPersistentTrackID trackID() const { return trackID_; }
    // Only a transform from time zero is kept; later ramps are not used here.
    void setTransform(CGAffineTransform t, CMTime atTime) { (void)atTime, transform_ = t; }
    CGAffineTransform transform() const { return transform_; }

protected:
    AVMutableVideoCompositionLayerInstruction() = default;

private:
    CMPersistentTrackID trackID_ = kCMPersistentTrackID_Invalid;
    CGAffineTransform transform_{};
};

class AVMutableVideoCompositionInstruction : public NSObject {
public:
    KORVA_MAKE(AVMutableVideoCompositionInstruction)
    CMTimeRange timeRange = kCMTimeRangeZero;
    std::vector<std::shared_ptr<AVMutableVideoCompositionLayerInstruction>> layerInstructions;

protected:
    AVMutableVideoCompositionInstruction() = default;
};

class AVMutableVideoComposition : public NSObject {
public:
    KORVA_MAKE(AVMutableVideoComposition)
    std::vector<std::shared_ptr<AVMutableVideoCompositionInstruction>> instructions;
    CMTime frameDuration = CMTimeMake(1, 30);
    CGSize renderSize{0, 0};

    // The transform the first instruction gives the track, or none.
    std::optional<CGAffineTransform> transformForTrack(CMPersistentTrackID trackID) const {
        for (auto& i : instructions)
            for (auto& l : i->layerInstructions)
                if (l->trackID() == trackID) return l->transform();
        return std::nullopt;
    }

protected:
    AVMutableVideoComposition() = default;
};
