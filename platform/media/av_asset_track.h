// AVAssetTrack: one track of an asset: its id, media type, language, format subtypes, natural
// size, preferred transform (from the file's rotation) and time range. Immutable once made, except
// the mutable composition track, which edits its own segments.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/media/cm_time_range.h"
#include "platform/media/four_char_code.h"
#include "platform/runtime/geometry.h"
#include "platform/runtime/object.h"

using CMPersistentTrackID = std::int32_t;
inline constexpr CMPersistentTrackID kCMPersistentTrackID_Invalid = 0;

// The platform's four-character media type names.
inline constexpr const char* AVMediaTypeVideo = "vide";
inline constexpr const char* AVMediaTypeAudio = "soun";
inline constexpr const char* AVMediaTypeText = "text";
inline constexpr const char* AVMediaTypeSubtitle = "sbtl";
inline constexpr const char* AVMediaTypeClosedCaption = "clcp";
inline constexpr const char* AVMediaTypeTimecode = "tmcd";
inline constexpr const char* AVMediaTypeMetadata = "meta";
inline constexpr const char* AVMediaTypeMuxed = "muxx";

class AVAssetTrack : public NSObject {
public:
    struct Facts {
        CMPersistentTrackID trackID = kCMPersistentTrackID_Invalid;
        std::string mediaType;
        std::string languageCode;  // ISO 639-2, empty when the file does not say
        std::vector<FourCharCode> formatSubtypes;
        CGSize naturalSize{0, 0};
        CGAffineTransform preferredTransform{1, 0, 0, 1, 0, 0};
        CMTimeRange timeRange = kCMTimeRangeZero;
        double sampleRate = 0;  // sound tracks
        int channels = 0;
        // Where its samples come from: the file and the stream within it (-1: none).
        std::string sourcePath;
        int streamIndex = -1;
    };

    KORVA_MAKE(AVAssetTrack)

    CMPersistentTrackID trackID() const { return facts_.trackID; }
    const std::string& mediaType() const { return facts_.mediaType; }
    const std::string& languageCode() const { return facts_.languageCode; }
    const std::vector<FourCharCode>& formatSubtypes() const { return facts_.formatSubtypes; }
    CGSize naturalSize() const { return facts_.naturalSize; }
    CGAffineTransform preferredTransform() const { return facts_.preferredTransform; }
    virtual CMTimeRange timeRange() const { return facts_.timeRange; }
    const Facts& facts() const { return facts_; }

    std::string className() const override { return "AVAssetTrack"; }

protected:
    explicit AVAssetTrack(Facts facts) : facts_(std::move(facts)) {}
    Facts facts_;
};

// A clockwise quarter-turn count (0...3) for a transform made of quarter turns; other transforms give 0.
int quarterTurnsOf(const CGAffineTransform& t);
// The transform that shows a picture of the given size turned clockwise by quarter turns.
CGAffineTransform transformForQuarterTurns(int turns, CGSize size);
