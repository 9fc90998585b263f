// The filter tile: its views, its thumbnail, its selection look and the tap-or-hold machine.
#include "editor/browser/filter_item_view.h"

#include "editor/adjust/pop_adj_h_view.h"
#include "filter/ci_image_filter.h"
#include "filter/filter_context.h"
#include "filter/filter_persist_element.h"
#include "foundation/global.h"
#include "foundation/image_service.h"
#include "platform/ui/control/ui_image_view.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/draw/color.h"
#include "platform/ui/draw/image.h"
#include "platform/ui/gesture/ui_tap_gesture_recognizer.h"
#include "platform/ui/layer/ca_layer.h"
#include "ui/layout/view_custom_style.h"
#include "ui/theme/color.h"
#include "ui/theme/font.h"
#include "widgets/progress/ring_progress_view.h"

FilterItemView::FilterItemView(std::shared_ptr<UIViewController> vc, CGFloat labelHeight,
                               std::shared_ptr<FilterAttrDelegate> attrDelegate)
    : vc_(std::move(vc)), labelHeight_(labelHeight), attrDelegate_(std::move(attrDelegate)) {}

void FilterItemView::init() {
    UIView::init();
    auto global = Global::shared();
    setBackgroundColor(UIColor::blackColor());

    image_ = UIImageView::make();
    image_->setContentMode(UIViewContentMode::ScaleAspectFill);
    image_->setClipsToBounds(true);

    label_ = UILabel::make();
    label_->setNumberOfLines(kLabelLines);
    label_->setTextAlignment(NSTextAlignment::Center);
    label_->setTextColor(UIColor::whiteColor());
    if (auto font = global->font()) label_->setFont(font->filterItemNormal());

    progress_ = RingProgressView::make();
    progress_->setUserInteractionEnabled(false);
    progress_->setIndeterminate(true);
    progress_->setShowsText(false);
    progress_->setUsesVibrancyEffect(true);
    progress_->setBlurEffect(nullptr);
    std::weak_ptr<FilterItemView> weak = self<FilterItemView>();
    progress_->setAnimationDidStopBlock([weak] {
        auto s = weak.lock();
        if (!s) return;
        s->progressHiding_ = false;
        s->progress_->setHidden(true);
    });

    settings_ = UIImageView::make();
    if (auto images = global->image()) settings_->setImage(images->settings());
    settings_->setAlpha(kBadgeAlpha);
    assignShadow(*settings_);
    setUnselected();

    layer()->setCornerRadius(kCornerRadius);
    setClipsToBounds(true);

    UIViewAddGestureRecognizer(*this, UITapGestureRecognizer::make([weak](UIGestureRecognizer&) {
        if (auto s = weak.lock()) s->onTap();
    }));

    addSubview(image_);
    addSubview(progress_);
    addSubview(label_);
    addSubview(settings_);

    popAdj_ = PopAdjHView::make(vc_.lock());
    popAdj_->setShowAboveIfBothAvailable(true);
    popAdj_->setDelegate(self<FilterItemView>());
}

void FilterItemView::layoutSubviews() {
    UIView::layoutSubviews();
    CGRect b = bounds();
    CGRect picture{{0, 0}, {b.size.width, std::max<CGFloat>(b.size.height - labelHeight_, 0)}};
    image_->setFrame(picture);
    progress_->setFrame(picture);
    label_->setFrame({{kLabelInset, b.size.height - labelHeight_},
                      {std::max<CGFloat>(b.size.width - 2 * kLabelInset, 0), labelHeight_}});
    CGFloat side = picture.size.width * kBadgeShare;
    settings_->setFrame({{CGRectGetMidX(picture) - side / 2, CGRectGetMidY(picture) - side / 2}, {side, side}});
}

void FilterItemView::setElement(std::shared_ptr<FilterPersistElement> element) {
    elem_ = std::move(element);
    label_->setText(elem_ ? elem_->displayName() : std::string());
}

// ---- thumbnail ----

