// Graph files: the 4-byte length in front of the block, what a short or lying file gives, the
// error texts, and that a failed save keeps the file that was there.

#include "chart/chartblock.h"
#include "chart/chartmodel.h"
#include "files/graphfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

namespace {

QByteArray pattern(qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        bytes[i] = char(i * 7 + 3);
    return bytes;
}

QByteArray fileBytes(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void putFile(const QString &fileName, const QByteArray &bytes)
{
    QFile file(fileName);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

} // namespace

class TestGraphFile : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }

private Q_SLOTS:
    void layout_data()
    {
        QTest::addColumn<qsizetype>("size");
        QTest::addColumn<QByteArray>("lengthField");
        QTest::newRow("empty block") << qsizetype(0) << QByteArray("\0\0\0\0", 4);
        QTest::newRow("one byte") << qsizetype(1) << QByteArray("\1\0\0\0", 4);
        QTest::newRow("258 bytes") << qsizetype(258) << QByteArray("\2\1\0\0", 4);
        QTest::newRow("65,539 bytes") << qsizetype(65539) << QByteArray("\3\0\1\0", 4);
    }
    void layout()
    {
        QFETCH(qsizetype, size);
        QFETCH(QByteArray, lengthField);
        const QString name = path(QStringLiteral("layout.ghf"));
        const QByteArray block = pattern(size);
        QCOMPARE(GraphFile::write(name, block), QString());
        const QByteArray bytes = fileBytes(name);
        QCOMPARE(bytes.size(), size + 4);
        QCOMPARE(bytes.left(4), lengthField);
        QCOMPARE(bytes.mid(4), block);
        const GraphFile::ReadResult read = GraphFile::read(name);
        QCOMPARE(read.error, QString());
        QVERIFY(read.block.has_value());
        QCOMPARE(*read.block, block);
    }

    void shortFile_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("empty file") << QByteArray();
        QTest::newRow("three bytes") << QByteArray("\0\0\0", 3);
        QTest::newRow("length one more than the rest") << QByteArray("\6\0\0\0abcde", 9);
        QTest::newRow("length 4 GiB - 1") << QByteArray("\xFF\xFF\xFF\xFF"
                                                        "abc",
                                                        7);
        QTest::newRow("length 2 GiB, nothing after") << QByteArray("\0\0\0\x80", 4);
    }
    void shortFile()
    {
        QFETCH(QByteArray, content);
        const QString name = path(QStringLiteral("short.ghf"));
        putFile(name, content);
        const GraphFile::ReadResult read = GraphFile::read(name);
        QVERIFY(!read.block.has_value());
        // The fixed text first, then the file and why.
        const QString prefix
            = QStringLiteral("Stream read error: \"%1\": the file is %2 bytes long")
                  .arg(name)
                  .arg(content.size());
        QVERIFY2(read.error.startsWith(prefix), qPrintable(read.error));
    }

    void extraBytesIgnored()
    {
        const QString name = path(QStringLiteral("extra.ghf"));
        putFile(name, QByteArray("\3\0\0\0abcdefgh", 11));
        const GraphFile::ReadResult read = GraphFile::read(name);
        QVERIFY(read.block.has_value());
        QCOMPARE(*read.block, QByteArray("abc"));
    }

    void openErrors_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("missing file") << QStringLiteral("missing.ghf");
        QTest::newRow("missing folder") << QStringLiteral("nowhere/missing.ghf");
        QTest::newRow("a folder") << QString();
    }
    void openErrors()
    {
        QFETCH(QString, name);
        const QString full = name.isEmpty() ? m_dir.path() : path(name);
        const GraphFile::ReadResult read = GraphFile::read(full);
        QVERIFY(!read.block.has_value());
        const QString prefix = QStringLiteral("Cannot open file \"%1\". ").arg(full);
        QVERIFY2(read.error.startsWith(prefix), qPrintable(read.error));
        QVERIFY(read.error.size() > prefix.size()); // the system's reason follows
    }

    void createErrors_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("folder does not exist") << QStringLiteral("nowhere/new.ghf");
        QTest::newRow("path inside a file") << QStringLiteral("plain.ghf/new.ghf");
        QTest::newRow("target is a folder") << QStringLiteral("folder.ghf");
    }
    void createErrors()
    {
        QFETCH(QString, name);
        putFile(path(QStringLiteral("plain.ghf")), "x");
        QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("folder.ghf")));
        const QString full = path(name);
        const QString error = GraphFile::write(full, "block");
        const QString prefix = QStringLiteral("Cannot create file \"%1\". ").arg(full);
        QVERIFY2(error.startsWith(prefix), qPrintable(error));
        QVERIFY(error.size() > prefix.size());
        QCOMPARE(fileBytes(path(QStringLiteral("plain.ghf"))), QByteArray("x"));
    }

#ifdef Q_OS_UNIX
    void failedWriteKeepsEarlierFile_data()
    {
        QTest::addColumn<qsizetype>("size");
        QTest::newRow("fails while writing") << qsizetype(1024 * 1024);
        QTest::newRow("fails when the last bytes are flushed") << qsizetype(6000);
    }
    // A write that fails (the file size limit of the process stands in for a full disk) reports
    // "Stream write error" with the file and the system's reason, and leaves the earlier file as
    // it was, with no leftovers.
    void failedWriteKeepsEarlierFile()
    {
        QFETCH(qsizetype, size);
        QTemporaryDir dir;
        const QString name = dir.filePath(QStringLiteral("kept.ghf"));
        QCOMPARE(GraphFile::write(name, "good"), QString());
        const QByteArray good = fileBytes(name);

        rlimit saved {};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved;
        small.rlim_cur = 4096;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        const QString error = GraphFile::write(name, pattern(size));
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);

        QCOMPARE(error, QStringLiteral("Stream write error: \"%1\": File too large").arg(name));
        QCOMPARE(fileBytes(name), good);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files),
                 QStringList { QStringLiteral("kept.ghf") });
    }
#endif

    void overwrite()
    {
        const QString name = path(QStringLiteral("again.ghf"));
        QCOMPARE(GraphFile::write(name, pattern(5000)), QString());
        QCOMPARE(GraphFile::write(name, "short"), QString());
        QCOMPARE(fileBytes(name), QByteArray("\5\0\0\0short", 9));
    }

    void chartRoundTrip()
    {
        ChartModel chart;
        chart.setSubsets(2);
        chart.setPoints(1000);
        for (int i = 0; i < 1000; ++i)
            chart.fillPoint(i, 45000.0 + i / 86400.0, i % 10 ? 40.0f + i * 0.01f : 9999.0f);
        chart.mainTitle = QStringLiteral("Straße");
        chart.annotations[5] = { 45000.0, 60.0, 2, QString(), Qt::red };
        chart.verticalLines[1].text = QStringLiteral("B");
        const QString name = path(QStringLiteral("chart.ghf"));
        QCOMPARE(GraphFile::write(name, ChartBlock::save(chart)), QString());
        const GraphFile::ReadResult read = GraphFile::read(name);
        QVERIFY(read.block.has_value());
        ChartModel loaded;
        QString error;
        QVERIFY2(ChartBlock::load(*read.block, loaded, &error), qPrintable(error));
        QVERIFY(loaded == chart);
    }
};

QTEST_GUILESS_MAIN(TestGraphFile)
#include "tst_graphfile.moc"
