// The headless host: synthetic input on the virtual clock, frames, PNG snapshots read back, and
// the fall-back from the window host.
#include "platform/host/headless_host.h"

#include <SDL.h>
#include <cairo.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "platform/dispatch/clock.h"
#include "platform/dispatch/notification_center.h"
#include "platform/dispatch/run_loop.h"
#include "platform/dispatch/timer.h"
#include "platform/host/device_input.h"
#include "platform/host/window_host.h"
#include "platform/sensors/cm_motion_manager.h"
#include "platform/sensors/system_volume.h"
#include "platform/ui/app/ui_application.h"
#include "platform/ui/app/ui_window.h"
#include "platform/ui/control/ui_button.h"
#include "platform/ui/control/ui_scroll_view.h"
#include "platform/ui/controller/ui_view_controller.h"
#include "platform/ui/gesture/ui_pinch_gesture_recognizer.h"
#include "platform/ui/gesture/ui_tap_gesture_recognizer.h"
#include "platform/ui/gesture/ui_touch_dispatcher.h"
#include "platform/ui/input/ui_text_view.h"
#include "platform/ui/table/ui_table_view.h"
#include "sample_view_tree.h"
#include "tests/platform/host/dummy_window_driver.h"

namespace {

struct Recorder : HostEventSink {
    std::vector<HostTouchEvent> touches;
    std::vector<std::pair<HostButton, bool>> buttons;
    double tiltX = 0, tiltY = 0;
    int statusBarTaps = 0;
    void touchEvent(const HostTouchEvent& e) override { touches.push_back(e); }
    void statusBarTap() override { ++statusBarTaps; }
    std::vector<std::optional<double>> madeAt;
    void buttonEvent(HostButton b, bool pressed, std::optional<double> made) override {
        buttons.emplace_back(b, pressed);
        madeAt.push_back(made);
    }
    void tilt(double dx, double dy) override {
        tiltX += dx;
        tiltY += dy;
    }
};

struct HeadlessHostTest : ::testing::Test {
    void SetUp() override {
        Clock::useVirtual();
        UIApplication::resetSharedApplication();
        HostOptions options;
        options.kind = HostKind::Headless;
        options.screen = *DeviceModel::named("home-button");
        host = std::make_unique<HeadlessHost>(options);
        host->setEventSink(recorder);
        dir = std::filesystem::temp_directory_path() / ("korva-host-test-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
    }
    void TearDown() override {
        std::filesystem::remove_all(dir);
        // The shared application goes as it came (a case may hide its status bar).
        UIApplication::resetSharedApplication();
        UIScreen::setMainScreen(UIScreen::make());
        Clock::useReal();
    }
    std::unique_ptr<HeadlessHost> host;
    std::shared_ptr<Recorder> recorder = std::make_shared<Recorder>();
    std::filesystem::path dir;
};

// A list filling the screen, scrolled down, under a button that lies in the status bar's strip (as
// a screen's close button may). It counts the button's taps and the status bar's asks to go up.
struct StripScene : UIScrollViewDelegate {
    static std::shared_ptr<StripScene> make(CGRect buttonFrame) {
        auto s = std::make_shared<StripScene>();
        s->window = UIWindow::make();
        s->window->makeKeyAndVisible();
        s->list = UIScrollView::make(s->window->bounds());
        s->list->setContentSize({s->window->bounds().size.width, 5000});
        s->list->setContentOffset({0, 800});
        s->list->setDelegate(s);
        s->window->addSubview(s->list);
        s->button = UIButton::make(buttonFrame);
        s->button->addAction([p = s.get()](UIControl&) { ++p->buttonTaps; }, UIControlEventTouchUpInside);
        s->window->addSubview(s->button);
        return s;
    }
    std::optional<bool> scrollViewShouldScrollToTop(UIScrollView&) override {
        ++toTopAsks;
        return true;
    }
    std::shared_ptr<UIWindow> window;
    std::shared_ptr<UIScrollView> list;
    std::shared_ptr<UIButton> button;
    int buttonTaps = 0, toTopAsks = 0;
};

struct Png {
    cairo_surface_t* surface;
    explicit Png(const std::string& path) : surface(cairo_image_surface_create_from_png(path.c_str())) {}
    ~Png() { cairo_surface_destroy(surface); }
    bool ok() const { return cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS; }
    int width() const { return cairo_image_surface_get_width(surface); }
    int height() const { return cairo_image_surface_get_height(surface); }
    // 0xAARRGGBB, premultiplied.
    std::uint32_t at(int x, int y) const {
        auto* data = cairo_image_surface_get_data(surface);
        return *reinterpret_cast<std::uint32_t*>(data + y * cairo_image_surface_get_stride(surface) + 4 * x);
    }
};

}  // namespace

TEST_F(HeadlessHostTest, TapDragLongPressAndPinchArriveAsTimedTouchSequences) {
    double t0 = Clock::now();
    host->tap({100, 200});
    ASSERT_EQ(recorder->touches.size(), 2u);
    EXPECT_EQ(recorder->touches[0].touches[0].phase, UITouchPhase::Began);
    EXPECT_EQ(recorder->touches[1].touches[0].phase, UITouchPhase::Ended);
    EXPECT_EQ(recorder->touches[1].touches[0].location, CGPointMake(100, 200));
    EXPECT_NEAR(recorder->touches[1].timestamp - recorder->touches[0].timestamp, 0.05, 1e-9);
    EXPECT_NEAR(recorder->touches[0].timestamp, t0, 1e-9);

    recorder->touches.clear();
    host->drag({0, 0}, {100, 50}, 0.5, 5);
    ASSERT_EQ(recorder->touches.size(), 7u);  // began, 5 moves, ended
    for (std::size_t i = 1; i < recorder->touches.size(); ++i) {
        EXPECT_GE(recorder->touches[i].touches[0].location.x, recorder->touches[i - 1].touches[0].location.x);
        EXPECT_GE(recorder->touches[i].timestamp, recorder->touches[i - 1].timestamp);
    }
    EXPECT_EQ(recorder->touches[5].touches[0].location, CGPointMake(100, 50));
    EXPECT_NEAR(recorder->touches.back().timestamp - recorder->touches.front().timestamp, 0.5, 1e-9);

    // A timer due during a long press fires before the finger lifts.
    recorder->touches.clear();
    double firedAt = 0;
    auto timer = NSTimer::scheduledTimer(0.5, false, [&](const auto&) { firedAt = Clock::now(); });
    host->longPress({10, 10}, 1.0);
    ASSERT_EQ(recorder->touches.size(), 2u);
    EXPECT_GT(firedAt, recorder->touches[0].timestamp);
    EXPECT_LT(firedAt, recorder->touches[1].timestamp);

    recorder->touches.clear();
    host->pinch({200, 300}, 100, 200, 0.2, 4);
    ASSERT_EQ(recorder->touches.size(), 6u);
    auto spread = [](const HostTouchEvent& e) { return e.touches[1].location.x - e.touches[0].location.x; };
    EXPECT_EQ(recorder->touches.front().touches.size(), 2u);
    EXPECT_NEAR(spread(recorder->touches.front()), 100, 1e-9);
    EXPECT_NEAR(spread(recorder->touches.back()), 200, 1e-9);
    EXPECT_NE(recorder->touches.front().touches[0].identifier, recorder->touches.front().touches[1].identifier);

    const double pressedAt = Clock::now();
    host->pressButton(HostButton::VolumeUp);
    ASSERT_EQ(recorder->buttons.size(), 2u);
    EXPECT_TRUE(recorder->buttons[0].second);
    EXPECT_FALSE(recorder->buttons[1].second);
    // Each carries when it was made: the press as it went down, the release 50 ms later.
    ASSERT_TRUE(recorder->madeAt[0] && recorder->madeAt[1]);
    EXPECT_DOUBLE_EQ(*recorder->madeAt[0], pressedAt);
    EXPECT_NEAR(*recorder->madeAt[1] - *recorder->madeAt[0], 0.05, 1e-9);
    host->tilt(0.1, -0.2);
    EXPECT_NEAR(recorder->tiltY, -0.2, 1e-12);

    // The status bar's tap is not a touch, and a hidden bar has none.
    recorder->touches.clear();
    EXPECT_TRUE(host->tapStatusBar());
    UIApplication::sharedApplication()->setStatusBarHidden(true);
    EXPECT_FALSE(host->tapStatusBar());
    EXPECT_EQ(recorder->statusBarTaps, 1);
    EXPECT_TRUE(recorder->touches.empty());

    // Input without a sink goes nowhere, without failing.
    recorder.reset();
    host->tap({1, 1});
}

TEST_F(HeadlessHostTest, TheStatusBarsStripGivesAControlItsTapAndTakesTheListUpFromNothing) {
    // The notched screen's 47-point strip, with a 30-point button in it; touches go to the views,
    // as in the running program.
    HostOptions options;
    options.kind = HostKind::Headless;
    options.screen = *DeviceModel::named("notched");
    host = std::make_unique<HeadlessHost>(options);
    auto input = std::make_shared<DeviceInput>();
    host->setEventSink(input);
    UITouchDispatcher::shared()->cancelAll();
    auto scene = StripScene::make({10, 10, 30, 30});

    host->tap({25, 25});  // on the button, inside the strip
    host->step(1);
    EXPECT_EQ(scene->buttonTaps, 1);
    EXPECT_EQ(scene->toTopAsks, 0);
    EXPECT_EQ(scene->list->contentOffset().y, 800);

    host->tap({200, 25});  // on the strip over nothing that takes a tap: the list goes up
    host->step(1);
    EXPECT_EQ(scene->toTopAsks, 1);
    EXPECT_EQ(scene->list->contentOffset().y, 0);
    EXPECT_EQ(scene->buttonTaps, 1);

    // The bar tapped directly, and a tap below the strip, which is the list's own.
    scene->list->setContentOffset({0, 800});
    EXPECT_TRUE(host->tapStatusBar());
    host->step(1);
    EXPECT_EQ(scene->toTopAsks, 2);
    EXPECT_EQ(scene->list->contentOffset().y, 0);
    scene->list->setContentOffset({0, 800});
    host->tap({200, 60});
    host->step(1);
    EXPECT_EQ(scene->toTopAsks, 2);

    // A drag from the strip is no tap, and with the bar hidden the strip is the views' alone.
    host->drag({200, 20}, {200, 400});
    host->step(1);
    EXPECT_EQ(scene->toTopAsks, 2);
    UIApplication::sharedApplication()->setStatusBarHidden(true);
    scene->list->setContentOffset({0, 800});
    host->tap({200, 25});
    host->step(1);
    EXPECT_EQ(scene->toTopAsks, 2);
    EXPECT_EQ(scene->list->contentOffset().y, 800);
    UIApplication::sharedApplication()->setStatusBarHidden(false);
    UITouchDispatcher::shared()->cancelAll();

    // Each way a touch on the strip is taken, or not, by what lies under it: the case's view over
    // the list (which alone scrolls to the top), the gesture, and whether the view did its part.
    struct Rows : UITableViewDataSource, UITableViewDelegate {
        int selected = 0;
        std::size_t numberOfRowsInSection(UITableView&, std::size_t) override { return 20; }
        std::shared_ptr<UITableViewCell> cellForRowAtIndexPath(UITableView& t, NSIndexPath p) override {
            return t.dequeueReusableCellWithIdentifier("row", p);
        }
        void didSelectRowAtIndexPath(UITableView&, NSIndexPath) override { ++selected; }
    };
    int fired = 0;
    auto rows = std::make_shared<Rows>();
    std::shared_ptr<UITextView> text;
    auto tapper = [&](int taps) {
        auto v = UIView::make(CGRect{{100, 5}, {120, 30}});
        auto r = UITapGestureRecognizer::make([&](UIGestureRecognizer&) { ++fired; });
        r->setNumberOfTapsRequired(taps);
        UIViewAddGestureRecognizer(*v, r);
        return v;
    };
    auto textView = [&](bool editable, bool selectable) {
        text = UITextView::make(CGRect{{0, 0}, {390, 47}});
        text->setText("https://example.org/a");
        text->setEditable(editable);
        text->setSelectable(selectable);
        text->setDataDetectorTypes(UIDataDetectorTypeLink);
        text->setScrollsToTop(false);
        return std::static_pointer_cast<UIView>(text);
    };
    auto tapAt = [&](CGPoint p) { return [this, p] { host->tap(p); }; };
    std::size_t urlsBefore = 0;
    auto opened = [&] { return UIApplication::sharedApplication()->openedURLs().size() - urlsBefore; };
    struct Case {
        const char* name;
        std::function<std::shared_ptr<UIView>()> view;  // none: no view at all under the strip
        std::function<void()> gesture;
        int barTaps;
        std::function<bool()> viewDidItsPart;
    };
    const std::vector<Case> cases = {
        {"a recogniser that recognises the tap", [&] { return tapper(1); }, tapAt({150, 20}), 0,
         [&] { return fired == 1; }},
        {"a double-tap recogniser waiting for its second tap", [&] { return tapper(2); }, tapAt({150, 20}), 0,
         [&] { return fired == 0; }},
        {"a list's row",
         [&] {
             auto table = UITableView::make(CGRect{{0, 0}, {390, 300}});
             table->registerClass<UITableViewCell>("row");
             table->setDataSource(rows);
             table->setDelegate(rows);
             table->setScrollsToTop(false);
             table->layoutIfNeeded();
             return std::static_pointer_cast<UIView>(table);
         },
         tapAt({150, 20}), 0, [&] { return rows->selected == 1; }},
        {"a drag from the strip to below it over a plain view",
         [] {
             return UIView::make(CGRect{{0, 0}, {390, 400}});
         },
         [this] {
             host->drag({200, 20}, {200, 300});
         },
         0, [] { return true; }},
        {"a plain view",
         [] {
             return UIView::make(CGRect{{0, 0}, {390, 400}});
         },
         tapAt({200, 20}), 1, [] { return true; }},
        {"no view at all", nullptr, tapAt({200, 20}), 1, [] { return true; }},
        {"an editable text", [&] { return textView(true, true); }, tapAt({200, 20}), 0,
         [&] { return text->isFirstResponder(); }},
        {"an editable text that is not selectable", [&] { return textView(true, false); }, tapAt({200, 20}), 0,
         [&] { return text->isFirstResponder(); }},
        {"a selectable text tapped away from its link", [&] { return textView(false, true); }, tapAt({300, 20}), 0,
         [&] { return opened() == 0; }},
        {"a link in a read-only text", [&] { return textView(false, false); }, tapAt({20, 18}), 0,
         [&] { return opened() == 1; }},
        {"below the link in a read-only text", [&] { return textView(false, false); }, tapAt({20, 40}), 1,
         [&] { return opened() == 0; }},
        {"beside the link in a read-only text", [&] { return textView(false, false); }, tapAt({300, 18}), 1,
         [&] { return opened() == 0; }},
    };
    scene.reset();  // its window would take what falls through the cases' own
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fired = 0;
        urlsBefore = UIApplication::sharedApplication()->openedURLs().size();
        auto each = StripScene::make(CGRectZero);
        each->button->removeFromSuperview();
        if (c.view)
            each->window->addSubview(c.view());
        else
            each->window->setUserInteractionEnabled(false);
        host->step(0.5);  // laid out; no tap before counts as the first of a double tap
        c.gesture();
        host->step(1);
        EXPECT_EQ(each->toTopAsks, c.barTaps);
        EXPECT_EQ(each->list->contentOffset().y, c.barTaps ? 0 : 800);
        EXPECT_TRUE(c.viewDidItsPart());
        if (text) text->resignFirstResponder(true);
        UITouchDispatcher::shared()->cancelAll();
    }
}

