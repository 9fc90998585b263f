// Groups drawn into pooled buffers: the same pixels as Cairo's own groups under fractional,
// rounded and empty clips and turned matrices, nested; buffers handed out again cleared; shadows
// made once and found again for the same picture only.
#include <cairo.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>

#include "platform/dispatch/clock.h"
#include "platform/image/cg_image.h"
#include "platform/ui/animation/ca_transaction.h"
#include "platform/ui/layer/ca_layer.h"
#include "platform/ui/layer/layer_renderer.h"
#include "platform/ui/layer/shadow_cache.h"
#include "platform/ui/layer/surface_pool.h"

namespace {

using Draw = std::function<void(cairo_t*)>;

// A scene with a translucent group (and a group inside it) under the clip `clip` sets up.
cairo_surface_t* render(const Draw& clip, bool pooled) {
    cairo_surface_t* target = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 120, 90);
    cairo_t* cr = cairo_create(target);
    cairo_set_source_rgb(cr, 0.2, 0.4, 0.9);
    cairo_paint(cr);
    cairo_translate(cr, 7.25, 3.5);
    cairo_scale(cr, 1.5, 1.5);
    clip(cr);
    auto content = [](cairo_t* g) {
        cairo_set_source_rgba(g, 1, 0.5, 0, 0.8);
        cairo_arc(g, 30, 25, 22, 0, 2 * M_PI);
        cairo_fill(g);
        cairo_set_source_rgba(g, 0, 0, 0, 1);
        cairo_rectangle(g, 5.3, 40.7, 60, 3);
        cairo_fill(g);
    };
    if (pooled) {
        LayerGroup outer(cr);
        content(outer.cr());
        {
            LayerGroup inner(outer.cr());
            cairo_set_source_rgba(inner.cr(), 0, 1, 0, 1);
            cairo_rectangle(inner.cr(), 20.5, 10.5, 30, 20);
            cairo_fill(inner.cr());
            cairo_pattern_t* p = inner.finish();
            cairo_set_source(outer.cr(), p);
            cairo_paint_with_alpha(outer.cr(), 0.5);
            cairo_pattern_destroy(p);
        }
        cairo_pattern_t* p = outer.finish();
        cairo_set_source(cr, p);
        cairo_paint_with_alpha(cr, 0.7);
        cairo_pattern_destroy(p);
    } else {
        cairo_push_group(cr);
        content(cr);
        cairo_push_group(cr);
        cairo_set_source_rgba(cr, 0, 1, 0, 1);
        cairo_rectangle(cr, 20.5, 10.5, 30, 20);
        cairo_fill(cr);
        cairo_pop_group_to_source(cr);
        cairo_paint_with_alpha(cr, 0.5);
        cairo_pop_group_to_source(cr);
        cairo_paint_with_alpha(cr, 0.7);
    }
    cairo_destroy(cr);
    cairo_surface_flush(target);
    return target;
}

// The first pixel where the two differ, as "x,y", or "" when none does.
std::string firstDifference(cairo_surface_t* a, cairo_surface_t* b) {
    int w = cairo_image_surface_get_width(a), h = cairo_image_surface_get_height(a);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            auto pa = reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(a) +
                                                             y * cairo_image_surface_get_stride(a))[x];
            auto pb = reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(b) +
                                                             y * cairo_image_surface_get_stride(b))[x];
            if (pa != pb) return std::to_string(x) + "," + std::to_string(y);
        }
    return "";
}

TEST(LayerGroupTest, DrawsTheSamePixelsAsCairosOwnGroups) {
    std::vector<std::pair<const char*, Draw>> clips = {
        {"no clip", [](cairo_t*) {}},
        {"fractional rectangle",
         [](cairo_t* cr) {
             cairo_rectangle(cr, 3.3, 4.6, 50.2, 30.1);
             cairo_clip(cr);
         }},
        {"two rectangles",
         [](cairo_t* cr) {
             cairo_save(cr);
             cairo_identity_matrix(cr);
             cairo_rectangle(cr, 0, 0, 40, 90);
             cairo_rectangle(cr, 60, 10, 60, 30);
             cairo_restore(cr);
             cairo_clip(cr);
         }},
        {"rounded",
         [](cairo_t* cr) {
             cairo_arc(cr, 35, 30, 25, 0, 2 * M_PI);
             cairo_clip(cr);
         }},
        {"turned",
         [](cairo_t* cr) {
             cairo_rotate(cr, 0.3);
             cairo_rectangle(cr, 10, 0, 40, 30);
             cairo_clip(cr);
         }},
        {"empty",
         [](cairo_t* cr) {
             cairo_rectangle(cr, 10, 10, 0, 0);
             cairo_clip(cr);
         }},
    };
    for (const auto& [name, clip] : clips) {
        cairo_surface_t* ours = render(clip, true);
        cairo_surface_t* cairos = render(clip, false);
        EXPECT_EQ(firstDifference(ours, cairos), "") << name;
        cairo_surface_destroy(ours);
        cairo_surface_destroy(cairos);
    }
}

