// The statistics chart view over a class's worth of history: 500 projects. Measures the figures
// alone, and the view opened on the rows (figures, layout, first paint) and closed, which is what
// the user waits for after clicking the button. Run with QT_QPA_PLATFORM=offscreen (set here when
// unset).
#include <QApplication>
#include <benchmark/benchmark.h>
#include <random>
#include <string>

#include "statistics/CChartView.h"

using namespace quilvane;

namespace {

constexpr int ProjectCount = 500;

const std::vector<StatRow>& Rows()
{
    static const std::vector<StatRow> rows = [] {
        std::mt19937 random(11);
        std::vector<StatRow> out;
        for (int i = 0; i < ProjectCount; ++i) {
            StatRow row;
            row[0] = i % 9 == 0 ? "*" : "";
            row[1] = "Prob" + std::to_string(i);
            row[2] = "Prob" + std::to_string(i - 1);
            for (std::size_t c = 3; c < StatColumnCount; ++c) {
                row[c] = std::to_string(random() % 400);
            }
            out.push_back(row);
        }
        return out;
    }();
    return rows;
}

const std::vector<std::string> Phases = {"plan",        "design",  "design review", "code",
                                         "code review", "compile", "test",          "postmortem"};

PhaseSeconds Seconds()
{
    PhaseSeconds seconds;
    std::int32_t s = 1000;
    for (const std::string& phase : Phases) {
        seconds[phase] = s * ProjectCount;
        s += 700;
    }
    return seconds;
}

void BM_ChartFigures(benchmark::State& state)
{
    const PhaseSeconds seconds = Seconds();
    for (auto _ : state) {
        ChartFigures f = ComputeChartFigures(Rows(), seconds, Phases);
        benchmark::DoNotOptimize(f.panels.data());
    }
}
BENCHMARK(BM_ChartFigures)->Unit(benchmark::kMillisecond);

void BM_OpenChartView(benchmark::State& state)
{
    const PhaseSeconds seconds = Seconds();
    for (auto _ : state) {
        CChartView view(seconds, Phases);
        view.SetRows(Rows());
        view.show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(view.LastDrawing().size());
        view.reject();
    }
}
BENCHMARK(BM_OpenChartView)->Unit(benchmark::kMillisecond);

} // namespace
