// The renderer's shortcuts give Cairo's own bytes: the pixel kernels against Cairo's compositing of
// the same colours, and whole trees drawn with the shortcuts against the same trees drawn with
// them off (a dimmed picture in one pass, plain translucent fills, drawn bitmaps whose all-zero
// margins are left out, drawn bitmaps resampled between pixels), over stale pixels and through
// clips of several boxes.
#include <cairo.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/image/cg_image.h"
#include "platform/ui/animation/ca_transaction.h"
#include "platform/ui/draw/context.h"
#include "platform/ui/draw/path.h"
#include "platform/ui/layer/ca_layer.h"
#include "platform/ui/layer/ca_shape_layer.h"
#include "platform/ui/layer/layer_renderer.h"
#include "platform/ui/layer/pixel_compose.h"
#include "platform/ui/layer/surface_pool.h"

namespace {

constexpr int kW = 150, kH = 120;
constexpr CGFloat kScale = 3;

// Premultiplied pixels of every shade, part of them translucent and some fully clear.
std::uint32_t stalePixel(int x, int y, int seed) {
    const std::uint32_t a = (x + y + seed) % 7 == 0 ? 0 : (x * 3 + y * 5 + seed) % 256;
    const std::uint32_t r = (x * 7 + y * 13 + seed) % (a + 1), g = (x * 11 + y * 3) % (a + 1),
                        b = (y * 17 + seed) % (a + 1);
    return (a << 24) | (r << 16) | (g << 8) | b;
}

cairo_surface_t* staleSurface(int w, int h, int seed) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    cairo_surface_flush(s);
    for (int y = 0; y < h; ++y) {
        auto* row =
            reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(s) + y * cairo_image_surface_get_stride(s));
        for (int x = 0; x < w; ++x) row[x] = stalePixel(x, y, seed);
    }
    cairo_surface_mark_dirty(s);
    return s;
}

std::uint32_t* rowOf(cairo_surface_t* s, int y) {
    return reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(s) + y * cairo_image_surface_get_stride(s));
}

// Cairo's OVER of a premultiplied solid colour (set as Cairo's 16-bit channels, byte times 257).
void cairoOverSolid(cairo_t* cr, std::uint32_t colour) {
    const double a = colour >> 24;
    if (a == 0) return;
    cairo_set_source_rgba(cr, ((colour >> 16) & 0xFF) / a, ((colour >> 8) & 0xFF) / a, (colour & 0xFF) / a, a / 255);
    cairo_paint(cr);
}

TEST(PixelComposeTest, KernelsGiveCairosBytes) {
    constexpr int w = 61, h = 23;  // rows of odd lengths: the wide loop and its tail
    for (std::uint32_t colour : {0x00000000u, 0x7A000000u, 0x80402010u, 0xFFC08040u, 0x0C0C0C0Cu, 0xD3D30017u}) {
        cairo_surface_t* expected = staleSurface(w, h, 1);
        cairo_surface_t* picture = staleSurface(w, h, 2);
        cairo_t* cr = cairo_create(expected);
        cairo_set_source_surface(cr, picture, 0, 0);
        cairo_paint(cr);
        cairoOverSolid(cr, colour);
        cairo_destroy(cr);
        cairo_surface_flush(expected);
        cairo_surface_t* fused = staleSurface(w, h, 1);
        cairo_surface_flush(fused);
        for (int y = 0; y < h; ++y)
            pixel_compose::overPictureThenSolid(rowOf(fused, y), rowOf(picture, y), w - y % 9, colour);
        // The columns a row left out are drawn on their own: the picture alone, then the colour.
        for (int y = 0; y < h; ++y) {
            const int from = w - y % 9;
            pixel_compose::overPictureThenSolid(rowOf(fused, y) + from, rowOf(picture, y) + from, w - from, 0);
            pixel_compose::overSolid(rowOf(fused, y) + from, w - from, colour);
        }
        for (int y = 0; y < h; ++y)
            ASSERT_EQ(std::memcmp(rowOf(fused, y), rowOf(expected, y), w * 4), 0)
                << "colour " << std::hex << colour << " row " << y;
        cairo_surface_destroy(expected);
        cairo_surface_destroy(picture);
        cairo_surface_destroy(fused);
    }
}

