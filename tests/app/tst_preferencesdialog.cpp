#include "app/ui/orderedchecklist.h"
#include "app/ui/preferencesdialog.h"
#include "calendar/ui/calendarpanelwidget.h"
#include "core/applanguage.h"
#include "support/mainwindow.h"
#include "support/widgets.h"
#include "tasks/ui/taskitemdelegate.h"
#include "tasks/ui/tasklistmodel.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

using namespace Qt::Literals::StringLiterals;

// The Options dialog driven offscreen over the real main window.
class TestPreferencesDialog : public QObject, MainWindowFixture {
    Q_OBJECT

private:
    static void click(const QWidget& window, QAnyStringView button)
    {
        childNamed<QPushButton>(&window, button)->click();
    }

    // Opens the dialog with F12 and hands it to `handle`, then any nested dialogs to `more`.
    static void options(TfmMain& window, const std::function<void(QDialog&)>& handle,
                        const QList<std::function<void(QDialog&)>>& more = {})
    {
        window.activateWindow();
        Ask::setNextDialogHandlers(QList<std::function<void(QDialog&)>>{asModal(handle)} + more);
        QTest::keyClick(&window, Qt::Key_F12);
    }

    // The settings file as text, without the dialog's own placement.
    QString settingsWithoutPlacement() const
    {
        const QString copy = m_home.filePath(u"copy.ini"_s);
        QFile::remove(copy);
        QFile::copy(settingsPath(), copy);
        SettingsStore(copy).deleteSection(Settings::Forms::PreferencesForm);
        return QString::fromUtf8(testFileContents(copy));
    }

    static QStringList listTexts(const QListWidget* list)
    {
        QStringList texts;
        for (int i = 0; i < list->count(); ++i)
            texts.append(list->item(i)->text());
        return texts;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        Ask::setUnattended(true);
    }
    void init()
    {
        resetHome();
        qputenv("XDG_CONFIG_HOME", m_home.filePath(u"config"_s).toUtf8());
    }
    void cleanup()
    {
        Clock::setCurrent(nullptr);
        verifyPromptsAnswered();
    }

    void ok_writesTheSettingsAndTheWindowFollowsAtOnce()
    {
        makeDataSet(u"Home set"_s);
        SettingsStore settings(settingsPath());
        TfmMain window(settings);
        QVERIFY(startAndShow(window));
        QVERIFY(window.menuBar()
                    ->findChild<QMenu*>(u"Configuration1"_s)
                    ->actions()
                    .contains(window.findChild<QAction*>(u"Preferences1"_s)));

        options(window,
                [](QDialog& dialog) {
                    click(dialog, u"panelLow");
                    childNamed<QComboBox>(&dialog, u"cbWeek")->setCurrentIndex(1);
                    childNamed<QComboBox>(&dialog, u"cbPriority")->setCurrentIndex(3);
                    childNamed<QCheckBox>(&dialog, u"chkStart")->setChecked(true);
                    auto* columns = childNamed<TOrderedCheckList>(&dialog, u"ColList");
                    columns->setCurrentRow(4); // Time
                    click(dialog, u"btnUp");
                    click(dialog, u"btnUp");
                    columns->item(0)->setCheckState(Qt::Unchecked); // Due date
                    QVERIFY(static_cast<TfmPreferences&>(dialog).ColumnsChanged);
                    click(dialog, u"btnOK");
                },
                {[](QDialog& colors) {
                    static_cast<QColorDialog&>(colors).setCurrentColor(QColor(0x12, 0x34, 0x56));
                    colors.accept();
                }});

        SettingsStore saved(settingsPath());
        QCOMPARE(saved.readString(Settings::Colors, Settings::Low), u"$000563412"_s);
        QCOMPARE(saved.readInteger(Settings::Calendar, Settings::WeekStart, 0), 1);
        QCOMPARE(saved.readInteger(Settings::Other, Settings::DefaultPriority, 1), 3);
        QStringList order;
        for (int n = 2; n <= 6; ++n)
            order.append(saved.readString(Settings::ColumnsOrder, QString::number(n)));
        QCOMPARE(order, (QStringList{u"2"_s, u"3"_s, u"6"_s, u"4"_s, u"5"_s}));
        QVERIFY(!saved.readBool(Settings::VisibleColumns, u"2"_s, true));
        QCOMPARE(saved.readInteger(Settings::Size, Settings::Width, 0), window.width());

        // The window took everything over without a restart.
        QCOMPARE(window.taskList()->delegate()->style().lowColor, QColor(0x12, 0x34, 0x56));
        QCOMPARE(window.findChild<TCalendarPanelWidget*>()->panel().weekStart(), 1);
        const ColumnLayout& layout = window.taskList()->model()->columnLayout();
        QCOMPARE(layout.count, 6);
        QCOMPARE(layout.displayColumn(2), 3);
        QCOMPARE(layout.displayColumn(3), 6);
        QVERIFY(QFile::exists(m_home.filePath(u"config/autostart/tarnwick.desktop"_s)));
        QVERIFY(!window.ModalBusy);
    }

