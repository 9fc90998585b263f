// Showing and hiding the children of the app's containers, and the status-bar and rotation
// answers they take from the selected child. Main thread only.
#pragma once

#include <memory>

#include "platform/ui/controller/ui_view_controller.h"

// Adds the child (when it has no parent yet) into `into`, pinned to all four edges.
void activateChild(const std::shared_ptr<UIViewController>& container, const std::shared_ptr<UIViewController>& child,
                   const std::shared_ptr<UIView>& into);
// Removes the child from its parent, when it has one.
void deactivateChild(const std::shared_ptr<UIViewController>& child);

// A container's answers: the selected child's, else the container's own.
template <class Base>
class SelectedChildAnswers : public Base {
public:
    virtual std::shared_ptr<UIViewController> selectedChild() const = 0;
    bool prefersStatusBarHidden() const override {
        auto c = selectedChild();
        return c ? c->prefersStatusBarHidden() : Base::prefersStatusBarHidden();
    }
    UIStatusBarStyle preferredStatusBarStyle() const override {
        auto c = selectedChild();
        return c ? c->preferredStatusBarStyle() : Base::preferredStatusBarStyle();
    }
    bool shouldAutorotate() const override {
        auto c = selectedChild();
        return c ? c->shouldAutorotate() : Base::shouldAutorotate();
    }
    UIInterfaceOrientationMask supportedInterfaceOrientations() const override {
        auto c = selectedChild();
        return c ? c->supportedInterfaceOrientations() : Base::supportedInterfaceOrientations();
    }
};
