// The window host's loop between turns of the run loop: input is taken and frames are drawn while a
// repeating timer costs more than its interval (SDL's dummy driver: no display server needed).
#include <SDL.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/dispatch/clock.h"
#include "platform/dispatch/run_loop.h"
#include "platform/dispatch/timer.h"
#include "platform/host/host.h"
#include "platform/ui/app/ui_application.h"
#include "platform/ui/app/ui_window.h"
#include "platform/ui/draw/graphics.h"
#include "tests/platform/host/dummy_window_driver.h"

namespace {

// Counts its draws.
struct CountingView : UIView {
    using UIView::UIView;
    int draws = 0;
    void drawRect(CGRect rect) override {
        ++draws;
        if (CGContext* c = UIGraphicsGetCurrentContext()) {
            c->setFillColorWithColor(CGColor::rgb(0, 0, 1, 1));
            c->fillRect(rect);
        }
    }
};

}  // namespace

TEST(WindowHostLoop, TakesInputAndDrawsWhileATimerCostsMoreThanItsInterval) {
    DummyWindowDriver driver;
    Clock::useVirtual();
    UIApplication::resetSharedApplication();
    {
        auto host = driver.openWindowHost();
        ASSERT_TRUE(host);
        auto window = UIWindow::make();
        auto view = make<CountingView>(CGRectMake(10, 10, 50, 50));
        window->addSubview(view);
        window->makeKeyAndVisible();
        // Each fire costs 0.08 s of a 0.05 s interval, and asks for a new picture; the tenth asks
        // the window to close, which only a loop that gets back to its input hears.
        int fires = 0;
        auto slow = NSTimer::scheduledTimer(0.05, true, [&](const std::shared_ptr<NSTimer>&) {
            Clock::setVirtualNow(Clock::now() + 0.08);
            view->setNeedsDisplay();
            if (++fires == 10) {
                SDL_Event quit{};
                quit.type = SDL_QUIT;
                SDL_PushEvent(&quit);
            }
        });
        EXPECT_EQ(host->run(), 0);
        EXPECT_GE(fires, 10);
        EXPECT_LE(fires, 12) << "the close waited for more than a turn or two";
        EXPECT_GE(view->draws, 5) << "frames are drawn between the turns";
        slow->invalidate();
    }
    RunLoop::main().reset();
    UIApplication::resetSharedApplication();
    Clock::useReal();
    UIScreen::setMainScreen(UIScreen::make());
}
