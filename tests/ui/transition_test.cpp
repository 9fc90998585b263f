// The child swap: the first content at once, the slide's offsets and direction, the children
// during and after a swap (also when a second swap interrupts), and the shared blink.
#include <gtest/gtest.h>

#include "platform/ui/animation/ca_animation.h"
#include "platform/ui/animation/ca_animation_engine.h"
#include "tests/ui/ui_test_support.h"
#include "ui/controller/animation.h"
#include "ui/controller/transition1.h"
#include "ui/controller/view_controller_transition.h"

namespace {

struct Swap : ToolkitTest {
    std::shared_ptr<UIViewController> container = UIViewController::make();
    std::shared_ptr<UIViewController> a = UIViewController::make(), b = UIViewController::make(),
                                      c = UIViewController::make();
    void SetUp() override {
        ToolkitTest::SetUp();
        window->setRootViewController(container);
        settle();
    }
    CGFloat width() { return container->view()->bounds().size.width; }
    // The horizontal offset a view shows now (its animated transform, or its model one).
    CGFloat shownX(const std::shared_ptr<UIViewController>& vc) {
        CAAnimationEngine::update();
        auto p = CAAnimationEngine::presentation(*vc->view()->layer());
        if (p && p->transform) return p->transform->m41;
        return vc->view()->transform().tx;
    }
    std::size_t children() { return container->childViewControllers().size(); }
};

TEST_F(Swap, TheFirstContentAppearsAtOnceAndTheSameContentIsANoOp) {
    transition(container, a, false);
    EXPECT_EQ(children(), 1u);
    EXPECT_EQ(a->view()->superview(), container->view());
    EXPECT_EQ(a->view()->frame(), container->view()->bounds());
    EXPECT_EQ(a->view()->alpha(), 1);
    EXPECT_FALSE(CAAnimationEngine::hasAnimations(*a->view()->layer()));
    EXPECT_EQ(a->view()->autoresizingMask(), UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);

    transition(container, a, false);
    EXPECT_EQ(children(), 1u);
    EXPECT_FALSE(CAAnimationEngine::hasAnimations(*a->view()->layer()));
}

TEST_F(Swap, TheIncomingViewComesFromTheLeftAndTheOutgoingLeavesRight) {
    transition(container, a, false);
    transition(container, b, false);
    const CGFloat w = width() + 16;
    EXPECT_NEAR(shownX(b), -w, 1e-6);
    EXPECT_EQ(a->view()->transform().tx, w) << "the outgoing view ends to the right";
    EXPECT_EQ(children(), 2u) << "both during the swap";
    advance(1.1);
    EXPECT_EQ(children(), 1u);
    EXPECT_EQ(container->childViewControllers().front(), b);
    EXPECT_EQ(a->view()->superview(), nullptr);
    EXPECT_TRUE(CGAffineTransformIsIdentity(a->view()->transform()));
    EXPECT_NEAR(shownX(b), 0, 1e-6);
}

TEST_F(Swap, TheDirectionFlagMirrorsBoth) {
    transition(container, a, true);
    transition(container, b, true);
    const CGFloat w = width() + 16;
    EXPECT_NEAR(shownX(b), w, 1e-6);
    EXPECT_EQ(a->view()->transform().tx, -w);
}

TEST_F(Swap, ASwapDuringAnotherLeavesOnlyTheLastIncoming) {
    transition(container, a, false);
    transition(container, b, false);
    advance(0.25);
    transition(container, c, false);
    advance(0.85);  // the first swap ends, the second still runs
    EXPECT_EQ(children(), 2u);
    EXPECT_EQ(container->childViewControllers().back(), c);
    EXPECT_EQ(a->parentViewController(), nullptr);
    advance(0.5);
    ASSERT_EQ(children(), 1u);
    EXPECT_EQ(container->childViewControllers().front(), c);
    EXPECT_EQ(b->parentViewController(), nullptr);
    EXPECT_EQ(b->view()->superview(), nullptr);
    EXPECT_EQ(container->view()->subviews().size(), 1u);
}

TEST_F(Swap, TheContextAnswersFramesByController) {
    transition(container, a, false);
    auto context = Transition1::make(a, b, false);
    const CGRect bounds = container->view()->bounds();
    EXPECT_EQ(context->initialFrameForViewController(*a), bounds);
    EXPECT_EQ(context->finalFrameForViewController(*a), CGRectOffset(bounds, bounds.size.width, 0));
    EXPECT_EQ(context->initialFrameForViewController(*b), CGRectOffset(bounds, -bounds.size.width, 0));
    EXPECT_EQ(context->finalFrameForViewController(*b), bounds);
    EXPECT_FALSE(context->transitionWasCancelled());
    EXPECT_EQ(context->viewForKey(UITransitionContextKey::From), nullptr);
    EXPECT_EQ(context->viewForKey(UITransitionContextKey::To), nullptr);
}

TEST_F(Swap, TheBlinkIsSharedUntilGlobalDropsIt) {
    auto animation = global()->animation();
    ASSERT_NE(animation, nullptr);
    auto blink = animation->blink();
    EXPECT_EQ(animation->blink(), blink);
    EXPECT_EQ(blink->keyPath(), "opacity");
    EXPECT_EQ(blink->duration(), 1.5);
    EXPECT_TRUE(std::isinf(blink->repeatCount()));
    global()->reset();
    EXPECT_NE(global()->animation(), animation);
}

}  // namespace
