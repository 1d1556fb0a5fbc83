#pragma once

#include "app/ui/mainwindow.h"
#include "core/clock.h"
#include "core/daynumber.h"
#include "core/settingsnames.h"
#include "core/settingsstore.h"
#include "core/tablefiles.h"
#include "core/tasktable.h"
#include "support/testfiles.h"
#include "support/widgets.h"
#include "tasks/ui/tasklistwidget.h"

#include <QDir>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

// For tests of the real main window: a private home folder (settings, program folder, data sets)
// on a fixed clock, and a data set with known tasks. The test class derives from it and calls
// resetHome() in init().
class MainWindowFixture {
protected:
    QTemporaryDir m_home;
    FixedClock m_clock{QDateTime(QDate(2026, 12, 6), QTime(10, 0))}; // a Sunday

    // What the test classes' initTestCase and cleanup slots do.
    void startTests()
    {
        QVERIFY(m_home.isValid());
        Ask::setUnattended(true);
    }
    static void endCase()
    {
        Clock::setCurrent(nullptr);
        verifyPromptsAnswered();
    }

    void resetHome()
    {
        Clock::setCurrent(&m_clock);
        QDir(m_home.path()).removeRecursively();
        for (const char* folder : {"data", "config", "xdg-data"})
            QDir().mkpath(m_home.filePath(QLatin1String(folder)));
        qputenv("XDG_DATA_HOME", m_home.filePath(QStringLiteral("xdg-data")).toUtf8());
    }

    QString settingsPath() const { return m_home.filePath(QStringLiteral("config/tarnwick.ini")); }

    // A line of the task file; `due` is day number text ("100000": none).
    static QString row(const QString& complete, const QString& name, const QString& due, const QString& project,
                       const QString& priority, const QString& assignee = {}, const QString& recurrence = {},
                       const QString& alarm = {})
    {
        QStringList cells(TaskColumnCount);
        cells[colComplete] = complete;
        cells[colTaskName] = name;
        cells[colDue] = due;
        cells[colProject] = project;
        cells[colPriority] = priority;
        cells[colAssignee] = assignee;
        cells[colAlarm] = alarm;
        cells[colRecurrence] = recurrence;
        return cells.join(u'\t') + QStringLiteral("\r\n");
    }

    // A data set registered as the start-up one, without the exit confirmation, holding four tasks:
    // Pay rent (today), Old report (today, complete), Plan garden (Thursday), Someday (no due date).
    QString makeDataSet(const QString& name, const QString& extraRows = {})
    {
        using namespace Qt::Literals::StringLiterals;
        const QString folder = m_home.filePath(name);
        QDir().mkpath(folder);
        const QString today = dayNumberText(dayNumber(QDate(2026, 12, 6)));
        const QString thursday = dayNumberText(dayNumber(QDate(2026, 12, 10)));
        const QString tasks = u"300"_s + QString(10, u'\t') + u"\r\n"_s +
                              row(u"0"_s, u"Pay rent"_s, today, u"Home"_s, u"1 - High"_s, u"Ann"_s) +
                              row(u"100"_s, u"Old report"_s, today, u"Work"_s, u"2 - Medium"_s) +
                              row(u"40"_s, u"Plan garden"_s, thursday, u"Garden"_s, u"3 - Low"_s, u"Bob"_s) +
                              row(u"0"_s, u"Someday"_s, u"100000"_s, {}, {}) + extraRows;
        if (!writeTestFile(dataFilePath(folder, TableFile::Tasks), tasks.toUtf8()) ||
            !writeTestFile(dataFilePath(folder, TableFile::Projects), "Garden\r\nHome\r\nWork\r\n") ||
            !writeTestFile(TfmMain::programFolder() + u"/datasets.ini"_s, (name + u'\t' + folder + u"\r\n"_s).toUtf8()))
            qFatal("cannot write the data set %s", qPrintable(folder));
        SettingsStore settings(settingsPath());
        settings.writeString(Settings::Startup, Settings::Dataset, name);
        settings.writeBool(Settings::Confirmations, Settings::Exit, false);
        return folder;
    }

    static TSortGrid savedTasks(const QString& folder)
    {
        TSortGrid tasks;
        loadTaskTable(tasks, dataFilePath(folder, TableFile::Tasks));
        return tasks;
    }

    static bool startAndShow(TfmMain& window)
    {
        if (!window.startUp())
            return false;
        window.show();
        return QTest::qWaitForWindowExposed(&window);
    }

    // Selects the task and makes the window active again (offscreen, a closed dialog leaves no
    // active window, and shortcuts go to the active one).
    static void selectTask(TfmMain& window, const QString& name)
    {
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        const TSortGrid& mirror = window.taskView().MirrorGrid;
        for (int r = 0; r < mirror.rowCount(); ++r) {
            if (mirror.cell(r, colTaskName) == name)
                window.taskList()->selectRow(r);
        }
        QCOMPARE(mirror.cellText(window.taskView().currentRow(), colTaskName), name);
    }

    static QString countText(const TfmMain& window)
    {
        return window.findChild<QLabel*>(QStringLiteral("lblCount"))->text();
    }
};
