// A view that shows one of the looping activity animations, chosen by type, in a square content
// box of `size` points centred in its bounds. Starting and stopping only switch the animation
// layer's speed and the view's visibility; the layers are rebuilt on layout and on a change of
// type or size. Main-thread only.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/ui/view/ui_view.h"
#include "widgets/indicator/busy_indicator_animation.h"

// The animation types, numbered as callers pass them (the HUD passes 32).
enum BusyIndicatorAnimationType : std::uint64_t {
    BusyIndicatorAnimationTypeNineDots = 0,
    BusyIndicatorAnimationTypeTriplePulse = 1,
    BusyIndicatorAnimationTypeFiveDots = 2,
    BusyIndicatorAnimationTypeRotatingSquares = 3,
    BusyIndicatorAnimationTypeDoubleBounce = 4,
    BusyIndicatorAnimationTypeTwoDots = 5,
    BusyIndicatorAnimationTypeThreeDots = 6,
    BusyIndicatorAnimationTypeBallPulse = 7,
    BusyIndicatorAnimationTypeBallClipRotate = 8,
    BusyIndicatorAnimationTypeBallClipRotatePulse = 9,
    BusyIndicatorAnimationTypeBallClipRotateMultiple = 10,
    BusyIndicatorAnimationTypeBallRotate = 11,
    BusyIndicatorAnimationTypeBallZigZag = 12,
    BusyIndicatorAnimationTypeBallZigZagDeflect = 13,
    BusyIndicatorAnimationTypeBallTrianglePath = 14,
    BusyIndicatorAnimationTypeBallScale = 15,
    BusyIndicatorAnimationTypeLineScale = 16,
    BusyIndicatorAnimationTypeLineScaleParty = 17,
    BusyIndicatorAnimationTypeBallScaleMultiple = 18,
    BusyIndicatorAnimationTypeBallPulseSync = 19,
    BusyIndicatorAnimationTypeBallBeat = 20,
    BusyIndicatorAnimationTypeLineScalePulseOut = 21,
    BusyIndicatorAnimationTypeLineScalePulseOutRapid = 22,
    BusyIndicatorAnimationTypeBallScaleRipple = 23,
    BusyIndicatorAnimationTypeBallScaleRippleMultiple = 24,
    BusyIndicatorAnimationTypeTriangleSkewSpin = 25,
    BusyIndicatorAnimationTypeBallGridBeat = 26,
    BusyIndicatorAnimationTypeBallGridPulse = 27,
    BusyIndicatorAnimationTypeRotatingSandglass = 28,
    BusyIndicatorAnimationTypeRotatingTrigon = 29,
    BusyIndicatorAnimationTypeTripleRings = 30,
    BusyIndicatorAnimationTypeCookieTerminator = 31,
    BusyIndicatorAnimationTypeBallSpinFadeLoader = 32,
};

inline constexpr std::uint64_t kBusyIndicatorTypeCount = 33;

class BusyIndicatorView : public UIView {
public:
    static constexpr CGFloat kDefaultSize = 40;

    // initWithType:tintColor:size:, initWithType:tintColor: (size 40) and initWithType: (white).
    static std::shared_ptr<BusyIndicatorView> make(std::uint64_t type, std::shared_ptr<UIColor> tintColor = nullptr,
                                                   CGFloat size = kDefaultSize);

    // A new builder for the type, or null above 32.
    static std::shared_ptr<BusyIndicatorAnimation> activityIndicatorAnimationForAnimationType(std::uint64_t type);

    std::uint64_t type() const { return type_; }
    void setType(std::uint64_t type);
    CGFloat size() const { return size_; }
    void setSize(CGFloat size);
    std::shared_ptr<UIColor> tintColor() const { return tint_; }
    // Recolours the animation layer's direct sublayers (background, and stroke and fill of shape
    // layers) without rebuilding.
    void setTintColor(std::shared_ptr<UIColor> color);
    bool animating() const { return animating_; }

    void startAnimating();
    void stopAnimating();

    const std::shared_ptr<CALayer>& animationLayer() const { return animationLayer_; }

    void init() override;
    // The archive's view properties first, then the indicator's own set-up (hidden, no touches).
    void initWithCoder(const NSCoder& coder) override;
    void layoutSubviews() override;
    CGSize intrinsicContentSize() const override { return {size_, size_}; }
    std::string className() const override { return "BusyIndicatorView"; }

protected:
    BusyIndicatorView(std::uint64_t type, std::shared_ptr<UIColor> tint, CGFloat size)
        : type_(type), tint_(std::move(tint)), size_(size) {}
    // The coder road (makeWithCoder): type 0, white, size 40; nothing of the view's own is read.
    BusyIndicatorView() : BusyIndicatorView(BusyIndicatorAnimationTypeNineDots, UIColor::whiteColor(), kDefaultSize) {}

private:
    void commonInit();
    void setupAnimation();

    std::uint64_t type_;
    std::shared_ptr<UIColor> tint_;
    CGFloat size_;
    bool animating_ = false;
    std::shared_ptr<CALayer> animationLayer_;
};
