// Frame figures of a running host: frames shown per second and how many of them showed a new
// picture (not the same pixels drawn again), the share of time the main thread was
// busy, the time spent drawing a frame, and how long input waited before a frame showed its
// effect. Fed with times in seconds on one steady clock; reports once per period. Main thread only.
#pragma once

#include <optional>
#include <string>

class FrameProbe {
public:
    struct Report {
        double seconds = 0;  // length of the period
        int frames = 0;      // frames shown
        double framesPerSecond = 0;
        int newPictures = 0;  // frames whose pixels differed from the frame before
        double newPicturesPerSecond = 0;
        double busyShare = 0;   // 0...1 of the period the main thread worked
        double meanDrawMs = 0;  // drawing and showing, per frame shown
        double maxDrawMs = 0;
        int inputs = 0;  // input events that reached a frame
        double meanInputLatencyMs = 0;
        double maxInputLatencyMs = 0;
        std::string line() const;
    };

    explicit FrameProbe(double period = 2.0) : period_(period) {}

    // Starts the first period.
    void start(double now);
    // The main thread worked for `seconds` (events, timers and blocks, drawing).
    void busy(double seconds);
    // An input event arrived at `at`; the next frame shown answers it.
    void input(double at);
    // A frame took `drawSeconds` to draw and was shown at `at`; `newPicture` when its pixels
    // differ from the frame before.
    void frame(double at, double drawSeconds, bool newPicture = true);
    // The figures of the period once it is over (then a new one starts at `now`).
    std::optional<Report> poll(double now);

private:
    double period_;
    double start_ = 0;
    bool started_ = false;
    int frames_ = 0, newPictures_ = 0;
    double busy_ = 0, draw_ = 0, maxDraw_ = 0;
    std::optional<double> firstPendingInput_;
    int pendingInputs_ = 0;
    int inputs_ = 0;
    double latencySum_ = 0, maxLatency_ = 0;
};
