#include "app/ui/mainwindow.h"

#include "alarms/alarmclock.h"
#include "app/ui/mainstatusbar.h"
#include "app/ui/maintoolbar.h"
#include "app/ui/notespane.h"
#include "calendar/ui/calendarpanelwidget.h"
#include "core/applanguage.h"
#include "core/atomicfile.h"
#include "core/clock.h"
#include "core/daynumber.h"
#include "core/formatsettings.h"
#include "core/settingsnames.h"
#include "core/settingsstore.h"
#include "core/tablefiles.h"
#include "core/tasktable.h"
#include "core/ui/confirmbox.h"
#include "core/ui/datasetmanager.h"
#include "core/ui/foldererror.h"
#include "core/ui/commandregistry.h"
#include "core/ui/programicons.h"
#include "tasks/ui/sortdialog.h"
#include "tasks/ui/taskheader.h"
#include "tasks/ui/taskitemdelegate.h"
#include "tasks/ui/tasklistwidget.h"
#include "core/ui/ask.h"

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScopedValueRollback>
#include <QScreen>
#include <QSplitter>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <optional>
#include <utility>

using namespace Qt::Literals::StringLiterals;

namespace {

// The limits the splitters keep from the edges of the client area.
constexpr int minListHeight = 65;
constexpr int minBottomDistance = 160;
constexpr int minNotesWidth = 60;
constexpr int minCalendarWidth = 257;

} // namespace

TfmMain::TfmMain(SettingsStore& settings, QWidget* parent)
    : QMainWindow(parent), m_settings(settings), m_session(m_data, settings, programFolder()), m_commands(this),
      m_view(m_data.MainGrid), m_alarms(m_data.MainGrid, settings)
{
#ifdef __GLIBC__
    // Lists of a hundred thousand rows (megabytes each) and the sort's arrays (400 KB each) are
    // made anew on every change. glibc would raise its threshold for mapping such blocks to the
    // largest one freed and then serve them from the heap, where each change leaves holes between
    // blocks that live on: 20 edits grew the program by 9 MiB. Mapped, they go back to the system
    // when freed.
    mallopt(M_MMAP_THRESHOLD, 256 * 1024);
#endif
    setObjectName(QStringLiteral("TfmMain"));
    setWindowTitle(programTitle());
    setWindowIcon(programIcon());
    setMinimumSize(350, 300);
    m_view.CommitPreviewNotes = [this] { CommitPreviewNotes(); };

    createActions();
    createLayout();
    createStatusBar();
    createMenus();
    showToolbarImagesInMenus();
    connect(&m_settings, &SettingsStore::sectionChanged, this, &TfmMain::toolbarSettingsChanged);
    followSettings();
}

TfmMain::~TfmMain()
{
    // The next start shows a normal window unless it is to start minimised.
    if (!m_settings.readBool(Settings::Startup, Settings::RunMinimized, false) &&
        m_settings.readInteger(Settings::Forms::Position, Settings::ShowCmd, 1) == 2)
        m_settings.writeInteger(Settings::Forms::Position, Settings::ShowCmd, 1);
    m_data.unlock();
}

QString TfmMain::programFolder()
{
    // It holds the default data set, which is private like every data set.
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    makePrivateFolder(folder);
    return folder;
}

// ---------------------------------------------------------------------------------------------
// Building the window

