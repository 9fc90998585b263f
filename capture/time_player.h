// TimePlayer: a stopwatch on the media clock (seconds) that can be paused and resumed.
// Main thread.
#pragma once

#include "platform/runtime/object.h"

class TimePlayer : public NSObject {
public:
    KORVA_MAKE(TimePlayer)
    void init() override { reset(); }

    void reset();
    void play();
    void stop();
    void save();
    void pause();
    void resume();
    // Elapsed seconds; 0 when not played.
    double position();
    bool isPlaying() const { return played_ && !paused_; }
    bool played() const { return played_; }
    bool paused() const { return paused_; }

    std::string className() const override { return "TimePlayer"; }

protected:
    TimePlayer() = default;

private:
    bool played_ = false;
    bool paused_ = false;
    double pos0_ = 0;
    double pos1_ = 0;
};
