// The camera screen's shutter to file: a photo taken through the on-screen shutter button and
// through a volume-key press, each timed until the photo library holds the new JPEG, against the
// engine's still road alone in the same run (the camera's still, its JPEG with the capture
// properties, decoded, cropped to the screen's ratio, filtered through the screen's look, encoded
// and tagged again and written to a file). The volume key's time starts at the end of the
// double-press window (a second press within it swaps the camera), so the wait for a possible
// second press is not counted. The screen runs headless on the synthetic camera at the sizes the
// camera host asks for, on the virtual clock, so the camera's settle times pass without waiting.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <vector>

#include "app/shell/app_registry.h"
#include "bench/bench_host.h"
#include "bench/bench_timing.h"
#include "bench/camera_bench_screen.h"
#include "camera/screen/camera_registry.h"
#include "camera/screen/view_controller.h"
#include "capture/camera_host.h"
#include "capture/camera_photo_general_host.h"
#include "capture/capture_services.h"
#include "capture/photo_metadata.h"
#include "filter/ci_image_filter.h"
#include "filter/filter_context.h"
#include "filter/filter_my_element.h"
#include "filter/filter_preset.h"
#include "foundation/data_custom_photos.h"
#include "foundation/global.h"
#include "platform/capture/av_capture_device.h"
#include "platform/capture/av_capture_photo_output.h"
#include "platform/capture/capture_authorization.h"
#include "platform/capture/capture_device_driver.h"
#include "platform/dispatch/clock.h"
#include "platform/dispatch/queue.h"
#include "platform/dispatch/run_loop.h"
#include "platform/host/headless_host.h"
#include "platform/image/ci_context.h"
#include "platform/image/codec/image_property_keys.h"
#include "platform/image/codec/jpeg.h"
#include "platform/image/codec/raster.h"
#include "platform/photos/ph_asset.h"
#include "platform/photos/ph_asset_change_request.h"
#include "platform/photos/ph_authorization.h"
#include "platform/photos/ph_photo_library.h"
#include "platform/sensors/system_volume.h"
#include "platform/storage/sandbox.h"
#include "platform/ui/app/ui_window.h"
#include "platform/ui/controller/ui_storyboard.h"
#include "ui/controls/anim_button.h"
#include "ui/ui_services.h"

namespace {

constexpr int kRuns = 8;
constexpr double kDoublePressWindow = 0.5;

std::size_t libraryCount() {
    auto result = PHAsset::fetchAssetsWithOptions(PHFetchOptions::make());
    return result ? result->assets().size() : 0;
}

// Notes when the library has taken a change (its observers hear of it on the main queue).
struct LibraryWatch : PHPhotoLibraryChangeObserver {
    std::chrono::steady_clock::time_point changedAt{};
    void photoLibraryDidChange(const std::shared_ptr<PHChange>&) override {
        if (changedAt == std::chrono::steady_clock::time_point{}) changedAt = std::chrono::steady_clock::now();
    }
};

// Runs the queues until the library holds more than `count` photos and has told its observers
// (the file can be seen before the notice has reached the main queue). The clock moves only when
// nothing is left to do at its present time, a millisecond at a time. The library is asked only
// once it has told of a change (a fetch in every step would be the benchmark's own work, timed).
bool untilPhoto(UIWindow& window, std::size_t count, const LibraryWatch& watch) {
    for (int i = 0; i < 5000; ++i) {
        drainCameraBench(window);
        if (watch.changedAt != std::chrono::steady_clock::time_point{} && libraryCount() > count) return true;
        RunLoop::main().advance(0.001);
    }
    return false;
}

}  // namespace

