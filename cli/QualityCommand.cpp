// `quality`: the PSP quality and estimating measures (yield, A/FR, defects/KLOC, LOC/hour,
// estimating errors, the rates of each phase) of every finished project of a program folder, in
// the statistics list's order, and to date over them; or of one named project beside the figures
// to date.
#include <algorithm>
#include <cstdio>
#include <string>

#include <nlohmann/json.hpp>

#include "cli/Commands.h"
#include "platform/Cp932.h"
#include "platform/PathNames.h"
#include "platform/ProgramFolder.h"
#include "project/ProjectFile.h"
#include "statistics/ChartFigures.h"
#include "statistics/ProjectScan.h"
#include "statistics/QualityMeasures.h"

namespace quilvane::cli {
namespace {

using Json = nlohmann::ordered_json;

// What a null figure shows in the text table.
const char* const NullText = "—";

Json NumberOrNull(const QualityValue& value)
{
    return value.value ? Json(*value.value) : Json(nullptr);
}

// The measures, the reasons of the null ones, the counts they rest on and the phases. One
// project's `withinRange` is a yes or no; to date it is the percent of projects inside.
void AddMeasures(Json& out, const QualityMeasures& m, bool oneProject)
{
    Json reasons = Json::object();
    for (const QualityMeasureInfo& info : QualityMeasureTable()) {
        const QualityValue& value = m[info.measure];
        if (info.shareOfProjects && oneProject && value.value) {
            out[info.key] = *value.value > 0;
        } else {
            out[info.key] = NumberOrNull(value);
        }
        if (!value.value) {
            reasons[info.key] = NullReasonKey(value.reason);
        }
    }
    out["nullReasons"] = std::move(reasons);
    out["defects"] = m.totals.defects;
    out["unknownInjected"] = m.totals.unknownInjected;
    out["minutes"] = m.totals.minutes;
    out["newLoc"] = m.totals.newLoc;
    Json phases = Json::array();
    for (const PhaseQuality& phase : m.phases) {
        Json p = {{"phase", Cp932ToUtf8(phase.totals.name)},
                  {"minutes", phase.totals.minutes},
                  {"injected", phase.totals.injected},
                  {"removed", phase.totals.removed},
                  {"fixMinutes", phase.totals.fixMinutes},
                  {"removalRate", NumberOrNull(phase.removalRate)},
                  {"injectionRate", NumberOrNull(phase.injectionRate)}};
        if (phase.reviewRate) {
            p["reviewRate"] = NumberOrNull(*phase.reviewRate);
        }
        phases.push_back(std::move(p));
    }
    out["phases"] = std::move(phases);
}

std::string JsonText(const std::vector<ProjectQuality>& projects, const QualityMeasures& toDate)
{
    Json out = {{"projects", Json::array()}, {"toDate", Json::object()}};
    for (const ProjectQuality& project : projects) {
        Json p = {{"project", Cp932ToUtf8(project.project)}};
        AddMeasures(p, project.measures, true);
        out["projects"].push_back(std::move(p));
    }
    out["toDate"]["projects"] = toDate.totals.projects;
    AddMeasures(out["toDate"], toDate, false);
    // Names are converted from CP932, so they are valid UTF-8; replacing keeps the dump from
    // throwing should that ever change.
    return out.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

std::string Figure(const QualityValue& value, int decimals)
{
    return value.value ? ChartValueText(*value.value, decimals) : NullText;
}

std::string MeasureCell(const QualityMeasureInfo& info, const QualityValue& value, bool oneProject)
{
    if (!value.value || !info.shareOfProjects) {
        return Figure(value, info.decimals);
    }
    if (oneProject) {
        return *value.value > 0 ? "はい" : "いいえ";
    }
    return ChartValueText(*value.value, info.decimals) + "%";
}

void AppendMeasureRow(std::string& out, const std::string& label, const QualityMeasures& m, bool oneProject)
{
    out += label;
    for (const QualityMeasureInfo& info : QualityMeasureTable()) {
        out += "\t" + MeasureCell(info, m[info.measure], oneProject);
    }
    out += "\n";
}

void AppendPhaseTable(std::string& out, const std::string& label, const QualityMeasures& m)
{
    out += "\n" + label + " の工程\n工程\t時間(分)\t混入\t除去\t除去/時間\t混入/時間\tレビュー(LOC/時間)\n";
    for (const PhaseQuality& phase : m.phases) {
        const QualityPhaseTotals& t = phase.totals;
        out += Cp932ToUtf8(t.name) + "\t" + std::to_string(t.minutes) + "\t" + std::to_string(t.injected) +
               "\t" + std::to_string(t.removed) + "\t" + Figure(phase.removalRate, 2) + "\t" +
               Figure(phase.injectionRate, 2) + "\t" +
               (phase.reviewRate ? Figure(*phase.reviewRate, 1) : "") + "\n";
    }
}

std::string TableText(const std::vector<ProjectQuality>& projects, const QualityMeasures& toDate)
{
    std::string out = "プロジェクト";
    for (const QualityMeasureInfo& info : QualityMeasureTable()) {
        out += "\t";
        out += info.caption;
    }
    out += "\n";
    for (const ProjectQuality& project : projects) {
        AppendMeasureRow(out, Cp932ToUtf8(project.project), project.measures, true);
    }
    const std::string toDateLabel = "累計(" + std::to_string(toDate.totals.projects) + ")";
    AppendMeasureRow(out, toDateLabel, toDate, false);
    for (const ProjectQuality& project : projects) {
        AppendPhaseTable(out, Cp932ToUtf8(project.project), project.measures);
    }
    AppendPhaseTable(out, toDateLabel, toDate);
    return out;
}

// The measures of project folder `diskName`, finished or not. False, with the message told,
// when it holds no project file that can be read.
bool LoadNamedProject(std::string diskName, ProjectQuality& quality)
{
    const auto stored = StoredFolderArgument(diskName);
    if (!stored) {
        return false;
    }
    const std::string folder = ProgramFolder() + "/" + diskName;
    // One folder directly in the program folder, as the statistics list names its projects.
    const bool plainName = diskName != "." && diskName != ".." && diskName.find('/') == std::string::npos;
    const std::string file = plainName ? FirstProjectFile(folder) : "";
    if (file.empty()) {
        Report(diskName + ": プロジェクトファイルが見つかりません");
        return false;
    }
    ProjectRecord project;
    const Status loaded = LoadProjectFile(folder + "/" + file, project);
    if (!loaded.Ok()) {
        Report(loaded.Message());
        return false;
    }
    quality = {*stored, ComputeProjectQuality(project)};
    return true;
}

} // namespace

int RunQuality(const Args& args)
{
    Args rest = args;
    std::string folder;
    const bool json = TakeFlag(rest, "--json");
    if (!TakeOption(rest, "-C", folder) || rest.size() > 1 ||
        (rest.size() == 1 && (rest[0].empty() || rest[0][0] == '-'))) {
        return ExitUsage;
    }
    if (!UseProgramFolder(folder)) {
        return ExitFailure;
    }
    QualityHistory history = LoadQualityHistory("");
    if (rest.size() == 1) {
        ProjectQuality named;
        if (!LoadNamedProject(rest[0], named)) {
            return ExitFailure;
        }
        history.projects = {std::move(named)};
    }
    const std::string text =
        json ? JsonText(history.projects, history.toDate) : TableText(history.projects, history.toDate);
    // A full disk or a closed output must not pass for a finished report.
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::fflush(stdout) != 0 ||
        std::ferror(stdout) != 0) {
        Report("結果を書き出せません");
        return ExitFailure;
    }
    return ExitOk;
}

} // namespace quilvane::cli
