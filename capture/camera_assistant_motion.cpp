// CameraAssistant: device motion — orientation, gravity and requests to refocus after a move.
#include <cmath>

#include "capture/camera_assistant.h"
#include "foundation/numeric.h"
#include "platform/dispatch/clock.h"

namespace {

constexpr double kMotionInterval = 0.2;
constexpr double kRefocusWindow = 2.0;
constexpr float kMoved = 0.97f;
constexpr float kBigMove = 0.8f;

struct Vec3 {
    float x, y, z;
};

// Unit length; a vector of nearly zero length is left as it is.
Vec3 normalised(Vec3 v) {
    float length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    if (isNearlyZero(length)) return v;
    return {v.x / length, v.y / length, v.z / length};
}

}  // namespace

void CameraAssistant::motionStart() {
    motionEnd();
    motManager_ = CMMotionManager::make();
    motManager_->setDeviceMotionUpdateInterval(kMotionInterval);
    std::weak_ptr<CameraAssistant> weak = me();
    motManager_->startDeviceMotionUpdates(
        dispatch_get_main_queue(),
        [weak](const std::shared_ptr<CMDeviceMotion>& motion, const std::shared_ptr<NSError>&) {
            if (!motion) return;
            CMAcceleration g = motion->gravity();
            dispatch_async(dispatch_get_main_queue(), [weak, g] {
                if (auto a = weak.lock()) a->motionStep(g);
            });
        });
}

void CameraAssistant::motionEnd() {
    if (motManager_) motManager_->stopDeviceMotionUpdates();
    motManager_ = nullptr;
}

void CameraAssistant::motionStep(CMAcceleration g) {
    auto self = me();
    auto o = calcDeviceOrientation(g.x, g.y, g.z);
    if (o != lastDeviceOrientation_) {
        lastDeviceOrientation_ = o;
        if (auto d = delegate()) d->onCameraAssistantMotionOrientation(self, o);
    }
    float x = float(g.x), y = float(g.y), z = float(g.z);
    lastAccelX0_ = minFloat(lastAccelX0_, x), lastAccelY0_ = minFloat(lastAccelY0_, y),
    lastAccelZ0_ = minFloat(lastAccelZ0_, z);
    lastAccelX1_ = maxFloat(lastAccelX1_, x), lastAccelY1_ = maxFloat(lastAccelY1_, y),
    lastAccelZ1_ = maxFloat(lastAccelZ1_, z);

    double now = CACurrentMediaTime();
    if (now - atAccelSaved_ > kRefocusWindow) {
        Vec3 lo = normalised({lastAccelX0_, lastAccelY0_, lastAccelZ0_});
        Vec3 hi = normalised({lastAccelX1_, lastAccelY1_, lastAccelZ1_});
        float dot = std::fabs(lo.x * hi.x + lo.y * hi.y + lo.z * hi.z);
        if (dot < kMoved)
            if (auto d = delegate()) d->onCameraAssistantMotionRequestFocusUpdate(self, dot < kBigMove);
        lastAccelX0_ = lastAccelX1_ = x;
        lastAccelY0_ = lastAccelY1_ = y;
        lastAccelZ0_ = lastAccelZ1_ = z;
        atAccelSaved_ = now;
    }
    if (auto d = delegate()) d->onCameraAssistantMotionGravity(self, g.x, g.y, g.z);
}
