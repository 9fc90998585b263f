// The crop rectangle and view: the handle table free and keeping a ratio, the minimum size for
// every handle, snapping, the pixel rectangle in portrait, landscape and on a tablet, the cut of
// a turned picture, capping a drag to the picture and the automatic zoom's margin.
#include <gtest/gtest.h>

#include <numbers>

#include "editor/crop/crop_geometry.h"
#include "editor/crop/crop_view.h"
#include "editor/crop/uiimage_crop.h"
#include "platform/image/cg_image.h"
#include "platform/ui/draw/image.h"
#include "tests/ui/ui_test_support.h"

namespace {

constexpr CGRect kStart{{100, 100}, {200, 150}};

CGRect drag(CropHandle h, CGPoint t, bool keep = false) {
    CropDrag d;
    d.handle = h;
    d.initial = kStart;
    d.translation = t;
    d.keepingAspectRatio = keep;
    d.fixedAspectRatio = 0.75;
    d.minimum = {88, 88};
    d.current = kStart;
    return cropRectForDrag(d);
}

void expectRect(CGRect got, CGRect want) {
    EXPECT_NEAR(got.origin.x, want.origin.x, 1e-3);
    EXPECT_NEAR(got.origin.y, want.origin.y, 1e-3);
    EXPECT_NEAR(got.size.width, want.size.width, 1e-3);
    EXPECT_NEAR(got.size.height, want.size.height, 1e-3);
}

// A square picture whose top-left quadrant is red and the rest blue.
std::shared_ptr<UIImage> quadrantPicture(int side) {
    std::vector<std::uint8_t> px(std::size_t(side) * side * 4);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            auto* p = &px[(std::size_t(y) * side + x) * 4];
            bool red = x < side / 2 && y < side / 2;
            p[0] = red ? 255 : 0, p[2] = red ? 0 : 255, p[3] = 255;
        }
    return UIImage::imageWithCGImage(CGImage::create(side, side, std::size_t(side) * 4, std::move(px)));
}

// Whether the pixel is mostly red, whichever byte order the bitmap has.
bool isRed(const std::shared_ptr<CGImage>& cg, int x, int y) {
    const std::uint8_t* p = cg->row(y) + x * 4;
    bool bgra = cg->layout() == CGImagePixelLayout::BGRA8Premultiplied;
    int r = bgra ? p[2] : p[0], b = bgra ? p[0] : p[2];
    return r > 200 && b < 60;
}

}  // namespace

TEST(CropGeometry, HandleTableFreeAndKeepingTheRatio) {
    CGPoint t{10, -20};
    expectRect(drag(CropHandle::Top, t), {{100, 80}, {200, 170}});
    expectRect(drag(CropHandle::Left, t), {{110, 100}, {190, 150}});
    expectRect(drag(CropHandle::Bottom, t), {{100, 100}, {200, 130}});
    expectRect(drag(CropHandle::Right, t), {{100, 100}, {210, 150}});
    expectRect(drag(CropHandle::TopLeft, t), {{110, 80}, {190, 170}});
    expectRect(drag(CropHandle::TopRight, t), {{100, 80}, {210, 170}});
    expectRect(drag(CropHandle::BottomLeft, t), {{110, 100}, {190, 130}});
    expectRect(drag(CropHandle::BottomRight, t), {{100, 100}, {210, 130}});

    // Kept at 0.75: the axis that moved more (here y) decides; the top stays at y0 + ty.
    expectRect(drag(CropHandle::TopRight, t, true), {{100, 80}, {170 / 0.75, 170}});
    // The top-left corner keeps the bottom-right corner where it was.
    CGRect tl = drag(CropHandle::TopLeft, t, true);
    EXPECT_NEAR(CGRectGetMaxX(tl), 300, 1e-3);
    EXPECT_NEAR(CGRectGetMaxY(tl), 250, 1e-3);
    EXPECT_NEAR(tl.size.height / tl.size.width, 0.75, 1e-6);
    // The bottom-left corner keeps its right side.
    CGRect bl = drag(CropHandle::BottomLeft, {-30, 5}, true);
    EXPECT_NEAR(CGRectGetMaxX(bl), 300, 1e-3);
    EXPECT_NEAR(bl.origin.y, 100, 1e-3);
    expectRect(drag(CropHandle::Right, {40, 0}, true), {{100, 100}, {240, 180}});
    expectRect(drag(CropHandle::Bottom, {0, 30}, true), {{100, 100}, {240, 180}});
}

