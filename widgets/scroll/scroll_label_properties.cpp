// The scrolling label's own properties: those it reads from an archive and those it hands on to
// the inner label that draws.
#include "widgets/scroll/scroll_label.h"

void ScrollLabel::initWithCoder(const NSCoder& coder) {
    UILabel::init();
    decodeViewProperties(coder);
    decodeLabelProperties(coder);
    setupLabel();
    if (scrollDuration_ == 0) setScrollDuration(7.0);
}

void ScrollLabel::awakeFromNib() {
    UILabel::awakeFromNib();
    forwardPropertiesToSubLabel();
}

void ScrollLabel::prepareForInterfaceBuilder() {
    UILabel::prepareForInterfaceBuilder();
    forwardPropertiesToSubLabel();
}

void ScrollLabel::forwardPropertiesToSubLabel() {
    // The archive set the outer label's own fields; the inner label is the one that draws.
    subLabel_->setText(UILabel::text());
    subLabel_->setFont(UILabel::font());
    subLabel_->setTextColor(UILabel::textColor());
    auto background = UILabel::backgroundColor();
    subLabel_->setBackgroundColor(background ? background : UIColor::clearColor());
    subLabel_->setShadowColor(UILabel::shadowColor());
    subLabel_->setShadowOffset(UILabel::shadowOffset());
    subLabel_->setBaselineAdjustment(UILabel::baselineAdjustment());
    subLabel_->setEnabled(UILabel::isEnabled());
    subLabel_->setHighlighted(UILabel::isHighlighted());
    subLabel_->setHighlightedTextColor(UILabel::highlightedTextColor());
    subLabel_->setMinimumFontSize(UILabel::minimumFontSize());
    subLabel_->setTextAlignment(UILabel::textAlignment());
    subLabel_->setUserInteractionEnabled(UILabel::isUserInteractionEnabled());
    subLabel_->setAdjustsFontSizeToFitWidth(UILabel::adjustsFontSizeToFitWidth());
    subLabel_->setLineBreakMode(UILabel::lineBreakMode());
    subLabel_->setNumberOfLines(UILabel::numberOfLines());
    subLabel_->setContentMode(UILabel::contentMode());
    updateSublabel();
}

void ScrollLabel::setText(std::optional<std::string> text) {
    if (text == subLabel_->text()) return;
    subLabel_->setText(text);
    UILabel::setText(std::move(text));
    updateSublabel();
}

void ScrollLabel::setAttributedText(std::shared_ptr<NSAttributedString> text) {
    auto current = subLabel_->attributedText();
    if (text == current || (text && current && text->isEqual(*current))) return;
    subLabel_->setAttributedText(text);
    UILabel::setAttributedText(std::move(text));
    updateSublabel();
}

void ScrollLabel::setFont(std::shared_ptr<UIFont> font) {
    auto current = subLabel_->font();
    if (font == current || (font && current && font->isEqual(*current))) return;
    subLabel_->setFont(font);
    UILabel::setFont(std::move(font));
    updateSublabel();
}

void ScrollLabel::setTextColor(std::shared_ptr<UIColor> color) {
    subLabel_->setTextColor(color);
    UILabel::setTextColor(std::move(color));
}

void ScrollLabel::setBackgroundColor(std::shared_ptr<UIColor> color) {
    if (subLabel_) subLabel_->setBackgroundColor(color);
    UILabel::setBackgroundColor(std::move(color));
}

void ScrollLabel::setShadowColor(std::shared_ptr<UIColor> color) {
    subLabel_->setShadowColor(color);
    UILabel::setShadowColor(std::move(color));
}

void ScrollLabel::setShadowOffset(CGSize offset) {
    subLabel_->setShadowOffset(offset);
    UILabel::setShadowOffset(offset);
}

void ScrollLabel::setHighlightedTextColor(std::shared_ptr<UIColor> color) {
    subLabel_->setHighlightedTextColor(color);
    UILabel::setHighlightedTextColor(std::move(color));
}

void ScrollLabel::setHighlighted(bool highlighted) {
    subLabel_->setHighlighted(highlighted);
    UILabel::setHighlighted(highlighted);
}

void ScrollLabel::setEnabled(bool enabled) {
    subLabel_->setEnabled(enabled);
    UILabel::setEnabled(enabled);
}

void ScrollLabel::setBaselineAdjustment(UIBaselineAdjustment adjustment) {
    subLabel_->setBaselineAdjustment(adjustment);
    UILabel::setBaselineAdjustment(adjustment);
}

void ScrollLabel::setTintColor(std::shared_ptr<UIColor> color) {
    subLabel_->setTintColor(color);
    UILabel::setTintColor(std::move(color));
}

void ScrollLabel::tintColorDidChange() {
    UILabel::tintColorDidChange();
    subLabel_->tintColorDidChange();
}

void ScrollLabel::setContentMode(UIViewContentMode mode) {
    UILabel::setContentMode(mode);
    subLabel_->setContentMode(mode);
}

void ScrollLabel::setIsAccessibilityElement(bool element) {
    UILabel::setIsAccessibilityElement(element);
    subLabel_->setIsAccessibilityElement(element);
}

void ScrollLabel::setAnimationCurve(unsigned curve) {
    if ((curve & ~ScrollLabelCurveLinear) != 0) return;
    animationCurve_ = curve;
}
