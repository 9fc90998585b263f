// Strings are looked at in UTF-16 units, as the string class counts them, so a non-ASCII character
// counts once towards the length and is never a digit.
#include "widgets/flat/flat_hex.h"

#include <algorithm>
#include <cstdio>
#include <limits>

#include "platform/runtime/utf16.h"

namespace {
int hexDigit(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

bool isBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\v' || c == u'\f';
}

std::uint32_t scanHex(std::u16string_view s) {
    std::size_t i = 0;
    while (i < s.size() && isBlank(s[i])) ++i;
    if (i + 1 < s.size() && s[i] == u'0' && (s[i + 1] == u'x' || s[i + 1] == u'X')) i += 2;
    std::uint64_t value = 0;
    for (; i < s.size() && hexDigit(s[i]) >= 0; ++i) {
        value = value * 16 + static_cast<unsigned>(hexDigit(s[i]));
        value = std::min<std::uint64_t>(value, std::numeric_limits<std::uint32_t>::max());
    }
    return static_cast<std::uint32_t>(value);
}

float channel(std::u16string_view pair) {
    std::u16string prefixed = u"0x";
    prefixed += pair;
    return static_cast<float>(scanHex(prefixed)) / 255.0f;
}

// Truncated toward zero; components outside 0...1 (and NaN) are held to the byte range.
int byteOf(CGFloat component) {
    CGFloat v = component * 255;
    if (!(v > 0)) return 0;
    return v >= 255 ? 255 : static_cast<int>(v);
}
}  // namespace

std::uint32_t hexValueToUnsigned(std::string_view hex) {
    return scanHex(toUtf16(hex));
}

std::shared_ptr<UIColor> colorWithHexString(std::string_view hex, CGFloat alpha) {
    std::u16string s = toUtf16(hex);
    if (s.empty()) return nullptr;
    if (s[0] != u'#') s.insert(s.begin(), u'#');
    if (s.size() != 7 && s.size() != 4) return nullptr;
    if (s.size() == 4) s = {u'#', s[1], s[1], s[2], s[2], s[3], s[3]};
    std::u16string_view digits = s;
    return UIColor::colorWithRed(channel(digits.substr(1, 2)), channel(digits.substr(3, 2)),
                                 channel(digits.substr(5, 2)), alpha);
}

std::string hexValue(const UIColor& color) {
    CGColor c = color.cgColor();
    if (c.model == CGColorModel::Gray) c = CGColor::rgb(c.red, c.red, c.red, c.alpha);
    if (c.model != CGColorModel::RGB) return "#FFFFFF";
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "#%02X%02X%02X", byteOf(c.red), byteOf(c.green), byteOf(c.blue));
    return buffer;
}
