// The camera screen as the camera benchmarks run it: a temporary sandbox and photo library with
// access granted, the application's services and controllers registered, the screen on the
// notched headless host with the synthetic camera at the sizes the camera host asks for, a warm
// look with a tone curve chosen, on the virtual clock.
#pragma once

#include <algorithm>
#include <filesystem>
#include <memory>
#include <random>
#include <string>

#include "app/shell/app_registry.h"
#include "bench/bench_host.h"
#include "camera/screen/camera_registry.h"
#include "camera/screen/view_controller.h"
#include "capture/capture_services.h"
#include "filter/filter_my_element.h"
#include "filter/filter_preset.h"
#include "foundation/global.h"
#include "platform/capture/capture_authorization.h"
#include "platform/dispatch/clock.h"
#include "platform/dispatch/queue.h"
#include "platform/dispatch/run_loop.h"
#include "platform/host/headless_host.h"
#include "platform/host/heap_trimmer.h"
#include "platform/photos/ph_authorization.h"
#include "platform/photos/ph_photo_library.h"
#include "platform/storage/sandbox.h"
#include "platform/ui/app/ui_window.h"
#include "platform/ui/controller/ui_storyboard.h"
#include "tests/support/camera_screen_world.h"
#include "ui/ui_services.h"

// Runs what is due, without moving the clock, until nothing is left.
inline void drainCameraBench(UIWindow& window) {
    DispatchQueue::waitUntilBackgroundIdle();
    RunLoop::main().runUntilIdle();
    window.layoutIfNeeded();
}

// Lets time pass with the capture queues drained and the window laid out in between.
inline void runCameraBench(UIWindow& window, double seconds) {
    double end = Clock::now() + seconds;
    while (Clock::now() + 1e-9 < end) {
        RunLoop::main().advance(std::min(0.01, end - Clock::now()));
        drainCameraBench(window);
    }
}

// Owns the host, the window and the screen for the benchmark's life.
struct CameraBenchScreen {
    explicit CameraBenchScreen(const std::string& name) {
        HeapTrimmer::mapLargeBlocks();  // as the program does first in main
        Clock::useVirtual();
        std::random_device random;
        dir = std::filesystem::temp_directory_path() / ("korva-" + name + "-" + std::to_string(random()));
        prepareCameraScreenWorld(dir);
        host = std::make_unique<HeadlessHost>(notchedHeadlessScreen());

        window = UIWindow::make();
        window->makeKeyAndVisible();
        screen = std::dynamic_pointer_cast<ViewController>(
            UIStoryboard::mainStoryboard()->instantiateViewControllerWithIdentifier("ViewController"));
        window->setRootViewController(screen);
        // One frame before the camera's first: the preview's layer takes the screen's scale.
        host->renderFrame();
        for (int i = 0; i < 500 && !screen->previewRoad()->readyScreenRect(); ++i) runCameraBench(*window, 0.02);
        // A look with a tone curve, as the filter pop-up's warm presets have.
        auto warm = Global::shared()->filterPreset()->descYellow();
        if (warm.count() > 2) screen->setScreenElement(FilterMyElement::withDesc(warm[2]));
        runCameraBench(*window, 0.5);
        host->renderFrame();
    }

    std::filesystem::path dir;  // the sandbox and library; the benchmark removes it at its end
    std::unique_ptr<HeadlessHost> host;
    std::shared_ptr<UIWindow> window;
    std::shared_ptr<ViewController> screen;
};
