// Small helpers shared by the media layer's FFmpeg code: error texts and owning handles.
#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <memory>
#include <string>

std::string averrorText(int code);

// Quietens the libraries' own logging once, and routes what they still say through the log
// (routeMediaLibraryLog); the media layer reports through results and the log.
void mediaLibrariesQuiet();

struct AVFormatInputCloser {
    void operator()(AVFormatContext* c) const { avformat_close_input(&c); }
};
using AVFormatInput = std::unique_ptr<AVFormatContext, AVFormatInputCloser>;

struct AVCodecContextFreer {
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
using AVCodecContextPtr = std::unique_ptr<AVCodecContext, AVCodecContextFreer>;

struct AVPacketFreer {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};
using AVPacketPtr = std::unique_ptr<AVPacket, AVPacketFreer>;

struct AVFrameFreer {
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};
using AVFramePtr = std::unique_ptr<AVFrame, AVFrameFreer>;

// Opens a media file and reads its stream facts; a failure names the file.
struct Failure;
template <class T>
class Result;
Result<AVFormatInput> openMediaFile(const std::string& path);