void TfmMain::createActions()
{
    const auto key = [](QKeyCombination combination) { return QList<QKeySequence>{QKeySequence(combination)}; };
    const auto slot = [this](void (TfmMain::*member)()) { return [this, member] { (this->*member)(); }; };
    m_commands.add({
        {u"Savedata1"_s, u"&Backup data..."_s, key(Qt::CTRL | Qt::Key_S), u"Backup program data files"_s, {},
         slot(&TfmMain::backupData)},
        {u"Loaddata1"_s, u"&Restore data..."_s, key(Qt::CTRL | Qt::Key_O), u"Restore program data files"_s, {},
         slot(&TfmMain::restoreData)},
        {u"Cleanup1"_s, u"Purge &tasks to log..."_s, {}, u"Remove unnecessary tasks"_s, {}, slot(&TfmMain::purgeTasks)},
        {u"Viewtasklog1"_s, u"View Task &log..."_s, key(Qt::CTRL | Qt::Key_L), u"View task log - removed tasks"_s, {},
         slot(&TfmMain::showTaskLog)},
        {u"Saveas1"_s, u"&Export tasks..."_s, key(Qt::CTRL | Qt::Key_E), u"Export tasks to a file"_s, {},
         slot(&TfmMain::Saveas1Click)},
        {u"Importtasks1"_s, u"&Import tasks..."_s, {}, u"Import tasks from a file"_s, {},
         slot(&TfmMain::Importtasks1Click)},
        {u"Datasetmanager1"_s, u"Database &manager..."_s, key(Qt::CTRL | Qt::Key_M),
         u"Manage data files - to-do list, diary, etc."_s, {}, slot(&TfmMain::openDatasetManager)},
        {u"miMinimize"_s, u"&Minimize"_s, key(Qt::CTRL | Qt::Key_F4), u"Minimize the program"_s, {},
         [this] { showMinimized(); }},
        {u"miExit"_s, u"E&xit"_s, {}, u"Exit program"_s, {}, [this] { close(); }},

        {u"Addtask1"_s, u"&Add..."_s, key(Qt::Key_Insert), u"Add a new task"_s, {}, slot(&TfmMain::AddTask)},
        {u"Edittask1"_s, u"&Edit..."_s, key(Qt::Key_F2), u"Edit selected task"_s, {},
         slot(&TfmMain::editSelectedTask)},
        {u"Removetask1"_s, u"&Delete"_s, key(Qt::CTRL | Qt::Key_Delete), u"Delete selected task"_s, {},
         slot(&TfmMain::deleteSelectedTask)},
        {u"miComplete1"_s, u"&Check/unCheck"_s, key(Qt::CTRL | Qt::Key_Space), u"Check/unCheck as complete"_s, {},
         slot(&TfmMain::CheckTask)},
        {u"Runattachments1"_s, u"&Run attachments"_s, key(Qt::CTRL | Qt::Key_R), u"Open the attached file"_s, {},
         slot(&TfmMain::runSelectedAttachment)},

        {u"miFilter"_s, u"Fil&ter..."_s, key(Qt::Key_F7), u"Filter tasks"_s, {}, slot(&TfmMain::showFilterDialog)},
        {u"Showalltasks1"_s, u"Show all tasks"_s, key(Qt::Key_Escape), u"Show all tasks"_s, {},
         slot(&TfmMain::showAllTasks)},
        {u"miShowChecked"_s, u"Show &completed"_s, key(Qt::CTRL | Qt::Key_F5), {}, {},
         slot(&TfmMain::toggleShowCompleted)},
        {u"miPerformSort"_s, u"&3-level sort"_s, key(Qt::Key_F3), u"Perform 3-level sort"_s, {},
         slot(&TfmMain::performSort)},
        {u"miSort"_s, u"3-level &sort setup..."_s, key(Qt::CTRL | Qt::Key_F3), u"3-level sort setup"_s, {},
         slot(&TfmMain::sortSetup)},
        {u"Find1"_s, u"&Find..."_s, key(Qt::CTRL | Qt::Key_F), u"Find information"_s, {}, slot(&TfmMain::showFind)},
        {u"Autosizecolumns1"_s, u"&Autosize columns"_s, key(Qt::CTRL | Qt::Key_A), u"Autosize columns"_s, {},
         [this] { m_list->AutosizeColumns(); }},
        {u"miShowPanel"_s, u"Show calendar/&notes panel"_s, key(Qt::Key_F4),
         u"Show or hide the notes and calendar panel"_s, {}, slot(&TfmMain::toggleBottomPanel), {}, true},
        {u"miShowCalendar"_s, u"Show c&alendar panel"_s, key(Qt::Key_F6), u"Show or hide the calendar panel"_s, {},
         slot(&TfmMain::toggleCalendarPanel), {}, true},

        {u"AllTasks"_s, u"&All projects"_s, key(Qt::Key_F10), u"Show the tasks of all projects"_s, {},
         [this] { chooseProjectFilter({}, LanguageString(265)); }, {}, true},
        {u"Noprojects1"_s, u"&Unassigned"_s, key(Qt::CTRL | Qt::Key_F10), u"Show the tasks without project"_s, {},
         [this] { chooseProjectFilter({QString()}, LanguageString(242)); }, {}, true},
        {u"AllAssignee"_s, u"&All assignees"_s, key(Qt::Key_F9), u"Show the tasks of all assignees"_s, {},
         [this] { chooseAssigneeFilter({}, LanguageString(248)); }, {}, true},
        {u"NoAssignee"_s, u"&Unassigned"_s, key(Qt::CTRL | Qt::Key_F9), u"Show the tasks without assignee"_s, {},
         [this] { chooseAssigneeFilter({QString()}, LanguageString(247)); }, {}, true},

        {u"miMainMenuEnableAlarms"_s, u"Enable alarms"_s, {}, u"Switch the alarms on or off"_s, {},
         slot(&TfmMain::miEnableAlarmsClick), {}, true},
        {u"Preferences1"_s, u"&Options..."_s, key(Qt::Key_F12), u"Program preferences"_s, {},
         slot(&TfmMain::Preferences1Click)},

        // The task list's popup menu.
        {u"Add1"_s, u"&Add"_s, {}, {}, {}, slot(&TfmMain::AddTask)},
        {u"Edit2"_s, u"&Edit"_s, {}, {}, {}, slot(&TfmMain::editSelectedTask)},
        {u"Delete1"_s, u"&Delete"_s, {}, {}, {}, slot(&TfmMain::deleteSelectedTask)},
        {u"miComplete"_s, u"&Check/unCheck"_s, {}, {}, {}, slot(&TfmMain::CheckTask)},
    });

    const char* const deadlineNames[DeadlineRuleCount] = {"Alltasks1",  "Unassigned1", "Today1",     "Tomorrrow1",
                                                           "Thisweek1", "Nextweek1",   "Thismonth1", "Recurring1"};
    const char* const deadlineTexts[DeadlineRuleCount] = {"&All dates", "&No due date", "&Today",   "T&omorrow",
                                                           "This &week", "&Next week",   "This &month", "&Recurring only"};
    const QKeyCombination deadlineKeys[DeadlineRuleCount] = {
        Qt::Key_F8,          Qt::CTRL | Qt::Key_F8, Qt::CTRL | Qt::Key_1, Qt::CTRL | Qt::Key_2,
        Qt::CTRL | Qt::Key_3, Qt::CTRL | Qt::Key_4, Qt::CTRL | Qt::Key_5, Qt::CTRL | Qt::Key_6};
    m_deadlineGroup = new QActionGroup(this);
    for (int rule = 0; rule < DeadlineRuleCount; ++rule) {
        QAction* a = m_commands.add({QString::fromLatin1(deadlineNames[rule]), QString::fromLatin1(deadlineTexts[rule]),
                                     key(deadlineKeys[rule]), {}, {}, [this, rule] { chooseDeadline(rule); }, {}, true});
        a->setData(rule);
        m_deadlineGroup->addAction(a);
        m_deadlineItems.append(a);
    }
    m_deadlineItems[ruleAllDates]->setChecked(true);

    m_projectGroup = new QActionGroup(this);
    m_assigneeGroup = new QActionGroup(this);
    for (const QString& name : {u"AllTasks"_s, u"Noprojects1"_s})
        m_projectGroup->addAction(command(name));
    for (const QString& name : {u"AllAssignee"_s, u"NoAssignee"_s})
        m_assigneeGroup->addAction(command(name));
    command(u"AllTasks")->setChecked(true);
    command(u"AllAssignee")->setChecked(true);

    pmTasks = new QMenu(this);
    pmTasks->setObjectName(QStringLiteral("pmTasks"));
    m_commands.fill(pmTasks, {u"Add1"_s, u"Edit2"_s, u"Delete1"_s, u"-"_s, u"miComplete"_s});
}

