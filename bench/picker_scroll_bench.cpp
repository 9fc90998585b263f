// The photo picker's grid dragged under the finger, over a library of 300 and of 3,000 photos
// (2160 x 2880 JPEGs, the camera screen's 4K shot), opened over the camera screen as its library
// button opens it: frames on the real clock, at most 60 a second, for a drag down the grid and back
// up at a brisk finger's speed. Each frame is what the window host does for one: the drag's new
// position, the run loop's due work (thumbnails arriving; the virtual clock moves by the real time
// passed, as the host moves it), layout and drawing at a window's density (a 390 x 844 point
// screen in a 1,024 pixel high window). Prints frames per second, the main thread's busy share (its frame work over the
// wall time), its processor time, the longest frame, and the share of cells still grey in the frames drawn; targets: at
// least 19 frames a second and the main thread under 50 % busy.
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "bench/camera_bench_screen.h"
#include "platform/dispatch/queue.h"
#include "platform/dispatch/run_loop.h"
#include "platform/host/headless_host.h"
#include "platform/image/codec/jpeg.h"
#include "platform/photos/ph_asset.h"
#include "platform/photos/ph_authorization.h"
#include "platform/photos/ph_photo_library.h"
#include "platform/ui/app/ui_screen.h"
#include "platform/ui/app/ui_window.h"
#include "platform/ui/control/ui_image_view.h"
#include "platform/ui/controller/image_picker_grid_controller.h"
#include "platform/ui/controller/ui_image_picker_controller.h"

namespace {

constexpr int kDistinctPhotos = 24;
constexpr int kPhotoWidth = 2160, kPhotoHeight = 2880;
constexpr double kWindowDensity = 1024.0 / 844.0;
constexpr double kDragSpeed = 1500;  // points a second
constexpr double kDragSeconds = 4;   // down, then as long back up
constexpr double kFrameInterval = 1.0 / 60;

double wall() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

double threadCpu() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + t.tv_nsec * 1e-9;
}

// A landscape-like photo with fine detail, so that it encodes and decodes like a real one.
Bytes photo(int index) {
    RasterRGBA8 r = makeRaster(kPhotoWidth, kPhotoHeight);
    std::mt19937 noise(index);
    const double hue = index * 0.27;
    for (int y = 0; y < kPhotoHeight; ++y)
        for (int x = 0; x < kPhotoWidth; ++x) {
            auto* p = &r.pixels[(std::size_t(y) * kPhotoWidth + x) * 4];
            const double v = double(y) / kPhotoHeight, u = double(x) / kPhotoWidth;
            const int grain = int(noise() % 24);
            p[0] = std::uint8_t(std::clamp(120 + 100 * std::sin(hue + u * 3) * (1 - v) + grain, 0.0, 255.0));
            p[1] = std::uint8_t(std::clamp(110 + 90 * std::cos(hue + v * 5 + u) + grain, 0.0, 255.0));
            p[2] = std::uint8_t(std::clamp(90 + 120 * v * std::sin(hue * 2 + u * 7) + grain, 0.0, 255.0));
            p[3] = 255;
        }
    JpegEncodeOptions options;
    options.quality = 0.8;
    auto data = encodeJpeg(r, options);
    return data ? *data : Bytes{};
}

// A folder of `count` photos: links to a few distinct files, each with a modification time of its
// own (the index dates them by it), indexed once before the drag.
std::filesystem::path library(const std::filesystem::path& root, const std::vector<std::filesystem::path>& sources,
                              int count) {
    auto folder = root / ("library-" + std::to_string(count));
    std::filesystem::create_directories(folder);
    for (int i = 0; i < count; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "IMG_%05d.JPG", i);
        auto path = folder / name;
        std::filesystem::create_hard_link(sources[i % sources.size()], path);
    }
    return folder;
}

struct Figures {
    int frames = 0;
    double wallSeconds = 0, busySeconds = 0, cpuSeconds = 0, longestFrame = 0, greyShare = 0;
};

// Grey cells (no thumbnail yet) among those shown.
double greyShare(UICollectionView& grid) {
    int cells = 0, grey = 0;
    for (const auto& cell : grid.visibleCells()) {
        const auto& subviews = cell->contentView()->subviews();
        if (subviews.empty()) continue;
        auto image = std::dynamic_pointer_cast<UIImageView>(subviews.front());
        ++cells;
        if (image && !image->image()) ++grey;
    }
    return cells ? double(grey) / cells : 0;
}

