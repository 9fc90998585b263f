// The pop-up core: a full-screen background and, above it, a holder with the container panel,
// placed in the owner's root view by four identified constraints; grows in on show, shrinks out
// on hide.
//
// Show and hide, as a state machine (the newest command always wins):
//
//   Hidden --show--> Showing --0.3 s--> Shown --hide--> Hiding --0.3 s--> Hidden
//   a show or hide that finds the holder animating removes the animation and waits:
//   ShowWaiting (0.48 s, then Showing) or HideWaiting (0.33 s, then Hiding);
//   a show cancels a waiting hide and a hide a waiting show.
//
// The removed animation's own end (finished = false) still runs its closing steps, either inside
// the call that removed it or, when that call itself came from an animation callback, just after
// it. A hide's `onDidHide` is the one that belonged to the show it ends; it is taken when the
// shrink starts, so a show arriving meanwhile keeps its own. Main-thread only.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/runtime/geometry.h"
#include "ui/popup/hud_base.h"

class UIColor;
class UIGestureRecognizer;

enum class PopPhase { Hidden, ShowWaiting, Showing, Shown, HideWaiting, Hiding };

class PopView : public HudBase {
public:
    using Callback = std::function<void()>;

    static constexpr double kAnimDuration = 0.3;
    static constexpr double kShowRetryDelay = 0.48;
    static constexpr double kHideRetryDelay = 0.33;
    // The holder's band above and below the container (room for an arrow).
    static constexpr CGFloat kHolderBand = 10;

    ~PopView() override;
    void init() override;

    const std::shared_ptr<UIView>& bg() const { return bg_; }
    const std::shared_ptr<UIView>& container() const { return container_; }
    const std::shared_ptr<UIView>& contHolder() const { return contHolder_; }
    const std::shared_ptr<UIColor>& bgColor() const { return bgColor_; }
    const std::string& kContHolderX() const { return kContHolderX_; }
    const std::string& kContHolderY() const { return kContHolderY_; }
    const std::string& kContHolderW() const { return kContHolderW_; }
    const std::string& kContHolderH() const { return kContHolderH_; }
    PopPhase phase() const { return phase_; }
    // How many shows have been asked for; tells a hide's end whether a show came after it.
    std::uint64_t showCount() const { return showCount_; }

    CGSize size() const { return size_; }
    void setSize(CGSize s) { size_ = s; }
    CGPoint showAnimDXDY() const { return showAnimDXDY_; }
    void setShowAnimDXDY(CGPoint p) { showAnimDXDY_ = p; }
    CGPoint hideAnimDXDY() const { return hideAnimDXDY_; }
    CGRect containerRect() const { return containerRect_; }
    void setContainerRect(CGRect r) { containerRect_ = r; }
    const Callback& onDidHide() const { return onDidHide_; }
    void setOnDidHide(Callback c) { onDidHide_ = std::move(c); }

    // The first "head-N" (N from 0 to 9999) that no constraint held by the view carries; empty
    // when all are taken.
    static std::string getUniqueLayoutConstraint(const UIView& view, const std::string& head);

    virtual void setBgColor(std::shared_ptr<UIColor> color);
    virtual void updateContainerConstants();

    // Shows the container at the rectangle (kept inside the root view horizontally).
    virtual void show(CGRect rect, Callback completion, Callback onDidHide);
    virtual void hide(Callback completion);
    using HudBase::hide;
    using HudBase::show;

    void show1();
    void hide1();
    void resetTimerShow();
    void restartTimerShow();
    void onTimerShow();
    void resetTimerHide();
    void restartTimerHide();
    void onTimerHide();

    virtual void bringToFront();
    virtual void sendToBack();
    void sendToBack_bg();
    virtual void setAlpha(CGFloat alpha);
    virtual void setHidden(bool hidden);
    bool hidden() const;
    // Whether a finished tap lies outside the container (tested in the recogniser's view).
    bool tapOutsideContainer(UIGestureRecognizer& recognizer) const;
    // Makes the background take taps and hide the pop-up when one ends outside the container.
    void hideOnTapOutside();
    virtual void updateFontSize() {}
    void removeFromSuperview() override;

    std::string className() const override { return "PopView"; }

protected:
    using HudBase::HudBase;
    bool holderAnimating() const;

private:
    // The transform the holder grows from or shrinks into.
    static CGAffineTransform pointTransform(CGPoint dxdy);
    void removeOwnViews();

    std::shared_ptr<UIView> bg_, container_, contHolder_;
    std::shared_ptr<UIColor> bgColor_;
    std::string kContHolderX_, kContHolderY_, kContHolderW_, kContHolderH_;
    Callback onDidHide_, lastShowCompletion_, lastHideCompletion_;
    OneShotTimer timerShow_, timerHide_;
    CGSize size_{};
    CGPoint showAnimDXDY_{}, hideAnimDXDY_{};
    CGRect containerRect_{};
    PopPhase phase_ = PopPhase::Hidden;
    std::uint64_t showCount_ = 0;
    // Each grow or shrink gets a number, so an ended animation that has been superseded does not
    // move the phase.
    std::uint64_t animation_ = 0;
};
