// The ruler: its scale, fading, drag reports, settling and haptic ticks.
#include "camera/controls/manual_slider_view.h"

#include <cmath>
#include <limits>

#include "foundation/device.h"
#include "foundation/global.h"
#include "foundation/haptic.h"
#include "foundation/numeric.h"
#include "foundation/text_measure.h"
#include "platform/dispatch/clock.h"
#include "platform/ui/animation/ui_view_animation.h"
#include "platform/ui/control/ui_label.h"
#include "ui/layout/view_custom_constraints.h"
#include "ui/layout/view_custom_style.h"
#include "ui/theme/color_custom.h"
#include "ui/theme/font.h"

namespace {

constexpr CGFloat kCaptionCentreTop = 5;
constexpr CGFloat kCaptionSideInset = 12;
constexpr CGFloat kCaptionSideTop = 4;
constexpr CGFloat kCaptionExtraWidth = 2;
constexpr CGFloat kLabelBottomBand = 20;
constexpr CGFloat kEndMarkerTop = 0.35;
constexpr CGFloat kEndMarkerHeight = 0.3;
constexpr CGFloat kMajorTick = 0.3, kMiddleTick = 0.2, kMinorTick = 0.1;
constexpr double kMaxValue = 100;
constexpr CGSize kUnbounded{std::numeric_limits<CGFloat>::max(), std::numeric_limits<CGFloat>::max()};

std::shared_ptr<UIFont> rulerFont() {
    return Global::shared()->font()->textFixedSmall2();
}

}  // namespace

ManualSliderView::ManualSliderView(std::weak_ptr<ManualSliderViewDelegate> delegate,
                                   std::optional<std::string> textCenter, std::optional<std::string> textLeft,
                                   std::optional<std::string> textRight)
    : delegate_(std::move(delegate)),
      textCenter_(std::move(textCenter)),
      textLeft_(std::move(textLeft)),
      textRight_(std::move(textRight)) {}

ManualSliderView::~ManualSliderView() = default;

void ManualSliderView::init() {
    UIView::init();
    scroll_ = UIScrollView::make();
    scroll_->setDelegate(self<ManualSliderView>());
    scroll_->setBackgroundColor(UIColor::colorWithWhite(0, 1));
    scroll_->setShowsHorizontalScrollIndicator(false);
    scroll_->setShowsVerticalScrollIndicator(false);
    scroll_->setExclusiveTouch(true);
    scroll_->setMultipleTouchEnabled(false);

    begin_ = UIView::make();
    end_ = UIView::make();
    for (const auto& marker : {begin_, end_}) {
        marker->setBackgroundColor(UIColor::redColor());
        marker->setHidden(true);
        scroll_->addSubview(marker);
    }
    playback_ = UIView::make();
    playbackBody_ = UIView::make();
    playbackBody_->setBackgroundColor(::alpha(*UIColor::yellowColor(), 0.3));
    playbackHead_ = UIView::make();
    playbackHead_->setBackgroundColor(::alpha(*UIColor::redColor(), 1));
    playback_->addSubview(playbackBody_);
    playback_->addSubview(playbackHead_);
    playback_->setHidden(true);
    scroll_->addSubview(playback_);

    auto me = self<ManualSliderView>();
    if (textCenter_ && !textCenter_->empty()) {
        lblCenter_ = makeCaption(*textCenter_);
        lblCenter_->setTextAlignment(NSTextAlignment::Center);
        const CGSize s = lblCenter_->frame().size;
        addConstraintsCT(lblCenter_, me, 0, kCaptionCentreTop, s.width, s.height);
    }
    if (textLeft_ && !textLeft_->empty()) {
        lblLeft_ = makeCaption(*textLeft_);
        lblLeft_->setTextAlignment(NSTextAlignment::Left);
        const CGSize s = lblLeft_->frame().size;
        addConstraintsLT(lblLeft_, me, kCaptionSideInset, kCaptionSideTop, s.width, s.height);
    }
    if (textRight_ && !textRight_->empty()) {
        lblRight_ = makeCaption(*textRight_);
        lblRight_->setTextAlignment(NSTextAlignment::Right);
        const CGSize s = lblRight_->frame().size;
        addConstraintsRT(lblRight_, me, -kCaptionSideInset, kCaptionSideTop, s.width, s.height);
    }

    addSubview(scroll_);
    addConstraintsFull(scroll_, me, 0, 0, 0, 0);
    lineV_ = UIView::make();
    lineV_->setBackgroundColor(UIColor::darkGrayColor());
    // The line lies over the scale: a finger that lands on it drags the scale beneath.
    lineV_->setUserInteractionEnabled(false);
    addSubview(lineV_);
    addConstraintsCTB(lineV_, me, 0, 0, 0, 1);
}

std::shared_ptr<UILabel> ManualSliderView::makeCaption(const std::string& text) {
    auto label = UILabel::make();
    label->setFont(rulerFont());
    label->setTextColor(UIColor::colorWithWhite(0.9, 1));
    label->setText(text);
    const CGSize size = boundingSize(text, label->font(), kUnbounded);
    label->setFrame({{0, 0}, {size.width + kCaptionExtraWidth, size.height}});
    addSubview(label);
    return label;
}

void ManualSliderView::updateData() {
    if (status_ == 0) {
        status_ = 1;
        resetGuides();
    }
    layoutIfNeeded();
    const CGSize size = scroll_->bounds().size;
    const CGFloat W = size.width, H = size.height;
    scroll_->setContentSize({kMaxValue * kPointsPerUnit, H});
    scroll_->setContentInset({0, W / 2, 0, W / 2});
    begin_->setFrame({{0, kEndMarkerTop * H}, {1, kEndMarkerHeight * H}});
    end_->setFrame({{kMaxValue * kPointsPerUnit, kEndMarkerTop * H}, {1, kEndMarkerHeight * H}});
    begin_->setHidden(true);
    end_->setHidden(true);
    scroll_->bringSubviewToFront(playback_);
    for (const auto& caption : {lblCenter_, lblLeft_, lblRight_})
        if (caption) bringSubviewToFront(caption);
    updateView();
}