Figures drag(HeadlessHost& host, UIViewController& root, const std::filesystem::path& folder) {
    PHPhotoLibrary::setLibraryDirectory(folder.string());
    host.renderFrame();
    auto picker = UIImagePickerController::make();
    root.presentViewController(picker, false);
    host.renderFrame();
    auto grid = std::dynamic_pointer_cast<ImagePickerGridController>(picker->viewControllers().front());
    auto collection = grid->collectionView();
    const CGFloat bottom = std::max<CGFloat>(0, collection->contentSize().height - collection->bounds().size.height);

    Figures f;
    const double start = wall(), cpu0 = threadCpu();
    double next = start, greySum = 0, last = start;
    for (;;) {
        const double now = wall(), t = now - start;
        if (t >= 2 * kDragSeconds) break;
        const double frameStart = now;
        // Down the grid, then back up over the same photos.
        const double along = t < kDragSeconds ? t : 2 * kDragSeconds - t;
        collection->setContentOffset({0, std::min<CGFloat>(bottom, along * kDragSpeed)}, false);
        RunLoop::main().advance(now - last);
        last = now;
        host.renderFrame();
        const double took = wall() - frameStart;
        f.busySeconds += took;
        f.longestFrame = std::max(f.longestFrame, took);
        greySum += greyShare(*collection);
        ++f.frames;
        next = std::max(next + kFrameInterval, wall());
        std::this_thread::sleep_until(std::chrono::steady_clock::time_point(
            std::chrono::duration_cast<std::chrono::steady_clock::duration>(std::chrono::duration<double>(next))));
    }
    f.wallSeconds = wall() - start;
    f.cpuSeconds = threadCpu() - cpu0;
    f.greyShare = f.frames ? greySum / f.frames : 0;
    root.dismissViewControllerAnimated(false);
    DispatchQueue::waitUntilBackgroundIdle();
    RunLoop::main().runUntilIdle();
    return f;
}

}  // namespace

int main(int argc, char** argv) {
    CameraBenchScreen world("picker-bench");
    HeadlessHost& host = *world.host;
    host.screen()->setNativeScale(kWindowDensity);
    host.renderFrame();

    std::vector<int> counts{300, 3000};
    if (argc > 1) counts = {std::atoi(argv[1])};
    const auto root = std::filesystem::temp_directory_path() / ("korva-picker-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(root / "sources");
    std::vector<std::filesystem::path> sources;
    for (int i = 0; i < kDistinctPhotos; ++i) {
        auto path = root / "sources" / ("photo-" + std::to_string(i) + ".jpg");
        Bytes data = photo(i);
        FILE* out = std::fopen(path.c_str(), "wb");
        if (!out || std::fwrite(data.data(), 1, data.size(), out) != data.size()) return 1;
        std::fclose(out);
        sources.push_back(path);
    }

    std::printf(
        "picker: the grid dragged %.0f points a second for %.0f s down and back, %d x %d photos, drawn at %.2f pixels "
        "a point\n",
        kDragSpeed, kDragSeconds, kPhotoWidth, kPhotoHeight, kWindowDensity);
    for (int count : counts) {
        auto folder = library(root, sources, count);
        // The index is made before the drag (the program keeps it between runs).
        PHPhotoLibrary::setLibraryDirectory(folder.string());
        const double indexed = wall();
        auto all = PHAsset::fetchAssetsWithOptions(nullptr);
        const std::size_t listed = all ? all->count() : 0;
        const double indexSeconds = wall() - indexed;
        Figures f = drag(host, *world.screen, folder);
        const double fps = f.frames / f.wallSeconds;
        const double busy = f.busySeconds / f.wallSeconds;
        std::printf(
            "  %5zu photos (index %.1f s): %.1f frames/s, main thread busy %.0f %% (processor %.0f %%), longest frame "
            "%.0f ms, grey cells %.0f %%\n",
            listed, indexSeconds, fps, busy * 100, f.cpuSeconds / f.wallSeconds * 100, f.longestFrame * 1e3,
            f.greyShare * 100);
        std::printf("  %-58s %6.1f  (target >= 19: %s)\n",
                    ("picker, " + std::to_string(count) + " photos, frames/s").c_str(), fps,
                    fps >= 19 ? "met" : "NOT met");
        std::printf("  %-58s %6.2f  (target < 0.50: %s)\n",
                    ("picker, " + std::to_string(count) + " photos, main thread busy share").c_str(), busy,
                    busy < 0.5 ? "met" : "NOT met");
    }
    PHPhotoLibrary::setLibraryDirectory("");
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
    std::filesystem::remove_all(world.dir, ignored);
    return 0;
}
