// The value, colour and cube editors over a photograph, each opened through the parameter pop-up
// on a hand-made attribute set; the vertical pop-up; a thumbnail before and after a cube edit.
#include <cmath>
#include <string>

#include "editor/adjust/pop_adj_h_view.h"
#include "editor/color/color_cube_data_view.h"
#include "editor/color/pop_adj_color_cube2_view.h"
#include "editor/color/pop_adj_color_cube_view.h"
#include "editor/color/pop_adj_color_view.h"
#include "editor/input/pop_adj_input_view.h"
#include "editor/list/pop_adj_v_view.h"
#include "filter/color_spaces.h"
#include "filter/filter_element.h"
#include "filter/filter_preset.h"
#include "foundation/global.h"
#include "platform/image/ci_context.h"
#include "platform/image/ci_image.h"
#include "platform/ui/app/ui_window.h"
#include "platform/ui/control/ui_button.h"
#include "platform/ui/control/ui_image_view.h"
#include "platform/ui/control/ui_scroll_view.h"
#include "platform/ui/controller/ui_view_controller.h"
#include "platform/ui/draw/color.h"
#include "platform/ui/draw/graphics.h"
#include "platform/ui/draw/image.h"
#include "platform/ui/gesture/ui_tap_gesture_recognizer.h"
#include "tools/gallery/adjust_gallery_support.h"
#include "tools/gallery/gallery.h"
#include "tools/gallery/widget_gallery_support.h"
#include "ui/controls/menu_label_view.h"
#include "ui/ui_services.h"

namespace {

Value numbers(std::initializer_list<double> values) {
    Value a = Value::array();
    for (double v : values) a.append(Value(v));
    return a;
}

Value record(const char* disp, int kind, ValueDictionary extra) {
    Value r = Value::dictionary({{"disp", Value(disp)}, {"view", Value(kind)}, {"editable", Value(true)}});
    for (const auto& [k, v] : extra) r.set(k, v);
    return r;
}

Value attrs(const char* name, ValueDictionary records, const char* disp = "Filter") {
    return Value::dictionary({{"name", Value(name)}, {"disp", Value(disp)}, {"value", Value(std::move(records))}});
}

// n³ colours running red across, green up and blue through the levels.
Value cubeTable(long n) {
    ValueArray t;
    const double d = n > 1 ? static_cast<double>(n - 1) : 1;
    for (long z = 0; z < n; ++z)
        for (long g = 0; g < n; ++g)
            for (long r = 0; r < n; ++r)
                t.push_back(Value(ValueArray{Value(r / d), Value(g / d), Value(z / d), Value(1.0)}));
    return Value(std::move(t));
}

Value cubeAttrs(const char* name, long n, bool two) {
    ValueDictionary records{
        {"inputCubeDimension", record("Cube Dimension", 5, {{"value", Value(n)}, {"def", Value(2)}})}};
    if (two) {
        records.set("inputCube0Data", record("Cube 0", 23, {{"value", cubeTable(n)}, {"def", cubeTable(2)}}));
        Value other = cubeTable(n);
        for (const Value& c : *other.arrayPtr()) c.arrayPtr()->at(1) = Value(1 - c[1].doubleValue());
        records.set("inputCube1Data", record("Cube 1", 23, {{"value", other}, {"def", cubeTable(2)}}));
    } else {
        records.set("inputCubeData", record("Cube Data", 23, {{"value", cubeTable(n)}, {"def", cubeTable(2)}}));
    }
    return attrs(name, std::move(records));
}

// A screen over a photograph with a stand-in tile near the bottom; the pop-up opens one item.
struct Scene {
    std::shared_ptr<UIViewController> vc = UIViewController::make();
    std::shared_ptr<UIView> tile = UIView::make();
    std::shared_ptr<GalleryAdjHost> host = std::make_shared<GalleryAdjHost>();
    std::shared_ptr<PopAdjHView> pop;

