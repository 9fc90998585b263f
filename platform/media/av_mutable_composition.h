// AVMutableComposition: an asset assembled from time ranges of other assets' tracks. Each track
// keeps its segments (source track, source range, place in the composition) in time order.
// Thread-safe: edits and reads go through the composition's lock.
#pragma once

#include <mutex>

#include "platform/media/av_asset.h"
#include "platform/runtime/result.h"

struct AVCompositionTrackSegment {
    std::shared_ptr<AVAssetTrack> sourceTrack;
    CMTimeRange sourceRange;
    CMTime targetStart;
};

class AVMutableCompositionTrack : public AVAssetTrack {
public:
    KORVA_MAKE(AVMutableCompositionTrack)

    // Puts the range of the source track at the given time; what lay at or after that time moves
    // later by the range's length. Fails (and changes nothing) when the range leaves the source.
    Result<void> insertTimeRange(CMTimeRange range, const std::shared_ptr<AVAssetTrack>& ofTrack, CMTime atTime);
    std::vector<AVCompositionTrackSegment> segments() const;
    CMTimeRange timeRange() const override;

    std::string className() const override { return "AVMutableCompositionTrack"; }

protected:
    explicit AVMutableCompositionTrack(Facts facts) : AVAssetTrack(std::move(facts)) {}

private:
    mutable std::mutex mutex_;
    std::vector<AVCompositionTrackSegment> segments_;
};

class AVMutableComposition : public AVAsset {
public:
    KORVA_MAKE(AVMutableComposition)

    // preferredTrackID kCMPersistentTrackID_Invalid: the next free id.
    std::shared_ptr<AVMutableCompositionTrack> addMutableTrackWithMediaType(const std::string& mediaType,
                                                                            CMPersistentTrackID preferredTrackID);
    void removeTrack(const std::shared_ptr<AVAssetTrack>& track);

    CMTime duration() const override;
    std::vector<std::shared_ptr<AVAssetTrack>> tracks() const override;

    std::string className() const override { return "AVMutableComposition"; }

protected:
    AVMutableComposition() = default;

private:
    mutable std::mutex mutex_;
    std::vector<std::shared_ptr<AVMutableCompositionTrack>> tracks_;
};