TEST_F(HeadlessHostTest, WritesTheScreenAndOneViewAsPngFiles) {
    auto window = UIWindow::make();
    auto root = buildSampleViewTree(window);
    window->makeKeyAndVisible();
    EXPECT_EQ(host->run(), 0);

    auto screenPath = (dir / "screen.png").string();
    ASSERT_TRUE(host->writeScreenPNG(screenPath).ok());
    Png screen(screenPath);
    ASSERT_TRUE(screen.ok());
    EXPECT_EQ(screen.width(), 750);
    EXPECT_EQ(screen.height(), 1334);
    // The header sits right under the 20-point status bar: blue at y = 30 points.
    std::uint32_t header = screen.at(375, 60);
    EXPECT_GT(header & 0xFF, 150u);         // blue
    EXPECT_LT((header >> 16) & 0xFF, 60u);  // little red
    std::uint32_t statusBar = screen.at(375, 10);
    EXPECT_NEAR(double(statusBar & 0xFF), 242.5, 1) << "the status bar area shows the root's grey";
    EXPECT_EQ(statusBar & 0xFF, (statusBar >> 16) & 0xFF);
    // The card is white in the middle of the screen.
    EXPECT_EQ(screen.at(375 - 200, 667), 0xFFFFFFFFu);

    auto card = root->viewWithTag(2);
    auto cardPath = (dir / "card.png").string();
    ASSERT_TRUE(host->writeViewPNG(*card, cardPath).ok());
    Png cardPng(cardPath);
    ASSERT_TRUE(cardPng.ok());
    EXPECT_EQ(cardPng.width(), 480);
    EXPECT_EQ(cardPng.height(), 320);
    EXPECT_EQ(cardPng.at(0, 0) >> 24, 0u) << "rounded corner";

    EXPECT_FALSE(host->writeScreenPNG((dir / "missing" / "x.png").string()).ok());
}

