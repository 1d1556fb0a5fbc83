#include "app/ui/preferencesdialog.h"

#include "alarms/ui/alarmsound.h"
#include "app/autostart.h"
#include "app/ui/orderedchecklist.h"
#include "core/applanguage.h"
#include "core/dataset.h"
#include "core/settingsnames.h"
#include "core/settingsstore.h"
#include "core/tasktable.h"
#include "core/ui/ask.h"
#include "core/ui/formplacement.h"
#include "core/ui/setpassworddialog.h"
#include "core/ui/widgetnames.h"
#include "tasks/ui/projnamedialog.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr const char* ColorProperty = "colorNumber";

QCheckBox* checkBox(QWidget* parent, const QString& name, const QString& text)
{
    return named(new QCheckBox(text, parent), name);
}

QPushButton* button(QWidget* parent, const QString& name, const QString& text)
{
    return named(new QPushButton(text, parent), name);
}

QWidget* page(QLayout* layout)
{
    auto* widget = new QWidget;
    widget->setLayout(layout);
    return widget;
}

QVBoxLayout* column(std::initializer_list<QWidget*> widgets)
{
    auto* layout = new QVBoxLayout;
    for (QWidget* w : widgets)
        layout->addWidget(w);
    layout->addStretch(1);
    return layout;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// The name lists

QString TfmPreferences::NamePage::selectedName() const
{
    const QListWidgetItem* item = list->currentItem();
    return item != nullptr && item->isSelected() ? item->text() : QString();
}

int TfmPreferences::NamePage::tickedIndex() const
{
    for (int i = 0; i < list->count(); ++i) {
        if (list->item(i)->checkState() == Qt::Checked)
            return i;
    }
    return -1;
}

void TfmPreferences::NamePage::fill(const QString& select, const QString& ticked)
{
    const QScopedValueRollback guard(filling, true);
    list->clear();
    for (const QString& name : names.names()) {
        auto* item = new QListWidgetItem(name, list);
        item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(name == ticked ? Qt::Checked : Qt::Unchecked);
        if (name == select)
            list->setCurrentItem(item);
    }
}

// ---------------------------------------------------------------------------------------------
// Building the dialog

TfmPreferences::TfmPreferences(SettingsStore& settings, DataSet& data, QWidget* parent)
    : QDialog(parent), m_settings(settings), m_data(data)
{
    setObjectName(u"TfmPreferences"_s);
    setWindowTitle(u"Options"_s);
    m_sound = new TAlarmSound(this);

    m_projects.kind = u"Project"_s;
    m_projects.column = colProject;
    m_projects.changed = &ProjectsChanged;
    m_projects.names = data.projects;
    m_assignees.kind = u"Assignee"_s;
    m_assignees.column = colAssignee;
    m_assignees.changed = &AssigneesChanged;
    m_assignees.names = data.assignees;

    m_tabs = named(new QTabWidget(this), u"PageControl1"_s);
    // Every tab in sight: the dialog is as wide as its nine captions.
    m_tabs->tabBar()->setUsesScrollButtons(false);
    m_tabs->addTab(createGeneralPage(), u"General"_s);
    m_tabs->addTab(createColorsPage(), u"Colors"_s);
    m_tabs->addTab(createDisplayPage(), u"Display"_s);
    m_tabs->addTab(createEditingPage(), u"Editing"_s);
    m_tabs->addTab(createCalendarPage(), u"Calendar"_s);
    m_tabs->addTab(createToolbarPage(), u"Toolbar"_s);
    m_tabs->addTab(createProjectsPage(), u"Projects and Assignees"_s);
    m_tabs->addTab(createConfirmationsPage(), u"Confirmations"_s);
    m_tabs->addTab(createAlarmsPage(), u"Alarms"_s);

    auto* BitBtn1 = button(this, u"BitBtn1"_s, u"&Defaults"_s);
    auto* btnOK = button(this, u"btnOK"_s, u"&OK"_s);
    btnOK->setDefault(true);
    auto* btnCancel = button(this, u"btnCancel"_s, u"&Cancel"_s);
    auto* btnHelp = button(this, u"btnHelp"_s, u"&Help"_s);
    offerHelpButton(btnHelp);
    connect(BitBtn1, &QPushButton::clicked, this, &TfmPreferences::BitBtn1Click);
    connect(btnOK, &QPushButton::clicked, this, &TfmPreferences::accept);
    connect(btnCancel, &QPushButton::clicked, this, &TfmPreferences::reject);
    connect(btnHelp, &QPushButton::clicked, this, [this] { Q_EMIT helpRequested(u"preferences"_s); });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(BitBtn1);
    buttons->addStretch(1);
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    buttons->addWidget(btnHelp);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize); // a fixed dialog border

    const PreferenceValues values = readPreferences(settings);
    setValues(values);
    const auto tickedName = [](const NameList& names, int index) { return names.names().value(index); };
    m_projects.fill({}, tickedName(m_projects.names, values.defaultProject));
    m_assignees.fill({}, tickedName(m_assignees.names, values.defaultAssignee));
    ToolbarChanged = ColumnsChanged = ProjectsChanged = AssigneesChanged = false;
    restoreFormPlacement(this, m_settings, Settings::Forms::PreferencesForm);
}

