#include "core/applanguage.h"
#include "core/password.h"
#include "core/ui/passworddialog.h"
#include "core/ui/setpassworddialog.h"
#include "support/mainwindow.h"
#include "support/widgets.h"

#include <QDirIterator>
#include <QLineEdit>
#include <QMap>
#include <QPushButton>

using namespace Qt::Literals::StringLiterals;

// The stored password form, the password windows, and the password guarding the main window at
// start-up and when it comes back from being minimised.
class TestPassword : public QObject, MainWindowFixture {
    Q_OBJECT

private:
    static void click(QDialog& dialog, QAnyStringView button) { childNamed<QPushButton>(&dialog, button)->click(); }

    // Lets the window system catch up with a change of the window's state, as it does between two
    // actions of a user.
    static void settle()
    {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }

    // The prompt's handler: types the password and presses OK, or presses Cancel when there is none.
    static std::function<void(QDialog&)> answerPrompt(const std::optional<QString>& password)
    {
        return asModal([password](QDialog& prompt) {
            QCOMPARE(prompt.objectName(), u"TfmPassword"_s);
            settle();
            if (!password)
                return click(prompt, u"btnCancel");
            childNamed<QLineEdit>(&prompt, u"editPassword")->setText(*password);
            click(prompt, u"btnOK");
        });
    }

    void protect(int everyInfo, bool runMinimized, const QString& stored)
    {
        SettingsStore settings(settingsPath());
        settings.writeBool(Settings::Other, Settings::MoreInfo, true);
        settings.writeString(Settings::Other, Settings::Item0, stored);
        settings.writeInteger(Settings::Other, Settings::EveryInfo, everyInfo);
        settings.writeBool(Settings::Startup, Settings::RunMinimized, runMinimized);
    }

    static QMap<QString, QByteArray> folderContents(const QString& folder)
    {
        QMap<QString, QByteArray> files;
        for (QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();) {
            const QString path = it.next();
            files.insert(path, testFileContents(path));
        }
        return files;
    }

private Q_SLOTS:
    void initTestCase() { startTests(); }
    void init() { resetHome(); }
    void cleanup() { endCase(); }

    void scramble_data()
    {
        QTest::addColumn<QString>("plain");
        QTest::addColumn<QString>("scrambled");
        QTest::newRow("neighbours swapped, codes raised by position") << u"abc"_s << u"ccf"_s;
        QTest::newRow("even length") << u"abcd"_s << u"ccgg"_s;
        QTest::newRow("odd length keeps the last in place") << u"abcde"_s << u"ccggj"_s;
        QTest::newRow("codes wrap at 256") << u"\u00ff\u00fe"_s << u"\u00ff\u0001"_s;
    }
    void scramble()
    {
        QFETCH(QString, plain);
        QFETCH(QString, scrambled);
        QCOMPARE(scramblePassword(plain), scrambled);
        QCOMPARE(unscramblePassword(scrambled), plain);
    }

