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

#include <QApplication>
#include <QComboBox>
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
#include <QTimer>

#include <functional>
#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {

// A short silent PCM wave file: 8 kHz, mono, 16 bits, 800 samples.
QByteArray silentWave()
{
    return QByteArray::fromHex("524946466406000057415645666d74201000000001000100401f0000"
                               "803e0000020010006461746140060000") +
           QByteArray(1600, '\0');
}

} // namespace

class TestAlarmDialog final : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<SettingsStore> m_settings;
    FixedClock m_clock{QDateTime(QDate(2004, 1, 5), QTime(14, 3, 20))};
    TSortGrid m_tasks{TaskColumnCount, 1};
    std::unique_ptr<TfmAlarm> m_dialog;

    void setTask(const QString& alarm, const QString& rule)
    {
        m_tasks = TSortGrid(TaskColumnCount, 2);
        m_tasks.setRow(1, {u"0"_s, u"Water the plants"_s, dayNumberText(dayNumber(QDateTime({2004, 1, 5}, {9, 30}))),
                           u"Home"_s, u"2 - Medium"_s, EncodeNotes({u"first"_s, QString(), u"third"_s}),
                           m_dir.filePath(u"missing.pdf"_s), u"Ann"_s, alarm, rule, QString()});
    }
    TfmAlarm& openDialog(const QString& alarm = u"  5=0"_s, const QString& rule = u"4"_s)
    {
        setTask(alarm, rule);
        m_dialog = std::make_unique<TfmAlarm>(*m_settings, m_tasks, 1);
        m_dialog->open();
        return *m_dialog;
    }
    template <typename T> T* at(const char* name) const
    {
        T* widget = m_dialog->findChild<T*>(QLatin1String(name));
        if (widget == nullptr)
            qFatal("no %s", name);
        return widget;
    }
    void click(const char* name) { QTest::mouseClick(at<QPushButton>(name), Qt::LeftButton); }

    // Runs `action`, answering the first message box that comes up with `button`; returns its text
    // (empty when none came up).
    QString answerBox(const std::function<void()>& action, QMessageBox::StandardButton button = QMessageBox::Ok)
    {
        QString text;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                poll.stop();
                text = box->text();
                box->button(button)->click();
            }
        });
        poll.start(10);
        action();
        return text;
    }

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
    void cleanup() { m_dialog.reset(); }

    void fill_showsTheTask_andTheSnoozeOfItsAlarm()
    {
        TfmAlarm& dialog = openDialog(u"  0=1"_s); // after a snooze in hours
        QCOMPARE(dialog.windowTitle(), u"Tarnwick Alarm 14:03:20"_s);
        QVERIFY(dialog.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(!dialog.windowFlags().testFlag(Qt::WindowCloseButtonHint));
        QCOMPARE(at<QLineEdit>("lblTaskName")->text(), u"Water the plants"_s);
        QCOMPARE(at<QLineEdit>("lblDateTime")->text(), u"Jan 05, 2004 at 9:30 AM,  weekly"_s);
        QCOMPARE(at<QLineEdit>("lblAssignee")->text(), u"Ann"_s);
        QCOMPARE(at<QPlainTextEdit>("mNotes")->toPlainText(), u"first\n\nthird"_s);
        QCOMPARE(at<QSpinBox>("spinAlarm")->value(), 1);
        QCOMPARE(at<QComboBox>("cbAlarmOptions")->currentIndex(), 1);
        QCOMPARE(dialog.focusWidget(), at<QPushButton>("btnSnooze"));
        openDialog(QString());
        QCOMPARE(at<QSpinBox>("spinAlarm")->value(), 5);
        QCOMPARE(at<QComboBox>("cbAlarmOptions")->currentIndex(), 0);
    }

    void actionButtons_closeWithTheirAnswer_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<AlarmAction>("action");
        QTest::newRow("snooze") << u"btnSnooze"_s << AlarmAction::Snooze;
        QTest::newRow("disable") << u"btnDisable"_s << AlarmAction::DisableAlarm;
        QTest::newRow("edit") << u"btnEdit"_s << AlarmAction::EditTask;
        QTest::newRow("delete") << u"btnDelete"_s << AlarmAction::DeleteTask;
        QTest::newRow("Esc means edit") << u"Escape"_s << AlarmAction::EditTask;
    }
    void actionButtons_closeWithTheirAnswer()
    {
        QFETCH(QString, control);
        QFETCH(AlarmAction, action);
        TfmAlarm& dialog = openDialog(u" 10=1"_s);
        QVERIFY(TfmAlarm::AlarmDialogOpen());
        at<QSpinBox>("spinAlarm")->setValue(20);
        if (control == u"Escape")
            QTest::keyClick(&dialog, Qt::Key_Escape);
        else
            click(control.toLatin1().constData());
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.action(), action);
        QCOMPARE(dialog.snoozeAmount(), 20);
        QCOMPARE(dialog.snoozeUnit(), 1);
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
        click("btnHelp");
        QCOMPARE(help.size(), 1);
        QCOMPARE(help.at(0).at(0).toString(), u"alarm"_s);
        // Enter in the attachment box runs the attachment (missing here) and answers nothing.
        at<QLineEdit>("cbAttach")->setFocus();
        QCOMPARE(answerBox([&] { QTest::keyClick(at<QLineEdit>("cbAttach"), Qt::Key_Return); }),
                 u"Error executing program."_s);
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
        const QString question = answerBox([&] { click("btnComplete"); }, QMessageBox::StandardButton(answer));
        QCOMPARE(!question.isEmpty(), asked);
        QCOMPARE(dialog.action(), AlarmAction::CheckTask);
        QCOMPARE(dialog.scheduleNextOccurrence(), scheduleNext);
        QVERIFY(!dialog.isVisible());
    }

    void snoozeWithoutUnit_tellsTheUser()
    {
        TfmAlarm& dialog = openDialog(u"  5=7"_s);
        QCOMPARE(dialog.snoozeUnit(), -1);
        QCOMPARE(answerBox([&] { click("btnSnooze"); }), LanguageString(745));
        QCOMPARE(dialog.action(), AlarmAction::Snooze);
    }

    void sound_startsWithTheDialog_andStopsAtTheFirstButton()
    {
        const QString wave = m_dir.filePath(u"bell.wav"_s);
        QVERIFY(writeTestFile(wave, silentWave()));
        m_settings->writeString(Settings::Alarms, Settings::SoundFile, wave);
        m_settings->writeBool(Settings::Alarms, Settings::Repeat, true);

        TAlarmSound sound;
        QVERIFY(!sound.play(QString(), false));
        QVERIFY(!sound.play(m_dir.path(), false));
        QVERIFY(!sound.play(m_dir.filePath(u"gone.wav"_s), false));
        QVERIFY(!sound.isStarted());

        QElapsedTimer timer;
        timer.start();
        TfmAlarm& dialog = openDialog();
        QVERIFY(timer.elapsed() < 2000); // never waits for the audio device
        QVERIFY(dialog.sound().isStarted());
        click("btnHelp");
        QVERIFY(!dialog.sound().isStarted());
        QVERIFY(dialog.isVisible());

        m_settings->writeBool(Settings::Alarms, Settings::Enabled, false);
        TfmAlarm& quiet = openDialog();
        QVERIFY(!quiet.sound().isStarted());
    }
};

QTEST_MAIN(TestAlarmDialog)
#include "tst_alarmdialog.moc"
