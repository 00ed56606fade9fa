#include <gtest/gtest.h>

#include <random>

#include "project/ProjectFile.h"
#include "tests/project/SampleProjects.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

using namespace quilvane;

// A bounded, repeatable stand-in for a fuzzing run: flips, inserts and deletes bytes of a rich
// valid file and of small random inputs. The sanitizers turn any fault into a failure.
TEST(ProjectFileFuzz, MutatedFilesNeverCrash)
{
    const std::string seed = SerializeToBytes(RichProject());
    std::mt19937 rng(20261208);
    for (int round = 0; round < 4000; ++round) {
        std::string input = round % 10 == 0 ? std::string(rng() % 64, '\0') : seed;
        int edits = 1 + static_cast<int>(rng() % 8);
        for (int e = 0; e < edits && !input.empty(); ++e) {
            std::size_t pos = rng() % input.size();
            switch (rng() % 4) {
            case 0:
                input[pos] = static_cast<char>(rng());
                break;
            case 1:
                input.insert(pos, 1, static_cast<char>(rng() % 2 ? 0xFF : rng()));
                break;
            case 2:
                input.erase(pos, 1 + rng() % 8);
                break;
            default:
                input.resize(pos);
                break;
            }
        }
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(input.data()), input.size());
    }
    SUCCEED();
}
