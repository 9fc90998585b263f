// The bitmap-icon status button.
#include "ui/controls/status_button_image.h"

#include "platform/ui/control/ui_button.h"
#include "platform/ui/control/ui_image_view.h"

void StatusButtonImage::init() {
    StatusButtonBase::init();
    button_ = UIButton::buttonWithType(UIButtonType::Custom);
    button_->setImage(image_, UIControlStateNormal);
    if (auto iv = button_->imageView()) iv->setContentMode(UIViewContentMode::ScaleAspectFit);
    // Like the caption, the icon leaves the tap to the whole button.
    button_->setUserInteractionEnabled(false);
    addIcon(button_);
}
