// Placement against a sender: above, below or in the middle with the strict thresholds, the
// 15-point margins and the arrow's lower bound, centred pop-ups, relayouts, and senders that are
// gone.
#include <gtest/gtest.h>

#include "platform/ui/animation/ca_animation_engine.h"
#include "platform/ui/layer/ca_shape_layer.h"
#include "tests/ui/popup/popup_test_support.h"
#include "ui/popup/pop_arrowed_view.h"
#include "ui/popup/pop_centered_view.h"

namespace {

struct Arrowed : PopArrowedView {
    KORVA_MAKE(Arrowed)
    explicit Arrowed(std::shared_ptr<UIViewController> vc) : PopArrowedView(std::move(vc)) {}
};
struct Centered : PopCenteredView {
    KORVA_MAKE(Centered)
    explicit Centered(std::shared_ptr<UIViewController> vc) : PopCenteredView(std::move(vc)) {}
};

enum class Side { Above, Below, Middle };

struct Placement : PopupTest {
    std::shared_ptr<Arrowed> pop;
    std::shared_ptr<UIView> sender = UIView::make();
    static constexpr CGSize kSize{200, 100};
    void SetUp() override {
        PopupTest::SetUp();
        pop = Arrowed::make(screenVC);
        pop->setSize(kSize);
        root()->addSubview(sender);
    }
    CGRect f() { return root()->frame(); }
    void place(CGRect senderFrame) {
        sender->setFrame(senderFrame);
        pop->show(sender, nullptr, nullptr);
        advance(0.5);
    }
    Side side() {
        const CGRect c = pop->crt();
        const CGRect s = sender->frame();
        if (!pop->arrowVisible()) return Side::Middle;
        if (c.origin.y + c.size.height == s.origin.y - 5) return Side::Above;
        EXPECT_EQ(c.origin.y, s.origin.y + s.size.height + 5);
        return Side::Below;
    }
};

TEST_F(Placement, AboveBelowOrMiddleByTheRoomOnEachSide) {
    const CGFloat h = kSize.height;
    struct Case {
        const char* what;
        CGFloat y, height;
        bool preferAbove;
        Side expected;
    } cases[] = {
        {"near the top", 20, 40, false, Side::Below},
        {"exactly h + 50 from the top is no room", h + 50, 40, false, Side::Below},
        {"one point more is room", h + 51, 40, true, Side::Above},
        {"room on both sides", 300, 40, false, Side::Below},
        {"room on both, above preferred", 300, 40, true, Side::Above},
        {"near the bottom", f().size.height - 60, 40, false, Side::Above},
        {"no room on either side", 120, f().size.height - 200, true, Side::Middle},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        pop->setShowAboveIfBothAvailable(c.preferAbove);
        place({{100, c.y}, {50, c.height}});
        const Side s = side();
        EXPECT_EQ(s, c.expected);
        EXPECT_EQ(pop->arrow()->isHidden(), s == Side::Middle);
        EXPECT_EQ(pop->layT()->isHidden(), s != Side::Below) << "the upward triangle points at a sender above";
        if (s == Side::Middle) {
            EXPECT_EQ(pop->crt().origin.x, CGRectGetMidX(f()) - kSize.width / 2);
            EXPECT_EQ(pop->crt().origin.y, CGRectGetMidY(f()) - kSize.height / 2);
        }
        EXPECT_EQ(inRoot(pop->container()), pop->crt());
    }
}

TEST_F(Placement, MarginsShiftTheContainerButTheArrowStaysOnTheSender) {
    place({{5, 300}, {20, 20}});
    EXPECT_EQ(pop->crt().origin.x, 15) << "moved right to the 15-point margin";
    EXPECT_EQ(pop->arrowRect().origin.x, 10);
    EXPECT_EQ(inRoot(pop->arrow()).origin.x, 20) << "the arrow never starts left of 20";

    const CGFloat w = f().size.width;
    place({{w - 25, 300}, {20, 20}});
    EXPECT_EQ(pop->crt().origin.x + kSize.width, w - 15) << "moved left to the right margin";
    EXPECT_EQ(inRoot(pop->arrow()).origin.x, w - 15 - 5);

    pop->setSize({w, 100});
    place({{100, 300}, {20, 20}});
    EXPECT_EQ(pop->crt().origin.x, 15) << "too wide for both margins: the left one wins";
}

TEST_F(Placement, TheArrowSitsInTheHolderBandAndGrowsFromTheSender) {
    place({{100, 300}, {50, 40}});
    EXPECT_EQ(inRoot(pop->arrow()), (CGRect{{120, 335}, {10, 10}}));
    EXPECT_EQ(pop->showAnimDXDY().x, CGRectGetMidX(pop->crt()) - 125);
    EXPECT_EQ(pop->showAnimDXDY().y, CGRectGetMidY(pop->crt()) - 320);
}

TEST_F(Placement, ARelayoutReplaysTowardTheSenderAndKeepsTheCallersOnDidHide) {
    sender->setFrame({{100, 300}, {50, 40}});
    pop->show(sender, nullptr, note("didHide"));
    advance(0.5);
    sender->setFrame({{100, 40}, {50, 40}});  // the screen turned; the sender moved up
    pop->scheduledLayout();
    advance(0.71);
    EXPECT_FALSE(pop->hidden()) << "it grows again";
    advance(0.5);
    EXPECT_EQ(side(), Side::Below);
    EXPECT_EQ(inRoot(pop->container()), pop->crt());
    pop->hide(nullptr);
    advance(0.5);
    EXPECT_EQ(log, (std::vector<std::string>{"didHide"}));

    pop->scheduledLayout();
    advance(1);
    EXPECT_TRUE(pop->hidden()) << "a hidden pop-up is left alone";
}

TEST_F(Placement, SendersThatAreGoneOrOutsideLayOutWithoutACrash) {
    place({{100, 300}, {50, 40}});
    sender->removeFromSuperview();
    sender.reset();
    pop->scheduledLayout();
    advance(1.5);
    EXPECT_FALSE(pop->arrowVisible()) << "the root view as sender leaves no room on either side";

    auto outside = UIView::make();
    outside->setFrame({{-500, 5000}, {10, 10}});
    root()->addSubview(outside);
    pop->show(outside, nullptr, nullptr);
    advance(0.5);
    EXPECT_GE(pop->crt().origin.x, 15);
    pop->show(std::shared_ptr<NSObject>{}, nullptr, nullptr);
    advance(0.5);
}

TEST_F(Placement, AScreenThatGoesAwayMidAnimationLeavesNothingToTouch) {
    auto vc = UIViewController::make();
    vc->view()->setFrame(root()->bounds());
    auto away = Arrowed::make(vc);
    away->setSize(kSize);
    auto button = UIView::make(CGRect{{100, 300}, {40, 40}});
    vc->view()->addSubview(button);
    away->show(button, note("shown"), note("didHide"));
    away->scheduledLayout();
    vc.reset();
    button.reset();
    advance(0.1);
    away->hide(note("hidden"));
    advance(1.5);
    EXPECT_EQ(log, (std::vector<std::string>{"shown", "hidden", "didHide"}));
    EXPECT_EQ(away->vc(), nullptr);
}

TEST_F(Placement, CentredPopupsCentreOnTheSenderOrTheRootView) {
    auto c = Centered::make(screenVC);
    c->setSize({100, 60});
    c->show(std::shared_ptr<NSObject>{}, nullptr, nullptr);
    advance(0.5);
    EXPECT_EQ(CGRectGetMidX(c->crt()), CGRectGetMidX(f()));
    EXPECT_EQ(CGRectGetMidY(c->crt()), CGRectGetMidY(f()));
    EXPECT_EQ(c->showAnimDXDY(), CGPointZero) << "grows from its own centre";

    sender->setFrame({{0, 20}, {30, 30}});
    c->setOffsetCXCY({0, 10});
    c->show(sender, nullptr, nullptr);
    advance(0.5);
    EXPECT_EQ(c->crt(), (CGRect{{15, 15}, {100, 60}})) << "margin on the left; the top is not limited";

    // A new view to avoid asks for a relayout, which slides the container over 0.3 s.
    sender->setFrame({{200, 300}, {30, 30}});
    c->setAvoidView(sender);
    c->setAvoidView(sender);
    advance(0.71);
    EXPECT_FALSE(CAAnimationEngine::animationKeys(*c->contHolder()->layer()).empty());
    advance(0.4);
    EXPECT_EQ(inRoot(c->container()), (CGRect{{165, 295}, {100, 60}}));
}

}  // namespace