void FilterItemView::drawRefiltered() {
    auto host = attrDelegate();
    if (!host || !elem_) return;
    auto source = host->onFilterSourceGetImage();
    if (!source) return;
    auto context = host->onFilterSourceGetContext();
    if (!context || !setCurrentContext(context->gl())) return;
    auto result = filter(source, *elem_);
    if (isDrawable(result)) {
        // In the compositor's own pixel order, so that showing the thumbnail needs no conversion.
        auto bitmap =
            context->ciGPU()->createCGImage(result, result->extent(), CGImagePixelLayout::BGRA8Premultiplied, nullptr);
        if (bitmap) lastImage_ = UIImage::imageWithCGImage(std::move(bitmap));
    }
    updateImage();
}

void FilterItemView::updateImage() {
    if (lastImage_) {
        if (!progress_->isHidden() && !progressHiding_) {
            progressHiding_ = true;
            progress_->setProgress(1.0);
        }
        image_->setImage(lastImage_);
        image_->setHidden(false);
        return;
    }
    if (!progressShowAssigned_) {
        progress_->setHidden(false);
        progressShowAssigned_ = true;
    }
    image_->setHidden(true);
}

void FilterItemView::resetLastImage() {
    if (!lastImage_) return;
    lastImage_.reset();
    progress_->setProgress(0, false);
    progress_->setIndeterminate(true);
    progress_->setHidden(false);
    progressShowAssigned_ = false;
}

// ---- selection ----

bool FilterItemView::hasEditableItems() const {
    return elem_ && PopAdjView::available(elem_->attrs());
}

void FilterItemView::setSelected() {
    auto colors = Global::shared()->color();
    auto selected = colors ? colors->colorSelected() : UIColor::blackColor();
    setBackgroundColor(selected);
    assignBorder(*this, kBorderWidth, selected);
    settings_->setHidden(!hasEditableItems());
}

void FilterItemView::setUnselected() {
    setBackgroundColor(UIColor::blackColor());
    assignBorder(*this, kBorderWidth, UIColor::blackColor());
    settings_->setHidden(true);
}

// ---- touches ----

void FilterItemView::touchesBegan(const UITouchSet& touches, const UIEvent& event) {
    touchState_ = TouchState::Pressed;
    timer_.restart(kHoldDelay, weakBind(self<FilterItemView>(), &FilterItemView::onLongTap));
    UITouchPassToNextResponder(*this, UITouchPhase::Began, touches, event);
}

void FilterItemView::onLongTap() {
    if (touchState_ != TouchState::Pressed) return;
    touchState_ = TouchState::Held;
    if (auto d = delegate_.lock()) d->onFilterItemViewDidLongTapDown(*this);
}

void FilterItemView::endTouch() {
    timer_.reset();
    if (touchState_ == TouchState::Held) {
        touchState_ = TouchState::Released;
        if (auto d = delegate_.lock()) d->onFilterItemViewDidLongTapUp(*this);
    } else if (touchState_ == TouchState::Pressed) {
        touchState_ = TouchState::Idle;
    }
}

void FilterItemView::touchesEnded(const UITouchSet& touches, const UIEvent& event) {
    auto keep = self<FilterItemView>();  // the delegate may rebuild the strip
    endTouch();
    UITouchPassToNextResponder(*this, UITouchPhase::Ended, touches, event);
}

void FilterItemView::touchesCancelled(const UITouchSet& touches, const UIEvent& event) {
    auto keep = self<FilterItemView>();
    endTouch();
    UITouchPassToNextResponder(*this, UITouchPhase::Cancelled, touches, event);
}

void FilterItemView::onTap() {
    timer_.reset();
    TouchState was = touchState_;
    touchState_ = TouchState::Idle;
    auto d = delegate_.lock();
    if (!d) return;
    if (was == TouchState::Held)
        d->onFilterItemViewDidLongTapUp(*this);
    else if (was != TouchState::Released)
        d->onFilterItemViewDidTap(*this);
}
