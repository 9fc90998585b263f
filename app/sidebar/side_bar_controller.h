// The side bar: a content controller filling the view and up to two menus, one per side, that a
// style per side slides in and out. The container keeps the state, routes the gestures to the
// active style, switches touches between content and menu, and tells its delegate.
//
// States, in the order a menu goes through them:
//
//   Hidden (initial) --edge gesture or show, with a style and a menu for the side-->
//   WillShow --the style's animation--> Shown --tap, closing drag or hide--> WillHide
//   --the style's animation--> Hidden (current style cleared)
//
// Showing starts only from Hidden and hiding only from Shown; the states in between belong to the
// style. Main thread only.
#pragma once

#include <cstdint>
#include <map>
#include <memory>

#include "app/sidebar/side_bar_style.h"
#include "platform/ui/controller/ui_view_controller.h"
#include "platform/ui/controller/ui_view_controller_rotation.h"
#include "platform/ui/gesture/ui_gesture_recognizer.h"

class UIPanGestureRecognizer;
class UIScreenEdgePanGestureRecognizer;
class UITapGestureRecognizer;

enum class SideBarState : std::uint64_t { WillShow = 0, Shown = 1, WillHide = 2, Hidden = 3 };
enum class SideBarDirection : std::uint64_t { Left = 0, Right = 1 };

class SideBarController;

// Every event is optional.
class SideBarControllerDelegate {
public:
    virtual ~SideBarControllerDelegate() = default;
    virtual void sideBarControllerWillShowMenuViewController(SideBarController&, UIViewController& /*menu*/) {}
    virtual void sideBarControllerDidShowMenuViewController(SideBarController&, UIViewController& /*menu*/) {}
    virtual void sideBarControllerWillHideMenuViewController(SideBarController&, UIViewController& /*menu*/) {}
    virtual void sideBarControllerDidHideMenuViewController(SideBarController&, UIViewController& /*menu*/) {}
};

class SideBarController : public UIViewController,
                          public UIViewControllerRotation,
                          public UIGestureRecognizerDelegate,
                          public SideBarStyleDelegate {
public:
    KORVA_MAKE(SideBarController)

    bool panGestureEnabled() const { return panGestureEnabled_; }
    // Read once, when the view loads.
    void setPanGestureEnabled(bool enabled) { panGestureEnabled_ = enabled; }
    SideBarState currentState() const { return currentState_; }
    SideBarDirection currentDirection() const { return currentDirection_; }
    const std::shared_ptr<SideBarStyle>& currentStyle() const { return currentStyle_; }
    std::shared_ptr<SideBarControllerDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const std::shared_ptr<SideBarControllerDelegate>& d) { delegate_ = d; }

    const std::shared_ptr<UIViewController>& contentViewController() const { return content_; }
    void setContentViewController(const std::shared_ptr<UIViewController>& controller);
    void setMenuViewController(const std::shared_ptr<UIViewController>& controller, SideBarDirection direction);
    void setSideBarStyle(const std::shared_ptr<SideBarStyle>& style, SideBarDirection direction);
    std::shared_ptr<UIViewController> menuViewControllerForDirection(SideBarDirection direction) const;
    std::shared_ptr<SideBarStyle> styleForDirection(SideBarDirection direction) const;

    void showMenuViewControllerInDirection(SideBarDirection direction);
    void hideMenuViewController(bool animated);

    const std::shared_ptr<UITapGestureRecognizer>& tapGestureRecognizer() const { return tap_; }
    const std::shared_ptr<UIPanGestureRecognizer>& panGestureRecognizer() const { return pan_; }
    const std::shared_ptr<UIScreenEdgePanGestureRecognizer>& leftEdgeGestureRecognizer() const { return leftEdge_; }
    const std::shared_ptr<UIScreenEdgePanGestureRecognizer>& rightEdgeGestureRecognizer() const { return rightEdge_; }

    void handleTapGesture(UIGestureRecognizer& tap);
    void handlePanGesture(UIGestureRecognizer& pan);
    void handleEdgeGesture(UIGestureRecognizer& edge, SideBarDirection direction);

    void viewDidLoad() override;
    bool shouldAutorotate() const override;
    std::shared_ptr<UIViewController> childViewControllerForStatusBarStyle() const override { return content_; }
    std::shared_ptr<UIViewController> childViewControllerForStatusBarHidden() const override { return content_; }
    void willAnimateRotationToInterfaceOrientation(UIInterfaceOrientation to, double duration) override;
    void didRotateFromInterfaceOrientation(UIInterfaceOrientation from) override;

    bool gestureRecognizerShouldBegin(UIGestureRecognizer& recognizer) override;
    bool shouldRecognizeSimultaneously(UIGestureRecognizer&, UIGestureRecognizer&) override { return true; }

    void sideBarStyleWillShowMenuViewController() override;
    void sideBarStyleDidShowMenuViewController() override;
    void sideBarStyleWillHideMenuViewController() override;
    void sideBarStyleDidHideMenuViewController() override;

    std::string className() const override { return "SideBarController"; }

protected:
    SideBarController() = default;
    // The menu's frame off its side of the container.
    CGRect menuFrame(SideBarDirection direction) const;
    // Passes a drag to the current style, then makes its translation zero again.
    void passPan(UIGestureRecognizer& pan);

private:
    void setupViewController(const std::shared_ptr<UIViewController>& controller, CGRect frame);
    void removeViewController(const std::shared_ptr<UIViewController>& controller);
    std::shared_ptr<UIViewController> currentMenu() const { return menuViewControllerForDirection(currentDirection_); }

    bool panGestureEnabled_ = false;
    SideBarState currentState_ = SideBarState::Hidden;
    SideBarDirection currentDirection_ = SideBarDirection::Left;
    std::shared_ptr<SideBarStyle> currentStyle_;
    std::shared_ptr<UIViewController> content_;
    std::map<SideBarDirection, std::shared_ptr<UIViewController>> menus_;
    std::map<SideBarDirection, std::shared_ptr<SideBarStyle>> styles_;
    std::weak_ptr<SideBarControllerDelegate> delegate_;
    std::shared_ptr<UITapGestureRecognizer> tap_;
    std::shared_ptr<UIPanGestureRecognizer> pan_;
    std::shared_ptr<UIScreenEdgePanGestureRecognizer> leftEdge_, rightEdge_;
};

// The side bar around a controller: the first side bar up its parents; none when there is none.
std::shared_ptr<SideBarController> sideBarController(const UIViewController& controller);
