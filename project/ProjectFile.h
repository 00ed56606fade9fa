#pragma once
// The project file "work.psp": a fixed sequence of archive fields without header or tags.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/Archive.h"
#include "platform/Status.h"
#include "project/ProjectRecord.h"

namespace quilvane {

// Store mode: the whole record in file order.
void Serialize(ArchiveWriter& archive, const ProjectRecord& project);
std::string SerializeToBytes(const ProjectRecord& project);

// Load mode, over `project` in place. A version of 0 stops the read at once and leaves every
// member as it was. On failure the record may be half read: callers that must keep the old
// contents use LoadProjectBytes.
Status Serialize(ArchiveReader& archive, ProjectRecord& project);

// Reads into a copy of `project` and replaces `project` only when the whole file was read, so
// a damaged file never leaves a half-overwritten record behind.
Status LoadProjectBytes(std::string_view bytes, ProjectRecord& project);

// Where the record ended in its file: bytes after it are ignored by every reader, but a tool
// that shows the file says they are there.
struct ProjectFileExtent {
    std::uint64_t recordBytes = 0;
    std::uint64_t fileBytes = 0;
};

// Reads the record from the start of the file and nothing after it, like LoadProjectBytes.
// Refuses a file whose record does not end within a size far beyond any real project, and
// says so; running out of memory is reported as that.
Status LoadProjectFile(const std::string& path, ProjectRecord& project, ProjectFileExtent* extent = nullptr);

// The same over a file already open as `fd` (opened inside a folder descriptor, so that no link
// was followed on the way); `shown` names it in messages.
Status LoadProjectFile(int fd, const std::string& shown, ProjectRecord& project,
                       ProjectFileExtent* extent = nullptr);

// Writes atomically (temporary file, flush, rename); the old file survives any failure.
Status SaveProjectFile(const std::string& path, const ProjectRecord& project);

} // namespace quilvane
