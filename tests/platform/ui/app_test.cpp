// The application's life cycle, windows on a screen, the compositor's frames and view drawing.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "draw_test_support.h"
#include "platform/dispatch/notification_center.h"
#include "platform/ui/app/compositor.h"
#include "platform/ui/app/ui_application.h"
#include "platform/ui/app/ui_screen.h"
#include "platform/ui/app/ui_window.h"
#include "platform/ui/draw/graphics.h"
#include "platform/ui/layer/ca_gradient_layer.h"
#include "platform/ui/layer/ca_shape_layer.h"

namespace {

struct AppTest : ::testing::Test {
    void SetUp() override {
        UIApplication::resetSharedApplication();
        screen = UIScreen::make(*DeviceModel::named("home-button"));
        UIScreen::setMainScreen(screen);
    }
    void TearDown() override {
        UIScreen::setMainScreen(UIScreen::make());
        UITraitCollection::setCurrentTraitCollection({});
    }
    std::shared_ptr<UIScreen> screen;
};

// A view that paints its bounds with a colour through the current context and counts its draws.
struct Swatch : UIView {
    using UIView::UIView;
    int draws = 0;
    CGColor color = CGColor::rgb(0, 0, 1, 1);
    void drawRect(CGRect rect) override {
        ++draws;
        CGContext* c = UIGraphicsGetCurrentContext();
        ASSERT_NE(c, nullptr);
        c->setFillColorWithColor(color);
        c->fillRect(rect);
    }
};

Rgba8 screenPixel(const Compositor& c, int x, int y) {
    std::uint32_t v = c.pixelAt(x, y);
    return {int(v >> 24), int((v >> 16) & 0xFF), int((v >> 8) & 0xFF), int(v & 0xFF)};
}

}  // namespace

TEST_F(AppTest, LifeCycleStepsHappenInOrderAndOnlyFromTheirState) {
    auto app = UIApplication::sharedApplication();
    std::vector<std::string> seen;
    auto center = NSNotificationCenter::defaultCenter();
    auto token = center->addObserver("", app, nullptr, [&](const auto& n) { seen.push_back(n->name()); });
    struct Delegate : UIApplicationDelegate {
        std::vector<std::string>* log;
        void didBecomeActive(UIApplication&) override { log->push_back("delegate active"); }
        void didEnterBackground(UIApplication&) override { log->push_back("delegate background"); }
    };
    auto delegate = std::make_shared<Delegate>();
    delegate->log = &seen;
    app->setDelegate(delegate);

    EXPECT_FALSE(app->resignActive());  // not launched yet
    EXPECT_TRUE(app->finishLaunching());
    EXPECT_FALSE(app->finishLaunching());
    EXPECT_EQ(app->applicationState(), UIApplicationState::Active);
    app->toggleBackground();
    EXPECT_EQ(app->applicationState(), UIApplicationState::Background);
    EXPECT_FALSE(app->becomeActive());  // must come to the foreground first
    app->toggleBackground();
    EXPECT_EQ(app->applicationState(), UIApplicationState::Active);
    app->receiveMemoryWarning();
    center->removeObserver(token);

    std::vector<std::string> expected = {UIApplicationDidFinishLaunchingNotification,
                                         "delegate active",
                                         UIApplicationDidBecomeActiveNotification,
                                         UIApplicationWillResignActiveNotification,
                                         "delegate background",
                                         UIApplicationDidEnterBackgroundNotification,
                                         UIApplicationWillEnterForegroundNotification,
                                         "delegate active",
                                         UIApplicationDidBecomeActiveNotification,
                                         UIApplicationDidReceiveMemoryWarningNotification};
    EXPECT_EQ(seen, expected);
}

