// The older action sheet: buttons numbered as given with the cancel button after them, drawn as
// the platform's sheet, the chosen index told to the delegate once after it goes.
#include "controller_test_support.h"
#include "platform/ui/controller/ui_action_sheet.h"
#include "platform/ui/controller/ui_alert_controller.h"

namespace {

struct Chosen : UIActionSheetDelegate {
    std::vector<long> indexes;
    void actionSheetClickedButtonAtIndex(UIActionSheet&, long i) override { indexes.push_back(i); }
};

}  // namespace

TEST_F(UIHarness, ActionSheetNumbersItsButtonsAndTellsTheChoice) {
    auto root = UIViewController::make();
    window->setRootViewController(root);
    settle();
    auto chosen = std::make_shared<Chosen>();
    auto sheet = UIActionSheet::make("", chosen, std::string("Cancel"), std::vector<std::string>{"One", "Two"});
    EXPECT_EQ(sheet->numberOfButtons(), 3);
    EXPECT_EQ(sheet->cancelButtonIndex(), 2);
    EXPECT_EQ(sheet->buttonTitleAtIndex(0), "One");
    EXPECT_EQ(sheet->buttonTitleAtIndex(7), "");

    ASSERT_TRUE(sheet->showFromToolbar(nullptr));
    EXPECT_FALSE(sheet->showFromToolbar(nullptr)) << "already up";
    advance(1);
    auto drawn = sheet->alertController();
    ASSERT_TRUE(drawn);
    EXPECT_EQ(drawn->preferredStyle(), UIAlertControllerStyle::ActionSheet);
    drawn->chooseActionWithTitle("Two");
    advance(1);
    EXPECT_EQ(chosen->indexes, std::vector<long>{1});
    EXPECT_FALSE(sheet->isVisible());

    ASSERT_TRUE(sheet->showFromToolbar(nullptr));
    advance(1);
    sheet->dismissWithClickedButtonIndex(5, false);  // no such button
    EXPECT_TRUE(sheet->isVisible());
    sheet->dismissWithClickedButtonIndex(sheet->cancelButtonIndex(), false);
    advance(1);
    EXPECT_EQ(chosen->indexes, (std::vector<long>{1, 2}));

    auto bare = UIActionSheet::make("Title", nullptr, std::nullopt, std::vector<std::string>{"Only"});
    EXPECT_EQ(bare->cancelButtonIndex(), UIActionSheet::kNoButton);
}