TEST_F(HeadlessHostTest, SteppingTheClockRunsTimersAndRedrawsOnlyAfterChanges) {
    auto window = UIWindow::make();
    auto view = UIView::make(CGRectMake(0, 0, 10, 10));
    window->addSubview(view);
    window->makeKeyAndVisible();
    host->step(0);
    auto frames = host->compositor().frameCount();
    host->step(1);
    EXPECT_EQ(host->compositor().frameCount(), frames);
    auto timer =
        NSTimer::scheduledTimer(0.5, false, [&](const auto&) { view->setBackgroundColor(UIColor::redColor()); });
    host->step(0.4);
    EXPECT_EQ(host->compositor().frameCount(), frames);
    host->step(0.2);
    EXPECT_EQ(host->compositor().frameCount(), frames + 1);
    EXPECT_EQ(host->compositor().pixelAt(5, 5), 0xFF0000FFu);
}

TEST(HostFallback, WithoutADisplayTheWindowHostFallsBackToHeadless) {
    std::string display = std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "";
    std::string wayland = std::getenv("WAYLAND_DISPLAY") ? std::getenv("WAYLAND_DISPLAY") : "";
    ::unsetenv("DISPLAY");
    ::unsetenv("WAYLAND_DISPLAY");
    HostOptions options;
    std::string reason;
    auto host = Host::create(options, &reason);
    ASSERT_TRUE(host);
    EXPECT_EQ(host->kind(), HostKind::Headless);
    EXPECT_NE(reason.find("no display"), std::string::npos);
    EXPECT_EQ(host->run(), 0);
    if (!display.empty()) ::setenv("DISPLAY", display.c_str(), 1);
    if (!wayland.empty()) ::setenv("WAYLAND_DISPLAY", wayland.c_str(), 1);
    UIScreen::setMainScreen(UIScreen::make());
}

