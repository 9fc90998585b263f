// The window host's loop between turns of the run loop: input is taken and frames are drawn while a
// repeating timer costs more than its interval, on either clock; a virtual clock follows a stalled
// loop by at most a tenth of a second a pass; input waiting when the end is asked is still taken,
// and input that never runs dry gives way to the end, as a backlog does to the turn's timers; the
// exposures a pass reads are shown once (SDL's dummy driver: no display server needed).
#include <SDL.h>
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/dispatch/clock.h"
#include "platform/dispatch/run_loop.h"
#include "platform/dispatch/timer.h"
#include "platform/host/host.h"
#include "platform/host/program_ending.h"
#include "platform/host/window_host.h"
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

// Real time spent, as a costly callback spends it.
void spend(double seconds) {
    auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end) {
    }
}

void pushQuit() {
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
}

struct TouchPhases : HostEventSink {
    std::vector<UITouchPhase> phases;
    void touchEvent(const HostTouchEvent& e) override {
        for (const auto& t : e.touches) phases.push_back(t.phase);
    }
};

// A flood of clicks that never runs dry: every touch the host hands on brings another click, up to
// two hundred thousand. The thousandth asks for the end with SIGTERM.
struct EndlessClicks : TouchPhases {
    void touchEvent(const HostTouchEvent& e) override {
        TouchPhases::touchEvent(e);
        if (phases.size() == 1000) ::raise(SIGTERM);
        if (phases.size() + 100 <= 200000) pushClick(phases.size() % 2 == 0);
    }
    static void pushClick(bool down) {
        SDL_Event click{};
        click.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
        click.button.button = SDL_BUTTON_LEFT;
        click.button.x = click.button.y = 20;
        SDL_PushEvent(&click);
    }
};

// A timer due again whenever its callback ends (each fire costs `cost`, more than `interval`)
// holds neither the input nor the frames: each pass of the host runs one turn. The tenth fire asks
// the window to close, which only a loop that gets back to its input hears; the fortieth stops the
// timer, so that a loop that turns until the timer is done still ends.
void expectInputAndFramesBesideACostlyTimer(double interval, const std::function<void()>& cost) {
    DummyWindowDriver driver;
    UIApplication::resetSharedApplication();
    RunLoop::main().reset();
    {
        auto host = driver.openWindowHost();
        ASSERT_TRUE(host);
        auto window = UIWindow::make();
        auto view = make<CountingView>(CGRectMake(10, 10, 50, 50));
        window->addSubview(view);
        window->makeKeyAndVisible();
        int fires = 0;
        auto slow = NSTimer::scheduledTimer(interval, true, [&](const std::shared_ptr<NSTimer>& timer) {
            cost();
            view->setNeedsDisplay();
            if (++fires == 10) pushQuit();
            if (fires == 40) timer->invalidate();
        });
        EXPECT_EQ(host->run(), 0);
        EXPECT_GE(fires, 10);
        EXPECT_LE(fires, 12) << "the close waited for more than a turn or two";
        EXPECT_GE(view->draws, 5) << "frames are drawn between the turns";
        slow->invalidate();
    }
    RunLoop::main().reset();
    UIApplication::resetSharedApplication();
    UIScreen::setMainScreen(UIScreen::make());
}

}  // namespace

// A pass that took long in real time (a costly callback, a machine that stalled) moves the virtual
// clock by a tenth of a second at most, so that the passes after it cannot each fall further behind.
TEST(WindowHostLoop, AVirtualClockMovesATenthOfASecondAPassAtMost) {
    DummyWindowDriver driver;
    Clock::useVirtual();
    UIApplication::resetSharedApplication();
    RunLoop::main().reset();
    {
        auto host = driver.openWindowHost();
        ASSERT_TRUE(host);
        std::vector<double> passes;
        bool stalled = false, quit = false;
        auto stall = NSTimer::scheduledTimer(0.02, false, [&](const std::shared_ptr<NSTimer>&) {
            spend(0.35);
            stalled = true;
        });
        auto observer = RunLoop::main().addBeforeWaitingObserver([&] {
            passes.push_back(Clock::now());
            if (stalled && !quit && Clock::now() > passes.front() + 0.5) {
                quit = true;
                pushQuit();
            }
        });
        EXPECT_EQ(host->run(), 0);
        RunLoop::main().removeBeforeWaitingObserver(observer);
        ASSERT_TRUE(stalled);
        double widest = 0;
        for (std::size_t i = 1; i < passes.size(); ++i) widest = std::max(widest, passes[i] - passes[i - 1]);
        EXPECT_LE(widest, 0.1 + 1e-9);
        stall->invalidate();
    }
    RunLoop::main().reset();
    UIApplication::resetSharedApplication();
    Clock::useReal();
    UIScreen::setMainScreen(UIScreen::make());
}

// The ending signals' handlers a case installs go with it: the dispositions the test run started
// with come back, and so do a fresh ending, application and screen.
struct EndingHandlersOfTheCase {
    static constexpr int kEndings[3] = {SIGTERM, SIGINT, SIGHUP};
    struct sigaction before[3]{};
    EndingHandlersOfTheCase() {
        ProgramEnding::resetForTesting();
        for (int i = 0; i < 3; ++i) ::sigaction(kEndings[i], nullptr, &before[i]);
    }
    ~EndingHandlersOfTheCase() {
        for (int i = 0; i < 3; ++i) ::sigaction(kEndings[i], &before[i], nullptr);
        ProgramEnding::resetForTesting();
        UIApplication::resetSharedApplication();
        UIScreen::setMainScreen(UIScreen::make());
    }
};

