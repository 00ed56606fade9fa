#pragma once
// The LOC counter: compares the C# and VB sources of a current project folder with those of its
// base project and yields the reused, deleted and added units (statement marks for C#, lines for
// VB). A pure computation over the file system: no message, no stored state, and the working
// directory is never changed, so it may run beside other code that uses relative paths.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "estimate/SourceWalk.h"

namespace quilvane {

struct LocCounts {
    std::int32_t reused = 0;
    std::int32_t deleted = 0;
    std::int32_t added = 0;
};

// Counts of one file pair, wide enough that no sum can overflow before the final clamp.
struct FileLocCounts {
    std::int64_t reused = 0;
    std::int64_t deleted = 0;
    std::int64_t added = 0;
    // Files of the pair that were there but could not be opened or read (disk paths): counted
    // as absent, and named so that nobody takes the smaller count for the whole.
    std::vector<std::string> unreadable;
};

// Compares the pair of one table entry. A pair with equal size, modification time and bytes is
// unchanged: every unit of the current file is reused. A file that cannot be opened or read is
// absent (and named in the result); a file on one side only is wholly added or deleted. Only one pair is held
// in memory at a time; nullopt when the pair needs more memory than there is (or a file is 4 GiB or more).
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
    // Source files and folders that could not be read (disk paths, in table order): the count
    // takes them as absent.
    std::vector<std::string> unreadable;
};

// The note shown under the counts when `unreadable` files or folders were left out of them:
// "n 個のファイルを読めませんでした"; empty when there were none.
std::string UnreadableFilesNote(std::size_t unreadable);

// Counts `currentPath` against `basePath`. Either path may be empty and then contributes no
// files; '\' in a path is taken as a separator. With `renameByProjectName` the base project's
// main file named after its folder pairs with the current project's file named after its folder.
// On completion `counts` is overwritten (each count saturates at the 32-bit limit).
// `workers` threads compare the pairs (0: one per core when there are enough pairs to pay for
// them; the calling thread is one of them, and with more than one the two folders are also
// walked at the same time); counts, progress and failures are the same for any number, and
// `progress` is called on the calling thread only.
LocOutcome CountProjectLoc(std::string_view basePath, std::string_view currentPath, bool recurse,
                           LocCounts& counts, bool renameByProjectName, const LocProgress& progress = {},
                           std::size_t workers = 0);

} // namespace quilvane