TEST(HostFallback, WindowHostShowsFramesThroughSDLsDummyDriver) {
    // A shown status bar: the strip's taps below are the bar's only then.
    UIApplication::resetSharedApplication();
    DummyWindowDriver driver;
    {
        auto host = driver.openWindowHost();
        ASSERT_TRUE(host);
        auto window = UIWindow::make();
        window->setBackgroundColor(UIColor::redColor());
        window->makeKeyAndVisible();
        EXPECT_TRUE(host->renderFrame());
        EXPECT_FALSE(host->renderFrame());
        EXPECT_EQ(host->compositor().pixelAt(1, 1), 0xFF0000FFu);

        // Clicks and fingers on the 20-point status bar's strip: on the button that lies in it
        // they are the button's, elsewhere the bar's, which takes the list up; below the strip
        // they are the list's own. (Window pixels: the window is no larger than the screen's
        // 375 x 667 points.)
        auto scene = StripScene::make({10, 2, 30, 30});
        const double perPoint = host->compositor().pixelWidth() / 375.0;  // the window's pixels
        auto click = [&](double x, double y) {
            for (Uint32 type : {SDL_MOUSEBUTTONDOWN, SDL_MOUSEBUTTONUP}) {
                SDL_Event e{};
                e.type = type;
                e.button.button = SDL_BUTTON_LEFT;
                e.button.x = int(x * perPoint);
                e.button.y = int(y * perPoint);
                SDL_PushEvent(&e);
            }
        };
        auto finger = [&](double x, double y) {
            for (Uint32 type : {SDL_FINGERDOWN, SDL_FINGERUP}) {
                SDL_Event e{};
                e.type = type;
                e.tfinger.fingerId = 7;
                e.tfinger.x = float(x / 375);
                e.tfinger.y = float(y / 667);
                SDL_PushEvent(&e);
            }
        };
        click(25, 12);
        click(200, 12);
        finger(25, 12);
        finger(200, 12);
        click(200, 300);
        finger(200, 300);
        SDL_Event quit{};
        quit.type = SDL_QUIT;
        SDL_PushEvent(&quit);
        EXPECT_EQ(host->run(), 0);
        EXPECT_EQ(scene->buttonTaps, 2);
        EXPECT_EQ(scene->toTopAsks, 2);
    }
    UIApplication::resetSharedApplication();
    UIScreen::setMainScreen(UIScreen::make());
}

