// The option pop-up and its choice pop-ups: titles and marks from the settings, what a tap
// writes, each choice pop-up's own delegate kind, the order in which the host hears of a choice,
// the hide report, and the outlines.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "camera/options/pop_option_flash_view.h"
#include "camera/options/pop_option_ratio_view.h"
#include "camera/options/pop_option_timer_view.h"
#include "camera/options/pop_option_view.h"
#include "foundation/global.h"
#include "foundation/last_info.h"
#include "platform/ui/control/ui_button.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/layer/ca_shape_layer.h"
#include "tests/camera/camera_test_support.h"
#include "ui/controls/status_button_image.h"
#include "ui/controls/status_button_path.h"

namespace {

struct Listener : PopOptionViewDelegate {
    std::vector<std::string> log;
    std::shared_ptr<PopOptionView> pop;
    void note(const std::string& what) {
        // Whether the choice pop-up was still up when the host heard of it.
        std::string state;
        if (pop && pop->popFlash()) state = pop->popFlash()->hidden() ? " (flash hidden)" : " (flash shown)";
        log.push_back(what + state);
    }
    void onPopOptionViewFlash(PopOptionView&) override { note("flash"); }
    void onPopOptionViewSwap(PopOptionView&) override { log.push_back("swap"); }
    void onPopOptionViewTimer(PopOptionView&) override { log.push_back("timer"); }
    void onPopOptionViewGrid(PopOptionView&) override { log.push_back("grid"); }
    void onPopOptionViewImageRatio(PopOptionView&) override { log.push_back("ratio"); }
    void onPopOptionViewShotMode(PopOptionView&) override { log.push_back("mode"); }
    void onPopOptionViewWillHide(PopOptionView& p) override {
        log.push_back(std::string("will hide") + (p.phase() == PopPhase::Shown ? " (shown)" : ""));
    }
};

// Listens to all three kinds of choice pop-up, noting which operation spoke and who sent it.
struct ChoiceHeard : PopOptionFlashViewDelegate, PopOptionTimerViewDelegate, PopOptionRatioViewDelegate {
    std::vector<std::pair<std::string, const NSObject*>> log;
    void onPopOptionFlashViewValueChanged(PopOptionFlashView& s) override { log.emplace_back("flash", &s); }
    void onPopOptionTimerViewValueChanged(PopOptionTimerView& s) override { log.emplace_back("timer", &s); }
    void onPopOptionRatioViewValueChanged(PopOptionRatioView& s) override { log.emplace_back("ratio", &s); }
};

struct Options : CameraTest {
    std::shared_ptr<Listener> listener = std::make_shared<Listener>();
    std::shared_ptr<PopOptionView> pop;
    std::shared_ptr<UIView> sender = UIView::make();
    void SetUp() override {
        CameraTest::SetUp();
        sender->setFrame({{40, 560}, {50, 50}});
        root()->addSubview(sender);
        pop = PopOptionView::make(screenVC);
        pop->setDelegate(listener);
        pop->setShowAboveIfBothAvailable(true);
        listener->pop = pop;
    }
    std::shared_ptr<Global> g() { return Global::shared(); }
    void open() {
        pop->show(
            sender, [] {}, [] {});
        step(0.4);
    }
};

CGRect boxOf(const CGPath& path) {
    return path.boundingBox();
}

}  // namespace

TEST_F(Options, TitlesAndMarksFollowTheSettings) {
    g()->setTimerShot(0);
    g()->setFlashMode(FlashMode::On);
    g()->lastInfo()->set(Value(5), "imageRatio");
    g()->setGridMode(false);
    open();
    EXPECT_EQ(pop->btnTimer()->title(), "OFF");
    EXPECT_EQ(pop->btnFlash()->title(), "ON");
    EXPECT_EQ(pop->btnSwap()->title(), "BACK");
    EXPECT_EQ(pop->btnGrid()->title(), "OFF");
    EXPECT_EQ(pop->btnRatio()->title(), "3:4") << "a stored ratio out of range reads as the default";
    ASSERT_TRUE(pop->btnRatio()->clo()->path());
    EXPECT_EQ(boxOf(*pop->btnRatio()->clo()->path()).size.width, 12.75);

    g()->setTimerShot(10);
    g()->setImageRatio(ImageRatio::Ratio9x16);
    pop->updateView();
    EXPECT_EQ(pop->btnTimer()->title(), "10 s");
    EXPECT_EQ(pop->btnRatio()->title(), "9:16");
    EXPECT_EQ(boxOf(*pop->btnRatio()->clo()->path()).size.width, 2 * 4.78125);

    // The shot-mode row is built but never shown.
    for (const auto& b : {pop->btnModePhoto(), pop->btnModeBurst(), pop->btnModeMotion(), pop->btnModeVideo()})
        EXPECT_TRUE(b->isHidden());
    EXPECT_TRUE(pop->lblMode()->isHidden());
}

TEST_F(Options, GridFlipsAtOnceAndTellsTheHost) {
    g()->setGridMode(true);
    open();
    pop->onGrid();
    EXPECT_FALSE(g()->gridMode());
    EXPECT_EQ(pop->btnGrid()->title(), "OFF");
    pop->onGrid();
    EXPECT_EQ(pop->btnGrid()->title(), "ON");
    pop->onSwap();
    EXPECT_EQ(listener->log, (std::vector<std::string>{"grid", "grid", "swap"}));
}

