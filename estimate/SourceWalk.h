#pragma once
// The walk of one project folder for the LOC counter, and the table that pairs the files of the
// base project with those of the current one.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quilvane {

// The last component of a '/'-separated path, trailing separators ignored ("a/Prob1/" names
// Prob1), so a path typed with a final slash keeps the project-name rule working.
std::string_view LastPathComponent(std::string_view path);

// One ".cs" or ".vb" file found below a project folder.
struct FoundSource {
    // The relative name joined by '\' as a case-insensitive key (MbsFoldedKey).
    std::string key;
    // The on-disk path below the project folder, joined by '/'.
    std::string diskPath;
    bool isVb = false;
    // Filed under the current project's name instead of its own (see WalkSources).
    bool mapped = false;
};

// Lists the ".cs" and ".vb" files below `root` (extensions without regard to case) in the
// order of the walk: each folder's entries in name order, a subfolder's files where its name
// comes. Symbolic links are followed, and a folder reached a second time is passed over. With a
// non-empty `renameSource`, a file directly in `root` whose name without extension equals the
// folder's own name (ignoring case) is filed under `renameSource` plus its extension: the base
// project's Prob1.cs pairs with the current project's Prob2.cs. Returns false when `root`
// cannot be read; unreadable subfolders are passed over, and their paths added to `unreadable`
// when it is given.
[[nodiscard]] bool WalkSources(const std::string& root, bool recurse, std::string_view renameSource,
                               std::vector<FoundSource>& found,
                               std::vector<std::string>* unreadable = nullptr);

// One key of the pair table, with the file found for it on each side.
struct SourceFileEntry {
    bool isVb = false;
    // The base file was filed under the current project's name.
    bool mappedByName = false;
    // On-disk paths below each project folder, joined by '/'; empty when that side has none.
    // Keys fold case as the original file system does, but each side's file is opened under its
    // own name, so Form1.CS in the base pairs with form1.cs in the current project.
    std::string baseFile;
    std::string currentFile;
};

// Pairs the files of both walks by key, in key order. Of several files of one side under one
// key the first found wins, except that a renamed main file wins over a base file that already
// bears the current project's name. Both lists are reordered.
std::vector<SourceFileEntry> PairSources(std::vector<FoundSource>& base, std::vector<FoundSource>& current);

} // namespace quilvane
