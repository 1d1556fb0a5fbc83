#include "tasks/ui/taskeditor.h"

#include "core/clock.h"
#include "core/settingsnames.h"
#include "core/settingsstore.h"
#include "core/sortgrid.h"
#include "core/ui/ask.h"
#include "core/ui/formplacement.h"
#include "core/ui/widgetnames.h"
#include "tasks/ui/attachmentedit.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QSpinBox>
#include <QTimer>
#include <QTimeEdit>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// The locale's short date with the year always written in four digits.
QString fourDigitYearFormat()
{
    QString format = QLocale().dateFormat(QLocale::ShortFormat);
    if (!format.contains(QLatin1String("yyyy")))
        format.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    return format;
}

} // namespace

TfmTask::TfmTask(SettingsStore& settings, TSortGrid& mainGrid, const QStringList& projects,
                 const QStringList& assignees, QWidget* parent)
    : QDialog(parent), m_settings(settings), m_mainGrid(mainGrid)
{
    setObjectName(QStringLiteral("TfmTask"));
    setWindowTitle(QStringLiteral("Task properties"));

    edittask = named(new QLineEdit(this), QStringLiteral("edittask"));

    cbPriority = named(new QComboBox(this), QStringLiteral("cbPriority"));
    // Editable through its own line edit: setEditable would also build the popup list now, which
    // the box builds anyway when it is first opened.
    cbPriority->setLineEdit(new QLineEdit(cbPriority));
    cbPriority->setInsertPolicy(QComboBox::NoInsert);
    // Any typed text is a priority: no completion that would turn "1" into "1 - High".
    cbPriority->setCompleter(nullptr);
    cbPriority->addItems(priorityTexts());

    cbProject = named(new QComboBox(this), QStringLiteral("cbProject"));
    cbProject->setMaxVisibleItems(15);
    cbAssignee = named(new QComboBox(this), QStringLiteral("cbAssignee"));
    cbAssignee->setMaxVisibleItems(15);
    m_projectItems = editorNameItems(projects);
    m_assigneeItems = editorNameItems(assignees);
    cbProject->addItems(m_projectItems);
    cbAssignee->addItems(m_assigneeItems);

    chkNoDueDate = named(new QCheckBox(QStringLiteral("Due date:"), this), QStringLiteral("chkNoDueDate"));
    pckDate = named(new QDateEdit(this), QStringLiteral("pckDate"));
    pckDate->setCalendarPopup(true);
    pckDate->setDisplayFormat(fourDigitYearFormat());
    // Old dates read from files must survive an edit unchanged.
    pckDate->setMinimumDate(QDate(100, 1, 1));
    // 0 = Sunday ... 6 = Saturday; Qt counts Monday = 1 ... Sunday = 7. Asking for the popup
    // calendar builds it, which is half the cost of making this dialog: it is built once the dialog
    // is up, before anyone can click the box.
    const int weekStart = std::clamp(settings.readInteger(Settings::Calendar, Settings::WeekStart, 0), 0, 6);
    QTimer::singleShot(0, pckDate, [box = pckDate, weekStart] {
        box->calendarWidget()->setFirstDayOfWeek(Qt::DayOfWeek(weekStart == 0 ? 7 : weekStart));
    });
    pckTime = named(new QTimeEdit(this), QStringLiteral("pckTime"));
    pckTime->setDisplayFormat(QStringLiteral("HH:mm:ss"));

    cbRecurring = named(new QComboBox(this), QStringLiteral("cbRecurring"));
    cbRecurring->setMaxVisibleItems(10);
    cbRecurring->addItems(recurrenceTexts());

    chkAlarm = named(new QCheckBox(QStringLiteral("Alarm at:"), this), QStringLiteral("chkAlarm"));
    spinAlarm = named(new QSpinBox(this), QStringLiteral("spinAlarm"));
    spinAlarm->setRange(0, 99);
    cbAlarmOptions = named(new QComboBox(this), QStringLiteral("cbAlarmOptions"));
    cbAlarmOptions->addItems(
        {QStringLiteral("Minutes"), QStringLiteral("Hours"), QStringLiteral("Days"), QStringLiteral("Weeks")});

    spinComplete = named(new QSpinBox(this), QStringLiteral("spinComplete"));
    spinComplete->setRange(0, 100);
    checkDone = named(new QCheckBox(QStringLiteral("Co&mpleted"), this), QStringLiteral("checkDone"));

    memoNotes = named(new QPlainTextEdit(this), QStringLiteral("memoNotes"));
    memoNotes->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    edAttach = named(new TAttachmentEdit(this), QStringLiteral("edAttach"));
    btnBrowse = named(new QPushButton(QStringLiteral("..."), this), QStringLiteral("btnBrowse"));

    btnSetup = named(new QPushButton(QStringLiteral("&Setup..."), this), QStringLiteral("btnSetup"));
    btnOK = named(new QPushButton(QStringLiteral("&OK"), this), QStringLiteral("btnOK"));
    btnOK->setDefault(true);
    btnCancel = named(new QPushButton(QStringLiteral("&Cancel"), this), QStringLiteral("btnCancel"));
    btnHelp = named(new QPushButton(QStringLiteral("&Help"), this), QStringLiteral("btnHelp"));
    offerHelpButton(btnHelp);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Task name:"), this), 0, 0);
    grid->addWidget(edittask, 0, 1, 1, 5);
    grid->addWidget(new QLabel(QStringLiteral("Priority:"), this), 1, 0);
    grid->addWidget(cbPriority, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Project:"), this), 1, 2);
    grid->addWidget(cbProject, 1, 3, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("Recurrence:"), this), 2, 0);
    grid->addWidget(cbRecurring, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("Assignee:"), this), 2, 2);
    grid->addWidget(cbAssignee, 2, 3, 1, 3);
    grid->addWidget(chkNoDueDate, 3, 0);
    grid->addWidget(pckDate, 3, 1);
    grid->addWidget(new QLabel(QStringLiteral("at:"), this), 3, 2);
    grid->addWidget(pckTime, 3, 3);
    grid->addWidget(chkAlarm, 4, 0);
    grid->addWidget(spinAlarm, 4, 1);
    grid->addWidget(cbAlarmOptions, 4, 2, 1, 2);
    grid->addWidget(spinComplete, 3, 4);
    grid->addWidget(new QLabel(QStringLiteral("%"), this), 3, 5);
    grid->addWidget(checkDone, 4, 4, 1, 2);

    auto* attachRow = new QHBoxLayout;
    attachRow->addWidget(new QLabel(QStringLiteral("Attach file:"), this));
    attachRow->addWidget(edAttach, 1);
    attachRow->addWidget(btnBrowse);

    auto* buttonRow = new QHBoxLayout;
    buttonRow->addWidget(btnSetup);
    buttonRow->addStretch(1);
    buttonRow->addWidget(btnOK);
    buttonRow->addWidget(btnCancel);
    buttonRow->addWidget(btnHelp);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(new QLabel(QStringLiteral("Notes:"), this));
    layout->addWidget(memoNotes, 1);
    layout->addLayout(attachRow);
    layout->addLayout(buttonRow);

    connect(chkNoDueDate, &QCheckBox::clicked, this, &TfmTask::chkNoDueDateClick);
    connect(chkAlarm, &QCheckBox::clicked, this, &TfmTask::chkAlarmClick);
    // Only the user's click sets the percentage; the box following the percentage must not
    // reset it (99 would otherwise become 0).
    connect(checkDone, &QCheckBox::clicked, this, &TfmTask::checkDoneClick);
    connect(spinComplete, &QSpinBox::valueChanged, this, &TfmTask::spinCompleteChange);
    connect(btnSetup, &QPushButton::clicked, this, &TfmTask::btnSetupClick);
    connect(btnBrowse, &QPushButton::clicked, this, &TfmTask::btnBrowseClick);
    connect(btnOK, &QPushButton::clicked, this, &TfmTask::accept);
    connect(btnCancel, &QPushButton::clicked, this, &TfmTask::reject);
    connect(btnHelp, &QPushButton::clicked, this, [this] { Q_EMIT helpRequested(QStringLiteral("task")); });

    TaskEditValues blank;
    blank.date = Clock::current().today();
    setValues(blank);
    restoreFormPlacement(this, m_settings, Settings::Forms::TaskForm);
}

