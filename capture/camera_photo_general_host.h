// CameraPhotoGeneralHost: the capture host of the camera's photo mode. It adds a photo output to
// the session and takes still photos on two roads, each cropped to a width-to-height ratio,
// oriented and mirrored as shot, filtered at full size, encoded as JPEG and saved to the photo
// library:
// - silent: the caller's current frame becomes the photo; with flash on, or on auto in a dark
//   scene, the torch burns for 0.1 s first, and a torch that does not come on hands the shot to
//   the normal road;
// - normal: the photo output takes the picture with the settings' flash, tagged with GPS (when a
//   location is given) and the TIFF additions.
//
// One shot at a time: a shot asked for while one is under way is refused. Every shot's completion
// runs exactly once, on the main queue, with a failure that names its reason when no photo was
// saved. Shots start on the main thread; filtering and encoding run there on both roads (the
// filter element is shared with the screen's preview), the silent road's half a frame after the
// shot so that the screen shows the shot first; the device work runs on q.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include "capture/camera_photo_host.h"
#include "platform/capture/av_capture_photo_output.h"
#include "platform/dispatch/exit_hold.h"
#include "platform/dispatch/timer.h"
#include "platform/image/ci_image.h"
#include "platform/runtime/result.h"
#include "platform/sensors/cl_location.h"

class FilterElement;

// Receives the ten host events that the host forwards; adds none of its own, so any host
// delegate will do.
using CameraPhotoGeneralHostDelegate = CameraHostDelegate;

class CameraPhotoGeneralHost : public CameraPhotoHost, public CameraHostDelegate, public AVCapturePhotoCaptureDelegate {
public:
    using ShotCompletion = std::function<void(Result<void> saved)>;
    using CurrentSample = std::function<std::shared_ptr<CIImage>()>;

    KORVA_MAKE(CameraPhotoGeneralHost)
    void init() override;

    std::shared_ptr<CameraPhotoGeneralHostDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<CameraPhotoGeneralHostDelegate> d) { delegate_ = std::move(d); }
    std::shared_ptr<AVCapturePhotoOutput> vStill() const;
    bool lastTorchTurnedOn() const { return lastTorchTurnedOn_.load(); }
    double ratioWpH() const { return ratioWpH_; }
    const std::shared_ptr<CLLocation>& location() const { return location_; }
    const std::shared_ptr<FilterElement>& filterElement() const { return filterElement_; }
    const std::shared_ptr<NSTimer>& timerTorch() const { return timerTorch_; }
    bool isShooting() const { return shooting_; }

    void camera1(Hook hook, Completion complete) override;
    void camera0(Completion complete) override;

    // Orientation 1...4 as the device is held; location may be null; ratioWpH 0 or less: no crop;
    // filterElement may be null.
    void shot_normal(std::int64_t orientation, bool frontMirrored, std::shared_ptr<CLLocation> location,
                     double ratioWpH, std::shared_ptr<FilterElement> filterElement,
                     std::function<void()> justBeforeShot, ShotCompletion completion);
    void shot_silent(std::int64_t orientation, bool frontMirrored, std::shared_ptr<CLLocation> location,
                     double ratioWpH, std::shared_ptr<FilterElement> filterElement, CurrentSample getCurrentSample,
                     std::function<void()> justBeforeShot, ShotCompletion completion);

    // The steps of the roads.
    void shot_silent0(std::int64_t orientation, bool frontMirrored, std::shared_ptr<CLLocation> location,
                      double ratioWpH, std::shared_ptr<FilterElement> filterElement, CurrentSample getCurrentSample,
                      std::function<void()> justBeforeShot, ShotCompletion completion);
    void shot_silent_torchOn(std::function<void(bool on)> completion);
    void shot_silent1(Result<void> saved);
    void shot_silent1_0(Result<void> saved);
    void resetTimerTorch();
    void restartTimerTorch();
    void onTimerTorch(const std::shared_ptr<NSTimer>& timer);
    // The TIFF additions, on the main thread (they read the settings).
    void addMetadata(const CMSampleBufferRef& sampleBuffer);
    // The photo's Software: the application's name, with the last chosen look's name when the shot
    // goes through a filter.
    std::string softwareName() const;

    // The photo output's delivery, on its thread.
    void didFinishProcessingPhotoSampleBuffer(const std::shared_ptr<AVCapturePhotoOutput>&,
                                              const CMSampleBufferRef& photoSampleBuffer,
                                              const CMSampleBufferRef& previewPhotoSampleBuffer,
                                              const AVCaptureResolvedPhotoSettings&,
                                              const std::shared_ptr<NSError>& error) override;

    // Forwarding of the host events to delegate().
    void onCameraHostWillFocus(const std::shared_ptr<CameraHost>& h, CGPoint pt) override;
    void onCameraHostDidFocus(const std::shared_ptr<CameraHost>& h) override;
    void onCameraHostDidTorchChange(const std::shared_ptr<CameraHost>& h, bool b) override;
    void onCameraHostWillSessionStart(const std::shared_ptr<CameraHost>& h) override;
    void onCameraHostDidSessionStart(const std::shared_ptr<CameraHost>& h) override;
    void onCameraHostWillSessionStop(const std::shared_ptr<CameraHost>& h) override;
    void onCameraHostDidSessionStop(const std::shared_ptr<CameraHost>& h) override;
    void onCameraHostWasInterruped(const std::shared_ptr<CameraHost>& h) override;
    void onCameraHostSampleBufferVideo(const std::shared_ptr<CameraHost>& h, const CMSampleBufferRef& s) override;
    void onCameraHostSampleBufferAudio(const std::shared_ptr<CameraHost>& h, const CMSampleBufferRef& s) override;

    std::string className() const override { return "CameraPhotoGeneralHost"; }

protected:
    CameraPhotoGeneralHost() = default;

private:
    struct Shot {
        std::int64_t orientation = 1;
        bool frontMirrored = false;
        std::shared_ptr<CLLocation> location;
        double ratioWpH = 0;
        std::shared_ptr<FilterElement> filterElement;
        CurrentSample getCurrentSample;
        std::function<void()> justBeforeShot;
        ShotCompletion completion;
    };
    std::shared_ptr<CameraPhotoGeneralHost> host() { return self<CameraPhotoGeneralHost>(); }
    // Claims the host for a shot; false (with the completion answered a failure) while one is under way.
    bool beginShot(ShotCompletion& completion);
    void keep(Shot& shot);
    void callJustBeforeShot();
    void silentRoad(Shot shot);
    void torchRoad(Shot shot);
    void normalRoad(Shot shot);
    // The delivered photo, on the main thread.
    void processPhoto(const CMSampleBufferRef& photoSampleBuffer);
    void saveAndFinish(const Bytes& jpeg);
    // Ends the shot: a failure from any thread goes to the main queue first.
    void finishOnMain(Result<void> saved);

    std::atomic<bool> lastTorchTurnedOn_{false};
    std::weak_ptr<CameraPhotoGeneralHostDelegate> delegate_;
    mutable std::mutex stillMutex_;
    std::shared_ptr<AVCapturePhotoOutput> vStill_;
    // The shot in progress (main thread). The end of the program waits for it.
    bool shooting_ = false;
    std::shared_ptr<ExitHold> exitHold_;
    double ratioWpH_ = 0;
    std::shared_ptr<CLLocation> location_;
    std::shared_ptr<FilterElement> filterElement_;
    std::shared_ptr<NSTimer> timerTorch_;
    std::function<void()> justBeforeShot_;
    ShotCompletion shotCompletion_;
    std::function<void(bool)> torchOnCompletion_;
};
