#include "core/applanguage.h"
#include "core/clock.h"
#include "core/settingsnames.h"
#include "core/settingsstore.h"
#include "core/tasktable.h"
#include "support/widgets.h"
#include "tasks/ui/projnamedialog.h"
#include "tasks/ui/taskeditor.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeEdit>
#include <QUrl>

#include <memory>

using namespace Qt::Literals::StringLiterals;

class TestTaskEditor : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    int m_count = 0;
    FixedClock m_clock{QDateTime(QDate(2024, 3, 13), QTime(9, 30))}; // a Wednesday
    std::unique_ptr<SettingsStore> m_settings;
    TSortGrid m_grid{TaskColumnCount, 1};
    QWidget* m_win = nullptr; // the window the helpers below look into

    std::unique_ptr<TfmTask> editor()
    {
        auto dialog = std::make_unique<TfmTask>(*m_settings, m_grid, QStringList{u"Work"_s, u"Home"_s},
                                                QStringList{u"Ann"_s, u"Bob"_s});
        m_win = dialog.get();
        return dialog;
    }
    template <typename T> T* at(const char* name) { return childNamed<T>(m_win, name); }
    void click(const char* name) { QTest::mouseClick(at<QWidget>(name), Qt::LeftButton, {}, QPoint(4, 4)); }

    // Clicks OK, expecting an error box; returns its text.
    QString refusalOnOK()
    {
        return promptsAnswered({QMessageBox::Ok}, [this] { click("btnOK"); }).join(u" | ");
    }

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_dir.isValid());
        Clock::setCurrent(&m_clock);
        Ask::setUnattended(true);
    }
    void cleanupTestCase() { Clock::setCurrent(nullptr); }
    void cleanup() { verifyPromptsAnswered(); }
    void init()
    {
        m_settings = std::make_unique<SettingsStore>(m_dir.filePath(u"s%1.ini"_s.arg(++m_count)));
        m_grid.clear();
        m_grid.setColCount(TaskColumnCount);
    }

    void add_defaultsThenTypedValues_areStoredAsRowZero()
    {
        m_settings->writeInteger(Settings::Defaults, Settings::DueDate, 1);
        m_settings->writeInteger(Settings::Defaults, Settings::DueDatePlus, 2);
        m_settings->writeInteger(Settings::Other, Settings::DefaultPriority, 3);
        m_settings->writeBool(Settings::Defaults, Settings::NoDefAssignee, false);
        m_settings->writeInteger(Settings::Defaults, Settings::Assignee, 1); // "Bob" in the sorted list
        m_settings->writeInteger(Settings::Calendar, Settings::WeekStart, 3);
        auto dialog = editor();
        dialog->setNewTask({u"Work"_s}, {});
        dialog->show();
        QCOMPARE(at<QDateEdit>("pckDate")->date(), QDate(2024, 3, 15));
        // The date box's calendar, built once the dialog is up, starts its weeks on the chosen day.
        QCoreApplication::processEvents();
        QCOMPARE(at<QDateEdit>("pckDate")->calendarWidget()->firstDayOfWeek(), Qt::Wednesday);

        // The due date switches the dependent boxes; the alarm box switches its amount and unit.
        click("chkNoDueDate");
        QVERIFY(!at<QCheckBox>("chkAlarm")->isEnabled());
        click("chkNoDueDate");
        click("chkAlarm");
        QVERIFY(at<QSpinBox>("spinAlarm")->isEnabled());

        QTest::keyClicks(at<QLineEdit>("edittask"), u"Pay rent"_s);
        at<QTimeEdit>("pckTime")->setTime(QTime(18, 0));
        at<QSpinBox>("spinAlarm")->setValue(99);
        at<QComboBox>("cbAlarmOptions")->setCurrentIndex(alarmWeeks);
        at<QLineEdit>("edAttach")->setText(u"\"/tmp/my file.txt\""_s);
        click("btnOK");

        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        QCOMPARE(m_grid.row(0), (QStringList{u"0"_s, u"Pay rent"_s, u"45366.75"_s, u"Work"_s, u"1 - High"_s, QString(),
                                             u"/tmp/my file.txt"_s, u"Bob"_s, u" 99=3"_s, u"0"_s, QString()}));
    }

    void edit_movesTheTaskToRowZero_andCancelChangesNothing()
    {
        m_grid.setRowCount(3);
        m_grid.setRow(0, {u"0"_s, u"first"_s, u"100000"_s});
        m_grid.setRow(1, {u"0"_s, u"second"_s, u"45366"_s, u"Gone"_s, QString(), u"n1\x1bn2\x1b"_s, QString(), u"Ann"_s,
                          u"  5=1"_s, u"2"_s, u"spare"_s});
        m_grid.setRow(2, {u"0"_s, u"third"_s, u"100000"_s});
        const QStringList before = m_grid.row(1);

        for (const bool cancel : {true, false}) { // the same edit, first cancelled, then kept
            auto dialog = editor();
            dialog->setEditRow(1);
            dialog->show();
            QCOMPARE(dialog->notesMemo()->toPlainText(), u"n1\nn2"_s);
            at<QLineEdit>("edittask")->setText(u"second!"_s);
            click(cancel ? "btnCancel" : "btnOK");
            if (cancel)
                QCOMPARE(m_grid.row(1), before);
        }

        QCOMPARE(m_grid.rowCount(), 3);
        // The unlisted project stays with the task.
        QCOMPARE(m_grid.row(0), (QStringList{u"0"_s, u"second!"_s, u"45366"_s, u"Gone"_s, QString(), u"n1\x1bn2\x1b"_s,
                                             QString(), u"Ann"_s, u"  5=1"_s, u"2"_s, QString()}));
        QCOMPARE(m_grid.cellText(1, colTaskName) + m_grid.cellText(2, colTaskName), u"firstthird"_s);
    }

    void ok_refusesEmptyNameAndWeekDayRuleOnSaturday_evenWithoutDueDate()
    {
        auto dialog = editor();
        dialog->setNewTask({}, {});
        dialog->show();
        QCOMPARE(refusalOnOK(), LanguageString(437));

        at<QLineEdit>("edittask")->setText(u"Weekly report"_s);
        at<QDateEdit>("pckDate")->setDate(QDate(2024, 3, 16));
        at<QComboBox>("cbRecurring")->setCurrentIndex(recWeekDay);
        QVERIFY(refusalOnOK().endsWith(LanguageString(438)));
        QVERIFY(dialog->isVisible());

        at<QDateEdit>("pckDate")->setDate(QDate(2024, 3, 18));
        click("btnOK");
        QVERIFY(!dialog->isVisible());
        QCOMPARE(m_grid.cellText(0, colDue), u"100000"_s);
        QCOMPARE(m_grid.cellText(0, colRecurrence), u"2"_s);
    }

    void completed_tickStores100_andPercentFollows()
    {
        auto dialog = editor();
        dialog->show();
        click("checkDone");
        QCOMPARE(at<QSpinBox>("spinComplete")->value(), 100);
        at<QSpinBox>("spinComplete")->setValue(99);
        QVERIFY(!at<QCheckBox>("checkDone")->isChecked());
        QCOMPARE(at<QSpinBox>("spinComplete")->value(), 99); // following the value must not reset it
        click("checkDone");
        at<QLineEdit>("edittask")->setText(u"done"_s);
        click("btnOK");
        QCOMPARE(m_grid.cellText(0, colComplete), u"100"_s);
    }

    void attachment_takesADroppedLocalFile()
    {
        auto dialog = editor();
        auto* attach = at<QLineEdit>("edAttach");
        QMimeData mime;
        mime.setUrls({QUrl(u"https://example.org/x"_s), QUrl::fromLocalFile(u"/tmp/dropped.pdf"_s)});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(attach, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(attach, &drop);
        QCOMPARE(attach->text(), u"/tmp/dropped.pdf"_s);
    }

    void setupButton_onlyWithHandler_andNotFromTheAlarm_reloadsTheLists()
    {
        auto dialog = editor();
        dialog->show();
        QVERIFY(!at<QPushButton>("btnSetup")->isVisible());
        dialog->hide();
        dialog->setupRequested = [&] { dialog->setNameLists({u"Work"_s, u"Zoo"_s}, {}); };
        dialog->show();
        at<QComboBox>("cbProject")->setCurrentText(u"Work"_s);
        click("btnSetup");
        QCOMPARE(at<QComboBox>("cbProject")->count(), 3);
        QCOMPARE(at<QComboBox>("cbProject")->currentText(), u"Work"_s);

        dialog->setOpenedFromAlarm(true);
        QVERIFY(!at<QPushButton>("btnSetup")->isVisible());
        QVERIFY(!at<QPushButton>("btnHelp")->isVisible()); // no help window yet
    }

    void projName_emptyNameKeepsItOpen()
    {
        TfmProjName dialog;
        m_win = &dialog;
        dialog.show();
        QCOMPARE(refusalOnOK(), LanguageString(446));
        QVERIFY(dialog.isVisible());
        QVERIFY(!at<QPushButton>("btnHelp")->isVisible());
        QTest::keyClicks(at<QLineEdit>("editName"), u"Garden"_s);
        click("btnOK");
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.name(), u"Garden"_s);
    }
};

QTEST_MAIN(TestTaskEditor)
#include "tst_taskeditor.moc"
