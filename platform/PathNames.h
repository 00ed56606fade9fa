#pragma once
// The one crossing between stored text and the file system. Stored names and paths (project
// names, user names, the registration folder, anything kept in work.psp or init/*.txt) are
// code-page-932 bytes; a path on disk is in the system's own encoding (UTF-8 here). A stored
// name becomes a path only through StoredToDiskPath, and a name read from disk becomes stored
// text only through DiskToStoredName, so that 山田 is the folder 山田 for every program and for
// a browser following the class page's links.
#include <optional>
#include <string>
#include <string_view>

namespace quilvane {

// A stored (CP932) name or path as a path on disk: '\' becomes '/' (double-byte characters
// stepped over as units), the rest is decoded strictly. Nothing when the bytes are not valid
// CP932: such a name is refused, never mangled into another folder.
std::optional<std::string> StoredToDiskPath(std::string_view stored);

// A stored folder path (absolute, or relative to `programFolder`, a disk path) as a path on
// disk with '/' as separator and no trailing one; nothing when it is not valid CP932.
std::optional<std::string> StoredFolderOnDisk(std::string_view stored, const std::string& programFolder);

// A name or path on disk (or typed on the screen, in UTF-8) as stored CP932 text. Nothing when
// it holds a character that CP932 cannot represent, or is not valid UTF-8.
std::optional<std::string> DiskToStoredName(std::string_view disk);

// The messages that go with a refusal, in Japanese UTF-8 for the screen. `shown` is the name as
// the user sees it (UTF-8).
std::string UnstorableNameMessage(std::string_view shownUtf8);
std::string UndecodableNameMessage();

} // namespace quilvane
