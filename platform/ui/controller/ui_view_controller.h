// The view controller: owns one view (made lazily), reports its life cycle, holds child
// controllers, presents others modally, and answers the status-bar and rotation questions.
// Main-thread only.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/app/ui_screen.h"
#include "platform/ui/draw/trait_collection.h"
#include "platform/ui/view/ui_view.h"

class UINavigationController;
class UISplitViewController;
class UITabBarController;
class UINavigationItem;
class UITabBarItem;
class UIBarButtonItem;
class UIPopoverPresentationController;
class UIViewControllerTransitioningDelegate;
class UIStoryboard;

enum class UIStatusBarStyle { Default = 0, LightContent = 1, DarkContent = 3 };

using UIInterfaceOrientationMask = unsigned;
inline constexpr UIInterfaceOrientationMask UIInterfaceOrientationMaskPortrait = 1 << 1;
inline constexpr UIInterfaceOrientationMask UIInterfaceOrientationMaskLandscapeLeft = 1 << 4;
inline constexpr UIInterfaceOrientationMask UIInterfaceOrientationMaskLandscapeRight = 1 << 3;
inline constexpr UIInterfaceOrientationMask UIInterfaceOrientationMaskPortraitUpsideDown = 1 << 2;
inline constexpr UIInterfaceOrientationMask UIInterfaceOrientationMaskLandscape = (1 << 3) | (1 << 4);
inline constexpr UIInterfaceOrientationMask UIInterfaceOrientationMaskAll = 30;
inline constexpr UIInterfaceOrientationMask UIInterfaceOrientationMaskAllButUpsideDown = 26;

enum class UIModalPresentationStyle {
    FullScreen = 0,
    PageSheet = 1,
    FormSheet = 2,
    CurrentContext = 3,
    Custom = 4,
    OverFullScreen = 5,
    OverCurrentContext = 6,
    Popover = 7,
    None = -1,
    Automatic = -2,
};
enum class UIModalTransitionStyle { CoverVertical = 0, FlipHorizontal = 1, CrossDissolve = 2, PartialCurl = 3 };

// Where a controller stands in its appearance cycle; each callback is sent once per change.
enum class UIAppearanceState { Disappeared, Appearing, Appeared, Disappearing };

// Where a controller stands in modal presentation, as the presented one:
//   NotPresented   -> BeingPresented   present
//   BeingPresented -> Presented        the transition completes (NotPresented: cancelled)
//   Presented      -> BeingDismissed   dismiss
//   BeingDismissed -> NotPresented     the transition completes (Presented: cancelled)
//   any other      -> NotPresented     the controller below is dismissed: this one goes at once
// Every change goes through UIViewController::movePresentation, which refuses any other step.
enum class UIPresentationState { NotPresented, BeingPresented, Presented, BeingDismissed };

class UIViewController : public UIResponder {
public:
    KORVA_MAKE(UIViewController)
    void init() override;
    ~UIViewController() override;

    // The view, loaded on first access (loadView, then viewDidLoad).
    std::shared_ptr<UIView> view();
    std::shared_ptr<UIView> viewIfLoaded() const { return view_; }
    bool isViewLoaded() const { return view_ != nullptr; }
    void setView(std::shared_ptr<UIView> view);
    void loadViewIfNeeded() { (void)view(); }

    // Life-cycle hooks; overrides call the base first.
    virtual void loadView();
    virtual void viewDidLoad() {}
    virtual void viewWillAppear(bool /*animated*/) {}
    virtual void viewDidAppear(bool /*animated*/) {}
    virtual void viewWillDisappear(bool /*animated*/) {}
    virtual void viewDidDisappear(bool /*animated*/) {}
    virtual void viewWillLayoutSubviews() {}
    // The root view's layout margins changed (their own, or the safe area under them).
    virtual void viewLayoutMarginsDidChange() {}
    virtual void viewDidLayoutSubviews() {}
    virtual void traitCollectionDidChange(const UITraitCollection& /*previous*/) {}
    virtual void viewWillTransitionToSize(CGSize /*size*/) {}
    virtual void didRotateFromInterfaceOrientation(UIInterfaceOrientation /*from*/) {}
    virtual void didReceiveMemoryWarning() {}
    virtual void awakeFromStoryboard() {}

    UIAppearanceState appearanceState() const { return appearance_; }
    // Sends will-appear/will-disappear (when the state changes) and, at end, the did- form.
    // Child controllers whose views lie inside this view follow.
    void beginAppearanceTransition(bool appearing, bool animated);
    void endAppearanceTransition();
    // Both at once.
    void appear(bool animated) {
        beginAppearanceTransition(true, animated);
        endAppearanceTransition();
    }
    void disappear(bool animated) {
        beginAppearanceTransition(false, animated);
        endAppearanceTransition();
    }

