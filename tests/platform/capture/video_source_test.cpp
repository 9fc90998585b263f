// The "video:PATH" camera: a video file plays as frames on the clock and loops at its end; only a
// regular file is read.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <tuple>
#include <utility>
#include <vector>

#include "capture_test_support.h"
#include "clip_writer.h"
#include "platform/capture/av_capture_input.h"
#include "platform/capture/av_capture_session.h"
#include "platform/capture/av_capture_video_data_output.h"

namespace {

// Keeps only the colour of the newest frame: holding the frames themselves would starve the
// output's buffer pool, as it would on a device.
struct Sink : AVCaptureDataOutputSampleBufferDelegate {
    Recorder<std::string> colours;
    void captureOutput(const std::shared_ptr<AVCaptureOutput>&, const CMSampleBufferRef& s,
                       const std::shared_ptr<AVCaptureConnection>&) override {
        auto f = s->imageBuffer();
        const std::uint8_t* p = f->row(f->height() / 2) + f->width() / 2 * 4;
        colours.add(p[2] > 180 && p[0] < 80 ? "red" : p[0] > 180 && p[2] < 80 ? "blue" : "?");
    }
    std::string latest() const {
        auto all = colours.items();
        return all.empty() ? "none" : all.back();
    }
};

}  // namespace

TEST_F(CaptureTest, AVideoFilePlaysOnTheClockAndLoops) {
    std::string path = writeTestClip();
    ASSERT_FALSE(path.empty());
    auto configured = CaptureDeviceRegistry::configure("video:" + path);
    ASSERT_TRUE(configured) << configured.error();
    auto camera = AVCaptureDevice::defaultDeviceWithMediaType(AVMediaType::Video);
    ASSERT_TRUE(camera);
    auto session = AVCaptureSession::make();
    ASSERT_TRUE(session->addInput(*AVCaptureDeviceInput::deviceInputWithDevice(camera)));
    // Frames at the clip's own 64 x 48, not scaled up to a preset the clip cannot fill.
    EXPECT_FALSE(session->canSetSessionPreset(AVCaptureSessionPreset::P352x288));
    ASSERT_TRUE(session->setSessionPreset(AVCaptureSessionPreset::High));
    EXPECT_EQ(session->frameDimensions().width, 64);
    EXPECT_EQ(session->frameDimensions().height, 48);
    auto output = AVCaptureVideoDataOutput::make();
    auto sink = std::make_shared<Sink>();
    output->setSampleBufferDelegate(sink, DispatchQueue::serial("video frames"));
    ASSERT_TRUE(session->addOutput(output));
    ASSERT_TRUE(session->startRunning());
    advance(0.3);
    EXPECT_EQ(sink->latest(), "red");
    advance(0.4);  // 0.7 s
    EXPECT_EQ(sink->latest(), "blue");
    advance(0.5);  // 1.2 s: the second time round
    EXPECT_EQ(sink->latest(), "red");
    session->stopRunning();
    std::filesystem::remove(path);

    auto broken = CaptureDeviceRegistry::configure("video:/nonexistent/clip.avi");
    ASSERT_FALSE(broken);
    EXPECT_TRUE(AVCaptureDevice::devicesWithMediaType(AVMediaType::Video).empty());

    // A file that is not a video says so, and leaves no camera behind.
    auto text = std::filesystem::temp_directory_path() / "korva-not-a-video.mp4";
    std::ofstream(text) << "these are words, not pictures\n";
    auto notVideo = CaptureDeviceRegistry::configure("video:" + text.string());
    ASSERT_FALSE(notVideo);
    EXPECT_NE(notVideo.error().find(text.string()), std::string::npos) << notVideo.error();
    EXPECT_TRUE(AVCaptureDevice::devicesWithMediaType(AVMediaType::Video).empty());
    std::filesystem::remove(text);
}