TEST_F(HeadlessHostTest, AWindowPinchNotchIsAGestureOverTimeThatAPinchRecogniserFollows) {
    // Touches go to the views, as in the running program.
    auto input = std::make_shared<DeviceInput>();
    host->setEventSink(input);
    UITouchDispatcher::shared()->cancelAll();
    auto window = UIWindow::make();
    window->makeKeyAndVisible();
    auto view = UIView::make(window->bounds());
    window->addSubview(view);
    std::vector<UIGestureRecognizerState> states;
    std::vector<CGFloat> scales;
    std::shared_ptr<UIPinchGestureRecognizer> pinch;
    pinch = UIPinchGestureRecognizer::make([&](UIGestureRecognizer& r) {
        states.push_back(r.state());
        scales.push_back(pinch->scale());
    });
    UIViewAddGestureRecognizer(*view, pinch);

    host->pinchNotch({160, 240}, 20);
    host->step(0.05);
    host->pinchNotch({160, 240}, 20);  // the wheel turns on: the same gesture goes further
    for (int i = 0; i < 20; ++i) host->step(0.025);
    ASSERT_FALSE(states.empty());
    EXPECT_EQ(states.front(), UIGestureRecognizerState::Began);
    EXPECT_EQ(states.back(), UIGestureRecognizerState::Ended);
    EXPECT_GE(std::count(states.begin(), states.end(), UIGestureRecognizerState::Changed), 3);
    EXPECT_EQ(std::count(states.begin(), states.end(), UIGestureRecognizerState::Began), 1);
    EXPECT_NEAR(scales.back(), 1.4, 1e-6);  // 100 points apart to 140

    // Closing notches make a new gesture that scales down.
    states.clear();
    host->pinchNotch({160, 240}, -20);
    for (int i = 0; i < 20; ++i) host->step(0.025);
    ASSERT_FALSE(states.empty());
    EXPECT_EQ(states.back(), UIGestureRecognizerState::Ended);
    EXPECT_NEAR(scales.back(), 0.8, 1e-6);
    UITouchDispatcher::shared()->cancelAll();
}

