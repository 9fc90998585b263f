// The scrolling label: when it scrolls, where home and the far point are, the fade mask, its
// settings; its cycles on the virtual clock: key times, repeats, taps, holding, pausing; and a
// label read from an archive.
#include "widgets/scroll/scroll_label.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "platform/runtime/log.h"
#include "platform/storage/ns_coder.h"
#include "widget_test_support.h"
#include "widgets/scroll/timing_curve_solver.h"

namespace {

const std::string kLongText = "A caption much too long to fit in the title bar of a pop-up";
const CGColor kOpaque = CGColor::rgb(0, 0, 0, 1);
const CGColor kClear = CGColor::rgb(0, 0, 0, 0);

// Counts how often the cycle animations are built.
struct CountingLabel : ScrollLabel {
    explicit CountingLabel(CGRect frame) : ScrollLabel(frame) {}
    int positionBuilds = 0, fadeBuilds = 0;
    std::shared_ptr<CAKeyframeAnimation> keyFrameAnimationForProperty(const std::string& keyPath,
                                                                      std::vector<CAValue> values, double interval,
                                                                      double delay) override {
        ++positionBuilds;
        return ScrollLabel::keyFrameAnimationForProperty(keyPath, std::move(values), interval, delay);
    }
    std::shared_ptr<CAKeyframeAnimation> keyFrameAnimationForGradientFadeLength(double fade, double interval,
                                                                                double delay) override {
        ++fadeBuilds;
        return ScrollLabel::keyFrameAnimationForGradientFadeLength(fade, interval, delay);
    }
};

struct ScrollLabelTest : WidgetTest {
    // A label configured as the title bar configures it, `narrower` points narrower than its text.
    template <class T = ScrollLabel>
    std::shared_ptr<T> titleLabel(CGFloat narrower, unsigned type = ScrollLabelLoopLeft) {
        auto label = make<T>(CGRectMake(0, 0, 100, 20));
        label->setText(kLongText);
        textWidth = label->subLabel()->sizeThatFits({0, 0}).width;
        label->setFrame(CGRectMake(10, 10, textWidth - narrower, 20));
        label->setScrollType(type);
        label->setAnimationCurve(ScrollLabelCurveEaseInOut);
        label->setTrailingBuffer(30);
        label->setFadeLength(10);
        label->setScrollDuration(15);
        root->addSubview(label);
        window->layoutIfNeeded();
        return label;
    }
    static double shownX(const ScrollLabel& label) {
        auto v = CAAnimationEngine::presentedValue(*label.subLabel()->layer(), "position");
        return std::get<CGPoint>(v).x;
    }
    static std::shared_ptr<CAKeyframeAnimation> positionAnimation(const ScrollLabel& label) {
        return std::dynamic_pointer_cast<CAKeyframeAnimation>(
            CAAnimationEngine::animationForKey(*label.subLabel()->layer(), "position"));
    }
    static std::vector<CGColor> maskColors(const ScrollLabel& label) { return label.maskLayer()->colors(); }
    CGFloat textWidth = 0;
};

void expectTimes(const std::vector<double>& actual, const std::vector<double>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < actual.size(); ++i) EXPECT_NEAR(actual[i], expected[i], 1e-12) << "key time " << i;
}

}  // namespace

