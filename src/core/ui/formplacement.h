#pragma once

#include <QLatin1String>

class QWidget;
class SettingsStore;

// A dialog's remembered place: Left, Top, Width and Height in its own section under Forms.
void restoreFormPlacement(QWidget* window, const SettingsStore& settings, QLatin1String section);
void storeFormPlacement(const QWidget* window, SettingsStore& settings, QLatin1String section);