    // Traits and size, pushed down from the window or container, with this controller's own
    // appearance when it overrides it.
    const UITraitCollection& traitCollection() const { return traits_; }
    void setTraitCollection(const UITraitCollection& traits);
    // Light or dark for this controller, its children and its views whatever the screen's
    // appearance; unspecified follows the screen.
    UIUserInterfaceStyle overrideUserInterfaceStyle() const override { return overrideStyle_; }
    void setOverrideUserInterfaceStyle(UIUserInterfaceStyle style);
    // Tells this controller, its children and what it presents (the window does this for its root
    // controller when the screen turns).
    void transitionToSize(CGSize size);
    void interfaceDidRotate(UIInterfaceOrientation from);

    // Status bar and rotation.
    virtual bool prefersStatusBarHidden() const { return false; }
    // The platform's answer, passed through the installed provider when there is one. A subclass
    // that overrides this without calling the base bypasses the provider.
    virtual UIStatusBarStyle preferredStatusBarStyle() const;
    using StatusBarStyleProvider =
        std::function<UIStatusBarStyle(const UIViewController& controller, UIStatusBarStyle platformStyle)>;
    // Installed once at start-up, before any screen exists; null removes it.
    static void setStatusBarStyleProvider(StatusBarStyleProvider provider);
    virtual std::shared_ptr<UIViewController> childViewControllerForStatusBarStyle() const { return nullptr; }
    virtual std::shared_ptr<UIViewController> childViewControllerForStatusBarHidden() const { return nullptr; }
    // Asks again; the window reads the effective answers below.
    void setNeedsStatusBarAppearanceUpdate();
    int statusBarUpdateCount() const { return statusBarUpdates_; }
    bool effectiveStatusBarHidden() const;
    UIStatusBarStyle effectiveStatusBarStyle() const;
    virtual bool shouldAutorotate() const { return true; }
    virtual UIInterfaceOrientationMask supportedInterfaceOrientations() const;
    // Whether the screen may turn to that orientation: by default, whether it is supported.
    virtual bool shouldAutorotateToInterfaceOrientation(UIInterfaceOrientation orientation) const;
    virtual UIInterfaceOrientation preferredInterfaceOrientationForPresentation() const {
        return UIInterfaceOrientation::Portrait;
    }

    const std::string& title() const { return title_; }
    virtual void setTitle(std::string title);
    std::shared_ptr<UINavigationItem> navigationItem();
    std::shared_ptr<UITabBarItem> tabBarItem();
    void setTabBarItem(std::shared_ptr<UITabBarItem> item);
    // Shown in the navigation controller's toolbar while this controller is on top.
    const std::vector<std::shared_ptr<UIBarButtonItem>>& toolbarItems() const { return toolbarItems_; }
    void setToolbarItems(std::vector<std::shared_ptr<UIBarButtonItem>> items, bool animated = false);
    CGSize preferredContentSize() const { return preferredContentSize_; }
    void setPreferredContentSize(CGSize size) { preferredContentSize_ = size; }
    bool hidesBottomBarWhenPushed() const { return hidesBottomBar_; }
    void setHidesBottomBarWhenPushed(bool h) { hidesBottomBar_ = h; }
    bool automaticallyAdjustsScrollViewInsets() const { return adjustsInsets_; }
    void setAutomaticallyAdjustsScrollViewInsets(bool a) { adjustsInsets_ = a; }
    bool isEditing() const { return editing_; }
    virtual void setEditing(bool editing, bool animated);

    // Child containment. addChildViewController sends willMoveToParent(self); the caller adds the
    // child's view and then sends didMoveToParent. removeFromParentViewController sends
    // didMoveToParent(nullptr); the caller sends willMoveToParent(nullptr) first.
    std::shared_ptr<UIViewController> parentViewController() const { return parent_.lock(); }
    const std::vector<std::shared_ptr<UIViewController>>& childViewControllers() const { return children_; }
    void addChildViewController(const std::shared_ptr<UIViewController>& child);
    void removeFromParentViewController();
    virtual void willMoveToParentViewController(const std::shared_ptr<UIViewController>& /*parent*/) {}
    virtual void didMoveToParentViewController(const std::shared_ptr<UIViewController>& /*parent*/) {}
    bool isMovingToParentViewController() const { return movingTo_; }
    bool isMovingFromParentViewController() const { return movingFrom_; }
    // Swaps two children in this controller's view: `to` is added where `from` was, the
    // animations block runs, then after the duration `from`'s view goes and the completion runs.
    void transitionFromViewController(const std::shared_ptr<UIViewController>& from,
                                      const std::shared_ptr<UIViewController>& to, double duration,
                                      std::function<void()> animations, std::function<void(bool)> completion);

    // Enclosing containers (walking up parents and presenters).
    std::shared_ptr<UINavigationController> navigationController() const;
    std::shared_ptr<UISplitViewController> splitViewController() const;
    std::shared_ptr<UITabBarController> tabBarController() const;

