// Toasts: their layout and placement, showing and timing on the virtual clock, taps, the queue,
// the activity toast, and the fade-in tap that must not hide a toast twice.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/ui/draw/graphics.h"
#include "widget_test_support.h"
#include "widgets/toast/view_toast.h"

namespace {

struct ToastTest : WidgetTest {
    void SetUp() override {
        WidgetTest::SetUp();
        ToastManager::reset();
    }
    void TearDown() override {
        ToastManager::reset();
        WidgetTest::TearDown();
    }
    ToastCompletion record(const std::string& name) {
        return [this, name](bool tapped) { log.push_back(name + (tapped ? " tapped" : " timed out")); };
    }
    void toast(const std::string& name, double duration = 3,
               ToastPosition position = ToastPosition::named(kToastPositionTop)) {
        makeToast(root, name, duration, position, std::nullopt, nullptr, nullptr, record(name));
    }
    static std::shared_ptr<UIImage> square(CGFloat side) {
        UIGraphicsBeginImageContext({side, side});
        auto image = UIGraphicsGetImageFromCurrentImageContext();
        UIGraphicsEndImageContext();
        return image;
    }
    std::vector<std::string> log;
};

}  // namespace

TEST_F(ToastTest, LayoutPutsTheTextInsidePaddingAndBesideTheImage) {
    auto plain = toastViewForMessage(*root, std::string("Saved"), std::nullopt, nullptr, nullptr);
    ASSERT_TRUE(plain);
    ASSERT_EQ(plain->subviews().size(), 1u);
    CGRect label = plain->subviews()[0]->frame();
    EXPECT_EQ(label.origin, (CGPoint{10, 10}));
    EXPECT_EQ(plain->frame().size, (CGSize{label.size.width + 20, label.size.height + 20}));
    EXPECT_DOUBLE_EQ(plain->layer()->cornerRadius(), 10);

    auto full = toastViewForMessage(*root, std::string("Saved"), std::string("Photo"), square(20), nullptr);
    ASSERT_EQ(full->subviews().size(), 3u);  // title, message, then the image on top
    EXPECT_EQ(full->subviews()[2]->frame(), CGRectMake(10, 10, 80, 80));
    EXPECT_DOUBLE_EQ(full->subviews()[0]->frame().origin.x, 100);
    EXPECT_DOUBLE_EQ(full->subviews()[1]->frame().origin.x, 100);
    EXPECT_GE(full->frame().size.height, 100);
    // Long text stays within the host's share, less the image.
    auto longText = toastViewForMessage(*root, std::string(400, 'x'), std::nullopt, square(20), nullptr);
    EXPECT_LE(longText->subviews()[0]->frame().size.width, 320 * 0.8 - 80);

    EXPECT_EQ(toastViewForMessage(*root, std::nullopt, std::nullopt, nullptr, nullptr), nullptr);
}

TEST_F(ToastTest, PositionsByNameWithoutCaseByPointOrAtTheBottom) {
    auto t = toastViewForMessage(*root, std::string("Hi"), std::nullopt, nullptr, nullptr);
    double h = t->frame().size.height;
    UIEdgeInsets safe = root->safeAreaInsets();
    // The top edge 10 points below the safe area.
    EXPECT_EQ(toastCenterPoint(*root, ToastPosition::named("toastpositiontop"), *t),
              (CGPoint{160, safe.top + 10 + h / 2}));
    EXPECT_EQ(toastCenterPoint(*root, ToastPosition::named(kToastPositionCenter), *t), (CGPoint{160, 240}));
    EXPECT_EQ(toastCenterPoint(*root, ToastPosition::point({30, 40}), *t), (CGPoint{30, 40}));
    CGPoint bottom{160, 480 - h / 2 - (safe.bottom + 10)};
    EXPECT_EQ(toastCenterPoint(*root, ToastPosition::named("sideways"), *t), bottom);
    EXPECT_EQ(toastCenterPoint(*root, ToastPosition{}, *t), bottom);
    // The default takes only a name or a point.
    ToastManager::setDefaultPosition(ToastPosition{});
    EXPECT_EQ(ToastManager::defaultPosition(), ToastPosition::named(kToastPositionBottom));
    ToastManager::setDefaultPosition(ToastPosition::point({1, 2}));
    EXPECT_EQ(ToastManager::defaultPosition(), ToastPosition::point({1, 2}));
}

TEST_F(ToastTest, NothingToShowShowsNothingAndNeverCallsBack) {
    makeToast(root, std::nullopt, 1, ToastPosition::named(kToastPositionTop), std::nullopt, nullptr, nullptr,
              record("empty"));
    advance(5);
    EXPECT_TRUE(activeToasts(*root).empty());
    EXPECT_TRUE(log.empty());
}

