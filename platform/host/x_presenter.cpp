// The presenter's connection, its picture in shared memory (or sent whole where the server is
// elsewhere) and its thread.
#include "platform/host/x_presenter.h"

#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>

#include "platform/host/x_display.h"

// Last: the X headers define plain names as macros.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>

namespace xdisplay {

struct XPresenter::State {
    Display* display = nullptr;
    Window window = 0;
    Visual* visual = nullptr;
    int depth = 0;
    GC gc = nullptr;
    bool sharedMemory = false;
    // The picture as the server reads it: the thread's alone.
    XImage* image = nullptr;
    XShmSegmentInfo segment{};
    std::vector<char> plainData;
    Rect placed{};
    int placedInW = 0, placedInH = 0;

    // What the main thread hands over, under the lock.
    std::mutex lock;
    std::condition_variable changed;
    std::vector<std::uint8_t> latest;
    int width = 0, height = 0;
    Rect place{};
    int windowWidth = 0, windowHeight = 0;
    std::vector<Rect> redrawn;
    bool whole = true;
    bool pending = false;
    long probesAsked = 0, probesAnswered = 0;
    long shown = 0;
    bool stopping = false;
    bool done = false;

    bool makeImage(int w, int h);
    void freeImage();
    void run();
    void put(const std::vector<Rect>& parts, Rect place, int windowW, int windowH);
};

namespace {
// A connection of the presenter's that breaks fails each call from then on; the window's own
// connection tells the program.
void presenterGoesOn(Display*, void*) {}

// Whether the server shares memory with this process: a local display.
bool local(Display* display) {
    const char* name = DisplayString(display);
    return name && (name[0] == ':' || std::strncmp(name, "unix:", 5) == 0);
}
}  // namespace

bool XPresenter::State::makeImage(int w, int h) {
    freeImage();
    if (w <= 0 || h <= 0) return false;
    if (sharedMemory) {
        image = XShmCreateImage(display, visual, depth, ZPixmap, nullptr, &segment, w, h);
        if (image) {
            segment.shmid =
                ::shmget(IPC_PRIVATE, static_cast<std::size_t>(image->bytes_per_line) * h, IPC_CREAT | 0600);
            segment.shmaddr = segment.shmid >= 0 ? static_cast<char*>(::shmat(segment.shmid, nullptr, 0))
                                                 : reinterpret_cast<char*>(-1);
            if (segment.shmaddr != reinterpret_cast<char*>(-1)) {
                image->data = segment.shmaddr;
                segment.readOnly = False;
                XShmAttach(display, &segment);
                XSync(display, False);
                // Gone from the system once both sides let go of it.
                ::shmctl(segment.shmid, IPC_RMID, nullptr);
                return true;
            }
            if (segment.shmid >= 0) ::shmctl(segment.shmid, IPC_RMID, nullptr);
            image->data = nullptr;
            XDestroyImage(image);
            image = nullptr;
        }
        sharedMemory = false;
    }
    plainData.assign(static_cast<std::size_t>(w) * h * 4, 0);
    image = XCreateImage(display, visual, depth, ZPixmap, 0, plainData.data(), w, h, 32, w * 4);
    return image != nullptr;
}

void XPresenter::State::freeImage() {
    if (!image) return;
    if (sharedMemory) {
        XShmDetach(display, &segment);
        XSync(display, False);
        ::shmdt(segment.shmaddr);
    }
    image->data = nullptr;
    XDestroyImage(image);
    image = nullptr;
}

void XPresenter::State::put(const std::vector<Rect>& parts, Rect at, int windowW, int windowH) {
    if (at.x != placed.x || at.y != placed.y || at.width != placed.width || at.height != placed.height ||
        windowW != placedInW || windowH != placedInH) {
        // The bars beside or above the picture.
        XSetForeground(display, gc, BlackPixel(display, DefaultScreen(display)));
        XFillRectangle(display, window, gc, 0, 0, windowW, (std::max)(0, at.y));
        XFillRectangle(display, window, gc, 0, at.y + at.height, windowW, (std::max)(0, windowH - at.y - at.height));
        XFillRectangle(display, window, gc, 0, at.y, (std::max)(0, at.x), at.height);
        XFillRectangle(display, window, gc, at.x + at.width, at.y, (std::max)(0, windowW - at.x - at.width), at.height);
        placed = at;
        placedInW = windowW;
        placedInH = windowH;
    }
    for (const Rect& r : parts) {
        if (sharedMemory)
            XShmPutImage(display, window, gc, image, r.x, r.y, at.x + r.x, at.y + r.y, r.width, r.height, False);
        else
            XPutImage(display, window, gc, image, r.x, r.y, at.x + r.x, at.y + r.y, r.width, r.height);
    }
    // The picture's memory is free again once the server says it took it.
    XSync(display, False);
}

void XPresenter::State::run() {
    std::unique_lock hold(lock);
    while (true) {
        changed.wait(hold, [this] { return stopping || pending || probesAnswered < probesAsked; });
        if (stopping) break;
        const long probes = probesAsked;
        if (!pending) {
            hold.unlock();
            XSync(display, False);
            hold.lock();
            probesAnswered = (std::max)(probesAnswered, probes);
            changed.notify_all();
            continue;
        }
        bool all = whole;
        if (!image || image->width != width || image->height != height) {
            // A new size: the whole picture goes in afresh.
            const int w = width, h = height;
            hold.unlock();
            const bool made = makeImage(w, h);
            hold.lock();
            if (!made) {
                pending = false;
                continue;
            }
            all = true;
            if (w != width || h != height) continue;  // another size came meanwhile
        }
        std::vector<Rect> parts = all ? std::vector<Rect>{{0, 0, width, height}} : redrawn;
        for (Rect& r : parts) {
            r.x = (std::clamp)(r.x, 0, width);
            r.y = (std::clamp)(r.y, 0, height);
            r.width = (std::clamp)(r.width, 0, width - r.x);
            r.height = (std::clamp)(r.height, 0, height - r.y);
            for (int row = r.y; row < r.y + r.height; ++row)
                std::memcpy(image->data + static_cast<std::size_t>(row) * image->bytes_per_line + r.x * 4,
                            latest.data() + (static_cast<std::size_t>(row) * width + r.x) * 4,
                            static_cast<std::size_t>(r.width) * 4);
        }
        parts.erase(
            std::remove_if(parts.begin(), parts.end(), [](const Rect& r) { return r.width <= 0 || r.height <= 0; }),
            parts.end());
        const Rect at = place;
        const int windowW = windowWidth, windowH = windowHeight;
        redrawn.clear();
        whole = false;
        pending = false;
        hold.unlock();
        put(parts, at, windowW, windowH);
        hold.lock();
        ++shown;
        probesAnswered = (std::max)(probesAnswered, probes);
        changed.notify_all();
    }
    hold.unlock();
    freeImage();
    if (gc) XFreeGC(display, gc);
    XCloseDisplay(display);
    hold.lock();
    done = true;
    changed.notify_all();
}

std::unique_ptr<XPresenter> XPresenter::open(const std::string& name, unsigned long window, std::string& reason) {
    Display* display = XOpenDisplay(name.c_str());
    if (!display) {
        reason = "cannot open the display " + name + " again to show the pictures";
        return nullptr;
    }
    XSetIOErrorExitHandler(display, presenterGoesOn, nullptr);
    keepOutOfLoss(display);
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, window, &attributes) || !attributes.visual ||
        attributes.visual->red_mask != 0xff0000 || attributes.visual->green_mask != 0xff00 ||
        attributes.visual->blue_mask != 0xff || (attributes.depth != 24 && attributes.depth != 32) ||
        ImageByteOrder(display) != LSBFirst) {
        reason = "the window's pixels are not 32-bit red, green and blue";
        XCloseDisplay(display);
        return nullptr;
    }
    auto state = std::make_shared<State>();
    state->display = display;
    state->window = window;
    state->visual = attributes.visual;
    state->depth = attributes.depth;
    XGCValues values{};
    values.graphics_exposures = False;
    state->gc = XCreateGC(display, window, GCGraphicsExposures, &values);
    state->sharedMemory = local(display) && XShmQueryExtension(display);
    std::thread([state] { state->run(); }).detach();
    return std::unique_ptr<XPresenter>(new XPresenter(std::move(state)));
}

