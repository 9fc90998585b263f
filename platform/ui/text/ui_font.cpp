// UIFont: face lookup, metrics measured from the bundled fonts, system and preferred fonts.
#include "platform/ui/text/ui_font.h"

#include <cmath>
#include <cstdio>
#include <map>

#include "platform/ui/text/font_faces.h"
#include "platform/ui/text/text_engine.h"

namespace {

struct UnitMetrics {
    double ascender = 0, descender = 0, capHeight = 0, xHeight = 0;  // per point of size
    double underlinePosition = 0, underlineThickness = 0;
};

// Without hinting, metrics scale with the size: measure each face once at a large size.
UnitMetrics unitMetrics(const FontFace& face) {
    std::lock_guard lock(textEngineMutex());
    static std::map<std::string, UnitMetrics> cache;
    auto it = cache.find(face.name);
    if (it != cache.end()) return it->second;

    constexpr double kProbe = 100;
    PangoContext* context = createTextContext();
    PangoFontDescription* description = pango_font_description_new();
    pango_font_description_set_family(description, face.renderFamily);
    pango_font_description_set_weight(description, face.bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    pango_font_description_set_style(description, face.italic ? PANGO_STYLE_OBLIQUE : PANGO_STYLE_NORMAL);
    pango_font_description_set_absolute_size(description, kProbe * PANGO_SCALE);
    UnitMetrics m;
    if (PangoFont* font = pango_font_map_load_font(textFontMap(), context, description)) {
        PangoFontMetrics* metrics = pango_font_get_metrics(font, nullptr);
        m.ascender = pango_font_metrics_get_ascent(metrics) / double(PANGO_SCALE) / kProbe;
        m.descender = -pango_font_metrics_get_descent(metrics) / double(PANGO_SCALE) / kProbe;
        m.underlinePosition = pango_font_metrics_get_underline_position(metrics) / double(PANGO_SCALE) / kProbe;
        m.underlineThickness = pango_font_metrics_get_underline_thickness(metrics) / double(PANGO_SCALE) / kProbe;
        pango_font_metrics_unref(metrics);
        g_object_unref(font);
    }
    auto inkHeight = [&](const char* text) {
        PangoLayout* layout = pango_layout_new(context);
        pango_layout_set_font_description(layout, description);
        pango_layout_set_text(layout, text, -1);
        PangoRectangle ink;
        pango_layout_get_extents(layout, &ink, nullptr);
        g_object_unref(layout);
        return ink.height / double(PANGO_SCALE) / kProbe;
    };
    m.capHeight = inkHeight("H");
    m.xHeight = inkHeight("x");
    pango_font_description_free(description);
    g_object_unref(context);
    cache[face.name] = m;
    return m;
}

// Preferred sizes per text style, for the categories XS, S, M, L, XL, XXL, XXXL and the five
// accessibility sizes.
struct StyleSizes {
    const char* style;
    double sizes[12];
    bool bold;
};
constexpr StyleSizes kStyleSizes[] = {
    {UIFontTextStyleLargeTitle, {31, 32, 33, 34, 36, 38, 40, 44, 48, 52, 56, 60}, false},
    {UIFontTextStyleTitle1, {25, 26, 27, 28, 30, 32, 34, 38, 43, 48, 53, 58}, false},
    {UIFontTextStyleTitle2, {19, 20, 21, 22, 24, 26, 28, 34, 39, 44, 50, 56}, false},
    {UIFontTextStyleTitle3, {17, 18, 19, 20, 22, 24, 26, 31, 37, 43, 49, 55}, false},
    {UIFontTextStyleHeadline, {14, 15, 16, 17, 19, 21, 23, 28, 33, 40, 47, 53}, true},
    {UIFontTextStyleBody, {14, 15, 16, 17, 19, 21, 23, 28, 33, 40, 47, 53}, false},
    {UIFontTextStyleCallout, {13, 14, 15, 16, 18, 20, 22, 26, 32, 38, 44, 51}, false},
    {UIFontTextStyleSubheadline, {12, 13, 14, 15, 17, 19, 21, 25, 30, 36, 42, 49}, false},
    {UIFontTextStyleFootnote, {12, 12, 12, 13, 15, 17, 19, 23, 27, 33, 38, 44}, false},
    {UIFontTextStyleCaption1, {11, 11, 11, 12, 14, 16, 18, 22, 26, 32, 37, 43}, false},
    {UIFontTextStyleCaption2, {11, 11, 11, 11, 13, 15, 17, 20, 24, 29, 34, 41}, false},
};

int categoryIndex(const UIContentSizeCategory& category) {
    static const char* const order[] = {
        UIContentSizeCategoryExtraSmall,
        UIContentSizeCategorySmall,
        UIContentSizeCategoryMedium,
        UIContentSizeCategoryLarge,
        UIContentSizeCategoryExtraLarge,
        UIContentSizeCategoryExtraExtraLarge,
        UIContentSizeCategoryExtraExtraExtraLarge,
        UIContentSizeCategoryAccessibilityMedium,
        UIContentSizeCategoryAccessibilityLarge,
        UIContentSizeCategoryAccessibilityExtraLarge,
        UIContentSizeCategoryAccessibilityExtraExtraLarge,
        UIContentSizeCategoryAccessibilityExtraExtraExtraLarge,
    };
    for (int i = 0; i < 12; ++i)
        if (category == order[i]) return i;
    return 3;  // unknown categories read as the default, large
}

const StyleSizes* findStyle(const UIFontTextStyle& style) {
    for (const auto& s : kStyleSizes)
        if (style == s.style) return &s;
    return nullptr;
}

}  // namespace

std::shared_ptr<UIFont> UIFont::fontWithName(std::string_view name, CGFloat size) {
    if (!(size > 0) || !std::isfinite(size)) return nullptr;
    const FontFace* face = findFontFace(name);
    if (!face) return nullptr;
    UnitMetrics m = unitMetrics(*face);
    auto font = make<UIFont>();
    font->name_ = face->name;
    font->family_ = face->family;
    font->renderFamily_ = face->renderFamily;
    font->bold_ = face->bold;
    font->italic_ = face->italic;
    font->size_ = size;
    font->ascender_ = m.ascender * size;
    font->descender_ = m.descender * size;
    font->capHeight_ = m.capHeight * size;
    font->xHeight_ = m.xHeight * size;
    font->underlinePosition_ = m.underlinePosition * size;
    font->underlineThickness_ = m.underlineThickness * size;
    return font;
}

std::shared_ptr<UIFont> UIFont::fontWithDescriptor(const UIFontDescriptor& descriptor, CGFloat size) {
    return fontWithName(descriptor.fontName, size > 0 ? size : descriptor.pointSize);
}

std::shared_ptr<UIFont> UIFont::systemFontOfSize(CGFloat size) {
    return fontWithName("System", size);
}
std::shared_ptr<UIFont> UIFont::boldSystemFontOfSize(CGFloat size) {
    return fontWithName("System-Bold", size);
}
std::shared_ptr<UIFont> UIFont::italicSystemFontOfSize(CGFloat size) {
    return fontWithName("System-Italic", size);
}

CGFloat UIFont::preferredPointSize(const UIFontTextStyle& style, const UIContentSizeCategory& category) {
    const StyleSizes* sizes = findStyle(style);
    if (!sizes) sizes = findStyle(UIFontTextStyleBody);
    return sizes->sizes[categoryIndex(category)];
}

std::shared_ptr<UIFont> UIFont::preferredFontForTextStyle(const UIFontTextStyle& style) {
    return preferredFontForTextStyle(style, UITraitCollection::currentTraitCollection());
}

std::shared_ptr<UIFont> UIFont::preferredFontForTextStyle(const UIFontTextStyle& style,
                                                          const UITraitCollection& traits) {
    const StyleSizes* sizes = findStyle(style);
    bool bold = sizes && sizes->bold;
    CGFloat size = preferredPointSize(style, traits.preferredContentSizeCategory);
    return bold ? boldSystemFontOfSize(size) : systemFontOfSize(size);
}

std::vector<std::string> UIFont::familyNames() {
    std::vector<std::string> names;
    for (const auto& face : fontFaces())
        if (std::find(names.begin(), names.end(), face.family) == names.end()) names.push_back(face.family);
    return names;
}

std::vector<std::string> UIFont::fontNamesForFamilyName(std::string_view family) {
    std::vector<std::string> names;
    for (const auto& face : fontFaces())
        if (family == face.family) names.push_back(face.name);
    return names;
}

std::shared_ptr<UIFont> UIFont::fontWithSize(CGFloat size) const {
    return fontWithName(name_, size);
}

UIFontDescriptor UIFont::fontDescriptor() const {
    unsigned traits =
        (bold_ ? unsigned(UIFontDescriptorTraitBold) : 0u) | (italic_ ? unsigned(UIFontDescriptorTraitItalic) : 0u);
    return {name_, size_, traits};
}

std::optional<UIFontDescriptor> UIFontDescriptor::fontDescriptorWithSymbolicTraits(unsigned traits) const {
    const FontFace* face = findFontFace(fontName);
    if (!face) return std::nullopt;
    const FontFace* variant =
        findFontFace(face->family, traits & UIFontDescriptorTraitBold, traits & UIFontDescriptorTraitItalic);
    if (!variant) return std::nullopt;
    return UIFontDescriptor{variant->name, pointSize,
                            traits & (UIFontDescriptorTraitBold | UIFontDescriptorTraitItalic)};
}

bool UIFont::isEqual(const NSObject& other) const {
    auto* font = dynamic_cast<const UIFont*>(&other);
    return font && font->name_ == name_ && font->size_ == size_;
}

std::string UIFont::description() const {
    char buffer[160];
    std::snprintf(buffer, sizeof buffer,
                  "<UIFont font-family: \"%s\"; font-weight: %s; font-style: %s; font-size: %gpt>", family_.c_str(),
                  bold_ ? "bold" : "normal", italic_ ? "italic" : "normal", size_);
    return buffer;
}
