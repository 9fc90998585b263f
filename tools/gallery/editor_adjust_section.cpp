// The parameter pop-up over a photograph: the row of labels of a hand-made element, and the
// slider, stepper and switch editors opened from it.
#include <string>

#include "editor/adjust/pop_adj_h_view.h"
#include "editor/adjust/pop_adj_slider_view.h"
#include "editor/adjust/pop_adj_stepper_view.h"
#include "editor/adjust/pop_adj_switch_view.h"
#include "platform/ui/app/ui_window.h"
#include "platform/ui/control/ui_button.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/controller/ui_view_controller.h"
#include "platform/ui/draw/color.h"
#include "tools/gallery/adjust_gallery_support.h"
#include "tools/gallery/gallery.h"
#include "tools/gallery/widget_gallery_support.h"
#include "ui/ui_services.h"

namespace {

Value record(const char* disp, int kind, double value, double min, double max, bool withDefault) {
    Value r = Value::dictionary({{"type", Value("NSNumber")},
                                 {"disp", Value(disp)},
                                 {"view", Value(kind)},
                                 {"editable", Value(true)},
                                 {"value", Value(value)},
                                 {"min", Value(min)},
                                 {"max", Value(max)}});
    if (withDefault) r.set("def", Value(value));
    return r;
}

// A colour-controls element with a nested vignette, a switch and a stepper, made by hand.
Value handMadeAttrs() {
    Value vignette = Value::dictionary(
        {{"name", Value("CIVignette")},
         {"disp", Value("Vignette")},
         {"value", Value::dictionary({{"inputIntensity", record("Intensity", 2, 0.6, 0, 1, true)}})}});
    Value image = record("Image", 25, 0, 0, 0, false);
    image.set("value", vignette);
    return Value::dictionary(
        {{"name", Value("CIColorControls")},
         {"disp", Value("Color Controls")},
         {"value", Value::dictionary({{"inputSaturation", record("Saturation", 2, 1.2, 0, 2, true)},
                                      {"inputBrightness", record("Brightness", 2, 0.1, -1, 1, true)},
                                      {"inputContrast", record("Contrast", 2, 1.05, 0.25, 4, false)},
                                      {"inputMono", record("Monochrome", 4, 1, 0, 1, true)},
                                      {"inputLevels", record("Levels", 5, 6, 2, 64, true)},
                                      {"inputImage", image}})}});
}

// A screen over a photograph with a stand-in tile near the bottom to anchor the row on.
struct Scene {
    std::shared_ptr<UIViewController> vc = UIViewController::make();
    std::shared_ptr<UIView> tile;
    std::shared_ptr<GalleryAdjHost> host = std::make_shared<GalleryAdjHost>();
    std::shared_ptr<PopAdjHView> pop;
    Value attrs = handMadeAttrs();

    explicit Scene(GalleryPage& page) {
        tile = galleryAdjustScreen(page, vc);
        pop = PopAdjHView::make(vc);
        pop->setShowAboveIfBothAvailable(true);
        pop->setDelegate(host);
        pop->show(tile, attrs, [] {});
        page.step(0.5);
    }
    // Taps the row's label with this text.
    void tapLabel(GalleryPage& page, const std::string& label) {
        for (const auto& b : pop->menu()->buttons())
            if (b->titleForState(UIControlStateNormal) == label)
                b->sendActionsForControlEvents(UIControlEventTouchUpInside);
        page.step(1);
    }
};

void editorAdjust(GalleryPage& page) {
    {
        Scene scene(page);
        page.shotScreen("label-popup");
        scene.tapLabel(page, "Brightness");
        page.shotScreen("slider-open");
    }
    {
        Scene scene(page);
        scene.tapLabel(page, "Levels");
        page.shotScreen("stepper-open");
    }
    {
        Scene scene(page);
        scene.tapLabel(page, "Monochrome");
        page.shotScreen("switch-open");
    }
    {
        Scene scene(page);
        scene.tapLabel(page, "Contrast");
        page.shotScreen("slider-without-reset");
    }
}

}  // namespace

void galleryEditorAdjust(GalleryPage& page) {
    editorAdjust(page);
}
