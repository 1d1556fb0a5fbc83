#include "app/preferences.h"

#include "core/applanguage.h"
#include "core/settingsnames.h"
#include "core/settingsstore.h"
#include "core/sortgrid.h"

#include <QSet>

#include <cmath>

namespace {

QString number(int n)
{
    return QString::number(n);
}

} // namespace

QString columnListName(int column)
{
    static const char* const names[] = {"Completed", "Task name", "Due date", "Project", "Priority", "Assign", "Time"};
    return column >= 0 && column < int(std::size(names)) ? QString::fromLatin1(names[column]) : QString();
}

QList<ColumnChoice> defaultColumnList()
{
    QList<ColumnChoice> list;
    for (int i = 0; i < ConfigurableColumnCount; ++i)
        list.append({FirstConfigurableColumn + i, true});
    return list;
}

QList<ColumnChoice> readColumnList(const SettingsStore& settings)
{
    QList<ColumnChoice> list;
    QSet<int> seen;
    for (int n = FirstConfigurableColumn; n < FirstConfigurableColumn + ConfigurableColumnCount; ++n) {
        int column = settings.readInteger(Settings::ColumnsOrder, number(n), -2);
        if (column == 7)
            column = 5; // an older order's number for the assignee column
        if (column < FirstConfigurableColumn || column >= FirstConfigurableColumn + ConfigurableColumnCount ||
            seen.contains(column))
            return defaultColumnList();
        seen.insert(column);
        list.append({column, settings.readBool(Settings::VisibleColumns, number(n), true)});
    }
    return list;
}

PreferenceValues readPreferences(const SettingsStore& s)
{
    namespace S = Settings;
    PreferenceValues v;
    v.iconStyle = s.readInteger(S::Icon, S::IconStyle, 1);
    v.starIcon = s.readBool(S::Icon, S::StarIcon, true);
    v.runMinimized = s.readBool(S::Startup, S::RunMinimized, false);
    v.runWithSystem = s.readBool(S::Startup, S::RunWithWindows, false);
    v.autoLogCompleted = s.readBool(S::Startup, S::AutoLogCompleted, false);
    v.passwordProtection = s.readBool(S::Other, S::MoreInfo, false);
    v.passwordPrompt = s.readInteger(S::Other, S::EveryInfo, 0);
    v.rememberCalendarDate = s.readBool(S::Startup, S::RememberCalendarDate, false);

    v.lowColor = s.readColor(S::Colors, S::Low, 0xFF0000);
    v.mediumColor = s.readColor(S::Colors, S::Medium, 0x008000);
    v.highColor = s.readColor(S::Colors, S::High, 0x000080);
    v.otherColor = s.readColor(S::Colors, S::Advanced, 0x000000);
    v.overdueColor = s.readColor(S::Colors, S::No, 0x0000FF);
    v.highlightOverdue = s.readBool(S::Other, S::Overdue, true);
    v.cursorColor = s.readColor(S::Colors, S::Cursor, 0x00FFFF);
    v.defaultCursor = s.readBool(S::Colors, S::DefaultCursor, true);

    v.notesMarks = s.readBool(S::Other, S::NotesMarks, true);
    v.autosize = s.readBool(S::Other, S::Autosize, true);
    v.sortMarks = s.readBool(S::Other, S::DisplaySortMarks, true);
    v.horizLines = s.readBool(S::Display, S::HorizLines, true);
    v.verticalLines = s.readBool(S::Display, S::VerticalLines, true);
    v.font.name = s.readString(S::Font, S::Name, QStringLiteral("Ms Sans Serif"));
    v.font.size = s.readInteger(S::Font, S::Size, 8);
    v.font.height = s.readInteger(S::Font, S::Height, -11);
    v.font.bold = s.readBool(S::Font, S::Bold, false);
    v.font.italic = s.readBool(S::Font, S::Italic, false);
    v.columns = readColumnList(s);

    v.defaultPriority = s.readInteger(S::Other, S::DefaultPriority, 1);
    v.moveToTop = s.readBool(S::Editing, S::MoveToTop, false);
    v.dueDate = s.readInteger(S::Defaults, S::DueDate, 2);
    v.dueDatePlus = s.readInteger(S::Defaults, S::DueDatePlus, 1);

    v.weekStart = s.readInteger(S::Calendar, S::WeekStart, 0);
    v.calendarClick = s.readInteger(S::Calendar, S::Click, 0);

    v.toolbarWrap = s.readBool(S::Toolbar, S::Wrap, false);
    v.toolbarFlat = s.readBool(S::Toolbar, S::Flat, true);
    v.toolbarCaptions = s.readBool(S::Toolbar, S::Captions, true);
    v.toolbarSmallFont = s.readBool(S::Toolbar, S::SmallFont, true);

    v.defaultProject = s.readInteger(S::Defaults, S::Project, 0);
    v.noDefaultProject = s.readBool(S::Defaults, S::NoDefProject, true);
    v.defaultAssignee = s.readInteger(S::Defaults, S::Assignee, 0);
    v.noDefaultAssignee = s.readBool(S::Defaults, S::NoDefAssignee, true);

    v.askExit = s.readBool(S::Confirmations, S::Exit, true);
    v.askTaskDeletion = s.readBool(S::Confirmations, S::TaskDeletion, true);
    v.askDataCleanup = s.readBool(S::Confirmations, S::DataCleanup, true);
    v.askSpecialDeletion = s.readBool(S::Confirmations, S::SpecialDeletion, true);
    v.askSpecialChange = s.readBool(S::Confirmations, S::SpecialChange, true);
    v.askTaskCompletion = s.readBool(S::Confirmations, S::TaskCompletion, true);

    v.alarmsEnabled = s.readBool(S::Alarms, S::Enabled, true);
    v.soundFile = s.readString(S::Alarms, S::SoundFile);
    v.repeatSound = s.readBool(S::Alarms, S::Repeat, false);
    return v;
}

