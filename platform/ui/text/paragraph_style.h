// Paragraph styles (alignment, line breaking, spacing) and text shadows, as attribute values.
#pragma once

#include <memory>
#include <optional>

#include "platform/runtime/geometry.h"
#include "platform/runtime/object.h"
#include "platform/ui/draw/color.h"

enum class NSTextAlignment { Left = 0, Center = 1, Right = 2, Justified = 3, Natural = 4 };

enum class NSLineBreakMode {
    ByWordWrapping = 0,
    ByCharWrapping = 1,
    ByClipping = 2,
    ByTruncatingHead = 3,
    ByTruncatingTail = 4,
    ByTruncatingMiddle = 5,
};

// The platform's immutable/mutable pair is one class here: "mutable copy" is copy().
class NSParagraphStyle : public NSObject {
public:
    KORVA_MAKE(NSParagraphStyle)

    static std::shared_ptr<NSParagraphStyle> defaultParagraphStyle() { return make(); }
    std::shared_ptr<NSParagraphStyle> copy() const;

    NSTextAlignment alignment = NSTextAlignment::Natural;
    NSLineBreakMode lineBreakMode = NSLineBreakMode::ByWordWrapping;
    CGFloat lineSpacing = 0;  // added between lines
    CGFloat firstLineHeadIndent = 0;
    CGFloat minimumLineHeight = 0;   // 0: no minimum
    CGFloat maximumLineHeight = 0;   // 0: no maximum
    CGFloat lineHeightMultiple = 0;  // 0: the font's own line height
    // A line is the tallest font's height times the multiple, held between the minimum and the
    // maximum where those are set.

    bool isEqual(const NSObject& other) const override;
    std::string className() const override { return "NSParagraphStyle"; }

protected:
    NSParagraphStyle() = default;
};

using NSMutableParagraphStyle = NSParagraphStyle;

class NSShadow : public NSObject {
public:
    KORVA_MAKE(NSShadow)

    CGSize shadowOffset{0, -3};
    CGFloat shadowBlurRadius = 0;
    std::shared_ptr<UIColor> shadowColor;  // none: black at one third alpha

    std::string className() const override { return "NSShadow"; }

protected:
    NSShadow() = default;
};
