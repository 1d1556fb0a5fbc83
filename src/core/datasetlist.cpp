#include "core/datasetlist.h"

#include "core/applanguage.h"
#include "core/atomicfile.h"
#include "core/dataset.h"
#include "core/settingsnames.h"
#include "core/settingsstore.h"
#include "core/tablefiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

QString DataSetMessage::text() const
{
    QStringList parts;
    for (const int number : strings)
        parts.append(LanguageString(number));
    return parts.join(separator) + detail;
}

DataSetList::DataSetList(const QString& programFolder) : m_programFolder(programFolder) {}

QString DataSetList::filePath() const
{
    return dataFilePath(m_programFolder, QStringLiteral("datasets.ini"));
}

void DataSetList::load(const SettingsStore& settings)
{
    m_defaultMade = false;
    TSortGrid grid(2, 1);
    if (QFileInfo(filePath()).isFile() && grid.LoadFromFile(filePath(), QLatin1Char('\t')).isEmpty()) {
        grid.setColCount(2);
        m_grid = std::move(grid);
        // A file with no rows reads as one empty row.
        m_count = (m_grid.rowCount() == 1 && m_grid.cell(0, 0).isEmpty() && m_grid.cell(0, 1).isEmpty())
                      ? 0
                      : m_grid.rowCount();
        return;
    }
    m_grid = TSortGrid(2, 1);
    m_grid.setCell(0, 0, LanguageString(821));
    m_grid.setCell(
        0, 1, DataSet::cutDriveRoot(settings.readString(Settings::Startup, Settings::SourcePath, m_programFolder)));
    m_count = 1;
    m_defaultMade = true;
}

QString DataSetList::save() const
{
    makePrivateFolder(m_programFolder);
    if (m_count == 0)
        return writeFileAtomically(filePath(), {});
    return m_grid.SaveToFile(filePath(), QLatin1Char('\t'));
}

int DataSetList::count() const
{
    return m_count;
}

int DataSetList::findName(const QString& name, int except) const
{
    for (int r = 0; r < m_count; ++r) {
        if (r != except && m_grid.cell(r, 0) == name)
            return r;
    }
    return -1;
}

int DataSetList::findFolder(const QString& folder, int except) const
{
    const QString cut = DataSet::cutDriveRoot(folder);
    for (int r = 0; r < m_count; ++r) {
        if (r != except && DataSet::cutDriveRoot(m_grid.cellText(r, 1)) == cut)
            return r;
    }
    return -1;
}

bool DataSetList::isOpen(int row, const QString& openFolder) const
{
    return !openFolder.isEmpty() && DataSet::cutDriveRoot(folderAt(row)) == DataSet::cutDriveRoot(openFolder);
}

DataSetList::EditResult DataSetList::edit(int row, const QString& name, const QString& folder,
                                          const QString& openFolder)
{
    EditResult result;
    const QString newFolder = DataSet::cutDriveRoot(folder);
    if (findName(name, row) >= 0) {
        result.messages.append({DataSetMessage::Error, {838}, {}});
        return result;
    }
    if (findFolder(newFolder, row) >= 0) {
        result.messages.append({DataSetMessage::Error, {841}, {}});
        return result;
    }
    if (row < 0 || row >= m_count) {
        if (m_count >= m_grid.rowCount())
            m_grid.setRowCount(m_count + 1);
        m_grid.setRow(m_count, {name, newFolder});
        ++m_count;
        result.changed = true;
        return result;
    }
    const bool open = isOpen(row, openFolder);
    const QString oldFolder = DataSet::cutDriveRoot(folderAt(row));
    if (newFolder != oldFolder) {
        if (open) {
            result.messages.append({DataSetMessage::Warning, {840}, {}});
        } else {
            makePrivateFolder(newFolder);
            for (const QString& fileName : TableFile::all()) {
                const QString from = dataFilePath(oldFolder, fileName);
                if (!QFileInfo::exists(from))
                    continue;
                // rename refuses to replace a file of the same name, which may be another set's.
                if (!QFile::rename(from, dataFilePath(newFolder, fileName)))
                    result.messages.append({DataSetMessage::Error, {839}, QDir::toNativeSeparators(from)});
            }
            m_grid.setCell(row, 1, newFolder);
        }
    }
    m_grid.setCell(row, 0, name);
    result.openNameChanged = open;
    result.changed = true;
    return result;
}

QString DataSetList::removeQuestion(int row) const
{
    return LanguageString(824) + nameAt(row) + QStringLiteral("?\r\n") + LanguageStrings({825, 826, 827});
}

DataSetList::RemoveResult DataSetList::remove(int row, bool deleteFiles, const QString& openFolder)
{
    RemoveResult result;
    if (row < 0 || row >= m_count)
        return result;
    if (isOpen(row, openFolder)) {
        result.messages.append({DataSetMessage::Warning, {822, 823}, {}});
        return result;
    }
    if (deleteFiles) {
        const QString folder = DataSet::cutDriveRoot(folderAt(row));
        for (const QString& fileName : TableFile::all()) {
            const QString file = dataFilePath(folder, fileName);
            if (QFileInfo::exists(file) && !QFile::remove(file))
                result.messages.append({DataSetMessage::Error, {828}, QDir::toNativeSeparators(file)});
        }
    }
    if (m_count == 1)
        m_grid = TSortGrid(2, 1);
    else
        m_grid.DeleteRow(row);
    --m_count;
    result.removed = true;
    return result;
}

QStringList DataSetList::startupItems() const
{
    QStringList items{LanguageString(830)};
    for (int r = 0; r < m_count; ++r)
        items.append(nameAt(r));
    return items;
}

int DataSetList::startupSelection(const SettingsStore& settings) const
{
    const QString chosen = settings.readString(Settings::Startup, Settings::Dataset);
    if (!chosen.isEmpty()) {
        const int row = findName(chosen);
        if (row >= 0)
            return row + 1;
    }
    if (m_count == 1 && nameAt(0) == LanguageString(821))
        return 1;
    return 0;
}

void DataSetList::storeStartupChoice(SettingsStore& settings, int index) const
{
    settings.writeString(Settings::Startup, Settings::Dataset,
                         index >= 1 && index <= m_count ? nameAt(index - 1) : QString());
}

int DataSetList::startupRow(const SettingsStore& settings) const
{
    if (m_defaultMade)
        return 0;
    const QString chosen = settings.readString(Settings::Startup, Settings::Dataset);
    return chosen.isEmpty() ? -1 : findName(chosen);
}
