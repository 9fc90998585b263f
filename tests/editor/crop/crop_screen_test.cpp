// The crop screen: the ratio table, Cancel and Done through the delegate (or nothing for a
// delegate that does not answer), the "Constrain" sheet and its cancel, and the two exclusive
// rectangles applied again when the screen appears.
#include <gtest/gtest.h>

#include "editor/crop/crop_choice.h"
#include "editor/crop/crop_view_controller.h"
#include "platform/image/cg_image.h"
#include "platform/ui/bar/ui_navigation_bar.h"
#include "platform/ui/bar/ui_toolbar.h"
#include "platform/ui/controller/ui_alert_controller.h"
#include "platform/ui/controller/ui_navigation_controller.h"
#include "platform/ui/draw/graphics.h"
#include "platform/ui/draw/image.h"
#include "tests/platform/ui/draw_test_support.h"
#include "tests/ui/ui_test_support.h"

namespace {

std::shared_ptr<UIImage> picture(int w, int h) {
    std::vector<std::uint8_t> px(std::size_t(w) * h * 4, 128);
    return UIImage::imageWithCGImage(CGImage::create(w, h, std::size_t(w) * 4, std::move(px)));
}

struct Answers : CropViewControllerDelegate {
    int cancels = 0;
    std::vector<std::shared_ptr<UIImage>> images;
    void cropViewControllerDidFinishCroppingImage(CropViewController&, const std::shared_ptr<UIImage>& i) override {
        images.push_back(i);
    }
    void cropViewControllerDidCancel(CropViewController&) override { ++cancels; }
};

struct Silent : CropViewControllerDelegate {};

struct CropScreenTest : ToolkitTest {
    std::shared_ptr<UIViewController> host = UIViewController::make();
    std::shared_ptr<CropViewController> crop = CropViewController::make();
    std::shared_ptr<UINavigationController> nav;
    void SetUp() override {
        ToolkitTest::SetUp();
        window->setRootViewController(host);
        settle();
        crop->setImage(picture(400, 300));
    }
    void present() {
        nav = UINavigationController::withRoot(crop);
        host->presentViewController(nav, false);
        settle();
        advance(1);
    }
};

}  // namespace

TEST(CropChoices, TheRatioTable) {
    ASSERT_EQ(cropChoiceTitles().size(), 9u);
    EXPECT_EQ(cropChoiceTitles()[0], "Original");
    EXPECT_EQ(cropChoiceTitles()[8], "16 x 9");
    CGRect current{{20, 50}, {280, 280}};
    CGRect picture{{20, 40}, {280, 210}};
    auto original = cropChoiceEffect(0, current, {400, 300}, picture);
    ASSERT_TRUE(original.rect);
    EXPECT_EQ(*original.rect, (CGRect{{20, 50}, {280, 210}}));
    auto tall = cropChoiceEffect(0, current, {300, 400}, picture);
    EXPECT_EQ(*tall.rect, (CGRect{{20, 50}, {210, 280}}));
    EXPECT_EQ(*cropChoiceEffect(1, current, {400, 300}, picture).ratio, 1.0);
    EXPECT_EQ(cropChoiceEffect(2, current, {400, 300}, picture).ratio,
              cropChoiceEffect(5, current, {400, 300}, picture).ratio);
    EXPECT_NEAR(*cropChoiceEffect(2, current, {400, 300}, picture).ratio, 0.6666667, 1e-7);
    EXPECT_NEAR(*cropChoiceEffect(6, current, {400, 300}, picture).ratio, 0.71428573, 1e-7);
    // "4 x 3" and "16 x 9" set the height from the width, capped to the picture.
    auto fourThree = cropChoiceEffect(4, {{20, 40}, {280, 100}}, {400, 300}, picture);
    EXPECT_EQ(*fourThree.rect, (CGRect{{20, 40}, {280, 210}}));
    auto low = cropChoiceEffect(4, {{20, 100}, {280, 100}}, {400, 300}, picture);
    EXPECT_EQ(*low.rect, (CGRect{{20, 100}, {280, 150}})) << "cut at the picture's bottom";
    EXPECT_EQ(*cropChoiceEffect(8, {{20, 40}, {160, 10}}, {400, 300}, picture).rect, (CGRect{{20, 40}, {160, 90}}));
    EXPECT_FALSE(cropChoiceEffect(9, current, {400, 300}, picture).ratio);
    EXPECT_FALSE(cropChoiceEffect(-1, current, {400, 300}, picture).rect);
}

