#include "alarms/ui/alarmdialog.h"

#include "alarms/alarmscheduler.h"
#include "alarms/ui/alarmsound.h"
#include "core/applanguage.h"
#include "core/clock.h"
#include "core/daynumber.h"
#include "core/formatsettings.h"
#include "core/settingsnames.h"
#include "core/settingsstore.h"
#include "core/sortgrid.h"
#include "core/tasktable.h"
#include "core/ui/ask.h"
#include "core/ui/formplacement.h"
#include "core/ui/widgetnames.h"
#include "tasks/ui/attachmentrunner.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

namespace {

int openDialogs = 0;

QLineEdit* readOnlyEdit(QWidget* parent, const QString& name)
{
    auto* edit = named(new QLineEdit(parent), name);
    edit->setReadOnly(true);
    return edit;
}

QPushButton* button(QWidget* parent, const QString& name, const QString& caption, const QString& hint)
{
    auto* result = named(new QPushButton(caption, parent), name);
    result->setToolTip(hint);
    return result;
}

} // namespace

TfmAlarm::TfmAlarm(SettingsStore& settings, const TSortGrid& taskTable, int row, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint),
      m_settings(settings), m_row(row), m_sound(new TAlarmSound(this))
{
    ++openDialogs;
    setObjectName(QStringLiteral("TfmAlarm"));

    Label4 = named(new QLabel(QStringLiteral("Choose an action to handle the alarm."), this), QStringLiteral("Label4"));
    lblTaskName = readOnlyEdit(this, QStringLiteral("lblTaskName"));
    lblDateTime = readOnlyEdit(this, QStringLiteral("lblDateTime"));
    lblProject = readOnlyEdit(this, QStringLiteral("lblProject"));
    lblAssignee = readOnlyEdit(this, QStringLiteral("lblAssignee"));
    cbAttach = readOnlyEdit(this, QStringLiteral("cbAttach"));
    cbAttach->installEventFilter(this);
    btnAttach = button(this, QStringLiteral("btnAttach"), QStringLiteral("..."), QStringLiteral("Run attachments"));
    btnAttach->setAutoDefault(false);
    mNotes = named(new QPlainTextEdit(this), QStringLiteral("mNotes"));
    mNotes->setReadOnly(true);

    btnSnooze =
        button(this, QStringLiteral("btnSnooze"), QStringLiteral("Snooze"), QStringLiteral("Snooze the task's alarm"));
    spinAlarm = named(new QSpinBox(this), QStringLiteral("spinAlarm"));
    spinAlarm->setRange(1, 99);
    spinAlarm->setValue(5);
    cbAlarmOptions = named(new QComboBox(this), QStringLiteral("cbAlarmOptions"));
    cbAlarmOptions->addItems(
        {QStringLiteral("Minutes"), QStringLiteral("Hours"), QStringLiteral("Days"), QStringLiteral("Weeks")});
    btnComplete = button(this, QStringLiteral("btnComplete"), QStringLiteral("Check task"),
                         QStringLiteral("Check the task as complete"));
    btnEdit = button(this, QStringLiteral("btnEdit"), QStringLiteral("Edit task"), QStringLiteral("Edit the task"));
    btnDelete =
        button(this, QStringLiteral("btnDelete"), QStringLiteral("Delete task"), QStringLiteral("Delete the task"));
    btnDisable = button(this, QStringLiteral("btnDisable"), QStringLiteral("Disable alarm"),
                        QStringLiteral("Disable alarm for the task"));
    btnHelp = button(this, QStringLiteral("btnHelp"), QStringLiteral("Help"), QString());
    offerHelpButton(btnHelp);
    lbType = named(new QListWidget(this), QStringLiteral("lbType"));
    lbType->addItems(recurrenceTexts());
    lbType->hide();

    auto* attachRow = new QHBoxLayout;
    attachRow->addWidget(cbAttach, 1);
    attachRow->addWidget(btnAttach);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Task:"), lblTaskName);
    form->addRow(QStringLiteral("Due at:"), lblDateTime);
    form->addRow(QStringLiteral("Project:"), lblProject);
    form->addRow(QStringLiteral("Assign:"), lblAssignee);
    form->addRow(QStringLiteral("Attach:"), attachRow);
    form->addRow(QStringLiteral("Notes:"), mNotes);

    auto* snoozeRow = new QHBoxLayout;
    snoozeRow->addWidget(btnSnooze);
    snoozeRow->addWidget(spinAlarm);
    snoozeRow->addWidget(cbAlarmOptions);
    snoozeRow->addStretch(1);
    snoozeRow->addWidget(btnComplete);
    snoozeRow->addWidget(btnDisable);

    auto* buttonRow = new QHBoxLayout;
    buttonRow->addWidget(btnEdit);
    buttonRow->addWidget(btnDelete);
    buttonRow->addStretch(1);
    buttonRow->addWidget(btnHelp);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label4);
    layout->addLayout(form);
    layout->addLayout(snoozeRow);
    layout->addLayout(buttonRow);
    layout->addWidget(lbType);
    // A fixed border: the dialog is as large as its content.
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(btnSnooze, &QPushButton::clicked, this, &TfmAlarm::btnSnoozeClick);
    connect(btnComplete, &QPushButton::clicked, this, &TfmAlarm::btnCompleteClick);
    connect(btnDisable, &QPushButton::clicked, this, &TfmAlarm::btnDisableClick);
    connect(btnEdit, &QPushButton::clicked, this, &TfmAlarm::btnEditClick);
    connect(btnDelete, &QPushButton::clicked, this, &TfmAlarm::btnDeleteClick);
    connect(btnAttach, &QPushButton::clicked, this, &TfmAlarm::btnAttachClick);
    connect(btnHelp, &QPushButton::clicked, this, &TfmAlarm::btnHelpClick);

    fill(taskTable);

    adjustSize();
    if (const QScreen* desktop = screen()) {
        QRect frame(QPoint(), size());
        frame.moveCenter(desktop->availableGeometry().center());
        move(frame.topLeft());
    }
    restoreFormPlacement(this, m_settings, Settings::Forms::AlarmForm);

    if (AlarmScheduler::alarmsEnabled(m_settings))
        m_sound->playFromSettings(m_settings);
}

