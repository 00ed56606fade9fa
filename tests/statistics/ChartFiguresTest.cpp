#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "project/DefectDetails.h"
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

// A log entry removed in `removed`, of `type` (unknown when nullopt) injected in `injected`.
DefectEntry Defect(const std::string& removed, std::optional<int> type, std::optional<std::string> injected)
{
    DefectDetails details;
    details.type = type;
    details.injected = std::move(injected);
    details.comment = "note";
    return DefectEntry{removed, ComposeDefectComment(details), {}};
}

DefectLog Log(std::vector<DefectEntry> entries)
{
    DefectLog log;
    log.entries = std::move(entries);
    return log;
}

const std::string Unknown = "(\x95\x73\x96\xbe)"; // (不明)

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
    // Eleven defects over the listed projects: four of type 80, three of 20, one each of 50 and 40
    // (a tie kept in code order) and two of unknown type, which stay last despite their count.
    // "Deleted" is no longer listed: its defects count nowhere.
    const ProjectDefectLogs defects = {
        {"B", Log({Defect("code", 80, "design"), Defect("code", 80, "design"), Defect("test", 20, "code"),
                   Defect("test", 50, "code"), Defect("code", std::nullopt, std::nullopt)})},
        {"A", Log({Defect("test", 80, "design"), Defect("code", 80, "zeta"), Defect("test", 20, "code"),
                   Defect("code", 20, "code"), Defect("code", 40, std::nullopt),
                   Defect("test", std::nullopt, "design")})},
        {"Deleted",
         Log({Defect("code", 10, "plan"), Defect("code", 10, "plan"), Defect("code", 10, "plan")})},
    };
    // The quality measures as the history computed them; a null measure leaves its project out
    // of that panel, and the range panel runs the share of ranged projects so far.
    auto measures = [](std::optional<double> yield, std::optional<double> afr,
                       std::optional<double> timeError, std::optional<double> within) {
        QualityMeasures m;
        const std::pair<QualityMeasure, std::optional<double>> values[] = {
            {QualityMeasure::Yield, yield},
            {QualityMeasure::Afr, afr},
            {QualityMeasure::TimeErrorPercent, timeError},
            {QualityMeasure::WithinRange, within}};
        for (const auto& [measure, value] : values) {
            m.values[static_cast<std::size_t>(measure)] = {value,
                                                           value ? NullReason::None : NullReason::NoPlan};
        }
        return m;
    };
    const ProjectQualities quality = {
        {"B", measures(50.0, 0.5, -25.0, 100.0)},
        {"A", measures(std::nullopt, 2.0, 100.0, 0.0)},
        {"NoCode", measures(std::nullopt, std::nullopt, std::nullopt, 100.0)},
        {"Deleted", measures(99.0, 9.0, 9.0, 0.0)},
    };
    ChartFigures f = ComputeChartFigures(rows, seconds, {"plan", "design", "code", "test"}, defects, quality);
    ASSERT_EQ(f.panels.size(), ChartPanelCount);
    const FigureCase cases[] = {
        {ChartKind::Productivity, {{"B", 50.0}, {"A", 48.0}, {"NoCode", 0.0}}},
        {ChartKind::TimeRatio, {{"B", 0.75}, {"A", 2.0}, {"NoCode", 30.0 / 45.0}}},
        {ChartKind::SizeRatio, {{"B", 1.2}, {"A", 0.5}}},
        {ChartKind::DefectDensity, {{"B", 30.0}, {"A", 0.0}}},
        // The open project's phase order first, then the others by name.
        {ChartKind::PhaseShare, {{"plan", 10.0}, {"design", 30.0}, {"code", 60.0}, {"extra", 0.0}}},
        // 80 機能, 20 構文, 40 割り当て, 50 インタフェース in CP932.
        {ChartKind::DefectPareto,
         {{DefectTypeText(80), 4.0},
          {DefectTypeText(20), 3.0},
          {DefectTypeText(40), 1.0},
          {DefectTypeText(50), 1.0},
          {Unknown, 2.0}}},
        {ChartKind::Yield, {{"B", 50.0}}},
        {ChartKind::Afr, {{"B", 0.5}, {"A", 2.0}}},
        {ChartKind::TimeError, {{"B", -25.0}, {"A", 100.0}}},
        {ChartKind::WithinRange, {{"B", 100.0}, {"A", 50.0}, {"NoCode", 200.0 / 3}}},
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
    EXPECT_TRUE(f.Panel(ChartKind::TimeError).signedAxis);
    EXPECT_FALSE(f.Panel(ChartKind::TimeRatio).signedAxis);
    EXPECT_FALSE(DefectTypeText(80).empty());

    // The running percent of all eleven defects, ending at the whole; only the Pareto has one.
    const std::vector<double> cumulative = {400.0 / 11, 700.0 / 11, 800.0 / 11, 900.0 / 11, 100.0};
    const ChartPanel& pareto = f.Panel(ChartKind::DefectPareto);
    ASSERT_EQ(pareto.cumulative.size(), cumulative.size());
    for (std::size_t i = 0; i < cumulative.size(); ++i) {
        EXPECT_DOUBLE_EQ(pareto.cumulative[i], cumulative[i]) << i;
    }
    EXPECT_TRUE(f.Panel(ChartKind::PhaseShare).cumulative.empty());

    // Rows injected, columns removed, each in the phase order and then by name; unknown last.
    const DefectMatrixFigure& matrix = f.defectMatrix;
    EXPECT_EQ(matrix.injected, (std::vector<std::string>{"design", "code", "zeta", Unknown}));
    EXPECT_EQ(matrix.removed, (std::vector<std::string>{"code", "test"}));
    const std::vector<std::vector<std::int32_t>> counts = {{2, 2}, {1, 3}, {1, 0}, {2, 0}};
    EXPECT_EQ(matrix.counts, counts);
}

TEST(ChartFigures, EmptyListAndUnloggedTimeGiveEmptyPanels)
{
    ChartFigures f = ComputeChartFigures({}, PhaseSeconds{{"code", 0}}, {"code"});
    ASSERT_EQ(f.panels.size(), ChartPanelCount);
    for (const ChartPanel& panel : f.panels) {
        EXPECT_TRUE(panel.bars.empty()) << panel.title;
        EXPECT_TRUE(panel.cumulative.empty()) << panel.title;
        EXPECT_FALSE(panel.title.empty());
        EXPECT_FALSE(panel.emptyText.empty());
    }
    EXPECT_TRUE(f.defectMatrix.injected.empty());
    EXPECT_TRUE(f.defectMatrix.removed.empty());
    EXPECT_TRUE(f.defectMatrix.counts.empty());
    EXPECT_FALSE(f.defectMatrix.title.empty());
    EXPECT_EQ(ChartValueText(2.0 / 3.0, 2), "0.67");
    EXPECT_EQ(ChartValueText(48, 1), "48.0");
}

} // namespace
