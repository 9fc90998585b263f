// ViewController: the live camera screen. It owns the capture hosts and the assistant, draws each
// frame through the chosen filter into the preview, runs the shutter with its self-timer and the
// tap-to-shoot road, turns the zoom, focus and exposure gestures into device changes and hosts the
// filter, option and manual-control pop-ups, the side drawer, the photo picker and the editor.
//
// Capture states (CaptureLifecycle): Idle (no host) -> start -> Starting -> Running -> stop ->
// Stopping -> Idle. start leaves Idle only on an appeared screen; a start in any other state, and a
// stop while stopping or without a host, are ignored and their completions are never called. The
// host is rebuilt on every start. The picture road (PreviewRoad) draws the frames.
//
// Shot phases (ShotSequencer, shot_sequencer.h): Idle -> (self-timer) CountingDown -> (tap)
// WaitingForFocus -> Shooting -> Idle; the preview is not redrawn while Shooting.
//
// Threads: everything here runs on the main thread, except the frame arrival (capture queue),
// which writes only the locked frame slot and queues the rest to the main queue, and the device
// observation of the tap road, which hands the end of adjusting to the main queue.
// Host events that may come off the main thread hop to it before touching any state.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/base/my_view_controller.h"
#include "camera/controls/pop_manual_view.h"
#include "camera/options/pop_option_view.h"
#include "app/sidebar/side_menu.h"
#include "camera/screen/capture_lifecycle.h"
#include "camera/screen/preview_road.h"
#include "camera/screen/shot_sequencer.h"
#include "capture/camera_assistant.h"
#include "capture/camera_photo_general_host.h"
#include "capture/camera_video_general_host.h"
#include "editor/browser/filter_source.h"
#include "editor/browser/pop_filter_main_view.h"
#include "editor/photo/edit_controller_delegate.h"
#include "platform/dispatch/timer.h"
#include "platform/ui/controller/ui_image_picker_controller.h"
#include "ui/popup/one_shot_timer.h"
#include "ui/popup/pop_left_view.h"

class AnimButton;
class FocusView;
class GuideView;
class AVCaptureDevice;
class FilterContext;
class FilterMyElement;
class GLKView;
class IconButton;
class LabelStatusButton;
class LastInfo;
class UIButton;
class UIFont;
class UIGestureRecognizer;
class UIImage;
class UISlider;

