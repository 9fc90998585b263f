// Video decoding through FFmpeg's libraries.
#include "platform/capture/video_file_decoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/display.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

std::string averror(int code) {
    char buf[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, buf, sizeof buf);
    return buf;
}

int quarterTurnsFor(double clockwiseDegrees) {
    if (!std::isfinite(clockwiseDegrees)) return 0;
    long turns = std::lround(clockwiseDegrees / 90.0) % 4;
    return int((turns + 4) % 4);
}

}  // namespace

int streamQuarterTurns(const AVStream& stream) {
    // The matrix gives the angle anticlockwise; the older tag, the angle clockwise.
    if (const auto* m = av_stream_get_side_data(&stream, AV_PKT_DATA_DISPLAYMATRIX, nullptr))
        return quarterTurnsFor(-av_display_rotation_get(reinterpret_cast<const std::int32_t*>(m)));
    if (const AVDictionaryEntry* tag = av_dict_get(stream.metadata, "rotate", nullptr, 0)) {
        char* end = nullptr;
        double degrees = std::strtod(tag->value, &end);
        if (end != tag->value) return quarterTurnsFor(degrees);
    }
    return 0;
}

struct VideoFileDecoder::State {
    AVFormatContext* format = nullptr;
    AVCodecContext* codec = nullptr;
    SwsContext* sws = nullptr;
    std::shared_ptr<CVPixelBufferPool> pool;  // the BGRA frames of next(), reused once let go
    AVPacket* packet = nullptr;
    AVFrame* frame = nullptr;
    AVFrame* planar = nullptr;  // the frame converted to YUV 4:2:0 when the file holds another format
    SwsContext* planarSws = nullptr;
    int stream = -1;
    bool drained = false;

    ~State() {
        sws_freeContext(sws);
        sws_freeContext(planarSws);
        av_frame_free(&planar);
        av_frame_free(&frame);
        av_packet_free(&packet);
        avcodec_free_context(&codec);
        avformat_close_input(&format);
    }
};

VideoFileDecoder::VideoFileDecoder(std::unique_ptr<State> state) : s_(std::move(state)) {}
VideoFileDecoder::~VideoFileDecoder() = default;

Result<std::unique_ptr<VideoFileDecoder>> VideoFileDecoder::open(const std::string& path, int threads) {
    // The libraries report through our results; their own chatter stays off stderr.
    av_log_set_level(AV_LOG_ERROR);
    auto s = std::make_unique<State>();
    if (int r = avformat_open_input(&s->format, path.c_str(), nullptr, nullptr); r < 0)
        return fail("cannot open " + path + ": " + averror(r));
    if (int r = avformat_find_stream_info(s->format, nullptr); r < 0)
        return fail("cannot read " + path + ": " + averror(r));
    // A still picture opens too (as a one-frame stream of its own format), but it is no movie.
    std::string demuxer = s->format->iformat->name;
    if (demuxer == "image2" || (demuxer.size() > 5 && demuxer.ends_with("_pipe")))
        return fail(path + " is a still picture, not a movie");
    const AVCodec* decoder = nullptr;
    s->stream = av_find_best_stream(s->format, AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0);
    if (s->stream < 0 || !decoder) return fail(path + " has no picture track that can be decoded");
    s->codec = avcodec_alloc_context3(decoder);
    if (!s->codec) return fail("out of memory");
    avcodec_parameters_to_context(s->codec, s->format->streams[s->stream]->codecpar);
    s->codec->thread_count = std::max(0, threads);
    if (int r = avcodec_open2(s->codec, decoder, nullptr); r < 0)
        return fail("cannot decode " + path + ": " + averror(r));
    if (s->codec->width <= 0 || s->codec->height <= 0 || s->codec->width > 16384 || s->codec->height > 16384)
        return fail(path + " has an unusable picture size");
    s->packet = av_packet_alloc();
    s->frame = av_frame_alloc();
    if (!s->packet || !s->frame) return fail("out of memory");
    return std::unique_ptr<VideoFileDecoder>(new VideoFileDecoder(std::move(s)));
}

int VideoFileDecoder::width() const {
    return s_->codec->width;
}
int VideoFileDecoder::height() const {
    return s_->codec->height;
}

double VideoFileDecoder::duration() const {
    const AVStream* st = s_->format->streams[s_->stream];
    if (st->duration > 0) return double(st->duration) * av_q2d(st->time_base);
    if (s_->format->duration > 0) return double(s_->format->duration) / AV_TIME_BASE;
    return 0;
}