    explicit Scene(GalleryPage& page, CGFloat tileY = -1) {
        registerUIServices();
        auto window = page.newWindow();
        window->setRootViewController(vc);
        const CGRect b = vc->view()->bounds();
        vc->view()->addSubview(galleryPhotoBackdrop(b));
        tile->setFrame({{b.size.width / 2 - 35, tileY < 0 ? b.size.height - 150 : tileY}, {70, 90}});
        tile->setBackgroundColor(UIColor::colorWithWhite(0.1, 0.9));
        vc->view()->addSubview(tile);
        page.step(0.05);
        pop = PopAdjHView::make(vc);
        pop->setShowAboveIfBothAvailable(true);
        pop->setDelegate(host);
    }
    // Opens the first item of the action.
    void open(GalleryPage& page, const Value& a, AdjAction act) {
        pop->setAttrs(a);
        pop->updateData();
        for (const Value& item : pop->arr())
            if (item["act"].integerValue() == static_cast<int>(act)) {
                pop->act(item, tile);
                break;
            }
        page.step(1);
    }
};

void valueEditors(GalleryPage& page) {
    {
        Scene s(page);
        Value coefficients = numbers({1, 0, 0, 0.25, 0, 0.5, 0, 0, -0.75, 2.26});
        s.open(page,
               attrs("CIColorCrossPolynomial",
                     {{"inputRedCoefficients", record("Red Coefficients", 14, {{"value", coefficients}})}}),
               AdjAction::Input);
        page.shotScreen("input-grid-14");
    }
    {
        Scene s(page);
        Value weights = Value::array();
        for (int i = 0; i < 49; ++i) weights.append(Value(i == 24 ? 1.0 : (i % 7) * 0.1));
        s.open(page, attrs("CIConvolution7X7", {{"inputWeights", record("Weights", 17, {{"value", weights}})}}),
               AdjAction::Input);
        s.pop->popInput()->scrollView()->setContentOffset({80, 20});
        page.step(0.2);
        page.shotScreen("input-grid-17-scrolled");
    }
    {
        Scene s(page);
        s.open(
            page,
            attrs("CIAffineClamp",
                  {{"inputOffset", record("Offset", 11, {{"value", numbers({0.3, 0.7})}, {"def", numbers({0, 0})}})}}),
            AdjAction::Vector);
        page.shotScreen("vector-two");
    }
    {
        Scene s(page);
        s.open(page,
               attrs("CIColorMatrix", {{"inputBiasVector", record("Bias Vector", 13,
                                                                  {{"value", numbers({0.1, 0.4, 0.6, 0.9})},
                                                                   {"min", numbers({0, 0, 0, 0})},
                                                                   {"max", numbers({1, 1, 1, 1})}})}}),
               AdjAction::Vector);
        page.shotScreen("vector-four");
    }
    {
        Scene s(page);
        s.open(page,
               attrs("CIAffineTransform", {{"inputTransform", record("Transform", 20,
                                                                     {{"value", numbers({1, 0, 0, 1, 0, 0})},
                                                                      {"def", numbers({1, 0, 0, 1, 0, 0})}})}}),
               AdjAction::Transform);
        page.shotScreen("transform");
    }
    {
        Scene s(page);
        s.open(page,
               attrs("CIColorCubeWithColorSpace",
                     {{"inputColorSpace", record("Color Space", 24, {{"value", Value("kCGColorSpaceSRGB")}})}}),
               AdjAction::ColorSpace);
        page.shotScreen("color-space-strip");
    }
    {
        Scene s(page);
        s.open(
            page,
            attrs("CIColorArray",
                  {{"inputColors",
                    record(
                        "Colors", 21,
                        {{"min", Value(0)}, {"max", Value(1)}, {"value", Value(0.4)}, {"def", Value(ValueArray{})}})}}),
            AdjAction::ColorArray);
        page.shotScreen("color-array");
    }
}

void colourEditor(GalleryPage& page) {
    Scene s(page);
    s.open(page,
           attrs("CIConstantColorGenerator", {{"inputColor", record("Color", 1,
                                                                    {{"type", Value("CIColor")},
                                                                     {"value", numbers({0.2, 0.5, 0.9, 1})},
                                                                     {"def", numbers({1, 1, 1, 1})}})}}),
           AdjAction::Color);
    // A hue further along the strip, as a tap on it would choose.
    auto e = s.pop->popColor();
    e->swatches()[9]->sendActionsForControlEvents(UIControlEventTouchUpInside);
    page.step(0.5);
    page.shotScreen("color-after-hue-change");
}

void cubeEditors(GalleryPage& page) {
    for (long n : {4L, 8L}) {
        Scene s(page);
        s.open(page, cubeAttrs("CIColorCube", n, false), AdjAction::ColorCube);
        page.shotScreen("cube-stacked-" + std::to_string(n));
    }
    {
        Scene s(page);
        s.open(page, cubeAttrs("CIColorCube", 4, false), AdjAction::ColorCube);
        auto grid = s.pop->popColorCube()->dataView();
        grid->menu()->buttons()[1]->sendActionsForControlEvents(UIControlEventTouchUpInside);
        page.step(0.5);
        page.shotScreen("cube-plane-midway");
        page.step(1);
        page.shotScreen("cube-plane-at-rest");
        auto plane = grid->planes()[1];
        plane->onButton(*plane->buttons()[6]);
        page.step(1);
        page.shotScreen("cube-cell-color-editor");
    }
    {
        Scene s(page);
        s.open(page, cubeAttrs("CIColorCubesMixedWithMask", 3, true), AdjAction::ColorCube2);
        s.pop->popColorCube2()->menu()->buttons()[1]->sendActionsForControlEvents(UIControlEventTouchUpInside);
        page.step(0.5);
        page.shotScreen("two-cubes-on-cube-2");
    }
}

void verticalPopUp(GalleryPage& page) {
    Scene s(page);
    auto v = PopAdjVView::make(s.vc);
    v->setShowAboveIfBothAvailable(true);
    v->setDelegate(s.host);
    v->show(s.tile,
            attrs("CIToneCurve",
                  {{"inputPoint0", record("Point 0", 11, {})},
                   {"inputAmount", record("Amount", 2, {{"value", Value(0.5)}})},
                   {"inputSharpness", record("Sharpness", 2, {{"value", Value(0.5)}})},
                   {"inputRadius", record("Radius", 2, {{"value", Value(0.5)}})}},
                  "Tone Curve"),
            [] {});
    page.step(1);
    page.shotScreen("vertical-popup");
}

// The thumbnail of a cube element over the photograph's colours, before and after one cell edit.
void cubeThumbnail(GalleryPage& page) {
    Scene s(page, 90);
    const Value desc = Value::dictionary({{"name", Value("CIColorCube")}});
    auto element = FilterElement::withDesc(desc);
    s.tile->setHidden(true);
    auto shelf = UIView::make(CGRect{{40, 380}, {300, 160}});
    shelf->setBackgroundColor(UIColor::colorWithWhite(0.1, 0.9));
    s.vc->view()->addSubview(shelf);
    auto thumb = UIImageView::make(CGRect{{60, 400}, {120, 120}});
    auto after = UIImageView::make(CGRect{{200, 400}, {120, 120}});
    s.vc->view()->addSubview(thumb);
    s.vc->view()->addSubview(after);
    auto backdrop = galleryPhotoBackdrop({{0, 0}, {120, 120}});
    UIGraphicsBeginImageContextWithOptions({120, 120}, true, 1);
    backdrop->layer()->renderInContext(*UIGraphicsGetCurrentContext());
    auto photo = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    auto source = CIImage::imageWithCGImage(photo->cgImage());
    auto context = CIContext::contextWithOptions({});
    auto render = [&](const std::shared_ptr<UIImageView>& view) {
        element->resetInstanceData();
        auto out = element ? element->make(source) : nullptr;
        if (!out) return;
        auto bitmap = context->createCGImage(out, source->extent(), CGImagePixelLayout::RGBA8Premultiplied, nullptr);
        if (bitmap) view->setImage(UIImage::imageWithCGImage(bitmap));
    };
    render(thumb);
    // Every cell of the red-free corner goes magenta.
    const Value& data = element->attrs()["value"]["inputCubeData"];
    if (const ValueArray* table = data["value"].arrayPtr()) {
        ValueArray edited = *table;
        edited[0] = Value(ValueArray{Value(1.0), Value(0.0), Value(1.0), Value(1.0)});
        FilterElement::setAttrValueArray(data, edited);
    }
    render(after);
    page.step(0.2);
    page.shotScreen("thumbnail-before-after-cube-edit");
}

}  // namespace

void galleryEditorColor(GalleryPage& page) {
    registerFilterServices();
    Global::shared()->colorSpaces()->setDict(Value::dictionary({{"SRGB", Value("kCGColorSpaceSRGB")},
                                                                {"Default", Value("kCGColorSpaceNULL")},
                                                                {"Display P3", Value("kCGColorSpaceDisplayP3")},
                                                                {"Linear SRGB", Value("kCGColorSpaceLinearSRGB")},
                                                                {"ROMM RGB", Value("kCGColorSpaceROMMRGB")}}));
    valueEditors(page);
    colourEditor(page);
    cubeEditors(page);
    verticalPopUp(page);
    cubeThumbnail(page);
}
