// The date picker: wheels for a date, a time, both, or a count-down duration; kept within its
// minimum and maximum dates; sends a value-changed event when the user turns it. Dates are
// seconds since 2001-01-01 00:00:00 UTC, shown in the picker's time zone (a zone, else a fixed
// offset from UTC) and, when given, in its locale and calendar.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/text/date_formatter.h"
#include "platform/text/ns_calendar.h"
#include "platform/text/ns_locale.h"
#include "platform/text/ns_time_zone.h"
#include "platform/ui/control/ui_control.h"

enum class UIDatePickerMode { Time = 0, Date = 1, DateAndTime = 2, CountDownTimer = 3 };

struct DatePickerParts {
    long year = 2001;
    int month = 1, day = 1, hour = 0, minute = 0, second = 0;
    bool operator==(const DatePickerParts&) const = default;
};

class UIDatePicker : public UIControl {
public:
    KORVA_MAKE(UIDatePicker)
    void init() override;
    static constexpr CGFloat kHeight = 216;

    UIDatePickerMode datePickerMode() const { return mode_; }
    void setDatePickerMode(UIDatePickerMode m) {
        mode_ = m;
        setNeedsDisplay();
    }
    double date() const { return date_; }
    // Programmatic: kept within the limits, no event.
    void setDate(double date, bool animated = false);
    std::optional<double> minimumDate() const { return minimum_; }
    void setMinimumDate(std::optional<double> d);
    std::optional<double> maximumDate() const { return maximum_; }
    void setMaximumDate(std::optional<double> d);
    // Minutes step by this; values that do not divide 60 (or leave 1...30) are ignored.
    int minuteInterval() const { return minuteInterval_; }
    void setMinuteInterval(int i);
    // Count-down mode: seconds, whole minutes of the interval, below 24 hours.
    double countDownDuration() const { return countDown_; }
    void setCountDownDuration(double seconds);
    int timeZoneOffset() const { return tzOffset_; }
    void setTimeZoneOffset(int seconds) {
        tzOffset_ = seconds;
        setNeedsDisplay();
    }
    // A zone replaces the fixed offset; none returns to it.
    std::shared_ptr<NSTimeZone> timeZone() const { return zone_; }
    void setTimeZone(std::shared_ptr<NSTimeZone> zone);
    // The wheels' language and calendar; none gives English names on the Gregorian calendar.
    std::shared_ptr<NSLocale> locale() const { return locale_; }
    void setLocale(std::shared_ptr<NSLocale> locale);
    std::shared_ptr<NSCalendar> calendar() const { return calendar_; }
    void setCalendar(std::shared_ptr<NSCalendar> calendar);

    // The date broken into calendar parts in the picker's time zone, and back.
    DatePickerParts parts() const { return partsOf(date_); }
    DatePickerParts partsOf(double date) const;
    double dateFromParts(const DatePickerParts& p) const;

    // The user turns the picker to a date (kept within the limits): value changed when it moved.
    bool setDateByUser(double date);
    // The user turns one wheel by some rows: wheels are listed by `wheelTitles`.
    bool turnWheel(std::size_t wheel, long rows);
    // The texts of the selected rows, one per wheel.
    std::vector<std::string> wheelTitles() const;

    void touchesEnded(const UITouchSet& touches, const UIEvent& event) override;
    CGSize sizeThatFits(CGSize size) const override { return {size.width, kHeight}; }
    void drawRect(CGRect rect) override;
    std::string className() const override { return "UIDatePicker"; }

protected:
    explicit UIDatePicker(CGRect frame = CGRectZero) : UIControl(frame) {}

private:
    double clamp(double d) const;
    int offsetAt(double date) const { return zone_ ? static_cast<int>(zone_->secondsFromGMTForDate(date)) : tzOffset_; }
    // The wheels in the locale and calendar, when either is set.
    std::vector<std::string> localisedTitlesFor(double date) const;
    void resetFormatter();
    std::vector<std::string> titlesFor(double date) const;

    UIDatePickerMode mode_ = UIDatePickerMode::DateAndTime;
    double date_ = 0;
    std::optional<double> minimum_, maximum_;
    int minuteInterval_ = 1;
    double countDown_ = 0;
    int tzOffset_ = 0;
    std::shared_ptr<NSTimeZone> zone_;
    std::shared_ptr<NSLocale> locale_;
    std::shared_ptr<NSCalendar> calendar_;
    mutable std::unique_ptr<NSDateFormatter> formatter_;
};
