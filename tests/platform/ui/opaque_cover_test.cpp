// Areas a layer tree covers with an opaque square need no clearing before it is drawn: within
// them the tree draws the same pixels whatever the target held, and every way of letting the old
// pixels show through (translucency, rounding, clipping, turning, part pixels) is refused.
#include <cairo.h>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "platform/ui/animation/ca_transaction.h"
#include "platform/ui/layer/ca_layer.h"
#include "platform/ui/layer/layer_renderer.h"

namespace {

constexpr int kW = 150, kH = 120;
constexpr CGFloat kScale = 3;

// Translucent stripes of every shade, or black: what the target held before the tree is drawn.
cairo_surface_t* target(bool stale) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kW, kH);
    cairo_surface_flush(s);
    unsigned char* d = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            unsigned char* p = d + y * stride + x * 4;
            unsigned char a = stale ? static_cast<unsigned char>(60 + (x * 3 + y) % 196) : 255;
            for (int c = 0; c < 3; ++c)
                p[c] = stale ? static_cast<unsigned char>((x * 7 + y * 13 + c * 85) % (a + 1)) : 0;
            p[3] = a;
        }
    cairo_surface_mark_dirty(s);
    return s;
}

bool covers(CALayer& layer, const CGRect& pixels) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kW, kH);
    cairo_t* cr = cairo_create(s);
    cairo_scale(cr, kScale, kScale);
    bool result = LayerRenderer::coversOpaquely(cr, layer, pixels);
    cairo_destroy(cr);
    cairo_surface_destroy(s);
    return result;
}

// The tree drawn over the target, clipped to the device rectangle, as the screen draws a damaged area.
cairo_surface_t* drawnOver(CALayer& layer, bool stale, const CGRect& pixels) {
    cairo_surface_t* s = target(stale);
    cairo_t* cr = cairo_create(s);
    cairo_rectangle(cr, pixels.origin.x, pixels.origin.y, pixels.size.width, pixels.size.height);
    cairo_clip(cr);
    cairo_scale(cr, kScale, kScale);
    RenderPass pass(kScale);
    LayerRenderer::renderLayer(cr, layer, pass);
    cairo_destroy(cr);
    cairo_surface_flush(s);
    return s;
}

// The first pixel inside the rectangle where the tree drawn over stale pixels differs from the
// tree drawn over black; empty when none does.
std::string differenceFromBlack(CALayer& layer, const CGRect& pixels) {
    cairo_surface_t* a = drawnOver(layer, true, pixels);
    cairo_surface_t* b = drawnOver(layer, false, pixels);
    std::string found;
    for (int y = int(pixels.origin.y); y < int(CGRectGetMaxY(pixels)) && found.empty(); ++y)
        for (int x = int(pixels.origin.x); x < int(CGRectGetMaxX(pixels)) && found.empty(); ++x) {
            const unsigned char* pa = cairo_image_surface_get_data(a) + y * cairo_image_surface_get_stride(a) + x * 4;
            const unsigned char* pb = cairo_image_surface_get_data(b) + y * cairo_image_surface_get_stride(b) + x * 4;
            if (std::memcmp(pa, pb, 4) != 0) found = std::to_string(x) + "," + std::to_string(y);
        }
    cairo_surface_destroy(a);
    cairo_surface_destroy(b);
    return found;
}

struct Tree {
    std::shared_ptr<CALayer> root = CALayer::make(), card = CALayer::make(), veil = CALayer::make(),
                             badge = CALayer::make();
    Tree() {
        root->setFrame(CGRectMake(0, 0, kW / kScale, kH / kScale));
        // An opaque card whose left edge falls inside a device pixel (10.2 points: 30.6 pixels).
        card->setFrame(CGRectMake(10.2, 5, 30, 30));
        card->setBackgroundColor(CGColor::rgb(0.2, 0.6, 0.3, 1));
        root->addSublayer(card);
        // Translucent and shadowed layers over it, drawn through groups.
        veil->setFrame(CGRectMake(5, 2, 20, 20));
        veil->setBackgroundColor(CGColor::rgb(0.9, 0.1, 0.1, 0.5));
        veil->setOpacity(0.7f);
        card->addSublayer(veil);
        badge->setFrame(CGRectMake(2, 18, 8, 6));
        badge->setBackgroundColor(CGColor::rgb(1, 1, 1, 1));
        badge->setCornerRadius(2);
        badge->setShadowOpacity(0.5f);
        badge->setShadowRadius(2);
        card->addSublayer(badge);
    }
};

