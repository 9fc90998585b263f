// AVCapturePhotoOutput: full-resolution photos from the session's camera, encoded as JPEG.
//
// A capture runs on the output's own queue: the camera takes the picture (firing the flash as the
// settings ask), the pixels stay in the sensor's landscape orientation and the connection's
// orientation is recorded as the EXIF orientation, as the platform does. The delegate hears of the
// result on that queue; it is held until the capture ends. Thread-safe.
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/capture/av_capture_output.h"
#include "platform/capture/cm_sample_buffer.h"
#include "platform/dispatch/queue.h"
#include "platform/runtime/error.h"
#include "platform/runtime/value.h"

class AVCapturePhotoSettings : public NSObject {
public:
    KORVA_MAKE(AVCapturePhotoSettings)
    static std::shared_ptr<AVCapturePhotoSettings> photoSettings() { return make(); }

    std::int64_t uniqueID() const { return uniqueID_; }
    AVCaptureFlashMode flashMode() const { return flashMode_; }
    void setFlashMode(AVCaptureFlashMode mode) { flashMode_ = mode; }
    // JPEG quality 0...1.
    double quality() const { return quality_; }
    void setQuality(double q) { quality_ = q; }

protected:
    AVCapturePhotoSettings();

private:
    std::int64_t uniqueID_;
    AVCaptureFlashMode flashMode_ = AVCaptureFlashMode::Off;
    double quality_ = 0.9;
};

struct AVCaptureResolvedPhotoSettings {
    std::int64_t uniqueID = 0;
    CMVideoDimensions photoDimensions;
    bool flashEnabled = false;
};

// The delivered photo: the JPEG, the pixels it was made from and its metadata.
class AVCapturePhoto : public NSObject {
public:
    KORVA_MAKE(AVCapturePhoto)

    // The JPEG file, with the metadata below written into it.
    std::optional<Bytes> fileDataRepresentation() const;
    CVPixelBufferRef pixelBuffer() const { return pixels_; }
    // Image properties: "Orientation", "{Exif}", "{TIFF}" (deep copy).
    ValueDictionary metadata() const;
    CMTime timestamp() const { return sample_->presentationTimeStamp(); }
    const AVCaptureResolvedPhotoSettings& resolvedSettings() const { return resolved_; }
    // The photo as a sample buffer: its data is the JPEG, its propagating attachments the metadata.
    CMSampleBufferRef photoSampleBuffer() const { return sample_; }

protected:
    AVCapturePhoto(CMSampleBufferRef sample, CVPixelBufferRef pixels, AVCaptureResolvedPhotoSettings resolved)
        : sample_(std::move(sample)), pixels_(std::move(pixels)), resolved_(resolved) {}

private:
    CMSampleBufferRef sample_;
    CVPixelBufferRef pixels_;
    AVCaptureResolvedPhotoSettings resolved_;
};

class AVCapturePhotoOutput;

// Both the current and the older delivery are offered; implement either. Every capture ends with
// didFinishCapture, error or not.
class AVCapturePhotoCaptureDelegate {
public:
    virtual ~AVCapturePhotoCaptureDelegate() = default;
    virtual void willBeginCapture(const std::shared_ptr<AVCapturePhotoOutput>&, const AVCaptureResolvedPhotoSettings&) {
    }
    virtual void didFinishProcessingPhoto(const std::shared_ptr<AVCapturePhotoOutput>&,
                                          const std::shared_ptr<AVCapturePhoto>& photo,
                                          const std::shared_ptr<NSError>& error) {
        (void)photo, (void)error;
    }
    virtual void didFinishProcessingPhotoSampleBuffer(const std::shared_ptr<AVCapturePhotoOutput>&,
                                                      const CMSampleBufferRef& photoSampleBuffer,
                                                      const CMSampleBufferRef& previewPhotoSampleBuffer,
                                                      const AVCaptureResolvedPhotoSettings&,
                                                      const std::shared_ptr<NSError>& error) {
        (void)photoSampleBuffer, (void)previewPhotoSampleBuffer, (void)error;
    }
    virtual void didFinishCapture(const std::shared_ptr<AVCapturePhotoOutput>&, const AVCaptureResolvedPhotoSettings&,
                                  const std::shared_ptr<NSError>& error) {
        (void)error;
    }
};

class AVCapturePhotoOutput : public AVCaptureOutput {
public:
    KORVA_MAKE(AVCapturePhotoOutput)

    AVMediaType mediaType() const override { return AVMediaType::Video; }

    // Flash modes of the attached camera (Off alone without a camera or a flash).
    std::vector<AVCaptureFlashMode> supportedFlashModes() const;
    // Caps the photo size (keeping the aspect); zero sizes mean the camera's full resolution.
    CMVideoDimensions maxPhotoDimensions() const;
    void setMaxPhotoDimensions(CMVideoDimensions dimensions);

    // Errors (no running session, a flash mode the camera lacks, a failed picture or encoding)
    // reach the delegate as an NSError; nothing is thrown.
    void capturePhoto(const std::shared_ptr<AVCapturePhotoSettings>& settings,
                      std::shared_ptr<AVCapturePhotoCaptureDelegate> delegate);

    // The JPEG of a photo sample buffer with its propagating attachments (GPS, TIFF and the rest)
    // written over the properties of the stored file. None for a buffer that holds no JPEG.
    static std::optional<Bytes> JPEGPhotoDataRepresentation(
        const CMSampleBufferRef& photoSampleBuffer, const CMSampleBufferRef& previewPhotoSampleBuffer = nullptr);

    std::string className() const override { return "AVCapturePhotoOutput"; }

protected:
    AVCapturePhotoOutput();

private:
    dispatch_queue_t queue_;
    mutable std::mutex mutex_;
    CMVideoDimensions maxDimensions_{};
};
