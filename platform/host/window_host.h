// The host with a window: shows the framebuffer in an SDL window and turns the mouse and keys
// into touches (a click on the status bar's strip too: touch delivery tells the bar's taps
// apart), volume buttons, tilt and going to the background. Keys: "+"/"-" volume buttons, arrows
// tilt, "[" and "]" (or the wheel) pinch, "o" turns the device, Escape goes to the background
// and back.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/host/heap_trimmer.h"
#include "platform/host/host.h"

class FrameProbe;
struct SDL_Rect;
class PictureChange;

class WindowHost : public Host {
public:
    // None when no window can be opened; `reason` says why.
    static std::unique_ptr<WindowHost> open(const HostOptions& options, std::string& reason);
    // Work that needs the window's display (the page engine), done once a window has opened.
    static void whenOpened(std::function<void()> work);
    ~WindowHost() override;

    HostKind kind() const override { return HostKind::Window; }
    bool renderFrame() override;
    // Runs the main run loop and the window until it is closed, the program is asked to end or
    // the display is lost. The end itself is ProgramEnding's.
    int run() override;
    // How many times the window was handed the picture.
    int picturesShown() const { return picturesShown_; }

private:
    explicit WindowHost(HostOptions options);
    bool createWindow(std::string& reason);
    void handleEvents(bool& running);
    // A point of the window (in its own units) as a point of the device's screen.
    CGPoint toScreenPoint(double x, double y) const;
    // Where the screen's picture lies in the window, in output pixels.
    SDL_Rect pictureRect() const;
    // Where the pointer is over the window, as a point of the device's screen.
    CGPoint pointerAt() const;
    void pinchAt(CGPoint center, bool spread);
    void present();
    void fitWindowToScreen();
    // Links, mail and the clipboard through the desktop.
    static void installDesktopServices();
    void followWindowPixels();

    struct SDLState;
    std::unique_ptr<SDLState> sdl_;
    bool mouseDown_ = false;
    int picturesShown_ = 0;
    HeapTrimmer trimmer_;
    std::unique_ptr<FrameProbe> probe_;
    std::unique_ptr<PictureChange> pictures_;  // with the probe: tells new pictures from redraws
};
