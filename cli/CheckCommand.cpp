// `check`: the data check of one project of a program folder, as the workbench's データ確認 lists
// it. Exit 0 when nothing is found and 3 when something is, so that a script can tell findings
// from failures (1) and usage errors (2).
#include <cstdio>
#include <iostream>
#include <nlohmann/json.hpp>

#include "cli/Commands.h"
#include "platform/PathNames.h"
#include "platform/ProgramFolder.h"
#include "project/DataCheck.h"
#include "project/ProjectFile.h"
#include "project/TimerLimit.h"
#include "statistics/ProjectScan.h"

namespace quilvane::cli {
namespace {

nlohmann::json EntryJson(const CheckedEntry& entry)
{
    if (entry.log == CheckedLog::None) {
        return nullptr;
    }
    return {{"log", entry.log == CheckedLog::Time ? "time" : "defect"}, {"row", entry.index + 1}};
}

void PrintFindings(const std::vector<Finding>& findings, bool json)
{
    if (json) {
        nlohmann::json list = nlohmann::json::array();
        for (const Finding& finding : findings) {
            list.push_back({{"code", finding.code},
                            {"entry", EntryJson(finding.entry)},
                            {"message", finding.message},
                            {"hint", finding.hint}});
        }
        std::cout << nlohmann::json{{"findings", list}}.dump(2) << "\n";
        return;
    }
    for (const Finding& finding : findings) {
        std::cout << finding.code << ": " << finding.message << "\n  " << finding.hint << "\n";
    }
    std::cout << "確認事項: " << findings.size() << " 件\n";
}

} // namespace

int RunCheck(const Args& args)
{
    Args rest = args;
    std::string folder;
    if (!TakeOption(rest, "-C", folder)) {
        return ExitUsage;
    }
    const bool json = TakeFlag(rest, "--json");
    if (rest.size() != 1 || rest[0].empty() || rest[0][0] == '-') {
        return ExitUsage;
    }
    const std::string& projectArg = rest[0];
    if (!UseProgramFolder(folder)) {
        return ExitFailure;
    }
    const std::string projectFolder = ProgramPath(projectArg);
    const std::string file = FirstProjectFile(projectFolder);
    if (file.empty()) {
        std::fprintf(stderr, "quilvane-cli: プロジェクト「%s」のプロジェクトファイルがありません\n",
                     projectArg.c_str());
        return ExitFailure;
    }
    ProjectRecord project;
    if (Status status = LoadProjectFile(projectFolder + "/" + file, project); !status) {
        Report(status.Message());
        return ExitFailure;
    }
    const auto findings = CheckProjectData(project, LoadTimerLimit());
    PrintFindings(findings, json);
    return findings.empty() ? ExitOk : ExitFindings;
}

} // namespace quilvane::cli