QAction* TfmMain::command(QStringView name) const
{
    return m_commands.action(name);
}

void TfmMain::createMenus()
{
    QMenuBar* bar = menuBar();
    const QString separator = u"-"_s;
    m_commands.addMenu(bar, u"File1"_s, u"&File"_s,
                       {u"Savedata1"_s, u"Loaddata1"_s, u"Cleanup1"_s, u"Viewtasklog1"_s, separator, u"Saveas1"_s,
                        u"Importtasks1"_s, separator, u"Datasetmanager1"_s, separator, u"miMinimize"_s, u"miExit"_s});
    m_commands.addMenu(bar, u"Task1"_s, u"&Task"_s,
                       {u"Addtask1"_s, u"Edittask1"_s, u"Removetask1"_s, separator, u"miComplete1"_s, separator,
                        u"Runattachments1"_s});
    m_commands.addMenu(bar, u"View1"_s, u"&View"_s,
                       {u"miFilter"_s, u"Showalltasks1"_s, u"miShowChecked"_s, separator, u"miPerformSort"_s,
                        u"miSort"_s, u"Find1"_s, u"Autosizecolumns1"_s, separator, u"miShowPanel"_s,
                        u"miShowCalendar"_s});
    m_projectMenu = m_commands.addMenu(bar, u"Project1"_s, u"&Project"_s, {u"AllTasks"_s, u"Noprojects1"_s, separator});
    m_assigneeMenu =
        m_commands.addMenu(bar, u"Assign1"_s, u"&Assign"_s, {u"AllAssignee"_s, u"NoAssignee"_s, separator});
    QMenu* deadline = bar->addMenu(u"&Deadline"_s);
    deadline->setObjectName(u"Deadline1"_s);
    deadline->addActions(m_deadlineItems);

    QMenu* calendar = bar->addMenu(u"&Calendar"_s);
    calendar->setObjectName(u"Calendar1"_s);
    m_calendar->fillCalendarMenu(calendar);

    m_commands.addMenu(bar, u"Configuration1"_s, u"C&onfiguration"_s,
                       {u"Preferences1"_s, separator, u"miMainMenuEnableAlarms"_s});
}

