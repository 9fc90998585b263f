// The rich label's layout and drawing: fitting sizes, the text rectangle with insets and vertical
// alignment, lines with their alignment, the truncated last line, background boxes, strike-through
// lines, shadows, the highlighted colour and the shrinking of fonts.
//
// The geometry follows a y-up text space inside the text rectangle T (origin at T's bottom-left),
// the way the layout engine of the design counts; a point (x, y) of it is (T.x + x, T.maxY - y) in
// the label. Lines are drawn on their laid-out baselines, which already hold any extra line height.
#include <algorithm>
#include <cmath>
#include <locale>
#include <sstream>
#include <vector>

#include "platform/runtime/utf16.h"
#include "platform/ui/draw/graphics.h"
#include "platform/ui/draw/path.h"
#include "platform/ui/text/paragraph_style.h"
#include "platform/ui/view/ui_geometry_strings.h"
#include "widgets/rich_label/rich_label.h"
#include "widgets/rich_label/rich_label_attributes.h"

namespace {

constexpr CGFloat kUnbounded = 100000;
// A word-wrapped text's one-line width grows by this before it is compared with the room, when
// fonts are shrunk (wrapping wastes the ends of lines).
constexpr CGFloat kWrappingWaste = 1.1557273497909217;
constexpr const char* kEllipsis = "\u2026";
constexpr CGFloat kSubscriptStrikeShift = 0.25;
constexpr CGFloat kSuperscriptStrikeShift = -0.47f;

bool truncates(NSLineBreakMode mode) {
    return mode == NSLineBreakMode::ByTruncatingHead || mode == NSLineBreakMode::ByTruncatingTail ||
           mode == NSLineBreakMode::ByTruncatingMiddle;
}

// The fitting size of a text for a line limit: one line is unbounded both ways; several take the
// range up to the end of the last line they show.
CGSize suggestFrameSizeWithLines(const RichFramesetter& framesetter, const NSAttributedString& text, long lines,
                                 CGSize size) {
    CGFloat width = size.width > 0 ? size.width : kUnbounded;
    NSRange range{0, text.length()};
    CGSize constraint{width, kUnbounded};
    if (lines == 1) {
        constraint = {kUnbounded, kUnbounded};
    } else if (lines > 1) {
        auto frame = framesetter.frame({0, framesetter.text().length()}, {width, kUnbounded});
        if (frame->lineCount() > 0) {
            const TextLine& last = frame->lines()[std::min<std::size_t>(frame->lineCount(), std::size_t(lines)) - 1];
            range.length = NSMaxRange(last.range);
        }
    }
    // A text longer than the framesetter's (a token appended) is measured up to the latter's end.
    range.length = std::min(range.length, framesetter.text().length());
    return framesetter.suggestFrameSize(range, constraint);
}

CGRect fromTextSpace(CGRect box, CGRect t) {
    return {{t.origin.x + box.origin.x, CGRectGetMaxY(t) - box.origin.y - box.size.height}, box.size};
}

// A colour from its components: (white, alpha), (red, green, blue) or (red, green, blue, alpha).
std::optional<CGColor> colorOfComponents(const std::vector<double>& c) {
    for (double v : c)
        if (!std::isfinite(v)) return std::nullopt;
    if (c.size() == 2) return CGColor::gray(c[0], c[1]);
    if (c.size() == 3) return CGColor::rgb(c[0], c[1], c[2]);
    if (c.size() == 4) return CGColor::rgb(c[0], c[1], c[2], c[3]);
    return std::nullopt;
}

// A colour object, or a Core Graphics colour given by its components: an array of numbers or a
// text of numbers separated by blanks (optionally in brackets, as "[1 0 0 1]").
std::optional<CGColor> colorOf(const Value& value) {
    if (auto color = value.objectAs<UIColor>()) return color->cgColor();
    std::vector<double> components;
    if (const ValueArray* array = value.arrayPtr()) {
        for (const Value& v : *array) {
            if (!v.isNumber()) return std::nullopt;
            components.push_back(v.doubleValue());
        }
        return colorOfComponents(components);
    }
    if (value.isString()) {
        std::string text = *value.string();
        std::replace(text.begin(), text.end(), '[', ' ');
        std::replace(text.begin(), text.end(), ']', ' ');
        std::istringstream in(text);
        in.imbue(std::locale::classic());
        double v = 0;
        while (in >> v) components.push_back(v);
        if (!in.eof()) return std::nullopt;  // something other than numbers
        return colorOfComponents(components);
    }
    return std::nullopt;
}

UIEdgeInsets insetsOf(const Value& value) {
    if (value.isString()) return UIEdgeInsetsFromString(*value.string());
    return UIEdgeInsetsZero;
}

}  // namespace

Value RichEdgeInsetsValue(UIEdgeInsets insets) {
    return Value(NSStringFromUIEdgeInsets(insets));
}

