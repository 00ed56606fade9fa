#pragma once
// The LOC counter: compares the C# and VB sources of a current project folder with those of its
// base project and yields the reused, deleted and added units (statement marks for C#, lines for
// VB). A pure computation over the file system: no message, no stored state, and the working
// directory is never changed, so it may run beside other code that uses relative paths.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "platform/MbString.h"

namespace quilvane {

struct LocCounts {
    std::int32_t reused = 0;
    std::int32_t deleted = 0;
    std::int32_t added = 0;
};

// One key of the source file table, with the file found for it on each side.
struct SourceFileEntry {
    bool isVb = false;
    // The base file was filed under the current project's name (see CollectSourceFiles).
    bool mappedByName = false;
    // On-disk paths below each project folder, joined by '/'; empty when that side has none.
    // Keys fold case as the original file system does, but each side's file is opened under its
    // own name, so Form1.CS in the base pairs with form1.cs in the current project.
    std::string baseFile;
    std::string currentFile;
};

// Keyed by the relative name joined by '\', compared case-insensitively with double-byte units.
using SourceFileTable = std::map<std::string, SourceFileEntry, MbsILess>;

enum class LocSide { Base, Current };

// Adds the ".cs" and ".vb" files below `dir` (relative names resolve against the working
// directory) to `table`, on the given side. Directories are read in name order, so that of two
// names that differ only in case the first one wins. With a non-empty `renameSource`, a file
// directly in `dir` whose name without extension equals the folder's own name (ignoring case) is
// filed under `renameSource` plus its extension: the base project's Prob1.cs pairs with the
// current project's Prob2.cs. Returns false when `dir` cannot be read; unreadable subfolders
// are passed over.
[[nodiscard]] bool CollectSourceFiles(const std::string& dir, bool recurse, std::string_view renameSource,
                                      LocSide side, SourceFileTable& table);

// Counts of one file pair, wide enough that no sum can overflow before the final clamp.
struct FileLocCounts {
    std::int64_t reused = 0;
    std::int64_t deleted = 0;
    std::int64_t added = 0;
};

// Compares the pair of one table entry. A pair with equal size, modification time and bytes is
// unchanged: every unit of the current file is reused. A file that cannot be opened or read is
// absent; a file on one side only is wholly added or deleted. Only one pair is held in memory
// at a time; nullopt when the pair needs more memory than there is (or a file is 4 GiB or more).
std::optional<FileLocCounts> CompareSourceFile(const std::string& basePath, const std::string& currentPath,
                                               const SourceFileEntry& entry);

// Called before the first pair and after each pair; returning false cancels the count.
using LocProgress = std::function<bool(std::size_t done, std::size_t total)>;

struct [[nodiscard]] LocOutcome {
    // The count was cancelled; the counts passed in were left untouched.
    bool cancelled = false;
    // A non-empty path named a folder that could not be read; it contributed no files.
    bool baseMissing = false;
    bool currentMissing = false;
    // Why the count failed (UTF-8, for the screen or stderr), or empty; a failed count leaves
    // the counts passed in untouched. A file too large for the memory fails the count.
    std::string failure;
};

// Counts `currentPath` against `basePath`. Either path may be empty and then contributes no
// files; '\' in a path is taken as a separator. With `renameByProjectName` the base project's
// main file named after its folder pairs with the current project's file named after its folder.
// On completion `counts` is overwritten (each count saturates at the 32-bit limit).
// `workers` threads compare the pairs (0: one per core when there are enough pairs to pay for
// them); counts, progress and failures are the same for any number, and `progress` is called on
// the calling thread only.
LocOutcome CountProjectLoc(std::string_view basePath, std::string_view currentPath, bool recurse,
                           LocCounts& counts, bool renameByProjectName, const LocProgress& progress = {},
                           std::size_t workers = 0);

} // namespace quilvane
