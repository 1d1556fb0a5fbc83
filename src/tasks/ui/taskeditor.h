#pragma once

#include "tasks/taskedit.h"

#include <QDialog>
#include <QStringList>

#include <functional>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QShowEvent;
class QSpinBox;
class QTimeEdit;
class SettingsStore;
class TSortGrid;

// "Task properties": adds a task or changes one. On OK the task is stored as row 0 of the task
// table (the edited row deleted first) and storedTask() tells the caller how to find it again.
// Cancel leaves the table untouched.
class TfmTask final : public QDialog {
    Q_OBJECT
public:
    // `projects` and `assignees` are the names of the two lists, without an empty item.
    TfmTask(SettingsStore& settings, TSortGrid& mainGrid, const QStringList& projects, const QStringList& assignees,
            QWidget* parent = nullptr);

    // Opens for a new task with the defaults; the filters are the view's project and assignee filters.
    void setNewTask(const QStringList& projectFilter, const QStringList& assigneeFilter);
    // Opens for the task in this row of the task table.
    void setEditRow(int row);

    bool IsNewTask() const { return m_isNewTask; }
    int editRow() const { return m_editRow; }

    // The edited task is now in that row of the task table (rows were deleted while the editor was
    // open), or is gone (-1): OK then stores it as a new task rather than replace another one.
    void editedRowMoved(int row);
    // Replaces the names of the pick lists, keeping the chosen names where they are still listed.
    void setNameLists(const QStringList& projects, const QStringList& assignees);
    // Opened from the alarm dialog: no way into the preferences from there.
    void setOpenedFromAlarm(bool fromAlarm);

    // Opens the preferences on their projects page; without it "&Setup..." is hidden. The handler
    // reloads the name lists afterwards through setNameLists.
    std::function<void()> setupRequested;

    // The texts that find the stored task again; valid after the dialog was accepted.
    const StoredTask& storedTask() const { return m_storedTask; }

    TaskEditValues values() const;
    void setValues(const TaskEditValues& values);

    // The notes memo, for the shared popup menu and the date and time insertion.
    QPlainTextEdit* notesMemo() const { return memoNotes; }

    void accept() override;
    void done(int result) override;

Q_SIGNALS:
    void helpRequested(const QString& topic);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void chkNoDueDateClick();
    void chkAlarmClick();
    void checkDoneClick();
    void spinCompleteChange(int value);
    void btnSetupClick();
    void btnBrowseClick();
    void updateSetupButton();
    static void selectItem(QComboBox* box, const QString& text);

    SettingsStore& m_settings;
    TSortGrid& m_mainGrid;
    QStringList m_projectItems;
    QStringList m_assigneeItems;
    bool m_isNewTask = true;
    int m_editRow = -1; // the task-table row being edited
    bool m_fromAlarm = false;
    StoredTask m_storedTask;

    QLineEdit* edittask = nullptr;
    QComboBox* cbPriority = nullptr;
    QComboBox* cbProject = nullptr;
    QComboBox* cbAssignee = nullptr;
    QCheckBox* chkNoDueDate = nullptr;
    QDateEdit* pckDate = nullptr;
    QTimeEdit* pckTime = nullptr;
    QComboBox* cbRecurring = nullptr;
    QCheckBox* chkAlarm = nullptr;
    QSpinBox* spinAlarm = nullptr;
    QComboBox* cbAlarmOptions = nullptr;
    QSpinBox* spinComplete = nullptr;
    QCheckBox* checkDone = nullptr;
    QPlainTextEdit* memoNotes = nullptr;
    QLineEdit* edAttach = nullptr;
    QPushButton* btnBrowse = nullptr;
    QPushButton* btnSetup = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;
    QPushButton* btnHelp = nullptr;
};
