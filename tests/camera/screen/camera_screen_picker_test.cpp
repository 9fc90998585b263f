// The camera screen's library button as a user meets it: the picker's grid over a library of three
// JPEGs, a tap on a thumbnail through touch delivery, and the photo editor opening on that photo's
// pixels; a thumbnail whose file is gone says so, opens nothing and leaves the picker for another
// choice.
#include <filesystem>

#include "editor/photo/edit_controller.h"
#include "platform/image/codec/image_data.h"
#include "platform/image/codec/jpeg.h"
#include "platform/photos/ph_asset_change_request.h"
#include "platform/storage/file_manager.h"
#include "platform/ui/control/ui_button.h"
#include "platform/ui/control/ui_image_view.h"
#include "platform/ui/controller/image_picker_grid_controller.h"
#include "platform/ui/controller/ui_alert_controller.h"
#include "platform/ui/gesture/ui_touch_dispatcher.h"
#include "tests/camera/screen/camera_screen_test_support.h"

namespace {

struct Colour {
    std::uint8_t r, g, b;
};

// A plain picture of one colour, as a library JPEG made at the given time.
std::shared_ptr<PHAsset> addPhoto(Colour c, double created) {
    RasterRGBA8 raster = makeRaster(64, 48);
    for (std::size_t i = 0; i < raster.pixels.size(); i += 4) {
        raster.pixels[i] = c.r;
        raster.pixels[i + 1] = c.g;
        raster.pixels[i + 2] = c.b;
        raster.pixels[i + 3] = 255;
    }
    auto data = encodeJpeg(raster, JpegEncodeOptions{});
    EXPECT_TRUE(data);
    if (!data) return nullptr;
    std::string id;
    auto done = PHPhotoLibrary::sharedPhotoLibrary()->performChangesAndWait([&] {
        auto request = PHAssetChangeRequest::creationRequestForAssetFromImageData(*data);
        request->setCreationDate(created);
        id = request->placeholderForCreatedAsset()->localIdentifier();
    });
    if (!done) return nullptr;
    auto found = PHAsset::fetchAssetsWithLocalIdentifiers({id});
    return found ? found->firstObject() : nullptr;
}

// The colour in the middle of an image.
Colour middleOf(const UIImage& image) {
    const auto& cg = image.cgImage();
    if (!cg) return {0, 0, 0};
    const std::uint8_t* p = cg->row(cg->height() / 2) + (cg->width() / 2) * 4;
    return {p[0], p[1], p[2]};
}

bool near(Colour a, Colour b) {
    return std::abs(a.r - b.r) < 24 && std::abs(a.g - b.g) < 24 && std::abs(a.b - b.b) < 24;
}

}  // namespace

struct CameraScreenPickerTest : CameraScreenTest {
    std::vector<std::shared_ptr<PHAsset>> photos;  // oldest first
    void SetUp() override {
        CameraScreenTest::SetUp();
        UIStoryboard::mainStoryboard()->registerController(EditController::kStoryboardIdentifier,
                                                           [] { return EditController::make(); });
        photos = {addPhoto({220, 30, 30}, 1000), addPhoto({30, 200, 40}, 2000), addPhoto({30, 40, 220}, 3000)};
    }
    void tapAt(CGPoint p) {
        static long id = 9000;
        ++id;
        UITouchDispatcher::shared()->touchEvent({Clock::now(), {{id, p, UITouchPhase::Began}}});
        step(0.05);
        UITouchDispatcher::shared()->touchEvent({Clock::now(), {{id, p, UITouchPhase::Ended}}});
        settleAll();
    }
    void tapView(UIView& v) {
        CGRect b = v.bounds();
        tapAt(v.convertPointToView(CGPointMake(CGRectGetMidX(b), CGRectGetMidY(b)), nullptr));
    }
    // The library button, then the picker on screen with its thumbnails made.
    std::shared_ptr<ImagePickerGridController> openPicker() {
        showScreen();
        tapView(*screen->views().btnAsset);
        EXPECT_TRUE(stepUntil([&] {
            return bool(std::dynamic_pointer_cast<UIImagePickerController>(screen->presentedViewController()));
        }));
        auto picker = std::dynamic_pointer_cast<UIImagePickerController>(screen->presentedViewController());
        if (!picker) return nullptr;
        step(1.0);  // slid in
        auto grid = std::dynamic_pointer_cast<ImagePickerGridController>(picker->viewControllers().front());
        EXPECT_TRUE(stepUntil([&] {
            return grid && (grid->thumbnailFor(photos[1]->localIdentifier()) ||
                            grid->isUnreadable(photos[1]->localIdentifier()));
        }));
        return grid;
    }
};

