// Permission to use the photo library. A desktop has no prompt: the status starts as authorized
// unless KORVA_PHOTOS_AUTH says "notDetermined", "denied" or "restricted"; tests set the status
// and the answer a request gets. Thread-safe.
#pragma once

#include <functional>

#include "platform/photos/ph_types.h"

class PhotoLibraryAuthorization {
public:
    static PHAuthorizationStatus status();
    static void setStatus(PHAuthorizationStatus status);
    static void setRequestAnswer(PHAuthorizationStatus answer);
    // Asks when not determined (recording the answer); the handler runs once on a background queue.
    static void request(std::function<void(PHAuthorizationStatus)> handler);
    static void reset();
};
