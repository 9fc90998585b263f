// The photo strip's operations once the toolkit has registered them: views that follow their
// parent's size, a strip kept centred above the bottom, and thumbnails drawn at the screen's scale.
#include <gtest/gtest.h>

#include "capture/photo_strip_layout.h"
#include "platform/image/cg_image.h"
#include "platform/ui/draw/graphics.h"
#include "tests/ui/ui_test_support.h"

namespace {

struct PhotoStripOperations : ToolkitTest {
    void TearDown() override {
        UIGraphicsSetMainScreenScale(scale);
        PhotoStripLayout::registerOperations({});
        ToolkitTest::TearDown();
    }
    double scale = UIGraphicsGetMainScreenScale();
};

}  // namespace

TEST_F(PhotoStripOperations, ViewsFollowTheParentAndThumbnailsUseTheScreensScale) {
    auto ops = PhotoStripLayout::operations();
    auto parent = UIView::make(CGRectMake(0, 0, 300, 500));
    auto pinned = UIView::make();
    auto strip = UIView::make();
    window->addSubview(parent);
    parent->addSubview(pinned);
    parent->addSubview(strip);
    ops.pinEdges(pinned, parent);
    ops.placeCentredAbove(strip, parent, {100, 60}, 20);
    window->layoutIfNeeded();
    EXPECT_EQ(pinned->frame(), CGRectMake(0, 0, 300, 500));
    EXPECT_EQ(strip->frame(), CGRectMake(100, 420, 100, 60));
    // The parent turns to landscape: both follow.
    parent->setFrame(CGRectMake(0, 0, 500, 300));
    window->layoutIfNeeded();
    EXPECT_EQ(pinned->frame(), CGRectMake(0, 0, 500, 300));
    EXPECT_EQ(strip->frame(), CGRectMake(200, 220, 100, 60));

    // A 400x200 photo: the centred square, drawn with three pixels to the point.
    UIGraphicsSetMainScreenScale(3);
    std::vector<std::uint8_t> px(400 * 200 * 4, 255);
    auto photo = UIImage::imageWithCGImage(CGImage::create(400, 200, 400 * 4, px));
    auto thumb = ops.cropResize(photo, 1.0, {60, 60});
    ASSERT_TRUE(thumb);
    EXPECT_EQ(thumb->size(), (CGSize{60, 60}));
    EXPECT_EQ(thumb->cgImage()->width(), 180);
    EXPECT_EQ(thumb->cgImage()->height(), 180);
}
