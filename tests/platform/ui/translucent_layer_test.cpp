// Translucent layers drawn without a group spanning the whole clip: a plain fill composited as a
// solid colour, and a group that ends where its layer can draw, against the group over the whole
// target they stand for, pixel for pixel; a layer drawn again into its kept bitmap shows only the
// new drawing; a bitmap off the device pixels composited only around its drawing, against the
// whole bitmap.
#include <cairo.h>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/image/cg_image.h"
#include "platform/ui/animation/ca_transaction.h"
#include "platform/ui/draw/context.h"
#include "platform/ui/layer/ca_layer.h"
#include "platform/ui/layer/layer_renderer.h"

namespace {

constexpr int kW = 150, kH = 120;
constexpr CGFloat kScale = 3;

// Fine stripes of every shade, partly translucent, for the layer to be composited over.
cairo_surface_t* background() {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kW, kH);
    cairo_surface_flush(s);
    unsigned char* d = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            unsigned char a = y < kH / 2 ? 255 : static_cast<unsigned char>(90 + x % 160);
            unsigned char* p = d + y * stride + x * 4;
            for (int c = 0; c < 3; ++c) p[c] = static_cast<unsigned char>((x * 7 + y * 13 + c * 85) % (a + 1));
            p[3] = a;
        }
    cairo_surface_mark_dirty(s);
    return s;
}

// The layer drawn by the renderer (under the screen's scale) over the background.
cairo_surface_t* rendered(CALayer& layer) {
    cairo_surface_t* target = background();
    cairo_t* cr = cairo_create(target);
    cairo_scale(cr, kScale, kScale);
    RenderPass pass(kScale);
    LayerRenderer::renderLayer(cr, layer, pass);
    cairo_destroy(cr);
    cairo_surface_flush(target);
    return target;
}

// What a group over the whole target gives: the layer drawn opaque into a transparent surface
// the target's size, painted over the background with the opacity.
cairo_surface_t* throughWholeGroup(CALayer& layer, float opacity) {
    cairo_surface_t* group = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kW, kH);
    {
        CATransaction::begin();
        CATransaction::setDisableActions(true);
        layer.setOpacity(1);
        cairo_t* cr = cairo_create(group);
        cairo_scale(cr, kScale, kScale);
        RenderPass pass(kScale);
        LayerRenderer::renderLayer(cr, layer, pass);
        cairo_destroy(cr);
        layer.setOpacity(opacity);
        CATransaction::commit();
    }
    cairo_surface_t* target = background();
    cairo_t* cr = cairo_create(target);
    cairo_set_source_surface(cr, group, 0, 0);
    cairo_paint_with_alpha(cr, opacity);
    cairo_destroy(cr);
    cairo_surface_destroy(group);
    cairo_surface_flush(target);
    return target;
}

std::string firstDifference(cairo_surface_t* a, cairo_surface_t* b) {
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            const unsigned char* pa = cairo_image_surface_get_data(a) + y * cairo_image_surface_get_stride(a) + x * 4;
            const unsigned char* pb = cairo_image_surface_get_data(b) + y * cairo_image_surface_get_stride(b) + x * 4;
            if (std::memcmp(pa, pb, 4) != 0) return std::to_string(x) + "," + std::to_string(y);
        }
    return "";
}

void expectSamePixels(CALayer& layer, float opacity, const std::string& what) {
    cairo_surface_t* ours = rendered(layer);
    cairo_surface_t* group = throughWholeGroup(layer, opacity);
    EXPECT_EQ(firstDifference(ours, group), "") << what << " at opacity " << opacity;
    cairo_surface_destroy(ours);
    cairo_surface_destroy(group);
}