    void defaultsAndCancel_writeNoSetting()
    {
        makeDataSet(u"Home set"_s);
        SettingsStore settings(settingsPath());
        settings.writeInteger(Settings::Calendar, Settings::WeekStart, 3);
        settings.writeInteger(Settings::Other, Settings::DefaultPriority, 2);
        TfmMain window(settings);
        QVERIFY(startAndShow(window));
        settings.flush();
        const QString before = settingsWithoutPlacement();

        QStringList asked;
        options(window, [&asked](QDialog& dialog) {
            auto* week = childNamed<QComboBox>(&dialog, u"cbWeek");
            asked += promptsAnswered({QMessageBox::No}, [&] { click(dialog, u"BitBtn1"); });
            QCOMPARE(week->currentIndex(), 3);
            asked += promptsAnswered({QMessageBox::Yes}, [&] { click(dialog, u"BitBtn1"); });
            QCOMPARE(week->currentIndex(), 0);
            QCOMPARE(childNamed<QComboBox>(&dialog, u"cbPriority")->currentIndex(), 1);
            QVERIFY(!childNamed<QCheckBox>(&dialog, u"cbAskExit")->isChecked());
            QVERIFY(childNamed<QCheckBox>(&dialog, u"cbAskTaskCompletion")->isChecked());
            click(dialog, u"btnCancel");
        });
        QCOMPARE(asked.count(LanguageString(390)), 2);
        QCOMPARE(settingsWithoutPlacement(), before);
        QCOMPARE(window.findChild<TCalendarPanelWidget*>()->panel().weekStart(), 3);
    }

