#include "calendar/ui/specialdaysdialog.h"
#include "core/applanguage.h"
#include "core/clock.h"
#include "core/settingsnames.h"
#include "core/settingsstore.h"
#include "core/tablefiles.h"
#include "support/tables.h"
#include "support/testfiles.h"
#include "support/widgets.h"

#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::Literals::StringLiterals;
using Box = QMessageBox;

class TestSpecialDaysDialog : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    int m_count = 0;
    FixedClock m_clock{QDateTime(QDate(2026, 7, 4), QTime(9, 0))};
    std::unique_ptr<SettingsStore> m_settings;
    TSortGrid m_grid;
    std::unique_ptr<TfmSpecial> m_dialog;

    QString filePath() const { return m_dir.filePath(u"special%1.twk"_s.arg(m_count)); }
    QByteArray file() const { return testFileContents(filePath()); }

    void open(const QList<QStringList>& rows)
    {
        m_grid = gridOf(SpecialColumnCount, rows);
        m_dialog =
            std::make_unique<TfmSpecial>(*m_settings, m_grid, [this] { return saveSpecialTable(m_grid, filePath()); });
        m_dialog->show();
    }
    template <typename T = QWidget> T* at(const char* name) { return childNamed<T>(m_dialog.get(), name); }
    void click(const char* name) { at<QAbstractButton>(name)->click(); }
    void type(const QString& text)
    {
        at<QLineEdit>("edDescription")->clear();
        QTest::keyClicks(at("edDescription"), text);
    }
    bool modifiedShown() { return at("lblModified")->isVisible(); }

    QStringList clicking(const char* name, const QList<Box::StandardButton>& answers = {})
    {
        return promptsAnswered(answers, [&] { click(name); });
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
    void init() { m_settings = std::make_unique<SettingsStore>(m_dir.filePath(u"s%1.ini"_s.arg(++m_count))); }
    void cleanup()
    {
        m_dialog.reset();
        verifyPromptsAnswered();
    }

    void add_ruleOfEachKind_writesSortedFile_refusesDuplicate()
    {
        open({});
        QVERIFY(at<QListWidget>("lbDays")->currentRow() == -1 && !at("btnAdd")->isEnabled() && !modifiedShown());
        click("btnNew");
        QTest::keyClicks(at("spinDay"), u"9"_s); // spin buttons only
        QCOMPARE(QPoint(at<QSpinBox>("spinMonth")->value(), at<QSpinBox>("spinDay")->value()), QPoint(7, 4));
        type(u"zoo trip"_s);
        QVERIFY(at("btnAdd")->isEnabled() && modifiedShown());
        QCOMPARE(clicking("btnAdd"), QStringList());

        click("btnNew");
        click("rbWeek");
        QVERIFY(!at("spinDay")->isEnabled() && at("rgWeek")->isEnabled() && at("rgWeekDay")->isEnabled());
        at<QSpinBox>("spinMonth")->stepBy(-2);
        at("rgWeek")->findChildren<QRadioButton*>().at(4)->click();    // last
        at("rgWeekDay")->findChildren<QRadioButton*>().at(1)->click(); // Monday
        type(u"Bank holiday"_s);
        QCOMPARE(clicking("btnAdd"), QStringList());
        QCOMPARE(file(), QByteArray("Bank holiday\tW\t5\t\t5\t2\r\nzoo trip\tM\t7\t4\t\t\r\n"));
        QCOMPARE(at<QListWidget>("lbDays")->item(1)->text(), u"zoo trip"_s);
        QCOMPARE(at<QListWidget>("lbDays")->currentRow(), 0);
        QVERIFY(at<QRadioButton>("rbWeek")->isChecked() && !modifiedShown() && !at("btnAdd")->isEnabled());

        type(u"zoo trip"_s);
        QCOMPARE(clicking("btnAdd", {Box::Ok}), QStringList{LanguageString(493)});
        QCOMPARE(m_grid.rowCount(), 2);
    }

    void change_asksUntilSwitchedOff_refusesWithoutSelectionOrOntoOtherRule()
    {
        open({{u"Birthday"_s, u"M"_s, u"3"_s, u"1"_s}, {u"Anniversary"_s, u"M"_s, u"6"_s, u"10"_s}});
        at<QListWidget>("lbDays")->setCurrentRow(1);
        at<QSpinBox>("spinMonth")->stepBy(1);
        QVERIFY(modifiedShown() && at("btnChange")->isEnabled());
        QCOMPARE(clicking("btnChange", {Box::No}), QStringList{LanguageString(494)});
        QVERIFY(!QFile::exists(filePath()));
        QCOMPARE(clicking("btnChange", {Box::YesToAll}), QStringList{LanguageString(494)});
        QCOMPARE(file(), QByteArray("Anniversary\tM\t6\t10\t\t\r\nBirthday\tM\t4\t1\t\t\r\n"));

        // Renaming onto another rule would leave two items that select the same row.
        at<QListWidget>("lbDays")->setCurrentRow(1);
        type(u"Anniversary"_s);
        QCOMPARE(clicking("btnChange", {Box::Ok}), QStringList{LanguageString(493)}); // no question any more
        QCOMPARE(m_dialog->editor().items(), (QStringList{u"Anniversary"_s, u"Birthday"_s}));

        click("btnNew");
        type(u"x"_s);
        QCOMPARE(clicking("btnChange", {Box::Ok}), QStringList{LanguageString(496)});
    }

    void delete_confirmed_removesRule_writesOnClose()
    {
        open({{u"A"_s, u"M"_s, u"1"_s, u"1"_s}, {u"B"_s, u"M"_s, u"2"_s, u"2"_s}});
        const QString question = LanguageString(497) + u'\n' + LanguageString(498);
        QCOMPARE(clicking("btnDelete", {Box::No}), QStringList{question});
        QCOMPARE(at<QListWidget>("lbDays")->count(), 2);
        QCOMPARE(clicking("btnDelete", {Box::Yes}), QStringList{question});
        QCOMPARE(at<QListWidget>("lbDays")->count(), 1);
        QCOMPARE(at<QLineEdit>("edDescription")->text(), u"B"_s);
        QVERIFY(!QFile::exists(filePath()));

        click("btnNew");
        QCOMPARE(clicking("btnDelete", {Box::Ok}), QStringList{LanguageString(500) + u'\n' + LanguageString(501)});
        QSignalSpy help(m_dialog.get(), &TfmSpecial::helpRequested);
        QVERIFY(at("btnHelp")->isHidden()); // until there is a help window
        click("btnHelp");
        QCOMPARE(help.value(0).value(0).toString(), u"special"_s);
        QCOMPARE(clicking("btnClose"), QStringList());
        QVERIFY(!m_dialog->isVisible());
        QCOMPARE(file(), QByteArray("B\tM\t2\t2\t\t\r\n"));
    }

    void close_withUnappliedEdit_asksAndNoKeepsOpen_data()
    {
        QTest::addColumn<QString>("edit");
        QTest::newRow("nothing edited") << QString();
        QTest::newRow("month changed") << u"month"_s;
        QTest::newRow("only description typed") << u"description"_s;
        QTest::newRow("new rule typed, not added") << u"new"_s;
    }
    void close_withUnappliedEdit_asksAndNoKeepsOpen()
    {
        QFETCH(QString, edit);
        open({{u"Birthday"_s, u"M"_s, u"3"_s, u"1"_s}});
        if (edit == u"month")
            at<QSpinBox>("spinMonth")->stepBy(1);
        if (edit == u"new")
            click("btnNew");
        if (edit == u"description" || edit == u"new")
            QTest::keyClicks(at("edDescription"), u" party"_s);
        QCOMPARE(modifiedShown(), !edit.isEmpty());

        const QStringList question{LanguageString(502) + u'\n' + LanguageString(503)};
        if (!edit.isEmpty()) {
            QCOMPARE(promptsAnswered({Box::No}, [&] { QTest::keyClick(m_dialog.get(), Qt::Key_Escape); }), question);
            QVERIFY(m_dialog->isVisible());
        }
        const QList<Box::StandardButton> yes{Box::Yes};
        QCOMPARE(clicking("btnClose", edit.isEmpty() ? QList<Box::StandardButton>() : yes),
                 edit.isEmpty() ? QStringList() : question);
        QVERIFY(!m_dialog->isVisible());
        QCOMPARE(file(), QByteArray("Birthday\tM\t3\t1\t\t\r\n")); // the edit is not applied
    }
};

QTEST_MAIN(TestSpecialDaysDialog)
#include "tst_specialdaysdialog.moc"
