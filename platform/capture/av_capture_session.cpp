// The capture session's state machine and its streams.
#include "platform/capture/av_capture_session.h"

#include <algorithm>

#include "platform/capture/av_capture_audio_data_output.h"
#include "platform/capture/av_capture_video_data_output.h"
#include "platform/dispatch/notification_center.h"
#include "platform/runtime/log.h"

namespace {
const char* kLog = "capture";
}

bool isKnownSessionPreset(const std::string& preset) {
    namespace P = AVCaptureSessionPreset;
    for (const char* p : {P::Photo, P::High, P::Medium, P::Low, P::P352x288, P::P640x480, P::P1280x720, P::P1920x1080,
                          P::P3840x2160, P::IFrame960x540, P::IFrame1280x720})
        if (preset == p) return true;
    return false;
}

AVCaptureSession::~AVCaptureSession() {
    auto streams = std::move(streams_);
    for (auto& s : streams) s->stop();
    for (auto& o : outputs_) o->detach();
    for (auto& i : inputs_) i->setAttachedObject("korva.session", nullptr);
}

AVCaptureSession::State AVCaptureSession::state() const {
    std::lock_guard lock(mutex_);
    return state_;
}

bool AVCaptureSession::isRunning() const {
    return state() == State::Running;
}
bool AVCaptureSession::isInterrupted() const {
    return state() == State::Interrupted;
}

std::shared_ptr<AVCaptureDeviceInput> AVCaptureSession::inputFor(AVMediaType type) const {
    for (auto& i : inputs_)
        if (i->mediaType() == type) return std::dynamic_pointer_cast<AVCaptureDeviceInput>(i);
    return nullptr;
}

bool AVCaptureSession::presetSupported(const std::string& preset) const {
    if (!isKnownSessionPreset(preset)) return false;
    auto video = inputFor(AVMediaType::Video);
    return !video || video->device()->supportsAVCaptureSessionPreset(preset);
}

std::string AVCaptureSession::sessionPreset() const {
    std::lock_guard lock(mutex_);
    return preset_;
}

bool AVCaptureSession::canSetSessionPreset(const std::string& preset) const {
    std::lock_guard lock(mutex_);
    return presetSupported(preset);
}

bool AVCaptureSession::setSessionPreset(const std::string& preset) {
    std::unique_lock lock(mutex_);
    if (!presetSupported(preset)) return false;
    if (preset_ != preset) preset_ = preset, dirty_ = true;
    restartIfNeeded(lock);
    return true;
}

void AVCaptureSession::beginConfiguration() {
    std::lock_guard lock(mutex_);
    ++configurationDepth_;
}

Result<void> AVCaptureSession::commitConfiguration() {
    std::unique_lock lock(mutex_);
    if (configurationDepth_ == 0) return fail("commitConfiguration without beginConfiguration");
    --configurationDepth_;
    restartIfNeeded(lock);
    return {};
}

bool AVCaptureSession::isConfiguring() const {
    std::lock_guard lock(mutex_);
    return configurationDepth_ > 0;
}

bool AVCaptureSession::canAddInput(const std::shared_ptr<AVCaptureInput>& input) const {
    std::lock_guard lock(mutex_);
    if (!input || std::find(inputs_.begin(), inputs_.end(), input) != inputs_.end()) return false;
    if (inputFor(input->mediaType())) return false;
    if (input->attachedObject("korva.session")) return false;
    // A camera whose device cannot run the current preset is still accepted; the preset then
    // falls back when the session applies it (the caller checks canSetSessionPreset).
    return true;
}

bool AVCaptureSession::addInput(const std::shared_ptr<AVCaptureInput>& input) {
    if (!canAddInput(input)) return false;
    std::unique_lock lock(mutex_);
    inputs_.push_back(input);
    input->setAttachedObject("korva.session", ::make<NSObject>());
    // A preset the new camera cannot run gives way to High, as the platform does.
    auto video = inputFor(AVMediaType::Video);
    if (video && !video->device()->supportsAVCaptureSessionPreset(preset_)) preset_ = AVCaptureSessionPreset::High;
    dirty_ = true;
    restartIfNeeded(lock);
    return true;
}

void AVCaptureSession::removeInput(const std::shared_ptr<AVCaptureInput>& input) {
    std::unique_lock lock(mutex_);
    auto it = std::find(inputs_.begin(), inputs_.end(), input);
    if (it == inputs_.end()) return;
    inputs_.erase(it);
    input->setAttachedObject("korva.session", nullptr);
    dirty_ = true;
    restartIfNeeded(lock);
}

std::vector<std::shared_ptr<AVCaptureInput>> AVCaptureSession::inputs() const {
    std::lock_guard lock(mutex_);
    return inputs_;
}

bool AVCaptureSession::canAddOutput(const std::shared_ptr<AVCaptureOutput>& output) const {
    std::lock_guard lock(mutex_);
    if (!output || output->session() || std::find(outputs_.begin(), outputs_.end(), output) != outputs_.end())
        return false;
    // One output of each class: the platform refuses a second photo or data output as well.
    for (auto& o : outputs_)
        if (o->className() == output->className()) return false;
    return true;
}

