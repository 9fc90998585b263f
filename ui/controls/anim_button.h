// The two-state image button: an off and an on image, cross-faded when the state changes, with an
// optional red count badge and a blink to the other image and back. Main-thread only.
//
// An animated change takes an animation callback: any callback, even an empty one, asks for the
// 0.3 s cross-fade; none switches at once.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/ui/control/ui_button.h"

class CABasicAnimation;
class UIImage;
class UILabel;

class AnimButton : public UIButton {
public:
    KORVA_MAKE(AnimButton)
    using Block = std::function<void(AnimButton&)>;
    using Completion = std::function<void()>;

    static constexpr double kFadeDuration = 0.3;
    static constexpr const char* kContentsKey = "animateContents";

    // Stores both images and cross-fades to the off state.
    void setImages(std::shared_ptr<UIImage> off, std::shared_ptr<UIImage> on);
    void setOn(bool on, Block block);
    void set1(Block block, Completion completion);
    void set0(Block block, Completion completion);
    void setAnimation(const std::shared_ptr<UIImage>& from, const std::shared_ptr<UIImage>& to, Block block,
                      Completion completion);
    static std::shared_ptr<CABasicAnimation> makeAnimation(const std::shared_ptr<UIImage>& from,
                                                           const std::shared_ptr<UIImage>& to);
    void setOffImage(std::shared_ptr<UIImage> image, Block block);
    void setOnImage(std::shared_ptr<UIImage> image, Block block);

    void setBadgeValue(std::optional<std::string> value);
    const std::optional<std::string>& badgeValue() const { return badgeValue_; }
    const std::shared_ptr<UILabel>& lblBadge() const { return lblBadge_; }
    void setLblBadge(std::shared_ptr<UILabel> l) { lblBadge_ = std::move(l); }
    void blink();

    bool on() const { return on_; }
    const std::shared_ptr<UIImage>& imageOn() const { return imageOn_; }
    void setImageOn(std::shared_ptr<UIImage> i) { imageOn_ = std::move(i); }
    const std::shared_ptr<UIImage>& imageOff() const { return imageOff_; }
    void setImageOff(std::shared_ptr<UIImage> i) { imageOff_ = std::move(i); }

    std::string className() const override { return "AnimButton"; }

protected:
    explicit AnimButton(CGRect frame = CGRectZero) : UIButton(frame) {}

private:
    const std::shared_ptr<UILabel>& badge();
    // The view the badge goes into: the root view of an owning badge host (the tab-bar controller),
    // else the button's superview.
    std::shared_ptr<UIView> badgeHost();
    void showBadge(const std::string& text);
    void removeBadge();

    bool on_ = false;
    std::shared_ptr<UIImage> imageOn_, imageOff_;
    std::optional<std::string> badgeValue_;
    std::shared_ptr<UILabel> lblBadge_;
};
