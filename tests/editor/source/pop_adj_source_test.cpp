// The image-source editor: "CAMERA SOURCE" clears the value (alert and report even when there
// was none), a library picture goes through the crop screen into the record as an image object,
// a cancel leaves record and status bar as they were, "TAKE NOW" only with a camera and taking
// its photo into the crop screen, and the parameter pop-up opens it for its source action.
#include <gtest/gtest.h>

#include "app/base/my_view_controller.h"
#include "editor/adjust/pop_adj_view.h"
#include "editor/crop/crop_view_controller.h"
#include "editor/source/pop_adj_source_view.h"
#include "platform/capture/capture_device_registry.h"
#include "platform/dispatch/queue.h"
#include "platform/image/ci_image.h"
#include "platform/image/codec/jpeg.h"
#include "platform/photos/ph_asset_change_request.h"
#include "platform/photos/ph_authorization.h"
#include "platform/photos/ph_photo_library.h"
#include "platform/ui/app/status_bar_state.h"
#include "platform/ui/app/ui_application.h"
#include "platform/ui/controller/ui_alert_controller.h"
#include "platform/ui/controller/ui_navigation_controller.h"
#include "tests/support/temp_photo_library.h"
#include "tests/ui/ui_test_support.h"
#include "widgets/button/icon_button.h"

namespace {

struct Reports : PopAdjGeneralBaseDelegate {
    std::vector<Value> records;
    void onPopAdjGeneralBaseValueChanged(PopAdjGeneralBase&, const Value& record) override {
        records.push_back(record);
    }
};

struct SourceTest : ToolkitTest {
    std::shared_ptr<MyViewController> screen;
    std::shared_ptr<PopAdjSourceView> editor;
    std::shared_ptr<Reports> reports = std::make_shared<Reports>();
    std::shared_ptr<UIView> anchor = UIView::make(CGRectMake(100, 300, 40, 30));
    Value record = Value::dictionary({{"disp", "Image"}, {"value", "placeholder"}, {"instanceData", 1}});

    TempPhotoLibrary library;

    void SetUp() override {
        ToolkitTest::SetUp();
        library.open(tempRoot / "library");
        screen = MyViewController::make();
        window->setRootViewController(screen);
        settle();
        screen->view()->addSubview(anchor);
        editor = PopAdjSourceView::make(screen);
        editor->setDelegate(reports);
    }
    void TearDown() override {
        drain();
        CaptureDeviceRegistry::reset();
        library.close();
        ToolkitTest::TearDown();
    }
    void drain() {
        for (int i = 0; i < 6; ++i) {
            DispatchQueue::waitUntilBackgroundIdle();
            settle();
            advance(0.5);
        }
    }
    void addPhoto() {
        RasterRGBA8 r = makeRaster(80, 60);
        for (std::size_t i = 0; i < r.pixels.size(); ++i) r.pixels[i] = i % 4 == 3 ? 255 : 150;
        auto data = encodeJpeg(r);
        ASSERT_TRUE(data && TempPhotoLibrary::add(*data));
    }
    // Picks the first library picture and returns the crop screen it leads to.
    std::shared_ptr<CropViewController> pickIntoCrop() {
        addPhoto();
        editor->onPhotoLibrary(anchor);
        drain();
        auto picker = std::dynamic_pointer_cast<UIImagePickerController>(screen->presentedViewController());
        EXPECT_TRUE(picker);
        if (!picker) return nullptr;
        EXPECT_TRUE(picker->pickAssetAtIndex(0));
        drain();
        auto nav = std::dynamic_pointer_cast<UINavigationController>(screen->presentedViewController());
        EXPECT_TRUE(nav);
        return nav ? std::dynamic_pointer_cast<CropViewController>(nav->topViewController()) : nullptr;
    }
};

}  // namespace

TEST_F(SourceTest, CameraSourceClearsTheValueAndReportsEvenWhenThereWasNone) {
    editor->show(anchor, record, [] {});
    advance(1);
    editor->onCamera0();
    EXPECT_FALSE(record.dictionaryPtr()->find("value"));
    ASSERT_EQ(reports->records.size(), 1u);
    advance(1);
    auto a = std::dynamic_pointer_cast<UIAlertController>(screen->presentedViewController());
    ASSERT_TRUE(a);
    EXPECT_EQ(a->message(), PopAdjSourceView::kCameraSelected);
    a->chooseAction(a->actions().front());
    advance(1);

    editor->onCamera0();
    EXPECT_EQ(reports->records.size(), 2u);
}

TEST_F(SourceTest, APickedAndCroppedPictureBecomesAnImageObjectInTheRecord) {
    editor->show(anchor, record, [] {});
    advance(1);
    auto crop = pickIntoCrop();
    ASSERT_TRUE(crop);
    EXPECT_EQ(editor->imagePick(), PopAdjSourceView::Pick::PhotoLibrary);
    crop->done();
    drain();
    ASSERT_EQ(reports->records.size(), 1u);
    auto image = record["value"].objectAs<CIImage>();
    ASSERT_TRUE(image) << "an image object, not a file or a name";
    EXPECT_NEAR(image->extent().size.width, 80, 1);
    EXPECT_FALSE(record.dictionaryPtr()->find("instanceData"));
    EXPECT_FALSE(screen->presentedViewController());
}

