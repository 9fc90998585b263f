// korva_large_photo_run [MEGAPIXELS]: a large photo from the library through the picker into the
// photo editor and saved with a preset, on the headless host, with the process's memory at each
// stage (resident and peak, from /proc/self/status) and the longest the main thread was kept
// from drawing while the photo opened. Default 64 megapixels (8000 x 8000).
//
//   base       the editor open on the photo, before the save (the program's base for the save)
//   save peak  the highest resident memory from the tap on save until the library has the JPEG
//   after      once the save, the result's flight and a heap trim are over
//
// The goal: the save's peak above the base under twice the decoded picture (4 bytes a pixel).
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>

#include "bench/bench_library.h"
#include "editor/browser/filter_list_view.h"
#include "editor/photo/edit_controller.h"
#include "filter/filter_my_element.h"
#include "filter/filter_preset.h"
#include "foundation/global.h"
#include "platform/dispatch/clock.h"
#include "platform/dispatch/queue.h"
#include "platform/dispatch/run_loop.h"
#include "platform/host/heap_trimmer.h"
#include "platform/image/codec/jpeg.h"
#include "platform/photos/ph_asset.h"
#include "platform/photos/ph_asset_change_request.h"
#include "platform/photos/ph_authorization.h"
#include "platform/photos/ph_photo_library.h"
#include "platform/storage/sandbox.h"
#include "platform/ui/app/ui_window.h"
#include "platform/ui/controller/ui_image_picker_controller.h"
#include "ui/ui_services.h"

namespace {

using Clocked = std::chrono::steady_clock;

// A field of /proc/self/status in megabytes.
double statusMB(const char* field) {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(field, 0) == 0) return std::atof(line.c_str() + std::strlen(field) + 1) / 1024.0;
    return 0;
}
double residentMB() {
    return statusMB("VmRSS:");
}
double peakMB() {
    return statusMB("VmHWM:");
}
// Starts the peak over from the present resident size.
void resetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

// A photograph-like picture with grain, so that its JPEG is as large as a camera's.
Bytes photo(int width, int height) {
    RasterRGBA8 r = makeRaster(width, height);
    std::minstd_rand grain(7);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            double u = double(x) / width, v = double(y) / height;
            double n = (int(grain() % 17) - 8) / 255.0;
            double c[3] = {0.25 + 0.7 * v, 0.47 + 0.3 * std::sin(u * 9), 0.85 - 0.5 * u * v};
            auto* p = &r.pixels[(std::size_t(y) * width + x) * 4];
            for (int k = 0; k < 3; ++k) p[k] = std::uint8_t(std::lround(255 * std::clamp(c[k] + n, 0.0, 1.0)));
            p[3] = 255;
        }
    JpegEncodeOptions o;
    o.quality = 0.9;
    auto data = encodeJpeg(r, o);
    return data ? *data : Bytes{};
}