TEST_F(AppTest, KeyWindowIdleTimerAndOpenedURLs) {
    auto app = UIApplication::sharedApplication();
    auto first = UIWindow::make(), second = UIWindow::make();
    EXPECT_TRUE(first->isHidden());
    first->makeKeyAndVisible();
    EXPECT_TRUE(first->isKeyWindow());
    EXPECT_FALSE(first->isHidden());
    second->makeKeyAndVisible();
    EXPECT_FALSE(first->isKeyWindow());
    EXPECT_EQ(app->keyWindow(), second);
    EXPECT_EQ(first->nextResponder(), app);
    EXPECT_EQ(second->frame(), CGRectMake(0, 0, 375, 667));

    auto controller = UIView::make();
    second->setRootViewController(controller);
    EXPECT_EQ(second->rootViewController(), controller);

    app->setIdleTimerDisabled(true);
    EXPECT_TRUE(app->isIdleTimerDisabled());

    bool result = true;
    app->openURL("https://example.org/help", {}, [&](bool ok) { result = ok; });
    EXPECT_FALSE(result);  // no opener installed
    std::vector<std::string> handed;
    app->setURLOpener([&](const std::string& url) {
        handed.push_back(url);
        return true;
    });
    app->openURL("mailto:someone@example.org", {}, [&](bool ok) { result = ok; });
    EXPECT_TRUE(result);
    app->openURL("no scheme here");
    EXPECT_EQ(app->openedURLs().size(), 3u);
    EXPECT_EQ(handed, std::vector<std::string>{"mailto:someone@example.org"});
}

TEST_F(AppTest, ScreenModelsOrientationAndAppearanceReachTheWindows) {
    auto notched = DeviceModel::named("notched");
    ASSERT_TRUE(notched);
    EXPECT_FALSE(DeviceModel::named("nonsense"));
    screen->setModel(*notched);
    auto window = UIWindow::make();
    window->makeKeyAndVisible();
    EXPECT_EQ(window->bounds().size, CGSizeMake(390, 844));
    EXPECT_EQ(window->safeAreaInsets(), UIEdgeInsetsMake(47, 0, 34, 0));
    EXPECT_EQ(UIGraphicsGetMainScreenScale(), 3);
    screen->setOrientation(UIInterfaceOrientation::LandscapeRight);
    EXPECT_EQ(window->bounds().size, CGSizeMake(844, 390));
    EXPECT_EQ(window->safeAreaInsets(), UIEdgeInsetsMake(0, 47, 21, 47));

    // A subview that stays clear of the notch has no inset on that side.
    auto inner = UIView::make(CGRectMake(100, 0, 200, 390));
    window->addSubview(inner);
    EXPECT_EQ(inner->safeAreaInsets(), UIEdgeInsetsMake(0, 0, 21, 0));

    auto dynamic = UIColor::colorWithLight(UIColor::whiteColor(), UIColor::blackColor());
    inner->setBackgroundColor(dynamic);
    EXPECT_EQ(inner->layer()->backgroundColor()->red, 1);
    screen->setUserInterfaceStyle(UIUserInterfaceStyle::Dark);
    EXPECT_EQ(inner->layer()->backgroundColor()->red, 0);
    EXPECT_EQ(UITraitCollection::currentTraitCollection().userInterfaceStyle, UIUserInterfaceStyle::Dark);
    EXPECT_EQ(screen->idiom(), UIUserInterfaceIdiom::Phone);
}

