// The camera screen's capture state machine on the synthetic camera: starting needs an appeared
// screen, repeated starts and stops are ignored without their completions, stops reset the points
// unless a stall restart keeps them, the permission memory, its first-use request and the
// approval that follows a denial, a refused camera (its taps ask for the settings, its missing
// frames restart nothing), a restart's timing, the hosts' presets, the controls' turn, the
// orientations the screen accepts and the guide's visibility.
#include <optional>

#include "app/base/my_navigation_controller.h"
#include "app/shell/root_controller.h"
#include "app/sidebar/root_controller_base.h"
#include "camera/overlays/guide_view.h"
#include "filter/glk_view.h"
#include "foundation/global.h"
#include "foundation/last_info.h"
#include "platform/dispatch/clock.h"
#include "platform/dispatch/notification_center.h"
#include "platform/runtime/log.h"
#include "platform/storage/sandbox.h"
#include "platform/ui/app/ui_application.h"
#include "platform/ui/control/ui_button.h"
#include "platform/ui/controller/ui_alert_controller.h"
#include "tests/camera/screen/camera_screen_test_support.h"
#include "ui/controls/anim_button.h"

using CameraScreenCaptureTest = CameraScreenTest;

namespace {

// Capture refused as the program's permission stand-in refuses it: the camera and the microphone.
struct RefusedCapture {
    explicit RefusedCapture(const char* status) {
        ::setenv("KORVA_CAPTURE_AUTH", status, 1);
        CaptureAuthorization::reset();
    }
    ~RefusedCapture() {
        ::unsetenv("KORVA_CAPTURE_AUTH");
        CaptureAuthorization::reset();
    }
};

}  // namespace

TEST_F(CameraScreenCaptureTest, StartNeedsAnAppearedScreenAndRunsOnceAtATime) {
    auto s = RecordingScreen::make();
    s->loadViewIfNeeded();
    int started = 0;
    s->start([&] { ++started; });
    settleAll();
    EXPECT_EQ(s->hosts().state(), ViewController::CaptureState::Idle);
    EXPECT_EQ(started, 0);

    screen = s;
    show(screen);  // appearing starts capture by itself
    ASSERT_TRUE(stepUntil([&] { return screen->hosts().state() == ViewController::CaptureState::Running; }));
    screen->stop({});
    ASSERT_TRUE(stepUntil([&] { return screen->hosts().state() == ViewController::CaptureState::Idle; }));

    int second = 0;
    screen->start([&] { ++started; });
    EXPECT_EQ(screen->hosts().state(), ViewController::CaptureState::Starting);
    screen->start([&] { ++second; });  // while starting: ignored
    ASSERT_TRUE(stepUntil([&] { return screen->hosts().state() == ViewController::CaptureState::Running; }));
    screen->start([&] { ++second; });  // while running: ignored
    step(0.1);
    EXPECT_EQ(started, 1);
    EXPECT_EQ(second, 0);
    EXPECT_TRUE(screen->previewRoad()->drawing());
}

TEST_F(CameraScreenCaptureTest, AStartWhileTheFirstIsStillStartingIsRefusedEvenAfterAStop) {
    showScreen();
    screen->stop({});
    ASSERT_TRUE(stepUntil([&] { return screen->hosts().state() == ViewController::CaptureState::Idle; }));

    int first = 0, second = 0, stopped = 0;
    screen->start([&] { ++first; });
    screen->stop([&] { ++stopped; });  // the host is no longer running, but its start is under way
    screen->start([&] { ++second; });
    step(0.2);
    EXPECT_EQ(first, 1);
    EXPECT_EQ(stopped, 1);
    EXPECT_EQ(second, 0) << "no second host was built while the first was starting";
    EXPECT_EQ(screen->hosts().state(), ViewController::CaptureState::Idle);
    EXPECT_FALSE(screen->hosts().stored()) << "the stop leaves no host behind";

    screen->start([&] { ++second; });  // once settled, a start works again
    ASSERT_TRUE(stepUntil([&] { return screen->hosts().state() == ViewController::CaptureState::Running; }));
    EXPECT_EQ(second, 1);
}

