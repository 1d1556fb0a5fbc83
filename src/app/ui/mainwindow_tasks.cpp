// The main window's task commands: add, edit, delete, check, the attachment box and the filter
// dialog, and the one refresh path every change of the tables ends with.

#include "app/ui/mainwindow.h"

#include "app/ui/mainstatusbar.h"
#include "app/ui/notespane.h"
#include "calendar/ui/calendarpanelwidget.h"
#include "core/applanguage.h"
#include "core/settingsnames.h"
#include "core/settingsstore.h"
#include "core/tasktable.h"
#include "core/ui/ask.h"
#include "core/ui/confirmbox.h"
#include "core/ui/memocommands.h"
#include "tasks/columnlayout.h"
#include "tasks/recurrence.h"
#include "tasks/taskedit.h"
#include "tasks/ui/attachmentrunner.h"
#include "tasks/ui/selectiondialog.h"
#include "tasks/ui/taskeditor.h"
#include "tasks/ui/taskheader.h"
#include "tasks/ui/tasklistwidget.h"

#include <QAction>
#include <QActionGroup>
#include <QEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QScopedValueRollback>
#include <QTableView>
#include <QTimer>

#include <optional>

// ---------------------------------------------------------------------------------------------
// The one refresh path

void TfmMain::afterTaskTableChange(Changes what, const StoredTask* select)
{
    CommitPreviewNotes();
    // The task file is written on another core while the view is rebuilt and the panels follow
    // (its sync alone takes as long as the rebuild); it is in place before anything below can
    // open a window. What may wait for a missing folder is done first, before the rebuild.
    BackgroundWrite tasksSaved;
    std::function<void()> saveTasks;
    if (what.testFlag(Change::TaskTable)) {
        if (QString refused = m_data.prepareTasksSave(); !refused.isEmpty())
            tasksSaved = BackgroundWrite::failed(std::move(refused));
        else
            saveTasks = [this, &tasksSaved] { tasksSaved = m_data.saveTasksAside(); };
    }
    m_list->rebuildView(what.testFlag(Change::MoveToTop), saveTasks);
    if (saveTasks && !tasksSaved.isStarted())
        tasksSaved = m_data.saveTasksAside();
    // A stored task that the filter hides leaves the selection where the rebuild put it.
    if (const int row = select != nullptr ? storedTaskRow(m_view.MirrorGrid, *select) : -1; row >= 0)
        m_list->selectRow(row);
    else if (what.testFlag(Change::SelectFirst))
        m_list->selectRow(0);
    updateStatusTexts();
    showSelectedTask();
    if (what.testFlag(Change::Lists) || what.testFlag(Change::DataSet))
        BuildFilterMenus();
    bool alarmOverdue = false;
    if (what.testFlag(Change::DataSet)) {
        updateCaption();
        if (m_startUpDone)
            m_calendar->refreshAll();
    } else {
        RefreshCalendar();
        alarmOverdue = m_alarms.ScheduleNextAlarm() == AlarmScheduler::Result::Overdue;
    }
    if (what.testFlag(Change::Autosize))
        m_list->autosizeIfEnabled();

    // The change is shown while the file's sync finishes, not after it.
    if (what.testFlag(Change::TaskTable))
        m_list->viewGrid()->viewport()->repaint();
    // A failed save is never passed over in silence: the tables are still in memory and the next
    // save point tries again.
    QStringList errors{tasksSaved.finish()};
    if (what.testFlag(Change::TaskLog))
        errors.append(m_data.saveTaskLog());
    errors.removeAll(QString());
    if (!errors.isEmpty())
        Ask::critical(this, errors.join(u'\n'));
    // At start-up the alarms wait for the first frame (finishStartUp). Later an alarm already
    // overdue comes up once the event loop runs, over the window rather than before it.
    if (what.testFlag(Change::DataSet) && m_startUpDone)
        QTimer::singleShot(0, this, &TfmMain::ScheduleNextAlarm);
    if (alarmOverdue)
        AlarmEvent1Timer();
    releaseFreedMemoryWhenIdle();
}

bool TfmMain::locateSelectedTask()
{
    CommitPreviewNotes();
    if (m_list->lastRebuild().taskCount == 0)
        return false;
    return LocateTaskRow(m_data.MainGrid, m_view.MirrorGrid, m_view.currentRow());
}

// ---------------------------------------------------------------------------------------------
// Add and edit

void TfmMain::AddTask()
{
    if (ModalBusy)
        return;
    CommitPreviewNotes();
    std::optional<StoredTask> stored;
    {
        const QScopedValueRollback busy(ModalBusy, true);
        const QScopedValueRollback editorOpen(TaskEditorOpen, true);
        TfmTask dialog(m_settings, m_data.MainGrid, m_data.projects.names(), m_data.assignees.names(), this);
        prepareTaskEditor(dialog);
        dialog.setNewTask(m_view.ProjectFilter, m_view.AssigneeFilter);
        if (Ask::exec(dialog) == QDialog::Accepted)
            stored = dialog.storedTask();
    }
    if (stored)
        afterTaskTableChange(storedTaskChange(m_settings.readBool(Settings::Editing, Settings::MoveToTop, true)),
                             &*stored);
}

void TfmMain::editSelectedTask()
{
    if (!ModalBusy && locateSelectedTask())
        EditTask(m_data.MainGrid.currentRow());
}

