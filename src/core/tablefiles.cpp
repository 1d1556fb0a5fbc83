#include "core/tablefiles.h"

#include "core/atomicfile.h"
#include "core/clock.h"
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

QString keepCopyOf(const QString& path, KeptCopy kind, QString* error)
{
    const QString stamp = Clock::current().now().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString copy = kind == KeptCopy::Damaged ? QString(path + u".damaged-" + stamp) : QString(path + u".before-upgrade");
    if (kind == KeptCopy::BeforeUpgrade && QFileInfo::exists(copy))
        copy += u'-' + stamp;
    const QString base = copy;
    for (int n = 2; QFileInfo::exists(copy); ++n)
        copy = base + u'-' + QString::number(n);
    QFile file(path);
    if (!file.copy(copy)) {
        *error = QStringLiteral("Cannot keep a copy of \"%1\" as \"%2\": %3")
                     .arg(QDir::toNativeSeparators(path), QDir::toNativeSeparators(copy), file.errorString());
        return {};
    }
    return copy;
}

QString keptBeforeUpgradeText(const QString& copy)
{
    return QStringLiteral("A copy of the file before the upgrade is kept as \"%1\".")
        .arg(QDir::toNativeSeparators(copy));
}

QStringList damagedFileTexts(const QString& path, const QString& damage, const QString& copy)
{
    return {QStringLiteral("The file \"%1\" is damaged: %2.").arg(QDir::toNativeSeparators(path), damage),
            QStringLiteral("The file as it was is kept as \"%1\"; the program goes on with what could be read.")
                .arg(QDir::toNativeSeparators(copy))};
}