TEST_F(ToastTest, ToastsFadeInStayTheirTimeAndFadeOutWithTheSharedDuration) {
    auto slow = ToastStyle::makeDefault();
    slow->fadeDuration = 2;  // the shared style's 0.2 s still applies
    makeToast(root, std::nullopt, 1, ToastPosition::named(kToastPositionTop), std::string("Hello"), nullptr, slow,
              record("a"));
    auto shown = activeToasts(*root);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0]->superview(), root);
    EXPECT_TRUE(shown[0]->isExclusiveTouch());
    advance(0.21);
    EXPECT_EQ(shown[0]->alpha(), 1);
    toast("b", 2);  // without a queue the second shows at once
    EXPECT_EQ(activeToasts(*root).size(), 2u);
    advance(1.0);  // the first's second is up: it fades out
    advance(0.21);
    EXPECT_EQ(shown[0]->superview(), nullptr);
    EXPECT_EQ(log, std::vector<std::string>{"a timed out"});
    advance(2);
    EXPECT_EQ(log, (std::vector<std::string>{"a timed out", "b timed out"}));
    EXPECT_TRUE(activeToasts(*root).empty());
}

TEST_F(ToastTest, QueuedToastsFollowInOrderAndClearingDropsThemUnseen) {
    ToastManager::setQueueEnabled(true);
    toast("first", 1);
    toast("second", 1, ToastPosition::named(kToastPositionBottom));
    toast("third", 1);
    EXPECT_EQ(activeToasts(*root).size(), 1u);
    EXPECT_EQ(queuedToasts(*root).size(), 2u);
    advance(1.2);
    advance(0.25);
    ASSERT_EQ(activeToasts(*root).size(), 1u);
    EXPECT_GT(activeToasts(*root)[0]->center().y, 240);  // the second, at its own position
    clearToastQueue(root);
    advance(5);
    EXPECT_EQ(log, (std::vector<std::string>{"first timed out", "second timed out"}));
}

TEST_F(ToastTest, ATapDismissesWithYesAndATapDuringTheFadeInHidesOnce) {
    toast("tapped", 10);
    advance(0.3);
    auto t = activeToasts(*root).at(0);
    CGPoint p = t->center();
    tap(p);
    advance(0.3);
    EXPECT_EQ(log, std::vector<std::string>{"tapped tapped"});
    EXPECT_TRUE(activeToasts(*root).empty());

    // Tapped while still fading in, with another waiting in the queue.
    log.clear();
    ToastManager::setQueueEnabled(true);
    toast("early", 1);
    toast("waiting", 1);
    toast("last", 1);
    send(1, p, UITouchPhase::Began);
    advance(0.05);
    send(1, p, UITouchPhase::Ended);
    advance(0.5);
    EXPECT_EQ(log, std::vector<std::string>{"early tapped"});
    ASSERT_EQ(activeToasts(*root).size(), 1u);
    EXPECT_EQ(queuedToasts(*root).size(), 1u);  // no extra toast was released
    advance(1.5);
    EXPECT_EQ(log, (std::vector<std::string>{"early tapped", "waiting timed out"}));
    hideToast(root, UIView::make());  // not a toast of this host: nothing
    EXPECT_EQ(activeToasts(*root).size(), 1u);
}

TEST_F(ToastTest, AToastHiddenTwiceHidesOnceAndReleasesOneFromTheQueue) {
    ToastManager::setQueueEnabled(true);
    toast("shown", 5);
    toast("next", 5);
    toast("after", 5);
    advance(0.3);
    auto shown = activeToasts(*root).at(0);
    hideToast(root, shown);
    advance(0.1);  // half way through its fade-out
    hideToast(root, shown);
    hideToast(root);  // the host's first toast is still this one
    advance(0.3);
    hideToast(root, shown);  // gone: nothing
    EXPECT_EQ(log, std::vector<std::string>{"shown timed out"});
    ASSERT_EQ(activeToasts(*root).size(), 1u);
    EXPECT_NE(activeToasts(*root)[0], shown);
    EXPECT_EQ(queuedToasts(*root).size(), 1u) << "only one waiting toast takes the hidden one's place";
}

TEST_F(ToastTest, StylePercentagesAreClamped) {
    auto style = ToastStyle::makeDefault();
    style->setMaxWidthPercentage(1.5);
    EXPECT_DOUBLE_EQ(style->maxWidthPercentage(), 1);
    style->setMaxHeightPercentage(-0.2);
    EXPECT_DOUBLE_EQ(style->maxHeightPercentage(), 0);
    style->setMaxWidthPercentage(std::nan(""));
    EXPECT_DOUBLE_EQ(style->maxWidthPercentage(), 0);
}

TEST_F(ToastTest, OneActivityToastAtMostAndHidingAllToastsKeepsIt) {
    makeToastActivity(root, ToastPosition::named(kToastPositionCenter));
    auto activity = toastActivityView(*root);
    ASSERT_TRUE(activity);
    EXPECT_EQ(activity->center(), (CGPoint{160, 240}));
    EXPECT_EQ(activity->bounds().size, (CGSize{100, 100}));
    makeToastActivity(root, ToastPosition::named(kToastPositionTop));
    EXPECT_EQ(toastActivityView(*root), activity);
    toast("x", 5);
    hideAllToasts(root);
    advance(0.5);
    EXPECT_TRUE(activeToasts(*root).empty());
    EXPECT_EQ(activity->superview(), root);
    hideAllToasts(root, true, true);
    advance(0.5);
    EXPECT_EQ(activity->superview(), nullptr);
    EXPECT_EQ(toastActivityView(*root), nullptr);
}
