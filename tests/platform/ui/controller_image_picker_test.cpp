// The image picker over a temporary photo library: newest first, picking hands over the image
// and a reference URL that finds the asset again; its grid of thumbnails (grey for a missing
// file or an unreadable one, which a tap does not pick), made once at the cells' pixels and shown
// again from the cache, "No Photos", columns that follow the width; the host's camera when one is listed, live, taking
// an upright photo, or saying why not; cancel.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "controller_test_support.h"
#include "platform/capture/capture_authorization.h"
#include "platform/capture/capture_device_registry.h"
#include "platform/dispatch/queue.h"
#include "platform/image/cg_image.h"
#include "platform/photos/ph_asset.h"
#include "platform/photos/ph_asset_change_request.h"
#include "platform/photos/ph_authorization.h"
#include "platform/photos/ph_photo_library.h"
#include "platform/ui/bar/ui_bar_button_item.h"
#include "platform/ui/control/ui_activity_indicator_view.h"
#include "platform/ui/control/ui_button.h"
#include "platform/ui/control/ui_image_view.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/controller/image_picker_camera_controller.h"
#include "platform/ui/controller/image_picker_grid_controller.h"
#include "platform/ui/controller/sized_image_cache.h"
#include "platform/ui/controller/ui_alert_controller.h"
#include "platform/ui/controller/ui_image_picker_controller.h"
#include "platform/ui/draw/graphics.h"
#include "tests/platform/media/media_test_support.h"
#include "tests/platform/ui/kept_by_the_process.h"
#include "tests/platform/ui/picker_alert_support.h"
#include "tests/support/another_user.h"
#include "tests/support/reachable_temp_folder.h"
#include "tests/support/temp_photo_library.h"

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
    TempPhotoLibrary library;
    void SetUp() override {
        UIHarness::SetUp();
        // Reachable by the ordinary user the unreadable photo's case becomes, wherever TMPDIR is.
        library.open(testsupport::makeFolderOthersCanEnter("korva-picker"));
    }
    void TearDown() override {
        library.close();
        CaptureDeviceRegistry::reset();
        CaptureAuthorization::reset();
        UIHarness::TearDown();
    }
    // Background decoding and the main queue's answers, then layout.
    void settleAll() {
        for (int i = 0; i < 3; ++i) {
            DispatchQueue::waitUntilBackgroundIdle();
            settle();
        }
    }
    static std::shared_ptr<UIImage> picture(int width, int height, CGColor colour) {
        UIGraphicsBeginImageContextWithOptions(CGSize{static_cast<CGFloat>(width), CGFloat(height)}, true, 1);
        UIGraphicsGetCurrentContext()->setFillColorWithColor(colour);
        UIRectFill(CGRectMake(0, 0, width, height));
        auto image = UIGraphicsGetImageFromCurrentImageContext();
        UIGraphicsEndImageContext();
        return image;
    }
    std::string saveData(const Bytes& data, double created) {
        std::string id;
        auto done = PHPhotoLibrary::sharedPhotoLibrary()->performChangesAndWait([&] {
            auto request = PHAssetChangeRequest::creationRequestForAssetFromImageData(data);
            request->setCreationDate(created);
            id = request->placeholderForCreatedAsset()->localIdentifier();
        });
        return done ? id : "";
    }
    std::string save(int width, double created, CGColor colour = CGColor::rgb(1, 0, 0, 1), int height = 10) {
        return saveData(*UIImagePNGRepresentation(picture(width, height, colour)), created);
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
    // Read and decoded away from the main thread, with the busy indicator over the picker.
    EXPECT_TRUE(log->picked.empty());
    EXPECT_TRUE(picker->isPicking());
    ASSERT_TRUE(picker->busyIndicator());
    EXPECT_TRUE(picker->busyIndicator()->isAnimating());
    EXPECT_EQ(picker->busyIndicator()->superview(), picker->view());
    DispatchQueue::waitUntilBackgroundIdle();
    RunLoop::main().drainAll();
    ASSERT_EQ(log->picked.size(), 1u);
    EXPECT_FALSE(picker->isPicking());
    EXPECT_FALSE(picker->busyIndicator()->isAnimating());
    EXPECT_EQ(picker->busyIndicator()->superview(), nullptr);
    const auto& info = log->picked[0];
    auto image = info.find(UIImagePickerControllerOriginalImage)->objectAs<UIImage>();
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->size().width, 30);
    auto url = info.find(UIImagePickerControllerReferenceURL)->stringValue();
    EXPECT_EQ(assetIdentifierFromReferenceURL(url), newer);
    EXPECT_FALSE(assetIdentifierFromReferenceURL("http://elsewhere/" + newer).has_value());
}