TEST_F(AppTest, CompositorDrawsOnlyWhatChangedAndViewsDrawThroughDrawRect) {
    auto window = UIWindow::make();
    window->setBackgroundColor(UIColor::whiteColor());
    auto swatch = make<Swatch>(CGRectMake(10, 10, 50, 50));
    auto plain = UIView::make(CGRectMake(100, 10, 50, 50));
    plain->setBackgroundColor(UIColor::redColor());
    window->addSubview(swatch);
    window->addSubview(plain);
    window->makeKeyAndVisible();

    Compositor compositor(screen);
    EXPECT_TRUE(compositor.update());
    EXPECT_EQ(compositor.pixelWidth(), 750);
    EXPECT_TRUE(near(screenPixel(compositor, 70, 70), {0, 0, 255, 255}));   // swatch at scale 2
    EXPECT_TRUE(near(screenPixel(compositor, 250, 70), {255, 0, 0, 255}));  // plain view
    EXPECT_TRUE(near(screenPixel(compositor, 500, 500), {255, 255, 255, 255}));
    EXPECT_EQ(swatch->draws, 1);
    EXPECT_EQ(plain->layer()->backingStore(), nullptr) << "a view that does not draw keeps no bitmap";

    EXPECT_FALSE(compositor.update()) << "nothing changed";
    EXPECT_EQ(compositor.frameCount(), 1u);

    plain->setCenter({200, 35});
    EXPECT_TRUE(compositor.update());
    EXPECT_EQ(swatch->draws, 1) << "moving another view does not redraw the swatch";
    EXPECT_TRUE(near(screenPixel(compositor, 350, 70), {255, 0, 0, 255}));
    EXPECT_TRUE(near(screenPixel(compositor, 210, 70), {255, 255, 255, 255})) << "the old place is repainted";
    double damaged = 0;
    for (const auto& r : compositor.lastDamage()) damaged += r.size.width * r.size.height;
    EXPECT_GT(damaged, 0);
    EXPECT_LT(damaged, 750.0 * 1334 / 20) << "only the moved view's old and new places are redrawn";

    swatch->color = CGColor::rgb(0, 1, 0, 1);
    swatch->setNeedsDisplay();
    EXPECT_TRUE(compositor.update());
    EXPECT_EQ(swatch->draws, 2);
    EXPECT_TRUE(near(screenPixel(compositor, 70, 70), {0, 255, 0, 255}));

    window->setHidden(true);
    compositor.update();
    EXPECT_TRUE(near(screenPixel(compositor, 70, 70), {0, 0, 0, 255}));
}

TEST_F(AppTest, LayoutRunsBeforeDrawingAndLayoutSubviewsSeesFinalSizes) {
    struct Panel : UIView {
        std::vector<CGSize> seen;
        void layoutSubviews() override {
            UIView::layoutSubviews();
            seen.push_back(bounds().size);
        }
    };
    auto window = UIWindow::make();
    window->makeKeyAndVisible();
    auto panel = make<Panel>();
    window->addSubview(panel);
    panel->setTranslatesAutoresizingMaskIntoConstraints(false);
    using A = NSLayoutAttribute;
    for (auto a : {A::Left, A::Top, A::Right, A::Bottom})
        window->addConstraint(
            NSLayoutConstraint::constraintWithItem(panel, a, NSLayoutRelation::Equal, window, a, 1, 0));
    Compositor compositor(screen);
    compositor.update();
    ASSERT_FALSE(panel->seen.empty());
    EXPECT_EQ(panel->seen.back(), CGSizeMake(375, 667));
    std::size_t passes = panel->seen.size();
    compositor.update();
    EXPECT_EQ(panel->seen.size(), passes) << "no layout without a change";
    panel->setNeedsLayout();
    compositor.update();
    EXPECT_EQ(panel->seen.size(), passes + 1);
}

TEST_F(AppTest, ViewsLaidOutFromNothingDrawOnceTheyHaveASizeAndStretchUntilRedrawn) {
    auto window = UIWindow::make();
    window->makeKeyAndVisible();
    auto swatch = make<Swatch>();
    window->addSubview(swatch);
    Compositor compositor(screen);
    compositor.update();
    EXPECT_EQ(swatch->draws, 0);
    swatch->setFrame(CGRectMake(0, 0, 20, 20));
    compositor.update();
    EXPECT_EQ(swatch->draws, 1);
    // Scale-to-fill stretches the old drawing; the redraw mode draws again.
    swatch->setFrame(CGRectMake(0, 0, 40, 40));
    compositor.update();
    EXPECT_EQ(swatch->draws, 1);
    EXPECT_TRUE(near(screenPixel(compositor, 70, 70), {0, 0, 255, 255}));
    swatch->setContentMode(UIViewContentMode::Redraw);
    swatch->setFrame(CGRectMake(0, 0, 50, 50));
    compositor.update();
    EXPECT_EQ(swatch->draws, 2);
}

