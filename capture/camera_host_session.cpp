// CameraHost: building and tearing down the session on q, and the session and device observers.
#include "capture/camera_host.h"
#include "capture/capture_device_custom.h"
#include "platform/dispatch/notification_center.h"

namespace {

std::shared_ptr<AVCaptureDeviceInput> inputFor(const std::shared_ptr<AVCaptureDevice>& device) {
    if (!device) return nullptr;
    auto input = AVCaptureDeviceInput::deviceInputWithDevice(device);
    return input ? input.value() : nullptr;
}

}  // namespace

// The stages of a build, in order; any refused input or output marks the build failed, and a
// failed build is configured and observed but not started.
bool CameraHost::buildSession(const Hook& hook) {
    building_ = true;
    bool ok = true;
    auto session = AVCaptureSession::make();
    {
        std::lock_guard lock(mutex_);
        session_ = session;
    }
    session->setAutomaticallyConfiguresApplicationAudioSession(captureAudio_);
    session->setUsesApplicationAudioSession(captureAudio_);
    session->beginConfiguration();

    // The first candidate the camera can run (the session has no camera yet to ask).
    auto candidates = presets();
    if (candidates.empty()) candidates = defaultPresets();
    auto cameraDevice = deviceWithMediaType(AVMediaType::Video, integerOf(position()));
    for (const auto& preset : candidates)
        if (session->canSetSessionPreset(preset) &&
            (!cameraDevice || cameraDevice->supportsAVCaptureSessionPreset(preset))) {
            session->setSessionPreset(preset);
            break;
        }
    if (cameraDevice && !cameraDevice->supportsAVCaptureSessionPreset(session->sessionPreset()))
        session->setSessionPreset(AVCaptureSessionPreset::Photo);

    if (captureVideo_) {
        auto input = inputFor(deviceWithMediaType(AVMediaType::Video, integerOf(position())));
        {
            std::lock_guard lock(mutex_);
            vInput_ = input;
        }
        if (input && session->canAddInput(input))
            session->addInput(input);
        else
            ok = false;
    }
    if (captureAudio_) {
        auto input = inputFor(defaultMicrophone());
        {
            std::lock_guard lock(mutex_);
            aInput_ = input;
        }
        if (input && session->canAddInput(input))
            session->addInput(input);
        else
            ok = false;
    }

    auto delegate = std::weak_ptr<AVCaptureDataOutputSampleBufferDelegate>(me());
    auto video = AVCaptureVideoDataOutput::make();
    video->setAlwaysDiscardsLateVideoFrames(true);
    {
        std::lock_guard lock(mutex_);
        vOutput_ = video;
    }
    if (captureVideo_) {
        video->setSampleBufferDelegate(delegate, q());
        if (session->canAddOutput(video)) {
            session->addOutput(video);
            if (auto connection = video->connectionWithMediaType(AVMediaType::Video)) {
                connection->setVideoOrientation(AVCaptureVideoOrientation::Portrait);
                connection->setAutomaticallyAdjustsVideoMirroring(false);
                connection->setVideoMirrored(position() == CameraSide::Front);
            }
        } else {
            ok = false;
        }
    }
    if (captureAudio_) {
        auto audio = AVCaptureAudioDataOutput::make();
        {
            std::lock_guard lock(mutex_);
            aOutput_ = audio;
        }
        audio->setSampleBufferDelegate(delegate, q());
        if (session->canAddOutput(audio))
            session->addOutput(audio);
        else
            ok = false;
    }

    if (hook) hook();
    (void)session->commitConfiguration();
    cameraAddObservers();
    if (ok && !session->startRunning()) ok = false;
    building_ = false;
    return ok;
}

void CameraHost::tearDownSession() {
    auto session = this->session();
    if (session) session->stopRunning();
    if (captureAudio_)
        if (auto audio = aOutput()) audio->setSampleBufferDelegate({}, nullptr);
    if (captureVideo_)
        if (auto video = vOutput()) video->setSampleBufferDelegate({}, nullptr);
    cameraRemoveObservers();
    // A focus still under way is abandoned: its observers leave the camera they were added to.
    focusRemoveObservers();
    adjustingFocus_ = false;
    adjustingExposure_ = false;
    std::lock_guard lock(mutex_);
    vInput_ = nullptr;
    vOutput_ = nullptr;
    aInput_ = nullptr;
    aOutput_ = nullptr;
    session_ = nullptr;
}

void CameraHost::cameraAddObservers() {
    {
        std::lock_guard lock(mutex_);
        if (observingCamera_) return;
        observingCamera_ = true;
    }
    auto center = NSNotificationCenter::defaultCenter();
    std::weak_ptr<CameraHost> weak = me();
    auto route = [weak](void (CameraHost::*handler)(const std::shared_ptr<NSNotification>&)) {
        return [weak, handler](const std::shared_ptr<NSNotification>& n) {
            if (auto host = weak.lock()) ((*host).*handler)(n);
        };
    };
    std::vector<std::shared_ptr<NSObject>> tokens;
    if (auto device = camera()) {
        if (device->lockForConfiguration()) {
            device->setSubjectAreaChangeMonitoringEnabled(true);
            device->unlockForConfiguration();
        }
        tokens.push_back(center->addObserver(AVCaptureDeviceSubjectAreaDidChangeNotification, device, nullptr,
                                             route(&CameraHost::onDeviceSubjectAreaDidChange)));
    }
    auto s = session();
    tokens.push_back(center->addObserver(AVCaptureSessionRuntimeErrorNotification, s, nullptr,
                                         route(&CameraHost::onSessionRuntimeError)));
    tokens.push_back(center->addObserver(AVCaptureSessionWasInterruptedNotification, s, nullptr,
                                         route(&CameraHost::onSessionWasInterrupted)));
    tokens.push_back(center->addObserver(AVCaptureSessionInterruptionEndedNotification, s, nullptr,
                                         route(&CameraHost::onSessionInterruptionEnded)));
    std::lock_guard lock(mutex_);
    cameraTokens_ = std::move(tokens);
}

void CameraHost::cameraRemoveObservers() {
    std::vector<std::shared_ptr<NSObject>> tokens;
    {
        std::lock_guard lock(mutex_);
        if (!observingCamera_) return;
        observingCamera_ = false;
        tokens = std::move(cameraTokens_);
        cameraTokens_.clear();
    }
    auto center = NSNotificationCenter::defaultCenter();
    for (auto& t : tokens) center->removeObserver(t);
}
