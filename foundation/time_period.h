// TimePeriod: a start and an end date (either may be missing), with relations between periods,
// gaps, containment and moves by calendar units.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "platform/runtime/object.h"

// 0 second, 1 minute, 2 hour, 3 day, 4 week, 5 month, 6 year; other values move nothing.
using TimePeriodSize = unsigned;
enum TimePeriodAnchor : unsigned { TimePeriodAnchorStart = 0, TimePeriodAnchorCenter = 1, TimePeriodAnchorEnd = 2 };
enum TimePeriodInterval : unsigned { TimePeriodIntervalOpen = 0, TimePeriodIntervalClosed = 1 };
enum TimePeriodRelation : unsigned {
    TimePeriodRelationAfter = 0,
    TimePeriodRelationStartTouching,
    TimePeriodRelationStartInside,
    TimePeriodRelationInsideStartTouching,
    TimePeriodRelationEnclosingStartTouching,
    TimePeriodRelationEnclosing,
    TimePeriodRelationEnclosingEndTouching,
    TimePeriodRelationExactMatch,
    TimePeriodRelationInside,
    TimePeriodRelationInsideEndTouching,
    TimePeriodRelationEndInside,
    TimePeriodRelationEndTouching,
    TimePeriodRelationBefore,
    TimePeriodRelationNone
};

class TimePeriod : public NSObject {
public:
    KORVA_MAKE(TimePeriod)
    using Date = std::optional<double>;

    static std::shared_ptr<TimePeriod> timePeriodWithStartDate(Date start, Date end) { return make(start, end); }
    static std::shared_ptr<TimePeriod> timePeriodWithSize(TimePeriodSize size, std::int64_t amount, double startingAt);
    static std::shared_ptr<TimePeriod> timePeriodWithSizeEndingAt(TimePeriodSize size, std::int64_t amount,
                                                                  double endingAt);
    static std::shared_ptr<TimePeriod> timePeriodWithAllTime();
    static double dateWithAddedTime(TimePeriodSize size, std::int64_t amount, double base);
    static double dateWithSubtractedTime(TimePeriodSize size, std::int64_t amount, double base);

    const Date& StartDate() const { return start_; }
    const Date& EndDate() const { return end_; }
    void setStartDate(Date d) { start_ = d; }
    void setEndDate(Date d) { end_ = d; }

    // Always a plain TimePeriod with equal dates.
    std::shared_ptr<TimePeriod> copy() const { return TimePeriod::make(start_, end_); }

    bool hasStartDate() const { return start_.has_value(); }
    bool hasEndDate() const { return end_.has_value(); }
    bool isMoment() const { return start_ && end_ && *start_ == *end_; }
    // Whole calendar units (fractional elapsed time for hours and less); 0 unless the end is later.
    double durationInYears() const;
    double durationInWeeks() const;
    double durationInDays() const;
    double durationInHours() const;
    double durationInMinutes() const;
    double durationInSeconds() const;

    bool isEqualToPeriod(const TimePeriod& p) const;
    bool isInside(const TimePeriod& p) const;
    bool contains(const TimePeriod& p) const;
    bool overlapsWith(const TimePeriod& p) const;
    bool intersects(const TimePeriod& p) const;
    TimePeriodRelation relationToPeriod(const TimePeriod& p) const;
    double gapBetween(const TimePeriod& p) const;
    bool containsDate(double date, unsigned interval) const;

    void shiftEarlierWithSize(TimePeriodSize size, std::int64_t amount = 1);
    void shiftLaterWithSize(TimePeriodSize size, std::int64_t amount = 1);
    void lengthenWithAnchorDate(unsigned anchor, TimePeriodSize size, std::int64_t amount = 1);
    void shortenWithAnchorDate(unsigned anchor, TimePeriodSize size, std::int64_t amount = 1);

    std::string className() const override { return "TimePeriod"; }

protected:
    explicit TimePeriod(Date start = std::nullopt, Date end = std::nullopt) : start_(start), end_(end) {}

private:
    Date start_;
    Date end_;
};

// Durations of a span given by two dates, shared with the period groups.
double spanDuration(const std::optional<double>& start, const std::optional<double>& end, unsigned unit);
