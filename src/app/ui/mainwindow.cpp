#include "app/ui/mainwindow.h"

#include "app/ui/statuslamp.h"
#include "calendar/ui/calendarpanelwidget.h"
#include "core/applanguage.h"
#include "core/atomicfile.h"
#include "core/clock.h"
#include "core/datasetlist.h"
#include "core/daynumber.h"
#include "core/formatsettings.h"
#include "core/settingsnames.h"
#include "core/settingsstore.h"
#include "core/tablefiles.h"
#include "core/tasktable.h"
#include "core/ui/confirmbox.h"
#include "core/ui/datasetmanager.h"
#include "core/ui/foldererror.h"
#include "core/ui/memocommands.h"
#include "core/ui/widgetnames.h"
#include "tasks/ui/sortdialog.h"
#include "tasks/ui/taskheader.h"
#include "tasks/ui/tasklistwidget.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScopedValueRollback>
#include <QScreen>
#include <QSplitter>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QStyle>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// The limits the splitters keep from the edges of the client area.
constexpr int minListHeight = 65;
constexpr int minBottomDistance = 160;
constexpr int minNotesWidth = 60;
constexpr int minCalendarWidth = 257;

// Hints are "tooltip|status text"; a hint without "|" is both.
QString hintStatus(const QString& hint)
{
    const qsizetype bar = hint.indexOf(QLatin1Char('|'));
    return bar < 0 ? hint : hint.mid(bar + 1);
}

QString hintTip(const QString& hint)
{
    const qsizetype bar = hint.indexOf(QLatin1Char('|'));
    return bar < 0 ? hint : hint.left(bar);
}

} // namespace

