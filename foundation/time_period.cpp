// TimePeriod: relations, gaps and moves by calendar units.
#include "foundation/time_period.h"

#include "foundation/date_tools.h"

namespace {

constexpr double kDistantPast = -63114076800.0;   // 0001-01-01
constexpr double kDistantFuture = 63113904000.0;  // 4001-01-01

double moved(TimePeriodSize size, std::int64_t amount, double base) {
    switch (size) {
        case 0: return DateExtras::dateByAddingSeconds(base, amount);
        case 1: return DateExtras::dateByAddingMinutes(base, amount);
        case 2: return DateExtras::dateByAddingHours(base, amount);
        case 3: return DateExtras::dateByAddingDays(base, amount);
        case 4: return DateExtras::dateByAddingWeeks(base, amount);
        case 5: return DateExtras::dateByAddingMonths(base, amount);
        case 6: return DateExtras::dateByAddingYears(base, amount);
        default: return base;
    }
}

}  // namespace

double spanDuration(const std::optional<double>& start, const std::optional<double>& end, unsigned unit) {
    if (!start || !end) return 0;
    switch (unit) {
        case 0: return static_cast<double>(DateExtras::yearsEarlierThan(*start, *end));
        case 1: return static_cast<double>(DateExtras::weeksEarlierThan(*start, *end));
        case 2: return static_cast<double>(DateExtras::daysEarlierThan(*start, *end));
        case 3: return DateExtras::hoursEarlierThan(*start, *end);
        case 4: return DateExtras::minutesEarlierThan(*start, *end);
        default: return DateExtras::secondsEarlierThan(*start, *end);
    }
}

double TimePeriod::dateWithAddedTime(TimePeriodSize size, std::int64_t amount, double base) {
    return moved(size, amount, base);
}
double TimePeriod::dateWithSubtractedTime(TimePeriodSize size, std::int64_t amount, double base) {
    return moved(size, -amount, base);
}

std::shared_ptr<TimePeriod> TimePeriod::timePeriodWithSize(TimePeriodSize size, std::int64_t amount,
                                                           double startingAt) {
    return make(startingAt, dateWithAddedTime(size, amount, startingAt));
}

std::shared_ptr<TimePeriod> TimePeriod::timePeriodWithSizeEndingAt(TimePeriodSize size, std::int64_t amount,
                                                                   double endingAt) {
    return make(dateWithSubtractedTime(size, amount, endingAt), endingAt);
}

std::shared_ptr<TimePeriod> TimePeriod::timePeriodWithAllTime() {
    return make(kDistantPast, kDistantFuture);
}

double TimePeriod::durationInYears() const {
    return spanDuration(start_, end_, 0);
}
double TimePeriod::durationInWeeks() const {
    return spanDuration(start_, end_, 1);
}
double TimePeriod::durationInDays() const {
    return spanDuration(start_, end_, 2);
}
double TimePeriod::durationInHours() const {
    return spanDuration(start_, end_, 3);
}
double TimePeriod::durationInMinutes() const {
    return spanDuration(start_, end_, 4);
}
double TimePeriod::durationInSeconds() const {
    return spanDuration(start_, end_, 5);
}

bool TimePeriod::isEqualToPeriod(const TimePeriod& p) const {
    return start_ == p.start_ && end_ == p.end_;
}

// Comparisons with a missing date are false, as comparisons with nothing are on the platform.
bool TimePeriod::isInside(const TimePeriod& p) const {
    return p.start_ && p.end_ && start_ && end_ && *p.start_ <= *start_ && *p.end_ >= *end_;
}

bool TimePeriod::contains(const TimePeriod& p) const {
    return p.start_ && p.end_ && start_ && end_ && *start_ <= *p.start_ && *end_ >= *p.end_;
}

bool TimePeriod::overlapsWith(const TimePeriod& p) const {
    if (!p.start_ || !p.end_ || !start_ || !end_) return false;
    double ps = *p.start_, pe = *p.end_, s = *start_, e = *end_;
    return (ps < s && pe > s) || (ps >= s && pe <= e) || (ps < e && pe > e);
}

