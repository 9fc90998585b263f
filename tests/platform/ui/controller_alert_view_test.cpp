// The older alert view: numbered buttons, the cancel button, and the index the delegate is told
// once the alert has gone.
#include "controller_test_support.h"
#include "platform/ui/controller/ui_alert_controller.h"
#include "platform/ui/controller/ui_alert_view.h"

namespace {

struct Recorder : UIAlertViewDelegate {
    std::vector<std::string> log;
    std::shared_ptr<UIViewController> root;
    void alertViewDidDismissWithButtonIndex(UIAlertView& alert, long index) override {
        log.push_back(alert.buttonTitleAtIndex(index) + " " + std::to_string(index) +
                      (root->presentedViewController() ? " while shown" : " after dismissal"));
    }
};

struct AlertViewTest : UIHarness {
    void SetUp() override {
        UIHarness::SetUp();
        root = UIViewController::make();
        window->setRootViewController(root);
        recorder->root = root;
    }
    std::shared_ptr<UIViewController> root;
    std::shared_ptr<Recorder> recorder = std::make_shared<Recorder>();
};

TEST_F(AlertViewTest, ButtonsKeepTheirIndicesAndTheChosenOneIsToldAfterDismissal) {
    auto alert = UIAlertView::make("Rate Korva", "Would you?", recorder);
    EXPECT_EQ(alert->addButtonWithTitle("Rate"), 0);
    EXPECT_EQ(alert->addButtonWithTitle("No"), 1);
    EXPECT_EQ(alert->addButtonWithTitle("Later"), 2);
    alert->setCancelButtonIndex(5);
    EXPECT_EQ(alert->cancelButtonIndex(), UIAlertView::kNoButton) << "no such button";
    alert->setCancelButtonIndex(1);
    std::weak_ptr<UIAlertView> weak = alert;
    ASSERT_TRUE(alert->show());
    EXPECT_FALSE(alert->show()) << "already up";
    auto shown = alert->alertController();
    alert.reset();
    ASSERT_FALSE(weak.expired()) << "the alert on screen holds it";
    EXPECT_EQ(root->presentedViewController(), shown);
    EXPECT_EQ(shown->title(), "Rate Korva");
    EXPECT_EQ(shown->message(), "Would you?");
    ASSERT_EQ(shown->actions().size(), 3u);
    EXPECT_EQ(shown->actions()[1]->style(), UIAlertActionStyle::Cancel);
    advance(0.5);

    EXPECT_TRUE(shown->chooseActionWithTitle("Later"));
    shown.reset();
    advance(0.5);
    EXPECT_EQ(recorder->log, std::vector<std::string>{"Later 2 after dismissal"});
    EXPECT_TRUE(weak.expired()) << "gone with its alert";
}

TEST_F(AlertViewTest, DismissingInCodeAnswersLikeAChosenButton) {
    auto alert = UIAlertView::make("Title", "Message", recorder);
    alert->addButtonWithTitle("OK");
    alert->addButtonWithTitle("Cancel");
    alert->setCancelButtonIndex(1);
    ASSERT_TRUE(alert->show());
    advance(0.5);
    alert->dismissWithClickedButtonIndex(7, false);
    EXPECT_TRUE(alert->isVisible());
    alert->dismissWithClickedButtonIndex(1, false);
    settle();
    EXPECT_FALSE(alert->isVisible());
    EXPECT_EQ(recorder->log, std::vector<std::string>{"Cancel 1 after dismissal"});
    alert->dismissWithClickedButtonIndex(0, true);
    settle();
    EXPECT_EQ(recorder->log.size(), 1u);

    // Without a window to show it in, nothing shows.
    window->setRootViewController(nullptr);
    EXPECT_FALSE(UIAlertView::make("T", "M")->show());
}

}  // namespace
