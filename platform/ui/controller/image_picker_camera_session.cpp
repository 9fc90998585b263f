// The picker's camera: session set-up, live frames scaled off the main thread, photos.
#include "platform/ui/controller/image_picker_camera_session.h"

#include <algorithm>
#include <cmath>

#include "platform/capture/av_capture_device.h"
#include "platform/capture/av_capture_input.h"
#include "platform/capture/frame_scaling.h"
#include "platform/image/cg_image.h"
#include "platform/runtime/log.h"
#include "platform/ui/draw/image.h"

namespace {

// The session presets tried in turn: live frames need no more than the screen shows, and the
// photo output takes its pictures at the camera's full size whatever the preset.
constexpr const char* kPresets[] = {AVCaptureSessionPreset::P1280x720, AVCaptureSessionPreset::High,
                                    AVCaptureSessionPreset::Photo};

// The size a frame is shown at: the live view's shape cut from the frame's middle, at the view's
// pixels or the frame's, whichever are fewer.
CMVideoDimensions liveFrameSize(std::size_t frameWidth, std::size_t frameHeight, CGSize live) {
    if (live.width < 1 || live.height < 1 || frameWidth == 0 || frameHeight == 0) return {0, 0};
    double aspect = live.width / live.height;
    double cutWidth = std::min<double>(frameWidth, frameHeight * aspect);
    double scale = std::min(1.0, cutWidth / live.width);
    return {std::max(1, static_cast<int>(std::lround(live.width * scale))),
            std::max(1, static_cast<int>(std::lround(live.height * scale)))};
}

std::shared_ptr<UIImage> imageOfFrame(const CVPixelBuffer& frame) {
    const auto w = static_cast<int>(frame.width()), h = static_cast<int>(frame.height());
    const std::size_t rowBytes = static_cast<std::size_t>(w) * 4;
    std::vector<std::uint8_t> pixels(rowBytes * h);
    for (int y = 0; y < h; ++y) std::copy_n(frame.row(y), rowBytes, pixels.data() + rowBytes * y);
    auto bitmap = CGImage::create(w, h, rowBytes, std::move(pixels), nullptr, CGImagePixelLayout::BGRA8Premultiplied);
    return bitmap ? UIImage::imageWithCGImage(std::move(bitmap)) : nullptr;
}

}  // namespace

ImagePickerCameraSession::ImagePickerCameraSession() : queue_(dispatch_queue_create("ImagePickerCamera")) {}

void ImagePickerCameraSession::setHandlers(Handlers handlers) {
    std::lock_guard lock(mutex_);
    handlers_ = std::move(handlers);
}

void ImagePickerCameraSession::setLiveSize(CGSize pixels) {
    std::lock_guard lock(mutex_);
    liveSize_ = pixels;
}

void ImagePickerCameraSession::run(std::function<void(Handlers&)> call) {
    std::weak_ptr<ImagePickerCameraSession> weak = self<ImagePickerCameraSession>();
    dispatch_get_main_queue()->async([weak, call = std::move(call)] {
        auto me = weak.lock();
        if (!me) return;
        Handlers handlers;
        {
            std::lock_guard lock(me->mutex_);
            handlers = me->handlers_;
        }
        call(handlers);
    });
}

void ImagePickerCameraSession::start() {
    auto me = self<ImagePickerCameraSession>();
    queue_->async([me] {
        me->wanted_ = true;
        if (me->session_) return;
        auto status = AVCaptureDevice::authorizationStatusForMediaType(AVMediaType::Video);
        if (status != AVAuthorizationStatus::NotDetermined) return me->startOnQueue();
        // The answer comes on a background queue; the start goes on on the session's own.
        AVCaptureDevice::requestAccessForMediaType(AVMediaType::Video, [me](bool) {
            me->queue_->async([me] {
                if (me->wanted_ && !me->session_) me->startOnQueue();
            });
        });
    });
}

