// Zoom, focus and exposure gestures through real touches and controls, the message memory, the
// focus marker waiting for the layout, and the screen's answers to its pop-ups: flash fallback,
// long-press comparison, camera swap, manual-control questions, the side drawer, the picker and
// editor hand-off with stand-in controllers, and the help steps.
#include "app/sidebar/side_menu.h"
#include "camera/overlays/focus_view.h"
#include "capture/capture_device_custom.h"
#include "editor/photo/edit_controller_delegate.h"
#include "filter/filter_my_element.h"
#include "filter/glk_view.h"
#include "foundation/global.h"
#include "platform/dispatch/queue.h"
#include "platform/storage/file_manager.h"
#include "platform/ui/control/ui_button.h"
#include "platform/ui/control/ui_slider.h"
#include "platform/ui/controller/ui_alert_controller.h"
#include "platform/ui/gesture/ui_touch_dispatcher.h"
#include "tests/camera/screen/camera_screen_test_support.h"
#include "ui/controls/anim_button.h"
#include "ui/controls/label_status_button.h"
#include "widgets/button/icon_button.h"

namespace {

// A stand-in photo editor registered as "EditController".
struct StandInEditor : UIViewController, AssetEditor {
    KORVA_MAKE(StandInEditor)
    std::weak_ptr<EditControllerDelegate> delegate;
    std::shared_ptr<PHAsset> asset;
    bool assetSet = false;
    void setDelegate(std::weak_ptr<EditControllerDelegate> d) override { delegate = std::move(d); }
    void setAsset(std::shared_ptr<PHAsset> a) override {
        asset = std::move(a);
        assetSet = true;
    }

protected:
    StandInEditor() = default;
};

// A stand-in side menu registered as "LeftController".
struct StandInMenu : UIViewController, SideMenu {
    KORVA_MAKE(StandInMenu)
    int shown = 0;
    void reload() override {}
    void onDidShow() override { ++shown; }

protected:
    StandInMenu() = default;
};

Bytes fileBytes(const std::string& path) {
    auto data = readFileData(path);
    return data ? *data : Bytes{};
}

Value brightDescription() {
    return Value::dictionary(
        {{"name", Value("CIColorControls")},
         {"value", Value::dictionary({{"inputBrightness", Value::dictionary({{"value", Value(0.3)}})}})}});
}

}  // namespace

struct CameraScreenGesturesTest : CameraScreenTest {
    long nextTouch = 5000;
    void touches(std::vector<HostTouch> list) {
        UITouchDispatcher::shared()->touchEvent({Clock::now(), std::move(list)});
        settle();
    }
    // Two fingers from one spread to another, about a centre, in window points.
    void pinch(CGPoint c, CGFloat from, CGFloat to) {
        long a = ++nextTouch, b = ++nextTouch;
        touches({{a, {c.x - from / 2, c.y}, UITouchPhase::Began}, {b, {c.x + from / 2, c.y}, UITouchPhase::Began}});
        for (int i = 1; i <= 5; ++i) {
            step(0.02);
            CGFloat s = from + (to - from) * i / 5;
            touches({{a, {c.x - s / 2, c.y}, UITouchPhase::Moved}, {b, {c.x + s / 2, c.y}, UITouchPhase::Moved}});
        }
        touches({{a, {c.x - to / 2, c.y}, UITouchPhase::Ended}, {b, {c.x + to / 2, c.y}, UITouchPhase::Ended}});
        settleAll();
    }
    CGPoint centre(const std::shared_ptr<UIView>& v) {
        auto r = v->convertRectToView(v->bounds(), nullptr);
        return {r.origin.x + r.size.width / 2, r.origin.y + r.size.height / 2};
    }
    void slideTo(double zoom) {
        screen->views().slZoom->setValue(float(std::cbrt((zoom - 1) / 5)));
        screen->views().slZoom->sendActionsForControlEvents(UIControlEventValueChanged);
        settleAll();
    }
};

TEST_F(CameraScreenGesturesTest, TheSliderZoomsCubicallyAndEachNewFactorIsAnnouncedOnce) {
    showScreen();
    screen->views().slZoom->setValue(0.5);
    screen->views().slZoom->sendActionsForControlEvents(UIControlEventValueChanged);
    settleAll();
    EXPECT_NEAR(back()->videoZoomFactor(), 1.625, 1e-9);
    EXPECT_EQ(screen->messages, (std::vector<std::string>{"Zoom: 1.6 x"}));
    screen->views().slZoom->sendActionsForControlEvents(UIControlEventValueChanged);
    settleAll();
    EXPECT_EQ(screen->count("Zoom: 1.6 x"), 1);
    slideTo(2.0);
    slideTo(2.5);
    slideTo(2.0);
    EXPECT_EQ(screen->count("Zoom: 2.0 x"), 2);
    EXPECT_EQ(screen->count("Zoom: 2.5 x"), 1);
}

