// The time log of a long-running project: 20,000 entries. Measures the core sort by each
// column, and the dialog opened on the log (fill), sorted by a column, painted and closed.
// Run with QT_QPA_PLATFORM=offscreen (set here when unset).
#include <QApplication>
#include <QTreeView>
#include <benchmark/benchmark.h>
#include <random>

#include "logs/CTimeLogDlg.h"
#include "logs/LogListLogic.h"

using namespace quilvane;

namespace {

constexpr int EntryCount = 20000;

TimeLog LongLog()
{
    static const char* const phases[] = {"Planning",    "design",  "Design review", "code",
                                         "Code review", "compile", "test",          "postmortem"};
    std::mt19937 random(7);
    TimeLog log;
    std::int32_t moment = 1796601600;
    for (int i = 0; i < EntryCount; ++i) {
        std::int32_t gap = static_cast<std::int32_t>(random() % 600);
        std::int32_t span = 1 + static_cast<std::int32_t>(random() % 7200);
        // Every span is at least a second long, so every entry is appended.
        (void)log.AddEntry(phases[random() % 8], moment + gap, moment + gap + span);
        moment += gap + span;
    }
    return log;
}

const TimeLog& Log()
{
    static const TimeLog log = LongLog();
    return log;
}

void BM_CoreSortByColumn(benchmark::State& state)
{
    const int column = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<TimeLogEntry> entries = Log().entries;
        state.ResumeTiming();
        Reorder(entries, TimeLogSortOrder(entries, column, false));
        benchmark::DoNotOptimize(entries.data());
    }
}
BENCHMARK(BM_CoreSortByColumn)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

// Open the dialog on the log (copy and fill), show and paint it, sort by a column, paint
// again and close: what the user waits for.
void BM_DialogFillSortClose(benchmark::State& state)
{
    const int column = static_cast<int>(state.range(0));
    for (auto _ : state) {
        CTimeLogDlg dlg(Log());
        dlg.show();
        QApplication::processEvents();
        dlg.OnSort(column);
        dlg.List()->viewport()->repaint();
        QApplication::processEvents();
        dlg.reject();
        benchmark::DoNotOptimize(dlg.RowCount());
    }
}
BENCHMARK(BM_DialogFillSortClose)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

} // namespace
