// Marks drawn from a kept layout come out as a label drawn afresh, whatever marks, faces, colours
// and target scales came before.
#include <cairo.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/ui/bar/label_drawing.h"
#include "platform/ui/draw/color.h"
#include "platform/ui/draw/context.h"
#include "platform/ui/draw/drawn_area.h"
#include "platform/ui/draw/graphics.h"
#include "platform/ui/text/ui_font.h"

namespace {

struct Picture {
    std::vector<unsigned char> pixels;
    std::optional<CGRect> reach;
};

// What the drawing leaves on a fresh transparent bitmap at a scale, and the reach it told.
Picture picture(CGFloat scale, const std::function<void()>& body) {
    const int w = static_cast<int>(60 * scale), h = static_cast<int>(44 * scale);
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    cairo_t* cr = cairo_create(surface);
    cairo_scale(cr, scale, scale);
    Picture out;
    {
        auto context = CGContext::makeWithCairo(cr, CGAffineTransformMakeScale(scale, scale));
        DrawnArea area(cr);
        UIGraphicsPushContext(context);
        body();
        UIGraphicsPopContext();
        out.reach = area.pixels();
    }
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    out.pixels.assign(data, data + static_cast<std::size_t>(cairo_image_surface_get_stride(surface)) * h);
    cairo_surface_destroy(surface);
    return out;
}

TEST(LabelMarkTest, AKeptMarkDrawsAsAFreshLabel) {
    const CGRect rect = CGRectMake(10.5, 0, 40, 44);
    struct Case {
        std::string text;
        std::shared_ptr<UIFont> font;
        std::shared_ptr<UIColor> color;
        LabelAlignment alignment;
    };
    const std::vector<Case> cases = {
        {"\u203A", UIFont::systemFontOfSize(24), UIColor::systemGray2Color(), LabelAlignment::Right},
        {"\u203A", UIFont::systemFontOfSize(24), UIColor::redColor(), LabelAlignment::Right},
        {"\u203A", UIFont::systemFontOfSize(30), UIColor::redColor(), LabelAlignment::Right},
        {"\u2713", UIFont::boldSystemFontOfSize(17), UIColor::blueColor(), LabelAlignment::Center},
        {"\u2713", UIFont::systemFontOfSize(17), UIColor::blueColor(), LabelAlignment::Left},
    };
    // Twice round, at two scales in turn, so that each kept layout is drawn again on another target.
    for (int round = 0; round < 2; ++round)
        for (CGFloat scale : {3.0, 2.0})
            for (const auto& c : cases) {
                Picture mark = picture(scale, [&] { drawMark(c.text, rect, c.font, c.color, c.alignment); });
                Picture label = picture(scale, [&] { drawLabel(c.text, rect, c.font, c.color, c.alignment); });
                const std::string what = c.text + " at " + std::to_string(c.font->pointSize()) + " points, scale " +
                                         std::to_string(scale) + ", round " + std::to_string(round);
                EXPECT_TRUE(mark.pixels == label.pixels) << what;
                ASSERT_TRUE(mark.reach && label.reach) << what;
                EXPECT_EQ(*mark.reach, *label.reach) << what;
            }
}

}  // namespace