TEST_F(CameraScreenGesturesTest, AFailedLockChangesNothingAndShowsNothing) {
    showScreen();
    synthetic(back()).editScript([](SyntheticCameraScript& s) { s.lockAlwaysFails = true; });
    screen->views().slZoom->setValue(1.0);
    screen->views().slZoom->sendActionsForControlEvents(UIControlEventValueChanged);
    settleAll();
    EXPECT_DOUBLE_EQ(back()->videoZoomFactor(), 1.0);
    EXPECT_TRUE(screen->messages.empty());
}

TEST_F(CameraScreenGesturesTest, PinchScalesFromTheStartingZoomWithinTheLimits) {
    showScreen();
    auto at = centre(screen->views().ui);
    pinch(at, 50, 150);
    EXPECT_NEAR(back()->videoZoomFactor(), 3.0, 0.01);
    step(0.3);
    pinch(at, 20, 300);
    EXPECT_DOUBLE_EQ(back()->videoZoomFactor(), 6.0);
    step(0.3);
    pinch(at, 300, 10);
    EXPECT_DOUBLE_EQ(back()->videoZoomFactor(), 1.0);
    // The slider follows the device.
    EXPECT_DOUBLE_EQ(screen->views().slZoom->value(), 0.0);
}

TEST_F(CameraScreenGesturesTest, MessagesAreNotRepeatedButReturnAfterAnother) {
    Global::shared()->setTimerShot(3);
    showScreen();
    screen->onShot();
    screen->onShot();
    // The countdown's "3" comes between two cancels, so the second shows too (else the number
    // would stay up in its place).
    screen->onShot();
    screen->onShot();
    EXPECT_EQ(screen->count("CANCELED"), 2);
    EXPECT_EQ(screen->count("3"), 2);
    // The same message twice with nothing between shows once.
    screen->showMessage("CANCELED");
    EXPECT_EQ(screen->count("CANCELED"), 2);
    slideTo(2.0);
    screen->onShot();
    screen->onShot();
    EXPECT_EQ(screen->count("CANCELED"), 3);
}

TEST_F(CameraScreenGesturesTest, TheDevicesFocusMarkerWaitsForTheLayout) {
    screen = RecordingScreen::make();
    show(screen);
    asHostDelegate(*screen).onCameraHostWillFocus(nullptr, {0.3, 0.7});
    EXPECT_TRUE(screen->timerFocus());
    step(0.3);
    if (!screen->previewRoad()->readyScreenRect()) {
        EXPECT_EQ(screen->views().focusView->showedAt(), 0);
    }
    ASSERT_TRUE(stepUntil([&] { return screen->previewRoad()->readyScreenRect(); }));
    step(0.2);
    EXPECT_GT(screen->views().focusView->showedAt(), 0);
}

TEST_F(CameraScreenGesturesTest, DraggingPlacesThePointsAndTwoFingersOnOneSpotMoveOnlyTheFocus) {
    showScreen();
    auto f = screen->previewIfMade()->convertRectToView(screen->previewIfMade()->bounds(), nullptr);
    CGPoint p{f.origin.x + f.size.width * 0.25, f.origin.y + f.size.height * 0.75};
    // Both fingers together, dragged from the middle of the picture to a quarter of it.
    CGPoint start{f.origin.x + f.size.width * 0.5, f.origin.y + f.size.height * 0.5};
    long a = ++nextTouch, b = ++nextTouch;
    touches({{a, start, UITouchPhase::Began}, {b, start, UITouchPhase::Began}});
    for (int i = 1; i <= 8; ++i) {
        step(0.02);
        CGPoint q{start.x + (p.x - start.x) * i / 8, start.y + (p.y - start.y) * i / 8};
        touches({{a, q, UITouchPhase::Moved}, {b, q, UITouchPhase::Moved}});
    }
    touches({{a, p, UITouchPhase::Ended}, {b, p, UITouchPhase::Ended}});
    EXPECT_NEAR(screen->lastFocused().x, 0.25, 0.02);
    EXPECT_NEAR(screen->lastFocused().y, 0.25, 0.02);
    EXPECT_EQ(screen->lastFocused(), screen->lastExposured());
    EXPECT_GT(screen->views().focusView->showedAt(), 0);
    EXPECT_EQ(screen->views().exposureView->showedAt(), 0);
}

