// `register`: data registration of one project of a program folder, as the workbench's
// データ登録 button does it, with the project file's 氏名 and データ登録先.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "cli/Commands.h"
#include "platform/PathNames.h"
#include "platform/ProgramFolder.h"
#include "project/ProjectFile.h"
#include "registration/Registration.h"
#include "registration/RegistrationMessages.h"

namespace quilvane::cli {

int RunRegister(const Args& args)
{
    Args rest = args;
    std::string folder;
    std::string limit;
    if (!TakeOption(rest, "-C", folder) || !TakeOption(rest, "--limit", limit) || rest.size() != 1) {
        return ExitUsage;
    }
    std::chrono::milliseconds generatorLimit = DefaultGeneratorLimit;
    if (!limit.empty()) {
        // Whole seconds, at least one and at most the workbench's own limit.
        char* end = nullptr;
        const long seconds = std::strtol(limit.c_str(), &end, 10);
        if (*end != '\0' || seconds < 1 || std::chrono::seconds(seconds) > DefaultGeneratorLimit) {
            return ExitUsage;
        }
        generatorLimit = std::chrono::seconds(seconds);
    }
    if (!UseProgramFolder(folder)) {
        return ExitFailure;
    }
    const std::string& programFolder = ProgramFolder();

    // The project is named as its folder on disk; the workbench keeps the name as stored text.
    std::string diskName = rest[0];
    const auto projectName = StoredFolderArgument(diskName);
    if (!projectName) {
        return ExitFailure;
    }
    RegistrationRequest request{"", "", *projectName, programFolder};
    // The names and R come from the project file, which lies in the folder being checked.
    RegistrationResult refused;
    std::error_code ec;
    if (!IsSafeFolderName(*projectName)) {
        refused.outcome = RegistrationOutcome::UnsafeProjectName;
    } else if (!std::filesystem::exists(programFolder + "/" + diskName, ec)) {
        refused.outcome = RegistrationOutcome::ProjectMissing;
    } else if (!std::filesystem::is_directory(programFolder + "/" + diskName, ec)) {
        refused.outcome = RegistrationOutcome::CannotEnterProject;
    }
    if (refused.outcome != RegistrationOutcome::NoRegistrationFolder) {
        Report(RegistrationStopMessage(refused, request));
        return ExitFailure;
    }
    ProjectRecord project;
    if (Status status = LoadProjectFile(programFolder + "/" + diskName + "/work.psp", project); !status) {
        Report(status.Message());
        return ExitFailure;
    }
    request.registrationFolder = project.overview.registrationFolder;
    request.userName = project.overview.userName;
    request.generatorLimit = generatorLimit;

    RegistrationHooks hooks;
    // Nobody is there to answer: the warning is shown and the registration goes on.
    hooks.confirmResultLine = [&request](const ResultLineCheck& check) {
        Report(ResultLineWarning(check, request));
        return true;
    };
    hooks.confirmFindings = [](std::size_t findings) {
        Report(FindingsMessage(findings) + " (quilvane-cli check で確かめられます)");
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
