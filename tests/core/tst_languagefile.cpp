#include "core/languagefile.h"
#include "core/languagesource.h"
#include "support/testfiles.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <array>

using namespace Qt::Literals::StringLiterals;

namespace {

// Builds language files byte by byte, independently of the program's writer.
struct Bytes {
    QByteArray d;
    Bytes& u8(int v)
    {
        d.append(char(v));
        return *this;
    }
    Bytes& u16(int v) { return u8(v & 0xFF).u8((v >> 8) & 0xFF); }
    Bytes& u32(quint32 v) { return u16(int(v & 0xFFFF)).u16(int(v >> 16)); }
    Bytes& raw(const QByteArray& b)
    {
        d.append(b);
        return *this;
    }
    Bytes& text(const QByteArray& b) { return u8(int(b.size())).raw(b); }
};

struct Layout {
    QByteArray version = "3.00";
    int fileFlags = 0;
    bool locale = true;
    quint32 fontCount = 1;
    int groupCount = 1;
    int stringCount = 3;
    std::array<int, 3> numbers{10, 11, 12};
    quint32 firstOffset = 0;
    bool lastNul = true;
};

QByteArray buildFile(const Layout& l)
{
    const int v = qRound(l.version.toDouble() * 100);
    Bytes b;
    b.raw("LF").raw(l.version);
    if (v >= 300)
        b.u8(l.fileFlags);
    if (v >= 200)
        b.u8(l.locale ? 1 : 0);
    if (v < 200 || l.locale) {
        b.text("$").u8(0).u8(1).u8(',').u8('.').u8(2).u8('/').text("d/mm/yyyy").text("dddd, mmmm d, yyyy");
        b.u8(':').text("AM").text("PM").text("h:nn").text("h:nn:ss");
        const QList<QByteArray> months{"January", "February", "March",     "April",   "May",      "June",
                                       "July",    "August",   "September", "October", "November", "December"};
        const QList<QByteArray> days{"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
        for (int pass = 0; pass < 2; ++pass) {
            for (const QByteArray& m : months)
                b.text(m);
        }
        for (int pass = 0; pass < 2; ++pass) {
            for (const QByteArray& d : days)
                b.text(d);
        }
        for (int i = 0; i < 7; ++i)
            b.text("");
        for (int i = 0; i < 7; ++i)
            b.u32(quint32(-i));
        b.u16(50).u8(';');
    }
    if (v >= 200)
        b.u8(7);
    b.raw(QByteArray(10, '\0'));
    b.u8(0).u32(l.fontCount).text("Arial").u16(8).u8(0);
    b.raw(QByteArray(20, '\0')).u16(1).text("names");
    b.u16(l.groupCount)
        .text("TfmMain")
        .u16(2)
        .text("btnOK.Caption")
        .u16(10)
        .text(QByteArray("lbl\0X.Caption", 13))
        .u16(11);
    b.u16(l.stringCount);
    const QList<quint32> offsets{l.firstOffset, v >= 150 ? 0xFFFFFFFFu : 0xFFFFu, 3};
    for (int i = 0; i < int(l.numbers.size()); ++i) {
        if (v >= 300)
            b.u8(0);
        b.u16(l.numbers[i]);
        if (v >= 150)
            b.u32(offsets[i]);
        else
            b.u16(int(offsets[i]));
        b.u16(0);
    }
    b.raw(QByteArray("OK\0Z\xfcrich", 9));
    if (l.lastNul)
        b.u8(0);
    return b.d;
}

const QString LocaleLines =
    QStringLiteral("%ShortDateFormat\tdd.mm.yyyy\n%LongDateFormat\tdddd, d. mmmm yyyy\n"
                   "%ShortTimeFormat\thh:nn\n%LongTimeFormat\thh:nn:ss\n"
                   "%DateSeparator\t.\n%TimeSeparator\t:\n%ThousandSeparator\t\\s\n"
                   "%ShortMonthNames\tJan\tFeb\tMär\tApr\tMai\tJun\tJul\tAug\tSep\tOkt\tNov\tDez\n"
                   "%LongMonthNames\tJanuar\tFebruar\tMärz\tApril\tMai\tJuni\tJuli\tAugust\t"
                   "September\tOktober\tNovember\tDezember\n"
                   "%ShortDayNames\tSo\tMo\tDi\tMi\tDo\tFr\tSa\n"
                   "%LongDayNames\tSonntag\tMontag\tDienstag\tMittwoch\tDonnerstag\tFreitag\t"
                   "Samstag\n");

} // namespace

class TestLanguageFile final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void compile_thenRead_givesSourceBack()
    {
        const QString text = QStringLiteral("# comment\r\n\n"
                                            "5\t\\s two blanks\\s\\s\n"
                                            "7\t\n"
                                            "9\tLine one\\nLine two\\tTAB \\\\ back\\x01\n"
                                            "65535\tÄrger über Öl – ✓\n"
                                            "@TfmMain\tbtnOK.Caption\t5\n"
                                            "@TfmSort\tcbPrimKey.Items\t9\n") +
                             LocaleLines;
        QString error;
        const std::optional<LanguageSource> source = parseLanguageSource(text, &error);
        QVERIFY2(source, qPrintable(error));
        QCOMPARE(source->strings.value(5), u"  two blanks  "_s);
        QCOMPARE(source->strings.value(7), QString());
        QCOMPARE(source->strings.value(9), u"Line one\r\nLine two\tTAB \\ back\x01"_s);