// Runs the main queue and background work until the condition holds, and keeps the longest single
// turn of the main thread (the longest it could not draw).
template <class F>
bool runUntil(F&& done, double& longestTurn) {
    for (int i = 0; i < 200000 && !done(); ++i) {
        auto began = Clocked::now();
        RunLoop::main().runUntilIdle();
        longestTurn = std::max(longestTurn, std::chrono::duration<double>(Clocked::now() - began).count());
        if (!done()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return done();
}

struct Picked : UIImagePickerControllerDelegate {
    bool done = false;
    void didFinishPickingMediaWithInfo(UIImagePickerController&, const ValueDictionary&) override { done = true; }
};

}  // namespace

int main(int argc, char** argv) {
    const double megapixels = argc > 1 ? std::atof(argv[1]) : 64;
    const int side = int(std::lround(std::sqrt(megapixels * 1e6)));
    BenchLibrary library("large-photo");
    HeadlessHost& host = library.host();
    int status = 0;
    {
        std::shared_ptr<PHAsset> asset;
        {
            auto added = BenchLibrary::add(photo(side, side));
            if (!added) {
                std::fprintf(stderr, "the library did not take the photo: %s\n", added.error().c_str());
                return 1;
            }
            asset = *added;
        }
        HeapTrimmer::trimNow();
        auto window = UIWindow::make();
        window->makeKeyAndVisible();
        host.step(0.1);
        const double idle = residentMB();

        // The pick, then the editor, as the camera screen opens it.
        double longestTurn = 0;
        const auto tapped = Clocked::now();
        auto picker = UIImagePickerController::make();
        auto picked = std::make_shared<Picked>();
        picker->setPickerDelegate(picked);
        window->setRootViewController(picker);
        host.step(0.1);
        std::size_t index = 0;
        for (; index < picker->assets().size(); ++index)
            if (picker->assets()[index]->localIdentifier() == asset->localIdentifier()) break;
        picker->pickAssetAtIndex(index);
        if (!runUntil([&] { return picked->done; }, longestTurn)) {
            std::fprintf(stderr, "the picker did not pick the photo\n");
            return 1;
        }
        const double afterPick = residentMB();
        auto editor = EditController::make();
        editor->setAsset(asset);
        window->setRootViewController(editor);
        picker.reset();
        host.step(0.05);
        auto strip = editor->filterView()->fv()->itemList();
        if (!runUntil([&] { return editor->data() && strip->status() == FilterListView::Status::Loaded; },
                      longestTurn)) {
            std::fprintf(stderr, "the editor did not open the photo\n");
            return 1;
        }
        const double opened = std::chrono::duration<double>(Clocked::now() - tapped).count();
        const double afterOpen = residentMB();
        host.step(1.5);
        editor->onFilterAttrChanged(
            FilterMyElement::withDesc(Global::shared()->filterPreset()->descBnW()[std::size_t(0)]));
        host.step(0.1);
        HeapTrimmer::trimNow();
        const double base = residentMB();

        resetPeak();
        double saveTurn = 0;
        const auto saveBegan = Clocked::now();
        editor->onSave();
        runUntil([&] { return !editor->isSaving(); }, saveTurn);
        const double saved = std::chrono::duration<double>(Clocked::now() - saveBegan).count();
        const double savePeak = peakMB();
        runUntil([&] { return !editor->actShowResultImage(); }, saveTurn);
        host.step(1.5);
        DispatchQueue::waitUntilBackgroundIdle();
        RunLoop::main().runUntilIdle();
        const double afterUntrimmed = residentMB();
        HeapTrimmer::trimNow();
        const double after = residentMB();
        if (PHAsset::fetchAssetsWithOptions(nullptr)->count() != 2) {
            std::fprintf(stderr, "the save did not reach the library\n");
            status = 1;
        }

        const double decoded = double(side) * side * 4 / (1024.0 * 1024.0);
        std::printf("Korva large photo run: %dx%d (%.1f MP, %.0f MB decoded)\n", side, side, side * double(side) / 1e6,
                    decoded);
        std::printf(
            "  resident: idle %.0f MB, editor open (base) %.0f MB, save peak %.0f MB, after the save %.0f MB"
            " (%.0f MB before the trim)\n",
            idle, base, savePeak, after, afterUntrimmed);
        std::printf("  save peak above the base: %.0f MB = %.2f x the decoded picture (goal under 2)\n",
                    savePeak - base, (savePeak - base) / decoded);
        std::printf("  opening: %.0f MB once picked, %.0f MB once the editor shows the photo\n", afterPick, afterOpen);
        std::printf("  open: %.2f s from the pick to the editor's preview; longest main-thread turn %.0f ms\n", opened,
                    longestTurn * 1e3);
        std::printf("  save: %.2f s from the tap to the library; longest main-thread turn %.0f ms\n", saved,
                    saveTurn * 1e3);
        window->setRootViewController(nullptr);
        editor.reset();
        DispatchQueue::waitUntilBackgroundIdle();
        RunLoop::main().runUntilIdle();
    }
    return status;
}
