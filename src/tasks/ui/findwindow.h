#pragma once

#include "tasks/find.h"

#include <QDate>
#include <QDialog>

class FindResultModel;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;
class QTableView;
class SettingsStore;

// "Find": searches the tasks of the view, the task log and the diary and goes to a hit. Made once
// at start and kept; every showing starts from Reset. After a search the parameters stay locked
// until Reset, so the results always belong to what the dialog shows.
class TfmFind final : public QDialog {
    Q_OBJECT
public:
    // The tables are read in place while the dialog searches; they must outlive it.
    TfmFind(SettingsStore& settings, const Find::Sources& sources, QWidget* parent = nullptr);
    ~TfmFind() override;

    enum class Scope {
        AllPlaces,   // from the main window: active tasks, task log and diary offered
        TaskLogOnly, // from the log window: "Active tasks" and "Diary" hidden and off
    };
    // Offers the places of the scope, resets and shows the dialog modally; returns its result.
    int execFor(Scope scope);

    // The log row (of the log table, header row 0) chosen with go-to; -1 when none. The window that
    // opened the dialog shows that row and sets it back to -1.
    int LogRowToShow = -1;

    void Reset();

    void done(int result) override;

Q_SIGNALS:
    // Go-to: the main window selects the list row, or shows the diary at the date.
    void gotoTaskRequested(int viewRow);
    void gotoDiaryRequested(const QDate& date);
    void helpRequested(const QString& topic);

private:
    void applyWeekStart();
    void btnFindClick();
    void btnGotoClick();
    // The date boxes only with "From", the day count only with "days", the week count only with "weeks".
    void applyDateMode();
    void setParametersEnabled(bool enabled);
    void showResults(bool shown);
    Find::Parameters parameters() const;

    SettingsStore& m_settings;
    Find::Sources m_sources;

    QTabWidget* pcFind = nullptr;
    QWidget* tsText = nullptr;
    QWidget* tsDate = nullptr;
    QComboBox* edFind = nullptr;
    QCheckBox* cbCase = nullptr;
    QCheckBox* cbActive = nullptr;
    QCheckBox* cbLog = nullptr;
    QCheckBox* cbDiary = nullptr;
    QRadioButton* rbAll = nullptr;
    QRadioButton* rbRange = nullptr;
    QRadioButton* rbLastDays = nullptr;
    QRadioButton* rbLastWeeks = nullptr;
    QDateEdit* pckDateFrom = nullptr;
    QDateEdit* pckDateTo = nullptr;
    QSpinBox* edDays = nullptr;
    QSpinBox* edWeeks = nullptr;
    QGroupBox* pResults = nullptr;
    QTableView* gridSearch = nullptr;
    FindResultModel* m_results = nullptr;
    QLabel* pStatus = nullptr;
    QPushButton* btnFind = nullptr;
    QPushButton* btnReset = nullptr;
    QPushButton* btnClose = nullptr;
    QPushButton* btnHelp = nullptr;
    QPushButton* btnGoto = nullptr;
};
