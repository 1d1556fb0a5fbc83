#include "alarms/ui/alarmdialog.h"
#include "alarms/ui/alarmsound.h"
#include "core/applanguage.h"
#include "core/clock.h"
#include "core/daynumber.h"
#include "core/formatsettings.h"
#include "core/settingsnames.h"
#include "core/settingsstore.h"
#include "core/tasktable.h"
#include "support/testfiles.h"
#include "support/widgets.h"

#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::Literals::StringLiterals;

class TestAlarmDialog final : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<SettingsStore> m_settings;
    FixedClock m_clock{QDateTime(QDate(2004, 1, 5), QTime(14, 3, 20))};
    TSortGrid m_tasks{TaskColumnCount, 1};
    std::unique_ptr<TfmAlarm> m_dialog;

    TfmAlarm& openDialog(const QString& alarm = u"  5=0"_s, const QString& rule = u"4"_s)
    {
        m_tasks = TSortGrid(TaskColumnCount, 2);
        m_tasks.setRow(1, {u"0"_s, u"Water the plants"_s, dayNumberText(dayNumber(QDateTime({2004, 1, 5}, {9, 30}))),
                           u"Home"_s, u"2 - Medium"_s, EncodeNotes({u"first"_s, QString(), u"third"_s}),
                           m_dir.filePath(u"missing.pdf"_s), u"Ann"_s, alarm, rule, QString()});
        m_dialog = std::make_unique<TfmAlarm>(*m_settings, m_tasks, 1);
        m_dialog->open();
        return *m_dialog;
    }
    // A short silent PCM wave: 8 kHz, mono, 16 bits, 800 samples.
    static QByteArray waveBytes()
    {
        return QByteArray::fromHex("524946466406000057415645666d74201000000001000100401f0000"
                                   "803e0000020010006461746140060000") +
               QByteArray(1600, '\0');
    }
    QString writeWave(const QString& name)
    {
        const QString path = m_dir.filePath(name);
        return writeTestFile(path, waveBytes()) ? path : QString();
    }
    template <typename T> T* at(QAnyStringView name) const { return childNamed<T>(m_dialog.get(), name); }
    void click(QAnyStringView name) { QTest::mouseClick(at<QPushButton>(name), Qt::LeftButton); }

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_dir.isValid());
        FormatSettings format = FormatSettings::fromLocale(QLocale(QLocale::English, QLocale::UnitedStates));
        format.shortTimeFormat = u"h:nn AM/PM"_s;
        format.longTimeFormat = u"hh:nn:ss"_s;
        FormatSettings::setCurrent(format);
        Clock::setCurrent(&m_clock);
        Ask::setUnattended(true);
    }
    void cleanupTestCase()
    {
        Clock::setCurrent(nullptr);
        FormatSettings::resetToSystem();
    }
    void init()
    {
        m_settings = std::make_unique<SettingsStore>(m_dir.filePath(u"tarnwick.ini"_s));
        m_settings->deleteAll();
    }
    void cleanup()
    {
        m_dialog.reset();
        verifyPromptsAnswered();
    }

    void fill_showsTheTask_andTheSnoozeOfItsAlarm()
    {
        TfmAlarm& dialog = openDialog(u"  0=1"_s); // after a snooze in hours
        QCOMPARE(dialog.windowTitle(), u"Tarnwick Alarm 14:03:20"_s);
        QVERIFY(dialog.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QCOMPARE(at<QLineEdit>(u"lblDateTime")->text(), u"Jan 05, 2004 at 9:30 AM,  weekly"_s);
        QCOMPARE(at<QPlainTextEdit>(u"mNotes")->toPlainText(), u"first\n\nthird"_s);
        QCOMPARE(at<QSpinBox>(u"spinAlarm")->value(), 1);
        QCOMPARE(at<QComboBox>(u"cbAlarmOptions")->currentIndex(), 1);
        QCOMPARE(dialog.focusWidget(), at<QPushButton>(u"btnSnooze"));
        openDialog(QString());
        QCOMPARE(at<QSpinBox>(u"spinAlarm")->value(), 5);
        QCOMPARE(at<QComboBox>(u"cbAlarmOptions")->currentIndex(), 0);
    }

    void actionButtons_closeWithTheirAnswer_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("alarm");
        QTest::addColumn<AlarmAction>("action");
        QTest::addColumn<int>("unit");
        QTest::addColumn<QString>("message");
        QTest::newRow("snooze") << u"btnSnooze"_s << u" 10=1"_s << AlarmAction::Snooze << 1 << QString();
        QTest::newRow("disable") << u"btnDisable"_s << u" 10=1"_s << AlarmAction::DisableAlarm << 1 << QString();
        QTest::newRow("edit") << u"btnEdit"_s << u" 10=1"_s << AlarmAction::EditTask << 1 << QString();
        QTest::newRow("delete") << u"btnDelete"_s << u" 10=1"_s << AlarmAction::DeleteTask << 1 << QString();
        QTest::newRow("Esc means edit") << u"Escape"_s << u" 10=1"_s << AlarmAction::EditTask << 1 << QString();
        QTest::newRow("snooze without unit")
            << u"btnSnooze"_s << u"  5=7"_s << AlarmAction::Snooze << -1 << LanguageString(745);
    }
    void actionButtons_closeWithTheirAnswer()
    {
        QFETCH(QString, control);
        QFETCH(QString, alarm);
        QFETCH(AlarmAction, action);
        QFETCH(int, unit);
        QFETCH(QString, message);
        TfmAlarm& dialog = openDialog(alarm);
        QVERIFY(TfmAlarm::AlarmDialogOpen());
        at<QSpinBox>(u"spinAlarm")->setValue(20);
        const auto press = [&] {
            if (control == u"Escape")
                QTest::keyClick(&dialog, Qt::Key_Escape);
            else
                click(control);
        };
        const QList<QMessageBox::StandardButton> ok{QMessageBox::Ok};
        const QStringList boxes = promptsAnswered(message.isEmpty() ? QList<QMessageBox::StandardButton>() : ok, press);
        QCOMPARE(boxes, message.isEmpty() ? QStringList() : QStringList{message});
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.action(), action);
        QCOMPARE(dialog.snoozeAmount(), 20);
        QCOMPARE(dialog.snoozeUnit(), unit);
        QVERIFY(TfmAlarm::AlarmDialogOpen());
        m_dialog.reset();
        QVERIFY(!TfmAlarm::AlarmDialogOpen());
    }

    void closeAttempts_withoutAnswer_areRefused()
    {
        TfmAlarm& dialog = openDialog();
        QSignalSpy help(&dialog, &TfmAlarm::helpRequested);
        dialog.close();
        dialog.reject();
        dialog.done(QDialog::Rejected);
        QVERIFY(at<QPushButton>(u"btnHelp")->isHidden()); // until there is a help window
        at<QPushButton>(u"btnHelp")->click();
        QCOMPARE(help.size(), 1);
        // Enter in the attachment box runs the attachment (missing here) and answers nothing.
        auto* attach = at<QLineEdit>(u"cbAttach");
        attach->setFocus();
        QCOMPARE(promptsAnswered({QMessageBox::Ok}, [&] { QTest::keyClick(attach, Qt::Key_Return); }),
                 QStringList{u"Error executing program."_s});
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.action(), AlarmAction::None);
    }

    void checkTask_asksForTheNextPeriodOnlyWhenTheRuleHasOne_data()
    {
        QTest::addColumn<QString>("rule");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<bool>("scheduleNext");
        QTest::newRow("weekly, yes") << u"4"_s << int(QMessageBox::Yes) << true << true;
        QTest::newRow("weekly, no") << u"4"_s << int(QMessageBox::No) << true << false;
        QTest::newRow("empty (imported)") << u""_s << int(QMessageBox::Yes) << false << false;
    }
    void checkTask_asksForTheNextPeriodOnlyWhenTheRuleHasOne()
    {
        QFETCH(QString, rule);
        QFETCH(int, answer);
        QFETCH(bool, asked);
        QFETCH(bool, scheduleNext);
        TfmAlarm& dialog = openDialog(u"  5=0"_s, rule);
        const QList<QMessageBox::StandardButton> answers{QMessageBox::StandardButton(answer)};
        const QStringList boxes =
            promptsAnswered(asked ? answers : QList<QMessageBox::StandardButton>(), [&] { click(u"btnComplete"); });
        QCOMPARE(boxes.size(), asked ? 1 : 0);
        QCOMPARE(dialog.action(), AlarmAction::CheckTask);
        QCOMPARE(dialog.scheduleNextOccurrence(), scheduleNext);
        QVERIFY(!dialog.isVisible());
    }

    void sound_startsWithTheDialog_andStopsAtTheFirstButton()
    {
        m_settings->writeString(Settings::Alarms, Settings::SoundFile, writeWave(u"bell.wav"_s));
        m_settings->writeBool(Settings::Alarms, Settings::Repeat, true);

        QElapsedTimer timer;
        timer.start();
        TfmAlarm& dialog = openDialog();
        QVERIFY(timer.elapsed() < 2000); // never waits for the audio device
        QVERIFY(dialog.sound().isStarted());
        click(u"btnHelp");
        QVERIFY(!dialog.sound().isStarted());

        m_settings->writeBool(Settings::Alarms, Settings::Enabled, false);
        QVERIFY(!openDialog().sound().isStarted());
    }

    void sound_playsTheBuiltInChime_withoutAPlayableFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<bool>("repeat");
        QTest::addColumn<bool>("chime");
        QTest::newRow("no file, once") << QString() << QByteArray() << false << true;
        QTest::newRow("no file, looping") << QString() << QByteArray() << true << true;
        QTest::newRow("missing file") << u"gone.wav"_s << QByteArray() << false << true;
        QTest::newRow("folder") << u"folder.wav"_s << QByteArray() << true << true;
        QTest::newRow("not a wave") << u"notes.wav"_s << QByteArray("just some text, no sound in it") << false << true;
        QTest::newRow("wave") << u"ding.wav"_s << waveBytes() << true << false;
        QTest::newRow("wave that fails to decode")
            << u"broken.wav"_s << ("RIFF\x40\0\0\0WAVEjunk"_ba).append(60, 'x') << true << true;
    }
    void sound_playsTheBuiltInChime_withoutAPlayableFile()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, contents);
        QFETCH(bool, repeat);
        QFETCH(bool, chime);
        QVERIFY(QFile::exists(TAlarmSound::defaultSource().path().prepend(u':')));
        const QString path = name.isEmpty() ? QString() : m_dir.filePath(name);
        if (name == u"folder.wav"_s)
            QVERIFY(QDir(m_dir.path()).mkpath(name));
        else if (!contents.isEmpty())
            QVERIFY(writeTestFile(path, contents));
        m_settings->writeString(Settings::Alarms, Settings::SoundFile, path);
        m_settings->writeBool(Settings::Alarms, Settings::Repeat, repeat);

        TAlarmSound sound;
        sound.playFromSettings(*m_settings);
        const QUrl expected = chime ? TAlarmSound::defaultSource() : QUrl::fromLocalFile(path);
        QTRY_COMPARE(sound.source(), expected);
        QVERIFY(sound.isStarted());
        QCOMPARE(sound.isLooping(), repeat);
        // A file that failed once is not handed to a sound again.
        QCOMPARE(TAlarmSound::sourceFor(path), expected);
    }
};

QTEST_MAIN(TestAlarmDialog)
#include "tst_alarmdialog.moc"
