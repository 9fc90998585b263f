// ViewController: the live camera screen. It builds the screen's views, draws each frame through
// the chosen filter into the preview, runs the shutter with its self-timer and the tap-to-shoot
// road, and turns the zoom, focus and exposure gestures into device changes. Its parts:
// - CaptureHosts (capture_hosts.h): the capture hosts with the life cycle they follow;
// - PreviewRoad (preview_road.h): the picture road, frames to the preview;
// - ShotSequencer (shot_sequencer.h): the shot's phases, with this screen as its delegate;
// - CameraPopups (camera_popups.h): the filter, option and manual-control pop-ups, the side drawer
//   and the screen's alerts;
// - LibraryRoad (library_road.h): the photo picker and the editor opened from the library button.
//
// Capture states (CaptureLifecycle): Idle (no host) -> start -> Starting -> Running -> stop ->
// Stopping -> Idle. start leaves Idle only on an appeared screen; a start in any other state, and a
// stop while stopping or without a host, are ignored and their completions are never called. The
// host is rebuilt on every start.
//
// Shot phases (ShotSequencer): Idle -> (self-timer) CountingDown -> (tap) WaitingForFocus ->
// Shooting -> Idle; the preview is not redrawn while Shooting.
//
// Threads: everything here runs on the main thread, except the frame arrival (capture queue),
// which writes only the locked frame slot and queues the rest to the main queue, and the device
// observation of the tap road, which hands the end of adjusting to the main queue.
// Host events that may come off the main thread hop to it before touching any state.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/base/my_view_controller.h"
#include "camera/screen/camera_screen_views.h"
#include "camera/screen/capture_hosts.h"
#include "camera/screen/preview_road.h"
#include "camera/screen/shot_sequencer.h"
#include "capture/camera_assistant.h"
#include "platform/dispatch/timer_slots.h"
#include "platform/runtime/result.h"

class AVCaptureDevice;
class CameraPopups;
class FilterMyElement;
class GLKView;
class LastInfo;
class LibraryRoad;
class UIFont;
class UIGestureRecognizer;
class UIImage;

