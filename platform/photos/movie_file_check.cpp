// The movie check of the library: the container is read to its end without decoding a frame.
#include "platform/photos/movie_file_check.h"

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/display.h>
#include <libavutil/log.h>
}

#include <cmath>
#include <cstring>
#include <memory>

namespace {

struct InputCloser {
    void operator()(AVFormatContext* f) const { avformat_close_input(&f); }
};
struct PacketFree {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};

std::string averror(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

bool isQuarterTurned(const AVStream& stream) {
    const auto* matrix = av_stream_get_side_data(&stream, AV_PKT_DATA_DISPLAYMATRIX, nullptr);
    if (!matrix) return false;
    double degrees = av_display_rotation_get(reinterpret_cast<const std::int32_t*>(matrix));
    if (std::isnan(degrees)) return false;
    return std::lround(std::fabs(degrees) / 90.0) % 2 == 1;
}

// Errors that say the file could not be read, not what it holds.
bool isReadError(int code) {
    return code == AVERROR(EIO) || code == AVERROR(EACCES) || code == AVERROR(EPERM) || code == AVERROR(ENOMEM);
}

// Every sample the index lists must lie inside the file, and every packet must come back whole.
Result<void> checkWhole(AVFormatContext& format, FileCheckFault* fault) {
    const std::int64_t size = avio_size(format.pb);
    for (unsigned i = 0; i < format.nb_streams && size > 0; ++i) {
        AVStream* stream = format.streams[i];
        const int count = avformat_index_get_entries_count(stream);
        for (int e = 0; e < count; ++e) {
            const AVIndexEntry* entry = avformat_index_get_entry(stream, e);
            if (entry && entry->pos + entry->size > size) return fail("cut short: its samples run past its end");
        }
    }
    std::unique_ptr<AVPacket, PacketFree> packet(av_packet_alloc());
    if (!packet) return fail("out of memory");
    for (;;) {
        int rc = av_read_frame(&format, packet.get());
        if (rc == AVERROR_EOF) return {};
        if (rc < 0 && isReadError(rc)) {
            if (fault) *fault = FileCheckFault::Unreadable;
            return fail("cannot read: " + averror(rc));
        }
        if (rc < 0) return fail("cut short: " + averror(rc));
        bool corrupt = packet->flags & AV_PKT_FLAG_CORRUPT;
        av_packet_unref(packet.get());
        if (corrupt) return fail("cut short: a sample is incomplete");
    }
}

}  // namespace

Result<MovieFileFacts> describeMovieFile(const std::string& path, FileCheckFault* fault) {
    if (fault) *fault = FileCheckFault::NotWhole;
    // A damaged movie is an answer here, not news: the libraries' own lines stay off standard error.
    av_log_set_level(AV_LOG_QUIET);
    AVFormatContext* raw = nullptr;
    if (int rc = avformat_open_input(&raw, path.c_str(), nullptr, nullptr); rc < 0) {
        if (isReadError(rc) && fault) *fault = FileCheckFault::Unreadable;
        return fail("not a movie: " + averror(rc));
    }
    std::unique_ptr<AVFormatContext, InputCloser> format(raw);
    // The library holds MPEG-4 and QuickTime movies, whatever else the reader could open.
    if (!format->iformat || !std::strstr(format->iformat->name, "mp4")) return fail("not an MPEG-4 or QuickTime movie");
    if (int rc = avformat_find_stream_info(format.get(), nullptr); rc < 0)
        return fail("unreadable movie: " + averror(rc));
    int video = av_find_best_stream(format.get(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (video < 0) return fail("a movie without a picture");
    const AVStream& stream = *format->streams[video];
    MovieFileFacts facts;
    facts.pixelWidth = stream.codecpar->width;
    facts.pixelHeight = stream.codecpar->height;
    if (isQuarterTurned(stream)) std::swap(facts.pixelWidth, facts.pixelHeight);
    if (format->duration > 0) facts.duration = double(format->duration) / AV_TIME_BASE;
    if (facts.pixelWidth <= 0 || facts.pixelHeight <= 0) return fail("a movie without a picture size");
    if (facts.duration <= 0) return fail("a movie without length");
    if (auto whole = checkWhole(*format, fault); !whole) return fail(whole.error());
    return facts;
}
