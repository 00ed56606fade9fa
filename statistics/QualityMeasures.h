#pragma once
// The PSP quality and estimating measures of one project and of the student's finished projects
// to date, computed from what a project file already holds: the phase table's actual minutes, the
// plan, the results' new LOC and the defect log with its injected phases.
//
// Every measure is a ratio of totals. A project is first reduced to its totals (TotalsOf); the
// totals of several projects are added (QualityTotals::Add), and only then are the ratios taken
// (ComputeQuality). So the figures to date are sums divided by sums, as the PSP forms sum them,
// never averages of the projects' ratios, and one project is simply the case of one.
//
// "Before compile" is every phase before the first phase named コンパイル, or before the first
// phase named テスト when there is none. A defect whose injected phase is unknown, or names no
// phase of the project's table, cannot be placed on either side and is left out of the yield;
// it is counted apart in `unknownInjected`.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "project/ProjectRecord.h"

namespace quilvane {

// Why a measure has no value.
enum class NullReason {
    None,            // the measure has a value
    NoCompilePhase,  // the phase table has neither コンパイル nor テスト
    NoPlan,          // nothing was planned (minutes, new LOC or the range)
    NoDefects,       // the defect log is empty
    NoInjectedPhase, // defects were recorded, but none with a known injected phase
    ZeroDivisor,     // what the measure divides by is 0 (no minutes, no LOC, none injected)
};

// The reason as the workbench shows it beside "—" (UTF-8).
const char* NullReasonText(NullReason reason);
// The reason as a JSON value: "noCompilePhase", "noPlan", "noDefects", "noInjectedPhase",
// "zeroDivisor"; "" for None.
const char* NullReasonKey(NullReason reason);

struct QualityValue {
    std::optional<double> value;
    NullReason reason = NullReason::None; // None exactly when `value` holds a number

    bool operator==(const QualityValue&) const = default;
};

// The sums behind the measures for one phase name.
struct QualityPhaseTotals {
    std::string name;            // CP932
    std::int64_t minutes = 0;    // actual minutes
    std::int64_t injected = 0;   // defects injected in this phase
    std::int64_t removed = 0;    // defects recorded (found and removed) in this phase
    std::int64_t fixMinutes = 0; // fix minutes of the defects removed here whose fix time is known
    // New LOC of the projects that spent time in this phase: a review rate to date divides only
    // the lines that were reviewed by the review minutes.
    std::int64_t reviewedLoc = 0;
    bool review = false; // 設計レビュー or コードレビュー

    bool operator==(const QualityPhaseTotals&) const = default;
};

// The totals of one project, or the sums over several. Counts of projects say how many took part
// in a measure, so that a measure nobody could take part in stays null with its reason.
struct QualityTotals {
    std::int32_t projects = 0;
    std::int32_t withBoundary = 0;    // projects with コンパイル or テスト in the phase table
    std::int64_t defects = 0;         // every defect-log entry
    std::int64_t unknownInjected = 0; // defects whose injected phase is unknown or not in the table
    std::int64_t injectedBeforeCompile = 0;
    std::int64_t foundBeforeCompile = 0; // of those, removed in a phase before compile as well
    std::int64_t reviewMinutes = 0;      // 設計レビュー + コードレビュー
    std::int64_t failureMinutes = 0;     // コンパイル + テスト
    std::int64_t minutes = 0;            // actual total minutes (sum of the phase table)
    std::int64_t newLoc = 0;             // actual new LOC of the results
    std::int32_t timePlanned = 0;        // projects with planned total minutes > 0
    std::int64_t plannedMinutes = 0;     // of those projects
    std::int64_t actualMinutesPlanned = 0;
    std::int32_t sizePlanned = 0; // projects with planned new LOC > 0
    std::int64_t plannedNewLoc = 0;
    std::int64_t actualNewLocPlanned = 0;
    std::int32_t ranged = 0;      // projects with a planned total and a finite prediction range
    std::int32_t withinRange = 0; // of those, projects whose actual minutes lie inside it
    // In the project's phase order; when adding, phases of the same name are summed and new ones
    // follow in the order they first appear.
    std::vector<QualityPhaseTotals> phases;

