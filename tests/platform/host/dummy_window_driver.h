// SDL's dummy video driver, which opens a window host's windows without a display server: chosen
// through the environment for as long as the object lives, and the environment as it was after.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

#include "platform/host/host.h"

class DummyWindowDriver {
public:
    DummyWindowDriver() {
        if (const char* display = std::getenv("DISPLAY")) display_ = display;
        ::setenv("DISPLAY", ":korva-test", 1);
        ::setenv("SDL_VIDEODRIVER", "dummy", 1);
    }
    ~DummyWindowDriver() {
        ::unsetenv("SDL_VIDEODRIVER");
        if (display_)
            ::setenv("DISPLAY", display_->c_str(), 1);
        else
            ::unsetenv("DISPLAY");
    }
    // A window host on the driver with the home-button screen; none, and a failure, without one.
    std::unique_ptr<Host> openWindowHost() const {
        HostOptions options;
        options.screen = *DeviceModel::named("home-button");
        std::string reason;
        auto host = Host::create(options, &reason);
        if (host && host->kind() == HostKind::Window) return host;
        ADD_FAILURE() << "no window host: " << reason;
        return nullptr;
    }

    DummyWindowDriver(const DummyWindowDriver&) = delete;
    DummyWindowDriver& operator=(const DummyWindowDriver&) = delete;

private:
    std::optional<std::string> display_;
};
