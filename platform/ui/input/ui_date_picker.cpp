// Date picker: calendar arithmetic, limits, wheel turning and drawing.
#include "platform/ui/input/ui_date_picker.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "platform/dispatch/clock.h"
#include "platform/ui/bar/label_drawing.h"
#include "platform/ui/draw/graphics.h"

namespace {
constexpr double kDay = 86400;
// Days from 2001-01-01 to a civil date and back (proleptic Gregorian).
long daysFromCivil(long y, int m, int d) {
    y -= m <= 2;
    long era = (y >= 0 ? y : y - 399) / 400;
    long yoe = y - era * 400;
    long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 730791;  // 730791: days from 0000-03-01 to 2001-01-01
}
void civilFromDays(long z, long& y, int& m, int& d) {
    z += 730791;
    long era = (z >= 0 ? z : z - 146096) / 146097;
    long doe = z - era * 146097;
    long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    y = yoe + era * 400;
    long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    long mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y += m <= 2;
}
int daysInMonth(long y, int m) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return m == 2 && leap ? 29 : days[m - 1];
}
const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
}  // namespace

void UIDatePicker::init() {
    UIControl::init();
    if (frame().size.height == 0) setFrame(CGRect{frame().origin, {frame().size.width, kHeight}});
    // The system's background and band colours, so that the wheels read in the dark appearance too.
    setBackgroundColor(UIColor::systemBackgroundColor());
    date_ = Clock::absoluteTime();
}

void UIDatePicker::setTimeZone(std::shared_ptr<NSTimeZone> zone) {
    zone_ = std::move(zone);
    resetFormatter();
}

void UIDatePicker::setLocale(std::shared_ptr<NSLocale> locale) {
    locale_ = std::move(locale);
    resetFormatter();
}

void UIDatePicker::setCalendar(std::shared_ptr<NSCalendar> calendar) {
    calendar_ = std::move(calendar);
    resetFormatter();
}

void UIDatePicker::resetFormatter() {
    formatter_.reset();
    setNeedsDisplay();
}

std::vector<std::string> UIDatePicker::localisedTitlesFor(double date) const {
    if (!formatter_) {
        formatter_ = std::make_unique<NSDateFormatter>();
        formatter_->setLocaleIdentifier(locale_ ? locale_->localeIdentifier() : "en_US");
        if (calendar_) formatter_->setCalendarIdentifier(calendar_->calendarIdentifier());
    }
    // The zone goes by offset so that a fixed offset and a named zone read alike.
    auto offset = NSTimeZone::timeZoneForSecondsFromGMT(offsetAt(date));
    formatter_->setTimeZoneName(offset ? offset->name() : "UTC");
    auto field = [&](const char* pattern) {
        formatter_->setDateFormat(pattern);
        return formatter_->stringFromDate(date);
    };
    if (mode_ == UIDatePickerMode::Date) return {field("MMM"), field("d"), field("y")};
    std::vector<std::string> out;
    if (mode_ == UIDatePickerMode::DateAndTime) out.push_back(field("MMM d"));
    out.push_back(field("HH"));
    out.push_back(field("mm"));
    return out;
}

DatePickerParts UIDatePicker::partsOf(double date) const {
    double local = date + offsetAt(date);
    double dayIndex = std::floor(local / kDay);
    double secs = local - dayIndex * kDay;
    DatePickerParts p;
    civilFromDays(static_cast<long>(dayIndex), p.year, p.month, p.day);
    long s = static_cast<long>(std::floor(secs));
    p.hour = static_cast<int>(s / 3600);
    p.minute = static_cast<int>(s / 60 % 60);
    p.second = static_cast<int>(s % 60);
    return p;
}

double UIDatePicker::dateFromParts(const DatePickerParts& p) const {
    int day = std::clamp(p.day, 1, daysInMonth(p.year, std::clamp(p.month, 1, 12)));
    double local =
        daysFromCivil(p.year, std::clamp(p.month, 1, 12), day) * kDay + p.hour * 3600.0 + p.minute * 60.0 + p.second;
    return local - offsetAt(local - offsetAt(local));
}

double UIDatePicker::clamp(double d) const {
    // Limits that contradict each other are not applied.
    if (minimum_ && maximum_ && *minimum_ > *maximum_) return d;
    if (minimum_) d = std::max(d, *minimum_);
    if (maximum_) d = std::min(d, *maximum_);
    return d;
}

void UIDatePicker::setDate(double date, bool) {
    if (!std::isfinite(date)) return;
    date_ = clamp(date);
    setNeedsDisplay();
}

void UIDatePicker::setMinimumDate(std::optional<double> d) {
    minimum_ = d;
    date_ = clamp(date_);
    setNeedsDisplay();
}

void UIDatePicker::setMaximumDate(std::optional<double> d) {
    maximum_ = d;
    date_ = clamp(date_);
    setNeedsDisplay();
}

void UIDatePicker::setMinuteInterval(int i) {
    if (i < 1 || i > 30 || 60 % i != 0) return;
    minuteInterval_ = i;
    setNeedsDisplay();
}

