// The builder classes of the indicator types, one per type, each built in its file under types/
// with its geometry and animation values.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "widgets/indicator/busy_indicator_animation.h"

// A new builder for the type (0...32), or null for any other value.
std::shared_ptr<BusyIndicatorAnimation> makeIndicatorAnimation(std::uint64_t type);

// Type 0.
class BusyIndicatorNineDotsAnimation : public BusyIndicatorAnimation {
public:
    KORVA_MAKE(BusyIndicatorNineDotsAnimation)
    void setupAnimationInLayer(const std::shared_ptr<CALayer>& layer, CGSize size,
                               const std::shared_ptr<UIColor>& tintColor) override;
    std::string className() const override { return "BusyIndicatorNineDotsAnimation"; }
};

// Type 1.
class BusyIndicatorTriplePulseAnimation : public BusyIndicatorAnimation {
public:
    KORVA_MAKE(BusyIndicatorTriplePulseAnimation)
    void setupAnimationInLayer(const std::shared_ptr<CALayer>& layer, CGSize size,
                               const std::shared_ptr<UIColor>& tintColor) override;
    std::string className() const override { return "BusyIndicatorTriplePulseAnimation"; }
};

// Type 2.
class BusyIndicatorFiveDotsAnimation : public BusyIndicatorAnimation {
public:
    KORVA_MAKE(BusyIndicatorFiveDotsAnimation)
    void setupAnimationInLayer(const std::shared_ptr<CALayer>& layer, CGSize size,
                               const std::shared_ptr<UIColor>& tintColor) override;
    std::string className() const override { return "BusyIndicatorFiveDotsAnimation"; }
};

// Type 3.
class BusyIndicatorRotatingSquaresAnimation : public BusyIndicatorAnimation {
public:
    KORVA_MAKE(BusyIndicatorRotatingSquaresAnimation)
    void setupAnimationInLayer(const std::shared_ptr<CALayer>& layer, CGSize size,
                               const std::shared_ptr<UIColor>& tintColor) override;
    std::string className() const override { return "BusyIndicatorRotatingSquaresAnimation"; }
};

// Type 4.
class BusyIndicatorDoubleBounceAnimation : public BusyIndicatorAnimation {
public:
    KORVA_MAKE(BusyIndicatorDoubleBounceAnimation)
    void setupAnimationInLayer(const std::shared_ptr<CALayer>& layer, CGSize size,
                               const std::shared_ptr<UIColor>& tintColor) override;
    std::string className() const override { return "BusyIndicatorDoubleBounceAnimation"; }
};

// Type 5.
class BusyIndicatorTwoDotsAnimation : public BusyIndicatorAnimation {
public:
    KORVA_MAKE(BusyIndicatorTwoDotsAnimation)
    void setupAnimationInLayer(const std::shared_ptr<CALayer>& layer, CGSize size,
                               const std::shared_ptr<UIColor>& tintColor) override;
    std::string className() const override { return "BusyIndicatorTwoDotsAnimation"; }
};

// Type 6.
class BusyIndicatorThreeDotsAnimation : public BusyIndicatorAnimation {
public:
    KORVA_MAKE(BusyIndicatorThreeDotsAnimation)
    void setupAnimationInLayer(const std::shared_ptr<CALayer>& layer, CGSize size,
                               const std::shared_ptr<UIColor>& tintColor) override;
    std::string className() const override { return "BusyIndicatorThreeDotsAnimation"; }
};

// Type 7.
class BusyIndicatorBallPulseAnimation : public BusyIndicatorAnimation {
public:
    KORVA_MAKE(BusyIndicatorBallPulseAnimation)
    void setupAnimationInLayer(const std::shared_ptr<CALayer>& layer, CGSize size,
                               const std::shared_ptr<UIColor>& tintColor) override;
    std::string className() const override { return "BusyIndicatorBallPulseAnimation"; }
};

// Type 8.
class BusyIndicatorBallClipRotateAnimation : public BusyIndicatorAnimation {
public:
    KORVA_MAKE(BusyIndicatorBallClipRotateAnimation)
    void setupAnimationInLayer(const std::shared_ptr<CALayer>& layer, CGSize size,
                               const std::shared_ptr<UIColor>& tintColor) override;
    std::string className() const override { return "BusyIndicatorBallClipRotateAnimation"; }
};

