// CameraPhotoGeneralHost: the normal road — the photo output's picture, tagged, cropped, filtered.
#include <algorithm>

#include "capture/camera_photo_general_host.h"
#include "capture/capture_device_custom.h"
#include "capture/location_custom.h"
#include "filter/ci_image_filter.h"
#include "filter/filter_context.h"
#include "foundation/data_custom_photos.h"
#include "foundation/global.h"
#include "foundation/mutable_dictionary_custom.h"

void CameraPhotoGeneralHost::shot_normal(std::int64_t orientation, bool frontMirrored,
                                         std::shared_ptr<CLLocation> location, double ratioWpH,
                                         std::shared_ptr<FilterElement> filterElement,
                                         std::function<void()> justBeforeShot, ShotCompletion completion) {
    if (!beginShot(completion)) return;
    normalRoad({orientation, frontMirrored, std::move(location), ratioWpH, std::move(filterElement), nullptr,
                std::move(justBeforeShot), std::move(completion)});
}

void CameraPhotoGeneralHost::normalRoad(Shot shot) {
    keep(shot);
    // The settings belong to the main thread: the flash mode is read here, before the queue.
    auto flash = static_cast<AVCaptureFlashMode>(integerOf(Global::shared()->flashMode()));
    auto h = host();
    q()->async([h, orientation = shot.orientation, frontMirrored = shot.frontMirrored, flash] {
        auto still = h->vStill();
        if (!still) return h->finishOnMain(fail("the camera has no photo output"));
        if (auto connection = still->connectionWithMediaType(AVMediaType::Video))
            adjustOrientation(*connection, orientation, integerOf(h->position()), frontMirrored);
        auto settings = AVCapturePhotoSettings::photoSettings();
        auto modes = still->supportedFlashModes();
        if (std::find(modes.begin(), modes.end(), flash) != modes.end()) settings->setFlashMode(flash);
        still->capturePhoto(settings, std::static_pointer_cast<AVCapturePhotoCaptureDelegate>(h));
    });
}

void CameraPhotoGeneralHost::didFinishProcessingPhotoSampleBuffer(const std::shared_ptr<AVCapturePhotoOutput>&,
                                                                  const CMSampleBufferRef& photoSampleBuffer,
                                                                  const CMSampleBufferRef&,
                                                                  const AVCaptureResolvedPhotoSettings&,
                                                                  const std::shared_ptr<NSError>&) {
    // The photo is tagged, filtered and encoded on the main thread, where the settings, the filter
    // element and the rendering context are used by the screen as well.
    auto h = host();
    dispatch_async(dispatch_get_main_queue(), [h, photoSampleBuffer] { h->processPhoto(photoSampleBuffer); });
}

void CameraPhotoGeneralHost::processPhoto(const CMSampleBufferRef& buffer) {
    if (!buffer) return shot_silent1_0(fail("the camera delivered no photo"));
    if (location_) assignLocation(*location_, buffer);
    callJustBeforeShot();
    addMetadata(buffer);

    if (!filterElement_ && ratioWpH_ <= 0) {
        auto jpeg = AVCapturePhotoOutput::JPEGPhotoDataRepresentation(buffer);
        if (!jpeg) return shot_silent1_0(fail("the camera's photo holds no JPEG picture"));
        return saveAndFinish(*jpeg);
    }

    auto data = AVCapturePhotoOutput::JPEGPhotoDataRepresentation(buffer);
    auto image = data ? CIImage::imageWithData(*data) : nullptr;
    if (!image) return shot_silent1_0(fail("the camera's photo cannot be decoded"));
    // The photo lies in the sensor's landscape orientation: the ratio is turned with it.
    if (ratioWpH_ > 0) image = cropped(image, 1.0 / ratioWpH_);
    ValueDictionary attachments = buffer->copyDictionaryOfAttachments(CMAttachmentMode::ShouldPropagate);
    CGRect extent = image->extent();
    if (filterElement_) {
        image = filter(image, *filterElement_);
        if (isDrawable(image)) extent = image->extent();
    }
    auto ctx = context();
    auto jpeg = ::jpeg(image, extent, *ctx->ciGPU(), *ctx->ciCPU());
    if (!jpeg) return shot_silent1_0(fail("the filtered photo cannot be encoded"));
    Value properties = getMetadata(*jpeg);
    if (!properties.isDictionary()) properties = Value::dictionary();
    overwrite(*properties.dictionaryPtr(), attachments);
    auto tagged = setMetadata(*jpeg, properties);
    if (!tagged) return shot_silent1_0(fail("the photo's tags cannot be written"));
    saveAndFinish(*tagged);
}
