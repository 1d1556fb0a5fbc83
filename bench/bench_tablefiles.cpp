// Load and save of the task file next to their floor on the same bytes: reading the file and
// splitting it into fields without a grid, and writing the same bytes through the same writer.
#include "taskdata.h"

#include "core/atomicfile.h"
#include "core/tablefiles.h"
#include "core/textcodec.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

struct Fixture {
    QTemporaryDir dir;
    QString path;
    QByteArray bytes;
};

Fixture& fixture(int count)
{
    static std::map<int, Fixture> fixtures;
    Fixture& f = fixtures[count];
    if (f.path.isEmpty()) {
        f.path = f.dir.filePath(QStringLiteral("tasks.twk"));
        if (!saveTaskTable(makeTaskTable(count), f.path).isEmpty())
            std::abort();
        QFile file(f.path);
        if (!file.open(QIODevice::ReadOnly))
            std::abort();
        f.bytes = file.readAll();
    }
    return f;
}

void BM_LoadTasks(benchmark::State& state)
{
    Fixture& f = fixture(int(state.range(0)));
    for (auto _ : state) {
        TSortGrid tasks;
        const TableLoadResult result = loadTaskTable(tasks, f.path);
        benchmark::DoNotOptimize(result.marker);
        benchmark::DoNotOptimize(tasks.rowCount());
    }
    state.SetBytesProcessed(state.iterations() * f.bytes.size());
}

void BM_LoadFloor(benchmark::State& state)
{
    Fixture& f = fixture(int(state.range(0)));
    for (auto _ : state) {
        QFile file(f.path);
        if (!file.open(QIODevice::ReadOnly))
            std::abort();
        const QString text = decodeText(file.readAll());
        qsizetype fields = 0;
        for (const QStringView line : QStringView(text).tokenize(u"\r\n", Qt::SkipEmptyParts)) {
            for (const QStringView field : line.tokenize(u'\t'))
                fields += field.size() >= 0;
        }
        benchmark::DoNotOptimize(fields);
    }
    state.SetBytesProcessed(state.iterations() * f.bytes.size());
}

void BM_SaveTasks(benchmark::State& state)
{
    Fixture& f = fixture(int(state.range(0)));
    TSortGrid tasks;
    loadTaskTable(tasks, f.path);
    const QString out = f.dir.filePath(QStringLiteral("saved.twk"));
    for (auto _ : state) {
        if (!saveTaskTable(tasks, out).isEmpty())
            std::abort();
    }
    state.SetBytesProcessed(state.iterations() * f.bytes.size());
}

void BM_SaveFloor(benchmark::State& state)
{
    Fixture& f = fixture(int(state.range(0)));
    const QString out = f.dir.filePath(QStringLiteral("floor.twk"));
    for (auto _ : state) {
        if (!writeFileAtomically(out, f.bytes).isEmpty())
            std::abort();
    }
    state.SetBytesProcessed(state.iterations() * f.bytes.size());
}

} // namespace

BENCHMARK(BM_LoadTasks)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadFloor)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveTasks)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveFloor)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

