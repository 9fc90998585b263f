// Badge images: discs, centred text and knocked-out glyphs.
#include "foundation/global.h"
#include "foundation/text_measure.h"
#include "platform/ui/draw/context.h"
#include "platform/ui/draw/graphics.h"
#include "platform/ui/draw/image.h"
#include "platform/ui/text/paragraph_style.h"
#include "platform/ui/text/string_drawing.h"
#include "platform/ui/text/ui_font.h"
#include "ui/theme/color.h"
#include "ui/theme/image_context.h"
#include "ui/theme/image_custom.h"
#include "widgets/button/ns_string_font_awesome.h"

namespace {
constexpr CGFloat kPictureShare = 0.7;

CGRect whole(CGSize size) {
    return CGRectMake(0, 0, size.width, size.height);
}

// The text centred in the size, with exactly the font, the colour and a centred paragraph.
void drawCentred(std::string_view text, CGSize size, const FontPtr& font, const ColorPtr& color) {
    const CGSize t = boundingSize(text, font, size);
    auto style = NSParagraphStyle::make();
    style->alignment = NSTextAlignment::Center;
    NSAttributes attributes;
    attributes.set(NSFontAttributeName, Value(font));
    attributes.set(NSForegroundColorAttributeName, Value(color));
    attributes.set(NSParagraphStyleAttributeName, Value(style));
    drawInRect(text, CGRectMake((size.width - t.width) * 0.5, (size.height - t.height) * 0.5, t.width, t.height),
               attributes);
}

void fillDisc(CGContext& context, CGSize size, const ColorPtr& bg) {
    if (!bg) return;
    bg->setFill();
    context.fillEllipseInRect(whole(size));
}

ImageRef discWithText(std::string_view text, CGSize size, const FontPtr& font, const ColorPtr& color,
                      const ColorPtr& bg, bool flipped) {
    ImageContext image(size, false, 0);
    if (!image) return nullptr;
    if (flipped) {
        image->translateCTM(0, size.height);
        image->scaleCTM(1, -1);
    }
    fillDisc(*image, size, bg);
    if (font && color) drawCentred(text, size, font, color);
    return image.take();
}
}  // namespace

ImageRef imageColor(const ColorPtr& color, CGSize size) {
    ImageContext image(size, true, 0);
    if (!image) return nullptr;
    if (color) color->setFill();
    UIRectFill(whole(size));
    return image.take();
}

ImageRef imageTextWithBGColor(std::string_view text, CGSize size, const FontPtr& font, const ColorPtr& color,
                              const ColorPtr& bg) {
    return discWithText(text, size, font, color, bg, false);
}

ImageRef imageMask(std::string_view text, CGSize size, const FontPtr& font, const ColorPtr& color, const ColorPtr& bg) {
    return discWithText(text, size, font, color, bg, true);
}

ImageRef imageIconWithString(std::string_view text, CGSize size, const FontPtr& font, const ColorPtr& color,
                             const ColorPtr& bg) {
    auto stencil = imageTextWithBGColor(text, size, font, UIColor::whiteColor(), UIColor::clearColor());
    ImageContext image(size, false, 0);
    if (!image || !stencil) return nullptr;
    stencil->drawInRect(whole(size));
    // Out-blending clears everything it covers that it does not draw, so it is held to the disc.
    image->saveGState();
    image->addEllipseInRect(whole(size));
    image->clip();
    image->setBlendMode(CGBlendMode::SourceOut);
    fillDisc(*image, size, bg);
    image->restoreGState();
    if (font && color) drawCentred(text, size, font, color);
    return image.take();
}

ImageRef imageIcon(std::uint16_t icon, CGSize size, const FontPtr& font, const ColorPtr& color, const ColorPtr& bg) {
    return imageIconWithString(fa_stringForFontAwesomeIcon(icon), size, font, color, bg);
}

ImageRef imageImage(const ImageRef& picture, CGSize size, const ColorPtr&, const ColorPtr& bg) {
    ImageContext image(size, false, 0);
    if (!image) return nullptr;
    image->saveGState();
    image->setBlendMode(CGBlendMode::SourceOut);
    fillDisc(*image, size, bg);
    image->restoreGState();
    if (picture) {
        const CGFloat w = size.width * kPictureShare, h = size.height * kPictureShare;
        picture->drawInRect(CGRectMake((size.width - w) / 2, (size.height - h) / 2, w, h));
    }
    return image.take();
}

ImageRef imageButtonNormal(std::uint16_t icon, CGSize size, const FontPtr& font) {
    auto palette = Global::shared()->color();
    return imageIcon(icon, size, font, palette->btnNormalFG(), palette->btnNormalBG());
}

ImageRef imageButtonSelected(std::uint16_t icon, CGSize size, const FontPtr& font) {
    auto palette = Global::shared()->color();
    return imageIcon(icon, size, font, palette->btnSelectedFG(), palette->btnSelectedBG());
}

ImageRef imageButtonNormal(const ImageRef& picture, CGSize size) {
    auto palette = Global::shared()->color();
    return imageImage(picture, size, palette->btnNormalFG(), palette->btnNormalBG());
}

ImageRef imageButtonSelected(const ImageRef& picture, CGSize size) {
    auto palette = Global::shared()->color();
    return imageImage(picture, size, palette->btnSelectedFG(), palette->btnSelectedBG());
}