TEST_F(CameraScreenCaptureTest, StopIsIgnoredWhileStoppingOrWithoutAHostAndResetsThePoints) {
    showScreen();
    screen->setLastFocused({0.2, 0.3});
    int stopped = 0;
    screen->stop([&] { ++stopped; });
    EXPECT_EQ(screen->hosts().state(), ViewController::CaptureState::Stopping);
    EXPECT_FALSE(screen->previewRoad()->drawing());
    EXPECT_EQ(screen->lastFocused(), (CGPoint{0.5, 0.5}));
    screen->stop([&] { ++stopped; });  // while stopping
    ASSERT_TRUE(stepUntil([&] { return screen->hosts().state() == ViewController::CaptureState::Idle; }));
    EXPECT_EQ(stopped, 1);
    EXPECT_FALSE(screen->hosts().stored());
    EXPECT_FALSE(screen->previewIfMade());
    screen->stop([&] { ++stopped; });  // without a host
    step(0.1);
    EXPECT_EQ(stopped, 1);
}

TEST_F(CameraScreenCaptureTest, RestartChainsStopAndStartWithAFreshHost) {
    showScreen();
    auto first = screen->hosts().stored();
    int restarted = 0;
    screen->restart([&] { ++restarted; });
    ASSERT_TRUE(stepUntil([&] { return restarted == 1; }));
    ASSERT_TRUE(stepUntil([&] { return screen->previewRoad()->readyScreenRect(); }));
    EXPECT_NE(screen->hosts().stored(), first);
    EXPECT_EQ(screen->hosts().state(), ViewController::CaptureState::Running);

    // The new session's first picture is drawn when it arrives, without waiting for a drawing tick.
    const auto second = screen->hosts().stored();
    screen->restart({});
    const double began = Clock::now();
    ASSERT_TRUE(stepUntil([&] {
        auto preview = screen->previewIfMade();
        return preview && screen->hosts().stored() != second && preview->presentCount() > 0;
    }));
    EXPECT_LT(Clock::now() - began, PreviewRoad::kRenderInterval);
}

TEST_F(CameraScreenCaptureTest, ARestartIsTimedFromItsOwnBeginningThoughTheOldSessionDrawsWhileItStops) {
    showScreen();
    const auto first = screen->hosts().stored();
    LogCapture log;
    screen->restart({});
    // The old session's last frame, already on its way to the main queue, arrives as it stops.
    screen->previewRoad()->showFrame(screen->previewRoad()->lastSample(), 3.0 / 4);
    ASSERT_TRUE(stepUntil([&] { return screen->hosts().stored() != first && screen->previewRoad()->drawing(); }));
    std::optional<double> stoppedAfter;
    for (const auto& line : log.lines())
        if (auto at = line.find("capture stopped after "); at != std::string::npos)
            stoppedAfter = std::stod(line.substr(at + 22));
    ASSERT_TRUE(stoppedAfter);
    EXPECT_LT(*stoppedAfter, 1.0);
    EXPECT_TRUE(log.contains("capture started after"));
}

TEST_F(CameraScreenCaptureTest, ThePhotoHostTriesUltraHighDefinitionFirstAndTheVideoHostDropsPhotoOnAPhone) {
    auto s = RecordingScreen::make();
    auto photo = s->hosts().photo();
    EXPECT_EQ(photo->presets(),
              (std::vector<std::string>{AVCaptureSessionPreset::P3840x2160, AVCaptureSessionPreset::Photo}));
    EXPECT_EQ(s->hosts().current(), photo);
    auto video = s->hosts().video();
    ASSERT_FALSE(video->presets().empty());
    EXPECT_EQ(video->presets().front(), AVCaptureSessionPreset::High);
    EXPECT_EQ(video->presets().size(), 8u);
    // Only the video shot mode asks for the video host.
    Global::shared()->setShotMode(ShotMode::Video);
    EXPECT_EQ(s->hosts().current(), video);
}

