// A pop-up above or below its sender with a 10 x 10 arrow pointing at it, or in the middle of
// the root view without one when neither side has room. It grows out of the sender's centre.
// Main-thread only.
#pragma once

#include "ui/popup/pop_sender_view.h"

class CAShapeLayer;

class PopArrowedView : public PopSenderView {
public:
    static constexpr CGFloat kArrowSide = 10;
    static constexpr CGFloat kRoomAbove = 50;
    static constexpr CGFloat kRoomBelow = 15;
    static constexpr CGFloat kSenderGap = 5;
    static constexpr CGFloat kArrowMinX = 20;

    ~PopArrowedView() override;
    void init() override;

    // Shows the pop-up against a sender (a view, bar button item or recogniser; none centres it).
    virtual void show(const std::shared_ptr<NSObject>& sender, Callback completion, Callback onDidHide);
    using PopView::show;

    void recalcLayout() override;
    void recalcLayout_Top(CGRect s, CGRect f);
    void recalcLayout_Bottom(CGRect s, CGRect f);
    void recalcLayout_Center(CGRect s, CGRect f);
    void updateContainerConstants() override;
    void applyLayout(bool animated) override;
    void setBgColor(std::shared_ptr<UIColor> color) override;
    void setAlpha(CGFloat alpha) override;
    void setHidden(bool hidden) override;
    void removeFromSuperview() override;

    bool showAboveIfBothAvailable() const { return showAboveIfBothAvailable_; }
    void setShowAboveIfBothAvailable(bool v) { showAboveIfBothAvailable_ = v; }
    bool arrowVisible() const { return arrowVisible_; }
    CGFloat arrowDistance() const { return arrowDistance_; }
    void setArrowDistance(CGFloat d) { arrowDistance_ = d; }
    CGRect arrowRect() const { return arrowRect_; }
    CGPoint offsetCXCY() const { return offsetCXCY_; }
    const std::shared_ptr<UIView>& arrow() const { return arrow_; }
    const std::shared_ptr<CAShapeLayer>& layT();
    const std::shared_ptr<CAShapeLayer>& layB();

    std::string className() const override { return "PopArrowedView"; }

protected:
    using PopSenderView::PopSenderView;
    // The look of the small control bubbles: a clear background, a black body and arrow, and a
    // hard black shadow 5 points down and right.
    void useBlackShadowedLook();

private:
    std::shared_ptr<CAShapeLayer> makeTriangle(const std::vector<CGPoint>& points, CGPoint position) const;

    bool showAboveIfBothAvailable_ = false;
    bool arrowVisible_ = false;
    CGFloat arrowDistance_ = 0;
    std::string kArrowX_, kArrowY_, kArrowW_, kArrowH_;
    std::shared_ptr<CAShapeLayer> layT_, layB_;
    std::shared_ptr<UIView> arrow_;
    CGRect arrowRect_{};
    CGPoint offsetCXCY_{};
};
