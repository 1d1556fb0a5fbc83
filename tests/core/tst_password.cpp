#include "core/applanguage.h"
#include "core/password.h"
#include "core/settingsnames.h"
#include "core/settingsstore.h"
#include "core/ui/passworddialog.h"
#include "core/ui/setpassworddialog.h"
#include "support/widgets.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

using namespace Qt::Literals::StringLiterals;

// The stored password form and the two password windows.
class TestPassword : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString settingsPath() const { return m_dir.filePath(u"tarnwick.ini"_s); }

    // Types into the setup window's three fields and presses OK.
    static std::function<void(QDialog&)> typeSetup(const QString& old, const QString& fresh, const QString& confirm)
    {
        return [=](QDialog& dialog) {
            dialog.show();
            childNamed<QLineEdit>(&dialog, u"editOld")->setText(old);
            childNamed<QLineEdit>(&dialog, u"editNew")->setText(fresh);
            childNamed<QLineEdit>(&dialog, u"editConfirm")->setText(confirm);
            childNamed<QPushButton>(&dialog, u"btnOK")->click();
            if (dialog.isVisible())
                dialog.reject(); // refused: the window stayed open
        };
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        Ask::setUnattended(true);
    }
    void cleanup()
    {
        QFile::remove(settingsPath());
        verifyPromptsAnswered();
    }

    void scramble_data()
    {
        QTest::addColumn<QString>("plain");
        QTest::addColumn<QString>("scrambled");
        QTest::newRow("neighbours swapped, codes raised by position") << u"abc"_s << u"ccf"_s;
        QTest::newRow("even length") << u"abcd"_s << u"ccgg"_s;
        QTest::newRow("odd length keeps the last in place") << u"abcde"_s << u"ccggj"_s;
        QTest::newRow("empty") << QString() << QString();
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
        QTest::newRow("digest, cut short") << digest << u"Sesame 4"_s << false;
        QTest::newRow("digest, empty typed") << digest << QString() << false;
        QTest::newRow("none stored, empty typed") << QString() << QString() << true;
        QTest::newRow("none stored, text typed") << QString() << u"x"_s << false;
        QTest::newRow("old scrambled, right") << scramblePassword(u"abcde"_s) << u"abcde"_s << true;
        QTest::newRow("old scrambled, wrong") << scramblePassword(u"abcde"_s) << u"abcdf"_s << false;
        QTest::newRow("damaged digest") << digest.left(digest.size() - 6) << u"Sesame 42"_s << false;
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
        const QString first = passwordStoredForm(u"abcde"_s);
        QVERIFY(isPasswordDigest(first));
        QVERIFY(!first.contains(u"abcde"_s) && !first.contains(scramblePassword(u"abcde"_s)));
        QVERIFY(first != passwordStoredForm(u"abcde"_s));
        QVERIFY(!isPasswordDigest(scramblePassword(u"abcde"_s)));
        QCOMPARE(passwordStoredForm(QString()), QString());
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
        bool stateChecked = false;
        Ask::setNextDialogHandlers({[&](QDialog& dialog) {
            // The old password is asked only while one is stored.
            QCOMPARE(childNamed<QLineEdit>(&dialog, u"editOld")->isEnabled(), !stored.isEmpty());
            stateChecked = true;
            typeSetup(old, fresh, confirm)(dialog);
        }});
        Ask::setNextAnswers({QMessageBox::Ok});
        const bool stored2 = runSetPassword(settings, nullptr);
        const QStringList asked = Ask::takeAsked();
        Ask::setNextAnswers({});
        QVERIFY(stateChecked);
        QStringList expected{u"Password setup"_s};
        if (message != 0)
            expected.append(LanguageString(message));
        QCOMPARE(asked, expected);
        QCOMPARE(stored2, message == 0);
        const QString item0 = SettingsStore(settingsPath()).readString(Settings::Other, Settings::Item0);
        if (message == 0) {
            QVERIFY(isPasswordDigest(item0));
            QVERIFY(::passwordMatches(item0, fresh));
        } else {
            QCOMPARE(item0, stored);
        }
    }

    void prompt_wrongThenRight_replacesScrambledValueWithDigest()
    {
        SettingsStore settings(settingsPath());
        settings.writeBool(Settings::Other, Settings::MoreInfo, true);
        settings.writeString(Settings::Other, Settings::Item0, scramblePassword(u"old secret"_s));
        Ask::setNextDialogHandlers({asModal([](QDialog& prompt) {
            auto* field = childNamed<QLineEdit>(&prompt, u"editPassword");
            QCOMPARE(field->echoMode(), QLineEdit::Password);
            field->setText(u"Old secret"_s);
            childNamed<QPushButton>(&prompt, u"btnOK")->click();
            QVERIFY(prompt.isVisible()); // a wrong password never closes the prompt
            field->setText(u"old secret"_s);
            childNamed<QPushButton>(&prompt, u"btnOK")->click();
        })});
        bool passed = false;
        const QStringList asked = promptsAnswered({QMessageBox::Ok}, [&] { passed = runPasswordPrompt(settings, nullptr); });
        QVERIFY(passed);
        QCOMPARE(asked, (QStringList{u"Tarnwick PRO"_s, LanguageString(792)}));
        const QString item0 = SettingsStore(settingsPath()).readString(Settings::Other, Settings::Item0);
        QVERIFY(isPasswordDigest(item0));
        QVERIFY(::passwordMatches(item0, u"old secret"_s));
    }

    void prompt_cancelOrProtectionOff()
    {
        SettingsStore settings(settingsPath());
        settings.writeString(Settings::Other, Settings::Item0, passwordStoredForm(u"abcde"_s));
        QVERIFY(runPasswordPrompt(settings, nullptr)); // protection off: no prompt at all
        settings.writeBool(Settings::Other, Settings::MoreInfo, true);
        Ask::setNextDialogHandlers({[](QDialog& prompt) { prompt.reject(); }});
        QVERIFY(!runPasswordPrompt(settings, nullptr));
    }
};

QTEST_MAIN(TestPassword)
#include "tst_password.moc"
