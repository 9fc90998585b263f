// The pinch's fingers, moved by a repeating timer until they reach the distance asked for.
#include "platform/host/pinch_player.h"

#include <algorithm>

#include "platform/dispatch/clock.h"
#include "platform/dispatch/timer.h"

struct PinchPlayer::State {
    Send send;
    long firstId = 0;
    bool down = false;
    CGPoint center{0, 0};
    CGFloat distance = kStartDistance, target = kStartDistance;
    int movesLeft = 0;
    std::shared_ptr<NSTimer> timer;

    void emit(UITouchPhase phase) {
        long a = firstId, b = firstId + 1;
        send({Clock::now(),
              {{a, {center.x - distance / 2, center.y}, phase}, {b, {center.x + distance / 2, center.y}, phase}}});
    }
    void lift() {
        if (timer) timer->invalidate();
        timer = nullptr;
        if (!down) return;
        down = false;
        emit(UITouchPhase::Ended);
        firstId += 2;  // the next pinch is made of new touches
    }
    void tick() {
        if (movesLeft <= 0) return lift();
        distance += (target - distance) / movesLeft;
        --movesLeft;
        emit(UITouchPhase::Moved);
    }
};

PinchPlayer::PinchPlayer(Send send, long firstTouchId) : state_(std::make_shared<State>()) {
    state_->send = std::move(send);
    state_->firstId = firstTouchId;
}

PinchPlayer::~PinchPlayer() {
    state_->lift();
}

void PinchPlayer::push(CGPoint center, CGFloat change) {
    State& s = *state_;
    if (!s.down) {
        s.down = true;
        s.center = center;
        s.distance = s.target = kStartDistance;
        s.emit(UITouchPhase::Began);
    }
    // The fingers never cross nor leave a sensible span.
    s.target = std::clamp(s.target + change, CGFloat(20), CGFloat(2000));
    s.movesLeft = kMoves;
    if (!s.timer) {
        std::weak_ptr<State> weak = state_;
        s.timer = NSTimer::scheduledTimer(kMoveInterval, true, [weak](const std::shared_ptr<NSTimer>&) {
            if (auto state = weak.lock()) state->tick();
        });
    }
}

bool PinchPlayer::playing() const {
    return state_->down;
}
