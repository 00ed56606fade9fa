#include "registration/Registration.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/FileIo.h"
#include "platform/FileTree.h"
#include "platform/MbString.h"
#include "platform/PathNames.h"
#include "project/DataCheck.h"
#include "project/ProjectFile.h"
#include "project/TimerLimit.h"
#include "registration/ClassFolder.h"

namespace quilvane {
namespace {

namespace fs = std::filesystem;

// The names of the new copy and of the previous one while they change places, beside R/U/P.
// They begin with '.', so the generator never reads them as a project.
constexpr std::string_view FreshInfix = ".registering-";
constexpr std::string_view AsideInfix = ".replaced-";
constexpr std::size_t UniqueSuffixLength = 6; // mkdtemp's XXXXXX

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

// Removes a folder with its contents, or a file or link itself. Only ever used to clear away a
// new copy or a previous one set aside: what stays behind begins with '.', is never read as a
// project and is tried again by the next registration, so a failure is not reported.
void RemoveEntry(const std::string& path)
{
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0) {
        return;
    }
    if (S_ISDIR(st.st_mode)) {
        (void)RemoveTree(path);
    } else {
        (void)ForceRemoveFile(path);
    }
}

// A registration that was killed halfway leaves its new copy (or the previous one set aside)
// beside R/U/P; the next registration of the same project clears them away.
void RemoveLeftovers(const std::string& userFolder, const std::string& projectDiskName)
{
    auto names = ListFolder(userFolder);
    if (!names) {
        return;
    }
    for (std::string_view infix : {FreshInfix, AsideInfix}) {
        std::string prefix = "." + projectDiskName + std::string(infix);
        for (const auto& name : *names) {
            if (name.size() == prefix.size() + UniqueSuffixLength &&
                name.compare(0, prefix.size(), prefix) == 0) {
                RemoveEntry(userFolder + "/" + name);
            }
        }
    }
}

// Puts the complete copy `fresh` at `target`. The previous copy stays in place until the new one
// is there: exchanged in one step where the file system can, otherwise set aside and brought
// back if the new copy cannot follow.
bool SwapIn(const std::string& fresh, const std::string& target, const std::string& aside)
{
    struct stat st {};
    if (lstat(target.c_str(), &st) != 0) {
        return errno == ENOENT && rename(fresh.c_str(), target.c_str()) == 0;
    }
    if (renameat2(AT_FDCWD, fresh.c_str(), AT_FDCWD, target.c_str(), RENAME_EXCHANGE) == 0) {
        RemoveEntry(fresh);
        return true;
    }
    if (rename(target.c_str(), aside.c_str()) != 0) {
        return false;
    }
    if (rename(fresh.c_str(), target.c_str()) != 0) {
        // Brings the previous copy back; should even that fail, it stays whole beside R/U/P.
        (void)rename(aside.c_str(), target.c_str());
        return false;
    }
    RemoveEntry(aside);
    return true;
}

// R, made when missing, held open with its status.
bool OpenRegistrationFolder(const std::string& path, UniqueFd& fd, struct stat& status)
{
    // R itself may be reached through a link (a mounted share); it is the folder the student chose.
    // A missing R is reported below as the target that cannot be made.
    (void)MakeDirectoryPath(path);
    fd = UniqueFd(open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return fd.Valid() && fstat(fd.Get(), &status) == 0;
}

RegistrationOutcome UserFolderRefusal(const UserFolder& folder, RegistrationResult& result)
{
    switch (folder.State()) {
    case UserFolderState::IsLink:
        return RegistrationOutcome::UserFolderIsLink;
    case UserFolderState::OtherOwner:
        result.userFolderOwner = folder.OwnerName();
        return RegistrationOutcome::UserFolderOfAnotherUser;
    case UserFolderState::NotAFolder:
        return RegistrationOutcome::CannotCreateTarget;
    case UserFolderState::Ready:
        break;
    }
    return RegistrationOutcome::Copied;
}

// Copies the project into a new folder beside the target and swaps it in when complete. Every
// step below R goes through the user folder held open, so a link or a folder put at R/U's
// name meanwhile cannot redirect it, and the copy takes the class's modes from R.
RegistrationOutcome ReplaceCopy(const std::string& project, const std::string& registrationFolder,
                                const std::string& userDiskName, const std::string& projectDiskName,
                                RegistrationResult& result)
{
    UniqueFd registration;
    struct stat registrationStatus {};
    if (!OpenRegistrationFolder(registrationFolder, registration, registrationStatus)) {
        return RegistrationOutcome::CannotCreateTarget;
    }
    const UserFolder user = UserFolder::Open(registration.Get(), registrationStatus, userDiskName);
    if (const RegistrationOutcome refused = UserFolderRefusal(user, result);
        refused != RegistrationOutcome::Copied) {
        return refused;
    }
    const std::string userFolder = user.Path();
    // Under the lock no other registration of this user is under way: what lies there is left
    // by one that died.
    RemoveLeftovers(userFolder, projectDiskName);
    std::string fresh = userFolder + "/." + projectDiskName + std::string(FreshInfix) + "XXXXXX";
    if (mkdtemp(fresh.data()) == nullptr) {
        return RegistrationOutcome::CannotCreateTarget;
    }

    std::vector<std::string> failed;
    for (auto& issue : CopyProjectTreeChecked(project, fresh)) {
        if (issue.problem == CopyProblem::Failed) {
            failed.push_back(issue.entry);
        } else {
            result.failures.push_back(issue.entry);
        }
    }
    if (!failed.empty()) {
        RemoveEntry(fresh);
        result.failures = std::move(failed);
        return RegistrationOutcome::CopyFailed;
    }
    const UniqueFd copy(open(fresh.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (copy.Valid()) {
        ApplyClassModes(copy.Get(), ClassModesOf(registrationStatus.st_mode));
    }
    const std::string target = userFolder + "/" + projectDiskName;
    std::string aside = userFolder + "/." + projectDiskName + std::string(AsideInfix) +
                        fresh.substr(fresh.size() - UniqueSuffixLength);
    if (!SwapIn(fresh, target, aside)) {
        RemoveEntry(fresh);
        return RegistrationOutcome::CannotReplaceTarget;
    }
    return RegistrationOutcome::Copied;
}

} // namespace

std::optional<std::string> ResolveRegistrationFolder(const std::string& registrationFolder,
                                                     const std::string& programFolder)
{
    return StoredFolderOnDisk(registrationFolder, programFolder);
}

std::string ProgressReportPath(const std::string& registrationFolder, const std::string& programFolder)
{
    if (registrationFolder.empty()) {
        return {};
    }
    auto folder = ResolveRegistrationFolder(registrationFolder, programFolder);
    return folder ? *folder + "/result.htm" : std::string();
}

RegistrationResult RegisterProjectFiles(const RegistrationRequest& request, const RegistrationHooks& hooks)
{
    RegistrationResult result;
    if (request.registrationFolder.empty()) {
        result.outcome = RegistrationOutcome::NoRegistrationFolder;
        return result;
    }
    // Every name is checked before anything is changed: an empty or dotted name would make
    // R/U/P a folder above the project's own copy.
    if (request.userName.empty()) {
        result.outcome = RegistrationOutcome::EmptyUserName;
        return result;
    }
    if (HasWhiteSpace(request.userName)) {
        result.outcome = RegistrationOutcome::UserNameWithBlank;
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
    auto registrationFolder = ResolveRegistrationFolder(request.registrationFolder, request.programFolder);
    auto user = StoredToDiskPath(request.userName);
    auto projectName = StoredToDiskPath(request.projectName);
    if (!registrationFolder || !user || !projectName) {
        result.outcome = RegistrationOutcome::UndecodableName;
        return result;
    }
    result.registrationFolder = *registrationFolder;
    result.userFolder = *registrationFolder + "/" + *user;
    result.target = result.userFolder + "/" + *projectName;
    std::string project = request.programFolder + "/" + *projectName;
    if (struct stat st{}; stat(project.c_str(), &st) != 0 && errno == ENOENT) {
        result.outcome = RegistrationOutcome::ProjectMissing;
        return result;
    }
    if (!IsDirectory(project) || access(project.c_str(), R_OK | X_OK) != 0) {
        result.outcome = RegistrationOutcome::CannotEnterProject;
        return result;
    }
    if (Overlaps(result.target, project)) {
        result.outcome = RegistrationOutcome::OverlapsProject;
        return result;
    }
    if (hooks.confirmReplace && !hooks.confirmReplace()) {
        result.outcome = RegistrationOutcome::Cancelled;
        return result;
    }
    // Read after the save question: that is the state the copy will hold.
    result.resultLine = CheckResultLine(project, request.userName, request.projectName);
    if (result.resultLine.state == ResultLineState::OtherNames && hooks.confirmResultLine &&
        !hooks.confirmResultLine(result.resultLine)) {
        result.outcome = RegistrationOutcome::Cancelled;
        return result;
    }

    // What the teacher will see of the copy: data that cannot all be true is worth a look first.
    if (ProjectRecord record; LoadProjectFile(project + "/work.psp", record)) {
        result.findings = CheckProjectData(record, LoadTimerLimit()).size();
    }
    if (result.findings > 0 && hooks.confirmFindings && !hooks.confirmFindings(result.findings)) {
        result.outcome = RegistrationOutcome::Cancelled;
        return result;
    }

    result.outcome = ReplaceCopy(project, *registrationFolder, *user, *projectName, result);
    if (result.outcome != RegistrationOutcome::Copied) {
        return result;
    }
    result.generator = RunGenerator(*registrationFolder, request.generatorLimit, hooks.whileWaiting);
    return result;
}

RegistrationResult RegisterProjectFiles(const RegistrationRequest& request,
                                        const std::function<bool()>& confirmReplace)
{
    RegistrationHooks hooks;
    hooks.confirmReplace = confirmReplace;
    return RegisterProjectFiles(request, hooks);
}

} // namespace quilvane