void TfmMain::createLayout()
{
    m_list = new TaskListWidget(m_view, m_settings, this);
    m_list->setObjectName(QStringLiteral("TaskList"));
    connect(m_list, &TaskListWidget::currentTaskChanged, this, [this] { showSelectedTask(); });
    connect(m_list, &TaskListWidget::checkRequested, this, &TfmMain::CheckTask);
    connect(m_list, &TaskListWidget::editRequested, this, &TfmMain::editSelectedTask);
    connect(m_list, &TaskListWidget::contextMenuRequested, this, &TfmMain::showTaskPopup);
    connect(m_list, &TaskListWidget::viewRebuilt, this, [this] {
        updateStatusTexts();
        showSelectedTask();
    });

    // Notes and attachment of the selected task.
    m_notes = new TNotesPane;
    connect(m_notes, &TNotesPane::hideRequested, this, &TfmMain::toggleBottomPanel);
    connect(m_notes, &TNotesPane::notesLeft, this, &TfmMain::CommitPreviewNotes);
    connect(m_notes, &TNotesPane::runAttachmentRequested, this, &TfmMain::runSelectedAttachment);
    connect(m_notes, &TNotesPane::attachmentMenuRequested, this, &TfmMain::showAttachmentMenu);

    pnlCalendar = new QWidget;
    pnlCalendar->setObjectName(QStringLiteral("pnlCalendar"));
    auto* calendarLayout = new QVBoxLayout(pnlCalendar);
    calendarLayout->setContentsMargins(0, 0, 0, 0);
    m_calendar = new TCalendarPanelWidget(m_settings, m_data);
    calendarLayout->addWidget(m_calendar);
    pnlCalendar->setMinimumWidth(minCalendarWidth);
    connect(m_calendar, &TCalendarPanelWidget::specialDaysRequested, this, &TfmMain::editSpecialDays);
    connect(m_calendar, &TCalendarPanelWidget::dayChanged, this, &TfmMain::dayChangeRefresh);
    // The calendar repaints its clock and looks for a new day before the armed alarm is checked.
    m_clock = new AlarmClock(this);
    connect(m_clock, &AlarmClock::ticked, this, [this](qint64 monotonicMs) {
        m_calendar->ClockGetTime(monotonicMs);
        alarmClockTick();
    });

    m_extraSplit = new QSplitter(Qt::Horizontal);
    m_extraSplit->setObjectName(QStringLiteral("vSplitter"));
    m_extraSplit->addWidget(m_notes);
    m_extraSplit->addWidget(pnlCalendar);
    m_extraSplit->setChildrenCollapsible(false);
    m_extraSplit->setStretchFactor(0, 1);
    m_extraSplit->setStretchFactor(1, 0);
    m_notes->setMinimumWidth(minNotesWidth);

    pExtra = m_extraSplit;
    pExtra->setObjectName(QStringLiteral("pExtra"));

    m_mainSplit = new QSplitter(Qt::Vertical);
    m_mainSplit->setObjectName(QStringLiteral("hSplitter"));
    m_mainSplit->addWidget(m_list);
    m_mainSplit->addWidget(pExtra);
    m_mainSplit->setChildrenCollapsible(false);
    m_mainSplit->setStretchFactor(0, 1);
    m_mainSplit->setStretchFactor(1, 0);
    m_list->setMinimumHeight(minListHeight);

    // The toolbar lies above the task list inside the client area, so that a wrapping toolbar
    // takes the rows it needs from the list.
    m_toolbar = new TMainToolbar;
    auto* client = new QWidget;
    client->setObjectName(QStringLiteral("pnlClient"));
    auto* clientLayout = new QVBoxLayout(client);
    clientLayout->setContentsMargins(0, 0, 0, 0);
    clientLayout->setSpacing(0);
    clientLayout->addWidget(m_toolbar);
    clientLayout->addWidget(m_mainSplit, 1);
    setCentralWidget(client);
}

void TfmMain::createStatusBar()
{
    m_status = new TMainStatusBar;
    setStatusBar(m_status);
    connect(m_status, &TMainStatusBar::panelToggleRequested, this, &TfmMain::toggleBottomPanel);
}

