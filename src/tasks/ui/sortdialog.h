#pragma once

#include <QDialog>

class QComboBox;
class QPushButton;
class SettingsStore;

// "Sort setup": the three keys and directions of the 3-level sort. Keys are sort columns, -1 for
// none; the dialog refuses a key chosen twice.
class TfmSort final : public QDialog {
    Q_OBJECT
public:
    struct Keys {
        int prim = -1;
        int sec = -1;
        int ter = -1;
        bool primAsc = true;
        bool secAsc = true;
        bool terAsc = true;
    };

    // The dialog comes back where it was last closed (Forms\SortForm).
    TfmSort(SettingsStore& settings, const Keys& keys, QWidget* parent = nullptr);

    // The keys chosen (valid after the dialog was accepted).
    Keys keys() const;
    // Whether keys given as list items (0 = "[None]") use one column twice.
    static bool keysRepeat(int primItem, int secItem, int terItem);

    void accept() override;
    void done(int result) override;

Q_SIGNALS:
    void helpRequested(const QString& topic);

private:
    void applyNoneCascade();

    SettingsStore& m_settings;
    QComboBox* cbPrimKey = nullptr;
    QComboBox* cbSecKey = nullptr;
    QComboBox* cbTerKey = nullptr;
    QComboBox* cbPrimDir = nullptr;
    QComboBox* cbSecDir = nullptr;
    QComboBox* cbTerDir = nullptr;
};