    // Adds `other` in: every count and sum, and the phases by name.
    void Add(const QualityTotals& other);
    bool operator==(const QualityTotals&) const = default;
};

// The measures of the table below, by position.
enum class QualityMeasure {
    Yield,
    Afr,
    DefectsPerKloc,
    LocPerHour,
    TimeErrorPercent,
    SizeErrorPercent,
    WithinRange
};
inline constexpr std::size_t QualityMeasureCount = 7;

// One measure, declared once for every place that shows it (the command, the view, the charts,
// the printed page).
struct QualityMeasureInfo {
    QualityMeasure measure;
    const char* key;     // the JSON key
    const char* caption; // UTF-8, a short column caption
    const char* formula; // UTF-8, how the figure is computed (the view's tooltip)
    int decimals;        // shown with this many decimals
    // True for `withinRange`: the value is the percent of projects inside their planned range,
    // so one project's value is 100 (yes) or 0 (no).
    bool shareOfProjects;
    QualityValue (*compute)(const QualityTotals& totals);
};

// Every measure in QualityMeasure order.
const std::array<QualityMeasureInfo, QualityMeasureCount>& QualityMeasureTable();

struct PhaseQuality {
    QualityPhaseTotals totals;
    QualityValue removalRate;   // defects removed per hour; null at 0 minutes
    QualityValue injectionRate; // defects injected per hour; null at 0 minutes
    // New LOC reviewed per hour; only for a review phase (nullopt otherwise), null at 0 minutes.
    std::optional<QualityValue> reviewRate;

    bool operator==(const PhaseQuality&) const = default;
};

struct QualityMeasures {
    QualityTotals totals;
    std::array<QualityValue, QualityMeasureCount> values; // by QualityMeasure
    std::vector<PhaseQuality> phases;                     // in the order of totals.phases

    const QualityValue& operator[](QualityMeasure measure) const
    {
        return values[static_cast<std::size_t>(measure)];
    }
};

// The CP932 phase names the measures look for.
inline const std::string CompilePhase = "\x83\x52\x83\x93\x83\x70\x83\x43\x83\x8B"; // コンパイル
inline const std::string TestPhase = "\x83\x65\x83\x58\x83\x67";                    // テスト
inline const std::string DesignReviewPhase =
    "\x90\xDD\x8C\x76\x83\x8C\x83\x72\x83\x85\x81\x5B"; // 設計レビュー
inline const std::string CodeReviewPhase =
    "\x83\x52\x81\x5B\x83\x68\x83\x8C\x83\x72\x83\x85\x81\x5B"; // コードレビュー

// The sums of one project. A phase name that occurs twice in the table counts once, at its first
// row; the actual total minutes are still the sum of every row, as the results show them.
QualityTotals TotalsOf(const ProjectRecord& project);

// The ratios of `totals`.
QualityMeasures ComputeQuality(const QualityTotals& totals);

// ComputeQuality(TotalsOf(project)).
QualityMeasures ComputeProjectQuality(const ProjectRecord& project);

// A project takes part in the history's measures once it has actual minutes.
bool IsFinishedProject(const ProjectRecord& project);

struct ProjectQuality {
    std::string project; // CP932, the stored folder name as the statistics list names it
    QualityMeasures measures;
};

struct QualityHistory {
    std::vector<ProjectQuality> projects; // the finished projects in history order
    QualityMeasures toDate;               // over the same projects: totals summed, then the ratios
};

// The measures of the finished projects among `projects` (name and record), in history order
// (the statistics list's order by name), and to date over them.
QualityHistory ComputeQualityHistory(const std::vector<std::pair<std::string, ProjectRecord>>& projects);

// The same over the projects the statistics scan finds beside the program, skipping
// `excludedName` as the scan does (byte-exact; empty skips none).
QualityHistory LoadQualityHistory(const std::string& excludedName);

// The figures to date with `open` added when it is finished: for a view of the open project,
// whose history is scanned without it (its file may be behind the record being edited).
QualityMeasures ToDateWith(const QualityHistory& history, const ProjectRecord& open);

} // namespace quilvane
