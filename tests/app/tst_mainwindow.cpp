#include "app/terminationwatch.h"
#include "app/ui/mainwindow.h"
#include "core/applanguage.h"
#include "core/atomicfile.h"
#include "core/datasetlock.h"
#include "core/languagefile.h"
#include "core/languagesource.h"
#include "support/mainwindow.h"
#include "support/widgets.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusTipEvent>
#include <QTableView>
#include <QWindow>

#include <cerrno>
#include <csignal>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

// Drives the real main window offscreen with private configuration and data folders.
class TestMainWindow : public QObject, MainWindowFixture {
    Q_OBJECT

private:
    // A task of today whose alarm rings `lead` minutes (" 15=0") before it is due.
    static QString teamCall(QTime due, const QString& lead)
    {
        return row(u"0"_s, u"Team call"_s, dayNumberText(dayNumber(QDateTime(QDate(2026, 12, 6), due))), u"Work"_s,
                   u"1 - High"_s, {}, {}, lead);
    }

    static void click(QWidget& window, QAnyStringView button) { childNamed<QPushButton>(&window, button)->click(); }

private Q_SLOTS:
    void initTestCase() { startTests(); }
    void init() { resetHome(); }
    void cleanup() { endCase(); }

    void startUp_withoutDataSetList_opensDefaultDataSetAndCreatesFiles()
    {
        SettingsStore settings(settingsPath());
        QString folder;
        {
            TfmMain window(settings);
            QVERIFY(window.startUp());
            folder = window.dataSet().folder();
            QVERIFY(QFile::exists(dataFilePath(folder, TableFile::Tasks)));
            QVERIFY(QFile::exists(dataFilePath(folder, TableFile::TaskLog)));
            QCOMPARE(window.windowTitle(), LanguageString(821) + u" - Tarnwick PRO"_s);
            QCOMPARE(countText(window), LanguageString(809) + u"0"_s);
            QVERIFY(QFile::exists(TfmMain::programFolder() + u"/datasets.ini"_s));
        }
        // A data set is private.
        QCOMPARE(fileMode(folder), 0700u);
        QCOMPARE(fileMode(dataFilePath(folder, TableFile::Tasks)), 0600u);
        // It is the start-up choice, so the next start opens it again without the manager.
        QCOMPARE(settings.readString(Settings::Startup, Settings::Dataset), LanguageString(821));
        TfmMain second(settings);
        QVERIFY(second.startUp());
        QCOMPARE(Ask::takeAsked(), QStringList());
        QCOMPARE(second.dataSet().folder(), folder);
    }

    void startUp_calendarFollowsTheFirstFrame_orTheFirstTurnWhenNotShown()
    {
        makeDataSet(u"Home set"_s);
        SettingsStore settings(settingsPath());
        const auto dayInfoHasRent = [](const TfmMain& window) {
            return !childNamed<QListWidget>(&window, u"lbSpecial")
                        ->findItems(u"Pay rent"_s, Qt::MatchContains)
                        .isEmpty();
        };
        TfmMain shown(settings);
        QVERIFY(startAndShow(shown));
        QTRY_VERIFY(dayInfoHasRent(shown));
        shown.close();
        TfmMain hidden(settings);
        QVERIFY(hidden.startUp());
        QTRY_VERIFY(dayInfoHasRent(hidden));
    }

