// The main window's calendar commands: the special days editor and the calendar panel's refreshes.

#include "app/ui/mainwindow.h"

#include "calendar/ui/calendarpanelwidget.h"
#include "calendar/ui/specialdaysdialog.h"
#include "core/ui/ask.h"
#include "core/settingsstore.h"

#include <QScopedValueRollback>

void TfmMain::editSpecialDays()
{
    if (ModalBusy)
        return;
    {
        const QScopedValueRollback busy(ModalBusy, true);
        // The editor writes the file itself after each change and when it closes.
        TfmSpecial dialog(
            m_settings, m_data.gridSpecial, [this] { return m_data.saveSpecial(); }, this);
        Ask::exec(dialog);
    }
    m_calendar->refreshAll();
}

void TfmMain::RefreshCalendar()
{
    m_calendar->refreshTaskMarks();
}

void TfmMain::dayChangeRefresh()
{
    // A deadline filter such as "Today" counts from the new day.
    m_view.SetDeadlineFilter(m_view.DeadlineRuleTag, m_settings);
    afterTaskTableChange({});
}