TEST_F(CameraScreenCaptureTest, ADenialIsRememberedAndOnlyALaterApprovalRestartsOnce) {
    showScreen();
    auto assistant = screen->assist();
    auto path = Sandbox::libraryDirectory() + "/ViewController.3";

    // Approval without a denial: nothing moves.
    auto host = screen->hosts().stored();
    asAssistantDelegate(*screen).onCameraAssistantCameraAuthApproved(assistant);
    step(0.2);
    EXPECT_EQ(screen->hosts().stored(), host);

    asAssistantDelegate(*screen).onCameraAssistantCameraAuthDenied(assistant);
    ASSERT_TRUE(stepUntil([&] { return screen->hosts().state() == ViewController::CaptureState::Idle; }));
    EXPECT_TRUE(LastInfo::make(path)->get("lastCameraDenied").boolValue());

    // Back in the foreground capture starts; the assistant's check there finds the camera
    // approved, which restarts capture and forgets the denial.
    screen->start({});
    ASSERT_TRUE(stepUntil([&] { return LastInfo::make(path)->get("lastCameraDenied").isNull(); }));
    ASSERT_TRUE(stepUntil([&] { return screen->previewRoad()->readyScreenRect(); }));
    auto running = screen->hosts().stored();
    asAssistantDelegate(*screen).onCameraAssistantMicrophoneAuthApproved(assistant);
    step(0.5);
    EXPECT_EQ(screen->hosts().stored(), running);
}

TEST_F(CameraScreenCaptureTest, WithTheCameraRefusedEveryTapOnThePictureOnlyAsksForTheSettings) {
    auto app = UIApplication::sharedApplication();
    app->finishLaunching();
    struct Case {
        const char* status;
        bool fromTheStart;  // else refused while the program is in the background
    };
    for (Case c : {Case{"denied", true}, Case{"restricted", true}, Case{"denied", false}}) {
        SCOPED_TRACE(std::string(c.status) + (c.fromTheStart ? " from the start" : " in the background"));
        std::optional<RefusedCapture> refused;
        LogCapture log;
        // The alert on screen (once its appearance is over), answered with its OK.
        auto alertAnswered = [&] {
            step(0.5);
            auto alert = std::dynamic_pointer_cast<UIAlertController>(screen->presentedViewController());
            if (!alert) return false;
            EXPECT_EQ(alert->message(), "Camera Authorization Required");
            EXPECT_EQ(alert->actions().size(), 1u) << "OK, which opens the settings, and nothing else";
            if (!alert->actions().empty()) alert->chooseAction(alert->actions().front());
            step(0.5);
            EXPECT_FALSE(screen->presentedViewController());
            return true;
        };
        if (c.fromTheStart) {
            refused.emplace(c.status);
            screen = std::dynamic_pointer_cast<RecordingScreen>(
                UIStoryboard::mainStoryboard()->instantiateViewControllerWithIdentifier("ViewController"));
            show(screen);
        } else {
            showScreen();
            app->toggleBackground();  // as the window host's Escape
            step(1);
            refused.emplace(c.status);
            log.clear();
            app->toggleBackground();
        }
        EXPECT_TRUE(alertAnswered()) << "the start's alert";
        step(2);  // past the stall limit
        const CGRect bounds = screen->view()->bounds();
        for (CGPoint p : {CGPoint{bounds.size.width / 2, bounds.size.height * 0.4},
                          CGPoint{bounds.size.width * 0.2, bounds.size.height * 0.6},
                          CGPoint{bounds.size.width / 2, bounds.size.height * 0.4}}) {
            tap(p);
            EXPECT_TRUE(alertAnswered()) << "a tap at " << p.x << ", " << p.y;
        }
        EXPECT_EQ(screen->lastFocused(), (CGPoint{0.5, 0.5}));
        EXPECT_EQ(screen->hosts().state(), ViewController::CaptureState::Idle);
        EXPECT_FALSE(screen->previewRoad()->drawing()) << "the stopped capture is still watched for frames";
        EXPECT_EQ(screen->shotPhase(), ShotPhase::Idle);
        EXPECT_FALSE(log.contains("capture restart begins")) << "a refused camera is not a stalled one";
        EXPECT_TRUE(libraryPhotos().empty());
        window->setRootViewController(nullptr);
        settleAll();
        screen = nullptr;
    }
}