bool TfmMain::event(QEvent* event)
{
    // Hints go to their own panel so the other panels stay visible.
    if (event->type() == QEvent::StatusTip) {
        m_status->showHint(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

// ---------------------------------------------------------------------------------------------
// Start-up and shutdown

bool TfmMain::startUp()
{
    resize(m_settings.readInteger(Settings::Size, Settings::Width, 625),
           m_settings.readInteger(Settings::Size, Settings::Height, 400));
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    AppLanguage::instance().setLanguage(
        m_settings.readString(Settings::Startup, Settings::Language, QStringLiteral("Native")));
    if (const auto locale = AppLanguage::instance().localeSettings())
        FormatSettings::setCurrent(*locale);
    if (!askPasswordAtStartUp()) {
        m_quit = true;
        return false;
    }

    m_calendarDate = Clock::current().today();
    if (m_settings.readBool(Settings::Startup, Settings::RememberCalendarDate, false)) {
        double day = 0;
        if (parseDayNumber(m_settings.readString(Settings::Startup, Settings::Date), &day) &&
            dateOfDayNumber(day).isValid())
            m_calendarDate = dateOfDayNumber(day);
    }

    // While the data folder is missing nothing is read or written; the manager may pick another
    // data set, which is then locked and opened once the waiting command has given up.
    auto folderGuard = TfmFolderError::makeGuard(this, m_settings, m_data, [this] {
        TfmDatasetManager manager(m_settings, programFolder(), m_data.name(), m_data.folder(), this);
        bool chosen = false;
        {
            const QScopedValueRollback busy(ModalBusy, true);
            chosen = Ask::exec(manager) == QDialog::Accepted;
        }
        if (!chosen || manager.chosenFolder() == m_data.folder())
            return;
        m_data.unlock();
        m_data.setLocation(manager.chosenName(), manager.chosenFolder());
        if (m_startUpDone)
            QTimer::singleShot(0, this, [this] { lockAndOpen(false); });
    });
    // Saving unattended, nobody could answer the window: the save fails with its reason instead.
    m_data.setFolderGuard([this, folderGuard = std::move(folderGuard)] { return !m_unattended && folderGuard(); });
    if (!chooseDataSetAtStartUp()) {
        m_quit = true;
        return false;
    }

    m_view.loadState(m_settings);
    if (!m_view.ProjectFilter.isEmpty()) {
        for (QAction* a : m_projectGroup->actions())
            a->setChecked(false);
        m_status->setProjectText(LanguageString(201));
    }
    if (!m_view.AssigneeFilter.isEmpty()) {
        for (QAction* a : m_assigneeGroup->actions())
            a->setChecked(false);
        m_status->setAssigneeText(LanguageString(202));
    }
    m_deadlineItems.value(m_view.DeadlineRuleTag, m_deadlineItems.first())->setChecked(true);
    updateShowCompletedTexts(true);
    command(u"miMainMenuEnableAlarms")->setChecked(AlarmScheduler::alarmsEnabled(m_settings));
    m_list->loadSettings();
    m_notes->notesMemo()->setFont(m_list->delegate()->style().font);
    BuildToolbar();

    if (!lockAndOpen(true)) {
        m_quit = true;
        return false;
    }
    tidyDiaryTable(m_data.gridDiary);
    registerRunAtStartup();
    m_startUpDone = true;
    // The rest waits for the list's first frame; a window that is not shown (started minimised)
    // gets it from the event loop's first turn. A window the desktop never lets paint (mapped
    // under others without compositing) must still arm its alarms: a second later at the latest.
    m_startUpPending = true;
    m_list->viewGrid()->viewport()->installEventFilter(this);
    QTimer::singleShot(0, this, [this] {
        if (!isVisible() || isMinimized())
            finishStartUp();
    });
    QTimer::singleShot(1000, this, &TfmMain::finishStartUp);
    return true;
}

bool TfmMain::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Paint && m_startUpPending && watched == m_list->viewGrid()->viewport()) {
        watched->removeEventFilter(this);
        QTimer::singleShot(0, this, &TfmMain::finishStartUp);
    }
    return QMainWindow::eventFilter(watched, event);
}

void TfmMain::finishStartUp()
{
    if (!std::exchange(m_startUpPending, false))
        return;
    m_list->viewGrid()->viewport()->removeEventFilter(this);
    m_calendar->refreshAll(m_calendarDate);
    ScheduleNextAlarm();
    releaseFreedMemory();
}

bool TfmMain::chooseDataSetAtStartUp()
{
    if (m_session.chooseAtStartUp())
        return true;
    TfmDatasetManager manager(m_settings, programFolder(), QString(), QString(), this);
    if (Ask::exec(manager) != QDialog::Accepted)
        return false;
    m_data.setLocation(manager.chosenName(), manager.chosenFolder());
    return true;
}

void TfmMain::releaseFreedMemory()
{
#ifdef __GLIBC__
    // Reading a table leaves the heap full of freed line buffers, which glibc keeps for later; a
    // large data set would hold several megabytes it no longer needs for the whole run.
    malloc_trim(0);
#endif
}

void TfmMain::releaseFreedMemoryWhenIdle()
{
    if (m_trimTimer == nullptr) {
        m_trimTimer = new QTimer(this);
        m_trimTimer->setSingleShot(true);
        m_trimTimer->setInterval(1000);
        connect(m_trimTimer, &QTimer::timeout, this, [] { releaseFreedMemory(); });
    }
    m_trimTimer->start();
}

bool TfmMain::lockAndOpen(bool atStartUp)
{
    for (;;) {
        QList<DataSetMessage> messages;
        if (m_session.lockAndOpen(&messages)) {
            showMessages(messages);
            afterTaskTableChange(Change::DataSet);
            releaseFreedMemory();
            return true;
        }
        showMessages({m_session.lockFailure()});
        TfmDatasetManager manager(m_settings, programFolder(), atStartUp ? QString() : m_data.name(),
                                  atStartUp ? QString() : m_data.folder(), this);
        bool chosen = false;
        {
            const QScopedValueRollback busy(ModalBusy, true);
            chosen = Ask::exec(manager) == QDialog::Accepted;
        }
        if (!chosen)
            return false;
        m_data.setLocation(manager.chosenName(), manager.chosenFolder());
    }
}

void TfmMain::openDataSet()
{
    const DataSet::OpenResult result = m_data.open();
    QList<DataSetMessage> messages = dataSetMessages(result.messages);
    if (!result.ok())
        messages.append({DataSetMessage::Error, {}, result.errors.join(u'\n')});
    showMessages(messages);
    afterTaskTableChange(Change::DataSet);
    releaseFreedMemory();
}

void TfmMain::updateCaption()
{
    setWindowTitle(m_data.name() + QStringLiteral(" - ") + programTitle());
}

void TfmMain::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (m_firstShowDone || !m_startUpDone)
        return;
    m_firstShowDone = true;
    m_memoHeight = m_settings.readInteger(Settings::Size, Settings::MemoHeight, 139);
    const int calendarWidth = m_settings.readInteger(Settings::Size, Settings::VSplit, 257);
    // The panel's lower limit first, so that it does not hold the panel above the stored height.
    placeSplitterLimits();
    m_mainSplit->setSizes({std::max(minListHeight, m_mainSplit->height() - m_memoHeight), m_memoHeight});
    m_extraSplit->setSizes({std::max(minNotesWidth, m_extraSplit->width() - calendarWidth), calendarWidth});
    const bool memoVisible = m_settings.readBool(Settings::Size, Settings::MemoVisible, true);
    const bool calendarVisible = m_settings.readBool(Settings::Size, Settings::CalendarVisible, true);
    pExtra->setVisible(memoVisible);
    pnlCalendar->setVisible(calendarVisible);
    command(u"miShowPanel")->setChecked(memoVisible);
    command(u"miShowCalendar")->setChecked(calendarVisible);
    showPanelState(memoVisible);
    placeSplitterLimits();
    if (m_settings.readBool(Settings::Other, Settings::Autosize, true))
        m_list->AutosizeColumns();
}

