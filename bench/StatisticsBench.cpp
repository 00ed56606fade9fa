// The history behind the estimate and the statistics dialog: a program folder with 2,000 project
// folders is scanned, then the coefficients are refitted and a prediction with its interval made.
// Everything runs inside one button command, so the whole must stay well under a second.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "estimate/ProbeInputs.h"
#include "platform/ProgramFolder.h"
#include "project/ProjectFile.h"
#include "statistics/PhaseRatios.h"
#include "statistics/ProjectScan.h"

namespace {

using namespace quilvane;

// A program folder of `count` projects, each with a realistic time log and defect log.
class ProgramFolderFixture {
public:
    explicit ProgramFolderFixture(int count)
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "quilvane-statbench-XXXXXX").string();
        root_ = mkdtemp(pattern.data()) ? pattern : std::string();
        std::filesystem::create_directories(root_ + "/init");
        const char* phases[] = {"plan", "design", "code", "compile", "test", "postmortem"};
        for (int i = 0; i < count; ++i) {
            ProjectRecord p;
            for (const char* phase : phases) {
                p.phases.push_back({phase, 10, 5 + i % 50, 0});
            }
            std::int32_t t = 1700000000 + i * 100000;
            for (int e = 0; e < 40; ++e) {
                p.timeLog.entries.push_back({phases[e % 6], Moment(t), Moment(t + 300 + (i * 7 + e) % 900)});
                t += 2000;
            }
            p.defectLog.entries.resize(static_cast<std::size_t>(i % 12));
            p.estimate.baseName = "Prob" + std::to_string(i);
            p.result.actualReuse = (i * 37) % 400;
            p.result.actualDelete = (i * 11) % 60;
            p.result.actualNew = 50 + (i * 53) % 300;
            std::string folder = root_ + "/Prob" + std::to_string(i + 1);
            std::filesystem::create_directories(folder);
            (void)SaveProjectFile(folder + "/work.psp", p);
        }
    }
    ~ProgramFolderFixture()
    {
        std::error_code ec;
        std::filesystem::remove_all(root_, ec);
    }
    const std::string& Root() const { return root_; }

private:
    std::string root_;
};

ProgramFolderFixture& Folder()
{
    static ProgramFolderFixture folder(2000);
    return folder;
}

PlanEstimate PlannedSizes()
{
    PlanEstimate estimate;
    estimate.reuseLoc = 120;
    estimate.deleteLoc = 10;
    estimate.newLoc = 200;
    return estimate;
}

void BM_ScanProjects(benchmark::State& state)
{
    SetProgramFolder(Folder().Root());
    for (auto _ : state) {
        StatStore store = LoadHistory("Prob1");
        benchmark::DoNotOptimize(store.records.size());
    }
}
BENCHMARK(BM_ScanProjects)->Unit(benchmark::kMillisecond);

// One use of the history: a scan, then the refit and the prediction over it, as
// `quilvane-cli estimate` does; the fit adds nothing measurable to the scan.
void BM_ScanRefitAndPredict(benchmark::State& state)
{
    SetProgramFolder(Folder().Root());
    for (auto _ : state) {
        PlanEstimate estimate = PlannedSizes();
        const std::vector<HistoryPoint> history = HistoryFromStore(LoadHistory("Prob1"));
        RefitEstimate(estimate, history, DefaultConfidenceLevel);
        PredictEstimate(estimate, history, DefaultConfidenceLevel);
        benchmark::DoNotOptimize(estimate.totalMinutes);
    }
}
BENCHMARK(BM_ScanRefitAndPredict)->Unit(benchmark::kMillisecond);

// What "係数更新" then "計算" in the estimate dialog do: each button loads the history afresh.
void BM_RefitThenPredictButtons(benchmark::State& state)
{
    SetProgramFolder(Folder().Root());
    for (auto _ : state) {
        PlanEstimate estimate = PlannedSizes();
        RefitEstimate(estimate, HistoryFromStore(LoadHistory("Prob1")), DefaultConfidenceLevel);
        PredictEstimate(estimate, HistoryFromStore(LoadHistory("Prob1")), DefaultConfidenceLevel);
        benchmark::DoNotOptimize(estimate.totalMinutes);
    }
}
BENCHMARK(BM_RefitThenPredictButtons)->Unit(benchmark::kMillisecond);

void BM_UpdatePhaseRatios(benchmark::State& state)
{
    SetProgramFolder(Folder().Root());
    ProjectRecord mine;
    mine.projectName = "Prob1";
    for (const char* phase : {"plan", "design", "code", "compile", "test", "postmortem"}) {
        mine.phases.push_back({phase, 0, 0, 0});
    }
    mine.estimate.totalMinutes = 300;
    for (auto _ : state) {
        UpdatePhaseRatios(mine, true);
        benchmark::DoNotOptimize(mine.phases.back().plan);
    }
}
BENCHMARK(BM_UpdatePhaseRatios)->Unit(benchmark::kMillisecond);

// The numeric part alone, over an in-memory history of 2,000 points.
void BM_RefitAndPredictInMemory(benchmark::State& state)
{
    std::vector<HistoryPoint> history;
    for (int i = 0; i < 2000; ++i) {
        double x1 = (i * 37) % 400;
        double x2 = (i * 11) % 60;
        double x3 = 50 + (i * 53) % 300;
        history.push_back({x1, x2, x3, 20 + 0.1 * x1 + 0.3 * x2 + 1.1 * x3 + (i % 17) - 8});
    }
    for (auto _ : state) {
        ProbeCoefficients c;
        ProbePrediction p = EstimateFromHistory(history, true, c, {120, 10, 200}, DefaultConfidenceLevel);
        benchmark::DoNotOptimize(p.range);
    }
}
BENCHMARK(BM_RefitAndPredictInMemory)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