TEST_F(SourceTest, TakeNowTakesAPhotoWithTheHostsCameraIntoTheCropScreen) {
    CaptureDeviceRegistry::setDevices(makeSyntheticCameras(CMVideoDimensions{64, 48}));
    editor->show(anchor, record, [] {});
    advance(1);
    ASSERT_TRUE(editor->btnCamera1()->isEnabled());
    editor->onCamera1(anchor);
    drain();
    auto picker = std::dynamic_pointer_cast<UIImagePickerController>(screen->presentedViewController());
    ASSERT_TRUE(picker);
    EXPECT_EQ(picker->sourceType(), UIImagePickerControllerSourceType::Camera);
    ASSERT_TRUE(picker->takePicture());
    drain();
    auto nav = std::dynamic_pointer_cast<UINavigationController>(screen->presentedViewController());
    ASSERT_TRUE(nav);
    auto crop = std::dynamic_pointer_cast<CropViewController>(nav->topViewController());
    ASSERT_TRUE(crop);
    EXPECT_EQ(editor->imagePick(), PopAdjSourceView::Pick::Camera);
    crop->done();
    drain();
    ASSERT_EQ(reports->records.size(), 1u);
    auto image = record["value"].objectAs<CIImage>();
    ASSERT_TRUE(image);
    // The camera's 64 x 48 picture, upright as it was held.
    EXPECT_NEAR(image->extent().size.width, 48, 1);
    EXPECT_NEAR(image->extent().size.height, 64, 1);
}

TEST_F(SourceTest, ACancelledCropLeavesRecordAndStatusBarAsTheyWere) {
    auto app = UIApplication::sharedApplication();
    app->setStatusBarHidden(true);
    app->setStatusBarStyle(UIStatusBarStyle::LightContent);
    editor->show(anchor, record, [] {});
    advance(1);
    auto crop = pickIntoCrop();
    ASSERT_TRUE(crop);
    EXPECT_FALSE(app->isStatusBarHidden()) << "shown plainly while the crop screen is up";
    crop->cancel();
    drain();
    EXPECT_TRUE(reports->records.empty());
    EXPECT_EQ(record["value"].stringValue(), "placeholder");
    EXPECT_TRUE(app->isStatusBarHidden());
    EXPECT_EQ(app->statusBarStyle(), UIStatusBarStyle::LightContent);
    EXPECT_FALSE(screen->presentedViewController());
    app->setStatusBarHidden(false);
    app->setStatusBarStyle(UIStatusBarStyle::Default);
}

TEST_F(SourceTest, ThePickerFadesTheStatusBarInAndItsCancelFadesItOut) {
    auto app = UIApplication::sharedApplication();
    app->setStatusBarHidden(true);
    app->setStatusBarStyle(UIStatusBarStyle::LightContent);
    editor->show(anchor, record, [] {});
    advance(1);
    addPhoto();
    editor->onPhotoLibrary(anchor);
    EXPECT_FALSE(app->isStatusBarHidden()) << "the flag changes at once";
    RunLoop::main().advance(StatusBarState::kDuration / 2);
    StatusBarPresentation half = app->statusBarPresentation();
    EXPECT_GT(half.alpha, 0.1) << "fading in, not cut in";
    EXPECT_LT(half.alpha, 0.9);
    EXPECT_EQ(half.slide, 0) << "a fade, not a slide";
    EXPECT_LT(half.styleMix, 1) << "the style cross-fades";
    drain();
    EXPECT_EQ(app->statusBarPresentation().alpha, 1);

    auto picker = std::dynamic_pointer_cast<UIImagePickerController>(screen->presentedViewController());
    ASSERT_TRUE(picker);
    picker->cancel();
    EXPECT_TRUE(app->isStatusBarHidden());
    RunLoop::main().advance(StatusBarState::kDuration / 2);
    half = app->statusBarPresentation();
    EXPECT_GT(half.alpha, 0.1) << "fading out";
    EXPECT_LT(half.alpha, 0.9);
    drain();
    EXPECT_EQ(app->statusBarPresentation().alpha, 0);
    EXPECT_EQ(app->statusBarStyle(), UIStatusBarStyle::LightContent);
    app->setStatusBarHidden(false);
    app->setStatusBarStyle(UIStatusBarStyle::Default);
}

TEST_F(SourceTest, TakeNowOnlyWithACameraAndOpenedForTheSourceAction) {
    CaptureDeviceRegistry::setDevices({});
    editor->show(anchor, record, [] {});
    EXPECT_FALSE(editor->btnCamera1()->isEnabled());
    EXPECT_TRUE(editor->btnPhotoLibrary()->isEnabled());
    CaptureDeviceRegistry::setDevices(makeSyntheticCameras(CMVideoDimensions{64, 48}));
    editor->show(anchor, record, [] {});
    EXPECT_TRUE(editor->btnCamera1()->isEnabled());

    auto pop = PopAdjView::make(screen);
    auto item = Value::dictionary({{"act", 11}, {"k", "inputImage"}, {"attr", record}, {"header", ""}});
    pop->act(item, anchor);
    advance(1);
    ASSERT_TRUE(pop->popSource());
    EXPECT_EQ(pop->popSource()->phase(), PopPhase::Shown);
    EXPECT_EQ(pop->popSource()->value().dictionaryPtr(), record.dictionaryPtr()) << "the record itself, not a copy";
}