// Clips of whole pixels in several boxes, as the screen's damaged areas come.
const std::vector<CGRect> kBoxes{CGRectMake(0, 0, kW, kH), CGRectMake(10, 7, 61, 40), CGRectMake(80, 50, 53, 66)};

// Leaves the pool's buffers full of a colour, as frames before leave them.
void soilPool() {
    std::vector<cairo_surface_t*> taken;
    for (int side : {8, 20, 40, 60, 90, 120, 150})
        for (int other : {side / 2, side}) {
            cairo_surface_t* s = SurfacePool::shared().transparentSurface(side, other);
            cairo_t* cr = cairo_create(s);
            cairo_set_source_rgba(cr, 0.7, 0.1, 0.4, 0.9);
            cairo_paint(cr);
            cairo_destroy(cr);
            taken.push_back(s);
        }
    for (cairo_surface_t* s : taken) cairo_surface_destroy(s);
}

// The layer drawn over stale pixels through the clip boxes, with the shortcuts on or off.
cairo_surface_t* drawn(CALayer& layer, bool shortcuts, const std::vector<CGRect>& boxes) {
    soilPool();
    cairo_surface_t* target = staleSurface(kW, kH, 5);
    cairo_t* cr = cairo_create(target);
    for (const CGRect& r : boxes) cairo_rectangle(cr, r.origin.x, r.origin.y, r.size.width, r.size.height);
    cairo_clip(cr);
    cairo_scale(cr, kScale, kScale);
    RenderPass pass(kScale, LayerValues::Presented, shortcuts ? RenderShortcuts::On : RenderShortcuts::Off);
    LayerRenderer::renderLayer(cr, layer, pass);
    cairo_destroy(cr);
    cairo_surface_flush(target);
    return target;
}

std::string firstDifference(cairo_surface_t* a, cairo_surface_t* b) {
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            if (rowOf(a, y)[x] != rowOf(b, y)[x]) {
                char buf[64];
                std::snprintf(buf, sizeof buf, " %08x %08x", rowOf(a, y)[x], rowOf(b, y)[x]);
                return std::to_string(x) + "," + std::to_string(y) + buf;
            }
    return "";
}

void expectSameWithoutShortcuts(CALayer& layer, const std::string& what) {
    for (const auto& boxes : {std::vector<CGRect>{kBoxes[0]}, std::vector<CGRect>{kBoxes[1], kBoxes[2]}}) {
        cairo_surface_t* fast = drawn(layer, true, boxes);
        cairo_surface_t* slow = drawn(layer, false, boxes);
        EXPECT_EQ(firstDifference(fast, slow), "") << what << ", " << boxes.size() << " clip boxes";
        cairo_surface_destroy(fast);
        cairo_surface_destroy(slow);
    }
}

std::shared_ptr<CGImage> picture(int w, int h, bool opaque) {
    std::vector<std::uint8_t> px(std::size_t(w) * h * 4);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::uint32_t p = stalePixel(x, y, 9);
            if (opaque) p |= 0xFF000000;
            std::memcpy(&px[(std::size_t(y) * w + x) * 4], &p, 4);
        }
    return CGImage::create(w, h, std::size_t(w) * 4, std::move(px), nullptr, CGImagePixelLayout::BGRA8Premultiplied);
}

