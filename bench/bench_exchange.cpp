// Export and import of a large task table in every format: building the rows, writing the bytes,
// reading them back and running the import step.
#include "taskdata.h"

#include "exchange/delimitedtext.h"
#include "exchange/exportgrid.h"
#include "exchange/icalendar.h"
#include "exchange/importstep.h"

#include <QDateTime>

#include <benchmark/benchmark.h>

namespace {

const TSortGrid& tasks(int count)
{
    static std::map<int, TSortGrid> grids;
    auto it = grids.find(count);
    if (it == grids.end())
        it = grids.emplace(count, makeTaskTable(count)).first;
    return it->second;
}

void BM_ExportDelimited(benchmark::State& state)
{
    const TSortGrid& view = tasks(int(state.range(1)));
    const auto format = ExchangeFormat(state.range(0));
    for (auto _ : state) {
        const QByteArray bytes = delimitedBytes(buildExportGrid(view, exportCaptions()), format);
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetLabel(formatName(format).toStdString());
}
BENCHMARK(BM_ExportDelimited)->ArgsProduct({{0, 1, 2}, {100000}})->Unit(benchmark::kMillisecond);

void BM_ExportICalendar(benchmark::State& state)
{
    const TSortGrid& view = tasks(int(state.range(0)));
    const QDateTime now = QDateTime::currentDateTimeUtc();
    for (auto _ : state) {
        const QByteArray bytes = icalendarTasksBytes(view, now);
        benchmark::DoNotOptimize(bytes.data());
    }
}
BENCHMARK(BM_ExportICalendar)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_ImportDelimited(benchmark::State& state)
{
    const auto format = ExchangeFormat(state.range(0));
    const QByteArray bytes = delimitedBytes(buildExportGrid(tasks(int(state.range(1))), exportCaptions()), format);
    const QString text = QString::fromUtf8(bytes);
    ImportPairs pairs{0, 1, 2, 3, 4, 7, 6, 5};
    for (auto _ : state) {
        TSortGrid grid;
        if (format == ExchangeFormat::Csv)
            parseCsv(text, grid);
        else
            grid.LoadFromText(text, delimiterOf(format));
        TSortGrid main(TaskColumnCount, 1);
        benchmark::DoNotOptimize(ImportTasks(main, grid, pairs, 1));
    }
    state.SetLabel(formatName(format).toStdString());
}
BENCHMARK(BM_ImportDelimited)->ArgsProduct({{0, 1, 2}, {100000}})->Unit(benchmark::kMillisecond);

void BM_ImportICalendar(benchmark::State& state)
{
    const QByteArray bytes = icalendarTasksBytes(tasks(int(state.range(0))), QDateTime::currentDateTimeUtc());
    for (auto _ : state) {
        ICalendarTasks read;
        parseICalendarTasks(bytes, &read);
        TSortGrid main(TaskColumnCount, 1);
        insertImportedRows(main, read.rows);
        benchmark::DoNotOptimize(main.rowCount());
    }
}
BENCHMARK(BM_ImportICalendar)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace
