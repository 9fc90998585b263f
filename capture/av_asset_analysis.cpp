#include "capture/av_asset_analysis.h"

#include "foundation/language_service.h"
#include "foundation/string_custom_values.h"
#include "platform/media/av_asset_reader.h"

namespace {

const std::pair<const char*, const char*> kTypeWords[] = {
    {AVMediaTypeVideo, "Video"},       {AVMediaTypeAudio, "Audio"},
    {AVMediaTypeText, "Text"},         {AVMediaTypeClosedCaption, "ClosedCaption"},
    {AVMediaTypeSubtitle, "Subtitle"}, {AVMediaTypeTimecode, "Timecode"},
    {AVMediaTypeMetadata, "Metadata"}, {AVMediaTypeMuxed, "Muxed"}};

std::string describe(const AVAssetTrack& track, LanguageService* languages) {
    std::string desc;
    auto add = [&](const std::string& piece) {
        if (piece.empty()) return;
        if (!desc.empty()) desc += ", ";
        desc += piece;
    };
    if (!track.languageCode().empty() && languages)
        add(languages->getLabel_iso639_2(track.languageCode()).value_or(""));
    for (auto code : track.formatSubtypes()) add(stringFromFourCharCode(code));
    if (desc.empty())
        for (auto [type, word] : kTypeWords)
            if (track.mediaType() == type) desc = word;
    return desc;
}

std::string text(const Value& v) {
    return v.isString() ? *v.string() : std::string();
}

std::string trimmed(std::string s) {
    auto blank = [](char c) { return c == ' ' || c == '\n' || c == '\r' || c == '\t'; };
    while (!s.empty() && blank(s.back())) s.pop_back();
    std::size_t i = 0;
    while (i < s.size() && blank(s[i])) ++i;
    return s.substr(i);
}

// The text a subtitle sample carries: timed text begins with its length in two bytes.
std::string sampleText(const Bytes& bytes) {
    if (bytes.size() >= 2) {
        std::size_t length = std::size_t(bytes[0]) << 8 | bytes[1];
        if (length + 2 <= bytes.size())
            return trimmed(std::string(bytes.begin() + 2, bytes.begin() + 2 + std::ptrdiff_t(length)));
    }
    return trimmed(std::string(bytes.begin(), bytes.end()));
}

// Adds a track of the source's type and inserts the whole source; a failed insertion takes the
// added track away again when asked to.
bool insertWhole(AVMutableComposition& composition, const std::shared_ptr<AVAssetTrack>& source, bool removeOnFailure) {
    auto track = composition.addMutableTrackWithMediaType(source->mediaType(), kCMPersistentTrackID_Invalid);
    if (track->insertTimeRange(source->timeRange(), source, kCMTimeZero)) return true;
    if (removeOnFailure) composition.removeTrack(track);
    return false;
}

std::shared_ptr<AVMutableComposition> unlessEmpty(std::shared_ptr<AVMutableComposition> c) {
    return c && !c->tracks().empty() ? c : nullptr;
}

}  // namespace

Value trackDict(const AVAsset& asset, LanguageService* languages) {
    Value table = Value::dictionary();
    for (auto& track : asset.tracks()) {
        if (table[track->mediaType()].isNull()) table.set(track->mediaType(), Value::array());
        Value record = Value::dictionary();
        record.set("id", Value(std::int32_t(track->trackID())));
        if (!track->languageCode().empty()) record.set("lcod", Value(track->languageCode()));
        record.set("desc", Value(describe(*track, languages)));
        table[track->mediaType()].append(record);
    }
    return table;
}

std::string getSubtitleLabel(const Value& table, std::int32_t streamId, LanguageService* languages) {
    std::string plain = std::to_string(streamId);
    const Value& list = table[AVMediaTypeSubtitle];
    for (std::size_t i = 0; i < list.count(); ++i) {
        const Value& record = list[i];
        if (std::int32_t(record["id"].integerValue()) != streamId) continue;
        std::string l = text(record["llbl"]), lcod = text(record["lcod"]), d = text(record["desc"]);
        std::string n = !lcod.empty() && languages ? languages->getName(lcod).value_or("") : "";
        if (!l.empty() && !n.empty()) return l.find(n) != std::string::npos ? l : l + " - " + n;
        if (!l.empty()) return l;
        if (!n.empty()) return n;
        if (!d.empty()) return d;
        return plain;
    }
    return plain;
}

double loadSubtitleStartTiming0(const std::shared_ptr<AVAsset>& asset, const std::shared_ptr<AVAssetTrack>& track) {
    auto reader = AVAssetReader::assetReaderWithAsset(asset);
    if (!reader) return 0;
    auto output = AVAssetReaderTrackOutput::assetReaderTrackOutputWithTrack(track);
    (*reader)->addOutput(output);
    if (!(*reader)->startReading()) return 0;
    while (auto sample = output->copyNextSampleBuffer()) {
        auto bytes = sample->dataBuffer();
        if (!bytes || bytes->empty() || sampleText(*bytes).empty()) continue;
        (*reader)->cancelReading();
        return CMTimeGetSeconds(sample->presentationTimeStamp());
    }
    return 0;
}

