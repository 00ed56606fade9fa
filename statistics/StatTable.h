#pragma once
// The statistics list as text: its column headings, the texts of one row, and the CSV export
// "init/stat.csv" built from a store. Shared by the statistics dialog and the command-line tool.
#include <array>
#include <string>

#include "platform/Status.h"
#include "statistics/StatStore.h"

namespace quilvane {

// Column 10 ("計(実)", actual new + reused) is derived: shown in the list, not written to the CSV.
inline constexpr std::size_t StatDerivedColumn = 10;

// The 13 headings in UTF-8, for the widgets; column 0, the mark column, has an empty heading.
const std::array<const char*, StatColumnCount>& StatColumnHeadingsUtf8();

// The texts of one list row in CP932: "*" or "" (`present`), the name, the base name, then the
// numbers with "%d", the derived column included.
std::array<std::string, StatColumnCount> StatRowTexts(const std::string& name, const StatRecord& record);

inline const char* const StatCsvFile = "init/stat.csv";

// The CSV text in CP932 with CR LF line ends, no quoting: the header line (every heading but the
// derived one, starting with the empty mark heading, hence with a comma), one line per record in
// key order, and the total line starting "計,,,".
std::string FormatStatCsv(const StatStore& store);

// Writes FormatStatCsv to "init/stat.csv"; fails when the file cannot be created.
Status SaveStatCsv(const StatStore& store);

} // namespace quilvane
