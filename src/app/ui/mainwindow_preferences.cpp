// The main window's side of the preferences: the Options command, the task editor's set-up button,
// start with the system, and the settings the window follows while it runs.

#include "app/ui/mainwindow.h"

#include "app/autostart.h"
#include "app/toolbarlayout.h"
#include "app/ui/notespane.h"
#include "app/ui/preferencesdialog.h"
#include "core/settingsnames.h"
#include "core/settingsstore.h"
#include "core/tasktable.h"
#include "core/ui/ask.h"
#include "tasks/taskview.h"
#include "tasks/ui/taskeditor.h"
#include "tasks/ui/taskitemdelegate.h"
#include "tasks/ui/tasklistwidget.h"

#include <QAction>
#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QScopedValueRollback>

#include <algorithm>

void TfmMain::Preferences1Click()
{
    if (ModalBusy)
        return;
    CommitPreviewNotes();
    TfmPreferences dialog(m_settings, m_data, this);
    runPreferences(dialog);
}

void TfmMain::runPreferences(TfmPreferences& dialog)
{
    dialog.setMainWindow(this);
    const auto entries = [](const ToolbarButtonList& list) {
        QList<TfmPreferences::ToolbarEntry> entries;
        for (qsizetype i = 0; i < list.keys.size(); ++i)
            entries.append({list.keys[i], list.shown.value(i)});
        return entries;
    };
    dialog.setToolbarList(entries(loadToolbarList(programFolder(), m_settings)), entries(defaultToolbarList()));
    int result = QDialog::Rejected;
    {
        const QScopedValueRollback busy(ModalBusy, true);
        result = Ask::exec(dialog);
    }
    if (result == QDialog::Accepted && dialog.ToolbarChanged) {
        ToolbarButtonList list;
        for (const TfmPreferences::ToolbarEntry& entry : dialog.toolbarList()) {
            list.keys.append(entry.key);
            list.shown.append(entry.shown);
        }
        const QString error = saveToolbarList(programFolder(), list, m_settings);
        if (!error.isEmpty())
            Ask::critical(this, error);
        BuildToolbar();
    }
    // A renamed name keeps its tasks in the filtered view.
    const auto follow = [](QStringList& filter, auto currentName) {
        QStringList names;
        for (const QString& name : filter) {
            const QString now = currentName(name);
            if (!now.isEmpty() || name.isEmpty())
                names.append(now);
        }
        filter = TaskView::normalizedNames(names);
    };
    follow(m_view.ProjectFilter, [&dialog](const QString& n) { return dialog.currentProjectName(n); });
    follow(m_view.AssigneeFilter, [&dialog](const QString& n) { return dialog.currentAssigneeName(n); });

    // The names' tasks changed when the user renamed or deleted them, whatever button closed the dialog.
    Changes what;
    if (dialog.tasksChanged())
        what |= Change::TaskTable | Change::Autosize;
    if (dialog.ProjectsChanged || dialog.AssigneesChanged)
        what |= Change::Lists;
    if (what != Changes())
        afterTaskTableChange(what);
}

void TfmMain::setupFromEditor(TfmTask& editor)
{
    TaskEditValues values = editor.values();
    const int editRow = editor.IsNewTask() ? -1 : editor.editRow();
    const QStringList before = editRow >= 0 ? m_data.MainGrid.row(editRow) : QStringList();

    TfmPreferences dialog(m_settings, m_data, &editor);
    dialog.setPage(TfmPreferences::ProjectsPage);
    runPreferences(dialog);

    if (editRow >= 0 && dialog.tasksChanged()) {
        // Deleting names deletes rows above the edited one, or the edited task itself.
        QStringList expected = before;
        expected[colProject] = dialog.currentProjectName(before[colProject]);
        expected[colAssignee] = dialog.currentAssigneeName(before[colAssignee]);
        const bool deleted = (expected[colProject].isEmpty() && !before[colProject].isEmpty()) ||
                             (expected[colAssignee].isEmpty() && !before[colAssignee].isEmpty());
        int row = -1;
        for (int r = std::min(editRow, m_data.MainGrid.rowCount() - 1); !deleted && r >= 0 && row < 0; --r) {
            if (m_data.MainGrid.row(r) == expected)
                row = r;
        }
        editor.editedRowMoved(row);
    }
    values.project = dialog.currentProjectName(values.project);
    values.assignee = dialog.currentAssigneeName(values.assignee);
    // The renamed choice first: the new lists then keep it, and a deleted one drops out.
    editor.setValues(values);
    editor.setNameLists(m_data.projects.names(), m_data.assignees.names());
}

void TfmMain::registerRunAtStartup()
{
    if (!m_settings.readBool(Settings::Startup, Settings::RunWithWindows, false))
        return;
    const QString error = SetRunAtStartup(programTitle(), QCoreApplication::applicationFilePath());
    if (!error.isEmpty())
        Ask::warning(this, error);
}

void TfmMain::followSettings()
{
    connect(&m_settings, &SettingsStore::sectionChanged, this, [this](const QString& section) {
        const auto is = [&section](QLatin1String name) { return section.compare(name, Qt::CaseInsensitive) == 0; };
        if (is(Settings::Font))
            m_notes->notesMemo()->setFont(m_list->delegate()->style().font);
        if (is(Settings::Alarms)) {
            command(u"miMainMenuEnableAlarms")->setChecked(AlarmScheduler::alarmsEnabled(m_settings));
            if (m_startUpDone)
                ScheduleNextAlarm();
        }
        // "This week" and "Next week" start on the chosen day.
        if (is(Settings::Calendar) && m_startUpDone) {
            m_view.SetDeadlineFilter(m_view.DeadlineRuleTag, m_settings);
            RebuildView(false);
        }
    });
}
