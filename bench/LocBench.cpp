// Benchmarks of the LOC counter: line matching and scanning of one large file pair in memory,
// and a whole generated project pair on disk.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

#include "bench/LocTreeGenerator.h"
#include "estimate/LineMatcher.h"
#include "estimate/LocCounter.h"
#include "estimate/LocScanners.h"
#include "platform/FileIo.h"

using namespace quilvane;

namespace {

// A generated tree and file pair in a temporary folder, made once for all benchmarks.
class Inputs {
public:
    static const Inputs& Get()
    {
        static Inputs inputs;
        return inputs;
    }

    std::string root;
    std::size_t treeLines = 0;
    std::string pairBase;
    std::string pairCurrent;

private:
    Inputs()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "loc-bench-XXXXXX").string();
        root = mkdtemp(pattern.data()) ? pattern : std::string("/tmp");
        (void)bench::GenerateLocTrees(root + "/tree", bench::LocTreeOptions{}, treeLines);
        (void)bench::GenerateLocFilePair(root + "/pair", 200000, 50);
        bench::RealTreeStats stats;
        (void)bench::GenerateRealTrees(root + "/real", bench::RealTreeOptions{}, stats);
        pairBase = TextModeBytes(ReadWholeFile(root + "/pair/Base/Big.cs").value_or(""));
        pairCurrent = TextModeBytes(ReadWholeFile(root + "/pair/Current/Big.cs").value_or(""));
    }
    ~Inputs()
    {
        std::error_code ec;
        std::filesystem::remove_all(root, ec);
    }
};

void MatchLargePair(benchmark::State& state)
{
    const Inputs& in = Inputs::Get();
    CsImage base(in.pairBase);
    CsImage current(in.pairCurrent);
    const auto& baseKeys = base.LineKeys();
    const auto& currentKeys = current.LineKeys();
    MatchFlags baseFlags;
    MatchFlags currentFlags;
    for (auto _ : state) {
        MatchLines(baseKeys, currentKeys, baseFlags, currentFlags);
        benchmark::DoNotOptimize(baseFlags.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(baseKeys.size()));
}
BENCHMARK(MatchLargePair)->Unit(benchmark::kMillisecond);

void ScanLargeCsFile(benchmark::State& state)
{
    const Inputs& in = Inputs::Get();
    CsImage image(in.pairCurrent);
    for (auto _ : state) {
        benchmark::DoNotOptimize(CountCsStatements(image, MatchFlags{}));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(in.pairCurrent.size()));
}
BENCHMARK(ScanLargeCsFile)->Unit(benchmark::kMillisecond);

void CountLargeFilePair(benchmark::State& state)
{
    const Inputs& in = Inputs::Get();
    for (auto _ : state) {
        LocCounts counts;
        LocOutcome outcome =
            CountProjectLoc(in.root + "/pair/Base", in.root + "/pair/Current", true, counts, true);
        benchmark::DoNotOptimize(outcome);
    }
}
BENCHMARK(CountLargeFilePair)->Unit(benchmark::kMillisecond);

void CountGeneratedTree(benchmark::State& state)
{
    const Inputs& in = Inputs::Get();
    for (auto _ : state) {
        LocCounts counts;
        LocOutcome outcome =
            CountProjectLoc(in.root + "/tree/Base", in.root + "/tree/Current", true, counts, true);
        benchmark::DoNotOptimize(outcome);
    }
    state.counters["lines"] = static_cast<double>(in.treeLines);
}
BENCHMARK(CountGeneratedTree)->Unit(benchmark::kMillisecond);

// Thousands of small files in a deep tree, as real repository snapshots are: the per-file and
// per-folder work dominates. The argument is the number of workers (0: as many as pay).
void CountRealShapedTree(benchmark::State& state)
{
    const Inputs& in = Inputs::Get();
    const auto workers = static_cast<std::size_t>(state.range(0));
    for (auto _ : state) {
        LocCounts counts;
        LocOutcome outcome = CountProjectLoc(in.root + "/real/Base", in.root + "/real/Current", true, counts,
                                             true, {}, workers);
        benchmark::DoNotOptimize(outcome);
    }
}
BENCHMARK(CountRealShapedTree)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
