// The ordered subview list, kept in step with the layer tree, and the hooks around its changes.
#include <algorithm>

#include "platform/ui/app/ui_window.h"
#include "platform/ui/layout/layout_engine.h"
#include "platform/ui/view/ui_view.h"

std::shared_ptr<UIWindow> UIView::window() const {
    for (auto v = std::const_pointer_cast<UIView>(self<UIView>()); v; v = v->superview())
        if (auto w = std::dynamic_pointer_cast<UIWindow>(v)) return w;
    return nullptr;
}

bool UIView::isDescendantOfView(const UIView* view) const {
    if (!view) return false;
    if (view == this) return true;
    for (auto p = superview(); p; p = p->superview())
        if (p.get() == view) return true;
    return false;
}

std::shared_ptr<UIView> UIView::viewWithTag(long tag) {
    if (tag_ == tag) return self<UIView>();
    for (auto& s : subviews_)
        if (auto found = s->viewWithTag(tag)) return found;
    return nullptr;
}

void UIView::willMoveToSuperview(const std::shared_ptr<UIView>&) {}
void UIView::didMoveToSuperview() {}
void UIView::willMoveToWindow(const std::shared_ptr<UIWindow>&) {}
void UIView::didMoveToWindow() {}
void UIView::didAddSubview(const std::shared_ptr<UIView>&) {}
void UIView::willRemoveSubview(const std::shared_ptr<UIView>&) {}

void UIView::notifyWindowChange(const std::shared_ptr<UIWindow>& oldWindow, const std::shared_ptr<UIWindow>& newWindow,
                                bool before) {
    if (oldWindow == newWindow) return;
    if (before)
        willMoveToWindow(newWindow);
    else {
        if (newWindow && !appearanceApplied_) {
            appearanceApplied_ = true;
            applyAppearance();
        }
        didMoveToWindow();
        // The safe area and the traits may differ in the new window.
        safeAreaMayHaveChanged();
        traitCollectionDidChange();
    }
    auto subs = subviews_;
    for (auto& s : subs) s->notifyWindowChange(oldWindow, newWindow, before);
}

void UIView::placeLayerAtIndex(const std::shared_ptr<UIView>& view, std::size_t index) {
    // Below the layer of the next subview, or on top of every sublayer when it is the last one.
    if (index + 1 < subviews_.size())
        layer_->insertSublayerBelow(view->layer_, subviews_[index + 1]->layer_);
    else
        layer_->addSublayer(view->layer_);
}

void UIView::addSubview(const std::shared_ptr<UIView>& view) {
    insertSubviewInternal(view, subviews_.size());
}

void UIView::insertSubviewAtIndex(const std::shared_ptr<UIView>& view, std::size_t index) {
    insertSubviewInternal(view, index);
}

void UIView::insertSubviewBelow(const std::shared_ptr<UIView>& view, const std::shared_ptr<UIView>& sibling) {
    if (!view) return;
    if (view->superview().get() == this) {
        // Find the sibling's index once the view is out of the list.
        auto copy = subviews_;
        copy.erase(std::remove(copy.begin(), copy.end(), view), copy.end());
        auto it = std::find(copy.begin(), copy.end(), sibling);
        insertSubviewInternal(view, it == copy.end() ? 0 : static_cast<std::size_t>(it - copy.begin()));
        return;
    }
    auto it = std::find(subviews_.begin(), subviews_.end(), sibling);
    insertSubviewInternal(view, it == subviews_.end() ? 0 : static_cast<std::size_t>(it - subviews_.begin()));
}

void UIView::insertSubviewAbove(const std::shared_ptr<UIView>& view, const std::shared_ptr<UIView>& sibling) {
    if (!view) return;
    auto copy = subviews_;
    copy.erase(std::remove(copy.begin(), copy.end(), view), copy.end());
    auto it = std::find(copy.begin(), copy.end(), sibling);
    std::size_t index = it == copy.end() ? copy.size() : static_cast<std::size_t>(it - copy.begin()) + 1;
    if (view->superview().get() != this) {
        auto own = std::find(subviews_.begin(), subviews_.end(), sibling);
        index = own == subviews_.end() ? subviews_.size() : static_cast<std::size_t>(own - subviews_.begin()) + 1;
    }
    insertSubviewInternal(view, index);
}