class ViewController : public MyViewController,
                       public CameraPhotoGeneralHostDelegate,
                       public CameraVideoHostDelegate,
                       public CameraAssistantDelegate,
                       public CameraAssistantPresenter,
                       public UIImagePickerControllerDelegate,
                       public EditControllerDelegate,
                       public FilterAttrDelegate,
                       public PopFilterMainViewDelegate,
                       public PopOptionViewDelegate,
                       public PopManualViewDelegate,
                       public PopLeftViewDelegate {
public:
    KORVA_MAKE(ViewController)

    // Layout numbers of the screen.
    static constexpr CGFloat kTopBarHeight = 50;
    static constexpr CGFloat kBottomBarHeight = 100;
    static constexpr CGFloat kBottomBarWidthPhone = 320;
    static constexpr CGFloat kBottomBarWidthTablet = 400;
    // Timing of the shutter road.
    static constexpr double kFocusTick = 0.1;
    static constexpr double kMessageDelay = 2.0;
    static constexpr const char* kLastInfoFile = "ViewController.3";
    static constexpr const char* kLastCameraDenied = "lastCameraDenied";

    using CaptureState = ::CaptureState;

    // --- Life cycle (view_controller.cpp) ---
    void init() override;  // wires the picture road (view_controller_preview.cpp)
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void viewDidDisappear(bool animated) override;
    UIInterfaceOrientationMask supportedInterfaceOrientations() const override;
    bool shouldAutorotate() const override { return false; }
    bool prefersStatusBarHidden() const override { return false; }
    UIStatusBarStyle preferredStatusBarStyle() const override;
    void updateStatusBar(bool defaultStyle);

    // --- Members made on first use (view_controller_members.cpp) ---
    std::shared_ptr<LastInfo> lastInfo();
    std::shared_ptr<CameraAssistant> assist();
    std::shared_ptr<CameraPhotoGeneralHost> makerPhoto();
    std::shared_ptr<CameraVideoGeneralHost> makerVideo();
    // The current host: the video host in shot mode 3, else the photo host.
    std::shared_ptr<CameraHost> maker();
    // The stored host without making one.
    std::shared_ptr<CameraHost> currentMaker() const;
    // Drops both hosts and the preview view, so the next access builds them afresh.
    void clearMaker();
    std::shared_ptr<GLKView> preview();
    std::shared_ptr<PopLeftView> popLeft();
    std::shared_ptr<PopFilterMainView> popFilter();
    std::shared_ptr<PopOptionView> popOption();
    const std::shared_ptr<PopFilterMainView>& popFilterIfMade() const { return popFilter_; }
    std::shared_ptr<PopManualView> popManual();
    const std::shared_ptr<PopOptionView>& popOptionIfMade() const { return popOption_; }
    const std::shared_ptr<PopManualView>& popManualIfMade() const { return popManual_; }
    // The capture device of the current host, or none.
    std::shared_ptr<AVCaptureDevice> device() const;

    // --- Capture (view_controller_capture.cpp) ---
    void start(std::function<void()> completion);
    void stop(std::function<void()> completion);
    void restart(std::function<void()> completion);
    CaptureState captureState() const { return capture_.state(); }
    void appAddObservers();
    void appRemoveObservers();
    void appActivate();
    void appDeactivate();
    void onCameraHostWillSessionStart(const std::shared_ptr<CameraHost>& host) override;
    void onCameraHostDidSessionStart(const std::shared_ptr<CameraHost>& host) override;
    void onCameraAssistantCameraAuthDenied(const std::shared_ptr<CameraAssistant>&) override;
    void onCameraAssistantCameraAuthApproved(const std::shared_ptr<CameraAssistant>&) override;
    void onCameraAssistantMicrophoneAuthDenied(const std::shared_ptr<CameraAssistant>&) override;
    void onCameraAssistantMicrophoneAuthApproved(const std::shared_ptr<CameraAssistant>&) override;
    bool onCameraAssistantLocationGetUserSetting(const std::shared_ptr<CameraAssistant>&) override;
    void onCameraAssistantLocationSetUserSetting(const std::shared_ptr<CameraAssistant>&, bool b) override;
    void onCameraAssistantMotionOrientation(const std::shared_ptr<CameraAssistant>&, std::int64_t o) override;
    void onCameraAssistantMotionGravity(const std::shared_ptr<CameraAssistant>&, double x, double y, double z) override;
    void updateOrientation(std::int64_t o);
    bool isLandscape() const;

    // The central refresh and the data it reads (view_controller_update.cpp).
    void updateData();
    void updateView() override;
    void setFilterLabel(bool unfiltered);
    std::string getFilterText() const;

    // --- Picture road (preview_road.cpp, the screen's side in view_controller_preview.cpp) ---
    void onCameraHostSampleBufferVideo(const std::shared_ptr<CameraHost>& host, const CMSampleBufferRef& s) override;
    void onCameraHostWillSessionStop(const std::shared_ptr<CameraHost>& host) override;
    void updateScreen() { road_->updateScreen(); }
    // Draws the frame through the screen's filter into the preview; the image drawn, or none.
    std::shared_ptr<CIImage> drawPreview(const std::shared_ptr<CIImage>& frame);
    const std::shared_ptr<PreviewRoad>& previewRoad() const { return road_; }
    // The tile size of the filter browser, in points (the thumbnail source's size before the scale).
    virtual CGSize filterTileSize();

    // --- Gestures and messages (view_controller_gestures.cpp) ---
    void onZoomStart();
    void onZoom();
    void onZoomStop();
    // A zoom change has reached the device: its factor is announced and the slider follows.
    void onZoomChanged();
    void onPinch(UIGestureRecognizer& gesture);
    void onPan(UIGestureRecognizer& gesture);
    void onCameraAssistantMotionRequestFocusUpdate(const std::shared_ptr<CameraAssistant>&, bool bigMove) override;
    void onCameraHostWillFocus(const std::shared_ptr<CameraHost>& host, CGPoint pt) override;
    void restartTimerFocus();
    void resetTimerFocus();
    void onTimerFocus();
    void hideFocusView();
    void showMessage(const std::string& text);
    void showBigMessage(const std::string& text);
    virtual void showMessage0(const std::string& text, const std::shared_ptr<UIFont>& font);
    // The process-wide message memories (tests reset them).
    static void resetMessageMemory();

    // --- Shutter road (view_controller_shutter.cpp) ---
    void onShot();
    void onCameraAssistantVolumeButton(const std::shared_ptr<CameraAssistant>&) override;
    void onTap(UIGestureRecognizer& gesture);
    // The shot's phases and timers, made on first use.
    ShotSequencer& shots();
    ShotPhase shotPhase() const { return shots_ ? shots_->phase() : ShotPhase::Idle; }
    // The shutter's trigger: now, or through the self-timer.
    void shot0();
    // The shot itself; dropped while one is under way.
    void shot1();
    // The tap road without the self-timer: waits for focus and exposure, then shoots.
    void onShotTap();
    // The focus wait's fallback.
    void shotDelayed();
    // The photo host's completion of a shot (main queue); a photo that was not saved is said on
    // screen with its reason.
    virtual void onShotFinished(Result<void> saved);
    void cameraAddObservers();
    void cameraRemoveObservers();
    void updateFocusAuto();
    void updateExpoAuto();
    void updateWBAuto();
    void onCameraAssistantPhotoChanged(const std::shared_ptr<CameraAssistant>&) override;
    void updateAssetButtonImage();
    void showResultImage(const std::shared_ptr<UIImage>& image);

    // --- Pop-up hosting and callbacks (view_controller_popups.cpp, _flash.cpp, _help.cpp) ---
    void onFilter(const std::shared_ptr<UIView>& sender);
    void onFiltLabel();
    void onFilterLabelLongPress(UIGestureRecognizer& gesture);
    void onOption();
    void onManual(const std::shared_ptr<UIView>& sender);
    void onMenu(const std::shared_ptr<UIView>& sender);
    void onHelp();
    void onSwap();
    void onAsset();
    void hideFilter();
    void hideManual();
    bool hasFlash() const;
    bool updateFlash();
    void updateDefaultFlash();
    void didFinishPickingMediaWithInfo(UIImagePickerController& picker, const ValueDictionary& info) override;
    void imagePickerControllerDidCancel(UIImagePickerController& picker) override;
    void onEditControllerDone(const std::shared_ptr<UIViewController>& editor) override;
    void onCameraAssistantVolumeDblButton(const std::shared_ptr<CameraAssistant>&) override;
    std::shared_ptr<CIImage> onFilterSourceGetImage() override;
    std::shared_ptr<FilterContext> onFilterSourceGetContext() override;
    void onFilterAttrChanged(const std::shared_ptr<FilterElement>& element) override;
    void onFilterAttrBeforeInitialize(const std::string& filterName, const std::string& key,
                                      const Value& record) override;
    void onPopFilterMainViewFilterSelected(PopFilterMainView& pop,
                                           const std::shared_ptr<FilterPersistElement>& element) override;
    void onPopFilterMainViewDidShow(PopFilterMainView& pop) override;
    void onPopOptionViewFlash(PopOptionView& sender) override;
    void onPopOptionViewSwap(PopOptionView& sender) override;
    void onPopOptionViewTimer(PopOptionView& sender) override;
    void onPopOptionViewGrid(PopOptionView& sender) override;
    void onPopOptionViewImageRatio(PopOptionView& sender) override;
    void onPopOptionViewShotMode(PopOptionView& sender) override;
    void onPopOptionViewWillHide(PopOptionView& sender) override;
    std::shared_ptr<DispatchQueue> onPopManualBaseGetQueue(PopManualBase& sender) override;
    std::shared_ptr<AVCaptureDevice> onPopManualBaseGetDevice(PopManualBase& sender) override;
    void onPopManualBaseChanged(PopManualBase& sender, bool manual) override;
    void onPopManualBaseDidHide(PopManualBase& sender) override;
    void onPopManualViewDidShow(PopManualView& sender) override;
    void onPopLeftViewDidShow(PopLeftView& pop) override;
    void onPopLeftViewWillHide(PopLeftView& pop) override;
    Value tutorialGetDictionary() override;

    // CameraAssistantPresenter: the assistant's permission dialogs on this screen.
    void alert(const std::string& message, std::function<void()> onOK) override;
    void confirm(const std::string& message, std::function<void()> onYes, std::function<void()> onNo) override;
    void openDeviceSettings() override;

    // --- State, read by tests and the gallery ---
    bool appeared() const { return appeared_; }
    bool readyScreenRect() const { return road_->readyScreenRect(); }
    bool noFocusReset() const { return noFocusReset_; }
    bool observingCamera() const { return observingCamera_; }
    bool otherVCActivating() const { return otherVCActivating_; }
    bool statusDefault() const { return statusDefault_; }
    bool flagFade() const { return road_->flagFade(); }
    double ratioWpH() const { return ratioWpH_; }
    std::int64_t lastOrientation() const { return lastOrientation_; }
    CGAffineTransform lastTransform() const { return lastTransform_; }
    CGPoint lastFocused() const { return lastFocused_; }
    CGPoint lastExposured() const { return lastExposured_; }
    void setLastFocused(CGPoint p) { lastFocused_ = p; }
    double lastSampleBufferedAt() const { return road_->lastSampleBufferedAt(); }
    std::shared_ptr<CIImage> lastSample() const { return road_->lastSample(); }
    const std::shared_ptr<CIImage>& lastScreen() const { return road_->lastScreen(); }
    const std::shared_ptr<CIImage>& lastFilter() const { return road_->lastFilter(); }
    const std::shared_ptr<FilterMyElement>& screenElement() const { return screenElement_; }
    void setScreenElement(std::shared_ptr<FilterMyElement> e) { screenElement_ = std::move(e); }
    const std::shared_ptr<FilterMyElement>& screenElement0() const { return screenElement0_; }
    bool timerScreen() const { return road_->drawing(); }
    bool timerFade() const { return road_->fading(); }
    bool timerFocus() const { return timerFocus_.running(); }
    const std::shared_ptr<CameraAssistant>& assistIfMade() const { return assist_; }

    // Views.
    const std::shared_ptr<UIView>& ui() const { return ui_; }
    const std::shared_ptr<UIView>& centerView() const { return center_; }
    const std::shared_ptr<UIView>& top() const { return top_; }
    const std::shared_ptr<UIView>& bottom() const { return bottom_; }
    const std::shared_ptr<UIButton>& btnMenu() const { return btnMenu_; }
    const std::shared_ptr<UIButton>& btnAsset() const { return btnAsset_; }
    const std::shared_ptr<UIButton>& btnOption() const { return btnOption_; }
    const std::shared_ptr<UIButton>& btnFilter() const { return btnFilter_; }
    const std::shared_ptr<UIButton>& btnSwap() const { return btnSwap_; }
    const std::shared_ptr<IconButton>& btnHelp() const { return btnHelp_; }
    const std::shared_ptr<AnimButton>& btnShot() const { return btnShot_; }
    const std::shared_ptr<AnimButton>& btnManual() const { return btnManual_; }
    const std::shared_ptr<UISlider>& slZoom() const { return slZoom_; }
    const std::shared_ptr<LabelStatusButton>& lblFilter() const { return lblFilter_; }
    std::shared_ptr<GLKView> previewIfMade() const { return preview_; }
    const std::shared_ptr<GuideView>& guideView() const { return guideView_; }
    const std::shared_ptr<FocusView>& focusView() const { return focusView_; }
    const std::shared_ptr<FocusView>& exposureView() const { return exposureView_; }

    std::string className() const override { return "ViewController"; }

protected:
    ViewController() = default;

private:
    friend class ViewControllerShotRoad;
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
    // The screen's side of the picture road: drawing, placing and fading its views.
    class RoadSide;
    // The tap road's device observation, handed to the main queue.
    void observeAdjusting(bool focus, const Value& newValue);
    // The device's and the photo host's answers on the shot's road.
    void onShotDevicePrepared();
    void onShotSaving();
    // Restarts capture after a swap, ratio or mode change: manual controls back to automatic,
    // the stored position synchronised with the host's, the screen refreshed.
    void afterCameraRestart(bool refreshOption);
    void onCameraRestarted() { afterCameraRestart(true); }
    void onCameraRestartedQuietly() { afterCameraRestart(false); }
    void syncPositionWithHost();
    void onDeactivateNotification(const std::shared_ptr<NSNotification>& n);
    void onDidBecomeActiveNotification(const std::shared_ptr<NSNotification>& n);
    void onQuietNotification(const std::shared_ptr<NSNotification>& n);
    // The side menu's Geo Tagging switch: the assistant's location fixes follow it.
    void onGeoTaggingChanged(const std::shared_ptr<NSNotification>& n);
    bool stopTimersForOtherScreen();
    void dismissOtherScreen(bool animated);

    // Capture.
    CaptureLifecycle capture_;
    bool appeared_ = false;
    bool observingApp_ = false;
    bool otherVCActivating_ = false;
    bool statusDefault_ = false;
    bool noFocusReset_ = false;
    // Picture.
    const std::shared_ptr<PreviewRoad> road_ = PreviewRoad::make();
    std::shared_ptr<RoadSide> roadSide_;
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
    // Shutter.
    std::unique_ptr<ShotSequencer> shots_;
    bool observingCamera_ = false;
    std::shared_ptr<AVCaptureDevice> observedDevice_;
    std::vector<std::shared_ptr<NSObject>> observationTokens_;

    // Timers.
    RepeatingTimer timerFocus_;
    // Members made on first use.
    std::shared_ptr<LastInfo> lastInfo_;
    std::shared_ptr<CameraAssistant> assist_;
    std::shared_ptr<CameraPhotoGeneralHost> makerPhoto_;
    std::shared_ptr<CameraVideoGeneralHost> makerVideo_;
    std::shared_ptr<GLKView> preview_;
    std::shared_ptr<PopLeftView> popLeft_;
    std::shared_ptr<PopFilterMainView> popFilter_;
    std::shared_ptr<PopOptionView> popOption_;
    std::shared_ptr<PopManualView> popManual_;
    // The hosts are also read from the capture queue (the manual controls ask for the device).
    mutable std::mutex makerMutex_;
    // Views.
    std::shared_ptr<UIView> ui_, center_, top_, bottom_;
    std::shared_ptr<UIButton> btnMenu_, btnAsset_, btnOption_, btnFilter_, btnSwap_;
    std::shared_ptr<IconButton> btnHelp_;
    std::shared_ptr<AnimButton> btnShot_, btnManual_;
    std::shared_ptr<UISlider> slZoom_;
    std::shared_ptr<LabelStatusButton> lblFilter_;
    std::shared_ptr<GuideView> guideView_;
    std::shared_ptr<FocusView> focusView_, exposureView_;
};
