// Pictures and sound where they belong: every picture kept at each join of an export, sound placed
// by its time stamps (gaps, drops, short segments), and the composition's frame rate honoured.
// Everything is read back with the ffmpeg tools.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>

#include "platform/media/av_asset_export_session.h"
#include "platform/media/av_mutable_composition.h"
#include "platform/media/movie_encoder.h"
#include "tests/platform/media/media_test_support.h"

namespace {

constexpr double kRate = 44100;

// Pictures at `fps` for `pictures` frames, and tone blocks at the given sample positions.
void writeFile(const std::string& path, int pictures, double fps, const std::vector<std::int64_t>& blocks) {
    MovieEncoderSettings s;
    if (pictures > 0) s.width = 64, s.height = 48;
    if (!blocks.empty()) s.sampleRate = int(kRate), s.channels = 1;
    auto encoder = MovieEncoder::open(path, s);
    ASSERT_TRUE(encoder) << encoder.error();
    auto frame = quarterPicture(64, 48);
    for (int i = 0; i < pictures; ++i) ASSERT_TRUE((*encoder)->addVideo(*frame, i / fps));
    for (auto first : blocks) ASSERT_TRUE((*encoder)->addAudio(toneBlock(first), double(first) / kRate));
    ASSERT_TRUE((*encoder)->finish());
}

// Block starts covering [from, to) seconds without gaps.
std::vector<std::int64_t> blocksBetween(double from, double to) {
    std::vector<std::int64_t> out;
    for (auto s = std::int64_t(from * kRate); double(s + 1024) <= to * kRate + 1; s += 1024) out.push_back(s);
    return out;
}

double streamDuration(const std::string& path, const char* stream) {
    auto text = ffprobe(path, std::string("stream=duration -select_streams ") + stream);
    auto at = text.find("duration=");
    return at == std::string::npos ? -1 : std::atof(text.c_str() + at + 9);
}

// The file's sound as ffmpeg decodes it: mono, 44.1 kHz, from the file's time zero.
std::vector<std::int16_t> decodedSound(const std::string& path) {
    std::string command = "ffmpeg -v error -i '" + path + "' -vn -f s16le -ac 1 -ar 44100 - 2>/dev/null";
    std::vector<std::int16_t> out;
    if (FILE* p = popen(command.c_str(), "r")) {
        std::int16_t buf[4096];
        while (std::size_t n = fread(buf, sizeof(std::int16_t), 4096, p)) out.insert(out.end(), buf, buf + n);
        pclose(p);
    }
    return out;
}

// Seconds of the first loud sample at or after `from`, or -1.
double onsetAfter(const std::vector<std::int16_t>& sound, double from) {
    for (auto i = std::size_t(from * kRate); i < sound.size(); ++i)
        if (std::abs(int(sound[i])) > 4000) return double(i) / kRate;
    return -1;
}

// The loudest sample in [from, to) seconds.
int peakBetween(const std::vector<std::int16_t>& sound, double from, double to) {
    int peak = 0;
    for (auto i = std::size_t(from * kRate); i < std::min(sound.size(), std::size_t(to * kRate)); ++i)
        peak = std::max(peak, std::abs(int(sound[i])));
    return peak;
}

// How well [from, to) seconds match the tone at those times (1: the same phase).
double toneCorrelation(const std::vector<std::int16_t>& sound, double from, double to) {
    double dot = 0, energy = 0, reference = 0;
    for (auto i = std::size_t(from * kRate); i < std::min(sound.size(), std::size_t(to * kRate)); ++i) {
        double expected = std::sin(2 * M_PI * 440 * double(i) / kRate);
        dot += sound[i] * expected, energy += double(sound[i]) * sound[i], reference += expected * expected;
    }
    return energy > 0 ? dot / std::sqrt(energy * reference) : 0;
}

std::shared_ptr<AVURLAsset> open(const std::string& path) {
    return AVURLAsset::URLAssetWithURL(NSURL::fileURLWithPath(path));
}

// Exports the asset with the highest quality preset and waits; true when completed.
bool exportAsset(const std::shared_ptr<AVAsset>& asset, const std::string& out,
                 std::shared_ptr<AVMutableVideoComposition> composition = nullptr) {
    auto session = AVAssetExportSession::exportSessionWithAsset(asset, AVAssetExportPresetHighestQuality);
    if (!session) return false;
    session->setOutputURL(NSURL::fileURLWithPath(out));
    session->setOutputFileType(AVFileTypeMPEG4);
    session->setVideoComposition(std::move(composition));
    std::atomic<bool> done{false};
    session->exportAsynchronouslyWithCompletionHandler([&] { done = true; });
    waitFor(done);
    return session->status() == AVAssetExportSessionStatus::Completed;
}

// The files one after another, each as long as its longest track, as the recording host merges.
std::shared_ptr<AVMutableComposition> joined(const std::vector<std::string>& paths) {
    auto composition = AVMutableComposition::make();
    auto video = composition->addMutableTrackWithMediaType(AVMediaTypeVideo, kCMPersistentTrackID_Invalid);
    auto audio = composition->addMutableTrackWithMediaType(AVMediaTypeAudio, kCMPersistentTrackID_Invalid);
    CMTime cursor = kCMTimeZero;
    for (auto& path : paths) {
        auto asset = open(path);
        EXPECT_TRUE(asset);
        if (!asset) continue;
        for (auto [track, type] : {std::pair{video, AVMediaTypeVideo}, std::pair{audio, AVMediaTypeAudio}})
            for (auto& source : asset->tracksWithMediaType(type))
                EXPECT_TRUE(track->insertTimeRange(source->timeRange(), source, cursor));
        cursor = CMTimeAdd(cursor, asset->duration());
    }
    return composition;
}

}  // namespace