    void passwordMatches_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("matches");
        const QString digest = passwordStoredForm(u"Sesame 42"_s);
        QTest::newRow("digest, right") << digest << u"Sesame 42"_s << true;
        QTest::newRow("digest, other case") << digest << u"sesame 42"_s << false;
        QTest::newRow("digest, empty typed") << digest << QString() << false;
        QTest::newRow("none stored, empty typed") << QString() << QString() << true;
        QTest::newRow("none stored, text typed") << QString() << u"x"_s << false;
        QTest::newRow("old scrambled, right") << scramblePassword(u"abcde"_s) << u"abcde"_s << true;
        QTest::newRow("old scrambled, wrong") << scramblePassword(u"abcde"_s) << u"abcdf"_s << false;
        QTest::newRow("damaged digest") << digest.chopped(6) << u"Sesame 42"_s << false;
        // Stored by earlier versions, and the published PBKDF2-HMAC-SHA256 value for these inputs.
        QTest::newRow("kept digest") << u"pbkdf2-sha256$4096$c2FsdA==$xeR41ZKIyEGqUw22hFxMjZYok6ABzk4RpJY4c6qYE0o="_s
                                     << u"password"_s << true;
    }
    void passwordMatches()
    {
        QFETCH(QString, stored);
        QFETCH(QString, typed);
        QFETCH(bool, matches);
        QCOMPARE(::passwordMatches(stored, typed), matches);
    }

    void storedForm_isSaltedDigestNotThePassword()
    {
        const QString stored = passwordStoredForm(u"abcde"_s);
        QVERIFY(isPasswordDigest(stored) && !isPasswordDigest(scramblePassword(u"abcde"_s)));
        QVERIFY(!stored.contains(u"abcde"_s) && !stored.contains(scramblePassword(u"abcde"_s)));
        QVERIFY(stored != passwordStoredForm(u"abcde"_s));
    }

    void setupWindow_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("old");
        QTest::addColumn<QString>("fresh");
        QTest::addColumn<QString>("confirm");
        QTest::addColumn<int>("message"); // 0: accepted
        const QString digest = passwordStoredForm(u"first pass"_s);
        QTest::newRow("four characters") << QString() << QString() << u"abcd"_s << u"abcd"_s << 784;
        QTest::newRow("five characters") << QString() << QString() << u"abcde"_s << u"abcde"_s << 0;
        QTest::newRow("confirmation differs") << QString() << QString() << u"abcde"_s << u"abcdE"_s << 785;
        QTest::newRow("old password wrong") << digest << u"first Pass"_s << u"abcde"_s << u"abcde"_s << 783;
        QTest::newRow("old password right") << digest << u"first pass"_s << u"abcde"_s << u"abcde"_s << 0;
        QTest::newRow("old scrambled password right")
            << scramblePassword(u"older"_s) << u"older"_s << u"abcde"_s << u"abcde"_s << 0;
    }
    void setupWindow()
    {
        QFETCH(QString, stored);
        QFETCH(QString, old);
        QFETCH(QString, fresh);
        QFETCH(QString, confirm);
        QFETCH(int, message);
        SettingsStore settings(settingsPath());
        settings.writeString(Settings::Other, Settings::Item0, stored);
        Ask::setNextDialogHandlers({asModal([&](QDialog& dialog) {
            // The old password is asked only while one is stored.
            QCOMPARE(childNamed<QLineEdit>(&dialog, u"editOld")->isEnabled(), !stored.isEmpty());
            childNamed<QLineEdit>(&dialog, u"editOld")->setText(old);
            childNamed<QLineEdit>(&dialog, u"editNew")->setText(fresh);
            childNamed<QLineEdit>(&dialog, u"editConfirm")->setText(confirm);
            click(dialog, u"btnOK");
            if (dialog.isVisible())
                dialog.reject(); // refused: the window stayed open
        })});
        bool written = false;
        const QStringList asked =
            promptsAnswered(message == 0 ? QList<QMessageBox::StandardButton>() : QList{QMessageBox::Ok},
                            [&] { written = runSetPassword(settings, nullptr); });
        QStringList expected{u"Password setup"_s};
        if (message != 0)
            expected.append(LanguageString(message));
        QCOMPARE(asked, expected);
        QCOMPARE(written, message == 0);
        const QString item0 = SettingsStore(settingsPath()).readString(Settings::Other, Settings::Item0);
        QVERIFY(message == 0 ? isPasswordDigest(item0) && ::passwordMatches(item0, fresh) : item0 == stored);
    }

    void prompt_wrongThenRight_replacesScrambledValueWithDigest()
    {
        protect(0, false, scramblePassword(u"old secret"_s));
        SettingsStore settings(settingsPath());
        Ask::setNextDialogHandlers({asModal([](QDialog& prompt) {
            auto* field = childNamed<QLineEdit>(&prompt, u"editPassword");
            QCOMPARE(field->echoMode(), QLineEdit::Password);
            field->setText(u"Old secret"_s);
            click(prompt, u"btnOK");
            QVERIFY(prompt.isVisible()); // a wrong password never closes the prompt
            field->setText(u"old secret"_s);
            click(prompt, u"btnOK");
        })});
        bool passed = false;
        const QStringList asked =
            promptsAnswered({QMessageBox::Ok}, [&] { passed = runPasswordPrompt(settings, nullptr); });
        QVERIFY(passed);
        QCOMPARE(asked, (QStringList{u"Tarnwick PRO"_s, LanguageString(792)}));
        const QString item0 = SettingsStore(settingsPath()).readString(Settings::Other, Settings::Item0);
        QVERIFY(isPasswordDigest(item0) && ::passwordMatches(item0, u"old secret"_s));
    }

    void startUp_cancelledPrompt_touchesNoFileOfTheDataSet()
    {
        const QString folder = makeDataSet(u"Home set"_s);
        protect(0, false, passwordStoredForm(u"letmein"_s));
        const QMap<QString, QByteArray> before = folderContents(folder);
        const QMap<QString, QByteArray> programBefore = folderContents(TfmMain::programFolder());
        {
            SettingsStore settings(settingsPath());
            TfmMain window(settings);
            Ask::setNextDialogHandlers({answerPrompt(std::nullopt)});
            QVERIFY(!window.startUp());
            window.close();
        }
        QCOMPARE(folderContents(folder), before);
        QCOMPARE(folderContents(TfmMain::programFolder()), programBefore);
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
        protect(everyInfo, runMinimized, passwordStoredForm(u"letmein"_s));
        SettingsStore settings(settingsPath());
        TfmMain window(settings);
        if (everyInfo == 0 || !runMinimized)
            Ask::setNextDialogHandlers({answerPrompt(u"letmein"_s)});
        QVERIFY(window.startUp());
        QVERIFY(!Ask::pending());
        QCOMPARE(window.taskView().MirrorGrid.rowCount(), 4);
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
        Ask::setNextDialogHandlers({answerPrompt(std::nullopt)});
        window.RestoreFromTray();
        settle();
        QVERIFY(window.isMinimized() && !window.ModalBusy);
        // The window manager restoring the window asks as well; the right password lets it stay.
        Ask::setNextDialogHandlers({answerPrompt(u"letmein"_s)});
        window.showNormal();
        QVERIFY(!window.centralWidget()->isVisible());
        QTRY_VERIFY(!Ask::pending());
        settle();
        QVERIFY(!window.isMinimized() && window.centralWidget()->isVisible());
    }
};

QTEST_MAIN(TestPassword)
#include "tst_password.moc"
