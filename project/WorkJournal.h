#pragma once
// Unfinished work that must survive a crash: while a phase runs, a small journal beside the
// project file records which phase runs since when, and an autosave copy holds the changes not
// yet saved. Both are separate files ("work.psp.journal", "work.psp.autosave") that the project
// file format knows nothing about; they disappear on a clean save or close. After a crash the
// next start reads them back and lets the student log the interval and restore the changes.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Status.h"
#include "project/ProjectRecord.h"

namespace quilvane {

// One journal: what was running when it was last written.
struct JournalRecord {
    std::string projectPath; // the project file on disk
    std::string phase;       // the running phase (stored text); empty when none ran
    std::int32_t start = 0;  // when the running phase began
    std::int32_t moment = 0; // when the journal was written: the last moment known to be worked
    bool autosave = false;   // an autosave copy holds changes that were not saved

    bool HasInterval() const { return !phase.empty() && start != 0 && moment > start; }
    bool operator==(const JournalRecord&) const = default;
};

std::string JournalPathFor(const std::string& projectPath);
std::string AutosavePathFor(const std::string& projectPath);

// CR LF text: a first line naming the format, then "key=value" lines.
std::string FormatJournal(const JournalRecord& record);
// Nothing when the text is not a complete journal (a torn or foreign file).
std::optional<JournalRecord> ParseJournal(std::string_view text);

// Keeps the journal and autosave of the open project up to date.
class WorkJournal {
public:
    // Seconds between two writes while nothing but time changes.
    static constexpr std::int32_t Interval = 60;

    // Records the project's state at `now`: with a running phase or unsaved changes the files
    // are written (without `force` at most once per Interval), otherwise they are removed. A
    // project that replaced the one kept before takes over: the old project's files go.
    Status Keep(const std::string& projectPath, const ProjectRecord& project, std::int32_t modeStart,
                bool modified, std::int32_t now, bool force);
    // Removes the files of the project kept last: its work was saved or deliberately dropped.
    void Discard();
    const std::string& ProjectPath() const { return path_; }

private:
    std::string path_;
    std::optional<std::int32_t> lastWrite_;
};

// The journals beside project files in the direct subfolders of `folder` (where projects live),
// in byte order of their paths.
std::vector<std::string> FindJournals(const std::string& folder);

// Reads the journal at `journalPath`. Nothing when it cannot be read, is damaged, or was copied
// with a project folder from elsewhere (the project it names is not the file beside it).
[[nodiscard]] std::optional<JournalRecord> ReadJournal(const std::string& journalPath);

// Applies the student's answers to a journal: starts from the autosave copy when
// `restoreAutosave` (and one exists) or from the project file, appends the journal's interval
// to the time log when `logInterval`, saves the project when anything changed, then removes
// the journal and autosave. On failure nothing is removed, so the work can still be recovered.
Status Recover(const JournalRecord& record, bool logInterval, bool restoreAutosave);

// Removes the journal and autosave of `projectPath`.
void DiscardJournalFiles(const std::string& projectPath);

} // namespace quilvane
