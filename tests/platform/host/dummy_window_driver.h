// SDL's dummy video driver, which opens a window host's windows without a display server: chosen
// through the environment for as long as the object lives, and the environment as it was after.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>

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
    DummyWindowDriver(const DummyWindowDriver&) = delete;
    DummyWindowDriver& operator=(const DummyWindowDriver&) = delete;

private:
    std::optional<std::string> display_;
};
