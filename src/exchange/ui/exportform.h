#pragma once

#include "core/sortgrid.h"
#include "exchange/exchangeformat.h"

#include <QDialog>

class QListWidget;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class SettingsStore;

// "Export tasks": the tasks of the view (the chosen columns) or the task log to a delimited file,
// and beyond those the view's tasks or the diary as iCalendar.
class TExportForm final : public QDialog {
    Q_OBJECT
public:
    // The grids are read when "Export!" is pressed: the view's rows, the task log (header row 0)
    // and the diary.
    TExportForm(SettingsStore& settings, const TSortGrid& mirrorGrid, const TSortGrid& backGrid,
                const TSortGrid& diary, QWidget* parent = nullptr);

    // The save dialog's filters, in their order; the first three are the classic ones.
    static QStringList fileFilters();
    static ExchangeFormat formatOfFilter(const QString& filter);
    // The file last written, empty when nothing was.
    QString writtenFile() const { return m_written; }

    void done(int result) override;

Q_SIGNALS:
    void helpRequested(const QString& topic);

private:
    enum What { whatTasks = 0, whatLog = 1, whatDiary = 2 };
    void btnOKClick();
    void IncludeBtnClick();
    void ExcludeBtnClick();
    void IncAllBtnClick();
    void ExAllBtnClick();
    void updateButtons();
    static void moveSelected(QListWidget* from, QListWidget* to);
    // Asks for the target and writes it. A failed write keeps the dialog open, so the user can pick
    // another place at once.
    enum class FileStep { Cancelled, Written, Failed };
    FileStep fileStep(What what, const TSortGrid& grid);

    SettingsStore& m_settings;
    const TSortGrid& m_mirror;
    const TSortGrid& m_log;
    const TSortGrid& m_diary;
    QString m_written;

    QStackedWidget* Notebook1 = nullptr;
    QRadioButton* m_whatButtons[3] = {};
    QListWidget* SrcList = nullptr;
    QListWidget* DstList = nullptr;
    QPushButton* IncludeBtn = nullptr;
    QPushButton* IncAllBtn = nullptr;
    QPushButton* ExcludeBtn = nullptr;
    QPushButton* ExAllBtn = nullptr;
    QPushButton* btnOK = nullptr;
};
