// What the user waits for in the real main window, on the offscreen platform: opening a data set
// until the list's first frame is painted, one check through its command and one edit through the
// editor's OK until the file is replaced and the list repainted. Beside them, the floor of the same
// change without a window (edit, serialize, atomic save, re-sort, alarm scan) in the same run.
#include "taskdata.h"

#include "alarms/alarmscheduler.h"
#include "app/ui/mainwindow.h"
#include "core/clock.h"
#include "core/settingsnames.h"
#include "core/settingsstore.h"
#include "core/tablefiles.h"
#include "core/ui/ask.h"
#include "tasks/recurrence.h"
#include "tasks/taskedit.h"
#include "tasks/tasksort.h"
#include "tasks/taskview.h"
#include "tasks/ui/tasklistwidget.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace {

// Notes each paint of a widget, so a measurement can end at the frame the user sees.
class PaintWatch final : public QObject {
public:
    bool painted = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            painted = true;
        return QObject::eventFilter(watched, event);
    }
};

// A private home with one data set of `count` generated tasks, registered as the start-up one.
class BenchHome final {
public:
    explicit BenchHome(int count)
    {
        // Before every generated due date, so that no alarm comes up in the middle of a measurement;
        // the alarm scan still runs after every change.
        Clock::setCurrent(&m_clock);
        Ask::setUnattended(true);
        for (const char* folder : {"config", "xdg-data", "runtime"})
            QDir().mkpath(m_home.filePath(QLatin1String(folder)));
        qputenv("XDG_DATA_HOME", m_home.filePath(QStringLiteral("xdg-data")).toUtf8());
        qputenv("XDG_CONFIG_HOME", m_home.filePath(QStringLiteral("config")).toUtf8());
        qputenv("XDG_RUNTIME_DIR", m_home.filePath(QStringLiteral("runtime")).toUtf8());
        m_folder = m_home.filePath(QStringLiteral("data"));
        QDir().mkpath(m_folder);
        const TSortGrid tasks = makeTaskTable(count);
        if (!saveTaskTable(tasks, dataFilePath(m_folder, TableFile::Tasks)).isEmpty())
            std::abort();
        writeFile(dataFilePath(m_folder, TableFile::Projects),
                  "Home\r\nWork\r\nGarden\r\nTax return 2026\r\nWebsite relaunch\r\n");
        writeFile(dataFilePath(m_folder, TableFile::Assignees), "Ann\r\nBob\r\nCarla Jiménez\r\nDev team\r\n");
        writeFile(TfmMain::programFolder() + QStringLiteral("/datasets.ini"),
                  (QStringLiteral("Bench\t") + m_folder + QStringLiteral("\r\n")).toUtf8());
        m_settings = std::make_unique<SettingsStore>(m_home.filePath(QStringLiteral("config/tarnwick.ini")));
        m_settings->writeString(Settings::Startup, Settings::Dataset, QStringLiteral("Bench"));
        m_settings->writeBool(Settings::Confirmations, Settings::Exit, false);
        m_settings->writeBool(Settings::Confirmations, Settings::TaskCompletion, false);
    }

    // The clock must not outlive it: the next benchmark would read a dead one.
    ~BenchHome() { Clock::setCurrent(nullptr); }
    BenchHome(const BenchHome&) = delete;
    BenchHome& operator=(const BenchHome&) = delete;

    SettingsStore& settings() { return *m_settings; }
    QString tasksPath() const { return dataFilePath(m_folder, TableFile::Tasks); }

private:
    static void writeFile(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            std::abort();
    }

    FixedClock m_clock{QDateTime(QDate(2010, 1, 4), QTime(9, 0))};
    QTemporaryDir m_home;
    QString m_folder;
    std::unique_ptr<SettingsStore> m_settings;
};

// The process's resident memory in MiB, as the system counts it.
double residentMiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return 0;
}

QWidget* listViewport(const TfmMain& window)
{
    return window.taskList()->findChild<QTableView*>(QStringLiteral("ViewGrid"))->viewport();
}

// Runs the event loop until the list has painted a frame since `watch` was last reset (a command
// may paint before it returns), and at least once: what the command left queued is handled too.
void waitForPaint(PaintWatch& watch)
{
    QElapsedTimer waited;
    waited.start();
    do {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        if (waited.elapsed() > 10000) {
            qWarning("no frame painted within 10 s");
            std::abort();
        }
    } while (!watch.painted);
}

std::unique_ptr<TfmMain> openWindow(BenchHome& home, PaintWatch& watch)
{
    auto window = std::make_unique<TfmMain>(home.settings());
    if (!window->startUp())
        std::abort();
    listViewport(*window)->installEventFilter(&watch);
    watch.painted = false;
    window->show();
    waitForPaint(watch);
    return window;
}

