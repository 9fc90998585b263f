#include "platform/media/audio_file_decoder.h"

extern "C" {
#include <libswresample/swresample.h>
}

#include "platform/media/ffmpeg_support.h"

struct AudioFileDecoder::State {
    AVFormatInput format;
    AVCodecContextPtr codec;
    SwrContext* swr = nullptr;
    AVPacketPtr packet{av_packet_alloc()};
    AVFramePtr frame{av_frame_alloc()};
    int stream = -1;
    bool drained = false;
    ~State() { swr_free(&swr); }
};

AudioFileDecoder::AudioFileDecoder(std::unique_ptr<State> s) : s_(std::move(s)) {}
AudioFileDecoder::~AudioFileDecoder() = default;

Result<std::unique_ptr<AudioFileDecoder>> AudioFileDecoder::open(const std::string& path) {
    auto opened = openMediaFile(path);
    if (!opened) return fail(opened.error());
    auto s = std::make_unique<State>();
    s->format = std::move(*opened);
    const AVCodec* decoder = nullptr;
    s->stream = av_find_best_stream(s->format.get(), AVMEDIA_TYPE_AUDIO, -1, -1, &decoder, 0);
    if (s->stream < 0 || !decoder) return fail(path + " has no sound track that can be decoded");
    s->codec.reset(avcodec_alloc_context3(decoder));
    avcodec_parameters_to_context(s->codec.get(), s->format->streams[s->stream]->codecpar);
    if (int r = avcodec_open2(s->codec.get(), decoder, nullptr); r < 0)
        return fail("cannot decode the sound of " + path + ": " + averrorText(r));
    int channels = s->codec->ch_layout.nb_channels;
    if (s->codec->sample_rate <= 0 || channels <= 0 || channels > 8)
        return fail(path + " has an unusable sound format");
    AVChannelLayout out{};
    av_channel_layout_default(&out, channels);
    if (swr_alloc_set_opts2(&s->swr, &out, AV_SAMPLE_FMT_S16, s->codec->sample_rate, &s->codec->ch_layout,
                            s->codec->sample_fmt, s->codec->sample_rate, 0, nullptr) < 0 ||
        swr_init(s->swr) < 0)
        return fail("cannot convert the sound of " + path);
    if (!s->packet || !s->frame) return fail("out of memory");
    return std::unique_ptr<AudioFileDecoder>(new AudioFileDecoder(std::move(s)));
}

int AudioFileDecoder::sampleRate() const {
    return s_->codec->sample_rate;
}
int AudioFileDecoder::channels() const {
    return s_->codec->ch_layout.nb_channels;
}

Result<AudioFileDecoder::Block> AudioFileDecoder::next() {
    State& s = *s_;
    while (true) {
        int r = avcodec_receive_frame(s.codec.get(), s.frame.get());
        if (r == 0) break;
        if (r == AVERROR_EOF) return fail("end of file");
        if (r != AVERROR(EAGAIN)) return fail("decoding failed: " + averrorText(r));
        if (s.drained) return fail("end of file");
        r = av_read_frame(s.format.get(), s.packet.get());
        if (r == AVERROR_EOF) {
            s.drained = true;
            avcodec_send_packet(s.codec.get(), nullptr);
            continue;
        }
        if (r < 0) return fail("reading failed: " + averrorText(r));
        if (s.packet->stream_index == s.stream) avcodec_send_packet(s.codec.get(), s.packet.get());
        av_packet_unref(s.packet.get());
    }
    Block b;
    b.audio.sampleRate = sampleRate();
    b.audio.channels = channels();
    b.audio.samples.resize(std::size_t(s.frame->nb_samples) * b.audio.channels);
    std::uint8_t* out[1] = {reinterpret_cast<std::uint8_t*>(b.audio.samples.data())};
    int got = swr_convert(s.swr, out, s.frame->nb_samples, const_cast<const std::uint8_t**>(s.frame->extended_data),
                          s.frame->nb_samples);
    b.audio.samples.resize(std::size_t(std::max(got, 0)) * b.audio.channels);
    const AVStream* st = s.format->streams[s.stream];
    std::int64_t pts = s.frame->best_effort_timestamp != AV_NOPTS_VALUE ? s.frame->best_effort_timestamp : 0;
    double start = st->start_time != AV_NOPTS_VALUE ? double(st->start_time) * av_q2d(st->time_base) : 0;
    b.time = double(pts) * av_q2d(st->time_base) - start;
    av_frame_unref(s.frame.get());
    return b;
}
