#include "core/ui/formplacement.h"

#include "core/settingsnames.h"
#include "core/settingsstore.h"

#include <QWidget>

void restoreFormPlacement(QWidget* window, const SettingsStore& settings, QLatin1String section)
{
    if (!settings.valueExists(section, Settings::Left))
        return;
    const QRect rect(settings.readInteger(section, Settings::Left, window->x()),
                     settings.readInteger(section, Settings::Top, window->y()),
                     settings.readInteger(section, Settings::Width, window->width()),
                     settings.readInteger(section, Settings::Height, window->height()));
    window->move(rect.topLeft());
    window->resize(rect.size().expandedTo(window->minimumSize()));
}

void storeFormPlacement(const QWidget* window, SettingsStore& settings, QLatin1String section)
{
    SettingsStore::Batch batch(settings);
    settings.writeInteger(section, Settings::Left, window->x());
    settings.writeInteger(section, Settings::Top, window->y());
    settings.writeInteger(section, Settings::Width, window->width());
    settings.writeInteger(section, Settings::Height, window->height());
}
