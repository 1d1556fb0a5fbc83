#include "app/ui/mainwindow.h"
#include "calendar/ui/calendarpanelwidget.h"
#include "core/applanguage.h"
#include "log/ui/tasklogwindow.h"
#include "support/mainwindow.h"
#include "support/widgets.h"
#include "tasks/ui/findwindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>

using namespace Qt::Literals::StringLiterals;

// The task log window and the find window, driven from the real main window offscreen.
class TestLogFind : public QObject, MainWindowFixture {
    Q_OBJECT

private:
    // The data set of the fixture with log entries "Archived plan" and "Tax forms" and a diary entry
    // on 20 November.
    QString makeLogAndDiary()
    {
        const QString folder = makeDataSet(u"Home set"_s);
        if (!writeTestFile(dataFilePath(folder, TableFile::TaskLog),
                           "250\r\n\t\t\t\t\t\t\t\r\nArchived "
                           "plan\t100000\tHome\t\t46000\tkept\x1bnotes\x1b\tplan.pdf\tAnn\r\n"
                           "Tax forms\t100000\tWork\t\t46001\t\t\t\r\n") ||
            !writeTestFile(dataFilePath(folder, TableFile::Diary), "2026\t11\t20\tDentist at nine\x1b\r\n"))
            qFatal("cannot write the log and diary");
        return folder;
    }

    static QStringList savedLogNames(const QString& folder)
    {
        TSortGrid log;
        loadTaskLogTable(log, dataFilePath(folder, TableFile::TaskLog));
        QStringList names;
        for (int r = 1; r < log.rowCount(); ++r) {
            if (!isEmptyLogRow(log.rowText(r)))
                names.append(log.cellText(r, logTaskName));
        }
        return names;
    }

    static void click(QWidget& window, QAnyStringView button) { childNamed<QPushButton>(&window, button)->click(); }

    // Types the text into the find window and runs the search.
    static void search(QDialog& find, const QString& text)
    {
        QLineEdit* edit = childNamed<QComboBox>(&find, u"edFind")->lineEdit();
        edit->setFocus();
        QTest::keyClicks(edit, text);
        click(find, u"btnFind");
    }

    static QString status(const QDialog& find) { return childNamed<QLabel>(&find, u"pStatus")->text(); }

private Q_SLOTS:
    void initTestCase() { startTests(); }
    void init() { resetHome(); }
    void cleanup() { endCase(); }

