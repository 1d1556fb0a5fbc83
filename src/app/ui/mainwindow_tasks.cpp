// The main window's task commands: add, edit, delete, check, the attachment box and the filter
// dialog, each ending with the refresh steps that keep the file, the list and the panels current.

#include "app/ui/mainwindow.h"

#include "core/applanguage.h"
#include "core/settingsnames.h"
#include "core/settingsstore.h"
#include "core/tasktable.h"
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
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTableView>

// ---------------------------------------------------------------------------------------------
// Refresh steps

void TfmMain::saveTaskTable()
{
    CommitPreviewNotes();
    const QString error = m_data.saveTasks();
    // A failed save is never passed over in silence: the tasks are still in memory and the next
    // save point tries again.
    if (!error.isEmpty())
        QMessageBox::critical(this, programTitle(), error);
}

void TfmMain::autosizeIfEnabled()
{
    if (m_settings.readBool(Settings::Other, Settings::Autosize, true))
        m_list->AutosizeColumns();
}

void TfmMain::selectStoredTask(const StoredTask& stored)
{
    const int row = storedTaskRow(m_view.MirrorGrid, stored);
    if (row >= 0) {
        m_list->selectRow(row);
        showSelectedTask();
    }
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
    ModalBusy = true;
    {
        TfmTask dialog(m_settings, m_data.MainGrid, m_data.projects.names(), m_data.assignees.names(), this);
        prepareTaskEditor(dialog);
        dialog.setNewTask(m_view.ProjectFilter, m_view.AssigneeFilter);
        if (dialog.exec() == QDialog::Accepted) {
            RebuildView(m_settings.readBool(Settings::Editing, Settings::MoveToTop, true));
            selectStoredTask(dialog.storedTask());
        }
        TaskEditorOpen = false;
    }
    ModalBusy = false;
    BuildFilterMenus();
    showSelectedTask();
    saveTaskTable();
    ScheduleNextAlarm();
    RefreshCalendar();
    autosizeIfEnabled();
}

void TfmMain::editSelectedTask()
{
    if (ModalBusy)
        return;
    if (!locateSelectedTask())
        return;
    EditTask(m_data.MainGrid.currentRow());
    RefreshCalendar();
}

void TfmMain::EditTask(int row, bool fromAlarm)
{
    if (ModalBusy || row < 0 || row >= m_data.MainGrid.rowCount())
        return;
    ModalBusy = true;
    bool stored = false;
    {
        TfmTask dialog(m_settings, m_data.MainGrid, m_data.projects.names(), m_data.assignees.names(),
                       fromAlarm ? alarmParent() : this);
        prepareTaskEditor(dialog);
        dialog.setOpenedFromAlarm(fromAlarm);
        dialog.setEditRow(row);
        if (dialog.exec() == QDialog::Accepted) {
            stored = true;
            RebuildView(m_settings.readBool(Settings::Editing, Settings::MoveToTop, false));
            selectStoredTask(dialog.storedTask());
        }
        TaskEditorOpen = false;
    }
    if (stored)
        ScheduleNextAlarm();
    ModalBusy = false;
    BuildFilterMenus();
    ShowAttachment();
    showSelectedTask();
    saveTaskTable();
    autosizeIfEnabled();
}

void TfmMain::prepareTaskEditor(TfmTask& dialog)
{
    TaskEditorOpen = true;
    installMemoCommands(dialog.notesMemo());
    // The preferences dialog arrives later; until then the editor offers no set-up button.
    dialog.setupRequested = nullptr;
}

// ---------------------------------------------------------------------------------------------
// Delete and check

void TfmMain::deleteSelectedTask()
{
    if (ModalBusy)
        return;
    if (!locateSelectedTask())
        return;
    DeleteTask(m_data.MainGrid.currentRow());
    RefreshCalendar();
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
    m_list->rebuildView(false);
    m_list->selectRow(0);
    updateStatusTexts();
    ShowAttachment();
    showSelectedTask();
    saveTaskTable();
    ScheduleNextAlarm();
    autosizeIfEnabled();
}

void TfmMain::CheckTask()
{
    if (ModalBusy)
        return;
    CommitPreviewNotes();
    if (m_list->lastRebuild().taskCount == 0)
        return;
    const int viewRow = m_view.currentRow();
    if (!isCompleted(m_view.MirrorGrid.cell(viewRow, colComplete))) {
        if (!TfmConfirm::ask(this, m_settings, QStringLiteral("Are you sure you want to complete the task?"),
                             Settings::Confirmations, Settings::TaskCompletion))
            return;
        if (LocateTaskRow(m_data.MainGrid, m_view.MirrorGrid, viewRow)) {
            const int row = m_data.MainGrid.currentRow();
            if (offersNextOccurrence(m_data.MainGrid.cell(row, colRecurrence)) &&
                QMessageBox::question(
                    this, programTitle(),
                    QStringLiteral("Would you like to schedule this task to be performed in the next time period?"),
                    QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) == QMessageBox::Yes)
                completeWithNextOccurrence(m_data.MainGrid, row);
            else
                m_data.MainGrid.setCell(row, colComplete, u"100");
        }
    } else if (LocateTaskRow(m_data.MainGrid, m_view.MirrorGrid, viewRow)) {
        m_data.MainGrid.setCell(m_data.MainGrid.currentRow(), colComplete, u"0");
    }
    RebuildView(false);
    ShowAttachment();
    saveTaskTable();
    ScheduleNextAlarm();
    RefreshCalendar();
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
    const QString path = edAttach->text();
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
    ModalBusy = true;
    TfmSelection dialog(m_settings, m_data.projects.names(), m_data.assignees.names(), this);
    if (dialog.exec() == QDialog::Accepted) {
        m_view.ProjectFilter = TaskView::normalizedNames(dialog.projectFilter());
        m_view.AssigneeFilter = TaskView::normalizedNames(dialog.assigneeFilter());
        m_projectPanel->setText(dialog.projectStatusText());
        m_assigneePanel->setText(dialog.assigneeStatusText());
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
        autosizeIfEnabled();
    }
    ModalBusy = false;
    m_list->header()->viewport()->update();
}

// ---------------------------------------------------------------------------------------------
// The notes preview

bool TfmMain::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == memoPreview && event->type() == QEvent::FocusOut)
        CommitPreviewNotes();
    else if (watched == edAttach && event->type() == QEvent::MouseButtonDblClick) {
        runSelectedAttachment();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}