void TfmMain::EditTask(int row, bool fromAlarm)
{
    if (ModalBusy || row < 0 || row >= m_data.MainGrid.rowCount())
        return;
    std::optional<StoredTask> stored;
    {
        const QScopedValueRollback busy(ModalBusy, true);
        const QScopedValueRollback editorOpen(TaskEditorOpen, true);
        TfmTask dialog(m_settings, m_data.MainGrid, m_data.projects.names(), m_data.assignees.names(),
                       fromAlarm ? alarmParent() : this);
        prepareTaskEditor(dialog);
        dialog.setOpenedFromAlarm(fromAlarm);
        dialog.setEditRow(row);
        if (Ask::exec(dialog) == QDialog::Accepted)
            stored = dialog.storedTask();
    }
    if (stored)
        afterTaskTableChange(storedTaskChange(m_settings.readBool(Settings::Editing, Settings::MoveToTop, false)),
                             &*stored);
}

TfmMain::Changes TfmMain::storedTaskChange(bool moveToTop)
{
    Changes what = Change::TaskTable | Change::Lists | Change::Autosize;
    if (moveToTop)
        what |= Change::MoveToTop;
    return what;
}

void TfmMain::prepareTaskEditor(TfmTask& dialog)
{
    installMemoCommands(dialog.notesMemo());
    dialog.setupRequested = [this, &dialog] { setupFromEditor(dialog); };
}

// ---------------------------------------------------------------------------------------------
// Delete and check

void TfmMain::deleteSelectedTask()
{
    if (!ModalBusy && locateSelectedTask())
        DeleteTask(m_data.MainGrid.currentRow());
}

void TfmMain::DeleteTask(int row, bool fromAlarm)
{
    if (row < 0 || row >= m_data.MainGrid.rowCount())
        return;
    const QString question =
        fromAlarm ? LanguageString(237) + shownText(m_data.MainGrid.cell(row, colTaskName)) + LanguageString(238)
                  : LanguageString(235);
    if (!TfmConfirm::ask(fromAlarm ? alarmParent() : this, m_settings,
                         question + QStringLiteral("\r\n") + LanguageString(236), Settings::Confirmations,
                         Settings::TaskDeletion))
        return;
    m_data.MainGrid.DeleteRow(row);
    afterTaskTableChange(Change::TaskTable | Change::SelectFirst | Change::Autosize);
}

void TfmMain::CheckTask()
{
    if (ModalBusy)
        return;
    CommitPreviewNotes();
    if (m_list->lastRebuild().taskCount == 0)
        return;
    const int viewRow = m_view.currentRow();
    const CheckStep step = checkStepFor(m_view.MirrorGrid, viewRow);
    if (step != CheckStep::Uncheck &&
        !TfmConfirm::ask(this, m_settings, QStringLiteral("Are you sure you want to complete the task?"),
                         Settings::Confirmations, Settings::TaskCompletion))
        return;
    if (!LocateTaskRow(m_data.MainGrid, m_view.MirrorGrid, viewRow))
        return;
    const bool scheduleNext =
        step == CheckStep::AskNextOccurrence &&
        Ask::question(this,
                      QStringLiteral("Would you like to schedule this task to be performed in the next time period?"),
                      QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) == QMessageBox::Yes;
    applyCheck(m_data.MainGrid, m_data.MainGrid.currentRow(), step, scheduleNext);
    afterTaskTableChange(Change::TaskTable);
}

// ---------------------------------------------------------------------------------------------
// Attachments

void TfmMain::runSelectedAttachment()
{
    CommitPreviewNotes();
    RunAttachment(this, m_view.MirrorGrid.cellText(m_view.currentRow(), colAttachment));
}

void TfmMain::showAttachmentMenu(const QPoint& globalPos)
{
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("pm"));
    const QString path = m_notes->attachment();
    connect(menu.addAction(QStringLiteral("&Open (default action)")), &QAction::triggered, this,
            [this, path] { RunAttachment(this, path); });
    addAttachmentShellMenu(&menu, this, path);
    menu.exec(globalPos);
}

// ---------------------------------------------------------------------------------------------
// Task list popup and the filter dialog

void TfmMain::showTaskPopup(const QPoint& globalPos)
{
    pmTasks->exec(globalPos);
}

void TfmMain::showFilterDialog()
{
    if (ModalBusy)
        return;
    CommitPreviewNotes();
    const QScopedValueRollback busy(ModalBusy, true);
    TfmSelection dialog(m_settings, m_data.projects.names(), m_data.assignees.names(), this);
    if (Ask::exec(dialog) == QDialog::Accepted) {
        m_view.ProjectFilter = TaskView::normalizedNames(dialog.projectFilter());
        m_view.AssigneeFilter = TaskView::normalizedNames(dialog.assigneeFilter());
        m_status->setProjectText(dialog.projectStatusText());
        m_status->setAssigneeText(dialog.assigneeStatusText());
        // A custom selection matches no single menu item.
        for (QActionGroup* group : {m_projectGroup, m_assigneeGroup}) {
            group->setExclusionPolicy(QActionGroup::ExclusionPolicy::None);
            for (QAction* a : group->actions())
                a->setChecked(false);
            group->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
        }
        const int rule = dialog.deadlineRule();
        m_deadlineItems.value(rule, m_deadlineItems.first())->setChecked(true);
        m_view.SetDeadlineFilter(rule, m_settings);
        RebuildView(false);
        ShowAttachment();
        m_list->autosizeIfEnabled();
    }
    m_list->header()->viewport()->update();
}
