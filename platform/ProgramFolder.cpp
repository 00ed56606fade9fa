#include "platform/ProgramFolder.h"

#include <filesystem>
#include <unistd.h>

#include "platform/MbString.h"
#include "platform/PathNames.h"

namespace quilvane {

std::string ExecutableFolder()
{
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) {
        return std::filesystem::current_path(ec).string();
    }
    return exe.parent_path().string();
}

namespace {

std::string& Folder()
{
    static std::string folder = ExecutableFolder();
    return folder;
}

std::string JoinToProgramFolder(const std::string& rel)
{
    if (!rel.empty() && rel.front() == '/') {
        return rel;
    }
    if (rel.empty()) {
        return Folder();
    }
    return Folder() + "/" + rel;
}

} // namespace

const std::string& ProgramFolder()
{
    return Folder();
}

void SetProgramFolder(std::string folder)
{
    while (folder.size() > 1 && folder.back() == '/') {
        folder.pop_back();
    }
    Folder() = std::move(folder);
}

std::string ProgramPath(std::string_view relative)
{
    return JoinToProgramFolder(ToSlashes(relative));
}

std::optional<std::string> ProgramPathFor(std::string_view stored)
{
    auto disk = StoredToDiskPath(stored);
    if (!disk) {
        return std::nullopt;
    }
    // Already in slashes: the CP932 stepping of ToSlashes must not run over UTF-8 bytes.
    return JoinToProgramFolder(*disk);
}

bool GoToProgramFolder()
{
    return chdir(ProgramFolder().c_str()) == 0;
}

std::string ToSlashes(std::string_view path)
{
    std::string out;
    out.reserve(path.size());
    size_t pos = 0;
    while (pos < path.size()) {
        size_t length = Cp932CharLength(path, pos);
        if (length == 1 && path[pos] == '\\') {
            out += '/';
        } else {
            out.append(path.substr(pos, length));
        }
        pos += length;
    }
    return out;
}

} // namespace quilvane
