// Segments, selection by tap, sizing and drawing.
#include "platform/ui/control/ui_segmented_control.h"

#include <algorithm>
#include <cmath>

#include "platform/ui/draw/graphics.h"
#include "platform/ui/text/string_drawing.h"
#include "platform/ui/text/ui_font.h"

namespace {
constexpr CGFloat kDefaultTitleSize = 13;
}  // namespace

void UISegmentedControl::setTitleTextAttributes(ValueDictionary attributes, UIControlState state) {
    titleAttributes_[state] = std::move(attributes);
    invalidateIntrinsicContentSize();
    setNeedsDisplay();
}

ValueDictionary UISegmentedControl::titleTextAttributesForState(UIControlState state) const {
    auto own = titleAttributes_.find(state);
    if (own != titleAttributes_.end()) return own->second;
    auto normal = titleAttributes_.find(UIControlStateNormal);
    return normal != titleAttributes_.end() ? normal->second : ValueDictionary{};
}

ValueDictionary UISegmentedControl::titleAttributes(UIControlState state,
                                                    const std::shared_ptr<UIColor>& defaultColor) const {
    NSAttributes a;
    a.set(NSFontAttributeName, Value(UIFont::systemFontOfSize(kDefaultTitleSize)));
    a.set(NSForegroundColorAttributeName, Value(defaultColor));
    for (const auto& [key, value] : titleTextAttributesForState(state)) a.set(key, value);
    return a;
}

std::shared_ptr<UISegmentedControl> UISegmentedControl::withItems(const std::vector<std::string>& titles) {
    auto c = UISegmentedControl::make();
    for (const auto& t : titles) c->insertSegmentWithTitle(t, c->numberOfSegments());
    CGRect f = c->frame();
    c->setFrame({f.origin, c->sizeThatFits({0, 0})});
    return c;
}

void UISegmentedControl::init() {
    UIControl::init();
}

void UISegmentedControl::insert(Segment s, std::size_t index) {
    index = std::min(index, segments_.size());
    segments_.insert(segments_.begin() + long(index), std::move(s));
    if (selected_ >= long(index)) ++selected_;
    invalidateIntrinsicContentSize();
    setNeedsDisplay();
}

void UISegmentedControl::insertSegmentWithTitle(const std::string& title, std::size_t index, bool) {
    insert({title, nullptr, true, 0, {0, 0}}, index);
}

void UISegmentedControl::insertSegmentWithImage(std::shared_ptr<UIImage> image, std::size_t index, bool) {
    insert({std::nullopt, std::move(image), true, 0, {0, 0}}, index);
}

