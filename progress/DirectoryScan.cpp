#include "progress/DirectoryScan.h"

#include "platform/MbString.h"
#include "platform/PathNames.h"

namespace tessaline {

namespace {

bool IsControl(unsigned char c)
{
    return c < 0x20 || c == 0x7F;
}

} // namespace

std::string JoinPath(const std::string& dir, const std::string& name)
{
    if (dir.empty() || dir == ".") {
        return name;
    }
    std::string path = dir;
    if (path.back() != '/') {
        path.push_back('/');
    }
    path += name;
    return path;
}

bool CouldBeFolderName(std::string_view stored)
{
    if (stored.empty() || stored == "." || stored == ".." || !quilvane::StoredToDiskPath(stored)) {
        return false;
    }
    for (std::size_t pos = 0; pos < stored.size();) {
        const std::size_t length = quilvane::Cp932CharLength(stored, pos);
        if (length == 1) {
            const auto c = static_cast<unsigned char>(stored[pos]);
            if (c == '/' || c == '\\' || c == ':' || IsControl(c)) {
                return false;
            }
        }
        pos += length;
    }
    return true;
}

std::vector<NamedEntry> StoredEntries(const std::vector<FolderEntry>& entries)
{
    std::vector<NamedEntry> named;
    named.reserve(entries.size());
    for (const FolderEntry& entry : entries) {
        if (auto stored = quilvane::DiskToStoredName(entry.name)) {
            named.push_back({std::move(*stored), entry.name, entry.kind});
        }
    }
    return named;
}

} // namespace tessaline