XPresenter::XPresenter(std::shared_ptr<State> state) : state_(std::move(state)) {}

XPresenter::~XPresenter() {
    if (!stopped_) stop(0);
}

void XPresenter::show(const std::uint8_t* pixels, std::size_t stride, int width, int height, Rect place,
                      int windowWidth, int windowHeight, const std::vector<Rect>& redrawn) {
    if (!pixels || width <= 0 || height <= 0) return;
    State& s = *state_;
    std::lock_guard hold(s.lock);
    bool all = redrawn.empty();
    if (s.width != width || s.height != height) {
        s.latest.assign(static_cast<std::size_t>(width) * height * 4, 0);
        s.width = width;
        s.height = height;
        all = true;
    }
    auto copy = [&](const Rect& r) {
        const int x0 = (std::clamp)(r.x, 0, width), y0 = (std::clamp)(r.y, 0, height);
        const int x1 = (std::clamp)(r.x + r.width, x0, width), y1 = (std::clamp)(r.y + r.height, y0, height);
        for (int row = y0; row < y1; ++row)
            std::memcpy(s.latest.data() + (static_cast<std::size_t>(row) * width + x0) * 4,
                        pixels + static_cast<std::size_t>(row) * stride + x0 * 4,
                        static_cast<std::size_t>(x1 - x0) * 4);
    };
    if (all) {
        copy({0, 0, width, height});
        s.whole = true;
        s.redrawn.clear();
    } else {
        for (const Rect& r : redrawn) copy(r);
        if (!s.whole) s.redrawn.insert(s.redrawn.end(), redrawn.begin(), redrawn.end());
    }
    s.place = place;
    s.windowWidth = windowWidth;
    s.windowHeight = windowHeight;
    s.pending = true;
    s.changed.notify_all();
}

bool XPresenter::answers(double seconds) {
    State& s = *state_;
    std::unique_lock hold(s.lock);
    const long asked = ++s.probesAsked;
    s.changed.notify_all();
    return s.changed.wait_for(hold, std::chrono::duration<double>(seconds), [&] {
        return s.probesAnswered >= asked || s.done;
    }) && s.probesAnswered >= asked;
}

long XPresenter::shown() const {
    std::lock_guard hold(state_->lock);
    return state_->shown;
}

bool XPresenter::stop(double seconds) {
    stopped_ = true;
    State& s = *state_;
    std::unique_lock hold(s.lock);
    s.stopping = true;
    s.changed.notify_all();
    return s.changed.wait_for(hold, std::chrono::duration<double>(seconds), [&] { return s.done; });
}

}  // namespace xdisplay