void writePreferences(SettingsStore& s, const PreferenceValues& v)
{
    namespace S = Settings;
    SettingsStore::Batch batch(s);
    s.writeInteger(S::Other, S::DefaultPriority, v.defaultPriority);

    s.writeInteger(S::Icon, S::IconStyle, v.iconStyle);
    s.writeBool(S::Icon, S::StarIcon, v.starIcon);
    s.writeBool(S::Startup, S::RunMinimized, v.runMinimized);
    s.writeBool(S::Startup, S::RunWithWindows, v.runWithSystem);
    s.writeBool(S::Startup, S::AutoLogCompleted, v.autoLogCompleted);
    s.writeBool(S::Other, S::MoreInfo, v.passwordProtection);
    if (!v.passwordProtection)
        s.writeString(S::Other, S::Item0, QString());
    s.writeInteger(S::Other, S::EveryInfo, v.passwordPrompt);
    s.writeBool(S::Startup, S::RememberCalendarDate, v.rememberCalendarDate);

    s.writeColor(S::Colors, S::Low, v.lowColor);
    s.writeColor(S::Colors, S::Medium, v.mediumColor);
    s.writeColor(S::Colors, S::High, v.highColor);
    s.writeColor(S::Colors, S::Advanced, v.otherColor);
    s.writeColor(S::Colors, S::No, v.overdueColor);
    s.writeBool(S::Other, S::Overdue, v.highlightOverdue);
    s.writeColor(S::Colors, S::Cursor, v.cursorColor);
    s.writeBool(S::Colors, S::DefaultCursor, v.defaultCursor);

    s.writeBool(S::Other, S::NotesMarks, v.notesMarks);
    s.writeBool(S::Other, S::Autosize, v.autosize);
    s.writeBool(S::Other, S::DisplaySortMarks, v.sortMarks);
    s.writeBool(S::Display, S::HorizLines, v.horizLines);
    s.writeBool(S::Display, S::VerticalLines, v.verticalLines);
    s.writeString(S::Font, S::Name, v.font.name);
    s.writeInteger(S::Font, S::Size, v.font.size);
    s.writeInteger(S::Font, S::Height, v.font.height);
    s.writeBool(S::Font, S::Bold, v.font.bold);
    s.writeBool(S::Font, S::Italic, v.font.italic);
    for (int i = 0; i < ConfigurableColumnCount; ++i) {
        const ColumnChoice entry = v.columns.value(i, {-1, true});
        s.writeBool(S::VisibleColumns, number(i + FirstConfigurableColumn), entry.shown);
        s.writeInteger(S::ColumnsOrder, number(i + FirstConfigurableColumn), entry.column);
    }

    s.writeBool(S::Editing, S::MoveToTop, v.moveToTop);
    s.writeInteger(S::Defaults, S::DueDate, v.dueDate);
    s.writeInteger(S::Defaults, S::DueDatePlus, v.dueDatePlus);

    s.writeInteger(S::Calendar, S::WeekStart, v.weekStart);
    s.writeInteger(S::Calendar, S::Click, v.calendarClick);

    s.writeBool(S::Toolbar, S::Wrap, v.toolbarWrap);
    s.writeBool(S::Toolbar, S::Flat, v.toolbarFlat);
    s.writeBool(S::Toolbar, S::Captions, v.toolbarCaptions);
    s.writeBool(S::Toolbar, S::SmallFont, v.toolbarSmallFont);

    s.writeInteger(S::Defaults, S::Project, v.defaultProject);
    s.writeBool(S::Defaults, S::NoDefProject, v.noDefaultProject);
    s.writeInteger(S::Defaults, S::Assignee, v.defaultAssignee);
    s.writeBool(S::Defaults, S::NoDefAssignee, v.noDefaultAssignee);

    s.writeBool(S::Confirmations, S::Exit, v.askExit);
    s.writeBool(S::Confirmations, S::TaskDeletion, v.askTaskDeletion);
    s.writeBool(S::Confirmations, S::DataCleanup, v.askDataCleanup);
    s.writeBool(S::Confirmations, S::SpecialDeletion, v.askSpecialDeletion);
    s.writeBool(S::Confirmations, S::SpecialChange, v.askSpecialChange);
    s.writeBool(S::Confirmations, S::TaskCompletion, v.askTaskCompletion);

    s.writeBool(S::Alarms, S::Enabled, v.alarmsEnabled);
    s.writeString(S::Alarms, S::SoundFile, v.soundFile);
    s.writeBool(S::Alarms, S::Repeat, v.repeatSound);
}

