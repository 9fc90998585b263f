// The title bar's buttons (measure, insets, slides, taps), the titled pop-up, and the pop-up that
// hosts a child controller.
#include <gtest/gtest.h>

#include "tests/ui/popup/popup_test_support.h"
#include "ui/controller/view_controller_navigation.h"
#include "ui/layout/view_custom_constraints.h"
#include "ui/popup/pop_title_base.h"
#include "ui/popup/pop_vc_retained_view.h"
#include "ui/popup/pop_vc_view.h"
#include "ui/theme/font.h"
#include "widgets/button/icon_button.h"
#include "widgets/scroll/scroll_label.h"

namespace {

struct Titled : PopTitleBase {
    KORVA_MAKE(Titled)
    explicit Titled(std::shared_ptr<UIViewController> vc) : PopTitleBase(std::move(vc)) {}
    int right = 0, left = 0;
    void onRightButton(IconButton&) override { ++right; }
    void onLeftButton(IconButton&) override { ++left; }
};
struct Hosting : PopVCView {
    KORVA_MAKE(Hosting)
    explicit Hosting(std::shared_ptr<UIViewController> vc) : PopVCView(std::move(vc)) {}
    void init() override {
        PopVCView::init();
        container()->addSubview(body());
        addConstraintsFull(body(), container(), 0, 0, 0, 0);
    }
};
struct Rotating : UIViewController {
    KORVA_MAKE(Rotating)
    std::vector<UIInterfaceOrientation> told;
    void didRotateFromInterfaceOrientation(UIInterfaceOrientation o) override { told.push_back(o); }
};

struct TitleBar : PopupTest {
    std::shared_ptr<TitleView> bar;
    void SetUp() override {
        PopupTest::SetUp();
        bar = TitleView::make(global()->font()->filterMenuNormal());
        bar->setFrame({{0, 0}, {320, 45}});
        root()->addSubview(bar);
    }
    CGRect title() {
        bar->layoutIfNeeded();
        return bar->lblTitle()->frame();
    }
};

TEST_F(TitleBar, ButtonsMoveTheTitleInsetsUnlessItsPositionIsHeld) {
    EXPECT_EQ(title(), (CGRect{{5, 5}, {310, 35}}));
    bar->showRight("Reset", false);
    const CGFloat w = bar->lastWRight();
    EXPECT_GT(w, 10);
    EXPECT_EQ(title().origin.x + title().size.width, 320 - (w + 10));
    bar->layoutIfNeeded();
    EXPECT_EQ(bar->btnRight()->frame(), (CGRect{{320 - 5 - w, 5}, {w, 35}}));

    bar->showRight("A much longer title", false);
    EXPECT_EQ(bar->lastWRight(), w) << "a shown button keeps its title and width";
    EXPECT_EQ(bar->btnRight()->titleForState(UIControlStateNormal), "Reset");

    bar->setHoldTitlePosition(true);
    bar->showLeft("Back", false);
    EXPECT_EQ(title(), (CGRect{{5, 5}, {310, 35}}));
    bar->setHoldTitlePosition(false);
    EXPECT_EQ(title().origin.x, bar->lastWLeft() + 10);

    bar->hideRight(true);
    EXPECT_TRUE(bar->btnRight()->isHidden());
    EXPECT_EQ(bar->btnRight()->superview(), nullptr) << "leaves the bar at once";
    EXPECT_EQ(title().origin.x + title().size.width, 315);
}

TEST_F(TitleBar, ButtonsAreAtMost310Wide) {
    bar->showLeft(std::string(200, 'W'), false);
    EXPECT_LE(bar->lastWLeft(), 310);
    EXPECT_GT(bar->lastWLeft(), 250);
}

TEST_F(TitleBar, AnAnimatedShowSlidesInOverHalfASecond) {
    bar->showLeft("Back", true);
    EXPECT_TRUE(bar->btnLeft()->isHidden());
    bar->layoutIfNeeded();
    const CGFloat w = bar->btnLeft()->frame().size.width;
    advance(0.03);
    EXPECT_FALSE(bar->btnLeft()->isHidden());
    EXPECT_NEAR(bar->btnLeft()->alpha(), 0.06, 1e-3);
    EXPECT_NEAR(bar->btnLeft()->transform().tx, -2 * w * 0.94, 1e-3);
    advance(0.5);
    EXPECT_EQ(bar->btnLeft()->alpha(), 1);
    EXPECT_TRUE(CGAffineTransformIsIdentity(bar->btnLeft()->transform()));
    EXPECT_FALSE(bar->sliding(false));
}

TEST_F(TitleBar, TapsReachTheTitledPopupOnce) {
    auto pop = Titled::make(screenVC);
    pop->setSize({300, 200});
    pop->showRight("Reset", false);
    pop->show(std::shared_ptr<NSObject>{}, std::string("Exposure"), nullptr);
    advance(0.5);
    EXPECT_EQ(pop->titleView()->lblTitle()->text(), "Exposure");
    const CGRect b = pop->titleView()->btnRight()->convertRectToView(pop->titleView()->btnRight()->bounds(), nullptr);
    tap({CGRectGetMidX(b), CGRectGetMidY(b)});
    EXPECT_EQ(pop->right, 1);
    EXPECT_EQ(pop->left, 0);

    // A titled show drops an earlier caller's onDidHide.
    pop->PopArrowedView::show(std::shared_ptr<NSObject>{}, nullptr, note("didHide"));
    pop->show(std::shared_ptr<NSObject>{}, std::string("Focus"), nullptr);
    advance(0.5);
    pop->hide(nullptr);
    advance(0.5);
    EXPECT_TRUE(log.empty());

    pop->titleView()->setDelegate(nullptr);
    pop->titleView()->btnRight()->sendActionsForControlEvents(UIControlEventTouchUpInside);
    EXPECT_EQ(pop->right, 1);
}

TEST_F(TitleBar, AHostedChildMovesInAndStaysThroughAShowDuringTheHide) {
    auto pop = Hosting::make(screenVC);
    pop->setSize({200, 200});
    auto elsewhere = UIViewController::make();
    auto child = Rotating::make();
    addChild(elsewhere, child, elsewhere->view());

    pop->show(std::shared_ptr<NSObject>{}, child, nullptr, nullptr);
    EXPECT_EQ(child->parentViewController(), screenVC);
    EXPECT_EQ(child->view()->superview(), pop->body());
    advance(0.5);

    pop->hide(note("hidden"));
    advance(0.1);
    EXPECT_EQ(child->parentViewController(), screenVC) << "attached while it shrinks";
    pop->show(std::shared_ptr<NSObject>{}, child, nullptr, nullptr);
    advance(1);
    EXPECT_EQ(log, (std::vector<std::string>{"hidden"}));
    EXPECT_EQ(child->view()->superview(), pop->body()) << "the interrupted hide leaves the new show's child";
    EXPECT_FALSE(pop->hidden());

    screen->setOrientation(UIInterfaceOrientation::LandscapeLeft);
    settle();
    child->told.clear();  // the platform's own notice to the children
    pop->scheduledLayout();
    advance(1);
    EXPECT_EQ(child->told, (std::vector<UIInterfaceOrientation>{UIInterfaceOrientation::LandscapeLeft}))
        << "the relayout hands the owner's orientation on";

    pop->hide(nullptr);
    advance(0.5);
    EXPECT_EQ(child->parentViewController(), nullptr);
    EXPECT_EQ(pop->child(), nullptr);
}

TEST_F(TitleBar, ARetainedChildStaysThroughShowsAndHidesUntilThePopupGoes) {
    auto child = Rotating::make();
    auto pop = PopVCRetainedView::make(screenVC, std::static_pointer_cast<UIViewController>(child));
    EXPECT_EQ(child->parentViewController(), screenVC);
    pop->setSize({200, 200});
    pop->show(std::shared_ptr<NSObject>{}, nullptr, nullptr);
    advance(0.5);
    pop->hide(nullptr);
    advance(0.5);
    EXPECT_EQ(child->parentViewController(), screenVC);
    pop.reset();
    EXPECT_EQ(child->parentViewController(), nullptr);
}

}  // namespace
