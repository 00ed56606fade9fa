#pragma once
// Gathering of every registered project's result into the tables.
#include <string_view>

#include "progress/DirectoryScan.h"
#include "progress/ProgressTables.h"
#include "progress/ResultFile.h"

namespace tessaline {

// Whether a result read from R/U/P/result.txt may fill a cell: its user field must name the user
// folder U (`userFolderName`, as stored text) ignoring case, so that no student can write
// another's cell, and both names must be possible folder names, so that no link made from them
// leaves the registration folder. The project field may differ from P: a copy of a project under
// another folder name still fills the project's one cell.
bool IsAcceptedResult(const ResultLine& line, std::string_view userFolderName);

// Reads R/d/e/result.txt for every directory d of the registration folder R and every directory
// e of d, both taken in name order, leaving out names that begin with a dot, names that do not
// convert to stored text and symbolic links. The table names come from the files' contents;
// d and e only decide which files are read. Returns false when R itself cannot be enumerated.
[[nodiscard]] bool CollectResults(const Folder& registrationFolder, ProgressTables& tables);

} // namespace tessaline