int main() {
    CameraBenchScreen bench("shutter-bench");
    auto& host = *bench.host;
    auto& window = bench.window;
    auto& screen = bench.screen;
    const auto& dir = bench.dir;
    auto photo = screen->hosts().photo();
    auto device = screen->hosts().device();
    auto element = screen->screenElement();
    if (!screen->previewRoad()->readyScreenRect() || !photo || !device || !device->activeFormat() || !element) {
        std::fprintf(stderr, "the camera screen did not start its camera (ready %d, host %d, camera %d)\n",
                     int(screen->previewRoad()->readyScreenRect()), int(bool(photo)), int(bool(device)));
        return 1;
    }

    // The engine's road alone on the road the screen takes: in silent mode (the default) the
    // newest camera frame becomes the photo, else the camera's still through its JPEG.
    const bool silent = Global::shared()->silentMode();
    auto format = device->activeFormat();
    const CMVideoDimensions still = format->highResolutionStillImageDimensions();
    const double ratio = screen->ratioWpH();
    const double quality = AVCapturePhotoSettings::photoSettings()->quality();
    auto ctx = photo->context();
    std::size_t bytes = 0;
    Bytes last;  // the engine's newest photo, for the library's save alone
    CGSize size{};
    const auto out = dir / "bare.jpg";
    auto write = [&](const std::optional<Bytes>& tagged) {
        if (!tagged) return;
        std::ofstream(out, std::ios::binary)
            .write(reinterpret_cast<const char*>(tagged->data()), std::streamsize(tagged->size()));
        bytes = tagged->size();
        last = *tagged;
    };
    // The newest frame as the camera hands it on, unturned (a new one for every run, as for a
    // shot: the clock moves between runs), cropped to the ratio as the road crops it.
    auto silentRoad = [&] {
        auto frame = cropped(screen->previewRoad()->lastSample(), ratio);
        if (!frame) return;
        auto image = adjustOrientation(frame, int(screen->lastOrientation()), int(device->position()),
                                       Global::shared()->frontMirrored());
        image = filter(image, *element);
        auto jpeg = ::jpeg(image, image->extent(), *ctx->ciGPU(), *ctx->ciCPU());
        if (!jpeg) return;
        size = image->extent().size;
        write(setMetadata(*jpeg, framePhotoProperties(Global::shared()->appMetadataName(), device.get(),
                                                      Clock::absoluteTime(), nullptr)));
    };
    auto normalRoad = [&] {
        auto taken = device->driver().captureStill({still, AVCaptureFlashMode::Off});
        if (!taken) return;
        const CVPixelBuffer& f = **taken;
        RasterRGBA8 raster = makeRaster(int(f.width()), int(f.height()));
        for (std::size_t y = 0; y < f.height(); ++y) {
            const std::uint8_t* in = f.row(y);
            std::uint8_t* o = raster.pixels.data() + y * raster.rowBytes();
            for (std::size_t x = 0; x < f.width(); ++x, in += 4, o += 4)
                o[0] = in[2], o[1] = in[1], o[2] = in[0], o[3] = 255;
        }
        JpegEncodeOptions options;
        options.quality = quality;
        options.properties = Value::dictionary({{kCGImagePropertyOrientation, Value(6)}});
        auto data = encodeJpeg(raster, options);
        if (!data) return;
        auto image = CIImage::imageWithData(*data);
        if (!image) return;
        if (ratio > 0) image = cropped(image, 1.0 / ratio);
        image = filter(image, *element);
        auto jpeg = ::jpeg(image, image->extent(), *ctx->ciGPU(), *ctx->ciCPU());
        if (!jpeg) return;
        size = image->extent().size;
        write(setMetadata(*jpeg, getMetadata(*data)));
    };
    // One shot through each trigger: the time from the trigger until the library holds the photo
    // (what the screen does on the main thread once the library has answered is not counted).
    auto watch = std::make_shared<LibraryWatch>();
    PHPhotoLibrary::sharedPhotoLibrary()->registerChangeObserver(watch);
    bool failed = false;
    auto shoot = [&](const std::function<void()>& trigger, const std::function<void()>& untimed) {
        const std::size_t before = libraryCount();
        if (untimed) untimed();
        watch->changedAt = {};
        const auto start = std::chrono::steady_clock::now();
        trigger();
        if (!untilPhoto(*window, before, *watch) || watch->changedAt < start) failed = true;
        const double t = std::chrono::duration<double>(watch->changedAt - start).count();
        // The flight into the library button and the camera's settling, untimed.
        runCameraBench(*window, 1.0);
        host.renderFrame();
        return t;
    };
    // Best of kRuns after one warm-up shot (the shot times itself: the waits around it are not counted).
    // The engine's road runs in turns with the shots, so both see the same load.
    // The library's durable save of the engine's photo alone (its file written and flushed, its
    // index row committed), in turns too: the part of a shot the engine's road does not pay.
    double bare = 1e30;
    std::vector<double> saves;
    auto library = PHPhotoLibrary::sharedPhotoLibrary();
    auto bestShot = [&](const std::function<double()>& shot) {
        shot();
        double b = 1e30;
        for (int i = 0; i < kRuns; ++i) {
            b = std::min(b, shot());
            bare = std::min(bare, seconds([&] { silent ? silentRoad() : normalRoad(); }));
            saves.push_back(seconds([&] {
                (void)library->performChangesAndWait([&] {
                    if (auto request = PHAssetCreationRequest::creationRequestForAsset())
                        request->addResourceWithType(PHAssetResourceType::Photo, last);
                });
            }));
            // The library's notice (the screen fetches the newest photo for its library button), untimed.
            runCameraBench(*window, 0.1);
        }
        return b;
    };
    const double button = bestShot([&] {
        return shoot([&] { screen->views().btnShot->sendActionsForControlEvents(UIControlEventTouchUpInside); }, {});
    });
    // The press is taken and its window runs out to just before its end untimed; the clock then
    // moves past the end inside the timed part (a camera frame due in those 3 ms is counted too).
    const double volume = bestShot([&] {
        double pressed = 0;
        return shoot([&] { runCameraBench(*window, pressed + kDoublePressWindow + 1e-3 - Clock::now()); },
                     [&] {
                         SystemVolume::press(VolumeButton::Up);
                         drainCameraBench(*window);
                         pressed = Clock::now();
                         runCameraBench(*window, kDoublePressWindow - 2e-3);
                     });
    });
    if (failed) {
        std::fprintf(stderr, "a shot did not reach the library\n");
        return 1;
    }

    if (!bytes) {
        std::fprintf(stderr, "the engine's still road made no file\n");
        return 1;
    }

    std::printf("Korva camera shutter benchmark (%s road, photo %gx%g, JPEG %zu bytes)\n",
                silent ? "silent: the newest frame" : "the camera's still", size.width, size.height, bytes);
    std::printf(
        "  shutter button %.1f ms, volume key from the end of its window %.1f ms, engine's still road %.1f ms\n",
        button * 1e3, volume * 1e3, bare * 1e3);
    std::sort(saves.begin(), saves.end());
    std::printf("  (the library's durable save of such a photo alone: best %.1f ms, median %.1f ms)\n",
                saves.front() * 1e3, saves[saves.size() / 2] * 1e3);
    verdict("shutter button to file / engine's still road", button / bare, 1.5);
    verdict("volume key (after its window) to file / engine's still road", volume / bare, 1.5);
    window->setHidden(true);
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
    return 0;
}