TEST_F(CameraScreenGesturesTest, ACameraWithoutFlashTurnsTheFlashOffWithAnAlertAndSavesNothing) {
    Global::shared()->setPosition(CameraSide::Front);
    showScreen();
    ASSERT_EQ(screen->hosts().device(), front());
    auto path = *Global::shared()->getLastInfoPath();
    auto before = fileBytes(path);
    Global::shared()->setFlashMode(FlashMode::On);
    screen->popups().onPopOptionViewFlash(*screen->popups().option());
    settleAll();
    EXPECT_EQ(Global::shared()->flashMode(), FlashMode::Off);
    auto alert = std::dynamic_pointer_cast<UIAlertController>(screen->presentedViewController());
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->message(), "FLASH NOT SUPPORTED\nFRONT CAMERA");
    EXPECT_EQ(fileBytes(path), before);
}

TEST_F(CameraScreenGesturesTest, AStoredAutoFlashOnACameraWithOnlyOffAndOnWrapsToOffAtStart) {
    auto caps = syntheticBackCameraCapabilities();
    caps.flashModes = {AVCaptureFlashMode::Off, AVCaptureFlashMode::On};
    useCameras(caps, syntheticFrontCameraCapabilities());
    Global::shared()->setFlashMode(FlashMode::Auto);
    Global::shared()->saveCurrentSettings();
    showScreen();
    EXPECT_EQ(Global::shared()->flashMode(), FlashMode::Off);
    EXPECT_EQ(back()->flashMode(), AVCaptureFlashMode::Off);
    Global::resetSharedForTesting();
    EXPECT_EQ(Global::shared()->flashMode(), FlashMode::Off);
}

TEST_F(CameraScreenGesturesTest, ReleasingALongPressRestoresTheFilterHeldAtItsStart) {
    showScreen();
    auto first = FilterMyElement::withDesc(brightDescription());
    screen->setScreenElement(first);
    screen->updateView();
    settleAll();
    ASSERT_FALSE(screen->views().lblFilter->isHidden());
    auto at = centre(screen->views().lblFilter);
    long id = ++nextTouch;
    touches({{id, at, UITouchPhase::Began}});
    step(0.2);
    EXPECT_FALSE(screen->screenElement());
    EXPECT_EQ(screen->screenElement0(), first);
    screen->setScreenElement(FilterMyElement::withDesc(brightDescription()));  // the pop-up changed it
    touches({{id, at, UITouchPhase::Ended}});
    EXPECT_EQ(screen->screenElement(), first);
    EXPECT_FALSE(screen->screenElement0());
}

TEST_F(CameraScreenGesturesTest, ACancelledLongPressOrAShortTapLeavesTheFilterInPlace) {
    showScreen();
    auto first = FilterMyElement::withDesc(brightDescription());
    screen->setScreenElement(first);
    screen->updateView();
    settleAll();
    auto at = centre(screen->views().lblFilter);
    long id = ++nextTouch;
    touches({{id, at, UITouchPhase::Began}});
    step(0.2);
    ASSERT_FALSE(screen->screenElement());
    touches({{id, at, UITouchPhase::Cancelled}});  // the system took the touch away
    EXPECT_EQ(screen->screenElement(), first);
    EXPECT_FALSE(screen->screenElement0());
    settleAll();
    EXPECT_FALSE(screen->views().lblFilter->isHidden());

    id = ++nextTouch;  // too short to begin: the recogniser fails
    touches({{id, at, UITouchPhase::Began}});
    touches({{id, at, UITouchPhase::Ended}});
    step(0.2);
    EXPECT_EQ(screen->screenElement(), first);
}

TEST_F(CameraScreenGesturesTest, SwappingTheCameraStoresThePositionOnlyWhenItChanged) {
    showScreen();
    auto path = *Global::shared()->getLastInfoPath();
    screen->onSwap();
    ASSERT_TRUE(stepUntil([&] { return screen->hosts().device() == front(); }));
    step(0.2);
    EXPECT_EQ(Global::shared()->position(), CameraSide::Front);
    Global::resetSharedForTesting();
    EXPECT_EQ(Global::shared()->position(), CameraSide::Front);
    EXPECT_EQ(screen->lastFocused(), (CGPoint{0.5, 0.5}));

    // Same position as stored: the file is left alone.
    auto before = fileBytes(path);
    screen->hosts().stored()->restartCamera([](bool) {});
    step(0.5);
    screen->popups().onPopOptionViewImageRatio(*screen->popups().option());
    step(0.5);
    EXPECT_EQ(fileBytes(path), before);
}

