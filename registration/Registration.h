#pragma once
// The file work of data registration: the project folder P beside the program is copied to
// R/U/P in the registration folder R, replacing the previous copy only once the new one is
// complete, and the progress report generator in R is run and waited for. The questions around
// it belong to the caller, through the hooks.
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "platform/FileTree.h"
#include "registration/GeneratorRun.h"
#include "registration/ResultLine.h"

namespace quilvane {

struct RegistrationRequest {
    std::string registrationFolder; // R, stored: may be relative to the program folder or use '\'
    std::string userName;           // U, stored
    std::string projectName;        // P, stored: a folder directly in the program folder
    std::string programFolder;      // a path on disk
    std::chrono::milliseconds generatorLimit = DefaultGeneratorLimit;
};

enum class RegistrationOutcome {
    NoRegistrationFolder, // R is empty
    EmptyUserName,
    UserNameWithBlank,       // U holds white space: result.txt could never name it
    UnsafeUserName,          // U would name another folder than one directly in R
    UnsafeProjectName,       // P is empty or would name another folder than one directly in R/U
    UndecodableName,         // R, U or P holds bytes that are not CP932, so it names no folder on disk
    ProjectMissing,          // there is no project folder of that name
    CannotEnterProject,      // the project folder cannot be read
    OverlapsProject,         // R/U/P and the project folder lie inside one another
    Cancelled,               // a question of the caller was answered no
    CannotCreateTarget,      // R/U, or the new copy beside R/U/P, cannot be made
    UserFolderIsLink,        // a symbolic link stands at R/U: nothing is written through it
    UserFolderOfAnotherUser, // R/U belongs to another Unix user
    CopyFailed,              // a file could not be copied: the previous copy stays as it was
    CannotReplaceTarget,     // the complete new copy could not take the previous one's place
    Copied,                  // copied (entries that can never be copied are listed) and the generator run
};

struct RegistrationResult {
    RegistrationOutcome outcome = RegistrationOutcome::NoRegistrationFolder;
    std::string registrationFolder; // R on disk, resolved, once known
    std::string userFolder;         // R/U on disk, once known
    std::string target;             // R/U/P on disk, once known
    std::string userFolderOwner;    // UserFolderOfAnotherUser: whose folder R/U is
    // Copied: entries that can never be copied (links to folders, FIFOs); CopyFailed: the
    // entries that failed. Relative to the project folder, as on disk.
    std::vector<std::string> failures;
    ResultLineCheck resultLine; // once the names are known to be usable
    std::size_t findings = 0;   // of the data check, once the save question is answered
    GeneratorRun generator;
};

// The caller's part. An empty hook counts as yes and as nothing to do.
struct RegistrationHooks {
    // The last question before anything changes (the workbench ends a running phase and offers
    // to save here); false stops with Cancelled.
    std::function<bool()> confirmReplace;
    // Called with the check when result.txt names another user or project than the copy is
    // filed under; false stops with Cancelled.
    std::function<bool(const ResultLineCheck&)> confirmResultLine;
    // Called with the number of data-check findings of the project file about to be copied,
    // when there are any; false stops with Cancelled.
    std::function<bool(std::size_t findings)> confirmFindings;
    // Called repeatedly while the generator runs.
    std::function<void()> whileWaiting;
};

// R as a path on disk, resolved against the program folder (a disk path), with '/' as separator
// and no trailing one; nothing when R is not valid CP932.
[[nodiscard]] std::optional<std::string> ResolveRegistrationFolder(const std::string& registrationFolder,
                                                                   const std::string& programFolder);

// The progress page R/result.htm on disk, or empty when R is not set or names no folder.
std::string ProgressReportPath(const std::string& registrationFolder, const std::string& programFolder);

// Checks the names and the project folder, asks the hooks, copies the project next to R/U/P,
// swaps the copy in when it is complete, then runs the generator in R and waits for it. The
// process's working directory is never changed.
[[nodiscard]] RegistrationResult RegisterProjectFiles(const RegistrationRequest& request,
                                                      const RegistrationHooks& hooks);

// The same with only the last question.
[[nodiscard]] RegistrationResult RegisterProjectFiles(const RegistrationRequest& request,
                                                      const std::function<bool()>& confirmReplace);

} // namespace quilvane
