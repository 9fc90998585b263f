// Layers passed over outside the clip, and layers drawn within a rounded clip's full coverage
// under a clip of few edges in its place, give the bytes of the full drawing (the shortcuts off): a
// scale of ticks and shadowed labels scrolled to fractions of a pixel inside a rounded, masking
// ruler with a bitmap and a translucent fill well inside its corners (Cairo rasterises and samples
// otherwise under no clip than under a rounded one, so none of them may draw without a clip of
// that kind), and shadows and strokes reaching into the clip from layers outside it.
#include <cairo.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/animation/ca_transaction.h"
#include "platform/ui/draw/context.h"
#include "platform/ui/layer/ca_layer.h"
#include "platform/ui/layer/layer_renderer.h"
#include "platform/ui/layer/render_pass.h"

namespace {

constexpr int kClipW = 150, kClipH = 120;
constexpr CGFloat kClipScale = 3;

cairo_surface_t* staleSurface() {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kClipW, kClipH);
    cairo_surface_flush(s);
    for (int y = 0; y < kClipH; ++y) {
        auto* row =
            reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(s) + y * cairo_image_surface_get_stride(s));
        for (int x = 0; x < kClipW; ++x) {
            const std::uint32_t a = (x * 3 + y * 5) % 256;
            row[x] = (a << 24) | (((x * 7 + y) % (a + 1)) << 16) | (((y * 11) % (a + 1)) << 8) | ((x + y) % (a + 1));
        }
    }
    cairo_surface_mark_dirty(s);
    return s;
}

// The layer drawn over stale pixels through whole-pixel clip boxes, the shortcuts on or off.
std::vector<std::uint32_t> drawn(CALayer& layer, bool shortcuts, const std::vector<CGRect>& boxes) {
    cairo_surface_t* target = staleSurface();
    cairo_t* cr = cairo_create(target);
    for (const CGRect& r : boxes) cairo_rectangle(cr, r.origin.x, r.origin.y, r.size.width, r.size.height);
    cairo_clip(cr);
    cairo_scale(cr, kClipScale, kClipScale);
    {
        RenderPass pass(kClipScale, LayerValues::Presented, shortcuts ? RenderShortcuts::On : RenderShortcuts::Off);
        LayerRenderer::renderLayer(cr, layer, pass);
    }
    cairo_destroy(cr);
    cairo_surface_flush(target);
    std::vector<std::uint32_t> pixels;
    for (int y = 0; y < kClipH; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(target) +
                                                     y * cairo_image_surface_get_stride(target));
        pixels.insert(pixels.end(), row, row + kClipW);
    }
    cairo_surface_destroy(target);
    return pixels;
}

std::string firstDifference(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b) {
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i]) return std::to_string(i % kClipW) + "," + std::to_string(i / kClipW);
    return "";
}

void expectSameWithoutShortcuts(CALayer& layer, const std::string& what) {
    const std::vector<std::vector<CGRect>> clips{{CGRectMake(0, 0, kClipW, kClipH)},
                                                 {CGRectMake(10, 7, 61, 40), CGRectMake(80, 50, 53, 66)}};
    for (const auto& boxes : clips)
        EXPECT_EQ(firstDifference(drawn(layer, true, boxes), drawn(layer, false, boxes)), "")
            << what << ", " << boxes.size() << " clip boxes";
}

struct Caption : CALayerDelegate {
    bool drawLayerInContext(CALayer&, CGContext& context) override {
        context.setRGBFillColor(1, 1, 1, 0.7);
        context.fillEllipseInRect(CGRectMake(0.5, 0.5, 5, 3));
        context.fillRect(CGRectMake(1, 1.5, 4.2, 1));
        return true;
    }
};