void TfmMain::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::LanguageChange && m_startUpDone)
        retranslateTexts();
    // The window system may repeat a state change late: only a restore after a seen minimise counts.
    if (event->type() == QEvent::WindowStateChange && m_startUpDone && !m_quit) {
        if (isMinimized())
            m_minimizedSeen = true;
        else if (std::exchange(m_minimizedSeen, false))
            restoredFromMinimized();
    }
    // Minimising is a save point of the diary: the program may be left like that for days.
    if (event->type() == QEvent::WindowStateChange && isMinimized() && m_startUpDone && !m_quit) {
        m_calendar->storeDiary();
        const QString error = m_data.saveDiary();
        if (!error.isEmpty())
            Ask::critical(this, error);
    }
}

void TfmMain::retranslateTexts()
{
    // The texts this window computes from language strings; the language menu then shows all tasks,
    // which sets the filter panels.
    showPanelState(!pExtra->isHidden());
    // A language may bring its own date formats: the due columns are measured afresh.
    m_view.invalidateMeasures();
    updateShowCompletedTexts(false);
    updateStatusTexts();
    ShowAttachment(true);
}

void TfmMain::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    placeSplitterLimits();
    if (m_firstShowDone && m_settings.readBool(Settings::Other, Settings::Autosize, true))
        m_list->AutosizeColumns();
}

void TfmMain::placeSplitterLimits()
{
    // The bottom panel keeps the splitter at least 160 pixels above the bottom of the client area.
    // Before the first showing the bar has no height yet: it will have its preferred one.
    const QStatusBar* bar = statusBar();
    const int statusHeight = bar->isHidden() ? 0 : (bar->isVisible() ? bar->height() : bar->sizeHint().height());
    pExtra->setMinimumHeight(std::max(0, minBottomDistance - statusHeight - m_mainSplit->handleWidth()));
}

