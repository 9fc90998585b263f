// Label text styling, measuring and drawing.
#include "platform/ui/control/ui_label.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/ui/draw/graphics.h"
#include "platform/ui/text/string_drawing.h"
#include "platform/ui/text/text_layout.h"

UILabel::UILabel(CGRect frame) : UIView(frame) {}

namespace {
constexpr CGFloat kUnlimited = 1e7;
constexpr unsigned kOptions = NSStringDrawingUsesLineFragmentOrigin | NSStringDrawingTruncatesLastVisibleLine;

// What string drawing lays text out with for kOptions within a size (no limit where it is not
// positive): the layout boundingRectWithSize measures and drawWithRect draws.
TextLayoutOptions labelLayoutOptions(CGSize size) {
    auto limit = [](CGFloat v) { return v > 0 && std::isfinite(v) ? v : std::numeric_limits<CGFloat>::infinity(); };
    TextLayoutOptions o;
    o.width = limit(size.width);
    o.height = limit(size.height);
    o.truncatesLastVisibleLine = true;
    return o;
}
}  // namespace

// One drawing of the label: its text made once, and the layout that measured it, drawn as it is
// when the rectangle asked for is the measured one (laid out within its width and at least its
// height, the same lines fit: the layout is the one drawWithRect would make again).
struct UILabel::DrawPass {
    std::shared_ptr<NSAttributedString> text;
    std::optional<TextLayout> layout;
    CGFloat width = 0;
    CGFloat height = 0;      // the height limit it was laid out within
    CGFloat usedHeight = 0;  // what its lines take
};

void UILabel::init() {
    UIView::init();
    setUserInteractionEnabled(false);
    font_ = UIFont::systemFontOfSize(17);
    textColor_ = UIColor::labelColor();
    setContentMode(UIViewContentMode::Redraw);
}

void UILabel::changed() {
    invalidateIntrinsicContentSize();
    setNeedsDisplay();
}

void UILabel::setText(std::optional<std::string> text) {
    attributed_.reset();
    text_ = std::move(text);
    changed();
}

void UILabel::setAttributedText(std::shared_ptr<NSAttributedString> text) {
    attributed_ = std::move(text);
    text_ = attributed_ ? std::optional<std::string>(attributed_->string()) : std::nullopt;
    changed();
}

void UILabel::setFont(std::shared_ptr<UIFont> font) {
    font_ = font ? std::move(font) : UIFont::systemFontOfSize(17);
    changed();
}

void UILabel::setTextColor(std::shared_ptr<UIColor> color) {
    textColor_ = color ? std::move(color) : UIColor::labelColor();
    setNeedsDisplay();
}

void UILabel::setTextAlignment(NSTextAlignment a) {
    alignment_ = a;
    setNeedsDisplay();
}

void UILabel::setNumberOfLines(long n) {
    lines_ = n < 0 ? 0 : n;
    changed();
}

void UILabel::setLineBreakMode(NSLineBreakMode m) {
    lineBreak_ = m;
    changed();
}

void UILabel::setEnabled(bool e) {
    enabled_ = e;
    setNeedsDisplay();
}

void UILabel::setHighlighted(bool h) {
    highlighted_ = h;
    setNeedsDisplay();
}

void UILabel::setHighlightedTextColor(std::shared_ptr<UIColor> c) {
    highlightedColor_ = std::move(c);
    setNeedsDisplay();
}

void UILabel::setShadowColor(std::shared_ptr<UIColor> c) {
    shadowColor_ = std::move(c);
    setNeedsDisplay();
}

void UILabel::setShadowOffset(CGSize s) {
    shadowOffset_ = s;
    setNeedsDisplay();
}

void UILabel::setPreferredMaxLayoutWidth(CGFloat w) {
    preferredMaxWidth_ = w;
    invalidateIntrinsicContentSize();
}

std::shared_ptr<NSAttributedString> UILabel::displayedText() const {
    std::shared_ptr<UIColor> color = textColor_;
    if (highlighted_ && highlightedColor_) color = highlightedColor_;
    if (!enabled_) color = color->colorWithAlphaComponent(0.44);
    if (attributed_) {
        // Runs without a colour or a paragraph style are drawn in the label's colour and
        // alignment; their fonts and line breaks stay as given, so the text measures the same.
        auto shown = attributed_->mutableCopy();
        auto aligned = NSParagraphStyle::make();
        aligned->alignment = alignment_;
        attributed_->enumerateAttributesInRange(
            {0, attributed_->length()}, [&](const NSAttributes& attributes, NSRange range, bool&) {
                if (!attributes.contains(NSForegroundColorAttributeName))
                    shown->addAttribute(NSForegroundColorAttributeName, Value(color), range);
                if (!attributes.contains(NSParagraphStyleAttributeName))
                    shown->addAttribute(NSParagraphStyleAttributeName, Value(aligned), range);
            });
        return shown;
    }
    if (!text_ || text_->empty()) return nullptr;
    NSAttributes a;
    a.set(NSFontAttributeName, Value(font_));
    a.set(NSForegroundColorAttributeName, Value(color));
    auto style = NSParagraphStyle::make();
    style->alignment = alignment_;
    // Several lines wrap at words; the truncation then applies to the last line only.
    bool truncating = lineBreak_ == NSLineBreakMode::ByTruncatingHead ||
                      lineBreak_ == NSLineBreakMode::ByTruncatingTail ||
                      lineBreak_ == NSLineBreakMode::ByTruncatingMiddle;
    style->lineBreakMode = lines_ != 1 && truncating ? NSLineBreakMode::ByWordWrapping : lineBreak_;
    a.set(NSParagraphStyleAttributeName, Value(style));
    if (shadowColor_) {
        auto shadow = NSShadow::make();
        shadow->shadowColor = shadowColor_;
        shadow->shadowOffset = shadowOffset_;
        a.set(NSShadowAttributeName, Value(shadow));
    }
    return NSAttributedString::make(*text_, a);
}