double loadSubtitleStartTiming(const std::shared_ptr<AVAsset>& asset, const std::optional<std::string>& language,
                               LanguageService* languages) {
    if (!asset) return 0;
    for (auto& track : asset->tracks()) {
        if (track->mediaType() != AVMediaTypeSubtitle && track->mediaType() != AVMediaTypeText) continue;
        auto code = languages ? languages->get_iso_639_1_from_iso639_2(track->languageCode()) : std::nullopt;
        if (!language || !code || *code == *language) return loadSubtitleStartTiming0(asset, track);
    }
    return 0;
}

void spectrumArray(const std::shared_ptr<AVAsset>& asset) {
    auto sound = asset ? asset->tracksWithMediaType(AVMediaTypeAudio) : std::vector<std::shared_ptr<AVAssetTrack>>{};
    if (sound.empty()) return;
    auto reader = AVAssetReader::assetReaderWithAsset(asset);
    if (!reader) return;
    auto output = AVAssetReaderTrackOutput::assetReaderTrackOutputWithTrack(sound.front());
    (*reader)->addOutput(output);
    if (!(*reader)->startReading()) return;
    while (output->copyNextSampleBuffer()) {
    }
}

std::shared_ptr<AVURLAsset> URLAssetWithURL2(const std::shared_ptr<NSURL>& url) {
    ValueDictionary options;
    options.set(AVURLAssetPreferPreciseDurationAndTimingKey, true);
    return AVURLAsset::URLAssetWithURL(url, options);
}

bool assetWithURL2_internal0(const AVAsset& asset, const std::string& mediaType, std::int32_t trackID,
                             AVMutableComposition& composition) {
    auto candidates = asset.tracksWithMediaType(mediaType);
    bool matched = false;
    for (auto& track : candidates) {
        if (trackID != 0 && track->trackID() != trackID) continue;
        matched = true;
        if (!insertWhole(composition, track, false)) return false;
        break;
    }
    if (!matched)
        for (auto& track : candidates)
            if (insertWhole(composition, track, false)) break;
    return !composition.tracks().empty();
}

std::shared_ptr<AVMutableComposition> assetWithURL2_internalOne(const AVAsset& asset, const std::string& mediaType,
                                                                std::int32_t trackID) {
    auto composition = AVMutableComposition::make();
    return assetWithURL2_internal0(asset, mediaType, trackID, *composition) ? composition : nullptr;
}

std::shared_ptr<AVMutableComposition> assetWithURL2_internal(const AVAsset& asset, std::int32_t vid, std::int32_t aid) {
    auto composition = AVMutableComposition::make();
    assetWithURL2_internal0(asset, AVMediaTypeVideo, vid, *composition);
    assetWithURL2_internal0(asset, AVMediaTypeAudio, aid, *composition);
    return unlessEmpty(composition);
}

std::shared_ptr<AVMutableComposition> assetWithURL2_JustTryOneTrackForType(const AVAsset& asset, bool video,
                                                                           bool audio) {
    auto composition = AVMutableComposition::make();
    bool pictureDone = !video, soundDone = !audio;
    for (auto& track : asset.tracks()) {
        if (!pictureDone && track->mediaType() == AVMediaTypeVideo)
            pictureDone = insertWhole(*composition, track, true);
        else if (!soundDone && track->mediaType() == AVMediaTypeAudio)
            soundDone = insertWhole(*composition, track, true);
    }
    return unlessEmpty(composition);
}

std::shared_ptr<AVMutableComposition> assetWithURL2(const std::shared_ptr<NSURL>& url) {
    auto asset = URLAssetWithURL2(url);
    return asset ? assetWithURL2_JustTryOneTrackForType(*asset, true, true) : nullptr;
}

std::shared_ptr<AVMutableComposition> assetWithURL2Video(const std::shared_ptr<NSURL>& url, std::int32_t vid) {
    auto asset = URLAssetWithURL2(url);
    if (!asset) return nullptr;
    if (auto c = assetWithURL2_internalOne(*asset, AVMediaTypeVideo, vid)) return c;
    return assetWithURL2_JustTryOneTrackForType(*asset, true, false);
}

std::shared_ptr<AVMutableComposition> assetWithURL2Audio(const std::shared_ptr<NSURL>& url, std::int32_t aid) {
    auto asset = URLAssetWithURL2(url);
    if (!asset) return nullptr;
    if (auto c = assetWithURL2_internalOne(*asset, AVMediaTypeAudio, aid)) return c;
    return assetWithURL2_JustTryOneTrackForType(*asset, false, true);
}

std::shared_ptr<AVMutableComposition> assetWithURL2(const std::shared_ptr<NSURL>& url, std::int32_t vid,
                                                    std::int32_t aid) {
    auto asset = URLAssetWithURL2(url);
    if (!asset) return nullptr;
    if (auto c = assetWithURL2_internal(*asset, vid, aid)) return c;
    return assetWithURL2_JustTryOneTrackForType(*asset, false, true);
}
