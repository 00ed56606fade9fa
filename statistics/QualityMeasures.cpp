#include "statistics/QualityMeasures.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "platform/MbString.h"
#include "project/DefectDetails.h"
#include "statistics/ProjectScan.h"

namespace quilvane {
namespace {

QualityValue Value(double value)
{
    return {value, NullReason::None};
}

QualityValue Null(NullReason reason)
{
    return {std::nullopt, reason};
}

// `perUnit` × `count` ÷ `divisor`, null when the divisor is not positive.
QualityValue Rate(double perUnit, std::int64_t count, std::int64_t divisor)
{
    if (divisor <= 0) {
        return Null(NullReason::ZeroDivisor);
    }
    return Value(perUnit * static_cast<double>(count) / static_cast<double>(divisor));
}

// 100 × (actual − planned) ÷ planned.
QualityValue ErrorPercent(std::int64_t actual, std::int64_t planned)
{
    return Value(100.0 * static_cast<double>(actual - planned) / static_cast<double>(planned));
}

QualityValue YieldOf(const QualityTotals& t)
{
    if (t.withBoundary == 0) {
        return Null(NullReason::NoCompilePhase);
    }
    if (t.injectedBeforeCompile == 0) {
        if (t.defects == 0) {
            return Null(NullReason::NoDefects);
        }
        return Null(t.unknownInjected == t.defects ? NullReason::NoInjectedPhase : NullReason::ZeroDivisor);
    }
    return Rate(100.0, t.foundBeforeCompile, t.injectedBeforeCompile);
}

QualityValue AfrOf(const QualityTotals& t)
{
    // Failure minutes are only taken where the table has a compile or test phase; a table
    // without either says so rather than claiming a zero divisor.
    if (t.withBoundary == 0) {
        return Null(NullReason::NoCompilePhase);
    }
    return Rate(1.0, t.reviewMinutes, t.failureMinutes);
}

QualityValue DefectsPerKlocOf(const QualityTotals& t)
{
    return Rate(1000.0, t.defects, t.newLoc);
}

QualityValue LocPerHourOf(const QualityTotals& t)
{
    return Rate(60.0, t.newLoc, t.minutes);
}

QualityValue TimeErrorOf(const QualityTotals& t)
{
    if (t.timePlanned == 0 || t.plannedMinutes <= 0) {
        return Null(NullReason::NoPlan);
    }
    return ErrorPercent(t.actualMinutesPlanned, t.plannedMinutes);
}

QualityValue SizeErrorOf(const QualityTotals& t)
{
    if (t.sizePlanned == 0 || t.plannedNewLoc <= 0) {
        return Null(NullReason::NoPlan);
    }
    return ErrorPercent(t.actualNewLocPlanned, t.plannedNewLoc);
}

QualityValue WithinRangeOf(const QualityTotals& t)
{
    if (t.ranged == 0) {
        return Null(NullReason::NoPlan);
    }
    return Value(100.0 * t.withinRange / t.ranged);
}

const std::array<QualityMeasureInfo, QualityMeasureCount> MeasureTable = {{
    {QualityMeasure::Yield, "yield", "歩留まり(%)",
     "100 × コンパイル前に除去した欠陥 ÷ コンパイル前に混入した欠陥 (コンパイルがなければテストの前まで。"
     "混入工程が不明の欠陥は除く)",
     1, false, YieldOf},
    {QualityMeasure::Afr, "afr", "A/FR",
     "(設計レビュー + コードレビュー の実績時間) ÷ (コンパイル + テスト の実績時間)", 2, false, AfrOf},
    {QualityMeasure::DefectsPerKloc, "defectsPerKloc", "欠陥/KLOC", "1000 × 欠陥数 ÷ 実績の新規 LOC", 1,
     false, DefectsPerKlocOf},
    {QualityMeasure::LocPerHour, "locPerHour", "LOC/時間", "60 × 実績の新規 LOC ÷ 実績の合計時間 (分)", 1,
     false, LocPerHourOf},
    {QualityMeasure::TimeErrorPercent, "timeErrorPercent", "時間誤差(%)",
     "100 × (実績の合計時間 − 計画の合計時間) ÷ 計画の合計時間 (計画のあるプロジェクトのみ)", 1, false,
     TimeErrorOf},
    {QualityMeasure::SizeErrorPercent, "sizeErrorPercent", "規模誤差(%)",
     "100 × (実績の新規 LOC − 計画の新規 LOC) ÷ 計画の新規 LOC (計画のあるプロジェクトのみ)", 1, false,
     SizeErrorOf},
    {QualityMeasure::WithinRange, "withinRange", "予測区間内",
     "実績の合計時間が 計画の合計時間 ± 予測区間 の内にあるか (累計では内にあったプロジェクトの割合 %)", 0,
     true, WithinRangeOf},
}};

bool IsReviewPhase(const std::string& name)
{
    return name == DesignReviewPhase || name == CodeReviewPhase;
}

bool IsFailurePhase(const std::string& name)
{
    return name == CompilePhase || name == TestPhase;
}

std::optional<std::size_t> PhaseIndex(const std::vector<QualityPhaseTotals>& phases, const std::string& name)
{
    for (std::size_t i = 0; i < phases.size(); ++i) {
        if (phases[i].name == name) {
            return i;
        }
    }
    return std::nullopt;
}

// The index of the first phase no longer "before compile": コンパイル, else テスト.
std::optional<std::size_t> CompileBoundary(const std::vector<QualityPhaseTotals>& phases)
{
    if (auto compile = PhaseIndex(phases, CompilePhase)) {
        return compile;
    }
    return PhaseIndex(phases, TestPhase);
}

// The half width of the planned range, when one was predicted: "%.2f" text. "∞" (too little
// history for an interval), an empty or an edited text that is no number gives none.
std::optional<double> RangeHalfWidth(const std::string& rangeText)
{
    double value = 0.0;
    const char* end = rangeText.data() + rangeText.size();
    auto [ptr, ec] = std::from_chars(rangeText.data(), end, value);
    if (ec != std::errc() || ptr != end || !std::isfinite(value) || value < 0) {
        return std::nullopt;
    }
    return value;
}

void CountPlan(const ProjectRecord& project, QualityTotals& t)
{
    const PlanEstimate& plan = project.estimate;
    if (plan.totalMinutes > 0) {
        t.timePlanned = 1;
        t.plannedMinutes = plan.totalMinutes;
        t.actualMinutesPlanned = t.minutes;
        if (auto half = RangeHalfWidth(plan.rangeText)) {
            t.ranged = 1;
            t.withinRange = std::fabs(static_cast<double>(t.minutes - plan.totalMinutes)) <= *half ? 1 : 0;
        }
    }
    if (plan.newLoc > 0) {
        t.sizePlanned = 1;
        t.plannedNewLoc = plan.newLoc;
        t.actualNewLocPlanned = t.newLoc;
    }
}

void CountDefects(const ProjectRecord& project, QualityTotals& t)
{
    const std::optional<std::size_t> boundary = CompileBoundary(t.phases);
    for (const DefectEntry& entry : project.defectLog.entries) {
        ++t.defects;
        const DefectDetails details = DetailsOf(entry);
        const std::optional<std::size_t> removed = PhaseIndex(t.phases, entry.phase);
        if (removed) {
            ++t.phases[*removed].removed;
            t.phases[*removed].fixMinutes += details.fixMinutes.value_or(0);
        }
        const std::optional<std::size_t> injected =
            details.injected ? PhaseIndex(t.phases, *details.injected) : std::nullopt;
        if (!injected) {
            ++t.unknownInjected;
            continue;
        }
        ++t.phases[*injected].injected;
        if (boundary && *injected < *boundary) {
            ++t.injectedBeforeCompile;
            // A defect recorded in a phase outside the table was not found before compile.
            if (removed && *removed < *boundary) {
                ++t.foundBeforeCompile;
            }
        }
    }
}

PhaseQuality PhaseQualityOf(const QualityPhaseTotals& phase)
{
    PhaseQuality q;
    q.totals = phase;
    q.removalRate = Rate(60.0, phase.removed, phase.minutes);
    q.injectionRate = Rate(60.0, phase.injected, phase.minutes);
    if (phase.review) {
        q.reviewRate = Rate(60.0, phase.reviewedLoc, phase.minutes);
    }
    return q;
}

} // namespace

const char* NullReasonText(NullReason reason)
{
    switch (reason) {
    case NullReason::None:
        return "";
    case NullReason::NoCompilePhase:
        return "コンパイルの工程がありません";
    case NullReason::NoPlan:
        return "計画がありません";
    case NullReason::NoDefects:
        return "欠陥の記録がありません";
    case NullReason::NoInjectedPhase:
        return "欠陥の混入工程が記録されていません";
    case NullReason::ZeroDivisor:
        return "割る数が 0 です";
    }
    return "";
}

const char* NullReasonKey(NullReason reason)
{
    switch (reason) {
    case NullReason::None:
        return "";
    case NullReason::NoCompilePhase:
        return "noCompilePhase";
    case NullReason::NoPlan:
        return "noPlan";
    case NullReason::NoDefects:
        return "noDefects";
    case NullReason::NoInjectedPhase:
        return "noInjectedPhase";
    case NullReason::ZeroDivisor:
        return "zeroDivisor";
    }
    return "";
}

void QualityTotals::Add(const QualityTotals& other)
{
    projects += other.projects;
    withBoundary += other.withBoundary;
    defects += other.defects;
    unknownInjected += other.unknownInjected;
    injectedBeforeCompile += other.injectedBeforeCompile;
    foundBeforeCompile += other.foundBeforeCompile;
    reviewMinutes += other.reviewMinutes;
    failureMinutes += other.failureMinutes;
    minutes += other.minutes;
    newLoc += other.newLoc;
    timePlanned += other.timePlanned;
    plannedMinutes += other.plannedMinutes;
    actualMinutesPlanned += other.actualMinutesPlanned;
    sizePlanned += other.sizePlanned;
    plannedNewLoc += other.plannedNewLoc;
    actualNewLocPlanned += other.actualNewLocPlanned;
    ranged += other.ranged;
    withinRange += other.withinRange;
    for (const QualityPhaseTotals& phase : other.phases) {
        if (auto at = PhaseIndex(phases, phase.name)) {
            QualityPhaseTotals& mine = phases[*at];
            mine.minutes += phase.minutes;
            mine.injected += phase.injected;
            mine.removed += phase.removed;
            mine.fixMinutes += phase.fixMinutes;
            mine.reviewedLoc += phase.reviewedLoc;
        } else {
            phases.push_back(phase);
        }
    }
}

const std::array<QualityMeasureInfo, QualityMeasureCount>& QualityMeasureTable()
{
    return MeasureTable;
}

QualityTotals TotalsOf(const ProjectRecord& project)
{
    QualityTotals t;
    t.projects = 1;
    for (const PhaseRecord& row : project.phases) {
        t.minutes += row.actual;
        if (PhaseIndex(t.phases, row.name)) {
            continue;
        }
        const std::int64_t reviewedLoc = row.actual > 0 ? project.result.actualNew : 0;
        t.phases.push_back({row.name, row.actual, 0, 0, 0, reviewedLoc, IsReviewPhase(row.name)});
        if (IsReviewPhase(row.name)) {
            t.reviewMinutes += row.actual;
        } else if (IsFailurePhase(row.name)) {
            t.failureMinutes += row.actual;
        }
    }
    t.withBoundary = CompileBoundary(t.phases) ? 1 : 0;
    t.newLoc = project.result.actualNew;
    CountPlan(project, t);
    CountDefects(project, t);
    return t;
}

QualityMeasures ComputeQuality(const QualityTotals& totals)
{
    QualityMeasures m;
    m.totals = totals;
    for (const QualityMeasureInfo& info : MeasureTable) {
        m.values[static_cast<std::size_t>(info.measure)] = info.compute(totals);
    }
    m.phases.reserve(totals.phases.size());
    for (const QualityPhaseTotals& phase : totals.phases) {
        m.phases.push_back(PhaseQualityOf(phase));
    }
    return m;
}

QualityMeasures ComputeProjectQuality(const ProjectRecord& project)
{
    return ComputeQuality(TotalsOf(project));
}

bool IsFinishedProject(const ProjectRecord& project)
{
    std::int64_t minutes = 0;
    for (const PhaseRecord& row : project.phases) {
        minutes += row.actual;
    }
    return minutes > 0;
}

namespace {

// The history from the totals of finished projects: by name as the statistics list orders its
// rows, then the ratios of each and of their sum.
QualityHistory HistoryOf(std::vector<std::pair<std::string, QualityTotals>> finished)
{
    std::stable_sort(finished.begin(), finished.end(),
                     [](const auto& a, const auto& b) { return MbsCmp(a.first, b.first) < 0; });
    QualityHistory history;
    QualityTotals sum;
    history.projects.reserve(finished.size());
    for (auto& [name, totals] : finished) {
        sum.Add(totals);
        history.projects.push_back({std::move(name), ComputeQuality(totals)});
    }
    history.toDate = ComputeQuality(sum);
    return history;
}

} // namespace

QualityHistory ComputeQualityHistory(const std::vector<std::pair<std::string, ProjectRecord>>& projects)
{
    std::vector<std::pair<std::string, QualityTotals>> finished;
    for (const auto& [name, project] : projects) {
        if (IsFinishedProject(project)) {
            finished.emplace_back(name, TotalsOf(project));
        }
    }
    return HistoryOf(std::move(finished));
}

QualityHistory LoadQualityHistory(const std::string& excludedName)
{
    // Only the totals are kept, not the records: a long history stays small.
    std::vector<std::pair<std::string, QualityTotals>> finished;
    ForEachScannedProject(excludedName, [&finished](const std::string& name, const ProjectRecord& project) {
        if (IsFinishedProject(project)) {
            finished.emplace_back(name, TotalsOf(project));
        }
    });
    return HistoryOf(std::move(finished));
}

QualityMeasures ToDateWith(const QualityHistory& history, const ProjectRecord& open)
{
    if (!IsFinishedProject(open)) {
        return history.toDate;
    }
    QualityTotals sum = history.toDate.totals;
    sum.Add(TotalsOf(open));
    return ComputeQuality(sum);
}

} // namespace quilvane