bool AVCaptureSession::addOutput(const std::shared_ptr<AVCaptureOutput>& output) {
    if (!canAddOutput(output)) return false;
    output->attach(self<AVCaptureSession>());
    std::unique_lock lock(mutex_);
    outputs_.push_back(output);
    applyConnections();
    dirty_ = true;
    restartIfNeeded(lock);
    return true;
}

void AVCaptureSession::removeOutput(const std::shared_ptr<AVCaptureOutput>& output) {
    std::unique_lock lock(mutex_);
    auto it = std::find(outputs_.begin(), outputs_.end(), output);
    if (it == outputs_.end()) return;
    outputs_.erase(it);
    lock.unlock();
    output->detach();
}

std::vector<std::shared_ptr<AVCaptureOutput>> AVCaptureSession::outputs() const {
    std::lock_guard lock(mutex_);
    return outputs_;
}

std::shared_ptr<AVCaptureDevice> AVCaptureSession::videoDevice() const {
    std::lock_guard lock(mutex_);
    auto input = inputFor(AVMediaType::Video);
    return input ? input->device() : nullptr;
}

CMVideoDimensions AVCaptureSession::frameDimensions() const {
    std::lock_guard lock(mutex_);
    auto input = inputFor(AVMediaType::Video);
    if (!input) return {};
    const auto& presets = input->device()->capabilities().presets;
    auto it = presets.find(preset_);
    return it == presets.end() ? CMVideoDimensions{} : it->second.outputDimensions;
}

void AVCaptureSession::applyConnections() {
    auto video = inputFor(AVMediaType::Video);
    auto position = video ? video->device()->position() : AVCaptureDevicePosition::Unspecified;
    bool upright = video && video->device()->capabilities().framesUpright;
    bool live = state_ == State::Running;
    for (auto& o : outputs_)
        for (auto& c : o->connections()) c->setActive(live && inputFor(c->mediaType()) != nullptr, position, upright);
}

Result<void> AVCaptureSession::startStreams() {
    ++streamGeneration_;
    std::weak_ptr<AVCaptureSession> weak = self<AVCaptureSession>();
    std::uint64_t generation = streamGeneration_;
    if (auto video = inputFor(AVMediaType::Video)) {
        auto device = video->device();
        const auto& presets = device->capabilities().presets;
        auto it = presets.find(preset_);
        if (it == presets.end()) return fail("the camera cannot run the preset " + preset_);
        const auto& formats = device->capabilities().formats;
        if (it->second.formatIndex >= formats.size()) return fail("the camera has no format for " + preset_);
        auto format = formats[it->second.formatIndex];
        device->selectFormatForSession(format);
        double rate = std::min(1.0 / CMTimeGetSeconds(device->activeVideoMinFrameDuration()),
                               format->videoSupportedFrameRateRanges().maxFrameRate);
        CMTime duration = CMTimeMakeWithSeconds(1.0 / rate, 1000000);
        auto stream = device->driver().startVideo(it->second.outputDimensions, rate,
                                                  [weak, generation, duration](CVPixelBufferRef frame, CMTime pts) {
                                                      if (auto s = weak.lock())
                                                          s->distributeVideo(generation, frame, pts, duration);
                                                  });
        if (!stream) return fail("the camera did not start: " + stream.error());
        streams_.push_back(std::move(stream.value()));
    }
    if (auto audio = inputFor(AVMediaType::Audio)) {
        auto stream = audio->device()->driver().startAudio([weak, generation](CMAudioBlock block, CMTime pts) {
            if (auto s = weak.lock()) s->distributeAudio(generation, std::move(block), pts);
        });
        if (!stream) return fail("the microphone did not start: " + stream.error());
        streams_.push_back(std::move(stream.value()));
    }
    return {};
}

std::vector<std::unique_ptr<CaptureStream>> AVCaptureSession::takeStreams() {
    ++streamGeneration_;
    return std::move(streams_);
}

void AVCaptureSession::restartIfNeeded(std::unique_lock<std::mutex>& lock) {
    if (state_ != State::Running || configurationDepth_ > 0 || !dirty_) {
        applyConnections();
        return;
    }
    dirty_ = false;
    auto old = takeStreams();
    lock.unlock();
    for (auto& s : old) s->stop();
    old.clear();
    lock.lock();
    if (state_ != State::Running) return;
    if (auto r = startStreams(); !r) return failRunning(lock, r.error());
    applyConnections();
}

void AVCaptureSession::failRunning(std::unique_lock<std::mutex>& lock, const std::string& message) {
    bool wasRunning = state_ != State::Stopped;
    auto streams = takeStreams();
    state_ = State::Stopped;
    applyConnections();
    lock.unlock();
    for (auto& s : streams) s->stop();
    Log::error(kLog, "session runtime error: " + message);
    auto error = NSError::withDescription(AVFoundationErrorDomain, AVErrorUnknown, message);
    post(AVCaptureSessionRuntimeErrorNotification, Value::dictionary({{AVCaptureSessionErrorKey, Value(error)}}));
    if (wasRunning) post(AVCaptureSessionDidStopRunningNotification);
    lock.lock();
}

