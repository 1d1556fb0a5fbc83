#include "app/ui/mainwindow.h"
#include "core/applanguage.h"
#include "core/clock.h"
#include "core/datasetlock.h"
#include "core/daynumber.h"
#include "core/settingsnames.h"
#include "core/settingsstore.h"
#include "core/tablefiles.h"
#include "core/tasktable.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace Qt::Literals::StringLiterals;

// Drives the real main window offscreen with private configuration and data folders.
class TestMainWindow : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_home;
    FixedClock m_clock{QDateTime(QDate(2026, 12, 6), QTime(10, 0))}; // a Sunday

    QString settingsPath() const { return m_home.filePath(u"config/tarnwick.ini"_s); }

    // Answers the next modal window (message box or dialog) with `answer` once it shows.
    static void answerNextModal(std::function<void(QWidget*)> answer, int attempts = 100)
    {
        QTimer::singleShot(20, [answer, attempts] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal) {
                if (attempts > 0)
                    answerNextModal(answer, attempts - 1);
                return;
            }
            answer(modal);
        });
    }

    static void writeFile(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }

    static QString row(const QString& complete, const QString& name, const QString& due, const QString& project,
                       const QString& priority, const QString& assignee = {})
    {
        QStringList cells(TaskColumnCount);
        cells[colComplete] = complete;
        cells[colTaskName] = name;
        cells[colDue] = due;
        cells[colProject] = project;
        cells[colPriority] = priority;
        cells[colAssignee] = assignee;
        return cells.join(u'\t') + u"\r\n"_s;
    }

    // A data set with a known list of tasks, registered as the start-up data set.
    QString makeDataSet(const QString& name)
    {
        const QString folder = m_home.filePath(name);
        QDir().mkpath(folder);
        const QString today = dayNumberText(dayNumber(QDate(2026, 12, 6)));
        const QString nextWeek = dayNumberText(dayNumber(QDate(2026, 12, 10)));
        QString tasks = u"300"_s + QString(10, u'\t') + u"\r\n"_s;
        tasks += row(u"0"_s, u"Pay rent"_s, today, u"Home"_s, u"1 - High"_s, u"Ann"_s);
        tasks += row(u"100"_s, u"Old report"_s, today, u"Work"_s, u"2 - Medium"_s);
        tasks += row(u"40"_s, u"Plan garden"_s, nextWeek, u"Garden"_s, u"3 - Low"_s, u"Bob"_s);
        tasks += row(u"0"_s, u"Someday"_s, u"100000"_s, QString(), QString());
        writeFile(dataFilePath(folder, TableFile::Tasks), tasks.toUtf8());
        writeFile(dataFilePath(folder, TableFile::Projects), "Garden\r\nHome\r\nWork\r\n");
        writeFile(TfmMain::programFolder() + u"/datasets.ini"_s, (name + u'\t' + folder + u"\r\n"_s).toUtf8());
        SettingsStore settings(settingsPath());
        settings.writeString(Settings::Startup, Settings::Dataset, name);
        settings.writeBool(Settings::Confirmations, Settings::Exit, false);
        return folder;
    }

    QString countText(TfmMain& window) { return window.findChild<QLabel*>(u"lblCount"_s)->text(); }

