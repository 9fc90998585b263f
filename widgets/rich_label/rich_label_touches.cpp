// The rich label's links under the finger: the character at a point, the link at a point (with
// the extended touch area), pressing and releasing links, taps and long presses sent to the link's
// callback or the delegate, and the dimmed look of links while the tint is dimmed.
#include <cmath>

#include "widgets/rich_label/rich_label.h"
#include "widgets/rich_label/rich_label_attributes.h"

namespace {

// Touches this far outside the bounds may still find a link.
constexpr CGFloat kTouchSlop = 15;
// Radii tried around a touch that misses every link, when the touch area is extended.
constexpr double kSearchRadii[] = {2.5, 5, 7.5, 12.5, 15};
// A label this transparent lets touches through, as the platform does.
constexpr CGFloat kMinimumTouchAlpha = 0.01;

}  // namespace

std::size_t RichLabel::characterIndexAtPoint(CGPoint p) const {
    CGRect b = bounds();
    if (!attributedText_ || !CGRectContainsPoint(b, p)) return NSNotFound;
    CGRect t = textRectForBounds(b, numberOfLines());
    if (!CGRectContainsPoint(t, p)) return NSNotFound;
    auto frame = framesetter()->frame({0, attributedText_->length()}, t.size);
    std::size_t count = frame->lineCount();
    std::size_t n = numberOfLines() > 0 ? std::min<std::size_t>(std::size_t(numberOfLines()), count) : count;
    if (n == 0) return NSNotFound;
    CGFloat x = p.x - t.origin.x;
    CGFloat y = t.size.height - (p.y - t.origin.y);
    CGFloat flush = RichFlushFactor(textAlignment());
    for (std::size_t i = 0; i < n; ++i) {
        const TextLine& line = frame->lines()[i];
        CGFloat originY = t.size.height - line.baseline;
        CGFloat top = std::ceil(originY + line.ascent());
        CGFloat pen = frame->penOffsetForFlush(i, flush, t.size.width);
        if (y > top) return NSNotFound;
        if (y >= std::floor(originY - line.descent()) && x >= pen && x <= pen + line.rect.size.width)
            return frame->characterIndexForOffset(i, x - pen).value_or(NSNotFound);
    }
    return NSNotFound;
}

std::shared_ptr<RichLabelLink> RichLabel::linkAtCharacterIndex(std::size_t index) const {
    if (!attributedText_ || index >= attributedText_->length()) return nullptr;
    for (auto it = linkModels_.rbegin(); it != linkModels_.rend(); ++it)
        if (NSLocationInRange(index, (*it)->range())) return *it;
    return nullptr;
}

std::shared_ptr<RichLabelLink> RichLabel::linkAtRadius(double r, CGPoint p) const {
    double d = std::sqrt(2 * r * r);
    const CGPoint offsets[] = {{0, -r}, {0, r}, {-r, 0}, {r, 0}, {-d, -d}, {-d, d}, {d, d}, {d, -d}};
    for (CGPoint o : offsets)
        if (auto link = linkAtCharacterIndex(characterIndexAtPoint({p.x + o.x, p.y + o.y}))) return link;
    return nullptr;
}

std::shared_ptr<RichLabelLink> RichLabel::linkAtPoint(CGPoint p) const {
    if (linkModels_.empty() || !CGRectContainsPoint(CGRectInset(bounds(), -kTouchSlop, -kTouchSlop), p)) return nullptr;
    if (auto link = linkAtCharacterIndex(characterIndexAtPoint(p))) return link;
    if (!extendsLinkTouchArea_) return nullptr;
    for (double radius : kSearchRadii)
        if (auto link = linkAtRadius(radius, p)) return link;
    return nullptr;
}

std::shared_ptr<UIView> RichLabel::hitTest(CGPoint point) {
    if (isUserInteractionEnabled() && !isHidden() && alpha() >= kMinimumTouchAlpha && linkAtPoint(point))
        return self<UIView>();
    return UILabel::hitTest(point);
}

bool RichLabel::shouldReceiveTouch(UIGestureRecognizer&, const UITouch& touch) {
    return containslinkAtPoint(touch.locationInView(self<UIView>()));
}

void RichLabel::touchesBegan(const UITouchSet& touches, const UIEvent& event) {
    if (touches.empty()) return;
    setActiveLink(linkAtPoint(touches.front()->locationInView(self<UIView>())));
    if (!activeLink_) UITouchPassToNextResponder(*this, UITouchPhase::Began, touches, event);
}

