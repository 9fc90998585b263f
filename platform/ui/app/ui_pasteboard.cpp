// The general pasteboard.
#include "platform/ui/app/ui_pasteboard.h"

const std::shared_ptr<UIPasteboard>& UIPasteboard::generalPasteboard() {
    static const std::shared_ptr<UIPasteboard> general = ::make<UIPasteboard>();
    return general;
}
