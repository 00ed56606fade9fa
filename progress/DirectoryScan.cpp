#include "DirectoryScan.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <sys/stat.h>

namespace tessaline {

namespace {

bool IsLeadByte(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

unsigned char FoldAscii(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

// Compares the first `length` bytes of a and b (both at least that long), ignoring ASCII case
// outside double-byte characters.
bool SameIgnoringCase(std::string_view a, std::string_view b, std::size_t length)
{
    for (std::size_t i = 0; i < length; ++i) {
        const auto ca = static_cast<unsigned char>(a[i]);
        const auto cb = static_cast<unsigned char>(b[i]);
        if (IsLeadByte(ca) && i + 1 < length) {
            if (ca != cb || a[i + 1] != b[i + 1]) {
                return false;
            }
            ++i;
            continue;
        }
        if (FoldAscii(ca) != FoldAscii(cb)) {
            return false;
        }
    }
    return true;
}

class DirectoryHandle {
public:
    explicit DirectoryHandle(const std::string& path) : dir_(::opendir(path.c_str())) {}
    ~DirectoryHandle()
    {
        if (dir_ != nullptr) {
            ::closedir(dir_);
        }
    }
    DirectoryHandle(const DirectoryHandle&) = delete;
    DirectoryHandle& operator=(const DirectoryHandle&) = delete;
    DIR* Get() const { return dir_; }

private:
    DIR* dir_;
};

} // namespace

std::optional<std::vector<std::string>> ListDirectory(const std::string& dir)
{
    const DirectoryHandle handle(dir.empty() ? std::string(".") : dir);
    if (handle.Get() == nullptr) {
        return std::nullopt;
    }
    std::vector<std::string> names;
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(handle.Get());
        if (entry == nullptr) {
            if (errno != 0) {
                return std::nullopt; // e.g. the directory was removed while open
            }
            break;
        }
        const std::string_view name(entry->d_name);
        if (name != "." && name != "..") {
            names.emplace_back(name);
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

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

bool EqualsIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && SameIgnoringCase(a, b, a.size());
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && SameIgnoringCase(text, prefix, prefix.size());
}

std::optional<std::string> FindIgnoringCase(const std::vector<std::string>& entries, std::string_view name)
{
    if (std::binary_search(entries.begin(), entries.end(), name)) {
        return std::string(name);
    }
    for (const std::string& entry : entries) {
        if (EqualsIgnoringCase(entry, name)) {
            return entry;
        }
    }
    return std::nullopt;
}

bool IsDirectory(const std::string& path)
{
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

} // namespace tessaline
