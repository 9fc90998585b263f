// CameraPhotoGeneralHost: the photo output in the session, the shot's bookkeeping, the TIFF
// additions and the forwarding of host events.
#include "capture/camera_photo_general_host.h"

#include "capture/photo_metadata.h"
#include "foundation/data_custom_photos.h"
#include "foundation/global.h"
#include "platform/dispatch/clock.h"
#include "platform/runtime/log.h"

void CameraPhotoGeneralHost::init() {
    CameraPhotoHost::init();
    setCameraDelegate(std::weak_ptr<CameraHostDelegate>(host()));
}

std::shared_ptr<AVCapturePhotoOutput> CameraPhotoGeneralHost::vStill() const {
    std::lock_guard lock(stillMutex_);
    return vStill_;
}

void CameraPhotoGeneralHost::camera1(Hook hook, Completion complete) {
    std::weak_ptr<CameraPhotoGeneralHost> weak = host();
    CameraPhotoHost::camera1(
        [weak, hook = std::move(hook)] {
            if (auto h = weak.lock()) {
                if (auto video = h->vOutput()) video->setAlwaysDiscardsLateVideoFrames(true);
                auto still = AVCapturePhotoOutput::make();
                auto session = h->session();
                // A session that refuses the photo output still runs; the silent road needs none.
                bool added = session && session->canAddOutput(still) && session->addOutput(still);
                std::lock_guard lock(h->stillMutex_);
                h->vStill_ = added ? still : nullptr;
            }
            if (hook) hook();
        },
        std::move(complete));
}

void CameraPhotoGeneralHost::camera0(Completion complete) {
    std::weak_ptr<CameraPhotoGeneralHost> weak = host();
    CameraPhotoHost::camera0([weak, complete = std::move(complete)](bool ok) {
        if (auto h = weak.lock()) {
            std::lock_guard lock(h->stillMutex_);
            h->vStill_ = nullptr;
        }
        if (complete) complete(ok);
    });
}

bool CameraPhotoGeneralHost::beginShot(ShotCompletion& completion) {
    if (!shooting_) {
        shooting_ = true;
        exitHold_ = ExitHold::make("the photo");
        Log::debug("camera", "shot begins");
        return true;
    }
    dispatch_async(dispatch_get_main_queue(), [completion = std::move(completion)] {
        if (completion) completion(fail("a shot is already under way"));
    });
    return false;
}

void CameraPhotoGeneralHost::keep(Shot& shot) {
    location_ = shot.location;
    justBeforeShot_ = std::move(shot.justBeforeShot);
    shotCompletion_ = std::move(shot.completion);
    filterElement_ = shot.filterElement;
    ratioWpH_ = shot.ratioWpH;
}

void CameraPhotoGeneralHost::callJustBeforeShot() {
    auto block = std::move(justBeforeShot_);
    justBeforeShot_ = nullptr;
    if (block) block();
}

void CameraPhotoGeneralHost::shot_silent1_0(Result<void> saved) {
    auto completion = std::move(shotCompletion_);
    shotCompletion_ = nullptr;
    shooting_ = false;
    // Released once the screen has heard: the end of the program lets its last steps run.
    auto hold = std::move(exitHold_);
    Log::debug("camera", saved ? std::string("shot ends: the photo is saved") : "shot ends: " + saved.error());
    if (completion) completion(std::move(saved));
}

void CameraPhotoGeneralHost::finishOnMain(Result<void> saved) {
    auto h = host();
    dispatch_async(dispatch_get_main_queue(), [h, saved] { h->shot_silent1_0(saved); });
}

void CameraPhotoGeneralHost::saveAndFinish(const Bytes& jpeg) {
    auto h = host();
    savePhotoToLibrary(jpeg, [h](Result<void> saved) { h->shot_silent1_0(std::move(saved)); });
}

void CameraPhotoGeneralHost::addMetadata(const CMSampleBufferRef& sampleBuffer) {
    addTiffAdditions(sampleBuffer, softwareName(), Clock::absoluteTime());
}

std::string CameraPhotoGeneralHost::softwareName() const {
    // The last look chosen is stored across starts, while a new start shows none: its name belongs
    // only to a photo that goes through a look.
    auto global = Global::shared();
    return filterElement_ ? global->appMetadataName() : global->appName();
}

void CameraPhotoGeneralHost::onCameraHostWillFocus(const std::shared_ptr<CameraHost>& h, CGPoint pt) {
    if (auto d = delegate()) d->onCameraHostWillFocus(h, pt);
}
void CameraPhotoGeneralHost::onCameraHostDidFocus(const std::shared_ptr<CameraHost>& h) {
    if (auto d = delegate()) d->onCameraHostDidFocus(h);
}
void CameraPhotoGeneralHost::onCameraHostDidTorchChange(const std::shared_ptr<CameraHost>& h, bool b) {
    if (auto d = delegate()) d->onCameraHostDidTorchChange(h, b);
}
void CameraPhotoGeneralHost::onCameraHostWillSessionStart(const std::shared_ptr<CameraHost>& h) {
    if (auto d = delegate()) d->onCameraHostWillSessionStart(h);
}
void CameraPhotoGeneralHost::onCameraHostDidSessionStart(const std::shared_ptr<CameraHost>& h) {
    if (auto d = delegate()) d->onCameraHostDidSessionStart(h);
}
void CameraPhotoGeneralHost::onCameraHostWillSessionStop(const std::shared_ptr<CameraHost>& h) {
    if (auto d = delegate()) d->onCameraHostWillSessionStop(h);
}
void CameraPhotoGeneralHost::onCameraHostDidSessionStop(const std::shared_ptr<CameraHost>& h) {
    if (auto d = delegate()) d->onCameraHostDidSessionStop(h);
}
void CameraPhotoGeneralHost::onCameraHostWasInterruped(const std::shared_ptr<CameraHost>& h) {
    if (auto d = delegate()) d->onCameraHostWasInterruped(h);
}
void CameraPhotoGeneralHost::onCameraHostSampleBufferVideo(const std::shared_ptr<CameraHost>& h,
                                                           const CMSampleBufferRef& s) {
    if (auto d = delegate()) d->onCameraHostSampleBufferVideo(h, s);
}
void CameraPhotoGeneralHost::onCameraHostSampleBufferAudio(const std::shared_ptr<CameraHost>& h,
                                                           const CMSampleBufferRef& s) {
    if (auto d = delegate()) d->onCameraHostSampleBufferAudio(h, s);
}
