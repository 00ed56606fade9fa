#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "statistics/ChartFigures.h"

using namespace quilvane;

namespace {

// A list row: name, then plan new, plan minutes, actual new, actual minutes and defects in their
// columns; the other columns hold what the list would show.
StatRow Row(const std::string& name, int planNew, int planMinutes, int actNew, int actMinutes, int bugs)
{
    StatRow row;
    row[1] = name;
    row[2] = "base";
    row[3] = "1";
    row[4] = "2";
    row[5] = std::to_string(planNew);
    row[6] = std::to_string(planMinutes);
    row[7] = "3";
    row[8] = "4";
    row[9] = std::to_string(actNew);
    row[10] = std::to_string(actMinutes / 60) + ":00";
    row[11] = std::to_string(actMinutes);
    row[12] = std::to_string(bugs);
    return row;
}

struct FigureCase {
    ChartKind kind;
    std::vector<ChartBar> bars;
};

TEST(ChartFigures, EachPanelTakesTheProjectsWhereItsFigureIsDefined)
{
    const std::vector<StatRow> rows = {
        Row("B", 120, 90, 100, 120, 3),  // 50 LOC/h, time 0.75, size 1.2, 30 defects/KLOC
        Row("A", 40, 200, 80, 100, 0),   // 48 LOC/h, time 2, size 0.5, 0 defects/KLOC
        Row("Planned", 50, 60, 0, 0, 0), // not started: in no panel
        Row("NoCode", 0, 30, 0, 45, 2),  // time without new lines: no size ratio, no density
    };
    PhaseSeconds seconds{{"code", 600}, {"design", 300}, {"plan", 100}, {"extra", 0}};
    ChartFigures f = ComputeChartFigures(rows, seconds, {"plan", "design", "code"});
    ASSERT_EQ(f.panels.size(), ChartPanelCount);
    const FigureCase cases[] = {
        {ChartKind::Productivity, {{"B", 50.0}, {"A", 48.0}, {"NoCode", 0.0}}},
        {ChartKind::TimeRatio, {{"B", 0.75}, {"A", 2.0}, {"NoCode", 30.0 / 45.0}}},
        {ChartKind::SizeRatio, {{"B", 1.2}, {"A", 0.5}}},
        {ChartKind::DefectDensity, {{"B", 30.0}, {"A", 0.0}}},
        // The open project's phase order first, then the others by name.
        {ChartKind::PhaseShare, {{"plan", 10.0}, {"design", 30.0}, {"code", 60.0}, {"extra", 0.0}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.kind));
        const ChartPanel& panel = f.Panel(c.kind);
        ASSERT_EQ(panel.bars.size(), c.bars.size());
        for (std::size_t i = 0; i < c.bars.size(); ++i) {
            EXPECT_EQ(panel.bars[i].label, c.bars[i].label);
            EXPECT_DOUBLE_EQ(panel.bars[i].value, c.bars[i].value);
        }
    }
    EXPECT_EQ(f.Panel(ChartKind::TimeRatio).reference, 1.0);
    EXPECT_EQ(f.Panel(ChartKind::SizeRatio).reference, 1.0);
    EXPECT_FALSE(f.Panel(ChartKind::Productivity).reference);
    EXPECT_EQ(f.Panel(ChartKind::TimeRatio).decimals, 2);
}

TEST(ChartFigures, EmptyListAndUnloggedTimeGiveEmptyPanels)
{
    ChartFigures f = ComputeChartFigures({}, PhaseSeconds{{"code", 0}}, {"code"});
    ASSERT_EQ(f.panels.size(), ChartPanelCount);
    for (const ChartPanel& panel : f.panels) {
        EXPECT_TRUE(panel.bars.empty()) << panel.title;
        EXPECT_FALSE(panel.title.empty());
    }
    EXPECT_EQ(ChartValueText(2.0 / 3.0, 2), "0.67");
    EXPECT_EQ(ChartValueText(48, 1), "48.0");
}

} // namespace