CGSize RichLabel::sizeThatFitsAttributedString(const std::shared_ptr<NSAttributedString>& text, CGSize size,
                                               std::size_t numberOfLines) {
    if (!text || text->length() == 0) return CGSizeZero;
    RichFramesetter framesetter(text);
    return suggestFrameSizeWithLines(framesetter, *text, long(std::min<std::size_t>(numberOfLines, 1u << 30)), size);
}

CGSize RichLabel::sizeThatFits(CGSize size) const {
    if (!attributedText_) return UILabel::sizeThatFits(size);
    auto text = attributedText_->mutableCopy();
    if (truncationToken_) text->appendAttributedString(*truncationToken_);
    CGSize fit = suggestFrameSizeWithLines(*framesetter(), *text, numberOfLines(), size);
    return {fit.width + textInsets_.left + textInsets_.right, fit.height + textInsets_.top + textInsets_.bottom};
}

CGSize RichLabel::intrinsicContentSize() const {
    CGFloat preferred = preferredMaxLayoutWidth();
    return sizeThatFits(UILabel::sizeThatFits({preferred > 0 ? preferred : 0, 0}));
}

CGRect RichLabel::textRectForBounds(CGRect bounds, long lines) const {
    CGRect inset = UIEdgeInsetsInsetRect(bounds, textInsets_);
    if (!attributedText_) return UILabel::textRectForBounds(inset, lines);
    CGFloat height = std::max(font()->lineHeight() * CGFloat(std::max<long>(lines, 2)), inset.size.height);
    CGFloat used =
        std::ceil(framesetter()->suggestFrameSize({0, attributedText_->length()}, {inset.size.width, height}).height);
    CGFloat offset = 0;
    if (used < inset.size.height) {
        if (verticalAlignment_ == std::int64_t(RichLabelVerticalAlignment::Bottom))
            offset = inset.size.height - used;
        else if (verticalAlignment_ == std::int64_t(RichLabelVerticalAlignment::Center))
            offset = std::floor((inset.size.height - used) / 2);
    }
    return {{inset.origin.x, inset.origin.y + offset}, {inset.size.width, height}};
}

void RichLabel::drawRect(CGRect) {
    drawTextInRect(bounds());
}

void RichLabel::drawTextInRect(CGRect rect) {
    if (!attributedText_) {
        // The platform label's own drawing, centred in the inset rectangle as it places text.
        CGRect inset = UIEdgeInsetsInsetRect(rect, textInsets_);
        CGRect used = UILabel::textRectForBounds(inset, numberOfLines());
        UILabel::drawTextInRect({{inset.origin.x, used.origin.y}, {inset.size.width, used.size.height}});
        return;
    }
    CGContext* context = UIGraphicsGetCurrentContext();
    if (!context) return;

    // Shrinking swaps the stored text for one draw; it asks for no redraw (that would never end).
    std::shared_ptr<NSAttributedString> kept;
    long lines = numberOfLines();
    if (adjustsFontSizeToFitWidth() && lines > 0) {
        setNeedsFramesetter();
        CGFloat wanted = sizeThatFits(lines > 1 ? CGSize{kUnbounded, kUnbounded} : CGSizeZero).width;
        CGFloat room = frame().size.width * CGFloat(lines);
        if (lines > 1 && lineBreakMode() == NSLineBreakMode::ByWordWrapping) wanted *= kWrappingWaste;
        if (wanted > room && wanted > 0) {
            kept = attributedText_;
            CGFloat scale = std::max(room / wanted, minimumScaleFactor());
            auto shrunk = attributedText_->mutableCopy();
            std::vector<std::pair<NSRange, std::shared_ptr<UIFont>>> fonts;
            shrunk->enumerateAttribute(kCTFontAttributeName, {0, shrunk->length()},
                                       [&](const Value& value, NSRange range, bool&) {
                                           if (auto f = value.objectAs<UIFont>()) fonts.push_back({range, f});
                                       });
            for (const auto& [range, f] : fonts)
                if (auto smaller = UIFont::fontWithName(f->fontName(), std::floor(f->pointSize() * scale)))
                    shrunk->addAttribute(kCTFontAttributeName, smaller, range);
            attributedText_ = shrunk;
            setNeedsFramesetter();
        }
    }

    context->saveGState();
    CGRect t = textRectForBounds(rect, lines);
    if (shadowColor() && !isHighlighted())
        context->setShadowWithColor(shadowOffset(), shadowRadius_, shadowColor()->cgColor());
    else if (highlightedShadowColor_)
        context->setShadowWithColor(highlightedShadowOffset_, highlightedShadowRadius_,
                                    highlightedShadowColor_->cgColor());

    std::shared_ptr<NSAttributedString> text = renderedAttributedText();
    std::shared_ptr<RichFramesetter> setter;
    if (highlightedTextColor() && isHighlighted()) {
        auto highlighted = text->mutableCopy();
        highlighted->addAttribute(kCTForegroundColorAttributeName, highlightedTextColor(), {0, highlighted->length()});
        text = highlighted;
        std::lock_guard lock(lock_);
        if (!highlightFramesetter_) highlightFramesetter_ = std::make_shared<RichFramesetter>(text);
        setter = highlightFramesetter_;
    } else {
        setter = framesetter();
    }
    drawFramesetter(*setter, *text, {0, attributedText_->length()}, t, *context);
    if (kept) attributedText_ = kept;
    context->restoreGState();
}