TEST_F(HeadlessHostTest, SidewaysTiltRollsAnUprightDeviceAndTipsAFlatOne) {
    DeviceInput input;
    CMMotionManager::setDeviceGravity({0, -1, 0});
    input.tilt(0, 0.1);
    auto g = CMMotionManager::deviceGravity();
    EXPECT_NEAR(std::abs(std::atan2(g.x, -g.y)), 0.1, 1e-9) << "an upright device rolls";
    EXPECT_NEAR(g.z, 0, 1e-12);
    input.tilt(0, -0.1);
    g = CMMotionManager::deviceGravity();
    EXPECT_NEAR(g.x, 0, 1e-12);
    EXPECT_NEAR(g.y, -1, 1e-12);

    CMMotionManager::setDeviceGravity({0, 0, -1});  // face up on a table
    input.tilt(0, 0.2);
    g = CMMotionManager::deviceGravity();
    EXPECT_NEAR(std::abs(g.x), std::sin(0.2), 1e-9);
    EXPECT_NEAR(std::hypot(g.x, g.y, g.z), 1, 1e-12);
    input.tilt(0.3, 0);  // forward and back still turns about x
    EXPECT_NEAR(std::hypot(CMMotionManager::deviceGravity().y, CMMotionManager::deviceGravity().z), std::cos(0.2),
                1e-9);
    CMMotionManager::setDeviceGravity({0, -1, 0});
}

