// The picker while another program changes the library folder: a copied photo comes first, a
// replaced one (another file, or the same one rewritten in place) is drawn again, a tapped cell
// whose file went or was cut short says so (the notice takes the one that went away, and turns the
// cut one grey), and a burst is one notice.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "controller_test_support.h"
#include "platform/image/cg_image.h"
#include "platform/photos/ph_asset.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/controller/image_picker_grid_controller.h"
#include "platform/ui/controller/ui_alert_controller.h"
#include "platform/ui/controller/ui_image_picker_controller.h"
#include "platform/ui/draw/graphics.h"
#include "tests/platform/ui/picker_alert_support.h"
#include "tests/support/same_size_jpegs.h"
#include "tests/support/temp_photo_library.h"

namespace {

struct Picks : UIImagePickerControllerDelegate {
    int picked = 0;
    void didFinishPickingMediaWithInfo(UIImagePickerController&, const ValueDictionary&) override { ++picked; }
};

struct Notices : PHPhotoLibraryChangeObserver {
    int count = 0;
    void photoLibraryDidChange(const std::shared_ptr<PHChange>&) override { ++count; }
};

struct PickerFolderTest : UIHarness {
    TempPhotoLibrary library;
    std::shared_ptr<UIViewController> root;
    std::shared_ptr<UIImagePickerController> picker;
    std::shared_ptr<ImagePickerGridController> grid;
    std::shared_ptr<Picks> picks = std::make_shared<Picks>();

    void SetUp() override {
        UIHarness::SetUp();
        library.open(std::filesystem::temp_directory_path() / ("korva-picker-folder-" + std::to_string(::getpid())));
        root = UIViewController::make();
        window->setRootViewController(root);
        picker = UIImagePickerController::make();
        picker->setPickerDelegate(picks);
        ASSERT_TRUE(root->presentViewController(picker, false));
        settleAll();
        grid = std::dynamic_pointer_cast<ImagePickerGridController>(picker->viewControllers().front());
        ASSERT_TRUE(grid);
    }
    void TearDown() override {
        picker = nullptr;
        grid = nullptr;
        root = nullptr;
        library.close();
        UIHarness::TearDown();
    }
    void settleAll() {
        for (int i = 0; i < 3; ++i) {
            DispatchQueue::waitUntilBackgroundIdle();
            settle();
        }
    }
    static Bytes square(CGColor colour) {
        UIGraphicsBeginImageContextWithOptions(CGSize{32, 32}, true, 1);
        UIGraphicsGetCurrentContext()->setFillColorWithColor(colour);
        UIRectFill(CGRectMake(0, 0, 32, 32));
        auto data = UIImageJPEGRepresentation(UIGraphicsGetImageFromCurrentImageContext(), 0.9);
        UIGraphicsEndImageContext();
        return data ? *data : Bytes{};
    }
    // A square of one colour, as another program writes it into the folder. One put in place of a
    // file is given that file's times, as a copy that keeps them does, or a clock of one-second
    // steps in the same second: only which file it is tells it from the one before.
    void copyIn(const std::string& name, CGColor colour) {
        auto data = std::make_optional(square(colour));
        auto outside = library.folder.string() + "-" + name;
        std::ofstream(outside, std::ios::binary).write(reinterpret_cast<const char*>(data->data()), data->size());
        struct stat before {};
        if (::stat((library.folder / name).c_str(), &before) == 0) {
            const timespec times[2] = {before.st_atim, before.st_mtim};
            ASSERT_EQ(::utimensat(AT_FDCWD, outside.c_str(), times, 0), 0);
        }
        std::filesystem::rename(outside, library.folder / name);
    }
    // The library's notice, once the watch has the files.
    void noticeOf(const std::vector<std::string>& names) {
        ASSERT_TRUE(PHPhotoLibrary::sharedPhotoLibrary()->waitForFolderChanges(names, 10)) << names.front();
        Clock::advanceVirtual(PHPhotoLibrary::kFolderQuiet);
        settleAll();
    }
    // Red of the middle of the thumbnail shown for the asset (-1 for none).
    int redOf(const std::string& id) {
        auto image = grid->thumbnailFor(id);
        if (!image || !image->cgImage()) return -1;
        const auto& cg = *image->cgImage();
        const int red = cg.layout() == CGImagePixelLayout::BGRA8Premultiplied ? 2 : 0;
        return cg.row(cg.height() / 2)[(cg.width() / 2) * 4 + red];
    }
    void tapItem(std::size_t row) {
        auto cell = grid->collectionView()->cellForItemAtIndexPath({0, row});
        ASSERT_TRUE(cell);
        CGRect f = cell->bounds();
        tap(cell->convertPointToView(CGPointMake(CGRectGetMidX(f), CGRectGetMidY(f)), nullptr));
        settleAll();
    }
};

TEST_F(PickerFolderTest, CellsFollowPhotosCopiedInReplacedAndRemoved) {
    EXPECT_FALSE(grid->emptyLabel()->isHidden());
    copyIn("copied.jpg", CGColor::rgb(1, 0, 0, 1));
    noticeOf({"copied.jpg"});
    ASSERT_EQ(grid->collectionView()->numberOfItemsInSection(0), 1u);
    EXPECT_TRUE(grid->emptyLabel()->isHidden());
    const std::string id = picker->assets()[0]->localIdentifier();
    EXPECT_GT(redOf(id), 200);

    copyIn("copied.jpg", CGColor::rgb(0, 0, 1, 1));
    noticeOf({"copied.jpg"});
    ASSERT_EQ(picker->assets().size(), 1u);
    EXPECT_EQ(picker->assets()[0]->localIdentifier(), id) << "the same photo, drawn again";
    EXPECT_LT(redOf(id), 60);

    // Tapped before the library has heard that the file went: an alert, no pick; then the
    // notice takes the cell.
    std::filesystem::remove(library.folder / "copied.jpg");
    ASSERT_TRUE(PHPhotoLibrary::sharedPhotoLibrary()->waitForFolderChanges({"copied.jpg"}, 10));
    tapItem(0);
    EXPECT_EQ(picks->picked, 0);
    auto alert = std::dynamic_pointer_cast<UIAlertController>(picker->presentedViewController());
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->message(), UIImagePickerController::kPhotoGone);
    RunLoop::main().advance(PHPhotoLibrary::kFolderQuiet);  // the alert shown, the notice due
    settleAll();
    EXPECT_TRUE(alert->chooseActionWithTitle("OK"));
    RunLoop::main().advance(0.5);
    EXPECT_FALSE(picker->presentedViewController());
    EXPECT_EQ(grid->collectionView()->numberOfItemsInSection(0), 0u);
    EXPECT_FALSE(grid->emptyLabel()->isHidden());

