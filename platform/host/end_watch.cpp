// The end's watch: a deadline on the monotonic clock, and a thread that sleeps on a semaphore until
// it passes.
#include "platform/host/end_watch.h"

#include <errno.h>
#include <fcntl.h>
#include <semaphore.h>
#include <sys/socket.h>
#include <sys/stat.h>
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
    sayAtOnce(kSaid, sizeof kSaid - 1);
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

void sayAtOnce(const char* text, std::size_t length) {
    struct stat kind {};
    if (::fstat(STDERR_FILENO, &kind) != 0) return;
    ssize_t ignored = 0;
    if (S_ISREG(kind.st_mode)) {
        // A file takes what is written at once.
        ignored = ::write(STDERR_FILENO, text, length);
    } else if (S_ISSOCK(kind.st_mode)) {
        ignored = ::send(STDERR_FILENO, text, length, MSG_DONTWAIT | MSG_NOSIGNAL);
    } else {
        // A pipe or a terminal, through a description of its own that does not wait: the one the
        // rest of the program shares (and whoever else holds it) keeps waiting as it did. Where
        // none can be opened (no reader left, a hung-up terminal) nothing is said.
        const int own = ::open("/proc/self/fd/2", O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (own < 0) return;
        ignored = ::write(own, text, length);
        ::close(own);
    }
    (void)ignored;
}

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
