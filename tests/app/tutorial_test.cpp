// The tutorial's state machine, driven by taps on its layer and the virtual clock.
#include <gtest/gtest.h>

#include "platform/ui/text/attributed_string.h"
#include "platform/ui/text/paragraph_style.h"
#include "tests/app/app_test_support.h"
#include "ui/popup/pop_message_view.h"
#include "ui/popup/pop_text_view.h"
#include "ui/theme/color.h"
#include "ui/theme/font.h"

namespace {

// A screen whose tutorial is given by the test and whose presenters record what they show.
struct TutorialScreen : MyViewController {
    KORVA_MAKE(TutorialScreen)
    Value dict;
    std::vector<std::string> shown;
    Value tutorialGetDictionary() override { return dict; }
    void showCenterMessage(const std::string& text) override { shown.push_back("center " + text); }
    void showTextMessage(const std::shared_ptr<UIView>&, const std::string& text) override {
        shown.push_back("bubble " + text);
    }
    void showDoneToast(const std::string& text) override { shown.push_back("toast " + text); }

protected:
    TutorialScreen() = default;
};

struct TutorialTest : AppTest {
    void SetUp() override {
        AppTest::SetUp();
        screen = show(TutorialScreen::make());
        for (int i = 0; i < 3; ++i) {
            auto control = UIView::make(CGRectMake(20, 100 + 60 * i, 40, 40));
            screen->view()->addSubview(control);
            controls.push_back(control);
        }
    }
    Value steps(bool withSenders) const {
        Value arr = Value::array();
        for (int i = 0; i < 3; ++i) {
            Value step = Value::dictionary({{"text", Value("step " + std::to_string(i + 1))}});
            if (withSenders) step.set("sender", Value(controls[i]));
            arr.append(step);
        }
        return arr;
    }
    void tapLayer() {
        ASSERT_TRUE(screen->tutorialBg());
        settle();  // the layer is laid out over the screen
        tap({250, 500});
    }
    std::shared_ptr<TutorialScreen> screen;
    std::vector<std::shared_ptr<UIView>> controls;
};

using State = MyTutorialController::TutorialState;

TEST_F(TutorialTest, CentredMessagesCountTheStepsAndDoneEndsTwoSecondsLater) {
    screen->dict = Value::dictionary({{"sender", Value(screen->view())}, {"arr", steps(true)}});
    screen->tutorialStart();
    EXPECT_EQ(screen->shown, std::vector<std::string>{"center TUTORIAL"});
    ASSERT_TRUE(screen->tutorialBg());
    EXPECT_EQ(screen->tutorialBg()->superview(), screen->view());
    for (int i = 0; i < 3; ++i) tapLayer();
    EXPECT_EQ(screen->shown, (std::vector<std::string>{"center TUTORIAL", "center 1/3", "bubble step 1", "center 2/3",
                                                       "bubble step 2", "center 3/3", "bubble step 3"}));
    EXPECT_EQ(screen->tutorialState(), State::Running);
    tapLayer();
    EXPECT_EQ(screen->shown.back(), "center DONE!");
    EXPECT_EQ(screen->tutorialState(), State::Finishing);
    advance(1.9);
    EXPECT_TRUE(screen->tutorialActive());
    advance(0.2);
    EXPECT_EQ(screen->tutorialState(), State::Idle);
    EXPECT_FALSE(screen->tutorialBg());
}

TEST_F(TutorialTest, WithoutASenderStepsShowOnlyBubblesAndDoneIsAToast) {
    screen->dict = Value::dictionary({{"arr", steps(true)}, {"noNumberMessage", Value(true)}});
    screen->tutorialStart();  // no sender: the first step at once
    EXPECT_EQ(screen->shown, std::vector<std::string>{"bubble step 1"});
    tapLayer();
    tapLayer();
    tapLayer();
    EXPECT_EQ(screen->shown,
              (std::vector<std::string>{"bubble step 1", "bubble step 2", "bubble step 3", "toast DONE!"}));
    // A tap while finishing stops at once.
    tapLayer();
    EXPECT_FALSE(screen->tutorialActive());
}

TEST_F(TutorialTest, NoCenterMessageEndsHalfASecondAfterTheLastTapWithoutDone) {
    screen->dict =
        Value::dictionary({{"sender", Value(screen->view())}, {"arr", steps(true)}, {"noCenterMessage", Value(true)}});
    screen->tutorialStart();
    EXPECT_EQ(screen->shown, (std::vector<std::string>{"center 1/3", "bubble step 1"}));
    tapLayer();
    tapLayer();
    tapLayer();
    EXPECT_EQ(screen->shown.back(), "bubble step 3");
    advance(0.4);
    EXPECT_TRUE(screen->tutorialActive());
    advance(0.2);
    EXPECT_FALSE(screen->tutorialActive());
}

TEST_F(TutorialTest, StepsWithoutSendersShowTheirTextUnderTheCounter) {
    screen->dict = Value::dictionary({{"sender", Value(screen->view())}, {"arr", steps(false)}});
    screen->tutorialStart();
    tapLayer();
    EXPECT_EQ(screen->shown.back(), "center 1/3.\nstep 1");
    screen->dict.set("noNumberMessage", Value(true));
    screen->tutorialStart();
    auto before = screen->shown.size();
    tapLayer();  // nothing to show for such a step
    EXPECT_EQ(screen->shown.size(), before);
    EXPECT_EQ(screen->currentIndex(), 1);
}

TEST_F(TutorialTest, ARestartDuringTheStopDelayIsNotEndedByTheOldStop) {
    screen->dict = Value::dictionary({{"sender", Value(screen->view())}, {"arr", steps(true)}});
    screen->tutorialStart();
    for (int i = 0; i < 4; ++i) tapLayer();
    ASSERT_EQ(screen->tutorialState(), State::Finishing);
    advance(1.0);
    screen->tutorialStart();
    advance(1.5);  // past the old stop's time
    EXPECT_EQ(screen->tutorialState(), State::Running);
    EXPECT_EQ(screen->currentIndex(), 0);
}

TEST_F(TutorialTest, ANilDictionaryStopsAtOnce) {
    screen->dict = Value();
    screen->tutorialStart();
    EXPECT_FALSE(screen->tutorialActive());
    EXPECT_FALSE(screen->tutorialBg());
    EXPECT_TRUE(screen->shown.empty());
}

TEST_F(TutorialTest, LeavingMidTutorialRemovesTheLayerAndARestartBeginsAgain) {
    screen->dict = Value::dictionary({{"sender", Value(screen->view())}, {"arr", steps(true)}});
    screen->tutorialStart();
    tapLayer();
    tapLayer();
    auto layer = screen->tutorialBg();
    screen->disappear(false);
    EXPECT_FALSE(screen->tutorialActive());
    EXPECT_FALSE(screen->tutorialBg());
    EXPECT_EQ(layer->superview(), nullptr);
    screen->appear(false);
    screen->shown.clear();
    screen->tutorialStart();
    tapLayer();
    EXPECT_EQ(screen->shown, (std::vector<std::string>{"center TUTORIAL", "center 1/3", "bubble step 1"}));
}

// A screen with the base's own presenters.
struct PlainTutorialScreen : MyViewController {
    KORVA_MAKE(PlainTutorialScreen)
    Value dict;
    Value tutorialGetDictionary() override { return dict; }

protected:
    PlainTutorialScreen() = default;
};

struct TutorialViewsTest : AppTest {
    void SetUp() override {
        AppTest::SetUp();
        screen = show(PlainTutorialScreen::make());
        control = UIView::make(CGRectMake(20, 300, 40, 40));
        screen->view()->addSubview(control);
        Value arr =
            Value::array({Value::dictionary({{"sender", Value(control)}, {"text", Value("Pick a filter")}}),
                          Value::dictionary({{"sender", Value(control)}, {"text", Value("Hold to\ncompare")}})});
        screen->dict = Value::dictionary({{"sender", Value(screen->view())}, {"arr", arr}});
    }
    void tapLayer() {
        settle();
        tap({250, 560});
        advance(0.5);
    }
    std::string messageText() { return screen->tutorialMsg()->attributedText()->string(); }
    NSAttributes bubbleAttributes() { return screen->tutorialText()->attributedText()->attributesAtIndex(0); }
    std::shared_ptr<PlainTutorialScreen> screen;
    std::shared_ptr<UIView> control;
};

TEST_F(TutorialViewsTest, TheMessageCountsOverTheScreenAndTheBubblePointsAtTheControl) {
    screen->tutorialStart();
    advance(0.5);
    EXPECT_EQ(messageText(), "TUTORIAL");
    EXPECT_FALSE(screen->tutorialMsg()->hidden());
    EXPECT_EQ(screen->tutorialMsg()->bgColor(), global()->color()->tutorialbg());
    EXPECT_EQ(screen->tutorialMsg()->attributedText()->attributesAtIndex(0).get(NSFontAttributeName).object(),
              global()->font()->iconFixedLarge3());

    tapLayer();
    EXPECT_EQ(messageText(), "1/2");
    auto bubble = screen->tutorialText();
    EXPECT_EQ(bubble->last(), control);
    EXPECT_FALSE(bubble->hidden());
    EXPECT_EQ(bubble->attributedText()->string(), "Pick a filter");
    EXPECT_EQ(bubbleAttributes().get(NSForegroundColorAttributeName).object(), global()->color()->tutorialfg());
    EXPECT_EQ(bubbleAttributes().get(NSParagraphStyleAttributeName).objectAs<NSParagraphStyle>()->alignment,
              NSTextAlignment::Center);
    EXPECT_EQ(screen->tutorialMsg()->avoid(), bubble->container()) << "the message keeps clear of the bubble";

    tapLayer();
    EXPECT_EQ(bubbleAttributes().get(NSParagraphStyleAttributeName).objectAs<NSParagraphStyle>()->alignment,
              NSTextAlignment::Left);

    tapLayer();
    EXPECT_FALSE(screen->hasTutorialText()) << "the bubble is dropped once hidden";
    EXPECT_EQ(bubble->contHolder()->superview(), nullptr);
    EXPECT_EQ(messageText(), "DONE!");
    advance(2.0);
    EXPECT_FALSE(screen->tutorialActive());
    advance(0.5);
    EXPECT_FALSE(screen->hasTutorialMsg());
}

TEST_F(TutorialViewsTest, TapsOnTheBubbleAndTheMessageAdvanceToo) {
    screen->tutorialStart();
    advance(0.5);
    auto centreOf = [&](const std::shared_ptr<UIView>& v) {
        CGRect r = v->convertRectToView(v->bounds(), nullptr);
        return CGPoint{r.origin.x + r.size.width / 2, r.origin.y + r.size.height / 2};
    };
    settle();
    tap(centreOf(screen->tutorialMsg()->container()));  // on the "TUTORIAL" message
    advance(0.5);
    EXPECT_EQ(messageText(), "1/2");
    settle();
    tap(centreOf(screen->tutorialText()->container()));  // on the bubble
    advance(0.5);
    EXPECT_EQ(messageText(), "2/2");
    EXPECT_EQ(screen->tutorialText()->attributedText()->string(), "Hold to\ncompare");
}

TEST_F(TutorialViewsTest, ARestartRightAfterAStopKeepsItsBubble) {
    screen->dict.set("noCenterMessage", Value(true));
    screen->tutorialStart();
    advance(0.5);
    auto bubble = screen->tutorialText();
    screen->tutorialStop();
    advance(0.1);
    screen->tutorialStart();  // the old bubble's hide is still running
    advance(1.5);
    ASSERT_TRUE(screen->hasTutorialText());
    EXPECT_EQ(screen->tutorialText(), bubble);
    EXPECT_FALSE(bubble->hidden());
    EXPECT_EQ(bubble->attributedText()->string(), "Pick a filter");
}

}  // namespace