TfmPreferences::~TfmPreferences() = default;

QWidget* TfmPreferences::createGeneralPage()
{
    auto* iconBox = named(new QGroupBox(u"System tray icon"_s), u"rbIcon"_s);
    rbIconOriginal = named(new QRadioButton(u"Original icon"_s, iconBox), u"rbIconOriginal"_s);
    rbIconDate = named(new QRadioButton(u"Date icon"_s, iconBox), u"rbIconDate"_s);
    auto* iconLayout = new QVBoxLayout(iconBox);
    iconLayout->addWidget(rbIconOriginal);
    iconLayout->addWidget(rbIconDate);

    cbShowStar = checkBox(nullptr, u"cbShowStar"_s, u"Show star icon on special days"_s);
    checkRunMin = checkBox(nullptr, u"checkRunMin"_s, u"Run program minimized"_s);
    chkStart = checkBox(nullptr, u"chkStart"_s, u"Start with the system"_s);
    cbAutoLog = checkBox(nullptr, u"cbAutoLog"_s, u"Automatically log completed tasks"_s);
    cbCalendar = checkBox(nullptr, u"cbCalendar"_s, u"Remember calendar date on exit"_s);

    auto* passwordBox = new QGroupBox(u"Password"_s);
    CheckBox4 = checkBox(passwordBox, u"CheckBox4"_s, u"Enable password protection"_s);
    CheckBox4->setToolTip(u"The password guards the program's window. It does not encrypt the data files."_s);
    btnPassword = button(passwordBox, u"btnPassword"_s, u"Set password..."_s);
    rgPrompt = named(new QGroupBox(u"Ask for password"_s, passwordBox), u"rgPrompt"_s);
    rbPromptStart = named(new QRadioButton(u"On program startup"_s, rgPrompt), u"rbPromptStart"_s);
    rbPromptActivate = named(new QRadioButton(u"On every program activate"_s, rgPrompt), u"rbPromptActivate"_s);
    auto* promptLayout = new QVBoxLayout(rgPrompt);
    promptLayout->addWidget(rbPromptStart);
    promptLayout->addWidget(rbPromptActivate);
    auto* note = new QLabel(u"The password guards the program's window, not the data files."_s, passwordBox);
    note->setWordWrap(true);
    auto* passwordLayout = new QGridLayout(passwordBox);
    passwordLayout->addWidget(CheckBox4, 0, 0);
    passwordLayout->addWidget(btnPassword, 0, 1);
    passwordLayout->addWidget(rgPrompt, 1, 0, 1, 2);
    passwordLayout->addWidget(note, 2, 0, 1, 2);
    connect(CheckBox4, &QCheckBox::toggled, this, &TfmPreferences::CheckBox4Click);
    connect(btnPassword, &QPushButton::clicked, this, &TfmPreferences::btnPasswordClick);

    auto* left = column({iconBox, cbShowStar, checkRunMin, chkStart, cbAutoLog, cbCalendar});
    auto* layout = new QHBoxLayout;
    layout->addLayout(left);
    layout->addWidget(passwordBox, 0, Qt::AlignTop);
    return page(layout);
}

QPushButton* TfmPreferences::colorPanel(const QString& name)
{
    auto* panel = button(nullptr, name, QString());
    panel->setFixedSize(64, 22);
    panel->setToolTip(u"Click to choose the colour"_s);
    connect(panel, &QPushButton::clicked, this, [this, panel] { panelClick(panel); });
    return panel;
}

