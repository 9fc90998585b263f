// The filter browser over a photograph-like picture: the camera pop-up while it loads, each of
// the four menus with real thumbnails, a chosen tile with its badge, a held tile, an empty menu,
// and the photo editor's panel in the middle of its slide and at rest.
#include <chrono>
#include <cmath>
#include <filesystem>
#include <random>
#include <thread>

#include "editor/browser/edit_filter_host_view.h"
#include "editor/browser/filter_strip_geometry.h"
#include "editor/browser/pop_filter_main_view.h"
#include "filter/ci_image_filter.h"
#include "filter/filter_context.h"
#include "filter/filter_my_element.h"
#include "filter/filter_persist_element.h"
#include "filter/filter_preset.h"
#include "platform/image/ci_image.h"
#include "platform/storage/sandbox.h"
#include "platform/ui/app/ui_window.h"
#include "platform/ui/control/ui_button.h"
#include "platform/ui/control/ui_image_view.h"
#include "platform/ui/controller/ui_view_controller.h"
#include "platform/ui/draw/color.h"
#include "platform/ui/draw/image.h"
#include "tools/gallery/gallery.h"
#include "ui/ui_services.h"

namespace {

// A landscape with a face in it: sky, sun, hills, skin and hair, so that every look shows on it.
std::shared_ptr<CIImage> photoPicture(int w, int h) {
    std::vector<std::uint8_t> px(std::size_t(w) * h * 4);
    auto mix = [](double a, double b, double t) { return a + (b - a) * std::clamp(t, 0.0, 1.0); };
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            double u = double(x) / w, v = double(y) / h;  // v grows downwards
            double r = mix(0.25, 0.95, v / 0.55), g = mix(0.47, 0.78, v / 0.55), b = mix(0.85, 0.62, v / 0.55);
            double sun = std::hypot(u - 0.75, v - 0.18);
            if (sun < 0.09) r = 1, g = 0.93, b = 0.6;
            double hill = 0.58 + 0.06 * std::sin(u * 7.0);
            if (v > hill) r = mix(0.2, 0.1, (v - hill) * 3), g = mix(0.45, 0.3, (v - hill) * 3), b = 0.15;
            double face = std::hypot((u - 0.38) / 0.15, (v - 0.55) / 0.2);
            if (face < 1) r = 0.93, g = 0.72 - 0.1 * face, b = 0.58 - 0.1 * face;
            if (face >= 1 && std::hypot((u - 0.38) / 0.18, (v - 0.47) / 0.2) < 1 && v < 0.55)
                r = 0.25, g = 0.15, b = 0.1;
            std::uint8_t* p = &px[(std::size_t(y) * w + x) * 4];
            p[0] = std::uint8_t(std::lround(255 * r));
            p[1] = std::uint8_t(std::lround(255 * g));
            p[2] = std::uint8_t(std::lround(255 * b));
            p[3] = 255;
        }
    return CIImage::imageWithBitmapData(std::move(px), std::size_t(w) * 4, w, h, CIFormat::RGBA8,
                                        CIAlphaMode::Premultiplied, nullptr);
}

// The camera screen's part: the preview (the picture through the chosen look) and the thumbnail
// source at the strip's tile size.
struct Screen : FilterAttrDelegate, PopFilterMainViewDelegate, EditFilterHostViewDelegate {
    std::shared_ptr<FilterContext> context = FilterContext::make();
    std::shared_ptr<CIImage> full, thumb;
    std::shared_ptr<UIImageView> preview = UIImageView::make();

    void show(const std::shared_ptr<FilterElement>& element) {
        auto picture = full;
        if (element) {
            auto mine = FilterMyElement::withFilterElement(*element);
            picture = filter(full, *mine);
        }
        preview->setImage(uiImage(picture, picture->extent(), *context->ciGPU()));
    }
    std::shared_ptr<CIImage> onFilterSourceGetImage() override { return thumb; }
    std::shared_ptr<FilterContext> onFilterSourceGetContext() override { return context; }
    void onFilterAttrChanged(const std::shared_ptr<FilterElement>& e) override { show(e); }
    void onFilterAttrBeforeInitialize(const std::string&, const std::string&, const Value&) override {}
    void onPopFilterMainViewFilterSelected(PopFilterMainView&,
                                           const std::shared_ptr<FilterPersistElement>& e) override {
        show(e);
    }
    void onPopFilterMainViewDidShow(PopFilterMainView&) override {}
    void onEditFilterHostViewFilterSelected(EditFilterHostView&,
                                            const std::shared_ptr<FilterPersistElement>& e) override {
        show(e);
    }
};

struct Scene {
    std::shared_ptr<UIViewController> vc = UIViewController::make();
    std::shared_ptr<Screen> screen = std::make_shared<Screen>();
    std::shared_ptr<UIButton> anchor = UIButton::buttonWithType(UIButtonType::System);