TfmMain::TfmMain(SettingsStore& settings, QWidget* parent)
    : QMainWindow(parent), m_settings(settings), m_view(m_data.MainGrid), m_alarms(m_data.MainGrid, settings)
{
    setObjectName(QStringLiteral("fmMain"));
    setWindowTitle(programTitle());
    setMinimumSize(350, 300);
    m_view.CommitPreviewNotes = [this] { CommitPreviewNotes(); };

    createActions();
    createLayout();
    createStatusBar();
    createMenus();
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
    Savedata1 = makeAction(this, QStringLiteral("Savedata1"), QStringLiteral("&Backup data..."),
                           QKeySequence(Qt::CTRL | Qt::Key_S), QStringLiteral("Backup program data files"));
    Loaddata1 = makeAction(this, QStringLiteral("Loaddata1"), QStringLiteral("&Restore data..."),
                           QKeySequence(Qt::CTRL | Qt::Key_O), QStringLiteral("Restore program data files"));
    Cleanup1 = makeAction(this, QStringLiteral("Cleanup1"), QStringLiteral("Purge &tasks to log..."), {},
                          QStringLiteral("Remove unnecessary tasks"));
    Datasetmanager1 =
        makeAction(this, QStringLiteral("Datasetmanager1"), QStringLiteral("Database &manager..."),
                   QKeySequence(Qt::CTRL | Qt::Key_M), QStringLiteral("Manage data files - to-do list, diary, etc."));
    miMinimize = makeAction(this, QStringLiteral("miMinimize"), QStringLiteral("&Minimize"),
                            QKeySequence(Qt::CTRL | Qt::Key_F4), QStringLiteral("Minimize the program"));
    miExit = makeAction(this, QStringLiteral("miExit"), QStringLiteral("E&xit"), {}, QStringLiteral("Exit program"));
    connect(Savedata1, &QAction::triggered, this, &TfmMain::backupData);
    connect(Loaddata1, &QAction::triggered, this, &TfmMain::restoreData);
    connect(Cleanup1, &QAction::triggered, this, &TfmMain::purgeTasks);
    connect(Datasetmanager1, &QAction::triggered, this, &TfmMain::openDatasetManager);
    connect(miMinimize, &QAction::triggered, this, &QWidget::showMinimized);
    connect(miExit, &QAction::triggered, this, &QWidget::close);

    Showalltasks1 = makeAction(this, QStringLiteral("Showalltasks1"), QStringLiteral("Show all tasks"),
                               QKeySequence(Qt::Key_Escape), QStringLiteral("Show all tasks"));
    miShowChecked = makeAction(this, QStringLiteral("miShowChecked"), QStringLiteral("Show &completed"),
                               QKeySequence(Qt::CTRL | Qt::Key_F5));
    miPerformSort = makeAction(this, QStringLiteral("miPerformSort"), QStringLiteral("&3-level sort"),
                               QKeySequence(Qt::Key_F3), QStringLiteral("Perform 3-level sort"));
    miSort = makeAction(this, QStringLiteral("miSort"), QStringLiteral("3-level &sort setup..."),
                        QKeySequence(Qt::CTRL | Qt::Key_F3), QStringLiteral("3-level sort setup"));
    Autosizecolumns1 = makeAction(this, QStringLiteral("Autosizecolumns1"), QStringLiteral("&Autosize columns"),
                                  QKeySequence(Qt::CTRL | Qt::Key_A), QStringLiteral("Autosize columns"));
    miShowPanel = makeAction(this, QStringLiteral("miShowPanel"), QStringLiteral("Show calendar/&notes panel"),
                             QKeySequence(Qt::Key_F4), QStringLiteral("Show or hide the notes and calendar panel"));
    miShowCalendar = makeAction(this, QStringLiteral("miShowCalendar"), QStringLiteral("Show c&alendar panel"),
                                QKeySequence(Qt::Key_F6), QStringLiteral("Show or hide the calendar panel"));
    miShowPanel->setCheckable(true);
    miShowCalendar->setCheckable(true);
    connect(Showalltasks1, &QAction::triggered, this, &TfmMain::showAllTasks);
    connect(miShowChecked, &QAction::triggered, this, &TfmMain::toggleShowCompleted);
    connect(miPerformSort, &QAction::triggered, this, &TfmMain::performSort);
    connect(miSort, &QAction::triggered, this, &TfmMain::sortSetup);
    connect(Autosizecolumns1, &QAction::triggered, this, [this] { m_list->AutosizeColumns(); });
    connect(miShowPanel, &QAction::triggered, this, &TfmMain::toggleBottomPanel);
    connect(miShowCalendar, &QAction::triggered, this, &TfmMain::toggleCalendarPanel);

    Addtask1 = makeAction(this, QStringLiteral("Addtask1"), QStringLiteral("&Add..."), QKeySequence(Qt::Key_Insert),
                          QStringLiteral("Add a new task"));
    Edittask1 = makeAction(this, QStringLiteral("Edittask1"), QStringLiteral("&Edit..."), QKeySequence(Qt::Key_F2),
                           QStringLiteral("Edit selected task"));
    Removetask1 = makeAction(this, QStringLiteral("Removetask1"), QStringLiteral("&Delete"),
                             QKeySequence(Qt::CTRL | Qt::Key_Delete), QStringLiteral("Delete selected task"));
    miComplete1 = makeAction(this, QStringLiteral("miComplete1"), QStringLiteral("&Check/unCheck"),
                             QKeySequence(Qt::CTRL | Qt::Key_Space), QStringLiteral("Check/unCheck as complete"));
    Runattachments1 = makeAction(this, QStringLiteral("Runattachments1"), QStringLiteral("&Run attachments"),
                                 QKeySequence(Qt::CTRL | Qt::Key_R), QStringLiteral("Open the attached file"));
    miFilter = makeAction(this, QStringLiteral("miFilter"), QStringLiteral("Fil&ter..."), QKeySequence(Qt::Key_F7),
                          QStringLiteral("Filter tasks"));
    connect(Addtask1, &QAction::triggered, this, &TfmMain::AddTask);
    connect(Edittask1, &QAction::triggered, this, &TfmMain::editSelectedTask);
    connect(Removetask1, &QAction::triggered, this, &TfmMain::deleteSelectedTask);
    connect(miComplete1, &QAction::triggered, this, &TfmMain::CheckTask);
    connect(Runattachments1, &QAction::triggered, this, &TfmMain::runSelectedAttachment);
    connect(miFilter, &QAction::triggered, this, &TfmMain::showFilterDialog);

    miMainMenuEnableAlarms = makeAction(this, QStringLiteral("miMainMenuEnableAlarms"), QStringLiteral("Enable alarms"),
                                        {}, QStringLiteral("Switch the alarms on or off"));
    miMainMenuEnableAlarms->setCheckable(true);
    connect(miMainMenuEnableAlarms, &QAction::triggered, this, &TfmMain::miEnableAlarmsClick);

    pmTasks = new QMenu(this);
    pmTasks->setObjectName(QStringLiteral("pmTasks"));
    const auto popupItem = [this](const char* name, const char* text, auto handler) {
        QAction* a = makeAction(pmTasks, QString::fromLatin1(name), QString::fromLatin1(text));
        pmTasks->addAction(a);
        connect(a, &QAction::triggered, this, handler);
    };
    popupItem("Add1", "&Add", &TfmMain::AddTask);
    popupItem("Edit2", "&Edit", &TfmMain::editSelectedTask);
    popupItem("Delete1", "&Delete", &TfmMain::deleteSelectedTask);
    pmTasks->addSeparator();
    popupItem("miComplete", "&Check/unCheck", &TfmMain::CheckTask);

    m_projectGroup = new QActionGroup(this);
    m_assigneeGroup = new QActionGroup(this);
    m_deadlineGroup = new QActionGroup(this);
    AllTasks = makeAction(this, QStringLiteral("AllTasks"), QStringLiteral("&All projects"), QKeySequence(Qt::Key_F10),
                          QStringLiteral("Show the tasks of all projects"));
    Noprojects1 = makeAction(this, QStringLiteral("Noprojects1"), QStringLiteral("&Unassigned"),
                             QKeySequence(Qt::CTRL | Qt::Key_F10), QStringLiteral("Show the tasks without project"));
    AllAssignee = makeAction(this, QStringLiteral("AllAssignee"), QStringLiteral("&All assignees"),
                             QKeySequence(Qt::Key_F9), QStringLiteral("Show the tasks of all assignees"));
    NoAssignee = makeAction(this, QStringLiteral("NoAssignee"), QStringLiteral("&Unassigned"),
                            QKeySequence(Qt::CTRL | Qt::Key_F9), QStringLiteral("Show the tasks without assignee"));
    for (QAction* a : {AllTasks, Noprojects1}) {
        a->setCheckable(true);
        m_projectGroup->addAction(a);
    }
    for (QAction* a : {AllAssignee, NoAssignee}) {
        a->setCheckable(true);
        m_assigneeGroup->addAction(a);
    }
    AllTasks->setChecked(true);
    AllAssignee->setChecked(true);
    connect(AllTasks, &QAction::triggered, this, [this] { chooseProjectFilter({}, LanguageString(265)); });
    connect(Noprojects1, &QAction::triggered, this, [this] { chooseProjectFilter({QString()}, LanguageString(242)); });
    connect(AllAssignee, &QAction::triggered, this, [this] { chooseAssigneeFilter({}, LanguageString(248)); });
    connect(NoAssignee, &QAction::triggered, this, [this] { chooseAssigneeFilter({QString()}, LanguageString(247)); });

    struct DeadlineItem {
        const char* name;
        const char* text;
        QKeySequence key;
    };
    const DeadlineItem deadlines[DeadlineRuleCount] = {
        {"Alltasks1", "&All dates", QKeySequence(Qt::Key_F8)},
        {"Unassigned1", "&No due date", QKeySequence(Qt::CTRL | Qt::Key_F8)},
        {"Today1", "&Today", QKeySequence(Qt::CTRL | Qt::Key_1)},
        {"Tomorrrow1", "T&omorrow", QKeySequence(Qt::CTRL | Qt::Key_2)},
        {"Thisweek1", "This &week", QKeySequence(Qt::CTRL | Qt::Key_3)},
        {"Nextweek1", "&Next week", QKeySequence(Qt::CTRL | Qt::Key_4)},
        {"Thismonth1", "This &month", QKeySequence(Qt::CTRL | Qt::Key_5)},
        {"Recurring1", "&Recurring only", QKeySequence(Qt::CTRL | Qt::Key_6)},
    };
    for (int rule = 0; rule < DeadlineRuleCount; ++rule) {
        QAction* a = makeAction(this, QString::fromLatin1(deadlines[rule].name),
                                QString::fromLatin1(deadlines[rule].text), deadlines[rule].key);
        a->setCheckable(true);
        a->setData(rule);
        m_deadlineGroup->addAction(a);
        m_deadlineItems.append(a);
        connect(a, &QAction::triggered, this, [this, rule] { chooseDeadline(rule); });
    }
    m_deadlineItems[ruleAllDates]->setChecked(true);
}

