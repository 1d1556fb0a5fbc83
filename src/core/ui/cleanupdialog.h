#pragma once

#include "core/dataset.h"

#include <QDate>
#include <QDialog>

class QDateEdit;
class QRadioButton;
class SettingsStore;

// "Purge tasks to log": which tasks go to the task log. The caller runs the purge on OK.
class TfmCleanUp final : public QDialog {
    Q_OBJECT
public:
    explicit TfmCleanUp(SettingsStore& settings, QWidget* parent = nullptr);

    DataSet::PurgeMode mode() const;
    QDate beforeDate() const; // starts at today

    // Asks 513 and 514 first, unless that question is switched off; No keeps the window open.
    void accept() override;
    void done(int result) override;

private:
    SettingsStore& m_settings;
    QRadioButton* m_completed = nullptr;
    QRadioButton* m_all = nullptr;
    QRadioButton* m_before = nullptr;
    QDateEdit* m_date = nullptr;
};
