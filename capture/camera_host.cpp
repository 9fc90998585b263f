// CameraHost: properties, session control, sample buffers and session notifications.
#include "capture/camera_host.h"

#include "filter/filter_context.h"
#include "foundation/device.h"
#include "foundation/global.h"
#include "platform/dispatch/notification_center.h"

namespace {

// The idle timer stays off while a session runs; the completions come on the main thread.
void setIdleDisabled(bool disabled) {
    if (auto device = Global::shared()->device()) device->setDisableIdle(disabled);
}

}  // namespace

CameraHost::~CameraHost() {
    // A host that goes while running leaves no observer behind in the default centre.
    auto center = NSNotificationCenter::defaultCenter();
    for (auto& t : cameraTokens_) center->removeObserver(t);
    if (focusDevice_)
        for (auto& t : focusTokens_) focusDevice_->removeObserver(t);
}

std::shared_ptr<CameraHostDelegate> CameraHost::cameraDelegate() const {
    std::lock_guard lock(mutex_);
    return cameraDelegate_.lock();
}

void CameraHost::setCameraDelegate(std::weak_ptr<CameraHostDelegate> delegate) {
    std::lock_guard lock(mutex_);
    cameraDelegate_ = std::move(delegate);
}

const std::shared_ptr<FilterContext>& CameraHost::context() {
    std::lock_guard lock(mutex_);
    if (!context_) context_ = FilterContext::make();
    return context_;
}

const dispatch_queue_t& CameraHost::q() {
    std::lock_guard lock(mutex_);
    if (!q_) q_ = DispatchQueue::serial("CameraHost");
    return q_;
}

std::shared_ptr<AVCaptureSession> CameraHost::session() const {
    std::lock_guard lock(mutex_);
    return session_;
}
std::shared_ptr<AVCaptureDeviceInput> CameraHost::vInput() const {
    std::lock_guard lock(mutex_);
    return vInput_;
}
std::shared_ptr<AVCaptureDeviceInput> CameraHost::aInput() const {
    std::lock_guard lock(mutex_);
    return aInput_;
}
std::shared_ptr<AVCaptureVideoDataOutput> CameraHost::vOutput() const {
    std::lock_guard lock(mutex_);
    return vOutput_;
}
std::shared_ptr<AVCaptureAudioDataOutput> CameraHost::aOutput() const {
    std::lock_guard lock(mutex_);
    return aOutput_;
}
std::shared_ptr<AVCaptureDevice> CameraHost::camera() const {
    auto input = vInput();
    return input ? input->device() : nullptr;
}

std::vector<std::string> CameraHost::presets() const {
    std::lock_guard lock(mutex_);
    return presets_;
}
void CameraHost::setPresets(std::vector<std::string> presets) {
    std::lock_guard lock(mutex_);
    presets_ = std::move(presets);
}

const std::vector<std::string>& CameraHost::defaultPresets() {
    namespace P = AVCaptureSessionPreset;
    static const std::vector<std::string> list{P::Photo,    P::High,          P::Medium, P::P1280x720, P::P352x288,
                                               P::P640x480, P::IFrame960x540, P::Low,    P::Photo};
    return list;
}

bool CameraHost::observingFocus() const {
    std::lock_guard lock(mutex_);
    return observingFocus_;
}
bool CameraHost::observingCamera() const {
    std::lock_guard lock(mutex_);
    return observingCamera_;
}
CGPoint CameraHost::lastFocused() const {
    std::lock_guard lock(mutex_);
    return lastFocused_;
}

void CameraHost::onMain(std::function<void(const std::shared_ptr<CameraHost>&)> block) {
    auto host = me();
    dispatch_async(dispatch_get_main_queue(), [host, block = std::move(block)] { block(host); });
}

void CameraHost::start(Completion completion) {
    // Claimed here, on the caller's thread, so that a second start before the build runs is refused.
    if (running_.exchange(true)) {
        if (completion) completion(false);
        return;
    }
    camera1({}, [completion = std::move(completion)](bool ok) {
        setIdleDisabled(true);
        if (completion) completion(ok);
    });
}

void CameraHost::stop(Completion completion) {
    if (!running_.exchange(false)) {
        if (completion) completion(false);
        return;
    }
    camera0([completion = std::move(completion)](bool ok) {
        setIdleDisabled(false);
        if (completion) completion(ok);
    });
}

void CameraHost::restartCamera(Completion completion) {
    running_ = true;
    std::weak_ptr<CameraHost> weak = me();
    camera0([weak, completion = std::move(completion)](bool) {
        auto host = weak.lock();
        // A stop that came in between wins: no session is built behind its back.
        if (!host || !host->isRunning()) {
            if (completion) completion(false);
            return;
        }
        host->camera1({}, completion);
    });
}

void CameraHost::switchCamera(Completion completion) {
    position_ = position_.load() == CameraSide::Back ? CameraSide::Front : CameraSide::Back;
    restartCamera(std::move(completion));
}

void CameraHost::camera1(Hook hook, Completion complete) {
    if (auto d = cameraDelegate()) d->onCameraHostWillSessionStart(me());
    auto host = me();
    q()->async([host, hook = std::move(hook), complete = std::move(complete)] {
        bool ok = host->buildSession(hook);
        host->onMain([ok, complete](const std::shared_ptr<CameraHost>& h) {
            if (auto d = h->cameraDelegate()) d->onCameraHostDidSessionStart(h);
            if (complete) complete(ok);
        });
    });
}

void CameraHost::camera0(Completion complete) {
    if (auto d = cameraDelegate()) d->onCameraHostWillSessionStop(me());
    auto host = me();
    q()->async([host, complete = std::move(complete)] {
        host->tearDownSession();
        host->onMain([complete](const std::shared_ptr<CameraHost>& h) {
            if (auto d = h->cameraDelegate()) d->onCameraHostDidSessionStop(h);
            if (complete) complete(true);
        });
    });
}

void CameraHost::captureOutput(const std::shared_ptr<AVCaptureOutput>& output, const CMSampleBufferRef& sampleBuffer,
                               const std::shared_ptr<AVCaptureConnection>&) {
    auto d = cameraDelegate();
    if (!d || !output) return;
    if (output == std::static_pointer_cast<AVCaptureOutput>(vOutput()))
        d->onCameraHostSampleBufferVideo(me(), sampleBuffer);
    else if (output == std::static_pointer_cast<AVCaptureOutput>(aOutput()))
        d->onCameraHostSampleBufferAudio(me(), sampleBuffer);
}

void CameraHost::onSessionRuntimeError(const std::shared_ptr<NSNotification>& n) {
    // A session that fails while it is being built reports through the build's completion; a
    // restart from here would only fail again, without end.
    if (building_.load() || !isRunning() || !n || n->object() != std::static_pointer_cast<NSObject>(session())) return;
    std::weak_ptr<CameraHost> weak = me();
    camera0([weak](bool) {
        auto host = weak.lock();
        if (host && host->isRunning()) host->camera1({}, {});
    });
}

void CameraHost::onSessionWasInterrupted(const std::shared_ptr<NSNotification>&) {
    if (auto d = cameraDelegate()) d->onCameraHostWasInterruped(me());
}

void CameraHost::onSessionInterruptionEnded(const std::shared_ptr<NSNotification>&) {}

void CameraHost::onDeviceSubjectAreaDidChange(const std::shared_ptr<NSNotification>&) {
    setFocus0(lastFocused(), {});
}