QWidget* TfmPreferences::createColorsPage()
{
    auto* priorities = new QGroupBox(u"Priority colors"_s);
    auto* grid = new QGridLayout(priorities);
    const std::pair<QPushButton**, std::pair<QString, QString>> rows[] = {
        {&panelHigh, {u"panelHigh"_s, u"High (1)"_s}},
        {&panelMedium, {u"panelMedium"_s, u"Medium (2)"_s}},
        {&panelLow, {u"panelLow"_s, u"Low (3)"_s}},
        {&panelAdvanced, {u"panelAdvanced"_s, u"All others"_s}},
    };
    int r = 0;
    for (const auto& [member, texts] : rows) {
        *member = colorPanel(texts.first);
        grid->addWidget(*member, r, 0);
        grid->addWidget(new QLabel(texts.second), r++, 1);
    }
    grid->setColumnStretch(1, 1);

    auto* other = new QGroupBox(u"Other colors"_s);
    auto* otherGrid = new QGridLayout(other);
    panelNo = colorPanel(u"panelNo"_s);
    cbColor = checkBox(nullptr, u"cbColor"_s, u"Highlight overdue tasks"_s);
    panelCursor = colorPanel(u"panelCursor"_s);
    cbCursor = checkBox(nullptr, u"cbCursor"_s, u"Use default cursor color"_s);
    otherGrid->addWidget(panelNo, 0, 0);
    otherGrid->addWidget(new QLabel(u"Overdue tasks color"_s), 0, 1);
    otherGrid->addWidget(cbColor, 1, 1);
    otherGrid->addWidget(panelCursor, 2, 0);
    otherGrid->addWidget(new QLabel(u"Cursor color"_s), 2, 1);
    otherGrid->addWidget(cbCursor, 3, 1);
    otherGrid->setColumnStretch(1, 1);

    auto* layout = new QVBoxLayout;
    layout->addWidget(priorities);
    layout->addWidget(other);
    layout->addStretch(1);
    return page(layout);
}

QWidget* TfmPreferences::createDisplayPage()
{
    cbNotes = checkBox(nullptr, u"cbNotes"_s, u"Show notes and attachments marks"_s);
    chkAutosize =
        checkBox(nullptr, u"chkAutosize"_s, u"Autosize columns of the tasks grid on program resize/startup"_s);
    cbDisplaySortMarks = checkBox(nullptr, u"cbDisplaySortMarks"_s, u"Display sort markers in column headers"_s);
    chkHoriz = checkBox(nullptr, u"chkHoriz"_s, u"Horizontal gridlines"_s);
    chkVertical = checkBox(nullptr, u"chkVertical"_s, u"Vertical gridlines"_s);
    // The header's sort marks belong to the toolbar's rebuild as well.
    connect(cbDisplaySortMarks, &QCheckBox::clicked, this, [this] { ToolbarChanged = true; });

    auto* fontBox = new QGroupBox(u"Task list font"_s);
    Panel1 = named(new QLabel(fontBox), u"Panel1"_s);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setMinimumWidth(200);
    btnFont = button(fontBox, u"btnFont"_s, u"Choose..."_s);
    connect(btnFont, &QPushButton::clicked, this, &TfmPreferences::btnFontClick);
    auto* fontLayout = new QHBoxLayout(fontBox);
    fontLayout->addWidget(Panel1, 1);
    fontLayout->addWidget(btnFont);

    auto* columnsBox = new QGroupBox(u"Columns"_s);
    auto* completed = checkBox(columnsBox, u"chkCompletedColumn"_s, u"Completed"_s);
    auto* taskName = checkBox(columnsBox, u"chkTaskNameColumn"_s, u"Task name"_s);
    for (QCheckBox* fixed : {completed, taskName}) {
        fixed->setChecked(true);
        fixed->setEnabled(false);
    }
    ColList = named(new TOrderedCheckList(columnsBox), u"ColList"_s);
    ColList->setMaximumHeight(110);
    btnUp = button(columnsBox, u"btnUp"_s, u"Move up"_s);
    btnDown = button(columnsBox, u"btnDown"_s, u"Move down"_s);
    connect(btnUp, &QPushButton::clicked, ColList, &TOrderedCheckList::moveUp);
    connect(btnDown, &QPushButton::clicked, ColList, &TOrderedCheckList::moveDown);
    connect(ColList, &TOrderedCheckList::entriesChanged, this, [this] { ColumnsChanged = true; });
    auto* columnsLayout = new QGridLayout(columnsBox);
    columnsLayout->addWidget(completed, 0, 0);
    columnsLayout->addWidget(taskName, 1, 0);
    columnsLayout->addWidget(ColList, 2, 0, 3, 1);
    columnsLayout->addWidget(btnUp, 2, 1);
    columnsLayout->addWidget(btnDown, 3, 1);

    auto* checks = column({cbNotes, chkAutosize, cbDisplaySortMarks, chkHoriz, chkVertical});
    auto* layout = new QVBoxLayout;
    layout->addLayout(checks);
    layout->addWidget(fontBox);
    layout->addWidget(columnsBox);
    return page(layout);
}

