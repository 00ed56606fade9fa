#include "Tessaline.h"

#include "DirectoryScan.h"
#include "PageFile.h"
#include "ProgressCollector.h"

namespace tessaline {

int GenerateProgressReport(const std::string& folder, CalendarDateFn toDate)
{
    ProgressTables tables;
    if (!CollectResults(folder, tables)) {
        return ExitFolderUnreadable;
    }
    const std::string page = ToCrLf(BuildProgressPage(tables, folder, toDate));
    if (!ReplaceFile(JoinPath(folder, "result.htm"), page)) {
        return ExitPageUnwritable;
    }
    return ExitPageWritten;
}

} // namespace tessaline
