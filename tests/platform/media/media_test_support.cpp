#include "tests/platform/media/media_test_support.h"

#include <cmath>
#include <cstdio>
#include <random>
#include <thread>

#include "platform/media/audio_file_decoder.h"
#include "platform/media/movie_encoder.h"
#include "platform/net/url.h"

CVPixelBufferRef quarterPicture(std::size_t width, std::size_t height) {
    auto b = CVPixelBuffer::make(width, height);
    for (std::size_t y = 0; y < height; ++y)
        for (std::size_t x = 0; x < width; ++x) {
            bool red = x < width / 2 && y < height / 2;
            std::uint8_t* p = b->row(y) + x * 4;
            p[0] = red ? 0 : 220, p[1] = 0, p[2] = red ? 220 : 0, p[3] = 255;
        }
    return b;
}

std::array<int, 4> pixelAt(const CVPixelBuffer& b, std::size_t x, std::size_t y) {
    const std::uint8_t* p = b.row(y) + x * 4;
    return {p[0], p[1], p[2], p[3]};
}

CMAudioBlock toneBlock(std::int64_t first, double rate) {
    CMAudioBlock block;
    block.sampleRate = rate;
    block.channels = 1;
    block.samples.resize(1024);
    for (std::size_t i = 0; i < block.samples.size(); ++i)
        block.samples[i] = std::int16_t(12000 * std::sin(2 * M_PI * 440 * double(first + std::int64_t(i)) / rate));
    return block;
}

void waitFor(const std::atomic<bool>& flag) {
    while (!flag) std::this_thread::yield();
}

bool writeMovie(const std::string& path, const MovieShape& movie) {
    auto writer = AVAssetWriter::assetWriterWithURL(NSURL::fileURLWithPath(path), AVFileTypeMPEG4);
    if (!writer) return false;
    ValueDictionary vs, as;
    vs.set(AVVideoCodecKey, AVVideoCodecH264);
    vs.set(AVVideoWidthKey, double(movie.width));
    vs.set(AVVideoHeightKey, double(movie.height));
    as.set(AVFormatIDKey, std::uint32_t(kAudioFormatMPEG4AAC));
    as.set(AVNumberOfChannelsKey, std::uint32_t(1));
    as.set(AVSampleRateKey, 44100.0);
    auto v = AVAssetWriterInput::assetWriterInputWithMediaType(AVMediaTypeVideo, vs);
    auto a = AVAssetWriterInput::assetWriterInputWithMediaType(AVMediaTypeAudio, as);
    (*writer)->addInput(v);
    (*writer)->addInput(a);
    if (!(*writer)->startWriting()) return false;
    (*writer)->startSessionAtSourceTime(CMTimeMakeWithSeconds(movie.sessionStart, 90000));
    auto frame = quarterPicture(std::size_t(movie.width), std::size_t(movie.height));
    double end = movie.sessionStart + movie.seconds;
    std::int64_t sample = std::llround(movie.firstSample * 44100);
    int n = 0;
    for (double t = movie.firstSample; t < end - 1e-9; t = movie.firstSample + ++n / movie.fps) {
        while (!v->isReadyForMoreMediaData()) std::this_thread::yield();
        v->appendSampleBuffer(CMSampleBuffer::withImageBuffer(
            frame, {CMTimeMake(1, int(movie.fps)), CMTimeMakeWithSeconds(t, 90000), kCMTimeInvalid}));
        while (double(sample) / 44100 < t + 1 / movie.fps && double(sample + 1024) / 44100 <= end + 1e-9) {
            while (!a->isReadyForMoreMediaData()) std::this_thread::yield();
            a->appendSampleBuffer(CMSampleBuffer::withAudio(
                toneBlock(sample), {kCMTimeInvalid, CMTimeMake(sample, 44100), kCMTimeInvalid}));
            sample += 1024;
        }
    }
    std::atomic<bool> done{false};
    (*writer)->finishWritingWithCompletionHandler([&] { done = true; });
    waitFor(done);
    return (*writer)->status() == AVAssetWriterStatus::Completed;
}

bool writeTone(const std::string& path, double seconds, std::vector<std::pair<std::string, std::string>> tags) {
    MovieEncoderSettings s;
    s.sampleRate = 44100, s.channels = 1, s.metadata = std::move(tags);
    auto encoder = MovieEncoder::open(path, s);
    if (!encoder) return false;
    for (std::int64_t sample = 0; sample < std::int64_t(seconds * 44100); sample += 1024)
        if (!(*encoder)->addAudio(toneBlock(sample), double(sample) / 44100)) return false;
    return bool((*encoder)->finish());
}

std::string ffprobe(const std::string& path, const std::string& entries) {
    std::string command = "ffprobe -v error -show_entries " + entries + " -of default=nw=1 '" + path + "' 2>/dev/null";
    std::string out;
    if (FILE* p = popen(command.c_str(), "r")) {
        char buf[4096];
        while (std::size_t n = fread(buf, 1, sizeof buf, p)) out.append(buf, n);
        pclose(p);
    }
    return out;
}

double ffprobeDuration(const std::string& path) {
    auto text = ffprobe(path, "format=duration");
    auto at = text.find("duration=");
    return at == std::string::npos ? -1 : std::atof(text.c_str() + at + 9);
}

int countPictures(const std::string& path) {
    auto text = ffprobe(path, "stream=nb_read_frames -count_frames -select_streams v:0");
    auto at = text.find("nb_read_frames=");
    return at == std::string::npos ? -1 : std::atoi(text.c_str() + at + 15);
}

double toneFrequency(const std::string& path) {
    auto decoder = AudioFileDecoder::open(path);
    if (!decoder) return 0;
    std::vector<std::int16_t> mono;
    while (auto block = (*decoder)->next()) {
        auto& a = block->audio;
        for (std::size_t i = 0; i < a.frameCount(); ++i) mono.push_back(a.samples[i * a.channels]);
    }
    return toneFrequency(mono, (*decoder)->sampleRate());
}

double toneFrequency(const std::vector<std::int16_t>& mono, double rate) {
    // Skip the encoder's lead-in and the first half second of settling.
    const std::size_t settle = std::size_t(rate / 2);
    if (mono.size() <= settle) return 0;
    std::int64_t crossings = 0;
    int previous = 0;
    for (std::size_t i = settle; i < mono.size(); ++i) {
        int v = mono[i];
        // A crossing counts once the sound has swung well past zero, so that quiet stretches
        // (an encoder's lead-in between joined pieces) add none.
        int sign = v > 2000 ? 1 : (v < -2000 ? -1 : 0);
        if (sign != 0 && previous != 0 && sign != previous) ++crossings;
        if (sign != 0) previous = sign;
    }
    return crossings / 2.0 / (double(mono.size() - settle) / rate);
}

void MediaTest::SetUp() {
    std::random_device random;
    root_ =
        std::filesystem::temp_directory_path() / ("korva-media-" + std::to_string(random()) + std::to_string(random()));
    std::filesystem::create_directories(root_);
}

void MediaTest::TearDown() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
}