TEST(TranslucentLayerTest, APlainFillCompositesAsItsGroupWouldForEveryOpacityAndColour) {
    CATransaction::begin();
    CATransaction::setDisableActions(true);
    auto dim = CALayer::make();
    dim->setFrame(CGRectMake(0, 0, kW / kScale, kH / kScale));
    const std::vector<CGColor> colours = {CGColor::rgb(0, 0, 0, 0.8), CGColor::rgb(1, 1, 1, 0.5),
                                          CGColor::rgb(0.2, 0.45, 0.9, 0.7), CGColor::rgb(0.3, 0.3, 0.3, 1),
                                          CGColor::rgb(1, 0, 0.5, 0.33)};
    for (const CGColor& c : colours) {
        dim->setBackgroundColor(c);
        for (float opacity : {0.002f, 0.05f, 0.1f, 0.25f, 0.333f, 0.5f, 0.618f, 0.75f, 0.9f, 0.99f, 0.9999f}) {
            dim->setOpacity(opacity);
            expectSamePixels(*dim, opacity, "colour " + std::to_string(c.red) + "/" + std::to_string(c.alpha));
        }
    }
    // Not on whole pixels, or turned: the group is still used, and still matches.
    dim->setFrame(CGRectMake(3.1, 2.2, 30.4, 20.05));
    dim->setOpacity(0.4f);
    expectSamePixels(*dim, 0.4f, "fractional frame");
    dim->setAffineTransform(CGAffineTransformMakeRotation(0.2));
    expectSamePixels(*dim, 0.4f, "turned");
    CATransaction::commit();
}

TEST(TranslucentLayerTest, AGroupEndingAtItsLayerDrawsAsTheWholeGroupUnderAnyScale) {
    CATransaction::begin();
    CATransaction::setDisableActions(true);
    auto holder = CALayer::make();
    holder->setFrame(CGRectMake(4, 3, 22, 18));
    auto card = CALayer::make();
    card->setFrame(CGRectMake(1.5, 2.25, 17, 12));
    card->setBackgroundColor(CGColor::rgb(0.9, 0.9, 0.85, 1));
    card->setCornerRadius(3);
    card->setBorderWidth(0.5);
    card->setBorderColor(CGColor::rgb(0.1, 0.1, 0.1, 1));
    holder->addSublayer(card);
    // A picture scaled into place, whose sampling follows the group's origin.
    std::vector<std::uint8_t> px(16 * 16 * 4);
    for (std::size_t i = 0; i < px.size(); i += 4) {
        px[i] = static_cast<std::uint8_t>(i * 5), px[i + 1] = static_cast<std::uint8_t>(i * 11);
        px[i + 2] = static_cast<std::uint8_t>(255 - i), px[i + 3] = 255;
    }
    auto picture = CALayer::make();
    picture->setFrame(CGRectMake(3, 4, 9.7, 7.3));
    picture->setContents(
        CGImage::create(16, 16, 16 * 4, std::move(px), nullptr, CGImagePixelLayout::BGRA8Premultiplied));
    card->addSublayer(picture);
    for (double s : {1.0, 0.37, 0.81, 1.13}) {
        holder->setAffineTransform(CGAffineTransformMakeScale(s, s));
        for (float opacity : {0.3f, 0.77f}) {
            holder->setOpacity(opacity);
            expectSamePixels(*holder, opacity, "scale " + std::to_string(s));
        }
    }
    CATransaction::commit();
}

// Draws a square at a place it is told.
struct Square : CALayerDelegate {
    CGFloat x = 0;
    bool drawLayerInContext(CALayer&, CGContext& context) override {
        context.setRGBFillColor(1, 0, 0, 1);
        context.fillRect(CGRectMake(x, 0, 4, 4));
        return true;
    }
};

TEST(LayerDisplayTest, ALayerDrawnAgainAtItsSizeShowsOnlyItsNewDrawing) {
    auto square = std::make_shared<Square>();
    auto layer = CALayer::make();
    layer->setFrame(CGRectMake(0, 0, 20, 4));
    layer->setDelegate(square);
    layer->setNeedsDisplay();
    // The alpha of the snapshot's middle row at a point's x.
    auto alphaAt = [&](int x) {
        auto image = LayerRenderer::snapshot(*layer, 2);
        if (!image) return -1;
        return int(image->row(4)[x * 2 * 4 + 3]);
    };
    EXPECT_EQ(alphaAt(1), 255);
    EXPECT_EQ(alphaAt(13), 0);
    const void* firstStore = layer->backingStore().get();
    ASSERT_TRUE(firstStore);
    square->x = 12;
    layer->setNeedsDisplay();
    EXPECT_EQ(alphaAt(1), 0) << "the old square is gone";
    EXPECT_EQ(alphaAt(13), 255);
    EXPECT_EQ(layer->backingStore().get(), firstStore) << "the bitmap of the same size is kept";
    // A bitmap someone else still holds is not drawn over: a new one is made.
    auto held = layer->backingStore();
    square->x = 0;
    layer->setNeedsDisplay();
    EXPECT_EQ(alphaAt(1), 255);
    EXPECT_EQ(alphaAt(13), 0);
    EXPECT_NE(layer->backingStore(), held);
}

}  // namespace

