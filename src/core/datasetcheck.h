#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// What one table file of a data set folder holds, as the program's loaders read it.
struct TableCheck {
    QString file;
    bool present = false;
    QString error;          // could not be read at all
    int entries = 0;        // tasks, log entries, diary days, special days or names
    int marker = -1;        // format marker (-1: the table has none)
    bool upgradeNeeded = false;
    QStringList problems;   // cells the program will read as 0 or "no date", fields it will drop
};

// Loads every table of a data folder without creating or changing any file.
QList<TableCheck> checkDataFolder(const QString& folder);

struct UpgradeResult {
    QStringList rewritten;  // files saved in the current format
    QStringList notes;      // what was found in damaged or older files and where their copies are
    QStringList errors;     // each names the file and the reason
    bool ok() const { return errors.isEmpty(); }
};

// Loads and saves every present table in the current format. Refuses a data set that is open
// in the program (its lock is held). Each file is replaced atomically.
UpgradeResult upgradeDataFolder(const QString& folder);
