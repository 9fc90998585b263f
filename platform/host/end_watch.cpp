// The end's watch: a deadline on the monotonic clock, and a thread that sleeps on a semaphore until
// it passes.
#include "platform/host/end_watch.h"

#include <errno.h>
#include <semaphore.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <thread>

namespace endwatch {
namespace {

constexpr long long kNanoseconds = 1000000000LL;

// Nanoseconds on the monotonic clock; 0 while nothing is armed.
std::atomic<long long> gDeadline{0};
std::atomic<int> gStatus{0};
std::atomic<bool> gStarting{false};
// The semaphores are made (a bound armed before then finds the watch when it first looks).
std::atomic<bool> gStarted{false};
static_assert(std::atomic<long long>::is_always_lock_free, "the signal handler arms the watch");
// Posted when a bound is armed, so that the watch sleeps to the newest one. Never destroyed: the
// watch may sleep on it while the process tears down.
sem_t gWake;
// Posted once the watch has first looked at the deadline: from then on only gWake wakes it.
sem_t gWatching;
std::atomic<LastWords> gLastWords{nullptr};

long long now() {
    timespec t{};
    ::clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<long long>(t.tv_sec) * kNanoseconds + t.tv_nsec;
}

void endNow() {
    if (LastWords say = gLastWords.load()) say();
    static const char kSaid[] = "korva: the end ran out of time; ending now\n";
    ssize_t ignored = ::write(STDERR_FILENO, kSaid, sizeof kSaid - 1);
    (void)ignored;
    ::_exit(gStatus.load());
}

[[noreturn]] void watch() {
    bool watching = false;
    for (;;) {
        const long long deadline = gDeadline.load();
        if (!watching) {
            watching = true;
            ::sem_post(&gWatching);
        }
        if (deadline == 0) {
            while (::sem_wait(&gWake) != 0 && errno == EINTR) {
            }
            continue;
        }
        if (now() >= deadline) endNow();
        const timespec until{static_cast<time_t>(deadline / kNanoseconds), static_cast<long>(deadline % kNanoseconds)};
        ::sem_clockwait(&gWake, CLOCK_MONOTONIC, &until);
    }
}

}  // namespace

void start(LastWords lastWords) {
    if (gStarting.exchange(true)) return;
    gLastWords.store(lastWords);
    ::sem_init(&gWake, 0, 0);
    ::sem_init(&gWatching, 0, 0);
    gStarted.store(true);
    std::thread(watch).detach();
    while (::sem_wait(&gWatching) != 0 && errno == EINTR) {
    }
}

void arm(int status, double seconds) {
    const long long deadline = now() + static_cast<long long>(seconds * kNanoseconds);
    long long current = gDeadline.load();
    do {
        if (current != 0 && current <= deadline) return;
    } while (!gDeadline.compare_exchange_weak(current, deadline));
    // The first bound's status holds (the first of two asks is the one the end follows).
    if (current == 0) gStatus.store(status);
    if (gStarted.load()) ::sem_post(&gWake);
}

std::optional<double> secondsLeft() {
    const long long deadline = gDeadline.load();
    if (!gStarted.load() || deadline == 0) return std::nullopt;
    return static_cast<double>(deadline - now()) / kNanoseconds;
}

void disarmForTesting() {
    gDeadline.store(0);
    gStatus.store(0);
}

}  // namespace endwatch
