// Time period groups: the chain's sliding members and the collection's sorts and queries.
#include "foundation/time_period_group.h"

#include <algorithm>
#include <cmath>

#include "foundation/date_error.h"

namespace {

constexpr double kDistantPast = -63114076800.0;
constexpr double kDistantFuture = 63113904000.0;

// A period's length in whole seconds, truncated toward zero.
std::int64_t wholeSeconds(const TimePeriod& period) {
    if (!period.StartDate() || !period.EndDate()) return 0;
    return static_cast<std::int64_t>(std::trunc(*period.EndDate() - *period.StartDate()));
}

double seconds(const TimePeriod& period) {
    return period.durationInSeconds();
}

}  // namespace

bool TimePeriodGroup::isPlainPeriod(const Period& period) {
    if (period && period->className() == "TimePeriod") return true;
    DateError::throwBadTypeException(period ? period->className() : "nil", "TimePeriod");
    return false;
}

bool TimePeriodGroup::hasSameCharacteristicsAs(const TimePeriodGroup& group) const {
    if (count() != group.count()) return false;
    if (!start_ && !end_ && !group.start_ && !group.end_) return true;
    return start_ == group.start_ && end_ == group.end_;
}

void TimePeriodGroup::shiftEarlierWithSize(TimePeriodSize size, std::int64_t amount) {
    for (const Period& p : periods_) p->shiftEarlierWithSize(size, amount);
    updateVariables();
}

void TimePeriodGroup::shiftLaterWithSize(TimePeriodSize size, std::int64_t amount) {
    for (const Period& p : periods_) p->shiftLaterWithSize(size, amount);
    updateVariables();
}

// --- chain

bool TimePeriodChain::addTimePeriod(const Period& period) {
    if (!isPlainPeriod(period)) return false;
    if (periods_.empty()) {
        periods_.push_back(period);
    } else {
        double start = periods_.back()->EndDate().value_or(0);
        periods_.push_back(TimePeriod::timePeriodWithSize(0, wholeSeconds(*period), start));
    }
    updateVariables();
    return true;
}

bool TimePeriodChain::insertTimePeriod(const Period& period, std::int64_t index) {
    if (!isPlainPeriod(period)) return false;
    auto count = static_cast<std::int64_t>(periods_.size());
    std::int64_t length = wholeSeconds(*period);
    if (index == 0 && count == 0) return addTimePeriod(period);
    if (index == 0) {
        // In front: a period of the same length that ends where the chain starts keeps every
        // member starting where the one before it ends.
        double end = periods_.front()->StartDate().value_or(0);
        periods_.insert(periods_.begin(), TimePeriod::timePeriodWithSizeEndingAt(0, length, end));
    } else if (index >= 1 && index < count) {
        for (std::int64_t i = index; i < count; ++i)
            periods_[static_cast<std::size_t>(i)]->shiftLaterWithSize(0, length);
        double start = periods_[static_cast<std::size_t>(index - 1)]->EndDate().value_or(0);
        periods_.insert(periods_.begin() + index, TimePeriod::timePeriodWithSize(0, length, start));
    } else {
        DateError::throwInsertOutOfBoundsException(index, periods_.size());
        return false;
    }
    updateVariables();
    return true;
}

bool TimePeriodChain::removeTimePeriodAtIndex(std::int64_t index) {
    auto count = static_cast<std::int64_t>(periods_.size());
    if (index < 0 || index >= count) {
        DateError::throwRemoveOutOfBoundsException(index, periods_.size());
        return false;
    }
    std::int64_t length = wholeSeconds(*periods_[static_cast<std::size_t>(index)]);
    for (std::int64_t i = index + 1; i < count; ++i)
        periods_[static_cast<std::size_t>(i)]->shiftEarlierWithSize(0, length);
    periods_.erase(periods_.begin() + index);
    refreshOrClear();
    return true;
}

void TimePeriodChain::removeLatestTimePeriod() {
    if (periods_.empty()) return;
    periods_.pop_back();
    refreshOrClear();
}

void TimePeriodChain::removeEarliestTimePeriod() {
    if (periods_.empty()) return;
    std::int64_t length = wholeSeconds(*periods_.front());
    for (const Period& p : periods_) p->shiftEarlierWithSize(0, length);
    periods_.erase(periods_.begin());
    refreshOrClear();
}

bool TimePeriodChain::isEqualToChain(const std::shared_ptr<TimePeriodGroup>& chain) const {
    if (!chain || chain->className() != "TimePeriodChain") {
        DateError::throwBadTypeException(chain ? chain->className() : "nil", "TimePeriodChain");
        return false;
    }
    if (!hasSameCharacteristicsAs(*chain)) return false;
    for (std::size_t i = 0; i < periods_.size(); ++i) {
        if (!periods_[i]->isEqualToPeriod(*(*chain)[i])) return false;
    }
    return true;
}

void TimePeriodChain::updateVariables() {
    if (periods_.empty()) return;
    first_ = periods_.front();
    last_ = periods_.back();
    start_ = first_->StartDate();
    end_ = last_->EndDate();
}

void TimePeriodChain::setVariablesNil() {
    first_ = last_ = nullptr;
    start_ = end_ = std::nullopt;
}

void TimePeriodChain::refreshOrClear() {
    if (periods_.empty()) {
        setVariablesNil();
    } else {
        updateVariables();
    }
}

// --- collection

bool TimePeriodCollection::addTimePeriod(const Period& period) {
    if (!period) {
        DateError::throwBadTypeException("nil", "TimePeriod");
        return false;
    }
    periods_.push_back(period);
    updateVariables();
    return true;
}

