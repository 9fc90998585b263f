// The holds live in one list behind one lock: few at a time, each taken and released once.
#include "platform/dispatch/exit_hold.h"

#include <atomic>
#include <chrono>
#include <mutex>
#include <utility>

namespace {
struct Holds {
    std::timed_mutex mutex;
    std::uint64_t next = 1;
    std::vector<std::pair<std::uint64_t, std::string>> held;
};

std::atomic<bool> gEnding{false};

Holds& holds() {
    // Never destroyed: a worker may release its hold while the process is ending.
    static Holds* all = new Holds;
    return *all;
}
}  // namespace

std::shared_ptr<ExitHold> ExitHold::make(std::string what) {
    Holds& h = holds();
    std::lock_guard lock(h.mutex);
    std::uint64_t id = h.next++;
    h.held.emplace_back(id, std::move(what));
    return std::shared_ptr<ExitHold>(new ExitHold(id));
}

ExitHold::~ExitHold() {
    Holds& h = holds();
    std::lock_guard lock(h.mutex);
    std::erase_if(h.held, [this](const auto& entry) { return entry.first == id_; });
}

std::vector<std::string> ExitHold::pending() {
    Holds& h = holds();
    std::lock_guard lock(h.mutex);
    std::vector<std::string> what;
    for (const auto& entry : h.held) what.push_back(entry.second);
    return what;
}

bool ExitHold::sayPending(double seconds, void (*say)(const char* what)) {
    Holds& h = holds();
    std::unique_lock lock(h.mutex, std::chrono::duration<double>(seconds));
    if (!lock.owns_lock()) return false;
    for (const auto& entry : h.held) say(entry.second.c_str());
    return true;
}

bool ExitHold::any() {
    Holds& h = holds();
    std::lock_guard lock(h.mutex);
    return !h.held.empty();
}

void ExitHold::setEnding(bool ending) {
    gEnding.store(ending);
}

bool ExitHold::ending() {
    return gEnding.load();
}
