// Controller life cycle beyond presentation: status bar and traits through containers, sheets on
// a tablet, children whose views come and go, a navigation delegate's animator, and real taps
// through touch delivery on bars, rows and keys.
#include "controller_test_support.h"
#include "platform/dispatch/notification_center.h"
#include "platform/ui/controller/ui_navigation_controller.h"
#include "platform/ui/controller/ui_tab_bar_controller.h"
#include "platform/ui/input/ui_text_field.h"
#include "platform/ui/table/ui_table_view.h"

namespace {

using Log = std::vector<std::string>;

struct Styled : UIViewController {
    bool hidden = false;
    UIStatusBarStyle style = UIStatusBarStyle::LightContent;
    std::vector<UIUserInterfaceStyle> traitChanges;
    std::vector<CGSize> sizes;
    bool prefersStatusBarHidden() const override { return hidden; }
    UIStatusBarStyle preferredStatusBarStyle() const override { return style; }
    void traitCollectionDidChange(const UITraitCollection&) override {
        traitChanges.push_back(traitCollection().userInterfaceStyle);
    }
    void viewWillTransitionToSize(CGSize s) override { sizes.push_back(s); }
};

struct LifecycleTest : UIHarness {
    Log log;  // outlives the controllers torn down with the window
};

TEST_F(LifecycleTest, StatusBarAndTraitsFollowTheShownChildAndTheFullScreenPresentation) {
    auto inner = ::make<Styled>();
    auto nav = UINavigationController::withRoot(inner);
    auto tabs = UITabBarController::make();
    tabs->setViewControllers({nav});
    window->setRootViewController(tabs);
    EXPECT_EQ(tabs->effectiveStatusBarStyle(), UIStatusBarStyle::LightContent);
    inner->hidden = true;
    inner->setNeedsStatusBarAppearanceUpdate();
    EXPECT_EQ(inner->statusBarUpdateCount(), 1);
    EXPECT_TRUE(tabs->effectiveStatusBarHidden());

    auto modal = ::make<Styled>();
    modal->style = UIStatusBarStyle::DarkContent;
    ASSERT_TRUE(inner->presentViewController(modal, false));
    EXPECT_EQ(inner->effectiveStatusBarStyle(), UIStatusBarStyle::DarkContent);

    UITraitCollection dark;
    dark.userInterfaceStyle = UIUserInterfaceStyle::Dark;
    tabs->setTraitCollection(dark);
    EXPECT_EQ(inner->traitChanges, (std::vector<UIUserInterfaceStyle>{UIUserInterfaceStyle::Dark}));
    EXPECT_EQ(modal->traitChanges, (std::vector<UIUserInterfaceStyle>{UIUserInterfaceStyle::Dark}));
    tabs->transitionToSize(CGSize{667, 375});
    EXPECT_EQ(inner->sizes.size(), 1u);
    EXPECT_EQ(modal->sizes.size(), 1u);
}

TEST_F(LifecycleTest, AppearanceBegunTwiceIsToldOnceAndEndsOnce) {
    auto controller = RecordingController::make("c", &log);
    controller->beginAppearanceTransition(true, false);
    controller->beginAppearanceTransition(true, true);  // already appearing: nothing new
    EXPECT_EQ(log, (Log{"c load", "c willAppear"}));
    controller->endAppearanceTransition();
    controller->beginAppearanceTransition(true, false);  // already on screen
    controller->endAppearanceTransition();
    EXPECT_EQ(log, (Log{"c load", "c willAppear", "c didAppear"}));
    controller->beginAppearanceTransition(false, false);
    controller->beginAppearanceTransition(false, false);
    controller->endAppearanceTransition();
    EXPECT_EQ(log, (Log{"c load", "c willAppear", "c didAppear", "c willDisappear", "c didDisappear"}));
}

struct Turning : UIViewController {
    std::vector<CGSize> sizes;
    std::vector<UIInterfaceOrientation> rotations;
    std::vector<UIUserInterfaceStyle> styles;
    void viewWillTransitionToSize(CGSize s) override { sizes.push_back(s); }
    void didRotateFromInterfaceOrientation(UIInterfaceOrientation from) override { rotations.push_back(from); }
    void traitCollectionDidChange(const UITraitCollection&) override {
        styles.push_back(traitCollection().userInterfaceStyle);
    }
};

TEST_F(LifecycleTest, TheScreenTurningAndChangingAppearanceReachesControllers) {
    auto child = ::make<Turning>();
    auto nav = UINavigationController::withRoot(child);
    window->setRootViewController(nav);
    settle();
    screen->setOrientation(UIInterfaceOrientation::LandscapeLeft);
    window->screenDidChange();
    EXPECT_EQ(child->sizes, (std::vector<CGSize>{{667, 375}}));
    EXPECT_EQ(child->rotations, (std::vector<UIInterfaceOrientation>{UIInterfaceOrientation::Portrait}));
    screen->setUserInterfaceStyle(UIUserInterfaceStyle::Dark);
    EXPECT_EQ(child->styles, (std::vector<UIUserInterfaceStyle>{UIUserInterfaceStyle::Dark}));
    screen->setUserInterfaceStyle(UIUserInterfaceStyle::Light);
    UITraitCollection::setCurrentTraitCollection({});
}

struct TabletTest : UIHarness {
    Log log;
    const char* deviceName() const override { return "tablet"; }
};

TEST_F(TabletTest, FormSheetIsCentredAndLeavesThePresenterOnScreen) {
    auto root = RecordingController::make("root", &log);
    window->setRootViewController(root);
    auto sheet = RecordingController::make("sheet", &log);
    sheet->setModalPresentationStyle(UIModalPresentationStyle::FormSheet);
    log.clear();
    ASSERT_TRUE(root->presentViewController(sheet, false));
    EXPECT_EQ(log, (Log{"sheet load", "sheet willAppear", "sheet didAppear"}));
    CGRect f = sheet->view()->frame();
    EXPECT_EQ(f.size, (CGSize{540, 620}));
    EXPECT_EQ(CGRectGetMidX(f), CGRectGetMidX(window->bounds()));
    // Automatic becomes a page sheet, which on a tablet also keeps the presenter.
    ASSERT_TRUE(root->dismissViewControllerAnimated(false));
    auto page = RecordingController::make("page", &log);
    page->setModalPresentationStyle(UIModalPresentationStyle::Automatic);
    ASSERT_TRUE(root->presentViewController(page, false));
    EXPECT_EQ(root->appearanceState(), UIAppearanceState::Appeared);
    EXPECT_LT(page->view()->frame().size.width, window->bounds().size.width);
}

TEST_F(LifecycleTest, AChildWhoseViewLeavesTheWindowDisappears) {
    auto parent = RecordingController::make("parent", &log);
    window->setRootViewController(parent);
    auto child = RecordingController::make("child", &log);
    parent->addChildViewController(child);
    parent->view()->addSubview(child->view());
    log.clear();
    child->view()->removeFromSuperview();
    EXPECT_EQ(log, (Log{"child willDisappear", "child didDisappear"}));
    // A child's view added while the parent is off screen waits for the parent.
    parent->disappear(false);
    log.clear();
    parent->view()->addSubview(child->view());
    EXPECT_TRUE(log.empty());
    parent->appear(false);
    EXPECT_EQ(log, (Log{"parent willAppear", "child willAppear", "parent didAppear", "child didAppear"}));
}

struct InstantPush : UIViewControllerAnimatedTransitioning {
    int runs = 0;
    double transitionDuration(UIViewControllerContextTransitioning&) override { return 0; }
    void animateTransition(const std::shared_ptr<UIViewControllerContextTransitioning>& ctx) override {
        ++runs;
        ctx->completeTransition(true);
    }
};
struct NavWatcher : UINavigationControllerDelegate {
    Log log;
    std::shared_ptr<InstantPush> animator = std::make_shared<InstantPush>();
    void willShowViewController(UINavigationController&, const std::shared_ptr<UIViewController>& c, bool) override {
        log.push_back("willShow " + c->title());
    }
    void didShowViewController(UINavigationController&, const std::shared_ptr<UIViewController>& c, bool) override {
        log.push_back("didShow " + c->title());
    }
    std::shared_ptr<UIViewControllerAnimatedTransitioning> animationControllerForOperation(
        UINavigationController&, UINavigationControllerOperation op, const std::shared_ptr<UIViewController>&,
        const std::shared_ptr<UIViewController>&) override {
        return op == UINavigationControllerOperation::Push ? animator : nullptr;
    }
};

TEST_F(LifecycleTest, NavigationDelegateHearsEachShowAndMaySupplyTheAnimation) {
    auto a = UIViewController::make(), b = UIViewController::make();
    a->setTitle("a");
    b->setTitle("b");
    auto nav = UINavigationController::withRoot(a);
    auto watcher = std::make_shared<NavWatcher>();
    nav->setDelegate(watcher);
    window->setRootViewController(nav);
    ASSERT_TRUE(nav->pushViewController(b, true));
    EXPECT_EQ(watcher->animator->runs, 1);
    EXPECT_FALSE(nav->isTransitioning());
    EXPECT_EQ(b->appearanceState(), UIAppearanceState::Appeared);
    nav->popViewControllerAnimated(true);
    advance(0.5);
    EXPECT_EQ(watcher->log, (Log{"willShow b", "didShow b", "willShow a", "didShow a"}));
}

struct Picks : UITableViewDataSource, UITableViewDelegate {
    std::vector<NSIndexPath> selected;
    int highlights = 0;
    std::size_t numberOfRowsInSection(UITableView&, std::size_t) override { return 5; }
    std::shared_ptr<UITableViewCell> cellForRowAtIndexPath(UITableView& t, NSIndexPath p) override {
        return t.dequeueReusableCellWithIdentifier("c", p);
    }
    void didHighlightRowAtIndexPath(UITableView&, NSIndexPath) override { ++highlights; }
    void didSelectRowAtIndexPath(UITableView&, NSIndexPath p) override { selected.push_back(p); }
};

TEST_F(LifecycleTest, RealTapsReachBarItemsRowsAndKeys) {
    auto root = UIViewController::make();
    int done = 0;
    root->navigationItem()->setRightBarButtonItem(
        UIBarButtonItem::withSystemItem(UIBarButtonSystemItem::Done, [&](UIBarButtonItem&) { ++done; }));
    auto nav = UINavigationController::withRoot(root);
    window->setRootViewController(nav);
    settle();
    auto item = nav->navigationBar()->itemViews().back();
    tap(item->convertPointToView(CGPointMake(10, 20), nullptr));
    EXPECT_EQ(done, 1);

    auto table = UITableView::make(CGRectMake(0, 100, 375, 300));
    auto picks = std::make_shared<Picks>();
    table->setDataSource(picks);
    table->setDelegate(picks);
    root->view()->addSubview(table);
    settle();
    CGRect row = table->rectForRowAtIndexPath({0, 2});
    tap(table->convertPointToView(CGPointMake(100, CGRectGetMidY(row)), nullptr));
    EXPECT_EQ(picks->selected, (std::vector<NSIndexPath>{{0, 2}}));
    EXPECT_EQ(picks->highlights, 1);

    auto field = UITextField::make(CGRectMake(20, 420, 200, 30));
    root->view()->addSubview(field);
    settle();
    tap(field->convertPointToView(CGPointMake(50, 15), nullptr));
    ASSERT_TRUE(field->isFirstResponder());
    advance(0.3);
    auto keys = UIKeyboard::shared().hostView()->subviews().back();
    auto keyboardPoint = [&](CGFloat x, CGFloat y) { return keys->convertPointToView(CGPointMake(x, y), nullptr); };
    CGRect kb = keys->bounds();
    // "q" is the first key of the top row.
    tap(keyboardPoint(kb.size.width / 20, kb.size.height / 8));
    EXPECT_EQ(field->text(), "q");
}

TEST_F(LifecycleTest, ChangingAccessoryViewsChangesTheKeyboardFrame) {
    auto a = UITextField::make(CGRectMake(20, 100, 200, 30)), b = UITextField::make(CGRectMake(20, 200, 200, 30));
    window->addSubview(a);
    window->addSubview(b);
    b->setInputAccessoryView(UIView::make(CGRectMake(0, 0, 375, 44)));
    std::vector<CGRect> ends;
    auto token = NSNotificationCenter::defaultCenter()->addObserver(
        UIKeyboardWillChangeFrameNotification, nullptr, nullptr,
        [&](const auto& n) { ends.push_back(keyboardFrame(n->userInfo(), UIKeyboardFrameEndUserInfoKey)); });
    ASSERT_TRUE(a->becomeFirstResponder());
    advance(0.3);
    ASSERT_TRUE(b->becomeFirstResponder());
    ASSERT_EQ(ends.size(), 2u);
    EXPECT_EQ(ends[1].size.height, ends[0].size.height + 44);
    EXPECT_EQ(CGRectGetMaxY(ends[1]), CGRectGetMaxY(window->bounds()));
    NSNotificationCenter::defaultCenter()->removeObserver(token);
}

}  // namespace
