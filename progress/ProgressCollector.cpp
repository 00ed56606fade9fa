#include "ProgressCollector.h"

#include "DirectoryScan.h"
#include "ResultFile.h"

namespace tessaline {

namespace {

bool IsHidden(const std::string& name)
{
    return !name.empty() && name.front() == '.';
}

} // namespace

bool CollectResults(const std::string& folder, ProgressTables& tables)
{
    const auto users = ListDirectory(folder);
    if (!users) {
        return false;
    }
    for (const std::string& userDir : *users) {
        const std::string userPath = JoinPath(folder, userDir);
        if (IsHidden(userDir) || !IsDirectory(userPath)) {
            continue;
        }
        const auto projects = ListDirectory(userPath);
        if (!projects) {
            continue;
        }
        for (const std::string& projectDir : *projects) {
            if (IsHidden(projectDir)) {
                continue;
            }
            const auto result = ReadResultFile(JoinPath(userPath, projectDir));
            if (result) {
                tables.AddResult(result->line.userName, result->line.projectName, result->line.percentage,
                                 result->stamp);
            }
        }
    }
    return true;
}

} // namespace tessaline