void TfmMain::createMenus()
{
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("File1"));
    file->addActions({Savedata1, Loaddata1, Cleanup1});
    file->addSeparator();
    file->addAction(Datasetmanager1);
    file->addSeparator();
    file->addActions({miMinimize, miExit});

    QMenu* task = menuBar()->addMenu(QStringLiteral("&Task"));
    task->setObjectName(QStringLiteral("Task1"));
    task->addActions({Addtask1, Edittask1, Removetask1});
    task->addSeparator();
    task->addAction(miComplete1);
    task->addSeparator();
    task->addAction(Runattachments1);

    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("View1"));
    view->addActions({miFilter, Showalltasks1, miShowChecked});
    view->addSeparator();
    view->addActions({miPerformSort, miSort, Autosizecolumns1});
    view->addSeparator();
    view->addActions({miShowPanel, miShowCalendar});

    m_projectMenu = menuBar()->addMenu(QStringLiteral("&Project"));
    m_projectMenu->setObjectName(QStringLiteral("Project1"));
    m_projectMenu->addActions({AllTasks, Noprojects1});
    m_projectMenu->addSeparator();

    m_assigneeMenu = menuBar()->addMenu(QStringLiteral("&Assign"));
    m_assigneeMenu->setObjectName(QStringLiteral("Assign1"));
    m_assigneeMenu->addActions({AllAssignee, NoAssignee});
    m_assigneeMenu->addSeparator();

    QMenu* deadline = menuBar()->addMenu(QStringLiteral("&Deadline"));
    deadline->setObjectName(QStringLiteral("Deadline1"));
    deadline->addActions(m_deadlineItems);

    QMenu* calendar = menuBar()->addMenu(QStringLiteral("&Calendar"));
    calendar->setObjectName(QStringLiteral("Calendar1"));
    m_calendar->fillCalendarMenu(calendar);

    QMenu* configuration = menuBar()->addMenu(QStringLiteral("C&onfiguration"));
    configuration->setObjectName(QStringLiteral("Configuration1"));
    configuration->addAction(miMainMenuEnableAlarms);
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
    auto* notesArea = new QWidget;
    notesArea->setObjectName(QStringLiteral("pnlMemo"));
    auto* notesLayout = new QVBoxLayout(notesArea);
    notesLayout->setContentsMargins(2, 2, 2, 2);
    notesLayout->setSpacing(2);
    auto* header = new QHBoxLayout;
    auto* notesLabel = new QLabel(QStringLiteral("Notes:"));
    btnHide = new QToolButton;
    btnHide->setObjectName(QStringLiteral("btnHide"));
    btnHide->setAutoRaise(true);
    btnHide->setArrowType(Qt::DownArrow);
    btnHide->setToolTip(hintTip(LanguageString(245)));
    connect(btnHide, &QToolButton::clicked, this, &TfmMain::toggleBottomPanel);
    header->addWidget(notesLabel);
    header->addStretch();
    header->addWidget(btnHide);
    memoPreview = new QPlainTextEdit;
    memoPreview->setObjectName(QStringLiteral("memoPreview"));
    memoPreview->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memoPreview->installEventFilter(this);
    installMemoCommands(memoPreview);
    edAttach = new QLineEdit;
    edAttach->setObjectName(QStringLiteral("edAttach"));
    edAttach->setReadOnly(true);
    edAttach->setPlaceholderText(QStringLiteral("No attached file"));
    edAttach->setContextMenuPolicy(Qt::CustomContextMenu);
    edAttach->installEventFilter(this);
    connect(edAttach, &QLineEdit::customContextMenuRequested, this,
            [this](const QPoint& pos) { showAttachmentMenu(edAttach->mapToGlobal(pos)); });
    btnRunAttachment = new QToolButton;
    btnRunAttachment->setObjectName(QStringLiteral("btnRunAttachment"));
    btnRunAttachment->setAutoRaise(true);
    btnRunAttachment->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
    btnRunAttachment->setToolTip(QStringLiteral("Run attachments"));
    connect(btnRunAttachment, &QToolButton::clicked, this, &TfmMain::runSelectedAttachment);
    auto* attachRow = new QHBoxLayout;
    attachRow->setSpacing(2);
    attachRow->addWidget(edAttach, 1);
    attachRow->addWidget(btnRunAttachment);
    notesLayout->addLayout(header);
    notesLayout->addWidget(memoPreview, 1);
    notesLayout->addLayout(attachRow);

    pnlCalendar = new QWidget;
    pnlCalendar->setObjectName(QStringLiteral("pnlCalendar"));
    auto* calendarLayout = new QVBoxLayout(pnlCalendar);
    calendarLayout->setContentsMargins(0, 0, 0, 0);
    m_calendar = new TCalendarPanelWidget(m_settings, m_data);
    calendarLayout->addWidget(m_calendar);
    pnlCalendar->setMinimumWidth(minCalendarWidth);
    connect(m_calendar, &TCalendarPanelWidget::specialDaysRequested, this, &TfmMain::editSpecialDays);
    connect(m_calendar, &TCalendarPanelWidget::dayChanged, this, &TfmMain::dayChangeRefresh);
    connect(m_calendar, &TCalendarPanelWidget::clockTicked, this, &TfmMain::alarmClockTick);

    m_extraSplit = new QSplitter(Qt::Horizontal);
    m_extraSplit->setObjectName(QStringLiteral("vSplitter"));
    m_extraSplit->addWidget(notesArea);
    m_extraSplit->addWidget(pnlCalendar);
    m_extraSplit->setChildrenCollapsible(false);
    m_extraSplit->setStretchFactor(0, 1);
    m_extraSplit->setStretchFactor(1, 0);
    notesArea->setMinimumWidth(minNotesWidth);

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
    setCentralWidget(m_mainSplit);
}

