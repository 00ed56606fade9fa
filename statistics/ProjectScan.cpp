#include "statistics/ProjectScan.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "platform/FileIo.h"
#include "platform/FolderListing.h"
#include "platform/PathNames.h"
#include "platform/ProgramFolder.h"
#include "project/ProjectFile.h"

namespace quilvane {
namespace {

// Directory listings come in no particular order on this platform, while the original listed
// them as NTFS does: by name without regard to case. Ties fall back to bytes so the order is total.
bool NameOrder(const std::string& a, const std::string& b)
{
    int c = MbsICmp(a, b);
    return c != 0 ? c < 0 : MbsCmp(a, b) < 0;
}

// "*.psp" matched as the original platform does, without regard to case. A '.' is never the
// trail byte of a double-byte character, so testing the last four bytes is safe.
bool HasProjectExtension(const std::string& name)
{
    if (name.size() < 4) {
        return false;
    }
    std::string_view ext = std::string_view(name).substr(name.size() - 4);
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return ext[0] == '.' && lower(ext[1]) == 'p' && lower(ext[2]) == 's' && lower(ext[3]) == 'p';
}

enum class Wanted { Directories, ProjectFiles };

// The names in `folder` that are directories, or regular "*.psp" files, in the order the original
// file system listed them. The type comes with the listing; only a link (followed, as the
// original did) or a file system that does not tell costs a status call. Project files are
// picked by name before anything is asked about them, so other files in a project folder cost
// nothing.
std::vector<std::string> ListEntries(const std::string& folder, Wanted wanted)
{
    std::vector<std::string> names;
    const auto opened = Folder::Open(folder);
    auto entries = opened ? opened->List() : std::nullopt;
    if (!entries) {
        return names;
    }
    const EntryKind kind = wanted == Wanted::Directories ? EntryKind::Directory : EntryKind::RegularFile;
    for (FolderEntry& entry : *entries) {
        if (wanted == Wanted::ProjectFiles && !HasProjectExtension(entry.name)) {
            continue;
        }
        if (opened->TargetKind(entry) == kind) {
            names.push_back(std::move(entry.name));
        }
    }
    // Folders listed as the original file system listed them: case-insensitive, bytes breaking ties.
    std::stable_sort(names.begin(), names.end(), NameOrder);
    return names;
}

std::int32_t ClampCount(std::size_t n)
{
    return static_cast<std::int32_t>(std::min<std::size_t>(n, std::numeric_limits<std::int32_t>::max()));
}

StatRecord RecordOf(const ProjectRecord& project)
{
    StatRecord r;
    r.present = true;
    r.baseName = project.estimate.baseName;
    r.planReuse = project.estimate.reuseLoc;
    r.planDelete = project.estimate.deleteLoc;
    r.planNew = project.estimate.newLoc;
    r.planMinutes = project.estimate.totalMinutes;
    r.actReuse = project.result.actualReuse;
    r.actDelete = project.result.actualDelete;
    r.actNew = project.result.actualNew;
    r.actMinutes = project.result.actualMinutes;
    r.bugs = ClampCount(project.defectLog.entries.size());
    return r;
}

} // namespace

std::string FirstProjectFile(const std::string& folder)
{
    std::vector<std::string> files = ListEntries(folder, Wanted::ProjectFiles);
    return files.empty() ? std::string() : std::move(files.front());
}

void ForEachScannedProject(const std::string& excludedName,
                           const std::function<void(const std::string&, const ProjectRecord&)>& visit)
{
    const std::string& root = ProgramFolder();
    for (const std::string& diskName : ListEntries(root, Wanted::Directories)) {
        // Rows are keyed by the stored (CP932) name, as the open project names its folder; a
        // folder whose name CP932 cannot hold is no project of this workbench.
        auto stored = DiskToStoredName(diskName);
        if (!stored) {
            continue;
        }
        const std::string& name = *stored;
        if (name == "." || name == ".." || name == "init" ||
            (!excludedName.empty() && name == excludedName)) {
            continue;
        }
        // Paths are built from the listed bytes directly: they are already the disk's names.
        const std::string folder = root + "/" + diskName;
        const std::string file = FirstProjectFile(folder);
        if (file.empty()) {
            continue;
        }
        // A fresh record per folder: a file that stops early must not inherit the previous
        // project's data. LoadProjectFile leaves it untouched on failure, and a failure skips the
        // folder entirely, so a damaged file adds no half-read seconds.
        ProjectRecord project;
        if (!LoadProjectFile(folder + "/" + file, project).Ok()) {
            continue;
        }
        visit(name, project);
    }
}

void ScanProjects(const std::string& excludedName, StatStore& store, PhaseSeconds* phaseSeconds,
                  ProjectDefectLogs* defectLogs)
{
    ForEachScannedProject(excludedName, [&store, phaseSeconds, defectLogs](const std::string& name,
                                                                           const ProjectRecord& project) {
        if (phaseSeconds != nullptr) {
            project.timeLog.SumByPhase(*phaseSeconds);
        }
        if (defectLogs != nullptr) {
            (*defectLogs)[name] = project.defectLog;
        }
        store.records[name] = RecordOf(project);
    });
}

StatStore LoadHistory(const std::string& excludedName)
{
    StatStore store;
    (void)LoadStatInfo(store); // a missing file leaves the defaults
    ScanProjects(excludedName, store);
    return store;
}

} // namespace quilvane
