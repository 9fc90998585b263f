// The editor of a list of numbers shown as a grid of cells (convolution weights, polynomial
// coefficients): each cell shows its number to one decimal, and a tap on it asks for a new number
// in a text prompt. The grid's shape comes from the record's editor kind. Main-thread only.
#pragma once

#include <array>
#include <optional>
#include <utility>
#include <vector>

#include "editor/adjust/pop_adj_general_base.h"
#include "platform/ui/control/ui_scroll_view.h"

class UIButton;
class UILabel;

class PopAdjInputView : public PopAdjGeneralBase, public UIScrollViewDelegate {
public:
    KORVA_MAKE(PopAdjInputView)
    static constexpr CGSize kInitialSize{200, 200};
    static constexpr int kMaxCells = 49;
    static constexpr long kFirstTag = 1000;
    static constexpr CGFloat kCellWidth = 50;
    static constexpr CGFloat kCellHeight = 30;
    static constexpr CGFloat kCellLabelHeight = 10;
    static constexpr CGFloat kGridInset = 5;
    static constexpr CGFloat kMaxSide = 200;

    void init() override;

    void show(const std::shared_ptr<NSObject>& sender, const Value& record, Callback completion);
    using PopAdjGeneralBase::show;
    // Shapes the grid for the record's kind and fills the cells from its value.
    void updateView();
    // The element of the value a cell shows.
    long vm(long cell) const;
    // Asks for a new number for the tapped cell.
    void onInput(UIButton& button);
    // Reset: the record's default array, then the grid, then the report.
    void onRightButton(IconButton& sender) override;

    const Value& value() const { return value_; }
    const std::shared_ptr<UIView>& b0();
    const std::shared_ptr<UIScrollView>& scrollView() const { return scrollView_; }
    // (value button, position label) per cell, in cell order.
    const std::vector<std::pair<std::shared_ptr<UIButton>, std::shared_ptr<UILabel>>>& inputs() const {
        return inputs_;
    }
    long row() const { return row_; }
    long count() const { return count_; }
    const std::optional<std::vector<long>>& valueMap() const { return valueMap_; }

    std::string className() const override { return "PopAdjInputView"; }

protected:
    using PopAdjGeneralBase::PopAdjGeneralBase;

private:
    // "row,column" of an index, both counted from 1.
    std::string position(long index) const;

    Value value_;
    std::shared_ptr<UIView> b0_;
    std::shared_ptr<UIScrollView> scrollView_;
    std::vector<std::pair<std::shared_ptr<UIButton>, std::shared_ptr<UILabel>>> inputs_;
    // A kind the grid does not know keeps the shape shown before; nothing at first.
    long row_ = 1;
    long count_ = 0;
    std::optional<std::vector<long>> valueMap_;
};
