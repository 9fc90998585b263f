// The status-bar and rotation answers of a container: those of the child it shows (its selected
// or top controller), else its own. Main thread only.
#pragma once

#include <memory>

#include "platform/ui/controller/ui_view_controller.h"

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
    bool shouldAutorotateToInterfaceOrientation(UIInterfaceOrientation orientation) const override {
        auto c = selectedChild();
        return c ? c->shouldAutorotateToInterfaceOrientation(orientation)
                 : Base::shouldAutorotateToInterfaceOrientation(orientation);
    }
};
