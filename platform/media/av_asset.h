// AVAsset: a timed piece of media made of tracks, with common metadata. AVURLAsset reads a file
// (or a library URL resolved through the media library's resolver); an unreadable file makes none.
// Assets are immutable after they are made (the mutable composition edits under its own lock).
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/media/av_asset_track.h"
#include "platform/media/av_metadata_item.h"
#include "platform/net/url.h"

class AVAsset : public NSObject {
public:
    virtual CMTime duration() const = 0;
    virtual std::vector<std::shared_ptr<AVAssetTrack>> tracks() const = 0;
    std::vector<std::shared_ptr<AVAssetTrack>> tracksWithMediaType(const std::string& mediaType) const;
    std::shared_ptr<AVAssetTrack> trackWithTrackID(CMPersistentTrackID trackID) const;
    virtual std::vector<std::shared_ptr<AVMetadataItem>> commonMetadata() const { return {}; }
    // The lyrics tag of a music file, or empty.
    virtual std::string lyrics() const { return {}; }

    std::string className() const override { return "AVAsset"; }
};

inline constexpr const char* AVURLAssetPreferPreciseDurationAndTimingKey =
    "AVURLAssetPreferPreciseDurationAndTimingKey";

class AVURLAsset : public AVAsset {
public:
    // Maps a URL that is not a file URL (a library URL) to a file path, or none.
    using URLResolver = std::function<std::optional<std::string>(const NSURL&)>;
    static void setURLResolver(URLResolver resolver);

    // None when the URL names no readable movie or sound file (logged).
    static std::shared_ptr<AVURLAsset> URLAssetWithURL(const std::shared_ptr<NSURL>& url,
                                                       const ValueDictionary& options = {});

    const std::shared_ptr<NSURL>& URL() const { return url_; }
    const std::string& path() const { return path_; }
    CMTime duration() const override { return duration_; }
    std::vector<std::shared_ptr<AVAssetTrack>> tracks() const override { return tracks_; }
    std::vector<std::shared_ptr<AVMetadataItem>> commonMetadata() const override { return metadata_; }
    std::string lyrics() const override { return lyrics_; }

    std::string className() const override { return "AVURLAsset"; }

protected:
    AVURLAsset() = default;

private:
    std::shared_ptr<NSURL> url_;
    std::string path_;
    CMTime duration_ = kCMTimeZero;
    std::vector<std::shared_ptr<AVAssetTrack>> tracks_;
    std::vector<std::shared_ptr<AVMetadataItem>> metadata_;
    std::string lyrics_;
};