class TimingTest : public MediaTest {};

TEST_F(TimingTest, EveryPictureSurvivesEachJoinAndEachPass) {
    for (const char* name : {"a.mp4", "b.mp4", "c.mp4"}) writeFile(file(name), 29, 30, {});
    EXPECT_EQ(countPictures(file("a.mp4")), 29);
    EXPECT_NEAR(streamDuration(file("a.mp4"), "v:0"), 29 / 30.0, 1e-3);  // the last picture lasts a frame

    ASSERT_TRUE(exportAsset(joined({file("a.mp4"), file("b.mp4"), file("c.mp4")}), file("joined.mp4")));
    EXPECT_EQ(countPictures(file("joined.mp4")), 87);
    EXPECT_NEAR(ffprobeDuration(file("joined.mp4")), 87 / 30.0, 1 / 30.0);

    // A second pass over the result loses nothing either.
    ASSERT_TRUE(exportAsset(open(file("joined.mp4")), file("again.mp4")));
    EXPECT_EQ(countPictures(file("again.mp4")), 87);
    EXPECT_NEAR(ffprobeDuration(file("again.mp4")), 87 / 30.0, 1 / 30.0);
}

TEST_F(TimingTest, SoundLandsAtItsTimeAcrossAGapAndADroppedBlock) {
    // Half a second of tone, then nothing until 2.0 s, then tone to 2.5 s.
    auto blocks = blocksBetween(0, 0.5);
    for (auto b : blocksBetween(2.0, 2.5)) blocks.push_back(b);
    writeFile(file("gap.m4a"), 0, 30, blocks);
    auto sound = decodedSound(file("gap.m4a"));
    EXPECT_NEAR(onsetAfter(sound, 0.7), 2.0, 0.01);
    EXPECT_LT(peakBetween(sound, 0.7, 1.9), 500);

    // A dropped block leaves a hole of its length; what follows keeps its time.
    blocks = blocksBetween(0, 2.0);
    const std::int64_t dropped = blocks[40];
    blocks.erase(blocks.begin() + 40);
    writeFile(file("drop.m4a"), 0, 30, blocks);
    sound = decodedSound(file("drop.m4a"));
    double hole = double(dropped) / kRate;
    EXPECT_LT(peakBetween(sound, hole + 0.008, hole + 1024 / kRate - 0.008), 2500);
    EXPECT_NEAR(streamDuration(file("drop.m4a"), "a:0"), double(blocks.back() + 1024) / kRate, 0.03);
    // After the hole the tone is in phase with its time stamps, as if nothing had been dropped.
    EXPECT_GT(toneCorrelation(sound, 1.5, 1.6), 0.9);
}

TEST_F(TimingTest, EachSegmentsSoundStartsWithItsPicture) {
    // Two segments of one second of pictures and 0.8 s of sound each.
    writeFile(file("s0.mp4"), 30, 30, blocksBetween(0, 0.8));
    writeFile(file("s1.mp4"), 30, 30, blocksBetween(0, 0.8));
    ASSERT_TRUE(exportAsset(joined({file("s0.mp4"), file("s1.mp4")}), file("m.mp4")));
    EXPECT_EQ(countPictures(file("m.mp4")), 60);
    // The second segment's first picture (the 31st) as the file times it.
    std::vector<double> times;
    std::istringstream packets(ffprobe(file("m.mp4"), "packet=pts_time -select_streams v:0"));
    for (std::string line; std::getline(packets, line);)
        if (line.rfind("pts_time=", 0) == 0) times.push_back(std::atof(line.c_str() + 9));
    ASSERT_EQ(times.size(), 60u);
    std::sort(times.begin(), times.end());
    const double picture = times[30];
    EXPECT_NEAR(picture, 1.0, 1e-3);
    // Its sound starts with it, after a silence.
    auto sound = decodedSound(file("m.mp4"));
    EXPECT_NEAR(onsetAfter(sound, 0.9), picture, 0.01);
    EXPECT_LT(peakBetween(sound, 0.85, 0.98), 2500);
}

TEST_F(TimingTest, ACompositionsFrameDurationSetsTheMoviesRate) {
    writeFile(file("fast.mp4"), 60, 60, {});  // one second at 60 pictures a second
    writeFile(file("slow.mp4"), 15, 15, {});  // one second at 15
    auto composition = AVMutableVideoComposition::make();
    composition->frameDuration = CMTimeMake(1, 30);
    for (const char* name : {"fast", "slow"}) {
        std::string out = file(std::string(name) + "-30.mp4");
        ASSERT_TRUE(exportAsset(open(file(std::string(name) + ".mp4")), out, composition)) << name;
        EXPECT_EQ(countPictures(out), 30) << name;
        EXPECT_NE(ffprobe(out, "stream=r_frame_rate -select_streams v:0").find("r_frame_rate=30/1"), std::string::npos)
            << name;
        EXPECT_NEAR(ffprobeDuration(out), 1.0, 1 / 30.0) << name;
    }
}
