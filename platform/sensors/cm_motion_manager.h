// CMMotionManager: device-motion samples (gravity) at an interval on a queue. The device's
// attitude is the host's: it tilts it with setDeviceGravity (the window host's arrow keys, tests).
// Samples are timed by the Clock, so the virtual clock drives them in tests. Thread-safe.
#pragma once

#include <functional>
#include <memory>
#include <mutex>

#include "platform/dispatch/queue.h"
#include "platform/runtime/error.h"
#include "platform/runtime/object.h"

struct CMAcceleration {
    double x = 0, y = 0, z = 0;
};

class CMDeviceMotion : public NSObject {
public:
    KORVA_MAKE(CMDeviceMotion)
    // In units of g, in the device's frame (x right, y up, z out of the screen).
    CMAcceleration gravity() const { return gravity_; }
    CMAcceleration userAcceleration() const { return {}; }
    // Seconds on the Clock.
    double timestamp() const { return timestamp_; }

protected:
    CMDeviceMotion(CMAcceleration g, double t) : gravity_(g), timestamp_(t) {}

private:
    CMAcceleration gravity_;
    double timestamp_;
};

using CMDeviceMotionHandler =
    std::function<void(const std::shared_ptr<CMDeviceMotion>&, const std::shared_ptr<NSError>&)>;

class CMMotionManager : public NSObject {
public:
    KORVA_MAKE(CMMotionManager)
    ~CMMotionManager() override;

    // The host's device attitude, shared by every manager. Held upright (portrait) at start.
    static void setDeviceGravity(CMAcceleration gravity);
    static CMAcceleration deviceGravity();
    // Turns the gravity vector by small angles about the device's x and y axes (radians).
    static void tiltDevice(double aboutX, double aboutY);
    // Tips the device sideways by an angle (radians): about its z axis when it stands upright (a
    // roll), about its y axis when it lies flat, and in between about the horizontal axis that
    // lies in its y-z plane, so that it always moves.
    static void tiltDeviceSideways(double angle);

    bool isDeviceMotionAvailable() const { return true; }
    bool isDeviceMotionActive() const;
    double deviceMotionUpdateInterval() const;
    // Intervals below 0.01 s are raised to it.
    void setDeviceMotionUpdateInterval(double seconds);
    // The latest sample while updates run (none before the first).
    std::shared_ptr<CMDeviceMotion> deviceMotion() const;

    // Samples go to the handler on the queue (the main queue when null), one per interval.
    void startDeviceMotionUpdates(dispatch_queue_t queue, CMDeviceMotionHandler handler);
    void startDeviceMotionUpdates();  // without a handler: poll deviceMotion()
    void stopDeviceMotionUpdates();

protected:
    CMMotionManager() = default;

private:
    struct Run;
    void schedule(const std::shared_ptr<Run>& run);

    mutable std::mutex mutex_;
    double interval_ = 0.1;
    std::shared_ptr<Run> run_;
    std::shared_ptr<CMDeviceMotion> latest_;
};