TEST(RenderRoundClipTest, AScaleInARoundedRulerDrawsAsUnderItsClip) {
    CATransaction::begin();
    CATransaction::setDisableActions(true);
    auto ruler = CALayer::make();
    ruler->setFrame(CGRectMake(1.3, 2.6, 46, 30));
    ruler->setBackgroundColor(CGColor::rgb(0, 0, 0, 0.8));
    ruler->setCornerRadius(6);
    ruler->setMasksToBounds(true);
    // The scale scrolls in a square, masking view over the whole ruler, on whole pixels.
    auto scroll = CALayer::make();
    scroll->setFrame(CGRectMake(-1.3 + 4.0 / 3, -2.6 + 8.0 / 3, 46, 30));
    scroll->setMasksToBounds(true);
    ruler->addSublayer(scroll);
    auto caption = std::make_shared<Caption>();
    for (int i = 0; i < 40; ++i) {
        auto tick = CALayer::make();
        const CGFloat h = i % 5 == 0 ? 14 : 6;
        tick->setFrame(CGRectMake(2.0 * i, (30 - h) / 2, 1, h));
        tick->setBackgroundColor(CGColor::rgb(0.8, 0.8, 0.8, 0.1 + 0.02 * i));
        scroll->addSublayer(tick);
        if (i % 5 != 0) continue;
        auto label = CALayer::make();
        label->setFrame(CGRectMake(2.0 * i - 3, 22, 6, 5));
        label->setContentsScale(kClipScale);
        label->setDelegate(caption);
        label->setShadowOpacity(0.6f);
        label->setShadowOffset({1, 1});
        label->setShadowRadius(2);
        label->setNeedsDisplay();
        label->displayIfNeeded();
        scroll->addSublayer(label);
    }
    // A caption across a corner, and a line down the middle over the scale.
    auto corner = CALayer::make();
    corner->setFrame(CGRectMake(0.5, 0.5, 9, 4));
    corner->setBackgroundColor(CGColor::rgb(0.2, 0.6, 0.9, 0.9));
    ruler->addSublayer(corner);
    auto line = CALayer::make();
    line->setFrame(CGRectMake(23, 0, 1, 30));
    line->setBackgroundColor(CGColor::rgb(0.4, 0.4, 0.4, 1));
    ruler->addSublayer(line);
    // Well inside the corners: a drawn bitmap between pixels with a shadow, and a translucent fill.
    auto thumb = CALayer::make();
    thumb->setFrame(CGRectMake(14.3, 9.1, 6, 5));
    thumb->setContentsScale(kClipScale);
    thumb->setDelegate(caption);
    thumb->setShadowOpacity(0.5f);
    thumb->setShadowRadius(1);
    thumb->setNeedsDisplay();
    thumb->displayIfNeeded();
    ruler->addSublayer(thumb);
    auto veil = CALayer::make();
    veil->setFrame(CGRectMake(30.2, 10.45, 7.3, 6.1));
    veil->setBackgroundColor(CGColor::rgb(0.9, 0.2, 0.4, 0.7));
    veil->setOpacity(0.55f);
    ruler->addSublayer(veil);
    for (CGFloat offset : {0.0, 0.5, 1.0 / 3, 0.7, 2.9, 31.25}) {
        scroll->setBounds(CGRectMake(offset, 0, 46, 30));
        expectSameWithoutShortcuts(*ruler, "offset " + std::to_string(offset));
    }
    CATransaction::commit();
}

TEST(RenderRoundClipTest, ALayerOutsideTheClipStillCastsItsShadowIntoIt) {
    CATransaction::begin();
    CATransaction::setDisableActions(true);
    auto root = CALayer::make();
    root->setFrame(CGRectMake(0, 0, 50, 40));
    // Just left of and just above the second clip's first box (10, 7 in pixels): its shadow and a
    // stroke past its bounds reach into the box; the other lies wholly outside.
    auto caster = CALayer::make();
    caster->setFrame(CGRectMake(0.5, 5, 2.6, 6));
    caster->setBackgroundColor(CGColor::rgb(0.9, 0.9, 0.2, 1));
    caster->setShadowOpacity(1);
    caster->setShadowOffset({1, 0.5});
    caster->setShadowRadius(2);
    root->addSublayer(caster);
    auto above = CALayer::make();
    above->setFrame(CGRectMake(8, 0.2, 6, 2));
    above->setBorderWidth(0.6);
    above->setBorderColor(CGColor::rgb(0.1, 0.8, 0.3, 1));
    root->addSublayer(above);
    auto away = CALayer::make();
    away->setFrame(CGRectMake(26, 16, 0.5, 0.5));
    away->setBackgroundColor(CGColor::rgb(1, 0, 0, 1));
    root->addSublayer(away);
    expectSameWithoutShortcuts(*root, "casters");
    CATransaction::commit();
}

}  // namespace