TEST(SurfacePoolTest, ReusesBuffersClearedAndKeepsWithinItsBudget) {
    SurfacePool pool(1 << 20);
    cairo_surface_t* s = pool.transparentSurface(100, 100);
    ASSERT_NE(s, nullptr);
    cairo_t* cr = cairo_create(s);
    cairo_set_source_rgb(cr, 1, 0, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
    EXPECT_EQ(pool.keptCount(), 0u);
    cairo_surface_destroy(s);
    EXPECT_EQ(pool.keptCount(), 1u) << "the buffer comes back when Cairo lets go of the surface";

    // A slightly smaller surface takes the same buffer, and it is transparent again.
    cairo_surface_t* again = pool.transparentSurface(90, 100);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(pool.madeCount(), 1u);
    cairo_surface_flush(again);
    const unsigned char* data = cairo_image_surface_get_data(again);
    int stride = cairo_image_surface_get_stride(again);
    bool clear = true;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 90 * 4; ++x) clear = clear && data[y * stride + x] == 0;
    EXPECT_TRUE(clear);
    // A much smaller one gets a buffer of its own rather than the large one.
    cairo_surface_t* tiny = pool.transparentSurface(4, 4);
    EXPECT_EQ(pool.madeCount(), 2u);
    cairo_surface_destroy(tiny);
    cairo_surface_destroy(again);

    // Buffers beyond the budget are let go, the largest first.
    cairo_surface_t* big = pool.transparentSurface(600, 600);  // 1.4 MB, over the 1 MB budget
    cairo_surface_destroy(big);
    EXPECT_LE(pool.keptBytesNow(), std::size_t(1) << 20);
    EXPECT_EQ(pool.keptCount(), 2u);

    EXPECT_EQ(pool.transparentSurface(0, 10), nullptr);
    EXPECT_EQ(pool.transparentSurface(100000, 100000), nullptr) << "a runaway size is refused";
}

TEST(SurfacePoolTest, LetsGoOfBuffersNoFrameHasTakenForAWhile) {
    Clock::useVirtual();
    SurfacePool pool(1 << 20);
    cairo_surface_t* everyFrame = pool.transparentSurface(100, 100);
    cairo_surface_t* once = pool.transparentSurface(200, 100);  // a pop-up's group, say
    cairo_surface_destroy(everyFrame);
    cairo_surface_destroy(once);
    EXPECT_EQ(pool.keptCount(), 2u);
    auto frames = [&](double seconds) {
        for (double t = 0; t < seconds; t += 0.5) {
            Clock::advanceVirtual(0.5);
            cairo_surface_destroy(pool.transparentSurface(100, 100));
        }
    };
    frames(SurfacePool::kIdleSeconds - 1);
    EXPECT_EQ(pool.keptCount(), 2u) << "not yet";
    frames(1.5);
    EXPECT_EQ(pool.keptCount(), 1u) << "the buffer no frame took is gone";
    EXPECT_EQ(pool.keptBytesNow(), std::size_t(cairo_format_stride_for_width(CAIRO_FORMAT_ARGB32, 100)) * 100);
    EXPECT_EQ(pool.madeCount(), 2u) << "the one in use all along was never made again";
    Clock::useReal();
}

