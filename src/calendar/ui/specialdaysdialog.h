#pragma once

#include "calendar/specialdayseditor.h"

#include <QDialog>

#include <functional>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSpinBox;
class SettingsStore;
class TSortGrid;

// "Special days": edits the yearly rules of the special-days table. The rules live in `special`;
// `save` writes that table to its file and returns the error text, empty on success. Every change
// of the table goes through SpecialDaysEditor; this window only mirrors it and asks the questions.
class TfmSpecial final : public QDialog {
    Q_OBJECT
public:
    TfmSpecial(SettingsStore& settings, TSortGrid& special, std::function<QString()> save, QWidget* parent = nullptr);

    const SpecialDaysEditor& editor() const { return m_editor; }

    // Every way of closing ends here: asks before dropping an unapplied edit, then tidies and
    // writes the table.
    void done(int result) override;

Q_SIGNALS:
    void helpRequested(const QString& topic);

private:
    void lbDaysSelect(int row);
    void rbMonthClick();
    void rbWeekClick();
    void spinMonthChange(int value);
    void spinDayChange(int value);
    void rgWeekClick(int index);
    void rgWeekDayClick(int index);
    void edDescriptionChange(const QString& text);
    void btnNewClick();
    void btnAddClick();
    void btnChangeClick();
    void btnDeleteClick();

    // Shows a refusal or a failed write; returns whether the action went through.
    bool report(const SpecialDaysEditor::Result& result);
    // Copies the editor's rule and list into the controls, without feeding them back.
    void showRule();
    void showList();
    // Enabled states, "[Modified]" and the buttons.
    void showStates();

    SettingsStore& m_settings;
    SpecialDaysEditor m_editor;

    QLabel* Label3 = nullptr;
    QListWidget* lbDays = nullptr;
    QLabel* lblModified = nullptr;
    QGroupBox* gbTime = nullptr;
    QRadioButton* rbMonth = nullptr;
    QRadioButton* rbWeek = nullptr;
    QSpinBox* spinMonth = nullptr;
    QSpinBox* spinDay = nullptr;
    QGroupBox* rgWeek = nullptr;
    QButtonGroup* m_weekButtons = nullptr;
    QGroupBox* rgWeekDay = nullptr;
    QButtonGroup* m_weekDayButtons = nullptr;
    QLineEdit* edDescription = nullptr;
    QPushButton* btnNew = nullptr;
    QPushButton* btnAdd = nullptr;
    QPushButton* btnChange = nullptr;
    QPushButton* btnDelete = nullptr;
    QPushButton* btnClose = nullptr;
    QPushButton* btnHelp = nullptr;
};
