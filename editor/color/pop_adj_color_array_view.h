// The editor of a colour-array record: the slider editor in a white bubble with a black panel.
// The slider writes one number between the record's bounds; Reset restores the record's default
// as it is stored (an array of colours). Main-thread only.
#pragma once

#include "editor/adjust/pop_adj_slider_view.h"

class PopAdjColorArrayView : public PopAdjSliderView {
public:
    KORVA_MAKE(PopAdjColorArrayView)

    void init() override;
    // Reset: a copy of the default, the report, then the slider.
    void onRightButton(IconButton& sender) override;

    std::string className() const override { return "PopAdjColorArrayView"; }

protected:
    using PopAdjSliderView::PopAdjSliderView;
};