        for (const bool native : {false, true}) {
            const QByteArray bytes = compileLanguageFile(*source, native, &error);
            QVERIFY2(error.isEmpty(), qPrintable(error));
            const LanguageFile file = LanguageFile::fromBytes(bytes, u"native.lng"_s);
            QVERIFY2(file.isValid(), qPrintable(file.errorString()));
            QCOMPARE(file.version(), 300);
            QCOMPARE(file.isNative(), native); // from 3.0 the flags decide, not the name
            QCOMPARE(file.entries().size(), 4);
            for (auto it = source->strings.cbegin(); it != source->strings.cend(); ++it)
                QCOMPARE(file.text(it.key()), std::optional<QString>(*it));
            QVERIFY(!file.contains(6));
            QCOMPARE(file.windowTextNumber(u"TfmSort"_s, u"cbPrimKey.Items"_s), 9);
            QCOMPARE(file.windowTextNumber(u"TfmSort"_s, u"btnOK.Caption"_s), -1);
            QVERIFY(file.locale());
            const FormatSettings& f = file.locale()->format;
            QCOMPARE(f.shortDateFormat, u"dd.mm.yyyy"_s);
            QCOMPARE(f.thousandSeparator, QLatin1Char(' '));
            QCOMPARE(f.decimalSeparator, QLatin1Char('.')); // not given: the default
            QCOMPARE(f.shortMonthNames.value(2), u"Mär"_s);
            QCOMPARE(f.longDayNames.value(6), u"Samstag"_s);

            // The dump reads back as the same source.
            const QString dumped = formatLanguageSource(languageSourceOf(file));
            QCOMPARE(dumped, formatLanguageSource(*source));
            const std::optional<LanguageSource> again = parseLanguageSource(dumped, &error);
            QVERIFY2(again, qPrintable(error));
            QCOMPARE(formatLanguageSource(*again), dumped);
        }
    }

    void compile_withoutLocaleLines_hasNoLocaleBlock()
    {
        QString error;
        const std::optional<LanguageSource> source = parseLanguageSource(u"1\tA\n"_s, &error);
        QVERIFY(source);
        const LanguageFile file = LanguageFile::fromBytes(compileLanguageFile(*source, false, &error));
        QVERIFY(file.isValid());
        QVERIFY(!file.locale());
        QCOMPARE(file.text(1), std::optional<QString>(u"A"_s));
    }

    void read_olderLayouts_data()
    {
        QTest::addColumn<QByteArray>("version");
        QTest::addColumn<int>("flags");
        QTest::addColumn<bool>("locale");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<bool>("native");
        QTest::newRow("1.00, 2-byte offsets") << QByteArray("1.00") << 0 << true << "Native.LNG" << true;
        QTest::newRow("1.50, 4-byte offsets") << QByteArray("1.50") << 0 << true << "de.lng" << false;
        QTest::newRow("2.00 without locale") << QByteArray("2.00") << 0 << false << "native.lng" << true;
        QTest::newRow("2.00 with locale") << QByteArray("2.00") << 0 << true << "/x/fr.lng" << false;
        QTest::newRow("3.00 native by flag") << QByteArray("3.00") << 1 << true << "de.lng" << true;
        QTest::newRow("3.00 name ignored") << QByteArray("3.00") << 0 << false << "native.lng" << false;
    }