QWidget* TfmPreferences::createEditingPage()
{
    cbPriority = named(new QComboBox, u"cbPriority"_s);
    cbPriority->addItems({QString(), u"3 - Low"_s, u"2 - Medium"_s, u"1 - High"_s});
    cbMoveToTop = checkBox(nullptr, u"cbMoveToTop"_s, u"Move task to top after edit or adding"_s);

    auto* dueBox = named(new QGroupBox(u"Default due date"_s), u"rgDueDate"_s);
    rbToday = named(new QRadioButton(u"Today"_s, dueBox), u"rbToday"_s);
    rbDatePlus = named(new QRadioButton(dueBox), u"rbDatePlus"_s);
    edDatePlus = named(new QSpinBox(dueBox), u"edDatePlus"_s);
    edDatePlus->setRange(1, 999);
    rbNoDate = named(new QRadioButton(u"No due date"_s, dueBox), u"rbNoDate"_s);
    auto* plusRow = new QHBoxLayout;
    plusRow->addWidget(rbDatePlus);
    plusRow->addWidget(edDatePlus);
    plusRow->addWidget(new QLabel(u"days later"_s, dueBox));
    plusRow->addStretch(1);
    auto* dueLayout = new QVBoxLayout(dueBox);
    dueLayout->addWidget(rbToday);
    dueLayout->addLayout(plusRow);
    dueLayout->addWidget(rbNoDate);
    connect(edDatePlus, &QSpinBox::valueChanged, rbDatePlus, [this] { rbDatePlus->setChecked(true); });

    auto* priorityRow = new QHBoxLayout;
    auto* priorityLabel = new QLabel(u"Default task's priority:"_s);
    priorityLabel->setBuddy(cbPriority);
    priorityRow->addWidget(priorityLabel);
    priorityRow->addWidget(cbPriority);
    priorityRow->addStretch(1);
    auto* layout = new QVBoxLayout;
    layout->addLayout(priorityRow);
    layout->addWidget(cbMoveToTop);
    layout->addWidget(dueBox);
    layout->addStretch(1);
    return page(layout);
}

QWidget* TfmPreferences::createCalendarPage()
{
    cbWeek = named(new QComboBox, u"cbWeek"_s);
    cbWeek->addItems(
        {u"Sunday"_s, u"Monday"_s, u"Tuesday"_s, u"Wednesday"_s, u"Thursday"_s, u"Friday"_s, u"Saturday"_s});
    cbClick = named(new QComboBox, u"cbClick"_s);
    cbClick->addItems({u"Switch to Day Info"_s, u"Switch to Diary"_s});
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(u"Week starts on"_s), 0, 0);
    grid->addWidget(cbWeek, 0, 1);
    grid->addWidget(new QLabel(u"On Calendar double-click"_s), 1, 0);
    grid->addWidget(cbClick, 1, 1);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(2, 1);
    return page(grid);
}

QWidget* TfmPreferences::createToolbarPage()
{
    List = named(new TOrderedCheckList, u"List"_s);
    btnMoveUp = button(nullptr, u"btnMoveUp"_s, u"Move up"_s);
    btnMoveDown = button(nullptr, u"btnMoveDown"_s, u"Move down"_s);
    btnToolbarReset = button(nullptr, u"btnToolbarReset"_s, u"Reset toolbar"_s);
    cbToolbarWrap = checkBox(nullptr, u"cbToolbarWrap"_s, u"Wrap toolbar"_s);
    cbToolbarFlat = checkBox(nullptr, u"cbToolbarFlat"_s, u"Flat buttons"_s);
    cbToolbarCaptions = checkBox(nullptr, u"cbToolbarCaptions"_s, u"Show captions"_s);
    cbSmallFont = checkBox(nullptr, u"cbSmallFont"_s, u"Small font in buttons' captions"_s);
    connect(btnMoveUp, &QPushButton::clicked, List, &TOrderedCheckList::moveUp);
    connect(btnMoveDown, &QPushButton::clicked, List, &TOrderedCheckList::moveDown);
    connect(List, &TOrderedCheckList::entriesChanged, this, [this] { ToolbarChanged = true; });
    for (QCheckBox* box : {cbToolbarWrap, cbToolbarFlat, cbToolbarCaptions, cbSmallFont})
        connect(box, &QCheckBox::clicked, this, [this] { ToolbarChanged = true; });
    connect(btnToolbarReset, &QPushButton::clicked, this, &TfmPreferences::btnToolbarResetClick);

    auto* side =
        column({btnMoveUp, btnMoveDown, btnToolbarReset, cbToolbarWrap, cbToolbarFlat, cbToolbarCaptions, cbSmallFont});
    auto* layout = new QHBoxLayout;
    layout->addWidget(List, 1);
    layout->addLayout(side);
    return page(layout);
}

