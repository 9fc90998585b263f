// The window host on an X display of the test's own: another client's word that the window was
// destroyed, or on its size, is not taken for the server's, nor its drag and drop, its news of
// properties or its keys, and its flood of events leaves the next key its turn; the X library's
// converters come back as the window goes; each sign of the window's real end (the server's
// DestroyNotify as it is read, behind a flood too; a request on the window refused where no
// DestroyNotify comes) ends the program on its own and leaves the next window unharmed, a refusal
// the loop repeats is said once, and protocol errors up to the display's close are the program's
// (the X library's default would end the process); a display that never answers is given up on
// however the video driver is asked for.
#include "platform/host/x_display.h"

#include <SDL.h>
#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <tuple>

#include "platform/dispatch/clock.h"
#include "platform/dispatch/run_loop.h"
#include "platform/dispatch/timer.h"
#include "platform/host/program_ending.h"
#include "platform/host/window_host.h"
#include "platform/runtime/log.h"
#include "platform/ui/app/ui_application.h"
#include "tests/platform/host/dummy_window_driver.h"
#include "tests/support/silent_display.h"
#include "tests/support/virtual_display.h"

// Last: the X headers define plain names as macros.
#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
// The X library's converters of events as they are read.
#include <X11/Xlibint.h>

#include "tests/platform/host/window_host_on_x.h"

namespace {

const std::string kDestroyed = "the window was destroyed by another program";

// Atoms no client made: the server refuses their names.
constexpr long kUnknownAtoms[] = {0x1fff0001, 0x1fff0002, 0x1fff0003, 0x1fff0004};

}  // namespace

TEST_F(WindowHostOnX, ADestroyNotifyAnotherClientSentLeavesTheProgramRunning) {
    XEvent event = destroyNotify(true);
    event.xdestroywindow.display = other;
    ASSERT_TRUE(XSendEvent(other, xwindow, False, StructureNotifyMask, &event));
    XSync(other, False);
    EXPECT_EQ(endAfterRunning(), std::nullopt);
    EXPECT_FALSE(xdisplay::gone());
}

// The server's DestroyNotify alone, heard as it is read (nothing drawn that would be refused, no
// request on the window), and a refused request alone (the window hears no DestroyNotify) each end
// the program as the window's destruction; the first is heard behind a flood past the turn's share too.
TEST_F(WindowHostOnX, TheServersDestroyNotifyEndsTheProgram) {
    XDestroyWindow(other, xwindow);
    XSync(other, False);
    // A round trip reads all the server sent before its answer.
    XSync(display, False);
    ASSERT_TRUE(ProgramEnding::requested());
    EXPECT_EQ(ProgramEnding::requested()->why, kDestroyed);
}

TEST_F(WindowHostOnX, TheServersDestroyNotifyBehindAFloodEndsTheProgramAsItIsRead) {
    const auto [x, y, w, h] = placed();
    for (int i = 0; i < 4 * xdisplay::kReadATurn; ++i) {
        XEvent expose{};
        expose.xexpose = {Expose, 0, True, other, xwindow, 0, 0, w, h, 0};
        sendFromOther(expose);
    }
    XDestroyWindow(other, xwindow);
    XSync(other, False);
    // One turn's round trip reads the flood and the DestroyNotify behind it, past the turn's share.
    xdisplay::beginTurn();
    XSync(display, False);
    EXPECT_TRUE(xdisplay::flooded());
    ASSERT_TRUE(ProgramEnding::requested());
    EXPECT_EQ(ProgramEnding::requested()->why, kDestroyed);
    // The next turn hands on what was kept, the server's UnmapNotify among it, which the video
    // system's teardown waits for.
    xdisplay::beginTurn();
}

TEST_F(WindowHostOnX, ARequestOnTheWindowRefusedAsGoneEndsTheProgram) {
    // The window no longer hears its own structure's changes: the refusal is the only word of its end.
    XWindowAttributes attributes{};
    ASSERT_TRUE(XGetWindowAttributes(display, xwindow, &attributes));
    XSelectInput(display, xwindow, attributes.your_event_mask & ~StructureNotifyMask);
    XSync(display, False);
    XDestroyWindow(other, xwindow);
    XSync(other, False);
    XSync(display, False);
    // The video system's teardown waits for the server's word that the window is unmapped, which a
    // window that no longer hears its structure never gets: it is put in the queue for it.
    XEvent unmapped{};
    unmapped.xunmap = {UnmapNotify, 0, False, display, xwindow, xwindow, False};
    XPutBackEvent(display, &unmapped);
    ASSERT_FALSE(ProgramEnding::requested()) << "a DestroyNotify was read";
    SDL_SetWindowTitle(window, "after");
    XSync(display, False);
    ASSERT_TRUE(ProgramEnding::requested());
    EXPECT_EQ(ProgramEnding::requested()->why, kDestroyed);
    // The next window the process opens, on X or not, is not gone with it.
    closeWindow();
    DummyWindowDriver driver;
    EXPECT_TRUE(driver.openWindowHost());
    EXPECT_FALSE(xdisplay::gone());
}