// On first use the permission is asked for: the denial that stops capture until the answer comes
// must not leave capture stopped once it is granted.
TEST_F(CameraScreenCaptureTest, OnFirstUseTheGrantStartsTheCameraAndARefusalShowsTheAlert) {
    for (bool granted : {true, false}) {
        SCOPED_TRACE(granted ? "granted" : "refused");
        CaptureAuthorization::reset();
        CaptureAuthorization::setStatus(AVMediaType::Video, AVAuthorizationStatus::NotDetermined);
        CaptureAuthorization::setRequestAnswer(AVMediaType::Video, granted);
        screen = std::dynamic_pointer_cast<RecordingScreen>(
            UIStoryboard::mainStoryboard()->instantiateViewControllerWithIdentifier("ViewController"));
        show(screen);
        auto framesShown = [&] {
            auto preview = screen->previewIfMade();
            return preview && preview->presentCount() > 0;
        };
        if (granted) {
            ASSERT_TRUE(stepUntil(framesShown, 1.0)) << "no frame within a second of the grant";
            EXPECT_EQ(CaptureAuthorization::requestCount(AVMediaType::Video), 1);
            EXPECT_FALSE(screen->presentedViewController());
            const auto host = screen->hosts().stored();
            screen->onShot();
            EXPECT_TRUE(stepUntil([&] { return libraryPhotos().size() == 1; }));
            step(3);
            EXPECT_EQ(screen->hosts().stored(), host) << "the running camera was restarted";
        } else {
            step(1);
            auto alert = std::dynamic_pointer_cast<UIAlertController>(screen->presentedViewController());
            ASSERT_TRUE(alert);
            EXPECT_EQ(alert->message(), "Camera Authorization Required");
            EXPECT_EQ(screen->hosts().state(), ViewController::CaptureState::Idle);
            EXPECT_FALSE(framesShown());
        }
        window->setRootViewController(nullptr);
        settleAll();
        screen = nullptr;
    }
    EXPECT_EQ(libraryPhotos().size(), 1u);
}

// The approval after a denial finds capture stopping or stopped (the denial stopped it): either
// way capture starts, unless the program went to the background meanwhile.
TEST_F(CameraScreenCaptureTest, AnApprovalAfterADenialStartsCaptureWhetherItsStopHasEndedOrNot) {
    auto app = UIApplication::sharedApplication();
    app->finishLaunching();
    showScreen();
    auto& delegate = asAssistantDelegate(*screen);
    const auto assistant = screen->assist();
    const auto state = [&] { return screen->hosts().state(); };
    for (bool stopEnded : {false, true}) {
        SCOPED_TRACE(stopEnded ? "stopped" : "stopping");
        delegate.onCameraAssistantCameraAuthDenied(assistant);
        if (stopEnded) {
            ASSERT_TRUE(stepUntil([&] { return state() == ViewController::CaptureState::Idle; }));
        }
        EXPECT_EQ(state(), stopEnded ? ViewController::CaptureState::Idle : ViewController::CaptureState::Stopping);
        delegate.onCameraAssistantCameraAuthApproved(assistant);
        ASSERT_TRUE(stepUntil([&] { return screen->previewRoad()->readyScreenRect(); }));
    }
    // Approved while stopping, then sent to the background before the stop ends: capture stays
    // stopped until the program returns.
    delegate.onCameraAssistantCameraAuthDenied(assistant);
    delegate.onCameraAssistantCameraAuthApproved(assistant);
    app->toggleBackground();
    step(1);
    EXPECT_EQ(state(), ViewController::CaptureState::Idle);
    delegate.onCameraAssistantCameraAuthDenied(assistant);
    delegate.onCameraAssistantCameraAuthApproved(assistant);
    step(1);
    EXPECT_EQ(state(), ViewController::CaptureState::Idle);
    app->toggleBackground();
    EXPECT_TRUE(stepUntil([&] { return screen->previewRoad()->readyScreenRect(); }));
}