TEST_F(Options, TheHostHearsAChoiceBeforeTheChoicePopUpHidesAndTitlesRefreshAfter) {
    g()->setFlashMode(FlashMode::Off);
    open();
    pop->onFlash();
    step(0.4);
    auto flash = pop->popFlash();
    ASSERT_FALSE(flash->hidden());
    EXPECT_TRUE(flash->btnFlashOFF()->label() != nullptr);
    flash->choose(0);  // "AUTO"
    EXPECT_EQ(g()->flashMode(), FlashMode::Auto);
    EXPECT_EQ(listener->log, std::vector<std::string>{"flash (flash shown)"});
    EXPECT_EQ(pop->btnFlash()->title(), "OFF") << "refreshed when the hide completes";
    step(0.4);
    EXPECT_TRUE(flash->hidden());
    EXPECT_EQ(pop->btnFlash()->title(), "AUTO");

    // Choosing the value already chosen writes it again and still tells the host.
    pop->onFlash();
    step(0.4);
    g()->setFlashMode(FlashMode::Auto);
    flash->choose(0);
    EXPECT_EQ(listener->log.size(), 2u);
}

TEST_F(Options, TimerAndRatioChoices) {
    auto timer = pop->popTimer();
    g()->setTimerShot(4);
    timer->updateView();
    for (const auto& b : timer->buttons())
        EXPECT_EQ(b->label()->titleColorForState(UIControlStateNormal)->cgColor(), UIColor::whiteColor()->cgColor());
    timer->choose(3);
    EXPECT_EQ(g()->timerShot(), 10);
    EXPECT_EQ(timer->btnTimer10()->title(), "10 s");
    EXPECT_NE(timer->btnTimer10()->label()->titleColorForState(UIControlStateNormal)->cgColor(),
              UIColor::whiteColor()->cgColor());

    auto ratio = pop->popRatio();
    EXPECT_EQ(boxOf(*ratio->getBezierPath(ImageRatio::Ratio3x4)), (CGRect{{-6.375, -8.5}, {12.75, 17}}));
    EXPECT_EQ(boxOf(*ratio->getBezierPath(ImageRatio::Ratio1x1)), (CGRect{{-7, -7}, {14, 14}}));
    EXPECT_NEAR(boxOf(*ratio->getBezierPath(ImageRatio::Ratio2x3)).size.width, 34.0 / 3, 1e-12);
    ratio->updateView();
    std::vector<std::string> titles;
    for (const auto& b : ratio->buttons()) titles.push_back(b->title());
    EXPECT_EQ(titles, (std::vector<std::string>{"3:4", "9:16", "2:3", "1:1"}));
    ratio->choose(1);
    EXPECT_EQ(g()->imageRatio(), ImageRatio::Ratio9x16);
    EXPECT_EQ(listener->log, (std::vector<std::string>{"timer", "ratio"}));
}

TEST_F(Options, EachChoicePopUpTellsItsOwnDelegateKindWithItself) {
    auto heard = std::make_shared<ChoiceHeard>();
    auto flash = PopOptionFlashView::make(screenVC);
    auto timer = PopOptionTimerView::make(screenVC);
    auto ratio = PopOptionRatioView::make(screenVC);
    flash->setDelegate(heard);
    timer->setDelegate(heard);
    ratio->setDelegate(heard);
    ratio->choose(0);
    flash->choose(2);
    timer->choose(1);
    using Heard = std::vector<std::pair<std::string, const NSObject*>>;
    EXPECT_EQ(heard->log, (Heard{{"ratio", ratio.get()}, {"flash", flash.get()}, {"timer", timer.get()}}));

    // The pop-up does not keep its delegate alive; a tap after it has gone still writes the value.
    std::weak_ptr<ChoiceHeard> gone = heard;
    heard.reset();
    EXPECT_TRUE(gone.expired());
    flash->choose(0);
    EXPECT_EQ(g()->flashMode(), FlashMode::Auto);
}

TEST_F(Options, TheOptionPopUpTellsTheHostByTheKindOfTheChoicePopUp) {
    // Each choice reaches the host as its own operation, also when the option pop-up listens to a
    // choice pop-up it did not make; the pop-up that spoke is the one that hides.
    auto stray = PopOptionTimerView::make(screenVC);
    stray->setDelegate(pop);
    stray->show(
        sender, [] {}, [] {});
    step(0.4);
    stray->choose(2);
    pop->popRatio()->choose(3);
    pop->popFlash()->choose(1);
    EXPECT_EQ(listener->log, (std::vector<std::string>{"timer", "ratio", "flash (flash hidden)"}));
    step(0.4);
    EXPECT_TRUE(stray->hidden());
}

TEST_F(Options, ATapOutsideTellsTheHostBeforeTheHideStarts) {
    open();
    tap({360, 20});
    EXPECT_EQ(listener->log, std::vector<std::string>{"will hide (shown)"});
    step(0.4);
    EXPECT_TRUE(pop->hidden());
}