TEST_F(ScrollLabelTest, LoopLeftGoesAwayByTextPlusGapWithTheCopyBehind) {
    auto label = titleLabel(100);
    EXPECT_TRUE(label->labelShouldScroll());
    EXPECT_EQ(label->homeLabelFrame(), CGRectMake(0, 0, textWidth, 20));
    EXPECT_DOUBLE_EQ(label->awayOffset(), -(30 + textWidth));
    EXPECT_EQ(label->repliLayer()->instanceCount(), 2);
    EXPECT_DOUBLE_EQ(label->repliLayer()->instanceTransform().m41, 30 + textWidth);
    EXPECT_DOUBLE_EQ(label->animationDuration(), 15);
    // By rate: the distance over the rate.
    label->setRate((30 + textWidth) / 15);
    EXPECT_DOUBLE_EQ(label->scrollDuration(), 0);
    EXPECT_NEAR(label->animationDuration(), 15, 1e-9);

    // The back-and-forth type stops with the text's end 30 from the right edge.
    auto back = titleLabel(100, ScrollLabelLeftThenBack);
    EXPECT_DOUBLE_EQ(back->awayOffset(), -130);
    EXPECT_EQ(back->repliLayer()->instanceCount(), 1);
    auto right = titleLabel(100, ScrollLabelRightThenBack);
    EXPECT_DOUBLE_EQ(right->homeLabelFrame().origin.x, -100);
    EXPECT_DOUBLE_EQ(right->awayOffset(), 130);
}

TEST_F(ScrollLabelTest, ScrollsOnlyWhenTheTextIsReallyWiderAndCanMove) {
    auto label = titleLabel(0);  // exactly as wide
    EXPECT_FALSE(label->labelShouldScroll());
    EXPECT_DOUBLE_EQ(label->awayOffset(), 0);
    EXPECT_EQ(label->repliLayer()->instanceCount(), 1);
    EXPECT_EQ(label->maskLayer(), nullptr);  // a label that fits shows no fade
    label->setLeadingBuffer(-1);             // now wider by the buffer, stored as 1
    EXPECT_DOUBLE_EQ(label->leadingBuffer(), 1);
    EXPECT_TRUE(label->labelShouldScroll());

    auto still = titleLabel(100);
    still->setScrollDuration(0);
    EXPECT_FALSE(still->labelShouldScroll());
    still->setLabelize(true);
    EXPECT_FALSE(still->labelShouldScroll());

    // Very long texts are measured at most 5461 points wide.
    auto huge = titleLabel(100);
    huge->setText(std::string(3000, 'W'));
    EXPECT_EQ(huge->homeLabelFrame().size.width, ScrollLabel::kMaxTextWidth);

    // Nil, empty text and zero-width bounds stay still without trouble.
    huge->setText(std::nullopt);
    huge->setText("");
    EXPECT_FALSE(huge->labelShouldScroll());
    huge->setText(kLongText);
    huge->setFrame(CGRectMake(0, 0, 0, 20));
    window->layoutIfNeeded();
    advance(20);
    EXPECT_TRUE(huge->labelShouldScroll());
}

TEST_F(ScrollLabelTest, SettingsAreStoredAsTheLabelDemands) {
    auto label = titleLabel(100);
    label->setAnimationCurve(0x40000);
    EXPECT_EQ(label->animationCurve(), ScrollLabelCurveEaseInOut);
    label->setAnimationCurve(0x20000);
    EXPECT_EQ(label->animationCurve(), 0x20000u);
    label->setNumberOfLines(3);
    EXPECT_EQ(label->numberOfLines(), 1);
    label->setTrailingBuffer(-12);
    EXPECT_DOUBLE_EQ(label->trailingBuffer(), 12);
    EXPECT_DOUBLE_EQ(label->continuousScrollExtraBuffer(), 12);
    EXPECT_DOUBLE_EQ(ScrollLabel::makeWithDuration(CGRectMake(0, 0, 30, 20), 5, 20)->fadeLength(), 15);
    EXPECT_DOUBLE_EQ(ScrollLabel::makeWithRate(CGRectMake(0, 0, 30, 20), 40, 5)->rate(), 40);
    EXPECT_EQ(label->gradientColors().size(), 4u);
}

