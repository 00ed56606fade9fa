// loc-tree-generator: writes benchmark input for the LOC counter.
//   loc-tree-generator tree OUT [FILES [LINES_PER_FILE]]   OUT/Base and OUT/Current project trees
//   loc-tree-generator real OUT [FILES]                    OUT/Base and OUT/Current shaped like two
//                                                          snapshots of a repository (3,500 files)
//   loc-tree-generator pair OUT [LINES [CHANGE_EVERY]]     OUT/Base/Big.cs and OUT/Current/Big.cs
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/LocTreeGenerator.h"

namespace {

std::size_t Number(int argc, char** argv, int index, std::size_t fallback)
{
    return argc > index ? std::strtoul(argv[index], nullptr, 10) : fallback;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: loc-tree-generator tree|real|pair OUT [COUNT [COUNT]]\n");
        return 2;
    }
    std::string mode = argv[1];
    std::string out = argv[2];
    quilvane::Status status = quilvane::Status::Success();
    if (mode == "tree") {
        quilvane::bench::LocTreeOptions options;
        options.files = Number(argc, argv, 3, options.files);
        options.linesPerFile = Number(argc, argv, 4, options.linesPerFile);
        std::size_t lines = 0;
        status = quilvane::bench::GenerateLocTrees(out, options, lines);
        if (status) {
            std::printf("%zu files, %zu lines per tree\n", options.files, lines);
        }
    } else if (mode == "real") {
        quilvane::bench::RealTreeOptions options;
        options.files = Number(argc, argv, 3, options.files);
        quilvane::bench::RealTreeStats stats;
        status = quilvane::bench::GenerateRealTrees(out, options, stats);
        if (status) {
            double files = static_cast<double>(std::max<std::size_t>(stats.baseFiles, 1));
            std::printf(
                "%zu source files (%zu VB), mean %.1f lines, largest %zu; %zu folders, depth %zu; "
                "%zu other files; %zu changed (%.1f %%), %zu added (%.1f %%), %zu removed (%.1f %%)\n",
                stats.baseFiles, stats.vbFiles, static_cast<double>(stats.baseLines) / files,
                stats.largestFile, stats.folders, stats.maxDepth, stats.otherFiles, stats.changedFiles,
                100.0 * static_cast<double>(stats.changedFiles) / files, stats.addedFiles,
                100.0 * static_cast<double>(stats.addedFiles) / files, stats.removedFiles,
                100.0 * static_cast<double>(stats.removedFiles) / files);
        }
    } else if (mode == "pair") {
        std::size_t lines = Number(argc, argv, 3, 200000);
        status = quilvane::bench::GenerateLocFilePair(out, lines, Number(argc, argv, 4, 50));
    } else {
        std::fprintf(stderr, "usage: loc-tree-generator tree|real|pair OUT [COUNT [COUNT]]\n");
        return 2;
    }
    if (!status) {
        std::fprintf(stderr, "loc-tree-generator: %s\n", status.Message().c_str());
        return 1;
    }
    return 0;
}
