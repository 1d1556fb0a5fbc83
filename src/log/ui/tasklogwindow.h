#pragma once

#include <QDialog>
#include <QSet>

class DataSet;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableView;
class SettingsStore;
class TaskLogModel;
class TfmFind;

// "Task log": the tasks that left the list, with the notes and attached file of the selected one.
// Made once at start and kept; every showing reads the log file again, so entries moved to the log
// meanwhile (a purge, the move of completed tasks) appear. Every change is saved at once.
class TfmLog final : public QDialog {
    Q_OBJECT
public:
    // The log table is the data set's; the find window searches it for the "&Find..." button.
    TfmLog(SettingsStore& settings, DataSet& data, TfmFind& find, QWidget* parent = nullptr);
    ~TfmLog() override;

    // Reloads the log, selects the row the find window left (then forgets it) and shows the window
    // modally; returns its result.
    int execShow();

    // The log list's current entry as a log-table row (entries start at 1).
    int currentTableRow() const;

    void done(int result) override;

Q_SIGNALS:
    void helpRequested(const QString& topic);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void ShowLog();
    // Sizes every column to its widest text (header included) + 3 pixels and gives the name column
    // what is left; a column the user dragged keeps its width for the session.
    void SetupLogGrid();
    // The name column takes the width the other columns leave (unless the user sized it).
    void fitNameColumn();
    void LogGridSelectCell(int listRow);
    void selectTableRow(int tableRow);
    void btnDeleteClick();
    void btnClearClick();
    void btnFindClick();
    void btnRunClick();
    void saveLog();
    void updateButtons();

    SettingsStore& m_settings;
    DataSet& m_data;
    TfmFind& m_find;
    TaskLogModel* m_model = nullptr;
    QSet<int> m_userSized;
    bool m_sizing = false;

    QTableView* LogGrid = nullptr;
    QPlainTextEdit* memoPreview = nullptr;
    QLineEdit* edAttach = nullptr;
    QPushButton* btnRun = nullptr;
    QPushButton* btnDelete = nullptr;
    QPushButton* btnClear = nullptr;
    QPushButton* btnFind = nullptr;
    QPushButton* btnPrint = nullptr;
    QPushButton* btnClose = nullptr;
    QPushButton* btnHelp = nullptr;
};
