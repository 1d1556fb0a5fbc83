#include "app/ui/mainwindow.h"
#include "core/settingsnames.h"
#include "core/settingsstore.h"
#include "core/ui/passworddialog.h"

#include <QScopedValueRollback>
#include <QTimer>

bool TfmMain::askPasswordAtStartUp()
{
    // Asked at every restore, a minimised start asks at the first restore instead.
    if (asksPasswordAtRestore() && m_settings.readBool(Settings::Startup, Settings::RunMinimized, false))
        return true;
    const QScopedValueRollback busy(ModalBusy, true);
    return runPasswordPrompt(m_settings, this);
}

bool TfmMain::asksPasswordAtRestore() const
{
    return m_settings.readBool(Settings::Other, Settings::MoreInfo, false) &&
           m_settings.readInteger(Settings::Other, Settings::EveryInfo, 0) == 1;
}

void TfmMain::restoredFromMinimized()
{
    // The window manager has already brought the window back: its tasks stay out of sight until
    // the password has been given.
    // A hidden client area means a prompt is already on its way.
    if (m_restoring || ModalBusy || centralWidget()->isHidden() || !asksPasswordAtRestore())
        return;
    centralWidget()->hide();
    QTimer::singleShot(0, this, &TfmMain::RestoreFromTray);
}

void TfmMain::RestoreFromTray()
{
    if (ModalBusy || m_quit || !m_startUpDone) {
        // Held back by another modal window, the window stays as the window manager left it.
        if (!m_restoring)
            centralWidget()->show();
        return;
    }
    const QScopedValueRollback restoring(m_restoring, true);
    const bool ask = asksPasswordAtRestore();
    if (ask)
        centralWidget()->hide();
    if (isMinimized() || !isVisible())
        showNormal();
    raise();
    activateWindow();
    if (ask) {
        bool passed = false;
        {
            const QScopedValueRollback busy(ModalBusy, true);
            passed = runPasswordPrompt(m_settings, this);
        }
        if (!passed)
            showMinimized();
        centralWidget()->show();
        if (!passed)
            return;
    }
    HiddenToTray = false;
}
