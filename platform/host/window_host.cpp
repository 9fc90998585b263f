// SDL2 window, texture upload of the framebuffer, and input mapping.
#include "platform/host/window_host.h"

#include <SDL.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/dispatch/clock.h"
#include "platform/dispatch/queue.h"
#include "platform/dispatch/run_loop.h"
#include "platform/host/desktop_opener.h"
#include "platform/host/frame_probe.h"
#include "platform/host/picture_change.h"
#include "platform/host/program_ending.h"
#include "platform/host/x_display.h"
#include "platform/runtime/log.h"
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
    // Set when the texture no longer holds the framebuffer (new texture, lost window contents).
    bool textureStale = true;
    ~SDLState() {
        // A display that is gone takes the window with it, as another program's destroying it
        // does: nothing is left to tear down there. Nor while another client floods the display:
        // closing the window waits for the server's word behind all the flood left there (the
        // server frees the window as the process ends).
        if (xdisplay::gone() || xdisplay::flooded()) return;
        xdisplay::closing();
        if (texture) SDL_DestroyTexture(texture);
        if (renderer) SDL_DestroyRenderer(renderer);
        if (window) SDL_DestroyWindow(window);
        xdisplay::unwatch();
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
};

namespace {

constexpr long kMouseTouchId = 1000;
constexpr long kFingerTouchIdBase = 2000;
constexpr double kTiltStep = 0.1;
constexpr CGFloat kPinchNotch = 20;  // points the fingers move apart per wheel notch or key
constexpr double kMostVirtualStep = 0.1;
// Events a pass of the loop takes while the end is not asked: far more than a turn's input.
constexpr int kMostEventsAPass = 256;

double steadySeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// When SDL queued the event, on the steady clock (its timestamps are milliseconds since SDL started).
double eventTime(const SDL_Event& e) {
    double age = static_cast<double>(SDL_GetTicks() - e.common.timestamp) / 1000;
    return steadySeconds() - std::max(0.0, age);
}

// When the event was made, on the program's clock: a key read late (behind another client's
// storm, say) still counts from when it was pressed.
double madeOnTheClock(const SDL_Event& e) {
    return Clock::now() - std::max(0.0, steadySeconds() - eventTime(e));
}

bool isInput(const SDL_Event& e) {
    switch (e.type) {
        case SDL_FINGERDOWN:
        case SDL_FINGERMOTION:
        case SDL_FINGERUP:
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
        case SDL_MOUSEWHEEL:
        case SDL_KEYDOWN:
        case SDL_KEYUP: return true;
        case SDL_MOUSEMOTION: return (e.motion.state & SDL_BUTTON_LMASK) != 0;
        default: return false;
    }
}

const char* environment(const char* name) {
    const char* value = std::getenv(name);
    return value && *value ? value : nullptr;
}

bool hasDisplay() {
    return environment("DISPLAY") || environment("WAYLAND_DISPLAY");
}

// The video drivers the environment names, unless one is asked for by name: a probe of a display
// nobody named only prints its own failure.
void chooseVideoDrivers() {
    if (environment("SDL_VIDEODRIVER")) return;
    std::string drivers;
    if (environment("DISPLAY")) drivers = "x11";
    if (environment("WAYLAND_DISPLAY")) drivers += drivers.empty() ? "wayland" : ",wayland";
    SDL_SetHint(SDL_HINT_VIDEODRIVER, drivers.c_str());
}

// Whether the video system will use the X display: unless a driver is asked for by name that
// names another kind.
bool drivesX() {
    const char* forced = environment("SDL_VIDEODRIVER");
    // The video system takes the name in any case ("X11" too).
    return !forced || ::strcasestr(forced, "x11") != nullptr;
}

std::function<void()>& whenOpenedWork() {
    static std::function<void()> work;
    return work;
}

// Whether the video system reached a display that shows windows. When the display the environment
// names cannot be opened, SDL goes on to a driver that draws off screen, into no window at all;
// a driver asked for by name (SDL_VIDEODRIVER) is taken as asked.
bool reachedDisplay() {
    if (environment("SDL_VIDEODRIVER")) return true;
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver && (std::strcmp(driver, "x11") == 0 || std::strcmp(driver, "wayland") == 0);
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
    if (DesktopOpener::mailProgram(path ? path : ""))
        MFMailComposeViewController::setMailOpener(
            [](const std::string& address, auto outcome) { DesktopOpener::mail(address, std::move(outcome)); });
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
    // The X display is reached first on its own, with a time limit: the video system's own
    // attempt has none.
    const char* x = environment("DISPLAY");
    if (x && drivesX()) {
        if (auto why = xdisplay::reach(x)) {
            reason = *why;
            return nullptr;
        }
    }
    // The end of the program is ProgramEnding's: the video system keeps off the signals, and a
    // protocol error (another client may free what the program's connection made) does not end
    // it, up to the display's close.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (x && drivesX()) xdisplay::takeProtocolErrors();
    chooseVideoDrivers();
#if defined(__SANITIZE_ADDRESS__)
    // The video system's session-bus connection lives for the whole process; it is not a leak of ours.
    __lsan_disable();
#endif
    int status = SDL_InitSubSystem(SDL_INIT_VIDEO);
#if defined(__SANITIZE_ADDRESS__)
    __lsan_enable();
#endif
    const char* named = x ? x : environment("WAYLAND_DISPLAY");
    if (status != 0) {
        reason = std::string("cannot open the display ") + named + ": " + SDL_GetError();
        return nullptr;
    }
    if (!reachedDisplay()) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        reason = std::string("cannot open the display ") + named;
        return nullptr;
    }
    std::unique_ptr<WindowHost> host(new WindowHost(options));
    if (!host->createWindow(reason)) return nullptr;
    xdisplay::watch(
        host->sdl_->window, [](const std::string& display) { ProgramEnding::displayLost(display); },
        [] { ProgramEnding::windowDestroyed(); }, [] { ProgramEnding::windowClosed(); });
    installDesktopServices();
    if (auto& work = whenOpenedWork()) work();
    return host;
}

