#include "core/atomicfile.h"
#include "support/testfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

class TestAtomicFile final : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    mode_t m_umask = 0;

private Q_SLOTS:
    // The usual umask, so a mode that only came from it cannot pass for one the writer set.
    void initTestCase() { m_umask = ::umask(022); }
    void cleanupTestCase() { ::umask(m_umask); }

    void write_newFileIsPrivate_existingFileKeepsItsMode_data()
    {
        QTest::addColumn<int>("before"); // 0: no file yet
        QTest::addColumn<int>("after");
        QTest::newRow("new file") << 0 << 0600;
        QTest::newRow("shared with the group") << 0664 << 0664;
    }
    void write_newFileIsPrivate_existingFileKeepsItsMode()
    {
        QFETCH(int, before);
        QFETCH(int, after);
        const QString path = m_dir.filePath(u"mode%1.twk"_s.arg(before));
        if (before != 0) {
            QVERIFY(writeTestFile(path, "old"));
            QCOMPARE(::chmod(QFile::encodeName(path).constData(), mode_t(before)), 0);
        }
        QCOMPARE(writeFileAtomically(path, "new"), QString());
        QCOMPARE(testFileContents(path), "new");
        QCOMPARE(fileMode(path), unsigned(after));
    }

    void write_failing_reportsTheSystemsReasonAndKeepsTheFile_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("error");
        QTest::newRow("disk full (file size limit)") << u"limit"_s << EFBIG;
        QTest::newRow("folder is a file") << u"not a folder"_s << ENOTDIR;
        QTest::newRow("read-only folder") << u"read-only"_s << EACCES;
    }
    void write_failing_reportsTheSystemsReasonAndKeepsTheFile()
    {
        QFETCH(QString, how);
        QFETCH(int, error);
        const QString folder = m_dir.filePath(how);
        QVERIFY(QDir().mkpath(folder));
        QString path = folder + u"/tasks.twk"_s;
        QVERIFY(writeTestFile(path, "old"));
        QString reason;
        if (how == u"limit") {
            // Written in pieces: the producer is told at the first that fails.
            int piecesAfterFailure = 0;
            reason = withTinyFileSizeLimit([&] {
                return streamFileAtomically(path, [&](const ByteSink& sink) {
                    for (int piece = 0; piece < 10; ++piece)
                        piecesAfterFailure += sink("0123456789abcdef", 16) ? 0 : 1;
                });
            });
            QCOMPARE(piecesAfterFailure, 6); // the 64-byte limit takes four
        } else if (how == u"not a folder") {
            reason = writeFileAtomically(path + u"/inside.twk"_s, "new");
        } else {
            if (::geteuid() == 0)
                QSKIP("root writes into read-only folders");
            QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
            reason = writeFileAtomically(path, "new");
            QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        QVERIFY2(reason.contains(systemErrorText(error)), qPrintable(reason));
        QVERIFY2(reason.contains(u"tasks.twk"_s), qPrintable(reason));
        QCOMPARE(testFileContents(path), "old");
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{u"tasks.twk"_s});
    }
};

QTEST_GUILESS_MAIN(TestAtomicFile)
#include "tst_atomicfile.moc"
