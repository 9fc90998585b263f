// CameraAssistant: what a camera screen needs beside the session — permission checks with their
// alerts, orientation and gravity from motion with refocus requests, a location fix once a minute,
// the volume buttons as a shutter and notice of photo-library changes. The services are chosen by
// an options bitmask at construction. Main-thread only; platform callbacks hop to the main queue.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "capture/camera_assistant_delegate.h"
#include "platform/dispatch/exit_hold.h"
#include "platform/dispatch/timer.h"
#include "platform/photos/ph_photo_library.h"
#include "platform/runtime/object.h"
#include "platform/sensors/cl_location_manager.h"
#include "platform/sensors/cm_motion_manager.h"

class MPVolumeView;
class NSNotification;

class CameraAssistant : public NSObject, public CLLocationManagerDelegate, public PHPhotoLibraryChangeObserver {
public:
    enum Option : std::int64_t {
        kMotion = 1,
        kCamera = 2,
        kMicrophone = 4,
        kPhotoLibrary = 8,
        kVolumeButtons = 16,
        kLocation = 32,
    };

    // make(options).
    KORVA_MAKE(CameraAssistant)

    std::shared_ptr<CameraAssistantDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<CameraAssistantDelegate> d) { delegate_ = std::move(d); }
    std::int64_t options() const { return options_; }
    void setOptions(std::int64_t o) { options_ = o; }
    // Adds or removes the location service (geotagging turned on or off): while the assistant
    // runs, fixes start or stop at once, and a removed service forgets its last position.
    void setLocationIncluded(bool included);
    bool started() const { return started_; }
    std::shared_ptr<CLLocation> location() const { return location_; }
    void setLocation(std::shared_ptr<CLLocation> l) { location_ = std::move(l); }
    std::int64_t lastDeviceOrientation() const { return lastDeviceOrientation_; }
    std::int64_t realDeviceOrientation() const { return 0; }
    std::int64_t volumeTapCount() const { return volumeTapCount_; }
    bool volumeControlInitialized() const { return volumeControlInitialized_; }
    bool authLocationOpening() const { return authLocationOpening_; }
    const std::shared_ptr<CLLocationManager>& locManager() const { return locManager_; }
    const std::shared_ptr<CMMotionManager>& motManager() const { return motManager_; }
    const std::shared_ptr<NSTimer>& timerLocation() const { return timerLocation_; }

    // Runs the permission steps (asking on the first call, re-checking later) and sets up the
    // chosen services; alerts go to the presenter.
    void start(std::weak_ptr<CameraAssistantPresenter> vc);
    void stop();

    // Device orientation 0...4 from gravity (z is not used).
    static std::int64_t calcDeviceOrientation(double x, double y, double z);
    // One motion sample (the motion manager's updates come here on the main queue).
    void motionStep(CMAcceleration g);

    void photoLibraryDidChange(const std::shared_ptr<PHChange>& change) override;
    void didUpdateLocations(const std::shared_ptr<CLLocationManager>&,
                            const std::vector<std::shared_ptr<CLLocation>>& locations) override;
    void didChangeAuthorizationStatus(const std::shared_ptr<CLLocationManager>&, CLAuthorizationStatus status) override;

    std::string className() const override { return "CameraAssistant"; }

protected:
    explicit CameraAssistant(std::int64_t options) : options_(options) {}

private:
    std::shared_ptr<CameraAssistant> me() { return self<CameraAssistant>(); }
    bool has(Option o) const { return (options_ & o) != 0; }
    void alert(const char* message);

    // camera_assistant_permissions.cpp
    void cameraAuthInitial();
    void cameraAuthCheck();
    void microphoneAuthInitial();
    void microphoneAuthCheck();
    void photosAuthInitial();
    void photosAuthCheck();
    void locationAuthInitial();
    void locationAuthCheck();
    // camera_assistant_motion.cpp
    void motionStart();
    void motionEnd();
    // camera_assistant_location.cpp
    void locationStart();
    void locationEnd();
    void makeLocationManager();
    // camera_assistant_volume.cpp
    void volumeStart();
    void volumeEnd();
    void volumePressed(std::optional<double> madeAt);
    void volumeDelayed(std::uint64_t generation);

    std::int64_t volumeTapCount_ = 0;
    // When the press still waiting to be told apart was made (Clock seconds).
    double volumeFirstMadeAt_ = 0;
    // Counts the waiting presses: a delayed decision made for an earlier one is ignored.
    std::uint64_t volumeGeneration_ = 0;
    bool volumeControlInitialized_ = false;
    bool authInitialCalled_ = false;
    bool started_ = false;
    bool authLocationOpening_ = false;
    float lastAccelX0_ = 0, lastAccelY0_ = 0, lastAccelZ0_ = 0;
    float lastAccelX1_ = 0, lastAccelY1_ = 0, lastAccelZ1_ = 0;
    std::weak_ptr<CameraAssistantDelegate> delegate_;
    std::shared_ptr<CLLocation> location_;
    std::int64_t options_;
    std::shared_ptr<CLLocationManager> locManager_;
    std::shared_ptr<NSTimer> timerLocation_;
    std::shared_ptr<CMMotionManager> motManager_;
    std::int64_t lastDeviceOrientation_ = 0;
    double atAccelSaved_ = 0;
    std::weak_ptr<CameraAssistantPresenter> lastVC_;
    // Made once and reused by every volume set-up.
    std::shared_ptr<MPVolumeView> volumeView_;
    std::shared_ptr<NSObject> volumeToken_;
    // A press not yet told apart from the first of two is the user's shot to come: the program's
    // end waits for it as for the shot it becomes.
    std::shared_ptr<ExitHold> volumeHold_;
};
