// Still capture: the picture, its JPEG and metadata, and delivery to the delegate.
#include "platform/capture/av_capture_photo_output.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <ctime>

#include "platform/capture/av_capture_session.h"
#include "platform/capture/capture_exif.h"
#include "platform/capture/pixel_buffer_orientation.h"
#include "platform/dispatch/clock.h"
#include "platform/image/codec/image_properties.h"
#include "platform/image/codec/image_property_keys.h"
#include "platform/image/codec/jpeg.h"

namespace {

std::atomic<std::int64_t> nextSettingsID{1};

RasterRGBA8 rasterFromBGRA(const CVPixelBuffer& frame) {
    RasterRGBA8 r = makeRaster(int(frame.width()), int(frame.height()));
    for (std::size_t y = 0; y < frame.height(); ++y) {
        const std::uint8_t* in = frame.row(y);
        std::uint8_t* out = r.pixels.data() + y * r.rowBytes();
        for (std::size_t x = 0; x < frame.width(); ++x, in += 4, out += 4) {
            out[0] = in[2], out[1] = in[1], out[2] = in[0], out[3] = 255;
        }
    }
    return r;
}

CMVideoDimensions fit(CMVideoDimensions full, CMVideoDimensions cap) {
    if (cap.width <= 0 || cap.height <= 0 || (full.width <= cap.width && full.height <= cap.height)) return full;
    double scale = std::min(double(cap.width) / full.width, double(cap.height) / full.height);
    return {std::max(1, int(std::lround(full.width * scale))), std::max(1, int(std::lround(full.height * scale)))};
}

std::shared_ptr<NSError> photoError(const std::string& text) {
    return NSError::withDescription(AVFoundationErrorDomain, AVErrorUnknown, text);
}

}  // namespace

AVCapturePhotoSettings::AVCapturePhotoSettings() : uniqueID_(nextSettingsID++) {}

std::optional<Bytes> AVCapturePhoto::fileDataRepresentation() const {
    const Bytes* data = sample_->dataBuffer();
    if (!data) return std::nullopt;
    return *data;
}

ValueDictionary AVCapturePhoto::metadata() const {
    return sample_->copyDictionaryOfAttachments(CMAttachmentMode::ShouldPropagate);
}

AVCapturePhotoOutput::AVCapturePhotoOutput() : queue_(DispatchQueue::serial("korva.capture.photo")) {}

std::vector<AVCaptureFlashMode> AVCapturePhotoOutput::supportedFlashModes() const {
    auto s = session();
    auto device = s ? s->videoDevice() : nullptr;
    if (!device || !device->hasFlash()) return {AVCaptureFlashMode::Off};
    return {device->capabilities().flashModes.begin(), device->capabilities().flashModes.end()};
}

CMVideoDimensions AVCapturePhotoOutput::maxPhotoDimensions() const {
    std::lock_guard lock(mutex_);
    return maxDimensions_;
}

void AVCapturePhotoOutput::setMaxPhotoDimensions(CMVideoDimensions dimensions) {
    std::lock_guard lock(mutex_);
    maxDimensions_ = dimensions;
}