    void read_olderLayouts()
    {
        QFETCH(QByteArray, version);
        QFETCH(int, flags);
        QFETCH(bool, locale);
        QFETCH(QString, fileName);
        QFETCH(bool, native);
        Layout layout;
        layout.version = version;
        layout.fileFlags = flags;
        layout.locale = locale;
        const LanguageFile file = LanguageFile::fromBytes(buildFile(layout), fileName);
        QVERIFY2(file.isValid(), qPrintable(file.errorString()));
        QCOMPARE(file.isNative(), native);
        QCOMPARE(file.text(10), std::optional<QString>(u"OK"_s));
        QCOMPARE(file.text(11), std::optional<QString>(QString())); // all one bits: empty text
        QCOMPARE(file.text(12), std::optional<QString>(u"Zürich"_s));
        QVERIFY(!file.contains(13) && !file.contains(9));
        QCOMPARE(file.windowTextNumber(u"TfmMain"_s, u"lblX.Caption"_s), 11);
        QCOMPARE(file.fontNames(), QStringList{u"Arial"_s});
        QCOMPARE(bool(file.locale()), locale);
        if (locale) {
            const FormatSettings& f = file.locale()->format;
            QCOMPARE(f.shortMonthNames.value(0), u"Januar"_s); // six characters kept
            QCOMPARE(f.longMonthNames.value(8), u"September"_s);
            QCOMPARE(f.shortDayNames.value(3), u"Wednes"_s);
            QCOMPARE(f.longDateFormat, u"dddd, mmmm d, yyyy"_s);
            QCOMPARE(f.timePMString, u"PM"_s);
            QCOMPARE(f.twoDigitYearWindow, 50);
            QCOMPARE(f.listSeparator, QLatin1Char(';'));
            QCOMPARE(file.locale()->eraYearOffsets.value(2), -2);
        }
    }

    void read_otherSignature_isRejected()
    {
        for (const QByteArray& data : {QByteArray(), QByteArray("L"), QByteArray("LX3.00"), QByteArray("MZ\x90")}) {
            const LanguageFile file = LanguageFile::fromBytes(data);
            QVERIFY(!file.isValid());
            QCOMPARE(file.errorString(), u"Not a language file or old version (1.1)"_s);
        }
    }

    void read_everyTruncation_isRejectedCleanly()
    {
        for (const QByteArray& version : {QByteArray("1.00"), QByteArray("3.00")}) {
            Layout layout;
            layout.version = version;
            const QByteArray whole = buildFile(layout);
            QVERIFY(LanguageFile::fromBytes(whole).isValid());
            for (qsizetype length = 0; length < whole.size(); ++length) {
                const LanguageFile file = LanguageFile::fromBytes(whole.left(length));
                QVERIFY2(!file.isValid(), qPrintable(QString::number(length)));
                QVERIFY(!file.errorString().isEmpty());
                QVERIFY(file.entries().isEmpty() && !file.contains(10));
            }
        }
    }