// Type 9.
class BusyIndicatorBallClipRotatePulseAnimation : public BusyIndicatorAnimation {
public:
    KORVA_MAKE(BusyIndicatorBallClipRotatePulseAnimation)
    void setupAnimationInLayer(const std::shared_ptr<CALayer>& layer, CGSize size,
                               const std::shared_ptr<UIColor>& tintColor) override;
    std::string className() const override { return "BusyIndicatorBallClipRotatePulseAnimation"; }
};

// Type 10.
class BusyIndicatorBallClipRotateMultipleAnimation : public BusyIndicatorAnimation {
public:
    KORVA_MAKE(BusyIndicatorBallClipRotateMultipleAnimation)
    void setupAnimationInLayer(const std::shared_ptr<CALayer>& layer, CGSize size,
                               const std::shared_ptr<UIColor>& tintColor) override;
    // The two rings' turn: scale 1, 0.6, 1 while turning a full circle (backwards when reversed).
    static std::shared_ptr<CAAnimationGroup> createAnimationInDuration(
        double duration, const std::shared_ptr<CAMediaTimingFunction>& timing, bool reverse);
    std::string className() const override { return "BusyIndicatorBallClipRotateMultipleAnimation"; }
};

// Type 11.
class BusyIndicatorBallRotateAnimation : public BusyIndicatorAnimation {
public:
    KORVA_MAKE(BusyIndicatorBallRotateAnimation)
    void setupAnimationInLayer(const std::shared_ptr<CALayer>& layer, CGSize size,
                               const std::shared_ptr<UIColor>& tintColor) override;
    std::string className() const override { return "BusyIndicatorBallRotateAnimation"; }
};

// Type 12.
class BusyIndicatorBallZigZagAnimation : public BusyIndicatorAnimation {
public:
    KORVA_MAKE(BusyIndicatorBallZigZagAnimation)
    void setupAnimationInLayer(const std::shared_ptr<CALayer>& layer, CGSize size,
                               const std::shared_ptr<UIColor>& tintColor) override;
    std::string className() const override { return "BusyIndicatorBallZigZagAnimation"; }
};

// Type 13.
class BusyIndicatorBallZigZagDeflectAnimation : public BusyIndicatorAnimation {
public:
    KORVA_MAKE(BusyIndicatorBallZigZagDeflectAnimation)
    void setupAnimationInLayer(const std::shared_ptr<CALayer>& layer, CGSize size,
                               const std::shared_ptr<UIColor>& tintColor) override;
    std::string className() const override { return "BusyIndicatorBallZigZagDeflectAnimation"; }
};

// Type 14.
class BusyIndicatorBallTrianglePathAnimation : public BusyIndicatorAnimation {
public:
    KORVA_MAKE(BusyIndicatorBallTrianglePathAnimation)
    void setupAnimationInLayer(const std::shared_ptr<CALayer>& layer, CGSize size,
                               const std::shared_ptr<UIColor>& tintColor) override;
    static std::shared_ptr<CAShapeLayer> createCircleWithSize(double side, const std::shared_ptr<UIColor>& color);
    // Sets the templates, translated, as the animation's values (translations).
    static std::shared_ptr<CAKeyframeAnimation> changeAnimation(const std::shared_ptr<CAKeyframeAnimation>& animation,
                                                                const std::vector<std::string>& templates, double dx,
                                                                double dy);
    // Replaces "hx", "fx", "hy" and "fy" (any case) by dx, 2dx, dy and 2dy.
    static std::string translate(const std::string& text, double dx, double dy);
    std::string className() const override { return "BusyIndicatorBallTrianglePathAnimation"; }
};

// Type 15.
class BusyIndicatorBallScaleAnimation : public BusyIndicatorAnimation {
public:
    KORVA_MAKE(BusyIndicatorBallScaleAnimation)
    void setupAnimationInLayer(const std::shared_ptr<CALayer>& layer, CGSize size,
                               const std::shared_ptr<UIColor>& tintColor) override;
    std::string className() const override { return "BusyIndicatorBallScaleAnimation"; }
};