int VideoFileDecoder::quarterTurns() const {
    return streamQuarterTurns(*s_->format->streams[s_->stream]);
}

Result<void> VideoFileDecoder::rewind() {
    if (int r = av_seek_frame(s_->format, s_->stream, 0, AVSEEK_FLAG_BACKWARD); r < 0)
        return fail("cannot go back to the start: " + averror(r));
    avcodec_flush_buffers(s_->codec);
    s_->drained = false;
    return {};
}

namespace {

// Reads and decodes until the next frame is in s.frame; a failure at the end of the file.
template <class State>
Result<void> receive(State& s) {
    while (true) {
        int r = avcodec_receive_frame(s.codec, s.frame);
        if (r == 0) return {};
        if (r == AVERROR_EOF) return fail("end of file");
        if (r != AVERROR(EAGAIN)) return fail("decoding failed: " + averror(r));
        if (s.drained) return fail("end of file");
        r = av_read_frame(s.format, s.packet);
        if (r == AVERROR_EOF) {
            s.drained = true;
            avcodec_send_packet(s.codec, nullptr);
            continue;
        }
        if (r < 0) return fail("reading failed: " + averror(r));
        if (s.packet->stream_index == s.stream) avcodec_send_packet(s.codec, s.packet);
        av_packet_unref(s.packet);
    }
}

template <class State>
double frameTime(const State& s) {
    const AVStream* st = s.format->streams[s.stream];
    std::int64_t pts = s.frame->best_effort_timestamp != AV_NOPTS_VALUE ? s.frame->best_effort_timestamp : 0;
    double start = st->start_time != AV_NOPTS_VALUE ? double(st->start_time) * av_q2d(st->time_base) : 0;
    return double(pts) * av_q2d(st->time_base) - start;
}

}  // namespace

Result<VideoFileDecoder::Frame> VideoFileDecoder::next() {
    State& s = *s_;
    if (auto r = receive(s); !r) return fail(r.error());
    int w = s.frame->width, h = s.frame->height;
    s.sws = sws_getCachedContext(s.sws, w, h, AVPixelFormat(s.frame->format), w, h, AV_PIX_FMT_BGRA, SWS_BILINEAR,
                                 nullptr, nullptr, nullptr);
    if (!s.sws) return fail("cannot convert the picture format");
    if (!s.pool || int(s.pool->width()) != w || int(s.pool->height()) != h)
        s.pool = CVPixelBufferPool::make(std::size_t(w), std::size_t(h));
    auto out = s.pool->createPixelBuffer();
    if (!out) out = CVPixelBuffer::make(std::size_t(w), std::size_t(h));  // every pooled frame is held
    std::uint8_t* planes[4] = {out->baseAddress(), nullptr, nullptr, nullptr};
    int strides[4] = {int(out->bytesPerRow()), 0, 0, 0};
    sws_scale(s.sws, s.frame->data, s.frame->linesize, 0, h, planes, strides);
    Frame f{out, frameTime(s)};
    av_frame_unref(s.frame);
    return f;
}

Result<VideoFileDecoder::PlanarFrame> VideoFileDecoder::nextPlanar() {
    State& s = *s_;
    av_frame_unref(s.frame);  // the previous call's planes
    if (auto r = receive(s); !r) return fail(r.error());
    int w = s.frame->width, h = s.frame->height;
    const AVFrame* source = s.frame;
    if (s.frame->format != AV_PIX_FMT_YUV420P) {
        if (!s.planar || s.planar->width != w || s.planar->height != h) {
            av_frame_free(&s.planar);
            s.planar = av_frame_alloc();
            if (!s.planar) return fail("out of memory");
            s.planar->format = AV_PIX_FMT_YUV420P;
            s.planar->width = w;
            s.planar->height = h;
            if (av_frame_get_buffer(s.planar, 0) < 0) return fail("out of memory");
        }
        s.planarSws = sws_getCachedContext(s.planarSws, w, h, AVPixelFormat(s.frame->format), w, h, AV_PIX_FMT_YUV420P,
                                           SWS_BILINEAR, nullptr, nullptr, nullptr);
        if (!s.planarSws) return fail("cannot convert the picture format");
        sws_scale(s.planarSws, s.frame->data, s.frame->linesize, 0, h, s.planar->data, s.planar->linesize);
        source = s.planar;
    }
    PlanarFrame f;
    for (int i = 0; i < 3; ++i) f.planes[i] = source->data[i], f.strides[i] = source->linesize[i];
    f.width = w, f.height = h;
    f.time = frameTime(s);
    return f;
}
