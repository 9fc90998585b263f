// The manual-control menu: its entries, which controls it offers, "NOT SUPPORTED", taps outside
// and the memory of what it relayed to the host.
#include <gtest/gtest.h>

#include "camera/controls/pop_manual_exp_view.h"
#include "camera/controls/pop_manual_focus_view.h"
#include "camera/controls/pop_manual_invalid_view.h"
#include "camera/controls/pop_manual_wb_view.h"
#include "platform/ui/control/ui_button.h"
#include "tests/camera/controls/manual_test_support.h"
#include "widgets/button/icon_button.h"
#include "widgets/button/ns_string_font_awesome.h"
#include "widgets/scroll/scroll_label.h"

namespace {

struct Menu : ManualTest {
    void open() {
        menu->show(sender, [] {});
        step(0.4);
    }
    void take(PopManualControl& pop, const std::shared_ptr<ManualSliderView>& ruler, double value) {
        pop.onManualSliderViewDidChange(*ruler, value);
    }
};

}  // namespace

TEST_F(Menu, EntriesCarryTheGlyphOfAControlHeldByHand) {
    const std::string glyph = fa_stringForFontAwesomeIcon(PopManualView::kManualGlyph);
    EXPECT_EQ(menu->onMenuLabelViewGetArray(*menu->menu()),
              (std::vector<std::string>{"FOCUS ", "EXPOSURE ", "WHITE BALANCE "}));
    take(*menu->popExp(), menu->popExp()->sldISO(), 40);
    EXPECT_EQ(menu->onMenuLabelViewGetArray(*menu->menu()),
              (std::vector<std::string>{"FOCUS ", "EXPOSURE " + glyph, "WHITE BALANCE "}));
    EXPECT_TRUE(menu->isUserManual());
    menu->setAuto();
    EXPECT_FALSE(menu->isUserManual());
    EXPECT_EQ(menu->onMenuLabelViewGetArray(*menu->menu())[1], "EXPOSURE ");
}

TEST_F(Menu, ManualIsUnsupportedOnlyWhenNoControlCanBeSetByHand) {
    EXPECT_TRUE(menu->isManualSupported());
    auto caps = syntheticBackCameraCapabilities();
    caps.focusModes.erase(AVCaptureFocusMode::Locked);
    caps.exposureModes.erase(AVCaptureExposureMode::Custom);
    host->setDevice(makeCamera(caps));
    EXPECT_TRUE(menu->isManualSupported()) << "white balance is still there";
    caps.whiteBalanceModes.erase(AVCaptureWhiteBalanceMode::Locked);
    host->setDevice(makeCamera(caps));
    EXPECT_FALSE(menu->isManualSupported());
    host->setDevice(nullptr);
    EXPECT_FALSE(menu->isManualSupported());
}

TEST_F(Menu, ANewCameraSessionTakesTheHeldValuesOrReturnsToAutomaticWithoutThem) {
    auto exp = menu->popExp();
    exp->updateStatus();
    take(*exp, exp->sldShutterSpeed(), 40);
    exp->captureDidStart();
    drain();
    EXPECT_EQ(host->device()->exposureMode(), AVCaptureExposureMode::Custom) << "sent at once, not at a tick";
    EXPECT_TRUE(exp->timerRunning());
    // A camera that cannot take them: the control says automatic, as the camera is.
    auto caps = syntheticBackCameraCapabilities();
    caps.exposureModes.erase(AVCaptureExposureMode::Custom);
    host->setDevice(makeCamera(caps));
    exp->captureDidStart();
    EXPECT_FALSE(menu->isUserManual());
}