QWidget* TfmPreferences::createNameBox(NamePage& names, const QString& title, const QString& prefix,
                                       const QString& noDefaultText)
{
    auto* box = new QGroupBox(title);
    names.list = named(new QListWidget(box), u"lb"_s + prefix);
    names.list->setToolTip(u"Tick the name that new tasks get by default."_s);
    const bool isProject = &names == &m_projects;
    auto* add = button(box, isProject ? u"btnNew"_s : u"btnNewAssignee"_s, u"New..."_s);
    auto* rename = button(box, isProject ? u"btnRename"_s : u"btnRenameAssignee"_s, u"Rename"_s);
    auto* remove = button(box, isProject ? u"btnDelete"_s : u"btnDeleteAssignee"_s, u"Delete"_s);
    names.noDefault = checkBox(box, u"cbNoDef"_s + prefix, noDefaultText);
    connect(add, &QPushButton::clicked, this, [this, &names] { newName(names); });
    connect(rename, &QPushButton::clicked, this, [this, &names] { renameName(names); });
    connect(remove, &QPushButton::clicked, this, [this, &names] { deleteName(names); });
    // The ticks work as radio buttons: the default is one name or none.
    connect(names.list, &QListWidget::itemChanged, this, [&names](QListWidgetItem* item) {
        if (names.filling)
            return;
        *names.changed = true;
        if (item->checkState() != Qt::Checked)
            return;
        const QScopedValueRollback guard(names.filling, true);
        for (int i = 0; i < names.list->count(); ++i) {
            if (names.list->item(i) != item)
                names.list->item(i)->setCheckState(Qt::Unchecked);
        }
    });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(add);
    buttons->addWidget(rename);
    buttons->addWidget(remove);
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(names.list, 1);
    layout->addLayout(buttons);
    layout->addWidget(names.noDefault);
    return box;
}

QWidget* TfmPreferences::createProjectsPage()
{
    auto* layout = new QHBoxLayout;
    layout->addWidget(createNameBox(m_projects, u"Projects"_s, u"Project"_s, u"No default Project"_s));
    layout->addWidget(createNameBox(m_assignees, u"Assignees"_s, u"Assignee"_s, u"No default Assignee"_s));
    return page(layout);
}

QWidget* TfmPreferences::createConfirmationsPage()
{
    auto* box = new QGroupBox(u"Ask for confirmation on"_s);
    cbAskExit = checkBox(box, u"cbAskExit"_s, u"Program exit"_s);
    cbAskTaskDeletion = checkBox(box, u"cbAskTaskDeletion"_s, u"Task deletion"_s);
    cbAskDataCleanup = checkBox(box, u"cbAskDataCleanup"_s, u"Purge tasks to log"_s);
    cbAskSpecialDeletion = checkBox(box, u"cbAskSpecialDeletion"_s, u"Special day deletion"_s);
    cbAskSpecialChange = checkBox(box, u"cbAskSpecialChange"_s, u"Special day changing"_s);
    cbAskTaskCompletion = checkBox(box, u"cbAskTaskCompletion"_s, u"Task completion"_s);
    box->setLayout(column({cbAskExit, cbAskTaskDeletion, cbAskDataCleanup, cbAskSpecialDeletion, cbAskSpecialChange,
                           cbAskTaskCompletion}));
    auto* layout = new QVBoxLayout;
    layout->addWidget(box);
    layout->addStretch(1);
    return page(layout);
}

QWidget* TfmPreferences::createAlarmsPage()
{
    chkAlarms = checkBox(nullptr, u"chkAlarms"_s, u"Enable sound alarms"_s);
    feSound = named(new QLineEdit, u"feSound"_s);
    feSound->setPlaceholderText(u"The built-in chime"_s);
    btnSoundBrowse = button(nullptr, u"btnSoundBrowse"_s, u"..."_s);
    btnSoundBrowse->setToolTip(u"Choose a wave file"_s);
    btnPlay = button(nullptr, u"btnPlay"_s, u"Play sound"_s);
    cbContinueSound = checkBox(nullptr, u"cbContinueSound"_s, u"Play sound continuously"_s);
    connect(chkAlarms, &QCheckBox::toggled, this, &TfmPreferences::chkAlarmsClick);
    connect(btnSoundBrowse, &QPushButton::clicked, this, &TfmPreferences::browseSound);
    connect(btnPlay, &QPushButton::clicked, this, &TfmPreferences::btnPlayClick);

    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(feSound, 1);
    fileRow->addWidget(btnSoundBrowse);
    fileRow->addWidget(btnPlay);
    auto* layout = new QVBoxLayout;
    layout->addWidget(chkAlarms);
    layout->addWidget(new QLabel(u"Sound file:"_s));
    layout->addLayout(fileRow);
    layout->addWidget(cbContinueSound);
    layout->addStretch(1);
    return page(layout);
}

void TfmPreferences::setToolbarList(const QList<ToolbarEntry>& list, const QList<ToolbarEntry>& defaults)
{
    m_defaultToolbar = defaults;
    fillToolbarList(list);
}

void TfmPreferences::fillToolbarList(const QList<ToolbarEntry>& list)
{
    List->clear();
    for (const ToolbarEntry& entry : list)
        List->addEntry(entry.key, entry.key, entry.shown);
}

QList<TfmPreferences::ToolbarEntry> TfmPreferences::toolbarList() const
{
    QList<ToolbarEntry> list;
    const QList<QVariant> keys = List->entryData();
    const QList<bool> shown = List->entryChecks();
    for (int i = 0; i < keys.size(); ++i)
        list.append({keys[i].toString(), shown[i]});
    return list;
}

