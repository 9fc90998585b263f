// A read-only text view: plain or attributed text in a font and colour, aligned, on one or more
// lines with truncation, sized to fit. Main-thread only.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/ui/text/attributed_string.h"
#include "platform/ui/text/paragraph_style.h"
#include "platform/ui/text/ui_font.h"
#include "platform/ui/view/ui_view.h"

enum class UIBaselineAdjustment { AlignBaselines = 0, AlignCenters = 1, None = 2 };

class UILabel : public UIView {
public:
    KORVA_MAKE(UILabel)
    void init() override;

    // Plain text; none and "" differ (the platform keeps nil).
    const std::optional<std::string>& text() const { return text_; }
    void setText(std::optional<std::string> text);
    // Attributed text replaces the plain styling where set; setting plain text clears it.
    std::shared_ptr<NSAttributedString> attributedText() const { return attributed_; }
    void setAttributedText(std::shared_ptr<NSAttributedString> text);
    std::shared_ptr<UIFont> font() const { return font_; }
    void setFont(std::shared_ptr<UIFont> font);
    std::shared_ptr<UIColor> textColor() const { return textColor_; }
    void setTextColor(std::shared_ptr<UIColor> color);
    NSTextAlignment textAlignment() const { return alignment_; }
    void setTextAlignment(NSTextAlignment a);
    // 0 means as many lines as fit.
    long numberOfLines() const { return lines_; }
    void setNumberOfLines(long n);
    NSLineBreakMode lineBreakMode() const { return lineBreak_; }
    void setLineBreakMode(NSLineBreakMode m);
    bool isEnabled() const { return enabled_; }
    void setEnabled(bool e);
    bool isHighlighted() const { return highlighted_; }
    void setHighlighted(bool h);
    std::shared_ptr<UIColor> highlightedTextColor() const { return highlightedColor_; }
    void setHighlightedTextColor(std::shared_ptr<UIColor> c);
    std::shared_ptr<UIColor> shadowColor() const { return shadowColor_; }
    void setShadowColor(std::shared_ptr<UIColor> c);
    CGSize shadowOffset() const { return shadowOffset_; }
    void setShadowOffset(CGSize s);
    bool adjustsFontSizeToFitWidth() const { return adjustsFontSize_; }
    void setAdjustsFontSizeToFitWidth(bool a) { adjustsFontSize_ = a; }
    CGFloat minimumScaleFactor() const { return minimumScaleFactor_; }
    void setMinimumScaleFactor(CGFloat f) { minimumScaleFactor_ = f; }
    // The older form of the shrinking limit, in points; kept and archived for the views that
    // carry it, but the drawing shrinks by the scale factor alone.
    CGFloat minimumFontSize() const { return minimumFontSize_; }
    void setMinimumFontSize(CGFloat size) { minimumFontSize_ = size; }
    UIBaselineAdjustment baselineAdjustment() const { return baselineAdjustment_; }
    void setBaselineAdjustment(UIBaselineAdjustment b) { baselineAdjustment_ = b; }
    CGFloat preferredMaxLayoutWidth() const { return preferredMaxWidth_; }
    void setPreferredMaxLayoutWidth(CGFloat w);

    // The text as drawn: the attributed text (runs without a colour or paragraph style in the
    // label's colour and alignment), or the plain text with the label's attributes.
    std::shared_ptr<NSAttributedString> displayedText() const;
    // The text's rectangle within the bounds, centred vertically as the platform draws it.
    virtual CGRect textRectForBounds(CGRect bounds, long numberOfLines) const;
    virtual void drawTextInRect(CGRect rect);

    CGSize sizeThatFits(CGSize size) const override;
    CGSize intrinsicContentSize() const override;
    void drawRect(CGRect rect) override;

    // The coder road: the view's properties, then the label's own (text, font, colours, alignment,
    // lines, line breaks, states, shadow and font shrinking); absent or damaged keys keep the
    // defaults.
    void initWithCoder(const NSCoder& coder) override;
    void encodeWithCoder(NSCoder& coder) const override;

    // A label reads out its text as static text, unless told otherwise.
    bool isAccessibilityElement() const override { return accessibilityElementSetting().value_or(true); }
    std::optional<std::string> accessibilityLabel() const override;
    UIAccessibilityTraits accessibilityTraits() const override;

    std::string className() const override { return "UILabel"; }

protected:
    explicit UILabel(CGRect frame = CGRectZero);
    // The label's own part of the coder road, for a subclass that runs the road itself.
    void decodeLabelProperties(const NSCoder& coder);

private:
    struct DrawPass;
    void changed();
    // Set while drawRect runs: the text it shows, and the layout its measuring made for drawing.
    DrawPass* pass_ = nullptr;
    std::optional<std::string> text_;
    std::shared_ptr<NSAttributedString> attributed_;
    std::shared_ptr<UIFont> font_;
    std::shared_ptr<UIColor> textColor_;
    NSTextAlignment alignment_ = NSTextAlignment::Natural;
    long lines_ = 1;
    NSLineBreakMode lineBreak_ = NSLineBreakMode::ByTruncatingTail;
    bool enabled_ = true;
    bool highlighted_ = false;
    std::shared_ptr<UIColor> highlightedColor_;
    std::shared_ptr<UIColor> shadowColor_;
    CGSize shadowOffset_{0, -1};
    bool adjustsFontSize_ = false;
    CGFloat minimumScaleFactor_ = 0;
    CGFloat minimumFontSize_ = 0;
    UIBaselineAdjustment baselineAdjustment_ = UIBaselineAdjustment::AlignBaselines;
    CGFloat preferredMaxWidth_ = 0;
};
