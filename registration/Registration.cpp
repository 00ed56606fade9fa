#include "registration/Registration.h"

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/MbString.h"
#include "platform/Process.h"
#include "platform/ProgramFolder.h"
#include "registration/FileTree.h"

namespace quilvane {
namespace {

namespace fs = std::filesystem;

bool IsDirectory(const std::string& path)
{
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// True when `inner` is `outer` or lies below it (both canonical).
bool Within(const fs::path& inner, const fs::path& outer)
{
    auto [o, i] = std::mismatch(outer.begin(), outer.end(), inner.begin(), inner.end());
    return o == outer.end();
}

// Removing R/U/P must never touch the project itself, and copying the project into a folder
// inside it would copy the copy again.
bool Overlaps(const std::string& target, const std::string& project)
{
    std::error_code ec;
    fs::path t = fs::weakly_canonical(target, ec);
    if (ec) {
        return true;
    }
    fs::path p = fs::canonical(project, ec);
    if (ec) {
        return true;
    }
    return Within(t, p) || Within(p, t);
}

} // namespace

bool IsSafeFolderName(const std::string& name)
{
    if (name.empty() || name == "." || name == "..") {
        return false;
    }
    for (size_t pos = 0; pos < name.size();) {
        size_t length = Cp932CharLength(name, pos);
        if (length == 1 && (name[pos] == '/' || name[pos] == '\\' || name[pos] == '\0')) {
            return false;
        }
        pos += length;
    }
    return true;
}

std::string ResolveRegistrationFolder(const std::string& registrationFolder, const std::string& programFolder)
{
    std::string r = ToSlashes(registrationFolder);
    if (!r.empty() && r.front() != '/') {
        r = programFolder + "/" + r;
    }
    while (r.size() > 1 && r.back() == '/') {
        r.pop_back();
    }
    return r;
}

std::string ProgressReportPath(const std::string& registrationFolder, const std::string& programFolder)
{
    if (registrationFolder.empty()) {
        return {};
    }
    return ResolveRegistrationFolder(registrationFolder, programFolder) + "/result.htm";
}

RegistrationResult RegisterProjectFiles(const RegistrationRequest& request,
                                        const std::function<bool()>& confirmReplace)
{
    RegistrationResult result;
    if (request.registrationFolder.empty()) {
        result.outcome = RegistrationOutcome::NoRegistrationFolder;
        return result;
    }
    // Every name is checked before anything is removed: an empty or dotted name would make
    // R/U/P a folder above the project's own copy.
    if (request.userName.empty()) {
        result.outcome = RegistrationOutcome::EmptyUserName;
        return result;
    }
    if (!IsSafeFolderName(request.userName)) {
        result.outcome = RegistrationOutcome::UnsafeUserName;
        return result;
    }
    if (!IsSafeFolderName(request.projectName)) {
        result.outcome = RegistrationOutcome::UnsafeProjectName;
        return result;
    }
    std::string registrationFolder =
        ResolveRegistrationFolder(request.registrationFolder, request.programFolder);
    result.target = registrationFolder + "/" + request.userName + "/" + request.projectName;
    std::string project = request.programFolder + "/" + request.projectName;
    if (!IsDirectory(project) || access(project.c_str(), R_OK | X_OK) != 0) {
        result.outcome = RegistrationOutcome::CannotEnterProject;
        return result;
    }
    if (Overlaps(result.target, project)) {
        result.outcome = RegistrationOutcome::OverlapsProject;
        return result;
    }
    if (confirmReplace && !confirmReplace()) {
        result.outcome = RegistrationOutcome::Cancelled;
        return result;
    }

    // The previous copy goes first, so files deleted from the project vanish from it too.
    RemoveTree(result.target);
    MakeDirectoryPath(result.target);
    if (!IsDirectory(result.target)) {
        result.outcome = RegistrationOutcome::CannotCreateTarget;
        return result;
    }
    result.failures = CopyProjectTree(project, result.target);
    // Not waited for and not checked: without a generator in R the copy is still registered.
    StartDetached({registrationFolder + "/" + GeneratorName}, registrationFolder);
    result.outcome = RegistrationOutcome::Copied;
    return result;
}

} // namespace quilvane
