// The view a controller makes for itself: its layout pass runs the controller's layout hooks.
#pragma once

#include <memory>

#include "platform/ui/app/ui_screen.h"
#include "platform/ui/view/ui_view.h"

class UIViewController;

// While one exists, views entering or leaving a window leave their controllers' appearance alone:
// containers that add and remove their children's views send the appearance calls themselves.
class ManagedAppearance {
public:
    ManagedAppearance() { ++depth(); }
    ~ManagedAppearance() { --depth(); }
    ManagedAppearance(const ManagedAppearance&) = delete;
    ManagedAppearance& operator=(const ManagedAppearance&) = delete;
    static bool active() { return depth() > 0; }

private:
    static int& depth() {
        static int d = 0;
        return d;
    }
};

// A child controller's view that enters a window while its parent is on screen makes the child
// appear, and one that leaves makes it disappear (the way child screens are shown by adding
// their views).
class ControllerView : public UIView {
public:
    KORVA_MAKE(ControllerView)
    void setController(const std::shared_ptr<UIViewController>& c) { controller_ = c; }
    void layoutSubviews() override;
    void willMoveToWindow(const std::shared_ptr<UIWindow>& window) override;
    void didMoveToWindow() override;
    // The screen's traits reach the controllers; a turn or resize of the window reaches the
    // window's root controller (which passes it on to its children and what it presents).
    void traitCollectionDidChange() override;
    void safeAreaInsetsDidChange() override;
    // A controller's view keeps the platform's side margins and tells its controller of changes.
    void init() override;
    void layoutMarginsDidChange() override;
    static constexpr CGFloat kSideMargin = 16;
    // The window is about to take the turned screen's frame: announces the turn.
    void windowWillChangeScreenGeometry();
    std::string className() const override { return "ControllerView"; }

protected:
    explicit ControllerView(CGRect frame = CGRectZero) : UIView(frame) {}

private:
    std::weak_ptr<UIViewController> controller_;
    bool pendingAppearance_ = false;
    CGSize lastWindowSize_{0, 0};
    UIInterfaceOrientation lastOrientation_ = UIInterfaceOrientation::Unknown;
    // The turn already announced by willRotate, so that it is announced once.
    UIInterfaceOrientation announced_ = UIInterfaceOrientation::Unknown;
};