TEST_F(ScrollLabelTest, LookAndAccessibilityReachTheInnerLabel) {
    auto label = titleLabel(100);
    auto inner = label->subLabel();
    auto red = UIColor::redColor();
    label->setTintColor(red);
    EXPECT_EQ(inner->tintColor(), red);
    EXPECT_EQ(label->tintColor(), red);
    label->setContentMode(UIViewContentMode::Center);
    EXPECT_EQ(inner->contentMode(), UIViewContentMode::Center);
    EXPECT_EQ(label->UIView::contentMode(), UIViewContentMode::Center);
    label->setBaselineAdjustment(UIBaselineAdjustment::AlignCenters);
    EXPECT_EQ(inner->baselineAdjustment(), UIBaselineAdjustment::AlignCenters);
    label->setIsAccessibilityElement(false);
    EXPECT_FALSE(inner->isAccessibilityElement());
    EXPECT_FALSE(label->isAccessibilityElement());
    EXPECT_EQ(label->viewForFirstBaselineLayout(), inner);
    EXPECT_EQ(label->viewForLastBaselineLayout(), inner);
}

namespace {
// Red pixels of a rendered picture within a rectangle.
int redPixels(const CGImage& image, CGRect r) {
    int n = 0;
    for (int y = int(r.origin.y); y < int(CGRectGetMaxY(r)); ++y)
        for (int x = int(r.origin.x); x < int(CGRectGetMaxX(r)); ++x) {
            Rgba8 p = pixelOf(image, x, y);
            n += p.r > 150 && p.g < 90 && p.b < 90;
        }
    return n;
}
}  // namespace

TEST_F(ScrollLabelTest, AnArchivedLabelDrawsItsArchivedTextAndScrollsIt) {
    // An interface file keeps what the platform label keeps.
    auto stored = UILabel::make(CGRectMake(10, 10, 150, 24));
    stored->setText(kLongText);
    stored->setFont(UIFont::boldSystemFontOfSize(15));
    stored->setTextColor(UIColor::redColor());
    stored->setTextAlignment(NSTextAlignment::Center);
    stored->setShadowOffset({1, 2});
    stored->setNumberOfLines(2);
    NSCoder coder;
    stored->encodeWithCoder(coder);

    auto label = makeWithCoder<ScrollLabel>(coder);
    EXPECT_EQ(label->text(), kLongText);
    EXPECT_TRUE(label->font()->isEqual(*stored->font()));
    EXPECT_TRUE(label->textColor()->isEqual(*UIColor::redColor()));
    EXPECT_EQ(label->subLabel()->textAlignment(), NSTextAlignment::Center);
    EXPECT_EQ(label->subLabel()->shadowOffset(), CGSizeMake(1, 2));
    EXPECT_EQ(label->numberOfLines(), 1) << "still one line";
    EXPECT_EQ(label->subLabel()->numberOfLines(), 1);
    EXPECT_TRUE(label->subLabel()->backgroundColor()->isEqual(*UIColor::clearColor()));
    EXPECT_DOUBLE_EQ(label->scrollDuration(), 7);
    root->addSubview(label);
    window->layoutIfNeeded();
    EXPECT_TRUE(label->labelShouldScroll());
    EXPECT_LT(label->awayOffset(), 0);
    auto picture = LayerRenderer::snapshot(*root->layer(), 1);
    ASSERT_TRUE(picture);
    EXPECT_GT(redPixels(*picture, label->frame()), 40) << "the text is drawn";

    // A short caption stays in the middle, as archived.
    stored->setText("Hi");
    NSCoder shortCoder;
    stored->encodeWithCoder(shortCoder);
    auto caption = makeWithCoder<ScrollLabel>(shortCoder);
    caption->setFrame(CGRectMake(10, 50, 150, 24));
    root->addSubview(caption);
    window->layoutIfNeeded();
    EXPECT_FALSE(caption->labelShouldScroll());
    picture = LayerRenderer::snapshot(*root->layer(), 1);
    EXPECT_GT(redPixels(*picture, CGRectMake(60, 50, 50, 24)), 10);
    EXPECT_EQ(redPixels(*picture, CGRectMake(10, 50, 45, 24)), 0);
    EXPECT_EQ(redPixels(*picture, CGRectMake(115, 50, 45, 24)), 0);
}