    // A cell grey because its file went before its thumbnail was made says so too.
    auto saved = TempPhotoLibrary::add(square(CGColor::rgb(0, 1, 0, 1)));
    ASSERT_TRUE(saved);
    std::filesystem::remove(saved->filePath());
    settleAll();
    ASSERT_EQ(picker->assets().size(), 1u);
    EXPECT_TRUE(grid->isUnreadable(saved->localIdentifier()));
    tapItem(0);
    alert = std::dynamic_pointer_cast<UIAlertController>(picker->presentedViewController());
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->message(), UIImagePickerController::kPhotoGone);
    EXPECT_EQ(picks->picked, 0);
}

TEST_F(PickerFolderTest, APhotoCutInPlaceTurnsGreyAndATapSaysItCannotBeOpenedUntilAWholeCopyComes) {
    copyIn("cut.jpg", CGColor::rgb(1, 0, 0, 1));
    noticeOf({"cut.jpg"});
    ASSERT_EQ(picker->assets().size(), 1u);
    const std::string id = picker->assets()[0]->localIdentifier();
    EXPECT_GT(redOf(id), 200);

    // Cut as a truncating program does: opened for writing, cut, closed; within the step of a
    // one-second clock, the time stays the copy's.
    const auto path = (library.folder / "cut.jpg").string();
    struct stat copied {};
    ASSERT_EQ(::stat(path.c_str(), &copied), 0);
    const int fd = ::open(path.c_str(), O_WRONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, static_cast<off_t>(std::filesystem::file_size(path) / 2)), 0);
    const timespec times[2] = {copied.st_atim, copied.st_mtim};
    EXPECT_EQ(::futimens(fd, times), 0);
    ::close(fd);
    noticeOf({"cut.jpg"});
    ASSERT_EQ(picker->assets().size(), 1u);
    EXPECT_TRUE(grid->isUnreadable(id));
    EXPECT_EQ(redOf(id), -1);
    tapItem(0);
    EXPECT_EQ(picks->picked, 0);
    expectUnreadableAlertAndDismissIt(*picker);
    EXPECT_FALSE(picker->presentedViewController());

    copyIn("cut.jpg", CGColor::rgb(0, 0, 1, 1));
    noticeOf({"cut.jpg"});
    EXPECT_FALSE(grid->isUnreadable(id));
    EXPECT_LT(redOf(id), 60);
}

// Written over in place by another picture of the same byte and pixel size, its times put back
// (a copy that keeps them, a tag edit that keeps the file's time): the cell draws the new one.
TEST_F(PickerFolderTest, APhotoRewrittenInPlaceWithItsTimesPutBackIsDrawnAgain) {
    Bytes red = square(CGColor::rgb(1, 0, 0, 1)), blue = square(CGColor::rgb(0, 0, 1, 1));
    testsupport::padToOneLength(red, blue);
    const auto path = library.folder / "same.jpg";
    auto write = [&](const Bytes& data) {
        std::ofstream(path, std::ios::binary | std::ios::trunc)
            .write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
    };
    write(red);
    noticeOf({"same.jpg"});
    ASSERT_EQ(picker->assets().size(), 1u);
    const std::string id = picker->assets()[0]->localIdentifier();
    EXPECT_GT(redOf(id), 200);

    struct stat written {};
    ASSERT_EQ(::stat(path.c_str(), &written), 0);
    write(blue);
    const timespec times[2] = {written.st_atim, written.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    noticeOf({"same.jpg"});
    ASSERT_EQ(picker->assets().size(), 1u);
    EXPECT_EQ(picker->assets()[0]->localIdentifier(), id);
    EXPECT_LT(redOf(id), 60);
}

TEST_F(PickerFolderTest, ABurstIsOneNoticeAndAClosedPickerHearsNothing) {
    std::vector<std::string> names;
    for (int i = 0; i < 30; ++i) names.push_back("burst_" + std::to_string(i) + ".jpg");
    for (const auto& name : names) copyIn(name, CGColor::rgb(0, 1, 0, 1));
    auto notices = std::make_shared<Notices>();
    PHPhotoLibrary::sharedPhotoLibrary()->registerChangeObserver(notices);
    noticeOf(names);
    EXPECT_EQ(notices->count, 1);
    EXPECT_EQ(grid->collectionView()->numberOfItemsInSection(0), 30u);

    // Gone from the screen, the picker no longer follows; one shown again reads the folder afresh.
    root->dismissViewControllerAnimated(false);
    settleAll();
    std::filesystem::remove(library.folder / names[0]);
    noticeOf({names[0]});
    EXPECT_EQ(picker->assets().size(), 30u);
    auto again = UIImagePickerController::make();
    EXPECT_EQ(again->assets().size(), 29u);
}

}  // namespace