void ManualSliderView::relabel() {
    if (status_ == 0) return;  // the first updateData asks for them
    resetGuides();
    updateView();
}

void ManualSliderView::updateView() {
    updateGuides();
}

void ManualSliderView::resetGuides() {
    for (const auto& g : arrGuide_) {
        g.line->removeFromSuperview();
        if (g.label) g.label->removeFromSuperview();
    }
    arrGuide_.clear();
    auto delegate = delegate_.lock();
    std::vector<Guide> guides;
    guides.reserve(kTickCount);
    for (int i = 0; i < kTickCount; ++i) {
        Guide g;
        g.x = i;
        g.line = UIView::make();
        g.line->setBackgroundColor(UIColor::lightGrayColor());
        scroll_->addSubview(g.line);
        if (i % 10 == 0 && delegate) {
            if (auto text = delegate->onManualSliderViewGetLabelText(*this, i)) {
                g.label = UILabel::make();
                g.label->setFont(rulerFont());
                g.label->setTextAlignment(NSTextAlignment::Center);
                g.label->setTextColor(UIColor::whiteColor());
                g.label->setText(*text);
                assignShadow(*g.label);
                scroll_->addSubview(g.label);
                const CGSize s = boundingSize(*text, g.label->font(), kUnbounded);
                g.labelSize = {std::ceil(s.width + kCaptionExtraWidth), std::ceil(s.height)};
            }
        }
        guides.push_back(std::move(g));
    }
    arrGuide_ = std::move(guides);
}

void ManualSliderView::updateGuides() {
    const double v = calcValue();
    const CGSize size = scroll_->bounds().size;
    const CGFloat H = size.height;
    const float reach = float(size.width / 2 / kPointsPerUnit);
    for (auto& g : arrGuide_) {
        const float distance = float(std::fabs(g.x - v));
        const float f = lerpFloat(1.0f, kFarFade, clampFloat(distance / reach, 0, 1));
        if (g.height != H) {
            g.height = H;
            const CGFloat h = g.x % 10 == 0 ? kMajorTick * H : g.x % 5 == 0 ? kMiddleTick * H : kMinorTick * H;
            g.line->setFrame({{kPointsPerUnit * g.x, (H - h) / 2}, {1, h}});
            if (g.label) {
                const CGSize s = g.labelSize;
                g.label->setFrame({{kPointsPerUnit * g.x - s.width / 2, H - kLabelBottomBand}, s});
            }
        }
        if (g.fade == f) continue;
        g.fade = f;
        g.line->setBackgroundColor(::alpha(*g.line->backgroundColor(), f));
        // A label fades through its opacity: its text and shadow are composited fainter, not drawn
        // again (within a level of drawing them in the fainter colour).
        if (g.label) g.label->setAlpha(f);
    }
}

double ManualSliderView::scrollToValue(double offset) const {
    return (offset + scroll_->bounds().size.width / 2) / kPointsPerUnit;
}

double ManualSliderView::valueToScroll(double value) const {
    return kPointsPerUnit * value - scroll_->bounds().size.width / 2;
}

double ManualSliderView::calcValue() const {
    return clampFloat(float(scrollToValue(scroll_->contentOffset().x)), 0, float(kMaxValue));
}

void ManualSliderView::setValue(double value) {
    // An infinite value would send the scale out of reach as surely as NaN.
    if (!std::isfinite(value)) return;
    setValue0(std::round(valueToScroll(value)));
}

void ManualSliderView::setValue0(double offset) {
    scroll_->setContentOffset({offset, 0});
}

void ManualSliderView::scrollViewWillBeginDragging(UIScrollView& scrollView) {
    if (&scrollView == scroll_.get()) userEvent_ = true;
}

void ManualSliderView::scrollViewWillEndDragging(UIScrollView& scrollView, CGPoint, CGPoint*) {
    if (&scrollView == scroll_.get()) userEvent_ = false;
}

void ManualSliderView::scrollViewDidScroll(UIScrollView& scrollView) {
    if (&scrollView != scroll_.get()) return;
    if (userEvent_) {
        restartTimerScrolled();
        resetTimerPlayback();
        notifyValue();
    } else {
        hapticTick();
    }
    updateView();
}

double ManualSliderView::notifyValue() {
    const double v = clampFloat(float(std::round(scrollToValue(scroll_->contentOffset().x))), 0, float(kMaxValue));
    if (auto delegate = delegate_.lock()) delegate->onManualSliderViewDidChange(*this, v);
    hapticTick();
    return v;
}

void ManualSliderView::hapticTick() {
    const double now = CACurrentMediaTime();
    if (lastHapticTicked_ + kHapticInterval < now) {
        Global::shared()->device()->haptic()->tick_level0();
        lastHapticTicked_ = now;
    }
}

void ManualSliderView::restartTimerScrolled() {
    resetTimerScrolled();
    playback_->setHidden(true);
    timerScrolled_.restart(kSettleDelay, weakBind(self<ManualSliderView>(), &ManualSliderView::onTimerScrolled));
}

void ManualSliderView::onTimerScrolled() {
    resetTimerScrolled();
    const double v = notifyValue();
    std::weak_ptr<ManualSliderView> weak = self<ManualSliderView>();
    UIViewAnimation::animate(
        kSnapDuration, [this, v] { setValue0(valueToScroll(v)); },
        [weak](bool) {
            if (auto s = weak.lock()) s->updateView();
        });
}