TEST_F(ScrollLabelTest, WakingHandsEveryLabelSettingOnToTheInnerLabel) {
    // An archived minimum font size reaches the inner label on the coder road.
    auto stored = UILabel::make(CGRectMake(0, 0, 150, 24));
    stored->setMinimumFontSize(9);
    NSCoder coder;
    stored->encodeWithCoder(coder);
    auto archived = makeWithCoder<ScrollLabel>(coder);
    EXPECT_DOUBLE_EQ(archived->subLabel()->minimumFontSize(), 9);

    // Each setting the outer label holds is copied on waking, as set there.
    auto label = ScrollLabel::make(CGRectMake(0, 0, 150, 24));
    auto blue = UIColor::blueColor();
    label->UILabel::setBaselineAdjustment(UIBaselineAdjustment::AlignCenters);
    label->UILabel::setEnabled(false);
    label->UILabel::setHighlighted(true);
    label->UILabel::setHighlightedTextColor(blue);
    label->UILabel::setMinimumFontSize(11);
    label->UILabel::setTextAlignment(NSTextAlignment::Right);
    label->UILabel::setUserInteractionEnabled(true);
    label->UILabel::setAdjustsFontSizeToFitWidth(true);
    label->UILabel::setLineBreakMode(NSLineBreakMode::ByTruncatingHead);
    label->UILabel::setNumberOfLines(3);
    label->UIView::setContentMode(UIViewContentMode::Bottom);
    label->prepareForInterfaceBuilder();
    auto inner = label->subLabel();
    EXPECT_EQ(inner->baselineAdjustment(), UIBaselineAdjustment::AlignCenters);
    EXPECT_FALSE(inner->isEnabled());
    EXPECT_TRUE(inner->isHighlighted());
    EXPECT_EQ(inner->highlightedTextColor(), blue);
    EXPECT_DOUBLE_EQ(inner->minimumFontSize(), 11);
    EXPECT_EQ(inner->textAlignment(), NSTextAlignment::Right);
    EXPECT_TRUE(inner->isUserInteractionEnabled());
    EXPECT_TRUE(inner->adjustsFontSizeToFitWidth());
    EXPECT_EQ(inner->lineBreakMode(), NSLineBreakMode::ByTruncatingHead);
    EXPECT_EQ(inner->numberOfLines(), 3);
    EXPECT_EQ(inner->contentMode(), UIViewContentMode::Bottom);
}

TEST_F(ScrollLabelTest, FadeMaskStopsAndRestingColoursFollowTheSide) {
    auto label = titleLabel(0);
    label->setFrame(CGRectMake(0, 0, 200, 20));
    window->layoutIfNeeded();
    ASSERT_TRUE(label->maskLayer());
    std::vector<CGFloat> expected{0, 0.05, 0.95, 1};
    ASSERT_EQ(label->maskLayer()->locations().size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) EXPECT_NEAR(label->maskLayer()->locations()[i], expected[i], 1e-12);
    // At rest a left-hand label fades only its right edge, a right-hand one only its left edge.
    label->setHoldScrolling(true);
    label->setScrollType(ScrollLabelLeftThenBack);
    EXPECT_EQ(maskColors(*label), (std::vector<CGColor>{kOpaque, kOpaque, kOpaque, kClear}));
    label->setScrollType(ScrollLabelRightOnce);
    EXPECT_EQ(maskColors(*label), (std::vector<CGColor>{kClear, kOpaque, kOpaque, kOpaque}));
}

