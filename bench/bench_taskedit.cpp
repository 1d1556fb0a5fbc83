// One task added through the editor's store step at growing table sizes, end to end: the new row
// stored at the top, the task file saved, the view rebuilt with the task on top and selected.
#include "taskdata.h"

#include "core/tablefiles.h"
#include "tasks/taskedit.h"
#include "tasks/taskview.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

void BM_AddTask(benchmark::State& state)
{
    TSortGrid tasks = makeTaskTable(int(state.range(0)));
    TaskView view(tasks);
    view.RebuildView(false);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("tasks.twk"));
    TaskEditValues values;
    values.priority = priorityTexts().value(2);
    values.project = QStringLiteral("Home");
    values.hasDue = true;
    values.date = QDate(2026, 12, 7);
    values.time = QTime(9, 30);
    values.notes = QStringLiteral("Bring the signed copy.");
    int n = 0;
    for (auto _ : state) {
        values.name = QStringLiteral("New task %1").arg(++n);
        const StoredTask stored = storeTask(tasks, values, -1);
        if (!saveTaskTable(tasks, path).isEmpty())
            std::abort();
        view.RebuildView(true);
        view.setCurrentRow(storedTaskRow(view.MirrorGrid, stored));
        benchmark::DoNotOptimize(view.currentRow());
        state.PauseTiming();
        tasks.DeleteRow(0); // keep the table at its size
        state.ResumeTiming();
    }
}

} // namespace

BENCHMARK(BM_AddTask)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
