#include "exchange/ui/exportform.h"
#include "exchange/ui/importwizard.h"
#include "support/mainwindow.h"
#include "support/widgets.h"

#include <QAction>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTableView>

using namespace Qt::Literals::StringLiterals;

// The export form and the import wizard as a user drives them from the main window.
class TestExchangeWindows : public QObject, private MainWindowFixture {
    Q_OBJECT

    // A save dialog handler that picks the file and the filter (an empty path cancels).
    static std::function<void(QDialog&)> saveAs(const QString& path, const QString& filter)
    {
        return [path, filter](QDialog& dialog) {
            auto& files = static_cast<QFileDialog&>(dialog);
            if (path.isEmpty())
                return dialog.reject();
            files.selectNameFilter(filter);
            files.selectFile(path);
            dialog.accept(); // QFileDialog's own accept is reached through QDialog's

        };
    }

    static void click(const QWidget* parent, const char* name)
    {
        QTest::mouseClick(childNamed<QPushButton>(parent, QLatin1String(name)), Qt::LeftButton);
    }

    // Chooses the captions one by one, in the order given, then presses "Export!".
    static void chooseColumns(QDialog& form, const QStringList& captions)
    {
        click(&form, "btnOK"); // page "What" to page "Cols"
        auto* source = childNamed<QListWidget>(&form, "SrcList");
        for (const QString& caption : captions) {
            source->clearSelection();
            source->findItems(caption, Qt::MatchExactly).constFirst()->setSelected(true);
            click(&form, "IncludeBtn");
        }
        click(&form, "btnOK");
    }

private Q_SLOTS:
    void init() { resetHome(); }
    void cleanup() { verifyPromptsAnswered(); }

    void export_chosenColumnsSemicolonOrCancelOrNone_data()
    {
        QTest::addColumn<QStringList>("captions");
        QTest::addColumn<int>("filter");
        QTest::addColumn<QString>("firstLines");
        QTest::addColumn<QStringList>("prompts");
        const QString done = u"The export has finished."_s;
        QTest::newRow("classic csv is semicolons") << QStringList{u"Time"_s, u"Task name"_s} << 1
                                                   << u"Task name;Time\r\nPay rent;\r\n"_s << QStringList{u"Please select target file"_s, done};
        QTest::newRow("all files is TAB") << QStringList{u"Project"_s, u"Task name"_s} << 2
                                          << u"Task name\tProject\r\nPay rent\tHome\r\n"_s << QStringList{u"Please select target file"_s, done};
        QTest::newRow("RFC 4180") << QStringList{u"Task name"_s} << 3 << u"Task name\r\nPay rent\r\n"_s
                                  << QStringList{u"Please select target file"_s, done};
        QTest::newRow("cancelled") << QStringList{u"Task name"_s} << -1 << QString() << QStringList{u"Please select target file"_s};
        QTest::newRow("no column") << QStringList{} << -1 << QString()
                                   << QStringList{u"Please choose at least one column to export."_s};
    }
    void export_chosenColumnsSemicolonOrCancelOrNone()
    {
        QFETCH(QStringList, captions);
        QFETCH(int, filter);
        QFETCH(QString, firstLines);
        QFETCH(QStringList, prompts);
        makeDataSet(u"Main"_s);
        SettingsStore settings(settingsPath());
        TfmMain window(settings);
        QVERIFY(startAndShow(window));
        const QString target = m_home.filePath(u"out.txt"_s);
        bool stayedOpen = false;
        Ask::setNextDialogHandlers({[&](QDialog& form) {
            if (!captions.isEmpty())
                Ask::setNextDialogHandlers({saveAs(filter >= 0 ? target : QString(),
                                                   TExportForm::fileFilters().value(filter))});
            if (filter >= 0 || captions.isEmpty())
                Ask::setNextAnswers({QMessageBox::Ok});
            chooseColumns(form, captions);
            stayedOpen = form.result() != QDialog::Accepted;
            if (stayedOpen)
                form.reject();
        }});
        window.findChild<QAction*>(u"Saveas1"_s)->trigger();
        QCOMPARE(Ask::takeAsked(), QStringList{u"Export tasks"_s} + prompts);
        if (filter < 0) {
            QVERIFY(!QFile::exists(target));
            QCOMPARE(stayedOpen, captions.isEmpty());
            return;
        }
        // The title line first; the task's line where the view's sort put it.
        const QString written = QString::fromUtf8(testFileContents(target));
        const QStringList expected = firstLines.split(u"\r\n"_s);
        QVERIFY2(written.startsWith(expected[0] + u"\r\n"_s) && written.contains(u"\r\n"_s + expected[1] + u"\r\n"_s),
                 qPrintable(written));
        QCOMPARE(settings.readString(Settings::Startup, Settings::ExportPath), m_home.path());
    }

