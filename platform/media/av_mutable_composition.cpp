#include "platform/media/av_mutable_composition.h"

#include <algorithm>

Result<void> AVMutableCompositionTrack::insertTimeRange(CMTimeRange range, const std::shared_ptr<AVAssetTrack>& ofTrack,
                                                        CMTime atTime) {
    if (!ofTrack) return fail("no source track to insert");
    if (!CMTIMERANGE_IS_VALID(range) || !CMTIME_IS_NUMERIC(atTime) || atTime.value < 0)
        return fail("the range to insert is not valid");
    if (ofTrack->mediaType() != mediaType())
        return fail("a " + ofTrack->mediaType() + " track cannot go into a " + mediaType() + " track");
    if (!CMTimeRangeContainsTimeRange(ofTrack->timeRange(), range)) return fail("the range leaves the source track");
    if (range.duration.value == 0) return {};
    std::vector<AVCompositionTrackSegment> segments;
    if (auto* composed = dynamic_cast<const AVMutableCompositionTrack*>(ofTrack.get())) {
        // Inserting from a composition inserts the pieces of its segments that fall in the range.
        for (auto& s : composed->segments()) {
            CMTime start = CMTimeMaximum(s.targetStart, range.start);
            CMTime end = CMTimeMinimum(CMTimeAdd(s.targetStart, s.sourceRange.duration), CMTimeRangeGetEnd(range));
            if (CMTimeCompare(start, end) >= 0) continue;
            CMTime into = CMTimeSubtract(start, s.targetStart);
            segments.push_back({s.sourceTrack,
                                CMTimeRangeMake(CMTimeAdd(s.sourceRange.start, into), CMTimeSubtract(end, start)),
                                CMTimeAdd(atTime, CMTimeSubtract(start, range.start))});
        }
    } else {
        segments.push_back({ofTrack, range, atTime});
    }
    std::lock_guard lock(mutex_);
    for (auto& s : segments_)
        if (CMTimeCompare(s.targetStart, atTime) >= 0) s.targetStart = CMTimeAdd(s.targetStart, range.duration);
    segments_.insert(segments_.end(), segments.begin(), segments.end());
    std::stable_sort(segments_.begin(), segments_.end(),
                     [](auto& a, auto& b) { return CMTimeCompare(a.targetStart, b.targetStart) < 0; });
    return {};
}

std::vector<AVCompositionTrackSegment> AVMutableCompositionTrack::segments() const {
    std::lock_guard lock(mutex_);
    return segments_;
}

CMTimeRange AVMutableCompositionTrack::timeRange() const {
    std::lock_guard lock(mutex_);
    CMTime end = kCMTimeZero;
    for (auto& s : segments_) end = CMTimeMaximum(end, CMTimeAdd(s.targetStart, s.sourceRange.duration));
    return CMTimeRangeMake(kCMTimeZero, end);
}

std::shared_ptr<AVMutableCompositionTrack> AVMutableComposition::addMutableTrackWithMediaType(
    const std::string& mediaType, CMPersistentTrackID preferredTrackID) {
    std::lock_guard lock(mutex_);
    CMPersistentTrackID id = preferredTrackID;
    auto taken = [&](CMPersistentTrackID t) {
        return std::any_of(tracks_.begin(), tracks_.end(), [t](auto& k) { return k->trackID() == t; });
    };
    if (id == kCMPersistentTrackID_Invalid || taken(id)) {
        if (preferredTrackID != kCMPersistentTrackID_Invalid) return nullptr;
        id = 1;
        while (taken(id)) ++id;
    }
    AVAssetTrack::Facts facts;
    facts.trackID = id;
    facts.mediaType = mediaType;
    auto track = AVMutableCompositionTrack::make(std::move(facts));
    tracks_.push_back(track);
    return track;
}

void AVMutableComposition::removeTrack(const std::shared_ptr<AVAssetTrack>& track) {
    std::lock_guard lock(mutex_);
    std::erase_if(tracks_, [&](auto& t) { return t == track; });
}

CMTime AVMutableComposition::duration() const {
    CMTime end = kCMTimeZero;
    for (auto& t : tracks()) end = CMTimeMaximum(end, CMTimeRangeGetEnd(t->timeRange()));
    return end;
}

std::vector<std::shared_ptr<AVAssetTrack>> AVMutableComposition::tracks() const {
    std::lock_guard lock(mutex_);
    return {tracks_.begin(), tracks_.end()};
}
