// The toolkit's theme: every font role as a sample line, the palette in light and dark, and the
// badges and picture operations.
#include <string>
#include <utility>
#include <vector>

#include "foundation/global.h"
#include "platform/ui/app/ui_screen.h"
#include "platform/ui/app/ui_window.h"
#include "platform/ui/control/ui_image_view.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/draw/context.h"
#include "platform/ui/draw/graphics.h"
#include "platform/ui/draw/image.h"
#include "tools/gallery/gallery.h"
#include "ui/theme/color.h"
#include "ui/theme/font.h"
#include "ui/theme/image_custom.h"
#include "ui/ui_services.h"

namespace {
constexpr CGFloat kLeft = 10;
constexpr CGFloat kTop = 54;
constexpr CGFloat kWidth = 370;

// The role names in catalogue order.
const std::vector<std::string> kFontRoles = {"title",
                                             "input",
                                             "textNormal",
                                             "textNormal0",
                                             "textNormalBold",
                                             "textNormalItalic",
                                             "textNormalBoldItalic",
                                             "textLarge1",
                                             "textLarge2",
                                             "textLarge3",
                                             "textLarge4",
                                             "textSmall1",
                                             "textSmall2",
                                             "textSmall3",
                                             "textSmall4",
                                             "textSmall5",
                                             "textFixedNormal",
                                             "textFixedLarge1",
                                             "textFixedLarge2",
                                             "textFixedLarge3",
                                             "textFixedLarge4",
                                             "textFixedSmall1",
                                             "textFixedSmall2",
                                             "textFixedSmall3",
                                             "textFixedSmall4",
                                             "textFixedSmall5",
                                             "iconNormal",
                                             "iconLarge1",
                                             "iconLarge2",
                                             "iconLarge3",
                                             "iconLarge4",
                                             "iconLarge5",
                                             "iconSmall1",
                                             "iconSmall2",
                                             "iconSmall3",
                                             "iconSmall4",
                                             "iconSmall5",
                                             "iconFixedNormal",
                                             "iconFixedLarge1",
                                             "iconFixedLarge2",
                                             "iconFixedLarge3",
                                             "iconFixedLarge4",
                                             "iconFixedLarge5",
                                             "iconFixedSmall1",
                                             "iconFixedSmall2",
                                             "iconFixedSmall3",
                                             "iconFixedSmall4",
                                             "iconFixedSmall5",
                                             "iconTabBar",
                                             "iconBarButton",
                                             "iconButton",
                                             "page",
                                             "buttonStatus"};

std::shared_ptr<UILabel> line(const std::string& text, const std::shared_ptr<UIFont>& font, CGFloat y, CGFloat height,
                              const std::shared_ptr<UIColor>& color = UIColor::blackColor()) {
    auto label = UILabel::make(CGRectMake(kLeft, y, kWidth, height));
    label->setText(text);
    label->setFont(font);
    label->setTextColor(color);
    return label;
}

// Roles [first, last) as "name 12.3 Sample" lines; icon roles show a few glyphs.
void fontPage(GalleryPage& page, std::size_t first, std::size_t last, const std::string& name) {
    auto window = page.newWindow();
    window->setBackgroundColor(UIColor::whiteColor());
    auto font = Global::shared()->font();
    CGFloat y = kTop;
    for (std::size_t i = first; i < last; ++i) {
        auto f = font->font(static_cast<FontRole>(i));
        const bool icon = kFontRoles[i].rfind("icon", 0) == 0;
        const std::string size = std::to_string(f->pointSize()).substr(0, 5);
        window->addSubview(
            line(kFontRoles[i] + "  " + size, UIFont::systemFontOfSize(10), y, 12, UIColor::darkGrayColor()));
        const CGFloat height = std::min<CGFloat>(f->lineHeight() + 2, 160);
        const std::string sample = icon                   ? "\uf030 \uf013 \uf00d \uf058 \uf002"
                                   : f->pointSize() > 100 ? "Ag"
                                                          : "Korva camera Ag";
        window->addSubview(line(sample, f, y + 12, height));
        y += 14 + height;
    }
    page.shotScreen(name);
}

void fonts(GalleryPage& page) {
    registerUIServices();
    Global::shared()->setFont(nullptr);
    fontPage(page, 0, 16, "fonts-text");
    fontPage(page, 16, 26, "fonts-fixed");
    fontPage(page, 26, 43, "fonts-icon");
    fontPage(page, 43, kFontRoles.size(), "fonts-icon-fixed-and-others");
}

void swatch(const std::shared_ptr<UIWindow>& window, const std::string& name, const std::shared_ptr<UIColor>& color,
            CGFloat x, CGFloat y, const std::shared_ptr<UIColor>& text) {
    auto chip = UIView::make(CGRectMake(x, y, 40, 24));
    chip->setBackgroundColor(color);
    chip->layer()->setBorderWidth(0.5);
    chip->layer()->setBorderColor(CGColor::gray(0.5));
    window->addSubview(chip);
    window->addSubview(line(name, UIFont::systemFontOfSize(11), y + 4, 16, text));
    window->subviews().back()->setFrame(CGRectMake(x + 46, y + 4, 140, 16));
}

void palettePage(GalleryPage& page, UIUserInterfaceStyle style, const std::string& name) {
    UIScreen::mainScreen()->setUserInterfaceStyle(style);
    Global::shared()->setColor(nullptr);
    auto window = page.newWindow();
    auto c = Global::shared()->color();
    window->setBackgroundColor(c->backgroundDefault());
    const auto text = c->labelDefault();
    const std::vector<std::pair<std::string, std::shared_ptr<UIColor>>> roles = {
        {"labelDefault", c->labelDefault()},
        {"labelSecondary", c->labelSecondary()},
        {"labelLightGray", c->labelLightGray()},
        {"backgroundDefault", c->backgroundDefault()},
        {"backgroundPopDefault", c->backgroundPopDefault()},
        {"labelInvertDefault", c->labelInvertDefault()},
        {"backgroundInvertDefault", c->backgroundInvertDefault()},
        {"systemGray", c->systemGray()},
        {"systemGray2", c->systemGray2()},
        {"systemGray3", c->systemGray3()},
        {"systemGray4", c->systemGray4()},
        {"systemGray5", c->systemGray5()},
        {"systemGray6", c->systemGray6()},
        {"red", c->red()},
        {"green", c->green()},
        {"blue", c->blue()},
        {"orange", c->orange()},
        {"yellow", c->yellow()},
        {"pink", c->pink()},
        {"purple", c->purple()},
        {"indigo", c->indigo()},
        {"bookmarked", c->bookmarked()},
        {"btnSelectedFG", c->btnSelectedFG()},
        {"btnSelectedBG", c->btnSelectedBG()},
        {"btnNormalFG", c->btnNormalFG()},
        {"btnNormalBG", c->btnNormalBG()},
        {"tip", c->tip()},
        {"author", c->author()},
        {"ago", c->ago()},
        {"inputBorder0", c->inputBorder0()},
        {"loadingTint", c->loadingTint()},
        {"textTitle", c->textTitle()},
        {"inserted", c->inserted()},
        {"deleted", c->deleted()},
        {"theme0", c->theme0()},
        {"theme1", c->theme1()},
        {"tutorialbg", c->tutorialbg()},
        {"tutorialfg", c->tutorialfg()},
        {"barButton", c->barButton()},
        {"colorSelected", c->colorSelected()},
        {"attributes", c->attributes()}};
    for (std::size_t i = 0; i < roles.size(); ++i) {
        const CGFloat x = i < 21 ? kLeft : 200;
        const CGFloat y = kTop + (i % 21) * 34;
        swatch(window, roles[i].first, roles[i].second, x, y, text);
    }
    for (std::size_t i = 0; i < c->tags().size(); ++i) {
        auto chip = UIView::make(CGRectMake(kLeft + i * 40, kTop + 21 * 34 + 6, 36, 20));
        chip->setBackgroundColor(c->tags()[i]);
        window->addSubview(chip);
    }
    page.shotScreen(name);
}

void palette(GalleryPage& page) {
    registerUIServices();
    palettePage(page, UIUserInterfaceStyle::Light, "palette-light");
    palettePage(page, UIUserInterfaceStyle::Dark, "palette-dark");
    UIScreen::mainScreen()->setUserInterfaceStyle(UIUserInterfaceStyle::Light);
    Global::shared()->setColor(nullptr);
}

// A picture to work on: a sky-to-ground gradient with a sun, 300 x 200 points.
ImageRef scene() {
    UIGraphicsBeginImageContextWithOptions({300, 200}, true, 1);
    for (int y = 0; y < 200; ++y) {
        UIColor::colorWithRed(0.3 + y / 600.0, 0.5 + y / 800.0, 0.9 - y / 400.0, 1)->setFill();
        UIRectFill(CGRectMake(0, y, 300, 1));
    }
    UIColor::colorWithRed(1, 0.85, 0.2, 1)->setFill();
    UIGraphicsGetCurrentContext()->fillEllipseInRect(CGRectMake(200, 30, 60, 60));
    UIColor::colorWithRed(0.1, 0.5, 0.2, 1)->setFill();
    UIRectFill(CGRectMake(0, 150, 300, 50));
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return image;
}

void place(const std::shared_ptr<UIWindow>& window, const ImageRef& image, CGFloat x, CGFloat y,
           const std::string& caption) {
    if (!image) return;
    auto view = UIImageView::make();
    view->setImage(image);
    view->setFrame(CGRectMake(x, y + 14, image->size().width, image->size().height));
    window->addSubview(view);
    auto label = line(caption, UIFont::systemFontOfSize(10), y, 12, UIColor::darkGrayColor());
    label->setFrame(CGRectMake(x, y, 180, 12));
    window->addSubview(label);
}

void badges(GalleryPage& page) {
    registerUIServices();
    auto window = page.newWindow();
    window->setBackgroundColor(UIColor::colorWithRed(0.85, 0.9, 0.95, 1));
    auto global = Global::shared();
    auto font = global->font()->iconFixedLarge2();
    const std::vector<std::uint16_t> glyphs = {0xF030, 0xF013, 0xF00D, 0xF058, 0xF1DB, 0xF067, 0xF045, 0xF002, 0xF0E2};
    CGFloat x = kLeft;
    for (auto glyph : glyphs) {
        place(window,
              imageIcon(glyph, {40, 40}, font, UIColor::whiteColor(), UIColor::colorWithRed(0.13, 0.38, 0.55, 1)), x,
              kTop, "");
        x += 44;
    }
    x = kLeft;
    for (auto glyph : {0xF030, 0xF013, 0xF00D}) {
        place(window, imageButtonNormal(glyph, {40, 40}, font), x, kTop + 60, x == kLeft ? "normal / selected" : "");
        place(window, imageButtonSelected(glyph, {40, 40}, font), x + 132, kTop + 60, "");
        x += 44;
    }
    place(window, imageIcon(0xF030, {40, 40}, font, UIColor::colorWithWhite(1, 0.3), UIColor::redColor()), 280,
          kTop + 60, "translucent");
    place(window,
          imageTextWithBGColor("Kg", {40, 40}, global->font()->textFixedLarge2(), UIColor::whiteColor(),
                               UIColor::orangeColor()),
          kLeft, kTop + 120, "text / mask");
    place(window,
          imageMask("Kg", {40, 40}, global->font()->textFixedLarge2(), UIColor::whiteColor(), UIColor::orangeColor()),
          kLeft + 44, kTop + 120, "");
    auto small = resizedImage(scene(), {60, 40});
    place(window, imageImage(small, {50, 50}, UIColor::redColor(), UIColor::colorWithWhite(0, 0.2)), kLeft + 100,
          kTop + 120, "picture badges");
    place(window, imageButtonSelected(small, {50, 50}), kLeft + 154, kTop + 120, "");
    place(window,
          tintedImageUsingColor(imageIcon(0xF058, {40, 40}, font, UIColor::whiteColor(), UIColor::clearColor()),
                                UIColor::systemGreenColor()),
          kLeft + 220, kTop + 120, "tinted");
    place(window, imageColor(UIColor::purpleColor(), {40, 40}), kLeft + 290, kTop + 120, "colour");

    auto picture = scene();
    place(window, resizedRatioImage(picture, {150, 150}), kLeft, kTop + 200, "resizedRatio 150");
    place(window, croppedImageByRatio(resizedRatioImage(picture, {150, 150}), 1.0), kLeft + 160, kTop + 200,
          "cropped 1:1");
    auto small150 = resizedRatioImage(picture, {150, 150});
    auto turned = UIImage::imageWithCGImage(small150->cgImage(), small150->scale(), UIImageOrientation::Right);
    place(window, normalizedImage(turned), kLeft, kTop + 330, "normalised (turned right)");
    place(window, resizedImage(thumbnailBlur(resizedImage(picture, {100, 150}), 1.0), {150, 150}), kLeft + 120,
          kTop + 330, "thumbnailBlur 1:1");
    place(window, resizedRatioImage(thumbnailBackground(picture), {110, 110}), kLeft + 280, kTop + 330, "background");
    place(window, resizedRatioImage(grayscale(picture), {110, 110}), kLeft + 280, kTop + 420, "grayscale");
    page.shotScreen("badges-and-pictures");
}
}  // namespace

void galleryUIFonts(GalleryPage& page) {
    fonts(page);
}
void galleryUIPalette(GalleryPage& page) {
    palette(page);
}
void galleryUIBadges(GalleryPage& page) {
    badges(page);
}