namespace {

// Text-like drawing: a few small squares somewhere in a wide bitmap.
struct Specks : CALayerDelegate {
    std::vector<CGRect> specks;
    bool drawLayerInContext(CALayer&, CGContext& context) override {
        context.setRGBFillColor(0.1, 0.3, 0.9, 0.8);
        for (const CGRect& r : specks) context.fillRect(r);
        return true;
    }
};

// The layer drawn by the renderer, and a stand-in showing the same bitmap as its contents (which
// the renderer composites whole), over the background: the same pixels.
void expectSameAsWholeBitmap(CALayer& layer, const std::string& what) {
    cairo_surface_t* ours = rendered(layer);
    auto bitmap = LayerRenderer::drawnBitmap(layer);
    ASSERT_TRUE(bitmap) << what;
    auto whole = CALayer::make();
    whole->setFrame(layer.frame());
    whole->setContentsScale(kScale);
    whole->setContents(bitmap);
    cairo_surface_t* reference = rendered(*whole);
    EXPECT_EQ(firstDifference(ours, reference), "") << what;
    cairo_surface_destroy(ours);
    cairo_surface_destroy(reference);
}

}  // namespace

TEST(LayerDisplayTest, ABitmapOffThePixelsCompositesOnlyAroundItsDrawingWithTheSamePixels) {
    CATransaction::begin();
    CATransaction::setDisableActions(true);
    auto specks = std::make_shared<Specks>();
    auto layer = CALayer::make();
    // A fractional place, and a bitmap a fraction of a pixel wider than the bounds take.
    layer->setFrame(CGRectMake(3.37, 2.2, 45.3, 33.3));
    layer->setContentsScale(kScale);
    layer->setDelegate(specks);
    specks->specks = {CGRectMake(10.2, 4.1, 3, 5), CGRectMake(20, 6.5, 0.4, 2)};
    layer->setNeedsDisplay();
    layer->displayIfNeeded();
    expectSameAsWholeBitmap(*layer, "specks inside");
    // Drawing at the bitmap's edges, where the samples past the edge repeat it.
    specks->specks = {CGRectMake(0, 0, 2, 2), CGRectMake(44, 31.9, 1.3, 1.4)};
    layer->setNeedsDisplay();
    layer->displayIfNeeded();
    expectSameAsWholeBitmap(*layer, "specks at the edges");
    // Drawn again into the kept bitmap after its drawing was found: nothing of the old is left.
    specks->specks = {CGRectMake(18, 3, 4, 4)};
    layer->setNeedsDisplay();
    layer->displayIfNeeded();
    auto fresh = CALayer::make();
    fresh->setFrame(layer->frame());
    fresh->setContentsScale(kScale);
    fresh->setDelegate(specks);
    fresh->setNeedsDisplay();
    fresh->displayIfNeeded();
    EXPECT_EQ(LayerRenderer::drawnBitmap(*layer)->bytes(), LayerRenderer::drawnBitmap(*fresh)->bytes());
    expectSameAsWholeBitmap(*layer, "drawn again");
    // Nothing drawn: nothing laid over the background.
    specks->specks.clear();
    layer->setNeedsDisplay();
    layer->displayIfNeeded();
    cairo_surface_t* ours = rendered(*layer);
    cairo_surface_t* plain = background();
    EXPECT_EQ(firstDifference(ours, plain), "");
    cairo_surface_destroy(ours);
    cairo_surface_destroy(plain);
    CATransaction::commit();
}
