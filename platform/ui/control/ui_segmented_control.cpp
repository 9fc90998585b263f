// Segments, selection by tap, sizing and drawing.
#include "platform/ui/control/ui_segmented_control.h"

#include <algorithm>
#include <cmath>

#include "platform/ui/draw/graphics.h"
#include "platform/ui/text/string_drawing.h"
#include "platform/ui/text/ui_font.h"

namespace {
NSAttributes titleAttributes(const std::shared_ptr<UIColor>& color) {
    NSAttributes a;
    a.set(NSFontAttributeName, Value(UIFont::systemFontOfSize(13)));
    a.set(NSForegroundColorAttributeName, Value(color));
    return a;
}
}  // namespace

std::shared_ptr<UISegmentedControl> UISegmentedControl::withItems(const std::vector<std::string>& titles) {
    auto c = UISegmentedControl::make();
    for (const auto& t : titles) c->insertSegmentWithTitle(t, c->numberOfSegments());
    CGRect f = c->frame();
    c->setFrame({f.origin, c->sizeThatFits({0, 0})});
    return c;
}

void UISegmentedControl::init() { UIControl::init(); }

void UISegmentedControl::insert(Segment s, std::size_t index) {
    index = std::min(index, segments_.size());
    segments_.insert(segments_.begin() + long(index), std::move(s));
    if (selected_ >= long(index)) ++selected_;
    invalidateIntrinsicContentSize();
    setNeedsDisplay();
}

void UISegmentedControl::insertSegmentWithTitle(const std::string& title, std::size_t index, bool) {
    insert({title, nullptr, true}, index);
}

void UISegmentedControl::insertSegmentWithImage(std::shared_ptr<UIImage> image, std::size_t index, bool) {
    insert({std::nullopt, std::move(image), true}, index);
}

void UISegmentedControl::removeSegmentAtIndex(std::size_t index, bool) {
    if (index >= segments_.size()) return;
    segments_.erase(segments_.begin() + long(index));
    if (selected_ == long(index)) selected_ = UISegmentedControlNoSegment;
    else if (selected_ > long(index)) --selected_;
    invalidateIntrinsicContentSize();
    setNeedsDisplay();
}

void UISegmentedControl::removeAllSegments() {
    segments_.clear();
    selected_ = UISegmentedControlNoSegment;
    setNeedsDisplay();
}

void UISegmentedControl::setTitle(const std::string& title, std::size_t index) {
    if (index >= segments_.size()) return;
    segments_[index].title = title;
    segments_[index].image.reset();
    setNeedsDisplay();
}

std::optional<std::string> UISegmentedControl::titleForSegmentAtIndex(std::size_t index) const {
    return index < segments_.size() ? segments_[index].title : std::nullopt;
}

void UISegmentedControl::setImage(std::shared_ptr<UIImage> image, std::size_t index) {
    if (index >= segments_.size()) return;
    segments_[index].image = std::move(image);
    segments_[index].title.reset();
    setNeedsDisplay();
}

std::shared_ptr<UIImage> UISegmentedControl::imageForSegmentAtIndex(std::size_t index) const {
    return index < segments_.size() ? segments_[index].image : nullptr;
}

void UISegmentedControl::setEnabledForSegmentAtIndex(bool enabled, std::size_t index) {
    if (index >= segments_.size()) return;
    segments_[index].enabled = enabled;
    setNeedsDisplay();
}

bool UISegmentedControl::isEnabledForSegmentAtIndex(std::size_t index) const {
    return index < segments_.size() && segments_[index].enabled;
}

void UISegmentedControl::setSelectedSegmentIndex(long index) {
    if (index != UISegmentedControlNoSegment && (index < 0 || index >= long(segments_.size()))) return;
    selected_ = index;
    setNeedsDisplay();
}

void UISegmentedControl::setSelectedSegmentTintColor(std::shared_ptr<UIColor> c) {
    selectedTint_ = std::move(c);
    setNeedsDisplay();
}

long UISegmentedControl::segmentAtPoint(CGPoint p) const {
    if (segments_.empty() || !CGRectContainsPoint(bounds(), p)) return UISegmentedControlNoSegment;
    CGFloat w = bounds().size.width / CGFloat(segments_.size());
    long i = long((p.x - bounds().origin.x) / w);
    return std::clamp(i, 0L, long(segments_.size()) - 1);
}

void UISegmentedControl::endTrackingWithTouch(const UITouch* touch, const UIEvent*) {
    if (!touch) return;
    auto me = std::static_pointer_cast<UIView>(shared_from_this());
    long i = segmentAtPoint(touch->locationInView(me));
    if (i == UISegmentedControlNoSegment || !segments_[std::size_t(i)].enabled) return;
    if (momentary_) {
        sendActionsForControlEvents(UIControlEventValueChanged);
        return;
    }
    if (i == selected_) return;
    selected_ = i;
    setNeedsDisplay();
    sendActionsForControlEvents(UIControlEventValueChanged);
}

CGSize UISegmentedControl::sizeThatFits(CGSize) const {
    CGFloat widest = 0;
    for (const auto& s : segments_) {
        CGFloat w = s.image ? s.image->size().width : 0;
        if (s.title) w = sizeWithAttributes(*s.title, titleAttributes(UIColor::labelColor())).width;
        widest = std::max(widest, w);
    }
    return {std::ceil((widest + 20) * CGFloat(segments_.size())), 32};
}

void UISegmentedControl::drawRect(CGRect) {
    CGContext* c = UIGraphicsGetCurrentContext();
    if (!c || segments_.empty()) return;
    CGRect b = bounds();
    CGPath body;
    body.addRoundedRect(b, 8, 8);
    c->setFillColorWithColor(UIColor::systemGray6Color()->cgColor());
    c->addPath(body);
    c->fillPath();
    CGFloat w = b.size.width / CGFloat(segments_.size());
    for (std::size_t i = 0; i < segments_.size(); ++i) {
        CGRect r{{b.origin.x + w * CGFloat(i), b.origin.y}, {w, b.size.height}};
        if (long(i) == selected_) {
            CGPath sel;
            sel.addRoundedRect(CGRectInset(r, 2, 2), 7, 7);
            c->setFillColorWithColor((selectedTint_ ? selectedTint_ : UIColor::whiteColor())->cgColor());
            c->addPath(sel);
            c->fillPath();
        }
        const auto& s = segments_[i];
        bool enabled = s.enabled && isEnabled();
        if (s.title) {
            auto color = enabled ? UIColor::labelColor() : UIColor::systemGrayColor();
            auto attrs = titleAttributes(color);
            CGSize ts = sizeWithAttributes(*s.title, attrs);
            drawAtPoint(*s.title, {CGRectGetMidX(r) - ts.width / 2, CGRectGetMidY(r) - ts.height / 2}, attrs);
        } else if (s.image) {
            CGSize is = s.image->size();
            s.image->drawInRect({{CGRectGetMidX(r) - is.width / 2, CGRectGetMidY(r) - is.height / 2}, is});
        }
    }
}