TEST(CropGeometry, TheMinimumKeepsTheSideOppositeTheHandle) {
    struct Case {
        CropHandle handle;
        CGPoint t;
        CGRect want;
    };
    for (const Case& c : {Case{CropHandle::Left, {500, 0}, {{212, 100}, {88, 150}}},
                          Case{CropHandle::Right, {-500, 0}, {{100, 100}, {88, 150}}},
                          Case{CropHandle::Top, {0, 500}, {{100, 162}, {200, 88}}},
                          Case{CropHandle::Bottom, {0, -500}, {{100, 100}, {200, 88}}},
                          Case{CropHandle::TopLeft, {500, 500}, {{212, 162}, {88, 88}}},
                          Case{CropHandle::TopRight, {-500, 500}, {{100, 162}, {88, 88}}},
                          Case{CropHandle::BottomLeft, {500, -500}, {{212, 100}, {88, 88}}},
                          Case{CropHandle::BottomRight, {-500, -500}, {{100, 100}, {88, 88}}}}) {
        SCOPED_TRACE(int(c.handle));
        expectRect(drag(c.handle, c.t), c.want);
    }
}

TEST(CropGeometry, SnapsToQuarterTurnsAndMeasuresPixels) {
    auto deg = [](double d) { return d * std::numbers::pi / 180; };
    EXPECT_NEAR(snappedRotationAngle(deg(50)), deg(90), 1e-9);
    EXPECT_NEAR(snappedRotationAngle(deg(40)), 0, 1e-9);
    EXPECT_NEAR(snappedRotationAngle(deg(-100)), deg(-90), 1e-9);
    EXPECT_NEAR(snappedRotationAngle(deg(45)), 0, 1e-9) << "a tie goes to the even quarter";

    // A 2000 x 1000 picture fitted into 280 x 406 (portrait) is 280 wide: factor 0.14.
    CGRect inset{{20, 37}, {280, 406}};
    expectRect(zoomedCropRectInPixels({{0, 0}, {280, 140}}, {2000, 1000}, inset, true), {{0, 0}, {2000, 1000}});
    // On a landscape phone the factor is taken on the height: 440 x 280 fits 2000 x 1000 at 0.22.
    CGRect wide{{20, 20}, {600, 220}};
    expectRect(zoomedCropRectInPixels({{0, 0}, {44, 22}}, {2000, 1000}, wide, false), {{0, 0}, {200, 100}});
    EXPECT_EQ(zoomedCropRectInPixels({{0, 0}, {10, 10}}, {0, 0}, inset, true), CGRectZero);
}

TEST(CropImage, ATurnedPictureIsCutAndNothingOutsideGivesNoImage) {
    auto picture = quadrantPicture(40);
    // A quarter turn clockwise takes the red top-left quadrant to the top right.
    auto cut = rotatedImageWithtransform_croppedToRect(picture, CGAffineTransformMakeRotation(std::numbers::pi / 2),
                                                       CGRectMake(20, 0, 20, 20));
    ASSERT_TRUE(cut);
    auto cg = cut->cgImage();
    EXPECT_EQ(cg->width(), 20);
    EXPECT_EQ(cg->height(), 20);
    EXPECT_TRUE(isRed(cg, 10, 10));
    auto rest = rotatedImageWithtransform_croppedToRect(picture, CGAffineTransformMakeRotation(std::numbers::pi / 2),
                                                        CGRectMake(0, 0, 20, 20));
    ASSERT_TRUE(rest);
    EXPECT_FALSE(isRed(rest->cgImage(), 10, 10));

    EXPECT_FALSE(
        rotatedImageWithtransform_croppedToRect(picture, CGAffineTransformIdentity, CGRectMake(100, 100, 10, 10)));
    EXPECT_FALSE(rotatedImageWithtransform_croppedToRect(nullptr, CGAffineTransformIdentity, CGRectMake(0, 0, 10, 10)));
}

