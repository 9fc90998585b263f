// Identified constraints on the holder's own list.
#include "ui/layout/view_custom_identified.h"

#include "platform/ui/view/ui_view.h"

std::shared_ptr<NSLayoutConstraint> getLayoutConstraint(const UIView& view, std::string_view identifier) {
    for (const auto& c : view.constraints()) {
        if (c->identifier() == identifier) return c;
    }
    return nullptr;
}

bool setLayoutConstant(UIView& view, std::string_view identifier, CGFloat constant) {
    auto c = getLayoutConstraint(view, identifier);
    if (!c) return false;
    c->setConstant(constant);
    view.updateConstraints();
    return true;
}

CGFloat getLayoutConstant(const UIView& view, std::string_view identifier) {
    auto c = getLayoutConstraint(view, identifier);
    return c ? c->constant() : 0;
}

CGFloat getLayoutMultiplier(const UIView& view, std::string_view identifier) {
    auto c = getLayoutConstraint(view, identifier);
    return c ? c->multiplier() : 0;
}

bool setLayoutConstraint(UIView& view, std::string_view identifier, CGFloat multiplier, CGFloat constant) {
    auto old = getLayoutConstraint(view, identifier);
    if (!old) return false;
    NSLayoutConstraint::deactivateConstraints({old});
    view.removeConstraint(old);
    auto replacement =
        NSLayoutConstraint::constraintWithItem(old->firstItem(), old->firstAttribute(), old->relation(),
                                               old->secondItem(), old->secondAttribute(), multiplier, constant);
    replacement->setIdentifier(old->identifier());
    replacement->setPriority(old->priority());
    replacement->setShouldBeArchived(old->shouldBeArchived());
    view.addConstraint(replacement);
    NSLayoutConstraint::activateConstraints({replacement});
    view.updateConstraints();
    return true;
}

void removeMyConstraints(UIView& view) {
    std::vector<std::shared_ptr<NSLayoutConstraint>> mine;
    for (const auto& c : view.constraints()) {
        if (c->firstItem().get() == &view) mine.push_back(c);
    }
    view.removeConstraints(mine);
}
