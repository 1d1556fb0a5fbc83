// RebuildView on task tables of growing size under the default 3-level sort and under a header
// sort, and the whole path of one task change: save the task file, rebuild the view.
#include "taskdata.h"

#include "core/tablefiles.h"
#include "tasks/taskview.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

void configure(TaskView& view, bool advanced)
{
    view.AdvancedSort = advanced;
    view.PrimKey = 3; // project
    view.SecKey = 4;  // priority
    view.TerKey = 2;  // due date
    view.SortColumn = 1;
}

void BM_RebuildView3Level(benchmark::State& state)
{
    TSortGrid tasks = makeTaskTable(int(state.range(0)));
    TaskView view(tasks);
    configure(view, true);
    for (auto _ : state)
        benchmark::DoNotOptimize(view.RebuildView(false).taskCount);
}

void BM_RebuildViewHeaderSort(benchmark::State& state)
{
    TSortGrid tasks = makeTaskTable(int(state.range(0)));
    TaskView view(tasks);
    configure(view, false);
    for (auto _ : state)
        benchmark::DoNotOptimize(view.RebuildView(false).taskCount);
}

// One edit: the task becomes row 0, the file is saved, the view rebuilt with the task on top.
void BM_OneTaskChange(benchmark::State& state)
{
    TSortGrid tasks = makeTaskTable(int(state.range(0)));
    TaskView view(tasks);
    configure(view, true);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("tasks.twk"));
    int n = 0;
    for (auto _ : state) {
        tasks.MoveRow(tasks.rowCount() - 1, 0);
        tasks.setCell(0, colTaskName, QStringLiteral("Edited %1").arg(++n));
        if (!saveTaskTable(tasks, path).isEmpty())
            std::abort();
        benchmark::DoNotOptimize(view.RebuildView(true).taskCount);
    }
}

} // namespace

BENCHMARK(BM_RebuildView3Level)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RebuildViewHeaderSort)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OneTaskChange)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

