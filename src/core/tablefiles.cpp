#include "core/tablefiles.h"

#include "core/atomicfile.h"
#include "core/daynumber.h"
#include "core/tasktable.h"
#include "core/textcodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

QStringList TableFile::all()
{
    return {Tasks, TaskLog, Diary, Special, Projects, Assignees};
}

QString dataFilePath(const QString& folder, const QString& fileName)
{
    QString base = folder;
    if (base.size() == 3 && base.at(0).isLetter() && base.at(1) == u':' && base.at(2) == u'\\')
        base.truncate(2);
    while (base.size() > 1 && (base.endsWith(u'/') || base.endsWith(u'\\')))
        base.chop(1);
    if (base == u"/")
        return base + fileName;
    return base + u'/' + fileName;
}

QByteArray initialFileContent(const QString& fileName)
{
    if (fileName == TableFile::Tasks)
        return QByteArrayLiteral("300\r\n\t\t\t\t\t\t\t\t\r\n");
    if (fileName == TableFile::TaskLog)
        return QByteArrayLiteral("250\r\n");
    if (fileName == TableFile::Diary)
        return QByteArrayLiteral("1\t1\t1\t\r\n");
    return {};
}

QString createMissingTableFile(const QString& folder, const QString& fileName)
{
    const QString path = dataFilePath(folder, fileName);
    if (QFileInfo::exists(path))
        return {};
    return writeFileAtomically(path, initialFileContent(fileName));
}

namespace {

int markerOf(const TSortGrid& grid)
{
    return storedIntegerOr(grid.cell(0, 0), 0);
}

// The grid's file bytes with a format marker row in front, as if the marker row were row 0.
QByteArray bytesWithMarker(const TSortGrid& grid, int marker)
{
    QByteArray bytes = QByteArray::number(marker);
    bytes.append(grid.colCount() - 1, '\t');
    bytes.append("\r\n");
    grid.appendFileBytes(bytes, QLatin1Char('\t'));
    return bytes;
}

QString readText(const QString& path, QString* text)
{
    QByteArray bytes;
    const QString error = readFileBytes(path, &bytes);
    if (error.isEmpty())
        *text = decodeText(bytes);
    return error;
}

QString completedFromFlag(QStringView flag)
{
    return flag == u"Y" ? QStringLiteral("100") : QStringLiteral("0");
}

} // namespace

QString dayNumberFromParts(QStringView year, QStringView month, QStringView day)
{
    const std::optional<int> y = readStoredInteger(year);
    const std::optional<int> m = readStoredInteger(month);
    const std::optional<int> d = readStoredInteger(day);
    if (!y || !m || !d || *y < 1 || *y > 9999 || !QDate::isValid(*y, *m, *d))
        return NoDueDateText.toString();
    const QDate date{*y, *m, *d};
    if (date == QDate(2100, 1, 1))
        return NoDueDateText.toString();
    return dayNumberText(dayNumber(date));
}

TableLoadResult loadTaskTable(TSortGrid& tasks, const QString& path)
{
    QString text;
    TableLoadResult result;
    result.error = readText(path, &text);
    if (!result.ok())
        return result;
    return loadTaskTableText(tasks, text);
}

TableLoadResult loadTaskTableText(TSortGrid& tasks, QStringView text)
{
    TableLoadResult result;
    TSortGrid grid;
    grid.LoadFromText(text, QLatin1Char('\t'));
    result.marker = markerOf(grid);
    if (result.marker >= 250) {
        if (result.marker == 250) {
            // These files kept a yes/no completed flag.
            result.upgraded = true;
            for (int r = 1; r < grid.rowCount(); ++r)
                grid.setCell(r, colComplete, completedFromFlag(grid.cell(r, colComplete)));
        }
        grid.DeleteRow(0);
    } else {
        // Before the marker: yes/no flag and the due date as year, month and day cells.
        result.upgraded = true;
        result.messages.append({TableMessage::Warning, {206, 207}});
        grid.setColCount(std::max(grid.colCount(), 5));
        for (int r = 0; r < grid.rowCount(); ++r) {
            grid.setCell(r, colComplete, completedFromFlag(grid.cell(r, colComplete)));
            grid.setCell(r, colDue, dayNumberFromParts(grid.cell(r, 2), grid.cell(r, 3), grid.cell(r, 4)));
        }
        grid.DeleteColumn(3);
        grid.DeleteColumn(3);
    }
    grid.setColCount(TaskColumnCount);
    grid.setCurrentRow(0);
    tasks = std::move(grid);
    return result;
}

QString saveTaskTable(const TSortGrid& tasks, const QString& path)
{
    return writeFileAtomically(path, bytesWithMarker(tasks, TaskFileMarker));
}

TableLoadResult loadTaskLogTable(TSortGrid& log, const QString& path)
{
    QString text;
    TableLoadResult result;
    result.error = readText(path, &text);
    if (!result.ok())
        return result;
    return loadTaskLogTableText(log, text);
}

