#pragma once

#include <QList>
#include <QString>

class SettingsStore;
class TSortGrid;

// What the preferences dialog edits, read from and written to the settings store in one place so
// that the dialog only moves values between these and its controls.

// The task-list font as the settings keep it (Height is the pixel height at 96 dpi, negative).
struct FontChoice {
    QString name = QStringLiteral("Ms Sans Serif");
    int size = 8;
    int height = -11;
    bool bold = false;
    bool italic = false;
    bool operator==(const FontChoice&) const = default;
};

// One entry of the column list: a display column (2 due date to 6 time) and whether it is shown.
struct ColumnChoice {
    int column = 2;
    bool shown = true;
    bool operator==(const ColumnChoice&) const = default;
};

inline constexpr int ConfigurableColumnCount = 5;
inline constexpr int FirstConfigurableColumn = 2;

struct PreferenceValues {
    // General
    int iconStyle = 1;
    bool starIcon = true;
    bool runMinimized = false;
    bool runWithSystem = false;
    bool autoLogCompleted = false;
    bool passwordProtection = false;
    int passwordPrompt = 0; // 0 at program start, 1 at every restore
    bool rememberCalendarDate = false;
    // Colors: colour numbers
    int lowColor = 0xFF0000;
    int mediumColor = 0x008000;
    int highColor = 0x000080;
    int otherColor = 0x000000;
    int overdueColor = 0x0000FF;
    int cursorColor = 0x00FFFF;
    bool highlightOverdue = true;
    bool defaultCursor = true;
    // Display
    bool notesMarks = true;
    bool autosize = true;
    bool sortMarks = true;
    bool horizLines = true;
    bool verticalLines = true;
    FontChoice font;
    QList<ColumnChoice> columns;
    // Editing
    int defaultPriority = 1; // item index: 0 none, 1 "3 - Low", 2 "2 - Medium", 3 "1 - High"
    bool moveToTop = false;
    int dueDate = 2; // 0 today, 1 some days later, 2 none
    int dueDatePlus = 1;
    // Calendar
    int weekStart = 0;
    int calendarClick = 0;
    // Toolbar
    bool toolbarWrap = false;
    bool toolbarFlat = true;
    bool toolbarCaptions = true;
    bool toolbarSmallFont = true;
    // Projects and assignees: the ticked index of each sorted list, -1 for none
    int defaultProject = 0;
    bool noDefaultProject = true;
    int defaultAssignee = 0;
    bool noDefaultAssignee = true;
    // Confirmations
    bool askExit = true;
    bool askTaskDeletion = true;
    bool askDataCleanup = true;
    bool askSpecialDeletion = true;
    bool askSpecialChange = true;
    bool askTaskCompletion = true;
    // Alarms
    bool alarmsEnabled = true;
    QString soundFile;
    bool repeatSound = false;

    bool operator==(const PreferenceValues&) const = default;
};

// The caption of each display column in the column list ("Completed", "Task name", "Due date", ...).
QString columnListName(int column);
// The default list: due date, project, priority, assignee, time, all shown.
QList<ColumnChoice> defaultColumnList();
// "ColumnsOrder" and "VisibleColumns" 2 to 6. A missing position, or an order that does not name
// each of the five columns once, gives the default list, so no column can drop out of the list.
QList<ColumnChoice> readColumnList(const SettingsStore& settings);

PreferenceValues readPreferences(const SettingsStore& settings);
// Every value of the dialog, the default priority first, in one write of the store. Without
// password protection the stored password is removed.
void writePreferences(SettingsStore& settings, const PreferenceValues& values);
// "&Defaults": the values the program starts with; the password, the tray icon, the remembered
// calendar date, the due-date days, the two default names, the column list and the sound file
// keep theirs.
void resetToDefaults(PreferenceValues& values);

// " Tahoma, 9 pt, bold": the font panel's text.
QString fontPanelText(const FontChoice& font);
// The pixel height at 96 dpi that the settings keep beside the point size.
int fontHeightOfSize(int pointSize);

// Renaming or deleting a project or an assignee acts on the task table at once: every row whose
// cell in `column` equals `name` exactly. Each returns the number of rows changed or deleted.
int renameInColumn(TSortGrid& tasks, int column, const QString& name, const QString& newName);
int deleteRowsWithCell(TSortGrid& tasks, int column, const QString& name);