    void filterMenus_byShortcut_changeCountAndLamp()
    {
        makeDataSet(u"Home set"_s);
        SettingsStore settings(settingsPath());
        TfmMain window(settings);
        QVERIFY(startAndShow(window));
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
            QVERIFY(startAndShow(window));
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

    void taskCommands_addEditDelete_storeAndSave()
    {
        const QString folder = makeDataSet(u"Home set"_s);
        SettingsStore settings(settingsPath());
        TfmMain window(settings);
        QVERIFY(startAndShow(window));

        Ask::setNextDialogHandlers({asModal([](QDialog& editor) {
            QTest::keyClicks(childNamed<QLineEdit>(&editor, u"edittask"), u"Buy milk"_s);
            click(editor, u"btnOK");
        })});
        QTest::keyClick(&window, Qt::Key_Insert);
        QCOMPARE(window.dataSet().MainGrid.cellText(0, colTaskName), u"Buy milk"_s);
        QCOMPARE(savedTasks(folder).cellText(0, colTaskName), u"Buy milk"_s);
        QCOMPARE(countText(window), LanguageString(809) + u"5"_s);
        QVERIFY(!window.ModalBusy);

        // Edit a task that is not on top: it becomes the table's first row and stays selected.
        selectTask(window, u"Plan garden"_s);
        Ask::setNextDialogHandlers({asModal([](QDialog& editor) {
            auto* name = childNamed<QLineEdit>(&editor, u"edittask");
            QCOMPARE(name->text(), u"Plan garden"_s);
            name->setText(u"Plan the garden"_s);
            click(editor, u"btnOK");
        })});
        QTest::keyClick(&window, Qt::Key_F2);
        QCOMPARE(window.dataSet().MainGrid.cellText(0, colTaskName), u"Plan the garden"_s);
        QCOMPARE(window.dataSet().MainGrid.cellText(0, colAssignee), u"Bob"_s);
        QCOMPARE(window.taskView().MirrorGrid.cellText(window.taskView().currentRow(), colTaskName),
                 u"Plan the garden"_s);
        QCOMPARE(savedTasks(folder).rowCount(), 5);

        // Delete asks first; No keeps the task, Yes removes it from the table and the file.
        const auto deleteSelected = [&] { QTest::keyClick(&window, Qt::Key_Delete, Qt::ControlModifier); };
        selectTask(window, u"Pay rent"_s);
        const QString question = LanguageString(235) + u"\r\n"_s + LanguageString(236);
        QCOMPARE(promptsAnswered({QMessageBox::No}, deleteSelected).last(), question);
        QCOMPARE(window.dataSet().MainGrid.rowCount(), 5);
        selectTask(window, u"Pay rent"_s);
        QCOMPARE(promptsAnswered({QMessageBox::Yes}, deleteSelected), QStringList{question});
        const TSortGrid saved = savedTasks(folder);
        QCOMPARE(saved.rowCount(), 4);
        for (int r = 0; r < saved.rowCount(); ++r)
            QVERIFY(saved.cell(r, colTaskName) != u"Pay rent");

        // A file that cannot be replaced is reported; the change stays in memory and the next
        // change saves both.
        const QString tasksFile = dataFilePath(folder, TableFile::Tasks);
        QVERIFY(QFile::remove(tasksFile) && QDir().mkdir(tasksFile));
        selectTask(window, u"Someday"_s);
        const auto check = [&] { QTest::keyClick(&window, Qt::Key_Space, Qt::ControlModifier); };
        const QStringList shown = promptsAnswered({QMessageBox::Yes, QMessageBox::Ok}, check);
        QCOMPARE(shown.size(), 2);
        QVERIFY2(shown[1].startsWith(u"Cannot write"_s) && shown[1].contains(QDir::toNativeSeparators(tasksFile)),
                 qPrintable(shown[1]));
        QVERIFY(QDir().rmdir(tasksFile));
        selectTask(window, u"Plan the garden"_s);
        QCOMPARE(promptsAnswered({QMessageBox::Yes}, check).size(), 1);
        const TSortGrid again = savedTasks(folder);
        QCOMPARE(again.rowCount(), 4);
        for (int r = 0; r < again.rowCount(); ++r) {
            if (again.cell(r, colTaskName) == u"Someday" || again.cell(r, colTaskName) == u"Plan the garden")
                QCOMPARE(again.cell(r, colComplete), u"100"_s);
        }
    }

    void checkCommand_recurringTask_addsNextOccurrenceAndUnchecksToZero()
    {
        // Daily, due yesterday at 09:00: today 09:00 is past at 10:00, so the copy is due tomorrow.
        const QString yesterday = dayNumberText(dayNumber(QDateTime(QDate(2026, 12, 5), QTime(9, 0))));
        const QString folder = makeDataSet(
            u"Home set"_s, row(u"30"_s, u"Water plants"_s, yesterday, u"Home"_s, u"2 - Medium"_s, {}, u"1"_s));
        SettingsStore settings(settingsPath());
        TfmMain window(settings);
        QVERIFY(startAndShow(window));

        selectTask(window, u"Water plants"_s);
        QCOMPARE(promptsAnswered({QMessageBox::Yes, QMessageBox::Yes},
                                 [&] { QTest::keyClick(&window, Qt::Key_Space, Qt::ControlModifier); }),
                 (QStringList{u"Are you sure you want to complete the task?"_s,
                              u"Would you like to schedule this task to be performed in the next time period?"_s}));
        const TSortGrid& tasks = window.dataSet().MainGrid;
        QCOMPARE(tasks.rowCount(), 6);
        QCOMPARE(tasks.cellText(0, colTaskName), u"Water plants"_s);
        QCOMPARE(tasks.cellText(0, colComplete), u"30"_s);
        QCOMPARE(dateTimeOfDayNumber(dueDayNumber(tasks.cell(0, colDue))), QDateTime(QDate(2026, 12, 7), QTime(9, 0)));
        QCOMPARE(tasks.cellText(5, colComplete), u"100"_s);
        QCOMPARE(tasks.cellText(5, colDue), yesterday);
        QCOMPARE(savedTasks(folder).rowCount(), 6);

        // Unchecking asks nothing and writes 0, not the earlier 30.
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        for (int r = 0; r < window.taskView().MirrorGrid.rowCount(); ++r) {
            if (window.taskView().MirrorGrid.cell(r, colComplete) == u"100" &&
                window.taskView().MirrorGrid.cell(r, colTaskName) == u"Water plants")
                window.taskList()->selectRow(r);
        }
        QTest::keyClick(&window, Qt::Key_Space, Qt::ControlModifier);
        QCOMPARE(tasks.cellText(5, colComplete), u"0"_s);
    }

    void filterDialog_dontCareAndMask_setsFiltersAndClearsMenuMarks()
    {
        makeDataSet(u"Home set"_s);
        QVERIFY(writeTestFile(dataFilePath(m_home.filePath(u"Home set"_s), TableFile::Assignees),
                              "Ann\r\nAnnette\r\nBob\r\n"));
        SettingsStore settings(settingsPath());
        TfmMain window(settings);
        QVERIFY(startAndShow(window));

        Ask::setNextDialogHandlers({asModal([](QDialog& dialog) {
            childNamed<QCheckBox>(&dialog, u"cbProject")->click();
            auto* mask = childNamed<QLineEdit>(&dialog, u"edMaskAssignee");
            QTest::keyClicks(mask, u"an*"_s);
            QTest::keyClick(mask, Qt::Key_Return);
            click(dialog, u"btnOK");
        })});
        QTest::keyClick(&window, Qt::Key_F7);
        QCOMPARE(window.taskView().ProjectFilter, QStringList());
        QCOMPARE(window.taskView().AssigneeFilter, QStringList({u"Ann"_s, u"Annette"_s}));
        QCOMPARE(countText(window), LanguageString(809) + u"1"_s);
        for (const QString& menu : {u"Project1"_s, u"Assign1"_s}) {
            for (QAction* a : childNamed<QMenu>(&window, menu)->actions())
                QVERIFY2(!a->isChecked(), qPrintable(a->text()));
        }
    }

    void notesPreview_editedThenLeft_storesNotesInTask()
    {
        const QString folder = makeDataSet(u"Home set"_s);
        SettingsStore settings(settingsPath());
        TfmMain window(settings);
        QVERIFY(startAndShow(window));
        selectTask(window, u"Someday"_s);
        auto* memo = childNamed<QPlainTextEdit>(&window, u"memoPreview");
        memo->setFocus();
        QTest::keyClicks(memo, u"first line"_s);
        QTest::keyClick(memo, Qt::Key_Return);
        QTest::keyClicks(memo, u"second"_s);
        window.taskList()->viewGrid()->setFocus(); // leaving the pane stores the notes
        int row = -1;
        for (int r = 0; r < window.dataSet().MainGrid.rowCount(); ++r) {
            if (window.dataSet().MainGrid.cell(r, colTaskName) == u"Someday")
                row = r;
        }
        QCOMPARE(window.dataSet().MainGrid.cellText(row, colNotes), u"first line\x1b"
                                                                    "second\x1b"_s);
        QVERIFY(window.close());
        QCOMPARE(savedTasks(folder).cellText(row, colNotes), u"first line\x1b"
                                                             "second\x1b"_s);
    }

    void alarm_overdueAtOpening_showsDialogAndDisableClearsIt()
    {
        // Due at 10:10 with a 15-minute lead: the alarm moment 09:55 has passed at 10:00.
        const QString folder = makeDataSet(u"Home set"_s, teamCall(QTime(10, 10), u" 15=0"_s));
        SettingsStore settings(settingsPath());
        TfmMain window(settings);
        QString shownTask;
        Ask::setNextDialogHandlers({asModal([&shownTask](QDialog& alarm) {
            shownTask = childNamed<QLineEdit>(&alarm, u"lblTaskName")->text();
            click(alarm, u"btnDisable");
        })});
        QVERIFY(startAndShow(window));
        QTRY_COMPARE(shownTask, u"Team call"_s);
        QTRY_COMPARE(savedTasks(folder).cellText(4, colAlarm), QString());
        QCOMPARE(savedTasks(folder).cellText(4, colTaskName), u"Team call"_s);
    }

    void alarm_leftUnanswered_comesBackAtTheNextTickNotAtOnce()
    {
        // Unattended, every dialog returns at once, as it does once the program is asked to end:
        // shown again at once, the alarm would spin for ever and the program never end.
        makeDataSet(u"Home set"_s, teamCall(QTime(10, 10), u" 15=0"_s));
        SettingsStore settings(settingsPath());
        TfmMain window(settings);
        QVERIFY(startAndShow(window));
        QStringList asked;
        QTRY_VERIFY((asked += Ask::takeAsked(), asked.size() >= 2));
        QCOMPARE(asked.size(), 2);
        QVERIFY2(asked[1].startsWith(u"UNANSWERED: Tarnwick Alarm"_s), qPrintable(asked[1]));
        QCOMPARE(asked[1], asked[0]);
    }

    void alarm_duringDeleteConfirmation_waitsUntilItCloses()
    {
        const QString folder = makeDataSet(u"Home set"_s, teamCall(QTime(9, 0), u"  0=0"_s));
        SettingsStore settings(settingsPath());
        settings.writeBool(Settings::Alarms, Settings::Enabled, false);
        TfmMain window(settings);
        QVERIFY(startAndShow(window));
        selectTask(window, u"Pay rent"_s);

        // The alarm falls due while the delete question is open: it must not come up over it.
        QStringList askedWhileOpen;
        const auto alarmFallsDue = [&](QDialog& confirm) {
            settings.writeBool(Settings::Alarms, Settings::Enabled, true);
            window.ScheduleNextAlarm();
            askedWhileOpen = Ask::takeAsked();
            click(confirm, u"btnYes");
        };
        Ask::setNextDialogHandlers(
            {asModal(alarmFallsDue), asModal([](QDialog& alarm) { click(alarm, u"btnDisable"); })});
        QTest::keyClick(&window, Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(askedWhileOpen.size(), 1); // the question alone
        // Once the question is answered the alarm shows; the right tasks were deleted and disabled.
        QTRY_VERIFY(savedTasks(folder).rowCount() == 4 && savedTasks(folder).cellText(3, colAlarm).isEmpty());
        QCOMPARE(savedTasks(folder).cellText(3, colTaskName), u"Team call"_s);
        for (int r = 0; r < 4; ++r)
            QVERIFY(savedTasks(folder).cell(r, colTaskName) != u"Pay rent");
    }

    void diary_typedThenMinimised_isSaved()
    {
        const QString folder = makeDataSet(u"Home set"_s);
        SettingsStore settings(settingsPath());
        TfmMain window(settings);
        QVERIFY(startAndShow(window));
        auto* memo = childNamed<QPlainTextEdit>(&window, u"memoDiary");
        memo->setFocus();
        QTest::keyClicks(memo, u"Bought a new lamp"_s);
        window.showMinimized();
        QTRY_VERIFY(testFileContents(dataFilePath(folder, TableFile::Diary)).contains("Bought a new lamp"));
    }

    void startUp_storedProjectFilter_checksNoItemUntilOneIsChosen()
    {
        makeDataSet(u"Home set"_s);
        SettingsStore settings(settingsPath());
        settings.writeString(Settings::FilterProject, u"Home"_s, QString());
        TfmMain window(settings);
        QVERIFY(startAndShow(window));
        QCOMPARE(window.findChild<QLabel*>(u"lblProject"_s)->text(), LanguageString(201));
        QMenu* projects = childNamed<QMenu>(&window, u"Project1");
        const auto checkedItems = [projects] {
            QStringList checked;
            for (QAction* a : projects->actions()) {
                if (a->isChecked())
                    checked.append(a->text());
            }
            return checked;
        };
        QCOMPARE(checkedItems(), QStringList());
        // A chosen item stays checked when the menus are built again.
        projects->actions().at(3)->trigger(); // the first project, after the two fixed items and a separator
        window.BuildFilterMenus();
        QCOMPARE(checkedItems(), QStringList{u"Garden"_s});
    }

    void languageChange_rebuildsComputedTexts()
    {
        makeDataSet(u"Home set"_s);
        SettingsStore settings(settingsPath());
        TfmMain window(settings);
        QVERIFY(startAndShow(window));
        QString error;
        const auto source = parseLanguageSource(u"809\tAufgaben: \n"_s, &error);
        QVERIFY(source.has_value());
        const QString folder = TfmMain::programFolder() + u"/languages"_s;
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(writeTestFile(folder + u"/de.lng"_s, compileLanguageFile(*source, false, &error)));
        AppLanguage::instance().setLanguage(u"de"_s);
        QEvent change(QEvent::LanguageChange);
        QApplication::sendEvent(&window, &change);
        const QString count = childNamed<QLabel>(&window, u"lblCount")->text();
        AppLanguage::instance().setLanguage(u"Native"_s);
        QCOMPARE(count, u"Aufgaben: 4"_s);
    }

    void layout_notesFontStatusBarAndBottomPanel()
    {
        makeDataSet(u"Home set"_s);
        SettingsStore settings(settingsPath());
        settings.writeInteger(Settings::Font, Settings::Size, 14);
        TfmMain window(settings);
        QVERIFY(startAndShow(window));
        QCOMPARE(childNamed<QPlainTextEdit>(&window, u"memoPreview")->font().pointSize(), 14);

        // The status bar shows a large count whole and a hint of several lines on its one line.
        auto* count = childNamed<QLabel>(&window, u"lblCount");
        count->setText(LanguageString(809) + u"100000"_s);
        auto* bar = childNamed<QWidget>(&window, u"StatusBar");
        const int barHeight = bar->height();
        QStatusTipEvent hint(u"Ides of March\r\nPay rent\nPlan garden"_s);
        QApplication::sendEvent(&window, &hint);
        QTRY_VERIFY(count->width() >= count->fontMetrics().horizontalAdvance(count->text()));
        QCOMPARE(childNamed<QLabel>(&window, u"lblHint")->text(), u"Ides of March; Pay rent; Plan garden"_s);
        QCOMPARE(bar->height(), barHeight);

        // The bottom panel opens at its stored height and keeps it through F4 toggles and exit.
        auto* panel = childNamed<QWidget>(&window, u"pExtra");
        QCOMPARE(panel->height(), 139);
        for (int toggle = 0; toggle < 4; ++toggle)
            QTest::keyClick(&window, Qt::Key_F4);
        QVERIFY(panel->isVisible());
        QCOMPARE(panel->height(), 139);
        QTest::keyClick(&window, Qt::Key_F4);
        QVERIFY(window.close());
        QCOMPARE(settings.readInteger(Settings::Size, Settings::MemoHeight, 0), 139);
    }

    void alarm_whileMinimised_leavesTheWindowAndDeleteNamesTheAlarmedTask()
    {
        const QString folder = makeDataSet(u"Home set"_s, teamCall(QTime(9, 0), u"  0=0"_s));
        SettingsStore settings(settingsPath());
        settings.writeBool(Settings::Alarms, Settings::Enabled, false);
        TfmMain window(settings);
        QVERIFY(startAndShow(window));
        selectTask(window, u"Pay rent"_s);
        window.showMinimized();
        QTRY_VERIFY(window.isMinimized());

        bool ownedByWindow = true;
        QString question;
        const auto deleteFromAlarm = [&](QDialog& alarm) {
            ownedByWindow = alarm.parentWidget() != nullptr || alarm.windowHandle()->transientParent() != nullptr;
            click(alarm, u"btnDelete");
        };
        const auto confirm = [&](QDialog& box) {
            question = childNamed<QLabel>(&box, u"lblMessage")->text();
            ownedByWindow = ownedByWindow || box.parentWidget() != nullptr;
            click(box, u"btnYes");
        };
        Ask::setNextDialogHandlers({asModal(deleteFromAlarm), asModal(confirm)});
        settings.writeBool(Settings::Alarms, Settings::Enabled, true);
        window.ScheduleNextAlarm();
        QTRY_COMPARE(savedTasks(folder).rowCount(), 4);
        QCOMPARE(question,
                 LanguageString(237) + u"Team call"_s + LanguageString(238) + u"\r\n"_s + LanguageString(236));
        QVERIFY(!ownedByWindow);
        QVERIFY(window.isMinimized());
    }

    void diary_andNotes_typedThenEndedFromOutside_areSavedWithoutAsking_data()
    {
        QTest::addColumn<int>("signal"); // 0: the desktop session ends
        QTest::addColumn<bool>("folderGone");
        QTest::newRow("SIGTERM") << SIGTERM << false;
        QTest::newRow("SIGHUP") << SIGHUP << false;
        QTest::newRow("session ends") << 0 << false;
        QTest::newRow("session ends, data folder gone") << 0 << true;
    }
    void diary_andNotes_typedThenEndedFromOutside_areSavedWithoutAsking()
    {
        QFETCH(int, signal);
        QFETCH(bool, folderGone);
        const QString folder = makeDataSet(u"Home set"_s);
        SettingsStore settings(settingsPath());
        settings.writeBool(Settings::Confirmations, Settings::Exit, true);
        TfmMain window(settings);
        QVERIFY(startAndShow(window));
        TerminationWatch watch;
        QVERIFY(watch.isActive());
        bool handled = false;
        connect(&watch, &TerminationWatch::terminationRequested, &window, &TfmMain::saveWithoutAsking);
        connect(&watch, &TerminationWatch::terminationRequested, this, [&handled] { handled = true; });
        connect(&watch, &TerminationWatch::sessionEnding, &window, &TfmMain::saveWithoutAsking);

        selectTask(window, u"Someday"_s);
        auto* notes = childNamed<QPlainTextEdit>(&window, u"memoPreview");
        notes->setFocus();
        QTest::keyClicks(notes, u"call back"_s);
        auto* diary = childNamed<QPlainTextEdit>(&window, u"memoDiary");
        diary->setFocus();
        QTest::keyClicks(diary, u"Bought a new lamp"_s);
        QVERIFY(!testFileContents(dataFilePath(folder, TableFile::Diary)).contains("lamp"));
        if (folderGone)
            QVERIFY(QDir(folder).removeRecursively());

        // No question, and no window waiting for the folder: nobody is there to answer.
        if (signal != 0) {
            ::raise(signal); // handled, so the test goes on
            QTRY_VERIFY(handled);
        } else {
            Q_EMIT watch.sessionEnding();
        }
        // A close that follows (the session manager's) asks nothing either.
        QVERIFY(window.close());
        QCOMPARE(Ask::takeAsked(), QStringList());
        if (folderGone) {
            QVERIFY(!QFileInfo::exists(folder));
            return;
        }
        QVERIFY(testFileContents(dataFilePath(folder, TableFile::Diary)).contains("Bought a new lamp"));
        const TSortGrid tasks = savedTasks(folder);
        bool notesSaved = false;
        for (int r = 0; r < tasks.rowCount(); ++r)
            notesSaved |= tasks.cell(r, colTaskName) == u"Someday" && tasks.cell(r, colNotes) == u"call back\x1b";
        QVERIFY(notesSaved);
    }

    void startUp_lockFailure_showsErrorWithTheSystemsReasonThenManager_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("reason"); // "" when another copy holds the lock
        QTest::newRow("held by another copy") << u"locked"_s << QString();
        QTest::newRow("folder under a file") << u"under a file"_s << systemErrorText(ENOTDIR);
        QTest::newRow("folder missing") << u"missing"_s << systemErrorText(ENOENT);
        QTest::newRow("read-only folder") << u"read-only"_s << systemErrorText(EACCES);
    }
    void startUp_lockFailure_showsErrorWithTheSystemsReasonThenManager()
    {
        QFETCH(QString, how);
        QFETCH(QString, reason);
        QString folder = makeDataSet(u"Home set"_s);
        DataSetLock other;
        if (how == u"locked") {
            QCOMPARE(other.acquire(folder), DataSetLock::Result::Locked);
        } else if (how == u"read-only") {
            if (::geteuid() == 0)
                QSKIP("root writes into read-only folders");
            QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
        } else {
            folder = how == u"missing" ? m_home.filePath(u"gone"_s) : dataFilePath(folder, TableFile::Tasks);
            QVERIFY(writeTestFile(TfmMain::programFolder() + u"/datasets.ini"_s,
                                  (u"Home set\t"_s + folder + u"\r\n"_s).toUtf8()));
        }
        SettingsStore settings(settingsPath());
        TfmMain window(settings);
        // The error, then the data set manager: leave it with Exit.
        Ask::setNextDialogHandlers({[](QDialog& manager) { manager.reject(); }});
        bool started = true;
        const QStringList asked = promptsAnswered({QMessageBox::Ok}, [&] { started = window.startUp(); });
        QFile::setPermissions(m_home.filePath(u"Home set"_s), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(!started);
        QCOMPARE(asked.size(), 2);
        const QString& message = asked.first();
        QVERIFY(message.startsWith(LanguageString(190)));
        if (reason.isEmpty())
            QVERIFY(message.endsWith(LanguageString(193)));
        else
            QVERIFY2(message.endsWith(reason), qPrintable(message));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
