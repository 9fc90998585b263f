// The newest camera frame and the time it arrived. Frames are stored on the capture queue and read
// on the main thread (the render timer, the silent shot), so the pair sits behind one lock; a
// reader may get the frame before the newest. Thread-safe.
#pragma once

#include <memory>
#include <mutex>

#include "platform/image/ci_image.h"

class LatestFrame {
public:
    void store(std::shared_ptr<CIImage> image, double at) {
        std::lock_guard lock(mutex_);
        image_ = std::move(image);
        at_ = at;
    }
    // Marks a session start: the stall check counts from here, whatever came before.
    void stamp(double at) {
        std::lock_guard lock(mutex_);
        at_ = at;
    }
    std::shared_ptr<CIImage> image() const {
        std::lock_guard lock(mutex_);
        return image_;
    }
    double at() const {
        std::lock_guard lock(mutex_);
        return at_;
    }

private:
    mutable std::mutex mutex_;
    std::shared_ptr<CIImage> image_;
    double at_ = 0;
};
