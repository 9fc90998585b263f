// What the rulers mean: the exposure ruler's durations, shutter, ISO, white-balance and focus
// labels, the gains sent to the device, and device readings that are not to be believed.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "camera/controls/pop_manual_exp_view.h"
#include "camera/controls/pop_manual_focus_view.h"
#include "camera/controls/pop_manual_wb_view.h"
#include "camera/controls/shutter_label.h"
#include "foundation/numeric.h"
#include "platform/capture/av_capture_device_format.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/controller/ui_alert_controller.h"
#include "tests/camera/controls/manual_test_support.h"
#include "ui/controls/status_button_image.h"

namespace {

struct Mapping : ManualTest {
    // A camera whose only format allows 0.5 ms to 0.5 s and ISO 23.9 to 800.
    std::shared_ptr<AVCaptureDevice> narrowCamera() {
        auto caps = syntheticBackCameraCapabilities();
        AVCaptureDeviceFormat::Description d;
        d.minExposureDuration = CMTimeMake(1, 2000);
        d.maxExposureDuration = CMTimeMake(1, 2);
        d.minISO = 23.9f;
        d.maxISO = 800;
        caps.formats = {AVCaptureDeviceFormat::make(d)};
        return makeCamera(caps);
    }
    std::vector<std::string> labels(ManualSliderViewDelegate& pop, ManualSliderView& ruler) {
        std::vector<std::string> all;
        for (int v = 0; v <= 100; v += 10) all.push_back(pop.onManualSliderViewGetLabelText(ruler, v).value_or("-"));
        return all;
    }
};

}  // namespace

TEST_F(Mapping, TheExposureRulerRunsAlongACubeFromOneMillisecond) {
    host->setDevice(narrowCamera());
    auto exp = menu->popExp();
    exp->updateStatus();
    EXPECT_EQ(exp->calcCMTimeFrom(0), CMTimeMake(1, 1000)) << "never below a millisecond";
    EXPECT_EQ(exp->calcCMTimeFrom(1), CMTimeMake(500, 1000));
    EXPECT_EQ(exp->calcCMTimeFrom(0.5), CMTimeMake(63, 1000)) << "d0 + (d1 - d0) / 8 to the millisecond";
    EXPECT_EQ(exp->calcCMTimeFrom(0.5).timescale, 1000);
    EXPECT_NEAR(exp->calcVFromCMTime(CMTimeMake(500, 1000)), 1, 1e-6);
    EXPECT_EQ(exp->calcVFromCMTime(CMTimeMake(1, 1000)), 0);
    EXPECT_EQ(exp->calcVFromCMTime(CMTimeMake(1, 10000)), 0) << "a tenth of a millisecond sits at the start";
    EXPECT_EQ(exp->calcVFromCMTime(CMTimeMake(1, 1000000)), 0);

    const auto iso = labels(*exp, *exp->sldISO());
    EXPECT_EQ(iso.front(), "23") << "truncated toward zero";
    EXPECT_EQ(iso.back(), "800");
    EXPECT_EQ(iso[5], std::to_string(int(lerpFloat(23.9f, 800, 0.5f))));
    const auto shutter = labels(*exp, *exp->sldShutterSpeed());
    EXPECT_EQ(shutter.front(), "MIN");
    EXPECT_EQ(shutter[5], "1/16");
    EXPECT_EQ(shutter.back(), "1/2");
}

TEST_F(Mapping, TheExposureRulersSayTheRangeOfTheCameraInUse) {
    auto exp = menu->popExp();
    exp->updateStatus();
    for (const auto& ruler : {exp->sldShutterSpeed(), exp->sldISO()}) ruler->updateData();
    const std::string wideIso = exp->sldISO()->guides()[100].label->text().value_or("");
    // Another camera with a narrower range: the built rulers say what it takes.
    host->setDevice(narrowCamera());
    exp->updateStatus();
    EXPECT_EQ(exp->sldISO()->guides()[100].label->text(), "800") << "was " << wideIso;
    EXPECT_EQ(exp->sldISO()->guides()[0].label->text(), "23");
    EXPECT_EQ(exp->sldShutterSpeed()->guides()[100].label->text(), "1/2");
    // No camera at all (the background) leaves them as they were.
    host->setDevice(nullptr);
    exp->updateStatus();
    EXPECT_EQ(exp->sldISO()->guides()[100].label->text(), "800");
}

TEST_F(Mapping, ShutterLabels) {
    const std::pair<float, const char*> cases[] = {
        {0.001f, "1/1000"}, {0.0015f, "1/667"},  {0.01f, "1/100"}, {0.3f, "1/3"},  {0.52f, "1/2"},
        {0.58f, "3/5"},     {0.7f, "2/3"},       {0.77f, "3/4"},   {0.79f, "4/5"}, {0.85f, "1"},
        {2.5f, "2"},        {0.0005f, "1/2000"}, {-0.5f, "-1/2"}};
    for (auto [seconds, label] : cases) EXPECT_EQ(shutterLabel(seconds), label) << seconds;
}

