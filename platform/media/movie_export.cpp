#include "platform/media/movie_export.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>

#include "platform/capture/video_file_decoder.h"
#include "platform/media/audio_file_decoder.h"
#include "platform/media/ffmpeg_support.h"
#include "platform/media/pixel_turns.h"

namespace {

// Half a frame at 30 fps: a picture that starts this close before a piece's start belongs to it.
constexpr double kEdge = 1.0 / 60;
// A picture that starts before a piece's end (by more than rounding) belongs to it.
constexpr double kEndSlack = 1e-3;

// A piece's pictures at their own times, the way the file holds them: planar straight into the
// encoder when no turn is needed.
Result<void> encodePicturesAsTheyCome(MovieEncoder& encoder, const ExportPlan::Piece& piece,
                                      const std::atomic<bool>& cancelled) {
    auto decoder = VideoFileDecoder::open(piece.path, 0);
    if (!decoder) return fail(decoder.error());
    const bool planar = ((piece.quarterTurns % 4) + 4) % 4 == 0;
    while (!cancelled) {
        double time = 0;
        CVPixelBufferRef pixels;
        PlanarPicture picture;
        if (planar) {
            auto frame = (*decoder)->nextPlanar();
            if (!frame) return {};  // the end of the file
            time = frame->time;
            for (int i = 0; i < 3; ++i) picture.planes[i] = frame->planes[i], picture.strides[i] = frame->strides[i];
            picture.width = frame->width, picture.height = frame->height;
        } else {
            auto frame = (*decoder)->next();
            if (!frame) return {};
            time = frame->time;
            pixels = turnPixelBuffer(frame->pixels, piece.quarterTurns);
        }
        if (time < piece.sourceStart - kEdge) continue;
        // The piece ends where its last picture ends, so that picture is still in it.
        if (time >= piece.sourceEnd - kEndSlack) return {};
        double at = piece.outputStart + std::max(0.0, time - piece.sourceStart);
        auto r = planar ? encoder.addVideo(picture, at) : encoder.addVideo(*pixels, at);
        if (!r) return r;
    }
    return fail("cancelled");
}

// A piece's pictures on the movie's frame grid: grid step k shows the source picture that is on
// screen at k * step (the first one for steps before it), so pictures repeat or drop to fit the
// rate. `nextStep` carries the grid across pieces.
Result<void> encodePicturesOnGrid(MovieEncoder& encoder, const ExportPlan::Piece& piece, double step,
                                  std::int64_t& nextStep, const std::atomic<bool>& cancelled) {
    constexpr double kSlack = 1e-3;
    auto decoder = VideoFileDecoder::open(piece.path, 0);
    if (!decoder) return fail(decoder.error());
    const double outputEnd = piece.outputStart + (piece.sourceEnd - piece.sourceStart);
    nextStep = std::max(nextStep, std::int64_t(std::ceil((piece.outputStart - kSlack) / step)));
    CVPixelBufferRef shown;
    // Fills the grid steps before `until` with the picture on screen.
    auto fillUntil = [&](double until) -> Result<void> {
        while (shown && double(nextStep) * step < until - kSlack) {
            if (auto r = encoder.addVideo(*shown, double(nextStep) * step); !r) return r;
            ++nextStep;
        }
        return {};
    };
    while (!cancelled) {
        auto frame = (*decoder)->next();
        if (!frame || frame->time >= piece.sourceEnd - kEndSlack) return fillUntil(outputEnd);
        if (frame->time < piece.sourceStart - kEdge) continue;
        double at = piece.outputStart + std::max(0.0, frame->time - piece.sourceStart);
        if (auto r = fillUntil(at); !r) return r;
        shown = turnPixelBuffer(frame->pixels, piece.quarterTurns);
    }
    return fail("cancelled");
}

Result<void> encodeSound(MovieEncoder& encoder, const ExportPlan::Piece& piece, const std::atomic<bool>& cancelled) {
    auto decoder = AudioFileDecoder::open(piece.path);
    if (!decoder) return fail(decoder.error());
    while (!cancelled) {
        auto block = (*decoder)->next();
        if (!block) return {};
        CMAudioBlock& audio = block->audio;
        double rate = audio.sampleRate;
        auto frames = std::int64_t(audio.frameCount());
        auto first = std::clamp<std::int64_t>(std::llround((piece.sourceStart - block->time) * rate), 0, frames);
        auto last = std::clamp<std::int64_t>(std::llround((piece.sourceEnd - block->time) * rate), 0, frames);
        if (block->time >= piece.sourceEnd) return {};
        if (last <= first) continue;
        CMAudioBlock part{audio.sampleRate, audio.channels,
                          std::vector<std::int16_t>(audio.samples.begin() + first * audio.channels,
                                                    audio.samples.begin() + last * audio.channels)};
        double at = piece.outputStart + block->time + double(first) / rate - piece.sourceStart;
        if (auto r = encoder.addAudio(part, at); !r) return r;
    }
    return fail("cancelled");
}

}  // namespace

