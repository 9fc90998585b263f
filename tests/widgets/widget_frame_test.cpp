// Frames of the busy widget scene: between two frames only what moves is drawn again; the static
// views' drawn content is reused.
#include <gtest/gtest.h>

#include "platform/dispatch/clock.h"
#include "platform/host/headless_host.h"
#include "platform/ui/app/ui_application.h"
#include "platform/ui/app/ui_window.h"
#include "widget_frame_scene.h"
#include "widget_test_support.h"

namespace {

struct WidgetFrameTest : ::testing::Test {
    void SetUp() override {
        Clock::useVirtual();
        RunLoop::main().reset();
        CAAnimationEngine::reset();
        UIApplication::resetSharedApplication();
        HostOptions options;
        options.kind = HostKind::Headless;
        options.screen = *DeviceModel::named("notched");
        host = std::make_unique<HeadlessHost>(options);
        window = UIWindow::make();
        window->makeKeyAndVisible();
    }
    void TearDown() override {
        window.reset();
        host.reset();
        UIApplication::resetSharedApplication();
        CAAnimationEngine::reset();
        RunLoop::main().reset();
        Clock::useReal();
    }
    std::unique_ptr<HeadlessHost> host;
    std::shared_ptr<UIWindow> window;
};

}  // namespace

TEST_F(WidgetFrameTest, MovingWidgetsDoNotRedrawTheStaticViews) {
    auto scene = buildWidgetFrameScene(window);
    host->step(2);  // the title is scrolling, the rings and the indicator turning
    ASSERT_TRUE(CAAnimationEngine::animationForKey(*scene.title->subLabel()->layer(), "position"));
    for (const auto& t : scene.thumbnails) ASSERT_EQ(t->draws, 1);
    auto textBitmap = scene.title->subLabel()->layer()->backingStore();
    ASSERT_TRUE(textBitmap);
    std::uint64_t frames = host->compositor().frameCount();

    for (int i = 0; i < 3; ++i) host->step(1.0 / 60);
    EXPECT_GT(host->compositor().frameCount(), frames);  // the screen did change
    for (const auto& t : scene.thumbnails) EXPECT_EQ(t->draws, 1);
    EXPECT_EQ(scene.title->subLabel()->layer()->backingStore(), textBitmap);  // the text moves, undrawn
    // Only the moving parts are composited again, not the whole screen.
    double damaged = 0;
    for (const auto& r : host->compositor().lastDamage()) damaged += r.size.width * r.size.height;
    EXPECT_LT(damaged, 0.5 * host->compositor().pixelWidth() * host->compositor().pixelHeight());
}
