// The rich label under the finger: touches on and off links through real touch delivery, taps
// and long presses to callbacks and the delegate, the extended touch area, dimmed links, copying
// and the accessibility elements of the links.
#include "platform/text/date_formatter.h"
#include "platform/ui/app/ui_pasteboard.h"
#include "rich_label_support.h"
#include "tests/platform/ui/controller_test_support.h"
#include "widgets/rich_label/rich_accessibility_element.h"

namespace {

class TouchLog : public UIView, public UITouchReceiver {
public:
    KORVA_MAKE(TouchLog)
    void touchesBegan(const UITouchSet&, const UIEvent&) override { log.push_back("began"); }
    void touchesMoved(const UITouchSet&, const UIEvent&) override { log.push_back("moved"); }
    void touchesEnded(const UITouchSet&, const UIEvent&) override { log.push_back("ended"); }
    void touchesCancelled(const UITouchSet&, const UIEvent&) override { log.push_back("cancelled"); }
    std::vector<std::string> log;

protected:
    explicit TouchLog(CGRect frame) : UIView(frame) {}
};

constexpr CGPoint kOrigin{10, 100};  // the label's place in the window

struct RichLabelTouch : UIHarness {
    std::shared_ptr<TouchLog> base;
    std::shared_ptr<RichLabel> label;
    std::shared_ptr<RecordingDelegate> delegate = std::make_shared<RecordingDelegate>();

