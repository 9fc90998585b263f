// The screen base: the last link of the controller chain. Every screen gets its overlays (a
// blocking HUD, an activity HUD, a tip, a message banner and a confirmation box, each made on
// first use and kept while the screen lives), navigation-bar items that wait until it is visible
// when they come from a main-queue block, the optional gradient background, the containers it is
// hosted in, and the fly-in of an added item. Main thread only.
#pragma once

#include <memory>
#include <vector>

#include "app/base/my_tutorial_controller.h"
#include "app/web/pop_web_view.h"
#include "platform/ui/layer/ca_gradient_layer.h"
#include "ui/controller/custom_containers.h"
#include "ui/controller/view_controller_navigation.h"

class HudAct;
class HudBase;
class HudView;
class PopConfirmView;
class PopMessageView;
class PopTextView;
class PopView;
class UIImage;

class MyViewController : public MyTutorialController, public CustomContainerHost, public PopWebViewDelegate {
public:
    KORVA_MAKE(MyViewController)

    static constexpr double kNavViewFadeDuration = 0.3;
    static constexpr CGFloat kFlyInSize = 50;
    static constexpr CGFloat kFlyInMinDistance = 100;
    static constexpr double kFlyInDelay = 0.2;
    static constexpr double kFlyInDuration = 1.0;

    // No screen answers yes: the gradient background is the base's offer.
    virtual bool isGradationEnabled() const { return false; }

    bool didAppeared() const { return didAppeared_; }

    // Applied at once, unless they come from a main-queue block before the screen has appeared:
    // then they wait for viewDidAppear (the last call wins).
    void setNavRight(const BarItems& items);
    void setNavView(const std::shared_ptr<UIView>& view);
    // Whether the caller runs inside a block dispatched to the main queue.
    static bool isCalledFromDispatch();
    void updateStatusBar() { setNeedsStatusBarAppearanceUpdate(); }
    // A picture flying from the sender towards the middle of the navigation view, fading out.
    // Nothing happens without a navigation controller or a view for the sender.
    void anim_AddItem(const std::shared_ptr<NSObject>& sender, const std::shared_ptr<UIImage>& image);

    // The overlays, made on first access.
    const std::shared_ptr<HudView>& hudView();
    const std::shared_ptr<HudAct>& hudAct();
    const std::shared_ptr<PopTextView>& tip();
    const std::shared_ptr<PopMessageView>& message();
    const std::shared_ptr<PopConfirmView>& confirm();
    // Whether any overlay has been made yet; asking does not make one.
    bool hasOverlays() const { return hudView_ || hudAct_ || tip_ || message_ || confirm_; }
    void hideTip();

    const BarItems& arrNavRight() const { return arrNavRight_; }
    std::shared_ptr<UIView> tempNavView() const { return tempNavView_.lock(); }
    const std::shared_ptr<UIView>& gradientView() const { return gradientView_; }

    // The containers hosting this screen.
    std::shared_ptr<UIViewController> myTabBarCustomController() const override {
        return myTabBarCustomController_.lock();
    }
    std::shared_ptr<SegmentedContainer> mySegmentedController() const override { return mySegmentedController_.lock(); }
    void setMyTabBarCustomController(const std::shared_ptr<UIViewController>& c) { myTabBarCustomController_ = c; }
    void setMySegmentedController(const std::shared_ptr<SegmentedContainer>& c) { mySegmentedController_ = c; }

    void viewDidLoad() override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void viewWillLayoutSubviews() override;
    void viewDidLayoutSubviews() override;
    void updateDarkMode() override;
    void didRotateOrResizeInterface() override;

    // Web pages from the screen (my_view_controller_web.cpp): in the web pop-up at a sender, or
    // full screen in a navigation controller without one.
    enum class WebNavigationType { Page = 0, Translation = 1 };
    WebNavigationType webNavigationType() const { return webNavigationType_; }
    // Made on first use, with this screen as owner and delegate.
    const std::shared_ptr<PopWebView>& popWeb();
    bool hasPopWeb() const { return popWeb_ != nullptr; }
    void openURL0(const std::string& url, const std::shared_ptr<NSObject>& sender);
    void openURL(const std::string& url, const std::shared_ptr<NSObject>& sender);
    void googleTranslate(const std::string& text, const std::shared_ptr<NSObject>& sender);
    void hideGoogleTranslateIfShown();
    // When the web pop-up hides after a translation.
    virtual void onGoogleTranslateWillHide() {}
    void onPopWebViewWillHide(PopWebView& pop) override;
    void onMyWebControllerDone(MyWebController& web) override;

    std::string className() const override { return "MyViewController"; }

protected:
    MyViewController() = default;

private:
    // The overlays made so far: those told of appearance and layout changes, and those hidden
    // when the screen goes away, in that order.
    std::vector<std::shared_ptr<HudBase>> madeOverlays() const;
    std::vector<std::shared_ptr<PopView>> madePopups() const;
    // The web pop-up's share in the screen's life cycle, after the other overlays.
    void hidePopWeb();
    void popWebDarkMode();
    void popWebRotated();
    WebNavigationType webNavigationType_ = WebNavigationType::Page;
    std::shared_ptr<PopWebView> popWeb_;

    void buildGradient();
    void updateGradient();

    bool didAppeared_ = false;
    std::shared_ptr<HudView> hudView_;
    std::shared_ptr<HudAct> hudAct_;
    std::shared_ptr<PopTextView> tip_;
    std::shared_ptr<PopMessageView> message_;
    std::shared_ptr<PopConfirmView> confirm_;
    std::weak_ptr<UIViewController> myTabBarCustomController_;
    std::weak_ptr<SegmentedContainer> mySegmentedController_;
    BarItems arrNavRight_;
    std::weak_ptr<UIView> tempNavView_;
    std::shared_ptr<UIView> gradientView_;
    std::shared_ptr<CAGradientLayer> gradientLayer_;
};