TEST(ShadowCacheTest, ShadowsNotAskedForInAWhileAreLetGo) {
    Clock::useVirtual();
    ShadowCache cache;
    auto key = [](std::uint64_t picture) {
        ShadowCache::Key k;
        k.picture = picture;
        k.width = k.height = 8;
        k.sigma = 2;
        k.alpha = 1;
        return k;
    };
    for (std::uint64_t p : {1, 2}) {
        cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 8, 8);
        cache.insert(key(p), s);
        cairo_surface_destroy(s);
    }
    Clock::advanceVirtual(ShadowCache::kIdleSeconds * 2 / 3);
    cairo_surface_t* shown = cache.find(key(1));  // a resting pop-up's shadow, drawn again
    ASSERT_NE(shown, nullptr);
    cairo_surface_destroy(shown);
    EXPECT_EQ(cache.count(), 2u);
    Clock::advanceVirtual(ShadowCache::kIdleSeconds * 2 / 3);
    shown = cache.find(key(1));
    ASSERT_NE(shown, nullptr);
    cairo_surface_destroy(shown);
    EXPECT_EQ(cache.count(), 1u) << "the shadow of a closed pop-up is gone";
    EXPECT_EQ(cache.find(key(2)), nullptr);
    Clock::useReal();
}

// The record of group sizes follows each layer's identity, which no later layer takes over.
TEST(ShadowCacheTest, AGroupIsSettledWhenItsLayerAsksAgainAtTheSameSize) {
    ShadowCache cache;
    auto gone = CALayer::make();
    const std::uint64_t goneId = gone->layerId();
    EXPECT_FALSE(cache.groupSettled(goneId, 10, 20)) << "a size seen for the first time";
    EXPECT_TRUE(cache.groupSettled(goneId, 10, 20));
    gone.reset();
    auto next = CALayer::make();
    EXPECT_FALSE(cache.groupSettled(next->layerId(), 10, 20)) << "a new layer starts its own record";
    EXPECT_FALSE(cache.groupSettled(next->layerId(), 11, 20)) << "grown";
    EXPECT_TRUE(cache.groupSettled(next->layerId(), 11, 20));
}

TEST(ShadowCacheTest, AShadowIsKeptForAPictureMadeAgainForANewTintAndNotKeptWhileGrowing) {
    CATransaction::begin();
    CATransaction::setDisableActions(true);
    auto root = CALayer::make();
    root->setFrame(CGRectMake(0, 0, 60, 60));
    auto box = CALayer::make();
    box->setFrame(CGRectMake(10.5, 10, 30, 25));
    box->setBackgroundColor(CGColor::rgb(1, 0, 0, 1));
    box->setShadowOpacity(1);
    box->setShadowRadius(4);
    box->setShadowOffset({4, 6});
    box->setShadowColor(CGColor::rgb(0, 0, 0, 1));
    root->addSublayer(box);
    // A group size seen for the first time is only noted; from the second drawing on, the shadow
    // is kept.
    LayerRenderer::snapshot(*root, 2);
    auto first = LayerRenderer::snapshot(*root, 2);
    const std::size_t made = ShadowCache::shared().count();
    auto second = LayerRenderer::snapshot(*root, 2);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->bytes(), second->bytes()) << "the kept shadow draws the same pixels";
    EXPECT_EQ(ShadowCache::shared().count(), made) << "and no new one was made";
    // Below and right of the box only the shadow is drawn: dark, partly opaque.
    const std::uint8_t* below = first->row(2 * 38) + 4 * (2 * 30);
    EXPECT_GT(below[3], 100);
    EXPECT_LT(below[0] + below[1] + below[2], 30);

    box->setShadowColor(CGColor::rgb(0, 0, 1, 1));
    auto blue = LayerRenderer::snapshot(*root, 2);
    ASSERT_TRUE(blue);
    EXPECT_EQ(ShadowCache::shared().count(), made + 1);
    // A layer growing from frame to frame makes no shadows to keep.
    for (int i = 1; i <= 3; ++i) {
        box->setBounds(CGRectMake(0, 0, 30 + i, 25));
        LayerRenderer::snapshot(*root, 2);
    }
    EXPECT_EQ(ShadowCache::shared().count(), made + 1);
    const std::uint8_t* tinted = blue->row(2 * 38) + 4 * (2 * 30);
    EXPECT_GT(tinted[blue->layout() == CGImagePixelLayout::BGRA8Premultiplied ? 0 : 2], 100)
        << "blue, not the old black";
    CATransaction::commit();
}

}  // namespace
