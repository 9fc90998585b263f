// Alerts and action sheets, and the stand-ins for the share sheet, mail and social composers and
// device authentication.
#include "controller_test_support.h"
#include "platform/ui/controller/la_context.h"
#include "platform/ui/controller/mf_mail_compose_view_controller.h"
#include "platform/ui/controller/sl_compose_view_controller.h"
#include "platform/ui/controller/ui_activity_view_controller.h"
#include "platform/ui/controller/ui_alert_controller.h"
#include "platform/ui/input/ui_text_field.h"

namespace {

struct AlertTest : UIHarness {
    std::shared_ptr<UIViewController> root;
    void SetUp() override {
        UIHarness::SetUp();
        root = UIViewController::make();
        window->setRootViewController(root);
    }
};

TEST_F(AlertTest, ChoosingAnActionDismissesThenRunsItsHandlerOnce) {
    std::vector<std::string> log;
    auto alert = UIAlertController::make("Title", "Message", UIAlertControllerStyle::Alert);
    auto ok = UIAlertAction::make("OK", UIAlertActionStyle::Default, [&](UIAlertAction& a) {
        log.push_back("handler " + a.title() + (root->presentedViewController() ? " while shown" : " after dismissal"));
    });
    ASSERT_TRUE(alert->addAction(ok));
    ASSERT_TRUE(alert->addAction(UIAlertAction::make("Cancel", UIAlertActionStyle::Cancel, nullptr)));
    ASSERT_TRUE(root->presentViewController(alert, true));
    advance(0.5);
    EXPECT_TRUE(CGRectContainsRect(window->bounds(), alert->boxFrame()));
    EXPECT_TRUE(alert->chooseAction(ok));
    EXPECT_FALSE(alert->chooseAction(ok));
    EXPECT_TRUE(log.empty());
    advance(0.5);
    EXPECT_EQ(log, (std::vector<std::string>{"handler OK after dismissal"}));
    EXPECT_EQ(root->presentedViewController(), nullptr);
}

TEST_F(AlertTest, AnActionChosenWhileTheAlertAppearsRunsAndTheAlertGoesOnceItHasAppeared) {
    int runs = 0;
    auto alert = UIAlertController::make("Title", "Message", UIAlertControllerStyle::Alert);
    auto ok = UIAlertAction::make("OK", UIAlertActionStyle::Default, [&](UIAlertAction&) { ++runs; });
    ASSERT_TRUE(alert->addAction(ok));
    ASSERT_TRUE(root->presentViewController(alert, true));
    advance(0.05);
    ASSERT_TRUE(alert->isBeingPresented());
    EXPECT_TRUE(alert->chooseAction(ok));
    EXPECT_EQ(runs, 1);
    advance(1);
    EXPECT_EQ(root->presentedViewController(), nullptr) << "the alert stayed with its choice spent";
    EXPECT_EQ(runs, 1);
    // The next alert is shown and answered as usual.
    auto next = UIAlertController::make("Title", "Again", UIAlertControllerStyle::Alert);
    ASSERT_TRUE(next->addAction(UIAlertAction::make("OK", UIAlertActionStyle::Default, nullptr)));
    ASSERT_TRUE(root->presentViewController(next, true));
    advance(0.5);
    EXPECT_TRUE(next->chooseActionWithTitle("OK"));
    advance(0.5);
    EXPECT_EQ(root->presentedViewController(), nullptr);
}

TEST_F(AlertTest, RefusesASecondCancelTextFieldsOnSheetsAndDisabledActions) {
    auto alert = UIAlertController::make("", "Pick", UIAlertControllerStyle::ActionSheet);
    auto cancel = UIAlertAction::make("Cancel", UIAlertActionStyle::Cancel, nullptr);
    EXPECT_TRUE(alert->addAction(cancel));
    EXPECT_FALSE(alert->addAction(UIAlertAction::make("Close", UIAlertActionStyle::Cancel, nullptr)));
    EXPECT_FALSE(alert->addAction(cancel));
    EXPECT_FALSE(alert->addTextField());
    auto del = UIAlertAction::make("Delete", UIAlertActionStyle::Destructive, nullptr);
    del->setEnabled(false);
    EXPECT_TRUE(alert->addAction(del));
    ASSERT_TRUE(root->presentViewController(alert, false));
    EXPECT_FALSE(alert->chooseAction(del));
    EXPECT_FALSE(alert->chooseAction(UIAlertAction::make("Stranger", UIAlertActionStyle::Default, nullptr)));
    // The sheet lists its cancel button last; a tap outside picks it.
    EXPECT_EQ(alert->displayedActions().back(), cancel);
    EXPECT_TRUE(alert->tapOutside());
    advance(0.5);
    EXPECT_EQ(root->presentedViewController(), nullptr);
}

TEST_F(AlertTest, AlertTextFieldsTakeTheKeyboardAndKeepTheirText) {
    auto alert = UIAlertController::make("Name", "", UIAlertControllerStyle::Alert);
    ASSERT_TRUE(alert->addTextField([](UITextField& f) { f.setPlaceholder("Your name"); }));
    std::string seen;
    std::weak_ptr<UIAlertController> weak = alert;
    alert->addAction(UIAlertAction::make("OK", UIAlertActionStyle::Default, [&, weak](UIAlertAction&) {
        if (auto a = weak.lock()) seen = a->textFields()[0]->text();
    }));
    ASSERT_TRUE(root->presentViewController(alert, true));
    advance(0.5);
    ASSERT_TRUE(alert->textFields()[0]->isFirstResponder());
    EXPECT_TRUE(UIKeyboard::shared().type("Ann"));
    // Two actions sit side by side, cancel first (none here): the order is as added.
    EXPECT_TRUE(alert->chooseActionWithTitle("OK"));
    advance(0.5);
    EXPECT_EQ(seen, "Ann");
}

TEST_F(AlertTest, ShareSheetRecordsTheShareAndReportsAfterClosing) {
    UIActivityViewController::clearPerformedShares();
    auto sheet = UIActivityViewController::make(ValueArray{Value("hello")});
    sheet->setValueForKey("subject", Value("Korva"));
    sheet->setExcludedActivityTypes({UIActivityTypeMail});
    std::vector<std::string> results;
    sheet->setCompletionWithItemsHandler(
        [&](const std::string& type, bool completed, const ValueArray&, const std::string&) {
            results.push_back(type + (completed ? " done" : " cancelled"));
        });
    ASSERT_TRUE(root->presentViewController(sheet, false));
    EXPECT_FALSE(sheet->chooseActivity(UIActivityTypeMail));
    EXPECT_TRUE(sheet->chooseActivity(UIActivityTypeCopyToPasteboard));
    EXPECT_FALSE(sheet->cancel());
    advance(0.5);
    EXPECT_EQ(results, (std::vector<std::string>{std::string(UIActivityTypeCopyToPasteboard) + " done"}));
    ASSERT_EQ(UIActivityViewController::performedShares().size(), 1u);
    EXPECT_EQ(UIActivityViewController::performedShares()[0].subject.stringValue(), "Korva");
}

struct MailDelegate : MFMailComposeViewControllerDelegate {
    std::vector<MFMailComposeResult> results;
    std::string error;
    void mailComposeControllerDidFinish(MFMailComposeViewController& c, MFMailComposeResult r,
                                        const std::string& e) override {
        results.push_back(r);
        error = e;
        c.dismissViewControllerAnimated(false);
    }
};

TEST_F(AlertTest, MailComposerSendsOnlyWhenMailIsSetUp) {
    MFMailComposeViewController::clearMailboxes();
    auto delegate = std::make_shared<MailDelegate>();
    MFMailComposeViewController::setMailOpener(nullptr);
    EXPECT_FALSE(MFMailComposeViewController::canSendMail());
    auto mail = MFMailComposeViewController::make();
    mail->setMailComposeDelegate(delegate);
    ASSERT_TRUE(root->presentViewController(mail, false));
    EXPECT_TRUE(mail->send());
    EXPECT_EQ(delegate->results, (std::vector<MFMailComposeResult>{MFMailComposeResult::Failed}));
    EXPECT_FALSE(delegate->error.empty());
    EXPECT_TRUE(MFMailComposeViewController::outbox().empty());
    EXPECT_EQ(root->presentedViewController(), nullptr);

    MFMailComposeViewController::setMailOpener([](const std::string&, auto taken) { taken({}); });
    mail = MFMailComposeViewController::make();
    mail->setMailComposeDelegate(delegate);
    mail->setSubject("Korva Share");
    mail->setMessageBody("text", false);
    mail->addAttachmentData(Bytes{1, 2, 3}, "image/jpeg", "image_1.jpg");
    EXPECT_TRUE(mail->send());
    EXPECT_FALSE(mail->cancel());
    ASSERT_EQ(MFMailComposeViewController::outbox().size(), 1u);
    EXPECT_EQ(MFMailComposeViewController::outbox()[0].attachments[0].fileName, "image_1.jpg");
    MFMailComposeViewController::setMailOpener(nullptr);
}

TEST_F(AlertTest, SocialComposerExistsOnlyForSignedInServices) {
    SLComposeViewController::clearPosts();
    SLComposeViewController::setAvailableServiceTypes({});
    EXPECT_EQ(SLComposeViewController::composeViewControllerForServiceType(SLServiceTypeMicroblog), nullptr);
    SLComposeViewController::setAvailableServiceTypes({SLServiceTypeMicroblog});
    auto post = SLComposeViewController::composeViewControllerForServiceType(SLServiceTypeMicroblog);
    ASSERT_NE(post, nullptr);
    EXPECT_TRUE(post->setInitialText("hi"));
    std::vector<SLComposeViewControllerResult> results;
    post->setCompletionHandler([&](SLComposeViewControllerResult r) { results.push_back(r); });
    ASSERT_TRUE(root->presentViewController(post, false));
    EXPECT_FALSE(post->setInitialText("too late"));
    EXPECT_TRUE(post->postNow());
    advance(0.5);
    EXPECT_EQ(results, (std::vector<SLComposeViewControllerResult>{SLComposeViewControllerResult::Done}));
    ASSERT_EQ(SLComposeViewController::posts().size(), 1u);
    EXPECT_EQ(SLComposeViewController::posts()[0].text, "hi");
    SLComposeViewController::setAvailableServiceTypes({});
}

TEST_F(AlertTest, AuthenticationFollowsTheConfiguredDevice) {
    auto context = LAContext::make();
    LAContext::setStandIn({});
    LAError why{};
    EXPECT_FALSE(context->canEvaluatePolicy(LAPolicy::DeviceOwnerAuthentication, &why));
    EXPECT_EQ(why, LAError::PasscodeNotSet);

    LAContext::setStandIn({true, true, LABiometryType::Face, std::nullopt});
    EXPECT_TRUE(context->canEvaluatePolicy(LAPolicy::DeviceOwnerAuthenticationWithBiometrics));
    EXPECT_EQ(context->biometryType(), LABiometryType::Face);
    std::atomic<int> successes{0}, failures{0};
    std::atomic<bool> onMain{false};
    auto reply = [&](bool ok, std::optional<LAError>) {
        if (RunLoop::isMainThread()) onMain = true;
        (ok ? successes : failures)++;
    };
    context->evaluatePolicy(LAPolicy::DeviceOwnerAuthentication, "Unlock", reply);
    LAContext::setStandIn({true, true, LABiometryType::Face, LAError::UserCancel});
    context->evaluatePolicy(LAPolicy::DeviceOwnerAuthentication, "Unlock", reply);
    context->evaluatePolicy(LAPolicy::DeviceOwnerAuthentication, "", reply);
    RunLoop::main().drainAll();
    EXPECT_EQ(successes.load(), 1);
    EXPECT_EQ(failures.load(), 2);
    EXPECT_FALSE(onMain.load());
    LAContext::setStandIn({});
}

}  // namespace
