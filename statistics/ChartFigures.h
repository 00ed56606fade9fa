#pragma once
// The figures of the in-app history charts, computed from the statistics list's rows without any
// window: one panel per question a student asks of the history, each a series of labelled bars
// in the list's order. The painter draws these panels as they are.
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "project/SubRecords.h"
#include "statistics/DefectAnalysis.h"
#include "statistics/QualityMeasures.h"
#include "statistics/StatListLogic.h"

namespace quilvane {

struct ChartBar {
    std::string label; // CP932, as every name of the data model
    double value = 0.0;
    bool operator==(const ChartBar&) const = default;
};

struct ChartPanel {
    std::string title; // UTF-8
    std::string unit;  // UTF-8, after the title
    int decimals = 1;  // of the value labels
    // A level drawn across the bars for comparison (1.0 for a plan that met the actual).
    std::optional<double> reference;
    // Negative values hang below a zero line; otherwise the axis starts at 0 and they draw flat.
    bool signedAxis = false;
    std::vector<ChartBar> bars;
    // Percent of the whole reached up to and including each bar, one per bar; empty for the
    // panels where a running total means nothing.
    std::vector<double> cumulative;
    std::string emptyText = "完了したプロジェクトがありません"; // UTF-8, shown when there are no bars
};

// How many defects were injected in each phase and removed in each phase: the injected phases
// are the rows, the removal phases the columns, each in the open project's phase order, then the
// other phases by name; an unknown injected phase is the last row.
struct DefectMatrixFigure {
    std::string title;                             // UTF-8
    std::string unit;                              // UTF-8
    std::vector<std::string> injected;             // CP932 row headers
    std::vector<std::string> removed;              // CP932 column headers
    std::vector<std::vector<std::int32_t>> counts; // [row][column]
};

// Productivity, time accuracy, size accuracy, defect density, phase shares, the defect types by
// count, then the quality measures (yield, A/FR, time-estimating error and the share of projects
// inside their planned range), in this order.
enum class ChartKind {
    Productivity,
    TimeRatio,
    SizeRatio,
    DefectDensity,
    PhaseShare,
    DefectPareto,
    Yield,
    Afr,
    TimeError,
    WithinRange
};
inline constexpr std::size_t ChartPanelCount = 10;

// The quality measures of each finished project, by its stored folder name as the list names it.
using ProjectQualities = std::map<std::string, QualityMeasures>;

struct ChartFigures {
    std::vector<ChartPanel> panels; // ChartPanelCount panels, indexed by ChartKind
    const ChartPanel& Panel(ChartKind kind) const { return panels[static_cast<std::size_t>(kind)]; }
    DefectMatrixFigure defectMatrix;
};

// The panels over `rows` (the list as it stands, in its order). A project takes part in a panel
// only where the figure is defined: productivity and time accuracy need actual minutes, size
// accuracy and defect density need actual new lines. The phase shares come from `seconds` (time
// logged per phase over all projects), in `phaseOrder` first, then the remaining phases by name.
// The defect charts count the logs of `defects` whose projects are in `rows`: the Pareto panel
// has the types by count descending (ties by type code), the unknown type last as "(不明)",
// with the running percent of all defects; the matrix orders its phases as the phase shares do.
// The quality panels take the projects of `rows` found in `quality`, each where its measure has a
// value; the range panel's bars are the running percent of the ranged projects so far that
// finished inside their range, so its last bar is the share over the whole list.
ChartFigures ComputeChartFigures(const std::vector<StatRow>& rows, const PhaseSeconds& seconds,
                                 const std::vector<std::string>& phaseOrder,
                                 const ProjectDefectLogs& defects = {}, const ProjectQualities& quality = {});

// A value as its label shows it: fixed with `decimals` decimals.
std::string ChartValueText(double value, int decimals);

} // namespace quilvane
