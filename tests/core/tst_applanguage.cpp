#include "core/applanguage.h"
#include "core/languagesource.h"
#include "support/testfiles.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

QByteArray compiled(const QString& sourceText)
{
    QString error;
    const std::optional<LanguageSource> source = parseLanguageSource(sourceText, &error);
    if (!source)
        qFatal("bad test source: %s", qPrintable(error));
    return compileLanguageFile(*source, false, &error);
}

} // namespace

class TestAppLanguage final : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_user;
    QTemporaryDir m_shared;
    AppLanguage& lang = AppLanguage::instance();

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_user.isValid() && m_shared.isValid());
        QVERIFY(writeTestFile(m_user.filePath(u"de.lng"_s), compiled(u"188\tKeine Datei\n5\tfünf\n"_s)));
        QVERIFY(writeTestFile(m_shared.filePath(u"de.lng"_s), compiled(u"188\tshadowed\n"_s)));
        QVERIFY(writeTestFile(m_user.filePath(u"pt.br.lng"_s), compiled(u"188\tNenhum arquivo\n"_s)));
        QVERIFY(writeTestFile(m_shared.filePath(u"fr.LNG"_s), compiled(u"188\tAucun fichier\n"_s)));
        QVERIFY(writeTestFile(m_user.filePath(u"native.lng"_s), compiled(u"188\tnot the built-in\n"_s)));
        QVERIFY(writeTestFile(m_user.filePath(u"notes.txt"_s), "188\tnot a language\n"));
        QVERIFY(writeTestFile(m_user.filePath(u"bad.lng"_s), "XX3.00"));
        QVERIFY(writeTestFile(m_user.filePath(u"cut.lng"_s), compiled(u"188\tcut\n"_s).chopped(1)));
        QVERIFY(writeTestFile(
            m_user.filePath(u"locale.lng"_s),
            compiled(QStringLiteral("%ShortDateFormat\tdd.mm.yy\n%LongDateFormat\tdddd\n%ShortTimeFormat\thh:nn\n"
                                    "%LongTimeFormat\thh:nn:ss\n%DateSeparator\t.\n%TimeSeparator\t:\n"
                                    "%ShortMonthNames\t1\t2\t3\t4\t5\t6\t7\t8\t9\t10\t11\t12\n"
                                    "%LongMonthNames\t1\t2\t3\t4\t5\t6\t7\t8\t9\t10\t11\t12\n"
                                    "%ShortDayNames\t1\t2\t3\t4\t5\t6\t7\n%LongDayNames\t1\t2\t3\t4\t5\t6\t7\n"))));
        lang.setFolders({m_user.path(), m_shared.path()});
    }

    void init() { SetLanguage(AppLanguage::nativeName()); }

    void languageString_fallsBackToNativeThenUndefined()
    {
        SetLanguage(u"de"_s);
        QCOMPARE(LanguageString(188), u"Keine Datei"_s); // the user's folder comes first
        QCOMPARE(LanguageString(5), u"fünf"_s);
        QCOMPARE(LanguageString(809), u"Tasks: "_s); // only in the native file
        QCOMPARE(LanguageString(1), u"undefined language string"_s);
        QCOMPARE(LanguageStrings({188, 809, 1}), u"Keine Datei\r\nTasks: \r\nundefined language string"_s);
        QVERIFY(lang.loadError().isEmpty());

        SetLanguage(u"pt.br"_s); // the previous file is let go
        QCOMPARE(LanguageString(188), u"Nenhum arquivo"_s);
        QCOMPARE(LanguageString(5), u"undefined language string"_s);
        SetLanguage(u"fr"_s); // found although the ending is in capitals
        QCOMPARE(LanguageString(188), u"Aucun fichier"_s);
    }

    void nativeName_inAnyCase_usesTheBuiltInFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("Native") << "Native";
        QTest::newRow("capitals") << "NATIVE";
        QTest::newRow("with ending") << "native.lng";
    }

    void nativeName_inAnyCase_usesTheBuiltInFile()
    {
        QFETCH(QString, name);
        SetLanguage(name);
        QCOMPARE(lang.currentFilePath(), u":/lang/native.lng"_s);
        QCOMPARE(LanguageString(188), u"This task has no attached file."_s);
        QVERIFY(lang.currentFile().isNative());
    }

    void unreadableLanguage_fallsBackToNative_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("error");
        QTest::newRow("missing") << "xx" << QString();
        QTest::newRow("path") << "../de" << QString();
        QTest::newRow("signature") << "bad"
                                   << "Not a language file or old version (1.1)";
        QTest::newRow("truncated") << "cut"
                                   << "Language file is damaged: the text of string 188 runs past the end of the file";
    }

    void unreadableLanguage_fallsBackToNative()
    {
        QFETCH(QString, name);
        QFETCH(QString, error);
        SetLanguage(name);
        QCOMPARE(LanguageString(188), u"This task has no attached file."_s);
        QCOMPARE(lang.loadError(), error);
        QVERIFY(!lang.localeSettings());
    }

    void availableLanguages_listsEachFileOnce()
    {
        // Native first, then per folder by name; the user's native.lng and the shadowed de.lng add nothing.
        QCOMPARE(AvailableLanguages(),
                 (QStringList{u"Native"_s, u"bad"_s, u"cut"_s, u"de"_s, u"locale"_s, u"pt.br"_s, u"fr"_s}));
    }

    void localeSettings_comeFromTheCurrentFile()
    {
        QVERIFY(!lang.localeSettings()); // the native file has none
        SetLanguage(u"locale"_s);
        const std::optional<FormatSettings> settings = lang.localeSettings();
        QVERIFY(settings);
        QCOMPARE(settings->shortDateFormat, u"dd.mm.yy"_s);
        QCOMPARE(settings->dateSeparator, QLatin1Char('.'));
    }

    void builtInNativeFile_holdsEveryCitedNumber()
    {
        const QList<int> cited{
            188, 189, 190, 191, 192, 193, 194, 195, 196, 197, 199, 200, 201, 202, 203, 204, 205, 206, 207, 208, 209,
            219, 220, 221, 222, 223, 227, 228, 229, 230, 231, 232, 233, 234, 235, 236, 242, 243, 244, 245, 246, 247,
            248, 251, 252, 253, 254, 255, 258, 259, 260, 261, 262, 263, 264, 265, 266, 267, 376, 377, 378, 379, 380,
            381, 382, 383, 384, 385, 386, 387, 388, 389, 390, 391, 392, 393, 437, 438, 439, 446, 463, 464, 493, 494,
            495, 496, 497, 498, 500, 501, 502, 503, 513, 514, 526, 527, 528, 529, 530, 531, 532, 533, 534, 535, 537,
            565, 566, 567, 568, 569, 570, 571, 655, 656, 657, 658, 659, 660, 661, 662, 663, 664, 665, 666, 668, 669,
            670, 671, 672, 673, 674, 675, 676, 677, 692, 693, 694, 695, 696, 697, 698, 699, 700, 715, 745, 783, 784,
            785, 792, 809, 810, 811, 821, 822, 823, 824, 825, 826, 827, 828, 830, 838, 839, 840, 841, 870, 871};
        const QList<int> added{237, 238}; // the program's own: the alarm's question naming the task it deletes
        const LanguageFile& native = lang.nativeFile();
        QVERIFY(native.isValid());
        for (const int number : cited + added)
            QVERIFY2(native.text(number).value_or(QString()).size() > 0, qPrintable(QString::number(number)));
        QCOMPARE(native.entries().size(), cited.size() + added.size()); // nothing uncited slipped in

        // The source keeps its numbers ascending (the compiler already refuses repeats).
        QFile source(QStringLiteral(TARNWICK_SOURCE_DIR "/resources/lang/native.txt"));
        QVERIFY(source.open(QIODevice::ReadOnly));
        int previous = -1;
        const QRegularExpression numbered(u"^(\\d+)\\t"_s, QRegularExpression::MultilineOption);
        for (const QRegularExpressionMatch& match : numbered.globalMatch(QString::fromUtf8(source.readAll()))) {
            QVERIFY2(match.captured(1).toInt() > previous, qPrintable(match.captured(1)));
            previous = match.captured(1).toInt();
        }
    }
};

QTEST_GUILESS_MAIN(TestAppLanguage)
#include "tst_applanguage.moc"
