#pragma once
// The figures of the in-app history charts, computed from the statistics list's rows without any
// window: one panel per question a student asks of the history, each a series of labelled bars
// in the list's order. The painter draws these panels as they are.
#include <optional>
#include <string>
#include <vector>

#include "project/SubRecords.h"
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
    std::vector<ChartBar> bars;
};

// Productivity, time accuracy, size accuracy, defect density and phase shares, in this order.
enum class ChartKind { Productivity, TimeRatio, SizeRatio, DefectDensity, PhaseShare };
inline constexpr std::size_t ChartPanelCount = 5;

struct ChartFigures {
    std::vector<ChartPanel> panels; // ChartPanelCount panels, indexed by ChartKind
    const ChartPanel& Panel(ChartKind kind) const { return panels[static_cast<std::size_t>(kind)]; }
};

// The panels over `rows` (the list as it stands, in its order). A project takes part in a panel
// only where the figure is defined: productivity and time accuracy need actual minutes, size
// accuracy and defect density need actual new lines. The phase shares come from `seconds` (time
// logged per phase over all projects), in `phaseOrder` first, then the remaining phases by name.
ChartFigures ComputeChartFigures(const std::vector<StatRow>& rows, const PhaseSeconds& seconds,
                                 const std::vector<std::string>& phaseOrder);

// A value as its label shows it: fixed with `decimals` decimals.
std::string ChartValueText(double value, int decimals);

} // namespace quilvane