void TfmMain::closeEvent(QCloseEvent* event)
{
    if (m_quit || !m_startUpDone) {
        // Start-up was abandoned: only the window position is kept.
        if (!HiddenToTray) {
            m_settings.writeInteger(Settings::Position, Settings::Left, x());
            m_settings.writeInteger(Settings::Position, Settings::Top, y());
        }
        event->accept();
        return;
    }
    if (!m_endedFromOutside &&
        !TfmConfirm::ask(this, m_settings, LanguageString(243), Settings::Confirmations, Settings::Exit)) {
        event->ignore();
        return;
    }
    const QScopedValueRollback unattended(m_unattended, m_endedFromOutside);
    const QStringList errors = saveAtExit();
    if (!errors.isEmpty() && !m_endedFromOutside) {
        // Nothing is lost silently: the user may stay and try again (for example after freeing disk space).
        const auto answer = Ask::message(
            this, QMessageBox::Critical, errors.join(QStringLiteral("\n")) + QStringLiteral("\n\nExit anyway?"),
            QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
        if (answer != QMessageBox::Yes) {
            event->ignore();
            return;
        }
    }
    m_data.unlock();
    event->accept();
}

QStringList TfmMain::saveAtExit()
{
    CommitPreviewNotes();
    QStringList errors;
    if (m_settings.readBool(Settings::Startup, Settings::AutoLogCompleted, false)) {
        const DataSet::PurgeResult purge = m_data.AutoLogCompleted(Clock::current().today());
        if (!purge.error.isEmpty())
            errors.append(purge.error);
        if (purge.count > 0) {
            // The window may go on (exit refused after a failed save, a logout cancelled). An alarm
            // that the change makes due comes up after the saves, not in the middle of them.
            RebuildView(false);
            RefreshCalendar();
            QTimer::singleShot(0, this, &TfmMain::ScheduleNextAlarm);
        }
    }
    m_calendar->storeDiary();
    writeExitSettings();
    for (const QString& error : {m_data.saveTasks(), m_data.saveDiary()}) {
        if (!error.isEmpty())
            errors.append(error);
    }
    return errors;
}

void TfmMain::saveWithoutAsking()
{
    if (m_quit || !m_startUpDone)
        return; // nothing was opened, so nothing can be lost
    // Nobody is there to answer: a question would hold up the logout or the kill.
    m_endedFromOutside = true;
    const QScopedValueRollback unattended(m_unattended, true);
    for (const QString& error : saveAtExit())
        qWarning("Tarnwick PRO: %s", qPrintable(error));
}

void TfmMain::writeExitSettings()
{
    SettingsStore::Batch batch(m_settings);
    if (!HiddenToTray) {
        m_settings.writeInteger(Settings::Position, Settings::Left, x());
        m_settings.writeInteger(Settings::Position, Settings::Top, y());
    }
    m_settings.writeString(Settings::Startup, Settings::Language, AppLanguage::instance().language());
    m_settings.writeBool(Settings::Position, Settings::StayOnTop, windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    m_settings.writeInteger(Settings::Size, Settings::Width, width());
    m_settings.writeInteger(Settings::Size, Settings::Height, height());
    if (m_firstShowDone) {
        m_settings.writeInteger(Settings::Size, Settings::MemoHeight,
                                pExtra->isVisible() ? pExtra->height() : m_memoHeight);
        if (pnlCalendar->isVisible())
            m_settings.writeInteger(Settings::Size, Settings::VSplit, pnlCalendar->width());
        m_settings.writeBool(Settings::Size, Settings::MemoVisible, pExtra->isVisible());
        m_settings.writeBool(Settings::Size, Settings::CalendarVisible, pnlCalendar->isVisible());
        m_list->saveColumnWidths();
    }
    m_view.saveState(m_settings);
    m_settings.writeString(Settings::Startup, Settings::Date, dayNumberText(dayNumber(m_calendar->calendarDate())));
    m_settings.writeInteger(Settings::Other, Settings::Calendar, m_calendar->page());
}

void TfmMain::wake()
{
    if (isMinimized() || HiddenToTray || !isVisible()) {
        RestoreFromTray();
        return;
    }
    raise();
    activateWindow();
}

// ---------------------------------------------------------------------------------------------
// The view

void TfmMain::RebuildView(bool moveEditedToTop)
{
    m_list->rebuildView(moveEditedToTop);
    updateStatusTexts();
    showSelectedTask();
}

void TfmMain::updateStatusTexts()
{
    const RebuildResult& last = m_list->lastRebuild();
    m_status->showCount(last.taskCount, last.filtered);
}

void TfmMain::showPanelState(bool shown)
{
    m_notes->setPanelShown(shown);
    m_status->setPanelShown(shown);
}

void TfmMain::CommitPreviewNotes()
{
    QString cell;
    if (m_notes == nullptr || !m_notes->takeEditedNotes(&cell))
        return;
    const int row = m_view.currentRow();
    m_view.MirrorGrid.setCell(row, colNotes, cell);
    if (LocateTaskRow(m_data.MainGrid, m_view.MirrorGrid, row))
        m_data.MainGrid.setCell(m_data.MainGrid.currentRow(), colNotes, cell);
    m_list->viewGrid()->viewport()->update();
}

void TfmMain::showSelectedTask()
{
    // Without a task there is nothing the notes could belong to.
    m_notes->showNotes(m_view.MirrorGrid.cellText(m_view.currentRow(), colNotes),
                       m_list->lastRebuild().taskCount == 0);
    ShowAttachment(true);
}

void TfmMain::ShowAttachment(bool fromSelection)
{
    m_notes->showAttachment(m_view.MirrorGrid.cellText(m_view.currentRow(), colAttachment), fromSelection);
}

void TfmMain::BuildFilterMenus()
{
    const auto rebuild = [](QMenu* menu, QActionGroup* group, QList<QAction*>& items, const NameList& names,
                            auto handler) {
        // The item the user chose stays checked; a filter that no item chose (a stored one at
        // start-up, the filter dialog's) leaves every item unchecked, as the status bar says.
        std::optional<QString> checked;
        for (QAction* a : items) {
            if (a->isChecked())
                checked = a->data().toString();
            group->removeAction(a);
            menu->removeAction(a);
            a->deleteLater();
        }
        items.clear();
        for (const QString& name : names.names()) {
            auto* a = new QAction(menu);
            a->setCheckable(true);
            a->setData(name);
            // A name with "&" would otherwise turn into a keyboard accelerator.
            a->setText(QString(name).replace(QLatin1Char('&'), QStringLiteral("&&")));
            group->addAction(a);
            menu->addAction(a);
            items.append(a);
            if (checked && QString::compare(*checked, name, Qt::CaseInsensitive) == 0)
                a->setChecked(true);
            QObject::connect(a, &QAction::triggered, menu, [handler, name] { handler(name); });
        }
    };
    rebuild(m_projectMenu, m_projectGroup, m_projectItems, m_data.projects,
            [this](const QString& name) { chooseProjectFilter({name}, name); });
    rebuild(m_assigneeMenu, m_assigneeGroup, m_assigneeItems, m_data.assignees, [this](const QString& name) {
        chooseAssigneeFilter({name}, name);
        m_list->selectRow(0);
    });
}

void TfmMain::afterFilterChange()
{
    RebuildView(false);
    ShowAttachment();
    if (m_settings.readBool(Settings::Other, Settings::Autosize, true))
        m_list->AutosizeColumns();
    m_list->header()->viewport()->update();
}

void TfmMain::showAllTasks()
{
    CommitPreviewNotes();
    m_view.ShowAllTasks();
    command(u"AllTasks")->setChecked(true);
    command(u"AllAssignee")->setChecked(true);
    m_deadlineItems[ruleAllDates]->setChecked(true);
    afterFilterChange();
    m_status->setProjectText(LanguageString(227));
    m_status->setAssigneeText(LanguageString(228));
}

void TfmMain::chooseProjectFilter(const QStringList& projects, const QString& statusText)
{
    CommitPreviewNotes();
    m_view.ProjectFilter = TaskView::normalizedNames(projects);
    afterFilterChange();
    m_status->setProjectText(statusText);
}

void TfmMain::chooseAssigneeFilter(const QStringList& assignees, const QString& statusText)
{
    CommitPreviewNotes();
    m_view.AssigneeFilter = TaskView::normalizedNames(assignees);
    afterFilterChange();
    m_status->setAssigneeText(statusText);
}

void TfmMain::chooseDeadline(int rule)
{
    CommitPreviewNotes();
    m_view.SetDeadlineFilter(rule, m_settings);
    afterFilterChange();
}

void TfmMain::toggleShowCompleted()
{
    CommitPreviewNotes();
    m_view.ShowCompleted = !m_view.ShowCompleted;
    updateShowCompletedTexts(false);
    RebuildView(false);
    ShowAttachment();
}

void TfmMain::updateShowCompletedTexts(bool atStartUp)
{
    const bool shown = m_view.ShowCompleted;
    const int hint = atStartUp ? (shown ? 194 : 196) : (shown ? 230 : 233);
    const int caption = atStartUp ? (shown ? 195 : 197) : (shown ? 231 : 234);
    command(u"miShowChecked")->setText(LanguageString(caption));
    command(u"miShowChecked")->setToolTip(hintTip(LanguageString(hint)));
    command(u"miShowChecked")->setStatusTip(hintStatus(LanguageString(hint)));
    updateToolbarShowChecked();
}

void TfmMain::performSort()
{
    CommitPreviewNotes();
    if (m_view.PrimKey < 0) {
        Ask::critical(this, LanguageString(266) + QStringLiteral("\r\n") + LanguageString(267));
        return;
    }
    m_view.AdvancedSort = true;
    RebuildView(false);
    m_list->header()->viewport()->update();
}

void TfmMain::sortSetup()
{
    TfmSort::Keys keys;
    keys.prim = m_view.PrimKey;
    keys.sec = m_view.SecKey;
    keys.ter = m_view.TerKey;
    keys.primAsc = m_view.PrimDir;
    keys.secAsc = m_view.SecDir;
    keys.terAsc = m_view.TerDir;
    TfmSort dialog(m_settings, keys, this);
    if (Ask::exec(dialog) != QDialog::Accepted)
        return;
    keys = dialog.keys();
    m_view.PrimKey = keys.prim;
    m_view.SecKey = keys.sec;
    m_view.TerKey = keys.ter;
    m_view.PrimDir = keys.primAsc;
    m_view.SecDir = keys.secAsc;
    m_view.TerDir = keys.terAsc;
    m_view.AdvancedSort = true;
    performSort();
}

void TfmMain::toggleBottomPanel()
{
    const bool show = !pExtra->isVisible();
    if (show) {
        // The panel comes back as high as it was, less when the list would keep under its minimum.
        const int room = m_mainSplit->height() - m_mainSplit->handleWidth() - minListHeight;
        const int height = std::max(0, std::min(m_memoHeight, room));
        pExtra->setVisible(true);
        m_mainSplit->setSizes({m_mainSplit->height() - m_mainSplit->handleWidth() - height, height});
    } else {
        m_memoHeight = pExtra->height();
        pExtra->setVisible(false);
    }
    command(u"miShowPanel")->setChecked(show);
    showPanelState(show);
}

void TfmMain::toggleCalendarPanel()
{
    pnlCalendar->setVisible(!pnlCalendar->isVisible());
    command(u"miShowCalendar")->setChecked(pnlCalendar->isVisible());
}
