// The navigation, portrait, collection and cell screen bases.
#include <gtest/gtest.h>

#include "app/base/collection_base_controller.h"
#include "app/base/my_cell_view_controller.h"
#include "app/base/my_navigation_controller.h"
#include "app/base/my_volume_controller.h"
#include "app/shell/placeholder_controller.h"
#include "foundation/global.h"
#include "platform/host/device_input.h"
#include "platform/sensors/av_audio_session.h"
#include "platform/sensors/system_volume.h"
#include "platform/ui/bar/ui_navigation_bar_appearances.h"
#include "platform/ui/control/ui_activity_indicator_view.h"
#include "tests/app/app_test_support.h"
#include "ui/popup/hud_view.h"
#include "ui/theme/color.h"

namespace {

void resetBarLooks() {
    UINavigationBar::setDefaultAppearance({});
    UINavigationBarAppearances::compact().reset();
    UINavigationBarAppearances::scrollEdge().reset();
}

struct LandscapeScreen : PlaceholderController {
    UIInterfaceOrientationMask supportedInterfaceOrientations() const override {
        return UIInterfaceOrientationMaskLandscape;
    }
    bool prefersStatusBarHidden() const override { return true; }
};

TEST_F(AppTest, TheNavigationControllerAnswersWithItsTopScreenAndMakesLaterBarsOpaque) {
    resetBarLooks();
    auto nav = show(MyNavigationController::withRoot(make<LandscapeScreen>()));
    EXPECT_EQ(nav->supportedInterfaceOrientations(), UIInterfaceOrientationMaskLandscape);
    EXPECT_FALSE(nav->shouldAutorotateToInterfaceOrientation(UIInterfaceOrientation::Portrait));
    EXPECT_TRUE(nav->shouldAutorotateToInterfaceOrientation(UIInterfaceOrientation::LandscapeRight));
    EXPECT_TRUE(nav->prefersStatusBarHidden());
    EXPECT_FALSE(nav->automaticallyAdjustsScrollViewInsets());

    auto later = UINavigationBar::make();
    EXPECT_TRUE(later->standardAppearance().opaque);
    // The platform's own opaque look; only this controller's bar takes the app's colour.
    ASSERT_TRUE(later->standardAppearance().backgroundColor);
    EXPECT_EQ(later->standardAppearance().backgroundColor->cgColor(), UIColor::systemBackgroundColor()->cgColor());
    ASSERT_TRUE(nav->navigationBar()->barTintColor());
    EXPECT_EQ(nav->navigationBar()->barTintColor()->cgColor(),
              Global::shared()->color()->backgroundDefault()->cgColor());
    ASSERT_TRUE(UINavigationBarAppearances::compact() && UINavigationBarAppearances::scrollEdge());
    EXPECT_TRUE(UINavigationBarAppearances::scrollEdge()->opaque);
    resetBarLooks();
}

TEST_F(AppTest, TheNavigationControllerOwnsItsHuds) {
    auto nav = show(MyNavigationController::withRoot(make<LandscapeScreen>()));
    auto hud = nav->hudView();
    ASSERT_TRUE(hud);
    EXPECT_EQ(nav->hudView(), hud) << "made once";
    EXPECT_EQ(hud->vc(), nav);
    hud->show();
    EXPECT_EQ(hud->holder()->superview(), nav->view());
    EXPECT_TRUE(hud->shown());
    auto act = nav->hudAct();
    ASSERT_TRUE(act);
    EXPECT_EQ(nav->hudAct(), act);
    act->show(nav->navigationBar());
    settle();
    EXPECT_TRUE(act->shown());
    EXPECT_EQ(act->act()->frame().size, nav->navigationBar()->bounds().size);
}

TEST_F(AppTest, APortraitScreenKeepsPortraitOnAPhone) {
    auto screen = PortraitController::make();
    EXPECT_FALSE(screen->shouldAutorotate());
    EXPECT_EQ(screen->supportedInterfaceOrientations(), UIInterfaceOrientationMaskPortrait);
}

struct TabletAppTest : AppTest {
    const char* deviceName() const override { return "tablet"; }
};

TEST_F(TabletAppTest, APortraitScreenTurnsEverywayOnATablet) {
    auto screen = PortraitController::make();
    EXPECT_TRUE(screen->shouldAutorotate());
    EXPECT_EQ(screen->supportedInterfaceOrientations(), UIInterfaceOrientationMaskAll);
}

struct CountingCollection : CollectionBaseController {
    KORVA_MAKE(CountingCollection)
    int activations = 0, deactivations = 0;
    void appActivate() override { ++activations; }
    void appDeactivate() override { ++deactivations; }

protected:
    CountingCollection() = default;
};

TEST_F(AppTest, ACollectionScreenHearsTheApplicationOnceWhileShown) {
    auto screen = show(CountingCollection::make());
    for (int i = 0; i < 2; ++i) {
        screen->disappear(false);
        screen->appear(false);
    }
    screen->appAddObservers();
    auto center = NSNotificationCenter::defaultCenter();
    center->post(UIApplicationDidBecomeActiveNotification);
    center->post(UIApplicationWillEnterForegroundNotification);
    center->post(UIApplicationWillResignActiveNotification);
    center->post(UIApplicationSignificantTimeChangeNotification);
    EXPECT_EQ(screen->activations, 2);
    EXPECT_EQ(screen->deactivations, 1);
    screen->disappear(false);
    center->post(UIApplicationDidEnterBackgroundNotification);
    EXPECT_EQ(screen->deactivations, 1);
    EXPECT_EQ(screen->scrollHandler()->delegate().get(), static_cast<ScrollHandlerDelegate*>(screen.get()));
}

TEST_F(AppTest, LineCountsFollowTheFontHeightsAndNeverGoNegative) {
    auto cells = MyCellViewController::make();
    EXPECT_EQ(cells->calcNumberOfLinesTextOnly(100), 0);  // fonts not measured yet
    EXPECT_EQ(cells->calcNumberOfLinesDetail(100, 1), 0);
    cells->setFontHeights(16, 10);
    EXPECT_EQ(cells->calcNumberOfLinesTextOnly(50), 2);
    EXPECT_EQ(cells->calcNumberOfLinesTextOnly(51), 3);
    EXPECT_EQ(cells->calcNumberOfLinesTextOnly(-5), 0);
    EXPECT_EQ(cells->calcNumberOfLinesText(10 + 17 * 4, 3), 3);
    EXPECT_EQ(cells->calcNumberOfLinesText(10 + 17 * 2, 3), 2);
    EXPECT_EQ(cells->calcNumberOfLinesText(5, 3), 0);
    EXPECT_EQ(cells->calcNumberOfLinesDetail(17 + 28.5, 1), 3);  // v = 2.85
    EXPECT_EQ(cells->calcNumberOfLinesDetail(17 + 28.0, 1), 2);  // v = 2.8
    EXPECT_EQ(cells->calcNumberOfLinesDetail(10, 2), 0);

    show(cells);
    EXPECT_TRUE(cells->fontText1() && cells->fontIcon2() && cells->fontText2());
    EXPECT_GT(cells->fontHeight1(), 0);
    EXPECT_GT(cells->fontHeight2(), 0);
}

}  // namespace

namespace {
struct VolumeScreen : MyVolumeController {
    KORVA_MAKE(VolumeScreen)
    int changes = 0;
    bool isMyVolumeEnabled() const override { return true; }
    void onMyVolumeChanged() override { ++changes; }

protected:
    VolumeScreen() = default;
};
}  // namespace

TEST_F(AppTest, AVolumeScreenWatchesTheSessionsOutputVolumeWhileShown) {
    auto session = AVAudioSession::sharedInstance();
    const std::size_t before = session->observerCount("outputVolume");
    auto screen = show(VolumeScreen::make());
    EXPECT_TRUE(screen->observingAudioSession());
    EXPECT_EQ(session->observerCount("outputVolume"), before + 1) << "the session's volume is the one watched";
    DeviceInput input;
    input.buttonEvent(HostButton::VolumeUp, true);
    input.buttonEvent(HostButton::VolumeUp, false);
    EXPECT_EQ(screen->changes, 1);
    screen->disappear(false);
    EXPECT_FALSE(screen->observingAudioSession());
    EXPECT_EQ(session->observerCount("outputVolume"), before);
    input.buttonEvent(HostButton::VolumeDown, true);
    EXPECT_EQ(screen->changes, 1);
    SystemVolume::reset();
}
