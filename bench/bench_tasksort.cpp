// The two task-view sorts on realistic task tables: the default 3-level sort (project, priority,
// due day, all ascending) and the header sort by task name.
#include "taskdata.h"

#include "tasks/tasksort.h"


#include <benchmark/benchmark.h>

#include <map>

namespace {

const TSortGrid& table(int count)
{
    static std::map<int, TSortGrid> tables;
    auto it = tables.find(count);
    if (it == tables.end())
        it = tables.emplace(count, makeTaskTable(count)).first;
    return it->second;
}

void BM_SortByKeys(benchmark::State& state)
{
    const TSortGrid& source = table(int(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        TSortGrid grid = source;
        state.ResumeTiming();
        SortByKeys(grid, sortProject, true, sortPriority, true, sortDue, true);
        benchmark::DoNotOptimize(grid.rowText(0));
    }
}

void BM_SortByColumn(benchmark::State& state)
{
    const TSortGrid& source = table(int(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        TSortGrid grid = source;
        state.ResumeTiming();
        SortByColumn(grid, sortTaskName, true);
        benchmark::DoNotOptimize(grid.rowText(0));
    }
}

} // namespace

BENCHMARK(BM_SortByKeys)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortByColumn)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

