// The flat palette: the 48 colours with names, hex codes and contrast text; gradient colours;
// colour schemes; the five colours found in two photograph-like pictures.
#include <string>
#include <vector>

#include "platform/image/color_space.h"
#include "platform/ui/app/ui_window.h"
#include "platform/ui/control/ui_image_view.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/draw/gradient.h"
#include "platform/ui/draw/graphics.h"
#include "platform/ui/draw/image.h"
#include "platform/ui/text/ui_font.h"
#include "tools/gallery/gallery.h"
#include "widgets/flat/flat_contrast.h"
#include "widgets/flat/flat_gradient.h"
#include "widgets/flat/flat_hex.h"
#include "widgets/flat/flat_image_colors.h"
#include "widgets/flat/flat_palette.h"
#include "widgets/flat/flat_schemes.h"

namespace {
constexpr CGFloat kMargin = 8;
constexpr CGFloat kTop = 52;
constexpr CGFloat kSwatchHeight = 31;
constexpr CGFloat kSchemeSwatch = 66;

std::shared_ptr<UILabel> label(const std::string& text, CGRect frame, std::shared_ptr<UIColor> color,
                               CGFloat size = 11) {
    auto l = UILabel::make(frame);
    l->setText(text);
    l->setFont(UIFont::systemFontOfSize(size));
    l->setTextColor(std::move(color));
    return l;
}

std::shared_ptr<UIView> swatch(CGRect frame, std::shared_ptr<UIColor> color) {
    auto v = UIView::make(frame);
    v->setBackgroundColor(std::move(color));
    return v;
}

void palette(GalleryPage& page) {
    auto window = page.newWindow();
    window->setBackgroundColor(UIColor::whiteColor());
    CGFloat width = (390 - 3 * kMargin) / 2;
    for (std::size_t i = 0; i < kFlatColorCount; ++i) {
        auto color = flatColorAtIndex(i);
        CGFloat x = kMargin + (i % 2) * (width + kMargin);
        CGFloat y = kTop + (i / 2) * (kSwatchHeight + 1);
        auto cell = swatch({{x, y}, {width, kSwatchHeight}}, color);
        auto ink = colorWithContrastingBlackOrWhiteColorOn(color, true);
        cell->addSubview(label(flatColorEntry(i).name, {{6, 1}, {width - 12, 16}}, ink));
        cell->addSubview(label(hexValue(*color), {{6, 15}, {width - 12, 14}}, ink, 10));
        window->addSubview(cell);
    }
    page.shotScreen("palette");
}

void gradientsAndSchemes(GalleryPage& page) {
    auto window = page.newWindow();
    window->setBackgroundColor(UIColor::colorWithWhite(0.95, 1));
    CGFloat y = kTop;
    window->addSubview(
        label("gradients: left to right, radial, top to bottom", {{kMargin, y}, {374, 14}}, UIColor::darkGrayColor()));
    y += 18;
    std::vector<std::shared_ptr<UIColor>> pair = {flatSkyBlueColor(), flatPurpleColorDark()};
    CGFloat x = kMargin;
    for (auto style : {UIGradientStyle::LeftToRight, UIGradientStyle::Radial, UIGradientStyle::TopToBottom}) {
        // The renderer does not tile pattern colours as backgrounds: the gradient's image is shown.
        CGRect frame{{x, y}, {118, 90}};
        (void)colorWithGradientStyle(style, frame, pair);
        auto shown = UIImageView::make(frame);
        shown->setImage(gradientImage());
        window->addSubview(shown);
        x += 124;
    }
    y += 100;
    struct Row {
        std::string name;
        std::shared_ptr<UIColor> color;
        ColorScheme scheme;
        bool flat;
    };
    std::vector<Row> rows = {
        {"analogous of flat red", flatRedColor(), ColorScheme::Analogous, false},
        {"analogous of flat red, flat", flatRedColor(), ColorScheme::Analogous, true},
        {"triadic of flat mint", flatMintColor(), ColorScheme::Triadic, false},
        {"triadic of flat mint, flat", flatMintColor(), ColorScheme::Triadic, true},
        {"complementary of flat sky blue", flatSkyBlueColor(), ColorScheme::Complementary, false},
        {"complementary of flat sky blue, flat", flatSkyBlueColor(), ColorScheme::Complementary, true},
        {"analogous of a grey, flat (repairs)", UIColor::colorWithWhite(0.5, 1), ColorScheme::Analogous, true},
    };
    for (const auto& row : rows) {
        window->addSubview(label(row.name, {{kMargin, y}, {374, 14}}, UIColor::darkGrayColor()));
        y += 16;
        auto colors = NSArrayFlatKit::arrayOfColorsWithColorScheme(row.scheme, row.color, row.flat);
        for (std::size_t i = 0; i < colors.size(); ++i) {
            auto cell = swatch({{kMargin + i * (kSchemeSwatch + 8), y}, {kSchemeSwatch, 52}}, colors[i]);
            cell->addSubview(label(hexValue(*colors[i]), {{4, 36}, {60, 14}},
                                   colorWithContrastingBlackOrWhiteColorOn(colors[i], true), 10));
            window->addSubview(cell);
        }
        y += 60;
    }
    page.shotScreen("gradients-and-schemes");
}

// Two painted "photographs": a sunset over hills, and a green field under a blue sky.
std::shared_ptr<UIImage> paint(CGSize size, const std::function<void(CGContext&, CGSize)>& scene) {
    UIGraphicsBeginImageContextWithOptions(size, true, 1);
    scene(*UIGraphicsGetCurrentContext(), size);
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return image;
}

void linear(CGContext& c, CGRect area, CGColor top, CGColor bottom) {
    auto g = CGGradient::createWithColors(CGColorSpaceCreateDeviceRGB(), {top, bottom});
    c.saveGState();
    c.clipToRect(area);
    c.drawLinearGradient(*g, {0, area.origin.y}, {0, CGRectGetMaxY(area)}, 0);
    c.restoreGState();
}

std::shared_ptr<UIImage> sunset() {
    return paint({320, 200}, [](CGContext& c, CGSize s) {
        linear(c, {{0, 0}, {s.width, 150}}, CGColor::rgb(0.35, 0.15, 0.45), CGColor::rgb(0.98, 0.55, 0.2));
        c.setFillColorWithColor(CGColor::rgb(0.1, 0.06, 0.12));
        c.fillRect({{0, 150}, {s.width, 50}});
        c.setFillColorWithColor(CGColor::rgb(1.0, 0.85, 0.4));
        c.fillEllipseInRect({{190, 95}, {60, 60}});
        c.setFillColorWithColor(CGColor::rgb(0.18, 0.1, 0.2));
        c.fillEllipseInRect({{-80, 110}, {300, 200}});
        c.setFillColorWithColor(CGColor::rgb(0.1, 0.06, 0.12));
        c.fillEllipseInRect({{120, 125}, {320, 200}});
    });
}

std::shared_ptr<UIImage> meadow() {
    return paint({320, 200}, [](CGContext& c, CGSize s) {
        linear(c, {{0, 0}, {s.width, 110}}, CGColor::rgb(0.2, 0.45, 0.85), CGColor::rgb(0.65, 0.82, 0.95));
        c.setFillColorWithColor(CGColor::rgb(1, 1, 1));
        c.fillEllipseInRect({{40, 25}, {90, 30}});
        linear(c, {{0, 110}, {s.width, 90}}, CGColor::rgb(0.45, 0.7, 0.2), CGColor::rgb(0.2, 0.45, 0.1));
        c.setFillColorWithColor(CGColor::rgb(0.85, 0.2, 0.25));
        for (int i = 0; i < 12; ++i) c.fillEllipseInRect({{20.0 + i * 25, 150.0 + (i % 3) * 12}, {8, 8}});
    });
}

void imageColours(GalleryPage& page) {
    auto window = page.newWindow();
    window->setBackgroundColor(UIColor::whiteColor());
    CGFloat y = kTop;
    for (auto [name, image] : {std::pair{"sunset", sunset()}, std::pair{"meadow", meadow()}}) {
        auto picture = UIImageView::make(CGRect{{35, y}, {320, 200}});
        picture->setImage(image);
        window->addSubview(picture);
        y += 206;
        for (bool flat : {false, true}) {
            window->addSubview(label(std::string(name) + (flat ? ": five colours, flat" : ": five colours"),
                                     {{kMargin, y}, {374, 14}}, UIColor::darkGrayColor()));
            y += 16;
            auto colors = NSArrayFlatKit::arrayOfColorsFromImage(image, flat);
            for (std::size_t i = 0; i < colors.size(); ++i) {
                auto cell = swatch({{kMargin + i * (kSchemeSwatch + 8), y}, {kSchemeSwatch, 40}}, colors[i]);
                cell->layer()->setBorderWidth(0.5);
                cell->layer()->setBorderColor(CGColor::gray(0.7));
                cell->addSubview(label(hexValue(*colors[i]), {{4, 24}, {60, 14}},
                                       colorWithContrastingBlackOrWhiteColorOn(colors[i], true), 10));
                window->addSubview(cell);
            }
            y += 46;
        }
        y += 8;
    }
    page.shotScreen("image-colours");
}
}  // namespace

void galleryFlatColours(GalleryPage& page) {
    palette(page);
    gradientsAndSchemes(page);
    imageColours(page);
}