// The picker shown over the window's root, with its grid.
std::shared_ptr<ImagePickerGridController> gridOf(const UIImagePickerController& picker) {
    return std::dynamic_pointer_cast<ImagePickerGridController>(picker.viewControllers().front());
}

TEST_F(ImagePickerTest, GridShowsThumbnailsNewestFirstGreyForAMissingFile) {
    std::string red = save(40, 100, CGColor::rgb(1, 0, 0, 1));
    std::string gone = save(40, 200, CGColor::rgb(0, 1, 0, 1));
    std::string blue = save(40, 300, CGColor::rgb(0, 0, 1, 1));
    auto missing = PHAsset::fetchAssetsWithLocalIdentifiers({gone})->firstObject();
    ASSERT_TRUE(missing);
    std::filesystem::remove(missing->filePath());

    auto root = UIViewController::make();
    window->setRootViewController(root);
    auto picker = UIImagePickerController::make();
    auto log = std::make_shared<PickerLog>();
    picker->setPickerDelegate(log);
    ASSERT_TRUE(root->presentViewController(picker, false));
    settleAll();
    auto grid = gridOf(*picker);
    ASSERT_TRUE(grid);
    EXPECT_EQ(grid->title(), "Photos");
    auto cancel = grid->navigationItem()->rightBarButtonItem();
    ASSERT_TRUE(cancel);
    EXPECT_EQ(cancel->systemItem(), UIBarButtonSystemItem::Cancel);
    EXPECT_TRUE(grid->emptyLabel()->isHidden());

    auto collection = grid->collectionView();
    ASSERT_EQ(collection->numberOfItemsInSection(0), 3u);
    EXPECT_EQ(picker->assets()[0]->localIdentifier(), blue);
    EXPECT_EQ(picker->assets()[2]->localIdentifier(), red);
    // Square cells, four across the phone's width.
    auto first = collection->layoutAttributesForItemAtIndexPath({0, 0});
    ASSERT_TRUE(first);
    EXPECT_EQ(first->frame.size.width, first->frame.size.height);
    EXPECT_GT(first->frame.size.width * 4, collection->bounds().size.width - 4);

    // The thumbnails arrive from the background; the missing file's stays away.
    auto blueThumb = grid->thumbnailFor(blue);
    ASSERT_TRUE(blueThumb);
    EXPECT_LE(blueThumb->size().width * blueThumb->scale(), 40);
    EXPECT_TRUE(grid->isUnreadable(gone));
    EXPECT_FALSE(grid->thumbnailFor(gone));
    EXPECT_FALSE(grid->isUnreadable(red));

    // A tap on a cell picks through the picker (the camera screen's tests follow it further).
    auto cell = collection->cellForItemAtIndexPath({0, 2});
    ASSERT_TRUE(cell);
    CGRect f = cell->bounds();
    tap(cell->convertPointToView(CGPointMake(CGRectGetMidX(f), CGRectGetMidY(f)), nullptr));
    settleAll();
    ASSERT_EQ(log->picked.size(), 1u);
    EXPECT_EQ(assetIdentifierFromReferenceURL(log->picked[0].find(UIImagePickerControllerReferenceURL)->stringValue()),
              red);
}