struct CropViewTest : ToolkitTest {
    std::shared_ptr<CropView> crop;
    void SetUp() override {
        ToolkitTest::SetUp();
        crop = CropView::make(window->bounds());
        window->addSubview(crop);
        crop->setImage(quadrantPicture(400));
        settle();
    }
};

TEST_F(CropViewTest, StartsOnTheWholePictureAndTakesPixelRectangles) {
    CGRect fitted = crop->scrollView()->frame();
    EXPECT_NEAR(fitted.size.width, crop->editingRect().size.width, 1e-6);
    expectRect(crop->zoomedCropRect(), {{0, 0}, {400, 400}});
    EXPECT_FALSE(crop->userHasModifiedCropArea());
    expectRect(crop->cropRectView()->frame(), fitted);
    EXPECT_EQ(crop->overlays()[0]->frame().size.height, fitted.origin.y);

    crop->setImageCropRect(CGRectMake(1000, 1000, 50, 50));
    advance(1);
    expectRect(crop->scrollView()->frame(), fitted);

    crop->setImageCropRect(CGRectMake(0, 0, 200, 200));
    advance(1);
    CGRect z = crop->zoomedCropRect();
    EXPECT_NEAR(z.origin.x, 0, 0.5);
    EXPECT_NEAR(z.size.width, 200, 0.5);
    EXPECT_NEAR(z.size.height, 200, 0.5);
    EXPECT_TRUE(crop->userHasModifiedCropArea());
    auto cut = crop->croppedImage();
    ASSERT_TRUE(cut);
    EXPECT_TRUE(isRed(cut->cgImage(), 50, 50)) << "the top-left quadrant is red";

    crop->setRotationAngle(50 * std::numbers::pi / 180, true);
    EXPECT_NEAR(crop->rotationAngle(), std::numbers::pi / 2, 1e-5);
    crop->resetCropRect();
    EXPECT_NEAR(crop->rotationAngle(), 0, 1e-6);
}

TEST_F(CropViewTest, ADragIsCappedToThePictureAndZoomsOnlyPastTheMargin) {
    CGRect start = crop->cropRectView()->frame();
    auto rect = crop->cropRectView();
    crop->cropRectViewDidBeginEditing(*rect);
    rect->setFrame(CGRectOffset(start, -30, 0));
    crop->cropRectViewEditingChanged(*rect);
    CGRect capped = rect->frame();
    EXPECT_NEAR(capped.origin.x, start.origin.x, 1e-6) << "cut at the picture's left edge";
    EXPECT_NEAR(capped.size.width, start.size.width - 30, 1e-6);

    // Inside the editing area's margin nothing zooms; past it the crop zooms to the rectangle.
    CGRect e = crop->editingRect();
    rect->setFrame(CGRectMake(e.origin.x - 4, e.origin.y + 10, 100, 100));
    crop->cropRectViewEditingChanged(*rect);
    CGRect before = crop->scrollView()->frame();
    advance(1.5);
    EXPECT_EQ(crop->scrollView()->frame(), before);
    crop->cropRectViewDidEndEditing(*rect);
    advance(1.5);
    EXPECT_FALSE(crop->isResizing());
    EXPECT_NE(crop->scrollView()->frame(), before) << "the end of a drag zooms to the rectangle";
}

TEST_F(CropViewTest, TurningShowsTheMinorGridWhileItLasts) {
    auto r = UIRotationGestureRecognizer::make();
    r->setState(UIGestureRecognizerState::Began);
    crop->handleRotation(*r);
    EXPECT_TRUE(crop->cropRectView()->showsGridMinor());
    r->setState(UIGestureRecognizerState::Ended);
    crop->handleRotation(*r);
    EXPECT_FALSE(crop->cropRectView()->showsGridMinor());
}
