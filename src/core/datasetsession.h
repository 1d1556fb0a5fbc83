#pragma once

#include "core/dataset.h"
#include "core/datasetlist.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

class SettingsStore;

// The open data set's life cycle as the main window runs it, without windows: the start-up choice,
// locking and opening, the switch to another data set, backup, restore and purge. Each step returns
// what to tell the user, in order; the window shows it and asks the questions.
class DataSetSession final {
public:
    DataSetSession(DataSet& data, SettingsStore& settings, QString programFolder);

    using Messages = QList<DataSetMessage>;

    // Sets the location to the list's start-up choice; on the very first start that is the
    // default data set, which is kept in the list and stored as the choice. False when the data
    // set manager must choose.
    bool chooseAtStartUp();

    // Locks the current location and loads every table. False when the lock was refused:
    // lockFailure() tells why, and nothing was loaded.
    bool lockAndOpen(Messages* messages);
    DataSetMessage lockFailure() const;

    // Before another data set opens, the tables typed into go to their files. Errors mean: stay.
    QStringList saveBeforeSwitch();
    // Unlocks this data set and locks the other. When that lock is refused, the data set that is
    // still loaded stays the open one and is locked again; false, and lockFailure() tells why.
    bool switchTo(const QString& name, const QString& folder, QString* refusal);

    // The question before a backup writes over an earlier one, or nothing to ask.
    std::optional<DataSetMessage> backupQuestion(const QString& folder) const;
    DataSetMessage backup(const QString& folder);

    // Restore: the folder must hold a backup; the question chooses replace (Yes) or merge (No).
    std::optional<DataSetMessage> restoreRefusal(const QString& folder) const;
    static DataSetMessage restoreQuestion();
    static DataSetMessage restoreCancelled();
    // Replaces or merges, saving every table brought back; the table messages, then the closing one.
    Messages restore(const QString& folder, bool merge);

    // Moves the chosen tasks to the log (both files saved); the count message, after any error.
    Messages purge(DataSet::PurgeMode mode, const QDate& before, const QDate& today);

private:
    DataSet& m_data;
    SettingsStore& m_settings;
    QString m_programFolder;
};

// Table messages as messages to show.
QList<DataSetMessage> dataSetMessages(const QList<TableMessage>& messages);