    void read_damagedFile_isRejected_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("problem");
        const auto with = [](auto change) {
            Layout l;
            change(l);
            return buildFile(l);
        };
        QTest::newRow("offset past end") << with([](Layout& l) { l.firstOffset = 40; })
                                         << "text of string 10 lies past the end";
        QTest::newRow("text without NUL")
            << with([](Layout& l) { l.lastNul = false; }) << "text of string 12 runs past the end";
        QTest::newRow("string count") << with([](Layout& l) { l.stringCount = 40; })
                                      << "string table runs past the end";
        QTest::newRow("font count") << with([](Layout& l) { l.fontCount = 0xFFFFFFFFu; })
                                    << "font table runs past the end";
        QTest::newRow("group count") << with([](Layout& l) { l.groupCount = 900; })
                                     << "window-text map runs past the end";
        QTest::newRow("order") << with([](Layout& l) { l.numbers = {10, 12, 11}; }) << "string 11 is out of order";
        QTest::newRow("version") << with([](Layout& l) { l.version = "x.yz"; })
                                 << "the version \"x.yz\" is not a number";
    }

    void read_damagedFile_isRejected()
    {
        QFETCH(QByteArray, data);
        QFETCH(QString, problem);
        const LanguageFile file = LanguageFile::fromBytes(data);
        QVERIFY(!file.isValid());
        QVERIFY2(file.errorString().startsWith(u"Language file is damaged: "_s) && file.errorString().contains(problem),
                 qPrintable(file.errorString()));
        QVERIFY(file.entries().isEmpty());
    }

    void parseSource_badLine_namesTheLine_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("error");
        QTest::newRow("no TAB") << "7"
                                << "line 1: a TAB must follow the string number";
        QTest::newRow("duplicate") << "1\tA\n\n1\tB"
                                   << "line 3: string 1 is already given on line 1";
        QTest::newRow("number range") << "65536\tA"
                                      << "line 1: the string number must be";
        QTest::newRow("signed number") << "+5\tA"
                                       << "line 1: expected a string";
        QTest::newRow("escape") << "# x\n2\tA\\qB"
                                << "line 2: unknown escape \\q";
        QTest::newRow("trailing backslash") << "2\tA\\"
                                            << "line 1: a backslash ends the text";
        QTest::newRow("NUL escape") << "2\t\\x00"
                                    << "line 1: \\x needs two hexadecimal digits";
        QTest::newRow("loose text") << "hello"
                                    << "line 1: expected a string";
        QTest::newRow("window fields") << "@G\tM"
                                       << "line 1: a window text takes";
        QTest::newRow("window duplicate") << "@G\tM\t1\n@G\tM\t2"
                                          << "line 2: \"M\" of \"G\" is already given on line 1";
        QTest::newRow("long name") << u"@G\t" + QString(256, u'm') + u"\t1" << "is longer than 255 characters";
        QTest::newRow("long UTF-8 name") << u"@G\t" + QString(200, u'ä') + u"\t1" << "is longer than 255 bytes";
        QTest::newRow("unknown key") << "%Bogus\tx"
                                     << "line 1: unknown locale entry %Bogus";
        QTest::newRow("missing key") << "%DateSeparator\t."
                                     << "the locale lines lack %ShortDateFormat";
        QTest::newRow("separator") << "%DateSeparator\tab"
                                   << "line 1: %DateSeparator needs one character";
        QTest::newRow("separator charset") << "%DateSeparator\t✓"
                                           << "line 1: %DateSeparator needs one character";
        QTest::newRow("era name too long") << LocaleLines + u"%EraNames\tHeisei-era-name" << "line 12: %EraNames";
        QTest::newRow("day count") << QString(LocaleLines).replace(QLatin1String("\tSa\n"), QLatin1String("\n"))
                                   << "line 10: %ShortDayNames takes 7";
        QTest::newRow("byte value") << LocaleLines + u"%CurrencyDecimals\t256" << "line 12: %CurrencyDecimals needs";
    }

    void parseSource_badLine_namesTheLine()
    {
        QFETCH(QString, text);
        QFETCH(QString, error);
        QString message;
        QVERIFY(!parseLanguageSource(text, &message));
        QVERIFY2(message.contains(error), qPrintable(message));
    }

    void compile_unstorableSource_isRefused()
    {
        QString error;
        LanguageSource source;
        source.strings.insert(1, u"a"_s + QChar(0) + u"b"_s);
        QVERIFY(compileLanguageFile(source, false, &error).isEmpty());
        QVERIFY(error.contains(u"NUL"_s));

        source.strings = {{70000, u"x"_s}};
        error.clear();
        QVERIFY(compileLanguageFile(source, false, &error).isEmpty());
        QVERIFY(error.contains(u"70000"_s));

        source.strings.clear();
        source.windowTexts[QString(300, u'g')].insert(u"m"_s, 1);
        error.clear();
        QVERIFY(compileLanguageFile(source, false, &error).isEmpty());
        QVERIFY(error.contains(u"longer than 255"_s));

        source.windowTexts.clear();
        source.locale = LanguageLocale{}; // no month names at all
        error.clear();
        QVERIFY(compileLanguageFile(source, false, &error).isEmpty());
        QVERIFY(error.contains(u"takes 12 names"_s));
    }

    void twk_compileThenDump_givesTheStringsBack()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString sourcePath = QStringLiteral(TARNWICK_SOURCE_DIR "/resources/lang/native.txt");
        const QString out = dir.filePath(u"en.lng"_s);
        QProcess twk;
        twk.start(QStringLiteral(TWK_TOOL_PATH), {u"lng"_s, u"compile"_s, sourcePath, out});
        QVERIFY(twk.waitForFinished());
        QCOMPARE(twk.exitCode(), 0);
        twk.start(QStringLiteral(TWK_TOOL_PATH), {u"lng"_s, u"dump"_s, out});
        QVERIFY(twk.waitForFinished());
        QCOMPARE(twk.exitCode(), 0);

        QString error;
        const std::optional<LanguageSource> original = parseLanguageSource(testFileContents(sourcePath), &error);
        const std::optional<LanguageSource> dumped = parseLanguageSource(twk.readAllStandardOutput(), &error);
        QVERIFY2(original && dumped, qPrintable(error));
        QCOMPARE(dumped->strings, original->strings);

        // A source with an error writes nothing and leaves an older file as it was.
        const QString bad = dir.filePath(u"bad.txt"_s);
        QVERIFY(writeTestFile(bad, "1\tfine\n2 no tab\n"));
        const QByteArray old = testFileContents(out);
        twk.start(QStringLiteral(TWK_TOOL_PATH), {u"lng"_s, u"compile"_s, bad, out});
        QVERIFY(twk.waitForFinished());
        QVERIFY(twk.exitCode() != 0);
        QVERIFY(twk.readAllStandardError().contains("line 2"));
        QCOMPARE(testFileContents(out), old);
    }
};

QTEST_GUILESS_MAIN(TestLanguageFile)
#include "tst_languagefile.moc"
