// The newest asset of a temporary library by modification date, and an asset's image decoded on
// the main queue, none for an empty library, a missing asset or a file that no longer decodes.
#include "editor/photo/ph_asset_custom.h"

#include <gtest/gtest.h>

#include "platform/image/codec/png.h"
#include "platform/photos/ph_asset.h"
#include "platform/photos/ph_asset_change_request.h"
#include "platform/photos/ph_authorization.h"
#include "platform/photos/ph_photo_library.h"
#include "platform/storage/file_manager.h"
#include "platform/ui/draw/image.h"
#include "tests/ui/ui_test_support.h"

namespace {

Bytes picture(int w, int h) {
    RasterRGBA8 r = makeRaster(w, h);
    for (std::size_t i = 0; i < r.pixels.size(); ++i) r.pixels[i] = (i % 4 == 3) ? 255 : 120;
    auto png = encodePng(r);
    return png ? *png : Bytes{};
}

struct PhotoAccessTest : ToolkitTest {
    void SetUp() override {
        ToolkitTest::SetUp();
        PhotoLibraryAuthorization::setStatus(PHAuthorizationStatus::Authorized);
        PHPhotoLibrary::setLibraryDirectory((tempRoot / "library").string());
    }
    void TearDown() override {
        PHPhotoLibrary::setLibraryDirectory("");
        PhotoLibraryAuthorization::reset();
        ToolkitTest::TearDown();
    }
    std::shared_ptr<PHAsset> add(const Bytes& data, double created) {
        std::string id;
        auto done = PHPhotoLibrary::sharedPhotoLibrary()->performChangesAndWait([&] {
            auto request = PHAssetChangeRequest::creationRequestForAssetFromImageData(data);
            request->setCreationDate(created);
            id = request->placeholderForCreatedAsset()->localIdentifier();
        });
        EXPECT_TRUE(done.ok());
        auto found = PHAsset::fetchAssetsWithLocalIdentifiers({id});
        return found ? found->firstObject() : nullptr;
    }
    // Runs request and waits for its main-queue answer.
    std::optional<std::shared_ptr<UIImage>> imageOf(const std::shared_ptr<PHAsset>& asset) {
        std::optional<std::shared_ptr<UIImage>> got;
        request(asset, [&](std::shared_ptr<UIImage> image) { got = image; });
        EXPECT_FALSE(got) << "the image comes on a later turn of the main queue";
        for (int i = 0; i < 50 && !got; ++i) {
            DispatchQueue::waitUntilBackgroundIdle();
            settle();
        }
        return got;
    }
};

}  // namespace

TEST_F(PhotoAccessTest, AnEmptyLibraryHasNoRecentAssetAndNoImage) {
    EXPECT_FALSE(recent());
    auto image = imageOf(nullptr);
    ASSERT_TRUE(image);
    EXPECT_FALSE(*image);
}

TEST_F(PhotoAccessTest, TheRecentAssetIsTheLastModifiedWhateverItsCreationDate) {
    auto older = add(picture(40, 30), 900000000);
    advance(5);
    auto newer = add(picture(30, 40), 100000000);
    ASSERT_TRUE(older && newer);
    auto r = recent();
    ASSERT_TRUE(r);
    EXPECT_EQ(r->localIdentifier(), newer->localIdentifier());

    auto image = imageOf(r);
    ASSERT_TRUE(image && *image);
    EXPECT_EQ((*image)->size().width, 30);
    EXPECT_EQ((*image)->size().height, 40);
}

TEST_F(PhotoAccessTest, AnAssetWhoseFileNoLongerDecodesGivesNoImage) {
    auto asset = add(picture(20, 20), 0);
    ASSERT_TRUE(asset);
    ASSERT_TRUE(writeFileAtomically(asset->filePath(), std::string_view("not a picture any more")).ok());
    auto image = imageOf(asset);
    ASSERT_TRUE(image);
    EXPECT_FALSE(*image);
}
