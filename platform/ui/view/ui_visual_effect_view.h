// Visual effects: a blur of what lies beneath a view, in a few styles, and the vibrancy that
// blends content into such a blur. A UIVisualEffectView shows its effect and holds the content
// in its contentView. Main-thread only.
#pragma once

#include <memory>

#include "platform/ui/view/ui_view.h"

enum class UIBlurEffectStyle { ExtraLight = 0, Light = 1, Dark = 2, Regular = 4, Prominent = 5 };

class UIVisualEffect : public NSObject {
public:
    std::string className() const override { return "UIVisualEffect"; }

protected:
    UIVisualEffect() = default;
};

class UIBlurEffect : public UIVisualEffect {
public:
    static std::shared_ptr<UIBlurEffect> effectWithStyle(UIBlurEffectStyle style);
    UIBlurEffectStyle style() const { return style_; }
    // The blur's deviation in points and the colour laid over it.
    CGFloat blurRadius() const;
    CGColor tintColor() const;
    std::string className() const override { return "UIBlurEffect"; }

protected:
    explicit UIBlurEffect(UIBlurEffectStyle style) : style_(style) {}

private:
    UIBlurEffectStyle style_;
};

class UIVibrancyEffect : public UIVisualEffect {
public:
    // The vibrancy that matches the blur.
    static std::shared_ptr<UIVibrancyEffect> effectForBlurEffect(std::shared_ptr<UIBlurEffect> blur);
    const std::shared_ptr<UIBlurEffect>& blurEffect() const { return blur_; }
    std::string className() const override { return "UIVibrancyEffect"; }

protected:
    explicit UIVibrancyEffect(std::shared_ptr<UIBlurEffect> blur) : blur_(std::move(blur)) {}

private:
    std::shared_ptr<UIBlurEffect> blur_;
};

class UIVisualEffectView : public UIView {
public:
    KORVA_MAKE(UIVisualEffectView)
    std::shared_ptr<CALayer> makeLayer() const override;
    void init() override;

    const std::shared_ptr<UIVisualEffect>& effect() const { return effect_; }
    void setEffect(std::shared_ptr<UIVisualEffect> effect);
    // Where content goes; it fills the effect view.
    const std::shared_ptr<UIView>& contentView() const { return contentView_; }

    std::string className() const override { return "UIVisualEffectView"; }

protected:
    explicit UIVisualEffectView(std::shared_ptr<UIVisualEffect> effect, CGRect frame = CGRectZero)
        : UIView(frame), effect_(std::move(effect)) {}

private:
    void applyEffect();
    std::shared_ptr<UIVisualEffect> effect_;
    std::shared_ptr<UIView> contentView_;
};