Result<void> AVCaptureSession::startRunning() {
    std::unique_lock lock(mutex_);
    if (configurationDepth_ > 0)
        return fail("startRunning may not be called between beginConfiguration and commitConfiguration");
    if (state_ != State::Stopped) return {};
    dirty_ = false;
    if (auto r = startStreams(); !r) {
        auto streams = takeStreams();
        lock.unlock();
        for (auto& s : streams) s->stop();
        auto error = NSError::withDescription(AVFoundationErrorDomain, AVErrorUnknown, r.error());
        post(AVCaptureSessionRuntimeErrorNotification, Value::dictionary({{AVCaptureSessionErrorKey, Value(error)}}));
        return r;
    }
    state_ = State::Running;
    applyConnections();
    lock.unlock();
    post(AVCaptureSessionDidStartRunningNotification);
    return {};
}

void AVCaptureSession::stopRunning() {
    std::unique_lock lock(mutex_);
    if (state_ == State::Stopped) return;
    auto streams = takeStreams();
    state_ = State::Stopped;
    applyConnections();
    lock.unlock();
    for (auto& s : streams) s->stop();
    post(AVCaptureSessionDidStopRunningNotification);
}

void AVCaptureSession::interrupt(AVCaptureSessionInterruptionReason reason) {
    std::unique_lock lock(mutex_);
    if (state_ != State::Running) return;
    auto streams = takeStreams();
    state_ = State::Interrupted;
    applyConnections();
    lock.unlock();
    for (auto& s : streams) s->stop();
    post(AVCaptureSessionWasInterruptedNotification,
         Value::dictionary({{AVCaptureSessionInterruptionReasonKey, Value(static_cast<std::int64_t>(reason))}}));
}

void AVCaptureSession::endInterruption() {
    std::unique_lock lock(mutex_);
    if (state_ != State::Interrupted) return;
    if (auto r = startStreams(); !r) return failRunning(lock, r.error());
    state_ = State::Running;
    applyConnections();
    lock.unlock();
    post(AVCaptureSessionInterruptionEndedNotification);
}

void AVCaptureSession::reportRuntimeError(const std::shared_ptr<NSError>& error) {
    std::unique_lock lock(mutex_);
    bool wasRunning = state_ != State::Stopped;
    auto streams = takeStreams();
    state_ = State::Stopped;
    applyConnections();
    lock.unlock();
    for (auto& s : streams) s->stop();
    post(AVCaptureSessionRuntimeErrorNotification, Value::dictionary({{AVCaptureSessionErrorKey, Value(error)}}));
    if (wasRunning) post(AVCaptureSessionDidStopRunningNotification);
}

bool AVCaptureSession::automaticallyConfiguresApplicationAudioSession() const {
    std::lock_guard lock(mutex_);
    return configuresAudioSession_;
}
void AVCaptureSession::setAutomaticallyConfiguresApplicationAudioSession(bool on) {
    std::lock_guard lock(mutex_);
    configuresAudioSession_ = on;
}
bool AVCaptureSession::usesApplicationAudioSession() const {
    std::lock_guard lock(mutex_);
    return usesAudioSession_;
}
void AVCaptureSession::setUsesApplicationAudioSession(bool on) {
    std::lock_guard lock(mutex_);
    usesAudioSession_ = on;
}

void AVCaptureSession::post(const char* name, Value userInfo) {
    NSNotificationCenter::defaultCenter()->post(name, shared_from_this(), std::move(userInfo));
}

void AVCaptureSession::distributeVideo(std::uint64_t generation, const CVPixelBufferRef& frame, CMTime pts,
                                       CMTime duration) {
    std::vector<std::shared_ptr<AVCaptureVideoDataOutput>> targets;
    {
        std::lock_guard lock(mutex_);
        if (generation != streamGeneration_ || state_ != State::Running) return;
        for (auto& o : outputs_)
            if (auto v = std::dynamic_pointer_cast<AVCaptureVideoDataOutput>(o)) targets.push_back(v);
    }
    for (auto& v : targets) v->deliverFrame(frame, pts, duration);
}

void AVCaptureSession::distributeAudio(std::uint64_t generation, CMAudioBlock audio, CMTime pts) {
    std::vector<std::shared_ptr<AVCaptureAudioDataOutput>> targets;
    {
        std::lock_guard lock(mutex_);
        if (generation != streamGeneration_ || state_ != State::Running) return;
        for (auto& o : outputs_)
            if (auto a = std::dynamic_pointer_cast<AVCaptureAudioDataOutput>(o)) targets.push_back(a);
    }
    for (auto& a : targets) a->deliverAudio(audio, pts);
}
