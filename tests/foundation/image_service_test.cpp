// Shared interface images: bundle images sized for the screens, glyph images drawn from the icon
// font or through the toolkit's hook, kept between reads and made anew after a reset.
#include "foundation/image_service.h"

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

#include "platform/image/cg_image.h"
#include "platform/ui/draw/graphics.h"
#include "platform/ui/draw/image.h"
#include "tests/foundation/temp_sandbox.h"

namespace {

// A PNG of the size in pixels.
Bytes pngOfSize(CGFloat w, CGFloat h) {
    UIGraphicsBeginImageContextWithOptions(CGSize{w, h}, false, 1);
    UIGraphicsGetCurrentContext()->setRGBFillColor(1, 0, 0, 1);
    UIRectFill(CGRect{CGPoint{0, 0}, CGSize{w, h}});
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    auto png = UIImagePNGRepresentation(image);
    return png ? *png : Bytes();
}

// Straight-alpha RGBA of pixel (x, y), row 0 at the top.
std::array<int, 4> rgbaAt(const CGImage& image, int x, int y) {
    const std::uint8_t* p = image.row(y) + x * 4;
    const bool bgra = image.layout() == CGImagePixelLayout::BGRA8Premultiplied;
    const int a = p[3];
    auto un = [a](int c) { return a == 0 ? 0 : (c * 255 + a / 2) / a; };
    return {un(p[bgra ? 2 : 0]), un(p[1]), un(p[bgra ? 0 : 2]), a};
}

// Where the opaque white pixels lie.
struct WhiteInk {
    int minX = 1 << 20, maxX = -1, minY = 1 << 20, maxY = -1, count = 0;
};

WhiteInk whiteInkOf(const CGImage& image) {
    WhiteInk ink;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            auto p = rgbaAt(image, x, y);
            if (p[3] != 255 || p[0] < 250 || p[1] < 250 || p[2] < 250) continue;
            ink.minX = std::min(ink.minX, x), ink.maxX = std::max(ink.maxX, x);
            ink.minY = std::min(ink.minY, y), ink.maxY = std::max(ink.maxY, y);
            ++ink.count;
        }
    return ink;
}

// Every pixel of the image is white or clear (anti-aliased edges are white at partial alpha).
bool onlyWhiteInk(const CGImage& image) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            auto p = rgbaAt(image, x, y);
            if (p[3] > 64 && (p[0] < 240 || p[1] < 240 || p[2] < 240)) return false;
        }
    return true;
}

}  // namespace

class ImageServiceTest : public TempSandboxTest {
protected:
    void TearDown() override {
        Image::setGlyphMaker(nullptr);
        TempSandboxTest::TearDown();
    }
    void addBundleImage(const std::string& name, CGFloat w, CGFloat h) {
        ASSERT_TRUE(writeFileAtomically(pathOf("bundle/" + name), pngOfSize(w, h)).ok());
    }
};

TEST_F(ImageServiceTest, BundleImagesAreSizedAndKept) {
    addBundleImage("logo.png", 300, 200);
    addBundleImage("shutter.png", 200, 100);
    addBundleImage("shutter_burst.png", 60, 40);
    auto images = Image::make();

    auto logo = images->logo();
    ASSERT_TRUE(logo);
    EXPECT_EQ(logo->size().width, 128);
    EXPECT_EQ(logo->size().height, 128);
    EXPECT_EQ(images->logo(), logo);

    auto shutter = images->shutterGeneral();
    ASSERT_TRUE(shutter);
    EXPECT_EQ(shutter->size().width, 80);  // fitted, aspect ratio kept
    EXPECT_EQ(shutter->size().height, 40);

    auto burst = images->shutterBurst();
    ASSERT_TRUE(burst);
    EXPECT_EQ(burst->size().width, 60);  // as stored
}

TEST_F(ImageServiceTest, MissingBundleImageIsTriedAgainOnTheNextRead) {
    auto images = Image::make();
    EXPECT_FALSE(images->logo0());
    EXPECT_FALSE(images->shutterVideo());
    addBundleImage("logo0.png", 10, 10);
    EXPECT_TRUE(images->logo0());
}

TEST_F(ImageServiceTest, GlyphImagesAreDrawnFromTheIconFontWithoutAMaker) {
    const CGFloat scale = UIScreen::mainScreen()->scale();
    auto g = Global::shared();
    auto check = g->image()->check1();
    ASSERT_TRUE(check);
    EXPECT_EQ(check->size().width, 32);
    EXPECT_EQ(check->size().height, 32);
    EXPECT_EQ(check->scale(), scale);
    ASSERT_EQ(check->cgImage()->width(), int(32 * scale));
    ASSERT_EQ(check->cgImage()->height(), int(32 * scale));
    EXPECT_EQ(g->image()->check1(), check);

    for (const auto& image : {check, g->image()->check0(), g->image()->settings()}) {
        ASSERT_TRUE(image);
        const CGImage& pixels = *image->cgImage();
        // Opaque white ink around the centre, filling most of the square (the glyphs are round).
        const WhiteInk ink = whiteInkOf(pixels);
        const int side = pixels.width(), slack = side / 10;
        EXPECT_GT(ink.count, side * side / 10);
        EXPECT_NEAR((ink.minX + ink.maxX) / 2.0, side / 2.0, slack);
        EXPECT_NEAR((ink.minY + ink.maxY) / 2.0, side / 2.0, slack);
        EXPECT_GT(ink.maxX - ink.minX, side * 7 / 10);
        EXPECT_TRUE(onlyWhiteInk(pixels));
        const int last = pixels.width() - 1;
        for (auto [x, y] : {std::pair{0, 0}, {last, 0}, {0, last}, {last, last}}) EXPECT_EQ(rgbaAt(pixels, x, y)[3], 0);
    }
    // Three different glyphs, not one picture three times.
    EXPECT_NE(g->image()->check0()->cgImage()->bytes(), check->cgImage()->bytes());
    EXPECT_NE(g->image()->settings()->cgImage()->bytes(), check->cgImage()->bytes());

    g->reset();
    auto again = g->image()->check1();
    ASSERT_TRUE(again);
    EXPECT_NE(again, check);
    EXPECT_EQ(again->cgImage()->bytes(), check->cgImage()->bytes());
}

TEST_F(ImageServiceTest, ARegisteredMakerReplacesTheBuiltInDrawing) {
    auto g = Global::shared();
    std::vector<int> asked;
    Image::setGlyphMaker([&](int glyph, CGSize size) {
        asked.push_back(glyph);
        UIGraphicsBeginImageContextWithOptions(size, false, 1);
        auto image = UIGraphicsGetImageFromCurrentImageContext();
        UIGraphicsEndImageContext();
        return image;
    });
    auto check = g->image()->check1();
    ASSERT_TRUE(check);
    EXPECT_EQ(check->size().width, 32);
    EXPECT_EQ(whiteInkOf(*check->cgImage()).count, 0);  // the maker's blank picture
    EXPECT_EQ(g->image()->check1(), check);
    EXPECT_TRUE(g->image()->check0());
    EXPECT_TRUE(g->image()->settings());
    EXPECT_EQ(asked, (std::vector<int>{0xF058, 0xF1DB, 0xF013}));

    g->reset();
    EXPECT_NE(g->image()->check1(), check);
}