TEST_F(Menu, AnUnsupportedControlOpensNotSupportedUnderItsName) {
    auto caps = syntheticBackCameraCapabilities();
    caps.focusModes.erase(AVCaptureFocusMode::Locked);
    host->setDevice(makeCamera(caps));
    open();
    auto& entry = *menu->menu()->buttons()[0];
    menu->onMenuLabelViewLabelTap(*menu->menu(), 0, entry);
    step(0.4);
    EXPECT_FALSE(menu->popInvalid()->hidden());
    EXPECT_EQ(menu->popInvalid()->titleView()->lblTitle()->text(), "FOCUS");
    // Where the notice lies over the menu's own title, its plate hides that title.
    auto inWindow = [](const std::shared_ptr<UIView>& v) { return v->convertRectToView(v->bounds(), nullptr); };
    auto notice = menu->popInvalid()->label();
    if (CGRectIntersectsRect(inWindow(notice), inWindow(menu->titleView()->lblTitle()))) {
        ASSERT_TRUE(notice->backgroundColor()) << "the menu's title shows through the notice";
        EXPECT_DOUBLE_EQ(notice->backgroundColor()->cgColor().alpha, 1.0);
    }
    EXPECT_TRUE(menu->popFocus()->hidden());
    EXPECT_FALSE(menu->popFocus()->timerRunning());

    // A supported one opens its own pop-up; an index past the three does nothing.
    menu->onMenuLabelViewLabelTap(*menu->menu(), 1, *menu->menu()->buttons()[1]);
    step(0.4);
    EXPECT_FALSE(menu->popExp()->hidden());
    EXPECT_EQ(menu->popExp()->titleView()->lblTitle()->text(), "EXPOSURE");
    menu->onMenuLabelViewLabelTap(*menu->menu(), 3, entry);
}

TEST_F(Menu, ATapOutsideClosesOnlyTheTopPopUpAndTheMenuOffersAllAuto) {
    open();
    menu->menu()->onLabel(*menu->menu()->buttons()[0]);
    step(0.4);
    auto focus = menu->popFocus();
    ASSERT_FALSE(focus->hidden());
    take(*focus, focus->sldFocus(), 30);
    tick();
    tick();

    tap({5, 5});
    step(0.4);
    EXPECT_TRUE(focus->hidden());
    EXPECT_FALSE(menu->hidden());
    EXPECT_EQ(host->didHide, 0) << "the control reports to the menu, not to the host";
    EXPECT_EQ(menu->menu()->lastSelection(), -1);
    EXPECT_TRUE(menu->titleView()->btnRight() && !menu->titleView()->btnRight()->isHidden());
    EXPECT_TRUE(focus->timerRunning()) << "held by hand, it keeps the device in line while hidden";

    // A tap inside the panel keeps it; outside it closes the menu and tells the host.
    const CGRect panel = menu->container()->convertRectToView(menu->container()->bounds(), window);
    tap({panel.origin.x + 10, panel.origin.y + 10});
    step(0.4);
    EXPECT_FALSE(menu->hidden());
    tap({5, 5});
    step(0.4);
    EXPECT_TRUE(menu->hidden());
    EXPECT_EQ(host->didHide, 1);
}

TEST_F(Menu, TheTitleBarGivesWayWhileAControlIsOpenOverIt) {
    open();
    EXPECT_EQ(menu->titleView()->alpha(), 1);
    for (int entry : {1, 2}) {
        menu->onMenuLabelViewLabelTap(*menu->menu(), entry, *menu->menu()->buttons()[entry]);
        step(0.4);
        EXPECT_EQ(menu->titleView()->alpha(), 0) << "\"MANUAL CONTROL\" and ALL AUTO would show through";
        tap({5, 5});
        step(0.4);
        EXPECT_FALSE(menu->hidden());
        EXPECT_EQ(menu->titleView()->alpha(), 1) << "back once the control has closed";
    }
}

TEST_F(Menu, TheRelayMemoryIsSharedByTheThreeControls) {
    // Focus held by hand (hidden, its timer keeps running) and exposure open and automatic: each
    // settled tick of one undoes what the other relayed.
    take(*menu->popFocus(), menu->popFocus()->sldFocus(), 70);
    menu->popFocus()->restartTimer();
    menu->popExp()->show(sender, [] {});
    step(0.4);
    tick();
    host->changed.clear();
    tick();
    tick();
    ASSERT_GE(host->changed.size(), 3u);
    for (std::size_t i = 1; i < host->changed.size(); ++i) EXPECT_NE(host->changed[i], host->changed[i - 1]);

    // All three by hand: one relay at most, then quiet.
    take(*menu->popExp(), menu->popExp()->sldISO(), 40);
    take(*menu->popWB(), menu->popWB()->sldTint(), 40);
    menu->popWB()->restartTimer();
    tick();
    tick();
    host->changed.clear();
    tick();
    tick();
    EXPECT_TRUE(host->changed.empty());
}