CGRect UILabel::textRectForBounds(CGRect bounds, long numberOfLines) const {
    auto text = pass_ ? pass_->text : displayedText();
    if (!text || bounds.size.width <= 0) return {bounds.origin, {0, 0}};
    CGFloat maxHeight = bounds.size.height;
    if (numberOfLines > 0) maxHeight = std::min(maxHeight, font_->lineHeight() * CGFloat(numberOfLines) + 0.5);
    CGRect used;
    if (pass_) {
        pass_->layout.emplace(*text, labelLayoutOptions({bounds.size.width, maxHeight}));
        pass_->width = bounds.size.width;
        pass_->height = maxHeight;
        used = {CGPointZero, pass_->layout->size()};
        pass_->usedHeight = used.size.height;
    } else {
        used = boundingRectWithSize(*text, {bounds.size.width, maxHeight}, kOptions);
    }
    CGSize size{std::min(std::ceil(used.size.width), bounds.size.width),
                std::min(std::ceil(used.size.height), maxHeight)};
    return {{bounds.origin.x, bounds.origin.y + (bounds.size.height - size.height) / 2}, size};
}

void UILabel::drawTextInRect(CGRect rect) {
    auto text = pass_ ? pass_->text : displayedText();
    if (!text) return;
    if (pass_ && pass_->layout) {
        // Both limits positive and finite, as the measuring's were: no limit there is another layout.
        const CGRect r = CGRectStandardize(rect);
        const bool same = r.size.width == pass_->width && r.size.height > 0 && std::isfinite(r.size.height) &&
                          r.size.height >= pass_->usedHeight && r.size.height <= pass_->height;
        std::optional<TextLayout> layout = std::move(pass_->layout);
        pass_->layout.reset();
        if (same) {
            if (CGContext* context = UIGraphicsGetCurrentContext()) layout->draw(*context, r.origin);
            return;
        }
    }
    // The paragraph style aligns the text within the full width.
    drawWithRect(*text, rect, kOptions);
}

void UILabel::drawRect(CGRect) {
    CGRect b = bounds();
    // A label that may shrink its text draws it at the size that fits the width (down to the
    // minimum scale) instead of cutting it: a one-line label, or one with room for each of the
    // lines its text breaks into by itself.
    auto text = displayedText();
    DrawPass pass;
    pass.text = text;
    struct Scope {
        UILabel& label;
        ~Scope() { label.pass_ = nullptr; }
    } scope{*this};
    pass_ = &pass;
    const bool lineByLine =
        lines_ == 1 || (lines_ > 1 && text_ && long(std::count(text_->begin(), text_->end(), '\n')) < lines_);
    if (text && !attributed_ && adjustsFontSize_ && lineByLine && b.size.width > 0) {
        CGFloat natural = std::ceil(boundingRectWithSize(*text, {kUnlimited, kUnlimited}, kOptions).size.width);
        if (natural > b.size.width) {
            CGFloat scale = std::max(minimumScaleFactor_, b.size.width / natural);
            auto fitted = text->mutableCopy();
            fitted->addAttribute(NSFontAttributeName, Value(font_->fontWithSize(font_->pointSize() * scale)),
                                 {0, fitted->length()});
            CGRect used = boundingRectWithSize(*fitted, b.size, kOptions);
            CGFloat height = std::min(std::ceil(used.size.height), b.size.height);
            drawWithRect(*fitted, {{b.origin.x, b.origin.y + (b.size.height - height) / 2}, {b.size.width, height}},
                         kOptions);
            return;
        }
    }
    CGRect used = textRectForBounds(b, lines_);
    drawTextInRect({{b.origin.x, used.origin.y}, {b.size.width, used.size.height}});
}

CGSize UILabel::sizeThatFits(CGSize size) const {
    auto text = displayedText();
    if (!text) return {0, 0};
    CGFloat width = lines_ == 1 || size.width <= 0 ? kUnlimited : size.width;
    CGFloat height = lines_ > 0 ? font_->lineHeight() * CGFloat(lines_) + 0.5 : kUnlimited;
    CGRect used = boundingRectWithSize(*text, {width, height}, kOptions);
    return {std::ceil(used.size.width), std::ceil(std::min(used.size.height, height))};
}

CGSize UILabel::intrinsicContentSize() const {
    if (!displayedText()) return {0, 0};
    return sizeThatFits({preferredMaxWidth_ > 0 ? preferredMaxWidth_ : 0, 0});
}

std::optional<std::string> UILabel::accessibilityLabel() const {
    if (auto own = UIView::accessibilityLabel()) return own;
    return text_;
}

UIAccessibilityTraits UILabel::accessibilityTraits() const {
    return UIView::accessibilityTraits() | UIAccessibilityTraitStaticText;
}
