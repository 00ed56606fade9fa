#include <gtest/gtest.h>

#include "statistics/PhaseRatios.h"
#include "tests/statistics/StatTestFolder.h"

using namespace quilvane;

namespace {

std::vector<std::int32_t> Ratios(const std::vector<PhaseRecord>& phases)
{
    std::vector<std::int32_t> out;
    for (const auto& p : phases) {
        out.push_back(p.ratio);
    }
    return out;
}

std::vector<std::int32_t> Plans(const std::vector<PhaseRecord>& phases)
{
    std::vector<std::int32_t> out;
    for (const auto& p : phases) {
        out.push_back(p.plan);
    }
    return out;
}

ProjectRecord ThreePhaseProject(const std::string& name)
{
    ProjectRecord p;
    p.projectName = name;
    p.phases = {{"design", 7, 0, 5}, {"code", 8, 0, 5}, {"test", 9, 0, 5}};
    return p;
}

ProjectRecord WithLog(std::initializer_list<std::pair<const char*, std::int32_t>> spans)
{
    ProjectRecord p;
    std::int32_t t = 100000;
    for (const auto& [phase, seconds] : spans) {
        p.timeLog.entries.push_back({phase, Moment(t), Moment(t + seconds)});
        t += seconds + 10;
    }
    return p;
}

class StatPhaseRatios : public StatFolderTest {};

} // namespace

TEST_F(StatPhaseRatios, EqualTimesGiveThirtyThreeThirtyThreeThirtyFour)
{
    Project("A", WithLog({{"design", 100}, {"code", 40}}));
    Project("B", WithLog({{"code", 60}, {"test", 100}}));
    // The project's own folder holds a log that must not count.
    Project("Mine", WithLog({{"design", 5000}}));
    ProjectRecord mine = ThreePhaseProject("Mine");
    UpdatePhaseRatios(mine, false);
    EXPECT_EQ(Ratios(mine.phases), (std::vector<std::int32_t>{33, 33, 34}));
    EXPECT_EQ(Plans(mine.phases), (std::vector<std::int32_t>{7, 8, 9}));
}

TEST_F(StatPhaseRatios, NoRecordedTimeGivesTheLastPhaseAll)
{
    Project("A", WithLog({}));
    ProjectRecord mine = ThreePhaseProject("Mine");
    UpdatePhaseRatios(mine, false);
    EXPECT_EQ(Ratios(mine.phases), (std::vector<std::int32_t>{0, 0, 100}));
}

TEST_F(StatPhaseRatios, PlanDistributionAddsUpToTheTotal)
{
    Project("A", WithLog({{"design", 100}, {"code", 100}, {"test", 100}}));
    ProjectRecord mine = ThreePhaseProject("Mine");
    mine.estimate.totalMinutes = 100;
    UpdatePhaseRatios(mine, true);
    EXPECT_EQ(Plans(mine.phases), (std::vector<std::int32_t>{33, 33, 34}));

    mine.estimate.totalMinutes = 10;
    UpdatePhaseRatios(mine, true);
    EXPECT_EQ(Plans(mine.phases), (std::vector<std::int32_t>{3, 3, 4}));
}

TEST_F(StatPhaseRatios, EmptyPhaseTableIsLeftAlone)
{
    Project("A", WithLog({{"design", 100}}));
    ProjectRecord mine;
    mine.projectName = "Mine";
    mine.estimate.totalMinutes = 50;
    ProjectRecord before = mine;
    UpdatePhaseRatios(mine, true);
    EXPECT_EQ(mine, before);
}

TEST(StatPhaseArithmetic, PhasesMatchByteExactNamesAndRoundHalfUp)
{
    std::vector<PhaseRecord> phases{
        {"Code", 0, 0, 0}, {"code", 0, 0, 0}, {"test", 0, 0, 0}, {"misc", 0, 0, 0}};
    // 1/8 of the time is 12.5 percent and rounds up; "Code" is not "code".
    ApplyPhaseRatios(phases, PhaseSeconds{{"code", 100}, {"test", 700}, {"other", 1000}}, std::nullopt);
    EXPECT_EQ(Ratios(phases), (std::vector<std::int32_t>{0, 13, 88, -1}));
}

TEST(StatPhaseArithmetic, LastPhaseAbsorbsRoundingOfPlans)
{
    std::vector<PhaseRecord> phases{{"a", 0, 0, 0}, {"b", 0, 0, 0}, {"c", 0, 0, 0}};
    ApplyPhaseRatios(phases, PhaseSeconds{{"a", 1}, {"b", 1}, {"c", 1}}, 7);
    EXPECT_EQ(Plans(phases), (std::vector<std::int32_t>{2, 2, 3}));
}

TEST(StatPhaseArithmetic, CancellingDamagedDurationsDoNotOverflow)
{
    std::vector<PhaseRecord> phases{{"a", 0, 0, 0}, {"b", 0, 0, 0}};
    // Seconds that sum to 0 make the divisor 1; the percentages must saturate, not wrap.
    ApplyPhaseRatios(phases, PhaseSeconds{{"a", 2000000000}, {"b", -2000000000}}, 1000);
    EXPECT_EQ(phases[0].ratio, 2147483647);
    EXPECT_EQ(phases[0].ratio + std::int64_t{phases[1].ratio}, 100);
}