TEST_F(ScrollLabelTest, BackAndForthCycleWaitsMovesWaitsAndReturns) {
    auto label = titleLabel(100, ScrollLabelLeftThenBack);
    label->setAnimationDelay(1);
    label->restartLabel();
    auto move = positionAnimation(*label);
    ASSERT_TRUE(move);
    EXPECT_DOUBLE_EQ(move->duration(), 32);
    expectTimes(move->keyTimes(), {0, 1.0 / 32, 0.5, 17.0 / 32, 1});
    auto fade = std::dynamic_pointer_cast<CAKeyframeAnimation>(
        CAAnimationEngine::animationForKey(*label->maskLayer(), "gradient"));
    ASSERT_TRUE(fade);
    expectTimes(fade->keyTimes(), {0, 1 / 32.0, 1.4 / 32, 15.6 / 32, 0.5, 17 / 32.0, 17.4 / 32, 31.6 / 32, 1});
    advance(0.9);
    EXPECT_DOUBLE_EQ(shownX(*label), 0);
    advance(15.1);
    EXPECT_NEAR(shownX(*label), -130, 1e-6);  // the far point, waiting
    advance(16.5);
    EXPECT_NEAR(shownX(*label), 0, 1);
    advance(1);  // a new cycle, waiting at home
    EXPECT_TRUE(positionAnimation(*label));
}

TEST_F(ScrollLabelTest, LoopRepeatsEverySixteenSecondsWithTheSameAnimations) {
    auto label = titleLabel<CountingLabel>(100);
    auto move = positionAnimation(*label);
    ASSERT_TRUE(move);
    EXPECT_DOUBLE_EQ(move->duration(), 16);
    expectTimes(move->keyTimes(), {0, 1.0 / 16, 1});
    int builds = label->positionBuilds;
    int fades = label->fadeBuilds;
    advance(8.5);  // half-way through the move
    EXPECT_LT(shownX(*label), -10);
    EXPECT_GT(shownX(*label), label->awayOffset() + 10);
    // The loop fades its leading edge while moving.
    auto colors = std::get<std::vector<CGColor>>(CAAnimationEngine::presentedValue(*label->maskLayer(), "colors"));
    EXPECT_EQ(colors.front().alpha, 0);
    for (int cycle = 0; cycle < 3; ++cycle) advance(16);
    EXPECT_TRUE(positionAnimation(*label));
    EXPECT_EQ(label->positionBuilds, builds);
    EXPECT_EQ(label->fadeBuilds, fades);
}

TEST_F(ScrollLabelTest, TapsStartLoopsAtOnceAndReturningTypesAfterTheirDelay) {
    auto loop = titleLabel(100);
    loop->setTapToScroll(true);
    loop->restartLabel();
    EXPECT_FALSE(positionAnimation(*loop));  // waits for a tap
    loop->labelWasTapped();
    auto move = positionAnimation(*loop);
    ASSERT_TRUE(move);
    expectTimes(move->keyTimes(), {0, 0, 1});
    advance(16);
    EXPECT_FALSE(positionAnimation(*loop));  // one cycle per tap

    auto back = titleLabel(100, ScrollLabelLeftThenBack);
    back->setTapToScroll(true);
    back->labelWasTapped();
    ASSERT_TRUE(positionAnimation(*back));
    EXPECT_DOUBLE_EQ(positionAnimation(*back)->duration(), 32);  // still waits its second at home
}

TEST_F(ScrollLabelTest, HoldingLetsTheCycleEndAndReleasingAtHomeStartsAgain) {
    auto label = titleLabel(100);
    advance(5);
    label->setHoldScrolling(true);
    EXPECT_TRUE(positionAnimation(*label));  // the running cycle finishes
    advance(12);
    EXPECT_FALSE(positionAnimation(*label));
    EXPECT_DOUBLE_EQ(shownX(*label), 0);
    label->setHoldScrolling(false);
    EXPECT_TRUE(positionAnimation(*label));
}

TEST_F(ScrollLabelTest, ALabelTakenOutOfItsWindowStartsNoNewCycle) {
    auto label = titleLabel(100);
    advance(5);
    label->removeFromSuperview();
    EXPECT_FALSE(positionAnimation(*label));
    advance(40);
    EXPECT_FALSE(positionAnimation(*label));
    EXPECT_EQ(label->subLabel()->layer()->presentation(), nullptr);
}

