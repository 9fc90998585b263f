// Permission to use the camera and the microphone. A desktop has no prompt, so the host decides:
// the status starts as authorized unless the environment variable KORVA_CAPTURE_AUTH says
// "notDetermined", "denied" or "restricted"; tests set the status and the answer a request gets.
// Thread-safe.
#pragma once

#include <functional>

#include "platform/capture/av_capture_types.h"

class CaptureAuthorization {
public:
    static AVAuthorizationStatus status(AVMediaType type);
    static void setStatus(AVMediaType type, AVAuthorizationStatus status);
    // What the user answers when asked (while the status is not determined).
    static void setRequestAnswer(AVMediaType type, bool granted);
    // Asks when not determined (recording the answer), otherwise answers from the status; the
    // handler runs once on a background queue.
    static void request(AVMediaType type, std::function<void(bool granted)> handler);
    static int requestCount(AVMediaType type);
    // Back to the start-up state (for tests).
    static void reset();
};
