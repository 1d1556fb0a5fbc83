#pragma once

#include "core/sortgrid.h"
#include "exchange/importstep.h"

#include <QDialog>

#include <functional>

class ImportPreviewModel;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;
class QStackedWidget;
class QTableView;

// "Import wizard": a TAB, semicolon or CSV file whose columns the user pairs with task fields, or
// an iCalendar file of tasks; the tasks are added at the top of the task table.
class TfmImport final : public QDialog {
    Q_OBJECT
public:
    enum Page { pageStart = 0, pageGrid, pageColumns, pageFinish };

    explicit TfmImport(TSortGrid& mainGrid, QWidget* parent = nullptr);

    // Called right after the import step added tasks, while the wizard is still open, so they are
    // saved before anything else can happen.
    std::function<void()> onImported;

    int importedCount() const { return m_imported; }
    const ImportPairs& pairs() const { return m_pairs; }
    int currentPage() const;

private:
    void btnNextClick();
    void btnBackClick();
    void btnMatchClick();
    void btnUnMatchClick();
    void browse();
    void turnTo(Page page);
    bool loadFile();
    void importICalendar();
    void runImportStep();
    void finish(const QStringList& notes);

    TSortGrid& m_mainGrid;
    ImportPairs m_pairs = NoImportPairs;
    int m_imported = 0;

    QStackedWidget* Notebook1 = nullptr;
    QLineEdit* fe = nullptr;
    QComboBox* cbDelimiter = nullptr;
    QTableView* Grid = nullptr;
    ImportPreviewModel* m_preview = nullptr;
    QSpinBox* se = nullptr;
    QListWidget* Source = nullptr;
    QListWidget* List = nullptr;
    QListWidget* match = nullptr;
    QLabel* lblNotes = nullptr;
    QPushButton* btnBack = nullptr;
    QPushButton* btnNext = nullptr;
    QPushButton* btnCancel = nullptr;
};