TEST_F(HeadlessHostTest, AVolumeButtonGoingDownIsOnePressThatKeepsWhenItWasMade) {
    std::vector<Value> made;
    auto token = NSNotificationCenter::defaultCenter()->addObserver(
        AVSystemController_SystemVolumeDidChangeNotification, nullptr, nullptr,
        [&](const std::shared_ptr<NSNotification>& n) { made.push_back(n->userInfo()[kVolumePressMadeAtParameter]); });
    DeviceInput input;
    input.buttonEvent(HostButton::VolumeUp, true, 12.5);
    input.buttonEvent(HostButton::VolumeUp, false, 12.6);
    input.buttonEvent(HostButton::VolumeDown, true);
    NSNotificationCenter::defaultCenter()->removeObserver(token);
    SystemVolume::reset();
    ASSERT_EQ(made.size(), 2u) << "the release is no press";
    EXPECT_DOUBLE_EQ(made[0].doubleValue(), 12.5);
    EXPECT_TRUE(made[1].isNull()) << "a press of unknown time says none";
}

namespace {
struct PortraitOnly : UIViewController {
    KORVA_MAKE(PortraitOnly)
    UIInterfaceOrientationMask supportedInterfaceOrientations() const override {
        return UIInterfaceOrientationMaskPortrait;
    }

protected:
    PortraitOnly() = default;
};
// Takes every orientation but keeps the one it has.
struct Fixed : UIViewController {
    KORVA_MAKE(Fixed)
    bool shouldAutorotate() const override { return false; }

protected:
    Fixed() = default;
};
}  // namespace

TEST_F(HeadlessHostTest, TurningTheDeviceTurnsTheScreenOnlyForAControllerThatTurns) {
    CMMotionManager::setDeviceGravity({0, -1, 0});
    auto window = UIWindow::make();
    window->setRootViewController(PortraitOnly::make());
    window->makeKeyAndVisible();
    // A portrait application stays upright; the device on its side is felt by the motion sensor.
    EXPECT_FALSE(host->turnDevice());
    EXPECT_FALSE(host->screen()->isLandscape());
    EXPECT_NEAR(std::abs(CMMotionManager::deviceGravity().x), 1, 1e-12);
    EXPECT_FALSE(host->turnDevice());
    EXPECT_NEAR(CMMotionManager::deviceGravity().y, -1, 1e-12);

    // A controller that takes every orientation turns with the device, and back.
    window->setRootViewController(UIViewController::make());
    EXPECT_TRUE(host->turnDevice());
    EXPECT_TRUE(host->screen()->isLandscape());
    EXPECT_GT(host->screen()->bounds().size.width, host->screen()->bounds().size.height);
    EXPECT_TRUE(host->turnDevice());
    EXPECT_FALSE(host->screen()->isLandscape());

    // One that does not autorotate keeps its screen, though it would take the new orientation.
    window->setRootViewController(Fixed::make());
    EXPECT_FALSE(host->turnDevice());
    EXPECT_FALSE(host->screen()->isLandscape());
    EXPECT_NEAR(std::abs(CMMotionManager::deviceGravity().x), 1, 1e-12) << "the sensor still feels the turn";
    EXPECT_FALSE(host->turnDevice());
    CMMotionManager::setDeviceGravity({0, -1, 0});
}
