#include <gtest/gtest.h>

#include <chrono>
#include <random>

#include "project/ProjectFile.h"
#include "tests/fuzz/FuzzTargets.h"
#include "tests/project/SampleProjects.h"

using namespace quilvane;

namespace {

// Flips, inserts and deletes bytes of `seed` and of small random inputs, feeding each result to
// `target`: a bounded, repeatable stand-in for a fuzzing run (scripts/fuzz runs the real one).
// Stops after `rounds` inputs or two seconds, whichever comes first, so the suite stays quick.
// The sanitizers and the targets' own checks turn any fault into a failure.
void Mutate(fuzz::Target target, const std::string& seed, int rounds)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    std::mt19937 rng(20261208);
    for (int round = 0; round < rounds && std::chrono::steady_clock::now() < deadline; ++round) {
        std::string input = round % 10 == 0 ? std::string(rng() % 64, '\0') : seed;
        int edits = 1 + static_cast<int>(rng() % 8);
        for (int e = 0; e < edits && !input.empty(); ++e) {
            std::size_t pos = rng() % input.size();
            switch (rng() % 5) {
            case 0:
                input[pos] = static_cast<char>(rng());
                break;
            case 1:
                input.insert(pos, 1, static_cast<char>(rng() % 2 ? 0xFF : rng()));
                break;
            case 2:
                input.erase(pos, 1 + rng() % 8);
                break;
            case 3:
                // A copy of a piece elsewhere: repeated lines, nested brackets, long numbers.
                input.insert(rng() % input.size(), input.substr(pos, 1 + rng() % 16));
                break;
            default:
                input.resize(pos);
                break;
            }
        }
        target(reinterpret_cast<const std::uint8_t*>(input.data()), input.size());
    }
}

} // namespace

TEST(ProjectFileFuzz, MutatedFilesNeverCrash)
{
    Mutate(fuzz::FuzzProjectFile, SerializeToBytes(RichProject()), 4000);
    SUCCEED();
}

TEST(TextFileFuzz, MutatedInitFilesNeverCrash)
{
    const struct {
        const char* name;
        fuzz::Target target;
        std::string seed;
    } cases[] = {
        {"psp.txt", fuzz::FuzzSettingsFile,
         "100\r\n\x8E\x52\x93\x63\r\n/srv/psp\r\n3\r\n\x8C\x76\x89\xE6\r\nB\r\nC\r\n"},
        {"lastProj.txt", fuzz::FuzzLastProjectFile, "100\r\nProb1\r\n"},
        {"statInfo.txt", fuzz::FuzzStatInfoFile,
         "100\r\n40 40 760 420\r\n20 100 100 50 50 50 50 50 50 50 50 50 60\r\n2\r\nProb1\r\n\r\n"
         "1 2 3 4 5 6 7 8 9\r\nProb2\r\nProb1\r\n-1 2147483647 0 0 0 0 0 0 -2147483648\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Mutate(c.target, c.seed, 1500);
    }
    SUCCEED();
}

TEST(ChecklistTicksFuzz, MutatedTicksReadBackAsThemselves)
{
    Mutate(fuzz::FuzzChecklistTicks,
           "Quilvane review checklist 1\r\n\x83\x52\x81\x5B\x83\x68\x83\x8C\x83\x72\x83\x85\x81\x5B\t20\t"
           "2026/12/08 10:00:00\tA\r\n\x90\xDD\x8C\x76\x83\x8C\x83\x72\x83\x85\x81\x5B\tS1\t\t\r\n",
           3000);
    SUCCEED();
}

TEST(PackJsonFuzz, MutatedJsonNeverCrashes)
{
    const std::string seeds[] = {
        R"({"projectName": "P", "phases": [{"name": "計画", "plan": 60}], "timeLog": {"columnWidths": [1, 2, 3, 4],)"
        R"( "entries": [{"phase": "A", "start": 1796585780, "end": 1796585840}]}, "estimate": {"constant": )"
        R"("NaN:7ff8000000000001", "newCoef": 1.5e300, "reuseCoef": "-Infinity"}, "result": {"actualNew": 3}})",
        R"({"overview": {"windowRect": [18446744073709551615, -1, 0, 1]}, "memo": "a\r\nb"})",
    };
    for (const std::string& seed : seeds) {
        Mutate(fuzz::FuzzPackJson, seed, 2000);
    }
    SUCCEED();
}