TEST_F(CameraScreenCaptureTest, ACameraRefusedWhileCaptureRunsIsNotRestartedAsAStalledOne) {
    showScreen();
    const RefusedCapture refused("denied");
    LogCapture log;
    screen->restartCamera(true);  // as a change of ratio does: the new session gets no camera
    step(3);
    EXPECT_FALSE(log.contains("capture restart begins"));
    const CGRect bounds = screen->view()->bounds();
    tap({bounds.size.width / 2, bounds.size.height * 0.4});
    auto alert = std::dynamic_pointer_cast<UIAlertController>(screen->presentedViewController());
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->message(), "Camera Authorization Required");
}

TEST_F(CameraScreenCaptureTest, ACorruptPermissionStoreIsSetAsideAndTheScreenStillWorks) {
    writeFile("data/Library/ViewController.3", "not an archive");
    showScreen();
    asAssistantDelegate(*screen).onCameraAssistantCameraAuthDenied(screen->assist());
    ASSERT_TRUE(stepUntil([&] { return screen->hosts().state() == ViewController::CaptureState::Idle; }));
    EXPECT_TRUE(LastInfo::make(Sandbox::libraryDirectory() + "/ViewController.3")->get("lastCameraDenied").boolValue());
    screen->start({});
    EXPECT_TRUE(stepUntil([&] { return screen->previewRoad()->readyScreenRect(); }));
}

TEST_F(CameraScreenCaptureTest, OnlyTheFourOrientationsTurnTheControls) {
    auto s = RecordingScreen::make();
    s->loadViewIfNeeded();
    s->updateOrientation(0);
    s->updateOrientation(5);
    EXPECT_EQ(s->lastOrientation(), 1);
    s->updateOrientation(3);
    EXPECT_EQ(s->lastOrientation(), 4);
    EXPECT_TRUE(s->isLandscape());
    EXPECT_NEAR(s->lastTransform().b, 1.0, 1e-12);  // +pi/2
    step(0.3);
    EXPECT_NEAR(s->views().btnShot->transform().b, 1.0, 1e-9);
    EXPECT_NEAR(s->views().btnMenu->transform().b, 1.0, 1e-9);
}