// Type 16.
class BusyIndicatorLineScaleAnimation : public BusyIndicatorAnimation {
public:
    KORVA_MAKE(BusyIndicatorLineScaleAnimation)
    void setupAnimationInLayer(const std::shared_ptr<CALayer>& layer, CGSize size,
                               const std::shared_ptr<UIColor>& tintColor) override;
    std::string className() const override { return "BusyIndicatorLineScaleAnimation"; }
};

// Type 17.
class BusyIndicatorLineScalePartyAnimation : public BusyIndicatorAnimation {
public:
    KORVA_MAKE(BusyIndicatorLineScalePartyAnimation)
    void setupAnimationInLayer(const std::shared_ptr<CALayer>& layer, CGSize size,
                               const std::shared_ptr<UIColor>& tintColor) override;
    std::string className() const override { return "BusyIndicatorLineScalePartyAnimation"; }
};

// Type 18.
class BusyIndicatorBallScaleMultipleAnimation : public BusyIndicatorAnimation {
public:
    KORVA_MAKE(BusyIndicatorBallScaleMultipleAnimation)
    void setupAnimationInLayer(const std::shared_ptr<CALayer>& layer, CGSize size,
                               const std::shared_ptr<UIColor>& tintColor) override;
    std::string className() const override { return "BusyIndicatorBallScaleMultipleAnimation"; }
};

// Type 19.
class BusyIndicatorBallPulseSyncAnimation : public BusyIndicatorAnimation {
public:
    KORVA_MAKE(BusyIndicatorBallPulseSyncAnimation)
    void setupAnimationInLayer(const std::shared_ptr<CALayer>& layer, CGSize size,
                               const std::shared_ptr<UIColor>& tintColor) override;
    std::string className() const override { return "BusyIndicatorBallPulseSyncAnimation"; }
};

// Type 20.
class BusyIndicatorBallBeatAnimation : public BusyIndicatorAnimation {
public:
    KORVA_MAKE(BusyIndicatorBallBeatAnimation)
    void setupAnimationInLayer(const std::shared_ptr<CALayer>& layer, CGSize size,
                               const std::shared_ptr<UIColor>& tintColor) override;
    std::string className() const override { return "BusyIndicatorBallBeatAnimation"; }
};

// Type 21.
class BusyIndicatorLineScalePulseOutAnimation : public BusyIndicatorAnimation {
public:
    KORVA_MAKE(BusyIndicatorLineScalePulseOutAnimation)
    void setupAnimationInLayer(const std::shared_ptr<CALayer>& layer, CGSize size,
                               const std::shared_ptr<UIColor>& tintColor) override;
    std::string className() const override { return "BusyIndicatorLineScalePulseOutAnimation"; }
};

// Type 22.
class BusyIndicatorLineScalePulseOutRapidAnimation : public BusyIndicatorAnimation {
public:
    KORVA_MAKE(BusyIndicatorLineScalePulseOutRapidAnimation)
    void setupAnimationInLayer(const std::shared_ptr<CALayer>& layer, CGSize size,
                               const std::shared_ptr<UIColor>& tintColor) override;
    std::string className() const override { return "BusyIndicatorLineScalePulseOutRapidAnimation"; }
};

// Type 23.
class BusyIndicatorBallScaleRippleAnimation : public BusyIndicatorAnimation {
public:
    KORVA_MAKE(BusyIndicatorBallScaleRippleAnimation)
    void setupAnimationInLayer(const std::shared_ptr<CALayer>& layer, CGSize size,
                               const std::shared_ptr<UIColor>& tintColor) override;
    std::string className() const override { return "BusyIndicatorBallScaleRippleAnimation"; }
};

// Type 24.
class BusyIndicatorBallScaleRippleMultipleAnimation : public BusyIndicatorAnimation {
public:
    KORVA_MAKE(BusyIndicatorBallScaleRippleMultipleAnimation)
    void setupAnimationInLayer(const std::shared_ptr<CALayer>& layer, CGSize size,
                               const std::shared_ptr<UIColor>& tintColor) override;
    std::string className() const override { return "BusyIndicatorBallScaleRippleMultipleAnimation"; }
};