TEST(RenderShortcutTest, ADimmedPictureDrawsAsCairoDrawsIt) {
    CATransaction::begin();
    CATransaction::setDisableActions(true);
    auto root = CALayer::make();
    root->setFrame(CGRectMake(0, 0, kW / kScale, kH / kScale));
    auto backdrop = CALayer::make();
    backdrop->setContentsScale(kScale);
    root->addSublayer(backdrop);
    auto sender = CALayer::make();  // draws nothing between the two
    sender->setFrame(CGRectMake(5, 5, 10, 10));
    root->addSublayer(sender);
    auto dim = CALayer::make();
    dim->setBackgroundColor(CGColor::rgb(0, 0, 0, 0.8));
    root->addSublayer(dim);
    for (bool opaque : {true, false}) {
        // The picture at whole pixels (4/3 points is 4 pixels), and the dimming over all of it or a part.
        backdrop->setContents(picture(120, 99, opaque));
        backdrop->setFrame(CGRectMake(4.0 / 3, 1, 40, 33));
        for (CGRect dimFrame : {root->bounds(), CGRectMake(10, 12, 20, 30)}) {
            dim->setFrame(dimFrame);
            for (float opacity : {0.001f, 0.2f, 0.595037f, 0.93f}) {
                dim->setOpacity(opacity);
                expectSameWithoutShortcuts(*root, std::string(opaque ? "opaque" : "translucent") +
                                                      " picture, opacity " + std::to_string(opacity));
            }
        }
    }
    // Where the picture is not a copy of whole pixels the layers are drawn one by one, alike.
    dim->setFrame(root->bounds());
    dim->setOpacity(0.5f);
    backdrop->setFrame(CGRectMake(1.1, 1, 40, 33));
    expectSameWithoutShortcuts(*root, "picture between pixels");
    backdrop->setFrame(CGRectMake(1, 1, 30, 33));
    expectSameWithoutShortcuts(*root, "scaled picture");
    backdrop->setFrame(CGRectMake(1, 1, 40, 33));
    sender->setBackgroundColor(CGColor::rgb(0.2, 0.9, 0.1, 1));
    expectSameWithoutShortcuts(*root, "a layer drawing between them");
    sender->setBackgroundColor(std::nullopt);
    dim->setHidden(true);
    expectSameWithoutShortcuts(*root, "no dimming");
    dim->setHidden(false);
    dim->setAffineTransform(CGAffineTransformMakeScale(0, 1));
    expectSameWithoutShortcuts(*root, "dimming scaled to nothing");
    CATransaction::commit();
}

// Draws a disc at a place it is told, leaving the rest of its bitmap clear.
struct Disc : CALayerDelegate {
    CGFloat x = 20;
    bool drawLayerInContext(CALayer&, CGContext& context) override {
        context.setRGBFillColor(0.9, 0.3, 0.1, 0.8);
        context.fillEllipseInRect(CGRectMake(x, 6, 9, 7));
        return true;
    }
};

TEST(RenderShortcutTest, ADrawnBitmapsClearMarginsAreLeftOutUnderAnyScale) {
    CATransaction::begin();
    CATransaction::setDisableActions(true);
    auto holder = CALayer::make();
    holder->setFrame(CGRectMake(2, 3, 46, 30));
    holder->setBackgroundColor(CGColor::rgb(1, 1, 1, 1));
    holder->setCornerRadius(5);
    holder->setMasksToBounds(true);
    auto disc = std::make_shared<Disc>();
    auto drawnLayer = CALayer::make();
    drawnLayer->setFrame(CGRectMake(1, 2, 44, 22));
    drawnLayer->setContentsScale(kScale);
    drawnLayer->setDelegate(disc);
    holder->addSublayer(drawnLayer);
    for (CGFloat x : {20.0, 0.0, 35.0}) {
        // Drawn again elsewhere in the same bitmap: the margins follow the new drawing.
        disc->x = x;
        drawnLayer->setNeedsDisplay();
        drawnLayer->displayIfNeeded();
        for (double s : {1.0, 0.599086, 0.31, 0.05, 1.7}) {
            holder->setAffineTransform(CGAffineTransformMakeScale(s, s * 0.93));
            for (float opacity : {1.0f, 0.6f}) {
                holder->setOpacity(opacity);
                expectSameWithoutShortcuts(*holder, "disc at " + std::to_string(x) + ", scale " + std::to_string(s));
            }
        }
        holder->setAffineTransform(CGAffineTransformMakeRotation(0.3));
        expectSameWithoutShortcuts(*holder, "turned");
    }
    CATransaction::commit();
}

