// Reaching the X display on a thread of its own, and the X library's fatal-error handlers.
#include "platform/host/x_display.h"

#include <SDL.h>
#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <functional>
#include <iterator>
#include <mutex>
#include <set>
#include <string>
#include <tuple>

#include "platform/dispatch/result_within.h"
#include "platform/host/server_clock.h"
#include "platform/host/x_event_screen.h"
#include "platform/runtime/log.h"

// Last: the X headers define plain names as macros.
#include <SDL_syswm.h>
// The X library's hook on each event as it is read (before the video system sees it).
#include <X11/Xatom.h>
#include <X11/Xlibint.h>
#include <X11/extensions/XInput2.h>

namespace xdisplay {
namespace {

std::function<void(const std::string&)>& onLost() {
    static auto* callback = new std::function<void(const std::string&)>;
    return *callback;
}

std::function<void()>& onWindowGone() {
    static auto* callback = new std::function<void()>;
    return *callback;
}

std::function<void()>& onClosed() {
    static auto* callback = new std::function<void()>;
    return *callback;
}

bool gLost = false;
bool gWindowGone = false;
Display* gWatchedDisplay = nullptr;
XID gWatchedWindow = 0;

// The server's clock, from the events it made as they are read; and when the key the video
// system is handing on was made.
ServerClock gServerClock;
std::optional<double> gKeyMadeAt;
// Where the server last said the pointer was over the window (a key, a click, a drag's move, a
// crossing), as the video system is handed its words.
std::optional<std::pair<int, int>> gPointer;

double steadySeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// The server's stamp on an event it made, as it is read.
void noteServerTime(const xEvent& wire) {
    if (wire.u.u.type & 0x80) return;  // another client's: its stamp is whatever that client wrote
    switch (wire.u.u.type) {
        case KeyPress:
        case KeyRelease:
        case ButtonPress:
        case ButtonRelease:
        case MotionNotify: gServerClock.heard(wire.u.keyButtonPointer.time, steadySeconds()); break;
        case EnterNotify:
        case LeaveNotify: gServerClock.heard(wire.u.enterLeave.time, steadySeconds()); break;
        case PropertyNotify: gServerClock.heard(wire.u.property.time, steadySeconds()); break;
        default: break;
    }
}

// The window's size as the server last gave it.
int gServerWidth = 0;
int gServerHeight = 0;

// The core events the watch judges: each is one another client may send, naming the window or
// another, that the video system would act on as the server's word. Other core events are taken
// from anyone (an exposure costs a redraw at most).
constexpr int kScreened[] = {KeyPress,        KeyRelease,     ButtonPress,     ButtonRelease, MotionNotify, EnterNotify,
                             LeaveNotify,     FocusIn,        FocusOut,        KeymapNotify,  MapNotify,    UnmapNotify,
                             ConfigureNotify, PropertyNotify, SelectionNotify, ClientMessage, MappingNotify};

bool screened(int type) {
    return std::find(std::begin(kScreened), std::end(kScreened), type) != std::end(kScreened);
}

// The X library converts each event it reads through a converter chosen by its type without the
// sent flag (the low seven bits): the watch stands in front of every one but the generic event's
// (which no client can send, and whose own converters are chosen by extension). Types from
// LASTEvent on are the extensions': their libraries put in their converters as they first use
// them, in place of whatever was there.
constexpr int kKinds = 128;

bool hooked(int type) {
    return type >= KeyPress && type < kKinds && type != GenericEvent;
}

// The converters the watch stands in front of, by type: the X library's, or the latest an
// extension's library put in. Once given back they are kept: a display that still holds the hook
// converts through them.
using WireToEvent = Bool (*)(Display*, XEvent*, xEvent*);
WireToEvent gXlibConverters[kKinds] = {};

// What the reading does with each event read off the watched display: its share of the turn, what
// it keeps for the turns after and hands on, and the window's closing.
XEventScreen gScreen;

// Whether the watched display's connection holds more than has been read.
bool backlog() {
    if (!gWatchedDisplay) return false;
    pollfd connection{ConnectionNumber(gWatchedDisplay), POLLIN, 0};
    return ::poll(&connection, 1, 0) > 0;
}
static_assert(XEventScreen::kReadATurn == kReadATurn);

// The messages of drag and drop. The program takes no drops; the video system, given one, asks
// the server for the names of the types it offers and reads a name the server refused as a string.
constexpr const char* kDragAndDrop[] = {"XdndEnter", "XdndPosition", "XdndStatus",
                                        "XdndLeave", "XdndDrop",     "XdndFinished"};
Atom gDragAndDrop[std::size(kDragAndDrop)] = {};

bool isDragAndDrop(Atom message) {
    return message != None &&
           std::find(std::begin(gDragAndDrop), std::end(gDragAndDrop), message) != std::end(gDragAndDrop);
}

// Whether an event read off the watched display reaches the video system. Any client may send any
// event naming any window; what only the server can truly say is taken from the server alone.
bool believed(const XEvent& event) {
    switch (event.type) {
        case ConfigureNotify: {
            // The video system would take the size for the window's and lay everything out, and
            // allocate its frame, at it. A sent one is kept only where it gives the window's own
            // size (a window manager's word on a move).
            const XConfigureEvent& configure = event.xconfigure;
            if (!configure.send_event) {
                if (configure.window == gWatchedWindow) {
                    gServerWidth = configure.width;
                    gServerHeight = configure.height;
                }
                return true;
            }
            return configure.width == gServerWidth && configure.height == gServerHeight;
        }
        // Sent by clients only: a window manager's protocols are kept, drag and drop is not.
        case ClientMessage: return !isDragAndDrop(event.xclient.message_type);
        // Sent by clients only, to the window only as the answer to a drop's conversion.
        case SelectionNotify: return event.xany.window != gWatchedWindow;
        // The rest are the server's word alone: the keyboard's and the mouse's input and focus
        // (the user's, not another program's), the window's mapping (a sent unmap would have the
        // video system take it for hidden and show nothing more), a property's change (the video
        // system asks for the name of its atom and reads a refused name as a string) and the
        // keyboard's mapping.
        default: return !event.xany.send_event;
    }
}

// A message the window sends itself through the server at the last turn: once it is read, so is
// everything the server made before it took the message. Another client may send one too; that
// only ends the wait early.
Atom gReadMark = None;
bool gReadMarkSeen = false;

bool isReadMark(const xEvent& wire) {
    return (wire.u.u.type & 0x7f) == ClientMessage && gReadMark != None &&
           wire.u.clientMessage.window == gWatchedWindow && wire.u.clientMessage.u.l.type == gReadMark;
}

// The window manager's close: a message of its protocols asking the window to go. It is heard as
// it is read, whatever the reading keeps or drops around it (a storm of exposures, say).
Atom gProtocols = None;
Atom gDeleteWindow = None;

bool isClose(const xEvent& wire) {
    return (wire.u.u.type & 0x7f) == ClientMessage && gProtocols != None && wire.u.u.detail == 32 &&
           wire.u.clientMessage.window == gWatchedWindow && wire.u.clientMessage.u.l.type == gProtocols &&
           static_cast<Atom>(static_cast<CARD32>(wire.u.clientMessage.u.l.longs0)) == gDeleteWindow;
}

// The server's word that the watched window is gone (another program destroyed it). Any client may
// send an event that names the window; only the server's own says it is gone.
bool isDestruction(const xEvent& wire) {
    return wire.u.u.type == DestroyNotify && wire.u.destroyNotify.window == gWatchedWindow;
}

void windowIsGone() {
    if (gWindowGone) return;
    gWindowGone = true;
    if (auto& callback = onWindowGone()) callback();
}

// Called as each event is read off a display that holds the hook, before its library converts it
// and before the video system sees it; False drops it (or the screen kept it).
Bool fromWire(Display* display, XEvent* event, xEvent* wire) {
    const int type = wire->u.u.type & 0x7f;
    const WireToEvent xlib = gXlibConverters[type];
    if (display != gWatchedDisplay || !gWatchedWindow) return xlib ? xlib(display, event, wire) : False;
    noteServerTime(*wire);
    if (isReadMark(*wire)) {
        gReadMarkSeen = true;
        return False;
    }
    if (isClose(*wire)) {
        if (auto& closed = onClosed()) closed();
        return False;
    }
    // Heard as it is read, as the close is, whatever the reading keeps or drops around it.
    if (isDestruction(*wire)) windowIsGone();
    if (!gScreen.read(*wire)) return False;
    if (!xlib || !xlib(display, event, wire)) return False;
    if (type >= LASTEvent || !screened(type)) return True;
    return believed(*event) ? True : False;
}

// The window hears the pointer's moves only while the first button is held (a drag, whose moves
// become a touch's), and no property's change (the video system reads what it needs of the
// window's properties as it needs it): another client warping the pointer across the window or
// changing its properties without pause then makes the server send it nothing. A click or a wheel's
// turn is placed from the server's own word on it as it is handed on, not from the last move.
void hearOnlyWhatIsUsed() {
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(gWatchedDisplay, gWatchedWindow, &attributes)) return;
    const long mask = (attributes.your_event_mask & ~(PointerMotionMask | PropertyChangeMask)) | Button1MotionMask;
    XSelectInput(gWatchedDisplay, gWatchedWindow, mask);
    // The video system asks the input extension for the pointer's moves too (beside a touch
    // screen's touches, which stay): those moves are taken out of what it asked for.
    int opcode = 0, firstEvent = 0, firstError = 0;
    if (!XQueryExtension(gWatchedDisplay, "XInputExtension", &opcode, &firstEvent, &firstError)) return;
    int count = 0;
    XIEventMask* masks = XIGetSelectedEvents(gWatchedDisplay, gWatchedWindow, &count);
    if (!masks) return;
    bool changed = false;
    for (int i = 0; i < count; ++i) {
        if (masks[i].mask_len * 8 <= XI_Motion || !XIMaskIsSet(masks[i].mask, XI_Motion)) continue;
        XIClearMask(masks[i].mask, XI_Motion);
        changed = true;
    }
    if (changed) XISelectEvents(gWatchedDisplay, gWatchedWindow, masks, count);
    XFree(masks);
}

// Puts the watch in front of every converter of the display again, taking note of any an
// extension's library put in since.
void standInFront() {
    for (int type = 0; type < kKinds; ++type) {
        if (!hooked(type)) continue;
        const WireToEvent previous = XESetWireToEvent(gWatchedDisplay, type, fromWire);
        if (previous != fromWire) gXlibConverters[type] = previous;
    }
}

// Puts a kept event back in the display's queue, behind what is there (all of it read before it).
// Called with the display locked.
void enqueue(const xEvent& kept) {
    xEvent wire = kept;
    // Read before the requests answered since: the X library widens the number to the latest
    // answered one's instead of taking it for a request to come (a keymap's state has none).
    if ((wire.u.u.type & 0x7f) != KeymapNotify)
        wire.u.u.sequenceNumber = static_cast<CARD16>(gWatchedDisplay->last_request_read);
    _XEnq(gWatchedDisplay, &wire);
}

// How long the last turn waits for its mark: about a third of the end's bound, the rest left to a
// shot the keys read then begin (which takes seconds in a sanitized build on a busy machine).
constexpr double kMarkAtTheEndSeconds = 3;

// Reads, within a time limit, all the server made before it was asked: a key it made before the
// end was asked comes in behind whatever another client made it send before. The reading goes
// through the screen, as the last turn's does.
void readAllMadeBefore() {
    if (gReadMark == None) return;
    XEvent mark{};
    mark.xclient.type = ClientMessage;
    mark.xclient.window = gWatchedWindow;
    mark.xclient.message_type = gReadMark;
    mark.xclient.format = 32;
    gReadMarkSeen = false;
    if (!XSendEvent(gWatchedDisplay, gWatchedWindow, False, NoEventMask, &mark)) return;
    XFlush(gWatchedDisplay);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(kMarkAtTheEndSeconds);
    while (!gReadMarkSeen && !gLost) {
        // Read whatever the connection holds: the X library's public call reads nothing while its
        // queue holds events (the kept ones just handed on, say).
        LockDisplay(gWatchedDisplay);
        _XEventsQueued(gWatchedDisplay, QueuedAfterReading);
        UnlockDisplay(gWatchedDisplay);
        if (gReadMarkSeen) break;
        const auto left = std::chrono::duration<double>(deadline - std::chrono::steady_clock::now()).count();
        if (left <= 0) break;
        pollfd connection{ConnectionNumber(gWatchedDisplay), POLLIN, 0};
        ::poll(&connection, 1, static_cast<int>(std::ceil(left * 1000)));
    }
    if (!gReadMarkSeen && !gLost)
        Log::warning("host", "the display still held events from before the end after " +
                                 std::to_string(static_cast<int>(kMarkAtTheEndSeconds)) + " s; ending without them");
}

// The video system hands each X event on as an event of its own. Kept in its queue, a flood of
// them made each exposure or move after them cost a walk past all of them (the video system looks
// for one of the same kind already waiting), and past the queue's limit the events that followed
// (a key) were lost. They are heard as they come and go no further.
//
// A key the video system hands on carries when the server made it (as milliseconds of the video
// system's own clock), not when it was read, and a click or a wheel's turn where the server placed
// the pointer for it: the X event each comes from is heard just before it.
int heardFromTheVideoSystem(void*, SDL_Event* event) {
    if ((event->type == SDL_MOUSEBUTTONDOWN || event->type == SDL_MOUSEBUTTONUP) &&
        event->button.which != SDL_TOUCH_MOUSEID && gPointer) {
        event->button.x = gPointer->first;
        event->button.y = gPointer->second;
        return 1;
    }
    if (event->type == SDL_MOUSEWHEEL && event->wheel.which != SDL_TOUCH_MOUSEID && gPointer) {
        event->wheel.mouseX = gPointer->first;
        event->wheel.mouseY = gPointer->second;
        return 1;
    }
    if (event->type == SDL_KEYDOWN || event->type == SDL_KEYUP) {
        if (gKeyMadeAt) {
            const double age = (std::max)(0.0, steadySeconds() - *gKeyMadeAt);
            const Uint32 ticks = SDL_GetTicks();
            event->key.timestamp = ticks - (std::min)(ticks, static_cast<Uint32>(std::lround(age * 1000)));
            gKeyMadeAt.reset();
        }
        return 1;
    }
    if (event->type != SDL_SYSWMEVENT) return 1;
    noticeEvent(event->syswm.msg);
    return 0;
}

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

// Whether a refusal of this kind (the error for the request) is said for the first time. A
// request the loop repeats (each frame's drawing with a resource another client freed) fails
// every time; it is said once.
bool firstOfItsKind(const XErrorEvent& error) {
    static std::mutex lock;
    static auto* said = new std::set<std::tuple<int, int, int>>;
    std::lock_guard<std::mutex> hold(lock);
    return said->insert({error.error_code, error.request_code, error.minor_code}).second;
}

// Called for every protocol error, from inside the call that read it; it may make no request
// of its own. The X library's default prints the error and ends the process.
int protocolError(Display* display, XErrorEvent* error) {
    const bool ourWindow = gWatchedWindow && display == gWatchedDisplay && error->resourceid == gWatchedWindow;
    if (ourWindow && (error->error_code == BadWindow || error->error_code == BadDrawable)) {
        windowIsGone();
        return 0;
    }
    // What a window already gone still draws fails the same way; that is said once above.
    if (gWindowGone && display == gWatchedDisplay) return 0;
    if (!firstOfItsKind(*error)) return 0;
    char text[128] = "";
    XGetErrorText(display, error->error_code, text, sizeof text);
    Log::warning("host", std::string("the display refused a request (") + text + ", request " +
                             std::to_string(error->request_code) + "." + std::to_string(error->minor_code) +
                             "); going on");
    return 0;
}

}  // namespace