class ViewController : public MyViewController,
                       public CameraVideoHostDelegate,
                       public CameraAssistantDelegate,
                       public ShotSequencerDelegate {
public:
    KORVA_MAKE(ViewController)

    using CaptureState = ::CaptureState;

    // --- Life cycle (view_controller.cpp) ---
    void init() override;  // makes the parts (view_controller_preview.cpp)
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void viewDidDisappear(bool animated) override;
    UIInterfaceOrientationMask supportedInterfaceOrientations() const override;
    bool shouldAutorotate() const override { return false; }
    // Held in portrait, the controls turning instead; asked about one orientation, the screen
    // accepts portrait either way up.
    bool shouldAutorotateToInterfaceOrientation(UIInterfaceOrientation orientation) const override;
    bool prefersStatusBarHidden() const override { return false; }
    UIStatusBarStyle preferredStatusBarStyle() const override;
    void updateStatusBar(bool defaultStyle);
    // The help overlay's steps (view_controller_help.cpp).
    Value tutorialGetDictionary() override;

    // --- The parts (view_controller_members.cpp) ---
    std::shared_ptr<LastInfo> lastInfo();
    std::shared_ptr<CameraAssistant> assist();
    const std::shared_ptr<CameraAssistant>& assistIfMade() const { return assist_; }
    CaptureHosts& hosts() { return *hosts_; }
    const CaptureHosts& hosts() const { return *hosts_; }
    CameraPopups& popups() { return *popups_; }
    LibraryRoad& library() { return *library_; }
    const std::shared_ptr<PreviewRoad>& previewRoad() const { return road_; }
    ShotSequencer& shots() { return *shots_; }
    ShotPhase shotPhase() const { return shots_->phase(); }
    std::shared_ptr<GLKView> preview();
    const std::shared_ptr<GLKView>& previewIfMade() const { return preview_; }
    const CameraScreenViews& views() const { return v_; }

    // --- Capture (view_controller_capture.cpp) ---
    void start(std::function<void()> completion);
    void stop(std::function<void()> completion);
    void restart(std::function<void()> completion);
    void appAddObservers();
    void appRemoveObservers();
    void appActivate();
    void appDeactivate();
    // The front and back cameras trade places.
    void onSwap();
    // The current camera restarts (after a ratio or shot mode change); then the manual controls go
    // back to automatic, the stored side follows the host's and the screen refreshes, with the
    // option pop-up unless quietly.
    void restartCamera(bool quietly);
    void updateOrientation(std::int64_t o);
    bool isLandscape() const;

    // --- The central refresh (view_controller_update.cpp) and the picture ---
    void updateData();
    void updateView() override;
    void updateScreen() { road_->updateScreen(); }
    // Draws the frame through the screen's filter into the preview; the image drawn, or none.
    std::shared_ptr<CIImage> drawPreview(const std::shared_ptr<CIImage>& frame);
    // The tile size of the filter browser, in points (the thumbnail source's size before the scale).
    virtual CGSize filterTileSize();

    // --- Messages over the picture (view_controller_gestures.cpp) ---
    void showMessage(const std::string& text);
    void showBigMessage(const std::string& text);
    virtual void showMessage0(const std::string& text, const std::shared_ptr<UIFont>& font);
    // The process-wide message memories (tests reset them).
    static void resetMessageMemory();

    // --- Shutter road (view_controller_shutter.cpp) ---
    void onShot();
    // The photo host's completion of a shot (main queue); a photo that was not saved is said on
    // screen with its reason.
    virtual void onShotFinished(Result<void> saved);
    bool observingCamera() const { return observingCamera_; }
    void updateAssetButtonImage();

    // --- State, read by the parts, tests and the gallery ---
    bool appeared() const { return appeared_; }
    bool noFocusReset() const { return noFocusReset_; }
    bool statusDefault() const { return statusDefault_; }
    double ratioWpH() const { return ratioWpH_; }
    std::int64_t lastOrientation() const { return lastOrientation_; }
    CGAffineTransform lastTransform() const { return lastTransform_; }
    CGPoint lastFocused() const { return lastFocused_; }
    CGPoint lastExposured() const { return lastExposured_; }
    void setLastFocused(CGPoint p) { lastFocused_ = p; }
    // The filter the picture and the photo are drawn through, and the one a long press on the
    // filter label puts aside.
    const std::shared_ptr<FilterMyElement>& screenElement() const { return screenElement_; }
    void setScreenElement(std::shared_ptr<FilterMyElement> e) { screenElement_ = std::move(e); }
    const std::shared_ptr<FilterMyElement>& screenElement0() const { return screenElement0_; }
    bool timerFocus() const { return timerFocus_.running(); }

    std::string className() const override { return "ViewController"; }

protected:
    ViewController() = default;

private:
    std::shared_ptr<ViewController> me() { return self<ViewController>(); }
    // Runs the block on the main queue with the screen still alive; at once when already there.
    void onMain(std::function<void(ViewController&)> block);
    // View building (view_controller.cpp).
    void buildGestureLayer();
    void buildBottomBar();
    void buildTopBar();
    void buildOverlays();
    void layoutPreviewEdges(const PreviewInsets& in);
    void placeZoomSlider(const PreviewInsets& in);
    void setFilterLabel(bool unfiltered);
    // Drops the hosts' preview view, so the next access builds it afresh.
    void dropPreview();
    // The screen's side of the picture road: drawing, placing and fading its views.
    class RoadSide;

    // CameraHostDelegate: the hosts' events (view_controller_capture.cpp, _preview.cpp, _gestures.cpp).
    void onCameraHostWillSessionStart(const std::shared_ptr<CameraHost>& host) override;
    void onCameraHostDidSessionStart(const std::shared_ptr<CameraHost>& host) override;
    void onCameraHostWillSessionStop(const std::shared_ptr<CameraHost>& host) override;
    void onCameraHostSampleBufferVideo(const std::shared_ptr<CameraHost>& host, const CMSampleBufferRef& s) override;
    void onCameraHostWillFocus(const std::shared_ptr<CameraHost>& host, CGPoint pt) override;

    // CameraAssistantDelegate: permissions, motion, volume keys, the library and the geotag setting.
    void onCameraAssistantCameraAuthDenied(const std::shared_ptr<CameraAssistant>&) override;
    void onCameraAssistantCameraAuthApproved(const std::shared_ptr<CameraAssistant>&) override;
    void onCameraAssistantMicrophoneAuthDenied(const std::shared_ptr<CameraAssistant>&) override;
    void onCameraAssistantMicrophoneAuthApproved(const std::shared_ptr<CameraAssistant>&) override;
    bool onCameraAssistantLocationGetUserSetting(const std::shared_ptr<CameraAssistant>&) override;
    void onCameraAssistantLocationSetUserSetting(const std::shared_ptr<CameraAssistant>&, bool b) override;
    void onCameraAssistantMotionOrientation(const std::shared_ptr<CameraAssistant>&, std::int64_t o) override;
    void onCameraAssistantMotionGravity(const std::shared_ptr<CameraAssistant>&, double x, double y, double z) override;
    void onCameraAssistantMotionRequestFocusUpdate(const std::shared_ptr<CameraAssistant>&, bool bigMove) override;
    void onCameraAssistantVolumeButton(const std::shared_ptr<CameraAssistant>&) override;
    void onCameraAssistantVolumeDblButton(const std::shared_ptr<CameraAssistant>&) override;
    void onCameraAssistantPhotoChanged(const std::shared_ptr<CameraAssistant>&) override;

    // ShotSequencerDelegate: the screen's side of the shot road (view_controller_shutter.cpp).
    double selfTimerSeconds() override;
    void showCountdown(double secondsLeft) override;
    void showCountdownShare(double share) override;
    void countdownSecondPassed() override;
    void countdownCanceled() override;
    FocusWait beginFocusWait() override;
    void endFocusWait() override;
    bool startShot() override;

    // Capture (view_controller_capture.cpp).
    void afterCameraRestart(bool refreshOption);
    void syncPositionWithHost();
    void onDeactivateNotification(const std::shared_ptr<NSNotification>& n);
    void onDidBecomeActiveNotification(const std::shared_ptr<NSNotification>& n);
    void onQuietNotification(const std::shared_ptr<NSNotification>& n);
    // The platform refuses the camera (restricted or denied); capture is refused when the camera
    // is, or the microphone is and the host records sound.
    bool cameraRefused() const;
    bool captureRefused() const;
    // Capture that a denial stopped starts again, whether or not its stop has ended.
    void resumeAfterDenial();
    // The side menu's Geo Tagging switch: the assistant's location fixes follow it.
    void onGeoTaggingChanged(const std::shared_ptr<NSNotification>& n);
    // Gestures (view_controller_gestures.cpp).
    void onZoomStart();
    void onZoom();
    void onZoomStop();
    // A zoom change has reached the device: its factor is announced and the slider follows.
    void onZoomChanged();
    void onPinch(UIGestureRecognizer& gesture);
    void onPan(UIGestureRecognizer& gesture);
    void restartTimerFocus();
    void resetTimerFocus();
    void onTimerFocus();
    void hideFocusView();
    void onFilterLabelLongPress(UIGestureRecognizer& gesture);
    // Shutter (view_controller_shutter.cpp).
    void onTap(UIGestureRecognizer& gesture);
    void updateFocusAuto();
    void updateExpoAuto();
    void updateWBAuto();
    void cameraAddObservers();
    void cameraRemoveObservers();
    // The tap road's device observation, handed to the main queue.
    void observeAdjusting(bool focus, const Value& newValue);
    // The device's and the photo host's answers on the shot's road.
    void onShotDevicePrepared();
    void onShotSaving();
    void showResultImage(const std::shared_ptr<UIImage>& image);

    // Parts.
    std::unique_ptr<CaptureHosts> hosts_;
    const std::shared_ptr<PreviewRoad> road_ = PreviewRoad::make();
    std::shared_ptr<RoadSide> roadSide_;
    std::unique_ptr<ShotSequencer> shots_;
    std::shared_ptr<CameraPopups> popups_;
    std::shared_ptr<LibraryRoad> library_;
    std::shared_ptr<LastInfo> lastInfo_;
    std::shared_ptr<CameraAssistant> assist_;
    std::shared_ptr<GLKView> preview_;
    CameraScreenViews v_;
    // Capture.
    bool appeared_ = false;
    bool observingApp_ = false;
    bool statusDefault_ = false;
    bool noFocusReset_ = false;
    // Capture starts once the stop under way ends (a permission granted while its denial stopped it).
    bool startAfterStop_ = false;
    // Picture.
    double ratioWpH_ = 0.75;
    std::shared_ptr<FilterMyElement> screenElement_, screenElement0_;
    // Gestures.
    double zoom0_ = 1;
    bool generalFocusing_ = false;
    bool dontShowFocusView_ = false;
    CGPoint lastFocused_{0.5, 0.5};
    CGPoint lastExposured_{0.5, 0.5};
    std::int64_t lastOrientation_ = 1;
    CGAffineTransform lastTransform_ = CGAffineTransformIdentity;
    RepeatingTimer timerFocus_;
    // Shutter: the device watched while a tap waits for focus.
    bool observingCamera_ = false;
    std::shared_ptr<AVCaptureDevice> observedDevice_;
    std::vector<std::shared_ptr<NSObject>> observationTokens_;
};