TEST_F(Mapping, WhiteBalanceAndFocusLabels) {
    auto wb = menu->popWB();
    EXPECT_EQ(labels(*wb, *wb->sldTemperature()),
              (std::vector<std::string>{"3000", "3500", "4000", "4500", "5000", "5500", "6000", "6500", "7000", "7500",
                                        "8000"}));
    EXPECT_EQ(labels(*wb, *wb->sldTint()),
              (std::vector<std::string>{"-150", "-120", "-90", "-59", "-29", "0", "30", "59", "90", "119", "150"}));
    auto focus = menu->popFocus();
    EXPECT_EQ(labels(*focus, *focus->sldFocus()),
              (std::vector<std::string>{"0", "1/10", "1/5", "3/10", "2/5", "1/2", "3/5", "7/10", "4/5", "9/10", "1"}));
    EXPECT_EQ(focusLabel(5), "0/1");
}

TEST_F(Mapping, GainsSentToTheDeviceStayWithinWhatItAccepts) {
    auto wb = menu->popWB();
    EXPECT_EQ(wb->normalizedGains({0.5f, std::nanf(""), 7.0f}, 4.0f), (AVCaptureWhiteBalanceGains{1, 1, 4}));
    // A choice whose gains exceed the maximum is sent lowered; the reading then differs from the
    // choice, and the same gains are sent again at every tick while it does.
    auto caps = syntheticBackCameraCapabilities();
    caps.maxWhiteBalanceGain = 1.6f;
    auto device = makeCamera(caps);
    host->setDevice(device);
    wb->show(sender, [] {});
    step(0.4);
    wb->onManualSliderViewDidChange(*wb->sldTemperature(), 0);
    wb->onManualSliderViewDidChange(*wb->sldTint(), 100);
    tick();
    const auto sent = device->deviceWhiteBalanceGains();
    for (float g : {sent.redGain, sent.greenGain, sent.blueGain}) {
        EXPECT_GE(g, 1.0f);
        EXPECT_LE(g, 1.6f);
    }
    const int before = locks();
    tick();
    tick();
    EXPECT_EQ(locks(), before + 2);
    EXPECT_EQ(device->deviceWhiteBalanceGains(), sent);
    wb->resetTimer();
}

TEST_F(Mapping, ReadingsThatAreNotToBeBelievedKeepTheStoredValues) {
    auto device = host->device();
    auto exp = menu->popExp();
    auto wb = menu->popWB();
    exp->updateStatus();
    wb->updateStatus();
    const CMTime duration = exp->shutterSpeed().device;
    const float iso = exp->iso().device;
    const float temperature = wb->temperature().device;
    ASSERT_TRUE(CMTIME_IS_NUMERIC(duration));

    device->reportExposure(CMTimeMake(10, 1), std::numeric_limits<float>::quiet_NaN());  // beyond the format
    exp->updateStatus();
    EXPECT_EQ(exp->shutterSpeed().device, duration);
    EXPECT_EQ(exp->iso().device, iso);
    device->reportExposure(CMTime{5, 0, kCMTimeFlags_Valid, 0}, std::numeric_limits<float>::infinity());
    exp->updateStatus();
    EXPECT_EQ(exp->shutterSpeed().device, duration) << "a zero timescale is no reading";
    EXPECT_EQ(exp->iso().device, iso);

    // Gains the device would not accept are never converted.
    device->reportWhiteBalanceGains({9.0f, 1.0f, 1.0f});
    wb->updateStatus();
    EXPECT_EQ(wb->temperature().device, temperature);
    device->reportWhiteBalanceGains({std::nanf(""), 1.0f, 1.0f});
    wb->updateStatus();
    EXPECT_EQ(wb->temperature().device, temperature);
    auto focus = menu->popFocus();
    device->reportLensPosition(0.25f);
    focus->updateStatus();
    ASSERT_EQ(focus->focus().device, 0.25f);
    device->reportLensPosition(std::nanf(""));
    focus->updateStatus();
    EXPECT_EQ(focus->focus().device, 0.25f);
    // The pop-up keeps showing those values, and a ruler placed from them stays put.
    wb->updateView();
    exp->updateView();
    EXPECT_TRUE(std::isfinite(exp->sldShutterSpeed()->scroll()->contentOffset().x));
}

TEST_F(Mapping, ThePresetButtonsStayHiddenAndNameTheirHandler) {
    auto exp = menu->popExp();
    exp->updateView();
    for (const auto& b : exp->presetButtons()) EXPECT_TRUE(b->isHidden());
    EXPECT_EQ(exp->presetButtons()[2]->title(), "Preset 3");
    EXPECT_EQ(exp->preset(), 0);
    exp->onPreset(1);
    step(0.5);
    auto shown = std::dynamic_pointer_cast<UIAlertController>(screenVC->presentedViewController());
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->message(), "-[PopManualExpView onPreset1:]");
}
