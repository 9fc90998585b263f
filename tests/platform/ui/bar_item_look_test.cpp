// How a navigation bar shows its items: an image as a template in the tint colour unless it asks
// for its original colours, and a custom view centred on the bar's height; and a spinner that no
// layout pass has reached yet still turns about its middle.
#include "controller_test_support.h"
#include "draw_test_support.h"
#include "platform/ui/bar/ui_navigation_bar.h"
#include "platform/ui/bar/ui_navigation_item.h"
#include "platform/ui/control/ui_activity_indicator_view.h"
#include "platform/ui/draw/graphics.h"
#include "platform/ui/layer/layer_renderer.h"

namespace {

// A white square: invisible on a white bar unless it is tinted.
std::shared_ptr<UIImage> whiteSquare() {
    UIGraphicsBeginImageContextWithOptions({20, 20}, false, 1);
    UIGraphicsGetCurrentContext()->setFillColorWithColor(CGColor::rgb(1, 1, 1, 1));
    UIRectFill(CGRectMake(0, 0, 20, 20));
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return image;
}

TEST_F(UIHarness, BarImagesAreTintedTemplatesAndCustomViewsStandCentred) {
    auto bar = UINavigationBar::make(CGRectMake(0, 0, 375, 44));
    bar->setBackgroundColor(UIColor::whiteColor());
    bar->setTintColor(UIColor::redColor());
    window->addSubview(bar);
    auto tinted = UIBarButtonItem::withImage(whiteSquare(), UIBarButtonItemStyle::Plain, nullptr);
    auto original =
        UIBarButtonItem::withImage(whiteSquare()->imageWithRenderingMode(UIImageRenderingMode::AlwaysOriginal),
                                   UIBarButtonItemStyle::Plain, nullptr);
    auto custom = UIView::make(CGRectMake(0, 0, 20, 20));
    auto item = UINavigationItem::make();
    item->setLeftBarButtonItems({tinted, original});
    item->setRightBarButtonItems({UIBarButtonItem::withCustomView(custom)});
    bar->setItems({item});
    bar->layoutIfNeeded();

    auto picture = LayerRenderer::snapshot(*bar->layer(), 1);
    ASSERT_TRUE(picture);
    auto centre = [&](const std::shared_ptr<UIBarButtonItem>& i) {
        CGRect f = i->view()->convertRectToView(i->view()->bounds(), bar);
        return pixelAt(*picture, static_cast<int>(CGRectGetMidX(f)), static_cast<int>(CGRectGetMidY(f)));
    };
    EXPECT_TRUE(near(centre(tinted), Rgba8{255, 0, 0, 255})) << centre(tinted);
    EXPECT_TRUE(near(centre(original), Rgba8{255, 255, 255, 255})) << centre(original);
    EXPECT_EQ(custom->convertRectToView(custom->bounds(), bar).origin.y, 12);
}

TEST_F(UIHarness, ASpinnerDrawsItsSpokesAboutItsMiddleBeforeAnyLayout) {
    auto spinner = UIActivityIndicatorView::withStyle(UIActivityIndicatorViewStyle::Gray);
    spinner->startAnimating();
    auto picture = LayerRenderer::snapshot(*spinner->layer(), 1);
    ASSERT_TRUE(picture);
    EXPECT_GT(pixelAt(*picture, 10, 2).a, 0);   // the top spoke
    EXPECT_GT(pixelAt(*picture, 10, 17).a, 0);  // the bottom one
    EXPECT_EQ(pixelAt(*picture, 10, 10).a, 0);  // the hub is empty
}

}  // namespace
