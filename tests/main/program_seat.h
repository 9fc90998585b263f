// The test's seat at an X display: the keyboard and the mouse through the server's test extension,
// and a look at the program's window; and the photos a program wrote to its library folder.
// Include it last: the X headers define plain names (None, Status, Bool) as macros.
#pragma once

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "tests/main/program_process.h"
#include "tests/support/required_tool.h"
#include "tests/support/virtual_display.h"

namespace testsupport {

// A connection to the display the test runs on, which plays the keyboard and the mouse and looks
// at the window.
class Seat {
public:
    explicit Seat(const char* display = nullptr) : display_(XOpenDisplay(display)) {}
    ~Seat() {
        if (display_) XCloseDisplay(display_);
    }
    bool open() const { return display_ != nullptr; }

    // The program's shown window (the page engine may hold a hidden one of the same name).
    std::optional<Window> shownWindow(const std::string& name) {
        Window root = DefaultRootWindow(display_), parent = 0, *children = nullptr;
        unsigned count = 0;
        std::optional<Window> found;
        if (!XQueryTree(display_, root, &root, &parent, &children, &count)) return found;
        for (unsigned i = 0; i < count && !found; ++i) {
            XWindowAttributes attributes;
            char* title = nullptr;
            if (XGetWindowAttributes(display_, children[i], &attributes) && attributes.map_state == IsViewable &&
                XFetchName(display_, children[i], &title) && title && name == title)
                found = children[i];
            if (title) XFree(title);
        }
        if (children) XFree(children);
        return found;
    }

    // One press and release of the key, sent to the window through the server's test extension
    // (as a real keyboard's key arrives, not as an event another client sends).
    void press(Window window, KeySym key) {
        XSetInputFocus(display_, window, RevertToPointerRoot, CurrentTime);
        KeyCode code = XKeysymToKeycode(display_, key);
        XTestFakeKeyEvent(display_, code, True, CurrentTime);
        XTestFakeKeyEvent(display_, code, False, CurrentTime);
        XSync(display_, False);
    }

    // A click of the left button at a point of the device's screen (`pointsWide` across), through
    // the test extension as a real mouse's click arrives.
    void click(Window window, double pointsWide, double x, double y) {
        moveTo(window, pointsWide, x, y);
        XTestFakeButtonEvent(display_, 1, True, CurrentTime);
        buttonIs(true);
        XTestFakeButtonEvent(display_, 1, False, CurrentTime);
        buttonIs(false);
    }

    // The pointer to a point of the device's screen. Where it enters the window, the window takes
    // the focus, and a click that follows at once only focuses it, as on a desktop.
    void moveTo(Window window, double pointsWide, double x, double y) {
        const Placement at = placement(window, pointsWide);
        int rootX = 0, rootY = 0;
        Window child = 0;
        XTranslateCoordinates(display_, window, DefaultRootWindow(display_), int(at.x + x * at.scale),
                              int(at.y + y * at.scale), &rootX, &rootY, &child);
        XTestFakeMotionEvent(display_, -1, rootX, rootY, CurrentTime);
        XSync(display_, False);
    }

    // The mean grey (0 to 255) of a rectangle of the device's screen, as the window shows it.
    double meanGrey(Window window, double pointsWide, double x, double y, double w, double h) {
        const Placement at = placement(window, pointsWide);
        return meanGreyOfPixels(window, int(at.x + x * at.scale), int(at.y + y * at.scale), unsigned(w * at.scale),
                                unsigned(h * at.scale));
    }

    // The same of a rectangle of the window's own pixels.
    double meanGreyOfPixels(Window window, int x, int y, unsigned w, unsigned h) {
        XImage* image = XGetImage(display_, window, x, y, w, h, AllPlanes, ZPixmap);
        if (!image) return -1;
        double sum = 0;
        for (int row = 0; row < image->height; ++row)
            for (int column = 0; column < image->width; ++column) {
                const unsigned long pixel = XGetPixel(image, column, row);
                sum += ((pixel >> 16 & 0xFF) + (pixel >> 8 & 0xFF) + (pixel & 0xFF)) / 3.0;
            }
        const double mean = sum / (double(image->width) * image->height);
        XDestroyImage(image);
        return mean;
    }

