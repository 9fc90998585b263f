// Reaching the X display on a thread of its own, and the X library's fatal-error handlers.
#include "platform/host/x_display.h"

#include <SDL.h>
#include <SDL_syswm.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <memory>
#include <mutex>
#include <thread>

namespace xdisplay {
namespace {

struct Attempt {
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    bool opened = false;
};

std::function<void(const std::string&)>& onLost() {
    static auto* callback = new std::function<void(const std::string&)>;
    return *callback;
}

bool gLost = false;

// Called first for any display whose connection breaks. Returning lets the per-display exit
// handler run; that returns too, and the X library answers the call that noticed with a failure.
int connectionBroke(Display* display) {
    if (!gLost) {
        gLost = true;
        const char* name = display ? DisplayString(display) : nullptr;
        if (auto& callback = onLost()) callback(name ? name : "");
    }
    return 0;
}

void goOnWithoutDisplay(Display*, void*) {}

}  // namespace

std::optional<std::string> reach(const std::string& name, double seconds) {
    auto attempt = std::make_shared<Attempt>();
    // The X library has no time limit of its own: a server that accepts and stays silent keeps
    // the opening call waiting for ever, so it waits on a thread the start can leave behind.
    std::thread([attempt, name] {
        Display* display = XOpenDisplay(name.c_str());
        if (display) XCloseDisplay(display);
        std::lock_guard lock(attempt->mutex);
        attempt->finished = true;
        attempt->opened = display != nullptr;
        attempt->done.notify_all();
    }).detach();
    std::unique_lock lock(attempt->mutex);
    if (!attempt->done.wait_for(lock, std::chrono::duration<double>(seconds), [&] { return attempt->finished; })) {
        char limit[32];
        std::snprintf(limit, sizeof limit, "%g", seconds);
        return "the display " + name + " did not answer within " + limit + " s";
    }
    if (!attempt->opened) return "cannot open the display " + name;
    return std::nullopt;
}

void watch(SDL_Window* window, std::function<void(const std::string& display)> lost) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return;
    onLost() = std::move(lost);
    XSetIOErrorHandler(connectionBroke);
    XSetIOErrorExitHandler(info.info.x11.display, goOnWithoutDisplay, nullptr);
}

bool lost() {
    return gLost;
}

}  // namespace xdisplay
