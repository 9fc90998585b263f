// UIControl events from touches, target-action bookkeeping, and UIButton's per-state content and layout.
#include <gtest/gtest.h>

#include "control_test_support.h"
#include "platform/ui/control/ui_button.h"
#include "platform/ui/gesture/ui_tap_gesture_recognizer.h"

namespace {

struct ControlButtonTest : GestureTouchTest {
    void SetUp() override {
        GestureTouchTest::SetUp();
        button = UIButton::buttonWithType(UIButtonType::System);
        button->setFrame({{100, 100}, {100, 40}});
        window->addSubview(button);
    }
    std::shared_ptr<UIButton> button;
    std::vector<std::string> log;
};

}  // namespace

TEST_F(ControlButtonTest, TouchSequencesBecomeControlEvents) {
    logEvents(*button, log,
              {UIControlEventTouchDown, UIControlEventTouchDragExit, UIControlEventTouchDragEnter,
               UIControlEventTouchUpInside, UIControlEventTouchUpOutside, UIControlEventTouchCancel,
               UIControlEventPrimaryActionTriggered});
    send(1, {150, 120}, UITouchPhase::Began);
    EXPECT_TRUE(button->isHighlighted());
    EXPECT_TRUE(button->isTracking());
    send(1, {150, 120}, UITouchPhase::Ended);
    EXPECT_EQ(log, (std::vector<std::string>{"down", "upIn", "primary"}));
    EXPECT_FALSE(button->isHighlighted());

    // Out past the 70-point slop and back, then up outside.
    log.clear();
    advance(1);
    send(1, {150, 120}, UITouchPhase::Began);
    send(1, {150, 300}, UITouchPhase::Moved);
    EXPECT_FALSE(button->isHighlighted());
    send(1, {150, 180}, UITouchPhase::Moved);  // within the slop: inside again
    send(1, {150, 300}, UITouchPhase::Moved);
    send(1, {150, 300}, UITouchPhase::Ended);
    EXPECT_EQ(log, (std::vector<std::string>{"down", "exit", "enter", "exit", "upOut"}));

    log.clear();
    advance(1);
    send(1, {150, 120}, UITouchPhase::Began);
    send(1, {150, 120}, UITouchPhase::Cancelled);
    EXPECT_EQ(log, (std::vector<std::string>{"down", "cancel"}));
}

TEST_F(ControlButtonTest, AButtonInsideATappableViewSendsOneAction) {
    auto holder = UIView::make(CGRect{{0, 0}, {320, 300}});
    window->addSubview(holder);
    holder->addSubview(button);
    int viewTaps = 0, buttonTaps = 0;
    UIViewAddGestureRecognizer(*holder, UITapGestureRecognizer::make([&](UIGestureRecognizer&) { ++viewTaps; }));
    button->addAction([&](UIControl&) { ++buttonTaps; }, UIControlEventTouchUpInside);
    tap({150, 120});
    EXPECT_EQ(buttonTaps, 1);
    EXPECT_EQ(viewTaps, 0);
    // Disabled, the button lets the tap through to the view's recogniser and sends nothing.
    button->setEnabled(false);
    advance(1);
    tap({150, 120});
    EXPECT_EQ(buttonTaps, 1);
    EXPECT_EQ(viewTaps, 1);
    EXPECT_EQ(button->state(), UIControlStateDisabled);
}

TEST_F(ControlButtonTest, TargetsAreWeakAndActionsMayChangeTheTable) {
    int calls = 0;
    auto target = UIView::make();
    button->addTarget(
        target, [&](UIControl&) { ++calls; }, UIControlEventTouchUpInside);
    std::uint64_t selfRemoving = 0;
    selfRemoving = button->addAction(
        [&](UIControl& c) {
            ++calls;
            c.removeAction(selfRemoving);
            c.removeFromSuperview();
        },
        UIControlEventTouchUpInside);
    button->sendActionsForControlEvents(UIControlEventTouchUpInside);
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(button->numberOfActions(UIControlEventTouchUpInside), 1u);
    target.reset();
    EXPECT_EQ(button->numberOfActions(UIControlEventTouchUpInside), 0u);
    button->sendActionsForControlEvents(UIControlEventTouchUpInside);
    EXPECT_EQ(calls, 2);
    button->addAction([&](UIControl&) { ++calls; }, UIControlEventValueChanged | UIControlEventTouchDown);
    button->removeTarget(nullptr, UIControlEventTouchDown);
    button->sendActionsForControlEvents(UIControlEventTouchDown);
    button->sendActionsForControlEvents(UIControlEventValueChanged);
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(button->addAction(nullptr, UIControlEventTouchDown), 0u);
}

TEST_F(ControlButtonTest, PerStateContentFallsBackToNormal) {
    button->setTitle("Save", UIControlStateNormal);
    button->setTitle("Saving", UIControlStateHighlighted);
    button->setTitleColor(UIColor::redColor(), UIControlStateSelected);
    EXPECT_EQ(button->currentTitle(), "Save");
    EXPECT_EQ(button->titleForState(UIControlStateDisabled), "Save");
    button->setHighlighted(true);
    EXPECT_EQ(button->titleLabel()->text(), "Saving");
    EXPECT_LT(button->titleLabel()->alpha(), 0.5);  // a system button dims while pressed
    button->setHighlighted(false);
    EXPECT_EQ(button->currentTitleColor()->cgColor(), button->tintColor()->cgColor());
    button->setSelected(true);
    EXPECT_TRUE(button->currentTitleColor()->isEqual(*UIColor::redColor()));
    button->setHighlighted(true);  // highlighted and selected: the selected colour
    EXPECT_TRUE(button->currentTitleColor()->isEqual(*UIColor::redColor()));
    auto custom = UIButton::buttonWithType(UIButtonType::Custom);
    EXPECT_TRUE(custom->titleColorForState(UIControlStateNormal)->isEqual(*UIColor::whiteColor()));
    EXPECT_TRUE(custom->titleLabel()->isHidden());
}

TEST_F(ControlButtonTest, ImageAndTitleAreLaidOutByAlignmentAndInsets) {
    auto custom = UIButton::buttonWithType(UIButtonType::Custom);
    custom->setFrame({{0, 0}, {200, 60}});
    custom->setImage(solidImage({20, 20}), UIControlStateNormal);
    custom->setTitle("Go", UIControlStateNormal);
    custom->layoutIfNeeded();
    CGRect image = custom->imageView()->frame();
    CGRect title = custom->titleLabel()->frame();
    EXPECT_EQ(image.size, (CGSize{20, 20}));
    EXPECT_DOUBLE_EQ(CGRectGetMaxX(image), title.origin.x);                              // side by side
    EXPECT_NEAR(image.origin.x + (image.size.width + title.size.width) / 2, 100, 1e-9);  // centred as a block
    EXPECT_DOUBLE_EQ(image.origin.y, 20);

    custom->setContentHorizontalAlignment(UIControlContentHorizontalAlignment::Left);
    custom->setContentEdgeInsets({0, 10, 0, 0});
    custom->setTitleEdgeInsets({0, 5, 0, -5});
    custom->layoutIfNeeded();
    EXPECT_DOUBLE_EQ(custom->imageView()->frame().origin.x, 10);
    EXPECT_DOUBLE_EQ(custom->titleLabel()->frame().origin.x, 35);

    CGSize fit = custom->sizeThatFits({0, 0});
    EXPECT_DOUBLE_EQ(fit.width, std::ceil(20 + title.size.width + 10));
    EXPECT_DOUBLE_EQ(fit.height, std::max<CGFloat>(20, title.size.height));
}