bool TimePeriod::intersects(const TimePeriod& p) const {
    if (!p.start_ || !p.end_ || !start_ || !end_) return false;
    double ps = *p.start_, pe = *p.end_, s = *start_, e = *end_;
    return (ps < s && pe >= s) || (ps >= s && pe <= e) || (ps <= e && pe > e);
}

TimePeriodRelation TimePeriod::relationToPeriod(const TimePeriod& p) const {
    if (!p.start_ || !p.end_ || !start_ || !end_) return TimePeriodRelationNone;
    double ps = *p.start_, pe = *p.end_, s = *start_, e = *end_;
    if (!(s < e) || !(ps < pe)) return TimePeriodRelationNone;
    if (pe < s) return TimePeriodRelationAfter;
    if (pe == s) return TimePeriodRelationStartTouching;
    if (ps < s && pe < e) return TimePeriodRelationStartInside;
    if (ps == s && pe > e) return TimePeriodRelationInsideStartTouching;
    if (ps == s && pe < e) return TimePeriodRelationEnclosingStartTouching;
    if (ps > s && pe < e) return TimePeriodRelationEnclosing;
    if (ps > s && pe == e) return TimePeriodRelationEnclosingEndTouching;
    if (ps == s && pe == e) return TimePeriodRelationExactMatch;
    if (ps < s && pe > e) return TimePeriodRelationInside;
    if (ps < s && pe == e) return TimePeriodRelationInsideEndTouching;
    if (ps < e && pe > e) return TimePeriodRelationEndInside;
    if (ps == e) return TimePeriodRelationEndTouching;
    if (ps > e) return TimePeriodRelationBefore;
    return TimePeriodRelationNone;
}

double TimePeriod::gapBetween(const TimePeriod& p) const {
    if (!p.start_ || !p.end_ || !start_ || !end_) return 0;
    if (*end_ < *p.start_) return *p.start_ - *end_;
    if (*p.end_ < *start_) return *start_ - *p.end_;
    return 0;
}

bool TimePeriod::containsDate(double date, unsigned interval) const {
    if (!start_ || !end_) return false;
    if (interval == TimePeriodIntervalOpen) return *start_ < date && date < *end_;
    if (interval == TimePeriodIntervalClosed) return *start_ <= date && date <= *end_;
    return false;
}

void TimePeriod::shiftEarlierWithSize(TimePeriodSize size, std::int64_t amount) {
    if (start_) start_ = dateWithSubtractedTime(size, amount, *start_);
    if (end_) end_ = dateWithSubtractedTime(size, amount, *end_);
}

void TimePeriod::shiftLaterWithSize(TimePeriodSize size, std::int64_t amount) {
    if (start_) start_ = dateWithAddedTime(size, amount, *start_);
    if (end_) end_ = dateWithAddedTime(size, amount, *end_);
}

void TimePeriod::lengthenWithAnchorDate(unsigned anchor, TimePeriodSize size, std::int64_t amount) {
    if (anchor == TimePeriodAnchorStart) {
        if (end_) end_ = dateWithAddedTime(size, amount, *end_);
    } else if (anchor == TimePeriodAnchorCenter) {
        if (start_) start_ = dateWithSubtractedTime(size, amount / 2, *start_);
        if (end_) end_ = dateWithAddedTime(size, amount / 2, *end_);
    } else if (anchor == TimePeriodAnchorEnd) {
        if (start_) start_ = dateWithSubtractedTime(size, amount, *start_);
    }
}

void TimePeriod::shortenWithAnchorDate(unsigned anchor, TimePeriodSize size, std::int64_t amount) {
    if (anchor == TimePeriodAnchorStart) {
        if (end_) end_ = dateWithSubtractedTime(size, amount, *end_);
    } else if (anchor == TimePeriodAnchorCenter) {
        if (start_) start_ = dateWithAddedTime(size, amount / 2, *start_);
        if (end_) end_ = dateWithSubtractedTime(size, amount / 2, *end_);
    } else if (anchor == TimePeriodAnchorEnd) {
        if (start_) start_ = dateWithAddedTime(size, amount, *start_);
    }
}
