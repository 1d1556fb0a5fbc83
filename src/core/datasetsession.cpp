#include "core/datasetsession.h"

#include "core/applanguage.h"
#include "core/settingsstore.h"

namespace {

DataSetMessage errorText(const QString& text)
{
    return {DataSetMessage::Error, {}, text};
}

} // namespace

QList<DataSetMessage> dataSetMessages(const QList<TableMessage>& messages)
{
    QList<DataSetMessage> out;
    for (const TableMessage& m : messages) {
        QString detail = m.texts.join(QStringLiteral("\r\n"));
        if (!m.strings.isEmpty() && !detail.isEmpty())
            detail.prepend(QStringLiteral("\r\n"));
        out.append({m.kind == TableMessage::Warning ? DataSetMessage::Warning : DataSetMessage::Error, m.strings,
                    detail});
    }
    return out;
}

DataSetSession::DataSetSession(DataSet& data, SettingsStore& settings, QString programFolder)
    : m_data(data), m_settings(settings), m_programFolder(std::move(programFolder))
{}

bool DataSetSession::chooseAtStartUp()
{
    DataSetList list(m_programFolder);
    list.load(m_settings);
    if (list.defaultMade()) {
        m_data.setLocation(list.nameAt(0), list.folderAt(0));
        // Keep the default data set in the list and as the start-up choice, as the manager's
        // chooser would store it, so the next start opens it again without the manager.
        list.save();
        list.storeStartupChoice(m_settings, list.startupSelection(m_settings));
        return true;
    }
    const int row = list.startupRow(m_settings);
    if (row < 0)
        return false;
    m_data.setLocation(list.nameAt(row), list.folderAt(row));
    return true;
}

bool DataSetSession::lockAndOpen(Messages* messages)
{
    if (m_data.lock() != DataSetLock::Result::Locked)
        return false;
    const DataSet::OpenResult result = m_data.open();
    messages->append(dataSetMessages(result.messages));
    if (!result.ok())
        messages->append(errorText(result.errors.join(u'\n')));
    return true;
}

DataSetMessage DataSetSession::lockFailure() const
{
    DataSetMessage message{DataSetMessage::Error, {190, 191},
                           QStringLiteral("\r\n\r\n") + LanguageString(192) + QStringLiteral("\r\n\r\n") +
                               LanguageString(193)};
    // Not held by another copy but refused by the system (folder missing or read-only): say why.
    if (const QString reason = m_data.lockError(); !reason.isEmpty())
        message.detail += QStringLiteral("\r\n\r\n") + reason;
    return message;
}

QStringList DataSetSession::saveBeforeSwitch()
{
    QStringList errors{m_data.saveTasks(), m_data.saveDiary(), m_data.saveTaskLog()};
    errors.removeAll(QString());
    return errors;
}

bool DataSetSession::switchTo(const QString& name, const QString& folder, QString* refusal)
{
    const QString oldName = m_data.name();
    const QString oldFolder = m_data.folder();
    m_data.unlock();
    m_data.setLocation(name, folder);
    if (m_data.lock() == DataSetLock::Result::Locked)
        return true;
    *refusal = lockFailure().text();
    // Keep the data set that is still loaded, locked again, until another one opens.
    m_data.setLocation(oldName, oldFolder);
    m_data.lock();
    return false;
}

std::optional<DataSetMessage> DataSetSession::backupQuestion(const QString& folder) const
{
    if (!DataSet::backupHasTables(folder))
        return std::nullopt;
    return DataSetMessage{DataSetMessage::Warning, {251, 252}, {}};
}

DataSetMessage DataSetSession::backup(const QString& folder)
{
    const QString error = m_data.backupTo(folder);
    if (error.isEmpty())
        return {DataSetMessage::Information, {253}, {}};
    return {DataSetMessage::Error, {254}, QStringLiteral("\r\n\r\n") + error};
}

std::optional<DataSetMessage> DataSetSession::restoreRefusal(const QString& folder) const
{
    if (DataSet::backupHasTables(folder))
        return std::nullopt;
    return DataSetMessage{DataSetMessage::Error, {261, 262}, {}};
}

DataSetMessage DataSetSession::restoreQuestion()
{
    DataSetMessage question{DataSetMessage::Warning, {258, 259}, {}};
    question.separator = QStringLiteral("\r\n\r\n");
    return question;
}

DataSetMessage DataSetSession::restoreCancelled()
{
    return {DataSetMessage::Information, {260}, {}};
}

DataSetSession::Messages DataSetSession::restore(const QString& folder, bool merge)
{
    // The diary typed so far goes to its file first, so the restore starts from what the user sees.
    m_data.saveDiary();
    const DataSet::RestoreResult result = merge ? m_data.restoreMerge(folder) : m_data.restoreReplace(folder);
    Messages messages = dataSetMessages(result.messages);
    if (result.ok())
        messages.append({DataSetMessage::Information, {result.closingString}, {}});
    else
        messages.append({DataSetMessage::Error, {264}, QStringLiteral("\r\n\r\n") + result.errors.join(u'\n')});
    return messages;
}

DataSetSession::Messages DataSetSession::purge(DataSet::PurgeMode mode, const QDate& before, const QDate& today)
{
    Messages messages;
    const DataSet::PurgeResult purge = m_data.purgeToLog(mode, before, today);
    if (!purge.error.isEmpty())
        messages.append(errorText(purge.error));
    // The count stands in front of the language string.
    messages.append({DataSetMessage::Information, {}, QString::number(purge.count) + LanguageString(244)});
    return messages;
}