void TfmPreferences::btnToolbarResetClick()
{
    fillToolbarList(m_defaultToolbar);
    ToolbarChanged = true;
}

void TfmPreferences::setPage(Page page)
{
    m_tabs->setCurrentIndex(int(page));
}

// ---------------------------------------------------------------------------------------------
// Values and controls

PreferenceValues TfmPreferences::values() const
{
    PreferenceValues v;
    const auto color = [](const QPushButton* panel) { return panel->property(ColorProperty).toInt(); };
    v.iconStyle = rbIconOriginal->isChecked() ? 0 : 1;
    v.starIcon = cbShowStar->isChecked();
    v.runMinimized = checkRunMin->isChecked();
    v.runWithSystem = chkStart->isChecked();
    v.autoLogCompleted = cbAutoLog->isChecked();
    v.passwordProtection = CheckBox4->isChecked();
    v.passwordPrompt = rbPromptActivate->isChecked() ? 1 : 0;
    v.rememberCalendarDate = cbCalendar->isChecked();
    v.lowColor = color(panelLow);
    v.mediumColor = color(panelMedium);
    v.highColor = color(panelHigh);
    v.otherColor = color(panelAdvanced);
    v.overdueColor = color(panelNo);
    v.cursorColor = color(panelCursor);
    v.highlightOverdue = cbColor->isChecked();
    v.defaultCursor = cbCursor->isChecked();
    v.notesMarks = cbNotes->isChecked();
    v.autosize = chkAutosize->isChecked();
    v.sortMarks = cbDisplaySortMarks->isChecked();
    v.horizLines = chkHoriz->isChecked();
    v.verticalLines = chkVertical->isChecked();
    v.font = m_font;
    v.columns.clear();
    const QList<QVariant> columns = ColList->entryData();
    const QList<bool> shown = ColList->entryChecks();
    for (int i = 0; i < columns.size(); ++i)
        v.columns.append({columns[i].toInt(), shown[i]});
    v.defaultPriority = cbPriority->currentIndex();
    v.moveToTop = cbMoveToTop->isChecked();
    v.dueDate = rbToday->isChecked() ? 0 : rbDatePlus->isChecked() ? 1 : 2;
    v.dueDatePlus = edDatePlus->value();
    v.weekStart = cbWeek->currentIndex();
    v.calendarClick = cbClick->currentIndex();
    v.toolbarWrap = cbToolbarWrap->isChecked();
    v.toolbarFlat = cbToolbarFlat->isChecked();
    v.toolbarCaptions = cbToolbarCaptions->isChecked();
    v.toolbarSmallFont = cbSmallFont->isChecked();
    v.defaultProject = m_projects.tickedIndex();
    v.noDefaultProject = m_projects.noDefault->isChecked();
    v.defaultAssignee = m_assignees.tickedIndex();
    v.noDefaultAssignee = m_assignees.noDefault->isChecked();
    v.askExit = cbAskExit->isChecked();
    v.askTaskDeletion = cbAskTaskDeletion->isChecked();
    v.askDataCleanup = cbAskDataCleanup->isChecked();
    v.askSpecialDeletion = cbAskSpecialDeletion->isChecked();
    v.askSpecialChange = cbAskSpecialChange->isChecked();
    v.askTaskCompletion = cbAskTaskCompletion->isChecked();
    v.alarmsEnabled = chkAlarms->isChecked();
    v.soundFile = feSound->text();
    v.repeatSound = cbContinueSound->isChecked();
    return v;
}

