// Capture media: the photo-strip host with 3 and 10 photos and a photo's flight; thumbnails of a
// clip that opens on flat frames and of a song with cover art; frames of two recorded segments,
// the merged movie and a resized export, each beside the camera frame it came from.
#include <cstdlib>
#include <filesystem>
#include <random>

#include "capture/av_asset_custom.h"
#include "capture/camera_video_general_host.h"
#include "capture/camera_video_photo_host.h"
#include "capture/capture_services.h"
#include "capture/media_item_custom.h"
#include "capture/path_base.h"
#include "foundation/global.h"
#include "platform/capture/capture_device_registry.h"
#include "platform/capture/video_file_decoder.h"
#include "platform/dispatch/queue.h"
#include "platform/dispatch/run_loop.h"
#include "platform/image/cg_image.h"
#include "platform/image/codec/png.h"
#include "platform/media/movie_encoder.h"
#include "platform/storage/file_manager.h"
#include "platform/storage/sandbox.h"
#include "platform/ui/app/ui_window.h"
#include "platform/ui/control/ui_image_view.h"
#include "platform/ui/draw/color.h"
#include "tools/gallery/gallery.h"
#include "ui/ui_services.h"

namespace {

constexpr double kTile = 112;
constexpr double kGap = 8;

std::filesystem::path scratchFolder() {
    std::random_device random;
    auto dir = std::filesystem::temp_directory_path() / ("korva-gallery-media-" + std::to_string(random()));
    std::filesystem::create_directories(dir);
    return dir;
}

// A photo in the index's colour with a white band across its top, so turns show.
std::string writePhoto(const std::filesystem::path& dir, int index) {
    RasterRGBA8 r = makeRaster(120, 90);
    for (int y = 0; y < r.height; ++y)
        for (int x = 0; x < r.width; ++x) {
            std::uint8_t* p = r.pixels.data() + (std::size_t(y) * r.width + x) * 4;
            bool band = y < 15;
            p[0] = band ? 255 : std::uint8_t(40 + 23 * index % 215);
            p[1] = band ? 255 : std::uint8_t(200 - 17 * index % 180);
            p[2] = band ? 255 : std::uint8_t(90 + 51 * index % 160);
            p[3] = 255;
        }
    auto path = (dir / ("photo-" + std::to_string(index) + ".png")).string();
    auto png = encodePng(r);
    if (png) (void)writeFileAtomically(path, std::string(png->begin(), png->end()));
    return path;
}

std::shared_ptr<UIImage> imageOf(const CVPixelBufferRef& pixels) {
    if (!pixels) return nullptr;
    std::vector<std::uint8_t> bytes(pixels->baseAddress(), pixels->baseAddress() + pixels->dataSize());
    auto image = CGImage::create(int(pixels->width()), int(pixels->height()), pixels->bytesPerRow(), std::move(bytes),
                                 nullptr, CGImagePixelLayout::BGRA8Premultiplied);
    return image ? UIImage::imageWithCGImage(image) : nullptr;
}

// The frame of a movie at or after the time.
CVPixelBufferRef frameAt(const std::string& path, double seconds) {
    auto decoder = VideoFileDecoder::open(path);
    if (!decoder) return nullptr;
    CVPixelBufferRef last;
    while (auto f = (*decoder)->next()) {
        last = f->pixels;
        if (f->time + 1e-6 >= seconds) break;
    }
    return last;
}

// Lays images out in rows of tiles, each fitted into its tile with its shape kept.
void showRows(const std::shared_ptr<UIWindow>& window, const std::vector<std::vector<std::shared_ptr<UIImage>>>& rows) {
    window->setBackgroundColor(UIColor::darkGrayColor());
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (std::size_t c = 0; c < rows[r].size(); ++c) {
            auto view = UIImageView::make();
            view->setImage(rows[r][c]);
            view->setContentMode(UIViewContentMode::ScaleAspectFit);
            view->setBackgroundColor(UIColor::blackColor());
            view->setFrame({{kGap + double(c) * (kTile + kGap), 60 + double(r) * (kTile + kGap)}, {kTile, kTile}});
            window->addSubview(view);
        }
}

void settleQueues() {
    for (int i = 0; i < 3; ++i) {
        DispatchQueue::waitUntilBackgroundIdle();
        RunLoop::main().runUntilIdle();
    }
}

void advance(GalleryPage& page, double seconds) {
    for (double t = 0; t < seconds - 1e-9; t += 0.01) {
        page.step(0.01);
        settleQueues();
    }
}

class FrameGrabber : public CameraVideoHostDelegate {
public:
    void onCameraHostSampleBufferVideo(const std::shared_ptr<CameraHost>&, const CMSampleBufferRef& s) override {
        std::lock_guard lock(mutex);
        latest = s->imageBuffer();
    }
    CVPixelBufferRef take() {
        std::lock_guard lock(mutex);
        return latest ? latest->copy() : nullptr;
    }
    std::mutex mutex;
    CVPixelBufferRef latest;
};

void photoStrips(GalleryPage& page, const std::filesystem::path& dir) {
    std::vector<std::string> photos;
    for (int i = 0; i < 10; ++i) photos.push_back(writePhoto(dir, i));
    for (std::size_t count : {std::size_t(3), std::size_t(10)}) {
        auto window = page.newWindow();
        auto parent = UIView::make();
        parent->setFrame(window->bounds());
        window->addSubview(parent);
        auto host = CameraVideoPhotoHost::make(
            parent, std::vector<std::string>(photos.begin(), photos.begin() + std::ptrdiff_t(count)));
        page.step(0);
        page.shotScreen("strip-" + std::to_string(count));
        if (count != 3) continue;
        for (auto& v : host->sel()->subviews())
            if (v->tag() == CameraVideoPhotoHost::kFirstTag + 2) host->onImage(*v);
        page.step(0);
        page.shotScreen("flight-0.00");
        page.step(0.25);
        page.shotScreen("flight-0.25");
        page.step(0.25);
        page.shotScreen("flight-0.50");
    }
}

void thumbnails(GalleryPage& page, const std::filesystem::path& dir) {
    MovieEncoderSettings s;
    s.width = 160, s.height = 120;
    std::string clip = (dir / "fade.mp4").string();
    if (auto encoder = MovieEncoder::open(clip, s)) {
        auto flat = CVPixelBuffer::make(160, 120);
        std::fill(flat->baseAddress(), flat->baseAddress() + flat->dataSize(), 16);
        auto scene = CVPixelBuffer::make(160, 120);
        for (std::size_t y = 0; y < 120; ++y)
            for (std::size_t x = 0; x < 160; ++x) {
                std::uint8_t* p = scene->row(y) + x * 4;
                p[0] = std::uint8_t(x * 255 / 160), p[1] = std::uint8_t(y * 2), p[2] = std::uint8_t(255 - x),
                p[3] = 255;
            }
        for (int i = 0; i < 120; ++i) (void)(*encoder)->addVideo(i < 45 ? *flat : *scene, i / 30.0);
        (void)(*encoder)->finish();
    }
    std::string cover = (dir / "cover.png").string(), song = (dir / "song.m4a").string();
    std::string command = "ffmpeg -v error -y -f lavfi -i testsrc=s=96x96 -frames:v 1 '" + cover +
                          "' && ffmpeg -v error -y -f lavfi -i sine=duration=1 -i '" + cover +
                          "' -map 0 -map 1 -c:a aac -c:v png -disposition:v attached_pic '" + song + "'";
    (void)std::system(command.c_str());
    auto window = page.newWindow();
    showRows(window, {{imageOf(frameAt(clip, 0)), loadThumbnailImage_AV(NSURL::fileURLWithPath(clip))},
                      {UIImage::imageWithContentsOfFile(cover), loadThumbnailImage_AV(NSURL::fileURLWithPath(song))}});
    page.step(0);
    page.shotScreen("thumbnails");
}

void recording(GalleryPage& page, const std::filesystem::path& dir) {
    Sandbox::setRoot((dir / "data").string());
    Global::resetSharedForTesting();
    registerCaptureServices();
    if (!CaptureDeviceRegistry::configure("synthetic")) return;
    auto grabber = std::make_shared<FrameGrabber>();
    auto host = CameraVideoGeneralHost::make();
    host->setPresets({AVCaptureSessionPreset::P352x288});
    host->setDelegate(grabber);
    host->start({});
    settleQueues();
    std::vector<CVPixelBufferRef> camera;
    for (int segment = 0; segment < 2; ++segment) {
        bool paused = false;
        host->record({});
        settleQueues();
        advance(page, 0.05);
        camera.push_back(grabber->take());
        advance(page, 0.95);
        host->pause([&](bool) { paused = true; });
        for (int i = 0; i < 300 && !paused; ++i) advance(page, 0.01);
        advance(page, 0.3);  // the next segment shows a moved scene
    }
    bool saved = false;
    host->save([&](bool) { saved = true; });
    for (int i = 0; i < 3000 && !saved; ++i) advance(page, 0.01);
    auto segs = host->segs();
    std::string merged = recordingPaths()->make();
    double first =
        segs.empty() ? 0 : CMTimeGetSeconds(AVURLAsset::URLAssetWithURL(NSURL::fileURLWithPath(segs[0]))->duration());
    auto mergedStart = frameAt(merged, 0), mergedSecond = frameAt(merged, first + 0.05);
    bool resized = false;
    resizeToLimit(AVURLAsset::URLAssetWithURL(NSURL::fileURLWithPath(merged)), 144, [&](bool) { resized = true; });
    for (int i = 0; i < 3000 && !resized; ++i) advance(page, 0.01);
    host->stop({});
    settleQueues();
    auto window = page.newWindow();
    showRows(window, {{imageOf(camera.size() > 0 ? camera[0] : nullptr),
                       imageOf(segs.size() > 0 ? frameAt(segs[0], 0.05) : nullptr)},
                      {imageOf(camera.size() > 1 ? camera[1] : nullptr),
                       imageOf(segs.size() > 1 ? frameAt(segs[1], 0.05) : nullptr)},
                      {imageOf(mergedStart), imageOf(mergedSecond), imageOf(frameAt(merged, 0))}});
    page.step(0);
    page.shotScreen("recording");
    CaptureDeviceRegistry::reset();
    Global::resetSharedForTesting();
    Sandbox::setRoot("");
}

}  // namespace

void galleryCaptureMedia(GalleryPage& page) {
    registerUIServices();  // the photo strip lays out and draws its thumbnails with the toolkit
    auto dir = scratchFolder();
    photoStrips(page, dir);
    thumbnails(page, dir);
    recording(page, dir);
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
}