void TfmMain::createStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar"));
    bar->setSizeGripEnabled(true);
    btnStatusHide = new QToolButton;
    btnStatusHide->setObjectName(QStringLiteral("btnStatusHide"));
    btnStatusHide->setAutoRaise(true);
    btnStatusHide->setArrowType(Qt::DownArrow);
    btnStatusHide->setToolTip(hintTip(LanguageString(245)));
    connect(btnStatusHide, &QToolButton::clicked, this, &TfmMain::toggleBottomPanel);
    m_lamp = new FilterLamp;
    m_hintPanel = new QLabel;
    m_hintPanel->setObjectName(QStringLiteral("lblHint"));
    m_countPanel = new QLabel;
    m_countPanel->setObjectName(QStringLiteral("lblCount"));
    m_countPanel->setFixedWidth(70);
    m_projectPanel = new QLabel(LanguageString(199));
    m_projectPanel->setObjectName(QStringLiteral("lblProject"));
    m_projectPanel->setFixedWidth(120);
    m_assigneePanel = new QLabel(LanguageString(200));
    m_assigneePanel->setObjectName(QStringLiteral("lblAssignee"));
    m_assigneePanel->setFixedWidth(120);
    bar->addPermanentWidget(btnStatusHide);
    bar->addPermanentWidget(m_lamp);
    bar->addPermanentWidget(m_hintPanel, 1);
    bar->addPermanentWidget(m_countPanel);
    bar->addPermanentWidget(m_projectPanel);
    bar->addPermanentWidget(m_assigneePanel);
}

