// The stream of input the host produces: touches in screen points, taps on the status bar, the
// volume buttons and device tilt. Touch delivery to views implements the sink; until then the host's events go to
// whatever sink is installed (tests record them).
#pragma once

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
    // A tap on the status bar, which lies over the application: its touches never reach the views.
    virtual void statusBarTap() {}
    virtual void buttonEvent(HostButton /*button*/, bool /*pressed*/) {}
    // The device turned by these angles (radians) about its x and y axes.
    virtual void tilt(double /*dx*/, double /*dy*/) {}
};
