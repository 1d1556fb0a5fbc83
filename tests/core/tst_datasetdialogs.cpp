#include "core/applanguage.h"
#include "core/dataset.h"
#include "core/settingsnames.h"
#include "core/settingsstore.h"
#include "core/tablefiles.h"
#include "core/ui/cleanupdialog.h"
#include "core/ui/confirmbox.h"
#include "core/ui/datasetmanager.h"
#include "core/ui/datasetproperties.h"
#include "core/ui/foldererror.h"
#include "support/testfiles.h"
#include "support/widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <sys/stat.h>

using namespace Qt::Literals::StringLiterals;

namespace {

void click(QWidget* window, const QString& name)
{
    auto* button = window->findChild<QPushButton*>(name);
    QVERIFY2(button != nullptr, qPrintable(name));
    QTest::mouseClick(button, Qt::LeftButton);
}

void touch(const QString& path)
{
    QVERIFY(writeTestFile(path, {}));
}

} // namespace

class TestDataSetDialogs : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    int m_count = 0;
    QString settingsPath() const { return m_dir.filePath(u"settings%1.ini"_s.arg(m_count)); }

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_dir.isValid());
        Ask::setUnattended(true);
    }
    void init() { ++m_count; }
    void cleanup() { verifyPromptsAnswered(); }

    void confirm_dontAskTicked_writesTheControllingValue_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("tick");
        QTest::addColumn<QString>("written"); // "" when nothing is written
        QTest::addColumn<bool>("yes");
        QTest::newRow("yes, ticked") << u"btnYes"_s << true << u"0"_s << true;
        QTest::newRow("no, ticked") << u"btnNo"_s << true << u"0"_s << false;
        QTest::newRow("escape is no") << u"escape"_s << true << u"0"_s << false;
        QTest::newRow("closed, ticked: keeps asking") << u"close"_s << true << u"1"_s << false;
        QTest::newRow("yes, not ticked") << u"btnYes"_s << false << QString() << true;
    }
    void confirm_dontAskTicked_writesTheControllingValue()
    {
        QFETCH(QString, how);
        QFETCH(bool, tick);
        QFETCH(QString, written);
        QFETCH(bool, yes);
        SettingsStore settings(settingsPath());
        Ask::setNextDialogHandlers({[&](QDialog& box) {
            box.show();
            QCOMPARE(box.objectName(), u"TfmConfirm"_s);
            QCOMPARE(childNamed<QLabel>(&box, u"lblMessage")->text(), u"Sure?"_s);
            QVERIFY(childNamed<QPushButton>(&box, u"btnNo")->isDefault());
            childNamed<QCheckBox>(&box, u"cbAsk")->setChecked(tick);
            if (how == u"escape")
                QTest::keyClick(&box, Qt::Key_Escape);
            else if (how == u"close")
                box.close();
            else
                click(&box, how);
        }});
        QCOMPARE(TfmConfirm::ask(nullptr, settings, u"Sure?"_s, Settings::Confirmations, Settings::Exit), yes);
        QVERIFY(!Ask::pending());
        QCOMPARE(settings.readString(Settings::Confirmations, Settings::Exit), written);

        // Switched off: no box, and the answer is yes.
        if (written == u"0") {
            QVERIFY(TfmConfirm::ask(nullptr, settings, u"Sure?"_s, Settings::Confirmations, Settings::Exit));
        }
    }

    void ask_takesAnswersInOrder_marksUnanswered_yesToAllSwitchesTheQuestionOff()
    {
        SettingsStore settings(settingsPath());
        Ask::setNextAnswers({QMessageBox::No, QMessageBox::YesToAll, QMessageBox::Cancel});
        QCOMPARE(Ask::question(nullptr, u"One?"_s), QMessageBox::No);
        QVERIFY(TfmConfirm::ask(nullptr, settings, u"Two?"_s, Settings::Confirmations, Settings::Exit));
        QCOMPARE(settings.readString(Settings::Confirmations, Settings::Exit), u"0"_s);
        QVERIFY(TfmConfirm::ask(nullptr, settings, u"Two?"_s, Settings::Confirmations, Settings::Exit)); // not asked
        QCOMPARE(Ask::question(nullptr, u"Three?"_s, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel),
                 QMessageBox::Cancel);
        QVERIFY(!Ask::pending());

        // With nothing queued a box takes its Escape button and a dialog is rejected, both marked.
        QCOMPARE(Ask::question(nullptr, u"Four?"_s), QMessageBox::No);
        QDialog dialog;
        dialog.setWindowTitle(u"Five"_s);
        QCOMPARE(Ask::exec(dialog), int(QDialog::Rejected));
        QCOMPARE(Ask::takeAsked(),
                 (QStringList{u"One?"_s, u"Two?"_s, u"Three?"_s, u"UNANSWERED: Four?"_s, u"UNANSWERED: Five"_s}));
    }

    void cleanUp_returnsTheChoice_andNoInTheConfirmationKeepsItOpen()
    {
        SettingsStore settings(settingsPath());
        TfmCleanUp dialog(settings);
        QVERIFY(dialog.findChild<QRadioButton*>(u"rbCompleted"_s)->isChecked());
        QCOMPARE(dialog.mode(), DataSet::PurgeMode::Completed);
        dialog.findChild<QRadioButton*>(u"rbAll"_s)->setChecked(true);
        dialog.show();

        const QStringList question{LanguageStrings({513, 514})};
        QCOMPARE(promptsAnswered({QMessageBox::No}, [&] { click(&dialog, u"btnOK"_s); }), question);
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));

        QCOMPARE(promptsAnswered({QMessageBox::Yes}, [&] { click(&dialog, u"btnOK"_s); }), question);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.mode(), DataSet::PurgeMode::AllTasks);
    }

    void manager_removeWithNo_keepsFiles_andClosingWritesTheList()
    {
        SettingsStore settings(settingsPath());
        const QString program = m_dir.filePath(u"program%1"_s.arg(m_count));
        const QString a = m_dir.filePath(u"a%1"_s.arg(m_count));
        const QString b = m_dir.filePath(u"b%1"_s.arg(m_count));
        QDir().mkpath(program);
        QDir().mkpath(a);
        QDir().mkpath(b);
        touch(dataFilePath(b, TableFile::Tasks));
        const QString list = dataFilePath(program, u"datasets.ini"_s);
        QVERIFY(writeTestFile(list, u"A\t%1\r\nB\t%2\r\n"_s.arg(a, b).toUtf8()));
        settings.writeString(Settings::Startup, Settings::Dataset, u"B"_s);

        {
            // The open data set is selected, so that Enter opens what is open already.
            TfmDatasetManager manager(settings, program, b);
            QCOMPARE(manager.findChild<QTableWidget*>(u"gridDatasets"_s)->currentRow(), 1);
            QVERIFY(manager.findChild<QPushButton*>(u"btnHelp"_s)->isHidden()); // until there is a help window
        }
        TfmDatasetManager manager(settings, program, a);
        manager.show();
        auto* grid = manager.findChild<QTableWidget*>(u"gridDatasets"_s);
        auto* startup = manager.findChild<QComboBox*>(u"cbStartup"_s);
        QCOMPARE(grid->rowCount(), 2);
        QCOMPARE(startup->currentIndex(), 2);

        // The open data set is refused.
        grid->selectRow(0);
        QCOMPARE(promptsAnswered({QMessageBox::Ok}, [&] { click(&manager, u"btnRemove"_s); }).size(), 1);
        QCOMPARE(grid->rowCount(), 2);

        grid->selectRow(1);
        const QStringList asked = promptsAnswered({QMessageBox::No}, [&] { click(&manager, u"btnRemove"_s); });
        QCOMPARE(asked.size(), 1);
        QVERIFY(asked.first().startsWith(LanguageString(824) + u"B?"_s));
        QCOMPARE(grid->rowCount(), 1);
        QVERIFY(QFile::exists(dataFilePath(b, TableFile::Tasks)));
        QCOMPARE(startup->currentIndex(), 0); // its start-up choice went with it

        grid->selectRow(0);
        click(&manager, u"btnOpen"_s);
        QCOMPARE(manager.result(), int(QDialog::Accepted));
        QCOMPARE(manager.chosenName(), u"A"_s);
        QCOMPARE(manager.chosenFolder(), a);
        QCOMPARE(testFileContents(list), u"A\t%1\r\n"_s.arg(a).toUtf8());
        QCOMPARE(settings.readString(Settings::Startup, Settings::Dataset, u"x"_s), QString());
    }

    void manager_renamingTheStartUpDataSet_keepsItTheStartUpChoice_data()
    {
        QTest::addColumn<QString>("list");   // rows "name=folder" joined by ","
        QTest::addColumn<QString>("stored"); // Startup/Dataset before
        QTest::addColumn<int>("row");
        const QString defaultName = LanguageString(821);
        QTest::newRow("chosen one of two") << u"A=a,B=b"_s << u"B"_s << 1;
        QTest::newRow("the default data set alone") << defaultName + u"=a"_s << QString() << 0;
    }
    void manager_renamingTheStartUpDataSet_keepsItTheStartUpChoice()
    {
        QFETCH(QString, list);
        QFETCH(QString, stored);
        QFETCH(int, row);
        SettingsStore settings(settingsPath());
        const QString program = m_dir.filePath(u"program%1"_s.arg(m_count));
        QDir().mkpath(program);
        QString lines;
        for (const QString& entry : list.split(u',')) {
            const QString folder = m_dir.filePath(entry.section(u'=', 1) + QString::number(m_count));
            QDir().mkpath(folder);
            lines += entry.section(u'=', 0, 0) + u'\t' + folder + u"\r\n"_s;
        }
        QVERIFY(writeTestFile(dataFilePath(program, u"datasets.ini"_s), lines.toUtf8()));
        settings.writeString(Settings::Startup, Settings::Dataset, stored);

        TfmDatasetManager manager(settings, program, QString());
        manager.show();
        auto* startup = manager.findChild<QComboBox*>(u"cbStartup"_s);
        QCOMPARE(startup->currentIndex(), row + 1);
        manager.findChild<QTableWidget*>(u"gridDatasets"_s)->selectRow(row);
        Ask::setNextDialogHandlers({[](QDialog& properties) {
            properties.show();
            childNamed<QLineEdit>(&properties, u"edName")->setText(u"Renamed"_s);
            click(&properties, u"btnOK"_s);
        }});
        click(&manager, u"btnProperties"_s);
        QCOMPARE(startup->currentText(), u"Renamed"_s);
        manager.reject();
        QCOMPARE(settings.readString(Settings::Startup, Settings::Dataset), u"Renamed"_s);
    }

    void properties_folderMadeInTheChooser_isPrivate()
    {
        SettingsStore settings(settingsPath());
        const QString parent = m_dir.filePath(u"chooser%1"_s.arg(m_count));
        QDir().mkpath(parent);
        DataSetList list(m_dir.filePath(u"program%1"_s.arg(m_count)));
        TfmDatasetProperties properties(settings, list, -1, QString());
        properties.setLocation(parent);
        properties.show();
        const mode_t umask = ::umask(022);
        Ask::setNextDialogHandlers({[](QDialog& chooser) {
            chooser.show();
            childNamed<QToolButton>(&chooser, u"newFolderButton")->click();
            chooser.reject();
        }});
        click(&properties, u"btnBrowse"_s);
        ::umask(umask);
        const QStringList made = QDir(parent).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        QCOMPARE(made.size(), 1);
        QCOMPARE(fileMode(parent + u'/' + made.first()), 0700u);
    }

    void folderError_retriesUntilTheFolderExists()
    {
        SettingsStore settings(settingsPath());
        const QString folder = m_dir.filePath(u"gone%1"_s.arg(m_count));
        DataSet data;
        data.setLocation(u"Gone"_s, folder);
        TfmFolderError window(settings, data, m_dir.path());
        QVERIFY(window.findChild<QPushButton*>(u"btnHelp"_s)->isHidden()); // until there is a help window
        int shown = 0;
        const auto retry = [&](QDialog& w) {
            ++shown;
            w.show();
            if (shown == 2)
                QDir().mkpath(folder); // the first Retry finds nothing; the second finds it
            click(&w, u"btnRetry"_s);
        };
        Ask::setNextDialogHandlers({retry, retry});
        data.setFolderGuard([&] { return window.runUntilFolderExists(); });
        QVERIFY(data.saveTasks().isEmpty());
        QCOMPARE(shown, 2);
        QCOMPARE(Ask::takeAsked(), QStringList(2, u"Data folder read error"_s));
        QVERIFY(QFile::exists(dataFilePath(folder, TableFile::Tasks)));
    }
};

QTEST_MAIN(TestDataSetDialogs)
#include "tst_datasetdialogs.moc"