bool TfmMain::event(QEvent* event)
{
    // Hints go to their own panel so the other panels stay visible.
    if (event->type() == QEvent::StatusTip) {
        m_hintPanel->setText(static_cast<QStatusTipEvent*>(event)->tip());
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
        ModalBusy = true;
        TfmDatasetManager manager(m_settings, programFolder(), m_data.name(), m_data.folder(), this);
        const bool chosen = manager.exec() == QDialog::Accepted;
        ModalBusy = false;
        if (!chosen || manager.chosenFolder() == m_data.folder())
            return;
        m_data.unlock();
        m_data.setLocation(manager.chosenName(), manager.chosenFolder());
        if (m_startUpDone)
            QTimer::singleShot(0, this, [this] {
                if (lockAndOpen(false))
                    RebuildView(false);
            });
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
        m_projectPanel->setText(LanguageString(201));
    }
    if (!m_view.AssigneeFilter.isEmpty()) {
        for (QAction* a : m_assigneeGroup->actions())
            a->setChecked(false);
        m_assigneePanel->setText(LanguageString(202));
    }
    m_deadlineItems.value(m_view.DeadlineRuleTag, m_deadlineItems.first())->setChecked(true);
    updateShowCompletedTexts(true);
    miMainMenuEnableAlarms->setChecked(AlarmScheduler::alarmsEnabled(m_settings));
    m_list->loadSettings();

    if (!lockAndOpen(true)) {
        m_quit = true;
        return false;
    }
    tidyDiaryTable(m_data.gridDiary);
    m_calendar->setCalendarDate(m_calendarDate);
    m_startUpDone = true;
    return true;
}

