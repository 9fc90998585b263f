// The camera option pop-up: one row of status buttons for flash, image ratio, grid, self-timer
// and camera swap. Flash, ratio and self-timer open a pop-up of their choices; grid flips at once;
// swap only tells the host. Choices are written into Global's settings in memory; the host is
// told of each and saves. A row of shot-mode buttons is built hidden. Main-thread only.
#pragma once

#include <memory>

#include "camera/options/pop_option_flash_view.h"
#include "camera/options/pop_option_ratio_view.h"
#include "camera/options/pop_option_timer_view.h"
#include "foundation/camera_settings.h"
#include "ui/popup/pop_arrowed_view.h"

class PopOptionView;
class StatusButtonImage;
class StatusButtonPath;
class StatusButtonTimer;
class UILabel;

class PopOptionViewDelegate {
public:
    virtual ~PopOptionViewDelegate() = default;
    virtual void onPopOptionViewFlash(PopOptionView& sender) = 0;
    virtual void onPopOptionViewSwap(PopOptionView& sender) = 0;
    virtual void onPopOptionViewTimer(PopOptionView& sender) = 0;
    virtual void onPopOptionViewGrid(PopOptionView& sender) = 0;
    virtual void onPopOptionViewImageRatio(PopOptionView& sender) = 0;
    virtual void onPopOptionViewShotMode(PopOptionView& sender) = 0;
    virtual void onPopOptionViewWillHide(PopOptionView& sender) = 0;
};

class PopOptionView : public PopArrowedView,
                      public PopOptionFlashViewDelegate,
                      public PopOptionTimerViewDelegate,
                      public PopOptionRatioViewDelegate {
public:
    KORVA_MAKE(PopOptionView)
    static constexpr CGSize kSize{300, 55};

    void init() override;
    void show(const std::shared_ptr<NSObject>& sender, Callback completion, Callback onDidHide) override;
    using PopArrowedView::show;
    // Tells the delegate first, then hides.
    void hide(Callback completion) override;
    // Every title and selection from the settings.
    void updateView();

    void onFlash();
    void onRatio();
    void onGrid();
    void onTimerShot();
    void onSwap();
    void onShotMode(ShotMode mode);
    // A choice made in one of the choice pop-ups: the host hears it first, then that pop-up hides.
    void onPopOptionFlashViewValueChanged(PopOptionFlashView& sender) override;
    void onPopOptionTimerViewValueChanged(PopOptionTimerView& sender) override;
    void onPopOptionRatioViewValueChanged(PopOptionRatioView& sender) override;

    void setDelegate(const std::shared_ptr<PopOptionViewDelegate>& d) { delegate_ = d; }
    std::shared_ptr<PopOptionViewDelegate> delegate() const { return delegate_.lock(); }

    const std::shared_ptr<PopOptionFlashView>& popFlash();
    const std::shared_ptr<PopOptionTimerView>& popTimer();
    const std::shared_ptr<PopOptionRatioView>& popRatio();

    const std::shared_ptr<UIView>& b0() const { return b0_; }
    const std::shared_ptr<StatusButtonImage>& btnSwap() const { return btnSwap_; }
    const std::shared_ptr<StatusButtonImage>& btnFlash() const { return btnFlash_; }
    const std::shared_ptr<StatusButtonTimer>& btnTimer() const { return btnTimer_; }
    const std::shared_ptr<StatusButtonPath>& btnGrid() const { return btnGrid_; }
    const std::shared_ptr<StatusButtonPath>& btnRatio() const { return btnRatio_; }
    const std::shared_ptr<UILabel>& lblMode() const { return lblMode_; }
    const std::shared_ptr<StatusButtonImage>& btnModePhoto() const { return btnModePhoto_; }
    const std::shared_ptr<StatusButtonImage>& btnModeBurst() const { return btnModeBurst_; }
    const std::shared_ptr<StatusButtonImage>& btnModeMotion() const { return btnModeMotion_; }
    const std::shared_ptr<StatusButtonImage>& btnModeVideo() const { return btnModeVideo_; }

    std::string className() const override { return "PopOptionView"; }

protected:
    using PopArrowedView::PopArrowedView;

private:
    void buildBody();
    void hideChoice(PopOptionChoiceView& sender);

    std::weak_ptr<PopOptionViewDelegate> delegate_;
    std::shared_ptr<UIView> b0_;
    std::shared_ptr<StatusButtonImage> btnSwap_, btnFlash_;
    std::shared_ptr<StatusButtonTimer> btnTimer_;
    std::shared_ptr<StatusButtonPath> btnGrid_, btnRatio_;
    std::shared_ptr<UILabel> lblMode_;
    std::shared_ptr<StatusButtonImage> btnModePhoto_, btnModeBurst_, btnModeMotion_, btnModeVideo_;
    std::shared_ptr<PopOptionFlashView> popFlash_;
    std::shared_ptr<PopOptionTimerView> popTimer_;
    std::shared_ptr<PopOptionRatioView> popRatio_;
};
