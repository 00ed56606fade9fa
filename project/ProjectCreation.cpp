#include "project/ProjectCreation.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <unistd.h>

#include "platform/Cp932.h"
#include "platform/FileIo.h"
#include "platform/FileTree.h"
#include "platform/MbString.h"
#include "platform/PathNames.h"
#include "platform/Process.h"
#include "platform/ProgramFolder.h"
#include "platform/TimeText.h"
#include "project/ProjectRecord.h"
#include "project/Settings.h"

namespace quilvane {
namespace fs = std::filesystem;
namespace {

// The disk path of a stored name beside the program. CheckExerciseName has refused names
// without one before any of these operations runs; an empty path then makes them fail.
std::string StoredPath(const std::string& stored)
{
    return ProgramPathFor(stored).value_or(std::string());
}

} // namespace

Status CheckExerciseName(const std::string& exercise)
{
    // The exercise becomes a folder beside the program: nothing may land elsewhere.
    if (!IsSafeFolderName(exercise)) {
        return Status::Failure("プロジェクト名 " + Cp932ToUtf8(exercise) + " はフォルダ名に使えません");
    }
    if (!StoredToDiskPath(exercise)) {
        return Status::Failure(UndecodableNameMessage());
    }
    return Status::Success();
}

bool TemplateProjectExists()
{
    std::error_code ec;
    return fs::exists(ProgramPath(TemplateProjectFile), ec);
}

bool ExerciseEntryExists(const std::string& exercise)
{
    std::error_code ec;
    return fs::exists(fs::symlink_status(StoredPath(exercise), ec));
}

void MakeExerciseFolder(const std::string& exercise)
{
    // The folder may exist already; whether it can be used is checked by CanEnterFolder.
    (void)MakeDirectoryPath(StoredPath(exercise));
    std::string batch = StoredPath("prob/bat/" + exercise + ".bat");
    std::error_code ec;
    if (fs::is_regular_file(batch, ec)) {
        // The batch file's outcome is not ours to judge; the folder is made either way.
        (void)RunAndWait({"/bin/sh", batch}, ProgramFolder());
    }
}

std::string ExerciseProjectFile(const std::string& exercise)
{
    // The file name of the template, after its last separator.
    std::string templateName = TemplateProjectFile;
    return StoredPath(exercise + "/" + templateName.substr(templateName.rfind('/') + 1));
}

bool CanEnterFolder(const std::string& exercise)
{
    std::string folder = StoredPath(exercise);
    std::error_code ec;
    return !folder.empty() && fs::is_directory(folder, ec) && access(folder.c_str(), X_OK) == 0;
}

std::vector<std::string> FillProjectFolder(const std::string& exercise, const std::string& base,
                                           const std::string& userName)
{
    std::string folder = StoredPath(exercise);
    std::vector<std::string> failures;
    if (!base.empty()) {
        char version[16];
        std::snprintf(version, sizeof version, "%.2f", ProgramVersion * 0.01);
        auto baseFolder = ProgramPathFor(base);
        if (baseFolder) {
            failures = CopyProjectTree(*baseFolder, folder, TreeTemplate{version, base, exercise, userName});
        } else {
            failures.push_back(Cp932ToUtf8(base));
        }
    }
    std::error_code ec;
    fs::copy_file(ProgramPath(TemplateProjectFile), ExerciseProjectFile(exercise),
                  fs::copy_options::overwrite_existing, ec);
    if (ec) {
        failures.push_back(TemplateProjectFile);
    }
    // The exercise's own files, in name order; folders and batch files stay behind.
    const std::string material = StoredPath("prob/" + exercise);
    for (const auto& name : ListFolder(material).value_or(std::vector<std::string>{})) {
        std::error_code typeError;
        if (!fs::is_regular_file(material + "/" + name, typeError) ||
            (name.size() >= 4 && MbsICmp(name.substr(name.size() - 4), ".bat") == 0)) {
            continue;
        }
        std::error_code copyError;
        fs::copy_file(material + "/" + name, folder + "/" + name, fs::copy_options::overwrite_existing,
                      copyError);
        if (copyError) {
            failures.push_back("prob/" + Cp932ToUtf8(exercise) + "/" + name);
        }
    }
    return failures;
}

std::string NewProjectMemo(std::time_t now)
{
    char version[64];
    // "Quilvane バージョン %.2f\r\n" in code page 932.
    std::snprintf(version, sizeof version, "Quilvane \x83\x6F\x81\x5B\x83\x57\x83\x87\x83\x93 %.2f\r\n",
                  ProgramVersion * 0.01);
    std::string created = WindowsCtime(now);
    if (!created.empty() && created.back() == '\n') {
        created.pop_back();
    }
    return version + created + " \x8D\xEC\x90\xAC\r\n"; // " 作成"
}

} // namespace quilvane
