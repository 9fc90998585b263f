// The strip's edge bands follow the scroll position within a point of each end.
#include <gtest/gtest.h>

#include "platform/ui/draw/color.h"
#include "platform/ui/layer/ca_gradient_layer.h"
#include "tests/ui/popup/popup_test_support.h"
#include "ui/controls/gradient_lr_view.h"

namespace {

struct Bands : PopupTest {
    std::shared_ptr<GradientLRView> strip = GradientLRView::make(UIColor::blackColor(), CGFloat(20));
    void SetUp() override {
        PopupTest::SetUp();
        strip->setFrame({{0, 100}, {300, 60}});
        root()->addSubview(strip);
        settle();
        strip->scroll()->setContentSize({1000, 60});
    }
    // (left shown, right shown) at an offset.
    std::pair<bool, bool> at(CGFloat x) {
        strip->scroll()->setContentOffset({x, 0});
        strip->updateView();
        return {!strip->vL()->isHidden(), !strip->vR()->isHidden()};
    }
};

TEST_F(Bands, EachBandShowsOnlyWhileContentLiesBeyondItsSide) {
    EXPECT_EQ(at(0), std::make_pair(false, true));
    EXPECT_EQ(at(0.5), std::make_pair(false, true));
    EXPECT_EQ(at(2), std::make_pair(true, true));
    EXPECT_EQ(at(1000 - 300 - 2), std::make_pair(true, true));
    EXPECT_EQ(at(1000 - 300 - 1), std::make_pair(true, false)) << "a point short of the end counts as the end";
    EXPECT_EQ(strip->graL()->frame(), (CGRect{{0, 0}, {20, 60}}));

    strip->scroll()->setContentSize({200, 60});
    EXPECT_EQ(at(0), std::make_pair(false, false)) << "content narrower than the strip";

    strip->scroll()->setContentSize({1000, 60});
    strip->setDontShowGradient(true);
    EXPECT_EQ(at(400), std::make_pair(false, false));
}

TEST_F(Bands, TheBandsStickOutAFifthOfTheirWidthAndAreDarkestOnTheEdge) {
    settle();
    EXPECT_EQ(strip->vL()->frame(), (CGRect{{-4, 0}, {20, 60}}));
    EXPECT_EQ(strip->vR()->frame(), (CGRect{{284, 0}, {20, 60}}));
    EXPECT_EQ(strip->graL()->locations(), (std::vector<CGFloat>{0, 0.2, 1}));
    EXPECT_EQ(strip->graR()->locations(), (std::vector<CGFloat>{0, 0.8, 1}));
    // A scroll reports to the strip itself.
    strip->scroll()->setContentOffset({50, 0});
    EXPECT_FALSE(strip->vL()->isHidden());
}

}  // namespace
