// Camera frames as image recipes: a frame still to be turned is read turned, without the turn.
#include "capture/sample_buffer_image.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/capture/pixel_buffer_orientation.h"
#include "platform/image/ci_context.h"

namespace {

std::vector<std::uint8_t> render(const std::shared_ptr<CIImage>& image, int w, int h) {
    auto context = CIContext::contextWithOptions({{kCIContextWorkingColorSpace, Value(kCGColorSpaceNULL)}});
    std::vector<std::uint8_t> out(std::size_t(w) * h * 4);
    auto scaled = image->imageByApplyingTransform(
        CGAffineTransformMakeScale(w / image->extent().size.width, h / image->extent().size.height));
    EXPECT_TRUE(
        context->render(scaled, out.data(), std::size_t(w) * 4, CGRectMake(0, 0, w, h), CIFormat::BGRA8, nullptr));
    return out;
}

}  // namespace

TEST(SampleBufferImageTest, AFrameStillToBeTurnedIsReadTurnedWithoutMakingTheTurn) {
    // A landscape frame of distinct, smoothly varying values.
    constexpr int kW = 96, kH = 64;
    auto sensor = CVPixelBuffer::make(kW, kH);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            std::uint8_t* p = sensor->row(std::size_t(y)) + std::size_t(x) * 4;
            p[0] = std::uint8_t(x * 2), p[1] = std::uint8_t(y * 3), p[2] = std::uint8_t((x * y) % 251), p[3] = 255;
        }
    using O = AVCaptureVideoOrientation;
    // Every turn and mirroring but none (EXIF orientations 2 to 8).
    for (auto [orientation, mirrored] :
         {std::pair{O::LandscapeRight, true}, std::pair{O::LandscapeLeft, false}, std::pair{O::LandscapeLeft, true},
          std::pair{O::Portrait, false}, std::pair{O::Portrait, true}, std::pair{O::PortraitUpsideDown, false},
          std::pair{O::PortraitUpsideDown, true}}) {
        SCOPED_TRACE(std::to_string(int(orientation)) + (mirrored ? " mirrored" : ""));
        auto size = orientedDimensions({kW, kH}, orientation);
        int turns = 0;
        auto sample = CMSampleBuffer::withTurnedImageBuffer(
            sensor, exifOrientationFor(orientation, mirrored),
            [&, orientation, mirrored](const CVPixelBuffer& source) -> CVPixelBufferRef {
                ++turns;
                auto out = CVPixelBuffer::make(std::size_t(size.width), std::size_t(size.height));
                orientPixelBuffer(source, *out, orientation, mirrored);
                return out;
            },
            {});
        auto image = imageWithSampleBuffer(sample);
        ASSERT_TRUE(image);
        EXPECT_EQ(image->extent().size.width, size.width);
        EXPECT_EQ(image->extent().size.height, size.height);
        auto full = render(image, size.width, size.height);
        auto small = render(image, size.width / 4, size.height / 4);
        EXPECT_EQ(turns, 0) << "the recipe read the frame turned";

        // The same pixels as the turned frame, to the level, at full size and drawn small.
        auto turned = imageWithPixelBuffer(sample->imageBuffer());
        EXPECT_EQ(turns, 1);
        EXPECT_EQ(full, render(turned, size.width, size.height));
        auto reference = render(turned, size.width / 4, size.height / 4);
        // Through a colour step (its rows read as bytes), as a photo of the frame renders it.
        const ValueDictionary tone{{"inputSaturation", Value(1.4)}, {"inputBrightness", Value(0.05)}};
        EXPECT_EQ(render(image->imageByApplyingFilter("CIColorControls", tone), size.width, size.height),
                  render(turned->imageByApplyingFilter("CIColorControls", tone), size.width, size.height));
        ASSERT_EQ(small.size(), reference.size());
        int worst = 0;
        for (std::size_t i = 0; i < small.size(); ++i) worst = std::max(worst, std::abs(small[i] - reference[i]));
        EXPECT_EQ(worst, 0);
    }
}
