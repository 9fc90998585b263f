// Views: the dimmed tint while an alert is up, accessibility answers and elements, edit actions,
// the general pasteboard, and touches passed on to the next responder.
#include "controller_test_support.h"
#include "platform/ui/app/ui_pasteboard.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/controller/ui_alert_controller.h"
#include "platform/ui/input/text_input_traits.h"
#include "platform/ui/input/ui_text_field.h"
#include "platform/ui/view/ui_accessibility_element.h"

namespace {

class TintWatcher : public UIView {
public:
    KORVA_MAKE(TintWatcher)
    void tintColorDidChange() override { modes.push_back(tintAdjustmentMode()); }
    std::vector<UIViewTintAdjustmentMode> modes;
};

struct ViewServicesTest : UIHarness {};

TEST_F(ViewServicesTest, AnAlertDimsTheTintOfTheScreenBelowUntilItGoes) {
    auto root = UIViewController::make();
    window->setRootViewController(root);
    auto outer = TintWatcher::make();
    auto inner = TintWatcher::make();
    root->view()->addSubview(outer);
    outer->addSubview(inner);
    EXPECT_EQ(inner->tintAdjustmentMode(), UIViewTintAdjustmentMode::Normal);

    auto alert = UIAlertController::make("Title", "Message", UIAlertControllerStyle::Alert);
    auto ok = UIAlertAction::make("OK", UIAlertActionStyle::Default, nullptr);
    alert->addAction(ok);
    ASSERT_TRUE(root->presentViewController(alert, false));
    advance(0.5);
    // Every view in the covered subtree is told, and reads the dimmed mode.
    EXPECT_EQ(outer->modes, (std::vector{UIViewTintAdjustmentMode::Dimmed}));
    EXPECT_EQ(inner->modes, (std::vector{UIViewTintAdjustmentMode::Dimmed}));
    alert->chooseAction(ok);
    advance(0.5);
    EXPECT_EQ(inner->modes, (std::vector{UIViewTintAdjustmentMode::Dimmed, UIViewTintAdjustmentMode::Normal}));
    EXPECT_EQ(inner->tintAdjustmentMode(), UIViewTintAdjustmentMode::Normal);

    // An explicit mode holds against the superview's; a new tint colour is told too.
    inner->setTintAdjustmentMode(UIViewTintAdjustmentMode::Dimmed);
    outer->setTintColor(UIColor::redColor());
    EXPECT_EQ(inner->modes.back(), UIViewTintAdjustmentMode::Dimmed);
    EXPECT_EQ(inner->modes.size(), 4u);
}

TEST_F(ViewServicesTest, AccessibilityOfViewsLabelsAndElements) {
    auto view = UIView::make(CGRectMake(10, 20, 100, 50));
    EXPECT_FALSE(view->isAccessibilityElement());
    EXPECT_EQ(view->accessibilityElementCount(), 0u);
    EXPECT_EQ(view->accessibilityElementAtIndex(0), nullptr);
    EXPECT_EQ(view->indexOfAccessibilityElement(*view), NSNotFound);

    auto label = UILabel::make();
    label->setText("Hello");
    EXPECT_TRUE(label->isAccessibilityElement());
    EXPECT_EQ(label->accessibilityLabel(), "Hello");
    EXPECT_EQ(label->accessibilityTraits(), UIAccessibilityTraitStaticText);
    label->setAccessibilityLabel("Greeting");
    label->setAccessibilityHint("Says hello");
    EXPECT_EQ(label->accessibilityLabel(), "Greeting");
    EXPECT_EQ(label->accessibilityHint(), "Says hello");

    auto element = UIAccessibilityElement::make(std::static_pointer_cast<NSObject>(view));
    element->setAccessibilityTraits(UIAccessibilityTraitLink);
    EXPECT_EQ(element->accessibilityContainer(), view);
    // A view's rectangle on the screen: through its superviews and its window's place.
    window->setFrame(CGRectMake(0, 30, 320, 400));
    window->addSubview(view);
    CGRect onScreen = UIAccessibilityConvertFrameToScreenCoordinates(CGRectMake(1, 2, 3, 4), *view);
    EXPECT_EQ(onScreen, CGRectMake(11, 52, 3, 4));
    view->removeFromSuperview();
    element.reset();
    EXPECT_EQ(UIAccessibilityElement::make(std::shared_ptr<NSObject>())->accessibilityContainer(), nullptr);
}

TEST_F(ViewServicesTest, GeneralPasteboardIsOne) {
    auto general = UIPasteboard::generalPasteboard();
    general->clear();
    EXPECT_FALSE(general->hasStrings());
    UIPasteboard::generalPasteboard()->setString("copied");
    EXPECT_EQ(general->string(), "copied");
    EXPECT_FALSE(UIView::make()->canPerformAction("copy:", nullptr));
    general->clear();
}

class Focusable : public UIView {
public:
    KORVA_MAKE(Focusable)
    bool canBecomeFirstResponder() const override { return true; }
};

TEST_F(ViewServicesTest, PlainViewsThatSaySoHoldTheFocusUntilATextFieldTakesIt) {
    auto plain = UIView::make();
    EXPECT_FALSE(UIViewBecomeFirstResponder(plain));
    auto focusable = Focusable::make();
    auto field = UITextField::make(CGRectMake(0, 0, 100, 30));
    window->addSubview(focusable);
    window->addSubview(field);
    ASSERT_TRUE(UIViewBecomeFirstResponder(focusable));
    EXPECT_TRUE(UIViewIsFirstResponder(*focusable));
    ASSERT_TRUE(field->becomeFirstResponder());
    EXPECT_FALSE(UIViewIsFirstResponder(*focusable));
    // Taking it back makes the field give up the keyboard.
    ASSERT_TRUE(UIViewBecomeFirstResponder(focusable));
    EXPECT_FALSE(field->isFirstResponder());
    UIViewResignFirstResponder(*focusable);
    EXPECT_FALSE(UIViewIsFirstResponder(*focusable));
}

class Receiver : public UIView, public UITouchReceiver {
public:
    KORVA_MAKE(Receiver)
    void touchesBegan(const UITouchSet&, const UIEvent&) override { log.push_back("began"); }
    void touchesMoved(const UITouchSet&, const UIEvent&) override { log.push_back("moved"); }
    void touchesEnded(const UITouchSet&, const UIEvent&) override { log.push_back("ended"); }
    void touchesCancelled(const UITouchSet&, const UIEvent&) override { log.push_back("cancelled"); }
    std::vector<std::string> log;
};

TEST_F(ViewServicesTest, TouchesPassToTheNearestResponderThatHandlesThem) {
    auto receiver = Receiver::make();
    auto plain = UIView::make();
    auto child = Receiver::make();
    receiver->addSubview(plain);
    plain->addSubview(child);
    auto event = UIEvent::make(0.0, UITouchSet{});
    for (auto phase : {UITouchPhase::Began, UITouchPhase::Moved, UITouchPhase::Ended, UITouchPhase::Cancelled})
        UITouchPassToNextResponder(*child, phase, {}, *event);
    EXPECT_EQ(receiver->log, (std::vector<std::string>{"began", "moved", "ended", "cancelled"}));
    EXPECT_TRUE(child->log.empty());
    // With nobody above, nothing happens.
    UITouchPassToNextResponder(*receiver, UITouchPhase::Began, {}, *event);
    EXPECT_EQ(receiver->log.size(), 4u);
}

}  // namespace
