// Shared set-up for the capture tests: the virtual clock, a fresh device registry and helpers
// that let background work finish.
#pragma once

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <vector>

#include "platform/capture/av_capture_device.h"
#include "platform/capture/capture_authorization.h"
#include "platform/capture/capture_device_registry.h"
#include "platform/capture/synthetic_camera.h"
#include "platform/dispatch/clock.h"
#include "platform/dispatch/queue.h"
#include "platform/dispatch/run_loop.h"
#include "tests/support/recorder.h"

class CaptureTest : public ::testing::Test {
protected:
    void SetUp() override {
        Clock::useVirtual();
        CaptureDeviceRegistry::reset();
        CaptureAuthorization::reset();
        ASSERT_TRUE(CaptureDeviceRegistry::configure("synthetic"));
    }
    void TearDown() override {
        settle();
        CaptureDeviceRegistry::reset();
    }

    // Lets queued background work and main-queue blocks run; no clock time passes.
    static void settle() {
        DispatchQueue::waitUntilBackgroundIdle();
        RunLoop::main().runUntilIdle();
        DispatchQueue::waitUntilBackgroundIdle();
    }
    static void advance(double seconds) {
        // Step in small slices so delayed background work falls due in order.
        double end = Clock::now() + seconds;
        while (Clock::now() + 1e-9 < end) {
            RunLoop::main().advance(std::min(0.01, end - Clock::now()));
            settle();
        }
    }

    static std::shared_ptr<AVCaptureDevice> back() {
        return AVCaptureDevice::defaultDevice(AVCaptureDeviceType::BuiltInWideAngleCamera, AVMediaType::Video,
                                              AVCaptureDevicePosition::Back);
    }
    static std::shared_ptr<AVCaptureDevice> front() {
        return AVCaptureDevice::defaultDevice(AVCaptureDeviceType::BuiltInWideAngleCamera, AVMediaType::Video,
                                              AVCaptureDevicePosition::Front);
    }
    static SyntheticCameraDriver& synthetic(const std::shared_ptr<AVCaptureDevice>& d) {
        return dynamic_cast<SyntheticCameraDriver&>(d->driver());
    }
};

// A gate a background block waits at until the test opens it.
class Gate {
public:
    void open() {
        std::lock_guard lock(m_);
        open_ = true;
        cv_.notify_all();
    }
    void wait() {
        std::unique_lock lock(m_);
        entered_ = true;
        cv_.notify_all();
        cv_.wait(lock, [&] { return open_; });
    }
    void waitUntilEntered() {
        std::unique_lock lock(m_);
        cv_.wait(lock, [&] { return entered_; });
    }

private:
    std::mutex m_;
    std::condition_variable cv_;
    bool open_ = false, entered_ = false;
};