void TfmPreferences::setValues(const PreferenceValues& v)
{
    (v.iconStyle == 0 ? rbIconOriginal : rbIconDate)->setChecked(true);
    cbShowStar->setChecked(v.starIcon);
    checkRunMin->setChecked(v.runMinimized);
    chkStart->setChecked(v.runWithSystem);
    cbAutoLog->setChecked(v.autoLogCompleted);
    CheckBox4->setChecked(v.passwordProtection);
    CheckBox4Click();
    (v.passwordPrompt == 1 ? rbPromptActivate : rbPromptStart)->setChecked(true);
    cbCalendar->setChecked(v.rememberCalendarDate);
    showColor(panelLow, v.lowColor);
    showColor(panelMedium, v.mediumColor);
    showColor(panelHigh, v.highColor);
    showColor(panelAdvanced, v.otherColor);
    showColor(panelNo, v.overdueColor);
    showColor(panelCursor, v.cursorColor);
    cbColor->setChecked(v.highlightOverdue);
    cbCursor->setChecked(v.defaultCursor);
    cbNotes->setChecked(v.notesMarks);
    chkAutosize->setChecked(v.autosize);
    cbDisplaySortMarks->setChecked(v.sortMarks);
    chkHoriz->setChecked(v.horizLines);
    chkVertical->setChecked(v.verticalLines);
    m_font = v.font;
    showFont();
    ColList->clear();
    for (const ColumnChoice& entry : v.columns)
        ColList->addEntry(columnListName(entry.column), entry.column, entry.shown);
    cbPriority->setCurrentIndex(std::clamp(v.defaultPriority, 0, cbPriority->count() - 1));
    cbMoveToTop->setChecked(v.moveToTop);
    edDatePlus->setValue(v.dueDatePlus);
    (v.dueDate == 0 ? rbToday : v.dueDate == 1 ? rbDatePlus : rbNoDate)->setChecked(true);
    cbWeek->setCurrentIndex(std::clamp(v.weekStart, 0, 6));
    cbClick->setCurrentIndex(v.calendarClick == 1 ? 1 : 0);
    cbToolbarWrap->setChecked(v.toolbarWrap);
    cbToolbarFlat->setChecked(v.toolbarFlat);
    cbToolbarCaptions->setChecked(v.toolbarCaptions);
    cbSmallFont->setChecked(v.toolbarSmallFont);
    m_projects.noDefault->setChecked(v.noDefaultProject);
    m_assignees.noDefault->setChecked(v.noDefaultAssignee);
    cbAskExit->setChecked(v.askExit);
    cbAskTaskDeletion->setChecked(v.askTaskDeletion);
    cbAskDataCleanup->setChecked(v.askDataCleanup);
    cbAskSpecialDeletion->setChecked(v.askSpecialDeletion);
    cbAskSpecialChange->setChecked(v.askSpecialChange);
    cbAskTaskCompletion->setChecked(v.askTaskCompletion);
    chkAlarms->setChecked(v.alarmsEnabled);
    chkAlarmsClick();
    feSound->setText(v.soundFile);
    cbContinueSound->setChecked(v.repeatSound);
}

void TfmPreferences::showColor(QPushButton* panel, int color)
{
    panel->setProperty(ColorProperty, color);
    panel->setStyleSheet(u"QPushButton { background-color: %1; border: 1px solid palette(dark); }"_s.arg(
        SettingsStore::colorFromNumber(color).name()));
}

void TfmPreferences::panelClick(QPushButton* panel)
{
    QColorDialog dialog(SettingsStore::colorFromNumber(panel->property(ColorProperty).toInt()), this);
    dialog.setObjectName(u"ColorDialog1"_s);
    if (Ask::exec(dialog) == QDialog::Accepted)
        showColor(panel, SettingsStore::colorNumber(dialog.selectedColor()));
}

void TfmPreferences::showFont()
{
    Panel1->setText(fontPanelText(m_font));
    QFont font = QFontDatabase::families().contains(m_font.name, Qt::CaseInsensitive) ? QFont(m_font.name)
                                                                                      : QApplication::font();
    if (m_font.size > 0)
        font.setPointSize(m_font.size);
    font.setBold(m_font.bold);
    font.setItalic(m_font.italic);
    Panel1->setFont(font);
}

void TfmPreferences::btnFontClick()
{
    QFontDialog dialog(Panel1->font(), this);
    dialog.setObjectName(u"FontDialog1"_s);
    if (Ask::exec(dialog) != QDialog::Accepted)
        return;
    const QFont font = dialog.selectedFont();
    m_font.name = font.family();
    m_font.size = font.pointSize() > 0 ? font.pointSize() : m_font.size;
    m_font.height = fontHeightOfSize(m_font.size);
    m_font.bold = font.bold();
    m_font.italic = font.italic();
    showFont();
}

void TfmPreferences::CheckBox4Click()
{
    btnPassword->setEnabled(CheckBox4->isChecked());
    rgPrompt->setEnabled(CheckBox4->isChecked());
}

void TfmPreferences::btnPasswordClick()
{
    // Stored at once: the setup window asked for the old password, so Cancel here cannot undo it.
    runSetPassword(m_settings, this);
}

void TfmPreferences::chkAlarmsClick()
{
    btnPlay->setEnabled(chkAlarms->isChecked());
}

void TfmPreferences::btnPlayClick()
{
    if (!feSound->text().isEmpty())
        m_sound->play(feSound->text(), false);
}

void TfmPreferences::browseSound()
{
    const QString current = feSound->text();
    const QString start = current.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)
                                            : QFileInfo(current).absolutePath();
    QFileDialog dialog(this, u"Alarm sound"_s, start, u"WAVE file (*.wav)"_s);
    dialog.setObjectName(u"OpenDialog1"_s);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (!current.isEmpty())
        dialog.selectFile(current);
    if (Ask::exec(dialog) == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        feSound->setText(QDir::toNativeSeparators(dialog.selectedFiles().constFirst()));
}

void TfmPreferences::BitBtn1Click()
{
    if (Ask::question(this, LanguageString(390)) != QMessageBox::Yes)
        return;
    ToolbarChanged = ColumnsChanged = ProjectsChanged = AssigneesChanged = true;
    PreferenceValues v = values();
    resetToDefaults(v);
    setValues(v);
}

