#pragma once
// The plain logic behind the overview and new-project dialogs: the phases text, the rebuilt
// phase table, the problem pages with their base projects, and the proposal of the next exercise.
#include <optional>
#include <string>
#include <vector>

#include "platform/MbString.h"
#include "project/ProjectRecord.h"

namespace quilvane {

// The phase names one per line, each followed by CR LF.
std::string PhasesToText(const std::vector<PhaseRecord>& phases);
std::string PhaseNamesToText(const std::vector<std::string>& names);

// Phase names from the edited text: CR LF becomes LF, a final LF is added when missing, only
// the first 1023 bytes count, and each LF-ended line is one name, kept as typed (a blank line
// gives an empty name; a last line cut by the limit is dropped).
std::vector<std::string> ParsePhasesText(const std::string& text);

// A phase table in the order of `names`: each name takes the figures of the first phase of
// `current` with exactly that name, or zeros.
std::vector<PhaseRecord> RebuildPhaseTable(const std::vector<PhaseRecord>& current,
                                           const std::vector<std::string>& names);

// The name must be set and not the placeholder "YOUR NAME" (case counts).
bool IsUsableUserName(const std::string& name);

// The text between the first "<base>" and the following "</base>" within one chunk of at most
// 127 bytes of one line; empty when the file cannot be read or no chunk holds both tags.
std::string ReadBaseTag(const std::string& path);

struct ProblemPage {
    std::string exercise; // file name up to its first dot
    std::string base;     // the base project named in the page
};

// The exercises of "prob/htm/*.htm" under `programFolder` (a disk path) in name order, without
// "PSP.htm" (any case), each with its base; only pages whose base is an existing folder. Names
// are stored (CP932) text; pages whose file name CP932 cannot hold are left out.
std::vector<ProblemPage> ListProblemPages(const std::string& programFolder);

// The address the overview shows for a project: "file://<folder>/prob/htm/<name>.htm" with
// every backslash made a slash, the stored name in the disk's encoding. Nothing when the name
// is not valid CP932.
std::optional<std::string> ProblemPageAddress(const std::string& programFolder,
                                              const std::string& projectName);

// The disk path of an exercise's problem page; nothing when the stored name is not valid CP932.
std::optional<std::string> ProblemPagePath(const std::string& programFolder, const std::string& exercise);

// The list box's prefix search: the first entry from `start + 1` around to `start` that begins
// with `text` (case-insensitive, double-byte characters as units). nullopt when none does.
std::optional<std::size_t> FindPrefix(const std::vector<std::string>& entries, const std::string& text,
                                      std::size_t start = 0);

// The entries of the two lists (sorted case-insensitively, bases without a prefix twin) and the
// proposed exercise: the one after `current`, the first when `current` is not listed, none when
// `current` is the last.
struct NewProjectChoices {
    std::vector<std::string> exercises;
    std::vector<std::string> bases;
    std::optional<std::size_t> proposed;
};
NewProjectChoices BuildNewProjectChoices(const std::vector<ProblemPage>& pages, const std::string& current);

} // namespace quilvane
