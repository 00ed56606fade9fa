// The quality measures over a long history: a program folder of 500 finished projects, each with
// the PSP phases, a time log, a defect log whose entries carry type, injected phase and fix time,
// and a plan with its range, is scanned and measured. The 品質 view and `quilvane-cli quality`
// do this whenever they open, so it must stay well under 100 ms; the statistics scan of the same
// folder runs beside it for comparison.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/Cp932.h"
#include "platform/ProgramFolder.h"
#include "project/DefectDetails.h"
#include "project/ProjectFile.h"
#include "statistics/ProjectScan.h"
#include "statistics/QualityMeasures.h"

namespace {

using namespace quilvane;

class QualityFolderFixture {
public:
    explicit QualityFolderFixture(int count)
    {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "quilvane-qualitybench-XXXXXX").string();
        root_ = mkdtemp(pattern.data()) ? pattern : std::string();
        std::filesystem::create_directories(root_ + "/init");
        std::vector<std::string> phases;
        for (const char* name :
             {"計画", "設計", "設計レビュー", "コード", "コードレビュー", "コンパイル", "テスト", "事後"}) {
            phases.push_back(Utf8ToCp932(name));
        }
        for (int i = 0; i < count; ++i) {
            ProjectRecord p;
            for (std::size_t k = 0; k < phases.size(); ++k) {
                p.phases.push_back({phases[k], 10, 5 + static_cast<std::int32_t>((i * 7 + k * 13) % 60), 0});
            }
            std::int32_t t = 1700000000 + i * 100000;
            for (std::size_t e = 0; e < 40; ++e) {
                p.timeLog.entries.push_back({phases[e % phases.size()], Moment(t),
                                             Moment(t + 300 + static_cast<std::int32_t>(e) * 7)});
                t += 2000;
            }
            for (int d = 0; d < 4 + i % 12; ++d) {
                DefectDetails details{20 + 10 * (d % 8), phases[static_cast<std::size_t>(1 + d % 3)],
                                      1 + d % 20, "note"};
                p.defectLog.entries.push_back(
                    {phases[static_cast<std::size_t>(2 + d % 5)], ComposeDefectComment(details), Moment(t)});
            }
            p.estimate.totalMinutes = 200 + i % 150;
            p.estimate.newLoc = 100 + i % 90;
            p.estimate.rangeText = "45.50";
            p.result.actualReuse = (i * 37) % 400;
            p.result.actualNew = 50 + (i * 53) % 300;
            std::string folder = root_ + "/Prob" + std::to_string(i + 1);
            std::filesystem::create_directories(folder);
            (void)SaveProjectFile(folder + "/work.psp", p);
        }
    }
    ~QualityFolderFixture()
    {
        std::error_code ec;
        std::filesystem::remove_all(root_, ec);
    }
    const std::string& Root() const { return root_; }

private:
    std::string root_;
};

QualityFolderFixture& Folder500()
{
    static QualityFolderFixture folder(500);
    return folder;
}

// What `quilvane-cli quality` and the view compute: every finished project and the sums to date.
void BM_QualityHistory500(benchmark::State& state)
{
    SetProgramFolder(Folder500().Root());
    for (auto _ : state) {
        QualityHistory history = LoadQualityHistory("");
        benchmark::DoNotOptimize(history.toDate[QualityMeasure::Yield].value);
    }
}
BENCHMARK(BM_QualityHistory500)->Unit(benchmark::kMillisecond);

// The statistics scan of the same folder: what the measures cost beyond reading the files.
void BM_ScanProjects500(benchmark::State& state)
{
    SetProgramFolder(Folder500().Root());
    for (auto _ : state) {
        StatStore store = LoadHistory("");
        benchmark::DoNotOptimize(store.records.size());
    }
}
BENCHMARK(BM_ScanProjects500)->Unit(benchmark::kMillisecond);

} // namespace
