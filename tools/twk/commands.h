#pragma once

#include <QStringList>

// Each command takes the arguments after its name, prints its results to standard output and
// its errors to standard error, and returns the process exit status.
int runCheckCommand(const QStringList& args);
int runUpgradeCommand(const QStringList& args);
int runLanguageCommand(const QStringList& args);
// list, add, done, export and import.
int runTaskCommand(const QString& command, const QStringList& args);
