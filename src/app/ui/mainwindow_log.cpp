// The main window's task log and find commands.

#include "app/ui/mainwindow.h"

#include "calendar/ui/calendarpanelwidget.h"
#include "log/tasklog.h"
#include "log/ui/tasklogwindow.h"
#include "tasks/ui/findwindow.h"
#include "tasks/ui/tasklistwidget.h"

#include <QScopedValueRollback>

void TfmMain::createLogAndFindWindows()
{
    if (m_find != nullptr)
        return;
    // Both live for the whole run and read the tables in place, so they must not outlive them.
    m_find = new TfmFind(m_settings, {&m_view.MirrorGrid, &m_data.BackGrid, &m_data.gridDiary}, this);
    // The view is not rebuilt while the dialog is open, so the row of a hit is still the list's row.
    connect(m_find, &TfmFind::gotoTaskRequested, this, [this](int row) { m_list->selectRow(row); });
    connect(m_find, &TfmFind::gotoDiaryRequested, this, &TfmMain::gotoDiaryDate);
    m_log = new TfmLog(m_settings, m_data, *m_find, this);
}

void TfmMain::showTaskLog()
{
    if (ModalBusy)
        return;
    createLogAndFindWindows();
    const QScopedValueRollback busy(ModalBusy, true);
    m_log->execShow();
}

void TfmMain::showFind()
{
    if (ModalBusy)
        return;
    createLogAndFindWindows();
    // The search reads the tables: the diary text and the notes being typed go in first.
    m_calendar->storeDiary();
    CommitPreviewNotes();
    // A log hit is shown in the log window, which cleans the log it reads back: cleaning it here
    // first gives the hit the row it will have there.
    TaskLog::CleanLogGrid(m_data.BackGrid);
    {
        const QScopedValueRollback busy(ModalBusy, true);
        m_find->execFor(TfmFind::Scope::AllPlaces);
    }
    // A log hit was chosen: the log window opens at it (and forgets the row).
    if (m_find->LogRowToShow != -1) {
        showTaskLog();
        m_find->LogRowToShow = -1;
    }
}

void TfmMain::gotoDiaryDate(const QDate& date)
{
    m_calendar->setPage(TCalendarPanelWidget::DiaryPage);
    // A diary row whose cells form no date (edited by hand) leaves the calendar where it is.
    if (date.isValid())
        m_calendar->setCalendarDate(date);
}
