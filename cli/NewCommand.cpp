// `new`: a project for an exercise, made exactly as the new-project dialog's OK makes it, so
// that scripts and teachers can prepare projects without the workbench.
#include <cstdio>
#include <ctime>

#include "cli/Commands.h"
#include "overview/NewProjectFlow.h"
#include "platform/PathNames.h"
#include "platform/TimeSource.h"

namespace quilvane::cli {

int RunNew(const Args& args)
{
    Args rest = args;
    std::string folder;
    if (!TakeOption(rest, "-C", folder) || rest.empty() || rest.size() > 2) {
        return ExitUsage;
    }
    if (!UseProgramFolder(folder)) {
        return ExitFailure;
    }
    // The words arrive in the terminal's encoding, UTF-8; the names are stored as CP932.
    std::string names[2];
    for (std::size_t i = 0; i < rest.size(); ++i) {
        auto stored = DiskToStoredName(rest[i]);
        if (!stored) {
            std::fprintf(stderr, "%s\n", UnstorableNameMessage(rest[i]).c_str());
            return ExitFailure;
        }
        names[i] = *stored;
    }
    // Without a base, the one the dialog would propose: a project without starter sources is
    // rarely what was meant.
    if (rest.size() == 1) {
        names[1] = ProposedBase(names[0]);
    }
    CreatedProject created;
    Status status = CreateNewProject(names[0], names[1], SystemTimeSource().Now(), created);
    if (!status) {
        std::fprintf(stderr, "%s\n", status.Message().c_str());
        return ExitFailure;
    }
    // As the workbench, a file that could not be copied is reported and the project stays.
    for (const auto& failure : created.failures) {
        std::fprintf(stderr, "quilvane-cli: %s をコピーできませんでした\n", failure.c_str());
    }
    std::printf("%s\n", created.projectFile.c_str());
    return ExitOk;
}

} // namespace quilvane::cli