bool TfmMain::chooseDataSetAtStartUp()
{
    DataSetList list(programFolder());
    list.load(m_settings);
    if (list.defaultMade()) {
        m_data.setLocation(list.nameAt(0), list.folderAt(0));
        // Keep the default data set in the list and as the start-up choice, as the manager's
        // chooser would store it, so the next start opens it again without the manager.
        list.save();
        list.storeStartupChoice(m_settings, list.startupSelection(m_settings));
        return true;
    }
    const int row = list.startupRow(m_settings);
    if (row >= 0) {
        m_data.setLocation(list.nameAt(row), list.folderAt(row));
        return true;
    }
    TfmDatasetManager manager(m_settings, programFolder(), QString(), QString(), this);
    if (manager.exec() != QDialog::Accepted)
        return false;
    m_data.setLocation(manager.chosenName(), manager.chosenFolder());
    return true;
}

bool TfmMain::lockAndOpen(bool atStartUp)
{
    for (;;) {
        if (m_data.lock() == DataSetLock::Result::Locked) {
            openDataSet();
            return true;
        }
        showLockFailure();
        ModalBusy = true;
        TfmDatasetManager manager(m_settings, programFolder(), atStartUp ? QString() : m_data.name(),
                                  atStartUp ? QString() : m_data.folder(), this);
        const bool chosen = manager.exec() == QDialog::Accepted;
        ModalBusy = false;
        if (!chosen)
            return false;
        m_data.setLocation(manager.chosenName(), manager.chosenFolder());
    }
}

void TfmMain::openDataSet()
{
    const DataSet::OpenResult result = m_data.open();
    showTableMessages(result.messages);
    if (!result.ok())
        QMessageBox::critical(this, programTitle(), result.errors.join(QStringLiteral("\n")));
    BuildFilterMenus();
    RebuildView(false);
    m_calendar->refreshAll();
    updateCaption();
    // An alarm already overdue comes up once the event loop runs, over the window rather than
    // before it.
    QTimer::singleShot(0, this, &TfmMain::ScheduleNextAlarm);
}

void TfmMain::showTableMessages(const QList<TableMessage>& messages)
{
    for (const TableMessage& m : messages) {
        QStringList texts;
        for (const int n : m.strings)
            texts.append(LanguageString(n));
        const QString text = texts.join(QStringLiteral("\r\n"));
        if (m.kind == TableMessage::Warning)
            QMessageBox::warning(this, programTitle(), text);
        else
            QMessageBox::critical(this, programTitle(), text);
    }
}

