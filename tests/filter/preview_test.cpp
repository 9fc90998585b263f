// Preview drawing: aspect fit and fill geometry, drawing into an engine-drawn view, and the
// cases that draw nothing; the colour-space table.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "filter/canvas_view.h"
#include "filter/color_spaces.h"
#include "filter/glk_view_custom.h"
#include "filter/preview_geometry.h"
#include "foundation/capture_choices.h"
#include "foundation/global.h"
#include "platform/dispatch/clock.h"
#include "platform/dispatch/run_loop.h"
#include "platform/storage/sandbox.h"
#include "tests/filter/filter_test_support.h"

TEST(PreviewDrawing, AspectFitAndFillRectangles) {
    CGRect extent = CGRectMake(0, 0, 1080, 1920);
    auto fit = previewRects(extent, 750, 1000, UIViewContentMode::ScaleAspectFit);
    EXPECT_EQ(fit.target, CGRectMake(93.75, 0, 562.5, 1000));
    EXPECT_EQ(fit.source, extent);
    auto fill = previewRects(extent, 750, 1000, UIViewContentMode::ScaleAspectFill);
    EXPECT_EQ(fill.target, CGRectMake(0, 0, 750, 1000));
    EXPECT_EQ(fill.source, CGRectMake(0, 240, 1080, 1440));
    EXPECT_EQ(
        previewRects(CGRectMake(0, 100, 1080, 1920), 750, 1000, UIViewContentMode::ScaleAspectFill).source.origin.y,
        340);
    auto wide = previewRects(CGRectMake(0, 0, 200, 100), 100, 100, UIViewContentMode::ScaleAspectFit);
    EXPECT_EQ(wide.target, CGRectMake(0, 25, 100, 50));
    EXPECT_EQ(previewRects(extent, 10, 10, UIViewContentMode::ScaleToFill).target, CGRectMake(0, 0, 10, 10));
}

TEST(PreviewDrawing, DrawsFittedOverBlackAndPresents) {
    auto view = GLKView::make();
    view->setContext(GLDrawingContext::make());
    view->setFrame(CGRectMake(0, 0, 20, 10));
    view->setContentMode(UIViewContentMode::ScaleAspectFit);
    auto context = unmanagedContext();
    drawImage(*view, solidImage(10, 10, 255, 0, 0), *context);
    EXPECT_FALSE(view->isHidden());
    EXPECT_EQ(view->presentCount(), 1u);
    auto contents = view->layer()->contents();
    ASSERT_NE(contents, nullptr);
    ASSERT_EQ(contents->width(), 20);
    // BGRA: black bars left and right, red in the middle.
    const std::uint8_t* row = contents->row(5);
    EXPECT_EQ(row[2], 0);
    EXPECT_EQ(row[3], 255);
    EXPECT_EQ(row[10 * 4 + 2], 255);
    EXPECT_EQ(row[10 * 4 + 0], 0);
}

TEST(PreviewDrawing, NothingIsDrawnWithoutSizeContextOrImage) {
    auto context = unmanagedContext();
    auto view = GLKView::make();
    view->setContext(GLDrawingContext::make());
    drawImage(*view, solidImage(4, 4, 1, 1, 1), *context);  // not laid out yet
    EXPECT_TRUE(view->isHidden());
    EXPECT_EQ(view->presentCount(), 0u);

    view->setFrame(CGRectMake(0, 0, 8, 8));
    drawImage(*view, CIImage::emptyImage(), *context);
    EXPECT_TRUE(view->isHidden());
    EXPECT_EQ(view->presentCount(), 0u);

    view->context()->setLost(true);
    drawImage(*view, solidImage(4, 4, 1, 1, 1), *context);
    EXPECT_FALSE(view->isHidden());
    EXPECT_EQ(view->presentCount(), 0u);
    view->setContext(nullptr);
    EXPECT_FALSE(drawImage0(*view, solidImage(4, 4, 1, 1, 1), *context));
}

TEST(PreviewDrawing, ColourSpaceTableOffersTheKnownSpaces) {
    auto spaces = ColorSpaces::make();
    const Value& dict = spaces->dict();
    EXPECT_EQ(dict["Default"].stringValue(), "kCGColorSpaceNULL");
    EXPECT_EQ(dict["SRGB"].stringValue(), "kCGColorSpaceSRGB");
    EXPECT_EQ(dict["Display P3"].stringValue(), "kCGColorSpaceDisplayP3");
    EXPECT_EQ(dict.count(), 10u);
}

TEST(PreviewDrawing, CanvasWithAnUnknownColourSpaceFallsBackAndSaysSoOnce) {
    std::random_device random;
    auto root = std::filesystem::temp_directory_path() / ("korva-filter-canvas-" + std::to_string(random()));
    Sandbox::setRoot(root.string());
    Clock::useVirtual();
    RunLoop::main().reset();
    Global::resetSharedForTesting();
    Global::shared()->value()->setColorSpace("kNoSuchSpace");

    int told = 0;
    CanvasView::setUnsupportedColorSpaceHandler([&](const std::shared_ptr<CanvasView>&) { ++told; });
    auto canvas = CanvasView::make();
    canvas->setFrame(CGRectMake(0, 0, 8, 6));
    canvas->layoutSubviews();
    canvas->setImage(solidImage(4, 3, 0, 255, 0));
    canvas->setImage(solidImage(4, 3, 0, 255, 0));
    RunLoop::main().runUntilIdle();
    EXPECT_EQ(told, 1);
    EXPECT_EQ(canvas->ciContextGPU()->workingColorSpace(), nullptr);
    EXPECT_EQ(Global::shared()->value()->colorSpace(), "kCGColorSpaceNULL");
    EXPECT_EQ(canvas->imageView()->presentCount(), 2u);
    EXPECT_DOUBLE_EQ(canvas->imageView()->alpha(), 0.5);

    CanvasView::setUnsupportedColorSpaceHandler(nullptr);
    Global::resetSharedForTesting();
    RunLoop::main().reset();
    Sandbox::setRoot("");
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
}