bool TimePeriodCollection::insertTimePeriod(const Period& period, std::int64_t index) {
    if (!isPlainPeriod(period)) return false;
    if (index < 0 || index >= static_cast<std::int64_t>(periods_.size())) {
        DateError::throwInsertOutOfBoundsException(index, periods_.size());
        return false;
    }
    periods_.insert(periods_.begin() + index, period);
    updateVariables();
    return true;
}

bool TimePeriodCollection::removeTimePeriodAtIndex(std::int64_t index) {
    if (index < 0 || index >= static_cast<std::int64_t>(periods_.size())) {
        DateError::throwRemoveOutOfBoundsException(index, periods_.size());
        return false;
    }
    periods_.erase(periods_.begin() + index);
    refreshOrClear();
    return true;
}

// Missing dates sort as the distant past.
void TimePeriodCollection::sortByStartAscending() {
    std::stable_sort(periods_.begin(), periods_.end(), [](const Period& a, const Period& b) {
        return a->StartDate().value_or(kDistantPast) < b->StartDate().value_or(kDistantPast);
    });
}
void TimePeriodCollection::sortByStartDescending() {
    std::stable_sort(periods_.begin(), periods_.end(), [](const Period& a, const Period& b) {
        return a->StartDate().value_or(kDistantPast) > b->StartDate().value_or(kDistantPast);
    });
}
void TimePeriodCollection::sortByEndAscending() {
    std::stable_sort(periods_.begin(), periods_.end(), [](const Period& a, const Period& b) {
        return a->EndDate().value_or(kDistantPast) < b->EndDate().value_or(kDistantPast);
    });
}
void TimePeriodCollection::sortByEndDescending() {
    std::stable_sort(periods_.begin(), periods_.end(), [](const Period& a, const Period& b) {
        return a->EndDate().value_or(kDistantPast) > b->EndDate().value_or(kDistantPast);
    });
}
void TimePeriodCollection::sortByDurationAscending() {
    std::stable_sort(periods_.begin(), periods_.end(),
                     [](const Period& a, const Period& b) { return seconds(*a) < seconds(*b); });
}
void TimePeriodCollection::sortByDurationDescending() {
    std::stable_sort(periods_.begin(), periods_.end(),
                     [](const Period& a, const Period& b) { return seconds(*a) > seconds(*b); });
}

std::shared_ptr<TimePeriodCollection> TimePeriodCollection::periodsInside(const Period& period) const {
    auto result = collection();
    if (!period) {
        DateError::throwBadTypeException("nil", "TimePeriod");
        return result;
    }
    for (const Period& p : periods_) {
        if (p->isInside(*period)) result->addTimePeriod(p);
    }
    return result;
}

std::shared_ptr<TimePeriodCollection> TimePeriodCollection::periodsIntersectedByDate(std::optional<double> date) const {
    auto result = collection();
    if (!date) {
        DateError::throwBadTypeException("nil", "NSDate");
        return result;
    }
    for (const Period& p : periods_) {
        if (p->containsDate(*date, TimePeriodIntervalClosed)) result->addTimePeriod(p);
    }
    return result;
}

std::shared_ptr<TimePeriodCollection> TimePeriodCollection::periodsIntersectedByPeriod(const Period& period) const {
    auto result = collection();
    if (!period) {
        DateError::throwBadTypeException("nil", "TimePeriod");
        return result;
    }
    for (const Period& p : periods_) {
        if (p->intersects(*period)) result->addTimePeriod(p);
    }
    return result;
}

std::shared_ptr<TimePeriodCollection> TimePeriodCollection::periodsOverlappedByPeriod(const Period& period) const {
    auto result = collection();
    if (!period) return result;
    for (const Period& p : periods_) {
        if (p->overlapsWith(*period)) result->addTimePeriod(p);
    }
    return result;
}

bool TimePeriodCollection::isEqualToCollection(const std::shared_ptr<TimePeriodGroup>& other,
                                               bool considerOrder) const {
    if (!other || other->className() != "TimePeriodCollection") {
        DateError::throwBadTypeException(other ? other->className() : "nil", "TimePeriodCollection");
        return false;
    }
    if (!hasSameCharacteristicsAs(*other)) return false;
    if (considerOrder) {
        for (std::size_t i = 0; i < periods_.size(); ++i) {
            if (!periods_[i]->isEqualToPeriod(*(*other)[i])) return false;
        }
        return true;
    }
    std::vector<Period> remaining = other->periods();
    for (const Period& p : periods_) {
        auto match =
            std::find_if(remaining.begin(), remaining.end(), [&](const Period& q) { return p->isEqualToPeriod(*q); });
        if (match == remaining.end()) return false;
        remaining.erase(match);
    }
    return true;
}

std::shared_ptr<TimePeriodCollection> TimePeriodCollection::copy() const {
    auto result = collection();
    for (const Period& p : periods_) result->addTimePeriod(p->copy());
    return result;
}

void TimePeriodCollection::updateVariables() {
    if (periods_.empty()) return;
    double earliest = kDistantFuture, latest = kDistantPast;
    for (const Period& p : periods_) {
        if (p->StartDate() && *p->StartDate() < earliest) earliest = *p->StartDate();
        if (p->EndDate() && *p->EndDate() > latest) latest = *p->EndDate();
    }
    start_ = earliest;
    end_ = latest;
}

void TimePeriodCollection::setVariablesNil() {
    start_ = end_ = std::nullopt;
}

void TimePeriodCollection::refreshOrClear() {
    if (periods_.empty()) {
        setVariablesNil();
    } else {
        updateVariables();
    }
}
