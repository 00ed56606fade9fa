#include "progress/Tessaline.h"

#include <cstdio>

#include "platform/FileIo.h"
#include "progress/DirectoryScan.h"
#include "progress/PageWriter.h"
#include "progress/ProgressCollector.h"
#include "progress/RegistrationListing.h"

namespace tessaline {

void NoteOnStandardError(const std::string& message)
{
    std::fprintf(stderr, "Tessaline: %s\n", message.c_str());
}

int GenerateProgressReport(const std::string& folder, CalendarDateFn toDate, NoteFn note)
{
    const auto registrationFolder = Folder::Open(folder);
    const auto listing = registrationFolder
                             ? ReadRegistrationFolder(*registrationFolder, ReadThreadsFromEnvironment())
                             : std::nullopt;
    if (!listing) {
        return ExitFolderUnreadable;
    }
    ProgressTables tables;
    CollectResults(*listing, tables);
    for (const UnreadableEntry& entry : listing->unreadable) {
        note(entry.path + " を読めないため、進捗表に載せていません: " + quilvane::ErrorText(entry.error));
    }
    const std::string page = ToCrLf(BuildProgressPage(tables, *listing, toDate));
    if (!WriteProgressPage(*registrationFolder, folder, page)) {
        return ExitPageUnwritable;
    }
    return ExitPageWritten;
}

} // namespace tessaline