TEST_F(CameraScreenPickerTest, ATappedThumbnailOpensTheEditorOnThatPhoto) {
    ASSERT_EQ(photos.size(), 3u);
    auto grid = openPicker();
    ASSERT_TRUE(grid);
    ASSERT_EQ(grid->collectionView()->numberOfItemsInSection(0), 3u);
    // Newest first: the second cell is the green photo.
    auto cell = grid->collectionView()->cellForItemAtIndexPath({0, 1});
    ASSERT_TRUE(cell);
    tapView(*cell);

    std::shared_ptr<EditController> editor;
    ASSERT_TRUE(stepUntil([&] {
        editor = std::dynamic_pointer_cast<EditController>(screen->presentedViewController());
        return editor && editor->data() && editor->imageView()->image();
    }));
    ASSERT_TRUE(editor->asset());
    EXPECT_EQ(editor->asset()->localIdentifier(), photos[1]->localIdentifier());
    auto file = readFileData(photos[1]->filePath());
    ASSERT_TRUE(file);
    EXPECT_EQ(*editor->data(), *file) << "the library's own bytes";
    Colour seen = middleOf(*editor->imageView()->image());
    EXPECT_TRUE(near(seen, {30, 200, 40})) << int(seen.r) << "," << int(seen.g) << "," << int(seen.b);
}

TEST_F(CameraScreenPickerTest, AThumbnailWhoseFileIsGoneOpensNothing) {
    ASSERT_EQ(photos.size(), 3u);
    auto grid = openPicker();
    ASSERT_TRUE(grid);
    auto picker = std::dynamic_pointer_cast<UIImagePickerController>(screen->presentedViewController());
    ASSERT_TRUE(picker);
    // Deleted by another program and tapped before the library has settled the news: the picker
    // says so over itself and opens nothing; the library's notice then takes the cell.
    const auto gone = std::filesystem::path(photos[1]->filePath());
    std::filesystem::remove(gone);
    ASSERT_TRUE(PHPhotoLibrary::sharedPhotoLibrary()->waitForFolderChanges({gone.filename().string()}, 10));
    tapView(*grid->collectionView()->cellForItemAtIndexPath({0, 1}));
    auto alert = std::dynamic_pointer_cast<UIAlertController>(picker->presentedViewController());
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->message(), UIImagePickerController::kPhotoGone);
    step(0.5);  // shown
    EXPECT_TRUE(alert->chooseActionWithTitle("OK"));
    step(1.5);
    EXPECT_FALSE(picker->presentedViewController());
    EXPECT_EQ(screen->presentedViewController(), picker) << "the picker stays for another choice";
    ASSERT_EQ(grid->collectionView()->numberOfItemsInSection(0), 2u);

    // Another thumbnail still opens the editor.
    tapView(*grid->collectionView()->cellForItemAtIndexPath({0, 0}));
    std::shared_ptr<EditController> editor;
    ASSERT_TRUE(stepUntil([&] {
        editor = std::dynamic_pointer_cast<EditController>(screen->presentedViewController());
        return editor && editor->data();
    }));
    EXPECT_EQ(editor->asset()->localIdentifier(), photos[2]->localIdentifier());
}