// ---------------------------------------------------------------------------------------------
// Projects and assignees

void TfmPreferences::newName(NamePage& names)
{
    TfmProjName dialog(this);
    dialog.setWindowTitle(names.kind + LanguageString(388));
    if (Ask::exec(dialog) != QDialog::Accepted)
        return;
    const QString name = dialog.name();
    if (names.names.contains(name)) {
        Ask::warning(this, name + LanguageString(389));
        return;
    }
    const int ticked = names.tickedIndex();
    const QString tickedName = ticked >= 0 ? names.list->item(ticked)->text() : QString();
    names.names.add(name);
    names.fill(name, tickedName);
    *names.changed = true;
}

void TfmPreferences::renameName(NamePage& names)
{
    const QString old = names.selectedName();
    if (old.isEmpty()) {
        Ask::information(this,
                         LanguageString(385) + u"\r\n"_s + LanguageString(386) + names.kind + LanguageString(387));
        return;
    }
    TfmProjName dialog(this);
    dialog.setWindowTitle(names.kind + LanguageString(382));
    dialog.setName(old);
    if (Ask::exec(dialog) != QDialog::Accepted)
        return;
    const QString name = dialog.name();
    // The list ignores case, so a name differing only in case counts as taken.
    if (names.names.contains(name)) {
        Ask::warning(this, name + LanguageString(383) + u"\r\n"_s + LanguageString(384));
        return;
    }
    if (renameInColumn(m_data.MainGrid, names.column, old, name) > 0)
        m_tasksChanged = true;
    for (QString& now : names.renamed) {
        if (now == old)
            now = name;
    }
    names.renamed.insert(old, name);
    const int ticked = names.tickedIndex();
    QString tickedName = ticked >= 0 ? names.list->item(ticked)->text() : QString();
    if (tickedName == old)
        tickedName = name;
    names.names.remove(old);
    names.names.add(name);
    names.fill(name, tickedName);
    *names.changed = true;
}

void TfmPreferences::deleteName(NamePage& names)
{
    const QString name = names.selectedName();
    const QString kind = names.kind.toLower();
    if (name.isEmpty()) {
        Ask::information(this, LanguageString(379) + u"\r\n"_s + LanguageString(380) + kind + LanguageString(381));
        return;
    }
    const QString question = LanguageString(376) + kind + u"?\r\n"_s + LanguageString(377) + kind + LanguageString(378);
    if (Ask::question(this, question) != QMessageBox::Yes)
        return;
    if (deleteRowsWithCell(m_data.MainGrid, names.column, name) > 0)
        m_tasksChanged = true;
    for (QString& now : names.renamed) {
        if (now == name)
            now.clear();
    }
    names.renamed.insert(name, QString());
    const int ticked = names.tickedIndex();
    const QString tickedName = ticked >= 0 ? names.list->item(ticked)->text() : QString();
    names.names.remove(name);
    names.fill({}, tickedName);
    *names.changed = true;
}

// ---------------------------------------------------------------------------------------------
// Closing

void TfmPreferences::accept()
{
    const PreferenceValues v = values();
    {
        SettingsStore::Batch batch(m_settings);
        writePreferences(m_settings, v);
        if (m_mainWindow != nullptr) {
            m_settings.writeInteger(Settings::Position, Settings::Left, m_mainWindow->x());
            m_settings.writeInteger(Settings::Position, Settings::Top, m_mainWindow->y());
            m_settings.writeInteger(Settings::Size, Settings::Width, m_mainWindow->width());
            m_settings.writeInteger(Settings::Size, Settings::Height, m_mainWindow->height());
        }
    }
    if (!m_settings.lastError().isEmpty())
        Ask::critical(this, m_settings.lastError());
    const QString error =
        SetRunAtStartup(u"Tarnwick PRO"_s, v.runWithSystem ? QCoreApplication::applicationFilePath() : QString());
    if (!error.isEmpty())
        Ask::warning(this, error);
    QDialog::accept();
}

void TfmPreferences::done(int result)
{
    m_sound->stop();
    saveChangedLists();
    storeFormPlacement(this, m_settings, Settings::Forms::PreferencesForm);
    QDialog::done(result);
}

void TfmPreferences::saveChangedLists()
{
    // The tasks have already changed with the names, whatever button closes the dialog.
    QStringList errors;
    if (ProjectsChanged) {
        m_data.projects = m_projects.names;
        errors.append(m_data.saveProjects());
    }
    if (AssigneesChanged) {
        m_data.assignees = m_assignees.names;
        errors.append(m_data.saveAssignees());
    }
    errors.removeAll(QString());
    if (!errors.isEmpty())
        Ask::critical(this, errors.join(u'\n'));
}
