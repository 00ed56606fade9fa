#pragma once
// The file work of data registration: the project folder P beside the program is copied to
// R/U/P in the registration folder R, replacing the previous copy, and the progress report
// generator in R is started. The questions around it belong to the caller.
#include <functional>
#include <string>
#include <vector>

namespace quilvane {

struct RegistrationRequest {
    std::string registrationFolder; // R, as stored: may be relative to the program folder or use '\'
    std::string userName;           // U
    std::string projectName;        // P, a folder directly in the program folder
    std::string programFolder;
};

enum class RegistrationOutcome {
    NoRegistrationFolder, // R is empty
    EmptyUserName,
    UnsafeUserName,     // U would name another folder than one directly in R
    UnsafeProjectName,  // P is empty or would name another folder than one directly in R/U
    CannotEnterProject, // the project folder is missing or cannot be read
    OverlapsProject,    // R/U/P and the project folder lie inside one another
    Cancelled,          // the caller's confirmation said no
    CannotCreateTarget, // R/U/P is not a directory after making it
    Copied,             // copied, perhaps with failures, and the generator started
};

struct RegistrationResult {
    RegistrationOutcome outcome = RegistrationOutcome::NoRegistrationFolder;
    std::string target;                // R/U/P with R resolved, once known
    std::vector<std::string> failures; // entries not copied, relative to the project folder
};

// The file name of the generator in R.
#ifdef _WIN32
inline constexpr const char* GeneratorName = "Tessaline.exe";
#else
inline constexpr const char* GeneratorName = "Tessaline";
#endif

// True when `name` can be used as one path component: not empty, not "." or "..", and without
// '/', '\' (as a character, not as a CP932 trail byte) or NUL.
bool IsSafeFolderName(const std::string& name);

// R resolved against the program folder, with '/' as separator and no trailing one.
std::string ResolveRegistrationFolder(const std::string& registrationFolder,
                                      const std::string& programFolder);

// The progress page R/result.htm, or empty when R is not set.
std::string ProgressReportPath(const std::string& registrationFolder, const std::string& programFolder);

// Checks the names and the project folder, then asks `confirmReplace` (the save question)
// before anything is removed; only then the previous copy is replaced and the generator
// started in R, without waiting for it. The process's working directory is never changed.
RegistrationResult RegisterProjectFiles(const RegistrationRequest& request,
                                        const std::function<bool()>& confirmReplace);

} // namespace quilvane