    explicit Scene(GalleryPage& page, CGSize tile) {
        auto window = page.newWindow();
        window->setRootViewController(vc);
        CGRect b = vc->view()->bounds();
        vc->view()->setBackgroundColor(UIColor::blackColor());
        screen->full = photoPicture(int(b.size.width), int(b.size.width * 4 / 3));
        // The thumbnail source: the preview frame at the tile's width, twice for the screen's scale.
        screen->thumb = photoPicture(int(tile.width * 2), int(tile.width * 8 / 3));
        screen->preview->setFrame({{0, 60}, {b.size.width, b.size.width * 4 / 3}});
        screen->preview->setContentMode(UIViewContentMode::ScaleAspectFill);
        screen->show(nullptr);
        vc->view()->addSubview(screen->preview);
        anchor->setTitle("FILTER", UIControlStateNormal);
        anchor->setTintColor(UIColor::whiteColor());
        anchor->setFrame({{b.size.width / 2 - 40, b.size.height - 110}, {80, 40}});
        vc->view()->addSubview(anchor);
        page.step(0.05);
    }
};

// Lets the main thread run until the strip has its elements (made on the list queue).
void waitForLoad(GalleryPage& page, const FilterListView& strip) {
    for (int i = 0; i < 2000 && strip.status() != FilterListView::Status::Loaded; ++i) {
        page.step(0.001);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

void chooseMenu(GalleryPage& page, const std::shared_ptr<PopFilterMainView>& pop, long index) {
    auto list = pop->fv();
    auto& buttons = list->menu()->buttons();
    if (index < long(buttons.size())) {
        list->menu()->onLabel(*buttons[std::size_t(index)]);
    } else {
        // A menu with no presets.
        list->menu()->resetSelection();
        list->onMenuLabelViewLabelTap(*list->menu(), index, *buttons[0]);
    }
    page.step(0.35);
    waitForLoad(page, *list->itemList());
    page.step(1.3);  // the row's slide, then the first draw a second after the load
}

void cameraPopup(GalleryPage& page) {
    CGSize screenSize = page.host().screen()->bounds().size;
    CGSize tile = filter_strip::tileMetrics(std::min(screenSize.width, screenSize.height)).itemSize;
    Scene scene(page, tile);
    auto pop = PopFilterMainView::make(scene.vc, std::static_pointer_cast<FilterAttrDelegate>(scene.screen));
    pop->setDelegate(scene.screen);
    pop->show(scene.anchor, nullptr);
    page.step(0.3);
    page.shotScreen("popup-loading");
    waitForLoad(page, *pop->fv()->itemList());
    page.step(1.3);
    page.shotScreen("popup-bright");
    const char* names[] = {"popup-bright", "popup-warm", "popup-magenta", "popup-cyan"};
    for (long m = 1; m < 4; ++m) {
        chooseMenu(page, pop, m);
        page.shotScreen(names[m]);
    }
    chooseMenu(page, pop, 0);
    auto strip = pop->fv()->itemList();
    strip->onFilterItemViewDidTap(*strip->loadedItems().at(2));
    page.step(0.8);
    page.shotScreen("popup-selected-with-badge");
    strip->onFilterItemViewDidLongTapDown(*strip->loadedItems().at(4));
    page.step(0.3);
    page.shotScreen("popup-tile-held");
    strip->onFilterItemViewDidLongTapUp(*strip->loadedItems().at(4));
    page.step(0.8);
    page.shotScreen("popup-tile-released");
    chooseMenu(page, pop, 9);
    page.shotScreen("popup-empty-menu");
}

void editorPanel(GalleryPage& page) {
    CGSize screenSize = page.host().screen()->bounds().size;
    CGSize tile = filter_strip::tileMetrics(std::min(screenSize.width, screenSize.height)).itemSize;
    Scene scene(page, tile);
    scene.anchor->setHidden(true);  // the editor has no filter button
    CGRect b = scene.vc->view()->bounds();
    CGFloat height = EditFilterHostView::kTitleHeight + FilterMenuListView::kMenuHeight + tile.height +
                     FilterMenuListView::kStripExtraHeight;
    auto panel = EditFilterHostView::make(scene.vc, std::static_pointer_cast<FilterAttrDelegate>(scene.screen));
    panel->setDelegate(scene.screen);
    panel->setFrame({{0, b.size.height - height - 40}, {b.size.width, height}});
    panel->setHidden(true);
    scene.vc->view()->addSubview(panel);
    page.step(0.4);
    waitForLoad(page, *panel->fv()->itemList());
    page.step(1.3);
    panel->show(nullptr);
    page.step(0.1);
    page.shotScreen("panel-mid-slide");
    page.step(0.3);
    page.shotScreen("panel-at-rest");
    auto strip = panel->fv()->itemList();
    strip->onFilterItemViewDidTap(*strip->loadedItems().at(1));
    page.step(0.8);
    page.shotScreen("panel-chosen");
}

// The store files of the presets go to a folder of their own, not the user's.
template <class F>
void inTemporaryData(F&& draw) {
    std::random_device random;
    auto dir = std::filesystem::temp_directory_path() / ("korva-gallery-filters-" + std::to_string(random()));
    std::filesystem::create_directories(dir);
    Sandbox::setRoot(dir.string());
    registerUIServices();
    registerFilterServices();
    draw();
    Sandbox::setRoot("");
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
}

}  // namespace

void galleryFilterBrowser(GalleryPage& page) {
    inTemporaryData([&] {
        cameraPopup(page);
        editorPanel(page);
    });
}
