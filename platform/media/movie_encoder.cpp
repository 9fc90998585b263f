// Encoding through FFmpeg's libraries: libx264 for pictures, the native AAC encoder for sound.
#include "platform/media/movie_encoder.h"

extern "C" {
#include <libavutil/audio_fifo.h>
#include <libavutil/display.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <cmath>
#include <filesystem>

#include "platform/media/ffmpeg_support.h"

namespace {
constexpr AVRational kVideoTimeBase{1, 90000};
constexpr std::int64_t kDefaultFrameTicks = 90000 / 30;
constexpr int kEncoderThreads = 12;
}  // namespace

struct MovieEncoder::State {
    std::string path;
    MovieEncoderSettings settings;
    AVFormatContext* format = nullptr;
    bool headerWritten = false;
    bool finished = false;
    AVCodecContextPtr video, audio;
    AVStream* videoStream = nullptr;
    AVStream* audioStream = nullptr;
    SwsContext* sws = nullptr;
    SwrContext* swr = nullptr;
    int swrInRate = 0, swrInChannels = 0;
    AVAudioFifo* fifo = nullptr;
    AVFramePtr videoFrame, audioFrame;
    AVPacketPtr packet{av_packet_alloc()};
    std::int64_t lastVideoPts = AV_NOPTS_VALUE;
    std::int64_t frameTicks = kDefaultFrameTicks;  // how long a picture lasts, in kVideoTimeBase
    std::int64_t nextAudioPts = AV_NOPTS_VALUE;    // the next frame handed to the sound encoder
    std::int64_t audioCursor = AV_NOPTS_VALUE;     // where the next converted sample lands

    ~State() {
        sws_freeContext(sws);
        swr_free(&swr);
        if (fifo) av_audio_fifo_free(fifo);
        if (format) {
            if (format->pb) avio_closep(&format->pb);
            avformat_free_context(format);
        }
        if (!finished) {
            std::error_code ignored;
            std::filesystem::remove(path, ignored);
        }
    }

    Result<void> drain(AVCodecContext* codec, AVStream* stream) {
        while (true) {
            int r = avcodec_receive_packet(codec, packet.get());
            if (r == AVERROR(EAGAIN) || r == AVERROR_EOF) return {};
            if (r < 0) return fail("encoding failed: " + averrorText(r));
            // Each picture lasts its frame's time, so the track ends where the last one ends.
            if (codec == video.get()) packet->duration = frameTicks;
            av_packet_rescale_ts(packet.get(), codec->time_base, stream->time_base);
            packet->stream_index = stream->index;
            r = av_interleaved_write_frame(format, packet.get());
            if (r < 0) return fail("cannot write " + path + ": " + averrorText(r));
        }
    }

    Result<void> sendAudioFrames(bool flush) {
        int frameSize = audio->frame_size > 0 ? audio->frame_size : 1024;
        while (av_audio_fifo_size(fifo) >= frameSize || (flush && av_audio_fifo_size(fifo) > 0)) {
            int n = std::min(frameSize, av_audio_fifo_size(fifo));
            av_frame_unref(audioFrame.get());
            audioFrame->nb_samples = n;
            audioFrame->format = audio->sample_fmt;
            audioFrame->sample_rate = audio->sample_rate;
            av_channel_layout_copy(&audioFrame->ch_layout, &audio->ch_layout);
            if (av_frame_get_buffer(audioFrame.get(), 0) < 0) return fail("out of memory");
            av_audio_fifo_read(fifo, reinterpret_cast<void**>(audioFrame->data), n);
            audioFrame->pts = nextAudioPts;
            nextAudioPts += n;
            if (int r = avcodec_send_frame(audio.get(), audioFrame.get()); r < 0)
                return fail("encoding sound failed: " + averrorText(r));
            if (auto r = drain(audio.get(), audioStream); !r) return r;
        }
        return {};
    }
};

std::string movFlags(const MovieEncoderSettings& settings) {
    std::string flags = settings.fastStart ? "faststart" : "";
    if (!settings.metadata.empty()) flags += flags.empty() ? "use_metadata_tags" : "+use_metadata_tags";
    return flags;
}

MovieEncoder::MovieEncoder(std::unique_ptr<State> s) : s_(std::move(s)) {}
MovieEncoder::~MovieEncoder() = default;

Result<std::unique_ptr<MovieEncoder>> MovieEncoder::open(const std::string& path, MovieEncoderSettings settings) {
    mediaLibrariesQuiet();
    auto s = std::make_unique<State>();
    s->path = path;
    // H.264 in 4:2:0 wants even sides.
    settings.width &= ~1;
    settings.height &= ~1;
    s->settings = settings;
    if (settings.width <= 0 && settings.sampleRate <= 0) return fail("a movie needs a picture or a sound track");
    if (int r = avformat_alloc_output_context2(&s->format, nullptr, settings.container.c_str(), path.c_str()); r < 0)
        return fail("cannot make a " + settings.container + " file: " + averrorText(r));
    if (settings.width > 0) {
        const AVCodec* codec = avcodec_find_encoder_by_name("libx264");
        if (!codec) return fail("no H.264 encoder");
        s->video.reset(avcodec_alloc_context3(codec));
        auto* c = s->video.get();
        c->width = settings.width;
        c->height = settings.height;
        c->pix_fmt = AV_PIX_FMT_YUV420P;
        c->time_base = kVideoTimeBase;
        c->framerate = {30, 1};
        if (s->format->oformat->flags & AVFMT_GLOBALHEADER) c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        av_opt_set(c->priv_data, "preset", settings.speed.c_str(), 0);
        av_opt_set_double(c->priv_data, "crf", settings.crf, 0);
        // A fixed number of encoding threads, not one per processor: the encoder splits its work by
        // its thread count and codes each share a little differently, so a movie made on a machine
        // with another number of processors (or under a processor mask) came out with other
        // pictures. Twelve is what the encoder takes by itself on eight processors.
        c->thread_count = kEncoderThreads;
        if (int r = avcodec_open2(c, codec, nullptr); r < 0) return fail("cannot start H.264: " + averrorText(r));
        s->videoStream = avformat_new_stream(s->format, nullptr);
        avcodec_parameters_from_context(s->videoStream->codecpar, c);
        s->videoStream->time_base = kVideoTimeBase;
        if (settings.displayRotation % 360 != 0) {
            auto* matrix = reinterpret_cast<std::int32_t*>(
                av_stream_new_side_data(s->videoStream, AV_PKT_DATA_DISPLAYMATRIX, sizeof(std::int32_t) * 9));
            // Stored so that readers (ours included) take it as a clockwise turn for display.
            if (matrix) av_display_rotation_set(matrix, double(settings.displayRotation));
        }
        s->videoFrame.reset(av_frame_alloc());
        s->videoFrame->format = c->pix_fmt;
        s->videoFrame->width = c->width;
        s->videoFrame->height = c->height;
        if (av_frame_get_buffer(s->videoFrame.get(), 0) < 0) return fail("out of memory");
    }
    if (settings.sampleRate > 0) {
        const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_AAC);
        if (!codec) return fail("no AAC encoder");
        s->audio.reset(avcodec_alloc_context3(codec));
        auto* c = s->audio.get();
        c->sample_rate = settings.sampleRate;
        av_channel_layout_default(&c->ch_layout, std::max(1, settings.channels));
        c->sample_fmt = AV_SAMPLE_FMT_FLTP;
        c->bit_rate = settings.audioBitRate;
        c->time_base = {1, settings.sampleRate};
        if (s->format->oformat->flags & AVFMT_GLOBALHEADER) c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        if (int r = avcodec_open2(c, codec, nullptr); r < 0) return fail("cannot start AAC: " + averrorText(r));
        s->audioStream = avformat_new_stream(s->format, nullptr);
        avcodec_parameters_from_context(s->audioStream->codecpar, c);
        s->audioStream->time_base = c->time_base;
        s->fifo = av_audio_fifo_alloc(c->sample_fmt, c->ch_layout.nb_channels, 4096);
        s->audioFrame.reset(av_frame_alloc());
        if (!s->fifo || !s->audioFrame) return fail("out of memory");
    }
    for (auto& [key, value] : settings.metadata) av_dict_set(&s->format->metadata, key.c_str(), value.c_str(), 0);
    if (int r = avio_open(&s->format->pb, path.c_str(), AVIO_FLAG_WRITE); r < 0)
        return fail("cannot write " + path + ": " + averrorText(r));
    AVDictionary* options = nullptr;
    if (auto flags = movFlags(settings); !flags.empty()) av_dict_set(&options, "movflags", flags.c_str(), 0);
    int r = avformat_write_header(s->format, &options);
    av_dict_free(&options);
    if (r < 0) return fail("cannot start " + path + ": " + averrorText(r));
    s->headerWritten = true;
    return std::unique_ptr<MovieEncoder>(new MovieEncoder(std::move(s)));
}

