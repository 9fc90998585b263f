// A small image with a scrolling caption beside it, on a rounded plate; the camera screen's
// filter-name tag. Main-thread only.
#pragma once

#include <string>

#include "platform/ui/view/ui_view.h"

class ScrollLabel;
class UIColor;
class UIImage;
class UIImageView;

class LabelStatusButton : public UIView {
public:
    KORVA_MAKE(LabelStatusButton)
    static constexpr CGFloat kImageLeft = 7;
    static constexpr CGFloat kCaptionRight = 10;

    void init() override;
    void setTitle(const std::string& title);
    // Draws the icon in one colour (its own colours otherwise).
    void setIconColor(const std::shared_ptr<UIColor>& colour);

    const std::shared_ptr<ScrollLabel>& label() const { return label_; }
    const std::shared_ptr<UIImageView>& iv() const { return iv_; }

    std::string className() const override { return "LabelStatusButton"; }

protected:
    explicit LabelStatusButton(std::shared_ptr<UIImage> image)
        : UIView(CGRect{{0, 0}, {50, 50}}), image_(std::move(image)) {}

private:
    std::shared_ptr<UIImage> image_;
    std::shared_ptr<ScrollLabel> label_;
    std::shared_ptr<UIImageView> iv_;
};