// Another client's ConfigureNotify with a size of its own making is not the window's: a window
// manager's, with the size the server last gave the window, moves it, also where it was read beside
// a state the turn kept. Each is read over turns as the loop's: the three turns after one are past
// the one that hands it on.
TEST_F(WindowHostOnX, AConfigureNotifyAnotherClientSentIsTakenOnlyWithTheWindowsOwnSize) {
    const auto [x, y, w, h] = placed();
    auto isPlaced = [this](int x, int y, int w, int h) {
        return [=, this] { return placed() == std::make_tuple(x, y, w, h); };
    };
    for (int made : {20000, 0, 65436}) {
        configureSent(7, 8, made, made);
        turnUntil([] { return false; }, 3);
        EXPECT_EQ(placed(), std::make_tuple(x, y, w, h)) << made;
    }
    configureSent(123, 45, w, h);
    turnUntil(isPlaced(123, 45, w, h));
    EXPECT_EQ(placed(), std::make_tuple(123, 45, w, h));
    XResizeWindow(other, xwindow, w + 10, h + 20);
    configureSent(60, 70, w + 10, h + 20);
    turnUntil(isPlaced(60, 70, w + 10, h + 20));
    EXPECT_EQ(placed(), std::make_tuple(60, 70, w + 10, h + 20));
}

TEST_F(WindowHostOnX, ARefusalTheLoopRepeatsIsSaidOnce) {
    LogCapture log;
    for (int i = 0; i < 3; ++i) {
        XFreePixmap(display, xwindow + 1000);
        XSync(display, False);
    }
    int said = 0;
    for (const auto& line : log.lines()) said += line.find("the display refused a request") != std::string::npos;
    EXPECT_EQ(said, 1) << ::testing::PrintToString(log.lines());
    EXPECT_FALSE(ProgramEnding::requested());
}

// Another client frees the connection's default GC, which the X library frees again as it closes
// the display: the refusal there is the program's too, and the process goes on to its own end.
TEST_F(WindowHostOnX, ARefusalAsTheDisplayClosesDoesNotEndTheProcess) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            xcb_connection_t* freer = xcb_connect(nullptr, nullptr);
            xcb_free_gc(freer, static_cast<xcb_gcontext_t>(XGContextFromGC(DefaultGC(display, 0))));
            std::free(xcb_get_input_focus_reply(freer, xcb_get_input_focus(freer), nullptr));
            xcb_disconnect(freer);
            host.reset();
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
}

// A display that accepts and never answers costs the window host its time limit, also when the
// X driver is asked for by name, in either case.
TEST(WindowHostTimeLimit, AForcedX11DriverStillHasTheTimeLimit) {
    testsupport::SilentDisplay silent;
    ASSERT_TRUE(silent.ready()) << "no free display socket under /tmp/.X11-unix";
    const char* display = std::getenv("DISPLAY");
    const std::optional<std::string> before = display ? std::optional<std::string>(display) : std::nullopt;
    ::setenv("DISPLAY", silent.name().c_str(), 1);
    for (const char* driver : {"x11", "X11"}) {
        SCOPED_TRACE(driver);
        ::setenv("SDL_VIDEODRIVER", driver, 1);
        // On a thread of its own: without the limit the opening waits for ever.
        auto answer = std::make_shared<std::promise<std::string>>();
        auto reason = answer->get_future();
        std::thread([answer] {
            std::string why;
            HostOptions options;
            auto host = WindowHost::open(options, why);
            answer->set_value(host ? "a window" : why);
        }).detach();
        ASSERT_EQ(reason.wait_for(std::chrono::seconds(30)), std::future_status::ready) << "no time limit";
        EXPECT_EQ(reason.get(), "the display " + silent.name() + " did not answer within 4 s");
    }
    ::unsetenv("SDL_VIDEODRIVER");
    if (before)
        ::setenv("DISPLAY", before->c_str(), 1);
    else
        ::unsetenv("DISPLAY");
}