void AVCapturePhotoOutput::capturePhoto(const std::shared_ptr<AVCapturePhotoSettings>& settings,
                                        std::shared_ptr<AVCapturePhotoCaptureDelegate> delegate) {
    auto self = std::static_pointer_cast<AVCapturePhotoOutput>(shared_from_this());
    auto s = session();
    auto device = s ? s->videoDevice() : nullptr;
    auto connection = connectionWithMediaType(AVMediaType::Video);
    auto flashModes = supportedFlashModes();
    AVCaptureResolvedPhotoSettings resolved;
    resolved.uniqueID = settings ? settings->uniqueID() : 0;

    std::string problem;
    if (!settings)
        problem = "no photo settings";
    else if (!s || !s->isRunning() || !device || !connection || !connection->isActive())
        problem = "the capture session is not running";
    else if (std::find(flashModes.begin(), flashModes.end(), settings->flashMode()) == flashModes.end())
        problem = "the camera does not support this flash mode";
    if (!problem.empty()) {
        queue_->async([self, delegate, resolved, problem] {
            if (!delegate) return;
            auto error = photoError(problem);
            delegate->didFinishProcessingPhoto(self, nullptr, error);
            delegate->didFinishProcessingPhotoSampleBuffer(self, nullptr, nullptr, resolved, error);
            delegate->didFinishCapture(self, resolved, error);
        });
        return;
    }

    auto format = device->activeFormat();
    resolved.photoDimensions = fit(format->highResolutionStillImageDimensions(), maxPhotoDimensions());
    resolved.flashEnabled = settings->flashMode() != AVCaptureFlashMode::Off && device->hasFlash();
    auto orientation = connection->frameOrientation();
    bool mirrored = connection->isVideoMirrored();
    double quality = settings->quality();
    AVCaptureFlashMode flash = settings->flashMode();

    queue_->async([self, delegate, device, resolved, orientation, mirrored, quality, flash] {
        if (delegate) delegate->willBeginCapture(self, resolved);
        auto finish = [&](const std::shared_ptr<AVCapturePhoto>& photo, const std::shared_ptr<NSError>& error) {
            if (!delegate) return;
            delegate->didFinishProcessingPhoto(self, photo, error);
            delegate->didFinishProcessingPhotoSampleBuffer(self, photo ? photo->photoSampleBuffer() : nullptr, nullptr,
                                                           resolved, error);
            delegate->didFinishCapture(self, resolved, error);
        };
        auto still = device->driver().captureStill({resolved.photoDimensions, flash});
        if (!still) return finish(nullptr, photoError("the camera did not take the picture: " + still.error()));

        int exif = exifOrientationFor(orientation, mirrored);
        double takenAt = Clock::absoluteTime();
        std::string date = exifDateTime(takenAt);
        ValueDictionary tiff{{kCGImagePropertyTIFFMake, Value("Korva")},
                             {kCGImagePropertyTIFFModel, Value(device->localizedName())},
                             {kCGImagePropertyTIFFOrientation, Value(exif)},
                             {kCGImagePropertyTIFFDateTime, Value(date)}};
        Value exifDict = captureExifDictionary(*device, takenAt, flash, resolved.flashEnabled);
        Value properties = Value::dictionary({{kCGImagePropertyOrientation, Value(exif)},
                                              {kCGImagePropertyTIFFDictionary, Value(tiff)},
                                              {kCGImagePropertyExifDictionary, exifDict}});
        JpegEncodeOptions options;
        options.quality = quality;
        options.properties = properties;
        auto jpeg = encodeJpeg(rasterFromBGRA(**still), options);
        if (!jpeg) return finish(nullptr, photoError("the photo could not be encoded: " + jpeg.error()));

        CMTime now = CMTimeMakeWithSeconds(Clock::now(), 1000000000);
        auto sample = CMSampleBuffer::withData(std::move(jpeg.value()), *still, {kCMTimeInvalid, now, kCMTimeInvalid});
        for (const auto& [key, value] : *properties.dictionaryPtr())
            sample->setAttachment(key, value, CMAttachmentMode::ShouldPropagate);
        finish(AVCapturePhoto::make(sample, *still, resolved), nullptr);
    });
}

std::optional<Bytes> AVCapturePhotoOutput::JPEGPhotoDataRepresentation(const CMSampleBufferRef& photoSampleBuffer,
                                                                       const CMSampleBufferRef&) {
    if (!photoSampleBuffer || !photoSampleBuffer->dataBuffer()) return std::nullopt;
    const Bytes& data = *photoSampleBuffer->dataBuffer();
    ValueDictionary attachments = photoSampleBuffer->copyDictionaryOfAttachments(CMAttachmentMode::ShouldPropagate);
    if (attachments.empty()) return data;
    auto replaced = replaceImageProperties(data, Value(std::move(attachments)));
    if (!replaced) return std::nullopt;
    return std::move(replaced.value());
}
