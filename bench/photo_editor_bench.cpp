// The photo editor on a 12-megapixel library photo, two lines against the image engine alone in
// the same run:
//  - a preset chosen: the editor's updateResult (the look applied to its 1000-pixel preview,
//    rendered and shown in the image view) against the engine's bare render of the same look on
//    the same preview;
//  - a save: from the tap to the JPEG in the library (recipe, render, encode, metadata, library
//    write) against the engine's render and JPEG encode of the same full-size photo from the
//    same bytes.
// The two sides of each line are timed in turns, so that both see the same machine.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <random>
#include <thread>

#include "bench/bench_library.h"
#include "bench/bench_timing.h"
#include "editor/browser/filter_list_view.h"
#include "editor/photo/edit_controller.h"
#include "editor/photo/edit_photo_rules.h"
#include "filter/ci_image_filter.h"
#include "filter/filter_context.h"
#include "filter/filter_my_element.h"
#include "filter/filter_preset.h"
#include "foundation/global.h"
#include "platform/dispatch/clock.h"
#include "platform/dispatch/queue.h"
#include "platform/dispatch/run_loop.h"
#include "platform/host/headless_host.h"
#include "platform/image/ci_context.h"
#include "platform/image/ci_image.h"
#include "platform/image/codec/image_data.h"
#include "platform/image/codec/jpeg.h"
#include "platform/photos/ph_asset.h"
#include "platform/photos/ph_asset_change_request.h"
#include "platform/photos/ph_authorization.h"
#include "platform/photos/ph_photo_library.h"
#include "platform/storage/sandbox.h"
#include "platform/ui/app/ui_window.h"
#include "ui/ui_services.h"

namespace {

constexpr int kWidth = 4032, kHeight = 3024;  // stored on its side, as a phone holds it upright
constexpr int kPreviewRuns = 20, kSaveRuns = 8;

// A photograph-like scene with fine grain (so that the JPEG is as large as a camera's), stored
// with orientation 6 and the usual TIFF, Exif and GPS sections.
Bytes twelveMegapixelPhoto() {
    RasterRGBA8 r = makeRaster(kWidth, kHeight);
    std::minstd_rand grain(12);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            double u = double(x) / kWidth, v = double(y) / kHeight;
            double sky = std::clamp(v / 0.55, 0.0, 1.0);
            double cr = 0.25 + 0.7 * sky, cg = 0.47 + 0.31 * sky, cb = 0.85 - 0.23 * sky;
            if (std::hypot(u - 0.72, v - 0.2) < 0.08) cr = 1, cg = 0.93, cb = 0.6;
            if (v > 0.6 + 0.06 * std::sin(u * 7.0)) cr = 0.15, cg = 0.4 + 0.1 * std::sin(u * 90), cb = 0.15;
            double n = (int(grain() % 17) - 8) / 255.0;
            auto* p = &r.pixels[(std::size_t(y) * kWidth + x) * 4];
            p[0] = std::uint8_t(std::lround(255 * std::clamp(cr + n, 0.0, 1.0)));
            p[1] = std::uint8_t(std::lround(255 * std::clamp(cg + n, 0.0, 1.0)));
            p[2] = std::uint8_t(std::lround(255 * std::clamp(cb + n, 0.0, 1.0)));
            p[3] = 255;
        }
    JpegEncodeOptions o;
    o.quality = 0.9;
    o.properties = Value::dictionary(
        {{"Orientation", 6},
         {"{TIFF}", Value::dictionary({{"Make", "Korva"}, {"Model", "Synthetic camera"}, {"Orientation", 6}})},
         {"{Exif}", Value::dictionary({{"ExposureTime", 0.008}, {"FNumber", 1.8}})},
         {"{GPS}", Value::dictionary({{"Latitude", 60.1699}, {"LatitudeRef", "N"}})}});
    auto data = encodeJpeg(r, o);
    return data ? *data : Bytes{};
}

std::size_t libraryCount() {
    return PHAsset::fetchAssetsWithOptions(nullptr)->count();
}

// The bytes of the library's newest photo; none when there is none.
Bytes newestFile() {
    auto order = PHFetchOptions::make();
    order->sortDescriptors = {{"creationDate", false}};
    auto newest = PHAsset::fetchAssetsWithOptions(order)->firstObject();
    auto bytes = newest ? readFileBytes(newest->filePath()) : fail("no photo");
    return bytes ? std::move(*bytes) : Bytes{};
}

// Background work and the main queue run until the condition holds (or about ten seconds of
// idle waits pass without it). The waits are short, so that they add little to a timed save.
template <class F>
bool runUntil(F&& done) {
    for (int i = 0; i < 100000 && !done(); ++i) {
        DispatchQueue::waitUntilBackgroundIdle();
        RunLoop::main().runUntilIdle();
        if (!done()) std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
    return done();
}

// Whatever is pending runs out: background work, the main queue, and what they start.
void settle() {
    for (int i = 0; i < 4; ++i) {
        DispatchQueue::waitUntilBackgroundIdle();
        RunLoop::main().runUntilIdle();
    }
}

}  // namespace

