// The busiest widget frame the application draws: a strip of thumbnails each under a spinning
// progress ring, the HUD's indicator over the editor and a scrolling title. Shared by the frame
// test and the widget frame benchmark.
#pragma once

#include <memory>
#include <vector>

#include "platform/ui/view/ui_view.h"
#include "widgets/indicator/busy_indicator_view.h"
#include "widgets/progress/ring_progress_view.h"
#include "widgets/scroll/scroll_label.h"

class UIWindow;
class UIViewController;

// A thumbnail that paints itself once and counts how often it is asked to.
class CountingThumbnail : public UIView {
public:
    KORVA_MAKE(CountingThumbnail)
    void drawRect(CGRect rect) override;
    int draws = 0;

protected:
    using UIView::UIView;
};

struct WidgetFrameScene {
    std::shared_ptr<UIViewController> controller;
    std::vector<std::shared_ptr<CountingThumbnail>> thumbnails;
    std::vector<std::shared_ptr<RingProgressView>> rings;
    std::shared_ptr<BusyIndicatorView> indicator;
    std::shared_ptr<ScrollLabel> title;
};

// Builds the scene in the window (which fills the screen) and sets everything moving.
WidgetFrameScene buildWidgetFrameScene(const std::shared_ptr<UIWindow>& window);
