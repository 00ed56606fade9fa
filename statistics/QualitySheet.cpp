#include "statistics/QualitySheet.h"

#include <optional>

#include "platform/Cp932.h"
#include "statistics/ChartFigures.h"

namespace quilvane {
namespace {

// The tooltip of a figure: its formula, and for a null figure the reason after a line break.
std::string Tip(const std::string& formula, const QualityValue& value)
{
    if (value.value) {
        return formula;
    }
    return formula + "\n" + QualityNullText + ": " + NullReasonText(value.reason);
}

QualityCell MeasureCell(const QualityMeasureInfo& info, const QualityValue& value, bool oneProject)
{
    QualityCell cell{"", Tip(info.formula, value), true};
    if (!value.value) {
        // Few enough rows that the reason fits beside the dash, where the student sees it at once.
        cell.text = std::string(QualityNullText) + " " + NullReasonText(value.reason);
    } else if (!info.shareOfProjects) {
        cell.text = ChartValueText(*value.value, info.decimals);
    } else if (oneProject) {
        cell.text = *value.value > 0 ? "はい" : "いいえ";
    } else {
        cell.text = ChartValueText(*value.value, info.decimals) + "%";
    }
    return cell;
}

QualityCell CountCell(std::int64_t count, const char* formula)
{
    return {std::to_string(count), formula, true};
}

QualityCell RateCell(const QualityValue& value, int decimals, const char* formula)
{
    return {QualityFigureText(value, decimals), Tip(formula, value), true};
}

const char* const MinutesTip = "この工程の実績時間 (分) の合計";
const char* const InjectedTip = "この工程を混入工程とする欠陥の数";
const char* const RemovedTip = "この工程で記録 (発見・除去) した欠陥の数";
const char* const RemovalTip = "60 × 除去した欠陥 ÷ 時間(分)";
const char* const InjectionTip = "60 × 混入した欠陥 ÷ 時間(分)";
const char* const ReviewTip = "60 × 新規 LOC ÷ レビューの時間(分)";

// The two cells of each group for one side; an empty side (a phase the other side lacks) leaves
// its cells blank.
void AppendPhaseSide(std::vector<QualityCell>& row, const PhaseQuality* phase, std::size_t at)
{
    if (phase == nullptr) {
        row[at] = row[at + 2] = row[at + 4] = row[at + 6] = row[at + 8] = row[at + 10] = {};
        return;
    }
    const QualityPhaseTotals& t = phase->totals;
    row[at] = CountCell(t.minutes, MinutesTip);
    row[at + 2] = CountCell(t.injected, InjectedTip);
    row[at + 4] = CountCell(t.removed, RemovedTip);
    row[at + 6] = RateCell(phase->removalRate, 2, RemovalTip);
    row[at + 8] = RateCell(phase->injectionRate, 2, InjectionTip);
    row[at + 10] = phase->reviewRate ? RateCell(*phase->reviewRate, 1, ReviewTip) : QualityCell{};
}

const PhaseQuality* FindPhase(const QualityMeasures& m, const std::string& name)
{
    for (const PhaseQuality& phase : m.phases) {
        if (phase.totals.name == name) {
            return &phase;
        }
    }
    return nullptr;
}

std::vector<QualityCell> PhaseRow(const std::string& name, const PhaseQuality* mine,
                                  const PhaseQuality* toDate)
{
    std::vector<QualityCell> row(13);
    row[0] = {Cp932ToUtf8(name), "", false};
    AppendPhaseSide(row, mine, 1);
    AppendPhaseSide(row, toDate, 2);
    return row;
}

} // namespace

std::string QualityFigureText(const QualityValue& value, int decimals)
{
    return value.value ? ChartValueText(*value.value, decimals) : QualityNullText;
}

QualitySheet MakeQualitySheet(const QualityMeasures& project, const QualityMeasures& toDate)
{
    QualitySheet sheet;
    const std::string toDateCaption = "累計 (" + std::to_string(toDate.totals.projects) + " 件)";
    sheet.measureHeader = {"指標", "このプロジェクト", toDateCaption};
    for (const QualityMeasureInfo& info : QualityMeasureTable()) {
        sheet.measures.push_back({{info.caption, info.formula, false},
                                  MeasureCell(info, project[info.measure], true),
                                  MeasureCell(info, toDate[info.measure], false)});
    }
    sheet.phaseGroups = {"工程", "時間(分)", "混入", "除去", "除去/時間", "混入/時間", "レビュー(LOC/時間)"};
    sheet.phaseSubHeader.push_back("");
    for (std::size_t i = 1; i < sheet.phaseGroups.size(); ++i) {
        sheet.phaseSubHeader.push_back("今回");
        sheet.phaseSubHeader.push_back("累計");
    }
    for (const PhaseQuality& phase : project.phases) {
        sheet.phases.push_back(PhaseRow(phase.totals.name, &phase, FindPhase(toDate, phase.totals.name)));
    }
    for (const PhaseQuality& phase : toDate.phases) {
        if (FindPhase(project, phase.totals.name) == nullptr) {
            sheet.phases.push_back(PhaseRow(phase.totals.name, nullptr, &phase));
        }
    }
    if (project.totals.unknownInjected > 0) {
        sheet.notes.push_back("混入工程が不明の欠陥 " + std::to_string(project.totals.unknownInjected) +
                              " 件は歩留まりから除いています");
    }
    if (toDate.totals.projects == 0) {
        sheet.notes.push_back("累計: 終了したプロジェクトがまだありません");
    }
    return sheet;
}

ProjectQualityPage MakeProjectQualityPage(const QualityMeasures& project)
{
    // The sheet beside itself, keeping only this project's columns, so that the page and the view
    // never word a figure differently.
    const QualitySheet sheet = MakeQualitySheet(project, project);
    ProjectQualityPage page;
    for (const std::vector<QualityCell>& row : sheet.measures) {
        // On paper the reason of a null figure goes under the formula, where there is room.
        QualityCell figure = row[1];
        if (figure.text.rfind(QualityNullText, 0) == 0) {
            figure.text = QualityNullText;
        }
        page.measures.push_back({row[0], figure, {row[1].tip, "", false}});
    }
    page.phaseGroups = sheet.phaseGroups;
    for (const std::vector<QualityCell>& row : sheet.phases) {
        std::vector<QualityCell> mine{row[0]};
        for (std::size_t column = 1; column < row.size(); column += 2) {
            mine.push_back(row[column]);
        }
        page.phases.push_back(std::move(mine));
    }
    if (project.totals.unknownInjected > 0) {
        page.notes = {sheet.notes.front()};
    }
    return page;
}

} // namespace quilvane
