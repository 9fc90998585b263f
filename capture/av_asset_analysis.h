// Looking into a media file's tracks: a table of the tracks by media type with a readable
// description of each, the label of a subtitle track, the time of a subtitle track's first text,
// and loaders that open a file as a composition of one chosen picture and/or sound track.
//
// Synchronous; suits a background queue. The language tables come from Global's `lcode` service
// (main thread: take it there and pass it in, or call from the main thread).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/media/av_mutable_composition.h"

class LanguageService;

// Media type -> array of records {"id", "lcod" (when known), "desc"}, in track order.
Value trackDict(const AVAsset& asset, LanguageService* languages);
// The display label of a subtitle track of the table; the id as text when nothing better is known.
std::string getSubtitleLabel(const Value& table, std::int32_t streamId, LanguageService* languages);

// Seconds of the first sample of the track whose text is not empty; 0 when there is none.
double loadSubtitleStartTiming0(const std::shared_ptr<AVAsset>& asset, const std::shared_ptr<AVAssetTrack>& track);
// The first subtitle track in the language (ISO 639-1; none: any), or one whose language has no
// two-letter form.
double loadSubtitleStartTiming(const std::shared_ptr<AVAsset>& asset, const std::optional<std::string>& language,
                               LanguageService* languages);
// Reads the first sound track through; there is no spectrum to give.
void spectrumArray(const std::shared_ptr<AVAsset>& asset);

// A file asset with precise timing; none when unreadable.
std::shared_ptr<AVURLAsset> URLAssetWithURL2(const std::shared_ptr<NSURL>& url);

// Track id 0 picks the first track of its kind.
bool assetWithURL2_internal0(const AVAsset& asset, const std::string& mediaType, std::int32_t trackID,
                             AVMutableComposition& composition);
std::shared_ptr<AVMutableComposition> assetWithURL2_internal(const AVAsset& asset, std::int32_t vid, std::int32_t aid);
std::shared_ptr<AVMutableComposition> assetWithURL2_internalOne(const AVAsset& asset, const std::string& mediaType,
                                                                std::int32_t trackID);
// The first picture and/or sound track that inserts; the types to try.
std::shared_ptr<AVMutableComposition> assetWithURL2_JustTryOneTrackForType(const AVAsset& asset, bool video,
                                                                           bool audio);

std::shared_ptr<AVMutableComposition> assetWithURL2(const std::shared_ptr<NSURL>& url);
std::shared_ptr<AVMutableComposition> assetWithURL2Video(const std::shared_ptr<NSURL>& url, std::int32_t vid);
std::shared_ptr<AVMutableComposition> assetWithURL2Audio(const std::shared_ptr<NSURL>& url, std::int32_t aid);
std::shared_ptr<AVMutableComposition> assetWithURL2(const std::shared_ptr<NSURL>& url, std::int32_t vid,
                                                    std::int32_t aid);