Result<void> encodeMovie(const ExportPlan& plan, const std::atomic<bool>& cancelled) {
    auto encoder = MovieEncoder::open(plan.outputPath, plan.settings);
    if (!encoder) return fail(encoder.error());
    const double step = plan.settings.frameDuration;
    std::int64_t nextStep = 0;
    for (auto& piece : plan.video) {
        auto r = step > 0 ? encodePicturesOnGrid(**encoder, piece, step, nextStep, cancelled)
                          : encodePicturesAsTheyCome(**encoder, piece, cancelled);
        if (!r) return r;
    }
    for (auto& piece : plan.audio)
        if (auto r = encodeSound(**encoder, piece, cancelled); !r) return r;
    return (*encoder)->finish();
}

Result<void> remuxMovie(const std::string& source, const ExportPlan& plan, const std::atomic<bool>& cancelled) {
    auto opened = openMediaFile(source);
    if (!opened) return fail(opened.error());
    AVFormatContext* in = opened->get();
    AVFormatContext* out = nullptr;
    if (int r = avformat_alloc_output_context2(&out, nullptr, plan.settings.container.c_str(), plan.outputPath.c_str());
        r < 0)
        return fail("cannot make the file: " + averrorText(r));
    bool done = false;
    struct Cleanup {
        AVFormatContext*& out;
        const std::string& path;
        bool& done;
        ~Cleanup() {
            if (out->pb) avio_closep(&out->pb);
            avformat_free_context(out);
            if (!done) {
                std::error_code ignored;
                std::filesystem::remove(path, ignored);
            }
        }
    } cleanup{out, plan.outputPath, done};
    std::vector<int> map(in->nb_streams, -1);
    for (unsigned i = 0; i < in->nb_streams; ++i) {
        const AVStream* st = in->streams[i];
        auto type = st->codecpar->codec_type;
        if (st->disposition & AV_DISPOSITION_ATTACHED_PIC) continue;
        if (type != AVMEDIA_TYPE_VIDEO && type != AVMEDIA_TYPE_AUDIO && type != AVMEDIA_TYPE_SUBTITLE) continue;
        if (avformat_query_codec(out->oformat, st->codecpar->codec_id, FF_COMPLIANCE_NORMAL) != 1) continue;
        AVStream* o = avformat_new_stream(out, nullptr);
        avcodec_parameters_copy(o->codecpar, st->codecpar);
        o->codecpar->codec_tag = 0;
        o->time_base = st->time_base;
        av_dict_copy(&o->metadata, st->metadata, 0);
        if (auto* m = av_stream_get_side_data(st, AV_PKT_DATA_DISPLAYMATRIX, nullptr))
            if (auto* d = av_stream_new_side_data(o, AV_PKT_DATA_DISPLAYMATRIX, sizeof(std::int32_t) * 9))
                std::memcpy(d, m, sizeof(std::int32_t) * 9);
        map[i] = o->index;
    }
    if (out->nb_streams == 0) return fail(source + " has no stream the file type can hold");
    for (auto& [key, value] : plan.settings.metadata) av_dict_set(&out->metadata, key.c_str(), value.c_str(), 0);
    if (int r = avio_open(&out->pb, plan.outputPath.c_str(), AVIO_FLAG_WRITE); r < 0)
        return fail("cannot write " + plan.outputPath + ": " + averrorText(r));
    AVDictionary* options = nullptr;
    if (auto flags = movFlags(plan.settings); !flags.empty()) av_dict_set(&options, "movflags", flags.c_str(), 0);
    int r = avformat_write_header(out, &options);
    av_dict_free(&options);
    if (r < 0) return fail("cannot start " + plan.outputPath + ": " + averrorText(r));
    AVPacketPtr packet(av_packet_alloc());
    while (!cancelled) {
        r = av_read_frame(in, packet.get());
        if (r == AVERROR_EOF) break;
        if (r < 0) return fail("reading " + source + " failed: " + averrorText(r));
        int target = packet->stream_index < int(map.size()) ? map[packet->stream_index] : -1;
        if (target >= 0) {
            av_packet_rescale_ts(packet.get(), in->streams[packet->stream_index]->time_base,
                                 out->streams[target]->time_base);
            packet->stream_index = target;
            packet->pos = -1;
            if (r = av_interleaved_write_frame(out, packet.get()); r < 0)
                return fail("cannot write " + plan.outputPath + ": " + averrorText(r));
        }
        av_packet_unref(packet.get());
    }
    if (cancelled) return fail("cancelled");
    if (r = av_write_trailer(out); r < 0) return fail("cannot finish " + plan.outputPath + ": " + averrorText(r));
    if (r = avio_closep(&out->pb); r < 0) return fail("cannot close " + plan.outputPath + ": " + averrorText(r));
    done = true;
    return {};
}
