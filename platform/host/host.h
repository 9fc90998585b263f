// The device the application runs on: its screen and framebuffer, its clock stepping and its
// input. The window host shows the screen in an SDL window; the headless host has no window and
// is driven by tests and tools. Main thread only.
#pragma once

#include <memory>
#include <string>

#include "platform/host/host_options.h"
#include "platform/runtime/result.h"
#include "platform/ui/app/compositor.h"
#include "platform/ui/app/host_event_sink.h"
#include "platform/ui/app/ui_screen.h"

class PinchPlayer;
class UIView;

class Host {
public:
    // The host the options ask for. A window host that cannot open (no display, no video driver)
    // falls back to the headless host; `fallbackReason` then says why. Applies the time mode and
    // opens the camera source; a source that cannot be opened is named on stderr, and the host's
    // options say camera "none".
    static std::unique_ptr<Host> create(const HostOptions& options, std::string* fallbackReason = nullptr);
    virtual ~Host();
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    virtual HostKind kind() const = 0;
    const HostOptions& options() const { return options_; }
    const std::shared_ptr<UIScreen>& screen() const { return screen_; }
    Compositor& compositor() { return *compositor_; }

    // Where input goes (held weakly). Until a test installs its own, the device services get it.
    void setEventSink(const std::shared_ptr<HostEventSink>& sink) { sink_ = sink; }

    // Lays out and draws the screen; answers whether the framebuffer changed. The window host
    // also shows it.
    virtual bool renderFrame();
    // Headless: renders one frame and returns 0. Window: runs until the window is closed.
    virtual int run() = 0;

    // Lets time pass: the virtual clock moves and due work runs in order (the real clock waits),
    // then a frame is rendered.
    void step(double seconds);

    // Synthetic input at screen points, on the host's clock.
    void sendTouches(const HostTouchEvent& event);
    void tap(CGPoint point);
    void drag(CGPoint from, CGPoint to, double duration = 0.3, int steps = 10);
    void longPress(CGPoint point, double duration = 1.0);
    // Two fingers on a horizontal line through the centre, moving from one distance to the other.
    void pinch(CGPoint center, CGFloat startDistance, CGFloat endDistance, double duration = 0.3, int steps = 10);
    // One notch of a pinch played on the run loop (the window's wheel and bracket keys): the
    // fingers spread (or close) by `change` points over a short time; notches that follow while
    // it plays carry the same gesture on.
    void pinchNotch(CGPoint center, CGFloat change);
    // A tap on the status bar where nothing lies beneath: the application scrolls its frontmost
    // scroll view to the top. False, and nothing happens, while the bar is hidden. (A tap at a
    // point of the strip is a touch like any other; touch delivery tells whether it is the bar's.)
    bool tapStatusBar();
    void pressButton(HostButton button);
    void tilt(double dx, double dy);
    // Turns the device a quarter turn and back (the window's "o"): the motion sensor feels it,
    // and the screen turns with it only when the key window's root controller autorotates and
    // takes the new orientation, as an application limited to portrait stays upright on a phone.
    // Answers whether the screen turned.
    bool turnDevice();

    Result<void> writeScreenPNG(const std::string& path);
    // One view alone, at the screen's scale.
    Result<void> writeViewPNG(UIView& view, const std::string& path);

protected:
    explicit Host(HostOptions options);
    std::shared_ptr<HostEventSink> sink() const { return sink_.lock(); }

private:
    HostOptions options_;
    std::shared_ptr<UIScreen> screen_;
    std::unique_ptr<Compositor> compositor_;
    std::shared_ptr<HostEventSink> deviceInput_;
    std::weak_ptr<HostEventSink> sink_;
    long nextTouchId_ = 1;
    std::unique_ptr<PinchPlayer> pinchPlayer_;
    // Turned a quarter from the way the model starts (upright, or on its long side for a
    // landscape model).
    bool turned_ = false;
};