TfmAlarm::~TfmAlarm()
{
    --openDialogs;
}

bool TfmAlarm::AlarmDialogOpen()
{
    return openDialogs > 0;
}

void TfmAlarm::fill(const TSortGrid& taskTable)
{
    const QDateTime now = Clock::current().now();
    setWindowTitle(QStringLiteral("Tarnwick Alarm ") + longTimeText(now.time()));
    if (m_row < 0 || m_row >= taskTable.rowCount())
        return;
    m_rowText = taskTable.rowText(m_row);
    m_recurrenceCell = taskTable.cellText(m_row, colRecurrence);

    lblTaskName->setText(taskTable.cellText(m_row, colTaskName));
    const QDateTime due = dateTimeOfDayNumber(dueDayNumber(taskTable.cell(m_row, colDue)));
    const int rule = recurrenceIndex(m_recurrenceCell);
    lblDateTime->setText(formatDateTime(QStringLiteral("mmm dd\",\" yyyy \"at\" "), due) + shortTimeText(due.time()) +
                         QStringLiteral(",  ") + lbType->item(rule)->text());
    lblProject->setText(taskTable.cellText(m_row, colProject));
    lblAssignee->setText(taskTable.cellText(m_row, colAssignee));
    cbAttach->setText(taskTable.cellText(m_row, colAttachment));
    mNotes->setPlainText(DecodeNotes(taskTable.cell(m_row, colNotes)).join(u'\n'));

    const QStringView alarmCell = taskTable.cell(m_row, colAlarm);
    if (hasAlarm(alarmCell)) {
        const AlarmSetting alarm = parseAlarmCell(alarmCell);
        spinAlarm->setValue(std::clamp(alarm.amount, 1, 99));
        // An unknown unit leaves the list without a choice; Snooze then asks for one.
        cbAlarmOptions->setCurrentIndex(alarm.unit >= 0 && alarm.unit < cbAlarmOptions->count() ? alarm.unit : -1);
    } else {
        spinAlarm->setValue(5);
        cbAlarmOptions->setCurrentIndex(alarmMinutes);
    }
}

int TfmAlarm::snoozeAmount() const
{
    return spinAlarm->value();
}

int TfmAlarm::snoozeUnit() const
{
    return cbAlarmOptions->currentIndex();
}

void TfmAlarm::answer(AlarmAction action)
{
    m_action = action;
    done(Accepted);
}

void TfmAlarm::done(int result)
{
    Q_UNUSED(result)
    if (m_action == AlarmAction::None)
        return;
    m_sound->stop();
    storeFormPlacement(this, m_settings, Settings::Forms::AlarmForm);
    QDialog::done(Accepted);
}

void TfmAlarm::reject()
{
    // The close command of the window; Esc is taken as Edit task in keyPressEvent.
}

void TfmAlarm::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Cancel)) {
        btnEditClick();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TfmAlarm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    btnSnooze->setFocus();
}

bool TfmAlarm::eventFilter(QObject* watched, QEvent* event)
{
    // Enter in the attachment box runs the attachment instead of pressing a dialog button.
    if (watched == cbAttach && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            btnAttachClick();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TfmAlarm::btnSnoozeClick()
{
    m_sound->stop();
    if (cbAlarmOptions->currentIndex() < 0)
        Ask::critical(this, LanguageString(745));
    answer(AlarmAction::Snooze);
}

void TfmAlarm::btnCompleteClick()
{
    m_sound->stop();
    m_scheduleNext = false;
    if (checkOffersNextOccurrence(m_recurrenceCell)) {
        m_scheduleNext =
            Ask::message(
                this, QMessageBox::Question,
                QStringLiteral("Would you like to schedule this task to be performed in the next time period?"),
                QMessageBox::Yes | QMessageBox::No, QMessageBox::NoButton, QString(),
                Qt::WindowStaysOnTopHint) == QMessageBox::Yes;
    }
    answer(AlarmAction::CheckTask);
}

void TfmAlarm::btnDisableClick()
{
    m_sound->stop();
    answer(AlarmAction::DisableAlarm);
}

void TfmAlarm::btnEditClick()
{
    m_sound->stop();
    answer(AlarmAction::EditTask);
}

void TfmAlarm::btnDeleteClick()
{
    m_sound->stop();
    answer(AlarmAction::DeleteTask);
}

void TfmAlarm::btnAttachClick()
{
    m_sound->stop();
    RunAttachment(this, cbAttach->text());
}

void TfmAlarm::btnHelpClick()
{
    m_sound->stop();
    Q_EMIT helpRequested(QStringLiteral("alarm"));
}