    void import_pairsColumnsSavesAtOnceAndRefusesUnreadableFile()
    {
        const QString folder = makeDataSet(u"Main"_s);
        const QString file = m_home.filePath(u"in.txt"_s);
        QVERIFY(writeTestFile(file, "Subject;Done\r\nA;0.5\r\nB;1\r\nC;Yes\r\n"));
        SettingsStore settings(settingsPath());
        TfmMain window(settings);
        QVERIFY(startAndShow(window));
        int savedWhileOpen = 0;
        Ask::setNextDialogHandlers({asModal([&](QDialog& wizard) {
            childNamed<QLineEdit>(&wizard, "fe")->setText(m_home.filePath(u"missing.txt"_s));
            childNamed<QComboBox>(&wizard, "cbDelimiter")->setCurrentIndex(1);
            Ask::setNextAnswers({QMessageBox::Ok});
            click(&wizard, "btnNext");
            QVERIFY(Ask::takeAsked().constLast().contains(u"missing.txt"_s));
            QCOMPARE(childNamed<QStackedWidget>(&wizard, "Notebook1")->currentIndex(), int(TfmImport::pageStart));

            childNamed<QLineEdit>(&wizard, "fe")->setText(file);
            click(&wizard, "btnNext");
            QCOMPARE(childNamed<QTableView>(&wizard, "Grid")->model()->rowCount(), 4);
            childNamed<QSpinBox>(&wizard, "se")->setValue(2);
            click(&wizard, "btnNext");
            const auto pair = [&](const QString& field, const QString& column) {
                childNamed<QListWidget>(&wizard, "Source")->setCurrentItem(
                    childNamed<QListWidget>(&wizard, "Source")->findItems(field, Qt::MatchExactly).constFirst());
                childNamed<QListWidget>(&wizard, "List")->setCurrentItem(
                    childNamed<QListWidget>(&wizard, "List")->findItems(column, Qt::MatchExactly).constFirst());
                click(&wizard, "btnMatch");
            };
            pair(u"Task name"_s, u"0 - Subject"_s);
            pair(u"Done?"_s, u"1 - Done"_s);
            QCOMPARE(childNamed<QListWidget>(&wizard, "match")->item(0)->text(), u"0 - Subject >> Task name"_s);
            click(&wizard, "btnNext");
            // On the last page the import is on disk already.
            savedWhileOpen = savedTasks(folder).rowCount();
            QCOMPARE(childNamed<QPushButton>(&wizard, "btnNext")->text(), u"&Finish"_s);
            QVERIFY(!childNamed<QPushButton>(&wizard, "btnCancel")->isEnabled());
            click(&wizard, "btnNext");
        })});
        window.findChild<QAction*>(u"Importtasks1"_s)->trigger();
        QCOMPARE(savedWhileOpen, 7);
        const TSortGrid saved = savedTasks(folder);
        QCOMPARE(saved.cellText(0, colTaskName), u"C"_s);
        QCOMPARE(saved.cellText(1, colComplete), u"1"_s);
        QCOMPARE(saved.cellText(2, colComplete), u"50"_s);
        QCOMPARE(saved.cellText(3, colTaskName), u"Pay rent"_s);
        QCOMPARE(window.taskView().MirrorGrid.rowCount(), 7);
    }
};

QTEST_MAIN(TestExchangeWindows)
#include "tst_exchangewindows.moc"