namespace {

// Whether a picture at pts is new, and the frame duration it implies.
bool acceptPicture(std::int64_t pts, std::int64_t& lastPts, std::int64_t& frameTicks, double frameDuration) {
    if (lastPts != AV_NOPTS_VALUE && pts <= lastPts) return false;
    if (frameDuration > 0)
        frameTicks = std::max<std::int64_t>(1, std::llround(frameDuration * kVideoTimeBase.den));
    else if (lastPts != AV_NOPTS_VALUE)
        frameTicks = pts - lastPts;
    lastPts = pts;
    return true;
}

}  // namespace

Result<void> MovieEncoder::addVideo(const CVPixelBuffer& pixels, double seconds) {
    State& s = *s_;
    if (!s.video) return fail("this movie has no picture track");
    std::int64_t pts = std::llround(seconds * kVideoTimeBase.den);
    if (!acceptPicture(pts, s.lastVideoPts, s.frameTicks, s.settings.frameDuration)) return {};
    s.sws = sws_getCachedContext(s.sws, int(pixels.width()), int(pixels.height()), AV_PIX_FMT_BGRA, s.video->width,
                                 s.video->height, AV_PIX_FMT_YUV420P, SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (!s.sws) return fail("cannot convert the picture");
    if (av_frame_make_writable(s.videoFrame.get()) < 0) return fail("out of memory");
    const std::uint8_t* src[4] = {pixels.baseAddress(), nullptr, nullptr, nullptr};
    int strides[4] = {int(pixels.bytesPerRow()), 0, 0, 0};
    sws_scale(s.sws, src, strides, 0, int(pixels.height()), s.videoFrame->data, s.videoFrame->linesize);
    s.videoFrame->pts = pts;
    if (int r = avcodec_send_frame(s.video.get(), s.videoFrame.get()); r < 0)
        return fail("encoding the picture failed: " + averrorText(r));
    return s.drain(s.video.get(), s.videoStream);
}

Result<void> MovieEncoder::addVideo(const PlanarPicture& picture, double seconds) {
    State& s = *s_;
    if (!s.video) return fail("this movie has no picture track");
    if (picture.width <= 0 || picture.height <= 0 || !picture.planes[0]) return fail("an empty picture");
    std::int64_t pts = std::llround(seconds * kVideoTimeBase.den);
    if (!acceptPicture(pts, s.lastVideoPts, s.frameTicks, s.settings.frameDuration)) return {};
    if (av_frame_make_writable(s.videoFrame.get()) < 0) return fail("out of memory");
    AVFrame* f = s.videoFrame.get();
    if (picture.width == f->width && picture.height == f->height) {
        // Same size: the planes are copied as they are, with no conversion.
        const std::uint8_t* planes[4] = {picture.planes[0], picture.planes[1], picture.planes[2], nullptr};
        int strides[4] = {picture.strides[0], picture.strides[1], picture.strides[2], 0};
        av_image_copy(f->data, f->linesize, planes, strides, AV_PIX_FMT_YUV420P, f->width, f->height);
    } else {
        s.sws = sws_getCachedContext(s.sws, picture.width, picture.height, AV_PIX_FMT_YUV420P, f->width, f->height,
                                     AV_PIX_FMT_YUV420P, SWS_BILINEAR, nullptr, nullptr, nullptr);
        if (!s.sws) return fail("cannot scale the picture");
        sws_scale(s.sws, picture.planes, picture.strides, 0, picture.height, f->data, f->linesize);
    }
    f->pts = pts;
    if (int r = avcodec_send_frame(s.video.get(), f); r < 0)
        return fail("encoding the picture failed: " + averrorText(r));
    return s.drain(s.video.get(), s.videoStream);
}

Result<void> MovieEncoder::addAudio(const CMAudioBlock& block, double seconds) {
    State& s = *s_;
    if (!s.audio) return fail("this movie has no sound track");
    if (block.channels <= 0 || block.sampleRate <= 0 || block.frameCount() == 0) return {};
    if (!s.swr || s.swrInRate != int(block.sampleRate) || s.swrInChannels != block.channels) {
        swr_free(&s.swr);
        AVChannelLayout in{};
        av_channel_layout_default(&in, block.channels);
        if (swr_alloc_set_opts2(&s.swr, &s.audio->ch_layout, s.audio->sample_fmt, s.audio->sample_rate, &in,
                                AV_SAMPLE_FMT_S16, int(block.sampleRate), 0, nullptr) < 0 ||
            swr_init(s.swr) < 0)
            return fail("cannot convert the sound");
        s.swrInRate = int(block.sampleRate);
        s.swrInChannels = block.channels;
    }
    const int outRate = s.audio->sample_rate, outChannels = s.audio->ch_layout.nb_channels;
    std::int64_t target = std::llround(seconds * outRate);
    if (s.audioCursor == AV_NOPTS_VALUE) {
        s.audioCursor = std::max<std::int64_t>(0, target);
        s.nextAudioPts = s.audioCursor;
    }
    int inFrames = int(block.frameCount());
    int outMax = swr_get_out_samples(s.swr, inFrames);
    std::vector<std::uint8_t*> planes(static_cast<std::size_t>(outChannels));
    int lineSize = 0;
    if (av_samples_alloc(planes.data(), &lineSize, outChannels, std::max(outMax, 1), s.audio->sample_fmt, 0) < 0)
        return fail("out of memory");
    struct Freer {
        std::uint8_t* buffer;
        ~Freer() { av_freep(&buffer); }
    } freer{planes[0]};
    const std::uint8_t* in[1] = {reinterpret_cast<const std::uint8_t*>(block.samples.data())};
    int converted = swr_convert(s.swr, planes.data(), outMax, in, inFrames);
    if (converted <= 0) return {};
    // The block's place against what is written: a gap is filled with silence, an overlap is cut
    // from the block's start. Within the slack (under half a usual block, so a dropped block is
    // always seen) the block simply follows on, so that jitter in the time stamps makes no clicks.
    const std::int64_t slack = std::max(1, outRate / 100);
    std::int64_t offset = target - s.audioCursor;
    int skip = 0;
    if (offset > slack) {
        std::int64_t left = offset;
        std::vector<std::uint8_t*> silence(static_cast<std::size_t>(outChannels));
        const int chunk = 4096;
        if (av_samples_alloc(silence.data(), nullptr, outChannels, chunk, s.audio->sample_fmt, 0) < 0)
            return fail("out of memory");
        av_samples_set_silence(silence.data(), 0, chunk, outChannels, s.audio->sample_fmt);
        while (left > 0) {
            int n = int(std::min<std::int64_t>(left, chunk));
            av_audio_fifo_write(s.fifo, reinterpret_cast<void**>(silence.data()), n);
            left -= n;
        }
        av_freep(&silence[0]);
        s.audioCursor += offset;
    } else if (offset < -slack) {
        skip = int(std::min<std::int64_t>(-offset, converted));
    }
    if (skip < converted) {
        std::vector<std::uint8_t*> from(planes.size());
        int bytesPerSample = av_get_bytes_per_sample(s.audio->sample_fmt);
        for (std::size_t c = 0; c < planes.size(); ++c) from[c] = planes[c] + std::size_t(skip) * bytesPerSample;
        av_audio_fifo_write(s.fifo, reinterpret_cast<void**>(from.data()), converted - skip);
        s.audioCursor += converted - skip;
    }
    return s.sendAudioFrames(false);
}

Result<void> MovieEncoder::finish() {
    State& s = *s_;
    if (s.video) {
        avcodec_send_frame(s.video.get(), nullptr);
        if (auto r = s.drain(s.video.get(), s.videoStream); !r) return r;
    }
    if (s.audio) {
        if (s.nextAudioPts == AV_NOPTS_VALUE) s.nextAudioPts = 0;
        if (s.audioCursor == AV_NOPTS_VALUE) s.audioCursor = 0;
        if (auto r = s.sendAudioFrames(true); !r) return r;
        avcodec_send_frame(s.audio.get(), nullptr);
        if (auto r = s.drain(s.audio.get(), s.audioStream); !r) return r;
    }
    if (int r = av_write_trailer(s.format); r < 0) return fail("cannot finish " + s.path + ": " + averrorText(r));
    if (int r = avio_closep(&s.format->pb); r < 0) return fail("cannot close " + s.path + ": " + averrorText(r));
    s.finished = true;
    return {};
}
