// Resizable images drawn larger keep their caps unscaled and stretch the middle; a plain image
// scales whole; caps wider than the rectangle shrink in proportion.
#include <gtest/gtest.h>

#include "platform/image/cg_image.h"
#include "platform/ui/draw/context.h"
#include "platform/ui/draw/graphics.h"
#include "platform/ui/draw/image.h"

namespace {

// 30 x 30: a 10-point red frame around a blue middle.
std::shared_ptr<UIImage> framed() {
    UIGraphicsBeginImageContextWithOptions({30, 30}, true, 1);
    auto* c = UIGraphicsGetCurrentContext();
    c->setFillColorWithColor(CGColor::rgb(1, 0, 0, 1));
    UIRectFill(CGRectMake(0, 0, 30, 30));
    c->setFillColorWithColor(CGColor::rgb(0, 0, 1, 1));
    UIRectFill(CGRectMake(10, 10, 10, 10));
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return image;
}

// Whether the pixel of the drawing is mostly red (else mostly blue).
bool redAt(const std::shared_ptr<UIImage>& drawn, int x, int y) {
    auto cg = drawn->cgImage();
    const std::uint8_t* p = cg->row(y) + x * 4;
    bool bgra = cg->layout() == CGImagePixelLayout::BGRA8Premultiplied;
    return (bgra ? p[2] : p[0]) > (bgra ? p[0] : p[2]);
}

std::shared_ptr<UIImage> drawnAt(const std::shared_ptr<UIImage>& image, CGSize size) {
    UIGraphicsBeginImageContextWithOptions(size, true, 1);
    image->drawInRect({{0, 0}, size});
    auto out = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return out;
}

}  // namespace

TEST(NineSlice, CapsKeepTheirSizeAndTheMiddleStretches) {
    auto image = framed();
    ASSERT_TRUE(image);
    auto resizable = image->resizableImageWithCapInsets({10, 10, 10, 10}, UIImageResizingMode::Stretch);
    auto drawn = drawnAt(resizable, {90, 60});
    EXPECT_TRUE(redAt(drawn, 8, 30));
    EXPECT_FALSE(redAt(drawn, 12, 30)) << "the left cap stays 10 points wide";
    EXPECT_FALSE(redAt(drawn, 45, 30));
    EXPECT_FALSE(redAt(drawn, 77, 30));
    EXPECT_TRUE(redAt(drawn, 82, 30));
    EXPECT_TRUE(redAt(drawn, 45, 8));
    EXPECT_FALSE(redAt(drawn, 45, 12));

    // Without caps the frame scales with the picture: 30 points wide on a 90-point drawing.
    auto plain = drawnAt(image, {90, 60});
    EXPECT_TRUE(redAt(plain, 25, 30));

    // Smaller than both caps together: the caps shrink in proportion and nothing is drawn twice.
    auto small = drawnAt(resizable, {10, 10});
    EXPECT_TRUE(redAt(small, 2, 2));
    EXPECT_TRUE(redAt(small, 7, 7));
}
