// The split view, a controller's own appearance, bar item text attributes and on-screen views,
// popover anchors (bar items, sheets on a tablet), the shared edit menu, the refresh control,
// text positions in a text view and the settings address.
#include "platform/dispatch/notification_center.h"
#include "platform/ui/app/ui_application.h"
#include "platform/ui/bar/ui_navigation_bar.h"
#include "platform/ui/control/ui_refresh_control.h"
#include "platform/ui/control/ui_scroll_view.h"
#include "platform/ui/controller/ui_activity_view_controller.h"
#include "platform/ui/controller/ui_alert_controller.h"
#include "platform/ui/controller/ui_menu_controller.h"
#include "platform/ui/controller/ui_navigation_controller.h"
#include "platform/ui/controller/ui_popover_presentation_controller.h"
#include "platform/ui/controller/ui_split_view_controller.h"
#include "platform/ui/input/ui_text_view.h"
#include "tests/platform/ui/controller_test_support.h"

namespace {

using Additions = UIHarness;

TEST_F(Additions, SplitViewHostsTwoPanesThatFindIt) {
    auto split = UISplitViewController::make();
    auto primary = UIViewController::make(), secondary = UIViewController::make();
    auto inner = UIViewController::make();
    split->setViewControllers({primary, secondary});
    secondary->addChildViewController(inner);
    window->setRootViewController(split);
    settle();
    EXPECT_EQ(primary->splitViewController(), split);
    EXPECT_EQ(inner->splitViewController(), split) << "found through containers";
    EXPECT_EQ(split->splitViewController(), nullptr);
    EXPECT_EQ(UIViewController::make()->splitViewController(), nullptr);
    const CGFloat width = split->view()->bounds().size.width;
    EXPECT_EQ(primary->view()->frame(),
              CGRectMake(0, 0, std::min<CGFloat>(320, width / 2), split->view()->bounds().size.height));
    EXPECT_EQ(CGRectGetMaxX(secondary->view()->frame()), width);

    split->setViewControllers({secondary});
    EXPECT_EQ(primary->parentViewController(), nullptr);
    EXPECT_EQ(primary->viewIfLoaded()->superview(), nullptr);
}

TEST_F(Additions, OverriddenAppearanceResolvesDynamicColoursInside) {
    screen->setUserInterfaceStyle(UIUserInterfaceStyle::Dark);
    auto vc = UIViewController::make();
    auto child = UIViewController::make();
    vc->addChildViewController(child);
    window->setRootViewController(vc);
    vc->view()->addSubview(child->view());
    auto inside = UIView::make();
    child->view()->addSubview(inside);
    inside->setBackgroundColor(UIColor::systemBackgroundColor());
    auto outside = UIView::make();
    window->addSubview(outside);
    outside->setBackgroundColor(UIColor::systemBackgroundColor());
    const CGColor dark = *outside->layer()->backgroundColor();

    vc->setOverrideUserInterfaceStyle(UIUserInterfaceStyle::Light);
    const CGColor light = UIColor::systemBackgroundColor()->resolvedColorWithTraitCollection({})->cgColor();
    EXPECT_EQ(*inside->layer()->backgroundColor(), light);
    EXPECT_EQ(*outside->layer()->backgroundColor(), dark);
    EXPECT_EQ(inside->traitCollection().userInterfaceStyle, UIUserInterfaceStyle::Light);
    EXPECT_EQ(child->traitCollection().userInterfaceStyle, UIUserInterfaceStyle::Light);

    auto added = UIView::make();
    added->setBackgroundColor(UIColor::systemBackgroundColor());
    child->view()->addSubview(added);
    EXPECT_EQ(*added->layer()->backgroundColor(), light) << "a view added later resolves under the override";

    vc->setOverrideUserInterfaceStyle(UIUserInterfaceStyle::Unspecified);
    EXPECT_EQ(*inside->layer()->backgroundColor(), dark);
    EXPECT_EQ(child->traitCollection().userInterfaceStyle, UIUserInterfaceStyle::Dark);
}

TEST_F(Additions, BarItemsKeepStateAttributesAndTheirOnScreenView) {
    auto item = UIBarButtonItem::withTitle("Go", UIBarButtonItemStyle::Plain, nullptr);
    auto big = UIFont::systemFontOfSize(30);
    NSAttributes normal;
    normal.set(NSFontAttributeName, Value(big));
    item->setTitleTextAttributes(normal, 0);
    EXPECT_EQ(item->titleTextAttributesForState(4).get(NSFontAttributeName).objectAs<UIFont>(), big)
        << "a state without its own takes the normal state's";
    EXPECT_EQ(item->view(), nullptr);

    auto vc = UIViewController::make();
    auto nav = UINavigationController::withRoot(vc);
    window->setRootViewController(nav);
    vc->navigationItem()->setRightBarButtonItems({item});
    settle();
    auto onScreen = item->view();
    ASSERT_NE(onScreen, nullptr);
    auto plain = UIBarButtonItem::withTitle("Go", UIBarButtonItemStyle::Plain, nullptr);
    vc->navigationItem()->setLeftBarButtonItems({plain});
    settle();
    EXPECT_GT(item->view()->frame().size.width, plain->view()->frame().size.width) << "the larger font is measured";

    auto popover = UIPopoverPresentationController::make();
    popover->setBarButtonItem(item);
    CGRect frame = popover->frameInWindow(window->bounds(), CGSize{100, 100});
    const CGRect anchor = item->view()->convertRectToView(item->view()->bounds(), nullptr);
    EXPECT_GE(frame.origin.y, CGRectGetMaxY(anchor)) << "the popover points at the item below it";

    window->setRootViewController(nullptr);
    settle();
    EXPECT_EQ(item->view(), nullptr) << "off screen";
}

struct TabletAdditions : UIHarness {
    const char* deviceName() const override { return "tablet"; }
};

TEST_F(TabletAdditions, SheetsAndShareSheetsArePopoversOnATablet) {
    auto sheet = UIAlertController::make("", "m", UIAlertControllerStyle::ActionSheet);
    auto alert = UIAlertController::make("", "m", UIAlertControllerStyle::Alert);
    EXPECT_NE(sheet->popoverPresentationController(), nullptr);
    EXPECT_EQ(alert->popoverPresentationController(), nullptr);
    EXPECT_NE(UIActivityViewController::make()->popoverPresentationController(), nullptr);
}

TEST_F(Additions, SheetsAreNoPopoversOnAPhone) {
    auto sheet = UIAlertController::make("", "m", UIAlertControllerStyle::ActionSheet);
    EXPECT_EQ(sheet->popoverPresentationController(), nullptr);
}

TEST_F(Additions, MenuControllerAnchorsOnlyWhileVisible) {
    auto menu = UIMenuController::sharedMenuController();
    EXPECT_EQ(menu, UIMenuController::sharedMenuController());
    auto view = UIView::make(CGRectMake(10, 20, 100, 100));
    window->addSubview(view);
    menu->setTargetRect(CGRectMake(5, 5, 10, 10), view);
    menu->setMenuVisible(false);
    EXPECT_EQ(menu->menuFrame(), CGRectZero);
    menu->setMenuVisible(true);
    EXPECT_EQ(menu->menuFrame(), CGRectMake(15, 25, 10, 10));
    menu->setMenuVisible(false);
}

TEST_F(Additions, RefreshControlSitsAboveTheContentAndReportsValueChanges) {
    auto scroll = UIScrollView::make(CGRectMake(0, 0, 200, 300));
    auto control = UIRefreshControl::make();
    int changes = 0;
    control->addAction([&](UIControl&) { ++changes; }, UIControlEventValueChanged);
    scroll->setRefreshControl(control);
    EXPECT_EQ(control->superview(), scroll);
    EXPECT_EQ(control->frame(), CGRectMake(0, -60, 200, 60));
    EXPECT_FALSE(control->isRefreshing());
    control->beginRefreshing();
    EXPECT_TRUE(control->isRefreshing());
    EXPECT_EQ(changes, 0) << "beginning sends nothing";
    control->sendActionsForControlEvents(UIControlEventValueChanged);
    EXPECT_EQ(changes, 1);
    control->endRefreshing();
    EXPECT_FALSE(control->isRefreshing());
    scroll->setRefreshControl(nullptr);
    EXPECT_EQ(control->superview(), nullptr);
}

TEST_F(Additions, TextViewPositionsAndWords) {
    auto text = UITextView::make(CGRectMake(0, 0, 300, 200));
    text->setText("hello brave world");
    window->addSubview(text);
    settle();
    auto start = text->closestPositionToPoint(CGPoint{0, 0});
    EXPECT_EQ(text->offsetFromPosition(text->beginningOfDocument(), start), 0);
    auto end = text->closestPositionToPoint(CGPoint{10, 190});
    EXPECT_EQ(end, text->endOfDocument()) << "below the text: the end";
    auto inWord = text->closestPositionToPoint(CGPoint{60, 15});
    EXPECT_GT(inWord.offset, 5u);
    EXPECT_LT(inWord.offset, 12u);

    auto word = text->rangeEnclosingPosition({8}, UITextGranularity::Word, UITextStorageDirection::Backward);
    ASSERT_TRUE(word);
    EXPECT_EQ(text->textInRange(*word), "brave");
    // At the end of a word, looking backward takes that word; looking forward the next.
    word = text->rangeEnclosingPosition({5}, UITextGranularity::Word, UITextStorageDirection::Backward);
    EXPECT_EQ(text->textInRange(*word), "hello");
    word = text->rangeEnclosingPosition({6}, UITextGranularity::Word, UITextStorageDirection::Forward);
    EXPECT_EQ(text->textInRange(*word), "brave");
    text->setText("   ");
    EXPECT_FALSE(text->rangeEnclosingPosition({1}, UITextGranularity::Word, UITextStorageDirection::Backward));
}

TEST_F(Additions, TheScreenPostsTextSizeChangesUnderTheirName) {
    int posted = 0;
    auto token =
        NSNotificationCenter::defaultCenter()->addObserver(UIContentSizeCategoryDidChangeNotification, nullptr, nullptr,
                                                           [&](const std::shared_ptr<NSNotification>&) { ++posted; });
    screen->setPreferredContentSizeCategory(UIContentSizeCategoryExtraLarge);
    RunLoop::main().runUntilIdle();
    NSNotificationCenter::defaultCenter()->removeObserver(token);
    EXPECT_EQ(posted, 1);
}

TEST_F(Additions, TheSettingsAddressCannotBeOpenedHere) {
    auto app = UIApplication::sharedApplication();
    app->setURLOpener([](const std::string&) { return true; });
    EXPECT_TRUE(app->canOpenURL("https://example.org"));
    EXPECT_FALSE(app->canOpenURL(UIApplicationOpenSettingsURLString));
    bool opened = true;
    app->openURL(UIApplicationOpenSettingsURLString, {}, [&](bool ok) { opened = ok; });
    EXPECT_FALSE(opened);
}

}  // namespace
