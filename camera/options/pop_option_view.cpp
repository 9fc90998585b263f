// The camera option pop-up: its body of status buttons, their titles from the settings, and the
// choice pop-ups it opens.
#include "camera/options/pop_option_view.h"

#include "camera/controls/child_popup.h"
#include "camera/options/pop_option_flash_view.h"
#include "camera/options/pop_option_ratio_view.h"
#include "camera/options/pop_option_timer_view.h"
#include "capture/string_custom_capture.h"
#include "foundation/global.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/draw/image.h"
#include "ui/controls/status_button_image.h"
#include "ui/controls/status_button_path.h"
#include "ui/layout/view_custom_constraints.h"
#include "ui/layout/view_custom_style.h"
#include "ui/popup/popup_metrics.h"
#include "ui/theme/font.h"

namespace {

constexpr CGFloat kBodyInset = 1;
constexpr CGFloat kRowTop = 8;
constexpr CGSize kButton{60, 40};
constexpr CGFloat kModeLabelTop = 60, kModeLabelHeight = 25, kModeRowTop = 88;

// The grid glyph: two lines each way, 6 points either side of the centre.
CGPath gridGlyph() {
    CGPath path;
    for (CGFloat y : {6.0, -6.0}) {
        path.moveToPoint({-10, y});
        path.addLineToPoint({10, y});
    }
    for (CGFloat x : {6.0, -6.0}) {
        path.moveToPoint({x, 10});
        path.addLineToPoint({x, -10});
    }
    return path;
}

}  // namespace

void PopOptionView::init() {
    PopArrowedView::init();
    setSize(kSize);
    bg()->setBackgroundColor(UIColor::clearColor());
    setBgColor(UIColor::colorWithWhite(0, 0.8));
    buildBody();
    hideOnTapOutside();
}

void PopOptionView::buildBody() {
    b0_ = UIView::make();
    assignRound(*b0_, kPopupCornerRadius);
    container()->addSubview(b0_);
    addConstraintsFull(b0_, container(), kBodyInset, kBodyInset, -kBodyInset, -kBodyInset);

    std::weak_ptr<PopOptionView> weak = self<PopOptionView>();
    auto place = [&](const std::shared_ptr<StatusButtonBase>& button, CGFloat dx, CGFloat dt,
                     void (PopOptionView::*action)()) {
        assignShadow(*button);
        button->addTarget([weak, action] {
            if (auto s = weak.lock()) ((*s).*action)();
        });
        b0_->addSubview(button);
        addConstraintsCT(button, b0_, dx, dt, kButton.width, kButton.height);
    };
    const auto ratioPath = popRatio()->getBezierPath(Global::shared()->imageRatio()).value_or(CGPath());
    btnFlash_ = StatusButtonImage::make(UIImage::imageNamed("flash.png"));
    btnRatio_ = StatusButtonPath::make(ratioPath, PopOptionRatioView::kOutlineOrigin, PopOptionRatioView::kOutlineBox);
    btnGrid_ = StatusButtonPath::make(gridGlyph(), CGPoint{10, 10}, CGSize{20, 20});
    btnTimer_ = StatusButtonTimer::make();
    btnSwap_ = StatusButtonImage::make(UIImage::imageNamed("swap.png"));
    place(btnFlash_, -120, kRowTop, &PopOptionView::onFlash);
    place(btnRatio_, -60, kRowTop, &PopOptionView::onRatio);
    place(btnGrid_, 0, kRowTop, &PopOptionView::onGrid);
    place(btnTimer_, 60, kRowTop, &PopOptionView::onTimerShot);
    place(btnSwap_, 120, kRowTop, &PopOptionView::onSwap);

    // The shot-mode row: built, hidden, and below the body.
    lblMode_ = UILabel::make();
    lblMode_->setText(std::string("MODE"));
    lblMode_->setTextColor(UIColor::whiteColor());
    lblMode_->setTextAlignment(NSTextAlignment::Center);
    lblMode_->setFont(Global::shared()->font()->filterMenuNormal());
    lblMode_->setHidden(true);
    b0_->addSubview(lblMode_);
    addConstraintsT(lblMode_, b0_, 0, 0, kModeLabelTop, kModeLabelHeight);
    struct Mode {
        std::shared_ptr<StatusButtonImage>& slot;
        const char* image;
        CGFloat dx;
        ShotMode mode;
    };
    for (const Mode& m : {Mode{btnModePhoto_, "photo.png", -90, ShotMode::Photo},
                          Mode{btnModeBurst_, "burst.png", -30, ShotMode::Burst},
                          Mode{btnModeMotion_, "motion.png", 30, ShotMode::Motion},
                          Mode{btnModeVideo_, "video.png", 90, ShotMode::Video}}) {
        m.slot = StatusButtonImage::make(UIImage::imageNamed(m.image));
        assignShadow(*m.slot);
        m.slot->addTarget([weak, mode = m.mode] {
            if (auto s = weak.lock()) s->onShotMode(mode);
        });
        m.slot->setHidden(true);
        b0_->addSubview(m.slot);
        addConstraintsCT(m.slot, b0_, m.dx, kModeRowTop, kButton.width, kButton.height);
    }
}