// The folder opened up to an ordinary user, who then reads it in this process's place: the superuser
// reads every file. The fonts and the bundle the screens draw from are the process's for its life,
// so they are made first.
struct OrdinaryUser {
    explicit OrdinaryUser(const std::filesystem::path& folder) : user(openedUp(folder)) {}
    bool ok() const { return user.bound(); }

    static std::function<void()> openedUp(const std::filesystem::path& folder) {
        return [folder] {
            using std::filesystem::perms;
            std::filesystem::permissions(folder, perms::all);
            for (const auto& e : std::filesystem::directory_iterator(folder))
                if (std::filesystem::status(e.path()).permissions() != perms::none)
                    std::filesystem::permissions(e.path(), perms::owner_read | perms::owner_write | perms::group_read |
                                                               perms::group_write | perms::others_read |
                                                               perms::others_write);
            keptByTheProcess();
        };
    }
    testsupport::AnotherUser user;
};

TEST_F(ImagePickerTest, AnUnreadablePhotoStaysListedAsAGreyCellThatDoesNotPick) {
    std::string readable = save(40, 100, CGColor::rgb(0, 0, 1, 1));
    std::string locked = save(40, 200, CGColor::rgb(0, 1, 0, 1));
    auto lockedAsset = PHAsset::fetchAssetsWithLocalIdentifiers({locked})->firstObject();
    ASSERT_TRUE(lockedAsset);
    std::filesystem::permissions(lockedAsset->filePath(), std::filesystem::perms::none);
    OrdinaryUser user(library.folder);
    ASSERT_TRUE(user.ok());
    // The library opens again with the photo it cannot read: the photo keeps its place and name.
    PHPhotoLibrary::setLibraryDirectory(library.folder.string());

    auto root = UIViewController::make();
    window->setRootViewController(root);
    auto picker = UIImagePickerController::make();
    auto log = std::make_shared<PickerLog>();
    picker->setPickerDelegate(log);
    ASSERT_TRUE(root->presentViewController(picker, false));
    settleAll();
    auto grid = gridOf(*picker);
    ASSERT_TRUE(grid);
    ASSERT_EQ(picker->assets().size(), 2u);
    EXPECT_EQ(picker->assets()[0]->localIdentifier(), locked);
    EXPECT_TRUE(grid->isUnreadable(locked));
    EXPECT_FALSE(grid->thumbnailFor(locked));
    EXPECT_TRUE(grid->thumbnailFor(readable));

    auto tapItem = [&](std::size_t row) {
        auto cell = grid->collectionView()->cellForItemAtIndexPath({0, row});
        ASSERT_TRUE(cell);
        CGRect f = cell->bounds();
        tap(cell->convertPointToView(CGPointMake(CGRectGetMidX(f), CGRectGetMidY(f)), nullptr));
        settleAll();
    };
    tapItem(0);
    EXPECT_TRUE(log->picked.empty());
    EXPECT_EQ(root->presentedViewController(), picker) << "the picker stays for another choice";
    // It says why, and its OK leaves the grid for another choice.
    expectUnreadableAlertAndDismissIt(*picker);
    tapItem(1);
    ASSERT_EQ(log->picked.size(), 1u);
    EXPECT_EQ(assetIdentifierFromReferenceURL(log->picked[0].find(UIImagePickerControllerReferenceURL)->stringValue()),
              readable);
}