bool keepCopyBeforeRewrite(const QString& path, TableLoadResult& loaded, QString* error)
{
    if (!loaded.ok() || (loaded.damage.isEmpty() && !loaded.upgraded))
        return true;
    const bool damaged = !loaded.damage.isEmpty();
    const QString copy = keepCopyOf(path, damaged ? KeptCopy::Damaged : KeptCopy::BeforeUpgrade, error);
    if (copy.isEmpty())
        return false;
    if (damaged) {
        loaded.messages.append({TableMessage::Warning, {}, damagedFileTexts(path, loaded.damage, copy)});
    } else {
        if (loaded.messages.isEmpty())
            loaded.messages.append({TableMessage::Warning, {},
                                    {QStringLiteral("The file \"%1\" is in an older format and is converted.")
                                         .arg(QDir::toNativeSeparators(path))}});
        loaded.messages.last().texts.append(keptBeforeUpgradeText(copy));
    }
    return true;
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

// Saves the grid with a format marker row in front, as if the marker row were row 0.
QString saveWithMarker(const TSortGrid& grid, int marker, const QString& path)
{
    QByteArray markerRow = QByteArray::number(marker);
    markerRow.append(grid.colCount() - 1, '\t');
    markerRow.append("\r\n");
    return streamFileAtomically(path, [&](const ByteSink& sink) {
        if (sink(markerRow.constData(), markerRow.size()))
            grid.writeFileBytes(QLatin1Char('\t'), sink);
    });
}

// Reads a table file and loads it with `load`, adding what the decoding found wrong to the result.
template <typename Load> TableLoadResult loadFile(const QString& path, Load load)
{
    QByteArray bytes;
    TableLoadResult result;
    result.error = readFileBytes(path, &bytes);
    if (!result.ok())
        return result;
    QString damage;
    const QString text = decodeTableText(bytes, &damage);
    bytes.clear();
    result = load(QStringView(text));
    if (!damage.isEmpty())
        result.damage = result.damage.isEmpty() ? damage : QString(damage + u"; " + result.damage);
    return result;
}

bool isContentRow(QStringView rowText)
{
    for (const QChar ch : rowText) {
        if (ch != QChar(TSortGrid::CellSeparator))
            return true;
    }
    return false;
}

// The number of fields up to the last non-empty one.
int usedFields(QStringView rowText)
{
    qsizetype end = rowText.size();
    while (end > 0 && rowText[end - 1] == QChar(TSortGrid::CellSeparator))
        --end;
    return int(rowText.left(end).count(QChar(TSortGrid::CellSeparator))) + 1;
}

bool allIntegers(const TSortGrid& grid, int row, std::initializer_list<int> columns)
{
    return std::all_of(columns.begin(), columns.end(),
                       [&](int c) { return readStoredInteger(grid.cell(row, c)).has_value(); });
}

// Files from before the format marker had a yes/no completed flag in front and the due date as
// year, month and day cells, 13 columns in all. Only a file of that shape is converted: a damaged
// marker in front of current rows would otherwise shift every later column.
bool hasMarkerlessTaskShape(const TSortGrid& grid)
{
    bool datedRow = false;
    for (int r = 0; r < grid.rowCount(); ++r) {
        const QString& row = grid.rowText(r);
        if (!isContentRow(row))
            continue;
        const QStringView flag = grid.cell(r, colComplete);
        if ((flag != u"Y" && flag != u"N" && !flag.isEmpty()) || usedFields(row) > TaskColumnCount + 2)
            return false;
        datedRow = datedRow || allIntegers(grid, r, {2, 3, 4});
    }
    return datedRow;
}

// Old task logs kept both dates as year, month and day cells, 12 columns in all.
bool hasMarkerlessLogShape(const TSortGrid& grid)
{
    bool datedRow = false;
    for (int r = 0; r < grid.rowCount(); ++r) {
        const QString& row = grid.rowText(r);
        if (!isContentRow(row))
            continue;
        if (usedFields(row) > TaskLogColumnCount + 4)
            return false;
        for (const int c : {1, 2, 3, 6, 7, 8}) {
            if (!grid.cell(r, c).isEmpty() && !readStoredInteger(grid.cell(r, c)))
                return false;
        }
        datedRow = datedRow || allIntegers(grid, r, {1, 2, 3, 6, 7, 8});
    }
    return datedRow;
}

bool hasContent(const TSortGrid& grid)
{
    for (int r = 0; r < grid.rowCount(); ++r) {
        if (isContentRow(grid.rowText(r)))
            return true;
    }
    return false;
}

// A file whose marker cannot be read is read as the current format; a first row that holds
// nothing but the damaged marker goes.
QString dropDamagedMarker(TSortGrid& grid, int marker)
{
    const QString found = grid.cellText(0, 0);
    const QString& first = grid.rowText(0);
    const qsizetype separator = first.indexOf(QChar(TSortGrid::CellSeparator));
    if (separator < 0 || !isContentRow(QStringView(first).mid(separator + 1)))
        grid.DeleteRow(0);
    return QStringLiteral("the first line should hold the format marker \"%1\" but holds \"%2\"")
        .arg(marker)
        .arg(found.left(40));
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
    return loadFile(path, [&](QStringView text) { return loadTaskTableText(tasks, text); });
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
    } else if (!hasContent(grid)) {
        // An empty file holds no tasks to convert.
        grid = TSortGrid(TaskColumnCount, 1);
    } else if (!hasMarkerlessTaskShape(grid)) {
        result.damage = dropDamagedMarker(grid, TaskFileMarker);
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
    return saveWithMarker(tasks, TaskFileMarker, path);
}

TableLoadResult loadTaskLogTable(TSortGrid& log, const QString& path)
{
    return loadFile(path, [&](QStringView text) { return loadTaskLogTableText(log, text); });
}

TableLoadResult loadTaskLogTableText(TSortGrid& log, QStringView text)
{
    TableLoadResult result;
    TSortGrid grid;
    grid.LoadFromText(text, QLatin1Char('\t'));
    result.marker = markerOf(grid);
    if (result.marker >= 250) {
        grid.DeleteRow(0);
    } else if (!hasContent(grid)) {
        grid = TSortGrid(TaskLogColumnCount, 1);
    } else if (!hasMarkerlessLogShape(grid)) {
        result.damage = dropDamagedMarker(grid, TaskLogMarker);
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
    return saveWithMarker(log, TaskLogMarker, path);
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
    return loadFile(path, [&](QStringView text) { return loadDiaryTableText(diary, text); });
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
    return loadFile(path, [&](QStringView text) { return loadSpecialTableText(special, text); });
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
    return loadFile(path, [&](QStringView text) {
        loadNameListText(list, text);
        return TableLoadResult();
    });
}

void loadNameListText(NameList& list, QStringView text)
{
    const qsizetype nul = text.indexOf(QChar(0));
    if (nul >= 0)
        text = text.left(nul);
    list.clear();
    for (const QString& name : splitTextLines(text)) {
        // An empty line is no name: it would become a blank menu item.
        if (!name.isEmpty())
            list.add(name);
    }
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
