// The busy views.
#include "ui/controls/loading_views.h"

#include <cmath>

#include "foundation/device.h"
#include "foundation/global.h"
#include "foundation/lang.h"
#include "platform/ui/control/ui_activity_indicator_view.h"
#include "platform/ui/control/ui_image_view.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/control/ui_progress_view.h"
#include "platform/ui/gesture/ui_tap_gesture_recognizer.h"
#include "platform/ui/layout/layout_constraint.h"
#include "ui/layout/view_custom_constraints.h"
#include "ui/layout/view_custom_identified.h"
#include "ui/layout/view_custom_style.h"
#include "ui/theme/color.h"
#include "ui/theme/font.h"
#include "widgets/progress/ring_progress_view.h"

namespace {

constexpr CGFloat kRowHeight = 30;
constexpr CGFloat kSpinnerDY = -17, kSpinnerSide = 25;
constexpr CGFloat kLabelDY = 8, kLabelWidth = 100, kLabelOneLine = 20, kLabelTwoLines = 30;
constexpr CGFloat kBarGap = 5, kBarWidth = 60, kBarHeight = 7;

std::shared_ptr<NSLayoutConstraint> relate(const std::shared_ptr<UIView>& a, NSLayoutAttribute attrA,
                                           const std::shared_ptr<UIView>& b, NSLayoutAttribute attrB, CGFloat c) {
    return NSLayoutConstraint::constraintWithItem(a, attrA, NSLayoutRelation::Equal, b, attrB, 1, c);
}

std::string loadingText() {
    return Global::shared()->lang()->get("LOADING");
}

}  // namespace

void LoadingView::setup() {
    act_ = UIActivityIndicatorView::withStyle(UIActivityIndicatorViewStyle::Gray);
}

void LoadingView::relayout() {
    act_->stopAnimating();
    act_->removeFromSuperview();
    addSubview(act_);
    act_->startAnimating();
    act_->setTranslatesAutoresizingMaskIntoConstraints(false);
    auto me = self<LoadingView>();
    addConstraint(relate(act_, NSLayoutAttribute::CenterX, me, NSLayoutAttribute::CenterX, 0));
    addConstraint(relate(act_, NSLayoutAttribute::CenterY, me, NSLayoutAttribute::CenterY, 0));
}

void LoadingView::recalc(Value& dictionary, const UIView& view) {
    dictionary.set("width", Value(std::ceil(double(view.frame().size.width))));
    dictionary.set("height", Value(std::int64_t(kRowHeight)));
}

void LoadingProgView::init() {
    UIView::init();
    auto me = self<LoadingProgView>();
    auto device = Global::shared()->device();
    auto spinner = UIActivityIndicatorView::withStyle(
        device && device->isDarkMode() ? UIActivityIndicatorViewStyle::White : UIActivityIndicatorViewStyle::Gray);
    spinner->startAnimating();
    addSubview(spinner);
    addConstraintsCenter(spinner, me, 0, kSpinnerDY, kSpinnerSide, kSpinnerSide);

    label_ = UILabel::make();
    label_->setNumberOfLines(0);
    label_->setText(loadingText());
    auto font = Global::shared()->font();
    auto palette = Global::shared()->color();
    if (font) label_->setFont(font->textSmall2());
    if (palette) label_->setTextColor(palette->labelSecondary());
    label_->setTextAlignment(NSTextAlignment::Center);
    addSubview(label_);
    label_->setTranslatesAutoresizingMaskIntoConstraints(false);
    addConstraint(relate(label_, NSLayoutAttribute::CenterX, me, NSLayoutAttribute::CenterX, 0));
    addConstraint(relate(label_, NSLayoutAttribute::CenterY, me, NSLayoutAttribute::CenterY, kLabelDY));
    label_->addConstraint(
        relate(label_, NSLayoutAttribute::Width, nullptr, NSLayoutAttribute::NotAnAttribute, kLabelWidth));
    auto height = relate(label_, NSLayoutAttribute::Height, nullptr, NSLayoutAttribute::NotAnAttribute, kLabelOneLine);
    height->setIdentifier(kLabelHeight);
    label_->addConstraint(height);

    prog_ = UIProgressView::make();
    addSubview(prog_);
    addConstraintsByViewCTWH(prog_, me, label_, 0, kBarGap, kBarWidth, kBarHeight);
}

void LoadingProgView::setProgress(float p) {
    prog_->setProgress(p);
}

void LoadingProgView::setDetailText(const std::string& detail) {
    const bool two = !detail.empty();
    label_->setText(two ? loadingText() + "\n" + detail : loadingText());
    setLayoutConstant(*label_, kLabelHeight, two ? kLabelTwoLines : kLabelOneLine);
}

void LoadingImageView::setup() {
    iv_ = UIImageView::make();
    iv_->setContentMode(UIViewContentMode::ScaleAspectFill);
    iv_->setClipsToBounds(true);
    pro_ = RingProgressView::make();
    pro_->setUserInteractionEnabled(false);
    pro_->setBlurEffect(nullptr);
}

void LoadingImageView::relayout() {
    auto me = self<LoadingImageView>();
    for (const auto& v : {std::static_pointer_cast<UIView>(pro_), std::static_pointer_cast<UIView>(iv_)}) {
        v->removeFromSuperview();
        addSubview(v);
        addConstraintsFull(v, me, 0, 0, 0, 0);
    }
}

void LoadingImageView::setDelegate(const std::shared_ptr<LoadingImageViewDelegate>& d) {
    delegate_ = d;
    if (g_) UIViewRemoveGestureRecognizer(*this, g_);
    g_.reset();
    if (!d) return;
    std::weak_ptr<LoadingImageView> weak = self<LoadingImageView>();
    g_ = UITapGestureRecognizer::make([weak](UIGestureRecognizer&) {
        auto s = weak.lock();
        if (auto delegate = s ? s->delegate_.lock() : nullptr) delegate->onLoadingImageViewTap(*s);
    });
    UIViewAddGestureRecognizer(*this, g_);
}

void LoadingImageView::set(std::shared_ptr<UIImage> image) {
    const bool has = image != nullptr;
    iv_->setImage(std::move(image));
    iv_->setHidden(!has);
    pro_->setHidden(has);
    if (has) return;
    pro_->setIndeterminate(false);
    pro_->setIndeterminate(true);
}

void LoadingImageView::assignRound(CGFloat radius) {
    ::assignRound(*iv_, radius);
}
