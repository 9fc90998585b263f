// A view that shows an image fitted by its content mode, or plays a list of images as frames.
// Main-thread only.
#pragma once

#include <memory>
#include <vector>

#include "platform/ui/draw/image.h"
#include "platform/ui/view/ui_view.h"

class UIImageView : public UIView {
public:
    KORVA_MAKE(UIImageView)
    void init() override;

    std::shared_ptr<UIImage> image() const { return image_; }
    void setImage(std::shared_ptr<UIImage> image);
    std::shared_ptr<UIImage> highlightedImage() const { return highlightedImage_; }
    void setHighlightedImage(std::shared_ptr<UIImage> image);
    bool isHighlighted() const { return highlighted_; }
    void setHighlighted(bool h);

    // Frame animation: the images in turn over animationDuration (default: a thirtieth of a
    // second per image), animationRepeatCount times (0: for ever).
    const std::vector<std::shared_ptr<UIImage>>& animationImages() const { return animationImages_; }
    void setAnimationImages(std::vector<std::shared_ptr<UIImage>> images);
    double animationDuration() const { return animationDuration_; }
    void setAnimationDuration(double d) { animationDuration_ = d; }
    long animationRepeatCount() const { return animationRepeatCount_; }
    void setAnimationRepeatCount(long n) { animationRepeatCount_ = n; }
    void startAnimating();
    void stopAnimating();
    bool isAnimating() const;

    CGSize intrinsicContentSize() const override;
    CGSize sizeThatFits(CGSize size) const override;
    std::string className() const override { return "UIImageView"; }

protected:
    explicit UIImageView(CGRect frame = CGRectZero);
    explicit UIImageView(std::shared_ptr<UIImage> image)
        : UIView(image ? CGRect{{0, 0}, image->size()} : CGRectZero), image_(std::move(image)) {}

private:
    void updateContents();
    std::shared_ptr<UIImage> image_;
    std::shared_ptr<UIImage> highlightedImage_;
    bool highlighted_ = false;
    std::vector<std::shared_ptr<UIImage>> animationImages_;
    double animationDuration_ = 0;
    long animationRepeatCount_ = 0;
};