void RichLabel::touchesMoved(const UITouchSet& touches, const UIEvent& event) {
    if (touches.empty()) return;
    if (!activeLink_) {
        UITouchPassToNextResponder(*this, UITouchPhase::Moved, touches, event);
        return;
    }
    // Moving back onto the link does not press it again.
    if (linkAtPoint(touches.front()->locationInView(self<UIView>())) != activeLink_) setActiveLink(nullptr);
}

void RichLabel::touchesEnded(const UITouchSet& touches, const UIEvent& event) {
    if (!activeLink_) {
        UITouchPassToNextResponder(*this, UITouchPhase::Ended, touches, event);
        return;
    }
    auto link = activeLink_;
    if (link->linkTapBlock()) {
        auto block = link->linkTapBlock();
        block(*this, *link);
        setActiveLink(nullptr);
        return;
    }
    NSTextCheckingResult result = link->result();
    setActiveLink(nullptr);
    sendEvent(result, std::nullopt);
}

void RichLabel::touchesCancelled(const UITouchSet& touches, const UIEvent& event) {
    if (activeLink_)
        setActiveLink(nullptr);
    else
        UITouchPassToNextResponder(*this, UITouchPhase::Cancelled, touches, event);
}

void RichLabel::longPressGestureDidFire(UILongPressGestureRecognizer& recognizer) {
    if (recognizer.state() != UIGestureRecognizerState::Began) return;
    CGPoint location = recognizer.locationInView(self<UIView>());
    auto link = linkAtPoint(location);
    if (!link) return;
    if (link->linkLongPressBlock()) {
        auto block = link->linkLongPressBlock();
        block(*this, *link);
        return;
    }
    sendEvent(link->result(), location);
}

void RichLabel::sendEvent(const NSTextCheckingResult& result, std::optional<CGPoint> longPressAt) {
    auto d = delegate();
    if (!d) return;
    // The operation for the kind when the delegate answers it, else the one for any kind.
    bool press = longPressAt.has_value();
    CGPoint at = longPressAt.value_or(CGPointZero);
    double date = result.date.value_or(0);
    switch (result.resultType) {
        case NSTextCheckingTypeLink:
            if (press ? d->didLongPressLinkWithURL(*this, result.URL, at) : d->didSelectLinkWithURL(*this, result.URL))
                return;
            break;
        case NSTextCheckingTypeAddress:
            if (press ? d->didLongPressLinkWithAddress(*this, result.addressComponents, at)
                      : d->didSelectLinkWithAddress(*this, result.addressComponents))
                return;
            break;
        case NSTextCheckingTypePhoneNumber:
            if (press ? d->didLongPressLinkWithPhoneNumber(*this, result.phoneNumber, at)
                      : d->didSelectLinkWithPhoneNumber(*this, result.phoneNumber))
                return;
            break;
        case NSTextCheckingTypeTransitInformation:
            if (press ? d->didLongPressLinkWithTransitInformation(*this, result.components, at)
                      : d->didSelectLinkWithTransitInformation(*this, result.components))
                return;
            break;
        case NSTextCheckingTypeDate:
            if (result.timeZone &&
                (press ? d->didLongPressLinkWithDateTimeZone(*this, date, *result.timeZone, result.duration, at)
                       : d->didSelectLinkWithDateTimeZone(*this, date, *result.timeZone, result.duration)))
                return;
            if (press ? d->didLongPressLinkWithDate(*this, date, at) : d->didSelectLinkWithDate(*this, date)) return;
            break;
        default: break;
    }
    if (press)
        d->didLongPressLinkWithTextCheckingResult(*this, result, at);
    else
        d->didSelectLinkWithTextCheckingResult(*this, result);
}

void RichLabel::tintColorDidChange() {
    if (!inactiveLinkAttributes_ || inactiveLinkAttributes_->empty() || !attributedText_) return;
    bool dimmed = tintAdjustmentMode() == UIViewTintAdjustmentMode::Dimmed;
    auto text = attributedText_->mutableCopy();
    for (const auto& link : linkModels_) {
        NSRange range = link->range();
        if (NSMaxRange(range) > text->length()) continue;
        const auto& remove = dimmed ? link->attributes() : link->inactiveAttributes();
        const auto& add = dimmed ? link->inactiveAttributes() : link->attributes();
        if (remove)
            for (const auto& [key, value] : *remove) text->removeAttribute(key, range);
        if (add) text->addAttributes(*add, range);
    }
    setAttributedText(text);
    setNeedsDisplay();
}
