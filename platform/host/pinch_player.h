// A two-finger pinch played over time, as a finger pair gives one: both fingers down, several
// moves on the main run loop's clock, both fingers up. The window host plays one for each wheel
// notch or bracket key; a push while one plays carries it on from where the fingers are, so a
// turn of the wheel is one gesture. Main thread only.
#pragma once

#include <functional>
#include <memory>

#include "platform/runtime/geometry.h"
#include "platform/ui/app/host_event_sink.h"

class PinchPlayer {
public:
    using Send = std::function<void(const HostTouchEvent&)>;
    static constexpr CGFloat kStartDistance = 100;
    static constexpr int kMoves = 6;
    static constexpr double kMoveInterval = 0.025;

    PinchPlayer(Send send, long firstTouchId);
    // Lifts the fingers of a pinch still playing.
    ~PinchPlayer();
    PinchPlayer(const PinchPlayer&) = delete;
    PinchPlayer& operator=(const PinchPlayer&) = delete;

    // Moves the fingers apart (a positive change, in points) or together about the centre.
    void push(CGPoint center, CGFloat change);
    bool playing() const;

private:
    struct State;
    std::shared_ptr<State> state_;
};
