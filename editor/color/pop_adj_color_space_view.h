// The chooser of a filter's working colour space: a horizontal strip with one button per colour
// space the filter engine offers ("Default" first, then by display name), the record's current
// one selected. The strip covers the whole panel, title bar included. Main-thread only.
#pragma once

#include <vector>

#include "editor/adjust/pop_adj_general_base.h"

class StatusButtonImage;
class UIScrollView;

class PopAdjColorSpaceView : public PopAdjGeneralBase {
public:
    KORVA_MAKE(PopAdjColorSpaceView)
    static constexpr CGSize kInitialSize{300, 56};
    static constexpr CGFloat kPitch = 90;
    static constexpr CGSize kButtonSize{80, 35};
    static constexpr CGFloat kHeight = 50;
    // The strip keeps this far inside the smaller side of the screen.

    void init() override;

    void show(const std::shared_ptr<NSObject>& sender, const Value& record, Callback completion);
    using PopAdjGeneralBase::show;
    // The entries {"label": display name, "value": colour-space name} in the strip's order.
    static ValueArray entries();
    // Rebuilds the entries and the buttons.
    void updateData();
    // Selects the button of the record's colour space, and only that one.
    void updateView();
    // The button (or its label) at the index was tapped.
    void onAction(long index);
    // Reset: the record's default name, the buttons, then the report.
    void onRightButton(IconButton& sender) override;

    const Value& value() const { return value_; }
    const std::shared_ptr<UIView>& b0() const { return b0_; }
    const ValueArray& arr() const { return arr_; }
    const std::shared_ptr<UIScrollView>& scroll() const { return scroll_; }
    const std::vector<std::shared_ptr<StatusButtonImage>>& buttons() const { return buttons_; }

    std::string className() const override { return "PopAdjColorSpaceView"; }

protected:
    using PopAdjGeneralBase::PopAdjGeneralBase;

private:
    Value value_;
    std::shared_ptr<UIView> b0_;
    ValueArray arr_;
    std::shared_ptr<UIScrollView> scroll_;
    std::vector<std::shared_ptr<StatusButtonImage>> buttons_;
};
