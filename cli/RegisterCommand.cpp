// `register`: data registration of one project of a program folder, as the workbench's
// データ登録 button does it, with the project file's 氏名 and データ登録先.
#include <cstdio>
#include <filesystem>
#include <iostream>

#include "cli/Commands.h"
#include "platform/PathNames.h"
#include "platform/ProgramFolder.h"
#include "project/ProjectFile.h"
#include "registration/Registration.h"
#include "registration/RegistrationMessages.h"

namespace quilvane::cli {
namespace {

void Report(const std::string& message)
{
    std::fprintf(stderr, "quilvane-cli: %s\n", message.c_str());
}

// Takes "-C DIR" out of `args` (the last one wins); false when DIR is missing.
bool TakeFolderOption(Args& args, std::string& folder)
{
    for (std::size_t i = 0; i < args.size();) {
        if (args[i] != "-C") {
            ++i;
            continue;
        }
        if (i + 1 >= args.size()) {
            return false;
        }
        folder = args[i + 1];
        auto at = args.begin() + static_cast<std::ptrdiff_t>(i);
        args.erase(at, at + 2);
    }
    return true;
}

// `folder`, or the working directory when it is empty, as an absolute path.
std::optional<std::string> ProgramFolderFrom(std::string folder)
{
    std::error_code ec;
    if (folder.empty()) {
        folder = std::filesystem::current_path(ec).string();
    }
    if (ec || !std::filesystem::is_directory(folder, ec)) {
        Report(folder + " はフォルダではありません");
        return std::nullopt;
    }
    std::string absolute = std::filesystem::absolute(folder, ec).lexically_normal().string();
    while (absolute.size() > 1 && absolute.back() == '/') {
        absolute.pop_back();
    }
    return ec ? std::nullopt : std::optional<std::string>(absolute);
}

} // namespace

int RunRegister(const Args& args)
{
    Args rest = args;
    std::string folder;
    if (!TakeFolderOption(rest, folder) || rest.size() != 1) {
        return ExitUsage;
    }
    auto programFolder = ProgramFolderFrom(folder);
    if (!programFolder) {
        return ExitFailure;
    }
    SetProgramFolder(*programFolder);

    // The project is named as its folder on disk; the workbench keeps the name as stored text.
    std::string diskName = rest[0];
    while (diskName.size() > 1 && diskName.back() == '/') {
        diskName.pop_back();
    }
    auto projectName = DiskToStoredName(diskName);
    if (!projectName) {
        Report(UnstorableNameMessage(diskName));
        return ExitFailure;
    }
    RegistrationRequest request{"", "", *projectName, *programFolder};
    // The names and R come from the project file, which lies in the folder being checked.
    RegistrationResult refused;
    std::error_code ec;
    if (!IsSafeFolderName(*projectName)) {
        refused.outcome = RegistrationOutcome::UnsafeProjectName;
    } else if (!std::filesystem::is_directory(*programFolder + "/" + diskName, ec)) {
        refused.outcome = RegistrationOutcome::CannotEnterProject;
    }
    if (refused.outcome != RegistrationOutcome::NoRegistrationFolder) {
        Report(RegistrationStopMessage(refused, request));
        return ExitFailure;
    }
    ProjectRecord project;
    if (Status status = LoadProjectFile(*programFolder + "/" + diskName + "/work.psp", project); !status) {
        Report(status.Message());
        return ExitFailure;
    }
    request.registrationFolder = project.overview.registrationFolder;
    request.userName = project.overview.userName;

    RegistrationHooks hooks;
    // Nobody is there to answer: the warning is shown and the registration goes on.
    hooks.confirmResultLine = [&request](const ResultLineCheck& check) {
        Report(ResultLineWarning(check, request));
        return true;
    };
    RegistrationResult result = RegisterProjectFiles(request, hooks);
    if (result.outcome == RegistrationOutcome::NoRegistrationFolder) {
        Report(NoRegistrationFolderMessage());
        return ExitFailure;
    }
    if (result.outcome != RegistrationOutcome::Copied) {
        Report(RegistrationStopMessage(result, request));
        return ExitFailure;
    }
    std::cout << result.target << std::endl;
    for (const auto& note : RegistrationNotes(result)) {
        Report(note);
    }
    return GeneratorFailed(result) ? ExitFailure : ExitOk;
}

} // namespace quilvane::cli
