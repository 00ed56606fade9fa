#pragma once
// Reading the registration folder without ever leaving it. Every student may write into the
// folder, so it is read only through the base library's Folder: names are looked up inside the
// directory already opened, links are not followed, and only real directories and regular files
// are taken. What is the generator's own here is how listed names become stored names.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FolderListing.h"

namespace tessaline {

// The folder reading of the base library, by the names used throughout the generator.
using quilvane::EntryKind;
using quilvane::Folder;
using quilvane::FolderEntry;
using quilvane::OpenedFile;
using quilvane::UniqueFd;

// `dir` + "/" + `name`; an empty dir or "." gives `name` alone.
std::string JoinPath(const std::string& dir, const std::string& name);

// Whether a stored (code-page-932) name could be the name of one folder: not empty, not "." or
// "..", valid code page 932, and no '/', '\', ':' or control character among its characters
// (a trail byte 0x5C is part of a double-byte character, not a backslash). Such a name cannot
// carry a scheme, a drive, a UNC prefix or a parent step into a link.
bool CouldBeFolderName(std::string_view stored);

// One entry of a listing with its name both as stored text and as it lies on disk.
struct NamedEntry {
    std::string stored;
    std::string disk;
    EntryKind kind = EntryKind::Other;
};

// The entries whose on-disk names convert to stored text; the others cannot be named in the page
// and are passed over. The order of `entries` is kept.
std::vector<NamedEntry> StoredEntries(const std::vector<FolderEntry>& entries);

} // namespace tessaline
