#include "app/singleinstance.h"
#include "app/terminationwatch.h"
#include "app/ui/mainwindow.h"
#include "core/settingsnames.h"
#include "core/settingsstore.h"
#include "core/ui/ask.h"
#include "core/ui/programicons.h"

#include <QApplication>
#include <QMessageBox>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Oskavel"));
    QApplication::setApplicationName(QStringLiteral("Tarnwick PRO"));
    QApplication::setApplicationDisplayName(TfmMain::programTitle());
    QApplication::setWindowIcon(programIcon());

    // A second start only wakes the running instance.
    SingleInstance instance;
    if (instance.wakeRunningInstance())
        return 0;
    if (!instance.listen())
        qWarning("Tarnwick PRO: cannot listen for a second start: %s", qPrintable(instance.errorString()));

    SettingsStore settings;
    if (!settings.lastError().isEmpty())
        Ask::warning(nullptr, settings.lastError());
    TfmMain window(settings);
    QObject::connect(&instance, &SingleInstance::wakeRequested, &window, &TfmMain::wake);
    if (!window.startUp())
        return 0;
    // From here on there is data to keep: a kill, a closed terminal or the session's end saves
    // as exit does. Earlier they end the program at once, as nothing was opened yet.
    TerminationWatch termination;
    QObject::connect(&termination, &TerminationWatch::terminationRequested, &window, [&window] {
        window.saveWithoutAsking();
        QCoreApplication::exit(0);
    });
    QObject::connect(&termination, &TerminationWatch::sessionEnding, &window, &TfmMain::saveWithoutAsking,
                     Qt::DirectConnection);
    // Without a tray icon (a later addition) a window started "minimised" goes to the task bar,
    // so it can never be lost.
    if (settings.readBool(Settings::Startup, Settings::RunMinimized, false))
        window.showMinimized();
    else
        window.show();
    return app.exec();
}