std::optional<std::string> reach(const std::string& name, double seconds) {
    // The X library has no time limit of its own: a server that accepts and stays silent keeps
    // the opening call waiting for ever, so it waits on a thread the start can leave behind.
    auto opened = resultWithin<bool>(seconds, [name] {
        Display* display = XOpenDisplay(name.c_str());
        if (display) XCloseDisplay(display);
        return display != nullptr;
    });
    if (!opened) return "the display " + name + " " + didNotAnswerWithin(seconds);
    if (!*opened) return "cannot open the display " + name;
    return std::nullopt;
}

void watch(SDL_Window* window, std::function<void(const std::string& display)> lost, std::function<void()> windowGone,
           std::function<void()> closed) {
    // Whatever the window before came to, this one starts afresh, on X or not.
    gLost = false;
    gWindowGone = false;
    gWatchedDisplay = nullptr;
    gWatchedWindow = 0;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return;
    onLost() = std::move(lost);
    onWindowGone() = std::move(windowGone);
    onClosed() = std::move(closed);
    gServerClock.reset();
    gKeyMadeAt.reset();
    gPointer.reset();
    gWatchedDisplay = info.info.x11.display;
    gWatchedWindow = info.info.x11.window;
    XSetIOErrorHandler(connectionBroke);
    XSetIOErrorExitHandler(info.info.x11.display, goOnWithoutDisplay, nullptr);
    // In place of the video system's, which passes the error on to the handler it found.
    takeProtocolErrors();
    // (The filter's setting empties the video system's queue: the window has just opened, and the
    // loop has read nothing yet.)
    SDL_SetEventFilter(heardFromTheVideoSystem, nullptr);
    SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
    for (std::size_t i = 0; i < std::size(kDragAndDrop); ++i)
        gDragAndDrop[i] = XInternAtom(gWatchedDisplay, kDragAndDrop[i], False);
    gReadMark = XInternAtom(gWatchedDisplay, "KORVA_READ_MARK", False);
    gProtocols = XInternAtom(gWatchedDisplay, "WM_PROTOCOLS", False);
    gDeleteWindow = XInternAtom(gWatchedDisplay, "WM_DELETE_WINDOW", False);
    // The size is followed from here on, from the server's events read after the hook is in place
    // and then from its answer, which is newer than all of them.
    int opcode = 0, keyboardEvents = 0, keyboardErrors = 0;
    if (!XQueryExtension(gWatchedDisplay, "XKEYBOARD", &opcode, &keyboardEvents, &keyboardErrors)) keyboardEvents = 0;
    gScreen.reset(backlog, keyboardEvents);
    standInFront();
    // The server's clock is set against this process's at once: a change of the window's own
    // comes back stamped with the server's time as the answer below reads it (a key read late
    // later on is then placed when it was made).
    XChangeProperty(gWatchedDisplay, gWatchedWindow, gReadMark, XA_INTEGER, 32, PropModeAppend, nullptr, 0);
    hearOnlyWhatIsUsed();
    Window root = 0;
    int x = 0, y = 0;
    unsigned width = 0, height = 0, border = 0, depth = 0;
    if (XGetGeometry(gWatchedDisplay, gWatchedWindow, &root, &x, &y, &width, &height, &border, &depth)) {
        gServerWidth = static_cast<int>(width);
        gServerHeight = static_cast<int>(height);
    }
}

