#include "core/settingsnames.h"
#include "core/settingsstore.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "support/testfiles.h"

#include <sys/stat.h>

using namespace Qt::StringLiterals;

class TestSettingsStore final : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_path = m_dir->filePath(u"tarnwick.ini"_s);
    }

    void names_differingOnlyInCase_areOneSectionAndValue()
    {
        {
            SettingsStore store(m_path);
            QVERIFY(store.writeString(Settings::Startup, Settings::Dataset, u"Home"_s));
            QVERIFY(store.writeString(u"StartUp"_s, u"DATASET"_s, u"Work"_s));
            QVERIFY(store.writeInteger(u"Forms\\Übersicht"_s, u"Größe"_s, 3));
            QVERIFY(store.writeInteger(u"Forms\\Übersicht"_s, u"\U00010400"_s, 4)); // outside the BMP
        }
        SettingsStore store(m_path);
        QCOMPARE(store.readString(u"startup"_s, Settings::Dataset), u"Work"_s);
        QCOMPARE(store.valueNames(u"STARTUP"_s), QStringList{u"Dataset"_s});
        QCOMPARE(store.readInteger(u"forms\\ÜBERSICHT"_s, u"GRÖßE"_s, 0), 3);
        QCOMPARE(store.readInteger(u"forms\\übersicht"_s, u"\U00010428"_s, 0), 4);
        QVERIFY(testFileContents(m_path).startsWith("[Startup]\nDataset=Work\n"));
    }

    // Integers read with the default 7; booleans with either default (-1: the default comes back).
    void readIntegerAndBool_text_giveNumberOrDefault_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("integer");
        QTest::addColumn<int>("boolean");
        QTest::newRow("decimal") << u"42"_s << 42 << 1;
        QTest::newRow("zero") << u"0"_s << 0 << 0;
        QTest::newRow("negative") << u"-5"_s << -5 << 1;
        QTest::newRow("blanks around") << u" 12 "_s << 12 << 1;
        QTest::newRow("hex") << u"$1F"_s << 31 << 1;
        QTest::newRow("hex bit pattern") << u"$FFFFFFFF"_s << -1 << 1;
        QTest::newRow("min") << u"-2147483648"_s << int(0x80000000u) << 1;
        QTest::newRow("too big") << u"2147483648"_s << 7 << -1;
        QTest::newRow("hex too big") << u"$100000000"_s << 7 << -1;
        QTest::newRow("letters") << u"abc"_s << 7 << -1;
        QTest::newRow("empty") << QString() << 7 << -1;
        QTest::newRow("trailing junk") << u"12abc"_s << 7 << -1;
        QTest::newRow("fraction") << u"1.5"_s << 7 << -1;
        QTest::newRow("bad hex digit") << u"$1G"_s << 7 << -1;
    }
    void readIntegerAndBool_text_giveNumberOrDefault()
    {
        QFETCH(QString, text);
        QFETCH(int, integer);
        QFETCH(int, boolean);
        SettingsStore store(m_path);
        store.writeString(Settings::Size, Settings::Width, text);
        QCOMPARE(store.readInteger(Settings::Size, Settings::Width, 7), integer);
        QCOMPARE(store.readBool(Settings::Size, Settings::Width, false), boolean == 1);
        QCOMPARE(store.readBool(Settings::Size, Settings::Width, true), boolean != 0);
        QCOMPARE(store.readInteger(Settings::Size, Settings::Height, 7), 7);
    }

    void writeColor_readsBackThroughIntegerAndColor_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("text");
        QTest::newRow("black") << 0 << u"$000000000"_s;
        QTest::newRow("dark red") << 0x80 << u"$000000080"_s;
        QTest::newRow("blue") << 16711680 << u"$000FF0000"_s;
        QTest::newRow("white") << 0xFFFFFF << u"$000FFFFFF"_s;
        QTest::newRow("system colour") << int(0xFF00000Fu) << u"$0FF00000F"_s;
    }
    void writeColor_readsBackThroughIntegerAndColor()
    {
        QFETCH(int, number);
        QFETCH(QString, text);
        SettingsStore(m_path).writeColor(Settings::Colors, Settings::High, number);
        const SettingsStore store(m_path);
        QCOMPARE(store.readString(Settings::Colors, Settings::High), text);
        QCOMPARE(store.readInteger(Settings::Colors, Settings::High, 1), number);
        QCOMPARE(store.readColor(Settings::Colors, Settings::High, 1), number);
        QCOMPARE(SettingsStore::colorNumber(SettingsStore::colorFromNumber(number)), number & 0xFFFFFF);
    }

    void colorNumber_putsRedLowAndBlueHigh()
    {
        QCOMPARE(SettingsStore::colorNumber(QColor(255, 0, 0)), 0xFF);
        QCOMPARE(SettingsStore::colorNumber(QColor(0, 0, 255)), 0xFF0000);
        QCOMPARE(SettingsStore::colorFromNumber(0x00804020), QColor(0x20, 0x40, 0x80));
    }

    void text_exoticNameAndValue_roundTripsExactly_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << QString();
        QTest::newRow("edge blanks") << u"  both ends "_s;
        QTest::newRow("ini syntax") << u"a=b;c#d[e]f=="_s;
        QTest::newRow("header look") << u"[Startup]"_s;
        QTest::newRow("comment look") << u";not a comment"_s;
        QTest::newRow("backslashes") << u"\\C:\\new\\s\\u0041\\"_s;
        QTest::newRow("line breaks") << u"one\ntwo\r\nthree\r"_s;
        QTest::newRow("tabs and controls") << u"\ta\u0001b\u007F\t"_s;
        QTest::newRow("non-ASCII") << u"Ärger € 漢字 😀 \u00A0"_s;
        QTest::newRow("lone surrogate") << QString(QChar(0xD800)) + u"x"_s;
        QTest::newRow("nul") << QString(QChar(0)) + u"z"_s;
    }
    void text_exoticNameAndValue_roundTripsExactly()
    {
        QFETCH(QString, text);
        QVERIFY(SettingsStore(m_path).writeString(Settings::FilterProject, text, text));
        const SettingsStore store(m_path);
        QCOMPARE(store.valueNames(Settings::FilterProject), QStringList{text});
        QCOMPARE(store.readString(Settings::FilterProject, text, u"missing"_s), text);
        QCOMPARE(testFileContents(m_path).count('\n'), 2); // header and one value line
    }

    void deleteSection_takesNestedSectionsAlong()
    {
        {
            SettingsStore store(m_path);
            store.writeInteger(Settings::Filter, Settings::Date, 1);
            store.writeString(Settings::FilterProject, u"Garden"_s, QString());
            store.writeString(Settings::FilterAssignee, u"Ann"_s, QString());
            store.writeString(u"FilterX"_s, u"Keep"_s, u"1"_s);
            store.writeString(Settings::Forms::Filter, Settings::ShowCmd, u"1"_s);
            QVERIFY(store.deleteSection(u"FILTER"_s));
            QVERIFY(store.valueExists(Settings::Forms::Filter, Settings::ShowCmd));
            QVERIFY(store.writeString(u"filterx"_s, u"Again"_s, u"2"_s));
        }
        const SettingsStore store(m_path);
        QVERIFY(!store.sectionExists(Settings::Filter));
        QVERIFY(!store.sectionExists(Settings::FilterProject));
        QVERIFY(store.valueExists(u"FilterX"_s, u"Keep"_s));
        QCOMPARE(store.valueNames(u"FilterX"_s), (QStringList{u"Keep"_s, u"Again"_s}));
        QVERIFY(store.valueExists(Settings::Forms::Filter, Settings::ShowCmd));
    }

    void valueNames_listOwnValuesInWrittenOrder()
    {
        SettingsStore store(m_path);
        store.writeString(Settings::FilterProject, u"Zeta"_s, QString());
        store.writeString(Settings::FilterProject, u"Alpha"_s, QString());
        store.writeString(Settings::FilterProject, u"Mid"_s, QString());
        QVERIFY(store.sectionExists(Settings::Filter)); // only through its nested section
        QVERIFY(store.valueNames(Settings::Filter).isEmpty());
        QVERIFY(store.deleteValue(Settings::FilterProject, u"alpha"_s));
        QCOMPARE(store.valueNames(Settings::FilterProject), (QStringList{u"Zeta"_s, u"Mid"_s}));
        QVERIFY(!store.valueExists(Settings::FilterProject, u"Alpha"_s));
        QVERIFY(store.valueExists(Settings::FilterProject, u"MID"_s));
        QCOMPARE(SettingsStore(m_path).valueNames(Settings::FilterProject), (QStringList{u"Zeta"_s, u"Mid"_s}));
    }

    void reload_secondStore_keepsOrderAndRewritesSameBytes()
    {
        {
            SettingsStore store(m_path);
            store.writeInteger(Settings::Size, Settings::Width, 700);
            store.writeString(Settings::Startup, Settings::Language, u"Native"_s);
            store.writeInteger(Settings::Size, Settings::Height, -5);
            store.writeBool(Settings::Size, Settings::MemoVisible, false);
        }
        const QByteArray first = testFileContents(m_path);
        QCOMPARE(first, "[Size]\nWidth=700\nHeight=-5\nMemoVisible=0\n\n[Startup]\nLanguage=Native\n");
        SettingsStore second(m_path);
        QCOMPARE(second.readInteger(Settings::Size, Settings::Height, 0), -5);
        QVERIFY(second.writeBool(Settings::Alarms, Settings::Enabled, true));
        QVERIFY(second.deleteSection(Settings::Alarms));
        QCOMPARE(testFileContents(m_path), first);
        // An unchanged value is not written again.
        QVERIFY(QFile::remove(m_path));
        QVERIFY(second.writeInteger(Settings::Size, Settings::Width, 700));
        QVERIFY(!QFile::exists(m_path));
    }

    void write_createsPrivateFileAndFolders()
    {
        const QString nested = m_dir->filePath(u"a/b/tarnwick.ini"_s);
        QVERIFY(SettingsStore(nested).writeString(Settings::Other, Settings::Item0, u"secret"_s));
        QCOMPARE(fileMode(nested), 0600u);
        QCOMPARE(fileMode(m_dir->filePath(u"a"_s)), 0700u);
        QCOMPARE(fileMode(m_dir->filePath(u"a/b"_s)), 0700u);

        QVERIFY(writeTestFile(m_path, "[Other]\nItem0=x\n"));
        QVERIFY(QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther));
        QVERIFY(SettingsStore(m_path).writeString(Settings::Other, Settings::Item0, u"y"_s));
        QCOMPARE(fileMode(m_path), 0600u);
    }

    void write_failing_reportsErrorKeepsOldFileAndRetries()
    {
        {
            SettingsStore store(m_path);
            store.writeString(Settings::Startup, Settings::Dataset, u"Home"_s);
        }
        const QByteArray old = testFileContents(m_path);
        SettingsStore store(m_path);
        const QString big(5000, u'x');
        const bool written = withTinyFileSizeLimit([&] { return store.writeString(Settings::Print, Settings::Title, big); });

        QVERIFY(!written);
        QVERIFY2(store.lastError().contains(u"tarnwick.ini"_s), qPrintable(store.lastError()));
        QCOMPARE(testFileContents(m_path), old);
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"tarnwick.ini"_s});
        QCOMPARE(store.readString(Settings::Print, Settings::Title), big);
        QVERIFY(store.flush());
        QVERIFY(store.lastError().isEmpty());
        QCOMPARE(SettingsStore(m_path).readString(Settings::Print, Settings::Title), big);
    }

    void load_pathIsFolder_readsDefaultsAndNeverReplacesIt()
    {
        QVERIFY(QDir().mkdir(m_path));
        QVERIFY(writeTestFile(m_path + u"/keep"_s, "data"));
        SettingsStore store(m_path);
        QVERIFY(!store.lastError().isEmpty());
        QCOMPARE(store.readInteger(Settings::Size, Settings::Width, 625), 625);
        QVERIFY(!store.writeInteger(Settings::Size, Settings::Width, 700));
        QCOMPARE(testFileContents(m_path + u"/keep"_s), "data");
    }

    void load_damagedFile_keepsEveryReadableValue_data()
    {
        QTest::addColumn<QByteArray>("damage");
        QByteArray noise(4000, '\0');
        QRandomGenerator random(20240611);
        for (char& c : noise)
            c = char(random.bounded(256));
        QTest::newRow("random bytes") << noise;
        QTest::newRow("no equals") << QByteArray("just words\n");
        QTest::newRow("header without bracket") << QByteArray("[Broken\nLost=1\n");
        QTest::newRow("empty header") << QByteArray("[]\nLost=1\n");
        QTest::newRow("nul bytes") << QByteArray("Lost\0=1\n\0\0\0\n", 12);
        QTest::newRow("cp1252") << QByteArray("Caf\xE9=\x80\n");
    }
    void load_damagedFile_keepsEveryReadableValue()
    {
        QFETCH(QByteArray, damage);
        QVERIFY(writeTestFile(m_path, "Orphan=1\n[Startup]\nDataset=Home\n" + damage + "\n[Other]\nCalendar=2\n"));
        {
            SettingsStore store(m_path);
            QVERIFY(store.unreadableLineCount() > 0);
            QCOMPARE(store.readString(Settings::Startup, Settings::Dataset), u"Home"_s);
            QCOMPARE(store.readInteger(Settings::Other, Settings::Calendar, 0), 2);
            QVERIFY(!store.valueExists(Settings::Startup, u"Lost"_s));
            QVERIFY(store.writeInteger(Settings::Size, Settings::Width, 700));
        }
        const SettingsStore store(m_path);
        QCOMPARE(store.readString(Settings::Startup, Settings::Dataset), u"Home"_s);
        QCOMPARE(store.readInteger(Settings::Other, Settings::Calendar, 0), 2);
        QCOMPARE(store.readInteger(Settings::Size, Settings::Width, 0), 700);
    }

    void batch_writesOnceAndAnnouncesEachSectionOnceWhenOutermostUpdateEnds()
    {
        SettingsStore store(m_path);
        QStringList announced;
        connect(&store, &SettingsStore::sectionChanged, this, [&](const QString& s) { announced.append(s); });
        {
            const SettingsStore::Batch batch(store);
            store.writeInteger(Settings::Size, Settings::Width, 700);
            store.beginUpdate();
            store.writeInteger(u"size", Settings::Height, 500);
            store.writeInteger(Settings::Other, u"Calendar", 1);
            QVERIFY(store.endUpdate());
            QVERIFY(!QFile::exists(m_path));
            QVERIFY(announced.isEmpty());
        }
        QCOMPARE(announced, QStringList({u"Size"_s, u"Other"_s}));
        const SettingsStore reread(m_path);
        QCOMPARE(reread.readInteger(Settings::Size, Settings::Width, 0), 700);
        QCOMPARE(reread.readInteger(Settings::Size, Settings::Height, 0), 500);
        store.writeInteger(Settings::Other, u"Calendar", 1); // unchanged: nothing to announce
        store.deleteValue(Settings::Size, Settings::Width);
        QCOMPARE(announced, QStringList({u"Size"_s, u"Other"_s, u"Size"_s}));
    }

    void deleteAll_nextStoreUsesDefaults()
    {
        SettingsStore store(m_path);
        store.writeBool(Settings::Confirmations, Settings::Exit, false);
        QVERIFY(store.deleteAll());
        QVERIFY(!QFile::exists(m_path));
        const SettingsStore next(m_path);
        QVERIFY(!next.sectionExists(Settings::Confirmations));
        QCOMPARE(next.readBool(Settings::Confirmations, Settings::Exit, true), true);
    }
};

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"
