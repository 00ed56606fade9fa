#include <gtest/gtest.h>

#include "project/ProjectRecord.h"

using namespace quilvane;

TEST(TimeLogAddEntry, AppendsOnlyKnownForwardIntervals)
{
    TimeLog log;
    EXPECT_EQ(log.AddEntry("A", 0, 100), TimeLogAddition::NoStart);
    EXPECT_EQ(log.AddEntry("A", 100, 100), TimeLogAddition::NoDuration);
    EXPECT_EQ(log.AddEntry("A", 200, 100), TimeLogAddition::Backward);
    EXPECT_TRUE(log.entries.empty());
    EXPECT_EQ(log.AddEntry("A", 1000, 1090), TimeLogAddition::Appended);
    EXPECT_EQ(log.AddEntry("B", 2000, 2030), TimeLogAddition::Appended);
    ASSERT_EQ(log.entries.size(), 2u);
    EXPECT_EQ(log.entries[1].phase, "B");
    EXPECT_EQ(log.entries[0].Duration(), 90);
    EXPECT_FALSE(log.entries[0].start.IsDuration());
}

TEST(TimeLogSumByPhase, AddsDurationsUnderExactNames)
{
    TimeLog log;
    log.entries = {{"A", Moment(1000), Moment(1100)}, {"B", Moment(1100), Moment(1130)},
                   {"A", Moment(2000), Moment(2050)}, {"a", Moment(3000), Moment(3001)}};
    PhaseSeconds sums{{"A", 10}};
    log.SumByPhase(sums);
    EXPECT_EQ(sums.at("A"), 160);
    EXPECT_EQ(sums.at("B"), 30);
    EXPECT_EQ(sums.at("a"), 1);
    EXPECT_EQ(sums.size(), 3u);
}

TEST(TimeValueText, KeptInStepBySet)
{
    TimeValue span(3725, true);
    EXPECT_EQ(span.Text(), "00 01:02:05");
    span.Set(0);
    EXPECT_EQ(span.Text(), "00 00:00:00");
    EXPECT_TRUE(span.IsDuration());
}

TEST(Minutes, RoundHalfUp)
{
    EXPECT_EQ(SecondsToMinutes(89), 1);
    EXPECT_EQ(SecondsToMinutes(90), 2);
    EXPECT_EQ(SecondsToMinutes(29), 0);
    EXPECT_EQ(SecondsToMinutes(30), 1);
}

TEST(NewProjectDefaults, MatchTheFreshRecord)
{
    ProjectRecord p;
    EXPECT_EQ(p.estimate.availablePercent, 50);
    EXPECT_EQ(p.estimate.totalMinutes, 0);
    EXPECT_EQ(p.estimate.constant, 0.0);
    EXPECT_EQ(p.timeLog.width, 500);
    EXPECT_EQ(p.timeLog.columnWidths[2], 130);
    EXPECT_EQ(p.defectLog.columnWidths[2], 200);
}
