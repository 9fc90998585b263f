// Shared interface images: bundle images sized for the screens, glyph images through the
// toolkit's hook, kept between reads and made anew after a memory warning.
#include "foundation/image_service.h"

#include "platform/ui/draw/graphics.h"
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

TEST_F(ImageServiceTest, GlyphImagesComeFromTheRegisteredMakerAndSurviveUntilReset) {
    auto g = Global::shared();
    EXPECT_FALSE(g->image()->check1());  // no toolkit yet
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
    EXPECT_EQ(g->image()->check1(), check);
    EXPECT_TRUE(g->image()->check0());
    EXPECT_TRUE(g->image()->settings());
    EXPECT_EQ(asked, (std::vector<int>{0xF058, 0xF1DB, 0xF013}));

    g->reset();
    EXPECT_NE(g->image()->check1(), check);
}
