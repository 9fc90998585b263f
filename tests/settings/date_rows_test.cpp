// Date and time rows: where the pickers start, the shown moment stored when editing ends, the
// tinted value while the inline picker is open, locale, calendar and zone reaching picker and
// label, and the bounds.
#include "form_test_support.h"
#include "settings/form/form_table_view_date_time_cell.h"

namespace {

// 2024-03-15 20:30:00 UTC and 2024-06-01 00:00:00 UTC.
constexpr double kMarchEvening = 732227400;
constexpr double kJune = 738892800;

// Colours compared as drawn.
bool sameColour(const std::shared_ptr<UIColor>& a, const std::shared_ptr<UIColor>& b) {
    CGColor x = a->cgColor(), y = b->cgColor();
    return std::abs(x.red - y.red) < 1e-3 && std::abs(x.green - y.green) < 1e-3 && std::abs(x.blue - y.blue) < 1e-3;
}

struct DateRowsTest : FormHarness {
    std::shared_ptr<FormDateTimeItem> dateItem(std::optional<double> value) {
        auto item = FormDateTimeItem::itemWithTitle("When", value, std::string("Pick a day"),
                                                    std::string("y-MM-dd HH:mm"), UIDatePickerMode::DateAndTime);
        item->locale = NSLocale::localeWithLocaleIdentifier("en_US");
        item->timeZone = NSTimeZone::timeZoneWithName("UTC");
        return item;
    }
    void tapRow(std::size_t section, std::size_t row) {
        CGRect r = inWindow(cellAt(section, row));
        tap({CGRectGetMidX(r), CGRectGetMidY(r)});
    }
};

}  // namespace

TEST_F(DateRowsTest, TheKeyboardPickerStartsAtTheStartDateTheInlineOneAtNow) {
    auto started = dateItem(std::nullopt);
    started->pickerStartDate = kMarchEvening;
    auto bare = dateItem(std::nullopt);
    auto inlined = dateItem(std::nullopt);
    inlined->pickerStartDate = kMarchEvening;
    inlined->inlineDatePicker = true;
    addSection({started, bare, inlined});
    reload();
    EXPECT_EQ(cellAt<FormTableViewDateTimeCell>(0, 0)->datePicker()->date(), kMarchEvening);
    EXPECT_NEAR(cellAt<FormTableViewDateTimeCell>(0, 1)->datePicker()->date(), Clock::absoluteTime(), 1);
    EXPECT_FALSE(cellAt<FormTableViewDateTimeCell>(0, 0)->placeholderLabel()->isHidden());
    tapRow(0, 2);
    auto open = cellAt<FormTableViewInlineDatePickerCell>(0, 3);
    ASSERT_NE(open, nullptr);
    EXPECT_NEAR(open->datePicker()->date(), Clock::absoluteTime(), 1) << "the start date is not used inline";
}

TEST_F(DateRowsTest, EndingTheEditStoresTheShownMomentEvenWhenThePickerWasNotTurned) {
    auto item = dateItem(std::nullopt);
    item->pickerStartDate = kMarchEvening;
    int changes = 0;
    item->onChange = [&](FormDateTimeItem&) { ++changes; };
    addSection({item});
    reload();
    auto cell = cellAt<FormTableViewDateTimeCell>(0, 0);
    tapRow(0, 0);
    EXPECT_TRUE(cell->textField()->isFirstResponder());
    ASSERT_TRUE(cell->textField()->resignFirstResponder());
    EXPECT_EQ(item->value, kMarchEvening);
    EXPECT_EQ(cell->valueLabel()->text(), "2024-03-15 20:30");
    EXPECT_TRUE(cell->placeholderLabel()->isHidden());
    EXPECT_EQ(changes, 0) << "ending the edit is no change of the user's";
    tapRow(0, 0);
    ASSERT_TRUE(cell->datePicker()->turnWheel(1, 1));
    EXPECT_EQ(item->value, kMarchEvening + 3600);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(cell->valueLabel()->text(), "2024-03-15 21:30");
}

