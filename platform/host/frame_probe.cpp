// Frame figures over a period.
#include "platform/host/frame_probe.h"

#include <algorithm>
#include <cstdio>

void FrameProbe::start(double now) {
    *this = FrameProbe(period_);
    start_ = now;
    started_ = true;
}

void FrameProbe::busy(double seconds) {
    if (seconds > 0) busy_ += seconds;
}

void FrameProbe::input(double at) {
    if (!firstPendingInput_ || at < *firstPendingInput_) firstPendingInput_ = at;
    ++pendingInputs_;
}

void FrameProbe::frame(double at, double drawSeconds, bool newPicture) {
    ++frames_;
    if (newPicture) ++newPictures_;
    drawSeconds = std::max(0.0, drawSeconds);
    draw_ += drawSeconds;
    maxDraw_ = std::max(maxDraw_, drawSeconds);
    if (!firstPendingInput_) return;
    // The oldest input waiting is the one the user waited longest for.
    double latency = std::max(0.0, at - *firstPendingInput_);
    inputs_ += pendingInputs_;
    latencySum_ += latency * pendingInputs_;
    maxLatency_ = std::max(maxLatency_, latency);
    firstPendingInput_.reset();
    pendingInputs_ = 0;
}

std::optional<FrameProbe::Report> FrameProbe::poll(double now) {
    if (!started_) {
        start(now);
        return std::nullopt;
    }
    double seconds = now - start_;
    if (seconds < period_) return std::nullopt;
    Report r;
    r.seconds = seconds;
    r.frames = frames_;
    r.framesPerSecond = frames_ / seconds;
    r.newPictures = newPictures_;
    r.newPicturesPerSecond = newPictures_ / seconds;
    r.busyShare = std::clamp(busy_ / seconds, 0.0, 1.0);
    r.meanDrawMs = frames_ ? draw_ / frames_ * 1000 : 0;
    r.maxDrawMs = maxDraw_ * 1000;
    r.inputs = inputs_;
    r.meanInputLatencyMs = inputs_ ? latencySum_ / inputs_ * 1000 : 0;
    r.maxInputLatencyMs = maxLatency_ * 1000;
    // Input still waiting for a frame is carried into the next period.
    auto pending = firstPendingInput_;
    int pendingCount = pendingInputs_;
    start(now);
    firstPendingInput_ = pending;
    pendingInputs_ = pendingCount;
    return r;
}

std::string FrameProbe::Report::line() const {
    char text[256];
    std::snprintf(text, sizeof text,
                  "%.1f frames/s, %.1f new pictures/s, main thread busy %.0f%%, draw %.1f ms mean %.1f ms max, "
                  "input to frame %.0f ms mean %.0f ms max (%d events)",
                  framesPerSecond, newPicturesPerSecond, busyShare * 100, meanDrawMs, maxDrawMs, meanInputLatencyMs,
                  maxInputLatencyMs, inputs);
    return text;
}
