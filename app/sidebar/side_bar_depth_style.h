// The depth style: while the menu slides in over the content, the content is replaced by a
// blurred, darkened snapshot of itself that shrinks and moves aside, so the menu seems to lie
// above a receding page. Every full movement is a key-frame animation with a small overshoot;
// while a finger drags, single values follow it. Main thread only.
#pragma once

#include <memory>
#include <vector>

#include "app/sidebar/side_bar_controller.h"
#include "app/sidebar/side_bar_style.h"
#include "platform/ui/animation/ca_value.h"

class UIImageView;
class UIView;

class SideBarDepthStyle : public SideBarStyle {
public:
    KORVA_MAKE(SideBarDepthStyle)
    static constexpr double kMenuShareOfScreen = 2.0 / 3;
    static constexpr double kMinMenuWidth = 50;
    static constexpr double kDefaultDuration = 0.6;
    static constexpr double kDefaultClosedScale = 0.8;
    static constexpr double kMinClosedScale = 0.5;
    static constexpr double kDefaultBlurRadius = 5;
    static constexpr unsigned kBlurIterations = 5;
    static constexpr double kDefaultMaskAlpha = 0.4;
    static constexpr double kMaxMaskAlpha = 0.9;
    static constexpr double kScaleDip = 0.05;
    static constexpr double kDragStep = 10;
    static constexpr double kFadeDuration = 0.1;
    static constexpr double kEarlyFadeDelay = 0.2;

    void init() override;

    void setMenuWidth(double width) override;
    double closedScale() const { return closedScale_; }
    void setClosedScale(double scale);
    double blackMaskAlpha() const { return blackMaskAlpha_; }
    void setBlackMaskAlpha(double alpha);
    double blurRadius() const { return blurRadius_; }
    void setBlurRadius(double radius) { blurRadius_ = radius; }
    bool shouldBlurContentView() const { return shouldBlurContentView_; }
    void setShouldBlurContentView(bool blur) { shouldBlurContentView_ = blur; }
    double animationBounceSize() const { return animationBounceSize_; }
    CGPoint originMenuCenter() const { return originMenuCenter_; }
    CGPoint desMenuCenter() const { return desMenuCenter_; }
    CGPoint originContentCenter() const { return originContentCenter_; }

    const std::shared_ptr<UIView>& contentWrapperView() const { return contentWrapperView_; }
    const std::shared_ptr<UIImageView>& contentImageView() const { return contentImageView_; }
    const std::shared_ptr<UIView>& blackView() const { return blackView_; }

    void setContentViewController(const std::shared_ptr<UIViewController>& controller) override;
    void showMenuViewController() override;
    void hideMenuViewController(bool animated) override;
    void handleTapGesture(UIGestureRecognizer& tap) override;
    void handlePanGesture(UIPanGestureRecognizer& pan) override;
    void willAnimateRotationToInterfaceOrientation(UIInterfaceOrientation to, double duration) override;

    // Snapshot, blur and the views that show it; run before the menu starts to move.
    void prepareForShowingMenuViewController();

    // The key-frame value lists of the full movements, for the container's present state.
    std::vector<CAValue> menuPositionXValues(SideBarState state, SideBarDirection direction) const;
    std::vector<CAValue> contentTransformValues(SideBarState state, SideBarDirection direction) const;
    std::vector<CAValue> contentPositionXValues(SideBarState state, SideBarDirection direction) const;

    std::string className() const override { return "SideBarDepthStyle"; }

protected:
    SideBarDepthStyle() = default;

private:
    void startShowing();
    void finishShowing();
    void startHiding();
    void finishHiding(bool animated);
    void fadeOutWrapper();
    // The bounce size and the menu's and snapshot's rest positions.
    void computeGeometry();
    void addMenuViewAnimation();
    void addContentViewAnimation();
    void addMenuViewAnimationWithTranslation(double t, double v);
    void addContentViewAnimationWithTranslation(double t, double v);
    // +1 for the left menu, -1 for the right.
    double side() const;
    SideBarState state() const;
    SideBarDirection direction() const;
    double menuX() const;
    double contentX() const;
    double contentScale() const;
    bool menuStandsOpen() const;
    bool opening(double velocity) const;

    CGPoint originMenuCenter_{}, desMenuCenter_{}, originContentCenter_{};
    double animationBounceSize_ = 0;
    bool shouldBlurContentView_ = true;
    double closedScale_ = kDefaultClosedScale;
    double blurRadius_ = kDefaultBlurRadius;
    double blackMaskAlpha_ = kDefaultMaskAlpha;
    std::shared_ptr<UIView> menuView_, contentView_;
    std::shared_ptr<UIView> contentWrapperView_;
    std::shared_ptr<UIImageView> contentImageView_;
    std::shared_ptr<UIView> blackView_;
};