void RichLabel::drawFramesetter(const RichFramesetter& framesetter, const NSAttributedString& text, NSRange range,
                                CGRect t, CGContext& context) {
    auto frame = framesetter.frame(range, t.size);
    drawBackground(*frame, t, context);
    std::size_t count = frame->lineCount();
    std::size_t n = numberOfLines() > 0 ? std::min<std::size_t>(std::size_t(numberOfLines()), count) : count;
    CGFloat flush = RichFlushFactor(textAlignment());
    for (std::size_t i = 0; i < n; ++i) {
        if (i + 1 == n && truncates(lineBreakMode())) {
            drawTruncatedLine(framesetter, *frame, i, text, range, t, context);
            continue;
        }
        CGFloat x = frame->penOffsetForFlush(i, flush, t.size.width);
        frame->drawLine(context, i, {t.origin.x + x, t.origin.y + frame->lines()[i].baseline});
    }
    drawStrike(*frame, t, context);
}

void RichLabel::drawTruncatedLine(const RichFramesetter&, const TextLayout& frame, std::size_t i,
                                  const NSAttributedString& text, NSRange range, CGRect t, CGContext& context) {
    const TextLine& line = frame.lines()[i];
    NSRange r = line.range;
    CGFloat flush = RichFlushFactor(textAlignment());
    // On the frame line's baseline, flushed by its own width.
    auto drawAt = [&](const TextLayout& layout, std::size_t index) {
        CGFloat x = layout.penOffsetForFlush(index, flush, t.size.width);
        layout.drawLine(context, index, {t.origin.x + x, t.origin.y + line.baseline});
    };
    // A line that ends the text is drawn as it is: nothing follows it to stand for.
    if (r == NSRange{0, 0} || NSMaxRange(r) >= NSMaxRange(range)) {
        drawAt(frame, i);
        return;
    }
    NSLineBreakMode mode = numberOfLines() == 1 ? lineBreakMode() : NSLineBreakMode::ByTruncatingTail;
    TextTruncation truncation = mode == NSLineBreakMode::ByTruncatingHead     ? TextTruncation::Start
                                : mode == NSLineBreakMode::ByTruncatingMiddle ? TextTruncation::Middle
                                                                              : TextTruncation::End;
    std::shared_ptr<NSAttributedString> token = truncationToken_;
    if (!token) {
        std::size_t at = mode == NSLineBreakMode::ByTruncatingHead     ? r.location
                         : mode == NSLineBreakMode::ByTruncatingMiddle ? r.location + r.length / 2
                                                                       : r.location + r.length - 1;
        token = NSAttributedString::make(kEllipsis, text.attributesAtIndex(at));
    }
    auto lineText = text.attributedSubstringFromRange(r)->mutableCopy();
    if (lineText->length() > 0) {
        auto last = utf16CharacterAt(lineText->string(), lineText->length() - 1);
        if (last && (*last == u'\n' || *last == u'\r' || *last == 0x2028 || *last == 0x2029 || *last == 0x85))
            lineText->deleteCharactersInRange({lineText->length() - 1, 1});
    }
    lineText->appendAttributedString(*token);
    auto truncated = TextLayout::truncatedLine(*lineText, t.size.width, truncation, *token);
    if (truncated && truncated->lineCount() > 0)
        drawAt(*truncated, 0);
    else if (TextLayout alone(*token, TextLayoutOptions{}); alone.lineCount() > 0)
        drawAt(alone, 0);

    // A token that carries a link can be tapped: it becomes a link over where it stands.
    if (token->length() == 0) return;
    Value target = token->attributeAtIndex(NSLinkAttributeName, 0);
    if (target.isNull()) return;
    std::size_t found = utf16RangeOf(lineText->string(), token->string()).found() ? token->length() : 0;
    addTokenLink(target, {NSMaxRange(r) - found, found});
}

