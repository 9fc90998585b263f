// The window host on an X display of the test's own, with another client (and a keyboard) on it,
// and a sink that ends the loop at the first volume button it hears. The X headers define plain
// names as macros: a file that includes this compiles outside a unity batch.
#pragma once

#include <SDL.h>
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/dispatch/clock.h"
#include "platform/dispatch/run_loop.h"
#include "platform/dispatch/timer.h"
#include "platform/host/program_ending.h"
#include "platform/host/window_host.h"
#include "platform/host/x_display.h"
#include "platform/ui/app/ui_application.h"
#include "tests/support/virtual_display.h"

// Last: the X headers define plain names as macros.
#include <SDL_syswm.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

struct WindowHostOnX : ::testing::Test {
    void SetUp() override {
        if (auto why = testsupport::VirtualDisplay::ensure()) GTEST_SKIP() << *why;
        ::unsetenv("SDL_VIDEODRIVER");
        Clock::useVirtual();
        UIApplication::resetSharedApplication();
        RunLoop::main().reset();
        ProgramEnding::resetForTesting();
        HostOptions options;
        options.screen = *DeviceModel::named("home-button");
        std::string reason;
        host = WindowHost::open(options, reason);
        ASSERT_TRUE(host) << reason;
        for (Uint32 id = 1; id < 10000 && !window; ++id) window = SDL_GetWindowFromID(id);
        SDL_SysWMinfo info;
        SDL_VERSION(&info.version);
        ASSERT_TRUE(window && SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11);
        display = info.info.x11.display;
        xwindow = info.info.x11.window;
        other = XOpenDisplay(nullptr);
        ASSERT_TRUE(other);
    }
    void TearDown() override {
        closeWindow();
        if (other) XCloseDisplay(other);
        RunLoop::main().reset();
        ProgramEnding::resetForTesting();
        UIApplication::resetSharedApplication();
        UIScreen::setMainScreen(UIScreen::make());
        Clock::useReal();
    }
    void closeWindow() {
        const bool gone = xdisplay::gone() || xdisplay::flooded();
        host.reset();
        // The video system a destroyed window left behind (the host draws and tears down nothing there).
        if (gone && window) {
            if (SDL_Renderer* renderer = SDL_GetRenderer(window)) SDL_DestroyRenderer(renderer);
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
        }
        window = nullptr;
    }
    // The loop for a few tenths of a second, unless it ends first; then whether it was asked to end.
    std::optional<std::string> endAfterRunning() {
        auto quit = NSTimer::scheduledTimer(0.3, false, [](const std::shared_ptr<NSTimer>&) {
            SDL_Event e{};
            e.type = SDL_QUIT;
            SDL_PushEvent(&e);
        });
        // Whatever the server sent before this is read by the loop's first pass.
        XSync(display, False);
        EXPECT_EQ(host->run(), 0);
        quit->invalidate();
        if (auto asked = ProgramEnding::requested()) return asked->why;
        return std::nullopt;
    }
    // Where the video system has the window, and how large.
    std::tuple<int, int, int, int> placed() const {
        int x = 0, y = 0, w = 0, h = 0;
        SDL_GetWindowPosition(window, &x, &y);
        SDL_GetWindowSize(window, &w, &h);
        return {x, y, w, h};
    }
    // Another client's ConfigureNotify naming the window, in the server's hands once this is back.
    void configureSent(int x, int y, int width, int height) {
        XEvent event{};
        event.xconfigure = {ConfigureNotify, 0, True, other, xwindow, xwindow, x, y, width, height, 0, 0, False};
        XSendEvent(other, xwindow, False, StructureNotifyMask, &event);
        XSync(other, False);
    }
    // Turns of the display's reading as the loop makes them (its start, a request that waits for
    // the server's answer, the video system's reading), `most` at most, until `done`: what a turn
    // kept (a state read while the display held more) the next one hands on.
    bool turnUntil(const std::function<bool()>& done, int most = 20) {
        for (int turns = 0; turns < most; ++turns) {
            xdisplay::beginTurn();
            XSync(display, False);
            SDL_PumpEvents();
            if (done()) return true;
        }
        return false;
    }
    XEvent destroyNotify(bool sent) const {
        XEvent event{};
        event.xdestroywindow.type = DestroyNotify;
        event.xdestroywindow.send_event = sent;
        event.xdestroywindow.display = display;
        event.xdestroywindow.event = xwindow;
        event.xdestroywindow.window = xwindow;
        return event;
    }

    // Another client's event, sent to the window with nothing but its creator to hear it.
    void sendFromOther(XEvent event) {
        event.xany.display = other;
        XSendEvent(other, xwindow, False, NoEventMask, &event);
    }
    XEvent clientMessage(const char* type, long first, long second, long third, long fourth, long fifth) const {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = xwindow;
        event.xclient.message_type = XInternAtom(other, type, False);
        event.xclient.format = 32;
        const long data[5] = {first, second, third, fourth, fifth};
        std::copy(data, data + 5, event.xclient.data.l);
        return event;
    }
    // The volume-up key pressed and let go on the keyboard, as a user's key arrives.
    void pressVolumeUpKey() {
        XSetInputFocus(other, xwindow, RevertToPointerRoot, CurrentTime);
        const KeyCode code = XKeysymToKeycode(other, XK_KP_Add);
        XTestFakeKeyEvent(other, code, True, CurrentTime);
        XTestFakeKeyEvent(other, code, False, CurrentTime);
        XSync(other, False);
    }

    std::unique_ptr<WindowHost> host;
    SDL_Window* window = nullptr;
    Display* display = nullptr;
    Window xwindow = 0;
    Display* other = nullptr;
};

// The volume buttons the host hands on, and the loop's end once the first press came.
struct ButtonsHeard : HostEventSink {
    std::vector<std::pair<HostButton, bool>> heard;
    void buttonEvent(HostButton button, bool pressed, std::optional<double>) override {
        heard.emplace_back(button, pressed);
        SDL_Event quit{};
        quit.type = SDL_QUIT;
        SDL_PushEvent(&quit);
    }
};

// The loop's ending handlers for a case, and the dispositions as they were after it.
struct TermHeard {
    struct sigaction before {};
    TermHeard() {
        ::sigaction(SIGTERM, nullptr, &before);
        ProgramEnding::installSignalHandlers();
        ProgramEnding::loopRunning();
    }
    ~TermHeard() { ::sigaction(SIGTERM, &before, nullptr); }
};