    // Entries moved while the program runs appear at the next showing; deleting one row or the whole
    // log asks first unless that question is off, and the file follows at once.
    void taskLog_deleteAndClear_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("confirm");
        QTest::addColumn<QMessageBox::StandardButton>("answer");
        QTest::addColumn<QStringList>("left");
        const QStringList all{u"Archived plan"_s, u"Tax forms"_s, u"Old report"_s};
        const QStringList deleted{u"Tax forms"_s, u"Old report"_s};
        QTest::newRow("delete, No") << u"btnDelete"_s << true << QMessageBox::No << all;
        QTest::newRow("delete, Yes") << u"btnDelete"_s << true << QMessageBox::Yes << deleted;
        QTest::newRow("delete, not asked") << u"btnDelete"_s << false << QMessageBox::NoButton << deleted;
        QTest::newRow("clear, No") << u"btnClear"_s << true << QMessageBox::No << all;
        QTest::newRow("clear, Yes") << u"btnClear"_s << true << QMessageBox::Yes << QStringList{};
        QTest::newRow("clear, not asked") << u"btnClear"_s << false << QMessageBox::NoButton << QStringList{};
    }
    void taskLog_deleteAndClear()
    {
        QFETCH(QString, button);
        QFETCH(bool, confirm);
        QFETCH(QMessageBox::StandardButton, answer);
        QFETCH(QStringList, left);
        const QString folder = makeLogAndDiary();
        SettingsStore(settingsPath()).writeBool(Settings::Confirmations, Settings::TaskDeletion, confirm);
        SettingsStore settings(settingsPath());
        TfmMain window(settings);
        QVERIFY(startAndShow(window));
        // The completed task goes to the log while the log window already exists.
        QCOMPARE(window.dataSet().purgeToLog(DataSet::PurgeMode::Completed, {}, m_clock.today()).count, 1);

        QStringList asked;
        QStringList shown;
        bool busy = false;
        Ask::setNextDialogHandlers({asModal([&](QDialog& log) {
            busy = window.ModalBusy;
            auto* grid = childNamed<QTableView>(&log, u"LogGrid");
            for (int r = 0; r < grid->model()->rowCount(); ++r)
                shown.append(grid->model()->index(r, 0).data().toString());
            QCOMPARE(childNamed<QPlainTextEdit>(&log, u"memoPreview")->toPlainText(), u"kept\nnotes"_s);
            QCOMPARE(childNamed<QLineEdit>(&log, u"edAttach")->text(), u"plan.pdf"_s);
            QVERIFY(childNamed<QPushButton>(&log, u"btnPrint")->isHidden());
            QCOMPARE(Ask::takeAsked(), QStringList{u"Task log"_s});
            asked = promptsAnswered(confirm ? QList{answer} : QList<QMessageBox::StandardButton>{},
                                    [&] { click(log, button); });
            click(log, u"btnClose");
        })});
        QTest::keyClick(&window, Qt::Key_L, Qt::ControlModifier);
        QVERIFY(busy);
        QVERIFY(!window.ModalBusy);
        QCOMPARE(shown, (QStringList{u"Archived plan"_s, u"Tax forms"_s, u"Old report"_s}));
        const int question = button == u"btnDelete"_s ? 532 : 534;
        QCOMPARE(asked, confirm ? QStringList{LanguageStrings({question, question + 1})} : QStringList{});
        QCOMPARE(savedLogNames(folder), left);
        // The file keeps its header and one empty row when nothing is left, and reads back the same.
        if (left.isEmpty())
            QCOMPARE(testFileContents(dataFilePath(folder, TableFile::TaskLog)),
                     QByteArray("250\t\t\t\t\t\t\t\r\n\t\t\t\t\t\t\t\r\n\t\t\t\t\t\t\t\r\n"));
    }

    // Go-to for each place: the task's row in the list, the log entry in the log window (also from
    // the log window's own search, which offers the log alone), the diary date in the calendar.
    void find_goesToTheHit_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("fromLog");
        QTest::newRow("active task") << u"rent"_s << false;
        QTest::newRow("task log") << u"TAX"_s << false;
        QTest::newRow("task log from the log window") << u"forms"_s << true;
        QTest::newRow("diary") << u"dentist"_s << false;
    }
    void find_goesToTheHit()
    {
        QFETCH(QString, text);
        QFETCH(bool, fromLog);
        makeLogAndDiary();
        SettingsStore settings(settingsPath());
        TfmMain window(settings);
        QVERIFY(startAndShow(window));
        selectTask(window, u"Someday"_s);

        QString found;
        bool placesHidden = false;
        const auto findHandler = asModal([&](QDialog& find) {
            placesHidden = childNamed<QCheckBox>(&find, u"cbActive")->isHidden() &&
                           !childNamed<QCheckBox>(&find, u"cbActive")->isChecked() &&
                           childNamed<QCheckBox>(&find, u"cbDiary")->isHidden() &&
                           !childNamed<QCheckBox>(&find, u"cbLog")->isHidden();
            search(find, text);
            found = status(find);
            click(find, u"btnGoto");
        });
        int logRow = -1;
        const auto logHandler = asModal([&](QDialog& log) {
            if (fromLog)
                click(log, u"btnFind");
            logRow = static_cast<TfmLog&>(log).currentTableRow();
            click(log, u"btnClose");
        });
        if (fromLog) {
            Ask::setNextDialogHandlers({logHandler, findHandler});
            QTest::keyClick(&window, Qt::Key_L, Qt::ControlModifier);
        } else {
            Ask::setNextDialogHandlers({findHandler, logHandler});
            QTest::keyClick(&window, Qt::Key_F, Qt::ControlModifier);
        }
        QCOMPARE(found, LanguageString(570) + u"1"_s + LanguageString(571));
        QCOMPARE(placesHidden, fromLog);
        const QString tag = QString::fromLatin1(QTest::currentDataTag());
        auto* calendar = window.findChild<TCalendarPanelWidget*>();
        if (tag == u"active task"_s) {
            QCOMPARE(window.taskView().MirrorGrid.cellText(window.taskView().currentRow(), colTaskName), u"Pay rent"_s);
            QVERIFY(Ask::pending()); // the log window was not opened
            Ask::setNextDialogHandlers({});
        } else if (tag == u"diary"_s) {
            QCOMPARE(calendar->calendarDate(), QDate(2026, 11, 20));
            QCOMPARE(calendar->page(), int(TCalendarPanelWidget::DiaryPage));
            Ask::setNextDialogHandlers({});
        } else {
            QCOMPARE(logRow, 2);
        }
        QCOMPARE(childNamed<TfmFind>(&window, u"TfmFind")->LogRowToShow, -1);
        QVERIFY(!window.ModalBusy);
    }

    // Tasks purged into an empty log follow the empty row the log keeps; a hit among them still
    // opens the log window at that entry. A column the user widened keeps its width.
    void taskLog_afterPurge_findOpensTheEntry_andWidthsStay()
    {
        makeDataSet(u"Home set"_s);
        SettingsStore settings(settingsPath());
        TfmMain window(settings);
        QVERIFY(startAndShow(window));
        QCOMPARE(window.dataSet().purgeToLog(DataSet::PurgeMode::AllTasks, {}, m_clock.today()).count, 4);
        window.afterTaskTableChange({});

        QString shown;
        Ask::setNextDialogHandlers({asModal([&](QDialog& find) {
                                        search(find, u"rent"_s);
                                        click(find, u"btnGoto");
                                    }),
                                    asModal([&](QDialog& log) {
                                        auto* grid = childNamed<QTableView>(&log, u"LogGrid");
                                        shown = grid->currentIndex().siblingAtColumn(0).data().toString();
                                        grid->horizontalHeader()->resizeSection(2, 150);
                                        click(log, u"btnClose");
                                    })});
        QTest::keyClick(&window, Qt::Key_F, Qt::ControlModifier);
        QCOMPARE(shown, u"Pay rent"_s);

        int width = 0;
        Ask::setNextDialogHandlers({asModal([&](QDialog& log) {
            width = childNamed<QTableView>(&log, u"LogGrid")->horizontalHeader()->sectionSize(2);
            click(log, u"btnClose");
        })});
        QTest::keyClick(&window, Qt::Key_L, Qt::ControlModifier);
        QCOMPARE(width, 150);
    }

    // A filtered view limits the task hits; after a search the parameters stay locked until Reset,
    // and every showing starts reset.
    void find_filteredViewAndLockedParameters()
    {
        makeLogAndDiary();
        SettingsStore settings(settingsPath());
        TfmMain window(settings);
        QVERIFY(startAndShow(window));
        QTest::keyClick(&window, Qt::Key_F5, Qt::ControlModifier); // hide completed: "Old report" leaves the view

        QStringList states;
        const auto state = [&](QDialog& find) {
            states.append(u"%1 find:%2 text:%3 results:%4 goto:%5"_s.arg(
                childNamed<QComboBox>(&find, u"edFind")->isEnabled() ? u"open"_s : u"locked"_s,
                QString::number(childNamed<QPushButton>(&find, u"btnFind")->isEnabled()),
                childNamed<QComboBox>(&find, u"edFind")->currentText(),
                QString::number(childNamed<QGroupBox>(&find, u"pResults")->isVisible()),
                QString::number(childNamed<QPushButton>(&find, u"btnGoto")->isEnabled())));
        };
        Ask::setNextDialogHandlers({asModal([&](QDialog& find) {
                                        search(find, u"report"_s);
                                        state(find);
                                        QCOMPARE(status(find), LanguageString(568));
                                        QVERIFY(!childNamed<QCheckBox>(&find, u"cbCase")->isEnabled());
                                        QVERIFY(!childNamed<QWidget>(&find, u"edDays")->isEnabled());
                                        click(find, u"btnReset");
                                        state(find);
                                        search(find, u"o"_s); // results left open for the next showing
                                        click(find, u"btnClose");
                                    }),
                                    asModal([&](QDialog& find) {
                                        state(find);
                                        QCOMPARE(childNamed<QComboBox>(&find, u"edFind")->count(), 2);
                                        click(find, u"btnClose");
                                    })});
        QTest::keyClick(&window, Qt::Key_F, Qt::ControlModifier);
        QTest::keyClick(&window, Qt::Key_F, Qt::ControlModifier);
        QCOMPARE(states,
                 (QStringList{u"locked find:0 text:report results:1 goto:0"_s, u"open find:1 text: results:0 goto:0"_s,
                              u"open find:1 text: results:0 goto:0"_s}));
    }
};

QTEST_MAIN(TestLogFind)
#include "tst_logfind.moc"