void TfmMain::showLockFailure()
{
    QString text = LanguageString(190) + QStringLiteral("\r\n") + LanguageString(191) + QStringLiteral("\r\n\r\n") +
                   LanguageString(192) + QStringLiteral("\r\n\r\n") + LanguageString(193);
    // Not held by another copy but refused by the system (folder missing or read-only): say why.
    if (const QString reason = m_data.lockError(); !reason.isEmpty())
        text += QStringLiteral("\r\n\r\n") + reason;
    QMessageBox::critical(this, programTitle(), text);
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
    const int memoHeight = m_settings.readInteger(Settings::Size, Settings::MemoHeight, 139);
    const int calendarWidth = m_settings.readInteger(Settings::Size, Settings::VSplit, 257);
    m_mainSplit->setSizes({std::max(minListHeight, m_mainSplit->height() - memoHeight), memoHeight});
    m_extraSplit->setSizes({std::max(minNotesWidth, m_extraSplit->width() - calendarWidth), calendarWidth});
    const bool memoVisible = m_settings.readBool(Settings::Size, Settings::MemoVisible, true);
    const bool calendarVisible = m_settings.readBool(Settings::Size, Settings::CalendarVisible, true);
    pExtra->setVisible(memoVisible);
    pnlCalendar->setVisible(calendarVisible);
    miShowPanel->setChecked(memoVisible);
    miShowCalendar->setChecked(calendarVisible);
    for (QToolButton* b : {btnHide, btnStatusHide}) {
        b->setArrowType(memoVisible ? Qt::DownArrow : Qt::UpArrow);
        b->setToolTip(hintTip(LanguageString(memoVisible ? 245 : 246)));
    }
    placeSplitterLimits();
    if (m_settings.readBool(Settings::Other, Settings::Autosize, true))
        m_list->AutosizeColumns();
}

void TfmMain::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    // Minimising is a save point of the diary: the program may be left like that for days.
    if (event->type() == QEvent::WindowStateChange && isMinimized() && m_startUpDone && !m_quit) {
        m_calendar->storeDiary();
        const QString error = m_data.saveDiary();
        if (!error.isEmpty())
            QMessageBox::critical(this, programTitle(), error);
    }
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
    const int statusHeight = statusBar()->isVisible() ? statusBar()->height() : 0;
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
        const auto answer = QMessageBox::critical(
            this, programTitle(), errors.join(QStringLiteral("\n")) + QStringLiteral("\n\nExit anyway?"),
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
        if (pExtra->isVisible())
            m_settings.writeInteger(Settings::Size, Settings::MemoHeight, pExtra->height());
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
    if (isMinimized())
        showNormal();
    else if (!isVisible())
        show();
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
    m_lamp->setFiltered(last.filtered);
    m_countPanel->setText(LanguageString(809) + QString::number(last.taskCount));
}

void TfmMain::CommitPreviewNotes()
{
    if (!memoPreview || !memoPreview->document()->isModified())
        return;
    const int row = m_view.currentRow();
    const QString cell = encodeNotesText(memoPreview->toPlainText());
    m_view.MirrorGrid.setCell(row, colNotes, cell);
    if (LocateTaskRow(m_data.MainGrid, m_view.MirrorGrid, row))
        m_data.MainGrid.setCell(m_data.MainGrid.currentRow(), colNotes, cell);
    memoPreview->document()->setModified(false);
    m_list->viewGrid()->viewport()->update();
}

void TfmMain::showSelectedTask()
{
    const int row = m_view.currentRow();
    const QString notes = m_view.MirrorGrid.cellText(row, colNotes);
    memoPreview->setPlainText(notes.isEmpty() ? QString() : decodeNotesText(notes));
    memoPreview->document()->setModified(false);
    // Without a task there is nothing the notes could belong to.
    memoPreview->setReadOnly(m_list->lastRebuild().taskCount == 0);
    memoPreview->moveCursor(QTextCursor::Start);
    ShowAttachment(true);
}

