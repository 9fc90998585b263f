// Media benchmarks: Korva's export and writer against the ffmpeg command line doing the same
// encode, as ratios measured in the same run.
//
// 1. Export of a 10 s 1920x1080 30 fps H.264 and AAC clip (made by ffmpeg in the run) with the
//    highest-quality preset (x264 "veryfast" at CRF 18, AAC 128 kb/s, index first) against ffmpeg
//    re-encoding the clip with the same settings.
// 2. The writer taking 300 frames of 1920x1080 BGRA with their sound (mono 44.1 kHz) as fast as it
//    accepts them (x264 "veryfast" at CRF 23, AAC 128 kb/s) against ffmpeg encoding the same raw
//    frames and samples from files with the same settings.
#include <atomic>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>

#include "bench_timing.h"
#include "platform/dispatch/clock.h"
#include "platform/media/av_asset.h"
#include "platform/media/av_asset_export_session.h"
#include "platform/media/av_asset_writer.h"

namespace {

constexpr int kWidth = 1920, kHeight = 1080, kFps = 30;
constexpr double kClipSeconds = 10;
constexpr int kWriterFrames = 300;
constexpr int kDistinctFrames = 10;  // the writer's frames repeat, so ffmpeg's file stays small
constexpr int kRate = 44100;
constexpr int kBlock = 1024;
constexpr int kRuns = 2;
constexpr double kTarget = 1.2;

void waitFor(const std::atomic<bool>& flag) {
    while (!flag) std::this_thread::sleep_for(std::chrono::microseconds(200));
}

// Frame i: a diagonal gradient moving with i, so every frame costs the encoder something.
CVPixelBufferRef frame(int i) {
    auto b = CVPixelBuffer::make(kWidth, kHeight);
    for (std::size_t y = 0; y < std::size_t(kHeight); ++y) {
        std::uint8_t* p = b->row(y);
        for (std::size_t x = 0; x < std::size_t(kWidth); ++x, p += 4)
            p[0] = std::uint8_t(x + std::size_t(i) * 8), p[1] = std::uint8_t(y + x / 4), p[2] = std::uint8_t(y * 2),
            p[3] = 255;
    }
    return b;
}

CMAudioBlock tone(std::int64_t first) {
    CMAudioBlock block;
    block.sampleRate = kRate;
    block.channels = 1;
    block.samples.resize(kBlock);
    for (int i = 0; i < kBlock; ++i)
        block.samples[std::size_t(i)] = std::int16_t(12000 * std::sin(2 * M_PI * 440 * double(first + i) / kRate));
    return block;
}

bool exportClip(const std::string& in, const std::string& out) {
    std::filesystem::remove(out);
    auto session = AVAssetExportSession::exportSessionWithAsset(AVURLAsset::URLAssetWithURL(NSURL::fileURLWithPath(in)),
                                                                AVAssetExportPresetHighestQuality);
    if (!session) return false;
    session->setOutputURL(NSURL::fileURLWithPath(out));
    session->setOutputFileType(AVFileTypeMPEG4);
    session->setShouldOptimizeForNetworkUse(true);
    std::atomic<bool> done{false};
    session->exportAsynchronouslyWithCompletionHandler([&] { done = true; });
    waitFor(done);
    return session->status() == AVAssetExportSessionStatus::Completed;
}

bool writeFrames(const std::vector<CVPixelBufferRef>& frames, const std::string& out) {
    std::filesystem::remove(out);
    auto writer = AVAssetWriter::assetWriterWithURL(NSURL::fileURLWithPath(out), AVFileTypeMPEG4);
    if (!writer) return false;
    ValueDictionary vs, as;
    vs.set(AVVideoCodecKey, AVVideoCodecH264);
    vs.set(AVVideoWidthKey, double(kWidth));
    vs.set(AVVideoHeightKey, double(kHeight));
    as.set(AVFormatIDKey, std::uint32_t(kAudioFormatMPEG4AAC));
    as.set(AVNumberOfChannelsKey, std::uint32_t(1));
    as.set(AVSampleRateKey, double(kRate));
    auto v = AVAssetWriterInput::assetWriterInputWithMediaType(AVMediaTypeVideo, vs);
    auto a = AVAssetWriterInput::assetWriterInputWithMediaType(AVMediaTypeAudio, as);
    (*writer)->addInput(v);
    (*writer)->addInput(a);
    if (!(*writer)->startWriting()) return false;
    (*writer)->startSessionAtSourceTime(kCMTimeZero);
    std::int64_t sample = 0;
    for (int i = 0; i < kWriterFrames; ++i) {
        double t = double(i) / kFps;
        while (!v->isReadyForMoreMediaData()) std::this_thread::sleep_for(std::chrono::microseconds(200));
        v->appendSampleBuffer(
            CMSampleBuffer::withImageBuffer(frames[std::size_t(i % kDistinctFrames)],
                                            {CMTimeMake(1, kFps), CMTimeMakeWithSeconds(t, 90000), kCMTimeInvalid}));
        while (double(sample) / kRate < t + 1.0 / kFps) {
            while (!a->isReadyForMoreMediaData()) std::this_thread::sleep_for(std::chrono::microseconds(200));
            a->appendSampleBuffer(
                CMSampleBuffer::withAudio(tone(sample), {kCMTimeInvalid, CMTimeMake(sample, kRate), kCMTimeInvalid}));
            sample += kBlock;
        }
    }
    std::atomic<bool> done{false};
    (*writer)->finishWritingWithCompletionHandler([&] { done = true; });
    waitFor(done);
    return (*writer)->status() == AVAssetWriterStatus::Completed;
}

template <class T>
void writeRaw(const std::string& path, const T* data, std::size_t count) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(data), std::streamsize(count * sizeof(T)));
}

}  // namespace

