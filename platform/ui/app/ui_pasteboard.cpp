// The general pasteboard.
#include "platform/ui/app/ui_pasteboard.h"

namespace {
UIPasteboard::SystemClipboard& systemClipboard() {
    static UIPasteboard::SystemClipboard clipboard;
    return clipboard;
}
}  // namespace

void UIPasteboard::setSystemClipboard(SystemClipboard clipboard) {
    systemClipboard() = std::move(clipboard);
}

void UIPasteboard::setString(std::string text) {
    string_ = std::move(text);
    if (auto clipboard = systemClipboard()) clipboard(*string_);
}

const std::shared_ptr<UIPasteboard>& UIPasteboard::generalPasteboard() {
    static const std::shared_ptr<UIPasteboard> general = ::make<UIPasteboard>();
    return general;
}
