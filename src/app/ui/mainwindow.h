#pragma once

#include "alarms/alarmscheduler.h"
#include "core/dataset.h"
#include "core/datasetsession.h"
#include "core/ui/commandregistry.h"
#include "tasks/taskview.h"

#include <QDate>
#include <QMainWindow>

#include <memory>

class AlarmClock;
class TMainStatusBar;
class TMainToolbar;
class TNotesPane;
class QAction;
class QActionGroup;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QSplitter;
class QTimer;
class QToolButton;
class SettingsStore;
class TaskListWidget;
class TCalendarPanelWidget;
class TfmFind;
class TfmLog;
class TfmPreferences;
class TfmTask;
struct StoredTask;

// The program's main window: the task list with its menus, the notes and attachment of the
// selected task, the calendar panel and the status bar. It owns the open data set and the view.
class TfmMain final : public QMainWindow {
    Q_OBJECT
public:
    explicit TfmMain(SettingsStore& settings, QWidget* parent = nullptr);
    ~TfmMain() override;

    // Runs the start-up steps up to the first showing. False when start-up was abandoned (the data
    // set manager left with Exit): the window then closes without writing any table.
    bool startUp();

    DataSet& dataSet() { return m_data; }
    TaskView& taskView() { return m_view; }
    TaskListWidget* taskList() const { return m_list; }

    // The caption's program title.
    static QString programTitle() { return QStringLiteral("Tarnwick PRO"); }
    // The folder that holds datasets.ini, toolbar.ini and the default data set.
    static QString programFolder();

    // Replaces the toolbar with the one toolbar.ini and the Toolbar and ToolbarButtons settings
    // describe, writing the list back (mainwindow_toolbar.cpp). Runs by itself when those settings
    // change.
    void BuildToolbar();
    // Brings the window back from the minimised (later: tray) state; asks the password first when
    // it is to be asked at every restore, and stays minimised when it is not given
    // (mainwindow_password.cpp). Does nothing while a modal dialog of the window is open.
    void RestoreFromTray();

    // What a command changed; afterTaskTableChange saves it and refreshes what depends on it.
    enum class Change : unsigned {
        TaskTable = 1,   // save tasks.twk
        TaskLog = 2,     // save tasklog.twk
        MoveToTop = 4,   // the task just stored goes to the top of the rebuilt view
        SelectFirst = 8, // the first row is selected afterwards (its task is gone)
        DataSet = 16,    // another data set was opened: every panel and the caption follow
        Lists = 32,      // the project or assignee names may have changed: the filter menus follow
        Autosize = 64,   // the columns are autosized when that option is on
    };
    Q_DECLARE_FLAGS(Changes, Change)
    // The one refresh path after any change of the tables (and after a new day): commits the notes
    // preview, rebuilds the view (selecting `select` when given), saves the changed tables through
    // the one writer, rebuilds the filter menus, re-arms the alarm, refreshes the calendar and
    // autosizes the columns when that option is on.
    void afterTaskTableChange(Changes what, const StoredTask* select = nullptr);

    // Flags other windows test before opening over this one.
    bool ModalBusy = false;
    bool TaskEditorOpen = false;
    bool HiddenToTray = false;

public Q_SLOTS:
    // Another start of the program asked this one to come to the front.
    void wake();
    // The program is being ended from outside (SIGTERM, SIGHUP, the desktop session's end): saves
    // as exit does, without any question, and a close that follows asks none either.
    void saveWithoutAsking();

    // Refilter, resort and redraw the list (see TaskView::RebuildView).
    void RebuildView(bool moveEditedToTop = false);
    void BuildFilterMenus();
    void CommitPreviewNotes();
    void ShowAttachment(bool fromSelection = false);

    // Task commands. EditTask and DeleteTask take a task-table row (the alarm dialog passes its
    // task's row); the menu commands work on the selected task.
    void AddTask();
    void EditTask(int row, bool fromAlarm = false);
    // From the alarm the question names the alarmed task, which need not be the selected one.
    void DeleteTask(int row, bool fromAlarm = false);
    void CheckTask();

    // What start-up leaves until the list's first frame is painted: the calendar (its marks walk
    // every task) and the alarm scan. Runs once; later calls do nothing.
    void finishStartUp();

    // Refresh steps every task change ends with: the armed alarm and the calendar's marks follow
    // the task table.
    void ScheduleNextAlarm();
    void RefreshCalendar();
    // Shows the alarm of the armed row (the clock reached it, or the scheduler found it overdue).
    void AlarmEvent1Timer();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void createActions();
    // The registered command of that name.
    QAction* command(QStringView name) const;
    void createMenus();
    void createLayout();
    void createStatusBar();

    // Data set life cycle.
    bool chooseDataSetAtStartUp();
    bool lockAndOpen(bool atStartUp);
    static void releaseFreedMemory();
    // The same a second after the last change: handing the pages back at once would make the next
    // change of a burst fault them in again.
    void releaseFreedMemoryWhenIdle();
    void openDataSet();
    void showMessages(const QList<DataSetMessage>& messages);
    // The exit's saves: notes preview, completed tasks to the log when set, diary memo, settings,
    // task table and diary. Returns the errors.
    QStringList saveAtExit();
    void writeExitSettings();
    void updateCaption();
    // Rebuilds the texts made from language strings after the language changed.
    void retranslateTexts();

