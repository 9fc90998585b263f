// The shared toast settings, made once on first use.
#include "widgets/toast/toast_manager.h"

#include <mutex>

namespace {

struct Settings {
    std::shared_ptr<ToastStyle> style = ToastStyle::makeDefault();
    bool tapToDismiss = true;
    bool queue = false;
    double duration = 3.0;
    ToastPosition position = ToastPosition::named(kToastPositionBottom);
};

Settings& settings() {
    static Settings shared;  // made once, thread-safely
    return shared;
}

}  // namespace

std::shared_ptr<ToastStyle> ToastManager::sharedStyle() {
    return settings().style;
}
void ToastManager::setSharedStyle(std::shared_ptr<ToastStyle> style) {
    if (style) settings().style = std::move(style);
}
bool ToastManager::isTapToDismissEnabled() {
    return settings().tapToDismiss;
}
void ToastManager::setTapToDismissEnabled(bool enabled) {
    settings().tapToDismiss = enabled;
}
bool ToastManager::isQueueEnabled() {
    return settings().queue;
}
void ToastManager::setQueueEnabled(bool enabled) {
    settings().queue = enabled;
}
double ToastManager::defaultDuration() {
    return settings().duration;
}
void ToastManager::setDefaultDuration(double seconds) {
    settings().duration = seconds;
}
ToastPosition ToastManager::defaultPosition() {
    return settings().position;
}
void ToastManager::setDefaultPosition(ToastPosition position) {
    if (std::holds_alternative<std::monostate>(position.value)) return;
    settings().position = std::move(position);
}
void ToastManager::reset() {
    settings() = Settings();
}
