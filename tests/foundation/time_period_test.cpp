// Time periods and their groups: relations, moves, the chain's sliding members, the collection's
// span, sorts and comparisons, and refused operations.
#include <gtest/gtest.h>

#include "foundation/date_tools.h"
#include "foundation/time_period_group.h"
#include "platform/runtime/log.h"

namespace {

double at(int h, int mi = 0, int s = 0, int day = 10) {
    return DateExtras::dateWithYear(2024, 5, day, h, mi, s);
}
std::shared_ptr<TimePeriod> period(double start, double end) {
    return TimePeriod::make(start, end);
}

class SpecialPeriod : public TimePeriod {
public:
    KORVA_MAKE(SpecialPeriod)
    std::string className() const override { return "SpecialPeriod"; }

protected:
    SpecialPeriod(double s, double e) : TimePeriod(s, e) {}
};

TEST(TimePeriodTest, RelationsBetweenPeriods) {
    auto first = period(at(10), at(12));
    auto second = period(at(12), at(13));
    EXPECT_EQ(first->relationToPeriod(*second), TimePeriodRelationEndTouching);
    EXPECT_EQ(second->relationToPeriod(*first), TimePeriodRelationStartTouching);
    EXPECT_FALSE(first->overlapsWith(*second));
    EXPECT_TRUE(first->intersects(*second));
    EXPECT_EQ(first->gapBetween(*second), 0);
    EXPECT_EQ(first->relationToPeriod(*period(at(10), at(12))), TimePeriodRelationExactMatch);
    EXPECT_EQ(first->relationToPeriod(*period(at(9), at(13))), TimePeriodRelationInside);
    EXPECT_EQ(first->relationToPeriod(*period(at(10, 30), at(11))), TimePeriodRelationEnclosing);
    EXPECT_EQ(first->relationToPeriod(*period(at(14), at(15))), TimePeriodRelationBefore);
    EXPECT_EQ(first->relationToPeriod(*period(at(11), at(11))), TimePeriodRelationNone);  // a moment
    EXPECT_EQ(first->relationToPeriod(*TimePeriod::make(at(11), std::nullopt)), TimePeriodRelationNone);
    EXPECT_EQ(period(at(14), at(15))->gapBetween(*first), 7200);
    EXPECT_EQ(first->gapBetween(*period(at(14), at(15))), 7200);
}

TEST(TimePeriodTest, ContainmentDurationsAndMoves) {
    auto p = period(at(10), at(12));
    EXPECT_TRUE(p->containsDate(at(10), TimePeriodIntervalClosed));
    EXPECT_FALSE(p->containsDate(at(10), TimePeriodIntervalOpen));
    EXPECT_FALSE(p->containsDate(at(11), 5));

    auto backwards = period(at(12, 0, 0, 12), at(10));
    EXPECT_EQ(backwards->durationInDays(), 0);
    EXPECT_EQ(period(at(10), at(12, 0, 0, 12))->durationInDays(), 2);
    EXPECT_DOUBLE_EQ(p->durationInHours(), 2.0);

    auto day = TimePeriod::timePeriodWithSize(3, 1, at(0));
    day->lengthenWithAnchorDate(TimePeriodAnchorCenter, 2, 3);
    EXPECT_DOUBLE_EQ(day->durationInHours(), 26.0);
    EXPECT_EQ(day->StartDate(), at(23, 0, 0, 9));

    auto month = TimePeriod::timePeriodWithSize(5, 1, DateExtras::dateWithYear(2024, 1, 31));
    EXPECT_EQ(month->EndDate(), DateExtras::dateWithYear(2024, 2, 29));

    p->shiftLaterWithSize(2, 2);
    EXPECT_EQ(p->StartDate(), at(12));
    p->shortenWithAnchorDate(TimePeriodAnchorEnd, 1, 30);
    EXPECT_EQ(p->StartDate(), at(12, 30));
    EXPECT_EQ(p->EndDate(), at(14));
    p->shiftEarlierWithSize(99, 1);  // an unknown unit moves nothing
    EXPECT_EQ(p->StartDate(), at(12, 30));
    auto copy = p->copy();
    EXPECT_TRUE(copy->isEqualToPeriod(*p));
    EXPECT_NE(copy.get(), p.get());
}

TEST(TimePeriodChainTest, MembersFollowOneAnother) {
    auto chain = TimePeriodChain::chain();
    chain->addTimePeriod(period(at(9), at(10)));
    chain->addTimePeriod(period(at(15), at(17)));
    ASSERT_EQ(chain->count(), 2u);
    EXPECT_EQ((*chain)[1]->StartDate(), at(10));
    EXPECT_EQ((*chain)[1]->EndDate(), at(12));
    EXPECT_EQ(chain->StartDate(), at(9));
    EXPECT_EQ(chain->EndDate(), at(12));
    EXPECT_EQ(chain->Last(), (*chain)[1]);

    chain->removeTimePeriodAtIndex(0);
    EXPECT_EQ(chain->StartDate(), at(9));
    EXPECT_EQ(chain->EndDate(), at(11));

    chain->insertTimePeriod(period(at(1), at(2)), 0);
    EXPECT_EQ(chain->StartDate(), at(8));
    EXPECT_EQ((*chain)[0]->EndDate(), (*chain)[1]->StartDate());

    auto fraction = TimePeriod::make(at(0), at(0) + 1.9);
    chain->addTimePeriod(fraction);
    EXPECT_DOUBLE_EQ(chain->Last()->durationInSeconds(), 1.0);

    chain->removeLatestTimePeriod();
    chain->removeEarliestTimePeriod();
    chain->removeEarliestTimePeriod();
    EXPECT_EQ(chain->count(), 0u);
    EXPECT_FALSE(chain->StartDate());
    EXPECT_FALSE(chain->First());
}

TEST(TimePeriodChainTest, RefusedOperationsReportAndChangeNothing) {
    LogCapture log;
    auto chain = TimePeriodChain::chain();
    chain->addTimePeriod(period(at(9), at(10)));
    EXPECT_FALSE(chain->insertTimePeriod(period(at(1), at(2)), 1));  // index == count
    EXPECT_FALSE(chain->addTimePeriod(SpecialPeriod::make(at(1), at(2))));
    EXPECT_FALSE(chain->removeTimePeriodAtIndex(-1));
    EXPECT_FALSE(chain->isEqualToChain(TimePeriodCollection::collection()));
    EXPECT_EQ(chain->count(), 1u);
    EXPECT_TRUE(log.contains("app.korva.dates Code=0"));
    EXPECT_TRUE(log.contains("app.korva.dates Code=1"));
    EXPECT_TRUE(
        log.contains("Attempted to insert object of class SpecialPeriod when expecting object of class TimePeriod."));
}

TEST(TimePeriodCollectionTest, SpanSortsQueriesAndComparisons) {
    auto c = TimePeriodCollection::collection();
    c->addTimePeriod(period(at(10), at(11)));
    c->addTimePeriod(period(at(8), at(9)));
    EXPECT_EQ(c->StartDate(), at(8));
    EXPECT_EQ(c->EndDate(), at(11));

    auto other = TimePeriodCollection::collection();
    other->addTimePeriod(period(at(8), at(9)));
    other->addTimePeriod(period(at(10), at(11)));
    EXPECT_TRUE(c->isEqualToCollection(other, false));
    EXPECT_FALSE(c->isEqualToCollection(other, true));
    EXPECT_FALSE(c->insertTimePeriod(period(at(1), at(2)), 2));

    auto inside = c->periodsInside(period(at(7), at(9, 30)));
    ASSERT_EQ(inside->count(), 1u);
    EXPECT_EQ((*inside)[0], (*c)[1]);  // the member itself
    EXPECT_EQ(c->periodsIntersectedByDate(at(11))->count(), 1u);
    EXPECT_EQ(c->periodsIntersectedByDate(std::nullopt)->count(), 0u);
    EXPECT_EQ(c->periodsOverlappedByPeriod(period(at(9), at(10)))->count(), 0u);

    // Equal durations keep their order, both ways.
    auto a = period(at(1), at(2)), b = period(at(3), at(5)), d = period(at(6), at(7));
    auto sorted = TimePeriodCollection::collection();
    for (auto& p : {b, a, d}) sorted->addTimePeriod(p);
    sorted->sortByDurationAscending();
    EXPECT_EQ(sorted->periods(), (std::vector<std::shared_ptr<TimePeriod>>{a, d, b}));
    sorted->sortByDurationDescending();
    EXPECT_EQ(sorted->periods(), (std::vector<std::shared_ptr<TimePeriod>>{b, a, d}));
    sorted->sortByStartDescending();
    EXPECT_EQ(sorted->periods(), (std::vector<std::shared_ptr<TimePeriod>>{d, b, a}));

    auto copy = c->copy();
    EXPECT_TRUE(copy->isEqualToCollection(c, true));
    EXPECT_NE((*copy)[0], (*c)[0]);

    c->removeTimePeriodAtIndex(0);
    c->removeTimePeriodAtIndex(0);
    EXPECT_FALSE(c->StartDate());
    EXPECT_FALSE(c->EndDate());
}

}  // namespace