void WindowHost::whenOpened(std::function<void()> work) {
    whenOpenedWork() = std::move(work);
}

bool WindowHost::createWindow(std::string& reason) {
    CGRect b = screen()->bounds();
    double factor = 1;
    SDL_DisplayMode mode;
    if (SDL_GetCurrentDisplayMode(0, &mode) == 0 && mode.h > 0) factor = std::min(1.0, 0.9 * mode.h / b.size.height);
    int w = std::max(1, static_cast<int>(b.size.width * factor)),
        h = std::max(1, static_cast<int>(b.size.height * factor));
    // The program takes no drops: the window does not offer to take them.
    SDL_EventState(SDL_DROPFILE, SDL_DISABLE);
    SDL_EventState(SDL_DROPTEXT, SDL_DISABLE);
    sdl_->window = SDL_CreateWindow("Korva", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, w, h,
                                    SDL_WINDOW_ALLOW_HIGHDPI | SDL_WINDOW_SHOWN);
    if (!sdl_->window) {
        reason = std::string("cannot open a window: ") + SDL_GetError();
        return false;
    }
    // The frame is finished in memory at the window's own pixel size, so the window only needs
    // it copied: the software renderer does that without a GL context (which on a machine without
    // a graphics driver is itself drawn in software, at a high price per frame).
    // SDL would otherwise put the window's own surface in a GL texture; the display's shared
    // memory takes the frame directly (SDL_FRAMEBUFFER_ACCELERATION in the environment still decides).
    SDL_SetHintWithPriority(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0", SDL_HINT_DEFAULT);
    sdl_->renderer = SDL_CreateRenderer(sdl_->window, -1, SDL_RENDERER_SOFTWARE);
    if (!sdl_->renderer) sdl_->renderer = SDL_CreateRenderer(sdl_->window, -1, 0);
    if (!sdl_->renderer) {
        reason = std::string("cannot draw into the window: ") + SDL_GetError();
        return false;
    }
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
    followWindowPixels();
    return true;
}

void WindowHost::followWindowPixels() {
    // Draw at the window's own density: its pixels per point of the device screen (a HiDPI
    // display keeps its sharpness, a small window is not drawn at the device's full size).
    SDL_Rect picture = pictureRect();
    CGRect b = screen()->bounds();
    if (picture.w <= 0 || b.size.width <= 0) return;
    screen()->setNativeScale(picture.w / b.size.width);
    sdl_->textureStale = true;
}

SDL_Rect WindowHost::pictureRect() const {
    // As large as the window holds in the screen's own proportions, centred: a window of another
    // shape shows bars beside or above the screen, never a stretched one.
    int ow = 0, oh = 0;
    CGRect b = screen()->bounds();
    if (SDL_GetRendererOutputSize(sdl_->renderer, &ow, &oh) != 0 || ow <= 0 || oh <= 0 || b.size.width <= 0 ||
        b.size.height <= 0)
        return {0, 0, 0, 0};
    double scale = std::min(ow / b.size.width, oh / b.size.height);
    int w = std::max(1, static_cast<int>(std::lround(b.size.width * scale)));
    int h = std::max(1, static_cast<int>(std::lround(b.size.height * scale)));
    return {(ow - w) / 2, (oh - h) / 2, w, h};
}

void WindowHost::fitWindowToScreen() {
    // Keep the window's scale (window pixels per point) and take the screen's new shape.
    CGRect b = screen()->bounds();
    int ww = 0, wh = 0;
    SDL_GetWindowSize(sdl_->window, &ww, &wh);
    double factor = std::min(ww, wh) / std::min(b.size.width, b.size.height);
    if (factor > 0) SDL_SetWindowSize(sdl_->window, int(b.size.width * factor), int(b.size.height * factor));
    followWindowPixels();
}

void WindowHost::present() {
    if (xdisplay::gone()) return;
    // Showing a frame waits for the server's answer, behind whatever another client's flood left
    // in the display: while it lasts the loop keeps reading, and the whole picture is shown after.
    if (xdisplay::flooded()) {
        sdl_->textureStale = true;
        return;
    }
    // Showing reads the display (the server's word that the picture is in): the screen goes in
    // front of any converter a library put in since the pass read it.
    xdisplay::stayInFront();
    Compositor& c = compositor();
    if (!sdl_->texture || sdl_->textureW != c.pixelWidth() || sdl_->textureH != c.pixelHeight()) {
        if (sdl_->texture) SDL_DestroyTexture(sdl_->texture);
        sdl_->texture = SDL_CreateTexture(sdl_->renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                                          c.pixelWidth(), c.pixelHeight());
        sdl_->textureW = c.pixelWidth();
        sdl_->textureH = c.pixelHeight();
        sdl_->textureStale = true;
    }
    if (!sdl_->texture) return;
    // Only what the compositor redrew is streamed into the texture.
    std::vector<SDL_Rect> rects;
    if (!sdl_->textureStale) {
        for (const CGRect& r : c.lastDamage()) {
            int x0 = std::max(0, static_cast<int>(std::floor(r.origin.x)));
            int y0 = std::max(0, static_cast<int>(std::floor(r.origin.y)));
            int x1 = std::min(c.pixelWidth(), static_cast<int>(std::ceil(CGRectGetMaxX(r))));
            int y1 = std::min(c.pixelHeight(), static_cast<int>(std::ceil(CGRectGetMaxY(r))));
            if (x1 > x0 && y1 > y0) rects.push_back({x0, y0, x1 - x0, y1 - y0});
        }
    }
    if (sdl_->textureStale) {
        SDL_UpdateTexture(sdl_->texture, nullptr, c.pixels(), c.stride());
        sdl_->textureStale = false;
    } else {
        for (const SDL_Rect& r : rects)
            SDL_UpdateTexture(sdl_->texture, &r, c.pixels() + static_cast<std::size_t>(r.y) * c.stride() + r.x * 4,
                              c.stride());
    }
    SDL_Rect picture = pictureRect();
    SDL_RenderClear(sdl_->renderer);
    SDL_RenderCopy(sdl_->renderer, sdl_->texture, nullptr, picture.w > 0 ? &picture : nullptr);
    SDL_RenderPresent(sdl_->renderer);
    ++picturesShown_;
}

bool WindowHost::renderFrame() {
    double began = steadySeconds();
    bool changed = Host::renderFrame();
    if (changed) present();
    if (changed && probe_) {
        double now = steadySeconds();
        // A frame counts as a new picture only when the rows it redrew hold other pixels than before.
        Compositor& c = compositor();
        std::vector<PictureChange::Rows> rows;
        for (const CGRect& r : c.lastDamage())
            rows.push_back({static_cast<int>(std::floor(r.origin.y)), static_cast<int>(std::ceil(CGRectGetMaxY(r)))});
        if (rows.empty()) rows.push_back({0, c.pixelHeight()});
        bool fresh = pictures_->redrawn(c.pixels(), c.stride(), static_cast<std::size_t>(c.pixelWidth()) * 4,
                                        c.pixelHeight(), rows);
        probe_->frame(now, now - began, fresh);
    }
    return changed;
}

CGPoint WindowHost::toScreenPoint(double x, double y) const {
    // Window units to output pixels (they differ on a HiDPI display), then into the picture.
    int ww = 1, wh = 1, ow = 1, oh = 1;
    SDL_GetWindowSize(sdl_->window, &ww, &wh);
    if (SDL_GetRendererOutputSize(sdl_->renderer, &ow, &oh) != 0) ow = ww, oh = wh;
    SDL_Rect picture = pictureRect();
    CGRect b = screen()->bounds();
    if (picture.w <= 0 || picture.h <= 0) return {x, y};
    double px = x * ow / std::max(1, ww), py = y * oh / std::max(1, wh);
    return {(px - picture.x) * b.size.width / picture.w, (py - picture.y) * b.size.height / picture.h};
}

CGPoint WindowHost::pointerAt() const {
    // The server's word where the window is watched (it hears the pointer's moves only in a drag).
    if (auto at = xdisplay::pointer()) return toScreenPoint(at->first, at->second);
    int mx = 0, my = 0;
    SDL_GetMouseState(&mx, &my);
    return toScreenPoint(mx, my);
}

void WindowHost::pinchAt(CGPoint c, bool spread) {
    // Each notch is part of a gesture played over time, so the recogniser sees it change.
    pinchNotch(c, spread ? kPinchNotch : -kPinchNotch);
}

void WindowHost::handleEvents(bool& running) {
    // Input that came before the end was asked for is still taken, none after it: the events
    // waiting now are read once more before the loop stops. Then they are read to the end of the
    // queue as it stands: a poll answers "none" at the mark where the loop's last wait ended its
    // round, and input that came after that wait (while the program was held still, say) lies
    // behind it. Otherwise a pass takes a bounded number: a backlog (another client's flood) waits
    // for the next turns behind the turn's timers, its frame and an end request.
    const bool endAsked = ProgramEnding::requested().has_value();
    int allowed = kMostEventsAPass;
    if (!endAsked) {
        // The screen goes in front of any converter a library put in while the timers ran, and the
        // display is read: the video system reads it again in a poll only once the mark its last
        // reading left in the queue is taken, which a pass that stopped at its bound, or the
        // turn's wait, left there.
        xdisplay::stayInFront();
        SDL_PumpEvents();
    }
    if (endAsked) {
        xdisplay::lastTurn();
        SDL_PumpEvents();
        allowed = SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT);
    }
    auto next = [endAsked](SDL_Event& e) {
        return endAsked ? SDL_PeepEvents(&e, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0
                        : SDL_PollEvent(&e) != 0;
    };
    bool exposed = false;
    SDL_Event e;
    for (int taken = 0; taken < allowed && !xdisplay::gone() && next(e); ++taken) {
        if (isInput(e)) {
            if (probe_) probe_->input(eventTime(e));
            trimmer_.activity(eventTime(e));
        }
        switch (e.type) {
            case SDL_QUIT: running = false; break;
            case SDL_WINDOWEVENT:
                if (e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) followWindowPixels();
                if (e.window.event == SDL_WINDOWEVENT_EXPOSED) exposed = true;
                break;
            case SDL_FINGERDOWN:
            case SDL_FINGERMOTION:
            case SDL_FINGERUP: {
                // Touch screens report positions in 0...1 of the window. Touches on the status
                // bar's strip go to the views too: touch delivery tells the bar's taps apart.
                UITouchPhase phase = e.type == SDL_FINGERDOWN ? UITouchPhase::Began
                                     : e.type == SDL_FINGERUP ? UITouchPhase::Ended
                                                              : UITouchPhase::Moved;
                long id = kFingerTouchIdBase + static_cast<long>(e.tfinger.fingerId);
                int ww = 1, wh = 1;
                SDL_GetWindowSize(sdl_->window, &ww, &wh);
                sendTouches({Clock::now(), {{id, toScreenPoint(e.tfinger.x * ww, e.tfinger.y * wh), phase}}});
                break;
            }
            case SDL_MOUSEBUTTONDOWN:
                if (e.button.which == SDL_TOUCH_MOUSEID) break;  // already delivered as a finger
                if (e.button.button == SDL_BUTTON_LEFT) {
                    mouseDown_ = true;
                    sendTouches(
                        {Clock::now(), {{kMouseTouchId, toScreenPoint(e.button.x, e.button.y), UITouchPhase::Began}}});
                }
                break;
            case SDL_MOUSEMOTION:
                if (mouseDown_ && e.motion.which != SDL_TOUCH_MOUSEID)
                    sendTouches(
                        {Clock::now(), {{kMouseTouchId, toScreenPoint(e.motion.x, e.motion.y), UITouchPhase::Moved}}});
                break;
            case SDL_MOUSEBUTTONUP:
                if (e.button.button == SDL_BUTTON_LEFT && mouseDown_) {
                    mouseDown_ = false;
                    sendTouches(
                        {Clock::now(), {{kMouseTouchId, toScreenPoint(e.button.x, e.button.y), UITouchPhase::Ended}}});
                }
                break;
            case SDL_MOUSEWHEEL:
                // The wheel pinches about the pointer: up spreads the fingers, down closes them.
                pinchAt(toScreenPoint(e.wheel.mouseX, e.wheel.mouseY), e.wheel.y > 0);
                break;
            case SDL_KEYDOWN:
            case SDL_KEYUP: {
                bool down = e.type == SDL_KEYDOWN;
                SDL_Keycode k = e.key.keysym.sym;
                auto s = sink();
                if (k == SDLK_PLUS || k == SDLK_EQUALS || k == SDLK_KP_PLUS) {
                    if (s && !e.key.repeat) s->buttonEvent(HostButton::VolumeUp, down, madeOnTheClock(e));
                } else if (k == SDLK_MINUS || k == SDLK_KP_MINUS) {
                    if (s && !e.key.repeat) s->buttonEvent(HostButton::VolumeDown, down, madeOnTheClock(e));
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
                    pinchAt(pointerAt(), k == SDLK_RIGHTBRACKET);
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
    // However many exposures the pass read, the whole picture is shown again once.
    if (exposed) {
        sdl_->textureStale = true;
        present();
    }
    if (endAsked || xdisplay::gone()) running = false;
}

int WindowHost::run() {
    bool running = true;
    // With the debug log, the frame figures are written every two seconds.
    if (Log::threshold() == LogLevel::Debug && !Log::quiet()) {
        probe_ = std::make_unique<FrameProbe>();
        pictures_ = std::make_unique<PictureChange>();
        probe_->start(steadySeconds());
    }
    auto last = std::chrono::steady_clock::now();
    trimmer_.activity(steadySeconds());  // what the start left free
    // The first frame is drawn in a turn of the display's too (the screen in front, its share of reading).
    xdisplay::beginTurn();
    renderFrame();
    sdl_->textureStale = true;
    present();
    while (running) {
        // Sleep until input arrives or the next timer is due, at most one frame.
        int timeout = 16;
        if (auto next = RunLoop::main().nextTimerDate())
            timeout = std::clamp(static_cast<int>((*next - Clock::now()) * 1000), 0, 16);
        if (RunLoop::main().pendingBlocks() > 0) timeout = 0;
        // What the display's reading takes this turn is bounded from here on.
        xdisplay::beginTurn();
        bool hasEvent = SDL_WaitEventTimeout(nullptr, timeout) != 0;
        double workBegan = steadySeconds();
        if (hasEvent || ProgramEnding::requested()) handleEvents(running);
        if (!running) break;
        auto now = std::chrono::steady_clock::now();
        double elapsed = std::chrono::duration<double>(now - last).count();
        last = now;
        // One turn: however much its timers cost, input, the frame and an end request come next.
        // A virtual clock follows real time by at most a few frames a turn, so that timers that
        // cost more than their interval cannot make each turn longer than the last.
        if (Clock::isVirtual())
            RunLoop::main().advance(std::min(elapsed, kMostVirtualStep));
        else
            RunLoop::main().runTurn();
        // Input that came while timers and blocks ran is taken before the frame is drawn, so the
        // frame shows it.
        handleEvents(running);
        renderFrame();
        DesktopOpener::reapFinished();
        trimmer_.backgroundWork(!DispatchQueue::backgroundIdle(), steadySeconds());
        // Away from the main thread: the trim walks every arena.
        if (trimmer_.due(steadySeconds())) DispatchQueue::global()->async([] { HeapTrimmer::trimNow(); });
        if (probe_) {
            double done = steadySeconds();
            probe_->busy(done - workBegan);
            if (auto report = probe_->poll(done)) Log::debug("frames", report->line());
        }
    }
    return 0;
}