TEST_F(CameraScreenCaptureTest, TheScreenAndTheContainersAroundItAcceptPortraitEitherWayUp) {
    // The window's root, plain or with the side bar, shows the screen through the content
    // switcher; a pushed screen sits in a navigation controller. Each passes the question on to
    // the camera screen.
    auto root = std::dynamic_pointer_cast<RootController>(
        UIStoryboard::mainStoryboard()->instantiateViewControllerWithIdentifier("RootController"));
    ASSERT_TRUE(root);
    root->loadViewIfNeeded();
    auto shown = std::dynamic_pointer_cast<ViewController>(root->main()->vc());
    ASSERT_TRUE(shown) << "the root shows the camera screen";
    // The side-bar root with a stand-in side menu and the camera screen as its content.
    UIStoryboard::mainStoryboard()->registerController(RootControllerBase::kMenuID,
                                                       [] { return UIViewController::make(); });
    auto sideBarRoot = std::dynamic_pointer_cast<RootControllerBase>(
        UIStoryboard::mainStoryboard()->instantiateViewControllerWithIdentifier(RootControllerBase::kStoryboardID));
    ASSERT_TRUE(sideBarRoot);
    ASSERT_TRUE(std::dynamic_pointer_cast<ViewController>(sideBarRoot->main()->setName("ViewController")));
    ASSERT_EQ(sideBarRoot->contentViewController(), sideBarRoot->main());
    auto pushed = RecordingScreen::make();
    auto nav = MyNavigationController::withRoot(pushed);
    const std::pair<const char*, std::shared_ptr<UIViewController>> askers[] = {{"screen", shown},
                                                                                {"root", root},
                                                                                {"switcher", root->main()},
                                                                                {"side-bar root", sideBarRoot},
                                                                                {"navigation", nav}};
    for (const auto& [name, asker] : askers) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(asker->shouldAutorotateToInterfaceOrientation(UIInterfaceOrientation::Portrait));
        EXPECT_TRUE(asker->shouldAutorotateToInterfaceOrientation(UIInterfaceOrientation::PortraitUpsideDown));
        EXPECT_FALSE(asker->shouldAutorotateToInterfaceOrientation(UIInterfaceOrientation::LandscapeLeft));
        EXPECT_FALSE(asker->shouldAutorotateToInterfaceOrientation(UIInterfaceOrientation::LandscapeRight));
        EXPECT_FALSE(asker->shouldAutorotateToInterfaceOrientation(UIInterfaceOrientation::Unknown));
        // Still held in portrait: it turns by itself to no orientation.
        EXPECT_FALSE(asker->shouldAutorotate());
        EXPECT_EQ(asker->supportedInterfaceOrientations(), UIInterfaceOrientationMaskPortrait);
    }
}

TEST_F(CameraScreenCaptureTest, TheGuideShowsOnlyWhileCaptureRunsWithTheGridOn) {
    Global::shared()->setGridMode(true);
    showScreen();
    EXPECT_FALSE(screen->views().guideView->isHidden());
    screen->stop({});
    screen->updateView();
    EXPECT_TRUE(screen->views().guideView->isHidden());
    ASSERT_TRUE(stepUntil([&] { return screen->hosts().state() == ViewController::CaptureState::Idle; }));
    screen->start({});
    screen->updateView();
    EXPECT_TRUE(screen->views().guideView->isHidden());  // starting
    ASSERT_TRUE(stepUntil([&] { return screen->previewRoad()->readyScreenRect(); }));
    EXPECT_FALSE(screen->views().guideView->isHidden());
    Global::shared()->setGridMode(false);
    screen->updateView();
    EXPECT_TRUE(screen->views().guideView->isHidden());
}

TEST_F(CameraScreenCaptureTest, ResigningActiveStopsAndBecomingActiveStartsAgain) {
    showScreen();
    auto center = NSNotificationCenter::defaultCenter();
    center->post(UIApplicationWillResignActiveNotification, nullptr);
    ASSERT_TRUE(stepUntil([&] { return screen->hosts().state() == ViewController::CaptureState::Idle; }));
    // The quiet notifications change nothing.
    center->post(UIApplicationSignificantTimeChangeNotification, nullptr);
    center->post(UIApplicationDidReceiveMemoryWarningNotification, nullptr);
    step(0.2);
    EXPECT_EQ(screen->hosts().state(), ViewController::CaptureState::Idle);
    center->post(UIApplicationDidBecomeActiveNotification, nullptr);
    EXPECT_TRUE(stepUntil([&] { return screen->previewRoad()->readyScreenRect(); }));
}

TEST_F(CameraScreenCaptureTest, SessionEventsFromTheCaptureQueueReachTheScreenOnTheMainThread) {
    showScreen();
    auto host = screen->hosts().stored();
    bool ready = true;
    dispatch_sync(host->q(), [&] { asHostDelegate(*screen).onCameraHostWillSessionStart(host); });
    ready = screen->previewRoad()->readyScreenRect();
    EXPECT_TRUE(ready);  // not touched off the main thread
    settleAll();
    EXPECT_FALSE(screen->previewRoad()->readyScreenRect());
}
