// The control cycle, table-driven over focus, exposure and white balance: manual and automatic
// assignments, drift thresholds, ruler changes under them, failed locks, no camera, and the timer
// of a hidden pop-up.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

#include "camera/controls/pop_manual_exp_view.h"
#include "camera/controls/pop_manual_focus_view.h"
#include "camera/controls/pop_manual_wb_view.h"
#include "tests/camera/controls/manual_test_support.h"

namespace {

// What the table needs of each control.
struct Control {
    std::string name;
    std::function<std::shared_ptr<PopManualControl>(PopManualView&)> pop;
    std::function<std::shared_ptr<ManualSliderView>(PopManualControl&)> ruler;
    std::function<bool(const AVCaptureDevice&)> deviceManual;
    std::function<std::int64_t(const AVCaptureDevice&)> mode;
    // The device's reading of the controlled quantity, and a change the device makes itself.
    std::function<double(const AVCaptureDevice&)> reading;
    std::function<void(AVCaptureDevice&, double delta)> drift;
    double justBelow, justAbove;
    // A ruler step smaller than the threshold, or 0 when the ruler has none.
    double smallStepFrom, smallStepTo;
};

float temperatureOf(const AVCaptureDevice& d) {
    return d.temperatureAndTintValuesForDeviceWhiteBalanceGains(d.deviceWhiteBalanceGains()).temperature;
}

std::vector<Control> controls() {
    return {
        {"focus", [](PopManualView& m) -> std::shared_ptr<PopManualControl> { return m.popFocus(); },
         [](PopManualControl& p) { return dynamic_cast<PopManualFocusView&>(p).sldFocus(); },
         [](const AVCaptureDevice& d) { return d.focusMode() == AVCaptureFocusMode::Locked; },
         [](const AVCaptureDevice& d) { return std::int64_t(d.focusMode()); },
         [](const AVCaptureDevice& d) { return d.lensPosition(); },
         [](AVCaptureDevice& d, double delta) { d.reportLensPosition(float(d.lensPosition() + delta)); }, 0.009, 0.011,
         50, 51},
        {"exposure", [](PopManualView& m) -> std::shared_ptr<PopManualControl> { return m.popExp(); },
         [](PopManualControl& p) { return dynamic_cast<PopManualExpView&>(p).sldShutterSpeed(); },
         [](const AVCaptureDevice& d) { return d.exposureMode() == AVCaptureExposureMode::Custom; },
         [](const AVCaptureDevice& d) { return std::int64_t(d.exposureMode()); },
         [](const AVCaptureDevice& d) { return CMTimeGetSeconds(d.exposureDuration()); },
         [](AVCaptureDevice& d, double delta) {
             d.reportExposure(CMTimeMakeWithSeconds(CMTimeGetSeconds(d.exposureDuration()) + delta, 1000000), d.ISO());
         },
         0.009, 0.011, 30, 31},
        {"white balance", [](PopManualView& m) -> std::shared_ptr<PopManualControl> { return m.popWB(); },
         [](PopManualControl& p) { return dynamic_cast<PopManualWBView&>(p).sldTemperature(); },
         [](const AVCaptureDevice& d) { return d.whiteBalanceMode() == AVCaptureWhiteBalanceMode::Locked; },
         [](const AVCaptureDevice& d) { return std::int64_t(d.whiteBalanceMode()); },
         [](const AVCaptureDevice& d) { return temperatureOf(d); },
         [](AVCaptureDevice& d, double delta) {
             auto tt = d.temperatureAndTintValuesForDeviceWhiteBalanceGains(d.deviceWhiteBalanceGains());
             tt.temperature += float(delta);
             d.reportWhiteBalanceGains(d.deviceWhiteBalanceGainsForTemperatureAndTintValues(tt));
         },
         1.5, 2.5, 0, 0},
    };
}

struct Cycle : ManualTest, ::testing::WithParamInterface<int> {
    Control c = controls()[GetParam()];
    std::shared_ptr<PopManualControl> pop;
    std::shared_ptr<AVCaptureDevice> device;
    void SetUp() override {
        ManualTest::SetUp();
        pop = c.pop(*menu);
        device = host->device();
    }
    void move(double value) { pop->onManualSliderViewDidChange(*c.ruler(*pop), value); }
    // Shows the pop-up (which starts its timer) and lets the show finish.
    void open() {
        pop->show(sender, [] {});
        step(PopView::kAnimDuration + 0.05);
    }
    // The user takes manual control at the ruler value and the device follows.
    void takeManual(double value) {
        open();
        move(value);
        tick();
        ASSERT_TRUE(c.deviceManual(*device));
        tick();
    }
};

}  // namespace