int main(int argc, char** argv) {
    if (!havePeer("ffmpeg")) return 1;
    std::string work = argc > 1 ? argv[1] : std::filesystem::temp_directory_path().string();
    Clock::useReal();
    std::printf("Korva media benchmarks: %u hardware threads\n\n", std::thread::hardware_concurrency());
    bool ok = true;

    // 1. Export.
    std::string clip = work + "/clip.mp4", exported = work + "/export.mp4", peer = work + "/peer-export.mp4";
    if (command(
            "ffmpeg -y -f lavfi -i testsrc2=size=1920x1080:rate=30 -f lavfi -i sine=frequency=440:sample_rate=44100 "
            "-t 10 -c:v libx264 -preset veryfast -crf 23 -pix_fmt yuv420p -c:a aac -b:a 128k '" +
                clip + "'",
            1) > 1e29 ||
        !std::filesystem::exists(clip)) {
        std::fprintf(stderr, "ffmpeg could not make the clip\n");
        return 1;
    }
    bool exportOk = true;
    double korvaExport = best(kRuns, [&] { exportOk = exportOk && exportClip(clip, exported); });
    double ffmpegExport = command("ffmpeg -y -i '" + clip +
                                      "' -c:v libx264 -preset veryfast -crf 18 -pix_fmt yuv420p -c:a aac -b:a 128k "
                                      "-movflags +faststart '" +
                                      peer + "'",
                                  kRuns + 1);
    std::printf(
        "1. export of a %.0f s %dx%d %d fps clip, highest quality: Korva %.2f s, ffmpeg %.2f s (%.1f / %.1f MB)\n",
        kClipSeconds, kWidth, kHeight, kFps, korvaExport, ffmpegExport,
        double(std::filesystem::file_size(exported)) / 1e6, double(std::filesystem::file_size(peer)) / 1e6);
    if (!exportOk) std::printf("  the export failed\n"), ok = false;
    verdict("Korva export / ffmpeg re-encode", korvaExport / ffmpegExport, kTarget);

    // 2. Writer.
    std::vector<CVPixelBufferRef> frames;
    std::vector<std::uint8_t> raw;
    for (int i = 0; i < kDistinctFrames; ++i) {
        frames.push_back(frame(i));
        for (std::size_t y = 0; y < std::size_t(kHeight); ++y)
            raw.insert(raw.end(), frames.back()->row(y), frames.back()->row(y) + kWidth * 4);
    }
    std::vector<std::int16_t> sound;
    for (std::int64_t s = 0; s < std::int64_t(kWriterFrames) * kRate / kFps + kBlock; s += kBlock) {
        auto block = tone(s);
        sound.insert(sound.end(), block.samples.begin(), block.samples.end());
    }
    std::string frameFile = work + "/frames.bgra", soundFile = work + "/sound.s16", written = work + "/written.mp4",
                peerWritten = work + "/peer-written.mp4";
    writeRaw(frameFile, raw.data(), raw.size());
    writeRaw(soundFile, sound.data(), sound.size());
    raw.clear();
    bool writerOk = true;
    double korvaWriter = best(kRuns, [&] { writerOk = writerOk && writeFrames(frames, written); });
    double ffmpegWriter = command("ffmpeg -y -f rawvideo -pix_fmt bgra -s 1920x1080 -r 30 -stream_loop " +
                                      std::to_string(kWriterFrames / kDistinctFrames - 1) + " -i '" + frameFile +
                                      "' -f s16le -ar 44100 -ac 1 -i '" + soundFile +
                                      "' -frames:v 300 -c:v libx264 -preset veryfast -crf 23 -pix_fmt yuv420p "
                                      "-c:a aac -b:a 128k -shortest '" +
                                      peerWritten + "'",
                                  kRuns + 1);
    std::printf("2. writer, %d frames %dx%d with sound: Korva %.2f s, ffmpeg %.2f s (%.1f / %.1f MB)\n", kWriterFrames,
                kWidth, kHeight, korvaWriter, ffmpegWriter, double(std::filesystem::file_size(written)) / 1e6,
                double(std::filesystem::file_size(peerWritten)) / 1e6);
    if (!writerOk) std::printf("  the writer failed\n"), ok = false;
    verdict("Korva writer / ffmpeg encoding raw files", korvaWriter / ffmpegWriter, kTarget);
    return ok ? 0 : 1;
}
