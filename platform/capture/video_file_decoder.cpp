// Video decoding through FFmpeg's libraries.
#include "platform/capture/video_file_decoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/display.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "platform/capture/media_library_log.h"

namespace {

std::string averror(int code) {
    char buf[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, buf, sizeof buf);
    return buf;
}

// FFmpeg reads the file through our descriptor, never by opening the name itself.
constexpr int kReadBufferBytes = 64 * 1024;

int readFromFile(void* opaque, std::uint8_t* buffer, int size) {
    const int fd = *static_cast<const int*>(opaque);
    while (true) {
        const ssize_t got = ::read(fd, buffer, std::size_t(size));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return AVERROR(errno);
        return got == 0 ? AVERROR_EOF : int(got);
    }
}

std::int64_t seekInFile(void* opaque, std::int64_t offset, int whence) {
    const int fd = *static_cast<const int*>(opaque);
    if (whence & AVSEEK_SIZE) {
        struct stat info {};
        return ::fstat(fd, &info) == 0 ? std::int64_t(info.st_size) : AVERROR(errno);
    }
    const off_t at = ::lseek(fd, off_t(offset), whence & ~AVSEEK_FORCE);
    return at < 0 ? AVERROR(errno) : std::int64_t(at);
}

// What a name that is no regular file is, for the reason given.
std::string kindOfFile(mode_t mode) {
    if (S_ISDIR(mode)) return "a folder";
    if (S_ISFIFO(mode)) return "a pipe";
    if (S_ISSOCK(mode)) return "a socket";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
    return "something else";
}

// True for "name:" at the start, as an address begins (http:, file:, rtsp:).
bool looksLikeAddress(const std::string& path) {
    const auto colon = path.find(':');
    return colon != std::string::npos && colon > 0 && std::isalpha(static_cast<unsigned char>(path[0])) &&
           path.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789+-.") == colon;
}

// The file opened for reading, without waiting, and judged by what was opened: only a regular file
// is read, as a pipe or a device would hold the reader for ever and an address would reach the
// network or the media libraries' own protocols.
Result<int> openRegularFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        const int error = errno;
        std::string why = "cannot open " + path + ": " + std::strerror(error);
        if (error == ENOENT && looksLikeAddress(path)) why += " (a file's path is read, not an address)";
        return fail(why);
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        const std::string why = "cannot read " + path + ": " + std::strerror(errno);
        ::close(fd);
        return fail(why);
    }
    if (!S_ISREG(info.st_mode)) {
        ::close(fd);
        return fail(path + " is " + kindOfFile(info.st_mode) + ", not a regular file");
    }
    // Reads of a regular file never wait; the flag only kept the opening from it.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
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
    int fd = -1;
    AVIOContext* input = nullptr;  // reads fd
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
        if (input) av_freep(&input->buffer);
        avio_context_free(&input);
        if (fd >= 0) ::close(fd);
    }
};

VideoFileDecoder::VideoFileDecoder(std::unique_ptr<State> state) : s_(std::move(state)) {}
VideoFileDecoder::~VideoFileDecoder() = default;

Result<std::unique_ptr<VideoFileDecoder>> VideoFileDecoder::open(const std::string& path, int threads) {
    // The libraries report through our results; of their own lines only errors reach the log.
    av_log_set_level(AV_LOG_ERROR);
    routeMediaLibraryLog();
    auto s = std::make_unique<State>();
    auto fd = openRegularFile(path);
    if (!fd) return fail(fd.error());
    s->fd = *fd;
    auto* buffer = static_cast<unsigned char*>(av_malloc(kReadBufferBytes));
    if (buffer) s->input = avio_alloc_context(buffer, kReadBufferBytes, 0, &s->fd, readFromFile, nullptr, seekInFile);
    if (!s->input) av_free(buffer);
    s->format = avformat_alloc_context();
    if (!s->input || !s->format) return fail("out of memory");
    s->format->pb = s->input;
    // The name still guides the choice of format; files a format would open beside it (a
    // playlist's pieces) may only be local files.
    AVDictionary* options = nullptr;
    av_dict_set(&options, "protocol_whitelist", "file", 0);
    const int opened = avformat_open_input(&s->format, path.c_str(), nullptr, &options);
    av_dict_free(&options);
    if (opened < 0) return fail("cannot open " + path + ": " + averror(opened));
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
