// The end of the program: the signal handlers and the road after the host's loop.
#include "platform/host/program_ending.h"

#include <semaphore.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <thread>

#include "platform/dispatch/clock.h"
#include "platform/dispatch/exit_hold.h"
#include "platform/dispatch/queue.h"
#include "platform/dispatch/run_loop.h"
#include "platform/host/host.h"
#include "platform/runtime/log.h"
#include "platform/ui/app/ui_application.h"

namespace {

std::atomic<int> gPhase{static_cast<int>(ProgramEnding::Phase::Starting)};
std::atomic<int> gSignals{0};
std::atomic<int> gSignal{0};
static_assert(std::atomic<int>::is_always_lock_free, "the signal handler needs lock-free atomics");

// When the end was asked, in nanoseconds of the steady clock (0: not asked), and the status the
// watch ends the process with.
std::atomic<std::int64_t> gAskedAt{0};
std::atomic<int> gAskedStatus{0};
// The watch: it waits on the semaphore (posted by a signal handler too) and then on the grace.
std::atomic<bool> gGuarded{false};
// Each watch is called off when the count moves past its own (tests start afresh).
std::atomic<int> gWatchCount{0};
sem_t gWatchWakes;
static_assert(std::atomic<std::int64_t>::is_always_lock_free, "the signal handler needs lock-free atomics");

std::int64_t steadyNanoseconds() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

// Async-signal-safe: the first ask starts the grace.
void noteAsked(int status) {
    std::int64_t none = 0;
    if (gAskedAt.compare_exchange_strong(none, steadyNanoseconds())) gAskedStatus.store(status);
    if (gGuarded.load()) ::sem_post(&gWatchWakes);
}

// Why the window went from under the loop. Set on the main thread only; read there too.
std::optional<std::string> gLost;

// The status leave() gave main once everything had finished: from then on only the process's
// teardown is left. Main thread.
std::optional<int> gLeaving;

double steadySeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void writeRaw(const char* text) {
    std::size_t length = 0;
    while (text[length]) ++length;
    ssize_t ignored = ::write(STDERR_FILENO, text, length);
    (void)ignored;
}

extern "C" void onEndingSignal(int number) {
    int seen = gSignals.fetch_add(1) + 1;
    if (gPhase.load() == static_cast<int>(ProgramEnding::Phase::Starting) || seen > 1) {
        writeRaw(number == SIGINT   ? "korva: interrupted; ending now\n"
                 : number == SIGHUP ? "korva: hung up; ending now\n"
                                    : "korva: terminated; ending now\n");
        // The default action, once this handler returns: the process ends by the signal.
        ::signal(number, SIG_DFL);
        ::raise(number);
        return;
    }
    gSignal.store(number);
    noteAsked(0);
}

// The watch's thread: once the end is asked, the grace from then, and the process's end if the
// main thread has not ended it by then.
void watchTheEnd(int count, double grace) {
    auto calledOff = [count] { return gWatchCount.load() != count; };
    while (::sem_wait(&gWatchWakes) != 0 && errno == EINTR) {
    }
    const double deadline = static_cast<double>(gAskedAt.load()) / 1e9 + grace - 0.2;
    while (!calledOff() && steadySeconds() < deadline) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    if (calledOff() || !gAskedAt.load()) return;
    for (const auto& what : ExitHold::pending())
        writeRaw(("korva: " + what + " was not saved: the program ended before it was written\n").c_str());
    writeRaw("korva: the end did not finish within its grace (the display may not be answering); ending now\n");
    ::_exit(gAskedStatus.load());
}

// When the main loop last turned while the end waits (a virtual clock moves with real time).
double gLastTurn = 0;

}  // namespace

void ProgramEnding::turnMainLoop() {
    constexpr double kTurn = 0.01;
    if (Clock::isVirtual()) {
        std::this_thread::sleep_for(std::chrono::duration<double>(kTurn / 2));
        double now = steadySeconds();
        if (gLastTurn > 0) RunLoop::main().advance(std::min(now - gLastTurn, 0.1));
        gLastTurn = now;
    } else {
        RunLoop::main().runUntil(Clock::now() + kTurn);
    }
}

void ProgramEnding::endAsked(int status) {
    noteAsked(status);
}

std::optional<double> ProgramEnding::askedAt() {
    const std::int64_t at = gAskedAt.load();
    if (!at) return std::nullopt;
    return static_cast<double>(at) / 1e9;
}

double ProgramEnding::secondsLeft(double grace) {
    auto at = askedAt();
    return at ? grace - (steadySeconds() - *at) : grace;
}

void ProgramEnding::guardTheEnd(double grace) {
    static const bool made = ::sem_init(&gWatchWakes, 0, 0) == 0;
    if (!made || gGuarded.exchange(true)) return;
    std::thread(watchTheEnd, gWatchCount.load(), grace).detach();
    // Asked before the watch was there.
    if (gAskedAt.load()) ::sem_post(&gWatchWakes);
}

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

ProgramEnding::Phase ProgramEnding::phase() {
    return static_cast<Phase>(gPhase.load());
}

void ProgramEnding::loopRunning() {
    gPhase.store(static_cast<int>(Phase::Running));
}

std::optional<ProgramEnding::Request> ProgramEnding::requested() {
    if (gLost) return Request{1, *gLost};
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
    noteAsked(1);
}

void ProgramEnding::windowDestroyed() {
    if (!gLost) gLost = "the window was destroyed by another program";
    noteAsked(1);
}

void ProgramEnding::teardownCannotWait() {
    if (!gLeaving) return;
    std::fflush(nullptr);
    ::_exit(*gLeaving);
}

bool ProgramEnding::finish(Host& host, double grace) {
    gPhase.store(static_cast<int>(Phase::Ending));
    ExitHold::setEnding(true);
    double deadline = steadySeconds() + grace;
    if (auto at = askedAt()) deadline = std::min(deadline, *at + grace - kTeardownSeconds);
    // What the user started runs to its end, main-queue steps included; input taken just before
    // the end may have left the start of a shot on the main queue.
    RunLoop::main().runUntilIdle([&] { return steadySeconds() < deadline; });
    gLastTurn = steadySeconds();
    while (ExitHold::any() && steadySeconds() < deadline) turnMainLoop();
    if (host.kind() == HostKind::Window) UIApplication::sharedApplication()->terminate();
    // Work still running on background queues (a photo being saved, the camera's last settings)
    // finishes before the process tears down what it uses.
    bool idle = DispatchQueue::waitUntilBackgroundIdleFor(std::max(0.0, deadline - steadySeconds()));
    for (const auto& what : ExitHold::pending())
        Log::error("host", what + " was not saved: the program ended before it was written");
    return idle && !ExitHold::any();
}

int ProgramEnding::leave(int code, bool finished) {
    if (finished) {
        gLeaving = code;
        return code;
    }
    std::fprintf(stderr, "korva: background work still running after %.0f s; exiting without it\n", kGraceSeconds);
    std::fflush(nullptr);
    ::_exit(code);
}

void ProgramEnding::resetForTesting() {
    gPhase.store(static_cast<int>(Phase::Starting));
    gSignals.store(0);
    gSignal.store(0);
    gLost.reset();
    gLeaving.reset();
    gAskedAt.store(0);
    gAskedStatus.store(0);
    gLastTurn = 0;
    // A watch started here is called off and let go.
    if (gGuarded.exchange(false)) {
        gWatchCount.fetch_add(1);
        ::sem_post(&gWatchWakes);
    }
    ExitHold::setEnding(false);
}