    void namesRenamedAndDeleted_changeTasksAtOnceAndAreSavedOnCancel()
    {
        const QString folder = makeDataSet(u"Home set"_s);
        writeTestFile(dataFilePath(folder, TableFile::Assignees), "Ann\r\nBob\r\n");
        SettingsStore settings(settingsPath());
        TfmMain window(settings);
        QVERIFY(startAndShow(window));

        const auto nameDialog = [](const QString& name) {
            return [name](QDialog& dialog) {
                auto* edit = childNamed<QLineEdit>(&dialog, u"editName");
                edit->setText(name);
                dialog.accept();
            };
        };
        QStringList asked;
        options(window, [&](QDialog& dialog) {
            auto* projects = childNamed<QListWidget>(&dialog, u"lbProject");
            auto* assignees = childNamed<QListWidget>(&dialog, u"lbAssignee");
            // Nothing selected: told so, nothing changes.
            asked += promptsAnswered({QMessageBox::Ok}, [&] { click(dialog, u"btnRename"); });
            // "Home" to "work": "Work" is listed, and the list ignores case.
            projects->setCurrentRow(1);
            Ask::setNextDialogHandlers({nameDialog(u"work"_s)});
            asked += promptsAnswered({QMessageBox::Ok}, [&] { click(dialog, u"btnRename"); });
            // "Garden" to "Allotment": the list stays sorted, the task follows at once.
            projects->setCurrentRow(0);
            Ask::setNextDialogHandlers({nameDialog(u"Allotment"_s)});
            click(dialog, u"btnRename");
            QCOMPARE(listTexts(projects), (QStringList{u"Allotment"_s, u"Home"_s, u"Work"_s}));
            // Deleting Ann deletes her task.
            assignees->setCurrentRow(0);
            asked += promptsAnswered({QMessageBox::Yes}, [&] { click(dialog, u"btnDeleteAssignee"); });
            QCOMPARE(listTexts(assignees), QStringList{u"Bob"_s});
            click(dialog, u"btnCancel");
        });
        for (const QString& text : QStringList{
                 LanguageString(385) + u"\r\n"_s + LanguageString(386) + u"Project"_s + LanguageString(387),
                 u"work"_s + LanguageString(383) + u"\r\n"_s + LanguageString(384),
                 LanguageString(376) + u"assignee?\r\n"_s + LanguageString(377) + u"assignee"_s + LanguageString(378)})
            QVERIFY2(asked.contains(text), qPrintable(asked.join(u'|')));

        const TSortGrid saved = savedTasks(folder);
        QCOMPARE(saved.rowCount(), 3);
        QStringList names;
        for (int r = 0; r < saved.rowCount(); ++r)
            names.append(saved.cellText(r, colTaskName) + u'/' + saved.cellText(r, colProject));
        QVERIFY2(!names.contains(u"Pay rent/Home"_s), qPrintable(names.join(u',')));
        QVERIFY2(names.contains(u"Plan garden/Allotment"_s), qPrintable(names.join(u',')));
        QCOMPARE(testFileContents(dataFilePath(folder, TableFile::Assignees)), QByteArray("Bob\r\n"));
        QCOMPARE(testFileContents(dataFilePath(folder, TableFile::Projects)),
                 QByteArray("Allotment\r\nHome\r\nWork\r\n"));
        QCOMPARE(countText(window), LanguageString(809) + u"3"_s);
    }

    void editorSetup_opensProjectsPageAndReloadsTheEditorsLists()
    {
        const QString folder = makeDataSet(u"Home set"_s);
        SettingsStore settings(settingsPath());
        TfmMain window(settings);
        QVERIFY(startAndShow(window));
        selectTask(window, u"Plan garden"_s);

        QStringList projects;
        Ask::setNextDialogHandlers({asModal([&](QDialog& editor) {
            Ask::setNextDialogHandlers({asModal([](QDialog& options) {
                                            auto* tabs = options.findChild<QTabWidget*>();
                                            QCOMPARE(tabs->tabText(tabs->currentIndex()), u"Projects and Assignees"_s);
                                            childNamed<QListWidget>(&options, u"lbProject")->setCurrentRow(0);
                                            click(options, u"btnRename");
                                            click(options, u"btnOK");
                                        }),
                                        [](QDialog& name) {
                                            childNamed<QLineEdit>(&name, u"editName")->setText(u"Yard"_s);
                                            name.accept();
                                        }});
            click(editor, u"btnSetup");
            auto* box = childNamed<QComboBox>(&editor, u"cbProject");
            for (int i = 0; i < box->count(); ++i)
                projects.append(box->itemText(i));
            QCOMPARE(box->currentText(), u"Yard"_s);
            click(editor, u"btnOK");
        })});
        QTest::keyClick(&window, Qt::Key_F2);
        QCOMPARE(projects.join(u'|'), u"|Home|Work|Yard"_s);
        // The edited task was stored in place of itself, renamed project and all.
        const TSortGrid saved = savedTasks(folder);
        QCOMPARE(saved.rowCount(), 4);
        QCOMPARE(saved.cellText(0, colTaskName), u"Plan garden"_s);
        QCOMPARE(saved.cellText(0, colProject), u"Yard"_s);
    }
};

QTEST_MAIN(TestPreferencesDialog)
#include "tst_preferencesdialog.moc"
