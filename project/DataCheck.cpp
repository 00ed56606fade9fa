#include "project/DataCheck.h"

#include <algorithm>
#include <cstdlib>
#include <numeric>
#include <optional>

#include "platform/Cp932.h"
#include "project/DefectDetails.h"

namespace quilvane {
namespace {

const std::string& Postmortem()
{
    static const std::string name = Utf8ToCp932("事後分析");
    return name;
}

const std::string& Coding()
{
    static const std::string name = Utf8ToCp932("コーディング");
    return name;
}

std::string Shown(const std::string& stored)
{
    return Cp932ToUtf8(stored);
}

std::string Row(std::size_t index)
{
    return std::to_string(index + 1) + " 行目";
}

void Add(std::vector<Finding>& findings, const char* code, CheckedEntry entry, std::string message,
         std::string hint)
{
    findings.push_back({code, entry, std::move(message), std::move(hint)});
}

// The position of a phase in the project's phase table, if it has one.
std::optional<std::size_t> PhaseIndex(const ProjectRecord& project, const std::string& name)
{
    const auto it = std::find_if(project.phases.begin(), project.phases.end(),
                                 [&name](const PhaseRecord& phase) { return phase.name == name; });
    return it == project.phases.end() ? std::nullopt
                                      : std::optional(static_cast<std::size_t>(it - project.phases.begin()));
}

PhaseSeconds SecondsByPhase(const ProjectRecord& project)
{
    PhaseSeconds sums;
    project.timeLog.SumByPhase(sums);
    return sums;
}

std::int32_t SecondsIn(const PhaseSeconds& sums, const std::string& phase)
{
    const auto it = sums.find(phase);
    return it == sums.end() ? 0 : it->second;
}

bool IsFinished(const PhaseSeconds& sums)
{
    return SecondsIn(sums, Postmortem()) > 0;
}

void InjectedAfterFound(const ProjectRecord& project, std::int32_t, std::vector<Finding>& findings)
{
    for (std::size_t i = 0; i < project.defectLog.entries.size(); ++i) {
        const DefectEntry& defect = project.defectLog.entries[i];
        const DefectDetails details = DetailsOf(defect);
        if (!details.injected) {
            continue;
        }
        const auto injected = PhaseIndex(project, *details.injected);
        const auto found = PhaseIndex(project, defect.phase);
        if (injected && found && *injected > *found) {
            Add(findings, "injected-after-found", {CheckedLog::Defect, i},
                "バグ記録 " + Row(i) + ": 混入工程「" + Shown(*details.injected) + "」が、見つけた工程「" +
                    Shown(defect.phase) + "」より後です",
                "混入工程か、見つけた工程を確かめて下さい");
        }
    }
}

void FoundWithoutTime(const ProjectRecord& project, std::int32_t, std::vector<Finding>& findings)
{
    const PhaseSeconds sums = SecondsByPhase(project);
    for (std::size_t i = 0; i < project.defectLog.entries.size(); ++i) {
        const DefectEntry& defect = project.defectLog.entries[i];
        if (SecondsIn(sums, defect.phase) <= 0) {
            Add(findings, "found-without-time", {CheckedLog::Defect, i},
                "バグ記録 " + Row(i) + ": 工程「" + Shown(defect.phase) +
                    "」で見つけたことになっていますが、その工程の時間が記録されていません",
                "バグを記録した工程か、時間記録を確かめて下さい");
        }
    }
}

void EndsBeforeStart(const ProjectRecord& project, std::int32_t, std::vector<Finding>& findings)
{
    for (std::size_t i = 0; i < project.timeLog.entries.size(); ++i) {
        const TimeLogEntry& entry = project.timeLog.entries[i];
        if (entry.end.Seconds() < entry.start.Seconds()) {
            Add(findings, "ends-before-start", {CheckedLog::Time, i},
                "時間記録 " + Row(i) + ": 終了が開始より前です", "開始と終了の時刻を直して下さい");
        }
    }
}

void OverlappingEntries(const ProjectRecord& project, std::int32_t, std::vector<Finding>& findings)
{
    const auto& entries = project.timeLog.entries;
    std::vector<std::size_t> order(entries.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&entries](std::size_t a, std::size_t b) {
        return entries[a].start.Seconds() < entries[b].start.Seconds();
    });
    // The entry that reaches furthest so far: a later start before its end overlaps it.
    std::optional<std::size_t> reaching;
    for (const std::size_t i : order) {
        if (entries[i].end.Seconds() < entries[i].start.Seconds()) {
            continue; // told by its own rule
        }
        if (reaching && entries[i].start.Seconds() < entries[*reaching].end.Seconds()) {
            Add(findings, "overlapping-entries", {CheckedLog::Time, i},
                "時間記録 " + Row(i) + " が " + Row(*reaching) + " と重なっています",
                "同じ時間を二度記録していないか確かめて下さい");
        }
        if (!reaching || entries[i].end.Seconds() > entries[*reaching].end.Seconds()) {
            reaching = i;
        }
    }
}

void LongerThanLimit(const ProjectRecord& project, std::int32_t timerLimitMinutes,
                     std::vector<Finding>& findings)
{
    for (std::size_t i = 0; i < project.timeLog.entries.size(); ++i) {
        const TimeLogEntry& entry = project.timeLog.entries[i];
        const std::int64_t seconds = std::int64_t{entry.end.Seconds()} - entry.start.Seconds();
        if (seconds > std::int64_t{timerLimitMinutes} * 60) {
            Add(findings, "longer-than-limit", {CheckedLog::Time, i},
                "時間記録 " + Row(i) + ": " +
                    std::to_string(SecondsToMinutes(static_cast<std::int32_t>(seconds))) + " 分あり、" +
                    std::to_string(timerLimitMinutes) + " 分を超えています",
                "モードを切り替え忘れていないか確かめて下さい");
        }
    }
}

void FixLongerThanPhase(const ProjectRecord& project, std::int32_t, std::vector<Finding>& findings)
{
    const PhaseSeconds sums = SecondsByPhase(project);
    for (std::size_t i = 0; i < project.defectLog.entries.size(); ++i) {
        const DefectEntry& defect = project.defectLog.entries[i];
        const DefectDetails details = DetailsOf(defect);
        const std::int32_t phaseSeconds = SecondsIn(sums, defect.phase);
        const std::int32_t phaseMinutes = SecondsToMinutes(phaseSeconds);
        // A phase without any time is told by its own rule.
        if (phaseSeconds > 0 && details.fixMinutes && *details.fixMinutes > phaseMinutes) {
            Add(findings, "fix-longer-than-phase", {CheckedLog::Defect, i},
                "バグ記録 " + Row(i) + ": 修正時間 " + std::to_string(*details.fixMinutes) + " 分が、工程「" +
                    Shown(defect.phase) + "」の記録時間 " + std::to_string(phaseMinutes) +
                    " 分より長くなっています",
                "修正時間か、バグを記録した工程を確かめて下さい");
        }
    }
}

void WorkAfterPostmortem(const ProjectRecord& project, std::int32_t, std::vector<Finding>& findings)
{
    const auto& entries = project.timeLog.entries;
    std::optional<std::int32_t> postmortemEnd;
    for (const TimeLogEntry& entry : entries) {
        if (entry.phase == Postmortem() && (!postmortemEnd || entry.end.Seconds() < *postmortemEnd)) {
            postmortemEnd = entry.end.Seconds();
        }
    }
    if (!postmortemEnd) {
        return;
    }
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].phase != Postmortem() && entries[i].start.Seconds() >= *postmortemEnd) {
            Add(findings, "work-after-postmortem", {CheckedLog::Time, i},
                "時間記録 " + Row(i) + ": 事後分析の後に工程「" + Shown(entries[i].phase) +
                    "」の時間があります",
                "事後分析は最後の工程です。記録した工程を確かめて下さい");
        }
    }
}