void ImagePickerCameraSession::startOnQueue() {
    auto failed = [this](const std::string& problem) {
        Log::warning("photos", "the picker's camera does not start: " + problem);
        run([problem](Handlers& h) {
            if (h.failed) h.failed(problem);
        });
    };
    auto device = AVCaptureDevice::defaultDeviceWithMediaType(AVMediaType::Video);
    if (!device) return failed("No camera is connected.");
    auto input = AVCaptureDeviceInput::deviceInputWithDevice(device);
    if (!input) {
        auto status = AVCaptureDevice::authorizationStatusForMediaType(AVMediaType::Video);
        bool refused = status == AVAuthorizationStatus::Denied || status == AVAuthorizationStatus::Restricted;
        return failed(refused ? "This application has no access to the camera." : "The camera cannot be used.");
    }
    auto session = AVCaptureSession::make();
    session->beginConfiguration();
    for (const char* preset : kPresets)
        if (device->supportsAVCaptureSessionPreset(preset)) {
            session->setSessionPreset(preset);
            break;
        }
    auto video = AVCaptureVideoDataOutput::make();
    video->setAlwaysDiscardsLateVideoFrames(true);
    video->setSampleBufferDelegate(
        std::static_pointer_cast<AVCaptureDataOutputSampleBufferDelegate>(self<ImagePickerCameraSession>()), queue_);
    auto photo = AVCapturePhotoOutput::make();
    bool added = session->canAddInput(*input) && session->addInput(*input) && session->canAddOutput(video) &&
                 session->addOutput(video) && session->canAddOutput(photo) && session->addOutput(photo);
    // Frames and photos the right way up for a phone held upright.
    for (const std::shared_ptr<AVCaptureOutput>& output :
         {std::static_pointer_cast<AVCaptureOutput>(video), std::static_pointer_cast<AVCaptureOutput>(photo)})
        if (auto connection = output->connectionWithMediaType(AVMediaType::Video))
            connection->setVideoOrientation(AVCaptureVideoOrientation::Portrait);
    auto committed = session->commitConfiguration();
    if (!added || !committed) return failed("The camera cannot be used.");
    if (auto running = session->startRunning(); !running) {
        Log::warning("photos", "the picker's camera: " + running.error());
        video->setSampleBufferDelegate({}, nullptr);
        return failed("The camera is busy or cannot start.");
    }
    session_ = session;
    photoOutput_ = photo;
    frameOnItsWay_ = false;
    run([](Handlers& h) {
        if (h.started) h.started();
    });
}

void ImagePickerCameraSession::stop() {
    auto me = self<ImagePickerCameraSession>();
    queue_->async([me] {
        me->wanted_ = false;
        auto session = std::move(me->session_);
        me->session_ = nullptr;
        me->photoOutput_ = nullptr;
        if (!session) return;
        session->stopRunning();
        for (const auto& output : session->outputs())
            if (auto video = std::dynamic_pointer_cast<AVCaptureVideoDataOutput>(output))
                video->setSampleBufferDelegate({}, nullptr);
    });
}

void ImagePickerCameraSession::takePhoto() {
    auto me = self<ImagePickerCameraSession>();
    queue_->async([me] {
        if (!me->photoOutput_) {
            me->run([](Handlers& h) {
                if (h.photo) h.photo(nullptr, "The camera is not running.");
            });
            return;
        }
        auto settings = AVCapturePhotoSettings::photoSettings();
        me->photoOutput_->capturePhoto(settings, std::static_pointer_cast<AVCapturePhotoCaptureDelegate>(me));
    });
}

void ImagePickerCameraSession::captureOutput(const std::shared_ptr<AVCaptureOutput>&,
                                             const CMSampleBufferRef& sampleBuffer,
                                             const std::shared_ptr<AVCaptureConnection>&) {
    // Frames still queued when the camera stopped are not shown.
    if (!session_ || frameOnItsWay_) return;
    auto pixels = CMSampleBufferGetImageBuffer(sampleBuffer);
    if (!pixels) return;
    CGSize live;
    {
        std::lock_guard lock(mutex_);
        live = liveSize_;
    }
    CMVideoDimensions size = liveFrameSize(pixels->width(), pixels->height(), live);
    if (size.width == 0) return;
    auto scaled = makeStillFrom(*pixels, size, 1.0);
    if (!scaled) return;
    auto image = imageOfFrame(**scaled);
    if (!image) return;
    frameOnItsWay_ = true;
    std::weak_ptr<ImagePickerCameraSession> weak = self<ImagePickerCameraSession>();
    run([weak, image](Handlers& h) {
        if (auto me = weak.lock()) me->frameOnItsWay_ = false;
        if (h.frame) h.frame(image);
    });
}

void ImagePickerCameraSession::didFinishProcessingPhoto(const std::shared_ptr<AVCapturePhotoOutput>&,
                                                        const std::shared_ptr<AVCapturePhoto>& photo,
                                                        const std::shared_ptr<NSError>& error) {
    std::shared_ptr<UIImage> image;
    std::string problem;
    if (error || !photo) {
        problem = "The photo could not be taken.";
        Log::warning("photos", "the picker's camera: " + (error ? error->localizedDescription() : problem));
    } else if (auto data = photo->fileDataRepresentation()) {
        // Decoded here, off the main thread; the photo keeps the turn the camera recorded.
        image = UIImage::imageWithData(*data);
    }
    if (!image && problem.empty()) problem = "The photo could not be read.";
    run([image, problem](Handlers& h) {
        if (h.photo) h.photo(image, problem);
    });
}