void UIDatePicker::setCountDownDuration(double seconds) {
    if (!std::isfinite(seconds)) return;
    double step = 60.0 * minuteInterval_;
    seconds = std::floor(std::clamp(seconds, 0.0, kDay - 1) / step) * step;
    countDown_ = seconds;
    setNeedsDisplay();
}

bool UIDatePicker::setDateByUser(double date) {
    if (!std::isfinite(date)) return false;
    double next = clamp(date);
    if (next == date_) return false;
    date_ = next;
    setNeedsDisplay();
    sendActionsForControlEvents(UIControlEventValueChanged);
    return true;
}

std::vector<std::string> UIDatePicker::titlesFor(double date) const {
    char buf[32];
    std::vector<std::string> out;
    if (mode_ == UIDatePickerMode::CountDownTimer) {
        long mins = static_cast<long>(countDown_ / 60);
        out.push_back(std::to_string(mins / 60) + " hours");
        out.push_back(std::to_string(mins % 60) + " min");
        return out;
    }
    if (locale_ || calendar_) return localisedTitlesFor(date);
    auto p = partsOf(date);
    if (mode_ == UIDatePickerMode::Date) {
        out.push_back(kMonths[p.month - 1]);
        out.push_back(std::to_string(p.day));
        out.push_back(std::to_string(p.year));
        return out;
    }
    if (mode_ == UIDatePickerMode::DateAndTime) {
        std::snprintf(buf, sizeof buf, "%s %d", kMonths[p.month - 1], p.day);
        out.push_back(buf);
    }
    std::snprintf(buf, sizeof buf, "%02d", p.hour);
    out.push_back(buf);
    std::snprintf(buf, sizeof buf, "%02d", p.minute);
    out.push_back(buf);
    return out;
}

std::vector<std::string> UIDatePicker::wheelTitles() const {
    return titlesFor(date_);
}

bool UIDatePicker::turnWheel(std::size_t wheel, long rows) {
    if (rows == 0 || wheel >= wheelTitles().size()) return false;
    if (mode_ == UIDatePickerMode::CountDownTimer) {
        double before = countDown_;
        double delta = wheel == 0 ? rows * 3600.0 : rows * 60.0 * minuteInterval_;
        setCountDownDuration(countDown_ + delta);
        if (countDown_ == before) return false;
        sendActionsForControlEvents(UIControlEventValueChanged);
        return true;
    }
    auto p = parts();
    std::size_t first = mode_ == UIDatePickerMode::DateAndTime ? 1 : 0;
    if (mode_ == UIDatePickerMode::Date && calendar_ && calendar_->calendarIdentifier() != "gregorian") {
        // Months and years of another calendar do not line up with the civil ones.
        static constexpr NSCalendarUnit kUnits[] = {NSCalendarUnit::Month, NSCalendarUnit::Day, NSCalendarUnit::Year};
        return setDateByUser(calendar_->adding(date_, kUnits[wheel], rows));
    }
    if (mode_ == UIDatePickerMode::Date) {
        if (wheel == 0) {
            long m = p.month - 1 + rows;
            p.month = static_cast<int>(((m % 12) + 12) % 12 + 1);
        } else if (wheel == 1) {
            int n = daysInMonth(p.year, p.month);
            p.day = static_cast<int>((((p.day - 1 + rows) % n) + n) % n + 1);
        } else {
            p.year += rows;
        }
        return setDateByUser(dateFromParts(p));
    }
    if (mode_ == UIDatePickerMode::DateAndTime && wheel == 0) return setDateByUser(date_ + rows * kDay);
    if (wheel == first) return setDateByUser(date_ + rows * 3600.0);
    // Minutes move by the interval and land on it.
    int step = minuteInterval_;
    int minute = (p.minute / step) * step;
    long total = ((minute + rows * step) % 60 + 60) % 60;
    p.minute = static_cast<int>(total);
    return setDateByUser(dateFromParts(p));
}

void UIDatePicker::touchesEnded(const UITouchSet& touches, const UIEvent& event) {
    UIControl::touchesEnded(touches, event);
    if (touches.empty() || !isEnabled()) return;
    CGPoint p = touches.front()->locationInView(self<UIView>());
    auto titles = wheelTitles();
    if (titles.empty()) return;
    auto wheel = static_cast<std::size_t>(
        std::clamp<CGFloat>(p.x / (bounds().size.width / titles.size()), 0, static_cast<CGFloat>(titles.size() - 1)));
    long rows = std::lround((p.y - bounds().size.height / 2) / 32);
    turnWheel(wheel, rows);
}

void UIDatePicker::drawRect(CGRect) {
    CGContext* ctx = UIGraphicsGetCurrentContext();
    if (!ctx) return;
    CGRect b = bounds();
    auto titles = wheelTitles();
    if (titles.empty()) return;
    CGFloat w = b.size.width / titles.size();
    CGFloat mid = b.size.height / 2;
    fillRoundedRect(CGRectMake(4, mid - 16, b.size.width - 8, 32), 7, UIColor::systemGray5Color());
    for (std::size_t i = 0; i < titles.size(); ++i)
        drawLabel(titles[i], CGRectMake(i * w, mid - 16, w, 32), UIFont::systemFontOfSize(21),
                  isEnabled() ? UIColor::labelColor() : UIColor::systemGrayColor(), LabelAlignment::Center);
}