// Type 25.
class BusyIndicatorTriangleSkewSpinAnimation : public BusyIndicatorAnimation {
public:
    KORVA_MAKE(BusyIndicatorTriangleSkewSpinAnimation)
    void setupAnimationInLayer(const std::shared_ptr<CALayer>& layer, CGSize size,
                               const std::shared_ptr<UIColor>& tintColor) override;
    std::string className() const override { return "BusyIndicatorTriangleSkewSpinAnimation"; }
};

// Type 26.
class BusyIndicatorBallGridBeatAnimation : public BusyIndicatorAnimation {
public:
    KORVA_MAKE(BusyIndicatorBallGridBeatAnimation)
    void setupAnimationInLayer(const std::shared_ptr<CALayer>& layer, CGSize size,
                               const std::shared_ptr<UIColor>& tintColor) override;
    static std::shared_ptr<CAShapeLayer> createCirleWith(CGFloat side, const std::shared_ptr<UIColor>& color);
    std::string className() const override { return "BusyIndicatorBallGridBeatAnimation"; }
};

// Type 27.
class BusyIndicatorBallGridPulseAnimation : public BusyIndicatorAnimation {
public:
    KORVA_MAKE(BusyIndicatorBallGridPulseAnimation)
    void setupAnimationInLayer(const std::shared_ptr<CALayer>& layer, CGSize size,
                               const std::shared_ptr<UIColor>& tintColor) override;
    static std::shared_ptr<CAShapeLayer> createCirleWith(CGFloat side, const std::shared_ptr<UIColor>& color);
    std::string className() const override { return "BusyIndicatorBallGridPulseAnimation"; }
};

// Type 28.
class BusyIndicatorRotatingSandglassAnimation : public BusyIndicatorAnimation {
public:
    KORVA_MAKE(BusyIndicatorRotatingSandglassAnimation)
    void setupAnimationInLayer(const std::shared_ptr<CALayer>& layer, CGSize size,
                               const std::shared_ptr<UIColor>& tintColor) override;
    std::string className() const override { return "BusyIndicatorRotatingSandglassAnimation"; }
};

// Type 29.
class BusyIndicatorRotatingTrigonAnimation : public BusyIndicatorAnimation {
public:
    KORVA_MAKE(BusyIndicatorRotatingTrigonAnimation)
    void setupAnimationInLayer(const std::shared_ptr<CALayer>& layer, CGSize size,
                               const std::shared_ptr<UIColor>& tintColor) override;
    std::string className() const override { return "BusyIndicatorRotatingTrigonAnimation"; }
};

// Type 30.
class BusyIndicatorTripleRingsAnimation : public BusyIndicatorAnimation {
public:
    KORVA_MAKE(BusyIndicatorTripleRingsAnimation)
    void setupAnimationInLayer(const std::shared_ptr<CALayer>& layer, CGSize size,
                               const std::shared_ptr<UIColor>& tintColor) override;
    std::string className() const override { return "BusyIndicatorTripleRingsAnimation"; }
};

// Type 31.
class BusyIndicatorCookieTerminatorAnimation : public BusyIndicatorAnimation {
public:
    KORVA_MAKE(BusyIndicatorCookieTerminatorAnimation)
    void setupAnimationInLayer(const std::shared_ptr<CALayer>& layer, CGSize size,
                               const std::shared_ptr<UIColor>& tintColor) override;
    std::string className() const override { return "BusyIndicatorCookieTerminatorAnimation"; }
};

// Type 32.
class BusyIndicatorBallSpinFadeLoader : public BusyIndicatorAnimation {
public:
    KORVA_MAKE(BusyIndicatorBallSpinFadeLoader)
    void setupAnimationInLayer(const std::shared_ptr<CALayer>& layer, CGSize size,
                               const std::shared_ptr<UIColor>& tintColor) override;
    std::string className() const override { return "BusyIndicatorBallSpinFadeLoader"; }
};