// A photo whose file was cut short keeps its place and identifier as a grey cell that a tap does
// not pick; once the file is whole again, the library shows it and a tap picks it.
TEST_F(ImagePickerTest, ACutOffPhotoIsAGreyCellThatDoesNotPickUntilItIsWholeAgain) {
    std::string readable = save(40, 100, CGColor::rgb(0, 0, 1, 1));
    auto jpeg = UIImageJPEGRepresentation(picture(40, 40, CGColor::rgb(0, 1, 0, 1)), 0.9);
    ASSERT_TRUE(jpeg);
    std::string cut = saveData(*jpeg, 200);
    auto cutAsset = PHAsset::fetchAssetsWithLocalIdentifiers({cut})->firstObject();
    ASSERT_TRUE(cutAsset);
    const std::string path = cutAsset->filePath();
    const auto whole = std::filesystem::file_size(path);
    std::filesystem::copy_file(path, path + ".whole");
    std::filesystem::resize_file(path, whole / 2);

    auto root = UIViewController::make();
    window->setRootViewController(root);
    auto log = std::make_shared<PickerLog>();
    // The library opened afresh, a picker over it, and a tap on its newest cell.
    auto pickNewest = [&] {
        PHPhotoLibrary::setLibraryDirectory(library.folder.string());
        auto picker = UIImagePickerController::make();
        picker->setPickerDelegate(log);
        EXPECT_TRUE(root->presentViewController(picker, false));
        settleAll();
        auto grid = gridOf(*picker);
        EXPECT_EQ(picker->assets().size(), 2u);
        if (!grid || picker->assets().size() != 2) return picker;
        EXPECT_EQ(picker->assets()[0]->localIdentifier(), cut);
        auto cell = grid->collectionView()->cellForItemAtIndexPath({0, 0});
        EXPECT_TRUE(cell);
        if (!cell) return picker;
        CGRect f = cell->bounds();
        tap(cell->convertPointToView(CGPointMake(CGRectGetMidX(f), CGRectGetMidY(f)), nullptr));
        settleAll();
        return picker;
    };
    auto picker = pickNewest();
    auto grid = gridOf(*picker);
    ASSERT_TRUE(grid);
    EXPECT_TRUE(grid->isUnreadable(cut));
    EXPECT_FALSE(grid->thumbnailFor(cut));
    EXPECT_TRUE(grid->thumbnailFor(readable));
    EXPECT_TRUE(log->picked.empty());
    EXPECT_EQ(root->presentedViewController(), picker) << "the picker stays for another choice";
    root->dismissViewControllerAnimated(false);
    settleAll();

    std::filesystem::rename(path + ".whole", path);
    picker = pickNewest();
    grid = gridOf(*picker);
    ASSERT_TRUE(grid);
    EXPECT_FALSE(grid->isUnreadable(cut));
    ASSERT_EQ(log->picked.size(), 1u);
    EXPECT_EQ(assetIdentifierFromReferenceURL(log->picked[0].find(UIImagePickerControllerReferenceURL)->stringValue()),
              cut);
}

// The picture a grid cell shows (none while it is grey).
std::shared_ptr<UIImage> shownImage(const std::shared_ptr<UICollectionViewCell>& cell) {
    const auto& subviews = cell->contentView()->subviews();
    auto view = subviews.empty() ? nullptr : std::dynamic_pointer_cast<UIImageView>(subviews.front());
    return view ? view->image() : nullptr;
}