TEST_F(CameraScreenGesturesTest, TheManualControlsGetTheDeviceFromTheCaptureQueueWithoutMakingAHost) {
    auto s = RecordingScreen::make();
    auto manual = s->popups().manual();
    std::shared_ptr<AVCaptureDevice> answer = back();
    auto q = dispatch_queue_create("test");
    dispatch_sync(q, [&] { answer = s->popups().onPopManualBaseGetDevice(*manual); });
    EXPECT_FALSE(answer);
    EXPECT_FALSE(s->hosts().stored());
    EXPECT_FALSE(s->popups().onPopManualBaseGetQueue(*manual));

    showScreen();
    auto host = screen->hosts().stored();
    dispatch_sync(host->q(), [&] { answer = screen->popups().onPopManualBaseGetDevice(*screen->popups().manual()); });
    EXPECT_EQ(answer, back());
}

TEST_F(CameraScreenGesturesTest, TheDrawerTellsItsMenuAndRestartsCaptureWhenItHides) {
    int made = 0;
    std::shared_ptr<StandInMenu> menu;
    UIStoryboard::mainStoryboard()->registerController("LeftController", [&] {
        ++made;
        return menu = StandInMenu::make();
    });
    showScreen();
    screen->popups().onPopLeftViewDidShow(*screen->popups().left());
    ASSERT_TRUE(menu);
    EXPECT_EQ(menu->shown, 1);
    auto host = screen->hosts().stored();
    screen->popups().onPopLeftViewWillHide(*screen->popups().left());
    ASSERT_TRUE(stepUntil([&] { return screen->hosts().stored() && screen->hosts().stored() != host; }));
    EXPECT_TRUE(stepUntil([&] { return screen->previewRoad()->readyScreenRect(); }));
}

TEST_F(CameraScreenGesturesTest, PickerCancelAndEditorDoneBringCaptureBack) {
    std::shared_ptr<StandInEditor> editor;
    UIStoryboard::mainStoryboard()->registerController("EditController",
                                                       [&] { return editor = StandInEditor::make(); });
    showScreen();
    screen->onShot();
    ASSERT_TRUE(stepUntil([&] { return libraryPhotos().size() == 1; }));

    // Cancel.
    screen->library().onAsset();
    ASSERT_TRUE(stepUntil(
        [&] { return bool(std::dynamic_pointer_cast<UIImagePickerController>(screen->presentedViewController())); }));
    EXPECT_TRUE(screen->library().otherVCActivating());
    EXPECT_TRUE(screen->statusDefault());
    EXPECT_EQ(screen->hosts().state(), ViewController::CaptureState::Idle);
    step(1.0);  // the picker has slid in
    std::dynamic_pointer_cast<UIImagePickerController>(screen->presentedViewController())->cancel();
    ASSERT_TRUE(stepUntil([&] { return screen->previewRoad()->readyScreenRect(); }));
    EXPECT_FALSE(screen->library().otherVCActivating());
    EXPECT_FALSE(screen->statusDefault());

    // Pick: the editor gets the photo; capture stays stopped until it is done.
    screen->library().onAsset();
    ASSERT_TRUE(stepUntil(
        [&] { return bool(std::dynamic_pointer_cast<UIImagePickerController>(screen->presentedViewController())); }));
    step(1.0);
    std::dynamic_pointer_cast<UIImagePickerController>(screen->presentedViewController())->pickAssetAtIndex(0);
    ASSERT_TRUE(stepUntil([&] { return editor && screen->presentedViewController() == editor; }));
    EXPECT_TRUE(editor->assetSet);
    ASSERT_TRUE(editor->asset);
    EXPECT_EQ(editor->asset->localIdentifier(), libraryPhotos()[0]->localIdentifier());
    EXPECT_TRUE(screen->statusDefault());
    step(1.5);
    EXPECT_EQ(screen->hosts().state(), ViewController::CaptureState::Idle);
    ASSERT_TRUE(editor->delegate.lock());
    editor->delegate.lock()->onEditControllerDone(editor);
    ASSERT_TRUE(stepUntil([&] { return screen->previewRoad()->readyScreenRect(); }));
    EXPECT_FALSE(screen->library().otherVCActivating());
}