void BM_WindowOpen(benchmark::State& state)
{
    BenchHome home(int(state.range(0)));
    PaintWatch watch;
    for (auto _ : state) {
        auto window = openWindow(home, watch);
        state.PauseTiming();
        state.counters["rss_MiB"] = residentMiB();
        window.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
}

// What opening cannot do without: the task file read and its rows sorted by the view's keys. The
// rest of BM_WindowOpen is what the window adds before its first frame.
void BM_OpenFloor(benchmark::State& state)
{
    BenchHome home(int(state.range(0)));
    TSortGrid empty;
    const TaskView defaults(empty);
    for (auto _ : state) {
        TSortGrid tasks;
        if (!loadTaskTable(tasks, home.tasksPath()).ok())
            std::abort();
        benchmark::DoNotOptimize(SortOrderByKeys(tasks.rows(), defaults.PrimKey, defaults.PrimDir, defaults.SecKey,
                                                 defaults.SecDir, defaults.TerKey, defaults.TerDir));
    }
}

// A task that is neither recurring nor complete, so that checking and unchecking it toggles between
// two states without questions; `from` spreads the choice over the list.
void selectPlainTask(TfmMain& window, int from)
{
    const TSortGrid& mirror = window.taskView().MirrorGrid;
    for (int k = 0; k < mirror.rowCount(); ++k) {
        const int r = (from + k) % mirror.rowCount();
        if (mirror.cell(r, colRecurrence).toInt() == 0 && mirror.cell(r, colComplete) == QLatin1String("0")) {
            window.taskList()->selectRow(r);
            return;
        }
    }
    std::abort();
}

void BM_WindowCheck(benchmark::State& state)
{
    BenchHome home(int(state.range(0)));
    PaintWatch watch;
    auto window = openWindow(home, watch);
    selectPlainTask(*window, window->taskView().MirrorGrid.rowCount() / 2);
    const QDateTime before = QFileInfo(home.tasksPath()).lastModified();
    for (auto _ : state) {
        watch.painted = false;
        window->findChild<QAction*>(QStringLiteral("miComplete1"))->trigger();
        waitForPaint(watch);
    }
    if (QFileInfo(home.tasksPath()).lastModified() == before)
        state.SkipWithError("the task file was not replaced");
}

// Each round edits another task, as a user does: the editor stores it at the top of the table. The
// time runs from the editor's OK, as the user waits after it; building and filling the editor is
// the editor_open_ms counter. The editor is not shown: on the offscreen platform its closing makes
// the whole main window exposed and painted again, which a desktop's compositor does not.
void BM_WindowEdit(benchmark::State& state)
{
    BenchHome home(int(state.range(0)));
    PaintWatch watch;
    auto window = openWindow(home, watch);
    int n = 0;
    QString name;
    QElapsedTimer opening;
    qint64 openingNs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        selectPlainTask(*window, int((n * 7919LL) % window->taskView().MirrorGrid.rowCount()));
        name = QStringLiteral("Edited task %1").arg(++n);
        Ask::setNextDialogHandlers({[&](QDialog& dialog) {
            openingNs += opening.nsecsElapsed();
            // What the dialog's own event loop would have handled before the user's click.
            QCoreApplication::sendPostedEvents();
            dialog.findChild<QLineEdit*>(QStringLiteral("edittask"))->setText(name);
            state.ResumeTiming();
            dialog.findChild<QAbstractButton*>(QStringLiteral("btnOK"))->click();
        }});
        watch.painted = false;
        opening.start();
        window->findChild<QAction*>(QStringLiteral("Edittask1"))->trigger();
        waitForPaint(watch);
    }
    state.counters["editor_open_ms"] = double(openingNs) / 1e6 / double(std::max<qint64>(1, n));
    state.counters["rss_MiB"] = residentMiB();
    if (Ask::pending() || window->taskView().MirrorGrid.cell(window->taskView().currentRow(), colTaskName) != name)
        state.SkipWithError("the edit did not arrive");
}

// The least the same changes cost without a window: the check or the editor's store step, the
// table saved atomically, the view rebuilt (an edit moves its task to the top of the table, so its
// view is sorted afresh) and the next alarm looked for.
void changeFloor(benchmark::State& state, bool edit)
{
    TSortGrid tasks = makeTaskTable(int(state.range(0)));
    TaskView view(tasks);
    view.RebuildView(false);
    QTemporaryDir dir;
    const SettingsStore settings(dir.filePath(QStringLiteral("tarnwick.ini")));
    AlarmScheduler alarms(tasks, settings);
    const QString path = dir.filePath(QStringLiteral("tasks.twk"));
    int n = 0;
    for (auto _ : state) {
        const int row = int((++n * 7919LL) % tasks.rowCount());
        if (edit) {
            TaskEditValues values = taskValuesFromRow(tasks, row, QDate(2026, 12, 6));
            values.name = QStringLiteral("Edited task %1").arg(n);
            storeTask(tasks, values, row);
        } else {
            applyCheck(tasks, row, checkStepFor(tasks, row), false);
        }
        if (!saveTaskTable(tasks, path).isEmpty())
            std::abort();
        view.RebuildView(false);
        benchmark::DoNotOptimize(alarms.ScheduleNextAlarm());
    }
}

void BM_CheckFloor(benchmark::State& state)
{
    changeFloor(state, false);
}

void BM_EditFloor(benchmark::State& state)
{
    changeFloor(state, true);
}

} // namespace

BENCHMARK(BM_WindowOpen)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_OpenFloor)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WindowCheck)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WindowEdit)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_CheckFloor)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EditFloor)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
