#include "statistics/ChartFigures.h"

#include <algorithm>
#include <cstdio>

#include "platform/DecimalText.h"

namespace quilvane {
namespace {

// The list's number columns, as StoreFromRows reads them.
constexpr std::size_t PlanNewColumn = 5;
constexpr std::size_t PlanMinutesColumn = 6;
constexpr std::size_t ActNewColumn = 9;
constexpr std::size_t ActMinutesColumn = 11;
constexpr std::size_t BugsColumn = 12;

double Number(const StatRow& row, std::size_t column)
{
    return static_cast<double>(AtoiLike(row[column]));
}

ChartPanel MakePanel(const char* title, const char* unit, int decimals, std::optional<double> reference)
{
    ChartPanel panel;
    panel.title = title;
    panel.unit = unit;
    panel.decimals = decimals;
    panel.reference = reference;
    return panel;
}

} // namespace

ChartFigures ComputeChartFigures(const std::vector<StatRow>& rows, const PhaseSeconds& seconds,
                                 const std::vector<std::string>& phaseOrder)
{
    ChartFigures figures;
    figures.panels = {
        MakePanel("生産性", "新規 LOC/時間", 1, std::nullopt),
        MakePanel("時間の見積り精度", "計画 / 実績", 2, 1.0),
        MakePanel("規模の見積り精度", "計画新規 LOC / 実績新規 LOC", 2, 1.0),
        MakePanel("欠陥密度", "欠陥数/KLOC", 1, std::nullopt),
        MakePanel("工程別の時間の割合", "全プロジェクト, %", 1, std::nullopt),
    };
    auto panel = [&figures](ChartKind kind) -> ChartPanel& {
        return figures.panels[static_cast<std::size_t>(kind)];
    };
    for (const StatRow& row : rows) {
        const std::string& name = row[StatNameColumn];
        const double minutes = Number(row, ActMinutesColumn);
        const double added = Number(row, ActNewColumn);
        // Unfinished projects hold zeros; a ratio over them means nothing.
        if (minutes > 0) {
            panel(ChartKind::Productivity).bars.push_back({name, added * 60.0 / minutes});
            panel(ChartKind::TimeRatio).bars.push_back({name, Number(row, PlanMinutesColumn) / minutes});
        }
        if (added > 0) {
            panel(ChartKind::SizeRatio).bars.push_back({name, Number(row, PlanNewColumn) / added});
            panel(ChartKind::DefectDensity).bars.push_back({name, Number(row, BugsColumn) * 1000.0 / added});
        }
    }

    double total = 0.0;
    for (const auto& entry : seconds) {
        total += entry.second;
    }
    if (total > 0) {
        std::vector<std::string> order;
        for (const std::string& name : phaseOrder) {
            if (seconds.count(name) != 0 && std::find(order.begin(), order.end(), name) == order.end()) {
                order.push_back(name);
            }
        }
        for (const auto& entry : seconds) {
            if (std::find(order.begin(), order.end(), entry.first) == order.end()) {
                order.push_back(entry.first);
            }
        }
        for (const std::string& name : order) {
            panel(ChartKind::PhaseShare).bars.push_back({name, seconds.at(name) * 100.0 / total});
        }
    }
    return figures;
}

std::string ChartValueText(double value, int decimals)
{
    char text[400]; // room for the largest double in fixed notation
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

} // namespace quilvane
