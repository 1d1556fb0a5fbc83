// Find over 100,000 tasks of the view, 100,000 log entries and ten years of diary, as the find
// window runs it: it reads the three tables in place, so it has to stay under 100 ms.
#include "taskdata.h"

#include "core/clock.h"
#include "core/tablefiles.h"
#include "tasks/find.h"

#include <QLocale>

#include <benchmark/benchmark.h>

namespace {

struct FindData {
    TSortGrid tasks = makeTaskTable(100000);
    TSortGrid log{TaskLogColumnCount, 1};
    TSortGrid diary{DiaryColumnCount, 1};
    QDate today{2027, 12, 31};

    FindData()
    {
        // The log: the same kind of tasks, each moved on a day of the last five years.
        const TSortGrid moved = makeTaskTable(100000);
        log.setRowCount(moved.rowCount() + 1);
        for (int r = 0; r < moved.rowCount(); ++r)
            log.setRow(r + 1,
                       {moved.cellText(r, colTaskName), moved.cellText(r, colDue), moved.cellText(r, colProject),
                        moved.cellText(r, colPriority), dayNumberText(dayNumber(today.addDays(-(r % 1826)))),
                        moved.cellText(r, colNotes), moved.cellText(r, colAttachment), moved.cellText(r, colAssignee)});
        const QDate first = today.addYears(-10);
        diary.setRowCount(int(first.daysTo(today)) + 1);
        for (int r = 0; r < diary.rowCount(); ++r) {
            const QDate day = first.addDays(r);
            diary.setRow(r, {QString::number(day.year()), QString::number(day.month()), QString::number(day.day()),
                             EncodeNotes({QStringLiteral("Met the supplier about the draft plan."),
                                          QStringLiteral("Weather: Überwiegend sonnig, später Regen.")})});
        }
    }
};

const FindData& data()
{
    static const FindData shared;
    return shared;
}

void runFind(benchmark::State& state, Find::Parameters p)
{
    const FindData& d = data();
    const QLocale locale(QLocale::German, QLocale::Germany);
    qsizetype hits = 0;
    for (auto _ : state) {
        hits = Find::search(p, {&d.tasks, &d.log, &d.diary}, d.today, locale).size();
        benchmark::DoNotOptimize(hits);
    }
    state.counters["hits"] = double(hits);
}

void BM_FindAnyCase(benchmark::State& state)
{
    Find::Parameters p;
    p.text = QStringLiteral("supplier");
    runFind(state, p);
}

void BM_FindAnyCaseUmlaut(benchmark::State& state)
{
    Find::Parameters p;
    p.text = QStringLiteral("überwiegend");
    runFind(state, p);
}

void BM_FindExactCase(benchmark::State& state)
{
    Find::Parameters p;
    p.text = QStringLiteral("supplier");
    p.caseSensitive = true;
    runFind(state, p);
}

void BM_FindLastFourWeeks(benchmark::State& state)
{
    Find::Parameters p;
    p.text = QStringLiteral("review");
    p.dateMode = Find::DateMode::LastWeeks;
    p.weeks = 4;
    runFind(state, p);
}

} // namespace

BENCHMARK(BM_FindAnyCase)->Unit(benchmark::kMillisecond)->Repetitions(5)->DisplayAggregatesOnly(true);
BENCHMARK(BM_FindAnyCaseUmlaut)->Unit(benchmark::kMillisecond)->Repetitions(5)->DisplayAggregatesOnly(true);
BENCHMARK(BM_FindExactCase)->Unit(benchmark::kMillisecond)->Repetitions(5)->DisplayAggregatesOnly(true);
BENCHMARK(BM_FindLastFourWeeks)->Unit(benchmark::kMillisecond)->Repetitions(5)->DisplayAggregatesOnly(true);