int main() {
    BenchLibrary library("editor-bench");
    HeadlessHost& host = library.host();
    int status = 0;
    {
        // The photo in the library and the editor opened on it.
        const Bytes original = twelveMegapixelPhoto();
        auto added = BenchLibrary::add(original);
        if (!added) {
            std::fprintf(stderr, "the library did not take the photo: %s\n", added.error().c_str());
            return 1;
        }
        auto asset = *added;
        auto window = UIWindow::make();
        window->makeKeyAndVisible();
        auto editor = EditController::make();
        editor->setAsset(asset);
        window->setRootViewController(editor);
        host.step(0.1);
        auto strip = editor->filterView()->fv()->itemList();
        if (!runUntil([&] { return editor->data() && strip->status() == FilterListView::Status::Loaded; })) {
            std::fprintf(stderr, "the editor did not load the photo\n");
            return 1;
        }
        host.step(1.5);

        // The menu's first preset, chosen as the catalogue hands it over.
        const Value& desc = Global::shared()->filterPreset()->descBnW()[std::size_t(0)];
        auto chosen = FilterMyElement::withDesc(desc);
        editor->onFilterAttrChanged(chosen);
        host.step(0.1);
        auto look = FilterMyElement::withFilterElement(*chosen);
        auto preview = editor->imageBuffer();
        auto context = editor->context();
        auto bareRender = [&] {
            auto out = look->make(preview);
            if (!context->ciGPU()->createCGImage(out, out->extent())) std::fprintf(stderr, "render failed\n");
        };
        auto editorRender = [&] { editor->updateResult(false); };
        editorRender();
        bareRender();
        double korva = 1e30, bare = 1e30;
        for (int i = 0; i < kPreviewRuns; ++i) {
            korva = std::min(korva, seconds(editorRender));
            bare = std::min(bare, seconds(bareRender));
        }

        // The save: from the tap until the library has taken the JPEG; the flight of the result
        // into the save button runs afterwards, untimed.
        const CGSize full = editor->imageSize();
        auto engine =
            editSavesOnGPU(full, context->ciGPU()->inputImageMaximumSize()) ? context->ciGPU() : context->ciCPU();
        std::size_t savedBytes = 0, bareBytes = 0;
        auto editorSave = [&] {
            settle();  // the editor's answers to earlier library changes are not this save's
            const std::size_t before = libraryCount();
            const double t = seconds([&] {
                editor->onSave();
                runUntil([&] { return !editor->isSaving(); });
            });
            if (libraryCount() != before + 1) {
                std::fprintf(stderr, "the save did not reach the library\n");
                status = 1;
            }
            runUntil([&] { return !editor->actShowResultImage(); });
            host.step(1.5);
            savedBytes = newestFile().size();
            return t;
        };
        auto bareSave = [&] {
            return seconds([&] {
                ValueDictionary options;
                options.set(kCIImageApplyOrientationProperty, Value(true));
                auto source = CIImage::imageWithData(original, options);
                auto out = look->make(source);
                auto encoded = jpeg(out, out->extent(), *engine);
                if (!encoded)
                    std::fprintf(stderr, "bare render and encode failed\n");
                else
                    bareBytes = encoded->size();
            });
        };
        // For the record: the library alone taking a JPEG of that size (its file and index
        // written durably), the part of the save that is neither the editor nor the engine.
        Bytes written;
        auto libraryWrite = [&] {
            return seconds([&] {
                auto done = PHPhotoLibrary::sharedPhotoLibrary()->performChangesAndWait([&] {
                    if (auto r = PHAssetCreationRequest::creationRequestForAsset())
                        r->addResourceWithType(PHAssetResourceType::Photo, written);
                });
                if (!done) std::fprintf(stderr, "the library did not take the JPEG\n");
            });
        };
        // The editor answers every library change (it looks up the newest photo); not timed.
        auto libraryWriteSettled = [&] {
            double t = libraryWrite();
            settle();
            return t;
        };
        editorSave();
        bareSave();
        written = newestFile();
        double saveKorva = 1e30, saveBare = 1e30, library = 1e30;
        for (int i = 0; i < kSaveRuns; ++i) {
            saveKorva = std::min(saveKorva, editorSave());
            saveBare = std::min(saveBare, bareSave());
            library = std::min(library, libraryWriteSettled());
        }

        std::printf("Korva photo editor benchmark (photo %gx%g upright, preview %gx%g, preset \"%s\")\n", full.width,
                    full.height, preview->extent().size.width, preview->extent().size.height,
                    desc["disp"].description().c_str());
        std::printf("  preset chosen: editor %.2f ms, bare render %.2f ms\n", korva * 1e3, bare * 1e3);
        verdict("preset chosen in the editor / bare render of the preview", korva / bare, 1.3);
        std::printf(
            "  save: editor tap to library %.1f ms (JPEG %zu bytes), bare render and encode %.1f ms (%zu bytes);\n"
            "        the library alone taking such a JPEG %.1f ms\n",
            saveKorva * 1e3, savedBytes, saveBare * 1e3, bareBytes, library * 1e3);
        verdict("save tap to library JPEG / bare render and encode", saveKorva / saveBare, 1.3);

        window->setRootViewController(nullptr);
        editor.reset();
        settle();
    }
    return status;
}
