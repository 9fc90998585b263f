// Installing the page engine and stepping the toolkit's main context from the run loop.
#include "platform/webengine/web_engine.h"

#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <cstdlib>
#include <memory>

#include "platform/dispatch/clock.h"
#include "platform/dispatch/run_loop.h"
#include "platform/dispatch/timer.h"
#include "platform/runtime/log.h"
#include "platform/ui/controller/wk_web_view.h"
#include "platform/webengine/gtk_web_engine.h"

// Last: the X headers define plain names as macros.
#ifdef GDK_WINDOWING_X11
#include <gdk/gdkx.h>
#endif

namespace webengine {
namespace {

// At most this many toolkit events per step, so that a busy page cannot starve the run loop.
constexpr int kEventsPerStep = 200;
// How often the run loop wakes for the toolkit while it would otherwise wait.
constexpr double kWakeInterval = 1.0 / 60;

bool& installedFlag() {
    static bool flag = false;
    return flag;
}

std::shared_ptr<NSTimer>& wakeTimer() {
    static std::shared_ptr<NSTimer> timer;
    return timer;
}

// The toolkit's main context runs on the main thread, between the run loop's own work: pending
// events are dispatched whenever the loop runs out of work, and while pages are open a timer
// wakes a waiting loop so that replies from the engine's processes are seen.
void step() {
    for (int i = 0; i < kEventsPerStep && g_main_context_pending(nullptr); ++i)
        g_main_context_iteration(nullptr, FALSE);
    auto& timer = wakeTimer();
    if (GtkWebEngine::liveCount() == 0) {
        if (timer) timer->invalidate();
        timer.reset();
        return;
    }
    // Under the virtual clock whoever steps the loop steps the toolkit too.
    if (!Clock::isVirtual() && (!timer || !timer->isValid())) {
        timer = NSTimer::timer(kWakeInterval, true, [](const std::shared_ptr<NSTimer>&) {});
        RunLoop::main().addTimer(timer, RunLoopMode::Common);
    }
}

// The toolkit and the engine's processes read these: no GPU paths (these machines have none to
// rely on).
void setEngineEnvironment() {
    setenv("WEBKIT_DISABLE_COMPOSITING_MODE", "1", 0);
    setenv("WEBKIT_DISABLE_DMABUF_RENDERER", "1", 0);
    setenv("LIBGL_ALWAYS_SOFTWARE", "1", 0);
    // No accessibility bus: looking for one costs seconds at every start where there is none.
    setenv("NO_AT_BRIDGE", "1", 0);
}

#ifdef GDK_WINDOWING_X11
void goOnWithoutDisplay(Display*, void*) {}

// The protocol-error handlers the toolkit's start found and left. Set once, on the main thread,
// before any error can reach them.
XErrorHandler gHostsErrors = nullptr;
XErrorHandler gToolkitsErrors = nullptr;
Display* gToolkitsDisplay = nullptr;

// The toolkit's errors (and its traps) stay the toolkit's; the rest go to the host's handler.
int routeProtocolError(Display* display, XErrorEvent* error) {
    XErrorHandler handler = display == gToolkitsDisplay ? gToolkitsErrors : gHostsErrors;
    return handler ? handler(display, error) : 0;
}
#endif

// The toolkit's start replaces the handlers of a lost X connection and of a protocol error with
// ones that end the process at once. The host's stay: the program's end finishes the user's work
// first. The toolkit's own connection then goes on with calls that fail, as the host's window does.
bool gtkInitKeepingTheHostsDisplayHandling() {
#ifdef GDK_WINDOWING_X11
    XIOErrorHandler hosts = XSetIOErrorHandler(nullptr);
    XSetIOErrorHandler(hosts);
    XErrorHandler hostsErrors = XSetErrorHandler(nullptr);
    XSetErrorHandler(hostsErrors);
    bool started = gtk_init_check(nullptr, nullptr);
    XSetIOErrorHandler(hosts);
    GdkDisplay* display = gdk_display_get_default();
    if (started && display && GDK_IS_X11_DISPLAY(display)) {
        XSetIOErrorExitHandler(gdk_x11_display_get_xdisplay(display), goOnWithoutDisplay, nullptr);
        gToolkitsDisplay = gdk_x11_display_get_xdisplay(display);
        gToolkitsErrors = XSetErrorHandler(routeProtocolError);
        gHostsErrors = hostsErrors;
    } else {
        XSetErrorHandler(hostsErrors);
    }
    return started;
#else
    return gtk_init_check(nullptr, nullptr);
#endif
}

// The toolkit and the engine, started on the main thread; why not, if they cannot be.
std::optional<std::string> start() {
    const char* x = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if ((!x || !*x) && (!wayland || !*wayland))
        return std::string("no display (neither DISPLAY nor WAYLAND_DISPLAY is set)");
    setEngineEnvironment();
    if (!gtkInitKeepingTheHostsDisplayHandling()) return std::string("the display could not be opened");
    // The engine's sandbox needs user namespaces, which root on these machines does not get.
    webkit_web_context_set_sandbox_enabled(webkit_web_context_get_default(), FALSE);
    RunLoop::main().addBeforeWaitingObserver(step);
    installedFlag() = true;
    Log::info("web", "web views run on the page engine");
    return std::nullopt;
}

}  // namespace

std::optional<std::string> install() {
    if (installedFlag()) return std::nullopt;
    if (auto why = start()) return why;
    WKWebView::setEngineFactory([](WKWebEngineEvents events) -> std::unique_ptr<WKWebEngine> {
        return std::make_unique<GtkWebEngine>(std::move(events));
    });
    return std::nullopt;
}

std::optional<std::string> installOnFirstUse() {
    if (installedFlag()) return std::nullopt;
    const char* x = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if ((!x || !*x) && (!wayland || !*wayland))
        return std::string("no display (neither DISPLAY nor WAYLAND_DISPLAY is set)");
    WKWebView::setEngineFactory([](WKWebEngineEvents events) -> std::unique_ptr<WKWebEngine> {
        // Tried once: a toolkit that cannot start leaves every web view in its text form.
        static const std::optional<std::string> why = installedFlag() ? std::nullopt : start();
        if (why) {
            static bool told = false;
            if (!told) Log::warning("web", "web pages shown as text: " + *why);
            told = true;
            return nullptr;
        }
        return std::make_unique<GtkWebEngine>(std::move(events));
    });
    return std::nullopt;
}

bool installed() {
    return installedFlag();
}

}  // namespace webengine
