// The editor of one colour: a block of fixed swatches over a saturation and brightness square and
// a vertical hue strip. Every change writes red, green, blue and alpha 1 into the record and
// reports it. A "CIColor" record is written back as soon as the editor has opened (so it holds
// an opaque colour from then on); a record of another type (a vector of coefficients that only
// looks like a colour) is shown without being written until the user changes it. Main-thread only.
#pragma once

#include <array>
#include <vector>

#include "editor/adjust/pop_adj_general_base.h"

class UIButton;
class UIGestureRecognizer;
class UIImageView;
class UIScrollView;

class PopAdjColorView : public PopAdjGeneralBase {
public:
    KORVA_MAKE(PopAdjColorView)
    static constexpr CGSize kSize{240, 375};
    static constexpr CGSize kGroupSize{30, 150};
    static constexpr CGSize kActualSize{150, 150};
    static constexpr CGSize kArrowSize{50, 10};
    static constexpr CGSize kPointerSize{20, 20};
    static constexpr CGFloat kSwatchGap = 5;
    static constexpr CGFloat kSwatchStart = 2.5;
    static constexpr double kMarkerDuration = 0.1;

    void init() override;

    void show(const std::shared_ptr<NSObject>& sender, const Value& record, Callback completion);
    using PopAdjGeneralBase::show;
    // Reset: the default's four components, the colour loaded again, then one more report.
    void onRightButton(IconButton& sender) override;

    void updateGroup();
    void updateActual();
    void updatePointer();
    // Writes the picked colour with alpha 1 and reports it.
    void updateColor();

    void onTapB0(UIGestureRecognizer& r);
    void onPanB0(UIGestureRecognizer& r);
    void onTapGroup(UIGestureRecognizer& r);
    void onPanGroup(UIGestureRecognizer& r);
    void onTapActual(UIGestureRecognizer& r);
    void onPanActual(UIGestureRecognizer& r);
    void onPalette(UIButton& swatch);

    double gp() const { return gp_; }
    CGPoint ap() const { return ap_; }
    const Value& value() const { return value_; }
    const std::shared_ptr<UIView>& b0() const { return b0_; }
    const std::shared_ptr<UIScrollView>& palette() const { return palette_; }
    const std::vector<std::shared_ptr<UIButton>>& swatches() const { return swatches_; }
    const std::shared_ptr<UIView>& group() const { return group_; }
    const std::shared_ptr<UIImageView>& actual() const { return actual_; }
    const std::shared_ptr<UIView>& viewArrow() const { return viewArrow_; }
    const std::shared_ptr<UIView>& viewPointer() const { return viewPointer_; }
    std::shared_ptr<UIView> panning() const { return panning_.lock(); }

    std::string className() const override { return "PopAdjColorView"; }

protected:
    using PopAdjGeneralBase::PopAdjGeneralBase;

private:
    void buildPalette();
    void initGroup();
    void initActual();
    // Takes the hue and square position of the record's colour and shows them; writes the colour
    // back only for a "CIColor" record.
    void load();
    // Takes the hue and square position of a colour and shows them.
    void pick(const UIColor& color);
    // Below the swatches, and on which side of the gap between square and strip.
    bool belowPalette(CGPoint p) const;
    bool overGroup(CGPoint p) const;
    // The hue, or the square's point, under the recogniser's touch.
    void hueAt(UIGestureRecognizer& r);
    void squareAt(UIGestureRecognizer& r);

    double gp_ = 0;
    Value value_;
    std::shared_ptr<UIView> b0_;
    std::shared_ptr<UIScrollView> palette_;
    std::vector<std::shared_ptr<UIButton>> swatches_;
    std::shared_ptr<UIView> group_;
    std::shared_ptr<UIImageView> actual_;
    std::weak_ptr<UIView> panning_;
    std::shared_ptr<UIView> viewArrow_;
    std::shared_ptr<UIView> viewPointer_;
    CGPoint ap_{0, 0};
};