const std::shared_ptr<PopOptionFlashView>& PopOptionView::popFlash() {
    return childPopup(popFlash_, vc(), self<PopOptionView>());
}
const std::shared_ptr<PopOptionTimerView>& PopOptionView::popTimer() {
    return childPopup(popTimer_, vc(), self<PopOptionView>());
}
const std::shared_ptr<PopOptionRatioView>& PopOptionView::popRatio() {
    return childPopup(popRatio_, vc(), self<PopOptionView>());
}

void PopOptionView::show(const std::shared_ptr<NSObject>& sender, Callback completion, Callback onDidHide) {
    updateView();
    PopArrowedView::show(sender, std::move(completion), std::move(onDidHide));
}

void PopOptionView::hide(Callback completion) {
    if (auto d = delegate()) d->onPopOptionViewWillHide(*this);
    PopArrowedView::hide(std::move(completion));
}

void PopOptionView::updateView() {
    auto global = Global::shared();
    btnSwap_->setTitle(fromDevicePosition(integerOf(global->position())).value_or(""));
    btnFlash_->setTitle(fromFlashMode(integerOf(global->flashMode())).value_or(""));
    btnRatio_->setTitle(fromImageRatio(global->imageRatio()));
    btnRatio_->setPath(popRatio()->getBezierPath(global->imageRatio()).value_or(CGPath()));
    btnGrid_->setTitle(global->gridMode() ? "ON" : "OFF");
    btnTimer_->setTitle(fromTimerShot(global->timerShot()));
    const ShotMode mode = global->shotMode();
    const std::pair<std::shared_ptr<StatusButtonImage>, const char*> modes[] = {
        {btnModePhoto_, "PHOTO"}, {btnModeBurst_, "BURST"}, {btnModeMotion_, "MOTION"}, {btnModeVideo_, "VIDEO"}};
    for (std::int64_t i = 0; i < 4; ++i) {
        modes[i].first->setTitle(modes[i].second);
        modes[i].first->setSelected(integerOf(mode) == i);
    }
}

void PopOptionView::onFlash() {
    popFlash()->show(
        btnFlash_, [] {}, [] {});
}
void PopOptionView::onRatio() {
    popRatio()->show(
        btnRatio_, [] {}, [] {});
}
void PopOptionView::onTimerShot() {
    popTimer()->show(
        btnTimer_, [] {}, [] {});
}

void PopOptionView::onGrid() {
    Global::shared()->setGridMode(!Global::shared()->gridMode());
    if (auto d = delegate()) d->onPopOptionViewGrid(*this);
    updateView();
}

void PopOptionView::onSwap() {
    if (auto d = delegate()) d->onPopOptionViewSwap(*this);
    updateView();
}

void PopOptionView::onShotMode(ShotMode mode) {
    Global::shared()->setShotMode(mode);
    if (auto d = delegate()) d->onPopOptionViewShotMode(*this);
    updateView();
}

void PopOptionView::onPopOptionFlashViewValueChanged(PopOptionFlashView& sender) {
    if (auto d = delegate()) d->onPopOptionViewFlash(*this);
    hideChoice(sender);
}

void PopOptionView::onPopOptionTimerViewValueChanged(PopOptionTimerView& sender) {
    if (auto d = delegate()) d->onPopOptionViewTimer(*this);
    hideChoice(sender);
}

void PopOptionView::onPopOptionRatioViewValueChanged(PopOptionRatioView& sender) {
    if (auto d = delegate()) d->onPopOptionViewImageRatio(*this);
    hideChoice(sender);
}

// The titles are refreshed once the choice pop-up has gone, so they never change under it.
void PopOptionView::hideChoice(PopOptionChoiceView& sender) {
    std::weak_ptr<PopOptionView> weak = self<PopOptionView>();
    sender.hide([weak] {
        if (auto s = weak.lock()) s->updateView();
    });
}
