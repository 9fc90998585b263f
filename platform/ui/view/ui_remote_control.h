// Remote-control events (the media keys of a headset): a responder that handles them implements
// RemoteControlResponder; an event goes up the responder chain to the first that does. Nothing
// on this host sends one; tests do.
#pragma once

#include <memory>

#include "platform/ui/view/ui_responder.h"

class RemoteControlResponder {
public:
    virtual ~RemoteControlResponder() = default;
    virtual void remoteControlReceivedWithEvent(const std::shared_ptr<NSObject>& event) = 0;
};

// Delivers the event to `first` or the nearest responder above it that handles such events;
// false when none does.
inline bool sendRemoteControlEvent(const std::shared_ptr<UIResponder>& first, const std::shared_ptr<NSObject>& event) {
    for (auto responder = first; responder; responder = responder->nextResponder()) {
        if (auto* handler = dynamic_cast<RemoteControlResponder*>(responder.get())) {
            handler->remoteControlReceivedWithEvent(event);
            return true;
        }
    }
    return false;
}
