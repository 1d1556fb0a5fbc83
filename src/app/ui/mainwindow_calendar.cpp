// The main window's calendar commands: the special days editor and the calendar panel's refreshes.

#include "app/ui/mainwindow.h"

#include "calendar/ui/specialdaysdialog.h"

void TfmMain::editSpecialDays()
{
    if (ModalBusy)
        return;
    ModalBusy = true;
    {
        // The editor writes the file itself after each change and when it closes.
        TfmSpecial dialog(
            m_settings, m_data.gridSpecial, [this] { return m_data.saveSpecial(); }, this);
        dialog.exec();
    }
    ModalBusy = false;
    RefreshCalendar();
}
