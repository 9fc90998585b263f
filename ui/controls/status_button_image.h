// A status button with a bitmap icon; a tap on the icon sends the action too. Main-thread only.
#pragma once

#include "ui/controls/status_button_base.h"

class UIImage;

class StatusButtonImage : public StatusButtonBase {
public:
    KORVA_MAKE(StatusButtonImage)
    void init() override;
    const std::shared_ptr<UIButton>& button() const { return button_; }
    std::string className() const override { return "StatusButtonImage"; }

protected:
    explicit StatusButtonImage(std::shared_ptr<UIImage> image) : image_(std::move(image)) {}

private:
    std::shared_ptr<UIImage> image_;
    std::shared_ptr<UIButton> button_;
};
