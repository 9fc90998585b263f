// The end of the program: the signal handlers and the road after the host's loop.
#include "platform/host/program_ending.h"

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

#include "platform/dispatch/clock.h"
#include "platform/dispatch/exit_hold.h"
#include "platform/dispatch/queue.h"
#include "platform/dispatch/run_loop.h"
#include "platform/host/end_watch.h"
#include "platform/host/host.h"
#include "platform/runtime/log.h"
#include "platform/ui/app/ui_application.h"

namespace {

std::atomic<int> gPhase{static_cast<int>(ProgramEnding::Phase::Starting)};
std::atomic<int> gSignals{0};
std::atomic<int> gSignal{0};
static_assert(std::atomic<int>::is_always_lock_free, "the signal handler needs lock-free atomics");

// Why the window went from under the loop. Set on the main thread only; read there too.
std::optional<std::string> gLost;
// The window manager's close. Main thread.
bool gClosed = false;

// The bound each ask starts, in nanoseconds; 0 while the end is not watched.
std::atomic<long long> gEndBound{0};
static_assert(std::atomic<long long>::is_always_lock_free, "the signal handler reads the bound");

// Starts the end's bound where it is watched. Async-signal-safe.
void boundTheEnd(int status) {
    if (long long bound = gEndBound.load()) endwatch::arm(status, static_cast<double>(bound) / 1e9);
}

// How the end names work it cuts off.
constexpr const char* kNotSaved = " was not saved: the program ended before it was written";

// Within the watch's bound, with room left to say what was cut off before it ends the process.
constexpr double kRoomBeforeTheBound = 0.5;

// The grace the last finish() gave the work, as leave() names it. Main thread.
double gGrace = ProgramEnding::kGraceSeconds;

// The status leave() gave main once everything had finished: from then on only the process's
// teardown is left. Main thread.
std::optional<int> gLeaving;

double steadySeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Said from a signal handler: what does not fit at once is dropped, so that a standard error nobody
// reads cannot hold the end.
void sayRaw(const char* text) {
    std::size_t length = 0;
    while (text[length]) ++length;
    endwatch::sayAtOnce(text, length);
}

// What the grace's end says of work it cuts off, said by the watch when its bound does: a line for
// each, written whole, with nothing allocated. The list's lock is waited on briefly at most.
constexpr double kListWaitSeconds = 0.1;
void sayWhatTheBoundCutsOff() {
    ExitHold::sayPending(kListWaitSeconds, [](const char* what) {
        char line[512];
        std::size_t length = 0;
        for (const char* part : {"korva error host: ", what, kNotSaved})
            for (; *part && length + 2 < sizeof line; ++part) line[length++] = *part;
        line[length++] = '\n';
        endwatch::sayAtOnce(line, length);
    });
}

extern "C" void onEndingSignal(int number) {
    int seen = gSignals.fetch_add(1) + 1;
    if (gPhase.load() == static_cast<int>(ProgramEnding::Phase::Starting) || seen > 1) {
        sayRaw(number == SIGINT   ? "korva: interrupted; ending now\n"
               : number == SIGHUP ? "korva: hung up; ending now\n"
                                  : "korva: terminated; ending now\n");
        // The default action, once this handler returns: the process ends by the signal.
        ::signal(number, SIG_DFL);
        ::raise(number);
        return;
    }
    gSignal.store(number);
    boundTheEnd(0);
}

// One turn of the main loop while the end waits: blocks and timers as they fall due. A virtual
// clock moves with real time, as it does in the window host's loop.
void turnMainLoop(double& last) {
    constexpr double kTurn = 0.01;
    if (Clock::isVirtual()) {
        std::this_thread::sleep_for(std::chrono::duration<double>(kTurn / 2));
        double now = steadySeconds();
        RunLoop::main().advance(now - last);
        last = now;
    } else {
        RunLoop::main().runUntil(Clock::now() + kTurn);
    }
}

}  // namespace

