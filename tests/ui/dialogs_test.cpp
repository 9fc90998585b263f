// Dialogs: buttons take exactly their own entry off the presented-controller stack, sheet button
// styles and the appended cancel, tablet anchors, prompts, the share sheet, mail, authentication,
// toasts and the settings page.
#include <gtest/gtest.h>

#include "platform/ui/app/ui_application.h"
#include "platform/ui/bar/ui_bar_button_item.h"
#include "platform/ui/controller/la_context.h"
#include "platform/ui/controller/mf_mail_compose_view_controller.h"
#include "platform/ui/controller/sl_compose_view_controller.h"
#include "platform/ui/controller/ui_activity_view_controller.h"
#include "platform/ui/controller/ui_alert_controller.h"
#include "platform/ui/controller/ui_popover_presentation_controller.h"
#include "platform/ui/draw/graphics.h"
#include "platform/ui/input/ui_text_field.h"
#include "tests/ui/ui_test_support.h"
#include "ui/controller/view_controller_dialogs.h"
#include "ui/controller/view_controller_presentation.h"

namespace {

using Style = UIAlertActionStyle;

struct Dialogs : ToolkitTest {
    std::shared_ptr<UIViewController> rootVC = UIViewController::make();
    std::shared_ptr<UIViewController> earlier = UIViewController::make();
    void SetUp() override {
        ToolkitTest::SetUp();
        window->setRootViewController(rootVC);
        global()->lastViewControllers().push_back(earlier);
        settle();
    }
    void TearDown() override {
        MFMailComposeViewController::clearMailboxes();
        MFMailComposeViewController::setMailOpener([](const std::string&, auto taken) { taken({}); });
        LAContext::setStandIn({});
        ToolkitTest::TearDown();
    }
    std::vector<GlobalBase::Controller>& stack() { return global()->lastViewControllers(); }
    void finish() {
        settle();
        advance(1);
    }
    static std::vector<std::pair<std::string, Style>> buttons(const AlertPtr& a) {
        std::vector<std::pair<std::string, Style>> out;
        for (const auto& action : a->actions()) out.emplace_back(action->title(), action->style());
        return out;
    }
};

TEST_F(Dialogs, OKTakesExactlyOneEntryOff) {
    int oks = 0;
    auto a = alert(rootVC, "Saved", [&] { ++oks; });
    EXPECT_EQ(a->title(), "Korva");
    EXPECT_EQ(a->message(), "Saved");
    ASSERT_EQ(stack().size(), 2u);
    finish();
    EXPECT_TRUE(a->chooseActionWithTitle("OK"));
    finish();
    EXPECT_EQ(oks, 1);
    ASSERT_EQ(stack().size(), 1u);
    EXPECT_EQ(stack().back(), earlier);
    finish();
    EXPECT_EQ(rootVC->presentedViewController(), nullptr);
}

TEST_F(Dialogs, ConfirmAndItsButtons) {
    std::string said;
    auto c = confirm(
        rootVC, "Sure?", [&] { said = "yes"; }, nullptr);
    EXPECT_EQ(buttons(c),
              (std::vector<std::pair<std::string, Style>>{{"Yes", Style::Default}, {"No", Style::Default}}));
    finish();
    EXPECT_TRUE(c->chooseActionWithTitle("No"));
    finish();
    EXPECT_EQ(said, "") << "an empty callback is skipped";
    EXPECT_EQ(stack().size(), 1u);
}

TEST_F(Dialogs, SheetButtonTitlesAndStyles) {
    EXPECT_EQ(sheetButtonStyle("d|Delete"), std::make_pair(Style::Destructive, std::string("Delete")));
    EXPECT_EQ(sheetButtonStyle("c|Back"), std::make_pair(Style::Cancel, std::string("Back")));
    EXPECT_EQ(sheetButtonStyle("Close"), std::make_pair(Style::Cancel, std::string("Close")));
    EXPECT_EQ(sheetButtonStyle("Cancel"), std::make_pair(Style::Cancel, std::string("Cancel")));
    EXPECT_EQ(sheetButtonStyle("Close all"), std::make_pair(Style::Default, std::string("Close all")));
    EXPECT_EQ(sheetButtonStyle("cancel"), std::make_pair(Style::Default, std::string("cancel")));

    auto sheet =
        act(rootVC, "m", {{"d|Delete", nullptr}, {"c|Back", nullptr}, {"Close", nullptr}, {"Keep", nullptr}}, nullptr);
    EXPECT_EQ(sheet->preferredStyle(), UIAlertControllerStyle::ActionSheet);
    EXPECT_EQ(sheet->title(), "");
    EXPECT_EQ(buttons(sheet), (std::vector<std::pair<std::string, Style>>{{"Delete", Style::Destructive},
                                                                          {"Back", Style::Cancel},
                                                                          {"Close", Style::Default},
                                                                          {"Keep", Style::Default}}))
        << "one cancel button: every button stays";
}

TEST_F(Dialogs, ShortcutsAppendTheLookedUpCancel) {
    auto ends = act2(rootVC, "m", {"Share", [] {}}, {"Cancel", [] {}}, nullptr);
    EXPECT_EQ(buttons(ends).size(), 2u) << "the last is Cancel already";
    auto starts = act2(rootVC, "m", {"Cancel", [] {}}, {"OK", [] {}}, nullptr);
    EXPECT_EQ(buttons(starts), (std::vector<std::pair<std::string, Style>>{
                                   {"Cancel", Style::Cancel}, {"OK", Style::Default}, {"Peruuta", Style::Default}}));
    auto closing = close1(rootVC, "m", {"Cancel", [] {}}, nullptr);
    EXPECT_EQ(buttons(closing),
              (std::vector<std::pair<std::string, Style>>{{"Cancel", Style::Cancel}, {"Close", Style::Default}}));
    auto closed = close2(rootVC, "m", {"A", [] {}}, {"Close", [] {}}, nullptr);
    EXPECT_EQ(buttons(closed).size(), 2u);
    auto plain = act1(rootVC, "m", {"A", [] {}}, nullptr);
    EXPECT_EQ(buttons(plain).back(), std::make_pair(std::string("Peruuta"), Style::Cancel));
}

TEST_F(Dialogs, AShortcutWithAnEmptyCallbackSkipsIt) {
    auto sheet = act1(rootVC, "m", {"Go", nullptr}, nullptr);
    finish();
    EXPECT_TRUE(sheet->chooseActionWithTitle("Go"));
    finish();
    EXPECT_EQ(stack().size(), 1u);
}

TEST_F(Dialogs, PromptsHandOverTheFieldsText) {
    std::string entered = "-";
    bool cancelled = false;
    auto p = prompt(
        rootVC, "Name?", "name", "old", UIKeyboardType::NumberPad, [&](const std::string& t) { entered = t; },
        [&] { cancelled = true; });
    ASSERT_EQ(p->textFields().size(), 1u);
    auto field = p->textFields().front();
    EXPECT_EQ(field->text(), "old");
    EXPECT_EQ(field->placeholder(), "name");
    EXPECT_EQ(field->traits().keyboardType, UIKeyboardType::NumberPad);
    EXPECT_EQ(field->traits().returnKeyType, UIReturnKeyType::Done);
    EXPECT_EQ(field->traits().autocapitalizationType, UITextAutocapitalizationType::None);
    EXPECT_EQ(field->traits().autocorrectionType, UITextAutocorrectionType::No);
    EXPECT_EQ(field->clearButtonMode(), UITextFieldViewMode::Never);
    finish();
    field->setText("12");
    EXPECT_TRUE(p->chooseActionWithTitle("OK"));
    finish();
    EXPECT_EQ(entered, "12");
    EXPECT_FALSE(cancelled);

    auto plain = prompt(rootVC, "Name?", "name", "x", nullptr, nullptr);
    EXPECT_EQ(plain->textFields().front()->clearButtonMode(), UITextFieldViewMode::Always);
    EXPECT_EQ(buttons(plain).back().first, "Cancel");
}

TEST_F(Dialogs, AFinishedShareSheetLeavesNoEntry) {
    std::optional<bool> completed;
    activity(rootVC, nullptr, "Subject", {Value("text")}, [&](bool done) { completed = done; });
    ASSERT_EQ(stack().size(), 2u);
    finish();
    auto sheet = std::dynamic_pointer_cast<UIActivityViewController>(rootVC->presentedViewController());
    ASSERT_NE(sheet, nullptr);
    auto offered = sheet->activityTypes();
    ASSERT_FALSE(offered.empty());
    EXPECT_TRUE(sheet->chooseActivity(offered.front()));
    finish();
    EXPECT_EQ(completed, true);
    ASSERT_EQ(stack().size(), 1u);
    EXPECT_EQ(stack().back(), earlier) << "someone else's entry stays";
    EXPECT_EQ(UIActivityViewController::performedShares().back().subject.stringValue(), "Subject");
}

TEST_F(Dialogs, MailAttachesEveryImageInOrder) {
    auto picture = [] {
        UIGraphicsBeginImageContextWithOptions({4, 4}, true, 1);
        auto image = UIGraphicsGetImageFromCurrentImageContext();
        UIGraphicsEndImageContext();
        return image;
    };
    MFMailComposeViewController::setMailOpener([](const std::string&, auto taken) { taken({}); });
    mail(rootVC, "body", Images{picture(), picture(), picture()}, nullptr);
    finish();
    auto composer = std::dynamic_pointer_cast<MFMailComposeViewController>(rootVC->presentedViewController());
    ASSERT_NE(composer, nullptr);
    const auto& message = composer->message();
    EXPECT_EQ(message.subject, "Korva Share");
    EXPECT_FALSE(message.bodyIsHTML);
    ASSERT_EQ(message.attachments.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(message.attachments[i].fileName, "image_" + std::to_string(i + 1) + ".jpg");
        EXPECT_EQ(message.attachments[i].mimeType, "image/jpeg");
    }
}

TEST_F(Dialogs, RefusalsShowAnAlert) {
    MFMailComposeViewController::setMailOpener(nullptr);
    mail(rootVC, "body", {}, nullptr);
    SLComposeViewController::setAvailableServiceTypes({});
    twitter(rootVC, "t", {});
    ASSERT_EQ(stack().size(), 3u);
    EXPECT_EQ(std::dynamic_pointer_cast<UIAlertController>(stack()[1])->message(), "Unable to send Mail");
    EXPECT_EQ(std::dynamic_pointer_cast<UIAlertController>(stack()[2])->message(),
              "Login Twitter from Device Settings");
}

TEST_F(Dialogs, AuthenticationPassesWhereItCannotBeEvaluated) {
    LAContext::setStandIn({});
    int passed = 0, failed = 0;
    auth(
        "why", [&] { ++passed; }, [&] { ++failed; });
    EXPECT_EQ(passed, 0) << "on the main queue, later";
    finish();
    EXPECT_EQ(passed, 1);
    EXPECT_EQ(failed, 0);

    LAStandInConfiguration refusing;
    refusing.passcodeSet = true;
    refusing.outcome = LAError::UserCancel;
    LAContext::setStandIn(refusing);
    auth(
        "why", [&] { ++passed; }, [&] { ++failed; });
    RunLoop::main().drainAll();
    EXPECT_EQ(passed, 1);
    EXPECT_EQ(failed, 1);
}

TEST_F(Dialogs, ToastAtTheTopAndTheSettingsPage) {
    const auto before = rootVC->view()->subviews().size();
    toast(rootVC, "Hello");
    settle();
    ASSERT_EQ(rootVC->view()->subviews().size(), before + 1);
    EXPECT_LT(rootVC->view()->subviews().back()->center().y, rootVC->view()->bounds().size.height / 2);
    advance(5);
    advance(1);
    EXPECT_EQ(rootVC->view()->subviews().size(), before) << "gone after its four seconds";

    auto app = UIApplication::sharedApplication();
    app->setURLOpener([](const std::string&) { return true; });
    openDeviceSettings();
    EXPECT_TRUE(app->openedURLs().empty()) << "this host has no settings page to open";
}

using TabletDialogs = TabletToolkitTest;

TEST_F(TabletDialogs, SheetsNeedAnAnchorOnATablet) {
    auto rootVC = UIViewController::make();
    window->setRootViewController(rootVC);
    settle();
    auto centred = act(rootVC, "m", {{"A", nullptr}}, nullptr);
    EXPECT_EQ(centred->preferredStyle(), UIAlertControllerStyle::Alert);
    auto junk = act(rootVC, "m", {{"A", nullptr}}, Value("x").objectAs<NSObject>());
    EXPECT_EQ(junk->preferredStyle(), UIAlertControllerStyle::Alert);
    auto item = UIBarButtonItem::withTitle("Go", UIBarButtonItemStyle::Plain, nullptr);
    auto sheet = act(rootVC, "m", {{"A", nullptr}}, item);
    EXPECT_EQ(sheet->preferredStyle(), UIAlertControllerStyle::ActionSheet);
    ASSERT_NE(sheet->popoverPresentationController(), nullptr);
    EXPECT_EQ(sheet->popoverPresentationController()->barButtonItem(), item);
    EXPECT_EQ(sheet->popoverPresentationController()->permittedArrowDirections(), UIPopoverArrowDirectionAny);
    auto view = UIView::make(CGRectMake(10, 10, 40, 20));
    auto atView = act(rootVC, "m", {{"A", nullptr}}, view);
    EXPECT_EQ(atView->popoverPresentationController()->sourceView(), view);
    EXPECT_EQ(atView->popoverPresentationController()->sourceRect(), view->bounds());
}

}  // namespace