void RichLabel::addTokenLink(const Value& target, NSRange range) {
    std::shared_ptr<NSURL> url = target.objectAs<NSURL>();
    if (!url && target.isString()) url = NSURL::URLWithString(*target.string());
    auto result = NSTextCheckingResult::linkCheckingResultWithRange(range, url);
    for (const auto& link : linkModels_)
        if (link->result() == result) return;
    // Added from inside a draw: the text and links change, but no redraw is asked for.
    auto link = RichLabelLink::make(linkAttributes_, linkAttributes_ ? activeLinkAttributes_ : std::nullopt,
                                    linkAttributes_ ? inactiveLinkAttributes_ : std::nullopt, result);
    if (linkAttributes_ && NSMaxRange(range) <= attributedText_->length()) {
        auto styled = attributedText_->mutableCopy();
        styled->addAttributes(*linkAttributes_, range);
        attributedText_ = styled;
        setNeedsFramesetter();
    }
    auto all = linkModels_;
    all.push_back(link);
    setLinkModels(std::move(all));
}

void RichLabel::drawBackground(const TextLayout& frame, CGRect t, CGContext& context) const {
    CGFloat flush = RichFlushFactor(textAlignment());
    for (std::size_t i = 0; i < frame.lineCount(); ++i) {
        const TextLine& line = frame.lines()[i];
        CGPoint origin{frame.penOffsetForFlush(i, flush, t.size.width), t.size.height - line.baseline};
        CGFloat lineWidth = line.rect.size.width;
        for (const TextRun& run : frame.runsOfLine(i)) {
            auto fill = colorOf(run.attributes.get(kRichBackgroundFillColorAttributeName));
            auto stroke = colorOf(run.attributes.get(kRichBackgroundStrokeColorAttributeName));
            if (!fill && !stroke) continue;
            UIEdgeInsets padding = insetsOf(run.attributes.get(kRichBackgroundFillPaddingAttributeName));
            CGFloat radius = run.attributes.get(kRichBackgroundCornerRadiusAttributeName).floatValue();
            CGFloat outline = run.attributes.get(kRichBackgroundLineWidthAttributeName).floatValue();
            CGFloat start =
                frame.offsetForCharacterIndex(i, run.rightToLeft ? NSMaxRange(run.range) : run.range.location);
            CGRect box{
                {origin.x + start - padding.left, origin.y - padding.bottom - run.descent},
                {run.width + padding.left + padding.right, run.ascent + run.descent + padding.top + padding.bottom}};
            if (box.size.width > lineWidth) box.size.width = lineWidth;
            box = UIEdgeInsetsInsetRect(box, linkBackgroundEdgeInset_);
            box = CGRectInset(box, outline, outline);
            CGPath path;
            path.addRoundedRect(fromTextSpace(box, t), radius, radius);
            context.saveGState();
            context.setLineJoin(CGLineJoin::Round);
            if (fill) {
                context.setFillColorWithColor(*fill);
                context.addPath(path);
                context.fillPath();
            }
            if (stroke) {
                context.setStrokeColorWithColor(*stroke);
                context.addPath(path);
                context.strokePath();
            }
            context.restoreGState();
        }
    }
}

void RichLabel::drawStrike(const TextLayout& frame, CGRect t, CGContext& context) const {
    CGFloat flush = RichFlushFactor(textAlignment());
    auto ownFont = UIFont::fontWithName(font()->fontName(), font()->pointSize());
    CGFloat thickness = ownFont ? ownFont->underlineThickness() : 1;
    for (std::size_t i = 0; i < frame.lineCount(); ++i) {
        const TextLine& line = frame.lines()[i];
        CGPoint origin{frame.penOffsetForFlush(i, flush, t.size.width), t.size.height - line.baseline};
        CGFloat lineWidth = line.rect.size.width;
        for (const TextRun& run : frame.runsOfLine(i)) {
            if (!run.attributes.get(kRichStrikeOutAttributeName).boolValue()) continue;
            CGFloat start =
                frame.offsetForCharacterIndex(i, run.rightToLeft ? NSMaxRange(run.range) : run.range.location);
            CGFloat x = start + origin.x;
            CGFloat y = origin.y - run.descent;
            CGFloat height = run.ascent + run.descent;
            CGFloat width = std::min(run.width, lineWidth);
            std::int64_t script = run.attributes.get(kCTSuperscriptAttributeName).integerValue();
            if (script == -1)
                y += run.ascent * kSubscriptStrikeShift;
            else if (script == 1)
                y += run.ascent * kSuperscriptStrikeShift;
            CGColor color = colorOf(run.attributes.get(kCTForegroundColorAttributeName)).value_or(CGColor::gray(0, 1));
            CGFloat strikeY = std::round(height * 0.5 + y);
            CGFloat viewY = CGRectGetMaxY(t) - strikeY;
            context.saveGState();
            context.setStrokeColorWithColor(color);
            context.setLineWidth(thickness);
            context.moveToPoint(t.origin.x + x, viewY);
            context.addLineToPoint(t.origin.x + x + width, viewY);
            context.strokePath();
            context.restoreGState();
        }
    }
}
