// Device motion from the host's attitude.
#include "platform/sensors/cm_motion_manager.h"

#include <atomic>
#include <cmath>

#include "platform/dispatch/clock.h"

namespace {

std::mutex gravityMutex;
CMAcceleration gravityNow{0, -1, 0};

}  // namespace

struct CMMotionManager::Run {
    std::atomic<bool> active{true};
    dispatch_queue_t queue;
    CMDeviceMotionHandler handler;
    double start = 0;
    std::uint64_t count = 0;
};

void CMMotionManager::setDeviceGravity(CMAcceleration gravity) {
    std::lock_guard lock(gravityMutex);
    gravityNow = gravity;
}

CMAcceleration CMMotionManager::deviceGravity() {
    std::lock_guard lock(gravityMutex);
    return gravityNow;
}

void CMMotionManager::tiltDevice(double aboutX, double aboutY) {
    std::lock_guard lock(gravityMutex);
    CMAcceleration g = gravityNow;
    // About x: y and z turn; about y: z and x turn.
    double y = g.y * std::cos(aboutX) - g.z * std::sin(aboutX);
    double z = g.y * std::sin(aboutX) + g.z * std::cos(aboutX);
    double x = g.x * std::cos(aboutY) + z * std::sin(aboutY);
    z = -g.x * std::sin(aboutY) + z * std::cos(aboutY);
    gravityNow = {x, y, z};
}

void CMMotionManager::tiltDeviceSideways(double angle) {
    std::lock_guard lock(gravityMutex);
    CMAcceleration g = gravityNow;
    // The axis is x cross gravity: (0, -gz, gy), or z when gravity runs along x.
    double ay = -g.z, az = g.y;
    double n = std::hypot(ay, az);
    if (n < 1e-9) ay = 0, az = 1, n = 1;
    ay /= n, az /= n;
    // Rodrigues' turn of g about the unit axis (0, ay, az).
    double c = std::cos(angle), s = std::sin(angle);
    double dot = g.y * ay + g.z * az;
    CMAcceleration cross{ay * g.z - az * g.y, az * g.x, -ay * g.x};
    gravityNow = {g.x * c + cross.x * s, g.y * c + cross.y * s + ay * dot * (1 - c),
                  g.z * c + cross.z * s + az * dot * (1 - c)};
}

CMMotionManager::~CMMotionManager() {
    stopDeviceMotionUpdates();
}

bool CMMotionManager::isDeviceMotionActive() const {
    std::lock_guard lock(mutex_);
    return run_ != nullptr;
}

double CMMotionManager::deviceMotionUpdateInterval() const {
    std::lock_guard lock(mutex_);
    return interval_;
}

void CMMotionManager::setDeviceMotionUpdateInterval(double seconds) {
    std::lock_guard lock(mutex_);
    interval_ = std::isfinite(seconds) ? std::max(0.01, seconds) : 0.1;
}

std::shared_ptr<CMDeviceMotion> CMMotionManager::deviceMotion() const {
    std::lock_guard lock(mutex_);
    return latest_;
}

void CMMotionManager::startDeviceMotionUpdates() {
    startDeviceMotionUpdates(nullptr, nullptr);
}

void CMMotionManager::startDeviceMotionUpdates(dispatch_queue_t queue, CMDeviceMotionHandler handler) {
    stopDeviceMotionUpdates();
    auto run = std::make_shared<Run>();
    run->queue = queue ? queue : dispatch_get_main_queue();
    run->handler = std::move(handler);
    run->start = Clock::now();
    {
        std::lock_guard lock(mutex_);
        run_ = run;
    }
    schedule(run);
}

// Sample n falls at start + n x interval; the weak reference lets a dropped manager end the run.
void CMMotionManager::schedule(const std::shared_ptr<Run>& run) {
    double interval = deviceMotionUpdateInterval();
    double next = std::floor((Clock::now() - run->start) / interval + 1e-9) + 1;
    double delay = std::max(0.0, run->start + next * interval - Clock::now());
    std::weak_ptr<CMMotionManager> weak = self<CMMotionManager>();
    run->queue->after(delay, [weak, run] {
        auto self = weak.lock();
        if (!self || !run->active) return;
        auto motion = CMDeviceMotion::make(deviceGravity(), Clock::now());
        {
            std::lock_guard lock(self->mutex_);
            self->latest_ = motion;
        }
        if (run->handler) run->handler(motion, nullptr);
        if (run->active) self->schedule(run);
    });
}

void CMMotionManager::stopDeviceMotionUpdates() {
    std::lock_guard lock(mutex_);
    if (run_) run_->active = false;
    run_.reset();
}
