// Media time arithmetic beyond addition: subtraction and time ranges (a start and a duration).
#pragma once

#include "platform/capture/cm_time.h"

inline CMTime CMTimeSubtract(const CMTime& a, const CMTime& b) {
    if (!CMTIME_IS_NUMERIC(b)) return kCMTimeInvalid;
    return CMTimeAdd(a, CMTime{-b.value, b.timescale, b.flags, b.epoch});
}

inline CMTime CMTimeMaximum(const CMTime& a, const CMTime& b) {
    return CMTimeCompare(a, b) >= 0 ? a : b;
}
inline CMTime CMTimeMinimum(const CMTime& a, const CMTime& b) {
    return CMTimeCompare(a, b) <= 0 ? a : b;
}

struct CMTimeRange {
    CMTime start = kCMTimeInvalid;
    CMTime duration = kCMTimeInvalid;
};

inline constexpr CMTimeRange kCMTimeRangeZero{kCMTimeZero, kCMTimeZero};

inline CMTimeRange CMTimeRangeMake(CMTime start, CMTime duration) {
    return {start, duration};
}
inline CMTime CMTimeRangeGetEnd(const CMTimeRange& r) {
    return CMTimeAdd(r.start, r.duration);
}
inline bool CMTIMERANGE_IS_VALID(const CMTimeRange& r) {
    return CMTIME_IS_NUMERIC(r.start) && CMTIME_IS_NUMERIC(r.duration) && r.duration.value >= 0;
}
// Whether r lies wholly inside outer.
inline bool CMTimeRangeContainsTimeRange(const CMTimeRange& outer, const CMTimeRange& r) {
    return CMTimeCompare(r.start, outer.start) >= 0 &&
           CMTimeCompare(CMTimeRangeGetEnd(r), CMTimeRangeGetEnd(outer)) <= 0;
}