TableLoadResult loadTaskLogTableText(TSortGrid& log, QStringView text)
{
    TableLoadResult result;
    TSortGrid grid;
    grid.LoadFromText(text, QLatin1Char('\t'));
    result.marker = markerOf(grid);
    if (result.marker >= 250) {
        grid.DeleteRow(0);
    } else {
        // Before the marker both dates were kept as year, month and day cells.
        result.upgraded = true;
        result.messages.append({TableMessage::Warning, {203, 204}});
        grid.setColCount(std::max(grid.colCount(), 9));
        for (int r = 0; r < grid.rowCount(); ++r) {
            grid.setCell(r, 1, dayNumberFromParts(grid.cell(r, 1), grid.cell(r, 2), grid.cell(r, 3)));
            grid.setCell(r, 6, dayNumberFromParts(grid.cell(r, 6), grid.cell(r, 7), grid.cell(r, 8)));
        }
        grid.DeleteColumn(7);
        grid.DeleteColumn(7);
        grid.DeleteColumn(2);
        grid.DeleteColumn(2);
    }
    grid.setColCount(TaskLogColumnCount);
    grid.InsertRow(0);
    grid.setCurrentRow(0);
    log = std::move(grid);
    return result;
}

QString saveTaskLogTable(const TSortGrid& log, const QString& path)
{
    return writeFileAtomically(path, bytesWithMarker(log, TaskLogMarker));
}

bool isEmptyLogRow(QStringView rowText)
{
    for (int c = logTaskName; c <= logDate; ++c) {
        if (!TSortGrid::cellOf(rowText, c).isEmpty())
            return false;
    }
    return true;
}

void removeEmptyLogRows(TSortGrid& log)
{
    QList<QString>& rows = log.rows();
    rows.erase(std::remove_if(rows.begin() + 1, rows.end(), [](const QString& r) { return isEmptyLogRow(r); }),
               rows.end());
    if (log.currentRow() >= log.rowCount())
        log.setCurrentRow(log.rowCount() - 1);
}

TableLoadResult loadDiaryTable(TSortGrid& diary, const QString& path)
{
    QString text;
    TableLoadResult result;
    result.error = readText(path, &text);
    if (!result.ok())
        return result;
    return loadDiaryTableText(diary, text);
}

TableLoadResult loadDiaryTableText(TSortGrid& diary, QStringView text)
{
    TableLoadResult result;
    TSortGrid grid;
    grid.LoadFromText(text, QLatin1Char('\t'));
    grid.setColCount(DiaryColumnCount);
    for (const int col : {diaryYear, diaryMonth, diaryDay}) {
        if (grid.cell(0, col).isEmpty())
            grid.setCell(0, col, QStringLiteral("1"));
    }
    diary = std::move(grid);
    return result;
}

QString saveDiaryTable(const TSortGrid& diary, const QString& path)
{
    return diary.SaveToFile(path, QLatin1Char('\t'));
}

void tidyDiaryTable(TSortGrid& diary)
{
    QList<QString>& rows = diary.rows();
    const auto dateKey = [](const QString& r) {
        return std::tuple(storedIntegerOr(TSortGrid::cellOf(r, diaryYear), 0),
                          storedIntegerOr(TSortGrid::cellOf(r, diaryMonth), 0),
                          storedIntegerOr(TSortGrid::cellOf(r, diaryDay), 0));
    };
    std::stable_sort(rows.begin(), rows.end(),
                     [&](const QString& a, const QString& b) { return dateKey(a) < dateKey(b); });
    const QString last = rows.last();
    rows.removeIf([](const QString& r) { return TSortGrid::cellOf(r, diaryText).isEmpty(); });
    if (rows.isEmpty())
        rows.append(last);
    const auto duplicate = std::unique(rows.begin(), rows.end(), [&](const QString& a, const QString& b) {
        return dateKey(a) == dateKey(b);
    });
    rows.erase(duplicate, rows.end());
    diary.setCurrentRow(0);
}

TableLoadResult loadSpecialTable(TSortGrid& special, const QString& path)
{
    QString text;
    TableLoadResult result;
    result.error = readText(path, &text);
    if (!result.ok())
        return result;
    return loadSpecialTableText(special, text);
}

TableLoadResult loadSpecialTableText(TSortGrid& special, QStringView text)
{
    TableLoadResult result;
    TSortGrid grid;
    grid.LoadFromText(text, QLatin1Char('\t'));
    grid.setColCount(SpecialColumnCount);
    special = std::move(grid);
    return result;
}

QString saveSpecialTable(const TSortGrid& special, const QString& path)
{
    return special.SaveToFile(path, QLatin1Char('\t'));
}

int NameList::indexOf(const QString& name) const
{
    const auto it = std::lower_bound(m_names.cbegin(), m_names.cend(), name, [](const QString& a, const QString& b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    if (it != m_names.cend() && QString::compare(*it, name, Qt::CaseInsensitive) == 0)
        return int(it - m_names.cbegin());
    return -1;
}

bool NameList::add(const QString& name)
{
    const auto it = std::lower_bound(m_names.begin(), m_names.end(), name, [](const QString& a, const QString& b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    if (it != m_names.end() && QString::compare(*it, name, Qt::CaseInsensitive) == 0)
        return false;
    m_names.insert(it, name);
    return true;
}

bool NameList::remove(const QString& name)
{
    const int index = indexOf(name);
    if (index < 0)
        return false;
    m_names.removeAt(index);
    return true;
}

TableLoadResult loadNameList(NameList& list, const QString& path)
{
    QString text;
    TableLoadResult result;
    result.error = readText(path, &text);
    if (result.ok())
        loadNameListText(list, text);
    return result;
}

void loadNameListText(NameList& list, QStringView text)
{
    const qsizetype nul = text.indexOf(QChar(0));
    if (nul >= 0)
        text = text.left(nul);
    list.clear();
    for (const QString& name : splitTextLines(text))
        list.add(name);
}

QString saveNameList(const NameList& list, const QString& path)
{
    QString text;
    for (const QString& name : list.names()) {
        text += name;
        text += u"\r\n";
    }
    return writeFileAtomically(path, encodeText(text));
}
