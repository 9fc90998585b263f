// The manual-control tests' host: it answers the pop-ups' questions with a synthetic camera and a
// real serial queue, counts the camera's configuration locks and records what it is told.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

#include "camera/controls/pop_manual_view.h"
#include "platform/capture/av_capture_device.h"
#include "platform/capture/synthetic_camera.h"
#include "platform/dispatch/queue.h"
#include "tests/camera/camera_test_support.h"

// The synthetic camera's driver, counting the configuration locks asked of it.
struct CountingDriver : SyntheticCameraDriver {
    explicit CountingDriver(SyntheticCameraScript script) : SyntheticCameraDriver(script) {}
    std::atomic<int> locks{0};
    Result<void> lockForConfiguration() override {
        ++locks;
        return SyntheticCameraDriver::lockForConfiguration();
    }
};

struct ManualHost : PopManualViewDelegate {
    std::shared_ptr<DispatchQueue> queue = DispatchQueue::serial("CameraHost");
    std::vector<bool> changed;
    int didShow = 0, didHide = 0;

    void setDevice(std::shared_ptr<AVCaptureDevice> d) {
        std::lock_guard lock(mutex_);
        device_ = std::move(d);
    }
    std::shared_ptr<AVCaptureDevice> device() {
        std::lock_guard lock(mutex_);
        return device_;
    }
    std::shared_ptr<DispatchQueue> onPopManualBaseGetQueue(PopManualBase&) override { return queue; }
    std::shared_ptr<AVCaptureDevice> onPopManualBaseGetDevice(PopManualBase&) override { return device(); }
    void onPopManualBaseChanged(PopManualBase&, bool manual) override { changed.push_back(manual); }
    void onPopManualBaseDidHide(PopManualBase&) override { ++didHide; }
    void onPopManualViewDidShow(PopManualView&) override { ++didShow; }

private:
    std::mutex mutex_;
    std::shared_ptr<AVCaptureDevice> device_;
};

struct ManualTest : CameraTest {
    std::shared_ptr<ManualHost> host = std::make_shared<ManualHost>();
    std::shared_ptr<PopManualView> menu;
    std::shared_ptr<UIView> sender = UIView::make();
    CountingDriver* driver = nullptr;

    void SetUp() override {
        CameraTest::SetUp();
        sender->setFrame({{140, 560}, {40, 40}});
        root()->addSubview(sender);
        host->setDevice(makeCamera(syntheticBackCameraCapabilities()));
        menu = PopManualView::make(screenVC);
        menu->setDelegate(host);
        settle();
    }
    void TearDown() override {
        menu->resetTimer();
        CameraTest::TearDown();
    }
    // A synthetic camera with still scenery whose locks are counted; its automatic modes never
    // settle, so that the only changes the device makes by itself are the ones a test makes.
    std::shared_ptr<AVCaptureDevice> makeCamera(AVCaptureDeviceCapabilities caps, SyntheticCameraScript script = {}) {
        script.sceneMoves = false;
        script.focusNeverSettles = true;
        script.exposureNeverSettles = true;
        script.whiteBalanceSettleTime = 1e9;
        auto d = std::make_unique<CountingDriver>(script);
        driver = d.get();
        return AVCaptureDevice::make(std::move(caps), std::move(d));
    }
    int locks() const { return driver->locks.load(); }
    // One control tick and what it queued (a little over the interval, so that slicing the
    // clock never leaves the tick just short).
    void tick() { step(PopManualControl::kTimerInterval + 0.001); }
};
