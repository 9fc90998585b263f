// Manual exposure on the camera screen, read back from the photos by another program: the rulers
// rest on what the camera takes, after a fling as after a slow drag; the user's manual values come
// back with the camera after a trip to the background, the manual button saying so, and so does a
// ruler moved on the way there; and a photo states the exposure of the frame it is made of, not a
// newer one the camera took since.
#include <cstdio>
#include <functional>
#include <nlohmann/json.hpp>

#include "camera/controls/pop_manual_exp_view.h"
#include "foundation/global.h"
#include "platform/image/codec/image_data.h"
#include "platform/ui/app/ui_application.h"
#include "platform/ui/control/ui_scroll_view.h"
#include "platform/ui/gesture/ui_touch_dispatcher.h"
#include "tests/camera/screen/camera_screen_test_support.h"
#include "tests/support/exiftool_tags.h"
#include "tests/support/required_tool.h"
#include "ui/controls/anim_button.h"

namespace {

struct Reading {
    double exposure = 0, iso = 0;
    double green = 0;  // the picture's mean green level
};

}  // namespace

struct CameraScreenManualTest : CameraScreenTest {
    std::shared_ptr<PopManualExpView> exposure;

    void openExposure() {
        auto button = screen->views().btnManual;
        screen->popups().onManual(button);
        step(0.5);
        exposure = screen->popups().manual()->popExp();
        exposure->show(std::static_pointer_cast<NSObject>(button), [] {});
        step(0.5);
        ASSERT_FALSE(exposure->hidden());
    }
    // A finger on the ruler moving `dx` points in five movements 20 ms apart, lifted at speed (a
    // fling) or after a rest; then the ruler comes to rest. `midway` runs before the third
    // movement, `lifted` as the finger lifts.
    void drag(const std::shared_ptr<ManualSliderView>& ruler, CGFloat dx, bool fling,
              const std::function<void()>& midway = {}, const std::function<void()>& lifted = {}) {
        static long id = 9100;
        ++id;
        const CGRect r = ruler->convertRectToView(ruler->bounds(), window);
        const CGPoint at{CGRectGetMidX(r), CGRectGetMidY(r)};
        auto dispatcher = UITouchDispatcher::shared();
        dispatcher->touchEvent({Clock::now(), {{id, at, UITouchPhase::Began}}});
        for (int i = 1; i <= 5; ++i) {
            if (i == 3 && midway) midway();
            advance(0.02);
            dispatcher->touchEvent({Clock::now(), {{id, {at.x + dx * i / 5, at.y}, UITouchPhase::Moved}}});
        }
        if (!fling) step(0.5);
        dispatcher->touchEvent({Clock::now(), {{id, {at.x + dx, at.y}, UITouchPhase::Ended}}});
        if (lifted) lifted();
        step(4);
        ASSERT_FALSE(ruler->scroll()->isDecelerating());
    }
    // One photo with the shutter, its exposure as exiftool reads it.
    Reading shoot() {
        const auto before = libraryPhotos().size();
        screen->onShot();
        EXPECT_TRUE(stepUntil([&] { return libraryPhotos().size() == before + 1; }));
        auto photos = libraryPhotos();
        if (photos.size() != before + 1) return {};
        const auto tags = testsupport::exiftoolTags(photos.back()->filePath(), "-ExposureTime -ISO");
        if (tags.empty()) return {};
        Reading reading{tags.value("ExposureTime", 0.0), tags.value("ISO", 0.0)};
        if (auto decoded = decodeImageFile(photos.back()->filePath())) {
            const auto& r = decoded->raster;
            double sum = 0;
            for (std::size_t i = 1; i < r.pixels.size(); i += 4) sum += r.pixels[i];
            reading.green = sum / (r.pixels.size() / 4);
        }
        return reading;
    }
    // Where on its ruler (0 to 100) a photo's exposure sits.
    double shutterOnRuler(const Reading& r) const {
        return 100 * exposure->calcVFromCMTime(CMTimeMakeWithSeconds(r.exposure, 1000000));
    }
    double isoOnRuler(const Reading& r) const {
        return 100 * (r.iso - exposure->iso0()) / (exposure->iso1() - exposure->iso0());
    }

    // A ruler moved from a value by `dx` points, flung or dragged to a rest.
    struct RulerMove {
        std::shared_ptr<ManualSliderView> ruler;
        double from;
        CGFloat dx;
        bool fling;
    };
    std::string describe(const RulerMove& m) const {
        return (m.ruler == exposure->sldShutterSpeed() ? "shutter from " : "ISO from ") + std::to_string(m.from) +
               (m.fling ? ", flung" : ", dragged");
    }
    // The ruler rests away from where it was, and a photo states the exposure it shows.
    void expectAPhotoOfWhatTheRulerShows(const RulerMove& m) {
        const double shown = m.ruler->calcValue();
        EXPECT_GT(std::abs(shown - m.from), 3) << "the ruler moved";
        const Reading photo = shoot();
        ASSERT_GT(photo.exposure, 0);
        const double onRuler = m.ruler == exposure->sldShutterSpeed() ? shutterOnRuler(photo) : isoOnRuler(photo);
        EXPECT_NEAR(onRuler, shown, 1) << "the photo says " << photo.exposure << " s at ISO " << photo.iso;
    }
};

