#pragma once

#include "core/datasetlist.h"

#include <QDialog>

class QLineEdit;
class SettingsStore;

// "Database properties": the name and folder of a new (row -1) or existing list row.
class TfmDatasetProperties final : public QDialog {
    Q_OBJECT
public:
    TfmDatasetProperties(SettingsStore& settings, DataSetList& list, int row, const QString& openFolder,
                         QWidget* parent = nullptr);

    // The folder chooser and a dropped folder set the location; it cannot be typed.
    void setLocation(const QString& folder);
    const DataSetList::EditResult& result() const { return m_result; }

    void accept() override;
    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void chooseFolder();

    SettingsStore& m_settings;
    DataSetList& m_list;
    int m_row;
    QString m_openFolder;
    DataSetList::EditResult m_result;
    QLineEdit* m_name = nullptr;
    QLineEdit* m_location = nullptr;
};

// Shows each message in a box of its kind.
void showDataSetMessages(QWidget* parent, const QList<DataSetMessage>& messages);
