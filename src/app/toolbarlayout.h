#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <array>

class SettingsStore;

// One row of the main window's toolbar table. The key text is what toolbar.ini stores; the
// image chooses the picture and, through `command`, what the button runs.
struct ToolbarEntry {
    QString name;         // object name of the button, e.g. "btnSave"; "Space1" ... for separators
    QString keyText;      // "File-Save data", "[Separator]"
    QString tooltip;      // empty for a separator
    QString statusText;   // the status-bar text; the tooltip where both are the same
    QString caption;      // shown under the picture when captions are on
    bool shownByDefault = false;
    int image = -1;       // picture number, -1 for a separator
    QString command = {}; // object name of the main window's command the button runs

    bool isSeparator() const { return image < 0; }
    // "tooltip|status text", or one text where both are the same.
    QString hint() const;
};

inline constexpr int ToolbarEntryCount = 38;
// The key text of a separator; any number of them may stand in the list.
QString toolbarSeparatorKey();

// The 38 entries in their default order.
const std::array<ToolbarEntry, ToolbarEntryCount>& toolbarTable();
// The first entry with that key text, nullptr when none has it (such a key gives no button).
const ToolbarEntry* toolbarEntryForKey(const QString& keyText);

// The toolbar's buttons in the user's order: 38 key texts and whether each position is shown.
struct ToolbarButtonList {
    QStringList keys;
    QList<bool> shown;

    bool operator==(const ToolbarButtonList&) const = default;
};

// The default layout: the table's key texts and shown flags.
ToolbarButtonList defaultToolbarList();

// "<program folder>/toolbar.ini".
QString toolbarFilePath(const QString& programFolder);

// Reads toolbar.ini (one key text a line, in button order) and ToolbarButtons/0 ... /37. A missing
// or unreadable file, or one of fewer than 38 lines, gives the table's order; lines past the 38th
// are ignored. A position without a stored flag takes the default of the entry standing there
// (false for a key that names no entry; the n-th separator of the list that of the table's n-th).
ToolbarButtonList loadToolbarList(const QString& programFolder, const SettingsStore& settings);

// Writes toolbar.ini (the 38 key texts, UTF-8, CR LF; left alone when it already says the same)
// and ToolbarButtons/0 ... /37. Empty on success, else the reason.
QString saveToolbarList(const QString& programFolder, const ToolbarButtonList& list, SettingsStore& settings);
