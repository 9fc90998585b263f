// Writes a small motion-JPEG clip for the video-source test. FFmpeg's headers declare their own
// AVMediaType, so they stay out of the files that include the capture headers.
#include "clip_writer.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <cstring>
#include <filesystem>

// Ten frames at 10 per second, 64x48: the first five red, the last five blue (motion JPEG in AVI).
std::string writeTestClip() {
    std::string path = (std::filesystem::temp_directory_path() / "korva-clip.avi").string();
    AVFormatContext* oc = nullptr;
    avformat_alloc_output_context2(&oc, nullptr, "avi", path.c_str());
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_MJPEG);
    AVStream* st = avformat_new_stream(oc, nullptr);
    AVCodecContext* c = avcodec_alloc_context3(codec);
    c->width = 64, c->height = 48, c->pix_fmt = AV_PIX_FMT_YUVJ420P, c->time_base = {1, 10};
    st->time_base = {1, 10};
    if (avcodec_open2(c, codec, nullptr) != 0) return "";
    avcodec_parameters_from_context(st->codecpar, c);
    if (avio_open(&oc->pb, path.c_str(), AVIO_FLAG_WRITE) < 0) return "";
    if (avformat_write_header(oc, nullptr) < 0) return "";
    AVPacket* pkt = av_packet_alloc();
    auto drain = [&] {
        while (avcodec_receive_packet(c, pkt) == 0) {
            av_packet_rescale_ts(pkt, c->time_base, st->time_base);
            pkt->stream_index = st->index;
            av_interleaved_write_frame(oc, pkt);
        }
    };
    for (int i = 0; i < 10; ++i) {
        AVFrame* f = av_frame_alloc();
        f->format = c->pix_fmt, f->width = 64, f->height = 48;
        av_frame_get_buffer(f, 0);
        bool red = i < 5;  // full-range BT.601 red and blue
        int y = red ? 76 : 29, u = red ? 85 : 255, v = red ? 255 : 107;
        for (int r = 0; r < 48; ++r) std::memset(f->data[0] + r * f->linesize[0], y, 64);
        for (int r = 0; r < 24; ++r) {
            std::memset(f->data[1] + r * f->linesize[1], u, 32);
            std::memset(f->data[2] + r * f->linesize[2], v, 32);
        }
        f->pts = i;
        avcodec_send_frame(c, f);
        drain();
        av_frame_free(&f);
    }
    avcodec_send_frame(c, nullptr);
    drain();
    av_write_trailer(oc);
    avio_closep(&oc->pb);
    av_packet_free(&pkt);
    avcodec_free_context(&c);
    avformat_free_context(oc);
    return path;
}
