// The camera behind the image picker's camera screen: a capture session on the host's default
// camera with a video output, whose frames are scaled to the live view's size, and a photo output.
// Everything the camera does runs on the session's own serial queue (starting and stopping block
// there, as they do on the platform); the owner hears of it through its handlers on the main
// queue. Thread-safe.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "platform/capture/av_capture_photo_output.h"
#include "platform/capture/av_capture_session.h"
#include "platform/capture/av_capture_video_data_output.h"

class UIImage;

class ImagePickerCameraSession : public NSObject,
                                 public AVCaptureDataOutputSampleBufferDelegate,
                                 public AVCapturePhotoCaptureDelegate {
public:
    KORVA_MAKE(ImagePickerCameraSession)

    // Called on the main queue. A failure to start names its reason; a photo comes with none, or
    // none and the reason it could not be taken.
    struct Handlers {
        std::function<void()> started;
        std::function<void(const std::string& problem)> failed;
        std::function<void(std::shared_ptr<UIImage> frame)> frame;
        std::function<void(std::shared_ptr<UIImage> photo, const std::string& problem)> photo;
    };
    void setHandlers(Handlers handlers);

    // The live view's size in pixels: frames are cropped to its shape (centred) and scaled to it,
    // never above the frame's own pixels. Frames wait until it is set.
    void setLiveSize(CGSize pixels);

    void start();
    void stop();
    // Takes a full-size photo; the handler hears of it.
    void takePhoto();

    // The outputs' deliveries, on the session's queue.
    void captureOutput(const std::shared_ptr<AVCaptureOutput>& output, const CMSampleBufferRef& sampleBuffer,
                       const std::shared_ptr<AVCaptureConnection>& connection) override;
    void didFinishProcessingPhoto(const std::shared_ptr<AVCapturePhotoOutput>& output,
                                  const std::shared_ptr<AVCapturePhoto>& photo,
                                  const std::shared_ptr<NSError>& error) override;

    std::string className() const override { return "ImagePickerCameraSession"; }

protected:
    ImagePickerCameraSession();

private:
    void startOnQueue();
    void run(std::function<void(Handlers&)> call);

    dispatch_queue_t queue_;
    mutable std::mutex mutex_;
    Handlers handlers_;
    CGSize liveSize_{0, 0};
    // Touched on the queue only.
    std::shared_ptr<AVCaptureSession> session_;
    std::shared_ptr<AVCapturePhotoOutput> photoOutput_;
    bool wanted_ = false;
    // A frame handed to the main queue and not shown yet: later ones are skipped until it is.
    std::atomic<bool> frameOnItsWay_{false};
};
