// The widget frame scene.
#include "widget_frame_scene.h"

#include "platform/ui/app/ui_window.h"
#include "platform/ui/controller/ui_view_controller.h"
#include "platform/ui/draw/graphics.h"

namespace {

constexpr int kTiles = 10;
constexpr int kTilesPerRow = 5;
constexpr CGFloat kTile = 70;
constexpr CGFloat kGap = 6;

}  // namespace

void CountingThumbnail::drawRect(CGRect) {
    ++draws;
    auto context = UIGraphicsGetCurrentContext();
    CGRect b = bounds();
    context->setFillColorWithColor(CGColor::rgb(0.85, 0.55, 0.3, 1));
    context->fillRect(b);
    context->setFillColorWithColor(CGColor::rgb(0.25, 0.45, 0.75, 1));
    context->fillRect(CGRectMake(0, b.size.height * 0.55, b.size.width, b.size.height * 0.45));
}

WidgetFrameScene buildWidgetFrameScene(const std::shared_ptr<UIWindow>& window) {
    WidgetFrameScene scene;
    scene.controller = UIViewController::make();
    auto root = scene.controller->view();
    root->setFrame(window->bounds());
    root->setBackgroundColor(UIColor::blackColor());
    window->addSubview(root);
    CGFloat width = window->bounds().size.width;

    scene.title = ScrollLabel::make(CGRectMake((width - 200) / 2, 60, 200, 30));
    scene.title->setTextAlignment(NSTextAlignment::Center);
    scene.title->setTextColor(UIColor::whiteColor());
    scene.title->setText(std::string("A filter name much too long for the title bar"));
    scene.title->setScrollType(ScrollLabelLoopLeft);
    scene.title->setAnimationCurve(ScrollLabelCurveEaseInOut);
    scene.title->setTrailingBuffer(30);
    scene.title->setFadeLength(10);
    scene.title->setScrollDuration(15);
    root->addSubview(scene.title);

    CGFloat top = window->bounds().size.height - 2 * (kTile + kGap) - 40;
    for (int i = 0; i < kTiles; ++i) {
        CGRect frame = CGRectMake(kGap + (i % kTilesPerRow) * (kTile + kGap), top + (i / kTilesPerRow) * (kTile + kGap),
                                  kTile, kTile);
        auto thumbnail = CountingThumbnail::make(frame);
        root->addSubview(thumbnail);
        auto ring = RingProgressView::make(thumbnail->bounds());
        ring->setUserInteractionEnabled(false);
        thumbnail->addSubview(ring);
        scene.thumbnails.push_back(thumbnail);
        scene.rings.push_back(ring);
    }

    scene.indicator = BusyIndicatorView::make(BusyIndicatorAnimationTypeBallSpinFadeLoader, UIColor::whiteColor());
    scene.indicator->setFrame(CGRectMake((width - 99) / 2, 300, 99, 99));
    root->addSubview(scene.indicator);
    root->layoutIfNeeded();
    scene.indicator->startAnimating();
    return scene;
}
