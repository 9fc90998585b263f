// The parameter pop-up the filter tile opens: a small arrowed bubble with one horizontally
// scrolling row of labels, one per parameter item; a tap on a label opens the item's editor
// anchored on that label. Main-thread only.
#pragma once

#include "editor/adjust/pop_adj_view.h"
#include "ui/controls/menu_label_view.h"

class PopAdjHView : public PopAdjView, public MenuLabelViewDelegate {
public:
    KORVA_MAKE(PopAdjHView)
    static constexpr CGFloat kHeight = 52;
    static constexpr CGFloat kMinWidth = 20;
    // The bubble keeps this far inside the smaller side of the screen.

    void init() override;

    // Shows the row of the attribute set's items at the anchor; nothing (and no completion) when
    // the set has no items. Another set than the last one scrolls the row back to its start.
    void show(const std::shared_ptr<NSObject>& sender, const Value& attrs, Callback completion);
    using PopAdjView::show;
    void updateData() override;

    // The label of an item.
    static std::string labelOf(const Value& item);

    std::vector<std::string> onMenuLabelViewGetArray(MenuLabelView& menu) override;
    void onMenuLabelViewLabelTap(MenuLabelView& menu, long index, UIButton& sender) override;

    const std::shared_ptr<MenuLabelView>& menu();

    std::string className() const override { return "PopAdjHView"; }

protected:
    using PopAdjView::PopAdjView;

private:
    std::shared_ptr<MenuLabelView> menu_;
    // The attribute set the row showed last.
    Value shown_;
};
