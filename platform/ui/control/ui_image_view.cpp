// Image views: the image becomes the layer's contents; frame animation is a key-frame animation
// of the contents.
#include "platform/ui/control/ui_image_view.h"

#include <limits>

#include "platform/ui/animation/ca_animation_engine.h"

UIImageView::UIImageView(CGRect frame) : UIView(frame) {}

namespace {
constexpr const char* kFramesKey = "UIImageViewAnimation";
}

void UIImageView::init() {
    UIView::init();
    setUserInteractionEnabled(false);
    updateContents();
}

void UIImageView::setImage(std::shared_ptr<UIImage> image) {
    if (image == image_) return;
    // The natural size changes only with the picture's size: a new picture of the same size (a
    // thumbnail drawn again) leaves the layout alone.
    bool resized = !image || !image_ || image->size() != image_->size();
    image_ = std::move(image);
    updateContents();
    if (resized) invalidateIntrinsicContentSize();
}

void UIImageView::setHighlightedImage(std::shared_ptr<UIImage> image) {
    highlightedImage_ = std::move(image);
    updateContents();
}

void UIImageView::setHighlighted(bool h) {
    highlighted_ = h;
    updateContents();
}

void UIImageView::updateContents() {
    auto shown = highlighted_ && highlightedImage_ ? highlightedImage_ : image_;
    layer()->setContents(shown ? shown->cgImage() : nullptr);
    if (shown) layer()->setContentsScale(shown->scale());
}

void UIImageView::setAnimationImages(std::vector<std::shared_ptr<UIImage>> images) {
    std::erase(images, nullptr);
    animationImages_ = std::move(images);
    if (animationImages_.empty()) stopAnimating();
}

void UIImageView::startAnimating() {
    if (animationImages_.empty()) return;
    auto frames = CAKeyframeAnimation::animationWithKeyPath("contents");
    std::vector<CAValue> values;
    for (const auto& img : animationImages_) values.push_back(img->cgImage());
    // The last value only closes the last frame's interval.
    values.push_back(animationImages_.back()->cgImage());
    frames->setValues(std::move(values));
    frames->setCalculationMode(CAAnimationCalculationMode::Discrete);
    double duration = animationDuration_ > 0 ? animationDuration_ : double(animationImages_.size()) / 30.0;
    frames->setDuration(duration);
    frames->setRepeatCount(animationRepeatCount_ > 0 ? float(animationRepeatCount_)
                                                     : std::numeric_limits<float>::infinity());
    CAAnimationEngine::addAnimation(layer(), frames, kFramesKey);
}

void UIImageView::stopAnimating() {
    CAAnimationEngine::removeAnimationForKey(*layer(), kFramesKey);
}

bool UIImageView::isAnimating() const {
    return CAAnimationEngine::animationForKey(*layer(), kFramesKey) != nullptr;
}

CGSize UIImageView::intrinsicContentSize() const {
    if (!image_) return {UIViewNoIntrinsicMetric, UIViewNoIntrinsicMetric};
    return image_->size();
}

CGSize UIImageView::sizeThatFits(CGSize) const {
    return image_ ? image_->size() : CGSizeZero;
}
