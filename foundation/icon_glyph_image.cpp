// Icon-font glyph images drawn through the text engine into an image context.
#include "foundation/icon_glyph_image.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "platform/ui/draw/color.h"
#include "platform/ui/draw/graphics.h"
#include "platform/ui/draw/image.h"
#include "platform/ui/text/string_drawing.h"
#include "platform/ui/text/ui_font.h"

namespace {

constexpr const char* kIconFont = "FontAwesome";

std::string utf8(int code) {
    std::string out;
    const auto c = static_cast<unsigned>(code);
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

}  // namespace

std::shared_ptr<UIImage> iconGlyphImage(int glyph, CGSize size) {
    if (!(size.width > 0) || !(size.height > 0) || glyph <= 0 || glyph > 0x10FFFF) return nullptr;
    if (glyph >= 0xD800 && glyph <= 0xDFFF) return nullptr;  // no character
    const std::string text = utf8(glyph);

    // Measure at the square's height, then scale the font so the glyph's line box fits both ways.
    auto probe = UIFont::fontWithName(kIconFont, size.height);
    if (!probe) return nullptr;
    const CGSize measured = sizeWithAttributes(text, NSAttributes{{NSFontAttributeName, probe}});
    if (!(measured.width > 0) || !(measured.height > 0)) return nullptr;
    const CGFloat factor = std::min({size.width / measured.width, size.height / measured.height, CGFloat(1)});
    auto font = UIFont::fontWithName(kIconFont, size.height * factor);
    if (!font) return nullptr;

    NSAttributes attributes{{NSFontAttributeName, font}, {NSForegroundColorAttributeName, UIColor::whiteColor()}};
    const CGSize ink = sizeWithAttributes(text, attributes);
    const CGPoint origin{(size.width - ink.width) / 2, (size.height - ink.height) / 2};

    UIGraphicsBeginImageContextWithOptions(size, false, 0);
    drawAtPoint(text, origin, attributes);
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return image;
}
