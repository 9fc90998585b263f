// Shared set-up for the capture engine's tests: the virtual clock, a fresh data folder with the
// settings store, a temporary photo library, the synthetic cameras and helpers that step time.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <mutex>
#include <random>
#include <string>
#include <vector>

#include "foundation/global.h"
#include "platform/capture/av_capture_device.h"
#include "platform/capture/capture_authorization.h"
#include "platform/capture/capture_device_registry.h"
#include "platform/capture/synthetic_camera.h"
#include "platform/photos/ph_asset.h"
#include "platform/photos/ph_authorization.h"
#include "platform/photos/ph_photo_library.h"
#include "platform/storage/bundle.h"
#include "platform/storage/file_manager.h"
#include "platform/storage/sandbox.h"
#include "tests/platform/dispatch/virtual_clock.h"
#include "tests/support/recorder.h"
#include "tests/support/synthetic_camera_access.h"

class CaptureEngineTest : public VirtualClockTest, public SyntheticCameraAccess {
protected:
    void SetUp() override {
        VirtualClockTest::SetUp();
        std::random_device random;
        root_ = std::filesystem::temp_directory_path() /
                ("korva-capture-" + std::to_string(random()) + "-" + std::to_string(random()));
        std::filesystem::create_directories(root_ / "data");
        std::filesystem::create_directories(root_ / "bundle");
        ASSERT_TRUE(writeFileAtomically((root_ / "bundle/Info.plist").string(),
                                        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><plist version=\"1.0\"><dict>"
                                        "<key>CFBundleDisplayName</key><string>Korva</string>"
                                        "</dict></plist>")
                        .ok());
        Sandbox::setRoot((root_ / "data").string());
        NSBundle::setMainBundleRoot((root_ / "bundle").string());
        Global::resetSharedForTesting();
        PhotoLibraryAuthorization::reset();
        PHPhotoLibrary::setLibraryDirectory((root_ / "library").string());
        CaptureDeviceRegistry::reset();
        CaptureAuthorization::reset();
        ASSERT_TRUE(CaptureDeviceRegistry::configure("synthetic"));
    }

    void TearDown() override {
        settle();
        PHPhotoLibrary::setLibraryDirectory("");
        CaptureDeviceRegistry::reset();
        Global::resetSharedForTesting();
        NSBundle::setMainBundleRoot("");
        Sandbox::setRoot("");
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
        VirtualClockTest::TearDown();
    }

    // Lets queued background work and main-queue blocks run; no clock time passes.
    static void settle() {
        for (int i = 0; i < 3; ++i) {
            DispatchQueue::waitUntilBackgroundIdle();
            RunLoop::main().runUntilIdle();
        }
    }
    // Steps the clock in small slices so that timers and delayed background work fall due in order.
    static void advance(double seconds) {
        double end = Clock::now() + seconds;
        while (Clock::now() + 1e-9 < end) {
            RunLoop::main().advance(std::min(0.01, end - Clock::now()));
            settle();
        }
    }
    // Steps until the condition holds (true) or the time is up (false).
    static bool advanceUntil(const std::function<bool()>& done, double limit = 3.0) {
        settle();
        double end = Clock::now() + limit;
        while (!done()) {
            if (Clock::now() >= end) return false;
            advance(0.01);
        }
        return true;
    }

    std::filesystem::path root_;
};
