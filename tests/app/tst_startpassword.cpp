#include "app/ui/mainwindow.h"
#include "core/password.h"
#include "support/mainwindow.h"
#include "support/widgets.h"

#include <QDirIterator>
#include <QLineEdit>
#include <QMap>
#include <QPushButton>

using namespace Qt::Literals::StringLiterals;

// The password guarding the main window at start-up and when it comes back from being minimised.
class TestStartPassword : public QObject, MainWindowFixture {
    Q_OBJECT

private:
    // Every file under the folder with its bytes.
    static QMap<QString, QByteArray> folderContents(const QString& folder)
    {
        QMap<QString, QByteArray> files;
        QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            files.insert(path, testFileContents(path));
        }
        return files;
    }

    // Lets the window system catch up with a change of the window's state, as it does between two
    // actions of a user.
    static void settle()
    {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }

    static std::function<void(QDialog&)> typePassword(const QString& password)
    {
        return asModal([password](QDialog& prompt) {
            QCOMPARE(prompt.objectName(), u"TfmPassword"_s);
            settle();
            childNamed<QLineEdit>(&prompt, u"editPassword")->setText(password);
            childNamed<QPushButton>(&prompt, u"btnOK")->click();
        });
    }

    static std::function<void(QDialog&)> cancelPrompt()
    {
        return asModal([](QDialog& prompt) {
            QCOMPARE(prompt.objectName(), u"TfmPassword"_s);
            settle();
            childNamed<QPushButton>(&prompt, u"btnCancel")->click();
        });
    }

    void protect(int everyInfo, bool runMinimized)
    {
        SettingsStore settings(settingsPath());
        settings.writeBool(Settings::Other, Settings::MoreInfo, true);
        settings.writeString(Settings::Other, Settings::Item0, passwordStoredForm(u"letmein"_s));
        settings.writeInteger(Settings::Other, Settings::EveryInfo, everyInfo);
        settings.writeBool(Settings::Startup, Settings::RunMinimized, runMinimized);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        Ask::setUnattended(true);
    }
    void init() { resetHome(); }
    void cleanup()
    {
        Clock::setCurrent(nullptr);
        verifyPromptsAnswered();
    }

    void startUp_cancelledPrompt_touchesNoFileOfTheDataSet()
    {
        const QString folder = makeDataSet(u"Home set"_s);
        protect(0, false);
        const QMap<QString, QByteArray> before = folderContents(folder);
        const QMap<QString, QByteArray> programBefore = folderContents(TfmMain::programFolder());
        {
            SettingsStore settings(settingsPath());
            TfmMain window(settings);
            Ask::setNextDialogHandlers({cancelPrompt()});
            QVERIFY(!window.startUp());
            window.close();
        }
        QCOMPARE(folderContents(folder), before);
        QCOMPARE(folderContents(TfmMain::programFolder()), programBefore);
    }

    void startUp_rightPassword_opensDataSet()
    {
        makeDataSet(u"Home set"_s);
        protect(0, false);
        SettingsStore settings(settingsPath());
        TfmMain window(settings);
        Ask::setNextDialogHandlers({typePassword(u"letmein"_s)});
        QVERIFY(window.startUp());
        QCOMPARE(window.taskView().MirrorGrid.rowCount(), 4);
    }

    void restore_asksOnlyWhenSetToAskAtEveryRestore_data()
    {
        QTest::addColumn<int>("everyInfo");
        QTest::addColumn<bool>("runMinimized");
        QTest::newRow("at start-up only") << 0 << false;
        QTest::newRow("at every restore") << 1 << false;
        QTest::newRow("at every restore, minimised start asks at the first restore") << 1 << true;
    }
    void restore_asksOnlyWhenSetToAskAtEveryRestore()
    {
        QFETCH(int, everyInfo);
        QFETCH(bool, runMinimized);
        makeDataSet(u"Home set"_s);
        protect(everyInfo, runMinimized);
        SettingsStore settings(settingsPath());
        TfmMain window(settings);
        const bool askedAtStart = everyInfo == 0 || !runMinimized;
        if (askedAtStart)
            Ask::setNextDialogHandlers({typePassword(u"letmein"_s)});
        QVERIFY(window.startUp());
        QVERIFY(!Ask::pending());
        if (!runMinimized) {
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
        }
        window.showMinimized();
        settle();
        if (everyInfo == 0) {
            window.RestoreFromTray();
            QVERIFY(!window.isMinimized());
            return;
        }
        // Cancel: the window goes back to the minimised state, its tasks never shown.
        Ask::setNextDialogHandlers({cancelPrompt()});
        window.RestoreFromTray();
        settle();
        QVERIFY(window.isMinimized());
        QVERIFY(!window.ModalBusy);
        // The window manager restoring the window asks as well; the right password lets it stay.
        Ask::setNextDialogHandlers({typePassword(u"letmein"_s)});
        window.showNormal();
        QVERIFY(!window.centralWidget()->isVisible());
        QTRY_VERIFY(!Ask::pending());
        settle();
        QVERIFY(!window.isMinimized());
        QVERIFY(window.centralWidget()->isVisible());
        QVERIFY(!Ask::pending());
    }
};

QTEST_MAIN(TestStartPassword)
#include "tst_startpassword.moc"
