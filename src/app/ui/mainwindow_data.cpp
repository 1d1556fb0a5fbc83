// The File menu's data commands of the main window: backup, restore, purge, data set manager.
#include "app/ui/mainwindow.h"

#include "calendar/ui/calendarpanelwidget.h"
#include "core/applanguage.h"
#include "core/clock.h"
#include "core/settingsnames.h"
#include "core/settingsstore.h"
#include "core/ui/cleanupdialog.h"
#include "core/ui/datasetmanager.h"
#include "core/ui/datasetproperties.h"
#include "core/ui/ask.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QScopedValueRollback>

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

void TfmMain::showMessages(const QList<DataSetMessage>& messages)
{
    showDataSetMessages(this, messages);
}

void TfmMain::backupData()
{
    CommitPreviewNotes();
    m_calendar->storeDiary();
    const QString folder = chooseBackupFolder(this, m_settings);
    if (folder.isEmpty())
        return;
    if (const auto question = m_session.backupQuestion(folder);
        question && Ask::question(this, question->text()) != QMessageBox::Yes)
        return; // nothing was written, so no "backed up" message either
    showMessages({m_session.backup(folder)});
}

void TfmMain::restoreData()
{
    CommitPreviewNotes();
    const QString folder = chooseBackupFolder(this, m_settings);
    if (folder.isEmpty())
        return;
    if (const auto refusal = m_session.restoreRefusal(folder)) {
        showMessages({*refusal, {DataSetMessage::Information, {263}, {}}});
        return;
    }
    const auto answer = Ask::question(this, DataSetSession::restoreQuestion().text(),
                                              QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                                              QMessageBox::Cancel);
    if (answer == QMessageBox::Cancel) {
        showMessages({DataSetSession::restoreCancelled(), {DataSetMessage::Information, {263}, {}}});
        return;
    }
    m_calendar->storeDiary();
    const QList<DataSetMessage> messages = m_session.restore(folder, answer == QMessageBox::No);
    // The restore saved every table it brought back.
    afterTaskTableChange(Change::DataSet);
    showMessages(messages);
}

void TfmMain::purgeTasks()
{
    CommitPreviewNotes();
    TfmCleanUp dialog(m_settings, this);
    {
        const QScopedValueRollback busy(ModalBusy, true);
        if (Ask::exec(dialog) != QDialog::Accepted)
            return;
    }
    // The purge saves the task table and the log itself.
    showMessages(m_session.purge(dialog.mode(), dialog.beforeDate(), Clock::current().today()));
    afterTaskTableChange({});
}

void TfmMain::openDatasetManager()
{
    for (;;) {
        CommitPreviewNotes();
        m_calendar->storeDiary();
        if (const QStringList errors = m_session.saveBeforeSwitch(); !errors.isEmpty()) {
            // Switching would leave these changes behind unsaved: stay with this data set.
            Ask::critical(this, errors.join(QStringLiteral("\n")));
            return;
        }
        TfmDatasetManager manager(m_settings, programFolder(), m_data.name(), m_data.folder(), this);
        bool chosen = false;
        {
            const QScopedValueRollback busy(ModalBusy, true);
            chosen = Ask::exec(manager) == QDialog::Accepted;
        }
        if (manager.openName() != m_data.name())
            m_data.setLocation(manager.openName(), m_data.folder());
        if (!chosen) {
            updateCaption();
            ScheduleNextAlarm();
            return;
        }
        QString refusal;
        if (m_session.switchTo(manager.chosenName(), manager.chosenFolder(), &refusal)) {
            // The filters of the last data set mean nothing in this one.
            m_view.ShowAllTasks();
            command(u"AllTasks")->setChecked(true);
            command(u"AllAssignee")->setChecked(true);
            m_deadlineItems[ruleAllDates]->setChecked(true);
            openDataSet();
            return;
        }
        Ask::critical(this, refusal);
    }
}
