#pragma once
// Generates realistic pairs of C# and VB project trees (a base and a current version) and large
// single-file pairs, for benchmarking the LOC counter against other tools.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/Status.h"

namespace quilvane::bench {

struct LocTreeOptions {
    std::size_t files = 400;        // per tree
    std::size_t linesPerFile = 800; // on average
    std::size_t folders = 16;       // subfolders the files are spread over
    double vbShare = 0.25;          // share of VB files
    double changedShare = 0.03;     // lines changed in a touched file
    double deletedShare = 0.02;     // lines deleted in a touched file
    double insertedShare = 0.03;    // lines inserted in a touched file
    double movedShare = 0.02;       // lines moved elsewhere in a touched file
    double touchedFiles = 0.6;      // share of files that are edited
    double copiedFiles = 0.2;       // untouched files copied with a new modification time
    std::uint32_t seed = 1;
};

// Writes `root`/Base and `root`/Current; returns the number of lines written per tree.
Status GenerateLocTrees(const std::string& root, const LocTreeOptions& options, std::size_t& baseLines);

// Writes `root`/Base/Big.cs and `root`/Current/Big.cs of `lines` lines, every `changeEvery`th
// line changed in the current one.
Status GenerateLocFilePair(const std::string& root, std::size_t lines, std::size_t changeEvery);

} // namespace quilvane::bench
