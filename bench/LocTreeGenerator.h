#pragma once
// Generates realistic pairs of C# and VB project trees (a base and a current version) and large
// single-file pairs, for benchmarking the LOC counter against other tools. The "real" pair has the
// shape of two snapshots of a student repository: thousands of small files of long-tailed sizes in
// a deep folder tree among project and resource files, where per-file and per-folder costs count
// more than the line matching.
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

// How a pair of repository snapshots is shaped. Shares of files are of the base source files.
struct RealTreeOptions {
    std::size_t files = 3500;    // C# and VB files in the base tree
    double meanLines = 75;       // mean of the log-normal file size, before clamping
    double sizeSpread = 1.1;     // sigma of the log-normal: a median of about half the mean
    std::size_t minLines = 5;    // no source file is shorter ...
    std::size_t maxLines = 3000; // ... or longer
    double filesPerFolder = 2.9; // sets the folder count (over a thousand for 3,500 files)
    std::size_t maxDepth = 8;    // deepest folder, counted from the tree's root
    double vbShare = 0.25;       // share of VB files
    double designerShare = 0.06; // C# files that are form designer code with a .resx beside
    double changedFiles = 0.04;  // edited in the current tree
    double addedFiles = 0.01;    // only in the current tree
    double removedFiles = 0.01;  // only in the base tree
    LocTreeOptions lineEdits;    // only its line shares apply: how a changed file is edited
    std::uint32_t seed = 1;
};

// What GenerateRealTrees wrote.
struct RealTreeStats {
    std::size_t baseFiles = 0;    // source files in the base tree
    std::size_t currentFiles = 0; // source files in the current tree
    std::size_t vbFiles = 0;      // VB files in the base tree
    std::size_t otherFiles = 0;   // files the counter skips, the same in both trees
    std::size_t folders = 0;      // folders in the base tree, its root not counted
    std::size_t maxDepth = 0;     // of a folder in the base tree
    std::size_t baseLines = 0;    // source lines in the base tree
    std::size_t largestFile = 0;  // lines of the longest source file
    std::size_t changedFiles = 0; // pairs whose contents differ
    std::size_t addedFiles = 0;   // source files only in the current tree
    std::size_t removedFiles = 0; // source files only in the base tree
};

// Writes `root`/Base and `root`/Current; returns the number of lines written per tree.
Status GenerateLocTrees(const std::string& root, const LocTreeOptions& options, std::size_t& baseLines);

// Writes `root`/Base and `root`/Current shaped like two snapshots of one repository. Files left
// untouched keep the base file's modification time in the current tree.
Status GenerateRealTrees(const std::string& root, const RealTreeOptions& options, RealTreeStats& stats);

// Writes `root`/Base/Big.cs and `root`/Current/Big.cs of `lines` lines, every `changeEvery`th
// line changed in the current one.
Status GenerateLocFilePair(const std::string& root, std::size_t lines, std::size_t changeEvery);

} // namespace quilvane::bench
