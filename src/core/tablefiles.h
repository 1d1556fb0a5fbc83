#pragma once

#include "core/sortgrid.h"

#include <QList>
#include <QString>
#include <QStringList>

// File names of the tables of a data set.
namespace TableFile {
inline const QString Tasks = QStringLiteral("tasks.twk");
inline const QString TaskLog = QStringLiteral("tasklog.twk");
inline const QString Diary = QStringLiteral("diary.twk");
inline const QString Special = QStringLiteral("special.twk");
inline const QString Projects = QStringLiteral("projects.twk");
inline const QString Assignees = QStringLiteral("assignees.twk");
inline const QString Lock = QStringLiteral("tarnwick.dta");
// The six table files, in the order they are opened, backed up and restored.
QStringList all();
} // namespace TableFile

inline constexpr int TaskFileMarker = 300;
inline constexpr int TaskLogMarker = 250;
inline constexpr int TaskLogColumnCount = 8;
inline constexpr int DiaryColumnCount = 4;
inline constexpr int SpecialColumnCount = 6;

enum LogColumn : int {
    logTaskName = 0,
    logDue,
    logProject,
    logPriority,
    logDate,
    logNotes,
    logAttachment,
    logAssignee,
};

enum DiaryColumn : int { diaryYear = 0, diaryMonth, diaryDay, diaryText };

enum SpecialColumn : int { specName = 0, specKind, specMonth, specDay, specWeek, specWeekday };

// The path of a table file in a data folder. A drive-root folder ("C:\") is cut to "C:" first.
QString dataFilePath(const QString& folder, const QString& fileName);
// The content a missing table file is created with (empty for the list files).
QByteArray initialFileContent(const QString& fileName);
// Creates the file with its first content when it does not exist. Empty on success, else the error.
QString createMissingTableFile(const QString& folder, const QString& fileName);

// A message the caller shows: language-string numbers joined by CR LF.
struct TableMessage {
    enum Kind { Warning, Error };
    Kind kind = Warning;
    QList<int> strings;
    QStringList texts = {}; // plain lines shown after the language strings
};

struct TableLoadResult {
    QString error;                 // the file could not be read at all; the table is unchanged
    QList<TableMessage> messages;  // upgrade warnings and errors to show
    int marker = -1;               // format marker found (-1 for tables without one, 0 when none)
    bool upgraded = false;         // the file was in an older layout and was converted in memory
    // What was wrong with a file that was read as far as it could be (NUL bytes, UTF-16 text, an
    // unreadable format marker); empty for a sound file. Such a file is kept as it is before
    // anything is written over it.
    QString damage;
    bool ok() const { return error.isEmpty(); }
};

// A sorted list of names, compared without regard to case, each name once.
class NameList {
public:
    const QStringList& names() const { return m_names; }
    int size() const { return int(m_names.size()); }
    bool contains(const QString& name) const { return indexOf(name) >= 0; }
    int indexOf(const QString& name) const;
    // Adds a name in its sorted place; false when it is already there (in any case).
    bool add(const QString& name);
    bool remove(const QString& name);
    void clear() { m_names.clear(); }

private:
    QStringList m_names;
};

// Loads and saves of each table. Loads read only: a missing file is an error here, the data set
// creates missing files first (createMissingTableFile). Saves are atomic and return an error text
// naming the file and the reason, empty on success.
TableLoadResult loadTaskTable(TSortGrid& tasks, const QString& path);
QString saveTaskTable(const TSortGrid& tasks, const QString& path);
// The log table keeps its header in row 0; entries start at row 1. A file of the old layout is
// converted in memory: the caller saves it back at once (result.upgraded).
TableLoadResult loadTaskLogTable(TSortGrid& log, const QString& path);
QString saveTaskLogTable(const TSortGrid& log, const QString& path);
// A log row whose cells 0 to 4 are all empty is not an entry (the header, or the empty rows that
// saving and loading leave behind it).
bool isEmptyLogRow(QStringView rowText);
// Removes such rows from row 1 on.
void removeEmptyLogRows(TSortGrid& log);
TableLoadResult loadDiaryTable(TSortGrid& diary, const QString& path);
QString saveDiaryTable(const TSortGrid& diary, const QString& path);
// Orders the diary by date, drops entries without text while more than one row remains and keeps
// the first of rows with the same date. Run before every diary save.
void tidyDiaryTable(TSortGrid& diary);
TableLoadResult loadSpecialTable(TSortGrid& special, const QString& path);
QString saveSpecialTable(const TSortGrid& special, const QString& path);
TableLoadResult loadNameList(NameList& list, const QString& path);
QString saveNameList(const NameList& list, const QString& path);

// Keeps a copy of a file beside it before it is written over: `tasks.twk.damaged-20261206-142501`
// for a damaged file, `tasks.twk.before-upgrade` for one in an older format (an existing copy is
// never replaced; a time is added instead). Returns the copy's path, or an empty string and the
// reason in `error`.
enum class KeptCopy { Damaged, BeforeUpgrade };
QString keepCopyOf(const QString& path, KeptCopy kind, QString* error);
// The plain lines telling the user what was found in a damaged file and where its copy is.
QStringList damagedFileTexts(const QString& path, const QString& damage, const QString& copy);
QString keptBeforeUpgradeText(const QString& copy);
// Keeps the copy a loaded file needs before it may be written over (damaged or upgraded) and adds
// what to tell the user to the result's messages. False, with the reason in `error`, when the
// copy could not be made: the file must then not be written over.
bool keepCopyBeforeRewrite(const QString& path, TableLoadResult& loaded, QString* error);

// The same loads from text already read (UTF-8 or Windows-1252 decoded).
TableLoadResult loadTaskTableText(TSortGrid& tasks, QStringView text);
TableLoadResult loadTaskLogTableText(TSortGrid& log, QStringView text);
TableLoadResult loadDiaryTableText(TSortGrid& diary, QStringView text);
TableLoadResult loadSpecialTableText(TSortGrid& special, QStringView text);
void loadNameListText(NameList& list, QStringView text);

// Converts the old layout's year, month and day cells to a day-number cell: no valid date, and
// 1 January 2100 (the old "no date"), give "100000".
QString dayNumberFromParts(QStringView year, QStringView month, QStringView day);
