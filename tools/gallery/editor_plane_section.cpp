// The plane editors over a photograph: the tone-curve editor on the diagonal and after two points
// were dragged, the positions editor over a landscape and a portrait picture, the rectangle editor
// free, mid-drag, at 1:1 and with its ratio chooser open, the labelled plane alone, and the picture
// cropped by an edited rectangle.
#include <string>

#include "editor/adjust/pop_adj_view.h"
#include "editor/plane/coord_pointer_labeled_view.h"
#include "editor/plane_edit/pop_adj_graph2d_view.h"
#include "editor/plane_edit/pop_adj_positions_view.h"
#include "editor/plane_edit/pop_adj_rect_view.h"
#include "filter/filter_element.h"
#include "platform/image/ci_context.h"
#include "platform/image/ci_filter.h"
#include "platform/image/color_space.h"
#include "platform/ui/app/ui_window.h"
#include "platform/ui/control/ui_image_view.h"
#include "platform/ui/controller/ui_view_controller.h"
#include "platform/ui/draw/color.h"
#include "platform/ui/draw/image.h"
#include "platform/ui/layer/layer_renderer.h"
#include "tools/gallery/adjust_gallery_support.h"
#include "tools/gallery/gallery.h"
#include "tools/gallery/widget_gallery_support.h"
#include "ui/ui_services.h"

namespace {

using S = UIGestureRecognizerState;

Value numbers(std::initializer_list<double> xs) {
    Value a = Value::array();
    for (double x : xs) a.append(Value(x));
    return a;
}

Value record(const char* disp, int kind, Value value) {
    Value r = Value::dictionary(
        {{"type", Value("CIVector")}, {"disp", Value(disp)}, {"view", Value(kind)}, {"editable", Value(true)}});
    r.set("value", value);
    r.set("def", value.deepCopy());
    return r;
}

// The photograph backdrop drawn at the size, as a picture.
std::shared_ptr<CIImage> photo(CGFloat w, CGFloat h) {
    auto view = galleryPhotoBackdrop({{0, 0}, {w, h}});
    view->layoutIfNeeded();
    return CIImage::imageWithCGImage(LayerRenderer::snapshot(*view->layer(), 1));
}

Value toneCurve() {
    ValueDictionary points;
    for (int i = 0; i < 5; ++i) {
        points.set("inputPoint" + std::to_string(i),
                   record(("Point " + std::to_string(i)).c_str(), 11, numbers({i * 0.25, i * 0.25})));
    }
    return Value::dictionary({{"name", Value("CIToneCurve")}, {"value", Value(std::move(points))}});
}

Value corners(CGSize s) {
    return Value::dictionary(
        {{"name", Value("CIPerspectiveCorrection")},
         {"value",
          Value::dictionary({{"inputBottomLeft", record("Bottom Left", 7, numbers({s.width * 0.15, s.height * 0.1}))},
                             {"inputBottomRight", record("Bottom Right", 7, numbers({s.width * 0.9, s.height * 0.2}))},
                             {"inputTopLeft", record("Top Left", 7, numbers({s.width * 0.2, s.height * 0.85}))},
                             {"inputTopRight", record("Top Right", 7, numbers({s.width * 0.8, s.height * 0.9}))}})}});
}

Value crop(CGSize s) {
    return Value::dictionary(
        {{"name", Value("CICrop")},
         {"value",
          Value::dictionary(
              {{"inputRectangle",
                record("Rectangle", 3, numbers({s.width * 0.2, s.height * 0.25, s.width * 0.5, s.height * 0.5}))},
               // The picture itself, fed by the graph and not editable.
               {"inputImage",
                Value::dictionary({{"type", Value("CIImage")}, {"view", Value(14)}, {"editable", Value(false)}})}})}});
}

// A screen over the photograph with a stand-in tile to open the editors from.
struct Scene {
    std::shared_ptr<UIViewController> vc = UIViewController::make();
    std::shared_ptr<UIView> tile;
    std::shared_ptr<GalleryAdjHost> host = std::make_shared<GalleryAdjHost>();
    std::shared_ptr<PopAdjView> pop;
    Value attrs;