TEST_F(AppTest, RedrawingOnlyTheDamageGivesTheSamePixelsAsAFullRedraw) {
    auto window = UIWindow::make();
    window->setBackgroundColor(UIColor::colorWithWhite(0.9, 1));
    window->makeKeyAndVisible();
    auto card = UIView::make(CGRectMake(40, 40, 120, 80));
    card->setBackgroundColor(UIColor::whiteColor());
    card->layer()->setCornerRadius(12);
    card->layer()->setShadowOpacity(0.6);
    card->layer()->setShadowRadius(6);
    card->layer()->setShadowOffset({0, 5});
    window->addSubview(card);
    auto swatch = make<Swatch>(CGRectMake(10, 10, 30, 30));
    card->addSubview(swatch);
    auto shape = CAShapeLayer::make();  // a zero-sized layer whose path lies outside its bounds
    CGPath path;
    path.addEllipseInRect(CGRectMake(200, 300, 60, 40));
    shape->setPath(path);
    shape->setFillColor(CGColor::rgb(0, 0.5, 0, 1));
    window->layer()->addSublayer(shape);
    auto gradientHost = UIView::make(CGRectMake(0, 500, 375, 60));
    auto gradient = CAGradientLayer::make();
    gradient->setFrame(gradientHost->bounds());
    gradient->setColors({CGColor::rgb(1, 0, 0, 1), CGColor::rgb(0, 0, 1, 1)});
    gradientHost->layer()->addSublayer(gradient);
    window->addSubview(gradientHost);

    Compositor incremental(screen);
    incremental.update();
    auto same = [&](const char* step) {
        Compositor fresh(screen);
        fresh.update();
        ASSERT_EQ(incremental.pixelHeight(), fresh.pixelHeight());
        for (int y = 0; y < fresh.pixelHeight(); ++y) {
            if (std::memcmp(incremental.pixels() + y * incremental.stride(), fresh.pixels() + y * fresh.stride(),
                            4 * static_cast<std::size_t>(fresh.pixelWidth())) == 0)
                continue;
            for (int x = 0; x < fresh.pixelWidth(); ++x)
                if (incremental.pixelAt(x, y) != fresh.pixelAt(x, y)) {
                    ADD_FAILURE() << step << ": first difference at (" << x << ", " << y << ")";
                    return;
                }
        }
    };
    std::vector<std::pair<const char*, std::function<void()>>> steps = {
        {"move the card",
         [&] {
             card->setCenter({200, 200});
         }},
        {"turn the card", [&] { card->setTransform(CGAffineTransformMakeRotation(0.3)); }},
        {"recolour the swatch",
         [&] {
             swatch->color = CGColor::rgb(1, 0.5, 0, 1);
             swatch->setNeedsDisplay();
         }},
        {"grow the shadow", [&] { card->layer()->setShadowRadius(14); }},
        {"move the shape's path",
         [&] {
             CGPath moved;
             moved.addRect(CGRectMake(20, 420, 50, 50));
             shape->setPath(moved);
         }},
        {"fade the gradient", [&] { gradientHost->setAlpha(0.4); }},
        {"hide the card", [&] { card->setHidden(true); }},
        {"show and send back",
         [&] {
             card->setHidden(false);
             window->sendSubviewToBack(card);
         }},
        {"remove the gradient", [&] { gradientHost->removeFromSuperview(); }},
    };
    for (auto& [name, change] : steps) {
        change();
        incremental.update();
        same(name);
    }
}