void TfmMain::ShowAttachment(bool fromSelection)
{
    const QString path = m_view.MirrorGrid.cellText(m_view.currentRow(), colAttachment);
    edAttach->setText(path);
    edAttach->setCursorPosition(0);
    const QString hint = path + LanguageString(fromSelection ? 223 : 222);
    edAttach->setToolTip(hintTip(hint));
    edAttach->setStatusTip(hintStatus(hint));
}

void TfmMain::BuildFilterMenus()
{
    const auto rebuild = [](QMenu* menu, QActionGroup* group, QList<QAction*>& items, const NameList& names,
                            const QStringList& filter, auto handler) {
        for (QAction* a : items) {
            group->removeAction(a);
            menu->removeAction(a);
            a->deleteLater();
        }
        items.clear();
        for (const QString& name : names.names()) {
            auto* a = new QAction(name, menu);
            a->setCheckable(true);
            // A name with "&" would otherwise turn into a keyboard accelerator.
            a->setText(QString(name).replace(QLatin1Char('&'), QStringLiteral("&&")));
            group->addAction(a);
            menu->addAction(a);
            items.append(a);
            if (filter.size() == 1 && QString::compare(filter.first(), name, Qt::CaseInsensitive) == 0 &&
                !name.isEmpty())
                a->setChecked(true);
            QObject::connect(a, &QAction::triggered, menu, [handler, name] { handler(name); });
        }
    };
    rebuild(m_projectMenu, m_projectGroup, m_projectItems, m_data.projects, m_view.ProjectFilter,
            [this](const QString& name) { chooseProjectFilter({name}, name); });
    rebuild(m_assigneeMenu, m_assigneeGroup, m_assigneeItems, m_data.assignees, m_view.AssigneeFilter,
            [this](const QString& name) {
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
    AllTasks->setChecked(true);
    AllAssignee->setChecked(true);
    m_deadlineItems[ruleAllDates]->setChecked(true);
    afterFilterChange();
    m_projectPanel->setText(LanguageString(227));
    m_assigneePanel->setText(LanguageString(228));
}

void TfmMain::chooseProjectFilter(const QStringList& projects, const QString& statusText)
{
    CommitPreviewNotes();
    m_view.ProjectFilter = TaskView::normalizedNames(projects);
    afterFilterChange();
    m_projectPanel->setText(statusText);
}

void TfmMain::chooseAssigneeFilter(const QStringList& assignees, const QString& statusText)
{
    CommitPreviewNotes();
    m_view.AssigneeFilter = TaskView::normalizedNames(assignees);
    afterFilterChange();
    m_assigneePanel->setText(statusText);
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
    miShowChecked->setText(LanguageString(caption));
    miShowChecked->setToolTip(hintTip(LanguageString(hint)));
    miShowChecked->setStatusTip(hintStatus(LanguageString(hint)));
}

void TfmMain::performSort()
{
    CommitPreviewNotes();
    if (m_view.PrimKey < 0) {
        QMessageBox::critical(this, programTitle(), LanguageString(266) + QStringLiteral("\r\n") + LanguageString(267));
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
    TfmSort dialog(keys, this);
    if (dialog.exec() != QDialog::Accepted)
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
        // The list keeps at least its minimum height.
        const int room = m_mainSplit->height() - m_mainSplit->handleWidth() - minListHeight;
        QList<int> sizes = m_mainSplit->sizes();
        if (sizes.size() == 2 && sizes[1] > room) {
            sizes[1] = std::max(0, room);
            sizes[0] = m_mainSplit->height() - sizes[1];
        }
        pExtra->setVisible(true);
        m_mainSplit->setSizes(sizes);
    } else {
        pExtra->setVisible(false);
    }
    miShowPanel->setChecked(show);
    for (QToolButton* b : {btnHide, btnStatusHide}) {
        b->setArrowType(show ? Qt::DownArrow : Qt::UpArrow);
        b->setToolTip(hintTip(LanguageString(show ? 245 : 246)));
    }
}

void TfmMain::toggleCalendarPanel()
{
    pnlCalendar->setVisible(!pnlCalendar->isVisible());
    miShowCalendar->setChecked(pnlCalendar->isVisible());
}
