// The busy HUDs: HudView dims the owner's root view and spins an indicator in the middle, with an
// optional progress bar; HudAct spins a small indicator over the sender. Both show and hide at
// once and can hide themselves after a time; an explicit hide cancels that. While shown, either
// keeps every touch from the views beneath it, from the moment it shows. Main-thread only.
#pragma once

#include "platform/runtime/geometry.h"
#include "ui/popup/hud_base.h"

class BusyIndicatorView;
class UIColor;
class UIActivityIndicatorView;
class UIProgressView;

// The auto-hide and the full-size holder shared by the HUDs.
class HudTimed : public HudBase {
public:
    void resetTimerHide() { timerHide_.reset(); }
    void restartTimerHide(double seconds);
    void onTimerHide();
    bool autoHidePending() const { return timerHide_.pending(); }
    const std::shared_ptr<UIView>& holder() const { return holder_; }
    bool shown() const;
    void removeFromSuperview() override;
    ~HudTimed() override;

protected:
    using HudBase::HudBase;
    // Makes the holder over the whole root view, hidden; shown, it takes every touch on it.
    void makeHolder(std::shared_ptr<UIColor> color);
    // Shows the holder in front of the root view's other views, over all of it at once.
    void showHolder();

private:
    OneShotTimer timerHide_;
    std::shared_ptr<UIView> holder_;
};

class HudView : public HudTimed {
public:
    KORVA_MAKE(HudView)
    static constexpr std::uint64_t kIndicatorType = 32;
    static constexpr CGFloat kIndicatorSide = 99;
    static constexpr CGFloat kProgressOffset = 66;
    static constexpr CGSize kProgressSize{150, 10};

    void init() override;
    void show() override;
    void hide() override;
    void showWithAutoHide(double seconds);
    void showWithProgress();
    void setProgress(float p);

    const std::shared_ptr<BusyIndicatorView>& act() const { return act_; }
    const std::shared_ptr<UIProgressView>& prog() const { return prog_; }

    std::string className() const override { return "HudView"; }

protected:
    explicit HudView(std::shared_ptr<UIViewController> vc) : HudTimed(std::move(vc)) {}

private:
    std::shared_ptr<BusyIndicatorView> act_;
    std::shared_ptr<UIProgressView> prog_;
};

class HudAct : public HudTimed {
public:
    KORVA_MAKE(HudAct)
    void init() override;
    // Spins over the sender; one that maps to no view keeps the indicator where it was.
    void show(const std::shared_ptr<NSObject>& sender);
    void hide() override;
    void showWithAutoHide(const std::shared_ptr<NSObject>& sender, double seconds);
    void recalcLayout() override;
    void applyLayout(bool animated) override;

    const std::shared_ptr<UIActivityIndicatorView>& act() const { return act_; }
    CGRect rt() const { return rt_; }

    std::string className() const override { return "HudAct"; }

protected:
    explicit HudAct(std::shared_ptr<UIViewController> vc) : HudTimed(std::move(vc)) {}

private:
    using HudBase::show;
    std::shared_ptr<UIActivityIndicatorView> act_;
    std::weak_ptr<UIView> last_;
    CGRect rt_{};
};