void resetToDefaults(PreferenceValues& v)
{
    PreferenceValues d;
    v.runMinimized = v.runWithSystem = v.autoLogCompleted = false;
    v.lowColor = d.lowColor;
    v.mediumColor = d.mediumColor;
    v.highColor = d.highColor;
    v.overdueColor = d.overdueColor;
    v.otherColor = d.otherColor;
    v.cursorColor = d.cursorColor;
    v.highlightOverdue = v.notesMarks = v.autosize = v.sortMarks = v.horizLines = v.verticalLines = true;
    v.font = FontChoice{QStringLiteral("MS Sans Serif"), 8, -11, false, false};
    v.defaultPriority = 1;
    v.dueDate = 0;
    v.moveToTop = false;
    v.weekStart = 0;
    v.calendarClick = 0;
    v.askExit = false;
    v.askTaskDeletion = v.askDataCleanup = v.askSpecialDeletion = v.askSpecialChange = v.askTaskCompletion = true;
    v.alarmsEnabled = true;
    v.repeatSound = false;
    v.toolbarWrap = false;
    v.toolbarFlat = v.toolbarCaptions = v.toolbarSmallFont = true;
}

QString fontPanelText(const FontChoice& font)
{
    QString text = u' ' + font.name + QStringLiteral(", ") + number(font.size) + LanguageString(391);
    if (font.bold)
        text += LanguageString(392);
    if (font.italic)
        text += LanguageString(393);
    return text;
}

int fontHeightOfSize(int pointSize)
{
    return -int(std::lround(pointSize * 96.0 / 72.0));
}

int renameInColumn(TSortGrid& tasks, int column, const QString& name, const QString& newName)
{
    int count = 0;
    for (int r = 0; r < tasks.rowCount(); ++r) {
        if (tasks.cell(r, column) == name) {
            tasks.setCell(r, column, newName);
            ++count;
        }
    }
    return count;
}

int deleteRowsWithCell(TSortGrid& tasks, int column, const QString& name)
{
    int count = 0;
    for (int r = tasks.rowCount() - 1; r >= 0; --r) {
        if (tasks.cell(r, column) == name) {
            tasks.DeleteRow(r);
            ++count;
        }
    }
    return count;
}
