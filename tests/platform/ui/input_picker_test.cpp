// Pickers: rows from the data source, user spins reported to the delegate, clamping; the date
// picker's calendar, limits, minute interval and wheels.
#include "controller_test_support.h"
#include "platform/ui/input/ui_date_picker.h"
#include "platform/ui/input/ui_picker_view.h"

namespace {

struct Options : UIPickerViewDataSource, UIPickerViewDelegate {
    std::vector<std::vector<std::string>> columns{{"a", "b", "c"}, {"x", "y"}};
    std::vector<std::pair<std::size_t, std::size_t>> picked;
    std::size_t numberOfComponentsInPickerView(UIPickerView&) override { return columns.size(); }
    std::size_t numberOfRowsInComponent(UIPickerView&, std::size_t c) override { return columns[c].size(); }
    std::string titleForRow(UIPickerView&, std::size_t r, std::size_t c) override { return columns[c][r]; }
    void didSelectRow(UIPickerView&, std::size_t r, std::size_t c) override { picked.push_back({r, c}); }
};

using PickerTest = UIHarness;

TEST_F(PickerTest, PickerSelectsWithinItsRowsAndReportsOnlyUserSpins) {
    auto options = std::make_shared<Options>();
    auto picker = UIPickerView::make(CGRectMake(0, 0, 320, 216));
    picker->setDelegate(options);
    picker->setDataSource(options);
    EXPECT_EQ(picker->numberOfComponents(), 2u);
    picker->selectRow(9, 0, false);
    EXPECT_EQ(picker->selectedRowInComponent(0), 2);
    EXPECT_TRUE(options->picked.empty());
    EXPECT_TRUE(picker->spinToRow(1, 1));
    EXPECT_FALSE(picker->spinToRow(0, 5));
    EXPECT_EQ(options->picked, (std::vector<std::pair<std::size_t, std::size_t>>{{1, 1}}));
    // A reload keeps a selection that still exists and clamps one that does not.
    options->columns[0] = {"only"};
    picker->reloadAllComponents();
    EXPECT_EQ(picker->selectedRowInComponent(0), 0);
    EXPECT_EQ(picker->selectedRowInComponent(1), 1);
    options->columns[1].clear();
    picker->reloadComponent(1);
    EXPECT_EQ(picker->selectedRowInComponent(1), -1);
    EXPECT_EQ(picker->selectedRowInComponent(7), -1);
    EXPECT_EQ(picker->componentAtX(10), 0);
}

TEST_F(PickerTest, DatePickerKeepsToItsLimitsAndReportsUserChanges) {
    auto picker = UIDatePicker::make();
    picker->setDatePickerMode(UIDatePickerMode::Date);
    int changes = 0;
    picker->addAction([&](UIControl&) { ++changes; }, UIControlEventValueChanged);
    DatePickerParts leapDay{2024, 2, 29, 12, 30, 0};
    double date = picker->dateFromParts(leapDay);
    picker->setDate(date);
    EXPECT_EQ(picker->parts(), leapDay);
    EXPECT_EQ(picker->wheelTitles(), (std::vector<std::string>{"Feb", "29", "2024"}));
    EXPECT_EQ(changes, 0);
    // A year on from 29 February lands on the last day of February.
    EXPECT_TRUE(picker->turnWheel(2, 1));
    EXPECT_EQ(picker->parts().month, 2);
    EXPECT_EQ(picker->parts().day, 28);
    EXPECT_EQ(changes, 1);

    picker->setMinimumDate(date);
    picker->setMaximumDate(date + 86400 * 10);
    EXPECT_LE(picker->date(), date + 86400 * 10);
    EXPECT_FALSE(picker->setDateByUser(date + 86400 * 10));
    EXPECT_TRUE(picker->setDateByUser(date - 86400 * 100));
    EXPECT_EQ(picker->date(), date);
    // Limits that contradict each other are not applied.
    picker->setMaximumDate(date - 1);
    EXPECT_TRUE(picker->setDateByUser(date - 86400));
    EXPECT_FALSE(picker->setDateByUser(std::nan("")));

    // Time zone and minute interval.
    picker->setMinimumDate(std::nullopt);
    picker->setMaximumDate(std::nullopt);
    picker->setDatePickerMode(UIDatePickerMode::Time);
    picker->setTimeZoneOffset(3600);
    picker->setDate(picker->dateFromParts({2001, 1, 1, 23, 50, 0}));
    EXPECT_EQ(picker->partsOf(picker->date() - 3600).hour, 22);
    picker->setMinuteInterval(7);
    EXPECT_EQ(picker->minuteInterval(), 1);
    picker->setMinuteInterval(15);
    EXPECT_TRUE(picker->turnWheel(1, 1));
    EXPECT_EQ(picker->parts().minute, 0);
    EXPECT_EQ(picker->parts().hour, 23);
    picker->setDatePickerMode(UIDatePickerMode::CountDownTimer);
    picker->setCountDownDuration(100000);
    EXPECT_EQ(picker->countDownDuration(), 85500);
}

}  // namespace
