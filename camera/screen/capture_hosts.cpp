// The camera screen's hosts: made on first use with the presets of their mode and the stored
// camera side, dropped with the life cycle.
#include "camera/screen/capture_hosts.h"

#include "foundation/device.h"
#include "foundation/global.h"

std::optional<CaptureLifecycle::Ticket> CaptureHosts::beginStart() {
    auto ticket = lifecycle_.beginStart();
    if (ticket) clear();
    return ticket;
}

std::shared_ptr<CameraHost> CaptureHosts::beginStop() {
    auto host = stored();
    if (!host || !lifecycle_.beginStop()) return nullptr;
    return host;
}

void CaptureHosts::finishStop() {
    clear();
    lifecycle_.finishStop();
}

std::shared_ptr<CameraPhotoGeneralHost> CaptureHosts::photo() {
    std::lock_guard lock(mutex_);
    if (!photo_) {
        auto host = CameraPhotoGeneralHost::make();
        if (Global::shared()->silentMode())
            host->setPresets({AVCaptureSessionPreset::P3840x2160, AVCaptureSessionPreset::Photo});
        else
            host->setPresets({AVCaptureSessionPreset::Photo});
        host->setPosition(Global::shared()->position());
        host->setDelegate(delegate_);
        photo_ = host;
    }
    return photo_;
}

std::shared_ptr<CameraVideoGeneralHost> CaptureHosts::video() {
    std::lock_guard lock(mutex_);
    if (!video_) {
        std::vector<std::string> presets = {
            AVCaptureSessionPreset::Photo,         AVCaptureSessionPreset::High,     AVCaptureSessionPreset::Medium,
            AVCaptureSessionPreset::P1280x720,     AVCaptureSessionPreset::P352x288, AVCaptureSessionPreset::P640x480,
            AVCaptureSessionPreset::IFrame960x540, AVCaptureSessionPreset::Low,      AVCaptureSessionPreset::Photo};
        if (!Global::shared()->device()->IsIPad()) presets.erase(presets.begin());
        auto host = CameraVideoGeneralHost::make();
        host->setPresets(std::move(presets));
        host->setPosition(Global::shared()->position());
        host->setDelegate(delegate_);
        video_ = host;
    }
    return video_;
}

std::shared_ptr<CameraHost> CaptureHosts::current() {
    if (Global::shared()->shotMode() == ShotMode::Video) return video();
    return photo();
}

std::shared_ptr<CameraHost> CaptureHosts::stored() const {
    std::lock_guard lock(mutex_);
    if (video_) return video_;
    return photo_;
}

std::shared_ptr<AVCaptureDevice> CaptureHosts::device() const {
    auto host = stored();
    auto input = host ? host->vInput() : nullptr;
    return input ? input->device() : nullptr;
}

void CaptureHosts::clear() {
    std::lock_guard lock(mutex_);
    photo_ = nullptr;
    video_ = nullptr;
}
