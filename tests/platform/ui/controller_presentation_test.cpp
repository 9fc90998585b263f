// Modal presentation and dismissal: appearance order, completions, refusals, custom animators,
// popover placement, the window's root controller, and the covered screen hidden under a full one.
#include "controller_test_support.h"
#include "platform/ui/controller/ui_popover_presentation_controller.h"
#include "platform/ui/controller/ui_view_controller_transitioning.h"

namespace {

using Log = std::vector<std::string>;

struct PresentationTest : UIHarness {
    Log log;
    std::shared_ptr<RecordingController> root;
    void SetUp() override {
        UIHarness::SetUp();
        root = RecordingController::make("root", &log);
        window->setRootViewController(root);
        log.clear();
    }
    std::shared_ptr<RecordingController> controller(const std::string& name) {
        return RecordingController::make(name, &log);
    }
};

TEST_F(PresentationTest, RootControllerFillsTheWindowAndAppears) {
    auto other = controller("other");
    window->setRootViewController(other);
    EXPECT_EQ(log,
              (Log{"root willDisappear", "root didDisappear", "other load", "other willAppear", "other didAppear"}));
    EXPECT_EQ(other->view()->frame(), window->bounds());
    EXPECT_EQ(root->view()->superview(), nullptr);
}

TEST_F(PresentationTest, AnimatedPresentAndDismissRunInOrderWithCompletionsAfterTheAnimation) {
    auto a = controller("a");
    int presented = 0, dismissed = 0;
    ASSERT_TRUE(root->presentViewController(a, true, [&] {
        log.push_back("present done");
        ++presented;
    }));
    EXPECT_EQ(log, (Log{"a load", "root willDisappear", "a willAppear"}));
    EXPECT_TRUE(a->isBeingPresented());
    EXPECT_EQ(root->presentedViewController(), a);
    EXPECT_EQ(a->presentingViewController(), root);
    advance(0.2);
    EXPECT_EQ(presented, 0);
    advance(0.2);
    EXPECT_EQ(presented, 1);
    EXPECT_FALSE(a->isBeingPresented());
    EXPECT_EQ(a->view()->frame(), window->bounds());
    EXPECT_TRUE(a->view()->isDescendantOfView(window.get()));

    log.clear();
    // Asking the presented controller dismisses it through its presenter.
    ASSERT_TRUE(a->dismissViewControllerAnimated(true, [&] {
        log.push_back("dismiss done");
        ++dismissed;
    }));
    EXPECT_EQ(log, (Log{"a willDisappear", "root willAppear"}));
    advance(0.5);
    EXPECT_EQ(log, (Log{"a willDisappear", "root willAppear", "a didDisappear", "root didAppear", "dismiss done"}));
    EXPECT_EQ(dismissed, 1);
    EXPECT_EQ(root->presentedViewController(), nullptr);
    EXPECT_EQ(a->presentingViewController(), nullptr);
    EXPECT_EQ(a->view()->window(), nullptr);
}

TEST_F(PresentationTest, RefusedPresentationsChangeNothingAndSkipTheCompletion) {
    auto a = controller("a"), b = controller("b");
    bool ran = false;
    ASSERT_TRUE(root->presentViewController(a, true));
    // Already presenting (and mid-transition).
    EXPECT_FALSE(root->presentViewController(b, false, [&] { ran = true; }));
    // The same controller twice, and a controller presenting itself.
    EXPECT_FALSE(b->presentViewController(a, false, [&] { ran = true; }));
    EXPECT_FALSE(a->presentViewController(a, false, [&] { ran = true; }));
    // Dismissal while the presentation is still animating.
    EXPECT_FALSE(root->dismissViewControllerAnimated(false, [&] { ran = true; }));
    advance(1);
    EXPECT_FALSE(ran);
    EXPECT_EQ(root->presentedViewController(), a);
    EXPECT_EQ(b->presentingViewController(), nullptr);
    // A controller whose view is in no window cannot present.
    auto loose = controller("loose");
    EXPECT_FALSE(loose->presentViewController(controller("c"), false));
    // Nothing to dismiss.
    EXPECT_FALSE(loose->dismissViewControllerAnimated(false));
}

TEST_F(PresentationTest, DismissingAStackRemovesEverythingAboveAtOnceAndCompletesOnce) {
    auto a = controller("a"), b = controller("b");
    ASSERT_TRUE(root->presentViewController(a, false));
    ASSERT_TRUE(a->presentViewController(b, false));
    EXPECT_EQ(a->appearanceState(), UIAppearanceState::Disappeared);
    log.clear();
    int completions = 0;
    ASSERT_TRUE(root->dismissViewControllerAnimated(true, [&] { ++completions; }));
    EXPECT_EQ(b->presentingViewController(), nullptr);
    EXPECT_EQ(b->view()->window(), nullptr);
    advance(1);
    EXPECT_EQ(completions, 1);
    EXPECT_EQ(root->appearanceState(), UIAppearanceState::Appeared);
    EXPECT_EQ(root->presentedViewController(), nullptr);
    EXPECT_EQ(std::count(log.begin(), log.end(), "b didDisappear"), 1);
    EXPECT_EQ(std::count(log.begin(), log.end(), "root didAppear"), 1);
}

TEST_F(PresentationTest, UnanimatedPresentationCompletesAtOnceAndOverFullScreenKeepsThePresenter) {
    auto a = controller("a");
    a->setModalPresentationStyle(UIModalPresentationStyle::OverFullScreen);
    bool done = false;
    ASSERT_TRUE(root->presentViewController(a, false, [&] { done = true; }));
    EXPECT_TRUE(done);
    EXPECT_EQ(log, (Log{"a load", "a willAppear", "a didAppear"}));
    EXPECT_EQ(root->appearanceState(), UIAppearanceState::Appeared);
}

// An animator that takes its time and may cancel.
struct SlowAnimator : UIViewControllerAnimatedTransitioning {
    bool cancel = false;
    std::shared_ptr<UIView> sawContainer;
    std::vector<bool> ended;
    double transitionDuration(UIViewControllerContextTransitioning&) override { return 1.0; }
    void animateTransition(const std::shared_ptr<UIViewControllerContextTransitioning>& ctx) override {
        sawContainer = ctx->containerView();
        if (auto to = ctx->viewForKey(UITransitionContextKey::To);
            to && ctx->viewControllerForKey(UITransitionContextKey::To)->isBeingPresented())
            ctx->containerView()->addSubview(to);
        bool c = cancel;
        RunLoop::main().performAfterDelay(1.0, [ctx, c] { ctx->completeTransition(!c); });
    }
    void animationEnded(bool completed) override { ended.push_back(completed); }
};
struct Transitions : UIViewControllerTransitioningDelegate {
    std::shared_ptr<SlowAnimator> animator = std::make_shared<SlowAnimator>();
    std::shared_ptr<UIViewControllerAnimatedTransitioning> animationControllerForPresentedController(
        const std::shared_ptr<UIViewController>&, const std::shared_ptr<UIViewController>&,
        const std::shared_ptr<UIViewController>&) override {
        return animator;
    }
    std::shared_ptr<UIViewControllerAnimatedTransitioning> animationControllerForDismissedController(
        const std::shared_ptr<UIViewController>&) override {
        return animator;
    }
};

// Under a full-screen presentation the covered screen is hidden (neither laid out into pixels nor
// drawn), and it is in sight again for the dismissal; a screen the application hid stays hidden,
// and a sheet or a screen over the full screen leaves it in sight.
TEST_F(PresentationTest, AFullScreenPresentationHidesTheCoveredScreenUntilItsDismissal) {
    auto a = controller("a");
    ASSERT_TRUE(root->presentViewController(a, true));
    EXPECT_FALSE(root->view()->isHidden()) << "in sight while the presentation moves in";
    advance(1);
    EXPECT_TRUE(root->view()->isHidden());
    ASSERT_TRUE(root->dismissViewControllerAnimated(true));
    EXPECT_FALSE(root->view()->isHidden()) << "in sight while the presentation moves out";
    advance(1);
    EXPECT_FALSE(root->view()->isHidden());

    root->view()->setHidden(true);
    ASSERT_TRUE(root->presentViewController(controller("b"), false));
    ASSERT_TRUE(root->dismissViewControllerAnimated(false));
    EXPECT_TRUE(root->view()->isHidden()) << "hidden by the application, not by the presentation";
    root->view()->setHidden(false);

    auto over = controller("over");
    over->setModalPresentationStyle(UIModalPresentationStyle::OverFullScreen);
    ASSERT_TRUE(root->presentViewController(over, false));
    EXPECT_FALSE(root->view()->isHidden());
    ASSERT_TRUE(root->dismissViewControllerAnimated(false));
}

TEST_F(PresentationTest, CustomAnimatorDecidesWhenTheTransitionEnds) {
    auto delegate = std::make_shared<Transitions>();
    auto a = controller("a");
    a->setModalPresentationStyle(UIModalPresentationStyle::Custom);
    a->setTransitioningDelegate(delegate);
    bool done = false;
    ASSERT_TRUE(root->presentViewController(a, true, [&] { done = true; }));
    ASSERT_NE(delegate->animator->sawContainer, nullptr);
    EXPECT_TRUE(delegate->animator->sawContainer->isDescendantOfView(window.get()));
    advance(0.9);
    EXPECT_FALSE(done);
    advance(0.2);
    EXPECT_TRUE(done);
    EXPECT_EQ(delegate->animator->ended, (std::vector<bool>{true}));
    EXPECT_EQ(a->appearanceState(), UIAppearanceState::Appeared);
}

TEST_F(PresentationTest, CancelledCustomPresentationIsUndone) {
    auto delegate = std::make_shared<Transitions>();
    delegate->animator->cancel = true;
    auto a = controller("a");
    a->setTransitioningDelegate(delegate);
    bool done = false;
    ASSERT_TRUE(root->presentViewController(a, true, [&] { done = true; }));
    advance(1.5);
    EXPECT_FALSE(done);
    EXPECT_EQ(root->presentedViewController(), nullptr);
    EXPECT_EQ(a->presentingViewController(), nullptr);
    EXPECT_EQ(a->view()->window(), nullptr);
    EXPECT_EQ(root->appearanceState(), UIAppearanceState::Appeared);
    EXPECT_EQ(a->appearanceState(), UIAppearanceState::Disappeared);
    EXPECT_EQ(delegate->animator->ended, (std::vector<bool>{false}));
    // The presenter is free to present again.
    EXPECT_TRUE(root->presentViewController(controller("b"), false));
}

TEST_F(PresentationTest, PresentationStateWalksEveryStepIncludingCancelledDismissals) {
    using S = UIPresentationState;
    auto delegate = std::make_shared<Transitions>();
    auto a = controller("a");
    a->setTransitioningDelegate(delegate);
    EXPECT_EQ(a->presentationState(), S::NotPresented);
    ASSERT_TRUE(root->presentViewController(a, true));
    EXPECT_EQ(a->presentationState(), S::BeingPresented);
    EXPECT_TRUE(a->isBeingPresented());
    EXPECT_FALSE(a->dismissViewControllerAnimated(false)) << "no dismissal in the middle of presenting";
    advance(1.5);
    EXPECT_EQ(a->presentationState(), S::Presented);

    delegate->animator->cancel = true;
    ASSERT_TRUE(root->dismissViewControllerAnimated(true));
    EXPECT_EQ(a->presentationState(), S::BeingDismissed);
    EXPECT_TRUE(a->isBeingDismissed());
    EXPECT_FALSE(root->presentViewController(controller("x"), false)) << "busy presenter";
    advance(1.5);
    EXPECT_EQ(a->presentationState(), S::Presented) << "a cancelled dismissal leaves it presented";
    EXPECT_EQ(root->presentedViewController(), a);

    // One presented above it goes at once with it, whatever its own state.
    delegate->animator->cancel = false;
    auto b = controller("b");
    ASSERT_TRUE(a->presentViewController(b, false));
    EXPECT_EQ(b->presentationState(), S::Presented);
    ASSERT_TRUE(root->dismissViewControllerAnimated(true));
    EXPECT_EQ(b->presentationState(), S::NotPresented);
    advance(1.5);
    EXPECT_EQ(a->presentationState(), S::NotPresented);
    EXPECT_EQ(a->presentingViewController(), nullptr);
}

TEST_F(PresentationTest, PopoverSitsBelowItsSourceOrAboveWhenThereIsNoRoom) {
    auto source = UIView::make(CGRectMake(100, 100, 40, 40));
    root->view()->addSubview(source);
    auto popover = UIPopoverPresentationController::make();
    popover->setSourceView(source);
    CGRect f = popover->frameInWindow(window->bounds(), CGSize{200, 150});
    EXPECT_EQ(popover->arrowDirection(), UIPopoverArrowDirectionUp);
    EXPECT_GE(f.origin.y, 140);
    EXPECT_GE(f.origin.x, 8);
    source->setFrame(CGRectMake(100, 600, 40, 40));
    f = popover->frameInWindow(window->bounds(), CGSize{200, 150});
    EXPECT_EQ(popover->arrowDirection(), UIPopoverArrowDirectionDown);
    EXPECT_LE(CGRectGetMaxY(f), 600);
    // Content larger than the window is kept inside it.
    f = popover->frameInWindow(window->bounds(), CGSize{2000, 2000});
    EXPECT_TRUE(CGRectContainsRect(window->bounds(), f));
}

TEST_F(PresentationTest, PopoverOnAPhoneBecomesFullScreenUnlessTheDelegateKeepsIt) {
    auto a = controller("a");
    a->setModalPresentationStyle(UIModalPresentationStyle::Popover);
    a->setPreferredContentSize(CGSize{200, 100});
    a->popoverPresentationController()->setSourceView(root->view());
    ASSERT_TRUE(root->presentViewController(a, false));
    EXPECT_EQ(a->view()->frame(), window->bounds());
    EXPECT_TRUE(tap({200, 10})) << "a full-screen presentation leaves the status bar's strip to the bar";
    ASSERT_TRUE(root->dismissViewControllerAnimated(false));

    struct Keep : UIPopoverPresentationControllerDelegate {
        UIModalPresentationStyle adaptivePresentationStyle(UIPopoverPresentationController&) override {
            return UIModalPresentationStyle::None;
        }
    };
    auto keep = std::make_shared<Keep>();
    auto b = controller("b");
    b->setModalPresentationStyle(UIModalPresentationStyle::Popover);
    b->setPreferredContentSize(CGSize{200, 100});
    b->popoverPresentationController()->setSourceView(root->view());
    b->popoverPresentationController()->setDelegate(keep);
    ASSERT_TRUE(root->presentViewController(b, false));
    EXPECT_EQ(b->view()->frame().size, (CGSize{200, 100}));
    EXPECT_EQ(root->appearanceState(), UIAppearanceState::Appeared);
    // A tap inside stays; a tap outside closes it, on the status bar's strip too.
    tap(CGPointMake(CGRectGetMidX(b->view()->frame()), CGRectGetMidY(b->view()->frame())));
    EXPECT_EQ(root->presentedViewController(), b);
    tap(CGPointMake(5, 660));
    advance(0.5);
    EXPECT_EQ(root->presentedViewController(), nullptr);
    ASSERT_TRUE(root->presentViewController(b, false));
    EXPECT_FALSE(tap(CGPointMake(5, 10)));
    advance(0.5);
    EXPECT_EQ(root->presentedViewController(), nullptr);
}

}  // namespace