void TfmTask::setNewTask(const QStringList& projectFilter, const QStringList& assigneeFilter)
{
    m_isNewTask = true;
    m_editRow = -1;
    setValues(newTaskValues(m_settings, projectFilter, assigneeFilter, m_projectItems, m_assigneeItems,
                            Clock::current().today()));
}

void TfmTask::setEditRow(int row)
{
    m_isNewTask = false;
    m_editRow = row;
    setValues(taskValuesFromRow(m_mainGrid, row, Clock::current().today()));
}

void TfmTask::editedRowMoved(int row)
{
    if (m_isNewTask)
        return;
    m_editRow = row;
    m_isNewTask = row < 0;
}

void TfmTask::setNameLists(const QStringList& projects, const QStringList& assignees)
{
    const TaskEditValues current = values();
    m_projectItems = editorNameItems(projects);
    m_assigneeItems = editorNameItems(assignees);
    cbProject->clear();
    cbProject->addItems(m_projectItems);
    cbAssignee->clear();
    cbAssignee->addItems(m_assigneeItems);
    selectItem(cbProject, current.project);
    selectItem(cbAssignee, current.assignee);
}

void TfmTask::setOpenedFromAlarm(bool fromAlarm)
{
    m_fromAlarm = fromAlarm;
    updateSetupButton();
}

