// The segmented containers: children from the registry or handed in, one shown at a time.
#include <gtest/gtest.h>

#include "app/containers/my_seg_controller.h"
#include "app/containers/my_segmented_controller.h"
#include "app/containers/my_tab_bar_controller.h"
#include "app/containers/my_tab_bar_custom_controller.h"
#include "app/shell/placeholder_controller.h"
#include "foundation/global.h"
#include "platform/ui/bar/ui_bar_button_item.h"
#include "platform/ui/bar/ui_navigation_item.h"
#include "platform/ui/bar/ui_tab_bar.h"
#include "platform/ui/control/ui_button.h"
#include "platform/ui/controller/ui_navigation_controller.h"
#include "platform/ui/text/attributed_string.h"
#include "platform/ui/text/ui_font.h"
#include "tests/app/app_test_support.h"
#include "ui/controls/anim_button.h"
#include "ui/theme/font.h"

namespace {

struct Segmented : MySegmentedController {
    KORVA_MAKE(Segmented)
    Value entries;
    std::vector<std::size_t> initialized;
    Value getChildArray() override { return entries; }
    void initializeVC(std::size_t index, const std::shared_ptr<UIViewController>&) override {
        initialized.push_back(index);
    }

protected:
    Segmented() = default;
};

Value entry(const char* identifier, const char* label) {
    return Value::dictionary({{"storyboard", Value(identifier)}, {"label", Value(label)}});
}

struct ContainersTest : AppTest {
    std::shared_ptr<Segmented> segmented(long defaultIndex) {
        auto c = Segmented::make();
        c->setStoryboard(UIStoryboard::mainStoryboard());
        c->entries =
            Value::array({entry("ViewController", "One"), entry("Nowhere", "Lost"), entry("ViewController", "Two")});
        c->setDefaultIndex(defaultIndex);
        return c;
    }
};

TEST_F(ContainersTest, AnUnknownIdentifierIsSkippedWithItsSegment) {
    auto c = segmented(1);
    show(UINavigationController::withRoot(c));
    ASSERT_EQ(c->viewControllers().size(), 2u);
    EXPECT_EQ(c->initialized, (std::vector<std::size_t>{0, 1}));
    ASSERT_EQ(c->seg()->numberOfSegments(), 2u);
    EXPECT_EQ(c->seg()->titleForSegmentAtIndex(1), "Two");
    EXPECT_EQ(c->selectedChild(), c->viewControllers()[1]);
    EXPECT_EQ(c->seg()->selectedSegmentIndex(), 1);
    EXPECT_EQ(c->navigationItem()->titleView(), c->seg());
    auto child = std::dynamic_pointer_cast<MyViewController>(c->viewControllers()[0]);
    ASSERT_TRUE(child);
    EXPECT_EQ(child->mySegmentedController().get(), static_cast<SegmentedContainer*>(c.get()));

    auto fixedNormal = Global::shared()->font()->textFixedNormal();
    EXPECT_EQ(c->seg()->titleTextAttributesForState(UIControlStateNormal).get(NSFontAttributeName).objectAs<UIFont>(),
              fixedNormal)
        << "segment titles take the catalogue's fixed normal font";

    // A child's title becomes its segment's text and the bar's title.
    setNavTitle(c->viewControllers()[0], "First");
    EXPECT_EQ(c->seg()->titleForSegmentAtIndex(0), "First");
    EXPECT_EQ(c->navigationItem()->title(), "First");
}

TEST_F(ContainersTest, OutOfRangeIndicesOnlyBecomeTheDefault) {
    auto c = segmented(2);
    show(c);
    EXPECT_EQ(c->selectedChild(), nullptr);
    EXPECT_EQ(c->defaultIndex(), 2);
    EXPECT_TRUE(c->childViewControllers().empty());
    c->setSelectedIndex(-1);
    EXPECT_EQ(c->selectedChild(), nullptr);
    c->setSelectedIndex(0);
    c->setSelectedIndex(0);
    EXPECT_EQ(c->childViewControllers().size(), 1u);
    c->setSelectedIndex(1);
    EXPECT_EQ(c->childViewControllers(), std::vector<std::shared_ptr<UIViewController>>{c->viewControllers()[1]});
}

struct Listening : PlaceholderController, MySegControllerChild {
    std::vector<std::string> events;
    void onMySegControllerSelectedThisItem(const std::shared_ptr<UIViewController>&) override {
        events.push_back("selected");
    }
    void onMySegControllerUnselectedThisItem(const std::shared_ptr<UIViewController>&) override {
        events.push_back("unselected");
    }
};

TEST_F(ContainersTest, HandedInChildrenAreShownOneAtATime) {
    auto c = show(MySegController::make());
    auto a = make<Listening>();
    auto b = make<Listening>();
    c->update(Value::array({Value::dictionary({{"vc", Value(a)}, {"title", Value("A")}}),
                            Value::dictionary({{"vc", Value(b)}, {"title", Value("B")}})}));
    EXPECT_EQ(c->seg()->numberOfSegments(), 2u);
    EXPECT_EQ(c->seg()->titleTextAttributesForState(UIControlStateNormal).get(NSFontAttributeName).objectAs<UIFont>(),
              Global::shared()->font()->textFixedNormal());
    c->selectSeg(0);
    c->selectSeg(0);  // selected again: told again, added once
    EXPECT_EQ(a->events, (std::vector<std::string>{"selected", "selected"}));
    EXPECT_EQ(c->childViewControllers().size(), 1u);
    c->selectSeg(5);
    c->selectSeg(-1);
    EXPECT_EQ(c->selectedChild(), a);
    c->selectSeg(1);
    EXPECT_EQ(a->events.back(), "unselected");
    EXPECT_EQ(c->childViewControllers(), std::vector<std::shared_ptr<UIViewController>>{b});

    c->update(Value::array());
    EXPECT_EQ(c->seg()->numberOfSegments(), 0u);
    EXPECT_TRUE(c->childViewControllers().empty());
    EXPECT_EQ(c->selectedChild(), nullptr);
}

struct TabChild : PlaceholderController, MyTabBarControllerChild {
    std::vector<std::string> events;
    void onMyTabBarControllerSelectedThisItem(const std::shared_ptr<UIViewController>&) override {
        events.push_back("selected");
    }
    void onMyTabBarControllerUnselectedThisItem(const std::shared_ptr<UIViewController>&) override {
        events.push_back("unselected");
    }
    UIInterfaceOrientationMask supportedInterfaceOrientations() const override {
        return UIInterfaceOrientationMaskPortrait;
    }
};

TEST_F(ContainersTest, TheTabBarTellsItsChildrenWhichItemWasTapped) {
    auto tabs = show(MyTabBarController::make());
    auto a = make<TabChild>();
    auto b = make<TabChild>();
    tabs->setViewControllers({a, b});
    settle();
    EXPECT_FALSE(tabs->automaticallyAdjustsScrollViewInsets());
    tabs->didSelectItem(*tabs->tabBar(), b->tabBarItem());
    EXPECT_EQ(a->events, std::vector<std::string>{"unselected"});
    EXPECT_EQ(b->events, std::vector<std::string>{"selected"});
    EXPECT_EQ(tabs->supportedInterfaceOrientations(), UIInterfaceOrientationMaskPortrait);
}

TEST_F(ContainersTest, AButtonsBadgeInTheTabBarGoesOnTheTabBarControllersView) {
    auto tabs = show(MyTabBarController::make());
    tabs->setViewControllers({make<TabChild>()});
    settle();
    auto button = AnimButton::make(CGRectMake(10, 2, 40, 40));
    tabs->tabBar()->addSubview(button);
    button->setBadgeValue("7");
    settle();
    auto badge = button->lblBadge();
    ASSERT_TRUE(badge);
    EXPECT_EQ(badge->superview(), tabs->view()) << "the bar would cut the badge off";
    // Its corner stands on the button's centre, wherever the bar is.
    CGRect inHost = badge->frame();
    CGPoint centre = button->convertPointToView({20, 20}, tabs->view());
    EXPECT_NEAR(inHost.origin.x, centre.x, 0.5);
    EXPECT_NEAR(CGRectGetMaxY(inHost), centre.y, 0.5);

    // Elsewhere the button's own superview holds it.
    auto plain = show(PlaceholderController::make());
    auto other = AnimButton::make(CGRectMake(10, 10, 40, 40));
    auto bar = UIView::make(CGRectMake(0, 100, 200, 50));
    plain->view()->addSubview(bar);
    bar->addSubview(other);
    other->setBadgeValue("1");
    EXPECT_EQ(other->lblBadge()->superview(), bar);
}

// A tab child that records what the container tells it.
struct CustomTabChild : MyViewController, MyTabBarCustomControllerChild {
    KORVA_MAKE(CustomTabChild)
    std::vector<std::string> events;
    void onMyTabBarCustomControllerSelectedThisItem(const std::shared_ptr<UIViewController>&) override {
        events.push_back("selected");
    }
    void onMyTabBarCustomControllerUnselectedThisItem(const std::shared_ptr<UIViewController>&) override {
        events.push_back("unselected");
    }

protected:
    CustomTabChild() = default;
};

TEST_F(ContainersTest, TheCustomTabBarShowsOneChildAndLightsItsButton) {
    auto tabs = MyTabBarCustomController::make();
    tabs->setStoryboard(UIStoryboard::mainStoryboard());
    auto nav = show(UINavigationController::withRoot(tabs));
    auto screen = CustomTabChild::make();
    auto plain = UIViewController::make();
    EXPECT_EQ(tabs->addWithVC(screen, nullptr, nullptr, "Camera"), screen);
    EXPECT_EQ(tabs->addWithIdentifier("Nowhere", nullptr, nullptr, "Lost"), nullptr);
    EXPECT_EQ(tabs->addWithVC(plain, nullptr, nullptr, "Plain"), plain);
    ASSERT_EQ(tabs->tabButtons().size(), 2u);
    EXPECT_EQ(*tabs->tabButton(1)->text()->titleForState(UIControlStateNormal), "Plain");
    EXPECT_EQ(tabs->tabButton(2), nullptr);
    EXPECT_EQ(screen->myTabBarCustomController(), tabs);

    tabs->selectTab(1);
    tabs->selectTab(1);
    tabs->selectTab(7);
    tabs->selectTab(-1);
    EXPECT_EQ(tabs->selectedChild(), plain);
    EXPECT_EQ(plain->view()->superview(), tabs->container());
    EXPECT_EQ(tabs->childViewControllers().size(), 1u) << "selected twice, added once";
    EXPECT_TRUE(tabs->tabButton(1)->image()->on());
    EXPECT_FALSE(tabs->tabButton(0)->image()->on());
    EXPECT_EQ(screen->events, (std::vector<std::string>{"unselected", "unselected"}));

    // A tap on the first button; the screen's items go onto the container's navigation item.
    tabs->onTabBarButtonTap(*tabs->tabButton(0));
    EXPECT_EQ(tabs->selectedChild(), screen);
    EXPECT_EQ(plain->parentViewController(), nullptr);
    EXPECT_EQ(screen->events.back(), "selected");
    EXPECT_TRUE(tabs->tabButton(0)->image()->on());
    EXPECT_FALSE(tabs->tabButton(1)->image()->on());
    auto item = UIBarButtonItem::withTitle("Save", UIBarButtonItemStyle::Plain, nullptr);
    screen->setNavRight({item});
    ASSERT_EQ(tabs->navigationItem()->rightBarButtonItems().size(), 1u);
    EXPECT_EQ(tabs->navigationItem()->rightBarButtonItems()[0], item);

    // The bar runs along the bottom with equal buttons; the children fill the rest.
    settle();
    const CGRect own = tabs->view()->bounds();
    EXPECT_EQ(tabs->tabbar()->frame(), CGRectMake(-1, own.size.height + 1 - 46, own.size.width + 2, 46));
    EXPECT_EQ(tabs->tabButton(1)->frame(), CGRectMake((own.size.width + 2) / 2, 0, (own.size.width + 2) / 2, 46));
    EXPECT_EQ(tabs->container()->frame(), CGRectMake(0, 0, own.size.width, own.size.height - 45));
    EXPECT_EQ(nav->topViewController(), tabs);
}

}  // namespace
