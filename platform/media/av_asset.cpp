// Reading an asset's facts from the file's container through FFmpeg's libraries.
#include "platform/media/av_asset.h"

#include <mutex>

#include "platform/capture/video_file_decoder.h"
#include "platform/media/ffmpeg_support.h"
#include "platform/runtime/log.h"
#include "platform/runtime/result.h"

std::vector<std::shared_ptr<AVAssetTrack>> AVAsset::tracksWithMediaType(const std::string& mediaType) const {
    std::vector<std::shared_ptr<AVAssetTrack>> out;
    for (auto& t : tracks())
        if (t->mediaType() == mediaType) out.push_back(t);
    return out;
}

std::shared_ptr<AVAssetTrack> AVAsset::trackWithTrackID(CMPersistentTrackID trackID) const {
    for (auto& t : tracks())
        if (t->trackID() == trackID) return t;
    return nullptr;
}

namespace {

std::mutex resolverMutex;
AVURLAsset::URLResolver& resolverSlot() {
    static AVURLAsset::URLResolver resolver;
    return resolver;
}

// The platform's four-character codes read as big-endian numbers.
FourCharCode fourCC(char a, char b, char c, char d) {
    return FourCharCode(std::uint8_t(a)) << 24 | FourCharCode(std::uint8_t(b)) << 16 |
           FourCharCode(std::uint8_t(c)) << 8 | FourCharCode(std::uint8_t(d));
}

FourCharCode subtypeOf(const AVCodecParameters* p) {
    if (p->codec_tag) {
        auto t = p->codec_tag;
        return fourCC(char(t & 0xff), char(t >> 8 & 0xff), char(t >> 16 & 0xff), char(t >> 24 & 0xff));
    }
    switch (p->codec_id) {
        case AV_CODEC_ID_H264: return fourCC('a', 'v', 'c', '1');
        case AV_CODEC_ID_HEVC: return fourCC('h', 'v', 'c', '1');
        case AV_CODEC_ID_AAC: return fourCC('m', 'p', '4', 'a');
        case AV_CODEC_ID_MOV_TEXT: return fourCC('t', 'x', '3', 'g');
        case AV_CODEC_ID_MP3: return fourCC('.', 'm', 'p', '3');
        default: return 0;
    }
}

CMTime timeIn(std::int64_t ticks, AVRational base) {
    if (base.num == 1 && base.den > 0) return CMTimeMake(ticks, base.den);
    return CMTimeMakeWithSeconds(double(ticks) * av_q2d(base), 600000);
}

std::string tag(const AVDictionary* dict, const char* key) {
    const AVDictionaryEntry* e = av_dict_get(dict, key, nullptr, 0);
    return e && e->value ? e->value : "";
}

}  // namespace

void AVURLAsset::setURLResolver(URLResolver resolver) {
    std::lock_guard lock(resolverMutex);
    resolverSlot() = std::move(resolver);
}

std::shared_ptr<AVURLAsset> AVURLAsset::URLAssetWithURL(const std::shared_ptr<NSURL>& url, const ValueDictionary&) {
    if (!url) return nullptr;
    std::string path;
    if (url->isFileURL()) {
        path = url->path();
    } else {
        URLResolver resolver;
        {
            std::lock_guard lock(resolverMutex);
            resolver = resolverSlot();
        }
        auto resolved = resolver ? resolver(*url) : std::nullopt;
        if (!resolved) {
            Log::warning("media", "no asset for " + url->absoluteString());
            return nullptr;
        }
        path = *resolved;
    }
    auto opened = openMediaFile(path);
    if (!opened) {
        Log::warning("media", opened.error());
        return nullptr;
    }
    AVFormatContext* f = opened->get();
    auto asset = make<AVURLAsset>();
    asset->url_ = url;
    asset->path_ = path;
    CMTime longest = kCMTimeZero;
    for (unsigned i = 0; i < f->nb_streams; ++i) {
        const AVStream* st = f->streams[i];
        const AVCodecParameters* p = st->codecpar;
        if (st->disposition & AV_DISPOSITION_ATTACHED_PIC) {
            if (st->attached_pic.size > 0)
                asset->metadata_.push_back(AVMetadataItem::make(
                    AVMetadataKeySpaceCommon, AVMetadataCommonKeyArtwork,
                    Value::data(Bytes(st->attached_pic.data, st->attached_pic.data + st->attached_pic.size))));
            continue;
        }
        AVAssetTrack::Facts facts;
        facts.trackID = st->id > 0 ? st->id : CMPersistentTrackID(i + 1);
        facts.sourcePath = path;
        facts.streamIndex = int(i);
        switch (p->codec_type) {
            case AVMEDIA_TYPE_VIDEO: facts.mediaType = AVMediaTypeVideo; break;
            case AVMEDIA_TYPE_AUDIO: facts.mediaType = AVMediaTypeAudio; break;
            case AVMEDIA_TYPE_SUBTITLE: facts.mediaType = AVMediaTypeSubtitle; break;
            default: continue;
        }
        facts.languageCode = tag(st->metadata, "language");
        if (facts.languageCode == "und") facts.languageCode.clear();
        if (auto sub = subtypeOf(p)) facts.formatSubtypes.push_back(sub);
        if (p->codec_type == AVMEDIA_TYPE_VIDEO) {
            facts.naturalSize = {double(p->width), double(p->height)};
            if (int turns = streamQuarterTurns(*st); turns != 0)
                facts.preferredTransform = transformForQuarterTurns(turns, facts.naturalSize);
        }
        if (p->codec_type == AVMEDIA_TYPE_AUDIO) {
            facts.sampleRate = p->sample_rate;
            facts.channels = p->ch_layout.nb_channels;
        }
        CMTime duration = st->duration > 0 ? timeIn(st->duration, st->time_base)
                                           : (f->duration > 0 ? CMTimeMake(f->duration, AV_TIME_BASE) : kCMTimeZero);
        facts.timeRange = CMTimeRangeMake(kCMTimeZero, duration);
        if (CMTimeCompare(duration, longest) > 0) longest = duration;
        asset->tracks_.push_back(AVAssetTrack::make(std::move(facts)));
    }
    asset->duration_ = longest;
    auto software = tag(f->metadata, "software");
    if (software.empty()) software = tag(f->metadata, "encoder");
    if (!software.empty())
        asset->metadata_.push_back(
            AVMetadataItem::make(AVMetadataKeySpaceCommon, AVMetadataCommonKeySoftware, Value(software)));
    auto date = tag(f->metadata, "date");
    if (date.empty()) date = tag(f->metadata, "creation_time");
    if (!date.empty())
        asset->metadata_.push_back(
            AVMetadataItem::make(AVMetadataKeySpaceCommon, AVMetadataCommonKeyCreationDate, Value(date)));
    for (auto [key, common] :
         {std::pair{"title", AVMetadataCommonKeyTitle}, std::pair{"artist", AVMetadataCommonKeyArtist},
          std::pair{"album", AVMetadataCommonKeyAlbumName}})
        if (auto v = tag(f->metadata, key); !v.empty())
            asset->metadata_.push_back(AVMetadataItem::make(AVMetadataKeySpaceCommon, common, Value(v)));
    asset->lyrics_ = tag(f->metadata, "lyrics");
    return asset;
}