TEST_F(CameraScreenManualTest, ThePhotosTakeTheExposureTheRulersRestOn) {
    if (auto why = testsupport::missingTool("exiftool")) GTEST_SKIP() << *why;
    showScreen();
    openExposure();
    ASSERT_FALSE(HasFatalFailure());
    auto shutter = exposure->sldShutterSpeed(), iso = exposure->sldISO();
    // Flings run on after the finger lifts; the ruler reports and snaps 0.2 s after its last
    // movement, and no further.
    for (const RulerMove& c :
         {RulerMove{shutter, 5, -30, true}, RulerMove{shutter, 95, 30, true}, RulerMove{shutter, 30, -40, false},
          RulerMove{iso, 10, -30, true}, RulerMove{iso, 80, 30, true}}) {
        SCOPED_TRACE(describe(c));
        openExposure();  // the shutter closed it
        c.ruler->setValue(c.from);
        drag(c.ruler, c.dx, c.fling);
        const double shown = c.ruler->calcValue();
        EXPECT_EQ(shown, std::round(shown)) << "the ruler rests on a whole value";
        expectAPhotoOfWhatTheRulerShows(c);
    }
}

TEST_F(CameraScreenManualTest, ManualExposureComesBackWithTheCameraFromTheBackground) {
    if (auto why = testsupport::missingTool("exiftool")) GTEST_SKIP() << *why;
    auto app = UIApplication::sharedApplication();
    app->finishLaunching();
    showScreen();
    openExposure();
    drag(exposure->sldShutterSpeed(), -40, false);
    screen->popups().hideManual();
    step(0.5);
    const Reading before = shoot();
    ASSERT_GT(before.exposure, 0);
    EXPECT_NEAR(shutterOnRuler(before), exposure->sldShutterSpeed()->calcValue(), 1);
    ASSERT_GT(std::abs(before.exposure - 1.0 / 60), 0.005) << "the chosen time is not the automatic one";

    app->toggleBackground();  // Escape, and Escape again
    step(1);
    EXPECT_TRUE(exposure->hidden());
    app->toggleBackground();
    ASSERT_TRUE(stepUntil([&] { return screen->previewRoad()->readyScreenRect(); }));
    step(0.5);  // past the time automatic exposure takes to settle
    const Reading after = shoot();
    EXPECT_NEAR(after.exposure, before.exposure, 0.001);
    EXPECT_NEAR(after.iso, before.iso, 1);
    auto device = screen->hosts().device();
    ASSERT_TRUE(device);
    EXPECT_EQ(device->exposureMode(), AVCaptureExposureMode::Custom);
    EXPECT_TRUE(screen->views().btnManual->on());

    // The AUTO button gives the camera back its automatic exposure, and the button says so.
    exposure->setAuto();
    step(1);
    EXPECT_NE(device->exposureMode(), AVCaptureExposureMode::Custom);
    EXPECT_FALSE(screen->views().btnManual->on());
}

TEST_F(CameraScreenManualTest, ARulerMovedOnTheWayToTheBackgroundIsWhatThePhotosTakeOnReturn) {
    if (auto why = testsupport::missingTool("exiftool")) GTEST_SKIP() << *why;
    auto app = UIApplication::sharedApplication();
    app->finishLaunching();
    showScreen();
    openExposure();
    ASSERT_FALSE(HasFatalFailure());
    auto shutter = exposure->sldShutterSpeed(), iso = exposure->sldISO();
    // Escape as the finger lifts from a fling: the coast and the settle fall in the background.
    // Escape while the finger drags: the next movements, the lift and the settle do.
    for (const RulerMove& c : {RulerMove{shutter, 20, -40, true}, RulerMove{iso, 70, 40, true},
                               RulerMove{shutter, 70, 40, false}, RulerMove{iso, 20, -40, false}}) {
        SCOPED_TRACE(describe(c));
        openExposure();  // the shutter closed it
        c.ruler->setValue(c.from);
        step(0.5);
        std::function<void()> midway, lifted;
        if (c.fling)
            lifted = [&] { app->toggleBackground(); };
        else
            midway = [&] {
                app->toggleBackground();
                step(0.4);  // the controls tick without a camera
            };
        drag(c.ruler, c.dx, c.fling, midway, lifted);
        ASSERT_FALSE(HasFatalFailure());
        app->toggleBackground();
        ASSERT_TRUE(stepUntil([&] { return screen->previewRoad()->readyScreenRect(); }));
        step(0.5);
        expectAPhotoOfWhatTheRulerShows(c);
        EXPECT_TRUE(screen->views().btnManual->on());
    }
}

TEST_F(CameraScreenManualTest, APhotoStatesTheExposureOfTheFrameItIsMadeOf) {
    if (auto why = testsupport::missingTool("exiftool")) GTEST_SKIP() << *why;
    Global::shared()->setFlashMode(FlashMode::Off);
    showScreen();
    step(0.5);
    const Reading automatic = shoot();
    ASSERT_NEAR(automatic.exposure, 1.0 / 60, 0.001);

    // A longer time reaches the camera between two frames, and the shutter is pressed before the
    // next: the photo is the frame exposed before the change, and says so.
    openExposure();
    exposure->onManualSliderViewDidChange(*exposure->sldShutterSpeed(), 50);
    const double chosen = CMTimeGetSeconds(exposure->shutterSpeed().user);
    exposure->onTimer();
    settleAll();
    ASSERT_EQ(screen->hosts().device()->exposureMode(), AVCaptureExposureMode::Custom);
    const Reading between = shoot();
    EXPECT_NEAR(between.green, automatic.green, 2) << "the photo is made of the frame before the change";
    EXPECT_NEAR(between.exposure, automatic.exposure, 0.001);
    EXPECT_NEAR(between.iso, automatic.iso, 1);

    // Frames exposed with the new time make photos that say it.
    step(0.2);
    const Reading after = shoot();
    EXPECT_GT(after.green, automatic.green + 20);
    EXPECT_NEAR(after.exposure, chosen, 0.001);
}
