#include "platform/PathNames.h"

#include <algorithm>

#include "platform/Cp932.h"
#include "platform/ProgramFolder.h"

namespace quilvane {

std::optional<std::string> StoredToDiskPath(std::string_view stored)
{
    // Plain ASCII without a '\\' is its own disk path; most names are.
    if (std::all_of(stored.begin(), stored.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x80 && c != '\\'; })) {
        return std::string(stored);
    }
    return Cp932ToUtf8Strict(ToSlashes(stored));
}

std::optional<std::string> StoredFolderOnDisk(std::string_view stored, const std::string& programFolder)
{
    auto disk = StoredToDiskPath(stored);
    if (!disk) {
        return std::nullopt;
    }
    std::string path = *disk;
    if (!path.empty() && path.front() != '/') {
        path = programFolder + "/" + path;
    }
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    return path;
}

std::optional<std::string> DiskToStoredName(std::string_view disk)
{
    return Utf8ToCp932Strict(disk);
}

std::string UnstorableNameMessage(std::string_view shownUtf8)
{
    return "「" + std::string(shownUtf8) + "」にはシフトJISで表せない文字が含まれているため使えません";
}

std::string UndecodableNameMessage()
{
    return "名前にシフトJISとして読めないバイトが含まれているため、ファイル名にできません";
}

} // namespace quilvane