TEST_F(ScrollLabelTest, PauseFreezesTextAndFadeAndResumesAtTheSamePoint) {
    auto label = titleLabel(100);
    label->pauseLabel();  // during the initial delay: at home, nothing to pause
    EXPECT_FALSE(label->isPaused());
    advance(6);
    label->pauseLabel();
    ASSERT_TRUE(label->isPaused());
    double x = shownX(*label);
    advance(5);
    EXPECT_DOUBLE_EQ(shownX(*label), x);
    label->unpauseLabel();
    EXPECT_FALSE(label->isPaused());
    EXPECT_NEAR(shownX(*label), x, 1e-6);
    advance(1);
    EXPECT_LT(shownX(*label), x);
}

TEST_F(ScrollLabelTest, ControllerNotificationsReachOnlyThatControllersLabels) {
    auto label = titleLabel(100);
    ScrollLabel::controllerLabelsShouldLabelize(UIViewController::make());
    EXPECT_FALSE(label->labelize());
    ScrollLabel::controllerLabelsShouldLabelize(controller);
    EXPECT_TRUE(label->labelize());
    EXPECT_FALSE(positionAnimation(*label));
    ScrollLabel::controllerLabelsShouldAnimate(controller);
    EXPECT_FALSE(label->labelize());
    EXPECT_TRUE(positionAnimation(*label));
    ScrollLabel::notifyController(nullptr, kScrollLabelShouldLabelize);  // nothing to post
    EXPECT_FALSE(label->labelize());
}

TEST(TimingCurveSolver, NewtonSolveOnTheNamedCurves) {
    // On the linear curve time and progress agree.
    auto linear = CAMediaTimingFunction::functionWithName(kCAMediaTimingFunctionLinear);
    EXPECT_NEAR(durationPercentageForPositionPercentage(*linear, 0.37, 16), 0.37, 1.0 / 1600);
    auto easeInOut = CAMediaTimingFunction::functionWithName(kCAMediaTimingFunctionEaseInEaseOut);
    EXPECT_NEAR(durationPercentageForPositionPercentage(*easeInOut, 0.5, 16), 0.5, 1e-3);
}

TEST(TimingCurveSolver, AVanishingSlopeStopsAtOnceWithBothLogLines) {
    // y = t^3: at t = 0.0001 the slope (3e-8) is below the limit while y is still off.
    auto flat = controlPoints(*CAMediaTimingFunction::functionWithControlPoints(0.5, 0, 0.5, 0));
    LogCapture log;
    EXPECT_DOUBLE_EQ(solveTForY(1e-4, 1e-12, flat), 1e-4) << "the t it had, not a step through the flat";
    EXPECT_TRUE(log.contains("Newton's Method failure, small/zero derivative!"));
    EXPECT_TRUE(log.contains("Failed to find t for Y input!"));
}

TEST(TimingCurveSolver, WithoutConvergenceTheFifteenthTIsReturned) {
    // y = 3t - 2t^2 (nearly: the cubic part is only rounding) peaks at 1.125 and never comes near 2;
    // the answer is the fifteenth t evaluated, not the step taken after it.
    auto points = controlPoints(*CAMediaTimingFunction::functionWithControlPoints(0.25f, 1, 0.75f, 4.0f / 3));
    std::vector<double> evaluated;
    for (double t = 2; evaluated.size() < 16;) {
        evaluated.push_back(t);
        t -= (YforCurveAt(t, points) - 2) / derivativeYValueForCurveAt(t, points);
    }
    LogCapture log;
    double t = solveTForY(2, 1e-12, points);
    EXPECT_DOUBLE_EQ(t, evaluated[14]);
    EXPECT_NE(t, evaluated[15]);
    EXPECT_TRUE(log.contains("Failed to find t for Y input!"));
    EXPECT_FALSE(log.contains("small/zero derivative")) << "the slope never vanished on this road";
}