TEST_F(CameraScreenGesturesTest, APickedPhotoWithoutAnEditorActsAsACancel) {
    UIStoryboard::mainStoryboard()->registerController("EditController",
                                                       [] { return std::shared_ptr<UIViewController>(); });
    showScreen();
    screen->onShot();
    ASSERT_TRUE(stepUntil([&] { return libraryPhotos().size() == 1; }));
    screen->library().onAsset();
    ASSERT_TRUE(stepUntil(
        [&] { return bool(std::dynamic_pointer_cast<UIImagePickerController>(screen->presentedViewController())); }));
    step(1.0);
    std::dynamic_pointer_cast<UIImagePickerController>(screen->presentedViewController())->pickAssetAtIndex(0);
    ASSERT_TRUE(stepUntil([&] { return screen->previewRoad()->readyScreenRect(); }));
    EXPECT_FALSE(screen->library().otherVCActivating());
    EXPECT_FALSE(screen->statusDefault());
    EXPECT_FALSE(screen->presentedViewController());
}

TEST_F(CameraScreenGesturesTest, TheNineHelpStepsPointAtTheirControls) {
    auto s = RecordingScreen::make();
    s->loadViewIfNeeded();
    Value dict = s->tutorialGetDictionary();
    EXPECT_EQ(dict["sender"].object(), std::static_pointer_cast<NSObject>(s->views().ui));
    EXPECT_TRUE(dict["noCenterMessage"].boolValue());
    const Value& steps = dict["arr"];
    ASSERT_EQ(steps.count(), 9u);
    std::vector<std::shared_ptr<UIView>> senders = {s->views().btnMenu, s->views().btnSwap,   s->views().center,
                                                    s->views().slZoom,  s->views().btnAsset,  s->views().btnOption,
                                                    s->views().btnShot, s->views().btnManual, s->views().btnFilter};
    for (std::size_t i = 0; i < 9; ++i)
        EXPECT_EQ(steps[std::size_t(i)]["sender"].object(), std::static_pointer_cast<NSObject>(senders[i])) << i;
    EXPECT_EQ(steps[std::size_t(0)]["text"].stringValue(), "App Menu");
    EXPECT_EQ(steps[std::size_t(2)]["text"].stringValue(),
              "Take by Screen Tap\n* Detect Lens Focus and Take Photo automatically at the Focused Moment");
    EXPECT_EQ(steps[std::size_t(6)]["text"].stringValue(),
              "Take by Shutter\n* Immediate Taking WITHOUT detecting Focused Moment\n"
              "* Screen Pan: Adjust Focus Position\n* Second Finger: Exposure Position");
    EXPECT_EQ(steps[std::size_t(7)]["text"].stringValue(), "Manual Control\n* Focus, Exposure, White Balance");
}

TEST_F(CameraScreenGesturesTest, TheWhiteBalanceRecordGetsTheCamerasBoundsOrKeepsItsOwnWithoutACamera) {
    auto s = RecordingScreen::make();
    auto record = [] {
        return Value::dictionary({{"min", Value::array({Value(2000.0f), Value(-150.0f)})},
                                  {"max", Value::array({Value(9000.0f), Value(150.0f)})}});
    };
    Value without = record();
    s->popups().onFilterAttrBeforeInitialize("CITemperatureAndTint", "inputNeutral", without);
    EXPECT_FLOAT_EQ(without["min"][std::size_t(0)].floatValue(), 2000.0f);
    EXPECT_FLOAT_EQ(without["max"][std::size_t(1)].floatValue(), 150.0f);

    showScreen();
    Value other = record();
    screen->popups().onFilterAttrBeforeInitialize("CIColorControls", "inputNeutral", other);
    screen->popups().onFilterAttrBeforeInitialize("CITemperatureAndTint", "inputTemperature", other);
    EXPECT_FLOAT_EQ(other["min"][std::size_t(0)].floatValue(), 2000.0f);

    Value with = record();
    screen->popups().onFilterAttrBeforeInitialize("CITemperatureAndTint", "inputTargetNeutral", with);
    auto low = minTemperatureAndTint(*back()), high = maxTemperatureAndTint(*back());
    ASSERT_EQ(with["min"].count(), 2u);
    EXPECT_FLOAT_EQ(with["min"][std::size_t(0)].floatValue(), low.first);
    EXPECT_FLOAT_EQ(with["min"][std::size_t(1)].floatValue(), low.second);
    EXPECT_FLOAT_EQ(with["max"][std::size_t(0)].floatValue(), high.first);
    EXPECT_FLOAT_EQ(with["max"][std::size_t(1)].floatValue(), high.second);
    EXPECT_TRUE(with["max"][std::size_t(0)].isFloating());
}
