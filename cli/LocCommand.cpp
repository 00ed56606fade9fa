// `loc`: counts the reused, deleted and added LOC of a project against its base project, as the
// results dialog does.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "estimate/LocCounter.h"

namespace quilvane::cli {

int RunLoc(const Args& args)
{
    bool json = false;
    std::vector<std::string> paths;
    for (const auto& a : args) {
        if (a == "--json") {
            json = true;
        } else if (!a.empty() && a[0] == '-') {
            return ExitUsage;
        } else {
            paths.push_back(a); // an empty BASE ("") is allowed: everything counts as added
        }
    }
    if (paths.size() != 2) {
        return ExitUsage;
    }
    const std::string& base = paths[0];
    const std::string& current = paths[1];
    LocCounts counts;
    LocOutcome outcome = CountProjectLoc(base, current, true, counts, true);
    // The dialog quietly counts a missing folder as empty; from a script a mistyped folder
    // would give plausible but wrong figures, so it is an error here.
    if (outcome.baseMissing || outcome.currentMissing) {
        std::fprintf(stderr, "quilvane-cli: %s: フォルダを開けません\n",
                     (outcome.baseMissing ? base : current).c_str());
        return ExitFailure;
    }
    if (!outcome.failure.empty()) {
        Report(outcome.failure);
        return ExitFailure;
    }
    // The count takes them as absent, as the workbench does; the one running it hears of each.
    for (const std::string& path : outcome.unreadable) {
        std::fprintf(stderr, "quilvane-cli: 警告: %s を読めません (ないものとして数えました)\n",
                     path.c_str());
    }
    if (json) {
        std::printf("{\"reused\":%d,\"deleted\":%d,\"added\":%d}\n", counts.reused, counts.deleted,
                    counts.added);
    } else {
        std::printf("%d %d %d\n", counts.reused, counts.deleted, counts.added);
    }
    return ExitOk;
}

} // namespace quilvane::cli