TEST_F(ImagePickerTest, ThumbnailsAreMadeOnceAtTheCellsPixelsAndShownAgainWithoutReading) {
    SizedImageCache::shared().removeAll();
    std::vector<std::string> ids;
    for (int i = 0; i < 40; ++i) ids.push_back(save(200, 100 + i, CGColor::rgb(0, 0.5, 1, 1), 200));
    auto root = UIViewController::make();
    window->setRootViewController(root);
    auto picker = UIImagePickerController::make();
    ASSERT_TRUE(root->presentViewController(picker, false));
    settleAll();
    auto grid = gridOf(*picker);
    auto collection = grid->collectionView();

    // Square thumbnails of the cell's own pixels, in the display's pixel order: drawn 1:1.
    CGFloat side = collection->collectionViewLayout()->itemSize.width;
    EXPECT_EQ(grid->thumbnailPixels(), std::round(side * screen->nativeScale()));
    auto first = grid->thumbnailFor(ids.back());
    ASSERT_TRUE(first);
    EXPECT_EQ(first->cgImage()->width(), grid->thumbnailPixels());
    EXPECT_EQ(first->cgImage()->height(), grid->thumbnailPixels());
    EXPECT_EQ(first->cgImage()->layout(), CGImagePixelLayout::BGRA8Premultiplied);
    EXPECT_EQ(first->size().width, side);

    // Down to the end and back: the photos' files are gone by then, and the cells shown again
    // have their pictures at once, made before, with nothing read.
    CGFloat bottom = collection->contentSize().height - collection->bounds().size.height;
    ASSERT_GT(bottom, 0);
    collection->setContentOffset({0, bottom}, false);
    settleAll();
    for (const auto& asset : picker->assets()) std::filesystem::remove(asset->filePath());
    collection->setContentOffset({0, 0}, false);
    window->layoutIfNeeded();
    auto cells = collection->visibleCells();
    ASSERT_FALSE(cells.empty());
    for (const auto& cell : cells) EXPECT_TRUE(shownImage(cell));
    settleAll();
    for (const auto& id : ids) EXPECT_FALSE(grid->isUnreadable(id)) << id;

    // A picker opened again shows them at once too.
    root->dismissViewControllerAnimated(false);
    settleAll();
    auto again = UIImagePickerController::make();
    ASSERT_TRUE(root->presentViewController(again, false));
    window->layoutIfNeeded();
    cells = gridOf(*again)->collectionView()->visibleCells();
    ASSERT_FALSE(cells.empty());
    for (const auto& cell : cells) EXPECT_TRUE(shownImage(cell));
}

TEST_F(ImagePickerTest, AMovieWithoutAPictureIsStillPickedByATap) {
    auto source = std::filesystem::temp_directory_path() / ("korva-picker-clip-" + std::to_string(::getpid()) + ".mp4");
    ASSERT_TRUE(writeMovie(source.string(), {.width = 64, .height = 48, .seconds = 0.5}));
    ASSERT_TRUE(PHPhotoLibrary::sharedPhotoLibrary()->performChangesAndWait(
        [&] { PHAssetChangeRequest::creationRequestForAssetFromVideoAtFileURL("file://" + source.string()); }));
    std::filesystem::remove(source);
    auto root = UIViewController::make();
    window->setRootViewController(root);
    auto picker = UIImagePickerController::make();
    picker->setMediaTypes({kUTTypeImage, kUTTypeMovie});
    auto log = std::make_shared<PickerLog>();
    picker->setPickerDelegate(log);
    ASSERT_TRUE(root->presentViewController(picker, false));
    settleAll();
    auto grid = gridOf(*picker);
    ASSERT_EQ(picker->assets().size(), 1u);
    auto cell = grid->collectionView()->cellForItemAtIndexPath({0, 0});
    ASSERT_TRUE(cell);
    CGRect f = cell->bounds();
    tap(cell->convertPointToView(CGPointMake(CGRectGetMidX(f), CGRectGetMidY(f)), nullptr));
    settleAll();
    ASSERT_EQ(log->picked.size(), 1u);
    EXPECT_EQ(log->picked[0].find(UIImagePickerControllerMediaType)->stringValue(), kUTTypeMovie);
}

