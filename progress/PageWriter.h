#pragma once
// Writing result.htm into a registration folder that a whole class shares.
#include <string>
#include <string_view>
#include <sys/types.h>

#include "progress/DirectoryScan.h"

namespace tessaline {

// The page's permissions, taken from the folder's rather than from the umask of whoever ran
// last: readable by the folder's group (and by others where the folder is), and writable by the
// group where the group may write the folder, so that the next student's run can rewrite it.
mode_t PageMode(mode_t folderMode);

// Whether the page cannot be replaced by a new file but must be rewritten where it stands: in
// a folder with the sticky bit, a file that someone else owns may be renamed over only by its
// owner, the folder's owner or the superuser.
bool MustRewriteInPlace(mode_t folderMode, uid_t folderOwner, uid_t pageOwner, uid_t runner);

// Writes `page` as `folderPath`/result.htm, where `folder` is that folder held open. The page is
// replaced atomically where the folder allows it; otherwise the existing page (a regular file,
// never a link) is rewritten in place under a lock, so two runs never mix their pages. False
// when the page could not be written.
[[nodiscard]] bool WriteProgressPage(const Folder& folder, const std::string& folderPath,
                                     std::string_view page);

} // namespace tessaline
