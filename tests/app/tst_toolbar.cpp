#include "app/toolbarlayout.h"
#include "app/ui/mainwindow.h"
#include "core/applanguage.h"
#include "core/ui/programicons.h"
#include "support/mainwindow.h"
#include "support/widgets.h"

#include <QAction>
#include <QToolButton>

using namespace Qt::Literals::StringLiterals;

// toolbar.ini with its fallbacks, and the main window's toolbar built from it.
class TestToolbar : public QObject, MainWindowFixture {
    Q_OBJECT

private:
    static QString iniPath() { return toolbarFilePath(TfmMain::programFolder()); }

    static QStringList defaultKeys() { return defaultToolbarList().keys; }

    static void writeIni(const QStringList& lines)
    {
        QVERIFY(writeTestFile(iniPath(), (lines.join(u"\r\n"_s) + u"\r\n"_s).toUtf8()));
    }

    // The shown buttons' names, "|" for a separator, left to right.
    static QStringList shownButtons(const TfmMain& window)
    {
        QStringList names;
        const QWidget* bar = childNamed(&window, u"ToolBar1");
        for (const QObject* child : bar->children()) {
            if (const auto* widget = qobject_cast<const QWidget*>(child))
                names.append(widget->objectName() == u"ToolbarSeparator" ? u"|"_s : widget->objectName());
        }
        return names;
    }

private Q_SLOTS:
    void initTestCase() { startTests(); }
    void init() { resetHome(); }
    void cleanup() { endCase(); }

    void loadList_data()
    {
        QTest::addColumn<QStringList>("file"); // lines of toolbar.ini; empty: no file
        QTest::addColumn<QStringList>("keys");
        QStringList reordered = defaultKeys();
        reordered.move(11, 0); // "Task-Add" first
        QStringList unknown = defaultKeys();
        unknown[2] = u"File-Teleport"_s;
        QTest::newRow("missing") << QStringList() << defaultKeys();
        QTest::newRow("short") << defaultKeys().mid(0, 37) << defaultKeys();
        QTest::newRow("reordered") << reordered << reordered;
        QTest::newRow("unknown key kept in its place") << unknown << unknown;
        QTest::newRow("lines past the 38th") << defaultKeys() + QStringList{u"Task-Add"_s} << defaultKeys();
    }
    void loadList()
    {
        QFETCH(QStringList, file);
        QFETCH(QStringList, keys);
        if (!file.isEmpty())
            writeIni(file);
        SettingsStore settings(settingsPath());
        const ToolbarButtonList list = loadToolbarList(TfmMain::programFolder(), settings);
        QCOMPARE(list.keys, keys);
        // Without stored flags each button keeps its own default wherever it stands.
        for (int i = 0; i < ToolbarEntryCount; ++i) {
            const ToolbarEntry* entry = toolbarEntryForKey(keys[i]);
            if (entry == nullptr || !entry->isSeparator())
                QCOMPARE(list.shown[i], entry != nullptr && entry->shownByDefault);
        }
        QCOMPARE(saveToolbarList(TfmMain::programFolder(), list, settings), QString());
        QCOMPARE(testFileContents(iniPath()), (keys.join(u"\r\n"_s) + u"\r\n"_s).toUtf8());
        QCOMPARE(loadToolbarList(TfmMain::programFolder(), SettingsStore(settingsPath())), list);
    }

    void buildToolbar_wrapsOrCutsTheButtonsThatDoNotFit_data()
    {
        QTest::addColumn<bool>("wrap");
        QTest::newRow("wrapping") << true;
        QTest::newRow("one row") << false;
    }
    void buildToolbar_wrapsOrCutsTheButtonsThatDoNotFit()
    {
        QFETCH(bool, wrap);
        makeDataSet(u"Home set"_s);
        SettingsStore settings(settingsPath());
        for (int i = 0; i < ToolbarEntryCount; ++i)
            settings.writeBool(Settings::ToolbarButtons, QString::number(i), true);
        settings.writeBool(Settings::Toolbar, Settings::Wrap, wrap);
        TfmMain window(settings);
        QVERIFY(startAndShow(window));
        const QWidget* bar = childNamed(&window, u"ToolBar1");
        const QWidget* about = childNamed(&window, u"btnAbout");
        // Every button lies inside the toolbar when wrapping; otherwise the last ones are left out.
        QTRY_COMPARE(about->isVisible(), wrap);
        QCOMPARE(bar->contentsRect().contains(about->geometry()), wrap);
        QCOMPARE(about->y() > childNamed(&window, u"btnSave")->y(), wrap);
    }

    void buildToolbar_followsListFlagsAndLook()
    {
        makeDataSet(u"Home set"_s);
        QStringList keys = defaultKeys();
        keys.move(11, 0);         // "Task-Add" first
        keys[12] = u"Task-Fly"_s; // was "Task-Delete": no button
        writeIni(keys);
        SettingsStore settings(settingsPath());
        settings.writeBool(Settings::ToolbarButtons, u"1"_s, true);   // "File-Save data"
        settings.writeBool(Settings::ToolbarButtons, u"13"_s, false); // "Task-Edit"
        settings.writeBool(Settings::Toolbar, Settings::Captions, false);
        TfmMain window(settings);
        QVERIFY(startAndShow(window));
        QCOMPARE(shownButtons(window),
                 (QStringList{u"btnAdd"_s, u"btnSave"_s, u"btnCleanUp"_s, u"btnTaskLog"_s, u"btnPrint"_s, u"|"_s,
                              u"|"_s, u"btnFilter"_s, u"btnAll"_s, u"btnShowChecked"_s, u"btnSortSetup"_s, u"|"_s,
                              u"btnSpecial"_s, u"btnPreferences"_s}));
        auto* add = childNamed<QToolButton>(&window, u"btnAdd");
        QCOMPARE(add->toolButtonStyle(), Qt::ToolButtonIconOnly);
        QCOMPARE(add->toolTip(), u"Add a new task"_s);
        QCOMPARE(add->defaultAction()->statusTip(), u"Add a new task"_s);
        QVERIFY(!add->icon().pixmap(16, 16).isNull()); // the SVG icon engine is there
        // A button whose window the program does not have yet is greyed, keeping its hint.
        auto* print = childNamed<QToolButton>(&window, u"btnPrint");
        QVERIFY(!print->isEnabled());
        QCOMPARE(print->defaultAction()->statusTip(), u"Print reports - reports gallery"_s);
        QVERIFY(childNamed<QToolButton>(&window, u"btnTaskLog")->isEnabled());

        // Every button runs its command: "Show all" then the completed-tasks switch with its hint.
        auto* showChecked = childNamed<QToolButton>(&window, u"btnShowChecked");
        QCOMPARE(showChecked->toolTip(), u"Hide completed"_s);
        showChecked->click();
        QVERIFY(!window.taskView().ShowCompleted);
        QCOMPARE(showChecked->toolTip(), hintTip(LanguageString(189)));
        QCOMPARE(showChecked->defaultAction()->statusTip(), hintStatus(LanguageString(189)));

        // The toolbar follows its settings as they change.
        settings.writeBool(Settings::Toolbar, Settings::Captions, true);
        settings.writeBool(Settings::ToolbarButtons, u"0"_s, false);
        QTRY_COMPARE(shownButtons(window).first(), u"btnSave"_s);
        QCOMPARE(childNamed<QToolButton>(&window, u"btnSave")->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
        QCOMPARE(SettingsStore(settingsPath()).readBool(Settings::ToolbarButtons, u"0"_s, true), false);
        QCOMPARE(testFileContents(iniPath()), (keys.join(u"\r\n"_s) + u"\r\n"_s).toUtf8());
    }
};

QTEST_MAIN(TestToolbar)
#include "tst_toolbar.moc"
