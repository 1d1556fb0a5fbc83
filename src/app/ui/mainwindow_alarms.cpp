// The main window's side of the alarms: arming after every change, the clock's check, and the
// alarm dialog with each of its answers applied to the task table.

#include "app/ui/mainwindow.h"

#include "alarms/alarmactions.h"
#include "alarms/ui/alarmdialog.h"
#include "core/ui/ask.h"
#include "core/clock.h"
#include "core/settingsnames.h"
#include "core/settingsstore.h"

#include <QAction>
#include <QApplication>

void TfmMain::ScheduleNextAlarm()
{
    if (m_alarms.ScheduleNextAlarm() == AlarmScheduler::Result::Overdue)
        AlarmEvent1Timer();
}

void TfmMain::alarmClockTick()
{
    // An alarm held back by an open dialog comes up as soon as that dialog has closed.
    if (m_alarmPending && !alarmHeldBack()) {
        ScheduleNextAlarm();
        return;
    }
    // The scheduler also notices a new day here, so tomorrow's alarms are armed after midnight
    // whatever the calendar's own day check is set to.
    if (m_alarms.tick(Clock::current().now()) >= 0)
        AlarmEvent1Timer();
}

bool TfmMain::alarmHeldBack() const
{
    // Besides the editor and another alarm, any dialog of the program holds alarms back: its
    // command may still hold task-table row numbers that the alarm's answer would shift (a
    // delete confirmation would then delete another task).
    return TaskEditorOpen || TfmAlarm::AlarmDialogOpen() || QApplication::activeModalWidget() != nullptr;
}

QWidget* TfmMain::alarmParent()
{
    // Hidden in the tray or minimised, the alarm and what its answer asks come up on their own, on
    // top, without bringing the main window back: a window manager restores the owner of a dialog.
    return HiddenToTray || isMinimized() ? nullptr : this;
}

void TfmMain::miEnableAlarmsClick()
{
    m_settings.writeBool(Settings::Alarms, Settings::Enabled, command(u"miMainMenuEnableAlarms")->isChecked());
    ScheduleNextAlarm();
}

void TfmMain::AlarmEvent1Timer()
{
    if (alarmHeldBack()) {
        m_alarmPending = true;
        return;
    }
    m_alarmPending = false;
    const int tag = m_alarms.Tag();
    if (tag < 0 || tag >= m_data.MainGrid.rowCount())
        return;
    {
        TfmAlarm dialog(m_settings, m_data.MainGrid, tag, alarmParent());
        Ask::exec(dialog);
        // Closed without an answer: the program is ending (every dialog returns at once then) or
        // nobody can answer. Shown again at once it would return again, for ever; the clock's
        // next tick brings it back instead.
        if (dialog.action() == AlarmAction::None) {
            m_alarmPending = true;
            return;
        }
        // The table may have changed while the dialog was open: find the task again by its text.
        const int row = relocateAlarmedRow(m_data.MainGrid, dialog.row(), dialog.rowText());
        bool changed = false;
        if (row >= 0) {
            switch (dialog.action()) {
            case AlarmAction::Snooze:
                changed = snoozeAlarm(m_data.MainGrid, row, dialog.snoozeAmount(), dialog.snoozeUnit(),
                                      Clock::current().now());
                break;
            case AlarmAction::CheckTask:
                changed = checkAlarmedTask(m_data.MainGrid, row, dialog.scheduleNextOccurrence()) >= 0;
                break;
            case AlarmAction::DisableAlarm:
                changed = disableAlarm(m_data.MainGrid, row);
                break;
            // Edit and delete run while the dialog still exists, so that their own scheduling
            // cannot open a second alarm on top of this one.
            case AlarmAction::EditTask:
                EditTask(row, true);
                break;
            case AlarmAction::DeleteTask:
                DeleteTask(row, true);
                break;
            case AlarmAction::None:
                break;
            }
        }
        if (changed) {
            afterTaskTableChange(Change::TaskTable);
            return; // the refresh armed the next alarm
        }
    }
    ScheduleNextAlarm();
}
