// The base of the cube editors: a white bubble whose dark panel holds a "Dimension" button over
// the cube grids of one or more tables that share one dimension record. The button opens the
// whole-number stepper on the dimension; a new dimension replaces every table with random colours,
// and Reset restores the defaults of all the records. Every record written is reported, the
// dimension before the tables, so the host always keeps a dimension and tables that match.
// Main-thread only.
#pragma once

#include <vector>

#include "editor/adjust/pop_adj_general_base.h"
#include "editor/color/color_cube_data_view.h"

class IconButton;
class PopAdjStepperView;

class PopAdjCubeBase : public PopAdjGeneralBase, public PopAdjGeneralBaseDelegate, public ColorCubeDataViewDelegate {
public:
    static constexpr CGSize kButtonSize{100, 35};
    static constexpr CGFloat kButtonTop = 5;
    // The grids lie under the button.
    static constexpr CGFloat kGridsTop = 45;
    static constexpr float kMinDimension = 2;
    static constexpr float kMaxDimension = 64;

    // The dimension record's value as a whole number.
    long calcDimension() const;
    // Rebuilds the grids for the records.
    virtual void updateData() = 0;
    // Opens the dimension stepper at the button.
    void onDimension();
    // Reset: the dimension's and every table's default, the grids, then every record reported.
    void onRightButton(IconButton& sender) override;
    // The stepper wrote a new dimension: new random tables, the reports, the grids.
    void onPopAdjGeneralBaseValueChanged(PopAdjGeneralBase& editor, const Value& record) override;
    void hide(Callback completion) override;
    using PopAdjGeneralBase::hide;
    void scheduledInternalLayout() override;

    long onColorCubeDataViewGetDimension(ColorCubeDataView& view) override;

    const Value& inputCubeDimension() const { return inputCubeDimension_; }
    const std::shared_ptr<UIView>& b0() const { return b0_; }
    const std::shared_ptr<IconButton>& btnDimension() const { return btnDimension_; }
    const std::shared_ptr<PopAdjStepperView>& popDimension();

protected:
    using PopAdjGeneralBase::PopAdjGeneralBase;

    // The bubble, its panel and the button; the button's background may be none.
    void buildCubePanel(CGSize size, std::shared_ptr<UIColor> buttonBackground);
    // Binds the dimension record, offers "Reset" when it has a default and shows under the title;
    // once shown, the grids lay out their labels.
    void showCube(const std::shared_ptr<NSObject>& sender, const Value& inputCubeDimension, const std::string& title,
                  Callback completion);
    // The table records, in the order they are reported, and the grids.
    virtual std::vector<Value> tables() const = 0;
    virtual std::vector<std::shared_ptr<ColorCubeDataView>> grids() const = 0;

private:
    Value inputCubeDimension_;
    std::shared_ptr<UIView> b0_;
    std::shared_ptr<IconButton> btnDimension_;
    std::shared_ptr<PopAdjStepperView> popDimension_;
};