    // Modal presentation. Refused (false, nothing happens, no completion) when this controller
    // already presents one, is itself being presented or dismissed, or the controller to present
    // is already shown somewhere.
    bool presentViewController(const std::shared_ptr<UIViewController>& controller, bool animated,
                               std::function<void()> completion = nullptr);
    // Dismisses what this controller presents (with everything above it), or, when it presents
    // nothing, asks its presenter to dismiss it. False when there is nothing to dismiss.
    bool dismissViewControllerAnimated(bool animated, std::function<void()> completion = nullptr);
    std::shared_ptr<UIViewController> presentedViewController() const { return presented_; }
    std::shared_ptr<UIViewController> presentingViewController() const { return presenting_.lock(); }
    UIPresentationState presentationState() const { return presentation_; }
    bool isBeingPresented() const { return presentation_ == UIPresentationState::BeingPresented; }
    bool isBeingDismissed() const { return presentation_ == UIPresentationState::BeingDismissed; }
    UIModalPresentationStyle modalPresentationStyle() const { return presentationStyle_; }
    void setModalPresentationStyle(UIModalPresentationStyle style) { presentationStyle_ = style; }
    UIModalTransitionStyle modalTransitionStyle() const { return transitionStyle_; }
    void setModalTransitionStyle(UIModalTransitionStyle style) { transitionStyle_ = style; }
    std::shared_ptr<UIViewControllerTransitioningDelegate> transitioningDelegate() const {
        return transitioningDelegate_.lock();
    }
    void setTransitioningDelegate(const std::shared_ptr<UIViewControllerTransitioningDelegate>& d) {
        transitioningDelegate_ = d;
    }
    // Made on first access when the style is popover (or, for controllers that always become
    // popovers on a tablet, when popoverOnTablet says so).
    std::shared_ptr<UIPopoverPresentationController> popoverPresentationController();
    virtual bool popoverOnTablet() const { return false; }
    bool isModalInPresentation() const { return modalInPresentation_; }
    void setModalInPresentation(bool m) { modalInPresentation_ = m; }

    // The storyboard (controller registry) that made this controller, if any.
    std::shared_ptr<UIStoryboard> storyboard() const { return storyboard_.lock(); }
    void setStoryboard(const std::shared_ptr<UIStoryboard>& s) { storyboard_ = s; }

    std::shared_ptr<UIResponder> nextResponder() const override;
    std::string className() const override { return "UIViewController"; }

    // Laid out by the view: the layout hooks run around the view's own layout.
    void viewLayoutWillRun() { viewWillLayoutSubviews(); }
    void viewLayoutDidRun() { viewDidLayoutSubviews(); }

protected:
    UIViewController();

private:
    friend class ModalTransition;
    friend class UINavigationController;
    // Runs right after viewDidLoad, whatever the subclass's viewDidLoad does.
    virtual void viewDidLoadFinished() {}
    void sendAppearance(bool will, bool appearing, bool animated);
    std::vector<std::shared_ptr<UIViewController>> appearanceChildren() const;
    // The one place presentation state changes; false (and nothing changes) for a step the
    // diagram above does not draw.
    bool movePresentation(UIPresentationState to);
    bool inPresentationTransition() const { return isBeingPresented() || isBeingDismissed(); }

    std::shared_ptr<UIView> view_;
    bool loading_ = false;
    UIAppearanceState appearance_ = UIAppearanceState::Disappeared;
    bool pendingAnimated_ = false;
    UITraitCollection traits_;
    UITraitCollection inheritedTraits_;
    UIUserInterfaceStyle overrideStyle_ = UIUserInterfaceStyle::Unspecified;
    int statusBarUpdates_ = 0;
    std::string title_;
    std::shared_ptr<UINavigationItem> navigationItem_;
    std::shared_ptr<UITabBarItem> tabBarItem_;
    std::vector<std::shared_ptr<UIBarButtonItem>> toolbarItems_;
    CGSize preferredContentSize_{0, 0};
    bool hidesBottomBar_ = false;
    bool adjustsInsets_ = true;
    bool editing_ = false;

    std::weak_ptr<UIViewController> parent_;
    std::vector<std::shared_ptr<UIViewController>> children_;
    bool movingTo_ = false;
    bool movingFrom_ = false;

    std::shared_ptr<UIViewController> presented_;
    std::weak_ptr<UIViewController> presenting_;
    UIPresentationState presentation_ = UIPresentationState::NotPresented;
    UIModalPresentationStyle presentationStyle_ = UIModalPresentationStyle::FullScreen;
    UIModalTransitionStyle transitionStyle_ = UIModalTransitionStyle::CoverVertical;
    std::weak_ptr<UIViewControllerTransitioningDelegate> transitioningDelegate_;
    std::shared_ptr<UIPopoverPresentationController> popover_;
    std::shared_ptr<UIView> presentationContainer_;
    bool modalInPresentation_ = false;
    std::weak_ptr<UIStoryboard> storyboard_;
};