void UISegmentedControl::removeSegmentAtIndex(std::size_t index, bool) {
    if (index >= segments_.size()) return;
    segments_.erase(segments_.begin() + long(index));
    if (selected_ == long(index))
        selected_ = UISegmentedControlNoSegment;
    else if (selected_ > long(index))
        --selected_;
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

CGFloat UISegmentedControl::widthForSegmentAtIndex(std::size_t index) const {
    return index < segments_.size() ? segments_[index].width : 0;
}

void UISegmentedControl::setWidth(CGFloat width, std::size_t index) {
    if (index >= segments_.size() || !(width >= 0)) return;
    segments_[index].width = width;
    invalidateIntrinsicContentSize();
    setNeedsDisplay();
}

CGSize UISegmentedControl::contentOffsetForSegmentAtIndex(std::size_t index) const {
    return index < segments_.size() ? segments_[index].offset : CGSize{0, 0};
}

void UISegmentedControl::setContentOffset(CGSize offset, std::size_t index) {
    if (index >= segments_.size()) return;
    segments_[index].offset = offset;
    setNeedsDisplay();
}

void UISegmentedControl::setDividerImage(std::shared_ptr<UIImage> image) {
    divider_ = std::move(image);
    setNeedsDisplay();
}

std::shared_ptr<UIImage> UISegmentedControl::backgroundImageForState(UIControlState state) const {
    auto it = backgrounds_.find(state);
    if (it != backgrounds_.end()) return it->second;
    it = backgrounds_.find(UIControlStateNormal);
    return it != backgrounds_.end() ? it->second : nullptr;
}

void UISegmentedControl::setBackgroundImage(std::shared_ptr<UIImage> image, UIControlState state) {
    if (image)
        backgrounds_[state] = std::move(image);
    else
        backgrounds_.erase(state);
    setNeedsDisplay();
}

CGRect UISegmentedControl::rectForSegmentAtIndex(std::size_t index) const {
    if (index >= segments_.size()) return CGRectZero;
    CGRect b = bounds();
    CGFloat fixed = 0;
    std::size_t shared = 0;
    for (const auto& s : segments_) {
        if (s.width > 0)
            fixed += s.width;
        else
            ++shared;
    }
    CGFloat share = shared ? std::max<CGFloat>(0, b.size.width - fixed) / CGFloat(shared) : 0;
    CGFloat x = b.origin.x;
    for (std::size_t i = 0; i < index; ++i) x += segments_[i].width > 0 ? segments_[i].width : share;
    CGFloat w = segments_[index].width > 0 ? segments_[index].width : share;
    return {{x, b.origin.y}, {w, b.size.height}};
}

long UISegmentedControl::segmentAtPoint(CGPoint p) const {
    if (segments_.empty() || !CGRectContainsPoint(bounds(), p)) return UISegmentedControlNoSegment;
    for (std::size_t i = 0; i < segments_.size(); ++i)
        if (p.x < CGRectGetMaxX(rectForSegmentAtIndex(i))) return long(i);
    return long(segments_.size()) - 1;
}

void UISegmentedControl::endTrackingWithTouch(const UITouch* touch, const UIEvent*) {
    if (!touch) return;
    auto me = std::static_pointer_cast<UIView>(shared_from_this());
    long i = segmentAtPoint(touch->locationInView(me));
    if (i == UISegmentedControlNoSegment || !segments_[std::size_t(i)].enabled) return;
    if (momentary_) {
        // The tapped segment reads as selected while the action runs, then the selection goes.
        selected_ = i;
        sendActionsForControlEvents(UIControlEventValueChanged);
        selected_ = UISegmentedControlNoSegment;
        return;
    }
    if (i == selected_) return;
    selected_ = i;
    setNeedsDisplay();
    sendActionsForControlEvents(UIControlEventValueChanged);
}

CGSize UISegmentedControl::sizeThatFits(CGSize) const {
    CGFloat widest = 0, fixed = 0;
    std::size_t shared = 0;
    for (const auto& s : segments_) {
        if (s.width > 0) {
            fixed += s.width;
            continue;
        }
        ++shared;
        CGFloat w = s.image ? s.image->size().width : 0;
        // The wider of the two fonts a title takes, so selecting never clips it.
        if (s.title)
            w = std::max(
                sizeWithAttributes(*s.title, titleAttributes(UIControlStateNormal, UIColor::labelColor())).width,
                sizeWithAttributes(*s.title, titleAttributes(UIControlStateSelected, UIColor::labelColor())).width);
        widest = std::max(widest, w);
    }
    return {std::ceil(fixed + (widest + 20) * CGFloat(shared)), 32};
}

void UISegmentedControl::drawRect(CGRect) {
    CGContext* c = UIGraphicsGetCurrentContext();
    if (!c || segments_.empty()) return;
    CGRect b = bounds();
    auto background = backgroundImageForState(isEnabled() ? UIControlStateNormal : UIControlStateDisabled);
    if (background) {
        background->drawInRect(b);
    } else if (!divider_) {
        CGPath body;
        body.addRoundedRect(b, 8, 8);
        c->setFillColorWithColor(UIColor::systemGray6Color()->cgColor());
        c->addPath(body);
        c->fillPath();
    }
    for (std::size_t i = 0; i < segments_.size(); ++i) {
        CGRect r = rectForSegmentAtIndex(i);
        if (divider_ && i > 0) {
            CGSize ds = divider_->size();
            divider_->drawInRect({{r.origin.x - ds.width / 2, CGRectGetMidY(r) - ds.height / 2}, ds});
        }
        r.origin.x += segments_[i].offset.width;
        r.origin.y += segments_[i].offset.height;
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
            UIControlState state = !enabled               ? UIControlStateDisabled
                                   : long(i) == selected_ ? UIControlStateSelected
                                                          : UIControlStateNormal;
            auto attrs = titleAttributes(state, enabled ? UIColor::labelColor() : UIColor::systemGrayColor());
            CGSize ts = sizeWithAttributes(*s.title, attrs);
            drawAtPoint(*s.title, {CGRectGetMidX(r) - ts.width / 2, CGRectGetMidY(r) - ts.height / 2}, attrs);
        } else if (s.image) {
            CGSize is = s.image->size();
            s.image->drawInRect({{CGRectGetMidX(r) - is.width / 2, CGRectGetMidY(r) - is.height / 2}, is},
                                CGBlendMode::Normal, enabled ? 1.0 : 0.35);
        }
    }
}
