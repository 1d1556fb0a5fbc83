#pragma once

#include "core/datasetlist.h"

#include <QDialog>

#include <functional>

class QComboBox;
class QTableWidget;
class SettingsStore;

// "Database manager": the data set list with new, properties, remove, open and the start-up
// choice. The list is read when the window is made and written when it closes.
class TfmDatasetManager final : public QDialog {
    Q_OBJECT
public:
    // `openFolder` is the open data set's folder (empty at start-up, when none is open).
    TfmDatasetManager(SettingsStore& settings, const QString& programFolder, const QString& openFolder,
                      QWidget* parent = nullptr);
    // The same with the open data set's name as the main window shows it.
    TfmDatasetManager(SettingsStore& settings, const QString& programFolder, const QString& openName,
                      const QString& openFolder, QWidget* parent = nullptr);

    const DataSetList& list() const { return m_list; }
    bool defaultMade() const { return m_list.defaultMade(); }
    // After "Open database": the chosen data set.
    const QString& chosenName() const { return m_chosenName; }
    const QString& chosenFolder() const { return m_chosenFolder; }
    // The open data set's name after it was renamed here.
    bool openNameChanged() const { return m_openNameChanged; }
    const QString& openName() const { return m_openName; }

    std::function<void()> onHelp;

    void openSelected();
    void newEntry();
    void editSelected();
    void removeSelected();
    void done(int result) override;

private:
    void fillGrid();
    void fillStartupChoice();
    int selectedRow() const;

    SettingsStore& m_settings;
    DataSetList m_list;
    QString m_openName;
    QString m_openFolder;
    QString m_chosenName;
    QString m_chosenFolder;
    QTableWidget* m_grid = nullptr;
    QComboBox* m_startup = nullptr;
    bool m_filling = false;
    bool m_openNameChanged = false;
};
