// Groups of time periods: a chain, whose members follow one another without gaps, and a
// collection, an unordered bag that can be sorted and queried. Both keep the span they cover.
// Refused operations are reported through DateError and leave the group unchanged.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "foundation/time_period.h"

class TimePeriodGroup : public NSObject {
public:
    using Period = std::shared_ptr<TimePeriod>;

    const std::optional<double>& StartDate() const { return start_; }
    const std::optional<double>& EndDate() const { return end_; }
    std::size_t count() const { return periods_.size(); }
    const std::vector<Period>& periods() const { return periods_; }
    // Unchecked: the span is not refreshed.
    Period operator[](std::size_t index) const { return index < periods_.size() ? periods_[index] : nullptr; }
    void setObject(Period period, std::size_t index) {
        if (index < periods_.size()) periods_[index] = std::move(period);
    }

    double durationInYears() const { return spanDuration(start_, end_, 0); }
    double durationInWeeks() const { return spanDuration(start_, end_, 1); }
    double durationInDays() const { return spanDuration(start_, end_, 2); }
    double durationInHours() const { return spanDuration(start_, end_, 3); }
    double durationInMinutes() const { return spanDuration(start_, end_, 4); }
    double durationInSeconds() const { return spanDuration(start_, end_, 5); }

    bool hasSameCharacteristicsAs(const TimePeriodGroup& group) const;
    void shiftEarlierWithSize(TimePeriodSize size, std::int64_t amount = 1);
    void shiftLaterWithSize(TimePeriodSize size, std::int64_t amount = 1);
    virtual void updateVariables() {}

protected:
    TimePeriodGroup() = default;
    // Whether the period is exactly a TimePeriod (no subclass); reports a bad type when not.
    static bool isPlainPeriod(const Period& period);

    std::vector<Period> periods_;
    std::optional<double> start_;
    std::optional<double> end_;
};

class TimePeriodChain : public TimePeriodGroup {
public:
    KORVA_MAKE(TimePeriodChain)
    static std::shared_ptr<TimePeriodChain> chain() { return make(); }

    Period First() const { return first_; }
    Period Last() const { return last_; }

    // The first member is added itself; a later one arrives as a new period of the same whole
    // seconds starting where the chain ends. Only plain TimePeriods are accepted.
    bool addTimePeriod(const Period& period);
    // Index 0 puts a period of the same length in front, ending where the chain starts; 1 to
    // count-1 slides the later members on. Anything else is refused with code 0.
    bool insertTimePeriod(const Period& period, std::int64_t index);
    bool removeTimePeriodAtIndex(std::int64_t index);
    void removeLatestTimePeriod();
    void removeEarliestTimePeriod();
    bool isEqualToChain(const std::shared_ptr<TimePeriodGroup>& chain) const;

    void updateVariables() override;
    void setVariablesNil();
    std::string className() const override { return "TimePeriodChain"; }

protected:
    TimePeriodChain() = default;

private:
    void refreshOrClear();
    Period first_;
    Period last_;
};

class TimePeriodCollection : public TimePeriodGroup {
public:
    KORVA_MAKE(TimePeriodCollection)
    static std::shared_ptr<TimePeriodCollection> collection() { return make(); }

    // Any kind of TimePeriod.
    bool addTimePeriod(const Period& period);
    // A plain TimePeriod at an index from 0 to count-1.
    bool insertTimePeriod(const Period& period, std::int64_t index);
    bool removeTimePeriodAtIndex(std::int64_t index);

    void sortByStartAscending();
    void sortByStartDescending();
    void sortByEndAscending();
    void sortByEndDescending();
    // Stable: periods of equal length keep their order.
    void sortByDurationAscending();
    void sortByDurationDescending();

    std::shared_ptr<TimePeriodCollection> periodsInside(const Period& period) const;
    std::shared_ptr<TimePeriodCollection> periodsIntersectedByDate(std::optional<double> date) const;
    std::shared_ptr<TimePeriodCollection> periodsIntersectedByPeriod(const Period& period) const;
    std::shared_ptr<TimePeriodCollection> periodsOverlappedByPeriod(const Period& period) const;

    bool isEqualToCollection(const std::shared_ptr<TimePeriodGroup>& collection, bool considerOrder) const;
    std::shared_ptr<TimePeriodCollection> copy() const;

    void updateVariables() override;
    void setVariablesNil();
    std::string className() const override { return "TimePeriodCollection"; }

protected:
    TimePeriodCollection() = default;

private:
    void refreshOrClear();
};
