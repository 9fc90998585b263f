// The menu pop-up's row and size, its reset button and the row's room for it from the first
// layout, the tap's scroll and report, and the single-band strip under it.
#include <gtest/gtest.h>

#include "platform/ui/control/ui_button.h"
#include "platform/ui/layer/ca_gradient_layer.h"
#include "tests/ui/popup/popup_test_support.h"
#include "ui/controls/gradient_scroll_view.h"
#include "ui/layout/view_custom_identified.h"
#include "ui/popup/pop_menu_view.h"

namespace {

struct Titles : PopMenuViewDelegate {
    std::vector<std::string> titles;
    std::vector<std::string>* log = nullptr;
    std::vector<std::string> onPopMenuViewGetLabelArray(PopMenuView&) override { return titles; }
    void onPopMenuViewTap(PopMenuView&, UIButton&, const std::string& label) override {
        log->push_back("tap " + label);
    }
    void onPopMenuViewDidHide(PopMenuView&) override { log->push_back("didHide"); }
};

struct MenuPopup : PopupTest {
    std::shared_ptr<PopMenuView> menu;
    std::shared_ptr<Titles> titles = std::make_shared<Titles>();
    void SetUp() override {
        PopupTest::SetUp();
        menu = PopMenuView::make(screenVC);
        titles->log = &log;
        menu->setDelegate(titles);
    }
};

TEST_F(MenuPopup, TheRowAndTheSizeFollowTheTitles) {
    menu->updateView();
    EXPECT_EQ(menu->size(), (CGSize{0, 47})) << "no titles: an empty row";
    for (int i = 0; i < 20; ++i) titles->titles.push_back("Item " + std::to_string(i));
    menu->setTitle("Blend");
    menu->updateView();
    const auto& b = menu->buttons();
    ASSERT_EQ(b.size(), 20u);
    EXPECT_EQ(b[0]->frame().origin.x, 0);
    EXPECT_EQ(b[1]->frame().origin.x, b[0]->frame().size.width + 10);
    const CGSize rb = root()->bounds().size;
    EXPECT_EQ(menu->size().width, std::min(rb.width, rb.height) - 20);
    EXPECT_EQ(menu->size().height, 85);
    menu->setTitle("");
    menu->updateView();
    EXPECT_EQ(menu->size().height, 85) << "the hidden title keeps its text";
}

TEST_F(MenuPopup, TheResetButtonMakesRoomFromTheFirstLayout) {
    titles->titles = {"One", "Two"};
    menu->showRight("Reset");
    const CGFloat w = menu->lastResetWidth();
    EXPECT_EQ(getLayoutConstant(*menu->b0(), "scrollLeft"), 5 + w) << "not from an unlaid frame";
    menu->showRight("Something longer");
    EXPECT_EQ(menu->lastResetWidth(), w) << "ignored until hideRight";
    menu->show(std::shared_ptr<NSObject>{}, nullptr);
    advance(0.5);
    EXPECT_GE(menu->scroll()->frame().origin.x,
              menu->btnReset()->frame().origin.x + menu->btnReset()->frame().size.width);
    menu->hideRight();
    advance(0.5);
    EXPECT_EQ(getLayoutConstant(*menu->b0(), "scrollLeft"), 5);
    EXPECT_TRUE(menu->btnReset()->isHidden());
}

TEST_F(MenuPopup, AShortRowIsShownWholeBesideTheResetButton) {
    titles->titles = {"Normal", "Multiply", "Screen"};
    for (bool reset : {false, true}) {
        if (reset) menu->showRight("Reset");
        menu->show(std::shared_ptr<NSObject>{}, nullptr);
        advance(0.5);
        const auto& inner = menu->scroll()->scroll();
        const CGRect last = menu->buttons().back()->frame();
        EXPECT_LE(last.origin.x + last.size.width, inner->frame().size.width)
            << (reset ? "with" : "without") << " reset";
        menu->hide(nullptr);
        advance(0.5);
    }
}

TEST_F(MenuPopup, ATapScrollsThenReportsAndHidingTellsTheDelegate) {
    for (int i = 0; i < 20; ++i) titles->titles.push_back("Item " + std::to_string(i));
    menu->show(std::shared_ptr<NSObject>{}, nullptr);
    advance(0.5);
    menu->buttons()[19]->sendActionsForControlEvents(UIControlEventTouchUpInside);
    EXPECT_TRUE(log.empty());
    advance(0.31);
    EXPECT_EQ(log, (std::vector<std::string>{"tap Item 19"}));
    const auto& inner = menu->scroll()->scroll();
    EXPECT_EQ(inner->contentOffset().x, inner->contentSize().width - inner->frame().size.width);
    menu->hide(nullptr);
    advance(0.5);
    EXPECT_EQ(log.back(), "didHide");
}

TEST_F(MenuPopup, TheStripsBandShowsPastFivePoints) {
    auto strip = GradientScrollView::make(CGRect{{0, 0}, {200, 35}});
    root()->addSubview(strip);
    settle();
    strip->scroll()->setContentSize({600, 35});
    strip->scroll()->setContentOffset({5, 0});
    EXPECT_TRUE(strip->graL()->isHidden());
    strip->scroll()->setContentOffset({6, 0});
    EXPECT_FALSE(strip->graL()->isHidden());
    EXPECT_EQ(strip->graL()->frame(), (CGRect{{-4, 0}, {20, 35}}));
}

}  // namespace
