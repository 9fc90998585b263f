// Bars: item actions and enabled state, toolbar layout with flexible spaces, the tab bar's taps,
// navigation bar back titles and the shared appearance.
#include "controller_test_support.h"
#include "platform/ui/bar/ui_navigation_bar.h"
#include "platform/ui/bar/ui_tab_bar.h"
#include "platform/ui/bar/ui_toolbar.h"

namespace {

using BarTest = UIHarness;

TEST_F(BarTest, ItemsActOnlyWhenEnabledAndSpacesNever) {
    int taps = 0;
    auto done = UIBarButtonItem::withSystemItem(UIBarButtonSystemItem::Done, [&](UIBarButtonItem&) { ++taps; });
    EXPECT_EQ(done->displayTitle(), "Done");
    EXPECT_EQ(done->style(), UIBarButtonItemStyle::Done);
    EXPECT_TRUE(done->performAction());
    done->setEnabled(false);
    EXPECT_FALSE(done->performAction());
    auto space =
        UIBarButtonItem::withSystemItem(UIBarButtonSystemItem::FlexibleSpace, [&](UIBarButtonItem&) { ++taps; });
    EXPECT_FALSE(space->performAction());
    EXPECT_EQ(taps, 1);
}

TEST_F(BarTest, ToolbarSharesTheRoomBetweenFlexibleSpaces) {
    auto bar = UIToolbar::make(CGRectMake(0, 0, 320, 44));
    auto fixed = UIBarButtonItem::withSystemItem(UIBarButtonSystemItem::FixedSpace, nullptr);
    fixed->setWidth(20);
    auto left = UIBarButtonItem::withTitle("Prev", UIBarButtonItemStyle::Plain, nullptr);
    left->setWidth(60);
    auto right = UIBarButtonItem::withTitle("Done", UIBarButtonItemStyle::Done, nullptr);
    right->setWidth(60);
    bar->setItems(
        {left, fixed, UIBarButtonItem::withSystemItem(UIBarButtonSystemItem::FlexibleSpace, nullptr), nullptr, right});
    bar->layoutIfNeeded();
    ASSERT_EQ(bar->itemViews().size(), 4u);
    EXPECT_EQ(bar->itemViews()[0]->frame().origin.x, 8);
    EXPECT_EQ(bar->itemViews()[2]->frame().size.width, 320 - 16 - 140);
    EXPECT_EQ(CGRectGetMaxX(bar->itemViews()[3]->frame()), 312);
}

struct TabLog : UITabBarDelegate {
    std::vector<std::string> titles;
    void didSelectItem(UITabBar&, const std::shared_ptr<UITabBarItem>& item) override {
        titles.push_back(item->title());
    }
};

TEST_F(BarTest, TabBarSelectsTappedEnabledItems) {
    auto bar = UITabBar::make(CGRectMake(0, 0, 300, 49));
    auto a = UITabBarItem::make("A", nullptr, 0), b = UITabBarItem::make("B", nullptr, 1),
         c = UITabBarItem::make("C", nullptr, 2);
    c->setEnabled(false);
    bar->setItems({a, b, c});
    auto log = std::make_shared<TabLog>();
    bar->setDelegate(log);
    EXPECT_EQ(bar->indexOfItemAtPoint(CGPointMake(150, 20)), 1);
    EXPECT_EQ(bar->indexOfItemAtPoint(CGPointMake(150, 80)), -1);
    EXPECT_TRUE(bar->tapItemAtIndex(1));
    EXPECT_FALSE(bar->tapItemAtIndex(2));
    EXPECT_FALSE(bar->tapItemAtIndex(3));
    EXPECT_EQ(bar->selectedItem(), b);
    EXPECT_EQ(log->titles, (std::vector<std::string>{"B"}));
    bar->setSelectedItem(UITabBarItem::make("stranger", nullptr, 9));
    EXPECT_EQ(bar->selectedItem(), nullptr);
    bar->setSelectedItem(a);
    bar->setItems({b});
    EXPECT_EQ(bar->selectedItem(), nullptr);
}

struct PopGate : UINavigationBarDelegate {
    bool allow = true;
    int popped = 0;
    bool shouldPopItem(const std::shared_ptr<UINavigationItem>&) override { return allow; }
    void didPopItem(const std::shared_ptr<UINavigationItem>&) override { ++popped; }
};

TEST_F(BarTest, NavigationBarBackItemNamesThePreviousItemAndAsksBeforePopping) {
    auto bar = UINavigationBar::make(CGRectMake(0, 0, 375, 44));
    auto first = UINavigationItem::make(""), second = UINavigationItem::make("Second");
    bar->setItems({first, second});
    ASSERT_NE(bar->backItemView(), nullptr);
    EXPECT_EQ(bar->backItemView()->item()->title(), "Back");
    first->setBackBarButtonItem(UIBarButtonItem::withTitle("Home", UIBarButtonItemStyle::Plain, nullptr));
    bar->setItems({first, second});
    EXPECT_EQ(bar->backItemView()->item()->title(), "Home");
    auto gate = std::make_shared<PopGate>();
    bar->setDelegate(gate);
    gate->allow = false;
    EXPECT_FALSE(bar->tapBack());
    gate->allow = true;
    EXPECT_TRUE(bar->tapBack());
    EXPECT_EQ(gate->popped, 1);
    EXPECT_EQ(bar->topItem(), first);
    EXPECT_EQ(bar->popNavigationItem(), nullptr);
    // The shared appearance applies to bars made afterwards.
    UINavigationBarAppearance look;
    look.opaque = true;
    look.backgroundColor = UIColor::redColor();
    UINavigationBar::setDefaultAppearance(look);
    EXPECT_FALSE(bar->standardAppearance().opaque);
    EXPECT_TRUE(UINavigationBar::make()->standardAppearance().opaque);
    UINavigationBar::setDefaultAppearance({});
}

}  // namespace