TEST_F(DateRowsTest, TheValueIsTintedWhileTheInlinePickerIsOpen) {
    auto item = dateItem(kMarchEvening);
    item->inlineDatePicker = true;
    addSection({item});
    reload();
    auto grey = FormTableViewDateTimeCell::detailTextLabelColor();
    EXPECT_TRUE(sameColour(cellAt<FormTableViewDateTimeCell>(0, 0)->valueLabel()->textColor(), grey));
    tapRow(0, 0);
    auto cell = cellAt<FormTableViewDateTimeCell>(0, 0);
    EXPECT_TRUE(sameColour(cell->valueLabel()->textColor(), cell->tintColor()));
    // Turning the inline picker refreshes the row above, still tinted.
    auto open = cellAt<FormTableViewInlineDatePickerCell>(0, 1);
    ASSERT_TRUE(open->datePicker()->turnWheel(0, 1));
    settle();
    EXPECT_EQ(item->value, kMarchEvening + 86400);
    cell = cellAt<FormTableViewDateTimeCell>(0, 0);
    EXPECT_EQ(cell->valueLabel()->text(), "2024-03-16 20:30");
    EXPECT_TRUE(sameColour(cell->valueLabel()->textColor(), cell->tintColor()));
    tapRow(0, 0);
    EXPECT_TRUE(sameColour(cellAt<FormTableViewDateTimeCell>(0, 0)->valueLabel()->textColor(), grey));
    EXPECT_EQ(table->numberOfRowsInSection(0), 1u);
}

TEST_F(DateRowsTest, LocaleCalendarAndZoneReachPickerAndLabel) {
    auto item = dateItem(kMarchEvening);
    item->calendar = NSCalendar::calendarWithIdentifier("buddhist");
    item->timeZone = NSTimeZone::timeZoneWithName("Asia/Tokyo");
    item->datePickerMode = UIDatePickerMode::Date;
    addSection({item});
    reload();
    auto cell = cellAt<FormTableViewDateTimeCell>(0, 0);
    EXPECT_EQ(cell->valueLabel()->text(), "2567-03-16 05:30") << "nine hours ahead, in Buddhist years";
    auto picker = cell->datePicker();
    EXPECT_EQ(picker->calendar(), item->calendar);
    EXPECT_EQ(picker->locale(), item->locale);
    EXPECT_EQ(picker->timeZone(), item->timeZone);
    EXPECT_EQ(picker->wheelTitles(), (std::vector<std::string>{"Mar", "16", "2567"}));
}

TEST_F(DateRowsTest, BoundsHoldThePickerAndTheStoredMoment) {
    auto early = dateItem(kMarchEvening);
    early->minimumDate = kJune;
    auto late = dateItem(kJune);
    late->maximumDate = kMarchEvening;
    late->minuteInterval = 15;
    addSection({early, late});
    reload();
    auto cell = cellAt<FormTableViewDateTimeCell>(0, 0);
    EXPECT_EQ(cell->datePicker()->date(), kJune);
    EXPECT_EQ(cell->valueLabel()->text(), "2024-03-15 20:30") << "the stored value is shown until the edit ends";
    tapRow(0, 0);
    ASSERT_TRUE(cell->textField()->resignFirstResponder());
    EXPECT_EQ(early->value, kJune);
    auto capped = cellAt<FormTableViewDateTimeCell>(0, 1)->datePicker();
    EXPECT_EQ(capped->date(), kMarchEvening);
    EXPECT_EQ(capped->minuteInterval(), 15);
}

TEST_F(DateRowsTest, NoTitleShowsABlankAndALeftValue) {
    auto item = dateItem(kMarchEvening);
    item->title = std::nullopt;
    addSection({item});
    reload();
    auto cell = cellAt<FormTableViewDateTimeCell>(0, 0);
    EXPECT_EQ(cell->textLabel()->text(), " ");
    EXPECT_EQ(cell->valueLabel()->textAlignment(), NSTextAlignment::Left);
    item->title = "When";
    reload();
    EXPECT_EQ(cellAt<FormTableViewDateTimeCell>(0, 0)->valueLabel()->textAlignment(), NSTextAlignment::Right);
}
