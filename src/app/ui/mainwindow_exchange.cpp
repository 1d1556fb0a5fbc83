// The File menu's export and import commands of the main window.
#include "app/ui/mainwindow.h"

#include "calendar/ui/calendarpanelwidget.h"
#include "core/settingsstore.h"
#include "core/ui/ask.h"
#include "exchange/ui/exportform.h"
#include "exchange/ui/importwizard.h"

#include <QScopedValueRollback>

void TfmMain::Saveas1Click()
{
    if (ModalBusy)
        return;
    CommitPreviewNotes();
    m_calendar->storeDiary();
    const QScopedValueRollback busy(ModalBusy, true);
    TExportForm dialog(m_settings, m_view.MirrorGrid, m_data.BackGrid, m_data.gridDiary, this);
    Ask::exec(dialog);
}

void TfmMain::Importtasks1Click()
{
    if (ModalBusy)
        return;
    CommitPreviewNotes();
    bool refreshed = false;
    {
        const QScopedValueRollback busy(ModalBusy, true);
        TfmImport wizard(m_data.MainGrid, this);
        // Imported tasks are saved at once, while the wizard still shows its last page: a crash
        // then loses nothing of the import.
        wizard.onImported = [this, &refreshed] {
            afterTaskTableChange(Change::TaskTable | Change::Autosize);
            refreshed = true;
        };
        Ask::exec(wizard);
    }
    if (!refreshed)
        RebuildView();
}
