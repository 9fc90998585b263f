// The stream of input the host produces: touches in screen points, taps on the status bar, the
// volume buttons and device tilt. The device input passes it on to touch delivery and the device
// services; tests may install a sink of their own that records it.
#pragma once

#include <optional>
#include <vector>

#include "platform/runtime/geometry.h"

enum class UITouchPhase { Began = 0, Moved = 1, Stationary = 2, Ended = 3, Cancelled = 4 };

struct HostTouch {
    long identifier = 0;
    CGPoint location;  // screen points
    UITouchPhase phase = UITouchPhase::Began;
};

// Every touch that is down (or just lifted) at one moment, each with its own phase.
struct HostTouchEvent {
    double timestamp = 0;
    std::vector<HostTouch> touches;
};

enum class HostButton { VolumeUp, VolumeDown };

class HostEventSink {
public:
    virtual ~HostEventSink() = default;
    virtual void touchEvent(const HostTouchEvent& /*event*/) {}
    // A tap on the status bar itself. The hosts send touches on the bar's strip as touches (a
    // control beneath takes its own); only the headless host taps the bar directly.
    virtual void statusBarTap() {}
    // A volume button went down or up. `madeAt` is when it moved, on the Clock: a host that reads
    // its input late still tells when the user pressed. A host that cannot tell leaves it out, and
    // the press counts as made when it is read.
    virtual void buttonEvent(HostButton, bool /*pressed*/, std::optional<double> /*madeAt*/ = std::nullopt) {}
    // The device turned by these angles (radians) about its x and y axes.
    virtual void tilt(double /*dx*/, double /*dy*/) {}
};
