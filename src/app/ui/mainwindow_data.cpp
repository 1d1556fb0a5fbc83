// The File menu's data commands of the main window: backup, restore, purge, data set manager.
#include "app/ui/mainwindow.h"

#include "calendar/ui/calendarpanelwidget.h"
#include "core/applanguage.h"
#include "core/clock.h"
#include "core/settingsnames.h"
#include "core/settingsstore.h"
#include "core/ui/cleanupdialog.h"
#include "core/ui/datasetmanager.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QScopedValueRollback>

namespace {

QString joined(std::initializer_list<int> numbers, const QString& separator = QStringLiteral("\r\n"))
{
    QStringList texts;
    for (const int n : numbers)
        texts.append(LanguageString(n));
    return texts.join(separator);
}

} // namespace

namespace {

// Asks for a backup folder starting at the last one used, and remembers the choice.
QString chooseBackupFolder(QWidget* parent, SettingsStore& settings)
{
    const QString start =
        settings.readString(Settings::Startup, Settings::BackupPath, QCoreApplication::applicationFilePath());
    QString folder = QFileDialog::getExistingDirectory(parent, QStringLiteral("Browse folder"), start);
    if (folder.isEmpty())
        return {};
    folder = DataSet::cutDriveRoot(folder);
    settings.writeString(Settings::Startup, Settings::BackupPath, folder);
    return folder;
}

} // namespace

void TfmMain::backupData()
{
    CommitPreviewNotes();
    m_calendar->storeDiary();
    const QString folder = chooseBackupFolder(this, m_settings);
    if (folder.isEmpty())
        return;
    if (DataSet::backupHasTables(folder) &&
        QMessageBox::question(this, programTitle(), joined({251, 252})) != QMessageBox::Yes)
        return; // nothing was written, so no "backed up" message either
    const QString error = m_data.backupTo(folder);
    if (error.isEmpty())
        QMessageBox::information(this, programTitle(), LanguageString(253));
    else
        QMessageBox::critical(this, programTitle(), LanguageString(254) + QStringLiteral("\r\n\r\n") + error);
}

void TfmMain::restoreData()
{
    CommitPreviewNotes();
    const QString folder = chooseBackupFolder(this, m_settings);
    if (folder.isEmpty())
        return;
    DataSet::RestoreResult result;
    if (!DataSet::backupHasTables(folder)) {
        QMessageBox::critical(this, programTitle(), joined({261, 262}));
    } else {
        const auto answer =
            QMessageBox::question(this, programTitle(), joined({258, 259}, QStringLiteral("\r\n\r\n")),
                                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Cancel);
        if (answer == QMessageBox::Cancel) {
            QMessageBox::information(this, programTitle(), LanguageString(260));
        } else {
            // The diary typed so far goes to its file first, so the restore starts from what the user sees.
            m_calendar->storeDiary();
            m_data.saveDiary();
            result = answer == QMessageBox::Yes ? m_data.restoreReplace(folder) : m_data.restoreMerge(folder);
            showTableMessages(result.messages);
            // The restore saved every table it brought back.
            afterTaskTableChange(Change::DataSet);
        }
    }
    if (result.ok())
        QMessageBox::information(this, programTitle(), LanguageString(result.closingString));
    else
        QMessageBox::critical(this, programTitle(),
                              LanguageString(264) + QStringLiteral("\r\n\r\n") +
                                  result.errors.join(QStringLiteral("\n")));
}

void TfmMain::purgeTasks()
{
    CommitPreviewNotes();
    TfmCleanUp dialog(m_settings, this);
    {
        const QScopedValueRollback busy(ModalBusy, true);
        if (dialog.exec() != QDialog::Accepted)
            return;
    }
    // The purge saves the task table and the log itself.
    const DataSet::PurgeResult purge = m_data.purgeToLog(dialog.mode(), dialog.beforeDate(), Clock::current().today());
    if (!purge.error.isEmpty())
        QMessageBox::critical(this, programTitle(), purge.error);
    QMessageBox::information(this, programTitle(), QString::number(purge.count) + LanguageString(244));
    afterTaskTableChange({});
}

void TfmMain::openDatasetManager()
{
    for (;;) {
        CommitPreviewNotes();
        m_calendar->storeDiary();
        QStringList errors;
        for (const QString& error : {m_data.saveTasks(), m_data.saveDiary(), m_data.saveTaskLog()}) {
            if (!error.isEmpty())
                errors.append(error);
        }
        if (!errors.isEmpty()) {
            // Switching would leave these changes behind unsaved: stay with this data set.
            QMessageBox::critical(this, programTitle(), errors.join(QStringLiteral("\n")));
            return;
        }
        TfmDatasetManager manager(m_settings, programFolder(), m_data.name(), m_data.folder(), this);
        bool chosen = false;
        {
            const QScopedValueRollback busy(ModalBusy, true);
            chosen = manager.exec() == QDialog::Accepted;
        }
        if (manager.openName() != m_data.name())
            m_data.setLocation(manager.openName(), m_data.folder());
        if (!chosen) {
            updateCaption();
            ScheduleNextAlarm();
            return;
        }
        const QString oldName = m_data.name();
        const QString oldFolder = m_data.folder();
        m_data.unlock();
        m_data.setLocation(manager.chosenName(), manager.chosenFolder());
        if (m_data.lock() == DataSetLock::Result::Locked) {
            // The filters of the last data set mean nothing in this one.
            m_view.ShowAllTasks();
            command(u"AllTasks")->setChecked(true);
            command(u"AllAssignee")->setChecked(true);
            m_deadlineItems[ruleAllDates]->setChecked(true);
            openDataSet();
            return;
        }
        showLockFailure();
        // Keep the data set that is still loaded, locked again, until another one opens.
        m_data.setLocation(oldName, oldFolder);
        m_data.lock();
    }
}