void NoPlan(const ProjectRecord& project, std::int32_t, std::vector<Finding>& findings)
{
    const std::int64_t planned =
        std::accumulate(project.phases.begin(), project.phases.end(), std::int64_t{0},
                        [](std::int64_t sum, const PhaseRecord& p) { return sum + p.plan; });
    if (IsFinished(SecondsByPhase(project)) && planned == 0) {
        Add(findings, "no-plan", {}, "事後分析まで進んでいますが、計画時間が入っていません",
            "計画見積りで合計時間を見積り、工程ごとの計画時間を入れて下さい");
    }
}

void NotMeasured(const ProjectRecord& project, std::int32_t, std::vector<Finding>& findings)
{
    const PhaseSeconds sums = SecondsByPhase(project);
    if (IsFinished(sums) && project.result.actualNew == 0 && SecondsIn(sums, Coding()) > 0) {
        Add(findings, "not-measured", {}, "コーディングの時間がありますが、新規 LOC が 0 のままです",
            "結果の「計算」で LOC を数えて下さい");
    }
}

void TableDisagrees(const ProjectRecord& project, std::int32_t, std::vector<Finding>& findings)
{
    const PhaseSeconds sums = SecondsByPhase(project);
    for (const PhaseRecord& phase : project.phases) {
        const std::int32_t logged = SecondsToMinutes(SecondsIn(sums, phase.name));
        if (std::abs(std::int64_t{phase.actual} - logged) > 1) {
            Add(findings, "table-disagrees", {},
                "工程「" + Shown(phase.name) + "」の実績 " + std::to_string(phase.actual) +
                    " 分が、時間記録の合計 " + std::to_string(logged) + " 分と合いません",
                "プロジェクトを開き直すと、実績は時間記録から計算し直されます");
        }
    }
}

} // namespace

const std::vector<DataCheckRule>& DataCheckRules()
{
    static const std::vector<DataCheckRule> rules = {
        {"injected-after-found", InjectedAfterFound},
        {"found-without-time", FoundWithoutTime},
        {"ends-before-start", EndsBeforeStart},
        {"overlapping-entries", OverlappingEntries},
        {"longer-than-limit", LongerThanLimit},
        {"fix-longer-than-phase", FixLongerThanPhase},
        {"work-after-postmortem", WorkAfterPostmortem},
        {"no-plan", NoPlan},
        {"not-measured", NotMeasured},
        {"table-disagrees", TableDisagrees},
    };
    return rules;
}

std::vector<Finding> CheckProjectData(const ProjectRecord& project, std::int32_t timerLimitMinutes)
{
    std::vector<Finding> findings;
    for (const DataCheckRule& rule : DataCheckRules()) {
        rule.find(project, timerLimitMinutes, findings);
    }
    return findings;
}

} // namespace quilvane