TEST(RenderShortcutTest, ADrawnBitmapBetweenPixelsIsResampledAsCairoResamplesIt) {
    CATransaction::begin();
    CATransaction::setDisableActions(true);
    auto holder = CALayer::make();
    holder->setFrame(CGRectMake(0, 0, kW / kScale, kH / kScale));
    auto disc = std::make_shared<Disc>();
    auto drawnLayer = CALayer::make();
    drawnLayer->setContentsScale(kScale);
    drawnLayer->setDelegate(disc);
    holder->addSublayer(drawnLayer);
    // A value field after a measured title: a fractional place, a width of no whole pixels (its
    // bitmap a little wider, so squeezed), the drawing near either edge or within.
    for (CGRect frame :
         {CGRectMake(3.093, 2, 40.95, 22), CGRectMake(0.41, 7.77, 33.3, 21.3), CGRectMake(9, 4.5, 30, 20)})
        for (CGFloat x : {0.0, 14.0, 31.5}) {
            drawnLayer->setFrame(frame);
            disc->x = x;
            drawnLayer->setNeedsDisplay();
            drawnLayer->displayIfNeeded();
            for (float opacity : {1.0f, 0.7f}) {
                holder->setOpacity(opacity);
                expectSameWithoutShortcuts(*holder, "disc at " + std::to_string(x) + " in a layer at " +
                                                        std::to_string(frame.origin.x) + "," +
                                                        std::to_string(frame.origin.y));
            }
        }
    CATransaction::commit();
}

TEST(RenderShortcutTest, ATranslucentGroupIsClearedAndCompositedOnlyWhereItsLayerDraws) {
    CATransaction::begin();
    CATransaction::setDisableActions(true);
    auto holder = CALayer::make();
    holder->setFrame(CGRectMake(14, 9, 22, 18));
    auto card = CALayer::make();
    card->setFrame(CGRectMake(1.5, 2.25, 17, 12));
    card->setBackgroundColor(CGColor::rgb(0.9, 0.9, 0.85, 1));
    card->setCornerRadius(3);
    card->setBorderWidth(0.5);
    card->setMasksToBounds(true);
    holder->addSublayer(card);
    auto photo = CALayer::make();
    photo->setFrame(CGRectMake(3, 4, 9.7, 7.3));
    photo->setContents(picture(16, 16, true));
    card->addSublayer(photo);
    auto disc = std::make_shared<Disc>();
    disc->x = 2;
    auto drawnLayer = CALayer::make();
    drawnLayer->setFrame(CGRectMake(0, 0, 17, 12));
    drawnLayer->setContentsScale(kScale);
    drawnLayer->setDelegate(disc);
    drawnLayer->setNeedsDisplay();
    drawnLayer->displayIfNeeded();
    card->addSublayer(drawnLayer);
    // An arrow of its own translucency: a group inside the group.
    auto arrow = CALayer::make();
    arrow->setFrame(CGRectMake(8, -4, 6, 5));
    arrow->setOpacity(0.5f);
    auto tip = CAShapeLayer::make();
    CGPath path;
    path.moveToPoint({0, 5});
    path.addLineToPoint({3, 0});
    path.addLineToPoint({6, 5});
    path.closeSubpath();
    tip->setPath(path);
    tip->setFillColor(CGColor::rgb(0.2, 0.3, 0.9, 1));
    arrow->addSublayer(tip);
    holder->addSublayer(arrow);
    // A translucent veil over part of the card: a plain fill laid straight on the group's pixels.
    auto veil = CALayer::make();
    veil->setFrame(CGRectMake(2, 3, 12, 9));
    veil->setBackgroundColor(CGColor::rgb(0.1, 0.5, 0.2, 0.9));
    veil->setOpacity(0.45f);
    holder->addSublayer(veil);
    for (double s : {1.0, 0.599086, 0.23, 1.4}) {
        holder->setAffineTransform(CGAffineTransformMakeScale(s, s));
        for (float opacity : {0.3f, 0.595037f}) {
            holder->setOpacity(opacity);
            expectSameWithoutShortcuts(*holder, "scale " + std::to_string(s) + ", opacity " + std::to_string(opacity));
        }
    }
    CATransaction::commit();
}

}  // namespace