TaskEditValues TfmTask::values() const
{
    TaskEditValues values;
    values.name = edittask->text();
    values.priority = cbPriority->currentText();
    values.project = cbProject->currentIndex() >= 0 ? cbProject->currentText() : QString();
    values.assignee = cbAssignee->currentIndex() >= 0 ? cbAssignee->currentText() : QString();
    values.hasDue = chkNoDueDate->isChecked();
    values.date = pckDate->date();
    values.time = pckTime->time();
    values.recurrence = std::max(cbRecurring->currentIndex(), 0);
    values.alarmOn = chkAlarm->isChecked();
    values.alarmAmount = spinAlarm->value();
    values.alarmUnit = std::max(cbAlarmOptions->currentIndex(), 0);
    values.percent = spinComplete->value();
    values.notes = memoNotes->toPlainText();
    values.attachment = edAttach->text();
    return values;
}

void TfmTask::setValues(const TaskEditValues& values)
{
    edittask->setText(values.name);
    cbPriority->setCurrentIndex(-1);
    cbPriority->setCurrentText(values.priority);
    selectItem(cbProject, values.project);
    selectItem(cbAssignee, values.assignee);
    chkNoDueDate->setChecked(values.hasDue);
    pckDate->setDate(values.date.isValid() ? values.date : Clock::current().today());
    pckTime->setTime(values.time.isValid() ? values.time : QTime(0, 0));
    cbRecurring->setCurrentIndex(std::clamp(values.recurrence, 0, cbRecurring->count() - 1));
    chkAlarm->setChecked(values.alarmOn);
    spinAlarm->setValue(values.alarmAmount);
    cbAlarmOptions->setCurrentIndex(std::clamp(values.alarmUnit, 0, cbAlarmOptions->count() - 1));
    spinComplete->setValue(values.percent);
    checkDone->setChecked(spinComplete->value() >= 100);
    memoNotes->setPlainText(values.notes);
    edAttach->setText(values.attachment);
    chkNoDueDateClick();
}

void TfmTask::selectItem(QComboBox* box, const QString& text)
{
    int index = box->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    // A task's own name that is no longer in the list is offered as it stands.
    if (index < 0 && !text.isEmpty()) {
        box->addItem(text);
        index = box->count() - 1;
    }
    box->setCurrentIndex(index >= 0 ? index : 0);
}

void TfmTask::chkNoDueDateClick()
{
    const bool due = chkNoDueDate->isChecked();
    pckDate->setEnabled(due);
    pckTime->setEnabled(due);
    cbRecurring->setEnabled(due);
    chkAlarm->setEnabled(due);
    chkAlarmClick();
}

void TfmTask::chkAlarmClick()
{
    const bool alarm = chkAlarm->isChecked();
    spinAlarm->setEnabled(alarm);
    cbAlarmOptions->setEnabled(alarm);
}

void TfmTask::checkDoneClick()
{
    spinComplete->setValue(checkDone->isChecked() ? 100 : 0);
}

void TfmTask::spinCompleteChange(int value)
{
    checkDone->setChecked(value >= 100);
}

void TfmTask::btnSetupClick()
{
    if (setupRequested)
        setupRequested();
}

void TfmTask::btnBrowseClick()
{
    const QString start = attachmentCellText(edAttach->text());
    const QString path = Ask::openFileName(this, QStringLiteral("Attach file"),
                                           start.isEmpty() ? QString() : QFileInfo(start).absolutePath());
    if (!path.isEmpty())
        edAttach->setText(path);
}

void TfmTask::updateSetupButton()
{
    btnSetup->setVisible(bool(setupRequested) && !m_fromAlarm);
}

void TfmTask::showEvent(QShowEvent* event)
{
    // The handler may be set after construction; decide when the dialog appears.
    updateSetupButton();
    edittask->setFocus();
    QDialog::showEvent(event);
}

void TfmTask::accept()
{
    const QString refusal = taskCheckMessage(values());
    if (!refusal.isEmpty()) {
        Ask::critical(this, refusal);
        return;
    }
    edAttach->setText(attachmentCellText(edAttach->text()));
    m_storedTask = storeTask(m_mainGrid, values(), m_isNewTask ? -1 : m_editRow);
    QDialog::accept();
}

void TfmTask::done(int result)
{
    storeFormPlacement(this, m_settings, Settings::Forms::TaskForm);
    QDialog::done(result);
}
