#pragma once
// File-system helpers shared by registration and project creation: copying a project tree
// (plainly, or from a template under a new name), removing a tree, making a directory path and
// replacing a text in a file. Paths may use '\' (stored texts do); entries are visited in name
// order so that results do not depend on the file system's own order.
#include <optional>
#include <string>
#include <vector>

#include "platform/Status.h"

namespace quilvane {

// Template mode of CopyProjectTree: the base project `templateName` (a path; its last component
// is the name replaced) becomes `newName`, with "USERNAME" and "VERSION" filled in.
struct TreeTemplate {
    std::string version;
    std::string templateName;
    std::string newName;
    std::string userName;
};

// Copies the tree srcDir into dstDir (which must exist), over existing files. "bin", "obj" and
// "*.suo" are left out; in template mode "result.txt" too, files named like the template are
// renamed, and they and the project files (".csproj", ".vbproj") are edited. Single failures do
// not stop the copy; the entries that were not copied are returned, relative to srcDir.
[[nodiscard]] std::vector<std::string>
CopyProjectTree(const std::string& srcDir, const std::string& dstDir,
                const std::optional<TreeTemplate>& templateMode = std::nullopt);

// Why an entry did not reach the copy. Some entries can never be copied by their nature (a link
// to a directory, a socket or FIFO); the others failed for a reason that may pass (unreadable,
// no room), and a copy that misses one of those is incomplete.
enum class CopyProblem {
    NotCopyable,
    Failed,
};

struct CopyIssue {
    std::string entry; // relative to srcDir
    CopyProblem problem = CopyProblem::Failed;
};

// CopyProjectTree, telling the two kinds of missing entries apart (in the order met).
[[nodiscard]] std::vector<CopyIssue>
CopyProjectTreeChecked(const std::string& srcDir, const std::string& dstDir,
                       const std::optional<TreeTemplate>& templateMode = std::nullopt);

// Removes dir with everything in it, clearing read-only modes on the way. Symbolic links are
// removed themselves and never followed. Succeeds when dir itself was removed.
Status RemoveTree(const std::string& dir);

// Creates the directory path with any missing parents. Succeeds when the last directory was
// made by this call, fails otherwise (also when it existed already).
Status MakeDirectoryPath(const std::string& path);

// Removes a file, making it writable first when the plain removal fails. A symbolic link is
// removed itself. Succeeds when it is gone.
Status ForceRemoveFile(const std::string& path);

// Replaces every non-overlapping occurrence of `search` on every line, left to right, and
// writes each line followed by CR LF. The new text goes to a temporary file beside the target
// that replaces it only when fully written, so on failure the original stays as it was.
Status ReplaceInFile(const std::string& path, const std::string& search, const std::string& replacement);

// True when `name` can be used as one path component: not empty, not "." or "..", and without
// '/', '\' (as a character, not as a CP932 trail byte) or NUL.
bool IsSafeFolderName(const std::string& name);

} // namespace quilvane
