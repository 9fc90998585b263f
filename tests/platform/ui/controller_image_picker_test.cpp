// The image picker over a temporary photo library: newest first, picking hands over the image
// and a reference URL that finds the asset again; the camera only when configured; cancel.
#include "controller_test_support.h"

#include <filesystem>

#include "platform/dispatch/queue.h"
#include "platform/photos/ph_asset.h"
#include "platform/photos/ph_asset_change_request.h"
#include "platform/photos/ph_authorization.h"
#include "platform/photos/ph_photo_library.h"
#include "platform/ui/controller/ui_image_picker_controller.h"
#include "platform/ui/draw/graphics.h"

namespace {

struct PickerLog : UIImagePickerControllerDelegate {
    std::vector<ValueDictionary> picked;
    int cancels = 0;
    void didFinishPickingMediaWithInfo(UIImagePickerController&, const ValueDictionary& info) override {
        picked.push_back(info);
    }
    void imagePickerControllerDidCancel(UIImagePickerController&) override { ++cancels; }
};

struct ImagePickerTest : UIHarness {
    std::filesystem::path folder;
    void SetUp() override {
        UIHarness::SetUp();
        PhotoLibraryAuthorization::reset();
        PhotoLibraryAuthorization::setStatus(PHAuthorizationStatus::Authorized);
        folder = std::filesystem::temp_directory_path() / ("korva-picker-" + std::to_string(::getpid()));
        PHPhotoLibrary::setLibraryDirectory(folder.string());
    }
    void TearDown() override {
        DispatchQueue::waitUntilBackgroundIdle();
        RunLoop::main().runUntilIdle();
        PHPhotoLibrary::setLibraryDirectory("");
        std::filesystem::remove_all(folder);
        UIImagePickerController::setCameraAvailable(false);
        UIHarness::TearDown();
    }
    std::string save(int width, double created) {
        UIGraphicsBeginImageContextWithOptions(CGSize{static_cast<CGFloat>(width), 10}, true, 1);
        UIGraphicsGetCurrentContext()->setFillColorWithColor(CGColor::rgb(1, 0, 0, 1));
        UIRectFill(CGRectMake(0, 0, width, 10));
        auto png = UIImagePNGRepresentation(UIGraphicsGetImageFromCurrentImageContext());
        UIGraphicsEndImageContext();
        std::string id;
        auto done = PHPhotoLibrary::sharedPhotoLibrary()->performChangesAndWait([&] {
            auto request = PHAssetChangeRequest::creationRequestForAssetFromImageData(*png);
            request->setCreationDate(created);
            id = request->placeholderForCreatedAsset()->localIdentifier();
        });
        return done ? id : "";
    }
};

TEST_F(ImagePickerTest, PicksTheNewestPhotoWithAReferenceURL) {
    std::string older = save(20, 100), newer = save(30, 200);
    ASSERT_FALSE(older.empty());
    auto picker = UIImagePickerController::make();
    auto log = std::make_shared<PickerLog>();
    picker->setPickerDelegate(log);
    ASSERT_EQ(picker->assets().size(), 2u);
    EXPECT_EQ(picker->assets()[0]->localIdentifier(), newer);
    EXPECT_FALSE(picker->pickAssetAtIndex(5));
    ASSERT_TRUE(picker->pickAssetAtIndex(0));
    EXPECT_FALSE(picker->pickAssetAtIndex(1));
    DispatchQueue::waitUntilBackgroundIdle();
    RunLoop::main().drainAll();
    ASSERT_EQ(log->picked.size(), 1u);
    const auto& info = log->picked[0];
    auto image = info.find(UIImagePickerControllerOriginalImage)->objectAs<UIImage>();
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->size().width, 30);
    auto url = info.find(UIImagePickerControllerReferenceURL)->stringValue();
    EXPECT_EQ(assetIdentifierFromReferenceURL(url), newer);
    EXPECT_FALSE(assetIdentifierFromReferenceURL("http://elsewhere/" + newer).has_value());
}

TEST_F(ImagePickerTest, CameraNeedsToBeAvailableAndCancelTellsTheDelegate) {
    auto picker = UIImagePickerController::make();
    auto log = std::make_shared<PickerLog>();
    picker->setPickerDelegate(log);
    EXPECT_FALSE(UIImagePickerController::isSourceTypeAvailable(UIImagePickerControllerSourceType::Camera));
    EXPECT_FALSE(picker->setSourceType(UIImagePickerControllerSourceType::Camera));
    EXPECT_FALSE(picker->takePicture());
    UIImagePickerController::setCameraAvailable(true);
    ASSERT_TRUE(picker->setSourceType(UIImagePickerControllerSourceType::Camera));
    EXPECT_FALSE(picker->pickAssetAtIndex(0));
    ASSERT_TRUE(picker->takePicture(CGSize{64, 48}));
    ASSERT_EQ(log->picked.size(), 1u);
    EXPECT_FALSE(log->picked[0].contains(UIImagePickerControllerReferenceURL));

    auto other = UIImagePickerController::make();
    other->setPickerDelegate(log);
    other->cancel();
    other->cancel();
    EXPECT_EQ(log->cancels, 1);
}

}  // namespace