private Q_SLOTS:
    void init()
    {
        Clock::setCurrent(&m_clock);
        QVERIFY(m_home.isValid());
        QDir(m_home.path()).removeRecursively();
        QDir().mkpath(m_home.filePath(u"data"_s));
        QDir().mkpath(m_home.filePath(u"config"_s));
        qputenv("XDG_DATA_HOME", m_home.filePath(u"xdg-data"_s).toUtf8());
        QVERIFY(QDir().mkpath(m_home.filePath(u"xdg-data"_s)));
    }

    void cleanup() { Clock::setCurrent(nullptr); }

    void startUp_withoutDataSetList_opensDefaultDataSetAndCreatesFiles()
    {
        SettingsStore settings(settingsPath());
        TfmMain window(settings);
        QVERIFY(window.startUp());
        const QString folder = window.dataSet().folder();
        QVERIFY(QFile::exists(dataFilePath(folder, TableFile::Tasks)));
        QVERIFY(QFile::exists(dataFilePath(folder, TableFile::TaskLog)));
        QCOMPARE(window.windowTitle(), LanguageString(821) + u" - Tarnwick PRO"_s);
        QCOMPARE(countText(window), LanguageString(809) + u"0"_s);
        QVERIFY(QFile::exists(TfmMain::programFolder() + u"/datasets.ini"_s));
    }

    void filterMenus_byShortcut_changeCountAndLamp()
    {
        makeDataSet(u"Home set"_s);
        SettingsStore settings(settingsPath());
        TfmMain window(settings);
        QVERIFY(window.startUp());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(countText(window), LanguageString(809) + u"4"_s);

        QTest::keyClick(&window, Qt::Key_1, Qt::ControlModifier); // Today: overdue and today
        QCOMPARE(countText(window), LanguageString(809) + u"2"_s);
        QVERIFY(window.taskView().isFiltered());
        QTest::keyClick(&window, Qt::Key_F5, Qt::ControlModifier); // hide completed
        QCOMPARE(countText(window), LanguageString(809) + u"1"_s);
        QTest::keyClick(&window, Qt::Key_F8, Qt::ControlModifier); // no due date
        QCOMPARE(countText(window), LanguageString(809) + u"1"_s);
        QCOMPARE(window.taskView().MirrorGrid.cellText(0, colTaskName), u"Someday"_s);
        QTest::keyClick(&window, Qt::Key_Escape);
        QCOMPARE(countText(window), LanguageString(809) + u"3"_s);
        QVERIFY(!window.taskView().isFiltered());

        // The project menu lists the projects of the data set.
        QAction* home = nullptr;
        for (QAction* a : window.findChild<QMenu*>(u"Project1"_s)->actions()) {
            if (a->text() == u"Home"_s)
                home = a;
        }
        QVERIFY(home);
        home->trigger();
        QCOMPARE(countText(window), LanguageString(809) + u"1"_s);
        QCOMPARE(window.findChild<QLabel*>(u"lblProject"_s)->text(), u"Home"_s);
    }

    void exit_writesSettingsAndTasksAndKeepsFilter()
    {
        const QString folder = makeDataSet(u"Home set"_s);
        {
            SettingsStore settings(settingsPath());
            TfmMain window(settings);
            QVERIFY(window.startUp());
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            QTest::keyClick(&window, Qt::Key_2, Qt::ControlModifier); // Tomorrow
            window.resize(700, 500);
            QVERIFY(window.close());
        }
        SettingsStore settings(settingsPath());
        QCOMPARE(settings.readInteger(Settings::Filter, Settings::Date, -1), 3);
        QCOMPARE(settings.readInteger(Settings::Size, Settings::Width, 0), 700);
        QVERIFY(QFile::exists(dataFilePath(folder, TableFile::Diary)));
        TSortGrid tasks;
        QVERIFY(loadTaskTable(tasks, dataFilePath(folder, TableFile::Tasks)).ok());
        QCOMPARE(tasks.rowCount(), 4);
        // The lock is released: another process may open the data set now.
        DataSetLock lock;
        QCOMPARE(lock.acquire(folder), DataSetLock::Result::Locked);
    }

    void startUp_lockedDataSet_showsErrorThenManager()
    {
        const QString folder = makeDataSet(u"Home set"_s);
        DataSetLock other;
        QCOMPARE(other.acquire(folder), DataSetLock::Result::Locked);
        SettingsStore settings(settingsPath());
        TfmMain window(settings);
        QString message;
        answerNextModal([&message](QWidget* box) {
            message = static_cast<QMessageBox*>(box)->text();
            static_cast<QMessageBox*>(box)->accept();
            // Then the data set manager: leave it with Exit.
            answerNextModal([](QWidget* manager) { static_cast<QDialog*>(manager)->reject(); });
        });
        QVERIFY(!window.startUp());
        QVERIFY(message.startsWith(LanguageString(190)));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
