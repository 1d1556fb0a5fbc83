#pragma once

#include "alarms/alarmactions.h"

#include <QDialog>
#include <QString>

class QComboBox;
class QEvent;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QShowEvent;
class QSpinBox;
class SettingsStore;
class TAlarmSound;
class TSortGrid;

// "Tarnwick Alarm": shows one fired alarm and takes the user's answer. It changes nothing
// itself: after exec() the caller reads action() (with the snooze amount and unit, or whether to
// schedule the next time period) and applies it to the task table. The dialog cannot be closed
// without an answer; Esc means Edit task. The alarm sound starts when the dialog is made and stops
// with the first button pressed.
class TfmAlarm final : public QDialog {
    Q_OBJECT
public:
    // Filled from `row` of the task table at the current time.
    TfmAlarm(SettingsStore& settings, const TSortGrid& taskTable, int row, QWidget* parent = nullptr);
    ~TfmAlarm() override;

    // True while an alarm dialog exists; a second alarm must not fire then.
    static bool AlarmDialogOpen();

    // The alarmed row and its text as filled in (see relocateAlarmedRow).
    int row() const { return m_row; }
    const QString& rowText() const { return m_rowText; }

    AlarmAction action() const { return m_action; }
    // Snooze: the amount of spinAlarm and the unit index of cbAlarmOptions (-1 when none is chosen).
    int snoozeAmount() const;
    int snoozeUnit() const;
    // Check task: whether the user asked for the next time period.
    bool scheduleNextOccurrence() const { return m_scheduleNext; }

    TAlarmSound& sound() const { return *m_sound; }

    // Closes only after an answer, and then always with Accepted.
    void done(int result) override;
    // Closing without an answer (the window's close command) is refused silently.
    void reject() override;

Q_SIGNALS:
    void helpRequested(const QString& topic);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fill(const TSortGrid& taskTable);
    void answer(AlarmAction action);
    void btnSnoozeClick();
    void btnCompleteClick();
    void btnDisableClick();
    void btnEditClick();
    void btnDeleteClick();
    void btnAttachClick();
    void btnHelpClick();

    SettingsStore& m_settings;
    int m_row = -1;
    QString m_rowText;
    QString m_recurrenceCell;
    AlarmAction m_action = AlarmAction::None;
    bool m_scheduleNext = false;
    TAlarmSound* m_sound = nullptr;

    QLabel* Label4 = nullptr;
    QLineEdit* lblTaskName = nullptr;
    QLineEdit* lblDateTime = nullptr;
    QLineEdit* lblProject = nullptr;
    QLineEdit* lblAssignee = nullptr;
    QLineEdit* cbAttach = nullptr;
    QPushButton* btnAttach = nullptr;
    QPlainTextEdit* mNotes = nullptr;
    QPushButton* btnSnooze = nullptr;
    QSpinBox* spinAlarm = nullptr;
    QComboBox* cbAlarmOptions = nullptr;
    QPushButton* btnComplete = nullptr;
    QPushButton* btnEdit = nullptr;
    QPushButton* btnDelete = nullptr;
    QPushButton* btnDisable = nullptr;
    QPushButton* btnHelp = nullptr;
    QListWidget* lbType = nullptr;
};
