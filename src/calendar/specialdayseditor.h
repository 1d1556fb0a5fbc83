#pragma once

#include "core/sortgrid.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// The special-days editor without its window: the rule being edited, the list of descriptions,
// the "[Modified]" state and the add, change, delete, new and close actions on the table.
// The window mirrors these values into its controls and calls the actions; questions and
// messages come back as language-string numbers for it to show.
class SpecialDaysEditor final {
public:
    // Writes the table to its file; returns an empty string on success, else the error.
    using Saver = std::function<QString()>;

    struct Result {
        enum Status { Done, Refused };
        Status status = Done;
        bool warning = false; // a refusal shown in a warning box rather than an error box
        QList<int> strings;   // language strings of the refusal, joined by a line break
        QString fileError;    // the table changed but its file could not be written
        bool ok() const { return status == Done && fileError.isEmpty(); }
    };

    // On opening: the list holds every non-empty description, sorted; its first item is
    // selected and loaded.
    SpecialDaysEditor(TSortGrid& special, Saver save);

    // ---- The rule in the editor ----
    bool isWeekRule() const { return m_state.weekRule; }      // "Day of Week" checked
    int month() const { return m_state.month; }               // 1..12
    int day() const { return m_state.day; }                   // 1..31
    int weekIndex() const { return m_state.weekIndex; }       // 0..4: 1st .. 4th, last
    int weekdayIndex() const { return m_state.weekdayIndex; } // 0..6: Sun .. Sat
    const QString& description() const { return m_description; }

    void setWeekRule(bool weekRule);
    void setMonth(int month);
    void setDay(int day);
    void setWeekIndex(int index);
    void setWeekdayIndex(int index);
    void setDescription(const QString& text);

    // Control states.
    bool dayEnabled() const { return !m_state.weekRule; }
    bool weekGroupsEnabled() const { return m_state.weekRule; }
    bool isModified() const { return !(m_state == m_remembered); }
    // The description differs from the one loaded (or emptied by New). It takes no part in
    // isModified(), yet typed text must not vanish unasked, so it counts for the label and Close.
    bool descriptionEdited() const { return m_description != m_rememberedDescription; }
    bool hasUnappliedEdit() const { return isModified() || descriptionEdited(); } // "[Modified]" shown
    bool addEnabled() const { return m_addEnabled; }
    bool changeEnabled() const { return m_changeEnabled; }

    // ---- The list ----
    const QStringList& items() const { return m_items; }
    int selectedIndex() const { return m_selected; } // -1 for none
    // Selects an item (-1 for none) and loads its rule into the editor.
    void select(int index);

    // ---- Actions ----
    // Empties the editor for a new "Day of Month" rule on today's month and day; deselects.
    void New(const QDate& today);
    // Refused with 493 (warning) when the description is already listed, exactly as typed.
    Result Add();
    // Refused with 496 without a selection, and with 493 (warning) when the new description is
    // that of another listed rule: two equal items could never be told apart again. The caller
    // runs checkChange() and then asks changeQuestion() when the confirmation is switched on.
    Result checkChange() const;
    Result Change();
    static QList<int> changeQuestion() { return {494}; }
    // Refused with 500 and 501 without a selection; the file is written on Close.
    Result checkDelete() const;
    Result Delete();
    static QList<int> deleteQuestion() { return {497, 498}; }
    // While an edit is unapplied, closing asks closeQuestion(); No keeps the editor open.
    bool closeNeedsConfirmation() const { return hasUnappliedEdit(); }
    static QList<int> closeQuestion() { return {502, 503}; }
    // Drops rows without description and writes the file; returns the error, empty on success.
    QString Close();

private:
    struct State {
        bool weekRule = false;
        int weekIndex = 0;
        int weekdayIndex = 0;
        int month = 1;
        int day = 1;
        bool operator==(const State&) const = default;
    };

    void loadSelected();
    void remember();
    void edited();
    int rowOfDescription(const QString& description) const;
    void insertEditorRule();
    void removeEmptyRows();
    void sortTable();
    void fillItems();
    Result addRule(bool checkDuplicate);

    TSortGrid& m_special;
    Saver m_save;
    State m_state;
    State m_remembered;
    QString m_description;
    QString m_rememberedDescription;
    QStringList m_items;
    int m_selected = -1;
    bool m_addEnabled = false;
    bool m_changeEnabled = false;
};
