// The filter strip's thumbnails of the first menu, as the camera pop-up draws them on the main
// thread beside the preview: every visible tile's drawRefiltered (the look applied, the thumbnail
// made into an image, the tile shown) and the frame that displays them, against the image
// engine's bare render of the same thumbnails from the same source, in the same run.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <thread>

#include "bench/bench_host.h"
#include "bench/bench_scenes.h"
#include "bench/bench_timing.h"
#include "editor/browser/filter_list_view.h"
#include "filter/ci_image_filter.h"
#include "filter/filter_context.h"
#include "filter/filter_my_element.h"
#include "filter/filter_persist_element.h"
#include "filter/filter_preset.h"
#include "foundation/global.h"
#include "platform/dispatch/clock.h"
#include "platform/dispatch/run_loop.h"
#include "platform/host/headless_host.h"
#include "platform/storage/sandbox.h"
#include "platform/ui/app/ui_window.h"
#include "platform/ui/controller/ui_view_controller.h"
#include "ui/ui_services.h"

namespace {

constexpr int kRuns = 60;

struct Source : FilterAttrDelegate, FilterListViewSource {
    std::shared_ptr<CIImage> thumb;
    std::shared_ptr<FilterContext> context = FilterContext::make();
    Value entries;
    std::shared_ptr<CIImage> onFilterSourceGetImage() override { return thumb; }
    std::shared_ptr<FilterContext> onFilterSourceGetContext() override { return context; }
    void onFilterAttrChanged(const std::shared_ptr<FilterElement>&) override {}
    void onFilterAttrBeforeInitialize(const std::string&, const std::string&, const Value&) override {}
    Value onFilterListViewGetArray(FilterListView&) override { return entries; }
};

}  // namespace

int main() {
    std::random_device random;
    auto data = std::filesystem::temp_directory_path() / ("korva-strip-bench-" + std::to_string(random()));
    std::filesystem::create_directories(data);
    Sandbox::setRoot(data.string());
    Clock::useVirtual();
    HeadlessHost host(notchedHeadlessScreen());
    registerUIServices();
    registerFilterServices();

    auto vc = UIViewController::make();
    auto window = UIWindow::make();
    window->makeKeyAndVisible();
    window->setRootViewController(vc);
    auto source = std::make_shared<Source>();
    auto strip = FilterListView::make(vc, std::static_pointer_cast<FilterAttrDelegate>(source));
    CGSize tile = strip->itemSize();
    CGFloat scale = host.screen()->scale();
    // The camera screen's thumbnail source: the preview frame at the tile's width, at the screen's scale.
    int tw = int(tile.width * scale), th = int(tile.width * scale * 4 / 3);
    source->thumb = frameImage(syntheticFrame(tw, th, 7), tw, th);
    const Value& menu = Global::shared()->filterPreset()->descBnW();
    source->entries = Value::array();
    for (std::size_t i = 0; i < menu.count(); ++i)
        source->entries.append(
            Value::dictionary({{"key", Value(FilterPreset::presetKey(0, long(i)))}, {"desc", menu[i]}}));
    strip->setSource(source);
    strip->setFrame({{0, 500}, {vc->view()->bounds().size.width, tile.height + 4}});
    vc->view()->addSubview(strip);
    strip->refresh();
    for (int i = 0; i < 5000 && strip->status() != FilterListView::Status::Loaded; ++i) {
        RunLoop::main().runUntilIdle();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    host.step(1.5);
    strip->updateVisibleIndices();
    const long first = strip->visibleItem0(), last = strip->visibleItem1();
    if (first < 0) {
        std::fprintf(stderr, "no tile on screen\n");
        return 1;
    }

    // Korva: the strip's redraw on the main thread: each visible tile's look applied to the
    // source, made into an image and shown in the tile's image view.
    // The host's composite of the changed tiles onto the screen, for the record (the platform's
    // compositor, not the strip, does this part).
    double frame = 1e30;
    for (int i = 0; i < kRuns; ++i) {
        strip->drawRefiltered();
        frame = std::min(frame, seconds([&] { host.renderFrame(); }));
    }

    // The engine alone: each visible look applied to the same source and rendered to a bitmap.
    std::vector<std::shared_ptr<FilterElement>> looks;
    for (long i = first; i <= last; ++i)
        looks.push_back(FilterMyElement::withFilterElement(*strip->loadedElements().at(strip->keys()[std::size_t(i)])));
    auto context = source->context->ciGPU();
    auto bareRender = [&] {
        for (const auto& look : looks) {
            auto out = filter(source->thumb, *look);
            auto bitmap = context->createCGImage(out, out->extent(), CGImagePixelLayout::RGBA8Premultiplied, nullptr);
            if (!bitmap) std::fprintf(stderr, "render failed\n");
        }
    };
    // Taken in turns, so that both sides see the same machine.
    strip->drawRefiltered();
    bareRender();
    double korva = 1e30, bare = 1e30;
    for (int i = 0; i < kRuns; ++i) {
        korva = std::min(korva, seconds([&] { strip->drawRefiltered(); }));
        bare = std::min(bare, seconds(bareRender));
    }

    std::printf("Korva filter strip benchmark (%ld tiles of %gx%g points on screen, thumbnails %dx%d)\n",
                last - first + 1, tile.width, tile.height, tw, th);
    std::printf("  strip redraw %.2f ms, bare render %.2f ms (the screen's composite of the new tiles %.2f ms)\n",
                korva * 1e3, bare * 1e3, frame * 1e3);
    verdict("strip redraw of a screenful / bare render of its thumbnails", korva / bare, 1.5);
    strip.reset();
    Sandbox::setRoot("");
    std::error_code ignored;
    std::filesystem::remove_all(data, ignored);
    return 0;
}
