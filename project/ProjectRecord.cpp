#include "project/ProjectRecord.h"

#include "platform/PathNames.h"
#include "platform/ProgramFolder.h"

namespace quilvane {

std::int32_t SecondsToMinutes(std::int32_t seconds)
{
    // The integer part of minutes + 0.5, as every stored and shown minute has always been rounded
    // (a negative span rounds toward zero, unlike lround).
    return static_cast<std::int32_t>(seconds / 60.0 + 0.5); // NOLINT(bugprone-incorrect-roundings)
}

std::string ProjectNameFromPath(const std::string& path)
{
    std::string p = ToSlashes(path);
    // A drive ("C:") is not part of the folder.
    if (p.size() >= 2 && p[1] == ':' && ((p[0] >= 'A' && p[0] <= 'Z') || (p[0] >= 'a' && p[0] <= 'z'))) {
        p.erase(0, 2);
    }
    auto lastSlash = p.rfind('/');
    if (lastSlash == std::string::npos) {
        return "None";
    }
    std::string folder = p.substr(0, lastSlash + 1);
    // One trailing separator is removed; the name is what follows the last one before it.
    folder.pop_back();
    auto nameStart = folder.rfind('/');
    std::string name = nameStart == std::string::npos ? folder : folder.substr(nameStart + 1);
    if (folder.empty()) {
        return "None";
    }
    return name;
}

std::optional<std::string> StoredProjectName(const std::string& diskPath)
{
    return DiskToStoredName(ProjectNameFromPath(diskPath));
}

} // namespace quilvane