TEST_F(ImagePickerTest, AnEmptyLibrarySaysSoAndColumnsFollowTheWidth) {
    auto picker = UIImagePickerController::make();
    window->setRootViewController(picker);
    settleAll();
    auto grid = gridOf(*picker);
    ASSERT_TRUE(grid);
    EXPECT_FALSE(grid->emptyLabel()->isHidden());
    EXPECT_EQ(grid->emptyLabel()->text(), "No Photos");
    EXPECT_EQ(grid->collectionView()->numberOfItemsInSection(0), 0u);

    EXPECT_EQ(ImagePickerGridController::columnsForWidth(0), 4u);
    EXPECT_EQ(ImagePickerGridController::columnsForWidth(320), 4u);
    EXPECT_EQ(ImagePickerGridController::columnsForWidth(844), 8u);
    EXPECT_EQ(ImagePickerGridController::columnsForWidth(1024), 10u);

    // A turn of the screen lays the grid out again with more, still square, columns.
    save(30, 100);
    auto turning = UIImagePickerController::make();
    window->setRootViewController(turning);
    settleAll();
    auto grid2 = gridOf(*turning);
    CGSize upright = grid2->collectionView()->collectionViewLayout()->itemSize;
    EXPECT_EQ(upright.width, 93) << "four across 375 points";
    screen->setOrientation(UIInterfaceOrientation::LandscapeLeft);
    window->screenDidChange();
    settleAll();
    CGSize turned = grid2->collectionView()->collectionViewLayout()->itemSize;
    EXPECT_EQ(turned.width, turned.height);
    EXPECT_EQ(turned.width, 110) << "six across 667 points";
    auto cell = grid2->collectionView()->cellForItemAtIndexPath({0, 0});
    ASSERT_TRUE(cell);
    EXPECT_EQ(cell->frame().size.width, 110);
    screen->setOrientation(UIInterfaceOrientation::Portrait);
    window->screenDidChange();
}

// The camera's frames and photos come on its own threads as virtual time passes.
void runCamera(UIHarness& ui, double seconds) {
    for (double t = 0; t < seconds; t += 0.01) {
        RunLoop::main().advance(0.01);
        DispatchQueue::waitUntilBackgroundIdle();
        ui.settle();
    }
}

std::shared_ptr<ImagePickerCameraController> cameraOf(const UIImagePickerController& picker) {
    return std::dynamic_pointer_cast<ImagePickerCameraController>(picker.viewControllers().front());
}

TEST_F(ImagePickerTest, CameraNeedsToBeAvailableAndCancelTellsTheDelegate) {
    auto picker = UIImagePickerController::make();
    auto log = std::make_shared<PickerLog>();
    picker->setPickerDelegate(log);
    CaptureDeviceRegistry::setDevices({});
    EXPECT_FALSE(UIImagePickerController::isSourceTypeAvailable(UIImagePickerControllerSourceType::Camera));
    EXPECT_FALSE(picker->setSourceType(UIImagePickerControllerSourceType::Camera));
    EXPECT_FALSE(picker->takePicture());
    // Available as soon as the host lists a camera.
    CaptureDeviceRegistry::setDevices(makeSyntheticCameras(CMVideoDimensions{64, 48}));
    EXPECT_TRUE(UIImagePickerController::isSourceTypeAvailable(UIImagePickerControllerSourceType::Camera));
    ASSERT_TRUE(picker->setSourceType(UIImagePickerControllerSourceType::Camera));
    EXPECT_FALSE(picker->pickAssetAtIndex(0));
    EXPECT_FALSE(picker->takePicture()) << "not before its camera runs";

    auto other = UIImagePickerController::make();
    other->setPickerDelegate(log);
    other->cancel();
    other->cancel();
    EXPECT_EQ(log->cancels, 1);
}

