// An animated button with a count beside it that abbreviates large numbers ("1.5k").
// Main-thread only.
#pragma once

#include <cstdint>
#include <string>

#include "platform/ui/view/ui_view.h"

class AnimButton;
class UIImage;
class UILabel;

class AnimNumberedButton : public UIView {
public:
    KORVA_MAKE(AnimNumberedButton)
    void init() override;

    void setNumber(std::int64_t n);
    // The count as shown: one decimal with "k", "m" or "g" from a thousand up, else the number.
    static std::string numberText(std::int64_t n);

    const std::shared_ptr<AnimButton>& button() const { return button_; }
    const std::shared_ptr<UILabel>& label() const { return label_; }

    std::string className() const override { return "AnimNumberedButton"; }

protected:
    AnimNumberedButton(std::shared_ptr<UIImage> off, std::shared_ptr<UIImage> on)
        : off_(std::move(off)), on_(std::move(on)) {}

private:
    std::shared_ptr<UIImage> off_, on_;
    std::shared_ptr<AnimButton> button_;
    std::shared_ptr<UILabel> label_;
};
