// Constraint values, activation through the closest common ancestor, and change notification.
#include "platform/ui/layout/layout_constraint.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "platform/runtime/log.h"
#include "platform/ui/view/ui_view.h"

namespace {

std::shared_ptr<UIView> viewOf(const std::shared_ptr<NSObject>& item) {
    if (auto v = std::dynamic_pointer_cast<UIView>(item)) return v;
    if (auto g = std::dynamic_pointer_cast<UILayoutGuide>(item)) return g->owningView();
    return nullptr;
}

std::shared_ptr<UIView> commonAncestor(const std::shared_ptr<UIView>& a, const std::shared_ptr<UIView>& b) {
    if (!a) return b;
    if (!b) return a;
    for (auto p = a; p; p = p->superview())
        if (b.get() == p.get() || b->isDescendantOfView(p.get())) return p;
    return nullptr;
}

}  // namespace

const char* NSLayoutAttributeName(NSLayoutAttribute attribute) {
    switch (attribute) {
        case NSLayoutAttribute::Left: return "left";
        case NSLayoutAttribute::Right: return "right";
        case NSLayoutAttribute::Top: return "top";
        case NSLayoutAttribute::Bottom: return "bottom";
        case NSLayoutAttribute::Leading: return "leading";
        case NSLayoutAttribute::Trailing: return "trailing";
        case NSLayoutAttribute::Width: return "width";
        case NSLayoutAttribute::Height: return "height";
        case NSLayoutAttribute::CenterX: return "centerX";
        case NSLayoutAttribute::CenterY: return "centerY";
        case NSLayoutAttribute::NotAnAttribute: return "notAnAttribute";
    }
    return "?";
}

std::shared_ptr<NSLayoutConstraint> NSLayoutConstraint::constraintWithItem(
    const std::shared_ptr<NSObject>& item1, NSLayoutAttribute attribute1, NSLayoutRelation relation,
    const std::shared_ptr<NSObject>& item2, NSLayoutAttribute attribute2, CGFloat multiplier, CGFloat constant) {
    auto c = NSLayoutConstraint::make();
    c->firstItem_ = item1;
    c->firstAttribute_ = attribute1;
    c->relation_ = relation;
    c->secondItem_ = item2;
    c->secondAttribute_ = item2 ? attribute2 : NSLayoutAttribute::NotAnAttribute;
    c->multiplier_ = multiplier;
    c->constant_ = constant;
    return c;
}

void NSLayoutConstraint::notifyChanged(bool structural) {
    if (auto h = holder_.lock()) h->constraintsChanged(structural);
}

void NSLayoutConstraint::setConstant(CGFloat c) {
    if (!std::isfinite(c)) {
        Log::error("layout", "A constraint's constant must be finite; kept " + description());
        return;
    }
    if (c == constant_) return;
    constant_ = c;
    notifyChanged(false);
}

void NSLayoutConstraint::setPriority(UILayoutPriority p) {
    p = std::clamp<UILayoutPriority>(p, 1, UILayoutPriorityRequired);
    bool wasRequired = priority_ >= UILayoutPriorityRequired, isRequired = p >= UILayoutPriorityRequired;
    if (isActive() && wasRequired != isRequired) {
        Log::error("layout",
                   "Changing a held constraint between required and optional is not allowed: " + description());
        return;
    }
    priority_ = p;
    notifyChanged(true);
}

void NSLayoutConstraint::setActive(bool active) {
    if (active == isActive()) return;
    if (!active) {
        if (auto h = holder_.lock()) h->removeConstraint(self<NSLayoutConstraint>());
        return;
    }
    auto v1 = viewOf(firstItem()), v2 = viewOf(secondItem());
    auto holder = v2 ? commonAncestor(v1, v2) : v1;
    if (!holder) {
        Log::error("layout", "Cannot activate a constraint whose items have no common ancestor: " + description());
        return;
    }
    holder->addConstraint(self<NSLayoutConstraint>());
}

void NSLayoutConstraint::activateConstraints(const std::vector<std::shared_ptr<NSLayoutConstraint>>& constraints) {
    for (const auto& c : constraints)
        if (c) c->setActive(true);
}

void NSLayoutConstraint::deactivateConstraints(const std::vector<std::shared_ptr<NSLayoutConstraint>>& constraints) {
    for (const auto& c : constraints)
        if (c) c->setActive(false);
}

bool NSLayoutConstraint::mentionsViewOrDescendant(const UIView& view) const {
    for (auto item : {firstItem(), secondItem()}) {
        auto v = viewOf(item);
        if (v && (v.get() == &view || v->isDescendantOfView(&view))) return true;
    }
    return false;
}

std::vector<std::shared_ptr<UIView>> NSLayoutConstraint::views() const {
    std::vector<std::shared_ptr<UIView>> out;
    for (auto item : {firstItem(), secondItem()})
        if (auto v = viewOf(item)) out.push_back(v);
    return out;
}

std::string NSLayoutConstraint::description() const {
    auto name = [](const std::shared_ptr<NSObject>& item) -> std::string {
        if (!item) return "nil";
        char buf[64];
        std::snprintf(buf, sizeof buf, "%s:%p", item->className().c_str(), static_cast<const void*>(item.get()));
        return buf;
    };
    const char* rel = relation_ == NSLayoutRelation::Equal             ? "=="
                      : relation_ == NSLayoutRelation::LessThanOrEqual ? "<="
                                                                       : ">=";
    char buf[320];
    auto second = secondItem();
    if (second)
        std::snprintf(buf, sizeof buf, "<NSLayoutConstraint %s%s.%s %s %s.%s * %g + %g @%g>",
                      identifier_.empty() ? "" : ("'" + identifier_ + "' ").c_str(), name(firstItem()).c_str(),
                      NSLayoutAttributeName(firstAttribute_), rel, name(second).c_str(),
                      NSLayoutAttributeName(secondAttribute_), multiplier_, constant_, priority_);
    else
        std::snprintf(buf, sizeof buf, "<NSLayoutConstraint %s%s.%s %s %g @%g>",
                      identifier_.empty() ? "" : ("'" + identifier_ + "' ").c_str(), name(firstItem()).c_str(),
                      NSLayoutAttributeName(firstAttribute_), rel, constant_, priority_);
    return buf;
}
