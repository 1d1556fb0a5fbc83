#include "core/applanguage.h"
#include "core/datasetlist.h"
#include "core/settingsnames.h"
#include "core/settingsstore.h"
#include "core/tablefiles.h"
#include "support/testfiles.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

void touch(const QString& path)
{
    QVERIFY(writeTestFile(path, "x\r\n"));
}

QList<QList<int>> strings(const QList<DataSetMessage>& messages)
{
    QList<QList<int>> numbers;
    for (const DataSetMessage& m : messages)
        numbers.append(m.strings);
    return numbers;
}

} // namespace

class TestDataSetList : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    int m_count = 0;

    // A fresh program folder and settings file for each test.
    QString programFolder() { return m_dir.filePath(u"program%1"_s.arg(m_count)); }
    QString folder(const QString& name)
    {
        const QString path = m_dir.filePath(u"data%1/"_s.arg(m_count) + name);
        QDir().mkpath(path);
        return path;
    }

    // A saved list with rows A and B in their folders, loaded again.
    DataSetList twoRows(SettingsStore& settings)
    {
        DataSetList list(programFolder());
        list.load(settings);
        list.remove(0, false, {});
        list.edit(-1, u"A"_s, folder(u"a"_s), {});
        list.edit(-1, u"B"_s, folder(u"b"_s), {});
        list.save();
        DataSetList loaded(programFolder());
        loaded.load(settings);
        return loaded;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_dir.isValid());
    }
    void init() { ++m_count; }

    void load_missingFile_makesTheDefaultRowThatStartUpOpens()
    {
        SettingsStore settings(m_dir.filePath(u"s%1.ini"_s.arg(m_count)));
        DataSetList list(programFolder());
        list.load(settings);
        QVERIFY(list.defaultMade());
        QCOMPARE(list.count(), 1);
        QCOMPARE(list.nameAt(0), LanguageString(821));
        QCOMPARE(list.folderAt(0), programFolder());
        QCOMPARE(list.startupRow(settings), 0);
        QCOMPARE(list.startupSelection(settings), 1);
        QVERIFY(list.save().isEmpty());
        QCOMPARE(testFileContents(list.filePath()), (LanguageString(821) + u'\t' + programFolder() + u"\r\n").toUtf8());

        settings.writeString(Settings::Startup, Settings::SourcePath, u"C:\\"_s);
        QFile::remove(list.filePath());
        list.load(settings);
        QCOMPARE(list.folderAt(0), u"C:"_s);
    }

    void edit_duplicateNameOrFolder_isRefused_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("folderName");
        QTest::addColumn<int>("message");
        QTest::newRow("new with a used name") << -1 << u"A"_s << u"c"_s << 838;
        QTest::newRow("new with a used folder") << -1 << u"C"_s << u"a"_s << 841;
        QTest::newRow("rename to another's name") << 1 << u"A"_s << u"b"_s << 838;
        QTest::newRow("names differ by case only: allowed") << -1 << u"a"_s << u"c"_s << 0;
        QTest::newRow("own name and folder kept: allowed") << 1 << u"B"_s << u"b"_s << 0;
    }
    void edit_duplicateNameOrFolder_isRefused()
    {
        QFETCH(int, row);
        QFETCH(QString, name);
        QFETCH(QString, folderName);
        QFETCH(int, message);
        SettingsStore settings(m_dir.filePath(u"s%1.ini"_s.arg(m_count)));
        DataSetList list = twoRows(settings);
        const int before = list.count();
        const DataSetList::EditResult result = list.edit(row, name, folder(folderName), {});
        QCOMPARE(result.changed, message == 0);
        QCOMPARE(strings(result.messages), message == 0 ? QList<QList<int>>() : QList<QList<int>>{{message}});
        QCOMPARE(list.count(), before + (message == 0 && row < 0 ? 1 : 0));
    }

    void edit_newFolder_movesTheSixTablesButNotTheLock()
    {
        SettingsStore settings(m_dir.filePath(u"s%1.ini"_s.arg(m_count)));
        DataSetList list = twoRows(settings);
        const QString from = list.folderAt(0);
        for (const QString& file : TableFile::all())
            touch(dataFilePath(from, file));
        touch(dataFilePath(from, TableFile::Lock));
        const QString to = folder(u"moved"_s);
        touch(dataFilePath(to, TableFile::Diary)); // another set's file is never replaced

        const DataSetList::EditResult result = list.edit(0, u"A2"_s, to, list.folderAt(1));
        QCOMPARE(strings(result.messages), (QList<QList<int>>{{839}}));
        QVERIFY(
            result.messages.first().text().endsWith(QDir::toNativeSeparators(dataFilePath(from, TableFile::Diary))));
        QCOMPARE(list.folderAt(0), to);
        QCOMPARE(list.nameAt(0), u"A2"_s);
        QVERIFY(!result.openNameChanged);
        for (const QString& file : TableFile::all())
            QVERIFY2(QFile::exists(dataFilePath(to, file)), qPrintable(file));
        QCOMPARE(testFileContents(dataFilePath(to, TableFile::Diary)), QByteArray("x\r\n"));
        QVERIFY(QFile::exists(dataFilePath(from, TableFile::Lock)));
        QVERIFY(!QFile::exists(dataFilePath(from, TableFile::Tasks)));
    }

    void edit_openDataSet_keepsItsFolderButTakesTheName()
    {
        SettingsStore settings(m_dir.filePath(u"s%1.ini"_s.arg(m_count)));
        DataSetList list = twoRows(settings);
        const QString open = list.folderAt(0);
        touch(dataFilePath(open, TableFile::Tasks));
        const DataSetList::EditResult result = list.edit(0, u"Renamed"_s, folder(u"elsewhere"_s), open);
        QCOMPARE(strings(result.messages), (QList<QList<int>>{{840}}));
        QVERIFY(result.openNameChanged);
        QCOMPARE(list.folderAt(0), open);
        QCOMPARE(list.nameAt(0), u"Renamed"_s);
        QVERIFY(QFile::exists(dataFilePath(open, TableFile::Tasks)));
    }

    void remove_refusesTheOpenSet_andDeletesFilesOnlyWhenAsked()
    {
        SettingsStore settings(m_dir.filePath(u"s%1.ini"_s.arg(m_count)));
        DataSetList list = twoRows(settings);
        const QString a = list.folderAt(0);
        const QString b = list.folderAt(1);
        for (const QString& file : TableFile::all()) {
            touch(dataFilePath(a, file));
            touch(dataFilePath(b, file));
        }
        touch(dataFilePath(b, TableFile::Lock));

        DataSetList::RemoveResult refused = list.remove(0, true, a);
        QVERIFY(!refused.removed);
        QCOMPARE(strings(refused.messages), (QList<QList<int>>{{822, 823}}));
        QVERIFY(QFile::exists(dataFilePath(a, TableFile::Tasks)));

        QVERIFY(list.remove(0, false, b).removed); // "No": files stay
        for (const QString& file : TableFile::all())
            QVERIFY(QFile::exists(dataFilePath(a, file)));

        QVERIFY(list.remove(0, true, {}).removed); // "Yes": the six files go
        for (const QString& file : TableFile::all())
            QVERIFY(!QFile::exists(dataFilePath(b, file)));
        QVERIFY(QFile::exists(dataFilePath(b, TableFile::Lock)));
        QCOMPARE(list.count(), 0);
        QCOMPARE(list.startupItems(), QStringList{LanguageString(830)});
        QVERIFY(list.save().isEmpty());
        DataSetList empty(programFolder());
        empty.load(settings);
        QVERIFY(!empty.defaultMade());
        QCOMPARE(empty.count(), 0);
    }

    void startupChoice_followsTheStoredName_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("selection");
        QTest::addColumn<int>("startupRow");
        QTest::newRow("present") << u"B"_s << 2 << 1;
        QTest::newRow("removed data set falls back to the manager") << u"Gone"_s << 0 << -1;
        QTest::newRow("names are compared exactly") << u"b"_s << 0 << -1;
        QTest::newRow("none") << QString() << 0 << -1;
    }
    void startupChoice_followsTheStoredName()
    {
        QFETCH(QString, stored);
        QFETCH(int, selection);
        QFETCH(int, startupRow);
        SettingsStore settings(m_dir.filePath(u"s%1.ini"_s.arg(m_count)));
        DataSetList list = twoRows(settings);
        settings.writeString(Settings::Startup, Settings::Dataset, stored);
        QCOMPARE(list.startupItems(), (QStringList{LanguageString(830), u"A"_s, u"B"_s}));
        QCOMPARE(list.startupSelection(settings), selection);
        QCOMPARE(list.startupRow(settings), startupRow);

        list.storeStartupChoice(settings, 1);
        QCOMPARE(settings.readString(Settings::Startup, Settings::Dataset), u"A"_s);
        list.storeStartupChoice(settings, 0);
        QCOMPARE(settings.readString(Settings::Startup, Settings::Dataset, u"x"_s), QString());
    }
};

QTEST_GUILESS_MAIN(TestDataSetList)
#include "tst_datasetlist.moc"
