// The full-frame editor base: the panel grows out of its sender to where the editor places it,
// the title bar's right button reaches the editor, and only a tap outside the panel closes it.
#include <gtest/gtest.h>

#include "editor/adjust/pop_adj_frame_base.h"
#include "tests/editor/adjust_test_support.h"
#include "widgets/button/icon_button.h"
#include "widgets/scroll/scroll_label.h"

namespace {

constexpr CGRect kPlace{{20, 100}, {300, 400}};

struct PlacedEditor : PopAdjFrameBase {
    KORVA_MAKE(PlacedEditor)
    int rightTaps = 0;
    void recalcLayout() override { setCrt(kPlace); }
    void onRightButton(IconButton&) override { ++rightTaps; }

protected:
    using PopAdjFrameBase::PopAdjFrameBase;
};

using FrameBase = AdjustTest;

TEST_F(FrameBase, ThePanelGrowsOutOfItsSenderToItsPlace) {
    auto e = PlacedEditor::make(screenVC);
    bool shown = false;
    e->show(anchor, "RECTANGLE", [&] { shown = true; });
    EXPECT_EQ(e->titleView()->lblTitle()->text(), "RECTANGLE");
    EXPECT_EQ(e->last(), anchor);
    const CGRect s = inRoot(anchor);
    EXPECT_EQ(e->showAnimDXDY(),
              (CGPoint{CGRectGetMidX(kPlace) - CGRectGetMidX(s), CGRectGetMidY(kPlace) - CGRectGetMidY(s)}));
    advance(0.5);
    EXPECT_TRUE(shown);
    EXPECT_EQ(e->phase(), PopPhase::Shown);
    EXPECT_EQ(inRoot(e->container()), kPlace);
    // The title bar lies across the top of the panel.
    EXPECT_EQ(inRoot(e->titleView()), (CGRect{{21, 101}, {298, 45}}));

    e->showRight("Reset", false);
    EXPECT_TRUE(e->titleView()->flagShowRight());
    e->titleView()->btnRight()->sendActionsForControlEvents(UIControlEventTouchUpInside);
    EXPECT_EQ(e->rightTaps, 1);
    e->hideRight(false);
    EXPECT_FALSE(e->titleView()->flagShowRight());

    tap({170, 300});
    advance(0.5);
    EXPECT_EQ(e->phase(), PopPhase::Shown) << "inside the panel";
    press({170, 600});
    advance(0.5);
    EXPECT_EQ(e->phase(), PopPhase::Shown) << "a finger still down";
    UITouchDispatcher::shared()->cancelAll();
    tap({170, 600});
    advance(0.5);
    EXPECT_EQ(e->phase(), PopPhase::Hidden);
}

}  // namespace
