// The application hooks of background sessions.
#include "platform/net/url_session_background.h"

#include <mutex>

namespace {

std::mutex& hooksMutex() {
    static std::mutex mutex;
    return mutex;
}

URLSessionApplicationHooks& hooksSlot() {
    static URLSessionApplicationHooks hooks;
    return hooks;
}

}  // namespace

void setURLSessionApplicationHooks(URLSessionApplicationHooks hooks) {
    std::lock_guard lock(hooksMutex());
    hooksSlot() = std::move(hooks);
}

URLSessionApplicationHooks urlSessionApplicationHooks() {
    std::lock_guard lock(hooksMutex());
    return hooksSlot();
}
