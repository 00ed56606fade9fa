// `class`: the class report over a registration folder: every registered project's measures and
// data-check findings, the spread of each exercise, the class's phase times and defects, and the
// files that could not be read; as a table, as JSON, and as a page (--html OUT).
#include <algorithm>
#include <cstdio>
#include <string>

#include <nlohmann/json.hpp>

#include "cli/Commands.h"
#include "platform/Cp932.h"
#include "platform/FileIo.h"
#include "project/TimerLimit.h"
#include "statistics/ChartFigures.h"
#include "statistics/ClassReport.h"
#include "statistics/ClassReportPage.h"

namespace quilvane::cli {
namespace {

using Json = nlohmann::ordered_json;

// More projects than this and the reading takes long enough to tell how far it is.
constexpr std::size_t ProgressFrom = 300;

Json Values(const ClassValues& values)
{
    Json out = Json::object();
    for (const ClassMeasureInfo& info : ClassMeasureTable()) {
        const auto& v = values[static_cast<std::size_t>(info.measure)];
        out[info.key] = v ? Json(*v) : Json(nullptr);
    }
    return out;
}

std::string JsonText(const ClassReport& report)
{
    Json exercises = Json::array();
    for (const ClassExercise& e : report.exercises) {
        Json x = {{"project", Cp932ToUtf8(e.project)}, {"students", e.students}};
        for (const ClassMeasureInfo& info : ClassMeasureTable()) {
            const auto& q = e.spread[static_cast<std::size_t>(info.measure)];
            x[info.key] = q ? Json{{"median", q->median}, {"q1", q->q1}, {"q3", q->q3}} : Json(nullptr);
        }
        exercises.push_back(std::move(x));
    }
    Json students = Json::array();
    for (const ClassStudent& s : report.students) {
        Json projects = Json::array();
        for (const ClassProject& p : s.projects) {
            Json x = {{"project", Cp932ToUtf8(p.project)}};
            x.update(Values(p.values));
            x["findings"] = p.findings.size();
            Json codes = Json::array();
            for (const Finding& f : p.findings) {
                codes.push_back(f.code);
            }
            x["findingCodes"] = std::move(codes);
            projects.push_back(std::move(x));
        }
        Json toDate = {{"projects", s.finished}};
        toDate.update(Values(s.toDate));
        students.push_back({{"user", Cp932ToUtf8(s.user)},
                            {"projects", std::move(projects)},
                            {"toDate", std::move(toDate)}});
    }
    Json phases = Json::array();
    for (const ClassPhaseShare& share : report.phaseShare) {
        phases.push_back(
            {{"phase", Cp932ToUtf8(share.phase)}, {"minutes", share.minutes}, {"percent", share.percent}});
    }
    Json types = Json::array();
    for (const DefectTypeRow& row : report.defectPareto) {
        types.push_back({{"type", row.type ? Json(*row.type) : Json(nullptr)}, {"count", row.count}});
    }
    Json matrix = Json::array();
    for (const DefectMatrixCell& cell : report.defects.matrix) {
        matrix.push_back({{"injected", cell.injected ? Json(Cp932ToUtf8(*cell.injected)) : Json(nullptr)},
                          {"removed", Cp932ToUtf8(cell.removed)},
                          {"count", cell.count}});
    }
    Json unreadable = Json::array();
    for (const UnreadableProject& u : report.unreadable) {
        unreadable.push_back({{"path", u.path}, {"reason", u.reason}});
    }
    Json out = {{"exercises", std::move(exercises)},    {"students", std::move(students)},
                {"phaseShare", std::move(phases)},      {"defectTypes", std::move(types)},
                {"injectedRemoved", std::move(matrix)}, {"unreadable", std::move(unreadable)}};
    // Folder names on disk need not be UTF-8; replacing keeps the dump from throwing.
    return out.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

std::string Figure(const std::optional<double>& value, int decimals)
{
    return value ? ChartValueText(*value, decimals) : "—";
}

std::string TableText(const ClassReport& report)
{
    std::string out = "課題\t人数";
    for (const ClassMeasureInfo& info : ClassMeasureTable()) {
        out += std::string("\t") + info.caption + " 中央値 (q1–q3)";
    }
    out += "\n";
    for (const ClassExercise& e : report.exercises) {
        out += Cp932ToUtf8(e.project) + "\t" + std::to_string(e.students);
        for (const ClassMeasureInfo& info : ClassMeasureTable()) {
            const auto& q = e.spread[static_cast<std::size_t>(info.measure)];
            out += "\t" + (q ? ChartValueText(q->median, info.decimals) + " (" +
                                   ChartValueText(q->q1, info.decimals) + "–" +
                                   ChartValueText(q->q3, info.decimals) + ")"
                             : std::string("—"));
        }
        out += "\n";
    }
    out += "\n利用者\t課題";
    for (const ClassMeasureInfo& info : ClassMeasureTable()) {
        out += std::string("\t") + info.caption;
    }
    out += "\t確認事項\n";
    for (const ClassStudent& s : report.students) {
        for (const ClassProject& p : s.projects) {
            out += Cp932ToUtf8(s.user) + "\t" + Cp932ToUtf8(p.project);
            for (const ClassMeasureInfo& info : ClassMeasureTable()) {
                out += "\t" + Figure(p.values[static_cast<std::size_t>(info.measure)], info.decimals);
            }
            out += "\t" + std::to_string(p.findings.size()) + "\n";
        }
        out += Cp932ToUtf8(s.user) + "\t累計(" + std::to_string(s.finished) + ")";
        for (const ClassMeasureInfo& info : ClassMeasureTable()) {
            out += "\t" + Figure(s.toDate[static_cast<std::size_t>(info.measure)], info.decimals);
        }
        out += "\t\n";
    }
    for (const UnreadableProject& u : report.unreadable) {
        out += "\n読めません\t" + u.path + "\t" + u.reason;
    }
    return report.unreadable.empty() ? out : out + "\n";
}

} // namespace

int RunClass(const Args& args)
{
    Args rest = args;
    std::string root = ".";
    std::string html;
    const bool json = TakeFlag(rest, "--json");
    if (!TakeOption(rest, "-C", root) || !TakeOption(rest, "--html", html) || !rest.empty() || root.empty()) {
        return ExitUsage;
    }
    const ClassProgress progress = [](std::size_t done, std::size_t total) {
        if (total > ProgressFrom) {
            std::fprintf(stderr, "quilvane-cli: %zu / %zu プロジェクト\n", done, total);
        }
    };
    std::string error;
    const auto report = BuildClassReport(root, LoadTimerLimit(), error, progress);
    if (!report) {
        Report(error);
        return ExitFailure;
    }
    if (!html.empty()) {
        if (Status written = WriteFileAtomically(html, ClassReportPage(*report, root)); !written) {
            Report(written.Message());
            return ExitFailure;
        }
        if (!json) {
            return ExitOk;
        }
    }
    // Whether it all arrived is checked once at the end (FinishOutput).
    const std::string text = json ? JsonText(*report) : TableText(*report);
    (void)std::fwrite(text.data(), 1, text.size(), stdout);
    return ExitOk;
}

} // namespace quilvane::cli