void UIView::insertSubviewInternal(const std::shared_ptr<UIView>& view, std::size_t index) {
    if (!view || view.get() == this || isDescendantOfView(view.get())) return;
    auto me = self<UIView>();
    if (view->superview() == me) {
        subviews_.erase(std::remove(subviews_.begin(), subviews_.end(), view), subviews_.end());
        index = std::min(index, subviews_.size());
        subviews_.insert(subviews_.begin() + static_cast<std::ptrdiff_t>(index), view);
        placeLayerAtIndex(view, index);
        return;
    }
    auto oldWindow = view->window();
    auto newWindow = window();
    view->willMoveToSuperview(me);
    view->notifyWindowChange(oldWindow, newWindow, true);
    if (view->superview()) view->detachFromSuperview(true);
    index = std::min(index, subviews_.size());
    subviews_.insert(subviews_.begin() + static_cast<std::ptrdiff_t>(index), view);
    view->superview_ = me;
    view->engine_.reset();  // the tree's engine now lays it out
    placeLayerAtIndex(view, index);
    view->setNeedsLayout();
    constraintsChanged();
    view->didMoveToSuperview();
    view->notifyWindowChange(oldWindow, newWindow, false);
    // Inside a controller with its own appearance, dynamic colours resolve anew.
    if (oldWindow == newWindow && view->traitCollection() != UITraitCollection::currentTraitCollection())
        view->traitCollectionDidChange();
    didAddSubview(view);
}

void UIView::bringSubviewToFront(const std::shared_ptr<UIView>& view) {
    auto it = std::find(subviews_.begin(), subviews_.end(), view);
    if (it == subviews_.end()) return;
    subviews_.erase(it);
    subviews_.push_back(view);
    layer_->addSublayer(view->layer_);
}

void UIView::sendSubviewToBack(const std::shared_ptr<UIView>& view) {
    auto it = std::find(subviews_.begin(), subviews_.end(), view);
    if (it == subviews_.end()) return;
    subviews_.erase(it);
    subviews_.insert(subviews_.begin(), view);
    layer_->insertSublayerAtIndex(view->layer_, 0);
}

void UIView::exchangeSubviewAtIndex(std::size_t index1, std::size_t index2) {
    if (index1 >= subviews_.size() || index2 >= subviews_.size() || index1 == index2) return;
    std::swap(subviews_[index1], subviews_[index2]);
    std::size_t lo = std::min(index1, index2), hi = std::max(index1, index2);
    auto high = subviews_[hi], low = subviews_[lo];
    high->layer_->removeFromSuperlayer();
    placeLayerAtIndex(high, hi);
    low->layer_->removeFromSuperlayer();
    placeLayerAtIndex(low, lo);
}

void UIView::removeFromSuperview() {
    auto parent = superview();
    if (!parent) return;
    auto keep = self<UIView>();
    auto oldWindow = window();
    willMoveToSuperview(nullptr);
    notifyWindowChange(oldWindow, nullptr, true);
    detachFromSuperview(true);
    didMoveToSuperview();
    notifyWindowChange(oldWindow, nullptr, false);
}

void UIView::detachFromSuperview(bool dropConstraints) {
    auto parent = superview();
    if (!parent) return;
    parent->willRemoveSubview(self<UIView>());
    if (dropConstraints) dropConstraintsMentioningSubtree();
    parent->constraintsChanged();
    auto& list = parent->subviews_;
    list.erase(std::remove_if(list.begin(), list.end(), [this](const auto& v) { return v.get() == this; }), list.end());
    superview_.reset();
    layer_->removeFromSuperlayer();
    parent->setNeedsLayout();
}

void UIView::dropConstraintsMentioningSubtree() {
    // Constraints held above the subtree that mention anything inside it.
    for (auto a = superview(); a; a = a->superview()) {
        std::vector<std::shared_ptr<NSLayoutConstraint>> doomed;
        for (const auto& c : a->constraints_)
            if (c->mentionsViewOrDescendant(*this)) doomed.push_back(c);
        if (!doomed.empty()) a->removeConstraints(doomed);
    }
    // Constraints held inside the subtree that reach views outside it.
    std::vector<UIView*> stack{this};
    while (!stack.empty()) {
        UIView* v = stack.back();
        stack.pop_back();
        std::vector<std::shared_ptr<NSLayoutConstraint>> doomed;
        for (const auto& c : v->constraints_)
            for (const auto& item : c->views())
                if (!item->isDescendantOfView(this)) {
                    doomed.push_back(c);
                    break;
                }
        if (!doomed.empty()) v->removeConstraints(doomed);
        for (auto& s : v->subviews_) stack.push_back(s.get());
    }
}
