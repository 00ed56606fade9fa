#include "statistics/ChartFigures.h"

#include <algorithm>
#include <cstdio>

#include "platform/DecimalText.h"
#include "platform/MbString.h"
#include "project/DefectDetails.h"

namespace quilvane {
namespace {

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

// "(不明)" in CP932, the label of an unknown type or injected phase.
const std::string UnknownLabel = "(\x95\x73\x96\xbe)";

// `names` in `phaseOrder` first, then the others by name (byte order of the data model).
std::vector<std::string> InPhaseOrder(std::vector<std::string> names,
                                      const std::vector<std::string>& phaseOrder)
{
    std::sort(names.begin(), names.end(), MbsLess());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    std::vector<std::string> order;
    for (const std::string& name : phaseOrder) {
        if (std::find(names.begin(), names.end(), name) != names.end() &&
            std::find(order.begin(), order.end(), name) == order.end()) {
            order.push_back(name);
        }
    }
    for (const std::string& name : names) {
        if (std::find(order.begin(), order.end(), name) == order.end()) {
            order.push_back(name);
        }
    }
    return order;
}

void FillPareto(ChartPanel& panel, const DefectAnalysis& analysis)
{
    std::vector<DefectTypeRow> types = analysis.byType;
    // The analysis lists the types by code with the unknown one last; a stable sort keeps that
    // order among equal counts, and the unknown type stays last whatever its count, since it
    // names no cause to work on.
    std::stable_sort(types.begin(), types.end(), [](const DefectTypeRow& a, const DefectTypeRow& b) {
        if (a.type.has_value() != b.type.has_value()) {
            return a.type.has_value();
        }
        return a.count > b.count;
    });
    double total = 0.0;
    for (const DefectTypeRow& row : types) {
        total += row.count;
    }
    double sum = 0.0;
    for (const DefectTypeRow& row : types) {
        if (row.count <= 0) {
            continue;
        }
        sum += row.count;
        panel.bars.push_back(
            {row.type ? DefectTypeText(row.type) : UnknownLabel, static_cast<double>(row.count)});
        panel.cumulative.push_back(sum * 100.0 / total);
    }
}

DefectMatrixFigure MakeMatrix(const DefectAnalysis& analysis, const std::vector<std::string>& phaseOrder)
{
    DefectMatrixFigure matrix;
    matrix.title = "欠陥の混入工程と除去工程";
    matrix.unit = "件数, 行: 混入, 列: 除去";
    std::vector<std::string> injected;
    std::vector<std::string> removed;
    bool unknownInjected = false;
    for (const DefectMatrixCell& cell : analysis.matrix) {
        if (cell.injected) {
            injected.push_back(*cell.injected);
        } else {
            unknownInjected = true;
        }
        removed.push_back(cell.removed);
    }
    const std::vector<std::string> rowsInOrder = InPhaseOrder(injected, phaseOrder);
    matrix.removed = InPhaseOrder(removed, phaseOrder);
    matrix.injected = rowsInOrder;
    if (unknownInjected) {
        // A phase may itself be called "(不明)": the unknown row is told apart by its position.
        matrix.injected.push_back(UnknownLabel);
    }
    matrix.counts.assign(matrix.injected.size(), std::vector<std::int32_t>(matrix.removed.size(), 0));
    for (const DefectMatrixCell& cell : analysis.matrix) {
        const std::size_t row =
            cell.injected
                ? static_cast<std::size_t>(std::find(rowsInOrder.begin(), rowsInOrder.end(), *cell.injected) -
                                           rowsInOrder.begin())
                : rowsInOrder.size();
        const std::size_t column = static_cast<std::size_t>(
            std::find(matrix.removed.begin(), matrix.removed.end(), cell.removed) - matrix.removed.begin());
        matrix.counts[row][column] += cell.count;
    }
    return matrix;
}

} // namespace

namespace {

void FillQuality(ChartFigures& figures, const std::vector<StatRow>& rows, const ProjectQualities& quality)
{
    auto panel = [&figures](ChartKind kind) -> ChartPanel& {
        return figures.panels[static_cast<std::size_t>(kind)];
    };
    const std::pair<ChartKind, QualityMeasure> measures[] = {
        {ChartKind::Yield, QualityMeasure::Yield},
        {ChartKind::Afr, QualityMeasure::Afr},
        {ChartKind::TimeError, QualityMeasure::TimeErrorPercent}};
    std::int32_t ranged = 0;
    std::int32_t inside = 0;
    for (const StatRow& row : rows) {
        const std::string& name = row[StatNameColumn];
        auto found = quality.find(name);
        if (found == quality.end()) {
            continue;
        }
        const QualityMeasures& m = found->second;
        for (const auto& [kind, measure] : measures) {
            if (const auto& value = m[measure].value) {
                panel(kind).bars.push_back({name, *value});
            }
        }
        if (const auto& within = m[QualityMeasure::WithinRange].value) {
            ++ranged;
            inside += *within > 0 ? 1 : 0;
            panel(ChartKind::WithinRange).bars.push_back({name, 100.0 * inside / ranged});
        }
    }
    panel(ChartKind::Yield).emptyText = "コンパイル前に混入した欠陥の記録がありません";
    panel(ChartKind::TimeError).signedAxis = true;
    panel(ChartKind::TimeError).emptyText = "計画のあるプロジェクトがありません";
    panel(ChartKind::WithinRange).emptyText = "予測区間を計画したプロジェクトがありません";
}

} // namespace

ChartFigures ComputeChartFigures(const std::vector<StatRow>& rows, const PhaseSeconds& seconds,
                                 const std::vector<std::string>& phaseOrder, const ProjectDefectLogs& defects,
                                 const ProjectQualities& quality)
{
    ChartFigures figures;
    figures.panels = {
        MakePanel("生産性", "新規 LOC/時間", 1, std::nullopt),
        MakePanel("時間の見積り精度", "計画 / 実績", 2, 1.0),
        MakePanel("規模の見積り精度", "計画新規 LOC / 実績新規 LOC", 2, 1.0),
        MakePanel("欠陥密度", "欠陥数/KLOC", 1, std::nullopt),
        MakePanel("工程別の時間の割合", "全プロジェクト, %", 1, std::nullopt),
        MakePanel("欠陥の種別", "件数, 折れ線: 累積 %", 0, std::nullopt),
        MakePanel("歩留まり", "コンパイル前に除去した欠陥の %", 1, std::nullopt),
        MakePanel("A/FR", "レビュー時間 / コンパイル・テスト時間", 2, std::nullopt),
        MakePanel("時間の見積り誤差", "(実績 − 計画) / 計画, %", 1, std::nullopt),
        MakePanel("予測区間内の割合", "区間内で終えたプロジェクトの累積 %", 0, 100.0),
    };
    auto panel = [&figures](ChartKind kind) -> ChartPanel& {
        return figures.panels[static_cast<std::size_t>(kind)];
    };
    DefectAnalysis analysis;
    for (const StatRow& row : rows) {
        const std::string& name = row[StatNameColumn];
        if (auto log = defects.find(name); log != defects.end()) {
            analysis.Add(log->second);
        }
        const double minutes = Number(row, StatActMinutesColumn);
        const double added = Number(row, StatActNewColumn);
        // Unfinished projects hold zeros; a ratio over them means nothing.
        if (minutes > 0) {
            panel(ChartKind::Productivity).bars.push_back({name, added * 60.0 / minutes});
            panel(ChartKind::TimeRatio).bars.push_back({name, Number(row, StatPlanMinutesColumn) / minutes});
        }
        if (added > 0) {
            panel(ChartKind::SizeRatio).bars.push_back({name, Number(row, StatPlanNewColumn) / added});
            panel(ChartKind::DefectDensity)
                .bars.push_back({name, Number(row, StatBugsColumn) * 1000.0 / added});
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

    FillQuality(figures, rows, quality);
    panel(ChartKind::DefectPareto).emptyText = "欠陥の記録がありません";
    FillPareto(panel(ChartKind::DefectPareto), analysis);
    figures.defectMatrix = MakeMatrix(analysis, phaseOrder);
    return figures;
}

std::string ChartValueText(double value, int decimals)
{
    char text[400]; // room for the largest double in fixed notation
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

} // namespace quilvane