TEST_F(ImagePickerTest, CameraShowsTheHostsCameraLiveAndTakesAnUprightPhoto) {
    // The host's camera, landscape as sensors are: 64 x 48.
    CaptureDeviceRegistry::setDevices(makeSyntheticCameras(CMVideoDimensions{64, 48}));
    auto root = UIViewController::make();
    window->setRootViewController(root);
    auto picker = UIImagePickerController::make();
    ASSERT_TRUE(picker->setSourceType(UIImagePickerControllerSourceType::Camera));
    auto log = std::make_shared<PickerLog>();
    picker->setPickerDelegate(log);
    ASSERT_TRUE(root->presentViewController(picker, false));
    runCamera(*this, 0.2);
    auto camera = cameraOf(*picker);
    ASSERT_TRUE(camera);
    EXPECT_TRUE(picker->isNavigationBarHidden());
    ASSERT_EQ(camera->state(), ImagePickerCameraController::State::Running) << camera->problem();
    EXPECT_EQ(camera->cancelButton()->currentTitle(), "Cancel");
    EXPECT_EQ(camera->takeButton()->currentTitle(), "Take Photo");
    EXPECT_TRUE(camera->takeButton()->isEnabled());

    // The live view shows the camera's newest frames, turned upright and cut to the screen's shape.
    auto first = camera->liveImage();
    ASSERT_TRUE(first);
    CGSize shown = first->size();
    CGSize view = camera->liveView()->bounds().size;
    EXPECT_LE(shown.width, 48);
    EXPECT_LE(shown.height, 64);
    EXPECT_NEAR(shown.width / shown.height, view.width / view.height, 0.05);
    runCamera(*this, 0.2);
    EXPECT_NE(camera->liveImage(), first) << "the view follows the camera";

    // "Take Photo" hands over the camera's full picture, the right way up.
    // The finger goes down and up by hand: the checks come before the run loop turns, since a
    // photo taken quickly on a busy machine would be handed over (and the button enabled again)
    // by the turn that a tap's settling runs.
    CGRect b = camera->takeButton()->bounds();
    CGPoint p = camera->takeButton()->convertPointToView(CGPointMake(CGRectGetMidX(b), CGRectGetMidY(b)), nullptr);
    UITouchDispatcher::shared()->touchEvent({Clock::now(), {{77, p, UITouchPhase::Began}}});
    RunLoop::main().advance(0.05);
    UITouchDispatcher::shared()->touchEvent({Clock::now(), {{77, p, UITouchPhase::Ended}}});
    EXPECT_FALSE(camera->takeButton()->isEnabled()) << "one photo at a time";
    EXPECT_FALSE(picker->takePicture());
    runCamera(*this, 0.3);
    ASSERT_EQ(log->picked.size(), 1u);
    const auto& info = log->picked[0];
    EXPECT_EQ(info.find(UIImagePickerControllerMediaType)->stringValue(), kUTTypeImage);
    EXPECT_FALSE(info.contains(UIImagePickerControllerReferenceURL));
    auto photo = info.find(UIImagePickerControllerOriginalImage)->objectAs<UIImage>();
    ASSERT_TRUE(photo);
    EXPECT_EQ(photo->size().width, 48);
    EXPECT_EQ(photo->size().height, 64);
    EXPECT_FALSE(picker->takePicture()) << "the picker has finished";
}

TEST_F(ImagePickerTest, CameraWithoutAccessSaysSoAndCancels) {
    CaptureDeviceRegistry::setDevices(makeSyntheticCameras(CMVideoDimensions{64, 48}));
    CaptureAuthorization::setStatus(AVMediaType::Video, AVAuthorizationStatus::Denied);
    auto root = UIViewController::make();
    window->setRootViewController(root);
    auto picker = UIImagePickerController::make();
    ASSERT_TRUE(picker->setSourceType(UIImagePickerControllerSourceType::Camera));
    auto log = std::make_shared<PickerLog>();
    picker->setPickerDelegate(log);
    ASSERT_TRUE(root->presentViewController(picker, false));
    runCamera(*this, 0.2);
    auto camera = cameraOf(*picker);
    ASSERT_TRUE(camera);
    EXPECT_EQ(camera->state(), ImagePickerCameraController::State::Unavailable);
    EXPECT_NE(camera->problem().find("no access to the camera"), std::string::npos) << camera->problem();
    EXPECT_FALSE(camera->takeButton()->isEnabled());
    EXPECT_FALSE(camera->liveImage());
    EXPECT_FALSE(picker->takePicture());
    CGRect b = camera->cancelButton()->bounds();
    tap(camera->cancelButton()->convertPointToView(CGPointMake(CGRectGetMidX(b), CGRectGetMidY(b)), nullptr));
    EXPECT_EQ(log->cancels, 1);
    EXPECT_TRUE(log->picked.empty());
}

}  // namespace