TEST_P(Cycle, AUserChoiceIsAssignedOnceAndHeldWithinTheThreshold) {
    open();
    EXPECT_FALSE(pop->manual().user);
    EXPECT_FALSE(c.deviceManual(*device)) << "a camera starts automatic";
    EXPECT_TRUE(host->changed.empty()) << "automatic is what the menu last relayed";

    const int before = locks();
    move(c.smallStepFrom ? c.smallStepFrom : 40);
    EXPECT_EQ(locks(), before) << "nothing reaches the device until the next tick";
    tick();
    EXPECT_EQ(locks(), before + 1);
    EXPECT_TRUE(c.deviceManual(*device));
    EXPECT_FALSE(pop->userChangePending());
    tick();
    EXPECT_EQ(locks(), before + 1) << "both manual and equal: settled";
    EXPECT_EQ(host->changed, std::vector<bool>{true});

    // A drift within the threshold stays; one just above it is assigned again.
    const double held = c.reading(*device);
    c.drift(*device, c.justBelow);
    tick();
    EXPECT_EQ(locks(), before + 1);
    EXPECT_NEAR(c.reading(*device), held + c.justBelow, 0.1 * c.justBelow);
    c.drift(*device, c.justAbove - c.justBelow);
    tick();
    EXPECT_EQ(locks(), before + 2);
    EXPECT_NEAR(c.reading(*device), held, 0.1 * c.justBelow);
}

TEST_P(Cycle, ARulerStepUnderTheThresholdStillReachesTheDevice) {
    if (!c.smallStepFrom) GTEST_SKIP() << "every step of this ruler is above its threshold";
    takeManual(c.smallStepFrom);
    const double first = c.reading(*device);
    const int before = locks();
    move(c.smallStepTo);
    tick();
    EXPECT_EQ(locks(), before + 1);
    EXPECT_NE(c.reading(*device), first);
    tick();
    EXPECT_EQ(locks(), before + 1);
}

TEST_P(Cycle, AutomaticControlTakesTheFirstSupportedMode) {
    takeManual(60);
    pop->setAuto();
    tick();
    EXPECT_FALSE(c.deviceManual(*device));
    EXPECT_EQ(c.mode(*device), 2) << "continuous first";

    // A camera with only the single-shot automatic mode.
    auto caps = syntheticBackCameraCapabilities();
    caps.focusModes.erase(AVCaptureFocusMode::ContinuousAutoFocus);
    caps.exposureModes.erase(AVCaptureExposureMode::ContinuousAutoExposure);
    caps.whiteBalanceModes.erase(AVCaptureWhiteBalanceMode::ContinuousAutoWhiteBalance);
    device = makeCamera(caps);
    host->setDevice(device);
    takeManual(60);
    pop->setAuto();
    tick();
    EXPECT_EQ(c.mode(*device), 1);
}

TEST_P(Cycle, ARefusedLockIsRetriedAtTheNextTickAndNeverHalfApplied) {
    open();
    driver->editScript([](SyntheticCameraScript& s) { s.lockAlwaysFails = true; });
    move(70);
    tick();
    tick();
    EXPECT_FALSE(c.deviceManual(*device));
    EXPECT_TRUE(pop->userChangePending());
    driver->editScript([](SyntheticCameraScript& s) { s.lockAlwaysFails = false; });
    tick();
    EXPECT_TRUE(c.deviceManual(*device));
    EXPECT_FALSE(pop->userChangePending());
}

TEST_P(Cycle, WithoutACameraNothingIsAssignedAndAHiddenPopUpStopsItsTimer) {
    host->setDevice(nullptr);
    EXPECT_FALSE(pop->isManualSupported());
    EXPECT_FALSE(pop->assign_manual([] { ADD_FAILURE() << "no completion without a camera"; }));
    EXPECT_FALSE(pop->assign_auto([] { ADD_FAILURE() << "no completion without a camera"; }));
    pop->updateStatus();
    EXPECT_EQ(pop->manual().device, c.name != "exposure") << "modes read as 0";
    pop->restartTimer();
    tick();
    tick();
    EXPECT_FALSE(pop->timerRunning());
}

TEST_P(Cycle, AHiddenPopUpKeepsItsTimerWhileManualAndStopsItOnceAutomatic) {
    takeManual(55);
    pop->hide([] {});
    step(0.4);
    EXPECT_TRUE(pop->timerRunning());
    const double held = c.reading(*device);
    c.drift(*device, c.justAbove * 3);
    tick();
    EXPECT_NEAR(c.reading(*device), held, 0.1 * c.justBelow) << "re-asserted while hidden";
    EXPECT_TRUE(pop->timerRunning());

    pop->show(sender, [] {});
    step(0.4);
    pop->setAuto();
    pop->hide([] {});
    if (c.name == "exposure") {
        EXPECT_TRUE(pop->timerRunning()) << "exposure leaves it to its next tick";
        tick();
        tick();
    }
    EXPECT_FALSE(pop->timerRunning());
}

std::string controlName(const ::testing::TestParamInfo<int>& info) {
    static const char* const names[] = {"Focus", "Exposure", "WhiteBalance"};
    return names[info.param];
}

INSTANTIATE_TEST_SUITE_P(Controls, Cycle, ::testing::Values(0, 1, 2), controlName);
