#include "Tessaline.h"

#include "DirectoryScan.h"
#include "PageFile.h"
#include "ProgressCollector.h"

namespace tessaline {

int GenerateProgressReport(const std::string& folder, CalendarDateFn toDate)
{
    const auto registrationFolder = Folder::Open(folder);
    ProgressTables tables;
    if (!registrationFolder || !CollectResults(*registrationFolder, tables)) {
        return ExitFolderUnreadable;
    }
    const std::string page = ToCrLf(BuildProgressPage(tables, *registrationFolder, toDate));
    if (!ReplaceFile(JoinPath(folder, "result.htm"), page)) {
        return ExitPageUnwritable;
    }
    return ExitPageWritten;
}

} // namespace tessaline