// The card's whole pixels: columns 31 to 119, rows 15 to 104.
const CGRect kInside = CGRectMake(31, 15, 89, 90);

}  // namespace

TEST(OpaqueCoverTest, ACoveredAreaDrawsTheSamePixelsOverWhateverWasThere) {
    CATransaction::begin();
    CATransaction::setDisableActions(true);
    Tree t;
    ASSERT_TRUE(covers(*t.root, kInside));
    EXPECT_EQ(differenceFromBlack(*t.root, kInside), "");
    EXPECT_TRUE(covers(*t.root, CGRectMake(40, 20, 9, 4))) << "a small part of it";
    // The pixel column the card's edge passes through is only partly covered.
    EXPECT_FALSE(covers(*t.root, CGRectMake(30, 15, 89, 90)));
    EXPECT_NE(differenceFromBlack(*t.root, CGRectMake(30, 15, 89, 90)), "") << "the check refuses a real difference";
    EXPECT_FALSE(covers(*t.root, CGRectMake(31, 15, 89, 91))) << "a row below the card";
    EXPECT_FALSE(covers(*t.root, CGRectMake(31, 15, 90, 90))) << "the column its right edge passes through";
    // Moved by whole pixels through a parent, still covering.
    t.root->setPosition({t.root->position().x + 1, t.root->position().y + 1});
    EXPECT_TRUE(covers(*t.root, CGRectMake(34, 18, 89, 90)));
    EXPECT_EQ(differenceFromBlack(*t.root, CGRectMake(34, 18, 89, 90)), "");
    // A square clip of a parent that leaves the card whole.
    t.root->setMasksToBounds(true);
    EXPECT_TRUE(covers(*t.root, CGRectMake(34, 18, 89, 90)));
    CATransaction::commit();
}

TEST(OpaqueCoverTest, NothingLettingTheOldPixelsShowThroughCounts) {
    CATransaction::begin();
    CATransaction::setDisableActions(true);
    struct Case {
        const char* what;
        void (*change)(Tree&);
    };
    const Case cases[] = {
        {"translucent colour", [](Tree& t) { t.card->setBackgroundColor(CGColor::rgb(0.2, 0.6, 0.3, 0.99)); }},
        {"translucent layer", [](Tree& t) { t.card->setOpacity(0.99f); }},
        {"translucent parent", [](Tree& t) { t.root->setOpacity(0.5f); }},
        {"hidden", [](Tree& t) { t.card->setHidden(true); }},
        {"hidden parent", [](Tree& t) { t.root->setHidden(true); }},
        {"no colour", [](Tree& t) { t.card->setBackgroundColor(std::nullopt); }},
        {"rounded corners", [](Tree& t) { t.card->setCornerRadius(4); }},
        {"turned", [](Tree& t) { t.card->setAffineTransform(CGAffineTransformMakeRotation(0.05)); }},
        {"clipped by a parent",
         [](Tree& t) {
             t.root->setBounds(CGRectMake(0, 0, 20, 40));
             t.root->setMasksToBounds(true);
         }},
        {"masked parent",
         [](Tree& t) {
             auto mask = CALayer::make();
             mask->setFrame(CGRectMake(0, 0, 50, 40));
             mask->setBackgroundColor(CGColor::rgb(0, 0, 0, 0.5));
             t.root->setMask(mask);
         }},
        {"shadowed card",
         [](Tree& t) {
             t.card->setShadowOpacity(0.4f);
             t.card->setShadowRadius(3);
         }},
    };
    for (const Case& c : cases) {
        Tree t;
        c.change(t);
        EXPECT_FALSE(covers(*t.root, kInside)) << c.what;
    }
    Tree t;
    EXPECT_FALSE(covers(*t.root, CGRectMake(31.5, 15, 20, 20))) << "a rectangle not on whole pixels";
    EXPECT_FALSE(covers(*t.root, CGRectMake(31, 15, 0, 20))) << "an empty rectangle";
    CATransaction::commit();
}
