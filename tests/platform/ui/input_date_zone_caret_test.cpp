// The date picker in a zone, a locale and a calendar; the caret of text fields and text views;
// scroll views that follow their frame and content size; the collection view controller.
#include <gtest/gtest.h>

#include "controller_test_support.h"
#include "platform/ui/controller/ui_collection_view_controller.h"
#include "platform/ui/input/ui_date_picker.h"
#include "platform/ui/input/ui_text_field.h"
#include "platform/ui/input/ui_text_view.h"

namespace {
// 2024-03-15 20:30:00 UTC.
constexpr double kMarchEvening = 732227400;

struct FollowingScrollView : UIScrollView {
    using UIScrollView::UIScrollView;
    std::vector<std::string> heard;
    void setFrame(CGRect f) override {
        UIScrollView::setFrame(f);
        heard.push_back("frame " + std::to_string(static_cast<int>(frame().size.height)));
    }
    void setContentSize(CGSize s) override {
        UIScrollView::setContentSize(s);
        heard.push_back("content " + std::to_string(static_cast<int>(contentSize().height)));
    }
};
}  // namespace

TEST(DatePickerZoneTest, WheelsShowTheZoneLocaleAndCalendar) {
    auto picker = UIDatePicker::make();
    picker->setDatePickerMode(UIDatePickerMode::DateAndTime);
    picker->setDate(kMarchEvening);
    EXPECT_EQ(picker->wheelTitles(), (std::vector<std::string>{"Mar 15", "20", "30"}));
    picker->setTimeZone(NSTimeZone::timeZoneWithName("Asia/Tokyo"));
    EXPECT_EQ(picker->wheelTitles(), (std::vector<std::string>{"Mar 16", "05", "30"})) << "nine hours ahead";
    picker->setDatePickerMode(UIDatePickerMode::Date);
    picker->setCalendar(NSCalendar::calendarWithIdentifier("buddhist"));
    EXPECT_EQ(picker->wheelTitles().back(), "2567");
    picker->setLocale(NSLocale::localeWithLocaleIdentifier("fi_FI"));
    EXPECT_NE(picker->wheelTitles().front(), "Mar") << "month names in the locale's language";
    // Turning the year wheel of another calendar moves by its years.
    ASSERT_TRUE(picker->turnWheel(2, 1));
    EXPECT_EQ(picker->wheelTitles().back(), "2568");
    picker->setTimeZone(nullptr);
    picker->setTimeZoneOffset(0);
    picker->setCalendar(nullptr);
    picker->setLocale(nullptr);
    picker->setDate(kMarchEvening);
    EXPECT_EQ(picker->wheelTitles(), (std::vector<std::string>{"Mar", "15", "2024"}));
}

TEST(CaretTest, TheCaretFollowsTheTextInFieldsAndViews) {
    auto field = UITextField::make(CGRectMake(0, 0, 200, 30));
    CGRect empty = field->caretRect();
    EXPECT_NEAR(empty.origin.x, 1, 0.01);
    EXPECT_GT(empty.size.height, 10);
    field->setText("Hello");
    EXPECT_GT(field->caretRect().origin.x, empty.origin.x + 20);
    EXPECT_NEAR(CGRectGetMidY(field->caretRect()), 15, 0.5);
    field->setTextAlignment(NSTextAlignment::Right);
    EXPECT_NEAR(field->caretRect().origin.x, 199, 0.01);

    auto view = UITextView::make(CGRectMake(0, 0, 200, 100));
    CGRect first = view->caretRect();
    view->setText("one\n");
    CGRect second = view->caretRect();
    EXPECT_EQ(second.origin.x, first.origin.x);
    EXPECT_GT(second.origin.y, first.origin.y + 10) << "after a line break the caret starts the next line";
    view->setText("one");
    EXPECT_GT(view->caretRect().origin.x, first.origin.x + 10);
}

TEST(ScrollFollowTest, SubclassesHearFrameAndContentSizeChanges) {
    auto scroll = make<FollowingScrollView>(CGRectMake(0, 0, 100, 100));
    scroll->heard.clear();
    scroll->setFrame(CGRectMake(0, 0, 100, 60));
    scroll->setContentSize({100, 400});
    EXPECT_EQ(scroll->heard, (std::vector<std::string>{"frame 60", "content 400"}));
    scroll->setScrollIndicatorInsets({0, 0, 216, 0});
    EXPECT_EQ(scroll->scrollIndicatorInsets().bottom, 216);
}

TEST_F(UIHarness, CollectionViewControllerServesItsOwnCollection) {
    auto controller = UICollectionViewController::make();
    auto collection = controller->collectionView();
    ASSERT_NE(collection, nullptr);
    EXPECT_EQ(controller->view(), collection);
    EXPECT_EQ(collection->collectionViewLayout(), controller->collectionViewLayout());
    EXPECT_EQ(collection->dataSource(), std::static_pointer_cast<UICollectionViewDataSource>(controller));
    EXPECT_EQ(collection->delegate(), std::static_pointer_cast<UICollectionViewDelegate>(controller));
}
