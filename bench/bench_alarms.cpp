// ScheduleNextAlarm over task tables of growing size: it scans the whole table after most user
// actions, so it has to stay far below what the user could notice (5 ms at 100,000 tasks).
#include "taskdata.h"

#include "alarms/alarmscheduler.h"
#include "core/clock.h"
#include "core/settingsstore.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

void BM_ScheduleNextAlarm(benchmark::State& state)
{
    const TSortGrid tasks = makeTaskTable(int(state.range(0)));
    QTemporaryDir dir;
    const SettingsStore settings(dir.filePath(QStringLiteral("tarnwick.ini")));
    // Before every due date of the table, so the earliest alarm is armed rather than overdue.
    const FixedClock clock(QDateTime(QDate(2025, 12, 31), QTime(12, 0)));
    Clock::setCurrent(&clock);
    AlarmScheduler scheduler(tasks, settings);
    for (auto _ : state)
        benchmark::DoNotOptimize(scheduler.ScheduleNextAlarm());
    state.counters["row"] = scheduler.Tag();
    Clock::setCurrent(nullptr);
}

// The 450 ms clock check between two schedulings.
void BM_AlarmTick(benchmark::State& state)
{
    const TSortGrid tasks = makeTaskTable(1000);
    QTemporaryDir dir;
    const SettingsStore settings(dir.filePath(QStringLiteral("tarnwick.ini")));
    AlarmScheduler scheduler(tasks, settings);
    const QDateTime now(QDate(2025, 12, 31), QTime(12, 0));
    scheduler.ScheduleNextAlarm(now);
    for (auto _ : state)
        benchmark::DoNotOptimize(scheduler.tick(now));
}

} // namespace

BENCHMARK(BM_ScheduleNextAlarm)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AlarmTick);
