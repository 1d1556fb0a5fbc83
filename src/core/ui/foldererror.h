#pragma once

#include "core/dataset.h"

#include <QDialog>

#include <functional>

class QLineEdit;
class SettingsStore;

// "Data folder read error": shown while the data folder is missing, until it exists again or
// another data set is chosen in the dataset manager.
class TfmFolderError final : public QDialog {
    Q_OBJECT
public:
    enum class Choice { Closed, Retry, Manager };

    TfmFolderError(SettingsStore& settings, DataSet& dataSet, const QString& programFolder, QWidget* parent = nullptr);

    // Shows the window again and again while the data set's folder does not exist; after
    // "Dataset manager..." and "Open database" the data set takes the chosen name and folder.
    // For DataSet::setFolderGuard; returns true once the folder exists.
    bool runUntilFolderExists();

    Choice choice() const { return m_choice; }
    void done(int result) override;

    // Help pages are shown by whoever installs this.
    std::function<void()> onHelp;
    // When set, "Dataset manager..." runs this instead of the window's own manager showing.
    std::function<void()> onManager;

    // A guard for DataSet::setFolderGuard that runs the window as runUntilFolderExists does, with
    // `openManager` behind "Dataset manager..." (it may call DataSet::setLocation).
    static DataSet::FolderGuard makeGuard(QWidget* parent, SettingsStore& settings, DataSet& dataSet,
                                          std::function<void()> openManager, std::function<void()> help = {});

private:
    void openManager();

    SettingsStore& m_settings;
    DataSet& m_dataSet;
    QString m_programFolder;
    QLineEdit* m_path = nullptr;
    Choice m_choice = Choice::Closed;
};
