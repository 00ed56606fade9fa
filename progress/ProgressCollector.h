#pragma once
// Gathering of every registered project's result into the tables.
#include <string>

#include "ProgressTables.h"

namespace tessaline {

// Reads folder/d/e/result.txt for every directory d of `folder` and every entry e of d, both taken
// in name order and leaving out names that begin with a dot. The table names come from the files'
// contents; d and e only decide which files are read. Returns false when `folder` itself cannot
// be enumerated.
[[nodiscard]] bool CollectResults(const std::string& folder, ProgressTables& tables);

} // namespace tessaline
