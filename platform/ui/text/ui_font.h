// UIFont: a face by name and a point size, with its metrics; system fonts and the preferred fonts
// of the text styles at the current text size category.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/runtime/geometry.h"
#include "platform/runtime/object.h"
#include "platform/ui/draw/trait_collection.h"

// Text styles; their values are their own names.
using UIFontTextStyle = std::string;
inline constexpr const char* UIFontTextStyleLargeTitle = "UICTFontTextStyleTitle0";
inline constexpr const char* UIFontTextStyleTitle1 = "UICTFontTextStyleTitle1";
inline constexpr const char* UIFontTextStyleTitle2 = "UICTFontTextStyleTitle2";
inline constexpr const char* UIFontTextStyleTitle3 = "UICTFontTextStyleTitle3";
inline constexpr const char* UIFontTextStyleHeadline = "UICTFontTextStyleHeadline";
inline constexpr const char* UIFontTextStyleSubheadline = "UICTFontTextStyleSubhead";
inline constexpr const char* UIFontTextStyleBody = "UICTFontTextStyleBody";
inline constexpr const char* UIFontTextStyleCallout = "UICTFontTextStyleCallout";
inline constexpr const char* UIFontTextStyleFootnote = "UICTFontTextStyleFootnote";
inline constexpr const char* UIFontTextStyleCaption1 = "UICTFontTextStyleCaption1";
inline constexpr const char* UIFontTextStyleCaption2 = "UICTFontTextStyleCaption2";

enum UIFontDescriptorSymbolicTraits : unsigned {
    UIFontDescriptorTraitItalic = 1u << 0,
    UIFontDescriptorTraitBold = 1u << 1,
};

// What names a font apart from its size.
struct UIFontDescriptor {
    std::string fontName;
    CGFloat pointSize = 0;
    unsigned symbolicTraits = 0;

    // The face of the same family with exactly these traits; none when the family has no such face.
    std::optional<UIFontDescriptor> fontDescriptorWithSymbolicTraits(unsigned traits) const;
};

// Immutable; safe to share between threads.
class UIFont : public NSObject {
public:
    // None for a face name no bundled font stands for, or a size that is not positive and finite.
    // Names are matched exactly, then without regard to case and blanks.
    static std::shared_ptr<UIFont> fontWithName(std::string_view name, CGFloat size);
    // A size of 0 takes the descriptor's size.
    static std::shared_ptr<UIFont> fontWithDescriptor(const UIFontDescriptor& descriptor, CGFloat size);
    static std::shared_ptr<UIFont> systemFontOfSize(CGFloat size);
    static std::shared_ptr<UIFont> boldSystemFontOfSize(CGFloat size);
    static std::shared_ptr<UIFont> italicSystemFontOfSize(CGFloat size);
    // The style's font at the current trait collection's text size category.
    static std::shared_ptr<UIFont> preferredFontForTextStyle(const UIFontTextStyle& style);
    static std::shared_ptr<UIFont> preferredFontForTextStyle(const UIFontTextStyle& style,
                                                             const UITraitCollection& traits);
    // The point size of a style at a category (body is 17 at the default "large" category).
    static CGFloat preferredPointSize(const UIFontTextStyle& style, const UIContentSizeCategory& category);

    static std::vector<std::string> familyNames();
    static std::vector<std::string> fontNamesForFamilyName(std::string_view family);

    std::shared_ptr<UIFont> fontWithSize(CGFloat size) const;
    UIFontDescriptor fontDescriptor() const;

    const std::string& fontName() const { return name_; }
    const std::string& familyName() const { return family_; }
    CGFloat pointSize() const { return size_; }
    // Metrics in points: ascender above the baseline, descender below it (negative).
    CGFloat ascender() const { return ascender_; }
    CGFloat descender() const { return descender_; }
    CGFloat leading() const { return 0; }
    CGFloat lineHeight() const { return ascender_ - descender_; }
    CGFloat capHeight() const { return capHeight_; }
    CGFloat xHeight() const { return xHeight_; }
    // The underline's offset from the baseline (up is positive, so usually negative) and thickness.
    CGFloat underlinePosition() const { return underlinePosition_; }
    CGFloat underlineThickness() const { return underlineThickness_; }

    // The bundled family and style that draw this face.
    const std::string& renderFamily() const { return renderFamily_; }
    bool isBold() const { return bold_; }
    bool isItalic() const { return italic_; }

    bool isEqual(const NSObject& other) const override;
    std::string description() const override;
    std::string className() const override { return "UIFont"; }

protected:
    UIFont() = default;

private:
    std::string name_, family_, renderFamily_;
    bool bold_ = false, italic_ = false;
    CGFloat size_ = 0, ascender_ = 0, descender_ = 0, capHeight_ = 0, xHeight_ = 0;
    CGFloat underlinePosition_ = 0, underlineThickness_ = 0;
};

// Where fonts come from. By default only the bundled fonts are used, so that text metrics are the
// same on every machine; a windowed run may add the machine's fonts as a fallback for scripts the
// bundled ones lack. Takes effect only before the first text is measured.
void UIFontUseSystemFontsAsFallback(bool enabled);
