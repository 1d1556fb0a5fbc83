#pragma once

#include "core/sortgrid.h"

#include <QList>
#include <QString>
#include <QStringList>

class SettingsStore;

// A message for the user: language strings joined by CR LF, then a detail such as a file path.
struct DataSetMessage {
    enum Kind { Information, Warning, Error };
    Kind kind = Error;
    QList<int> strings;
    QString detail;
    QString separator = QStringLiteral("\r\n"); // between the language strings
    QString text() const;
};

// The list of data sets, datasets.ini: a table file with the columns name and folder, kept in the
// program's data folder. Names and folders are compared exactly; no two rows share either.
class DataSetList final {
public:
    explicit DataSetList(const QString& programFolder);

    QString filePath() const;
    const QString& programFolder() const { return m_programFolder; }

    // Reads the list. When the file cannot be read, the list becomes the one default data set
    // (language string 821) in Startup/SourcePath, default the program's folder; defaultMade()
    // then says so and start-up opens it without asking.
    void load(const SettingsStore& settings);
    bool defaultMade() const { return m_defaultMade; }
    // Empty on success, else the error.
    QString save() const;

    int count() const;
    QString nameAt(int row) const { return m_grid.cellText(row, 0); }
    QString folderAt(int row) const { return m_grid.cellText(row, 1); }
    // Row of the name or folder, -1 when absent. `except` is a row left out of the search.
    int findName(const QString& name, int except = -1) const;
    int findFolder(const QString& folder, int except = -1) const;

    struct EditResult {
        bool changed = false;           // false: refused, the list is as it was
        bool openNameChanged = false;   // the open data set was renamed
        QList<DataSetMessage> messages; // to show, in order
    };
    // Adds a row (row -1) or changes one. When the folder of a data set that is not open changes,
    // its six table files are moved; a file that cannot be moved is reported and left.
    EditResult edit(int row, const QString& name, const QString& folder, const QString& openFolder);

    struct RemoveResult {
        bool removed = false;
        QList<DataSetMessage> messages;
    };
    // Refuses the open data set. With deleteFiles, the six table files that exist are deleted
    // first; each failure is reported and the others still go.
    RemoveResult remove(int row, bool deleteFiles, const QString& openFolder);
    // The question asked before removing (Yes deletes the files, No keeps them).
    QString removeQuestion(int row) const;

    // The start-up choice: item 0 means "show the manager", then every name in list order.
    QStringList startupItems() const;
    int startupSelection(const SettingsStore& settings) const;
    void storeStartupChoice(SettingsStore& settings, int index) const;
    // The row to open at start-up without the manager, -1 when the manager must be shown.
    int startupRow(const SettingsStore& settings) const;

    // The row is the open data set (same folder).
    bool isOpen(int row, const QString& openFolder) const;

private:
    QString m_programFolder;
    TSortGrid m_grid{2, 1};
    int m_count = 0; // the grid keeps at least one row; an empty list is count 0
    bool m_defaultMade = false;
};
