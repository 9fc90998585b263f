// The pop-up core: identifiers and placement, the horizontal clamp, show and hide sequences with
// interruptions (also when the interrupting command comes from an animation callback), the
// debounced relayout and teardown.
#include "ui/popup/pop_view.h"

#include <gtest/gtest.h>

#include "platform/ui/animation/ui_view_animation.h"
#include "platform/ui/layout/layout_constraint.h"
#include "tests/ui/popup/popup_test_support.h"
#include "ui/layout/view_custom_identified.h"

namespace {

// Records the relayout hooks in the order they run.
struct RecordingPop : PopView {
    KORVA_MAKE(RecordingPop)
    explicit RecordingPop(std::shared_ptr<UIViewController> vc) : PopView(std::move(vc)) {}
    std::vector<std::string> hooks;
    std::vector<double> times;
    void recalcLayout() override {
        hooks.push_back("recalc");
        times.push_back(Clock::now());
    }
    void applyLayout(bool animated) override { hooks.push_back(animated ? "apply animated" : "apply"); }
    void scheduledInternalLayout() override { hooks.push_back("internal"); }
};

struct PopViewTest : PopupTest {
    std::shared_ptr<RecordingPop> pop;
    void SetUp() override {
        PopupTest::SetUp();
        pop = RecordingPop::make(screenVC);
    }
    CGRect rect{{40, 100}, {200, 120}};
};

TEST_F(PopViewTest, TwoPopupsOnOneScreenEachMoveOnlyTheirOwnHolder) {
    auto second = RecordingPop::make(screenVC);
    EXPECT_EQ(pop->kContHolderX(), "hContHolderX-0");
    EXPECT_EQ(pop->kContHolderY(), "hContHolderY-0");
    EXPECT_EQ(second->kContHolderX(), "hContHolderX-1");
    EXPECT_EQ(second->kContHolderW(), "hContHolderW-0") << "sizes are held by each fresh holder";

    pop->show(rect, nullptr, nullptr);
    second->show({{10, 300}, {100, 50}}, nullptr, nullptr);
    advance(0.5);
    EXPECT_EQ(inRoot(pop->container()), rect) << "the container lands exactly on the rectangle";
    EXPECT_EQ(inRoot(second->container()), (CGRect{{10, 300}, {100, 50}}));
    EXPECT_EQ(pop->contHolder()->frame(), (CGRect{{40, 90}, {200, 140}})) << "the holder keeps a 10-point band";
    EXPECT_GT(root()->subviews().size(), 3u);
    EXPECT_EQ(root()->subviews().back(), second->contHolder()) << "the latest show lies on top";
}

TEST_F(PopViewTest, RectanglesAreKeptInsideTheRootViewHorizontally) {
    const CGFloat w = root()->bounds().size.width;
    struct Case {
        CGFloat x, width, expected;
    } cases[] = {{-30, 100, 0}, {w - 60, 100, w - 100}, {20, 100, 20}, {-10, w + 40, 0}};
    for (const auto& c : cases) {
        pop->show({{c.x, 50}, {c.width, 80}}, nullptr, nullptr);
        EXPECT_EQ(pop->containerRect().origin.x, c.expected) << "x " << c.x;
        EXPECT_EQ(pop->containerRect().origin.y, 50) << "the vertical position is left alone";
        advance(0.5);
    }
}

// One interrupted sequence: commands at virtual times, then the log and the end state.
struct Step {
    double at;
    enum { Show, Hide } command;
    std::string name;
};
struct Sequence {
    const char* what;
    std::vector<Step> steps;
    std::vector<std::string> expectedLog;
    bool endsHidden;
};

TEST_F(PopViewTest, InterruptedSequencesCallEachCallbackOnceAndTheLastCommandWins) {
    const Sequence sequences[] = {
        {"hide during the grow",
         {{0, Step::Show, "A"}, {0.1, Step::Hide, "h"}},
         {"A shown", "h hidden", "A didHide"},
         true},
        {"show during the shrink",
         {{0, Step::Show, "A"}, {0.5, Step::Hide, "h"}, {0.6, Step::Show, "B"}},
         {"A shown", "h hidden", "A didHide", "B shown"},
         false},
        {"show while a hide waits",
         {{0, Step::Show, "A"}, {0.1, Step::Hide, "h"}, {0.3, Step::Show, "B"}},
         {"A shown", "B shown"},
         false},
        {"hide while a show waits",
         {{0, Step::Show, "A"}, {0.5, Step::Hide, "h"}, {0.6, Step::Show, "B"}, {0.7, Step::Hide, "i"}},
         {"A shown", "h hidden", "A didHide", "i hidden", "B didHide"},
         true},
        {"two quick shows", {{0, Step::Show, "A"}, {0.1, Step::Show, "B"}}, {"B shown"}, false},
    };
    for (const auto& s : sequences) {
        SCOPED_TRACE(s.what);
        auto p = RecordingPop::make(screenVC);
        log.clear();
        const double start = Clock::now();
        for (const auto& step : s.steps) {
            advance(start + step.at - Clock::now());
            if (step.command == Step::Show)
                p->show(rect, note(step.name + " shown"), note(step.name + " didHide"));
            else
                p->hide(note(step.name + " hidden"));
        }
        advance(2);
        EXPECT_EQ(log, s.expectedLog);
        EXPECT_EQ(p->hidden(), s.endsHidden);
        EXPECT_EQ(p->phase(), s.endsHidden ? PopPhase::Hidden : PopPhase::Shown);
        EXPECT_EQ(p->lastCommand(), s.steps.back().command == Step::Show ? PopCommand::Show : PopCommand::Hide);
    }
}

TEST_F(PopViewTest, ShowDuringShrinkFromAnAnimationCallbackEndsShownWithItsOwnOnDidHide) {
    pop->show(rect, nullptr, note("A didHide"));
    advance(0.5);
    pop->hide(note("h hidden"));
    // Another animation ends mid-shrink and shows the pop-up again from its completion, where the
    // removed shrink reports its end only after the show has returned.
    auto other = UIView::make();
    root()->addSubview(other);
    UIViewAnimation::animate(
        0.1, [&] { other->setAlpha(0.5); },
        [&](bool) {
            pop->show(rect, note("B shown"), note("B didHide"));
            log.push_back("show returned");
        });
    advance(0.15);
    EXPECT_EQ(log, (std::vector<std::string>{"show returned", "h hidden", "A didHide"}));
    EXPECT_TRUE(pop->hidden()) << "the shrink's end hides the views until the retry";
    advance(0.5);
    EXPECT_FALSE(pop->hidden());
    advance(0.5);
    EXPECT_EQ(log.back(), "B shown");
    pop->hide(nullptr);
    advance(0.5);
    EXPECT_EQ(log.back(), "B didHide");
    EXPECT_EQ(std::count(log.begin(), log.end(), "B didHide"), 1);
}

TEST_F(PopViewTest, RelayoutRunsOnce0_7sAfterTheLastRequestInOrder) {
    const double start = Clock::now();
    for (int i = 0; i < 5; ++i) {
        if (i) advance(0.2);
        pop->scheduledLayout();
    }
    advance(0.69);
    EXPECT_TRUE(pop->hooks.empty());
    advance(0.02);
    EXPECT_EQ(pop->hooks, (std::vector<std::string>{"recalc", "apply animated", "internal"}));
    ASSERT_EQ(pop->times.size(), 1u);
    EXPECT_NEAR(pop->times[0] - start, 0.8 + 0.7, 0.011);
    EXPECT_FALSE(pop->layoutPending());
}

TEST_F(PopViewTest, HiddenOnlyWhenBackgroundAndHolderAreBothHidden) {
    EXPECT_TRUE(pop->hidden());
    EXPECT_EQ(pop->lastCommand(), PopCommand::None);
    pop->bg()->setHidden(false);
    EXPECT_FALSE(pop->hidden());
    pop->bg()->setHidden(true);
    pop->contHolder()->setHidden(false);
    EXPECT_FALSE(pop->hidden());
}

TEST_F(PopViewTest, DestructionTakesItsViewsAndConstraintsAway) {
    const auto before = root()->constraints().size();
    auto second = RecordingPop::make(screenVC);
    second->show(rect, note("shown"), note("didHide"));
    second->scheduledLayout();
    advance(0.1);
    EXPECT_GT(root()->constraints().size(), before);
    auto holder = second->contHolder();
    second.reset();
    EXPECT_EQ(holder->superview(), nullptr);
    EXPECT_EQ(root()->constraints().size(), before);
    EXPECT_FALSE(getLayoutConstraint(*root(), "hContHolderX-1"));
    advance(2);
    EXPECT_TRUE(log.empty()) << "nothing of a destroyed pop-up runs later";
}

TEST_F(PopViewTest, APopupWhoseScreenIsGoneDoesNothing) {
    auto vc = UIViewController::make();
    auto orphan = RecordingPop::make(vc);
    vc.reset();
    orphan->show(rect, note("shown"), nullptr);
    orphan->scheduledLayout();
    advance(1);
    EXPECT_EQ(log, (std::vector<std::string>{"shown"}));
}

}  // namespace