    Scene(GalleryPage& page, Value a, CGSize picture) : attrs(std::move(a)) {
        tile = galleryAdjustScreen(page, vc);
        host->image = photo(picture.width, picture.height);
        pop = PopAdjView::make(vc);
        pop->setDelegate(host);
        pop->setAttrs(attrs);
        pop->updateData();
        pop->act(pop->arr()[0], tile);
        page.step(0.6);
    }
};

void planes(GalleryPage& page) {
    {
        Scene scene(page, toneCurve(), {400, 300});
        page.shotScreen("graph-diagonal");
        auto& plane = *scene.pop->popGraph2D()->plane();
        const CGSize s = plane.frame().size;
        for (auto [i, to] : {std::pair{1, CGPoint{0.25, 0.6}}, std::pair{3, CGPoint{0.75, 0.5}}}) {
            plane.pan(S::Began, plane.pointers()[i]->center());
            plane.pan(S::Changed, {to.x * s.width, (1 - to.y) * s.height});
        }
        page.step(0.1);
        page.shotScreen("graph-dragged");
    }
    {
        Scene scene(page, corners({400, 300}), {400, 300});
        page.shotScreen("positions-landscape");
    }
    {
        Scene scene(page, corners({300, 400}), {300, 400});
        page.shotScreen("positions-portrait");
    }
    {
        Scene scene(page, crop({400, 300}), {400, 300});
        page.shotScreen("rect-free");
        auto& editor = *scene.pop->popRect();
        auto& plane = *editor.plane();
        const CGPoint corner = plane.pointers()[2]->center();
        plane.pan(S::Began, corner);
        plane.pan(S::Changed, {corner.x + 40, corner.y - 30});
        page.step(0.1);
        page.shotScreen("rect-mid-drag");

        editor.onRatio();
        page.step(0.5);
        page.shotScreen("rect-ratio-chooser");
        editor.popRatio()->onRatio(4);
        page.step(0.6);
        page.shotScreen("rect-1-1");

        // The picture through the edited crop, as the preview renders it.
        editor.hide(PopView::Callback([] {}));
        page.step(0.5);
        const Value cropAttrs = scene.attrs["value"];
        auto filter = FilterElement::refresh(scene.host->image, "CICrop", cropAttrs, Value::dictionary());
        auto out = filter ? filter->outputImage() : nullptr;
        if (out) {
            // Unmanaged, like the canvas: the picture's values as they are.
            auto context = CIContext::contextWithOptions({{kCIContextWorkingColorSpace, Value(kCGColorSpaceNULL)}});
            auto cg = context->createCGImage(out, out->extent());
            auto preview = UIImageView::make(UIImage::imageWithCGImage(cg));
            const CGRect b = scene.vc->view()->bounds();
            preview->setFrame(
                {{20, 120},
                 {b.size.width - 40, (b.size.width - 40) * out->extent().size.height / out->extent().size.width}});
            preview->setBackgroundColor(UIColor::blackColor());
            scene.vc->view()->addSubview(preview);
            page.step(0.1);
            page.shotScreen("preview-after-rect");
        }
    }
    {
        auto window = page.newWindow();
        auto vc = UIViewController::make();
        window->setRootViewController(vc);
        vc->view()->setBackgroundColor(UIColor::blackColor());
        auto labelled = CoordPointerLabeledView::make();
        labelled->setFrame({{40, 150}, {220, 220}});
        // Shot alone: its own black, as the graph editor's panel gives it.
        labelled->setBackgroundColor(UIColor::blackColor());
        vc->view()->addSubview(labelled);
        page.step(0.05);
        auto& plane = *labelled->plane();
        plane.setLineType(CoordLineType::ToneCurve);
        for (int i = 0; i < 5; ++i) {
            plane.pointers()[plane.addPointer(UIColor::whiteColor())]->setValue({i * 0.25, i * 0.25});
        }
        plane.update();
        page.step(0.05);
        page.shotView("labelled-plane", *labelled);
    }
}

}  // namespace

void galleryEditorPlane(GalleryPage& page) {
    planes(page);
}