// Drag and drop naming types whose names the server refuses (offered in the message and in a list
// on the source), a property change of an atom that does not exist naming another window, and the
// answer to a drop's conversion: the program takes no drops and hears none of it, so nothing
// asks the server for those names, and the program goes on.
TEST_F(WindowHostOnX, DragAndDropAndAPropertyChangeWithUnknownAtomsChangeNothing) {
    // Nor does the window offer to take drops.
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, left = 0;
    unsigned char* offered = nullptr;
    XGetWindowProperty(other, xwindow, XInternAtom(other, "XdndAware", False), 0, 1, False, AnyPropertyType, &type,
                       &format, &count, &left, &offered);
    if (offered) XFree(offered);
    EXPECT_EQ(type, Atom(None));
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            LogCapture log;
            const Window source = XCreateSimpleWindow(other, DefaultRootWindow(other), 0, 0, 1, 1, 0, 0, 0);
            XChangeProperty(other, source, XInternAtom(other, "XdndTypeList", False), XA_ATOM, 32, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(kUnknownAtoms), 4);
            const long version = 5L << 24;
            sendFromOther(clientMessage("XdndEnter", long(xwindow), version, kUnknownAtoms[0], kUnknownAtoms[1],
                                        kUnknownAtoms[2]));
            sendFromOther(clientMessage("XdndEnter", long(source), version | 1, 0, 0, 0));
            sendFromOther(
                clientMessage("XdndPosition", long(source), 0, 0, 0, XInternAtom(other, "XdndActionCopy", 0)));
            sendFromOther(clientMessage("XdndDrop", long(source), 0, 0, 0, 0));
            XEvent property{};
            property.xproperty.type = PropertyNotify;
            property.xproperty.window = source;
            property.xproperty.atom = kUnknownAtoms[3];
            sendFromOther(property);
            const char uri[] = "file:///tmp/dropped\r\n";
            XChangeProperty(other, xwindow, XA_PRIMARY, XA_STRING, 8, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(uri), sizeof uri - 1);
            XEvent converted{};
            converted.xselection.type = SelectionNotify;
            converted.xselection.requestor = xwindow;
            converted.xselection.property = XA_PRIMARY;
            sendFromOther(converted);
            XSync(other, False);
            const bool running = !endAfterRunning() && !xdisplay::gone();
            const bool refused = std::any_of(log.lines().begin(), log.lines().end(), [](const std::string& line) {
                return line.find("refused") != std::string::npos;
            });
            std::exit(running && !refused ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

// Keys and clicks another client sends are not the user's: the keyboard's own key is the first
// the sink hears.
TEST_F(WindowHostOnX, InputAnotherClientSentIsNotTakenForTheUsers) {
    auto buttons = std::make_shared<ButtonsHeard>();
    host->setEventSink(buttons);
    XEvent key{};
    key.xkey.window = xwindow;
    key.xkey.root = DefaultRootWindow(other);
    key.xkey.keycode = XKeysymToKeycode(other, XK_KP_Add);
    key.xkey.same_screen = True;
    for (int type : {KeyPress, KeyRelease, KeyPress}) {
        key.type = type;
        sendFromOther(key);
    }
    XSync(other, False);
    EXPECT_EQ(endAfterRunning(), std::nullopt);
    EXPECT_TRUE(buttons->heard.empty());
    pressVolumeUpKey();
    EXPECT_EQ(endAfterRunning(), std::nullopt);
    ASSERT_FALSE(buttons->heard.empty());
    EXPECT_EQ(buttons->heard.front(), std::make_pair(HostButton::VolumeUp, true));
}

// Seventy thousand exposures and moves another client sent in a burst: the key pressed after them
// is taken, and the exposures are drawn a few times, not once each.
TEST_F(WindowHostOnX, AFloodOfExposuresAndMovesLeavesTheNextKeyItsTurn) {
    auto buttons = std::make_shared<ButtonsHeard>();
    host->setEventSink(buttons);
    const auto [x, y, w, h] = placed();
    constexpr int kEach = 35000;
    for (int i = 0; i < kEach; ++i) {
        XEvent expose{};
        expose.xexpose = {Expose, 0, True, other, xwindow, 0, 0, w, h, 0};
        sendFromOther(expose);
        XEvent configure{};
        configure.xconfigure = {ConfigureNotify, 0, True, other, xwindow, xwindow, i % 100, 5, w, h, 0, 0, False};
        sendFromOther(configure);
    }
    pressVolumeUpKey();
    const int shownBefore = host->picturesShown();
    // The key ends the loop; a loop that never takes it ends after a while of its clock.
    auto giveUp = NSTimer::scheduledTimer(20, false, [](const std::shared_ptr<NSTimer>&) {
        SDL_Event quit{};
        quit.type = SDL_QUIT;
        SDL_PushEvent(&quit);
    });
    XSync(display, False);
    EXPECT_EQ(host->run(), 0);
    giveUp->invalidate();
    ASSERT_FALSE(buttons->heard.empty()) << "the key was lost behind the flood";
    EXPECT_EQ(buttons->heard.front(), std::make_pair(HostButton::VolumeUp, true));
    EXPECT_LE(host->picturesShown() - shownBefore, 10);
}

// The X library's own converters come back as the window goes, for every kind of event the watch
// screened: the display is left as the video system found it.
TEST_F(WindowHostOnX, UnwatchGivesTheXLibraryItsConvertersBack) {
    using WireToEvent = Bool (*)(Display*, XEvent*, xEvent*);
    // Reads a display's converter of a kind of event, leaving it in place.
    auto converter = [](Display* on, int type) {
        WireToEvent current = XESetWireToEvent(on, type, nullptr);
        XESetWireToEvent(on, type, current);
        return current;
    };
    const int screened[] = {KeyPress,        ButtonPress,    MotionNotify,    FocusIn,       UnmapNotify,
                            ConfigureNotify, PropertyNotify, SelectionNotify, ClientMessage, MappingNotify};
    for (int type : screened) EXPECT_NE(converter(display, type), converter(other, type)) << type;
    xdisplay::unwatch();
    for (int type : screened) EXPECT_EQ(converter(display, type), converter(other, type)) << type;
}