    void SetUp() override {
        UIHarness::SetUp();
        base = TouchLog::make(window->bounds());
        window->addSubview(base);
        label = RichLabel::make(CGRect{kOrigin, {300, 100}});
        label->setFont(UIFont::systemFontOfSize(17));
        label->setNumberOfLines(0);
        label->setVerticalAlignment(RichLabelVerticalAlignment::Top);
        label->setDelegate(delegate);
        base->addSubview(label);
        settle();
    }
    // The middle of a character range, in the window.
    CGPoint middleOf(NSRange range) const {
        CGRect r = label->boundingRectForCharacterRange(range);
        return {kOrigin.x + CGRectGetMidX(r), kOrigin.y + CGRectGetMidY(r)};
    }
    static void send(CGPoint p, UITouchPhase phase) {
        UITouchDispatcher::shared()->touchEvent({Clock::now(), {{7, p, phase}}});
    }
    bool pressedLook(std::size_t index) const {
        auto c = label->attributedText()->attributeAtIndex(kCTForegroundColorAttributeName, index).objectAs<UIColor>();
        return c && c->isEqual(*UIColor::redColor());
    }
};

TEST_F(RichLabelTouch, ATouchOffEveryLinkGoesToTheBaseAtEachPhase) {
    label->setText("Go to korva now");
    label->addLinkToURL(NSURL::URLWithString("https://korva.fi"), {6, 5});
    auto before = label->attributedText();
    CGPoint off = middleOf({0, 2});
    send(off, UITouchPhase::Began);
    send({off.x + 3, off.y}, UITouchPhase::Moved);
    send({off.x + 3, off.y}, UITouchPhase::Ended);
    send(off, UITouchPhase::Began);
    send(off, UITouchPhase::Cancelled);
    EXPECT_EQ(base->log, (std::vector<std::string>{"began", "moved", "ended", "began", "cancelled"}));
    EXPECT_TRUE(label->attributedText()->isEqualToAttributedString(*before));
    EXPECT_TRUE(delegate->events.empty());
}

TEST_F(RichLabelTouch, PressDragOffAndBackThenLiftSendsNothing) {
    label->setText("Go to korva now");
    label->addLinkToURL(NSURL::URLWithString("https://korva.fi"), {6, 5});
    CGPoint on = middleOf({6, 5});
    send(on, UITouchPhase::Began);
    EXPECT_TRUE(pressedLook(7));
    EXPECT_TRUE(label->activeLink());
    send({on.x, on.y + 60}, UITouchPhase::Moved);
    EXPECT_FALSE(pressedLook(7));
    EXPECT_FALSE(label->activeLink());
    send(on, UITouchPhase::Moved);  // back onto the link: not pressed again
    EXPECT_FALSE(pressedLook(7));
    send(on, UITouchPhase::Ended);
    EXPECT_TRUE(delegate->events.empty());
    // Once released, the rest of the touch is the base's.
    EXPECT_EQ(base->log, (std::vector<std::string>{"moved", "ended"}));

    // A plain tap sends the link's address.
    tap(on);
    EXPECT_EQ(delegate->events, (std::vector<std::string>{"url https://korva.fi"}));
    EXPECT_FALSE(pressedLook(7));
}

TEST_F(RichLabelTouch, TapCallbackReplacesTheDelegateAndMaySetText) {
    label->setText("Go to korva now");
    auto link = label->addLinkToURL(NSURL::URLWithString("https://korva.fi"), {6, 5});
    int calls = 0;
    link->setLinkTapBlock([&](RichLabel& l, RichLabelLink&) {
        ++calls;
        l.setText("Tapped");
    });
    tap(middleOf({6, 5}));
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(delegate->events.empty());
    EXPECT_EQ(label->text(), "Tapped");
}

TEST_F(RichLabelTouch, DateLinksGoToTheMostSpecificOperationTheDelegateAnswers) {
    label->setText("Meet on Friday at noon");
    label->addLinkToDate(800000000, "Europe/Helsinki", 3600, {8, 6});
    CGPoint on = middleOf({8, 6});
    tap(on);
    delegate->dateZone = false;
    tap(on);
    delegate->date = false;
    tap(on);
    delegate->any = false;
    tap(on);  // answers nothing: only the pressed state clears
    EXPECT_EQ(delegate->events, (std::vector<std::string>{"date Europe/Helsinki 3600", "date", "result 8"}));
    EXPECT_FALSE(label->activeLink());
}

TEST_F(RichLabelTouch, LongPressOnALinkAfterItsDuration) {
    label->setText("Go to korva now");
    auto link = label->addLinkToURL(NSURL::URLWithString("https://korva.fi"), {6, 5});
    CGPoint on = middleOf({6, 5});
    send(on, UITouchPhase::Began);
    advance(0.6);
    send(on, UITouchPhase::Ended);
    settle();
    EXPECT_EQ(delegate->events, (std::vector<std::string>{"long url"}));
    int presses = 0;
    link->setLinkLongPressBlock([&](RichLabel&, RichLabelLink&) { ++presses; });
    send(on, UITouchPhase::Began);
    advance(0.6);
    send(on, UITouchPhase::Ended);
    settle();
    EXPECT_EQ(presses, 1);
    EXPECT_EQ(delegate->events.size(), 1u);
}

TEST_F(RichLabelTouch, FindingLinksOverlapsEdgesAndTransparency) {
    label->setText("Go to korva now");
    auto whole = label->addLinkToURL(NSURL::URLWithString("https://a.fi"), {0, 15});
    auto inner = label->addLinkToURL(NSURL::URLWithString("https://b.fi"), {6, 5});
    EXPECT_EQ(label->linkAtCharacterIndex(7), inner);  // the last added wins
    EXPECT_EQ(label->linkAtCharacterIndex(2), whole);
    EXPECT_EQ(label->linkAtCharacterIndex(15), nullptr);
    EXPECT_EQ(label->linkAtCharacterIndex(NSNotFound), nullptr);

    CGFloat row = label->boundingRectForCharacterRange({0, 1}).origin.y + 8;
    EXPECT_EQ(label->linkAtPoint({-14, row}), nullptr);
    label->setExtendsLinkTouchArea(true);
    EXPECT_EQ(label->linkAtPoint({-14, row}), whole);
    EXPECT_EQ(label->linkAtPoint({-16, row}), nullptr);

    CGPoint on = {CGRectGetMidX(label->boundingRectForCharacterRange({6, 5})), row};
    EXPECT_EQ(label->hitTest(on), label);
    label->setAlpha(0.005);
    EXPECT_EQ(label->hitTest(on), nullptr);  // as the platform label: too transparent to touch
    label->setAlpha(1);
    label->setUserInteractionEnabled(false);
    EXPECT_EQ(label->hitTest(on), nullptr);
}

TEST_F(RichLabelTouch, CharacterIndexFollowsTheAlignment) {
    label->setText("abc");
    CGFloat width = label->sizeThatFits({300, 0}).width;
    CGFloat y = 8;
    label->setTextAlignment(NSTextAlignment::Center);
    label->setText("abc");
    EXPECT_EQ(label->characterIndexAtPoint({150, y}), 1u);
    EXPECT_EQ(label->characterIndexAtPoint({5, y}), NSNotFound);
    label->setTextAlignment(NSTextAlignment::Right);
    label->setText("abc");
    EXPECT_EQ(label->characterIndexAtPoint({298, y}), 2u);
    EXPECT_EQ(label->characterIndexAtPoint({300 - width - 5, y}), NSNotFound);
    EXPECT_EQ(label->characterIndexAtPoint({150, 95}), NSNotFound);  // below the text
    EXPECT_EQ(label->characterIndexAtPoint({-1, y}), NSNotFound);
}

TEST_F(RichLabelTouch, DimmedTintSwapsTheLinkLooks) {
    label->setText("Go to korva now");
    label->addLinkToURL(NSURL::URLWithString("https://korva.fi"), {6, 5});
    label->setTintAdjustmentMode(UIViewTintAdjustmentMode::Dimmed);
    auto dimmed = label->attributedText()->attributesAtIndex(7);
    EXPECT_TRUE(dimmed.get(kCTForegroundColorAttributeName).objectAs<UIColor>()->isEqual(*UIColor::grayColor()));
    EXPECT_FALSE(dimmed.get(kCTUnderlineStyleAttributeName).boolValue());
    label->setTintAdjustmentMode(UIViewTintAdjustmentMode::Normal);
    auto normal = label->attributedText()->attributesAtIndex(7);
    EXPECT_TRUE(normal.get(kCTForegroundColorAttributeName).objectAs<UIColor>()->isEqual(*UIColor::blueColor()));
    EXPECT_TRUE(normal.get(kCTUnderlineStyleAttributeName).boolValue());
}

TEST_F(RichLabelTouch, CopyPutsThePlainTextOnThePasteboard) {
    label->setText("Copy me");
    EXPECT_TRUE(label->canBecomeFirstResponder());
    EXPECT_TRUE(label->canPerformAction("copy:", nullptr));
    EXPECT_FALSE(label->canPerformAction("paste:", nullptr));
    label->copy(nullptr);
    EXPECT_EQ(UIPasteboard::generalPasteboard()->string(), "Copy me");
    UIPasteboard::generalPasteboard()->clear();
}

TEST_F(RichLabelTouch, OneAccessibilityElementPerLinkThenTheWholeLabel) {
    label->setText("Web korva.fi or call 555 0100 on Friday");
    label->addLinkToURL(NSURL::URLWithString("https://korva.fi"), {4, 8});
    label->addLinkToPhoneNumber("555 0100", {21, 8});
    EXPECT_FALSE(label->isAccessibilityElement());
    ASSERT_EQ(label->accessibilityElementCount(), 3u);
    auto first = std::dynamic_pointer_cast<RichAccessibilityElement>(label->accessibilityElementAtIndex(0));
    auto second = std::dynamic_pointer_cast<RichAccessibilityElement>(label->accessibilityElementAtIndex(1));
    auto last = std::dynamic_pointer_cast<RichAccessibilityElement>(label->accessibilityElementAtIndex(2));
    ASSERT_TRUE(first && second && last);
    EXPECT_EQ(first->accessibilityLabel(), "korva.fi");
    EXPECT_EQ(first->accessibilityValue(), "https://korva.fi");
    EXPECT_EQ(first->accessibilityTraits(), UIAccessibilityTraitLink);
    EXPECT_EQ(second->accessibilityLabel(), "555 0100");
    EXPECT_FALSE(second->accessibilityValue());  // the same as its label
    EXPECT_EQ(last->accessibilityLabel(), label->text());
    EXPECT_EQ(last->boundingRect(), label->bounds());
    EXPECT_EQ(label->indexOfAccessibilityElement(*second), 1u);
    EXPECT_EQ(label->accessibilityElementAtIndex(3), nullptr);
    // On the screen: the label's place in the window.
    EXPECT_NEAR(first->accessibilityFrame().origin.x, kOrigin.x + first->boundingRect().origin.x, 1e-6);

    auto date = label->addLinkToDate(800000000, {33, 6});
    EXPECT_EQ(label->accessibilityElementCount(), 4u);
    NSDateFormatter formatter;
    formatter.setDateStyle(NSDateFormatterStyle::Long);
    formatter.setTimeStyle(NSDateFormatterStyle::Long);
    EXPECT_EQ(date->accessibilityValue(), formatter.stringFromDate(800000000));
    // A value set by the caller stays.
    date->setAccessibilityValue("the party");
    EXPECT_EQ(date->accessibilityValue(), "the party");
}

}  // namespace