void ProgramEnding::installSignalHandlers() {
    struct sigaction action {};
    action.sa_handler = onEndingSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    // An ignored hang-up or interrupt was asked for by whoever started the program (nohup, a
    // script's background job): it stays ignored.
    for (int number : {SIGINT, SIGHUP}) {
        struct sigaction inherited {};
        if (sigaction(number, nullptr, &inherited) == 0 && inherited.sa_handler == SIG_IGN) continue;
        sigaction(number, &action, nullptr);
    }
    ::signal(SIGPIPE, SIG_IGN);
}

void ProgramEnding::watchTheEnd(double seconds) {
    endwatch::start(sayWhatTheBoundCutsOff);
    gEndBound.store(static_cast<long long>(seconds * 1e9));
}

ProgramEnding::Phase ProgramEnding::phase() {
    return static_cast<Phase>(gPhase.load());
}

void ProgramEnding::loopRunning() {
    gPhase.store(static_cast<int>(Phase::Running));
}

std::optional<ProgramEnding::Request> ProgramEnding::requested() {
    if (gLost) return Request{1, *gLost};
    if (gClosed) return Request{0, "the window was closed"};
    if (int number = gSignal.load())
        return Request{0, number == SIGINT ? "interrupted" : number == SIGHUP ? "hung up" : "terminated"};
    return std::nullopt;
}

void ProgramEnding::displayLost(const std::string& display) {
    // The window's teardown waits for the server's word that the window is gone, and on a broken
    // connection would wait for ever: with everything else finished, the process ends here.
    if (gLeaving) {
        std::fflush(nullptr);
        ::_exit(*gLeaving);
    }
    if (!gLost) gLost = "the display " + (display.empty() ? std::string("(unnamed)") : display) + " was lost";
    boundTheEnd(1);
}

void ProgramEnding::windowDestroyed() {
    if (!gLost) gLost = "the window was destroyed by another program";
    boundTheEnd(1);
}

void ProgramEnding::windowClosed() {
    gClosed = true;
    boundTheEnd(0);
}

bool ProgramEnding::finish(Host& host, double grace) {
    gPhase.store(static_cast<int>(Phase::Ending));
    ExitHold::setEnding(true);
    // A window's end is bounded where nothing asked for it too (its teardown goes through the
    // display); a headless run's is bounded only when asked for.
    auto request = requested();
    if (request || host.kind() == HostKind::Window) boundTheEnd(request ? request->status : 0);
    if (auto left = endwatch::secondsLeft()) grace = std::min(grace, *left - kRoomBeforeTheBound);
    gGrace = grace;
    const double deadline = steadySeconds() + grace;
    // What the user started runs to its end, main-queue steps included; input taken just before
    // the end may have left the start of a shot on the main queue.
    RunLoop::main().runUntilIdle([&] { return steadySeconds() < deadline; });
    double last = steadySeconds();
    while (ExitHold::any() && steadySeconds() < deadline) turnMainLoop(last);
    if (host.kind() == HostKind::Window) UIApplication::sharedApplication()->terminate();
    // Work still running on background queues (a photo being saved, the camera's last settings)
    // finishes before the process tears down what it uses.
    bool idle = DispatchQueue::waitUntilBackgroundIdleFor(std::max(0.0, deadline - steadySeconds()));
    for (const auto& what : ExitHold::pending()) Log::error("host", what + kNotSaved);
    return idle && !ExitHold::any();
}

int ProgramEnding::leave(int code, bool finished) {
    if (finished) {
        gLeaving = code;
        return code;
    }
    std::fprintf(stderr, "korva: background work still running after %.0f s; exiting without it\n", gGrace);
    std::fflush(nullptr);
    ::_exit(code);
}

void ProgramEnding::resetForTesting() {
    gPhase.store(static_cast<int>(Phase::Starting));
    gSignals.store(0);
    gSignal.store(0);
    gLost.reset();
    gClosed = false;
    gLeaving.reset();
    gGrace = kGraceSeconds;
    endwatch::disarmForTesting();
    ExitHold::setEnding(false);
}