    // File menu commands.
    void backupData();
    void restoreData();
    void purgeTasks();
    void openDatasetManager();
    // Export and import (mainwindow_exchange.cpp).
    void Saveas1Click();
    void Importtasks1Click();

    // View, project, assignee and deadline commands.
    void showAllTasks();
    void toggleShowCompleted();
    void performSort();
    void sortSetup();
    void chooseProjectFilter(const QStringList& projects, const QString& statusText);
    void chooseAssigneeFilter(const QStringList& assignees, const QString& statusText);
    void chooseDeadline(int rule);
    void afterFilterChange();
    void updateShowCompletedTexts(bool atStartUp);
    void toggleBottomPanel();
    void toggleCalendarPanel();
    void placeSplitterLimits();

    void showSelectedTask();
    void updateStatusTexts();
    // The hide buttons of the notes pane and the status bar follow whether the bottom panel shows.
    void showPanelState(bool shown);

    // Task commands (mainwindow_tasks.cpp).
    void editSelectedTask();
    void deleteSelectedTask();
    bool locateSelectedTask();
    void prepareTaskEditor(TfmTask& dialog);
    static Changes storedTaskChange(bool moveToTop);
    void runSelectedAttachment();
    void showAttachmentMenu(const QPoint& globalPos);
    void showTaskPopup(const QPoint& globalPos);
    void showFilterDialog();

    // Alarms (mainwindow_alarms.cpp).
    void alarmClockTick();
    bool alarmHeldBack() const;
    QWidget* alarmParent();
    void miEnableAlarmsClick();

    // The task log and find windows (mainwindow_log.cpp), made when first asked for.
    void createLogAndFindWindows();
    void showTaskLog();
    void showFind();
    void gotoDiaryDate(const QDate& date);
    // Preferences (mainwindow_preferences.cpp).
    void Preferences1Click();
    // Runs the dialog; afterwards a changed task table or name list goes through the one refresh path.
    void runPreferences(TfmPreferences& dialog);
    // The task editor's "&Setup...": the preferences on their projects page, then the editor's lists.
    void setupFromEditor(TfmTask& editor);
    // Connects what the window itself takes from the settings whenever they change.
    void followSettings();
    // Registers the program for start with the system when the settings ask for it.
    void registerRunAtStartup();

    // Toolbar (mainwindow_toolbar.cpp).
    QAction* toolbarCommand(const QString& name) const;
    // The menu items of the toolbar's commands show the same pictures.
    void showToolbarImagesInMenus();
    void updateToolbarShowChecked();
    void toolbarSettingsChanged(const QString& section);

    // Password (mainwindow_password.cpp). False when start-up is to be abandoned.
    bool askPasswordAtStartUp();
    bool asksPasswordAtRestore() const;
    void restoredFromMinimized();

    // Calendar commands (mainwindow_calendar.cpp).
    void editSpecialDays();
    void dayChangeRefresh();

    SettingsStore& m_settings;
    DataSet m_data;
    DataSetSession m_session;
    CommandRegistry m_commands;
    TaskView m_view;
    AlarmScheduler m_alarms;
    QDate m_calendarDate; // the date the calendar opens on
    bool m_quit = false;
    bool m_alarmPending = false; // an alarm waits for a dialog to close
    bool m_startUpDone = false;
    bool m_firstShowDone = false;
    bool m_startUpPending = false; // finishStartUp has work left
    bool m_closing = false;
    int m_memoHeight = 139;          // the bottom panel's height while it is hidden
    bool m_endedFromOutside = false; // saveWithoutAsking ran: no more questions at exit
    bool m_unattended = false;       // saving without asking: no window may wait for an answer
    bool m_restoring = false;        // RestoreFromTray is showing the window: no second prompt
    bool m_minimizedSeen = false;    // minimised since the last restore
    bool m_buildingToolbar = false;  // BuildToolbar's own writes do not ask for another build
    bool m_toolbarBuildPending = false;

    AlarmClock* m_clock = nullptr;
    TaskListWidget* m_list = nullptr;
    QSplitter* m_mainSplit = nullptr;  // task list above, bottom panel below
    QSplitter* m_extraSplit = nullptr; // notes left, calendar right
    QWidget* pExtra = nullptr;
    QWidget* pnlCalendar = nullptr;
    TCalendarPanelWidget* m_calendar = nullptr;
    TNotesPane* m_notes = nullptr;
    TMainStatusBar* m_status = nullptr;
    TfmFind* m_find = nullptr;
    TfmLog* m_log = nullptr;
    TMainToolbar* m_toolbar = nullptr;
    QTimer* m_trimTimer = nullptr;

    QMenu* m_projectMenu = nullptr;
    QMenu* m_assigneeMenu = nullptr;
    QActionGroup* m_projectGroup = nullptr;
    QActionGroup* m_assigneeGroup = nullptr;
    QActionGroup* m_deadlineGroup = nullptr;
    QList<QAction*> m_projectItems;
    QList<QAction*> m_assigneeItems;
    QList<QAction*> m_deadlineItems;

    QMenu* pmTasks = nullptr;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(TfmMain::Changes)
