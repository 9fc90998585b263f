// The level guide laid over the camera controls while the grid setting is on: dashed minor and
// solid major grid lines, and two faint square markers at the centre that turn with the phone's
// sideways tilt. Coming level (upright or on one side) ticks the haptic once, at most every 2 s.
// Takes no touches. Main-thread only.
#pragma once

#include <memory>

#include "platform/ui/view/ui_view.h"

class CAShapeLayer;
class CGPath;

class GuideView : public UIView {
public:
    KORVA_MAKE(GuideView)
    static constexpr int kCells = 7;
    static constexpr double kLevelBand = 0.02;
    static constexpr double kTickInterval = 2.0;
    static constexpr double kTurnDuration = 0.3;

    void init() override;
    // Rebuilds the grid and the markers when the size has changed.
    void layoutSubviews() override;
    // The gravity vector in units of g; only x (the sideways tilt) is used.
    void updateGravity(double x, double y, double z);

    double d() const { return d_; }
    const std::shared_ptr<UIView>& shape() const { return shape_; }
    const std::shared_ptr<UIView>& pitch() const { return pitch_; }
    const std::shared_ptr<UIView>& roll() const { return roll_; }
    const std::shared_ptr<CAShapeLayer>& sl0() const { return sl0_; }
    const std::shared_ptr<CAShapeLayer>& sl1() const { return sl1_; }
    const std::shared_ptr<CAShapeLayer>& pl() const { return pl_; }
    const std::shared_ptr<CAShapeLayer>& rl() const { return rl_; }
    // Horizontal lines on each side of the centre for the current size.
    int horizontalPairs() const { return pairs_; }

    // The shared memory of the last level tick (tests start from a clean one).
    static void resetLevelMemory();

    std::string className() const override { return "GuideView"; }

protected:
    GuideView() = default;

private:
    std::shared_ptr<CAShapeLayer> replaceLayer(std::shared_ptr<CAShapeLayer>& slot, UIView& holder, const CGPath& path);

    double d_ = 0;
    int pairs_ = 0;
    CGSize builtSize_{};
    std::shared_ptr<UIView> shape_, pitch_, roll_;
    std::shared_ptr<CAShapeLayer> sl0_, sl1_, pl_, rl_;
};
