// The editor of an affine transform: four buttons that flip it horizontally or vertically (after
// the current transform) or turn it a quarter left or right (before it). Each press writes and
// reports at once; no control shows the value. Main-thread only.
#pragma once

#include "editor/adjust/pop_adj_general_base.h"
#include "platform/runtime/geometry.h"

class IconButton;

class PopAdjTransformView : public PopAdjGeneralBase {
public:
    KORVA_MAKE(PopAdjTransformView)
    static constexpr CGSize kSize{210, 105};
    // Horizontal centre offsets of the buttons from the panel's centre, in button order.
    static constexpr CGFloat kButtonOffsets[4] = {-75, -25, 25, 75};

    void init() override;

    void show(const std::shared_ptr<NSObject>& sender, const Value& record, Callback completion);
    using PopAdjGeneralBase::show;
    // The record's six numbers (a, b, c, d, tx, ty); the all-zero matrix unless it holds six.
    CGAffineTransform getCurrentTransform() const;
    static CGAffineTransform transformOf(const Value& record, const char* key);
    // Writes the transform and reports.
    void updateTransform(const CGAffineTransform& t);

    void onFlipHorizontal();
    void onFlipVertical();
    void onRotateLeft();
    void onRotateRight();
    // Reset: the record's default transform, then the report.
    void onRightButton(IconButton& sender) override;

    const Value& value() const { return value_; }
    const std::shared_ptr<UIView>& b0() const { return b0_; }
    const std::shared_ptr<IconButton>& btnFlipH() const { return btnFlipH_; }
    const std::shared_ptr<IconButton>& btnFlipV() const { return btnFlipV_; }
    const std::shared_ptr<IconButton>& btnRotateL() const { return btnRotateL_; }
    const std::shared_ptr<IconButton>& btnRotateR() const { return btnRotateR_; }

    std::string className() const override { return "PopAdjTransformView"; }

protected:
    using PopAdjGeneralBase::PopAdjGeneralBase;

private:
    std::shared_ptr<IconButton> makeButton(std::uint16_t glyph, CGFloat dx, void (PopAdjTransformView::*action)());

    Value value_;
    std::shared_ptr<UIView> b0_;
    std::shared_ptr<IconButton> btnFlipH_;
    std::shared_ptr<IconButton> btnFlipV_;
    std::shared_ptr<IconButton> btnRotateL_;
    std::shared_ptr<IconButton> btnRotateR_;
};