TEST_F(CropScreenTest, CancelAndDoneGoThroughTheDelegateOnly) {
    auto answers = std::make_shared<Answers>();
    crop->setDelegate(answers);
    present();
    EXPECT_EQ(crop->toolbarItems().size(), 3u);
    EXPECT_EQ(crop->toolbarItems()[1]->title(), "Constrain");
    EXPECT_FALSE(nav->isToolbarHidden());
    crop->cancel();
    EXPECT_EQ(answers->cancels, 1);
    crop->done();
    ASSERT_EQ(answers->images.size(), 1u);
    ASSERT_TRUE(answers->images[0]);
    EXPECT_NEAR(answers->images[0]->size().width, 400, 1);

    // A delegate that answers neither: the screen stays up.
    auto silent = std::make_shared<Silent>();
    crop->setDelegate(silent);
    crop->cancel();
    crop->done();
    advance(1);
    EXPECT_EQ(host->presentedViewController(), nav);
}

TEST_F(CropScreenTest, ItsBarsAreOpaqueSoThePictureDoesNotShowThrough) {
    present();
    auto toolbar = nav->toolbar();
    ASSERT_FALSE(nav->isToolbarHidden());
    EXPECT_FALSE(toolbar->isTranslucent());
    EXPECT_FALSE(nav->navigationBar()->isTranslucent());
    // The toolbar drawn alone covers every pixel of its edge fully.
    CGSize size = toolbar->bounds().size;
    UIGraphicsBeginImageContext(size);
    toolbar->layer()->renderInContext(*UIGraphicsGetCurrentContext());
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    ASSERT_TRUE(image);
    for (int x : {2, int(size.width) - 3}) EXPECT_EQ(pixelAt(image, x, int(size.height / 2)).a, 255) << x;
}

TEST_F(CropScreenTest, TheConstrainSheetAndItsCancel) {
    present();
    CGRect before = crop->cropView()->cropRect();
    crop->constrain();
    advance(1);
    auto sheet = crop->actionSheet();
    ASSERT_TRUE(sheet && sheet->isVisible());
    EXPECT_EQ(sheet->numberOfButtons(), 10);
    EXPECT_EQ(sheet->cancelButtonIndex(), 9);
    EXPECT_EQ(sheet->buttonTitleAtIndex(1), "Square");
    sheet->dismissWithClickedButtonIndex(sheet->cancelButtonIndex(), false);
    advance(1);
    EXPECT_EQ(crop->cropView()->cropRect(), before);

    crop->constrain();
    advance(1);
    crop->actionSheet()->dismissWithClickedButtonIndex(1, false);
    advance(1);
    CGRect square = crop->cropView()->cropRect();
    EXPECT_NEAR(square.size.width, square.size.height, 0.5);
}

TEST_F(CropScreenTest, TheLastOfTheTwoRectanglesIsAppliedWhenTheScreenAppears) {
    crop->setImageCropRect(CGRectMake(0, 0, 200, 150));
    crop->setCropRect(CGRectMake(10, 10, 100, 100));
    EXPECT_EQ(crop->imageCropRect(), CGRectZero);
    crop->setImageCropRect(CGRectMake(0, 0, 200, 150));
    EXPECT_EQ(crop->cropRect(), CGRectZero);
    present();
    advance(1);
    CGRect z = crop->cropView()->zoomedCropRect();
    EXPECT_NEAR(z.size.width, 200, 1);
    EXPECT_NEAR(z.size.height, 150, 1);
}