    // The window's size, as a user drags its border.
    void resize(Window window, unsigned width, unsigned height) {
        XResizeWindow(display_, window, width, height);
        XSync(display_, False);
    }

    // Destroys the window, as another program may (a window manager's or a tool's "close").
    void destroy(Window window) {
        XDestroyWindow(display_, window);
        XSync(display_, False);
    }

    // The window's size in its pixels.
    std::pair<int, int> size(Window window) {
        XWindowAttributes attributes;
        if (!XGetWindowAttributes(display_, window, &attributes)) return {0, 0};
        return {attributes.width, attributes.height};
    }

private:
    // Where the device's screen lies in the window: as large as the window holds in the screen's
    // own proportions (the default screen's), centred.
    struct Placement {
        double scale = 1, x = 0, y = 0;
    };
    Placement placement(Window window, double pointsWide) {
        constexpr double kScreenAspect = 844.0 / 390.0;
        const auto [width, height] = size(window);
        if (width <= 0 || height <= 0) return {};
        const double pointsHigh = pointsWide * kScreenAspect;
        const double scale = std::min(width / pointsWide, height / pointsHigh);
        return {scale, (width - pointsWide * scale) / 2, (height - pointsHigh * scale) / 2};
    }

    // Waits until the server has taken the fake press (or release) as a real one, and so has
    // handed it to the window's program.
    void buttonIs(bool down) {
        for (int attempt = 0; attempt < 500; ++attempt) {
            Window root = 0, child = 0;
            int rx = 0, ry = 0, wx = 0, wy = 0;
            unsigned mask = 0;
            XQueryPointer(display_, DefaultRootWindow(display_), &root, &child, &rx, &ry, &wx, &wy, &mask);
            if (((mask & Button1Mask) != 0) == down) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        XSync(display_, False);
    }

    Display* display_;
};

inline std::vector<std::filesystem::path> photosIn(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> photos;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        std::string extension = entry.path().extension().string();
        for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        // Files being written are hidden until their rename.
        if (name[0] != '.' && (extension == ".jpg" || extension == ".jpeg")) photos.push_back(entry.path());
    }
    return photos;
}

// What the window tests start from: a display (a virtual one, which CI installs), the built program
// and a seat at the display.
struct WindowProgram : ::testing::Test {
    std::string program;
    std::unique_ptr<Seat> seat;

    void SetUp() override {
        if (auto why = VirtualDisplay::ensure()) {
            if (underCI()) ADD_FAILURE() << *why << ", though scripts/packages.txt installs Xvfb";
            GTEST_SKIP() << *why;
        }
        auto built = ProgramProcess::builtProgram();
        ASSERT_TRUE(built) << "the build wrote no program path beside the test";
        program = *built;
        seat = std::make_unique<Seat>();
        ASSERT_TRUE(seat->open()) << "cannot reach the display " << std::getenv("DISPLAY");
    }
};

// Starts the program in a window on the seat's display: the window once it shows (two minutes at
// the most), none if the program ends first.
inline std::optional<Window> startInWindow(ProgramProcess& korva, Seat& seat, const std::string& program,
                                           const std::map<std::string, std::string>& changes = {}) {
    if (!korva.start(program, "window", changes)) return std::nullopt;
    std::optional<Window> window;
    pollUntil([&] { return (window = seat.shownWindow("Korva")).has_value() || !korva.running(); }, 120);
    return window;
}

// Ends the program with SIGTERM: how it ended, as describeStatus says it.
inline std::string endBySIGTERM(ProgramProcess& korva) {
    korva.signal(SIGTERM);
    auto status = korva.waitForExit(90);
    return status ? describeStatus(*status) : "still running 90 s after SIGTERM";
}

}  // namespace testsupport
