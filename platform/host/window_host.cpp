// SDL2 window, texture upload of the framebuffer, and input mapping.
#include "platform/host/window_host.h"

#include <SDL.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdlib>

#include "platform/dispatch/clock.h"
#include "platform/dispatch/run_loop.h"
#include "platform/runtime/log.h"
#include "platform/host/desktop_opener.h"
#include "platform/ui/app/ui_application.h"
#include "platform/ui/app/ui_pasteboard.h"
#include "platform/ui/controller/mf_mail_compose_view_controller.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

struct WindowHost::SDLState {
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    int textureW = 0, textureH = 0;
    ~SDLState() {
        if (texture) SDL_DestroyTexture(texture);
        if (renderer) SDL_DestroyRenderer(renderer);
        if (window) SDL_DestroyWindow(window);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
};

namespace {

constexpr long kMouseTouchId = 1000;
constexpr long kFingerTouchIdBase = 2000;
constexpr double kTiltStep = 0.1;
constexpr CGFloat kPinchNotch = 20;  // points the fingers move apart per wheel notch or key

bool hasDisplay() {
    const char* x = std::getenv("DISPLAY");
    const char* w = std::getenv("WAYLAND_DISPLAY");
    return (x && *x) || (w && *w);
}

}  // namespace

WindowHost::WindowHost(HostOptions options) : Host(std::move(options)), sdl_(std::make_unique<SDLState>()) {}

WindowHost::~WindowHost() {
    // The services below reach SDL and the desktop through this window: they go with it.
    UIApplication::sharedApplication()->setURLOpener(nullptr);
    MFMailComposeViewController::setMailOpener(nullptr);
    UIPasteboard::setSystemClipboard(nullptr);
}

void WindowHost::installDesktopServices() {
    UIApplication::sharedApplication()->setURLOpener(&DesktopOpener::open);
    // Mail can be sent where the desktop has a program to hand a mailto: address to.
    const char* path = std::getenv("PATH");
    if (DesktopOpener::mailProgram(path ? path : "")) MFMailComposeViewController::setMailOpener(&DesktopOpener::mail);
    UIPasteboard::setSystemClipboard([](const std::string& text) {
        if (SDL_SetClipboardText(text.c_str()) != 0)
            Log::warning("host", std::string("cannot copy to the clipboard: ") + SDL_GetError());
    });
}

std::unique_ptr<WindowHost> WindowHost::open(const HostOptions& options, std::string& reason) {
    if (!hasDisplay()) {
        reason = "no display (neither DISPLAY nor WAYLAND_DISPLAY is set)";
        return nullptr;
    }
#if defined(__SANITIZE_ADDRESS__)
    // The video system's session-bus connection lives for the whole process; it is not a leak of ours.
    __lsan_disable();
#endif
    int status = SDL_InitSubSystem(SDL_INIT_VIDEO);
#if defined(__SANITIZE_ADDRESS__)
    __lsan_enable();
#endif
    if (status != 0) {
        reason = std::string("cannot start the video system: ") + SDL_GetError();
        return nullptr;
    }
    std::unique_ptr<WindowHost> host(new WindowHost(options));
    if (!host->createWindow(reason)) return nullptr;
    installDesktopServices();
    return host;
}

bool WindowHost::createWindow(std::string& reason) {
    CGRect b = screen()->bounds();
    double factor = 1;
    SDL_DisplayMode mode;
    if (SDL_GetCurrentDisplayMode(0, &mode) == 0 && mode.h > 0)
        factor = std::min(1.0, 0.9 * mode.h / b.size.height);
    int w = std::max(1, static_cast<int>(b.size.width * factor)), h = std::max(1, static_cast<int>(b.size.height * factor));
    sdl_->window = SDL_CreateWindow("Korva", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, w, h,
                                    SDL_WINDOW_ALLOW_HIGHDPI | SDL_WINDOW_SHOWN);
    if (!sdl_->window) {
        reason = std::string("cannot open a window: ") + SDL_GetError();
        return false;
    }
    sdl_->renderer = SDL_CreateRenderer(sdl_->window, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC);
    if (!sdl_->renderer) sdl_->renderer = SDL_CreateRenderer(sdl_->window, -1, SDL_RENDERER_SOFTWARE);
    if (!sdl_->renderer) {
        reason = std::string("cannot draw into the window: ") + SDL_GetError();
        return false;
    }
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
    return true;
}

void WindowHost::fitWindowToScreen() {
    // Keep the window's scale (window pixels per point) and take the screen's new shape.
    CGRect b = screen()->bounds();
    int ww = 0, wh = 0;
    SDL_GetWindowSize(sdl_->window, &ww, &wh);
    double factor = std::min(ww, wh) / std::min(b.size.width, b.size.height);
    if (factor > 0) SDL_SetWindowSize(sdl_->window, int(b.size.width * factor), int(b.size.height * factor));
}

void WindowHost::present() {
    Compositor& c = compositor();
    if (!sdl_->texture || sdl_->textureW != c.pixelWidth() || sdl_->textureH != c.pixelHeight()) {
        if (sdl_->texture) SDL_DestroyTexture(sdl_->texture);
        sdl_->texture = SDL_CreateTexture(sdl_->renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                                          c.pixelWidth(), c.pixelHeight());
        sdl_->textureW = c.pixelWidth();
        sdl_->textureH = c.pixelHeight();
    }
    if (!sdl_->texture) return;
    SDL_UpdateTexture(sdl_->texture, nullptr, c.pixels(), c.stride());
    SDL_RenderClear(sdl_->renderer);
    SDL_RenderCopy(sdl_->renderer, sdl_->texture, nullptr, nullptr);
    SDL_RenderPresent(sdl_->renderer);
}

bool WindowHost::renderFrame() {
    bool changed = Host::renderFrame();
    if (changed) present();
    return changed;
}

CGPoint WindowHost::toScreenPoint(int x, int y) const {
    int ww = 1, wh = 1;
    SDL_GetWindowSize(sdl_->window, &ww, &wh);
    CGRect b = screen()->bounds();
    return {x * b.size.width / std::max(1, ww), y * b.size.height / std::max(1, wh)};
}

void WindowHost::pinchAt(CGPoint c, bool spread) {
    // Each notch is part of a gesture played over time, so the recogniser sees it change.
    pinchNotch(c, spread ? kPinchNotch : -kPinchNotch);
}

void WindowHost::handleEvents(bool& running) {
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        switch (e.type) {
        case SDL_QUIT: running = false; break;
        case SDL_WINDOWEVENT:
            if (e.window.event == SDL_WINDOWEVENT_EXPOSED) present();
            break;
        case SDL_FINGERDOWN:
        case SDL_FINGERMOTION:
        case SDL_FINGERUP: {
            // Touch screens report positions in 0...1 of the window.
            CGRect b = screen()->bounds();
            UITouchPhase phase = e.type == SDL_FINGERDOWN   ? UITouchPhase::Began
                                 : e.type == SDL_FINGERUP   ? UITouchPhase::Ended
                                                            : UITouchPhase::Moved;
            long id = kFingerTouchIdBase + static_cast<long>(e.tfinger.fingerId);
            sendTouches({Clock::now(), {{id, {e.tfinger.x * b.size.width, e.tfinger.y * b.size.height}, phase}}});
            break;
        }
        case SDL_MOUSEBUTTONDOWN:
            if (e.button.which == SDL_TOUCH_MOUSEID) break;  // already delivered as a finger
            if (e.button.button == SDL_BUTTON_LEFT) {
                mouseDown_ = true;
                sendTouches({Clock::now(), {{kMouseTouchId, toScreenPoint(e.button.x, e.button.y), UITouchPhase::Began}}});
            }
            break;
        case SDL_MOUSEMOTION:
            if (mouseDown_ && e.motion.which != SDL_TOUCH_MOUSEID)
                sendTouches({Clock::now(), {{kMouseTouchId, toScreenPoint(e.motion.x, e.motion.y), UITouchPhase::Moved}}});
            break;
        case SDL_MOUSEBUTTONUP:
            if (e.button.button == SDL_BUTTON_LEFT && mouseDown_) {
                mouseDown_ = false;
                sendTouches({Clock::now(), {{kMouseTouchId, toScreenPoint(e.button.x, e.button.y), UITouchPhase::Ended}}});
            }
            break;
        case SDL_MOUSEWHEEL: {
            // The wheel pinches about the pointer: up spreads the fingers, down closes them.
            int mx = 0, my = 0;
            SDL_GetMouseState(&mx, &my);
            pinchAt(toScreenPoint(mx, my), e.wheel.y > 0);
            break;
        }
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            bool down = e.type == SDL_KEYDOWN;
            SDL_Keycode k = e.key.keysym.sym;
            auto s = sink();
            if (k == SDLK_PLUS || k == SDLK_EQUALS || k == SDLK_KP_PLUS) {
                if (s && !e.key.repeat) s->buttonEvent(HostButton::VolumeUp, down);
            } else if (k == SDLK_MINUS || k == SDLK_KP_MINUS) {
                if (s && !e.key.repeat) s->buttonEvent(HostButton::VolumeDown, down);
            } else if (down && k == SDLK_LEFT) {
                tilt(0, -kTiltStep);  // sideways: an upright device rolls, a flat one tips
            } else if (down && k == SDLK_RIGHT) {
                tilt(0, kTiltStep);
            } else if (down && k == SDLK_UP) {
                tilt(-kTiltStep, 0);
            } else if (down && k == SDLK_DOWN) {
                tilt(kTiltStep, 0);
            } else if (down && (k == SDLK_RIGHTBRACKET || k == SDLK_LEFTBRACKET)) {
                // "]" spreads two fingers about the pointer, "[" closes them.
                int mx = 0, my = 0;
                SDL_GetMouseState(&mx, &my);
                pinchAt(toScreenPoint(mx, my), k == SDLK_RIGHTBRACKET);
            } else if (down && k == SDLK_o && !e.key.repeat) {
                // "o" turns the device between upright and on its side.
                if (turnDevice()) fitWindowToScreen();
            } else if (down && k == SDLK_ESCAPE && !e.key.repeat) {
                UIApplication::sharedApplication()->toggleBackground();
            }
            break;
        }
        default: break;
        }
    }
}

int WindowHost::run() {
    bool running = true;
    auto last = std::chrono::steady_clock::now();
    renderFrame();
    present();
    while (running) {
        // Sleep until input arrives or the next timer is due, at most one frame.
        int timeout = 16;
        if (auto next = RunLoop::main().nextTimerDate())
            timeout = std::clamp(static_cast<int>((*next - Clock::now()) * 1000), 0, 16);
        if (RunLoop::main().pendingBlocks() > 0) timeout = 0;
        if (SDL_WaitEventTimeout(nullptr, timeout)) handleEvents(running);
        auto now = std::chrono::steady_clock::now();
        double elapsed = std::chrono::duration<double>(now - last).count();
        last = now;
        if (Clock::isVirtual())
            RunLoop::main().advance(elapsed);
        else
            RunLoop::main().runUntilIdle();
        renderFrame();
        DesktopOpener::reapFinished();
    }
    UIApplication::sharedApplication()->terminate();
    return 0;
}
