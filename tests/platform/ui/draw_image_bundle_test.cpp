// Images by name from a bundle other than the main one.
#include <gtest/gtest.h>

#include <filesystem>

#include "control_test_support.h"
#include "platform/runtime/result.h"
#include "platform/storage/bundle.h"
#include "platform/ui/draw/image.h"

namespace {

TEST(ImageFromBundle, NamesAreLookedUpInTheGivenBundle) {
    namespace fs = std::filesystem;
    auto root = fs::temp_directory_path() / ("korva-image-bundle-" + std::to_string(::getpid()));
    fs::create_directories(root);
    auto png = UIImagePNGRepresentation(solidImage({3, 5}));
    ASSERT_TRUE(png);
    {
        std::FILE* f = std::fopen((root / "Arrow@2x.png").c_str(), "wb");
        std::fwrite(png->data(), 1, png->size(), f);
        std::fclose(f);
    }
    auto bundle = NSBundle::bundleWithPath(root.string());
    auto image = UIImage::imageNamed("Arrow", bundle);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->scale(), 2);
    EXPECT_EQ(image->size().width, 1.5);
    EXPECT_EQ(UIImage::imageNamed("Arrow", bundle), image) << "cached";
    EXPECT_EQ(UIImage::imageNamed("Arrow"), nullptr) << "the main bundle has no such image";
    EXPECT_EQ(UIImage::imageNamed("Missing", bundle), nullptr);
    fs::remove_all(root);
}

}  // namespace
