// CameraPhotoGeneralHost: the silent road — the flash decision, the torch and the frame as photo.
#include "capture/camera_photo_general_host.h"
#include "capture/photo_metadata.h"
#include "filter/ci_image_filter.h"
#include "filter/filter_context.h"
#include "foundation/data_custom_photos.h"
#include "foundation/global.h"
#include "platform/capture/capture_exif.h"
#include "platform/dispatch/clock.h"
#include "platform/dispatch/queue.h"
#include "platform/image/codec/image_property_keys.h"

namespace {
constexpr double kDarkScene = 0.35;
constexpr double kTorchWait = 0.1;
// Half a frame of a 60 Hz screen.
constexpr double kEncodeLead = 0.008;
}  // namespace

void CameraPhotoGeneralHost::shot_silent(std::int64_t orientation, bool frontMirrored,
                                         std::shared_ptr<CLLocation> location, double ratioWpH,
                                         std::shared_ptr<FilterElement> filterElement, CurrentSample getCurrentSample,
                                         std::function<void()> justBeforeShot, ShotCompletion completion) {
    if (!beginShot(completion)) return;
    Shot shot{orientation,
              frontMirrored,
              std::move(location),
              ratioWpH,
              std::move(filterElement),
              std::move(getCurrentSample),
              std::move(justBeforeShot),
              std::move(completion)};
    switch (Global::shared()->flashMode()) {
        case FlashMode::Off: return silentRoad(std::move(shot));
        case FlashMode::On: return torchRoad(std::move(shot));
        case FlashMode::Auto: {
            auto frame = shot.getCurrentSample ? shot.getCurrentSample() : nullptr;
            double brightness = frame ? calcBrightness(frame, *context()->ciCPU()) : 0.0;
            if (brightness < kDarkScene) return torchRoad(std::move(shot));
            return silentRoad(std::move(shot));
        }
    }
}

void CameraPhotoGeneralHost::torchRoad(Shot shot) {
    std::weak_ptr<CameraPhotoGeneralHost> weak = host();
    auto shared = std::make_shared<Shot>(std::move(shot));
    shot_silent_torchOn([weak, shared](bool on) {
        auto h = weak.lock();
        if (!h) return;
        if (on)
            h->silentRoad(std::move(*shared));
        else
            h->normalRoad(std::move(*shared));
    });
}

void CameraPhotoGeneralHost::shot_silent0(std::int64_t orientation, bool frontMirrored,
                                          std::shared_ptr<CLLocation> location, double ratioWpH,
                                          std::shared_ptr<FilterElement> filterElement, CurrentSample getCurrentSample,
                                          std::function<void()> justBeforeShot, ShotCompletion completion) {
    if (!beginShot(completion)) return;
    silentRoad({orientation, frontMirrored, std::move(location), ratioWpH, std::move(filterElement),
                std::move(getCurrentSample), std::move(justBeforeShot), std::move(completion)});
}

void CameraPhotoGeneralHost::silentRoad(Shot shot) {
    auto image = shot.getCurrentSample ? shot.getCurrentSample() : nullptr;
    // What the frame was exposed with, before the crop and the filter make a new recipe of it.
    const Value frameExif = image ? image->properties()[kCGImagePropertyExifDictionary] : Value();
    keep(shot);
    callJustBeforeShot();
    auto h = host();
    if (image) {
        if (ratioWpH_ > 0) image = cropped(image, ratioWpH_);
        image = adjustOrientation(image, int(shot.orientation), int(integerOf(position())), shot.frontMirrored);
        if (filterElement_) image = filter(image, *filterElement_);
    }
    if (!image || !isDrawable(image)) {
        Failure why = fail(image ? "the filtered frame has no picture to draw" : "there is no frame to take");
        dispatch_async(dispatch_get_main_queue(), [h, why] { h->shot_silent1(why); });
        return;
    }
    // Dated and placed like a photo of the photo output, so that every library can sort it (the
    // settings and the device are read here, on the main thread).
    auto device = camera();
    Value properties = framePhotoProperties(softwareName(), device.get(), Clock::absoluteTime(), location_.get());
    takeFrameExposure(properties[kCGImagePropertyExifDictionary], frameExif);
    // The render and the encoding wait half a frame, so that the screen draws the shot's first
    // frame (the preview holding the frame shot) before they take the main thread.
    DispatchQueue::main()->after(kEncodeLead, [h, image, properties] {
        auto ctx = h->context();
        auto jpeg = ::jpeg(image, image->extent(), *ctx->ciGPU(), *ctx->ciCPU());
        if (!jpeg) return h->shot_silent1(fail("the photo cannot be encoded"));
        auto tagged = setMetadata(*jpeg, properties);
        if (!tagged) return h->shot_silent1(fail("the photo's tags cannot be written"));
        savePhotoToLibrary(*tagged, [h](Result<void> saved) { h->shot_silent1(std::move(saved)); });
    });
}

void CameraPhotoGeneralHost::shot_silent_torchOn(std::function<void(bool on)> completion) {
    torchOnCompletion_ = std::move(completion);
    auto h = host();
    q()->async([h] {
        h->lastTorchTurnedOn_ = false;
        auto device = h->camera();
        if (device && device->lockForConfiguration()) {
            // Only a torch that really came on counts; otherwise the normal road takes the shot.
            if (device->isTorchModeSupported(AVCaptureTorchMode::On) &&
                device->setTorchModeOnWithLevel(AVCaptureMaxAvailableTorchLevel))
                h->lastTorchTurnedOn_ = true;
            device->unlockForConfiguration();
        }
        dispatch_async(dispatch_get_main_queue(), [h] { h->restartTimerTorch(); });
    });
}

void CameraPhotoGeneralHost::resetTimerTorch() {
    if (timerTorch_) timerTorch_->invalidate();
    timerTorch_ = nullptr;
}

void CameraPhotoGeneralHost::restartTimerTorch() {
    resetTimerTorch();
    // The shot holds its host through the torch's wait, as through the rest of its road, so that
    // it ends (and says how) even when capture stops meanwhile.
    timerTorch_ = NSTimer::scheduledTimer(kTorchWait, false,
                                          [h = host()](const std::shared_ptr<NSTimer>& t) { h->onTimerTorch(t); });
}

void CameraPhotoGeneralHost::onTimerTorch(const std::shared_ptr<NSTimer>&) {
    resetTimerTorch();
    auto completion = std::move(torchOnCompletion_);
    torchOnCompletion_ = nullptr;
    if (completion) completion(lastTorchTurnedOn_.load());
}

void CameraPhotoGeneralHost::shot_silent1(Result<void> saved) {
    if (!lastTorchTurnedOn_.load()) return shot_silent1_0(std::move(saved));
    auto device = camera();
    // The photo is taken, but a torch that cannot be switched off fails the shot.
    if (!device || !device->lockForConfiguration())
        return shot_silent1_0(saved ? Result<void>(fail("the torch cannot be switched off")) : std::move(saved));
    if (device->isTorchModeSupported(AVCaptureTorchMode::Off)) {
        device->setTorchMode(AVCaptureTorchMode::Off);
        lastTorchTurnedOn_ = false;
    }
    device->unlockForConfiguration();
    auto h = host();
    dispatch_async(dispatch_get_main_queue(), [h, saved] { h->shot_silent1_0(saved); });
}