// A press and its release that wait when SIGTERM asks for the end are read and reach the views,
// though they came after the loop's last wait ended its round of the queue (the program held
// still between its wait and its read): the mark that round left is no end of the input.
TEST(WindowHostLoop, InputWaitingWhenTheEndIsAskedIsTaken) {
    DummyWindowDriver driver;
    UIApplication::resetSharedApplication();
    RunLoop::main().reset();
    EndingHandlersOfTheCase ending;
    {
        auto host = driver.openWindowHost();
        ASSERT_TRUE(host);
        auto touches = std::make_shared<TouchPhases>();
        host->setEventSink(touches);
        SDL_Event e;
        while (SDL_PollEvent(&e)) {
        }
        SDL_WaitEventTimeout(nullptr, 1);  // the loop's wait, which nothing ended
        for (Uint32 type : {SDL_MOUSEBUTTONDOWN, SDL_MOUSEBUTTONUP}) {
            SDL_Event click{};
            click.type = type;
            click.button.button = SDL_BUTTON_LEFT;
            click.button.x = click.button.y = 20;
            SDL_PushEvent(&click);
        }
        ProgramEnding::installSignalHandlers();
        ProgramEnding::loopRunning();
        ::raise(SIGTERM);
        EXPECT_EQ(host->run(), 0);
        EXPECT_EQ(touches->phases, (std::vector<UITouchPhase>{UITouchPhase::Began, UITouchPhase::Ended}));
    }
}

TEST(WindowHostLoop, TakesInputAndDrawsWhileATimerCostsMoreThanItsInterval) {
    {
        SCOPED_TRACE("the real clock");
        Clock::useReal();
        expectInputAndFramesBesideACostlyTimer(0.01, [] { spend(0.015); });
    }
    {
        SCOPED_TRACE("the virtual clock");
        Clock::useVirtual();
        expectInputAndFramesBesideACostlyTimer(0.05, [] { Clock::setVirtualNow(Clock::now() + 0.08); });
        Clock::useReal();
    }
}

// However many exposures wait for a pass, the picture is shown again once.
TEST(WindowHostLoop, TheExposuresAPassReadsAreShownOnce) {
    DummyWindowDriver driver;
    UIApplication::resetSharedApplication();
    RunLoop::main().reset();
    {
        auto host = driver.openWindowHost();
        ASSERT_TRUE(host);
        auto* window = dynamic_cast<WindowHost*>(host.get());
        ASSERT_TRUE(window);
        SDL_Event e;
        while (SDL_PollEvent(&e)) {
        }
        SDL_Event exposed{};
        exposed.type = SDL_WINDOWEVENT;
        exposed.window.event = SDL_WINDOWEVENT_EXPOSED;
        for (int i = 0; i < 50; ++i) SDL_PushEvent(&exposed);
        pushQuit();
        // The start shows the first frame twice: drawn, then handed over whole.
        EXPECT_EQ(host->run(), 0);
        EXPECT_LE(window->picturesShown(), 3);
    }
    RunLoop::main().reset();
    UIApplication::resetSharedApplication();
    UIScreen::setMainScreen(UIScreen::make());
}

// Clicks that keep coming as fast as the loop takes them (each one taken brings the next, as a
// flood another program keeps up) do not hold off SIGTERM: the loop ends with what was waiting
// when the end was asked, long before the flood runs dry.
TEST(WindowHostLoop, InputThatNeverRunsDryGivesWayToTheEnd) {
    DummyWindowDriver driver;
    UIApplication::resetSharedApplication();
    RunLoop::main().reset();
    EndingHandlersOfTheCase ending;
    {
        auto host = driver.openWindowHost();
        ASSERT_TRUE(host);
        auto flood = std::make_shared<EndlessClicks>();
        host->setEventSink(flood);
        for (int i = 0; i < 100; ++i) EndlessClicks::pushClick(i % 2 == 0);
        ProgramEnding::installSignalHandlers();
        ProgramEnding::loopRunning();
        EXPECT_EQ(host->run(), 0);
        EXPECT_GE(flood->phases.size(), 1000u);
        EXPECT_LT(flood->phases.size(), 2000u) << "taken after the end was asked";
    }
}

// A backlog of twenty thousand clicks is taken a few hundred a pass: the turn's timers run, and
// its frame is drawn, between them.
TEST(WindowHostLoop, ABacklogOfInputGivesWayToTheTurnsTimers) {
    DummyWindowDriver driver;
    UIApplication::resetSharedApplication();
    RunLoop::main().reset();
    {
        auto host = driver.openWindowHost();
        ASSERT_TRUE(host);
        auto touches = std::make_shared<TouchPhases>();
        host->setEventSink(touches);
        constexpr std::size_t kBacklog = 20000;
        for (std::size_t i = 0; i < kBacklog; ++i) EndlessClicks::pushClick(i % 2 == 0);
        std::size_t takenWhenDue = 0;
        auto due = NSTimer::scheduledTimer(0, false, [&](const std::shared_ptr<NSTimer>&) {
            takenWhenDue = touches->phases.size();
            pushQuit();
        });
        EXPECT_EQ(host->run(), 0);
        due->invalidate();
        EXPECT_GT(takenWhenDue, 0u);
        EXPECT_LE(takenWhenDue, 1000u) << "the timer waited for the backlog";
    }
    RunLoop::main().reset();
    UIApplication::resetSharedApplication();
    UIScreen::setMainScreen(UIScreen::make());
}