void takeProtocolErrors() {
    XSetErrorHandler(protocolError);
}

void unwatch() {
    // The X library's own again (kept: a display left with the hook still converts through them).
    if (gWatchedDisplay) {
        for (int type = 0; type < kKinds; ++type)
            if (hooked(type) && gXlibConverters[type]) XESetWireToEvent(gWatchedDisplay, type, gXlibConverters[type]);
        SDL_SetEventFilter(nullptr, nullptr);
    }
    gWatchedDisplay = nullptr;
    gWatchedWindow = 0;
    gScreen.reset();
    onLost() = nullptr;
    onWindowGone() = nullptr;
    onClosed() = nullptr;
}

void beginTurn() {
    if (!gWatchedDisplay) return;
    standInFront();
    LockDisplay(gWatchedDisplay);
    gScreen.beginTurn(enqueue);
    UnlockDisplay(gWatchedDisplay);
}

void closing() {
    if (!gWatchedDisplay) return;
    // The teardown reads the display too (the server's word that the window is unmapped).
    standInFront();
    gScreen.closing();
}

bool flooded() {
    return gWatchedDisplay && gScreen.flooded();
}

void stayInFront() {
    if (gWatchedDisplay) standInFront();
}

void lastTurn() {
    if (!gWatchedDisplay) return;
    standInFront();
    LockDisplay(gWatchedDisplay);
    gScreen.lastTurn(enqueue);
    UnlockDisplay(gWatchedDisplay);
    if (!gLost) readAllMadeBefore();
}

void noticeEvent(const SDL_SysWMmsg* message) {
    if (!message || message->subsystem != SDL_SYSWM_X11 || !gWatchedWindow) return;
    const XEvent& event = message->msg.x11.event;
    if ((event.type == KeyPress || event.type == KeyRelease) && !event.xany.send_event)
        gKeyMadeAt = gServerClock.madeAt(static_cast<std::uint32_t>(event.xkey.time));
    if (!event.xany.send_event && event.xany.window == gWatchedWindow) {
        switch (event.type) {
            case KeyPress:
            case KeyRelease: gPointer = {event.xkey.x, event.xkey.y}; break;
            case ButtonPress:
            case ButtonRelease: gPointer = {event.xbutton.x, event.xbutton.y}; break;
            case MotionNotify: gPointer = {event.xmotion.x, event.xmotion.y}; break;
            case EnterNotify:
            case LeaveNotify: gPointer = {event.xcrossing.x, event.xcrossing.y}; break;
            default: break;
        }
    }
}

std::optional<std::pair<int, int>> pointer() {
    return gPointer;
}

bool lost() {
    return gLost;
}

bool gone() {
    return gLost || gWindowGone;
}

}  // namespace xdisplay