namespace {

// Runs `command` through the shell; true when it succeeds.
bool run(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

// Where the red marker sits in a BGRA picture: "top-left", "top-right", "bottom-left",
// "bottom-right", or "none".
std::string markerCorner(const std::uint8_t* pixels, int width, int height, std::size_t bytesPerRow, int channelRed = 2,
                         int channelBlue = 0, int bytesPerPixel = 4) {
    for (auto [x, y, name] :
         {std::tuple{8, 8, "top-left"}, std::tuple{width - 9, 8, "top-right"}, std::tuple{8, height - 9, "bottom-left"},
          std::tuple{width - 9, height - 9, "bottom-right"}}) {
        const std::uint8_t* p = pixels + std::size_t(y) * bytesPerRow + std::size_t(x) * bytesPerPixel;
        if (p[channelRed] > 180 && p[channelBlue] < 80) return name;
    }
    return "none";
}

// Keeps the newest frame's size and where its marker is.
struct MarkerSink : AVCaptureDataOutputSampleBufferDelegate {
    std::mutex mutex;
    int width = 0, height = 0;
    std::string corner = "no frame";
    void captureOutput(const std::shared_ptr<AVCaptureOutput>&, const CMSampleBufferRef& s,
                       const std::shared_ptr<AVCaptureConnection>&) override {
        auto f = s->imageBuffer();
        std::lock_guard lock(mutex);
        width = int(f->width()), height = int(f->height());
        corner = markerCorner(f->baseAddress(), width, height, f->bytesPerRow());
    }
};

}  // namespace

// A clip shot on its side says so in its display matrix (or, in older files, a "rotate" tag): the
// camera shows it upright, at the turned size, as the file's own tools show it.
TEST_F(CaptureTest, AVideoFileTurnedOnItsSideIsShownUpright) {
    auto dir = std::filesystem::temp_directory_path() / "korva-turned-clips";
    std::filesystem::create_directories(dir);
    const std::string plain = (dir / "plain.mp4").string(), matrix = (dir / "matrix.mp4").string(),
                      tagged = (dir / "tagged.mkv").string(), upright = (dir / "upright.rgb").string();
    // 1280 x 720, blue with a red square in the top-left corner.
    ASSERT_TRUE(
        run("ffmpeg -v error -y -f lavfi -i 'color=c=blue:s=1280x720:d=0.3:r=10,drawbox=x=0:y=0:w=160:h=160:"
            "c=red:t=fill' -c:v mpeg4 -q:v 2 '" +
            plain + "'"));
    ASSERT_TRUE(run("ffmpeg -v error -y -i '" + plain + "' -c copy -metadata:s:v:0 rotate=90 '" + matrix + "'"));
    ASSERT_TRUE(run("ffmpeg -v error -y -i '" + plain + "' -c copy -metadata:s:v:0 ROTATE=90 '" + tagged + "'"));
    // Where the file's own tools put the marker when they turn the matrix clip upright.
    ASSERT_TRUE(run("ffmpeg -v error -y -i '" + matrix + "' -frames:v 1 -f rawvideo -pix_fmt rgb24 '" + upright + "'"));
    std::ifstream in(upright, std::ios::binary);
    std::vector<std::uint8_t> rgb((std::istreambuf_iterator<char>(in)), {});
    ASSERT_EQ(rgb.size(), std::size_t(720 * 1280 * 3));
    const std::string expected = markerCorner(rgb.data(), 720, 1280, 720 * 3, 0, 2, 3);
    ASSERT_NE(expected, "none");

    // The tag counts clockwise: the top-left corner comes to the top right.
    for (auto [path, corner] : {std::pair{matrix, expected}, std::pair{tagged, std::string("top-right")},
                                std::pair{plain, std::string("top-left")}}) {
        SCOPED_TRACE(path);
        auto configured = CaptureDeviceRegistry::configure("video:" + path);
        ASSERT_TRUE(configured) << configured.error();
        auto camera = AVCaptureDevice::defaultDeviceWithMediaType(AVMediaType::Video);
        ASSERT_TRUE(camera);
        auto session = AVCaptureSession::make();
        ASSERT_TRUE(session->addInput(*AVCaptureDeviceInput::deviceInputWithDevice(camera)));
        ASSERT_TRUE(session->setSessionPreset(AVCaptureSessionPreset::High));
        const bool turned = path != plain;
        EXPECT_EQ(session->frameDimensions().width, turned ? 720 : 1280);
        EXPECT_EQ(session->frameDimensions().height, turned ? 1280 : 720);
        auto output = AVCaptureVideoDataOutput::make();
        auto sink = std::make_shared<MarkerSink>();
        output->setSampleBufferDelegate(sink, DispatchQueue::serial("video frames"));
        ASSERT_TRUE(session->addOutput(output));
        ASSERT_TRUE(session->startRunning());
        advance(0.15);
        session->stopRunning();
        settle();
        std::lock_guard lock(sink->mutex);
        EXPECT_EQ(sink->width, turned ? 720 : 1280);
        EXPECT_EQ(sink->height, turned ? 1280 : 720);
        EXPECT_EQ(sink->corner, corner);
    }
    std::filesystem::remove_all(dir);
}

// A still picture opens as a one-frame stream, but it is no movie: the source names the file and
// lists no camera, instead of a black preview and black photos.
TEST_F(CaptureTest, AVideoSourceNamingAStillPictureIsRefused) {
    auto dir = std::filesystem::temp_directory_path() / "korva-still-as-video";
    std::filesystem::create_directories(dir);
    for (const char* name : {"photo.jpg", "photo.mp4", "picture.png"}) {
        const std::string path = (dir / name).string();
        const char* codec = std::string(name).ends_with(".png") ? "png" : "mjpeg";
        ASSERT_TRUE(run(std::string("ffmpeg -v error -y -f lavfi -i testsrc=s=64x48 -frames:v 1 -c:v ") + codec +
                        " -f image2 '" + path + "'"));
        auto configured = CaptureDeviceRegistry::configure("video:" + path);
        ASSERT_FALSE(configured) << path;
        EXPECT_NE(configured.error().find(path), std::string::npos) << configured.error();
        EXPECT_NE(configured.error().find("not a movie"), std::string::npos) << configured.error();
        EXPECT_TRUE(AVCaptureDevice::devicesWithMediaType(AVMediaType::Video).empty());
    }
    std::filesystem::remove_all(dir);
}

// Only a regular file is read: a pipe that no one writes, a device, a folder and the media
// libraries' own addresses are refused at once, each with the reason.
TEST_F(CaptureTest, AVideoSourceReadsRegularFilesOnly) {
    auto dir = std::filesystem::temp_directory_path() / ("korva-video-kinds-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string pipe = (dir / "clip.mp4").string();
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const std::vector<std::pair<std::string, std::string>> refused = {
        {pipe, pipe + " is a pipe, not a regular file"},
        {"/dev/zero", "/dev/zero is a device, not a regular file"},
        {dir.string(), dir.string() + " is a folder, not a regular file"},
        {"file:/etc/hostname", "(a file's path is read, not an address)"}};
    for (const auto& [path, reason] : refused) {
        auto configured = CaptureDeviceRegistry::configure("video:" + path);
        ASSERT_FALSE(configured) << path;
        EXPECT_NE(configured.error().find(reason), std::string::npos) << configured.error();
        EXPECT_TRUE(AVCaptureDevice::devicesWithMediaType(AVMediaType::Video).empty()) << path;
    }
    std::filesystem::remove_all(dir);
}
