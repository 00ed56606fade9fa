#include "progress/Tessaline.h"

#include "platform/FileIo.h"
#include "progress/DirectoryScan.h"
#include "progress/ProgressCollector.h"

namespace tessaline {

int GenerateProgressReport(const std::string& folder, CalendarDateFn toDate)
{
    const auto registrationFolder = Folder::Open(folder);
    ProgressTables tables;
    if (!registrationFolder || !CollectResults(*registrationFolder, tables)) {
        return ExitFolderUnreadable;
    }
    const std::string page = ToCrLf(BuildProgressPage(tables, *registrationFolder, toDate));
    // Any student may plant a link named result.htm in the class folder, pointing at a file of
    // whoever runs the generator next: the link is replaced, never written through.
    const auto written = quilvane::WriteFileAtomically(JoinPath(folder, "result.htm"), page,
                                                       quilvane::SymlinkPolicy::ReplaceLink);
    if (!written) {
        return ExitPageUnwritable;
    }
    return ExitPageWritten;
}

} // namespace tessaline
